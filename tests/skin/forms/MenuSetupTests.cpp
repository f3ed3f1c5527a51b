// Turning menus owner-drawn and back, the menu options and fonts.
#include "MenuTestSupport.h"

using namespace menu_test;

namespace {

void ForeignDraw(TObject*, TCanvas*, const TRect&, TOwnerDrawState) {}
void ForeignMeasure(TObject*, TCanvas*, int&, int&) {}

bool HasPainterDraw(TMenuItem* I) {
  return I->OnAdvancedDrawItem.SameCode(TAdvancedMenuDrawItemEvent(nullptr, &TsSkinableMenus::DrawPopupItem));
}

}  // namespace

TEST(SkinMenusSetup, PopupHandlersKeepForeignOnesAndFollowSkinnedPopups) {
  TMenuSkin S = NewMenuSkin();
  ASSERT_NE(S.Painter(), nullptr);
  Owned<TPopupMenu> P(NewPopup({"Own", "Bare"}));
  auto* Sub = new TMenuItem(P.get());
  Sub->SetCaption("Deep");
  P->Items()->Items(1)->Add(Sub);
  TMenuItem* Own = P->Items()->Items(0);
  Own->OnAdvancedDrawItem = &ForeignDraw;
  Own->OnMeasureItem = &ForeignMeasure;
  const TAdvancedMenuDrawItemEvent Kept = Own->OnAdvancedDrawItem;

  S.Manager->SetSkinnedPopups(false);
  S.Painter()->InitPopupMenu(P.get(), true);
  EXPECT_FALSE(P->OwnerDraw());  // no skinned popups: the system draws the menu
  EXPECT_TRUE(P->MenuAnimation().Contains(maNone));
  EXPECT_TRUE(HasPainterDraw(P->Items()->Items(1)));
  EXPECT_TRUE(HasPainterDraw(Sub));
  EXPECT_TRUE(Own->OnAdvancedDrawItem == Kept);

  S.Manager->SetSkinnedPopups(true);
  S.Painter()->InitPopupMenu(P.get(), true);
  EXPECT_TRUE(P->OwnerDraw());

  // a second painter's handlers count as this one's (compared by code)
  TsSkinableMenus Other(S.Manager.get());
  Other.InitPopupMenu(P.get(), false);
  EXPECT_FALSE(P->OwnerDraw());
  EXPECT_FALSE(P->MenuAnimation().Contains(maNone));
  EXPECT_FALSE(P->Items()->Items(1)->OnAdvancedDrawItem.Assigned());
  EXPECT_FALSE(Sub->OnMeasureItem.Assigned());
  EXPECT_TRUE(Own->OnAdvancedDrawItem == Kept);
  EXPECT_TRUE(Own->OnMeasureItem.Assigned());
}

TEST(SkinMenusSetup, MainMenuBarHandlers) {
  TMenuSkin S = NewMenuSkin();
  Owned<TMainMenu> Empty(new TMainMenu(nullptr));
  S.Painter()->ApplyToAllMenus(true);  // active
  S.Painter()->InitMainMenu(Empty.get(), true);
  EXPECT_FALSE(Empty->OwnerDraw());  // no items: left as it was

  Owned<TMainMenu> Bar(new TMainMenu(nullptr));
  auto* Top = new TMenuItem(Bar.get());
  Top->SetCaption("&File");
  Bar->Items()->Add(Top);
  S.Manager->SetSkinnedPopups(false);
  S.Painter()->SetActive(true);
  S.Painter()->InitMainMenu(Bar.get(), true);
  EXPECT_FALSE(Bar->OwnerDraw());  // the bar keeps the system's look
  EXPECT_FALSE(Top->OnAdvancedDrawItem.Assigned());

  S.Manager->SetSkinnedPopups(true);
  Top->OnAdvancedDrawItem = &ForeignDraw;  // replaced on the bar
  S.Painter()->InitMainMenu(Bar.get(), true);
  EXPECT_TRUE(Bar->OwnerDraw());
  EXPECT_TRUE(Top->OnAdvancedDrawItem.SameCode(TAdvancedMenuDrawItemEvent(nullptr, &TsSkinableMenus::DrawBarItem)));
  EXPECT_TRUE(S.Painter()->IsMainMenuTopItem(Top));

  S.Painter()->InitMainMenu(Bar.get(), false);
  EXPECT_FALSE(Bar->OwnerDraw());
  EXPECT_FALSE(Top->OnAdvancedDrawItem.Assigned());
  EXPECT_FALSE(Top->OnMeasureItem.Assigned());

  // The manager's activity decides, not what the painter was last told: an inactive painter under an active
  // manager gives the bar its handlers, an inactive manager leaves the items alone.
  for (const bool ManagerActive : {true, false}) {
    SCOPED_TRACE(ManagerActive ? "active manager" : "inactive manager");
    S.Painter()->SetActive(false);
    S.Manager->SetActive(ManagerActive);
    S.Manager->SetSkinnedPopups(true);
    S.Painter()->InitMainMenu(Bar.get(), true);
    EXPECT_EQ(ManagerActive, Top->OnAdvancedDrawItem.Assigned());
    S.Painter()->InitMainMenu(Bar.get(), false);
  }
}

