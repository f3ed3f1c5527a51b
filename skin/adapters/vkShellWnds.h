// Shell windows of standard dialogs (container bands and the search box) and split buttons.
#pragma once
#include "skin/adapters/vkButtonWnds.h"
#include "skin/adapters/vkMainWnd.h"

// Container bands: the parent's look inside, the skin's frame strips only around a client edge.
class TvkContainerWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkContainerWnd, TvkMainWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;
  void Refresh();
  // The skin's frame strips around a client edge, into DC (the window DC when 0).
  void PaintFrame(HDC DC = nullptr);
  void PaintClient(HDC DC);

  TRect ClientRect;  // in window coordinates
  int Inset = 0;     // (window height - client height) / 2
};

// The search box: a 3-pixel skinned frame around the box's own painting.
class TvkSearchWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkSearchWnd, TvkMainWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;
  void Refresh();
  void PaintFrame();

  TRect ClientRect;
};

// Split buttons: a push button with a drop-down arrow at its right end.
class TvkSplitBtnWnd : public TvkBtnWnd {
  DECLARE_CLASS(TvkSplitBtnWnd, TvkBtnWnd)
public:
  TRect GetCaptionRect() override;
  void PaintCache() override;

  int ArrowWidth = 8;
};
