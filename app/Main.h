#pragma once
// The main window: port choice, the write and About buttons, status line and gauge, the service
// view (Ctrl+Shift+E) and the hidden memos that hold the device description and the firmware.
#include "app/LoaderSession.h"

#include "framework/Forms.h"

#include <memory>

class TsPanel;
class TsLabel;
class TsComboBox;
class TPNGButton;
class TsGauge;
class TLabel;
class TsProgressBar;
class TsButton;
class TMemo;
class TBComPort;
class TTimer;
class TOpenDialog;
class TsSkinManager;

class TMainForm : public TForm {
  DECLARE_CLASS(TMainForm, TForm)
public:
  explicit TMainForm(TComponent* AOwner);
  ~TMainForm() override;

  // Components of the stored description.
  TsPanel* sPanel1 = nullptr;
  TsLabel* Label1 = nullptr;
  TsComboBox* cbPort = nullptr;
  TPNGButton* ButtonWrite = nullptr;
  TPNGButton* PNGButton6 = nullptr;
  TsLabel* LabelNameOfHex = nullptr;
  TsGauge* ProgressbarReadWrite = nullptr;
  TLabel* Label3 = nullptr;
  TsProgressBar* ProgressbarWrite = nullptr;
  TsComboBox* cbBaudRate = nullptr;
  TsPanel* sPanel2 = nullptr;
  TsButton* ButtonConect = nullptr;
  TsButton* ButtonOpenHex = nullptr;
  TsPanel* sPanel3 = nullptr;
  TsButton* sButton2 = nullptr;
  TsButton* sButton3 = nullptr;
  TMemo* MemoAbout = nullptr;
  TMemo* TextTerminal = nullptr;
  TsComboBox* sComboBoxSkinName = nullptr;
  TBComPort* BComPort1 = nullptr;
  TTimer* Timer1 = nullptr;
  TOpenDialog* OpenDialog1 = nullptr;
  TsSkinManager* sSkinManager1 = nullptr;

  // Handlers the stored description binds.
  void FormActivate(TObject* Sender);
  void FormCreate(TObject* Sender);
  void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
  void FormResize(TObject* Sender);
  void ButtonConectClick(TObject* Sender);
  void ButtonOpenHexClick(TObject* Sender);
  void ButtonWriteClick(TObject* Sender);
  void cbPortChange(TObject* Sender);
  void cbBaudRateChange(TObject* Sender);
  void sComboBoxSkinNameChange(TObject* Sender);
  void PNGButton6Click(TObject* Sender);
  void sButton3Click(TObject* Sender);
  void sButton2Click(TObject* Sender);
  void Label1Click(TObject* Sender);
  void sButton1Click(TObject* Sender);

  // The loader's state and operations (image, replies, geometry, stop flag).
  TBootloaderSession& Session() { return *session_; }

private:
  class TView;
  class TPortLink;
  std::unique_ptr<TView> view_;
  std::unique_ptr<TPortLink> link_;
  std::unique_ptr<TBootloaderSession> session_;
  void ShowAbout();
  void FillPortList();
};

extern TMainForm* MainForm;

// The maker's web page, opened by the site button and the About window's link.
extern const char* const MakerWebPage;

// Registers the classes the main form's description names.
void RegisterMainFormClasses();
