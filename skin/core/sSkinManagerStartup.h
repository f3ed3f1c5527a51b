// What the skin manager's unit sets up once per process: the system family, the window-shadow images,
// the "/vkver" notice and the late-bound SetProcessDPIAware.
#pragma once
#include <windows.h>

class TBitmap;

// The system is of the NT family (platform id 2).
extern bool WindowsNTFamily;
// The shadows of active and inactive windows: 32-bit images from the resources "vkSHDA" and "vkSHDI",
// fully transparent white cleared to 0. Nil before start-up and after shut-down, and when an image is missing
// or does not decode.
extern TBitmap* ShadowBitmapActive;
extern TBitmap* ShadowBitmapInactive;
// One such image from a PNG resource of the module; nil when missing, and when it does not decode (the failure
// goes to the application's handler: start-up never raises).
TBitmap* LoadShadowBitmap(HMODULE Module, const char* Name);

// user32's SetProcessDPIAware; nil when the system lacks it or before start-up.
using TSetProcessDPIAware = BOOL(WINAPI*)();
TSetProcessDPIAware SetProcessDPIAwareEntry();

// The notice shown at start-up when a command-line parameter is "/vkver" (any case).
constexpr const char* kVersionNotice = "VelkorControls v12.14";
// True when some command-line parameter, lower-cased, equals Switch (given in lower case).
bool CommandLineHasSwitch(const char* Switch);
// True when the program was started for a skin editor's previews: "/vkpreview", exactly, as the first argument
// (the rule by which a form links itself to the editor).
bool StartedForEditorPreviews();

void SkinManagerUnitInitialize();
void SkinManagerUnitFinalize();
