// Colours, fonts, brushes, pens and the canvas, asserted on 32-bit DIB sections.
#include <gtest/gtest.h>

#include <atomic>

#include "framework/Graphics.h"
#include "framework/TypInfo.h"
#include "graphics_test_util.h"
#include "tests/support/GdiLeaks.h"

using namespace graphics_test;

namespace {

constexpr std::uint32_t White = 0x00FFFFFF;

// A system colour is 0xFF000000 plus the system's colour index.
TEST(GraphicsColor, SystemColoursGoThroughGetSysColorOthersPassUnchanged) {
  for (const auto& [color, index] : {std::pair{clBtnFace, COLOR_BTNFACE}, {cl3DLight, COLOR_3DLIGHT}, {clInfoBk, COLOR_INFOBK},
                                     {clHighlight, COLOR_HIGHLIGHT}, {clHighlightText, COLOR_HIGHLIGHTTEXT},
                                     {clWindow, COLOR_WINDOW}, {clWindowText, COLOR_WINDOWTEXT}}) {
    EXPECT_EQ(color, 0xFF000000u | index);
    EXPECT_EQ(ColorToRGB(color), GetSysColor(index)) << index;
  }
  for (TColor color : {TColor{0x00123456}, clNone, clDefault}) EXPECT_EQ(ColorToRGB(color), color);
}

TEST(GraphicsColor, IdentifierTableBothWaysAndThroughTheReadersRegistry) {
  TColor Color = 0;
  ASSERT_TRUE(IdentToColor("cl3DLight", Color));
  EXPECT_EQ(Color, 0xFF000016u);
  ASSERT_TRUE(IdentToColor("CLBTNFACE", Color));  // stored descriptions are case-insensitive
  EXPECT_EQ(Color, clBtnFace);
  EXPECT_FALSE(IdentToColor("clNoSuchColour", Color));
  std::string Name;
  ASSERT_TRUE(ColorToIdent(0x000080, Name));
  EXPECT_EQ(Name, "clMaroon");
  EXPECT_FALSE(ColorToIdent(0x00123456, Name));

  int64_t Value = 0;
  ASSERT_TRUE(IdentToInt("TColor", "clInfoBk", Value));
  EXPECT_EQ(Value, 0xFF000018);
  ASSERT_TRUE(IntToIdent("TColor", clNone, Name));
  EXPECT_EQ(Name, "clNone");
}

TEST(GraphicsFont, DefaultsAndPointPixelRelation) {
  Owned<TFont> Font(new TFont());
  EXPECT_EQ(Font->Name(), "Tahoma");
  EXPECT_EQ(Font->Size(), 8);
  EXPECT_EQ(Font->Height(), -MulDiv(8, ScreenPixelsPerInch(), 72));
  EXPECT_EQ(Font->Charset(), DEFAULT_CHARSET);
  EXPECT_EQ(Font->Color(), clWindowText);
  EXPECT_TRUE(Font->Style().Empty());
  EXPECT_EQ(Font->Pitch(), fpDefault);

  Font->SetHeight(-MulDiv(12, Font->PixelsPerInch(), 72));
  EXPECT_EQ(Font->Size(), 12);
  Font->SetSize(20);
  EXPECT_EQ(Font->Height(), -MulDiv(20, Font->PixelsPerInch(), 72));
}

TEST(GraphicsFont, HandleDescribesTheFontAndIsRemadeOnlyAfterAChange) {
  const TGdiObjectCounts Before = GdiObjectCounts();
  {
    Owned<TFont> Font(new TFont());
    Font->SetStyle({fsBold, fsUnderline});
    Font->SetName("Courier New");
    EXPECT_EQ(GdiObjectCount(gkFont), Before[gkFont]);  // nothing made before it is needed
    HFONT Handle = Font->Handle();
    EXPECT_EQ(Font->Handle(), Handle);
    EXPECT_EQ(GdiObjectCount(gkFont), Before[gkFont] + 1);
    LOGFONTA Log{};
    ASSERT_EQ(GetObjectA(Handle, sizeof(Log), &Log), static_cast<int>(sizeof(Log)));
    EXPECT_STREQ(Log.lfFaceName, "Courier New");
    EXPECT_EQ(Log.lfWeight, FW_BOLD);
    EXPECT_TRUE(Log.lfUnderline);
    EXPECT_FALSE(Log.lfItalic);
    EXPECT_EQ(Log.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(Log.lfHeight, Font->Height());

    Font->SetColor(clRed);  // colour is not part of the handle
    EXPECT_TRUE(Font->HandleAllocated());
    Font->SetSize(14);
    EXPECT_FALSE(Font->HandleAllocated());
    EXPECT_EQ(GdiObjectCount(gkFont), Before[gkFont]);
  }
  EXPECT_EQ(GdiObjectCounts(), Before) << GdiObjectCounts().ToString();
}

TEST(GraphicsFont, OnChangeFiresOncePerRealChange) {
  Owned<TFont> Font(new TFont());
  int Changes = 0;
  Font->OnChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, Font.get());
    ++Changes;
  };
  Font->SetName("Tahoma");
  Font->SetSize(8);
  Font->SetColor(clWindowText);
  EXPECT_EQ(Changes, 0);
  Font->SetName("Arial");
  Font->SetStyle({fsItalic});
  Font->SetColor(clRed);
  Font->SetCharset(RUSSIAN_CHARSET);
  Font->SetPitch(fpFixed);
  EXPECT_EQ(Changes, 5);
  Font->OnChange = nullptr;
  Font->SetSize(30);
  EXPECT_EQ(Changes, 5);
}

