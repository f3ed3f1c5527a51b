// TGraphic and TBitmap: image memory, sizes, pixel formats, canvas and drawing.
#include <algorithm>
#include <cstring>

#include "framework/Graphics.h"
#include "framework/GraphicsBitmapImage.h"
#include "framework/Streams.h"

using namespace bitmap_detail;

// ---------------------------------------------------------------------------------------------------
// TGraphic

IMPLEMENT_CLASS(TGraphic)

void TGraphic::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed();
}

void TGraphic::SetModified(bool Value) {
  if (Value)
    Changed();
  else
    FModified = false;
}

void TGraphic::Changed() {
  FModified = true;
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& FileName) {
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&Stream);
}

void TGraphic::SaveToFile(const std::string& FileName) {
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(&Stream);
}

// ---------------------------------------------------------------------------------------------------
// Image memory

namespace bitmap_detail {

int BitsPerPixel(TPixelFormat Format) {
  switch (Format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf24bit: return 24;
    case pf32bit: return 32;
    case pfDevice: break;
  }
  return 0;
}

TPixelFormat FormatOfBits(int Bits) {
  switch (Bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
  }
  throw EInvalidGraphic("Unsupported bitmap depth of " + std::to_string(Bits) + " bits");
}

int RowBytes(int Width, int Bits) { return ((Width * Bits + 31) / 32) * 4; }

void CheckImageSize(int Width, int Height, int Bits) {
  // Sizes whose byte count does not fit 31 bits would overflow the arithmetic of GDI and of the pixel loops.
  const std::uint64_t Bytes = ((static_cast<std::uint64_t>(Width) * Bits + 31) / 32) * 4 * static_cast<std::uint64_t>(Height);
  if (Bytes > 0x7FFFFFFF)
    throw EOutOfResources("Cannot create a bitmap of " + std::to_string(Width) + " x " + std::to_string(Height) +
                          " pixels");
}

std::vector<RGBQUAD> DefaultPalette(TPixelFormat Format) {
  std::vector<RGBQUAD> Palette;
  auto Add = [&](BYTE R, BYTE G, BYTE B) { Palette.push_back(RGBQUAD{B, G, R, 0}); };
  switch (Format) {
    case pf1bit:
      Add(0, 0, 0);
      Add(255, 255, 255);
      break;
    case pf4bit: {
      static const BYTE Vga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                      {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                      {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                      {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
      for (const auto& C : Vga) Add(C[0], C[1], C[2]);
      break;
    }
    case pf8bit:
      for (int i = 0; i < 256; ++i) Add(static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i));
      break;
    default: break;
  }
  return Palette;
}

std::vector<std::uint8_t> MakeInfo(int Width, int Height, int Bits, const std::vector<RGBQUAD>& Palette) {
  std::vector<std::uint8_t> Buffer(sizeof(BITMAPINFOHEADER) + Palette.size() * sizeof(RGBQUAD));
  BITMAPINFOHEADER Header{};
  Header.biSize = sizeof(BITMAPINFOHEADER);
  Header.biWidth = Width;
  Header.biHeight = Height;
  Header.biPlanes = 1;
  Header.biBitCount = static_cast<WORD>(Bits);
  Header.biCompression = BI_RGB;
  Header.biSizeImage = static_cast<DWORD>(RowBytes(Width, Bits)) * static_cast<DWORD>(Height);
  Header.biClrUsed = static_cast<DWORD>(Palette.size());
  std::memcpy(Buffer.data(), &Header, sizeof(Header));
  if (!Palette.empty())
    std::memcpy(Buffer.data() + sizeof(Header), Palette.data(), Palette.size() * sizeof(RGBQUAD));
  return Buffer;
}

HBITMAP NewWhiteDib(int Width, int Height, TPixelFormat Format, const std::vector<RGBQUAD>& Palette, void** Bits) {
  const int PixelBits = BitsPerPixel(Format);
  CheckImageSize(Width, Height, PixelBits);
  std::vector<std::uint8_t> Info = MakeInfo(Width, Height, PixelBits, Palette);
  void* Memory = nullptr;
  HBITMAP Handle = GdiNewDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(Info.data()), DIB_RGB_COLORS, &Memory);
  if (!Handle || !Memory) {
    GdiFreeObject(Handle);
    throw EOutOfResources("Cannot create a bitmap of " + std::to_string(Width) + " x " + std::to_string(Height) +
                          " pixels");
  }
  const size_t Size = static_cast<size_t>(RowBytes(Width, PixelBits)) * static_cast<size_t>(Height);
  auto* Bytes = static_cast<std::uint8_t*>(Memory);
  if (Format == pf32bit) {
    auto* Pixels = static_cast<std::uint32_t*>(Memory);
    std::fill(Pixels, Pixels + Size / 4, 0x00FFFFFFu);
  } else if (Format == pf24bit) {
    std::memset(Bytes, 0xFF, Size);
  } else {
    PixelWriter Writer(PixelBits, Palette);
    const int White = Writer.NearestIndex(0x00FFFFFF);
    int Pattern = White;
    if (PixelBits == 4) Pattern = White << 4 | White;
    if (PixelBits == 1) Pattern = White ? 0xFF : 0;
    std::memset(Bytes, Pattern, Size);
  }
  *Bits = Memory;
  return Handle;
}

std::uint32_t ReadPixel(const std::uint8_t* Row, int X, int Bits, const std::vector<RGBQUAD>& Palette) {
  int Index;
  switch (Bits) {
    case 32: {
      std::uint32_t Pixel;
      std::memcpy(&Pixel, Row + X * 4, 4);
      return Pixel;
    }
    case 24: {
      const std::uint8_t* P = Row + X * 3;
      return std::uint32_t{P[0]} | std::uint32_t{P[1]} << 8 | std::uint32_t{P[2]} << 16;
    }
    case 8: Index = Row[X]; break;
    case 4: Index = (Row[X >> 1] >> ((X & 1) ? 0 : 4)) & 0x0F; break;
    default: Index = (Row[X >> 3] >> (7 - (X & 7))) & 1; break;
  }
  if (Index >= static_cast<int>(Palette.size())) return 0;
  const RGBQUAD& C = Palette[Index];
  return std::uint32_t{C.rgbBlue} | std::uint32_t{C.rgbGreen} << 8 | std::uint32_t{C.rgbRed} << 16;
}

int PixelWriter::NearestIndex(std::uint32_t Pixel) {
  Pixel &= 0x00FFFFFF;
  if (FLastIndex >= 0 && Pixel == FLastPixel) return FLastIndex;
  const int R = (Pixel >> 16) & 0xFF, G = (Pixel >> 8) & 0xFF, B = Pixel & 0xFF;
  int Best = 0;
  long BestDistance = -1;
  for (size_t i = 0; i < FPalette.size(); ++i) {
    const RGBQUAD& C = FPalette[i];
    const long DR = R - C.rgbRed, DG = G - C.rgbGreen, DB = B - C.rgbBlue;
    const long Distance = DR * DR + DG * DG + DB * DB;
    if (BestDistance < 0 || Distance < BestDistance) {
      BestDistance = Distance;
      Best = static_cast<int>(i);
      if (Distance == 0) break;
    }
  }
  FLastPixel = Pixel;
  FLastIndex = Best;
  return Best;
}

void PixelWriter::Write(std::uint8_t* Row, int X, std::uint32_t Pixel) {
  switch (FBits) {
    case 32: std::memcpy(Row + X * 4, &Pixel, 4); return;
    case 24:
      Row[X * 3] = static_cast<std::uint8_t>(Pixel);
      Row[X * 3 + 1] = static_cast<std::uint8_t>(Pixel >> 8);
      Row[X * 3 + 2] = static_cast<std::uint8_t>(Pixel >> 16);
      return;
    default: break;
  }
  const int Index = NearestIndex(Pixel);
  switch (FBits) {
    case 8: Row[X] = static_cast<std::uint8_t>(Index); break;
    case 4: {
      const int Shift = (X & 1) ? 0 : 4;
      Row[X >> 1] = static_cast<std::uint8_t>((Row[X >> 1] & ~(0x0F << Shift)) | (Index << Shift));
      break;
    }
    default: {
      const int Mask = 0x80 >> (X & 7);
      Row[X >> 3] = static_cast<std::uint8_t>(Index ? (Row[X >> 3] | Mask) : (Row[X >> 3] & ~Mask));
      break;
    }
  }
}

}  // namespace bitmap_detail

void BitmapImage::Install(TBitmap* Bitmap, HBITMAP Handle, void* Bits, int Width, int Height, TPixelFormat Format,
                          std::vector<RGBQUAD> Palette) {
  Bitmap->ReplaceImage(Handle, Bits, Width, Height, Format, std::move(Palette));
  Bitmap->Changed();
}

namespace {

// A screen DC for making and reading device-dependent bitmaps.
class ScreenDC {
public:
  ScreenDC() : FDC(GdiGetDC(nullptr)) {
    if (!FDC) throw EOutOfResources("Cannot get the screen device context");
  }
  ~ScreenDC() { GdiReleaseDC(nullptr, FDC); }
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  operator HDC() const { return FDC; }

private:
  HDC FDC;
};

// A memory DC with a bitmap selected, for BitBlt between device-dependent bitmaps.
class SelectedDC {
public:
  explicit SelectedDC(HBITMAP Bitmap) : FDC(GdiNewMemoryDC(nullptr)) {
    if (!FDC) throw EOutOfResources("Cannot create a memory device context");
    FOld = SelectObject(FDC, Bitmap);
  }
  ~SelectedDC() {
    SelectObject(FDC, FOld);
    GdiFreeMemoryDC(FDC);
  }
  SelectedDC(const SelectedDC&) = delete;
  SelectedDC& operator=(const SelectedDC&) = delete;
  operator HDC() const { return FDC; }

private:
  HDC FDC;
  HGDIOBJ FOld;
};

// A new bitmap handle, freed again unless handed on.
class NewHandle {
public:
  explicit NewHandle(HBITMAP Handle) : FHandle(Handle) {}
  ~NewHandle() { GdiFreeObject(FHandle); }
  NewHandle(const NewHandle&) = delete;
  NewHandle& operator=(const NewHandle&) = delete;
  operator HBITMAP() const { return FHandle; }
  HBITMAP Release() {
    HBITMAP Result = FHandle;
    FHandle = nullptr;
    return Result;
  }

private:
  HBITMAP FHandle;
};

HBITMAP NewWhiteDdb(int Width, int Height) {
  CheckImageSize(Width, Height, 32);
  HBITMAP Created;
  {
    ScreenDC Screen;
    Created = GdiNewCompatibleBitmap(Screen, Width, Height);
  }
  if (!Created)
    throw EOutOfResources("Cannot create a bitmap of " + std::to_string(Width) + " x " + std::to_string(Height) +
                          " pixels");
  NewHandle Handle(Created);
  {
    SelectedDC DC(Handle);
    PatBlt(DC, 0, 0, Width, Height, WHITENESS);
  }
  return Handle.Release();
}

// Pixels of a device-dependent bitmap, top row first, alpha 0.
std::vector<std::uint32_t> ReadDdb(HBITMAP Handle, int Width, int Height) {
  std::vector<std::uint32_t> Pixels(static_cast<size_t>(Width) * Height);
  std::vector<std::uint8_t> Info = MakeInfo(Width, -Height, 32, {});
  ScreenDC Screen;
  if (GetDIBits(Screen, Handle, 0, Height, Pixels.data(), reinterpret_cast<BITMAPINFO*>(Info.data()),
                DIB_RGB_COLORS) != Height)
    throw EInvalidGraphicOperation("Cannot read the bitmap's pixels");
  for (auto& P : Pixels) P &= 0x00FFFFFF;
  return Pixels;
}

TPixelFormat ScreenFormat() {
  ScreenDC Screen;
  return GetDeviceCaps(Screen, BITSPIXEL) >= 32 ? pf32bit : pf24bit;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------
// The bitmap's canvas: a memory DC with the bitmap selected, made when drawing needs it.

class TBitmapCanvas : public TCanvas {
  DECLARE_CLASS(TBitmapCanvas, TCanvas)
public:
  explicit TBitmapCanvas(TBitmap* Bitmap) : FBitmap(Bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }

  void FreeContext() {
    if (!HandleAllocated()) return;
    HDC DC = Handle();
    SetHandle(nullptr);
    if (FOldBitmap) SelectObject(DC, FOldBitmap);
    FOldBitmap = nullptr;
    GdiFreeMemoryDC(DC);
  }

protected:
  void CreateHandle() override {
    HDC DC = GdiNewMemoryDC(nullptr);
    if (!DC) throw EOutOfResources("Cannot create a memory device context");
    if (FBitmap->FHandle) FOldBitmap = SelectObject(DC, FBitmap->FHandle);
    SetHandle(DC);
  }

private:
  TBitmap* FBitmap;
  HGDIOBJ FOldBitmap = nullptr;
};

IMPLEMENT_CLASS(TBitmapCanvas)

// ---------------------------------------------------------------------------------------------------
// TBitmap

IMPLEMENT_CLASS(TBitmap)

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  if (FCanvas) FCanvas->Free();
  GdiFreeObject(FHandle);
}

void TBitmap::ReleaseCanvasDC() {
  if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas)->FreeContext();
}

void TBitmap::ReplaceImage(HBITMAP Handle, void* Bits, int Width, int Height, TPixelFormat Format,
                           std::vector<RGBQUAD> Palette) {
  ReleaseCanvasDC();
  GdiFreeObject(FHandle);
  FHandle = Handle;
  FBits = Bits;
  FWidth = Width;
  FHeight = Height;
  FPixelFormat = Format;
  FPalette = std::move(Palette);
}

void TBitmap::CanvasChanged(TObject*) { Changed(); }

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = new TBitmapCanvas(this);
    FCanvas->OnChange = [this](TObject* Sender) { CanvasChanged(Sender); };
  }
  return FCanvas;
}

