// The edit adapter: its frame from the skin, the skin's colours in a framework edit and the edit's own colours
// back afterwards, the disabled look of a single-line edit, the visual-style rule and the redraw commands of
// left-scroll-bar windows.
#include "AdapterTestSupport.h"
#include "framework/StdCtrls.h"
#include "skin/adapters/vkEditWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/graphics/vkColorMath.h"
#include "tests/skin/core/engine_support.h"

using namespace adapter_test;

namespace {

// An edit with the properties some edit controls publish: a focus colour, and a switch that keeps the visual style.
class TPublishingEdit : public TEdit {
  DECLARE_CLASS(TPublishingEdit, TEdit)
public:
  using TEdit::TEdit;
  TColor FFocusColor = clYellow;
  bool FUseXPThemes = true;
};
PUBLISHED(TPublishingEdit) {
  p.Color(OVER_FIELD(TPublishingEdit, FocusColor));
  p.Bool(OVER_FIELD(TPublishingEdit, UseXPThemes));
}

class Edits : public SkinnedAdapterTest {
protected:
  TvkEditWnd* Adapt(HWND W, TControl* Control = nullptr, const char* Section = "EDIT") {
    return SkinnedAdapterTest::Adapt<TvkEditWnd>(W, Section, Control, true);
  }
  // An edit on the test's form; the edit adapters are looked at alone: the thread hook leaves this form unskinned.
  template <class T = TEdit>
  T* NewEdit(const char* Text = "") {
    if (Form == nullptr) ShowForm(NoSkinTag);
    auto* E = Place<T>(Form, 10, 10, 120, 24);
    E->SetText(Text);
    return E;
  }
};

TEST_F(Edits, FrameComesFromTheSkin) {
  HWND E = NewWindow("EDIT", Host(300, 200), WS_VISIBLE, 10, 10, 120, 24, "text", WS_EX_CLIENTEDGE);
  auto* A = Adapt(E);
  EXPECT_EQ(ctEditAdapter, A->SkinData->CtrlType);
  EXPECT_EQ(2, A->FrameLeft);
  testing_support::Dib32 D(120, 24, 0, true);
  // Printed without PRF_CLIENT the frame comes from the skin and the client from the edit's own painting.
  SendMessageA(E, WM_PRINT, reinterpret_cast<WPARAM>(D.DC()), PRF_NONCLIENT | PRF_ERASEBKGND);
  // The EDIT ring in its normal state, the rest of the frame in the section's face, the client the edit painted.
  ExpectPixels(D, {{0, 0, 0x808080}, {119, 23, 0x808080}, {60, 23, 0x808080}, {1, 12, 0xFFFFFF}, {117, 12, 0xFFFFFF}});
}

// An edit adopted without a frame refresh, as a dialog's may be, takes the frame it has: none for a borderless one.
TEST_F(Edits, AnAdoptedEditsFrameIsItsOwnUntilLaidOut) {
  for (const DWORD Ex : {DWORD{0}, DWORD{WS_EX_CLIENTEDGE}}) {
    HWND E = NewWindow("EDIT", Host(300, 200), WS_VISIBLE, 10, 10, 120, 24, "text", Ex);
    auto* A = SkinnedAdapterTest::Adapt<TvkEditWnd>(E, "EDIT", nullptr, false);
    ASSERT_EQ(-1, A->FrameLeft) << "laid out already";
    EXPECT_EQ(Ex != 0 ? 2 : 0, A->FrameWidth()) << Ex;
  }
}

// A framework edit's frame is the skin's border and, from there to the client, the colour the client shows: the
// section's texture never lies between the two (read from the screen).
class EditsRealScreen : public AdapterTest {};
TEST_F(EditsRealScreen, AnEditFrameMeetsItsClientInTheClientsColour) {
  engine_test::TempFolder Dir;
  ManagerPtr M = TextSkinManager(Dir.Sub("PATTERNEDIT"),
                                 "[EDIT]\nSTATES=1\nCOLOR=$FFFFFF\nFONTCOLOR=0\nIMAGEPERCENT=100\n"
                                 "PATTERN=~0010~0010~0016~0014~00\n"
                                 "BORDERSMASK=^0020^0020^0023^0023^0001^0001^0001^0001^1^0^1^1\n",
                                 [](int x, int y) { return x >= 10 && x < 16 && y >= 10 && y < 14 ? 0x203040u : 0x808080u; });
  TForm* F = NewForm(40, 40, 300, 200, NoSkinTag);
  auto* E = Place<TEdit>(F, 10, 10, 120, 24);
  auto* A = CreateAdapter<TvkEditWnd>(E->Handle(), nullptr, M.get(), SkinParams("EDIT", E), true);
  ASSERT_EQ(2, A->FrameWidth());
  auto S = ScreenOf(E->Handle());
  // The skin's border, the client in the skin's colour, and the frame inside the border on every side.
  ExpectPixels(*S, {{0, 12, 0x808080}, {60, 12, 0xFFFFFF}, {1, 12, 0xFFFFFF}, {60, 1, 0xFFFFFF}, {118, 12, 0xFFFFFF},
                    {60, 22, 0xFFFFFF}});
  A->Free();
  F->Free();
}

// The skin's colours, a focus colour among them, in the control while skinned, its own ones afterwards.
TEST_F(Edits, SkinColoursInTheControlAndItsOwnColoursBack) {
  auto* E = NewEdit<TPublishingEdit>("abc");
  E->SetColor(clYellow);
  E->Font()->SetColor(clRed);
  E->FFocusColor = clLime;
  auto* A = Adapt(E->Handle(), E);
  EXPECT_EQ(clYellow, A->SavedColor);
  A->ApplySkinParams();
  EXPECT_EQ(static_cast<TColor>(0xFFFFFF), E->Color());  // the EDIT section's normal colour in the SOLID skin
  EXPECT_EQ(static_cast<TColor>(0xFFFFFF), E->FFocusColor);
  EXPECT_EQ(static_cast<TColor>(0x000000), E->Font()->Color());
  A->RestoreControlParams();
  EXPECT_EQ(clYellow, E->Color());
  EXPECT_EQ(clLime, E->FFocusColor);
  EXPECT_EQ(clRed, E->Font()->Color());
}

TEST_F(Edits, ADisabledSingleLineEditShowsItsCache) {
  TEdit* E = NewEdit("Grey");
  EXPECT_TRUE(Adapt(E->Handle(), E)->CacheWhenDisabled);
  E->SetEnabled(false);
  auto* A = static_cast<TvkEditWnd*>(Adapters.back());
  A->SkinData->CacheDirty = true;
  A->PaintFrameCache();
  TBitmap* Cache = A->SkinData->CacheBmp;
  ASSERT_EQ(120, Cache->Width());
  // Face and ring blended with the form's colour at 100 of 255; the text is grey under the same blend.
  const uint32_t Form_ = PixelOf(clBtnFace);
  auto Blend = [&](uint32_t C) { return DisabledBlend(C, Form_); };
  auto Px = [&](int X, int Y) { return static_cast<uint32_t*>(Cache->ScanLine(Y))[X] & 0xFFFFFF; };
  EXPECT_EQ(Blend(0xFFFFFF), Px(110, 12));
  EXPECT_EQ(Blend(0x808080), Px(0, 0));
  const uint32_t Grey = Blend(PixelOf(clGrayText));
  int GreyPixels = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 60; ++x) GreyPixels += Px(x, y) == Grey;
  EXPECT_GT(GreyPixels, 5);
  // A memo is painted by itself when disabled.
  auto* Memo = Place<TMemo>(Form, 10, 50, 120, 60);
  EXPECT_FALSE(Adapt(Memo->Handle(), Memo)->CacheWhenDisabled);
}

