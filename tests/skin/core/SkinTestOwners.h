// Test-only owners of skin state: a windowed and a graphic control that follow the owner contract (skin data
// made in the constructor, FinishLoading, every message through the common handling), log every skin command
// they hear, and keep a cache of one flat colour per state over their parent's background. Plus the SOLID test
// skin on a manager of its own and a 32-bit DIB to paint into.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine_support.h"
#include "framework/Controls.h"
#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkPixelOps.h"
#include "tests/support/Owned.h"

namespace skin_owners {

using engine_test::ManagerPtr;

// A manager with the SOLID skin applied (it becomes the default manager when it is the first one).
inline ManagerPtr SolidManager() {
  ManagerPtr m(Create<TsSkinManager>(nullptr));
  m->SetSkinDirectory(engine_test::SkinBuildFolder());
  m->SetSkinName("SOLID");
  return m;
}

// Colour value of "#RRGGBB" as the skin text writes it.
constexpr uint32_t Html(uint32_t rgb) { return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF); }

// The cache of an owner: the state's colour where the state is opaque, mixed over the parent's background by
// the state's transparency where it is not (a stand-in for the section painters, exact enough for the protocol).
inline void BuildFlatCache(TsCommonData* D, TControl* Self) {
  if (D->CacheBmp == nullptr) return;  // an owner without a cache shows its parent
  PrepareCacheBitmap(D);
  const TsGeneralData* G = D->IsSkinned() ? D->Section() : nullptr;
  if (G == nullptr || D->CacheBmp->Empty()) return;
  const TsGenState& S = G->Props[std::min(D->CurrentState(), std::max(0, G->States - 1))];
  TvkParentBgQuery Q{.OffsetX = Self->Left(), .OffsetY = Self->Top()};
  if (S.Transparency > 0 && Self->Parent() != nullptr) QueryParentBackground(Q, Self->Parent(), false);
  for (int y = 0; y < D->CacheBmp->Height(); ++y)
    for (int x = 0; x < D->CacheBmp->Width(); ++x) {
      const uint32_t Behind = Q.Kind == bgkBitmap && Q.Bmp != nullptr
                                  ? SwapRedBlue(GetPixel32(Q.Bmp, Q.OffsetX + x, Q.OffsetY + y) & 0xFFFFFF)
                                  : Q.Color;
      const uint32_t C = S.Transparency == 0 ? S.Color : MixBackgroundColor(Behind, S.Color, S.Transparency);
      const uint32_t Px = SwapRedBlue(C);
      PutPixel32(D->CacheBmp, x, y, 0xFF000000 | Px);
    }
}

// A windowed owner. OwnSection answers VKCMD_QUERY_OWNER_SECTION (index + 1).
class TTestSkinOwner : public TCustomControl {
  DECLARE_CLASS(TTestSkinOwner, TCustomControl)
public:
  explicit TTestSkinOwner(TComponent* AOwner, uint8_t Type = ctButton, bool Cache = true)
      : TCustomControl(AOwner), SkinData(new TsCtrlSkinData(this, Cache)) {
    SkinData->CtrlType = Type;
  }
  ~TTestSkinOwner() override { delete SkinData; }
  TsCtrlSkinData* SkinData;
  std::vector<WORD> Heard;
  LRESULT OwnSection = 0;
  int Rebuilds = 0;
  int Paints = 0;
  bool Forward = false;  // passes skin-change commands on to its children, as containers do
  void Clear() { Heard.clear(); }
  int Count(WORD Cmd) const { return static_cast<int>(std::count(Heard.begin(), Heard.end(), Cmd)); }

