#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "tests/framework/core_test_util.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/Dib32.h"
#include "tests/support/MessagePump.h"

namespace {

using UiStdCtrls = UiFormTest;

void UserSelects(TComboBox* combo, int index) {
  SendMessageA(combo->Handle(), CB_SETCURSEL, index, 0);
  SendMessageA(combo->Parent()->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo->Handle()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo->Handle()));
}

TEST_F(UiStdCtrls, ComboItemIndexSetsQuietlyAndUserSelectionsSendChangedBeforeOnChange) {
  auto* combo = new TComboBox(form);
  combo->SetStyle(csDropDownList);
  combo->SetParent(form);
  for (const char* b : {"110", "300", "9600", "115200"}) combo->Items()->Add(b);
  std::vector<std::string> events;
  WindowProcHook hook(combo, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg == CM_CHANGED) {
      EXPECT_EQ(m.LParam, reinterpret_cast<LPARAM>(combo));
      events.push_back("changed");
    }
    next(m);
  });
  combo->OnChange = [&](TObject*) { events.push_back("change " + std::to_string(combo->ItemIndex())); };
  combo->SetItemIndex(3);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(combo->Text(), "115200");
  UserSelects(combo, 2);
  EXPECT_EQ(events, (std::vector<std::string>{"changed", "change 2"}));
  // With OnSelect assigned a selection goes there instead.
  int selects = 0;
  combo->OnSelect = [&](TObject*) { ++selects; };
  UserSelects(combo, 1);
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(events.size(), 2u);
  // A drop-down list's text selects the item with that text.
  combo->SetText("9600");
  EXPECT_EQ(combo->ItemIndex(), 2);
  combo->SetItemIndex(-1);
  EXPECT_EQ(combo->Text(), "");
}

TEST_F(UiStdCtrls, ComboItemsLiveInTheControlAndSurviveRecreation) {
  auto* combo = new TComboBox(form);
  combo->Items()->Add("COM3");
  combo->Items()->Add("COM1");
  combo->SetItemIndex(1);
  combo->SetParent(form);
  combo->HandleNeeded();
  EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(combo->ItemIndex(), 1);
  combo->Items()->Insert(0, "COM0");
  EXPECT_EQ(combo->Items()->Strings(0), "COM0");
  EXPECT_EQ(combo->Items()->IndexOf("com1"), 2);  // case-insensitive, as the control finds
  EXPECT_THROW(combo->Items()->Strings(7), EStringListError);
  TObject* tag = reinterpret_cast<TObject*>(0x1234);
  combo->Items()->SetObjects(1, tag);
  combo->SetSorted(true);  // re-creates the window, sorted
  EXPECT_EQ(combo->Items()->Count(), 3);
  EXPECT_EQ(combo->Items()->Strings(0), "COM0");
  EXPECT_EQ(combo->Items()->Strings(1), "COM1");
  EXPECT_EQ(combo->Items()->Strings(2), "COM3");
  EXPECT_EQ(combo->Items()->Objects(2), tag);
  EXPECT_THROW(combo->Items()->Insert(0, "x"), EStringListError);
  // Clear keeps an editable combo's text.
  combo->SetText("typed");
  combo->Items()->Clear();
  EXPECT_EQ(combo->Items()->Count(), 0);
  EXPECT_EQ(combo->Text(), "typed");
}

TEST_F(UiStdCtrls, ComboDropDownAndCloseUpNotifications) {
  auto* combo = NewChild<TComboBox>(form);
  std::vector<std::string> events;
  combo->OnDropDown = [&](TObject*) { events.push_back("down"); };
  combo->OnCloseUp = [&](TObject*) { events.push_back("up"); };
  combo->OnChange = [&](TObject*) { events.push_back("change"); };
  for (WORD code : {CBN_DROPDOWN, CBN_CLOSEUP, CBN_EDITCHANGE})
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo->Handle()), code),
                 reinterpret_cast<LPARAM>(combo->Handle()));
  EXPECT_EQ(events, (std::vector<std::string>{"down", "up", "change"}));
  // The visible height is the control's Height although the window includes its list.
  RECT r;
  GetWindowRect(combo->Handle(), &r);
  EXPECT_EQ(r.bottom - r.top, combo->Height());
}

