#include "skin/adapters/vkToolBarVCLWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "framework/ImgList.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/controls/vkGlyphPaint.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSectionRects.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"

IMPLEMENT_CLASS(TvkToolBarVCLWnd)

namespace {

constexpr int kListGlyphReserve = 6;
constexpr int kContentGap = 3;

bool Designing(TComponent* C) { return C != nullptr && C->ComponentState().Contains(csDesigning); }

// The owner-draw item state (ODS_*) of a button's custom-draw state.
UINT OwnerDrawStateOf(TCustomDrawState State) {
  UINT S = 0;
  if (State.Contains(cdsSelected)) S |= ODS_SELECTED;
  if (State.Contains(cdsChecked)) S |= ODS_CHECKED;
  if (State.Contains(cdsHot)) S |= ODS_HOTLIGHT;
  if (State.Contains(cdsDisabled)) S |= ODS_DISABLED;
  return S;
}

}  // namespace

void TvkToolBarVCLWnd::FinishCreation() {
  HotIndex = -1;
  ToolBar = As<TToolBar>(SkinData->OwnerControl);
  if (ToolBar != nullptr) TakeEvents();
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("TOOLBAR");
  TvkMainWnd::FinishCreation();
}

// Hears the removal of the button whose drop-down is open.
class TvkToolBarVCLWnd::TWatch : public TComponent {
public:
  explicit TWatch(TvkToolBarVCLWnd* A) : TComponent(nullptr), FAdapter(A) {}
  void Notification(TComponent* C, TOperation Op) override {
    TComponent::Notification(C, Op);
    if (Op == opRemove && C == FAdapter->FDropDownButton) FAdapter->FDropDownButton = nullptr;
  }

private:
  TvkToolBarVCLWnd* FAdapter;
};

void TvkToolBarVCLWnd::SetDropDownButton(TToolButton* Button) {
  if (Button == FDropDownButton) return;
  if (FDropDownButton != nullptr) FDropDownButton->RemoveFreeNotification(FWatch);
  FDropDownButton = Button;
  if (Button == nullptr) return;
  if (FWatch == nullptr) FWatch = new TWatch(this);
  Button->FreeNotification(FWatch);
}

void TvkToolBarVCLWnd::ReturnWindow() {
  GiveEventsBack();
  TvkMainWnd::ReturnWindow();
}

void TvkToolBarVCLWnd::ReleaseOwnObjects() {
  SetDropDownButton(nullptr);
  delete FWatch;
  FWatch = nullptr;
  GiveEventsBack();  // a bar whose window went before: its handlers are still the adapter's
  TvkMainWnd::ReleaseOwnObjects();
}

void TvkToolBarVCLWnd::TakeEvents() {
  if (ToolBar == nullptr || FEventsTaken) return;
  FSavedBarDraw = ToolBar->OnAdvancedCustomDraw;
  FSavedButtonDraw = ToolBar->OnAdvancedCustomDrawButton;
  ToolBar->OnAdvancedCustomDraw = TTBAdvancedCustomDrawEvent(this, &TvkToolBarVCLWnd::BarDraw);
  ToolBar->OnAdvancedCustomDrawButton = TTBAdvancedCustomDrawBtnEvent(this, &TvkToolBarVCLWnd::ButtonDraw);
  FEventsTaken = true;
}

void TvkToolBarVCLWnd::GiveEventsBack() {
  if (ToolBar == nullptr || !FEventsTaken) return;
  if (!ToolBar->ComponentState().Contains(csDestroying)) {
    ToolBar->OnAdvancedCustomDraw = FSavedBarDraw;
    ToolBar->OnAdvancedCustomDrawButton = FSavedButtonDraw;
  }
  FSavedBarDraw.Clear();
  FSavedButtonDraw.Clear();
  FEventsTaken = false;
}

TRect TvkToolBarVCLWnd::ClientInWindow() const {
  RECT W{}, C{};
  GetWindowRect(CtrlHandle, &W);
  GetClientRect(CtrlHandle, &C);
  POINT P{0, 0};
  ClientToScreen(CtrlHandle, &P);
  return TRect(P.x - W.left, P.y - W.top, P.x - W.left + C.right, P.y - W.top + C.bottom);
}

