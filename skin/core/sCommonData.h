// The skin state every skinned thing owns (a control, a window adapter, a form skinner, an adapted graphic
// control): its manager, section and section index, control-type code, colour shifts, cached image, update and
// hover state, glow and fade timer; and the common handling of messages and skin commands that every skinned
// window procedure calls. A window's skin state is found from its handle through the property "VKSDATA".
//
// What an owner does: create the data in its constructor (after its own fields), set CtrlType (and maybe
// SkinSection), call FinishLoading from Loaded (or at once when made at run time), pass every message to
// ProcessCommonSkinMessage (first, or after the codes it handles itself), paint with SkinIndex, CacheBmp and
// CacheDirty, and delete the data in its destructor. A re-created window needs AttachToHandle again (WM_CREATE
// and WM_NCCREATE do it).
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "framework/Classes.h"
#include "framework/Controls.h"
#include "framework/Graphics.h"
#include "framework/Messages.h"
#include "skin/core/sConst.h"
#include "skin/core/vkSkinCommands.h"

class TBitmap;
class TsSkinManager;
class TsSkinProvider;
class TvkThreadedTimer;
class TsCommonData;
struct TvkParentBgQuery;
struct TsGeneralData;

// ---- control-type codes and the sets they fall in ----

// A set of control-type codes (0..255).
class TvkTypeSet {
public:
  struct Range {
    int First, Last;
  };
  constexpr TvkTypeSet(std::initializer_list<Range> Ranges) {
    for (const Range& r : Ranges)
      for (int c = r.First; c <= r.Last; ++c) bits_[c >> 6] |= uint64_t{1} << (c & 63);
  }
  constexpr bool Contains(int Code) const {
    return Code >= 0 && Code < 256 && (bits_[Code >> 6] >> (Code & 63) & 1) != 0;
  }

private:
  std::array<uint64_t, 4> bits_{};
};

// Never take the hot state; the mouse entering does not set Hot.
extern const TvkTypeSet NoHotStateTypes;
// Hover never makes the state hot.
extern const TvkTypeSet EditHoverTypes;
// No glow on mouse enter or leave; hover does not raise the background state answered to children.
extern const TvkTypeSet NoHoverTypes;
// Color and Font.Color follow the section's state colours.
extern const TvkTypeSet SkinColorTypes;
// Command VKCMD_REPAINT_AFTER_CHANGE also sends a frame change.
extern const TvkTypeSet FrameChangeTypes;
// The common handling leaves their glow alone on mouse leave.
extern const TvkTypeSet OwnGlowTypes;
// Types whose default section is the one the owner names itself (command VKCMD_QUERY_OWNER_SECTION).
extern const TvkTypeSet SectionByOwnerTypes;

// Codes of the kinds this program skins.
constexpr uint8_t ctGauge = 161;  // also the progress bar
constexpr uint8_t ctButton = 93;
constexpr uint8_t ctPanel = 51;
constexpr uint8_t ctComboBox = 13;
constexpr uint8_t ctForm = 224;  // the form skinner, section "FORM"
constexpr uint8_t ctFrameAdapter = 226;
constexpr uint8_t ctGraphicAdapter = 230;
constexpr uint8_t ctEditAdapter = 231;
constexpr uint8_t ctListView = 10;
constexpr uint8_t ctCheckBoxAdapter = 32;

// StateFlags bits.
constexpr uint16_t sfPrinting = 0x0200;        // painting into a foreign DC (VKCMD_SET_PRINT_DC)
constexpr uint16_t sfLocked = 0x0800;          // inside LockUpdates
constexpr uint16_t sfSkinSetsFont = 0x2000;    // the skin itself changes Font.Color; owners ignore that change

// ---- outer effects and scroll data ----

enum TvkOuterVisibility { ovNone, ovAlways };

class TvkOuterEffects : public TPersistent {
  DECLARE_CLASS(TvkOuterEffects, TPersistent)
public:
  explicit TvkOuterEffects(TsCommonData* Owner = nullptr) : FOwner(Owner) {}
  TvkOuterVisibility Visibility() const { return FVisibility; }
  // A change on an owner that is not loading repaints the parent (VKCMD_REPAINT) and the owner.
  void SetVisibility(TvkOuterVisibility Value);

private:
  TsCommonData* FOwner;
  TvkOuterVisibility FVisibility = ovNone;
};