TEST(GraphicsFont, AssignAndEqualityCompareStyleSizeColorName) {
  Owned<TFont> A(new TFont()), B(new TFont());
  A->SetName("Arial");
  A->SetSize(11);
  A->SetStyle({fsBold});
  A->SetColor(clBlue);
  A->SetCharset(RUSSIAN_CHARSET);
  EXPECT_FALSE(B->Equals(A.get()));
  B->Assign(A.get());
  EXPECT_TRUE(B->Equals(A.get()));
  EXPECT_EQ(B->Charset(), RUSSIAN_CHARSET);
  B->SetCharset(ANSI_CHARSET);  // not part of equality
  EXPECT_TRUE(B->Equals(A.get()));
  B->SetColor(clRed);
  EXPECT_FALSE(B->Equals(A.get()));
  B->SetColor(clBlue);
  B->SetStyle({fsBold, fsItalic});
  EXPECT_FALSE(B->Equals(A.get()));
  EXPECT_FALSE(B->Equals(nullptr));

  Owned<TBrush> Brush(new TBrush());
  EXPECT_THROW(B->Assign(Brush.get()), EConvertError);
}

TEST(GraphicsFont, AdoptedHandleIsDescribedUsedAndNeverDeleted) {
  LOGFONTA Log{};
  Log.lfHeight = -15;
  Log.lfWeight = FW_BOLD;
  Log.lfItalic = TRUE;
  Log.lfCharSet = RUSSIAN_CHARSET;
  Log.lfPitchAndFamily = FIXED_PITCH;
  lstrcpyA(Log.lfFaceName, "Courier New");
  HFONT Foreign = GdiNewFont(Log);
  ASSERT_NE(Foreign, nullptr);
  {
    Owned<TFont> Font(new TFont());
    int Changes = 0;
    Font->OnChange = [&](TObject*) { ++Changes; };
    Font->SetHandle(Foreign);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Font->Handle(), Foreign);
    EXPECT_EQ(Font->Name(), "Courier New");
    EXPECT_EQ(Font->Height(), -15);
    EXPECT_EQ(Font->Style(), TFontStyles({fsBold, fsItalic}));
    EXPECT_EQ(Font->Charset(), RUSSIAN_CHARSET);
    EXPECT_EQ(Font->Pitch(), fpFixed);
    Font->SetSize(20);  // a change makes a font of its own
    EXPECT_NE(Font->Handle(), Foreign);
    EXPECT_EQ(GetObjectType(Foreign), static_cast<DWORD>(OBJ_FONT));
    Font->SetHandle(Foreign);
  }
  EXPECT_EQ(GetObjectType(Foreign), static_cast<DWORD>(OBJ_FONT));  // still the caller's
  EXPECT_TRUE(GdiFreeObject(Foreign));

  Owned<TFont> Font(new TFont());
  EXPECT_THROW(Font->SetHandle(reinterpret_cast<HFONT>(GetStockObject(WHITE_BRUSH))), EInvalidGraphic);
}

