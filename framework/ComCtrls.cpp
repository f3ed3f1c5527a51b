#include "framework/ComCtrls.h"

#include <algorithm>
#include <commctrl.h>

void InitCommonControlClasses(DWORD Classes) {
  static DWORD done = 0;
  if ((done & Classes) == Classes) return;
  INITCOMMONCONTROLSEX icc{sizeof icc, Classes};
  if (!InitCommonControlsEx(&icc)) RaiseLastOSError();
  done |= Classes;
}

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 150;
  FHeight = 16;
}

void TProgressBar::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses(ICC_PROGRESS_CLASS);
  inherited::CreateParams(Params);
  CreateSubClass(Params, PROGRESS_CLASSA);
  if (FOrientation == pbVertical) Params.Style |= PBS_VERTICAL;
  if (FSmooth) Params.Style |= PBS_SMOOTH;
}

void TProgressBar::CreateWnd() {
  inherited::CreateWnd();
  SendMessageA(FHandle, PBM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
  SendMessageA(FHandle, PBM_SETSTEP, static_cast<WPARAM>(FStep), 0);
  SendMessageA(FHandle, PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

void TProgressBar::DestroyWnd() {
  FPosition = Position();
  inherited::DestroyWnd();
}

void TProgressBar::Loaded() {
  inherited::Loaded();
  FPosition = std::clamp(FPosition, FMin, std::max(FMin, FMax));
}

void TProgressBar::SetMin(int Value) {
  if (Value == FMin) return;
  if (Value > FMax && !ComponentState().Contains(csLoading))
    throw EInvalidOperation(ClassName() + " property out of range");
  FMin = Value;
  if (HandleAllocated()) SendMessageA(FHandle, PBM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
  if (FPosition < FMin) FPosition = FMin;
}

void TProgressBar::SetMax(int Value) {
  if (Value == FMax) return;
  if (Value < FMin && !ComponentState().Contains(csLoading))
    throw EInvalidOperation(ClassName() + " property out of range");
  FMax = Value;
  if (HandleAllocated()) SendMessageA(FHandle, PBM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
  if (FPosition > FMax) FPosition = FMax;
}

int TProgressBar::Position() {
  if (HandleAllocated()) return static_cast<int>(SendMessageA(FHandle, PBM_GETPOS, 0, 0));
  return FPosition;
}

void TProgressBar::SetPosition(int Value) {
  FPosition = ComponentState().Contains(csLoading) ? Value : std::clamp(Value, FMin, std::max(FMin, FMax));
  if (HandleAllocated()) SendMessageA(FHandle, PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

void TProgressBar::SetOrientation(TProgressBarOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  RecreateWnd();
}

void TProgressBar::SetSmooth(bool Value) {
  if (FSmooth == Value) return;
  FSmooth = Value;
  RecreateWnd();
}

static const std::vector<std::string> kOrientationNames = {"pbHorizontal", "pbVertical"};

PUBLISHED(TProgressBar) {
  p.Publish("PopupMenu");
  p.Int("Min", &TProgressBar::Min, &TProgressBar::SetMin);
  p.Int("Max", &TProgressBar::Max, &TProgressBar::SetMax);
  p.Int("Position", &TProgressBar::Position, &TProgressBar::SetPosition);
  p.Int("Step", &TProgressBar::Step, &TProgressBar::SetStep);
  p.Enum("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation, kOrientationNames);
  p.Bool("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth);
}
