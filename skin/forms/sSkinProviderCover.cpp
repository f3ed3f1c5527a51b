// The two glow windows the skinner lays over its form: the caption cover, which hides the system's caption
// flash while activation or the caption text changes, and the veil over a disabled form.
#include <windows.h>

#include "framework/Platform.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderMetrics.h"
#include "skin/forms/sSkinProviderUnit.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkPixelOps.h"

namespace {

// The state bits of animations and snapshots that own the frame; the two markers of the activation handler
// itself do not keep the cover away.
constexpr uint32_t kCoverBlockingStates = ~uint32_t{0x7F} & ~(fsfInNCActivate | fsfCaptionFixed);

// Shows the provider's frame cache, nothing else: erasing or a frame would flash what it is there to hide.
class TvkCaptForm : public TvkGlowForm {
  DECLARE_CLASS(TvkCaptForm, TvkGlowForm)
public:
  explicit TvkCaptForm(TComponent* AOwner) : TvkGlowForm(AOwner) {}
  TsSkinProvider* Provider = nullptr;

protected:
  void WndProc(TMessage& Message) override {
    switch (Message.Msg) {
      case WM_PAINT: Paint(); Message.Result = 0; return;
      case WM_ERASEBKGND:
      case WM_NCPAINT: Message.Result = 1; return;
      default: inherited::WndProc(Message);
    }
  }

private:
  void Paint() {
    PAINTSTRUCT PS;
    const HDC DC = BeginPaint(Handle(), &PS);
    TBitmap* Cache = Provider != nullptr ? Provider->FrameCache() : nullptr;
    if (Cache != nullptr && DC != nullptr) {
      int X = 0, Y = 0;
      if (Provider->BorderForm() != nullptr) {
        const int B = Provider->Form()->BorderWidth();
        X = Provider->GetClientOffsetLeft() - B;
        Y = Provider->GetClientOffsetTop() - Provider->GetMenuLineCount() * Provider->MenuLineHeight() - B - 1;
      }
      BitBlt(DC, 0, 0, Width(), Height(), Cache->Canvas()->Handle(), X, Y, SRCCOPY);
    }
    EndPaint(Handle(), &PS);
  }
};
IMPLEMENT_CLASS(TvkCaptForm)

}  // namespace

