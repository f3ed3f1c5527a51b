#include "skin/adapters/vkSmallWnds.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "framework/Platform.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkContainerMessages.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"

IMPLEMENT_CLASS(TvkSizerWnd)
IMPLEMENT_CLASS(TvkToolBarWnd)
IMPLEMENT_CLASS(TvkSpinWnd)

namespace {

constexpr UINT kRepaintAll = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
constexpr UINT kRepaintFrameNow = RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME;

bool CursorIn(HWND Wnd, const TRect& WindowPart) {
  POINT P{};
  Platform().GetCursorPos(&P);
  RECT W{};
  GetWindowRect(Wnd, &W);
  return P.x >= W.left + WindowPart.Left && P.x < W.left + WindowPart.Right && P.y >= W.top + WindowPart.Top &&
         P.y < W.top + WindowPart.Bottom;
}

// The window becomes the manager's hot window under the cursor and stops being it elsewhere.
void FollowHover(HWND W, bool RepaintWhenHot) {
  TsSkinManager* M = TsSkinManager::DefaultManager();
  if (M == nullptr || M->ComponentState().Contains(csDesigning) || !IsWindowEnabled(W)) return;
  RECT R{};
  GetWindowRect(W, &R);
  if (CursorIn(W, TRect(0, 0, R.right - R.left, R.bottom - R.top))) {
    if (M->HotWindow() != W)
      M->ChangeHotWindow(W);
    else if (RepaintWhenHot)
      RedrawWindow(W, nullptr, nullptr, kRepaintFrameNow);
  } else if (M->HotWindow() == W) {
    M->ChangeHotWindow(nullptr);
  }
}

}  // namespace

void SplitToolButtonText(HDC DC, const std::string& Text, int Width, std::string& First, std::string& Second) {
  First = Text;
  Second.clear();
  size_t Previous = std::string::npos;
  for (size_t P = 0; P <= Text.size(); ++P) {
    if (P < Text.size() && Text[P] != ' ') continue;
    SIZE S{};
    GetTextExtentPoint32A(DC, Text.c_str(), static_cast<int>(P), &S);
    if (S.cx > Width) {
      if (Previous == std::string::npos) return;
      First = Text.substr(0, Previous);
      Second = Text.substr(Previous + 1);
      return;
    }
    Previous = P < Text.size() ? P : Previous;
  }
}

// ---- size grip ----

void TvkSizerWnd::FinishCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("TRANSPARENT");
  TvkMainWnd::FinishCreation();
}

void TvkSizerWnd::PaintGrip() {
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  PAINTSTRUCT PS{};
  BeginPaint(CtrlHandle, &PS);
  HDC DC = GetDC(CtrlHandle);
  std::unique_ptr<TBitmap> Bmp(NewBitmap32(WndSize.X, WndSize.Y));
  TsSkinManager* M = SkinData->SkinManager();
  const int Grip = M != nullptr ? M->ConstData().GripImage : -1;
  // The parent's background in any case: a skin without a grip image leaves just that.
  TvkParentBgQuery Q{};
  Q.OffsetX = WndPos.X;
  Q.OffsetY = WndPos.Y;
  Q.Area = TRect(0, 0, WndSize.X, WndSize.Y);
  QueryParentBackgroundWnd(Q, GetParent(CtrlHandle), false);
  TvkBgCacheRef Bg;
  BgCacheRefFromQuery(Q, Bg);
  FillFromBackground(Bmp->Canvas()->Handle(), TRect(0, 0, WndSize.X, WndSize.Y), Bg);
  if (M != nullptr && M->MaskIndexInRange(Grip)) {
    const TsMaskData& G = M->ma()[Grip];
    TvkBgCacheRef Own;
    InitBgInfo(Bmp.get(), 0, 0, Own);
    DrawSkinGlyph32(Bmp.get(), TPoint(std::max(WndSize.X - G.Width, 0), std::max(WndSize.Y - G.Height, 0)), 0, Own, G,
                    1);
  }
  BitBlt(DC, 0, 0, WndSize.X, WndSize.Y, Bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  ReleaseDC(CtrlHandle, DC);
  EndPaint(CtrlHandle, &PS);
}

void TvkSizerWnd::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
      PaintGrip();
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      Message.Result = 1;
      return;
    case WM_NCLBUTTONDOWN:
      // the corner answer below brings the press here, not to the grip's own handling that sizes the dialog
      if (Message.WParam == HTBOTTOMRIGHT) {
        const bool Mirrored = (GetWindowLongA(CtrlHandle, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
        if (SizeParentFromGrip(CtrlHandle, Message.LParam, Mirrored)) return;
      }
      break;
    default:
      break;
  }
  TvkMainWnd::WndProc(Message);
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTBOTTOMRIGHT;
    if (TsSkinManager* M = SkinData != nullptr ? SkinData->SkinManager() : nullptr; M != nullptr && IsWindowEnabled(CtrlHandle))
      M->ChangeHotWindow(nullptr);
  }
}

