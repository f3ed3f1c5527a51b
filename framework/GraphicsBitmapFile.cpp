// BMP files: reading (1/4/8/16/24/32 bits, top-down or bottom-up) and writing, and RT_BITMAP resources.
#include <algorithm>
#include <cstring>

#include "framework/Graphics.h"
#include "framework/GraphicsBitmapImage.h"
#include "framework/Streams.h"

using namespace bitmap_detail;

namespace {

constexpr int MaxBitmapSide = 8192;

[[noreturn]] void Invalid(const std::string& Why) { throw EInvalidGraphic("Invalid bitmap image: " + Why); }

// Bytes the parser reads, from a stream or from memory; a short read is a malformed image.
class ByteSource {
public:
  virtual ~ByteSource() = default;
  virtual size_t Read(void* Buffer, size_t Count) = 0;
  virtual std::uint64_t Remaining() = 0;
  void Need(void* Buffer, size_t Count) {
    if (Read(Buffer, Count) != Count) Invalid("the data ends early");
  }
  void Skip(std::uint64_t Count) {
    if (Count > Remaining()) Invalid("the data ends early");
    std::uint8_t Scratch[256];
    while (Count > 0) {
      const size_t Part = static_cast<size_t>(std::min<std::uint64_t>(Count, sizeof(Scratch)));
      Need(Scratch, Part);
      Count -= Part;
    }
  }
};

class StreamSource : public ByteSource {
public:
  explicit StreamSource(TStream* Stream) : FStream(Stream) {}
  size_t Read(void* Buffer, size_t Count) override {
    return static_cast<size_t>(FStream->Read(Buffer, static_cast<std::int32_t>(Count)));
  }
  std::uint64_t Remaining() override {
    const std::int64_t Left = FStream->Size() - FStream->Position();
    return Left > 0 ? static_cast<std::uint64_t>(Left) : 0;
  }

private:
  TStream* FStream;
};

class MemorySource : public ByteSource {
public:
  MemorySource(const void* Data, size_t Size) : FData(static_cast<const std::uint8_t*>(Data)), FSize(Size) {}
  size_t Read(void* Buffer, size_t Count) override {
    const size_t Part = std::min(Count, FSize - FPosition);
    std::memcpy(Buffer, FData + FPosition, Part);
    FPosition += Part;
    return Part;
  }
  std::uint64_t Remaining() override { return FSize - FPosition; }

private:
  const std::uint8_t* FData;
  size_t FSize;
  size_t FPosition = 0;
};

std::uint16_t Le16(const std::uint8_t* P) { return static_cast<std::uint16_t>(P[0] | P[1] << 8); }
std::uint32_t Le32(const std::uint8_t* P) {
  return std::uint32_t{P[0]} | std::uint32_t{P[1]} << 8 | std::uint32_t{P[2]} << 16 | std::uint32_t{P[3]} << 24;
}

// One channel of a bit-field pixel scaled to 0..255.
struct Channel {
  explicit Channel(std::uint32_t Mask) : FMask(Mask) {
    if (!Mask) return;
    while (!(Mask & 1)) {
      Mask >>= 1;
      ++FShift;
    }
    FMax = Mask;
  }
  std::uint32_t operator()(std::uint32_t Pixel) const {
    if (!FMask) return 0;
    const std::uint64_t Value = (Pixel & FMask) >> FShift;
    return static_cast<std::uint32_t>((Value * 255 + FMax / 2) / FMax) & 0xFF;
  }
  std::uint32_t FMask;
  int FShift = 0;
  std::uint64_t FMax = 1;
};

// Frees a new image unless it was handed to the bitmap.
struct PendingImage {
  HBITMAP Handle = nullptr;
  ~PendingImage() { GdiFreeObject(Handle); }
  HBITMAP Release() {
    HBITMAP Result = Handle;
    Handle = nullptr;
    return Result;
  }
};

void LoadBmp(TBitmap* Bitmap, ByteSource& Source, bool WithFileHeader) {
  std::uint64_t Consumed = 0;
  std::uint32_t PixelOffset = 0;
  if (WithFileHeader) {
    std::uint8_t FileHeader[14];
    Source.Need(FileHeader, sizeof(FileHeader));
    if (FileHeader[0] != 'B' || FileHeader[1] != 'M') Invalid("no BMP signature");
    PixelOffset = Le32(FileHeader + 10);
    Consumed = sizeof(FileHeader);
  }

  std::uint8_t Header[124] = {};
  Source.Need(Header, 4);
  const std::uint32_t HeaderSize = Le32(Header);
  if (HeaderSize != 12 && (HeaderSize < 40 || HeaderSize > sizeof(Header)))
    Invalid("unknown header size " + std::to_string(HeaderSize));
  Source.Need(Header + 4, HeaderSize - 4);
  Consumed += HeaderSize;

  const bool Core = HeaderSize == 12;
  std::int32_t Width, Height;
  int Bits;
  std::uint32_t Compression = BI_RGB, ColorsUsed = 0;
  std::uint32_t Masks[4] = {0, 0, 0, 0};
  if (Core) {
    Width = Le16(Header + 4);
    Height = static_cast<std::int16_t>(Le16(Header + 6));
    Bits = Le16(Header + 10);
  } else {
    Width = static_cast<std::int32_t>(Le32(Header + 4));
    Height = static_cast<std::int32_t>(Le32(Header + 8));
    Bits = Le16(Header + 14);
    Compression = Le32(Header + 16);
    ColorsUsed = Le32(Header + 32);
    if (HeaderSize >= 52)
      for (int i = 0; i < 3; ++i) Masks[i] = Le32(Header + 40 + 4 * i);
    if (HeaderSize >= 56) Masks[3] = Le32(Header + 52);
  }

  const bool TopDown = Height < 0;
  if (Width <= 0 || Height == 0 || Height < -MaxBitmapSide) Invalid("empty or negative size");
  const int Rows = TopDown ? -Height : Height;
  if (Width > MaxBitmapSide || Rows > MaxBitmapSide)
    Invalid("larger than " + std::to_string(MaxBitmapSide) + " x " + std::to_string(MaxBitmapSide) + " pixels");
  if (Bits != 1 && Bits != 4 && Bits != 8 && Bits != 16 && Bits != 24 && Bits != 32)
    Invalid(std::to_string(Bits) + " bits per pixel");
  const bool BitFields = Compression == BI_BITFIELDS;
  if (Compression != BI_RGB && !(BitFields && (Bits == 16 || Bits == 32)))
    Invalid("compression " + std::to_string(Compression) + " is not supported");
  if (BitFields && HeaderSize == 40) {
    std::uint8_t MaskBytes[12];
    Source.Need(MaskBytes, sizeof(MaskBytes));
    Consumed += sizeof(MaskBytes);
    for (int i = 0; i < 3; ++i) Masks[i] = Le32(MaskBytes + 4 * i);
  }
  if (!BitFields) {
    if (Bits == 16) {
      Masks[0] = 0x7C00;
      Masks[1] = 0x03E0;
      Masks[2] = 0x001F;
    } else if (Bits == 32) {
      Masks[0] = 0x00FF0000;
      Masks[1] = 0x0000FF00;
      Masks[2] = 0x000000FF;
      Masks[3] = 0xFF000000;  // the fourth byte is kept as it is
    }
  } else if (!Masks[0] && !Masks[1] && !Masks[2]) {
    Invalid("empty colour masks");
  }

  std::vector<RGBQUAD> Palette;
  if (Bits <= 8) {
    const std::uint32_t MaxColors = 1u << Bits;
    const std::uint32_t Count = ColorsUsed ? ColorsUsed : MaxColors;
    if (Count > MaxColors) Invalid("colour table of " + std::to_string(Count) + " entries");
    const size_t EntrySize = Core ? 3 : 4;
    std::vector<std::uint8_t> Table(Count * EntrySize);
    Source.Need(Table.data(), Table.size());
    Consumed += Table.size();
    for (std::uint32_t i = 0; i < Count; ++i) {
      const std::uint8_t* E = Table.data() + i * EntrySize;
      Palette.push_back(RGBQUAD{E[0], E[1], E[2], 0});
    }
    Palette.resize(MaxColors, RGBQUAD{0, 0, 0, 0});
  } else if (ColorsUsed && !WithFileHeader) {
    // An optional colour table of a true-colour image; with a file header the pixel offset skips it.
    if (ColorsUsed > 65536) Invalid("colour table too large");
    Source.Skip(std::uint64_t{ColorsUsed} * 4);
    Consumed += std::uint64_t{ColorsUsed} * 4;
  }
  if (WithFileHeader && PixelOffset) {
    if (PixelOffset < Consumed) Invalid("pixel data overlaps the headers");
    Source.Skip(PixelOffset - Consumed);
  }

  const int FileStride = RowBytes(Width, Bits);
  if (std::uint64_t{static_cast<std::uint32_t>(FileStride)} * Rows > Source.Remaining()) Invalid("the data ends early");

  const TPixelFormat Format = Bits == 16 ? pf24bit : FormatOfBits(Bits);
  const bool Direct = Bits != 16 && !(Bits == 32 && BitFields &&
                                      !(Masks[0] == 0x00FF0000 && Masks[1] == 0x0000FF00 && Masks[2] == 0x000000FF));
  void* Memory = nullptr;
  PendingImage Image;
  Image.Handle = NewWhiteDib(Width, Rows, Format, Palette, &Memory);
  const int Stride = RowBytes(Width, BitsPerPixel(Format));
  std::vector<std::uint8_t> Row(FileStride);
  const Channel Red(Masks[0]), Green(Masks[1]), Blue(Masks[2]), Alpha(Masks[3]);
  for (int FileRow = 0; FileRow < Rows; ++FileRow) {
    // File rows run bottom-up unless the height is negative; memory rows always run bottom-up.
    const int MemoryRow = TopDown ? Rows - 1 - FileRow : FileRow;
    auto* To = static_cast<std::uint8_t*>(Memory) + static_cast<size_t>(MemoryRow) * Stride;
    if (Direct) {
      Source.Need(To, FileStride);
      continue;
    }
    Source.Need(Row.data(), Row.size());
    for (int X = 0; X < Width; ++X) {
      const std::uint32_t Pixel = Bits == 16 ? Le16(Row.data() + X * 2) : Le32(Row.data() + X * 4);
      const std::uint32_t Value = Blue(Pixel) | Green(Pixel) << 8 | Red(Pixel) << 16;
      if (Format == pf32bit) {
        const std::uint32_t Out = Value | Alpha(Pixel) << 24;
        std::memcpy(To + X * 4, &Out, 4);
      } else {
        To[X * 3] = static_cast<std::uint8_t>(Value);
        To[X * 3 + 1] = static_cast<std::uint8_t>(Value >> 8);
        To[X * 3 + 2] = static_cast<std::uint8_t>(Value >> 16);
      }
    }
  }
  BitmapImage::Install(Bitmap, Image.Release(), Memory, Width, Rows, Format, std::move(Palette));
}

// Size of the BMP file SaveToStream writes.
std::uint32_t BmpFileSize(int Width, int Height, int Bits, size_t PaletteEntries) {
  return static_cast<std::uint32_t>(14 + sizeof(BITMAPINFOHEADER) + PaletteEntries * sizeof(RGBQUAD) +
                                    static_cast<size_t>(RowBytes(Width, Bits)) * Height);
}

void WriteLe16(std::uint8_t* P, std::uint32_t V) {
  P[0] = static_cast<std::uint8_t>(V);
  P[1] = static_cast<std::uint8_t>(V >> 8);
}
void WriteLe32(std::uint8_t* P, std::uint32_t V) {
  WriteLe16(P, V);
  WriteLe16(P + 2, V >> 16);
}

}  // namespace

