// The gauge: range rules, the percentage and its repaint economy, the unskinned kinds and the skinned bar on
// the SOLID test skin.
#include <gtest/gtest.h>

#include <functional>

#include "ControlsTestSupport.h"
#include "framework/SysUtils.h"
#include "skin/controls/sGauge.h"
#include "skin/core/sVclUtils.h"
#include "tests/support/GdiLeaks.h"

using namespace controls_test;

namespace {

// Counts the repaints the gauge asks for.
class TCountingGauge : public TsGauge {
public:
  using TsGauge::TsGauge;
  int Invalidations = 0;
  void Invalidate() override {
    ++Invalidations;
    TsGauge::Invalidate();
  }
  void MarkLoading() { SetComponentStateItem(csLoading, true); }
};

Owned<TsGauge> NewGauge() { return Owned<TsGauge>(new TsGauge(nullptr)); }

// A 100 x 10 gauge on Form painted from the skin's "BAR" section.
TsGauge* BarGauge(TForm* Form) {
  TsGauge* G = PlaceOn<TsGauge>(Form, 100, 10);
  G->SkinData()->SetSkinSection("BAR");
  return G;
}

}  // namespace

TEST(Gauge, PercentRoundsHalvesToEven) {
  struct Case {
    int64_t Max, Progress;
    int Percent;
  };
  for (const Case& C : {Case{8, 1, 12}, Case{8, 3, 38}, Case{8, 5, 62}, Case{200, 1, 0}, Case{200, 3, 2}, Case{0, 0, 0}}) {
    Owned<TsGauge> G = NewGauge();
    G->SetMaxValue(C.Max);
    G->SetProgress(C.Progress);
    EXPECT_EQ(G->PercentDone(), C.Percent) << C.Max << "/" << C.Progress;
  }
  EXPECT_EQ(GaugeFilledByPosition(5, 5, 5, 100), 0);  // an empty range fills nothing
  EXPECT_EQ(GaugeFilledByPosition(0, 8, 1, 100), 12);
  EXPECT_EQ(GaugeFilledLength(287, 50), 144);  // 143.5 to even
}

TEST(Gauge, ProgressIsClampedAndChangeReportedOnlyOnChange) {
  Owned<TsGauge> G = NewGauge();
  int Changes = 0;
  G->OnChange = [&](TObject*) { ++Changes; };
  G->SetMaxValue(60000);
  G->SetProgress(1000000);
  EXPECT_EQ(G->Progress(), 60000);
  EXPECT_EQ(Changes, 1);
  G->SetProgress(60001);  // already at the maximum: nothing happens
  EXPECT_EQ(Changes, 1);
  G->SetProgress(-5);
  EXPECT_EQ(G->Progress(), 0);
  EXPECT_EQ(Changes, 2);
  // All 64 bits take part: a position past 32 bits is not wrapped back into the range.
  G->SetProgress(int64_t{0x100000005});
  EXPECT_EQ(G->Progress(), 60000);
}

TEST(Gauge, RepaintsWhenTheShownNumberChanges) {
  // With percents a million steps repaint at most 101 times; with the raw position every step shows.
  struct Case {
    bool CalcPercents, ShowText;
    int MaxRepaints;
  };
  for (const Case& C : {Case{true, true, 101}, Case{false, true, 60000}, Case{false, false, 101}}) {
    Owned<TCountingGauge> G(new TCountingGauge(nullptr));
    G->SetMaxValue(60000);
    G->SetCalcPercents(C.CalcPercents);
    G->SetShowText(C.ShowText);
    int Changes = 0;
    G->OnChange = [&](TObject*) { ++Changes; };
    const int Before = G->Invalidations;
    for (int Run = 0; Run < 1000000; ++Run) G->SetProgress(G->Progress() + 1);
    EXPECT_EQ(Changes, 60000);
    EXPECT_LE(G->Invalidations - Before, C.MaxRepaints) << C.CalcPercents << C.ShowText;
    if (!C.CalcPercents && C.ShowText) {
      EXPECT_EQ(G->Invalidations - Before, 60000);
    }
    EXPECT_EQ(G->PercentDone(), 100);
  }
}

TEST(Gauge, RangeEdges) {
  Owned<TsGauge> G = NewGauge();
  G->SetProgress(80);
  G->SetMaxValue(50);  // pulls the position down
  EXPECT_EQ(G->Progress(), 50);
  G->SetMinValue(50);
  EXPECT_EQ(G->PercentDone(), 0);  // an empty range shows 0
  // The message of the refusal ("" for none).
  auto Refused = [](const std::function<void()>& Set) {
    try {
      Set();
    } catch (const EInvalidOperation& E) {
      return E.Message();
    }
    return std::string();
  };
  EXPECT_EQ(Refused([&] { G->SetMaxValue(10); }), "Value must be between 51 and 2147483647");
  EXPECT_EQ(Refused([&] { G->SetMinValue(70); }), "Value must be between -2147483647 and 49");
  // what an empty HEX file would ask for; the program keeps it at 0
  EXPECT_NE(Refused([&] { G->SetMaxValue(-1); }), "");
  // While a stored form is read, a minimum above the maximum is accepted.
  Owned<TCountingGauge> Loading(new TCountingGauge(nullptr));
  Loading->MarkLoading();
  Loading->SetMinValue(500);
  EXPECT_EQ(Loading->MinValue(), 500);
}

