// Group boxes painted from the skin.
#include <algorithm>

#include "framework/Controls.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkButtonWnds.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinText.h"

IMPLEMENT_CLASS(TvkGroupBoxWnd)

namespace {
bool HasExStyle(HWND W, LONG Bit) { return (GetWindowLongA(W, GWL_EXSTYLE) & Bit) != 0; }
TsSkinManager* ManagerOf(TsCommonData* SD) { return SD != nullptr ? SD->SkinManager() : nullptr; }
}  // namespace

void TvkGroupBoxWnd::FinishCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("GROUPBOX");
  TvkMainWnd::FinishCreation();
}

TRect TvkGroupBoxWnd::GetCaptionRect() {
  const std::string Text = WideToAnsi(Caption);
  TRect T(0, 0, 0, 0);
  if (!Text.empty()) {
    // Measured also before the first paint: the children's backgrounds and the dialog's clip depend on it.
    if (SkinData->CacheBmp == nullptr) SkinData->CacheBmp = NewBitmap32(0, 0);
    SelectAdapterFont(this);
    DrawStringOnDC(SkinData->CacheBmp->Canvas()->Handle(), Text, T, DT_CALCRECT | DT_CENTER);
  }
  const int W = WndSize.X;
  const int Left = HasExStyle(CtrlHandle, WS_EX_RTLREADING) ? W - T.Width() - 14 : 6;
  return TRect(Left, 0, std::min(Left + T.Width() + 8, W - 1), std::max(4, T.Height()) + 2);
}

void TvkGroupBoxWnd::DrawCaption() {
  TCanvas* Canvas = SkinData->CacheBmp->Canvas();
  const TRect R = GetCaptionRect();
  TvkBgCacheRef Bg;
  AdapterParentBackground(this, Bg);
  FillFromBackground(Canvas->Handle(), R, Bg);
  SetBkMode(Canvas->Handle(), TRANSPARENT);
  SelectAdapterFont(this);
  Canvas->Font()->SetColor(static_cast<TColor>(FontColorForWindow(CtrlHandle, SkinData->SkinIndex, ManagerOf(SkinData), 0)));
  UINT Flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  if (HasExStyle(CtrlHandle, WS_EX_RTLREADING)) Flags |= DT_RTLREADING;
  DrawSectionTextStr(Canvas, WideToAnsi(Caption), IsWindowEnabled(CtrlHandle) != FALSE, ManagerOf(SkinData), 0,
                     SkinData->SkinIndex, Flags, R);
}

void TvkGroupBoxWnd::PaintCache() {
  PrepareCacheBitmap(SkinData);
  TBitmap* Cache = PrepareAdapterCache(this);
  SelectAdapterFont(this);
  const TRect Cap = GetCaptionRect();
  const int W = WndSize.X, H = WndSize.Y;
  TvkBgCacheRef Bg;
  AdapterParentBackground(this, Bg);
  FillFromBackground(Cache->Canvas()->Handle(), TRect(0, 0, W, Cap.Bottom), Bg);
  const int Half = Cap.Height() / 2;
  RenderControlSkin(SkinData, Bg, true, Cache, TPoint(0, Half), TRect(0, Half, W, H), 0);
  if (!Caption.empty()) DrawCaption();
  SkinData->CacheDirty = false;
}

