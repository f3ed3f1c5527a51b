// The animated skin change: the new look replaces the old one gradually. A skinned form fades its new
// snapshot in on a layered window over itself; any other windowed control gets an output window laid over it
// that shows the old picture (taken from the screen before the change) and mixes it into the new one.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/Controls.h"
#include "skin/core/sSkinManager.h"

class TBitmap;

// The window laid over a control during its skin change; never skinned, never painted into snapshots.
class TOutputWindow : public TCustomControl {
  DECLARE_CLASS(TOutputWindow, TCustomControl)
public:
  explicit TOutputWindow(TComponent* AOwner);

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
};

// The output window of the running change (nil when none) and the old picture it shows.
TControl* SkinChangeOutputWindow();
TBitmap* SkinChangeOldPicture();

// Takes the old picture of a visible control from the screen and lays the output window over it.
void CaptureControlForChange(TControl* Control);
// Plays the change; the new skin is applied already. MaxAlpha: the form's final opacity (layered path); Mode
// atAero or atFading. The control gets WM_SETREDRAW 1 at the end. True when its last step redrew the control's
// window whole (frame, children and all), a skinned form's in its new shape.
bool AnimateSkinChange(TControl* Control, int Time, uint8_t MaxAlpha, TvkAnimType Mode);

// The old picture at the new one's size: a control resized since its capture keeps its old look where both
// pictures lie and shows the new one elsewhere, so every frame mixes whole pictures.
void FitOldPicture(TBitmap*& Old, TBitmap* New);
// The weights (255 = old picture only) of the output window's frames in Steps steps: from 255 down by
// 255 / Steps while above 2.
std::vector<int> SkinChangeWeights(int Steps);
// The old picture's opacity over the new one while the new one has opacity Alpha: opaque until the new one
// passes two thirds of MaxAlpha, then fading out.
uint8_t OldPictureAlpha(uint8_t MaxAlpha, uint8_t Alpha);
