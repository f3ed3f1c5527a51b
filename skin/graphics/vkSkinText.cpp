#include "skin/graphics/vkSkinText.h"

#include <algorithm>
#include <cstring>

#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/graphics/vkTextGlow.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkColorMath.h"

TCanvasTextScope::TCanvasTextScope(TCanvas* Canvas)
    : FDC(Canvas->Handle()), FOld(SelectObject(FDC, Canvas->Font()->Handle())) {}

TCanvasTextScope::~TCanvasTextScope() { SelectObject(FDC, FOld); }

int DrawStringOnDC(HDC DC, const std::string& Text, TRect& Rect, UINT Flags) {
  const int Len = std::min<int>(static_cast<int>(Text.size()), kMaxDrawnChars);
  return DrawTextA(DC, Text.data(), Len, Rect.AsRECT(), Flags);
}

int DrawCanvasTextP(TCanvas* Canvas, const char* Text, UINT Flags, TRect& Rect) {
  if (Text == nullptr) return 0;
  TCanvasTextScope S(Canvas);
  return DrawTextA(S.DC(), Text, static_cast<int>(std::strlen(Text)), Rect.AsRECT(), Flags);
}

namespace {

inline TRect Moved(TRect R, int dx, int dy) { return TRect(R.Left + dx, R.Top + dy, R.Right + dx, R.Bottom + dy); }

void DrawPass(HDC DC, const char* Text, int Len, TRect R, UINT Flags, uint32_t Color) {
  SetTextColor(DC, ColorToRGB(Color));
  DrawTextA(DC, Text, Len, R.AsRECT(), Flags);
}

}  // namespace

void DrawSectionText(TCanvas* Canvas, const char* Text, bool Enabled, TsSkinManager* Manager, int State,
                     int SectionIndex, UINT Flags, TRect Rect) {
  if (Text == nullptr || Canvas == nullptr) return;
  const int Len = static_cast<int>(std::strlen(Text));
  if (Manager == nullptr) Manager = TsSkinManager::DefaultManager();
  TCanvasTextScope S(Canvas);
  SetBkMode(S.DC(), TRANSPARENT);
  if (Manager == nullptr || !Manager->SectionIndexInRange(SectionIndex)) {
    DrawPass(S.DC(), Text, Len, Rect, Flags, Canvas->Font()->Color());
    return;
  }
  const TsProps& Props = Manager->gd()[SectionIndex].Props;
  if (!Enabled) {
    DrawPass(S.DC(), Text, Len, Rect, Flags, WeightedColorMix(Props[0].FontColor, Props[0].Color, DisabledBlendWeight));
    return;
  }
  const TsGenState& St = Props[std::clamp(State, 0, 2)];
  const int Contours[4] = {St.TCLeft, St.TCTop, St.TCRight, St.TCBottom};
  const int Dx[4] = {-1, 0, 1, 0}, Dy[4] = {0, -1, 0, 1};
  for (int i = 0; i < 4; ++i)
    if (Contours[i] != -1) DrawPass(S.DC(), Text, Len, Moved(Rect, Dx[i], Dy[i]), Flags, static_cast<uint32_t>(Contours[i]));
  DrawPass(S.DC(), Text, Len, Rect, Flags, St.FontColor);
}

void DrawSectionTextStr(TCanvas* Canvas, const std::string& Text, bool Enabled, TsSkinManager* Manager, int State,
                        int SectionIndex, UINT Flags, const TRect& Rect) {
  DrawSectionText(Canvas, Text.c_str(), Enabled, Manager, State, SectionIndex, Flags, Rect);
}

uint32_t TransformColorByShifts(uint32_t Color, uint32_t Tone, int Hue, int Saturation) {
  // The pixel routines work in pixel order; the colour value goes there and back so its bytes keep their
  // meaning.
  uint32_t P = SwapRedBlue(ColorToRGB(Color));
  // A system colour as the tone is the colour it stands for, not its index.
  if (Tone != NoColor32) P = ColorizePixel(P, ColorToRGB(Tone));
  if (Hue != 0) P = ShiftPixelHue(Hue, P);
  P = AdjustColorSaturation(P, Saturation * 256 / 100);
  return ColorToRGB(SwapRedBlue(P));
}

