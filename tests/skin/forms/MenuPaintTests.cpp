// Popup items measured and painted on memory canvases, the popup background cache and shape, and bar items.
#include <algorithm>
#include <memory>

#include "MenuTestSupport.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkFormServices.h"
#include "skin/graphics/vkBitmap32.h"
#include "tests/support/MessagePump.h"

using namespace menu_test;

namespace {

class SkinMenusPaint : public testing::Test {
protected:
  void SetUp() override { ClearMenuBgCache(); }
  void TearDown() override {
    ClearMenuBgCache();
    SysLocaleMiddleEast = SavedLocale;
  }
  decltype(SysLocaleMiddleEast) SavedLocale = SysLocaleMiddleEast;
  TMenuSkin S = NewMenuSkin();
  TsSkinableMenus* P = S.Painter();
};

struct TCanvasBmp {
  BitmapPtr Bmp;
  explicit TCanvasBmp(int W, int H) : Bmp(testing_support::Bitmap32(W, H, 0xFF123456)) {}
  TCanvas* Canvas() { return Bmp->Canvas(); }
};

int ItemHeightOf(TsSkinableMenus* P, TMenuItem* I) {
  TCanvasBmp C(10, 10);
  return P->ItemHeight(C.Canvas(), I);
}

// The item drawn alone on a canvas of W x H.
std::unique_ptr<TCanvasBmp> Drawn(TsSkinableMenus* P, TMenuItem* I, int W, int H, TOwnerDrawState St = {}) {
  auto C = std::make_unique<TCanvasBmp>(W, H);
  P->DrawPopupItem(I, C->Canvas(), TRect(0, 0, W, H), St);
  return C;
}

// Colour pixels in a rectangle of the canvas that differ from Color.
int CountOther(TBitmap* B, const TRect& R, uint32_t Color) {
  int N = 0;
  for (int y = R.Top; y < R.Bottom; ++y)
    for (int x = R.Left; x < R.Right; ++x) N += ColorAt(B, x, y) != Color;
  return N;
}

// The popups' extra line on, with no caption drawn in it.
void ExtraLineWithoutCaption(TsSkinManager* M) {
  M->MenuSupport()->SetUseExtraLine(true);
  M->OnGetMenuExtraLineData = [](TMenuItem*, std::string&, std::string& Caption, TBitmap*&, bool&) { Caption.clear(); };
}

// d = (s * (255 - L) + d * L) shr 8 per channel: the background over a disabled item.
uint32_t Faded(uint32_t Item, uint32_t Bg, int L) {
  uint32_t R = 0;
  for (int k = 0; k < 3; ++k) {
    const uint32_t d = Item >> (8 * k) & 0xFF, s = Bg >> (8 * k) & 0xFF;
    R |= ((s * (255 - L) + d * L) >> 8) << (8 * k);
  }
  return R;
}

}  // namespace

TEST_F(SkinMenusPaint, HeightsAndWidths) {
  Owned<TPopupMenu> M(NewPopup({"Tools", "-", "-Tools-", "Open"}));
  TMenuItem* Normal = M->Items()->Items(0);
  EXPECT_EQ(ItemHeightOf(P, M->Items()->Items(1)), 2);
  EXPECT_EQ(ItemHeightOf(P, M->Items()->Items(2)), ItemHeightOf(P, Normal) + 1);
  TCanvasBmp C(10, 10);
  P->ApplyItemFont(C.Canvas(), Normal, false, false);
  const int TH = C.Canvas()->TextHeight("Tools");
  EXPECT_EQ(ItemHeightOf(P, Normal), TH + 2 * (P->Margin + 1));
  Owned<TBitmap> Tall(NewBitmap32(16, TH + 10));
  M->Items()->Items(3)->SetBitmap(Tall.get());
  EXPECT_EQ(ItemHeightOf(P, M->Items()->Items(3)), TH + 10 + 2 * (P->Margin + 1));

  // width: two glyph columns, text, three margins and the spacing; six less without a border mask
  int W = 0, H = 0;
  P->MeasurePopupItem(Normal, C.Canvas(), W, H);
  const int TW = C.Canvas()->TextWidth("Tools");
  EXPECT_EQ(W, 2 * DefaultMenuGlyphSize + TW + 3 * P->Margin + P->Spacing);
  EXPECT_EQ(H, ItemHeightOf(P, Normal));
  EXPECT_TRUE(SkinnedMenuShowing);
  TMenuSkin Plain = NewMenuSkin(false);
  int W2 = 0;
  Plain.Painter()->MeasurePopupItem(Normal, C.Canvas(), W2, H);
  EXPECT_EQ(W2, W - 2 * P->BorderWidth);
}

