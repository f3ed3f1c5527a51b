// Packed skins: one file (or a stored form's binary value) holding the skin text and its images, each
// compressed with zlib.
//
//   "VKzf", u32 entry count, then per entry: u32 name length, the name, u32 unpacked size, a zlib stream.
//
// The bytes are untrusted: every length and count is checked against the data actually present, an entry
// must inflate to exactly its stated size, and nothing is allocated from an unchecked size.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Classes.h"

// The ASCII signature of the format.
constexpr char kPackedSkinSignature[4] = {'V', 'K', 'z', 'f'};
// Message of a wrong signature (shown by the loader in a plain error box).
extern const char* const kNotPackedSkinMessage;
// Largest unpacked size of one entry the reader accepts, whatever the entry claims.
constexpr uint32_t kMaxPackedEntrySize = 64u << 20;
// zlib cannot expand data by more than about 1032:1, so a claim beyond that is a lie.
constexpr uint64_t kMaxInflateRatio = 1032;

struct TvkPackedFile {
  std::string FileName;  // as stored
  bool IsBitmap = false; // the name's extension, upper-cased, is ".BMP"
  std::vector<uint8_t> Data;
};

// One unpacked skin.
class TvkSkinConvertor : public TPersistent {
  DECLARE_CLASS(TvkSkinConvertor, TPersistent)
public:
  std::vector<uint8_t> PackedData;  // kept only while reading a file
  std::unique_ptr<std::string> Options;  // the skin text; null when the skin had no "Options.dat"
  int LastIndex = -1;                    // entry count - 1
  std::vector<TvkPackedFile> Files;      // image entries in stored order

  // Frees the image entries (last first), then the text, then the packed bytes.
  void Clear();
  // The first image entry whose name equals Name without regard to case; null when none.
  const TvkPackedFile* FindPackedImage(const std::string& Name) const;
};

// Unpacks Size bytes at Data into Convertor (which is cleared first). False, with the convertor empty,
// when the signature is wrong; a damaged entry (short data, bad zlib stream, a size that does not match)
// raises EDecompressionError or EReadError and leaves the convertor empty.
bool UnpackSkin(const uint8_t* Data, size_t Size, TvkSkinConvertor& Convertor);

// The whole of a file, refused before anything is read when it holds more than MaxBytes (EReadError with
// TooLarge). EFOpenError when it cannot be opened, EReadError when a read fails.
std::vector<uint8_t> ReadFileBytes(const std::string& Path, uint64_t MaxBytes, const std::string& TooLarge);

// Reads a whole packed file into a new or cleared convertor and unpacks it; nothing when the file does not
// exist. The result of the unpacking is returned (false also for a missing file).
bool LoadPackedSkin(const std::string& FileName, TvkSkinConvertor*& Convertor);

// The bytes that follow the first "previewimg" in a packed skin (a 32-bit size, then that many bytes,
// copied as they are). False when there is no such name or the size reaches past the data.
bool FindPreviewImage(const uint8_t* Data, size_t Size, std::vector<uint8_t>& Target);

// 1-based position of Pattern in Text by the Boyer-Moore-Horspool method; 0 when absent.
size_t SearchBMH(const uint8_t* Text, size_t TextLen, const uint8_t* Pattern, size_t PatternLen);
