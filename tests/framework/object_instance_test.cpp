#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "framework/ObjectInstance.h"
#include "tests/framework/ui_test_util.h"

namespace {

constexpr UINT kProbe = WM_APP + 7;

// The window's own procedure counts what reaches it.
int g_baseCalls = 0;
LRESULT CALLBACK BaseProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == kProbe) {
    ++g_baseCalls;
    return 100;
  }
  return DefWindowProcA(h, msg, w, l);
}

HWND NewPlainWindow() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = BaseProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ThunkTestPlain";
    RegisterClassA(&wc);
    registered = true;
  }
  return CreateWindowExA(0, "ThunkTestPlain", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr),
                         nullptr);
}

// An object subclassing a window through a stub; it adds its tag to the probe's answer.
struct Subclasser {
  explicit Subclasser(int tag) : Tag(tag) { Stub = MakeObjectInstance(TWndMethod::Bind<&Subclasser::WndProc>(this)); }
  void Attach(HWND wnd) {
    Wnd = wnd;
    Old = SubclassWindowWith(wnd, Stub);
  }
  void WndProc(TMessage& m) {
    ++Calls;
    if (m.Msg == kProbe && Throw) {
      m.Result = 42;
      throw Exception("The handler failed");
    }
    m.Result = CallWindowProcA(Old, Wnd, m.Msg, m.WParam, m.LParam);
    if (m.Msg == kProbe) m.Result += Tag;
  }
  int Tag;
  TObjectInstance Stub = nullptr;
  HWND Wnd = nullptr;
  WNDPROC Old = nullptr;
  int Calls = 0;
  bool Throw = false;
};

// A subclasser the framework knows nothing of: a plain procedure keeping the one it replaced.
WNDPROC g_foreignOld = nullptr;
LRESULT CALLBACK ForeignProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  LRESULT r = CallWindowProcA(g_foreignOld, h, msg, w, l);
  return msg == kProbe ? r + 1000 : r;
}

class ObjectInstances : public UiTest {
protected:
  void SetUp() override {
    UiTest::SetUp();
    g_baseCalls = 0;
    stubs = ObjectInstanceCount();
    pages = ObjectInstancePageCount();
  }
  void ExpectNothingHeld() {
    EXPECT_EQ(ObjectInstanceCount(), stubs);
    EXPECT_EQ(ObjectInstancePageCount(), pages);
    EXPECT_EQ(ObjectInstanceForwarderCount(), 0);
  }
  int stubs = 0, pages = 0;
};

// More stubs than two pages hold (256 each): pages are added while earlier ones are full, and all are given back.
TEST_F(ObjectInstances, SixHundredSubclassedWindowsGiveBackEveryPage) {
  std::vector<std::pair<HWND, std::unique_ptr<Subclasser>>> windows;
  for (int i = 0; i < 600; ++i) {
    HWND w = NewPlainWindow();
    ASSERT_NE(w, nullptr);
    auto s = std::make_unique<Subclasser>(i);
    s->Attach(w);
    windows.emplace_back(w, std::move(s));
  }
  EXPECT_GT(ObjectInstancePageCount(), pages);
  // Stub code is never left writable.
  MEMORY_BASIC_INFORMATION info{};
  ASSERT_NE(VirtualQuery(reinterpret_cast<void*>(windows.back().second->Stub), &info, sizeof info), 0u);
  EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_EXECUTE_READ));
  for (auto& [w, s] : windows) ASSERT_EQ(SendMessageA(w, kProbe, 0, 0), 100 + s->Tag);
  for (auto& [w, s] : windows) {
    FreeObjectInstance(s->Stub);
    // Still on top when freed: the window gets its own procedure back.
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongA(w, GWL_WNDPROC)), &BaseProc);
    DestroyWindow(w);
  }
  ExpectNothingHeld();
}

TEST_F(ObjectInstances, AStubFreedUnderALaterSubclasserKeepsForwardingUntilItsWindowGoes) {
  HWND w = NewPlainWindow();
  auto s = std::make_unique<Subclasser>(10);
  s->Attach(w);
  g_foreignOld = reinterpret_cast<WNDPROC>(SetWindowLongA(w, GWL_WNDPROC, reinterpret_cast<LONG>(&ForeignProc)));
  ASSERT_EQ(g_foreignOld, s->Stub);

  FreeObjectInstance(s->Stub);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongA(w, GWL_WNDPROC)), &ForeignProc);
  EXPECT_EQ(ObjectInstanceForwarderCount(), 1);
  s.reset();  // the object is gone: only the procedure it replaced may be reached now
  EXPECT_EQ(SendMessageA(w, kProbe, 0, 0), 1100);
  EXPECT_EQ(g_baseCalls, 1);
  EXPECT_THROW(FreeObjectInstance(g_foreignOld), EInvalidPointer);

  DestroyWindow(w);  // WM_NCDESTROY passes the forwarder, which is then reclaimed
  ExpectNothingHeld();
}

TEST_F(ObjectInstances, AnExceptionInTheMethodStopsAtTheStub) {
  RecordBoxes();
  Platform().ExceptionSink = nullptr;  // the failure is shown in the box
  HWND w = NewPlainWindow();
  Subclasser s(1);
  s.Attach(w);
  s.Throw = true;
  EXPECT_EQ(SendMessageA(w, kProbe, 0, 0), 42);  // the Result as the method left it
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"The handler failed."});
  s.Throw = false;
  EXPECT_EQ(SendMessageA(w, kProbe, 0, 0), 101);
  FreeObjectInstance(s.Stub);
  DestroyWindow(w);
  ExpectNothingHeld();
}

TEST_F(ObjectInstances, TwoStubsOnOneWindowRestoreInEitherOrder) {
  for (bool innerFirst : {false, true}) {
    SCOPED_TRACE(innerFirst ? "inner freed first" : "outer freed first");
    HWND w = NewPlainWindow();
    auto inner = std::make_unique<Subclasser>(1);
    auto outer = std::make_unique<Subclasser>(20);
    inner->Attach(w);
    outer->Attach(w);
    EXPECT_EQ(SendMessageA(w, kProbe, 0, 0), 121);
    if (innerFirst) {
      FreeObjectInstance(inner->Stub);
      inner.reset();
      EXPECT_EQ(SendMessageA(w, kProbe, 0, 0), 120);
      FreeObjectInstance(outer->Stub);
    } else {
      FreeObjectInstance(outer->Stub);
      FreeObjectInstance(inner->Stub);
      EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongA(w, GWL_WNDPROC)), &BaseProc);
    }
    outer.reset();
    inner.reset();
    EXPECT_EQ(SendMessageA(w, kProbe, 0, 0), 100);
    DestroyWindow(w);
    ExpectNothingHeld();
  }
}

TEST_F(ObjectInstances, OnlyLiveStubsAreAccepted) {
  FreeObjectInstance(nullptr);
  EXPECT_THROW(MakeObjectInstance(TWndMethod()), EInvalidOperation);
  Subclasser s(0);
  TObjectInstance stub = s.Stub;
  EXPECT_THROW(FreeObjectInstance(reinterpret_cast<TObjectInstance>(reinterpret_cast<BYTE*>(stub) + 1)), EInvalidPointer);
  EXPECT_THROW(FreeObjectInstance(&BaseProc), EInvalidPointer);
  FreeObjectInstance(stub);
  EXPECT_THROW(FreeObjectInstance(stub), EInvalidPointer);
  ExpectNothingHeld();
}

}  // namespace
