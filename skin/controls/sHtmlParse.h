// A small HTML subset laid out and drawn onto a bitmap's canvas: B, I, U, FONT (SIZE, COLOR, FACE), A with
// HREF, BR, BR/ and P, and 87 character entities; everything else is text. The renderer has no window: the
// HTML label and the hint windows make one per paint, hand it a bitmap whose canvas carries the base font,
// colour and a clear brush, and collect the links it found.
#pragma once
#include <string>
#include <vector>

#include "framework/Graphics.h"

class TsSkinManager;

// A link's rectangle in bitmap coordinates and its target.
struct TvkLink {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  std::string URL;
};
// In the order the links open in the text.
using TvkLinks = std::vector<TvkLink>;

class TsHtml : public TObject {
  DECLARE_CLASS(TsHtml, TObject)
public:
  TsHtml() = default;
  ~TsHtml() override;

  // Takes the target, the text, the link states and the layout rectangle; the pen goes to Bounds' top-left and
  // the widths are cleared. LineHeight keeps its value.
  void Init(TBitmap* ABitmap, const std::string& AText, int APressedLink, int AHotLink, const TRect& ABounds);
  // Lays out (and unless ACalcOnly draws) the whole text; Links receives the links found. Returns
  // (0, 0, MaxWidth, TotalHeight). A second pass goes on from the state the first one left.
  TRect Render(TvkLinks& ALinks, bool ACalcOnly);

  bool CalcOnly = false;
  std::string Text;
  std::string UpperText;
  int TextLength = 0;
  int CurX = 0;  // left of the next run
  int CurY = 0;  // top of the current line
  int HotLink = -1;
  int PressedLink = -1;
  int MaxWidth = 0;
  int TotalHeight = 0;
  int LineWidth = 0;
  int LineHeight = 0;  // 0: nothing measured on the current line yet
  // Left starts every line, Top is the first line's top, Right the wrap limit (0 or less: no wrapping).
  TRect Bounds;
  TvkLinks Links;
  TBitmap* Bitmap = nullptr;  // not owned
  bool AlphaText = false;     // runs keep the alpha of a 32-bit target
  std::vector<TFont*> FontStack;
  TsSkinManager* SkinManager = nullptr;  // not owned; gives the link colours

protected:
  // Where text reaches the bitmap: a plain run at (X, Y), and an alpha-keeping run in R.
  virtual void TextAt(int X, int Y, const std::string& S);
  virtual void TextInRect(const TRect& R, const std::string& S);

private:
  // Text waiting for its line's height: drawn when the line ends, so that runs of different heights share the
  // line's bottom whatever their order.
  struct TPiece {
    std::string Text;
    int X, W, H;
    bool Alpha;   // through TextInRect
    TFont* Font;  // the canvas font it is drawn in, owned
  };
  void Place(const std::string& S, int X, int W, int H, bool Alpha);
  void EndLine();
  void DropPieces();
  std::vector<TPiece> FPieces;
  TCanvas* Canvas() const;
  void Flush(int From, int To);
  void OutputRun(const std::string& Run);
  void WrapRun(std::string Run, int RunHeight);
  void DrawWord(const std::string& Word, int X, int RunHeight, int WordWidth, int XHeight);
  bool TryEntity(int At, int& Consumed);
  bool ApplyTag(const std::string& Tag, int TagStart, int TagEnd);
  void ApplyFontAttributes(const std::string& Tag);
  void OpenLink(int TagStart, int TagEnd);
  void CloseLink();
  void NewLine();
  void BreakLine();
  void PushFont();
  void PopFont();
  bool FLinkOpen = false;  // the last link still waits for its /A
};

// The colour a link is drawn in: State counts how many of pressed and hot name it (0..2).
TColor HtmlLinkColor(TsSkinManager* Manager, int State);
// HREF's value from a link tag as written; empty without HREF.
std::string HtmlHrefValue(const std::string& Tag);
