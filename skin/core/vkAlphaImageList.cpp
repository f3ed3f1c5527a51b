#include "skin/core/vkAlphaImageList.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "framework/GraphicsGdi.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"
#include "skin/core/sConst.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkntUtils.h"
#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/PngGraphic.h"
#include "skin/graphics/Resample.h"
#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"

namespace {

std::vector<TsAlphaImageList*>& Instances() {
  static std::vector<TsAlphaImageList*> List;
  return List;
}

// Marks the system list as being rebuilt for one scope, so change handling stays quiet, and gives the earlier
// mark back however the scope is left.
class TBuildingScope {
 public:
  explicit TBuildingScope(bool& Flag) : FFlag(Flag), FWas(Flag) { FFlag = true; }
  ~TBuildingScope() { FFlag = FWas; }
  TBuildingScope(const TBuildingScope&) = delete;
  TBuildingScope& operator=(const TBuildingScope&) = delete;

 private:
  bool& FFlag;
  bool FWas;
};

bool IsLoading(const TComponent* C) { return C->ComponentState().Contains(csLoading); }
bool IsDesigning(const TComponent* C) { return C->ComponentState().Contains(csDesigning); }

// The filter the list resamples its images with.
constexpr int kResampleFilter = 6;

// Decodes the bytes of an item into a new bitmap (PNG: 32-bit with alpha; BMP: as stored).
TBitmap* DecodeItem(TsImgListItem* Item) {
  TMemoryStream* Data = Item->ImgData();
  Data->SetPosition(0);
  TBitmap* Bmp = new TBitmap();
  try {
    if (Item->ImageFormat() == ifPNG)
      LoadPngStreamToBitmap(Bmp, Data);
    else
      Bmp->LoadFromStream(Data);
  } catch (...) {
    Bmp->Free();
    throw;
  }
  Data->SetPosition(0);
  return Bmp;
}

// A 32-bit copy of an icon's colour bitmap at its own size.
TBitmap* IconColorBitmap32(HICON Icon) {
  ICONINFO Info{};
  if (!GetIconInfo(Icon, &Info)) return nullptr;
  BITMAP B{};
  GetObjectA(Info.hbmColor, sizeof B, &B);
  TBitmap* Bmp = nullptr;
  if (Info.hbmColor != nullptr && B.bmWidth > 0 && B.bmHeight > 0) {
    Bmp = NewBitmap32(B.bmWidth, B.bmHeight);
    BITMAPINFO Bi{};
    Bi.bmiHeader.biSize = sizeof Bi.bmiHeader;
    Bi.bmiHeader.biWidth = B.bmWidth;
    Bi.bmiHeader.biHeight = -B.bmHeight;
    Bi.bmiHeader.biPlanes = 1;
    Bi.bmiHeader.biBitCount = 32;
    const TPixelPlane P = PlaneOf(Bmp);
    std::vector<uint32_t> Rows(static_cast<size_t>(B.bmWidth) * B.bmHeight);
    HDC Screen = GetDC(nullptr);
    GetDIBits(Screen, Info.hbmColor, 0, B.bmHeight, Rows.data(), &Bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, Screen);
    for (int y = 0; y < B.bmHeight; ++y)
      std::copy_n(Rows.data() + static_cast<size_t>(y) * B.bmWidth, B.bmWidth, P.Row32(y));
  }
  // GetIconInfo hands out copies of both bitmaps
  if (Info.hbmColor != nullptr) DeleteObject(Info.hbmColor);
  if (Info.hbmMask != nullptr) DeleteObject(Info.hbmMask);
  return Bmp;
}

// Src made Dst's size (resampled when it differs) and put into Dst as 32 bits.
void FitInto(TBitmap* Src, TBitmap* Dst) {
  if (Src->Width() == Dst->Width() && Src->Height() == Dst->Height()) {
    Dst->Assign(Src);
  } else {
    const int W = Dst->Width(), H = Dst->Height();
    ForceBitmap32(Src);
    ResampleBitmap32(Src, Dst, W, kResampleFilter, H);
  }
}

bool HasAnyAlpha(const TPixelPlane& P) {
  for (int y = 0; y < P.Height; ++y)
    for (int x = 0; x < P.Width; ++x)
      if ((P.At(x, y) >> 24) != 0) return true;
  return false;
}

// Every pixel but those of the key colour made opaque.
void OpaqueExceptKey(const TPixelPlane& P, uint32_t Key) {
  for (int y = 0; y < P.Height; ++y)
    for (int x = 0; x < P.Width; ++x)
      if ((P.At(x, y) & 0xFFFFFF) != Key) P.At(x, y) |= 0xFF000000u;
}

}  // namespace

