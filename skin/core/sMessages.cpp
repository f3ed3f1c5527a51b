#include "skin/core/sMessages.h"

#include "framework/Forms.h"
#include "framework/Platform.h"

int MessageBoxPosX = -1, MessageBoxPosY = -1;

std::string MessageKindCaption(TMsgDlgType Kind) {
  static const char* const Captions[] = {"Warning", "Error", "Information", "Confirm", ""};
  return Kind >= mtWarning && Kind <= mtConfirmation ? Captions[Kind] : Captions[4];
}

UINT MessageKindIcon(TMsgDlgType Kind) {
  static const UINT Icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION};
  return Kind >= mtWarning && Kind <= mtConfirmation ? Icons[Kind] : 0;
}

UINT MessageBoxButtonsStyle(TMsgDlgButtons Buttons) {
  UINT Style = MB_OK;
  if (Buttons.Contains(mbOK))
    Style = Buttons.Contains(mbCancel) ? MB_OKCANCEL : MB_OK;
  else if (Buttons.Contains(mbAbort) || Buttons.Contains(mbIgnore))
    Style = MB_ABORTRETRYIGNORE;
  else if (Buttons.Contains(mbYes) || Buttons.Contains(mbNo))
    Style = Buttons.Contains(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
  else if (Buttons.Contains(mbRetry))
    Style = MB_RETRYCANCEL;
  if (Buttons.Contains(mbHelp)) Style |= MB_HELP;
  return Style;
}

void CALLBACK MessageBoxHelpCallback(LPHELPINFO HelpInfo) {
  // called by the system's message box: the application's help handler may raise, which must not unwind it
  try {
    if (HelpInfo != nullptr && HelpInfo->dwContextId != 0 && Application != nullptr)
      Application->HelpContext(static_cast<int>(HelpInfo->dwContextId));
  } catch (...) {
    HandleCallbackException(nullptr);
  }
}

namespace {

// Undoes what the box set up, also when the box path throws (a test sink).
struct TBoxScope {
  HWND ActiveBefore = GetActiveWindow();
  TTaskWindowList Disabled;
  TBoxScope(int X, int Y) {
    MessageBoxPosX = X;
    MessageBoxPosY = Y;
    if (Application != nullptr) Application->ModalStarted();
    Disabled = DisableTaskWindows(nullptr);
  }
  ~TBoxScope() {
    EnableTaskWindows(Disabled);
    // The focus goes back to the window that was active before, set afresh.
    if (ActiveBefore != nullptr && IsWindow(ActiveBefore)) {
      SetFocus(nullptr);
      SetFocus(ActiveBefore);
    }
    if (Application != nullptr) Application->ModalFinished();
    MessageBoxPosX = -1;
    MessageBoxPosY = -1;
  }
};

}  // namespace

int ShowMessageBoxAt(const std::string& Caption, const std::string& Msg, TMsgDlgType Kind, int X, int Y, int HelpCtx,
                     TMsgDlgButtons Buttons) {
  TMessageBoxRequest Request;
  Request.source = TMessageBoxRequest::MessageBoxIndirectA;
  Request.text = Msg;
  Request.caption = Caption.empty() ? MessageKindCaption(Kind) : Caption;
  Request.flags = MessageKindIcon(Kind) | MessageBoxButtonsStyle(Buttons);
  Request.owner = Application != nullptr ? Application->Handle() : nullptr;
  TBoxScope Scope(X, Y);
  MSGBOXPARAMSA& P = Request.params;
  P.cbSize = sizeof(MSGBOXPARAMSA);
  P.hwndOwner = Request.owner;
  P.lpszText = Request.text.c_str();
  P.lpszCaption = Request.caption.c_str();
  P.dwStyle = Request.flags;
  P.dwContextHelpId = static_cast<DWORD_PTR>(HelpCtx);
  P.lpfnMsgBoxCallback = MessageBoxHelpCallback;
  return PlatformMessageBox(Request);
}

int ShowMessageKind(const std::string& Msg, TMsgDlgType Kind, TMsgDlgButtons Buttons, int HelpCtx) {
  return ShowMessageBoxAt("", Msg, Kind, -1, -1, HelpCtx, Buttons);
}

void ShowWarningBox(const std::string& Msg) { ShowMessageKind(Msg, mtWarning, TMsgDlgButtons{mbOK}, 0); }

void ShowWarningBoxProxy(const std::string& Msg) { ShowWarningBox(Msg); }
