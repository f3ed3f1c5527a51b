#include "skin/adapters/vkComboWnds.h"

#include <algorithm>

#include "framework/GraphicsGdi.h"
#include <memory>

#include "framework/Platform.h"
#include "framework/StdCtrls.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"

IMPLEMENT_CLASS(TvkComboBoxWnd)
IMPLEMENT_CLASS(TvkComboListWnd)

namespace {

constexpr UINT kFocusRedraw = RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN | RDW_UPDATENOW | RDW_FRAME;
constexpr int kComboFrame = 3;
constexpr UINT kListTrackStart = 0x1AE;
constexpr UINT kListTrackEnd = 0x1AF;

LONG StyleOf(HWND W) { return GetWindowLongA(W, GWL_STYLE); }

void StopGlow(TsCommonData* SD) {
  if (SD != nullptr && SD->GlowId >= 0 && AnimationGlue.HideGlowEffect) AnimationGlue.HideGlowEffect(SD->GlowId, false);
}

}  // namespace

// ---- the combo box ----

void TvkComboBoxWnd::FinishCreation() {
  InCtlColor = false;
  ButtonSkinData = new TsCommonData(nullptr, true);
  TvkEditWnd::FinishCreation();
}

void TvkComboBoxWnd::DetachList() {
  TvkScrollWnd* List = ListAdapter;
  DetachScrollWndAdapter(ListWnd, true, false, List);
  ListAdapter = nullptr;
  ListWnd = nullptr;
}

void TvkComboBoxWnd::ReturnWindow() {
  // the list's window goes back first, as it did when the list was detached before the combo
  if (ListAdapter != nullptr) ListAdapter->GiveWindowBack();
  TvkEditWnd::ReturnWindow();
}

void TvkComboBoxWnd::ReleaseOwnObjects() {
  delete ButtonSkinData;
  ButtonSkinData = nullptr;
  DetachList();
  if (FListBrush != nullptr) GdiFreeObject(FListBrush);
  FListBrush = nullptr;
  TvkEditWnd::ReleaseOwnObjects();
}

bool TvkComboBoxWnd::IsSimple() const { return (StyleOf(CtrlHandle) & 3) == CBS_SIMPLE; }

bool TvkComboBoxWnd::IsVclComboBox() const { return As<TCustomComboBox>(SkinData->OwnerControl) != nullptr; }

bool TvkComboBoxWnd::ShowsFocus() {
  auto* C = As<TWinControl>(SkinData->OwnerControl);
  return CanShowHotState(SkinData, false) && C != nullptr && C->CanFocus() && C->TabStop();
}

void TvkComboBoxWnd::DropEditSelection() {
  auto* C = As<TCustomComboBox>(SkinData->OwnerControl);
  if (C != nullptr && C->Style() == csDropDown && C->EditHandle() != nullptr)
    SendMessageA(C->EditHandle(), EM_SETSEL, static_cast<WPARAM>(-1), 0);
}

