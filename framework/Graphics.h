#pragma once
// Colours, fonts, brushes, pens, canvases and graphics (bitmaps, icons, pictures).
//
// Bitmaps are bottom-up DIB sections (or device-dependent bitmaps for pfDevice); a 32-bit pixel is the
// little-endian word 0xAARRGGBB. Every GDI object here is created through the counted wrappers of
// GraphicsGdi.h, so leak tests see them.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/GraphicsGdi.h"
#include "framework/System.h"

class TStream;
class TCanvas;
class TGraphic;
class TBitmap;

// ---------------------------------------------------------------------------------------------------
// Points, sizes and rectangles: laid out as POINT, SIZE and RECT, so they pass to Win32 unchanged.

struct TPoint {
  int X = 0;
  int Y = 0;
  constexpr TPoint() = default;
  constexpr TPoint(int AX, int AY) : X(AX), Y(AY) {}
  constexpr TPoint(const POINT& P) : X(P.x), Y(P.y) {}
  constexpr operator POINT() const { return POINT{X, Y}; }
  constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  constexpr TSize() = default;
  constexpr TSize(int ACx, int ACy) : cx(ACx), cy(ACy) {}
  constexpr TSize(const SIZE& S) : cx(S.cx), cy(S.cy) {}
  constexpr operator SIZE() const { return SIZE{cx, cy}; }
  constexpr bool operator==(const TSize&) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  constexpr TRect() = default;
  constexpr TRect(int ALeft, int ATop, int ARight, int ABottom) : Left(ALeft), Top(ATop), Right(ARight), Bottom(ABottom) {}
  constexpr TRect(const RECT& R) : Left(R.left), Top(R.top), Right(R.right), Bottom(R.bottom) {}
  constexpr operator RECT() const { return RECT{Left, Top, Right, Bottom}; }
  constexpr int Width() const { return Right - Left; }
  constexpr int Height() const { return Bottom - Top; }
  constexpr bool operator==(const TRect&) const = default;
  // For Win32 calls that take a RECT*.
  RECT* AsRECT() { return reinterpret_cast<RECT*>(this); }
  const RECT* AsRECT() const { return reinterpret_cast<const RECT*>(this); }
};

static_assert(sizeof(TPoint) == sizeof(POINT) && sizeof(TSize) == sizeof(SIZE) && sizeof(TRect) == sizeof(RECT));

constexpr TPoint Point(int X, int Y) { return TPoint(X, Y); }
constexpr TRect Rect(int Left, int Top, int Right, int Bottom) { return TRect(Left, Top, Right, Bottom); }
constexpr TRect Bounds(int Left, int Top, int Width, int Height) { return TRect(Left, Top, Left + Width, Top + Height); }

// ---------------------------------------------------------------------------------------------------
// Colours: 0x00BBGGRR; 0xFF0000xx is the system colour COLOR_xx.

using TColor = std::uint32_t;

constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor | COLOR_MENU;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;
constexpr TColor clHotLight = clSystemColor | COLOR_HOTLIGHT;
constexpr TColor clGradientActiveCaption = clSystemColor | COLOR_GRADIENTACTIVECAPTION;
constexpr TColor clGradientInactiveCaption = clSystemColor | COLOR_GRADIENTINACTIVECAPTION;
constexpr TColor clMenuHighlight = clSystemColor | COLOR_MENUHILIGHT;
constexpr TColor clMenuBar = clSystemColor | COLOR_MENUBAR;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// A system colour (high byte 0xFF) becomes GetSysColor of its index, called through the import table so a
// patched entry is honoured; every other value is returned as it is.
TColor ColorToRGB(TColor Color);

// The identifier table the form reader uses ("clBtnFace" <-> 0xFF00000F). Names compare case-insensitively.
bool ColorToIdent(TColor Color, std::string& Ident);
bool IdentToColor(const std::string& Ident, TColor& Color);
// Registers the table with the property registry under "TColor" (called at unit start).
void RegisterColorIdents();

// LOGPIXELSY of the screen.
int ScreenPixelsPerInch();

// ---------------------------------------------------------------------------------------------------
// Fonts, brushes and pens: descriptions whose GDI handle is made on first use and dropped on change.

class TGraphicsObject : public TPersistent {
  DECLARE_CLASS(TGraphicsObject, TPersistent)
public:
  TNotifyEvent OnChange;

protected:
  // Before the handle goes: a canvas that selected it deselects it first (a selected object cannot be deleted).
  void Changing();
  virtual void Changed();

private:
  friend class TCanvas;
  TCanvas* FCanvas = nullptr;  // the canvas this object belongs to, if any
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = std::uint8_t;

class TFont : public TGraphicsObject {
  DECLARE_CLASS(TFont, TGraphicsObject)
public:
  TFont();
  ~TFont() override;
  void Assign(TPersistent* Source) override;