// ===================================================================================================
// items

TsImgListItem::TsImgListItem() : FImgData(new TMemoryStream()) {}

TsImgListItem::~TsImgListItem() {
  FImgData->Free();
  FreeAndNil(CacheBmp);
}

void TsImgListItem::CopyFrom(TsImgListItem* Source) {
  FText = Source->FText;
  FImageName = Source->FImageName;
  FImageFormat = Source->FImageFormat;
  FPixelFormat = Source->FPixelFormat;
  OrigWidth = Source->OrigWidth;
  OrigHeight = Source->OrigHeight;
  FImgData->Clear();
  FImgData->LoadFromStream(*Source->FImgData);
  FImgData->SetPosition(0);
  Source->FImgData->SetPosition(0);
}

void TsImgListItem::Assign(TPersistent* Source) {
  if (auto* Src = As<TsImgListItem>(Source))
    CopyFrom(Src);
  else
    inherited::Assign(Source);
}

void TsImgListItem::AssignTo(TPersistent* Dest) {
  if (auto* Dst = As<TsImgListItem>(Dest))
    Dst->CopyFrom(this);
  else
    inherited::AssignTo(Dest);
}

void TsImgListItem::DefineProperties(TFiler& Filer) {
  inherited::DefineProperties(Filer);
  Filer.DefineBinaryProperty("ImgData", [this](TStream& S) { FImgData->LoadFromStream(S); }, FImgData->Size() > 0);
}

namespace {
const std::vector<std::string> kImageFormatNames{"ifPNG", "ifICO", "ifBMP32"};
const std::vector<std::string> kPixelFormatNames{"pfDevice", "pf1bit", "pf4bit", "pf8bit", "pf24bit", "pf32bit"};
}  // namespace

PUBLISHED(TsImgListItem) {
  p.Str("Text", &TsImgListItem::Text, &TsImgListItem::SetText);
  p.Str("ImageName", &TsImgListItem::ImageName, &TsImgListItem::SetImageName);
  p.Enum("ImageFormat", &TsImgListItem::ImageFormat, &TsImgListItem::SetImageFormat, kImageFormatNames);
  p.Enum("PixelFormat", &TsImgListItem::PixelFormat, &TsImgListItem::SetPixelFormat, kPixelFormatNames);
}

TsImgListItems::TsImgListItems(TsAlphaImageList* AOwner)
    : TOwnedCollection(AOwner, TsImgListItem::StaticClassInfo()), FList(AOwner) {}

TsImgListItems::~TsImgListItems() { FList = nullptr; }

IMPLEMENT_CLASS(TsImgListItems)

// ===================================================================================================
// the list

TsAlphaImageList::TsAlphaImageList(TComponent* AOwner) : TImageList(AOwner), FItems(new TsImgListItems(this)) {
  Instances().push_back(this);
}

TsAlphaImageList::~TsAlphaImageList() {
  auto& L = Instances();
  L.erase(std::remove(L.begin(), L.end(), this), L.end());
  FItems->Free();
}

void TsAlphaImageList::AfterConstruction() {
  inherited::AfterConstruction();
  if (!IsLoading(this)) Ready = true;
}

bool TsAlphaImageList::ScalingActive() const {
  return ScaleImages && Ready && TsSkinManager::DefaultManager() != nullptr && !IsDesigning(this) &&
         FItems->Count() > 0;
}

