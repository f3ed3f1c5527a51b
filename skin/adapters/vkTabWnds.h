// Tab controls and page controls painted from the skin (page frame and every tab, through the cache), their
// scroll arrows skinned, and the page windows painted from the control's cached background.
#pragma once
#include <vector>

#include "skin/adapters/vkMainWnd.h"
#include "skin/graphics/vkParentBg.h"

class TBitmap;
class TCustomTabControl;
class TvkSpinWnd;
class TvkPageWnd;

class TvkTabControlWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkTabControlWnd, TvkMainWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;

  // The display area less the tabs (window coordinates), two pixels lower at the top.
  virtual TRect GetDisplayRect();
  // The page frame: the window with the tab side moved to the display area.
  virtual TRect GetPageRect();

  int TabCount() const;
  int CurrentTab() const;
  TRect ItemRect(int Index) const;
  // 0 top, 1 bottom, 2 left, 3 right.
  int TabPosition() const;
  // 0 tabs, 1 buttons, 2 flat buttons.
  int TabStyle() const;
  int TabRow(int Index) const;
  TRect GetTabStripRect();
  TRect GetTabRect(int Index, bool Active);
  void PaintTab(int Index, int State, TPoint Offset, TBitmap* Bmp);
  // An owner-drawn tab: the control's OnDrawTab on its canvas lent to Bmp, with its font in the section's colour.
  void DrawOwnerTab(TCustomTabControl* Tabs, int Index, int State, int Section, const TRect& At, TBitmap* Bmp);
  void PaintTabToDC(int Index, int State, HDC DC);
  void PaintTabs(const TvkBgCacheRef& Bg);
  void PaintAll(TMessage& Message);
  void UpdateUpDown();

  TvkSpinWnd* UpDownAdapter = nullptr;

protected:
  // The up-down's window goes back with the control's.
  void ReturnWindow() override;
  void ReleaseOwnObjects() override;
  bool Skinned() const;
  void CommonPath(TMessage& Message);
  // The section for the tab position ("PAGECONTROL" gets "BOTTOM", "LEFT" or "RIGHT" appended).
  std::string PositionSection() const;
};

class TvkPageControlWnd : public TvkTabControlWnd {
  DECLARE_CLASS(TvkPageControlWnd, TvkTabControlWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;
  // Every page window without a skin gets a page adapter.
  void AdaptPages();
};

class TvkPageWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkPageWnd, TvkMainWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;
  void PaintPage(TMessage& Message);

  TControl* Page = nullptr;  // nil: pages are adopted as plain windows
};

// The page adapters made for page windows; each leaves the list when its window goes.
std::vector<TvkPageWnd*>& PageAdapters();
// Frees the page adapters still listed (unit end).
void FreePageAdapters();
