// Hand-built skins for the painter tests: a manager whose model holds chosen sections and image elements,
// and image elements drawn pixel by pixel into bitmaps of their own.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "tests/support/Bitmaps.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sSkinManager.h"

namespace painter_test {

using testing_support::BitmapPtr;
using testing_support::CountChanged;
using testing_support::Owned;
inline uint32_t& At(TBitmap* B, int X, int Y) { return testing_support::PixelAt(B, X, Y); }
inline BitmapPtr Make32(int W, int H, uint32_t Fill) { return testing_support::Bitmap32(W, H, Fill); }
inline BitmapPtr MakeBy(int W, int H, const std::function<uint32_t(int, int)>& F) {
  return testing_support::Bitmap32By(W, H, F);
}

using ManagerPtr = Owned<TsSkinManager>;

inline ManagerPtr NewManager() { return ManagerPtr(Create<TsSkinManager>(nullptr)); }

// An element over the whole of Bmp: Frames frames side by side, the mask band (MaskType 1) in the lower half.
inline TsMaskData Element(TsSkinManager* M, TBitmap* Bmp, int Frames, int MaskType, int DrawMode, int WL, int WT,
                          int WR, int WB) {
  TsMaskData E;
  E.Manager = M;
  E.Bmp = Bmp;
  E.R = TRect(0, 0, Bmp->Width(), Bmp->Height());
  E.ImageCount = static_cast<int16_t>(Frames);
  E.MaskType = static_cast<int16_t>(MaskType);
  E.DrawMode = static_cast<int16_t>(DrawMode);
  E.WL = static_cast<int16_t>(WL);
  E.WT = static_cast<int16_t>(WT);
  E.WR = static_cast<int16_t>(WR);
  E.WB = static_cast<int16_t>(WB);
  E.Width = Bmp->Width() / Frames;
  E.Height = Bmp->Height() / (MaskType > 0 ? MaskType + 1 : 1);
  return E;
}

// A section of three equal states with colour Color and transparency Transparency, appended to M's model.
inline int AddSection(TsSkinManager* M, const std::string& Name, uint32_t Color, int Transparency, int States = 3) {
  return M->EditModel().AddSection(Name, -1, 0, Color, Transparency, States);
}
inline TsGenState& StateOf(TsSkinManager* M, int Section, int State) {
  return M->EditModel().gd[Section].Props[State];
}
// Appends an element to M's model and returns its index.
inline int AddElement(TsSkinManager* M, const TsMaskData& E) {
  M->EditModel().ma.push_back(E);
  return static_cast<int>(M->ma().size()) - 1;
}

// Pixel-order value of a colour value, opaque.
constexpr uint32_t Opaque(uint32_t Rgb) { return 0xFF000000u | ((Rgb & 0xFF) << 16) | (Rgb & 0xFF00) | (Rgb >> 16 & 0xFF); }

}  // namespace painter_test
