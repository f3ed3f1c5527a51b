// The fade of one title button between its states: an image of the button's new state (or the skin's glow
// around it) shown on a small click-through layered window over the button, so that the caption is not
// repainted for each step; only the window's constant alpha changes per tick.
#pragma once
#include <windows.h>

#include "skin/forms/vkFadeAnimation.h"
#include "skin/forms/sSkinProvider.h"

class TsCommonData;
class TvkBorderForm;
class TvkDialogWnd;
class TvkGlowForm;
class TBitmap;

class TvkSBAnimation : public TvkFadeAnimation {
  DECLARE_CLASS(TvkSBAnimation, TvkFadeAnimation)
public:
  explicit TvkSBAnimation(TComponent* AOwner);
  ~TvkSBAnimation() override;

  // A fade toward NewState (0 normal, 1 hot, 2 pressed); the caller has set StepCount and Interval.
  void StartState(int NewState, bool FadeIn);
  // The cursor off the button: the timer stops and the owner gets WM_MOUSELEAVE.
  void CheckCursor();
  // Screen rectangle of the window: the button's, or the glow image's grown left and up by the margin.
  TRect ButtonScreenRect();
  // The skin's glow margin of the button kind while the glow applies (hot minimise, maximise, close), else 0.
  int GlowMargin();
  bool GlowApplies();
  void ShowFrame(int Alpha) override;
  void MakeGlowWindow();
  void MakeImage();

  TvkBorderForm* BorderForm = nullptr;
  TsCommonData* SkinData = nullptr;
  TsCaptionButton* Button = nullptr;
  // The provider whose button this is (its user title buttons and its iconic look); nil for a dialog.
  TsSkinProvider* Provider = nullptr;

protected:
  bool CursorStillOver() override;

private:
  // The window whose rectangle the button's coordinates are relative to.
  HWND FrameWindow() const;
  int GlowMaskIndex();
};

// Steps a title-button fade takes toward a state, and the tick between them.
constexpr int kTitleFadeSteps = 10;
constexpr int kTitleFadeInterval = 12;

// Starts or redirects the fade of Record toward NewState (nothing while the application terminates). The
// owner is the dialog adapter when given, else the provider.
void StartTitleButtonAnimation(TsCaptionButton& Record, TvkDialogWnd* Dialog, TsSkinProvider* Provider, int NewState,
                               bool Pressed);
// Frees a fade (its window and image with it) and clears the reference.
void FreeTitleButtonAnimation(TvkSBAnimation*& Animation);
// The provider's animated repaint of a title element: True when the fade took the repaint.
bool AnimateTitleElement(TsSkinProvider* Provider, int Code);
