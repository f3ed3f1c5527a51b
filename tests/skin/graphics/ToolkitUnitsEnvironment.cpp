// The toolkit's units run for the whole test program, as they do for the whole run of the loader
// (the loader starts them through its ordered units; this program has no such list).
#include <gtest/gtest.h>

#include "skin/graphics/GdipFlat.h"
#include "skin/graphics/Gradients.h"
#include "skin/graphics/PngGraphic.h"
#include "skin/graphics/ToolkitStartup.h"

namespace {

class ToolkitUnits : public testing::Environment {
 public:
  void SetUp() override {
    ToolkitStartup();
    GdipStartupUnit();
    GradientUnitStart();
    RegisterPngFormat();
  }
  void TearDown() override {
    UnregisterPngFormat();
    GradientUnitEnd();
    GdipShutdownUnit();
    ToolkitShutdown();
  }
};

[[maybe_unused]] testing::Environment* const g_units = testing::AddGlobalTestEnvironment(new ToolkitUnits);

}  // namespace
