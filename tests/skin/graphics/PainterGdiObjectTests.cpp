#include <gtest/gtest.h>

#include "framework/GraphicsGdi.h"
#include "skin/graphics/Gradients.h"
#include "skin/graphics/NinePart.h"
#include "skin/graphics/PngGraphic.h"
#include "skin/graphics/Resample.h"
#include "skin/graphics/Rotation.h"
#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/vkBitmap32.h"
#include "tests/support/Bitmaps.h"
#include "tests/support/GdiLeaks.h"

using namespace testing_support;

// Every work bitmap, pen and icon made by the painters is gone when they return.
TEST(Leaks, PaintersFreeWhatTheyMake) {
  BitmapPtr canvas = Bitmap32(40, 40, 0xFF000000);
  BitmapPtr image = Bitmap32(8, 8, 0x80FF0000);
  canvas->Canvas()->Handle();
  image->Canvas()->Handle();
  EXPECT_TRUE(GivesBackGdiObjects(1, [&] {
    PaintStyledArrow(canvas.get(), 0xFF, 0x00FF00, 1, 0, 180.0, 1, adLeft, TRect(0, 0, 20, 20));
    PaintStyledArrow(canvas.get(), 0xFF, 0x1FFFFFFF, 2, 6, 0, 1, adUp, TRect(0, 0, 20, 20));
    StretchDrawBitmap32(canvas->Canvas(), image.get(), TRect(2, 2, 30, 30), true);
    PaintStateGlyph(image.get(), canvas.get(), TRect(0, 0, 8, 8), true, false, 50, 2, 0, false, 2);
    DrawNinePartImage(canvas.get(), image.get(), TRect(0, 0, 8, 8), TRect(0, 0, 40, 40), 2, 2, 2, 2, false, true, true);
    TBitmap* copy = NewBitmapLike(image.get());
    CopyBitmapFull(copy, image.get());
    TBitmap* turned = RotateBitmapBits(copy, 90, true);
    turned->Free();
    ResampleBitmap32(image.get(), canvas.get(), 30, rfMitchell, 30);
    TsGradArray items;
    ParseGradientData("$0000FF;0;0;$00FF00;50;0;B", items);
    PaintGradient(canvas.get(), TRect(0, 0, 30, 30), items);
    HICON icon = MakeIconFromBitmap(image.get(), clWhite);
    GdiFreeIcon(icon);
    TPNGGraphic* png = new TPNGGraphic();
    png->Assign(image.get());
    png->SetPixelFormat(pf32bit);
    png->SetReflection(1);
    png->Draw(canvas->Canvas(), TRect(0, 0, 8, 8));
    png->Draw(canvas->Canvas(), TRect(0, 0, 16, 16));
    png->Free();
  }));
}
