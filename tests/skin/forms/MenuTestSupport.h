// A hand-built menu skin for the skinned-menu tests: MAINMENU with a three-pixel border mask (key corners make the
// popup's cut-outs), MENUITEM in two states, ICOLINE, MENUCAPTION, EXTRALINE, DIVIDERV without a mask, and a
// two-frame radio check image in GLOBALINFO.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinMenus.h"
#include "tests/support/Bitmaps.h"

namespace menu_test {

using testing_support::BitmapPtr;
using testing_support::Owned;

// Colour values (0x00BBGGRR) of the sections.
constexpr uint32_t kPopupColor = 0x404040;
constexpr uint32_t kFrameColor = 0x0000C0;
constexpr uint32_t kItemColor = 0xC0C0C0;
constexpr uint32_t kItemHotColor = 0x800000;
constexpr uint32_t kIcoColor = 0x00C000;
constexpr uint32_t kCaptionColor = 0x008080;
constexpr uint32_t kExtraColor = 0xC000C0;
constexpr uint32_t kCheckColor = 0x00FFFF;

// Pixel of a 32-bit bitmap as a colour value (alpha dropped).
uint32_t ColorAt(TBitmap* Bmp, int X, int Y);

struct TMenuSkin {
  Owned<TsSkinManager> Manager;
  BitmapPtr Border, Check;
  TsSkinableMenus* Painter() const { return Manager->SkinableMenus(); }
};
// The manager (its painter made by the menus' unit) with the skin above; BorderMask false leaves MAINMENU
// without its border mask.
TMenuSkin NewMenuSkin(bool BorderMask = true);

// A popup menu owned by nobody with items of these captions.
TPopupMenu* NewPopup(const std::vector<std::string>& Captions, const std::string& Name = "");

}  // namespace menu_test
