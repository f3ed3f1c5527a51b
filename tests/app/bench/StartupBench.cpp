// Start-up time: from the creation of the process until the main window shows the stored firmware
// as ready ("Мікропрограма готова до запису"), with the program body's steps timed on the way.
// Prints the times; the goal is under one second.
#include "app/LoaderUnits.h"
#include "app/Main.h"
#include "app/Unit1.h"

#include "framework/Forms.h"
#include "framework/Units.h"
#include "skin/controls/sLabel.h"

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
  std::fflush(stdout);
  FinalizeUnits();
  return ready ? 0 : 1;
}
