#include "framework/SysUtils.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/Platform.h"

// ---- Format ----
TSysLocale SysLocale{GetSystemMetrics(SM_MIDEASTENABLED) != 0};

namespace {
[[noreturn]] void FormatError(const std::string& format) {
  throw EConvertError("Format '" + format + "' invalid or incompatible with argument");
}

std::string Pad(std::string s, int width, bool left) {
  if (width > static_cast<int>(s.size())) {
    std::string fill(static_cast<size_t>(width) - s.size(), ' ');
    s = left ? s + fill : fill + s;
  }
  return s;
}

std::string HexDigits(uint64_t v) {
  static const char digits[] = "0123456789ABCDEF";
  std::string r;
  do {
    r.insert(r.begin(), digits[v & 15]);
    v >>= 4;
  } while (v);
  return r;
}
}  // namespace

std::string Format(const std::string& format, std::initializer_list<TFormatArg> args) {
  std::string out;
  out.reserve(format.size() + 16);
  const TFormatArg* next = args.begin();
  size_t i = 0;
  const size_t n = format.size();
  while (i < n) {
    char c = format[i++];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i < n && format[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    bool left = false;
    if (i < n && format[i] == '-') {
      left = true;
      ++i;
    }
    int width = -1, precision = -1;
    while (i < n && format[i] >= '0' && format[i] <= '9') width = (width < 0 ? 0 : width * 10) + (format[i++] - '0');
    if (i < n && format[i] == '.') {
      ++i;
      precision = 0;
      while (i < n && format[i] >= '0' && format[i] <= '9') precision = precision * 10 + (format[i++] - '0');
    }
    if (i >= n) FormatError(format);
    const char conv = static_cast<char>(format[i++] | 0x20);
    if (next == args.end()) FormatError(format);
    const TFormatArg& a = *next++;
    std::string text;
    switch (conv) {
      case 'd':
      case 'u': {
        if (a.kind() != TFormatArg::Int) FormatError(format);
        int64_t v = a.AsInt();
        // %u shows a 32-bit argument as unsigned, as the system's own does.
        if (conv == 'u' && v < 0 && v >= INT32_MIN) v = static_cast<uint32_t>(v);
        const bool neg = v < 0 && !a.IsUnsigned();
        std::string digits = a.IsUnsigned() ? std::to_string(static_cast<uint64_t>(v))
                                             : std::to_string(neg ? -(v + 1) + uint64_t{1} : static_cast<uint64_t>(v));
        if (precision > static_cast<int>(digits.size()))
          digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
        text = neg ? "-" + digits : digits;
        break;
      }
      case 'x': {
        if (a.kind() != TFormatArg::Int) FormatError(format);
        int64_t v = a.AsInt();
        uint64_t u = (v < 0 && v >= INT32_MIN && !a.IsUnsigned()) ? static_cast<uint32_t>(v) : static_cast<uint64_t>(v);
        text = HexDigits(u);
        if (precision > static_cast<int>(text.size())) text.insert(0, static_cast<size_t>(precision) - text.size(), '0');
        break;
      }
      case 's':
        if (a.kind() != TFormatArg::Str) FormatError(format);
        text = a.AsString();
        if (precision >= 0 && precision < static_cast<int>(text.size())) text.resize(static_cast<size_t>(precision));
        break;
      default:
        FormatError(format);
    }
    out += Pad(std::move(text), width, left);
  }
  return out;
}

void RaiseOutOfRange(int64_t min, int64_t max) { throw EInvalidOperation(Format(SOutOfRange, {min, max})); }

// ---- integers ----
std::string IntToStr(int64_t value) { return std::to_string(value); }

std::string IntToHex(uint64_t value, int digits) {
  std::string s = HexDigits(value);
  if (digits > static_cast<int>(s.size())) s.insert(0, static_cast<size_t>(digits) - s.size(), '0');
  return s;
}

namespace {
// Parses into a 64-bit value; `hexBits` is the width hex text may fill (it wraps to signed there).
bool ParseInteger(const std::string& s, int64_t& out, int hexBits, int64_t min, int64_t max) {
  size_t i = 0;
  const size_t n = s.size();
  while (i < n && s[i] == ' ') ++i;
  bool neg = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  bool hex = false;
  if (i < n && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return false;
  uint64_t v = 0;
  if (hex) {
    const uint64_t limit = hexBits == 64 ? ~uint64_t{0} : (uint64_t{1} << hexBits) - 1;
    for (; i < n; ++i) {
      char c = s[i];
      int d;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else return false;
      if (v > (limit >> 4)) return false;
      v = (v << 4) | static_cast<uint64_t>(d);
    }
    int64_t sv = hexBits == 64 ? static_cast<int64_t>(v) : static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(v)));
    out = neg ? static_cast<int64_t>(0 - static_cast<uint64_t>(sv)) : sv;
    if (hexBits == 32) out = static_cast<int32_t>(static_cast<uint32_t>(out));
    return true;
  }
  const uint64_t limit = neg ? static_cast<uint64_t>(-(min + 1)) + 1 : static_cast<uint64_t>(max);
  for (; i < n; ++i) {
    char c = s[i];
    if (c < '0' || c > '9') return false;
    const uint64_t d = static_cast<uint64_t>(c - '0');
    if (v > (limit - d) / 10) return false;
    v = v * 10 + d;
  }
  out = neg ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
  return true;
}
}  // namespace

