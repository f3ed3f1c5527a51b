// TIcon: an owned HICON, loaded from .ico data or a resource, drawn with DrawIconEx.
#include <cstdlib>
#include <cstring>

#include "framework/Graphics.h"
#include "framework/Streams.h"

IMPLEMENT_CLASS(TIcon)

namespace {

[[noreturn]] void Invalid(const std::string& Why) { throw EInvalidGraphic("Invalid icon image: " + Why); }

std::uint16_t Le16(const std::uint8_t* P) { return static_cast<std::uint16_t>(P[0] | P[1] << 8); }
std::uint32_t Le32(const std::uint8_t* P) {
  return std::uint32_t{P[0]} | std::uint32_t{P[1]} << 8 | std::uint32_t{P[2]} << 16 | std::uint32_t{P[3]} << 24;
}

// Size of an icon's image (its colour bitmap, or half its mask for monochrome icons).
SIZE IconSize(HICON Icon) {
  SIZE Result{0, 0};
  ICONINFO Info{};
  if (!GetIconInfo(Icon, &Info)) return Result;
  BITMAP Bitmap{};
  if (Info.hbmColor && GetObjectA(Info.hbmColor, sizeof(Bitmap), &Bitmap)) {
    Result = {Bitmap.bmWidth, Bitmap.bmHeight};
  } else if (Info.hbmMask && GetObjectA(Info.hbmMask, sizeof(Bitmap), &Bitmap)) {
    Result = {Bitmap.bmWidth, Bitmap.bmHeight / 2};
  }
  // GetIconInfo hands out copies of the icon's bitmaps; they were never counted as ours.
  if (Info.hbmColor) DeleteObject(Info.hbmColor);
  if (Info.hbmMask) DeleteObject(Info.hbmMask);
  return Result;
}

// Checks that an icon image (a DIB with its AND mask, or PNG data) lies within its bytes, so the system
// decoder never reads past them.
void CheckIconImage(const std::uint8_t* Image, std::uint32_t Size) {
  static const std::uint8_t Png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (Size >= 8 && std::memcmp(Image, Png, 8) == 0) return;
  if (Size < 40 || Le32(Image) != 40) Invalid("image header");
  const std::int32_t Width = static_cast<std::int32_t>(Le32(Image + 4));
  const std::int32_t Height = static_cast<std::int32_t>(Le32(Image + 8));  // colour and mask rows
  const int Bits = Le16(Image + 14);
  const std::uint32_t Compression = Le32(Image + 16);
  std::uint32_t Colors = Le32(Image + 32);
  if (Width <= 0 || Width > 256 || Height <= 0 || Height > 512) Invalid("image size");
  if (Bits != 1 && Bits != 4 && Bits != 8 && Bits != 16 && Bits != 24 && Bits != 32) Invalid("image depth");
  if (Compression != BI_RGB) Invalid("image compression");
  if (Bits <= 8 && (Colors == 0 || Colors > (1u << Bits))) Colors = 1u << Bits;
  if (Bits > 8) Colors = 0;
  const std::uint64_t Rows = static_cast<std::uint64_t>(Height) / 2;
  const std::uint64_t ColorRow = ((static_cast<std::uint64_t>(Width) * Bits + 31) / 32) * 4;
  const std::uint64_t MaskRow = ((static_cast<std::uint64_t>(Width) + 31) / 32) * 4;
  const std::uint64_t Needed = 40 + std::uint64_t{Colors} * 4 + Rows * ColorRow + Rows * MaskRow;
  if (Needed > Size) Invalid("image data ends early");
}

}  // namespace

TIcon::TIcon() = default;

TIcon::~TIcon() { GdiFreeIcon(FHandle); }

void TIcon::SetIcon(HICON Icon, std::vector<std::uint8_t> Data) {
  if (Icon != FHandle) GdiFreeIcon(FHandle);
  FHandle = Icon;
  FData = std::move(Data);
  const SIZE Size = Icon ? IconSize(Icon) : SIZE{0, 0};
  FWidth = Size.cx;
  FHeight = Size.cy;
  Changed();
}

void TIcon::SetHandle(HICON Value) {
  if (Value == FHandle) return;
  SetIcon(Value, {});
}

HICON TIcon::ReleaseHandle() {
  HICON Result = FHandle;
  FHandle = nullptr;
  FData.clear();
  FWidth = FHeight = 0;
  Changed();
  return Result;
}

