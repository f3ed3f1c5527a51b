#include "skin/graphics/PngGraphic.h"

#include <cstring>

#include "framework/Streams.h"
#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"

IMPLEMENT_CLASS(TPNGGraphic)

namespace {

int g_registerCount = 0;

class TStreamSource : public TPngSource {
 public:
  explicit TStreamSource(TStream* Stream) : stream_(Stream) {}
  size_t Read(void* Buffer, size_t Count) override {
    const int32_t got = stream_->Read(Buffer, static_cast<int32_t>(Count));
    return got > 0 ? static_cast<size_t>(got) : 0;
  }

 private:
  TStream* stream_;
};

}  // namespace

TPNGGraphic::TPNGGraphic() : FColorManager(new TPngColorManager) {
  for (int i = 0; i < 256; ++i) FColorManager->GammaTable[i] = static_cast<uint8_t>(i);
}

TPNGGraphic::~TPNGGraphic() { delete FColorManager; }

void TPNGGraphic::Assign(TPersistent* Source) {
  if (auto* png = As<TPNGGraphic>(Source)) {
    FDescription = png->FDescription;
    // The own sample rows are part of the image, as the pixels are.
    FSamples = png->FSamples;
  }
  inherited::Assign(Source);
}

void TPNGGraphic::TakeDecoded(TPngDecoded& D) {
  const bool alpha = D.HasAlphaChannel;
  // A new image replaces the old one whole.
  SetSize(0, 0);
  SetPixelFormat(alpha ? pf32bit : pf24bit);
  SetSize(D.Width, D.Height);
  for (int y = 0; y < D.Height; ++y) {
    const uint32_t* s = D.Pixels.data() + static_cast<size_t>(y) * D.Width;
    uint8_t* row = static_cast<uint8_t*>(ScanLine(y));
    if (alpha) {
      std::memcpy(row, s, static_cast<size_t>(D.Width) * 4);
    } else {
      for (int x = 0; x < D.Width; ++x) {
        row[3 * x] = static_cast<uint8_t>(s[x]);
        row[3 * x + 1] = static_cast<uint8_t>(s[x] >> 8);
        row[3 * x + 2] = static_cast<uint8_t>(s[x] >> 16);
      }
    }
  }
  FDescription = D.Description;
  FPaletteAlpha = std::move(D.PaletteAlpha);
  FSamples = std::move(D.Samples);
  FTransparentColor = D.TransparentColor;
  FBackgroundColor = D.BackgroundColor;
  FColorManager->GammaCorrected = D.GammaCorrected;
  std::memcpy(FColorManager->GammaTable, D.GammaTable, sizeof D.GammaTable);
  SetModified(true);
  Changed();
}

void TPNGGraphic::LoadFromStream(TStream* Stream) {
  TStreamSource source(Stream);
  TPngDecoded decoded;
  std::string error;
  if (!DecodePng(source, decoded, error)) {
    if (error.find("critical chunk") != std::string::npos)
      throw EInvalidGraphic("Cannot load PNG image. Unexpected but critical chunk detected.");
    throw EInvalidGraphic("Cannot load image. Invalid or unexpected PNG image format.");
  }
  TakeDecoded(decoded);
}

