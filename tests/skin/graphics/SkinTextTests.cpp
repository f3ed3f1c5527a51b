// Text in skin colours: contour passes, the disabled mix, the shift of colours, cut texts and ellipses.
// Fonts are non-antialiased so text pixels carry exactly the colour drawn; glyph shapes are never compared
// with fixed pictures, only with the same text drawn by hand.
#include <gtest/gtest.h>

#include <memory>

#include "PainterSkin.h"
#include "framework/ExtCtrls.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkSkinText.h"

using namespace painter_test;

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;

// A 60 x 24 white bitmap whose canvas uses a 14-pixel non-antialiased font.
struct TextBitmap {
  BitmapPtr Bmp = Make32(60, 24, kWhite);
  HFONT Font = CreateFontA(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
  TextBitmap() { Bmp->Canvas()->Font()->SetHandle(Font); }
  ~TextBitmap() {
    Bmp.reset();
    DeleteObject(Font);
  }
  // The text drawn by hand: one DrawText per (colour, dx, dy).
  void DrawByHand(const char* Text, std::initializer_list<std::tuple<uint32_t, int, int>> Passes) {
    HDC DC = Bmp->Canvas()->Handle();
    HGDIOBJ Old = SelectObject(DC, Font);
    SetBkMode(DC, TRANSPARENT);
    for (auto [Color, dx, dy] : Passes) {
      RECT R{10 + dx, 4 + dy, 50 + dx, 20 + dy};
      SetTextColor(DC, Color);
      DrawTextA(DC, Text, -1, &R, DT_SINGLELINE);
    }
    SelectObject(DC, Old);
    GdiFlush();
  }
  bool SameAs(TextBitmap& Other) {
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 60; ++x)
        if ((At(Bmp.get(), x, y) & 0xFFFFFF) != (At(Other.Bmp.get(), x, y) & 0xFFFFFF)) return false;
    return true;
  }
};

const TRect kTextRect(10, 4, 50, 20);

}  // namespace

