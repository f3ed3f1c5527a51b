// Small units of the library that only set up globals at program start (and clear them at the end).
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <initializer_list>
#include <string>

#include "framework/Classes.h"

// A folder of the shell's namespace with its item-id lists (allocated through the shell allocator).
// Only the desktop root is made here.
class TvkShellFolder : public TObject {
  DECLARE_CLASS(TvkShellFolder, TObject)
public:
  // The desktop root: its item list is CSIDL_DESKTOP's and its folder the desktop folder.
  static TvkShellFolder* CreateDesktopRoot();
  TvkShellFolder() = default;
  ~TvkShellFolder() override;
  LPITEMIDLIST RelativeID() const { return FRelativeID; }
  LPITEMIDLIST AbsoluteID() const { return FAbsoluteID; }
  int Level() const { return FLevel; }
  TStringList* Details() const { return FDetails; }
  TvkShellFolder* Parent() const { return FParent; }
  IShellFolder* ShellFolder() const { return FShellFolder; }

private:
  LPITEMIDLIST FRelativeID = nullptr;
  LPITEMIDLIST FAbsoluteID = nullptr;
  int FLevel = 0;
  TStringList* FDetails = nullptr;
  TvkShellFolder* FParent = nullptr;
  IShellFolder* FShellFolder = nullptr;
  IUnknown* FFolder2 = nullptr;
  IUnknown* FDetailsInterface = nullptr;
};

// Byte size of an item-id list including its 2-byte terminator; 0 for nil.
UINT ItemIdListSize(LPCITEMIDLIST List);
// A zero-filled copy through the shell allocator; nil for nil.
LPITEMIDLIST CopyItemIdList(LPCITEMIDLIST List);
void FreeItemIdList(LPITEMIDLIST& List);

class TsAlphaImageList;

// Set up by the shell-controls unit: the desktop root folder (nil when the shell gave none), a critical
// section for the shell lists and the shell's small system images (nil when the shell gave no list).
extern TvkShellFolder* ShellDesktopRoot;
extern TsAlphaImageList* ShellSmallImages;
extern CRITICAL_SECTION* ShellListLock;
void vkShellCtrlsInitialize();
void vkShellCtrlsFinalize();

// The upper-cased short date format contains "YYYY".
extern bool FourDigitYears;
void DateHelpersInitialize();

// comctl32's "Today:" word of the calendar ("Today: " when missing or empty).
extern std::string sCalendarToday;
void CalendarWordsInitialize();
void CalendarWordsFinalize();

// user32's strings 905 ("Close") and 900.
extern std::string sUser32Close, sUser32Word900;
void User32WordsInitialize();
void User32WordsFinalize();

// The library's glyph images: the PNG resources "SF", "SR", "SD", "SE", "SC" in a 32 x 16 list, built once.
extern TsAlphaImageList* ResourceGlyphList;
// A list of 32 x 16 images from the module's PNG resources of those names: a missing one is left out, one that
// does not decode keeps its place as a blank image.
TsAlphaImageList* BuildResourceGlyphList(HMODULE Module, std::initializer_list<const char*> Names);
// Raises nothing: a list that cannot be built is reported to the application's handler and left nil.
void ResourceGlyphListInitialize();
void ResourceGlyphListFinalize();
