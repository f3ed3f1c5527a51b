// TBitmap: sizes and the overlap rule, scan lines, pixel formats, assignment, drawing.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/Graphics.h"
#include "graphics_test_util.h"
#include "tests/support/GdiLeaks.h"

using namespace graphics_test;

namespace {

constexpr std::uint32_t White = 0x00FFFFFF;

TEST(GraphicsBitmap, StartsEmptyAsADeviceBitmap) {
  Owned<TBitmap> Bitmap(new TBitmap());
  EXPECT_TRUE(Bitmap->Empty());
  EXPECT_EQ(Bitmap->PixelFormat(), pfDevice);
  EXPECT_EQ(Bitmap->HandleType(), bmDDB);
  EXPECT_EQ(Bitmap->Handle(), nullptr);
  Bitmap->SetWidth(5);
  EXPECT_TRUE(Bitmap->Empty());  // no rows yet
  Bitmap->SetHeight(3);
  EXPECT_FALSE(Bitmap->Empty());
  BITMAP Info{};
  ASSERT_TRUE(GetObjectA(Bitmap->Handle(), sizeof(Info), &Info));
  EXPECT_EQ(Info.bmWidth, 5);
  EXPECT_EQ(Info.bmHeight, 3);
  EXPECT_THROW(Bitmap->SetSize(-1, 4), EInvalidGraphicOperation);
}

TEST(GraphicsBitmap, SetSizeKeepsTheOverlapAndMakesNewPixelsWhiteWithAlphaZero) {
  auto Bitmap = Bitmap32(4, 3);
  for (int Y = 0; Y < 3; ++Y)
    for (int X = 0; X < 4; ++X) EXPECT_EQ(PixelAt(Bitmap.get(), X, Y), White) << "a new bitmap is white, alpha 0";
  for (int Y = 0; Y < 3; ++Y)
    for (int X = 0; X < 4; ++X) SetPixelAt(Bitmap.get(), X, Y, 0x80000000u | (Y << 8) | X);

  Bitmap->SetSize(6, 5);
  for (int Y = 0; Y < 5; ++Y)
    for (int X = 0; X < 6; ++X) {
      const std::uint32_t Expected = X < 4 && Y < 3 ? 0x80000000u | (Y << 8) | X : White;
      EXPECT_EQ(PixelAt(Bitmap.get(), X, Y), Expected) << X << "," << Y;
    }

  Bitmap->SetSize(2, 2);
  Bitmap->SetSize(3, 3);
  EXPECT_EQ(PixelAt(Bitmap.get(), 1, 1), 0x80000101u);
  EXPECT_EQ(PixelAt(Bitmap.get(), 2, 1), White);  // cut off by the shrink, so new again
  EXPECT_EQ(PixelAt(Bitmap.get(), 0, 2), White);

  // A size whose bytes overflow 31 bits is refused before any memory is touched; the image stays.
  EXPECT_THROW(Bitmap->SetSize(100000, 100000), EOutOfResources);
  EXPECT_EQ(Bitmap->Width(), 3);
  EXPECT_EQ(PixelAt(Bitmap.get(), 1, 1), 0x80000101u);
  Owned<TBitmap> Device(new TBitmap());
  EXPECT_THROW(Device->SetSize(70000, 70000), EOutOfResources);
  EXPECT_TRUE(Device->Empty());

  Bitmap->SetHeight(0);
  EXPECT_TRUE(Bitmap->Empty());
  EXPECT_EQ(Bitmap->Width(), 3);
  Bitmap->SetHeight(1);
  EXPECT_EQ(PixelAt(Bitmap.get(), 0, 0), White);
}

TEST(GraphicsBitmap, SetSizeKeepsTheOverlapInEveryFormat) {
  for (TPixelFormat Format : {pf1bit, pf4bit, pf8bit, pf24bit}) {
    SCOPED_TRACE(Format);
    auto Bitmap = NewBitmap(Format, 11, 4);
    TCanvas* Canvas = Bitmap->Canvas();
    Canvas->Brush()->SetColor(clBlack);
    Canvas->FillRect(Rect(0, 0, 11, 4));
    Canvas->SetPixels(3, 1, clWhite);
    Bitmap->SetSize(13, 6);
    for (int Y = 0; Y < 6; ++Y)
      for (int X = 0; X < 13; ++X) {
        const TColor Expected = (X < 11 && Y < 4 && !(X == 3 && Y == 1)) ? clBlack : clWhite;
        ASSERT_EQ(Canvas->Pixels(X, Y), Expected) << X << "," << Y;
      }
    Bitmap->SetSize(5, 2);  // cuts through the middle of packed bytes for 1 and 4 bits
    for (int X = 0; X < 5; ++X) ASSERT_EQ(Canvas->Pixels(X, 1), X == 3 ? clWhite : clBlack) << X;
  }
}

TEST(GraphicsBitmap, ScanLinesRunFromTheTopOfABottomUpImage) {
  auto Bitmap = Bitmap32(5, 4);
  auto* Row0 = static_cast<std::uint8_t*>(Bitmap->ScanLine(0));
  auto* Row1 = static_cast<std::uint8_t*>(Bitmap->ScanLine(1));
  EXPECT_EQ(Row1 - Row0, -20);
  EXPECT_EQ(static_cast<std::uint8_t*>(Bitmap->ScanLine(3)) - Row0, -60);
  Bitmap->Canvas()->SetPixels(2, 1, clRed);
  EXPECT_EQ(reinterpret_cast<std::uint32_t*>(Row1)[2] & 0xFFFFFF, 0xFF0000u);
  reinterpret_cast<std::uint32_t*>(Row0)[4] = 0x000000FF;
  EXPECT_EQ(Bitmap->Canvas()->Pixels(4, 0), clBlue);
  EXPECT_THROW(Bitmap->ScanLine(-1), EInvalidGraphicOperation);
  EXPECT_THROW(Bitmap->ScanLine(4), EInvalidGraphicOperation);

  auto Rgb24 = NewBitmap(pf24bit, 5, 2);  // rows padded to four bytes
  EXPECT_EQ(static_cast<std::uint8_t*>(Rgb24->ScanLine(1)) - static_cast<std::uint8_t*>(Rgb24->ScanLine(0)), -16);
  auto OneRow = Bitmap32(3, 1);
  EXPECT_NE(OneRow->ScanLine(0), nullptr);
  Owned<TBitmap> Empty(new TBitmap());
  EXPECT_THROW(Empty->ScanLine(0), EInvalidGraphicOperation);
}

TEST(GraphicsBitmap, ConvertingBetween24And32BitsSetsAlphaZeroOrDropsIt) {
  auto Bitmap = NewBitmap(pf24bit, 3, 2);
  auto* Row = static_cast<std::uint8_t*>(Bitmap->ScanLine(1));
  Row[3] = 0x11;  // pixel 1: B G R
  Row[4] = 0x22;
  Row[5] = 0x33;
  Bitmap->SetPixelFormat(pf32bit);
  EXPECT_EQ(PixelAt(Bitmap.get(), 1, 1), 0x00332211u);
  EXPECT_EQ(PixelAt(Bitmap.get(), 0, 0), White);
  SetPixelAt(Bitmap.get(), 2, 0, 0xFF445566);
  Bitmap->SetPixelFormat(pf24bit);
  Row = static_cast<std::uint8_t*>(Bitmap->ScanLine(0));
  EXPECT_EQ(Bytes(Row + 6, Row + 9), (Bytes{0x66, 0x55, 0x44}));
  Bitmap->SetPixelFormat(pf32bit);
  EXPECT_EQ(PixelAt(Bitmap.get(), 2, 0), 0x00445566u);
}

TEST(GraphicsBitmap, IndexedFormatsTakeTheNearestPaletteEntry) {
  auto Bitmap = Bitmap32(4, 1);
  SetPixelAt(Bitmap.get(), 0, 0, 0xFF000000);
  SetPixelAt(Bitmap.get(), 1, 0, 0x00808080);
  SetPixelAt(Bitmap.get(), 2, 0, 0x00F00010);  // nearly red
  SetPixelAt(Bitmap.get(), 3, 0, 0x00FFFFFF);

  Owned<TBitmap> Grey(new TBitmap());
  Grey->Assign(Bitmap.get());
  Grey->SetPixelFormat(pf8bit);
  ASSERT_EQ(Grey->Palette().size(), 256u);
  EXPECT_EQ(Grey->Palette()[200].rgbRed, 200);
  EXPECT_EQ(Grey->Palette()[200].rgbBlue, 200);
  auto* Bytes = static_cast<std::uint8_t*>(Grey->ScanLine(0));
  EXPECT_EQ(Bytes[0], 0);
  EXPECT_EQ(Bytes[1], 0x80);
  EXPECT_EQ(Bytes[3], 255);

  Owned<TBitmap> Vga(new TBitmap());
  Vga->Assign(Bitmap.get());
  Vga->SetPixelFormat(pf4bit);
  EXPECT_EQ(Vga->Palette().size(), 16u);
  Vga->SetPixelFormat(pf32bit);
  EXPECT_EQ(PixelAt(Vga.get(), 1, 0), 0x00808080u);
  EXPECT_EQ(PixelAt(Vga.get(), 2, 0), 0x00FF0000u);

  Owned<TBitmap> Mono(new TBitmap());
  Mono->Assign(Bitmap.get());
  Mono->SetMonochrome(true);
  EXPECT_TRUE(Mono->Monochrome());
  EXPECT_EQ(Mono->PixelFormat(), pf1bit);
  // Black, grey 0x80 (nearer white), nearly red (nearer black), white.
  EXPECT_EQ(static_cast<std::uint8_t*>(Mono->ScanLine(0))[0] & 0xF0, 0x50);
  Mono->SetMonochrome(false);
  EXPECT_FALSE(Mono->Monochrome());
}

TEST(GraphicsBitmap, DeviceBitmapsConvertBothWays) {
  auto Bitmap = Bitmap32(3, 2);
  SetPixelAt(Bitmap.get(), 1, 1, 0x7F123456);
  Bitmap->SetHandleType(bmDDB);
  EXPECT_EQ(Bitmap->PixelFormat(), pfDevice);
  EXPECT_EQ(Bitmap->Canvas()->Pixels(1, 1), 0x563412u);
  Bitmap->SetSize(4, 2);  // device bitmaps keep their overlap too
  EXPECT_EQ(Bitmap->Canvas()->Pixels(1, 1), 0x563412u);
  EXPECT_EQ(Bitmap->Canvas()->Pixels(3, 1), clWhite);
  Bitmap->ScanLine(0);  // scan lines need a DIB: the bitmap becomes one
  EXPECT_EQ(Bitmap->HandleType(), bmDIB);
  EXPECT_TRUE(Bitmap->PixelFormat() == pf32bit || Bitmap->PixelFormat() == pf24bit);
  Bitmap->SetPixelFormat(pf32bit);
  EXPECT_EQ(PixelAt(Bitmap.get(), 1, 1), 0x00123456u);
}

TEST(GraphicsBitmap, AssignCopiesPixelsAndPropertiesIntoAnIndependentImage) {
  auto Source = Bitmap32(3, 3);
  SetPixelAt(Source.get(), 2, 2, 0xAB010203);
  Source->SetTransparent(true);
  Source->SetTransparentColor(clRed);
  Owned<TBitmap> Copy(new TBitmap());
  int Changes = 0;
  Copy->OnChange = [&](TObject*) { ++Changes; };
  Copy->Assign(Source.get());
  EXPECT_GE(Changes, 1);
  EXPECT_EQ(Copy->PixelFormat(), pf32bit);
  EXPECT_EQ(Copy->Width(), 3);
  EXPECT_EQ(PixelAt(Copy.get(), 2, 2), 0xAB010203u);
  EXPECT_TRUE(Copy->Transparent());
  EXPECT_EQ(Copy->TransparentColor(), clRed);
  EXPECT_NE(Copy->Handle(), Source->Handle());
  SetPixelAt(Copy.get(), 2, 2, 0);
  EXPECT_EQ(PixelAt(Source.get(), 2, 2), 0xAB010203u);

  auto Indexed = NewBitmap(pf8bit, 2, 2);
  static_cast<std::uint8_t*>(Indexed->ScanLine(0))[1] = 77;
  Copy->Assign(Indexed.get());
  EXPECT_EQ(Copy->PixelFormat(), pf8bit);
  EXPECT_EQ(static_cast<std::uint8_t*>(Copy->ScanLine(0))[1], 77);

  auto Device = NewBitmap(pfDevice, 2, 2);
  Device->Canvas()->SetPixels(1, 0, clBlue);
  Copy->Assign(Device.get());
  EXPECT_EQ(Copy->PixelFormat(), pfDevice);
  EXPECT_EQ(Copy->Canvas()->Pixels(1, 0), clBlue);

  Copy->Assign(nullptr);
  EXPECT_TRUE(Copy->Empty());
  Owned<TFont> Font(new TFont());
  EXPECT_THROW(Copy->Assign(Font.get()), EConvertError);
}

TEST(GraphicsBitmap, OnChangeFiresForRealChangesOnly) {
  auto Bitmap = Bitmap32(2, 2);
  int Changes = 0;
  Bitmap->OnChange = [&](TObject*) { ++Changes; };
  Bitmap->SetSize(2, 2);
  Bitmap->SetPixelFormat(pf32bit);
  EXPECT_EQ(Changes, 0);
  Bitmap->SetSize(3, 2);
  Bitmap->SetPixelFormat(pf24bit);
  Bitmap->SetTransparent(true);
  EXPECT_EQ(Changes, 3);
  EXPECT_TRUE(Bitmap->Modified());
}

TEST(GraphicsBitmap, CanvasKeepsItsFontAcrossResizesAndDrawsIntoTheNewImage) {
  auto Bitmap = Bitmap32(4, 4);
  TCanvas* Canvas = Bitmap->Canvas();
  Canvas->Font()->SetName("Arial");
  Canvas->Brush()->SetColor(clRed);
  Canvas->FillRect(Rect(0, 0, 1, 1));
  Bitmap->SetSize(10, 10);
  EXPECT_EQ(Bitmap->Canvas(), Canvas);
  EXPECT_EQ(Canvas->Font()->Name(), "Arial");
  Canvas->FillRect(Rect(8, 8, 10, 10));
  EXPECT_EQ(PixelAt(Bitmap.get(), 9, 9) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(PixelAt(Bitmap.get(), 0, 0) & 0xFFFFFF, 0xFF0000u);
}

TEST(GraphicsBitmap, DrawAndStretchDrawCopyEveryPixel) {
  auto Source = Bitmap32(2, 2);
  SetPixelAt(Source.get(), 0, 0, 0x00112233);
  SetPixelAt(Source.get(), 1, 0, 0x00445566);
  SetPixelAt(Source.get(), 0, 1, 0x00778899);
  SetPixelAt(Source.get(), 1, 1, 0x00AABBCC);
  auto Target = Bitmap32(8, 8);
  Target->Canvas()->Draw(1, 1, Source.get());
  EXPECT_EQ(PixelAt(Target.get(), 1, 1), 0x00112233u);
  EXPECT_EQ(PixelAt(Target.get(), 2, 2), 0x00AABBCCu);
  EXPECT_EQ(ChangedArea(Target.get(), White), Rect(1, 1, 3, 3));

  Target->Canvas()->StretchDraw(Rect(4, 4, 8, 8), Source.get());
  EXPECT_EQ(ColorsIn(Target.get(), Rect(4, 4, 6, 6)), std::set<std::uint32_t>{0x112233});
  EXPECT_EQ(ColorsIn(Target.get(), Rect(6, 6, 8, 8)), std::set<std::uint32_t>{0xAABBCC});

  Owned<TBitmap> Empty(new TBitmap());
  Target->Canvas()->Draw(0, 0, Empty.get());  // nothing to draw, no error
  Target->Canvas()->Draw(0, 0, nullptr);
}

TEST(GraphicsBitmap, TransparentBitmapsSkipTheirKeyColour) {
  auto Glyph = NewBitmap(pf24bit, 3, 3);
  Glyph->Canvas()->Brush()->SetColor(clFuchsia);
  Glyph->Canvas()->FillRect(Rect(0, 0, 3, 3));
  Glyph->Canvas()->SetPixels(1, 1, clBlue);
  EXPECT_EQ(Glyph->TransparentColor(), clFuchsia);  // by default the bottom-left pixel
  Glyph->SetTransparent(true);
  auto Target = Bitmap32(5, 5);
  Target->Canvas()->Draw(1, 1, Glyph.get());
  EXPECT_EQ(ChangedArea(Target.get(), White), Rect(2, 2, 3, 3));
  EXPECT_EQ(PixelAt(Target.get(), 2, 2) & 0xFFFFFF, 0x0000FFu);

  Glyph->SetTransparentColor(clBlue);
  Fill32(Target.get(), White);
  Target->Canvas()->Draw(1, 1, Glyph.get());
  EXPECT_EQ(ColorsIn(Target.get(), Rect(1, 1, 4, 4)), (std::set<std::uint32_t>{0xFF00FF, White}));
  Glyph->SetTransparentColor(clDefault);
  EXPECT_EQ(Glyph->TransparentColor(), clFuchsia);
}

TEST(GraphicsBitmap, FreeingReturnsEveryGdiObject) {
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(1, [] {
    for (TPixelFormat Format : {pfDevice, pf1bit, pf4bit, pf8bit, pf24bit, pf32bit}) {
      auto Bitmap = NewBitmap(Format, 7, 5);
      Bitmap->Canvas()->Rectangle(0, 0, 3, 3);
      Owned<TBitmap> Copy(new TBitmap());
      Copy->Assign(Bitmap.get());
      Copy->SetPixelFormat(Format == pf32bit ? pfDevice : pf32bit);
      Copy->Canvas()->TextOut(0, 0, "x");
      Bitmap->Draw(Copy->Canvas(), Rect(0, 0, 7, 5));
    }
  }));
}

}  // namespace
