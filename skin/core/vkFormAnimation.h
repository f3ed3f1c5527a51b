// Animated show and hide of skinned forms and standard dialogs: the window's final look is painted into a
// snapshot that a layered animation window shows with rising (or falling) opacity and, in one mode, a slight
// zoom; the real window is shown beneath it afterwards, or the animation window fades out after the real one
// was hidden. Shows run inside the call, 12 ms a frame paced by the tick count; hides run on a timer.
#pragma once
#include <windows.h>

#include <cstdint>

#include "skin/core/sSkinManager.h"
#include "skin/core/vkThdTimer.h"

class TBitmap;
class TsSkinProvider;
class TvkDialogWnd;
class TvkGlowForm;

// The argument of the form skinner's OnAfterAnimation.
enum TvkAnimEvent { aeShowing, aeHiding, aeSkinChanging };

// Rounded to nearest, halves to the even neighbour.
int RoundHalfEven(double X);

// Sets InAnimationProcess for an animation; leaving by an exception clears it, so painting does not stay off.
struct TAnimationScope {
  TAnimationScope();
  ~TAnimationScope();
  TAnimationScope(const TAnimationScope&) = delete;
  TAnimationScope& operator=(const TAnimationScope&) = delete;
};

// A device context held for a scope (the screen's, or a window's whole DC) and released however it is left.
struct TScopedDC {
  explicit TScopedDC(HWND Wnd = nullptr, bool WholeWindow = false)
      : Wnd(Wnd), DC(WholeWindow ? GetWindowDC(Wnd) : GetDC(Wnd)) {}
  ~TScopedDC() { ReleaseDC(Wnd, DC); }
  TScopedDC(const TScopedDC&) = delete;
  TScopedDC& operator=(const TScopedDC&) = delete;
  HWND Wnd;
  HDC DC;
};

// The picture of one frame: the rectangle the snapshot is stretched into, and how it moves per frame.
struct TvkAnimGeometry {
  double Left = 0, Top = 0, Right = 0, Bottom = 0;
  double DX = 0, DY = 0;
};
// The show geometry of a W x H snapshot in Steps frames (atDropDown unrolls from the top-left corner).
TvkAnimGeometry ShowGeometry(TvkAnimType Mode, int W, int H, int Steps);
// Draws the frame of the geometry into Frame (stretched, or the whole snapshot once for fading) and advances it.
void DrawShowFrame(TvkAnimType Mode, TvkAnimGeometry& G, TBitmap* Frame, TBitmap* Snapshot);

// Shows the skinner's form with the FormShow animation; returns when the form is visible.
void AnimateFormShow(TsSkinProvider* Provider, int Time, uint8_t MaxAlpha, TvkAnimType Mode);
// Starts the FormHide animation of the skinner's form, which is hidden (or about to be) by the caller.
void AnimateFormHide(TsSkinProvider* Provider);
// The same for a skinned standard dialog.
void AnimateDialogShow(TvkDialogWnd* DialogWnd, int Time, uint8_t MaxAlpha, TvkAnimType Mode);
void AnimateDialogHide(TvkDialogWnd* DialogWnd);
// The dialog's client area into its frame image: copied from the screen, or its child windows printed.
void PaintDialogClientToBitmap(TvkDialogWnd* DialogWnd, TBitmap* Bmp, bool FromScreen);

// The one timer of hide animations.
class TvkHideTimer : public TvkThreadedTimer {
  DECLARE_CLASS(TvkHideTimer, TvkThreadedTimer)
public:
  explicit TvkHideTimer(TComponent* AOwner);
  ~TvkHideTimer() override;
  // One frame of the fade-out; after the last, the end event and everything freed.
  void HideStep();
  // Tells the form's skinner once that its hide ended.
  void FireEndEvent();

  HWND DestWnd = nullptr;  // the form window whose skinner hears of the end; 0 for dialogs
  HDC ScreenDC = nullptr;
  TvkGlowForm* Window = nullptr;
  SIZE Size{};
  POINT SrcPoint{};
  BLENDFUNCTION Blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  double Alpha = 0;
  double AlphaStep = 0;
  TvkAnimGeometry Geometry;
  int HideStepNo = 0;
  int StartAlpha = 255;
  int HideStepCount = 0;
  TvkAnimType HideMode = atFading;
  bool EventFired = false;
  TBitmap* Source = nullptr;
  TBitmap* Frame = nullptr;
};

// The process's hide timer; nil until the first hide.
TvkHideTimer* HideTimer();
// Plays a hide on Window (taking it and Bmp over): Time div 12 frames from Alpha down, then the window goes.
void HideAnimation(TvkGlowForm* Window, TBitmap* Bmp, int Time, HWND DestWnd, TvkAnimType Mode, uint8_t Alpha);
// Unit end: the hide timer freed (its end event fires if it has not).
void FormAnimationFinalize();
