// The frame cache of a skinned form, pixel by pixel, with the SOLID test skin: border, caption band, title
// buttons in their states, client colour, an OnPaint handler drawing into it, and its copies onto a DC.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "FormTestSupport.h"
#include "framework/SysUtils.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSkinText.h"

using namespace form_test;

namespace {

// The colour of a SOLID title-button block: the red channel counts the state, the blue one the element.
constexpr uint32_t Block(int Element, int State) { return (0x40u * (State + 1)) << 16 | 0x2000u | (Element * 0x10u); }
constexpr int kClose = 1, kMax = 2, kMin = 3;

// A skinned form whose frame cache has been painted.
struct TCachedForm : TSkinnedForm {
  explicit TCachedForm(TFormBorderStyle Style = bsSizeable) : TSkinnedForm(Style) { RepaintFrame(P); }
  TBitmap* Cache() const { return P->FrameCache(); }
  uint32_t Px(int X, int Y) const { return CacheRgb(Cache(), X, Y); }
};

}  // namespace

TEST(FrameCache, BorderCaptionAndClientFromTheSkin) {
  TCachedForm S;
  ASSERT_TRUE(S.P->SkinData()->IsSkinned());
  ASSERT_NE(S.Cache(), nullptr);
  EXPECT_EQ(TSize(S.Cache()->Width(), S.Cache()->Height()), TSize(300, 200));
  const int Frame = GetSystemMetrics(SM_CXFRAME), Cap = GetSystemMetrics(SM_CYCAPTION);
  EXPECT_EQ(S.P->GetClientOffsetTop(), Frame + Cap);
  EXPECT_EQ(S.P->GetClientOffsetLeft(), Frame);
  // the FORM ring of the active state: outermost pixel dark, the rest of the border the section's red
  EXPECT_EQ(S.Px(0, 120), 0x202020u);
  EXPECT_EQ(S.Px(299, 120), 0x202020u);
  EXPECT_EQ(S.Px(150, 199), 0x202020u);
  EXPECT_EQ(S.Px(2, 120), 0xFF0000u);
  // the caption band in the active FORMTITLE colour beside the text and left of the buttons
  EXPECT_EQ(S.Px(150, 2), 0x0000FFu);
  EXPECT_EQ(S.Px(150, Frame + Cap - 1), 0x0000FFu);
  // the client part in the FORM colour
  EXPECT_EQ(S.Px(Frame + 40, Frame + Cap + 40), 0xFF0000u);
}

TEST(FrameCache, TitleButtonsSitWhereTheLayoutPutsThem) {
  TCachedForm S;
  const TsSkinData& D = S.M->SkinData();
  const int Frame = GetSystemMetrics(SM_CXFRAME), Cap = GetSystemMetrics(SM_CYCAPTION);
  const int Right = 300 - D.BIRight - std::max(4, Frame);
  const int Centre = Cap / 2 + Frame / 2;
  const TRect Close = S.P->ButtonClose.Rect;
  EXPECT_EQ(Close.Right, Right);
  EXPECT_EQ(Close.Left, Right - 16);
  EXPECT_EQ(Close.Top, Centre - 8);
  EXPECT_EQ(S.P->ButtonMax.Rect.Right, Close.Left - D.BISpace);
  EXPECT_EQ(S.P->ButtonMin.Rect.Right, S.P->ButtonMax.Rect.Left - D.BISpace);
  EXPECT_EQ(S.P->ButtonHelp.Rect.Right, S.P->ButtonHelp.Rect.Left);  // no help button
  struct Row {
    TsCaptionButton& B;
    int Element;
  };
  for (const Row& R : {Row{S.P->ButtonClose, kClose}, Row{S.P->ButtonMax, kMax}, Row{S.P->ButtonMin, kMin}})
    EXPECT_EQ(S.Px(R.B.Rect.Left + 8, R.B.Rect.Top + 8), Block(R.Element, 0)) << R.Element;
  // a hot and a pressed state repaint the cache's button from the state's frame
  S.P->ButtonClose.State = 2;
  RepaintFrame(S.P);
  EXPECT_EQ(S.Px(Close.Left + 8, Close.Top + 8), Block(kClose, 2));
  // a hidden user title button takes no room from the caption
  const int Width = S.P->GetTitleButtonsWidth();
  static_cast<TsTitleButton*>(S.P->TitleButtons()->Add())->SetVisible(false);
  EXPECT_EQ(S.P->GetTitleButtonsWidth(), Width);
}

