#pragma once
// Intel HEX record lines with correct checksums, and files of them, for the tests.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
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

// Writes the lines, each ended by CR LF, into a file of the temporary folder named after this process and
// `name`; returns its path.
inline std::string WriteHexFile(const std::string& name, const std::vector<std::string>& lines) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + std::to_string(GetCurrentProcessId()) + "-" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  for (const std::string& line : lines) std::fprintf(f, "%s\r\n", line.c_str());
  std::fclose(f);
  return path;
}