int TvkToolBarVCLWnd::ButtonAt(TPoint P) const {
  const int N = static_cast<int>(SendMessageA(CtrlHandle, TB_BUTTONCOUNT, 0, 0));
  for (int I = 0; I < N; ++I) {
    RECT R{};
    SendMessageA(CtrlHandle, TB_GETITEMRECT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&R));
    if (!PtInRect(&R, POINT{P.X, P.Y})) continue;
    TBBUTTON B{};
    SendMessageA(CtrlHandle, TB_GETBUTTON, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&B));
    return (B.fsStyle & BTNS_SEP) ? -1 : I;
  }
  return -1;
}

bool TvkToolBarVCLWnd::ButtonDown(int Index) const {
  if (Index < 0) return false;
  TBBUTTON B{};
  SendMessageA(CtrlHandle, TB_GETBUTTON, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&B));
  return (B.fsState & (TBSTATE_CHECKED | TBSTATE_PRESSED)) != 0;
}

bool TvkToolBarVCLWnd::ButtonEnabled(int Index) const {
  // Asked of the window: its buttons need not be the control's list one for one.
  TBBUTTON B{};
  return SendMessageA(CtrlHandle, TB_GETBUTTON, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&B)) &&
         (B.fsState & TBSTATE_ENABLED) != 0;
}

void TvkToolBarVCLWnd::RepaintButton(int Index) {
  if (Index < 0) return;
  RECT R{};
  if (SendMessageA(CtrlHandle, TB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R)))
    InvalidateRect(CtrlHandle, &R, FALSE);
}

void TvkToolBarVCLWnd::RebuildCache() {
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  TBitmap* Cache = PrepareAdapterCache(this);
  TvkBgCacheRef Bg;
  AdapterParentBackground(this, Bg);
  RenderControlSkin(SkinData, Bg, true, Cache, TPoint(), TRect(0, 0, WndSize.X, WndSize.Y), 0);
  SkinData->CacheDirty = false;
}