TEST_F(SkinMenusPaint, ExtraLineWidensFirstColumnItemsOnly) {
  S.Manager->MenuSupport()->SetUseExtraLine(true);
  Owned<TPopupMenu> M(NewPopup({"One", "Two"}));
  TCanvasBmp C(10, 10);
  auto Width = [&](TMenuItem* I) {
    int W = 0, H = 0;
    P->MeasurePopupItem(I, C.Canvas(), W, H);
    return W;
  };
  const int Base = Width(M->Items()->Items(1));
  M->Items()->Items(1)->SetBreak(mbBreak);
  const int Broken = Width(M->Items()->Items(1));
  EXPECT_EQ(Base - Broken, S.Manager->ApplyScale(32, 0));
  M->Items()->Items(0)->SetName("SkinSelectItem");  // the skin selector's popup never has one
  M->Items()->Items(1)->SetBreak(mbNone);
  EXPECT_EQ(Width(M->Items()->Items(1)), Broken);
}

TEST_F(SkinMenusPaint, ItemFacesInTheirStates) {
  ASSERT_TRUE(S.Manager->Active());
  Owned<TPopupMenu> M(NewPopup({"Open", "Gone"}));
  M->Items()->Items(1)->SetEnabled(false);
  const int H = ItemHeightOf(P, M->Items()->Items(0));
  TCanvasBmp C(140, 2 * H);
  const int X = 130, Y = H / 2;
  P->DrawPopupItem(M->Items()->Items(0), C.Canvas(), TRect(0, 0, 140, H), TOwnerDrawState{});
  EXPECT_EQ(ColorAt(C.Bmp.get(), X, Y), kItemColor);
  P->DrawPopupItem(M->Items()->Items(0), C.Canvas(), TRect(0, 0, 140, H), TOwnerDrawState{odSelected});
  EXPECT_EQ(ColorAt(C.Bmp.get(), X, Y), kItemHotColor);
  P->DrawPopupItem(M->Items()->Items(1), C.Canvas(), TRect(0, H, 140, 2 * H), TOwnerDrawState{odSelected});
  EXPECT_EQ(ColorAt(C.Bmp.get(), X, H + Y), Faded(kItemColor, kPopupColor, MenuDisabledBlend));
  ASSERT_EQ(MenuBgCache().size(), 1u);  // one background for both items
  EXPECT_EQ(MenuBgCache()[0].KeyItem, M->Items()->Items(0));
}

TEST_F(SkinMenusPaint, CheckMarksGlyphsAndTexts) {
  Owned<TPopupMenu> M(NewPopup({"A", "A\tB", "\bA", "Close"}, "vkSysMenu1"));
  const int H = ItemHeightOf(P, M->Items()->Items(0));
  const int W = 160;
  auto Draw = [&](TMenuItem* I, TOwnerDrawState St) { return Drawn(P, I, W, H, St); };
  TMenuItem* Plain = M->Items()->Items(0);
  auto First = Draw(Plain, {});
  ASSERT_GT(MenuTextOffset, 0);  // left by the background build
  const TRect Column(0, 0, MenuTextOffset, H), RightHalf(W / 2, 0, W, H);
  EXPECT_EQ(CountOther(First->Bmp.get(), Column, kItemColor), 0);
  EXPECT_EQ(CountOther(Draw(Plain, {})->Bmp.get(), RightHalf, kItemColor), 0);
  // a tab's second part and a backspace caption go to the right
  EXPECT_GT(CountOther(Draw(M->Items()->Items(1), {})->Bmp.get(), RightHalf, kItemColor), 0);
  EXPECT_GT(CountOther(Draw(M->Items()->Items(2), {})->Bmp.get(), RightHalf, kItemColor), 0);
  // a checked radio item shows the radio image in the glyph column
  Plain->SetRadioItem(true);
  auto Checked = Draw(Plain, TOwnerDrawState{odChecked});
  int Marks = 0;
  for (int x = 0; x < MenuTextOffset; ++x)
    for (int y = 0; y < H; ++y) Marks += ColorAt(Checked->Bmp.get(), x, y) == kCheckColor;
  EXPECT_EQ(Marks, 16);
  // system-menu items draw their command's glyph; other tags none
  TMenuItem* Close = M->Items()->Items(3);
  EXPECT_EQ(CountOther(Draw(Close, {})->Bmp.get(), Column, kItemColor), 0);
  Close->SetTag(SC_CLOSE);
  EXPECT_GT(CountOther(Draw(Close, {})->Bmp.get(), Column, kItemColor), 0);
}

