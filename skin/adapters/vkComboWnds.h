// Combo boxes: a skinned frame, edit area and drop-down button, and the drop-down list's own adapter made when the
// list first asks for its colours.
#pragma once
#include "skin/adapters/vkEditWnd.h"

class TvkComboListWnd;

class TvkComboBoxWnd : public TvkEditWnd {
  DECLARE_CLASS(TvkComboBoxWnd, TvkEditWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;

  // The drop-down button in window coordinates.
  virtual TRect GetButtonRect();
  void PaintButton(HDC DC);
  void UpdateButton();
  void PaintItem(int Index, const TRect& R, HDC DC, UINT State);
  void PaintText();
  void PaintSimpleArea();
  void InvalidateNow();
  bool IsVclComboBox() const;

  HWND ListWnd = nullptr;
  bool InCtlColor = false;
  TvkComboListWnd* ListAdapter = nullptr;
  TsCommonData* ButtonSkinData = nullptr;

protected:
  // The list's window goes back with the combo box's.
  void ReturnWindow() override;
  void ReleaseOwnObjects() override;

private:
  bool IsSimple() const;
  // The skinned focus look applies: hot state possible and a focusable framework control.
  bool ShowsFocus();
  void DropEditSelection();
  LRESULT CtlColorListBox(TMessage& Message);
  void DetachList();
  // The state-0 look of the drop-down list's section, which its brush and its items show (none in a dialog or
  // before the list exists).
  const struct TsGenState* ListLook();
  // One brush answers every WM_CTLCOLORLISTBOX; it is made again only when its colour changes.
  HBRUSH FListBrush = nullptr;
  uint32_t FListBrushColor = 0;
};

class TvkComboListWnd : public TvkEditWnd {
  DECLARE_CLASS(TvkComboListWnd, TvkEditWnd)
public:
  // The list adapter of a combo box's drop-down (or simple) list.
  static TvkComboListWnd* CreateForCombo(HWND Wnd, TsCommonData* SkinData, TsSkinManager* Manager,
                                         const std::string& Section, bool Repaint, bool SimpleList);
  void FinishCreation() override;
  void ApplySkinParams() override;
  void WndProc(TMessage& Message) override;
  void PaintFrame();

  bool IsDropDownList() const override { return true; }
  bool DropDownListOpen() const override { return IsWindowVisible(CtrlHandle) != FALSE; }
  bool DropDownDragMode() const override { return Tracking; }

  bool Tracking = false;  // between the combo's list messages 0x1AE and 0x1AF
  bool Reserved = false;
  bool SimpleList = false;

protected:
  void ReleaseOwnObjects() override;
};
