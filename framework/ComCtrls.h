#pragma once
// Common controls: progress bar, up-down, tab and page controls, list and tree views, status bar.

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "framework/Controls.h"

// Registers the common-control window classes named by ICC_* flags (once per process and flag).
void InitCommonControlClasses(DWORD Classes);

enum TProgressBarOrientation { pbHorizontal, pbVertical };

class TProgressBar : public TWinControl {
  DECLARE_CLASS(TProgressBar, TWinControl)
public:
  explicit TProgressBar(TComponent* AOwner);

  int Min() const { return FMin; }
  // Raises EInvalidOperation when Min would exceed Max.
  void SetMin(int Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  // Kept inside Min..Max.
  int Position();
  void SetPosition(int Value);
  TProgressBarOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TProgressBarOrientation Value);
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool Value);
  int Step() const { return FStep; }
  void SetStep(int Value) { FStep = Value; }
  void StepIt() { SetPosition(Position() + FStep); }

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;

  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
  int FStep = 10;
  TProgressBarOrientation FOrientation = pbHorizontal;
  bool FSmooth = false;
};

// ---------------------------------------------------------------------------------------------------
enum TUDAlignButton { udLeft, udRight };
enum TUDOrientation { udHorizontal, udVertical };
enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = TDelegate<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = TDelegate<void(TObject* Sender, bool& AllowChange)>;

// Up-down arrows ("msctls_updown32"), optionally attached to a buddy control (Associate).
class TCustomUpDown : public TWinControl {
  DECLARE_CLASS(TCustomUpDown, TWinControl)
public:
  explicit TCustomUpDown(TComponent* AOwner);
  int Min() const { return FMin; }
  void SetMin(int Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  // The window's position while it exists (the user moves it), kept across RecreateWnd.
  int Position();
  void SetPosition(int Value);
  int Increment() const { return FIncrement; }
  void SetIncrement(int Value);
  TUDOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TUDOrientation Value);
  TUDAlignButton AlignButton() const { return FAlignButton; }
  void SetAlignButton(TUDAlignButton Value);
  bool Wrap() const { return FWrap; }
  void SetWrap(bool Value);
  TWinControl* Associate() const { return FAssociate; }
  void SetAssociate(TWinControl* Value);

  void Dispatch(TMessage& Message) override;

  // Hides TControl's OnClick: the arrow that was pressed.
  TUDClickEvent OnClick;
  TUDChangingEvent OnChanging;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual bool CanChange();
  virtual void Click(TUDBtnType Button);
  void SendRange();

  int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
  TUDOrientation FOrientation = udVertical;
  TUDAlignButton FAlignButton = udRight;
  bool FWrap = false;
  TWinControl* FAssociate = nullptr;
  int FLastDelta = 0;  // the arrow of the change under way (UDN_DELTAPOS comes before the scroll notice)
};

class TUpDown : public TCustomUpDown {
  DECLARE_CLASS(TUpDown, TCustomUpDown)
public:
  explicit TUpDown(TComponent* AOwner) : TCustomUpDown(AOwner) {}
};

// ---------------------------------------------------------------------------------------------------
enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };
class TCustomTabControl;
using TDrawTabEvent = TDelegate<void(TCustomTabControl* Control, int TabIndex, const TRect& Rect, bool Active)>;
using TTabChangingEvent = TDelegate<void(TObject* Sender, bool& AllowChange)>;

// The tab texts of a tab control: kept by the control and mirrored into its window.
class TTabStrings : public TStrings {
  DECLARE_CLASS(TTabStrings, TStrings)
public:
  explicit TTabStrings(TCustomTabControl* Control = nullptr) : FControl(Control) {}
  void Insert(int Index, const std::string& S) override;
  void Delete(int Index) override;
  void Clear() override;

protected:
  std::string Get(int Index) const override;
  int GetCount() const override { return static_cast<int>(FItems.size()); }
  void Put(int Index, const std::string& S) override;
  TObject* GetObj(int Index) const override;
  void PutObj(int Index, TObject* Obj) override;

private:
  friend class TCustomTabControl;
  struct Item {
    std::string text;
    TObject* obj;
  };
  TCustomTabControl* FControl;
  std::vector<Item> FItems;
};

