// One loaded skin: sections, image elements, global values, outer effects, palette, images and the section
// constants, with the lookups every skinned part asks for. The skin manager keeps one model for the skin
// that is applied; a load builds a fresh model and swaps it in only when the whole skin was read.
#pragma once
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "skin/core/sMaskData.h"
#include "skin/core/sStyleSimply.h"

class TBitmap;

// Palette slots (43 colours).
enum TvkPaletteColor {
  pcMainColor, pcLabelText, pcTCBottom, pcTCTop, pcBorder,
  pcEditText, pcEditBG, pcHintText, pcHintBG,
  pcSelectionBGNormal, pcSelectionTextNormal, pcSelectionBGFocused, pcSelectionTextFocused,
  pcEditTextOk, pcEditTextWarn, pcEditTextAlert, pcEditTextAlert2, pcEditTextAlert3,
  pcEditBGOk, pcEditBGWarn, pcEditBGAlert, pcEditBGAlert2, pcEditBGAlert3,
  pcEditTextH1, pcEditTextH2, pcEditTextH3,
  pcEditTextInv, pcEditBGInv, pcEditBGOdd, pcEditBGEven,
  pcBtnColor1Active, pcBtnColor2Active, pcBtnBorderActive, pcBtnFontActive,
  pcBtnColor1Normal, pcBtnColor2Normal, pcBtnBorderNormal, pcBtnFontNormal,
  pcBtnColor1Pressed, pcBtnColor2Pressed, pcBtnBorderPressed, pcBtnFontPressed,
  pcGridLine,
  pcPaletteCount
};
static_assert(pcPaletteCount == 43);
// "-1" of a palette slot (no colour).
constexpr uint32_t kNoPaletteColor = 0xFFFFFFFF;

struct TvkSkinImage {
  std::string Name;  // as the skin text names it, upper-cased
  TBitmap* Bmp = nullptr;
  // Made by the reader (the generated outline and shadow), not named by the skin: the colour adjustments, which
  // change the skin's images, leave it as made.
  bool Generated = false;
};

// A solid brush of Color, one per colour, never freed while the process runs: what the system-colour
// replacements hand out, which callers keep beyond any one skin as they keep the system's own. Nil when the system
// has no brush to give (never raises: the patched GetSysColorBrush answers through it).
HBRUSH LastingSolidBrush(COLORREF Color);

// The palette brushes of the skin models, one per colour, counted by the models that use them. Window classes take
// them as their background and keep them while they have no window; so a brush no model uses is freed only once
// no class of a window the library skinned holds it. Alive are the brushes of the models alive and at most one
// more per such class. Acquire answers nil when the system has no brush to give.
HBRUSH AcquireSkinBrush(COLORREF Color);
void ReleaseSkinBrushes(const std::array<HBRUSH, 6>& Brushes);
// Notes the class of a window the library skins, whose background may be a palette brush.
void NoteSkinnedWindowClass(HWND Wnd);

class TvkSkinModel {
public:
  TvkSkinModel();
  ~TvkSkinModel();
  TvkSkinModel(const TvkSkinModel&) = delete;
  TvkSkinModel& operator=(const TvkSkinModel&) = delete;

  // Frees the images and bitmaps, releases the brushes and empties every array.
  void Clear();
  void Swap(TvkSkinModel& other);

  TsGeneralDataArray gd;
  TsMaskArray ma;
  TsSkinData SkinData;
  TvkOutEffArray OuterEffects;
  TConstantSkinData ConstData;
  std::array<uint32_t, pcPaletteCount> Palette{};
  // base, font, TCBOTTOM, TCTOP, edit text, edit background (AcquireSkinBrush)
  std::array<HBRUSH, 6> Brushes{};
  TBitmap* MasterBitmap = nullptr;
  std::vector<TvkSkinImage> Images;
  TBitmap* ExtBorderActive = nullptr;
  TBitmap* ExtBorderInactive = nullptr;
  TRect ExtBorderMargins;
  bool Packed = false;  // read from a packed or stored skin

  // ---- building ----
  // Appends an image element; its Manager is Manager. Returns its index.
  int AddMask(int SkinIndex, const std::string& PropertyName, int ImageCount, int MaskType, int DrawMode,
              const TRect& R, uint8_t Kind, const std::string& SectionName, TsSkinManager* Manager);
  // Appends a section: a copy of section CopyFrom (all three states) under Name, or, with CopyFrom -1, a new
  // one whose three states have the colours and transparency given and no text colours. Returns its index.
  int AddSection(const std::string& Name, int CopyFrom, uint32_t FontColor, uint32_t Color, int Transparency,
                 int States);

  // ---- lookups (never raise; -1 / false for anything missing) ----
  int FindSectionIndex(const std::string& Name) const;
  bool SectionIndexInRange(int Index) const { return Index >= 0 && Index < static_cast<int>(gd.size()); }
  bool MaskIndexInRange(int Index) const { return Index >= 0 && Index < static_cast<int>(ma.size()); }
  int FindMaskInherited(int SkinIndex, const std::string& PropertyName) const;
  int FindMaskOfSection(int SkinIndex, const std::string& SectionName, const std::string& PropertyName) const;
  int FindTextureInherited(int SkinIndex, const std::string& SectionName, const std::string& PropertyName) const;
  int FindMaskByNames(const std::string& SectionName, const std::string& PropertyName) const;
  // The image of that name (upper-case compare); null when none.
  TBitmap* FindImage(const std::string& Name) const;

  // Parent chains are followed at most this many steps, so a cycle of parents ends.
  int ChainLimit() const { return static_cast<int>(gd.size()) + 1; }
};
