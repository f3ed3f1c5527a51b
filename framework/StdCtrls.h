#pragma once
// Standard controls: labels, push buttons, edits and memos, combo boxes.

#include <vector>

#include "framework/Controls.h"

// ---------------------------------------------------------------------------------------------------
class TCustomLabel : public TGraphicControl {
  DECLARE_CLASS(TCustomLabel, TGraphicControl)
public:
  explicit TCustomLabel(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool Transparent() const { return !FControlStyle.Contains(csOpaque); }
  void SetTransparent(bool Value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  void SetAutoSize(bool Value) override;

  void Dispatch(TMessage& Message) override;

protected:
  // The text drawn (the caption; derived labels may decorate it).
  virtual std::string GetLabelText();
  // Draws (or with DT_CALCRECT measures) the text into Rect on Canvas, in the label's font and state.
  virtual void DoDrawText(RECT& Rect, UINT Flags);
  // With AutoSize: fits the bounds to the text, keeping the edge the alignment anchors.
  virtual void AdjustBounds();
  void AdjustSize() override { AdjustBounds(); }
  void Paint() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  UINT DrawTextFlags() const;

  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
  DECLARE_CLASS(TLabel, TCustomLabel)
public:
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---------------------------------------------------------------------------------------------------
class TButtonControl : public TWinControl {
  DECLARE_CLASS(TButtonControl, TWinControl)
public:
  explicit TButtonControl(TComponent* AOwner);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);

protected:
  bool FWordWrap = false;
};

class TButton : public TButtonControl {
  DECLARE_CLASS(TButton, TButtonControl)
public:
  explicit TButton(TComponent* AOwner);

  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }
  // Sets the parent form's ModalResult to this button's, then OnClick.
  void Click() override;
  // The button acts as the form's default (BS_DEFPUSHBUTTON) while ADefault: the focused button does, or
  // the Default one while no button has the focus. Called on every focus move.
  virtual void SetButtonStyle(bool ADefault);

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;

  bool FDefault = false;
  bool FCancel = false;
  int FModalResult = 0;
};

// ---------------------------------------------------------------------------------------------------
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomEdit : public TWinControl {
  DECLARE_CLASS(TCustomEdit, TWinControl)
public:
  explicit TCustomEdit(TComponent* AOwner);

  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // Shown in place of every character (ES_PASSWORD); 0 shows the text.
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  void Clear() { SetText(""); }

  void Dispatch(TMessage& Message) override;

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  // CM_CHANGED to the edit, then OnChange.
  virtual void Change();

  int FMaxLength = 0;
  bool FReadOnly = false;
  TBorderStyle FBorderStyle = bsSingle;
  char FPasswordChar = 0;
  bool FCreating = false;
};

class TEdit : public TCustomEdit {
  DECLARE_CLASS(TEdit, TCustomEdit)
public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

class TCustomMemo;

// A memo's logical lines: the edit control's lines while the window exists (with WordWrap off they are
// the logical ones), a plain list otherwise.
class TMemoStrings : public TStrings {
  DECLARE_CLASS(TMemoStrings, TStrings)
public:
  explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}
  void Insert(int Index, const std::string& S) override;
  void Delete(int Index) override;
  void Clear() override;

protected:
  std::string Get(int Index) const override;
  int GetCount() const override;
  std::string GetTextStr() const override;
  void SetTextStr(const std::string& Text) override;

private:
  friend class TCustomMemo;
  TCustomMemo* FMemo;
};

class TCustomMemo : public TCustomEdit {
  DECLARE_CLASS(TCustomMemo, TCustomEdit)
public:
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  TStrings* Lines() const { return FLines; }
  void SetLines(TStrings* Value) { FLines->Assign(Value); }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  // The window exists but still waits for its text (see OutOfView).
  bool TextPending() const { return FTextPending; }

