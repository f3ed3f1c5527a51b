#include "framework/ImgList.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "framework/GraphicsGdi.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"

// One image of the list as plain pixels: 0xAARRGGBB rows from the top; Mask (when not empty) is 1 where
// the image is transparent.
struct TImageListBits {
  int Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;
  std::vector<uint8_t> Mask;
};

namespace {

std::set<HIMAGELIST>& g_ownLists = *new std::set<HIMAGELIST>;

constexpr char kSignature[4] = {'I', 'L', '3', '2'};
constexpr int kMaxSide = 4096;

COLORREF ListColor(TColor Color) {
  if (Color == clNone) return CLR_NONE;
  if (Color == clDefault) return CLR_DEFAULT;
  return static_cast<COLORREF>(ColorToRGB(Color));
}

TColor FromListColor(COLORREF Color) {
  if (Color == CLR_NONE) return clNone;
  if (Color == CLR_DEFAULT) return clDefault;
  return static_cast<TColor>(Color);
}

// The pixels of any bitmap as 32 bits (the bitmap itself is left as it is).
std::vector<uint32_t> PixelsOf(TBitmap* Bitmap) {
  TBitmap copy;
  copy.Assign(Bitmap);
  copy.SetPixelFormat(pf32bit);
  std::vector<uint32_t> pixels(static_cast<size_t>(copy.Width()) * copy.Height());
  for (int y = 0; y < copy.Height(); ++y)
    memcpy(&pixels[static_cast<size_t>(y) * copy.Width()], copy.ScanLine(y), copy.Width() * 4);
  return pixels;
}

// The rows of a bitmap handle as 32 bits from the top (monochrome bitmaps give black and white).
std::vector<uint32_t> ReadHandle(HBITMAP Bitmap, int& Width, int& Height) {
  BITMAP bm{};
  if (!GetObjectA(Bitmap, sizeof bm, &bm)) RaiseLastOSError();
  Width = bm.bmWidth;
  Height = bm.bmHeight;
  std::vector<uint32_t> pixels(static_cast<size_t>(Width) * Height);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), Width, -Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC dc = GetDC(nullptr);
  int rows = GetDIBits(dc, Bitmap, 0, Height, pixels.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (rows != Height) throw EInvalidGraphicOperation("The image list's bitmap cannot be read");
  return pixels;
}

// A 32-bit DIB section holding Pixels (with their alpha).
HBITMAP NewColorBitmap(int Width, int Height, const uint32_t* Pixels, int Stride) {
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), Width, -Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bmp = GdiNewDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits);
  if (!bmp) throw EOutOfResources("Out of system resources");
  for (int y = 0; y < Height; ++y)
    memcpy(static_cast<uint32_t*>(bits) + static_cast<size_t>(y) * Width, Pixels + static_cast<size_t>(y) * Stride,
           Width * 4);
  GdiFlush();
  return bmp;
}

// A monochrome bitmap, white (1) where Mask is set.
HBITMAP NewMaskBitmap(int Width, int Height, const uint8_t* Mask, int Stride) {
  int rowBytes = ((Width + 15) / 16) * 2;
  std::vector<uint8_t> bits(static_cast<size_t>(rowBytes) * Height);
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x)
      if (Mask[static_cast<size_t>(y) * Stride + x]) bits[y * rowBytes + x / 8] |= 0x80 >> (x % 8);
  HBITMAP bmp = GdiNewBitmap(Width, Height, 1, 1, bits.data());
  if (!bmp) throw EOutOfResources("Out of system resources");
  return bmp;
}

}  // namespace

// An image without transparent mask pixels goes in without a mask, as it was added: the system list derives
// the mask of an alpha image from its alpha only then.
bool HasTransparent(const TImageListBits& Image) {
  return std::find(Image.Mask.begin(), Image.Mask.end(), 1) != Image.Mask.end();
}

// The bitmaps of one image as the system list takes them, freed when done.
struct TImageHandles {
  explicit TImageHandles(const TImageListBits& Image)
      : Colour(NewColorBitmap(Image.Width, Image.Height, Image.Pixels.data(), Image.Width)),
        Mask(HasTransparent(Image) ? NewMaskBitmap(Image.Width, Image.Height, Image.Mask.data(), Image.Width) : nullptr) {}
  ~TImageHandles() {
    GdiFreeObject(Colour);
    GdiFreeObject(Mask);
  }
  HBITMAP Colour, Mask;
};