TEST(GraphicsBrushPen, HandlesFollowStyleAndColor) {
  const TGdiObjectCounts Before = GdiObjectCounts();
  {
    Owned<TBrush> Brush(new TBrush());
    EXPECT_EQ(Brush->Color(), clWhite);
    EXPECT_EQ(Brush->Style(), bsSolid);
    Brush->SetColor(clBtnFace);
    LOGBRUSH Log{};
    ASSERT_TRUE(GetObjectA(Brush->Handle(), sizeof(Log), &Log));
    EXPECT_EQ(Log.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(Log.lbColor, GetSysColor(COLOR_BTNFACE));
    Brush->SetStyle(bsClear);
    ASSERT_TRUE(GetObjectA(Brush->Handle(), sizeof(Log), &Log));
    EXPECT_EQ(Log.lbStyle, static_cast<UINT>(BS_NULL));
    Brush->SetColor(clRed);  // a colour makes a clear brush solid again
    EXPECT_EQ(Brush->Style(), bsSolid);
    Brush->SetColor(clNone);  // no colour: no fill
    EXPECT_EQ(Brush->Style(), bsClear);

    Owned<TPen> Pen(new TPen());
    EXPECT_EQ(Pen->Color(), clBlack);
    EXPECT_EQ(Pen->Width(), 1);
    EXPECT_EQ(Pen->Mode(), pmCopy);
    Pen->SetWidth(3);
    Pen->SetColor(clBlue);
    LOGPEN PenLog{};
    ASSERT_TRUE(GetObjectA(Pen->Handle(), sizeof(PenLog), &PenLog));
    EXPECT_EQ(PenLog.lopnStyle, static_cast<UINT>(PS_SOLID));
    EXPECT_EQ(PenLog.lopnWidth.x, 3);
    EXPECT_EQ(PenLog.lopnColor, 0xFF0000u);
    EXPECT_EQ(GdiObjectCount(gkPen), Before[gkPen] + 1);
    Pen->SetStyle(psClear);
    ASSERT_TRUE(GetObjectA(Pen->Handle(), sizeof(PenLog), &PenLog));
    EXPECT_EQ(PenLog.lopnStyle, static_cast<UINT>(PS_NULL));
    EXPECT_EQ(GdiObjectCount(gkPen), Before[gkPen]);  // GDI's own null pen is not ours
  }
  EXPECT_EQ(GdiObjectCounts(), Before) << GdiObjectCounts().ToString();
}

TEST(GraphicsCanvas, FillFrameAndRectangleArePixelExact) {
  auto Bitmap = Bitmap32(20, 20);
  TCanvas* Canvas = Bitmap->Canvas();
  Canvas->Brush()->SetColor(clRed);
  Canvas->FillRect(Rect(2, 3, 6, 8));
  EXPECT_EQ(ChangedArea(Bitmap.get(), White), Rect(2, 3, 6, 8));
  EXPECT_EQ(ColorsIn(Bitmap.get(), Rect(2, 3, 6, 8)), std::set<std::uint32_t>{0xFF0000});

  Fill32(Bitmap.get(), White);
  Canvas->Brush()->SetColor(clBlue);
  Canvas->FrameRect(Rect(10, 10, 15, 14));
  EXPECT_EQ(ChangedArea(Bitmap.get(), White), Rect(10, 10, 15, 14));
  EXPECT_EQ(PixelAt(Bitmap.get(), 12, 12) & 0xFFFFFF, White);  // interior untouched
  EXPECT_EQ(PixelAt(Bitmap.get(), 10, 12) & 0xFFFFFF, 0x0000FFu);

  Fill32(Bitmap.get(), White);
  Canvas->Pen()->SetColor(clLime);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Rectangle(Rect(1, 1, 9, 6));
  EXPECT_EQ(ChangedArea(Bitmap.get(), White), Rect(1, 1, 9, 6));
  EXPECT_EQ(PixelAt(Bitmap.get(), 4, 3) & 0xFFFFFF, White);  // clear brush: hollow
  EXPECT_EQ(PixelAt(Bitmap.get(), 8, 5) & 0xFFFFFF, 0x00FF00u);
}

TEST(GraphicsCanvas, ShapesFillTheirInsideOnly) {
  auto Bitmap = Bitmap32(40, 40);
  TCanvas* Canvas = Bitmap->Canvas();
  Canvas->Pen()->SetStyle(psClear);
  Canvas->Brush()->SetColor(clBlack);

  Canvas->Polygon({TPoint(0, 0), TPoint(20, 0), TPoint(0, 20)});
  EXPECT_EQ(PixelAt(Bitmap.get(), 3, 3) & 0xFFFFFF, 0u);
  EXPECT_EQ(PixelAt(Bitmap.get(), 15, 15) & 0xFFFFFF, White);

  Fill32(Bitmap.get(), White);
  Canvas->Ellipse(10, 10, 30, 30);
  EXPECT_EQ(PixelAt(Bitmap.get(), 20, 20) & 0xFFFFFF, 0u);
  EXPECT_EQ(PixelAt(Bitmap.get(), 11, 11) & 0xFFFFFF, White);  // outside the circle, inside the box
  TRect Area = ChangedArea(Bitmap.get(), White);
  EXPECT_GE(Area.Left, 10);
  EXPECT_LE(Area.Right, 30);

  Fill32(Bitmap.get(), White);
  Canvas->RoundRect(0, 0, 30, 30, 10, 10);
  EXPECT_EQ(PixelAt(Bitmap.get(), 0, 0) & 0xFFFFFF, White);  // rounded corner
  EXPECT_EQ(PixelAt(Bitmap.get(), 15, 0) & 0xFFFFFF, 0u);

  // A quarter pie: the slice from 3 o'clock counter-clockwise to 12 o'clock.
  Fill32(Bitmap.get(), White);
  Canvas->Pie(0, 0, 40, 40, 40, 20, 20, 0);
  EXPECT_EQ(PixelAt(Bitmap.get(), 28, 12) & 0xFFFFFF, 0u);
  EXPECT_EQ(PixelAt(Bitmap.get(), 12, 28) & 0xFFFFFF, White);

  Fill32(Bitmap.get(), White);
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Pen()->SetColor(clRed);
  Canvas->Polyline({TPoint(0, 5), TPoint(10, 5), TPoint(10, 15)});
  EXPECT_EQ(ChangedArea(Bitmap.get(), White), Rect(0, 5, 11, 15));  // the last point is not drawn
}

TEST(GraphicsCanvas, LinesMovePenPosAndNotModeInverts) {
  auto Bitmap = Bitmap32(10, 10);
  TCanvas* Canvas = Bitmap->Canvas();
  Canvas->MoveTo(1, 2);
  EXPECT_EQ(Canvas->PenPos(), TPoint(1, 2));
  Canvas->LineTo(8, 2);
  EXPECT_EQ(Canvas->PenPos(), TPoint(8, 2));
  EXPECT_EQ(ChangedArea(Bitmap.get(), White), Rect(1, 2, 8, 3));

  Canvas->Pen()->SetMode(pmNot);
  Canvas->MoveTo(1, 2);
  Canvas->LineTo(8, 2);  // inverting the black line gives white back
  EXPECT_EQ(ChangedArea(Bitmap.get(), White), TRect());
  Canvas->MoveTo(0, 5);
  Canvas->LineTo(3, 5);
  EXPECT_EQ(PixelAt(Bitmap.get(), 1, 5) & 0xFFFFFF, 0u);
}

TEST(GraphicsCanvas, PixelsReadAndWriteColourValues) {
  auto Bitmap = Bitmap32(8, 8);
  TCanvas* Canvas = Bitmap->Canvas();
  Canvas->SetPixels(3, 4, clRed);
  EXPECT_EQ(PixelAt(Bitmap.get(), 3, 4) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(Canvas->Pixels(3, 4), clRed);
  Canvas->SetPixels(5, 6, clBtnFace);
  EXPECT_EQ(Canvas->Pixels(5, 6), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(Canvas->Pixels(0, 0), clWhite);
  EXPECT_EQ(Canvas->ClipRect(), Rect(0, 0, 8, 8));
  IntersectClipRect(Canvas->Handle(), 2, 2, 5, 5);
  EXPECT_EQ(Canvas->ClipRect(), Rect(2, 2, 5, 5));
}

TEST(GraphicsCanvas, TextStaysInItsExtentOrItsRectangleInTheFontColour) {
  auto Bitmap = Bitmap32(120, 40);
  TCanvas* Canvas = Bitmap->Canvas();
  HFONT Crisp = NewCrispFont(-13);
  Canvas->Font()->SetHandle(Crisp);
  Canvas->Font()->SetColor(clRed);
  Canvas->Brush()->SetStyle(bsClear);
  const TSize Extent = Canvas->TextExtent("Hello");
  EXPECT_EQ(Canvas->TextWidth("Hello"), Extent.cx);
  EXPECT_EQ(Canvas->TextHeight("Hello"), Extent.cy);
  EXPECT_GT(Extent.cx, 10);
  Canvas->TextOut(5, 7, "Hello");
  EXPECT_EQ(Canvas->PenPos(), TPoint(5 + Extent.cx, 7));
  const TRect Area = ChangedArea(Bitmap.get(), White);
  EXPECT_GE(Area.Left, 5);
  EXPECT_GE(Area.Top, 7);
  EXPECT_LE(Area.Right, 5 + Extent.cx);
  EXPECT_LE(Area.Bottom, 7 + Extent.cy);
  EXPECT_EQ(ColorsIn(Bitmap.get(), Rect(0, 0, 120, 40)), (std::set<std::uint32_t>{White, 0xFF0000}));

  // A solid brush fills exactly the text's box behind it.
  Fill32(Bitmap.get(), White);
  Canvas->Brush()->SetColor(clYellow);
  Canvas->TextOut(5, 7, "Hello");
  EXPECT_EQ(ChangedArea(Bitmap.get(), White), Bounds(5, 7, Extent.cx, Extent.cy));
  EXPECT_EQ(ColorsIn(Bitmap.get(), Bounds(5, 7, Extent.cx, Extent.cy)), (std::set<std::uint32_t>{0xFFFF00, 0xFF0000}));

  // TextRect clips at its rectangle, and a solid brush fills all of it.
  Fill32(Bitmap.get(), White);
  Canvas->Font()->SetColor(clBlack);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->TextRect(Rect(10, 5, 30, 20), 10, 5, "A long line of text");
  const TRect Clipped = ChangedArea(Bitmap.get(), White);
  EXPECT_GE(Clipped.Left, 10);
  EXPECT_LE(Clipped.Bottom, 20);
  EXPECT_EQ(Clipped.Right, 30) << "text runs up to the clip edge";
  Fill32(Bitmap.get(), White);
  Canvas->Brush()->SetColor(clAqua);
  Canvas->TextRect(Rect(10, 5, 30, 20), 12, 6, "A long line of text");
  EXPECT_EQ(ChangedArea(Bitmap.get(), White), Rect(10, 5, 30, 20));
  EXPECT_EQ(ColorsIn(Bitmap.get(), Rect(10, 5, 30, 20)), (std::set<std::uint32_t>{0x00FFFF, 0}));
  Canvas->Font()->SetHandle(nullptr);
  GdiFreeObject(Crisp);
}

TEST(GraphicsCanvas, FocusRectangleDrawnTwiceRestoresThePixels) {
  auto Bitmap = Bitmap32(16, 16);
  TCanvas* Canvas = Bitmap->Canvas();
  Canvas->Brush()->SetColor(clGreen);
  Canvas->FillRect(Rect(0, 0, 8, 16));
  auto Snapshot = [&] {
    std::vector<std::uint32_t> Pixels;
    for (int Y = 0; Y < 16; ++Y)
      for (int X = 0; X < 16; ++X) Pixels.push_back(PixelAt(Bitmap.get(), X, Y) & 0xFFFFFF);
    return Pixels;
  };
  const std::vector<std::uint32_t> Before = Snapshot();
  Canvas->DrawFocusRect(Rect(2, 2, 14, 14));
  const std::vector<std::uint32_t> Drawn = Snapshot();
  int Changed = 0;
  for (int Y = 0; Y < 16; ++Y)
    for (int X = 0; X < 16; ++X)
      if (Drawn[Y * 16 + X] != Before[Y * 16 + X]) {
        ++Changed;
        EXPECT_TRUE(X == 2 || X == 13 || Y == 2 || Y == 13) << X << "," << Y;  // only the frame's line
      }
  EXPECT_GT(Changed, 10);
  Canvas->DrawFocusRect(Rect(2, 2, 14, 14));
  EXPECT_EQ(Snapshot(), Before);
}

TEST(GraphicsCanvas, CopyRectUsesCopyModeAndStretches) {
  auto Source = Bitmap32(4, 4);
  SetPixelAt(Source.get(), 0, 0, 0x00102030);
  SetPixelAt(Source.get(), 1, 0, 0x00405060);
  auto Dest = Bitmap32(8, 8);
  Dest->Canvas()->CopyRect(Rect(2, 2, 4, 3), Source->Canvas(), Rect(0, 0, 2, 1));
  EXPECT_EQ(PixelAt(Dest.get(), 2, 2) & 0xFFFFFF, 0x102030u);
  EXPECT_EQ(PixelAt(Dest.get(), 3, 2) & 0xFFFFFF, 0x405060u);
  EXPECT_EQ(ChangedArea(Dest.get(), White), Rect(2, 2, 4, 3));

  Dest->Canvas()->CopyRect(Rect(0, 4, 4, 6), Source->Canvas(), Rect(0, 0, 2, 1));  // twice the size
  EXPECT_EQ(ColorsIn(Dest.get(), Rect(0, 4, 2, 6)), std::set<std::uint32_t>{0x102030});
  EXPECT_EQ(ColorsIn(Dest.get(), Rect(2, 4, 4, 6)), std::set<std::uint32_t>{0x405060});

  Dest->Canvas()->SetCopyMode(cmNotSrcCopy);
  EXPECT_EQ(Dest->Canvas()->CopyMode(), cmNotSrcCopy);
  Dest->Canvas()->CopyRect(Rect(6, 6, 7, 7), Source->Canvas(), Rect(0, 0, 1, 1));
  EXPECT_EQ(PixelAt(Dest.get(), 6, 6) & 0xFFFFFF, 0xEFDFCFu);
}

TEST(GraphicsCanvas, ForeignDCGetsItsObjectsBackAndIsNotFreed) {
  BITMAPINFO Info{};
  Info.bmiHeader = {sizeof(BITMAPINFOHEADER), 10, 10, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* Bits = nullptr;
  HBITMAP Dib = GdiNewDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits);
  HDC DC = GdiNewMemoryDC(nullptr);
  HGDIOBJ OldBitmap = SelectObject(DC, Dib);
  const HGDIOBJ OwnFont = GetCurrentObject(DC, OBJ_FONT), OwnBrush = GetCurrentObject(DC, OBJ_BRUSH),
                OwnPen = GetCurrentObject(DC, OBJ_PEN);
  const TGdiObjectCounts Before = GdiObjectCounts();
  {
    Owned<TCanvas> Canvas(new TCanvas());
    EXPECT_FALSE(Canvas->HandleAllocated());
    EXPECT_THROW(Canvas->FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
    Canvas->SetHandle(DC);
    EXPECT_EQ(Canvas->Handle(), DC);
    EXPECT_EQ(GdiObjectCounts(), Before);  // nothing selected before a drawing needs it
    Canvas->Brush()->SetColor(clRed);
    Canvas->FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(GetCurrentObject(DC, OBJ_BRUSH), Canvas->Brush()->Handle());
    EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), OwnFont);  // the font was not needed
    EXPECT_EQ(static_cast<std::uint32_t*>(Bits)[0] & 0xFFFFFF, 0xFF0000u);
    Canvas->TextOut(0, 0, "x");
    Canvas->LineTo(5, 5);
    EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), Canvas->Font()->Handle());
    EXPECT_EQ(GetCurrentObject(DC, OBJ_PEN), Canvas->Pen()->Handle());

    // A change while selected: the old font is let go before it is deleted, the new one selected on demand.
    Canvas->Font()->SetSize(20);
    EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), OwnFont);
    Canvas->TextOut(0, 0, "x");
    EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), Canvas->Font()->Handle());
    EXPECT_EQ(GdiObjectCount(gkFont), Before[gkFont] + 1);

    Canvas->SetHandle(nullptr);
    EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), OwnFont);
    EXPECT_EQ(GetCurrentObject(DC, OBJ_BRUSH), OwnBrush);
    EXPECT_EQ(GetCurrentObject(DC, OBJ_PEN), OwnPen);
    Canvas->SetHandle(DC);  // freeing the canvas detaches too
    Canvas->TextOut(0, 0, "y");
  }
  EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), OwnFont);
  EXPECT_EQ(GetObjectType(DC), static_cast<DWORD>(OBJ_MEMDC));
  EXPECT_EQ(GdiObjectCounts(), Before) << GdiObjectCounts().ToString();
  SelectObject(DC, OldBitmap);
  GdiFreeMemoryDC(DC);
  GdiFreeObject(Dib);
}

