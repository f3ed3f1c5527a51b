// The alpha hint windows with a hint manager made here: where a hint goes, its size, its picture (a template's
// frame or the skin's hint section, and the text), the show animation step by step, and the hide timers.
#include <gtest/gtest.h>

#include <algorithm>

#include "ControlsTestSupport.h"
#include "skin/controls/vkAlphaHintWindows.h"
#include "skin/controls/vkAlphaHints.h"
#include "skin/controls/vkAlphaHintsPaint.h"
#include "skin/controls/vkHintShowTimer.h"
#include "framework/StdCtrls.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkntTypes.h"
#include "skin/graphics/ToolkitStartup.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkSkinText.h"
#include "skin/core/sVclUtils.h"
#include "tests/support/LayeredRecorder.h"

using namespace controls_test;

namespace {

// The manager the hint windows read while the object lives.
struct ManagedHints {
  Owned<TvkHintManager> M{new TvkHintManager(nullptr)};
  int SavedPause = 0;
  ManagedHints() {
    InitializeForms();
    AlphaHintsInitialize();
    SavedPause = Application->HintPause();
    M->Animated = false;
    HintManager = M.get();
  }
  ~ManagedHints() {
    HintManager = nullptr;
    Application->SetHintPause(SavedPause);
  }
};

// The last layered picture a window was given; one of no window when it had none.
testing_support::LayeredCall Last(const testing_support::LayeredRecorder& R, HWND W) {
  testing_support::LayeredCall Found;
  for (const testing_support::LayeredCall& C : R.For(W))
    if (C.kind == testing_support::LayeredCall::Update) Found = C;
  return Found;
}

template <class W> Owned<W> NewHint() { return Owned<W>(Create<W>(nullptr)); }

// Shows Text with its point at P (no control holds the hint).
RECT Show(TvkCustomHintWindow* H, const std::string& Text, POINT P) {
  RECT R = H->CalcHintRect(800, Text, nullptr);
  OffsetRect(&R, P.x, P.y);
  H->ActivateHint(R, Text);
  return R;
}

TSize TextSize(TFont* Font, const std::string& Text, int Room) {
  Owned<TBitmap> B(NewBitmap32(1, 1));
  B->Canvas()->Font()->Assign(Font);
  RECT R{0, 0, Room, 0};
  TCanvasTextScope S(B->Canvas());
  DrawTextA(S.DC(), Text.c_str(), -1, &R, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  return TSize(R.right, R.bottom);
}

bool Inside(const TRect& R, int X, int Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }

// Every test's hint manager, layered-window recorder and hint window.
class AlphaHintWindows : public testing::Test {
protected:
  ManagedHints Hints;
  testing_support::LayeredRecorder Layered;
  Owned<TvkPngHintWindow> Hint = NewHint<TvkPngHintWindow>();
};

}  // namespace

TEST_F(AlphaHintWindows, PlacementByWhereTheHintFits) {
  Owned<TvkHintTemplate> Vert(new TvkHintTemplate());
  Vert->Assign(DefaultHintTemplate);
  Vert->SetHintAlign(haVertCenter);
  Owned<TvkHintTemplate> Shifted(new TvkHintTemplate());
  Shifted->Assign(DefaultHintTemplate);
  Shifted->ImageDefault()->SetOffsetHorz(3);
  Shifted->ImageDefault()->SetOffsetVert(-2);
  const TRect Area(0, 0, 800, 600);
  struct Case {
    const char* Name;
    TvkHintTemplate* T;
    TRect Control;
    int W;
    bool Lift, Images;
    int Placement;
    TRect Expected;
  };
  TvkHintTemplate* D = DefaultHintTemplate;  // borders: left 11, top 10, right 14, bottom 15
  const Case Cases[] = {
      {"below right", D, TRect(100, 100, 140, 120), 100, true, true, 0, TRect(109, 120, 209, 160)},
      {"left at the right edge", D, TRect(760, 100, 800, 120), 100, true, true, 2, TRect(694, 120, 794, 160)},
      {"above at the bottom, lifted", D, TRect(100, 570, 140, 590), 100, true, true, 1, TRect(109, 514, 209, 554)},
      {"above, not lifted", D, TRect(100, 570, 140, 590), 100, false, true, 1, TRect(109, 530, 209, 570)},
      {"above left in the corner", D, TRect(760, 570, 800, 590), 100, true, true, 3, TRect(694, 514, 794, 554)},
      {"no tip without images", D, TRect(100, 100, 140, 120), 100, true, false, 0, TRect(120, 120, 220, 160)},
      {"beside the control", Vert.get(), TRect(100, 100, 140, 120), 100, true, true, 0, TRect(140, 100, 240, 140)},
      {"the image's offsets", Shifted.get(), TRect(100, 100, 140, 120), 100, true, true, 0, TRect(112, 118, 212, 158)},
      {"wider than the area stays on it", D, TRect(100, 100, 140, 120), 900, true, true, 2, TRect(0, 120, 900, 160)},
  };
  for (const Case& C : Cases) {
    int Placement = -1;
    const TRect R = PlaceHint(C.Control, C.W, 40, C.T, Area, C.Lift, C.Images, Placement);
    EXPECT_EQ(Placement, C.Placement) << C.Name;
    EXPECT_EQ(R, C.Expected) << C.Name;
  }
}

TEST_F(AlphaHintWindows, WithoutAManagerTheFrameworksHintWindow) {
  HintManager = nullptr;
  Owned<THintWindow> Plain(Create<THintWindow>(nullptr));
  const RECT Mine = Hint->CalcHintRect(800, "A hint", nullptr);
  const RECT Theirs = Plain->CalcHintRect(800, "A hint", nullptr);
  EXPECT_TRUE(EqualRect(&Mine, &Theirs));
  Show(Hint.get(), "A hint", POINT{100, 100});
  Plain->ActivateHint(RECT{100, 150, 100 + Theirs.right, 150 + Theirs.bottom}, "A hint");
  EXPECT_EQ(GetWindowLongA(Hint->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_EQ(GetWindowLongA(Hint->Handle(), GWL_STYLE), GetWindowLongA(Plain->Handle(), GWL_STYLE));
  EXPECT_EQ(Hint->HintBitmap(), nullptr);
  // and it paints as the framework's does
  Dib32 Mine32(Theirs.right, Theirs.bottom, 0x123456, true), Theirs32(Theirs.right, Theirs.bottom, 0x123456, true);
  Hint->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Mine32.DC()), 0);
  Plain->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Theirs32.DC()), 0);
  EXPECT_GT(CountRgb(Theirs32, 0x123456), 0);
  EXPECT_LT(CountRgb(Theirs32, 0x123456), Theirs.right * Theirs.bottom);
  EXPECT_EQ(Pixels(Mine32), Pixels(Theirs32));
  Hint->ReleaseHandle();
  Plain->ReleaseHandle();
}

