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

  void DefaultHandler(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

private:
  friend class TMemoStrings;
  TMemoStrings* FLines;
  std::vector<std::string> FStored;  // the lines while there is no window
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
