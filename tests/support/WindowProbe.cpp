#include "tests/support/WindowProbe.h"
#include <map>

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

struct EnumState {
  std::string className, title;
  std::vector<FoundWindow> found;
};

BOOL CALLBACK CollectTopLevel(HWND w, LPARAM p) {
  auto* st = reinterpret_cast<EnumState*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != GetCurrentProcessId()) return TRUE;
  FoundWindow f{w, WindowClass(w), WindowTitle(w), {}};
  if (!st->className.empty() && f.className != st->className) return TRUE;
  if (!st->title.empty() && f.title != st->title) return TRUE;
  f.text = ReadChildTexts(w);
  st->found.push_back(std::move(f));
  return TRUE;
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

// The first (topmost) shown window of this process whose rectangle holds the point; see-through layered ones let
// the point through, as they do for the system.
BOOL CALLBACK TopLevelAt(HWND w, LPARAM p) {
  auto* at = reinterpret_cast<std::pair<POINT, HWND>*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  RECT r{};
  const LONG seeThrough = WS_EX_LAYERED | WS_EX_TRANSPARENT;
  if (pid != GetCurrentProcessId() || !IsWindowVisible(w) || !GetWindowRect(w, &r) || !PtInRect(&r, at->first) ||
      (GetWindowLongA(w, GWL_EXSTYLE) & seeThrough) == seeThrough)
    return TRUE;
  at->second = w;
  return FALSE;
}

std::map<UINT_PTR, ModalCloser*>& Closers() {
  static std::map<UINT_PTR, ModalCloser*> m;
  return m;
}

} // namespace

std::vector<FoundWindow> FindProcessWindows(const std::string& className, const std::string& title) {
  EnumState st{className, title, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&st));
  return st.found;
}

std::string ReadChildTexts(HWND window) {
  std::string out;
  EnumChildWindows(window, CollectChildText, reinterpret_cast<LPARAM>(&out));
  return out;
}

HWND OwnWindowFromPoint(POINT at) {
  std::pair<POINT, HWND> found{at, nullptr};
  EnumWindows(TopLevelAt, reinterpret_cast<LPARAM>(&found));
  for (HWND w = found.second; w != nullptr;) {
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
  for (const FoundWindow& f : FindProcessWindows()) {
    const bool wanted = className_.empty() ? (f.className == "#32770" || f.className == "TMessageForm")
                                           : f.className == className_;
    if (!wanted || !IsWindowVisible(f.handle)) continue;
    bool seen = false;
    for (HWND h : pending_) seen = seen || h == f.handle;
    if (seen) continue;  // already asked to close; wait for its loop to end
    pending_.push_back(f.handle);
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
