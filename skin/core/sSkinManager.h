// The skin manager: the non-visual component that loads a skin (from a packed file, a skin folder or a skin
// stored in the form), keeps it, answers every skinned part's questions about it and tells all skinned
// windows when it changes. The first manager created becomes the default one.
#pragma once
#include <windows.h>

#include <array>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "skin/core/sSkinModel.h"

class TControl;
class TMemoryStream;
class TMenuItem;
class TsAlphaImageList;
class TsSkinManager;
class TsSkinableMenus;
class TvkSkinConvertor;

enum TvkSkinsFilterItem { sfiInternal, sfiExternal };
using TvkSkinsFilter = TSet<TvkSkinsFilterItem>;
enum TvkSkinningRule { srStdForms, srStdDialogs, srThirdParty };
using TvkSkinningRules = TSet<TvkSkinningRule>;
enum TvkScaleMode { sm100, sm125, sm150, sm200, smAuto, smOldMode };
enum TvkOptimizingPriority { opSpeed, opMemory };
enum TvkArrowsStyle { arsSolid1, arsLines1, arsSolid2, arsLines2, arsDefault };
enum TvkAnimType { atFading, atAero, atDropDown };
enum TvkBtnEffectEvent { beMouseEnter, beMouseLeave, beMouseDown, beMouseUp };
using TvkBtnEffectEvents = TSet<TvkBtnEffectEvent>;

// A standard dialog about to be skinned by the form skinning layer.
struct TvkSysDlgData {
  HWND Wnd = nullptr;
};
// The handler may clear AllowSkinning to leave the dialog unskinned.
using TvkSysDlgInit = TDelegate<void(const TvkSysDlgData& DlgData, bool& AllowSkinning)>;
// The extra line beside a popup menu: section, caption, optional glyph and whether it shows at all.
using TvkMenuExtraLineEvent = TDelegate<void(TMenuItem* FirstItem, std::string& SkinSection, std::string& Caption,
                                              TBitmap*& Glyph, bool& LineVisible)>;
// A popup item about to be measured or drawn; the handler may change the font. State holds the item's
// owner-draw state as the system gives it (ODS_ flags).
using TvkMenuItemDataEvent = TDelegate<void(TMenuItem* Item, UINT State, TFont* Font)>;

// ---- option objects (persistent, owned by the manager) ----

class TvkOptions : public TPersistent {
  DECLARE_CLASS(TvkOptions, TPersistent)
public:
  explicit TvkOptions(TsSkinManager* Manager = nullptr) : FManager(Manager) {}
  // 0 CheckEmptyAlpha, 1 NoMouseHover, 2 NativeBordersMaximized, 3 StdGlyphsOrder, 4 ChangeSysColors,
  // 5 StdImgTransparency
  bool GetFlag(int Index) const { return Index >= 0 && Index < 6 && FFlags[Index]; }
  void SetFlag(int Index, bool Value);
  bool CheckEmptyAlpha() const { return GetFlag(0); }
  bool NoMouseHover() const { return GetFlag(1); }
  bool NativeBordersMaximized() const { return GetFlag(2); }
  bool StdGlyphsOrder() const { return GetFlag(3); }
  bool ChangeSysColors() const { return GetFlag(4); }
  bool StdImgTransparency() const { return GetFlag(5); }
  TvkScaleMode ScaleMode() const { return FScaleMode; }
  void SetScaleMode(TvkScaleMode Value);
  TvkOptimizingPriority OptimizingPriority() const { return FOptimizingPriority; }
  void SetOptimizingPriority(TvkOptimizingPriority Value) { FOptimizingPriority = Value; }
  TvkArrowsStyle ArrowsStyle() const { return FArrowsStyle; }
  void SetArrowsStyle(TvkArrowsStyle Value);
  // ArrowsStyle, with arsDefault replaced by the skin's own arrow style.
  int EffectiveArrowsStyle() const;

private:
  friend class TsSkinManager;
  TsSkinManager* FManager;
  std::array<bool, 6> FFlags{};
  TvkScaleMode FScaleMode = smOldMode;
  TvkOptimizingPriority FOptimizingPriority = opSpeed;
  TvkArrowsStyle FArrowsStyle = arsDefault;
};

