// List boxes built from a stored description, shown, driven and read back.
#include <gtest/gtest.h>

#include "framework/FormReader.h"
#include "framework/StdCtrls.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/Dib32.h"
#include "tests/support/Owned.h"

class TListsForm : public TForm {
  DECLARE_CLASS(TListsForm, TForm)
public:
  explicit TListsForm(TComponent* AOwner) : TForm(AOwner, 0) {}
  TListBox* ListBox1 = nullptr;
  std::vector<std::string> log;
  void Clicked(TObject* Sender) { log.push_back(static_cast<TComponent*>(Sender)->Name()); }
};
PUBLISHED(TListsForm) {
  p.Field("ListBox1", &TListsForm::ListBox1);
  p.Handler("Clicked", &TListsForm::Clicked);
}

namespace {

using testing_support::Owned;

const char* const kListsForm = R"(object ListsForm: TListsForm
  ClientWidth = 400
  ClientHeight = 300
  object ListBox1: TListBox
    Left = 8
    Top = 60
    Width = 150
    Height = 120
    Style = lbOwnerDrawFixed
    ItemHeight = 20
    Items.Strings = (
      'one'
      'two'
      'three')
    ItemIndex = 1
    OnClick = Clicked
  end
end
)";

TListsForm* ReadListsForm() { return ReadFormFromText<TListsForm>(kListsForm); }

class ThinListBoxes : public UiTest {
protected:
  void SetUp() override {
    UiTest::SetUp();
    RegisterClass(TListsForm::StaticClassInfo());
  }
};

TEST_F(ThinListBoxes, ListBoxItemsSelectionAndOwnerDrawSurviveRecreation) {
  Owned<TListsForm> f(ReadListsForm());
  f->Show();
  TListBox* list = f->ListBox1;
  HWND h = list->Handle();
  EXPECT_EQ(SendMessageA(h, LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(SendMessageA(h, LB_GETITEMHEIGHT, 0, 0), 20) << "measured through the control";
  std::vector<int> drawn;
  list->OnDrawItem = [&](TWinControl*, int index, const TRect&, TOwnerDrawState) { drawn.push_back(index); };
  testing_support::Dib32 target(150, 120);
  SendMessageA(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target.DC()), PRF_CLIENT);
  for (int i : {0, 1, 2}) EXPECT_NE(std::find(drawn.begin(), drawn.end(), i), drawn.end()) << i;
  // The user's selection fires OnClick; setting ItemIndex does not.
  SendMessageA(h, LB_SETCURSEL, 2, 0);
  SendMessageA(f->Handle(), WM_COMMAND, MAKEWPARAM(list->ControlID(), LBN_SELCHANGE), reinterpret_cast<LPARAM>(h));
  list->SetItemIndex(0);
  EXPECT_EQ(f->log, std::vector<std::string>{"ListBox1"});
  list->Items()->Delete(0);
  EXPECT_EQ(SendMessageA(h, LB_GETCOUNT, 0, 0), 2);
  list->SetItemIndex(1);
  list->SetSorted(true);
  list->SetStyle(lbStandard);  // re-creates the window
  EXPECT_NE(list->Handle(), h);
  EXPECT_EQ(list->Items()->Count(), 2);
  EXPECT_EQ(list->Items()->Strings(0), "three");
  EXPECT_EQ(list->ItemIndex(), 0) << "the selection followed its item into the sorted order";
  EXPECT_THROW(list->SetItemIndex(2), EListError);
  EXPECT_THROW(list->Items()->Insert(0, "zero"), EStringListError);
}

TEST_F(ThinListBoxes, ListBoxesComeAndGoWithoutLeaks) {
  ExpectCyclesLeaveNothing(30, [] {
    Owned<TListsForm> f(ReadListsForm());
    f->Show();
    f->ListBox1->SetStyle(lbStandard);
  });
}

}  // namespace