int ImageListHandleCount() { return static_cast<int>(g_ownLists.size()); }

// ===================================================================================================
// TChangeLink

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(FSender);
}

// ===================================================================================================
// TCustomImageList

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList() {
  // Links outlive a freed list: they just forget it.
  for (TChangeLink* link : FClients) link->SetSender(nullptr);
  FClients.clear();
  FreeHandle();
}

void TCustomImageList::CreateImageList() {
  FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR32 | (FMasked ? ILC_MASK : 0), 0, FAllocBy);
  if (!FHandle) throw EOutOfResources("Failed to create the image list");
  g_ownLists.insert(FHandle);
  ImageList_SetBkColor(FHandle, ListColor(FBkColor));
}

HIMAGELIST TCustomImageList::Handle() {
  if (!FHandle) CreateImageList();
  return FHandle;
}

void TCustomImageList::FreeHandle() {
  // A list made here is ours even while ShareImages is set (made after a shared one was dropped).
  if (FHandle && (!FShareImages || g_ownLists.count(FHandle))) {
    ImageList_Destroy(FHandle);
    g_ownLists.erase(FHandle);
  }
  FHandle = nullptr;
}

void TCustomImageList::SetHandle(HIMAGELIST Value) {
  if (Value == FHandle) return;
  FreeHandle();
  FHandle = Value;
  if (Value) {
    int w = 0, h = 0;
    if (ImageList_GetIconSize(Value, &w, &h)) {
      FWidth = w;
      FHeight = h;
    }
  }
  Change();
}

void TCustomImageList::SetSize(int AWidth, int AHeight) {
  if (AWidth == FWidth && AHeight == FHeight) return;
  if (AWidth < 1 || AHeight < 1 || AWidth > kMaxSide || AHeight > kMaxSide)
    throw EInvalidOperation("Invalid image size");
  FWidth = AWidth;
  FHeight = AHeight;
  if (FHandle) {
    if (FShareImages)
      FHandle = nullptr;  // someone else's list keeps its size; ours comes on next use
    else
      ImageList_SetIconSize(FHandle, FWidth, FHeight);
  }
  Change();
}