TEST(FrameCache, CaptionTextSitsOnTheTitleLineByItsAlignment) {
  for (TAlignment A : {taLeftJustify, taCenter, taRightJustify}) {
    TCachedForm S;
    S.F->SetCaption("Caption text");
    S.P->SetCaptionAlignment(A);
    RepaintFrame(S.P);
    // the bounds of what differs from the caption band between the icon and the buttons
    const int From = S.P->IconRect().Right, To = S.P->ButtonMin.Rect.Left;
    int L = To, R = From - 1, T = S.P->CaptionBottom(), B = -1;
    for (int Y = 0; Y < S.P->CaptionBottom(); ++Y)
      for (int X = From; X < To; ++X)
        if (Y >= GetSystemMetrics(SM_CYFRAME) && S.Px(X, Y) != 0x0000FFu) {
          L = std::min(L, X), R = std::max(R, X);
          T = std::min(T, Y), B = std::max(B, Y);
        }
    ASSERT_GE(R, L) << A;
    // the whole caption in the caption font, centred on the title line
    const int Width = S.Cache()->Canvas()->TextWidth("Caption text");
    EXPECT_NEAR(R - L + 1, Width, 3) << A;
    EXPECT_NEAR((T + B) / 2.0, S.P->TitleCenterLine(), 2.5) << A;
    if (A == taLeftJustify) {
      EXPECT_LT(L - From, 12);
    } else if (A == taRightJustify) {
      EXPECT_LT(To - R, 24);
    } else {
      EXPECT_NEAR((L + R) / 2.0, 150, 3);
    }
  }
}

TEST(FrameCache, ADisabledFormsCaptionIsDimmedWithOrWithoutABorderWindow) {
  for (bool Border : {false, true}) {
    ManagerPtr M = CarriedManager();
    M->SetExtendedBorders(Border);
    Owned<TForm> F(NewForm());
    F->SetCaption("WWWW");
    auto* P = Create<TsSkinProvider>(F.get());
    F->Show();
    PumpPending();
    ASSERT_EQ(P->BorderForm() != nullptr, Border);
    F->SetEnabled(false);
    RepaintFrame(P);
    // letters of a colour, give or take the step a premultiplied layered picture loses
    const TsProps& Text = M->gd()[P->CaptionSectionIndex()].Props;
    auto Letters = [&](uint32_t Color) {
      int N = 0;
      for (int Y = 0; Y < P->CaptionBottom(); ++Y)
        for (int X = P->IconRect().Right; X < P->ButtonMin.Rect.Left; ++X) {
          bool Near = true;
          for (int Sh : {0, 8, 16})
            Near = Near && std::abs(int(CacheRgb(P->FrameCache(), X, Y) >> Sh & 0xFF) - int(SwapRedBlue(Color) >> Sh & 0xFF)) <= 3;
          N += Near ? 1 : 0;
        }
      return N;
    };
    EXPECT_GT(Letters(WeightedColorMix(Text[0].FontColor, Text[0].Color, DisabledBlendWeight)), 0) << Border;
    EXPECT_EQ(Letters(Text[0].FontColor) + Letters(Text[1].FontColor), 0) << Border;
  }
}

TEST(FrameCache, TheGripIsCopiedFromTheCacheThatHoldsIt) {
  TCachedForm S;
  S.P->SetGripMode(gmRightBottom);
  RepaintFrame(S.P);
  const TPoint G = S.P->GetGripPosition(S.M->ConstData().GripImage);
  ASSERT_GT(G.X, 0);
  // a mark on the cache's grip comes through: no second glyph is laid over the copy
  SetPixel(S.Cache()->Canvas()->Handle(), G.X + 1, G.Y + 1, RGB(1, 2, 3));
  testing_support::Dib32 D(S.Cache()->Width(), S.Cache()->Height(), 0, true);
  S.P->PaintGrip(D.DC());
  EXPECT_EQ(D.Rgb(G.X + 1, G.Y + 1), 0x010203u);
}

TEST(FrameCache, DialogFormsShowTheLoneCloseButton) {
  TCachedForm S(bsDialog);
  EXPECT_EQ(S.P->ButtonClose.MaskKind, tmCloseAlone);
  EXPECT_EQ(S.P->ButtonMax.Rect.Right, S.P->ButtonMax.Rect.Left);
  EXPECT_EQ(S.P->ButtonMin.Rect.Right, S.P->ButtonMin.Rect.Left);
  const TRect Close = S.P->ButtonClose.Rect;
  EXPECT_EQ(S.Px(Close.Left + 8, Close.Top + 8), Block(6, 0));
  Owned<TForm> Tool(NewForm(200, 100, bsToolWindow));
  auto* T = Create<TsSkinProvider>(Tool.get());
  EXPECT_EQ(T->ButtonClose.MaskKind, tmSmallClose);
  EXPECT_EQ(T->ButtonMax.MaskKind, tmSmallMax);
  EXPECT_EQ(T->ButtonMin.MaskKind, tmSmallMin);
  EXPECT_FALSE(T->ButtonClose.LargeCaption);
}