void TsSkinProvider::ShowCaptionCover() {
  const HWND W = FormHandle();
  if (!FDrawNonClientArea || FFramePaintSuspended || W == nullptr || IsIconic(W) || !FForm->Showing()) return;
  if (FBorderForm != nullptr && FormMainMenu(FForm) == nullptr) return;
  const bool MDIChild = FForm->FormStyle() == fsMDIChild;
  if (MDIChild && g_MDIMain != nullptr && g_MDIMain->RedrawLockCount() > 0) return;
  if ((FFormState & kCoverBlockingStates) != 0) return;

  auto* Cover = static_cast<TvkCaptForm*>(FCaptionCover);
  if (Cover == nullptr) {
    Cover = Create<TvkCaptForm>(nullptr);
    Cover->Provider = this;
    Cover->HandleNeeded();
    if (!Cover->HandleAllocated()) {
      Cover->Free();
      return;
    }
    FCaptionCover = Cover;
  }
  const HWND C = Cover->Handle();
  int Left, Top, Width, Height;
  if (FBorderForm != nullptr) {
    // only the menu line: the border window draws the caption itself
    TRect M;
    GetExtBorderMargins(M);
    const int Band = GetMenuLineCount() * MenuLineHeight();
    const int F = GetWindowFrameWidth(W, FBorderForm, false);
    Height = Band + 2;
    Top = GetClientOffsetTop() + FForm->Top() - (Band + 1) - M.Top - GetExtraCaptionHeight(FBorderForm);
    Left = FForm->Left() + F;
    Width = FForm->Width() - 2 * F;
  } else {
    Height = FForm->Height();
    Width = FForm->Width();
    RECT WR{};
    GetWindowRect(W, &WR);
    const bool Placed = FForm->Parent() != nullptr || MDIChild;
    Left = Placed ? WR.left : FForm->Left();
    Top = Placed ? WR.top : FForm->Top();
    // the frame only, less what lies under the windows above the form
    HRGN Region = CreateFormRegionAt(0, 0);
    ExcludeWindowsAbove(W, Region, W);
    RECT CR{};
    GetClientRect(W, &CR);
    POINT Origin{0, 0};
    ClientToScreen(W, &Origin);
    HRGN Client = CreateRectRgn(Origin.x - WR.left, Origin.y - WR.top, Origin.x - WR.left + CR.right,
                                Origin.y - WR.top + CR.bottom);
    CombineRgn(Region, Region, Client, RGN_DIFF);
    DeleteObject(Client);
    if (Placed) {
      const HDC DC = GetWindowDC(W);
      RECT Clip{};
      const int Kind = GetClipBox(DC, &Clip);
      ReleaseDC(W, DC);
      if (Kind == NULLREGION) {
        DeleteObject(Region);
        HideCaptionCover();
        return;
      }
      HRGN ClipRgn = CreateRectRgnIndirect(&Clip);
      CombineRgn(Region, Region, ClipRgn, RGN_AND);
      DeleteObject(ClipRgn);
    }
    SetWindowRgn(C, Region, FALSE);  // the window owns the region now
  }
  Cover->SetBounds(Left, Top, Width, Height);
  constexpr UINT Flags = SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
  if (MDIChild)
    SetWindowPos(C, nullptr, Left, Top, FForm->Width(), GetCaptionBarHeight(true), Flags | SWP_NOZORDER);
  else
    SetWindowPos(C, (WindowExStyle(W) & WS_EX_TOPMOST) != 0 ? HWND_TOPMOST : HWND_TOP, Left, Top, Width, Height, Flags);
  ShowWindow(C, SW_SHOWNOACTIVATE);
  RedrawWindow(C, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  // the cover must reach the screen before the system paints its caption under it
  Platform().Sleep(40);
}

void TsSkinProvider::HideCaptionCover() {
  if (FCaptionCover != nullptr) FreeAndNil(FCaptionCover);
}

void TsSkinProvider::UpdateDisabledVeil() {
  if (FForm == nullptr || FForm->Enabled()) {
    if (FVeil != nullptr) FreeAndNil(FVeil);
    return;
  }
  if (FVeil == nullptr) {
    FVeil = Create<TvkGlowForm>(nullptr);
    FVeil->SetColor(clBlack);
    FVeil->HandleNeeded();
    SetWindowLongA(FVeil->Handle(), GWL_EXSTYLE, WindowExStyle(FVeil->Handle()) | WS_EX_LAYERED);
  }
  int Left = FForm->Left(), Top = FForm->Top(), Width = FForm->Width(), Height = FForm->Height();
  if (FBorderForm != nullptr) {
    const int E = ExtraFrameWidth();
    const int C = GetExtraCaptionHeight(FBorderForm);
    Left -= E + 1;
    Top -= C + 1;
    Width += 2 * E + 2;
    Height += C + E + 2;
  }
  if (Width <= 0 || Height <= 0) return;
  // Opaque pixels: the constant alpha alone says how much of the colour shows (255 - DisabledBlendValue), so
  // the default DisabledBlendValue 255 gives an invisible veil.
  TBitmap* Bmp = NewBitmap32(Width, Height);
  FillRect32(Bmp, TRect(0, 0, Width, Height), static_cast<uint32_t>(FDisabledBlendColor), 255);
  const HDC Screen = GetDC(nullptr);
  POINT Pos{Left, Top}, Src{0, 0};
  SIZE Size{Width, Height};
  BLENDFUNCTION Blend{AC_SRC_OVER, 0, static_cast<BYTE>(255 - FDisabledBlendValue), AC_SRC_ALPHA};
  Platform().UpdateLayeredWindow(FVeil->Handle(), Screen, &Pos, &Size, Bmp->Canvas()->Handle(), &Src, 0x1FFFFFFF,
                                 &Blend, ULW_ALPHA);
  ReleaseDC(nullptr, Screen);
  delete Bmp;
  SetWindowPos(FVeil->Handle(), HWND_TOP, Left, Top, 0, 0,
               SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
  // shown without activation: the window that disabled the form (a modal box) keeps the focus
  FVeil->ShowNoActivate();
}
