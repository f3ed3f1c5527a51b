#pragma once
#include <windows.h>
#include <functional>

namespace testing_support {

// A top-level window of another thread that dispatches nothing until a call under watch has returned (or, were
// the call waiting for it, 10 s later): how a window of a busy or hung program looks to the code under test.
class HeldWindow {
public:
  // className: a plain class of its own when null, else a system class such as "#32770".
  explicit HeldWindow(const RECT& bounds, const char* className = nullptr);
  ~HeldWindow();
  HeldWindow(const HeldWindow&) = delete;
  HeldWindow& operator=(const HeldWindow&) = delete;

  HWND Handle() const { return window_; }
  // Runs call, then lets the thread dispatch; answers how many messages reached the window while call ran.
  int MessagesDuring(const std::function<void()>& call);

private:
  static DWORD WINAPI Run(void* self);
  static LRESULT CALLBACK Count(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  RECT bounds_;
  const char* className_;
  HWND window_ = nullptr;
  WNDPROC original_ = nullptr;
  HANDLE made_, go_, thread_;
  volatile LONG watching_ = 0, during_ = 0;
};

} // namespace testing_support