// ---- tool bars ----

int TvkToolBarWnd::ButtonCount() const { return static_cast<int>(SendMessageA(CtrlHandle, TB_BUTTONCOUNT, 0, 0)); }

TRect TvkToolBarWnd::ItemRect(int Index) const {
  RECT R{};
  SendMessageA(CtrlHandle, TB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R));
  return TRect(R);
}

std::string TvkToolBarWnd::ButtonText(int Command) const {
  // The length first: the text is copied whole, with no room asked for.
  const LRESULT Len = SendMessageA(CtrlHandle, TB_GETBUTTONTEXTA, static_cast<WPARAM>(Command), 0);
  if (Len <= 0) return {};
  std::string Text(static_cast<size_t>(Len) + 1, '\0');
  SendMessageA(CtrlHandle, TB_GETBUTTONTEXTA, static_cast<WPARAM>(Command), reinterpret_cast<LPARAM>(Text.data()));
  Text.resize(strlen(Text.c_str()));
  return Text;
}

void TvkToolBarWnd::RefreshCache() {
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (!SkinData->CacheDirty) return;
  RECT C{};
  GetClientRect(CtrlHandle, &C);
  ClientRect = TRect(C);
  PrepareAdapterCache(this);
  PaintAdapterCache(SkinData, CtrlHandle, false);  // a dialog's tool bar is no edit box: no edit look
  RestoreCacheCorners(SkinData, 0, this);
  BorderWidth = (WndSize.Y - ClientRect.Height()) / 2;
  SkinData->CacheDirty = false;
}