// One kind of animation: duration (16-bit milliseconds), on/off and, where it has one, the mode.
class TvkAnimEffect : public TPersistent {
  DECLARE_CLASS(TvkAnimEffect, TPersistent)
public:
  TvkAnimEffect(bool Active = true, uint16_t Time = 0, TvkAnimType Mode = atAero)
      : FActive(Active), FTime(Time), FMode(Mode) {}
  bool Active() const { return FActive; }
  void SetActive(bool Value) { FActive = Value; }
  uint16_t Time() const { return FTime; }
  void SetTime(uint16_t Value) { FTime = Value; }
  TvkAnimType Mode() const { return FMode; }
  void SetMode(TvkAnimType Value) { FMode = Value; }

private:
  bool FActive;
  uint16_t FTime;
  TvkAnimType FMode;
};
class TvkFormShow : public TvkAnimEffect {
  DECLARE_CLASS(TvkFormShow, TvkAnimEffect)
public:
  TvkFormShow() : TvkAnimEffect(true, 0, atAero) {}
};
class TvkFormHide : public TvkAnimEffect {
  DECLARE_CLASS(TvkFormHide, TvkAnimEffect)
public:
  TvkFormHide() : TvkAnimEffect(true, 0, atAero) {}
};
class TvkDialogShow : public TvkAnimEffect {
  DECLARE_CLASS(TvkDialogShow, TvkAnimEffect)
public:
  TvkDialogShow() : TvkAnimEffect(true, 0, atAero) {}
};
class TvkPageChange : public TvkAnimEffect {
  DECLARE_CLASS(TvkPageChange, TvkAnimEffect)
public:
  TvkPageChange() : TvkAnimEffect(true, 0) {}
};
class TvkMinimizing : public TvkAnimEffect {
  DECLARE_CLASS(TvkMinimizing, TvkAnimEffect)
public:
  TvkMinimizing() : TvkAnimEffect(true, 120) {}
};
class TvkSkinChanging : public TvkAnimEffect {
  DECLARE_CLASS(TvkSkinChanging, TvkAnimEffect)
public:
  TvkSkinChanging() : TvkAnimEffect(true, 100, atFading) {}
};
class TvkBlendOnMoving : public TvkAnimEffect {
  DECLARE_CLASS(TvkBlendOnMoving, TvkAnimEffect)
public:
  TvkBlendOnMoving() : TvkAnimEffect(false, 1000) {}
  uint8_t BlendValue() const { return FBlendValue; }
  void SetBlendValue(uint8_t Value) { FBlendValue = Value; }

private:
  uint8_t FBlendValue = 170;
};
class TvkBtnEffects : public TPersistent {
  DECLARE_CLASS(TvkBtnEffects, TPersistent)
public:
  TvkBtnEffectEvents Events() const { return FEvents; }
  void SetEvents(TvkBtnEffectEvents Value) { FEvents = Value; }

private:
  TvkBtnEffectEvents FEvents{beMouseEnter, beMouseLeave, beMouseDown, beMouseUp};
};

class TvkAnimEffects : public TPersistent {
  DECLARE_CLASS(TvkAnimEffects, TPersistent)
public:
  TvkAnimEffects();
  ~TvkAnimEffects() override;
  TvkFormShow* FormShow() const { return FFormShow; }
  TvkFormHide* FormHide() const { return FFormHide; }
  TvkDialogShow* DialogShow() const { return FDialogShow; }
  TvkFormHide* DialogHide() const { return FDialogHide; }
  TvkPageChange* PageChange() const { return FPageChange; }
  TvkMinimizing* Minimizing() const { return FMinimizing; }
  TvkSkinChanging* SkinChanging() const { return FSkinChanging; }
  TvkBlendOnMoving* BlendOnMoving() const { return FBlendOnMoving; }
  TvkBtnEffects* Buttons() const { return FButtons; }

private:
  TvkFormShow* FFormShow;
  TvkFormHide* FFormHide;
  TvkDialogShow* FDialogShow;
  TvkFormHide* FDialogHide;
  TvkPageChange* FPageChange;
  TvkMinimizing* FMinimizing;
  TvkSkinChanging* FSkinChanging;
  TvkBlendOnMoving* FBlendOnMoving;
  TvkBtnEffects* FButtons;
};

