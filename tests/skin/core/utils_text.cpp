// Library utilities: numbers, rectangles, words, hexadecimal and INI-style text, paths.
#include <gtest/gtest.h>

#include "framework/Classes.h"
#include "skin/core/vkntUtils.h"

TEST(UtilsNumbers, ChoicesAndLimits) {
  EXPECT_EQ(10, ClampInt(5, 10, 0));  // Min tested first: Min wins when Min > Max
  EXPECT_EQ(7, ClampInt(9, 0, 7));
  EXPECT_EQ(3, ClampInt(3, 0, 7));
  EXPECT_TRUE(IndexInBounds(0, 1, 0));
  EXPECT_FALSE(IndexInBounds(1, 1, 0));
  EXPECT_FALSE(IndexInBounds(-1, 1, 0));
  EXPECT_TRUE(ValueWithin(5, 10, 0, true));    // either order
  EXPECT_FALSE(ValueWithin(5, 10, 0, false));  // A <= Value <= B only
  EXPECT_TRUE(ValueWithin(10, 0, 10, false));
}

TEST(UtilsRects, BuildersAndTests) {
  EXPECT_EQ(TRect(0, 0, 30, 20), MakeSizeRect(30, 20, 0, 0));
  EXPECT_EQ(TRect(3, 4, 30, 20), MakeSizeRect(30, 20, 3, 4));
  EXPECT_EQ(TRect(1, 2, 3, 4), OffsetRectEqually(TRect(0, 1, 2, 3), 1));
  EXPECT_EQ(TRect(2, 0, 4, 2), OffsetRectXY(TRect(0, 1, 2, 3), 2, -1));
  EXPECT_EQ(-2, RectWidth(TRect(5, 0, 3, 0), false));
  EXPECT_EQ(0, RectWidth(TRect(5, 0, 3, 0), true));
  EXPECT_EQ(0, RectHeight(TRect(0, 5, 0, 3), true));
  EXPECT_EQ(TPoint(0, 4), RectSizePoint(TRect(5, 0, 3, 4)));
  EXPECT_EQ(TRect(0, 0, 7, 8), SizeBoundsRect(TPoint(7, 8)));
  TRect R;
  RectIntersection(TRect(0, 0, 5, 5), TRect(10, 2, 20, 3), R);
  EXPECT_EQ(TRect(10, 2, 5, 3), R);  // not normalised
  EXPECT_FALSE(RectsOverlap(TRect(0, 0, 10, 10), TRect(10, 0, 20, 10)));
  EXPECT_FALSE(RectsOverlap(TRect(0, 0, 10, 10), TRect(0, 10, 10, 20)));
  EXPECT_FALSE(RectsOverlap(TRect(0, 0, 10, 10), TRect(2, 2, 2, 8)));  // empty
  EXPECT_TRUE(RectsOverlap(TRect(0, 0, 10, 10), TRect(9, 9, 20, 20)));
  // Outer widened by one: a rectangle equal to Outer has both corners inside.
  EXPECT_TRUE(RectCornersInRect(TRect(0, 0, 10, 10), TRect(0, 0, 10, 10), true));
  EXPECT_FALSE(RectCornersInRect(TRect(0, 0, 10, 10), TRect(5, 5, 11, 10), true));
  EXPECT_TRUE(RectCornersInRect(TRect(0, 0, 10, 10), TRect(5, 5, 11, 10), false));
}

TEST(UtilsWords, DelimitedWords) {
  const TCharSet256 D = MakeCharSet(" ,");
  const std::string S = "  a,,b ";
  EXPECT_EQ(2, CountWords(S, D));
  EXPECT_EQ(2, CountWordsChecked(S, D));
  EXPECT_EQ("b", NthWord(2, S, D));
  EXPECT_EQ("b", NthWordChecked(2, S, D));
  EXPECT_EQ(3, NthWordStart(1, S, D));
  EXPECT_EQ(6, NthWordStart(2, S, D));
  EXPECT_EQ(0, NthWordStart(3, S, D));
  EXPECT_EQ(0, NthWordStartChecked(0, S, D));
  EXPECT_EQ("", NthWord(3, S, D));
  EXPECT_EQ(0, CountWords("", D));
  EXPECT_EQ("word", NthWord(1, "word", D));
  EXPECT_TRUE(IsCharInSet(',', D));
  EXPECT_FALSE(IsCharInSetChecked('a', D));
  EXPECT_TRUE(IsCharInSet('\xC0', MakeCharSet("\xC0")));  // high CP1251 bytes are members too
}

