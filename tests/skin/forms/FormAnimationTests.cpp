// Taskbar pictures through recorded DWM entries, the minimise flight stepped by hand toward a fake taskbar, the
// button search on an in-process tool bar, and the move fade with its move loop replaced.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "FormTestSupport.h"
#include "framework/ExtCtrls.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/vkFormAnimations.h"
#include "skin/forms/vkFormTimers.h"
#include "skin/forms/vkProviderEffects.h"
#include "tests/support/LayeredRecorder.h"
#include "tests/support/WindowProbe.h"

using namespace form_test;
using testing_support::LayeredRecorder;

namespace {

struct TDwmCall {
  SIZE Size{};
  bool HasOrigin = false;
  DWORD Flags = 0;
  int CentreAlpha = -1;  // of the picture handed over
};
std::vector<TDwmCall> g_Dwm;

SIZE BitmapSize(HBITMAP B) {
  BITMAP Info{};
  GetObjectA(B, sizeof Info, &Info);
  return SIZE{Info.bmWidth, Info.bmHeight};
}
int CentreAlpha(HBITMAP B) {
  DIBSECTION D{};
  if (GetObjectA(B, sizeof D, &D) != sizeof D || D.dsBm.bmBits == nullptr || D.dsBm.bmBitsPixel != 32) return -1;
  GdiFlush();
  const auto* Row = static_cast<const uint8_t*>(D.dsBm.bmBits) + static_cast<size_t>(D.dsBm.bmHeight / 2) * D.dsBm.bmWidthBytes;
  return Row[(D.dsBm.bmWidth / 2) * 4 + 3];
}
HRESULT WINAPI FakeThumbnail(HWND, HBITMAP B, DWORD Flags) {
  g_Dwm.push_back({BitmapSize(B), false, Flags, CentreAlpha(B)});
  return S_OK;
}
HRESULT WINAPI FakeLivePreview(HWND, HBITMAP B, POINT* Origin, DWORD Flags) {
  g_Dwm.push_back({BitmapSize(B), Origin != nullptr && Origin->x == 0 && Origin->y == 0, Flags});
  return S_OK;
}

// Version seam: Major.Minor.
void SetVersion(DWORD Major, DWORD Minor) {
  Platform().GetVersionExA = [Major, Minor](OSVERSIONINFOA* I) {
    I->dwMajorVersion = Major;
    I->dwMinorVersion = Minor;
    return TRUE;
  };
}

struct TAnim {
  ManagerPtr M = CarriedManager();
  Owned<TForm> F;
  TsSkinProvider* P;
  std::vector<DWORD> Sleeps;
  explicit TAnim(int W = 300, int H = 200) : F(NewForm(W, H)) {
    F->SetBounds(200, 150, W, H);
    P = Create<TsSkinProvider>(F.get());
    F->Show();
    RepaintFrame(P);
    Platform().Sleep = [this](DWORD Ms) { Sleeps.push_back(Ms); };
  }
  ~TAnim() {
    g_Dwm.clear();
    ResetPlatform();
  }
  HWND Wnd() { return F->Handle(); }
};

// A taskbar found through the seam, along the bottom of the screen unless placed elsewhere.
struct TFakeTaskbar {
  Owned<TForm> Bar;
  explicit TFakeTaskbar(TRect At = TRect(0, GetSystemMetrics(SM_CYSCREEN) - 30, GetSystemMetrics(SM_CXSCREEN),
                                         GetSystemMetrics(SM_CYSCREEN)))
      : Bar(NewForm(At.Width(), At.Height(), bsNone)) {
    Bar->SetBounds(At.Left, At.Top, At.Width(), At.Height());
    const HWND W = Bar->Handle();
    FormEffectSeams().FindTaskbarWindow = [W] { return W; };
  }
};

}  // namespace

