// A skinned split button's drop-down menu is prepared by the skin's menu painter before it opens, like every
// popup menu of a skinned application.
#include "MenuTestSupport.h"

#include "skin/controls/sButton.h"

using namespace menu_test;

namespace {

// Records whether the skin draws the menu while it is open, instead of opening it.
class TOpenedMenu : public TPopupMenu {
public:
  using TPopupMenu::TPopupMenu;
  int Opened = 0;
  bool OwnerDrawnWhileOpen = false;
  void Popup(int, int) override {
    ++Opened;
    OwnerDrawnWhileOpen = OwnerDraw();
  }
};

}  // namespace

TEST(SplitButtonMenu, TheDropDownMenuIsDrawnByTheSkinWhileASkinIsActive) {
  TMenuSkin S = NewMenuSkin();
  ASSERT_EQ(TsSkinManager::DefaultManager(), S.Manager.get());
  S.Manager->SetSkinnedPopups(true);
  Owned<TForm> Form(TForm::CreateNew(nullptr));
  auto* B = new TsButton(Form.get());
  B->SetParent(Form.get());
  B->SetBounds(10, 10, 100, 30);
  B->SetStyle(bsSplitButton);
  Owned<TOpenedMenu> Menu(new TOpenedMenu(nullptr));
  Menu->Items()->Add(new TMenuItem(Menu.get()));
  B->SetDropDownMenu(Menu.get());
  for (const bool Active : {true, false}) {
    S.Manager->SetActive(Active);
    Menu->SetOwnerDraw(false);
    B->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(95, 5));
    B->Perform(WM_LBUTTONUP, 0, MAKELPARAM(95, 5));
    EXPECT_EQ(Menu->OwnerDrawnWhileOpen, Active) << Active;
  }
  EXPECT_EQ(Menu->Opened, 2);
  B->SetDropDownMenu(nullptr);
}