TEST(FrameCache, OnPaintDrawsIntoTheClientPartOfTheCache) {
  TCachedForm S;
  S.F->OnPaint = [&](TObject*) {
    RECT R{0, 0, 10, 10};
    HBRUSH B = CreateSolidBrush(RGB(0, 0xC0, 0));
    FillRect(S.F->Canvas()->Handle(), &R, B);
    DeleteObject(B);
  };
  RepaintFrame(S.P);
  const int L = S.P->GetClientOffsetLeft(), T = S.P->GetClientOffsetTop();
  EXPECT_EQ(S.Px(L + 5, T + 5), 0x00C000u);
  EXPECT_EQ(S.Px(L + 15, T + 15), 0xFF0000u);
}

TEST(FrameCache, ChildrenGetTheCachePixelBehindThem) {
  TCachedForm S;
  S.F->OnPaint = [&](TObject*) { SetPixel(S.F->Canvas()->Handle(), 7, 8, RGB(1, 2, 3)); };
  S.P->SkinData()->CacheDirty = true;
  TvkParentBgQuery Q{.OffsetX = 7, .OffsetY = 8};
  EXPECT_EQ(S.F->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_PARENT_BG), reinterpret_cast<LPARAM>(&Q)), 1);
  ASSERT_EQ(Q.Kind, bgkBitmap);
  ASSERT_EQ(Q.Bmp, S.Cache());
  EXPECT_EQ(CacheRgb(Q.Bmp, Q.OffsetX, Q.OffsetY), 0x010203u);
  const LRESULT Offset = S.F->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_CLIENT_OFFSET), 0);
  EXPECT_EQ(LOWORD(Offset), S.P->GetClientOffsetLeft());
  EXPECT_EQ(HIWORD(Offset), S.P->GetClientOffsetTop());
  EXPECT_EQ(S.F->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_FORM_SKINNER), 0), reinterpret_cast<LRESULT>(S.P));
}

TEST(FrameCache, APrintGivesThePartsAskedForFromTheCacheWithOrWithoutTheBackground) {
  TCachedForm S;
  const int Frame = GetSystemMetrics(SM_CXFRAME), Cap = GetSystemMetrics(SM_CYCAPTION);
  const TPoint Close(S.P->ButtonClose.Rect.Left + 3, S.P->ButtonClose.Rect.Top + 3);
  struct Row {
    UINT Erase;
    std::vector<TPoint> Points;
  };
  for (const Row& R : {Row{0, {TPoint(0, 0), TPoint(150, 3), TPoint(0, 120), TPoint(299, 120), TPoint(150, 199),
                               TPoint(2, 50), TPoint(297, 50), Close, TPoint(Frame + 30, Frame + Cap + 30)}},
                       Row{PRF_ERASEBKGND, {TPoint(299, 120), TPoint(150, 199), Close}}}) {
    testing_support::Dib32 D(300, 200, 0xFF123456, true);
    S.F->Perform(WM_PRINT, reinterpret_cast<WPARAM>(D.DC()), R.Erase | PRF_NONCLIENT | PRF_CLIENT);
    for (const TPoint P : R.Points) EXPECT_EQ(D.Rgb(P.X, P.Y), S.Px(P.X, P.Y)) << P.X << "," << P.Y << " " << R.Erase;
  }
  // only those parts: a print of the client or of the background leaves the border as it was
  for (const UINT Part : {PRF_CLIENT, PRF_ERASEBKGND}) {
    testing_support::Dib32 D(300, 200, 0xFF123456, true);
    S.F->Perform(WM_PRINT, reinterpret_cast<WPARAM>(D.DC()), Part);
    EXPECT_EQ(D.Rgb(299, 120), 0x123456u) << Part;
  }
}