TRect TvkComboBoxWnd::GetButtonRect() {
  const LONG Style = StyleOf(CtrlHandle) & 3;
  int W = SkinScrollBarWidthAtLeastSystem(SkinData->SkinManager()) + 2;
  if (DlgMode && Style != CBS_DROPDOWNLIST) W = Style == CBS_DROPDOWN ? W - 2 : 0;
  TsSkinManager* M = SkinData->SkinManager();
  const int Margin = M != nullptr ? M->SkinData().ComboMargin : 2;
  RECT R{};
  GetWindowRect(CtrlHandle, &R);
  const int Width = R.right - R.left, Height = R.bottom - R.top;
  const int Left = (GetWindowLongA(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) ? Margin : Width - W - Margin;
  return TRect(Left, Margin, Left + W, Height - Margin);
}

void TvkComboBoxWnd::PaintButton(HDC DC) {
  TsSkinManager* M = SkinData->SkinManager();
  TBitmap* Cache = SkinData->CacheBmp;
  if (M == nullptr || Cache == nullptr || Cache->Empty()) return;
  int State = 0;
  if (ListWnd != nullptr && IsWindowVisible(ListWnd))
    State = 2;
  else if (SkinData->CurrentState() != 0 || M->HotWindow() == CtrlHandle)
    State = 1;
  const TRect R = GetButtonRect();
  if (R.Width() <= 0 || R.Height() <= 0) return;
  std::unique_ptr<TBitmap> B(NewBitmap32(R.Width(), R.Height()));
  BitBlt(B->Canvas()->Handle(), 0, 0, R.Width(), R.Height(), Cache->Canvas()->Handle(), R.Left, R.Top, SRCCOPY);
  const TvkElementData& E = M->ConstData().Elements[seComboBtn];
  TvkBgCacheRef Bg;
  InitBgInfo(Cache, R.Left, R.Top, Bg);
  if (E.SkinIndex >= 0)
    PaintSectionItem(E.SkinIndex, Bg, E.TextureIndex, E.HotTextureIndex, M, B.get(), TPoint(), TRect(0, 0, R.Width(), R.Height()),
                     State);
  if (M->MaskIndexInRange(E.GlyphIndex)) {
    const TsMaskData& G = M->ma()[E.GlyphIndex];
    TvkBgCacheRef Own;
    InitBgInfo(B.get(), 0, 0, Own);
    DrawSkinGlyph32(B.get(), TPoint((R.Width() - G.Width) / 2, (R.Height() - G.Height) / 2), State, Own, G, 1);
  } else {
    uint32_t Color = 0;
    if (M->SectionIndexInRange(E.SkinIndex)) Color = M->gd()[E.SkinIndex].Props[std::min(State, 2)].FontColor;
    PaintArrowPixels32(B.get(), Color, TRect(0, 0, R.Width(), R.Height()), adDown);
  }
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), B->Canvas()->Handle(), 0, 0, SRCCOPY);
  if (!CursorInVisiblePart(CtrlHandle)) StopGlow(SkinData);
}

void TvkComboBoxWnd::UpdateButton() {
  if (CursorInVisiblePart(CtrlHandle) && !IsSimple()) {
    // a glow that fades in is put up at nothing, not whole before its first step
    TsSkinManager* M = SkinData->SkinManager();
    const bool Animated = M != nullptr && M->Effects()->AllowAnimation();
    if (AnimationGlue.ShowControlGlow)
      AnimationGlue.ShowControlGlow(SkinData, true, CtrlHandle, -1, Animated, Animated ? 0 : 255);
  } else {
    StopGlow(SkinData);
  }
  HDC DC = GetWindowDC(CtrlHandle);
  PaintButton(DC);
  ReleaseDC(CtrlHandle, DC);
}

void TvkComboBoxWnd::InvalidateNow() {
  if (SkinData == nullptr || SkinData->OwnerControl == nullptr) return;
  InvalidateRect(CtrlHandle, nullptr, TRUE);
  UpdateWindow(CtrlHandle);
}

