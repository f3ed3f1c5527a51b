// The animated skin change: the output window over a control, the mix weights of its frames, the layered
// path of a skinned form through the recorder, and the windows that are left afterwards.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

#include "SkinTestOwners.h"
#include "framework/GraphicsGdi.h"
#include "skin/core/vkFormAnimation.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinChange.h"
#include "skin/core/vkntTypes.h"
#include "skin/graphics/ToolkitStartup.h"
#include "tests/support/LayeredRecorder.h"
#include "tests/support/WindowProbe.h"

using namespace skin_owners;
using testing_support::LayeredRecorder;

namespace {

struct SkinChange : testing::Test {
  void SetUp() override {
    ResetPlatform();
    ToolkitStartup();
    form = NewTestForm(120, 80);
    form->SetLeft(30);
    form->SetTop(30);
    Platform().GetTickCount = [] { return Clock += 25; };
    // The screen before the change: green wherever it is read.
    Platform().CopyFromScreen = [](HDC Dst, int X, int Y, int W, int H, int, int) {
      HBRUSH B = CreateSolidBrush(RGB(0, 255, 0));
      RECT R{X, Y, X + W, Y + H};
      FillRect(Dst, &R, B);
      DeleteObject(B);
      return TRUE;
    };
  }
  void TearDown() override {
    form->Free();
    FormServices = TvkFormServices();
    ToolkitShutdown();
    ResetPlatform();
  }
  static inline DWORD Clock = 5000;
  TForm* form = nullptr;
};

}  // namespace

TEST(SkinChangeArithmetic, WeightsAndTheOldPicturesOpacity) {
  EXPECT_EQ(SkinChangeWeights(10), (std::vector<int>{255, 230, 204, 178, 153, 128, 102, 76, 51, 26}));
  EXPECT_TRUE(SkinChangeWeights(0).empty());
  EXPECT_EQ(SkinChangeWeights(1), std::vector<int>{255});
  const struct {
    int Max, Alpha, Old;
  } Cases[] = {{255, 0, 255}, {255, 170, 255}, {255, 200, 165}, {255, 255, 0}, {200, 150, 150}};
  for (const auto& C : Cases)
    EXPECT_EQ(OldPictureAlpha(static_cast<uint8_t>(C.Max), static_cast<uint8_t>(C.Alpha)), C.Old) << C.Alpha;
}

TEST(SkinChangeArithmetic, AnOldPictureOfAnotherSizeKeepsWhereBothLieAndTakesTheNewElsewhere) {
  std::unique_ptr<TBitmap> New(NewBitmap32(50, 30));
  FillRect32(New.get(), TRect{0, 0, 50, 30}, 0x0000FF, 255);
  for (const SIZE Size : {SIZE{40, 20}, SIZE{60, 40}}) {
    TBitmap* Old = NewBitmap32(Size.cx, Size.cy);
    FillRect32(Old, TRect{0, 0, Size.cx, Size.cy}, 0x00FF00, 255);
    const uint32_t Was = GetPixel32(Old, 0, 0);
    FitOldPicture(Old, New.get());
    EXPECT_EQ(TSize(Old->Width(), Old->Height()), TSize(50, 30));
    EXPECT_EQ(GetPixel32(Old, 5, 5), Was);
    EXPECT_EQ(GetPixel32(Old, 45, 25), Size.cx > 50 ? Was : GetPixel32(New.get(), 45, 25));
    delete Old;
  }
}

TEST_F(SkinChange, TheOutputWindowCoversAChildAndGoesAfterTheChange) {
  auto* Panel = Place(form, 10, 10, 50, 30, Create<TTestSkinOwner>(form));
  form->ShowNoActivate();
  LayeredRecorder Rec;
  CaptureControlForChange(Panel);
  auto* Out = As<TOutputWindow>(SkinChangeOutputWindow());
  ASSERT_NE(Out, nullptr);
  EXPECT_EQ(Out->Parent(), form);
  EXPECT_EQ(Out->Tag(), 256);
  EXPECT_EQ(Out->Caption(), "vkOutputWindow");
  EXPECT_EQ(Out->Left(), 10);
  EXPECT_EQ(Out->Width(), 50);
  EXPECT_TRUE(IsWindowVisible(Out->Handle()));
  ASSERT_NE(SkinChangeOldPicture(), nullptr);
  EXPECT_EQ(GetPixel32(SkinChangeOldPicture(), 3, 3) & 0xFFFFFF, 0x00FF00u);
  HWND OutWnd = Out->Handle();
  AnimateSkinChange(Panel, 240, 255, atFading);
  EXPECT_EQ(SkinChangeOutputWindow(), nullptr);
  EXPECT_EQ(SkinChangeOldPicture(), nullptr);
  EXPECT_FALSE(IsWindow(OutWnd));
  // A child window is never made layered: no layered output went to it.
  EXPECT_TRUE(Rec.For(OutWnd).empty());
  EXPECT_FALSE(InAnimationProcess);
}

