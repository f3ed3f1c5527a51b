// The HTML renderer through a probe that records every piece of text it outputs, where and in which font.
#include <gtest/gtest.h>

#include "framework/Graphics.h"
#include "skin/controls/sHtmlParse.h"
#include "tests/support/Bitmaps.h"

using namespace testing_support;

namespace {

struct TOutput {
  std::string Text;
  int X, Y;
  int Bottom;  // of the rectangle an alpha run is drawn in (plain runs: -1)
  TColor Color;
  TFontStyles Style;
  int Size;
  std::string Face;
};

class TProbeHtml : public TsHtml {
public:
  std::vector<TOutput> Out;
  std::string Shown() const {
    std::string S;
    for (const TOutput& O : Out) S += O.Text;
    return S;
  }

protected:
  void TextAt(int X, int Y, const std::string& S) override {
    TFont* F = Bitmap->Canvas()->Font();
    Out.push_back({S, X, Y, -1, F->Color(), F->Style(), F->Size(), F->Name()});
  }
  void TextInRect(const TRect& R, const std::string& S) override {
    TextAt(R.Left, R.Top, S);
    Out.back().Bottom = R.Bottom;
  }
};

struct HtmlFixture {
  BitmapPtr Bmp = Bitmap32(300, 200);
  TProbeHtml Html;
  TvkLinks Links;
  HtmlFixture() {
    Bmp->Canvas()->Font()->SetName("Tahoma");
    Bmp->Canvas()->Font()->SetSize(8);
    Bmp->Canvas()->Font()->SetColor(clBlack);
  }
  TRect Run(const std::string& Text, TRect Bounds = TRect(0, 0, 0, 0), int Pressed = -1, int Hot = -1) {
    Html.Init(Bmp.get(), Text, Pressed, Hot, Bounds);
    return Html.Render(Links, false);
  }
  int Width(const std::string& S) { return Bmp->Canvas()->TextWidth(S); }
  int Height(const std::string& S) { return Bmp->Canvas()->TextHeight(S); }
};

}  // namespace

TEST(HtmlRenderer, ScanningShowsWhatIsNotMarkup) {
  const std::vector<std::pair<std::string, std::string>> Cases = {
      {"a&&b", "a&b"},          {"a &amp; b", "a & b"},     {"&copy ;", "&copy ;"},   {"&Aacute;", "\xC1"},
      {"&aacute;", "\xE1"},     {"&#193;", "\xC1"},         {"&trade;&#153;", "\x99\x99"},
      {"&#39;", "'"},           {"&nosuch;", "&nosuch;"},   {"x<<y", "x<y"},          {"a<q>b", "a<q>b"},
      {"a<b", "ab"},            {"a<BR />b", "a<BR />b"},   {"l1\r\nl2", "l1l2"},     {"<b>x</b><i>y</i>", "xy"},
      {"</x>z", "</x>z"},
  };
  for (const auto& [Source, Expected] : Cases) {
    HtmlFixture F;
    F.Run(Source);
    EXPECT_EQ(F.Html.Shown(), Expected) << Source;
  }
}

TEST(HtmlRenderer, StyleAndFontTagsHoldUntilTheirClosingTag) {
  struct Case {
    const char* Source;
    TColor Color;
    int Size;
    const char* Face;
    TFontStyles Style;
  };
  const Case Cases[] = {
      {"<b>R</b>", clBlack, 8, "Tahoma", {fsBold}},
      {"<u>R</u>", clBlack, 8, "Tahoma", {fsUnderline}},
      {"<b>R</BR>", clBlack, 8, "Tahoma", {fsBold}},  // "</BR>" closes B, as written
      {"<font color=red>R</font>", 0x0000FF, 8, "Tahoma", {}},
      {"<font color=#FF0000>R</font>", 0x0000FF, 8, "Tahoma", {}},
      {"<font color=\"#00FF00\">R</font>", 0x00FF00, 8, "Tahoma", {}},
      {"<font color=nosuch>R</font>", 0x000000, 8, "Tahoma", {}},  // an unknown name reads as hex: black
      {"<font color=red size=20>R</font>", 0x0000FF, 8, "Tahoma", {}},
      {"<font size=20 color=navy>R</font>", 0x800000, 20, "Tahoma", {}},
      {"<font size=+2>R</font>", clBlack, 10, "Tahoma", {}},
      {"<font size=-3>R</font>", clBlack, 5, "Tahoma", {}},
      {"<font size=abc>R</font>", clBlack, 8, "Tahoma", {}},  // no number: ignored instead of raised
      {"<font face=Arial>R</font>", clBlack, 8, "Tahoma", {}},
      {"<font face=\"Arial\">R</font>", clBlack, 8, "ARIAL", {}},
  };
  for (const Case& C : Cases) {
    HtmlFixture F;
    ASSERT_NO_THROW(F.Run(std::string(C.Source) + "n")) << C.Source;
    ASSERT_EQ(F.Html.Out.size(), 2u) << C.Source;
    EXPECT_EQ(F.Html.Out[0].Color, C.Color) << C.Source;
    EXPECT_EQ(F.Html.Out[0].Size, C.Size) << C.Source;
    EXPECT_EQ(F.Html.Out[0].Face, C.Face) << C.Source;
    EXPECT_TRUE(F.Html.Out[0].Style == C.Style) << C.Source;
    // The closing tag brings the enclosing font back.
    EXPECT_EQ(F.Html.Out[1].Color, clBlack) << C.Source;
    EXPECT_EQ(F.Html.Out[1].Size, 8) << C.Source;
    EXPECT_EQ(F.Html.Out[1].Face, "Tahoma") << C.Source;
    EXPECT_TRUE(F.Html.Out[1].Style.Empty()) << C.Source;
  }
}