TEST_F(SkinMenusPaint, DividerAndCaptionItems) {
  Owned<TPopupMenu> M(NewPopup({"-Tools-", "-", "Open"}));
  const int HC = ItemHeightOf(P, M->Items()->Items(0));
  TCanvasBmp C(120, HC + 2);
  P->DrawPopupItem(M->Items()->Items(0), C.Canvas(), TRect(0, 0, 120, HC), TOwnerDrawState{});
  EXPECT_EQ(ColorAt(C.Bmp.get(), 3, HC / 2), kCaptionColor);
  P->DrawPopupItem(M->Items()->Items(1), C.Canvas(), TRect(0, HC, 120, HC + 2), TOwnerDrawState{});
  EXPECT_NE(ColorAt(C.Bmp.get(), 60, HC), kPopupColor);  // the line
  EXPECT_EQ(ColorAt(C.Bmp.get(), 60, HC + 1), kPopupColor);
  // beside the icon column the line starts after the text offset
  EXPECT_EQ(ColorAt(C.Bmp.get(), 0, HC), kIcoColor);
  EXPECT_EQ(ColorAt(C.Bmp.get(), MenuTextOffset + 1, HC), kPopupColor);
  EXPECT_NE(ColorAt(C.Bmp.get(), MenuTextOffset + 2, HC), kPopupColor);
}

TEST_F(SkinMenusPaint, WithTheExtraLineTextsAndDividersEndInsideTheItem) {
  ExtraLineWithoutCaption(S.Manager.get());
  const int EW = S.Manager->ApplyScale(32, 0), W = 160;
  Owned<TPopupMenu> M(NewPopup({"A", "\bA", "-"}));
  const int H = ItemHeightOf(P, M->Items()->Items(0));
  auto Draw = [&](TMenuItem* I) { return Drawn(P, I, W, H); };
  // right-aligned texts reach the item's right part, not past it
  const TRect RightQuarter(W - W / 4, 0, W, H);
  P->Alignment = taRightJustify;
  EXPECT_GT(CountOther(Draw(M->Items()->Items(0))->Bmp.get(), RightQuarter, kItemColor), 0);
  P->Alignment = taLeftJustify;
  EXPECT_GT(CountOther(Draw(M->Items()->Items(1))->Bmp.get(), RightQuarter, kItemColor), 0);
  // the divider's line (beside the icon column) stops short of the right end by the extra line as well
  auto Divider = Draw(M->Items()->Items(2));
  const uint32_t Line = ColorAt(Divider->Bmp.get(), W / 2, 0);
  const int End = W - P->Margin - EW - P->Spacing;
  EXPECT_NE(Line, kPopupColor);
  EXPECT_EQ(ColorAt(Divider->Bmp.get(), End, 0), kPopupColor);
  EXPECT_EQ(ColorAt(Divider->Bmp.get(), End - 1, 0), Line);
}

TEST_F(SkinMenusPaint, BackgroundIconColumnExtraLineAndMirror) {
  Owned<TPopupMenu> M(NewPopup({"One", "Two"}));
  TMenuItem* Key = M->Items()->Items(0);
  auto Build = [&]() -> TBitmap* {
    ClearMenuBgCache();
    P->BuildPopupBackground(Key, 100, nullptr, 60);
    return MenuBgCache().back().Background;
  };
  TBitmap* B = Build();
  EXPECT_EQ(ColorAt(B, 1, 30), kFrameColor);
  EXPECT_EQ(ColorAt(B, 5, 30), kIcoColor);
  EXPECT_EQ(ColorAt(B, 3 + MenuTextOffset + 1, 30), kPopupColor);
  EXPECT_EQ(ColorAt(B, 90, 30), kPopupColor);

  ExtraLineWithoutCaption(S.Manager.get());
  B = Build();
  const int EW = S.Manager->ApplyScale(32, 0);
  EXPECT_EQ(ColorAt(B, 5, 30), kExtraColor);
  EXPECT_EQ(ColorAt(B, 3 + EW + 2, 30), kIcoColor);
  Key->SetName("SkinSelectItem");
  B = Build();
  EXPECT_EQ(ColorAt(B, 5, 30), kIcoColor);
  EXPECT_FALSE(MenuBgCache().back().ExtraLine);

  Key->SetName("");
  S.Manager->MenuSupport()->SetUseExtraLine(false);
  SysLocaleMiddleEast = [] { return true; };
  M->SetBiDiMode(bdRightToLeft);
  B = Build();
  EXPECT_EQ(ColorAt(B, 94, 30), kIcoColor);
  EXPECT_EQ(ColorAt(B, 5, 30), kPopupColor);
}

