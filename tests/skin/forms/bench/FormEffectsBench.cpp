// Time per call of the form effects' steps on a 420 x 340 form with the carried skin: one title-button fade
// frame, one step of the minimise flight, and the border window updated at the form's size (extended borders).
// Run: <build>/wine-run form_effects_bench.exe
#include <windows.h>

#include <cstdio>
#include <functional>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "framework/SysUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/vkBorderForm.h"
#include "skin/forms/vkFormAnimations.h"
#include "skin/forms/vkFormTimers.h"
#include "skin/forms/vkProviderEffects.h"
#include "skin/forms/vkSBAnimation.h"

#include "tests/skin/forms/bench/FormBenchStart.h"
#include "tools/bench/BenchTiming.h"

int main() {
  TsSkinManager* M = StartFormBench();
  if (M == nullptr) return 1;
  TForm* F = TForm::CreateNew(Application);
  F->SetBounds(20, 40, 420, 340);
  auto* P = Create<TsSkinProvider>(F);
  F->Show();
  PumpPending();
  P->SkinData()->CacheDirty = true;
  P->PaintFormFrame();

  StartTitleButtonAnimation(P->ButtonClose, nullptr, P, 1, false);
  if (TvkSBAnimation* A = P->ButtonClose.Animation) Measure("title-button fade frame", [&] { A->ShowFrame(128); });
  FreeTitleButtonAnimation(P->ButtonClose.Animation);

  // the flight runs where the system does not compose: the version seam says 5.1
  Platform().GetVersionExA = [](OSVERSIONINFOA* I) {
    I->dwMajorVersion = 5;
    I->dwMinorVersion = 1;
    return TRUE;
  };
  Platform().Sleep = [](DWORD) {};
  if (AnimateMinimizing(P)) {
    auto* T = dynamic_cast<TvkMinTimer*>(TvkProviderEffects::AnimTimer(P));
    Measure("minimise flight step", [&] {
      T->Alpha = T->StartAlpha;
      T->CurLeft = T->StartRect.Left, T->CurTop = T->StartRect.Top;
      T->CurRight = T->StartRect.Right, T->CurBottom = T->StartRect.Bottom;
      P->SetFormStateFlags(P->FormStateFlags() | fsfMinimizing);
      T->DoStep();
    });
    T->SetEnabled(false);
    P->SetFormStateFlags(P->FormStateFlags() & ~fsfMinimizing);
  }
  ResetPlatform();

  M->SetExtendedBorders(true);
  TForm* G = TForm::CreateNew(Application);
  G->SetBounds(60, 60, 420, 340);
  auto* Q = Create<TsSkinProvider>(G);
  G->Show();
  PumpPending();
  if (TvkBorderForm* B = Q->BorderForm()) {
    Measure("border window update (repaint)", [&] {
      Q->SkinData()->CacheDirty = true;
      B->UpdateBorderWindow(true, 255);
    });
    Measure("border window placed (no repaint)", [&] { B->UpdateBorderWindow(false, 255); });
  } else {
    std::printf("no border window was made\n");
  }
  M->Free();
  FinalizeUnits();
  return 0;
}
