#include "app/FrameProtocol.h"

#include "framework/System.h"

#include <gtest/gtest.h>

TEST(FrameProtocol, ChecksumIsLastTwoDigitsOfPlainByteSum) {
  EXPECT_EQ(HexPairSumChecksum("0102FF"), "02");
  EXPECT_EQ(HexPairSumChecksum(""), "00");
  EXPECT_EQ(HexPairSumChecksum("0A"), "0A");
  EXPECT_EQ(HexPairSumChecksum("ff01"), "00");  // lower-case digits are bytes too
  // A pair that is not hex counts 0; a trailing odd digit is not read past the end.
  EXPECT_EQ(HexPairSumChecksum("01ZZ02"), "03");
  EXPECT_EQ(HexPairSumChecksum("0102F"), "03");
}

TEST(FrameProtocol, FramesWithoutParametersAndErase) {
  EXPECT_EQ(BuildFrame("01", ""), "z0101;");
  EXPECT_EQ(BuildFrame("02", ""), "z0202;");
  EXPECT_EQ(BuildFrame("03", ""), "z0303;");
  EXPECT_EQ(BuildFrame("06", ""), "z0606;");
  // The frames the exchanges send as they stand are the frames built for their commands.
  const std::pair<const char*, const char*> stored[] = {
      {ResetFrame, "01"}, {IdentifyFrame, "02"}, {DescribeFrame, "03"}, {CommitFrame, "06"}};
  for (const auto& [frame, command] : stored) EXPECT_EQ(std::string(frame), BuildFrame(command, "")) << command;
  EXPECT_EQ(EraseFrame(0x400), "z0400040008;");
  // An address that needs more than six digits gets them.
  EXPECT_EQ(EraseFrame(0x1234567).substr(0, 10), "z041234567");
}

TEST(FrameProtocol, DataFrameOfSixteenBytesIsFortyCharacters) {
  // Sixteen bytes 0xAA: 05 + 01 + 16 * AA = AA6, checksum A6.
  EXPECT_EQ(DataFrame(1, std::string(32, 'A')), "z0501AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA6;");
  EXPECT_EQ(DataFrame(300, "").substr(0, 6), "z0512C");  // block numbers past FF take more digits
}

TEST(FrameProtocol, ReplyAcceptance) {
  EXPECT_TRUE(FrameReplyAccepted("z84;", "z84"));
  EXPECT_TRUE(FrameReplyAccepted("z84001234;", "z84"));
  EXPECT_FALSE(FrameReplyAccepted("z84", "z84"));
  EXPECT_FALSE(FrameReplyAccepted("z85;", "z84"));
  EXPECT_FALSE(FrameReplyAccepted("Z84;", "z84"));
  EXPECT_FALSE(FrameReplyAccepted("", "z84"));
  EXPECT_FALSE(FrameReplyAccepted("z8", "z84"));
}

TEST(FrameProtocol, IdentifyReplyFields) {
  const TIdentifyReply r = ParseIdentifyReply("z820200001040012C55;");
  EXPECT_EQ(r.ReplyCode, "82");
  EXPECT_EQ(r.LoaderVersion, "02");
  EXPECT_EQ(r.SpareField1, "00");
  EXPECT_EQ(r.SpareField2, "00");
  EXPECT_EQ(r.BlocksPerPage, 16);
  EXPECT_EQ(r.BlockSize, 64);
  EXPECT_EQ(r.PageCount, 0x12C);
  // Geometry fields that are not hex read 0; a short reply gives what it holds.
  const TIdentifyReply bad = ParseIdentifyReply("z82020000XX10GGGG;");
  EXPECT_EQ(bad.BlocksPerPage, 0);
  EXPECT_EQ(bad.BlockSize, 16);
  EXPECT_EQ(bad.PageCount, 0);
  const TIdentifyReply shortReply = ParseIdentifyReply("z8");
  EXPECT_EQ(shortReply.ReplyCode, "8");
  EXPECT_EQ(shortReply.LoaderVersion, "");
  EXPECT_EQ(shortReply.PageCount, 0);
}

TEST(FrameProtocol, DescriptionTextAndLineFeeds) {
  EXPECT_EQ(DescriptionBody("z83171122AB;"), "171122AB");
  EXPECT_EQ(DescriptionMemoText(DescriptionBody("z83171122AB;")), "171122");
  EXPECT_EQ(DescriptionMemoText(DescriptionBody("z83171\n123AB;")), "171\r\n123");
  EXPECT_EQ(DescriptionBody("z83"), "");
  EXPECT_EQ(DescriptionBody(""), "");
  EXPECT_EQ(DescriptionMemoText("AB"), "");
}

TEST(FrameProtocol, StrictAndLenientNumbers) {
  EXPECT_EQ(HexFieldValue("00F0"), 0xF0u);
  EXPECT_EQ(HexFieldValue("ffffffff"), 0xFFFFFFFFu);
  EXPECT_THROW(HexFieldValue(""), EConvertError);
  EXPECT_THROW(HexFieldValue("0G"), EConvertError);
  EXPECT_THROW(HexFieldValue("123456789"), EConvertError);
  try {
    HexFieldValue("XY");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'$XY' is not a valid integer value");
  }
  EXPECT_EQ(HexFieldValueOrZero("1G"), 0);
  EXPECT_EQ(DecimalFieldValue("171124"), 171124);
  EXPECT_EQ(DecimalFieldValue("-12345"), -12345);
  EXPECT_THROW(DecimalFieldValue("17A123"), EConvertError);
  EXPECT_THROW(DecimalFieldValue(" 17112"), EConvertError);
  EXPECT_THROW(DecimalFieldValue("-"), EConvertError);
  EXPECT_THROW(DecimalFieldValue("2147483648"), EConvertError);
  EXPECT_EQ(DecimalFieldValue("-2147483648"), INT32_MIN);
  EXPECT_EQ(IntToHexText(0xAB, 6), "0000AB");
  EXPECT_EQ(IntToHexText(0, 2), "00");
}
