#include "app/Main.h"

#include "app/Unit1.h"

#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/Platform.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"
#include "serial/BCPort.h"
#include "skin/controls/sControlClasses.h"
#include "skin/controls/pngextra.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sGauge.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/vkProgressBar.h"
#include "skin/core/sSkinManager.h"

TMainForm* MainForm = nullptr;
const char* const MakerWebPage = "http://www.example.com/";

// The form's controls as the loader's operations see them.
class TMainForm::TView : public ILoaderView {
public:
  explicit TView(TMainForm& form) : f_(form) {}

  void ProcessMessages() override { Application->ProcessMessages(); }
  bool InputWaiting() const override {
    return (HIWORD(GetQueueStatus(QS_KEY | QS_POSTMESSAGE)) & (QS_KEY | QS_POSTMESSAGE)) != 0;
  }
  void BringToFront() override { Application->BringToFront(); }
  int64_t GaugeMax() const override { return f_.ProgressbarReadWrite->MaxValue(); }
  void SetGaugeMax(int64_t value) override { f_.ProgressbarReadWrite->SetMaxValue(value); }
  int64_t GaugeProgress() const override { return f_.ProgressbarReadWrite->Progress(); }
  void SetGaugeProgress(int64_t value) override { f_.ProgressbarReadWrite->SetProgress(value); }
  void SetPageBarMax(int value) override { f_.ProgressbarWrite->SetMax(value); }
  int PageBarPosition() const override { return f_.ProgressbarWrite->Position(); }
  void SetPageBarPosition(int value) override { f_.ProgressbarWrite->SetPosition(value); }
  void SetStatus(const std::string& caption) override { f_.LabelNameOfHex->SetCaption(caption); }
  void SetCalibration(const std::string& caption) override { f_.Label3->SetCaption(caption); }
  std::string AboutText() const override {
    PutFrameLog();
    return f_.MemoAbout->Text();
  }
  void SetAboutText(const std::string& text) override {
    PutFrameLog();
    f_.MemoAbout->SetText(text);
  }
  void LogFrame(const std::string& line) override {
    if (!frameLog_.empty()) frameLog_ += "\r\n";
    frameLog_ += "\r\n" + line;
  }
  void FlushFrameLog() override { PutFrameLog(); }
  std::vector<std::string> TerminalLines() const override {
    TStringList* list = new TStringList();
    std::vector<std::string> lines;
    try {
      list->SetText(f_.TextTerminal->Text());
      lines.reserve(static_cast<size_t>(list->Count()));
      for (int i = 0; i < list->Count(); ++i) lines.push_back(list->Strings(i));
    } catch (...) {
      list->Free();
      throw;
    }
    list->Free();
    return lines;
  }
  void SetTerminalLines(const std::vector<std::string>& lines) override {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    f_.TextTerminal->SetText(text);
  }
  void SetControlEnabled(TLoaderControl control, bool enabled) override { Control(control)->SetEnabled(enabled); }
  void FocusControl(TLoaderControl control) override {
    if (auto* windowed = dynamic_cast<TWinControl*>(Control(control))) windowed->SetFocus();
  }
  std::string PortName() const override { return f_.cbPort->Text(); }
  int BaudRateIndex() const override { return f_.cbBaudRate->ItemIndex(); }
  void ShowMessage(const std::string& text) override { ::ShowMessage(text); }
  void MessageBeep(unsigned type) override { Platform().MessageBeep(type); }
  void Beep(unsigned frequency, unsigned durationMs) override { Platform().Beep(frequency, durationMs); }
  void Sleep(unsigned ms) override { Platform().Sleep(ms); }
  std::string LongTimeText() const override { return TimeToStr(Now()); }

private:
  // One insertion for all lines gathered: the memo's text is the same as after one per line.
  void PutFrameLog() const {
    if (frameLog_.empty()) return;
    f_.MemoAbout->Lines()->Add(frameLog_);
    frameLog_.clear();
  }
  mutable std::string frameLog_;  // logged lines not yet in the memo, each pair as "\r\n" + line
  TControl* Control(TLoaderControl control) const {
    switch (control) {
      case TLoaderControl::ButtonConect: return f_.ButtonConect;
      case TLoaderControl::ButtonOpenHex: return f_.ButtonOpenHex;
      case TLoaderControl::ButtonWrite: return f_.ButtonWrite;
      case TLoaderControl::Port: return f_.cbPort;
      case TLoaderControl::BaudRate: return f_.cbBaudRate;
    }
    throw EInvalidOperation("Unknown loader control");
  }
  TMainForm& f_;
};

