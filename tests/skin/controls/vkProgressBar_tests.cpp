// The skinned progress bar: where the progress and its chunks lie, what it paints on the SOLID skin, when it
// rebuilds its picture, and the marquee style.
#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "framework/Themes.h"
#include "skin/controls/vkProgressBar.h"

using namespace controls_test;

namespace {

// Counts the pictures built and records the marquee messages sent to the window.
class TProbeBar : public TsProgressBar {
public:
  using TsProgressBar::TsProgressBar;
  int Builds = 0;
  std::vector<std::pair<WPARAM, LPARAM>> Marquee;
  void WndProc(TMessage& M) override {
    if (M.Msg == WM_USER + 10) Marquee.emplace_back(M.WParam, M.LParam);
    TsProgressBar::WndProc(M);
  }

protected:
  void BuildImage() override {
    ++Builds;
    TsProgressBar::BuildImage();
  }
};

const TRect kInner = ProgressInnerRect(TRect(0, 0, 265, 9), 0);

}  // namespace

TEST(ProgressBar, ProgressAndChunkGeometry) {
  EXPECT_EQ(kInner, TRect(1, 1, 264, 8));
  EXPECT_EQ(SmoothProgressRect(kInner, false, 0, 8, 3), TRect(1, 1, 100, 8));
  EXPECT_EQ(SmoothProgressRect(kInner, false, 5, 5, 5).Width(), 0);  // an empty range
  EXPECT_EQ(SmoothProgressRect(TRect(1, 1, 8, 101), true, 0, 4, 1), TRect(1, 76, 8, 101));  // from the bottom
  // A range spanning the whole of int: half way is half the bar, not a wrapped-around difference.
  EXPECT_EQ(SmoothProgressRect(kInner, false, INT_MIN, INT_MAX, 0).Right, 1 + kInner.Width() / 2 + 1);
  EXPECT_EQ(ProgressChunks(kInner, false, INT_MIN, INT_MAX, 0).size(), 26u);
  // 52 chunks of 3, 2 apart, 19 shown at 3 of 8; the first one pixel in.
  const std::vector<TRect> C = ProgressChunks(kInner, false, 0, 8, 3);
  ASSERT_EQ(C.size(), 19u);
  EXPECT_EQ(C[0], TRect(2, 1, 5, 8));
  EXPECT_EQ(C[1], TRect(7, 1, 10, 8));
  EXPECT_EQ(C[18].Left, 2 + 18 * 5);
  EXPECT_EQ(ProgressChunks(kInner, false, 0, 8, 8).size(), 52u);  // the rest after the last chunk is 1 pixel
  EXPECT_TRUE(ProgressChunks(kInner, false, 0, 8, 0).empty());
  EXPECT_TRUE(ProgressChunks(kInner, false, 3, 3, 3).empty());
  // A bar with no thickness has no chunks (no division by a chunk of nothing).
  EXPECT_TRUE(ProgressChunks(TRect(1, 1, 264, 1), false, 0, 8, 8).empty());
  EXPECT_TRUE(ProgressChunks(TRect(1, 1, 264, 3), false, 0, 8, 8).empty());
  // At Max a rest of more than 3 pixels gets a piece of its own.
  EXPECT_EQ(ProgressChunks(TRect(0, 0, 30, 10), false, 0, 1, 1).size(), 4u);  // 4 chunks of 5, 2 apart: rest 2
  const std::vector<TRect> Rest = ProgressChunks(TRect(0, 0, 46, 10), false, 0, 1, 1);  // 6 chunks: rest 4
  ASSERT_EQ(Rest.size(), 7u);
  EXPECT_EQ(Rest[5], TRect(36, 0, 41, 10));
  EXPECT_EQ(Rest.back(), TRect(43, 0, 45, 10));
  // The marquee: one block of 40, or 5 chunks of 9 wrapping to the start.
  EXPECT_EQ(MarqueePieces(kInner, false, true, 10), (std::vector<TRect>{TRect(11, 1, 51, 8)}));
  const std::vector<TRect> M = MarqueePieces(kInner, false, false, 250);
  ASSERT_EQ(M.size(), 5u);
  EXPECT_EQ(M[0], TRect(251, 1, 260, 8));
  EXPECT_EQ(M[1], TRect(261, 1, 264, 8));
  EXPECT_EQ(M[2], TRect(8, 1, 17, 8));
}

