// Track bars painted from the TRACKBAR section, and the 2-pixel edge of image statics.
#include <windows.h>
#include <commctrl.h>

#include "AdapterTestSupport.h"
#include "tests/skin/core/engine_support.h"
#include "skin/adapters/vkEdgeWnd.h"
#include "skin/adapters/vkTrackWnd.h"

using namespace adapter_test;

namespace {

constexpr uint32_t kThumb = 0x00A0A0, kThumbBand = 0x404000;
constexpr uint32_t kVThumb = 0xA0A000, kVThumbBand = 0x004040;
constexpr uint32_t kTickH = 0x112233, kTickV = 0x332211;

// WM_NCPAINTs that get past an adapter to the window's own procedure.
WNDPROC g_StaticProc = nullptr;
int g_NcPaints = 0;
LRESULT CALLBACK CountNcPaints(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
  if (Msg == WM_NCPAINT) ++g_NcPaints;
  return CallWindowProcA(g_StaticProc, W, Msg, WP, LP);
}

class Tracks : public HostedAdapterTest<400, 300> {
protected:
  HWND Track(DWORD Style, int W, int H) { return NewWindow(TRACKBAR_CLASSA, Parent, WS_VISIBLE | Style, 10, 10, W, H); }
  std::unique_ptr<testing_support::Dib32> Print(HWND W) { return PrintedWindow(W, 0x00123456); }
  // The track bar's channel and thumb.
  static std::pair<RECT, RECT> Rects(HWND W) {
    RECT Channel{}, Thumb{};
    SendMessageA(W, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&Channel));
    SendMessageA(W, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&Thumb));
    return {Channel, Thumb};
  }
  // Stretched images may be off by a step of the filter.
  static bool Near(uint32_t A, uint32_t B) {
    for (int S = 0; S < 24; S += 8)
      if (std::abs(static_cast<int>((A >> S) & 0xFF) - static_cast<int>((B >> S) & 0xFF)) > 2) return false;
    return true;
  }
  static uint32_t At(testing_support::Dib32& D, int X, int Y) {
    return X >= 0 && Y >= 0 && X < D.Width() && Y < D.Height() ? Rgb(D.Px(X, Y)) : 0xFFFFFFFF;
  }
};

TEST(TrackTicks, PlacesAlongTheChannelWithoutDividingByZero) {
  struct Case {
    int Count;
    std::vector<int> Expected;
  } Cases[] = {{0, {}}, {1, {15}}, {2, {15, 105}}, {10, {15, 25, 35, 45, 55, 65, 75, 85, 95, 105}}};
  for (const Case& C : Cases) {
    double Step = -1;
    EXPECT_EQ(C.Expected, TrackTickOffsets(C.Count, 10, 100, 10, Step)) << C.Count;
    EXPECT_EQ(C.Count > 1 ? 90.0 / (C.Count - 1) : 0.0, Step) << C.Count;
  }
}

TEST_F(Tracks, HorizontalBarsTickSidesAndTheStretchedThumb) {
  struct Case {
    DWORD Style;
    bool Above, Below;
  } Cases[] = {{0, false, true}, {TBS_TOP, true, false}, {TBS_BOTH, true, true}, {TBS_NOTICKS, false, false}};
  for (const Case& C : Cases) {
    HWND W = Track(C.Style, 200, 40);
    Adapt<TvkTrackWnd>(W, "TRACKBAR");
    const auto [Ch, Th] = Rects(W);
    ASSERT_NE(23, Th.bottom - Th.top) << "the default thumb must take the stretched branch";
    auto D = Print(W);
    const int Gap = ((Th.bottom - Th.top) - (Ch.bottom - Ch.top)) / 2 + 2;
    const int FirstTick = Ch.left + (Th.right - Th.left) / 2 - 1;  // the 1-pixel tick image steps back by its width
    EXPECT_EQ(C.Below, At(*D, FirstTick, Ch.bottom + Gap) == kTickH) << C.Style;
    EXPECT_EQ(C.Above, At(*D, FirstTick, Ch.top - Gap - 4) == kTickH) << C.Style;
    EXPECT_EQ(C.Above, CountRgb(*D, kTickH, RECT{0, 0, 200, Ch.top}) > 0) << C.Style;
    EXPECT_EQ(C.Below, CountRgb(*D, kTickH, RECT{0, Ch.bottom, 200, 40}) > 0) << C.Style;
    // The thumb fills its rectangle; its band lies at the bottom, mirrored to the top with ticks above.
    const int Mid = (Th.left + Th.right) / 2;
    EXPECT_TRUE(Near(kThumb, Rgb(D->Px(Mid, (Th.top + Th.bottom) / 2)))) << C.Style;
    const bool Mirrored = C.Style == TBS_TOP;
    EXPECT_TRUE(Near(kThumbBand, Rgb(D->Px(Mid, Mirrored ? Th.top : Th.bottom - 1)))) << C.Style;
    EXPECT_TRUE(Near(kThumb, Rgb(D->Px(Mid, Mirrored ? Th.bottom - 1 : Th.top)))) << C.Style;
  }
}