void TsAlphaImageList::ScaleSize(int& W, int& H) {
  if (!ScalingActive()) return;
  TsSkinManager* M = TsSkinManager::DefaultManager();
  W = M->ApplyScale(W);
  H = M->ApplyScale(H);
  ScaleMode = M->EffectiveScaleMode();
}

int TsAlphaImageList::ScaledWidth() { return inherited::Width(); }
int TsAlphaImageList::ScaledHeight() { return inherited::Height(); }

void TsAlphaImageList::CreateSystemList() {
  if (DesignWidth == 0 && Ready && !IsLoading(this)) {
    DesignWidth = inherited::Width();
    DesignHeight = inherited::Height();
  }
  int W = DesignWidth > 0 ? DesignWidth : inherited::Width();
  int H = DesignHeight > 0 ? DesignHeight : inherited::Height();
  ScaleSize(W, H);
  TBuildingScope Scope(Building);
  FreeHandle();
  SetSize(W, H);
  Handle();
}

void TsAlphaImageList::DropSystemList() {
  if (HandleAllocated()) ImageList_Remove(Handle(), -1);
  FreeHandle();
}

void TsAlphaImageList::AppendBitmapIcon(TBitmap* Bmp) {
  // Masked where the image is transparent: older systems draw the mask and not the alpha, the picture over black;
  // from XP on the picture lies over the list's background colour.
  COLORREF Back = 0;
  if (WindowsIsXPOrNewer()) {
    const COLORREF Bk = ImageList_GetBkColor(Handle());
    Back = Bk == CLR_NONE ? 0 : Bk;
  }
  HICON Icon = MakeIconFromBitmap(Bmp, Back);
  if (Icon == nullptr) throw EInvalidGraphic("The image gives no icon");
  const int At = ImageList_ReplaceIcon(Handle(), -1, Icon);
  GdiFreeIcon(Icon);
  if (At < 0) throw EInvalidOperation("The image list cannot take the image");
}

void TsAlphaImageList::BuildHandleImages() {
  if (DesignHeight == 0 && inherited::Width() == 16 && inherited::Height() == 16 && !Building) {
    FreeHandle();
    SetDimension(0, 16);
    SetDimension(1, 16);
  }
  if (DesignHeight == 0) return;
  if (!HandleAllocated()) CreateSystemList();
  TBuildingScope Scope(Building);
  ImageList_Remove(Handle(), -1);
  for (int i = 0; i < FItems->Count(); ++i) {
    TsImgListItem* Item = FItems->Items(i);
    Item->ImgData()->SetPosition(0);
    try {
      if (Item->ImageFormat() == ifICO) {
        TIcon* Icon = new TIcon();
        TFreeHolder<TIcon> FreeIcon(Icon);
        Icon->LoadFromStream(Item->ImgData());
        Item->OrigWidth = Icon->Width();
        Item->OrigHeight = Icon->Height();
        if (ImageList_ReplaceIcon(Handle(), -1, Icon->Handle()) < 0)
          throw EInvalidOperation("The image list cannot take the image");
      } else {
        TBitmap* Bmp = DecodeItem(Item);
        TFreeHolder<TBitmap> FreeBmp(Bmp);
        Item->OrigWidth = Bmp->Width();
        Item->OrigHeight = Bmp->Height();
        if (Item->ImageFormat() == ifBMP32) {
          ForceBitmap32(Bmp);
          AlphaFromKey(Bmp);
        }
        AppendBitmapIcon(Bmp);
      }
    } catch (const Exception&) {
      // an item that does not decode still takes its place, so later indexes keep naming their images
      TBitmap* Blank = NewBitmap32(inherited::Width(), inherited::Height());
      TFreeHolder<TBitmap> FreeBlank(Blank);
      AppendBitmapIcon(Blank);
    }
    Item->ImgData()->SetPosition(0);
  }
  if (FItems->Count() > 0) Built = true;
}

void TsAlphaImageList::ApplyScale() {
  TsSkinManager* M = TsSkinManager::DefaultManager();
  const int Index = M != nullptr ? M->EffectiveScaleMode() : 0;
  if (Index == ScaleMode || !ScalingActive()) return;
  const bool WasBuilding = Building;
  {
    TBuildingScope Scope(Building);
    ScaleMode = Index;
    DropSystemList();
    CreateSystemList();
    BuildHandleImages();
  }
  FreeItemCaches();
  if (!WasBuilding) inherited::Change();
}

