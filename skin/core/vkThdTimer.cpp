#include "skin/core/vkThdTimer.h"

#include <algorithm>
#include <cmath>

#include "framework/Forms.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkGlow.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/ToolkitStartup.h"

bool SkinnedSessionEnding = false;

namespace {

bool AppTerminating() { return Application != nullptr && Application->Terminated(); }

// Rounded to nearest, halves to the even neighbour.
int RoundEven(double X) { return static_cast<int>(std::nearbyint(X)); }

int RoundLevel(double Level) {
  if (std::isnan(Level)) return 255;
  return std::clamp(RoundEven(Level), 0, 255);
}

void FreeBitmap(TBitmap*& Bmp) { FreeAndNil(Bmp); }

TBitmap* CopyOf(TBitmap* Src) {
  TBitmap* Copy = NewBitmap32(Src->Width(), Src->Height());
  CopyBitmapFull(Copy, Src);
  return Copy;
}

// The engine's state code reaches fades through these entries; bound once the first timer exists.
void BindAnimationGlue() {
  if (AnimationGlue.StopControlAnimation != nullptr) return;
  AnimationGlue.StopControlAnimation = StopControlAnimation;
  AnimationGlue.FinishAnimationTimer = FinishAnimationTimer;
  AnimationGlue.TimerEnabled = [](TvkThreadedTimer* T) { return T->Enabled(); };
  AnimationGlue.FreeTimer = [](TvkThreadedTimer* T) {
    if (!T->Destroying) T->Free();
  };
}

// The window a fade draws on: a windowed owner's own (none until it has one), else the owner window.
HWND FadeWindow(TsCommonData* D) {
  if (auto* Win = dynamic_cast<TWinControl*>(D->OwnerControl)) return Win->HandleAllocated() ? Win->Handle() : nullptr;
  return D->OwnerHandle;
}

void ShowFrame(HWND Wnd, TBitmap* Frame) {
  HDC DC = GetWindowDC(Wnd);
  if (DC == nullptr) return;
  // The frames are composed left to right: a mirrored window's DC would show them flipped.
  ApplyDCLayout(DC, 0);
  BitBlt(DC, 0, 0, Frame->Width(), Frame->Height(), Frame->Canvas()->Handle(), 0, 0, SRCCOPY);
  ReleaseDC(Wnd, DC);
}

}  // namespace

// ===================================================================== the timer

IMPLEMENT_CLASS(TvkThreadedTimer)

TvkThreadedTimer::TvkThreadedTimer(TComponent* AOwner) : TComponent(AOwner) {
  BindAnimationGlue();
  if (AppTerminating()) return;
  FEnabled = true;
  FInterval = 1000;
  FTimer = new TTimer(nullptr);  // freed by this timer itself, in its own order
  FTimer->SetEnabled(false);
  FTimer->SetInterval(FInterval);
  FTimer->OnTimer = [this](TObject* Sender) { InnerTimerEvent(Sender); };
}

TvkThreadedTimer::TvkThreadedTimer(TComponent* AOwner, bool SetStepEvent) : TvkThreadedTimer(AOwner) {
  SetEnabled(false);
  AnimatedControl = AOwner;
  if (SetStepEvent) SetOnTimer([this](TObject*) { DoStep(); });
}

TvkThreadedTimer::~TvkThreadedTimer() {
  SetEnabled(false);
  if (SkinData != nullptr && SkinData->AnimTimer == this) SkinData->AnimTimer = nullptr;
  if (!Destroying) {
    Destroying = true;
    if (FTimer != nullptr) FTimer->Free();
    FTimer = nullptr;
    FreeBitmap(AfterBmp);
    FreeBitmap(WorkBmp);
    FreeBitmap(BeforeBmp);
  }
}

void TvkThreadedTimer::SetEnabled(bool Value) {
  FEnabled = Value;
  UpdateTimer();
}

void TvkThreadedTimer::SetInterval(unsigned Value) {
  FInterval = Value;
  if (FTimer != nullptr) FTimer->SetInterval(Value);
  UpdateTimer();
}

void TvkThreadedTimer::SetOnTimer(TNotifyEvent Value) {
  FOnTimer = std::move(Value);
  UpdateTimer();
}

void TvkThreadedTimer::SetThreadPriority(TThreadPriority Value) {
  FThreadPriority = Value;
  UpdateTimer();
}

void TvkThreadedTimer::UpdateTimer() {
  if (FTimer == nullptr) return;
  FTimer->SetEnabled(false);
  if (FInterval != 0 && FEnabled && (FOnTimer || StepProc != nullptr)) FTimer->SetEnabled(true);
}

