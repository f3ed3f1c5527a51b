// Menus painted from the skin. Every menu of the program is turned owner-drawn and its items get the painter's
// measure and draw handlers; the popup's background (frame, icon column, extra line, corner cut-outs) is painted
// once per popup into a cache that the item painter copies from, and a form's menu bar items are drawn over the
// form's menu line.
//
//   sSkinMenus.cpp            options, owner-draw set-up, fonts
//   sSkinMenusPopup.cpp       popup items: measuring and painting
//   sSkinMenusBackground.cpp  the popup background cache, the extra line and the popup's shape
//   sSkinMenusBar.cpp         the items of a main menu's bar
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/Menus.h"
#include "skin/core/vkFormServices.h"  // SkinnedMenuShowing
#include "skin/graphics/vkKeyRegions.h"

class TsSkinManager;
class TsSkinProvider;

enum TsMenuItemType { smCaption, smDivider, smNormal, smTopLine };

using TsMenuManagerDrawItemEvent =
    TDelegate<void(TObject* Sender, TCanvas* ACanvas, TRect& ARect, TOwnerDrawState State, TsMenuItemType ItemType)>;

// One popup's painted background. Looked up by the popup's first item, its window and its size, so a popup
// that reuses a first item at another size or in another window never gets a foreign background.
struct TMenuBgCacheRecord {
  TMenuItem* KeyItem = nullptr;
  TBitmap* Background = nullptr;  // owned by the cache
  HWND Wnd = nullptr;
  bool ExtraLine = false;
  // The frame's transparent corners, in window coordinates: a popup is shaped by its own background's.
  TKeyRuns Cutouts;
};

// ---- unit state ----
// A caption beginning and ending with this character is a caption item.
extern char CaptionMarker;
// Weight of the background blended over a disabled item.
extern int MenuDisabledBlend;
// The layout values the last background build left for the item painter.
extern int MenuGlyphColumnWidth;
extern int MenuTextOffset;

const std::vector<TMenuBgCacheRecord>& MenuBgCache();
// Frees every background and empties the cache.
void ClearMenuBgCache();
// Frees the backgrounds built for a popup window that closes (nil: the last popup closed, all of them).
void ForgetMenuBgWindow(HWND Wnd);

// Items posted to the application window so that it finds their popup window and shapes it. The message carries
// the item's address: an item freed before its turn is forgotten here, so the address is then never read.
void RememberPostedItem(TMenuItem* Item);
// True (and forgotten) when Item is a remembered live item; Item is compared, not read.
bool TakePostedItem(const void* Item);

// ---- item helpers ----
// Size of the item's glyph: its bitmap, the parent's SubMenuImages width, the menu's image size, else the
// default glyph size. BitmapOnly: only a non-empty bitmap counts.
void ItemGlyphSize(TMenuItem* Item, bool BitmapOnly, TSize& Size);
// The item lies in a later column of a multi-column popup.
bool HasBreakBefore(TMenuItem* Item);
bool IsFirstVisibleItem(TMenuItem* Item);
bool IsLastVisibleItem(TMenuItem* Item);
// The text shown for a shortcut (empty without one).
std::string ItemShortCutText(TMenuItem* Item);
// The system's locale is a Middle-East one (SM_MIDEASTENABLED); replaceable for tests.
extern bool (*SysLocaleMiddleEast)();
// Right-to-left drawing: a Middle-East system locale and a menu not read left to right.
bool MenuRightToLeft(TMenuItem* Item);

class TsSkinableMenus : public TPersistent {
  DECLARE_CLASS(TsSkinableMenus, TPersistent)
public:
  explicit TsSkinableMenus(TsSkinManager* Manager = nullptr);
  ~TsSkinableMenus() override;

  // ---- options ----
  int Margin = 2;
  int Spacing = 8;
  int BevelWidth = 0;  // stored only
  int BorderWidth = 3;
  TAlignment Alignment = taLeftJustify;
  TsMenuManagerDrawItemEvent OnDrawItem;
  // The type of the item being measured or drawn.
  TsMenuItemType ItemType = smNormal;
  TsSkinManager* SkinManager() const { return FSkinManager; }
  // The font menus are drawn with (the menu font when set, else the screen's); never the object set below.
  TFont* CaptionFont() const;
  void SetCaptionFont(TFont* Value);
  TFont* OwnCaptionFont() const { return FCaptionFont; }
  // -1 makes the next read measure the popup section's border mask again.
  int SkinBorderWidth();
  void SetSkinBorderWidth(int Value) { FSkinBorderWidth = Value; }