TEST(TaskbarPictures, ThumbnailFitsAndLivePreviewShowsTheFrame) {
  struct Row {
    int W, H, MaxW, MaxH, WantW, WantH;
  };
  for (const Row& R : {Row{400, 400, 200, 100, 100, 100}, Row{400, 200, 100, 100, 100, 50}, Row{300, 100, 90, 90, 90, 30},
                       Row{400, 400, 0, 100, 0, 0}}) {
    const SIZE S = FitThumbnail(R.W, R.H, R.MaxW, R.MaxH);
    EXPECT_EQ(TSize(S.cx, S.cy), TSize(R.WantW, R.WantH)) << R.W << "x" << R.H;
  }

  TAnim T(400, 400);
  SetVersion(6, 1);
  DwmSetIconicThumbnailEntry().Replace(FakeThumbnail);
  DwmSetIconicLivePreviewBitmapEntry().Replace(FakeLivePreview);
  ASSERT_EQ(T.P->FrameCache()->Width(), 400);
  EXPECT_TRUE(SetIconicThumbnailFromForm(T.Wnd(), T.P, 200, 100));
  ASSERT_EQ(g_Dwm.size(), 2u);  // the cache's picture, then the whole form's
  for (const TDwmCall& C : g_Dwm) EXPECT_EQ(TSize(C.Size.cx, C.Size.cy), TSize(100, 100));
  // the whole form's picture is opaque, and stays so when made smaller
  EXPECT_EQ(g_Dwm[1].CentreAlpha, 255);
  EXPECT_EQ(T.P->FormStateFlags() & fsfTaskbarSnapshot, 0u);
  g_Dwm.clear();
  // through the message: the maxima come as width in the high word, height in the low
  T.F->Perform(WM_DWMSENDICONICLIVEPREVIEWBITMAP, 0, 0);
  ASSERT_EQ(g_Dwm.size(), 1u);
  EXPECT_EQ(g_Dwm[0].Size.cx, 400);
  EXPECT_TRUE(g_Dwm[0].HasOrigin);
  EXPECT_EQ(g_Dwm[0].Flags, 1u);

  // before version 6 and without the entry nothing is handed over
  g_Dwm.clear();
  SetVersion(5, 1);
  EXPECT_FALSE(SetIconicThumbnailFromForm(T.Wnd(), T.P, 200, 100));
  SetVersion(6, 1);
  DwmSetIconicThumbnailEntry().Replace(nullptr);
  EXPECT_FALSE(SetIconicThumbnailFromForm(T.Wnd(), T.P, 200, 100));
  EXPECT_TRUE(g_Dwm.empty());
}

TEST(MinimiseFlight, NotAnimatedOnVersionSixWithoutComposition) {
  TAnim T;
  SetVersion(6, 1);
  EXPECT_FALSE(AnimateMinimizing(T.P));
  EXPECT_EQ(TvkProviderEffects::AnimTimer(T.P), nullptr);
  EXPECT_EQ(T.P->FormStateFlags() & fsfMinimizing, 0u);
}