void TvkThreadedTimer::InnerTimerEvent(TObject* Sender) {
  auto* Inner = static_cast<TTimer*>(Sender);
  if (!Inner->Enabled() || FInTick || Destroying) return;
  // A step may pump messages: no nested tick meanwhile.
  FInTick = true;
  try {
    Tick();
  } catch (...) {
    FInTick = false;
    throw;
  }
  FInTick = false;
}

void TvkThreadedTimer::Tick() {
  if (Destroying || !FEnabled) return;
  if (StepProc != nullptr) {
    ++Step;
    if (Step > StepCount)
      SetEnabled(false);
    else
      StepProc(SkinData, Step);
  } else if (FOnTimer) {
    FOnTimer(this);
  }
}

bool TvkThreadedTimer::DoStep() {
  if (!FEnabled || StepProc == nullptr || Destroying) return false;
  const bool GoOn = StepProc(SkinData, Step);
  if (!GoOn) {
    SetEnabled(false);
    Mode = fmIdle;
  }
  return GoOn;
}

void TvkThreadedTimer::BeginFade(TsCommonData* Data, int StartStep, bool Fast, int NewMode, TvkStepProc Proc) {
  SetEnabled(false);
  SkinData = Data;
  Level2 = 0;
  if (std::isnan(Level) || Level >= 255)
    Level = 255;
  else if (Level < 0)
    Level = 0;
  const int Base = Fast ? 3 : 6;
  StepCount = Base;
  switch (NewMode) {
    case fmLeave:
      StepCount *= 2;
      StepSize = Level / StepCount;
      break;
    case fmPress:
      StepSize = Level / StepCount;
      break;
    default:
      StepCount = PrevMode < fmEnter ? RoundEven((255 - Level) * Base / 255) : Base;
      StepCount = std::max(StepCount, 1);
      StepSize = (255 - Level) / StepCount;
      break;
  }
  StepSize2 = (255 - Level2) / StepCount;
  // A reversed fade starts from what is on screen.
  if ((NewMode == fmPress || (NewMode == fmEnter && PrevMode == fmPress)) && WorkBmp != nullptr) {
    FreeBitmap(BeforeBmp);
    BeforeBmp = CopyOf(WorkBmp);
  }
  if (NewMode == fmEnter && PrevMode < fmEnter)
    // The steps counted above are those left to 255: all of them run.
    Step = 0;
  else if (NewMode == fmLeave && PrevMode == fmEnter) {
    Step = Level == 0 ? 0 : RoundEven((255 - Level) * StepCount / 255);
    // the steps that level implies, each a share of it: a leave soon after an enter is as short as its trace
    StepSize = Level / std::max(StepCount - Step, 1);
  } else
    Step = WorkBmp != nullptr ? 0 : StartStep;
  SetInterval(12);
  StepProc = Proc;
  PrevMode = NewMode;
  Mode = NewMode;
  SetEnabled(true);
}

// ===================================================================== fades

bool AnimEventEnabled(TvkBtnEvent Event, TvkAnimatEvents Events, TsSkinManager* Manager) {
  static const TvkBtnEffectEvent Map[5] = {beMouseEnter, beMouseLeave, beMouseDown, beMouseUp, beMouseUp};
  if (Events.Contains(static_cast<TvkAnimatEvent>(Event))) return true;
  if (!Events.Contains(aeGlobalDef)) return false;
  if (Manager == nullptr) Manager = TsSkinManager::DefaultManager();
  return Manager != nullptr && Manager->AnimEffects()->Buttons()->Events().Contains(Map[Event]);
}

int EnsureAnimTimer(TvkThreadedTimer*& Timer, TObject* Control, int Mode) {
  if (Timer == nullptr) {
    Timer = new TvkThreadedTimer(dynamic_cast<TComponent*>(Control), true);
    Timer->AnimatedControl = Control;
    Timer->Level = Mode == fmLeave ? 255 : 0;
    return 0;
  }
  return std::max((Timer->Mode != fmLeave ? 6 : 12) - Timer->Step, 0);
}

