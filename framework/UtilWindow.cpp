#include "framework/UtilWindow.h"

#include "framework/Forms.h"

void AdjustFrameworkWindowCount(int delta);

namespace {

LRESULT CALLBACK UtilWindowProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (FrameworkExiting()) return DefWindowProcA(h, msg, w, l);
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(h, GWLP_USERDATA));
  if (!method) return DefWindowProcA(h, msg, w, l);
  TMessage m{msg, w, l, 0};
  try {
    (*method)(m);
  } catch (...) {
    HandleCallbackException(nullptr);
  }
  return m.Result;
}

void RegisterUtilClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = UtilWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TPUtilWindow";
  if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) RaiseLastOSError();
  registered = true;
}

}  // namespace

HWND AllocateHWnd(const TWndMethod& method) {
  if (!method) throw EInvalidOperation("A utility window needs a method");
  RegisterUtilClass();
  HWND h = CreateWindowExA(WS_EX_TOOLWINDOW, "TPUtilWindow", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  if (!h) RaiseLastOSError();
  SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TWndMethod(method)));
  AdjustFrameworkWindowCount(+1);
  return h;
}

void DeallocateHWnd(HWND wnd) {
  if (!wnd) return;
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
  delete method;
  if (DestroyWindow(wnd)) AdjustFrameworkWindowCount(-1);
}
