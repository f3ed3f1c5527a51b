// The step timers of a skinned form's animations: the fade while it is dragged by its caption, and the flight of
// its picture to the taskbar button (shrinking and fading) when it is minimised, and back when it is restored.
#pragma once
#include <windows.h>

#include "skin/core/vkThdTimer.h"

class TBitmap;
class TsSkinProvider;
class TvkBorderForm;
class TvkGlowForm;

class TvkMoveTimer : public TvkThreadedTimer {
  DECLARE_CLASS(TvkMoveTimer, TvkThreadedTimer)
public:
  TvkMoveTimer(TComponent* AOwner, TsSkinProvider* Provider);
  bool DoStep() override;
  // The alpha per tick for the manager's blend time (one tick up to 12 ms).
  static double StepFor(int TargetAlpha, int Time);

  int TargetAlpha = 255;
  HWND FormWnd = nullptr;
  TvkBorderForm* BorderForm = nullptr;
  double AlphaStep = 0;
  double Alpha = 255;
  TsSkinProvider* Provider = nullptr;
};

class TvkMinTimer : public TvkThreadedTimer {
  DECLARE_CLASS(TvkMinTimer, TvkThreadedTimer)
public:
  explicit TvkMinTimer(TComponent* AOwner);
  // The provider's own timer: prepared at once, with a form picture to fill.
  TvkMinTimer(TComponent* AOwner, TsSkinProvider* Provider);
  ~TvkMinTimer() override;
  void Init();
  bool DoStep() override;
  // The form's opacity at rest, a quarter of it for a slow animation where the desktop composes.
  uint8_t RestAlpha();
  TRect FindTarget();
  void ComputeSteps();
  // The rectangle the picture has now (rounded).
  TRect CurrentRect() const;
  // The flight cut short (the form shown or restored meanwhile): stopped, and the form left as the last step
  // leaves it, opaque (or at its own alpha), its provider's flight bits cleared and its border window placed
  // again; the picture is not shown any more.
  void EndEarly();

  double Alpha = 0;
  double AlphaStep = 0;
  double CurRight = 0, CurLeft = 0, CurTop = 0, CurBottom = 0;
  int StepCount = 1;
  TPoint StartCentre, TargetCentre;
  double CentreStepX = 0, CentreStepY = 0;
  double ShrinkX = 0, ShrinkY = 0;
  uint8_t StartAlpha = 255, EndAlpha = 0;
  TRect StartRect, TargetRect;
  int Side = 0;  // 1 left, 2 top, 4 right, 8 bottom: the taskbar edge when no button was found
  TvkGlowForm* AnimWindow = nullptr;
  TsSkinProvider* Provider = nullptr;
  HWND FormWnd = nullptr;
  TvkBorderForm* BorderForm = nullptr;
  TBitmap* FormImage = nullptr;
  TBitmap* Image = nullptr;
  bool Restoring = false;
  bool OwnsWindow = false;

private:
  void FollowBorderForm();
  void ShowImage();
  void FinishMinimizing();
  void FinishRestoring();
  bool FInStep = false;
};

// The screen rectangle of the application's taskbar button, read from the shell's task tool bar; empty when
// none is found (or the shell is not a 32-bit process).
TRect GetTaskbarButtonRect();
