#pragma once
// Small general routines of the skinning library: integer choices and limits, rectangles and points, words
// of delimited text, hexadecimal and INI-style text, system and registry reads, published properties by
// name, paths, file icons, delays, and the late-bound kernel and shell entry points.
#include <windows.h>

#include <bitset>
#include <cstdint>

#include "framework/Graphics.h"
#include <string>

#include "skin/graphics/vkParentBg.h"  // InitBgInfo

class TObject;
class TGraphic;
class TIcon;
class TStrings;
class TStringList;

// ---- numbers and choices ----
inline int ChooseInt(bool Cond, int A, int B) { return Cond ? A : B; }
inline std::string ChooseStr(bool Cond, const std::string& S1, const std::string& S2) { return Cond ? S1 : S2; }
inline int IntMax(int A, int B) { return A > B ? A : B; }
inline int IntMin(int A, int B) { return A < B ? A : B; }
// Min is tested first, so Min wins when Min > Max.
inline int ClampInt(int Value, int Min, int Max) { return Value < Min ? Min : (Value > Max ? Max : Value); }
inline void SwapInts(int& A, int& B) {
  const int T = A;
  A = B;
  B = T;
}
inline bool IndexInBounds(int Index, int Count, int Low) { return Low <= Index && Index < Count; }
// With EitherOrder and B <= A: B <= Value <= A; otherwise A <= Value <= B.
inline bool ValueWithin(int Value, int A, int B, bool EitherOrder) {
  return EitherOrder && B <= A ? (B <= Value && Value <= A) : (A <= Value && Value <= B);
}

// ---- rectangles and points ----
inline TRect MakeRect(int L, int T, int R, int B) { return TRect{L, T, R, B}; }
// Callers pass width and height first and the origin last.
inline TRect MakeSizeRect(int A1, int A2, int A3, int A4) { return TRect{A3, A4, A1, A2}; }
TRect GraphicBoundsRect(TGraphic* Graphic);
template <class TControlLike>
TRect ControlBoundsRect(TControlLike* Control) {
  return TRect{0, 0, Control->Width(), Control->Height()};
}
inline TRect SizeBoundsRect(TPoint P) { return TRect{0, 0, P.X, P.Y}; }
TPoint GraphicSizePoint(TGraphic* Graphic);
template <class TControlLike>
TPoint ControlTopLeft(TControlLike* Control) {
  return TPoint{Control->Left(), Control->Top()};
}
inline TPoint MakePoint(int X, int Y) { return TPoint{X, Y}; }
inline TSize MakeSize(int CX, int CY) { return TSize{CX, CY}; }
inline TRect OffsetRectEqually(const TRect& R, int D) { return TRect{R.Left + D, R.Top + D, R.Right + D, R.Bottom + D}; }
inline TRect OffsetRectXY(const TRect& R, int DX, int DY) {
  return TRect{R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY};
}
inline int RectWidth(const TRect& R, bool NonNegative) {
  const int W = R.Right - R.Left;
  return NonNegative && W < 0 ? 0 : W;
}
inline int RectHeight(const TRect& R, bool NonNegative) {
  const int H = R.Bottom - R.Top;
  return NonNegative && H < 0 ? 0 : H;
}
inline TPoint RectSizePoint(const TRect& R) { return TPoint{RectWidth(R, true), RectHeight(R, true)}; }
// Not normalised: an empty intersection keeps Right < Left (or Bottom < Top).
void RectIntersection(const TRect& A, const TRect& B, TRect& R);
// False when R2 lies wholly above, left of, right of or below R1 (touching edges count as apart) or is empty.
bool RectsOverlap(const TRect& R1, const TRect& R2);
// Outer widened by 1 to the right and bottom; Both: R's top-left and bottom-right inside, else either.
bool RectCornersInRect(const TRect& Outer, const TRect& R, bool Both);
// (frame width, frame height) of a mask entry.
template <class TMaskEntry>
TSize MaskFrameSize(const TMaskEntry& Mask) {
  return TSize{Mask.Width, Mask.Height};
}
// BlendOp 0, BlendFlags 0, SourceConstantAlpha Alpha, AlphaFormat 1 (per-pixel alpha).
void InitBlendFunction(BLENDFUNCTION& Blend, uint8_t Alpha);