int TsAlphaImageList::GetDimension(int Index) {
  if (ScalingActive() && !IsLoading(this) && DesignWidth != 0) ApplyScale();
  if (Index == 0) return DesignHeight != 0 ? DesignHeight : inherited::Height();
  return DesignWidth != 0 ? DesignWidth : inherited::Width();
}

void TsAlphaImageList::SetDimension(int Index, int Value) {
  int W = Index == 1 ? Value : inherited::Width();
  int H = Index == 0 ? Value : inherited::Height();
  if (Ready) {
    (Index == 0 ? DesignHeight : DesignWidth) = Value;
    W = DesignWidth != 0 ? DesignWidth : W;
    H = DesignHeight != 0 ? DesignHeight : H;
    ScaleSize(W, H);
  }
  {
    TBuildingScope Scope(Building);
    SetSize(W, H);
  }
  FreeItemCaches();
  if (!IsLoading(this) && Ready && Count() <= FItems->Count() && !Building) {
    BuildHandleImages();
    Change();
  }
}

TColor TsAlphaImageList::BkColor() { return FBkColor != clNone ? FBkColor : inherited::BkColor(); }

void TsAlphaImageList::SetBkColor(TColor Value) {
  FBkColor = Value;
  inherited::SetBkColor(Value);
}

void TsAlphaImageList::FreeItemCaches() {
  for (int i = 0; i < FItems->Count(); ++i) FreeAndNil(FItems->Items(i)->CacheBmp);
}

void TsAlphaImageList::SetUseCache(bool Value) {
  FUseCache = Value;
  FreeItemCaches();
}

void TsAlphaImageList::Loaded() {
  inherited::Loaded();
  Ready = true;
  if (DesignWidth == 0 && inherited::Width() == 16 && inherited::Height() == 16) {
    FreeHandle();
    DesignWidth = 16;
    DesignHeight = 16;
  }
  if (DesignWidth == 0) DesignWidth = inherited::Width();
  if (DesignHeight == 0) DesignHeight = inherited::Height();
  if (!Built) {
    BuildHandleImages();
    Built = true;
    Change();
  }
}

void TsAlphaImageList::ReadData(TStream*) {}
void TsAlphaImageList::WriteData(TStream*) {}

void TsAlphaImageList::Change() {
  if (Building || !HandleAllocated() || IsLoading(this) || !Built) return;
  if (IsDesigning(this)) {
    inherited::Change();
    return;
  }
  const int Images = Count();
  if (Images < FItems->Count()) {
    BuildHandleImages();
  } else if (Images > FItems->Count()) {
    // images put into the system list by other means: those without alpha become opaque except the key
    TBuildingScope Scope(Building);
    for (int i = 0; i < Images; ++i) {
      HICON Icon = ImageList_GetIcon(Handle(), i, ILD_NORMAL);
      if (Icon == nullptr) continue;
      TBitmap* Bmp = IconColorBitmap32(Icon);
      DestroyIcon(Icon);
      if (Bmp == nullptr) continue;
      TFreeHolder<TBitmap> FreeBmp(Bmp);
      const TPixelPlane P = PlaneOf(Bmp);
      if (HasAnyAlpha(P)) continue;
      OpaqueExceptKey(P, 0xFF00FF);
      HICON Made = MakeIconFromBitmap(Bmp, 0);
      if (Made == nullptr) continue;
      ImageList_ReplaceIcon(Handle(), i, Made);
      GdiFreeIcon(Made);
    }
  }
  inherited::Change();
}

void TsAlphaImageList::CopyImagesFrom(TsAlphaImageList* Source) {
  if (Source->HandleAllocated()) ImageList_SetBkColor(Source->Handle(), CLR_NONE);
  FItems->Clear();
  for (int i = 0; i < Source->FItems->Count(); ++i) FItems->Add()->Assign(Source->FItems->Items(i));
  BuildHandleImages();
}