  void DefaultHandler(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

private:
  friend class TMemoStrings;
  // A window out of its parent's client area gets its text only when something other than its text, place or
  // font is asked of it: an edit control lays out every line it takes, which no one sees there.
  bool OutOfView() const;
  void PutPendingText();

  TMemoStrings* FLines;
  std::vector<std::string> FStored;  // the lines while there is no window
  std::string FPendingText;          // the window's text while FTextPending
  bool FTextPending = false;
  HFONT FCreationFont = nullptr;      // the font the new window got ahead of its text, until CreateHandle's own
  bool FWordWrap = true;
  bool FWantReturns = true;
  TScrollStyle FScrollBars = ssNone;
};

class TMemo : public TCustomMemo {
  DECLARE_CLASS(TMemo, TCustomMemo)
public:
  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

// ---------------------------------------------------------------------------------------------------
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// Owner-drawn items of lists and combo boxes: Index -1 is an empty selection field.
using TDrawItemEvent = TDelegate<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TDelegate<void(TWinControl* Control, int Index, int& Height)>;

// CN_DRAWITEM of a list or combo box: the item on Control's font and colour (highlighted when selected) through
// Draw, the empty selection field as bare background, then the focus rectangle.
void PaintOwnerDrawItem(TControlCanvas* Canvas, TControl* Control, TMessage& Message,
                        const std::function<void(int Index, const TRect& Rect, TOwnerDrawState State)>& Draw);
// CN_MEASUREITEM of a list or combo box: Height for every item, or what Measure makes of it when items vary.
void MeasureOwnerDrawItem(TMessage& Message, int Height, bool Variable,
                          const std::function<void(int Index, int& Height)>& Measure);

class TCustomComboBox;

// The combo box's items: CB_* messages while the window exists, a plain list otherwise.
class TComboBoxStrings : public TStrings {
  DECLARE_CLASS(TComboBoxStrings, TStrings)
public:
  explicit TComboBoxStrings(TCustomComboBox* Combo) : FCombo(Combo) {}
  int Add(const std::string& S) override;
  int AddObject(const std::string& S, TObject* Obj) override;
  void Insert(int Index, const std::string& S) override;
  void Delete(int Index) override;
  void Clear() override;
  int IndexOf(const std::string& S) const override;

protected:
  std::string Get(int Index) const override;
  int GetCount() const override;
  TObject* GetObj(int Index) const override;
  void PutObj(int Index, TObject* Obj) override;

private:
  friend class TCustomComboBox;
  struct Item {
    std::string text;
    TObject* obj;
  };
  int SortedPosition(const std::string& S) const;
  TCustomComboBox* FCombo;
  std::vector<Item> FStored;  // the items while there is no window
};

class TCustomComboBox : public TWinControl {
  DECLARE_CLASS(TCustomComboBox, TWinControl)
  friend class TComboBoxStrings;

public:
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;

  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value);
  TStrings* Items() const { return FItems; }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  // Setting it selects without OnChange; -1 clears the selection.
  int ItemIndex();
  void SetItemIndex(int Value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value);
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // Owner-draw styles: the height every item is measured with (default 16; a new value re-creates the
  // window). Other styles: the list items' height as the window keeps it.
  int ItemHeight();
  void SetItemHeight(int Value);
  // Characters the edit takes (0: no limit).
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  // Typing in the edit completes the text to the first item it begins.
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  // Typing opens the list.
  bool AutoDropDown() const { return FAutoDropDown; }
  void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
  bool DroppedDown();
  void SetDroppedDown(bool Value);
  // The edit child and the list window (GetComboBoxInfo); null without a window or, for the edit, in the
  // list styles.
  HWND EditHandle() const { return FEditHandle; }
  HWND ListHandle() const { return FListHandle; }
  // Owner-drawn items are painted here (attached to the item's DC while DrawItem runs).
  TCanvas* Canvas() const { return FCanvas; }