TEST_F(UiStdCtrls, MemoLinesAreLogicalWrappedOrNotAndHoldMoreThanTheDefaultEditLimit) {
  auto* memo = new TMemo(form);
  memo->SetWordWrap(false);
  memo->SetWidth(60);
  memo->SetParent(form);
  std::string longLine(200, 'A');  // wider than the memo: not split
  std::vector<std::string> lines;
  for (int i = 0; i < 1807; ++i) lines.push_back(":10" + std::to_string(i) + longLine.substr(0, 30));
  lines.push_back(":00000001FF");
  for (const auto& l : lines) memo->Lines()->Add(l);  // no window yet
  memo->Lines()->Add(longLine);
  // A memo that wraps still reports its logical lines.
  auto* wrapping = new TMemo(form);
  wrapping->SetWidth(50);
  wrapping->SetParent(form);
  wrapping->Lines()->Add(std::string(100, 'x'));
  wrapping->Lines()->Add("short");
  form->Show();
  EXPECT_EQ(Lines(*wrapping->Lines()), (std::vector<std::string>{std::string(100, 'x'), "short"}));
  ASSERT_TRUE(memo->HandleAllocated());
  ASSERT_EQ(memo->Lines()->Count(), 1809);  // about 75000 characters
  EXPECT_EQ(memo->Lines()->Strings(1807), ":00000001FF");
  EXPECT_EQ(memo->Lines()->Strings(1808), longLine);
  EXPECT_EQ(memo->Lines()->Strings(0), lines[0]);
  // Editing with the window.
  memo->Lines()->Insert(1, "inserted");
  EXPECT_EQ(memo->Lines()->Strings(1), "inserted");
  EXPECT_EQ(memo->Lines()->Strings(2), lines[1]);
  memo->Lines()->Delete(0);
  EXPECT_EQ(memo->Lines()->Strings(0), "inserted");
  memo->Lines()->Clear();
  EXPECT_EQ(memo->Lines()->Count(), 0);
  memo->Lines()->Add("a");
  memo->Lines()->Add("b");
  EXPECT_EQ(memo->Lines()->Text(), "a\r\nb\r\n");
  memo->Lines()->SetText("x\ny\rz");
  EXPECT_EQ(memo->Lines()->Count(), 3);
  EXPECT_EQ(memo->Lines()->Strings(2), "z");
  EXPECT_THROW(memo->Lines()->Strings(3), EStringListError);
}

// A memo whose edit control records the fonts it is given and how much text it holds at each.
struct TFontSpy {
  static constexpr const char* ClassName = "TFontSpyMemo";
  static inline WNDPROC System = nullptr;
  static inline std::vector<int> TextAtFont;  // the text length the edit control held at each WM_SETFONT
  static LRESULT CALLBACK Proc(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
    if (Msg == WM_SETFONT) TextAtFont.push_back(GetWindowTextLengthA(W));
    return CallWindowProcA(System, W, Msg, WP, LP);
  }
};
// A control whose system window's messages go through Spy::Proc first.
template <class Base, class Spy>
class TSpied : public Base {
public:
  using Base::Base;

protected:
  void CreateParams(TCreateParams& Params) override {
    Base::CreateParams(Params);
    Spy::System = Params.WindowClass.lpfnWndProc;
    Params.WindowClass.lpfnWndProc = Spy::Proc;
    Params.WinClassName = Spy::ClassName;
  }
};
using TFontSpyMemo = TSpied<TMemo, TFontSpy>;

TEST_F(UiStdCtrls, AMemoWindowGetsItsFontBeforeItsTextAndLaterFontsStillReachIt) {
  // The edit control lays out every line again for each font: one given over a long text costs it all again.
  auto* memo = new TFontSpyMemo(form);
  memo->SetWordWrap(false);
  memo->SetParent(form);
  for (int i = 0; i < 50; ++i) {
    std::string line = ":10000000";
    memo->Lines()->Add(line += std::to_string(i));
  }
  TFontSpy::TextAtFont.clear();
  form->Show();
  ASSERT_TRUE(memo->HandleAllocated());
  EXPECT_EQ(TFontSpy::TextAtFont, std::vector<int>{0});
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(memo->Handle(), WM_GETFONT, 0, 0)), memo->Font()->Handle());
  EXPECT_EQ(memo->Lines()->Count(), 50);
  EXPECT_EQ(memo->Lines()->Strings(49), ":1000000049");
  // A font given afterwards, and a window made again, are the control's as before.
  memo->Font()->SetSize(14);
  ASSERT_EQ(TFontSpy::TextAtFont.size(), 2u);
  EXPECT_GT(TFontSpy::TextAtFont[1], 0);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(memo->Handle(), WM_GETFONT, 0, 0)), memo->Font()->Handle());
  TFontSpy::TextAtFont.clear();
  memo->SetScrollBars(ssVertical);  // a new window
  EXPECT_EQ(TFontSpy::TextAtFont, std::vector<int>{0});
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(memo->Handle(), WM_GETFONT, 0, 0)), memo->Font()->Handle());
  EXPECT_EQ(memo->Lines()->Strings(49), ":1000000049");
}

