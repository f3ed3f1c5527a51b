// Text of skinned controls: drawn in a skin section's colours (main colour and one-pixel contours), with
// the disabled look, and the small measuring helpers the controls share. Text is ANSI and goes through
// the platform's DrawText.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/Graphics.h"

class TsCommonData;
class TsSkinManager;

// The weight (of 256) the font colour keeps when a disabled caption is mixed toward its background.
constexpr int DisabledBlendWeight = 100;
// Longest text DrawStringOnDC passes on; the rest is cut.
constexpr int kMaxDrawnChars = 5460;

// DrawText of at most kMaxDrawnChars characters of Text; Rect is updated as DrawText does (DT_CALCRECT).
int DrawStringOnDC(HDC DC, const std::string& Text, TRect& Rect, UINT Flags);
// DrawText of a zero-terminated text on the canvas's device context with the canvas's font.
int DrawCanvasTextP(TCanvas* Canvas, const char* Text, UINT Flags, TRect& Rect);

// Text in section SectionIndex's colours for State (0..2): contours left, top, right, bottom (each colour other
// than -1, the rectangle moved one pixel that way), then the font colour. Disabled: once, in the state-0 font
// colour mixed toward the state-0 colour with DisabledBlendWeight. Without a manager (nil: the default one) or
// a valid section the canvas's font colour is used. The canvas's background mode becomes transparent.
void DrawSectionText(TCanvas* Canvas, const char* Text, bool Enabled, TsSkinManager* Manager, int State,
                     int SectionIndex, UINT Flags, TRect Rect);
void DrawSectionTextStr(TCanvas* Canvas, const std::string& Text, bool Enabled, TsSkinManager* Manager, int State,
                        int SectionIndex, UINT Flags, const TRect& Rect);

// A colour value shifted as a control's skin data shifts its colours: colourised by Tone (NoColor32: not),
// hue turned by Hue degrees, saturation changed by Saturation per cent (scaled by 256 div 100); the colour
// value's byte order is kept.
uint32_t TransformColorByShifts(uint32_t Color, uint32_t Tone, int Hue, int Saturation);

// The control's colour shifts (tone, hue, saturation of its skin data) applied to a colour value.
uint32_t TransformColorBySkinData(uint32_t Color, TsCommonData* SkinData);

// A control's caption in its skin colours for State (0..2): glow into its cache when the state has one, then
// contours and the font colour, each shifted by the control's colours; disabled: once in the shifted font
// colour. Unskinned controls get plain text, embossed when disabled; CustomFont keeps the canvas font's colour.
void DrawControlText(TCanvas* Canvas, const char* Text, bool Enabled, int State, TsCommonData* SkinData, UINT Flags,
                     TRect Rect);
void DrawControlTextStr(TCanvas* Canvas, const std::string& Text, bool Enabled, const TRect& Rect, UINT Flags,
                        TsCommonData* SkinData, int State);

// Text, or its longest head that fits MaxWidth with "..." appended; empty for MaxWidth < 1 or when not even
// one character and "..." fit.
void FitTextWithEllipsis(TCanvas* Canvas, const std::string& Text, int MaxWidth, std::string& Result);

// GetTextExtentPoint32 on DC; with DC 0 on a screen device context with Font selected.
bool MeasureTextOnDC(HDC DC, const std::string& Text, TSize& Size, HFONT Font);
// Text size with Font: WordWrap measures the wrapped text in Width (DT_CALCRECT with Flags); otherwise the
// extent of the whole text ((0, 0) when that fails).
void MeasureTextWithFont(HFONT Font, const std::string& Text, UINT Flags, TSize& Size, int Width, bool WordWrap);

TSize CanvasTextSize(TCanvas* Canvas, const std::string& Text);
int CanvasTextHeight(TCanvas* Canvas, const std::string& Text);
void CanvasTextExtent(TCanvas* Canvas, const std::string& Text, TSize& Size);
void CanvasTextRect(TCanvas* Canvas, const TRect& Rect, int X, int Y, const std::string& Text);

// True when both fonts have the same style, size, colour and name.
bool SameFontLook(const TFont* Font1, const TFont* Font2);

// Selects the canvas's font into its device context for the scope (restored afterwards) and gives plain
// GDI text calls the canvas's handle.
class TCanvasTextScope {
public:
  explicit TCanvasTextScope(TCanvas* Canvas);
  ~TCanvasTextScope();
  TCanvasTextScope(const TCanvasTextScope&) = delete;
  TCanvasTextScope& operator=(const TCanvasTextScope&) = delete;
  HDC DC() const { return FDC; }

private:
  HDC FDC;
  HGDIOBJ FOld;
};
