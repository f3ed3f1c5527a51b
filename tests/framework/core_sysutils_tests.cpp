#include <gtest/gtest.h>

#include "framework/Platform.h"
#include "framework/SysUtils.h"
#include "tests/framework/core_test_util.h"

namespace {

// Eight hex digits wrap to the signed value; leading zeros do not count against the width.
TEST(StrToInt, AcceptsSignDecimalBothHexPrefixesAndEightHexDigitsWrapped) {
  const std::pair<const char*, int> cases[] = {
      {"0", 0},           {"-17", -17},         {"+17", 17},          {"  42", 42},          {"$1F", 31},
      {"0x1f", 31},       {"0X1F", 31},         {"-$10", -16},        {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN}, {"$FFFFFFFF", -1}, {"$80000000", INT32_MIN}, {"$000000001", 1}};
  for (const auto& [text, value] : cases) EXPECT_EQ(StrToInt(text), value) << text;
  int v;
  EXPECT_FALSE(TryStrToInt("$100000000", v));
}

TEST(StrToInt, RejectsEverythingElseWithTheConversionMessage) {
  for (const char* bad : {"", " ", "-", "+", "$", "0x", "12 ", "1.5", "1e3", "abc", "2147483648", "-2147483649",
                          "$G", "--1", "0x-1"}) {
    int v = 99;
    EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
    EXPECT_EQ(v, 99) << bad;
    EXPECT_EQ(StrToIntDef(bad, -5), -5) << bad;
  }
  EXPECT_EQ(MessageOf<EConvertError>([] { StrToInt("12a"); }), "'12a' is not a valid integer value");
}

TEST(StrToInt64, FullRangeAndSixteenHexDigits) {
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64("4294967296"), 4294967296LL);
  EXPECT_EQ(StrToInt64Def("9223372036854775808", 7), 7);
  EXPECT_THROW(StrToInt64("x"), EConvertError);
}

TEST(IntToHex, UpperCaseMinimumDigitsAndTwosComplement) {
  const std::tuple<int, int, const char*> cases[] = {
      {255, 2, "FF"}, {255, 4, "00FF"}, {0x12345, 2, "12345"}, {0, 0, "0"}, {-1, 2, "FFFFFFFF"}};
  for (const auto& [value, digits, text] : cases) EXPECT_EQ(IntToHex(value, digits), text) << value;
  EXPECT_EQ(IntToHex(int64_t{-1}, 2), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToStr(-12), "-12");
}

TEST(Format, IntegersStringsWidthPrecision) {
  EXPECT_EQ(Format("%d|%5d|%-5d|%.3d", {7, 7, 7, 7}), "7|    7|7    |007");
  EXPECT_EQ(Format("%x %X %.4x", {255, 255, 10}), "FF FF 000A");
  EXPECT_EQ(Format("%u", {-1}), "4294967295");
  EXPECT_EQ(Format("%d", {int64_t{-9223372036854775807LL - 1}}), "-9223372036854775808");
  EXPECT_EQ(Format("[%s] [%6s] [%-6s] [%.2s]", {"abc", "abc", "abc", "abc"}), "[abc] [   abc] [abc   ] [ab]");
  EXPECT_EQ(Format("100%%", {}), "100%");
  EXPECT_THROW(Format("%d", {"text"}), EConvertError);
  EXPECT_THROW(Format("%s %s", {"one"}), EConvertError);
  EXPECT_THROW(Format("%q", {1}), EConvertError);
}

TEST(FrameworkMessages, OutOfRangeRaisesInvalidOperationWithTheBounds) {
  EXPECT_EQ(MessageOf<EInvalidOperation>([] { RaiseOutOfRange(0, 100); }), "Value must be between 0 and 100");
  EXPECT_EQ(MessageOf<EInvalidOperation>([] { RaiseOutOfRange(-5, 4294967295LL); }),
            "Value must be between -5 and 4294967295");
}

TEST(Floats, DotWhateverTheLocaleAndShortestText) {
  for (const auto& [text, value] : {std::pair{"10.25", 10.25}, {"-1.5e2", -150.0}, {" 3 ", 3.0}, {".5", 0.5}})
    EXPECT_DOUBLE_EQ(StrToFloat(text), value) << text;
  for (const char* bad : {"10,25", "inf", "1e"}) EXPECT_THROW(StrToFloat(bad), EConvertError) << bad;
  EXPECT_EQ(StrToFloatDef("", 2.5), 2.5);
  for (const auto& [value, text] :
       {std::pair{10.25, "10.25"}, {0.1 + 0.2, "0.3"}, {-3.0, "-3"}, {1e20, "1E20"}, {1.5e-7, "1.5E-7"}})
    EXPECT_EQ(FloatToStr(value), text);
}

TEST(Rounding, HalfToEvenAndTruncTowardZero) {
  for (const auto& [value, rounded] : {std::pair{2.5, 2}, {3.5, 4}, {-2.5, -2}, {142.5, 142}})
    EXPECT_EQ(Round(value), rounded) << value;
  EXPECT_EQ(Trunc(-2.7), -2);
  EXPECT_EQ(Trunc(2.7), 2);
}

TEST(Text, TrimCaseAndCompare) {
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(UpperCase("abcЖ"), "ABCЖ") << "ASCII only";
  EXPECT_EQ(AnsiUpperCase("abc жук"), "ABC ЖУК") << "through the system's CP1251 mapping";
  EXPECT_EQ(AnsiLowerCase("ЖУК"), "жук");
  EXPECT_TRUE(SameText("Options.dat", "OPTIONS.DAT"));
  EXPECT_FALSE(SameText("a", "ab"));
  EXPECT_LT(AnsiCompareText("COM10", "com2"), 0);
  EXPECT_EQ(AnsiCompareText("abc", "ABC"), 0);
  EXPECT_NE(AnsiCompareStr("abc", "ABC"), 0);
}

