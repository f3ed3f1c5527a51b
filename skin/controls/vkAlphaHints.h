// Hint templates: a frame of up to four PNG images (one per placement of a hint relative to the point it
// refers to) with the sizes of their borders, shadow and client margins, a font and an alignment. No hint
// manager exists in this program, so hints stay in the framework's own hint window; the unit's start-up still
// builds the default template from the resource "VKHINT".
#pragma once
#include <string>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/Streams.h"
#include "skin/graphics/PngGraphic.h"

enum TvkBorderDrawMode { dmRepeat, dmStretch };
enum TvkHintAlign { haHorzCenter, haVertCenter };

class TvkHintImage;
class TvkHintTemplate;

// Four side sizes; a negative stored value reads as 0.
class TvkBordersSizes : public TPersistent {
  DECLARE_CLASS(TvkBordersSizes, TPersistent)
public:
  explicit TvkBordersSizes(TvkHintImage* AOwner = nullptr) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  // Index: Top 0, Left 1, Bottom 2, Right 3.
  int Side(int Index) const { return FSides[Index] < 0 ? 0 : FSides[Index]; }
  void SetSide(int Index, int Value);
  int Top() const { return Side(0); }
  void SetTop(int Value) { SetSide(0, Value); }
  int Left() const { return Side(1); }
  void SetLeft(int Value) { SetSide(1, Value); }
  int Bottom() const { return Side(2); }
  void SetBottom(int Value) { SetSide(2, Value); }
  int Right() const { return Side(3); }
  void SetRight(int Value) { SetSide(3, Value); }
  // In the order Left, Top, Right, Bottom.
  void SetAll(int ALeft, int ATop, int ARight, int ABottom);
  // Limits each side to the owner's image: a side to the image's extent less 1, the opposite one to what is left
  // less 1.
  bool ClampToImage = false;

private:
  TvkHintImage* FOwner;
  int FSides[4] = {0, 0, 0, 0};
};

class TvkBorderDrawModes : public TPersistent {
  DECLARE_CLASS(TvkBorderDrawModes, TPersistent)
public:
  explicit TvkBorderDrawModes(TvkHintImage* AOwner = nullptr) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  // Index: Top 0, Left 1, Bottom 2, Right 3, Center 4.
  TvkBorderDrawMode Mode(int Index) const { return FModes[Index]; }
  void SetMode(int Index, TvkBorderDrawMode Value) { FModes[Index] = Value; }
  TvkBorderDrawMode Top() const { return FModes[0]; }
  void SetTop(TvkBorderDrawMode Value) { SetMode(0, Value); }
  TvkBorderDrawMode Left() const { return FModes[1]; }
  void SetLeft(TvkBorderDrawMode Value) { SetMode(1, Value); }
  TvkBorderDrawMode Bottom() const { return FModes[2]; }
  void SetBottom(TvkBorderDrawMode Value) { SetMode(2, Value); }
  TvkBorderDrawMode Right() const { return FModes[3]; }
  void SetRight(TvkBorderDrawMode Value) { SetMode(3, Value); }
  TvkBorderDrawMode Center() const { return FModes[4]; }
  void SetCenter(TvkBorderDrawMode Value) { SetMode(4, Value); }

private:
  TvkHintImage* FOwner;
  TvkBorderDrawMode FModes[5] = {dmStretch, dmStretch, dmStretch, dmStretch, dmStretch};
};

