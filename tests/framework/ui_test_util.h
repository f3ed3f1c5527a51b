#pragma once
// Shared set-up of the user-interface tests: the application exists, the platform seams are reset,
// and message boxes can be recorded instead of shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/FormReader.h"
#include "framework/Forms.h"
#include "framework/Platform.h"
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

  std::vector<TMessageBoxRequest> boxes;
  POINT cursor{0, 0};
};

// Records the messages from First to Last a control's WindowProc sees (in a window's procedure or through
// Perform), then chains to the procedure it replaced; the framework's own notices by default.
// A control freed while its log lives keeps nothing of it: the log then forgets the control.
struct MessageLog {
  explicit MessageLog(TControl* c, UINT first = CM_BASE, UINT last = CM_BASE + 0xFF)
      : control(c), saved(c->WindowProc), watch(new TWatch(this)) {
    c->FreeNotification(watch);
    c->WindowProc = TWndMethod::FromFunction([this, first, last](TMessage& m) {
      if (m.Msg >= first && m.Msg <= last) seen.push_back(m);
      saved(m);
    });
  }
  ~MessageLog() {
    if (control != nullptr) control->WindowProc = saved;
    watch->Free();
  }
  MessageLog(const MessageLog&) = delete;
  MessageLog& operator=(const MessageLog&) = delete;
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
  // Hears of the control's end.
  class TWatch : public TComponent {
  public:
    explicit TWatch(MessageLog* l) : TComponent(nullptr), log(l) {}
    void Notification(TComponent* c, TOperation op) override {
      TComponent::Notification(c, op);
      if (op == opRemove && c == log->control) log->control = nullptr;
    }
    MessageLog* log;
  };
  TControl* control;
  TWndMethod saved;
  TWatch* watch;
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

// Places a form on a spot of the screen no other test's window uses (tests run in parallel on one display).
inline void PlaceForm(TCustomForm* f, int left, int top) {
  f->SetPosition(poDesigned);
  f->SetLeft(left);
  f->SetTop(top);
}

inline std::string WindowClassOf(HWND h) {
  char name[256] = {};
  GetClassNameA(h, name, sizeof name);
  return name;
}
