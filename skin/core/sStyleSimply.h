// The skin's global values (GLOBALINFO) and the section indexes every skinned part needs without a
// name lookup, filled after each load.
#pragma once
#include <array>
#include <span>
#include <string>
#include <vector>

#include <cstdint>

// Standard section-name table; index = slot of TConstantSkinData::Sections.
constexpr int kStdSectionCount = 53;
extern const char* const StdSectionNames[kStdSectionCount];
enum TvkStdSection {
  ssMenuItem, ssCheckBox, ssSpeedButton, ssSpeedButtonSmall, ssToolButton, ssTransparent, ssGroupBox, ssDivider,
  ssWebButton, ssButton, ssComboNoEdit, ssButtonHuge, ssToolBar, ssEdit, ssGauge, ssSelection, ssStatusBar,
  ssPanel, ssPanelLow, ssTrackBar, ssProgressV, ssDragBar, ssGripH, ssGripV, ssProgressH, ssTabSheet,
  ssUpDownBtn, ssComboBox, ssCaption, ssMainMenu, ssSplitter, ssComboBtn, ssFormTitle, ssHint, ssDividerV,
  ssPageControl, ssTabTop, ssBarPanel, ssBarTitle, ssMenuCaption, ssDialogTitle, ssMenuBtn, ssMenuLine,
  ssFormHeader, ssTbBtn, ssTbMenuBtn, ssTbTab, ssColHeader, ssColHeaderA, ssColHeaderL, ssColHeaderR,
  ssSliderOff, ssSliderOn
};

// Sections 39..52 of the table that fall back to another one when the skin lacks them; an entry naming its own
// slot has no fallback.
constexpr int kFirstFallbackSection = 39;
extern const uint8_t StdSectionFallback[kStdSectionCount - kFirstFallbackSection];

// Suffixes of scaled images by scale index 0..3 (appended to a mask name to look for a scaled image first).
extern const char* const ScaleSuffixes[4];
// Suffixes of page-control sections by tab position 0..3 (appended to "PAGECONTROL").
extern const char* const PageSideSuffixes[4];
// Progress and tick images: vertical, horizontal.
extern const char* const ProgressImageNames[2];
extern const char* const TickImageNames[2];

// Kinds of foreign controls skinned through window adapters, in the order of the manager's class lists, and
// the default list of each (" ": an empty list that still counts as set).
constexpr int kForeignKindCount = 23;
extern const char* const ForeignKindNames[kForeignKindCount];
extern const char* const ForeignKindDefaults[kForeignKindCount];

// True when one of List[First..Last] is Value; False when Last < First. First is taken modulo 128; bounds beyond
// the list reach only what it holds.
bool IntListContains(std::span<const int> List, int Value, int First, int Last);

// Values of the GLOBALINFO section.
struct TsSkinData {
  bool Active = false;     // a skin is applied
  std::string SkinPath;    // folder of the skin, with a trailing backslash; empty for stored skins
  double Version = 0;
  std::string MasterBitmap;
  std::string Author;
  std::string Description;
  int BorderWidth = 4;
  int TitleHeight = 30;
  int MaxHeight = 30;
  int CenterOffset = 0;
  int FormOffset = 0;
  int BorderMode = 0;
  int BrightMin = -50;
  int BrightMax = 50;
  int AlignOffset = 0;
  int AlignOffsetR = 0;
  int AlignOffsetT = 0;
  int AlignOffsetB = 0;
  int BISpace = 0;
  int BIVAlign = 0;
  int BIRight = 0;
  int BILeft = 0;
  int BITop = 0;
  int BIKeepHue = 0;
  bool AeroBlur = false;
  // glow margins of BICLOSEALONE, BICONCLOSE, BICONMAX, BICONMIN, BICONNORM
  std::array<int, 5> TitleGlowMargins{};
  int TitleGlowCount = 0;  // BICONCLOSEGLOW
  uint32_t Shadow1Color = 0;
  int Shadow1Offset = 0;
  int Shadow1Blur = -1;
  int Shadow1Transparency = 0;
  int ComboMargin = 2;
  int SliderMargin = 1;
  uint8_t ArrowStyle = 0;
  bool TabsCovering = false;        // TABTOP
  bool RibbonTabsCovering = false;  // RIBBONTAB
};

