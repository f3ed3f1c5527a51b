// What the loader's benchmarks count beside their times, gathered by thread hooks and the platform's seams once
// the probe is started: windows made, paints by kind, skin commands, sleeps and pictures put on layered windows
// (an animation's frames). Times are milliseconds since the process was created.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TProbeCounts {
  int windows = 0;       // windows made
  int covers = 0;        // of them caption covers
  int topFrames = 0;     // WM_NCPAINT of top-level windows
  int topClients = 0;    // WM_PAINT of top-level windows
  int childPaints = 0;   // WM_PAINT of child windows
  int skinCommands = 0;  // skin commands sent to windows
  int sleeps = 0;        // Sleep calls through the platform
  double sleptMs = 0;    // and the time they asked for
  int layered = 0;       // pictures put on layered windows
};
TProbeCounts operator-(const TProbeCounts& After, const TProbeCounts& Before);

// Milliseconds since the creation of this process.
double MsSinceProcessStart();

namespace bench_probe {
// Installs the platform wrappers and the window-creation hook, with CountMessages also the message hooks
// (each hooked message costs Wine a server call: a timed run goes without them); counts from then on.
void Start(bool CountMessages);
// Takes them away again (before the units finalise).
void Stop();
const TProbeCounts& Counts();
// When each picture went to a layered window, in order.
const std::vector<double>& LayeredTimes();
// When the window was made (-1: not while the probe ran).
double Created(HWND Wnd);
// The first window made or activated after the given time (-1: none).
double NextCreatedOrActivated(double After);
// The time the window was first activated (-1: never).
double FirstActivation(HWND Wnd);
// "12 windows (1 caption cover); paints: 3 frames, 2 clients, 14 child windows; 40 skin commands; ..."
std::string Describe(const TProbeCounts& C);
// What one round trip to the system costs now, in microseconds (the median of a few hundred focus queries). Under
// Wine nearly every system call is one such trip to the Wine server, so this says how fast the machine serves
// the program at the moment of a run: a trip to a server woken on another CPU can cost several times more.
double RoundTripUs();
}  // namespace bench_probe
