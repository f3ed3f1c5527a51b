#include "tests/app/bench/BenchProbe.h"

#include "framework/Platform.h"
#include "skin/core/vkSkinCommands.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

TProbeCounts g_counts;
std::vector<double> g_layeredTimes;
std::map<HWND, double> g_activated;
std::vector<std::pair<HWND, double>> g_created;
HHOOK g_cbt = nullptr, g_sent = nullptr, g_taken = nullptr;

bool TopLevel(HWND Wnd) { return (GetWindowLongA(Wnd, GWL_STYLE) & WS_CHILD) == 0; }

void CountPaint(HWND Wnd, UINT Msg) {
  if (Msg == WM_NCPAINT && TopLevel(Wnd)) ++g_counts.topFrames;
  if (Msg == WM_PAINT) ++(TopLevel(Wnd) ? g_counts.topClients : g_counts.childPaints);
}

LRESULT CALLBACK CbtProc(int Code, WPARAM WParam, LPARAM LParam) {
  const HWND Wnd = reinterpret_cast<HWND>(WParam);
  if (Code == HCBT_CREATEWND) {
    ++g_counts.windows;
    char Name[64] = {};
    GetClassNameA(Wnd, Name, sizeof(Name));
    g_created.emplace_back(Wnd, MsSinceProcessStart());
    if (std::string(Name) == "TvkCaptForm") ++g_counts.covers;
  }
  if (Code == HCBT_ACTIVATE) g_activated.emplace(Wnd, MsSinceProcessStart());
  return CallNextHookEx(nullptr, Code, WParam, LParam);
}

LRESULT CALLBACK SentProc(int Code, WPARAM WParam, LPARAM LParam) {
  if (Code == HC_ACTION) {
    const auto* M = reinterpret_cast<const CWPSTRUCT*>(LParam);
    CountPaint(M->hwnd, M->message);
    if (M->message == SM_VKCMD) ++g_counts.skinCommands;
  }
  return CallNextHookEx(nullptr, Code, WParam, LParam);
}

LRESULT CALLBACK TakenProc(int Code, WPARAM WParam, LPARAM LParam) {
  // a message only peeked at is counted when it is taken
  if (Code == HC_ACTION && WParam == PM_REMOVE) {
    const auto* M = reinterpret_cast<const MSG*>(LParam);
    CountPaint(M->hwnd, M->message);
  }
  return CallNextHookEx(nullptr, Code, WParam, LParam);
}

}  // namespace

TProbeCounts operator-(const TProbeCounts& A, const TProbeCounts& B) {
  return TProbeCounts{A.windows - B.windows,         A.covers - B.covers,         A.topFrames - B.topFrames,
                      A.topClients - B.topClients,   A.childPaints - B.childPaints, A.skinCommands - B.skinCommands,
                      A.sleeps - B.sleeps,           A.sleptMs - B.sleptMs,       A.layered - B.layered};
}

double MsSinceProcessStart() {
  const auto Ticks = [](const FILETIME& F) { return (static_cast<uint64_t>(F.dwHighDateTime) << 32) | F.dwLowDateTime; };
  // read once: each reading is a trip to the system, which the timed run would count as the program's own
  static const uint64_t Created = [&] {
    FILETIME C, Exited, Kernel, User;
    GetProcessTimes(GetCurrentProcess(), &C, &Exited, &Kernel, &User);
    return Ticks(C);
  }();
  FILETIME Now;
  GetSystemTimeAsFileTime(&Now);
  return static_cast<double>(Ticks(Now) - Created) / 10000.0;
}

namespace bench_probe {

void Start(bool CountMessages) {
  const DWORD Thread = GetCurrentThreadId();
  g_cbt = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, Thread);
  if (CountMessages) {
    g_sent = SetWindowsHookExA(WH_CALLWNDPROC, SentProc, nullptr, Thread);
    g_taken = SetWindowsHookExA(WH_GETMESSAGE, TakenProc, nullptr, Thread);
  }
  if (g_cbt == nullptr || (CountMessages && (g_sent == nullptr || g_taken == nullptr))) {
    std::fprintf(stderr, "bench probe: the thread hooks could not be set (%lu)\n", GetLastError());
    std::exit(3);
  }
  Platform().Sleep = [](DWORD Ms) {
    ++g_counts.sleeps;
    g_counts.sleptMs += Ms;
    ::Sleep(Ms);
  };
  Platform().UpdateLayeredWindow = [](HWND Wnd, HDC Dst, POINT* DstPos, SIZE* Size, HDC Src, POINT* SrcPos,
                                      COLORREF Key, BLENDFUNCTION* Blend, DWORD Flags) {
    ++g_counts.layered;
    g_layeredTimes.push_back(MsSinceProcessStart());
    return ::UpdateLayeredWindow(Wnd, Dst, DstPos, Size, Src, SrcPos, Key, Blend, Flags);
  };
}

void Stop() {
  for (HHOOK* Hook : {&g_cbt, &g_sent, &g_taken}) {
    if (*Hook != nullptr) UnhookWindowsHookEx(*Hook);
    *Hook = nullptr;
  }
  ResetPlatform();
}

const TProbeCounts& Counts() { return g_counts; }
const std::vector<double>& LayeredTimes() { return g_layeredTimes; }

double Created(HWND Wnd) {
  for (const auto& [W, At] : g_created)
    if (W == Wnd) return At;
  return -1;
}

double NextCreatedOrActivated(double After) {
  double Next = -1;
  auto Take = [&](double At) {
    if (At > After && (Next < 0 || At < Next)) Next = At;
  };
  for (const auto& Created : g_created) Take(Created.second);
  for (const auto& Activated : g_activated) Take(Activated.second);
  return Next;
}

double FirstActivation(HWND Wnd) {
  auto It = g_activated.find(Wnd);
  return It == g_activated.end() ? -1 : It->second;
}

std::string Describe(const TProbeCounts& C) {
  char Text[256];
  std::snprintf(Text, sizeof(Text),
                "%d windows (%d caption covers); paints: %d frames, %d clients, %d child windows; %d skin commands; "
                "%d sleeps (%.0f ms); %d layered pictures",
                C.windows, C.covers, C.topFrames, C.topClients, C.childPaints, C.skinCommands, C.sleeps, C.sleptMs,
                C.layered);
  return Text;
}

double RoundTripUs() {
  LARGE_INTEGER Frequency, A, B;
  QueryPerformanceFrequency(&Frequency);
  std::vector<double> Trips;
  for (int i = 0; i < 301; ++i) {
    QueryPerformanceCounter(&A);
    GetFocus();
    QueryPerformanceCounter(&B);
    Trips.push_back(static_cast<double>(B.QuadPart - A.QuadPart) * 1e6 / static_cast<double>(Frequency.QuadPart));
  }
  std::nth_element(Trips.begin(), Trips.begin() + Trips.size() / 2, Trips.end());
  return Trips[Trips.size() / 2];
}

}  // namespace bench_probe
