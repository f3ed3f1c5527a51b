// The one glyph painter of button-like items: a picture from an image list (alpha or ordinary) or from a glyph
// strip of one to four frames, the frame for the item's state, the disabled and discoloured looks and a blend
// level, composed into a 32-bit bitmap or onto a canvas. Also the layout of a skinned button's glyph and
// caption.
#pragma once
#include <windows.h>

#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "skin/graphics/vkPixelOps.h"

class TsCommonData;
class TsSkinManager;
class TControl;
class TToolBar;
class TToolButton;

struct TvkGlyphPaintData {
  int Blend = 0;          // normal state only: transparency per cent (lists), alpha factor per cent (32-bit glyph)
  int SectionIndex = -1;  // the item's section, -1 none
  int NumGlyphs = 1;      // frames side by side (1..4)
  int ImageIndex = -1;
  int State = 0;          // 0 normal, 1 hot, 2 pressed (3 default, a frame index)
  bool Pressed = false;
  bool Discolored = false;  // grey (tinted) in the normal state
  bool Enabled = true;
  bool Reflected = false;
  TBitmap* Glyph = nullptr;   // frame strip used when no list image applies
  TBitmap* DstBmp = nullptr;  // 32-bit destination; nil: Canvas
  TRect R;                    // where the glyph goes (its top-left is the origin)
  TCanvas* Canvas = nullptr;
  TColor ToneColor = clNone;
  TCustomImageList* Images = nullptr;
  TsSkinManager* SkinManager = nullptr;
  TsDisabledKinds DisabledKind;
};

// Nil list: 0.
int GetImageCount(TCustomImageList* Images);
// An alpha list's scaled size (what it draws with), else the list's size.
int GetImageListWidth(TCustomImageList* Images);
int GetImageListHeight(TCustomImageList* Images);
// Bmp sized to the list, 32-bit, filled with the list's BkColor (0xFF00FF for clNone), image Index drawn in.
void PrepareGlyphBitmap(TCustomImageList* Images, int Index, TBitmap* Bmp);

void DrawGlyphAndCaption(TvkGlyphPaintData& Data);
// Completes a record from a skin state: manager, destination (its cache when Data names none, or names the
// cache's canvas), section and tone colour.
void FillGlyphSkinFields(TsCommonData* SkinData, TvkGlyphPaintData& Data);
// The glyph of a skinned button onto Canvas; other controls are ignored.
void DrawControlGlyph(TControl* Control, TCanvas* Canvas);
// The glyph of one tool-bar button into Bmp (32-bit, the button's size) for an owner-draw item state (ODS_*):
// the bar's disabled or hot images where they apply, the skin's discoloured look, its place in the bar's layout
// and the pressed shift.
void DrawOwnerDrawButtonContent(TToolBar* ToolBar, TToolButton* Button, UINT ItemState, TBitmap* Bmp);

// ---- glyph and caption rectangles of a button ----
enum TvkContentKind { ckCommandLink, ckGlyphLeft, ckGlyphRight, ckGlyphTop, ckGlyphBottom, ckGlyphCenter, ckNoGlyph };

struct TvkButtonLayout {
  TvkContentKind Kind = ckNoGlyph;
  int Width = 0;   // without a split part
  int Height = 0;
  int Margin = 0;  // ContentMargin
  TRect ImageMargins;             // Left, Top, Right, Bottom
  TSize Image;                    // the list's image size
  TSize Caption;                  // measured caption text
  int TextSpacing = 6;
  int GlyphWidthWithMargins = 0;  // command link
  bool Shift = false;             // pressed content moves by (1, 1)
};

void ButtonContentRects(const TvkButtonLayout& L, TRect& Glyph, TRect& Caption);
