#include "skin/core/vkGlow.h"

#include <algorithm>
#include <memory>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkThdTimer.h"
#include "skin/core/vkntTypes.h"
#include "skin/graphics/ToolkitStartup.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSkinImage.h"

std::vector<TvkGlowEffect*> GlowEffects;

namespace {

// Set while a glow window is freed: freeing can dispatch messages that would clear the glows again.
bool g_FreeingGlowWindow = false;
// The id of the table's first slot. Clearing the table moves it past every id handed out, so an id kept by a
// control after a clear (a title button's) names no later glow.
int g_FirstId = 0;

bool AppTerminating() { return Application != nullptr && Application->Terminated(); }

bool ManagerDestroying(TsSkinManager* M) { return M != nullptr && M->ComponentState().Contains(csDestroying); }

void RestoreWindowMethod(TvkGlowEffect* E) {
  if (E->GlowForm != nullptr && E->SavedWndMethod) E->GlowForm->WindowProc = E->SavedWndMethod;
}

// Freed at once when nothing will dispatch to it again; else released after the current messages.
void DisposeGlowWindow(TvkGlowForm*& Form, TsSkinManager* M, bool AtOnce) {
  if (Form == nullptr) return;
  g_FreeingGlowWindow = true;
  try {
    if (AtOnce || ManagerDestroying(M) || AppTerminating()) {
      Form->Free();
    } else {
      if (Form->HandleAllocated()) SetWindowPos(Form->Handle(), nullptr, 0, 0, 0, 0, kGlowHideFlags);
      Form->Release();
    }
  } catch (...) {
    g_FreeingGlowWindow = false;
    throw;
  }
  g_FreeingGlowWindow = false;
  Form = nullptr;
}

// The engine's common message handling shows and hides glows through these entries.
void BindGlowGlue() {
  AnimationGlue.HideGlowEffect = HideGlowEffect;
  AnimationGlue.ShowControlGlow = ShowControlGlow;
}

const TsMaskData* MaskOf(TsSkinManager* M, int Index) {
  return M != nullptr && M->MaskIndexInRange(Index) ? &M->ma()[Index] : nullptr;
}

void BuildGlowBitmap(TvkGlowEffect* E, int W, int H) {
  FreeAndNil(E->Bmp);
  E->Bmp = NewBitmap32(W, H);
  FillRect32(E->Bmp, TRect{0, 0, W, H}, 0, 0);  // fully transparent
  if (const TsMaskData* Mask = MaskOf(E->Manager, E->MaskIndex))
    DrawSkinRectTransparent32(E->Bmp, TRect{0, 0, W, H}, TvkBgCacheRef(), 0, *Mask);
  // the halo takes the owner's tone, hue and saturation like the owner's own face
  if (E->Owner != nullptr) ApplyControlColorShift(E->Bmp, E->Owner);
}

// Takes E over: into the table once its window shows; freed, with its window, when the margin leaves nothing to show
// (-1) or showing it fails (the exception goes on).
int AddEffect(TvkGlowEffect* E, const RECT& R, HWND Wnd, uint8_t Alpha, int Margin) {
  std::unique_ptr<TvkGlowEffect> Effect(E);
  E->Margin = Margin;
  const SIZE Size = GlowWindowSize(R.right - R.left, R.bottom - R.top, E->MaskIndex, E->Manager, Margin);
  if (Size.cx <= 0 || Size.cy <= 0) return -1;
  ShowGlowWindow(E, R, R, Wnd, Alpha);
  GlowEffects.push_back(E);
  Effect.release();
  return g_FirstId + static_cast<int>(GlowEffects.size()) - 1;
}

bool CanShowGlow(TsCommonData* SkinData) {
  return HasLayeredWindowApi() && SkinData != nullptr && GetCapture() == nullptr;
}

// R limited to the visible part of Wnd's window (both in screen coordinates); false when nothing of it shows,
// for which no glow is made.
bool VisiblePart(HWND Wnd, RECT& R) {
  RECT Win{};
  GetWindowRect(Wnd, &Win);
  HDC DC = GetWindowDC(Wnd);
  RECT Clip{};
  const int Kind = DC != nullptr ? GetClipBox(DC, &Clip) : ERROR;
  if (DC != nullptr) ReleaseDC(Wnd, DC);
  if (Kind == ERROR || Kind == NULLREGION) return false;
  OffsetRect(&Clip, Win.left, Win.top);
  return IntersectRect(&R, &R, &Clip) != FALSE;
}

}  // namespace

