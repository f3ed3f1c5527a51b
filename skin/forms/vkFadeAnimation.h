// A fade of an image on a small click-through layered window over part of a caption, stepped by a timer: in
// toward a hot or pressed state, out to the normal one. Only the window's constant alpha changes per tick, so
// the caption is not repainted for each step.
#pragma once
#include <windows.h>

#include "framework/ExtCtrls.h"

class TBitmap;
class TvkGlowForm;

// The fade window takes no activation and lets the mouse through.
constexpr LONG kFadeWindowExStyle = WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT;  // 0x8080020

class TvkFadeAnimation : public TTimer {
  DECLARE_CLASS(TvkFadeAnimation, TTimer)
public:
  explicit TvkFadeAnimation(TComponent* AOwner);
  ~TvkFadeAnimation() override;

  // 255 div StepCount; a count below 1 counts as 1 (-1 marks a finished fade-in).
  int AlphaStep() const;
  void DoStep(TObject* Sender);
  // The fade window freed, and the image with it.
  void FreeImages();
  // The image dropped, to be made again for the next frame; the window stays where it is, so none is destroyed
  // and shown anew under a pressed pointer.
  void DropImage();
  // The image on the fade window at the given alpha (0..255).
  virtual void ShowFrame(int Alpha) = 0;

  int Step = 0;
  int State = 0;      // -1 once a fade-out ended
  int StepCount = 1;  // -1 once a fade-in ended and its final frame was shown
  bool FadingIn = false;
  TvkGlowForm* GlowWindow = nullptr;
  TBitmap* Image = nullptr;
  HWND OwnerWnd = nullptr;
  int ShownAlpha = 0;  // the constant alpha the window shows now (0: no window shown)

protected:
  // A new fade window: takes no activation and lets all mouse input through from its creation on.
  static TvkGlowForm* NewFadeWindow();
  // Toward NewState (0 normal, 1 hot, 2 pressed): False when already there. A fade toward a hot or pressed state
  // shows its first step (a press on a fresh image in the same window); a fade-out only stops fading in.
  bool EnterState(int NewState, bool FadeIn);
  // At the end of a fade-in: True while the cursor stays over the element. False once the fade stopped (the owner
  // is told the mouse left), and whenever this fade may be gone.
  virtual bool CursorStillOver() = 0;
  // The window to insert the fade window after so that it lies just above Over (topmost above a topmost owner):
  // Over is the window that shows the element (the border window's, which lies above its owned form).
  HWND PlaceAfter(HWND Over) const;
  // The image shown on the fade window with its corner at Corner.
  void PresentImage(POINT Corner, int Alpha);
};
