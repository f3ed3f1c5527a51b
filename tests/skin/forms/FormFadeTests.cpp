// A skinned form's show and hide fades and its animated skin change, as the layered-window recorder sees them,
// with and without the extended border window; and a change that stops half-way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "FormTestSupport.h"
#include "framework/ExtCtrls.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormAnimation.h"
#include "tests/support/LayeredRecorder.h"

using namespace form_test;
using testing_support::LayeredCall;
using testing_support::LayeredRecorder;

namespace {

// A manager whose effects take Time milliseconds and simply fade; the border window when Extended.
ManagerPtr FadingManager(bool Extended, int Time) {
  ManagerPtr M = CarriedManager();
  M->SetExtendedBorders(Extended);
  for (TvkAnimEffect* E : {static_cast<TvkAnimEffect*>(M->AnimEffects()->FormShow()),
                           static_cast<TvkAnimEffect*>(M->AnimEffects()->FormHide()),
                           static_cast<TvkAnimEffect*>(M->AnimEffects()->SkinChanging())}) {
    E->SetTime(static_cast<uint16_t>(Time));
    E->SetMode(atFading);
  }
  return M;
}

// The windows besides Form that got layered pictures, in the order of their first one.
std::vector<HWND> OtherLayeredWindows(const LayeredRecorder& Rec, HWND Form) {
  std::vector<HWND> Out;
  for (const LayeredCall& C : Rec.calls)
    if (C.kind == LayeredCall::Update && C.wnd != Form && std::find(Out.begin(), Out.end(), C.wnd) == Out.end())
      Out.push_back(C.wnd);
  return Out;
}

// Whether Run stands in All as one unbroken stretch.
bool Contains(const std::vector<int>& All, const std::vector<int>& Run) {
  return std::search(All.begin(), All.end(), Run.begin(), Run.end()) != All.end();
}

// Layered windows take premultiplied pixels: no colour byte above its alpha.
bool Premultiplied(const std::vector<LayeredCall>& Calls) {
  for (const LayeredCall& C : Calls)
    for (uint32_t P : C.pixels) {
      const uint32_t A = P >> 24;
      if (((P >> 16) & 0xFF) > A || ((P >> 8) & 0xFF) > A || (P & 0xFF) > A) return false;
    }
  return true;
}

// The running hide fade played out by hand, tick by tick, rather than on its 12 ms timer.
bool RunHideOut() {
  for (int i = 0; i < 100 && HideTimer() != nullptr && HideTimer()->Window != nullptr; ++i) HideTimer()->Tick();
  return HideTimer() == nullptr || HideTimer()->Window == nullptr;
}

struct TFaded {
  ManagerPtr M;
  Owned<TForm> F{NewForm(300, 200)};
  TsSkinProvider* P = Create<TsSkinProvider>(F.get());
  TFaded(bool Extended, int Time) : M(FadingManager(Extended, Time)) { F->SetBounds(200, 150, 300, 200); }
};

}  // namespace

