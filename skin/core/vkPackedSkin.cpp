#include "skin/core/vkPackedSkin.h"

#include <windows.h>
#include <zlib.h>

#include <cstring>
#include <fstream>

#include "framework/SysUtils.h"

IMPLEMENT_CLASS(TvkSkinConvertor)

const char* const kNotPackedSkinMessage = "Loaded data is not a packed VelkorSkin file";

void TvkSkinConvertor::Clear() {
  while (!Files.empty()) Files.pop_back();
  Options.reset();
  PackedData.clear();
  PackedData.shrink_to_fit();
  LastIndex = -1;
}

const TvkPackedFile* TvkSkinConvertor::FindPackedImage(const std::string& Name) const {
  std::string up = UpperCase(Name);
  for (const auto& f : Files)
    if (UpperCase(f.FileName) == up) return &f;
  return nullptr;
}

namespace {

class TByteReader {
public:
  TByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t Remaining() const { return size_ - pos_; }
  size_t Position() const { return pos_; }
  uint32_t U32(const char* what) {
    if (Remaining() < 4) throw EReadError(std::string("Packed skin ends inside ") + what);
    uint32_t v;
    std::memcpy(&v, data_ + pos_, 4);
    pos_ += 4;
    return v;
  }
  std::string Bytes(size_t n, const char* what) {
    if (Remaining() < n) throw EReadError(std::string("Packed skin ends inside ") + what);
    std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return s;
  }
  const uint8_t* Here() const { return data_ + pos_; }
  void Skip(size_t n) { pos_ += n; }

private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// Inflates one zlib stream at the reader's position into Out, which must come to exactly Expected bytes;
// the reader then stands just behind the stream.
void InflateEntry(TByteReader& in, uint32_t expected, const std::string& name, std::vector<uint8_t>& out) {
  if (expected > kMaxPackedEntrySize)
    throw EDecompressionError("Entry \"" + name + "\" claims " + std::to_string(expected) + " bytes");
  if (static_cast<uint64_t>(expected) > static_cast<uint64_t>(in.Remaining()) * kMaxInflateRatio + 64)
    throw EDecompressionError("Entry \"" + name + "\" claims more bytes than its data can hold");
  out.assign(expected, 0);  // bounded above
  z_stream z{};
  if (inflateInit(&z) != Z_OK) throw EDecompressionError("Inflate cannot start");
  z.next_in = const_cast<Bytef*>(in.Here());
  z.avail_in = static_cast<uInt>(in.Remaining());
  z.next_out = out.data();
  z.avail_out = expected;
  int rc = Z_OK;
  while (z.avail_out > 0) {
    rc = inflate(&z, Z_NO_FLUSH);
    if (rc != Z_OK || z.avail_in == 0) break;
  }
  if (rc == Z_OK && z.avail_out == 0) {
    // the stated size is filled: the stream must end here without another byte
    uint8_t spill[1];
    z.next_out = spill;
    z.avail_out = sizeof spill;
    rc = inflate(&z, Z_NO_FLUSH);
  }
  uLong consumed = z.total_in, produced = z.total_out;
  inflateEnd(&z);
  if (rc != Z_STREAM_END) {
    out.clear();
    if (produced > expected)
      throw EDecompressionError("Entry \"" + name + "\" inflates to more than its stated " +
                                std::to_string(expected) + " bytes");
    throw EDecompressionError("Entry \"" + name + "\" holds a damaged or truncated zlib stream");
  }
  if (produced != expected) {
    out.clear();
    throw EDecompressionError("Entry \"" + name + "\" inflates to " + std::to_string(produced) + " bytes, not " +
                              std::to_string(expected));
  }
  in.Skip(consumed);
}

}  // namespace

bool UnpackSkin(const uint8_t* Data, size_t Size, TvkSkinConvertor& Convertor) {
  std::vector<uint8_t> keep;
  keep.swap(Convertor.PackedData);  // the caller's bytes may live there
  Convertor.Clear();
  Convertor.PackedData.swap(keep);
  if (Size < 4 || std::memcmp(Data, kPackedSkinSignature, 4) != 0) return false;
  TByteReader in(Data, Size);
  in.Skip(4);
  try {
    uint32_t count = in.U32("the entry count");
    // the smallest entry is 4 + 0 + 4 bytes of header and a zlib stream of at least 8 bytes
    if (count > in.Remaining() / 16)
      throw EReadError("Packed skin claims " + std::to_string(count) + " entries in " +
                       std::to_string(Size) + " bytes");
    Convertor.LastIndex = static_cast<int>(count) - 1;
    for (uint32_t i = 0; i < count; ++i) {
      uint32_t nameLen = in.U32("an entry name length");
      if (nameLen > in.Remaining()) throw EReadError("Packed skin entry name runs past the data");
      std::string name = in.Bytes(nameLen, "an entry name");
      uint32_t size = in.U32("an entry size");
      if (UpperCase(name) == "OPTIONS.DAT") {
        std::vector<uint8_t> text;
        InflateEntry(in, size, name, text);
        Convertor.Options = std::make_unique<std::string>(text.begin(), text.end());
      } else {
        TvkPackedFile file;
        file.FileName = name;
        file.IsBitmap = UpperCase(ExtractFileExt(name)) == ".BMP";
        InflateEntry(in, size, name, file.Data);
        Convertor.Files.push_back(std::move(file));
      }
    }
  } catch (...) {
    keep.swap(Convertor.PackedData);
    Convertor.Clear();
    Convertor.PackedData.swap(keep);
    throw;
  }
  return true;
}

bool LoadPackedSkin(const std::string& FileName, TvkSkinConvertor*& Convertor) {
  if (!FileExists(FileName)) return false;
  if (!Convertor)
    Convertor = new TvkSkinConvertor();
  else
    Convertor->Clear();
  std::ifstream f(FileName, std::ios::binary);
  if (!f) throw EFOpenError("Cannot open file \"" + FileName + "\"");
  f.seekg(0, std::ios::end);
  std::streamoff len = f.tellg();
  f.seekg(0);
  if (len < 0 || static_cast<uint64_t>(len) > 512ull << 20) throw EReadError("Packed skin file too large: " + FileName);
  Convertor->PackedData.resize(static_cast<size_t>(len));
  if (len > 0 && !f.read(reinterpret_cast<char*>(Convertor->PackedData.data()), len))
    throw EReadError("Cannot read \"" + FileName + "\"");
  std::vector<uint8_t> bytes;
  bytes.swap(Convertor->PackedData);
  bool ok;
  try {
    ok = UnpackSkin(bytes.data(), bytes.size(), *Convertor);
  } catch (...) {
    Convertor->PackedData.clear();
    throw;
  }
  Convertor->PackedData.clear();
  return ok;
}

size_t SearchBMH(const uint8_t* Text, size_t TextLen, const uint8_t* Pattern, size_t PatternLen) {
  if (PatternLen == 0 || TextLen < PatternLen) return 0;
  size_t shift[256];
  for (size_t& s : shift) s = PatternLen;
  for (size_t i = 0; i + 1 < PatternLen; ++i) shift[Pattern[i]] = PatternLen - 1 - i;
  size_t pos = 0;
  while (pos + PatternLen <= TextLen) {
    size_t j = PatternLen - 1;
    while (Text[pos + j] == Pattern[j]) {
      if (j == 0) return pos + 1;
      --j;
    }
    pos += shift[Text[pos + PatternLen - 1]];
  }
  return 0;
}

bool FindPreviewImage(const uint8_t* Data, size_t Size, std::vector<uint8_t>& Target) {
  static const uint8_t kName[] = {'p', 'r', 'e', 'v', 'i', 'e', 'w', 'i', 'm', 'g'};
  Target.clear();
  size_t p = SearchBMH(Data, Size, kName, sizeof kName);
  if (p == 0) return false;
  size_t at = p + 9;  // 1-based position p: the name ends at byte offset p + 9
  if (Size - at < 4) return false;
  uint32_t s;
  std::memcpy(&s, Data + at, 4);
  at += 4;
  if (s > Size - at) return false;  // a size reaching past the data is no preview
  Target.assign(Data + at, Data + at + s);
  return true;
}
