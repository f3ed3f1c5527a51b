#include "framework/ActnList.h"

#include <algorithm>

#include "framework/Forms.h"
#include "framework/TypInfo.h"

// ===================================================================================================
// Links and actions

TBasicActionLink::~TBasicActionLink() {
  if (FAction) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
  if (Value == FAction) return;
  if (FAction) FAction->UnRegisterChanges(this);
  if (Value) Value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
  if (!FAction) return false;
  FAction->FActionComponent = AComponent;
  struct Reset {
    TBasicAction* action;
    ~Reset() { action->FActionComponent = nullptr; }
  } reset{FAction};
  return FAction->Execute();
}

TBasicAction::~TBasicAction() {
  for (TBasicActionLink* link : FClients) link->FAction = nullptr;
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value) {
  if (Value->FAction && Value->FAction != this) Value->FAction->UnRegisterChanges(Value);
  Value->FAction = this;
  if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end()) FClients.push_back(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value) {
  auto it = std::find(FClients.begin(), FClients.end(), Value);
  if (it == FClients.end()) return;
  FClients.erase(it);
  Value->FAction = nullptr;
}

void TBasicAction::Change() {
  std::vector<TBasicActionLink*> links = FClients;  // a handler may free a link
  for (TBasicActionLink* link : links)
    if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
}

void TCustomAction::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Change();
}

void TControlActionLink::Change() { FClient->ActionChange(Action(), false); }

// ===================================================================================================
// The control's side

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* Value) {
  TBasicAction* old = Action();
  if (Value == old) return;
  if (old) old->RemoveFreeNotification(this);
  if (!Value) {
    FActionLink->Free();
    FActionLink = nullptr;
    return;
  }
  if (!FActionLink) FActionLink = new TControlActionLink(this);
  FActionLink->SetAction(Value);
  Value->FreeNotification(this);
  ActionChange(Value, ComponentState().Contains(csLoading));
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  // Loading keeps a stored Enabled = False; otherwise the action decides.
  if (auto* action = As<TCustomAction>(Sender))
    if (!CheckDefaults || FEnabled) SetEnabled(action->Enabled());
}

// ===================================================================================================
// Idle updates

namespace {
void UpdateClientsIn(TControl* Control) {
  if (!Control->Visible()) return;
  if (TBasicAction* action = Control->Action())
    Control->Perform(CM_ACTIONUPDATE, 0, reinterpret_cast<LPARAM>(action));
  if (auto* win = As<TWinControl>(Control))
    for (int i = 0; i < win->ControlCount(); ++i) UpdateClientsIn(win->Controls(i));
}
}  // namespace

void UpdateActionClients() {
  if (!Screen) return;
  for (int i = 0; i < Screen->FormCount(); ++i) UpdateClientsIn(Screen->Forms(i));
}

// ===================================================================================================
// Published properties

IMPLEMENT_CLASS(TBasicActionLink)
IMPLEMENT_CLASS(TBasicAction)
IMPLEMENT_CLASS(TCustomAction)
IMPLEMENT_CLASS(TControlActionLink)

PUBLISHED(TAction) {
  p.Bool("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled);
  p.Event("OnExecute", &TBasicAction::OnExecute);
}