TEST(GraphicsCanvas, ChangeEventsSurroundDrawingAndCanBeCleared) {
  auto Bitmap = Bitmap32(4, 4);
  TCanvas* Canvas = Bitmap->Canvas();
  std::string Log;
  Canvas->OnChanging = [&](TObject* Sender) {
    EXPECT_EQ(Sender, Canvas);
    Log += "<";
  };
  Canvas->OnChange = [&](TObject*) { Log += ">"; };
  Canvas->FillRect(Rect(0, 0, 1, 1));
  Canvas->SetPixels(1, 1, clRed);
  EXPECT_EQ(Log, "<><>");
  Canvas->TextExtent("abc");  // measuring draws nothing
  EXPECT_EQ(Log, "<><>");
  Canvas->OnChange = nullptr;
  Canvas->OnChanging = nullptr;
  Canvas->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(Log, "<><>");
}

TEST(GraphicsCanvas, BitmapHearsItsCanvasUntilTheCanvasEventIsCleared) {
  auto Bitmap = Bitmap32(4, 4);
  int Changes = 0;
  Bitmap->OnChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, Bitmap.get());
    ++Changes;
  };
  Bitmap->Canvas()->FillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(Changes, 1);
  Bitmap->Canvas()->OnChange = nullptr;
  Bitmap->Canvas()->FillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(Changes, 1);
}