// A tab control ("SysTabControl32"). With OwnerDraw the tabs are drawn by DrawTab (OnDrawTab) on Canvas.
class TCustomTabControl : public TWinControl {
  DECLARE_CLASS(TCustomTabControl, TWinControl)
public:
  explicit TCustomTabControl(TComponent* AOwner);
  ~TCustomTabControl() override;
  TStrings* Tabs() const { return FTabs; }
  void SetTabs(TStrings* Value) { FTabs->Assign(Value); }
  // -1 without a selected tab; setting it fires no OnChange.
  int TabIndex();
  void SetTabIndex(int Value);
  TTabPosition TabPosition() const { return FTabPosition; }
  void SetTabPosition(TTabPosition Value);
  TTabStyle Style() const { return FStyle; }
  void SetStyle(TTabStyle Value);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value);
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool Value);
  TCanvas* Canvas() const { return FCanvas; }
  // The area inside the tabs' frame (client coordinates).
  RECT DisplayRect();
  RECT TabRect(int Index);

  void Dispatch(TMessage& Message) override;

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;
  TDrawTabEvent OnDrawTab;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;
  void AlignControls(TControl* AControl, RECT& Rect) override;
  virtual bool CanChange();
  virtual void Change();
  virtual void DrawTab(int TabIndex, const TRect& Rect, bool Active);
  // The window's tabs follow the list (after the list changed).
  void TabsChanged();
  void SendTabs();

  TTabStrings* FTabs;
  int FTabIndex = -1;
  TTabPosition FTabPosition = tpTop;
  TTabStyle FStyle = tsTabs;
  bool FMultiLine = false;
  bool FOwnerDraw = false;
  TControlCanvas* FCanvas;

private:
  friend class TTabStrings;
};

class TTabControl : public TCustomTabControl {
  DECLARE_CLASS(TTabControl, TCustomTabControl)
public:
  explicit TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}
};

class TPageControl;

// A page of a page control: shown while it is the active page; its caption is its tab's text.
class TTabSheet : public TWinControl {
  DECLARE_CLASS(TTabSheet, TWinControl)
public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  TPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TPageControl* Value);
  // Position among the page control's pages.
  int PageIndex() const;
  void SetPageIndex(int Value);
  // The tab's index (-1 while the tab is hidden).
  int TabIndex() const;
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool Value);
  void SetParentComponent(TComponent* Value) override;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;

  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
};

// Tabs with a page (TTabSheet) each; the active page fills the display area.
class TPageControl : public TCustomTabControl {
  DECLARE_CLASS(TPageControl, TCustomTabControl)
public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;
  int PageCount() const { return static_cast<int>(FPages.size()); }
  TTabSheet* Pages(int Index) const;
  TTabSheet* ActivePage() const { return FActivePage; }
  void SetActivePage(TTabSheet* Page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int Value);

protected:
  void Change() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;

private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void MovePage(TTabSheet* Page, int Index);
  // Rebuilds the tabs from the visible pages.
  void UpdateTabs();
  void ShowActivePage();
  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
};

// ---------------------------------------------------------------------------------------------------
enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
class TCustomListView;

class TListColumn : public TCollectionItem {
  DECLARE_CLASS(TListColumn, TCollectionItem)
public:
  TListColumn() = default;
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  std::string GetDisplayName() const override { return FCaption.empty() ? ClassName() : FCaption; }

private:
  std::string FCaption;
  int FWidth = 50;
  TAlignment FAlignment = taLeftJustify;
};

class TListColumns : public TOwnedCollection {
  DECLARE_CLASS(TListColumns, TOwnedCollection)
public:
  explicit TListColumns(TCustomListView* Owner = nullptr);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(int Index) const { return static_cast<TListColumn*>(TCollection::Items(Index)); }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TCustomListView* FListView;
};

class TListItems;