int TCustomImageList::Count() { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

void TCustomImageList::SetMasked(bool Value) {
  if (FMasked == Value) return;
  FMasked = Value;
  if (FHandle && !FShareImages) {
    std::vector<TImageListBits> images = ReadImages();
    FreeHandle();
    CreateImageList();
    WriteImages(images);
  }
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
  if (FDrawingStyle == Value) return;
  FDrawingStyle = Value;
  Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
  if (FImageType == Value) return;
  FImageType = Value;
  Change();
}

TColor TCustomImageList::BkColor() { return FHandle ? FromListColor(ImageList_GetBkColor(FHandle)) : FBkColor; }

void TCustomImageList::SetBkColor(TColor Value) {
  FBkColor = Value;
  if (FHandle) ImageList_SetBkColor(FHandle, ListColor(Value));
  Change();
}

void TCustomImageList::SetBlendColor(TColor Value) {
  if (FBlendColor == Value) return;
  FBlendColor = Value;
  Change();
}

void TCustomImageList::CheckIndex(int Index) {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation(Format("Image index %d out of range", {Index}));
}

int TCustomImageList::AddChecked(int Added) {
  if (Added < 0) throw EInvalidOperation("The image list cannot take the image");
  Change();
  return Added;
}

void TCustomImageList::Clear() {
  if (FHandle) ImageList_Remove(FHandle, -1);
  Change();
}

std::vector<TImageListBits> TCustomImageList::ReadImages() {
  std::vector<TImageListBits> images;
  int count = Count();
  if (!count) return images;
  std::vector<uint32_t> colour, mask;
  int cw = 0, ch = 0, mw = 0, mh = 0;
  for (int i = 0; i < count; ++i) {
    IMAGEINFO info{};
    if (!ImageList_GetImageInfo(FHandle, i, &info)) throw EInvalidOperation(Format("Image index %d out of range", {i}));
    if (colour.empty()) colour = ReadHandle(info.hbmImage, cw, ch);
    if (info.hbmMask && mask.empty() && FMasked) mask = ReadHandle(info.hbmMask, mw, mh);
    TImageListBits image;
    image.Width = info.rcImage.right - info.rcImage.left;
    image.Height = info.rcImage.bottom - info.rcImage.top;
    for (int y = 0; y < image.Height; ++y)
      for (int x = 0; x < image.Width; ++x) {
        int sx = info.rcImage.left + x, sy = info.rcImage.top + y;
        image.Pixels.push_back(colour[static_cast<size_t>(sy) * cw + sx]);
        if (!mask.empty()) image.Mask.push_back((mask[static_cast<size_t>(sy) * mw + sx] & 0xFFFFFF) != 0);
      }
    images.push_back(std::move(image));
  }
  return images;
}

void TCustomImageList::WriteImages(const std::vector<TImageListBits>& Images) {
  HIMAGELIST list = Handle();
  for (const TImageListBits& image : Images) {
    TImageHandles bitmaps(image);
    if (ImageList_Add(list, bitmaps.Colour, bitmaps.Mask) < 0) throw EInvalidOperation("The image list cannot take the image");
  }
}

std::vector<TImageListBits> TCustomImageList::ImagesOf(TBitmap* Image, TBitmap* Mask) {
  if (!Image || Image->Empty()) throw EInvalidOperation("The image list cannot take an empty image");
  std::vector<uint32_t> pixels = PixelsOf(Image);
  std::vector<uint8_t> mask;
  if (Mask && !Mask->Empty() && FMasked) {
    if (Mask->Width() < Image->Width() || Mask->Height() < Image->Height())
      throw EInvalidOperation("The mask is smaller than the image");
    std::vector<uint32_t> m = PixelsOf(Mask);
    mask.resize(pixels.size());
    for (int y = 0; y < Image->Height(); ++y)
      for (int x = 0; x < Image->Width(); ++x) {
        size_t i = static_cast<size_t>(y) * Image->Width() + x;
        mask[i] = (m[static_cast<size_t>(y) * Mask->Width() + x] & 0xFFFFFF) != 0;
        if (mask[i]) pixels[i] = 0;  // drawn through the mask, a transparent pixel must be black
      }
  }
  // A wide bitmap is a strip of images; a narrower or shorter one gives one image, the rest transparent.
  int n = std::max(1, Image->Width() / FWidth);
  std::vector<TImageListBits> images;
  for (int k = 0; k < n; ++k) {
    TImageListBits image;
    image.Width = FWidth;
    image.Height = FHeight;
    image.Pixels.assign(static_cast<size_t>(FWidth) * FHeight, 0);
    if (!mask.empty()) image.Mask.assign(image.Pixels.size(), 1);
    for (int y = 0; y < std::min(FHeight, Image->Height()); ++y)
      for (int x = 0; x < FWidth && k * FWidth + x < Image->Width(); ++x) {
        size_t src = static_cast<size_t>(y) * Image->Width() + k * FWidth + x;
        image.Pixels[static_cast<size_t>(y) * FWidth + x] = pixels[src];
        if (!mask.empty()) image.Mask[static_cast<size_t>(y) * FWidth + x] = mask[src];
      }
    images.push_back(std::move(image));
  }
  return images;
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  std::vector<TImageListBits> images = ImagesOf(Image, Mask);
  int first = Count();
  WriteImages(images);
  return AddChecked(first);
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image || Image->Empty()) throw EInvalidOperation("The image list cannot take an empty image");
  TColor key = ColorToRGB(MaskColor == clDefault ? Image->TransparentColor() : MaskColor);
  TBitmap mask;
  mask.SetPixelFormat(pf32bit);
  mask.SetSize(Image->Width(), Image->Height());
  std::vector<uint32_t> pixels = PixelsOf(Image);
  // TColor is 0x00BBGGRR, a pixel 0xAARRGGBB.
  uint32_t keyPixel = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
  for (int y = 0; y < Image->Height(); ++y) {
    auto* row = static_cast<uint32_t*>(mask.ScanLine(y));
    for (int x = 0; x < Image->Width(); ++x)
      row[x] = (pixels[static_cast<size_t>(y) * Image->Width() + x] & 0xFFFFFF) == keyPixel ? 0xFFFFFF : 0;
  }
  return Add(Image, &mask);
}