void TvkComboBoxWnd::PaintText() {
  TCanvas* Canvas = SkinData->CacheBmp->Canvas();
  SelectAdapterFont(this);
  const TRect B = GetButtonRect();
  const TRect R = (GetWindowLongA(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING)
                      ? TRect(B.Right, kComboFrame, WndSize.X - kComboFrame, WndSize.Y - kComboFrame)
                      : TRect(kComboFrame, kComboFrame, B.Left, WndSize.Y - kComboFrame);
  std::string Text;
  const LRESULT Sel = SendMessageA(CtrlHandle, CB_GETCURSEL, 0, 0);
  if (Sel != CB_ERR) {
    const LRESULT Len = SendMessageA(CtrlHandle, CB_GETLBTEXTLEN, Sel, 0);
    if (Len != CB_ERR) {
      Text.assign(static_cast<size_t>(Len) + 1, '\0');
      if (SendMessageA(CtrlHandle, CB_GETLBTEXT, Sel, reinterpret_cast<LPARAM>(Text.data())) == CB_ERR) Text.clear();
      Text.resize(strlen(Text.c_str()));
    }
  } else {
    const LRESULT Len = SendMessageA(CtrlHandle, WM_GETTEXTLENGTH, 0, 0);
    Text.assign(static_cast<size_t>(Len) + 1, '\0');
    SendMessageA(CtrlHandle, WM_GETTEXT, Len + 1, reinterpret_cast<LPARAM>(Text.data()));
    Text.resize(strlen(Text.c_str()));
  }
  HDC DC = Canvas->Handle();
  SelectObject(DC, Canvas->Font()->Handle());
  int X = R.Left, Y = R.Top;
  if (GetFocus() == CtrlHandle && (StyleOf(CtrlHandle) & 3) == CBS_DROPDOWNLIST) {
    PaintSolidRect(DC, R, static_cast<uint32_t>(ColorToRGB(clHighlight)));
    SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(clHighlightText)));
    ++X;
    ++Y;
  } else {
    SetTextColor(DC, static_cast<COLORREF>(FontColorForWindow(CtrlHandle, SkinData->SkinIndex, SkinData->SkinManager(), 0)));
  }
  SetBkMode(DC, TRANSPARENT);
  RECT Clip = R;
  ExtTextOutA(DC, X, Y, ETO_CLIPPED, &Clip, Text.c_str(), static_cast<UINT>(Text.size()), nullptr);
}

void TvkComboBoxWnd::PaintSimpleArea() {
  TBitmap* Cache = SkinData->CacheBmp;
  Cache->SetPixelFormat(pf32bit);
  Cache->SetSize(WndSize.X, static_cast<int>(SendMessageA(CtrlHandle, CB_GETITEMHEIGHT, 0, 0)) + 8);
  TsSkinManager* M = SkinData->SkinManager();
  const TRect R(0, 0, Cache->Width(), Cache->Height());
  const uint32_t Border = M != nullptr ? M->PaletteColor(pcBorder) & 0xFFFFFF : 0xFF00FF;
  if (DlgMode && Border != 0xFF00FF) {
    PaintSolidRect(Cache->Canvas()->Handle(), R, static_cast<uint32_t>(ColorToRGB(clWindow)));
    HBRUSH Br = GdiNewSolidBrush(Border);
    RECT FR = R;
    FrameRect(Cache->Canvas()->Handle(), &FR, Br);
    GdiFreeObject(Br);
  } else {
    TvkBgCacheRef Bg;
    AdapterParentBackground(this, Bg);
    RenderControlSkin(SkinData, Bg, true, Cache, TPoint(), R, SkinData->CurrentState());
  }
}

const TsGenState* TvkComboBoxWnd::ListLook() {
  if (ListWnd == nullptr || DlgMode) return nullptr;
  int32_t Query[2] = {0, -1};
  SendSkinCommand(ListWnd, VKCMD_QUERY_SECTION_INDEX, reinterpret_cast<LPARAM>(Query));
  TsSkinManager* M = SkinData->SkinManager();
  return Query[1] >= 0 && M != nullptr && M->SectionIndexInRange(Query[1]) ? &M->gd()[Query[1]].Props[0] : nullptr;
}

