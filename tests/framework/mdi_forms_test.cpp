#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/framework/menus_test_util.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/MessagePump.h"
#include "tests/support/Owned.h"

namespace {

using testing_support::Owned;

bool Contains(const std::vector<std::string>& texts, const std::string& part) {
  for (const std::string& t : texts)
    if (t.find(part) != std::string::npos) return true;
  return false;
}

class MDIForms : public UiTest {
protected:
  void SetUp() override {
    UiTest::SetUp();
    if (Application->MainForm()) GTEST_SKIP() << "another test left a main form";
    frame = NewForm(500, 360);
    frame->SetBorderStyle(bsSizeable);
    frame->SetFormStyle(fsMDIForm);
    menu = new TMainMenu(frame);
    file = NewMenuItem(frame, "&File");
    window = NewMenuItem(frame, "&Window", 9);
    menu->Items()->Add(file);
    menu->Items()->Add(window);
    window->Add(NewMenuItem(frame, "&Cascade"));
    frame->SetMenu(menu);
    frame->SetWindowMenu(window);
    Application->FormCreated(frame);
    frame->Show();
  }
  void TearDown() override {
    for (TForm* c : children) c->Free();
    if (frame) frame->Free();
    UiTest::TearDown();
  }
  TForm* Child(const std::string& caption) {
    TForm* c = TForm::CreateNew(Application);
    children.push_back(c);
    c->SetFormStyle(fsMDIChild);
    c->SetCaption(caption);
    c->OnActivate = [this, c](TObject*) { activations.push_back(c->Caption()); };
    c->Show();
    return c;
  }
  TForm* frame = nullptr;
  TMainMenu* menu = nullptr;
  TMenuItem *file = nullptr, *window = nullptr;
  std::vector<TForm*> children;
  std::vector<std::string> activations;
};

TEST_F(MDIForms, ChildrenLiveInTheClientAndAreListedActivatedAndMaximised) {
  ASSERT_TRUE(frame->ClientHandle());
  EXPECT_EQ(GetParent(frame->ClientHandle()), frame->Handle());
  EXPECT_EQ(frame->ActiveMDIChild(), nullptr);
  TForm* a = Child("Alpha");
  TForm* b = Child("Beta");
  TForm* c = Child("Gamma");
  EXPECT_EQ(frame->MDIChildCount(), 3);
  EXPECT_EQ(frame->MDIChildren(1), b);
  EXPECT_THROW(frame->MDIChildren(3), EListError);
  EXPECT_EQ(GetParent(a->Handle()), frame->ClientHandle());
  EXPECT_TRUE(GetWindowLongA(a->Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD);
  EXPECT_EQ(frame->ActiveMDIChild(), c);
  EXPECT_TRUE(c->Active());
  EXPECT_FALSE(a->Active());
  EXPECT_EQ(activations, (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));

  // The client lists the children under the window menu, after its own items.
  std::vector<std::string> listed = MenuTexts(window->Handle());
  ASSERT_GE(listed.size(), 5u);
  EXPECT_EQ(listed[0], "&Cascade");
  EXPECT_TRUE(Contains(listed, "Alpha") && Contains(listed, "Gamma"));
  // Choosing a child there (a command the menu does not own) activates it.
  SendMessageA(frame->Handle(), WM_COMMAND, MAKEWPARAM(0xFF00, 0), 0);
  EXPECT_EQ(frame->ActiveMDIChild(), a);
  EXPECT_TRUE(a->Active());
  EXPECT_FALSE(c->Active());
  frame->Next();
  EXPECT_NE(frame->ActiveMDIChild(), a);

  // Maximised, the child's window state follows, and its system menu and buttons join the frame's bar.
  const int own = GetMenuItemCount(GetMenu(frame->Handle()));
  b->SetWindowState(wsMaximized);
  EXPECT_TRUE(IsZoomed(b->Handle()));
  EXPECT_EQ(frame->ActiveMDIChild(), b);
  EXPECT_EQ(b->WindowState(), wsMaximized);
  const int withButtons = GetMenuItemCount(GetMenu(frame->Handle()));
  EXPECT_GT(withButtons, own);
  // Rebuilding the bar keeps the entries the client put there.
  file->SetCaption("&Document");
  EXPECT_EQ(GetMenuItemCount(GetMenu(frame->Handle())), withButtons);
  EXPECT_TRUE(Contains(MenuTexts(GetMenu(frame->Handle())), "&Document"));
  SendMessageA(b->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_EQ(b->WindowState(), wsNormal);
  EXPECT_EQ(GetMenuItemCount(GetMenu(frame->Handle())), own);
  frame->Cascade();
  frame->Tile();
  EXPECT_EQ(frame->MDIChildCount(), 3);
}

TEST_F(MDIForms, AChildsMenuIsMergedWhileItIsActiveAndItsCommandsReachIt) {
  TForm* a = Child("Alpha");
  auto* childMenu = new TMainMenu(a);
  TMenuItem* edit = NewMenuItem(a, "&Edit", 1);
  childMenu->Items()->Add(edit);
  int clicks = 0;
  edit->OnClick = [&](TObject*) { ++clicks; };
  a->SetMenu(childMenu);
  SendMessageA(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  EXPECT_EQ(MenuTexts(GetMenu(frame->Handle())), (std::vector<std::string>{"&File", "&Edit", "&Window"}));
  SendMessageA(frame->Handle(), WM_COMMAND, MAKEWPARAM(edit->Command(), 0), 0);
  EXPECT_EQ(clicks, 1);
  Child("Beta");
  EXPECT_EQ(MenuTexts(GetMenu(frame->Handle())), (std::vector<std::string>{"&File", "&Window"}));
}

TEST_F(MDIForms, ClosingAChildMinimisesItUnlessItsHandlerFreesIt) {
  TForm* a = Child("Alpha");
  TForm* b = Child("Beta");
  a->Close();
  EXPECT_TRUE(IsIconic(a->Handle()));
  EXPECT_EQ(a->WindowState(), wsMinimized);
  b->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
  bool freed = false;
  b->OnDestroy = [&](TObject*) { freed = true; };
  SendMessageA(b->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(testing_support::PumpUntil([&] { return freed; }, 2000));
  children.erase(std::find(children.begin(), children.end(), b));
  EXPECT_EQ(frame->MDIChildCount(), 1);
  EXPECT_EQ(frame->MDIChildren(0), a);
  // A child that stops being one leaves the client (and its window list) for a window of its own.
  a->SetFormStyle(fsNormal);
  EXPECT_EQ(frame->MDIChildCount(), 0);
  EXPECT_NE(GetParent(a->Handle()), frame->ClientHandle());
  EXPECT_FALSE(Contains(MenuTexts(window->Handle()), "Alpha"));
}

TEST_F(MDIForms, ChildrenComeAndGoWithoutLeakingWindows) {
  const int windows = FrameworkWindowCount();
  for (int i = 0; i < 50; ++i) {
    TForm* c = TForm::CreateNew(Application);
    c->SetFormStyle(fsMDIChild);
    c->Show();
    c->Free();
  }
  EXPECT_EQ(FrameworkWindowCount(), windows);
  EXPECT_EQ(frame->MDIChildCount(), 0);
  EXPECT_FALSE(GetWindow(frame->ClientHandle(), GW_CHILD));
}

TEST(MDIChildWithoutFrame, CannotBeCreated) {
  InitializeForms();
  if (Application->MainForm() && Application->MainForm()->FormStyle() == fsMDIForm) GTEST_SKIP();
  Owned<TForm> c(TForm::CreateNew(Application));
  c->SetFormStyle(fsMDIChild);
  EXPECT_THROW(c->HandleNeeded(), EInvalidOperation);
}

}  // namespace
