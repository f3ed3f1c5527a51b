// Status bars painted whole from the skin: the bar, its panels or panel dividers, texts and the size grip.
#pragma once
#include "skin/adapters/vkMainWnd.h"

class TBitmap;
class TStatusBar;

class TvkStatusBarWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkStatusBarWnd, TvkMainWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;

  int PartCount() const;
  bool SimpleMode() const;
  TRect PartRect(int Index) const;
  std::string PanelText(int Index) const;
  void PaintPanel(TBitmap* Cache, int Index, const TRect& R, bool Last);
  void PaintGrip(TBitmap* Cache);
  void RebuildCache();
  // The cache to DC: a client DC (an erase) or one at the window's corner (a print, or none given).
  void PaintBar(HDC DC, bool Client);
  void PaintFrame();

  TStatusBar* StatusBar = nullptr;  // nil for a status bar that is not the framework's
};
