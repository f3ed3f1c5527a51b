// The packed skin reader: layout, names, and damaged or hostile data.
#include <gtest/gtest.h>

#include <cstring>

#include "engine_support.h"
#include "skin/core/vkPackedSkin.h"

using namespace engine_test;

namespace {
bool Unpack(const std::vector<uint8_t>& b, TvkSkinConvertor& c) { return UnpackSkin(b.data(), b.size(), c); }

// The packed bytes with the unpacked size of entry 0 replaced.
std::vector<uint8_t> WithFirstSize(std::vector<uint8_t> b, uint32_t size) {
  uint32_t nameLen;
  std::memcpy(&nameLen, b.data() + 8, 4);
  std::memcpy(b.data() + 12 + nameLen, &size, 4);
  return b;
}
}  // namespace

TEST(PackedSkin, EntriesUnpackToTextAndImages) {
  std::vector<uint8_t> bmp = SolidBmp(3, 2, 0x112233);
  auto packed = Pack({{"BTN.BMP", bmp}, {"options.DAT", Bytes("[GLOBALINFO]\r\n")}, {"EXBORD.PNG", Bytes("png")}});
  TvkSkinConvertor c;
  ASSERT_TRUE(Unpack(packed, c));
  ASSERT_NE(c.Options, nullptr);  // any case of "Options.dat" is the skin text
  EXPECT_EQ(*c.Options, "[GLOBALINFO]\r\n");
  EXPECT_EQ(c.LastIndex, 2);
  ASSERT_EQ(c.Files.size(), 2u);
  EXPECT_EQ(c.Files[0].FileName, "BTN.BMP");
  EXPECT_TRUE(c.Files[0].IsBitmap);
  EXPECT_FALSE(c.Files[1].IsBitmap);
  EXPECT_EQ(c.Files[0].Data, bmp);
  EXPECT_EQ(c.FindPackedImage("btn.bmp"), &c.Files[0]);
  EXPECT_EQ(c.FindPackedImage("none.bmp"), nullptr);
  // Bytes after the last entry are not read; no entries give no text.
  auto trailing = Pack({{"OPTIONS.DAT", Bytes("x")}});
  trailing.insert(trailing.end(), {1, 2, 3, 4, 5});
  TvkSkinConvertor t, none;
  ASSERT_TRUE(Unpack(trailing, t));
  EXPECT_EQ(*t.Options, "x");
  ASSERT_TRUE(Unpack(Pack({}), none));
  EXPECT_EQ(none.Options, nullptr);
  EXPECT_TRUE(none.Files.empty());
}

TEST(PackedSkin, AWrongSignatureIsRefusedAndADamagedStreamRaises) {
  auto packed = Pack({{"OPTIONS.DAT", Bytes("x")}});
  packed[3] = 'F';
  TvkSkinConvertor c;
  EXPECT_FALSE(Unpack(packed, c));
  EXPECT_EQ(c.Options, nullptr);
  EXPECT_FALSE(Unpack(std::vector<uint8_t>{'V', 'K'}, c));
  // A stream damaged inside raises.
  auto damaged = Pack({{"OPTIONS.DAT", Bytes(std::string(200, 'q'))}});
  damaged[8 + 4 + 11 + 4 + 3] ^= 0x55;
  EXPECT_THROW(Unpack(damaged, c), EDecompressionError);
}

TEST(PackedSkin, TruncatedDataRaisesAndLeavesNothing) {
  auto packed = Pack({{"OPTIONS.DAT", Bytes(std::string(300, 'a'))}, {"A.BMP", SolidBmp(4, 4, 1)}});
  for (size_t cut = 5; cut < packed.size(); cut += 3) {
    std::vector<uint8_t> part(packed.begin(), packed.begin() + cut);
    TvkSkinConvertor c;
    EXPECT_THROW(Unpack(part, c), Exception) << cut;
    EXPECT_EQ(c.Options, nullptr);
    EXPECT_TRUE(c.Files.empty());
  }
}

TEST(PackedSkin, CountsAndLengthsBeyondTheDataAreRefused) {
  auto packed = Pack({{"OPTIONS.DAT", Bytes("abc")}});
  std::vector<uint8_t> many = packed;
  uint32_t huge = 0x7FFFFFFF;
  std::memcpy(many.data() + 4, &huge, 4);
  TvkSkinConvertor c;
  EXPECT_THROW(Unpack(many, c), EReadError);
  std::vector<uint8_t> longName = packed;
  std::memcpy(longName.data() + 8, &huge, 4);
  EXPECT_THROW(Unpack(longName, c), EReadError);
}

