#include "skin/controls/vkAlphaHints.h"

#include <algorithm>

#include "framework/TypInfo.h"

TvkHintTemplate* DefaultHintTemplate = nullptr;

namespace {
const std::vector<std::string> kDrawModeNames = {"dmRepeat", "dmStretch"};
}

PUBLISHED(TvkBordersSizes) {
  p.Int("Top", &TvkBordersSizes::Top, &TvkBordersSizes::SetTop).Default(0);
  p.Int("Left", &TvkBordersSizes::Left, &TvkBordersSizes::SetLeft).Default(0);
  p.Int("Right", &TvkBordersSizes::Right, &TvkBordersSizes::SetRight).Default(0);
  p.Int("Bottom", &TvkBordersSizes::Bottom, &TvkBordersSizes::SetBottom).Default(0);
}

PUBLISHED(TvkBorderDrawModes) {
  p.Enum("Top", &TvkBorderDrawModes::Top, &TvkBorderDrawModes::SetTop, kDrawModeNames).Default(dmStretch);
  p.Enum("Left", &TvkBorderDrawModes::Left, &TvkBorderDrawModes::SetLeft, kDrawModeNames).Default(dmStretch);
  p.Enum("Right", &TvkBorderDrawModes::Right, &TvkBorderDrawModes::SetRight, kDrawModeNames).Default(dmStretch);
  p.Enum("Center", &TvkBorderDrawModes::Center, &TvkBorderDrawModes::SetCenter, kDrawModeNames).Default(dmStretch);
  p.Enum("Bottom", &TvkBorderDrawModes::Bottom, &TvkBorderDrawModes::SetBottom, kDrawModeNames).Default(dmStretch);
}

PUBLISHED(TvkHintImage) {
  p.Int("OffsetHorz", &TvkHintImage::OffsetHorz, &TvkHintImage::SetOffsetHorz).Default(0);
  p.Int("OffsetVert", &TvkHintImage::OffsetVert, &TvkHintImage::SetOffsetVert).Default(0);
  p.Object("ShadowSizes", &TvkHintImage::ShadowSizes, &TvkHintImage::SetShadowSizes);
  p.Object("ClientMargins", &TvkHintImage::ClientMargins, &TvkHintImage::SetClientMargins);
  p.Object("BordersWidths", &TvkHintImage::BordersWidths, &TvkHintImage::SetBordersWidths);
  p.Object("BorderDrawModes", &TvkHintImage::BorderDrawModes, &TvkHintImage::SetBorderDrawModes);
  // The file bytes, when there are any, stand for the picture.
  p.Object("Image", &TvkHintImage::Image, &TvkHintImage::SetImage).Stored([](TObject* o) {
    return static_cast<TvkHintImage*>(o)->ImgData()->Size() == 0;
  });
}

PUBLISHED(TvkHintTemplate) {
  p.Object("ImageDefault", &TvkHintTemplate::ImageDefault, &TvkHintTemplate::SetImageDefault);
  p.Object("Img_RightTop", &TvkHintTemplate::Img_RightTop, &TvkHintTemplate::SetImg_RightTop);
  p.Object("Img_LeftBottom", &TvkHintTemplate::Img_LeftBottom, &TvkHintTemplate::SetImg_LeftBottom);
  p.Object("Img_RightBottom", &TvkHintTemplate::Img_RightBottom, &TvkHintTemplate::SetImg_RightBottom);
  p.Object("Font", &TvkHintTemplate::Font, &TvkHintTemplate::SetFont);
  p.Str("Name", &TvkHintTemplate::Name, &TvkHintTemplate::SetName);
  p.Enum("HintAlign", &TvkHintTemplate::HintAlign, &TvkHintTemplate::SetHintAlign, {"haHorzCenter", "haVertCenter"})
      .Default(haHorzCenter);
}

// ---- TvkBordersSizes ----

void TvkBordersSizes::Assign(TPersistent* Source) {
  if (auto* S = As<TvkBordersSizes>(Source)) {
    std::copy(std::begin(S->FSides), std::end(S->FSides), std::begin(FSides));
    return;
  }
  inherited::Assign(Source);
}

void TvkBordersSizes::SetSide(int Index, int Value) {
  FSides[Index] = Value;
  if (!ClampToImage || FOwner == nullptr) return;
  // Top and bottom share the image's height, left and right its width.
  const int Extent = Index % 2 == 0 ? FOwner->ImageHeight() : FOwner->ImageWidth();
  const int Opposite = (Index + 2) % 4;
  FSides[Index] = std::min(Side(Index), std::max(0, Extent - 1));
  FSides[Opposite] = std::min(Side(Opposite), std::max(0, Extent - Side(Index) - 1));
}

void TvkBordersSizes::SetAll(int ALeft, int ATop, int ARight, int ABottom) {
  SetLeft(ALeft);
  SetTop(ATop);
  SetRight(ARight);
  SetBottom(ABottom);
}

// ---- TvkBorderDrawModes ----

void TvkBorderDrawModes::Assign(TPersistent* Source) {
  if (auto* S = As<TvkBorderDrawModes>(Source)) {
    std::copy(std::begin(S->FModes), std::end(S->FModes), std::begin(FModes));
    return;
  }
  inherited::Assign(Source);
}

// ---- TvkHintImage ----