void TBitmap::SetSize(int Width, int Height) {
  if (Width < 0 || Height < 0)
    throw EInvalidGraphicOperation("Invalid bitmap size " + std::to_string(Width) + " x " + std::to_string(Height));
  if (Width == FWidth && Height == FHeight) return;
  std::vector<RGBQUAD> Palette = FPalette.empty() ? DefaultPalette(FPixelFormat) : FPalette;
  if (Width == 0 || Height == 0) {
    ReplaceImage(nullptr, nullptr, Width, Height, FPixelFormat, std::move(Palette));
    Changed();
    return;
  }
  const int KeepWidth = std::min(Width, FWidth), KeepHeight = std::min(Height, FHeight);
  if (FPixelFormat == pfDevice) {
    NewHandle Handle(NewWhiteDdb(Width, Height));
    if (FHandle && KeepWidth > 0 && KeepHeight > 0) {
      ReleaseCanvasDC();
      SelectedDC From(FHandle), To(Handle);
      BitBlt(To, 0, 0, KeepWidth, KeepHeight, From, 0, 0, SRCCOPY);
    }
    ReplaceImage(Handle.Release(), nullptr, Width, Height, pfDevice, {});
  } else {
    GdiFlush();
    void* Bits = nullptr;
    HBITMAP Handle = NewWhiteDib(Width, Height, FPixelFormat, Palette, &Bits);
    if (FBits && KeepWidth > 0 && KeepHeight > 0) {
      const int PixelBits = BitsPerPixel(FPixelFormat);
      const int OldStride = RowBytes(FWidth, PixelBits), NewStride = RowBytes(Width, PixelBits);
      for (int Y = 0; Y < KeepHeight; ++Y) {
        const auto* From = static_cast<const std::uint8_t*>(FBits) + static_cast<size_t>(FHeight - 1 - Y) * OldStride;
        auto* To = static_cast<std::uint8_t*>(Bits) + static_cast<size_t>(Height - 1 - Y) * NewStride;
        if (PixelBits >= 8) {
          std::memcpy(To, From, static_cast<size_t>(KeepWidth) * (PixelBits / 8));
        } else {
          // Same palette on both sides: copy indices bit-exactly.
          const int WholeBytes = KeepWidth * PixelBits / 8;
          std::memcpy(To, From, WholeBytes);
          const int PerByte = 8 / PixelBits;
          for (int X = WholeBytes * PerByte; X < KeepWidth; ++X) {
            const int Shift = 8 - PixelBits * (X % PerByte + 1);
            const int Mask = ((1 << PixelBits) - 1) << Shift;
            To[X / PerByte] = static_cast<std::uint8_t>((To[X / PerByte] & ~Mask) | (From[X / PerByte] & Mask));
          }
        }
      }
    }
    ReplaceImage(Handle, Bits, Width, Height, FPixelFormat, std::move(Palette));
  }
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == FPixelFormat) return;
  if (Empty()) {
    ReplaceImage(nullptr, nullptr, FWidth, FHeight, Value, DefaultPalette(Value));
    Changed();
    return;
  }
  if (Value == pfDevice) {
    GdiFlush();
    NewHandle Handle(NewWhiteDdb(FWidth, FHeight));
    std::vector<std::uint8_t> Info = MakeInfo(FWidth, FHeight, BitsPerPixel(FPixelFormat), FPalette);
    int Rows;
    {
      ScreenDC Screen;
      Rows = SetDIBits(Screen, Handle, 0, FHeight, FBits, reinterpret_cast<BITMAPINFO*>(Info.data()),
                       DIB_RGB_COLORS);
    }
    if (Rows != FHeight) throw EInvalidGraphicOperation("Cannot convert the bitmap to a device bitmap");
    ReplaceImage(Handle.Release(), nullptr, FWidth, FHeight, pfDevice, {});
    Changed();
    return;
  }

  // Every pixel as 0xAARRGGBB from the source, written in the new format.
  std::vector<RGBQUAD> Palette = DefaultPalette(Value);
  const int NewBits = BitsPerPixel(Value);
  const int NewStride = RowBytes(FWidth, NewBits);
  void* Bits = nullptr;
  NewHandle Handle(NewWhiteDib(FWidth, FHeight, Value, Palette, &Bits));
  PixelWriter Writer(NewBits, Palette);
  auto RowOut = [&](int Y) { return static_cast<std::uint8_t*>(Bits) + static_cast<size_t>(FHeight - 1 - Y) * NewStride; };
  // Alpha only survives between 32-bit images; every other source gives alpha 0.
  const std::uint32_t AlphaMask = FPixelFormat == pf32bit ? 0xFFFFFFFFu : 0x00FFFFFFu;
  {
    if (FPixelFormat == pfDevice) {
      ReleaseCanvasDC();
      std::vector<std::uint32_t> Pixels = ReadDdb(FHandle, FWidth, FHeight);
      for (int Y = 0; Y < FHeight; ++Y)
        for (int X = 0; X < FWidth; ++X) Writer.Write(RowOut(Y), X, Pixels[static_cast<size_t>(Y) * FWidth + X]);
    } else if ((FPixelFormat == pf24bit && Value == pf32bit) || (FPixelFormat == pf32bit && Value == pf24bit)) {
      // The common conversions of image loading, byte by byte (both images are bottom-up).
      GdiFlush();
      const int OldStride = RowBytes(FWidth, BitsPerPixel(FPixelFormat));
      const int From = FPixelFormat == pf24bit ? 3 : 4, To = Value == pf24bit ? 3 : 4;
      for (int Y = 0; Y < FHeight; ++Y) {
        const auto* In = static_cast<const std::uint8_t*>(FBits) + static_cast<size_t>(Y) * OldStride;
        auto* Out = static_cast<std::uint8_t*>(Bits) + static_cast<size_t>(Y) * NewStride;
        for (int X = 0; X < FWidth; ++X, In += From, Out += To) {
          Out[0] = In[0];
          Out[1] = In[1];
          Out[2] = In[2];
          if (To == 4) Out[3] = 0;
        }
      }
    } else {
      GdiFlush();
      const int OldBits = BitsPerPixel(FPixelFormat);
      const int OldStride = RowBytes(FWidth, OldBits);
      for (int Y = 0; Y < FHeight; ++Y) {
        const auto* Row = static_cast<const std::uint8_t*>(FBits) + static_cast<size_t>(FHeight - 1 - Y) * OldStride;
        for (int X = 0; X < FWidth; ++X) Writer.Write(RowOut(Y), X, ReadPixel(Row, X, OldBits, FPalette) & AlphaMask);
      }
    }
  }
  ReplaceImage(Handle.Release(), Bits, FWidth, FHeight, Value, std::move(Palette));
  Changed();
}