TEST(UtilsWords, DeleteAndReplace) {
  EXPECT_EQ("abc", DeleteAllChars("a-b--c-", '-'));
  EXPECT_EQ("aaaaaa", ReplaceEvery("aaa", "a", "aa"));  // never inside an inserted text
  EXPECT_EQ("aa", ReplaceEvery("abcabc", "bc", ""));
  EXPECT_EQ("xYz", ReplaceEvery("xyz", "y", "Y"));
  EXPECT_EQ("xyz", ReplaceEvery("xyz", "Y", "!"));  // case-sensitive
}

TEST(UtilsHex, ParseHexInt64) {
  EXPECT_EQ(0, ParseHexInt64("0x1F"));  // X is no hex digit
  EXPECT_EQ(26, ParseHexInt64("1AH"));
  EXPECT_EQ(26, ParseHexInt64("1ah"));
  EXPECT_EQ(255, ParseHexInt64("ff"));
  EXPECT_EQ(0, ParseHexInt64("1G"));
  EXPECT_EQ(0, ParseHexInt64("H"));
  EXPECT_EQ(0, ParseHexInt64(""));
  EXPECT_EQ(-1, ParseHexInt64("FFFFFFFFFFFFFFFF"));
  EXPECT_EQ(0x23, ParseHexInt64("10000000000000023"));  // wraps at 64 bits
}

namespace {
struct Sections {
  TStringList List;
  ~Sections() {
    for (int i = 0; i < List.Count(); ++i) delete List.Objects(i);
  }
};
}  // namespace

TEST(UtilsIni, ParseAndReadSections) {
  TStringList Lines;
  Lines.SetText("KEY=dropped before any section\n[GLOBALINFO]\n; comment\n\nVERSION=8\nHEX=0x1F\nBAD=1G\n"
                "[BUTTON]\nCOLOR=$FF\nName=a=b\n[EMPTY]\n");
  Sections S;
  ParseIniSections(&Lines, &S.List);
  ASSERT_EQ(3, S.List.Count());
  EXPECT_EQ("GLOBALINFO", S.List.Strings(0));
  auto* Global = dynamic_cast<TStringList*>(S.List.Objects(0));
  ASSERT_NE(nullptr, Global);
  EXPECT_EQ(3, Global->Count());  // comment and empty line skipped
  EXPECT_EQ(8, IniSectionsReadInteger(&S.List, "GLOBALINFO", "VERSION", -1));
  EXPECT_EQ(31, IniSectionsReadInteger(&S.List, "GLOBALINFO", "HEX", -1));
  EXPECT_EQ(-1, IniSectionsReadInteger(&S.List, "GLOBALINFO", "BAD", -1));
  EXPECT_EQ(-1, IniSectionsReadInteger(&S.List, "GLOBALINFO", "MISSING", -1));
  EXPECT_EQ(255, IniSectionsReadInteger(&S.List, "BUTTON", "COLOR", -1));
  EXPECT_EQ("a=b", IniSectionsReadString(&S.List, "BUTTON", "Name", "?"));
  // Names are matched exactly.
  EXPECT_EQ("?", IniSectionsReadString(&S.List, "BUTTON", "NAME", "?"));
  EXPECT_EQ("?", IniSectionsReadString(&S.List, "button", "Name", "?"));
  EXPECT_EQ("?", IniSectionsReadString(&S.List, "NOWHERE", "Name", "?"));
  EXPECT_EQ("", IniSectionsReadString(&S.List, "EMPTY", "X", ""));
  // Parsing again clears the list first (the caller frees the old key lists).
  for (int i = 0; i < S.List.Count(); ++i) delete S.List.Objects(i);
  TStringList Other;
  Other.SetText("[ONE]\nA=1\n");
  ParseIniSections(&Other, &S.List);
  EXPECT_EQ(1, S.List.Count());
}

TEST(UtilsPaths, NormalizeDirPath) {
  EXPECT_EQ("", NormalizeDirPath(""));
  EXPECT_EQ("C:\\", NormalizeDirPath("C"));
  EXPECT_EQ("C:\\skins\\", NormalizeDirPath("C:\\skins/"));
  EXPECT_EQ("C:\\skins\\", NormalizeDirPath("C:\\skins\\"));
  EXPECT_EQ("skins\\", NormalizeDirPath("skins"));
}
