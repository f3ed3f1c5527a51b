#pragma once
// The form of the user-interface tests that is built from a stored description.
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

// A form class with a stored description given as text (tests read it with ReadComponentFromText).
class TUiTestForm : public TForm {
  DECLARE_CLASS(TUiTestForm, TForm)
public:
  explicit TUiTestForm(TComponent* AOwner) : TForm(AOwner, 0) {}
  TPanel* Panel1 = nullptr;
  TLabel* Label1 = nullptr;
  TComboBox* cbPort = nullptr;
  TMemo* Memo1 = nullptr;
  TButton* Button1 = nullptr;
  TTimer* Timer1 = nullptr;
  int clicks = 0;
  int keys = 0;
  void Button1Click(TObject*) { ++clicks; }
  void FormKeyDown(TObject*, WORD& Key, TShiftState) {
    ++keys;
    if (Key == VK_F2) Key = 0;
  }
};

// A new test form owned by the application, read from its stored description.
TUiTestForm* ReadTestForm();