class TvkSkinEffects : public TPersistent {
  DECLARE_CLASS(TvkSkinEffects, TPersistent)
public:
  explicit TvkSkinEffects(TsSkinManager* Manager = nullptr) : FManager(Manager) {}
  bool AllowGlowing() const { return FAllowGlowing; }
  void SetAllowGlowing(bool Value) { FAllowGlowing = Value; }
  bool AllowAnimation() const { return FAllowAnimation; }
  void SetAllowAnimation(bool Value) { FAllowAnimation = Value; }
  bool AllowAeroBluring() const { return FAllowAeroBluring; }
  void SetAllowAeroBluring(bool Value) { FAllowAeroBluring = Value; }
  bool DiscoloredGlyphs() const { return FDiscoloredGlyphs; }
  void SetDiscoloredGlyphs(bool Value);
  bool AllowOuterEffects() const { return FAllowOuterEffects; }
  void SetAllowOuterEffects(bool Value);

private:
  void RepaintUnlessBusy();
  TsSkinManager* FManager;
  bool FAllowGlowing = true;
  bool FAllowAnimation = true;
  bool FAllowAeroBluring = true;
  bool FDiscoloredGlyphs = false;
  bool FAllowOuterEffects = true;
};

// Kinds of foreign control named by class lists, in property-index order.
constexpr int kThirdPartyKinds = 23;
extern const char* const ThirdPartyNames[kThirdPartyKinds];

class TsThirdPartyList : public TPersistent {
  DECLARE_CLASS(TsThirdPartyList, TPersistent)
public:
  std::string GetList(int Index) const { return Index >= 0 && Index < kThirdPartyKinds ? FLists[Index] : ""; }
  void SetList(int Index, const std::string& Value) {
    if (Index >= 0 && Index < kThirdPartyKinds) FLists[Index] = Value;
  }
  // The same by the names the form skinner uses.
  std::string GetClassNames(int Index) const { return GetList(Index); }
  void SetClassNames(int Index, const std::string& Value) { SetList(Index, Value); }

private:
  std::array<std::string, kThirdPartyKinds> FLists;
};

// The font every menu item is drawn with while set; made and freed by the menu options below.
extern TFont* MenuFont;
// Glyph size of menu items without a picture of their own.
extern int DefaultMenuGlyphSize;

class TvkMenuSupport : public TPersistent {
  DECLARE_CLASS(TvkMenuSupport, TPersistent)
public:
  TvkMenuSupport();
  ~TvkMenuSupport() override;
  const std::string& IcoLineSkin() const { return FIcoLineSkin; }
  void SetIcoLineSkin(const std::string& Value) { FIcoLineSkin = Value; }
  int ExtraLineWidth() const { return FExtraLineWidth; }
  void SetExtraLineWidth(int Value) { FExtraLineWidth = Value; }
  bool CustomFont() const { return FCustomFont; }
  // True makes the menu font from Font; False frees it.
  void SetCustomFont(bool Value);
  bool UseExtraLine() const { return FUseExtraLine; }
  void SetUseExtraLine(bool Value) { FUseExtraLine = Value; }
  TFont* ExtraLineFont() const { return FExtraLineFont; }
  uint8_t AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(uint8_t Value) { FAlphaBlend = Value; }
  TFont* Font() const { return FFont; }
  // Any change of Font (a stored one being read, too) makes the menu font from it, also without CustomFont.
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  void SetExtraLineFont(TFont* Value) { FExtraLineFont->Assign(Value); }

private:
  void FontChanged(TObject* Sender);
  void MakeMenuFont();
  TFont* FMadeMenuFont = nullptr;  // the menu font this object made, freed with it
  std::string FIcoLineSkin;
  int FExtraLineWidth = 32;
  bool FCustomFont = false;
  bool FUseExtraLine = false;
  TFont* FExtraLineFont;
  uint8_t FAlphaBlend = 255;
  TFont* FFont;
};