TEST(MinimiseFlight, TenStepsTowardTheBottomTaskbarAndBack) {
  TAnim T;
  TFakeTaskbar Bar;
  LayeredRecorder Rec;
  SetVersion(5, 1);
  T.M->AnimEffects()->Minimizing()->SetTime(120);
  ASSERT_TRUE(AnimateMinimizing(T.P));
  auto* Timer = dynamic_cast<TvkMinTimer*>(TvkProviderEffects::AnimTimer(T.P));
  ASSERT_NE(Timer, nullptr);
  EXPECT_EQ(Timer->StepCount, 10);
  EXPECT_EQ(T.Sleeps, std::vector<DWORD>{48});
  // no button on this taskbar: its top edge below the form's centre
  const RECT W = WindowRectOf(T.Wnd());
  EXPECT_EQ(Timer->Side, 8);
  EXPECT_EQ(Timer->TargetRect, TRect((W.left + W.right) / 2, GetSystemMetrics(SM_CYSCREEN) - 30,
                                     (W.left + W.right) / 2, GetSystemMetrics(SM_CYSCREEN) - 30));
  int Steps = 1;  // the first ran at once
  double LastBottom = Timer->CurBottom;
  while (Timer->Enabled() && Steps < 50) {
    Timer->DoStep();
    ++Steps;
    EXPECT_GT(Timer->CurBottom, LastBottom);
    LastBottom = Timer->CurBottom;
  }
  EXPECT_LE(Steps, 10);
  EXPECT_EQ(T.P->FormStateFlags() & fsfMinimizing, 0u);
  EXPECT_TRUE(Timer->Restoring);
  ASSERT_NE(Timer->AnimWindow, nullptr);
  const auto Frames = Rec.Alphas(Timer->AnimWindow->Handle());
  ASSERT_GE(Frames.size(), 3u);
  for (size_t i = 2; i < Frames.size(); ++i) EXPECT_LE(Frames[i], Frames[i - 1]);

  // back from the taskbar: the form comes back unlayered in its place
  EXPECT_TRUE(AnimateRestoring(T.P));
  EXPECT_NE(T.P->FormStateFlags() & fsfRestoring, 0u);
  EXPECT_TRUE(Timer->Enabled());
  for (int i = 0; i < 50 && Timer->Enabled(); ++i) Timer->DoStep();
  EXPECT_FALSE(Timer->Enabled());
  EXPECT_EQ(T.P->FormStateFlags() & fsfRestoring, 0u);
  EXPECT_EQ(GetWindowLongA(T.Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_EQ(Timer->AnimWindow, nullptr);
  EXPECT_NEAR(Timer->CurLeft, W.left, 1.0);
  EXPECT_NEAR(Timer->CurBottom, W.bottom, 1.0);
}

TEST(MinimiseFlight, TaskbarEdgesAndTheButtonOnAnInProcessToolBar) {
  TAnim T;
  SetVersion(5, 1);
  const int SW = GetSystemMetrics(SM_CXSCREEN), SH = GetSystemMetrics(SM_CYSCREEN);
  struct Row {
    TRect Bar;
    int Side;
  };
  for (const Row& R : {Row{TRect(0, SH - 30, SW, SH), 8}, Row{TRect(0, 0, SW, 30), 2}, Row{TRect(0, 0, 40, SH), 1},
                       Row{TRect(SW - 40, 0, SW, SH), 4}}) {
    TFakeTaskbar Bar(R.Bar);
    TvkMinTimer Timer(nullptr, T.P);
    EXPECT_EQ(Timer.Side, R.Side) << R.Bar.Left << "," << R.Bar.Top;
    const TPoint C = Timer.StartCentre;
    const TPoint Want = R.Side == 8 ? TPoint(C.X, R.Bar.Top) : R.Side == 2 ? TPoint(C.X, R.Bar.Bottom)
                        : R.Side == 1 ? TPoint(R.Bar.Right, C.Y) : TPoint(R.Bar.Left, C.Y);
    EXPECT_EQ(Timer.TargetCentre, Want);
  }

  // the shell's chain rebuilt in this process: the button whose data names the application window is found
  INITCOMMONCONTROLSEX Icc{sizeof Icc, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
  InitCommonControlsEx(&Icc);
  WNDCLASSA Cls{};
  Cls.lpfnWndProc = DefWindowProcA;
  Cls.hInstance = GetModuleHandleA(nullptr);
  Cls.lpszClassName = "MSTaskSwWClass";
  RegisterClassA(&Cls);
  Owned<TForm> Tray(NewForm(SW, 40, bsNone));
  Tray->SetBounds(0, SH - 40, SW, 40);
  const HWND TrayW = Tray->Handle();
  const HWND Rebar = CreateWindowExA(0, "ReBarWindow32", "", WS_CHILD | WS_VISIBLE, 0, 0, SW, 40, TrayW, nullptr, nullptr, nullptr);
  const HWND Task = CreateWindowExA(0, "MSTaskSwWClass", "", WS_CHILD | WS_VISIBLE, 50, 2, 600, 36, Rebar, nullptr, nullptr, nullptr);
  const HWND Tool = CreateWindowExA(0, "ToolbarWindow32", "", WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NODIVIDER, 10, 0,
                                    580, 36, Task, nullptr, nullptr, nullptr);
  ASSERT_NE(Tool, nullptr);
  SendMessageA(Tool, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  const HWND App = Application->Handle();
  ASSERT_NE(App, nullptr);
  static DWORD Other = 0x1234, Ours = 0;
  Ours = static_cast<DWORD>(reinterpret_cast<uintptr_t>(App));
  TBBUTTON Buttons[3]{};
  for (int i = 0; i < 3; ++i) {
    Buttons[i].iBitmap = I_IMAGENONE;
    Buttons[i].idCommand = 100 + i;
    Buttons[i].fsState = TBSTATE_ENABLED;
    Buttons[i].fsStyle = BTNS_BUTTON;
  }
  Buttons[0].dwData = reinterpret_cast<DWORD_PTR>(&Other);
  Buttons[1].dwData = reinterpret_cast<DWORD_PTR>(&Ours);
  Buttons[1].fsState |= TBSTATE_HIDDEN;  // a hidden one is passed over
  Buttons[2].dwData = reinterpret_cast<DWORD_PTR>(&Ours);
  SendMessageA(Tool, TB_ADDBUTTONSA, 3, reinterpret_cast<LPARAM>(Buttons));
  FormEffectSeams().FindTaskbarWindow = [TrayW] { return TrayW; };
  RECT Item{};
  SendMessageA(Tool, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&Item));
  POINT O{0, 0};
  ClientToScreen(Tool, &O);
  EXPECT_EQ(GetTaskbarButtonRect(), TRect(Item.left + O.x, Item.top + O.y, Item.right + O.x, Item.bottom + O.y));
  Ours = 0x5678;  // no button for us: the taskbar edge again
  EXPECT_EQ(GetTaskbarButtonRect(), TRect());
}

TEST(MoveFade, StepsDownToTheBlendValueOnlyAndComesBack) {
  struct Row {
    int Target, Time;
    double Step;
  };
  for (const Row& R : {Row{170, 12, 85}, Row{170, 120, 8.5}, Row{255, 120, 0}, Row{0, 1000, 3.06}})
    EXPECT_NEAR(TvkMoveTimer::StepFor(R.Target, R.Time), R.Step, 1e-9) << R.Target << "/" << R.Time;

  TAnim T;
  LayeredRecorder Rec;
  T.M->AnimEffects()->BlendOnMoving()->SetActive(true);
  T.M->AnimEffects()->BlendOnMoving()->SetBlendValue(100);
  T.M->AnimEffects()->BlendOnMoving()->SetTime(36);  // three steps of 155 / 3
  int Ticks = 0;
  FormEffectSeams().EnterMoveLoop = [&](TCustomForm*) {
    auto* Timer = dynamic_cast<TvkMoveTimer*>(TvkProviderEffects::AnimTimer(T.P));
    ASSERT_NE(Timer, nullptr);
    EXPECT_NE(T.P->FormStateFlags() & fsfMoveFade, 0u);
    for (; Ticks < 8; ++Ticks) Timer->DoStep();
  };
  StartMoveFade(T.P, true);
  EXPECT_EQ(Ticks, 8);
  std::vector<int> Alphas;
  for (const auto& C : Rec.For(T.Wnd()))
    if (C.kind == testing_support::LayeredCall::Attributes) Alphas.push_back(C.alpha);
  // 255 at the start, then down by 155 / 3 (rounded) and held at the target, never below
  ASSERT_GE(Alphas.size(), 8u);
  EXPECT_EQ(Alphas[1], 255);
  EXPECT_EQ(Alphas[2], 203);
  EXPECT_EQ(Alphas[3], 152);
  for (size_t i = 4; i < Alphas.size(); ++i) EXPECT_EQ(Alphas[i], 100) << i;
  EXPECT_EQ(TvkProviderEffects::AnimTimer(T.P), nullptr);
  EXPECT_EQ(T.P->FormStateFlags() & fsfMoveFade, 0u);
  EXPECT_EQ(GetWindowLongA(T.Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);

  // a target of 255: the opacity never changes, and the fade still ends with the loop
  T.P->SetAllowBlendOnMoving(false);
  Ticks = 0;
  Rec.calls.clear();
  StartMoveFade(T.P, true);
  EXPECT_EQ(Ticks, 8);
  Alphas.clear();
  for (const auto& C : Rec.For(T.Wnd()))
    if (C.kind == testing_support::LayeredCall::Attributes) Alphas.push_back(C.alpha);
  ASSERT_FALSE(Alphas.empty());  // made layered at 255 for the move
  EXPECT_EQ(Alphas, std::vector<int>(Alphas.size(), 255));
  EXPECT_EQ(TvkProviderEffects::AnimTimer(T.P), nullptr);
}

TEST(TaskbarPictures, TheWholeFormsPictureHoldsItsControlsWhereTheyStand) {
  for (bool Extended : {false, true}) {
    ManagerPtr M = CarriedManager();
    M->SetExtendedBorders(Extended);
    Owned<TForm> F(NewForm(300, 200));
    TsSkinProvider* P = Create<TsSkinProvider>(F.get());
    F->Show();
    TPanel* Lime = Create<TPanel>(F.get());
    Lime->SetParent(F.get());
    Lime->SetBounds(20, 20, 40, 30);
    Lime->SetBevelOuter(bvNone);
    Lime->SetColor(clLime);
    ASSERT_EQ(P->BorderForm() != nullptr, Extended);
    std::unique_ptr<TBitmap> Picture(MakeAnimationBitmap(P, false));
    ASSERT_NE(Picture, nullptr);
    // in the client area, which the picture holds at the client offsets (frame and caption, and margins)
    const int X = P->GetClientOffsetLeft() + 20, Y = P->GetClientOffsetTop() + 20;
    EXPECT_EQ(CacheRgb(Picture.get(), X + 1, Y + 1), 0x00FF00u) << Extended;
    EXPECT_NE(CacheRgb(Picture.get(), 21, 21), 0x00FF00u) << Extended;
  }
}

TEST(MoveFade, NoSnapshotOfTheFormStaysOnTopDuringTheMove) {
  TAnim T;
  T.M->AnimEffects()->BlendOnMoving()->SetActive(true);
  T.M->AnimEffects()->BlendOnMoving()->SetBlendValue(100);
  const RECT Form = WindowRectOf(T.Wnd());
  int Covers = -1;
  FormEffectSeams().EnterMoveLoop = [&](TCustomForm*) {
    // a visible window of ours lying exactly over the form, other than the form
    Covers = 0;
    for (const auto& W : testing_support::FindThreadWindows()) {
      RECT R{};
      if (W.handle != T.Wnd() && IsWindowVisible(W.handle) && GetWindowRect(W.handle, &R) && EqualRect(&R, &Form)) ++Covers;
    }
  };
  StartMoveFade(T.P, true);
  EXPECT_EQ(Covers, 0);
}

namespace {
struct TBlurCall {
  DWORD Flags;
  BOOL Enable;
};
std::vector<TBlurCall> g_Blur;
HRESULT WINAPI FakeBlur(HWND, const TvkBlurBehind* B) {
  g_Blur.push_back({B->Flags, B->Enable});
  return S_OK;
}
}  // namespace

TEST(TaskbarPictures, BlurBehindTakesTheRegionOnEveryPath) {
  std::vector<TBlurCall>& Calls = g_Blur;
  Calls.clear();
  DwmEnableBlurBehindWindowEntry().Replace(FakeBlur);
  Owned<TForm> F(NewForm());
  HRGN R = CreateRectRgn(0, 0, 10, 10);
  EnableBlurBehind(F->Handle(), true, R);
  EXPECT_EQ(GetObjectType(R), 0u);  // deleted
  if (IsDwmCompositionActive()) {
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].Flags, 3u);
    EXPECT_EQ(Calls[0].Enable, -1);
  } else {
    EXPECT_TRUE(Calls.empty());  // nothing to blur without composition
  }
  ResetPlatform();
}

namespace {
HRESULT WINAPI CompositionOn(BOOL* On) {
  *On = TRUE;
  return S_OK;
}
// Component state is the streaming system's: reached here only to switch a setting without its repaint.
struct TStateAccess : TComponent {
  using TComponent::SetComponentStateItem;
};
// The minimise flight and the restore after it, every step by hand; Between runs while the form is down.
void FlyDownAndBack(TsSkinProvider* P, const std::function<void()>& Between) {
  ASSERT_TRUE(AnimateMinimizing(P));
  auto* Timer = dynamic_cast<TvkMinTimer*>(TvkProviderEffects::AnimTimer(P));
  ASSERT_NE(Timer, nullptr);
  for (int i = 0; i < 50 && Timer->Enabled(); ++i) Timer->DoStep();
  Between();
  ASSERT_TRUE(AnimateRestoring(P));
  for (int i = 0; i < 50 && Timer->Enabled(); ++i) Timer->DoStep();
  ASSERT_FALSE(Timer->Enabled());
}
}  // namespace

TEST(MinimiseFlight, RestoreOfAnMDIParentLeavesTheActivationAndRedrawsUnderComposition) {
  struct Row {
    bool Mdi, Composed;
  };
  for (const Row& R : {Row{false, false}, Row{true, false}, Row{true, true}}) {
    SCOPED_TRACE(testing::Message() << "MDI " << R.Mdi << ", composed " << R.Composed);
    ResetPlatform();  // the last row's forms, going, may have asked for the composition meanwhile
    ManagerPtr M = CarriedManager();
    TFakeTaskbar Bar;
    Platform().Sleep = [](DWORD) {};
    SetVersion(R.Composed ? 6 : 5, 1);
    if (R.Composed) DwmIsCompositionEnabledEntry().Replace(CompositionOn);
    ASSERT_EQ(IsDwmCompositionActive(), R.Composed);
    Owned<TForm> Frame(TForm::CreateNew(Application));
    Frame->SetBorderStyle(bsSizeable);
    Frame->SetBounds(200, 150, 400, 300);
    if (R.Mdi) Frame->SetFormStyle(fsMDIForm);
    Application->FormCreated(Frame.get());  // children are made in the main form's client
    ASSERT_EQ(Application->MainForm(), Frame.get());
    auto* P = Create<TsSkinProvider>(Frame.get());
    Frame->Show();
    Owned<TForm> Child;
    if (R.Mdi) {
      Child.reset(TForm::CreateNew(Application));
      Child->SetFormStyle(fsMDIChild);
      Child->Show();
      ASSERT_EQ(Frame->ActiveMDIChild(), Child.get());
    }
    Owned<TForm> Other(NewForm());
    Other->Show();
    FlyDownAndBack(P, [&] {
      SetActiveWindow(Other->Handle());
      P->SkinData()->CacheDirty = false;
    });
    // a plain form takes the activation back; an MDI parent leaves it where it is
    EXPECT_EQ(GetActiveWindow() == Frame->Handle(), !R.Mdi);
    EXPECT_EQ(P->SkinData()->CacheDirty, R.Composed);
    Child.reset();
    Frame.reset();
    ResetPlatform();
  }
}

// A form with a border window, flying toward a fake taskbar.
struct TBorderedFlight : TAnim {
  TFakeTaskbar Bar;
  TBorderedFlight() {
    SetVersion(5, 1);
    M->SetExtendedBorders(true);
    P->CheckBorderWindow(true);
  }
};

TEST(MinimiseFlight, BorderFormGoesAtTheRestoreWhenExtendedBordersWereSwitchedOff) {
  TBorderedFlight T;
  ASSERT_NE(T.P->BorderForm(), nullptr);
  ASSERT_NE(Application->MainForm(), T.F.get());
  FlyDownAndBack(T.P, [&] {
    const auto SetState = &TStateAccess::SetComponentStateItem;
    (T.M.get()->*SetState)(csLoading, true);
    T.M->SetExtendedBorders(false);
    (T.M.get()->*SetState)(csLoading, false);
    ASSERT_NE(T.P->BorderForm(), nullptr);
    T.P->SkinData()->CacheDirty = false;
  });
  EXPECT_EQ(T.P->BorderForm(), nullptr);
  // a form other than the main one paints its own frame again
  EXPECT_TRUE(T.P->SkinData()->CacheDirty);
}

TEST(MinimiseFlight, ABorderFormFreedDuringTheFlightIsLetGo) {
  TBorderedFlight T;
  ASSERT_NE(T.P->BorderForm(), nullptr);
  ASSERT_TRUE(AnimateMinimizing(T.P));
  auto* Timer = dynamic_cast<TvkMinTimer*>(TvkProviderEffects::AnimTimer(T.P));
  ASSERT_NE(Timer, nullptr);
  Timer->DoStep();
  ASSERT_EQ(Timer->BorderForm, T.P->BorderForm());
  // switched off the usual way in mid-flight: the border form and the window it lent go at once
  T.M->SetExtendedBorders(false);
  ASSERT_EQ(T.P->BorderForm(), nullptr);
  Timer->DoStep();
  EXPECT_EQ(Timer->BorderForm, nullptr);
  EXPECT_EQ(Timer->AnimWindow, nullptr);
  EXPECT_FALSE(Timer->Enabled());
}

TEST(MinimiseFlight, AFormFreedRightAfterAFlightLetsItsTimerGoBeforeTheSkinData) {
  // hears the timer go and notes whether the provider still held its skin data then
  struct TWitness : TComponent {
    TsSkinProvider* P = nullptr;
    int Seen = 0;
    bool DataHeld = false;
    TWitness() : TComponent(nullptr) {}
    void Notification(TComponent* C, TOperation Op) override {
      TComponent::Notification(C, Op);
      if (Op != opRemove) return;
      ++Seen;
      DataHeld = P->SkinData() != nullptr;
    }
  };
  TAnim T;
  TFakeTaskbar Bar;
  SetVersion(5, 1);
  ASSERT_TRUE(AnimateMinimizing(T.P));
  TvkThreadedTimer* Timer = TvkProviderEffects::AnimTimer(T.P);
  ASSERT_NE(Timer, nullptr);
  Owned<TWitness> W(new TWitness);
  W->P = T.P;
  Timer->FreeNotification(W.get());
  T.F.reset();
  EXPECT_EQ(W->Seen, 1);
  EXPECT_TRUE(W->DataHeld);
}