TEST(Gauge, UnskinnedBarInsideItsFrame) {
  Owned<TForm> Form = NewForm(clBtnFace);
  TsGauge* G = PlaceOn<TsGauge>(Form.get(), 289, 17);
  G->SetForeColor(clMaroon);
  G->SetShowText(false);
  G->SetProgress(50);
  Dib32 Dib(289, 17, 0x123456, true);
  PaintGraphic(G, Dib);
  for (int x = 0; x < 289; ++x) {
    EXPECT_EQ(Dib.Rgb(x, 0), 0u) << x;
    EXPECT_EQ(Dib.Rgb(x, 16), 0u) << x;
    const uint32_t Expected = x == 0 || x == 288 ? 0x000000 : x <= 144 ? 0x800000 : 0xFFFFFF;
    EXPECT_EQ(Dib.Rgb(x, 8), Expected) << x;
  }
  // The text shows inverted over both parts.
  G->SetShowText(true);
  Dib32 Text(289, 17, 0x123456, true);
  PaintGraphic(G, Text);
  EXPECT_GT(CountRgb(Text, 0x800000 ^ 0xFFFFFF), 0);
  EXPECT_GT(CountRgb(Text, 0x000000), 289 * 2 + 15 * 2);
}

TEST(Gauge, UnskinnedKinds) {
  struct Case {
    TsGaugeKind Kind;
    int Percent;
    POINT Fore, Back;  // a point of the filled part and one of the empty part
  };
  const Case Cases[] = {
      {gkVerticalBar, 25, {10, 40}, {10, 20}},
      {gkPie, 25, {40, 15}, {15, 15}},   // clockwise from 12 o'clock: the upper right quarter
      {gkPie, 75, {15, 35}, {15, 15}},   // all but the upper left quarter
      {gkText, 60, {-1, -1}, {25, 25}},
  };
  for (const Case& C : Cases) {
    Owned<TForm> Form = NewForm(clWhite);
    TsGauge* G = PlaceOn<TsGauge>(Form.get(), 50, 50);
    G->SetKind(C.Kind);
    G->SetShowText(false);
    G->SetBackColor(clYellow);
    G->SetForeColor(clBlue);
    G->SetProgress(C.Percent);
    Dib32 Dib(50, 50, 0x123456, true);
    PaintGraphic(G, Dib);
    if (C.Fore.x >= 0) {
      EXPECT_EQ(Dib.Rgb(C.Fore.x, C.Fore.y), 0x0000FFu) << C.Kind << " " << C.Percent;
    }
    EXPECT_EQ(Dib.Rgb(C.Back.x, C.Back.y), 0xFFFF00u) << C.Kind << " " << C.Percent;
  }
  // The needle: at 50 % straight up from the middle of the bottom edge, nothing at 0 %.
  for (int Percent : {0, 50}) {
    Owned<TForm> Form = NewForm(clWhite);
    TsGauge* G = PlaceOn<TsGauge>(Form.get(), 51, 30);
    G->SetKind(gkNeedle);
    G->SetShowText(false);
    G->SetForeColor(clBlue);
    G->SetProgress(Percent);
    Dib32 Dib(51, 30, 0x123456, true);
    PaintGraphic(G, Dib);
    EXPECT_EQ(Dib.Rgb(25, 20) == 0x0000FF, Percent == 50) << Percent;
  }
}

TEST(Gauge, SkinnedBarFilledFromTheProgressSection) {
  Owned<TsSkinManager> M = SkinnedManager("SOLID");
  const uint32_t Bar = 0x00FFFF, Horz = 0x00C000, Vert = 0x0000C0;
  struct Case {
    TsGaugeKind Kind;
    bool Animated;
    int W, H;
    uint32_t Fill;
  };
  for (const Case& C : {Case{gkHorizontalBar, false, 100, 10, Horz}, Case{gkVerticalBar, false, 10, 100, Vert},
                        Case{gkVerticalBar, true, 10, 100, Horz}}) {
    Owned<TForm> Form = NewForm(clBtnFace);
    TsGauge* G = PlaceOn<TsGauge>(Form.get(), C.W, C.H);
    G->SkinData()->SetSkinSection("BAR");
    G->SetKind(C.Kind);
    G->SetAnimated(C.Animated);
    G->SetShowText(false);
    G->SetMaxValue(8);
    G->SetProgress(1);
    ASSERT_TRUE(G->SkinData()->IsSkinned());
    Dib32 Dib(C.W, C.H, 0x123456, true);
    PaintGraphic(G, Dib);
    // 12 of 100 pixels from the start edge: the left, or the bottom of a vertical gauge.
    for (int i = 0; i < 100; ++i) {
      const uint32_t P = C.Kind == gkHorizontalBar ? Dib.Rgb(i, 5) : Dib.Rgb(5, 99 - i);
      EXPECT_EQ(P, i < 12 ? C.Fill : Bar) << C.Kind << " " << C.Animated << " at " << i;
    }
  }
}