void TIcon::SetWidth(int Value) {
  if (Value != FWidth) throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::SetHeight(int Value) {
  if (Value != FHeight) throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::Assign(TPersistent* Source) {
  if (!Source) {
    SetIcon(nullptr, {});
    return;
  }
  if (TIcon* Other = As<TIcon>(Source)) {
    if (Other == this) return;
    HICON Copy = nullptr;
    if (Other->FHandle) {
      Copy = GdiCopyIcon(Other->FHandle);
      if (!Copy) throw EOutOfResources("Cannot copy the icon");
    }
    SetIcon(Copy, Other->FData);
    return;
  }
  inherited::Assign(Source);
}

void TIcon::Draw(TCanvas* Canvas, const TRect& Rect) {
  if (!FHandle) return;
  DrawIconEx(Canvas->Handle(), Rect.Left, Rect.Top, FHandle, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top, 0,
             nullptr, DI_NORMAL);
}

void TIcon::LoadFromStream(TStream* Stream) {
  std::uint8_t Header[6];
  if (Stream->Read(Header, 6) != 6) Invalid("the data ends early");
  const int Count = Le16(Header + 4);
  if (Le16(Header) != 0 || Le16(Header + 2) != 1) Invalid("not an icon file");
  if (Count == 0) Invalid("no images");
  std::vector<std::uint8_t> Data(6 + 16 * static_cast<size_t>(Count));
  std::memcpy(Data.data(), Header, 6);
  if (Stream->Read(Data.data() + 6, 16 * Count) != 16 * Count) Invalid("the data ends early");

  // The file ends with its last image; the directory says where that is.
  std::uint64_t End = Data.size();
  for (int i = 0; i < Count; ++i) {
    const std::uint8_t* Entry = Data.data() + 6 + 16 * i;
    const std::uint64_t Size = Le32(Entry + 8), Offset = Le32(Entry + 12);
    if (Size == 0 || Offset < Data.size()) Invalid("directory entry " + std::to_string(i));
    End = std::max(End, Offset + Size);
  }
  const std::int64_t Left = Stream->Size() - Stream->Position();
  if (Left < 0 || End - Data.size() > static_cast<std::uint64_t>(Left)) Invalid("the data ends early");
  const size_t DirectorySize = Data.size();
  Data.resize(static_cast<size_t>(End));
  Stream->ReadBuffer(Data.data() + DirectorySize, static_cast<std::int32_t>(End - DirectorySize));

  // The image nearest the system icon size; among equals the deepest.
  const int Wanted = GetSystemMetrics(SM_CXICON);
  int Best = -1, BestDistance = 0, BestBits = 0;
  for (int i = 0; i < Count; ++i) {
    const std::uint8_t* Entry = Data.data() + 6 + 16 * i;
    const int Width = Entry[0] ? Entry[0] : 256;
    int Bits = Le16(Entry + 6);
    if (!Bits) {
      const int Colors = Entry[2];
      Bits = Colors == 2 ? 1 : Colors == 16 ? 4 : Colors ? 8 : 32;
    }
    const int Distance = std::abs(Width - Wanted);
    if (Best < 0 || Distance < BestDistance || (Distance == BestDistance && Bits > BestBits)) {
      Best = i;
      BestDistance = Distance;
      BestBits = Bits;
    }
  }
  const std::uint8_t* Entry = Data.data() + 6 + 16 * Best;
  const std::uint32_t Size = Le32(Entry + 8), Offset = Le32(Entry + 12);
  CheckIconImage(Data.data() + Offset, Size);
  const int Width = Entry[0] ? Entry[0] : 256, Height = Entry[1] ? Entry[1] : 256;
  HICON Icon = GdiNewIconFromResource(Data.data() + Offset, Size, TRUE, Width, Height);
  if (!Icon) Invalid("the system cannot read image " + std::to_string(Best));
  SetIcon(Icon, std::move(Data));
}

void TIcon::SaveToStream(TStream* Stream) {
  if (FHandle && FData.empty())
    throw EInvalidGraphicOperation("This icon was not loaded from icon data and cannot be saved");
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<std::int32_t>(FData.size()));
}

void TIcon::LoadFromResourceName(HINSTANCE Instance, const std::string& Name) {
  HICON Icon = GdiLoadIcon(Instance, Name.c_str(), 0, 0);
  if (!Icon) throw EResNotFound("Resource " + Name + " not found");
  SetIcon(Icon, {});
}
