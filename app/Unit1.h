#pragma once
// The About window: the emblem, the maker's web address and an OK button.
#include "framework/Forms.h"

class TImage;
class TsWebLabel;
class TButton;

class TFormHelp : public TForm {
  DECLARE_CLASS(TFormHelp, TForm)
public:
  explicit TFormHelp(TComponent* AOwner) : TForm(AOwner) {}

  TImage* Image_Emblem = nullptr;
  TsWebLabel* sWebLabel1 = nullptr;
  TButton* Button1 = nullptr;

  void Button1Click(TObject* Sender);
  void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
  void sWebLabel1Click(TObject* Sender);
  void FormCreate(TObject* Sender);
  void sPanel1Click(TObject* Sender);
};

extern TFormHelp* FormHelp;

void RegisterFormHelpClasses();
