// Library utilities that read the system: registry, late-bound entries, properties by name, delays, files,
// the minimise animation and the kept answer about desktop composition.
#include <gtest/gtest.h>

#include <vector>

#include "framework/Classes.h"
#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/GraphicsGdi.h"
#include "framework/Platform.h"
#include "framework/TypInfo.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntUtils.h"

namespace {

// A class publishing a set, an ordinal and an object property.
class TUtilsProbe : public TPersistent {
  DECLARE_CLASS(TUtilsProbe, TPersistent)
 public:
  int Options() const { return FOptions; }
  void SetOptions(int V) { FOptions = V; }
  int Level() const { return FLevel; }
  void SetLevel(int V) { FLevel = V; }
  TUtilsProbe* Child() const { return FChild; }
  int FOptions = 0;
  int FLevel = 3;
  TUtilsProbe* FChild = nullptr;
};

}  // namespace

PUBLISHED(TUtilsProbe) {
  p.Set("Options", &TUtilsProbe::Options, &TUtilsProbe::SetOptions, {"hoOwnerDraw", "hoDrag", "dghFixed3D", "hoOwnerDrawFixed"});
  p.Int("Level", &TUtilsProbe::Level, &TUtilsProbe::SetLevel);
  p.Object("Child", &TUtilsProbe::Child);
}

TEST(UtilsProps, ReadAndWriteByName) {
  TUtilsProbe Probe, Kid;
  Probe.FChild = &Kid;
  EXPECT_TRUE(ObjectHasProperty(&Probe, "Level"));
  EXPECT_FALSE(ObjectHasProperty(&Probe, "Nope"));
  EXPECT_FALSE(ObjectHasProperty(nullptr, "Level"));
  EXPECT_EQ(&Kid, ObjectPropOrNil(&Probe, "Child"));
  EXPECT_EQ(nullptr, ObjectPropOrNil(&Probe, "Nope"));
  EXPECT_EQ(3, OrdPropOrMinusOne(&Probe, "Level"));
  EXPECT_EQ(-1, OrdPropOrMinusOne(&Probe, "Nope"));
  SetOrdPropIfPresent(&Probe, "Level", 9);
  SetOrdPropIfPresent(&Probe, "Nope", 9);
  EXPECT_EQ(9, Probe.FLevel);
}

TEST(UtilsProps, SetElementsIncludedAndExcluded) {
  TUtilsProbe Probe;
  EXPECT_FALSE(SetPropContains(&Probe, "Options", "hoOwnerDraw"));
  SetPropIncludeExclude(&Probe, "Options", "hoOwnerDraw", true);  // into an empty set
  EXPECT_EQ(1, Probe.FOptions);
  SetPropIncludeExclude(&Probe, "Options", "dghFixed3D", true);
  EXPECT_EQ(5, Probe.FOptions);
  EXPECT_TRUE(SetPropContains(&Probe, "Options", "dghFixed3D"));
  EXPECT_FALSE(SetPropContains(&Probe, "Options", "hoDrag"));
  SetPropIncludeExclude(&Probe, "Options", "hoOwnerDraw", false);
  EXPECT_EQ(4, Probe.FOptions);
  SetPropIncludeExclude(&Probe, "Options", "dghFixed3D", false);
  EXPECT_EQ(0, Probe.FOptions);
  SetPropIncludeExclude(&Probe, "Options", "hoDrag", false);  // absent: nothing written
  EXPECT_EQ(0, Probe.FOptions);
  // Whole names only: an element whose name begins with another's is neither taken for it nor cut by it.
  Probe.FOptions = 8;  // hoOwnerDrawFixed
  SetPropIncludeExclude(&Probe, "Options", "hoOwnerDraw", false);
  EXPECT_EQ(8, Probe.FOptions);
  SetPropIncludeExclude(&Probe, "Options", "hoOwnerDraw", true);
  EXPECT_EQ(9, Probe.FOptions);
  SetPropIncludeExclude(&Probe, "Options", "hoOwnerDraw", false);
  EXPECT_EQ(8, Probe.FOptions);
  SetPropIncludeExclude(&Probe, "Missing", "hoDrag", true);
  EXPECT_FALSE(SetPropContains(&Probe, "Missing", "hoDrag"));
}

TEST(UtilsSystem, RegistryIntegers) {
  HKEY Key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\KrlUtilsTest", 0, nullptr, 0, KEY_WRITE,
                                           nullptr, &Key, nullptr));
  const DWORD V = 144;
  RegSetValueExA(Key, "AppliedDPI", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&V), sizeof(V));
  RegCloseKey(Key);
  EXPECT_EQ(144, ReadRegistryInteger(HKEY_CURRENT_USER, "Software\\KrlUtilsTest", "AppliedDPI"));
  EXPECT_EQ(0, ReadRegistryInteger(HKEY_CURRENT_USER, "Software\\KrlUtilsTest", "Missing"));
  EXPECT_EQ(0, ReadRegistryInteger(HKEY_CURRENT_USER, "Software\\KrlUtilsTestMissing", "AppliedDPI"));
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KrlUtilsTest");
}

