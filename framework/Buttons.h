#pragma once
// Buttons with glyphs: the owner-drawn bit button and the windowless speed button.

#include "framework/StdCtrls.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
using TNumGlyphs = int;

// Where a glyph and a caption go inside Client: Layout puts the glyph on one side of the caption, Spacing
// pixels apart (0 when either is missing), the pair Margin pixels from that side or centred when Margin is
// -1; a lone glyph or caption is centred.
struct TButtonContentLayout {
  POINT GlyphPos{};
  RECT TextRect{};
};
TButtonContentLayout LayoutButtonContent(const RECT& Client, SIZE Glyph, SIZE Text, TButtonLayout Layout, int Margin,
                                         int Spacing);

// The glyph, its cells (up, disabled, down, exclusive side by side) and the content layout shared by both
// buttons.
class TButtonGlyph {
public:
  TButtonGlyph();
  ~TButtonGlyph();
  TBitmap* Glyph() const { return FGlyph; }
  int NumGlyphs() const { return FNumGlyphs; }
  // 1..4; other values raise EInvalidOperation.
  void SetNumGlyphs(int Value);
  // One cell's size (0 x 0 without a glyph).
  SIZE CellSize() const;
  // Draws the cell for State (the up cell when there are fewer cells), its bottom-left pixel transparent.
  void Draw(HDC DC, POINT Pos, TButtonState State) const;
  // Paints glyph and caption inside Client in Font (grey when disabled).
  void DrawContent(HDC DC, const RECT& Client, const std::string& Caption, TFont* Font, TButtonState State,
                   TButtonLayout Layout, int Margin, int Spacing) const;

private:
  TBitmap* FGlyph;
  int FNumGlyphs = 1;
};

// ---------------------------------------------------------------------------------------------------
// A push button that draws a glyph beside its caption (an owner-drawn "BUTTON").
class TBitBtn : public TButton {
  DECLARE_CLASS(TBitBtn, TButton)
public:
  explicit TBitBtn(TComponent* AOwner);
  ~TBitBtn() override;

  TBitmap* Glyph() const { return FGlyph.Glyph(); }
  void SetGlyph(TBitmap* Value);
  int NumGlyphs() const { return FGlyph.NumGlyphs(); }
  void SetNumGlyphs(int Value);
  // A standard kind sets the caption and modal result (and Default or Cancel where they belong).
  TBitBtnKind Kind() const { return FKind; }
  void SetKind(TBitBtnKind Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  // bkClose closes the parent form; the others act as a button.
  void Click() override;
  // The default ring follows the focus among buttons: repainted here (the window's style does not change).
  void SetButtonStyle(bool ADefault) override;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;
  void DrawItem(const DRAWITEMSTRUCT& DrawItemStruct);
  void GlyphChanged(TObject* Sender);

  TButtonGlyph FGlyph;
  TBitBtnKind FKind = bkCustom;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
  bool FDefaultLook = false;  // drawn as the form's default button (follows the focus)
};

// ---------------------------------------------------------------------------------------------------
// A windowless button that can stay down; buttons of one GroupIndex under one parent are exclusive.
class TSpeedButton : public TGraphicControl {
  DECLARE_CLASS(TSpeedButton, TGraphicControl)
public:
  explicit TSpeedButton(TComponent* AOwner);

  // Down needs a GroupIndex; a down button of a group without AllowAllUp comes up only when another one of
  // its group goes down.
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TBitmap* Glyph() const { return FGlyph.Glyph(); }
  void SetGlyph(TBitmap* Value);
  int NumGlyphs() const { return FGlyph.NumGlyphs(); }
  void SetNumGlyphs(int Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  // bsDown while pressed, bsExclusive while it stays down, bsDisabled when disabled.
  TButtonState State() const { return FState; }
  // The mouse is over the button (a flat button shows its frame then).
  bool MouseInControl() const { return FMouseInControl; }

  void Dispatch(TMessage& Message) override;

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;
  void GlyphChanged(TObject* Sender);
  // The other buttons of the group come up.
  void UpdateExclusive();

  TButtonGlyph FGlyph;
  bool FDown = false;
  int FGroupIndex = 0;
  bool FAllowAllUp = false;
  bool FFlat = false;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
  TButtonState FState = bsUp;
  bool FDragging = false;
  bool FMouseInControl = false;
};
