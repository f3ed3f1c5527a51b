// The manager's option objects: options, animation kinds, effects, class lists, menu, scroll-bar, button and
// label support, and what each of them publishes.
#include "framework/TypInfo.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkSkinCommands.h"

const char* const ThirdPartyNames[kThirdPartyKinds] = {
    "ThirdEdits",        "ThirdButtons",   "ThirdBitBtns",      "ThirdCheckBoxes",    "ThirdComboBoxes",
    "ThirdGrids",        "ThirdGroupBoxes", "ThirdListViews",   "ThirdPanels",        "ThirdTreeViews",
    "ThirdWWEdits",      "ThirdGridEh",    "ThirdVirtualTrees", "ThirdPageControl",   "ThirdTabControl",
    "ThirdToolBar",      "ThirdStatusBar", "ThirdSpeedButton",  "ThirdScrollControl", "ThirdUpDown",
    "ThirdScrollBar",    "ThirdStaticText", "ThirdNativePaint"};

// ===================================================================== option objects

void TvkOptions::SetFlag(int Index, bool Value) {
  if (Index < 0 || Index >= 6 || FFlags[Index] == Value) return;
  FFlags[Index] = Value;
  if (Index == 4 && FManager && FManager->GetIsDefault() && !FManager->ReadingState() &&
      SkinServices().SetSysColorPatches)
    SkinServices().SetSysColorPatches(FManager, Value);
}

void TvkOptions::SetScaleMode(TvkScaleMode Value) {
  if (FManager)
    FManager->SetScaleModeInternal(Value);
  else
    FScaleMode = Value;
}

void TvkOptions::SetArrowsStyle(TvkArrowsStyle Value) {
  if (FArrowsStyle == Value) return;
  FArrowsStyle = Value;
  if (FManager && !FManager->ReadingState() && FManager->SkinData().Active) FManager->RepaintAll();
}

int TvkOptions::EffectiveArrowsStyle() const {
  if (FArrowsStyle == arsDefault && FManager) return FManager->SkinData().ArrowStyle;
  return FArrowsStyle;
}

TvkAnimEffects::TvkAnimEffects()
    : FFormShow(new TvkFormShow()),
      FFormHide(new TvkFormHide()),
      FDialogShow(new TvkDialogShow()),
      FDialogHide(new TvkFormHide()),
      FPageChange(new TvkPageChange()),
      FMinimizing(new TvkMinimizing()),
      FSkinChanging(new TvkSkinChanging()),
      FBlendOnMoving(new TvkBlendOnMoving()),
      FButtons(new TvkBtnEffects()) {}

TvkAnimEffects::~TvkAnimEffects() {
  for (TObject* o : std::initializer_list<TObject*>{FFormShow, FFormHide, FDialogShow, FDialogHide, FPageChange,
                                                    FMinimizing, FSkinChanging, FBlendOnMoving, FButtons})
    o->Free();
}

void TvkSkinEffects::RepaintUnlessBusy() {
  if (FManager && !FManager->ReadingState() && !FManager->Updating() && FManager->SkinData().Active)
    FManager->RepaintAll();
}
void TvkSkinEffects::SetDiscoloredGlyphs(bool Value) {
  if (FDiscoloredGlyphs == Value) return;
  FDiscoloredGlyphs = Value;
  RepaintUnlessBusy();
}
void TvkSkinEffects::SetAllowOuterEffects(bool Value) {
  if (FAllowOuterEffects == Value) return;
  FAllowOuterEffects = Value;
  RepaintUnlessBusy();
}

TFont* MenuFont = nullptr;
int DefaultMenuGlyphSize = 16;

