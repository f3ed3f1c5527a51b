#include <gtest/gtest.h>

#include <vector>

#include "framework/ObjectInstance.h"
#include "framework/StdCtrls.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/Dib32.h"
#include "tests/support/GdiLeaks.h"
#include "tests/support/MessagePump.h"

namespace {

class UiComboBox : public UiTest {
protected:
  void SetUp() override {
    UiTest::SetUp();
    form = NewForm();
    combo = new TComboBox(form);
    combo->SetParent(form);
    for (const char* s : {"Apple", "Banana", "Cherry"}) combo->Items()->Add(s);
  }
  void TearDown() override {
    form->Free();
    UiTest::TearDown();
  }
  // Keys typed into the edit child, through the message loop as a user's would come.
  void Type(const std::string& text) {
    for (char c : text) PostMessageA(combo->EditHandle(), WM_CHAR, static_cast<unsigned char>(c), 1);
    Application->ProcessMessages();
  }
  TForm* form = nullptr;
  TComboBox* combo = nullptr;
};

TEST_F(UiComboBox, TheEditChildIsSubclassedThroughAStubAndHandlesMatchTheSystemsOwn) {
  int stubs = ObjectInstanceCount();
  form->Show();
  SetActiveWindow(form->Handle());
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
  EXPECT_EQ(combo->EditHandle(), info.hwndItem);
  EXPECT_EQ(combo->ListHandle(), info.hwndList);
  EXPECT_EQ(ObjectInstanceCount(), stubs + 1);

  ::SetFocus(combo->EditHandle());  // a click in the edit gives it the focus directly
  EXPECT_EQ(form->FocusedControl(), combo);

  combo->SetStyle(csDropDownList);  // no edit child in the list styles
  ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
  EXPECT_EQ(combo->EditHandle(), nullptr);
  EXPECT_EQ(combo->ListHandle(), info.hwndList);
  EXPECT_EQ(ObjectInstanceCount(), stubs);
  combo->SetStyle(csSimple);
  EXPECT_NE(combo->EditHandle(), nullptr);
  combo->Free();
  EXPECT_EQ(ObjectInstanceCount(), stubs);

  int windows = FrameworkWindowCount();
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(50, [&] {
    auto* box = NewChild<TComboBox>(form);
    box->SetStyle(csOwnerDrawFixed);
    box->Items()->Add("x");
    box->SetStyle(csDropDown);
    box->Free();
  }));
  EXPECT_EQ(ObjectInstanceCount(), stubs);
  EXPECT_EQ(FrameworkWindowCount(), windows);
}

TEST_F(UiComboBox, ItemsIndexAndTextSurviveEveryStyleChange) {
  combo->SetText("zeta");
  form->Show();
  combo->SetStyle(csSimple);
  EXPECT_EQ(combo->Text(), "zeta");
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->SetItemIndex(1);
  for (TComboBoxStyle style : {csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable, csDropDown}) {
    SCOPED_TRACE(style);
    combo->SetStyle(style);
    EXPECT_EQ(combo->Items()->Count(), 3);
    EXPECT_EQ(combo->Items()->Strings(2), "Cherry");
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->Text(), "Banana");
  }
  combo->SetStyle(csOwnerDrawFixed);
  combo->SetItemHeight(23);  // measured again with the new window
  EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETITEMHEIGHT, 0, 0), 23);
  EXPECT_EQ(combo->ItemIndex(), 1);
}

TEST_F(UiComboBox, VariableItemsAreMeasuredEvenWhileTheWindowIsBeingMade) {
  std::vector<int> measured;
  bool measuredBeforeWindow = false;
  combo->SetStyle(csOwnerDrawVariable);
  combo->OnMeasureItem = [&](TWinControl*, int index, int& height) {
    measured.push_back(index);
    if (index == -1 && combo->ControlState().Contains(csCreating)) measuredBeforeWindow = true;
    height = 10 + index;
  };
  combo->HandleNeeded();
  EXPECT_TRUE(measuredBeforeWindow);
  EXPECT_NE(std::find(measured.begin(), measured.end(), -1), measured.end());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETITEMHEIGHT, i, 0), 10 + i);
}

TEST_F(UiComboBox, OwnerDrawnItemsGetTheirStateAndTheDefaultPaintsTheSelection) {
  combo->SetStyle(csOwnerDrawFixed);
  combo->SetItemIndex(2);
  std::vector<std::pair<int, TOwnerDrawState>> drawn;
  combo->OnDrawItem = [&](TWinControl* control, int index, const TRect&, TOwnerDrawState state) {
    EXPECT_EQ(control, combo);
    drawn.emplace_back(index, state);
  };
  form->Show();
  RedrawWindow(combo->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back().first, 2);
  EXPECT_TRUE(drawn.back().second.Contains(odComboBoxEdit));  // the selection field

  // Without a handler: the item's background, highlighted when selected.
  combo->OnDrawItem = nullptr;
  combo->SetColor(static_cast<TColor>(0x00FF00));
  for (bool selected : {true, false}) {
    testing_support::Dib32 dib(40, 16, 0xFF0000FF, true);
    DRAWITEMSTRUCT dis{ODT_COMBOBOX, combo->ControlID(), 0, ODA_DRAWENTIRE, selected ? ODS_SELECTED : 0u,
                       combo->Handle(), dib.DC(), RECT{0, 0, 40, 16}, 0};
    SendMessageA(form->Handle(), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    EXPECT_EQ(dib.Rgb(39, 15), selected ? PixelRgb(clHighlight) : 0x00FF00u) << selected;
  }
}

TEST_F(UiComboBox, TypingCompletesLimitsAndConvertsCase) {
  form->Show();
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  Type("b");
  EXPECT_EQ(combo->Text(), "Banana");
  EXPECT_EQ(combo->ItemIndex(), 1);
  DWORD start = 0, end = 0;
  SendMessageA(combo->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 1u);  // the completed part stays selected for the next key
  EXPECT_EQ(end, 6u);
  EXPECT_GE(changes, 1);

  combo->SetAutoComplete(false);
  combo->SetText("");
  combo->SetMaxLength(3);
  Type("xyzw");
  EXPECT_EQ(combo->Text(), "xyz");
  combo->SetCharCase(ecUpperCase);
  EXPECT_EQ(combo->Text(), "XYZ");
  EXPECT_TRUE(GetWindowLongA(combo->EditHandle(), GWL_STYLE) & ES_UPPERCASE);
  combo->SetStyle(csSimple);  // kept by the new window
  EXPECT_TRUE(GetWindowLongA(combo->EditHandle(), GWL_STYLE) & ES_UPPERCASE);

  combo->SetStyle(csDropDown);
  combo->SetAutoDropDown(true);
  int dropDowns = 0;
  combo->OnDropDown = [&](TObject*) { ++dropDowns; };
  Type("q");  // another program's window may close the list at once: the opening is what counts
  EXPECT_EQ(dropDowns, 1);
  combo->SetDroppedDown(false);
  EXPECT_FALSE(combo->DroppedDown());
}

}  // namespace
