#include "app/HexRecords.h"

#include "app/FrameProtocol.h"

#include <algorithm>

namespace {

// The data characters of a record line: from the 10th character up to its checksum.
std::string DataCharacters(const std::string& line) {
  if (line.size() <= 11) return {};
  return line.substr(9, line.size() - 11);
}

} // namespace

THexLineCheck CheckHexLine(const std::string& line) {
  if (line.empty() || line[0] != ':') return THexLineCheck::NotRecord;
  std::string record = line.substr(1);
  if (record.size() % 2 != 0) return THexLineCheck::ParityError;
  const std::string checksumText = record.size() >= 2 ? record.substr(record.size() - 2) : std::string();
  const uint32_t checksum = HexFieldValue(checksumText);
  record.resize(record.size() - checksumText.size());
  const uint32_t sum = HexFieldValue(HexPairSumChecksum(record));
  return checksum == (256 - sum) % 256 ? THexLineCheck::Valid : THexLineCheck::ChecksumError;
}

THexRecordKind THexPlacer::Place(const std::string& line) {
  if (line.empty() || line[0] != ':') return THexRecordKind::NotRecord;
  // A line too short to hold its type character carries no record to place.
  if (line.size() < 9) return THexRecordKind::Ignored;
  switch (line[8]) {
    case '1':
      return THexRecordKind::EndOfFile;
    case '2':
      base_ = HexFieldValue(DataCharacters(line).substr(0, 4)) * 16u;
      return THexRecordKind::SegmentAddress;
    case '4':
      base_ = HexFieldValue(DataCharacters(line).substr(0, 4)) * 65536u;
      return THexRecordKind::LinearAddress;
    case '5':
      return THexRecordKind::StartLinearAddress;
    case '0': {
      const uint32_t count = HexFieldValue(line.substr(1, 2));
      const uint32_t address = HexFieldValue(line.substr(3, 4));
      const std::string data = DataCharacters(line);
      const uint64_t start = 2 * (static_cast<uint64_t>(base_) + address);
      if (start >= image_.size()) return THexRecordKind::Data;
      const size_t length = std::min<uint64_t>({2ull * count, data.size(), image_.size() - start});
      image_.replace(static_cast<size_t>(start), length, data, 0, length);
      return THexRecordKind::Data;
    }
    default:
      return THexRecordKind::Ignored;
  }
}
