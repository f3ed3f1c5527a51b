// Start-up time: from the creation of the process until the main window shows the stored firmware as ready
// ("Мікропрограма готова до запису") with every window painted, broken down by what runs: each unit's
// initialisation, the main form's description read (the skin loaded and applied within), its creation handler
// (the stored firmware parsed), its window, the About form, the show (child windows, the show animation's
// frames, sleeps) and the first paint. The goal is the ready text within 300 ms of the process's creation.
// The program then runs itself once more with "--counts" to count what each step did (windows made, paints,
// skin commands, sleeps, frames): the message hooks that count would slow the timed run.
#include "app/LoaderUnits.h"
#include "app/Main.h"
#include "app/Unit1.h"

#include "framework/Forms.h"
#include "framework/Milestones.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "framework/Units.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sGauge.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/vkProgressBar.h"
#include "skin/core/sSkinManager.h"
#include "tests/app/bench/BenchProbe.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double kGoalMs = 300;
constexpr double kFrameMs = 12;  // an animation frame's period

struct TMark {
  std::string step, subject;
  double at;
  TProbeCounts counts;
};
std::vector<TMark> g_marks;

void Mark(const std::string& Step, const std::string& Subject = std::string()) {
  g_marks.push_back(TMark{Step, Subject, MsSinceProcessStart(), bench_probe::Counts()});
}

// The prefill's time: from the gauge's reset to 0 of 60,000 to its reset for the placement pass. The gauge is full
// after the first 60,000 runs and silent for the other 940,000, so its last step is not the prefill's end.
class TPrefillClock {
public:
  void Watch(TsGauge* Gauge) {
    Gauge->OnChange = [this, Gauge](TObject*) {
      const double Now = MsSinceProcessStart();
      if (Gauge->MaxValue() == 60000) {
        if (first_ < 0) first_ = Now;
      } else if (first_ >= 0 && last_ < 0) {
        last_ = Now;
      }
    };
  }
  double Ms() const { return first_ < 0 || last_ < 0 ? 0 : last_ - first_; }

private:
  double first_ = -1, last_ = -1;
};
TPrefillClock g_startPrefill;  // the start-up's own parse

const TMark& Find(const std::string& Step, const std::string& Subject = std::string()) {
  for (const TMark& M : g_marks)
    if (M.step == Step && (Subject.empty() || M.subject == Subject)) return M;
  std::fprintf(stderr, "start-up bench: the program never reached \"%s %s\"\n", Step.c_str(), Subject.c_str());
  std::exit(2);
}

bool AllPainted(HWND Wnd) {
  if (GetUpdateRect(Wnd, nullptr, FALSE)) return false;
  for (HWND Child = GetWindow(Wnd, GW_CHILD); Child != nullptr; Child = GetWindow(Child, GW_HWNDNEXT))
    if (IsWindowVisible(Child) && !AllPainted(Child)) return false;
  return true;
}

// The program body as Program.cpp runs it, up to the first paint of the shown main form.
void StartUp() {
  Mark("entry");
  RegisterLoaderUnits();
  InitializeUnits();
  Mark("units");
  Application->Initialize();
  Application->SetTitle("KRL Bootloader");
  Mark("main form");
  Application->CreateForm(MainForm);
  Mark("main window");
  Application->CreateForm(FormHelp);
  Mark("about");
  // Application->Run's first step, then its loop until nothing is left to paint
  MainForm->SetVisible(true);
  Mark("shown");
  // Timed when the thread has no paint pending; the walk over every window (which asks the system once per
  // window) only confirms it afterwards.
  for (;;) {
    do Application->ProcessMessages();
    while ((HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT) != 0);
    const TMark Painted{"painted", std::string(), MsSinceProcessStart(), bench_probe::Counts()};
    if (AllPainted(MainForm->Handle())) {
      g_marks.push_back(Painted);
      return;
    }
  }
}

void Line(const char* Name, double At, double Own, const std::string& Note = std::string()) {
  std::printf("  %-40s %8.1f  (%6.1f)%s%s\n", Name, At, Own, Note.empty() ? "" : "  ", Note.c_str());
}
void Part(const char* Name, double Own, const std::string& Note = std::string()) {
  std::printf("    %-38s %8s  (%6.1f)%s%s\n", Name, "", Own, Note.empty() ? "" : "  ", Note.c_str());
}

std::string Format1(const char* Format, double A, double B = 0, double C = 0) {
  char Text[160];
  std::snprintf(Text, sizeof(Text), Format, A, B, C);
  return Text;
}