class TvkScrollData : public TPersistent {
  DECLARE_CLASS(TvkScrollData, TPersistent)
public:
  explicit TvkScrollData(TsCommonData* Owner = nullptr) : FOwner(Owner) {}
  // -1: the system's value.
  int ScrollWidth() const { return FScrollWidth; }
  // A windowed owner with a window (not loading) gets a frame change.
  void SetScrollWidth(int Value);
  int ButtonsSize() const { return FButtonsSize; }
  // The owner's window gets WM_NCPAINT.
  void SetButtonsSize(int Value);

private:
  TsCommonData* FOwner;
  int FScrollWidth = -1;
  int FButtonsSize = -1;
};

// ---- fade and glow glue ----

// The timer unit (fades) and the glow unit fill these when they start. Only those units make timers and glows,
// so while an entry is empty its kind cannot exist and there is nothing to stop, finish, free or hide.
struct TvkAnimationGlue {
  // Stops the data's fade: timer disabled, mode -1, its bitmaps freed.
  void (*StopControlAnimation)(TsCommonData* Data) = nullptr;
  // Jumps a fade to its target level and stops it.
  void (*FinishAnimationTimer)(TvkThreadedTimer* Timer) = nullptr;
  bool (*TimerEnabled)(TvkThreadedTimer* Timer) = nullptr;
  // Frees the timer unless it is being destroyed already.
  void (*FreeTimer)(TvkThreadedTimer* Timer) = nullptr;
  // Hides the glow GlowId (fading when Animated); GlowId becomes -1 unless a fade-out started.
  void (*HideGlowEffect)(int& GlowId, bool Animated) = nullptr;
  // Shows the glow of a skinned control (SkinIndex -1: the data's own section).
  void (*ShowControlGlow)(TsCommonData* Data, bool SkipIfShown, HWND Wnd, int SkinIndex, bool Animated,
                          uint8_t Alpha) = nullptr;
};
extern TvkAnimationGlue AnimationGlue;

// True while the library's hint manager exists and is active; filled by the hint unit when it makes a manager,
// so nil where none was ever made.
extern bool (*LibraryHintManagerActive)();

// ---- the skin state ----

class TsCommonData : public TPersistent {
  DECLARE_CLASS(TsCommonData, TPersistent)
public:
  // AOwner: the control, form skinner, window adapter or adapted graphic control; with CreateCacheBmp the
  // data keeps a cached 32-bit image of its owner.
  TsCommonData(TObject* AOwner, bool CreateCacheBmp);
  ~TsCommonData() override;

