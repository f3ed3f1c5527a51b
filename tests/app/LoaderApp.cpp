#include "tests/app/LoaderApp.h"

#include "framework/StdCtrls.h"
#include "skin/core/sCommonData.h"
#include "tests/support/Dib32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

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

// The control's WM_PRINT equals its cached face, pixel for pixel, where no child of it lies (graphic children
// are painted over the face, windowed ones paint themselves).
void ExpectPrintsItsCache(TWinControl* C, TsCommonData* D) {
  SCOPED_TRACE(C->Name());
  ASSERT_TRUE(D->IsSkinned());
  testing_support::Dib32 Dib(C->Width(), C->Height(), 0x123456, true);
  SendMessageA(C->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Dib.DC()), PRF_CLIENT);
  TBitmap* Cache = D->CacheBmp;
  ASSERT_EQ(Cache->Width(), C->Width());
  ASSERT_EQ(Cache->Height(), C->Height());
  auto UnderChild = [C](int X, int Y) {
    for (int i = 0; i < C->ControlCount(); ++i) {
      const RECT R = C->Controls(i)->BoundsRect();
      const POINT P{X, Y};
      if (C->Controls(i)->Visible() && PtInRect(&R, P)) return true;
    }
    return false;
  };
  for (int y = 0; y < C->Height(); ++y)
    for (int x = 0; x < C->Width(); ++x)
      if (!UnderChild(x, y)) {
        ASSERT_EQ(Dib.Rgb(x, y), static_cast<uint32_t*>(Cache->ScanLine(y))[x] & 0xFFFFFF) << x << "," << y;
      }
}

uint32_t CacheRgb(TsCommonData* D, int X, int Y) { return static_cast<uint32_t*>(D->CacheBmp->ScanLine(Y))[X] & 0xFFFFFF; }

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

namespace {

// The keyboard's modifiers as the key handlers read them.
void HoldModifiers(bool ctrl, bool shift) {
  Platform().GetKeyState = [ctrl, shift](int vk) -> SHORT {
    if ((vk == VK_CONTROL && ctrl) || (vk == VK_SHIFT && shift)) return static_cast<SHORT>(0x8000);
    return 0;
  };
}

// A key for `focus` goes to the window that takes the focus in it (a drop-down combo's edit child), not to
// GetFocus(): test programs share one display, and another one's window may take the activation, and with it
// this thread's focus, at any moment.
void PostKey(TWinControl* focus, WORD key) {
  HWND target = focus->Handle();
  COMBOBOXINFO combo{};
  combo.cbSize = sizeof combo;
  if (GetComboBoxInfo(target, &combo) && combo.hwndItem) target = combo.hwndItem;
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

void LoaderApp::PressKeyInFocus(TWinControl* focus, WORD key, bool ctrl, bool shift,
                                const std::function<bool()>& done) {
  focus->SetFocus();
  testing_support::PumpPending();
  HoldModifiers(ctrl, shift);
  PostKey(focus, key);
  testing_support::PumpUntil(done, 10000);
  Platform().GetKeyState = [](int vk) { return ::GetKeyState(vk); };
}

void LoaderApp::QueueKey(WORD key, bool ctrl, bool shift) {
  HoldModifiers(ctrl, shift);
  TWinControl* focus = MainForm->ActiveControl();
  PostKey(focus ? focus : static_cast<TWinControl*>(MainForm), key);
}

void LoaderApp::QueueClick(TControl* control) {
  auto* windowed = dynamic_cast<TWinControl*>(control);
  POINT point{control->Width() / 2, control->Height() / 2};
  if (!windowed) {
    point.x += control->Left();
    point.y += control->Top();
  }
  ClientToScreen(windowed ? windowed->Handle() : control->Parent()->Handle(), &point);
  // From the form down to the deepest window under the point that the mouse would reach.
  HWND target = MainForm->Handle();
  for (;;) {
    POINT local = point;
    ScreenToClient(target, &local);
    HWND child = ChildWindowFromPointEx(target, local, CWP_SKIPDISABLED | CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (!child) throw std::runtime_error("the point to click lies outside the main form: " + control->Name());
    if (child == target) break;
    target = child;
  }
  // A push button that the mouse reaches tells its parent it was clicked. Its own press and release would also
  // take the focus and the capture, which another test program's window may take back in between.
  if (dynamic_cast<TButton*>(FindControl(target))) {
    PostMessageA(GetParent(target), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(target), BN_CLICKED),
                 reinterpret_cast<LPARAM>(target));
    return;
  }
  POINT local = point;
  ScreenToClient(target, &local);
  PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(local.x, local.y));
  PostMessageA(target, WM_LBUTTONUP, 0, MAKELPARAM(local.x, local.y));
}

DialogAnswer::DialogAnswer(std::string answer) : path(std::move(answer)) {
  Platform().GetOpenFileNameA = [this](OPENFILENAMEA* ofn) -> BOOL {
    ++asked;
    filter = ofn->lpstrFilter ? ofn->lpstrFilter : "";
    if (path.empty()) return FALSE;
    std::strncpy(ofn->lpstrFile, path.c_str(), ofn->nMaxFile - 1);
    return TRUE;
  };
}
