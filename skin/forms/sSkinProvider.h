// The form skinner: the component that takes over one form's window procedure, paints its non-client frame
// (border, caption, icon, title buttons, menu line) from a frame cache built from the skin, answers hit tests,
// follows activation, moves, sizes and skin changes, and answers its child controls' questions about the
// background. Dropped on a form, or made at run time by the thread hook for a form without one.
//
// Sources by topic: sSkinProvider.cpp (component, lifecycle, small queries), sSkinProviderProc.cpp (the window
// procedure), sSkinProviderSetup.cpp (set-up, menus, labels, tracking frame), sSkinProviderMetrics.cpp (frame
// metrics, composition, region), sSkinProviderCover.cpp (caption cover, veil over a disabled form),
// sSkinProviderHeader.cpp (header, sections, state word),
// sSkinProviderFrame.cpp (frame painting), sSkinProviderCache.cpp (cache geometry, icon, grip, repaints),
// sSkinProviderCaption.cpp (caption layout and its handlers), sSkinProviderHitTest.cpp (hit test, title-element
// states), sSkinProviderMouse.cpp, sSkinProviderWindow.cpp (activation, position, size, system commands),
// sSkinProviderPaint.cpp (paint, show and child-control handlers), sSkinProviderCommands.cpp (skin commands and
// the editor link), sSkinProviderTitle.cpp (title icon, user title buttons, added title), sSkinProviderMDI.cpp (a
// child's system commands, a maximised child's buttons on the main form's menu line, the main form's client under a
// maximised child, its printed client and its adoption of children).
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/Controls.h"
#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/Messages.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkFormAnimation.h"
#include "skin/forms/vkLifeWatch.h"

class TsSkinManager;
class TsSkinProvider;
class TsSystemMenu;
class TsTitleBar;
class TvkTitleBarItem;
class TsMDIForm;
class TvkMDIWnd;
class TvkBorderForm;
class TvkCtrlAdapter;
class TvkGlowForm;
class TvkSBAnimation;
class TvkThreadedTimer;
class TPopupMenu;
class TMainMenu;
class TMenuItem;
class TsSkinableMenus;
class TTimer;
struct TvkSkinParams;

enum TsGripMode { gmNone, gmRightBottom };
enum TsResizeMode { rmStandard, rmBorder };
enum TvkMenuItemPos { ipTop, ipBottom, ipBeforeClose };

using TvkAfterAnimation = TDelegate<void(TvkAnimEvent AnimType)>;
// May change the answer of the border window's hit test (the message's Result).
using TvkNCHitTest = TDelegate<void(TMessage& Msg)>;
using TAddItemEvent = TDelegate<void(TComponent* Item, bool& CanBeAdded, std::string& SkinSection)>;
using TAddItemExEvent = TDelegate<void(TComponent* Item, bool& CanBeAdded, TvkSkinParams* SkinParams)>;

// ---- the state word (SetFormStateFlags is its only writer) ----
constexpr uint32_t fsfPlacing = 0x1;               // the border window follows without a z-order change
constexpr uint32_t fsfMoveFade = 0x80;             // blend while moving
constexpr uint32_t fsfMinimizing = 0x100;          // minimise animation; alignment suspended
constexpr uint32_t fsfHiding = 0x200;              // a hide snapshot owns the frame
constexpr uint32_t fsfRestoring = 0x400;           // restore animation; alignment suspended
constexpr uint32_t fsfTaskbarSnapshot = 0x800;
constexpr uint32_t fsfSkinChangeSnapshot = 0x1000;
constexpr uint32_t fsfShowing = 0x2000;            // no border window is made meanwhile
constexpr uint32_t fsfRestoreHeight = 0x4000;      // saved height to restore
constexpr uint32_t fsfRestoreWidth = 0x8000;       // saved width to restore
constexpr uint32_t fsfFrozen = 0x10000;            // frozen for a skin change
constexpr uint32_t fsfScrollRebuild = 0x20000;     // the scroll adapter is being rebuilt
constexpr uint32_t fsfGluedMove = 0x40000;         // glued move: snapping and moving of glued forms skipped
constexpr uint32_t fsfMaximizing = 0x80000;
constexpr uint32_t fsfVeiled = 0x100000;           // disabled, its veil shown
constexpr uint32_t fsfInNCActivate = 0x200000;
constexpr uint32_t fsfCaptionFixed = 0x400000;     // caption states fixed

// Hit codes of the provider beyond the system's.
constexpr int htMDIClose = 101, htMDIRestore = 102, htMDIMinimize = 103;
constexpr int htUserButton = 1000, htTitleBarItem = 2000;

// Title-button masks, indexes into the skin's thirteen ("none" last).
enum TvkTitleMask {
  tmCloseAlone, tmClose, tmMax, tmMin, tmNorm, tmHelp, tmSmallClose, tmSmallMax, tmSmallMin, tmSmallNorm,
  tmSmallHelp, tmUserButton, tmNone
};

// One title element: a system button, an MDI child's button or a user title button.
struct TsCaptionButton {
  int State = 0;  // -1 none (not drawn), 0 normal, 1 hot, 2 pressed
  int GlowId = -1;
  TRect Rect;     // frame-cache coordinates; Right = Left when the button is not shown
  TvkSBAnimation* Animation = nullptr;
  int Code = 0;
  bool LargeCaption = false;
  uint8_t MaskKind = tmNone;
};

// What an ordered title element stands for.
enum TvkTitleElementKind { tekClose, tekMax, tekMin, tekHelp, tekUserButton, tekTitleBarItem };
struct TvkTitleElement {
  TvkTitleElementKind Kind;
  int Index;  // user button or title-bar item index; 0 for the system buttons
};

