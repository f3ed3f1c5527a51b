#include "tests/support/WindowProbe.h"
#include <algorithm>
#include <map>
#include <vector>

namespace testing_support {
namespace {

std::string WindowClass(HWND w) {
  char buf[256] = {};
  GetClassNameA(w, buf, sizeof buf);
  return buf;
}

std::string WindowTitle(HWND w) {
  const int len = GetWindowTextLengthA(w);
  std::string s(static_cast<size_t>(len) + 1, '\0');
  GetWindowTextA(w, s.data(), len + 1);
  s.resize(static_cast<size_t>(lstrlenA(s.c_str())));
  return s;
}

BOOL CALLBACK AddWindow(HWND w, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
  return TRUE;
}

// The calling thread's top-level windows from the topmost down. Only its own: asking which program owns another
// program's window is a call into the Wine server that every program of the desktop shares, and a test asking that
// of every window of the desktop at each tick of a timer kept the server busy for all the others; with enough test
// programs side by side each such scan outlasted the timer's period, and a loop pumping the pending messages never
// ran dry.
std::vector<HWND> ThreadTopLevelWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), AddWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

BOOL CALLBACK CollectChildText(HWND w, LPARAM p) {
  auto* out = reinterpret_cast<std::string*>(p);
  const std::string t = WindowTitle(w);
  if (!t.empty()) {
    if (!out->empty()) *out += '\n';
    *out += t;
  }
  return TRUE;
}

std::map<UINT_PTR, ModalCloser*>& Closers() {
  static std::map<UINT_PTR, ModalCloser*> m;
  return m;
}

} // namespace

std::vector<FoundWindow> FindThreadWindows(const std::string& className, const std::string& title) {
  std::vector<FoundWindow> found;
  for (HWND w : ThreadTopLevelWindows()) {
    FoundWindow f{w, WindowClass(w), WindowTitle(w), {}};
    if (!className.empty() && f.className != className) continue;
    if (!title.empty() && f.title != title) continue;
    f.text = ReadChildTexts(w);
    found.push_back(std::move(f));
  }
  return found;
}

std::string ReadChildTexts(HWND window) {
  std::string out;
  EnumChildWindows(window, CollectChildText, reinterpret_cast<LPARAM>(&out));
  return out;
}

static BOOL CALLBACK CollectWindow(HWND each, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(each);
  return TRUE;
}

// One reading of the whole order, top first: stepping window by window ends early when another program's window
// between goes away at that moment.
static std::vector<HWND> WindowOrder() {
  std::vector<HWND> order;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&order));
  return order;
}

bool LiesAbove(HWND upper, HWND lower) {
  const std::vector<HWND> order = WindowOrder();
  const auto u = std::find(order.begin(), order.end(), upper), l = std::find(order.begin(), order.end(), lower);
  return u != order.end() && l != order.end() && u < l;
}

HWND OwnWindowAbove(HWND w) {
  const std::vector<HWND> order = WindowOrder();
  HWND above = nullptr;
  for (HWND each : order) {
    if (each == w) return above;
    DWORD pid = 0;
    GetWindowThreadProcessId(each, &pid);
    if (pid == GetCurrentProcessId()) above = each;
  }
  return nullptr;
}

HWND OwnWindowFromPoint(POINT at) {
  // The first (topmost) shown window holding the point; see-through layered ones let the point through, as they do
  // for the system.
  HWND top = nullptr;
  const LONG seeThrough = WS_EX_LAYERED | WS_EX_TRANSPARENT;
  for (HWND w : ThreadTopLevelWindows()) {
    RECT r{};
    if (IsWindowVisible(w) && GetWindowRect(w, &r) && PtInRect(&r, at) &&
        (GetWindowLongA(w, GWL_EXSTYLE) & seeThrough) != seeThrough) {
      top = w;
      break;
    }
  }
  for (HWND w = top; w != nullptr;) {
    POINT client = at;
    ScreenToClient(w, &client);
    HWND child = ChildWindowFromPointEx(w, client, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED | CWP_SKIPTRANSPARENT);
    if (child == nullptr || child == w) return w;
    w = child;
  }
  return nullptr;
}

ModalCloser::ModalCloser(std::string className, int command, unsigned periodMs)
    : className_(std::move(className)), command_(command) {
  timer_ = SetTimer(nullptr, 0, periodMs, Tick);
  Closers()[timer_] = this;
}

ModalCloser::~ModalCloser() {
  KillTimer(nullptr, timer_);
  Closers().erase(timer_);
}

void CALLBACK ModalCloser::Tick(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = Closers().find(id);
  if (it != Closers().end()) it->second->Scan();
}

void ModalCloser::Scan() {
  // Only the boxes' texts are read: every other window's children at every tick could cost more than the tick.
  for (HWND w : ThreadTopLevelWindows()) {
    const std::string cls = WindowClass(w);
    const bool wanted = className_.empty() ? (cls == "#32770" || cls == "TMessageForm") : cls == className_;
    if (!wanted || !IsWindowVisible(w)) continue;
    bool seen = false;
    for (HWND h : pending_) seen = seen || h == w;
    if (seen) continue;  // already asked to close; wait for its loop to end
    pending_.push_back(w);
    const FoundWindow f{w, cls, WindowTitle(w), ReadChildTexts(w)};
    if (OnFound) OnFound(f);
    closed_.push_back(f);
    PostMessageA(f.handle, WM_COMMAND, MAKEWPARAM(command_, BN_CLICKED), 0);
  }
  // Forget windows that are gone so a later window reusing the handle is seen.
  std::vector<HWND> alive;
  for (HWND h : pending_)
    if (IsWindow(h)) alive.push_back(h);
  pending_.swap(alive);
}

} // namespace testing_support
