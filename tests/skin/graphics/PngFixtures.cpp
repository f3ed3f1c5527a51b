#include "tests/skin/graphics/PngFixtures.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>

namespace png_fixtures {
namespace {

struct WriteState {
  std::vector<uint8_t>* Out;
  std::vector<uint8_t> Packed;
  std::vector<png_bytep> Rows;
};

void PNGCBAPI OnWrite(png_structp Png, png_bytep Data, size_t Length) {
  auto* st = static_cast<WriteState*>(png_get_io_ptr(Png));
  st->Out->insert(st->Out->end(), Data, Data + Length);
}
void PNGCBAPI OnFlush(png_structp) {}

int SamplesPerPixel(int colorType) {
  switch (colorType) {
    case 0: case 3: return 1;
    case 4: return 2;
    case 2: return 3;
    default: return 4;
  }
}

// Packs the integer samples into PNG rows (big-endian 16-bit, MSB-first sub-byte).
void Pack(const PngFixture& s, WriteState& st) {
  const int spp = SamplesPerPixel(s.ColorType);
  const size_t rowBits = static_cast<size_t>(s.Width) * spp * s.BitDepth;
  const size_t rowBytes = (rowBits + 7) / 8;
  st.Packed.assign(rowBytes * s.Height, 0);
  for (int y = 0; y < s.Height; ++y) {
    uint8_t* row = st.Packed.data() + rowBytes * y;
    for (int i = 0; i < s.Width * spp; ++i) {
      const unsigned v = s.Samples[static_cast<size_t>(y) * s.Width * spp + i];
      if (s.BitDepth == 16) {
        row[2 * i] = static_cast<uint8_t>(v >> 8);
        row[2 * i + 1] = static_cast<uint8_t>(v);
      } else if (s.BitDepth == 8) {
        row[i] = static_cast<uint8_t>(v);
      } else {
        const size_t bit = static_cast<size_t>(i) * s.BitDepth;
        row[bit / 8] |= static_cast<uint8_t>(v << (8 - s.BitDepth - bit % 8));
      }
    }
  }
  st.Rows.resize(s.Height);
  for (int y = 0; y < s.Height; ++y) st.Rows[y] = st.Packed.data() + rowBytes * y;
}

bool WriteWithLibpng(png_structp png, png_infop info, const PngFixture* s, WriteState* st) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, st, OnWrite, OnFlush);
  png_set_IHDR(png, info, s->Width, s->Height, s->BitDepth, s->ColorType,
               s->Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
               PNG_FILTER_TYPE_BASE);
  if (!s->Palette.empty())
    png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(s->Palette.data()),
                 static_cast<int>(s->Palette.size() / 3));
  if (!s->PaletteAlpha.empty())
    png_set_tRNS(png, info, s->PaletteAlpha.data(), static_cast<int>(s->PaletteAlpha.size()), nullptr);
  if (s->TransparentGrey >= 0 || s->TransparentRgb[0] >= 0) {
    png_color_16 c{};
    c.gray = static_cast<png_uint_16>(s->TransparentGrey);
    c.red = static_cast<png_uint_16>(s->TransparentRgb[0]);
    c.green = static_cast<png_uint_16>(s->TransparentRgb[1]);
    c.blue = static_cast<png_uint_16>(s->TransparentRgb[2]);
    png_set_tRNS(png, info, nullptr, 0, &c);
  }
  if (s->Gamma > 0) png_set_gAMA(png, info, s->Gamma);
  png_write_info(png, info);
  if (s->Interlaced) png_set_interlace_handling(png);
  png_write_image(png, st->Rows.data());
  png_write_end(png, nullptr);
  return true;
}

uint32_t Be32(const uint8_t* p) { return (uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }
void PutBe32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24); p[1] = uint8_t(v >> 16); p[2] = uint8_t(v >> 8); p[3] = uint8_t(v);
}

}  // namespace

std::vector<uint8_t> EncodePng(const PngFixture& Fixture) {
  std::vector<uint8_t> out;
  WriteState st{&out, {}, {}};
  Pack(Fixture, st);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const bool ok = WriteWithLibpng(png, info, &Fixture, &st);
  png_destroy_write_struct(&png, &info);
  if (!ok) return {};
  if (Fixture.WriteZeroGamma) {
    std::vector<uint8_t> zero(4, 0);
    out = InsertChunk(out, FindChunk(out, "IDAT"), "gAMA", zero);
  }
  return out;
}

size_t FindChunk(const std::vector<uint8_t>& Png, const char* Type) {
  size_t at = 8;
  while (at + 12 <= Png.size()) {
    if (std::memcmp(&Png[at + 4], Type, 4) == 0) return at;
    at += 12 + Be32(&Png[at]);
  }
  return 0;
}

void FixChunkCrc(std::vector<uint8_t>& Png, size_t ChunkOffset) {
  const uint32_t len = Be32(&Png[ChunkOffset]);
  const uint32_t crc = crc32(0, &Png[ChunkOffset + 4], len + 4);
  PutBe32(&Png[ChunkOffset + 8 + len], crc);
}

std::vector<uint8_t> InsertChunk(const std::vector<uint8_t>& Png, size_t At, const char* Type,
                                 const std::vector<uint8_t>& Data) {
  std::vector<uint8_t> chunk(12 + Data.size());
  PutBe32(chunk.data(), static_cast<uint32_t>(Data.size()));
  std::memcpy(&chunk[4], Type, 4);
  if (!Data.empty()) std::memcpy(&chunk[8], Data.data(), Data.size());
  std::vector<uint8_t> out(Png.begin(), Png.begin() + At);
  out.insert(out.end(), chunk.begin(), chunk.end());
  out.insert(out.end(), Png.begin() + At, Png.end());
  FixChunkCrc(out, At);
  return out;
}

}  // namespace png_fixtures