  // ---- activation and set-up ----
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  void SyncActive();
  void ApplyToAllMenus(bool Value);
  void InitPopupMenu(TPopupMenu* Menu, bool Activate);
  void InitMainMenu(TMainMenu* Menu, bool Activate);
  void InitMenuItem(TMenuItem* Item, bool Activate);
  void InitItemTree(TMenuItem* Item, bool Activate);
  bool IsMainMenuTopItem(TMenuItem* Item) const;
  bool IsCaptionItem(TMenuItem* Item) const;

  // ---- popup section ----
  int PopupBorderWidth() const;
  bool NoPopupBorderMask() const;
  void ApplyItemFont(TCanvas* Canvas, TMenuItem* Item, bool UseCaptionFont, bool Bold);
  int ExtraLineWidthFor(const TMenuBgCacheRecord& Rec) const;

  // ---- popup items ----
  void MeasurePopupItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
  void DrawPopupItem(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State);
  int ItemHeight(TCanvas* Canvas, TMenuItem* Item);
  int PopupItemsHeight(TCanvas* Canvas, TMenuItem* Item);
  int PopupItemsWidth(TCanvas* Canvas, TMenuItem* Item);
  void DrawDividerItem(TCanvas* ACanvas, const TRect& ARect, const TMenuBgCacheRecord& Rec, TBitmap* Bg,
                       TMenuItem* Item);
  void DrawCaptionItem(TCanvas* ACanvas, const TRect& ARect, const TMenuBgCacheRecord& Rec, TBitmap* Bg,
                       TMenuItem* Item);

  // ---- popup background and shape ----
  // Rec gets the record of Item's popup (or, without an item, of Wnd); with a canvas a missing one is built.
  void GetPopupBackground(TMenuItem* Item, int Width, TMenuBgCacheRecord& Rec, HWND Wnd, TCanvas* Canvas, int Height);
  void BuildPopupBackground(TMenuItem* KeyItem, int Width, HWND Wnd, int Height);
  // Wnd's region without the record's corner cut-outs, and the frame of its background painted into the window.
  void ApplyPopupShape(HWND Wnd, const TMenuBgCacheRecord& Rec);
  // The extra-line font turned by Escapement on Canvas, in the extra-line section's colour; the handle made is
  // the caller's to delete once the canvas is done with it.
  HFONT SetExtraLineFont(TCanvas* Canvas, TMenuItem* KeyItem, int Escapement);

  // ---- bar items ----
  void DrawBarItem(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State);
  void MeasureBarItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
  TRect BarItemTextRect(const TRect& ARect) const;
  // Set by a form skinner around its own calls of DrawBarItem while it paints its menu line.
  TsSkinProvider* PaintingProvider = nullptr;

private:
  int SectionOf(int StdIndex) const;
  int MainMenuBorderMask() const;
  // The extra-line data of a popup whose first item is KeyItem; false when no extra line is shown.
  bool FetchExtraLineData(TMenuItem* KeyItem);
  bool FindRecord(TMenuItem* Key, HWND Wnd, int Width, int Height, TMenuBgCacheRecord& Rec) const;
  void PaintPopupGlyph(TBitmap* Bmp, TMenuItem* Item, const TRect& R, int State, bool Enabled);
  void PaintSysCommandGlyph(TBitmap* Bmp, TMenuItem* Item, const TRect& ItemR, bool RightToLeft, int State);
  void PaintCheckMark(TBitmap* Bmp, TMenuItem* Item, int State, bool RightToLeft, int GlyphWidth);
  void DrawItemTexts(TBitmap* Bmp, TMenuItem* Item, TOwnerDrawState State, int SkinState, bool RightToLeft,
                     int GlyphWidth);
  TsSkinProvider* FindBarProvider(TMenuItem* Item, TCanvas* Canvas);

  TsSkinManager* FSkinManager;
  TFont* FCaptionFont;
  int FSkinBorderWidth = 0;
  bool FActive = false;
  bool FBusy = false;  // ApplyPopupShape runs
};

// The application's MDI parent has a skinner and shows its maximised active child's icon on its menu line (the
// child has a system menu; a child without an icon of its own shows the program's).
bool MDIChildShowsSysIcon();

// ---- unit ----
// The skinned-menu entries of the engine's form-services table; at the end the cache is emptied.
void SkinMenusInitialize();
void SkinMenusFinalize();
