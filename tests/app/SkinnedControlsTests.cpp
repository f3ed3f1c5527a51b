// The main form's gauge and progress bar and the About form's web label, read from the stored forms with the
// carried TIDE skin: drawn from its sections, back to their plain look without it, and the web label's click.
#include "tests/app/LoaderApp.h"

#include "skin/controls/sGauge.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/vkProgressBar.h"
#include "skin/core/sSkinManager.h"
#include "tests/support/Dib32.h"

#include <gtest/gtest.h>

using testing_support::Dib32;

namespace {

// TIDE's section colours as its skin text gives them (#RRGGBB).
constexpr uint32_t kBar = 0xE9EDF0, kProgress = 0x1F7AA8, kLinkAtRest = 0x1F6F99;

uint32_t PrintGauge(TsGauge* G, int X, int Y) {
  Dib32 Dib(G->Width(), G->Height(), 0x123456, true);
  G->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Dib.DC()), 0);
  return Dib.Rgb(X, Y);
}

}  // namespace

TEST(LoaderSkinnedControls, GaugeAndProgressBarAreDrawnFromTheCarriedSkin) {
  LoaderApp app;
  TsGauge* G = MainForm->ProgressbarReadWrite;
  TsProgressBar* P = MainForm->ProgressbarWrite;
  ASSERT_TRUE(MainForm->sSkinManager1->SkinData().Active);
  ASSERT_TRUE(G->SkinData()->IsSkinned());
  ASSERT_TRUE(P->SkinData()->IsSkinned());
  G->SetAnimated(false);  // no moving highlight over the colours
  G->SetMaxValue(100);
  G->SetProgress(50);
  EXPECT_EQ(PrintGauge(G, 10, 8), kProgress);
  EXPECT_EQ(PrintGauge(G, G->Width() - 10, 8), kBar);

  P->SetMax(8);
  P->SetPosition(8);
  ExpectPrintsItsCache(P, P->SkinData());
  EXPECT_EQ(CacheRgb(P->SkinData(), 5, 4), kProgress);
  EXPECT_EQ(CacheRgb(P->SkinData(), P->Width() - 2, 4), kProgress);  // all of the inner width at Max

  // Without the skin the gauge is its plain self: a black frame around a maroon fill; with it again, skinned.
  MainForm->sSkinManager1->SetActive(false);
  EXPECT_FALSE(G->SkinData()->IsSkinned());
  EXPECT_EQ(PrintGauge(G, 0, 8), 0x000000u);
  EXPECT_EQ(PrintGauge(G, 10, 8), 0x800000u);
  EXPECT_FALSE(P->SkinData()->IsSkinned());
  MainForm->sSkinManager1->SetActive(true);
  EXPECT_TRUE(G->SkinData()->IsSkinned());
  EXPECT_TRUE(P->SkinData()->IsSkinned());
  EXPECT_EQ(PrintGauge(G, 10, 8), kProgress);
}

TEST(LoaderSkinnedControls, WebLabelTakesTheLinkColourAndItsClickIsTheFormsOneShellCall) {
  std::vector<std::string> Launched;
  LoaderApp app;
  Platform().ShellExecuteA = [&](HWND, const char*, const char* File, const char*, const char*, int) {
    Launched.push_back(File != nullptr ? File : "");
    return reinterpret_cast<HINSTANCE>(33);
  };
  TsWebLabel* L = FormHelp->sWebLabel1;
  EXPECT_TRUE(L->URL().empty());
  EXPECT_EQ(L->Cursor(), crHandPoint);
  Dib32 Dib(L->Width(), L->Height(), 0xFFFFFF, true);
  L->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Dib.DC()), 0);
  int Link = 0;
  for (int y = 0; y < Dib.Height(); ++y)
    for (int x = 0; x < Dib.Width(); ++x) Link += Dib.Rgb(x, y) == kLinkAtRest;
  EXPECT_GT(Link, 0);
  L->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  L->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(Launched.size(), 1u);
}

TEST(LoaderSkinnedControls, ServiceViewProgressBarPaintsOnceUncovered) {
  LoaderApp app;
  TsProgressBar* P = MainForm->ProgressbarWrite;
  ASSERT_TRUE(P->SkinData()->IsSkinned());
  TBitmap* Before = P->SkinData()->CacheBmp;
  const bool PaintedBefore = Before != nullptr && !Before->Empty();
  EXPECT_FALSE(PaintedBefore);  // below the normal view's client area
  MainForm->SetHeight(340);
  testing_support::PumpPending();
  TBitmap* Cache = P->SkinData()->CacheBmp;
  ASSERT_NE(Cache, nullptr);
  EXPECT_EQ(Cache->Width(), P->Width());
  EXPECT_EQ(Cache->Height(), P->Height());
  EXPECT_FALSE(P->SkinData()->CacheDirty);
}
