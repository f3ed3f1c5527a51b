#include <gtest/gtest.h>

#include <functional>

#include "framework/ExtCtrls.h"
#include "framework/Menus.h"
#include "framework/SysUtils.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/Owned.h"

namespace {

using testing_support::Owned;

// Ends the menu the system's loop tracks at the first tick of a thread timer, which that loop dispatches, so a
// test never hangs in TrackPopupMenu.
class MenuEnd {
public:
  MenuEnd() : timer_(SetTimer(nullptr, 0, 40, Tick)) {}
  ~MenuEnd() { KillTimer(nullptr, timer_); }

private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }
  UINT_PTR timer_;
};

// Keys the menu's loop reads as its first messages: queued before the menu opens, never sent from a later tick,
// because another test program on the display may take the focus meanwhile, and the system then ends the menu.
void QueueKeys(std::initializer_list<WORD> keys) {
  for (WORD key : keys) PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, key, 0);
}

class PopupMenus : public UiTest {
protected:
  TPopupMenu* NewPopup(TComponent* owner, std::initializer_list<const char*> captions) {
    auto* menu = new TPopupMenu(owner);
    menu->OnPopup = [this](TObject*) { log.push_back("popup"); };
    for (const char* caption : captions) {
      auto* item = new TMenuItem(menu);
      item->SetCaption(caption);
      item->OnClick = [this](TObject* sender) { log.push_back(static_cast<TMenuItem*>(sender)->Caption()); };
      menu->Items()->Add(item);
    }
    return menu;
  }
  std::vector<std::string> log;
};

// The popup list's window is made at the first popup: the chosen command reaches it, and it is then the
// window of every popup menu, the one made before it and the one made after.
TEST_F(PopupMenus, PopupRunsTheChosenItemBeforeItReturns) {
  Owned<TPopupMenu> menu(NewPopup(nullptr, {"First", "Second"}));
  EXPECT_EQ(menu->WindowHandle(), nullptr);
  QueueKeys({VK_DOWN, VK_DOWN, VK_RETURN});
  MenuEnd end;
  menu->Popup(100, 100);
  EXPECT_EQ(log, (std::vector<std::string>{"popup", "Second"}));
  ASSERT_NE(PopupListWindow(), nullptr);
  EXPECT_EQ(menu->WindowHandle(), PopupListWindow());
  Owned<TPopupMenu> later(NewPopup(nullptr, {"Third"}));
  EXPECT_EQ(later->WindowHandle(), PopupListWindow());
}

TEST_F(PopupMenus, TrackFlagsFollowAlignmentAndAnimation) {
  Owned<TPopupMenu> menu(new TPopupMenu(nullptr));
  EXPECT_EQ(menu->TrackFlags(), UINT(TPM_LEFTALIGN | TPM_RIGHTBUTTON));
  menu->SetAlignment(paCenter);
  menu->SetMenuAnimation({maTopToBottom, maNone});
  EXPECT_EQ(menu->TrackFlags(), UINT(TPM_CENTERALIGN | TPM_RIGHTBUTTON | TPM_VERPOSANIMATION | TPM_NOANIMATION));
}

TEST_F(PopupMenus, OwnerDrawnPopupItemsAreMeasuredAndDrawnThroughThePopupList) {
  Owned<TPopupMenu> menu(NewPopup(nullptr, {"Checked", "Grayed", "Default"}));
  menu->SetOwnerDraw(true);
  menu->Items()->Items(0)->SetChecked(true);
  menu->Items()->Items(1)->SetEnabled(false);
  menu->Items()->Items(2)->SetDefault(true);
  std::vector<std::pair<std::string, UINT>> drawn;
  int measured = 0;
  for (int i = 0; i < 3; ++i) {
    TMenuItem* item = menu->Items()->Items(i);
    item->OnMeasureItem = [&](TObject*, TCanvas*, int& w, int& h) { ++measured, w = 80, h = 18; };
    item->OnAdvancedDrawItem = [&, item](TObject*, TCanvas*, const TRect&, TOwnerDrawState state) {
      drawn.emplace_back(item->Caption(), state.Raw());
    };
  }
  QueueKeys({VK_DOWN});
  MenuEnd end;
  menu->Popup(100, 100);
  EXPECT_EQ(measured, 3);
  auto drawnWith = [&](const std::string& caption, UINT bits) {
    for (auto& d : drawn)
      if (d.first == caption && (d.second & bits) == bits) return true;
    return false;
  };
  EXPECT_TRUE(drawnWith("Checked", ODS_CHECKED));
  EXPECT_TRUE(drawnWith("Checked", ODS_CHECKED | ODS_SELECTED)) << "selected by the key";
  EXPECT_TRUE(drawnWith("Grayed", ODS_GRAYED | ODS_DISABLED));
  EXPECT_TRUE(drawnWith("Default", ODS_DEFAULT));
}

TEST_F(PopupMenus, ContextMenuShowsAfterOnContextPopupAndAParentAnswersForItsChild) {
  TForm* form = NewForm();
  auto* parent = NewChild<TPanel>(form);
  parent->SetBounds(0, 0, 200, 150);
  auto* child = NewChild<TPanel>(parent, form);
  child->SetBounds(10, 10, 80, 60);
  parent->SetPopupMenu(NewPopup(form, {"Only"}));
  bool handle = true;
  std::vector<TPoint> asked;
  parent->OnContextPopup = [&](TObject*, TPoint pos, bool& handled) {
    asked.push_back(pos);
    handled = handle;
  };
  form->Show();
  POINT screen = child->ClientToScreen(POINT{5, 5});
  LPARAM at = MAKELPARAM(screen.x, screen.y);
  SendMessageA(child->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(child->Handle()), at);
  EXPECT_TRUE(log.empty()) << "OnContextPopup kept the menu back";
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], TPoint(15, 15)) << "in the parent's client coordinates";

  handle = false;
  {
    MenuEnd end;
    SendMessageA(child->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(child->Handle()), at);
  }
  {
    MenuEnd end;
    SendMessageA(parent->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(parent->Handle()), MAKELPARAM(-1, -1));
  }
  EXPECT_EQ(log, (std::vector<std::string>{"popup", "popup"}));
  EXPECT_EQ(asked.back(), TPoint(-1, -1)) << "the keyboard asked";
  EXPECT_EQ(parent->PopupMenu()->PopupComponent(), parent);
  parent->PopupMenu()->SetAutoPopup(false);
  SendMessageA(parent->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(parent->Handle()), at);
  EXPECT_EQ(log.size(), 2u);
  form->Free();
}

}  // namespace
