// Places a glyph and a caption inside a client rectangle (glyph left, right, above or below the text) with
// a margin and a spacing, automatic values, right-to-left reading and an alignment of the block. Computes
// positions only.
#pragma once
#include "framework/Controls.h"
#include "framework/Graphics.h"

// Glyph layouts.
constexpr int glGlyphLeft = 0;
constexpr int glGlyphRight = 1;
constexpr int glGlyphTop = 2;
constexpr int glGlyphBottom = 3;
// Flags: right-to-left reading (exchanges glyph left and glyph right).
constexpr int gafRightToLeft = 2;

// Margin and Spacing -1 mean automatic. GlyphPos is the glyph's top-left, TextBounds the text's rectangle,
// both in the client rectangle's coordinate space. Top and bottom vertical alignment put the block against
// that edge of the client rectangle.
void ArrangeGlyphAndCaption(const TRect& Client, TSize Glyph, TSize Text, int Layout, int Margin, int Spacing,
                            TAlignment Alignment, TVerticalAlignment VerticalAlignment, int Flags, TPoint& GlyphPos,
                            TRect& TextBounds);
