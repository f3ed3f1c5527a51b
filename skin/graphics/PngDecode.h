// PNG decoding through libpng into the form the PNG graphic needs: 8-bit BGRA rows, the image's
// own 8-bit sample rows (palette indexes or grey levels), the palette alpha and the gamma data.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Where the encoded bytes come from. Read returns the number of bytes it could give (fewer at the
// end of the data); it may throw, the decoder hands the exception back to its caller.
class TPngSource {
 public:
  virtual ~TPngSource() = default;
  virtual size_t Read(void* Buffer, size_t Count) = 0;
};

// Image description filled from the header and chunks.
struct TPngImageDescription {
  uint8_t Flags = 0;            // 1: header read, 2: gamma chunk present
  uint32_t Width = 0;
  uint8_t PixelKind = 0;        // colour type 0 grey -> 2, 2 colour -> 4, 3 palette -> 1, 4 grey+alpha -> 3, 6 colour+alpha -> 5
  uint8_t BitDepth = 0;
  uint8_t SamplesPerPixel = 0;  // 1, 3 for colour, 4 for colour with alpha
  uint8_t Compression = 0;      // 2 for deflate, else 0
};
constexpr uint8_t kPngHeaderRead = 1;
constexpr uint8_t kPngGammaChunk = 2;

struct TPngDecoded {
  TPngImageDescription Description;
  int Width = 0;
  int Height = 0;
  int ColorType = 0;             // PNG colour type as stored
  bool HasAlphaChannel = false;  // colour types 4 and 6: Pixels carry the image's alpha
  std::vector<uint32_t> Pixels;  // top-down, 0xAARRGGBB; alpha 0xFF where the image has none
  std::vector<uint8_t> Samples;  // top-down, one byte per pixel: palette index or grey level (types 0, 3)
  std::vector<uint8_t> PaletteAlpha;  // tRNS of a palette image; empty when none
  uint32_t TransparentColor = 0x1FFFFFFF;  // tRNS colour of grey and colour images, as a colour value
  uint32_t BackgroundColor = 0xFFFFFF;     // bKGD as a colour value
  bool GammaCorrected = false;   // the colour manager corrects by the file's gamma
  double FileGamma = 0.0;
  uint8_t GammaTable[256] = {};  // gamma-corrected value of an 8-bit sample (identity without correction)
};

// Largest image the decoder accepts (each side and the pixel count), so that a forged header
// cannot ask for unbounded memory.
constexpr uint32_t kPngMaxSide = 16384;
constexpr uint32_t kPngMaxPixels = 1u << 24;

// Decodes one PNG. False with a message for damaged or unsupported data; an exception thrown by the
// source passes through to the caller.
bool DecodePng(TPngSource& Source, TPngDecoded& Out, std::string& Error);

// Memory source over a byte range (the range must outlive the decoding).
class TPngMemorySource : public TPngSource {
 public:
  TPngMemorySource(const void* Data, size_t Size) : data_(static_cast<const uint8_t*>(Data)), size_(Size) {}
  size_t Read(void* Buffer, size_t Count) override;
  size_t Position() const { return pos_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};
