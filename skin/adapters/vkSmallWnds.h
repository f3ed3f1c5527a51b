// Small adapters, mostly for the controls of standard dialogs: the size grip, a common-control tool bar, a
// transparent pane and the up-down control.
#pragma once
#include <string>

#include "skin/adapters/vkMainWnd.h"

class TBitmap;

// A size-grip scroll bar (section "TRANSPARENT").
class TvkSizerWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkSizerWnd, TvkMainWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;
  void PaintGrip();
  int Reserved = 0;
};

// A foreign tool bar painted button by button.
class TvkToolBarWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkToolBarWnd, TvkMainWnd)
public:
  void WndProc(TMessage& Message) override;
  int ButtonCount() const;
  // The skin's frame strips around a client edge, into DC (the window DC when 0).
  void PaintBorder(HDC DC = nullptr);
  void RefreshCache();
  // The client's picture with its buttons into DC (a DC of the client when 0) with the client's corner at At.
  void PaintToDC(HDC DC, POINT At);
  // A print: the client inside the frame, the frame around it.
  void Print(HDC DC);
  void PaintButtons(TBitmap* Bmp);
  TRect ItemRect(int Index) const;
  // A button's text, however long; empty for none.
  std::string ButtonText(int Command) const;
  void PaintButton(int Index, const TRect& R, HDC DC);

  TRect ClientRect;
  int BorderWidth = 0;
};

// A pane that shows its parent's background (section "TRANSPARENT").
class TvkTransPanelWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkTransPanelWnd, TvkMainWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;
  void PaintToDC(TMessage& Message);
  int Reserved = 0;
};

// An up-down control: two halves with arrows.
class TvkSpinWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkSpinWnd, TvkMainWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;
  void PaintToDC(TMessage& Message);
  void PaintCache();
  bool IsVertical() const;

  int LeftIndent = 0;   // columns at the left left unpainted (a dialog's buddy border shows there)
  int FirstState = 0;   // up or left half: 0 normal, 1 hot, 2 pressed
  int SecondState = 0;  // down or right half
  bool Pressed = false;
};

// The tool-button text split at the first blank after which the text no longer fits Width; Second empty when
// the whole text fits.
void SplitToolButtonText(HDC DC, const std::string& Text, int Width, std::string& First, std::string& Second);
