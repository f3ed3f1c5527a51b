// Start-up-only units: the shell's desktop root, the words read from system DLLs and the images that must not
// stop start-up.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/Platform.h"
#include "skin/core/sSkinManagerStartup.h"
#include "skin/core/vkAlphaImageList.h"
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

// The test program carries "KRLBADPNG", a resource that is no PNG.
TEST(StartupUnits, ABadImageResourceStopsNoStartUp) {
  InitializeForms();
  std::vector<std::string> Reported;
  Platform().ExceptionSink = [&](const std::exception& E) { Reported.push_back(E.what()); };
  const HMODULE Self = GetModuleHandleA(nullptr);
  // a glyph strip that does not decode keeps its place, blank; one that is missing is left out
  TsAlphaImageList* List = nullptr;
  ASSERT_NO_THROW(List = BuildResourceGlyphList(Self, {"SF", "KRLBADPNG", "NOSUCHNAME", "SC"}));
  ASSERT_NE(List, nullptr);
  EXPECT_EQ(List->Items()->Count(), 3);
  EXPECT_EQ(List->Count(), 3);
  EXPECT_EQ(List->Items()->Items(2)->ImageName(), "SC");
  List->Free();
  // a window shadow that does not decode is no image, and the failure is reported
  TBitmap* Shadow = nullptr;
  ASSERT_NO_THROW(Shadow = LoadShadowBitmap(Self, "KRLBADPNG"));
  EXPECT_EQ(Shadow, nullptr);
  EXPECT_EQ(Reported.size(), 1u);
  EXPECT_EQ(LoadShadowBitmap(Self, "NOSUCHNAME"), nullptr);
  TBitmap* Good = LoadShadowBitmap(Self, "vkSHDA");
  ASSERT_NE(Good, nullptr);
  EXPECT_EQ(Good->Width(), 40);
  Good->Free();
  EXPECT_EQ(Reported.size(), 1u);
  ResetPlatform();
  FinalizeForms();
}