void TvkComboBoxWnd::PaintItem(int Index, const TRect& R, HDC DC, UINT State) {
  auto* C = As<TCustomComboBox>(SkinData->OwnerControl);
  TsSkinManager* M = SkinData->SkinManager();
  if (C == nullptr || M == nullptr || R.Width() <= 0 || R.Height() <= 0) return;
  std::unique_ptr<TBitmap> B(NewBitmap32(R.Width(), R.Height()));
  TCanvas* Canvas = B->Canvas();
  Canvas->Font()->Assign(C->Font());
  const TsGeneralData* G = SkinData->Section();
  const bool MultiState = G != nullptr && G->States > 1;
  int Look;
  if (State & ODS_COMBOBOXEDIT) {
    BitBlt(Canvas->Handle(), 0, 0, R.Width(), R.Height(), SkinData->CacheBmp->Canvas()->Handle(), R.Left, R.Top, SRCCOPY);
    Look = (SkinData->Hot || SkinData->Focused || SkinData->CurrentState() != 0) && MultiState ? 1 : 0;
  } else {
    // A list item lies on the list's own background, the one its brush paints.
    const TsGenState* List = ListLook();
    PaintSolidRect(Canvas->Handle(), TRect(0, 0, R.Width(), R.Height()),
                   List != nullptr ? List->Color : static_cast<uint32_t>(ColorToRGB(AppliedColor)));
    Look = MultiState ? 1 : 0;
  }
  const bool Focused = SkinData->Focused;
  const int Selection = M->FindSectionIndex("SELECTION");
  const TRect Local(0, 0, R.Width(), R.Height());
  if (State & ODS_SELECTED) {
    if (Selection >= 0) {
      TvkBgCacheRef Bg;
      InitBgInfo(B.get(), 0, 0, Bg);
      PaintSectionItem(Selection, Bg, -1, -1, M, B.get(), TPoint(), Local, 1);
    } else {
      PaintSolidRect(Canvas->Handle(), Local, M->SelectionBackColor(Focused));
    }
    Canvas->Font()->SetColor(static_cast<TColor>(M->SelectionTextColor(Focused)));
  } else if (State & ODS_COMBOBOXEDIT) {
    if (G != nullptr) Canvas->Font()->SetColor(static_cast<TColor>(G->Props[Look].FontColor));
  } else if (SkinData->CustomFont()) {
    Canvas->Font()->SetColor(C->Font()->Color());
  } else if (const TsGenState* List = ListLook()) {
    Canvas->Font()->SetColor(static_cast<TColor>(List->FontColor));
  } else {
    Canvas->Font()->SetColor(static_cast<TColor>(M->PaletteColor(pcEditText)));
  }
  const bool OwnerDraws = !C->OnDrawItem.IsNull() && (C->Style() == csOwnerDrawFixed || C->Style() == csOwnerDrawVariable);
  if (!OwnerDraws) {
    std::string Text = Index >= 0 && Index < C->Items()->Count() ? C->Items()->Strings(Index) : std::string();
    if ((State & ODS_COMBOBOXEDIT) && C->Style() == csDropDown) Text = C->Text();
    UINT Flags = DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX | DT_VCENTER;  // centred in a tall item
    if (C->BiDiMode() == bdRightToLeft) Flags |= DT_RIGHT | DT_RTLREADING;
    TRect TR(2, 0, R.Width() - 2, R.Height());
    SelectObject(Canvas->Handle(), Canvas->Font()->Handle());
    SetBkMode(Canvas->Handle(), TRANSPARENT);
    if (Selection >= 0 && (State & ODS_SELECTED)) {
      DrawSectionTextStr(Canvas, Text, C->Enabled(), M, 1, Selection, Flags, TR);
    } else {
      SetTextColor(Canvas->Handle(), static_cast<COLORREF>(ColorToRGB(Canvas->Font()->Color())));
      RECT DR = TR;
      DrawTextA(Canvas->Handle(), Text.c_str(), static_cast<int>(Text.size()), &DR, Flags);
    }
    if (State & ODS_FOCUS) {
      RECT FR = Local;
      DrawFocusRect(Canvas->Handle(), &FR);
    }
  } else {
    // The handler draws on the control's canvas, pointed at the bitmap for the call only, even when it throws.
    auto* Own = static_cast<TControlCanvas*>(C->Canvas());
    const int S = SaveDC(Canvas->Handle());
    Own->PaintOn(Canvas->Handle(), [&] {
      Own->Font()->Assign(C->Font());
      C->OnDrawItem(C, Index, Local, TOwnerDrawState::FromRaw(State));
    });
    RestoreDC(Canvas->Handle(), S);
  }
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), Canvas->Handle(), 0, 0, SRCCOPY);
}

