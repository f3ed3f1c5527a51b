#pragma once
// Menus: items (components owned by the form, nested in stored descriptions), main menus shown on a
// form's menu bar and merged by GroupIndex, popup menus tracked through a hidden popup-list window.
// Each item with sub-items owns a menu handle whose entries are rebuilt whenever an item changes;
// an entry's id is the item's Command and its item data the item, so WM_COMMAND, WM_INITMENUPOPUP,
// WM_MEASUREITEM and WM_DRAWITEM find their item. Owner-drawn items are measured and drawn through
// OnMeasureItem and OnAdvancedDrawItem (else OnDrawItem, else a plain look of their own).

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/ImgList.h"

class TMenu;
class TMainMenu;

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
enum TFindItemKind { fkCommand, fkHandle, fkShortCut };
enum TPopupAlignment { paLeft, paRight, paCenter };
enum TMenuAnimations { maLeftToRight, maRightToLeft, maTopToBottom, maBottomToTop, maNone };
using TMenuAnimation = TSet<TMenuAnimations>;

using TMenuDrawItemEvent = TDelegate<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    TDelegate<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State)>;
using TMenuMeasureItemEvent = TDelegate<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;

// Shortcut texts: "Shift+Ctrl+F5", "Alt+F4", "Del" (modifiers in that order, fixed English key names);
// TextToShortCut reads them back, case-insensitively; 0 for text it does not know.
std::string ShortCutToText(TShortCut ShortCut);
TShortCut TextToShortCut(const std::string& Text);
TShortCut ShortCut(WORD Key, TShiftState Shift);

// ---------------------------------------------------------------------------------------------------
class TMenuItem : public TComponent {
  DECLARE_CLASS(TMenuItem, TComponent)
public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  // The caption "-" makes the item a dividing line.
  bool IsLine() const { return FCaption == "-"; }
  bool Checked() const { return FChecked; }
  // Checking a RadioItem unchecks the radio items of its GroupIndex among its siblings.
  void SetChecked(bool Value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // An invisible item has no entry in its parent's menu.
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  TMenuBreak Break() const { return FBreak; }
  void SetBreak(TMenuBreak Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  // Made empty on first use.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  // The images of this item's sub-items (a freed list is forgotten).
  TCustomImageList* SubMenuImages() const { return FSubMenuImages; }
  void SetSubMenuImages(TCustomImageList* Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value) { FHelpContext = Value; }
  // Unique among the live items of the process: the id of the item's menu entry.
  UINT Command() const { return FCommand; }

  // The item's own menu (made on first use) when it has sub-items or is a menu's root; else null.
  HMENU Handle();
  TMenuItem* Parent() const { return FParent; }
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int Index) const;
  int MenuIndex() const;
  void SetMenuIndex(int Value);
  int IndexOf(TMenuItem* Item) const;
  // The menu whose tree holds the item (null while it is in none).
  TMenu* GetParentMenu() const;

  void Add(TMenuItem* Item);
  void Insert(int Index, TMenuItem* Item);
  // Takes the item out of this one without freeing it.
  void Delete(int Index);
  void Remove(TMenuItem* Item);
  // Frees every sub-item.
  void Clear();

  // Items carry no action here: there is nothing to update.
  virtual void InitiateAction() {}
  // OnClick when the item is enabled (a parent's click is its popup opening).
  virtual void Click();
  // The item changed: its entry is rebuilt (Rebuild also re-creates its own entries) and its menu told.
  void MenuChanged(bool Rebuild);

  // Owner-drawn items: called by the window that received WM_MEASUREITEM/WM_DRAWITEM.
  virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
  virtual void AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel);

  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* Value) override;

  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
  TMenuMeasureItemEvent OnMeasureItem;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void FreeChildren() override;
  void Unlink() override;

private:
  friend class TMenu;
  friend class TMainMenu;
  bool IsOwnerDraw() const;
  void FillEntries();
  void InsertEntry(TMenuItem* Item, bool OwnerDraw, int Position);
  void DestroyHandle();
  std::vector<TMenuItem*> ShownItems() const;
  void DrawPlain(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel);

  std::string FCaption;
  bool FChecked = false;
  bool FRadioItem = false;
  int FGroupIndex = 0;
  bool FEnabled = true;
  bool FVisible = true;
  bool FDefault = false;
  TMenuBreak FBreak = mbNone;
  TShortCut FShortCut = 0;
  TBitmap* FBitmap = nullptr;
  int FImageIndex = -1;
  TCustomImageList* FSubMenuImages = nullptr;
  std::string FHint;
  int FHelpContext = 0;
  UINT FCommand = 0;
  HMENU FHandle = nullptr;
  TMenuItem* FParent = nullptr;
  std::vector<TMenuItem*> FItems;
  TMenu* FMenu = nullptr;        // set on a menu's root item
  TMenuItem* FMerged = nullptr;  // a root: the items of the menu merged into this one
};