// ---- small published objects ----

// Extra height of the form header band below the caption.
class TvkFormHeader : public TPersistent {
  DECLARE_CLASS(TvkFormHeader, TPersistent)
public:
  explicit TvkFormHeader(TsSkinProvider* Provider = nullptr) : FProvider(Provider) {}
  int AdditionalHeight() const { return FAdditionalHeight; }
  void SetAdditionalHeight(int Value);

private:
  TsSkinProvider* FProvider;
  int FAdditionalHeight = 0;
};

// A second caption text with a font of its own.
class TvkAddedTitle : public TPersistent {
  DECLARE_CLASS(TvkAddedTitle, TPersistent)
public:
  explicit TvkAddedTitle(TsSkinProvider* Provider = nullptr);
  ~TvkAddedTitle() override;
  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value);
  bool ShowMainCaption() const { return FShowMainCaption; }
  void SetShowMainCaption(bool Value);
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value);
  // The font differs from a fresh one of no colour (colour not compared).
  bool IsFontStored() const;

private:
  void Repaint();
  TsSkinProvider* FProvider;
  TFont* FFont;
  std::string FText;
  bool FShowMainCaption = true;
};

// The form's icon in the caption.
class TsTitleIcon : public TPersistent {
  DECLARE_CLASS(TsTitleIcon, TPersistent)
public:
  explicit TsTitleIcon(TsSkinProvider* Provider = nullptr);
  ~TsTitleIcon() override;
  TBitmap* Glyph() const { return FGlyph; }
  void SetGlyph(TBitmap* Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value) { FHeight = Value; }
  int Width() const { return FWidth; }
  void SetWidth(int Value) { FWidth = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

private:
  void GlyphChanged(TObject* Sender);
  TsSkinProvider* FProvider;
  TBitmap* FGlyph;
  int FHeight = 0;
  int FWidth = 0;
  bool FVisible = true;
};

class TsTitleButton : public TCollectionItem {
  DECLARE_CLASS(TsTitleButton, TCollectionItem)
public:
  TsTitleButton();
  explicit TsTitleButton(TCollection* Collection);
  ~TsTitleButton() override;
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  TBitmap* Glyph() const { return FGlyph; }
  void SetGlyph(TBitmap* Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }
  bool UseSkinData() const { return FUseSkinData; }
  void SetUseSkinData(bool Value) { FUseSkinData = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  std::string GetDisplayName() const override { return FName; }
  void DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  void DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  // The hint near the cursor, kept whatever the hint window class; freed by HideHint.
  void ShowHint();
  void HideHint();
  THintWindow* HintWindow() const { return FHintWindow; }
  // Marked when the button goes: its handlers may free it.
  const TvkLifeMark& LifeMark() const { return FLife; }

  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  // Element record of the button (rectangle, state, mask, code) and its left edge in the caption.
  TsCaptionButton Data;
  int Left = 0;

protected:
  void AssignTo(TPersistent* Dest) override;

private:
  void Init();
  void GlyphChanged(TObject* Sender);
  void FreeAnimation();
  TsSkinProvider* Provider() const;
  bool FEnabled = true;
  TBitmap* FGlyph = nullptr;
  std::string FHint;
  std::string FName;
  bool FUseSkinData = true;
  bool FVisible = true;
  THintWindow* FHintWindow = nullptr;
  TvkLifeMark FLife;
};

class TsTitleButtons : public TCollection {
  DECLARE_CLASS(TsTitleButtons, TCollection)
public:
  explicit TsTitleButtons(TsSkinProvider* Provider = nullptr);
  ~TsTitleButtons() override;
  TsTitleButton* Items(int Index) const { return static_cast<TsTitleButton*>(TCollection::Items(Index)); }
  TPersistent* GetOwner() override;
  TsSkinProvider* Provider() const { return FProvider; }
  // Whether any button is visible (hidden ones take no room on the caption).
  bool AnyVisible() const;

private:
  TsSkinProvider* FProvider;
};

// The provider's description of an extra submenu of the system menu.
class TvkSysSubMenu : public TPersistent {
  DECLARE_CLASS(TvkSysSubMenu, TPersistent)
public:
  explicit TvkSysSubMenu(TsSkinProvider* Provider = nullptr) : FProvider(Provider) {}
  TvkMenuItemPos Position() const { return FPosition; }
  void SetPosition(TvkMenuItemPos Value) { FPosition = Value; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);

private:
  TsSkinProvider* FProvider;  // hears when the popup menu goes
  TvkMenuItemPos FPosition = ipBeforeClose;
  std::string FCaption;
  TPopupMenu* FPopupMenu = nullptr;
};

// A label whose font colour the skin took over: what to give back.
struct TLabelColorEntry {
  TColor SavedColor = clNone;
  TControl* Label = nullptr;
  bool SavedParentFont = false;
  bool SavedOpaque = false;
};

// ---- the provider ----
class TsSkinProvider : public TComponent {
  DECLARE_CLASS(TsSkinProvider, TComponent)
public:
  explicit TsSkinProvider(TComponent* AOwner);
  ~TsSkinProvider() override;
  // The thread hook's constructor: deferred set-up, the form's last title bar taken, then AfterConstruction.
  static TsSkinProvider* CreateRuntime(TCustomForm* AForm);
  void AfterConstruction() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // ---- published ----
  bool AllowAnimation() const { return FAllowAnimation; }
  void SetAllowAnimation(bool Value) { FAllowAnimation = Value; }
  bool AllowBlendOnMoving() const { return FAllowBlendOnMoving; }
  void SetAllowBlendOnMoving(bool Value) { FAllowBlendOnMoving = Value; }
  bool AllowSkin3rdParty() const { return FAllowSkin3rdParty; }
  void SetAllowSkin3rdParty(bool Value) { FAllowSkin3rdParty = Value; }
  bool DrawClientArea() const { return FDrawClientArea; }
  void SetDrawClientArea(bool Value) { FDrawClientArea = Value; }
  bool MakeSkinMenu() const { return FMakeSkinMenu; }
  void SetMakeSkinMenu(bool Value) { FMakeSkinMenu = Value; }
  bool ScreenSnap() const { return FScreenSnap; }
  void SetScreenSnap(bool Value) { FScreenSnap = Value; }
  bool AllowExtBorders() const { return FAllowExtBorders; }
  void SetAllowExtBorders(bool Value);
  bool DrawNonClientArea() const { return FDrawNonClientArea; }
  void SetDrawNonClientArea(bool Value);
  bool ShowAppIcon() const { return FShowAppIcon; }
  void SetShowAppIcon(bool Value);
  bool UseGlobalColor() const { return FUseGlobalColor; }
  void SetUseGlobalColor(bool Value);
  const std::string& TitleSkin() const { return FTitleSkin; }
  void SetTitleSkin(const std::string& Value);
  const std::string& MenuLineSkin() const { return FMenuLineSkin; }
  void SetMenuLineSkin(const std::string& Value);
  TvkAddedTitle* AddedTitle() const { return FAddedTitle; }
  TAlignment CaptionAlignment() const { return FCaptionAlignment; }
  void SetCaptionAlignment(TAlignment Value);
  // 255 (the default) is an invisible veil: 255 - value is the veil's constant alpha.
  uint8_t DisabledBlendValue() const { return FDisabledBlendValue; }
  void SetDisabledBlendValue(uint8_t Value);
  TColor DisabledBlendColor() const { return FDisabledBlendColor; }
  void SetDisabledBlendColor(TColor Value);
  TvkFormHeader* FormHeader() const { return FFormHeader; }
  TStringList* GluedForms() const { return FGluedForms; }
  void SetGluedForms(TStringList* Value) { FGluedForms->Assign(Value); }
  TsScrollWndData* SkinData() const { return FSkinData; }
  // The menu line's background as last painted (bar items are drawn over it).
  TBitmap* MenuLineBg() const { return FMenuLineBg; }
  TsGripMode GripMode() const { return FGripMode; }
  void SetGripMode(TsGripMode Value) { FGripMode = Value; }
  // Always rmStandard: sizing stays live.
  TsResizeMode ResizeMode() const { return FResizeMode; }
  void SetResizeMode(TsResizeMode Value);
  int SnapBuffer() const { return FSnapBuffer; }
  void SetSnapBuffer(int Value) { FSnapBuffer = Value; }
  TvkSysSubMenu* SysSubMenu() const { return FSysSubMenu; }
  TsTitleBar* TitleBar() const { return FTitleBar; }
  void SetTitleBar(TsTitleBar* Value);
  TsTitleButtons* TitleButtons() const { return FTitleButtons; }
  void SetTitleButtons(TsTitleButtons* Value);
  TsTitleIcon* TitleIcon() const { return FTitleIcon; }
  TsThirdPartyList* ThirdParty() const { return FThirdParty; }