// Each unit's time, the units of 1 ms or more by name.
void PrintUnits(double From) {
  std::string Named, Small;
  int SmallCount = 0;
  double SmallMs = 0, Previous = From;
  for (const TMark& M : g_marks) {
    if (M.step != "unit") continue;
    const double Own = M.at - Previous;
    Previous = M.at;
    if (Own >= 1.0) {
      Named += (Named.empty() ? "" : ", ") + M.subject + Format1(" %.1f", Own);
    } else {
      ++SmallCount;
      SmallMs += Own;
    }
  }
  std::printf("    %s; %d more under 1 ms: %.1f\n", Named.c_str(), SmallCount, SmallMs);
}

void PrintTimes() {
  const TMark& Entry = Find("entry");
  const TMark& Units = Find("units");
  const TMark& FormStart = Find("main form");
  const TMark& SkinLoad = Find("skin load");
  const TMark& SkinLoaded = Find("skin loaded");
  const TMark& SkinApplied = Find("skin applied");
  const TMark& Read = Find("form read", "TMainForm");
  const TMark& ParseStart = Find("firmware parse");
  const TMark& Parsed = Find("firmware parsed");
  const TMark& Created = Find("form created", "TMainForm");
  const TMark& Window = Find("main window");
  const TMark& About = Find("about");
  const TMark& Shown = Find("shown");
  const TMark& Painted = Find("painted");
  const bool Ready = MainForm->LabelNameOfHex->Caption() == "Мікропрограма готова до запису";

  std::printf("start-up of the loader, ms from process creation (in brackets: the step's own time)\n");
  Line("program entry (Wine, DLLs, static data)", Entry.at, Entry.at);
  Line("units initialised", Units.at, Units.at - Entry.at);
  PrintUnits(Entry.at);
  Line("main form's description read", Read.at, Read.at - FormStart.at,
       Format1("the skin loaded %.1f and applied %.1f", SkinLoaded.at - SkinLoad.at, SkinApplied.at - SkinLoaded.at));
  Line("its creation handler", Created.at, Created.at - Read.at,
       Format1("the stored firmware parsed %.1f, of it the prefill %.1f", Parsed.at - ParseStart.at,
               g_startPrefill.Ms()));
  Line("its window made", Window.at, Window.at - Created.at);
  Line("About form created", About.at, About.at - Window.at);
  Line("main form shown", Shown.at, Shown.at - About.at);
  // the show's parts: the hidden memo's window taking its lines, its animation's frames and the sleeps (both
  // prescribed)
  const double MemoMade = bench_probe::Created(MainForm->TextTerminal->Handle());
  const double MemoDone = MemoMade < 0 ? -1 : bench_probe::NextCreatedOrActivated(MemoMade);
  const double MemoMs = MemoDone < 0 ? 0 : MemoDone - MemoMade;
  std::vector<double> Frames;
  for (double T : bench_probe::LayeredTimes())
    if (T > About.at && T < Shown.at) Frames.push_back(T);
  const double Activated = bench_probe::FirstActivation(MainForm->Handle());
  const double FramesMs = Frames.empty() ? 0 : Frames.back() - Frames.front() + kFrameMs;
  const TProbeCounts Show = Shown.counts - About.counts;
  // out of the form's view the memo's window takes its lines only once it is used
  TMemo* Memo = MainForm->TextTerminal;
  Part(Memo->TextPending() ? "the hidden memo's window made" : "the hidden memo takes its lines", MemoMs,
       Format1(Memo->TextPending() ? "its %.0f lines kept until it is used" : "%.0f lines laid out by the system's edit control",
               Memo->Lines()->Count()));
  if (!Frames.empty())
    Part("show animation", FramesMs,
         Format1("%.0f pictures from %.1f, prescribed: 12 ms a frame", static_cast<double>(Frames.size()), Frames.front()));
  if (Show.sleeps > 0) Part("sleeps", Show.sleptMs, Format1("%.0f, prescribed", Show.sleeps));
  Part("the rest of the show", Shown.at - About.at - MemoMs - FramesMs - Show.sleptMs,
       Activated < 0 ? std::string("the form never activated") : Format1("child windows, activated at %.1f", Activated));
  Line("first paint", Painted.at, Painted.at - Shown.at);
  const TProbeCounts All = Painted.counts;
  const double Prescribed = FramesMs + All.sleptMs;
  Line(Ready ? "ready text shown" : "ready text NOT shown", Painted.at, Painted.at - Entry.at,
       Format1("prescribed waits %.1f, the rest %.1f", Prescribed, Painted.at - Entry.at - Prescribed));
  std::printf("  goal: ready text within %.0f ms -> %s\n", kGoalMs, Painted.at <= kGoalMs ? "met" : "not met");
  std::printf("  a round trip to the system now: %.1f us\n", bench_probe::RoundTripUs());
}