void TBitmap::SetHandleType(TBitmapHandleType Value) {
  if (Value == HandleType()) return;
  SetPixelFormat(Value == bmDDB ? pfDevice : ScreenFormat());
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value == Monochrome()) return;
  SetPixelFormat(Value ? pf1bit : pfDevice);
}

TColor TBitmap::TransparentColor() {
  if (FTransparentColor != clDefault) return FTransparentColor;
  if (Empty()) return clDefault;
  std::uint32_t Pixel;
  if (FPixelFormat == pfDevice) {
    return Canvas()->Pixels(0, FHeight - 1);
  }
  GdiFlush();
  Pixel = ReadPixel(static_cast<const std::uint8_t*>(FBits), 0, BitsPerPixel(FPixelFormat), FPalette);
  // 0x..RRGGBB pixel to 0x00BBGGRR colour.
  return (Pixel >> 16 & 0xFF) | (Pixel & 0xFF00) | (Pixel & 0xFF) << 16;
}

void TBitmap::SetTransparentColor(TColor Value) {
  if (Value == FTransparentColor) return;
  FTransparentColor = Value;
  Changed();
}

void* TBitmap::ScanLine(int Y) {
  if (FPixelFormat == pfDevice && !Empty()) SetHandleType(bmDIB);
  if (Y < 0 || Y >= FHeight || !FBits)
    throw EInvalidGraphicOperation("Scan line index " + std::to_string(Y) + " out of range");
  GdiFlush();
  return static_cast<std::uint8_t*>(FBits) +
         static_cast<size_t>(FHeight - 1 - Y) * RowBytes(FWidth, BitsPerPixel(FPixelFormat));
}