  void WndProc(TMessage& M) override {
    if (M.Msg == SM_VKCMD) {
      const WORD Cmd = SkinCommandCode(M.WParam);
      Heard.push_back(Cmd);
      if (Cmd == VKCMD_QUERY_OWNER_SECTION) {
        M.Result = OwnSection;
        return;
      }
      if (Cmd == VKCMD_REFRESH_CACHE && SkinData->IsSkinned()) {
        ++Rebuilds;
        BuildFlatCache(SkinData, this);
      }
      if (Forward && (Cmd == VKCMD_SKIN_APPLIED || Cmd == VKCMD_SKIN_DROPPED || Cmd == VKCMD_REPAINT_AFTER_CHANGE))
        BroadcastToChildControls(this, M);
    }
    // a skinned owner prints its cache, as it paints it
    if (M.Msg == WM_PRINT && M.WParam != 0 && SkinData != nullptr && SkinData->IsSkinned()) {
      PaintFace(reinterpret_cast<HDC>(M.WParam));
      M.Result = PrintAnswer;
      return;
    }
    if (!ProcessCommonSkinMessage(M, SkinData)) TCustomControl::WndProc(M);
  }
  LRESULT PrintAnswer = 0;  // -2: "my child windows are painted too"

protected:
  void Paint() override { PaintFace(Canvas()->Handle()); }

private:
  void PaintFace(HDC DC) {
    ++Paints;
    if (SkinData == nullptr || !SkinData->IsSkinned()) {
      HBRUSH B = CreateSolidBrush(ColorToRGB(Color()));
      RECT R{0, 0, Width(), Height()};
      FillRect(DC, &R, B);
      DeleteObject(B);
      return;
    }
    if (SkinData->CacheDirty) BuildFlatCache(SkinData, this);
    if (SkinData->CacheBmp != nullptr && !SkinData->CacheBmp->Empty())
      BitBlt(DC, 0, 0, Width(), Height(), SkinData->CacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  }
};

// A graphic owner without a cache; it paints a block of Fill (key colour: it paints nothing of its own).
class TTestGraphicOwner : public TGraphicControl {
  DECLARE_CLASS(TTestGraphicOwner, TGraphicControl)
public:
  explicit TTestGraphicOwner(TComponent* AOwner, uint8_t Type = 230)
      : TGraphicControl(AOwner), SkinData(new TsCommonData(this, false)) {
    SkinData->CtrlType = Type;
  }
  ~TTestGraphicOwner() override { delete SkinData; }
  TsCommonData* SkinData;
  std::vector<WORD> Heard;
  TColor Fill = clNone;  // clNone: leaves the DC as it finds it
  bool KeyCorner = false;  // leaves the key colour at its top-left pixel
  std::function<void(HDC)> OnPaint;
  int Paints = 0;
  int Count(WORD Cmd) const { return static_cast<int>(std::count(Heard.begin(), Heard.end(), Cmd)); }

  void WndProc(TMessage& M) override {
    if (M.Msg == SM_VKCMD) Heard.push_back(SkinCommandCode(M.WParam));
    if (M.Msg == WM_PRINT && M.WParam != 0) {
      PaintOn(reinterpret_cast<HDC>(M.WParam));
      return;
    }
    if (!ProcessCommonSkinMessage(M, SkinData)) TGraphicControl::WndProc(M);
  }

protected:
  void Paint() override { PaintOn(Canvas()->Handle()); }

private:
  void PaintOn(HDC DC) {
    ++Paints;
    if (OnPaint) OnPaint(DC);
    if (Fill == clNone) return;
    HBRUSH B = CreateSolidBrush(ColorToRGB(Fill));
    RECT R{0, 0, Width(), Height()};
    FillRect(DC, &R, B);
    DeleteObject(B);
    if (KeyCorner) SetPixel(DC, 0, 0, 0xFF00FF);
  }
};

using testing_support::Owned;

// A form made in code, shown without activation so tests do not fight over the focus.
inline TForm* NewTestForm(int W = 300, int H = 200) {
  InitializeForms();
  TForm* F = TForm::CreateNew(Application);
  F->SetBorderStyle(bsNone);
  F->SetBounds(0, 0, W, H);
  return F;
}

template <class T> T* Place(TWinControl* Parent, int L, int Top, int W, int H, T* C) {
  C->SetParent(Parent);
  C->SetBounds(L, Top, W, H);
  return C;
}

// The RGB of a pixel of a 32-bit bitmap.
inline uint32_t Rgb(TBitmap* B, int X, int Y) { return GetPixel32(B, X, Y) & 0xFFFFFF; }

// A test on a fresh platform with a form of its own, freed after the test, and windowed owners on it.
struct OwnerFormTest : testing::Test {
  void SetUp() override {
    ResetPlatform();
    form = NewTestForm();
  }
  void TearDown() override {
    form->Free();
    ResetPlatform();
  }
  // An owner of Section placed on Parent (the form when nil) and made ready; Cache false drops its cache.
  TTestSkinOwner* Owner(const std::string& Section, int L = 10, int T = 10, int W = 40, int H = 20,
                        TWinControl* Parent = nullptr, uint8_t Type = ctButton, bool Cache = true) {
    auto* O = Create<TTestSkinOwner>(form);
    O->SkinData->CtrlType = Type;
    if (!Cache) {
      delete O->SkinData->CacheBmp;
      O->SkinData->CacheBmp = nullptr;
    }
    Place(Parent != nullptr ? Parent : form, L, T, W, H, O);
    O->SkinData->SetSkinSection(Section);
    O->SkinData->FinishLoading(false);
    O->HandleNeeded();
    return O;
  }
  TForm* form = nullptr;
};

}  // namespace skin_owners
