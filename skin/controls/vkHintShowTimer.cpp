#include "skin/controls/vkHintShowTimer.h"

#include <algorithm>
#include <cmath>

#include "framework/Forms.h"
#include "skin/controls/vkAlphaHintWindows.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkntTypes.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkPixelOps.h"

IMPLEMENT_CLASS(TsShowTimer)

namespace {
constexpr int kHeldHintPause = 100;  // the application's hint pause while a hint slides in
constexpr double kEase = 5;          // each step covers this fraction (1 / kEase) of what is left

// The skin draws the shadows of windows itself: the default manager's extended borders are in use.
bool SkinDrawsShadows() {
  TsSkinManager* M = TsSkinManager::DefaultManager();
  return M != nullptr && M->Active() && M->ExtBorderBitmap(true) != nullptr;
}

// The window carrying a hint while it slides in. Its window class is its own: the system's drop shadow, a class
// style, must reach no other glow window.
class TvkHintCarrier : public TvkGlowForm {
  DECLARE_CLASS(TvkHintCarrier, TvkGlowForm)
public:
  using TvkGlowForm::TvkGlowForm;

protected:
  void CreateWnd() override {
    inherited::CreateWnd();  // the class is made without the drop shadow
    if (SkinDrawsShadows()) return;
    const HWND Wnd = Handle();
    SetClassLongPtrA(Wnd, GCL_STYLE, GetClassLongPtrA(Wnd, GCL_STYLE) | CS_DROPSHADOW);
  }
};
IMPLEMENT_CLASS(TvkHintCarrier)
}  // namespace

BYTE HintTargetAlpha() {
  const int Section = SkinHintSection();
  if (Section < 0) return 255;
  const int T = TsSkinManager::DefaultManager()->gd()[Section].Props[0].Transparency;
  if (T == 100) return 255;
  return static_cast<BYTE>(std::clamp(255 - static_cast<int>(std::lround(T * 2.55)), 0, 255));
}

TsShowTimer::TsShowTimer(TvkCustomHintWindow* AWindow) : TvkThreadedTimer(AWindow), FWindow(AWindow) {
  SetEnabled(false);
  SetInterval(12);
  SetOnTimer(TNotifyEvent([this](TObject*) { ShowStep(); }));
}

TsShowTimer::~TsShowTimer() {
  DropCarrier();
  if (FImage != nullptr) FImage->Free();
}

void TsShowTimer::Start(const TRect& From, const TRect& ATarget, BYTE TargetAlpha, TvkCustomHintWindow* Previous) {
  Stop();
  Target = ATarget;
  EndAlpha = TargetAlpha;
  Alpha = 0;
  AlphaStep = static_cast<double>(TargetAlpha) / kSteps;
  StepNo = 0;
  const bool Slides = From.Width() > 0 || From.Height() > 0;
  X = Slides ? From.Left : Target.Left;
  Y = Slides ? From.Top : Target.Top;
  // The first step too goes toward the target, whatever the placement: one away from it would make the hint
  // jump off before it slides in.
  DX = (Target.Left - X) / kEase;
  DY = (Target.Top - Y) / kEase;
  if (FPrevious != nullptr) FPrevious->RemoveFreeNotification(this);
  FPrevious = Previous;
  PreviousAlpha = 255;
  if (Previous != nullptr) Previous->FreeNotification(this);
  if (HintManager != nullptr && HintManager->SavedHintPause < 0 && Application != nullptr) {
    HintManager->SavedHintPause = Application->HintPause();
    Application->SetHintPause(kHeldHintPause);
  }
  TBitmap* Hint = FWindow->HintBitmap();
  if (Hint == nullptr) throw EInvalidOperation("A hint is animated before it is drawn");
  if (FImage == nullptr) FImage = NewBitmap32(1, 1);
  FImage->SetSize(Hint->Width(), Hint->Height());
  CopyBitmapFull(FImage, Hint);
  PremultiplyBitmap(FImage);
  FCarrier = Create<TvkHintCarrier>(nullptr);
  FCarrier->CreationExStyle = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  const HWND Wnd = FCarrier->Handle();
  UpdateLayeredFromBitmap(Wnd, FImage, 0, POINT{static_cast<int>(X), static_cast<int>(Y)});
  SetWindowPos(Wnd, HWND_TOPMOST, static_cast<int>(X), static_cast<int>(Y), FImage->Width(), FImage->Height(),
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  SetEnabled(true);
}

void TsShowTimer::ShowStep() {
  if (FCarrier == nullptr) {
    SetEnabled(false);
    return;
  }
  ++StepNo;
  Alpha = std::min<double>(EndAlpha, Alpha + AlphaStep);
  X += DX;
  Y += DY;
  DX = (Target.Left - X) / kEase;
  DY = (Target.Top - Y) / kEase;
  if (FPrevious != nullptr) {
    PreviousAlpha = std::max(0.0, PreviousAlpha - AlphaStep);
    const TRect P = FPrevious->TargetRect();
    FPrevious->ShowContent(static_cast<BYTE>(std::lround(PreviousAlpha)), POINT{P.Left, P.Top});
  }
  if (StepNo >= kSteps) {
    Finish();
    return;
  }
  UpdateLayeredFromBitmap(FCarrier->Handle(), FImage, static_cast<BYTE>(std::lround(Alpha)),
                          POINT{static_cast<int>(std::lround(X)), static_cast<int>(std::lround(Y))});
}

void TsShowTimer::Finish() {
  SetEnabled(false);
  Alpha = EndAlpha;
  X = Target.Left;
  Y = Target.Top;
  FWindow->ShowContent(EndAlpha, POINT{Target.Left, Target.Top});
  if (FPrevious != nullptr) {
    TvkCustomHintWindow* P = FPrevious;
    P->RemoveFreeNotification(this);
    FPrevious = nullptr;
    P->HideHint();
  }
  DropCarrier();
}

void TsShowTimer::Stop() {
  SetEnabled(false);
  if (FPrevious != nullptr) FPrevious->RemoveFreeNotification(this);
  FPrevious = nullptr;
  DropCarrier();
}

void TsShowTimer::DropCarrier() {
  if (FCarrier == nullptr) return;
  TvkGlowForm* C = FCarrier;
  FCarrier = nullptr;
  C->Free();
}

void TsShowTimer::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent == FPrevious) FPrevious = nullptr;
  inherited::Notification(AComponent, Operation);
}
