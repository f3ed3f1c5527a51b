#include "skin/core/vkntUtils.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include <shellapi.h>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/GraphicsGdi.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"
#include "framework/LateBinding.h"
#include "framework/Platform.h"
#include "skin/core/vkFormServices.h"

// ---- rectangles and points ----
TRect GraphicBoundsRect(TGraphic* Graphic) { return TRect{0, 0, Graphic->Width(), Graphic->Height()}; }

TPoint GraphicSizePoint(TGraphic* Graphic) { return TPoint{Graphic->Width(), Graphic->Height()}; }

void RectIntersection(const TRect& A, const TRect& B, TRect& R) {
  R.Left = std::max(A.Left, B.Left);
  R.Top = std::max(A.Top, B.Top);
  R.Right = std::min(A.Right, B.Right);
  R.Bottom = std::min(A.Bottom, B.Bottom);
}

bool RectsOverlap(const TRect& R1, const TRect& R2) {
  if (R2.Right <= R2.Left || R2.Bottom <= R2.Top) return false;
  return !(R2.Bottom <= R1.Top || R2.Right <= R1.Left || R2.Left >= R1.Right || R2.Top >= R1.Bottom);
}

bool RectCornersInRect(const TRect& Outer, const TRect& R, bool Both) {
  const TRect O{Outer.Left, Outer.Top, Outer.Right + 1, Outer.Bottom + 1};
  auto Inside = [&O](LONG X, LONG Y) { return X >= O.Left && X < O.Right && Y >= O.Top && Y < O.Bottom; };
  const bool TL = Inside(R.Left, R.Top), BR = Inside(R.Right, R.Bottom);
  return Both ? TL && BR : TL || BR;
}

void InitBlendFunction(BLENDFUNCTION& Blend, uint8_t Alpha) {
  Blend.BlendOp = 0;
  Blend.BlendFlags = 0;
  Blend.SourceConstantAlpha = Alpha;
  Blend.AlphaFormat = 1;
}

// ---- words ----
TCharSet256 MakeCharSet(const std::string& Chars) {
  TCharSet256 Set;
  for (char C : Chars) Set.set(static_cast<unsigned char>(C));
  return Set;
}

bool IsCharInSet(char Ch, const TCharSet256& Set) { return Set.test(static_cast<unsigned char>(Ch)); }
bool IsCharInSetChecked(char Ch, const TCharSet256& Set) { return IsCharInSet(Ch, Set); }

int NthWordStart(int N, const std::string& S, const TCharSet256& Delims) {
  if (N < 1) return 0;
  int Count = 0;
  for (size_t i = 0; i < S.size(); ++i) {
    const bool StartsWord = !IsCharInSet(S[i], Delims) && (i == 0 || IsCharInSet(S[i - 1], Delims));
    if (StartsWord && ++Count == N) return static_cast<int>(i) + 1;
  }
  return 0;
}
int NthWordStartChecked(int N, const std::string& S, const TCharSet256& Delims) { return NthWordStart(N, S, Delims); }

std::string NthWord(int N, const std::string& S, const TCharSet256& Delims) {
  const int Start = NthWordStart(N, S, Delims);
  if (Start == 0) return std::string();
  size_t End = static_cast<size_t>(Start) - 1;
  while (End < S.size() && !IsCharInSet(S[End], Delims)) ++End;
  return S.substr(static_cast<size_t>(Start) - 1, End - (static_cast<size_t>(Start) - 1));
}
std::string NthWordChecked(int N, const std::string& S, const TCharSet256& Delims) { return NthWord(N, S, Delims); }

int CountWords(const std::string& S, const TCharSet256& Delims) {
  int Count = 0;
  for (size_t i = 0; i < S.size(); ++i)
    if (!IsCharInSet(S[i], Delims) && (i == 0 || IsCharInSet(S[i - 1], Delims))) ++Count;
  return Count;
}
int CountWordsChecked(const std::string& S, const TCharSet256& Delims) { return CountWords(S, Delims); }

