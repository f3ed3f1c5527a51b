// DLLs placed beside the program never run: the program imports at start only the system's core DLLs and takes
// every other DLL, and the DLLs those need, from the system folder. A copy of the program is run from a folder
// holding a marker DLL (it leaves a file when it runs) under the name of every DLL the program loads, up to its
// file dialog, which brings in the most.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tests/support/MessagePump.h"
#include "tests/support/SkinFolder.h"

using testing_support::ProgramFolder;

namespace {

// <build>/app, where the program is built.
std::string LoaderExe() { return ProgramFolder() + "..\\..\\app\\KRLBootloader.exe"; }

std::string Lower(std::string S) {
  for (char& C : S) C = static_cast<char>(tolower(static_cast<unsigned char>(C)));
  return S;
}

// A scratch folder, removed with its files at the end.
class Scratch {
public:
  Scratch() {
    char Temp[MAX_PATH];
    GetTempPathA(MAX_PATH, Temp);
    FPath = std::string(Temp) + "krl_planted_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++Counter()) + "\\";
    CreateDirectoryA(FPath.c_str(), nullptr);
  }
  ~Scratch() {
    for (const std::string& Name : Files()) DeleteFileA((FPath + Name).c_str());
    RemoveDirectoryA(FPath.c_str());
  }
  const std::string& Path() const { return FPath; }
  std::vector<std::string> Files() const {
    std::vector<std::string> Out;
    WIN32_FIND_DATAA Found;
    HANDLE Find = FindFirstFileA((FPath + "*").c_str(), &Found);
    if (Find == INVALID_HANDLE_VALUE) return Out;
    do
      if (!(Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) Out.push_back(Found.cFileName);
    while (FindNextFileA(Find, &Found));
    FindClose(Find);
    return Out;
  }

private:
  static int& Counter() {
    static int N = 0;
    return N;
  }
  std::string FPath;
};

struct WindowQuery {
  DWORD Pid;
  std::string Class;
  HWND Found = nullptr;
};

BOOL CALLBACK MatchTopWindow(HWND W, LPARAM L) {
  auto* Q = reinterpret_cast<WindowQuery*>(L);
  DWORD Owner = 0;
  GetWindowThreadProcessId(W, &Owner);
  char Class[64] = {};
  GetClassNameA(W, Class, sizeof Class);
  if (Owner != Q->Pid || !IsWindowVisible(W) || Q->Class != Class) return TRUE;
  Q->Found = W;
  return FALSE;
}

// A visible top-level window of the process with that class.
HWND TopWindowOf(DWORD Pid, const char* Class) {
  WindowQuery Q{Pid, Class};
  EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&Q));
  return Q.Found;
}

struct ChildQuery {
  std::string Text;
  HWND Found = nullptr;
};

BOOL CALLBACK MatchChildText(HWND W, LPARAM L) {
  auto* Q = reinterpret_cast<ChildQuery*>(L);
  char Text[128] = {};
  GetWindowTextA(W, Text, sizeof Text);
  if (Q->Text != Text) return TRUE;
  Q->Found = W;
  return FALSE;
}

HWND ChildWithText(HWND Parent, const std::string& Text) {
  ChildQuery Q{Text};
  EnumChildWindows(Parent, MatchChildText, reinterpret_cast<LPARAM>(&Q));
  return Q.Found;
}

// The base names of the DLLs loaded in the process.
std::set<std::string> ModulesOf(DWORD Pid) {
  std::set<std::string> Out;
  HANDLE Snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, Pid);
  if (Snap == INVALID_HANDLE_VALUE) return Out;
  MODULEENTRY32 M{};
  M.dwSize = sizeof M;
  for (BOOL More = Module32First(Snap, &M); More; More = Module32Next(Snap, &M)) Out.insert(Lower(M.szModule));
  CloseHandle(Snap);
  return Out;
}