void TvkToolBarVCLWnd::PaintFrame() {
  if (SkinData->IsUpdating()) return;
  const TRect C = ClientInWindow();
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (C.Width() == WndSize.X && C.Height() == WndSize.Y) return;
  if (SkinData->CacheDirty || SkinData->CacheBmp == nullptr) RebuildCache();
  HDC DC = GetWindowDC(CtrlHandle);
  const int Saved = SaveDC(DC);
  ExcludeClipRect(DC, C.Left, C.Top, C.Right, C.Bottom);
  BitBlt(DC, 0, 0, WndSize.X, WndSize.Y, SkinData->CacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  RestoreDC(DC, Saved);
  ReleaseDC(CtrlHandle, DC);
}

void TvkToolBarVCLWnd::BarDraw(TToolBar* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw) {
  if (!SkinData->IsSkinned()) {
    DefaultDraw = true;
    return;
  }
  if (SkinData->IsUpdating()) return;
  if (Stage != cdPrePaint) {
    DefaultDraw = false;
    return;
  }
  if (SkinData->CacheDirty || SkinData->CacheBmp == nullptr) RebuildCache();
  SkinData->CacheBmp->Canvas()->Font()->Assign(Sender->Font());
  FillTransparentCorners(SkinData, 0, fcTopLeft | fcTopRight | fcBottomLeft | fcBottomRight);
  TCanvas* Canvas = Sender->Canvas();
  HDC DC = Canvas->Handle();
  const int Saved = SaveDC(DC);
  TsSkinManager* M = SkinData->SkinManager();
  const bool ImagesSeeThrough = M != nullptr && M->Options()->GetFlag(5);
  for (int I = 0; I < Sender->ControlCount(); ++I) {
    TControl* Child = Sender->Controls(I);
    if (!Child->Visible()) continue;
    const bool Windowed = Child->InheritsFrom(TWinControl::StaticClassInfo());
    const bool Out = Windowed ? (Child->ControlStyle().Contains(csOpaque) || Designing(Sender)) : !ImagesSeeThrough;
    const TRect CB = Child->BoundsRect();
    const RECT CR{CB.Left, CB.Top, CB.Right, CB.Bottom}, AR{ARect.Left, ARect.Top, ARect.Right, ARect.Bottom};
    RECT Over{};
    if (Out && IntersectRect(&Over, &CR, &AR)) ExcludeClipRect(DC, CR.left, CR.top, CR.right, CR.bottom);
  }
  const TRect C = ClientInWindow();
  BitBlt(DC, ARect.Left, ARect.Top, ARect.Width(), ARect.Height(), SkinData->CacheBmp->Canvas()->Handle(),
         ARect.Left + C.Left, ARect.Top + C.Top, SRCCOPY);
  RestoreDC(DC, Saved);
  PaintGraphicChildren(DC, Sender, true, POINT{0, 0});
  RepaintChildrenAfterUpdate(Sender);
  if (C.Width() != WndSize.X || C.Height() != WndSize.Y) SendMessageA(CtrlHandle, WM_NCPAINT, 0, 0);
}

void TvkToolBarVCLWnd::ButtonDraw(TToolBar* Sender, TToolButton* Button, TCustomDrawState State,
                                  TCustomDrawStage Stage, TTBCustomDrawFlags& Flags, bool& DefaultDraw) {
  if (!SkinData->IsSkinned()) return;
  DefaultDraw = false;
  if (Stage != cdPrePaint || Button == nullptr) return;
  const int Index = Button->Index();
  if (Index == HotIndex && !Designing(Sender) && !Sender->InMenuLoop()) {
    State += cdsHot;
    Flags += tbNoEdges;
  }
  PaintButton(Index, State, Sender->Canvas());
}

void TvkToolBarVCLWnd::PaintButton(int Index, TCustomDrawState State, TCanvas* Target) {
  TsSkinManager* M = SkinData->SkinManager();
  RECT IR{};
  if (M == nullptr || ToolBar == nullptr ||
      !SendMessageA(CtrlHandle, TB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&IR)))
    return;
  const TRect R(IR);
  if (R.Width() <= 0 || R.Height() <= 0) return;
  TToolButton* Btn = ToolBar->Buttons(Index);
  // The normal look for an untouched button; pressed for a selected, checked, marked or indeterminate one.
  const bool Plain = State.Empty() || State == TCustomDrawState{cdsDisabled};
  int SkinState = 1;
  if (!Btn->Marked() && !Btn->Indeterminate() && Plain)
    SkinState = 0;
  else if (State.Contains(cdsSelected) || State.Contains(cdsChecked) || Btn->Marked() || Btn->Indeterminate())
    SkinState = 2;
  if (SkinData->CacheDirty || SkinData->CacheBmp == nullptr) RebuildCache();
  std::unique_ptr<TBitmap> B(NewBitmap32(R.Width(), R.Height()));
  TCanvas* BC = B->Canvas();
  BC->Font()->Assign(ToolBar->Font());
  const TRect C = ClientInWindow();
  TvkBgCacheRef Bg;
  InitBgInfo(SkinData->CacheBmp, R.Left + C.Left, R.Top + C.Top, Bg);
  BitBlt(BC->Handle(), 0, 0, R.Width(), R.Height(), SkinData->CacheBmp->Canvas()->Handle(), Bg.X, Bg.Y, SRCCOPY);
  const int Tool = M->FindSectionIndex("TOOLBUTTON");
  const bool DropDown = Btn->Style() == tbsDropDown;
  const int ArrowW = DropDown ? GetSystemMetrics(SM_CXVSCROLL) - 2 : 0;
  PaintSectionBackground(Tool, Bg, SkinState, kTransparentKey, -1, -1, M, B.get(), TPoint(),
                         TRect(0, 0, R.Width(), R.Height()));
  const int Border = Tool >= 0 ? M->FindMaskInherited(Tool, "BORDERSMASK") : -1;
  if (M->MaskIndexInRange(Border)) {
    TvkBgCacheRef Own;
    InitBgInfo(B.get(), 0, 0, Own);
    DrawSkinRect32(B.get(), TRect(0, 0, R.Width() - ArrowW, R.Height()), Own, true, SkinState, M->ma()[Border]);
  }
  const int Shift = SkinState == 2 && (!SkinData->IsSkinned(true) || M->ButtonsOptions()->ShiftContentOnClick()) ? 1 : 0;
  TCustomImageList* Images = ToolBar->Images();
  const bool HasGlyph = Images != nullptr && Btn->ImageIndex() >= 0 && Btn->ImageIndex() < Images->Count();
  const int GW = HasGlyph ? GetImageListWidth(Images) : 0, GH = HasGlyph ? GetImageListHeight(Images) : 0;
  const bool HasCaption = ToolBar->ShowCaptions() && !Btn->Caption().empty();
  SIZE A{};
  SelectObject(BC->Handle(), BC->Font()->Handle());
  GetTextExtentPoint32A(BC->Handle(), "A", 1, &A);
  const int Width = R.Width() - ArrowW;
  // The caption's place; the glyph places itself the same way (DrawOwnerDrawButtonContent).
  TRect TextAt;
  if (ToolBar->List()) {
    TextAt = TRect(HasGlyph ? GW + kListGlyphReserve : 2, 0, Width - 2, R.Height());
  } else {
    const int Block = GH + (HasGlyph && HasCaption ? kContentGap : 0) + (HasCaption ? A.cy : 0);
    const int Top = (R.Height() - Block) / 2;
    TextAt = TRect(2, Top + GH + (HasGlyph ? kContentGap : 0), Width - 2, Top + Block);
  }
  OffsetRect(TextAt.AsRECT(), Shift, Shift);
  if (HasCaption) {
    SetBkMode(BC->Handle(), TRANSPARENT);
    DrawSectionTextStr(BC, Btn->Caption(), Btn->Enabled(), M, SkinState, Tool, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                       TextAt);
  }
  if (HasGlyph) DrawOwnerDrawButtonContent(ToolBar, Btn, OwnerDrawStateOf(State), B.get());
  if (DropDown) {
    // The combo button's element serves as the arrow part.
    const TvkElementData& E = M->ConstData().Elements[seComboBtn];
    const TRect Part(R.Width() - ArrowW, 0, R.Width(), R.Height());
    TvkBgCacheRef Own;
    InitBgInfo(B.get(), 0, 0, Own);
    const int Frame = E.SkinIndex >= 0 ? M->FindMaskInherited(E.SkinIndex, "BORDERSMASK") : -1;
    if (M->MaskIndexInRange(Frame)) DrawSkinRect32(B.get(), Part, Own, true, SkinState, M->ma()[Frame]);
    if (M->MaskIndexInRange(E.GlyphIndex)) {
      const TsMaskData& G = M->ma()[E.GlyphIndex];
      DrawSkinGlyph32(B.get(), TPoint(Part.Left + (Part.Width() - G.Width) / 2, (R.Height() - G.Height) / 2), SkinState,
                      Own, G, 1);
    } else {
      const uint32_t Colour = M->SectionIndexInRange(Tool) ? M->gd()[Tool].Props[std::min(SkinState, 2)].FontColor : 0;
      const int AX = Part.Left + (Part.Width() - 7) / 2, AY = (R.Height() - 4) / 2;
      PaintArrowPixels32(B.get(), Colour, TRect(AX, AY, AX + 7, AY + 4), adDown);
    }
  }
  if (!Btn->Enabled() || Btn->Indeterminate()) PaintAdapterDisabled(B.get(), Bg);
  BitBlt(Target->Handle(), R.Left, R.Top, R.Width(), R.Height(), BC->Handle(), 0, 0, SRCCOPY);
}