std::string DeleteAllChars(const std::string& S, char Ch) {
  std::string Result;
  Result.reserve(S.size());
  for (char C : S)
    if (C != Ch) Result += C;
  return Result;
}

std::string ReplaceEvery(const std::string& S, const std::string& Find, const std::string& Replace) {
  if (Find.empty()) return S;
  std::string Result;
  size_t From = 0;
  for (;;) {
    const size_t At = S.find(Find, From);
    if (At == std::string::npos) break;
    Result.append(S, From, At - From);
    Result += Replace;
    From = At + Find.size();
  }
  Result.append(S, From, std::string::npos);
  return Result;
}

// ---- text to numbers ----
int64_t ParseHexInt64(const std::string& Text) {
  if (Text.empty()) return 0;
  std::string S = Text;
  for (char& C : S) C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
  if (S.back() == 'H') S.pop_back();
  uint64_t Value = 0;
  for (char C : S) {
    Value *= 16;
    if (C >= '0' && C <= '9')
      Value += static_cast<uint64_t>(C - '0');
    else if (C >= 'A' && C <= 'F')
      Value += static_cast<uint64_t>(C - 'A' + 10);
    else
      return 0;
  }
  return static_cast<int64_t>(Value);
}

// ---- paths and delays ----
std::string NormalizeDirPath(const std::string& Path) {
  if (Path.empty()) return Path;
  const char Last = Path.back();
  if (Last == '\\') return Path;
  if (Last == '/') return Path.substr(0, Path.size() - 1) + '\\';
  if (Path.size() == 1) return Path + ":\\";
  return Path + '\\';
}

bool DirExists(const std::string& Path) {
  const DWORD Attr = GetFileAttributesA(Path.c_str());
  return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

HANDLE FindFirstFileEntry(const std::string& Pattern, WIN32_FIND_DATAA& Data) {
  return FindFirstFileA(Pattern.c_str(), &Data);
}
bool FindNextFileEntry(HANDLE Search, WIN32_FIND_DATAA& Data) { return FindNextFileA(Search, &Data) != FALSE; }
void FindCloseSearch(HANDLE Search) {
  if (Search != nullptr && Search != INVALID_HANDLE_VALUE) FindClose(Search);
}

void WaitTicks(DWORD Start, DWORD Ms) {
  // Elapsed time modulo 2^32 stays right across a wrap of the tick counter.
  while (static_cast<DWORD>(Platform().GetTickCount() - Start) < Ms) {
  }
}

// ---- text to numbers: INI-style sections ----
namespace {

// The key list of a section named exactly Section; nil when missing.
TStrings* SectionList(TStringList* Sections, const std::string& Section) {
  if (Sections == nullptr) return nullptr;
  for (int i = 0; i < Sections->Count(); ++i)
    if (Sections->Strings(i) == Section) return dynamic_cast<TStrings*>(Sections->Objects(i));
  return nullptr;
}

bool FindKey(TStringList* Sections, const std::string& Section, const std::string& Key, std::string& Value) {
  TStrings* List = SectionList(Sections, Section);
  if (List == nullptr) return false;
  for (int i = 0; i < List->Count(); ++i) {
    const std::string Line = List->Strings(i);
    const size_t Eq = Line.find('=');
    if (Eq != std::string::npos && Line.compare(0, Eq, Key) == 0) {
      Value = Line.substr(Eq + 1);
      return true;
    }
  }
  return false;
}

}  // namespace

std::string IniSectionsReadString(TStringList* Sections, const std::string& Section, const std::string& Key,
                                  const std::string& Default) {
  std::string Value;
  return FindKey(Sections, Section, Key, Value) ? Value : Default;
}

int IniSectionsReadInteger(TStringList* Sections, const std::string& Section, const std::string& Key, int Default) {
  std::string S;
  if (!FindKey(Sections, Section, Key, S)) S.clear();
  if (S.size() > 2 && S[0] == '0' && (S[1] == 'x' || S[1] == 'X')) S.replace(0, 2, 1, '$');
  return StrToIntDef(S, Default);
}

void ParseIniSections(TStrings* Lines, TStringList* Sections) {
  Sections->Clear();
  TStringList* Current = nullptr;
  for (int i = 0; i < Lines->Count(); ++i) {
    const std::string Line = Lines->Strings(i);
    if (Line.empty() || Line[0] == ';') continue;
    if (Line.size() >= 2 && Line.front() == '[' && Line.back() == ']') {
      Current = new TStringList();
      Sections->AddObject(Line.substr(1, Line.size() - 2), Current);
      continue;
    }
    if (Current != nullptr) Current->Add(Line);
  }
}

// ---- system and registry reads ----
int ReadRegistryInteger(HKEY RootKey, const std::string& Key, const std::string& Name) {
  HKEY Handle = nullptr;
  if (RegOpenKeyExA(RootKey, Key.c_str(), 0, KEY_READ, &Handle) != ERROR_SUCCESS) return 0;
  DWORD Type = 0, Value = 0, Size = sizeof(Value);
  const LONG Rc = RegQueryValueExA(Handle, Name.c_str(), nullptr, &Type, reinterpret_cast<BYTE*>(&Value), &Size);
  RegCloseKey(Handle);
  return Rc == ERROR_SUCCESS && Type == REG_DWORD ? static_cast<int>(Value) : 0;
}

namespace {

// The caption font as SPI_GETNONCLIENTMETRICS gives it, asked with the structure size of 340 bytes that every
// Windows version answers.
bool CaptionLogFont(LOGFONTA& Font) {
  NONCLIENTMETRICSA Metrics{};
  Metrics.cbSize = 340;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &Metrics, 0)) return false;
  Font = Metrics.lfCaptionFont;
  return true;
}

}  // namespace

