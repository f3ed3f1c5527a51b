#include "framework/Dialogs.h"

#include <algorithm>
#include <vector>

#include "framework/ExtCtrls.h"
#include "framework/Platform.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"

// ===================================================================================================
// TOpenDialog

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

DWORD TOpenDialog::DialogError() const { return CommDlgExtendedError(); }

bool TOpenDialog::Execute() {
  // "a|b|c|d" -> "a\0b\0c\0d\0\0"
  std::string filter = FFilter;
  std::replace(filter.begin(), filter.end(), '|', '\0');
  filter.append(2, '\0');
  std::vector<char> file(32768, '\0');
  std::copy_n(FFileName.begin(), std::min(FFileName.size(), file.size() - 1), file.begin());

  static const DWORD kFlags[] = {
      OFN_READONLY, OFN_OVERWRITEPROMPT, OFN_HIDEREADONLY, OFN_NOCHANGEDIR, OFN_SHOWHELP, OFN_NOVALIDATE,
      OFN_ALLOWMULTISELECT, OFN_EXTENSIONDIFFERENT, OFN_PATHMUSTEXIST, OFN_FILEMUSTEXIST, OFN_CREATEPROMPT,
      OFN_SHAREAWARE, OFN_NOREADONLYRETURN, OFN_NOTESTFILECREATE, OFN_NONETWORKBUTTON, OFN_NOLONGNAMES, 0,
      OFN_NODEREFERENCELINKS, OFN_ENABLEINCLUDENOTIFY, OFN_ENABLESIZING, OFN_DONTADDTORECENT, OFN_FORCESHOWHIDDEN};
  DWORD flags = 0;
  for (int i = 0; i <= ofForceShowHidden; ++i)
    if (FOptions.Contains(static_cast<TOpenOption>(i))) flags |= kFlags[i];
  if (!FOptions.Contains(ofOldStyleDialog)) flags |= OFN_EXPLORER;

  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  HWND owner = ActiveOwnerWindow();
  if (!owner && Screen && Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated()) owner = Screen->ActiveForm()->Handle();
  if (!owner && Application) owner = Application->Handle();
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = FFilter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(FFilterIndex);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = FInitialDir.empty() ? nullptr : FInitialDir.c_str();
  ofn.lpstrTitle = FTitle.empty() ? nullptr : FTitle.c_str();
  ofn.lpstrDefExt = FDefaultExt.empty() ? nullptr : FDefaultExt.c_str();
  ofn.Flags = flags;
  if (!Platform().GetOpenFileNameA(&ofn)) {
    // Cancelled gives 0; anything else is a failure of the dialog, not the user's answer.
    DWORD error = DialogError();
    if (error != 0) throw EInvalidOperation(Format("The open dialog failed (error %x)", {static_cast<int>(error)}));
    return false;
  }
  file.back() = '\0';
  FFileName = file.data();
  FFilterIndex = static_cast<int>(ofn.nFilterIndex);
  return true;
}

// ===================================================================================================
// Message dialogs

TMessageForm::TMessageForm(TComponent* AOwner) : TForm(AOwner, 0) {}

void TMessageForm::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_COMMAND && Message.LParam == 0 && HIWORD(Message.WParam) == BN_CLICKED &&
      FFormState.Contains(fsModal)) {
    SetModalResult(LOWORD(Message.WParam));
    return;
  }
  inherited::Dispatch(Message);
}

namespace {
struct ButtonInfo {
  const char* name;
  const char* caption;
  int result;
};
const ButtonInfo kButtons[] = {
    {"Yes", "&Yes", mrYes},          {"No", "&No", mrNo},         {"OK", "OK", mrOk},
    {"Cancel", "Cancel", mrCancel},  {"Abort", "&Abort", mrAbort}, {"Retry", "&Retry", mrRetry},
    {"Ignore", "&Ignore", mrIgnore}, {"All", "&All", mrAll},       {"NoToAll", "N&o to All", mrNoToAll},
    {"YesToAll", "Yes to &All", mrYesToAll}, {"Help", "&Help", mrNone},
};
const char* const kIconIds[] = {IDI_EXCLAMATION, IDI_HAND, IDI_ASTERISK, IDI_QUESTION};

void ApplyMessageFont(TFont* font) {
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
    font->SetName(ncm.lfMessageFont.lfFaceName);
    font->SetHeight(ncm.lfMessageFont.lfHeight);
  }
}
}  // namespace

TMessageForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
  TMessageForm* form = Create<TMessageForm>(Application);
  try {
    form->SetBorderStyle(bsDialog);
    form->SetPosition(poScreenCenter);
    form->SetCaption(Application ? Application->Title() : std::string());
    ApplyMessageFont(form->Font());

    const int margin = 8, spacing = 10, buttonW = 75, buttonH = 25, buttonSpacing = 8;
    // Text size with the form's font, wrapped at half the screen.
    RECT text{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    HDC dc = GdiNewMemoryDC(nullptr);
    HGDIOBJ old = SelectObject(dc, form->Font()->Handle());
    DrawTextA(dc, Msg.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    SelectObject(dc, old);
    GdiFreeMemoryDC(dc);

    int iconW = 0, iconH = 0;
    int textLeft = margin;
    if (DlgType != mtCustom) {
      auto* image = new TImage(form);
      image->SetName("Image");
      HICON icon = GdiCopyIcon(LoadIconA(nullptr, kIconIds[DlgType]));
      if (icon) image->Picture()->Icon()->SetHandle(icon);
      iconW = iconH = 32;
      image->SetBounds(margin, margin, iconW, iconH);
      image->SetParent(form);
      textLeft = margin + iconW + spacing;
    }
    auto* label = new TLabel(form);
    label->SetName("Message");
    label->SetWordWrap(true);
    label->SetAutoSize(false);
    label->SetCaption(Msg);
    label->SetBounds(textLeft, margin, text.right, text.bottom);
    label->SetParent(form);

    std::vector<const ButtonInfo*> shown;
    for (int b = mbYes; b <= mbHelp; ++b)
      if (Buttons.Contains(static_cast<TMsgDlgBtn>(b))) shown.push_back(&kButtons[b]);
    if (shown.empty()) shown.push_back(&kButtons[mbOK]);
    int defaultResult = Buttons.Contains(mbOK) ? mrOk : Buttons.Contains(mbYes) ? mrYes : shown.front()->result;
    int cancelResult = Buttons.Contains(mbCancel) ? mrCancel : Buttons.Contains(mbNo) ? mrNo : mrOk;

    int buttonsW = static_cast<int>(shown.size()) * buttonW + (static_cast<int>(shown.size()) - 1) * buttonSpacing;
    int contentW = std::max<int>(textLeft + text.right + margin, buttonsW + 2 * margin);
    int contentH = std::max<int>(iconH, text.bottom) + 2 * margin;
    int x = (contentW - buttonsW) / 2;
    for (const ButtonInfo* info : shown) {
      auto* button = new TButton(form);
      button->SetName(info->name);
      button->SetCaption(info->caption);
      button->SetModalResult(info->result);
      if (info->result == defaultResult) button->SetDefault(true);
      if (info->result == cancelResult) button->SetCancel(true);
      button->SetBounds(x, contentH, buttonW, buttonH);
      button->SetParent(form);
      if (info->result == defaultResult) form->SetActiveControl(button);
      x += buttonW + buttonSpacing;
    }
    form->SetClientWidth(contentW);
    form->SetClientHeight(contentH + buttonH + margin);
  } catch (...) {
    form->Free();
    throw;
  }
  return form;
}

// Shows one message: through the message-box sink where one is installed, else as a modal message form.
static int ShowMessageRequest(TMessageBoxRequest::Source source, const std::string& Msg, TMsgDlgType DlgType,
                              TMsgDlgButtons Buttons) {
  if (HasMessageBoxSink()) {
    TMessageBoxRequest r;
    r.source = source;
    r.owner = GetActiveWindow();
    r.text = Msg;
    r.caption = Application ? Application->Title() : std::string();
    r.dialogType = DlgType;
    r.buttons = Buttons.Raw();
    return PlatformMessageBox(r);
  }
  TMessageForm* form = CreateMessageDialog(Msg, DlgType, Buttons);
  int result;
  try {
    result = form->ShowModal();
  } catch (...) {
    form->Free();
    throw;
  }
  form->Free();
  return result;
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
  return ShowMessageRequest(TMessageBoxRequest::MessageDlg, Msg, DlgType, Buttons);
}

void ShowMessage(const std::string& Msg) { ShowMessageRequest(TMessageBoxRequest::ShowMessage, Msg, mtCustom, {mbOK}); }

// ===================================================================================================

static const std::vector<std::string> kOpenOptionNames = {
    "ofReadOnly", "ofOverwritePrompt", "ofHideReadOnly", "ofNoChangeDir", "ofShowHelp", "ofNoValidate",
    "ofAllowMultiSelect", "ofExtensionDifferent", "ofPathMustExist", "ofFileMustExist", "ofCreatePrompt",
    "ofShareAware", "ofNoReadOnlyReturn", "ofNoTestFileCreate", "ofNoNetworkButton", "ofNoLongNames",
    "ofOldStyleDialog", "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing", "ofDontAddToRecent",
    "ofForceShowHidden"};

PUBLISHED(TOpenDialog) {
  p.Str("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
  p.Int("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex);
  p.Str("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
  p.Str("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
  p.Str("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
  p.Str("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
  p.Set("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions, kOpenOptionNames);
}
IMPLEMENT_CLASS(TMessageForm)