TEST(FormFades, ShowAndHideFadeOverTheManagersTime) {
  for (bool Extended : {false, true}) {
    SCOPED_TRACE(Extended ? "with the border window" : "without the border window");
    TFaded T(Extended, 70);
    LayeredRecorder Rec;
    // whether the form could be seen under each part-faded picture: shown, and not layered with alpha 0
    std::vector<bool> FormSeen;
    const HWND Form = T.F->Handle();
    Platform().UpdateLayeredWindow = [&, Recorded = Platform().UpdateLayeredWindow](
                                         HWND W, HDC Dst, POINT* Pos, SIZE* Size, HDC Src, POINT* SrcPos, COLORREF Key,
                                         BLENDFUNCTION* Blend, DWORD Flags) {
      if (W != Form && Blend != nullptr && Blend->SourceConstantAlpha < 255) {
        const std::vector<LayeredCall> Set = Rec.For(Form);
        const bool Clear = (GetWindowLongA(Form, GWL_EXSTYLE) & WS_EX_LAYERED) != 0 && !Set.empty() &&
                           Set.back().kind == LayeredCall::Attributes && Set.back().alpha == 0;
        FormSeen.push_back(IsWindowVisible(Form) && !Clear);
      }
      return Recorded(W, Dst, Pos, Size, Src, SrcPos, Key, Blend, Flags);
    };
    T.F->Show();
    // 70 ms: five steps of 51, the last held, then the whole picture; the form itself is revealed beneath
    std::vector<HWND> Shown = OtherLayeredWindows(Rec, T.F->Handle());
    ASSERT_FALSE(Shown.empty());
    EXPECT_FALSE(FormSeen.empty());
    EXPECT_EQ(std::count(FormSeen.begin(), FormSeen.end(), true), 0) << testing::PrintToString(FormSeen);
    EXPECT_TRUE(Contains(Rec.Alphas(Shown.front()), {0, 51, 102, 153, 204, 255, 255, 255}))
        << testing::PrintToString(Rec.Alphas(Shown.front()));
    EXPECT_TRUE(IsWindowVisible(T.F->Handle()));
    EXPECT_EQ(GetWindowLongA(T.F->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    EXPECT_TRUE(Premultiplied(Rec.For(Shown.front())));
    EXPECT_FALSE(InAnimationProcess);

    Rec.calls.clear();
    T.F->Hide();
    ASSERT_NE(HideTimer(), nullptr);
    ASSERT_TRUE(RunHideOut());
    const std::vector<HWND> Hidden = OtherLayeredWindows(Rec, T.F->Handle());
    ASSERT_FALSE(Hidden.empty());
    // the whole picture, then five steps down by 51 and the last one held, before the window goes
    EXPECT_TRUE(Contains(Rec.Alphas(Hidden.front()), {255, 204, 153, 102, 51, 0, 0}))
        << testing::PrintToString(Rec.Alphas(Hidden.front()));
    EXPECT_FALSE(IsWindow(Hidden.front()));
    EXPECT_TRUE(Premultiplied(Rec.For(Hidden.front())));
    EXPECT_FALSE(IsWindowVisible(T.F->Handle()));
  }
}

TEST(FormFades, TheHidePictureShowsTheGraphicControls) {
  for (bool Extended : {false, true}) {
    SCOPED_TRACE(Extended ? "with the border window" : "without the border window");
    TFaded T(Extended, 70);
    auto* Image = Create<TImage>(T.F.get());
    Image->SetParent(T.F.get());
    Image->SetBounds(20, 20, 40, 30);
    TBitmap* Picture = Image->Picture()->Bitmap();
    Picture->SetSize(40, 30);
    Picture->Canvas()->Brush()->SetColor(static_cast<TColor>(0x2080C0));  // red C0, green 80, blue 20
    Picture->Canvas()->FillRect(TRect(0, 0, 40, 30));
    T.F->Show();
    LayeredRecorder Rec;
    T.F->Hide();
    ASSERT_TRUE(RunHideOut());
    const std::vector<HWND> Hidden = OtherLayeredWindows(Rec, T.F->Handle());
    ASSERT_FALSE(Hidden.empty());
    // every picture of the fade holds the image (premultiplying by 255 may take one off a channel)
    auto IsMark = [](uint32_t P) {
      return P >> 24 == 0xFF && std::abs(static_cast<int>((P >> 16) & 0xFF) - 0xC0) <= 1 &&
             std::abs(static_cast<int>((P >> 8) & 0xFF) - 0x80) <= 1 && std::abs(static_cast<int>(P & 0xFF) - 0x20) <= 1;
    };
    const std::vector<LayeredCall> Calls = Rec.For(Hidden.front());
    ASSERT_FALSE(Calls.empty());
    for (const LayeredCall& C : Calls) EXPECT_GE(std::count_if(C.pixels.begin(), C.pixels.end(), IsMark), 40 * 30);
  }
}

TEST(FormFades, NoHideFadeWhileTheApplicationIsMinimised) {
  TFaded T(false, 70);
  T.F->Show();
  LayeredRecorder Rec;
  T.M->MinimizingApp = true;
  T.F->Hide();
  T.M->MinimizingApp = false;
  EXPECT_TRUE(OtherLayeredWindows(Rec, T.F->Handle()).empty());
  EXPECT_FALSE(IsWindowVisible(T.F->Handle()));
}

TEST(FormFades, ARunTimeSkinChangeFadesTheNewLookIn) {
  for (bool Extended : {false, true}) {
    SCOPED_TRACE(Extended ? "with the border window" : "without the border window");
    TFaded T(Extended, 120);
    T.M->AnimEffects()->FormShow()->SetActive(false);
    T.F->Show();
    LayeredRecorder Rec;
    T.M->SetSkinName("TIDE");
    // ten steps of 25.5, rounded half to even, over the first picture at 0
    const std::vector<HWND> Windows = OtherLayeredWindows(Rec, T.F->Handle());
    const std::vector<int> NewLook{0, 26, 51, 76, 102, 128, 153, 178, 204, 230, 255, 255};
    const auto Fading = std::find_if(Windows.begin(), Windows.end(),
                                     [&](HWND W) { return Contains(Rec.Alphas(W), NewLook); });
    ASSERT_NE(Fading, Windows.end());
    EXPECT_TRUE(Premultiplied(Rec.For(*Fading)));
    if (Extended) {
      // the border window of the old look stays opaque until the new look passes two thirds, then fades out
      const auto Old = std::find_if(Windows.begin(), Windows.end(), [&](HWND W) {
        return Contains(Rec.Alphas(W), {255, 255, 255, 255, 255, 255, 231, 153, 75, 0, 0});
      });
      EXPECT_NE(Old, Windows.end());
      EXPECT_EQ(T.P->SkinChangeSnapshot(), nullptr) << "the animation took the old picture over";
    }
    EXPECT_FALSE(SkinChangeAnimating);
    EXPECT_FALSE(InAnimationProcess);
    EXPECT_EQ(T.P->FormStateFlags() & (fsfSkinChangeSnapshot | fsfFrozen), 0u);
    EXPECT_TRUE(IsWindowVisible(T.F->Handle())) << "drawing is on again";
  }
}

namespace {
// A graphic control that throws while a new skin is announced.
class TThrowingOnSkin : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
  void WndProc(TMessage& M) override {
    if (M.Msg == SM_VKCMD && SkinCommandCode(M.WParam) == VKCMD_SKIN_APPLIED) throw std::runtime_error("skin refused");
    TGraphicControl::WndProc(M);
  }
};
// The manager's own end of reading a stored form: its skin loads without a repaint.
struct TLoadedAccess : TsSkinManager {
  using TsSkinManager::Loaded;
};
}  // namespace

TEST(FormFades, AChangeThatStopsHalfWayLeavesNoFormFrozenNorPaintersHeldBack) {
  enum TStop { stMissingSkin, stLoadedWithoutRepaint, stThrowingControl };
  for (TStop Stop : {stMissingSkin, stLoadedWithoutRepaint, stThrowingControl}) {
    SCOPED_TRACE(Stop);
    TFaded T(true, 0);
    T.M->AnimEffects()->FormShow()->SetActive(false);
    T.F->Show();
    switch (Stop) {
      case stMissingSkin:
        T.M->SetSkinName("NO SUCH SKIN");
        break;
      case stLoadedWithoutRepaint:
        (T.M.get()->*&TLoadedAccess::Loaded)();
        break;
      case stThrowingControl: {
        auto* Refusing = new TThrowingOnSkin(T.F.get());
        Refusing->SetParent(T.F.get());
        EXPECT_THROW(T.M->SetSkinName("TIDE"), std::runtime_error);
        Refusing->Free();
        break;
      }
    }
    EXPECT_FALSE(SkinChangeAnimating) << "the gauge and the adapters would never repaint";
    EXPECT_EQ(T.P->FormStateFlags() & (fsfSkinChangeSnapshot | fsfFrozen), 0u);
    EXPECT_EQ(T.P->SkinChangeSnapshot(), nullptr);
    EXPECT_TRUE(IsWindowVisible(T.F->Handle())) << "the form draws again";
    EXPECT_FALSE(InAnimationProcess);
  }
}