class TvkScrollBarsSupport : public TPersistent {
  DECLARE_CLASS(TvkScrollBarsSupport, TPersistent)
public:
  explicit TvkScrollBarsSupport(TsSkinManager* Manager = nullptr) : FManager(Manager) {}
  int ScrollSize() const { return FScrollSize; }
  void SetScrollSize(int Value);
  int ButtonsSize() const { return FButtonsSize; }
  void SetButtonsSize(int Value);

private:
  TsSkinManager* FManager;
  int FScrollSize = -1;
  int FButtonsSize = -1;
};

class TvkButtonsSupport : public TPersistent {
  DECLARE_CLASS(TvkButtonsSupport, TPersistent)
public:
  bool ShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool Value) { FShowFocusRect = Value; }
  bool ShiftContentOnClick() const { return FShiftContentOnClick; }
  void SetShiftContentOnClick(bool Value) { FShiftContentOnClick = Value; }

private:
  bool FShowFocusRect = true;
  bool FShiftContentOnClick = true;
};

class TvkLabelsSupport : public TPersistent {
  DECLARE_CLASS(TvkLabelsSupport, TPersistent)
public:
  bool TransparentAlways() const { return FTransparentAlways; }
  void SetTransparentAlways(bool Value) { FTransparentAlways = Value; }

private:
  bool FTransparentAlways = true;
};

// ---- stored skins ----

// A packed skin carried in a form ("Data"), with the file it was taken from ("OriginName").
class TsStoredSkin : public TCollectionItem {
  DECLARE_CLASS(TsStoredSkin, TCollectionItem)
public:
  TsStoredSkin();
  ~TsStoredSkin() override;
  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler& Filer) override;
  std::string GetDisplayName() const override { return FName.empty() ? inherited::GetDisplayName() : FName; }

  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value);
  TBitmap* MasterBitmap() const { return FMasterBitmap; }
  void SetMasterBitmap(TBitmap* Value);
  TColor Shadow1Color() const { return FShadow1Color; }
  void SetShadow1Color(TColor Value) { FShadow1Color = Value; }
  int Shadow1Offset() const { return FShadow1Offset; }
  void SetShadow1Offset(int Value) { FShadow1Offset = Value; }
  int Shadow1Blur() const { return FShadow1Blur; }
  void SetShadow1Blur(int Value) { FShadow1Blur = Value; }
  int Shadow1Transparency() const { return FShadow1Transparency; }
  void SetShadow1Transparency(int Value) { FShadow1Transparency = Value; }
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value) { FBorderColor = Value; }
  double Version() const { return FVersion; }
  void SetVersion(double Value) { FVersion = Value; }
  const std::string& Author() const { return FAuthor; }
  void SetAuthor(const std::string& Value) { FAuthor = Value; }
  const std::string& Description() const { return FDescription; }
  void SetDescription(const std::string& Value) { FDescription = Value; }
  const std::string& OriginName() const { return FOriginName; }
  void SetOriginName(const std::string& Value) { FOriginName = Value; }
  // The packed bytes.
  TMemoryStream* PackedData() const { return FPackedData; }
  void SetPackedData(const std::vector<uint8_t>& Bytes);

private:
  std::string FName;
  TBitmap* FMasterBitmap;
  TColor FShadow1Color = 0;
  int FShadow1Offset = 0;
  int FShadow1Blur = -1;
  int FShadow1Transparency = 0;
  TColor FBorderColor = 0xFF00FF;
  double FVersion = 0;
  std::string FAuthor;
  std::string FDescription;
  std::string FOriginName;
  TMemoryStream* FPackedData;
};