void TvkToolBarWnd::PaintBorder(HDC DC) {
  if (!(GetWindowLongA(CtrlHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) || SkinData->IsUpdating()) return;
  RefreshCache();
  const bool Own = DC == nullptr;
  if (Own) DC = GetWindowDC(CtrlHandle);
  CopyBorderStrips(DC, 0, 0, (WndSize.X - ClientRect.Width()) / 2, 0, 0, SkinData->CacheBmp->Canvas()->Handle(),
                   WndSize.Y, WndSize.X);
  if (Own) ReleaseDC(CtrlHandle, DC);
}

void TvkToolBarWnd::PaintToDC(HDC DC, POINT At) {
  RefreshCache();
  std::unique_ptr<TBitmap> Copy(NewBitmap32LikeGraphic(SkinData->CacheBmp));
  PaintButtons(Copy.get());
  const bool Own = DC == nullptr;
  if (Own) DC = GetDC(CtrlHandle);
  SetRectAlpha32(Copy.get(), TRect(0, 0, Copy->Width(), Copy->Height()), 255, NoColor32);
  BitBlt(DC, At.x, At.y, WndSize.X - 2 * BorderWidth, WndSize.Y - 2 * BorderWidth, Copy->Canvas()->Handle(),
         BorderWidth, BorderWidth, SRCCOPY);
  if (Own) ReleaseDC(CtrlHandle, DC);
}

void TvkToolBarWnd::Print(HDC DC) {
  // The print DC starts at the window's corner: the client goes inside the frame.
  PaintToDC(DC, ClientOriginInWindow(CtrlHandle));
  PaintBorder(DC);
}

void TvkToolBarWnd::PaintButtons(TBitmap* Bmp) {
  CopyBitmapFull(Bmp, SkinData->CacheBmp);
  const int Count = ButtonCount();
  for (int I = 0; I < Count; ++I) {
    TRect R = ItemRect(I);
    OffsetRect(R.AsRECT(), BorderWidth, BorderWidth);
    PaintButton(I, R, Bmp->Canvas()->Handle());
  }
}

void TvkToolBarWnd::PaintButton(int Index, const TRect& R, HDC DC) {
  TBBUTTON Btn{};
  if (!SendMessageA(CtrlHandle, TB_GETBUTTON, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Btn))) return;
  TsSkinManager* M = SkinData->SkinManager();
  TBitmap* Cache = SkinData->CacheBmp;
  if (M == nullptr || R.Width() <= 0 || R.Height() <= 0) return;
  std::unique_ptr<TBitmap> B(NewBitmap32(R.Width(), R.Height()));
  HDC BDC = B->Canvas()->Handle();
  BitBlt(BDC, 0, 0, R.Width(), R.Height(), Cache->Canvas()->Handle(), R.Left, R.Top, SRCCOPY);
  TvkBgCacheRef Bg;
  InitBgInfo(Cache, R.Left, R.Top, Bg);
  if (Btn.fsStyle & BTNS_SEP) {
    const int Divider = M->FindSectionIndex("DIVIDER");
    if (!M->MaskIndexInRange(M->FindMaskInherited(Divider, "BORDERSMASK"))) return;
    const int X = B->Width() / 2 - 1;
    PaintSectionItem(Divider, Bg, -1, -1, M, B.get(), TPoint(X, 2), TRect(X, 2, X + 4, B->Height() - 2), 0);
    BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), BDC, 0, 0, SRCCOPY);
    return;
  }
  int State = 0, Shift = 0;
  const bool Enabled = (Btn.fsState & TBSTATE_ENABLED) != 0;
  if (!Enabled)
    State = 0;
  else if (Btn.fsState & (TBSTATE_PRESSED | TBSTATE_CHECKED)) {
    // A checked toggle shows pressed, as the system draws it: its state must be visible.
    State = 2;
    Shift = 1;
  } else {
    State = CursorIn(CtrlHandle, R) ? 1 : 0;
  }
  const int Tool = M->ConstData().Sections[ssToolButton];
  PaintSectionItem(Tool, Bg, -1, -1, M, B.get(), TPoint(), TRect(0, 0, R.Width(), R.Height()), State);
  const std::string Text = ButtonText(Btn.idCommand);
  const bool HasText = !Text.empty();
  int CX = 0, CY = 0;
  bool HasImage = false;
  if (Btn.iBitmap >= 0)
    if (auto IL = reinterpret_cast<HIMAGELIST>(SendMessageA(CtrlHandle, TB_GETIMAGELIST, 0, 0))) {
      ImageList_GetIconSize(IL, &CX, &CY);
      HasImage = true;
      const int Arrow = M->ConstData().Elements[seComboBtn].GlyphIndex;
      int X, Y;
      if ((Btn.fsStyle & BTNS_WHOLEDROPDOWN) && M->MaskIndexInRange(Arrow)) {
        const TsMaskData& A = M->ma()[Arrow];
        TvkBgCacheRef Own;
        InitBgInfo(B.get(), 0, 0, Own);
        const int AX = HasText ? (B->Width() - A.Width) / 2 : B->Width() - A.Width - 2;
        DrawSkinGlyph32(B.get(), TPoint(AX, (B->Height() - A.Height) / 2), State, Own, A, 1);
        X = (B->Width() - A.Width - CX) / 2 + Shift;
        Y = Shift + 4;
      } else if (HasText) {
        X = (B->Width() - CX) / 2 + Shift;
        Y = Shift + 4;
      } else {
        X = (B->Width() - CX) / 2 + Shift;
        Y = (B->Height() - CY) / 2 + Shift;
      }
      // Drawn without a background of its own; the list is the control's and keeps its colour.
      ImageList_DrawEx(IL, Btn.iBitmap, BDC, X, Y, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_NORMAL);
    }
  if (HasText) {
    TCanvas* Canvas = B->Canvas();
    if (auto Font = reinterpret_cast<HFONT>(SendMessageA(CtrlHandle, WM_GETFONT, 0, 0))) {
      LOGFONTA LF{};
      GetObjectA(Font, sizeof LF, &LF);
      AssignLogFont(Canvas->Font(), LF);
    }
    SelectObject(BDC, Canvas->Font()->Handle());
    const TRect TR(Shift + 2, (HasImage ? CY + 2 : 0) + 2 + Shift, B->Width() - 2 + Shift, B->Height() - 2 + Shift);
    const int Section = State == 0 ? SkinData->SkinIndex : Tool;
    std::string First, Second;
    SplitToolButtonText(BDC, Text, B->Width(), First, Second);
    if (Second.empty()) {
      DrawSectionTextStr(Canvas, First, Enabled, M, State, Section, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_END_ELLIPSIS, TR);
    } else {
      SIZE S{};
      GetTextExtentPoint32A(BDC, "Wg", 2, &S);
      DrawSectionTextStr(Canvas, First, Enabled, M, State, Section, DT_CENTER, TRect(TR.Left, TR.Top, TR.Right, TR.Top + S.cy));
      DrawSectionTextStr(Canvas, Second, Enabled, M, State, Section, DT_END_ELLIPSIS,
                         TRect(TR.Left, TR.Top + S.cy, TR.Right, TR.Bottom));
    }
  }
  if (!Enabled)
    BlendCopyKeyedRect(B.get(), 0, 0, Cache, TRect(R.Left, R.Top, R.Right - 1, R.Bottom - 1),
                       static_cast<uint8_t>(kDisabledLevel), 0xFF00FF);
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), BDC, 0, 0, SRCCOPY);
}

