// Glow effects: a soft halo around a control while the mouse is over it, shown on a click-through layered
// window of its own (so it can reach outside the control's window), built from the skin's glow mask and
// shown with per-pixel alpha and an overall opacity. A glow is addressed by its id, which names one slot of
// a table; ids are never reused in the process (a hidden glow leaves an empty slot, and the ids of a cleared
// table are not handed out again).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Controls.h"

class TBitmap;
class TsCommonData;
class TsSkinManager;
class TvkGlowForm;

class TvkGlowEffect {
public:
  ~TvkGlowEffect();
  // The glow window's method while it shows the glow: the mouse passes through it.
  void GlowWindowProc(TMessage& Message);
  int Margin = 0;        // pixels taken back from each side of the mask's borders
  int MaskIndex = -1;
  TvkGlowForm* GlowForm = nullptr;
  TBitmap* Bmp = nullptr;
  bool Destroying = false;
  TWndMethod SavedWndMethod;
  TsSkinManager* Manager = nullptr;
  TsCommonData* Owner = nullptr;
  uint8_t Alpha = 0;     // the opacity last put on the window
};

// The table since it was last cleared; an empty slot is a hidden glow.
extern std::vector<TvkGlowEffect*> GlowEffects;
// The effect of an id; nil outside the table or for an empty slot.
TvkGlowEffect* GlowEffectOf(int GlowId);

// Shows a glow around R (screen) from the mask MaskPrefix + "0" of the section SectionName; the id, or -1
// without layered windows, skin data or mask, while a window holds the mouse capture, or when Margin takes back the
// whole glow (nothing made then).
int ShowGlowEffect(const RECT& R, const std::string& SectionName, const std::string& MaskPrefix, TsCommonData* SkinData,
                   HWND Wnd, uint8_t Alpha, int Margin);
// The same with the mask given by index (the first of MaskIndexes).
int ShowGlowEffectByMask(const RECT& R, const std::vector<int>& MaskIndexes, TsCommonData* SkinData, HWND Wnd,
                         uint8_t Alpha, int Margin);
// Builds the effect's image for R and puts its window behind Wnd (or topmost) with opacity Alpha.
void ShowGlowWindow(TvkGlowEffect* Effect, const RECT& R, const RECT& R2, HWND Wnd, uint8_t Alpha);
// The glow's image again with another opacity (never repainted).
void SetGlowEffectOpacity(int GlowId, uint8_t Alpha);
// Hides the glow: fading out from its opacity when Animated (GlowId stays until the fade ends), else at once
// (GlowId := -1). Ids outside the table change nothing.
void HideGlowEffect(int& GlowId, bool Animated);
// Every glow of Owner hidden at once (its own and those shown for its parts, as title buttons), before it goes.
void HideGlowsOf(TsCommonData* Owner);
// Every glow gone (FreeWindows: their windows freed at once) and the table emptied.
void ClearAllGlowEffects(bool FreeWindows);
// The glow of a skinned control (SkinIndex -1: the data's own section).
void ShowControlGlow(TsCommonData* SkinData, bool SkipIfShown, HWND Wnd, int SkinIndex, bool Animated, uint8_t Alpha);

// The glow's window size for a rectangle of width W and height H: the mask borders added, twice the margin
// taken back.
SIZE GlowWindowSize(int W, int H, int MaskIndex, TsSkinManager* Manager, int Margin);

// Unit start: the engine's glow entries bound, so a control's first glow may come through the common handling.
void vkGlowInitialize();
// Unit end: the glows cleared without freeing their windows.
void vkGlowFinalize();