// A combo box whose font changes while its window is made, as a skin's colours change it: the system control
// lays itself out again for every font it is given.
struct TComboFontSpy {
  static constexpr const char* ClassName = "TComboFontSpy";
  static inline WNDPROC System = nullptr;
  static inline int Fonts = 0;
  static LRESULT CALLBACK Proc(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
    if (Msg == WM_SETFONT) ++Fonts;
    return CallWindowProcA(System, W, Msg, WP, LP);
  }
};
class TRecolouredCombo : public TSpied<TComboBox, TComboFontSpy> {
public:
  using TSpied::TSpied;

protected:
  void CreateWnd() override {
    TComboBox::CreateWnd();
    Font()->SetColor(Font()->Color() == clRed ? clBlue : clRed);
  }
};

TEST_F(UiStdCtrls, AWindowWhoseFontChangesWhileItIsMadeIsGivenItOnceAndLaterFontsStillReachIt) {
  auto* combo = new TRecolouredCombo(form);
  combo->SetParent(form);
  TComboFontSpy::Fonts = 0;
  form->Show();
  ASSERT_TRUE(combo->HandleAllocated());
  EXPECT_EQ(TComboFontSpy::Fonts, 1);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(combo->Handle(), WM_GETFONT, 0, 0)), combo->Font()->Handle());
  combo->Font()->SetSize(14);
  EXPECT_EQ(TComboFontSpy::Fonts, 2);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(combo->Handle(), WM_GETFONT, 0, 0)), combo->Font()->Handle());
}

// A memo placed beyond its form's client area, as forms keep data memos: its edit control takes no text until
// something other than its text is asked of it, and until then answers for its text as the edit control would.
struct TTextSpy {
  static constexpr const char* ClassName = "TTextSpyMemo";
  static inline WNDPROC System = nullptr;
  static inline std::vector<std::string> Given;  // the texts the edit control got
  static LRESULT CALLBACK Proc(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
    if (Msg == WM_SETTEXT) Given.push_back(LP ? reinterpret_cast<const char*>(LP) : "");
    return CallWindowProcA(System, W, Msg, WP, LP);
  }
};
using TTextSpyMemo = TSpied<TMemo, TTextSpy>;