void TBitmap::Assign(TPersistent* Source) {
  if (!Source) {
    ReplaceImage(nullptr, nullptr, 0, 0, FPixelFormat, DefaultPalette(FPixelFormat));
    Changed();
    return;
  }
  if (TBitmap* Other = As<TBitmap>(Source)) {
    if (Other == this) return;
    void* Bits = nullptr;
    if (!Other->Empty()) {
      if (Other->FPixelFormat == pfDevice) {
        NewHandle Device(NewWhiteDdb(Other->FWidth, Other->FHeight));
        Other->ReleaseCanvasDC();
        {
          SelectedDC From(Other->FHandle), To(Device);
          BitBlt(To, 0, 0, Other->FWidth, Other->FHeight, From, 0, 0, SRCCOPY);
        }
        ReplaceImage(Device.Release(), nullptr, Other->FWidth, Other->FHeight, pfDevice, {});
      } else {
        GdiFlush();
        HBITMAP Dib = NewWhiteDib(Other->FWidth, Other->FHeight, Other->FPixelFormat, Other->FPalette, &Bits);
        std::memcpy(Bits, Other->FBits,
                    static_cast<size_t>(RowBytes(Other->FWidth, BitsPerPixel(Other->FPixelFormat))) * Other->FHeight);
        ReplaceImage(Dib, Bits, Other->FWidth, Other->FHeight, Other->FPixelFormat, Other->FPalette);
      }
    } else {
      ReplaceImage(nullptr, nullptr, Other->FWidth, Other->FHeight, Other->FPixelFormat, Other->FPalette);
    }
    FTransparentColor = Other->FTransparentColor;
    SetTransparent(Other->Transparent());
    Changed();
    return;
  }
  if (TGraphic* Graphic = As<TGraphic>(Source)) {
    // Any other graphic: drawn over white at its own size.
    ReplaceImage(nullptr, nullptr, 0, 0, FPixelFormat, FPalette);
    SetSize(Graphic->Width(), Graphic->Height());
    if (!Empty()) Canvas()->Draw(0, 0, Graphic);
    Changed();
    return;
  }
  inherited::Assign(Source);
}

void TBitmap::Draw(TCanvas* Canvas, const TRect& Rect) {
  if (Empty()) return;
  HDC Source = this->Canvas()->Handle();
  HDC Dest = Canvas->Handle();
  const int Width = Rect.Right - Rect.Left, Height = Rect.Bottom - Rect.Top;
  if (Transparent()) {
    const TColor Key = ColorToRGB(TransparentColor()) & 0x00FFFFFF;
    TransparentBlt(Dest, Rect.Left, Rect.Top, Width, Height, Source, 0, 0, FWidth, FHeight, Key);
    return;
  }
  const bool Stretched = Width != FWidth || Height != FHeight;
  const int OldMode = Stretched ? SetStretchBltMode(Dest, STRETCH_DELETESCANS) : 0;
  StretchBlt(Dest, Rect.Left, Rect.Top, Width, Height, Source, 0, 0, FWidth, FHeight, Canvas->CopyMode());
  if (Stretched) SetStretchBltMode(Dest, OldMode);
}
