// Time per call of the off-screen painters: the graphic children (five labels) of a panel through one memory
// image, and the whole main form with its controls into a 32-bit bitmap, as the show, hide and skin-change
// animations take it (goal: under 10 ms).
#include <windows.h>

#include <cstdio>
#include <functional>

#include "app/LoaderUnits.h"
#include "app/Main.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/Units.h"
#include "skin/core/sVclUtils.h"
#include "skin/graphics/vkBitmap32.h"
#include "tools/bench/BenchTiming.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RegisterLoaderUnits();
  InitializeUnits();
  Application->Initialize();
  Application->CreateForm(MainForm);
  MainForm->Show();
  Application->ProcessMessages();

  // five labels on a panel of their own form
  TForm* Form = TForm::CreateNew(Application);
  Form->SetBounds(0, 0, 320, 200);
  auto* Panel = new TPanel(Form);
  Panel->SetParent(Form);
  Panel->SetBounds(0, 0, 300, 180);
  for (int i = 0; i < 5; ++i) {
    auto* L = new TLabel(Form);
    L->SetParent(Panel);
    L->SetBounds(10, 10 + i * 30, 200, 20);
    L->SetCaption("Label " + std::to_string(i + 1));
  }
  Form->Show();
  Application->ProcessMessages();
  TBitmap* Target = NewBitmap32(Panel->Width(), Panel->Height());
  Measure("PaintGraphicChildren, five labels", [&] {
    PaintGraphicChildren(Target->Canvas()->Handle(), Panel, true, POINT{0, 0});
  });

  TBitmap* Snapshot = NewBitmap32(MainForm->Width(), MainForm->Height());
  char Name[96];
  std::snprintf(Name, sizeof Name, "PaintControlToBitmap, main form %d x %d", MainForm->Width(), MainForm->Height());
  const double Ms = Measure(Name, [&] { PaintControlToBitmap(Snapshot, MainForm, 0, 0, nullptr, false); });
  std::printf("%-52s %8.3f ms  -> %s\n", "goal", 10.0, Ms < 10.0 ? "met" : "missed");
  std::fflush(stdout);

  delete Target;
  delete Snapshot;
  Form->Free();
  FinalizeUnits();
  return 0;
}