TEST(ProgressBar, SkinnedPictureOnTheSolidSkin) {
  Owned<TsSkinManager> Manager = SkinnedManager("SOLID");
  Owned<TForm> Form = NewForm(clBtnFace);
  for (bool Smooth : {true, false}) {
    TsProgressBar* P = PlaceOn<TsProgressBar>(Form.get(), 265, 9);
    P->SetSmooth(Smooth);
    P->SkinData()->SetSkinSection("BAR");
    P->SetMax(8);
    P->SetPosition(3);
    ASSERT_TRUE(P->SkinData()->IsSkinned());
    Dib32 Dib(265, 9, 0x123456, true);
    SendMessageA(P->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Dib.DC()), PRF_CLIENT);
    std::vector<TRect> Pieces = Smooth ? std::vector<TRect>{SmoothProgressRect(kInner, false, 0, 8, 3)}
                                       : ProgressChunks(kInner, false, 0, 8, 3);
    for (int x = 0; x < 265; ++x) {
      bool In = false;
      for (const TRect& R : Pieces) In = In || (x >= R.Left && x < R.Right);
      EXPECT_EQ(Dib.Rgb(x, 4), In ? 0x00C000u : 0x00FFFFu) << Smooth << " " << x;
    }
    P->Free();
  }
}

TEST(ProgressBar, ChunkedBarRebuildsOnlyWhenAChunkAppears) {
  Owned<TsSkinManager> Manager = SkinnedManager("SOLID");
  Owned<TForm> Form = NewForm(clBtnFace);
  TProbeBar* P = PlaceOn<TProbeBar>(Form.get(), 265, 9);
  P->SkinData()->SetSkinSection("BAR");
  P->SetMax(100);
  P->SetPosition(10);
  Dib32 Dib(265, 9, 0, true);
  auto Print = [&] { SendMessageA(P->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Dib.DC()), PRF_CLIENT); };
  Print();
  const int First = P->Builds;
  EXPECT_GE(First, 1);
  P->SetPosition(11);  // still 5 chunks
  Print();
  EXPECT_EQ(P->Builds, First);
  P->SetPosition(12);  // 6 chunks
  Print();
  EXPECT_EQ(P->Builds, First + 1);
  P->SetBounds(0, 0, 200, 9);  // a new size always rebuilds
  Print();
  EXPECT_EQ(P->Builds, First + 2);
}

TEST(ProgressBar, MarqueeStyleKeepsThePositionAndTellsAThemedControl) {
  ThemeServices()->ForceThemesEnabled(1);
  Platform().GetVersionExA = [](OSVERSIONINFOA* I) {
    I->dwMajorVersion = 5;
    I->dwMinorVersion = 1;
    return TRUE;
  };
  Owned<TForm> Form = NewForm(clBtnFace);
  TProbeBar* P = PlaceOn<TProbeBar>(Form.get(), 265, 9);
  P->SetPosition(37);
  P->HandleNeeded();
  P->Marquee.clear();
  P->SetStyle(pbstMarquee);
  EXPECT_NE(GetWindowLongA(P->Handle(), GWL_STYLE) & 8, 0);  // PBS_MARQUEE on the new window
  ASSERT_FALSE(P->Marquee.empty());
  EXPECT_EQ(P->Marquee[0], (std::pair<WPARAM, LPARAM>{TRUE, 10}));
  EXPECT_EQ(P->Marquee.back(), (std::pair<WPARAM, LPARAM>{TRUE, 100}));  // after the window was made again
  EXPECT_FALSE(P->MarqueeTimer()->Enabled());  // runs only while skinned
  P->SetPosition(80);
  P->SetStyle(pbstNormal);
  EXPECT_EQ(P->Position(), 37);
  EXPECT_EQ(GetWindowLongA(P->Handle(), GWL_STYLE) & 8, 0);
  ThemeServices()->ForceThemesEnabled(-1);
  ResetPlatform();
}

TEST(ProgressBar, MarqueeRunsWhileSkinned) {
  Owned<TsSkinManager> Manager = SkinnedManager("SOLID");
  Owned<TForm> Form = NewForm(clBtnFace);
  TsProgressBar* P = PlaceOn<TsProgressBar>(Form.get(), 265, 9);
  P->SkinData()->SetSkinSection("BAR");
  P->SetStyle(pbstMarquee);
  EXPECT_TRUE(P->MarqueeTimer()->Enabled());
  P->MarqueeTick();
  EXPECT_DOUBLE_EQ(P->MarqueePos(), 18.0 / 37 * 8);
  Manager->SetActive(false);
  P->MarqueeTick();
  EXPECT_FALSE(P->MarqueeTimer()->Enabled());
}