LRESULT TvkComboBoxWnd::CtlColorListBox(TMessage& Message) {
  InCtlColor = true;
  try {
    TvkEditWnd::WndProc(Message);
    if (ListWnd == nullptr) {
      ListWnd = reinterpret_cast<HWND>(Message.LParam);
      // A dialog's simple list has its own adapter from the dialog already: a second would paint over it.
      if (ListAdapter == nullptr && !WindowHasSkin(ListWnd)) {
        const bool Saved = AdoptingDialogChildren;
        if (SkinData->OwnerControl == nullptr) AdoptingDialogChildren = DlgMode;
        try {
          ListAdapter = TvkComboListWnd::CreateForCombo(ListWnd, nullptr, SkinManager, "EDIT",
                                                        SendMessageA(CtrlHandle, CB_GETCOUNT, 0, 0) > 0, IsSimple());
        } catch (...) {
          AdoptingDialogChildren = Saved;
          throw;
        }
        AdoptingDialogChildren = Saved;
      }
    }
    if (const TsGenState* List = ListLook()) {
      const TsGenState& S = *List;
      auto DC = reinterpret_cast<HDC>(Message.WParam);
      if (static_cast<int32_t>(S.FontColor) >= 0) SetTextColor(DC, S.FontColor);
      SetBkColor(DC, S.Color);
      if (FListBrush == nullptr || FListBrushColor != S.Color) {
        if (FListBrush != nullptr) GdiFreeObject(FListBrush);
        FListBrush = GdiNewSolidBrush(S.Color);
        FListBrushColor = S.Color;
      }
      Message.Result = reinterpret_cast<LRESULT>(FListBrush);
    }
  } catch (...) {
    InCtlColor = false;
    throw;
  }
  InCtlColor = false;
  return Message.Result;
}

