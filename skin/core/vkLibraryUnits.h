// Start-up and shut-down of the skinning library as units of the framework's ordered start-up.
#pragma once

// Registers the library's units, in this order (each one's start-up may use the ones before it):
//   "vkntUtils"      late-bound kernel and shell entries, the WOW64 flag;
//   "ToolkitStartup" layout and layered-window functions, check-box cell sizes;
//   "GdipFlat"       gdiplus.dll bound and GDI+ started;
//   "Gradients"      GradientFill of msimg32.dll (its smooth steps draw through GDI+);
//   "PngGraphic"     the "png" picture format;
//   "sVclUtils"      the theme state and SetWindowTheme of the theme library;
//   "sStyleSimply"   the program's own icons; the skinned forms' steps around a skin change;
//   "sConst"         version level, metrics and interface words;
//   "vkShellCtrls"   the shell's desktop root folder, OLE, the shell's small images;
//   "vkDateUtils", "vkCalendarWords", "vkUser32Words"  date format and words of system DLLs;
//   "vkResourceGlyphs" the library's 32 x 16 glyph images;
//   "sColorDialog"   the pipette cursor and the custom colours;
//   "sSkinManager"   the system family, window shadows, "/vkver", SetProcessDPIAware;
//   "vkExcludedClasses" the class names the form hook never skins;
//   "vkGlow"         the engine's glow entries; at the end the glows cleared;
//   "vkFormAnimation" (at the end only) the hide timer freed.
// Nothing starts here: InitializeUnits() runs the start-ups, FinalizeUnits() the shut-downs in
// reverse. Call it after the framework's units ("Forms") and before the application's own. A unit
// whose name is already registered is left where it is, so calling this twice changes nothing.
void RegisterSkinLibraryUnits();
