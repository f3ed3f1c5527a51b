#include "skin/core/vkntUtils.h"

#include <algorithm>
#include <cctype>

#include "framework/Graphics.h"
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
