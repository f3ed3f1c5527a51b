// A full repaint of the main form after a skin change, in the normal and the service view: the carried skin is
// switched off and on again (every control drops its pictures and the manager redraws every window at once),
// then the whole window is redrawn once more from the pictures just made. Prints both times, as medians of
// several rounds.
#include "app/LoaderUnits.h"
#include "app/Main.h"
#include "app/Unit1.h"

#include "framework/Forms.h"
#include "framework/Units.h"
#include "skin/core/sSkinManager.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point From) { return std::chrono::duration<double, std::milli>(Clock::now() - From).count(); }

double Median(std::vector<double> V) {
  std::sort(V.begin(), V.end());
  return V[V.size() / 2];
}

void Round(TsSkinManager* Skin, std::vector<double>& Change, std::vector<double>& Repaint) {
  auto T = Clock::now();
  Skin->SetActive(false);
  Skin->SetActive(true);
  Change.push_back(Ms(T));
  T = Clock::now();
  RedrawWindow(MainForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Repaint.push_back(Ms(T));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RegisterLoaderUnits();
  InitializeUnits();
  Application->Initialize();
  Application->CreateForm(MainForm);
  Application->CreateForm(FormHelp);
  MainForm->Show();
  Application->ProcessMessages();
  TsSkinManager* Skin = MainForm->sSkinManager1;
  const bool Skinned = Skin != nullptr && Skin->SkinData().Active;
  std::printf("full repaint of the main form after a skin change (ms, median of 15), skin %s\n",
              Skinned ? Skin->SkinName().c_str() : "NOT APPLIED");
  for (const bool Service : {false, true}) {
    if (Service) MainForm->SetHeight(340);
    Application->ProcessMessages();
    std::vector<double> Change, Repaint;
    for (int i = 0; i < 15; ++i) Round(Skin, Change, Repaint);
    std::printf("  %-13s change with its repaint %7.2f   repaint again %7.2f\n", Service ? "service view" : "normal view",
                Median(Change), Median(Repaint));
  }
  std::fflush(stdout);
  FinalizeUnits();
  return Skinned ? 0 : 1;
}
