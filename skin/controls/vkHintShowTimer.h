// The show animation of an alpha hint: 20 steps 12 ms apart in which a temporary click-through layered window
// carries the hint from the previous hint's place to its own, easing out, while its opacity rises to the
// target and the previous hint window fades by as much; then the hint window itself takes over.
#pragma once
#include <windows.h>

#include "skin/core/vkThdTimer.h"

class TBitmap;
class TvkCustomHintWindow;
class TvkGlowForm;

// The opacity a hint ends at: 255 less the skin's hint section's transparency (per cent, scaled to 255) when
// that is not 100, else 255.
BYTE HintTargetAlpha();

class TsShowTimer : public TvkThreadedTimer {
  DECLARE_CLASS(TsShowTimer, TvkThreadedTimer)
public:
  static constexpr int kSteps = 20;
  // Owned by the hint window it animates.
  explicit TsShowTimer(TvkCustomHintWindow* AWindow);
  ~TsShowTimer() override;
  // From From's top-left (empty: the hint does not slide) to Target, up to TargetAlpha; Previous (nil: none), a
  // hint window still showing, fades out meanwhile. The application's hint pause is 100 ms until the hint
  // manager forgets the hint.
  void Start(const TRect& From, const TRect& Target, BYTE TargetAlpha, TvkCustomHintWindow* Previous);
  // One step; the last one hands over to the window.
  void ShowStep();
  // Ends the animation without handing over (the hint went).
  void Stop();

  TRect Target;
  double X = 0, Y = 0;    // the carrier's place
  double DX = 0, DY = 0;  // its next step
  double Alpha = 0, AlphaStep = 0, PreviousAlpha = 0;
  BYTE EndAlpha = 255;
  int StepNo = 0;
  TvkGlowForm* Carrier() const { return FCarrier; }
  TvkCustomHintWindow* Previous() const { return FPrevious; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void DropCarrier();
  void Finish();
  TvkCustomHintWindow* FWindow;
  TvkCustomHintWindow* FPrevious = nullptr;
  TvkGlowForm* FCarrier = nullptr;
  TBitmap* FImage = nullptr;  // the window's hint, premultiplied for the carrier
};
