// Adapters' costs with the SOLID test skin: one message through an adapter's procedure stub against the same
// message to a plain procedure, one repaint of a skinned push button, and one step of a thumb drag on a skinned
// list box (bar repainted, scroll message sent). Run by hand under Wine from the build folder:
//   wine tests/skin/adapters/bench/adapters_bench.exe
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "framework/SysUtils.h"
#include "framework/Units.h"
#include "skin/adapters/vkAdapterUnits.h"
#include "skin/adapters/vkButtonWnds.h"
#include "skin/adapters/vkDialogWnd.h"
#include "skin/adapters/vkDials.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkScrollWnd.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/graphics/ToolkitStartup.h"
#include "tools/bench/BenchSkin.h"
#include "tools/bench/BenchTiming.h"

namespace {

constexpr UINT kProbe = WM_APP + 3;
LRESULT CALLBACK PlainProc(HWND W, UINT Msg, WPARAM Wp, LPARAM Lp) {
  return Msg == kProbe ? 1 : DefWindowProcA(W, Msg, Wp, Lp);
}

HWND Window(const char* Class, DWORD Style, HWND Parent, int W, int H) {
  return CreateWindowExA(0, Class, "Write", Style | (Parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE, 0, 0, W, H, Parent,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND g_Box = nullptr;
double g_BoxUp = 0;
void CALLBACK FindBox(HWND, UINT, UINT_PTR, DWORD) {
  HWND W = FindWindowA("#32770", "Bench");
  if (W == nullptr || g_Box != nullptr || FindProviderByWnd(W) == nullptr) return;
  g_Box = W;
  g_BoxUp = BenchSeconds();
  PostMessageA(W, WM_COMMAND, IDOK, 0);
}

}  // namespace

int main() {
  InitializeForms();
  ToolkitStartup();
  VclUtilsInitialize();
  SBUtilsInitialize();
  RegisterSkinDialogUnits();
  InitializeUnits();
  TsSkinManager* M = CarriedSkinManager("SOLID");
  if (M == nullptr) return 1;
  WNDCLASSA C{};
  C.lpfnWndProc = PlainProc;
  C.hInstance = GetModuleHandleA(nullptr);
  C.lpszClassName = "KrlBenchPlain";
  RegisterClassA(&C);
  HWND Host = Window("KrlBenchPlain", 0, nullptr, 400, 300);

  // A message through the stub and the adapter to the window's own procedure, against the procedure alone.
  HWND Plain = Window("KrlBenchPlain", 0, Host, 50, 20);
  HWND Adapted = Window("KrlBenchPlain", 0, Host, 50, 20);
  TvkSkinParams P;
  P.SkinSection = "PANEL";
  TvkMainWnd* A = CreateAdapter<TvkMainWnd>(Adapted, nullptr, M, P, false);
  const double Direct = PerCall([&] { SendMessageA(Plain, kProbe, 0, 0); });
  const double Stubbed = PerCall([&] { SendMessageA(Adapted, kProbe, 0, 0); });
  std::printf("message, plain procedure   %8.3f us\n", Direct * 1e6);
  std::printf("message, through the stub  %8.3f us  (%.3f us extra)\n", Stubbed * 1e6, (Stubbed - Direct) * 1e6);
  A->Free();

  // One repaint of a skinned 100 x 30 push button, printed into a memory bitmap.
  HWND Btn = Window("BUTTON", BS_PUSHBUTTON, Host, 100, 30);
  P.SkinSection = "";
  TvkMainWnd* B = CreateAdapter<TvkBtnWnd>(Btn, nullptr, M, P, false);
  HDC Screen = GetDC(nullptr);
  HDC Mem = CreateCompatibleDC(Screen);
  HBITMAP Bmp = CreateCompatibleBitmap(Screen, 100, 30);
  HGDIOBJ Old = SelectObject(Mem, Bmp);
  const double Repaint = PerCall([&] { SendMessageA(Btn, WM_PRINT, reinterpret_cast<WPARAM>(Mem), PRF_CLIENT); });
  std::printf("button repaint             %8.3f ms\n", Repaint * 1e3);
  B->Free();

  // Thumb drag on a 200 x 300 list box of 1000 items: each step repaints the bar and sends SB_THUMBTRACK.
  HWND List = Window("LISTBOX", WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT, Host, 200, 280);
  for (int i = 0; i < 1000; ++i) SendMessageA(List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("item"));
  P.SkinSection = "EDIT";
  auto* S = CreateAdapter<TvkScrollWnd>(List, nullptr, M, P, true);
  TRect R;
  GetVertScrollBarRect(S, List, R);
  const int Arrow = ScrollBarDimension(S->VertBar, false);
  const TvkThumb T = ComputeThumb(S->VertBar->ScrollInfo, R.Top, R.Height(), Arrow, S->VertBar->MinThumb);
  POINT At{R.Left + R.Width() / 2, T.Start + 2};
  Platform().GetMessagePos = [&At] { return static_cast<DWORD>(MAKELONG(At.x, At.y)); };
  SendMessageA(List, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(At.x, At.y));
  int Step = 1;
  const double Drag = PerCall([&] {
    At.y += Step;
    if (At.y > R.Bottom - Arrow - 2 || At.y < R.Top + Arrow + 2) Step = -Step;
    SendMessageA(List, WM_MOUSEMOVE, 0, 0);
  });
  std::printf("thumb drag step            %8.3f ms\n", Drag * 1e3);
  SendMessageA(List, WM_LBUTTONUP, 0, 0);
  S->Free();

  // A parentless message box from the call until it is up with its skin (found by a 1 ms timer, so the figure
  // includes one timer period), and one rebuild of a dialog's frame image.
  double BoxStart = 0;
  for (int i = 0; i < 5; ++i) {
    g_Box = nullptr;
    const UINT_PTR Timer = SetTimer(nullptr, 0, 1, FindBox);
    BoxStart = BenchSeconds();
    MessageBoxA(nullptr, "Message", "Bench", MB_OK);
    KillTimer(nullptr, Timer);
  }
  std::printf("message box up and skinned %8.3f ms\n", (g_BoxUp - BoxStart) * 1e3);
  HWND Dlg = CreateWindowExA(0, "#32770", "Bench", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE, 0, 0,
                             320, 160, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (TvkProvider* DP = FindProviderByWnd(Dlg); DP != nullptr && DP->DialogWnd != nullptr) {
    TvkDialogWnd* D = DP->DialogWnd;
    const double Frame = PerCall([D] { D->PaintFrame(); });
    std::printf("dialog frame rebuild       %8.3f ms\n", Frame * 1e3);
  } else {
    std::printf("the dialog was not adopted\n");
  }
  DestroyWindow(Dlg);

  SelectObject(Mem, Old);
  DeleteObject(Bmp);
  DeleteDC(Mem);
  ReleaseDC(nullptr, Screen);
  DestroyWindow(Host);
  M->Free();
  FinalizeUnits();
  SBUtilsFinalize();
  return 0;
}
