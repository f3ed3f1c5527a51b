// The forms the library shows as drop-down popups, each kept by a handler, closed together when the user
// clicks elsewhere.
#pragma once
#include <vector>

#include "framework/Forms.h"

class TvkFormHandler : public TObject {
  DECLARE_CLASS(TvkFormHandler, TObject)
public:
  TvkFormHandler() = default;
  // Takes over PopupForm's window method; HookedControl, when given, is the control whose window method the
  // popup replaced and gets it back when the form is released.
  void Hook(TCustomForm* APopupForm, TControl* AHookedControl, const TWndMethod& HookedSaved);
  void HideForm(TCustomForm* Form);
  void ReleaseForm(TCustomForm* Form);
  void Unhook();
  void BeforeDestruction() override;

  TWndMethod OldWndProc;        // the popup form's
  TWndMethod SecondOldWndProc;  // the second hooked object's
  bool Active = false;
  TNotifyEvent SavedHandler;    // the popup form's OnDeactivate while someone else holds it; put back by Unhook
  TCustomForm* PopupForm = nullptr;
  TControl* SecondObject = nullptr;
  TvkFormHandler* SubHandler = nullptr;  // a nested popup's handler, released with this one
  // What the popup form itself keeps: the control whose window method it replaced (cleared when it goes), and
  // its state.
  TControl* HookedControl = nullptr;
  TWndMethod HookedSaved;
  bool Released = false;
  bool Hidden = false;

private:
  void FormWndProc(TMessage& Message);
  TComponent* FWatch = nullptr;  // hears the hooked control go
};

class TvkPopupController : public TObject {
  DECLARE_CLASS(TvkPopupController, TObject)
public:
  TvkPopupController() = default;
  void BeforeDestruction() override;
  // A handler for the popup form, kept in the list.
  TvkFormHandler* Add(TCustomForm* PopupForm, TControl* HookedControl = nullptr, const TWndMethod& HookedSaved = {});
  // Closes every popup but the one Sender lies on; with none left visible, every handler goes.
  void ClosePopups(TObject* Sender);
  int VisibleCount(TCustomForm* Except) const;

  std::vector<TvkFormHandler*> Handlers;

private:
  void CloseAll(TObject* Sender);
  bool FClosing = false;
};

// The program-wide controller, made on first use and freed at the end.
TvkPopupController* PopupController();
void FreePopupController();
// Form is an open popup of the controller: hooked, neither hidden nor released (False without a controller).
bool IsOpenControllerPopup(TCustomForm* Form);
// The unit's start (the form skinner asks it about popups and has it close them) and end (the controller freed).
void PopupControllerInitialize();
void PopupControllerFinalize();