int CaptionFontHeight() {
  LOGFONTA Font;
  return CaptionLogFont(Font) ? Font.lfHeight : 0;
}

HFONT CreateCaptionFont() {
  LOGFONTA Font;
  return CaptionLogFont(Font) ? GdiNewFont(Font) : nullptr;
}

bool MinimizeAnimationEnabled() {
  ANIMATIONINFO Info{};
  Info.cbSize = 8;
  return Platform().SystemParametersInfoA(SPI_GETANIMATION, 8, &Info, 0) && Info.iMinAnimate != 0;
}

void SetMinimizeAnimation(bool On) {
  ANIMATIONINFO Info{};
  Info.cbSize = 8;
  Info.iMinAnimate = On ? -1 : 0;
  Platform().SystemParametersInfoA(SPI_SETANIMATION, 8, &Info, 0);
}

bool WindowsIsXPOrNewer() {
  OSVERSIONINFOA Info{};
  Info.dwOSVersionInfoSize = sizeof(Info);
  if (!Platform().GetVersionExA(&Info)) return false;
  return Info.dwMajorVersion > 5 || (Info.dwMajorVersion == 5 && Info.dwMinorVersion >= 1);
}

// ---- late-bound entries ----
bool Wow64WithoutComposition = false;
TvkUtilsEntries UtilsEntries;

namespace {
HMODULE g_Kernel32 = nullptr;
HMODULE g_Shell32 = nullptr;

template <class F>
F Bind(HMODULE Module, const char* Name) {
  return Module != nullptr ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(Module, Name))) : nullptr;
}
}  // namespace

bool IsWow64ProcessSafe() {
  BOOL Wow64 = FALSE;
  return UtilsEntries.IsWow64Process != nullptr && UtilsEntries.IsWow64Process(GetCurrentProcess(), &Wow64) &&
         Wow64;
}

bool DebuggerPresentOrUnknown() {
  return UtilsEntries.IsDebuggerPresent == nullptr || UtilsEntries.IsDebuggerPresent();
}

void LoadShellFileInfoEntry() {
  if (g_Shell32 == nullptr) g_Shell32 = LoadSystemLibrary("shell32.dll");
  UtilsEntries.SHGetFileInfoA = Bind<decltype(UtilsEntries.SHGetFileInfoA)>(g_Shell32, "SHGetFileInfoA");
}