  // The font handle, made on first use. The font owns it.
  HFONT Handle();
  // Takes the description of a foreign font and uses that handle until the next change. The handle stays
  // the caller's: the font never deletes it (a window's WM_GETFONT font must outlive this font).
  void SetHandle(HFONT Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value);
  // Points at the screen's PixelsPerInch; Height is pixels (negative: character height without leading).
  int Size() const;
  void SetSize(int Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  int PixelsPerInch() const { return FPixelsPerInch; }

  // Same Style, Size, Color and Name.
  bool Equals(const TFont* Other) const;

private:
  void DescriptionChanging();
  void FreeHandle();

  HFONT FHandle = nullptr;
  bool FOwnsHandle = false;
  std::string FName;
  int FHeight;
  TFontStyles FStyle;
  TColor FColor;
  TFontCharset FCharset;
  TFontPitch FPitch;
  int FPixelsPerInch;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
  DECLARE_CLASS(TBrush, TGraphicsObject)
public:
  TBrush();
  ~TBrush() override;
  void Assign(TPersistent* Source) override;

  HBRUSH Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);

private:
  void FreeHandle();
  HBRUSH FHandle = nullptr;
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};

enum TPenStyle { psSolid, psClear };
enum TPenMode { pmCopy, pmNot };

class TPen : public TGraphicsObject {
  DECLARE_CLASS(TPen, TGraphicsObject)
public:
  TPen();
  ~TPen() override;
  void Assign(TPersistent* Source) override;

  HPEN Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  // Raster operation of lines drawn with the pen (pmNot inverts the destination).
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);

private:
  void FreeHandle();
  HPEN FHandle = nullptr;
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

// ---------------------------------------------------------------------------------------------------
// Canvas: drawing on a device context with the canvas's font, brush and pen, selected when first needed.

// Raster operations of CopyRect and of drawing bitmaps.
constexpr DWORD cmBlackness = BLACKNESS;
constexpr DWORD cmDstInvert = DSTINVERT;
constexpr DWORD cmMergeCopy = MERGECOPY;
constexpr DWORD cmMergePaint = MERGEPAINT;
constexpr DWORD cmNotSrcCopy = NOTSRCCOPY;
constexpr DWORD cmNotSrcErase = NOTSRCERASE;
constexpr DWORD cmPatCopy = PATCOPY;
constexpr DWORD cmPatInvert = PATINVERT;
constexpr DWORD cmPatPaint = PATPAINT;
constexpr DWORD cmSrcAnd = SRCAND;
constexpr DWORD cmSrcCopy = SRCCOPY;
constexpr DWORD cmSrcErase = SRCERASE;
constexpr DWORD cmSrcInvert = SRCINVERT;
constexpr DWORD cmSrcPaint = SRCPAINT;
constexpr DWORD cmWhiteness = WHITENESS;

class TCanvas : public TPersistent {
  DECLARE_CLASS(TCanvas, TPersistent)
public:
  TCanvas();
  ~TCanvas() override;

  // The device context. A plain canvas draws on a DC given to it; derived canvases make theirs in
  // CreateHandle. Raises EInvalidOperation when there is none.
  HDC Handle();
  // Attaches a foreign DC (0 detaches): the previous DC gets its own objects back; the canvas never frees
  // a DC it was given.
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TBrush* Brush() const { return FBrush; }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  TPen* Pen() const { return FPen; }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(TPoint Value) { MoveTo(Value.X, Value.Y); }
  DWORD CopyMode() const { return FCopyMode; }
  void SetCopyMode(DWORD Value) { FCopyMode = Value; }

  // GetPixel / SetPixel (outside the DC's clip the getter gives CLR_INVALID).
  TColor Pixels(int X, int Y);
  void SetPixels(int X, int Y, TColor Value);
  TRect ClipRect();

