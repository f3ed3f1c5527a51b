#pragma once
// The bootloader's ASCII frames: checksums, frame building, reply checks and the fields the
// loader takes out of the identify and description replies. No window, no port: pure text.
#include <cstdint>
#include <string>

// Byte-pair sum of a text of hex digits: each pair is one byte (a pair that is not hex counts 0),
// the sum is returned as its last two upper-case hex digits. A trailing odd digit is ignored.
std::string HexPairSumChecksum(const std::string& text);

// Upper-case hex of value with at least `digits` digits (more when the value needs them).
std::string IntToHexText(uint64_t value, int digits);

// Strict hexadecimal field: anything but 1 to 8 hex digits raises the framework's conversion error.
uint32_t HexFieldValue(const std::string& text);
// Lenient hexadecimal field: 0 when the text is not hexadecimal.
int32_t HexFieldValueOrZero(const std::string& text);
// Strict decimal number (optional sign), as a 32-bit signed value; conversion error otherwise.
int32_t DecimalFieldValue(const std::string& text);

// Characters [first, first + count) of text by 1-based position, clipped to the text.
std::string TextSlice(const std::string& text, size_t first, size_t count);

// "z" + command + parameters + checksum of command and parameters + ";".
std::string BuildFrame(const std::string& command, const std::string& parameters);
std::string EraseFrame(uint64_t pageAddress);
std::string DataFrame(int blockNumber, const std::string& blockDigits);

// Frames without parameters, and the wake-up.
extern const char* const WakeUpText;      // "zzzzz"
extern const char* const ResetFrame;      // "z0101;"
extern const char* const IdentifyFrame;   // "z0202;"
extern const char* const DescribeFrame;   // "z0303;"
extern const char* const CommitFrame;     // "z0606;"

// A frame reply is accepted when it starts with the expected three characters ("z84", ...)
// and ends with ";".
bool FrameReplyAccepted(const std::string& reply, const std::string& expectedStart);

// Fields of an identify reply, by their fixed character positions.
struct TIdentifyReply {
  std::string ReplyCode;      // characters 2-3
  std::string LoaderVersion;  // 4-5
  std::string SpareField1;    // 6-7
  std::string SpareField2;    // 8-9
  int32_t BlocksPerPage = 0;  // 10-11, hex, 0 when not hex
  int32_t BlockSize = 0;      // 12-13
  int32_t PageCount = 0;      // 14-17
};
TIdentifyReply ParseIdentifyReply(const std::string& reply);

// A description reply without its "z", reply code and ";": the text and its two checksum
// characters (characters 4 to length - 1). Empty for a reply too short to hold any.
std::string DescriptionBody(const std::string& reply);
// The description as the memo shows it: the body without its two checksum characters, each
// line feed starting a new line.
std::string DescriptionMemoText(const std::string& body);