void TvkToolBarWnd::WndProc(TMessage& Message) {
  if (SkinData == nullptr) {
    TvkMainWnd::WndProc(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_PAINT:
      if (!IsWindowVisible(CtrlHandle)) break;
      {
        PAINTSTRUCT PS{};
        BeginPaint(CtrlHandle, &PS);
        if (!SkinData->RecheckUpdating(false)) PaintToDC(reinterpret_cast<HDC>(Message.WParam), POINT{0, 0});
        EndPaint(CtrlHandle, &PS);
      }
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_NCPAINT:
      PaintBorder();
      return;
    case WM_PRINT:
      Print(reinterpret_cast<HDC>(Message.WParam));
      return;
    default:
      break;
  }
  TvkMainWnd::WndProc(Message);
  if (Message.Msg == WM_SIZE || Message.Msg == WM_WINDOWPOSCHANGED) {
    SkinData->CacheDirty = true;
    RedrawWindow(CtrlHandle, nullptr, nullptr, kRepaintAll);
  } else if (Message.Msg == WM_MOUSEMOVE) {
    TsSkinManager* M = SkinData->SkinManager();
    if (M != nullptr && !M->ComponentState().Contains(csDesigning) && IsWindowEnabled(CtrlHandle) &&
        M->HotWindow() != CtrlHandle)
      M->ChangeHotWindow(CtrlHandle);
  }
}

// ---- up-down controls ----

void TvkSpinWnd::FinishCreation() {
  LeftIndent = 0;
  FirstState = 0;
  SecondState = 0;
  Pressed = false;
  TvkMainWnd::FinishCreation();
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
}

bool TvkSpinWnd::IsVertical() const { return (GetWindowLongA(CtrlHandle, GWL_STYLE) & UDS_HORZ) == 0; }

void TvkSpinWnd::PaintCache() {
  TvkBgCacheRef Bg;
  AdapterParentBackground(this, Bg);
  PrepareCacheBitmap(SkinData);
  TBitmap* Cache = PrepareAdapterCache(this);
  TsSkinManager* M = SkinData->SkinManager();
  if (M == nullptr) return;
  const int W = WndSize.X, H = WndSize.Y;
  const bool Vertical = IsVertical();
  const auto& E = M->ConstData().Elements;
  const std::string& Section = E[Vertical ? seUpDownTop : seUpDownLeft].SectionName;
  if (!Section.empty() && SkinData->SkinSection() != Section) SkinData->SetSkinSection(Section);
  const TRect Halves[2] = {Vertical ? TRect(LeftIndent, 0, W, H / 2 + H % 2) : TRect(0, 0, W / 2 + W % 2, H),
                           Vertical ? TRect(LeftIndent, H / 2, W, H) : TRect(W / 2, 0, W, H)};
  const int States[2] = {FirstState, SecondState};
  const int Arrows[2] = {Vertical ? seUpDownTop : seUpDownLeft, Vertical ? seUpDownBottom : seUpDownRight};
  const int Directions[2] = {Vertical ? adUp : adLeft, Vertical ? adDown : adRight};
  for (int I = 0; I < 2; ++I) {
    const TRect& R = Halves[I];
    RenderControlSkin(SkinData, Bg, true, Cache, TPoint(R.Left, R.Top), R, States[I]);
    const int Shift = States[I] == 2 && M->ButtonsOptions()->ShiftContentOnClick() ? 1 : 0;
    const int Mask = E[Arrows[I]].GlyphIndex;
    if (M->MaskIndexInRange(Mask)) {
      const TsMaskData& G = M->ma()[Mask];
      TvkBgCacheRef Own;
      InitBgInfo(Cache, 0, 0, Own);
      DrawSkinGlyph32(Cache, TPoint(R.Left + (R.Width() - G.Width) / 2 + Shift, R.Top + (R.Height() - G.Height) / 2 + Shift),
                      States[I], Own, G, 1);
      continue;
    }
    const int Index = SectionIndexForState(nullptr, SkinData->SkinIndex, M, States[I]);
    uint32_t Color = 0;
    if (M->SectionIndexInRange(Index)) {
      const TsGeneralData& G = M->gd()[Index];
      // the half's own state, as far as the section has states
      Color = G.Props[std::min({States[I], std::max(1, G.States) - 1, 2})].FontColor;
    }
    TRect AR = R;
    OffsetRect(AR.AsRECT(), Shift, Shift);
    if (Vertical)
      PaintArrowPixels32(Cache, Color, AR, Directions[I]);
    else
      PaintStyledArrow(Cache, Color, Color, M->Options()->EffectiveArrowsStyle(), 0, 0, 0, Directions[I], AR);
  }
}

void TvkSpinWnd::PaintToDC(TMessage& Message) {
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  const bool Vertical = IsVertical();
  const int W = WndSize.X, H = WndSize.Y;
  const TRect First = Vertical ? TRect(0, 0, W, H / 2 + H % 2) : TRect(0, 0, W / 2 + W % 2, H);
  const TRect Second = Vertical ? TRect(0, H / 2, W, H) : TRect(W / 2, 0, W, H);
  FirstState = SecondState = 0;
  if (CursorIn(CtrlHandle, First))
    FirstState = Pressed ? 2 : 1;
  else if (CursorIn(CtrlHandle, Second))
    SecondState = Pressed ? 2 : 1;
  PAINTSTRUCT PS{};
  const bool Painting = Message.Msg == WM_PAINT && Message.WParam == 0;
  if (Painting) BeginPaint(CtrlHandle, &PS);
  if (!SkinData->RecheckUpdating(false)) {
    HDC DC = Message.WParam != 0 ? reinterpret_cast<HDC>(Message.WParam) : GetDC(CtrlHandle);
    SkinData->CacheDirty = true;
    PaintCache();
    const int Skip = Vertical ? LeftIndent : 0;
    BitBlt(DC, Skip, 0, W - Skip, H, SkinData->CacheBmp->Canvas()->Handle(), Skip, 0, SRCCOPY);
    if (Message.WParam == 0) ReleaseDC(CtrlHandle, DC);
  }
  if (Painting) EndPaint(CtrlHandle, &PS);
}

void TvkSpinWnd::WndProc(TMessage& Message) {
  if (SkinData == nullptr) {
    TvkMainWnd::WndProc(Message);
    return;
  }
  const HWND W = CtrlHandle;
  auto Inherited = [&] { TvkMainWnd::WndProc(Message); };
  switch (Message.Msg) {
    case WM_PAINT:
      PaintToDC(Message);
      Message.Result = 0;
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      Message.Result = 1;
      return;
    case WM_LBUTTONDOWN:
      Pressed = true;
      Inherited();
      RedrawWindow(W, nullptr, nullptr, kRepaintFrameNow);
      return;
    case WM_LBUTTONUP:
      Pressed = false;
      Inherited();
      RedrawWindow(W, nullptr, nullptr, kRepaintFrameNow);
      return;
    case WM_LBUTTONDBLCLK:
      Inherited();
      Pressed = true;
      RedrawWindow(W, nullptr, nullptr, kRepaintFrameNow);
      Pressed = false;
      return;
    case WM_MOUSELEAVE:
      InvalidateRect(W, nullptr, FALSE);
      break;
    case WM_MOUSEMOVE:
      Inherited();
      FollowHover(W, true);
      return;
    case SM_VKCMD:
      if (SkinCommandCode(Message.WParam) == VKCMD_MOUSE_LEFT) RedrawWindow(W, nullptr, nullptr, kRepaintAll);
      break;
    default:
      break;
  }
  Inherited();
}
