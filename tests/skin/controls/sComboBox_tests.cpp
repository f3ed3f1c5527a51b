// The skinned combo box: owner-drawn exactly while skinned with its items kept, items measured while the window
// is made, read-only keys, clicks and the wheel, the face and button from the skin, the face after a change.
#include <gtest/gtest.h>

#include <functional>

#include "ControlsTestSupport.h"
#include "framework/Themes.h"
#include "skin/controls/sComboBox.h"
#include "skin/core/vkGlow.h"
#include "skin/core/vkThdTimer.h"
#include "skin/graphics/ToolkitStartup.h"
#include "tests/support/RealPointer.h"

using namespace controls_test;

namespace {

template <class T = TsComboBox> T* NewCombo(TForm* Form, TComboBoxStyle Style) {
  T* C = PlaceOn<T>(Form, 130, 21, 10, 10);
  C->SetStyle(Style);
  for (const char* S : {"110", "9600", "115200"}) C->Items()->Add(S);
  C->HandleNeeded();
  return C;
}

// Runs the application's own message loop, so that key messages pass the framework's key handling, until Done
// holds (true) or Ms pass (false).
bool ProcessUntil(const std::function<bool()>& Done, unsigned Ms) {
  const DWORD Start = GetTickCount();
  for (;;) {
    Application->ProcessMessages();
    if (Done()) return true;
    if (GetTickCount() - Start >= Ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

// A notification of the box as the system tells it to the box's parent.
void Notify(TWinControl* Parent, TsComboBox* Box, WORD Code) {
  const HWND Wnd = Box->Handle();
  SendMessageA(Parent->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Wnd), Code), reinterpret_cast<LPARAM>(Wnd));
}

bool OwnerDrawn(TsComboBox* C) { return (GetWindowLongA(C->Handle(), GWL_STYLE) & CBS_OWNERDRAWFIXED) != 0; }

// Every test's skinned manager and the form its boxes stand on.
class ComboBox : public testing::Test {
protected:
  Owned<TsSkinManager> M = SkinnedManager();
  Owned<TForm> Form = NewForm(clBtnFace);
};

}  // namespace

TEST_F(ComboBox, OwnerDrawnExactlyWhileSkinnedKeepingItsContent) {
  TsComboBox* List = NewCombo(Form.get(), csDropDownList);
  TsComboBox* Edit = NewCombo(Form.get(), csDropDown);
  List->SetItemIndex(1);
  Edit->SetText("typed");
  EXPECT_TRUE(OwnerDrawn(List));
  EXPECT_TRUE(OwnerDrawn(Edit));
  // measured while the window was made
  EXPECT_EQ(SendMessageA(List->Handle(), CB_GETITEMHEIGHT, 0, 0), TextHeightOfA(List->Font()) + 2);
  M->SetActive(false);
  EXPECT_FALSE(OwnerDrawn(List));
  EXPECT_FALSE(OwnerDrawn(Edit));
  M->SetActive(true);
  EXPECT_TRUE(OwnerDrawn(List));
  EXPECT_EQ(List->Items()->Count(), 3);
  EXPECT_EQ(List->ItemIndex(), 1);
  EXPECT_EQ(List->Text(), "9600");
  EXPECT_EQ(Edit->Text(), "typed");
}

TEST_F(ComboBox, EachWindowMadeOnASkinChangeHasTheFontAndTakesALaterChange) {
  TsComboBox* List = NewCombo(Form.get(), csDropDownList);
  Form->Show();
  List->SetFocus();  // the focus leaves each window as it goes, and comes to the new one
  auto WindowFont = [List] { return reinterpret_cast<HFONT>(SendMessageA(List->Handle(), WM_GETFONT, 0, 0)); };
  for (const bool Active : {false, true, false}) {
    M->SetActive(Active);
    EXPECT_EQ(OwnerDrawn(List), Active);
    EXPECT_EQ(WindowFont(), List->Font()->Handle()) << Active;
  }
  EXPECT_EQ(GetFocus(), List->Handle());
  List->Font()->SetHeight(List->Font()->Height() - 3);
  EXPECT_EQ(WindowFont(), List->Font()->Handle());
}

TEST_F(ComboBox, ReadOnlyKeysAndTheWheelChangeNothing) {
  TsComboBox* List = NewCombo(Form.get(), csDropDownList);
  TsComboBox* Edit = NewCombo(Form.get(), csDropDown);
  List->SetItemIndex(0);
  Edit->SetText("abc");
  List->SetReadOnly(true);
  Edit->SetReadOnly(true);
  int Changes = 0;
  List->OnChange = [&](TObject*) { ++Changes; };
  SendMessageA(List->Handle(), WM_CHAR, '9', 0);
  SendMessageA(List->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  SendMessageA(List->Handle(), WM_KEYDOWN, VK_F4, 0);
  EXPECT_EQ(List->ItemIndex(), 0);
  EXPECT_FALSE(List->DroppedDown());
  EXPECT_EQ(Changes, 0);
  OpenClipboard(nullptr);
  EmptyClipboard();
  HGLOBAL Text = GlobalAlloc(GMEM_MOVEABLE, 4);
  memcpy(GlobalLock(Text), "xyz", 4);
  GlobalUnlock(Text);
  SetClipboardData(CF_TEXT, Text);
  CloseClipboard();
  SendMessageA(Edit->EditHandle(), WM_PASTE, 0, 0);
  SendMessageA(Edit->EditHandle(), WM_CHAR, 'q', 0);
  EXPECT_EQ(Edit->Text(), "abc");

  List->SetReadOnly(false);
  List->SetAllowMouseWheel(false);
  SendMessageA(List->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  EXPECT_EQ(List->ItemIndex(), 0);
}

TEST_F(ComboBox, AnEventHandlerThatFreesTheBoxEndsItsWork) {
  struct Case {
    WORD Code;
    TNotifyEvent TsComboBox::*Event;
  };
  // Code 0: the Down key, whose selection the system tells from within the key's message.
  for (const Case& C : {Case{CBN_SELCHANGE, &TsComboBox::OnClick}, Case{CBN_SELCHANGE, &TsComboBox::OnSelect},
                        Case{CBN_DROPDOWN, &TsComboBox::OnDropDown}, Case{CBN_CLOSEUP, &TsComboBox::OnCloseUp},
                        Case{0, &TsComboBox::OnChange}}) {
    auto* Box = NewCombo<Kept<TsComboBox>>(Form.get(), csDropDownList);
    const HWND Wnd = Box->Handle();
    int Calls = 0;
    Box->*C.Event = [&](TObject*) {
      ++Calls;
      Box->Free();
    };
    C.Code != 0 ? Notify(Form.get(), Box, C.Code) : void(SendMessageA(Wnd, WM_KEYDOWN, VK_DOWN, 0));
    EXPECT_EQ(Calls, 1) << C.Code;
    EXPECT_FALSE(IsWindow(Wnd)) << C.Code;
    EXPECT_TRUE(KeptMemoryUntouched()) << C.Code;
  }
}

// Each change starts a fade; the pointer comes onto the arrow within the fade of its entering, and the fade ends on
// the look of both. The box with an edit has a glow, which its frame's fade shows whole.
TEST_F(ComboBox, StateChangesFadeWithTheBoxsOwnStepToTheLookOfTheirLastChange) {
  Platform().GetCursorPos = [](POINT* P) {  // over none of the boxes: a leave is a leave
    *P = POINT{-9999, -9999};
    return TRUE;
  };
  ToolkitStartup();  // as the units' start: layered windows and the glow entries
  vkGlowInitialize();
  Form->SetFormStyle(fsStayOnTop);  // no window of another test covers the glowing box
  Form->ShowNoActivate();  // fades run on a window that shows, from a face
  for (const TComboBoxStyle Style : {csDropDownList, csDropDown}) {
    TsComboBox* Box = NewCombo(Form.get(), Style);
    if (Style == csDropDown) Box->SkinData()->SetSkinSection("GLOWBUTTON");
    Printed(Box);
    const TRect B = Box->ButtonRect();
    const std::function<void()> Changes[] = {[&] { Box->Perform(CM_MOUSEENTER, 0, 0); },
                                             [&] { Box->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(B.Left + 2, B.Top + 2)); },
                                             [&] { Notify(Form.get(), Box, CBN_DROPDOWN); },
                                             [&] { Notify(Form.get(), Box, CBN_CLOSEUP); },
                                             [&] { Box->Perform(CM_MOUSELEAVE, 0, 0); }};
    for (size_t i = 0; i < std::size(Changes); ++i) {
      Changes[i]();
      TvkThreadedTimer* T = Box->SkinData()->AnimTimer;
      ASSERT_TRUE(T != nullptr && T->Enabled() && T->StepProc == &ComboFadeStep) << "change " << i << ", " << Style;
      if (i == 0) continue;
      for (int Tick = 0; Tick < 20 && T->Enabled(); ++Tick) T->Tick();
      EXPECT_FALSE(T->Enabled()) << "change " << i << ", " << Style;
      if (i > 1) continue;
      Box->SkinData()->CacheDirty = true;
      EXPECT_EQ(Pixels(T->WorkBmp), Printed(Box)) << Style;  // the frame shown last: the box as it is
      const TvkGlowEffect* Glow = GlowEffectOf(Box->SkinData()->GlowId);
      EXPECT_EQ(Glow != nullptr ? Glow->Alpha : -1, Style == csDropDown ? 255 : -1);
    }
  }
  Form->Hide();
  ClearAllGlowEffects(true);
  ToolkitShutdown();
  ResetPlatform();
}

TEST(ComboBoxRealKeys, AltF4ClosesTheWindowAndABlockedBoxKeepsItsListShut) {
  struct Case {
    TComboBoxStyle Style;
    bool ReadOnly, StdDropDown;
  };
  // Counts the key messages that reach the box or its edit.
  struct TKeySpy : TsComboBox {
    using TsComboBox::TsComboBox;
    size_t Keys = 0;
    void WndProc(TMessage& M) override {
      Keys += M.Msg >= CN_BASE + WM_KEYFIRST && M.Msg <= CN_BASE + WM_KEYLAST;
      TsComboBox::WndProc(M);
    }
  };
  auto M = SkinnedManager();
  for (const Case& C : {Case{csDropDownList, false, true}, Case{csDropDownList, true, true},
                        Case{csDropDownList, false, false}, Case{csDropDown, true, true}}) {
    Owned<TForm> Form = NewForm(clBtnFace);
    auto* Box = NewCombo<TKeySpy>(Form.get(), C.Style);
    Box->SetReadOnly(C.ReadOnly);
    Box->SetStdDropDown(C.StdDropDown);
    Box->SetItemIndex(0);
    bool Closed = false;
    Form->OnClose = [&](TObject*, TCloseAction&) { Closed = true; };
    Form->Show();
    SetForegroundWindow(Form->Handle());
    Box->SetFocus();
    ASSERT_TRUE(ProcessUntil([&] { return GetForegroundWindow() == Form->Handle(); }, 2000));
    if (C.ReadOnly || !C.StdDropDown)
      for (auto Keys : {std::initializer_list<WORD>{VK_F4}, {VK_MENU, VK_DOWN}, {VK_DOWN}}) {
        const size_t Seen = Box->Keys;
        testing_support::PressKeys(Keys);  // a press and a release each
        ASSERT_TRUE(ProcessUntil([&] { return Box->Keys >= Seen + 2 * Keys.size(); }, 2000))
            << "the keys went to another window";
        EXPECT_FALSE(Box->DroppedDown()) << C.Style << C.ReadOnly << *Keys.begin();
        EXPECT_EQ(Box->ItemIndex(), 0) << C.Style << C.ReadOnly << *Keys.begin();
      }
    if (C.ReadOnly) {  // a click takes the focus and opens nothing
      NewCombo(Form.get(), csDropDownList)->SetFocus();
      SendMessageA(Box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
      SendMessageA(Box->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
      EXPECT_TRUE(GetFocus() == Box->Handle() || IsChild(Box->Handle(), GetFocus())) << C.Style;
      EXPECT_FALSE(Box->DroppedDown()) << C.Style;
    }
    // Another test program may take the foreground meanwhile: the keys are pressed again, ours once more.
    for (int Try = 0; Try < 3 && !Closed; ++Try) {
      SetForegroundWindow(Form->Handle());
      if (!ProcessUntil([&] { return GetForegroundWindow() == Form->Handle(); }, 1000)) continue;
      testing_support::PressKeys({VK_MENU, VK_F4});
      ProcessUntil([&] { return Closed; }, 1500);
    }
    EXPECT_TRUE(Closed) << C.Style << C.ReadOnly << C.StdDropDown;
    Form->Hide();
  }
}

TEST_F(ComboBox, FaceFromTheSkinWithItsButtonAtTheLeftForRightToLeftReading) {
  MiddleEastLocale Locale;
  for (const TBiDiMode Mode : {bdLeftToRight, bdRightToLeftReadingOnly, bdRightToLeft}) {
    TsComboBox* C = NewCombo(Form.get(), csDropDownList);
    C->SetBiDiMode(Mode);
    const bool Left = Mode != bdLeftToRight;
    const TRect B = C->ButtonRect();
    EXPECT_EQ(B.Left, Left ? 3 : C->Width() - 3 - B.Width()) << Mode;
    EXPECT_EQ(B.Top, 3);
    EXPECT_EQ(B.Width(), GetSystemMetrics(SM_CXVSCROLL));
    Dib32 Dib(C->Width(), C->Height(), 0x123456, true);
    C->Perform(WM_PRINT, reinterpret_cast<WPARAM>(Dib.DC()), PRF_CLIENT);
    EXPECT_EQ(Dib.Rgb(0, 10), 0x808080u);                                    // "EDIT"'s border, inherited
    EXPECT_EQ(Dib.Rgb(B.Left + 1, B.Top + 1), 0xB00001u) << Mode;            // "COMBOBTN"
    EXPECT_EQ(Dib.Rgb(Left ? C->Width() - 5 : 4, 10), 0xE0E0FFu) << Mode;  // "COMBOBOX"
    EXPECT_EQ(Pixels(Dib), Pixels(C->SkinData()->CacheBmp)) << Mode;
    C->Free();
  }
}

TEST_F(ComboBox, MinimumVisibleItemsOnlyWithThemedCommonControls) {
  // Wine's combo box keeps no minimum: the message itself is what is checked
  struct TSpyCombo : TsComboBox {
    using TsComboBox::TsComboBox;
    std::vector<WPARAM> MinVisible;
    void WndProc(TMessage& M) override {
      if (M.Msg == 0x1701 /* CB_SETMINVISIBLE */) MinVisible.push_back(M.WParam);
      TsComboBox::WndProc(M);
    }
  };
  for (int Themed : {0, 1}) {
    ThemeServices()->ForceThemesEnabled(Themed);
    auto* C = PlaceOn<TSpyCombo>(Form.get(), 130, 21);
    C->HandleNeeded();
    C->SetDropDownCount(20);
    EXPECT_EQ(C->MinVisible, Themed ? (std::vector<WPARAM>{16, 20}) : std::vector<WPARAM>{}) << Themed;
    C->Free();
  }
  ResetPlatform();
}

TEST_F(ComboBox, TheFaceShowsTheItemHoweverItChangedOnABoxNeitherFocusedNorHot) {
  Form->ShowNoActivate();
  struct Case {
    const char* Name;
    TComboBoxStyle Style;
    std::function<void(TsComboBox*)> Change;
    int Index;  // the item shown afterwards
  };
  const Case Cases[] = {
      {"by code", csDropDownList, [](TsComboBox* C) { C->SetItemIndex(2); }, 2},
      {"by the wheel", csDropDownList,
       [](TsComboBox* C) { SendMessageA(C->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0); }, 1},
      {"by message", csDropDownList, [](TsComboBox* C) { SendMessageA(C->Handle(), CB_SETCURSEL, 1, 0); }, 1},
      {"emptied", csDropDownList, [](TsComboBox* C) { SendMessageA(C->Handle(), CB_RESETCONTENT, 0, 0); }, -1},
      {"its text", csDropDown, [](TsComboBox* C) { C->SetText("57600"); }, 0},  // the edit's text only
  };
  for (const Case& C : Cases) {
    TsComboBox* Box = NewCombo(Form.get(), C.Style);
    Box->SetItemIndex(0);
    ASSERT_FALSE(Box->Focused());
    ASSERT_FALSE(Box->SkinData()->Hot);
    const std::vector<uint32_t> Before = Printed(Box);
    ValidateRect(Box->Handle(), nullptr);
    C.Change(Box);
    EXPECT_EQ(Box->ItemIndex(), C.Index) << C.Name;
    EXPECT_TRUE(GetUpdateRect(Box->Handle(), nullptr, FALSE)) << C.Name;  // a repaint is due
    const std::vector<uint32_t> After = Printed(Box);
    Box->SkinData()->CacheDirty = true;
    const std::vector<uint32_t> Fresh = Printed(Box);
    EXPECT_NE(Before, Fresh) << C.Name;  // the change shows
    EXPECT_EQ(After, Fresh) << C.Name;
    Box->Free();
  }
  Form->Hide();
}