void TBitmap::LoadFromStream(TStream* Stream) {
  if (Stream->Position() >= Stream->Size()) {
    Assign(nullptr);
    return;
  }
  StreamSource Source(Stream);
  LoadBmp(this, Source, true);
}

void TBitmap::SaveToStream(TStream* Stream) {
  if (Empty()) return;
  std::vector<std::uint32_t> DevicePixels;
  const void* Pixels = FBits;
  int Bits = BitsPerPixel(FPixelFormat);
  std::vector<RGBQUAD> Palette = FPalette;
  if (FPixelFormat == pfDevice) {
    // A device bitmap is written as 32 bits, bottom row first.
    Bits = 32;
    ReleaseCanvasDC();
    std::vector<std::uint8_t> Info = MakeInfo(FWidth, FHeight, 32, {});
    DevicePixels.resize(static_cast<size_t>(FWidth) * FHeight);
    HDC Screen = GdiGetDC(nullptr);
    const int Rows = GetDIBits(Screen, FHandle, 0, FHeight, DevicePixels.data(),
                               reinterpret_cast<BITMAPINFO*>(Info.data()), DIB_RGB_COLORS);
    GdiReleaseDC(nullptr, Screen);
    if (Rows != FHeight) throw EInvalidGraphicOperation("Cannot read the bitmap's pixels");
    Pixels = DevicePixels.data();
    Palette.clear();
  } else {
    GdiFlush();
  }
  std::uint8_t FileHeader[14] = {'B', 'M'};
  WriteLe32(FileHeader + 2, BmpFileSize(FWidth, FHeight, Bits, Palette.size()));
  WriteLe32(FileHeader + 10,
            static_cast<std::uint32_t>(14 + sizeof(BITMAPINFOHEADER) + Palette.size() * sizeof(RGBQUAD)));
  std::vector<std::uint8_t> Info = MakeInfo(FWidth, FHeight, Bits, Palette);
  Stream->WriteBuffer(FileHeader, sizeof(FileHeader));
  Stream->WriteBuffer(Info.data(), static_cast<std::int32_t>(Info.size()));
  Stream->WriteBuffer(Pixels, static_cast<std::int32_t>(RowBytes(FWidth, Bits) * FHeight));
}

