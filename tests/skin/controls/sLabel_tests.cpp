// The skinned labels: text colours with and without a skin, the HTML label's layout and links, the web label's
// hover colour and its URL, the bound label's placement.
#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/controls/sLabel.h"

using namespace controls_test;

namespace {

// The darkest pixel of the label painted over white (the text colour where a glyph covers whole pixels),
// 0xFFFFFFFF for none.
uint32_t InkOf(TControl* Label) {
  Dib32 Dib(Label->Width(), Label->Height(), 0xFFFFFF, true);
  PaintGraphic(Label, Dib);
  uint32_t Ink = 0xFFFFFFFF;
  int Best = 1 << 30;
  for (int y = 0; y < Dib.Height(); ++y)
    for (int x = 0; x < Dib.Width(); ++x) {
      const uint32_t P = Dib.Rgb(x, y);
      if (P == 0xFFFFFF) continue;
      const int Sum = static_cast<int>((P >> 16) + ((P >> 8) & 0xFF) + (P & 0xFF));
      if (Sum < Best) Best = Sum, Ink = P;
    }
  return Ink;
}

// Leftmost column holding anything but Background (-1: none).
int FirstInkColumn(const Dib32& Dib, uint32_t Background) {
  for (int x = 0; x < Dib.Width(); ++x)
    for (int y = 0; y < Dib.Height(); ++y)
      if (Dib.Rgb(x, y) != Background) return x;
  return -1;
}

template <class L> L* Place(TWinControl* Parent, int X, int Y, int W, int H, const std::string& Caption) {
  L* Label = new L(Parent);
  Label->SetParent(Parent);
  Label->SetAutoSize(false);
  Label->SetBounds(X, Y, W, H);
  Label->SetCaption(Caption);
  Label->Font()->SetName("Tahoma");
  Label->Font()->SetHeight(-11);
  Label->Font()->SetColor(clBlack);
  return Label;
}

}  // namespace

TEST(SkinnedLabels, DisabledUnskinnedTextIsMixedTowardTheParentColour) {
  Owned<TForm> Form = NewForm(clWhite);
  TsLabel* Label = Place<TsLabel>(Form.get(), 0, 0, 60, 16, "WWW");
  Label->SetEnabled(false);
  EXPECT_EQ(InkOf(Label), 0x9A9A9Au);  // black toward white with weight 100
  Label->SetEnabled(true);
  EXPECT_EQ(InkOf(Label), 0x000000u);
}

TEST(SkinnedLabels, ASkinSectionIsPaintedBehindTheText) {
  Owned<TsSkinManager> M = SkinnedManager("SOLID");
  Owned<TForm> Form = NewForm(clWhite);
  TsLabel* Label = Place<TsLabel>(Form.get(), 0, 0, 60, 16, "W");
  Dib32 Plain(60, 16, 0x123456, true);
  PaintGraphic(Label, Plain);
  EXPECT_EQ(Plain.Rgb(59, 15), 0x123456u);  // transparent without a section
  Label->SetSkinSection("PANEL");
  Dib32 Dib(60, 16, 0x123456, true);
  PaintGraphic(Label, Dib);
  EXPECT_EQ(Dib.Rgb(59, 15), 0xFFFF00u);
  EXPECT_EQ(Label->SectionIndex(), M->FindSectionIndex("PANEL"));
  Label->SetSkinSection("NOSUCH");
  Dib32 None(60, 16, 0x123456, true);
  PaintGraphic(Label, None);
  EXPECT_EQ(None.Rgb(59, 15), 0x123456u);
}

TEST(SkinnedLabels, PlainCaptionDropsTags) {
  Owned<TsHTMLLabel> L(new TsHTMLLabel(nullptr));
  const std::vector<std::pair<std::string, std::string>> Cases = {
      {"a <b>bold</b> b", "a bold b"}, {"x > y <z", "x > y <z"}, {"<a href='q'>go</a>&amp;", "go&amp;"}, {"<", "<"}};
  for (const auto& [Caption, Plain] : Cases) {
    L->SetCaption(Caption);
    EXPECT_EQ(L->PlainCaption(), Plain) << Caption;
  }
}

TEST(SkinnedLabels, AlignedHtmlTextIsTheLeftAlignedPictureMoved) {
  // Right-aligned text moves by all the room left, centred text by half of it. Tags left open and a taller font
  // in the measuring pass must not change the drawing pass.
  Owned<TForm> Form = NewForm(clWhite);
  const std::string Text = "ab <font size=+6><b>cd";
  Dib32 A(120, 30, 0xFFFFFF, true);
  PaintGraphic(Place<TsHTMLLabel>(Form.get(), 0, 0, 120, 30, Text), A);
  const int Start = FirstInkColumn(A, 0xFFFFFF);
  ASSERT_GE(Start, 0);
  int Room = 0;
  for (const TAlignment Align : {taRightJustify, taCenter}) {
    TsHTMLLabel* Moved = Place<TsHTMLLabel>(Form.get(), 0, 40, 120, 30, Text);
    Moved->SetAlignment(Align);
    Dib32 B(120, 30, 0xFFFFFF, true);
    PaintGraphic(Moved, B);
    const int Shift = FirstInkColumn(B, 0xFFFFFF) - Start;
    if (Align == taRightJustify) Room = Shift;
    ASSERT_GT(Shift, 0) << Align;
    EXPECT_EQ(Shift, Align == taCenter ? Room / 2 : Room);
    int Differ = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x + Shift < 120; ++x) Differ += A.Rgb(x, y) != B.Rgb(x + Shift, y);
    EXPECT_EQ(Differ, 0) << Align;
  }
}

