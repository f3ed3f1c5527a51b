// Pictures that foreign windows hold by handle (a static's or a push button's bitmap or icon), copied and drawn
// into an adapter's cache.
#pragma once
#include <windows.h>

#include "framework/Graphics.h"

class TBitmap;

// A copy of a bitmap handle; 32-bit images with alpha below 255 somewhere keep it (pf32bit), others are opaque
// (pf24bit). An empty bitmap for a missing or unreadable handle.
TBitmap* CopyBitmapHandle(HBITMAP Handle);
// The pixel size of a bitmap or icon handle; (0, 0) for none.
TSize BitmapHandleSize(HBITMAP Handle);
TSize IconHandleSize(HICON Handle);
// Draws Image at Pos of Cache: 32-bit images with alpha blend over what the cache holds, others are copied.
void DrawImageOverCache(TBitmap* Cache, TBitmap* Image, TPoint Pos);

// The image a push button with BS_BITMAP or BS_ICON shows (BM_GETIMAGE of its kind); none for other buttons.
struct TButtonImage {
  HBITMAP Bitmap = nullptr;
  HICON Icon = nullptr;
  bool Empty() const { return Bitmap == nullptr && Icon == nullptr; }
};
TButtonImage ButtonImageOf(HWND Button);
TSize ButtonImageSize(const TButtonImage& Image);
// Draws the button's image with its top-left corner at Pos of Cache.
void DrawButtonImage(TBitmap* Cache, const TButtonImage& Image, TPoint Pos);