// The counted run: what each step did.
void PrintCounts() {
  const TMark* Previous = &Find("entry");
  const std::pair<const char*, const char*> Steps[] = {
      {"units", "units initialised"},   {"main window", "main form created"}, {"about", "About form created"},
      {"shown", "main form shown"},     {"painted", "first paint"}};
  std::printf("  counted in a second start-up:\n");
  for (const auto& [Step, Name] : Steps) {
    const TMark& M = Find(Step);
    std::printf("    %-22s %s\n", Name, bench_probe::Describe(M.counts - Previous->counts).c_str());
    Previous = &M;
  }
}

bool Skinned() {
  TsSkinManager* Skin = MainForm->sSkinManager1;
  bool Skinned = Skin != nullptr && Skin->SkinData().Active;
  for (TsCommonData* D : std::initializer_list<TsCommonData*>{MainForm->ProgressbarReadWrite->SkinData(), MainForm->ProgressbarWrite->SkinData(),
                          MainForm->sPanel1->SkinData(), MainForm->ButtonConect->SkinData(), MainForm->cbPort->SkinData()})
    Skinned = Skinned && D->IsSkinned();
  std::printf("  skin %s%s\n", Skin != nullptr ? Skin->SkinName().c_str() : "none",
              Skinned ? ", gauge, progress bar, panels, buttons and combo boxes skinned" : " (controls NOT skinned)");
  return Skinned;
}

// The parse again, now with the window shown (as after opening a file): the memo takes the upper-cased
// lines into its window and the gauge repaints.
void PrintParseAgain() {
  TPrefillClock Prefill;
  Prefill.Watch(MainForm->ProgressbarReadWrite);
  const double Start = MsSinceProcessStart();
  MainForm->Session().ParseFirmwareLines(TParseOrigin::Startup);
  const double Parse = MsSinceProcessStart() - Start;
  MainForm->ProgressbarReadWrite->OnChange = nullptr;
  std::printf("  stored firmware parsed again, the window shown %8.1f  (of it the prefill %.1f)\n", Parse, Prefill.Ms());
}

// Runs this program again with "--counts" and waits for it; its lines follow these.
bool RunCounted() {
  std::fflush(stdout);
  char Path[MAX_PATH];
  GetModuleFileNameA(nullptr, Path, MAX_PATH);
  std::string Command = "\"";
  Command.append(Path).append("\" --counts");
  STARTUPINFOA Startup{};
  Startup.cb = sizeof(Startup);
  PROCESS_INFORMATION Process{};
  if (!CreateProcessA(nullptr, Command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &Startup, &Process)) {
    std::printf("  the counted start-up could not be started (%lu)\n", GetLastError());
    return false;
  }
  WaitForSingleObject(Process.hProcess, INFINITE);
  DWORD Code = 1;
  GetExitCodeProcess(Process.hProcess, &Code);
  CloseHandle(Process.hThread);
  CloseHandle(Process.hProcess);
  return Code == 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const bool Counted = ParamStr(1) == "--counts";
  SetMilestoneListener([](const char* Step, const std::string& Subject) {
    Mark(Step, Subject);
    static bool Watched = false;
    if (!Watched && std::string(Step) == "firmware parse" && MainForm != nullptr) {
      Watched = true;
      g_startPrefill.Watch(MainForm->ProgressbarReadWrite);
    }
  });
  // the timed run keeps only the cheap seams (sleeps, layered pictures, activation); the counted run all hooks
  bench_probe::Start(Counted);
  StartUp();
  bool Ok = MainForm->LabelNameOfHex->Caption() == "Мікропрограма готова до запису";
  if (Counted) {
    PrintCounts();
  } else {
    PrintTimes();
    Ok = Skinned() && Ok;
    PrintParseAgain();
    Ok = RunCounted() && Ok;
  }
  std::fflush(stdout);
  SetMilestoneListener(nullptr);
  bench_probe::Stop();
  FinalizeUnits();
  return Ok ? 0 : 1;
}
