// The class names the form hook never skins: exact names only, built at start-up, gone at shut-down.
#include <gtest/gtest.h>

#include "framework/Classes.h"
#include "skin/core/vkExcludedClasses.h"

TEST(ExcludedClasses, SevenNamesComparedWithLetterCase) {
  EXPECT_FALSE(IsExcludedWindowClass("TApplication"));  // nothing before start-up
  ExcludedClassesInitialize();
  ASSERT_NE(ExcludedWindowClasses, nullptr);
  EXPECT_EQ(ExcludedWindowClasses->Count(), 7);
  EXPECT_TRUE(ExcludedWindowClasses->Sorted());
  for (const char* Name : {"TApplication", "TfcPopup", "TcxComboBoxPopupWindow", "TcxCustomPopupWindow",
                           "TdxPopupEditForm", "TcxDateEditPopupWindow", "TcxGridFilterPopup"})
    EXPECT_TRUE(IsExcludedWindowClass(Name)) << Name;
  for (const char* Name : {"tapplication", "TAPPLICATION", "TApplication2", "TForm", ""})
    EXPECT_FALSE(IsExcludedWindowClass(Name)) << Name;
  ExcludedClassesFinalize();
  EXPECT_EQ(ExcludedWindowClasses, nullptr);
  EXPECT_FALSE(IsExcludedWindowClass("TApplication"));
}