bool TryStrToInt(const std::string& s, int& value) {
  int64_t v;
  if (!ParseInteger(s, v, 32, INT32_MIN, INT32_MAX)) return false;
  value = static_cast<int>(v);
  return true;
}

bool TryStrToInt64(const std::string& s, int64_t& value) { return ParseInteger(s, value, 64, INT64_MIN, INT64_MAX); }

int StrToInt(const std::string& s) {
  int v;
  if (!TryStrToInt(s, v)) throw EConvertError(Format("'%s' is not a valid integer value", {s}));
  return v;
}

int64_t StrToInt64(const std::string& s) {
  int64_t v;
  if (!TryStrToInt64(s, v)) throw EConvertError(Format("'%s' is not a valid integer value", {s}));
  return v;
}

int StrToIntDef(const std::string& s, int def) {
  int v;
  return TryStrToInt(s, v) ? v : def;
}

int64_t StrToInt64Def(const std::string& s, int64_t def) {
  int64_t v;
  return TryStrToInt64(s, v) ? v : def;
}

// ---- floats ----
bool TryStrToFloat(const std::string& s, double& value) {
  const std::string t = Trim(s);
  if (t.empty()) return false;
  // Only the characters of a plain decimal number: strtod would also take "inf", "nan" and hex floats.
  size_t i = 0;
  if (t[i] == '+' || t[i] == '-') ++i;
  bool digits = false;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') { ++i; digits = true; }
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') { ++i; digits = true; }
  }
  if (!digits) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool exp = false;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') { ++i; exp = true; }
    if (!exp) return false;
  }
  if (i != t.size()) return false;
  // from_chars ignores the process locale; it takes no '+'.
  const char* first = t.data() + (t[0] == '+' ? 1 : 0);
  double v = 0;
  auto r = std::from_chars(first, t.data() + t.size(), v, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

double StrToFloat(const std::string& s) {
  double v;
  if (!TryStrToFloat(s, v)) throw EConvertError(Format("'%s' is not a valid floating point value", {s}));
  return v;
}

double StrToFloatDef(const std::string& s, double def) {
  double v;
  return TryStrToFloat(s, v) ? v : def;
}

std::string FloatToStr(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  char buffer[64];
  auto r = std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::general, 15);
  *r.ptr = 0;
  std::string s = buffer;
  // "1E+020" / "1E+20" -> "1E20", "1E-005" -> "1E-5"
  size_t e = s.find('e');
  if (e != std::string::npos) {
    std::string mant = s.substr(0, e);
    std::string exp = s.substr(e + 1);
    bool neg = !exp.empty() && exp[0] == '-';
    if (!exp.empty() && (exp[0] == '+' || exp[0] == '-')) exp.erase(0, 1);
    while (exp.size() > 1 && exp[0] == '0') exp.erase(0, 1);
    s = mant + "E" + (neg ? "-" : "") + exp;
  }
  return s;
}

// ---- text ----
std::string TrimLeft(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
  return s.substr(i);
}
std::string TrimRight(const std::string& s) {
  size_t n = s.size();
  while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= ' ') --n;
  return s.substr(0, n);
}
std::string Trim(const std::string& s) { return TrimLeft(TrimRight(s)); }