void TvkToolBarVCLWnd::WndProc(TMessage& Message) {
  TsSkinManager* M = SkinData != nullptr ? SkinData->SkinManager() : nullptr;
  if (Message.Msg == SM_VKCMD && SkinData != nullptr) {
    const bool Ours = M != nullptr && Message.LParam == reinterpret_cast<LPARAM>(M);
    switch (SkinCommandCode(Message.WParam)) {
      case VKCMD_SKIN_APPLIED:
        TakeEvents();
        break;
      case VKCMD_SKIN_DROPPED:
        if (Ours) {
          GiveEventsBack();
          SetDropDownButton(nullptr);
        }
        break;
      case VKCMD_REPAINT_AFTER_CHANGE:
        if (Ours) SetDropDownButton(nullptr);
        break;
      case VKCMD_REFRESH_CACHE:
        return;
      case VKCMD_QUERY_PARENT_BG:
        if (Message.LParam != 0) {
          GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
          auto& Q = *reinterpret_cast<TvkParentBgQuery*>(Message.LParam);
          AnswerBackgroundRequest(SkinData, Q, 0, CtrlHandle);
          const TRect C = ClientInWindow();
          Q.OffsetX += C.Left;
          Q.OffsetY += C.Top;
        }
        return;
      default:
        if (ProcessSkinCommand(Message, SkinData)) return;
        break;
    }
  }
  const bool Skinned = SkinData != nullptr && SkinData->IsSkinned();
  if (Skinned) {
    switch (Message.Msg) {
      case WM_NCPAINT:
        PaintFrame();
        return;
      case WM_PAINT:
        if (SkinData->RecheckUpdating(false)) {
          PAINTSTRUCT PS{};
          BeginPaint(CtrlHandle, &PS);
          EndPaint(CtrlHandle, &PS);
          return;
        }
        break;
      case WM_ERASEBKGND:
        Message.Result = 1;
        return;
      case WM_PRINT: {
        SkinData->Updating = false;
        if (SkinData->CacheDirty || SkinData->CacheBmp == nullptr) RebuildCache();
        auto DC = reinterpret_cast<HDC>(Message.WParam);
        const TRect C = ClientInWindow();
        CopyBorderStrips(DC, 0, 0, C.Left, 0, 0, SkinData->CacheBmp->Canvas()->Handle(), WndSize.Y, WndSize.X);
        const int Saved = SaveDC(DC);
        SetViewportOrgEx(DC, C.Left, C.Top, nullptr);
        IntersectClipRect(DC, 0, 0, C.Width(), C.Height());
        SendMessageA(CtrlHandle, WM_PAINT, Message.WParam, 0);
        RestoreDC(DC, Saved);
        return;
      }
      case CN_NOTIFY: {
        auto* H = reinterpret_cast<NMHDR*>(Message.LParam);
        if (H->code == static_cast<UINT>(TBN_DELETINGBUTTON)) {
          if (HotIndex >= static_cast<int>(SendMessageA(CtrlHandle, TB_BUTTONCOUNT, 0, 0)) - 1) HotIndex = -1;
        } else if (H->code == static_cast<UINT>(TBN_DROPDOWN) && ToolBar != nullptr) {
          const int Index =
              static_cast<int>(SendMessageA(CtrlHandle, TB_COMMANDTOINDEX, reinterpret_cast<NMTOOLBARA*>(H)->iItem, 0));
          if (Index >= 0 && Index < ToolBar->ButtonCount()) {
            SetDropDownButton(ToolBar->Buttons(Index));
            RepaintButton(Index);
          }
        }
        break;
      }
      default:
        break;
    }
  }
  if (SkinData != nullptr && ProcessCommonSkinMessage(Message, SkinData)) return;
  TvkMainWnd::WndProc(Message);
  if (SkinData == nullptr || !SkinData->IsSkinned()) return;
  const bool Tracking = !Designing(ToolBar) && !(ToolBar != nullptr && ToolBar->InMenuLoop());
  switch (Message.Msg) {
    case WM_SIZE:
      if (!SkinData->IsUpdating()) RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE);
      break;
    case CN_DROPDOWNCLOSED:
      if (FDropDownButton != nullptr) {
        const int Index = FDropDownButton->Index();
        HotIndex = -1;
        SetDropDownButton(nullptr);
        RepaintButton(Index);
      } else {
        HotIndex = -1;  // the button went while its menu was open
      }
      break;
    case WM_MOUSEMOVE: {
      if (!Tracking) break;
      const int Under = ButtonAt(TPoint(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))));
      if (Under == HotIndex) break;
      if (Under >= 0 && !ButtonEnabled(Under)) break;
      const int Old = HotIndex;
      HotIndex = Under;
      if (!ButtonDown(Old)) RepaintButton(Old);
      if (!ButtonDown(Under)) RepaintButton(Under);
      break;
    }
    case CM_MOUSELEAVE:
      if (!Tracking) break;
      if (!ButtonDown(HotIndex)) RepaintButton(HotIndex);
      HotIndex = -1;
      break;
    default:
      break;
  }
}
