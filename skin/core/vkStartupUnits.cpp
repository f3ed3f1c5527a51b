#include "skin/core/vkStartupUnits.h"

#include <cstring>
#include <new>

#include "framework/Platform.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/System.h"
#include "skin/core/sConst.h"
#include "skin/core/vkAlphaImageList.h"
#include "skin/core/vkntUtils.h"

TvkShellFolder* ShellDesktopRoot = nullptr;
TsAlphaImageList* ShellSmallImages = nullptr;
TsAlphaImageList* ResourceGlyphList = nullptr;
CRITICAL_SECTION* ShellListLock = nullptr;
bool FourDigitYears = false;
std::string sCalendarToday;
std::string sUser32Close, sUser32Word900;

namespace {

bool g_OleStarted = false;

std::string DllString(const char* Dll, UINT Id) {
  std::string S;
  if (HMODULE Module = LoadSystemStringModule(Dll)) {
    char Buffer[512] = {};
    int Length = Platform().LoadStringA(Module, Id, Buffer, sizeof(Buffer));
    if (Length > 0) S.assign(Buffer, static_cast<size_t>(Length));
    FreeLibrary(Module);
  }
  return S;
}

}  // namespace

// ---- item-id lists ----

UINT ItemIdListSize(LPCITEMIDLIST List) {
  if (List == nullptr) return 0;
  UINT Size = 0;
  auto* P = reinterpret_cast<const BYTE*>(List);
  for (USHORT Cb; (std::memcpy(&Cb, P + Size, sizeof(Cb)), Cb) != 0;) Size += Cb;
  return Size + 2;
}

LPITEMIDLIST CopyItemIdList(LPCITEMIDLIST List) {
  if (List == nullptr) return nullptr;
  const UINT Size = ItemIdListSize(List);
  IMalloc* Malloc = nullptr;
  if (FAILED(SHGetMalloc(&Malloc))) return nullptr;
  auto* Copy = static_cast<LPITEMIDLIST>(Malloc->Alloc(Size));
  Malloc->Release();
  if (Copy == nullptr) throw std::bad_alloc();
  std::memset(Copy, 0, Size);
  std::memcpy(Copy, List, Size);
  return Copy;
}

void FreeItemIdList(LPITEMIDLIST& List) {
  if (List == nullptr) return;
  IMalloc* Malloc = nullptr;
  if (SUCCEEDED(SHGetMalloc(&Malloc))) {
    Malloc->Free(List);
    Malloc->Release();
  }
  List = nullptr;
}

// ---- the shell folder ----

IMPLEMENT_CLASS(TvkShellFolder)

TvkShellFolder* TvkShellFolder::CreateDesktopRoot() {
  LPITEMIDLIST Desktop = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &Desktop))) return nullptr;
  auto* Root = new TvkShellFolder();
  Root->FRelativeID = CopyItemIdList(Desktop);
  Root->FAbsoluteID = CopyItemIdList(Desktop);
  FreeItemIdList(Desktop);
  Root->FDetails = new TStringList();
  if (FAILED(SHGetDesktopFolder(&Root->FShellFolder))) Root->FShellFolder = nullptr;
  return Root;
}

TvkShellFolder::~TvkShellFolder() {
  FreeAndNil(FDetails);
  FreeItemIdList(FRelativeID);
  FreeItemIdList(FAbsoluteID);
  if (FShellFolder != nullptr) FShellFolder->Release();
  if (FFolder2 != nullptr) FFolder2->Release();
  if (FDetailsInterface != nullptr) FDetailsInterface->Release();
}

void vkShellCtrlsInitialize() {
  LoadShellFileInfoEntry();
  ShellDesktopRoot = TvkShellFolder::CreateDesktopRoot();
  ShellListLock = new CRITICAL_SECTION;
  InitializeCriticalSection(ShellListLock);
  g_OleStarted = SUCCEEDED(OleInitialize(nullptr));
  if (UtilsEntries.SHGetFileInfoA == nullptr) return;
  SHFILEINFOA Info{};
  auto System = reinterpret_cast<HIMAGELIST>(
      UtilsEntries.SHGetFileInfoA("", 0, &Info, sizeof Info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  if (System == nullptr) return;
  // the shell's list stays the shell's: shared, never destroyed here
  ShellSmallImages = Create<TsAlphaImageList>(nullptr);
  ShellSmallImages->SetShareImages(true);
  ShellSmallImages->SetHandle(System);
  ShellSmallImages->SetBkColor(clNone);
}

void vkShellCtrlsFinalize() {
  FreeAndNil(ShellSmallImages);
  FreeAndNil(ShellDesktopRoot);
  if (ShellListLock != nullptr) {
    DeleteCriticalSection(ShellListLock);
    delete ShellListLock;
    ShellListLock = nullptr;
  }
  if (g_OleStarted) OleUninitialize();
  g_OleStarted = false;
}

// ---- words and formats ----

void DateHelpersInitialize() {
  char Format[80] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, Format, sizeof(Format));
  FourDigitYears = UpperCase(Format).find("YYYY") != std::string::npos;
}

void CalendarWordsInitialize() {
  sCalendarToday = DllString("comctl32.dll", 4163);
  if (sCalendarToday.empty()) sCalendarToday = "Today: ";
}
void CalendarWordsFinalize() { sCalendarToday.clear(); }

void User32WordsInitialize() {
  sUser32Close = DllString("user32.dll", 905);
  sUser32Word900 = DllString("user32.dll", 900);
}
void User32WordsFinalize() {
  sUser32Close.clear();
  sUser32Word900.clear();
}

// ---- the library's glyph images ----

TsAlphaImageList* BuildResourceGlyphList(HMODULE Module, std::initializer_list<const char*> Names) {
  TsAlphaImageList* List = Create<TsAlphaImageList>(nullptr);
  try {
    List->SetWidth(32);
    List->SetHeight(16);
    for (const char* Name : Names) {
      if (!ResourceExists(Module, Name)) continue;
      TResourceStream Res(Module, Name);
      TsImgListItem* Item = List->Items()->Add();
      Item->SetImageName(Name);
      Item->SetImageFormat(ifPNG);
      Item->SetPixelFormat(pf32bit);
      Item->ImgData()->LoadFromStream(Res);
      Item->ImgData()->SetPosition(0);
    }
    List->BuildHandleImages();
  } catch (...) {
    List->Free();
    throw;
  }
  return List;
}

void ResourceGlyphListInitialize() {
  if (ResourceGlyphList != nullptr) return;
  // a start-up unit raises nothing: the program starts without the strips, and the failure is reported
  try {
    ResourceGlyphList = BuildResourceGlyphList(GetModuleHandleA(nullptr), {"SF", "SR", "SD", "SE", "SC"});
  } catch (const std::exception&) {
    HandleCurrentException();
  }
}

void ResourceGlyphListFinalize() { FreeAndNil(ResourceGlyphList); }
