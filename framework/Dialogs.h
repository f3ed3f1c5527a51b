#pragma once
// The open-file dialog and the framework's own message dialogs (a modal "TMessageForm").

#include <string>

#include "framework/Forms.h"

enum TOpenOption {
  ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
  ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
  ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks,
  ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent, ofForceShowHidden
};
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TComponent {
  DECLARE_CLASS(TOpenDialog, TComponent)
public:
  explicit TOpenDialog(TComponent* AOwner);

  // "Description|*.ext|Description|*.a;*.b" pairs.
  const std::string& Filter() const { return FFilter; }
  void SetFilter(const std::string& v) { FFilter = v; }
  int FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int v) { FFilterIndex = v; }
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& v) { FFileName = v; }
  const std::string& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const std::string& v) { FInitialDir = v; }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& v) { FTitle = v; }
  const std::string& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const std::string& v) { FDefaultExt = v; }
  TOpenOptions Options() const { return FOptions; }
  void SetOptions(TOpenOptions v) { FOptions = v; }

  // Shows the dialog (owned by the active form); true with FileName and FilterIndex set when the user
  // chose a file.
  virtual bool Execute();

protected:
  // The dialog's extended error after it returned FALSE (0 = the user cancelled).
  virtual DWORD DialogError() const;

private:
  std::string FFilter;
  int FFilterIndex = 1;
  std::string FFileName;
  std::string FInitialDir;
  std::string FTitle;
  std::string FDefaultExt;
  TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
};

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// The message dialog's form: window class "TMessageForm". A WM_COMMAND with a button ID and no control
// (how dialogs are closed from outside) sets ModalResult to that ID.
class TMessageForm : public TForm {
  DECLARE_CLASS(TMessageForm, TForm)
public:
  explicit TMessageForm(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;
};

// Builds the dialog: bsDialog, caption Application->Title, a TLabel "Message" with the text, an icon
// TImage "Image" for typed messages, and one TButton per button (the first default; Cancel, else No,
// else OK cancels). The caller shows and frees it.
TMessageForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
// Shows the dialog modally (or hands it to the message-box sink) and returns the button's modal result.
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
void ShowMessage(const std::string& Msg);