void TvkComboBoxWnd::WndProc(TMessage& Message) {
  if (SkinData == nullptr || Detached) {
    TvkEditWnd::WndProc(Message);
    return;
  }
  const HWND W = CtrlHandle;
  auto Own = [&] { Message.Result = ForwardToOldWndProc(W, Message.Msg, Message.WParam, Message.LParam); };
  switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_LBUTTONUP:
      SkinData->Focused = true;
      if (ShowsFocus()) {
        ApplySkinParams();
        RedrawWindow(W, nullptr, nullptr, kFocusRedraw);
      }
      Own();
      UpdateButton();
      return;
    case WM_KILLFOCUS:
    case CM_EXIT: {
      auto* C = As<TCustomComboBox>(SkinData->OwnerControl);
      SkinData->Focused = C != nullptr && C->EditHandle() != nullptr && GetFocus() == C->EditHandle();
      SkinData->CacheDirty = true;
      Own();
      if (ShowsFocus()) {
        ApplySkinParams();
        DropEditSelection();
        RedrawWindow(W, nullptr, nullptr, kFocusRedraw);
      }
      UpdateButton();
      return;
    }
    case WM_DRAWITEM:
      Own();
      InvalidateNow();
      return;
    case WM_PAINT: {
      if (!ParamsApplied) ApplySkinParams();
      GetWindowGeometry(W, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      Own();
      HDC DC = Message.WParam != 0 ? reinterpret_cast<HDC>(Message.WParam) : GetWindowDC(W);
      if (!IsSimple()) {
        SkinData->CacheDirty = true;
        SendSkinCommand(W, VKCMD_REFRESH_CACHE, 0);
        if (SkinData->CacheBmp != nullptr)
          CopyBorderStrips(DC, 0, 0, kComboFrame, 0, 0, SkinData->CacheBmp->Canvas()->Handle(), WndSize.Y, WndSize.X);
        PaintButton(DC);
      } else {
        PaintSimpleArea();
        CopyBorderStrips(DC, 0, 0, kComboFrame, 0, 0, SkinData->CacheBmp->Canvas()->Handle(),
                         SkinData->CacheBmp->Height(), WndSize.X);
      }
      if (Message.WParam == 0) ReleaseDC(W, DC);
      return;
    }
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_NCCALCSIZE:
      TvkEditWnd::WndProc(Message);
      FrameLeft = kComboFrame;
      return;
    case WM_COMMAND:
    case CN_COMMAND:
      if (!IsSimple() && HIWORD(Message.WParam) == CBN_CLOSEUP) {
        SkinData->CacheDirty = true;
        UpdateButton();
      }
      break;
    case WM_CTLCOLORLISTBOX:
      if (InCtlColor) break;
      CtlColorListBox(Message);
      return;
    case CB_SETCURSEL:
    case CM_TEXTCHANGED:
    case CM_CHANGED:
      if (IsVclComboBox()) {
        WithoutRedraw(W, [&] {
          SkinData->CacheDirty = true;
          Own();
        });
        RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      } else {
        Own();
      }
      return;
    case CN_DRAWITEM:
      if (IsVclComboBox()) {
        const auto* DI = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
        PaintItem(static_cast<int>(DI->itemID), TRect(DI->rcItem), DI->hDC, DI->itemState);
      } else {
        Own();
      }
      return;
    case CM_MOUSEENTER:
      if (SkinData->Hot) break;
      SkinData->Hot = true;
      SkinData->CacheDirty = true;
      TvkEditWnd::WndProc(Message);
      if (!SkinData->Focused) DropEditSelection();
      InvalidateNow();
      return;
    case CM_MOUSELEAVE: {
      if (!SkinData->Hot) break;
      auto* C = As<TCustomComboBox>(SkinData->OwnerControl);
      if (!SkinData->Focused && C != nullptr && C->EditHandle() != nullptr && GetFocus() == C->EditHandle())
        SkinData->Focused = true;
      POINT P{};
      SafeGetCursorPos(P);
      RECT R{};
      GetWindowRect(W, &R);
      if (!PtInRect(&R, P)) {
        SkinData->Hot = false;
        SkinData->CacheDirty = true;
        TvkEditWnd::WndProc(Message);
        if (!SkinData->Focused) DropEditSelection();
        InvalidateNow();
      }
      return;
    }
    case WM_PRINT: {
      GetWindowGeometry(W, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      SkinData->Updating = true;
      if (!ParamsApplied) ApplySkinParams();
      if (Detached) return;
      SkinData->Updating = false;
      SkinData->CacheDirty = true;
      if (IsSimple())
        PaintSimpleArea();
      else
        PaintFrameCache();
      auto* C = As<TCustomComboBox>(SkinData->OwnerControl);
      const TRect B = GetButtonRect();
      if (C != nullptr && C->ItemIndex() >= 0) {
        SkinData->CacheBmp->Canvas()->Font()->Assign(C->Font());
        PaintItem(C->ItemIndex(), TRect(kComboFrame, kComboFrame, B.Left - kComboFrame, WndSize.Y - kComboFrame),
                  SkinData->CacheBmp->Canvas()->Handle(), ODS_COMBOBOXEDIT);
      } else {
        PaintText();
      }
      auto DC = reinterpret_cast<HDC>(Message.WParam);
      BitBlt(DC, 0, 0, SkinData->CacheBmp->Width(), SkinData->CacheBmp->Height(), SkinData->CacheBmp->Canvas()->Handle(),
             0, 0, SRCCOPY);
      PaintButton(DC);
      return;
    }
    case SM_VKCMD:
      switch (SkinCommandCode(Message.WParam)) {
        case VKCMD_SKIN_DROPPED:
          if (Message.LParam != reinterpret_cast<LPARAM>(SkinData->SkinManager())) break;
          TvkEditWnd::WndProc(Message);
          if (ListWnd != nullptr) {
            // The list gets its plain border back, not a sizing frame.
            const LONG Style = StyleOf(ListWnd);
            SetWindowLongA(ListWnd, GWL_STYLE, (Style & ~WS_THICKFRAME) | WS_BORDER);
            DetachList();
          }
          return;
        case VKCMD_MOUSE_ENTERED:
        case VKCMD_MOUSE_LEFT:
          TvkEditWnd::WndProc(Message);
          UpdateButton();
          return;
        default:
          break;
      }
      break;
    default:
      break;
  }
  TvkEditWnd::WndProc(Message);
}

// ---- the drop-down list ----

TvkComboListWnd* TvkComboListWnd::CreateForCombo(HWND Wnd, TsCommonData* SkinData, TsSkinManager* Manager,
                                                 const std::string& Section, bool Repaint, bool SimpleList) {
  TvkSkinParams P;
  P.SkinSection = Section;
  auto* A = static_cast<TvkComboListWnd*>(TvkComboListWnd::StaticClassInfo()->CreateInstance(nullptr));
  A->SimpleList = SimpleList;
  try {
    A->Create(Wnd, SkinData, Manager, P, Repaint);
  } catch (...) {
    A->Free();
    throw;
  }
  if (WindowsMajorVersion() >= 6) SetLayeredAlpha(Wnd, true, 255);
  if (!SimpleList) {
    RECT R{};
    GetWindowRect(Wnd, &R);
    SetWindowPos(Wnd, nullptr, 0, 0, R.right - R.left + 1, R.bottom - R.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOCOPYBITS | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING | SWP_FRAMECHANGED);
  }
  return A;
}

void TvkComboListWnd::FinishCreation() {
  if (SkinData == nullptr) MakeSkinData();
  Tracking = false;
  Reserved = false;
  RECT R{};
  GetWindowRect(CtrlHandle, &R);
  WndRect = TRect(R);
  TvkEditWnd::FinishCreation();
}

void TvkComboListWnd::ReleaseOwnObjects() {
  // A list detached without its give-back (DetachScrollWndAdapter) gets its visual style back here.
  if (TSetWindowThemeProc SetTheme = SetWindowThemeEntry(); SetTheme != nullptr && !GivenBack() && IsWindow(CtrlHandle))
    SetTheme(CtrlHandle, nullptr, nullptr);
  TvkEditWnd::ReleaseOwnObjects();
}

void TvkComboListWnd::ApplySkinParams() {
  if (CalcSizeBusy) return;
  TsSkinManager* M = SkinData->SkinManager();
  if (M != nullptr && M->SectionIndexInRange(SkinData->SkinIndex)) {
    if (!SkinData->CustomColor())
      AppliedColor = DlgMode ? ColorToRGB(clWindow)
                             : static_cast<TColor>(M->gd()[SkinData->SkinIndex].Props[std::clamp(SkinData->CurrentState(), 0, 2)].Color);
    BorderColor = static_cast<TColor>(M->PaletteColor(pcBorder));
    SkinData->CacheDirty = true;
    SkinData->Updating = false;
  } else {
    BorderColor = 0;
  }
}

void TvkComboListWnd::PaintFrame() {
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (SimpleList) {
    SendSkinCommand(CtrlHandle, VKCMD_REFRESH_CACHE, 0);
    return;
  }
  SkinData->RecheckUpdating(false);
  ApplySkinParams();
  TBitmap* Cache = PrepareAdapterCache(this);
  HDC DC = Cache->Canvas()->Handle();
  HBRUSH Br = GdiNewSolidBrush(static_cast<COLORREF>(ColorToRGB(AppliedColor)));
  HPEN Pen = GdiNewPen(PS_SOLID, 1, static_cast<COLORREF>(ColorToRGB(BorderColor) & 0xFFFFFF));
  HGDIOBJ OldBr = SelectObject(DC, Br), OldPen = SelectObject(DC, Pen);
  Rectangle(DC, 0, 0, Cache->Width(), Cache->Height());
  SelectObject(DC, OldBr);
  SelectObject(DC, OldPen);
  GdiFreeObject(Br);
  GdiFreeObject(Pen);
  SkinData->CacheDirty = false;
}

void TvkComboListWnd::WndProc(TMessage& Message) {
  if (SkinData == nullptr || Detached) {
    TvkEditWnd::WndProc(Message);
    return;
  }
  const HWND W = CtrlHandle;
  switch (Message.Msg) {
    case WM_NCPAINT: {
      if (ScrollBusy) break;
      PaintFrame();
      HDC DC = GetWindowDC(W);
      const int Saved = SaveDC(DC);
      CopyBorderStrips(DC, 0, 0, 1, 0, 0, SkinData->CacheBmp->Canvas()->Handle(), WndSize.Y, WndSize.X);
      PaintScrollBars(this, W, -1, DC);
      RestoreDC(DC, Saved);
      ReleaseDC(W, DC);
      if (SimpleList) {
        // The strip between the list and the combo's lower edge shows the combo's parent.
        HWND Combo = GetParent(W);
        HWND Parent = Combo != nullptr ? GetParent(Combo) : nullptr;
        RECT CR{}, LR{};
        if (Combo != nullptr && Parent != nullptr && GetWindowRect(Combo, &CR) && GetWindowRect(W, &LR) &&
            CR.bottom > LR.bottom) {
          // Asked from the combo's own corner: the strip is filled in the combo's coordinates.
          POINT At{CR.left, CR.top};
          ScreenToClient(Parent, &At);
          TvkParentBgQuery Q{};
          Q.OffsetX = At.x;
          Q.OffsetY = At.y;
          Q.Area = TRect(0, LR.bottom - CR.top, CR.right - CR.left, CR.bottom - CR.top);
          QueryParentBackgroundWnd(Q, Parent, false);
          TvkBgCacheRef Bg;
          BgCacheRefFromQuery(Q, Bg);
          HDC CDC = GetWindowDC(Combo);
          FillFromBackground(CDC, TRect(0, LR.bottom - CR.top, CR.right - CR.left, CR.bottom - CR.top), Bg);
          ReleaseDC(Combo, CDC);
        }
      }
      return;
    }
    case WM_ERASEBKGND:
      if (Message.WParam == 0) {
        Message.Result = ForwardToOldWndProc(W, Message.Msg, Message.WParam, Message.LParam);
        return;
      }
      Message.Result = 1;
      GetWindowGeometry(W, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      PaintSolidRect(reinterpret_cast<HDC>(Message.WParam), TRect(0, 0, WndSize.X, WndSize.Y),
                     static_cast<uint32_t>(ColorToRGB(AppliedColor)));
      return;
    case WM_NCCALCSIZE:
      Message.Result = ScrollWndCalcSize(this, W, Message.WParam, Message.LParam);
      CalcSizeDone = true;
      return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      const LRESULT Hit = ScrollWndHitTest(this, W, 0, Message.LParam);
      if (Hit == HTHSCROLL || Hit == HTVSCROLL) Message.Result = ScrollWndNCButtonDown(this, W, Hit, Message.LParam);
      return;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      Message.Result = ForwardToOldWndProc(W, Message.Msg, Message.WParam, Message.LParam);
      return;
    case kListTrackStart:
      Tracking = true;
      break;
    case kListTrackEnd:
      Tracking = false;
      SkinData->CacheDirty = true;
      break;
    case WM_LBUTTONUP: {
      GetWindowGeometry(W, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      POINT P{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
      ClientToScreen(W, &P);
      WPARAM Hit = static_cast<WPARAM>(ScrollWndHitTest(this, W, 0, MAKELPARAM(P.x, P.y)));
      LPARAM L = Hit < 2 ? Message.LParam : MAKELPARAM(P.x, P.y);
      Message.Result = ScrollWndButtonUp(this, W, Hit, L);
      if (SimpleList && GetCapture() == W) ReleaseCapture();
      return;
    }
    case WM_PRINT:
    case WM_PRINTCLIENT:
      if (Message.WParam == 0 || !IsWindowVisible(W)) break;
      PaintFrame();
      Message.Result = ForwardToOldWndProc(W, Message.Msg, Message.WParam, Message.LParam);
      if (Message.Msg == WM_PRINT && SendMessageA(W, LB_GETCOUNT, 0, 0) > 0 && !Tracking) {
        auto DC = reinterpret_cast<HDC>(Message.WParam);
        if (ScrollTracking.PressedPart == spNone)
          CopyBorderStrips(DC, 0, 0, 1, 0, 0, SkinData->CacheBmp->Canvas()->Handle(), WndSize.Y, WndSize.X);
        PaintScrollBars(this, W, -1, DC);
      }
      return;
    default:
      break;
  }
  TvkEditWnd::WndProc(Message);
  if (Message.Msg == WM_WINDOWPOSCHANGED) ReloadScrollBarInfo(this, true);
}
