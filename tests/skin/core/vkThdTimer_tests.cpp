// The animation timer and the state fades, stepped by hand: the level and the picture of every frame, fades
// reversed half-way, repeated requests, fast fades, finishing, and which mouse events animate.
#include <gtest/gtest.h>

#include <cmath>

#include "SkinTestOwners.h"
#include "skin/core/vkThdTimer.h"

using namespace skin_owners;

namespace {

struct Fade : OwnerFormTest {
  void SetUp() override {
    OwnerFormTest::SetUp();
    Button = Owner("BUTTON");
    D = Button->SkinData;
    BuildFlatCache(D, Button);
    D->CacheDirty = false;
  }
  // Puts the owner in its new state and starts the fade toward Mode; the first frame is drawn at once.
  void Start(int Mode, bool Hot, bool Fast = false) {
    D->Hot = Hot;
    D->CacheDirty = false;  // the owner painted its last state
    AnimateStateChange(D, Mode, CrossFadeStep, false, Fast, true);
    Frames.push_back(Level());
  }
  int Level() const { return std::clamp(static_cast<int>(std::nearbyint(D->AnimTimer->Level)), 0, 255); }
  // Ticks until the fade ends; every frame's level is noted.
  void Run(int MaxTicks = 40) {
    for (int i = 0; i < MaxTicks && D->AnimTimer->Enabled(); ++i) {
      const int Before = D->AnimTimer->Step;
      D->AnimTimer->Tick();
      if (D->AnimTimer->Step != Before && D->AnimTimer->Step <= D->AnimTimer->StepCount) Frames.push_back(Level());
    }
  }
  // What the last frame shows at (0, 0): Before and After mixed by the frame's weight.
  uint32_t Expected(int W) const {
    const uint32_t B = GetPixel32(D->AnimTimer->BeforeBmp, 0, 0), A = GetPixel32(D->AnimTimer->AfterBmp, 0, 0);
    uint32_t R = 0;
    for (int Sh = 0; Sh < 32; Sh += 8) {
      const int b = (B >> Sh) & 0xFF, a = (A >> Sh) & 0xFF;
      R |= static_cast<uint32_t>(((b - a) * W + a * 256) >> 8 & 0xFF) << Sh;
    }
    return R;
  }
  ManagerPtr m = SolidManager();
  TTestSkinOwner* Button = nullptr;
  TsCommonData* D = nullptr;
  std::vector<int> Frames;
};

}  // namespace

TEST_F(Fade, EnteringTakesSixStepsAndLeavingTwelve) {
  Start(fmEnter, true);
  ASSERT_NE(D->AnimTimer, nullptr);
  EXPECT_EQ(D->AnimTimer->Interval(), 12u);
  Run();
  EXPECT_EQ(Frames, (std::vector<int>{42, 85, 128, 170, 212, 255, 255}));
  EXPECT_EQ(GetPixel32(D->AnimTimer->WorkBmp, 0, 0), Expected(0));  // the hot picture exactly
  EXPECT_FALSE(D->AnimTimer->Enabled());
  Frames.clear();
  Start(fmLeave, false);
  Run();
  EXPECT_EQ(Frames, (std::vector<int>{234, 212, 191, 170, 149, 128, 106, 85, 64, 42, 21, 0, 0}));
  EXPECT_EQ(D->AnimTimer->Mode, fmIdle);  // stopped at the end, bitmaps freed
  EXPECT_EQ(D->AnimTimer->WorkBmp, nullptr);
}

TEST_F(Fade, FastFadesHalveTheSteps) {
  Start(fmEnter, true, true);
  Run();
  EXPECT_EQ(Frames, (std::vector<int>{85, 170, 255, 255}));
  Frames.clear();
  Start(fmLeave, false, true);
  Run();
  EXPECT_EQ(Frames, (std::vector<int>{212, 170, 128, 85, 42, 0, 0}));
}