void TsAlphaImageList::Assign(TPersistent* Source) {
  if (Source == nullptr) {
    FreeHandle();
    if (!Building) Change();
    return;
  }
  auto* Src = As<TsAlphaImageList>(Source);
  if (Src == nullptr) {
    inherited::Assign(Source);
    return;
  }
  BeginUpdate();
  try {
    TBuildingScope Scope(Building);
    if (HandleAllocated()) ImageList_Remove(Handle(), -1);
    SetDrawingStyle(Src->DrawingStyle());
    SetMasked(Src->Masked());
    SetShareImages(Src->ShareImages());
    SetImageType(Src->ImageType());
    DesignWidth = Src->DesignWidth;
    DesignHeight = Src->DesignHeight;
    FreeHandle();
    SetSize(Src->ScaledWidth(), Src->ScaledHeight());
    Handle();
    TColor Bk = Src->HandleAllocated() ? static_cast<TColor>(ImageList_GetBkColor(Src->Handle())) : clNone;
    if (static_cast<COLORREF>(Bk) == CLR_NONE)
      Bk = clNone;
    else if (static_cast<COLORREF>(Bk) == CLR_DEFAULT)
      Bk = clDefault;
    SetBkColor(Bk);
    SetBlendColor(Src->BlendColor());
    CopyImagesFrom(Src);
  } catch (...) {
    FChanged = false;
    EndUpdate();
    throw;
  }
  FChanged = false;
  EndUpdate();
}

void TsAlphaImageList::AssignTo(TPersistent* Dest) {
  if (auto* Dst = As<TsAlphaImageList>(Dest))
    Dst->Assign(this);
  else
    inherited::AssignTo(Dest);
}

