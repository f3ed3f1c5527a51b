#include <gtest/gtest.h>

#include <vector>

#include "framework/ActnList.h"
#include "framework/ExtCtrls.h"
#include "framework/FormReader.h"
#include "framework/StdCtrls.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/MessagePump.h"

namespace {

using UiActionsDocking = UiFormTest;

TEST_F(UiActionsDocking, AControlFollowsItsActionAndAClickRunsIt) {
  auto* action = new TAction(form);
  auto* button = NewChild<TButton>(form);
  int runs = 0;
  TComponent* runBy = nullptr;
  action->OnExecute = [&](TObject* Sender) {
    ++runs;
    runBy = static_cast<TBasicAction*>(Sender)->ActionComponent();
  };
  action->SetEnabled(false);
  button->SetAction(action);
  EXPECT_FALSE(button->Enabled());
  action->SetEnabled(true);
  EXPECT_TRUE(button->Enabled());

  button->Click();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(runBy, button);
  EXPECT_EQ(action->ActionComponent(), nullptr);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };  // a handler of its own goes first
  button->Click();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(clicks, 1);

  // Idle: CM_ACTIONUPDATE with the action to every shown control that has one.
  MessageLog watch(button, CM_ACTIONUPDATE, CM_ACTIONUPDATE);
  form->Show();
  Application->ProcessMessages();
  Application->OnIdle = [](TObject*, bool& Done) { Done = false; };
  // Idle comes once the queue is empty: a message from outside (another program's activation) may come first.
  for (int i = 0; i < 1000 && watch.LParams().empty(); ++i) Application->HandleMessage();
  Application->OnIdle = nullptr;
  ASSERT_FALSE(watch.LParams().empty());
  EXPECT_EQ(watch.LParams().back(), reinterpret_cast<LPARAM>(action));

  action->Free();  // the control forgets a freed action
  EXPECT_EQ(button->Action(), nullptr);
  EXPECT_EQ(button->ActionLink(), nullptr);
  button->OnClick = nullptr;
  button->Click();
}

TEST_F(UiActionsDocking, DockSitesListTheirDockedChildrenAndHearThemLeave) {
  TForm* form = NewForm();
  auto* site = NewChild<TPanel>(form);
  auto* other = NewChild<TPanel>(form);
  site->SetDockSite(true);
  auto* a = new TPanel(form);
  auto* b = new TPanel(form);
  auto* dragOnly = new TPanel(form);
  a->SetDragKind(dkDock);
  b->SetDragKind(dkDock);
  for (TPanel* p : {a, b, dragOnly}) p->SetParent(site);
  ASSERT_EQ(site->DockClientCount(), 2);
  EXPECT_EQ(site->DockClients(1), b);
  EXPECT_EQ(a->HostDockSite(), site);
  EXPECT_EQ(dragOnly->HostDockSite(), nullptr);

  {
    MessageLog undock(site, CM_UNDOCKCLIENT, CM_UNDOCKCLIENT);
    a->SetParent(other);  // not a dock site
    b->Free();
    EXPECT_EQ(undock.LParams(), (std::vector<LPARAM>{reinterpret_cast<LPARAM>(a), reinterpret_cast<LPARAM>(b)}));
  }
  EXPECT_EQ(site->DockClientCount(), 0);
  EXPECT_EQ(a->HostDockSite(), nullptr);
  dragOnly->SetDragKind(dkDock);
  EXPECT_EQ(site->DockClientCount(), 1);
  site->SetDockSite(false);
  EXPECT_EQ(site->DockClientCount(), 0);
  EXPECT_THROW(site->DockClients(0), EListError);
  form->Free();

  // Read from a stored description, the docked child is a client once it is in its site.
  TForm* stored = TForm::CreateNew(Application);
  ReadComponentFromText(
      "object F: TForm\n  object Site: TPanel\n    DockSite = True\n    object Client: TPanel\n      DragKind = dkDock\n"
      "    end\n  end\nend\n",
      stored);
  auto* storedSite = As<TPanel>(stored->FindComponent("Site"));
  ASSERT_EQ(storedSite->DockClientCount(), 1);
  EXPECT_EQ(storedSite->DockClients(0), stored->FindComponent("Client"));
  stored->Free();
}

TEST_F(UiActionsDocking, FocusMovesCancelTheOldControlsModeAndActivationReachesTheActiveControl) {
  auto* first = NewChild<TEdit>(form);
  auto* second = NewChild<TEdit>(form);
  second->SetTop(40);
  MessageLog cancel(first, CM_CANCELMODE, CM_CANCELMODE);
  MessageLog activate(second, CM_UIACTIVATE, CM_UIACTIVATE);
  form->Show();
  SetActiveWindow(form->Handle());
  first->SetFocus();
  second->SetFocus();
  testing_support::PumpPending();
  EXPECT_EQ(cancel.LParams(), std::vector<LPARAM>{reinterpret_cast<LPARAM>(second)});

  SendMessageA(form->Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
  SendMessageA(form->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_FALSE(activate.LParams().empty());
}

}  // namespace
