#include "tests/framework/ui_test_form.h"

#include "tests/framework/ui_test_util.h"

PUBLISHED(TUiTestForm) {
  p.Field("Panel1", &TUiTestForm::Panel1);
  p.Field("Label1", &TUiTestForm::Label1);
  p.Field("cbPort", &TUiTestForm::cbPort);
  p.Field("Memo1", &TUiTestForm::Memo1);
  p.Field("Button1", &TUiTestForm::Button1);
  p.Field("Timer1", &TUiTestForm::Timer1);
  p.Handler("Button1Click", &TUiTestForm::Button1Click);
  p.Handler("FormKeyDown", &TUiTestForm::FormKeyDown);
}

namespace {

const char* const kStoredForm = R"(object UiTestForm: TUiTestForm
  Left = 10
  Top = 20
  BorderStyle = bsSingle
  BorderIcons = [biSystemMenu, biMinimize]
  Caption = 'KRL-0.0 Bootloader (в'#1110'д 22.10.12)'
  ClientHeight = 131
  ClientWidth = 302
  Color = cl3DLight
  KeyPreview = True
  Position = poScreenCenter
  OnKeyDown = FormKeyDown
  PixelsPerInch = 96
  TextHeight = 13
  object Panel1: TPanel
    Left = 7
    Top = 8
    Width = 289
    Height = 73
    TabOrder = 1
    object Label1: TLabel
      Left = 8
      Top = 10
      Caption = 'Port:'
      Cursor = crHandPoint
      Hint = 'Open the device manager'
      ShowHint = True
    end
    object cbPort: TComboBox
      Left = 60
      Top = 8
      Width = 100
      TabOrder = 0
      Style = csDropDownList
      ItemIndex = 1
      Items.Strings = (
        'COM1'
        'COM2')
    end
  end
  object Memo1: TMemo
    Left = 400
    Top = 0
    TabOrder = 2
    WordWrap = False
    Lines.Strings = (
      ':020000040000FA'
      ':00000001FF')
  end
  object Button1: TButton
    Left = 10
    Top = 90
    Caption = 'OK'
    TabOrder = 0
    ModalResult = 1
    OnClick = Button1Click
  end
  object Timer1: TTimer
    Enabled = False
    Interval = 100
  end
end
)";

}  // namespace

TUiTestForm* ReadTestForm() { return ReadFormFromText<TUiTestForm>(kStoredForm); }