TvkMenuSupport::TvkMenuSupport() : FExtraLineFont(new TFont()), FFont(new TFont()) {
  FFont->OnChange = TNotifyEvent(this, &TvkMenuSupport::FontChanged);
}
TvkMenuSupport::~TvkMenuSupport() {
  FFont->OnChange = nullptr;
  // Only a font this object made is freed, so another options object's font stays.
  if (FMadeMenuFont != nullptr && FMadeMenuFont == MenuFont) {
    MenuFont->Free();
    MenuFont = nullptr;
  }
  FExtraLineFont->Free();
  FFont->Free();
}
void TvkMenuSupport::MakeMenuFont() {
  if (MenuFont == nullptr) {
    MenuFont = new TFont();
    FMadeMenuFont = MenuFont;
  }
  MenuFont->Assign(FFont);
}
void TvkMenuSupport::FontChanged(TObject*) { MakeMenuFont(); }
void TvkMenuSupport::SetCustomFont(bool Value) {
  FCustomFont = Value;
  if (Value) {
    MakeMenuFont();
  } else if (MenuFont != nullptr) {
    MenuFont->Free();
    MenuFont = nullptr;
    FMadeMenuFont = nullptr;
  }
}

void TvkScrollBarsSupport::SetScrollSize(int Value) {
  if (FScrollSize == Value) return;
  FScrollSize = Value;
  if (FManager && !FManager->ReadingState()) TsSkinManager::BroadcastCommand(VKCMD_SCROLL_SIZE_CHANGED, 0);
}
void TvkScrollBarsSupport::SetButtonsSize(int Value) {
  if (FButtonsSize == Value) return;
  FButtonsSize = Value;
  if (FManager && !FManager->ReadingState() && FManager->SkinData().Active) FManager->RepaintAll();
}

// ---- published properties ----

namespace {
const std::vector<std::string> kAnimTypeNames = {"atFading", "atAero", "atDropDown"};
}  // namespace

PUBLISHED(TvkAnimEffect) {
  p.Bool("Active", &TvkAnimEffect::Active, &TvkAnimEffect::SetActive);
  p.Int("Time", &TvkAnimEffect::Time, &TvkAnimEffect::SetTime);
}
// the kinds that have a mode publish it
PUBLISHED(TvkFormShow) { p.Enum("Mode", &TvkAnimEffect::Mode, &TvkAnimEffect::SetMode, kAnimTypeNames); }
PUBLISHED(TvkFormHide) { p.Enum("Mode", &TvkAnimEffect::Mode, &TvkAnimEffect::SetMode, kAnimTypeNames); }
PUBLISHED(TvkDialogShow) { p.Enum("Mode", &TvkAnimEffect::Mode, &TvkAnimEffect::SetMode, kAnimTypeNames); }
PUBLISHED(TvkSkinChanging) { p.Enum("Mode", &TvkAnimEffect::Mode, &TvkAnimEffect::SetMode, kAnimTypeNames); }
IMPLEMENT_CLASS(TvkPageChange)
IMPLEMENT_CLASS(TvkMinimizing)

PUBLISHED(TvkBlendOnMoving) {
  p.Int("BlendValue", &TvkBlendOnMoving::BlendValue, &TvkBlendOnMoving::SetBlendValue).Default(170);
}

PUBLISHED(TvkBtnEffects) {
  p.Set("Events", &TvkBtnEffects::Events, &TvkBtnEffects::SetEvents,
        {"beMouseEnter", "beMouseLeave", "beMouseDown", "beMouseUp"})
      .Default(15);
}

PUBLISHED(TvkAnimEffects) {
  p.Object("FormShow", &TvkAnimEffects::FormShow);
  p.Object("FormHide", &TvkAnimEffects::FormHide);
  p.Object("DialogShow", &TvkAnimEffects::DialogShow);
  p.Object("DialogHide", &TvkAnimEffects::DialogHide);
  p.Object("PageChange", &TvkAnimEffects::PageChange);
  p.Object("Minimizing", &TvkAnimEffects::Minimizing);
  p.Object("SkinChanging", &TvkAnimEffects::SkinChanging);
  p.Object("BlendOnMoving", &TvkAnimEffects::BlendOnMoving);
  p.Object("Buttons", &TvkAnimEffects::Buttons);
}

