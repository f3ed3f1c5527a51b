#include "skin/controls/sGauge.h"

#include <gtest/gtest.h>

TEST(PlainGauge, ProgressIsClampedAndChangeReportedOnlyOnChange) {
  TsGauge* gauge = new TsGauge(nullptr);
  int changes = 0;
  gauge->OnChange = [&](TObject*) { ++changes; };
  gauge->SetMaxValue(60000);
  gauge->SetProgress(1000000);
  EXPECT_EQ(gauge->Progress(), 60000);
  EXPECT_EQ(changes, 1);
  gauge->SetProgress(60001);  // already at the maximum: nothing happens
  EXPECT_EQ(changes, 1);
  gauge->SetProgress(-5);
  EXPECT_EQ(gauge->Progress(), 0);
  EXPECT_EQ(changes, 2);
  gauge->Free();
}

TEST(PlainGauge, RepaintsOnlyWhenThePercentChanges) {
  TsGauge* gauge = new TsGauge(nullptr);
  gauge->SetMaxValue(1000000);
  const int before = gauge->RepaintCount();
  for (int i = 1; i <= 1000000; i += 7) gauge->SetProgress(i);
  gauge->SetProgress(1000000);
  EXPECT_LE(gauge->RepaintCount() - before, 101);
  EXPECT_EQ(gauge->PercentDone(), 100);
  gauge->Free();
}

TEST(PlainGauge, RangeEdges) {
  TsGauge* gauge = new TsGauge(nullptr);
  gauge->SetProgress(80);
  gauge->SetMaxValue(50);  // pulls the position down
  EXPECT_EQ(gauge->Progress(), 50);
  gauge->SetMinValue(50);
  EXPECT_EQ(gauge->PercentDone(), 0);  // an empty range shows 0
  try {
    gauge->SetMaxValue(10);
    FAIL() << "a maximum below the minimum must be refused";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Value must be between 51 and 2147483647");
  }
  try {
    gauge->SetMinValue(70);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Value must be between -2147483647 and 49");
  }
  gauge->Free();
}