TEST_F(UiStdCtrls, AMemoOutOfViewTakesItsTextWhenUsedAndAnswersAsOneInView) {
  form->SetClientWidth(200);
  auto* seen = new TMemo(form);
  auto* hidden = new TTextSpyMemo(form);
  int seenChanges = 0, hiddenChanges = 0;
  seen->OnChange = [&](TObject*) { ++seenChanges; };
  hidden->OnChange = [&](TObject*) { ++hiddenChanges; };
  for (TMemo* memo : {static_cast<TMemo*>(seen), static_cast<TMemo*>(hidden)}) {
    memo->SetWordWrap(false);
    memo->SetParent(form);
    for (int i = 0; i < 40; ++i) memo->Lines()->Add(":10" + std::to_string(i));
  }
  hidden->SetLeft(220);
  TTextSpy::Given.clear();
  form->Show();
  testing_support::PumpPending();
  ASSERT_TRUE(hidden->HandleAllocated());
  EXPECT_TRUE(hidden->TextPending());
  EXPECT_FALSE(seen->TextPending());
  EXPECT_TRUE(TTextSpy::Given.empty());
  // Text, line count and added lines as the edit control in view makes them, with the same change events.
  // Line breaks other than CR LF are left to the edit control: the window takes its text for them.
  const std::vector<std::pair<std::function<void(TMemo*)>, bool>> steps = {
      {[](TMemo*) {}, true},
      {[](TMemo* m) { m->Lines()->Add("added"); }, true},
      {[](TMemo* m) { m->SetText("a\r\nb\r\n"); }, true},
      {[](TMemo* m) { m->Lines()->Add("c"); }, true},
      {[](TMemo* m) { m->Lines()->Clear(); }, true},
      {[](TMemo* m) { m->Lines()->Add("e"); }, true},
      {[](TMemo* m) { m->SetText("a\nb"); }, false},
      {[](TMemo* m) { m->Lines()->Add("d"); }, false},
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    steps[i].first(seen);
    steps[i].first(hidden);
    EXPECT_EQ(hidden->Text(), seen->Text()) << "step " << i;
    EXPECT_EQ(hidden->Lines()->Count(), seen->Lines()->Count()) << "step " << i;
    EXPECT_EQ(hiddenChanges, seenChanges) << "step " << i;
    EXPECT_EQ(hidden->TextPending(), steps[i].second) << "step " << i;
  }
  EXPECT_EQ(TTextSpy::Given, std::vector<std::string>{"a\nb"});
  // Asked for a line, a window made again out of view takes the text at once and answers from it.
  hidden->SetText("x\r\ny");
  hidden->SetScrollBars(ssVertical);
  EXPECT_TRUE(hidden->TextPending());
  EXPECT_EQ(hidden->Lines()->Strings(1), "y");
  EXPECT_FALSE(hidden->TextPending());
  EXPECT_EQ(TTextSpy::Given.back(), "x\r\ny");
  // So does a message of the edit control's own.
  hidden->SetScrollBars(ssNone);
  EXPECT_TRUE(hidden->TextPending());
  EXPECT_EQ(SendMessageA(hidden->Handle(), EM_GETLINECOUNT, 0, 0), 2);
  EXPECT_FALSE(hidden->TextPending());
  // Moved into view, it is painted from its text.
  hidden->SetScrollBars(ssVertical);
  ASSERT_TRUE(hidden->TextPending());
  hidden->SetLeft(100);
  EXPECT_TRUE(testing_support::PumpUntil([&] { return !hidden->TextPending(); }, 2000));
  EXPECT_EQ(TTextSpy::Given.back(), "x\r\ny");
}

TEST_F(UiStdCtrls, EditChangeSendsChangedThenOnChangeButNotWhileCreating) {
  auto* edit = new TEdit(form);
  edit->SetText("initial");
  edit->SetParent(form);
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  edit->HandleNeeded();
  EXPECT_EQ(changes, 0);
  edit->SetText("new");
  EXPECT_EQ(changes, 1);
  edit->SetMaxLength(3);
  edit->SetText("abcdef");  // WM_SETTEXT is not limited, typing is
  EXPECT_EQ(SendMessageA(edit->Handle(), EM_GETLIMITTEXT, 0, 0), 3);
}

class TDecoratedLabel : public TLabel {
public:
  explicit TDecoratedLabel(TComponent* o) : TLabel(o) {}
  std::string GetLabelText() override { return "[" + Caption() + "]"; }
};

TEST_F(UiStdCtrls, LabelAutoSizeFitsItsTextAndKeepsTheAnchoredEdge) {
  auto* label = NewChild<TLabel>(form);
  label->SetLeft(100);
  label->SetCaption("W");
  int narrow = label->Width();
  label->SetCaption("WWWWWWWWWW");
  EXPECT_GT(label->Width(), narrow * 5);
  EXPECT_EQ(label->Left(), 100);
  int right = label->Left() + label->Width();
  label->SetAlignment(taRightJustify);
  label->SetCaption("W");
  EXPECT_EQ(label->Left() + label->Width(), right);
  // An empty caption keeps a line's height.
  label->SetCaption("");
  EXPECT_GT(label->Height(), 5);
  // The accelerator prefix is not measured unless ShowAccelChar is off.
  label->SetAlignment(taLeftJustify);
  label->SetCaption("&&&&&&&&");
  int withPrefix = label->Width();
  label->SetShowAccelChar(false);
  EXPECT_GT(label->Width(), withPrefix);
  // GetLabelText is what is measured (and drawn).
  auto* plain = NewChild<TLabel>(form);
  plain->SetCaption("abc");
  auto* decorated = NewChild<TDecoratedLabel>(form);
  decorated->SetCaption("abc");
  EXPECT_GT(decorated->Width(), plain->Width());
}

