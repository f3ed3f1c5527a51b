#include <gtest/gtest.h>

#include <vector>

#include "framework/StdCtrls.h"
#include "framework/Themes.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/MessagePump.h"

namespace {

using UiButtonsThemes = UiFormTest;

bool ShowsAsDefault(TButton* b) {
  return (GetWindowLongA(b->Handle(), GWL_STYLE) & BS_TYPEMASK) == static_cast<LONG>(BS_DEFPUSHBUTTON);
}

TEST_F(UiButtonsThemes, TheDefaultLookFollowsTheFocusAmongButtons) {
  auto* ok = NewChild<TButton>(form);
  auto* other = NewChild<TButton>(form);
  auto* edit = NewChild<TEdit>(form);
  other->SetTop(40);
  edit->SetTop(80);
  ok->SetDefault(true);
  form->Show();
  SetActiveWindow(form->Handle());
  EXPECT_TRUE(ShowsAsDefault(ok));

  other->SetFocus();
  testing_support::PumpPending();
  EXPECT_TRUE(ShowsAsDefault(other));
  EXPECT_FALSE(ShowsAsDefault(ok));
  edit->SetFocus();  // no button focused: the Default one takes the look back
  testing_support::PumpPending();
  EXPECT_FALSE(ShowsAsDefault(other));
  EXPECT_TRUE(ShowsAsDefault(ok));
  ok->SetDefault(false);
  EXPECT_FALSE(ShowsAsDefault(ok));
}

// A button drawn by its owner: the style stays owner-drawn whatever the focus does.
class TOwnerButton : public TButton {
public:
  explicit TOwnerButton(TComponent* AOwner) : TButton(AOwner) {}
  std::vector<UINT> items;
  UINT drawState = 0;
  void Dispatch(TMessage& Message) override {
    if (Message.Msg == CN_DRAWITEM) {
      items.push_back(CN_DRAWITEM);
      drawState = TWMDrawItem(Message).DrawItemStruct()->itemState;
      Message.Result = TRUE;
      return;
    }
    if (Message.Msg == CN_MEASUREITEM) {
      items.push_back(CN_MEASUREITEM);
      TWMMeasureItem(Message).MeasureItemStruct()->itemHeight = Height();
      return;
    }
    TButton::Dispatch(Message);
  }

protected:
  void CreateParams(TCreateParams& Params) override {
    TButton::CreateParams(Params);
    Params.Style = (Params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
  }
};

TEST_F(UiButtonsThemes, AnOwnerDrawnButtonGetsItsDrawAndMeasureItemsReflected) {
  auto* button = NewChild<TOwnerButton>(form);
  form->Show();
  SetActiveWindow(form->Handle());
  button->SetFocus();
  RedrawWindow(button->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_FALSE(button->items.empty());
  EXPECT_EQ(button->items.back(), CN_DRAWITEM);
  EXPECT_TRUE(TOwnerDrawState::FromRaw(button->drawState).Contains(odFocused));
  EXPECT_EQ(GetWindowLongA(button->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

  MEASUREITEMSTRUCT mis{ODT_BUTTON, button->ControlID(), 0, 0, 0, 0};
  SendMessageA(form->Handle(), WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
  EXPECT_EQ(button->items.back(), CN_MEASUREITEM);
  EXPECT_EQ(mis.itemHeight, static_cast<UINT>(button->Height()));
}

// ---- theme services ----

struct FakeTheme {
  static inline std::vector<std::pair<int, int>> drawn;
  static inline std::vector<HWND> parents;
  static inline bool transparent = false;
  static HTHEME WINAPI Open(HWND, LPCWSTR) { return reinterpret_cast<HTHEME>(0x7E57); }
  static HRESULT WINAPI Close(HTHEME) { return S_OK; }
  static HRESULT WINAPI Draw(HTHEME, HDC, int part, int state, const RECT*, const RECT*) {
    drawn.emplace_back(part, state);
    return S_OK;
  }
  static HRESULT WINAPI Content(HTHEME, HDC, int, int, const RECT* r, RECT* out) {
    *out = RECT{r->left + 3, r->top + 3, r->right - 3, r->bottom - 3};
    return S_OK;
  }
  static HRESULT WINAPI Parent(HWND w, HDC, RECT*) {
    parents.push_back(w);
    return S_OK;
  }
  static BOOL WINAPI Transparent(HTHEME, int, int) { return transparent; }
  static void Install() {
    drawn.clear();
    parents.clear();
    TThemeEntries& e = ThemeEntries();
    e.OpenThemeData.Replace(&Open);
    e.CloseThemeData.Replace(&Close);
    e.DrawThemeBackground.Replace(&Draw);
    e.GetThemeBackgroundContentRect.Replace(&Content);
    e.DrawThemeParentBackground.Replace(&Parent);
    e.IsThemeBackgroundPartiallyTransparent.Replace(&Transparent);
  }
};

TEST_F(UiButtonsThemes, PushButtonElementsDrawThroughTheThemeLibraryOnlyWithThemes) {
  FakeTheme::Install();
  TThemeServices* t = ThemeServices();
  const TThemedButton states[] = {tbPushButtonNormal, tbPushButtonHot, tbPushButtonPressed, tbPushButtonDisabled,
                                  tbPushButtonDefaulted};
  RECT r{0, 0, 40, 20};
  HWND someWindow = Application->Handle();

  t->ForceThemesEnabled(0);
  for (TThemedButton s : states) t->DrawElement(nullptr, t->GetElementDetails(s), r);
  t->DrawParentBackground(someWindow, nullptr, nullptr, false);
  EXPECT_TRUE(FakeTheme::drawn.empty());
  EXPECT_TRUE(FakeTheme::parents.empty());
  RECT content = t->ContentRect(nullptr, t->GetElementDetails(tbPushButtonNormal), r);
  EXPECT_TRUE(EqualRect(&content, &r));

  t->ForceThemesEnabled(1);
  for (TThemedButton s : states) t->DrawElement(nullptr, t->GetElementDetails(s), r);
  EXPECT_EQ(FakeTheme::drawn, (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}}));
  content = t->ContentRect(nullptr, t->GetElementDetails(tbPushButtonPressed), r);
  EXPECT_EQ(content.left, 3);
  EXPECT_EQ(content.bottom, 17);
  TThemedElementDetails normal = t->GetElementDetails(tbPushButtonNormal);
  t->DrawParentBackground(someWindow, nullptr, &normal, true);  // opaque element: nothing to show through
  EXPECT_TRUE(FakeTheme::parents.empty());
  FakeTheme::transparent = true;
  t->DrawParentBackground(someWindow, nullptr, &normal, true);
  EXPECT_EQ(FakeTheme::parents, std::vector<HWND>{someWindow});
  FakeTheme::transparent = false;
}

TEST_F(UiButtonsThemes, ThemedCommonControlsNeedThemesAndWindows51) {
  // The test program carries the program's manifest: common controls 6 are loaded.
  EXPECT_EQ(CommonControlsVersion(), 6);
  struct Case {
    int themes;
    DWORD major, minor;
    bool themed;
  };
  for (Case c : {Case{1, 5, 1, true}, Case{1, 6, 1, true}, Case{1, 5, 0, false}, Case{0, 6, 1, false}}) {
    SCOPED_TRACE(testing::Message() << c.themes << " " << c.major << "." << c.minor);
    ThemeServices()->ForceThemesEnabled(c.themes);
    Platform().GetVersionExA = [c](OSVERSIONINFOA* info) {
      info->dwMajorVersion = c.major;
      info->dwMinorVersion = c.minor;
      return TRUE;
    };
    EXPECT_EQ(ThemedCommonControlsInUse(), c.themed);
  }
}

}  // namespace
