#pragma once
// Intel HEX records (data, end of file, extended segment and linear addresses) checked and placed
// into the firmware image: a text of hex digits, two per byte, erased bytes "FF".
#include <cstdint>
#include <string>

// Bytes the image holds, and the characters that hold them.
constexpr uint32_t FirmwareImageBytes = 20000000;
constexpr size_t FirmwareImageChars = 2 * static_cast<size_t>(FirmwareImageBytes);
// The erased run the image is built from.
constexpr size_t ErasedRunChars = 40;
constexpr size_t ErasedRunCount = FirmwareImageChars / ErasedRunChars;

enum class THexLineCheck { NotRecord, Valid, ParityError, ChecksumError };

// Checks one line: lines not starting with ":" are no records; a record must hold an even number
// of characters after its colon and carry the two's complement checksum of its other bytes.
// A checksum field that is not hexadecimal raises the framework's conversion error.
THexLineCheck CheckHexLine(const std::string& line);

enum class THexRecordKind { NotRecord, EndOfFile, SegmentAddress, LinearAddress, StartLinearAddress, Data, Ignored };

// Places records into an image, keeping the extended address base between lines.
class THexPlacer {
public:
  explicit THexPlacer(std::string& image) : image_(image) {}
  // Applies one line by the low digit of its type (its 9th character). Numeric fields are read
  // strictly (conversion error). Fields are read only from the characters between the type and
  // the checksum; data beyond the line or beyond the image is not placed.
  THexRecordKind Place(const std::string& line);
  uint32_t Base() const { return base_; }

private:
  std::string& image_;
  uint32_t base_ = 0;
};