  TvkAfterAnimation OnAfterAnimation;
  TvkNCHitTest OnExtHitTest;
  TAddItemEvent OnSkinItem;
  TAddItemExEvent OnSkinItemEx;

  // ---- component and lifecycle ----
  TCustomForm* Form() const { return FForm; }
  bool Secondary() const { return FSecondary; }
  bool DeferredSetUp() const { return FDeferredSetUp; }
  // The window method in place before this provider's (empty while not replaced).
  const TWndMethod& SavedWindowProc() const { return FSavedWindowProc; }
  void FormWindowProc(TMessage& Message);
  int GetCaptionBarHeight(bool UseSkin);
  bool HasCaption();
  int GetFrameWidth(bool UseSkin);
  // How much wider the border window's frame is than the system's (0 without a border window).
  int ExtraFrameWidth();
  // Where the window's top-left lies in the frame cache: past the border window's margins, extra frame and caption.
  TPoint WindowOriginInCache();
  // Thickness of the form's shown skinned scroll bar (0 when not shown or without a scroll adapter).
  int ShownScrollBar(bool Vertical) const;
  int GetBottomFrameHeight(bool UseSkin);
  int GetTitleButtonHeight();
  int GetTitleButtonWidth(const TsCaptionButton& Button);
  int CountSystemButtons();
  bool UseExtendedBorders();
  void LinkToSkinEditor(HWND Wnd);
  // The 23 class lists of ThirdParty (index as the manager's kinds) and whether any holds a name.
  TStringList* ThirdLists(int Index) const;
  bool HasOwnThirdLists() const { return FHasOwnThirdLists; }

  // ---- set-up, menus and labels ----
  void Loaded() override;
  void SetUpFormSkinning();
  void PrepareForm();
  void InitTitleButtonIndexes();
  void SetSystemMenuStyle(bool Skinned);
  void CheckBorderWindow(bool Allowed);
  // Whether the form is to have a border window now (Allowed: extended borders wanted).
  bool BorderWindowWanted(bool Allowed);
  void SetMDIWrapper(bool Enable);
  TsMDIForm* MDIWrapper() const { return FMDIForm; }
  // The menu line is counted again on the next frame paint; Redraw: the whole frame is painted then.
  void ForgetMenuLine(bool Redraw) {
    FMenuLineCount = -1;
    if (Redraw) FWholeFrameRepaint = true;
  }
  void CreateAdapter();
  void RemoveAdapter();
  void SendToAdapters(TMessage& Message);
  bool RefreshMenuBar();
  void InitMenuLine();
  void SkinFormMenus(bool Skin);
  void SkinLabelFont(TControl* Label, bool Skin);
  const std::vector<TLabelColorEntry>& SkinnedLabels() const { return FLabels; }
  void InvalidateFrame();
  // The whole frame is rebuilt on the next paint: section read again, cache and caption glows dropped, the
  // menu line counted again.
  void InvalidateFrameCache();
  void BeginTrackingFrame(int X, int Y);
  void DrawTrackingFrame(int DX, int DY);
  void EndTrackingFrame();

