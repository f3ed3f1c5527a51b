#include <gtest/gtest.h>
#include <zlib.h>

#include "framework/LateBinding.h"
#include "framework/Platform.h"
#include "framework/ZStream.h"

namespace {

std::string Deflate(const std::string& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
            static_cast<uLong>(data.size()), 9);
  out.resize(size);
  return out;
}

std::string Payload(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + i / 13) & 0xFF);
  return s;
}

TEST(DecompressionStream, StopsExactlyAtTheStreamEndAndRewindsTheSource) {
  const std::string a = Payload(100000), b = "second";
  TMemoryStream src;
  src.WriteBuffer("HDR", 3);
  const std::string za = Deflate(a), zb = Deflate(b);
  src.WriteBuffer(za.data(), static_cast<int32_t>(za.size()));
  src.WriteBuffer(zb.data(), static_cast<int32_t>(zb.size()));
  src.WriteBuffer("TAIL", 4);
  src.SetPosition(3);
  {
    TDecompressionStream z(&src, static_cast<int64_t>(a.size()));
    TMemoryStream out;
    out.CopyFrom(&z, static_cast<int64_t>(a.size()));
    EXPECT_EQ(std::string(static_cast<char*>(out.Memory()), a.size()), a);
    EXPECT_EQ(src.Position(), 3 + static_cast<int64_t>(za.size())) << "just behind the first zlib stream";
  }
  {
    TDecompressionStream z(&src, 6);
    char buf[6];
    z.ReadBuffer(buf, 6);
    EXPECT_EQ(std::string(buf, 6), b);
  }
  char tail[4];
  src.ReadBuffer(tail, 4);
  EXPECT_EQ(std::string(tail, 4), "TAIL");
}

TEST(DecompressionStream, LongerOrShorterThanExpectedRaises) {
  const std::string z = Deflate("0123456789");
  TStringStream s1(z);
  TDecompressionStream shorter(&s1, 8);
  char buf[16];
  EXPECT_THROW(shorter.ReadBuffer(buf, 8), EDecompressionError) << "two bytes more than expected";
  TStringStream s2(z);
  TDecompressionStream longer(&s2, 12);
  EXPECT_THROW(longer.ReadBuffer(buf, 12), EDecompressionError);
  TStringStream s3(z);
  TDecompressionStream exact(&s3, 10);
  exact.ReadBuffer(buf, 10);
  EXPECT_EQ(exact.Read(buf, 5), 0) << "output capped at the expected size";
  EXPECT_TRUE(exact.Finished());
}

TEST(DecompressionStream, CorruptTruncatedAndEmptyStreams) {
  std::string z = Deflate(Payload(5000));
  std::string corrupt = z;
  corrupt[corrupt.size() / 2] ^= 0x55;
  corrupt[corrupt.size() / 2 + 1] ^= 0x33;
  TStringStream s1(corrupt);
  TDecompressionStream c(&s1, 5000);
  TMemoryStream out;
  EXPECT_THROW(out.CopyFrom(&c, 5000), EDecompressionError);
  TStringStream s2(z.substr(0, z.size() / 2));
  TDecompressionStream t(&s2, 5000);
  EXPECT_THROW(out.CopyFrom(&t, 5000), EDecompressionError);
  TStringStream s3("not zlib at all");
  TDecompressionStream bad(&s3);
  char buf[4];
  EXPECT_THROW(bad.Read(buf, 4), EDecompressionError);
  // An empty entry: its zlib stream is consumed at once.
  const std::string empty = Deflate("");
  TStringStream s4(empty + "X");
  TDecompressionStream e(&s4, 0);
  EXPECT_EQ(s4.Position(), static_cast<int64_t>(empty.size()));
  EXPECT_THROW(e.Write("a", 1), EDecompressionError);
}

TEST(DecompressionStream, UnknownSizeReadsToTheEndAndSeeksForwardOnly) {
  const std::string a = Payload(3000);
  TStringStream src(Deflate(a));
  TDecompressionStream z(&src);
  EXPECT_EQ(z.Seek(1000, soBeginning), 1000);
  char buf[10];
  z.ReadBuffer(buf, 10);
  EXPECT_EQ(std::string(buf, 10), a.substr(1000, 10));
  EXPECT_THROW(z.Seek(0, soBeginning), EDecompressionError);
  EXPECT_THROW(z.Size(), EDecompressionError);
  EXPECT_EQ(z.Seek(5000, soBeginning), 3000);
  EXPECT_EQ(z.Read(buf, 10), 0);
}

using GetTickCountFn = DWORD WINAPI();
DWORD WINAPI FakeTicks() { return 77; }

TEST(LateBinding, BindsOnceReplacesAndResets) {
  TLateBound<GetTickCountFn> ticks("kernel32.dll", "GetTickCount");
  TLateBound<GetTickCountFn> missing("kernel32.dll", "NoSuchEntryAnywhere");
  TLateBound<GetTickCountFn> noDll("nosuch_fwcore.dll", "Anything");
  ASSERT_TRUE(ticks.Available());
  EXPECT_EQ(reinterpret_cast<void*>(ticks.Get()),
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount")));
  EXPECT_FALSE(missing.Available());
  EXPECT_FALSE(noDll.Available());
  EXPECT_EQ(LateBoundLibrary("NOSUCH_FWCORE.DLL"), nullptr);
  ticks.Replace(&FakeTicks);
  EXPECT_EQ(ticks.Get()(), 77u);
  ticks.Replace(nullptr);
  EXPECT_FALSE(ticks.Available()) << "a cleared entry runs the missing branch";
  ResetPlatform();
  EXPECT_TRUE(ticks.Available());
  EXPECT_NE(ticks.Get(), &FakeTicks);
  FreeLateBoundLibraries();
  EXPECT_TRUE(ticks.Available()) << "binds again after the libraries were freed";
}

}  // namespace