  void Dispatch(TMessage& Message) override;
  // A drop-down list's text is its selected item: setting the text selects the item with that text.
  void DefaultHandler(TMessage& Message) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;
  void KeyPress(char& Key) override;
  // Every message of the edit child, through its subclass (keys reach the combo's key events before
  // dispatch, from the message loop). The default tells the form of the focus and calls the edit's own
  // procedure.
  virtual void EditWndProc(TMessage& Message);
  // OnDrawItem, or the item's text on the canvas's brush.
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  // OnMeasureItem (csOwnerDrawVariable asks for each item).
  virtual void MeasureItem(int Index, int& Height);
  // CM_CHANGED to the combo, then OnChange.
  virtual void Change();
  // A selection by the user: OnSelect when assigned, else Change.
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  int ListHeight();

  TComboBoxStyle FStyle = csDropDown;
  TComboBoxStrings* FItems;
  int FItemIndex = -1;  // while there is no window
  bool FSorted = false;
  int FDropDownCount = 8;
  int FItemHeight = 16;
  int FMaxLength = 0;
  TEditCharCase FCharCase = ecNormal;
  bool FAutoComplete = true;
  bool FAutoDropDown = false;
  TControlCanvas* FCanvas;
  HWND FEditHandle = nullptr;
  HWND FListHandle = nullptr;
  WNDPROC FEditInstance = nullptr;  // the stub on the edit child
  WNDPROC FDefEditProc = nullptr;   // the edit's procedure before it

private:
  void CNDrawItem(TMessage& Message);
  void CNMeasureItem(TMessage& Message);
  void ApplyEditStyle();
};

class TComboBox : public TCustomComboBox {
  DECLARE_CLASS(TComboBox, TCustomComboBox)
public:
  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};

// ---------------------------------------------------------------------------------------------------
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// A check box ("BUTTON", BS_3STATE handled by the control itself so AllowGrayed decides the cycle).
class TCustomCheckBox : public TButtonControl {
  DECLARE_CLASS(TCustomCheckBox, TButtonControl)
public:
  explicit TCustomCheckBox(TComponent* AOwner);
  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState Value);
  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  // taRightJustify puts the text left of the box (BS_LEFTTEXT).
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  // The user's click: unchecked -> checked -> grayed (when allowed) -> unchecked.
  virtual void Toggle();

  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
  TAlignment FAlignment = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
  DECLARE_CLASS(TCheckBox, TCustomCheckBox)
public:
  explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

// A radio button; checking one unchecks the radio buttons beside it (same parent).
class TRadioButton : public TButtonControl {
  DECLARE_CLASS(TRadioButton, TButtonControl)
public:
  explicit TRadioButton(TComponent* AOwner);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;

