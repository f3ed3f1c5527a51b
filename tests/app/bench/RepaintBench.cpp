// A skin change of the main form with its repaint, in the normal and the service view: the carried skin is
// switched off and on again (every control drops its pictures, the manager redraws every window and the form
// fades into its new look), then the whole window is redrawn once more from the pictures just made. The change
// is split into its animation's frames, whose 12 ms each are prescribed, and the work around them (the new skin
// applied, every control repainted), whose goal is 50 ms. Medians of several rounds; a last round is counted
// (windows, paints, skin commands), its message hooks kept out of the timed rounds.
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

struct TRound {
  double change = 0;    // the skin off and on again
  double dropped = 0;   // the skin off
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

TRound Round(TsSkinManager* Skin) {
  TRound R;
  const TProbeCounts Before = bench_probe::Counts();
  const size_t FirstPicture = bench_probe::LayeredTimes().size();
  const double Start = MsSinceProcessStart();
  Skin->SetActive(false);
  const double Dropped = MsSinceProcessStart();
  Skin->SetActive(true);
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
  const bool Skinned = Skin != nullptr && Skin->SkinData().Active;
  const TvkAnimEffect* Change = Skinned ? Skin->AnimEffects()->SkinChanging() : nullptr;
  // the animation's frames: one each 12 ms, the first at once, the last after the change's time
  const int Frames = Change != nullptr && Change->Active() ? Change->Time() / 12 + 1 : 0;
  std::printf("a skin change of the main form: its skin off and on again with the repaint (ms, median of %d), skin %s\n"
              "  the animation %d ms: %d frames, each until the tick count is 12 ms on; the work: the skin dropped,\n"
              "  read again, applied and repainted up to the animation's first picture, and the form redrawn after its last\n",
              kRounds, Skinned ? Skin->SkinName().c_str() : "NOT APPLIED", Change != nullptr ? Change->Time() : 0, Frames);
  std::printf("  %-13s %7s %16s %8s %6s %8s %7s %7s %13s %8s\n", "", "change", "frames (pictures)", "dropped", "read",
              "to frame", "after", "work", "(goal)", "repaint");
  for (const bool Service : {false, true}) {
    if (Service) MainForm->SetHeight(340);
    Application->ProcessMessages();
    std::vector<TRound> Rounds;
    for (int i = 0; i < kRounds; ++i) Rounds.push_back(Round(Skin));
    auto M = [&](double TRound::*Field) { return MedianOf(Rounds, [&](const TRound& R) { return R.*Field; }); };
    const double Work = MedianOf(Rounds, [](const TRound& R) { return R.Work(); });
    std::printf("  %-13s %7.1f %9.1f (%4.0f) %8.1f %6.1f %8.1f %7.1f %7.1f %4.0f %-8s %8.1f\n",
                Service ? "service view" : "normal view", M(&TRound::change), M(&TRound::frames),
                MedianOf(Rounds, [](const TRound& R) { return static_cast<double>(R.pictures); }), M(&TRound::dropped),
                M(&TRound::loaded), M(&TRound::toFrames), M(&TRound::after), Work, kWorkGoalMs,
                Work <= kWorkGoalMs ? "met" : "not met", M(&TRound::repaint));
    if (M(&TRound::slept) > 0) std::printf("  %-13s of the change slept %.1f\n", "", M(&TRound::slept));
  }
  bench_probe::Stop();
  bench_probe::Start(true);
  const TProbeCounts Before = bench_probe::Counts();
  Round(Skin);
  std::printf("  counted (service view, change and repaint again): %s\n",
              bench_probe::Describe(bench_probe::Counts() - Before).c_str());
  bench_probe::Stop();
  std::fflush(stdout);
  FinalizeUnits();
  return Skinned ? 0 : 1;
}
