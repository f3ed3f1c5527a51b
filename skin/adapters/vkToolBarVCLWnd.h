// The framework's tool bars: the bar from the skin and each button through the bar's own custom-draw events,
// which the adapter takes over while skinned and gives back afterwards.
#pragma once
#include "framework/ComCtrlsToolBar.h"
#include "skin/adapters/vkMainWnd.h"

class TBitmap;

class TvkToolBarVCLWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkToolBarVCLWnd, TvkMainWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;

  // Client rectangle inside the window (window coordinates).
  TRect ClientInWindow() const;
  // The button under a client point (separators and dividers count as none); -1 for none.
  int ButtonAt(TPoint P) const;
  virtual void RepaintButton(int Index);
  void PaintFrame();
  void RebuildCache();
  void PaintButton(int Index, TCustomDrawState State, TCanvas* Target);

  void BarDraw(TToolBar* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw);
  void ButtonDraw(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, TCustomDrawStage Stage,
                  TTBCustomDrawFlags& Flags, bool& DefaultDraw);

  TToolBar* ToolBar = nullptr;
  int HotIndex = -1;
  // The button whose drop-down is open; given up when the button is freed (a click in its own menu may do so).
  TToolButton* DropDownButton() const { return FDropDownButton; }
  void SetDropDownButton(TToolButton* Button);

protected:
  // The bar's own custom-draw handlers go back with its window.
  void ReturnWindow() override;
  void ReleaseOwnObjects() override;

private:
  void TakeEvents();
  void GiveEventsBack();
  bool ButtonDown(int Index) const;
  // The button at a native index is enabled.
  bool ButtonEnabled(int Index) const;
  // The bar's own handlers, put back when the skin goes.
  TTBAdvancedCustomDrawEvent FSavedBarDraw;
  TTBAdvancedCustomDrawBtnEvent FSavedButtonDraw;
  bool FEventsTaken = false;
  class TWatch;
  TComponent* FWatch = nullptr;  // hears the drop-down button's removal
  TToolButton* FDropDownButton = nullptr;
};
