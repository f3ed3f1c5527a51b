#include "tests/app/LoaderApp.h"

#include "framework/StdCtrls.h"

std::string LoaderApp::MessageText(const testing_support::FoundWindow& w) {
  auto* form = dynamic_cast<TWinControl*>(FindControl(w.handle));
  if (!form) return w.text;
  std::string text;
  for (int i = 0; i < form->ControlCount(); ++i)
    if (auto* label = dynamic_cast<TCustomLabel*>(form->Controls(i))) text += (text.empty() ? "" : "\n") + label->Caption();
  return text.empty() ? w.text : text;
}

void LoaderApp::PressKey(WORD key, bool ctrl, bool shift) {
  TShiftState state;
  if (ctrl) state += ssCtrl;
  if (shift) state += ssShift;
  WORD k = key;
  try {
    MainForm->OnKeyDown(MainForm, k, state);
  } catch (...) {
    Application->HandleException(MainForm);
  }
}

void LoaderApp::Click(TControl* button) {
  try {
    button->Click();
  } catch (...) {
    Application->HandleException(button);
  }
}
