#include "tests/support/RealPointer.h"

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/HostProgram.h"
#include "tests/support/MessagePump.h"

namespace testing_support {

namespace {

// The pointer helper of this test process, started at the first use, ended with the process.
HostProgram& Helper() {
  static HostProgram Program("real pointer", KRL_POINTER_PYTHON, KRL_POINTER_SCRIPT, "");
  return Program;
}

void Command(const std::string& Line) {
  Helper().Send(Line);
  const std::string Answer = Helper().ReadLine(5000);
  if (Answer != "OK") Helper().Fail("\"" + Line + "\": " + Answer);
}

// A window as a failure message names it: handle, class, title, and its process when not this one.
std::string Described(HWND W) {
  if (W == nullptr) return "none";
  char Class[64] = "", Title[64] = "", Text[64];
  GetClassNameA(W, Class, sizeof Class);
  GetWindowTextA(W, Title, sizeof Title);
  DWORD Process = 0;
  GetWindowThreadProcessId(W, &Process);
  std::snprintf(Text, sizeof Text, "%p ", static_cast<void*>(W));
  std::string D = Text + std::string(Class) + " \"" + Title + "\"";
  if (Process != GetCurrentProcessId()) D += " of process " + std::to_string(Process);
  if (GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_TOPMOST) D += ", topmost";
  if (!IsWindowVisible(W)) D += ", hidden";
  return D;
}

// How long a person's click holds the button down.
constexpr unsigned kClickHoldMs = 80;

POINT Cursor() {
  POINT P{};
  GetCursorPos(&P);
  return P;
}

// The system's window that an X window shows (Wine keeps the X window's id as a property of the window), or none.
struct XWindowSearch {
  HANDLE Id;
  HWND Found;
};
BOOL CALLBACK MatchXWindow(HWND W, LPARAM L) {
  auto* S = reinterpret_cast<XWindowSearch*>(L);
  if (GetPropA(W, "__wine_x11_whole_window") != S->Id) return TRUE;
  S->Found = W;
  return FALSE;
}
HWND WindowOfX(unsigned long Id) {
  XWindowSearch S{reinterpret_cast<HANDLE>(static_cast<uintptr_t>(Id)), nullptr};
  EnumWindows(MatchXWindow, reinterpret_cast<LPARAM>(&S));
  return S.Found;
}

}  // namespace

bool MovePointer(POINT Screen) {
  Command("move " + std::to_string(Screen.x) + " " + std::to_string(Screen.y));
  return PumpUntil([&] { return Cursor().x == Screen.x && Cursor().y == Screen.y; }, 1000);
}

void PressPointer(bool Down) {
  Command(Down ? "press" : "release");
  if (!PumpUntil([&] { return (GetAsyncKeyState(VK_LBUTTON) < 0) == Down; }, 1000))
    Helper().Fail(std::string("the system did not see the button ") + (Down ? "pressed" : "released") + "; " +
                  PointerScene(Cursor()));
}

void QueuePointerMove(POINT Screen) { Command("move " + std::to_string(Screen.x) + " " + std::to_string(Screen.y)); }

void QueuePointerButton(bool Down) { Command(Down ? "press" : "release"); }

void ClickPointer() {
  PressPointer(true);
  RestPointer(kClickHoldMs);
  PressPointer(false);
}

void PressKeys(std::initializer_list<WORD> Keys) {
  std::vector<INPUT> In;
  auto Key = [&](WORD K, bool Up) {
    INPUT I{};
    I.type = INPUT_KEYBOARD;
    I.ki.wVk = K;
    I.ki.wScan = static_cast<WORD>(MapVirtualKeyA(K, MAPVK_VK_TO_VSC));
    I.ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
    In.push_back(I);
  };
  for (WORD K : Keys) Key(K, false);
  for (auto K = std::rbegin(Keys); K != std::rend(Keys); ++K) Key(*K, true);
  SendInput(static_cast<UINT>(In.size()), In.data(), sizeof(INPUT));
}

unsigned HoverTime() {
  UINT Ms = 0;
  SystemParametersInfoA(SPI_GETMOUSEHOVERTIME, 0, &Ms, 0);
  return Ms;
}

void RestPointer(unsigned Ms) {
  PumpUntil([] { return false; }, Ms);
}

uint32_t ScreenPixel(POINT Screen) {
  HDC DC = GetDC(nullptr);
  const COLORREF C = GetPixel(DC, Screen.x, Screen.y);
  ReleaseDC(nullptr, DC);
  return (GetRValue(C) << 16) | (GetGValue(C) << 8) | GetBValue(C);
}

std::string PointerScene(POINT Screen) {
  std::string S = "under " + std::to_string(Screen.x) + "," + std::to_string(Screen.y) + " the system has " +
                  Described(WindowFromPoint(Screen));
  const HWND Foreground = GetForegroundWindow();
  S += "; foreground " + Described(Foreground);
  GUITHREADINFO Info{};
  Info.cbSize = sizeof Info;
  if (Foreground != nullptr && GetGUIThreadInfo(GetWindowThreadProcessId(Foreground, nullptr), &Info)) {
    if (Info.hwndCapture != nullptr) S += ", its thread captures the mouse for " + Described(Info.hwndCapture);
    if (Info.flags & GUI_INMENUMODE) S += ", in a menu";
    if (Info.flags & GUI_INMOVESIZE) S += ", moving or sizing";
  }
  const POINT At = Cursor();
  S += "; cursor at " + std::to_string(At.x) + "," + std::to_string(At.y) +
       (GetAsyncKeyState(VK_LBUTTON) < 0 ? ", button down" : ", button up");
  Helper().Send("where");
  const std::string X = Helper().ReadLine(5000);
  S += "; X server: " + (X.rfind("OK ", 0) == 0 ? X.substr(3) : X);
  const size_t Id = X.find("X window 0x");
  if (Id != std::string::npos)
    S += " (the system's " + Described(WindowOfX(std::stoul(X.substr(Id + 9), nullptr, 16))) + ")";
  return S;
}

PointerParking::PointerParking() : FWas(Cursor()) {}

PointerParking::~PointerParking() {
  try {
    MovePointer(FWas);
  } catch (const std::exception& E) {
    std::fprintf(stderr, "the pointer was not put back: %s\n", E.what());
  }
}

}  // namespace testing_support
