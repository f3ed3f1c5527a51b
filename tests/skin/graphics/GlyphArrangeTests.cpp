// Glyph and caption placement: automatic margins and spacings, the four layouts, right-to-left reading and
// the alignments.
#include <gtest/gtest.h>

#include "skin/graphics/GlyphArrange.h"

TEST(GlyphArrange, LayoutsMarginsAndAlignments) {
  struct Case {
    const char* Name;
    TRect Client;
    TSize Text;
    int Layout, Margin, Spacing;
    TAlignment Align;
    TVerticalAlignment VAlign;
    int Flags;
    TPoint Glyph;
    TRect TextBounds;
  };
  const TSize G(16, 16);
  const Case cases[] = {
      // (100 - 16 - 30) div 3 = 18 for both; the text runs to the width minus the margin.
      {"auto both", {0, 0, 100, 40}, {30, 10}, 0, -1, -1, taLeftJustify, taVerticalCenter, 0, {18, 12}, {52, 15, 82, 25}},
      {"right-to-left swaps", {0, 0, 100, 40}, {30, 10}, 1, -1, -1, taLeftJustify, taVerticalCenter, 2, {18, 12}, {52, 15, 82, 25}},
      {"glyph right", {0, 0, 100, 40}, {30, 10}, 1, 4, 6, taLeftJustify, taVerticalCenter, 0, {40, 12}, {4, 15, 34, 25}},
      {"right aligned", {0, 0, 100, 40}, {30, 10}, 0, 4, 6, taRightJustify, taVerticalCenter, 0, {44, 12}, {66, 15, 96, 25}},
      // Centred both ways: margin (100 - 50 + 1) div 2.
      {"centred block", {0, 0, 100, 40}, {30, 10}, 0, -1, 4, taCenter, taVerticalCenter, 0, {25, 12}, {45, 15, 75, 25}},
      {"margin 2 by default", {0, 0, 100, 40}, {30, 10}, 0, -1, 4, taLeftJustify, taVerticalCenter, 0, {2, 12}, {22, 15, 98, 25}},
      // Spacing (40 - 4 - 16 - 10) div 2 = 5 along the height.
      {"glyph above", {0, 0, 100, 40}, {30, 10}, 2, 4, -1, taCenter, taVerticalCenter, 0, {42, 4}, {35, 25, 65, 35}},
      {"glyph below", {0, 0, 100, 40}, {30, 10}, 3, 0, 2, taCenter, taVerticalCenter, 0, {42, 18}, {35, 6, 65, 16}},
      {"no text, no spacing", {0, 0, 100, 40}, {0, 10}, 0, 3, 9, taLeftJustify, taVerticalCenter, 0, {3, 12}, {19, 15, 97, 25}},
      {"client offset", {10, 20, 110, 60}, {30, 10}, 0, 4, 6, taLeftJustify, taVerticalCenter, 0, {14, 32}, {36, 35, 106, 45}},
      {"top", {0, 0, 100, 40}, {30, 10}, 0, 4, 6, taLeftJustify, taAlignTop, 0, {4, 0}, {26, 3, 96, 13}},
      {"bottom", {0, 0, 100, 40}, {30, 10}, 0, 4, 6, taLeftJustify, taAlignBottom, 0, {4, 24}, {26, 27, 96, 37}},
  };
  for (const Case& c : cases) {
    TPoint Glyph;
    TRect Text;
    ArrangeGlyphAndCaption(c.Client, G, c.Text, c.Layout, c.Margin, c.Spacing, c.Align, c.VAlign, c.Flags, Glyph, Text);
    EXPECT_EQ(Glyph, c.Glyph) << c.Name << ": " << Glyph.X << "," << Glyph.Y;
    EXPECT_EQ(Text, c.TextBounds) << c.Name << ": " << Text.Left << "," << Text.Top << "," << Text.Right << ","
                                  << Text.Bottom;
  }
}