TEST(Gauge, HighlightRunsOverTheFilledPartInsideItsShape) {
  Owned<TsSkinManager> M = SkinnedManager("SOLID");
  M->Effects()->SetAllowAnimation(true);
  Owned<TForm> Form = NewForm(clBtnFace);
  TsGauge* G = BarGauge(Form.get());
  G->SetShowText(false);
  G->SetProgress(100);
  // The first tick starts a run left of the bar; each moves it by at least 12 pixels.
  ASSERT_TRUE(G->SkinData()->IsSkinned());
  EXPECT_EQ(G->HighlightPos(), 9999);
  G->HighlightTick();
  EXPECT_EQ(G->HighlightPos(), -288);
  for (int i = 0; i < 25; ++i) G->HighlightTick();
  EXPECT_EQ(G->HighlightPos(), 12);
  Dib32 Dib(100, 10, 0x123456, true);
  PaintGraphic(G, Dib);
  // Lighter than the progress colour under the highlight, except at the shape's key corners.
  EXPECT_EQ(Dib.Rgb(11, 5), 0x00C000u);  // left of the highlight
  EXPECT_NE(Dib.Rgb(40, 5), 0x00C000u);
  EXPECT_EQ(Dib.Rgb(99, 0), 0x00C000u);
  EXPECT_EQ(Dib.Rgb(99, 9), 0x00C000u);
  EXPECT_NE(Dib.Rgb(98, 0), 0x00C000u);
  EXPECT_NE(Dib.Rgb(99, 1), 0x00C000u);
  // Without a skin the timer stops at its next tick.
  G->AnimTimer()->SetEnabled(true);
  M->SetActive(false);
  G->HighlightTick();
  EXPECT_FALSE(G->AnimTimer()->Enabled());
  // It runs again when the skin comes back, on an animated gauge only, and never while animations are forbidden.
  for (const bool Animated : {true, false}) {
    G->SetAnimated(Animated);
    M->SetActive(false);
    M->SetActive(true);
    EXPECT_EQ(G->AnimTimer()->Enabled(), Animated);
  }
  M->Effects()->SetAllowAnimation(false);
  G->SetAnimated(true);
  EXPECT_FALSE(G->AnimTimer()->Enabled());
}

TEST(Gauge, InsideAnUpdateNothingIsPaintedStraightIntoTheParent) {
  Owned<TsSkinManager> M = SkinnedManager("SOLID");
  Owned<TForm> Form = NewForm(clBtnFace);
  TsGauge* G = BarGauge(Form.get());
  G->SetShowText(false);
  G->SkinData()->Updating = true;
  Dib32 Dib(100, 10, 0x123456, true);
  PaintGraphic(G, Dib);
  EXPECT_EQ(Dib.CountNot(Dib.Px(0, 0)), 0);
  EXPECT_EQ(Dib.Rgb(0, 0), 0x123456u);  // no key-coloured dot
  // Among the graphic children of a parent, the key pixel keeps what the parent's DC shows there.
  Dib32 Parent(320, 200, 0x123456, true);
  PaintGraphicChildren(Parent.DC(), Form.get(), false, POINT{0, 0});
  EXPECT_EQ(Parent.Rgb(50, 5), 0x123456u);
  G->SkinData()->Updating = false;
  PaintGraphicChildren(Parent.DC(), Form.get(), false, POINT{0, 0});
  EXPECT_EQ(Parent.Rgb(50, 5), 0x00FFFFu);
}

TEST(Gauge, PaintingGivesBackItsGdiObjects) {
  Owned<TsSkinManager> M = SkinnedManager("SOLID");
  M->Effects()->SetAllowAnimation(true);
  Owned<TForm> Form = NewForm(clBtnFace);
  TsGauge* G = BarGauge(Form.get());
  G->SetProgress(60);
  Dib32 Dib(100, 10, 0, true);
  for (TsGaugeKind Kind : {gkHorizontalBar, gkVerticalBar, gkPie}) {
    G->SetKind(Kind);
    G->HighlightTick();
    PaintGraphic(G, Dib);  // the pictures the gauge keeps: its bar and the highlight
    EXPECT_TRUE(testing_support::GivesBackGdiObjects(20, [&] {
      G->HighlightTick();
      PaintGraphic(G, Dib);
    })) << Kind;
  }
  M->SetActive(false);
  PaintGraphic(G, Dib);  // the font's handle, made once
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(20, [&] { PaintGraphic(G, Dib); }));
}
