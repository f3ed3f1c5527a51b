// The provider's run-time state that the form effects (animations, glue, border window) change, and the seams
// those effects call instead of the system where tests must step in.
#pragma once
#include <windows.h>

#include <functional>

#include "skin/forms/sSkinProvider.h"

struct TvkProviderEffects {
  static TvkThreadedTimer*& AnimTimer(TsSkinProvider* P) { return P->FAnimTimer; }
  // The timer runs now (a flight's timer stays with the provider after it ends).
  static bool AnimationRunning(const TsSkinProvider* P) { return P->AnimationRunning(); }
  static bool& CaptionActive(TsSkinProvider* P) { return P->FFormActive; }
  static bool& FrameDirty(TsSkinProvider* P) { return P->FFrameDirty; }
  // The maximised form's skin caption is more than 4 pixels taller than the system's (with a border window).
  static bool& CaptionZoom(TsSkinProvider* P) { return P->FCaptionZoom; }
  static void ResetHotElement(TsSkinProvider* P) { P->SetHotElement(-1, true); }
  // Where the border window was last moved to (kNoBorderPos: nowhere yet).
  static TPoint& BorderPos(TsSkinProvider* P) { return P->FBorderPos; }
  static constexpr TPoint kNoBorderPos{-32000, -32000};
  // The bounds a double-click stretch of an edge keeps to restore.
  static TRect& SavedBounds(TsSkinProvider* P) { return P->FSavedBounds; }
  // The snapshot form made for a hide (a glow form; the hide takes it over).
  static TCustomForm*& SnapshotForm(TsSkinProvider* P) { return P->FSnapshotForm; }
  // The mark that the form waits for its show animation to reveal it.
  static bool& PendingShow(TsSkinProvider* P) { return P->FPendingShow; }
  // The mark that the maximised form's caption is shorter than the system one (the show animation sets it).
  static bool& ShortCaption(TsSkinProvider* P) { return P->FShortCaption; }
  static void FreeBorderForm(TsSkinProvider* P) { P->FreeBorderForm(); }
  // The picture of the form from before a skin change (owned by the provider until a change takes it over).
  static TBitmap*& ChangePicture(TsSkinProvider* P) { return P->FSnapshotBitmap; }
};

struct TvkFormEffectSeams {
  // The shell's taskbar window ("Shell_TrayWnd"); nil without one.
  std::function<HWND()> FindTaskbarWindow;
  // The system move loop of a caption drag (WM_SYSCOMMAND 0xF012 performed on the form).
  std::function<void(TCustomForm* Form)> EnterMoveLoop;
  // The same for any window (a dialog's or its border window's).
  std::function<void(HWND Wnd)> EnterWindowMoveLoop;
};
// The seams; ResetPlatform puts the real calls back.
TvkFormEffectSeams& FormEffectSeams();
