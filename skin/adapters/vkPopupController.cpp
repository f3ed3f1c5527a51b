#include "skin/adapters/vkPopupController.h"

#include "skin/adapters/vkMainWnd.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkScrollWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sSkinProvider.h"

IMPLEMENT_CLASS(TvkFormHandler)
IMPLEMENT_CLASS(TvkPopupController)

namespace {
TvkPopupController* g_Controller = nullptr;

// The handler's ear on its hooked control: a control that goes is forgotten with its saved method.
class TvkHookedControlWatch : public TComponent {
  DECLARE_CLASS(TvkHookedControlWatch, TComponent)
public:
  explicit TvkHookedControlWatch(TvkFormHandler* AHandler = nullptr) : TComponent(nullptr), Handler(AHandler) {}
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && Handler != nullptr && AComponent == Handler->HookedControl) {
      Handler->HookedControl = nullptr;
      Handler->HookedSaved = TWndMethod();
    }
  }
  TvkFormHandler* Handler;
};
IMPLEMENT_CLASS(TvkHookedControlWatch)

bool Destroying(TComponent* C) { return C == nullptr || C->ComponentState().Contains(csDestroying); }
}  // namespace

TvkPopupController* PopupController() {
  if (g_Controller == nullptr) g_Controller = new TvkPopupController;
  return g_Controller;
}

void FreePopupController() {
  if (g_Controller != nullptr) g_Controller->Free();
  g_Controller = nullptr;
}

bool IsOpenControllerPopup(TCustomForm* Form) {
  if (g_Controller == nullptr || Form == nullptr) return false;
  for (TvkFormHandler* H : g_Controller->Handlers)
    if (H->PopupForm == Form && H->Active && !H->Hidden && !H->Released) return true;
  return false;
}

void PopupControllerInitialize() {
  ProviderParts.IsControllerPopup = IsOpenControllerPopup;
  // a non-client press closes the open popups; with no controller made there are none
  ProviderParts.ClosePopups = [](TObject* Sender) {
    if (g_Controller != nullptr) g_Controller->ClosePopups(Sender);
  };
}

void PopupControllerFinalize() {
  ProviderParts.IsControllerPopup = nullptr;
  ProviderParts.ClosePopups = nullptr;
  FreePopupController();
}

// ---- handlers ----

void TvkFormHandler::Hook(TCustomForm* APopupForm, TControl* AHookedControl, const TWndMethod& AHookedSaved) {
  PopupForm = APopupForm;
  HookedControl = AHookedControl;
  HookedSaved = AHookedSaved;
  if (HookedControl != nullptr) {
    if (FWatch == nullptr) FWatch = new TvkHookedControlWatch(this);
    HookedControl->FreeNotification(FWatch);
  }
  OldWndProc = PopupForm->WindowProc;
  PopupForm->WindowProc = TWndMethod(this, &TvkFormHandler::FormWndProc);
  Active = true;
}

void TvkFormHandler::FormWndProc(TMessage& Message) {
  TWndMethod Old = OldWndProc;
  // The form's window going takes the hooks with it: nothing may call back into a freed handler.
  if (Message.Msg == WM_DESTROY) Unhook();
  Old(Message);
}

void TvkFormHandler::HideForm(TCustomForm* Form) {
  if (Form == nullptr) return;
  Form->Hide();
  if (Form->HandleAllocated()) ShowWindow(Form->Handle(), SW_HIDE);
  if (Form == PopupForm) Hidden = true;
}

void TvkFormHandler::ReleaseForm(TCustomForm* Form) {
  if (Form == nullptr || Form != PopupForm || Released) return;
  Released = true;
  if (HookedControl != nullptr && !HookedSaved.IsNull()) {
    HookedControl->WindowProc = HookedSaved;
    if (auto* W = As<TWinControl>(HookedControl); W != nullptr && W->HandleAllocated())
      if (TsCommonData* D = SkinDataOfHandle(W->Handle())) D->OwnerControl = HookedControl;
  }
  HookedControl = nullptr;
  HookedSaved = TWndMethod();
  HideForm(Form);
  Form->Release();
}

void TvkFormHandler::Unhook() {
  if (!Active) return;
  Active = false;
  if (!Destroying(PopupForm)) {
    if (PopupForm->HandleAllocated())
      if (TvkScrollWnd* A = GetWindowScrollAdapter(PopupForm->Handle()))
        DetachWindowAdapter(PopupForm->Handle(), false, false, A);
    if (SubHandler != nullptr) SubHandler->ReleaseForm(SubHandler->PopupForm);
    // a window adapter put back after the hook leaves this handler's method there: it goes with the handler
    if (PopupForm->HandleAllocated())
      if (TsCommonData* D = SkinDataOfHandle(PopupForm->Handle())) D->SavedWindowProc = TWndMethod();
  }
  if (PopupForm != nullptr) {
    PopupForm->WindowProc = OldWndProc;
    if (SavedHandler) PopupForm->OnDeactivate = SavedHandler;
  }
  if (SecondObject != nullptr && !SecondOldWndProc.IsNull()) SecondObject->WindowProc = SecondOldWndProc;
  OldWndProc = SecondOldWndProc = TWndMethod();
  SavedHandler = TNotifyEvent();
  PopupForm = nullptr;
  SecondObject = nullptr;
  SubHandler = nullptr;
}

void TvkFormHandler::BeforeDestruction() {
  Unhook();
  if (FWatch != nullptr) {
    FWatch->Free();
    FWatch = nullptr;
  }
  TObject::BeforeDestruction();
}

// ---- controller ----

TvkFormHandler* TvkPopupController::Add(TCustomForm* PopupForm, TControl* HookedControl, const TWndMethod& HookedSaved) {
  auto* H = new TvkFormHandler;
  H->Hook(PopupForm, HookedControl, HookedSaved);
  Handlers.push_back(H);
  return H;
}

int TvkPopupController::VisibleCount(TCustomForm* Except) const {
  int N = 0;
  for (TvkFormHandler* H : Handlers)
    if (H->PopupForm != nullptr && H->PopupForm != Except && H->PopupForm->HandleAllocated() &&
        IsWindowVisible(H->PopupForm->Handle()))
      ++N;
  return N;
}

void TvkPopupController::ClosePopups(TObject* Sender) {
  // A popup closing may deactivate another form whose code closes popups again: only the outer call acts.
  if (FClosing) return;
  FClosing = true;
  try {
    CloseAll(Sender);
  } catch (...) {
    FClosing = false;
    throw;
  }
  FClosing = false;
}

void TvkPopupController::CloseAll(TObject* Sender) {
  auto* SenderComponent = dynamic_cast<TComponent*>(Sender);
  TCustomForm* Own = SenderComponent != nullptr ? FindOwnerForm(SenderComponent) : nullptr;
  const std::vector<TvkFormHandler*> Snapshot = Handlers;
  for (TvkFormHandler* H : Snapshot)
    if (H->PopupForm != nullptr && H->PopupForm != Own) H->PopupForm->Close();
  if (VisibleCount(nullptr) > 0) return;
  std::vector<TvkFormHandler*> Gone;
  Gone.swap(Handlers);
  for (TvkFormHandler* H : Gone) H->Free();
}

void TvkPopupController::BeforeDestruction() {
  std::vector<TvkFormHandler*> Gone;
  Gone.swap(Handlers);
  for (TvkFormHandler* H : Gone) H->Free();
  TObject::BeforeDestruction();
}