int TCustomImageList::AddIcon(TIcon* Image) {
  if (!Image || Image->Empty()) throw EInvalidOperation("The image list cannot take an empty image");
  return AddChecked(ImageList_ReplaceIcon(Handle(), -1, Image->Handle()));
}

void TCustomImageList::Delete(int Index) {
  CheckIndex(Index);
  ImageList_Remove(FHandle, Index);
  Change();
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
  CheckIndex(Index);
  TImageHandles bitmaps(ImagesOf(Image, Mask).front());
  if (!ImageList_Replace(FHandle, Index, bitmaps.Colour, bitmaps.Mask))
    throw EInvalidOperation("The image list cannot take the image");
  Change();
}

void TCustomImageList::GetIcon(int Index, TIcon* Image) {
  CheckIndex(Index);
  HICON icon = ImageList_GetIcon(FHandle, Index, ILD_NORMAL);
  if (!icon) throw EOutOfResources("Out of system resources");
  GdiCountCreated(gkIcon);
  Image->SetHandle(icon);
}

void TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
  CheckIndex(Index);
  Image->SetSize(FWidth, FHeight);
  if (Image->PixelFormat() == pf32bit) {
    IMAGEINFO info{};
    ImageList_GetImageInfo(FHandle, Index, &info);
    int w = 0, h = 0;
    std::vector<uint32_t> colour = ReadHandle(info.hbmImage, w, h);
    for (int y = 0; y < FHeight; ++y)
      memcpy(Image->ScanLine(y), &colour[static_cast<size_t>(info.rcImage.top + y) * w + info.rcImage.left], FWidth * 4);
    return;
  }
  ImageList_Draw(FHandle, Index, Image->Canvas()->Handle(), 0, 0, ILD_NORMAL);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
  if (!FHandle) return;
  static const UINT kStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  DoDraw(Index, Canvas, X, Y, kStyles[FDrawingStyle] | (FImageType == itMask ? ILD_MASK : 0), Enabled);
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) {
  if (!FHandle) return;
  IMAGELISTDRAWPARAMS p{};
  p.cbSize = sizeof p;
  p.himl = FHandle;
  p.i = Index;
  p.hdcDst = Canvas->Handle();
  p.x = X;
  p.y = Y;
  p.rgbBk = ListColor(BkColor());
  p.rgbFg = ListColor(FBlendColor);
  p.fStyle = Style;
  p.fState = Enabled ? ILS_NORMAL : ILS_SATURATE;
  ImageList_DrawIndirect(&p);
}

void TCustomImageList::Change() {
  if (FUpdateCount > 0) {
    FChanged = true;
    return;
  }
  FChanged = false;
  // A link's handler may unregister links: each one still registered is told once.
  std::vector<TChangeLink*> links = FClients;
  for (TChangeLink* link : links)
    if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
  if (OnChange) OnChange(this);
}

void TCustomImageList::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && FChanged) Change();
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
  if (!Value) return;
  if (Value->Sender() && Value->Sender() != this) Value->Sender()->UnRegisterChanges(Value);
  Value->SetSender(this);
  if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end()) FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
  auto it = std::find(FClients.begin(), FClients.end(), Value);
  if (it == FClients.end()) return;
  FClients.erase(it);
  Value->SetSender(nullptr);
}

void TCustomImageList::Assign(TPersistent* Source) {
  if (!Source) {
    Clear();
    return;
  }
  auto* src = As<TCustomImageList>(Source);
  if (!src) return inherited::Assign(Source);
  ChangeWhileUpdating([&] {
    std::vector<TImageListBits> images = src->ReadImages();
    FreeHandle();
    FWidth = src->FWidth;
    FHeight = src->FHeight;
    FMasked = src->FMasked;
    FDrawingStyle = src->FDrawingStyle;
    FImageType = src->FImageType;
    FAllocBy = src->FAllocBy;
    FBkColor = src->BkColor();
    FBlendColor = src->FBlendColor;
    if (!images.empty()) {
      CreateImageList();
      WriteImages(images);
    }
  });
}

