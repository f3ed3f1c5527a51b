// The system a run of these tests stands on. KRL_WINDOWS_VERSION=win10 marks the run in the Windows 10 prefix
// (else the main Windows 7 one); KRL_COMPOSITION=on or off makes the composition query answer TRUE or FALSE for
// every test of the run, platform resets included.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "framework/LateBinding.h"
#include "framework/Platform.h"
#include "skin/core/vkFormServices.h"

namespace {

std::string Env(const char* Name) {
  const char* V = std::getenv(Name);
  return V != nullptr ? V : "";
}

HRESULT WINAPI Composed(BOOL* On) {
  *On = TRUE;
  return S_OK;
}
HRESULT WINAPI NotComposed(BOOL* On) {
  *On = FALSE;
  return S_OK;
}

void ApplyCompositionSwitch() {
  const std::string A = Env("KRL_COMPOSITION");
  if (A == "on") DwmIsCompositionEnabledEntry().Replace(Composed);
  if (A == "off") DwmIsCompositionEnabledEntry().Replace(NotComposed);
}

class CompositionSwitch : public testing::Environment {
 public:
  void SetUp() override {
    ApplyCompositionSwitch();
    // registered after the late-bound entries' own hook, so it runs after their reset
    AddResetHook(ApplyCompositionSwitch);
  }
};
[[maybe_unused]] testing::Environment* const g_switch = testing::AddGlobalTestEnvironment(new CompositionSwitch);

}  // namespace

TEST(SystemRun, VersionAndCompositionAreThoseTheRunWasStartedFor) {
  const bool Win10 = Env("KRL_WINDOWS_VERSION") == "win10";
  const std::string Answer = Env("KRL_COMPOSITION");
  ASSERT_TRUE(Answer.empty() || Answer == "on" || Answer == "off") << "KRL_COMPOSITION=" << Answer;
  OSVERSIONINFOA V{};
  V.dwOSVersionInfoSize = sizeof V;
  ASSERT_TRUE(GetVersionExA(&V));
  // a program without a manifest naming newer systems is told 6.2 by Windows 10
  EXPECT_EQ(V.dwMajorVersion, 6u);
  EXPECT_EQ(V.dwMinorVersion, Win10 ? 2u : 1u);
  // the system's own answer, past the switch
  using TQuery = HRESULT(WINAPI*)(BOOL*);
  auto Query = reinterpret_cast<TQuery>(
      reinterpret_cast<void*>(GetProcAddress(LoadSystemLibrary("dwmapi.dll"), "DwmIsCompositionEnabled")));
  ASSERT_NE(Query, nullptr);
  BOOL On = FALSE;
  ASSERT_EQ(Query(&On), S_OK);
  EXPECT_EQ(On != FALSE, Win10);
  ResetPlatform();
  EXPECT_EQ(IsDwmCompositionActive(), Answer.empty() ? Win10 : Answer == "on");
}