void TPNGGraphic::Draw(TCanvas* Canvas, const TRect& Rect) {
  const RECT R = Rect;
  if (PixelFormat() != pf32bit) {
    inherited::Draw(Canvas, Rect);
    return;
  }
  const int w = R.right - R.left, h = R.bottom - R.top;
  if (w < 1 || h < 1 || Empty()) return;
  // Blended over what the canvas shows, so the image's alpha meets the real background.
  TBitmap* work = NewBitmap32(w, h + FReflection * (h / 2));
  TFreeHolder<TBitmap> freeWork(work);
  BitBlt(work->Canvas()->Handle(), 0, 0, w, work->Height(), Canvas->Handle(), R.left, R.top, SRCCOPY);
  GdiFlush();
  const TvkBgCacheRef empty;
  const TRect all(0, 0, w, h);
  if (w == Width() && h == Height()) {
    CompositeOverCache(all, all, work, this, empty, false, 0x1FFFFFFF, 0, FReflection != 0);
  } else {
    TBitmap* stretched = NewStretchedBitmap32(this, w, h);
    TFreeHolder<TBitmap> freeStretched(stretched);
    CompositeOverCache(all, all, work, stretched, empty, false, 0x1FFFFFFF, 0, false);
  }
  BitBlt(Canvas->Handle(), R.left, R.top, w, work->Height(), work->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void PngGraphicToBitmap32(TBitmap* Bmp, TPNGGraphic* Png) {
  if (!Bmp || !Png) return;
  const bool transparent = Bmp->Transparent();
  const TPngImageDescription& d = Png->ImageDescription();
  const std::vector<uint8_t>& samples = Png->Samples();
  const size_t count = static_cast<size_t>(Png->Width()) * Png->Height();

  if (d.PixelKind == 1 && !Png->PaletteAlpha().empty()) {
    Bmp->Assign(Png);
    Bmp->SetPixelFormat(pf32bit);
    const std::vector<uint8_t>& table = Png->PaletteAlpha();
    const TPixelPlane p = PlaneOf(Bmp);
    if (!p.Empty() && samples.size() == count) {
      for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) {
          // Entries past the transparency table are opaque.
          const uint8_t index = samples[static_cast<size_t>(y) * p.Width + x];
          const uint32_t a = index < table.size() ? table[index] : 255;
          p.At(x, y) = (p.At(x, y) & 0x00FFFFFFu) | (a << 24);
        }
    }
    Bmp->SetTransparent(transparent);
    return;
  }

  Bmp->Assign(Png);
  if (Bmp->PixelFormat() != pf32bit) {
    Bmp->SetPixelFormat(pf32bit);
    const TPixelPlane p = PlaneOf(Bmp);
    if (!p.Empty()) {
      const bool gammaChunk = (d.Flags & kPngGammaChunk) != 0;
      const TPngColorManager& cm = *Png->ColorManager();
      if (!gammaChunk && transparent) {
        const uint32_t key = p.At(0, p.Height - 1) & 0x00FFFFFFu;
        for (int y = 0; y < p.Height; ++y)
          for (int x = 0; x < p.Width; ++x)
            if ((p.At(x, y) & 0x00FFFFFFu) != key) p.At(x, y) |= 0xFF000000u;
      } else if (!gammaChunk || (cm.GammaCorrected && (Png->ColorSource24() || d.PixelKind != 2))) {
        for (int y = 0; y < p.Height; ++y)
          for (int x = 0; x < p.Width; ++x) p.At(x, y) |= 0xFF000000u;
      } else if (cm.GammaCorrected) {
        // A grey image with a gamma chunk is a mask: black, opaque where the samples are dark.
        for (int y = 0; y < p.Height; ++y)
          for (int x = 0; x < p.Width; ++x) {
            const size_t i = static_cast<size_t>(y) * p.Width + x;
            const uint8_t v = i < samples.size() ? cm.Corrected(samples[i]) : 0;
            p.At(x, y) = static_cast<uint32_t>(255 - v) << 24;
          }
      } else {
        for (int y = 0; y < p.Height; ++y)
          for (int x = 0; x < p.Width; ++x)
            p.At(x, y) = static_cast<uint32_t>(255 - ((p.At(x, y) >> 16) & 0xFF)) << 24;
      }
    }
  }
  Bmp->SetTransparent(transparent);
}

void RegisterPngFormat() {
  if (g_registerCount++ > 0) return;
  TPicture::RegisterFileFormat("png", "Portable network graphics (VelkorControls)", TPNGGraphic::StaticClassInfo());
}

void UnregisterPngFormat() {
  if (g_registerCount == 0 || --g_registerCount > 0) return;
  TPicture::UnregisterGraphicClass(TPNGGraphic::StaticClassInfo());
}

void LoadPngFileToBitmap(TBitmap* Bmp, const std::string& FileName) {
  TPNGGraphic* png = new TPNGGraphic();
  TFreeHolder<TPNGGraphic> freePng(png);
  png->LoadFromFile(FileName);
  Bmp->Assign(png);
  PngGraphicToBitmap32(Bmp, png);
}

void LoadPngStreamToBitmap(TBitmap* Bmp, TStream* Stream) {
  TPNGGraphic* png = new TPNGGraphic();
  TFreeHolder<TPNGGraphic> freePng(png);
  png->LoadFromStream(Stream);
  const bool transparent = Bmp->Transparent();
  Bmp->Assign(png);
  Bmp->SetTransparent(transparent);
  PngGraphicToBitmap32(Bmp, png);
}
