#pragma once
// Actions, as far as controls follow them: an action holds Enabled and an OnExecute handler; a control
// linked to it takes its Enabled whenever it changes, runs OnExecute when clicked without an OnClick of
// its own, and gets CM_ACTIONUPDATE from the application's idle step.

#include <vector>

#include "framework/Classes.h"

class TBasicAction;
class TControl;

// A client's link to an action: the action calls Change() on every registered link.
class TBasicActionLink : public TObject {
  DECLARE_CLASS(TBasicActionLink, TObject)
public:
  TBasicActionLink() = default;
  // Leaves the action it is registered with.
  ~TBasicActionLink() override;
  TBasicAction* Action() const { return FAction; }
  void SetAction(TBasicAction* Value);
  // Runs the action for AComponent; false when the action has no OnExecute.
  virtual bool Execute(TComponent* AComponent = nullptr);
  // The action changed.
  virtual void Change() {}

private:
  friend class TBasicAction;
  TBasicAction* FAction = nullptr;
};

class TBasicAction : public TComponent {
  DECLARE_CLASS(TBasicAction, TComponent)
public:
  explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
  ~TBasicAction() override;
  // OnExecute(this) when assigned; true when it ran.
  virtual bool Execute();
  // The component whose click runs the action (set while it runs).
  TComponent* ActionComponent() const { return FActionComponent; }
  void RegisterChanges(TBasicActionLink* Value);
  void UnRegisterChanges(TBasicActionLink* Value);

  TNotifyEvent OnExecute;

protected:
  // Tells every link.
  virtual void Change();

private:
  friend class TBasicActionLink;
  std::vector<TBasicActionLink*> FClients;
  TComponent* FActionComponent = nullptr;
};

class TCustomAction : public TBasicAction {
  DECLARE_CLASS(TCustomAction, TBasicAction)
public:
  explicit TCustomAction(TComponent* AOwner) : TBasicAction(AOwner) {}
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);

private:
  bool FEnabled = true;
};

class TAction : public TCustomAction {
  DECLARE_CLASS(TAction, TCustomAction)
public:
  explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

// The link of a control: a change of the action reaches the control's ActionChange.
class TControlActionLink : public TBasicActionLink {
  DECLARE_CLASS(TControlActionLink, TBasicActionLink)
public:
  explicit TControlActionLink(TControl* AClient) : FClient(AClient) {}
  void Change() override;

private:
  TControl* FClient;
};

// The idle step: CM_ACTIONUPDATE (LParam = the action) to every shown control of every visible form that
// has an action.
void UpdateActionClients();
