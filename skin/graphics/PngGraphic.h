// The PNG picture class: a bitmap decoded from PNG data that draws itself with per-pixel alpha,
// registered as the picture format "png"; and the conversion of a decoded PNG into a 32-bit bitmap
// with alpha for the rest of the toolkit.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Graphics.h"
#include "skin/graphics/PngDecode.h"

// Gamma correction of the decoded samples.
struct TPngColorManager {
  bool GammaCorrected = false;
  uint8_t GammaTable[256] = {};  // identity without correction
  uint8_t Corrected(uint8_t V) const { return GammaTable[V]; }
};

class TPNGGraphic : public TBitmap {
  DECLARE_CLASS(TPNGGraphic, TBitmap)
 public:
  TPNGGraphic();
  ~TPNGGraphic() override;
  // From another PNG graphic its image description and sample rows are taken too (not its palette
  // alpha, colours, gamma correction or Reflection); then the bitmap itself.
  void Assign(TPersistent* Source) override;
  void Draw(TCanvas* Canvas, const TRect& Rect) override;
  // Damaged or unsupported data raise EInvalidGraphic; the graphic is then unchanged.
  void LoadFromStream(TStream* Stream) override;

  TPngColorManager* ColorManager() const { return FColorManager; }
  const TPngImageDescription& ImageDescription() const { return FDescription; }
  const std::vector<uint8_t>& PaletteAlpha() const { return FPaletteAlpha; }
  uint32_t PngTransparentColor() const { return FTransparentColor; }
  uint32_t BackgroundColor() const { return FBackgroundColor; }
  uint8_t Reflection() const { return FReflection; }
  void SetReflection(uint8_t Value) { FReflection = Value ? 1 : 0; }
  // The image's own 8-bit rows: palette indexes or grey samples before gamma (empty for other images).
  const std::vector<uint8_t>& Samples() const { return FSamples; }
  // The decoded source had three colour samples of more than 5 bits (a 24-bit colour image).
  bool ColorSource24() const { return FDescription.PixelKind == 4 && FDescription.BitDepth > 5; }

  // For tests and callers that build a graphic from decoded data directly.
  void TakeDecoded(TPngDecoded& Decoded);

 private:
  TPngColorManager* FColorManager;
  TPngImageDescription FDescription;
  std::vector<uint8_t> FPaletteAlpha;
  uint32_t FTransparentColor = 0x1FFFFFFF;
  uint32_t FBackgroundColor = 0xFFFFFF;
  uint8_t FReflection = 0;
  std::vector<uint8_t> FSamples;
};

// Bmp becomes the image as pf32bit with alpha.
void PngGraphicToBitmap32(TBitmap* Bmp, TPNGGraphic* Png);

// "png" in the picture format registry (counted: only the first start and the last end act).
void RegisterPngFormat();
void UnregisterPngFormat();

void LoadPngFileToBitmap(TBitmap* Bmp, const std::string& FileName);
void LoadPngStreamToBitmap(TBitmap* Bmp, TStream* Stream);