TEST(HtmlRenderer, LinksTheirRectanglesTargetsAndColours) {
  struct Case {
    int Pressed, Hot;
    TColor Color;
    bool Underline;
  };
  for (const Case& C : {Case{-1, -1, 0xFF0000, false}, Case{-1, 0, 0xFF0000, true}, Case{0, 0, 0x0000FF, true}}) {
    HtmlFixture F;
    F.Run("ab<a href=\"x\">go</a>c", TRect(0, 0, 0, 0), C.Pressed, C.Hot);
    ASSERT_EQ(F.Links.size(), 1u);
    const TvkLink& L = F.Links[0];
    EXPECT_EQ(L.URL, "x");
    EXPECT_EQ(L.Left, F.Width("ab"));
    EXPECT_EQ(L.Right, F.Width("ab") + F.Width("go"));
    EXPECT_EQ(L.Top, 0);
    EXPECT_EQ(L.Bottom, F.Height("ab"));
    ASSERT_EQ(F.Html.Out.size(), 3u);
    EXPECT_EQ(F.Html.Out[1].Color, C.Color);
    EXPECT_EQ(F.Html.Out[1].Style.Contains(fsUnderline), C.Underline);
    EXPECT_EQ(F.Html.Out[2].Color, clBlack);
  }
  const std::vector<std::pair<std::string, std::string>> Targets = {
      {"<a href='x y'>t</a>", "x y"},
      {"<A HREF=\"http://a/b\">t</A>", "http://a/b"},
      {"<a href=x>t</a>", "x"},  // unquoted: nothing of the value is lost
      {"<a name=\"q\">t</a>", ""},  // no HREF: no target
  };
  for (const auto& [Source, Url] : Targets) {
    HtmlFixture F;
    F.Run(Source);
    ASSERT_EQ(F.Links.size(), 1u) << Source;
    EXPECT_EQ(F.Links[0].URL, Url) << Source;
  }
  // Any opening tag with an A in it opens a link, as written; a stray </a> changes no link.
  HtmlFixture F;
  F.Run("<P ALIGN=CENTER>t</a></a>");
  ASSERT_EQ(F.Links.size(), 1u);
  EXPECT_EQ(F.Links[0].URL, "");
}

TEST(HtmlRenderer, LineBreaksAndWrapping) {
  {
    HtmlFixture F;
    F.Run("<br>x");
    ASSERT_EQ(F.Html.Out.size(), 1u);
    EXPECT_EQ(F.Html.Out[0].Y, F.Height("X") + 2);  // an empty line is as high as "X", plus 2
  }
  {
    HtmlFixture F;  // no wrap limit: one line of the natural width
    const TRect R = F.Run("one two three four five six seven");
    EXPECT_EQ(R.Right, F.Width("one two three four five six seven"));
    EXPECT_EQ(R.Bottom, F.Height("one"));
  }
  // Words move to the next line where they do not fit, the blanks between them not drawn; a word wider than the
  // bounds stands alone on a line, unbroken, a line holding words ended first.
  struct Piece {
    const char* Text;
    const char* Before;  // its x is the width of this text
    int Line;
  };
  struct Case {
    const char* Source;
    const char* Fits;  // the bounds are this text's width plus 1
    std::vector<Piece> Out;
  };
  const Case Cases[] = {
      {"aa bb cc", "aa bb", {{"aa", "", 0}, {"bb", "aa ", 0}, {"cc", "", 1}}},
      {"wwwwwwwwww ab", "wwwwwwwww", {{"wwwwwwwwww", "", 0}, {"ab", "", 1}}},
      {"ab wwwwwwwwww cd", "wwwwwwwww", {{"ab", "", 0}, {"wwwwwwwwww", "", 1}, {"cd", "", 2}}},
  };
  for (const Case& C : Cases) {
    HtmlFixture F;
    const int H = F.Height("X");
    const TRect R = F.Run(C.Source, TRect(5, 3, 5 + F.Width(C.Fits) + 1, 0));
    ASSERT_EQ(F.Html.Out.size(), C.Out.size()) << C.Source;
    for (size_t i = 0; i < C.Out.size(); ++i) {
      EXPECT_EQ(F.Html.Out[i].Text, C.Out[i].Text) << C.Source;
      EXPECT_EQ(F.Html.Out[i].X, 5 + F.Width(C.Out[i].Before)) << C.Source << i;
      EXPECT_EQ(F.Html.Out[i].Y, 3 + C.Out[i].Line * H) << C.Source << i;
    }
    EXPECT_EQ(R.Bottom, 3 + (C.Out.back().Line + 1) * H) << C.Source;
  }
}

TEST(HtmlRenderer, RunsOfOneLineShareItsBottomWhateverTheirOrder) {
  for (const bool Alpha : {false, true}) {
    HtmlFixture F;
    F.Html.AlphaText = Alpha;
    F.Run("a&amp;<font size=20>B</font>c<br>d");
    ASSERT_EQ(F.Html.Out.size(), 5u) << Alpha;
    const int Small = F.Height("a");
    const int Tall = F.Html.Out[4].Y - 2;  // the next line starts 2 below the tall one
    ASSERT_GT(Tall, Small);
    EXPECT_EQ(F.Html.Out[2].Y, 0) << Alpha;
    // Drawn before and after the tall run, the entity among them (always plain): all on the line's bottom.
    for (const int i : {0, 1, 3}) EXPECT_EQ(F.Html.Out[i].Y, Tall - Small) << Alpha << i;
    if (Alpha) {
      for (const int i : {0, 2, 3}) EXPECT_EQ(F.Html.Out[i].Bottom, Tall) << i;
    }
  }
}
