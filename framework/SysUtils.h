#pragma once
// Conversions, text helpers, files and time, on byte strings in the ANSI code page (CP1251).

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "framework/System.h"

// ---- the system's locale ----
// What the controls read of the system's locale: MiddleEast is set on a system with right-to-left languages
// enabled (SM_MIDEASTENABLED), read at start-up; tests may change it.
struct TSysLocale {
  bool MiddleEast = false;
};
extern TSysLocale SysLocale;

// ---- Format: %d %u %x (upper-case hex) %s, with '-' (left justify), width and precision ----
// Format("%s has %d items", {name, count}). A missing or mismatched argument raises EConvertError.
class TFormatArg {
public:
  enum Kind { Int, Str, Flt };
  TFormatArg(int v) : kind_(Int), i_(v) {}
  TFormatArg(unsigned v) : kind_(Int), i_(v), unsigned_(true) {}
  TFormatArg(long v) : kind_(Int), i_(v) {}
  TFormatArg(unsigned long v) : kind_(Int), i_(static_cast<int64_t>(v)), unsigned_(true) {}
  TFormatArg(long long v) : kind_(Int), i_(v) {}
  TFormatArg(unsigned long long v) : kind_(Int), i_(static_cast<int64_t>(v)), unsigned_(true) {}
  TFormatArg(double v) : kind_(Flt), f_(v) {}
  TFormatArg(const char* v) : kind_(Str), s_(v ? v : "") {}
  TFormatArg(const std::string& v) : kind_(Str), s_(v) {}
  Kind kind() const { return kind_; }
  int64_t AsInt() const { return i_; }
  bool IsUnsigned() const { return unsigned_; }
  double AsFloat() const { return f_; }
  const std::string& AsString() const { return s_; }

private:
  Kind kind_;
  int64_t i_ = 0;
  bool unsigned_ = false;
  double f_ = 0;
  std::string s_;
};
std::string Format(const std::string& format, std::initializer_list<TFormatArg> args);

// ---- the framework's own messages ----
inline constexpr const char* SOutOfRange = "Value must be between %d and %d";
inline constexpr const char* SCannotFocus = "Cannot focus a disabled or invisible window";
// Raises EInvalidOperation "Value must be between <min> and <max>" (range-checked setters).
[[noreturn]] void RaiseOutOfRange(int64_t min, int64_t max);

// ---- integers ----
std::string IntToStr(int64_t value);
// Upper-case hexadecimal with at least `digits` digits; negative values as their two's complement of the
// argument's width (IntToHex(-1, 2) == "FFFFFFFF" for a 32-bit argument).
std::string IntToHex(uint64_t value, int digits);
template <std::integral T> std::string IntToHex(T value, int digits) {
  if constexpr (sizeof(T) <= 4)
    return IntToHex(static_cast<uint64_t>(static_cast<uint32_t>(value)), digits);
  else
    return IntToHex(static_cast<uint64_t>(value), digits);
}
// Optional leading blanks, optional sign, decimal digits, or '$'/'0x'/'0X' and up to the type's width of
// hex digits (wrapping to the signed value: "$FFFFFFFF" is -1). Anything else, including trailing text
// and decimal overflow, fails.
bool TryStrToInt(const std::string& s, int& value);
bool TryStrToInt64(const std::string& s, int64_t& value);
// Raise EConvertError "'%s' is not a valid integer value".
int StrToInt(const std::string& s);
int64_t StrToInt64(const std::string& s);
int StrToIntDef(const std::string& s, int def);
int64_t StrToInt64Def(const std::string& s, int64_t def);

// ---- floats, always with '.' whatever the locale ----
bool TryStrToFloat(const std::string& s, double& value);
// Raises EConvertError "'%s' is not a valid floating point value".
double StrToFloat(const std::string& s);
double StrToFloatDef(const std::string& s, double def);
// Shortest general form with up to 15 significant digits: 10.25 -> "10.25", 1e20 -> "1E20".
std::string FloatToStr(double value);

// ---- text ----
std::string Trim(const std::string& s);  // removes bytes <= ' ' at both ends
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);
std::string UpperCase(const std::string& s);  // ASCII letters only
std::string LowerCase(const std::string& s);
std::string AnsiUpperCase(const std::string& s);  // the system's mapping (CharUpperBuffA)
std::string AnsiLowerCase(const std::string& s);
int CompareStr(const std::string& a, const std::string& b);   // byte order
int CompareText(const std::string& a, const std::string& b);  // ASCII case-insensitive
bool SameText(const std::string& a, const std::string& b);
// Locale comparison (CompareStringA, user locale): <0, 0, >0.
int AnsiCompareStr(const std::string& a, const std::string& b);
int AnsiCompareText(const std::string& a, const std::string& b);
bool AnsiSameText(const std::string& a, const std::string& b);
std::string StringReplaceAll(const std::string& s, const std::string& from, const std::string& to);

// ---- files and paths ----
std::string ExtractFileName(const std::string& path);  // after the last '\', '/' or ':'
std::string ExtractFilePath(const std::string& path);  // up to and including it
std::string ExtractFileExt(const std::string& path);   // ".ext" or ""
std::string IncludeTrailingBackslash(const std::string& path);
bool FileExists(const std::string& path);  // an existing file, not a directory
bool DirectoryExists(const std::string& path);
// The folder of the program's own file, with a trailing backslash.
std::string ExeFolder();

constexpr int faReadOnly = 0x01, faHidden = 0x02, faSysFile = 0x04, faVolumeID = 0x08, faDirectory = 0x10,
              faArchive = 0x20, faAnyFile = 0x3F;
struct TSearchRec {
  int Time = 0;  // DOS date and time
  int64_t Size = 0;
  int Attr = 0;
  std::string Name;
  int ExcludeAttr = 0;
  HANDLE FindHandle = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA FindData{};
};
// 0 on success, else the system error code. Entries with hidden, system, volume or directory attributes
// are returned only when `attr` asks for them.
int FindFirst(const std::string& path, int attr, TSearchRec& f);
int FindNext(TSearchRec& f);
void FindClose(TSearchRec& f);

// ---- command line (the source is the platform table's command line, replaceable by tests) ----
int ParamCount();
// 0: the program's file; 1..ParamCount(): the arguments (quotes removed); "" beyond.
std::string ParamStr(int index);

// ---- time ----
using TDateTime = double;  // days since 1899-12-30, fraction = time of day
TDateTime Now();
TDateTime EncodeTime(int hour, int min, int sec, int msec);
TDateTime EncodeDate(int year, int month, int day);
void DecodeTime(TDateTime t, int& hour, int& min, int& sec, int& msec);
void DecodeDate(TDateTime t, int& year, int& month, int& day);
// The time in the user's long time format (GetTimeFormatA with no flags).
std::string TimeToStr(TDateTime t);
// The user's short date format picture (e.g. "dd.MM.yyyy").
std::string ShortDateFormat();

// ---- numbers ----
// Half to even, as the system's rounding (2.5 -> 2, 3.5 -> 4).
int64_t Round(double value);
int64_t Trunc(double value);