void vkntUtilsInitialize() {
  if (g_Kernel32 == nullptr) g_Kernel32 = LoadSystemLibrary("kernel32.dll");
  UtilsEntries.IsDebuggerPresent = Bind<decltype(UtilsEntries.IsDebuggerPresent)>(g_Kernel32, "IsDebuggerPresent");
  UtilsEntries.IsWow64Process = Bind<decltype(UtilsEntries.IsWow64Process)>(g_Kernel32, "IsWow64Process");
  Wow64WithoutComposition = IsWow64ProcessSafe() && !IsDwmCompositionActive();
  LoadShellFileInfoEntry();
}

void vkntUtilsFinalize() {
  UtilsEntries = TvkUtilsEntries{};
  if (g_Shell32 != nullptr) FreeLibrary(g_Shell32);
  if (g_Kernel32 != nullptr) FreeLibrary(g_Kernel32);
  g_Shell32 = g_Kernel32 = nullptr;
}

// ---- published properties by name ----
bool ObjectHasProperty(TObject* Obj, const std::string& Name) { return Obj != nullptr && HasProperty(Obj, Name); }

TObject* ObjectPropOrNil(TObject* Obj, const std::string& Name) {
  return Obj != nullptr ? GetObjectProp(Obj, Name) : nullptr;
}

int64_t OrdPropOrMinusOne(TObject* Obj, const std::string& Name) { return Obj != nullptr ? GetOrdProp(Obj, Name) : -1; }

void SetOrdPropIfPresent(TObject* Obj, const std::string& Name, int64_t Value) {
  if (ObjectHasProperty(Obj, Name)) SetOrdProp(Obj, Name, Value);
}

bool SetPropContains(TObject* Obj, const std::string& SetName, const std::string& Element) {
  if (!ObjectHasProperty(Obj, SetName)) return false;
  const std::string T = GetSetProp(Obj, SetName);
  const TCharSet256 Comma = MakeCharSet(",");
  for (int i = 1, n = CountWords(T, Comma); i <= n; ++i)
    if (NthWord(i, T, Comma) == Element) return true;
  return false;
}

void SetPropIncludeExclude(TObject* Obj, const std::string& SetName, const std::string& Element, bool Include) {
  if (!ObjectHasProperty(Obj, SetName)) return;
  // Whole element names only: "hoOwnerDraw" is not a part of "hoOwnerDrawFixed".
  const TCharSet256 Comma = MakeCharSet(",");
  const std::string T = GetSetProp(Obj, SetName);
  std::vector<std::string> Names;
  for (int i = 1, n = CountWords(T, Comma); i <= n; ++i) Names.push_back(Trim(NthWord(i, T, Comma)));
  const auto At = std::find(Names.begin(), Names.end(), Element);
  if (Include == (At != Names.end())) return;
  if (Include) Names.push_back(Element);
  else Names.erase(At);
  std::string Out;
  for (const std::string& N : Names) Out += (Out.empty() ? "" : ",") + N;
  SetSetProp(Obj, SetName, Out);
}

// ---- files ----
std::string AppFolder() {
  const std::string Exe = ParamStr(0);
  const size_t Slash = Exe.find_last_of("\\/:");
  return Slash == std::string::npos ? std::string() : Exe.substr(0, Slash + 1);
}

TIcon* FileShellIcon(const std::string& FileName, UINT Flags) {
  if (UtilsEntries.SHGetFileInfoA == nullptr || GetFileAttributesA(FileName.c_str()) == INVALID_FILE_ATTRIBUTES)
    return nullptr;
  SHFILEINFOA Info{};
  static_assert(sizeof(SHFILEINFOA) == 352, "SHFILEINFOA layout");
  if (UtilsEntries.SHGetFileInfoA(FileName.c_str(), 0, &Info, 352, Flags | SHGFI_ICON) == 0 || Info.hIcon == nullptr)
    return nullptr;
  GdiCountCreated(gkIcon);  // made by the shell, destroyed (and counted down) by the icon
  TIcon* Icon = new TIcon();
  Icon->SetHandle(Info.hIcon);
  if (Icon->Empty()) {
    Icon->Free();
    return nullptr;
  }
  return Icon;
}