TEST_F(Tracks, TenTicksAndAThickThumbShownUnscaledFacingTheTicks) {
  for (const bool Top : {false, true}) {
    SCOPED_TRACE(Top ? "ticks above" : "ticks below");
    HWND W = Track(TBS_ENABLESELRANGE | TBS_AUTOTICKS | (Top ? TBS_TOP : 0), 200, 40);
    SendMessageA(W, TBM_SETRANGE, FALSE, MAKELPARAM(0, 9));
    SendMessageA(W, TBM_SETTICFREQ, 1, 0);
    Adapt<TvkTrackWnd>(W, "TRACKBAR");
    const auto [Ch, Th] = Rects(W);
    ASSERT_EQ(23, Th.bottom - Th.top);
    const int N = static_cast<int>(SendMessageA(W, TBM_GETNUMTICS, 0, 0));
    ASSERT_EQ(10, N);
    auto D = Print(W);
    const int Gap = ((Th.bottom - Th.top) - (Ch.bottom - Ch.top)) / 2 + 2;
    const int Row = Top ? Ch.top - Gap - 1 : Ch.bottom + Gap;
    EXPECT_EQ(10, CountRgb(*D, kTickH, TRect(0, Row, D->Width(), Row + 1)));
    // Unscaled: the band is exactly the image's last four rows, the first four when the thumb faces ticks above.
    const int Mid = (Th.left + Th.right) / 2;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(kThumbBand, Rgb(D->Px(Mid, Top ? Th.top + i : Th.bottom - 1 - i))) << i;
    EXPECT_EQ(kThumb, Rgb(D->Px(Mid, Top ? Th.top + 4 : Th.bottom - 5)));
  }
}

TEST_F(Tracks, VerticalBarsPressedThumbAndDisabledBlend) {
  HWND W = Track(TBS_VERT | TBS_LEFT, 40, 200);
  auto* A = Adapt<TvkTrackWnd>(W, "TRACKBAR");
  auto [Ch, Th] = Rects(W);
  // The channel comes back in the bar's own orientation here; it is turned only when it does not.
  if (Ch.right - Ch.left > Ch.bottom - Ch.top) Ch = RECT{Ch.top, Ch.left, Ch.bottom, Ch.right};
  auto D = Print(W);
  const int Gap = ((Th.right - Th.left) - (Ch.right - Ch.left)) / 2 + 2;
  const int FirstTick = Ch.top + (Th.bottom - Th.top) / 2 - 1;
  EXPECT_EQ(kTickV, Rgb(D->Px(Ch.left - Gap - 4, FirstTick)));
  EXPECT_EQ(0, CountRgb(*D, kTickV, RECT{Ch.right, 0, 40, 200}));
  const int MidY = (Th.top + Th.bottom) / 2;
  EXPECT_TRUE(Near(kVThumb, Rgb(D->Px((Th.left + Th.right) / 2, MidY))));
  EXPECT_TRUE(Near(kVThumbBand, Rgb(D->Px(Th.left, MidY))));  // mirrored: the band on the left
  // The left button shows the pressed thumb until it comes up.
  A->PerformMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  EXPECT_TRUE(A->Pressed);
  A->PerformMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_FALSE(A->Pressed);
  A->Pressed = true;
  D = Print(W);
  EXPECT_TRUE(Near(0xF0A000, Rgb(D->Px((Th.left + Th.right) / 2, MidY))));
  A->Pressed = false;
  EnableWindow(W, FALSE);
  D = Print(W);
  const uint32_t Blended = Rgb(D->Px((Th.left + Th.right) / 2, MidY));
  EXPECT_FALSE(Near(kVThumb, Blended));
  EXPECT_NE(Rgb(D->Px(0, 0)), Blended);
}

TEST_F(Tracks, EdgedStaticGetsTwoPixelsOfTheEditRing) {
  HWND W = NewWindow("STATIC", Parent, WS_VISIBLE | SS_ICON, 10, 10, 40, 40, "", WS_EX_STATICEDGE);
  g_StaticProc = reinterpret_cast<WNDPROC>(SetWindowLongA(W, GWL_WNDPROC, reinterpret_cast<LONG>(&CountNcPaints)));
  Adapt<TvkEdgeWnd>(W, "EDIT");
  testing_support::Dib32 D(40, 40, 0x00123456, true);
  TMessage Msg{WM_PAINT, reinterpret_cast<WPARAM>(D.DC()), 0, 0};
  g_NcPaints = 0;
  Adapters.back()->PerformMessage(WM_NCPAINT, 0, 0);
  EXPECT_EQ(g_NcPaints, 0);  // consumed: the static's own edge is never drawn
  static_cast<TvkEdgeWnd*>(Adapters.back())->PaintToDC(Msg);
  // The edge's two rings; inside it the control's own image stays.
  ExpectPixels(D, {{0, 0, 0x808080}, {39, 20, 0x808080}, {1, 20, 0xFFFFFF}, {20, 38, 0xFFFFFF}, {2, 20, 0x123456},
                   {20, 20, 0x123456}});
}

// In a skin without a "TRACKBAR" section a track bar shows its own section's background only: no channel, ticks
// or thumb.
TEST_F(AdapterTest, ATrackBarInASkinWithoutTrackBarsShowsItsBackgroundOnly) {
  engine_test::TempFolder Dir;
  ManagerPtr M = TextSkinManager(Dir.Sub("NOTRACKS"), "[PANEL]\nSTATES=1\nCOLOR=$30A050\nFONTCOLOR=0\n");
  ASSERT_LT(M->FindSectionIndex("TRACKBAR"), 0);
  HWND W = NewWindow(TRACKBAR_CLASSA, Host(300, 100), WS_VISIBLE | TBS_AUTOTICKS, 10, 10, 200, 40);
  auto* A = CreateAdapter<TvkTrackWnd>(W, nullptr, M.get(), SkinParams("PANEL"), true);
  auto D = PrintedWindow(W, 0x00123456);
  EXPECT_EQ(0x50A030u, Rgb(D->Px(0, 0))) << "the section's colour";
  EXPECT_EQ(0, D->CountNot(D->Px(0, 0))) << "something besides the background";
  A->Free();
}

}  // namespace
