#include "skin/controls/sHtmlParse.h"

#include <algorithm>
#include <cstring>

#include "framework/SysUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkntUtils.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkMaskedText.h"

IMPLEMENT_CLASS(TsHtml)

namespace {

struct TvkTColorData {
  const char* Name;
  TColor Color;
};

constexpr TvkTColorData kColorNames[16] = {
    {"AQUA", 0xFFFF00},  {"BLACK", 0x000000}, {"BLUE", 0xFF0000},   {"FUCHSIA", 0xFF00FF},
    {"GRAY", 0x808080},  {"GREEN", 0x008000}, {"LIME", 0x00FF00},   {"MAROON", 0x000080},
    {"NAVY", 0x800000},  {"OLIVE", 0x008080}, {"PURPLE", 0x800080}, {"RED", 0x0000FF},
    {"SILVER", 0xC0C0C0}, {"TEAL", 0x808000}, {"WHITE", 0xFFFFFF},  {"YELLOW", 0x00FFFF}};

struct TvkEntity {
  const char* Name;
  const char* Ref;
  char Byte;  // Windows-1252
};

// Name, numeric reference, replacement byte; the first match in this order wins.
constexpr TvkEntity kEntities[87] = {
    {"ndash", "#8211", '\x96'}, {"mdash", "#8212", '\x97'}, {"nbsp", "#160", '\xA0'},   {"iexcl", "#161", '\xA1'},
    {"iquest", "#191", '\xBF'}, {"quot", "#34", '\x22'},    {"ldquo", "#8220", '\x93'}, {"rdquo", "#8221", '\x94'},
    {"#39", "#39", '\x27'},     {"lsquo", "#8216", '\x91'}, {"rsquo", "#8217", '\x92'}, {"laquo", "#171", '\xAB'},
    {"raquo", "#187", '\xBB'},  {"amp", "#38", '\x26'},     {"cent", "#162", '\xA2'},   {"copy", "#169", '\xA9'},
    {"divide", "#247", '\xF7'}, {"gt", "#62", '\x3E'},      {"lt", "#60", '\x3C'},      {"micro", "#181", '\xB5'},
    {"middot", "#183", '\xB7'}, {"para", "#182", '\xB6'},   {"plusmn", "#177", '\xB1'}, {"euro", "#8364", '\x80'},
    {"pound", "#163", '\xA3'},  {"reg", "#174", '\xAE'},    {"sect", "#167", '\xA7'},   {"trade", "#153", '\x99'},
    {"yen", "#165", '\xA5'},    {"szlig", "#223", '\xDF'},  {"yuml", "#255", '\xFF'},   {"aacute", "#225", '\xE1'},
    {"Aacute", "#193", '\xC1'}, {"agrave", "#224", '\xE0'}, {"Agrave", "#192", '\xC0'}, {"acirc", "#226", '\xE2'},
    {"Acirc", "#194", '\xC2'},  {"aring", "#229", '\xE5'},  {"Aring", "#197", '\xC5'},  {"atilde", "#227", '\xE3'},
    {"Atilde", "#195", '\xC3'}, {"auml", "#228", '\xE4'},   {"Auml", "#196", '\xC4'},   {"aelig", "#230", '\xE6'},
    {"AElig", "#198", '\xC6'},  {"ccedil", "#231", '\xE7'}, {"Ccedil", "#199", '\xC7'}, {"eacute", "#233", '\xE9'},
    {"Eacute", "#201", '\xC9'}, {"egrave", "#232", '\xE8'}, {"Egrave", "#200", '\xC8'}, {"ecirc", "#234", '\xEA'},
    {"Ecirc", "#202", '\xCA'},  {"euml", "#235", '\xEB'},   {"Euml", "#203", '\xCB'},   {"iacute", "#237", '\xED'},
    {"Iacute", "#205", '\xCD'}, {"igrave", "#236", '\xEC'}, {"Igrave", "#204", '\xCC'}, {"icirc", "#238", '\xEE'},
    {"Icirc", "#206", '\xCE'},  {"iuml", "#239", '\xEF'},   {"Iuml", "#207", '\xCF'},   {"ntilde", "#241", '\xF1'},
    {"Ntilde", "#209", '\xD1'}, {"oacute", "#243", '\xF3'}, {"Oacute", "#211", '\xD3'}, {"ograve", "#242", '\xF2'},
    {"Ograve", "#210", '\xD2'}, {"ocirc", "#244", '\xF4'},  {"Ocirc", "#212", '\xD4'},  {"oslash", "#248", '\xF8'},
    {"Oslash", "#216", '\xD8'}, {"otilde", "#245", '\xF5'}, {"Otilde", "#213", '\xD5'}, {"ouml", "#246", '\xF6'},
    {"Ouml", "#214", '\xD6'},   {"uacute", "#250", '\xFA'}, {"Uacute", "#218", '\xDA'}, {"ugrave", "#249", '\xF9'},
    {"Ugrave", "#217", '\xD9'}, {"ucirc", "#251", '\xFB'},  {"Ucirc", "#219", '\xDB'},  {"uuml", "#252", '\xFC'},
    {"Uuml", "#220", '\xDC'},   {"#180", "#180", '\xB4'},   {"#96", "#96", '\x60'}};

bool ManagerActive(TsSkinManager* M) { return M != nullptr && M->SkinData().Active; }

// Position of the first occurrence of Name in Tag, counted from 1 as the tag rules count (0: none).
int PosIn(const std::string& Tag, const char* Name) {
  const size_t p = Tag.find(Name);
  return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

// Name stands right behind "<" and is followed directly by ">".
bool IsPlainOpeningTag(const std::string& Tag, const char* Name) {
  const size_t n = std::strlen(Name);
  return PosIn(Tag, Name) == 2 && Tag.size() > n + 1 && Tag[n + 1] == '>';
}

std::vector<std::string> SplitTagWords(const std::string& Tag) {
  std::vector<std::string> Words;
  std::string W;
  for (char c : Tag) {
    if (c == '\n' || c == '\r' || c == ' ' || c == '"' || c == '<' || c == '=' || c == '>') {
      if (!W.empty()) Words.push_back(W);
      W.clear();
    } else {
      W += c;
    }
  }
  if (!W.empty()) Words.push_back(W);
  return Words;
}

std::string WithoutLineBreaks(const std::string& S) {
  std::string R;
  R.reserve(S.size());
  for (char c : S)
    if (c != '\r' && c != '\n') R += c;
  return R;
}

}  // namespace

TColor HtmlLinkColor(TsSkinManager* Manager, int State) {
  if (ManagerActive(Manager)) {
    const uint32_t Top = Manager->PaletteColor(pcTCTop);
    if (State == 0) return static_cast<TColor>(Manager->PaletteColor(pcTCBottom));
    if (State == 1) return static_cast<TColor>(Top);
    return static_cast<TColor>(WeightedColorMix(Top, Manager->PaletteColor(pcLabelText), 127));
  }
  return State == 2 ? TColor(0x0000FF) : TColor(0xFF0000);
}

std::string HtmlHrefValue(const std::string& Tag) {
  // A tag without HREF has no target at all (the shell is then never asked).
  const size_t Href = UpperCase(Tag).find("HREF");
  if (Href == std::string::npos) return "";
  std::string S = Tag.substr(Href + 4);
  const size_t Eq = S.find('=');
  if (Eq == std::string::npos) return "";
  S.erase(0, Eq + 1);
  // Only an opening quote goes with the '='; an unquoted value keeps its first character.
  if (!S.empty() && (S[0] == '"' || S[0] == '\'')) S.erase(0, 1);
  std::string R;
  for (char c : S)
    if (c != '\'' && c != '"' && c != '>') R += c;
  return R;
}

TsHtml::~TsHtml() {
  DropPieces();
  for (TFont* F : FontStack) F->Free();
}

void TsHtml::Place(const std::string& S, int X, int W, int H, bool Alpha) {
  if (CalcOnly) return;
  TFont* F = new TFont();
  F->Assign(Canvas()->Font());
  FPieces.push_back({S, X, W, H, Alpha, F});
}

void TsHtml::EndLine() {
  if (FPieces.empty()) return;
  TCanvas* Cv = Canvas();
  TFont* Now = new TFont();
  Now->Assign(Cv->Font());
  const int Bottom = CurY + LineHeight;
  try {
    for (const TPiece& P : FPieces) {
      Cv->Font()->Assign(P.Font);
      if (P.Alpha)
        TextInRect(TRect(P.X, Bottom - P.H, P.X + P.W, Bottom), P.Text);
      else
        TextAt(P.X, Bottom - P.H, P.Text);
    }
  } catch (...) {
    Cv->Font()->Assign(Now);
    Now->Free();
    DropPieces();
    throw;
  }
  Cv->Font()->Assign(Now);
  Now->Free();
  DropPieces();
}

void TsHtml::DropPieces() {
  for (TPiece& P : FPieces) P.Font->Free();
  FPieces.clear();
}

TCanvas* TsHtml::Canvas() const { return Bitmap->Canvas(); }

void TsHtml::TextAt(int X, int Y, const std::string& S) {
  Canvas()->Brush()->SetStyle(bsClear);
  Canvas()->TextOut(X, Y, S);
}

void TsHtml::TextInRect(const TRect& R, const std::string& S) {
  DrawTextThroughMask32(Bitmap, S, true, false, static_cast<uint32_t>(ColorToRGB(Canvas()->Font()->Color())),
                        DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX, R);
}

void TsHtml::Init(TBitmap* ABitmap, const std::string& AText, int APressedLink, int AHotLink, const TRect& ABounds) {
  Bitmap = ABitmap;
  Text = AText;
  PressedLink = APressedLink;
  HotLink = AHotLink;
  Bounds = ABounds;
  UpperText = AnsiUpperCase(AText);
  TextLength = static_cast<int>(AText.size());
  CurX = Bounds.Left;
  CurY = Bounds.Top;
  MaxWidth = 0;
  TotalHeight = 0;
  LineWidth = 0;
}

TRect TsHtml::Render(TvkLinks& ALinks, bool ACalcOnly) {
  CalcOnly = ACalcOnly;
  DropPieces();
  Links = std::move(ALinks);
  Links.clear();
  FLinkOpen = false;
  int I = 0, S = 0;  // scanning position and start of the pending run
  while (I < TextLength) {
    const char C = UpperText[I];
    if (C == '&') {
      Flush(S, I);
      int Consumed = 0;
      if (TryEntity(I, Consumed)) {
        I += Consumed;
        S = I;
      } else if (I + 1 < TextLength && UpperText[I + 1] == '&') {
        // "&&" shows one '&': the second begins the next run and is examined again.
        ++I;
        S = I;
      } else {
        S = I;
        ++I;
      }
    } else if (C == '<' && I + 1 < TextLength && UpperText[I + 1] == '<') {
      Flush(S, I);
      S = I + 1;
      I += 2;
    } else if (C == '<') {
      Flush(S, I);
      const size_t Close = UpperText.find('>', I);
      if (Close == std::string::npos) {
        S = ++I;  // a '<' without '>' is dropped
      } else if (ApplyTag(UpperText.substr(I, Close - I + 1), I, static_cast<int>(Close))) {
        I = static_cast<int>(Close) + 1;
        S = I;
      } else {
        // Shown as text: the '<' and the character behind it start the next run unexamined.
        S = I;
        I += 2;
      }
    } else {
      ++I;
    }
  }
  Flush(S, TextLength);
  EndLine();
  MaxWidth = std::max(MaxWidth, LineWidth);
  LineWidth = 0;
  TotalHeight = CurY + LineHeight;
  ALinks = std::move(Links);
  Links.clear();
  CalcOnly = false;
  return TRect(0, 0, MaxWidth, TotalHeight);
}

void TsHtml::Flush(int From, int To) {
  if (To > From) OutputRun(WithoutLineBreaks(Text.substr(From, To - From)));
}

void TsHtml::OutputRun(const std::string& Run) {
  if (Run.empty()) return;
  TCanvas* Cv = Canvas();
  Cv->Brush()->SetStyle(bsClear);
  const TSize Ext = Cv->TextExtent(Run);
  LineHeight = std::max(LineHeight, static_cast<int>(Ext.cy));
  if (Bounds.Right > 0 && CurX + Ext.cx > Bounds.Right) {
    if (Run[0] == ' ') CurX += Cv->TextWidth(" ");
    WrapRun(Run, Ext.cy);
    return;
  }
  Place(Run, CurX, Ext.cx, Ext.cy, AlphaText);
  CurX += Ext.cx;
  LineWidth = std::max(LineWidth + static_cast<int>(Ext.cx), CurX);
}

void TsHtml::DrawWord(const std::string& Word, int X, int RunHeight, int WordWidth, int XHeight) {
  Place(Word, X, WordWidth, AlphaText ? XHeight : RunHeight, AlphaText);
}

void TsHtml::WrapRun(std::string Run, int RunHeight) {
  TCanvas* Cv = Canvas();
  const int Hx = Cv->TextHeight("X");
  const int Sp = Cv->TextWidth(" ");
  const int Room = Bounds.Right - Bounds.Left;
  bool Again = true;
  while (Again) {
    Again = false;
    size_t P = 0;
    while (P < Run.size()) {
      while (P < Run.size() && Run[P] == ' ') ++P;
      if (P >= Run.size()) break;
      size_t End = Run.find(' ', P);
      if (End == std::string::npos) End = Run.size();
      const std::string Word = Run.substr(P, End - P);
      const int Ww = Cv->TextWidth(Word);
      if (Ww > Room) {
        // Never broken: drawn alone from the left edge of a line of its own, and the next word starts a line
        // below. A line that already holds words is ended first, or the word would be drawn over them.
        if (CurX > Bounds.Left) {
          LineHeight = std::max(LineHeight, Hx);
          EndLine();
          CurY += LineHeight;
        }
        CurX = Bounds.Left;
        DrawWord(Word, CurX, RunHeight, Ww, Hx);
        LineHeight = std::max(LineHeight, Hx);
        EndLine();
        CurY += LineHeight;
        Run.erase(0, End);
        LineWidth = std::max(LineWidth, Ww);
        Again = true;
        break;
      }
      if (CurX + Ww > Bounds.Right) {
        CurX = Bounds.Left;
        LineHeight = std::max(LineHeight, Hx);
        EndLine();
        CurY += LineHeight;
        Run.erase(0, P);
        Again = true;
        break;
      }
      DrawWord(Word, CurX, RunHeight, Ww, Hx);
      CurX += Ww + Sp;
      LineWidth = std::max(LineWidth, CurX);
      LineHeight = std::max(LineHeight, Hx);
      P = End;
    }
  }
}

bool TsHtml::TryEntity(int At, int& Consumed) {
  const std::string Candidate = Text.substr(At + 1, 255);
  const size_t Semi = Candidate.find(';');
  if (Semi == std::string::npos) return false;
  const std::string Name = Candidate.substr(0, Semi);
  if (Name.find(' ') != std::string::npos) return false;
  for (const TvkEntity& E : kEntities) {
    if (Name != E.Name && Name != E.Ref) continue;
    const std::string Repl(1, E.Byte);
    TCanvas* Cv = Canvas();
    const int W = Cv->TextWidth(Repl);
    if (Bounds.Right > 0 && CurX + W > Bounds.Right) {
      CurX = Bounds.Left;
      NewLine();
    }
    // Entities always go through the plain output, also with AlphaText.
    Place(Repl, CurX, W, Cv->TextHeight(Repl), false);
    CurX += W;
    LineWidth = CurX;
    LineHeight = std::max(LineHeight, Cv->TextHeight("X"));
    Consumed = static_cast<int>(Semi) + 2;
    return true;
  }
  return false;
}

bool TsHtml::ApplyTag(const std::string& Tag, int TagStart, int TagEnd) {
  TFont* F = Canvas()->Font();
  auto AddStyle = [F](TFontStyle S, bool On) {
    TFontStyles St = F->Style();
    if (On)
      St += S;
    else
      St -= S;
    F->SetStyle(St);
  };
  if (Tag.size() > 1 && Tag[1] == '/') {
    if (PosIn(Tag, "B") == 3) AddStyle(fsBold, false);
    else if (PosIn(Tag, "I") == 3) AddStyle(fsItalic, false);
    else if (PosIn(Tag, "U") == 3) AddStyle(fsUnderline, false);
    else if (PosIn(Tag, "FONT") == 3) PopFont();
    else if (PosIn(Tag, "A") == 3) {
      CloseLink();
      PopFont();
    } else
      return false;
    return true;
  }
  if (IsPlainOpeningTag(Tag, "BR") || IsPlainOpeningTag(Tag, "BR/")) BreakLine();
  else if (IsPlainOpeningTag(Tag, "B")) AddStyle(fsBold, true);
  else if (IsPlainOpeningTag(Tag, "I")) AddStyle(fsItalic, true);
  else if (IsPlainOpeningTag(Tag, "U")) AddStyle(fsUnderline, true);
  else if (IsPlainOpeningTag(Tag, "P")) BreakLine();
  else if (PosIn(Tag, "FONT") > 0) {
    PushFont();
    ApplyFontAttributes(Tag);
  } else if (PosIn(Tag, "A") > 0)
    OpenLink(TagStart, TagEnd);
  else
    return false;
  return true;
}

void TsHtml::ApplyFontAttributes(const std::string& Tag) {
  TFont* F = Canvas()->Font();
  const std::vector<std::string> Words = SplitTagWords(Tag);
  for (size_t k = 0; k < Words.size(); ++k) {
    const std::string& W = Words[k];
    const bool HasNext = k + 1 < Words.size();
    if (W == "SIZE" && HasNext) {
      const std::string& V = Words[k + 1];
      int N = 0;
      const bool Relative = V[0] == '-' || V[0] == '+';
      // A size that is no number is ignored rather than raised out of a paint.
      if (!TryStrToInt(Relative ? V.substr(1) : V, N)) continue;
      if (V[0] == '-')
        F->SetSize(F->Size() - N);
      else if (V[0] == '+')
        F->SetSize(F->Size() + N);
      else
        F->SetSize(N);
    } else if (W == "COLOR" && HasNext) {
      const std::string& V = Words[k + 1];
      if (V[0] != '#') {
        for (const TvkTColorData& C : kColorNames)
          if (V == C.Name) {
            F->SetColor(C.Color);
            return;  // what follows a colour name is not read
          }
      }
      const std::string Hex = V[0] == '#' ? V.substr(1) : V;
      F->SetColor(static_cast<TColor>(HtmlRgbToColor(static_cast<uint32_t>(ParseHexInt64(Hex)))));
    } else if (W == "FACE") {
      const size_t From = Tag.find("FACE");
      const size_t Q1 = Tag.find('"', From);
      const size_t Q2 = Q1 == std::string::npos ? Q1 : Tag.find('"', Q1 + 1);
      if (Q2 != std::string::npos && Q2 > Q1 + 1) F->SetName(Tag.substr(Q1 + 1, Q2 - Q1 - 1));
    }
  }
}

void TsHtml::OpenLink(int TagStart, int TagEnd) {
  const int Index = static_cast<int>(Links.size());
  const int State = (Index == PressedLink ? 1 : 0) + (Index == HotLink ? 1 : 0);
  PushFont();
  TFont* F = Canvas()->Font();
  F->SetColor(HtmlLinkColor(SkinManager, State));
  if (State > 0) F->SetStyle(F->Style() + fsUnderline);
  TvkLink L;
  L.Left = CurX;
  L.Top = CurY;
  L.URL = Text.substr(TagStart, TagEnd - TagStart + 1);
  Links.push_back(L);
  FLinkOpen = true;
}

void TsHtml::CloseLink() {
  // A stray /A leaves the links as they are (a completed link would lose its target).
  if (Links.empty() || !FLinkOpen) return;
  FLinkOpen = false;
  TvkLink& L = Links.back();
  L.URL = HtmlHrefValue(L.URL);
  L.Right = CurX;
  L.Bottom = L.Top + LineHeight;
}

void TsHtml::BreakLine() {
  CurX = Bounds.Left;
  if (LineHeight == 0) LineHeight = Canvas()->TextHeight("X");
  NewLine();
}

void TsHtml::NewLine() {
  EndLine();
  CurY += LineHeight + 2;
  MaxWidth = std::max(MaxWidth, LineWidth);
  LineWidth = 0;
  LineHeight = 0;
}

void TsHtml::PushFont() {
  TFont* F = new TFont();
  F->Assign(Canvas()->Font());
  FontStack.push_back(F);
}

void TsHtml::PopFont() {
  if (FontStack.empty()) return;
  TFont* F = FontStack.back();
  FontStack.pop_back();
  Canvas()->Font()->Assign(F);
  F->Free();
}
