#include "skin/core/vkSysColors.h"

#include <cstring>

#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinManagerStartup.h"
#include "skin/graphics/vkBlend.h"

namespace {

struct TPatch {
  TPatch(const char* D, const char* N, void* R) : Dll(D), Name(N), Replacement(R) {}
  const char* Dll;
  const char* Name;
  void* Replacement;
  bool Patched = false;
  TvkPatchSave Saved;
  void* Target() const { return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(Dll), Name)); }
};

TPatch g_GetSysColor{"user32.dll", "GetSysColor", reinterpret_cast<void*>(&SkinGetSysColor)};
TPatch g_GetSysColorBrush{"user32.dll", "GetSysColorBrush", reinterpret_cast<void*>(&SkinGetSysColorBrush)};
TPatch g_CreatePen{"gdi32.dll", "CreatePen", reinterpret_cast<void*>(&SkinCreatePen)};

// Brushes answered for indexes 8, 13 and 14: made on first request while patched, freed with the patch
// (the system's own answer is a shared brush nobody frees, so callers never delete them).
struct TSkinBrush {
  HBRUSH Brush = nullptr;
  COLORREF Color = 0;
};
TSkinBrush g_Brushes[3];
// Brushes of an earlier skin's colours: callers may still hold them until the patch goes.
std::vector<HBRUSH> g_RetiredBrushes;

void FreeSkinBrushes() {
  for (TSkinBrush& B : g_Brushes) {
    if (B.Brush != nullptr) DeleteObject(B.Brush);
    B = TSkinBrush();
  }
  for (HBRUSH B : g_RetiredBrushes) DeleteObject(B);
  g_RetiredBrushes.clear();
}

HBRUSH SkinBrush(int Slot, COLORREF Color) {
  TSkinBrush& B = g_Brushes[Slot];
  if (B.Brush != nullptr && B.Color != Color) {
    g_RetiredBrushes.push_back(B.Brush);
    B.Brush = nullptr;
  }
  if (B.Brush == nullptr) {
    B.Brush = CreateSolidBrush(Color);
    B.Color = Color;
  }
  return B.Brush;
}

bool WriteEntry(void* Entry, const uint8_t* Bytes) {
  DWORD OldProtect = 0;
  if (!VirtualProtect(Entry, 5, PAGE_EXECUTE_READWRITE, &OldProtect)) return false;
  std::memcpy(Entry, Bytes, 5);
  DWORD Ignored = 0;
  VirtualProtect(Entry, 5, OldProtect, &Ignored);
  FlushInstructionCache(GetCurrentProcess(), Entry, 5);
  return true;
}

void Install(TPatch& P) {
  if (P.Patched) return;
  P.Patched = true;
  PatchFunction(P.Target(), P.Replacement, P.Saved);
}
void Remove(TPatch& P) {
  if (!P.Patched) return;
  UnpatchFunction(P.Target(), P.Saved);
  P.Patched = false;
}

// Calls the real function with its patch taken off and put back afterwards.
template <class F> auto CallUnpatched(TPatch& P, F&& Call) {
  const bool Was = P.Patched && P.Saved.Bytes[0] != 0;
  TvkPatchSave Saved = P.Saved;
  if (Was) UnpatchFunction(P.Target(), Saved);
  auto Result = Call();
  if (Was) PatchFunction(P.Target(), P.Replacement, P.Saved);
  return Result;
}

COLORREF Pal(const TsSkinManager* M, TvkPaletteColor C) { return M->PaletteColor(C) & 0xFFFFFF; }
COLORREF Darker(const TsSkinManager* M) { return WeightedColorMix(Pal(M, pcMainColor), 0x000000, 0xCD) & 0xFFFFFF; }
COLORREF Lighter(const TsSkinManager* M) { return WeightedColorMix(Pal(M, pcMainColor), 0xFFFFFF, 0xCD) & 0xFFFFFF; }

}  // namespace

void* ResolvePatchEntry(void* Target) {
  auto* P = static_cast<uint8_t*>(Target);
  if (P == nullptr) return nullptr;
  // Outside the NT family a system entry may be a redirection stub: push the address, then jump.
  if (!WindowsNTFamily && P[0] == 0x68 && P[5] == 0xE9) {
    uint32_t Pushed;
    std::memcpy(&Pushed, P + 1, 4);
    P = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(Pushed));
  }
  if (P[0] == 0xFF && P[1] == 0x25) {
    uint8_t** Slot;
    std::memcpy(&Slot, P + 2, 4);
    P = *Slot;
  }
  return P;
}

void PatchFunction(void* Target, void* Replacement, TvkPatchSave& Saved) {
  Saved = TvkPatchSave();
  void* Entry = ResolvePatchEntry(Target);
  if (Entry == nullptr) return;
  TvkPatchSave Read;
  SIZE_T Got = 0;
  if (!ReadProcessMemory(GetCurrentProcess(), Entry, Read.Bytes, 5, &Got) || Got != 5) return;
  uint8_t Jump[5] = {0xE9};
  const int32_t Displacement = static_cast<int32_t>(reinterpret_cast<intptr_t>(Replacement) -
                                                    reinterpret_cast<intptr_t>(Entry) - 5);
  std::memcpy(Jump + 1, &Displacement, 4);
  // Written through the page protection, not WriteProcessMemory, which a traced process may refuse.
  if (WriteEntry(Entry, Jump)) Saved = Read;
}

