// Values the library reads from the system once at start-up: the version level that decides
// version-dependent drawing, frame and scroll-bar metrics, and the interface words taken from system
// DLLs' string tables (so they read in the installed system's language), with the program's own
// English strings as fall-back.
#pragma once
#include <windows.h>

#include <string>

// A form, control or window whose Tag holds these bits is never skinned (the library's own helper windows).
constexpr int NoSkinTag = 256;

// 8 for 6.2 and for major versions 7 and later (10.0 included); otherwise the major version.
extern int WindowsVersionLevel;
int VersionLevelOf(DWORD Major, DWORD Minor);

extern int SysScrollWidth;
extern int SysFrameWidth;
extern int SysDlgFrameWidth;
extern int SysCaptionHeight;
extern int SysSmallCaptionHeight;
// Reads the five metrics again (the form skinner calls it before painting a frame).
void ReadSystemMetrics();

// ---- interface words, in the order they are loaded ----
extern std::string sMsgDlgOK, sMsgDlgCancel, sMsgDlgHelp, sMsgDlgClose;
extern std::string sAddToCustomColors;
extern std::string sDefineColors, sAdditionalColors, sDecimalLabel, sRootLabel, sCreateCaption;
extern std::string sRestore, sSize, sMove, sMaximize, sMinimize;
extern std::string sCalculator;
extern std::string sFileOpen, sSelectDirectory, sRedLabel, sGreenLabel, sBlueLabel;
extern std::string sColorCaption;
extern std::string sHexLabel;
extern std::string sFontCaption, sFontColorLabel;
extern std::string sInvalidDate, sAvailableStyles, sInternalLabel;
extern std::string sSkinsDirectoryLabel, sSelectSkinCaption, sSkinPreviewCaption;
extern std::string sFrameAdapterMisplaced;

// Only when Module is loaded: S := string Id of Module, with Suffix appended when found; when not found
// and FallbackId is not 0, S := the program's string FallbackId. A null Module leaves S empty.
void LoadSysString(std::string& S, HMODULE Module, UINT Id, const std::string& Suffix, UINT FallbackId);
// The same with a literal fall-back text.
void LoadSysStringOr(std::string& S, HMODULE Module, UINT Id, const std::string& Suffix,
                     const std::string& FallbackText);
// The program's own string Id ("" when missing).
std::string ProgramString(UINT Id);
// A system DLL opened for its string tables only: the file of that name in the system folder, mapped as data,
// so that neither a file of that name elsewhere on the search path nor the DLL's own start-up code runs. Nil
// when it is missing; freed with FreeLibrary.
HMODULE LoadSystemStringModule(const char* Dll);

// Unit start-up: version level, metrics, then the words group by group (each DLL loaded, read, freed).
void sConstInitialize();
void sConstFinalize();

// How a label opens a link: the ordinal is the show command handed to ShellExecuteA (0 to 10).
enum TsWindowShowMode {
  soHide, soNormal, soShowMinimized, soMaximize, soShowNoActivate, soShow, soMinimize, soShowMinNoActive, soShowNA,
  soRestore, soDefault
};
