#include "skin/core/sSkinManagerStartup.h"

#include "framework/Dialogs.h"
#include "framework/Graphics.h"
#include "framework/LateBinding.h"
#include "framework/Platform.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/System.h"
#include "skin/graphics/PngGraphic.h"
#include "skin/graphics/vkPixelOps.h"

bool WindowsNTFamily = true;
TBitmap* ShadowBitmapActive = nullptr;
TBitmap* ShadowBitmapInactive = nullptr;

namespace {

HMODULE g_User32 = nullptr;
TSetProcessDPIAware g_SetProcessDPIAware = nullptr;

}  // namespace

TSetProcessDPIAware SetProcessDPIAwareEntry() { return g_SetProcessDPIAware; }

TBitmap* LoadShadowBitmap(HMODULE Module, const char* Name) {
  if (!ResourceExists(Module, Name)) return nullptr;
  auto* Bmp = new TBitmap();
  try {
    TResourceStream Stream(Module, Name);
    LoadPngStreamToBitmap(Bmp, &Stream);
    ClearWhiteKeyPixels(Bmp);
  } catch (const std::exception&) {
    Bmp->Free();
    // start-up goes on without the image; the failure is reported, not swallowed
    HandleCurrentException();
    return nullptr;
  }
  return Bmp;
}

bool CommandLineHasSwitch(const char* Switch) {
  for (int i = 1; i <= ParamCount(); ++i)
    if (LowerCase(ParamStr(i)) == Switch) return true;
  return false;
}

bool StartedForEditorPreviews() { return ParamCount() >= 1 && ParamStr(1) == "/vkpreview"; }

void SkinManagerUnitInitialize() {
  OSVERSIONINFOA Info{};
  Info.dwOSVersionInfoSize = sizeof(Info);
  if (Platform().GetVersionExA(&Info)) WindowsNTFamily = Info.dwPlatformId == VER_PLATFORM_WIN32_NT;
  ShadowBitmapActive = LoadShadowBitmap(GetModuleHandleA(nullptr), "vkSHDA");
  ShadowBitmapInactive = LoadShadowBitmap(GetModuleHandleA(nullptr), "vkSHDI");
  if (CommandLineHasSwitch("/vkver")) ShowMessage(kVersionNotice);
  g_User32 = LoadSystemLibrary("user32.dll");
  if (g_User32 != nullptr)
    g_SetProcessDPIAware =
        reinterpret_cast<TSetProcessDPIAware>(reinterpret_cast<void*>(GetProcAddress(g_User32, "SetProcessDPIAware")));
}

void SkinManagerUnitFinalize() {
  FreeAndNil(ShadowBitmapActive);
  FreeAndNil(ShadowBitmapInactive);
  g_SetProcessDPIAware = nullptr;
  if (g_User32 != nullptr) FreeLibrary(g_User32);
  g_User32 = nullptr;
}
