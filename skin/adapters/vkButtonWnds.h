// Adapters of the button family: push buttons, check boxes and radio buttons, group boxes. Each paints its
// window from its skin data's cache bitmap in the control's section.
#pragma once
#include <string>

#include "skin/adapters/vkMainWnd.h"

class TCanvas;

// Push buttons (section "BUTTON").
class TvkBtnWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkBtnWnd, TvkMainWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;

  // 0 normal, 1 hot or focused, 2 pressed, 3 default button.
  virtual int GetState();
  // A foreign button's BS_BITMAP or BS_ICON image, centred; none for a framework control.
  virtual void DrawGlyph();
  virtual TSize GetGlyphSize();
  virtual TRect GetCaptionRect();
  virtual int GetCaptionWidth();
  virtual void PaintCache();

  bool IsPushed() const;
  TSize GetTextSize();
  void DrawCaption(int State);
  void PaintToDC(TMessage& Message);
  // The caption as ANSI text; none on a foreign button that shows its image alone.
  std::string CaptionText() const;

  int Reserved = 0;  // cleared when creation finishes

protected:
  // A pressed button's content moves by (1, 1) unless a skinned control's manager says otherwise.
  bool ShiftsContent() const;
  void MouseEntered(TMessage& Message);
  void MouseLeft(TMessage& Message);
};

// Glyph buttons (framework bit buttons, and foreign buttons with a bitmap): the glyph beside the caption.
class TvkBitBtnWnd : public TvkBtnWnd {
  DECLARE_CLASS(TvkBitBtnWnd, TvkBtnWnd)
public:
  int GetState() override;
  void DrawGlyph() override;
  TSize GetGlyphSize() override;
  TRect GetCaptionRect() override;
  int GetCaptionWidth() override;
  TRect GetGlyphRect();
};

// Check boxes and radio buttons (section "CHECKBOX", control type 32).
class TvkCheckBoxWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkCheckBoxWnd, TvkMainWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;

  void PaintToDC(TMessage& Message);
  void PaintCache();
  void DrawCaption();
  // 0 unchecked, 1 checked, 2 indeterminate.
  int GetCheckState() const;
  int GlyphMaskIndex(int CheckState) const;
  TRect GlyphRect(int MaskIndex) const;
  int GlyphState() const;
  void DrawGlyph(int MaskIndex);
  bool IsRadio() const;

  bool OwnerDrawn = false;

private:
  void Tail(TMessage& Message);
  TSize CheckGlyphSize() const;
};

// Group boxes (section "GROUPBOX").
class TvkGroupBoxWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkGroupBoxWnd, TvkMainWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;

  void PaintToDC(TMessage& Message);
  void PaintCache();
  TRect GetCaptionRect();
  void DrawCaption();
};