DWORD WINAPI LockFromOtherThread(void* Parameter) {
  auto* Canvas = static_cast<TCanvas*>(Parameter);
  Canvas->Lock();
  Canvas->Unlock();
  return 0;
}

TEST(GraphicsCanvas, LockIsCountedAndKeepsOtherThreadsOut) {
  Owned<TCanvas> Canvas(new TCanvas());
  Canvas->Lock();
  Canvas->Lock();
  EXPECT_EQ(Canvas->LockCount(), 2);
  HANDLE Thread = CreateThread(nullptr, 0, LockFromOtherThread, Canvas.get(), 0, nullptr);
  ASSERT_NE(Thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(Thread, 200), static_cast<DWORD>(WAIT_TIMEOUT));
  Canvas->Unlock();
  EXPECT_EQ(WaitForSingleObject(Thread, 200), static_cast<DWORD>(WAIT_TIMEOUT));
  Canvas->Unlock();
  EXPECT_EQ(Canvas->LockCount(), 0);
  EXPECT_EQ(WaitForSingleObject(Thread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(Thread);
  EXPECT_THROW(Canvas->Unlock(), EInvalidOperation);
}

TEST(GraphicsGdiCounters, CanvasesFontsAndBitmapsReturnToTheStartingCounts) {
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(1000, [] {
    auto Bitmap = Bitmap32(8, 8);
    TCanvas* Canvas = Bitmap->Canvas();
    Canvas->Font()->SetStyle({fsBold});
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->Rectangle(0, 0, 8, 8);
    Canvas->TextOut(0, 0, "a");
    Bitmap->SetSize(9, 9);  // the canvas's DC goes with the old image
    Canvas->FillRect(Rect(0, 0, 9, 9));
  }));
  const TGdiObjectCounts Before = GdiObjectCounts();
  EXPECT_TRUE(GdiFreeObject(GetStockObject(WHITE_BRUSH)));  // stock objects never count
  EXPECT_EQ(GdiObjectCounts(), Before);
}

}  // namespace