void TCustomImageList::ChangeWhileUpdating(const std::function<void()>& Edit) {
  WithinUpdate(*this, [&] {
    Edit();
    FChanged = true;
  });
}

void TCustomImageList::Loaded() {
  inherited::Loaded();
  Change();
}

void TCustomImageList::DefineProperties(TFiler& Filer) {
  inherited::DefineProperties(Filer);
  Filer.DefineBinaryProperty("Bitmap", [this](TStream& Stream) { ReadData(&Stream); }, Count() > 0);
}

// Stored images: "IL32", width, height, count, a mask flag; then per image its pixels (0xAARRGGBB, rows
// from the top) and, with the flag, one byte per pixel (1 = transparent).
void TCustomImageList::WriteData(TStream* Stream) {
  std::vector<TImageListBits> images = ReadImages();
  int32_t header[3] = {FWidth, FHeight, static_cast<int32_t>(images.size())};
  uint8_t masked = FMasked && FHandle;
  Stream->WriteBuffer(kSignature, 4);
  Stream->WriteBuffer(header, sizeof header);
  Stream->WriteBuffer(&masked, 1);
  for (TImageListBits& image : images) {
    Stream->WriteBuffer(image.Pixels.data(), static_cast<int32_t>(image.Pixels.size() * 4));
    if (masked) {
      image.Mask.resize(image.Pixels.size(), 0);
      Stream->WriteBuffer(image.Mask.data(), static_cast<int32_t>(image.Mask.size()));
    }
  }
}

void TCustomImageList::ReadData(TStream* Stream) {
  char signature[4];
  int32_t header[3];
  uint8_t masked = 0;
  Stream->ReadBuffer(signature, 4);
  Stream->ReadBuffer(header, sizeof header);
  Stream->ReadBuffer(&masked, 1);
  int w = header[0], h = header[1], count = header[2];
  if (memcmp(signature, kSignature, 4) != 0 || w < 1 || h < 1 || w > kMaxSide || h > kMaxSide || count < 0 ||
      masked > 1)
    throw EReadError("Invalid image list data");
  int64_t perImage = static_cast<int64_t>(w) * h * (masked ? 5 : 4);
  if (perImage * count > Stream->Size() - Stream->Position()) throw EReadError("Stream read error");
  std::vector<TImageListBits> images(count);
  for (TImageListBits& image : images) {
    image.Width = w;
    image.Height = h;
    image.Pixels.resize(static_cast<size_t>(w) * h);
    Stream->ReadBuffer(image.Pixels.data(), static_cast<int32_t>(image.Pixels.size() * 4));
    if (masked) {
      image.Mask.resize(image.Pixels.size());
      Stream->ReadBuffer(image.Mask.data(), static_cast<int32_t>(image.Mask.size()));
      if (!FMasked) image.Mask.clear();
    }
  }
  ChangeWhileUpdating([&] {
    SetSize(w, h);
    Clear();
    WriteImages(images);
  });
}

// ===================================================================================================
// Published properties

static const std::vector<std::string> kDrawingStyleNames = {"dsFocus", "dsSelected", "dsNormal", "dsTransparent"};
static const std::vector<std::string> kImageTypeNames = {"itImage", "itMask"};

IMPLEMENT_CLASS(TChangeLink)
IMPLEMENT_CLASS(TCustomImageList)

PUBLISHED(TImageList) {
  p.Int("AllocBy", &TCustomImageList::AllocBy, &TCustomImageList::SetAllocBy);
  p.Color("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor);
  p.Color("BlendColor", &TCustomImageList::BlendColor, &TCustomImageList::SetBlendColor);
  p.Enum("DrawingStyle", &TCustomImageList::DrawingStyle, &TCustomImageList::SetDrawingStyle, kDrawingStyleNames);
  p.Int("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight);
  p.Enum("ImageType", &TCustomImageList::ImageType, &TCustomImageList::SetImageType, kImageTypeNames);
  p.Bool("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked);
  p.Bool("ShareImages", &TCustomImageList::ShareImages, &TCustomImageList::SetShareImages);
  p.Int("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth);
  p.Event("OnChange", &TCustomImageList::OnChange);
}
