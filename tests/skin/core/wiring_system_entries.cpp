// System reads of the utilities that change or keep process-wide state: the minimise animation and the
// kept answer about desktop composition.
#include <gtest/gtest.h>

#include <vector>

#include "framework/Platform.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntUtils.h"

namespace {

struct AnimationCall {
  UINT action, param;
  UINT size;
  int minAnimate;
  UINT winIni;
};

}  // namespace

TEST(UtilsSystemEntries, MinimiseAnimationIsReadAndSetWithoutABroadcast) {
  std::vector<AnimationCall> calls;
  int systemMinAnimate = 1;
  BOOL answer = TRUE;
  Platform().SystemParametersInfoA = [&](UINT action, UINT param, void* data, UINT winIni) {
    auto* info = static_cast<ANIMATIONINFO*>(data);
    calls.push_back({action, param, info->cbSize, info->iMinAnimate, winIni});
    if (action == SPI_GETANIMATION) info->iMinAnimate = systemMinAnimate;
    if (action == SPI_SETANIMATION) systemMinAnimate = info->iMinAnimate;
    return answer;
  };
  EXPECT_TRUE(MinimizeAnimationEnabled());
  SetMinimizeAnimation(false);
  EXPECT_FALSE(MinimizeAnimationEnabled());
  SetMinimizeAnimation(true);
  EXPECT_EQ(systemMinAnimate, -1);
  EXPECT_TRUE(MinimizeAnimationEnabled());
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[1].action, static_cast<UINT>(SPI_SETANIMATION));
  EXPECT_EQ(calls[1].minAnimate, 0);
  for (const AnimationCall& c : calls) {
    EXPECT_EQ(c.param, 8u);
    EXPECT_EQ(c.size, 8u);
    EXPECT_EQ(c.winIni, 0u);  // the setting is not written to the profile nor broadcast
  }
  // A failing read means off, whatever the structure holds.
  answer = FALSE;
  EXPECT_FALSE(MinimizeAnimationEnabled());
  ResetPlatform();
}

TEST(UtilsSystemEntries, CompositionIsFalseBeforeWindows6AndTheAnswerIsKept) {
  int asked = 0;
  Platform().GetVersionExA = [&](OSVERSIONINFOA* info) {
    ++asked;
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 1;
    return TRUE;
  };
  EXPECT_FALSE(IsDwmCompositionActive());
  EXPECT_FALSE(IsDwmCompositionActive());
  EXPECT_EQ(asked, 1);  // asked once, then kept
  // A platform reset forgets the kept answer; a failing version query also means no composition.
  ResetPlatform();
  Platform().GetVersionExA = [&](OSVERSIONINFOA*) {
    ++asked;
    return FALSE;
  };
  EXPECT_FALSE(IsDwmCompositionActive());
  EXPECT_EQ(asked, 2);
  ResetPlatform();
}
