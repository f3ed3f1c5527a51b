// Time per call of the skinned menus' hot paths with the carried skin: one popup item painted over its cached
// background, and the background of a system-menu-sized popup built. Run: <build>/wine-run skin_menus_bench.exe
#include <windows.h>

#include <cstdio>
#include <functional>

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/SysUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/graphics/vkBitmap32.h"

#include "tests/skin/forms/bench/FormBenchStart.h"
#include "tools/bench/BenchTiming.h"

int main() {
  TsSkinManager* M = StartFormBench();
  if (M == nullptr) return 1;
  if (M->SkinableMenus() == nullptr) {
    std::printf("the menu painter is missing\n");
    return 1;
  }
  TsSkinableMenus* P = M->SkinableMenus();
  // the six commands of a system menu and a divider
  auto* Menu = new TPopupMenu(nullptr);
  Menu->SetName("vkSysMenuBench");
  const struct {
    const char* Caption;
    int Tag;
  } Items[] = {{"Restore", SC_RESTORE}, {"Move", SC_MOVE}, {"Size", SC_SIZE}, {"Minimize", SC_MINIMIZE},
               {"Maximize", SC_MAXIMIZE}, {"-", 0}, {"Close\tAlt+F4", SC_CLOSE}};
  for (const auto& I : Items) {
    auto* Item = new TMenuItem(Menu);
    Item->SetCaption(I.Caption);
    Item->SetTag(I.Tag);
    Menu->Items()->Add(Item);
  }
  TBitmap* Canvas = NewBitmap32(180, 160);
  TMenuItem* First = Menu->Items()->Items(0);
  const int H = P->ItemHeight(Canvas->Canvas(), First);
  Measure("system menu background built", [&] {
    ClearMenuBgCache();
    P->BuildPopupBackground(First, 186, nullptr, 166);
  });
  Measure("one popup item drawn (selected)", [&] {
    P->DrawPopupItem(First, Canvas->Canvas(), TRect(0, 0, 180, H), TOwnerDrawState{odSelected});
  });
  Canvas->Free();
  Menu->Free();
  M->Free();
  FinalizeUnits();
  return 0;
}
