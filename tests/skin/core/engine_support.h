// Helpers of the skin engine tests: a held manager, scratch skin folders, small images, packed bytes, the
// carried skins built next to the test program, and a recorder of the loader's message boxes.
#pragma once
#include <windows.h>
#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "framework/Platform.h"
#include "framework/SysUtils.h"
#include "tests/support/Owned.h"
#include "tests/support/SkinFolder.h"

class TsSkinManager;

namespace engine_test {

using ManagerPtr = testing_support::Owned<TsSkinManager>;

inline std::string SkinBuildFolder() { return testing_support::CarriedSkinFolder(); }

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}
inline void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
inline void WriteFileText(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
}

// A 24-bit BMP; pixel(x, y) gives 0x00RRGGBB.
template <class F> std::vector<uint8_t> MakeBmp(int w, int h, F pixel) {
  int stride = (w * 3 + 3) & ~3;
  std::vector<uint8_t> b(54 + static_cast<size_t>(stride) * h, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<uint32_t>(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));
  b[26] = 1;
  b[28] = 24;
  put32(34, static_cast<uint32_t>(stride * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t c = pixel(x, y);
      size_t at = 54 + static_cast<size_t>(h - 1 - y) * stride + x * 3;
      b[at] = static_cast<uint8_t>(c);
      b[at + 1] = static_cast<uint8_t>(c >> 8);
      b[at + 2] = static_cast<uint8_t>(c >> 16);
    }
  return b;
}
inline std::vector<uint8_t> SolidBmp(int w, int h, uint32_t rgb) {
  return MakeBmp(w, h, [rgb](int, int) { return rgb; });
}

inline std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data, int level = 9) {
  uLongf len = compressBound(static_cast<uLong>(data.size()));
  std::vector<uint8_t> out(len);
  compress2(out.data(), &len, data.data(), static_cast<uLong>(data.size()), level);
  out.resize(len);
  return out;
}

inline void PutU32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Packed skin bytes of (name, content) entries.
inline std::vector<uint8_t> Pack(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& entries) {
  std::vector<uint8_t> b = {'V', 'K', 'z', 'f'};
  PutU32(b, static_cast<uint32_t>(entries.size()));
  for (const auto& e : entries) {
    PutU32(b, static_cast<uint32_t>(e.first.size()));
    b.insert(b.end(), e.first.begin(), e.first.end());
    PutU32(b, static_cast<uint32_t>(e.second.size()));
    std::vector<uint8_t> z = Deflate(e.second);
    b.insert(b.end(), z.begin(), z.end());
  }
  return b;
}
inline std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

// A scratch folder removed with everything in it at the end of the test.
class TempFolder {
public:
  TempFolder() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    static int counter = 0;
    path_ = std::string(tmp) + "krl_skin_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++counter) + "\\";
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() { Remove(path_); }
  const std::string& Path() const { return path_; }
  std::string Sub(const std::string& name) const {
    std::string p = path_ + name + "\\";
    CreateDirectoryA(p.c_str(), nullptr);
    return p;
  }

private:
  static void Remove(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::string n = fd.cFileName;
        if (n == "." || n == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          Remove(dir + n + "\\");
        else
          DeleteFileA((dir + n).c_str());
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
  }
  std::string path_;
};

// Records every message box instead of showing it; restores the platform at the end.
class BoxRecorder {
public:
  BoxRecorder() {
    Platform().MessageBoxSink = [this](const TMessageBoxRequest& r) {
      texts.push_back(r.text);
      return IDOK;
    };
  }
  ~BoxRecorder() { ResetPlatform(); }
  std::vector<std::string> texts;
};

}  // namespace engine_test