// One row: its caption and the texts of the report view's further columns.
class TListItem : public TPersistent {
  DECLARE_CLASS(TListItem, TPersistent)
public:
  explicit TListItem(TListItems* Owner = nullptr);
  ~TListItem() override;
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  TStrings* SubItems() const { return FSubItems; }
  void* Data() const { return FData; }
  void SetData(void* Value) { FData = Value; }
  int Index() const;
  TListItems* Owner() const { return FOwner; }

private:
  friend class TListItems;
  void Changed();
  TListItems* FOwner;
  std::string FCaption;
  TStringList* FSubItems;
  void* FData = nullptr;
};

class TListItems : public TPersistent {
  DECLARE_CLASS(TListItems, TPersistent)
public:
  explicit TListItems(TCustomListView* Owner = nullptr) : FOwner(Owner) {}
  ~TListItems() override;
  TListItem* Add();
  TListItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  TListItem* Item(int Index) const;
  int IndexOf(const TListItem* Item) const;
  TCustomListView* Owner() const { return FOwner; }

private:
  friend class TListItem;
  friend class TCustomListView;
  TCustomListView* FOwner;
  std::vector<TListItem*> FItems;
};

// A list view ("SysListView32"); its columns and items live in the control and are mirrored into the window.
class TCustomListView : public TWinControl {
  DECLARE_CLASS(TCustomListView, TWinControl)
public:
  explicit TCustomListView(TComponent* AOwner);
  ~TCustomListView() override;
  TListColumns* Columns() const { return FColumns; }
  void SetColumns(TListColumns* Value) { FColumns->Assign(Value); }
  TListItems* Items() const { return FItems; }
  TViewStyle ViewStyle() const { return FViewStyle; }
  void SetViewStyle(TViewStyle Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // The selected item's index, -1 when none.
  int ItemIndex();
  void SetItemIndex(int Value);

  void Dispatch(TMessage& Message) override;

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

private:
  friend class TListColumns;
  friend class TListItems;
  friend class TListItem;
  void SendColumns();
  void SendItem(int Index, bool Insert);
  void SendColours();
  TListColumns* FColumns;
  TListItems* FItems;
  TViewStyle FViewStyle = vsIcon;
  TBorderStyle FBorderStyle = bsSingle;
  int FItemIndex = -1;  // while there is no window
  int FSentColumns = 0;
};

class TListView : public TCustomListView {
  DECLARE_CLASS(TListView, TCustomListView)
public:
  explicit TListView(TComponent* AOwner) : TCustomListView(AOwner) {}
};

// ---------------------------------------------------------------------------------------------------
class TTreeNodes;
class TCustomTreeView;

// A node of a tree view: text, data and child nodes.
class TTreeNode : public TPersistent {
  DECLARE_CLASS(TTreeNode, TPersistent)
public:
  TTreeNode(TTreeNodes* Owner, TTreeNode* Parent);
  ~TTreeNode() override;
  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value);
  void* Data() const { return FData; }
  void SetData(void* Value) { FData = Value; }
  TTreeNode* Parent() const { return FParent; }
  int Count() const { return static_cast<int>(FChildren.size()); }
  TTreeNode* Item(int Index) const;
  // Position among its siblings.
  int Index() const;
  int Level() const;
  bool Expanded() const;
  void SetExpanded(bool Value);
  bool Selected() const;
  // The node's item in the tree view's window (null without a window).
  HTREEITEM ItemId() const { return FItemId; }
  TTreeNodes* Owner() const { return FOwner; }
  // Removes the node and its children from the tree.
  void Delete();

private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  TTreeNodes* FOwner;
  TTreeNode* FParent;
  std::vector<TTreeNode*> FChildren;
  std::string FText;
  void* FData = nullptr;
  HTREEITEM FItemId = nullptr;
  bool FExpanded = false;  // while there is no window
};

class TTreeNodes : public TPersistent {
  DECLARE_CLASS(TTreeNodes, TPersistent)
public:
  explicit TTreeNodes(TCustomTreeView* Owner = nullptr) : FOwner(Owner) {}
  ~TTreeNodes() override;
  // A node after the last sibling of Sibling (a top-level node when Sibling is null).
  TTreeNode* Add(TTreeNode* Sibling, const std::string& S);
  TTreeNode* AddChild(TTreeNode* Parent, const std::string& S);
  void Delete(TTreeNode* Node);
  void Clear();
  // All nodes, depth first.
  int Count() const;
  TTreeNode* Item(int Index) const;
  int TopCount() const { return static_cast<int>(FRoots.size()); }
  TTreeNode* Top(int Index) const { return FRoots.at(static_cast<size_t>(Index)); }
  TCustomTreeView* Owner() const { return FOwner; }

private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  TTreeNode* Insert(TTreeNode* Parent, const std::string& S);
  TCustomTreeView* FOwner;
  std::vector<TTreeNode*> FRoots;
};

