// The skinned system menu's items: copied from the window's own menu, shown and enabled by the form's style and
// state, application commands posted back, and the skin-selection submenu in columns of twenty.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "framework/SysUtils.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "tests/skin/core/engine_support.h"

using namespace form_test;


TEST(SystemMenuItems, FollowTheStyleAndState) {
  struct Row {
    TFormBorderStyle Style;
    bool Close, Max, Min, Restore, Size;
  };
  ManagerPtr M = CarriedManager();
  for (const Row& R : {Row{bsSizeable, true, true, true, true, true}, Row{bsSingle, true, true, true, true, true},
                       Row{bsDialog, true, false, false, false, false}, Row{bsToolWindow, true, false, false, false, false},
                       Row{bsSizeToolWin, true, false, false, false, true}}) {
    Owned<TForm> D(NewForm(200, 100, R.Style));
    TsSystemMenu* S = Create<TsSkinProvider>(D.get())->SystemMenu();
    ASSERT_NE(S, nullptr);
    S->RefreshItemStates(false);
    // close, maximise, minimise, restore, size; and Move, always there and enabled
    EXPECT_EQ((std::vector<bool>{S->ItemClose()->Visible(), S->ItemMaximize()->Visible(), S->ItemMinimize()->Visible(),
                                 S->ItemRestore()->Visible(), S->ItemSize()->Visible(),
                                 S->ItemMove()->Visible() && S->ItemMove()->Enabled()}),
              (std::vector<bool>{R.Close, R.Max, R.Min, R.Restore, R.Size, true}))
        << R.Style;
    EXPECT_EQ(S->ItemClose()->Tag(), static_cast<int>(SC_CLOSE));
    EXPECT_EQ(S->Items()->Items(S->Items()->Count() - 1), S->ItemClose());
  }

  Owned<TForm> F(NewForm());
  auto* P = Create<TsSkinProvider>(F.get());
  F->Show();
  F->SetWindowState(wsMaximized);
  TsSystemMenu* S = P->SystemMenu();
  S->RefreshItemStates(false);
  EXPECT_FALSE(S->ItemMove()->Enabled());
  EXPECT_TRUE(S->ItemRestore()->Enabled());
  EXPECT_TRUE(S->ItemMaximize()->Visible());
  // the Restore item sends its command and refreshes the others
  S->ItemRestore()->Click();
  EXPECT_FALSE(IsZoomed(F->Handle()));
  EXPECT_TRUE(S->ItemMove()->Enabled());
  // a minimised form that is not the main one keeps its minimise item, disabled
  F->SetWindowState(wsMinimized);
  ASSERT_TRUE(IsIconic(F->Handle()));
  S->RefreshItemStates(false);
  EXPECT_FALSE(S->ItemMinimize()->Enabled());
  EXPECT_TRUE(S->ItemMinimize()->Visible());
  // a skinned form's system menu is never the window's: its name marks it for the menu painter
  EXPECT_EQ(S->Name().rfind("vkSysMenu", 0), 0u);
  Owned<TForm> G(NewForm());
  auto* Q = Create<TsSkinProvider>(G.get());
  EXPECT_NE(Q->SystemMenu()->Name(), S->Name());
}