class TsStoredSkins : public TOwnedCollection {
  DECLARE_CLASS(TsStoredSkins, TOwnedCollection)
public:
  explicit TsStoredSkins(TsSkinManager* Manager);
  TsStoredSkin* Items(int Index) const { return static_cast<TsStoredSkin*>(TCollection::Items(Index)); }
  TsStoredSkin* Add() { return static_cast<TsStoredSkin*>(TCollection::Add()); }
  // First item whose Name equals Name exactly; -1 when none.
  int IndexOf(const std::string& Name) const;
  TsSkinManager* Manager() const { return FManager; }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TsSkinManager* FManager;
};

// ---- the list of skins a user could choose ----
struct TvkSkinListItem {
  std::string Name;
  bool External = false;  // a packed file of the skin directory, not a stored skin
  int ImageIndex = -1;    // preview, -1 when none
};

class TvkSkinListController : public TObject {
  DECLARE_CLASS(TvkSkinListController, TObject)
public:
  static constexpr int kPreviewWidth = 140;
  static constexpr int kPreviewHeight = 100;

  explicit TvkSkinListController(TsSkinManager* Manager);
  ~TvkSkinListController() override;
  // Rebuilds the items and previews, then tells the registered controls (command 0x4B).
  void Update();
  // Tells the registered controls that the manager's skin changed (command 0x4A).
  void ActiveSkinChanged();
  void RegisterControl(HWND Wnd);
  void UnregisterControl(HWND Wnd);
  const std::vector<TvkSkinListItem>& Items() const { return FItems; }
  // Previews (kPreviewWidth x kPreviewHeight, copied opaque, never scaled), index = ImageIndex.
  TsAlphaImageList* Previews() const { return FPreviews; }

private:
  void ClearPreviews();
  int AddPreview(const std::vector<uint8_t>& PackedBytes);
  TsSkinManager* FManager;
  std::vector<TvkSkinListItem> FItems;
  TsAlphaImageList* FPreviews;
  std::vector<HWND> FControls;
};

// ---- services of the form and dialog skinning layer, registered by its units ----
// The engine calls them at the moments its loading and application steps name; an empty entry is a
// layer that is not linked in.
struct TvkSkinServices {
  // with the thread hook: the system-colour patches when ChangeSysColors is set (default manager)
  std::function<void(TsSkinManager*)> InstallPatches;
  std::function<void(TsSkinManager*)> RemovePatches;
  std::function<void(TsSkinManager*)> HookMainWindow;     // application main-window hook
  std::function<void(TsSkinManager*)> UnhookMainWindow;
  std::function<void()> ClearGlows;
  // the skinned forms around a change (sStyleSimply fills these): snapshots before loading, frozen before
  // the new skin is broadcast, redrawn (Mode 1: with the skin-change animation) afterwards
  std::function<void(TsSkinManager*)> PrepareFormsForChange;
  std::function<void(TsSkinManager*)> StartSkinChangeAnimation;
  std::function<void(TsSkinManager*, int Mode)> FinishFormsChange;
  // the end of every change, finished or not (failed load, no repaint, exception): marks cleared, forms released
  std::function<void(TsSkinManager*)> EndFormsChange;
  std::function<void(TsSkinManager*, bool)> SetSysColorPatches;
};
TvkSkinServices& SkinServices();

struct TvkScaleChangeInfo {
  TvkScaleMode OldMode, NewMode;
  int OldPercent, NewPercent;
};

// Scroll-bar width: the manager's ScrollSize when 0 or more, else the system's; the system's for nil.
int SkinScrollBarWidth(const TsSkinManager* Manager);
int SkinScrollBarWidthAtLeastSystem(const TsSkinManager* Manager);

// Registers the classes a stored form names (TsSkinManager) with the form reader.
void RegisterSkinManagerClasses();