using TTVChangedEvent = TDelegate<void(TObject* Sender, TTreeNode* Node)>;

// A tree view ("SysTreeView32"); the nodes live in the control and are mirrored into the window.
class TCustomTreeView : public TWinControl {
  DECLARE_CLASS(TCustomTreeView, TWinControl)
public:
  explicit TCustomTreeView(TComponent* AOwner);
  ~TCustomTreeView() override;
  TTreeNodes* Items() const { return FNodes; }
  TTreeNode* Selected();
  void SetSelected(TTreeNode* Node);
  bool ShowLines() const { return FShowLines; }
  void SetShowLines(bool Value);
  bool ShowRoot() const { return FShowRoot; }
  void SetShowRoot(bool Value);
  bool ShowButtons() const { return FShowButtons; }
  void SetShowButtons(bool Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // The node of a window item (null when none).
  TTreeNode* NodeOf(HTREEITEM Item) const;

  void Dispatch(TMessage& Message) override;

  TTVChangedEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

private:
  friend class TTreeNode;
  friend class TTreeNodes;
  void SendNode(TTreeNode* Node);
  void SendColours();
  TTreeNodes* FNodes;
  TTreeNode* FSelected = nullptr;  // while there is no window
  bool FShowLines = true, FShowRoot = true, FShowButtons = true;
  TBorderStyle FBorderStyle = bsSingle;
};

class TTreeView : public TCustomTreeView {
  DECLARE_CLASS(TTreeView, TCustomTreeView)
public:
  explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};

// ---------------------------------------------------------------------------------------------------
enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
class TStatusBar;

class TStatusPanel : public TCollectionItem {
  DECLARE_CLASS(TStatusPanel, TCollectionItem)
public:
  TStatusPanel() = default;
  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  TStatusPanelStyle Style() const { return FStyle; }
  void SetStyle(TStatusPanelStyle Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TStatusPanelBevel Bevel() const { return FBevel; }
  void SetBevel(TStatusPanelBevel Value);

private:
  std::string FText;
  int FWidth = 50;
  TStatusPanelStyle FStyle = psText;
  TAlignment FAlignment = taLeftJustify;
  TStatusPanelBevel FBevel = pbLowered;
};

class TStatusPanels : public TOwnedCollection {
  DECLARE_CLASS(TStatusPanels, TOwnedCollection)
public:
  explicit TStatusPanels(TStatusBar* Owner = nullptr);
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TStatusBar* FStatusBar;
};

using TDrawPanelEvent = TDelegate<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

// A status bar ("msctls_statusbar32") of panels, or one simple panel with SimpleText.
class TStatusBar : public TWinControl {
  DECLARE_CLASS(TStatusBar, TWinControl)
public:
  explicit TStatusBar(TComponent* AOwner);
  ~TStatusBar() override;
  TStatusPanels* Panels() const { return FPanels; }
  void SetPanels(TStatusPanels* Value) { FPanels->Assign(Value); }
  bool SimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool Value);
  const std::string& SimpleText() const { return FSimpleText; }
  void SetSimpleText(const std::string& Value);
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool Value);
  // Lent to OnDrawPanel while an owner-drawn panel is drawn.
  TCanvas* Canvas() const { return FCanvas; }

  void Dispatch(TMessage& Message) override;

  TDrawPanelEvent OnDrawPanel;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);

private:
  friend class TStatusPanels;
  // Parts, texts and styles to the window.
  void SendPanels();
  TStatusPanels* FPanels;
  bool FSimplePanel = false;
  std::string FSimpleText;
  bool FSizeGrip = true;
  TControlCanvas* FCanvas;
};
