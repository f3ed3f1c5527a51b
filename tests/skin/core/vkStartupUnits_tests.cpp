// Start-up-only units: the shell's desktop root and the words read from system DLLs.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/Platform.h"
#include "skin/core/vkStartupUnits.h"

TEST(StartupUnits, DesktopRootWithItsItemListsAndOle) {
  vkShellCtrlsInitialize();
  ASSERT_NE(ShellDesktopRoot, nullptr);
  EXPECT_EQ(ShellDesktopRoot->Level(), 0);
  EXPECT_EQ(ShellDesktopRoot->Parent(), nullptr);
  EXPECT_NE(ShellDesktopRoot->ShellFolder(), nullptr);
  // The desktop's list is the empty one: only its terminator.
  EXPECT_EQ(ItemIdListSize(ShellDesktopRoot->AbsoluteID()), 2u);
  EXPECT_NE(ShellListLock, nullptr);
  vkShellCtrlsFinalize();
  EXPECT_EQ(ShellDesktopRoot, nullptr);
  EXPECT_EQ(ShellListLock, nullptr);
}

TEST(StartupUnits, ItemListCopiesKeepEveryItemAndTheTerminator) {
  const BYTE List[] = {5, 0, 'a', 'b', 'c', 4, 0, 'd', 'e', 0, 0};
  auto Source = reinterpret_cast<LPCITEMIDLIST>(List);
  EXPECT_EQ(ItemIdListSize(Source), sizeof(List));
  EXPECT_EQ(ItemIdListSize(nullptr), 0u);
  LPITEMIDLIST Copy = CopyItemIdList(Source);
  ASSERT_NE(Copy, nullptr);
  EXPECT_EQ(std::memcmp(Copy, List, sizeof(List)), 0);
  FreeItemIdList(Copy);
  EXPECT_EQ(Copy, nullptr);
}

TEST(StartupUnits, CalendarWordFallsBackWhenMissingOrEmpty) {
  Platform().LoadStringA = [](HINSTANCE, UINT, char* Buffer, int) {
    Buffer[0] = 0;
    return 0;
  };
  CalendarWordsInitialize();
  EXPECT_EQ(sCalendarToday, "Today: ");
  Platform().LoadStringA = [](HINSTANCE, UINT Id, char* Buffer, int Size) {
    lstrcpynA(Buffer, Id == 4163 ? "Heute:" : "Schliessen", Size);
    return lstrlenA(Buffer);
  };
  CalendarWordsInitialize();
  User32WordsInitialize();
  EXPECT_EQ(sCalendarToday, "Heute:");
  EXPECT_EQ(sUser32Close, "Schliessen");
  CalendarWordsFinalize();
  User32WordsFinalize();
  EXPECT_EQ(sCalendarToday, "");
  EXPECT_EQ(sUser32Close, "");
  ResetPlatform();
}
