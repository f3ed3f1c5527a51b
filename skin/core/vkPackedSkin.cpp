#include "skin/core/vkPackedSkin.h"

#include <windows.h>

#include <cstring>
#include <fstream>

#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/ZStream.h"

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

uint32_t ReadU32(TStream& in, const char* what) {
  if (in.Size() - in.Position() < 4) throw EReadError(std::string("Packed skin ends inside ") + what);
  uint32_t v;
  in.ReadBuffer(&v, 4);
  return v;
}

// Inflates the zlib stream at the reader's position into Out, which must come to exactly Expected bytes;
// the reader then stands just behind the stream.
void InflateEntry(TStream& in, uint32_t expected, const std::string& name, std::vector<uint8_t>& out) {
  uint64_t remaining = static_cast<uint64_t>(in.Size() - in.Position());
  if (expected > kMaxPackedEntrySize)
    throw EDecompressionError("Entry \"" + name + "\" claims " + std::to_string(expected) + " bytes");
  if (static_cast<uint64_t>(expected) > remaining * kMaxInflateRatio + 64)
    throw EDecompressionError("Entry \"" + name + "\" claims more bytes than its data can hold");
  out.assign(expected, 0);  // bounded above
  TDecompressionStream z(&in, expected);
  if (expected > 0) z.ReadBuffer(out.data(), static_cast<int32_t>(expected));
}

}  // namespace

bool UnpackSkin(const uint8_t* Data, size_t Size, TvkSkinConvertor& Convertor) {
  std::vector<uint8_t> keep;
  keep.swap(Convertor.PackedData);  // the caller's bytes may live there
  Convertor.Clear();
  Convertor.PackedData.swap(keep);
  if (Size < 4 || std::memcmp(Data, kPackedSkinSignature, 4) != 0) return false;
  if (Size > 0x7FFFFFFF) throw EReadError("Packed skin too large");
  TMemoryStream in;
  in.WriteBuffer(Data, static_cast<int32_t>(Size));
  in.SetPosition(4);
  try {
    uint32_t count = ReadU32(in, "the entry count");
    // the smallest entry is 4 + 0 + 4 bytes of header and a zlib stream of at least 8 bytes
    if (count > (in.Size() - in.Position()) / 16)
      throw EReadError("Packed skin claims " + std::to_string(count) + " entries in " + std::to_string(Size) +
                       " bytes");
    Convertor.LastIndex = static_cast<int>(count) - 1;
    for (uint32_t i = 0; i < count; ++i) {
      uint32_t nameLen = ReadU32(in, "an entry name length");
      if (nameLen > in.Size() - in.Position()) throw EReadError("Packed skin entry name runs past the data");
      std::string name(nameLen, '\0');
      if (nameLen > 0) in.ReadBuffer(&name[0], static_cast<int32_t>(nameLen));
      uint32_t size = ReadU32(in, "an entry size");
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

std::vector<uint8_t> ReadFileBytes(const std::string& Path, uint64_t MaxBytes, const std::string& TooLarge) {
  std::ifstream f(Path, std::ios::binary);
  if (!f) throw EFOpenError("Cannot open file \"" + Path + "\"");
  f.seekg(0, std::ios::end);
  const std::streamoff len = f.tellg();
  f.seekg(0);
  if (len < 0 || static_cast<uint64_t>(len) > MaxBytes) throw EReadError(TooLarge);
  std::vector<uint8_t> b(static_cast<size_t>(len));
  if (len > 0 && !f.read(reinterpret_cast<char*>(b.data()), len)) throw EReadError("Cannot read \"" + Path + "\"");
  return b;
}

bool LoadPackedSkin(const std::string& FileName, TvkSkinConvertor*& Convertor) {
  if (!FileExists(FileName)) return false;
  if (!Convertor)
    Convertor = new TvkSkinConvertor();
  else
    Convertor->Clear();
  std::vector<uint8_t> bytes = ReadFileBytes(FileName, 512ull << 20, "Packed skin file too large: " + FileName);
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
