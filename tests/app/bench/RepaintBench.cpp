// A skin change of the main form with its repaint, in the normal and the service view. The change measured
// against the goal is the one this program's code makes: a skin chosen by name (the main form's skin-name box
// sets the name, as a skin list in a form's system menu would; the skin in use is loaded and applied again),
// after which the manager redraws every window and the form fades into its new look. The skin switched off and
// on again is measured beside it without a goal: every combo box then makes its window anew twice (owner-drawn
// only while skinned), which nothing in this program does. Each change is split into its animation's frames,
// whose 12 ms each are prescribed, and the work around them (the new skin applied, every control repainted); the
// whole window is then redrawn once more from the pictures just made. Medians of several rounds; a last round of
// each kind is counted (windows, paints, skin commands), its message hooks kept out of the timed rounds.
#include "app/LoaderUnits.h"
#include "app/Main.h"
#include "app/Unit1.h"

#include "framework/Forms.h"
#include "framework/Milestones.h"
#include "framework/Units.h"
#include "skin/core/sSkinManager.h"
#include "tests/app/bench/BenchProbe.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double kWorkGoalMs = 50;
constexpr double kFrameMs = 12;  // an animation frame's period
constexpr int kRounds = 15;

double Median(std::vector<double> V) {
  std::sort(V.begin(), V.end());
  return V[V.size() / 2];
}

enum class TChange { Chosen, OffAndOn };

struct TRound {
  double change = 0;    // the whole change
  double dropped = 0;   // the skin off (off and on only)
  double loaded = 0;    // from there until the skin is read again
  double toFrames = 0;  // from then to the first picture of the animation: applied, repainted, the picture taken
  double frames = 0;    // from the first picture to the end of the last one's frame
  double after = 0;     // from there to the end of the change: the form redrawn
  int pictures = 0;     // pictures put on layered windows during the change
  double slept = 0;     // sleeps during the change
  double repaint = 0;   // the whole window redrawn again afterwards
  double Work() const { return change - frames - slept; }
};

double g_loaded = 0;  // when the skin was read

TRound Round(TsSkinManager* Skin, TChange Kind) {
  TRound R;
  const TProbeCounts Before = bench_probe::Counts();
  const size_t FirstPicture = bench_probe::LayeredTimes().size();
  const double Start = MsSinceProcessStart();
  if (Kind == TChange::OffAndOn) Skin->SetActive(false);
  const double Dropped = MsSinceProcessStart();
  if (Kind == TChange::OffAndOn) {
    Skin->SetActive(true);
  } else {
    Skin->SetSkinName(Skin->SkinName());
  }
  const double End = MsSinceProcessStart();
  R.change = End - Start;
  R.dropped = Dropped - Start;
  R.loaded = g_loaded - Dropped;
  const std::vector<double>& Times = bench_probe::LayeredTimes();
  R.pictures = static_cast<int>(Times.size() - FirstPicture);
  const double FramesStart = R.pictures > 0 ? Times[FirstPicture] : End;
  const double FramesEnd = R.pictures > 0 ? std::min(End, Times.back() + kFrameMs) : End;
  R.frames = FramesEnd - FramesStart;
  R.toFrames = FramesStart - g_loaded;
  R.after = End - FramesEnd;
  R.slept = (bench_probe::Counts() - Before).sleptMs;
  const double T = MsSinceProcessStart();
  RedrawWindow(MainForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  R.repaint = MsSinceProcessStart() - T;
  return R;
}

template <class F> double MedianOf(const std::vector<TRound>& Rounds, F Field) {
  std::vector<double> V;
  for (const TRound& R : Rounds) V.push_back(Field(R));
  return Median(V);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  SetMilestoneListener([](const char* Step, const std::string&) {
    if (std::string(Step) == "skin loaded") g_loaded = MsSinceProcessStart();
  });
  bench_probe::Start(false);
  RegisterLoaderUnits();
  InitializeUnits();
  Application->Initialize();
  Application->CreateForm(MainForm);
  Application->CreateForm(FormHelp);
  MainForm->Show();
  Application->ProcessMessages();
  TsSkinManager* Skin = MainForm->sSkinManager1;
  const int NormalHeight = MainForm->Height();
  const bool Skinned = Skin != nullptr && Skin->SkinData().Active;
  const TvkAnimEffect* Change = Skinned ? Skin->AnimEffects()->SkinChanging() : nullptr;
  // the animation's frames: one each 12 ms, the first at once, the last after the change's time
  const int Frames = Change != nullptr && Change->Active() ? Change->Time() / 12 + 1 : 0;
  std::printf("a skin change of the main form with its repaint (ms, median of %d), skin %s\n"
              "  the animation %d ms: %d frames, each until the tick count is 12 ms on; the work: the skin read\n"
              "  again, applied and repainted up to the animation's first picture, and the form redrawn after its last\n",
              kRounds, Skinned ? Skin->SkinName().c_str() : "NOT APPLIED", Change != nullptr ? Change->Time() : 0, Frames);
  std::printf("  %-28s %7s %16s %8s %6s %8s %7s %7s %13s %8s\n", "", "change", "frames (pictures)", "dropped", "read",
              "to frame", "after", "work", "(goal)", "repaint");
  for (const TChange Kind : {TChange::Chosen, TChange::OffAndOn}) {
    const bool Chosen = Kind == TChange::Chosen;
    for (const bool Service : {false, true}) {
      MainForm->SetHeight(Service ? 340 : NormalHeight);
      Application->ProcessMessages();
      std::vector<TRound> Rounds;
      for (int i = 0; i < kRounds; ++i) Rounds.push_back(Round(Skin, Kind));
      auto M = [&](double TRound::*Field) { return MedianOf(Rounds, [&](const TRound& R) { return R.*Field; }); };
      const double Work = MedianOf(Rounds, [](const TRound& R) { return R.Work(); });
      const std::string Row = std::string(Chosen ? "skin chosen, " : "skin off and on, ") + (Service ? "service" : "normal");
      char Goal[32] = "(no goal)";
      if (Chosen) std::snprintf(Goal, sizeof Goal, "%4.0f %s", kWorkGoalMs, Work <= kWorkGoalMs ? "met" : "not met");
      std::printf("  %-28s %7.1f %9.1f (%4.0f) %8.1f %6.1f %8.1f %7.1f %7.1f %-13s %8.1f\n", Row.c_str(),
                  M(&TRound::change), M(&TRound::frames),
                  MedianOf(Rounds, [](const TRound& R) { return static_cast<double>(R.pictures); }), M(&TRound::dropped),
                  M(&TRound::loaded), M(&TRound::toFrames), M(&TRound::after), Work, Goal, M(&TRound::repaint));
      if (M(&TRound::slept) > 0) std::printf("  %-28s of the change slept %.1f\n", "", M(&TRound::slept));
    }
  }
  std::printf("  a round trip to the system now: %.1f us\n", bench_probe::RoundTripUs());
  bench_probe::Stop();
  bench_probe::Start(true);
  for (const TChange Kind : {TChange::Chosen, TChange::OffAndOn}) {
    const TProbeCounts Before = bench_probe::Counts();
    Round(Skin, Kind);
    std::printf("  counted (service view, %s, and the repaint again): %s\n",
                Kind == TChange::Chosen ? "skin chosen" : "skin off and on",
                bench_probe::Describe(bench_probe::Counts() - Before).c_str());
  }
  bench_probe::Stop();
  std::fflush(stdout);
  FinalizeUnits();
  return Skinned ? 0 : 1;
}