TEST(Paths, PartsOfFileNames) {
  for (const char* name : {"C:\\dir\\fw.hex", "C:fw.hex", "fw.hex"}) EXPECT_EQ(ExtractFileName(name), "fw.hex") << name;
  EXPECT_EQ(ExtractFilePath("C:\\dir\\fw.hex"), "C:\\dir\\");
  EXPECT_EQ(ExtractFilePath("fw.hex"), "");
  EXPECT_EQ(ExtractFileExt("a.b\\c"), "");
  EXPECT_EQ(ExtractFileExt("skin.vkz"), ".vkz");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\x"), "C:\\x\\");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\x\\"), "C:\\x\\");
}

TEST(Files, ExistenceSearchAndExeFolder) {
  const std::string dir = TempFile("find_test");
  CreateDirectoryA(dir.c_str(), nullptr);
  CreateDirectoryA((dir + "\\sub").c_str(), nullptr);
  HANDLE h = CreateFileA((dir + "\\a.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n;
  WriteFile(h, "hello", 5, &n, nullptr);
  CloseHandle(h);

  EXPECT_TRUE(FileExists(dir + "\\a.txt"));
  EXPECT_FALSE(FileExists(dir)) << "a folder is not a file";
  EXPECT_TRUE(DirectoryExists(dir));
  EXPECT_FALSE(DirectoryExists(dir + "\\a.txt"));
  EXPECT_FALSE(FileExists(""));

  TSearchRec f;
  std::vector<std::string> files;
  for (int r = FindFirst(dir + "\\*", faAnyFile & ~faDirectory, f); r == 0; r = FindNext(f)) files.push_back(f.Name);
  FindClose(f);
  ASSERT_EQ(files.size(), 1u) << "folders only with faDirectory";
  EXPECT_EQ(files[0], "a.txt");
  std::vector<std::string> all;
  for (int r = FindFirst(dir + "\\*", faAnyFile, f); r == 0; r = FindNext(f)) all.push_back(f.Name);
  FindClose(f);
  EXPECT_NE(std::find(all.begin(), all.end(), "sub"), all.end());
  ASSERT_EQ(FindFirst(dir + "\\a.txt", faAnyFile, f), 0);
  EXPECT_EQ(f.Size, 5);
  FindClose(f);
  EXPECT_NE(FindFirst(dir + "\\none*", faAnyFile, f), 0);

  DeleteFileA((dir + "\\a.txt").c_str());
  RemoveDirectoryA((dir + "\\sub").c_str());
  RemoveDirectoryA(dir.c_str());
  EXPECT_TRUE(FileExists(ParamStr(0)));
  EXPECT_EQ(ExeFolder(), ExtractFilePath(ParamStr(0)));
}

TEST(CommandLine, ParamStrFromTheInjectedCommandLine) {
  Platform().GetCommandLineA = [] { return "\"C:\\Program Files\\loader.exe\" /vkver  \"a b\"c /vkpreview"; };
  EXPECT_EQ(ParamCount(), 3);
  EXPECT_EQ(ParamStr(1), "/vkver");
  EXPECT_EQ(ParamStr(2), "a bc");
  EXPECT_EQ(ParamStr(3), "/vkpreview");
  EXPECT_EQ(ParamStr(4), "");
  Platform().GetCommandLineA = [] { return "loader.exe"; };
  EXPECT_EQ(ParamCount(), 0);
  ResetPlatform();
  EXPECT_GE(ParamCount(), 1) << "the real command line of the test program carries the filter";
}

TEST(PlatformTable, ResetRestoresDefaultsAndRunsHooks) {
  int resets = 0;
  const int id = AddResetHook([&] { ++resets; });
  Platform().GetTickCount = [] { return DWORD{5}; };
  std::vector<TMessageBoxRequest> boxes;
  Platform().MessageBoxSink = [&](const TMessageBoxRequest& r) {
    boxes.push_back(r);
    return IDNO;
  };
  Platform().SetLayeredWindowAttributes = [](HWND, COLORREF, BYTE, DWORD) { return TRUE; };
  TMessageBoxRequest r;
  r.text = "Erase?";
  r.flags = MB_YESNO;
  EXPECT_EQ(PlatformMessageBox(r), IDNO);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Erase?");
  ResetPlatform();
  EXPECT_EQ(resets, 1);
  EXPECT_FALSE(HasMessageBoxSink());
  EXPECT_FALSE(Platform().SetLayeredWindowAttributes(nullptr, 0, 128, LWA_ALPHA)) << "the real call refuses no window";
  const DWORD real = Platform().GetTickCount();
  EXPECT_LE(real - GetTickCount(), 1000u);
  RemoveResetHook(id);
  ResetPlatform();
  EXPECT_EQ(resets, 1);
}

TEST(Time, LongTimeFormatOfTheUser) {
  const TDateTime t = EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 9, 0);
  int y, m, d, h, mi, s, ms;
  DecodeDate(t, y, m, d);
  DecodeTime(t, h, mi, s, ms);
  EXPECT_EQ((std::vector<int>{y, m, d, h, mi, s}), (std::vector<int>{2024, 2, 29, 13, 5, 9}));
  EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0.0);
  const SYSTEMTIME st{2024, 2, 0, 29, 13, 5, 9, 0};
  char expected[64];
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, expected, sizeof expected);
  EXPECT_EQ(TimeToStr(t), expected);
  // The test environment's locale is Ukrainian (code page 1251): four-digit years.
  EXPECT_EQ(ShortDateFormat(), "dd.MM.yyyy");
}

}  // namespace
