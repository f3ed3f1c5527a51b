#include <gtest/gtest.h>

#include <cstring>

#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "tests/framework/core_test_util.h"

namespace {

TEST(MemoryStream, WriteGrowSeekReadAndShortTransfers) {
  TMemoryStream m;
  m.WriteBuffer("abcdef", 6);
  EXPECT_EQ(m.Size(), 6);
  EXPECT_EQ(m.Position(), 6);
  m.SetPosition(10);
  m.WriteBuffer("Z", 1);
  EXPECT_EQ(m.Size(), 11);
  EXPECT_EQ(static_cast<char*>(m.Memory())[8], '\0') << "the gap reads as zeros";
  m.SetPosition(2);
  char buf[4] = {};
  m.ReadBuffer(buf, 3);
  EXPECT_STREQ(buf, "cde");
  m.Seek(-1, soEnd);
  EXPECT_EQ(m.Read(buf, 4), 1);
  EXPECT_EQ(MessageOf<EReadError>([&] { m.ReadBuffer(buf, 1); }), "Stream read error");
  m.SetSize(3);
  EXPECT_EQ(m.Position(), 3);
  EXPECT_EQ(std::string(static_cast<char*>(m.Memory()), 3), "abc");
  m.Clear();
  EXPECT_EQ(m.Size(), 0);
  EXPECT_EQ(m.Memory(), nullptr);
}

TEST(MemoryStream, CopyFromCountOrWholeSource) {
  TStringStream src("0123456789");
  TMemoryStream dst;
  src.SetPosition(4);
  EXPECT_EQ(dst.CopyFrom(&src, 3), 3);
  EXPECT_EQ(src.Position(), 7);
  EXPECT_EQ(dst.CopyFrom(&src, 0), 10) << "0 copies the whole source from its start";
  EXPECT_EQ(std::string(static_cast<char*>(dst.Memory()), 13), "4560123456789");
  src.SetPosition(8);
  EXPECT_THROW(dst.CopyFrom(&src, 5), EReadError);
}

TEST(MemoryStream, BigContentGrowsInFewSteps) {
  TMemoryStream m;
  std::string chunk(1000, 'x');
  for (int i = 0; i < 1000; ++i) m.WriteBuffer(chunk.data(), 1000);
  EXPECT_EQ(m.Size(), 1000000);
  TMemoryStream copy;
  copy.LoadFromStream(m);
  EXPECT_EQ(copy.Size(), 1000000);
  EXPECT_EQ(copy.Position(), 0);
}

TEST(FileStream, CreateReadShareAndErrorsNameTheFile) {
  const std::string name = TempFile("fwcore_stream.bin");
  {
    TFileStream f(name, fmCreate);
    f.WriteBuffer("hello", 5);
    EXPECT_EQ(f.Size(), 5);
  }
  {
    TFileStream r(name, fmOpenRead | fmShareDenyWrite);
    TFileStream r2(name, fmOpenRead | fmShareDenyWrite);  // readers share
    char buf[6] = {};
    r.ReadBuffer(buf, 5);
    EXPECT_STREQ(buf, "hello");
    EXPECT_EQ(r.Write("x", 1), 0) << "read-only handle";
    EXPECT_THROW(TFileStream(name, fmOpenWrite), EFOpenError) << "a reader denies writers";
  }
  TMemoryStream m;
  m.LoadFromFile(name);
  EXPECT_EQ(m.Size(), 5);
  DeleteFileA(name.c_str());
  const std::string missing = MessageOf<EFOpenError>([&] { TFileStream f(name, fmOpenRead); });
  EXPECT_NE(missing.find("Cannot open file \"" + name + "\""), std::string::npos) << missing;
  EXPECT_THROW(TFileStream("Z:\\no\\such\\dir\\x.bin", fmCreate), EFCreateError);
}

TEST(StringStream, DataStringReadStringOverwrite) {
  TStringStream s("abc");
  EXPECT_EQ(s.ReadString(2), "ab");
  s.WriteString("XYZ");
  EXPECT_EQ(s.DataString(), "abXYZ");
  s.SetPosition(100);
  EXPECT_EQ(s.Position(), 5);
  EXPECT_EQ(s.ReadString(3), "");
}

TEST(ResourceStream, ReadsAResourceOfAModuleByNameAndRefusesWrites) {
  // The system's close-button bitmap (OBM_CLOSE) stands in for a resource of our own.
  HMODULE user32 = GetModuleHandleA("user32.dll");
  ASSERT_TRUE(ResourceExists(user32, "#32754", MAKEINTRESOURCEA(2)));
  TResourceStream r(user32, "#32754", MAKEINTRESOURCEA(2));
  ASSERT_GT(r.Size(), 40);
  BITMAPINFOHEADER header;
  r.ReadBuffer(&header, sizeof header);
  EXPECT_EQ(header.biSize, sizeof header);
  EXPECT_EQ(r.Position(), static_cast<int64_t>(sizeof header));
  EXPECT_THROW(r.Write("x", 1), EStreamError);
  EXPECT_THROW(r.SetSize(1), EStreamError);
}

TEST(ResourceStream, MissingResourceNamesIt) {
  EXPECT_EQ(MessageOf<EResNotFound>([] { TResourceStream r(GetModuleHandleA(nullptr), "NO_SUCH_FORM"); }),
            "Resource NO_SUCH_FORM not found");
  EXPECT_FALSE(ResourceExists(GetModuleHandleA(nullptr), "NO_SUCH_FORM"));
}

}  // namespace