void UnpatchFunction(void* Target, TvkPatchSave& Saved) {
  if (Saved.Bytes[0] == 0) return;
  void* Entry = ResolvePatchEntry(Target);
  if (Entry != nullptr) WriteEntry(Entry, Saved.Bytes);
  Saved = TvkPatchSave();
}

void InstallGetSysColorPatch() { Install(g_GetSysColor); }
void RemoveGetSysColorPatch() { Remove(g_GetSysColor); }
void InstallGetSysColorBrushPatch() { Install(g_GetSysColorBrush); }
void RemoveGetSysColorBrushPatch() {
  Remove(g_GetSysColorBrush);
  FreeSkinBrushes();
}
void InstallCreatePenPatch() { Install(g_CreatePen); }
void RemoveCreatePenPatch() { Remove(g_CreatePen); }
bool GetSysColorPatched() { return g_GetSysColor.Patched; }
bool GetSysColorBrushPatched() { return g_GetSysColorBrush.Patched; }
bool CreatePenPatched() { return g_CreatePen.Patched; }

void InstallSysColorPatches(TsSkinManager* Manager) {
  if (Manager == nullptr || !Manager->Options()->ChangeSysColors()) return;
  InstallGetSysColorPatch();
  InstallGetSysColorBrushPatch();
  InstallCreatePenPatch();
}

void RemoveSysColorPatches(TsSkinManager* Manager) {
  if (Manager == nullptr || !Manager->Options()->ChangeSysColors()) return;
  RemoveGetSysColorPatch();
  RemoveGetSysColorBrushPatch();
  RemoveCreatePenPatch();
}

void SetSysColorPatches(TsSkinManager* Manager, bool On) {
  if (Manager == nullptr || !Manager->HooksInstalled()) return;
  if (On) {
    InstallGetSysColorPatch();
    InstallGetSysColorBrushPatch();
    InstallCreatePenPatch();
  } else {
    RemoveGetSysColorPatch();
    RemoveGetSysColorBrushPatch();
    RemoveCreatePenPatch();
  }
}

DWORD WINAPI SkinGetSysColor(int Index) {
  const TsSkinManager* M = TsSkinManager::DefaultManager();
  if (M == nullptr) return 0;
  switch (Index) {
    case COLOR_WINDOW: return Pal(M, pcEditBG);
    case COLOR_WINDOWFRAME: return Pal(M, pcBorder);
    case COLOR_WINDOWTEXT: return Pal(M, pcEditText);
    case COLOR_HIGHLIGHT: return Pal(M, pcSelectionBGFocused);
    case COLOR_HIGHLIGHTTEXT: return Pal(M, pcSelectionTextFocused);
    case COLOR_BTNSHADOW:
    case COLOR_3DDKSHADOW: return Darker(M);
    case COLOR_3DLIGHT: return Lighter(M);
    default:  // COLOR_INACTIVEBORDER (11) included: the skin holds no colour for it
      return CallUnpatched(g_GetSysColor, [&] { return ::GetSysColor(Index); });
  }
}

HBRUSH WINAPI SkinGetSysColorBrush(int Index) {
  const TsSkinManager* M = TsSkinManager::DefaultManager();
  if (M == nullptr) return nullptr;
  switch (Index) {
    case COLOR_WINDOW: return M->PaletteBrush(5);
    case COLOR_WINDOWTEXT: return SkinBrush(0, Pal(M, pcEditText));
    case COLOR_HIGHLIGHT: return SkinBrush(1, Pal(M, pcSelectionBGFocused));
    case COLOR_HIGHLIGHTTEXT: return SkinBrush(2, Pal(M, pcSelectionTextFocused));
    default: return CallUnpatched(g_GetSysColorBrush, [&] { return ::GetSysColorBrush(Index); });
  }
}

HPEN WINAPI SkinCreatePen(int Style, int Width, COLORREF Color) {
  if (const TsSkinManager* M = TsSkinManager::DefaultManager()) {
    switch (Color) {
      case COLOR_WINDOW: Color = Pal(M, pcEditBG); break;
      case COLOR_WINDOWFRAME: Color = Pal(M, pcBorder); break;
      case COLOR_INACTIVEBORDER:
        Color = CallUnpatched(g_GetSysColor, [] { return ::GetSysColor(COLOR_INACTIVEBORDER); });
        break;
      case COLOR_HIGHLIGHT: Color = Pal(M, pcSelectionBGFocused); break;
      case COLOR_HIGHLIGHTTEXT: Color = Pal(M, pcSelectionTextFocused); break;
      case COLOR_BTNFACE: Color = Pal(M, pcMainColor); break;
      case COLOR_BTNSHADOW:
      case COLOR_3DDKSHADOW: Color = Darker(M); break;
      case COLOR_3DLIGHT: Color = Lighter(M); break;
      case 0xC0C0C0:
      case 0xF0F0F0: Color = WeightedColorMix(Pal(M, pcEditText), Pal(M, pcEditBG), 0x26) & 0xFFFFFF; break;
      default: break;
    }
  }
  return CallUnpatched(g_CreatePen, [&] { return ::CreatePen(Style, Width, Color); });
}