TEST_F(Edits, VisualStyleRule) {
  HWND H = Host(300, 200);
  struct Case {
    const char* Name;
    const char* Section;
    DWORD Major;
    bool ListViewData;
    bool Off;
  };
  const Case Cases[] = {
      {"edit on 6", "EDIT", 6, false, false},
      {"combo on 6", "COMBOBOX", 6, false, true},
      {"edit on 5", "EDIT", 5, false, true},
      {"dialog", "DIALOG", 5, false, false},
      {"list view data on 6", "EDIT", 6, true, false},
      {"list view data on 5", "EDIT", 5, true, true},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    FakeWindowsVersion(C.Major);
    ThemeRecorder Themes;
    HWND W = NewRecordingWindow(H, WS_VISIBLE | WS_BORDER, 0, 0, 60, 20);
    TsScrollWndData* Data = nullptr;
    if (C.ListViewData) {
      Data = new TsScrollWndData(nullptr, true);
      Data->CtrlType = ctListView;
    }
    auto* A = CreateAdapter<TvkEditWnd>(W, Data, M.get(), SkinParams(C.Section), true);
    EXPECT_EQ(C.Off ? 1 : 0, Themes.CountFor(W));
    A->Free();
    delete Data;
    DestroyWindow(W);
  }
}

TEST_F(Edits, LeftScrollBarWindowsSuspendTheirOwnRedraw) {
  HWND H = Host(300, 200);
  for (DWORD Ex : {DWORD{WS_EX_LEFTSCROLLBAR}, DWORD{0}}) {
    HWND W = NewWindow(RecordingClass(), H, WS_VISIBLE | WS_VSCROLL, 0, 0, 80, 60, "", Ex);
    Adapt(W);
    Recorded().clear();
    SendMessageA(W, SM_VKCMD, SkinCommandWParam(VKCMD_SUSPEND_REDRAW), 0);
    SendMessageA(W, SM_VKCMD, SkinCommandWParam(VKCMD_RESUME_REDRAW), 0);
    if (Ex) {
      ASSERT_EQ(2, CountRecorded(W, WM_SETREDRAW));
    } else {
      EXPECT_EQ(0, CountRecorded(W, WM_SETREDRAW));
      EXPECT_EQ(2, CountRecorded(W, SM_VKCMD));
    }
  }
}

// With skin data of its own, a control keeps its visual style only when it publishes the switch for it.
TEST_F(Edits, AControlWithItsOwnSkinDataKeepsItsVisualStyleByItsSwitch) {
  for (const bool Switch : {false, true}) {
    SCOPED_TRACE(Switch ? "with the switch" : "without");
    TEdit* E = Switch ? NewEdit<TPublishingEdit>() : NewEdit();
    ThemeRecorder Themes;
    auto* Data = new TsScrollWndData(E, true);
    auto* A = CreateAdapter<TvkEditWnd>(E->Handle(), Data, M.get(), SkinParams("EDIT", E), true);
    EXPECT_EQ(Switch ? 0 : 1, Themes.CountFor(E->Handle()));
    A->Free();
    delete Data;
    E->Free();
  }
}

}  // namespace
