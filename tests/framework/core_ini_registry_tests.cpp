#include <gtest/gtest.h>

#include "framework/IniFiles.h"
#include "framework/Registry.h"
#include "tests/framework/core_test_util.h"

namespace {

const char* kSkin =
    "KEY=before any section\n"
    "  [GLOBALINFO]  \n"
    "; a comment\n"
    "\n"
    "  VERSION = 7 \n"
    "SHADOW=0x1F\n"
    "OFFSET=$10\n"
    "BIG=0x100000000\n"
    "BAD=12a\n"
    "NOEQUALS\n"
    "URL=a=b\n"
    "VERSION=8\n"
    "[Button]\n"
    "Color=clRed\n"
    "[GLOBALINFO]\n"
    "EXTRA=1\n";

TEST(MemIniFile, ParsesTrimsSkipsAndKeepsTextOrder) {
  TMemIniFile ini;
  ini.SetText(kSkin);
  TStringList l;
  ini.ReadSections(l);
  EXPECT_EQ(Lines(l), (std::vector<std::string>{"GLOBALINFO", "Button"})) << "a repeated section is listed once";
  ini.ReadSection("GLOBALINFO", l);
  EXPECT_EQ(Lines(l), (std::vector<std::string>{"VERSION", "SHADOW", "OFFSET", "BIG", "BAD", "URL", "VERSION"}));
  EXPECT_EQ(ini.ReadString("GLOBALINFO", "VERSION", "?"), "7") << "the first of repeated keys";
  EXPECT_EQ(ini.ReadString("GLOBALINFO", "URL", "?"), "a=b");
  EXPECT_EQ(ini.ReadString("GLOBALINFO", "EXTRA", "?"), "?") << "lookups find the first section of a name";
  EXPECT_EQ(ini.ReadString("GLOBALINFO", "KEY", "?"), "?") << "text before the first section is ignored";
  EXPECT_FALSE(ini.ValueExists("GLOBALINFO", "NOEQUALS"));
  ini.ReadSectionValues("Button", l);
  EXPECT_EQ(Lines(l), (std::vector<std::string>{"Color=clRed"}));
  ini.ReadSection("Missing", l);
  EXPECT_EQ(l.Count(), 0);
}

TEST(MemIniFile, IntegersReadHexAndFallBackToTheDefault) {
  TMemIniFile ini;
  ini.SetText(kSkin);
  // BIG does not fit 32 bits.
  for (const auto& [key, value] : {std::pair{"VERSION", 7}, {"SHADOW", 31}, {"OFFSET", 16}, {"BAD", -1}, {"BIG", -1}})
    EXPECT_EQ(ini.ReadInteger("GLOBALINFO", key, -1), value) << key;
  EXPECT_EQ(ini.ReadInt64("GLOBALINFO", "BIG", -1), 0x100000000LL);
  EXPECT_EQ(ini.ReadInteger("GLOBALINFO", "MISSING", 5), 5);
  EXPECT_EQ(ini.ReadInteger("Button", "Color", 5), 5);
}

// Names compare without case (Cyrillic too) until the switch is set.
TEST(MemIniFile, CaseSensitiveSwitch) {
  TMemIniFile ini;
  ini.SetText("[Sec]\nKey=1\n[Секція]\nКлюч=так\n");
  EXPECT_TRUE(ini.SectionExists("SEC"));
  EXPECT_EQ(ini.ReadString("sec", "KEY", ""), "1");
  EXPECT_EQ(ini.ReadString("СЕКЦІЯ", "ключ", ""), "так");
  ini.SetCaseSensitive(true);
  EXPECT_FALSE(ini.SectionExists("SEC"));
  EXPECT_EQ(ini.ReadString("Sec", "KEY", "d"), "d");
  EXPECT_EQ(ini.ReadString("Sec", "Key", "d"), "1");
}

TEST(Registry, ReadsTypedValuesAndRaisesOnWrongTypes) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\FwCoreTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  DWORD dw = 1234;
  RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&dw), sizeof dw);
  RegSetValueExA(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>("COM3"), 5);
  RegSetValueExA(key, "Bytes", 0, REG_BINARY, reinterpret_cast<const BYTE*>("ab"), 2);
  RegCloseKey(key);

  TRegistry reg(KEY_READ);
  EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
  EXPECT_TRUE(reg.KeyExists("Software\\FwCoreTest"));
  EXPECT_FALSE(reg.KeyExists("Software\\FwCoreTestMissing"));
  EXPECT_FALSE(reg.OpenKeyReadOnly("Software\\FwCoreTestMissing"));
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\FwCoreTest"));
  EXPECT_TRUE(reg.ValueExists("Number"));
  EXPECT_FALSE(reg.ValueExists("None"));
  EXPECT_EQ(reg.ReadInteger("Number"), 1234);
  EXPECT_EQ(reg.ReadString("Text"), "COM3");
  EXPECT_EQ(reg.ReadString("None"), "");
  EXPECT_EQ(MessageOf<ERegistryException>([&] { reg.ReadInteger("Text"); }), "Invalid data type for 'Text'");
  EXPECT_THROW(reg.ReadInteger("None"), ERegistryException);
  EXPECT_THROW(reg.ReadString("Bytes"), ERegistryException);
  TStringList names;
  reg.GetValueNames(names);
  names.Sort();
  EXPECT_EQ(Lines(names), (std::vector<std::string>{"Bytes", "Number", "Text"}));
  reg.CloseKey();
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\FwCoreTest");
}

}  // namespace
