// Helpers of the skinned-control tests: the carried test skins on a manager of their own, a form to place
// controls on, painting a control into a 32-bit DIB, and colour values as a DIB holds them.
#pragma once
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Forms.h"
#include "framework/Platform.h"
#include "framework/SysUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/vkPixelOps.h"
#include "tests/support/Dib32.h"
#include "tests/support/Owned.h"
#include "tests/support/SkinFolder.h"

namespace controls_test {

using testing_support::Dib32;
using testing_support::Owned;

// A manager with a carried skin ("SOLID", "TIDE") applied; the first manager becomes the default one.
inline Owned<TsSkinManager> SkinnedManager(const std::string& Name = "SOLID") {
  Owned<TsSkinManager> M(new TsSkinManager(nullptr));
  M->SetSkinDirectory(testing_support::CarriedSkinFolder());
  M->SetSkinName(Name);
  return M;
}

// A borderless form of the given colour, not shown.
inline Owned<TForm> NewForm(TColor Color = clWhite, int W = 320, int H = 200) {
  InitializeForms();
  Owned<TForm> F(TForm::CreateNew(nullptr));
  F->SetBorderStyle(bsNone);
  F->SetBounds(0, 0, W, H);
  F->SetColor(Color);
  return F;
}

// A control of class T made (Create) with Form as its owner and placed on it at (X, Y), W x H.
template <class T> T* PlaceOn(TForm* Form, int W, int H, int X = 0, int Y = 0) {
  T* C = Create<T>(Form);
  C->SetParent(Form);
  C->SetBounds(X, Y, W, H);
  return C;
}

// A graphic control painted as its parent's paint would: into a DIB of its size filled with Fill.
inline void PaintGraphic(TControl* C, Dib32& Dib) { C->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Dib.DC()), 0); }

// The pixels (0x00RRGGBB) of a DIB or a 32-bit bitmap, row by row.
inline std::vector<uint32_t> Pixels(const Dib32& Dib) {
  std::vector<uint32_t> Px;
  for (int y = 0; y < Dib.Height(); ++y)
    for (int x = 0; x < Dib.Width(); ++x) Px.push_back(Dib.Rgb(x, y));
  return Px;
}
inline std::vector<uint32_t> Pixels(TBitmap* Bmp) {
  std::vector<uint32_t> Px;
  for (int y = 0; y < Bmp->Height(); ++y)
    for (int x = 0; x < Bmp->Width(); ++x) Px.push_back(GetPixel32(Bmp, x, y) & 0xFFFFFF);
  return Px;
}

// A windowed control's face as WM_PRINT gives it.
inline std::vector<uint32_t> Printed(TWinControl* C) {
  Dib32 Dib(C->Width(), C->Height(), 0x123456, true);
  C->Perform(WM_PRINT, reinterpret_cast<WPARAM>(Dib.DC()), PRF_CLIENT);
  return Pixels(Dib);
}

// The height of "A" in Font, as the screen measures it.
inline int TextHeightOfA(TFont* Font) {
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Font->Handle());
  SIZE S{};
  GetTextExtentPoint32A(DC, "A", 1, &S);
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  return S.cy;
}

// 0x00RRGGBB of a colour value (red in the low byte), as a DIB pixel holds it.
inline uint32_t Px(TColor C) {
  const uint32_t V = static_cast<uint32_t>(ColorToRGB(C));
  return ((V & 0xFF) << 16) | (V & 0xFF00) | ((V >> 16) & 0xFF);
}

// Pixels of the DIB equal to Rgb (0x00RRGGBB).
inline int CountRgb(const Dib32& Dib, uint32_t Rgb) {
  int N = 0;
  for (int y = 0; y < Dib.Height(); ++y)
    for (int x = 0; x < Dib.Width(); ++x) N += Dib.Rgb(x, y) == Rgb;
  return N;
}

// The system taken for one with right-to-left languages while the object lives.
struct MiddleEastLocale {
  bool Was = SysLocale.MiddleEast;
  MiddleEastLocale() { SysLocale.MiddleEast = true; }
  ~MiddleEastLocale() { SysLocale.MiddleEast = Was; }
};

// Every shell call the code under test makes, instead of making it.
struct ShellRecorder {
  struct Call {
    std::string Op, File;
    int Show;
  };
  std::vector<Call> Calls;
  ShellRecorder() {
    Platform().ShellExecuteA = [this](HWND, const char* Op, const char* File, const char*, const char*, int Show) {
      Calls.push_back({Op ? Op : "", File ? File : "", Show});
      return reinterpret_cast<HINSTANCE>(33);
    };
  }
  ~ShellRecorder() { ResetPlatform(); }
};

// Controls of class Kept<T> keep their memory when freed, filled with 0xDD: a write to a freed one shows as a
// changed byte, a virtual call through one faults. KeptMemoryUntouched checks and releases what was freed.
struct KeptBlock {
  void* Memory;
  size_t Size;
  bool Freed;
};
inline std::vector<KeptBlock>& KeptBlocks() {
  static std::vector<KeptBlock> Blocks;
  return Blocks;
}
template <class T> class Kept : public T {
public:
  using T::T;
  static void* operator new(size_t Size) {
    void* P = ::operator new(Size);
    KeptBlocks().push_back({P, Size, false});
    return P;
  }
  static void operator delete(void* P, size_t Size) {
    std::memset(P, 0xDD, Size);
    for (KeptBlock& B : KeptBlocks())
      if (B.Memory == P) B.Freed = true;
  }
};
// True when no freed control was written to since; the freed memory goes back to the heap.
inline bool KeptMemoryUntouched() {
  bool Untouched = true;
  std::vector<KeptBlock> Alive;
  for (const KeptBlock& B : KeptBlocks()) {
    if (!B.Freed) {
      Alive.push_back(B);
      continue;
    }
    const auto* P = static_cast<const unsigned char*>(B.Memory);
    for (size_t i = 0; i < B.Size; ++i) Untouched = Untouched && P[i] == 0xDD;
    ::operator delete(B.Memory);
  }
  KeptBlocks() = Alive;
  return Untouched;
}

}  // namespace controls_test