TvkHintImage::TvkHintImage(TvkHintTemplate* ATemplate)
    : FShadowSizes(new TvkBordersSizes(this)), FClientMargins(new TvkBordersSizes(this)),
      FBordersWidths(new TvkBordersSizes(this)), FBorderDrawModes(new TvkBorderDrawModes(this)), FTemplate(ATemplate),
      FImage(new TPNGGraphic()), FImgData(new TMemoryStream()) {}

TvkHintImage::~TvkHintImage() {
  FShadowSizes->Free();
  FClientMargins->Free();
  FBordersWidths->Free();
  FBorderDrawModes->Free();
  FImage->Free();
  FImgData->Free();
}

void TvkHintImage::SetImage(TPNGGraphic* Value) {
  FImage->Assign(Value);
  const int W = ImageWidth(), H = ImageHeight();
  FBordersWidths->SetAll((W - 1) / 2, (H - 1) / 2, (W - 1) / 2, (H - 1) / 2);
  FClientMargins->Assign(FBordersWidths);
}

void TvkHintImage::Assign(TPersistent* Source) {
  auto* S = As<TvkHintImage>(Source);
  if (S == nullptr) {
    inherited::Assign(Source);
    return;
  }
  FImage->Assign(S->FImage);
  FImgData->Clear();
  if (S->FImgData->Size() > 0) {
    S->FImgData->SetPosition(0);
    FImgData->LoadFromStream(*S->FImgData);
  }
  FOffsetHorz = S->FOffsetHorz;
  FOffsetVert = S->FOffsetVert;
  FClientMargins->Assign(S->FClientMargins);
  FBorderDrawModes->Assign(S->FBorderDrawModes);
  FBordersWidths->Assign(S->FBordersWidths);
  FShadowSizes->Assign(S->FShadowSizes);
}

void TvkHintImage::DefineProperties(TFiler& Filer) {
  inherited::DefineProperties(Filer);
  Filer.DefineBinaryProperty("ImgData", [this](TStream& S) { ReadImgData(S); }, FImgData->Size() > 0);
}

void TvkHintImage::ReadImgData(TStream& S) {
  FImgData->Clear();
  FImgData->LoadFromStream(S);
  if (FImgData->Size() == 0) return;
  // A new picture from the bytes; a damaged one raises before anything is replaced.
  TPNGGraphic* Png = new TPNGGraphic();
  try {
    FImgData->SetPosition(0);
    Png->LoadFromStream(FImgData);
  } catch (...) {
    Png->Free();
    throw;
  }
  FImage->Free();
  FImage = Png;
}

void TvkHintImage::DecodeImageData() {
  if (!FImage->Empty() || FImgData->Size() == 0) return;
  FImgData->SetPosition(0);
  FImage->LoadFromStream(FImgData);
}

// ---- TvkHintTemplate ----

TvkHintTemplate::TvkHintTemplate(TCollection* ACollection) : TCollectionItem(ACollection), FFont(new TFont()) {
  for (TvkHintImage*& I : FImages) I = new TvkHintImage(this);
}

TvkHintTemplate::~TvkHintTemplate() {
  for (TvkHintImage* I : FImages) I->Free();
  FFont->Free();
}

void TvkHintTemplate::Assign(TPersistent* Source) {
  auto* S = As<TvkHintTemplate>(Source);
  if (S == nullptr) {
    inherited::Assign(Source);
    return;
  }
  for (int i = 0; i < 4; ++i) FImages[i]->Assign(S->FImages[i]);
  FHintAlign = S->FHintAlign;
  FFont->Assign(S->FFont);
  FName = S->FName;
}

TvkHintImage* TvkHintTemplate::ImageForPlacement(int Placement) const {
  if (Placement >= 1 && Placement <= 3) {
    static const int kImageOfPlacement[4] = {0, 1, 3, 2};
    TvkHintImage* I = FImages[kImageOfPlacement[Placement]];
    I->DecodeImageData();
    if (!I->Image()->Empty()) return I;
  }
  return FImages[0];
}

// ---- start-up ----

void AlphaHintsInitialize() {
  if (DefaultHintTemplate != nullptr) return;
  TvkHintTemplate* T = new TvkHintTemplate();
  try {
    TResourceStream Res(GetModuleHandleA(nullptr), "VKHINT", MAKEINTRESOURCEA(10));
    TPNGGraphic* Png = new TPNGGraphic();
    try {
      Png->LoadFromStream(&Res);
      T->ImageDefault()->SetImage(Png);
    } catch (...) {
      Png->Free();
      throw;
    }
    Png->Free();
  } catch (...) {
    T->Free();
    throw;
  }
  TvkHintImage* I = T->ImageDefault();
  I->BordersWidths()->SetAll(11, 10, 14, 15);
  I->ShadowSizes()->SetAll(6, 5, 7, 8);
  I->ClientMargins()->SetAll(11, 8, 16, 15);
  DefaultHintTemplate = T;
}

void AlphaHintsFinalize() { FreeAndNil(DefaultHintTemplate); }

void RegisterAlphaHintClasses() {
  RegisterClasses({TvkBordersSizes::StaticClassInfo(), TvkBorderDrawModes::StaticClassInfo(),
                   TvkHintImage::StaticClassInfo(), TvkHintTemplate::StaticClassInfo()});
}