TEST_F(Fade, AReversedLeaveRunsBackToTheHotPicture) {
  Start(fmEnter, true);
  Run();
  Frames.clear();
  Start(fmLeave, false);
  for (int i = 0; i < 3; ++i) D->AnimTimer->Tick();  // four frames: level 170
  EXPECT_EQ(Level(), 170);
  Frames.clear();
  Start(fmEnter, true);
  Run();
  // The two steps 170 implies, and the fade ends on the hot picture.
  EXPECT_EQ(Frames, (std::vector<int>{212, 255, 255}));
  EXPECT_EQ(GetPixel32(D->AnimTimer->WorkBmp, 0, 0), Expected(0));
}

TEST_F(Fade, ALeaveWithinTheFirstFrameRunsOnlyTheStepsItsLevelImplies) {
  Start(fmEnter, true);  // first frame: 42
  Frames.clear();
  Start(fmLeave, false);
  for (int i = 0; i < 40 && D->AnimTimer->Enabled(); ++i) {
    D->AnimTimer->Tick();
    Frames.push_back(Level());
  }
  // 42 is two of the twelve steps of a whole leave: two steps down, the last one run again at nothing.
  EXPECT_EQ(Frames, (std::vector<int>{21, 0, 0}));
  EXPECT_EQ(D->AnimTimer->Mode, fmIdle);
}

TEST_F(Fade, APressOrAReleaseStartsFromTheScreenAndALeaveBelowTenEndsOnTheNormalLook) {
  Start(fmEnter, true);
  Run();
  const uint32_t Hot = GetPixel32(D->AnimTimer->WorkBmp, 0, 0);
  Frames.clear();
  Start(fmPress, true);
  EXPECT_EQ(GetPixel32(D->AnimTimer->BeforeBmp, 0, 0), Hot);
  Run(4);  // pressed half-way
  EXPECT_EQ(Frames, (std::vector<int>{212, 170, 128, 85, 42}));
  Start(fmLeave, false);
  for (int i = 0; i < 40 && Level() > 0; ++i) D->AnimTimer->Tick();
  // The level fell from 7 to nothing: that frame is the normal picture whole, as a glow's hide stops the fade.
  EXPECT_EQ(GetPixel32(D->AnimTimer->WorkBmp, 0, 0), Expected(0));
  // A release within a press starts from what the screen shows as well (here a press toward the normal look).
  Start(fmEnter, true);
  Run();
  Start(fmPress, false);
  Run(2);
  const uint32_t Shown = GetPixel32(D->AnimTimer->WorkBmp, 0, 0);
  Start(fmEnter, true);
  EXPECT_EQ(GetPixel32(D->AnimTimer->BeforeBmp, 0, 0), Shown);
}

TEST_F(Fade, TheSameModeTwiceChangesNothingAndFinishingShowsTheTarget) {
  Start(fmEnter, true);
  D->AnimTimer->Tick();
  const int Step = D->AnimTimer->Step;
  const double Lvl = D->AnimTimer->Level;
  D->CacheDirty = false;
  EXPECT_TRUE(StartStateFade(D, fmEnter, CrossFadeStep, false));
  EXPECT_EQ(D->AnimTimer->Step, Step);
  EXPECT_EQ(D->AnimTimer->Level, Lvl);
  // Finishing draws the frame of the target level: the hot picture, not the old one.
  static std::vector<double> Drawn;
  D->AnimTimer->StepProc = [](TsCommonData* Data, int S) {
    Drawn.push_back(Data->AnimTimer->Level);
    return CrossFadeStep(Data, S);
  };
  FinishAnimationTimer(D->AnimTimer);
  ASSERT_EQ(Drawn.size(), 1u);
  EXPECT_GE(Drawn[0], 255.0);
  EXPECT_FALSE(D->AnimTimer->Enabled());
  EXPECT_EQ(D->AnimTimer->WorkBmp, nullptr);
}