TEST_F(SkinMenusPaint, CacheKeyedOnWindowAndSizeAndShapeApplied) {
  Owned<TPopupMenu> M(NewPopup({"One", "Two"}));
  TMenuItem* Item = M->Items()->Items(1);
  auto NewWnd = [](int W, int H) {
    return CreateWindowExA(0, "STATIC", "", WS_POPUP, 10, 10, W, H, nullptr, nullptr, nullptr, nullptr);
  };
  HWND A = NewWnd(120, 50), B = NewWnd(90, 40);
  TCanvasBmp C(10, 10);
  TMenuBgCacheRecord Rec;
  P->GetPopupBackground(Item, 0, Rec, A, C.Canvas(), 0);
  ASSERT_NE(Rec.Background, nullptr);
  EXPECT_EQ(Rec.Background->Width(), 120);
  // the border mask's key corners are cut out of the window
  HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(A, Rgn), ERROR);
  EXPECT_FALSE(PtInRegion(Rgn, 0, 0));
  EXPECT_FALSE(PtInRegion(Rgn, 119, 49));
  EXPECT_TRUE(PtInRegion(Rgn, 1, 0));

  SetWindowPos(A, nullptr, 0, 0, 130, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  P->GetPopupBackground(Item, 0, Rec, A, C.Canvas(), 0);
  EXPECT_EQ(Rec.Background->Width(), 130);  // not the stale 120 one
  P->GetPopupBackground(Item, 0, Rec, B, C.Canvas(), 0);
  EXPECT_EQ(Rec.Background->Width(), 90);
  EXPECT_EQ(MenuBgCache().size(), 2u);
  // shaped again, A loses its own corners, not those of the background built last
  ASSERT_TRUE(FormServices.SkinPopupMenuWindow);
  FormServices.SkinPopupMenuWindow(P, A);
  ASSERT_NE(GetWindowRgn(A, Rgn), ERROR);
  EXPECT_FALSE(PtInRegion(Rgn, 129, 49));
  EXPECT_TRUE(PtInRegion(Rgn, 89, 39));
  ForgetMenuBgWindow(A);
  ASSERT_EQ(MenuBgCache().size(), 1u);
  EXPECT_EQ(MenuBgCache()[0].Wnd, B);

  // without a border mask only the top-left pixel is taken out
  TMenuSkin Plain = NewMenuSkin(false);
  HWND D = NewWnd(80, 30);
  Plain.Painter()->GetPopupBackground(Item, 0, Rec, D, C.Canvas(), 0);
  ASSERT_NE(GetWindowRgn(D, Rgn), ERROR);
  EXPECT_FALSE(PtInRegion(Rgn, 0, 0));
  EXPECT_TRUE(PtInRegion(Rgn, 79, 29));
  EXPECT_TRUE(PtInRegion(Rgn, 1, 0));
  DeleteObject(Rgn);
  for (HWND W : {A, B, D}) DestroyWindow(W);
}

