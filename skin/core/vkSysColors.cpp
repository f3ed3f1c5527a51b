#include "skin/core/vkSysColors.h"

#include <cstring>

#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinManagerStartup.h"
#include "skin/graphics/vkBlend.h"

namespace {

// The original of a patched entry stays callable through a trampoline: its first whole instructions copied,
// then a jump back behind them. The entry itself is never written while patched, so another thread calling
// it meanwhile never runs half-written code.
struct TTrampoline {
  uint8_t Code[16] = {};
};

struct TPatch {
  TPatch(const char* D, const char* N, void* R) : Dll(D), Name(N), Replacement(R) {}
  const char* Dll;
  const char* Name;
  void* Replacement;
  bool Patched = false;
  TvkPatchSave Saved;
  TTrampoline* Original = nullptr;  // the entry's original code; nil until first patched
  void* Target() const { return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(Dll), Name)); }
};

// Length of the x86 instruction at P when it is one that may be moved (no relative operand); 0 otherwise. The
// entries patched here begin with stack-frame set-up only.
int MovableInstructionLength(const uint8_t* P) {
  switch (P[0]) {
    case 0x50: case 0x51: case 0x52: case 0x53: case 0x55: case 0x56: case 0x57:  // push reg
    case 0x90:                                                                      // nop
      return 1;
    case 0x6A:  // push imm8
      return 2;
    case 0x68:  // push imm32
    case 0xB8:  // mov eax, imm32
      return 5;
    case 0x83:  // sub/and esp, imm8
      return P[1] == 0xEC || P[1] == 0xE4 ? 3 : 0;
    case 0x81:  // sub esp, imm32
      return P[1] == 0xEC ? 6 : 0;
    case 0x8B:  // mov edi, edi / mov ebp, esp / mov reg, [esp + disp8]
    case 0x89:  // mov ebp, esp
    case 0x8D:  // lea reg, [esp + disp8]
      if (P[1] == 0xFF || P[1] == 0xEC || P[1] == 0xE5) return 2;
      if ((P[1] & 0xC7) == 0x44 && P[2] == 0x24) return 4;
      return 0;
    case 0x33:  // xor reg, reg
    case 0x31:
      return (P[1] & 0xC0) == 0xC0 ? 2 : 0;
    default:
      return 0;
  }
}

// Trampolines live in one executable page for the life of the process: a thread may still be inside one when
// its patch goes.
TTrampoline* NewTrampoline() {
  static TTrampoline* Page = nullptr;
  static size_t Used = 0;
  constexpr size_t kPerPage = 4096 / sizeof(TTrampoline);
  if (Page == nullptr || Used == kPerPage) {
    Page = static_cast<TTrampoline*>(VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    if (Page == nullptr) return nullptr;
    Used = 0;
  }
  return &Page[Used++];
}

// The entry's whole instructions covering its first five bytes, then a jump to the instruction after them.
// False when those instructions cannot be moved: the entry is then not patched at all.
bool BuildTrampoline(TTrampoline& T, const uint8_t* Entry) {
  int Length = 0;
  while (Length < 5) {
    const int N = MovableInstructionLength(Entry + Length);
    if (N == 0) return false;
    Length += N;
  }
  std::memcpy(T.Code, Entry, static_cast<size_t>(Length));
  T.Code[Length] = 0xE9;
  const int32_t Back = static_cast<int32_t>(reinterpret_cast<intptr_t>(Entry + Length) -
                                            reinterpret_cast<intptr_t>(T.Code + Length + 5));
  std::memcpy(T.Code + Length + 1, &Back, 4);
  FlushInstructionCache(GetCurrentProcess(), T.Code, sizeof(T.Code));
  return true;
}

TPatch g_GetSysColor{"user32.dll", "GetSysColor", reinterpret_cast<void*>(&SkinGetSysColor)};
TPatch g_GetSysColorBrush{"user32.dll", "GetSysColorBrush", reinterpret_cast<void*>(&SkinGetSysColorBrush)};
TPatch g_CreatePen{"gdi32.dll", "CreatePen", reinterpret_cast<void*>(&SkinCreatePen)};

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
  const auto* Entry = static_cast<const uint8_t*>(ResolvePatchEntry(P.Target()));
  if (Entry == nullptr) return;
  // The trampoline is built once from the unpatched entry; the entry is the same at every later patch.
  if (P.Original == nullptr) {
    TTrampoline* T = NewTrampoline();
    if (T == nullptr || !BuildTrampoline(*T, Entry)) return;
    P.Original = T;
  }
  P.Patched = true;
  PatchFunction(P.Target(), P.Replacement, P.Saved);
}
void Remove(TPatch& P) {
  if (!P.Patched) return;
  UnpatchFunction(P.Target(), P.Saved);
  P.Patched = false;
}

// The real function of a patch: its trampoline once one is built (valid patched or not), else the entry.
template <class Fn> Fn Real(const TPatch& P, Fn Direct) {
  return P.Original != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void*>(P.Original->Code)) : Direct;
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
void RemoveGetSysColorBrushPatch() { Remove(g_GetSysColorBrush); }
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
      return Real(g_GetSysColor, &::GetSysColor)(Index);
  }
}

HBRUSH WINAPI SkinGetSysColorBrush(int Index) {
  const TsSkinManager* M = TsSkinManager::DefaultManager();
  if (M == nullptr) return nullptr;
  switch (Index) {
    // brushes that outlive the skin and the patch: callers keep them as they keep the system's
    case COLOR_WINDOW: return LastingSolidBrush(Pal(M, pcEditBG));
    case COLOR_WINDOWTEXT: return LastingSolidBrush(Pal(M, pcEditText));
    case COLOR_HIGHLIGHT: return LastingSolidBrush(Pal(M, pcSelectionBGFocused));
    case COLOR_HIGHLIGHTTEXT: return LastingSolidBrush(Pal(M, pcSelectionTextFocused));
    default: return Real(g_GetSysColorBrush, &::GetSysColorBrush)(Index);
  }
}

HPEN WINAPI SkinCreatePen(int Style, int Width, COLORREF Color) {
  if (const TsSkinManager* M = TsSkinManager::DefaultManager()) {
    switch (Color) {
      case COLOR_WINDOW: Color = Pal(M, pcEditBG); break;
      case COLOR_WINDOWFRAME: Color = Pal(M, pcBorder); break;
      case COLOR_INACTIVEBORDER:
        Color = Real(g_GetSysColor, &::GetSysColor)(COLOR_INACTIVEBORDER);
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
  return Real(g_CreatePen, &::CreatePen)(Style, Width, Color);
}
