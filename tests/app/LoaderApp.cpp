#include "tests/app/LoaderApp.h"

void LoaderApp::PressKey(WORD key, bool ctrl, bool shift) {
  TShiftState state;
  if (ctrl) state += ssCtrl;
  if (shift) state += ssShift;
  WORD k = key;
  MainForm->OnKeyDown(MainForm, k, state);
}