namespace {

// The owner's cache brought up to date when marked dirty (a button's graphic children painted onto it); an owner
// that cannot stops the fade.
void RefreshFadeCache(TsCommonData* Data, TvkThreadedTimer* T) {
  if (!Data->CacheDirty) return;
  if (Data->SendOwnerCommand(VKCMD_REFRESH_CACHE, 0, 0) != 0) T->SetEnabled(false);
  if (auto* Button = dynamic_cast<TWinControl*>(Data->OwnerControl))
    if (Data->CtrlType == ctButton && Button->ControlCount() > 0)
      PaintGraphicChildren(Data->CacheBmp->Canvas()->Handle(), Button, true, POINT{0, 0});
}

void TakeAfterPicture(TsCommonData* Data, TvkThreadedTimer* T) {
  FreeBitmap(T->AfterBmp);
  T->AfterBmp = CopyOf(Data->CacheBmp);
}

}  // namespace

bool StartStateFade(TsCommonData* Data, int Mode, TvkStepProc Proc, bool Fast) {
  int StartStep = EnsureAnimTimer(Data->AnimTimer, Data->OwnerObject, Mode);
  TvkThreadedTimer* T = Data->AnimTimer;
  T->SkinData = Data;
  // A fade of the glow alone paints nothing of the control: a fade of its state takes the timer over.
  const bool OverGlow = T->GlowOnly != 0 && T->Enabled() && Proc != GlowFadeStep;
  // Only a fade still running toward Mode is left alone (a finished one keeps its Mode but shows nothing more), and
  // it ends on the owner's look of now: a change within it (the pointer coming onto a combo box's arrow as it
  // enters) would otherwise be lost until the next paint.
  if (!OverGlow && T->Mode == Mode && Mode != fmIdle && T->Enabled()) {
    if (T->AfterBmp == nullptr) return true;
    RefreshFadeCache(Data, T);
    TakeAfterPicture(Data, T);
    return true;
  }
  TBitmap* Cache = Data->CacheBmp;
  if (T->WorkBmp != nullptr && (T->WorkBmp->Width() != Cache->Width() || T->WorkBmp->Height() != Cache->Height()))
    FreeBitmap(T->WorkBmp);
  if (OverGlow) {
    // The new fade goes on from the glow's level toward the same state, or starts afresh toward another.
    if (T->Mode != Mode) T->Level = Mode == fmLeave ? 255 : 0;
    T->PrevMode = fmIdle;
    StartStep = 0;
  }
  // A glow's fade-in took the old look and brought the cache up to date, which the screen does not show yet.
  if (!(OverGlow && T->Mode == fmEnter && T->BeforeBmp != nullptr)) {
    FreeBitmap(T->BeforeBmp);
    T->BeforeBmp = CopyOf(Cache);
  }
  RefreshFadeCache(Data, T);
  TakeAfterPicture(Data, T);
  // A new fade of the state is no glow fade, whatever ran before; a glow's show marks its own afterwards.
  T->GlowOnly = 0;
  T->BeginFade(Data, StartStep, Fast, Mode, Proc);
  return T->DoStep();
}

void AnimateStateChange(TsCommonData* Data, int Mode, TvkStepProc Proc, bool ShowGlow, bool Fast, bool Allowed) {
  if (!Data->IsSkinned()) {
    Data->RepaintOwner(false);
    return;
  }
  TsSkinManager* M = Data->SkinManager();
  if (Allowed && !TsSkinManager::SkinIsLoading() && !SkinnedSessionEnding && Data->CacheBmp != nullptr &&
      !Data->CacheDirty && M != nullptr && M->Effects()->AllowAnimation()) {
    if (ShowGlow && Mode < 100 && Data->GlowId < 0) ShowControlGlow(Data, false, Data->OwnerWindow(), -1, false, 0);
    Data->CacheDirty = true;
    StartStateFade(Data, Mode, Proc, Fast);
    return;
  }
  Data->RepaintOwner(false);
  if (!ShowGlow) return;
  if (Data->Hot) {
    if (Mode < 100 && Data->GlowId < 0) ShowControlGlow(Data, false, Data->OwnerWindow(), -1, false, 255);
  } else {
    HideGlowEffect(Data->GlowId, false);
  }
}

