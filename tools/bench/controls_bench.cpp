// Time per call of the skinned controls' hot paths under Wine, with the carried TIDE skin: one fade frame of a
// 128 x 34 button (its face for the new state and one cross-fade step; goal: well under the 12 ms between
// frames) and one rebuild of a 130 x 21 combo box's cached look.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sComboBox.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkLibraryUnits.h"
#include "skin/core/vkThdTimer.h"
#include "framework/Units.h"
#include "tools/bench/BenchTiming.h"

namespace {

std::string SkinFolder() {
  char Buf[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, Buf, MAX_PATH);
  return ExtractFilePath(Buf) + "..\\skin\\";
}

}  // namespace

int main() {
  InitializeForms();
  RegisterSkinLibraryUnits();
  InitializeUnits();
  TsSkinManager* M = Create<TsSkinManager>(nullptr);
  M->SetSkinDirectory(SkinFolder());
  M->SetSkinName("TIDE");
  if (!M->SkinData().Active) {
    std::printf("the TIDE skin did not load from %s\n", SkinFolder().c_str());
    return 1;
  }
  TForm* Form = TForm::CreateNew(Application);
  Form->SetBounds(50, 50, 320, 160);
  Form->ShowNoActivate();

  TsButton* Button = Create<TsButton>(Form);
  Button->SetParent(Form);
  Button->SetBounds(10, 10, 128, 34);
  Button->SetCaption("Button");
  Button->SkinData()->SetSkinSection("BUTTON_HUGE");
  Button->SetAnimatEvents({aeMouseEnter, aeMouseLeave});
  Button->HandleNeeded();
  Button->Perform(WM_PRINT, 0, 0);
  bool Hot = false;
  Measure("button fade frame (new face and one step), 128 x 34", [&] {
    Hot = !Hot;
    Button->SkinData()->CacheDirty = false;
    Button->Perform(Hot ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, 0);
    if (TvkThreadedTimer* T = Button->SkinData()->AnimTimer) T->Tick();
  });

  TsComboBox* Combo = Create<TsComboBox>(Form);
  Combo->SetParent(Form);
  Combo->SetStyle(csDropDownList);
  Combo->SetBounds(10, 60, 130, 21);
  Combo->Items()->Add("115200");
  Combo->SetItemIndex(0);
  Combo->HandleNeeded();
  Measure("combo box cache rebuild, 130 x 21", [&] {
    Combo->SkinData()->CacheDirty = true;
    Combo->PaintCache();
  });

  Form->Free();
  M->Free();
  FinalizeUnits();
  return 0;
}