// ---- the manager ----
class TsSkinManager : public TComponent {
  DECLARE_CLASS(TsSkinManager, TComponent)
public:
  explicit TsSkinManager(TComponent* AOwner);
  ~TsSkinManager() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // ---- published properties ----
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  bool SkinnedPopups() const { return FSkinnedPopups; }
  void SetSkinnedPopups(bool Value);
  bool ExtendedBorders() const { return FExtendedBorders; }
  void SetExtendedBorders(bool Value);
  bool IsDefault() const { return GetIsDefault(); }
  void SetIsDefault(bool Value);
  // 0 Brightness (-100..100), 1 HueOffset, 2 Saturation
  int GetColorAdjustment(int Index) const;
  void SetColorAdjustment(int Index, int Value);
  int Brightness() const { return FBrightness; }
  void SetBrightness(int Value) { SetColorAdjustment(0, Value); }
  int HueOffset() const { return FHueOffset; }
  void SetHueOffset(int Value) { SetColorAdjustment(1, Value); }
  int Saturation() const { return FSaturation; }
  void SetSaturation(int Value) { SetColorAdjustment(2, Value); }
  TvkSkinsFilter SkinsFilter() const { return FSkinsFilter; }
  void SetSkinsFilter(TvkSkinsFilter Value);
  TvkSkinningRules SkinningRules() const { return FSkinningRules; }
  void SetSkinningRules(TvkSkinningRules Value) { FSkinningRules = Value; }
  const std::string& SkinName() const { return FSkinName; }
  void SetSkinName(const std::string& Value);
  const std::string& SkinDirectory() const { return FSkinDirectory; }
  void SetSkinDirectory(const std::string& Value);
  TStringList* CommonSections() const { return FCommonSections; }
  TsStoredSkins* InternalSkins() const { return FInternalSkins; }
  TvkOptions* Options() const { return FOptions; }
  TvkAnimEffects* AnimEffects() const { return FAnimEffects; }
  TvkSkinEffects* Effects() const { return FEffects; }
  TvkMenuSupport* MenuSupport() const { return FMenuSupport; }
  TvkScrollBarsSupport* ScrollsOptions() const { return FScrollsOptions; }
  TvkButtonsSupport* ButtonsOptions() const { return FButtonsOptions; }
  TvkLabelsSupport* LabelsOptions() const { return FLabelsOptions; }
  TsThirdPartyList* ThirdParty() const { return FThirdParty; }
  // The loaded skin's version ("10.25"), "N/A" while no skin is applied.
  std::string SkinInfo() const;
  std::string Version() const { return "12.14"; }

  TNotifyEvent OnActivate, OnDeactivate, OnSkinLoading, OnAfterChange, OnBeforeChange, OnSkinListChanged;
  TDelegate<void(TObject* Sender, const TvkScaleChangeInfo& Info)> OnScaleModeChange;
  // Raised by the form skinning layer (popup menus and standard dialogs).
  TvkMenuExtraLineEvent OnGetMenuExtraLineData;
  TvkMenuItemDataEvent OnGetPopupItemData;
  TvkSysDlgInit OnSysDlgInit;
  // The menu painter of the form skinning layer, owned by the manager; nil while that layer is absent.
  TsSkinableMenus* SkinableMenus() const { return FSkinableMenus; }

  // ---- loading and application ----
  void ApplySkin(bool Repaint);
  void RemoveSkin();
  // The thread hook of the form skinning layer (and what that layer registers) while a skin is applied; the
  // default manager only.
  void InstallHooks();
  void RemoveHooks();
  bool HooksInstalled() const { return FHooksInstalled; }
  void RepaintAll();
  void BeginUpdate() { FUpdating = true; }
  void EndUpdate(bool Repaint, bool Animate);
  bool Updating() const { return FUpdating; }
  // The main window's hook is minimising the whole application: its forms go without their hide fades.
  bool MinimizingApp = false;
  void ReloadSkin();
  // The skin directory made absolute against the program's folder.
  std::string AbsoluteSkinDirectory() const;
  static std::string MakeAbsoluteSkinDirectory(const std::string& Dir, const std::string& ProgramFolder);

  // ---- skin list ----
  TvkSkinListController* SkinListController() const { return FSkinListController; }
  // Kind 0 packed files, 1 stored skins, 2 all; FirstName gets the first line of List.
  void ListAvailableSkins(TStrings* List, int Kind, std::string& FirstName, bool WithImages = false);

