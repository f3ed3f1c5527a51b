// Records of a loaded skin: per-section paint parameters, image elements and outer effects.
// All live in arrays owned by the skin manager and are rebuilt on every load; indexes into them are
// what every skinned part keeps, -1 meaning "none".
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Graphics.h"
#include "skin/graphics/Gradients.h"

class TBitmap;
class TsSkinManager;

// Paint parameters of one state of a section.
struct TsGenState {
  int GlowSize = 0;
  int ImagePercent = 0;
  int TextureIndex = -1;  // mask index of the state's texture
  int Transparency = 0;   // per cent
  int GradientPercent = 0;
  uint32_t Color = 0xFFFFFF;
  uint32_t GlowColor = 0xFFFFFF;
  uint32_t FontColor = 0;
  int TCLeft = -1;
  int TCTop = -1;
  int TCRight = -1;
  int TCBottom = -1;
  TsGradArray GradientArray;
};

// 0 normal, 1 hot (mouse over or focused), 2 pressed or checked.
using TsProps = std::array<TsGenState, 3>;

// One skin section.
struct TsGeneralData {
  std::string ParentClass;
  std::string ClassName;
  TsProps Props;
  bool UseState2 = false;
  bool GiveOwnFont = false;
  bool ReservedBoolean = false;
  int States = 3;
  int BorderFlag = 0;  // EDIT and ALPHAEDIT: 1 when the border mask is at most one pixel wide on every side
  int Glow = 0;
  int GlowMargin = 0;
  int BorderIndex = -1;
  int ImgTopLeft = -1;
  int ImgTopRight = -1;
  int ImgBtmLeft = -1;
  int ImgBtmRight = -1;
  int OuterMode = 2;
  int OuterMask = -1;
  int OuterOpacity = 200;
  int OutOffsL = -1;
  int OutOffsT = -1;
  int OutOffsR = -1;
  int OutOffsB = -1;
};
using TsGeneralDataArray = std::vector<TsGeneralData>;

// Kinds of image element, as read from their value's first character.
constexpr uint8_t mkNinePart = 0;  // "^" and "!" values (their kind word may say 0..4)
constexpr uint8_t mkTexture = 1;   // "~" values
constexpr uint8_t mkMasterImage = 2;  // "@" values

// One image element of the skin.
struct TsMaskData {
  TBitmap* Bmp = nullptr;  // owned by the skin's image list; null: the element lies in the master bitmap
  std::string ClassName;
  std::string PropertyName;
  TRect R;
  int16_t ImageCount = 1;
  int16_t MaskType = 0;
  int16_t BorderWidth = 0;
  int16_t DrawMode = 0;
  uint8_t MaskKind = 0;
  TsSkinManager* Manager = nullptr;
  int16_t WL = 0;
  int16_t WT = 0;
  int16_t WR = 0;
  int16_t WB = 0;
  int CornerType = 0;  // 0 no key pixels in the corners, 1 some, 2 the form-border mask of BUTTON_HUGE
  int SkinIndex = -1;
  int Width = 0;   // one frame
  int Height = 0;
};
using TsMaskArray = std::vector<TsMaskData>;

// Outline (element 0, LO_ keys) and shadow (element 1, SH_ keys) of skinned controls.
struct TvkOuterEffectData {
  int32_t ColorL = 0, ColorT = 0, ColorR = 0, ColorB = 0;
  int32_t OffsetL = 0, OffsetT = 0, OffsetR = 0, OffsetB = 0;
  int32_t WidthL = -1, WidthT = -1, WidthR = -1, WidthB = -1;
  int32_t MaskIndex = -1;
  int32_t Source = 2;
  int32_t Opacity = 0;
};
using TvkOutEffArray = std::vector<TvkOuterEffectData>;

// The default record of a state, one constant of the system.
const TsGenState& DefaultGenState();