std::string UpperCase(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}
std::string LowerCase(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}
std::string AnsiUpperCase(const std::string& s) {
  std::string r = s;
  if (!r.empty()) CharUpperBuffA(r.data(), static_cast<DWORD>(r.size()));
  return r;
}
std::string AnsiLowerCase(const std::string& s) {
  std::string r = s;
  if (!r.empty()) CharLowerBuffA(r.data(), static_cast<DWORD>(r.size()));
  return r;
}

int CompareStr(const std::string& a, const std::string& b) { return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1); }

int CompareText(const std::string& a, const std::string& b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(const std::string& a, const std::string& b) { return a.size() == b.size() && CompareText(a, b) == 0; }

namespace {
int LocaleCompare(const std::string& a, const std::string& b, DWORD flags) {
  const int r = CompareStringA(LOCALE_USER_DEFAULT, flags, a.data(), static_cast<int>(a.size()), b.data(),
                               static_cast<int>(b.size()));
  if (r == 0) return CompareStr(a, b);  // the system could not compare: fall back to byte order
  return r - CSTR_EQUAL;
}
}  // namespace

int AnsiCompareStr(const std::string& a, const std::string& b) { return LocaleCompare(a, b, 0); }
int AnsiCompareText(const std::string& a, const std::string& b) { return LocaleCompare(a, b, NORM_IGNORECASE); }
bool AnsiSameText(const std::string& a, const std::string& b) { return AnsiCompareText(a, b) == 0; }

std::string StringReplaceAll(const std::string& s, const std::string& from, const std::string& to) {
  if (from.empty()) return s;
  std::string r;
  size_t pos = 0;
  for (;;) {
    size_t f = s.find(from, pos);
    if (f == std::string::npos) break;
    r.append(s, pos, f - pos);
    r += to;
    pos = f + from.size();
  }
  r.append(s, pos, std::string::npos);
  return r;
}

// ---- files ----
namespace {
size_t LastDelimiter(const std::string& path) {
  size_t p = path.find_last_of("\\/:");
  return p;
}
}  // namespace

std::string ExtractFileName(const std::string& path) {
  size_t p = LastDelimiter(path);
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ExtractFilePath(const std::string& path) {
  size_t p = LastDelimiter(path);
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ExtractFileExt(const std::string& path) {
  size_t p = path.find_last_of(".\\/:");
  return p != std::string::npos && path[p] == '.' ? path.substr(p) : std::string();
}

std::string IncludeTrailingBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path;
  return path + '\\';
}

bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  if (path.empty()) return false;
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ExeFolder() { return ExtractFilePath(ParamStr(0)); }

namespace {
// Fills the record from the current find data; false when the entry's attributes are excluded.
bool AcceptEntry(TSearchRec& f) {
  const WIN32_FIND_DATAA& d = f.FindData;
  if (d.dwFileAttributes & static_cast<DWORD>(f.ExcludeAttr)) return false;
  FILETIME local;
  WORD date = 0, time = 0;
  FileTimeToLocalFileTime(&d.ftLastWriteTime, &local);
  FileTimeToDosDateTime(&local, &date, &time);
  f.Time = (static_cast<int>(date) << 16) | time;
  f.Size = (static_cast<int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  f.Attr = static_cast<int>(d.dwFileAttributes);
  f.Name = d.cFileName;
  return true;
}

int FindMatching(TSearchRec& f) {
  while (!AcceptEntry(f)) {
    if (!FindNextFileA(f.FindHandle, &f.FindData)) return static_cast<int>(GetLastError());
  }
  return 0;
}
}  // namespace

int FindFirst(const std::string& path, int attr, TSearchRec& f) {
  f.ExcludeAttr = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
  f.FindHandle = FindFirstFileA(path.c_str(), &f.FindData);
  if (f.FindHandle == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  const int r = FindMatching(f);
  if (r != 0) FindClose(f);
  return r;
}

int FindNext(TSearchRec& f) {
  if (f.FindHandle == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
  if (!FindNextFileA(f.FindHandle, &f.FindData)) return static_cast<int>(GetLastError());
  return FindMatching(f);
}

void FindClose(TSearchRec& f) {
  if (f.FindHandle != INVALID_HANDLE_VALUE) {
    ::FindClose(f.FindHandle);
    f.FindHandle = INVALID_HANDLE_VALUE;
  }
}

// ---- command line ----
namespace {
std::vector<std::string> SplitCommandLine(const char* line) {
  std::vector<std::string> args;
  const char* p = line ? line : "";
  for (;;) {
    while (*p && static_cast<unsigned char>(*p) <= ' ') ++p;
    if (!*p) break;
    std::string arg;
    while (*p && static_cast<unsigned char>(*p) > ' ') {
      if (*p == '"') {
        ++p;
        while (*p && *p != '"') arg += *p++;
        if (*p) ++p;
      } else {
        arg += *p++;
      }
    }
    args.push_back(arg);
  }
  return args;
}
}  // namespace

int ParamCount() {
  auto args = SplitCommandLine(Platform().GetCommandLineA());
  return args.empty() ? 0 : static_cast<int>(args.size()) - 1;
}

std::string ParamStr(int index) {
  if (index == 0) {
    char buffer[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(buffer, n);
  }
  auto args = SplitCommandLine(Platform().GetCommandLineA());
  if (index < 0 || index >= static_cast<int>(args.size())) return {};
  return args[static_cast<size_t>(index)];
}

// ---- time ----
namespace {
SYSTEMTIME ToSystemTime(TDateTime t) {
  SYSTEMTIME st{};
  int y, mo, d, h, mi, s, ms;
  DecodeDate(t, y, mo, d);
  DecodeTime(t, h, mi, s, ms);
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(mo);
  st.wDay = static_cast<WORD>(d);
  st.wHour = static_cast<WORD>(h);
  st.wMinute = static_cast<WORD>(mi);
  st.wSecond = static_cast<WORD>(s);
  st.wMilliseconds = static_cast<WORD>(ms);
  return st;
}
}  // namespace

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  return (((hour * 60.0 + min) * 60.0 + sec) * 1000.0 + msec) / 86400000.0;
}

TDateTime EncodeDate(int year, int month, int day) {
  // Days from 0001-01-01 (proleptic Gregorian) minus the offset of 1899-12-30.
  static const int cumulative[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  int y = year - 1;
  int64_t days = static_cast<int64_t>(y) * 365 + y / 4 - y / 100 + y / 400 + cumulative[month - 1] + day;
  if (leap && month > 2) ++days;
  return static_cast<double>(days - 693594);
}

void DecodeTime(TDateTime t, int& hour, int& min, int& sec, int& msec) {
  double frac = t - std::floor(t);
  int64_t ms = static_cast<int64_t>(std::llround(frac * 86400000.0));
  if (ms >= 86400000) ms = 86399999;
  hour = static_cast<int>(ms / 3600000);
  min = static_cast<int>(ms / 60000 % 60);
  sec = static_cast<int>(ms / 1000 % 60);
  msec = static_cast<int>(ms % 1000);
}

void DecodeDate(TDateTime t, int& year, int& month, int& day) {
  int64_t days = static_cast<int64_t>(std::floor(t)) + 693594;  // days since 0001-01-01, 1-based
  // Civil-from-days over 400-year cycles.
  int64_t d = days - 1;
  int64_t y400 = d / 146097;
  d %= 146097;
  int64_t y100 = d / 36524;
  if (y100 == 4) y100 = 3;
  d -= y100 * 36524;
  int64_t y4 = d / 1461;
  d %= 1461;
  int64_t y1 = d / 365;
  if (y1 == 4) y1 = 3;
  d -= y1 * 365;
  year = static_cast<int>(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  month = 1;
  for (int m = 0; m < 12; ++m) {
    int len = lengths[m] + (m == 1 && leap ? 1 : 0);
    if (d < len) break;
    d -= len;
    ++month;
  }
  day = static_cast<int>(d) + 1;
}

TDateTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return EncodeDate(st.wYear, st.wMonth, st.wDay) + EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

std::string TimeToStr(TDateTime t) {
  SYSTEMTIME st = ToSystemTime(t);
  char buffer[128];
  int n = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, sizeof buffer);
  if (n <= 0) RaiseLastOSError();
  return std::string(buffer, static_cast<size_t>(n - 1));
}

std::string ShortDateFormat() {
  char buffer[128];
  int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buffer, sizeof buffer);
  if (n <= 0) RaiseLastOSError();
  return std::string(buffer, static_cast<size_t>(n - 1));
}

// ---- numbers ----
int64_t Round(double value) { return static_cast<int64_t>(std::nearbyint(value)); }
int64_t Trunc(double value) { return static_cast<int64_t>(std::trunc(value)); }
