#include "tests/support/HeldWindow.h"
#include "tests/support/MessagePump.h"

namespace testing_support {

HeldWindow::HeldWindow(const RECT& bounds, const char* className)
    : bounds_(bounds), className_(className ? className : "STATIC") {
  made_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  go_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  WaitForSingleObject(made_, INFINITE);
}

HeldWindow::~HeldWindow() {
  SetEvent(go_);
  WaitForSingleObject(thread_, INFINITE);
  for (HANDLE h : {thread_, go_, made_}) CloseHandle(h);
}

int HeldWindow::MessagesDuring(const std::function<void()>& call) {
  InterlockedExchange(&watching_, 1);
  call();
  InterlockedExchange(&watching_, 0);
  SetEvent(go_);
  return during_;
}

DWORD WINAPI HeldWindow::Run(void* p) {
  auto* self = static_cast<HeldWindow*>(p);
  const RECT& r = self->bounds_;
  self->window_ = CreateWindowExA(WS_EX_TOOLWINDOW, self->className_, "", WS_POPUP | WS_CAPTION, r.left, r.top,
                                  r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
  SetWindowLongPtrA(self->window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  self->original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(self->window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Count)));
  ShowWindow(self->window_, SW_SHOWNOACTIVATE);
  ValidateRect(self->window_, nullptr);
  SetEvent(self->made_);
  WaitForSingleObject(self->go_, 10000);
  PumpPending();
  DestroyWindow(self->window_);
  return 0;
}

LRESULT CALLBACK HeldWindow::Count(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<HeldWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self->watching_) InterlockedIncrement(&self->during_);
  return CallWindowProcA(self->original_, window, message, wParam, lParam);
}

} // namespace testing_support
