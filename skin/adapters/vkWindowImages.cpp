#include "skin/adapters/vkWindowImages.h"

#include <cstring>
#include <memory>
#include <vector>

#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkColorMath.h"

TBitmap* CopyBitmapHandle(HBITMAP Handle) {
  BITMAP Info{};
  if (Handle == nullptr || !GetObjectA(Handle, sizeof Info, &Info) || Info.bmWidth <= 0 || Info.bmHeight <= 0)
    return new TBitmap;
  auto* B = new TBitmap;
  HDC Screen = GetDC(nullptr);
  if (Info.bmBitsPixel == 32) {
    B->SetPixelFormat(pf32bit);
    B->SetSize(Info.bmWidth, Info.bmHeight);
    BITMAPINFO BI{};
    BI.bmiHeader.biSize = sizeof BI.bmiHeader;
    BI.bmiHeader.biWidth = Info.bmWidth;
    BI.bmiHeader.biHeight = -Info.bmHeight;
    BI.bmiHeader.biPlanes = 1;
    BI.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> Pixels(static_cast<size_t>(Info.bmWidth) * Info.bmHeight);
    GetDIBits(Screen, Handle, 0, Info.bmHeight, Pixels.data(), &BI, DIB_RGB_COLORS);
    bool Alpha = false, Opaque = true;
    for (uint32_t P : Pixels) {
      Alpha = Alpha || (P >> 24) != 0;
      Opaque = Opaque && (P >> 24) == 0xFF;
    }
    for (int y = 0; y < Info.bmHeight; ++y)
      memcpy(B->ScanLine(y), &Pixels[static_cast<size_t>(y) * Info.bmWidth], Info.bmWidth * 4);
    // 32 bits without any alpha are an opaque picture, not an invisible one; wholly opaque ones are copied as they
    // are, not blended.
    if (!Alpha || Opaque) B->SetPixelFormat(pf24bit);
  } else {
    B->SetPixelFormat(pf24bit);
    B->SetSize(Info.bmWidth, Info.bmHeight);
    HDC Mem = CreateCompatibleDC(Screen);
    HGDIOBJ Old = SelectObject(Mem, Handle);
    BitBlt(B->Canvas()->Handle(), 0, 0, Info.bmWidth, Info.bmHeight, Mem, 0, 0, SRCCOPY);
    SelectObject(Mem, Old);
    DeleteDC(Mem);
  }
  ReleaseDC(nullptr, Screen);
  return B;
}

TSize BitmapHandleSize(HBITMAP Handle) {
  BITMAP Info{};
  if (Handle == nullptr || GetObjectA(Handle, sizeof Info, &Info) == 0) return TSize(0, 0);
  return TSize(Info.bmWidth, Info.bmHeight);
}

TSize IconHandleSize(HICON Handle) {
  ICONINFO Info{};
  if (Handle == nullptr || !GetIconInfo(Handle, &Info)) return TSize(0, 0);
  // A monochrome icon keeps its AND and XOR masks one above the other in the mask bitmap.
  TSize S = BitmapHandleSize(Info.hbmColor != nullptr ? Info.hbmColor : Info.hbmMask);
  if (Info.hbmColor == nullptr) S.cy /= 2;
  if (Info.hbmColor != nullptr) DeleteObject(Info.hbmColor);
  if (Info.hbmMask != nullptr) DeleteObject(Info.hbmMask);
  return S;
}

void DrawImageOverCache(TBitmap* Cache, TBitmap* Image, TPoint Pos) {
  if (Image == nullptr || Image->Empty()) return;
  const int W = Image->Width(), H = Image->Height();
  if (Image->PixelFormat() != pf32bit) {
    BitBlt(Cache->Canvas()->Handle(), Pos.X, Pos.Y, W, H, Image->Canvas()->Handle(), 0, 0, SRCCOPY);
    return;
  }
  TvkBgCacheRef Own;
  InitBgInfo(Cache, 0, 0, Own);
  CompositeOverCache(TRect(Pos.X, Pos.Y, Pos.X + W, Pos.Y + H), TRect(0, 0, W, H), Cache, Image, Own, true,
                     NoColor32, 0, false);
}

TButtonImage ButtonImageOf(HWND Button) {
  TButtonImage I;
  const LONG Style = GetWindowLongA(Button, GWL_STYLE);
  if (Style & BS_BITMAP)
    I.Bitmap = reinterpret_cast<HBITMAP>(SendMessageA(Button, BM_GETIMAGE, IMAGE_BITMAP, 0));
  else if (Style & BS_ICON)
    I.Icon = reinterpret_cast<HICON>(SendMessageA(Button, BM_GETIMAGE, IMAGE_ICON, 0));
  return I;
}

TSize ButtonImageSize(const TButtonImage& Image) {
  return Image.Bitmap != nullptr ? BitmapHandleSize(Image.Bitmap) : IconHandleSize(Image.Icon);
}

void DrawButtonImage(TBitmap* Cache, const TButtonImage& Image, TPoint Pos) {
  if (Image.Bitmap != nullptr) {
    std::unique_ptr<TBitmap> Copy(CopyBitmapHandle(Image.Bitmap));
    DrawImageOverCache(Cache, Copy.get(), Pos);
  } else if (Image.Icon != nullptr) {
    DrawIconEx(Cache->Canvas()->Handle(), Pos.X, Pos.Y, Image.Icon, 0, 0, 0, nullptr, DI_NORMAL);
  }
}
