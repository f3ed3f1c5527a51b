// System-colour patches: while the default manager's ChangeSysColors option is set and a skin is applied,
// GetSysColor, GetSysColorBrush and CreatePen of user32/gdi32 jump to replacements answering the skin's
// colours, so code that asks the system for its colours draws in the skin's.
#pragma once
#include <windows.h>

#include <cstdint>

class TsSkinManager;

// The first five bytes of a patched entry as they were; Saved[0] == 0 means nothing to write back.
struct TvkPatchSave {
  uint8_t Bytes[5] = {};
};

// The real entry of Target: an import jump (FF 25 and the address of a pointer) is followed.
void* ResolvePatchEntry(void* Target);
// Saves the entry's first five bytes and writes a jump to Replacement over them. A failed read leaves the
// entry untouched and Saved cleared.
void PatchFunction(void* Target, void* Replacement, TvkPatchSave& Saved);
// Writes the saved bytes back when there are any, and clears them.
void UnpatchFunction(void* Target, TvkPatchSave& Saved);

// Install/remove pairs; each acts only when the function is not (or is) patched yet. The original stays callable
// through a copy of its first instructions, so calls the skin does not answer never take the patch off; an entry
// whose first instructions cannot be copied is not patched.
void InstallGetSysColorPatch();
void RemoveGetSysColorPatch();
void InstallGetSysColorBrushPatch();
void RemoveGetSysColorBrushPatch();
void InstallCreatePenPatch();
void RemoveCreatePenPatch();
bool GetSysColorPatched();
bool GetSysColorBrushPatched();
bool CreatePenPatched();

// The manager's side: all three when its ChangeSysColors option is set.
void InstallSysColorPatches(TsSkinManager* Manager);
void RemoveSysColorPatches(TsSkinManager* Manager);
// The option changed on the default manager: patches follow it at once (only while a skin is applied).
void SetSysColorPatches(TsSkinManager* Manager, bool On);

// The replacements (answers from the default manager's palette; 0 without a default manager).
DWORD WINAPI SkinGetSysColor(int Index);
HBRUSH WINAPI SkinGetSysColorBrush(int Index);
HPEN WINAPI SkinCreatePen(int Style, int Width, COLORREF Color);