// The port component as the exchanges use it.
class TMainForm::TPortLink : public ISerialLink {
public:
  explicit TPortLink(TMainForm& form) : f_(form) {}
  void Close() override { f_.BComPort1->Close(); }
  void Configure(const std::string& port, int baudRateIndex) override {
    f_.BComPort1->SetPort(port);
    // No selection (-1) would name no rate; the port keeps the rate it has.
    if (baudRateIndex >= br110 && baudRateIndex <= br256000)
      f_.BComPort1->SetBaudRate(static_cast<TBaudRate>(baudRateIndex));
  }
  bool Open() override { return f_.BComPort1->Open(); }
  void WriteStr(const std::string& text) override { f_.BComPort1->WriteStr(text); }
  std::string ReadStr(int count) override {
    std::string text;
    f_.BComPort1->ReadStr(text, count);
    return text;
  }

private:
  TMainForm& f_;
};

PUBLISHED(TMainForm) {
  p.Field("sPanel1", &TMainForm::sPanel1);
  p.Field("Label1", &TMainForm::Label1);
  p.Field("cbPort", &TMainForm::cbPort);
  p.Field("ButtonWrite", &TMainForm::ButtonWrite);
  p.Field("PNGButton6", &TMainForm::PNGButton6);
  p.Field("LabelNameOfHex", &TMainForm::LabelNameOfHex);
  p.Field("ProgressbarReadWrite", &TMainForm::ProgressbarReadWrite);
  p.Field("Label3", &TMainForm::Label3);
  p.Field("ProgressbarWrite", &TMainForm::ProgressbarWrite);
  p.Field("cbBaudRate", &TMainForm::cbBaudRate);
  p.Field("sPanel2", &TMainForm::sPanel2);
  p.Field("ButtonConect", &TMainForm::ButtonConect);
  p.Field("ButtonOpenHex", &TMainForm::ButtonOpenHex);
  p.Field("sPanel3", &TMainForm::sPanel3);
  p.Field("sButton2", &TMainForm::sButton2);
  p.Field("sButton3", &TMainForm::sButton3);
  p.Field("MemoAbout", &TMainForm::MemoAbout);
  p.Field("TextTerminal", &TMainForm::TextTerminal);
  p.Field("sComboBoxSkinName", &TMainForm::sComboBoxSkinName);
  p.Field("BComPort1", &TMainForm::BComPort1);
  p.Field("Timer1", &TMainForm::Timer1);
  p.Field("OpenDialog1", &TMainForm::OpenDialog1);
  p.Field("sSkinManager1", &TMainForm::sSkinManager1);
  p.Handler("FormActivate", &TMainForm::FormActivate);
  p.Handler("FormCreate", &TMainForm::FormCreate);
  p.Handler("FormKeyDown", &TMainForm::FormKeyDown);
  p.Handler("FormResize", &TMainForm::FormResize);
  p.Handler("ButtonConectClick", &TMainForm::ButtonConectClick);
  p.Handler("ButtonOpenHexClick", &TMainForm::ButtonOpenHexClick);
  p.Handler("ButtonWriteClick", &TMainForm::ButtonWriteClick);
  p.Handler("cbPortChange", &TMainForm::cbPortChange);
  p.Handler("cbBaudRateChange", &TMainForm::cbBaudRateChange);
  p.Handler("sComboBoxSkinNameChange", &TMainForm::sComboBoxSkinNameChange);
  p.Handler("PNGButton6Click", &TMainForm::PNGButton6Click);
  p.Handler("sButton3Click", &TMainForm::sButton3Click);
  p.Handler("sButton2Click", &TMainForm::sButton2Click);
  p.Handler("Label1Click", &TMainForm::Label1Click);
  p.Handler("sButton1Click", &TMainForm::sButton1Click);
}

TMainForm::TMainForm(TComponent* AOwner)
    : TForm(AOwner), view_(std::make_unique<TView>(*this)), link_(std::make_unique<TPortLink>(*this)),
      session_(std::make_unique<TBootloaderSession>(*link_, *view_)) {}