  bool FChecked = false;
  TAlignment FAlignment = taRightJustify;
};

// A framed container with its caption on the frame, painted by the framework.
class TCustomGroupBox : public TCustomControl {
  DECLARE_CLASS(TCustomGroupBox, TCustomControl)
public:
  explicit TCustomGroupBox(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void AlignControls(TControl* AControl, RECT& Rect) override;
  void Paint() override;
  // Height of the caption line in the group box's font.
  int CaptionHeight();
};

class TGroupBox : public TCustomGroupBox {
  DECLARE_CLASS(TGroupBox, TCustomGroupBox)
public:
  explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

// ---------------------------------------------------------------------------------------------------
enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
class TCustomListBox;

// The list box's items: kept here and mirrored into the window, so they outlive it.
class TListBoxStrings : public TStrings {
  DECLARE_CLASS(TListBoxStrings, TStrings)
public:
  explicit TListBoxStrings(TCustomListBox* ListBox) : FListBox(ListBox) {}
  int AddObject(const std::string& S, TObject* Obj) override;
  void Insert(int Index, const std::string& S) override;
  void Delete(int Index) override;
  void Clear() override;

protected:
  std::string Get(int Index) const override;
  int GetCount() const override { return static_cast<int>(FItems.size()); }
  TObject* GetObj(int Index) const override;
  void PutObj(int Index, TObject* Obj) override;

private:
  friend class TCustomListBox;
  struct Item {
    std::string text;
    TObject* obj;
  };
  void Check(int Index) const;
  void InsertItem(int Index, const std::string& S, TObject* Obj);
  TCustomListBox* FListBox;
  std::vector<Item> FItems;
};

class TCustomListBox : public TWinControl {
  DECLARE_CLASS(TCustomListBox, TWinControl)
  friend class TListBoxStrings;

public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;
  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle Value);
  TStrings* Items() const { return FItems; }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  // -1: nothing selected. Setting it fires no OnClick.
  int ItemIndex();
  void SetItemIndex(int Value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  // The height owner-drawn items are measured with (default 16); other styles: the window's.
  int ItemHeight();
  void SetItemHeight(int Value);
  // Owner-drawn items are painted here (attached to the item's DC while DrawItem runs).
  TCanvas* Canvas() const { return FCanvas; }
  void Dispatch(TMessage& Message) override;

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  // OnDrawItem, or the item's text on the canvas's brush.
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  // OnMeasureItem (lbOwnerDrawVariable asks for each item).
  virtual void MeasureItem(int Index, int& Height);

  TListBoxStyle FStyle = lbStandard;
  TListBoxStrings* FItems;
  TControlCanvas* FCanvas;
  int FItemIndex = -1;  // while there is no window
  int FItemHeight = 16;
  bool FSorted = false;
};

class TListBox : public TCustomListBox {
  DECLARE_CLASS(TListBox, TCustomListBox)
public:
  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

// ---------------------------------------------------------------------------------------------------
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = TDelegate<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// A scroll bar control ("SCROLLBAR"). Setters are safe against re-entry: a setter called while the range is
// being sent to the window (SBM_SETSCROLLINFO passes through WindowProc) stores its value, and the outer call
// sends what is current when it ends.
class TScrollBar : public TWinControl {
  DECLARE_CLASS(TScrollBar, TWinControl)
public:
  explicit TScrollBar(TComponent* AOwner);
  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind Value);
  int Min() const { return FMin; }
  void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
  int Max() const { return FMax; }
  void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
  int Position() const { return FPosition; }
  void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
  int PageSize() const { return FPageSize; }
  void SetPageSize(int Value);
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int Value) { FSmallChange = Value; }
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int Value) { FLargeChange = Value; }
  // Raises EInvalidOperation "Scroll bar property out of range" for Max < Min or a position outside them
  // (not while loading); a change of position fires OnChange.
  void SetParams(int APosition, int AMin, int AMax);

  void Dispatch(TMessage& Message) override;

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;
  virtual void Change();
  virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);
  // Sends range, page and position to the window (once, however often setters re-enter meanwhile).
  void UpdateScrollInfo();

  TScrollBarKind FKind = sbHorizontal;
  int FMin = 0, FMax = 100, FPosition = 0, FPageSize = 0;
  int FSmallChange = 1, FLargeChange = 1;
  int FSending = 0;      // nesting of UpdateScrollInfo
  bool FResend = false;  // a setter ran while sending

private:
  void CNScroll(TMessage& Message);
};

// ---------------------------------------------------------------------------------------------------
enum TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };

// A static text window ("STATIC") with optional bevels in its non-client area.
class TCustomStaticText : public TWinControl {
  DECLARE_CLASS(TCustomStaticText, TWinControl)
public:
  explicit TCustomStaticText(TComponent* AOwner);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TStaticBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TStaticBorderStyle Value);
  TBevelKind BevelKind() const { return FBevelKind; }
  void SetBevelKind(TBevelKind Value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  // Pixels each bevel takes on every side (0 without BevelKind).
  int BevelExtent() const;

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void BevelChanged();

  TAlignment FAlignment = taLeftJustify;
  TStaticBorderStyle FBorderStyle = sbsNone;
  TBevelKind FBevelKind = bkNone;
  TBevelCut FBevelInner = bvRaised;
  TBevelCut FBevelOuter = bvLowered;
  bool FShowAccelChar = true;
};

class TStaticText : public TCustomStaticText {
  DECLARE_CLASS(TStaticText, TCustomStaticText)
public:
  explicit TStaticText(TComponent* AOwner) : TCustomStaticText(AOwner) {}
};