// ---------------------------------------------------------------------------------------------------
class TMenu : public TComponent {
  DECLARE_CLASS(TMenu, TComponent)
public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  // The root item: its sub-items are the menu's items.
  TMenuItem* Items() const { return FItems; }
  HMENU Handle() { return FItems->Handle(); }
  // A change of the list (or of its images) rebuilds the menu (a freed list is forgotten).
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  // Items become owner-drawn entries without a string.
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool Value);
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value);
  // The window the menu belongs to (a form for a main menu); answers the library's queries.
  HWND WindowHandle() const { return FWindowHandle; }
  virtual void SetWindowHandle(HWND Value);

  // Value: a command, a menu handle or a shortcut; merged items are searched too.
  TMenuItem* FindItem(UINT_PTR Value, TFindItemKind Kind);
  // The item of the command gets its Click; false when the menu has no such item.
  bool DispatchCommand(WORD ACommand);
  // The popup about to open: its item gets its Click (sub-items' actions first).
  bool DispatchPopup(HMENU AHandle);
  // A WM_KEYDOWN/WM_SYSKEYDOWN (or its CN_ form) matching an enabled item's shortcut clicks that item,
  // after its parents' clicks, as if their popups had opened; true when one was clicked.
  bool IsShortCut(TMessage& Message);
  // Owner-drawn items: the item of the entry is measured or drawn; false when it is not one of ours.
  bool MeasureMenuItem(MEASUREITEMSTRUCT& Item);
  bool DrawMenuItem(DRAWITEMSTRUCT& Item);
  // Entry order follows BiDiMode (right-to-left modes right-justify and reverse the entries).
  void AdjustBiDiBehavior();
  // Rebuilds every entry of the menu and redraws the menu bar of its window.
  void Rebuild();

protected:
  // An item changed (Source null: the menu as a whole).
  virtual void MenuChanged(TMenuItem* Source, bool Rebuild);
  virtual bool IsMenuBar() const { return false; }
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void FreeChildren() override;

private:
  friend class TMenuItem;
  static TMenuItem* FindIn(TMenuItem* Item, UINT_PTR Value, TFindItemKind Kind);
  static void RefillTree(TMenuItem* Item);
  void ImagesChanged(TObject* Sender);
  TMenuItem* FItems;
  TCustomImageList* FImages = nullptr;
  TChangeLink* FImageChangeLink;
  bool FOwnerDraw = false;
  TBiDiMode FBiDiMode = bdLeftToRight;
  HWND FWindowHandle = nullptr;
};

// ---------------------------------------------------------------------------------------------------
// A form's menu bar. Merging shows another menu's items in this one's bar: each of its GroupIndex values
// replaces this menu's items of the same value, the others go in by ascending GroupIndex.
class TMainMenu : public TMenu {
  DECLARE_CLASS(TMainMenu, TMenu)
public:
  explicit TMainMenu(TComponent* AOwner);
  ~TMainMenu() override;
  // The menu of a form other than the main form is merged into the main form's menu while that form is
  // active and shown, instead of showing its own bar.
  bool AutoMerge() const { return FAutoMerge; }
  void SetAutoMerge(bool Value);
  // One menu is merged at a time; merging another replaces it.
  void Merge(TMainMenu* Menu);
  // Takes Menu out again (nothing when it is not the merged one).
  void Unmerge(TMainMenu* Menu);
  TMainMenu* Merged() const { return FMerged; }

protected:
  void MenuChanged(TMenuItem* Source, bool Rebuild) override;
  bool IsMenuBar() const override { return true; }
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void FreeChildren() override;

private:
  bool FAutoMerge = false;
  TMainMenu* FMerged = nullptr;     // shown in this menu's bar
  TMainMenu* FMergedInto = nullptr;  // the menu this one is shown in
};

// ---------------------------------------------------------------------------------------------------
class TPopupMenu : public TMenu {
  DECLARE_CLASS(TPopupMenu, TMenu)
public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;
  // OnPopup, then the menu is tracked at the screen point until it closes; the chosen item's Click runs
  // before Popup returns.
  virtual void Popup(int X, int Y);
  // The component the menu was last shown for (controls set themselves on a context-menu click).
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);
  // A control's context-menu click shows the menu only with AutoPopup.
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  // maNone turns the system's menu animation off for this menu.
  TMenuAnimation MenuAnimation() const { return FMenuAnimation; }
  void SetMenuAnimation(TMenuAnimation Value) { FMenuAnimation = Value; }
  // The TrackPopupMenu flags the settings give.
  UINT TrackFlags() const;

  TNotifyEvent OnPopup;

protected:
  virtual void DoPopup(TObject* Sender);
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TComponent* FPopupComponent = nullptr;
  bool FAutoPopup = true;
  TPopupAlignment FAlignment = paLeft;
  TMenuAnimation FMenuAnimation;
};

// The hidden window popup menus are tracked on; it hands their WM_COMMAND, WM_INITMENUPOPUP,
// WM_MEASUREITEM and WM_DRAWITEM to the menus (null while no popup menu exists).
HWND PopupListWindow();

// Makers of items and menus built in code.
TMenuItem* NewItem(const std::string& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled,
                   const TNotifyEvent& AOnClick, int HelpContext, const std::string& AName);
TMenuItem* NewLine();
TMainMenu* NewMenu(TComponent* Owner, const std::string& AName, const std::vector<TMenuItem*>& Items);
TPopupMenu* NewPopupMenu(TComponent* Owner, const std::string& AName, TPopupAlignment Alignment, bool AutoPopup,
                         const std::vector<TMenuItem*>& Items);

// Menu handles the menus created and have not destroyed (for leak tests).
int MenuHandleCount();

// A key message for a control: its popup menu's shortcuts, its parents', then its form's (CN_KEYDOWN).
bool IsMenuKey(TControl* Control, TMessage& Message);