TEST_F(AlphaHintWindows, TemplateHintIsItsFrameWithTheTextInsideTheClientMargins) {
  const std::string Text = "Write the firmware";
  const TSize Size = TextSize(DefaultHintTemplate->Font(), Text, 800 - 27);
  // The window holds the frame's borders and the client margins, whichever is wider (left 11, top 10, right 16,
  // bottom 15).
  const RECT Calc = Hint->CalcHintRect(800, Text, nullptr);
  EXPECT_EQ(Calc.right, Size.cx + 27);
  EXPECT_EQ(Calc.bottom, Size.cy + 25);
  int Hidden = 0;
  Hints.M->OnHideHint = [&](TObject*) { ++Hidden; };
  Show(Hint.get(), Text, POINT{200, 200});
  const HWND Wnd = Hint->Handle();
  EXPECT_EQ(GetWindowLongA(Wnd, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_NOACTIVATE), WS_EX_LAYERED | WS_EX_NOACTIVATE);
  EXPECT_TRUE(IsWindowVisible(Wnd));
  EXPECT_EQ(Hint->Placement(), 0);
  EXPECT_EQ(Hint->TargetRect(), TRect(189, 200, 189 + Calc.right, 200 + Calc.bottom));
  const auto Put = Last(Layered, Wnd);
  ASSERT_EQ(Put.wnd, Wnd);
  EXPECT_EQ(Put.alpha, 255);
  EXPECT_EQ(Put.pos.x, 189);
  EXPECT_EQ(Put.pos.y, 200);
  EXPECT_EQ(Hints.M->PrevHintRect, Hint->TargetRect());

  // The frame alone, and where the text goes: the hint differs from the frame only inside, and there opaquely.
  TBitmap* Bmp = Hint->HintBitmap();
  Owned<TBitmap> Frame(NewBitmap32(Bmp->Width(), Bmp->Height()));
  for (int y = 0; y < Frame->Height(); ++y) std::fill_n(static_cast<uint32_t*>(Frame->ScanLine(y)), Frame->Width(), 0u);
  PaintHintImageFrame(Frame.get(), DefaultHintTemplate->ImageDefault());
  const TRect Client = HintTextRect(Bmp->Width(), Bmp->Height(), DefaultHintTemplate->ImageDefault());
  int Ink = 0, Stray = 0;
  for (int y = 0; y < Bmp->Height(); ++y)
    for (int x = 0; x < Bmp->Width(); ++x) {
      const uint32_t P = GetPixel32(Bmp, x, y), F = GetPixel32(Frame.get(), x, y);
      if (P == F) continue;
      if (Inside(Client, x, y) && P >> 24 == 0xFF)
        ++Ink;
      else
        ++Stray;
    }
  EXPECT_GT(Ink, 20);
  EXPECT_EQ(Stray, 0);

  Hint->HideHint();
  EXPECT_FALSE(IsWindowVisible(Wnd));
  EXPECT_EQ(Hidden, 1);
  ASSERT_NE(Hints.M->StateTimer(), nullptr);
  EXPECT_TRUE(Hints.M->StateTimer()->Enabled());
  EXPECT_EQ(Hints.M->StateTimer()->Interval(), static_cast<unsigned>(Application->HintHidePause() + 300));
  Hints.M->StateTimerTick();
  EXPECT_EQ(Hints.M->PrevHintRect, TRect());
}