  void MoveTo(int X, int Y);
  void LineTo(int X, int Y);
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
  void FillRect(const TRect& Rect);
  void FrameRect(const TRect& Rect);
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const TRect& Rect) { Ellipse(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
  void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Polygon(const TPoint* Points, int Count);
  void Polygon(const std::vector<TPoint>& Points) { Polygon(Points.data(), static_cast<int>(Points.size())); }
  void Polyline(const TPoint* Points, int Count);
  void Polyline(const std::vector<TPoint>& Points) { Polyline(Points.data(), static_cast<int>(Points.size())); }
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
  void DrawFocusRect(const TRect& Rect);

  // Text in the font's colour; the background is filled with the brush unless the brush is bsClear.
  // TextOut leaves the pen position after the text.
  void TextOut(int X, int Y, const std::string& Text);
  void TextRect(const TRect& Rect, int X, int Y, const std::string& Text);
  TSize TextExtent(const std::string& Text);
  int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
  int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }
  // Text's size in Font, measured on a memory DC (no canvas or window needed).
  static TSize FontTextExtent(TFont* Font, const std::string& Text);

  // Graphics draw themselves (a bitmap with CopyMode; transparent ones keyed).
  void Draw(int X, int Y, TGraphic* Graphic);
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);
  // StretchBlt of Source on Canvas into Dest, with CopyMode.
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);

  // A counted lock for canvases shared between threads (the owning thread may lock again).
  void Lock();
  void Unlock();
  int LockCount() const { return FLockCount; }

  // Around every drawing operation; either may be cleared to stop the notices.
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  virtual void CreateHandle() {}
  void Changing();
  void Changed();

  enum : unsigned { csHandleValid = 1, csFontValid = 2, csPenValid = 4, csBrushValid = 8 };
  // Makes the DC exist and selects what an operation needs.
  void RequiredState(unsigned State);
  // Puts the DC's own font, brush and pen back.
  void DeselectHandles();

private:
  friend class TGraphicsObject;
  void ObjectChanging(TGraphicsObject* Object);

  HDC FHandle = nullptr;
  unsigned FState = 0;
  TFont* FFont;
  TBrush* FBrush;
  TPen* FPen;
  HGDIOBJ FOldFont = nullptr, FOldBrush = nullptr, FOldPen = nullptr;
  TPoint FPenPos;
  DWORD FCopyMode = cmSrcCopy;
  CRITICAL_SECTION FLock;
  int FLockCount = 0;
};

// ---------------------------------------------------------------------------------------------------
// Graphics

class TGraphic : public TPersistent {
  DECLARE_CLASS(TGraphic, TPersistent)
public:
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int Value) = 0;
  virtual void SetHeight(int Value) = 0;
  virtual bool Empty() const = 0;
  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value);

  // Draws the graphic into Rect of Canvas (stretched to it).
  virtual void Draw(TCanvas* Canvas, const TRect& Rect) = 0;

  // A malformed image raises EInvalidGraphic; the graphic is then left as it was.
  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

  // The graphic as stored inside a picture's data (after the class name); the default is the plain stream.
  virtual void ReadData(TStream* Stream) { LoadFromStream(Stream); }
  virtual void WriteData(TStream* Stream) { SaveToStream(Stream); }
  // Stored descriptions give a graphic property ("Icon.Data = { ... }") its ReadData bytes.
  void DefineProperties(TFiler& Filer) override;

  TNotifyEvent OnChange;

protected:
  virtual void Changed();

private:
  bool FTransparent = false;
  bool FModified = false;
};

using TGraphicClass = const TClassInfo*;

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };
enum TBitmapHandleType { bmDIB, bmDDB };

// A bitmap. pf1bit/pf4bit/pf8bit/pf24bit/pf32bit are bottom-up DIB sections (HandleType bmDIB); pfDevice is
// a bitmap compatible with the screen (bmDDB). Pixels a resize or a new bitmap adds are white with alpha 0
// (0x00FFFFFF; the palette entry nearest to white for indexed formats).
class TBitmap : public TGraphic {
  DECLARE_CLASS(TBitmap, TGraphic)
public:
  TBitmap();
  ~TBitmap() override;
  void Assign(TPersistent* Source) override;

  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  void SetWidth(int Value) override { SetSize(Value, FHeight); }
  void SetHeight(int Value) override { SetSize(FWidth, Value); }
  // Keeps the image in the overlap of the old and new sizes (anchored top-left).
  void SetSize(int Width, int Height);
  bool Empty() const override { return FWidth == 0 || FHeight == 0; }

  TPixelFormat PixelFormat() const { return FPixelFormat; }
  // Converts the image: to pf32bit the alpha is 0, from pf32bit the alpha is dropped, to an indexed format
  // each pixel takes the nearest palette entry (pf1bit black/white, pf4bit the 16 VGA colours, pf8bit a grey
  // ramp where index = grey level).
  void SetPixelFormat(TPixelFormat Value);
  TBitmapHandleType HandleType() const { return FPixelFormat == pfDevice ? bmDDB : bmDIB; }
  // bmDIB turns a pfDevice bitmap into a DIB of the screen's depth; bmDDB turns a DIB into pfDevice.
  void SetHandleType(TBitmapHandleType Value);
  bool Monochrome() const { return FPixelFormat == pf1bit; }
  void SetMonochrome(bool Value);

  // The colour drawn transparent when Transparent is set: by default the bottom-left pixel's colour.
  TColor TransparentColor();
  // clDefault returns to the bottom-left pixel.
  void SetTransparentColor(TColor Value);

  // Address of row Y (0 = top) of the DIB section; a pfDevice bitmap is made a DIB first. Rows of a bottom-up
  // DIB lie at decreasing addresses. Raises EInvalidGraphicOperation out of range.
  void* ScanLine(int Y);