// One frame image of a template with its sizes. A form stores the PNG file bytes as "ImgData" when it has them,
// else the decoded Image.
class TvkHintImage : public TPersistent {
  DECLARE_CLASS(TvkHintImage, TPersistent)
public:
  explicit TvkHintImage(TvkHintTemplate* ATemplate = nullptr);
  ~TvkHintImage() override;
  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler& Filer) override;

  int OffsetHorz() const { return FOffsetHorz; }
  void SetOffsetHorz(int Value) { FOffsetHorz = Value; }
  int OffsetVert() const { return FOffsetVert; }
  void SetOffsetVert(int Value) { FOffsetVert = Value; }
  TvkBordersSizes* ShadowSizes() const { return FShadowSizes; }
  void SetShadowSizes(TvkBordersSizes* Value) { FShadowSizes->Assign(Value); }
  TvkBordersSizes* ClientMargins() const { return FClientMargins; }
  void SetClientMargins(TvkBordersSizes* Value) { FClientMargins->Assign(Value); }
  TvkBordersSizes* BordersWidths() const { return FBordersWidths; }
  void SetBordersWidths(TvkBordersSizes* Value) { FBordersWidths->Assign(Value); }
  TvkBorderDrawModes* BorderDrawModes() const { return FBorderDrawModes; }
  void SetBorderDrawModes(TvkBorderDrawModes* Value) { FBorderDrawModes->Assign(Value); }
  TPNGGraphic* Image() const { return FImage; }
  // Takes the picture; the borders become half the image less one pixel each way, the client margins the same.
  void SetImage(TPNGGraphic* Value);
  // The PNG file bytes ("ImgData"); empty when the image was given decoded.
  TMemoryStream* ImgData() const { return FImgData; }
  // Image decoded from ImgData when it is still empty and there is data.
  void DecodeImageData();
  int ImageWidth() const { return FImage->Empty() ? 0 : FImage->Width(); }
  int ImageHeight() const { return FImage->Empty() ? 0 : FImage->Height(); }
  bool Empty() const { return FImage->Empty() && FImgData->Size() == 0; }
  TvkHintTemplate* Template() const { return FTemplate; }

private:
  void ReadImgData(TStream& S);
  int FOffsetHorz = 0;
  int FOffsetVert = 0;
  TvkBordersSizes* FShadowSizes;
  TvkBordersSizes* FClientMargins;
  TvkBordersSizes* FBordersWidths;
  TvkBorderDrawModes* FBorderDrawModes;
  TvkHintTemplate* FTemplate;
  TPNGGraphic* FImage;
  TMemoryStream* FImgData;
};

class TvkHintTemplate : public TCollectionItem {
  DECLARE_CLASS(TvkHintTemplate, TCollectionItem)
public:
  explicit TvkHintTemplate(TCollection* ACollection = nullptr);
  ~TvkHintTemplate() override;
  void Assign(TPersistent* Source) override;

  // Index: ImageDefault 0, Img_LeftBottom 1, Img_RightBottom 2, Img_RightTop 3.
  TvkHintImage* Img(int Index) const { return FImages[Index]; }
  TvkHintImage* ImageDefault() const { return FImages[0]; }
  void SetImageDefault(TvkHintImage* Value) { FImages[0]->Assign(Value); }
  TvkHintImage* Img_LeftBottom() const { return FImages[1]; }
  void SetImg_LeftBottom(TvkHintImage* Value) { FImages[1]->Assign(Value); }
  TvkHintImage* Img_RightBottom() const { return FImages[2]; }
  void SetImg_RightBottom(TvkHintImage* Value) { FImages[2]->Assign(Value); }
  TvkHintImage* Img_RightTop() const { return FImages[3]; }
  void SetImg_RightTop(TvkHintImage* Value) { FImages[3]->Assign(Value); }
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }
  TvkHintAlign HintAlign() const { return FHintAlign; }
  void SetHintAlign(TvkHintAlign Value) { FHintAlign = Value; }
  // The image a hint placed at Placement (0..3, by where it fits on the screen) is framed with: the placement's
  // own image when it has one, else ImageDefault.
  TvkHintImage* ImageForPlacement(int Placement) const;

private:
  TvkHintImage* FImages[4];
  TFont* FFont;
  std::string FName;
  TvkHintAlign FHintAlign = haHorzCenter;
};

// Built by the unit's start-up from the resource "VKHINT"; nil before it and after its shut-down.
extern TvkHintTemplate* DefaultHintTemplate;
// Raises EResNotFound when the program carries no "VKHINT", EInvalidGraphic when it is no PNG.
void AlphaHintsInitialize();
void AlphaHintsFinalize();

void RegisterAlphaHintClasses();
