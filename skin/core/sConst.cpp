#include "skin/core/sConst.h"

#include "framework/Platform.h"
#include "skin/core/sStrings.h"

int WindowsVersionLevel = 0;
int SysScrollWidth = 0;
int SysFrameWidth = 0;
int SysDlgFrameWidth = 0;
int SysCaptionHeight = 0;
int SysSmallCaptionHeight = 0;

std::string sMsgDlgOK, sMsgDlgCancel, sMsgDlgHelp, sMsgDlgClose;
std::string sAddToCustomColors;
std::string sDefineColors, sAdditionalColors, sDecimalLabel, sRootLabel, sCreateCaption;
std::string sRestore, sSize, sMove, sMaximize, sMinimize;
std::string sCalculator;
std::string sFileOpen, sSelectDirectory, sRedLabel, sGreenLabel, sBlueLabel;
std::string sColorCaption;
std::string sHexLabel;
std::string sFontCaption, sFontColorLabel;
std::string sInvalidDate, sAvailableStyles, sInternalLabel;
std::string sSkinsDirectoryLabel, sSelectSkinCaption, sSkinPreviewCaption;
std::string sFrameAdapterMisplaced;

int VersionLevelOf(DWORD Major, DWORD Minor) {
  if ((Major == 6 && Minor == 2) || Major >= 7) return 8;
  return static_cast<int>(Major);
}

void ReadSystemMetrics() {
  SysScrollWidth = GetSystemMetrics(SM_CXHSCROLL);
  SysFrameWidth = GetSystemMetrics(SM_CXFRAME);
  SysDlgFrameWidth = GetSystemMetrics(SM_CXDLGFRAME);
  SysCaptionHeight = GetSystemMetrics(SM_CYCAPTION);
  SysSmallCaptionHeight = GetSystemMetrics(SM_CYSMCAPTION);
}

namespace {

// A string of a module's table through the platform seam; "" when missing.
std::string ModuleString(HMODULE Module, UINT Id) {
  char Buffer[1024] = {};
  int Length = Platform().LoadStringA(Module, Id, Buffer, sizeof(Buffer));
  return Length > 0 ? std::string(Buffer, static_cast<size_t>(Length)) : std::string();
}

struct TWord {
  std::string* Target;
  UINT Id;
  const char* Suffix;
  UINT FallbackId;             // the program's string; 0 when the fall-back is literal
  const char* FallbackText;    // literal fall-back (LoadSysStringOr)
};
struct TWordGroup {
  const char* Dll;
  std::initializer_list<TWord> Words;
};

void LoadGroup(const TWordGroup& Group) {
  HMODULE Module = LoadSystemStringModule(Group.Dll);
  for (const TWord& W : Group.Words) {
    if (W.FallbackText != nullptr)
      LoadSysStringOr(*W.Target, Module, W.Id, W.Suffix, W.FallbackText);
    else
      LoadSysString(*W.Target, Module, W.Id, W.Suffix, W.FallbackId);
  }
  if (Module != nullptr) FreeLibrary(Module);
}

}  // namespace

std::string ProgramString(UINT Id) { return ModuleString(GetModuleHandleA(nullptr), Id); }