  TCanvas* Canvas();
  // The HBITMAP (0 while the bitmap is empty). The bitmap owns it.
  HBITMAP Handle() const { return FHandle; }
  bool HandleAllocated() const { return FHandle != nullptr; }
  // The colour table of an indexed bitmap (empty otherwise).
  const std::vector<RGBQUAD>& Palette() const { return FPalette; }

  void Draw(TCanvas* Canvas, const TRect& Rect) override;

  // BMP files of 1, 4, 8, 16, 24 and 32 bits, top-down or bottom-up, at most 8192 x 8192. A stream at its
  // end loads an empty bitmap; an empty bitmap saves nothing.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // Inside picture data the image is preceded by its size (4 bytes; 0 is an empty bitmap); the sized bytes go
  // to the virtual LoadFromStream.
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;
  // An RT_BITMAP resource of the module; EResNotFound when it is missing.
  void LoadFromResourceName(HINSTANCE Instance, const std::string& Name);

private:
  friend class TBitmapCanvas;
  friend struct BitmapImage;
  void CanvasChanged(TObject* Sender);
  // Replaces the handle and bits by a new image (freeing the old one and the canvas's DC).
  void ReplaceImage(HBITMAP Handle, void* Bits, int Width, int Height, TPixelFormat Format,
                    std::vector<RGBQUAD> Palette);
  void ReleaseCanvasDC();

  HBITMAP FHandle = nullptr;
  void* FBits = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;
  std::vector<RGBQUAD> FPalette;
  TColor FTransparentColor = clDefault;
  TCanvas* FCanvas = nullptr;
};

// An icon. It owns its HICON.
class TIcon : public TGraphic {
  DECLARE_CLASS(TIcon, TGraphic)
public:
  TIcon();
  ~TIcon() override;
  void Assign(TPersistent* Source) override;

  HICON Handle() const { return FHandle; }
  // Takes ownership of Value (the previous icon is destroyed). The GDI count follows the handle: make it
  // through GraphicsGdi.h (or call GdiCountCreated(gkIcon) for one made otherwise).
  void SetHandle(HICON Value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Gives the handle away: the icon becomes empty; the new owner destroys it with GdiFreeIcon.
  HICON ReleaseHandle();

  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  // The size of an icon comes from its image: changing it raises EInvalidGraphicOperation.
  void SetWidth(int Value) override;
  void SetHeight(int Value) override;
  bool Empty() const override { return FHandle == nullptr; }
  bool Transparent() const override { return true; }

  // DrawIconEx at Rect's size.
  void Draw(TCanvas* Canvas, const TRect& Rect) override;
  // An .ico file: the image nearest to the system icon size, deepest colour first. SaveToStream writes the
  // file that was loaded.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // An RT_GROUP_ICON resource ("MAINICON" is the application's) at the system icon size.
  void LoadFromResourceName(HINSTANCE Instance, const std::string& Name);

private:
  void SetIcon(HICON Icon, std::vector<std::uint8_t> Data);
  HICON FHandle = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  std::vector<std::uint8_t> FData;  // the .ico file it was loaded from
};

// A picture holds one graphic of any registered class.
class TPicture : public TPersistent {
  DECLARE_CLASS(TPicture, TPersistent)
public:
  TPicture();
  ~TPicture() override;
  void Assign(TPersistent* Source) override;

  TGraphic* Graphic() const { return FGraphic; }
  // Stores a copy of Value (null empties the picture).
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap (an empty bitmap replaces a graphic of another class); likewise Icon.
  TBitmap* Bitmap();
  TIcon* Icon();
  int Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // By the file's extension in the format registry; an unknown one raises EInvalidGraphic.
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

  // Picture data in stored descriptions: the graphic class name (a length byte and the name), then the
  // graphic's own data. An empty name is an empty picture.
  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);
  // "Picture.Data = { ... }" in stored descriptions goes to ReadData.
  void DefineProperties(TFiler& Filer) override;

  TNotifyEvent OnChange;

  // The file-format registry (extensions without the dot, case-insensitive). "bmp", "ico", "jpg" and
  // "jpeg" are built in.
  static void RegisterFileFormat(const std::string& Extension, const std::string& Description, TGraphicClass Class);
  static void UnregisterGraphicClass(TGraphicClass Class);
  // The class registered for an extension (null when none).
  static TGraphicClass FileFormatClass(const std::string& Extension);
  // A registered graphic class by its class name (null when none).
  static TGraphicClass GraphicClassByName(const std::string& Name);

private:
  void Changed(TObject* Sender);
  void ReplaceGraphic(TGraphic* Value);  // takes ownership
  TGraphic* FGraphic = nullptr;
};
