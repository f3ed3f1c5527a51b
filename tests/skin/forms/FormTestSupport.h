// Helpers of the form skinner's tests: the program's units started once per test process, the SOLID test skin
// on a manager, plain forms made in code, the provider's run-time state, and 32-bit DIBs of a window.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "tests/support/Dib32.h"
#include "tests/support/Owned.h"

// The provider's run-time state as the tests set and read it.
struct TsSkinProviderAccess {
  static bool& FormActive(TsSkinProvider* P) { return P->FFormActive; }
  static bool& DeferredSetUp(TsSkinProvider* P) { return P->FDeferredSetUp; }
  static uint32_t& State(TsSkinProvider* P) { return P->FFormState; }
  static bool& Pressed(TsSkinProvider* P) { return P->FPressed; }
  static int& RedrawLocks(TsSkinProvider* P) { return P->FRedrawLockCount; }
  static TCustomForm*& Veil(TsSkinProvider* P) { return P->FVeil; }
  static TObject*& ScrollAdapter(TsSkinProvider* P) { return P->FScrollAdapter; }
  static void SetLoading(TsSkinProvider* P, bool On) { P->SetComponentStateItem(csLoading, On); }
  // The caption's glow kept for reuse (0 inactive, 1 active).
  static TBitmap* CaptionGlow(TsSkinProvider* P, int Active) { return P->FCaptionGlow[Active]; }
};

namespace form_test {

using testing_support::Owned;

struct ManagerFree {
  void operator()(TsSkinManager* m) const { m->Free(); }
};
using ManagerPtr = std::unique_ptr<TsSkinManager, ManagerFree>;

// <build>/tools/skin, where the build draws, checks and packs the carried skins.
std::string SkinBuildFolder();
// A manager with the named carried skin applied (the first manager made is the default one).
ManagerPtr CarriedManager(const std::string& Name = "SOLID");
// A form made in code, with a window, at (Left, Top) of W x H, the given border style, not shown.
TForm* NewForm(int W = 300, int H = 200, TFormBorderStyle Style = bsSizeable);
// An MDI main form at (20, 20) of 520 x 380 with a menu bar of one item ("&File"), known to the application (its
// children find it as their parent), not shown.
TForm* NewMDIMainForm();
// Colour value of "#RRGGBB" as the skin text writes it.
constexpr uint32_t Html(uint32_t rgb) { return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF); }
// Pixel of a 32-bit bitmap as 0x00RRGGBB.
uint32_t CacheRgb(TBitmap* Bmp, int X, int Y);
// Messages of the thread dispatched until Done() holds or Ms milliseconds passed.
template <class F> bool PumpUntil(F Done, DWORD Ms = 2000) {
  const DWORD Start = GetTickCount();
  for (;;) {
    MSG M;
    while (PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&M);
      DispatchMessageA(&M);
    }
    if (Done()) return true;
    if (GetTickCount() - Start > Ms) return false;
    Sleep(5);
  }
}

}  // namespace form_test
