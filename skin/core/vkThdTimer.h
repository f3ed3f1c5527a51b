// The library's animation timer and the state fades of controls.
//
// TvkThreadedTimer wraps a window-message timer (despite its name it starts no thread): a tick either fires
// OnTimer or runs a step procedure a counted number of times. A state fade cross-fades a control's cached
// image from the old state to the new one when the mouse enters, leaves, presses or releases it: 6 frames to
// the hot or pressed state (3 fast), 12 back to normal (6 fast), 12 ms apart, the first frame at once.
#pragma once
#include <windows.h>

#include "framework/Classes.h"
#include "framework/ExtCtrls.h"
#include "skin/core/sSkinManager.h"

class TBitmap;
class TsCommonData;

// One frame of a fade; true = go on.
using TvkStepProc = bool (*)(TsCommonData* SkinData, int Step);

// Fade modes.
constexpr int fmIdle = -1;
constexpr int fmLeave = 0;    // back to normal
constexpr int fmEnter = 1;    // to hot (enter, release)
constexpr int fmPress = 2;    // to pressed

class TvkThreadedTimer : public TComponent {
  DECLARE_CLASS(TvkThreadedTimer, TComponent)
public:
  explicit TvkThreadedTimer(TComponent* AOwner);
  // Disabled, animating AOwner; with SetStepEvent its OnTimer runs DoStep.
  TvkThreadedTimer(TComponent* AOwner, bool SetStepEvent);
  ~TvkThreadedTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned Value);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(TNotifyEvent Value);
  TThreadPriority ThreadPriority() const { return FThreadPriority; }
  void SetThreadPriority(TThreadPriority Value);
  // Nil when made while the application terminates (such a timer never ticks).
  TTimer* InnerTimer() const { return FTimer; }

  // One tick of the inner timer (tests call it directly): the next counted step, or OnTimer.
  void Tick();
  // The current step at once; a false answer stops the timer (mode -1). Answers the step's answer.
  virtual bool DoStep();
  // Prepares a fade of SkinData toward Mode and enables the timer (12 ms).
  void BeginFade(TsCommonData* Data, int StartStep, bool Fast, int NewMode, TvkStepProc Proc);

  TObject* AnimatedControl = nullptr;
  double Level = 0;
  double Level2 = 0;
  double StepSize = 0;
  double StepSize2 = 0;
  int Mode = fmIdle;
  int Step = 0;
  int PrevMode = fmIdle;
  int StepCount = 6;
  int GlowOnly = 0;
  TBitmap* AfterBmp = nullptr;
  TBitmap* WorkBmp = nullptr;
  TBitmap* BeforeBmp = nullptr;
  TsCommonData* SkinData = nullptr;
  bool Destroying = false;
  TvkStepProc StepProc = nullptr;

protected:
  void UpdateTimer();
  void InnerTimerEvent(TObject* Sender);

private:
  bool FEnabled = false;
  unsigned FInterval = 1000;
  TNotifyEvent FOnTimer;
  TTimer* FTimer = nullptr;
  TThreadPriority FThreadPriority = tpNormal;
  bool FInTick = false;
};

// Mouse events of a control that may animate, and the one that happened.
enum TvkAnimatEvent { aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp, aeGlobalDef };
using TvkAnimatEvents = TSet<TvkAnimatEvent>;
// The manager's button events name what happened (beMouseEnter .. beMouseUp).
using TvkBtnEvent = TvkBtnEffectEvent;

// Event's own member in Events; else, with aeGlobalDef in Events, the manager's (default manager for nil)
// button animation setting of that event; else false.
bool AnimEventEnabled(TvkBtnEvent Event, TvkAnimatEvents Events, TsSkinManager* Manager);

// No timer: makes one animating Control (level 255 for a leave fade, else 0) and answers 0. Otherwise the
// steps the running fade has left.
int EnsureAnimTimer(TvkThreadedTimer*& Timer, TObject* Control, int Mode);
// Starts (or leaves running when it already fades toward Mode) the fade of SkinData's cache to Mode.
bool StartStateFade(TsCommonData* Data, int Mode, TvkStepProc Proc, bool Fast);
// The entry used by controls: a fade when allowed and possible, else the new state painted at once.
void AnimateStateChange(TsCommonData* Data, int Mode, TvkStepProc Proc, bool ShowGlow, bool Fast, bool Allowed);
// The two step procedures: the cross-fade of the cached images, and the fade of the glow alone.
bool CrossFadeStep(TsCommonData* Data, int Step);
bool GlowFadeStep(TsCommonData* Data, int Step);
// Unless its timer is being destroyed: stopped, mode -1, bitmaps freed.
void StopControlAnimation(TsCommonData* Data);
// Shows the fade's final frame (its target level) and stops it.
void FinishAnimationTimer(TvkThreadedTimer* Timer);
// Dst (made 32-bit of R's size when nil, else resized) := the R part of Src.
void GrabBitmapRect(TvkThreadedTimer* Timer, TBitmap*& Dst, TBitmap* Src, const RECT& R);

// Set by the form skinner once a skinned form got WM_QUERYENDSESSION: no fade starts afterwards, until the
// application window hears that the session goes on (WM_ENDSESSION with FALSE).
extern bool SkinnedSessionEnding;