TEST(SkinnedLabels, HtmlLinksOpenThroughTheShell) {
  ShellRecorder Shell;
  Owned<TForm> Form = NewForm(clWhite);
  TsHTMLLabel* L =
      Place<TsHTMLLabel>(Form.get(), 10, 10, 200, 16, "<a href=\"first\">one</a> <a href=\"second\">two</a> <a name=x>3</a>");
  Dib32 Dib(200, 16, 0xFFFFFF, true);
  PaintGraphic(L, Dib);
  ASSERT_EQ(L->Links().size(), 3u);
  POINT Cursor{};
  Platform().GetCursorPos = [&](POINT* P) {
    *P = Cursor;
    return TRUE;
  };
  auto MoveTo = [&](int X, int Y) {
    const POINT O = L->ClientOrigin();
    Cursor = POINT{O.x + X, O.y + Y};
    L->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(X, Y));
  };
  const TvkLink One = L->Links()[0], Two = L->Links()[1];
  // Pressed on link 0, released on link 1: link 0 opens.
  MoveTo(One.Left, One.Top);
  EXPECT_EQ(L->HotLink(), 0);
  EXPECT_EQ(L->Cursor(), crHandPoint);
  L->Perform(WM_LBUTTONDOWN, MK_LBUTTON, 0);
  MoveTo(Two.Right - 1, Two.Bottom - 1);
  L->Perform(WM_LBUTTONUP, 0, 0);
  ASSERT_EQ(Shell.Calls.size(), 1u);
  EXPECT_EQ(Shell.Calls[0].Op, "open");
  EXPECT_EQ(Shell.Calls[0].File, "first");
  EXPECT_EQ(Shell.Calls[0].Show, 10);
  // Released outside every link: nothing opens.
  MoveTo(Two.Left, Two.Top);
  L->Perform(WM_LBUTTONDOWN, MK_LBUTTON, 0);
  MoveTo(Two.Right, Two.Top);  // the right edge is outside
  EXPECT_EQ(L->HotLink(), -1);
  EXPECT_EQ(L->Cursor(), crDefault);
  L->Perform(WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(Shell.Calls.size(), 1u);
  // A handler may turn the default action off or empty the target.
  for (int Variant = 0; Variant < 3; ++Variant) {
    L->OnLinkClick = [&](TObject*, std::string& Link, bool& Default) {
      if (Variant == 0) Default = false;
      if (Variant == 1) Link.clear();
      if (Variant == 2) Link = "changed";
    };
    MoveTo(Two.Left, Two.Top);
    L->Perform(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    L->Perform(WM_LBUTTONUP, 0, 0);
  }
  ASSERT_EQ(Shell.Calls.size(), 2u);
  EXPECT_EQ(Shell.Calls[1].File, "changed");
  // A link without a target opens nothing.
  L->OnLinkClick = nullptr;
  MoveTo(L->Links()[2].Left, L->Links()[2].Top);
  L->Perform(WM_LBUTTONDOWN, MK_LBUTTON, 0);
  L->Perform(WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(Shell.Calls.size(), 2u);
  // Leaving the label forgets the hot link.
  L->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(L->HotLink(), -1);
}

TEST(SkinnedLabels, WebLabelTakesTheSkinsLinkColoursAndOpensItsUrl) {
  ShellRecorder Shell;
  Owned<TForm> Form = NewForm(clWhite);
  TsWebLabel* L = Place<TsWebLabel>(Form.get(), 0, 0, 120, 16, "www.example.com");
  TFont* Normal = L->NormalFont();  // the stored "Font"
  Normal->Assign(L->Font());
  Normal->SetColor(static_cast<TColor>(8404992));
  L->HoverFont()->Assign(Normal);
  L->HoverFont()->SetColor(clRed);
  EXPECT_EQ(L->Cursor(), crHandPoint);
  // Without a skin: the stored colour, and the hover font's colour under the mouse.
  EXPECT_EQ(InkOf(L), Px(static_cast<TColor>(8404992)));
  L->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(InkOf(L), Px(clRed));
  L->Perform(CM_MOUSELEAVE, 0, 0);
  {
    Owned<TsSkinManager> M = SkinnedManager("SOLID");
    ASSERT_TRUE(M->SkinData().Active);
    EXPECT_EQ(InkOf(L), Px(static_cast<TColor>(M->PaletteColor(pcTCBottom))));
    L->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(InkOf(L), Px(static_cast<TColor>(M->PaletteColor(pcTCTop))));
    L->Perform(CM_MOUSELEAVE, 0, 0);
  }
  // No URL: a click makes no shell call; with one, one call with the default show command.
  auto Click = [&] {
    L->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    L->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  };
  Click();
  EXPECT_TRUE(Shell.Calls.empty());
  L->SetURL("http://www.example.com");
  int Clicks = 0;
  L->OnClick = [&](TObject*) { ++Clicks; };
  Click();
  EXPECT_EQ(Clicks, 1);
  ASSERT_EQ(Shell.Calls.size(), 1u);
  EXPECT_EQ(Shell.Calls[0].File, "http://www.example.com");
  EXPECT_EQ(Shell.Calls[0].Show, SW_SHOWDEFAULT);
}

TEST(SkinnedLabels, BoundLabelIsPlacedByItsLayout) {
  Owned<TForm> Form = NewForm(clWhite);
  TControl* Box = PlaceOn<TCustomControl>(Form.get(), 80, 20, 100, 50);
  Box->SetName("Box");
  Owned<TsBoundLabel> B(new TsBoundLabel(Box, nullptr));
  B->SetCaption("Port");
  B->SetActive(true);
  TsEditLabel* L = B->Label();
  ASSERT_NE(L, nullptr);
  EXPECT_EQ(L->Parent(), Form.get());
  EXPECT_EQ(L->Name(), "BoxLabel");
  EXPECT_EQ(L->Alignment(), taRightJustify);
  const int W = L->Width(), H = L->Height();
  EXPECT_GT(W, 0);
  struct Case {
    TsCaptionLayout Layout;
    int X, Y;
  };
  const Case Cases[] = {
      {sclLeft, 100 - W - 4 - 2, 50 + (20 - H) / 2 - 1 + 3}, {sclTopLeft, 100 + 3, 50 - H - 2},
      {sclTopRight, 100 + 80 - W + 3, 50 - H - 2},          {sclBottomCenter, 100 + (80 - W) / 2 + 3, 70 + 2},
      {sclRightTop, 180 + 4 + 2, 53 + 3},
  };
  B->SetIndent(2);
  B->SetOffset(3);
  for (const Case& C : Cases) {
    B->SetLayout(C.Layout);
    EXPECT_EQ(L->Left(), C.X) << C.Layout;
    EXPECT_EQ(L->Top(), C.Y) << C.Layout;
  }
  // The label follows the control's visibility and enabled state; freeing it switches the bound label off.
  Box->SetVisible(false);
  TMessage Msg{CM_VISIBLECHANGED, 0, 0, 0};
  B->HandleOwnerMessage(Msg, Box);
  EXPECT_FALSE(L->Visible());
  L->Free();
  EXPECT_FALSE(B->Active());
  EXPECT_EQ(B->Label(), nullptr);
}

TEST(SkinnedLabels, AClickHandlerMayFreeItsLabelAndTheLinkStillOpens) {
  ShellRecorder Shell;
  Owned<TForm> Form = NewForm(clWhite);
  auto* Html = Place<Kept<TsHTMLLabel>>(Form.get(), 0, 0, 200, 16, "<a href=\"first\">one</a>");
  Dib32 Dib(200, 16, 0xFFFFFF, true);
  PaintGraphic(Html, Dib);
  ASSERT_EQ(Html->Links().size(), 1u);
  Platform().GetCursorPos = [&](POINT* P) {
    *P = Form->ClientToScreen(POINT{1, 1});
    return TRUE;
  };
  Html->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
  Html->OnLinkClick = [&](TObject*, std::string&, bool&) { Html->Free(); };
  Html->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  Html->Perform(WM_LBUTTONUP, 0, MAKELPARAM(1, 1));

  auto* Web = Place<Kept<TsWebLabel>>(Form.get(), 0, 20, 100, 16, "site");
  Web->SetURL("second");
  Web->OnClick = [&](TObject*) { Web->Free(); };
  Web->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  Web->Perform(WM_LBUTTONUP, 0, MAKELPARAM(1, 1));

  EXPECT_EQ(Form->ControlCount(), 0);
  ASSERT_EQ(Shell.Calls.size(), 2u);
  EXPECT_EQ(Shell.Calls[0].File, "first");
  EXPECT_EQ(Shell.Calls[1].File, "second");
  EXPECT_TRUE(KeptMemoryUntouched());
}

TEST(SkinnedLabels, AnHtmlLabelWithoutTagsDrawsLikeAPlainOne) {
  Owned<TForm> Form = NewForm(clWhite);
  TsLabel* Plain = Place<TsLabel>(Form.get(), 0, 0, 120, 16, "Port COM2");
  TsHTMLLabel* Html = Place<TsHTMLLabel>(Form.get(), 0, 20, 120, 16, "Port COM2");
  Dib32 A(120, 16, 0xFFFFFF, true), B(120, 16, 0xFFFFFF, true);
  PaintGraphic(Plain, A);
  PaintGraphic(Html, B);
  ASSERT_GE(FirstInkColumn(A, 0xFFFFFF), 0);
  EXPECT_EQ(Pixels(A), Pixels(B));
}
