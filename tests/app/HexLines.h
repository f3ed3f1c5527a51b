#pragma once
// Intel HEX record lines with correct checksums, for the tests.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

inline std::string HexRecord(int type, unsigned address, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> bytes{static_cast<uint8_t>(data.size()), static_cast<uint8_t>(address >> 8),
                             static_cast<uint8_t>(address), static_cast<uint8_t>(type)};
  bytes.insert(bytes.end(), data.begin(), data.end());
  unsigned sum = 0;
  std::string line = ":";
  char pair[3];
  for (uint8_t b : bytes) {
    sum += b;
    std::snprintf(pair, sizeof pair, "%02X", b);
    line += pair;
  }
  std::snprintf(pair, sizeof pair, "%02X", (256 - sum % 256) % 256);
  return line + pair;
}
