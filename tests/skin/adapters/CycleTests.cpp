// Adapters made, used and freed a hundred times over the same windows leave procedures, class brushes, stubs
// and GDI objects as they were; a disabled button over a skinned parent blends with the
// parent's picture exactly as over a flat colour.
#include <windows.h>
#include <commctrl.h>

#include "AdapterTestSupport.h"
#include "tests/support/GdiLeaks.h"
#include "framework/ObjectInstance.h"
#include "skin/adapters/vkButtonWnds.h"
#include "skin/adapters/vkComboWnds.h"
#include "skin/adapters/vkEditWnd.h"
#include "skin/adapters/vkListWnds.h"
#include "skin/adapters/vkPanelWnd.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkSmallWnds.h"
#include "skin/adapters/vkStaticWnds.h"
#include "skin/adapters/vkTabWnds.h"
#include "skin/core/sCommonData.h"

using namespace adapter_test;

namespace {

class Cycles : public AdapterTest {};

TEST_F(Cycles, AHundredRoundsLeaveEverythingAsItWas) {
  auto M = SolidManager();
  HWND H = Host(400, 300);
  auto Child = [&](const char* Class, DWORD Style, int X, int Y, int W, int Ht) {
    return CreateWindowExA(0, Class, "Text", WS_CHILD | WS_VISIBLE | Style, X, Y, W, Ht, H, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  };
  struct Target {
    HWND Wnd;
    const TClassInfo* Cls;
    const char* Section;
  };
  HWND Combo = Child("COMBOBOX", CBS_DROPDOWNLIST, 10, 10, 120, 200);
  SendMessageA(Combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("COM1"));
  const Target Targets[] = {
      {Child("BUTTON", BS_PUSHBUTTON, 10, 50, 80, 24), TvkBtnWnd::StaticClassInfo(), ""},
      {Child("BUTTON", BS_AUTOCHECKBOX, 10, 80, 80, 20), TvkCheckBoxWnd::StaticClassInfo(), ""},
      {Child("BUTTON", BS_GROUPBOX, 100, 50, 120, 60), TvkGroupBoxWnd::StaticClassInfo(), ""},
      {Child("EDIT", WS_BORDER | ES_MULTILINE | WS_VSCROLL, 10, 120, 120, 60), TvkEditWnd::StaticClassInfo(), "EDIT"},
      {Combo, TvkComboBoxWnd::StaticClassInfo(), "COMBOBOX"},
      {Child(WC_LISTVIEWA, LVS_REPORT, 150, 120, 150, 80), TvkListViewWnd::StaticClassInfo(), "EDIT"},
      {Child(WC_TABCONTROLA, 0, 150, 210, 150, 80), TvkTabControlWnd::StaticClassInfo(), ""},
      {Child("STATIC", SS_LEFT, 10, 200, 100, 20), TvkStaticWnd::StaticClassInfo(), ""},
      {Child(TOOLBARCLASSNAMEA, CCS_NORESIZE | TBSTYLE_LIST, 10, 230, 120, 30), TvkToolBarWnd::StaticClassInfo(), "BAR"},
  };
  COMBOBOXINFO Info{};
  Info.cbSize = sizeof Info;
  GetComboBoxInfo(Combo, &Info);
  HWND Bar = Targets[std::size(Targets) - 1].Wnd;
  SendMessageA(Bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  TBBUTTON Btn{};
  Btn.iBitmap = I_IMAGENONE;
  Btn.idCommand = 1;
  Btn.fsState = TBSTATE_ENABLED;
  Btn.iString = reinterpret_cast<INT_PTR>("Go");
  SendMessageA(Bar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&Btn));
  std::vector<LONG> Procs;
  for (const Target& T : Targets) Procs.push_back(GetWindowLongA(T.Wnd, GWL_WNDPROC));
  const LONG ButtonBrush = GetClassLongA(Targets[0].Wnd, GCL_HBRBACKGROUND);
  testing_support::Dib32 D(200, 200);
  auto Round = [&] {
    std::vector<TvkMainWnd*> Made;
    for (const Target& T : Targets) {
      TvkSkinParams P;
      P.SkinSection = T.Section;
      Made.push_back(CreateAdapter(T.Cls, T.Wnd, nullptr, M.get(), P, true));
    }
    HDC DC = GetDC(Info.hwndList);
    SendMessageA(Combo, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(Info.hwndList));
    ReleaseDC(Info.hwndList, DC);
    for (const Target& T : Targets) PrintWindowTo(T.Wnd, D);
    for (TvkMainWnd* A : Made) A->ApplySkinParams();
    for (TvkMainWnd* A : Made) A->Free();
  };
  Round();  // first use of fonts, bitmaps and system caches
  const int Stubs = ObjectInstanceCount();
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(100, Round));
  EXPECT_EQ(Stubs, ObjectInstanceCount());
  for (size_t I = 0; I < Procs.size(); ++I) EXPECT_EQ(Procs[I], GetWindowLongA(Targets[I].Wnd, GWL_WNDPROC)) << I;
  EXPECT_EQ(ButtonBrush, GetClassLongA(Targets[0].Wnd, GCL_HBRBACKGROUND));
  EXPECT_EQ(nullptr, GetWindowScrollAdapter(Info.hwndList));
}

TEST_F(Cycles, ADisabledButtonBlendsWithAParentPictureAsWithAColour) {
  auto M = SolidManager();
  HWND H = Host(300, 200);
  HWND Panel = NewRecordingWindow(H, WS_VISIBLE, 0, 0, 300, 200);
  TvkSkinParams PP;
  PP.SkinSection = "PANEL";
  TvkMainWnd* Back = CreateAdapter<TvkPanelWnd>(Panel, nullptr, M.get(), PP, false);
  Back->SkinData->CacheDirty = true;
  PaintAdapterCache(Back->SkinData, Panel, false);
  HWND B = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | WS_DISABLED, 10, 10, 80, 26, Panel, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  TvkMainWnd* A = CreateAdapter<TvkBtnWnd>(B, nullptr, M.get(), TvkSkinParams{}, false);
  TvkParentBgQuery Q{};
  Q.OffsetX = 10;
  Q.OffsetY = 10;
  Q.Area = TRect(0, 0, 80, 26);
  SendMessageA(Panel, SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_PARENT_BG), reinterpret_cast<LPARAM>(&Q));
  testing_support::Dib32 D(80, 26, 0, true);
  PrintWindowTo(B, D);
  // The face #FF00FE keeps 100 of 255 against the panel's #FFFF00, whichever way the panel answered.
  auto Mix = [](uint32_t C, uint32_t Bg) {
    uint32_t R = 0;
    for (int S = 0; S < 24; S += 8) R |= ((((C >> S) & 0xFF) * 100 + ((Bg >> S) & 0xFF) * 155) >> 8) << S;
    return R;
  };
  EXPECT_EQ(Mix(0xFF00FE, 0xFFFF00), Rgb(D.Px(40, 13))) << "answer kind " << int(Q.Kind);
  A->Free();
  Back->Free();
}

}  // namespace
