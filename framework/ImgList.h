#pragma once
// Image lists: strips of equally sized images kept in a system image list (32-bit colour, an optional
// mask), drawn by index. Controls that show images from a list register a change link and hear of every
// change; a list can wrap a system list owned by someone else (ShareImages) without destroying it.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "framework/Classes.h"
#include "framework/Graphics.h"

class TCustomImageList;
struct TImageListBits;

// A client's link to an image list: the list calls Change() on every registered link.
class TChangeLink : public TObject {
  DECLARE_CLASS(TChangeLink, TObject)
public:
  // Leaves the list it is registered with.
  ~TChangeLink() override;
  TCustomImageList* Sender() const { return FSender; }
  void SetSender(TCustomImageList* Value) { FSender = Value; }
  // The list changed: OnChange(Sender).
  virtual void Change();

  TNotifyEvent OnChange;

private:
  TCustomImageList* FSender = nullptr;
};

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TCustomImageList : public TComponent {
  DECLARE_CLASS(TCustomImageList, TComponent)
public:
  explicit TCustomImageList(TComponent* AOwner);
  ~TCustomImageList() override;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // A new size empties the list.
  void SetWidth(int Value) { SetSize(Value, FHeight); }
  void SetHeight(int Value) { SetSize(FWidth, Value); }
  void SetSize(int AWidth, int AHeight);
  // Images in the system list (0 while it does not exist).
  int Count();

  // The system list, made on first use (ILC_COLOR32, with ILC_MASK when Masked).
  HIMAGELIST Handle();
  // Adopts a system list (null drops it): its icon size becomes Width x Height; with ShareImages it is
  // never destroyed here. The previous list is destroyed unless shared.
  void SetHandle(HIMAGELIST Value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  bool ShareImages() const { return FShareImages; }
  void SetShareImages(bool Value) { FShareImages = Value; }
  // A change re-creates the system list with the images kept.
  bool Masked() const { return FMasked; }
  void SetMasked(bool Value);
  TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle Value);
  TImageType ImageType() const { return FImageType; }
  void SetImageType(TImageType Value);
  // Images the system list grows by.
  int AllocBy() const { return FAllocBy; }
  void SetAllocBy(int Value) { FAllocBy = Value; }
  // clNone draws transparently; a colour fills the image's background.
  TColor BkColor();
  void SetBkColor(TColor Value);
  // Blended into focused and selected images.
  TColor BlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor Value);

  void Clear();
  // Adds Image (a wide bitmap adds one image per Width); Mask (null: none) marks transparent pixels in
  // white. Returns the index of the first image added.
  int Add(TBitmap* Image, TBitmap* Mask);
  // Pixels of MaskColor become transparent (clDefault: the bitmap's bottom-left pixel colour).
  int AddMasked(TBitmap* Image, TColor MaskColor);
  int AddIcon(TIcon* Image);
  void Delete(int Index);
  void Replace(int Index, TBitmap* Image, TBitmap* Mask);
  // Image Index as an icon handed to Image (which owns it).
  void GetIcon(int Index, TIcon* Image);
  // Image Index drawn into Image at Width x Height (a pf32bit bitmap receives the exact pixels, alpha
  // included; others get the image drawn over their background).
  void GetBitmap(int Index, TBitmap* Image);

  // Draws image Index at X, Y in DrawingStyle and ImageType; a disabled image is drawn greyed.
  void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);

  void BeginUpdate() { ++FUpdateCount; }
  // The last EndUpdate reports a change made meanwhile.
  void EndUpdate();
  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);

  void Assign(TPersistent* Source) override;
  // The images are stored as the binary property "Bitmap" (ReadData/WriteData).
  void DefineProperties(TFiler& Filer) override;
  virtual void ReadData(TStream* Stream);
  virtual void WriteData(TStream* Stream);

  TNotifyEvent OnChange;

protected:
  // Draws with the system list (Style: ILD_* flags).
  virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled);
  // The list changed: every link, then OnChange (held back while updating).
  virtual void Change();
  void Loaded() override;
  // Destroys the system list unless it is shared.
  void FreeHandle();

  bool FChanged = false;  // a change happened while updating

private:
  void CreateImageList();
  void CheckIndex(int Index);
  int AddChecked(int Added);
  std::vector<TImageListBits> ReadImages();
  std::vector<TImageListBits> ImagesOf(TBitmap* Image, TBitmap* Mask);
  void WriteImages(const std::vector<TImageListBits>& Images);
  // Runs Edit as one update that reports a change, ending the update even when Edit throws.
  void ChangeWhileUpdating(const std::function<void()>& Edit);

  HIMAGELIST FHandle = nullptr;
  int FWidth = 16;
  int FHeight = 16;
  bool FShareImages = false;
  bool FMasked = true;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  int FAllocBy = 4;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  int FUpdateCount = 0;
  std::vector<TChangeLink*> FClients;
};

class TImageList : public TCustomImageList {
  DECLARE_CLASS(TImageList, TCustomImageList)
public:
  explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
};

// System lists made and not yet destroyed by the image lists (leak tests).
int ImageListHandleCount();