PUBLISHED(TvkOptions) {
  static const char* const kFlagNames[6] = {"CheckEmptyAlpha", "NoMouseHover", "NativeBordersMaximized",
                                            "StdGlyphsOrder", "ChangeSysColors", "StdImgTransparency"};
  for (int i = 0; i < 6; ++i)
    p.Bool(
         kFlagNames[i], [i](TvkOptions* o) { return o->GetFlag(i); },
         [i](TvkOptions* o, bool v) { o->SetFlag(i, v); })
        .Default(0);
  p.Enum("ScaleMode", &TvkOptions::ScaleMode, &TvkOptions::SetScaleMode,
         {"sm100", "sm125", "sm150", "sm200", "smAuto", "smOldMode"})
      .Default(smOldMode);
  p.Enum("OptimizingPriority", &TvkOptions::OptimizingPriority, &TvkOptions::SetOptimizingPriority,
         {"opSpeed", "opMemory"})
      .Default(opSpeed);
  p.Enum("ArrowsStyle", &TvkOptions::ArrowsStyle, &TvkOptions::SetArrowsStyle,
         {"arsSolid1", "arsLines1", "arsSolid2", "arsLines2", "arsDefault"})
      .Default(arsDefault);
}

PUBLISHED(TvkSkinEffects) {
  p.Bool("AllowGlowing", &TvkSkinEffects::AllowGlowing, &TvkSkinEffects::SetAllowGlowing).Default(1);
  p.Bool("AllowAnimation", &TvkSkinEffects::AllowAnimation, &TvkSkinEffects::SetAllowAnimation).Default(1);
  p.Bool("AllowAeroBluring", &TvkSkinEffects::AllowAeroBluring, &TvkSkinEffects::SetAllowAeroBluring).Default(1);
  p.Bool("DiscoloredGlyphs", &TvkSkinEffects::DiscoloredGlyphs, &TvkSkinEffects::SetDiscoloredGlyphs).Default(0);
  p.Bool("AllowOuterEffects", &TvkSkinEffects::AllowOuterEffects, &TvkSkinEffects::SetAllowOuterEffects).Default(1);
}

PUBLISHED(TsThirdPartyList) {
  // published in the order a form stores them; each reaches its kind's list by index
  static const int kOrder[kThirdPartyKinds] = {0,  1,  2,  3,  6,  7,  8,  5,  9,  4,  10, 12,
                                               11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22};
  for (int k : kOrder)
    p.Str(
        ThirdPartyNames[k], [k](TsThirdPartyList* o) { return o->GetList(k); },
        [k](TsThirdPartyList* o, const std::string& v) { o->SetList(k, v); });
}

PUBLISHED(TvkMenuSupport) {
  p.Str("IcoLineSkin", &TvkMenuSupport::IcoLineSkin, &TvkMenuSupport::SetIcoLineSkin)
      .Stored([](TObject* o) { return static_cast<TvkMenuSupport*>(o)->IcoLineSkin() != "ICOLINE"; });
  p.Int("ExtraLineWidth", &TvkMenuSupport::ExtraLineWidth, &TvkMenuSupport::SetExtraLineWidth);
  p.Bool("CustomFont", &TvkMenuSupport::CustomFont, &TvkMenuSupport::SetCustomFont).Default(0);
  p.Bool("UseExtraLine", &TvkMenuSupport::UseExtraLine, &TvkMenuSupport::SetUseExtraLine).Default(0);
  p.Object("ExtraLineFont", &TvkMenuSupport::ExtraLineFont);
  p.Int("AlphaBlend", &TvkMenuSupport::AlphaBlend, &TvkMenuSupport::SetAlphaBlend);
  p.Object("Font", &TvkMenuSupport::Font);
}

PUBLISHED(TvkScrollBarsSupport) {
  p.Int("ScrollSize", &TvkScrollBarsSupport::ScrollSize, &TvkScrollBarsSupport::SetScrollSize).Default(-1);
  p.Int("ButtonsSize", &TvkScrollBarsSupport::ButtonsSize, &TvkScrollBarsSupport::SetButtonsSize).Default(-1);
}

PUBLISHED(TvkButtonsSupport) {
  p.Bool("ShowFocusRect", &TvkButtonsSupport::ShowFocusRect, &TvkButtonsSupport::SetShowFocusRect).Default(1);
  p.Bool("ShiftContentOnClick", &TvkButtonsSupport::ShiftContentOnClick, &TvkButtonsSupport::SetShiftContentOnClick)
      .Default(1);
}

PUBLISHED(TvkLabelsSupport) {
  p.Bool("TransparentAlways", &TvkLabelsSupport::TransparentAlways, &TvkLabelsSupport::SetTransparentAlways)
      .Default(1);
}