  // ---- metrics, region, cover ----
  bool HasMenuLine();
  bool IsGripShown();
  bool IsFramePaintSuspended() const { return FFramePaintSuspended; }
  void CollectBorderMaskRects();
  const std::vector<TRect>& TransparentRects() const { return FTransparentRects; }
  // A rectangle region of the frame cache's width and the form's height at (X, Y) less the transparent
  // rectangles; the caller owns it.
  HRGN CreateFormRegionAt(int X, int Y);
  void ApplyWindowRegion(bool Repaint, bool Quiet);
  void ShowCaptionCover();
  void HideCaptionCover();
  TCustomForm* CaptionCover() const { return FCaptionCover; }
  void RedrawFrameNow();
  void UpdateFormScrollAdapter();
  void LoadThirdPartyLists();
  void SaveThirdPartyLists();

  // ---- header, sections, veil, state word ----
  void UpdateTitleSectionIndexes();
  bool HeaderShown();
  void UpdateDisabledVeil();
  TCustomForm* Veil() const { return FVeil; }
  uint32_t FormStateFlags() const { return FFormState; }
  void SetFormStateFlags(uint32_t NewFlags);
  int TitleSectionIndex() const { return FTitleIndex; }
  int HeaderSectionIndex() const { return FHeaderIndex; }
  int CaptionSectionIndex() const { return FCaptionIndex; }

  // ---- frame painting and the cache ----
  bool PaintFormFrame();
  // Rebuilds of the frame cache so far (a caller can tell whether a step repainted the frame).
  int FramePaints() const { return FFramePaints; }
  void DrawFrameCache(HDC DC);
  void PaintFormTo(HDC DC, const TRect& R, bool Notify);
  int GetClientOffsetLeft();
  int GetClientOffsetTop();
  int GetMenuLineCount();
  bool MenuLineHasItems();
  int GetZoomedCaptionExcess(bool Maximized);
  int FrameCacheWidth();
  bool FrameCacheSizeChanged();
  int GetTopNonClientHeight();
  int MenuLineHeight();
  bool HasBiSystemMenu();
  bool ShowsMDIChildButtons();
  void PaintMDIChildButtons();
  int MenuLineHit(TPoint P);
  int SmallCloseButtonWidth();
  int SmallCloseButtonHeight();
  int GetUserButtonWidth(TsTitleButton* Button);
  int GetTitleButtonsWidth();
  TPoint GetGripPosition(int MaskIndex);
  bool HasTitleIcon();
  int TitleIconWidth();
  int TitleIconHeight();
  void PaintTitleIcon();
  void PaintGrip(HDC DC);
  void PaintFormBackground(HDC DC);
  void RepaintNonClient();
  void PaintClient(TMessage& Message);
  void SaveTitleStrip(int RightEdge, bool Full);
  void RestoreTitleStrip(int RightEdge);
  void PaintMenuButtonsForm(TObject* Sender);
  // The cover's picture: the frame cache where the cover lies.
  void PaintMenuLoopCover(HDC DC);
  // Where the cover of a maximised MDI child's buttons lies during the menu loop, in window coordinates.
  TPoint MenuLoopCoverPoint();
  void RepaintMenuBarItem(TMenuItem* Item, const TRect& R, TOwnerDrawState State);
  // The bar painter reports each item it draws on the window, so one left hot can be put back.
  void NoteMenuBarItemDrawn(TMenuItem* Item, const TRect& R, TOwnerDrawState State);
  TMenuItem* HotMenuBarItem() const { return FHotMenuItem; }
  static TCustomForm* MenuLoopCover();
  TBitmap* FrameCache() const { return FSkinData->CacheBmp; }

  // ---- caption layout and services ----
  void PerformFormMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
  void GetExtBorderMargins(TRect& Margins);
  virtual int GetCaptionTopOffset();
  int GetSkinTitleHeightByState(bool Maximized);
  void UpdateCaptionLayout();
  void InitTitleBarItems();
  // One title-bar item into R of Bmp (the frame cache, or an animation's image).
  void PaintTitleBarItem(TvkTitleBarItem* Item, const TRect& R, TBitmap* Bmp);
  // Every visible title-bar item into the frame cache, down tabs last.
  void PaintTitleBarItems(TBitmap* Cache);
  // The first visible title-bar item under P (frame-cache coordinates); -1 for none.
  int TitleBarItemAt(TPoint P);
  // Item Index of the title bar; nil without a bar or out of range.
  TvkTitleBarItem* TitleBarItem(int Index) const;
  TvkTitleBarItem* TitleBarRightButtonItem(int Code);
  // The hint of a hot title-bar item, after the application's hint pause while the cursor stays on the item.
  void StartItemHint(TvkTitleBarItem* Item);
  void ItemHintTimer(TObject* Sender);
  // A waiting item hint is dropped (the item left, was pressed or went).
  void StopItemHint();
  void FreeTitleAnimations();
  // The fades of the title bar's items freed (their windows with them).
  void FreeTitleBarAnimations();
  // The caption text's room with a title bar: between its left and its right items (ShowCaption: the bar lets
  // the form's caption show); False without a bar.
  bool TitleBarTextArea(TRect& R, bool& ShowCaption);
  // The title bar's items sized for a new scale.
  void RescaleTitleBar(int Percent);
  bool IsControllerPopup();
  // The title elements in numbering order, counted again from the current buttons and items.
  const std::vector<TvkTitleElement>& TitleElements() {
    BuildTitleElements();
    return FTitleElements;
  }
  TRect IconRect() const { return FIconRect; }
  int CaptionBottom() const { return FCaptionBottom; }
  int TitleCenterLine() const { return FTitleCenter; }