void TBitmap::ReadData(TStream* Stream) {
  std::uint8_t SizeBytes[4];
  if (Stream->Read(SizeBytes, 4) != 4) Invalid("the data ends early");
  const std::uint32_t Size = Le32(SizeBytes);
  if (Size == 0) {
    Assign(nullptr);
    return;
  }
  const std::int64_t Left = Stream->Size() - Stream->Position();
  if (Left < 0 || Size > static_cast<std::uint64_t>(Left) || Size > 0x7FFFFFFF) Invalid("the data ends early");
  // Exactly the sized bytes, through the virtual loader, so a derived image class reads its own format.
  TMemoryStream Data;
  Data.SetSize(Size);
  Stream->ReadBuffer(Data.Memory(), static_cast<std::int32_t>(Size));
  Data.SetPosition(0);
  LoadFromStream(&Data);
}

void TBitmap::WriteData(TStream* Stream) {
  std::uint32_t Size = 0;
  if (!Empty()) {
    const bool Device = FPixelFormat == pfDevice;
    Size = BmpFileSize(FWidth, FHeight, Device ? 32 : BitsPerPixel(FPixelFormat), Device ? 0 : FPalette.size());
  }
  std::uint8_t SizeBytes[4];
  WriteLe32(SizeBytes, Size);
  Stream->WriteBuffer(SizeBytes, 4);
  SaveToStream(Stream);
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const std::string& Name) {
  HRSRC Resource = FindResourceA(Instance, Name.c_str(), reinterpret_cast<LPCSTR>(RT_BITMAP));
  HGLOBAL Loaded = Resource ? LoadResource(Instance, Resource) : nullptr;
  const void* Data = Loaded ? LockResource(Loaded) : nullptr;
  if (!Data) throw EResNotFound("Resource " + Name + " not found");
  MemorySource Source(Data, SizeofResource(Instance, Resource));
  LoadBmp(this, Source, false);
}
