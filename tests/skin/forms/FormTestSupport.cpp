#include "FormTestSupport.h"

#include <gtest/gtest.h>

#include "framework/Menus.h"
#include "framework/SysUtils.h"
#include "framework/Units.h"
#include "skin/controls/vkControlUnits.h"
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

std::string SkinBuildFolder() {
  char buf[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, buf, MAX_PATH);
  return ExtractFilePath(buf) + "..\\..\\..\\tools\\skin\\";
}

ManagerPtr CarriedManager(const std::string& Name) {
  ManagerPtr m(Create<TsSkinManager>(nullptr));
  m->SetSkinDirectory(SkinBuildFolder());
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

TForm* NewMDIMainForm() {
  TForm* Frame = TForm::CreateNew(Application);
  Frame->SetBounds(20, 20, 520, 380);
  Frame->SetFormStyle(fsMDIForm);
  auto* Menu = new TMainMenu(Frame);
  auto* File = new TMenuItem(Frame);
  File->SetCaption("&File");
  Menu->Items()->Add(File);
  Frame->SetMenu(Menu);
  Application->FormCreated(Frame);
  return Frame;
}

uint32_t CacheRgb(TBitmap* Bmp, int X, int Y) { return GetPixel32(Bmp, X, Y) & 0xFFFFFF; }

}  // namespace form_test