TEST(FrameCache, RegionCutsTheTransparentCorners) {
  TCachedForm S;
  S.P->CollectBorderMaskRects();
  HRGN R = S.P->CreateFormRegionAt(0, 0);
  EXPECT_FALSE(PtInRegion(R, 0, 0));
  EXPECT_FALSE(PtInRegion(R, 299, 199));
  EXPECT_TRUE(PtInRegion(R, 1, 1));
  EXPECT_TRUE(PtInRegion(R, 150, 100));
  for (const TRect& T : S.P->TransparentRects()) EXPECT_FALSE(PtInRegion(R, T.Left, T.Top));
  DeleteObject(R);
}

TEST(FrameCache, AnUnpaintedRebuildLeavesTheCacheDue) {
  TCachedForm S;
  testing_support::Dib32 D(300, 200);
  // a hide snapshot holds the frame: no rebuild now, one later
  TsSkinProviderAccess::State(S.P) |= fsfHiding;
  S.P->SkinData()->CacheDirty = true;
  S.P->DrawFrameCache(D.DC());
  EXPECT_TRUE(S.P->SkinData()->CacheDirty);
  TsSkinProviderAccess::State(S.P) &= ~fsfHiding;
  S.P->DrawFrameCache(D.DC());
  EXPECT_FALSE(S.P->SkinData()->CacheDirty);
}

TEST(FrameCache, AFailingOnPaintLeavesTheCacheCanvasAsItWas) {
  TCachedForm S;
  S.F->OnPaint = [](TObject*) { throw Exception("paint"); };
  S.P->SkinData()->CacheDirty = true;
  EXPECT_THROW(S.P->PaintFormFrame(), Exception);
  POINT Org{-1, -1};
  GetWindowOrgEx(S.Cache()->Canvas()->Handle(), &Org);
  EXPECT_EQ(TPoint(Org), TPoint(0, 0));
  EXPECT_EQ(S.Cache()->Canvas()->LockCount(), 0);
}

TEST(FrameCache, AShrunkTitleIconGlyphKeepsItsOwnPixels) {
  TSkinnedForm Skinned;
  auto& [M, F, P] = Skinned;
  // columns of opaque red and blue: a shrink that mixes pixels shows neither
  std::unique_ptr<TBitmap> G(NewBitmap32(32, 32));
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) PutPixel32(G.get(), x, y, x % 2 == 0 ? 0xFFFF0000u : 0xFF0000FFu);
  P->TitleIcon()->SetGlyph(G.get());
  P->TitleIcon()->SetWidth(16);
  P->TitleIcon()->SetHeight(16);
  RepaintFrame(P);
  ASSERT_TRUE(P->HasTitleIcon());
  const TRect R = P->IconRect();
  const int Side = M->ApplyScale(16);
  for (int y = R.Top; y < R.Top + Side; ++y)
    for (int x = R.Left; x < R.Left + Side; ++x) {
      const uint32_t C = CacheRgb(P->FrameCache(), x, y);
      ASSERT_TRUE(C == 0xFF0000u || C == 0x0000FFu) << x << "," << y << " " << std::hex << C;
    }
}

TEST(FrameCache, TheTitleIconStaysInsideItsRectangleAndTheCache) {
  // an icon taller than the caption, one reaching past the right edge, one doubled by the scale on a 100 %
  // screen, and a glyph narrower than its own width
  struct Row {
    int Width, Height, GlyphSide;
    TvkScaleMode Scale;
  };
  for (const Row& Case : {Row{0, 40, 0, smOldMode}, Row{400, 16, 0, smOldMode}, Row{0, 0, 0, sm200}, Row{16, 0, 24, smOldMode}}) {
    SCOPED_TRACE(testing::Message() << Case.Width << "x" << Case.Height << " glyph " << Case.GlyphSide);
    ManagerPtr M = CarriedManager();
    M->Options()->SetScaleMode(Case.Scale);
    Owned<TForm> F(NewForm());
    F->SetCaption("");
    auto* P = Create<TsSkinProvider>(F.get());
    if (Case.GlyphSide > 0) {
      std::unique_ptr<TBitmap> G(NewBitmap32(Case.GlyphSide, Case.GlyphSide));
      FillRect32(G.get(), TRect(0, 0, Case.GlyphSide, Case.GlyphSide), 0x00C000, 255);
      P->TitleIcon()->SetGlyph(G.get());
    }
    P->TitleIcon()->SetWidth(Case.Width);
    P->TitleIcon()->SetHeight(Case.Height);
    // the frame without the icon, then with it: only the icon's rectangle may differ
    P->TitleIcon()->SetVisible(false);
    ASSERT_NO_THROW(RepaintFrame(P));
    testing_support::Dib32 Before(P->FrameCache()->Width(), P->FrameCache()->Height());
    BitBlt(Before.DC(), 0, 0, Before.Width(), Before.Height(), P->FrameCache()->Canvas()->Handle(), 0, 0, SRCCOPY);
    P->TitleIcon()->SetVisible(true);
    ASSERT_NO_THROW(RepaintFrame(P));
    const TRect R = P->IconRect();
    ASSERT_TRUE(R.Top < 0 || R.Right > P->FrameCache()->Width() || Case.GlyphSide > 0);
    int Drawn = 0;
    for (int y = 0; y < Before.Height(); ++y)
      for (int x = 0; x < Before.Width(); ++x) {
        const uint32_t Now = GetPixel32(P->FrameCache(), x, y);
        if (x >= R.Left && x < R.Right && y >= R.Top && y < R.Bottom) {
          Drawn += Now != Before.Px(x, y) ? 1 : 0;
          continue;
        }
        ASSERT_EQ(Now, Before.Px(x, y)) << x << "," << y;
      }
    EXPECT_GT(Drawn, 0);
  }
}

