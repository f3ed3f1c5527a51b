// Damaged copies of a skin: its text's values pushed to their limits (state counts, percentages, colours,
// glow sizes, image elements with odd rectangles, frame counts, mask types, draw modes and borders wider than
// their images, textures and gradients where there were none) and its images cut short or cropped.
#pragma once
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

// A skin as its folder holds it: the text and the image files by name.
struct TSkinFiles {
  std::string Text;
  std::vector<std::pair<std::string, std::vector<uint8_t>>> Images;
};

// One damaged copy and what was done to it, one line per damage.
struct TDamagedSkin {
  TSkinFiles Files;
  std::vector<std::string> Damage;
};

// The skin folder's "Options.dat" and every other file in it; empty text when the folder holds none.
TSkinFiles ReadSkinFolder(const std::string& Folder);
// Writes the text as "Options.dat" and the images into Folder (made when missing).
void WriteSkinFolder(const TSkinFiles& Files, const std::string& Folder);

// A copy of Good with one to six damages drawn from Rng.
TDamagedSkin DamageSkin(const TSkinFiles& Good, std::mt19937& Rng);

// The top-left W x H of a 24- or 32-bit BMP file as a BMP file of its own bit depth; the bytes unchanged
// when they are no such BMP.
std::vector<uint8_t> CropBmp(const std::vector<uint8_t>& Bmp, int W, int H);