TEST(PackedSkin, AnEntryMustInflateToExactlyItsSize) {
  auto packed = Pack({{"OPTIONS.DAT", Bytes("hello world")}});
  TvkSkinConvertor c;
  EXPECT_THROW(Unpack(WithFirstSize(packed, 10), c), EDecompressionError);  // more than stated
  EXPECT_THROW(Unpack(WithFirstSize(packed, 12), c), EDecompressionError);  // less than stated
  EXPECT_THROW(Unpack(WithFirstSize(packed, 0xFFFFFFF0u), c), EDecompressionError);  // claim beyond any bound
  EXPECT_TRUE(Unpack(WithFirstSize(packed, 11), c));
}

TEST(PackedSkin, AZlibBombEndsAtItsStatedSize) {
  // 16 MB of zeros squeeze into a few kilobytes; the entry claims 1000 bytes
  std::vector<uint8_t> zeros(16u << 20, 0);
  std::vector<uint8_t> b = {'V', 'K', 'z', 'f'};
  PutU32(b, 1);
  PutU32(b, 11);
  for (char ch : std::string("OPTIONS.DAT")) b.push_back(static_cast<uint8_t>(ch));
  PutU32(b, 1000);
  auto z = Deflate(zeros);
  b.insert(b.end(), z.begin(), z.end());
  TvkSkinConvertor c;
  EXPECT_THROW(Unpack(b, c), EDecompressionError);
  // the true size is honoured; a claim beyond the reader's bound is refused before anything is allocated
  EXPECT_TRUE(Unpack(WithFirstSize(b, 16u << 20), c));
  EXPECT_EQ(c.Options->size(), 16u << 20);
  EXPECT_THROW(Unpack(WithFirstSize(b, 100u << 20), c), EDecompressionError);
}

TEST(PackedSkin, LoadPackedSkinReadsAFileAndIgnoresAMissingOne) {
  TempFolder dir;
  WriteFileBytes(dir.Path() + "S.vkz", Pack({{"OPTIONS.DAT", Bytes("t")}}));
  TvkSkinConvertor* c = nullptr;
  EXPECT_FALSE(LoadPackedSkin(dir.Path() + "none.vkz", c));
  EXPECT_EQ(c, nullptr);
  EXPECT_TRUE(LoadPackedSkin(dir.Path() + "S.vkz", c));
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(*c->Options, "t");
  EXPECT_TRUE(c->PackedData.empty());  // the packed bytes are kept only while reading
  c->Free();
}

// The whole-file reader every skin file goes through: the limit is checked before anything is read.
TEST(PackedSkin, WholeFilesAreReadUpToTheirLimit) {
  TempFolder dir;
  const std::string file = dir.Path() + "F.bin";
  WriteFileBytes(file, Bytes("abcd"));
  EXPECT_EQ(ReadFileBytes(file, 4, "big"), Bytes("abcd"));
  try {
    ReadFileBytes(file, 3, "F is too large");
    ADD_FAILURE() << "a file over the limit was read";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "F is too large");
  }
  EXPECT_THROW(ReadFileBytes(dir.Path() + "none.bin", 4, "big"), EFOpenError);
}

TEST(PackedSkin, BoyerMooreHorspoolSearch) {
  auto find = [](const std::string& text, const std::string& pat) {
    return SearchBMH(reinterpret_cast<const uint8_t*>(text.data()), text.size(),
                     reinterpret_cast<const uint8_t*>(pat.data()), pat.size());
  };
  EXPECT_EQ(find("xxpreviewimgyy", "previewimg"), 3u);
  EXPECT_EQ(find("previewimg", "previewimg"), 1u);
  EXPECT_EQ(find("previewim", "previewimg"), 0u);
  EXPECT_EQ(find("abcabcabd", "abd"), 7u);
  EXPECT_EQ(find("", "a"), 0u);
}

TEST(PackedSkin, PreviewBytesFollowTheirName) {
  std::vector<uint8_t> b = {'V', 'K', 'z', 'f', 0, 0, 0, 0};
  for (char ch : std::string("previewimg")) b.push_back(static_cast<uint8_t>(ch));
  PutU32(b, 3);
  b.insert(b.end(), {7, 8, 9, 10});
  std::vector<uint8_t> preview;
  ASSERT_TRUE(FindPreviewImage(b.data(), b.size(), preview));
  EXPECT_EQ(preview, (std::vector<uint8_t>{7, 8, 9}));
  EXPECT_FALSE(FindPreviewImage(b.data(), 8, preview));
  // a size reaching past the data is no preview
  b[18] = 200;
  EXPECT_FALSE(FindPreviewImage(b.data(), b.size(), preview));
  auto none = Pack({{"OPTIONS.DAT", Bytes("t")}});
  EXPECT_FALSE(FindPreviewImage(none.data(), none.size(), preview));
}