TMainForm::~TMainForm() = default;

void TMainForm::FillPortList() {
  TBComPort::EnumComPorts(cbPort->Items());
  cbPort->SetItemIndex(0);
}

void TMainForm::FormCreate(TObject*) {
  Application->SetTitle("MVT Bootloader (від 23.11.17)");
  SetCaption("MVT Bootloader (від 23.11.17)");
  // Writing waits for an image that a parse has built: a start that cannot read the port list parses nothing.
  ButtonWrite->SetEnabled(false);
  // The exchanges only write and read, and no port event has a handler: the port's thread waits for none.
  BComPort1->SetWatchedEvents({});
  // Set before the port list is read: a start without one still talks at this rate once a port is listed.
  cbBaudRate->SetItemIndex(br115200);
  MemoAbout->Lines()->Clear();
  ProgressbarReadWrite->SetProgress(0);
  FillPortList();
  session_->ParseFirmwareLines(TParseOrigin::Startup);
}

void TMainForm::FormActivate(TObject*) {
  Repaint();
  Application->ProcessMessages();
}

void TMainForm::FormResize(TObject*) {
  Repaint();
  Application->ProcessMessages();
}

void TMainForm::ShowAbout() { FormHelp->ShowModal(); }

void TMainForm::FormKeyDown(TObject*, WORD& Key, TShiftState Shift) {
  const bool ctrl = Shift.Contains(ssCtrl);
  if (Key == VK_F1) ShowAbout();
  if (Key == 'E' && ctrl && Shift.Contains(ssShift)) SetHeight(340);
  if (Key == VK_DELETE && ctrl) session_->RequestStop();
  // Inside a running operation the port list stays as it is (the keyboard reset refuses by itself).
  if (Key == 'R' && ctrl && !session_->RefuseWhileBusy()) {
    FillPortList();
    ::ShowMessage("Порти оновлено!");
  }
  if (Key == 'L' && ctrl) session_->ResetFromKeyboard();
}

void TMainForm::ButtonConectClick(TObject*) { session_->IdentifyButton(); }

void TMainForm::ButtonOpenHexClick(TObject*) {
  if (session_->RefuseWhileBusy()) return;
  OpenDialog1->SetFilter("Файли: I8HEX, I16HEX, I32HEX|*.hex");
  if (!OpenDialog1->Execute()) return;
  TextTerminal->Lines()->LoadFromFile(OpenDialog1->FileName());
  session_->ParseFirmwareLines(TParseOrigin::OpenedFile, OpenDialog1->FileName());
}

void TMainForm::ButtonWriteClick(TObject*) { session_->WriteButton(); }

void TMainForm::cbPortChange(TObject*) { ButtonConect->SetFocus(); }

void TMainForm::cbBaudRateChange(TObject*) {
  // Not under a running exchange; the next one takes the rate from the combo anyway.
  if (session_->RefuseWhileBusy()) return;
  const int index = cbBaudRate->ItemIndex();
  if (index >= br110 && index <= br256000) BComPort1->SetBaudRate(static_cast<TBaudRate>(index));
}

void TMainForm::sComboBoxSkinNameChange(TObject*) {
  if (sSkinManager1) sSkinManager1->SetSkinName(sComboBoxSkinName->Text());
}

void TMainForm::PNGButton6Click(TObject*) {
  Platform().MessageBeep(MB_ICONASTERISK);
  ShowAbout();
}

void TMainForm::sButton3Click(TObject*) {
  Platform().MessageBeep(MB_ICONASTERISK);
  ShowAbout();
}

void TMainForm::sButton2Click(TObject*) {
  Platform().MessageBeep(MB_ICONASTERISK);
  Platform().ShellExecuteA(Handle(), nullptr, MakerWebPage, nullptr, nullptr, SW_SHOW);
}

void TMainForm::Label1Click(TObject*) {
  Platform().ShellExecuteA(Handle(), "open", "devmgmt.msc", nullptr, nullptr, SW_SHOWNORMAL);
}

void TMainForm::sButton1Click(TObject* Sender) { Label1Click(Sender); }

void RegisterMainFormClasses() {
  RegisterSkinControlClasses();
  RegisterBCPortClasses();
  RegisterSkinManagerClasses();
  RegisterClasses({TMainForm::StaticClassInfo()});
}