// ---- words of delimited text (positions 1-based; words are maximal runs of non-delimiters) ----
using TCharSet256 = std::bitset<256>;
TCharSet256 MakeCharSet(const std::string& Chars);
bool IsCharInSet(char Ch, const TCharSet256& Set);
bool IsCharInSetChecked(char Ch, const TCharSet256& Set);
// Start of the N-th word; 0 when there are fewer than N words or N < 1.
int NthWordStart(int N, const std::string& S, const TCharSet256& Delims);
int NthWordStartChecked(int N, const std::string& S, const TCharSet256& Delims);
// The N-th word; '' when absent.
std::string NthWord(int N, const std::string& S, const TCharSet256& Delims);
std::string NthWordChecked(int N, const std::string& S, const TCharSet256& Delims);
int CountWords(const std::string& S, const TCharSet256& Delims);
int CountWordsChecked(const std::string& S, const TCharSet256& Delims);
std::string DeleteAllChars(const std::string& S, char Ch);
// Every occurrence of Find (case-sensitive, left to right, never inside an inserted Replace) replaced.
std::string ReplaceEvery(const std::string& S, const std::string& Find, const std::string& Replace);

// ---- text to numbers ----
// Hex digits with an optional trailing 'H' (any case); any other character gives 0. Wraps at 64 bits.
int64_t ParseHexInt64(const std::string& S);
// Sections: names with their key lists as objects (ParseIniSections builds them; the caller owns the lists).
std::string IniSectionsReadString(TStringList* Sections, const std::string& Section, const std::string& Key,
                                  const std::string& Default);
// "0x..." is read as hexadecimal; Default when the text is no integer.
int IniSectionsReadInteger(TStringList* Sections, const std::string& Section, const std::string& Key, int Default);
void ParseIniSections(TStrings* Lines, TStringList* Sections);

// ---- system and registry reads ----
int ReadRegistryInteger(HKEY RootKey, const std::string& Key, const std::string& Name);
int CaptionFontHeight();
HFONT CreateCaptionFont();  // the caller owns the font; 0 when the system call fails
bool MinimizeAnimationEnabled();
void SetMinimizeAnimation(bool On);
bool WindowsIsXPOrNewer();
bool IsWow64ProcessSafe();
bool DebuggerPresentOrUnknown();
// Set at start-up when the process runs under WOW64 without desktop composition (the form skinner reads it).
extern bool Wow64WithoutComposition;
// The late-bound entries; nil when missing. Tests clear one to take its "entry missing" branch.
struct TvkUtilsEntries {
  BOOL(WINAPI* IsDebuggerPresent)() = nullptr;
  BOOL(WINAPI* IsWow64Process)(HANDLE, PBOOL) = nullptr;
  DWORD_PTR(WINAPI* SHGetFileInfoA)(LPCSTR, DWORD, void*, UINT, UINT) = nullptr;
};
extern TvkUtilsEntries UtilsEntries;
// Unit start-up: binds the kernel32 entries, sets Wow64WithoutComposition, binds the shell entry.
void vkntUtilsInitialize();
// Binds SHGetFileInfoA, loading shell32.dll at most once.
void LoadShellFileInfoEntry();
// Unit end: frees both libraries and clears the entries.
void vkntUtilsFinalize();

// ---- published properties by name (nothing happens for a property the class does not publish) ----
bool ObjectHasProperty(TObject* Obj, const std::string& Name);
TObject* ObjectPropOrNil(TObject* Obj, const std::string& Name);
int64_t OrdPropOrMinusOne(TObject* Obj, const std::string& Name);
void SetOrdPropIfPresent(TObject* Obj, const std::string& Name, int64_t Value);
bool SetPropContains(TObject* Obj, const std::string& SetName, const std::string& Element);
void SetPropIncludeExclude(TObject* Obj, const std::string& SetName, const std::string& Element, bool Include);

// ---- files, paths and delays ----
// '' stays ''; a trailing '\' is kept; a trailing '/' becomes '\'; a drive letter gets ":\", others "\".
std::string NormalizeDirPath(const std::string& Path);
std::string AppFolder();
bool DirExists(const std::string& Path);
// The directory search (first, next, close); INVALID_HANDLE_VALUE / false when nothing (more) is found.
// (The platform headers take the plain names FindFirstFile / FindNextFile as macros.)
HANDLE FindFirstFileEntry(const std::string& Pattern, WIN32_FIND_DATAA& Data);
bool FindNextFileEntry(HANDLE Search, WIN32_FIND_DATAA& Data);
void FindCloseSearch(HANDLE Search);
TIcon* FileShellIcon(const std::string& FileName, UINT Flags);
// Processes the application's messages until Ms milliseconds have passed (wrap-safe).
void WaitProcessingMessages(DWORD Ms);
// Busy-waits without processing messages until the tick count reaches Start + Ms (wrap-safe).
void WaitTicks(DWORD Start, DWORD Ms);