TEST(SkinText, DrawStringOnDCCutsLongTexts) {
  TextBitmap T;
  HDC DC = T.Bmp->Canvas()->Handle();
  HFONT Tiny = CreateFontA(-3, 0, 0, 0, 0, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
  HGDIOBJ Old = SelectObject(DC, Tiny);
  // Lines of one letter each: the height counts the characters passed on.
  auto Height = [&](int n) {
    std::string Text;
    for (int i = 0; i < n; ++i) Text += i % 2 ? '\n' : 'a';
    TRect R(0, 0, 100, 0);
    DrawStringOnDC(DC, Text, R, DT_CALCRECT | DT_NOPREFIX);
    return R.Height();
  };
  EXPECT_EQ(Height(6000), Height(5460));
  EXPECT_GT(Height(5460), Height(5458));
  SelectObject(DC, Old);
  DeleteObject(Tiny);
}

TEST(SkinText, SectionTextDrawsContoursInOrderThenTheFontColour) {
  auto M = NewManager();
  const int S = AddSection(M.get(), "LABEL", 0xFFFFFF, 0);
  TsGenState& St = StateOf(M.get(), S, 1);
  St.FontColor = 0x0000FF;
  // One contour side at a time, then all four: each pass moved one pixel its way.
  struct Case { int L, T, R, B; };
  const Case cases[] = {{0x00FF00, -1, -1, -1}, {-1, 0xFF0000, -1, -1}, {-1, -1, 0x00FFFF, -1},
                        {-1, -1, -1, 0xFF00FF}, {0x00FF00, 0xFF0000, 0x00FFFF, 0x808080}, {-1, -1, -1, -1}};
  for (const Case& c : cases) {
    St.TCLeft = c.L;
    St.TCTop = c.T;
    St.TCRight = c.R;
    St.TCBottom = c.B;
    TextBitmap Got, Want;
    DrawSectionText(Got.Bmp->Canvas(), "Hg", true, M.get(), 1, S, DT_SINGLELINE, kTextRect);
    GdiFlush();
    Want.DrawByHand("Hg", {});
    const int Contour[4] = {c.L, c.T, c.R, c.B};
    const int Dx[4] = {-1, 0, 1, 0}, Dy[4] = {0, -1, 0, 1};
    for (int i = 0; i < 4; ++i)
      if (Contour[i] != -1) Want.DrawByHand("Hg", {{static_cast<uint32_t>(Contour[i]), Dx[i], Dy[i]}});
    Want.DrawByHand("Hg", {{0x0000FF, 0, 0}});
    EXPECT_TRUE(Got.SameAs(Want)) << c.L << " " << c.T << " " << c.R << " " << c.B;
  }
}

TEST(SkinText, DisabledSectionTextMixesFontTowardColourAndMissingSectionUsesTheCanvasFont) {
  auto M = NewManager();
  const int S = AddSection(M.get(), "LABEL", 0xFFFFFF, 0);
  StateOf(M.get(), S, 0).FontColor = 0x000000;
  StateOf(M.get(), S, 0).TCLeft = 0x00FF00;  // no contours when disabled
  TextBitmap Got, Want;
  DrawSectionText(Got.Bmp->Canvas(), "Hg", false, M.get(), 1, S, DT_SINGLELINE, kTextRect);
  GdiFlush();
  Want.DrawByHand("Hg", {{0x9A9A9A, 0, 0}});  // 255 * 155 shr 8 = 154
  EXPECT_TRUE(Got.SameAs(Want));
  TextBitmap Plain, PlainWant;
  Plain.Bmp->Canvas()->Font()->SetColor(0x123456);
  Plain.Bmp->Canvas()->Font()->SetHandle(Plain.Font);
  DrawSectionText(Plain.Bmp->Canvas(), "Hg", true, M.get(), 0, S + 5, DT_SINGLELINE, kTextRect);
  GdiFlush();
  PlainWant.DrawByHand("Hg", {{0x123456, 0, 0}});
  EXPECT_TRUE(Plain.SameAs(PlainWant));
}

TEST(SkinText, ColourShiftsKeepTheColourValueOrder) {
  // Colourising by a pure red tone keeps red in byte 0: the brightest channel 128 times 255, shr 8.
  EXPECT_EQ(TransformColorByShifts(0x000080, 0x0000FF, 0, 0), 0x00007Fu);
  EXPECT_EQ(TransformColorByShifts(0x204060, NoColor32, 0, 0), 0x204060u);
  // A system colour as the tone stands for its colour: each channel of it times 128, shr 8.
  const uint32_t Sys = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(TransformColorByShifts(0x000080, clHighlight, 0, 0),
            ((Sys & 0xFF) >> 1) | (((Sys >> 8) & 0xFF) >> 1) << 8 | (((Sys >> 16) & 0xFF) >> 1) << 16);
  // Hue turned a third of the way: red becomes green.
  EXPECT_EQ(TransformColorByShifts(0x0000FF, NoColor32, 120, 0), 0x00FF00u);
  // Saturation -100 (scaled to -256) makes a grey.
  const uint32_t g = TransformColorByShifts(0x0000FF, NoColor32, 0, -100);
  EXPECT_NEAR(static_cast<int>(g & 0xFF), static_cast<int>((g >> 8) & 0xFF), 1);
  EXPECT_NEAR(static_cast<int>(g & 0xFF), static_cast<int>((g >> 16) & 0xFF), 1);
}

TEST(SkinText, EllipsisFitting) {
  TextBitmap T;
  TCanvas* C = T.Bmp->Canvas();
  // the width of the dots alone: no room for one letter and the dots
  std::string R;  // one string through every call: each result replaces the last
  for (const auto& [Width, Want] : {std::pair{0, ""}, {C->TextWidth("..."), ""}, {1000, "Hello"}, {C->TextWidth("He..."), "He..."}}) {
    FitTextWithEllipsis(C, "Hello", Width, R);
    EXPECT_EQ(R, Want) << Width;
  }
}

TEST(SkinText, SameFontLookComparesColourToo) {
  TFont A, B;
  EXPECT_TRUE(SameFontLook(&A, &B));
  B.SetColor(0x0000FF);
  EXPECT_FALSE(SameFontLook(&A, &B));
}

TEST(SkinText, ControlTextEmbossedWhenUnskinnedAndShiftedWhenSkinned) {
  auto M = NewManager();
  const int S = AddSection(M.get(), "BUTTON_X", 0xFFFFFF, 0);
  TsGenState& St = StateOf(M.get(), S, 0);
  St.FontColor = 0x000080;
  St.TCBottom = 0x808000;
  std::unique_ptr<TsCommonData> D(new TsCommonData(nullptr, false));
  D->SetSkinManager(M.get());
  // Unskinned (no section) and disabled: highlight one pixel lower right, then shadow.
  TextBitmap Got, Want;
  DrawControlText(Got.Bmp->Canvas(), "Hg", false, 0, D.get(), DT_SINGLELINE, kTextRect);
  GdiFlush();
  Want.DrawByHand("Hg", {{GetSysColor(COLOR_BTNHIGHLIGHT), 1, 1}, {GetSysColor(COLOR_BTNSHADOW), 0, 0}});
  EXPECT_TRUE(Got.SameAs(Want));
  // Skinned with a hue shift: the contour and the font colour both turned.
  D->SkinIndex = S;
  D->SetHUEOffset(120);
  TextBitmap Got2, Want2;
  DrawControlText(Got2.Bmp->Canvas(), "Hg", true, 0, D.get(), DT_SINGLELINE, kTextRect);
  GdiFlush();
  Want2.DrawByHand("Hg", {{TransformColorByShifts(0x808000, NoColor32, 120, 0), 0, 1},
                          {TransformColorByShifts(0x000080, NoColor32, 120, 0), 0, 0}});
  EXPECT_TRUE(Got2.SameAs(Want2));
  EXPECT_EQ(TransformColorBySkinData(0x000080, D.get()), 0x008000u);
  // A custom font is drawn as the canvas holds it: its own colour, no contour.
  D->SetCustomFont(true);
  TextBitmap Got3, Want3;
  const uint32_t Own = ColorToRGB(Got3.Bmp->Canvas()->Font()->Color());
  DrawControlText(Got3.Bmp->Canvas(), "Hg", true, 0, D.get(), DT_SINGLELINE, kTextRect);
  GdiFlush();
  Want3.DrawByHand("Hg", {{Own, 0, 0}});
  EXPECT_TRUE(Got3.SameAs(Want3));
  // A glow lays its colour into the control's cache around the letters, before them.
  D->SetCustomFont(false);
  D->SetHUEOffset(0);
  St.GlowSize = 3;
  St.GlowColor = 0x0000FF;
  TextBitmap Got4, Want4;
  D->CacheBmp = Got4.Bmp.get();
  DrawControlText(Got4.Bmp->Canvas(), "Hg", true, 0, D.get(), DT_SINGLELINE, kTextRect);
  D->CacheBmp = nullptr;
  GdiFlush();
  Want4.DrawByHand("Hg", {{0x808000, 0, 1}, {0x000080, 0, 0}});
  int Reddened = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 60; ++x) {
      const uint32_t P = At(Got4.Bmp.get(), x, y);
      Reddened += At(Want4.Bmp.get(), x, y) == kWhite && testing_support::Channel(P, 0) + 16 < testing_support::Channel(P, 2);
    }
  EXPECT_GT(Reddened, 20);
}