bool TsAlphaImageList::GetBitmap32(int Index, TBitmap* Bmp) {
  if (!HandleAllocated() || Bmp == nullptr || Index < 0 || Index >= Count()) return false;
  try {
    TsImgListItem* Item = Index < FItems->Count() ? FItems->Items(Index) : nullptr;
    if (Item != nullptr && Item->ImgData()->Size() > 0 && Item->ImageFormat() != ifICO) {
      if (FUseCache && Item->CacheBmp != nullptr) {
        if (Item->CacheBmp->Width() == Bmp->Width() && Item->CacheBmp->Height() == Bmp->Height()) {
          Bmp->Assign(Item->CacheBmp);
          return true;
        }
        FreeAndNil(Item->CacheBmp);
      }
      TBitmap* Decoded = DecodeItem(Item);
      TFreeHolder<TBitmap> FreeDecoded(Decoded);
      Item->OrigWidth = Decoded->Width();
      Item->OrigHeight = Decoded->Height();
      FitInto(Decoded, Bmp);
      // a BMP without alpha (24 bits, or 32 bits left all zero) is opaque except its key
      if (Bmp->PixelFormat() != pf32bit || Item->ImageFormat() == ifBMP32) {
        ForceBitmap32(Bmp);
        AlphaFromKey(Bmp);
      }
      if (FUseCache && Bmp->Width() == ScaledWidth() && Bmp->Height() == ScaledHeight()) {
        Item->CacheBmp = new TBitmap();
        Item->CacheBmp->Assign(Bmp);
      }
      return true;
    }
    HICON Icon = ImageList_GetIcon(Handle(), Index, ILD_NORMAL);
    if (Icon == nullptr) return false;
    TBitmap* Colour = IconColorBitmap32(Icon);
    DestroyIcon(Icon);
    if (Colour == nullptr) return false;
    TFreeHolder<TBitmap> FreeColour(Colour);
    if (WindowsVersionLevel < 6 && GetScreenColorDepth() < 32) AlphaFromKey(Colour);
    ForceBitmap32(Bmp);
    FitInto(Colour, Bmp);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

TBitmap* TsAlphaImageList::CreateItemBitmap(int Index, int W, int H) {
  TBitmap* Bmp = NewBitmap32(W, H);
  if (GetBitmap32(Index, Bmp)) return Bmp;
  Bmp->Free();
  return nullptr;
}

bool TsAlphaImageList::AddFromStream(TStream* Stream) {
  if (Stream == nullptr) return false;
  try {
    if (!HandleAllocated()) CreateSystemList();
    // decoded before anything is added: bytes that are no PNG leave the list as it was
    TMemoryStream* Bytes = new TMemoryStream();
    TFreeHolder<TMemoryStream> FreeBytes(Bytes);
    Stream->SetPosition(0);
    Bytes->LoadFromStream(*Stream);
    Bytes->SetPosition(0);
    TBitmap* Bmp = new TBitmap();
    TFreeHolder<TBitmap> FreeBmp(Bmp);
    LoadPngStreamToBitmap(Bmp, Bytes);
    {
      TBuildingScope Scope(Building);
      AppendBitmapIcon(Bmp);
      TsImgListItem* Item = FItems->Add();
      Item->SetImageFormat(ifPNG);
      Item->SetPixelFormat(pf32bit);
      Item->OrigWidth = Bmp->Width();
      Item->OrigHeight = Bmp->Height();
      Item->ImgData()->LoadFromStream(*Bytes);
      Item->ImgData()->SetPosition(0);
    }
    Built = true;
    Change();
    return true;
  } catch (const Exception&) {
    return false;
  }
}

void TsAlphaImageList::ClearImages() {
  for (int i = 0; i < FItems->Count(); ++i) FItems->Items(i)->ImgData()->Clear();
  FItems->Clear();
  if (HandleAllocated()) ImageList_Remove(Handle(), -1);
  Change();
}

void TsAlphaImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT, bool) {
  if (!HandleAllocated() || Index < 0) return;
  const int W = ScaledWidth(), H = ScaledHeight();
  if (Index >= FItems->Count() || FItems->Items(Index)->ImageFormat() == ifICO) {
    ImageList_SetBkColor(Handle(), CLR_NONE);
    HICON Icon = ImageList_GetIcon(Handle(), Index, ILD_NORMAL);
    if (Icon == nullptr) return;
    DrawIconEx(Canvas->Handle(), X, Y, Icon, W, H, 0, nullptr, DI_NORMAL);
    DestroyIcon(Icon);
    return;
  }
  TBitmap* Item = CreateItemBitmap(Index, W, H);
  if (Item == nullptr) return;
  TFreeHolder<TBitmap> FreeItem(Item);
  TBitmap* Area = NewBitmap32(W, H);
  TFreeHolder<TBitmap> FreeArea(Area);
  BitBlt(Area->Canvas()->Handle(), 0, 0, W, H, Canvas->Handle(), X, Y, SRCCOPY);
  CompositeOverCache(TRect(0, 0, W, H), TRect(0, 0, W, H), Area, Item, TvkBgCacheRef{}, false, NoColor32, 0, false);
  BitBlt(Canvas->Handle(), X, Y, W, H, Area->Canvas()->Handle(), 0, 0, SRCCOPY);
}

PUBLISHED(TsAlphaImageList) {
  p.Int("Height", &TsAlphaImageList::Height, &TsAlphaImageList::SetHeight).Default(16);
  p.Int("Width", &TsAlphaImageList::Width, &TsAlphaImageList::SetWidth).Default(16);
  p.Color("BkColor", &TsAlphaImageList::BkColor, &TsAlphaImageList::SetBkColor);
  p.Object("Items", &TsAlphaImageList::Items, &TsAlphaImageList::SetItems);
  p.Bool("UseCache", &TsAlphaImageList::UseCache, &TsAlphaImageList::SetUseCache);
}

// ===================================================================================================
// free routines

void ForEachAlphaImageList(const std::function<void(TsAlphaImageList* List, void* Data)>& Proc, void* Data) {
  // a copy: Proc may create or free lists
  std::vector<TsAlphaImageList*> Lists = Instances();
  for (TsAlphaImageList* L : Lists) Proc(L, Data);
}

int AlphaImageListCount() { return static_cast<int>(Instances().size()); }

int GetScreenColorDepth() {
  HDC DC = GetDC(nullptr);
  const int Bits = GetDeviceCaps(DC, BITSPIXEL);
  ReleaseDC(nullptr, DC);
  return Bits;
}

void AlphaFromKey(TBitmap* Bmp) {
  if (Bmp == nullptr || Bmp->Empty() || Bmp->PixelFormat() != pf32bit) return;
  const TPixelPlane P = PlaneOf(Bmp);
  if (HasAnyAlpha(P)) return;
  OpaqueExceptKey(P, P.At(0, P.Height - 1) & 0xFFFFFF);
}

namespace {
int ListWidth(TCustomImageList* L) {
  auto* A = As<TsAlphaImageList>(L);
  return A != nullptr ? A->ScaledWidth() : L->Width();
}
int ListHeight(TCustomImageList* L) {
  auto* A = As<TsAlphaImageList>(L);
  return A != nullptr ? A->ScaledHeight() : L->Height();
}
TColor ListBkColor(TCustomImageList* L) {
  auto* A = As<TsAlphaImageList>(L);
  return A != nullptr ? A->BkColor() : L->BkColor();
}
}  // namespace

void DrawImageListImage32(TCustomImageList* List, TBitmap* Dst, int X, int Y, int Index, int Blend, uint32_t Tint,
                          int Frame, int FrameCount, bool Reflected) {
  if (List == nullptr || Dst == nullptr || Dst->Width() == 0 || !List->HandleAllocated() || Index < 0) return;
  const int LW = ListWidth(List), LH = ListHeight(List);
  const int FW = LW / std::max(1, FrameCount);
  Frame = std::max(0, std::min(Frame, FrameCount - 1));
  const TRect R(X, Y, X + FW, Y + LH);
  const TColor Bk = ListBkColor(List);
  if (Bk != clNone) PaintSolidRect(Dst->Canvas()->Handle(), R, static_cast<uint32_t>(ColorToRGB(Bk)));
  if (auto* A = As<TsAlphaImageList>(List)) {
    TBitmap* Item = A->CreateItemBitmap(Index, LW, LH);
    if (Item == nullptr) return;
    TFreeHolder<TBitmap> FreeItem(Item);
    if (A->CopyOpaque)
      BitBlt(Dst->Canvas()->Handle(), R.Left, R.Top, FW, LH, Item->Canvas()->Handle(), Frame * FW, 0, SRCCOPY);
    else
      CompositeOverCache(R, TRect(Frame * FW, 0, Frame * FW + FW, LH), Dst, Item, TvkBgCacheRef{}, false, Tint, Blend,
                         Reflected);
    return;
  }
  TBitmap* Work = NewBitmap32(FW, LH);
  TFreeHolder<TBitmap> FreeWork(Work);
  BitBlt(Work->Canvas()->Handle(), 0, 0, FW, LH, Dst->Canvas()->Handle(), R.Left, R.Top, SRCCOPY);
  List->Draw(Work->Canvas(), -Frame * FW, 0, Index, true);
  BitBlt(Dst->Canvas()->Handle(), R.Left, R.Top, FW, LH, Work->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void DrawImageListImageDC(TCustomImageList* List, HDC DC, int X, int Y, int Index, int Blend, uint32_t Tint,
                          int Frame, int FrameCount, bool Reflected, bool ExtraHeight) {
  if (List == nullptr || DC == nullptr) return;
  const int W = ListWidth(List);
  const int H = ListHeight(List) + (ExtraHeight ? ListHeight(List) / 2 : 0);
  if (W <= 0 || H <= 0) return;
  TBitmap* Area = NewBitmap32(W, H);
  TFreeHolder<TBitmap> FreeArea(Area);
  BitBlt(Area->Canvas()->Handle(), 0, 0, W, H, DC, X, Y, SRCCOPY);
  DrawImageListImage32(List, Area, 0, 0, Index, Blend, Tint, Frame, FrameCount, Reflected);
  BitBlt(DC, X, Y, W, H, Area->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void RegisterAlphaImageListClasses() {
  RegisterClasses({TsAlphaImageList::StaticClassInfo(), TsImgListItem::StaticClassInfo(),
                   TsImgListItems::StaticClassInfo()});
}