  // ---- queries ----
  const TvkSkinModel& Model() const { return FModel; }
  // For skins built by hand (test skins with chosen sections and image elements); no repaint follows.
  TvkSkinModel& EditModel() { return FModel; }
  const TsGeneralDataArray& gd() const { return FModel.gd; }
  const TsMaskArray& ma() const { return FModel.ma; }
  const TsSkinData& SkinData() const { return FModel.SkinData; }
  const TConstantSkinData& ConstData() const { return FModel.ConstData; }
  const TvkOutEffArray& OuterEffects() const { return FModel.OuterEffects; }
  TBitmap* MasterBitmap() const { return FModel.MasterBitmap; }
  uint32_t PaletteColor(TvkPaletteColor Index) const { return FModel.Palette[Index]; }
  HBRUSH PaletteBrush(int Index) const { return Index >= 0 && Index < 6 ? FModel.Brushes[Index] : nullptr; }
  TBitmap* ExtBorderBitmap(bool ActiveFrame) const {
    return ActiveFrame ? FModel.ExtBorderActive : FModel.ExtBorderInactive;
  }
  TRect ExtBorderMargins() const { return FModel.ExtBorderMargins; }
  bool SkinIsPacked() const { return FSkinIsPacked; }

  int FindSectionIndex(const std::string& Name) const { return FModel.FindSectionIndex(Name); }
  bool SectionIndexInRange(int Index) const { return FModel.SectionIndexInRange(Index); }
  bool MaskIndexInRange(int Index) const { return FModel.MaskIndexInRange(Index); }
  int FindMaskInherited(int SkinIndex, const std::string& PropertyName) const {
    return FModel.FindMaskInherited(SkinIndex, PropertyName);
  }
  int FindMaskOfSection(int SkinIndex, const std::string& SectionName, const std::string& PropertyName) const {
    return FModel.FindMaskOfSection(SkinIndex, SectionName, PropertyName);
  }
  int FindTextureInherited(int SkinIndex, const std::string& SectionName, const std::string& PropertyName) const {
    return FModel.FindTextureInherited(SkinIndex, SectionName, PropertyName);
  }
  int FindMaskByNames(const std::string& SectionName, const std::string& PropertyName) const {
    return FModel.FindMaskByNames(SectionName, PropertyName);
  }
  TColor SkinBaseColor() const { return FModel.Palette[pcMainColor]; }
  TColor SkinBaseFontColor() const { return FModel.Palette[pcLabelText]; }
  TColor EditBackColor() const { return FModel.Palette[pcEditBG]; }
  TColor EditTextColor() const { return FModel.Palette[pcEditText]; }
  TColor SelectionBackColor(bool Focused) const {
    return FModel.Palette[Focused ? pcSelectionBGFocused : pcSelectionBGNormal];
  }
  TColor SelectionTextColor(bool Focused) const {
    return FModel.Palette[Focused ? pcSelectionTextFocused : pcSelectionTextNormal];
  }
  // 0..3 for 100, 125, 150, 200 per cent.
  int EffectiveScaleMode() const;
  int ApplyScale(int Value, int Level = 0) const;
  int ScalePercent() const;
  int RegistryScaleIndex() const { return FRegistryScaleIndex; }
  // "AppliedDPI" value to scale index: below 120 -> 0, 120-143 -> 1, 144-191 -> 2, else 3.
  static int ScaleIndexFromDpi(int Dpi);
  bool GetIsDefault() const { return DefaultManager() == this; }
  // The stored ExtendedBorders and the system offering layered windows.
  bool GetExtendedBorders() const;