// Runs the program from Folder up to its file dialog and back out; the DLLs loaded when the dialog shows.
std::set<std::string> RunUpToTheFileDialog(const std::string& Folder) {
  STARTUPINFOA Start{};
  Start.cb = sizeof Start;
  PROCESS_INFORMATION Process{};
  std::string Command = "\"" + Folder + "KRLBootloader.exe\"";
  if (!CreateProcessA(nullptr, Command.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder.c_str(), &Start,
                      &Process)) {
    ADD_FAILURE() << "the program did not start: " << GetLastError();
    return {};
  }
  std::set<std::string> Loaded;
  const DWORD Pid = Process.dwProcessId;
  HWND Main = nullptr, Dialog = nullptr;
  const bool Shown = testing_support::PumpUntil([&] { return (Main = TopWindowOf(Pid, "TMainForm")) != nullptr; }, 60000);
  EXPECT_TRUE(Shown) << "the main window never showed";
  if (Shown) {
    // The open button of the service view works while the view is folded away.
    const HWND Open = ChildWithText(Main, "Відкрити");
    EXPECT_NE(Open, nullptr);
    if (Open != nullptr) PostMessageA(Open, BM_CLICK, 0, 0);
    EXPECT_TRUE(testing_support::PumpUntil([&] { return (Dialog = TopWindowOf(Pid, "#32770")) != nullptr; }, 60000))
        << "the file dialog never showed";
    WaitForInputIdle(Process.hProcess, 60000);
    Loaded = ModulesOf(Pid);
    if (Dialog != nullptr) PostMessageA(Dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(testing_support::PumpUntil([&] { return TopWindowOf(Pid, "#32770") == nullptr; }, 60000));
    PostMessageA(Main, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(Process.hProcess, 60000) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "the program did not end";
    TerminateProcess(Process.hProcess, 1);
    WaitForSingleObject(Process.hProcess, 60000);
  }
  CloseHandle(Process.hThread);
  CloseHandle(Process.hProcess);
  return Loaded;
}

// The DLLs named in the import directory of a PE file, lower case; empty when the file cannot be read.
std::set<std::string> StaticImportsOf(const std::string& File) {
  HANDLE H = CreateFileA(File.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (H == INVALID_HANDLE_VALUE) return {};
  std::vector<uint8_t> Bytes(GetFileSize(H, nullptr));
  DWORD Got = 0;
  const bool Read = ReadFile(H, Bytes.data(), static_cast<DWORD>(Bytes.size()), &Got, nullptr) && Got == Bytes.size();
  CloseHandle(H);
  if (!Read || Bytes.size() < sizeof(IMAGE_DOS_HEADER)) return {};
  auto At = [&](size_t Offset, size_t Size) { return Offset + Size <= Bytes.size() ? &Bytes[Offset] : nullptr; };
  const auto* Dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(Bytes.data());
  const auto* Nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(At(Dos->e_lfanew, sizeof(IMAGE_NT_HEADERS32)));
  if (Nt == nullptr) return {};
  const auto* Sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
      At(Dos->e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + Nt->FileHeader.SizeOfOptionalHeader,
         Nt->FileHeader.NumberOfSections * sizeof(IMAGE_SECTION_HEADER)));
  if (Sections == nullptr) return {};
  auto FileOffset = [&](DWORD Rva) -> size_t {
    for (int i = 0; i < Nt->FileHeader.NumberOfSections; ++i)
      if (Rva >= Sections[i].VirtualAddress && Rva < Sections[i].VirtualAddress + Sections[i].SizeOfRawData)
        return Rva - Sections[i].VirtualAddress + Sections[i].PointerToRawData;
    return Bytes.size();
  };
  std::set<std::string> Out;
  const DWORD Table = Nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (size_t At0 = FileOffset(Table);; At0 += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    const auto* D = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(At(At0, sizeof(IMAGE_IMPORT_DESCRIPTOR)));
    if (D == nullptr || D->Name == 0) break;
    const size_t Name = FileOffset(D->Name);
    if (Name >= Bytes.size()) break;
    Out.insert(Lower(std::string(reinterpret_cast<const char*>(&Bytes[Name]),
                                 strnlen(reinterpret_cast<const char*>(&Bytes[Name]), Bytes.size() - Name))));
  }
  return Out;
}

bool CopyInto(const std::string& From, const std::string& Folder, const std::string& Name) {
  return CopyFileA(From.c_str(), (Folder + Name).c_str(), FALSE) != 0;
}

}  // namespace

TEST(PlantedDlls, TheProgramImportsOnlyTheSystemsCoreAtStart) {
  const std::set<std::string> Imports = StaticImportsOf(LoaderExe());
  ASSERT_TRUE(Imports.count("kernel32.dll")) << "the program's import directory was not read";
  const std::set<std::string> Core = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll"};
  for (const std::string& Dll : Imports) EXPECT_TRUE(Core.count(Dll)) << Dll << " is imported at start";
}

TEST(PlantedDlls, NoDllBesideTheProgramRunsUpToItsFileDialog) {
  Scratch Plain;
  ASSERT_TRUE(CopyInto(LoaderExe(), Plain.Path(), "KRLBootloader.exe")) << LoaderExe();
  std::set<std::string> Names = RunUpToTheFileDialog(Plain.Path());
  ASSERT_TRUE(Names.count("comdlg32.dll")) << "the file dialog's DLL was not seen loaded";
  // Names some systems load on the way (the printing support of the file dialog, composition, the colour and
  // font words of the skin library) whether or not this one did.
  for (const char* Name : {"compstui.dll", "winspool.drv", "dwmapi.dll", "colorui.dll", "inetres.dll", "shcore.dll"})
    Names.insert(Name);
  Names.erase("krlbootloader.exe");

  Scratch Planted;
  ASSERT_TRUE(CopyInto(LoaderExe(), Planted.Path(), "KRLBootloader.exe"));
  for (const std::string& Name : Names)
    ASSERT_TRUE(CopyInto(ProgramFolder() + "krl_planted_marker.dll", Planted.Path(), Name)) << Name;
  const std::set<std::string> Loaded = RunUpToTheFileDialog(Planted.Path());
  EXPECT_TRUE(Loaded.count("comdlg32.dll"));
  for (const std::string& File : Planted.Files())
    EXPECT_FALSE(File.size() > 4 && File.substr(File.size() - 4) == ".ran")
        << File.substr(0, File.size() - 4) << " beside the program ran";
}
