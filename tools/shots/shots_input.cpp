#include "tools/shots/shots_input.h"

namespace shots {
namespace {

// Joins this thread's input state to the program's thread for its lifetime: foreground, focus and key state are
// then shared, so setting them here is setting them for the program.
class TSharedInput {
public:
  explicit TSharedInput(HWND Target)
      : FOwn(GetCurrentThreadId()), FOther(GetWindowThreadProcessId(Target, nullptr)),
        FJoined(FOther != 0 && FOther != FOwn && AttachThreadInput(FOwn, FOther, TRUE)) {}
  ~TSharedInput() {
    if (FJoined) AttachThreadInput(FOwn, FOther, FALSE);
  }
  TSharedInput(const TSharedInput&) = delete;
  TSharedInput& operator=(const TSharedInput&) = delete;
  bool Joined() const { return FJoined; }

private:
  DWORD FOwn, FOther;
  bool FJoined;
};

INPUT KeyInput(WORD Key, bool Up) {
  INPUT I{};
  I.type = INPUT_KEYBOARD;
  I.ki.wVk = Key;
  I.ki.wScan = static_cast<WORD>(MapVirtualKeyA(Key, MAPVK_VK_TO_VSC));
  I.ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
  return I;
}

// The key message's lParam as the system builds it: repeat count 1, scan code, Alt as context, the up bits.
LPARAM KeyData(WORD Key, bool AltDown, bool Up) {
  LPARAM L = 1 | (static_cast<LPARAM>(MapVirtualKeyA(Key, MAPVK_VK_TO_VSC)) << 16);
  if (AltDown) L |= LPARAM{1} << 29;
  if (Up) L |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
  return L;
}

void SetHeld(const std::vector<WORD>& Keys, bool Down) {
  BYTE State[256] = {};
  GetKeyboardState(State);
  for (WORD K : Keys) State[K] = Down ? 0x80 : 0;
  SetKeyboardState(State);
}

}  // namespace

bool WaitFor(const std::function<bool()>& Done, int Ms) {
  for (int Waited = 0; Waited <= Ms; Waited += 50) {
    if (Done()) return true;
    Sleep(50);
  }
  return false;
}

void SendKeys(HWND Target, const std::vector<WORD>& Keys) {
  TSharedInput Shared(Target);
  if (GetForegroundWindow() != Target && (GetWindowLongA(Target, GWL_STYLE) & WS_DISABLED) == 0) {
    SetForegroundWindow(Target);
    BringWindowToTop(Target);
  }
  std::vector<INPUT> In;
  for (WORD K : Keys) In.push_back(KeyInput(K, false));
  for (auto K = Keys.rbegin(); K != Keys.rend(); ++K) In.push_back(KeyInput(*K, true));
  SendInput(static_cast<UINT>(In.size()), In.data(), sizeof(INPUT));
}

bool PostKeys(HWND Target, const std::vector<WORD>& Keys, const std::function<bool()>& Arrived, int Ms) {
  TSharedInput Shared(Target);
  if (Keys.empty() || !Shared.Joined()) return false;
  const std::vector<WORD> Held(Keys.begin(), Keys.end() - 1);
  const WORD Key = Keys.back();
  bool Alt = false;
  for (WORD K : Held) Alt = Alt || K == VK_MENU;
  HWND To = GetFocus();
  if (To == nullptr) To = Target;
  // the program reads the modifiers from its key state when it handles the key
  SetHeld(Held, true);
  PostMessageA(To, Alt ? WM_SYSKEYDOWN : WM_KEYDOWN, Key, KeyData(Key, Alt, false));
  PostMessageA(To, Alt ? WM_SYSKEYUP : WM_KEYUP, Key, KeyData(Key, Alt, true));
  const bool Done = WaitFor(Arrived, Ms);
  SetHeld(Held, false);
  return Done;
}

void MovePointerTo(POINT Screen) {
  // absolute coordinates run from 0 to 65535 across the primary screen
  const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
  INPUT In{};
  In.type = INPUT_MOUSE;
  In.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  In.mi.dx = static_cast<LONG>((Screen.x * 65535LL + W / 2) / (W - 1));
  In.mi.dy = static_cast<LONG>((Screen.y * 65535LL + H / 2) / (H - 1));
  SendInput(1, &In, sizeof In);
}

void RightClickAt(POINT Screen) {
  SetCursorPos(Screen.x, Screen.y);
  INPUT In[2]{};
  In[0].type = In[1].type = INPUT_MOUSE;
  In[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
  In[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
  SendInput(2, In, sizeof(INPUT));
}

}  // namespace shots
