#include "app/HexRecords.h"

#include "framework/System.h"
#include "tests/app/HexLines.h"

#include <gtest/gtest.h>

namespace {

std::string Erased(size_t bytes) { return std::string(2 * bytes, 'F'); }

}  // namespace

TEST(HexRecords, LineChecks) {
  EXPECT_EQ(CheckHexLine(HexRecord(0, 0x0010, {0x01, 0x02, 0x03})), THexLineCheck::Valid);
  EXPECT_EQ(CheckHexLine(":00000001FF"), THexLineCheck::Valid);
  EXPECT_EQ(CheckHexLine(":00000001ff"), THexLineCheck::Valid);
  EXPECT_EQ(CheckHexLine("; a comment"), THexLineCheck::NotRecord);
  EXPECT_EQ(CheckHexLine(""), THexLineCheck::NotRecord);
  EXPECT_EQ(CheckHexLine(":00000001F"), THexLineCheck::ParityError);
  EXPECT_EQ(CheckHexLine(":00000001FE"), THexLineCheck::ChecksumError);
  // A record of only a checksum: the sum of nothing is 0, so "00" is its checksum.
  EXPECT_EQ(CheckHexLine(":00"), THexLineCheck::Valid);
  // Bare colon: no checksum characters to read.
  EXPECT_THROW(CheckHexLine(":"), EConvertError);
  EXPECT_THROW(CheckHexLine(":000000010G"), EConvertError);
}

TEST(HexRecords, DataPlacedAtBasePlusAddressAndLaterWins) {
  std::string image = Erased(0x40000);
  THexPlacer placer(image);
  EXPECT_EQ(placer.Place(HexRecord(0, 0x0002, {0xAA, 0xBB})), THexRecordKind::Data);
  EXPECT_EQ(image.substr(0, 10), "FFFFAABBFF");
  EXPECT_EQ(placer.Place(HexRecord(0, 0x0003, {0x11})), THexRecordKind::Data);
  EXPECT_EQ(image.substr(0, 10), "FFFFAA11FF");

  EXPECT_EQ(placer.Place(HexRecord(4, 0, {0x00, 0x03})), THexRecordKind::LinearAddress);
  EXPECT_EQ(placer.Base(), 0x30000u);
  placer.Place(HexRecord(0, 0x0001, {0x5A}));
  EXPECT_EQ(image.substr(2 * 0x30001, 2), "5A");
  placer.Place(HexRecord(0, 0x0002, {0x6B}));  // the base stays for every later record
  EXPECT_EQ(image.substr(2 * 0x30002, 2), "6B");

  EXPECT_EQ(placer.Place(HexRecord(2, 0, {0x10, 0x00})), THexRecordKind::SegmentAddress);
  EXPECT_EQ(placer.Base(), 0x10000u);
  placer.Place(HexRecord(0, 0x0004, {0x77}));
  EXPECT_EQ(image.substr(2 * 0x10004, 2), "77");

  EXPECT_EQ(placer.Place(HexRecord(3, 0, {0x12, 0x34, 0x56, 0x78})), THexRecordKind::Ignored);
  EXPECT_EQ(placer.Place(HexRecord(5, 0, {0x12, 0x34, 0x56, 0x78})), THexRecordKind::StartLinearAddress);
  EXPECT_EQ(placer.Place(":00000001FF"), THexRecordKind::EndOfFile);
  EXPECT_EQ(placer.Place("comment"), THexRecordKind::NotRecord);
}

TEST(HexRecords, FieldsNeverReadPastTheLineOrWritePastTheImage) {
  std::string image = Erased(16);
  THexPlacer placer(image);
  // The count asks for four bytes, the line holds two: only the two are placed.
  placer.Place(":04000000ABCD00");
  EXPECT_EQ(image.substr(0, 10), "ABCDFFFFFF");
  // A record that runs off the end of the image is cut at its end.
  placer.Place(HexRecord(0, 0x000E, {0x01, 0x02, 0x03, 0x04}));
  EXPECT_EQ(image.size(), 32u);
  EXPECT_EQ(image.substr(28), "0102");
  // A record wholly outside is not placed at all.
  placer.Place(HexRecord(4, 0, {0xFF, 0xFF}));
  placer.Place(HexRecord(0, 0xFFFF, {0x99}));
  EXPECT_EQ(image.size(), 32u);
  EXPECT_EQ(image.find("99"), std::string::npos);
  // A line too short for its type character carries nothing to place.
  EXPECT_EQ(placer.Place(":0000"), THexRecordKind::Ignored);
  // An extended address record without its address field is a conversion error.
  EXPECT_THROW(placer.Place(":0200000400"), EConvertError);
  EXPECT_THROW(placer.Place(":0G00000000"), EConvertError);
}
