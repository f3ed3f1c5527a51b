#pragma once
// Shared set-up of the user-interface tests: the application exists, the platform seams are reset,
// and message boxes can be recorded instead of shown.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/FormReader.h"
#include "framework/Forms.h"
#include "framework/Platform.h"
#include "tests/support/GdiLeaks.h"
#include "tests/support/WindowProbe.h"

class UiTest : public testing::Test {
protected:
  void SetUp() override {
    InitializeForms();
    ResetPlatform();
  }
  // Each test gets an application of its own: one a test terminated, or whose hint pauses it changed, would
  // change what later tests of the process see.
  void TearDown() override {
    ResetPlatform();
    FinalizeForms();
  }

  // Every box of every path goes to `boxes` (answered with `answer`).
  void RecordBoxes(int answer = IDOK) {
    Platform().MessageBoxSink = [this, answer](const TMessageBoxRequest& r) {
      boxes.push_back(r);
      return answer;
    };
  }
  // The cursor as the framework sees it, over this program's windows only (other test programs' lie beside them).
  void PlaceCursor(POINT p) {
    cursor = p;
    Platform().GetCursorPos = [this](POINT* out) {
      *out = cursor;
      return TRUE;
    };
    Platform().WindowFromPoint = testing_support::OwnWindowFromPoint;
  }
  // The pointer moved to p, and the control under it updated.
  void MovePointerTo(POINT p) {
    PlaceCursor(p);
    UpdateMouseControl();
  }

  // The texts of the boxes recorded so far.
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const TMessageBoxRequest& box : boxes) texts.push_back(box.text);
    return texts;
  }

  std::vector<TMessageBoxRequest> boxes;
  POINT cursor{0, 0};
};

// Puts `handler` in front of a control's WindowProc until the end of the scope; the handler passes a message on
// through `next`, the procedure it replaced. A control freed while the hook lives keeps nothing of it: the hook then
// forgets the control.
class WindowProcHook {
public:
  using THandler = std::function<void(TMessage& m, const TWndMethod& next)>;
  WindowProcHook(TControl* c, THandler handler) : control(c), saved(c->WindowProc), watch(new TWatch(this)) {
    c->FreeNotification(watch);
    c->WindowProc = TWndMethod::FromFunction([this, handler](TMessage& m) { handler(m, saved); });
  }
  ~WindowProcHook() {
    if (control != nullptr) control->WindowProc = saved;
    watch->Free();
  }
  WindowProcHook(const WindowProcHook&) = delete;
  WindowProcHook& operator=(const WindowProcHook&) = delete;

private:
  // Hears of the control's end.
  class TWatch : public TComponent {
  public:
    explicit TWatch(WindowProcHook* h) : TComponent(nullptr), hook(h) {}
    void Notification(TComponent* c, TOperation op) override {
      TComponent::Notification(c, op);
      if (op == opRemove && c == hook->control) hook->control = nullptr;
    }
    WindowProcHook* hook;
  };
  TControl* control;
  TWndMethod saved;
  TWatch* watch;
};

// Records the messages from First to Last a control's WindowProc sees (in a window's procedure or through
// Perform), then chains to the procedure it replaced; the framework's own notices by default.
struct MessageLog : WindowProcHook {
  explicit MessageLog(TControl* c, UINT first = CM_BASE, UINT last = CM_BASE + 0xFF)
      : WindowProcHook(c, [this, first, last](TMessage& m, const TWndMethod& next) {
          if (m.Msg >= first && m.Msg <= last) seen.push_back(m);
          next(m);
        }) {}
  int Count(UINT msg) const {
    int n = 0;
    for (const auto& m : seen) n += m.Msg == msg;
    return n;
  }
  int IndexOf(UINT msg) const {
    for (size_t i = 0; i < seen.size(); ++i)
      if (seen[i].Msg == msg) return static_cast<int>(i);
    return -1;
  }
  std::vector<LPARAM> LParams() const {
    std::vector<LPARAM> out;
    for (const auto& m : seen) out.push_back(m.LParam);
    return out;
  }
  std::vector<TMessage> seen;
};

// A new form of class F owned by the application, read from its stored description Text (freed again when
// reading fails).
template <class F> F* ReadFormFromText(const std::string& Text) {
  return FreeOnThrow(new F(Application), [&](F* f) { ReadComponentFromText(Text, f); });
}

// A form built in code (no stored description).
inline TForm* NewForm(int clientW = 300, int clientH = 200) {
  TForm* f = TForm::CreateNew(Application);
  f->SetBorderStyle(bsSingle);
  f->SetClientWidth(clientW);
  f->SetClientHeight(clientH);
  return f;
}

// A UiTest with a form built in code (not shown), freed after the test.
class UiFormTest : public UiTest {
protected:
  void SetUp() override {
    UiTest::SetUp();
    form = NewForm();
  }
  void TearDown() override {
    form->Free();
    UiTest::TearDown();
  }
  TForm* form = nullptr;
};

// Places a form on a spot of the screen no other test's window uses (tests run in parallel on one display).
inline void PlaceForm(TCustomForm* f, int left, int top) {
  f->SetPosition(poDesigned);
  f->SetLeft(left);
  f->SetTop(top);
}

// A new control of class C owned by `owner` (the parent when none is given) and placed in `parent`.
template <class C> C* NewChild(TWinControl* parent, TComponent* owner) {
  C* c = new C(owner);
  c->SetParent(parent);
  return c;
}
template <class C> C* NewChild(TWinControl* parent) { return NewChild<C>(parent, parent); }

// Posts a message and lets the application's loop handle it, as a user's input comes.
inline void PostAndProcess(HWND h, UINT msg, WPARAM w, LPARAM l) {
  PostMessageA(h, msg, w, l);
  Application->ProcessMessages();
}

// Runs `cycle` once (classes registered, stock objects made), then `times` more: no GDI object and no framework
// window may be left behind.
inline void ExpectCyclesLeaveNothing(int times, const std::function<void()>& cycle) {
  cycle();
  const int windows = FrameworkWindowCount();
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(times, cycle));
  EXPECT_EQ(FrameworkWindowCount(), windows);
}

// A colour as the RGB part of a 32-bit pixel (0x00RRGGBB).
inline uint32_t PixelRgb(TColor c) {
  const COLORREF v = ColorToRGB(c);
  return static_cast<uint32_t>(GetRValue(v) << 16 | GetGValue(v) << 8 | GetBValue(v));
}

inline std::string WindowClassOf(HWND h) {
  char name[256] = {};
  GetClassNameA(h, name, sizeof name);
  return name;
}