TEST(SystemMenuItems, ApplicationCommandsSitBetweenTheLinesAndArePostedBack) {
  TSkinnedForm Skinned;
  auto& [M, F, P] = Skinned;
  HMENU H = GetSystemMenu(F->Handle(), FALSE);
  ASSERT_NE(H, nullptr);
  AppendMenuA(H, MF_STRING, 0x120, "Extra\tF1");
  TsSystemMenu* S = P->SystemMenu();
  S->RefreshItemStates(true);
  EXPECT_EQ(S->ExtraCount(), 1);
  TMenuItem* Root = S->Items();
  int At = -1;
  for (int i = 0; i < Root->Count(); ++i)
    if (Root->Items(i)->Tag() == 0x120) At = i;
  ASSERT_GT(At, 0);
  TMenuItem* Extra = Root->Items(At);
  EXPECT_EQ(Extra->Caption(), "Extra");
  EXPECT_EQ(Extra->ShortCut(), TextToShortCut("F1"));
  EXPECT_TRUE(Root->Items(At - 1)->IsLine());
  EXPECT_TRUE(Root->Items(At + 1)->IsLine());
  EXPECT_EQ(Root->Items(At + 2), S->ItemClose());
  MSG Msg;
  while (PeekMessageA(&Msg, F->Handle(), WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE)) {
  }
  Extra->Click();
  ASSERT_TRUE(PeekMessageA(&Msg, F->Handle(), WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
  EXPECT_EQ(Msg.wParam, 0x120u);
  // the Close item closes the form through its command
  F->Show();
  S->ItemClose()->Click();
  EXPECT_FALSE(F->Visible());
}

TEST(SystemMenuItems, AnExtraSubmenuIsCopiedAtItsPosition) {
  TSkinnedForm Skinned;
  auto& [M, F, P] = Skinned;
  auto* Own = Create<TPopupMenu>(F.get());
  TMenuItem* Child = NewItem("Child", 0, false, true, TNotifyEvent(), 0, "Child");
  Child->Add(NewItem("Grand", 0, true, false, TNotifyEvent(), 0, "Grand"));
  Own->Items()->Add(Child);
  TsSystemMenu* S = P->SystemMenu();
  struct Row {
    TvkMenuItemPos Pos;
    int SubIndex;  // where the submenu item lands; -1 from the end
    const char* Line;
  };
  for (const Row& R : {Row{ipTop, 0, "vk_TopDiv"}, Row{ipBottom, -1, "vk_BtmDiv"}}) {
    P->SysSubMenu()->SetPosition(R.Pos);
    P->SysSubMenu()->SetPopupMenu(Own);
    P->SysSubMenu()->SetCaption("");
    S->RefreshItemStates(true);
    EXPECT_EQ(S->SubMenuItem(), nullptr) << "no caption, no submenu";
    P->SysSubMenu()->SetCaption("Mine");
    S->RefreshItemStates(true);
    TMenuItem* Root = S->Items();
    ASSERT_NE(S->SubMenuItem(), nullptr);
    const int Index = R.SubIndex >= 0 ? R.SubIndex : Root->Count() + R.SubIndex;
    EXPECT_EQ(Root->Items(Index), S->SubMenuItem()) << R.Pos;
    const int LineAt = R.Pos == ipBottom ? Index - 1 : Index + 1;
    EXPECT_EQ(Root->Items(LineAt)->Name(), R.Line) << R.Pos;
    ASSERT_EQ(S->SubMenuItem()->Count(), 1);
    TMenuItem* Copy = S->SubMenuItem()->Items(0);
    EXPECT_EQ(Copy->Name(), "ChildCopy");
    ASSERT_EQ(Copy->Count(), 1);
    EXPECT_TRUE(Copy->Items(0)->Checked());
    EXPECT_FALSE(Copy->Items(0)->Enabled());
  }
  // the popup menu going takes its copy with it at once
  Own->Free();
  EXPECT_EQ(P->SysSubMenu()->PopupMenu(), nullptr);
  EXPECT_EQ(S->SubMenuItem(), nullptr);
  for (int i = 0; i < S->Items()->Count(); ++i) EXPECT_NE(S->Items()->Items(i)->Name(), "vk_BtmDiv");
}

TEST(SystemMenuItems, FortyFiveSkinsMakeThreeColumnsAndOneCheck) {
  engine_test::TempFolder Temp;  // gone after the manager
  const std::string& Dir = Temp.Path();
  ASSERT_TRUE(CopyFileA((CarriedSkinFolder() + "SOLID.vkz").c_str(), (Dir + "SOLID.vkz").c_str(), FALSE));
  for (int i = 1; i < 45; ++i)
    engine_test::WriteFileText(Dir + "Other" + std::to_string(100 + i).substr(1) + ".vkz", "");
  ManagerPtr M(Create<TsSkinManager>(nullptr));
  M->SetSkinDirectory(Dir);
  M->SetSkinName("SOLID");
  M->SkinListController()->Update();
  Owned<TForm> F(NewForm());
  auto* P = Create<TsSkinProvider>(F.get());
  TsSystemMenu* S = P->SystemMenu();
  S->RefreshItemStates(false);
  S->MakeSkinItems();
  TMenuItem* Skins = S->Items()->Items(0);
  EXPECT_EQ(Skins->Name(), "SkinSelectItem");
  EXPECT_TRUE(S->Items()->Items(1)->IsLine());
  ASSERT_EQ(Skins->Count(), 45);
  int Checked = 0;
  for (int i = 0; i < 45; ++i) {
    TMenuItem* Item = Skins->Items(i);
    EXPECT_EQ(Item->Name(), "SkinSelectItem" + IntToStr(i));
    EXPECT_EQ(Item->Break(), i == 20 || i == 40 ? mbBreak : mbNone) << i;
    if (Item->Checked()) {
      ++Checked;
      EXPECT_EQ(Item->Caption(), "SOLID");
    }
  }
  EXPECT_EQ(Checked, 1);

  // shown twice from the caption: the submenu is made again, not added again
  P->SetMakeSkinMenu(true);
  F->Show();
  for (int Round = 0; Round < 2; ++Round) {
    const UINT_PTR Timer = SetTimer(nullptr, 0, 50, EndMenuTimer);
    P->PopupSystemMenu(100, 100);
    KillTimer(nullptr, Timer);
  }
  int Lines = 0, SkinMenus = 0;
  for (int i = 0; i < S->Items()->Count(); ++i) {
    Lines += S->Items()->Items(i)->IsLine() ? 1 : 0;
    SkinMenus += S->Items()->Items(i)->Name() == "SkinSelectItem" ? 1 : 0;
  }
  EXPECT_EQ(SkinMenus, 1);
  EXPECT_EQ(Lines, 2);  // after the skins and after Maximize
}
