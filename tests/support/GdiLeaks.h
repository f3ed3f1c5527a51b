#pragma once
// Whether a piece of work, repeated, leaves GDI objects behind.
#include <gtest/gtest.h>

#include <functional>

#include "framework/GraphicsGdi.h"

namespace testing_support {

// Runs `work` `times` times and compares the process's GDI objects before and after, kind by kind.
inline testing::AssertionResult GivesBackGdiObjects(int times, const std::function<void()>& work) {
  const TGdiObjectCounts before = GdiObjectCounts();
  for (int i = 0; i < times; ++i) work();
  const TGdiObjectCounts after = GdiObjectCounts();
  if (after == before) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "GDI objects after " << times << " runs: " << after.ToString()
                                     << "; before: " << before.ToString();
}

}  // namespace testing_support