  // ---- published ----
  bool CustomColor() const { return FCustomColor; }
  void SetCustomColor(bool Value) { SetCustomColorOrFont(0, Value); }
  bool CustomFont() const { return FCustomFont; }
  void SetCustomFont(bool Value) { SetCustomColorOrFont(1, Value); }
  // Upper-case section name; empty: the default for the type.
  const std::string& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& Name);
  TvkOuterEffects* OuterEffects() const { return FOuterEffects; }
  // The own manager, else the default one.
  TsSkinManager* SkinManager() const;
  // Nil and the default manager both store nil (follow the default).
  void SetSkinManager(TsSkinManager* Manager);
  TsSkinManager* OwnSkinManager() const { return FSkinManager; }

  // Colour shifts (clNone, 0, 0: none). TsCtrlSkinData reloads and repaints on a change.
  TColor ColorTone() const { return FColorTone; }
  virtual void SetColorTone(TColor Value) { FColorTone = Value; }
  int HUEOffset() const { return FHUEOffset; }
  virtual void SetHUEOffset(int Value) { FHUEOffset = Value; }
  int Saturation() const { return FSaturation; }
  virtual void SetSaturation(int Value) { FSaturation = Value; }

  // ---- section ----
  void RefreshSectionIndex(bool Full);
  // SkinIndex := the first of Names[0..Last] the skin has.
  void FindFirstSection(const char* const* Names, int Last);
  void SetDefaultSection();
  // End of loading: default section, adaptation request to the form, colours, link to the window.
  void FinishLoading(bool ApplyColors);
  // A manager that is not being destroyed, a valid SkinIndex and a live owner; with CheckActive also a
  // loaded skin.
  bool IsSkinned(bool CheckActive = false) const;
  void UpdateDrawFlags();
  // Largest border width of the section's border mask; 0 without one or for a borderless mask.
  int MaxBorderWidth() const;

  // ---- updates ----
  bool IsUpdating();
  bool RecheckUpdating(bool Reset);
  void LockUpdates();
  void UnlockUpdates(bool Repaint);
  void RepaintOwner(bool UpdateNow);

  // ---- state and colours ----
  // 0 normal or 1 hot/focused.
  int CurrentState() const;
  void ApplySectionColors(bool NoLock);
  void ApplySkinColors(bool Repaint);
  // 0 CustomColor, 1 CustomFont.
  void SetCustomColorOrFont(int Index, bool Value);

  // ---- background ----
  bool UsesParentBackground();
  // Asks the owner's parent control / parent window (VKCMD_QUERY_PARENT_BG).
  void GetParentBackground(TvkParentBgQuery& Query);
  void GetParentWindowBackground(TvkParentBgQuery& Query);
  bool StateIsTranslucent(int State) const;
  // Each visible skinned child of Parent paints its outer effect into this cache (VKCMD_TAKE_PARENT_CACHE).
  void SendCacheToChildren(TWinControl* Parent, POINT Offset);
  // VKCMD_TAKE_PARENT_CACHE: the owner's outer effect into the parent's cache of Query.
  void PaintOuterEffect(TvkParentBgQuery& Query, WORD Flag);
  bool OuterEffectsAllowed() const;
  // Unless updating, the parent window marks and refreshes its cache.
  void InvalidateParentCache();
  // The cursor is over the owner's window or a shown scroll bar of its adapter.
  bool CursorStillInside() const;

  // ---- animation ----
  bool AnimationRunning() const;

  // ---- window link ----
  void AttachToHandle();
  void DetachFromHandle();
  void DetachOwner();
  HWND OwnerWindow() const;
  int GetScalePercent() const { return ScalePercent; }
  // The owner as a form skinner (nil for any other owner).
  TsSkinProvider* OwnerProvider() const;
  // The control whose window shows the owner: the owner control, or the form of a skinner.
  TControl* OwnerOrProviderForm() const;
  // The section SkinIndex names in the manager's skin; nil when SkinIndex is not valid there.
  const TsGeneralData* Section() const;
  // A command to the owner: a control by the skin-aware routes (nothing while its window is going), a plain
  // owner window by the skin-aware send.
  LRESULT SendOwnerCommand(WORD Cmd, WORD Low, LPARAM LParam);

  // ---- fields ----
  TBitmap* OuterBackground = nullptr;  // parent-cache area under the outer effect, restored before a repaint
  TColor SavedColor = clNone;           // own Color kept while CustomColor is off
  TColor SavedFontColor = clNone;
  bool Focused = false;
  bool Updating = false;
  bool Hot = false;
  bool ClippedOut = false;
  bool Loading = true;
  uint8_t CtrlType = 0;
  int GlowId = -1;
  int BorderIndex = -1;
  int ScalePercent = 100;
  int UpdateCount = 0;
  HDC PrintDC = nullptr;
  TBitmap* CacheBmp = nullptr;
  HWND OwnerHandle = nullptr;
  TWndMethod SavedWindowProc;
  TObject* OwnerObject = nullptr;
  TvkThreadedTimer* AnimTimer = nullptr;
  uint8_t DrawFlags = 0;
  uint16_t StateFlags = 0;
  bool CacheDirty = true;
  int SkinIndex = -1;
  TControl* OwnerControl = nullptr;

private:
  bool FCustomFont = false;
  bool FCustomColor = false;
  std::string FSkinSection;
  TvkOuterEffects* FOuterEffects = nullptr;
  TsSkinManager* FSkinManager = nullptr;
  TColor FColorTone = clNone;
  int FHUEOffset = 0;
  int FSaturation = 0;
  friend bool ProcessCommonSkinMessage(TMessage& Message, TsCommonData* SkinData);
  bool FPrintingUnskinned = false;  // inside the unskinned WM_PRINT path (the saved procedure paints)
};