// What one element of a control needs: its section, border mask, glyph, textures.
struct TvkElementData {
  std::string SectionName;
  int SkinIndex = -1;
  int MaskIndex = -1;
  int GlyphIndex = -1;
  int TextureIndex = -1;
  int HotTextureIndex = -1;
};

// Element entries kept by TConstantSkinData, in the order of their names (ElementNames).
enum TvkStdElement {
  seTabLeftFirst, seTabTopFirst, seTabRightFirst, seTabBottomFirst, seTabLeftLast, seTabTopLast, seTabRightLast,
  seTabBottomLast, seTabLeftMiddle, seTabTopMiddle, seTabRightMiddle, seTabBottomMiddle, seTabLeft, seTabTop,
  seTabRight, seTabBottom, seScrollBtnLeft, seScrollBtnTop, seScrollBtnRight, seScrollBtnBottom, seScrollBar1H,
  seScrollBar1V, seScrollBar2H, seScrollBar2V, seUpDownLeft, seUpDownTop, seUpDownRight, seUpDownBottom,
  seScrollSliderH, seScrollSliderV, seRadioUnchecked, seRadioChecked, seBoxUnchecked, seBoxChecked, seBoxGrayed,
  seSmallUnchecked, seSmallChecked, seSmallGrayed, seComboBtn, seElementCount
};
extern const char* const StdElementNames[seElementCount];

// Title-button masks in the order the form skinner indexes them (the 13th entry is "none").
constexpr int kTitleMaskCount = 13;
extern const char* const TitleMaskNames[kTitleMaskCount];

struct TConstantSkinData {
  std::array<int, kStdSectionCount> Sections;
  std::array<TvkElementData, seElementCount> Elements;
  std::array<int, kTitleMaskCount> TitleMasks;
  // glow masks of the first five title buttons (BICLOSEALONE .. BICONNORM), BICONCLOSEGLOW of each
  std::array<std::vector<int>, 5> TitleGlows;
  int ProgVert = -1, ProgHorz = -1, TickVert = -1, TickHorz = -1;
  // TRACKBAR: section, border mask, channel, thumbs, textures
  TvkElementData TrackBar;
  int SliderChannel = -1, SliderMask = -1, SliderVMask = -1;
  int ExBorder = -1;
  int GripImage = -1, GripHorz = -1, GripVert = -1;

  TConstantSkinData() { Clear(); }
  // Every slot -1: lookups in an empty skin.
  void Clear();
};

// ---- the skinned forms ----
class TCustomForm;
class TsSkinManager;
class TsSkinProvider;
class TIcon;
struct TMessage;

// True while the default manager changes the skin with its skin-change animation; painters defer repaints.
extern bool SkinChangeAnimating;

// The forms that carry a skin provider, in order of adding.
extern std::vector<TCustomForm*> SkinnedFormList;
void AddToSkinnedFormList(TCustomForm* Form);
// Every slot holding Form takes the current last entry and the list shrinks by one for each.
void RemoveFromSkinnedFormList(TCustomForm* Form);
// Proc(Provider, Param) for the provider of each listed form that is shown, not minimised, not an MDI child,
// without parent, and skinned by Manager.
void ForEachSkinnedForm(TsSkinManager* Manager, void (*Proc)(TsSkinProvider* Provider, void* Param), void* Param);
// The unskinned screen forms and their children, then the skinned forms (BroadcastToSkinnedForms).
void BroadcastToScreenForms(TMessage& Message);
// The listed forms and their children, then the visible dialog adapters.
void BroadcastToSkinnedForms(TMessage& Message);

// The skin-change steps of the manager around loading a skin.
void BeforeSkinChangeForms(TsSkinManager* Manager);
void FreezeSkinnedForms(TsSkinManager* Manager);
void AfterSkinChangeForms(TsSkinManager* Manager, int Mode);
void ReskinFormWindow(TsSkinProvider* Provider, int Mode);
// The last step of every change, also of one that stopped half-way (a failed load, an application without
// repaint, an exception): the animation mark goes, frozen forms draw again, and no provider keeps its change
// marks or an old picture the animation did not take.
void EndSkinChangeForms(TsSkinManager* Manager);

// The shell's small and large icon of the program's executable (nil when the shell gives none): the title icon
// of a form without one of its own, the large one above 16 pixels.
TIcon* ApplicationTitleIcon(int Size);

// Unit start-up: the application icons.
void StyleSimplyInitialize();
void StyleSimplyFinalize();
