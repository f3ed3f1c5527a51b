#include "FormTestSupport.h"

#include <gtest/gtest.h>

#include "framework/Menus.h"
#include "framework/Units.h"
#include "skin/controls/vkControlUnits.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkLibraryUnits.h"
#include "skin/forms/vkFormUnits.h"
#include "skin/graphics/vkPixelOps.h"

namespace {

// The units start once per test process, as they do for the program.
class FormUnits : public testing::Environment {
 public:
  void SetUp() override {
    RegisterUnit("Forms", InitializeForms, nullptr);
    RegisterSkinLibraryUnits();
    RegisterSkinControlUnits();
    RegisterSkinFormUnits();
    InitializeUnits();
  }
  void TearDown() override {
    ResetPlatform();
    FinalizeUnits();
  }
};
[[maybe_unused]] testing::Environment* const g_units = testing::AddGlobalTestEnvironment(new FormUnits);

}  // namespace

namespace form_test {

ManagerPtr CarriedManager(const std::string& Name) {
  ManagerPtr m(Create<TsSkinManager>(nullptr));
  m->SetSkinDirectory(CarriedSkinFolder());
  m->SetSkinName(Name);
  return m;
}

TForm* NewForm(int W, int H, TFormBorderStyle Style) {
  TForm* F = TForm::CreateNew(Application);
  F->SetBorderStyle(Style);
  F->SetBounds(40, 30, W, H);
  F->HandleNeeded();
  return F;
}

TMenuItem* GiveMainMenu(TCustomForm* F, const std::vector<std::string>& Captions) {
  auto* Menu = new TMainMenu(F);
  for (const std::string& C : Captions) {
    auto* It = new TMenuItem(F);
    It->SetCaption(C);
    Menu->Items()->Add(It);
  }
  F->SetMenu(Menu);
  return Menu->Items()->Items(0);
}

TForm* NewMDIMainForm() {
  TForm* Frame = TForm::CreateNew(Application);
  Frame->SetBounds(20, 20, 520, 380);
  Frame->SetFormStyle(fsMDIForm);
  GiveMainMenu(Frame);
  Application->FormCreated(Frame);
  return Frame;
}

uint32_t CacheRgb(TBitmap* Bmp, int X, int Y) { return GetPixel32(Bmp, X, Y) & 0xFFFFFF; }

void CALLBACK EndMenuTimer(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

LRESULT SkinCommand(TCustomForm* F, WORD Cmd, LPARAM LParam, WORD Low) {
  return F->Perform(SM_VKCMD, SkinCommandWParam(Cmd, Low), LParam);
}

TvkTitleBarItem* AddTitleItem(TsTitleBar* Bar, TvkBtnStyle Style, int W, int H) {
  TvkTitleBarItem* It = Bar->Items()->Add();
  It->SetStyle(Style);
  It->SetAutoSize(false);
  It->SetWidth(W);
  It->SetHeight(H);
  return It;
}

RECT WindowRegionBox(HWND W) {
  RECT Box{};
  HRGN R = CreateRectRgn(0, 0, 0, 0);
  if (GetWindowRgn(W, R) != ERROR) GetRgnBox(R, &Box);
  DeleteObject(R);
  return Box;
}

bool HasWindowRegion(HWND W) {
  HRGN R = CreateRectRgn(0, 0, 0, 0);
  const bool Has = GetWindowRgn(W, R) != ERROR;
  DeleteObject(R);
  return Has;
}

bool InWindowRegion(HWND W, int X, int Y) {
  HRGN R = CreateRectRgn(0, 0, 0, 0);
  const bool In = GetWindowRgn(W, R) != ERROR && PtInRegion(R, X, Y);
  DeleteObject(R);
  return In;
}

}  // namespace form_test
