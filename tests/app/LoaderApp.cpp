#include "tests/app/LoaderApp.h"

#include "framework/StdCtrls.h"

namespace {

BOOL CALLBACK CollectStaticText(HWND child, LPARAM out) {
  char cls[32] = {}, text[2048] = {};
  GetClassNameA(child, cls, sizeof cls);
  if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0) {
    std::string& s = *reinterpret_cast<std::string*>(out);
    if (!s.empty()) s += '\n';
    s += text;
  }
  return TRUE;
}

}  // namespace

std::string LoaderApp::MessageText(const testing_support::FoundWindow& w) {
  auto* form = dynamic_cast<TWinControl*>(FindControl(w.handle));
  if (!form) {
    // A system box: its message is in its static text, not in its buttons.
    std::string text;
    EnumChildWindows(w.handle, CollectStaticText, reinterpret_cast<LPARAM>(&text));
    return text.empty() ? w.text : text;
  }
  std::string text;
  for (int i = 0; i < form->ControlCount(); ++i)
    if (auto* label = dynamic_cast<TCustomLabel*>(form->Controls(i))) {
      if (!text.empty()) text += '\n';
      text += label->Caption();
    }
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

void LoaderApp::PressKeyInFocus(TWinControl* focus, WORD key, bool ctrl, bool shift,
                                const std::function<bool()>& done) {
  focus->SetFocus();
  testing_support::PumpPending();
  Platform().GetKeyState = [ctrl, shift](int vk) -> SHORT {
    if ((vk == VK_CONTROL && ctrl) || (vk == VK_SHIFT && shift)) return static_cast<SHORT>(0x8000);
    return 0;
  };
  // The key goes to the window that takes the focus in this control (a drop-down combo's edit child),
  // not to GetFocus(): test programs share one display, and another one's window may take the
  // activation, and with it this thread's focus, at any moment.
  HWND target = focus->Handle();
  COMBOBOXINFO combo{};
  combo.cbSize = sizeof combo;
  if (GetComboBoxInfo(target, &combo) && combo.hwndItem) target = combo.hwndItem;
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
  testing_support::PumpUntil(done, 10000);
  Platform().GetKeyState = [](int vk) { return ::GetKeyState(vk); };
}