TEST_F(SkinMenusPaint, BarItemsOverTheMenuLine) {
  Owned<TMainMenu> Bar(new TMainMenu(nullptr));
  auto* Top = new TMenuItem(Bar.get());
  Top->SetCaption("&File");
  Bar->Items()->Add(Top);
  TCanvasBmp C(80, 30);
  int W = 0, H = 0;
  P->MeasureBarItem(Top, C.Canvas(), W, H);
  EXPECT_EQ(H, GetSystemMetrics(SM_CYMENU) - 1);
  EXPECT_EQ(W, C.Canvas()->TextWidth("File"));

  // a form skinner stand-in: its skin data with a frame cache and its menu line's background
  static TsScrollWndData* Data;
  static TBitmap* Line;
  Owned<TsScrollWndData> D(new TsScrollWndData(nullptr, true));
  D->CacheBmp->SetSize(100, 60);
  BitmapPtr L = testing_support::Bitmap32(200, 30, 0xFF203040);
  Data = D.get();
  Line = L.get();
  const TvkFormServices Saved = FormServices;
  FormServices.ProviderSkinData = [](TsSkinProvider*) { return Data; };
  FormServices.ProviderMenuLineBg = [](TsSkinProvider*) { return Line; };
  // the stand-in is no provider: nothing may read it as one
  FormServices.ProviderForm = [](TsSkinProvider*) -> TCustomForm* { return nullptr; };
  FormServices.ProviderBorderForm = [](TsSkinProvider*) -> TvkBorderForm* { return nullptr; };
  FormServices.GetExtBorderMargins = [](TsSkinProvider*, RECT& Mg) { Mg = RECT{}; };
  P->PaintingProvider = reinterpret_cast<TsSkinProvider*>(&Data);
  const TRect R(10, 0, 70, H);
  P->DrawBarItem(Top, C.Canvas(), R, TOwnerDrawState{});
  EXPECT_EQ(ColorAt(C.Bmp.get(), 68, H / 2), kItemColor);
  P->DrawBarItem(Top, C.Canvas(), R, TOwnerDrawState{odSelected});
  EXPECT_EQ(ColorAt(C.Bmp.get(), 68, H / 2), kItemHotColor);

  // With a border window whose skin frame is 5 pixels wider than the system's, the system's bar DC lies that
  // much farther right in the menu line than the frame cache: a see-through item shows the line's column there.
  S.Manager->EditModel().gd[S.Manager->ConstData().Sections[ssMenuItem]].Props[0].Transparency = 100;
  BitmapPtr Columns = testing_support::Bitmap32By(200, 30, [](int X, int) { return 0xFF000000u | static_cast<uint32_t>(X); });
  Line = Columns.get();
  FormServices.ProviderBorderForm = [](TsSkinProvider*) { return reinterpret_cast<TvkBorderForm*>(&Line); };
  FormServices.GetWindowFrameWidth = [](HWND, TvkBorderForm*, bool UseSkin) { return UseSkin ? 8 : 3; };
  FormServices.GetExtraCaptionHeight = [](TvkBorderForm*) { return 0; };
  FormServices.GetCaptionBarHeight = [](TsSkinProvider*, bool) { return 0; };
  const struct {
    bool OnCache;
    int Column;
  } Cases[] = {{true, 10 - 8}, {false, 10 - 8 + 5}};
  for (const auto& K : Cases) {
    TCanvas* On = K.OnCache ? D->CacheBmp->Canvas() : C.Canvas();
    P->DrawBarItem(Top, On, R, TOwnerDrawState{});
    EXPECT_EQ(testing_support::PixelAt(K.OnCache ? D->CacheBmp : C.Bmp.get(), R.Left, 0) & 0xFFFFFF,
              static_cast<uint32_t>(K.Column))
        << (K.OnCache ? "frame cache" : "system's bar DC");
  }
  P->PaintingProvider = nullptr;
  FormServices = Saved;
}

TEST_F(SkinMenusPaint, ItemPostedForItsPopupIsForgottenWhenFreed) {
  TPopupMenu* M = NewPopup({"One"});
  TMenuItem* Item = M->Items()->Items(0);
  TCanvasBmp C(60, 20);
  using testing_support::PumpPending;
  PumpPending();
  // a memory canvas has no popup window: the application window is asked to find it
  S.Painter()->DrawPopupItem(Item, C.Canvas(), TRect(0, 0, 60, 20), TOwnerDrawState{});
  EXPECT_TRUE(TakePostedItem(Item));
  PumpPending();
  S.Painter()->DrawPopupItem(Item, C.Canvas(), TRect(0, 0, 60, 20), TOwnerDrawState{});
  M->Free();
  EXPECT_FALSE(TakePostedItem(Item));
  PumpPending();  // the waiting message names a freed item and is passed over
}

