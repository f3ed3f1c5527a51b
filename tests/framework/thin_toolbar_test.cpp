// A tool bar built from a stored description: its buttons' clicks, drop-down menu and state across a new window.
#include <gtest/gtest.h>

#include "framework/ComCtrlsToolBar.h"
#include "framework/FormReader.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/MessagePump.h"
#include "tests/support/Owned.h"

class TBarForm : public TForm {
  DECLARE_CLASS(TBarForm, TForm)
public:
  explicit TBarForm(TComponent* AOwner) : TForm(AOwner, 0) {}
  TToolBar* ToolBar1 = nullptr;
  TToolButton *Open1 = nullptr, *Bold1 = nullptr, *More1 = nullptr;
  TPopupMenu* MoreMenu = nullptr;
  std::vector<std::string> log;
  void Clicked(TObject* Sender) { log.push_back(static_cast<TComponent*>(Sender)->Name()); }
};
PUBLISHED(TBarForm) {
  p.Field("ToolBar1", &TBarForm::ToolBar1);
  p.Field("Open1", &TBarForm::Open1);
  p.Field("Bold1", &TBarForm::Bold1);
  p.Field("More1", &TBarForm::More1);
  p.Field("MoreMenu", &TBarForm::MoreMenu);
  p.Handler("Clicked", &TBarForm::Clicked);
}

namespace {

using testing_support::Owned;

void CALLBACK EndMenuTick(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

class ThinToolBar : public UiTest {
protected:
  void SetUp() override {
    UiTest::SetUp();
    RegisterClass(TBarForm::StaticClassInfo());
  }
};

TEST_F(ThinToolBar, StoredButtonsClickOpenTheirMenuAndKeepTheirStateInANewWindow) {
  Owned<TBarForm> f(new TBarForm(Application));
  ReadComponentFromText(R"(object BarForm: TBarForm
  ClientWidth = 400
  ClientHeight = 100
  object ToolBar1: TToolBar
    ShowCaptions = True
    object Open1: TToolButton
      Caption = 'Open'
      OnClick = Clicked
    end
    object Bold1: TToolButton
      Caption = 'Bold'
      Style = tbsCheck
      Down = True
      OnClick = Clicked
    end
    object Sep1: TToolButton
      Style = tbsSeparator
    end
    object More1: TToolButton
      Caption = 'More'
      Style = tbsDropDown
      DropdownMenu = MoreMenu
    end
  end
  object MoreMenu: TPopupMenu
  end
end
)",
                        f.get());
  f->Show();
  TToolBar* bar = f->ToolBar1;
  ASSERT_EQ(bar->ButtonCount(), 4);
  EXPECT_EQ(f->More1->Index(), 3);
  HWND h = bar->Handle();
  EXPECT_EQ(SendMessageA(h, TB_BUTTONCOUNT, 0, 0), 4);
  EXPECT_TRUE(SendMessageA(h, TB_ISBUTTONCHECKED, 2, 0)) << "the stored state reached the window";
  // The bar's commands (index + 1) click the buttons.
  SendMessageA(f->Handle(), WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(h));
  SendMessageA(f->Handle(), WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), reinterpret_cast<LPARAM>(h));
  EXPECT_EQ(f->log, (std::vector<std::string>{"Open1", "Bold1"}));

  // The arrow opens the button's menu below it; the closed notice follows.
  bool popped = false;
  f->MoreMenu->OnPopup = [&](TObject*) {
    popped = true;
    EXPECT_TRUE(bar->InMenuLoop());
    EXPECT_EQ(f->MoreMenu->PopupComponent(), f->More1);
  };
  MessageLog notice(bar, CN_DROPDOWNCLOSED, CN_DROPDOWNCLOSED);
  SetTimer(nullptr, 0, 50, EndMenuTick);
  NMTOOLBARA nt{};
  nt.hdr.hwndFrom = h;
  nt.hdr.code = static_cast<UINT>(TBN_DROPDOWN);
  nt.iItem = 4;
  EXPECT_EQ(SendMessageA(f->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nt)), TBDDRET_DEFAULT);
  EXPECT_TRUE(popped);
  EXPECT_FALSE(bar->InMenuLoop());
  EXPECT_TRUE(testing_support::PumpUntil([&] { return notice.Count(CN_DROPDOWNCLOSED) > 0; }, 2000));

  // A new window keeps what the buttons' states were; a freed button leaves the bar.
  f->Open1->SetEnabled(false);
  bar->SetList(true);
  ASSERT_NE(bar->Handle(), h);
  EXPECT_TRUE(f->Bold1->Down());
  EXPECT_FALSE(f->Open1->Enabled());
  f->Open1->Free();
  EXPECT_EQ(bar->ButtonCount(), 3);
  EXPECT_EQ(SendMessageA(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 3);
  EXPECT_EQ(f->Bold1->Index(), 0);
  EXPECT_TRUE(SendMessageA(bar->Handle(), TB_ISBUTTONCHECKED, 1, 0));
  f->MoreMenu->Free();
  EXPECT_EQ(f->More1->DropdownMenu(), nullptr);
}

TEST_F(ThinToolBar, TheThreeImageListsReachEachNewWindowAndAreLetGoWhenFreed) {
  Owned<TForm> f(TForm::CreateNew(Application));
  auto* bar = NewChild<TToolBar>(f.get());
  struct List {
    TCustomImageList* (TToolBar::*Get)() const;
    void (TToolBar::*Set)(TCustomImageList*);
    UINT Query;
  };
  const List Lists[] = {{&TToolBar::Images, &TToolBar::SetImages, TB_GETIMAGELIST},
                        {&TToolBar::HotImages, &TToolBar::SetHotImages, TB_GETHOTIMAGELIST},
                        {&TToolBar::DisabledImages, &TToolBar::SetDisabledImages, TB_GETDISABLEDIMAGELIST}};
  for (const List& L : Lists) {
    auto* Images = new TImageList(f.get());
    (bar->*L.Set)(Images);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(bar->Handle(), L.Query, 0, 0)), Images->Handle());
    bar->RecreateWnd();
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(bar->Handle(), L.Query, 0, 0)), Images->Handle());
    Images->Free();
    EXPECT_EQ((bar->*L.Get)(), nullptr);
    EXPECT_EQ(SendMessageA(bar->Handle(), L.Query, 0, 0), 0);  // the window holds no destroyed list
  }
}

}  // namespace
