#include "skin/graphics/PngDecode.h"

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstring>
#include <exception>

namespace {

// Everything the libpng callbacks and the setjmp frame share. It lives in DecodePng's frame, which
// libpng never jumps over, so the C++ members are destroyed normally.
// Follows the chunk layout of the bytes libpng reads (after the signature), however it splits its reads, and
// notes a gAMA chunk: libpng alone cannot tell one from the gamma it derives from an sRGB chunk.
struct TChunkWalker {
  uint8_t Header[8] = {};
  uint32_t HeaderFill = 0;
  uint64_t Skip = 0;  // bytes of the current chunk's data and CRC still to pass
  bool SawGamma = false;

  void Feed(const uint8_t* Data, size_t Length) {
    while (Length > 0) {
      if (Skip > 0) {
        const size_t n = Skip < Length ? static_cast<size_t>(Skip) : Length;
        Skip -= n;
        Data += n;
        Length -= n;
        continue;
      }
      Header[HeaderFill++] = *Data++;
      --Length;
      if (HeaderFill < 8) continue;
      HeaderFill = 0;
      const uint32_t size = (uint32_t{Header[0]} << 24) | (uint32_t{Header[1]} << 16) | (uint32_t{Header[2]} << 8) | Header[3];
      if (std::memcmp(Header + 4, "gAMA", 4) == 0) SawGamma = true;
      Skip = uint64_t{size} + 4;
    }
  }
};

struct TDecodeState {
  TPngSource* Source = nullptr;
  TChunkWalker Chunks;
  TPngDecoded* Out = nullptr;
  std::exception_ptr SourceFailure;
  char Message[200] = {};
  std::vector<uint8_t> Rows;          // decoded rows as libpng delivers them
  std::vector<png_bytep> RowPointers;
};

void PNGCBAPI OnError(png_structp Png, png_const_charp Message) {
  auto* st = static_cast<TDecodeState*>(png_get_error_ptr(Png));
  std::strncpy(st->Message, Message ? Message : "", sizeof st->Message - 1);
  png_longjmp(Png, 1);
}

void PNGCBAPI OnWarning(png_structp, png_const_charp) {
  // Benign damage (a bad ancillary chunk CRC, an unknown chunk) is skipped by libpng itself.
}

void PNGCBAPI OnRead(png_structp Png, png_bytep Data, size_t Length) {
  auto* st = static_cast<TDecodeState*>(png_get_io_ptr(Png));
  size_t got = 0;
  bool failed = false;
  try {
    got = st->Source->Read(Data, Length);
  } catch (...) {
    st->SourceFailure = std::current_exception();
    failed = true;
  }
  // No C++ object of this frame is alive past this point: png_error leaves by longjmp.
  if (failed) png_error(Png, "source read failed");
  if (got < Length) png_error(Png, "unexpected end of data");
  st->Chunks.Feed(Data, Length);
}

uint32_t GreyToColor(unsigned g) { return g | (g << 8) | (g << 16); }

// Reads the header, sets the transforms and decodes the rows. No C++ object with a destructor lives
// in this frame, since libpng's errors return here by longjmp.
bool ReadWithLibpng(png_structp Png, png_infop Info, TDecodeState* St) {
  if (setjmp(png_jmpbuf(Png))) return false;

  png_set_read_fn(Png, St, OnRead);
  png_set_user_limits(Png, kPngMaxSide, kPngMaxSide);
  png_set_chunk_malloc_max(Png, 8u << 20);
  png_read_info(Png, Info);

  TPngDecoded& out = *St->Out;
  png_uint_32 width = 0, height = 0;
  int depth = 0, colorType = 0, interlace = 0, compression = 0, filter = 0;
  png_get_IHDR(Png, Info, &width, &height, &depth, &colorType, &interlace, &compression, &filter);
  if (static_cast<uint64_t>(width) * height > kPngMaxPixels) png_error(Png, "image too large");

  TPngImageDescription& d = out.Description;
  d.Flags = kPngHeaderRead;
  d.Width = width;
  d.BitDepth = static_cast<uint8_t>(depth);
  d.Compression = compression == PNG_COMPRESSION_TYPE_BASE ? 2 : 0;
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY: d.PixelKind = 2; d.SamplesPerPixel = 1; break;
    case PNG_COLOR_TYPE_RGB: d.PixelKind = 4; d.SamplesPerPixel = 3; break;
    case PNG_COLOR_TYPE_PALETTE: d.PixelKind = 1; d.SamplesPerPixel = 1; break;
    case PNG_COLOR_TYPE_GRAY_ALPHA: d.PixelKind = 3; d.SamplesPerPixel = 1; break;
    case PNG_COLOR_TYPE_RGB_ALPHA: d.PixelKind = 5; d.SamplesPerPixel = 4; break;
    default: d.PixelKind = 0; break;
  }
  out.Width = static_cast<int>(width);
  out.Height = static_cast<int>(height);
  out.ColorType = colorType;
  out.HasAlphaChannel = (colorType & PNG_COLOR_MASK_ALPHA) != 0;