TEST_F(AlphaHintWindows, SkinnedHintTakesTheSectionItsOutlineAndColours) {
  auto Skin = SkinnedManager();
  const int Section = Skin->FindSectionIndex("HINT");
  ASSERT_GE(Section, 0);
  RECT Area{};
  GetWorkAreaAtPoint(POINT{200, 200}, Area);
  Show(Hint.get(), "Skinned", POINT{200, Area.bottom - 10});  // no room below: above, not lifted (no template)
  EXPECT_EQ(Hint->Placement(), 1);
  EXPECT_EQ(Hint->TargetRect().Bottom, Area.bottom - 10);
  TBitmap* Bmp = Hint->HintBitmap();
  EXPECT_EQ(GetPixel32(Bmp, 0, 0), 0xFFFFFFC0u);  // the section's colour, opaque
  const uint32_t TextRgb = Px(static_cast<TColor>(Skin->gd()[Section].Props[0].FontColor));
  const std::vector<uint32_t> Face = Pixels(Bmp);
  EXPECT_GT(std::count(Face.begin(), Face.end(), TextRgb), 5);
  HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(Hint->Handle(), Rgn), ERROR);
  DeleteObject(Rgn);
  // The section's transparency sets the opacity the show ends at.
  for (const auto& [Transparency, Alpha] : {std::pair{0, 255}, {40, 153}, {100, 255}}) {
    Skin->EditModel().gd[Section].Props[0].Transparency = Transparency;
    EXPECT_EQ(HintTargetAlpha(), Alpha) << Transparency;
  }
  Hint->ReleaseHandle();
}

TEST_F(AlphaHintWindows, ShowAnimationSlidesFromThePreviousHintAndFadesIt) {
  TvkPngHintWindow* First = Hint.get();
  Show(First, "First", POINT{100, 300});
  const TRect From = First->TargetRect();
  Hints.M->Animated = true;
  const int Pause = Application->HintPause();
  auto Second = NewHint<TvkPngHintWindow>();
  Show(Second.get(), "Second", POINT{400, 100});
  const TRect To = Second->TargetRect();
  TsShowTimer* T = Second->ShowTimer();
  ASSERT_NE(T, nullptr);
  ASSERT_TRUE(T->Enabled());
  EXPECT_EQ(T->Interval(), 12u);
  EXPECT_EQ(Application->HintPause(), 100);
  ASSERT_NE(T->Carrier(), nullptr);
  const HWND Carrier = T->Carrier()->Handle();
  const LONG Ex = GetWindowLongA(Carrier, GWL_EXSTYLE);
  const LONG Wanted = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  EXPECT_EQ(Ex & Wanted, Wanted);
  EXPECT_NE(GetClassLongPtrA(Carrier, GCL_STYLE) & CS_DROPSHADOW, 0u);  // no skin draws the shadows of windows
  double Left = To.Left - From.Left, Up = To.Top - From.Top;  // what remains of the way
  for (int Step = 1; Step < TsShowTimer::kSteps; ++Step) {
    T->Tick();
    Left -= Left / 5;
    Up -= Up / 5;
    const auto C = Last(Layered, Carrier);
    ASSERT_EQ(C.wnd, Carrier);
    EXPECT_NEAR(C.pos.x, To.Left - Left, 1) << Step;
    EXPECT_NEAR(C.pos.y, To.Top - Up, 1) << Step;
    EXPECT_NEAR(C.alpha, Step * 255 / 20.0, 1) << Step;
    EXPECT_NEAR(Last(Layered, First->Handle()).alpha, 255 - Step * 255 / 20.0, 1) << Step;
  }
  T->Tick();
  EXPECT_FALSE(T->Enabled());
  EXPECT_EQ(T->Carrier(), nullptr);
  const auto End = Last(Layered, Second->Handle());
  ASSERT_EQ(End.wnd, Second->Handle());
  EXPECT_EQ(End.alpha, 255);
  EXPECT_EQ(End.pos.x, To.Left);
  EXPECT_EQ(End.pos.y, To.Top);
  EXPECT_FALSE(IsWindowVisible(First->Handle()));
  EXPECT_TRUE(IsWindowVisible(Second->Handle()));
  Hints.M->ClearHintState();
  EXPECT_EQ(Application->HintPause(), Pause);
  // A skin drawing the shadows of windows itself keeps the system's off the carrier.
  ToolkitStartup();  // the extended borders need the system's layered windows
  auto Skin = SkinnedManager();
  Skin->SetExtendedBorders(true);
  EXPECT_NE(Skin->ExtBorderBitmap(true), nullptr);
  Show(Second.get(), "Again", POINT{400, 100});
  EXPECT_TRUE(T->Carrier() != nullptr &&
              (GetClassLongPtrA(T->Carrier()->Handle(), GCL_STYLE) & CS_DROPSHADOW) == 0);
  Skin.reset();
  ToolkitShutdown();
}

