#pragma once
// The one table of replaceable platform functions. Defaults are the real calls; tests swap entries
// (to step the clock, record beeps and launches, script message boxes and dialogs, inject the command
// line) and call ResetPlatform() afterwards.
//
//   Platform().GetTickCount = [&] { return fakeNow; };
//   Platform().Beep = [&](DWORD f, DWORD d) { beeps.push_back(f); return TRUE; };
//   ...
//   ResetPlatform();
//
// Code that the seams cover calls Platform().X(...) instead of X(...).

#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>

#include "framework/System.h"

// One message box as any of the framework's or the library's box paths asks for it.
struct TMessageBoxRequest {
  enum Source { ShowMessage, MessageDlg, ApplicationMessageBox, ExceptionBox, MessageBoxA, MessageBoxIndirectA };
  Source source = MessageBoxA;
  HWND owner = nullptr;
  std::string text;
  std::string caption;
  UINT flags = 0;      // MB_* (MessageBoxA, MessageBoxIndirectA, Application->MessageBox, exception box)
  int dialogType = 0;  // MessageDlg: the TMsgDlgType value
  unsigned buttons = 0;  // MessageDlg: the TMsgDlgButtons raw bits
  MSGBOXPARAMSA params{};  // MessageBoxIndirectA: the caller's record (strings copied into text/caption)
};

struct TPlatform {
  std::function<DWORD()> GetTickCount;
  std::function<void(DWORD ms)> Sleep;
  std::function<BOOL(POINT* p)> GetCursorPos;
  std::function<HWND(POINT p)> WindowFromPoint;  // the window under a screen point (the cursor's, say)
  std::function<HWND(HWND wnd)> WindowAbove;      // the next window up the z-order
  std::function<DWORD()> GetMessagePos;
  std::function<SHORT(int key)> GetAsyncKeyState;
  std::function<SHORT(int key)> GetKeyState;
  std::function<BOOL(OSVERSIONINFOA* info)> GetVersionExA;
  std::function<BOOL(DWORD frequency, DWORD duration)> Beep;
  std::function<BOOL(UINT type)> MessageBeep;
  std::function<HINSTANCE(HWND wnd, const char* op, const char* file, const char* params, const char* dir, int show)>
      ShellExecuteA;
  // Empty: every path shows its real box. Set: every box of every path goes here instead and the
  // returned value is the answer (IDOK, mrOk, ...).
  std::function<int(const TMessageBoxRequest& request)> MessageBoxSink;
  // Empty: Application->ShowException shows the exception box. Set: the exception goes here instead
  // (test programs fail the running test with it rather than block on a box nobody closes).
  std::function<void(const std::exception& e)> ExceptionSink;
  // The open-file dialog (TOpenDialog::Execute): tests fill lpstrFile and answer TRUE or FALSE.
  std::function<BOOL(OPENFILENAMEA* ofn)> GetOpenFileNameA;
  // The command line ParamStr/ParamCount read (the program's file first).
  std::function<const char*()> GetCommandLineA;
  // System parameters (animation, drag full windows, work area): tests keep global settings untouched.
  std::function<BOOL(UINT action, UINT param, void* data, UINT winIni)> SystemParametersInfoA;
  // Strings of system DLLs' string tables (Wine's differ or are missing).
  std::function<int(HINSTANCE module, UINT id, char* buffer, int size)> LoadStringA;
  // Layered-window output (Xvfb has no compositor and Wine reads attributes back as 0): tests record it.
  std::function<BOOL(HWND wnd, COLORREF key, BYTE alpha, DWORD flags)> SetLayeredWindowAttributes;
  std::function<BOOL(HWND wnd, HDC dst, POINT* dstPos, SIZE* size, HDC src, POINT* srcPos, COLORREF key,
                     BLENDFUNCTION* blend, DWORD flags)>
      UpdateLayeredWindow;
  // What the screen shows in (SrcX, SrcY, W, H), copied into Dst at (X, Y) (pictures taken before a change).
  std::function<BOOL(HDC Dst, int X, int Y, int W, int H, int SrcX, int SrcY)> CopyFromScreen;
};
// Entries the library binds late itself (LateBinding.h: composition, GDI+, themes) are replaced through their
// TLateBound objects; ResetPlatform() restores them too.

TPlatform& Platform();
// Restores every default and runs the registered reset hooks (late-bound entries, per-process caches).
void ResetPlatform();
// Registers a hook ResetPlatform() runs; returns an id for RemoveResetHook.
int AddResetHook(std::function<void()> hook);
void RemoveResetHook(int id);

// Shows a box through the sink when one is set, else with the real MessageBoxA/MessageBoxIndirectA (the
// framework's own message form handles ShowMessage/MessageDlg itself and only asks HasMessageBoxSink()).
int PlatformMessageBox(const TMessageBoxRequest& request);
bool HasMessageBoxSink();
