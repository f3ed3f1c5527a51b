// An image list whose images keep their full 8-bit alpha. Each image is kept as the complete bytes of its
// file (PNG, icon or 32-bit BMP) in an item of Items, which is what a stored description holds; the system
// list is built from the items (so ordinary image-list consumers still work), while the list draws its own
// images by composing a 32-bit bitmap of the item, resampled to the list's size. The list follows the
// default manager's scale: Width and Height stay the designed size, the system list is built at the scaled
// one (ScaledWidth/ScaledHeight, which drawing uses).
#pragma once
#include <windows.h>

#include <functional>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "framework/Streams.h"

class TsAlphaImageList;

enum TsImageFormat { ifPNG, ifICO, ifBMP32 };

class TsImgListItem : public TCollectionItem {
  DECLARE_CLASS(TsImgListItem, TCollectionItem)
public:
  TsImgListItem();
  ~TsImgListItem() override;
  void Assign(TPersistent* Source) override;
  // "ImgData": the complete image file.
  void DefineProperties(TFiler& Filer) override;

  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value) { FText = Value; }
  const std::string& ImageName() const { return FImageName; }
  void SetImageName(const std::string& Value) { FImageName = Value; }
  TsImageFormat ImageFormat() const { return FImageFormat; }
  void SetImageFormat(TsImageFormat Value) { FImageFormat = Value; }
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat Value) { FPixelFormat = Value; }
  TMemoryStream* ImgData() const { return FImgData; }

  int OrigWidth = 0;  // size of the decoded image, filled when the system list is built
  int OrigHeight = 0;
  TBitmap* CacheBmp = nullptr;  // decoded at the list's current size (only with UseCache)

protected:
  void AssignTo(TPersistent* Dest) override;

private:
  void CopyFrom(TsImgListItem* Source);
  std::string FText;
  std::string FImageName;
  TsImageFormat FImageFormat = ifPNG;
  TPixelFormat FPixelFormat = pf32bit;
  TMemoryStream* FImgData;
};

class TsImgListItems : public TOwnedCollection {
  DECLARE_CLASS(TsImgListItems, TOwnedCollection)
public:
  explicit TsImgListItems(TsAlphaImageList* AOwner);
  ~TsImgListItems() override;
  TsImgListItem* Items(int Index) const { return static_cast<TsImgListItem*>(TCollection::Items(Index)); }
  TsImgListItem* Add() { return static_cast<TsImgListItem*>(TCollection::Add()); }
  TsAlphaImageList* List() const { return FList; }

private:
  friend class TsAlphaImageList;
  TsAlphaImageList* FList;
};

class TsAlphaImageList : public TImageList {
  DECLARE_CLASS(TsAlphaImageList, TImageList)
public:
  explicit TsAlphaImageList(TComponent* AOwner);
  ~TsAlphaImageList() override;
  void AfterConstruction() override;
  void Assign(TPersistent* Source) override;

  // The designed size (Index 0 Height, 1 Width); reading re-applies the manager's scale first.
  int GetDimension(int Index);
  void SetDimension(int Index, int Value);
  int Height() { return GetDimension(0); }
  void SetHeight(int Value) { SetDimension(0, Value); }
  int Width() { return GetDimension(1); }
  void SetWidth(int Value) { SetDimension(1, Value); }
  // The size of the system list's icons: what drawing uses.
  int ScaledWidth();
  int ScaledHeight();

  // The own colour unless clNone, else the platform's.
  TColor BkColor();
  void SetBkColor(TColor Value);
  bool UseCache() const { return FUseCache; }
  // Frees every item's cached bitmap.
  void SetUseCache(bool Value);
  TsImgListItems* Items() const { return FItems; }
  void SetItems(TsImgListItems* Value) { FItems->Assign(Value); }

  // Rebuilds the system list from the items.
  void BuildHandleImages();
  // Image Index decoded into Bmp at Bmp's size.
  bool GetBitmap32(int Index, TBitmap* Bmp);
  // A new 32-bit bitmap of image Index at W x H; nil on failure.
  TBitmap* CreateItemBitmap(int Index, int W, int H);
  // Adds one PNG image; False (and nothing added) when the bytes do not decode.
  bool AddFromStream(TStream* Stream);
  void ClearImages();

  bool Ready = false;          // size changes are recorded as the designed size
  bool Building = false;       // the system list is being rebuilt: change handling suppressed
  bool ScaleImages = true;     // follows the default manager's scale
  bool Built = false;          // the system list was built from the items at least once
  int ScaleMode = 0;           // scale index the system list was built for
  int DesignHeight = 0;
  int DesignWidth = 0;
  bool CopyOpaque = false;     // DrawImageListImage32 copies instead of blending

protected:
  void AssignTo(TPersistent* Dest) override;
  void Loaded() override;
  void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) override;
  // The images live in Items only.
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;
  void Change() override;

private:
  void CopyImagesFrom(TsAlphaImageList* Source);
  bool ScalingActive() const;
  // W and H scaled by the default manager while scaling is active, recording the scale index they follow.
  void ScaleSize(int& W, int& H);
  // Re-applies the default manager's scale: the system list is rebuilt when the scale index changed.
  void ApplyScale();
  void CreateSystemList();
  void DropSystemList();
  // Appends Bmp (32-bit) to the system list as an icon.
  void AppendBitmapIcon(TBitmap* Bmp);
  void FreeItemCaches();
  bool FUseCache = true;
  TColor FBkColor = clNone;
  TsImgListItems* FItems;
};

void ForEachAlphaImageList(const std::function<void(TsAlphaImageList* List, void* Data)>& Proc, void* Data);
// The instances alive (tests).
int AlphaImageListCount();

// Draws image Index of any image list into the 32-bit Dst at (X, Y): frame Frame of FrameCount side by side,
// composed with Blend (transparency per cent), Tint (NoColor32: none) and a mirror image when Reflected.
void DrawImageListImage32(TCustomImageList* List, TBitmap* Dst, int X, int Y, int Index, int Blend, uint32_t Tint,
                          int Frame, int FrameCount, bool Reflected);
// The same onto a device context through a 32-bit copy of the area (with ExtraHeight half the height more,
// for a reflection).
void DrawImageListImageDC(TCustomImageList* List, HDC DC, int X, int Y, int Index, int Blend, uint32_t Tint,
                          int Frame, int FrameCount, bool Reflected, bool ExtraHeight);
// Bits per pixel of the screen.
int GetScreenColorDepth();
// The alpha of a 32-bit bitmap with no alpha at all from its key (the bottom-left pixel's colour): every other
// colour becomes opaque. A bitmap with any alpha is left alone.
void AlphaFromKey(TBitmap* Bmp);

void RegisterAlphaImageListClasses();
