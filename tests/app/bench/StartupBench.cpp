// Start-up time: from the creation of the process until the main window shows the stored firmware
// as ready ("Мікропрограма готова до запису"), with the program body's steps timed on the way, the
// skinned controls drawn from the carried skin. Then the stored firmware is parsed once more to give the
// share of the erased-image prefill (the gauge counting up to 60,000) in that work.
// Prints the times; the goal is under one second.
#include "app/LoaderUnits.h"
#include "app/Main.h"
#include "app/Unit1.h"

#include "framework/Forms.h"
#include "framework/Units.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sGauge.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/vkProgressBar.h"
#include "skin/core/sSkinManager.h"

#include <windows.h>

#include <cstdio>

namespace {

double MsSinceProcessStart() {
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimeAsFileTime(&now);
  const auto ticks = [](const FILETIME& f) { return (static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
  return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const double entered = MsSinceProcessStart();
  RegisterLoaderUnits();
  InitializeUnits();
  const double units = MsSinceProcessStart();
  Application->Initialize();
  Application->SetTitle("KRL Bootloader");
  Application->CreateForm(MainForm);
  const double mainForm = MsSinceProcessStart();
  Application->CreateForm(FormHelp);
  MainForm->Show();
  Application->ProcessMessages();
  const double shown = MsSinceProcessStart();
  const bool ready = MainForm->LabelNameOfHex->Caption() == "Мікропрограма готова до запису";

  std::printf("start-up of the loader (ms from process creation)\n");
  std::printf("  program entry            %8.1f\n", entered);
  std::printf("  units initialised        %8.1f\n", units);
  std::printf("  main form created+parsed %8.1f\n", mainForm);
  std::printf("  ready text shown         %8.1f  (%s)\n", shown, ready ? "ready" : "NOT READY");
  std::printf("  goal                     %8.1f  -> %s\n", 1000.0, shown < 1000.0 ? "met" : "missed");
  TsSkinManager* skin = MainForm->sSkinManager1;
  bool skinned = skin != nullptr && skin->SkinData().Active;
  const std::initializer_list<TsCommonData*> controls = {
      MainForm->ProgressbarReadWrite->SkinData(), MainForm->ProgressbarWrite->SkinData(),
      MainForm->sPanel1->SkinData(), MainForm->ButtonConect->SkinData(), MainForm->cbPort->SkinData()};
  for (TsCommonData* d : controls)
    skinned = skinned && d->IsSkinned();
  std::printf("  skin                     %s%s\n", skin != nullptr ? skin->SkinName().c_str() : "none",
              skinned ? ", gauge, progress bar, panels, buttons and combo boxes skinned" : " (controls NOT skinned)");

  // The prefill is the part of the parse during which the gauge counts to 60,000.
  double prefillFirst = -1, prefillLast = -1;
  MainForm->ProgressbarReadWrite->OnChange = [&](TObject*) {
    if (MainForm->ProgressbarReadWrite->MaxValue() != 60000) return;
    const double now = MsSinceProcessStart();
    if (prefillFirst < 0) prefillFirst = now;
    prefillLast = now;
  };
  const double parseStart = MsSinceProcessStart();
  MainForm->Session().ParseFirmwareLines(TParseOrigin::Startup);
  const double parse = MsSinceProcessStart() - parseStart;
  const double prefill = prefillFirst < 0 ? 0 : prefillLast - prefillFirst;
  std::printf("  stored firmware parsed   %8.1f\n", parse);
  std::printf("  of it the prefill        %8.1f  (%.0f %% of the parse, %.0f %% of the start-up)\n", prefill,
              parse > 0 ? 100.0 * prefill / parse : 0.0, shown > 0 ? 100.0 * prefill / shown : 0.0);
  std::fflush(stdout);
  FinalizeUnits();
  return ready && skinned ? 0 : 1;
}