  // ---- hit test and title-element states ----
  int HitTestAt(TMessage& Message);
  // P (window coordinates) lies on the shown size grip: right of and below its top-left corner.
  bool OnGrip(TPoint P);
  int ElementAt(TPoint P);
  void ScreenToWindowPoint(int X, int Y, TPoint& P);
  void GetWindowOrigin(TPoint& P);
  void SetHotElement(int Code, bool Repaint);
  void PressElement(int Code);
  void PressTitleBarItem(int Code);
  // A press on a title-bar item through the mouse (hint, pressed look, its drop-down prepared, its MouseDown).
  void PressTitleBarItemAt(int Code, int X, int Y);
  void RepaintTitleButton(int Code);
  void ShowTitleButtonGlow(TsCaptionButton& Button, int Code, int Kind);
  void PopupSystemMenu(int X, int Y);
  // The record of a title element by its code; nil for none.
  TsCaptionButton* ButtonByCode(int Code);
  int HotElement() const { return FHotElement; }
  bool ElementPressed() const { return FPressed; }
  TsSystemMenu* SystemMenu() const { return FSystemMenu; }
  // The seven system records: MDI minimise, MDI restore, minimise, maximise/restore, help, close, MDI close.
  TsCaptionButton ButtonMDIMin, ButtonMDIRestore, ButtonMin, ButtonMax, ButtonHelp, ButtonClose, ButtonMDIClose;

  // ---- state the engine and the later parts read ----
  TvkBorderForm* BorderForm() const { return FBorderForm; }
  TvkCtrlAdapter* CtrlAdapter() const { return FAdapter; }
  TObject* ScrollAdapter() const { return FScrollAdapter; }
  bool CaptionActive() const { return FFormActive; }
  bool FrameDirty() const { return FFrameDirty; }
  bool FormAnimating() const { return FFormAnimating; }
  bool ShowAnimating() const { return FShowAnimating; }
  int RedrawLockCount() const { return FRedrawLockCount; }
  // The picture of the form kept for a skin change (owned; a new one frees the old) and the mark that one runs.
  TBitmap* SkinChangeSnapshot() const { return FSnapshotBitmap; }
  void SetSkinChangeSnapshot(TBitmap* Snapshot);
  void SetSkinChanging(bool Changing) { FSkinChanging = Changing; }