namespace {
// A caption's owner: its state-section answer names Named (1), keeps the caption's own section (-1) or none (0).
struct TNamingOwner : TGraphicControl {
  using TGraphicControl::TGraphicControl;
  LRESULT Answer = -1;
  int Named = -1;
  void WndProc(TMessage& M) override {
    if (M.Msg != SM_VKCMD || SkinCommandCode(M.WParam) != VKCMD_QUERY_STATE_SECTION) return TGraphicControl::WndProc(M);
    reinterpret_cast<TvkStateSectionRequest*>(M.LParam)->SectionIndex = Named;
    M.Result = Answer;
  }
};
}  // namespace

TEST(SkinText, AButtonCaptionTakesTheColourOfTheSectionItsOwnerNames) {
  auto M = NewManager();
  const int Button = AddSection(M.get(), "BUTTON", 0xFFFFFF, 0), Behind = AddSection(M.get(), "PANEL", 0xFFFFFF, 0);
  M->EditModel().ConstData.Sections[ssButton] = Button;
  StateOf(M.get(), Button, 0).FontColor = 0x000080;
  StateOf(M.get(), Behind, 0).FontColor = 0x008000;
  Owned<TPanel> Parent(new TPanel(nullptr));
  Parent->Font()->SetColor(static_cast<TColor>(0x808000));
  auto* Owner = new TNamingOwner(Parent.get());
  Owner->SetParent(Parent.get());
  Owner->Named = Behind;
  std::unique_ptr<TsCommonData> D(new TsCommonData(Owner, false));
  D->SetSkinManager(M.get());
  D->SkinIndex = Button;
  // The named section, its own, none: plain text in the parent's font colour.
  for (auto [Answer, Want] : {std::pair{1, 0x008000u}, {-1, 0x000080u}, {0, 0x808000u}}) {
    Owner->Answer = Answer;
    TextBitmap Got, Drawn;
    DrawControlText(Got.Bmp->Canvas(), "Hg", true, 0, D.get(), DT_SINGLELINE, kTextRect);
    Drawn.DrawByHand("Hg", {{Want, 0, 0}});
    EXPECT_TRUE(Got.SameAs(Drawn)) << Answer;
  }
}