TEST(SkinMenusSetup, ApplyToAllMenusReachesMenusOfTheApplicationsForms) {
  TMenuSkin S = NewMenuSkin();
  Owned<TForm> F(TForm::CreateNew(Application));
  auto* P = new TPopupMenu(F.get());
  auto* I = new TMenuItem(F.get());
  I->SetCaption("x");
  P->Items()->Add(I);
  S.Painter()->ApplyToAllMenus(true);
  EXPECT_TRUE(S.Painter()->Active());
  EXPECT_TRUE(P->OwnerDraw());
  EXPECT_TRUE(HasPainterDraw(I));
  S.Painter()->SetActive(false);
  EXPECT_FALSE(P->OwnerDraw());
  EXPECT_FALSE(I->OnAdvancedDrawItem.Assigned());
}

TEST(SkinMenusSetup, CaptionItems) {
  TMenuSkin S = NewMenuSkin();
  Owned<TMenuItem> I(new TMenuItem(nullptr));
  const struct {
    const char* Caption;
    bool Expected;
  } Cases[] = {{"-Tools-", true}, {"--", true}, {"Tools-", false}, {"-Tools", false}, {"", false}, {"Tools", false}};
  for (const auto& C : Cases) {
    I->SetCaption(C.Caption);
    EXPECT_EQ(S.Painter()->IsCaptionItem(I.get()), C.Expected) << '"' << C.Caption << '"';
  }
}

TEST(SkinMenusSetup, FontsOfTheMenus) {
  TMenuSkin S = NewMenuSkin();
  Owned<TFont> Set(new TFont());
  Set->SetName("Courier New");
  S.Painter()->SetCaptionFont(Set.get());
  EXPECT_NE(S.Painter()->CaptionFont(), S.Painter()->OwnCaptionFont());
  EXPECT_EQ(S.Painter()->CaptionFont(), Screen->MenuFont());

  TvkMenuSupport* O = S.Manager->MenuSupport();
  ASSERT_EQ(MenuFont, nullptr);
  Set->SetSize(17);
  O->SetFont(Set.get());  // also without CustomFont
  ASSERT_NE(MenuFont, nullptr);
  EXPECT_EQ(MenuFont->Name(), "Courier New");
  EXPECT_EQ(S.Painter()->CaptionFont(), MenuFont);
  O->SetCustomFont(false);
  EXPECT_EQ(MenuFont, nullptr);

  // a menu font made by an options object goes with it; one it did not make stays
  {
    TvkMenuSupport Own;
    Own.SetCustomFont(true);
    EXPECT_NE(MenuFont, nullptr);
  }
  EXPECT_EQ(MenuFont, nullptr);
  O->SetCustomFont(true);
  TFont* Made = MenuFont;
  { TvkMenuSupport Other; }
  EXPECT_EQ(MenuFont, Made);
  O->SetCustomFont(false);
}

TEST(SkinMenusSetup, SkinBorderWidthFollowsTheBorderMask) {
  TMenuSkin S = NewMenuSkin();
  const int Main = S.Manager->ConstData().Sections[ssMainMenu];
  S.Manager->EditModel().ma[S.Manager->gd()[Main].BorderIndex].BorderWidth = 0;
  S.Painter()->SetSkinBorderWidth(-1);
  EXPECT_EQ(S.Painter()->SkinBorderWidth(), 3);  // a width below 1 counts as 3
  TMenuSkin Plain = NewMenuSkin(false);
  EXPECT_EQ(Plain.Painter()->SkinBorderWidth(), 0);
  EXPECT_EQ(Plain.Painter()->PopupBorderWidth(), 0);
}

TEST(SkinMenusSetup, DefaultGlyphSizeFollowsTheScale) {
  Owned<TsSkinManager> M(Create<TsSkinManager>(nullptr));
  M->Options()->SetScaleMode(smOldMode);
  const int Before = DefaultMenuGlyphSize;
  M->Options()->SetScaleMode(sm150);
  EXPECT_EQ(DefaultMenuGlyphSize, Before * 3 / 2);
  M->Options()->SetScaleMode(smOldMode);
  EXPECT_EQ(DefaultMenuGlyphSize, Before);
}
