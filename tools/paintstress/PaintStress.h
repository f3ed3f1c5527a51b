// Painting what damaged skins describe: every section in every state at several sizes (0 and 1 pixel among
// them) over several kinds of background, every image element through the nine-part, glyph and texture
// painters, and captions through the text routines, each call watched for exceptions, with the GDI objects
// counted around each skin.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/paintstress/SkinDamage.h"

class TsSkinManager;

// What a run found: one line per fault, naming the variant, its damage and the painter.
struct TPaintStressResult {
  int Variants = 0;    // damaged copies made
  int Loaded = 0;      // of them, loaded as a skin
  long Calls = 0;      // painter calls made
  std::vector<std::string> Faults;
  std::vector<std::string> Refused;  // copies whose load raised (a malformed value may end a load so)
};

// Every painter over everything M's loaded skin holds; a call that raises adds a line to Faults (Where
// prefixed). Answers the number of calls made.
long PaintWholeSkin(TsSkinManager* M, uint32_t Seed, const std::string& Where, std::vector<std::string>& Faults);

// Count damaged copies of the carried skins found in CarriedFolder ("TIDE\" and "SOLID\" below it), drawn
// from Seed, each loaded from a scratch folder of WorkFolder by a manager of its own and painted whole. The
// GDI objects the framework counts must be the same before and after each copy. OnVariant, when given, hears
// of each copy before it is loaded (a long run names the one it is in when something kills it).
TPaintStressResult RunPaintStress(const std::string& CarriedFolder, const std::string& WorkFolder, uint32_t Seed,
                                  int Count, const std::function<void(int, const TDamagedSkin&)>& OnVariant = {});
