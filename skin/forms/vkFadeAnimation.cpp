#include "skin/forms/vkFadeAnimation.h"

#include <algorithm>

#include "skin/core/vkntTypes.h"
#include "skin/core/sVclUtils.h"

IMPLEMENT_CLASS(TvkFadeAnimation)

TvkFadeAnimation::TvkFadeAnimation(TComponent* AOwner) : TTimer(AOwner) {
  SetEnabled(false);
  OnTimer = TNotifyEvent(this, &TvkFadeAnimation::DoStep);
}

TvkFadeAnimation::~TvkFadeAnimation() {
  SetEnabled(false);
  FreeImages();
}

void TvkFadeAnimation::FreeImages() {
  if (GlowWindow != nullptr) {
    GlowWindow->Free();
    GlowWindow = nullptr;
  }
  DropImage();
  ShownAlpha = 0;
}

void TvkFadeAnimation::DropImage() {
  delete Image;
  Image = nullptr;
}

TvkGlowForm* TvkFadeAnimation::NewFadeWindow() {
  TvkGlowForm* W = Create<TvkGlowForm>(nullptr);
  W->CreationExStyle = kFadeWindowExStyle;
  W->HandleNeeded();
  return W;
}

int TvkFadeAnimation::AlphaStep() const { return std::max(255 / std::max(StepCount, 1), 0); }

bool TvkFadeAnimation::EnterState(int NewState, bool FadeIn) {
  if (NewState == State) return false;
  State = NewState;
  if (NewState == 0) {
    FadingIn = false;
    return true;
  }
  if (NewState == 2) DropImage();
  Step = 1;
  FadingIn = FadeIn;
  ShowFrame(std::min(AlphaStep(), 255));
  Step = 2;
  return true;
}

void TvkFadeAnimation::DoStep(TObject*) {
  if (!Enabled()) return;
  // the window it lies over went off the screen: the fade ends there, as a finished fade-out does, rather than
  // show its window alone
  const bool OwnerShown = OwnerWnd == nullptr || IsWindowVisible(OwnerWnd);
  if (OwnerShown && FadingIn) {
    if (Step < StepCount) {
      ShowFrame(std::clamp(AlphaStep() * Step, 0, 255));
      ++Step;
      return;
    }
    if (!CursorStillOver()) return;
    if (StepCount != -1) {
      StepCount = -1;
      ShowFrame(255);
    }
    return;
  }
  if (OwnerShown && Step > 0) {
    ShowFrame(std::clamp(AlphaStep() * Step, 0, 255));
    --Step;
    return;
  }
  State = -1;
  SetEnabled(false);
  FreeImages();
}

HWND TvkFadeAnimation::PlaceAfter(HWND Over) const {
  if ((GetWindowLongA(OwnerWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) return HWND_TOPMOST;
  // nothing above it: the top; the fade window itself lying there already stays (inserted after itself)
  const HWND Above = GetWindow(Over, GW_HWNDPREV);
  return Above != nullptr ? Above : HWND_TOP;
}

void TvkFadeAnimation::PresentImage(POINT Corner, int Alpha) {
  const HWND H = GlowWindow->Handle();
  SetWindowLongA(H, GWL_EXSTYLE, GetWindowLongA(H, GWL_EXSTYLE) | kFadeWindowExStyle);
  UpdateLayeredFromBitmap(H, Image, static_cast<BYTE>(Alpha), Corner);
  ShowWindow(H, SW_SHOWNOACTIVATE);
  ShownAlpha = Alpha;
}
