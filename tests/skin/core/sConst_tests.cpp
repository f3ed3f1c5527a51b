// Version level, interface words from system string tables with the program's fall-backs.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "framework/Platform.h"
#include "skin/core/sConst.h"
#include "skin/core/sStrings.h"
#include "tests/support/SkinFolder.h"

namespace {

// The file a module maps, lower-case: a data-file mapping has no module name, so the mapping is asked.
std::string MappedPath(HMODULE Module) {
  using TGetMappedFileName = DWORD(WINAPI*)(HANDLE, void*, char*, DWORD);
  static const auto Get = reinterpret_cast<TGetMappedFileName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetMappedFileNameA")));
  char Path[MAX_PATH] = {};
  void* Base = reinterpret_cast<void*>(reinterpret_cast<uintptr_t>(Module) & ~uintptr_t{3});
  if (Get == nullptr || Get(GetCurrentProcess(), Base, Path, MAX_PATH) == 0) GetModuleFileNameA(Module, Path, MAX_PATH);
  std::string S = Path;
  for (char& C : S) C = static_cast<char>(tolower(static_cast<unsigned char>(C)));
  return S;
}

std::string ModuleName(HMODULE Module) {
  const std::string S = MappedPath(Module);
  return S.substr(S.find_last_of("\\/") + 1);
}

// Every system module whose strings were asked for, with its handle.
std::vector<std::pair<HMODULE, std::string>> g_Asked;

// Answers "<dll>#<id>" for the strings a test lists, nothing for others; the program's own table is real.
void FakeStringTables(const std::map<std::string, std::vector<UINT>>& Present) {
  g_Asked.clear();
  Platform().LoadStringA = [Present](HINSTANCE Module, UINT Id, char* Buffer, int Size) -> int {
    if (Module == GetModuleHandleA(nullptr)) return ::LoadStringA(Module, Id, Buffer, Size);
    g_Asked.emplace_back(Module, MappedPath(Module));
    auto It = Present.find(ModuleName(Module));
    if (It == Present.end() || std::find(It->second.begin(), It->second.end(), Id) == It->second.end()) return 0;
    std::string S = It->first + "#" + std::to_string(Id);
    lstrcpynA(Buffer, S.c_str(), Size);
    return static_cast<int>(S.size());
  };
}

std::string SystemFolder() {
  char Folder[MAX_PATH] = {};
  GetSystemDirectoryA(Folder, MAX_PATH);
  std::string S = Folder;
  for (char& C : S) C = static_cast<char>(tolower(static_cast<unsigned char>(C)));
  return S;
}

// Whether the system folder holds the DLL (the words are read from there only).
bool DllPresent(const char* Dll) {
  return GetFileAttributesA((SystemFolder() + "\\" + Dll).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST(Constants, VersionLevelOfReportedVersions) {
  const struct {
    DWORD Major, Minor;
    int Level;
  } Cases[] = {{5, 1, 5}, {6, 0, 6}, {6, 1, 6}, {6, 2, 8}, {6, 3, 6}, {7, 0, 8}, {10, 0, 8}};
  for (const auto& C : Cases) EXPECT_EQ(VersionLevelOf(C.Major, C.Minor), C.Level) << C.Major << "." << C.Minor;
  Platform().GetVersionExA = [](OSVERSIONINFOA* Info) {
    Info->dwMajorVersion = 6;
    Info->dwMinorVersion = 2;
    return TRUE;
  };
  sConstInitialize();
  EXPECT_EQ(WindowsVersionLevel, 8);
  sConstFinalize();
  ResetPlatform();
}

TEST(Constants, LoadSysStringTakesSuffixOnlyOnFoundTextsAndNeedsTheDll) {
  FakeStringTables({{"user32.dll", {800}}});
  HMODULE User32 = GetModuleHandleA("user32.dll");
  std::string S;
  LoadSysString(S, nullptr, 800, ":", IDS_VK_OK);  // no DLL: untouched, no fall-back
  EXPECT_EQ(S, "");
  LoadSysString(S, User32, 800, ":", IDS_VK_OK);
  EXPECT_EQ(S, "user32.dll#800:");
  LoadSysString(S, User32, 801, ":", IDS_VK_CANCEL);  // missing: the program's string, no suffix
  EXPECT_EQ(S, "Cancel");
  S = "kept";
  LoadSysString(S, User32, 801, ":", 0);
  EXPECT_EQ(S, "kept");
  LoadSysStringOr(S, User32, 801, ":", "Root:");
  EXPECT_EQ(S, "Root:");
  LoadSysStringOr(S, nullptr, 801, ":", "Root:");
  EXPECT_EQ(S, "Root:");  // unchanged from before
  ResetPlatform();
}

TEST(Constants, InterfaceWordsFromTheSystemOrTheProgram) {
  // user32 has its words, comdlg32 lacks "Red", shell32 lacks the root label; missing DLLs leave theirs empty.
  FakeStringTables({{"user32.dll", {800, 801, 808, 905}},
                    {"comdlg32.dll", {436, 439, 1042, 1052}},
                    {"shell32.dll", {4151, 31153, 16514}},
                    {"comctl32.dll", {33056, 32768, 32784, 32816, 32800}},
                    {"colorui.dll", {1810}}});
  sConstInitialize();
  EXPECT_EQ(sMsgDlgOK, "user32.dll#800");
  EXPECT_EQ(sMsgDlgClose, "user32.dll#905");
  EXPECT_EQ(sGreenLabel, "comdlg32.dll#1042:");
  EXPECT_EQ(sRedLabel, "Red :");
  EXPECT_EQ(sDecimalLabel, "shell32.dll#16514 - ");
  EXPECT_EQ(sRootLabel, "Root:");
  EXPECT_EQ(sMaximize, "comctl32.dll#32816");
  EXPECT_EQ(sCalculator, "Calculator");
  EXPECT_EQ(sHexLabel, "Hex - ");
  EXPECT_EQ(sAddToCustomColors, DllPresent("colorui.dll") ? "colorui.dll#1810" : "");
  EXPECT_EQ(sFontColorLabel, DllPresent("inetres.dll") ? "Font color:" : "");
  EXPECT_EQ(sColorCaption, DllPresent("compstui.dll") ? "Color" : "");
  EXPECT_EQ(sInvalidDate, "Invalid date");
  EXPECT_EQ(sAvailableStyles, "Available styles");
  EXPECT_EQ(sInternalLabel, "(internal)");
  EXPECT_EQ(sFrameAdapterMisplaced, "TsFrameAdapter adapter must be placed on the handled frame");
  sConstFinalize();
  EXPECT_EQ(sMsgDlgOK, "");
  ResetPlatform();
}

TEST(Constants, WordsAreReadFromTheSystemFolderAsData) {
  // The build places a DLL named inetres.dll beside this program; the system has none of that name here.
  const std::string Beside = testing_support::ProgramFolder() + "inetres.dll";
  ASSERT_NE(GetFileAttributesA(Beside.c_str()), INVALID_FILE_ATTRIBUTES) << Beside;
  SetEnvironmentVariableA("KRL_PLANTED_DLL_RAN", nullptr);
  FakeStringTables({});
  sConstInitialize();
  sConstFinalize();
  ResetPlatform();
  char Ran[8] = {};
  EXPECT_EQ(GetEnvironmentVariableA("KRL_PLANTED_DLL_RAN", Ran, sizeof(Ran)), 0u) << "the planted DLL ran";
  ASSERT_FALSE(g_Asked.empty());
  const std::string Folder = "\\" + SystemFolder().substr(SystemFolder().find_last_of('\\') + 1) + "\\";
  // The program's folder as the mapped paths write it (lower case, without the drive).
  std::string ProgramFolder = Beside.substr(Beside.find(':') + 1, Beside.find_last_of('\\') - Beside.find(':'));
  for (char& C : ProgramFolder) C = static_cast<char>(tolower(static_cast<unsigned char>(C)));
  for (const auto& [Module, Path] : g_Asked) {
    const std::string Name = Path.substr(Path.find_last_of('\\') + 1);
    // A DLL the process already runs (comctl32 from the side-by-side store, say) is handed back as it is; any other
    // comes from the system folder, mapped as data.
    const bool Running = GetModuleHandleA(Name.c_str()) == Module;
    EXPECT_TRUE(Running || Path.find(Folder + Name) != std::string::npos) << Path;
    EXPECT_TRUE(Running || (reinterpret_cast<uintptr_t>(Module) & 3) != 0) << Path;
    EXPECT_EQ(Path.find(ProgramFolder), std::string::npos) << Path;
  }
}

TEST(Constants, EveryProgramStringIsInTheResources) {
  for (UINT Id = IDS_VK_OK; Id <= IDS_VK_FRAMEADAPTER; ++Id) EXPECT_FALSE(ProgramString(Id).empty()) << Id;
  EXPECT_EQ(ProgramString(IDS_VK_SKINPREVIEW), "Skin preview");
}
