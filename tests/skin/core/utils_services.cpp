// The command message layout and the service tables of the form skinning and adapter subsystems.
#include <gtest/gtest.h>

#include "framework/Platform.h"
#include "skin/core/vkAdapterServices.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"

TEST(SkinCommands, MessageLayout) {
  EXPECT_EQ(static_cast<WPARAM>(0x110001), SkinCommandWParam(VKCMD_MARK_FOR_UPDATE, 1));
  EXPECT_EQ(static_cast<WPARAM>(0x220000), SkinCommandWParam(VKCMD_QUERY_PARENT_BG));
  EXPECT_EQ(VKCMD_QUERY_PARENT_BG, SkinCommandCode(0x220005));
  EXPECT_EQ(5, SkinCommandLow(0x220005));
}

TEST(FormServices, EmptyEntriesGiveNeutralAnswers) {
  FormServices = TvkFormServices{};
  auto* Border = reinterpret_cast<TvkBorderForm*>(0x1000);
  EXPECT_EQ(0, GetSkinCaptionHeight(Border));
  EXPECT_EQ(0, GetSkinFrameWidth(Border));
  EXPECT_EQ(0, GetExtraCaptionHeight(Border));
  EXPECT_EQ(GetSystemMetrics(SM_CXFRAME), GetWindowFrameWidth(nullptr, nullptr, true));
  EXPECT_EQ(nullptr, CreateSnapshotForm(nullptr));
  FreeMenuWindowAdapters();
  AdoptTopLevelWindow(nullptr);
}

TEST(FormServices, FilledEntriesAreCalledAndNilBorderFormsGiveZero) {
  FormServices = TvkFormServices{};
  static int Calls = 0;
  Calls = 0;
  FormServices.GetSkinCaptionHeight = [](TvkBorderForm*) { return 31; };
  FormServices.FreeMenuWindowAdapters = [] { ++Calls; };
  EXPECT_EQ(31, GetSkinCaptionHeight(reinterpret_cast<TvkBorderForm*>(0x1000)));
  EXPECT_EQ(0, GetSkinCaptionHeight(nullptr));  // 0 for nil, whatever the subsystem says
  FreeMenuWindowAdapters();
  EXPECT_EQ(1, Calls);
  FormServices = TvkFormServices{};
}

TEST(AdapterServices, EmptyEntriesGiveNeutralAnswers) {
  AdapterServices = TvkAdapterServices{};
  EXPECT_EQ(nullptr, GetWindowScrollAdapter(GetDesktopWindow()));
  TvkScrollWnd* Adapter = reinterpret_cast<TvkScrollWnd*>(0x1000);
  EXPECT_EQ(0, GetScrollBarDimension(Adapter, true, true));
  DetachScrollWndAdapter(nullptr, true, false, Adapter);
  EXPECT_EQ(nullptr, Adapter);
}