TEST_F(SkinChange, ATopLevelCaptureStandsDirectlyAboveTheWindow) {
  form->ShowNoActivate();
  // Another window above the form: the output window goes between them, not on top of everything; above a
  // stay-on-top form with another one over it, it stays on top too, not behind the form.
  for (bool OnTop : {false, true}) {
    SetWindowPos(form->Handle(), OnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HWND Above = CreateWindowExA(WS_EX_NOACTIVATE | (OnTop ? WS_EX_TOPMOST : 0), "STATIC", "", WS_POPUP | WS_VISIBLE,
                                 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    CaptureControlForChange(form);
    TControl* Out = SkinChangeOutputWindow();
    ASSERT_NE(Out, nullptr);
    EXPECT_EQ(Out->Parent(), nullptr);
    HWND OutWnd = As<TWinControl>(Out)->Handle();
    // Between them in z-order (windows of tests running beside this one may come in between as well).
    EXPECT_TRUE(testing_support::LiesAbove(Above, OutWnd)) << OnTop;
    EXPECT_TRUE(testing_support::LiesAbove(OutWnd, form->Handle())) << OnTop;
    EXPECT_TRUE(IsWindowVisible(OutWnd));
    RECT R{};
    GetWindowRect(OutWnd, &R);
    EXPECT_EQ(R.left, 30);
    EXPECT_EQ(R.right - R.left, 120);
    AnimateSkinChange(form, 0, 255, atFading);
    EXPECT_FALSE(IsWindow(OutWnd));
    DestroyWindow(Above);
  }
}

TEST_F(SkinChange, HiddenControlsAreLeftAloneAndOneHiddenAfterItsCaptureLosesItsOutputWindow) {
  auto* Panel = Place(form, 10, 10, 50, 30, Create<TTestSkinOwner>(form));
  CaptureControlForChange(Panel);  // the form is not shown
  EXPECT_EQ(SkinChangeOutputWindow(), nullptr);
  EXPECT_EQ(SkinChangeOldPicture(), nullptr);
  AnimateSkinChange(Panel, 240, 255, atFading);
  EXPECT_FALSE(InAnimationProcess);
  form->ShowNoActivate();
  CaptureControlForChange(Panel);
  ASSERT_NE(SkinChangeOutputWindow(), nullptr);
  HWND OutWnd = As<TWinControl>(SkinChangeOutputWindow())->Handle();
  Panel->SetVisible(false);
  AnimateSkinChange(Panel, 240, 255, atFading);
  EXPECT_FALSE(IsWindow(OutWnd));
  EXPECT_EQ(SkinChangeOutputWindow(), nullptr);
  EXPECT_EQ(SkinChangeOldPicture(), nullptr);
  EXPECT_FALSE(InAnimationProcess);
}

// A skinned form: its skinner answers command 4 and paints the frame image.
class TSkinnedStandInForm : public TForm {
  DECLARE_CLASS(TSkinnedStandInForm, TForm)
public:
  explicit TSkinnedStandInForm(TComponent* AOwner) : TForm(AOwner, 0) {}
  void Dispatch(TMessage& Message) override {
    if (Message.Msg == SM_VKCMD && SkinCommandCode(Message.WParam) == VKCMD_QUERY_FORM_SKINNER) {
      Message.Result = reinterpret_cast<LRESULT>(this);
      return;
    }
    if (Message.Msg == WM_SETREDRAW && Message.WParam != 0) ++RedrawsOn;
    inherited::Dispatch(Message);
  }
  static inline TsScrollWndData* Data = nullptr;
  int RedrawsOn = 0;  // WM_SETREDRAW 1 heard
  // A borderless 60 x 40 one at (40, 40), its skin data with a frame image of that size.
  static TSkinnedStandInForm* Make() {
    auto* F = Create<TSkinnedStandInForm>(Application);
    F->SetBorderStyle(bsNone);
    F->SetBounds(40, 40, 60, 40);
    Data = new TsScrollWndData(nullptr, true);
    Data->CacheBmp->SetSize(60, 40);
    return F;
  }
  void Drop() {
    Free();
    delete Data;
  }
};
IMPLEMENT_CLASS(TSkinnedStandInForm)

TEST_F(SkinChange, ASkinnedFormFadesItsNewLookInOnALayeredWindow) {
  auto* Skinned = TSkinnedStandInForm::Make();
  Skinned->SetColor(clBlue);
  FormServices.ProviderSkinData = [](TsSkinProvider*) { return TSkinnedStandInForm::Data; };
  FormServices.CreateFormRegionAt = [](TsSkinProvider*, int, int) { return CreateRectRgn(0, 0, 60, 40); };
  Skinned->ShowNoActivate();
  LayeredRecorder Rec;
  EXPECT_TRUE(AnimateSkinChange(Skinned, 120, 255, atFading)) << "it ends with the form redrawn";
  HWND Anim = nullptr;
  for (const auto& C : Rec.calls)
    if (C.wnd != Skinned->Handle()) Anim = C.wnd;
  ASSERT_NE(Anim, nullptr);
  EXPECT_EQ(Rec.Alphas(Anim), (std::vector<int>{0, 26, 51, 76, 102, 128, 153, 178, 204, 230, 255, 255}));
  const auto First = Rec.For(Anim).front();
  EXPECT_TRUE(First.hasPos);
  EXPECT_EQ(First.pos.x, 40);
  EXPECT_EQ(First.Pixel(5, 5), 0xFF0000FEu);  // the form's new look, opaque blue, premultiplied
  EXPECT_FALSE(IsWindow(Anim));
  EXPECT_EQ(SkinChangeOutputWindow(), nullptr);
  EXPECT_FALSE(InAnimationProcess);
  Skinned->Drop();
}

TEST_F(SkinChange, AChangeThatStopsEarlyOrThrowsLetsTheFormDrawAgainAndLeavesNothing) {
  const std::function<void()> Stops[] = {
      [] { TSkinnedStandInForm::Data->CacheBmp->SetSize(0, 0); },  // no frame image: nothing to fade
      [] { FormServices.PaintFormFrame = [](TsSkinProvider*) { throw std::runtime_error("frame"); }; }};
  for (const auto& Stop : Stops) {
    auto* Skinned = TSkinnedStandInForm::Make();
    FormServices = TvkFormServices();
    FormServices.ProviderSkinData = [](TsSkinProvider*) { return TSkinnedStandInForm::Data; };
    Stop();
    Skinned->ShowNoActivate();
    const int Forms = Screen->FormCount();
    const TGdiObjectCounts Gdi = GdiObjectCounts();
    try {
      EXPECT_FALSE(AnimateSkinChange(Skinned, 120, 255, atFading)) << "no fade, no redraw of its own";
    } catch (const std::runtime_error&) {
    }
    EXPECT_GE(Skinned->RedrawsOn, 1) << "the form draws again";
    EXPECT_EQ(SkinChangeOutputWindow(), nullptr);
    EXPECT_EQ(Screen->FormCount(), Forms);
    EXPECT_EQ(GdiObjectCounts(), Gdi);
    EXPECT_FALSE(InAnimationProcess);
    Skinned->Drop();
  }
}

TEST_F(SkinChange, ABorderFormThatCannotMakeItsNewWindowFadesOnAWindowOfItsOwn) {
  auto* Skinned = TSkinnedStandInForm::Make();
  static TvkGlowForm* OldWindow = nullptr;
  static int Updated = 0;
  OldWindow = Create<TvkGlowForm>(nullptr);
  Updated = 0;
  FormServices.ProviderSkinData = [](TsSkinProvider*) { return TSkinnedStandInForm::Data; };
  FormServices.ProviderBorderForm = [](TsSkinProvider* P) { return reinterpret_cast<TvkBorderForm*>(P); };
  FormServices.ReleaseBorderLayeredWindow = [](TvkBorderForm*) {
    TvkGlowForm* W = OldWindow;
    OldWindow = nullptr;
    return W;
  };
  FormServices.CreateBorderWindow = [](TvkBorderForm*) {};  // makes nothing
  FormServices.BorderLayeredWindow = [](TvkBorderForm*) -> TvkGlowForm* { return OldWindow; };
  FormServices.UpdateBorderWindow = [](TvkBorderForm*, bool, uint8_t) { ++Updated; };
  HWND OldWnd = OldWindow->Handle();
  Skinned->ShowNoActivate();
  const int Forms = Screen->FormCount();
  LayeredRecorder Rec;
  AnimateSkinChange(Skinned, 120, 255, atFading);
  HWND Anim = nullptr;
  for (const auto& C : Rec.calls)
    if (C.wnd != Skinned->Handle() && C.wnd != OldWnd) Anim = C.wnd;
  ASSERT_NE(Anim, nullptr);
  EXPECT_EQ(Rec.Alphas(Anim).back(), 255);
  EXPECT_FALSE(IsWindow(Anim));
  EXPECT_FALSE(IsWindow(OldWnd));  // the old look went with the change
  EXPECT_EQ(Updated, 1);           // and the border form is asked to make its window again
  EXPECT_EQ(Screen->FormCount(), Forms - 1);
  EXPECT_FALSE(InAnimationProcess);
  Skinned->Drop();
}
