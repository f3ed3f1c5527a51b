// Show and hide animations through the layered-window recorder: opacities per frame, the picture of each
// frame, the form's opacity afterwards, and the hide timer's end events. The form skinner and the dialog
// adapter are stand-ins behind the services table; the clock advances 13 ms a reading so no frame waits.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

#include "SkinTestOwners.h"
#include "framework/GraphicsGdi.h"
#include "skin/core/vkFormAnimation.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntTypes.h"
#include "skin/graphics/ToolkitStartup.h"
#include "tests/support/LayeredRecorder.h"

using namespace skin_owners;
using testing_support::LayeredRecorder;

// A form that names its stand-in skinner when asked (command 4).
class TStandInForm : public TForm {
  DECLARE_CLASS(TStandInForm, TForm)
public:
  explicit TStandInForm(TComponent* AOwner) : TForm(AOwner, 0) {}
  void* Skinner = nullptr;
  void Dispatch(TMessage& Message) override {
    if (Message.Msg == SM_VKCMD && SkinCommandCode(Message.WParam) == VKCMD_QUERY_FORM_SKINNER) {
      Message.Result = reinterpret_cast<LRESULT>(Skinner);
      return;
    }
    inherited::Dispatch(Message);
  }
};
IMPLEMENT_CLASS(TStandInForm)

namespace {

// One stand-in skinner (or dialog adapter): its form, its frame image and what it was told.
struct TStandIn {
  TStandInForm* Form = nullptr;
  TsScrollWndData* Data = nullptr;
  std::vector<int> Events;
  int PaintedFrames = 0;
};
TStandIn* g_Skinner = nullptr;
TStandIn* Of(void* P) { return static_cast<TStandIn*>(P); }

struct Animations : testing::Test {
  void SetUp() override {
    ResetPlatform();
    InitializeForms();
    ToolkitStartup();  // the layered-window entries
    Platform().GetTickCount = [] { return Clock += 13; };
    Platform().Sleep = [](DWORD) {};
    FormServices = TvkFormServices();
    FormServices.ProviderSkinData = [](TsSkinProvider* P) { return Of(P)->Data; };
    FormServices.ProviderForm = [](TsSkinProvider* P) -> TCustomForm* { return Of(P)->Form; };
    FormServices.PaintFormFrame = [](TsSkinProvider* P) { ++Of(P)->PaintedFrames; };
    FormServices.FireAfterAnimation = [](TsSkinProvider* P, int Event) { Of(P)->Events.push_back(Event); };
    Skinner = NewSkinner(40, 30, clRed);
    g_Skinner = &Skinner;
  }
  void TearDown() override {
    FormAnimationFinalize();
    for (TStandIn* S : {&Skinner, &Other}) {
      delete S->Data;
      if (S->Form != nullptr) S->Form->Free();
    }
    FormServices = TvkFormServices();
    ToolkitShutdown();
    ResetPlatform();
  }
  TStandIn NewSkinner(int W, int H, TColor Color) {
    TStandIn S;
    S.Form = Create<TStandInForm>(Application);
    S.Form->SetBorderStyle(bsNone);
    S.Form->SetBounds(20, 20, W, H);
    S.Form->SetColor(Color);
    S.Data = new TsScrollWndData(nullptr, true);
    S.Data->CacheBmp->SetSize(W, H);
    return S;
  }
  TsSkinProvider* Provider(TStandIn& S) { return reinterpret_cast<TsSkinProvider*>(&S); }
  // The layered window the animation used: the first updated one that is not the form.
  HWND AnimationWindow(const LayeredRecorder& Rec, HWND Form) {
    for (const auto& C : Rec.calls)
      if (C.wnd != Form && C.kind == testing_support::LayeredCall::Update) return C.wnd;
    return nullptr;
  }
  static inline DWORD Clock = 1000;
  TStandIn Skinner, Other;
  ManagerPtr m_;
};

TBitmap* Snapshot(int W, int H, uint32_t Pixel) {
  TBitmap* B = NewBitmap32(W, H);
  FillRect32(B, TRect{0, 0, W, H}, Pixel & 0xFFFFFF, static_cast<int>(Pixel >> 24));
  return B;
}

}  // namespace