  HWND HotWindow() const { return FHotWindow; }
  TObject* HotGraphicControl() const { return FHotGraphicControl; }
  void ChangeHotWindow(HWND Wnd);
  void ChangeHotGraphicControl(TObject* Control);
  // The hot-control check of the 100 ms timer.
  void CheckHotControl();
  // Asked of the hot graphic control whether it is still hot: the hot flag of the skin data it answers to
  // command 0x25 (empty: a graphic control never refuses to be cleared).
  std::function<bool(TObject*)> GraphicControlIsHot;
  // Tells a graphic control the mouse left it: command 0x1E with the manager.
  std::function<void(TObject*, TsSkinManager*)> GraphicControlMouseLeft;

  // Resizes a control to the current scale from the percentage it answers (DefaultPercent when silent).
  void RescaleControl(TControl* Control, int DefaultPercent);

  // The parallel lists of foreign-control class names (index as ThirdPartyNames).
  TStringList* ThirdLists(int Index) const {
    return Index >= 0 && Index < kThirdPartyKinds ? FThirdLists[Index] : nullptr;
  }
  void UpdateThirdNames();

  // ---- process-wide ----
  static TsSkinManager* DefaultManager();
  // A skin is being loaded (skinned controls skip repainting).
  static bool SkinIsLoading();
  // Sends the 0xA100 message with Command to the forms of the screen and their children (the skinned forms
  // among them pass it on to their own children).
  static void BroadcastCommand(WORD Command, LPARAM Param);

  // Message boxes of the loader (plain, with srStdDialogs and ChangeSysColors off while shown).
  void ShowLoaderMessage(const std::string& Text, UINT Flags);

protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TvkOptions;
  friend class TvkSkinEffects;
  friend class TvkScrollBarsSupport;
  bool ReadingState() const;
  void LoadNamedSkin(bool Repaint = true);
  // The packed file when it exists, else the folder or a stored skin; a failure is reported, never raised.
  // OnSkinLoading follows a whole read; its exception is held for TakeHandlerError.
  bool LoadFromSource();
  // What OnSkinLoading raised in the last load (null when nothing), taken from the manager: the caller raises it
  // once its change is in place.
  std::exception_ptr TakeHandlerError();
  void DropUnloadedSkin(bool WasApplied);
  // The skin read again from its source, applied or not as before; a failure removes it.
  bool ReloadFromSource();
  bool LoadPackedSkinFile(const std::string& Path);
  bool LoadSkinFolder();
  bool ReadSkinText(const std::string& Text, const TvkSkinConvertor* Packed, const std::string& SkinPath);
  void ReportLoadFailure();
  void SetScaleModeInternal(TvkScaleMode Value);
  void StartTimer();
  void StopTimer();
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);

  TvkSkinModel FModel;
  bool FActive = true;
  bool FSkinnedPopups = true;
  bool FExtendedBorders = false;
  int FBrightness = 0, FHueOffset = 0, FSaturation = 0;
  TvkSkinsFilter FSkinsFilter{sfiInternal, sfiExternal};
  TvkSkinningRules FSkinningRules{srStdForms, srStdDialogs, srThirdParty};
  std::string FSkinName;
  std::string FSkinDirectory;
  TStringList* FCommonSections;
  TsStoredSkins* FInternalSkins;
  TvkOptions* FOptions;
  TvkAnimEffects* FAnimEffects;
  TvkSkinEffects* FEffects;
  TvkMenuSupport* FMenuSupport;
  TvkScrollBarsSupport* FScrollsOptions;
  TvkButtonsSupport* FButtonsOptions;
  TvkLabelsSupport* FLabelsOptions;
  TsThirdPartyList* FThirdParty;
  std::array<TStringList*, kThirdPartyKinds> FThirdLists{};
  TvkSkinListController* FSkinListController;
  TsSkinableMenus* FSkinableMenus = nullptr;
  int FRegistryScaleIndex = 0;
  HWND FHotWindow = nullptr;
  TObject* FHotGraphicControl = nullptr;
  UINT_PTR FTimer = 0;
  bool FUpdating = false;
  bool FSkinIsPacked = false;
  bool FHooksInstalled = false;
  HHOOK FThreadHook = nullptr;
  bool FTidyingCommonSections = false;
  std::exception_ptr FHeldHandlerError;  // from OnSkinLoading, raised when the change ends
};
