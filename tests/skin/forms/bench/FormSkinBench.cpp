// Time per call of the form skinner's hot paths on a 420 x 340 form with the carried skin: frame-cache rebuild
// and copy, WM_NCPAINT next to the system's own non-client paint of an unskinned form, one hit test, an
// activation switch, and a skin change repainting two forms. Run: <build>/wine-run skin_forms_bench.exe
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"

#include "tests/skin/forms/bench/FormBenchStart.h"
#include "tools/bench/BenchTiming.h"

namespace {

TForm* ShownForm(int X) {
  TForm* F = TForm::CreateNew(Application);
  F->SetBounds(X, 40, 420, 340);
  F->SetCaption("Benchmark");
  F->Show();
  PumpPending();
  return F;
}

}  // namespace

int main() {
  TsSkinManager* M = StartFormBench();
  if (M == nullptr) return 1;
  TForm* Plain = ShownForm(500);
  TForm* A = ShownForm(20);
  auto* P = Create<TsSkinProvider>(A);
  TForm* B = ShownForm(60);
  Create<TsSkinProvider>(B);
  PumpPending();
  const HWND W = A->Handle();
  HDC DC = GetWindowDC(W);

  Measure("frame cache rebuild", [&] {
    P->SkinData()->CacheDirty = true;
    P->PaintFormFrame();
  });
  Measure("frame cache copy to the window", [&] { P->DrawFrameCache(DC); });
  const double Skinned = Measure("WM_NCPAINT, clean cache", [&] { SendMessageA(W, WM_NCPAINT, 1, 0); });
  const double System = Measure("WM_NCPAINT of the system (unskinned form)", [&] { SendMessageA(Plain->Handle(), WM_NCPAINT, 1, 0); });
  std::printf("%-44s %9.2f x\n", "skinned against the system", System > 0 ? Skinned / System : 0.0);
  RECT R{};
  GetWindowRect(W, &R);
  Measure("one hit test", [&] { SendMessageA(W, WM_NCHITTEST, 0, MAKELPARAM(R.left + 200, R.top + 10)); });
  Measure("activation switch (inactive, active)", [&] {
    SendMessageA(W, WM_NCACTIVATE, FALSE, 0);
    SendMessageA(W, WM_NCACTIVATE, TRUE, 0);
  });
  Measure("skin change repainting both forms", [&] {
    M->SetActive(false);
    M->SetActive(true);
    PumpPending();
  });
  ReleaseDC(W, DC);
  M->Free();
  FinalizeUnits();
  return 0;
}