  // Gamma: the chunk's presence is recorded; a usable value makes the colour manager correct samples. libpng
  // reports gamma valid for an sRGB chunk too, and a grey image is read as a mask only for a real gAMA chunk.
  png_fixed_point gamma = 0;
  if (png_get_valid(Png, Info, PNG_INFO_gAMA) && png_get_gAMA_fixed(Png, Info, &gamma)) {
    if (St->Chunks.SawGamma) d.Flags |= kPngGammaChunk;
    if (gamma > 0) {
      out.FileGamma = gamma / 100000.0;
      out.GammaCorrected = true;
    }
  }
  const double exponent = out.GammaCorrected ? 1.0 / (out.FileGamma * 2.2) : 1.0;
  for (int i = 0; i < 256; ++i) {
    const double v = out.GammaCorrected ? 255.0 * std::pow(i / 255.0, exponent) + 0.5 : i;
    out.GammaTable[i] = static_cast<uint8_t>(v > 255.0 ? 255.0 : v);
  }

  // Transparency information.
  png_bytep trnsAlpha = nullptr;
  int trnsCount = 0;
  png_color_16p trnsColor = nullptr;
  if (png_get_valid(Png, Info, PNG_INFO_tRNS) && png_get_tRNS(Png, Info, &trnsAlpha, &trnsCount, &trnsColor)) {
    const int shift = depth == 16 ? 8 : 0;
    if (colorType == PNG_COLOR_TYPE_PALETTE && trnsAlpha && trnsCount > 0) {
      out.PaletteAlpha.assign(trnsAlpha, trnsAlpha + trnsCount);
    } else if (colorType == PNG_COLOR_TYPE_GRAY && trnsColor) {
      unsigned g = trnsColor->gray >> shift;
      if (depth < 8) g = g * 255 / ((1u << depth) - 1);
      out.TransparentColor = GreyToColor(g & 0xFF);
    } else if (colorType == PNG_COLOR_TYPE_RGB && trnsColor) {
      out.TransparentColor = ((trnsColor->red >> shift) & 0xFF) | (((trnsColor->green >> shift) & 0xFF) << 8) |
                             (((trnsColor->blue >> shift) & 0xFF) << 16);
    }
  }
  png_color_16p background = nullptr;
  if (png_get_valid(Png, Info, PNG_INFO_bKGD) && png_get_bKGD(Png, Info, &background) && background) {
    const int shift = depth == 16 ? 8 : 0;
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
      png_colorp pal = nullptr;
      int n = 0;
      if (png_get_PLTE(Png, Info, &pal, &n) && background->index < n) {
        const png_color& c = pal[background->index];
        out.BackgroundColor = c.red | (c.green << 8) | (c.blue << 16);
      }
    } else if (colorType & PNG_COLOR_MASK_COLOR) {
      out.BackgroundColor = ((background->red >> shift) & 0xFF) | (((background->green >> shift) & 0xFF) << 8) |
                            (((background->blue >> shift) & 0xFF) << 16);
    } else if (depth >= 8) {
      out.BackgroundColor = GreyToColor((background->gray >> shift) & 0xFF);
    }
  }

  // Transforms: 8 bits per sample, one byte per palette index, grey expanded to 0..255.
  if (depth == 16) png_set_strip_16(Png);
  if (colorType == PNG_COLOR_TYPE_PALETTE && depth < 8) png_set_packing(Png);
  if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(Png);
  png_set_interlace_handling(Png);
  png_read_update_info(Png, Info);

  const size_t rowBytes = png_get_rowbytes(Png, Info);
  St->Rows.resize(rowBytes * height);
  St->RowPointers.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) St->RowPointers[y] = St->Rows.data() + rowBytes * y;
  png_read_image(Png, St->RowPointers.data());

  // Palette for index images.
  png_colorp palette = nullptr;
  int paletteCount = 0;
  if (colorType == PNG_COLOR_TYPE_PALETTE && !png_get_PLTE(Png, Info, &palette, &paletteCount))
    png_error(Png, "palette image without palette");

  png_read_end(Png, nullptr);

  // Rows into pixels (and the image's own 8-bit samples).
  const size_t count = static_cast<size_t>(width) * height;
  out.Pixels.resize(count);
  if (colorType == PNG_COLOR_TYPE_PALETTE || colorType == PNG_COLOR_TYPE_GRAY) out.Samples.resize(count);
  const uint8_t* g = out.GammaTable;
  for (png_uint_32 y = 0; y < height; ++y) {
    const uint8_t* s = St->RowPointers[y];
    uint32_t* p = out.Pixels.data() + static_cast<size_t>(y) * width;
    for (png_uint_32 x = 0; x < width; ++x) {
      uint32_t v = 0;
      switch (colorType) {
        case PNG_COLOR_TYPE_GRAY: {
          out.Samples[static_cast<size_t>(y) * width + x] = s[x];
          const uint32_t c = g[s[x]];
          v = 0xFF000000u | c | (c << 8) | (c << 16);
          break;
        }
        case PNG_COLOR_TYPE_GRAY_ALPHA: {
          const uint32_t c = g[s[2 * x]];
          v = (static_cast<uint32_t>(s[2 * x + 1]) << 24) | c | (c << 8) | (c << 16);
          break;
        }
        case PNG_COLOR_TYPE_PALETTE: {
          const uint8_t index = s[x];
          out.Samples[static_cast<size_t>(y) * width + x] = index;
          if (index < paletteCount) {
            const png_color& c = palette[index];
            v = 0xFF000000u | (static_cast<uint32_t>(g[c.red]) << 16) | (g[c.green] << 8) | g[c.blue];
          } else {
            v = 0xFF000000u;  // an index past the palette shows black
          }
          break;
        }
        case PNG_COLOR_TYPE_RGB:
          v = 0xFF000000u | (static_cast<uint32_t>(g[s[3 * x]]) << 16) | (g[s[3 * x + 1]] << 8) | g[s[3 * x + 2]];
          break;
        case PNG_COLOR_TYPE_RGB_ALPHA:
          v = (static_cast<uint32_t>(s[4 * x + 3]) << 24) | (static_cast<uint32_t>(g[s[4 * x]]) << 16) |
              (g[s[4 * x + 1]] << 8) | g[s[4 * x + 2]];
          break;
        default:
          png_error(Png, "unknown colour type");
      }
      p[x] = v;
    }
  }
  return true;
}

}  // namespace

size_t TPngMemorySource::Read(void* Buffer, size_t Count) {
  const size_t n = Count < size_ - pos_ ? Count : size_ - pos_;
  std::memcpy(Buffer, data_ + pos_, n);
  pos_ += n;
  return n;
}

bool DecodePng(TPngSource& Source, TPngDecoded& Out, std::string& Error) {
  Out = TPngDecoded();
  TDecodeState state;
  state.Source = &Source;
  state.Out = &Out;

  uint8_t signature[8] = {};
  if (Source.Read(signature, 8) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
    Error = "not a PNG signature";
    return false;
  }
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
  if (!png) {
    Error = "out of memory";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    Error = "out of memory";
    return false;
  }
  png_set_sig_bytes(png, 8);
  const bool ok = ReadWithLibpng(png, info, &state);
  png_destroy_read_struct(&png, &info, nullptr);
  if (state.SourceFailure) std::rethrow_exception(state.SourceFailure);
  if (!ok) {
    Error = state.Message;
    Out.Pixels.clear();
    Out.Samples.clear();
    return false;
  }
  return true;
}