TEST(UtilsSystem, LateBoundEntriesAndTheirMissingBranches) {
  vkntUtilsInitialize();
  EXPECT_NE(nullptr, UtilsEntries.IsDebuggerPresent);
  EXPECT_NE(nullptr, UtilsEntries.SHGetFileInfoA);
  const TvkUtilsEntries Saved = UtilsEntries;
  UtilsEntries.IsDebuggerPresent = nullptr;
  UtilsEntries.IsWow64Process = nullptr;
  UtilsEntries.SHGetFileInfoA = nullptr;
  EXPECT_TRUE(DebuggerPresentOrUnknown());
  EXPECT_FALSE(IsWow64ProcessSafe());
  char Exe[MAX_PATH];
  GetModuleFileNameA(nullptr, Exe, MAX_PATH);
  EXPECT_EQ(nullptr, FileShellIcon(Exe, SHGFI_SMALLICON));
  UtilsEntries = Saved;
  vkntUtilsFinalize();
  EXPECT_EQ(nullptr, UtilsEntries.IsDebuggerPresent);
}

TEST(UtilsSystem, FileShellIconOwnsTheIconOfAnExistingFile) {
  vkntUtilsInitialize();
  EXPECT_EQ(nullptr, FileShellIcon("Z:\\no\\such\\file.txt", SHGFI_SMALLICON));
  char Exe[MAX_PATH];
  GetModuleFileNameA(nullptr, Exe, MAX_PATH);
  const int Icons = GdiObjectCount(gkIcon);
  TIcon* Icon = FileShellIcon(Exe, SHGFI_SMALLICON);
  ASSERT_NE(nullptr, Icon);
  EXPECT_FALSE(Icon->Empty());
  EXPECT_EQ(Icons + 1, GdiObjectCount(gkIcon));
  Icon->Free();
  EXPECT_EQ(Icons, GdiObjectCount(gkIcon));
  vkntUtilsFinalize();
}

TEST(UtilsSystem, CaptionFontAndVersion) {
  EXPECT_NE(0, CaptionFontHeight());
  HFONT Font = CreateCaptionFont();
  EXPECT_NE(nullptr, Font);
  GdiFreeObject(Font);
  EXPECT_TRUE(WindowsIsXPOrNewer());
  Platform().GetVersionExA = [](OSVERSIONINFOA* I) {
    I->dwMajorVersion = 5;
    I->dwMinorVersion = 0;
    return TRUE;
  };
  EXPECT_FALSE(WindowsIsXPOrNewer());
  ResetPlatform();
}

TEST(UtilsSystem, WaitTicksEndsAcrossATickWrap) {
  DWORD Now = 0xFFFFFFF0u;
  int Calls = 0;
  Platform().GetTickCount = [&] {
    ++Calls;
    return Now += 4;
  };
  // Start + Ms lies beyond 2^32; a plain 64-bit comparison would wait forever once the counter wraps.
  WaitTicks(0xFFFFFFF0u, 0x20);
  ResetPlatform();
  EXPECT_EQ(8, Calls);
}

TEST(UtilsFiles, DirectoriesAndSearch) {
  char Temp[MAX_PATH];
  GetTempPathA(MAX_PATH, Temp);
  const std::string Dir = NormalizeDirPath(Temp) + "krl_utils_test";
  CreateDirectoryA(Dir.c_str(), nullptr);
  EXPECT_TRUE(DirExists(Dir));
  const std::string File = Dir + "\\one.dat";
  CloseHandle(CreateFileA(File.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  EXPECT_FALSE(DirExists(File));
  WIN32_FIND_DATAA Data;
  HANDLE Search = FindFirstFileEntry(Dir + "\\*.dat", Data);
  ASSERT_NE(INVALID_HANDLE_VALUE, Search);
  EXPECT_STREQ("one.dat", Data.cFileName);
  EXPECT_FALSE(FindNextFileEntry(Search, Data));
  FindCloseSearch(Search);
  DeleteFileA(File.c_str());
  RemoveDirectoryA(Dir.c_str());
  const std::string App = AppFolder();
  ASSERT_FALSE(App.empty());
  EXPECT_EQ('\\', App.back());
}

namespace {
int g_Posted = 0;
LRESULT CALLBACK CountingProc(HWND W, UINT M, WPARAM WP, LPARAM LP) {
  if (M == WM_USER + 7) ++g_Posted;
  return DefWindowProcA(W, M, WP, LP);
}
}  // namespace

TEST(UtilsSystem, WaitProcessingMessagesDispatchesAndEndsAcrossAWrap) {
  InitializeForms();
  WNDCLASSA Class{};
  Class.lpfnWndProc = CountingProc;
  Class.hInstance = GetModuleHandleA(nullptr);
  Class.lpszClassName = "KrlUtilsWaitProbe";
  RegisterClassA(&Class);
  HWND Wnd = CreateWindowA("KrlUtilsWaitProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, Class.hInstance, nullptr);
  ASSERT_NE(nullptr, Wnd);
  PostMessageA(Wnd, WM_USER + 7, 0, 0);
  DWORD Now = 0xFFFFFFFAu;
  Platform().GetTickCount = [&] { return Now += 3; };
  WaitProcessingMessages(9);  // starts 3 ticks before the wrap, ends 9 ticks later
  ResetPlatform();
  EXPECT_EQ(1, g_Posted);
  EXPECT_EQ(6u, Now);
  DestroyWindow(Wnd);
}

namespace {

struct AnimationCall {
  UINT action, param;
  UINT size;
  int minAnimate;
  UINT winIni;
};

}  // namespace

TEST(UtilsSystem, MinimiseAnimationIsReadAndSetWithoutABroadcast) {
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

TEST(UtilsSystem, CompositionIsFalseBeforeWindows6AndTheAnswerIsKept) {
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
