// Panel-like containers: a section chosen from the panel's bevels, background, frame and caption from the skin,
// and the children told about skin changes and the end of updates.
#pragma once
#include "skin/adapters/vkMainWnd.h"

class TCanvas;

class TvkPanelWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkPanelWnd, TvkMainWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;

  // Background, frame and caption into the cache; False while the parent cannot give its background.
  bool PaintCache();
  void PaintFrame(HDC DC);
  void PaintClient(HDC DC);
  void PaintCaption(TCanvas* Canvas, const TRect& R);

  TWinControl* Panel = nullptr;  // the framework control of the window; nil for a plain window

private:
  void Skinned(TMessage& Message);
};

// The section a panel's bevels choose: "GROUPBOX", "PANEL_LOW", "PANEL" or "TRANSPARENT".
std::string PanelSectionFor(TControl* Control);