// A finished fade keeps its Mode: a later fade to the same state (say after a press painted without a fade)
// must still run and end on the owner's new picture, not leave the old one on screen.
TEST_F(Fade, AFinishedFadeDoesNotBlockTheNextToTheSameState) {
  Start(fmEnter, true);
  Run();
  ASSERT_FALSE(D->AnimTimer->Enabled());
  ASSERT_EQ(D->AnimTimer->Mode, fmEnter);
  D->Hot = false;
  BuildFlatCache(D, Button);  // the look painted at once meanwhile
  const uint32_t Meanwhile = GetPixel32(D->CacheBmp, 0, 0);
  Start(fmEnter, true);
  EXPECT_TRUE(D->AnimTimer->Enabled());
  Run();
  EXPECT_EQ(GetPixel32(D->AnimTimer->BeforeBmp, 0, 0), Meanwhile);
  EXPECT_NE(GetPixel32(D->AnimTimer->WorkBmp, 0, 0), Meanwhile);
  EXPECT_EQ(GetPixel32(D->AnimTimer->WorkBmp, 0, 0), Expected(0));
}

TEST_F(Fade, NoFadeWhenNotAllowedOrTheCacheIsDirty) {
  m->Effects()->SetAllowAnimation(false);
  D->Hot = true;
  AnimateStateChange(D, fmEnter, CrossFadeStep, false, false, true);
  EXPECT_EQ(D->AnimTimer, nullptr);
  m->Effects()->SetAllowAnimation(true);
  D->CacheDirty = true;
  D->Hot = false;
  AnimateStateChange(D, fmEnter, CrossFadeStep, false, false, true);
  EXPECT_EQ(D->AnimTimer, nullptr);
  D->CacheDirty = false;
  AnimateStateChange(D, fmEnter, CrossFadeStep, false, false, false);
  EXPECT_EQ(D->AnimTimer, nullptr);
  SkinnedSessionEnding = true;
  AnimateStateChange(D, fmEnter, CrossFadeStep, false, false, true);
  SkinnedSessionEnding = false;
  EXPECT_EQ(D->AnimTimer, nullptr);
}

TEST(AnimationTimer, TicksRunCountedStepsOrTheEventAndTheDataForgetsAFreedTimer) {
  InitializeForms();
  auto* T = new TvkThreadedTimer(nullptr, false);
  EXPECT_FALSE(T->Enabled());
  EXPECT_FALSE(T->InnerTimer()->Enabled());
  int Events = 0;
  T->SetOnTimer([&](TObject*) { ++Events; });
  T->SetEnabled(true);
  EXPECT_TRUE(T->InnerTimer()->Enabled());
  T->SetInterval(0);
  EXPECT_FALSE(T->InnerTimer()->Enabled());  // no interval: the inner timer stays off
  T->Tick();
  EXPECT_EQ(Events, 1);
  static std::vector<int> Steps;
  T->StepProc = [](TsCommonData*, int S) {
    Steps.push_back(S);
    return true;
  };
  T->StepCount = 2;
  T->Step = 0;
  for (int i = 0; i < 4; ++i) T->Tick();
  EXPECT_EQ(Steps, (std::vector<int>{1, 2}));
  EXPECT_FALSE(T->Enabled());
  EXPECT_EQ(Events, 1);
  T->Free();
  FinalizeForms();
}

TEST(AnimationTimer, WhichMouseEventsAnimate) {
  TsSkinManager* M = Create<TsSkinManager>(nullptr);
  M->AnimEffects()->Buttons()->SetEvents({beMouseEnter, beMouseUp});
  const struct {
    TvkBtnEvent Event;
    TvkAnimatEvents Events;
    bool Expected;
  } Cases[] = {
      {beMouseDown, {aeMouseDown}, true},       {beMouseDown, {aeGlobalDef}, false},
      {beMouseEnter, {aeGlobalDef}, true},      {beMouseUp, {aeGlobalDef}, true},
      {beMouseLeave, {aeMouseEnter}, false},    {beMouseLeave, {}, false},
  };
  for (const auto& C : Cases) EXPECT_EQ(AnimEventEnabled(C.Event, C.Events, nullptr), C.Expected) << C.Event;
  M->Free();
  EXPECT_FALSE(AnimEventEnabled(beMouseEnter, {aeGlobalDef}, nullptr));  // no manager at all
}
