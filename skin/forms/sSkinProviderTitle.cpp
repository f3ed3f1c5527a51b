// The caption's published objects: the title icon, the user title buttons and the added title text.
#include "framework/Forms.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderUnit.h"
#include "skin/graphics/vkSkinText.h"

// ---- added title ----

PUBLISHED(TvkAddedTitle) {
  p.Bool("ShowMainCaption", &TvkAddedTitle::ShowMainCaption, &TvkAddedTitle::SetShowMainCaption).Default(1);
  p.Object("Font", &TvkAddedTitle::Font, &TvkAddedTitle::SetFont).Stored([](TObject* o) {
    return static_cast<TvkAddedTitle*>(o)->IsFontStored();
  });
  p.Str("Text", &TvkAddedTitle::Text, &TvkAddedTitle::SetText);
}

namespace {
constexpr TColor kNoFontColor = static_cast<TColor>(0x1FFFFFFF);
}

TvkAddedTitle::TvkAddedTitle(TsSkinProvider* Provider) : FProvider(Provider), FFont(new TFont()) {
  FFont->SetColor(kNoFontColor);
}

TvkAddedTitle::~TvkAddedTitle() { delete FFont; }

void TvkAddedTitle::SetText(const std::string& Value) {
  if (Value == FText) return;
  FText = Value;
  Repaint();
}

void TvkAddedTitle::SetShowMainCaption(bool Value) {
  if (Value == FShowMainCaption) return;
  FShowMainCaption = Value;
  Repaint();
}

void TvkAddedTitle::SetFont(TFont* Value) {
  FFont->Assign(Value);
  Repaint();
}

bool TvkAddedTitle::IsFontStored() const {
  // the colour alone never makes the font worth storing
  TFont Fresh;
  Fresh.SetColor(FFont->Color());
  return !SameFontLook(FFont, &Fresh);
}

void TvkAddedTitle::Repaint() {
  if (FProvider != nullptr && !FProvider->ComponentState().Contains(csLoading)) FProvider->RedrawFrameNow();
}

// ---- title icon ----

PUBLISHED(TsTitleIcon) {
  p.Object("Glyph", &TsTitleIcon::Glyph, &TsTitleIcon::SetGlyph);
  p.Int("Height", &TsTitleIcon::Height, &TsTitleIcon::SetHeight);
  p.Int("Width", &TsTitleIcon::Width, &TsTitleIcon::SetWidth);
  p.Bool("Visible", &TsTitleIcon::Visible, &TsTitleIcon::SetVisible);
}

TsTitleIcon::TsTitleIcon(TsSkinProvider* Provider) : FProvider(Provider), FGlyph(new TBitmap()) {
  FGlyph->OnChange = TNotifyEvent(this, &TsTitleIcon::GlyphChanged);
}

TsTitleIcon::~TsTitleIcon() { delete FGlyph; }

void TsTitleIcon::GlyphChanged(TObject*) {
  if (FProvider != nullptr) FProvider->RedrawFrameNow();
}

void TsTitleIcon::SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }

void TsTitleIcon::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  if (FProvider != nullptr && !FProvider->ComponentState().Contains(csLoading) &&
      !FProvider->ComponentState().Contains(csDesigning))
    FProvider->RedrawFrameNow();
}

// ---- user title buttons ----

PUBLISHED(TsTitleButton) {
  p.Bool("Enabled", &TsTitleButton::Enabled, &TsTitleButton::SetEnabled);
  p.Object("Glyph", &TsTitleButton::Glyph, &TsTitleButton::SetGlyph);
  p.Str("Hint", &TsTitleButton::Hint, &TsTitleButton::SetHint);
  p.Str("Name", &TsTitleButton::Name, &TsTitleButton::SetName);
  p.Bool("UseSkinData", &TsTitleButton::UseSkinData, &TsTitleButton::SetUseSkinData);
  p.Bool("Visible", &TsTitleButton::Visible, &TsTitleButton::SetVisible);
  p.Event("OnMouseDown", &TsTitleButton::OnMouseDown);
  p.Event("OnMouseUp", &TsTitleButton::OnMouseUp);
}

TsTitleButton::TsTitleButton() { Init(); }

TsTitleButton::TsTitleButton(TCollection* Collection) : TCollectionItem(Collection) { Init(); }

void TsTitleButton::Init() {
  FGlyph = new TBitmap();
  FGlyph->OnChange = TNotifyEvent(this, &TsTitleButton::GlyphChanged);
  Data.MaskKind = tmUserButton;
  if (FName.empty()) FName = ClassName();
}

TsTitleButton::~TsTitleButton() {
  FreeAnimation();
  delete FGlyph;
  HideHint();
}

TsSkinProvider* TsTitleButton::Provider() const {
  auto* Buttons = static_cast<TsTitleButtons*>(Collection());
  return Buttons != nullptr ? Buttons->Provider() : nullptr;
}

void TsTitleButton::FreeAnimation() {
  if (Data.Animation != nullptr && ProviderParts.FreeTitleAnimation) ProviderParts.FreeTitleAnimation(Data.Animation);
  Data.Animation = nullptr;
}

// The animation holds images made from the glyph: a new glyph makes it go.
void TsTitleButton::GlyphChanged(TObject*) { FreeAnimation(); }

void TsTitleButton::SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }

void TsTitleButton::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  if (TsSkinProvider* P = Provider()) P->RedrawFrameNow();
}

void TsTitleButton::AssignTo(TPersistent* Dest) {
  auto* B = As<TsTitleButton>(Dest);
  if (B == nullptr) {
    inherited::AssignTo(Dest);
    return;
  }
  B->SetEnabled(FEnabled);
  B->SetGlyph(FGlyph);
  B->SetHint(FHint);
  B->SetName(FName);
  B->SetUseSkinData(FUseSkinData);
  B->OnMouseDown = OnMouseDown;
  B->OnMouseUp = OnMouseUp;
}

void TsTitleButton::DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TsTitleButton::DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TsTitleButton::ShowHint() {
  if (FHint.empty() || FHintWindow != nullptr) return;
  POINT P{};
  SafeGetCursorPos(P);
  // the hint window lies (8, 16) off the point it is given, as the button's hint is meant to; the button owns it
  // whatever its class, and HideHint frees it
  FHintWindow = ShowHintWindow(FHint, P);
}

void TsTitleButton::HideHint() {
  if (FHintWindow != nullptr) FreeAndNil(FHintWindow);
}

IMPLEMENT_CLASS(TsTitleButtons)

TsTitleButtons::TsTitleButtons(TsSkinProvider* Provider)
    : TCollection(TsTitleButton::StaticClassInfo()), FProvider(Provider) {}

TsTitleButtons::~TsTitleButtons() { FProvider = nullptr; }

TPersistent* TsTitleButtons::GetOwner() { return FProvider; }

bool TsTitleButtons::AnyVisible() const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Visible()) return true;
  return false;
}