TEST_F(Animations, AFadingShowOfAHundredMillisecondsRisesInEighthsAndHoldsFullOpacity) {
  LayeredRecorder Rec;
  AnimateFormShow(Provider(Skinner), 100, 255, atFading);
  HWND Form = Skinner.Form->Handle();
  HWND Anim = AnimationWindow(Rec, Form);
  ASSERT_NE(Anim, nullptr);
  // The snapshot once at 0, nine frames of 31.875 (k + 1) held at 255, the whole snapshot at full opacity.
  EXPECT_EQ(Rec.Alphas(Anim), (std::vector<int>{0, 32, 64, 96, 128, 159, 191, 223, 255, 255, 255}));
  const auto Last = Rec.For(Anim).back();
  EXPECT_EQ(Last.size.cx, 40);
  EXPECT_EQ(Last.Pixel(5, 5), 0xFFFE0000u);  // the form's red, opaque, premultiplied (255 * 255 >> 8)
  EXPECT_FALSE(IsWindow(Anim));              // the temporary window is gone
  EXPECT_TRUE(IsWindowVisible(Form));
  EXPECT_EQ(GetWindowLongA(Form, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_EQ(Skinner.Events, std::vector<int>{aeShowing});
  EXPECT_EQ(Skinner.PaintedFrames, 1);
  EXPECT_FALSE(InAnimationProcess);
}

TEST_F(Animations, AFormWithItsOwnOpacityEndsLayeredAtIt) {
  LayeredRecorder Rec;
  Skinner.Form->SetAlphaBlend(true);
  Skinner.Form->SetAlphaBlendValue(200);
  Rec.calls.clear();
  AnimateFormShow(Provider(Skinner), 48, 200, atFading);
  HWND Form = Skinner.Form->Handle();
  HWND Anim = AnimationWindow(Rec, Form);
  EXPECT_EQ(Rec.Alphas(Anim), (std::vector<int>{0, 50, 100, 150, 200, 200, 200}));
  EXPECT_NE(GetWindowLongA(Form, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  ASSERT_FALSE(Rec.For(Form).empty());
  EXPECT_EQ(Rec.For(Form).back().alpha, 200);
}

TEST_F(Animations, ADropDownShowUnrollsFromTheTopLeft) {
  LayeredRecorder Rec;
  AnimateFormShow(Provider(Skinner), 36, 255, atDropDown);
  const auto Calls = Rec.For(AnimationWindow(Rec, Skinner.Form->Handle()));
  ASSERT_EQ(Calls.size(), 6u);  // first snapshot, four frames, final snapshot
  auto Covered = [](const testing_support::LayeredCall& C) {
    int N = 0;
    for (uint32_t P : C.pixels) N += P != 0;
    return N;
  };
  EXPECT_EQ(Covered(Calls[1]), 0);              // nothing yet
  EXPECT_EQ(Covered(Calls[2]), 20 * 15);        // the top-left half of each side
  EXPECT_EQ(Calls[2].Pixel(19, 14), 0xFFFE0000u);
  EXPECT_EQ(Calls[2].Pixel(20, 0), 0u);
  EXPECT_EQ(Covered(Calls[3]), 30 * 22);        // three quarters (22.5 rounds to even)
  EXPECT_EQ(Covered(Calls[5]), 40 * 30);        // and at last the whole picture
}

// The zoom of the aero mode on a 64 x 32 picture: a thirty-second of each side is W/32 = 2 and H/32 = 1 pixels, so
// the picture fills (2, 1)-(62, 31) at the show's first frame and the hide's last, the whole frame otherwise.
namespace {
void ExpectInset(const testing_support::LayeredCall& C, uint32_t Face, bool Inset) {
  for (auto [X, Y] : {std::pair{1, 15}, {62, 15}, {30, 0}, {30, 31}}) EXPECT_EQ(C.Pixel(X, Y), Inset ? 0 : Face) << X << "," << Y;
  for (auto [X, Y] : {std::pair{2, 1}, {61, 30}}) EXPECT_EQ(C.Pixel(X, Y), Face) << X << "," << Y;
}
}  // namespace

TEST_F(Animations, TheAeroModeZoomsByAThirtySecondInAndOut) {
  Other = NewSkinner(64, 32, clRed);
  LayeredRecorder Rec;
  AnimateFormShow(Provider(Other), 48, 255, atAero);
  const auto Show = Rec.For(AnimationWindow(Rec, Other.Form->Handle()));
  ASSERT_EQ(Show.size(), 7u);  // the snapshot at 0, five frames, the snapshot at full opacity
  ExpectInset(Show[1], 0xFFFE0000u, true);
  ExpectInset(Show[5], 0xFFFE0000u, false);
  TvkGlowForm* Window = Create<TvkGlowForm>(nullptr);
  HWND Anim = Window->Handle();
  HideAnimation(Window, Snapshot(64, 32, 0xFF00FF00), 48, Skinner.Form->Handle(), atAero, 255);
  for (int i = 0; i < 10 && HideTimer()->Window != nullptr; ++i) HideTimer()->Tick();
  const auto Hide = Rec.For(Anim);
  ASSERT_EQ(Hide.size(), 6u);  // the snapshot, then steps 0 to 4
  EXPECT_EQ(Rec.Alphas(Anim), (std::vector<int>{255, 191, 128, 64, 0, 0}));
  ExpectInset(Hide[1], 0xFF00FE00u, false);
  ExpectInset(Hide[5], 0xFF00FE00u, true);
}

TEST_F(Animations, NoShowWithoutAFrameImageOrForAMinimisedForm) {
  LayeredRecorder Rec;
  Skinner.Data->CacheBmp->SetSize(0, 0);
  AnimateFormShow(Provider(Skinner), 100, 255, atFading);
  EXPECT_TRUE(Rec.calls.empty());
  EXPECT_FALSE(InAnimationProcess);
  EXPECT_TRUE(Skinner.Events.empty());
}

TEST_F(Animations, AShowStoppedByAnExceptionLeavesNoWindowPictureOrMarkBehind) {
  static int Updates = 0;
  const std::function<void()> Stops[] = {
      [] { FormServices.PaintFormFrame = [](TsSkinProvider*) { throw std::runtime_error("frame"); }; },
      [] {
        // the third frame fails to reach the screen
        Platform().UpdateLayeredWindow = [](HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD) {
          if (++Updates == 3) throw std::runtime_error("frame");
          return TRUE;
        };
      }};
  AnimateFormShow(Provider(Skinner), 0, 255, atFading);  // what a first show makes once is made
  for (const auto& Stop : Stops) {
    Updates = 0;
    Stop();
    const int Forms = Screen->FormCount();
    const TGdiObjectCounts Gdi = GdiObjectCounts();
    EXPECT_THROW(AnimateFormShow(Provider(Skinner), 100, 255, atFading), std::runtime_error);
    EXPECT_EQ(Screen->FormCount(), Forms) << "the temporary animation window went";
    EXPECT_EQ(GdiObjectCounts(), Gdi) << "the snapshot and the frame went";
    EXPECT_FALSE(InAnimationProcess);
    FormServices.PaintFormFrame = [](TsSkinProvider* P) { ++Of(P)->PaintedFrames; };
    ResetPlatform();
    ToolkitStartup();
  }
}

TEST_F(Animations, DialogShowsRiseInNinthsOverStepsPlusOne) {
  static TStandIn* Dialog = nullptr;
  Dialog = &Skinner;
  FormServices.DialogWindow = [](TvkDialogWnd*) { return Dialog->Form->Handle(); };
  FormServices.DialogSkinData = [](TvkDialogWnd*) -> TsCommonData* { return Dialog->Data; };
  static int Printed = 0;
  FormServices.PrintChildWindows = [](HWND, HDC) { ++Printed; };
  LayeredRecorder Rec;
  AnimateDialogShow(reinterpret_cast<TvkDialogWnd*>(&Skinner), 100, 255, atDropDown);
  HWND Anim = AnimationWindow(Rec, Skinner.Form->Handle());
  EXPECT_EQ(Rec.Alphas(Anim), (std::vector<int>{0, 28, 57, 85, 113, 142, 170, 198, 227, 255, 255}));
  EXPECT_EQ(Printed, 1);
  EXPECT_NE(GetWindowLongA(Skinner.Form->Handle(), GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_FALSE(IsWindow(Anim));
}

TEST_F(Animations, AHideFadesOutOnTheTimerFromItsOpacity) {
  LayeredRecorder Rec;
  TvkGlowForm* Window = Create<TvkGlowForm>(nullptr);
  HWND Anim = Window->Handle();
  HideAnimation(Window, Snapshot(20, 10, 0xFF00FF00), 120, Skinner.Form->Handle(), atFading, 255);
  TvkHideTimer* T = HideTimer();
  ASSERT_NE(T, nullptr);
  EXPECT_TRUE(T->Enabled());
  EXPECT_EQ(T->Interval(), 12u);
  for (int i = 0; i < 20 && T->Window != nullptr; ++i) T->Tick();
  EXPECT_EQ(Rec.Alphas(Anim), (std::vector<int>{255, 230, 204, 178, 153, 128, 102, 76, 51, 26, 0, 0}));
  EXPECT_EQ(T->Window, nullptr);
  EXPECT_FALSE(IsWindow(Anim));
  EXPECT_FALSE(T->Enabled());
}

TEST_F(Animations, ANewHideEndsTheRunningOneAndItsFormHearsFirst) {
  Other = NewSkinner(30, 20, clBlue);
  Skinner.Form->Skinner = &Skinner;
  Other.Form->Skinner = &Other;
  static std::vector<std::string> Heard;
  FormServices.FireAfterAnimation = [](TsSkinProvider* P, int Event) {
    Heard.push_back((Of(P) == g_Skinner ? "first " : "second ") + std::to_string(Event));
  };
  TvkGlowForm* First = Create<TvkGlowForm>(nullptr);
  HWND FirstWnd = First->Handle();
  HideAnimation(First, Snapshot(20, 10, 0xFF00FF00), 120, Skinner.Form->Handle(), atAero, 255);
  HideTimer()->Tick();
  TvkGlowForm* Second = Create<TvkGlowForm>(nullptr);
  HideAnimation(Second, Snapshot(20, 10, 0xFF0000FF), 120, Other.Form->Handle(), atFading, 255);
  EXPECT_FALSE(IsWindow(FirstWnd));
  EXPECT_EQ(Heard, std::vector<std::string>{"first 1"});
  EXPECT_EQ(HideTimer()->HideStepNo, 1);  // the new one from step 0, its first frame shown at once
  // Destroyed before its last step: the second form still hears it, once.
  FormAnimationFinalize();
  EXPECT_EQ(Heard, (std::vector<std::string>{"first 1", "second 1"}));
}

TEST_F(Animations, AHideWithoutTimeShowsNothingAndStopsARunningOne) {
  LayeredRecorder Rec;
  TvkGlowForm* Window = Create<TvkGlowForm>(nullptr);
  HWND Wnd = Window->Handle();
  HideAnimation(Window, Snapshot(20, 10, 0xFF00FF00), 11, Skinner.Form->Handle(), atFading, 255);
  EXPECT_TRUE(Rec.calls.empty());
  EXPECT_FALSE(IsWindow(Wnd));
  // cutting a running hide short: its window goes and the timer stops
  TvkGlowForm* Running = Create<TvkGlowForm>(nullptr);
  HWND RunningWnd = Running->Handle();
  HideAnimation(Running, Snapshot(20, 10, 0xFF00FF00), 120, Skinner.Form->Handle(), atFading, 255);
  ASSERT_TRUE(HideTimer()->Enabled());
  HideAnimation(Create<TvkGlowForm>(nullptr), Snapshot(20, 10, 0xFF00FF00), 0, Skinner.Form->Handle(), atFading, 255);
  EXPECT_FALSE(IsWindow(RunningWnd));
  EXPECT_EQ(HideTimer()->Window, nullptr);
  EXPECT_FALSE(HideTimer()->Enabled());
}

TEST_F(Animations, TheFormHideCutsTransparentCornersAndRestoresTheFormsOpacity) {
  m_ = SolidManager();
  m_->AnimEffects()->FormHide()->SetTime(24);
  Skinner.Data->SetSkinManager(m_.get());
  FillRect32(Skinner.Data->CacheBmp, TRect{0, 0, 40, 30}, 0x123456, 255);
  FormServices.ProviderTransparentRects = [](TsSkinProvider*) { return std::vector<TRect>{TRect{0, 0, 3, 3}}; };
  FormServices.CreateSnapshotForm = [](HWND) { return Create<TvkGlowForm>(nullptr); };
  Skinner.Form->Show();
  LayeredRecorder Rec;
  AnimateFormHide(Provider(Skinner));
  HWND Form = Skinner.Form->Handle();
  HWND Anim = AnimationWindow(Rec, Form);
  ASSERT_NE(Anim, nullptr);
  const auto First = Rec.For(Anim).front();
  EXPECT_EQ(First.Pixel(1, 1), 0u);             // a transparent corner
  ASSERT_EQ(GetPixel32(Skinner.Data->CacheBmp, 10, 10), 0xFF563412u);
  EXPECT_EQ(First.Pixel(10, 10), 0xFF553311u);  // the frame image, premultiplied
  // The form went to opacity 1 for the animation and is then unlayered and hidden, not flashed.
  const auto FormCalls = Rec.For(Form);
  ASSERT_FALSE(FormCalls.empty());
  EXPECT_EQ(FormCalls.front().alpha, 1);
  EXPECT_EQ(GetWindowLongA(Form, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_FALSE(IsWindowVisible(Form));
  EXPECT_EQ(Skinner.PaintedFrames, 1);
  EXPECT_FALSE(InAnimationProcess);
}

TEST_F(Animations, HidingTheMainFormThroughTheApplicationWindowPlaysItsHide) {
  m_ = SolidManager();  // the default manager: it hooks the application window
  m_->AnimEffects()->FormHide()->SetTime(24);
  TStandInForm* Main = nullptr;
  Application->CreateForm(Main);
  ASSERT_EQ(Application->MainForm(), Main);
  static TStandIn MainSkinner;
  MainSkinner = TStandIn{};
  MainSkinner.Form = Main;
  MainSkinner.Data = Skinner.Data;
  Main->Skinner = &MainSkinner;
  Skinner.Data->SetSkinManager(m_.get());
  static uint32_t Flags = 0;
  FormServices.ProviderStateFlags = [](TsSkinProvider*) { return Flags; };
  FormServices.SetFormStateFlags = [](TsSkinProvider*, uint32_t F) { Flags = F; };
  FormServices.CreateSnapshotForm = [](HWND) { return Create<TvkGlowForm>(nullptr); };
  Main->Show();
  WINDOWPOS Pos{};
  Pos.flags = SWP_HIDEWINDOW;
  SendMessageA(Application->Handle(), WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&Pos));
  EXPECT_EQ(Flags & 0x200, 0x200u);  // the frame is not painted again before the snapshot
  ASSERT_NE(HideTimer(), nullptr);
  EXPECT_NE(HideTimer()->Window, nullptr);
  EXPECT_EQ(MainSkinner.PaintedFrames, 0);
  MainSkinner.Data = nullptr;
}
