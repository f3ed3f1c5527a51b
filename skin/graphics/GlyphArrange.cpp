#include "skin/graphics/GlyphArrange.h"

#include <algorithm>

void ArrangeGlyphAndCaption(const TRect& Client, TSize Glyph, TSize Text, int Layout, int Margin, int Spacing,
                            TAlignment Alignment, TVerticalAlignment VerticalAlignment, int Flags, TPoint& GlyphPos,
                            TRect& TextBounds) {
  if ((Flags & gafRightToLeft) != 0 && (Layout == glGlyphLeft || Layout == glGlyphRight))
    Layout = Layout == glGlyphLeft ? glGlyphRight : glGlyphLeft;
  const int cw = Client.Width(), ch = Client.Height();
  const bool Across = Layout == glGlyphLeft || Layout == glGlyphRight;
  // Extents along the layout's axis.
  const int Extent = Across ? cw : ch, G = Across ? Glyph.cx : Glyph.cy, T = Across ? Text.cx : Text.cy;
  TPoint GP, TP;
  if (Across) {
    GP.Y = (ch - Glyph.cy + 1) / 2;
    TP.Y = (ch - Text.cy + 1) / 2;
  } else {
    GP.X = (cw - Glyph.cx + 1) / 2;
    TP.X = (cw - Text.cx + 1) / 2;
  }
  if (Text.cx == 0 || Glyph.cx == 0) Spacing = 0;
  if (Margin == -1 && Spacing == -1) {
    Margin = Spacing = (Extent - G - T) / 3;
  } else if (Margin == -1) {
    const bool Centred = Alignment == taCenter && VerticalAlignment == taVerticalCenter;
    Margin = Centred ? (Extent - (G + Spacing + T) + 1) / 2 : 2;
  } else if (Spacing == -1) {
    Spacing = (Extent - Margin - G - T) / 2;
  }
  int TextRight = -1;
  if (Layout == glGlyphTop) {
    GP.Y = (ch - Glyph.cy - Spacing - Text.cy) / 2;
    TP.Y = GP.Y + Glyph.cy + Spacing;
  } else if (Layout == glGlyphBottom) {
    GP.Y = ch - Glyph.cy - (ch - Glyph.cy - Spacing - Text.cy) / 2;
    TP.Y = GP.Y - Spacing - Text.cy;
  } else {
    // The block's left edge by the alignment; the glyph leads or follows the text inside it.
    const int Block = Glyph.cx + Spacing + Text.cx;
    const int Start = Alignment == taLeftJustify ? Margin : Alignment == taRightJustify ? cw - Margin - Block
                                                                                          : (cw - Block) / 2;
    if (Layout == glGlyphLeft) {
      GP.X = Start;
      TP.X = Start + Glyph.cx + Spacing;
      if (Alignment == taLeftJustify) TextRight = cw - Margin;
    } else {
      TP.X = Start;
      GP.X = Start + Text.cx + Spacing;
    }
  }
  TextBounds = TRect(TP.X, TP.Y, TextRight >= 0 ? TextRight : TP.X + Text.cx, TP.Y + Text.cy);
  // Vertical alignment moves the whole block.
  if (VerticalAlignment != taVerticalCenter) {
    const int Top = std::min(GP.Y, TextBounds.Top), Bottom = std::max(GP.Y + Glyph.cy, TextBounds.Bottom);
    const int Shift = VerticalAlignment == taAlignTop ? -Top : ch - Bottom;
    GP.Y += Shift;
    TextBounds.Top += Shift;
    TextBounds.Bottom += Shift;
  }
  GlyphPos = TPoint(GP.X + Client.Left, GP.Y + Client.Top);
  TextBounds = TRect(TextBounds.Left + Client.Left, TextBounds.Top + Client.Top, TextBounds.Right + Client.Left,
                     TextBounds.Bottom + Client.Top);
}
