// Colours, fonts, brushes and pens.
#include "framework/Graphics.h"

#include <cstring>

#include "framework/TypInfo.h"

// ---------------------------------------------------------------------------------------------------
// Colours

TColor ColorToRGB(TColor Color) {
  if ((Color & 0xFF000000) == clSystemColor) return GetSysColor(static_cast<int>(Color & 0xFF));
  return Color;
}

namespace {

struct ColorIdent {
  TColor Value;
  const char* Name;
};

const ColorIdent ColorIdents[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

bool ColorIdentToInt(const std::string& Ident, int64_t& Value) {
  TColor Color;
  if (!IdentToColor(Ident, Color)) return false;
  Value = Color;
  return true;
}

bool ColorIntToIdent(int64_t Value, std::string& Ident) {
  if (Value < 0 || Value > 0xFFFFFFFFLL) return false;
  return ColorToIdent(static_cast<TColor>(Value), Ident);
}

}  // namespace

bool ColorToIdent(TColor Color, std::string& Ident) {
  for (const ColorIdent& Entry : ColorIdents)
    if (Entry.Value == Color) {
      Ident = Entry.Name;
      return true;
    }
  return false;
}

bool IdentToColor(const std::string& Ident, TColor& Color) {
  for (const ColorIdent& Entry : ColorIdents)
    if (lstrcmpiA(Entry.Name, Ident.c_str()) == 0) {
      Color = Entry.Value;
      return true;
    }
  return false;
}

void RegisterColorIdents() { RegisterIntegerIdents("TColor", &ColorIdentToInt, &ColorIntToIdent); }

int ScreenPixelsPerInch() {
  static const int PixelsPerInch = [] {
    HDC DC = GdiGetDC(nullptr);
    int Result = GetDeviceCaps(DC, LOGPIXELSY);
    GdiReleaseDC(nullptr, DC);
    return Result > 0 ? Result : 96;
  }();
  return PixelsPerInch;
}

// ---------------------------------------------------------------------------------------------------
// TGraphicsObject

IMPLEMENT_CLASS(TGraphicsObject)

void TGraphicsObject::Changing() {
  if (FCanvas) FCanvas->ObjectChanging(this);
}

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------------------
// TFont

PUBLISHED(TFont) {
  p.Int("Charset", &TFont::Charset, &TFont::SetCharset);
  p.Color("Color", &TFont::Color, &TFont::SetColor);
  p.Int("Height", &TFont::Height, &TFont::SetHeight);
  p.Str("Name", &TFont::Name, &TFont::SetName);
  p.Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, {"fpDefault", "fpVariable", "fpFixed"});
  p.Int("Size", &TFont::Size, &TFont::SetSize);
  p.Set("Style", &TFont::Style, &TFont::SetStyle, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
}

TFont::TFont()
    : FName("Tahoma"),
      FColor(clWindowText),
      FCharset(DEFAULT_CHARSET),
      FPitch(fpDefault),
      FPixelsPerInch(ScreenPixelsPerInch()) {
  FHeight = -MulDiv(8, FPixelsPerInch, 72);
}

TFont::~TFont() { FreeHandle(); }

void TFont::FreeHandle() {
  if (FHandle && FOwnsHandle) GdiFreeObject(FHandle);
  FHandle = nullptr;
  FOwnsHandle = false;
}

void TFont::DescriptionChanging() {
  Changing();
  FreeHandle();
}

void TFont::Assign(TPersistent* Source) {
  if (TFont* Other = As<TFont>(Source)) {
    if (Other == this) return;
    DescriptionChanging();
    FName = Other->FName;
    FHeight = MulDiv(Other->FHeight, FPixelsPerInch, Other->FPixelsPerInch);
    FStyle = Other->FStyle;
    FColor = Other->FColor;
    FCharset = Other->FCharset;
    FPitch = Other->FPitch;
    Changed();
    return;
  }
  inherited::Assign(Source);
}

HFONT TFont::Handle() {
  if (!FHandle) {
    LOGFONTA Font{};
    Font.lfHeight = FHeight;
    Font.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    Font.lfItalic = FStyle.Contains(fsItalic);
    Font.lfUnderline = FStyle.Contains(fsUnderline);
    Font.lfStrikeOut = FStyle.Contains(fsStrikeOut);
    Font.lfCharSet = FCharset;
    Font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    Font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    Font.lfQuality = DEFAULT_QUALITY;
    Font.lfPitchAndFamily = FPitch == fpVariable ? VARIABLE_PITCH : FPitch == fpFixed ? FIXED_PITCH : DEFAULT_PITCH;
    lstrcpynA(Font.lfFaceName, FName.c_str(), LF_FACESIZE);
    FHandle = GdiNewFont(Font);
    if (!FHandle) throw EOutOfResources("Cannot create font \"" + FName + "\"");
    FOwnsHandle = true;
  }
  return FHandle;
}

void TFont::SetHandle(HFONT Value) {
  if (Value == FHandle) return;
  LOGFONTA Font{};
  if (Value && GetObjectA(Value, sizeof(Font), &Font) != sizeof(Font))
    throw EInvalidGraphic("The handle is not a font");
  DescriptionChanging();
  if (Value) {
    FHandle = Value;
    FOwnsHandle = false;
    FName = Font.lfFaceName;
    FHeight = Font.lfHeight;
    TFontStyles Style;
    if (Font.lfWeight >= FW_BOLD) Style += fsBold;
    if (Font.lfItalic) Style += fsItalic;
    if (Font.lfUnderline) Style += fsUnderline;
    if (Font.lfStrikeOut) Style += fsStrikeOut;
    FStyle = Style;
    FCharset = Font.lfCharSet;
    int Pitch = Font.lfPitchAndFamily & 3;
    FPitch = Pitch == VARIABLE_PITCH ? fpVariable : Pitch == FIXED_PITCH ? fpFixed : fpDefault;
  }
  Changed();
}

void TFont::SetName(const std::string& Value) {
  if (Value.empty() || Value == FName) return;
  DescriptionChanging();
  FName = Value;
  Changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetHeight(int Value) {
  if (Value == FHeight) return;
  DescriptionChanging();
  FHeight = Value;
  Changed();
}

void TFont::SetStyle(TFontStyles Value) {
  if (Value == FStyle) return;
  DescriptionChanging();
  FStyle = Value;
  Changed();
}

void TFont::SetColor(TColor Value) {
  if (Value == FColor) return;
  Changing();  // the handle stays; a canvas must take the new text colour
  FColor = Value;
  Changed();
}

void TFont::SetCharset(TFontCharset Value) {
  if (Value == FCharset) return;
  DescriptionChanging();
  FCharset = Value;
  Changed();
}

void TFont::SetPitch(TFontPitch Value) {
  if (Value == FPitch) return;
  DescriptionChanging();
  FPitch = Value;
  Changed();
}

bool TFont::Equals(const TFont* Other) const {
  return Other && FStyle == Other->FStyle && Size() == Other->Size() && FColor == Other->FColor &&
         FName == Other->FName;
}

// ---------------------------------------------------------------------------------------------------
// TBrush

PUBLISHED(TBrush) {
  p.Color("Color", &TBrush::Color, &TBrush::SetColor);
  p.Enum("Style", &TBrush::Style, &TBrush::SetStyle, {"bsSolid", "bsClear"});
}

TBrush::TBrush() = default;
TBrush::~TBrush() { FreeHandle(); }

void TBrush::FreeHandle() {
  GdiFreeObject(FHandle);
  FHandle = nullptr;
}

void TBrush::Assign(TPersistent* Source) {
  if (TBrush* Other = As<TBrush>(Source)) {
    if (Other == this) return;
    Changing();
    FreeHandle();
    FColor = Other->FColor;
    FStyle = Other->FStyle;
    Changed();
    return;
  }
  inherited::Assign(Source);
}

HBRUSH TBrush::Handle() {
  if (!FHandle) {
    LOGBRUSH Brush{};
    Brush.lbStyle = FStyle == bsClear ? BS_NULL : BS_SOLID;
    Brush.lbColor = ColorToRGB(FColor);
    FHandle = GdiNewBrush(Brush);
    if (!FHandle) throw EOutOfResources("Cannot create brush");
  }
  return FHandle;
}

void TBrush::SetColor(TColor Value) {
  if (Value == FColor) return;
  Changing();
  FreeHandle();
  FColor = Value;
  // No colour means no fill; any colour is only seen with a solid brush.
  if (Value == clNone)
    FStyle = bsClear;
  else if (FStyle == bsClear)
    FStyle = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (Value == FStyle) return;
  Changing();
  FreeHandle();
  FStyle = Value;
  Changed();
}

// ---------------------------------------------------------------------------------------------------
// TPen

PUBLISHED(TPen) {
  p.Color("Color", &TPen::Color, &TPen::SetColor);
  p.Enum("Mode", &TPen::Mode, &TPen::SetMode, {"pmCopy", "pmNot"});
  p.Enum("Style", &TPen::Style, &TPen::SetStyle, {"psSolid", "psClear"});
  p.Int("Width", &TPen::Width, &TPen::SetWidth);
}

TPen::TPen() = default;
TPen::~TPen() { FreeHandle(); }

void TPen::FreeHandle() {
  GdiFreeObject(FHandle);
  FHandle = nullptr;
}

void TPen::Assign(TPersistent* Source) {
  if (TPen* Other = As<TPen>(Source)) {
    if (Other == this) return;
    Changing();
    FreeHandle();
    FColor = Other->FColor;
    FWidth = Other->FWidth;
    FStyle = Other->FStyle;
    FMode = Other->FMode;
    Changed();
    return;
  }
  inherited::Assign(Source);
}

HPEN TPen::Handle() {
  if (!FHandle) {
    FHandle = GdiNewPen(FStyle == psClear ? PS_NULL : PS_SOLID, FWidth, ColorToRGB(FColor));
    if (!FHandle) throw EOutOfResources("Cannot create pen");
  }
  return FHandle;
}

void TPen::SetColor(TColor Value) {
  if (Value == FColor) return;
  Changing();
  FreeHandle();
  FColor = Value;
  Changed();
}

void TPen::SetWidth(int Value) {
  if (Value < 0) Value = 0;
  if (Value == FWidth) return;
  Changing();
  FreeHandle();
  FWidth = Value;
  Changed();
}

void TPen::SetStyle(TPenStyle Value) {
  if (Value == FStyle) return;
  Changing();
  FreeHandle();
  FStyle = Value;
  Changed();
}

void TPen::SetMode(TPenMode Value) {
  if (Value == FMode) return;
  Changing();
  FMode = Value;
  Changed();
}

// The reader resolves colour names from the first form on; the table lives in function-local statics,
// so registering during static initialisation is safe.
static const bool ColorIdentsRegistered = (RegisterColorIdents(), true);
