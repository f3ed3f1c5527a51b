// The up-down control.
#include "framework/ComCtrls.h"

TCustomUpDown::TCustomUpDown(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = GetSystemMetrics(SM_CXVSCROLL);
  FHeight = GetSystemMetrics(SM_CYVSCROLL) * 2;
  FControlStyle -= csDoubleClicks;
}

void TCustomUpDown::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses(ICC_UPDOWN_CLASS);
  inherited::CreateParams(Params);
  CreateSubClass(Params, UPDOWN_CLASSA);
  Params.Style |= UDS_SETBUDDYINT | UDS_ARROWKEYS;
  if (FAssociate) Params.Style |= FAlignButton == udLeft ? UDS_ALIGNLEFT : UDS_ALIGNRIGHT;
  if (FOrientation == udHorizontal) Params.Style |= UDS_HORZ;
  if (FWrap) Params.Style |= UDS_WRAP;
}

void TCustomUpDown::CreateWnd() {
  inherited::CreateWnd();
  SendRange();
  // The buddy first: setting the position writes it into the buddy's text.
  if (FAssociate) SendMessageA(FHandle, UDM_SETBUDDY, reinterpret_cast<WPARAM>(FAssociate->Handle()), 0);
  SendMessageA(FHandle, UDM_SETPOS32, 0, FPosition);
}

void TCustomUpDown::DestroyWnd() {
  FPosition = Position();
  inherited::DestroyWnd();
}

void TCustomUpDown::SendRange() {
  if (!HandleAllocated()) return;
  SendMessageA(FHandle, UDM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
  UDACCEL accel{0, static_cast<UINT>(FIncrement)};
  SendMessageA(FHandle, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

int TCustomUpDown::Position() {
  if (!HandleAllocated()) return FPosition;
  BOOL error = FALSE;
  const int pos = static_cast<int>(SendMessageA(FHandle, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)));
  return error ? FPosition : pos;
}

void TCustomUpDown::SetPosition(int Value) {
  FPosition = Value;
  if (HandleAllocated()) SendMessageA(FHandle, UDM_SETPOS32, 0, Value);
}

void TCustomUpDown::SetMin(int Value) {
  FMin = Value;
  SendRange();
}

void TCustomUpDown::SetMax(int Value) {
  FMax = Value;
  SendRange();
}

void TCustomUpDown::SetIncrement(int Value) {
  if (Value <= 0) throw EInvalidOperation("Increment must be positive");
  FIncrement = Value;
  SendRange();
}

void TCustomUpDown::SetOrientation(TUDOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  if (!ComponentState().Contains(csLoading)) SetBounds(FLeft, FTop, FHeight, FWidth);
  RecreateWnd();
}

void TCustomUpDown::SetAlignButton(TUDAlignButton Value) {
  if (FAlignButton == Value) return;
  FAlignButton = Value;
  RecreateWnd();
}

void TCustomUpDown::SetWrap(bool Value) {
  if (FWrap == Value) return;
  FWrap = Value;
  RecreateWnd();
}

void TCustomUpDown::SetAssociate(TWinControl* Value) {
  if (FAssociate == Value) return;
  if (Value == this) throw EInvalidOperation("An up-down control cannot be its own associate");
  if (FAssociate) FAssociate->RemoveFreeNotification(this);
  FAssociate = Value;
  if (FAssociate) FAssociate->FreeNotification(this);
  // The buddy moves the arrows beside it: a new window places them there.
  RecreateWnd();
}

void TCustomUpDown::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FAssociate) {
    FAssociate = nullptr;
    if (HandleAllocated() && !ComponentState().Contains(csDestroying)) SendMessageA(FHandle, UDM_SETBUDDY, 0, 0);
  }
}

bool TCustomUpDown::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TCustomUpDown::Click(TUDBtnType Button) {
  if (OnClick) OnClick(this, Button);
}

void TCustomUpDown::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_NOTIFY:
      if (TWMNotify(Message).NMHdr()->code == static_cast<UINT>(UDN_DELTAPOS)) {
        auto* delta = reinterpret_cast<NMUPDOWN*>(Message.LParam);
        Message.Result = CanChange() ? 0 : 1;
        FLastDelta = Message.Result ? 0 : delta->iDelta;
        return;
      }
      return inherited::Dispatch(Message);
    case CN_HSCROLL:
    case CN_VSCROLL:
      if (LOWORD(Message.WParam) == SB_THUMBPOSITION && FLastDelta) {
        FPosition = Position();
        Click(FLastDelta > 0 ? btNext : btPrev);
        FLastDelta = 0;
      }
      return;
    default:
      inherited::Dispatch(Message);
  }
}

static const std::vector<std::string> kOrientationNames = {"udHorizontal", "udVertical"};
static const std::vector<std::string> kAlignButtonNames = {"udLeft", "udRight"};

PUBLISHED(TCustomUpDown) {
  p.Publish("PopupMenu");
  p.Object("Associate", &TCustomUpDown::Associate, &TCustomUpDown::SetAssociate);
  p.Enum("AlignButton", &TCustomUpDown::AlignButton, &TCustomUpDown::SetAlignButton, kAlignButtonNames);
  p.Int("Min", &TCustomUpDown::Min, &TCustomUpDown::SetMin);
  p.Int("Max", &TCustomUpDown::Max, &TCustomUpDown::SetMax);
  p.Int("Increment", &TCustomUpDown::Increment, &TCustomUpDown::SetIncrement);
  p.Enum("Orientation", &TCustomUpDown::Orientation, &TCustomUpDown::SetOrientation, kOrientationNames);
  p.Int("Position", &TCustomUpDown::Position, &TCustomUpDown::SetPosition);
  p.Bool("Wrap", &TCustomUpDown::Wrap, &TCustomUpDown::SetWrap);
  p.Event("OnClick", &TCustomUpDown::OnClick);
  p.Event("OnChanging", &TCustomUpDown::OnChanging);
}
IMPLEMENT_CLASS(TUpDown)