HMODULE LoadSystemStringModule(const char* Dll) {
  char Folder[MAX_PATH] = {};
  const UINT Length = GetSystemDirectoryA(Folder, MAX_PATH);
  if (Length == 0 || Length >= MAX_PATH) return nullptr;
  const std::string Path = std::string(Folder, Length) + "\\" + Dll;
  return LoadLibraryExA(Path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

void LoadSysString(std::string& S, HMODULE Module, UINT Id, const std::string& Suffix, UINT FallbackId) {
  if (Module == nullptr) return;
  std::string Found = ModuleString(Module, Id);
  if (!Found.empty())
    S = Found + Suffix;
  else if (FallbackId != 0)
    S = ProgramString(FallbackId);
}

void LoadSysStringOr(std::string& S, HMODULE Module, UINT Id, const std::string& Suffix,
                     const std::string& FallbackText) {
  if (Module == nullptr) return;
  std::string Found = ModuleString(Module, Id);
  S = Found.empty() ? FallbackText : Found + Suffix;
}

void sConstInitialize() {
  OSVERSIONINFOA Info{};
  Info.dwOSVersionInfoSize = sizeof(Info);
  if (Platform().GetVersionExA(&Info)) WindowsVersionLevel = VersionLevelOf(Info.dwMajorVersion, Info.dwMinorVersion);
  ReadSystemMetrics();

  const TWordGroup Groups[] = {
      {"user32.dll",
       {{&sMsgDlgOK, 800, "", IDS_VK_OK, nullptr},
        {&sMsgDlgCancel, 801, "", IDS_VK_CANCEL, nullptr},
        {&sMsgDlgHelp, 808, "", IDS_VK_HELP, nullptr},
        {&sMsgDlgClose, 905, "", IDS_VK_CLOSE, nullptr}}},
      {"colorui.dll", {{&sAddToCustomColors, 1810, "", IDS_VK_ADDTOCUSTOM, nullptr}}},
      {"shell32.dll",
       {{&sDefineColors, 4151, "", IDS_VK_DEFINECOLORS, nullptr},
        {&sAdditionalColors, 31153, ":", IDS_VK_ADDITIONALCOLORS, nullptr},
        {&sDecimalLabel, 16514, " - ", IDS_VK_DECIMAL, nullptr},
        {&sRootLabel, 33015, ":", 0, "Root:"},
        {&sCreateCaption, 4151, "", IDS_VK_CREATE, nullptr}}},
      {"comctl32.dll",
       {{&sRestore, 33056, "", IDS_VK_RESTORE, nullptr},
        {&sSize, 32768, "", IDS_VK_SIZE, nullptr},
        {&sMove, 32784, "", IDS_VK_MOVE, nullptr},
        {&sMaximize, 32816, "", IDS_VK_MAXIMIZE, nullptr},
        {&sMinimize, 32800, "", IDS_VK_MINIMIZE, nullptr}}},
  };
  for (const TWordGroup& G : Groups) LoadGroup(G);
  sCalculator = "Calculator";
  const TWordGroup Later[] = {
      {"comdlg32.dll",
       {{&sFileOpen, 436, "", IDS_VK_FILEOPEN, nullptr},
        {&sSelectDirectory, 439, "", IDS_VK_SELECTDIR, nullptr},
        {&sRedLabel, 1049, ":", IDS_VK_RED, nullptr},
        {&sGreenLabel, 1042, ":", IDS_VK_GREEN, nullptr},
        {&sBlueLabel, 1052, ":", IDS_VK_BLUE, nullptr}}},
      {"compstui.dll", {{&sColorCaption, 64744, "", IDS_VK_COLOR, nullptr}}},
  };
  for (const TWordGroup& G : Later) LoadGroup(G);
  sHexLabel = ProgramString(IDS_VK_HEX);
  LoadGroup({"inetres.dll",
             {{&sFontCaption, 1175, "", IDS_VK_FONT, nullptr}, {&sFontColorLabel, 5273, ":", 0, "Font color:"}}});

  sInvalidDate = ProgramString(IDS_VK_INVALIDDATE);
  if (sInvalidDate.empty()) sInvalidDate = "Invalid date";
  sAvailableStyles = ProgramString(IDS_VK_AVAILABLESTYLES);
  sInternalLabel = ProgramString(IDS_VK_INTERNAL);
  sSkinsDirectoryLabel = ProgramString(IDS_VK_SKINSDIR);
  sSelectSkinCaption = ProgramString(IDS_VK_SELECTSKIN);
  sSkinPreviewCaption = ProgramString(IDS_VK_SKINPREVIEW);
  sFrameAdapterMisplaced = ProgramString(IDS_VK_FRAMEADAPTER);
}

void sConstFinalize() {
  for (std::string* S :
       {&sMsgDlgOK, &sMsgDlgCancel, &sMsgDlgHelp, &sMsgDlgClose, &sAddToCustomColors, &sDefineColors,
        &sAdditionalColors, &sDecimalLabel, &sRootLabel, &sCreateCaption, &sRestore, &sSize, &sMove, &sMaximize,
        &sMinimize, &sCalculator, &sFileOpen, &sSelectDirectory, &sRedLabel, &sGreenLabel, &sBlueLabel,
        &sColorCaption, &sHexLabel, &sFontCaption, &sFontColorLabel, &sInvalidDate, &sAvailableStyles,
        &sInternalLabel, &sSkinsDirectoryLabel, &sSelectSkinCaption, &sSkinPreviewCaption, &sFrameAdapterMisplaced})
    S->clear();
}