  // ---- message handlers ----
  // caption and menus
  void WMInitMenuPopup(TMessage& Message);
  void WMGetMinMaxInfo(TMessage& Message);
  void WMNCMouseMove(TMessage& Message);
  void CMMouseWheel(TMessage& Message);
  // activation, position, size, system commands
  void WMNCActivate(TMessage& Message);
  void WMActivate(TMessage& Message);
  void WMActivateApp(TMessage& Message);
  void WMChildActivate(TMessage& Message);
  void WMMDIActivate(TMessage& Message);
  void WMWindowPosChanging(TMessage& Message);
  // A form about to shrink cuts its border window to the new size and goes under it first; True when the change
  // was such a shrink (the rest of the position handling is then left to the form's own procedure).
  bool ShrinkBorderWindow(const WINDOWPOS& WP);
  // A resized form's border window takes the new size and its place, and the form's own code is told.
  void PlaceBorderAfterSize();
  void WMWindowPosChanged(TMessage& Message);
  void WMWindowPosChangedUnskinned(TMessage& Message);
  void WMMove(TMessage& Message);
  void WMSize(TMessage& Message);
  void WMSizing(TMessage& Message);
  void WMExitSizeMove(TMessage& Message);
  void WMSysCommand(TMessage& Message);
  // skin commands and the editor link
  bool FilterSkinCommand(TMessage& Message);
  void SkinCommand(TMessage& Message);
  bool SkinCommandUnskinned(TMessage& Message);
  void WMCopyData(TMessage& Message);
  void EditorCommand(TMessage& Message);
  // mouse
  void WMNCHitTest(TMessage& Message);
  void WMNCLButtonDown(TMessage& Message);
  void WMLButtonUp(TMessage& Message);
  void WMNCLButtonDblClk(TMessage& Message);
  void WMNCRButtonDown(TMessage& Message);
  void WMNCRButtonUp(TMessage& Message);
  void WMMouseMove(TMessage& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  // painting, showing, children
  void WMNCPaint(TMessage& Message);
  void WMPaint(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMPrint(TMessage& Message);
  // The DC clipped to what a print asks for of the cache's picture: the frame around the client, the client, both.
  void ClipToPrintedParts(HDC DC, bool Frame, bool Client);
  // The frame printed from the cache without a border window (four strips for a sizable form without caption).
  void PrintFrameWithoutBorderWindow(HDC DC);
  void WMSetText(TMessage& Message);
  void WMSetIcon(TMessage& Message);
  void WMSetRedraw(TMessage& Message);
  void CMMenuChanged(TMessage& Message);
  void WMSysColorChange(TMessage& Message);
  void WMSettingChange(TMessage& Message);
  void WMStyleChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void WMCreate(TMessage& Message);
  void WMNCCreate(TMessage& Message);
  void CMShowingChanged(TMessage& Message);
  void WMShowWindow(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  // True when it ran the form's own procedure itself.
  bool CMVisibleChangedUnskinned(TMessage& Message);
  void WMClose(TMessage& Message);
  void WMQueryEndSession(TMessage& Message);
  void WMNCDestroyUnskinned(TMessage& Message);
  void CMRecreateWnd(TMessage& Message);
  void RecreateScrollAdapter(TMessage& Message);
  void WMParentNotify(TMessage& Message);
  void WMNotify(TMessage& Message);
  void CMControlListChange(TMessage& Message);
  void WMContextMenu(TMessage& Message);
  void WMMeasureItem(TMessage& Message);
  void WMEnterMenuLoop(TMessage& Message);
  void WMExitMenuLoop(TMessage& Message);

  // The form's own procedure (the saved one) on a message.
  void CallOwnProc(TMessage& Message);

protected:
  void PreDestroy() override;

private:
  friend class TsSystemMenu;
  friend class TvkFormHeader;
  friend struct TsSkinProviderAccess;
  friend struct TvkProviderEffects;  // the form effects' units (animations, glue, border window)  // tests and the later parts reach the run-time state through it

  // lifecycle helpers
  void Construct(TComponent* AOwner);
  void ReleaseFormLink();
  void LinkSkinDataToWindow();
  bool FormDestroying() const;
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  bool ProviderLoading() const { return ComponentState().Contains(csLoading); }
  HWND FormHandle() const;
  bool FormIconic() const;
  bool FormZoomed() const;
  TsSkinManager* Manager() const;
  void ResetHotElement() { SetHotElement(-1, true); }
  void BuildTitleElements();
  // The cache's height: the form's, 160-pixel-wide caption strips for a minimised form that is not the main one,
  // plus the extra frame and caption and the margins of a border window.
  int FrameCacheHeight();
  void PlaceTitleButton(TsCaptionButton& Button, TsTitleButton* UserButton, int& X, int Top);
  void PaintCaptionSection();
  void PaintCaptionText();
  void PaintTitleButtons();
  void PaintSystemButton(TsCaptionButton& Button, bool Enabled);
  void PaintMenuLine();
  void PaintMDIArea();
  // Each bar item of the main menu drawn by its own handler into the cache's menu-line band.
  void PaintMenuLineItems(const TRect& Band);
  // An MDI parent's window menu: the system's list replaced by one item per visible child.
  void RebuildWindowList(HMENU Popup);
  void WindowListItemClick(TObject* Sender);
  void PaintExtendedBorder();
  void SnapshotForHiding();
  // The hold of a hide snapshot ends (the window is back without a showing change): the frame is painted anew.
  void EndHideHold();
  // The border window shows the picture the cache holds (the whole form, taken for a hide) where it stands.
  void ShowSnapshotOnBorderWindow();
  // The frame cache shown on the border window (made when missing) as it stands, over the z-order.
  void ShowFrameOnBorderWindow();
  // The hide may fade the form; WithSnapshot: the hide snapshot already made (0x200) does not count against it.
  bool HideAnimationAllowed(bool CheckParent, bool WithSnapshot = false);
  void FrameRedraw() { PerformFormMessage(WM_NCPAINT, 0, 0); }
  void UpdateBorder(bool Repaint, uint8_t Alpha);
  void FreeBorderForm();
  // A minimise or restore flight still running ends through the timer's own ending (the form opaque again, its
  // bits cleared) and the timer goes; any other running animation timer is only freed.
  void EndRunningFlight();
  // An animation timer runs now (one that has ended stays with the provider and does not count).
  bool AnimationRunning() const;
  // The border form's layered window freed (the border form makes a new one when it is next updated).
  void FreeBorderLayeredWindow();
  // ---- MDI (sSkinProviderMDI.cpp) ----
  // The skinner of the MDI main form's active child (nil: none, or a child without one).
  TsSkinProvider* ActiveChildSkinner() const;
  // The active child allows what a press on its button on the menu line asks (restore; minimise and restore).
  bool MDIButtonAllowed(int Code) const;
  // A release on a maximised child's button on the menu line: the child gets the command when it was pressed.
  void ReleaseMDIButton(int Code, bool Pressed);
  void MDIChildSysCommand(TMessage& Message);
  // An MDI child lying under the main form's maximised active child (it paints nothing).
  bool HiddenUnderAnotherMaximisedChild() const;
  // An MDI main form whose active child is maximised (its client is then the form's background alone).
  bool UnderMaximisedChild() const;
  // The MDI main form adopts its children that have no skin yet.
  void AdoptUnskinnedMDIChildren();
  // The MDI client window printed at its place in the form's picture.
  void PrintMDIClient(HDC DC, LPARAM Flags);
  // An MDI main form's client window redrawn with these RedrawWindow flags (nothing for other forms).
  void RedrawMDIClient(UINT Flags);
  // The border window's layered window (0 without one or before its window exists).
  HWND BorderLayeredHandle() const;
  // A non-client mouse message's hit code; the border window's -1 becomes its hit test of the point.
  int NonClientCode(TMessage& Message);

  // ---- published values ----
  bool FAllowAnimation = true;
  bool FAllowBlendOnMoving = true;
  bool FAllowSkin3rdParty = true;
  bool FDrawClientArea = true;
  bool FMakeSkinMenu = false;
  bool FScreenSnap = false;
  bool FAllowExtBorders = true;
  bool FDrawNonClientArea = true;
  bool FShowAppIcon = true;
  bool FUseGlobalColor = true;
  std::string FTitleSkin;
  std::string FMenuLineSkin;
  TAlignment FCaptionAlignment = taLeftJustify;
  uint8_t FDisabledBlendValue = 255;
  TColor FDisabledBlendColor = 0;
  TsGripMode FGripMode = gmNone;
  TsResizeMode FResizeMode = rmStandard;
  int FSnapBuffer = 10;

  // ---- owned objects and references ----
  TCustomForm* FForm = nullptr;
  TsThirdPartyList* FThirdParty = nullptr;
  std::array<TStringList*, kThirdPartyKinds> FThirdLists{};
  bool FHasOwnThirdLists = false;
  TWndMethod FSavedWindowProc;
  class TvkFormProcLink* FProcLink = nullptr;
  TBitmap* FTitleStrip = nullptr;
  TBitmap* FMenuLineBg = nullptr;
  bool FRunTimeBitmaps = false;
  TBitmap* FCaptionGlow[2] = {nullptr, nullptr};  // inactive, active
  std::vector<TRect> FTransparentRects;
  TvkCtrlAdapter* FAdapter = nullptr;
  TObject* FScrollAdapter = nullptr;
  TsSystemMenu* FSystemMenu = nullptr;
  TvkBorderForm* FBorderForm = nullptr;
  TCustomForm* FCaptionCover = nullptr;  // a glow form
  TsMDIForm* FMDIForm = nullptr;
  TvkThreadedTimer* FAnimTimer = nullptr;
  TTimer* FSnapTimer = nullptr;
  TTimer* FHintTimer = nullptr;
  TvkTitleBarItem* FHintItem = nullptr;  // the item whose hint the timer waits for
  TRect FHintArea;                       // that item on the screen
  TsScrollWndData* FSkinData = nullptr;
  TvkAddedTitle* FAddedTitle = nullptr;
  TvkFormHeader* FFormHeader = nullptr;
  TStringList* FGluedForms = nullptr;
  TvkSysSubMenu* FSysSubMenu = nullptr;
  TsTitleBar* FTitleBar = nullptr;
  TsTitleButtons* FTitleButtons = nullptr;
  TsTitleIcon* FTitleIcon = nullptr;
  TCustomForm* FVeil = nullptr;          // a glow form
  TCustomForm* FSnapshotForm = nullptr;  // a glow form
  TBitmap* FSnapshotBitmap = nullptr;

  // ---- run-time state ----
  bool FDeferredSetUp = false;
  bool FSecondary = false;
  bool FComposition = false;
  bool FFrameDirty = true;
  bool FCaptionZoom = false;
  bool FMetricsChanged = false;
  int FMenuLineCount = -1;
  int FFramePaints = 0;
  int FTitleIndex = -1;
  int FHeaderIndex = -1;
  int FCaptionIndex = -1;
  bool FFormActive = true;
  int FHotElement = 0;
  bool FPressed = false;
  int FPressedItem = -1;  // the title-bar item whose press waits for its release
  bool FRightPressed = false;
  THintWindow* FButtonHint = nullptr;
  uint32_t FFormState = 0;
  bool FInPosChanging = false;
  bool FFramePaintSuspended = false;
  bool FFirstSetUp = true;
  bool FMenuLineReady = false;
  bool FSavedMenuOwnerDraw = false;
  bool FSizingInProgress = false;
  bool FSizingCancelled = false;
  bool FPendingGrab = false;
  int FSizingEdge = 0;
  int FTitleButtonMask = -1;  // "TITLEBUTTON" of the skin
  std::vector<TLabelColorEntry> FLabels;
  bool FRegionPending = true;
  bool FRegionBeingSet = false;
  bool FRegionSkipped = false;
  bool FForcedRegion = false;  // never set
  bool FClipOnly = false;      // never set
  bool FHeaderMode = false;
  bool FWholeFrameRepaint = false;
  int FCaptionStateIndex = -1;
  bool FShowAnimating = false;
  bool FFormAnimating = false;
  bool FMinimizingGuard = false;
  bool FMenuLoop = false;
  TMenuItem* FHotMenuItem = nullptr;  // a bar item drawn hot on the window, not in the cache
  TRect FHotMenuRect;
  int FOwnerHideState = 0;
  int FRedrawLockCount = 0;
  TRect FLastClientRect;
  TRect FSavedBounds;
  TPoint FBorderPos{-32000, -32000};  // the border window's last position (its WM_WINDOWPOSCHANGING)
  bool FPendingShow = false;
  bool FShortCaption = false;
  bool FSkinChanging = false;
  bool FSkinActive = false;
  int FHotButtonIndex = -1;
  HWND FLinkedWnd = nullptr;
  // caption geometry (frame-cache coordinates)
  int FCaptionBottom = 0;
  int FTitleCenter = 0;
  TRect FIconRect;
  int FTitleRightLimit = 0;
  std::vector<TvkTitleElement> FTitleElements;
};

// Parts of the form skinner that later subsystems build: the border window, the child-control walker, the
// form's scroll adapter, the title bar, the MDI wrapper and the form animations. Their units fill the entries
// when they start; an empty entry means the part does not exist here (no border window is made, no child is
// adapted, no animation runs), and the provider goes on as without it.
struct TvkProviderParts {
  // border window
  TvkBorderForm* (*NewBorderForm)(TsSkinProvider* Provider) = nullptr;
  void (*FreeBorderForm)(TvkBorderForm* BorderForm) = nullptr;
  int (*BorderHitTest)(TvkBorderForm* BorderForm, TMessage& Message) = nullptr;
  // child-control walker
  TvkCtrlAdapter* (*NewCtrlAdapter)(TsSkinProvider* Provider) = nullptr;
  void (*FreeCtrlAdapter)(TvkCtrlAdapter* Adapter) = nullptr;
  void (*WalkControlsOf)(TvkCtrlAdapter* Adapter, TWinControl* Control) = nullptr;
  void (*AddItem)(TvkCtrlAdapter* Adapter, TWinControl* Control) = nullptr;
  void (*AddWindow)(TvkCtrlAdapter* Adapter, HWND Wnd) = nullptr;
  bool (*IsControlToSkin)(TvkCtrlAdapter* Adapter, TControl* Control) = nullptr;
  void (*SendToAdapters)(TvkCtrlAdapter* Adapter, TMessage& Message) = nullptr;
  // the form window's scroll adapter
  TObject* (*NewScrollAdapter)(TsSkinProvider* Provider) = nullptr;
  void (*FreeScrollAdapter)(TObject* Adapter) = nullptr;
  bool (*ScrollAdapterDetached)(TObject* Adapter) = nullptr;
  // Thickness of a shown skinned scroll bar (0 when not shown); the frame width the adapter keeps.
  int (*ScrollBarShown)(TObject* Adapter, bool Vertical) = nullptr;
  int (*ScrollFrameWidth)(TObject* Adapter) = nullptr;
  // Both scroll bars' information read again and the bars repainted.
  void (*ReloadScrollBars)(TObject* Adapter) = nullptr;
  // MDI wrapper
  TsMDIForm* (*NewMDIForm)(TsSkinProvider* Provider) = nullptr;
  void (*FreeMDIForm)(TsMDIForm* Wrapper) = nullptr;
  // the wrapper's adapter of the MDI client window
  TvkMDIWnd* (*NewMDIClientAdapter)(TsMDIForm* Wrapper) = nullptr;
  void (*FreeMDIClientAdapter)(TvkMDIWnd* Adapter) = nullptr;
  // animations of the form (its show and hide are the engine's, called directly)
  void (*AnimateMinimizing)(TsSkinProvider* Provider) = nullptr;
  void (*AnimateRestoring)(TsSkinProvider* Provider) = nullptr;
  TBitmap* (*MakeAnimationBitmap)(TsSkinProvider* Provider, bool FreeCache) = nullptr;
  void (*FreeTitleAnimation)(TvkSBAnimation*& Animation) = nullptr;
  // The animated repaint of a title element: True when a fade took it (nothing is drawn directly then).
  bool (*AnimateTitleElement)(TsSkinProvider* Provider, int Code) = nullptr;
  // glue, snapping, the move fade and taskbar previews
  void (*RecordGluedForms)(TsSkinProvider* Provider, bool RecordGlued) = nullptr;
  void (*MoveGluedForms)(TsSkinProvider* Provider) = nullptr;
  void (*SnapPosition)(TsSkinProvider* Provider, int& X, int& Y) = nullptr;
  // True when the move fade took the caption press (it ran the move loop).
  bool (*BeginCaptionMove)(TsSkinProvider* Provider) = nullptr;
  // WM_DWMSENDICONICTHUMBNAIL and WM_DWMSENDICONICLIVEPREVIEWBITMAP answered.
  void (*TaskbarPreview)(TsSkinProvider* Provider, TMessage& Message) = nullptr;
  // The skin's outer border and shadow into the margins of the frame cache (with a border window).
  void (*PaintExtendedBorder)(TsSkinProvider* Provider, TBitmap* Cache) = nullptr;
  // the skinned-menu painter: a form's menu bar set up for it
  void (*InitMainMenu)(TsSkinableMenus* Painter, TMainMenu* Menu, bool Skin) = nullptr;
  // The open popups of the popup controller closed, but the one Sender lies on.
  void (*ClosePopups)(TObject* Sender) = nullptr;
  // title bar: its items as title elements
  int (*TitleBarItemCount)(TsTitleBar* Bar) = nullptr;
  // The items placed in the caption's area, and a press or release of item Index.
  void (*LayoutTitleBar)(TsSkinProvider* Provider, const TRect& Area, int RightLimit, int CentreLine) = nullptr;
  void (*TitleBarItemMouse)(TsSkinProvider* Provider, int Index, bool Down, int X, int Y) = nullptr;
  // Item Index becomes hot (its enter event, hint and fade) or leaves.
  void (*TitleBarItemHot)(TsSkinProvider* Provider, int Index, bool Hot) = nullptr;
  // The form is an open popup of the popup controller (it stays drawn active).
  bool (*IsControllerPopup)(TCustomForm* Form) = nullptr;
};
extern TvkProviderParts ProviderParts;

// ---- helpers of the unit ----
// The dialog-id search of Parent's components (windowed, with a window); nil when none.
TWinControl* FindControlByDlgID(int ID, TComponent* Parent);
int SnapDelta(int Pos, int Edge, int Buffer);
// Icon size for a caption height: up to 8 gives 1, 9..16 gives 8, 17..47 gives 16, 48..64 gives 24, else 32.
int IconSizeForHeight(int H);
// The provider of the form that owns Component (0x04 asked of the form); nil for none.
TsSkinProvider* FindOwnerFormProvider(TComponent* Component);
void RefreshMDIMainFrame(bool Repaint);
// The MDI main provider and the active MDI child provider (process-wide).
TsSkinProvider* MDIMainProvider();
TsSkinProvider* ActiveMDIChildProvider();
// The window the skin editor is linked to (0 = none).
HWND LinkedEditorWindow();
// Providers alive in the process (the hook's free notification reads them).
bool ProviderAlive(TsSkinProvider* Provider);
// The forwarders left in window-method chains by providers that went while a later method sat on top (unit end).
void FreeDetachedProcLinks();