TEST_F(AlphaHintWindows, HideTimerWithADelayOrWhenThePointerLeavesTheControl) {
  ASSERT_EQ(MouseControl(), nullptr) << "no mouse message reached this program's windows";
  struct Case {
    int Delay;
    bool Hides;
  };
  for (const Case& C : {Case{500, true}, Case{0, false}}) {
    Hints.M->HideDelay = C.Delay;
    Show(Hint.get(), "Hint", POINT{100, 100});
    ASSERT_NE(Hint->HideTimer(), nullptr);
    EXPECT_EQ(Hint->HideTimer()->Interval(), static_cast<unsigned>(C.Delay > 0 ? C.Delay : 300));
    Hint->HideTimerTick();  // without a control the hint belongs to nothing the pointer could leave
    EXPECT_EQ(IsWindowVisible(Hint->Handle()), !C.Hides) << C.Delay;
  }
  // Held by a control the pointer is not over: it goes at the next look.
  Owned<TForm> Form = NewForm();
  TButton* Button = PlaceOn<TButton>(Form.get(), 50, 20);
  Button->SetHint("Its hint");
  Button->SetShowHint(true);
  Application->HintMouseControlChanged(Button);
  ASSERT_EQ(Application->HintControl(), Button);
  Show(Hint.get(), "Its hint", POINT{100, 100});
  Hint->HideTimerTick();
  EXPECT_FALSE(IsWindowVisible(Hint->Handle()));
  Application->CancelHint();
}

TEST_F(AlphaHintWindows, AnswersTheLibrarysQueries) {
  Hint->HandleNeeded();
  EXPECT_EQ(SendMessageA(Hint->Handle(), SM_VKCMD, MAKEWPARAM(0, VKCMD_QUERY_SKINNED), 0), 1);
  TvkParentBgQuery Q{};
  SendMessageA(Hint->Handle(), SM_VKCMD, MAKEWPARAM(0, VKCMD_QUERY_PARENT_BG), reinterpret_cast<LPARAM>(&Q));
  EXPECT_EQ(Q.Kind, bgkColor);
  Show(Hint.get(), "Hint", POINT{100, 100});
  Q = TvkParentBgQuery{};
  SendMessageA(Hint->Handle(), SM_VKCMD, MAKEWPARAM(0, VKCMD_QUERY_PARENT_BG), reinterpret_cast<LPARAM>(&Q));
  EXPECT_EQ(Q.Kind, bgkBitmap);
  EXPECT_EQ(Q.Bmp, Hint->HintBitmap());
  // A drawing handler takes the text over.
  int Offered = 0;
  Hints.M->OnDrawHint = [&](TObject*, TCanvas*, const TRect& R, const std::string& Text, bool& Handled) {
    ++Offered;
    EXPECT_EQ(Text, "Other");
    EXPECT_EQ(R, HintTextRect(Hint->HintBitmap()->Width(), Hint->HintBitmap()->Height(),
                              DefaultHintTemplate->ImageDefault()));
    Handled = true;
  };
  Show(Hint.get(), "Other", POINT{100, 100});
  EXPECT_EQ(Offered, 1);
  Hint->ReleaseHandle();
}
