#include "framework/Platform.h"

#include <shellapi.h>

#include <map>
#include <mutex>

namespace {
void SetDefaults(TPlatform& p) {
  p.GetTickCount = [] { return ::GetTickCount(); };
  p.Sleep = [](DWORD ms) { ::Sleep(ms); };
  p.GetCursorPos = [](POINT* pt) { return ::GetCursorPos(pt); };
  p.GetMessagePos = [] { return ::GetMessagePos(); };
  p.GetAsyncKeyState = [](int key) { return ::GetAsyncKeyState(key); };
  p.GetKeyState = [](int key) { return ::GetKeyState(key); };
  p.GetVersionExA = [](OSVERSIONINFOA* info) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return ::GetVersionExA(info);
#pragma GCC diagnostic pop
  };
  p.WindowFromPoint = [](POINT at) { return ::WindowFromPoint(at); };
  p.WindowAbove = [](HWND wnd) { return ::GetWindow(wnd, GW_HWNDPREV); };
  p.Beep = [](DWORD f, DWORD d) { return ::Beep(f, d); };
  p.MessageBeep = [](UINT t) { return ::MessageBeep(t); };
  p.ShellExecuteA = [](HWND w, const char* op, const char* file, const char* params, const char* dir, int show) {
    return ::ShellExecuteA(w, op, file, params, dir, show);
  };
  p.MessageBoxSink = nullptr;
  p.ExceptionSink = nullptr;
  p.GetOpenFileNameA = [](OPENFILENAMEA* ofn) { return ::GetOpenFileNameA(ofn); };
  p.GetCommandLineA = [] { return static_cast<const char*>(::GetCommandLineA()); };
  p.SystemParametersInfoA = [](UINT action, UINT param, void* data, UINT winIni) {
    return ::SystemParametersInfoA(action, param, data, winIni);
  };
  p.LoadStringA = [](HINSTANCE module, UINT id, char* buffer, int size) {
    return ::LoadStringA(module, id, buffer, size);
  };
  p.SetLayeredWindowAttributes = [](HWND wnd, COLORREF key, BYTE alpha, DWORD flags) {
    return ::SetLayeredWindowAttributes(wnd, key, alpha, flags);
  };
  p.UpdateLayeredWindow = [](HWND wnd, HDC dst, POINT* dstPos, SIZE* size, HDC src, POINT* srcPos, COLORREF key,
                             BLENDFUNCTION* blend, DWORD flags) {
    return ::UpdateLayeredWindow(wnd, dst, dstPos, size, src, srcPos, key, blend, flags);
  };
  p.CopyFromScreen = [](HDC dst, int x, int y, int w, int h, int srcX, int srcY) {
    HDC screen = ::GetDC(nullptr);
    BOOL done = ::BitBlt(dst, x, y, w, h, screen, srcX, srcY, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    return done;
  };
}

struct Hooks {
  std::mutex lock;
  std::map<int, std::function<void()>> hooks;
  int next = 1;
};
// Never destroyed: code running during process exit may still call through the table.
Hooks& ResetHooks() {
  static Hooks* h = new Hooks;
  return *h;
}
}  // namespace

TPlatform& Platform() {
  static TPlatform* table = [] {
    auto* p = new TPlatform;
    SetDefaults(*p);
    return p;
  }();
  return *table;
}

void ResetPlatform() {
  SetDefaults(Platform());
  std::map<int, std::function<void()>> hooks;
  {
    std::lock_guard<std::mutex> g(ResetHooks().lock);
    hooks = ResetHooks().hooks;
  }
  for (auto& h : hooks) h.second();
}

int AddResetHook(std::function<void()> hook) {
  Hooks& h = ResetHooks();
  std::lock_guard<std::mutex> g(h.lock);
  int id = h.next++;
  h.hooks[id] = std::move(hook);
  return id;
}

void RemoveResetHook(int id) {
  Hooks& h = ResetHooks();
  std::lock_guard<std::mutex> g(h.lock);
  h.hooks.erase(id);
}

bool HasMessageBoxSink() { return static_cast<bool>(Platform().MessageBoxSink); }

int PlatformMessageBox(const TMessageBoxRequest& request) {
  if (Platform().MessageBoxSink) return Platform().MessageBoxSink(request);
  if (request.source == TMessageBoxRequest::MessageBoxIndirectA) {
    MSGBOXPARAMSA params = request.params;
    return ::MessageBoxIndirectA(&params);
  }
  if (request.source == TMessageBoxRequest::ShowMessage || request.source == TMessageBoxRequest::MessageDlg)
    throw EInvalidOperation("The framework's message form shows this box itself");
  return ::MessageBoxA(request.owner, request.text.c_str(), request.caption.c_str(), request.flags);
}
