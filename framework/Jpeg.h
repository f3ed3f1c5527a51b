#pragma once
// The JPEG picture: compressed data kept as loaded, decoded once to a 24-bit bitmap for drawing.

#include <cstdint>
#include <vector>

#include "framework/Graphics.h"

class TJPEGImage : public TGraphic {
  DECLARE_CLASS(TJPEGImage, TGraphic)
public:
  TJPEGImage();
  ~TJPEGImage() override;
  void Assign(TPersistent* Source) override;

  int Width() const override { return FBitmap ? FBitmap->Width() : 0; }
  int Height() const override { return FBitmap ? FBitmap->Height() : 0; }
  // The size comes from the image: changing it raises EInvalidGraphicOperation.
  void SetWidth(int Value) override;
  void SetHeight(int Value) override;
  bool Empty() const override { return FBitmap == nullptr; }

  void Draw(TCanvas* Canvas, const TRect& Rect) override;
  // Reads the rest of the stream as one JPEG image of at most 8192 x 8192 pixels and decodes it; bad or
  // truncated data raises EInvalidGraphic and leaves the image as it was. Greyscale images become grey RGB;
  // CMYK images are not supported.
  void LoadFromStream(TStream* Stream) override;
  // Writes the compressed data as loaded.
  void SaveToStream(TStream* Stream) override;

private:
  std::vector<std::uint8_t> FData;
  TBitmap* FBitmap = nullptr;  // pf24bit
};