TEST_F(UiStdCtrls, ButtonClickSetsTheFormsModalResultAndDefaultShowsInTheStyle) {
  auto* button = new TButton(form);
  button->SetModalResult(mrOk);
  button->SetDefault(true);
  button->SetParent(form);
  EXPECT_EQ(GetWindowLongA(button->Handle(), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
  button->Click();
  EXPECT_EQ(form->ModalResult(), mrOk);
  button->SetDefault(false);
  EXPECT_EQ(GetWindowLongA(button->Handle(), GWL_STYLE) & 0xF, BS_PUSHBUTTON);
  button->SetWordWrap(true);
  EXPECT_TRUE(GetWindowLongA(button->Handle(), GWL_STYLE) & BS_MULTILINE);
}

TEST_F(UiStdCtrls, ProgressBarKeepsPositionInRangeAndItsStyles) {
  auto* bar = NewChild<TProgressBar>(form);
  bar->SetMax(50);
  bar->SetPosition(70);
  EXPECT_EQ(bar->Position(), 50);
  bar->SetPosition(-3);
  EXPECT_EQ(bar->Position(), 0);
  bar->SetPosition(20);
  EXPECT_EQ(SendMessageA(bar->Handle(), PBM_GETPOS, 0, 0), 20);
  EXPECT_EQ(SendMessageA(bar->Handle(), PBM_GETRANGE, FALSE, 0), 50);
  EXPECT_THROW(bar->SetMin(60), EInvalidOperation);
  bar->SetSmooth(true);
  EXPECT_TRUE(GetWindowLongA(bar->Handle(), GWL_STYLE) & PBS_SMOOTH);
  EXPECT_EQ(bar->Position(), 20);  // kept across the re-creation
  bar->SetOrientation(pbVertical);
  EXPECT_TRUE(GetWindowLongA(bar->Handle(), GWL_STYLE) & PBS_VERTICAL);
}

TEST_F(UiStdCtrls, ImagePlacesItsPictureByStretchCenterAndProportional) {
  auto* image = new TImage(nullptr);
  image->SetBounds(0, 0, 121, 89);
  TBitmap* bmp = image->Picture()->Bitmap();
  bmp->SetPixelFormat(pf32bit);
  bmp->SetSize(60, 20);
  RECT r = image->DestRect();
  EXPECT_EQ(r.right - r.left, 60);
  EXPECT_EQ(r.left, 0);
  image->SetCenter(true);
  r = image->DestRect();
  EXPECT_EQ(r.left, (121 - 60) / 2);
  EXPECT_EQ(r.top, (89 - 20) / 2);
  image->SetStretch(true);
  image->SetProportional(true);
  r = image->DestRect();
  EXPECT_EQ(r.right - r.left, 121);
  EXPECT_EQ(r.bottom - r.top, 40);  // 121 / 3, truncated
  image->SetProportional(false);
  r = image->DestRect();
  EXPECT_EQ(r.right - r.left, 121);
  EXPECT_EQ(r.bottom - r.top, 89);
  // Proportional alone only shrinks pictures larger than the control.
  image->SetStretch(false);
  image->SetProportional(true);
  r = image->DestRect();
  EXPECT_EQ(r.right - r.left, 60);
  image->SetAutoSize(true);
  EXPECT_EQ(image->Width(), 60);
  EXPECT_EQ(image->Height(), 20);
  image->Free();
}

TEST_F(UiStdCtrls, PanelPaintsItsBevelAndFaceIntoAGivenDC) {
  auto* panel = new TPanel(form);
  panel->SetBounds(0, 0, 40, 30);
  panel->SetColor(clWhite);
  panel->SetParent(form);
  panel->HandleNeeded();
  testing_support::Dib32 dib(40, 30, 0, true);
  SendMessageA(panel->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dib.DC()), 0);
  EXPECT_EQ(dib.Rgb(0, 0), PixelRgb(clBtnHighlight));  // raised: light top-left
  EXPECT_EQ(dib.Rgb(39, 29), PixelRgb(clBtnShadow));   // dark bottom-right
  EXPECT_EQ(dib.Rgb(20, 15), 0xFFFFFFu);           // the face
}

}  // namespace
