// Richer content controls: list views (with their column header), grids (colour properties by name) and tree
// views (colour messages and background erasing).
#pragma once
#include "skin/adapters/vkEditWnd.h"

class TvkListViewWnd : public TvkEditWnd {
  DECLARE_CLASS(TvkListViewWnd, TvkEditWnd)
public:
  void FinishCreation() override;
  void StoreControlParams() override;
  void RestoreControlParams() override;
  void ApplySkinParams() override;
  void WndProc(TMessage& Message) override;
  bool DrawsOwnBorder() const override { return false; }

  // LVM_GETVIEW as the framework's four values: 0 icon, 1 small icon, 2 list, 3 report.
  int ViewStyle() const;
  TRect GetHeaderItemRect(int Index) const;
  // The header item under a screen point; -2 when none.
  int HeaderItemAtCursor(POINT Pos) const;
  void PaintHeader(HDC DC);
  void PaintHeaderItem(const TRect& R, int Index, HDC DC);
  void HeaderWndProc(TMessage& Message);
  bool HasAutoSizeColumn() const { return false; }

  HWND HeaderWnd = nullptr;
  TObjectInstance HeaderHook = nullptr;
  WNDPROC OldHeaderProc = nullptr;
  int PressedColumn = -1;
  int HotColumn = -1;

private:
  void HookHeader(HWND Header);
  void UnhookHeader();
  // The hooked header (if any) back to its own procedure, and a fresh hook ready for the next one.
  void RenewHeaderHook();
  void ResetColumns();
  // The items' scroll units for a drag step: rows in report view, columns in list view.
  void ScrollTo(bool Vertical, TMessage& Message);
};

class TvkGridWnd : public TvkEditWnd {
  DECLARE_CLASS(TvkGridWnd, TvkEditWnd)
public:
  void StoreControlParams() override;
  void RestoreControlParams() override;
  void ApplySkinParams() override;
  void WndProc(TMessage& Message) override;

  TColor SavedIndicatorIconColor = 0, SavedTitleColor = 0, SavedGradientFrom = 0, SavedGradientTo = 0,
         SavedFooterColor = 0, SavedGridLineColor = 0, SavedTitleFontColor = 0, SavedSelectionColor = 0,
         SavedFooterCellColor = 0, SavedSelectionTextColor = 0, SavedGridFixedLineColor = 0, SavedMirrorTo = 0,
         SavedMirrorFrom = 0, SavedFixedColor = 0;
};

class TvkTreeViewWnd : public TvkEditWnd {
  DECLARE_CLASS(TvkTreeViewWnd, TvkEditWnd)
public:
  void RestoreControlParams() override;
  void ApplySkinParams() override;
  void WndProc(TMessage& Message) override;
};
