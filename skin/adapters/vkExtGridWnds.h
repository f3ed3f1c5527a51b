// Grids of the extended kind and virtual tree views, reached only through their published property names and
// method properties: their colours follow the skin, and the tree's column headers are painted from it.
#pragma once
#include "skin/adapters/vkEditWnd.h"
#include "skin/adapters/vkListWnds.h"

class TCanvas;
struct TPropInfo;

// What the tree hands to its header-drawing events.
struct TvkHeaderPaintInfo {
  TCanvas* TargetCanvas = nullptr;
  TRect PaintRectangle;
  TObject* Column = nullptr;  // publishes "Text", "Options" and "SortDirection"; nil for the empty area
  bool IsDownIndex = false;   // the column is pressed
  bool IsHoverIndex = false;
  bool ShowSortGlyph = false;
};
// Element bits the tree asks to be drawn: background, text, sort glyph and the overlay-free text.
constexpr int hpeBackground = 0x01, hpeText = 0x02, hpeSortGlyph = 0x08, hpeOverlay = 0x10;
using TvkAdvancedHeaderPaintEvent = TDelegate<void(TObject* Sender, TvkHeaderPaintInfo& PaintInfo, int Elements)>;
using TvkHeaderPaintQueryElementsEvent =
    TDelegate<void(TObject* Sender, TvkHeaderPaintInfo& PaintInfo, int& Elements)>;

class TvkGridEhWnd : public TvkGridWnd {
  DECLARE_CLASS(TvkGridEhWnd, TvkGridWnd)
public:
  void StoreControlParams() override;
  void RestoreControlParams() override;
  void ApplySkinParams() override;
  void WndProc(TMessage& Message) override;

  bool SavedFixed3D = false;
  TColor SavedEvenRowColor = 0, SavedOddRowColor = 0;  // a colour of none as the window colour, for comparing
  bool EvenRowNone = false, OddRowNone = false;        // the grid had none: none goes back
  TColor SavedGridDarkColor = 0, SavedGridBrightColor = 0, SavedDataHorzColor = 0, SavedDataVertColor = 0;
  TColor SavedGroupingColor = 0, SavedCategoriesColor = 0, SavedCategoriesFontColor = 0, SavedDetailPanelColor = 0;
  TColor SavedIndicatorColor = 0;
  int SavedIndicatorHorzLines = 0, SavedIndicatorVertLines = 0, SavedIndicatorFillStyle = 0;
  TColor SavedTitleColor = 0, SavedTitleSecondColor = 0, SavedTitleVertLineColor = 0;
  int SavedTitleFillStyle = 0;
};

class TvkVirtualTreeViewWnd : public TvkEditWnd {
  DECLARE_CLASS(TvkVirtualTreeViewWnd, TvkEditWnd)
public:
  void StoreControlParams() override;
  void RestoreControlParams() override;
  void ApplySkinParams() override;
  void WndProc(TMessage& Message) override;

  void HeaderDraw(TObject* Sender, TvkHeaderPaintInfo& PaintInfo, int Elements);
  void HeaderQueryElements(TObject* Sender, TvkHeaderPaintInfo& PaintInfo, int& Elements);

  TColor SavedHotColor = 0, SavedFocusedSelection = 0, SavedUnfocusedSelection = 0, SavedFocusedBorder = 0,
         SavedUnfocusedBorder = 0, SavedSelectionText = 0;
  TColor SavedFileTextColor = 0, SavedFolderTextColor = 0, SavedCompressedTextColor = 0;
  bool SavedOwnerDraw = false;
  const TPropInfo* HookedEvent = nullptr;  // the event property hooked last

private:
  void PrintWithHeader(TMessage& Message);
  void CopyFrame(HDC DC, int Width);
};