bool CrossFadeStep(TsCommonData* Data, int Step) {
  TvkThreadedTimer* T = Data != nullptr ? Data->AnimTimer : nullptr;
  if (T == nullptr || T->StepCount < 1 || T->BeforeBmp == nullptr || T->AfterBmp == nullptr) return false;
  HWND Wnd = FadeWindow(Data);
  if (Wnd == nullptr) return false;
  TBitmap* Cache = Data->CacheBmp != nullptr ? Data->CacheBmp : T->AfterBmp;
  if (T->WorkBmp == nullptr) T->WorkBmp = NewBitmap32(Cache->Width(), Cache->Height());
  if (T->WorkBmp->Width() != Cache->Width() || T->WorkBmp->Height() != Cache->Height())
    T->WorkBmp->SetSize(Cache->Width(), Cache->Height());
  BitBlt(T->WorkBmp->Canvas()->Handle(), 0, 0, T->WorkBmp->Width(), T->WorkBmp->Height(),
         T->BeforeBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  switch (T->Mode) {
    case fmEnter: T->Level += T->StepSize; break;
    case fmLeave:
    case fmPress: T->Level -= T->StepSize; break;
    default: T->Level = 255 - (static_cast<double>(Step) / T->StepCount) * 255; break;
  }
  int L = RoundLevel(T->Level);
  // Back to normal, a level below 10 ends the glow, whose hide stops the fade: this frame shows the normal look
  // whole, or a trace of the old one would stay until the next paint.
  const bool GlowEnds = T->Mode == fmLeave && Step < T->StepCount && L < 10;
  if (GlowEnds) {
    T->Level = 0;
    L = 0;
  }
  const int W = T->Mode == fmEnter ? 255 - L : L;
  BlendBitmapInto(T->WorkBmp, T->AfterBmp, W, TRect{0, 0, T->WorkBmp->Width(), T->WorkBmp->Height()}, TPoint{0, 0});
  ShowFrame(Wnd, T->WorkBmp);
  if (Step < T->StepCount) {
    if (Data->GlowId >= 0) SetGlowEffectOpacity(Data->GlowId, static_cast<uint8_t>(L));
    if (GlowEnds) HideGlowEffect(Data->GlowId, false);
    return true;
  }
  if (T->Mode == fmLeave && L > 0) {
    if (Data->GlowId >= 0) SetGlowEffectOpacity(Data->GlowId, static_cast<uint8_t>(L));
    // the next tick runs the last step again, lower: one frame a tick, as every other step
    T->Step = Step - 1;
    return true;
  }
  const int Mode = T->Mode;
  if (Mode == fmLeave) StopControlAnimation(Data);
  if (Mode != fmEnter) HideGlowEffect(Data->GlowId, false);
  return false;
}

bool GlowFadeStep(TsCommonData* Data, int Step) {
  TvkThreadedTimer* T = Data != nullptr ? Data->AnimTimer : nullptr;
  if (T == nullptr || T->StepCount <= 0) return false;
  if (Data->OwnerControl != nullptr && Data->OwnerControl->ComponentState().Contains(csDestroying)) return false;
  if (Step < T->StepCount) {
    T->Level += T->Mode == fmEnter ? T->StepSize : -T->StepSize;
    SetGlowEffectOpacity(Data->GlowId, static_cast<uint8_t>(RoundLevel(T->Level)));
    return true;
  }
  const int Mode = T->Mode;
  if (Mode != fmEnter) HideGlowEffect(Data->GlowId, false);
  if (Mode == fmLeave) StopControlAnimation(Data);
  return false;
}

void StopControlAnimation(TsCommonData* Data) {
  TvkThreadedTimer* T = Data != nullptr ? Data->AnimTimer : nullptr;
  if (T == nullptr || T->Destroying) return;
  T->SetEnabled(false);
  T->Mode = fmIdle;
  FreeBitmap(T->AfterBmp);
  FreeBitmap(T->WorkBmp);
  FreeBitmap(T->BeforeBmp);
}

void FinishAnimationTimer(TvkThreadedTimer* Timer) {
  if (Timer == nullptr || Timer->Destroying) return;
  Timer->Step = Timer->StepCount - 1;
  // The frame of the fade's target: 255 toward hot, 0 toward normal or pressed.
  Timer->Level = Timer->Mode == fmEnter ? 255 : 0;
  if (Timer->StepProc != nullptr && Timer->Mode != fmIdle) Timer->StepProc(Timer->SkinData, Timer->Step);
  Timer->SetEnabled(false);
  FreeBitmap(Timer->WorkBmp);
}

void GrabBitmapRect(TvkThreadedTimer*, TBitmap*& Dst, TBitmap* Src, const RECT& R) {
  const int W = R.right - R.left, H = R.bottom - R.top;
  if (Dst == nullptr)
    Dst = NewBitmap32(W, H);
  else
    Dst->SetSize(W, H);
  BitBlt(Dst->Canvas()->Handle(), 0, 0, W, H, Src->Canvas()->Handle(), R.left, R.top, SRCCOPY);
}
