#include "skin/core/vkLibraryUnits.h"

#include "framework/Units.h"
#include "skin/core/sColorDialog.h"
#include "skin/core/sConst.h"
#include "skin/core/sSkinManagerStartup.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkExcludedClasses.h"
#include "skin/core/vkFormAnimation.h"
#include "skin/core/vkGlow.h"
#include "skin/core/vkStartupUnits.h"
#include "skin/core/vkntUtils.h"
#include "skin/graphics/GdipFlat.h"
#include "skin/graphics/Gradients.h"
#include "skin/graphics/PngGraphic.h"
#include "skin/graphics/ToolkitStartup.h"

namespace {

void RegisterOnce(const char* Name, TUnitProc Start, TUnitProc End) {
  if (!UnitRegistered(Name)) RegisterUnit(Name, std::move(Start), std::move(End));
}

}  // namespace

void RegisterSkinLibraryUnits() {
  RegisterOnce("vkntUtils", vkntUtilsInitialize, vkntUtilsFinalize);
  RegisterOnce("ToolkitStartup", ToolkitStartup, ToolkitShutdown);
  RegisterOnce("GdipFlat", GdipStartupUnit, GdipShutdownUnit);
  RegisterOnce("Gradients", GradientUnitStart, GradientUnitEnd);
  RegisterOnce("PngGraphic", RegisterPngFormat, UnregisterPngFormat);
  RegisterOnce("sVclUtils", VclUtilsInitialize, VclUtilsFinalize);
  RegisterOnce("sStyleSimply", StyleSimplyInitialize, StyleSimplyFinalize);
  RegisterOnce("sConst", sConstInitialize, sConstFinalize);
  RegisterOnce("vkShellCtrls", vkShellCtrlsInitialize, vkShellCtrlsFinalize);
  RegisterOnce("vkDateUtils", DateHelpersInitialize, nullptr);
  RegisterOnce("vkCalendarWords", CalendarWordsInitialize, CalendarWordsFinalize);
  RegisterOnce("vkUser32Words", User32WordsInitialize, User32WordsFinalize);
  RegisterOnce("vkResourceGlyphs", ResourceGlyphListInitialize, ResourceGlyphListFinalize);
  RegisterOnce("sColorDialog", sColorDialogInitialize, sColorDialogFinalize);
  RegisterOnce("sSkinManager", SkinManagerUnitInitialize, SkinManagerUnitFinalize);
  RegisterOnce("vkExcludedClasses", ExcludedClassesInitialize, ExcludedClassesFinalize);
  RegisterOnce("vkGlow", vkGlowInitialize, vkGlowFinalize);
  RegisterOnce("vkFormAnimation", nullptr, FormAnimationFinalize);
}