void TvkGlowEffect::GlowWindowProc(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  if (SavedWndMethod) SavedWndMethod(Message);
}

TvkGlowEffect::~TvkGlowEffect() {
  Destroying = true;
  RestoreWindowMethod(this);
  DisposeGlowWindow(GlowForm, Manager, false);
  FreeAndNil(Bmp);
}

TvkGlowEffect* GlowEffectOf(int GlowId) {
  const int Slot = GlowId - g_FirstId;
  return GlowId >= 0 && Slot >= 0 && Slot < static_cast<int>(GlowEffects.size()) ? GlowEffects[Slot] : nullptr;
}

SIZE GlowWindowSize(int W, int H, int MaskIndex, TsSkinManager* Manager, int Margin) {
  const TsMaskData* M = MaskOf(Manager, MaskIndex);
  const int WL = M ? M->WL : 0, WT = M ? M->WT : 0, WR = M ? M->WR : 0, WB = M ? M->WB : 0;
  return SIZE{W + WL + WR - 2 * Margin, H + WT + WB - 2 * Margin};
}

int ShowGlowEffect(const RECT& R, const std::string& SectionName, const std::string& MaskPrefix, TsCommonData* SkinData,
                   HWND Wnd, uint8_t Alpha, int Margin) {
  if (!CanShowGlow(SkinData)) return -1;
  BindGlowGlue();
  auto* E = new TvkGlowEffect();
  E->Owner = SkinData;
  E->Manager = SkinData->SkinManager();
  // The mask of the section named, which need not be the data's own.
  E->MaskIndex = E->Manager != nullptr ? E->Manager->FindMaskOfSection(E->Manager->FindSectionIndex(SectionName),
                                                                        SectionName, MaskPrefix + "0")
                                       : -1;
  if (E->MaskIndex < 0) {
    delete E;
    return -1;
  }
  return AddEffect(E, R, Wnd, Alpha, Margin);
}

int ShowGlowEffectByMask(const RECT& R, const std::vector<int>& MaskIndexes, TsCommonData* SkinData, HWND Wnd,
                         uint8_t Alpha, int Margin) {
  if (!CanShowGlow(SkinData) || MaskIndexes.empty()) return -1;
  BindGlowGlue();
  auto* E = new TvkGlowEffect();
  E->Owner = SkinData;
  E->Manager = SkinData->SkinManager();
  E->MaskIndex = MaskIndexes[0];
  if (MaskOf(E->Manager, E->MaskIndex) == nullptr) {
    delete E;
    return -1;
  }
  return AddEffect(E, R, Wnd, Alpha, Margin);
}

