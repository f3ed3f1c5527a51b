// PNG fixtures written by the tests themselves with libpng, so no outside image is needed.
#pragma once
#include <cstdint>
#include <vector>

namespace png_fixtures {

struct PngFixture {
  int Width = 1;
  int Height = 1;
  int ColorType = 2;  // PNG colour type
  int BitDepth = 8;
  bool Interlaced = false;
  // Samples row by row, one integer per sample (index, grey, r,g,b[,a] ...), each in 0..2^depth-1.
  std::vector<unsigned> Samples{};
  std::vector<uint8_t> Palette{};     // r,g,b triples
  std::vector<uint8_t> PaletteAlpha{};  // tRNS of a palette image
  int TransparentGrey = -1;           // tRNS of a grey image
  int TransparentRgb[3] = {-1, -1, -1};
  double Gamma = 0.0;                 // gAMA when above 0
  bool WriteZeroGamma = false;        // gAMA chunk with the value 0 (invalid)
};

// Encodes the PNG; an empty vector when libpng refused the description.
std::vector<uint8_t> EncodePng(const PngFixture& Fixture);

// Chunk-level helpers for damaged files.
size_t FindChunk(const std::vector<uint8_t>& Png, const char* Type);  // offset of the length field, or 0
void FixChunkCrc(std::vector<uint8_t>& Png, size_t ChunkOffset);
std::vector<uint8_t> InsertChunk(const std::vector<uint8_t>& Png, size_t At, const char* Type,
                                 const std::vector<uint8_t>& Data);

}  // namespace png_fixtures