uint32_t TransformColorBySkinData(uint32_t Color, TsCommonData* SkinData) {
  if (SkinData == nullptr) return ColorToRGB(Color);
  return TransformColorByShifts(Color, SkinData->ColorTone(), SkinData->HUEOffset(), SkinData->Saturation());
}

namespace {

// Plain text for unskinned controls: embossed (highlight one pixel lower right, then shadow) when disabled.
void DrawPlainText(HDC DC, const char* Text, int Len, const TRect& Rect, UINT Flags, bool Enabled, TColor FontColor) {
  if (Enabled) {
    DrawPass(DC, Text, Len, Rect, Flags, FontColor);
    return;
  }
  DrawPass(DC, Text, Len, Moved(Rect, 1, 1), Flags, clBtnHighlight);
  DrawPass(DC, Text, Len, Rect, Flags, clBtnShadow);
}

// The first ten constant sections, whose owners may name another section per state.
bool IsStateSectionKind(TsSkinManager* M, int SkinIndex) {
  const auto& S = M->ConstData().Sections;
  return std::find(S.begin(), S.begin() + ssButton + 1, SkinIndex) != S.begin() + ssButton + 1;
}

}  // namespace

void DrawControlText(TCanvas* Canvas, const char* Text, bool Enabled, int State, TsCommonData* SkinData, UINT Flags,
                     TRect Rect) {
  if (Text == nullptr || Canvas == nullptr || SkinData == nullptr) return;
  TsSkinManager* M = SkinData->SkinManager();
  const int Len = static_cast<int>(std::strlen(Text));
  if (State != 0 && M != nullptr && SkinData->SkinIndex >= 0 &&
      SkinData->SkinIndex == M->ConstData().Sections[ssWebButton]) {
    TFontStyles Style = Canvas->Font()->Style();
    Style.Include(fsUnderline);
    Canvas->Font()->SetStyle(Style);
  }
  Canvas->Brush()->SetStyle(bsClear);
  TCanvasTextScope S(Canvas);
  const int Saved = SaveDC(S.DC());
  SetBkMode(S.DC(), TRANSPARENT);
  const TColor FontColor = Canvas->Font()->Color();
  auto Done = [&] { RestoreDC(S.DC(), Saved); };
  if (!SkinData->IsSkinned(false) || M == nullptr) {
    DrawPlainText(S.DC(), Text, Len, Rect, Flags, Enabled, FontColor);
    return Done();
  }
  if (SkinData->CustomFont()) {
    DrawPass(S.DC(), Text, Len, Rect, Flags, FontColor);
    return Done();
  }
  int Index = SkinData->SkinIndex;
  TControl* Owner = SkinData->OwnerControl;
  if (Owner != nullptr && IsStateSectionKind(M, Index)) {
    Index = SectionIndexForState(Owner, SkinData->SkinIndex, M, State);
    if (Index < 0 && Owner->Parent() != nullptr) {
      DrawPlainText(S.DC(), Text, Len, Rect, Flags, Enabled, Owner->Parent()->Font()->Color());
      return Done();
    }
  }
  State = std::clamp(State, 0, 2);
  if (!M->SectionIndexInRange(Index)) {
    DrawPass(S.DC(), Text, Len, Rect, Flags, FontColor);
    return Done();
  }
  const TsGenState& St = M->gd()[Index].Props[State];
  if (SkinData->CacheBmp != nullptr && St.GlowSize != 0) {
    IntersectClipRect(S.DC(), Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
    TBitmap* Mask = nullptr;
    DrawTextGlow(SkinData->CacheBmp, std::string(Text, static_cast<size_t>(Len)), Rect, Mask,
                 TransformColorBySkinData(St.GlowColor, SkinData), St.GlowSize, 15, Flags);
    if (Mask != nullptr) Mask->Free();
    RestoreDC(S.DC(), Saved);
    SaveDC(S.DC());
    SetBkMode(S.DC(), TRANSPARENT);
  }
  if (!Enabled) {
    DrawPass(S.DC(), Text, Len, Rect, Flags, TransformColorBySkinData(St.FontColor, SkinData));
    return Done();
  }
  const int Contours[4] = {St.TCLeft, St.TCTop, St.TCRight, St.TCBottom};
  const int Dx[4] = {-1, 0, 1, 0}, Dy[4] = {0, -1, 0, 1};
  for (int i = 0; i < 4; ++i)
    if (Contours[i] != -1)
      DrawPass(S.DC(), Text, Len, Moved(Rect, Dx[i], Dy[i]), Flags,
               TransformColorBySkinData(static_cast<uint32_t>(Contours[i]), SkinData));
  DrawPass(S.DC(), Text, Len, Rect, Flags, TransformColorBySkinData(St.FontColor, SkinData));
  Done();
}

void DrawControlTextStr(TCanvas* Canvas, const std::string& Text, bool Enabled, const TRect& Rect, UINT Flags,
                        TsCommonData* SkinData, int State) {
  DrawControlText(Canvas, Text.c_str(), Enabled, State, SkinData, Flags, Rect);
}

void FitTextWithEllipsis(TCanvas* Canvas, const std::string& Text, int MaxWidth, std::string& Result) {
  Result = MaxWidth < 1 ? std::string() : Text;
  if (Result.empty() || Canvas->TextWidth(Result) <= MaxWidth) return;
  while (!Result.empty() && Canvas->TextWidth(Result + "...") > MaxWidth) Result.pop_back();
  if (!Result.empty()) Result += "...";
}

bool MeasureTextOnDC(HDC DC, const std::string& Text, TSize& Size, HFONT Font) {
  SIZE Sz{};
  bool Ok;
  if (DC != nullptr) {
    Ok = GetTextExtentPoint32A(DC, Text.data(), static_cast<int>(Text.size()), &Sz) != 0;
  } else {
    HDC Screen = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(Screen, Font);
    Ok = GetTextExtentPoint32A(Screen, Text.data(), static_cast<int>(Text.size()), &Sz) != 0;
    SelectObject(Screen, Old);
    ReleaseDC(nullptr, Screen);
  }
  Size = Sz;
  return Ok;
}

void MeasureTextWithFont(HFONT Font, const std::string& Text, UINT Flags, TSize& Size, int Width, bool WordWrap) {
  HDC Screen = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(Screen, Font);
  if (WordWrap) {
    TRect R(0, 0, Width, 0);
    DrawStringOnDC(Screen, Text, R, Flags | DT_CALCRECT);
    Size = TSize(R.Width(), R.Height());
  } else {
    SIZE Sz{};
    if (GetTextExtentPoint32A(Screen, Text.data(), static_cast<int>(Text.size()), &Sz)) Size = Sz;
    else Size = TSize(0, 0);
  }
  SelectObject(Screen, Old);
  ReleaseDC(nullptr, Screen);
}

TSize CanvasTextSize(TCanvas* Canvas, const std::string& Text) { return Canvas->TextExtent(Text); }
int CanvasTextHeight(TCanvas* Canvas, const std::string& Text) { return Canvas->TextExtent(Text).cy; }
void CanvasTextExtent(TCanvas* Canvas, const std::string& Text, TSize& Size) { Size = Canvas->TextExtent(Text); }
void CanvasTextRect(TCanvas* Canvas, const TRect& Rect, int X, int Y, const std::string& Text) {
  Canvas->TextRect(Rect, X, Y, Text);
}

bool SameFontLook(const TFont* Font1, const TFont* Font2) {
  if (Font1 == nullptr || Font2 == nullptr) return Font1 == Font2;
  return Font1->Equals(Font2);
}