// Without a handler the extra line shows the library's own caption; the skin selector's popup never asks the
// handler.
TEST_F(SkinMenusPaint, TheExtraLinesDefaultCaptionAndNoQuestionForTheSkinSelector) {
  Owned<TPopupMenu> M(NewPopup({"One", "Two"}));
  TMenuItem* Key = M->Items()->Items(0);
  S.Manager->MenuSupport()->SetUseExtraLine(true);
  const int EW = S.Manager->ApplyScale(32, 0);
  // The band's pixels (inside the 3-pixel frame).
  auto Band = [&] {
    ClearMenuBgCache();
    P->BuildPopupBackground(Key, 100, nullptr, 60);
    TBitmap* B = MenuBgCache().back().Background;
    std::vector<uint32_t> Px;
    for (int y = 3; y < 57; ++y)
      for (int x = 3; x < 3 + EW; ++x) Px.push_back(ColorAt(B, x, y));
    return Px;
  };
  const std::vector<uint32_t> Default = Band();
  EXPECT_GT(std::count_if(Default.begin(), Default.end(), [](uint32_t C) { return C != kExtraColor; }), 10)
      << "no caption in the band";
  int Asked = 0;
  std::string Given = "Use OnGetExtraLineData event";
  S.Manager->OnGetMenuExtraLineData = [&](TMenuItem*, std::string&, std::string& Caption, TBitmap*&, bool&) {
    ++Asked;
    Caption = Given;
  };
  EXPECT_EQ(Default, Band()) << "the default caption is not the library's own words";
  EXPECT_EQ(1, Asked);
  Key->SetName("SkinSelectItem");
  Band();
  EXPECT_EQ(1, Asked) << "the skin selector's popup asked for its extra line";
}

// An item that starts a column after a bar break draws a one-pixel line at its left edge down the whole popup, in
// the item section's font colour; a break without the bar draws none.
TEST_F(SkinMenusPaint, ABarBreakDrawsItsLineDownThePopup) {
  for (const TMenuBreak Break : {mbBarBreak, mbBreak}) {
    SCOPED_TRACE(Break == mbBarBreak ? "bar break" : "break");
    ClearMenuBgCache();
    Owned<TPopupMenu> M(NewPopup({"One", "Two", "Three"}));
    TMenuItem* Second = M->Items()->Items(1);
    Second->SetBreak(Break);
    const int H = ItemHeightOf(P, Second);
    TCanvasBmp C(220, 120);
    const TRect R(40, 0, 140, H);
    P->DrawPopupItem(Second, C.Canvas(), R, {});
    ASSERT_FALSE(MenuBgCache().empty());
    TBitmap* B = MenuBgCache().back().Background;
    ASSERT_NE(nullptr, B);
    const int Line = R.Left;  // the item's left edge, as the background is laid out
    ASSERT_LT(Line, B->Width());
    int Dark = 0;
    for (int y = 0; y < B->Height(); ++y) Dark += ColorAt(B, Line, y) == 0x000000;
    if (Break == mbBarBreak)
      EXPECT_GE(Dark, B->Height() - 6) << "no line down the popup";
    else
      EXPECT_EQ(0, Dark);
  }
}

// A checked item with a glyph of its own shows the glyph in the small speed button's pressed frame, one pixel
// around it; unchecked, the glyph lies on the item's face.
TEST_F(SkinMenusPaint, ACheckedGlyphLiesInThePressedSmallButtonsFrame) {
  TvkSkinModel& Model = S.Manager->EditModel();
  const uint32_t kPressed = 0x8040C0;
  const int Small = Model.AddSection("SPEEDBUTTON_SMALL", -1, 0, 0x102030, 0, 3);
  Model.gd[Small].Props[2].Color = kPressed;
  Model.ConstData.Sections[ssSpeedButtonSmall] = Small;
  Owned<TPopupMenu> M(NewPopup({"Open"}));
  TMenuItem* Item = M->Items()->Items(0);
  BitmapPtr Glyph = testing_support::Bitmap32(12, 12, 0xFF00FF00);
  Glyph->SetPixelFormat(pf24bit);
  Item->SetBitmap(Glyph.get());
  const int H = ItemHeightOf(P, Item);
  for (const bool Checked : {true, false}) {
    SCOPED_TRACE(Checked ? "checked" : "unchecked");
    TCanvasBmp C(160, H);
    P->DrawPopupItem(Item, C.Canvas(), TRect(0, 0, 160, H), Checked ? TOwnerDrawState{odChecked} : TOwnerDrawState{});
    int Frame = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < MenuTextOffset; ++x) Frame += ColorAt(C.Bmp.get(), x, y) == kPressed;
    EXPECT_EQ(Checked, Frame >= 4 * 12) << Frame << " pixels of the pressed frame";
  }
}