void ShowGlowWindow(TvkGlowEffect* E, const RECT& R, const RECT&, HWND Wnd, uint8_t Alpha) {
  if (E->GlowForm == nullptr) {
    E->GlowForm = Create<TvkGlowForm>(nullptr);
    E->SavedWndMethod = E->GlowForm->WindowProc;
    E->GlowForm->WindowProc = TWndMethod::Bind<&TvkGlowEffect::GlowWindowProc>(E);
  }
  const TsMaskData* Mask = MaskOf(E->Manager, E->MaskIndex);
  const SIZE Size = GlowWindowSize(R.right - R.left, R.bottom - R.top, E->MaskIndex, E->Manager, E->Margin);
  BuildGlowBitmap(E, Size.cx, Size.cy);
  const bool JustAboveWnd =
      Wnd != nullptr && !IsTopmostWindow(Wnd) && E->Owner != nullptr && E->Owner->OwnerObject != nullptr;
  const HWND After = JustAboveWnd ? WindowJustAbove(Wnd) : HWND_TOPMOST;
  const int Left = R.left - (Mask ? Mask->WL : 0) + E->Margin;
  const int Top = R.top - (Mask ? Mask->WT : 0) + E->Margin;
  HWND Glow = E->GlowForm->Handle();
  SetWindowLongA(Glow, GWL_EXSTYLE, GetWindowLongA(Glow, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_TRANSPARENT);
  E->GlowForm->SetBounds(Left, Top, Size.cx, Size.cy);
  HDC Screen = GetDC(nullptr);
  POINT Pos{Left, Top}, Src{0, 0};
  SIZE WinSize = Size;
  BLENDFUNCTION Blend{AC_SRC_OVER, 0, Alpha, AC_SRC_ALPHA};
  Platform().UpdateLayeredWindow(Glow, Screen, &Pos, &WinSize, E->Bmp->Canvas()->Handle(), &Src, 0, &Blend,
                                 ULW_ALPHA);
  ReleaseDC(nullptr, Screen);
  E->Alpha = Alpha;
  SetWindowPos(Glow, After, Left, Top, 0, 0, 0x659);
  // the window read above Wnd may be another program's, and a minimise of it would take the glow to the bottom
  if (JustAboveWnd && (GetWindowLongA(Wnd, GWL_STYLE) & WS_CHILD) == 0) KeepJustAbove(Glow, Wnd);
}

void SetGlowEffectOpacity(int GlowId, uint8_t Alpha) {
  TvkGlowEffect* E = GlowEffectOf(GlowId);
  if (E == nullptr || E->GlowForm == nullptr || E->Bmp == nullptr || !E->GlowForm->HandleAllocated()) return;
  RECT Win{};
  GetWindowRect(E->GlowForm->Handle(), &Win);
  UpdateLayeredFromBitmap(E->GlowForm->Handle(), E->Bmp, Alpha, POINT{Win.left, Win.top});
  E->Alpha = Alpha;
}

void HideGlowEffect(int& GlowId, bool Animated) {
  TvkGlowEffect* E = GlowEffectOf(GlowId);
  if (E == nullptr) return;
  TsCommonData* Owner = E->Owner;
  TsSkinManager* M = E->Manager;
  if (Animated && Owner != nullptr && M != nullptr && M->Effects()->AllowAnimation() && !AppTerminating() &&
      (Owner->AnimTimer == nullptr || Owner->AnimTimer->GlowOnly != 0)) {
    const int StartStep = EnsureAnimTimer(Owner->AnimTimer, Owner->OwnerObject, fmEnter);
    TvkThreadedTimer* T = Owner->AnimTimer;
    if (T->Mode == fmLeave) return;
    // The fade-out starts where the glow is, not from nothing.
    T->Level = E->Alpha;
    T->GlowOnly = 1;
    T->BeginFade(Owner, StartStep, false, fmLeave, GlowFadeStep);
    // every step of the fade-out, each a twelfth of that opacity, so the glow reaches 0 and never vanishes
    // from part of it
    T->Step = 0;
    T->StepSize = T->Level / T->StepCount;
    T->DoStep();
    return;
  }
  RestoreWindowMethod(E);
  E->SavedWndMethod = nullptr;
  DisposeGlowWindow(E->GlowForm, M, false);
  GlowEffects[GlowId - g_FirstId] = nullptr;
  delete E;
  GlowId = -1;
  if (Owner != nullptr && Owner->AnimTimer != nullptr) StopControlAnimation(Owner);
}

void HideGlowsOf(TsCommonData* Owner) {
  HideGlowEffect(Owner->GlowId, false);
  // by index: hiding may dispatch messages that clear the table
  for (size_t Slot = 0; Slot < GlowEffects.size(); ++Slot)
    if (GlowEffects[Slot] != nullptr && GlowEffects[Slot]->Owner == Owner) {
      int Id = g_FirstId + static_cast<int>(Slot);
      HideGlowEffect(Id, false);
    }
}

void ClearAllGlowEffects(bool FreeWindows) {
  if (g_FreeingGlowWindow) return;
  // Taken first: freeing windows may come back here.
  std::vector<TvkGlowEffect*> All;
  All.swap(GlowEffects);
  g_FirstId += static_cast<int>(All.size());
  for (TvkGlowEffect* E : All) {
    if (E == nullptr) continue;
    if (FreeWindows && E->GlowForm != nullptr) {
      RestoreWindowMethod(E);
      E->SavedWndMethod = nullptr;
      DisposeGlowWindow(E->GlowForm, E->Manager, true);
    }
    if (E->Owner != nullptr) E->Owner->GlowId = -1;
    delete E;
  }
}

void ShowControlGlow(TsCommonData* D, bool SkipIfShown, HWND Wnd, int SkinIndex, bool Animated, uint8_t Alpha) {
  if (D == nullptr) return;
  TsSkinManager* M = D->SkinManager();
  if (SkinIndex < 0) SkinIndex = D->SkinIndex;
  if (M == nullptr || !M->Effects()->AllowGlowing() || !M->SectionIndexInRange(SkinIndex) ||
      M->Options()->NoMouseHover() || GetCapture() != nullptr || M->gd()[SkinIndex].Glow <= 0)
    return;
  const TsGeneralData& Section = M->gd()[SkinIndex];
  TControl* Control = D->OwnerControl;
  if (Control == nullptr) {
    if (!D->Hot || SkipIfShown) {
      HideGlowEffect(D->GlowId, false);
      return;
    }
    if (D->GlowId < 0 && Wnd != nullptr) {
      RECT R{};
      GetWindowRect(Wnd, &R);
      if (!VisiblePart(Wnd, R)) return;
      D->GlowId = ShowGlowEffect(R, Section.ClassName, "GLOW", D, Wnd, Alpha, Section.GlowMargin);
    }
  } else {
    if (!D->Hot) {
      HideGlowEffect(D->GlowId, false);
      return;
    }
    TCustomForm* Form = GetParentForm(Control);
    if (Control->ComponentState().Contains(csDestroying) || !Control->Visible() || (SkipIfShown && D->GlowId >= 0) ||
        Form == nullptr || !Form->HandleAllocated())
      return;
    HWND ZWnd = Form->Handle();
    if (Form->FormStyle() == fsMDIChild && Application != nullptr && Application->MainForm() != nullptr)
      ZWnd = Application->MainForm()->Handle();
    if (!M->Effects()->AllowAnimation()) Animated = false;
    if (D->GlowId < 0) {
      auto* Win = dynamic_cast<TWinControl*>(Control);
      HWND Shown = Win != nullptr ? Win->Handle() : Control->Parent()->Handle();
      RECT R{};
      if (Win != nullptr) {
        GetWindowRect(Shown, &R);
      } else {
        POINT P = Control->ClientToScreen(POINT{0, 0});
        R = RECT{P.x, P.y, P.x + Control->Width(), P.y + Control->Height()};
      }
      if (!VisiblePart(Shown, R)) return;
      D->GlowId = ShowGlowEffect(R, Section.ClassName, "GLOW", D, ZWnd, Alpha, Section.GlowMargin);
    }
  }
  if (Animated && D->GlowId >= 0) {
    D->CacheDirty = false;
    AnimateStateChange(D, fmEnter, GlowFadeStep, false, false, true);
    // A fade of the state already running toward hot goes on, and carries the glow.
    if (D->AnimTimer != nullptr && D->AnimTimer->StepProc == GlowFadeStep) D->AnimTimer->GlowOnly = 1;
  }
}

void vkGlowInitialize() { BindGlowGlue(); }

void vkGlowFinalize() { ClearAllGlowEffects(false); }
