// What the manager's unit sets up at start: shadows, the version notice, the late-bound DPI entry, and the
// thread hook's counting stand-in.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "framework/Forms.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinManagerStartup.h"
#include "skin/core/vkFormServices.h"
#include "tests/support/Bitmaps.h"

using namespace engine_test;

TEST(SkinManagerUnit, ShadowsLoadWithTransparentWhiteCleared) {
  InitializeForms();
  std::vector<TMessageBoxRequest> Boxes;
  Platform().MessageBoxSink = [&](const TMessageBoxRequest& R) {
    Boxes.push_back(R);
    return IDOK;
  };
  Platform().GetCommandLineA = [] { return "loader.exe /VkVer other"; };
  SkinManagerUnitInitialize();
  ASSERT_NE(ShadowBitmapActive, nullptr);
  ASSERT_NE(ShadowBitmapInactive, nullptr);
  EXPECT_EQ(ShadowBitmapActive->PixelFormat(), pf32bit);
  EXPECT_EQ(ShadowBitmapActive->Width(), 40);
  int Cleared = 0, WhiteKeys = 0, Shadow = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      uint32_t P = testing_support::PixelAt(ShadowBitmapActive, x, y);
      Cleared += P == 0;
      WhiteKeys += P == 0x00FFFFFF;
      Shadow += (P >> 24) > 0;
    }
  EXPECT_EQ(WhiteKeys, 0);
  EXPECT_GT(Cleared, 0);
  EXPECT_GT(Shadow, 0);
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].text, "VelkorControls v12.14");
  EXPECT_EQ(SetProcessDPIAwareEntry() != nullptr,
            GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware") != nullptr);
  SkinManagerUnitFinalize();
  EXPECT_EQ(ShadowBitmapActive, nullptr);
  EXPECT_EQ(SetProcessDPIAwareEntry(), nullptr);
  Platform().GetCommandLineA = [] { return "loader.exe /vkverbose"; };
  SkinManagerUnitInitialize();
  EXPECT_EQ(Boxes.size(), 1u);  // only the exact switch
  SkinManagerUnitFinalize();
  ResetPlatform();
  FinalizeForms();
}

TEST(SkinManagerUnit, TheThreadHookCountsWindowsWhileASkinIsApplied) {
  TempFolder dir;
  BoxRecorder boxes;
  WriteFileText(dir.Sub("F") + "Options.dat", "[GLOBALINFO]\r\nVERSION=10.25\r\n");
  TsSkinManager* m = Create<TsSkinManager>(nullptr);
  m->SetSkinDirectory(dir.Path());
  m->SetSkinName("F");
  const int Before = CountingCbtHookCalls();
  HWND W = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(W);
  EXPECT_GT(CountingCbtHookCalls(), Before);
  m->RemoveSkin();
  const int After = CountingCbtHookCalls();
  W = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(W);
  EXPECT_EQ(CountingCbtHookCalls(), After);
  m->Free();
}
