// The library's units: nothing starts before them, they start between their neighbours and end in
// reverse, and registering twice changes nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Graphics.h"
#include "framework/Units.h"
#include "skin/core/vkLibraryUnits.h"
#include "skin/core/vkntUtils.h"
#include "skin/graphics/GdipFlat.h"
#include "skin/graphics/Gradients.h"
#include "skin/graphics/PngGraphic.h"
#include "skin/graphics/ToolkitStartup.h"

namespace {

// What each of the library's units leaves behind once started.
struct TStarted {
  bool utils, toolkit, gdip, gradients, png;
  static TStarted Now() {
    return {UtilsEntries.IsDebuggerPresent != nullptr, HasLayeredWindowApi(), GdipStarted(),
            GradientFillEntry() != nullptr, TPicture::FileFormatClass("png") == TPNGGraphic::StaticClassInfo()};
  }
  bool All() const { return utils && toolkit && gdip && gradients && png; }
  bool None() const { return !utils && !toolkit && !gdip && !gradients && !png; }
};

}  // namespace

// Each test runs in a process of its own, so the state seen first is the program's before start-up.
TEST(LibraryUnits, NothingStartsBeforeTheUnitsAreInitialised) {
  EXPECT_TRUE(TStarted::Now().None());
  RegisterSkinLibraryUnits();
  EXPECT_TRUE(TStarted::Now().None());
  InitializeUnits();
  EXPECT_TRUE(TStarted::Now().All());
  FinalizeUnits();
  EXPECT_TRUE(TStarted::Now().None());
}

TEST(LibraryUnits, StartBetweenTheirNeighboursAndEndInReverse) {
  std::vector<std::string> log;
  auto note = [&](const char* who) { return [&log, who] { log.push_back(who + std::string(TStarted::Now().All() ? " all" : TStarted::Now().None() ? " none" : " some")); }; };
  RegisterUnit("Forms", note("init Forms"), note("final Forms"));
  RegisterSkinLibraryUnits();
  RegisterUnit("Main", note("init Main"), note("final Main"));
  InitializeUnits();
  FinalizeUnits();
  const std::vector<std::string> expected = {"init Forms none", "init Main all", "final Main all",
                                             "final Forms none"};
  EXPECT_EQ(log, expected);
}

TEST(LibraryUnits, RegisteringTwiceOrBesideAnOldPngUnitChangesNothing) {
  int pngStarts = 0;
  // A program that still registers the "png" format as a unit of its own keeps it, and it runs once.
  RegisterUnit("PngGraphic", [&] { ++pngStarts; RegisterPngFormat(); }, UnregisterPngFormat);
  RegisterSkinLibraryUnits();
  EXPECT_NO_THROW(RegisterSkinLibraryUnits());
  InitializeUnits();
  InitializeUnits();
  EXPECT_EQ(pngStarts, 1);
  EXPECT_TRUE(TStarted::Now().All());
  FinalizeUnits();
  EXPECT_TRUE(TStarted::Now().None());
  // The counted start-ups are back at zero: a second run starts and ends everything again.
  RegisterSkinLibraryUnits();
  InitializeUnits();
  EXPECT_TRUE(TStarted::Now().All());
  FinalizeUnits();
  EXPECT_TRUE(TStarted::Now().None());
}