void TvkGroupBoxWnd::PaintToDC(TMessage& Message) {
  PAINTSTRUCT PS{};
  const bool Painting = Message.Msg == WM_PAINT;
  if (Painting) BeginPaint(CtrlHandle, &PS);
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (!SkinData->RecheckUpdating(false)) {
    const bool Given = Message.WParam != 0 && Message.LParam == 1;
    HDC DC = Given ? reinterpret_cast<HDC>(Message.WParam) : GetDC(CtrlHandle);
    PaintCache();
    const int Saved = SaveDC(DC);
    if (DlgMode) {
      // The dialog's own background shows inside the frame.
      int L = 1, R = 1, B = 1;
      if (TsSkinManager* M = ManagerOf(SkinData); M != nullptr && M->SectionIndexInRange(SkinData->SkinIndex)) {
        const int Mask = M->gd()[SkinData->SkinIndex].BorderIndex;
        if (M->MaskIndexInRange(Mask)) {
          L = M->ma()[Mask].WL;
          R = M->ma()[Mask].WR;
          B = M->ma()[Mask].WB;
        }
      }
      ExcludeClipRect(DC, L, GetCaptionRect().Height(), WndSize.X - R, WndSize.Y - B);
    }
    const RECT All{0, 0, WndSize.X, WndSize.Y};
    if (auto* Owner = As<TWinControl>(SkinData->OwnerControl)) {
      BlitCacheExceptChildren(Owner, SkinData, POINT{0, 0}, 0, 0, false, DC, All);
      PaintGraphicChildren(DC, Owner, true, POINT{0, 0});
    } else {
      BlitCacheExceptChildWindows(CtrlHandle, SkinData, POINT{0, 0}, 0, 0, false, DC, All);
    }
    RestoreDC(DC, Saved);
    if (!Given) ReleaseDC(CtrlHandle, DC);
    RepaintChildWindowsAfterUpdate(CtrlHandle);
  }
  if (Painting) EndPaint(CtrlHandle, &PS);
}

void TvkGroupBoxWnd::WndProc(TMessage& Message) {
  if (SkinData == nullptr) {
    TvkMainWnd::WndProc(Message);
    return;
  }
  const HWND W = CtrlHandle;
  auto Inherited = [&] { TvkMainWnd::WndProc(Message); };
  constexpr UINT kFrameRedraw = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME;
  switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      WithoutRedraw(W, Inherited);
      SkinData->CacheDirty = true;
      RedrawWindow(W, nullptr, nullptr, kFrameRedraw);
      return;
    case WM_SETTEXT:
      Inherited();
      SkinData->CacheDirty = true;
      RedrawWindow(W, nullptr, nullptr, kFrameRedraw);
      return;
    case WM_PAINT:
      // In a dialog too: the native paint would draw its own frame over the skinned one.
      PaintToDC(Message);
      Message.Result = 0;
      return;
    case WM_ERASEBKGND: {
      if (DlgMode) break;
      TControl* Owner = SkinData->OwnerControl;
      if (Owner != nullptr && !Owner->ControlState().Contains(csPaintCopy) && Message.WParam != static_cast<WPARAM>(Message.LParam)) {
        if (Owner->ComponentState().Contains(csDesigning)) Inherited();
        Message.Result = 1;
        return;
      }
      if (Message.WParam != 0) {
        if (SkinData->CacheDirty) PaintCache();
        if (!SkinData->CacheDirty) BlitCacheTo(this, reinterpret_cast<HDC>(Message.WParam));
      }
      Message.Result = 1;
      return;
    }
    case WM_NCPAINT:
      if (!DlgMode) break;
      {
        TMessage Empty{WM_NCPAINT, 0, 0, 0};
        PaintToDC(Empty);
      }
      Message.Result = 1;
      return;
    case WM_PRINT:
      SkinData->CacheDirty = true;
      SkinData->Updating = false;
      Message.LParam = 1;
      PaintToDC(Message);
      return;
    case WM_PARENTNOTIFY:
      if (LOWORD(Message.WParam) == WM_CREATE || LOWORD(Message.WParam) == WM_DESTROY) {
        Inherited();
        if (LOWORD(Message.WParam) == WM_CREATE && SkinData->OwnerControl != nullptr)
          if (TWinControl* Child = FindControl(reinterpret_cast<HWND>(Message.LParam))) AskFormToAdaptControl(Child);
        return;
      }
      break;
    case SM_VKCMD:
      switch (SkinCommandCode(Message.WParam)) {
        case VKCMD_SKIN_DROPPED:
          if (TControl* Owner = SkinData->OwnerControl) Owner->SetControlStyle(Owner->ControlStyle() - csOpaque);
          break;
        case VKCMD_QUERY_CAPTION_HEIGHT:
          Message.Result = GetCaptionRect().Height();
          return;
        default:
          break;
      }
      break;
    default:
      break;
  }
  Inherited();
}