TEST(FrameCache, ATitleSkinSetAtRunTimeTakesTheCaptionAtOnce) {
  TCachedForm S;
  struct Row {
    const char* Skin;
    int Section;
    uint32_t Caption;
  };
  for (const Row& R : {Row{"FORMHEADER", S.M->FindSectionIndex("FORMHEADER"), 0x00E000u}, Row{"NOSUCH", -1, 0xFF0000u},
                       Row{"", S.M->FindSectionIndex("FORMTITLE"), 0x0000FFu}}) {
    S.P->SetTitleSkin(R.Skin);
    EXPECT_EQ(S.P->TitleSectionIndex(), R.Section) << R.Skin;
    S.P->PaintFormFrame();
    // a missing section leaves the band in the form's own colour
    EXPECT_EQ(S.Px(150, 2), R.Caption) << R.Skin;
  }
}

TEST(FrameCache, ARightToLeftFormReadsItsCaptionRightToLeft) {
  // a caption starting with a neutral sign: read right to left the bracket goes to the other end
  const bool Was = SysLocale.MiddleEast;
  std::vector<uint32_t> Band[2];
  for (bool RightToLeft : {false, true}) {
    SysLocale.MiddleEast = RightToLeft;
    TCachedForm S;
    S.F->SetBiDiMode(bdRightToLeft);
    S.F->SetCaption("(abc");
    S.P->SetCaptionAlignment(taCenter);
    RepaintFrame(S.P);
    for (int Y = 0; Y < S.P->CaptionBottom(); ++Y)
      for (int X = S.P->IconRect().Right; X < S.P->ButtonMin.Rect.Left; ++X) Band[RightToLeft].push_back(S.Px(X, Y));
  }
  SysLocale.MiddleEast = Was;
  EXPECT_NE(Band[0], Band[1]);
}

TEST(FrameCache, AFormThatKeepsItsOwnRegionIsNotGivenOne) {
  for (bool Keeps : {false, true}) {
    ManagerPtr M = CarriedManager();
    Owned<TForm> F(NewForm());
    // the form's own code answers the question
    if (Keeps)
      F->WindowProc = [Own = F->WindowProc](TMessage& Msg) {
        if (Msg.Msg == 0xBC4D && Msg.WParam == 0x41A2) {
          Msg.Result = 0x41A2;
          return;
        }
        Own(Msg);
      };
    auto* P = Create<TsSkinProvider>(F.get());
    P->CollectBorderMaskRects();
    P->ApplyWindowRegion(false, true);
    EXPECT_EQ(HasWindowRegion(F->Handle()), !Keeps) << Keeps;
  }
}

TEST(FrameCache, ACaptionChangedWhileHiddenGetsAGlowOfItsOwn) {
  TCachedForm S;
  const int Caption = S.P->CaptionSectionIndex();
  ASSERT_GE(Caption, 0);
  for (TsGenState& State : S.M->EditModel().gd[Caption].Props) State.GlowSize = 3;
  S.F->SetCaption("Before");
  RepaintFrame(S.P);
  ASSERT_NE(TsSkinProviderAccess::CaptionGlow(S.P, 1), nullptr);
  ASSERT_FALSE(IsWindowVisible(S.F->Handle()));
  // a text of the same length would find a glow of its size, blurred from the old letters
  S.F->SetCaption("Behind");
  EXPECT_EQ(TsSkinProviderAccess::CaptionGlow(S.P, 1), nullptr);
}