// Publishes the colour shifts: a change reloads the colours and repaints the owner.
class TsCtrlSkinData : public TsCommonData {
  DECLARE_CLASS(TsCtrlSkinData, TsCommonData)
public:
  using TsCommonData::TsCommonData;
  void SetColorTone(TColor Value) override;
  void SetHUEOffset(int Value) override;
  void SetSaturation(int Value) override;

private:
  void ShiftChanged();
};

// The skin state of scrolling windows (frames, scroll-window adapters, form skinners).
class TsScrollWndData : public TsCommonData {
  DECLARE_CLASS(TsScrollWndData, TsCommonData)
public:
  TsScrollWndData(TObject* AOwner, bool CreateCacheBmp);
  ~TsScrollWndData() override;
  TvkScrollData* HorzScrollData() const { return FHorzScrollData; }
  TvkScrollData* VertScrollData() const { return FVertScrollData; }

private:
  TvkScrollData* FHorzScrollData;
  TvkScrollData* FVertScrollData;
};

// ---- common message handling ----

// True = consumed.
bool ProcessCommonSkinMessage(TMessage& Message, TsCommonData* SkinData);
// The common handler of SM_VKCMD; True = consumed.
bool ProcessSkinCommand(TMessage& Message, TsCommonData* SkinData);
// VKCMD_QUERY_PARENT_BG: the background D's owner shows its children in state State.
void AnswerBackgroundRequest(TsCommonData* D, TvkParentBgQuery& Q, int State, HWND Wnd = nullptr);

// ---- free helpers of the skin state ----

// The colour seen through a translucent state: per byte ((Parent - State) * T + State * 256) shr 8, the
// transparency percentage T used directly as a weight out of 256 (T 50, black over pure red gives 0x000031).
uint32_t MixBackgroundColor(uint32_t Parent, uint32_t State, int Transparency);

// The skin data of a window ("VKSDATA"); nil for none and for windows of other processes.
TsCommonData* SkinDataOfHandle(HWND Wnd);
// Skin data, a scroll adapter, or a non-zero answer to VKCMD_QUERY_SKINNED.
bool WindowHasSkin(HWND Wnd);
bool ControlHasSkin(TControl* Control, bool CheckActive);
// The colour behind SkinData's owner in state State (as for VKCMD_QUERY_BG_COLOR).
TColor SkinBackgroundColor(TsCommonData* SkinData, int State, HWND Wnd = nullptr);
// The section to paint a state with: SkinIndex itself, or what the control (asked with
// VKCMD_QUERY_STATE_SECTION) names.
int SectionIndexForState(TControl* Control, int SkinIndex, TsSkinManager* Manager, int State);
bool SectionStateIsTranslucent(TsSkinManager* Manager, int SkinIndex, int State, TControl* Control);
TColor ControlFontColor(TControl* Control, int SkinIndex, TsSkinManager* Manager, int State);
TColor FontColorForWindow(HWND Wnd, int SkinIndex, TsSkinManager* Manager, int State);
// Moves the request by the control's position and asks it (VKCMD_QUERY_STATE_SECTION).
LRESULT QuerySectionFromControl(TControl* Control, TvkStateSectionRequest& Request);
// CacheBmp made (or kept) a 32-bit DIB of the owner's size.
void PrepareCacheBitmap(TsCommonData* SkinData);
// ColorTone, then HUEOffset, then Saturation on every non-key pixel; then the transparent corners from the
// parent background.
void ApplyControlColorShift(TBitmap* Bmp, TsCommonData* SkinData);
// The corner runs the section's border mask marks transparent get alpha 0.
void ClearBorderMaskCorners(int SkinIndex, TBitmap* Bmp, TsSkinManager* Manager);
// Copies the cache into R of DC around the children that cover it.
void BlitCacheExceptChildren(TWinControl* Parent, TsCommonData* SkinData, POINT SrcPoint, int DY, int DX,
                             bool FillCorners, HDC DC, const RECT& R);
void BlitCacheExceptChildWindows(HWND Wnd, TsCommonData* SkinData, POINT SrcPoint, int DY, int DX,
                                 bool FillCorners, HDC DC, const RECT& R);
