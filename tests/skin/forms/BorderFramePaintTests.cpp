// What the frame cache holds around a form with a border window: the menu bar's items on the menu line.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "framework/Menus.h"
#include "skin/core/vkFormServices.h"
#include "tests/support/MessagePump.h"

using namespace form_test;

namespace {

// A shown form with a main menu and a border window.
struct TBorderedMenuForm {
  ManagerPtr M = CarriedManager();
  Owned<TForm> F{NewForm(300, 200)};
  TMainMenu* Menu = new TMainMenu(F.get());
  TMenuItem* File = new TMenuItem(F.get());
  TsSkinProvider* P = nullptr;
  TBorderedMenuForm() {
    M->SetExtendedBorders(true);
    File->SetCaption("&File");
    Menu->Items()->Add(File);
    F->SetMenu(Menu);
    P = Create<TsSkinProvider>(F.get());
    F->Show();
    testing_support::PumpPending();
  }
};

}  // namespace

TEST(BorderFramePaint, MenuBarItemsAreDrawnOnTheMenuLineBand) {
  TBorderedMenuForm S;
  ASSERT_NE(S.P->BorderForm(), nullptr);
  // the window lies inside the cache by the margins and the border window's extra frame and caption
  ASSERT_TRUE(S.P->ExtraFrameWidth() != 0 || GetExtraCaptionHeight(S.P->BorderForm()) != 0);
  TRect Drawn(-1, -1, -1, -1);
  S.File->OnAdvancedDrawItem = [&](TObject*, TCanvas*, const TRect& R, TOwnerDrawState) { Drawn = R; };
  S.P->SkinData()->CacheDirty = true;
  S.P->PaintFormFrame();
  const int Band = S.P->CaptionBottom();
  EXPECT_GE(Drawn.Top, Band);
  EXPECT_LE(Drawn.Bottom, Band + S.P->MenuLineHeight() + 1);
  // as far right of the client's left edge as the system's bar item lies right of the window's client
  RECT IR{};
  ASSERT_TRUE(GetMenuItemRect(S.F->Handle(), GetMenu(S.F->Handle()), 0, &IR));
  POINT Client{0, 0};
  ClientToScreen(S.F->Handle(), &Client);
  EXPECT_EQ(Drawn.Left, S.P->GetClientOffsetLeft() + IR.left - Client.x);
  EXPECT_EQ(Drawn.Top, S.P->GetClientOffsetTop() - (Client.y - IR.top));
}
