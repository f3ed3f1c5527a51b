// The skin state object: creation and link to the owner's window, section and index, updates, colours.
#include "skin/core/sCommonData.h"

#include <algorithm>

#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkAdapterServices.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkWindowProps.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkColorMath.h"

TvkAnimationGlue AnimationGlue;
bool (*LibraryHintManagerActive)() = nullptr;

// Codes as ranges, in the order the sets are documented.
const TvkTypeSet NoHotStateTypes{{19, 19}, {51, 74}, {110, 110}, {141, 161}};
const TvkTypeSet EditHoverTypes{{2, 18}, {76, 85}, {132, 140}, {231, 231}};
const TvkTypeSet NoHoverTypes{{51, 51}, {54, 54}, {56, 59}, {74, 74}, {110, 110}, {141, 141},
                              {143, 143}, {151, 151}, {161, 161}, {226, 226}};
const TvkTypeSet SkinColorTypes{{2, 18}, {76, 84}, {132, 140}, {231, 231}};
const TvkTypeSet FrameChangeTypes{{7, 8}, {10, 10}, {14, 14}, {78, 78}, {83, 83}, {85, 85}, {231, 231}};
const TvkTypeSet OwnGlowTypes{{92, 94}};
const TvkTypeSet SectionByOwnerTypes{{2, 13},  {32, 34},   {51, 51},   {53, 54},   {57, 59},   {74, 76},
                                     {78, 78}, {81, 85},   {92, 94},   {132, 142}, {151, 151}, {161, 161},
                                     {165, 165}, {226, 227}};

namespace {

bool Destroying(const TObject* O) {
  auto* C = As<TComponent>(const_cast<TObject*>(O));
  return C != nullptr && C->ComponentState().Contains(csDestroying);
}
bool LoadingOrReading(const TObject* O) {
  auto* C = As<TComponent>(const_cast<TObject*>(O));
  return C != nullptr && (C->ComponentState().Contains(csLoading) || C->ComponentState().Contains(csReading));
}

// Default sections named in the table; any other code not taken by the owner falls back to the class name.
const char* NamedDefaultSection(uint8_t Type) {
  switch (Type) {
    case 17: return "COMBOBOX";
    case 19: return "BAR";
    case 20: return "BARTITLE";
    case 50:
    case 152: return "CHECKBOX";
    case 56: return "DRAGBAR";
    case 98: return "TOOLBUTTON";
    case 228: return "EDIT";
    default: return nullptr;
  }
}

// The section's states: the ones it declares, at most 3, at least 1.
int StateCountOf(const TsGeneralData& G) { return std::clamp(G.States, 1, 3); }

// Saturation shift of a colour value by the data's percentage (scaled to -255..255).
uint32_t ShiftColor(uint32_t C, const TsCommonData& D) {
  if (D.HUEOffset() != 0) C = RotateColorHue(D.HUEOffset(), C);
  if (D.Saturation() != 0) {
    const int Amount = std::clamp(D.Saturation() * 255 / 100, -255, 255);
    // the grey weights are those of red, green and blue, so the value is adjusted in pixel order
    C = SwapRedBlue(AdjustColorSaturation(SwapRedBlue(C), Amount));
  }
  return C;
}

// The owner's own answer to VKCMD_QUERY_OWNER_SECTION; asked also before its window exists (a control read
// from a form finishes loading before it has one).
LRESULT AskOwnerSection(TControl* Owner) {
  if (Destroying(Owner)) return 0;
  auto* Win = As<TWinControl>(Owner);
  if (Win != nullptr && Win->HandleAllocated()) return SendControlCommand(Owner, VKCMD_QUERY_OWNER_SECTION, 0);
  return Owner->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_OWNER_SECTION), 0);
}

}  // namespace

// ---- published properties ----

PUBLISHED(TvkOuterEffects) {
  p.Enum("Visibility", &TvkOuterEffects::Visibility, &TvkOuterEffects::SetVisibility, {"ovNone", "ovAlways"})
      .Default(0);
}
PUBLISHED(TvkScrollData) {
  p.Int("ScrollWidth", &TvkScrollData::ScrollWidth, &TvkScrollData::SetScrollWidth).Default(-1);
  p.Int("ButtonsSize", &TvkScrollData::ButtonsSize, &TvkScrollData::SetButtonsSize).Default(-1);
}
PUBLISHED(TsCommonData) {
  p.Bool("CustomColor", &TsCommonData::CustomColor, &TsCommonData::SetCustomColor).Default(0);
  p.Bool("CustomFont", &TsCommonData::CustomFont, &TsCommonData::SetCustomFont).Default(0);
  p.Str("SkinSection", &TsCommonData::SkinSection, &TsCommonData::SetSkinSection);
  p.Object("OuterEffects", &TsCommonData::OuterEffects);
  p.Object("SkinManager", &TsCommonData::OwnSkinManager, &TsCommonData::SetSkinManager);
}
PUBLISHED(TsCtrlSkinData) {
  p.Color("ColorTone", &TsCommonData::ColorTone, &TsCtrlSkinData::SetColorTone).Default(clNone);
  p.Int("HUEOffset", &TsCommonData::HUEOffset, &TsCtrlSkinData::SetHUEOffset).Default(0);
  p.Int("Saturation", &TsCommonData::Saturation, &TsCtrlSkinData::SetSaturation).Default(0);
}
PUBLISHED(TsScrollWndData) {
  p.Object("HorzScrollData", &TsScrollWndData::HorzScrollData);
  p.Object("VertScrollData", &TsScrollWndData::VertScrollData);
}

// ---- outer effects and scroll data ----

void TvkOuterEffects::SetVisibility(TvkOuterVisibility Value) {
  if (FVisibility == Value) return;
  FVisibility = Value;
  if (FOwner == nullptr || FOwner->Loading) return;
  if (TControl* C = FOwner->OwnerControl; C != nullptr && C->Parent() != nullptr && C->Parent()->HandleAllocated())
    SendSkinCommand(C->Parent()->Handle(), VKCMD_REPAINT, 0);
  FOwner->RepaintOwner(false);
}

void TvkScrollData::SetScrollWidth(int Value) {
  if (FScrollWidth == Value) return;
  FScrollWidth = Value;
  if (FOwner == nullptr) return;
  auto* Win = As<TWinControl>(FOwner->OwnerControl);
  if (Win != nullptr && Win->HandleAllocated() && !LoadingOrReading(Win))
    SetWindowPos(Win->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_NOOWNERZORDER |
                     SWP_NOSENDCHANGING);
}

void TvkScrollData::SetButtonsSize(int Value) {
  if (FButtonsSize == Value) return;
  FButtonsSize = Value;
  if (FOwner == nullptr) return;
  if (const HWND Wnd = FOwner->OwnerWindow()) SendSkinMessage(Wnd, WM_NCPAINT, 0, 0);
}

// ---- creation and the window link ----

TsCommonData::TsCommonData(TObject* AOwner, bool CreateCacheBmp) {
  OwnerControl = As<TControl>(AOwner);
  if (auto* Win = As<TWinControl>(AOwner)) SavedWindowProc = Win->WindowProc;
  OwnerObject = AOwner;
  FOuterEffects = new TvkOuterEffects(this);
  if (CreateCacheBmp) {
    CacheBmp = NewBitmap32(0, 0);
    CacheBmp->Canvas()->OnChange = nullptr;
  }
  AttachToHandle();
}

TsCommonData::~TsCommonData() {
  DetachFromHandle();
  SkinDataProps().Forget(this);
  SkinIndex = -1;
  FSkinManager = nullptr;
  DetachOwner();
  if (AnimTimer != nullptr && AnimationGlue.FreeTimer) AnimationGlue.FreeTimer(AnimTimer);
  AnimTimer = nullptr;
  delete CacheBmp;
  CacheBmp = nullptr;
  if (GlowId >= 0 && AnimationGlue.HideGlowEffect) AnimationGlue.HideGlowEffect(GlowId, false);
  delete FOuterEffects;
  delete OuterBackground;
}

void TsCommonData::AttachToHandle() {
  const HWND Wnd = OwnerWindow();
  if (Wnd == nullptr) return;
  if (SavedWindowProc.IsNull())
    if (auto* Win = As<TWinControl>(OwnerControl)) SavedWindowProc = Win->WindowProc;
  SkinDataProps().Set(Wnd, this);
  NoteSkinnedWindowClass(Wnd);  // its class may take the skin's brush
}

void TsCommonData::DetachFromHandle() {
  // also while the application terminates: a window that still exists must not point at freed data; a
  // control being destroyed may still hold its window
  HWND Wnd = OwnerHandle;
  if (auto* Win = As<TWinControl>(OwnerControl); Win != nullptr && Win->HandleAllocated()) Wnd = Win->Handle();
  SkinDataProps().Remove(Wnd, this);
}

void TsCommonData::DetachOwner() {
  OwnerControl = nullptr;
  OwnerObject = nullptr;
  OwnerHandle = nullptr;
}

HWND TsCommonData::OwnerWindow() const {
  if (OwnerControl == nullptr || Destroying(OwnerControl)) return OwnerHandle;
  if (auto* Win = As<TWinControl>(OwnerControl)) return Win->HandleAllocated() ? Win->Handle() : nullptr;
  return nullptr;
}

TsSkinProvider* TsCommonData::OwnerProvider() const {
  if (OwnerObject == nullptr || !FormServices.IsSkinProvider || !FormServices.IsSkinProvider(OwnerObject))
    return nullptr;
  return reinterpret_cast<TsSkinProvider*>(OwnerObject);
}

TControl* TsCommonData::OwnerOrProviderForm() const {
  if (OwnerControl != nullptr) return OwnerControl;
  if (TsSkinProvider* P = OwnerProvider(); P != nullptr && FormServices.ProviderForm)
    return reinterpret_cast<TControl*>(FormServices.ProviderForm(P));
  return nullptr;
}

const TsGeneralData* TsCommonData::Section() const {
  TsSkinManager* M = SkinManager();
  return M != nullptr && M->SectionIndexInRange(SkinIndex) ? &M->gd()[SkinIndex] : nullptr;
}

LRESULT TsCommonData::SendOwnerCommand(WORD Cmd, WORD Low, LPARAM LParam) {
  const WPARAM WParam = SkinCommandWParam(Cmd, Low);
  if (OwnerControl != nullptr) {
    if (Destroying(OwnerControl)) return 0;
    if (auto* Win = As<TWinControl>(OwnerControl))
      return Win->HandleAllocated() ? SendSkinMessage(Win->Handle(), SM_VKCMD, WParam, LParam) : 0;
    return OwnerControl->Perform(SM_VKCMD, WParam, LParam);
  }
  const HWND Wnd = OwnerWindow();
  return Wnd != nullptr ? SendSkinMessage(Wnd, SM_VKCMD, WParam, LParam) : 0;
}

// ---- manager and section ----

TsSkinManager* TsCommonData::SkinManager() const {
  return FSkinManager != nullptr ? FSkinManager : TsSkinManager::DefaultManager();
}

void TsCommonData::SetSkinManager(TsSkinManager* Manager) {
  FSkinManager = Manager == TsSkinManager::DefaultManager() ? nullptr : Manager;
  if (LoadingOrReading(OwnerObject)) return;
  TsSkinManager* M = SkinManager();
  if (M != nullptr && !M->gd().empty())
    RefreshSectionIndex(true);
  else
    SkinIndex = -1;
  if (OwnerProvider() != nullptr) return;
  if (OwnerControl != nullptr && OwnerControl->Parent() != nullptr && !Destroying(OwnerControl)) {
    if (SkinIndex >= 0)
      SendOwnerCommand(VKCMD_REPAINT_AFTER_CHANGE, 0, reinterpret_cast<LPARAM>(M));
    else
      SendOwnerCommand(VKCMD_SKIN_DROPPED, 0, reinterpret_cast<LPARAM>(M));
  }
}

void TsCommonData::SetSkinSection(const std::string& Name) {
  const std::string Upper = UpperCase(Name);
  if (Upper == FSkinSection) return;
  if (GlowId >= 0 && AnimationGlue.HideGlowEffect) AnimationGlue.HideGlowEffect(GlowId, false);
  FSkinSection = Upper;
  TsSkinManager* M = SkinManager();
  if (M != nullptr && !M->gd().empty())
    RefreshSectionIndex(true);
  else
    SkinIndex = -1;
  if (OwnerProvider() != nullptr) {
    CacheDirty = true;
    return;
  }
  if (OwnerControl == nullptr || OwnerControl->Parent() == nullptr || LoadingOrReading(OwnerControl) ||
      Destroying(OwnerControl) || OwnerControl->ControlState().Contains(csReadingState))
    return;
  if (auto* Win = As<TWinControl>(OwnerControl)) {
    if (CacheBmp != nullptr) CacheBmp->SetSize(0, 0);
    TMessage Mark{SM_VKCMD, SkinCommandWParam(VKCMD_MARK_FOR_UPDATE, 1), 0, 0};
    BroadcastToChildControls(Win, Mark);
  }
  if (!Updating && !Loading) {
    if (SkinIndex >= 0)
      SendOwnerCommand(VKCMD_REPAINT_AFTER_CHANGE, 1, reinterpret_cast<LPARAM>(M));
    else
      SendOwnerCommand(VKCMD_SKIN_DROPPED, 0, reinterpret_cast<LPARAM>(M));
  } else if (!Loading) {
    ApplySectionColors(false);
  }
}

void TsCommonData::RefreshSectionIndex(bool Full) {
  CacheDirty = true;
  TsSkinManager* M = SkinManager();
  if (Full) {
    if (M == nullptr || !M->Active())
      SkinIndex = -1;
    else if (!FSkinSection.empty())
      SkinIndex = M->FindSectionIndex(FSkinSection);
    else if (OwnerControl != nullptr)
      SkinIndex = static_cast<int>(AskOwnerSection(OwnerControl)) - 1;
    else
      SkinIndex = -1;
    if (M == nullptr || !M->SectionIndexInRange(SkinIndex)) SkinIndex = -1;
  }
  UpdateDrawFlags();
  const TsGeneralData* G = Section();
  BorderIndex = G != nullptr ? G->BorderIndex : -1;
}

void TsCommonData::FindFirstSection(const char* const* Names, int Last) {
  TsSkinManager* M = SkinManager();
  SkinIndex = -1;
  if (M == nullptr) return;
  for (int i = 0; i <= Last; ++i) {
    const int Index = M->FindSectionIndex(Names[i]);
    if (Index >= 0) {
      SkinIndex = Index;
      break;
    }
  }
  RefreshSectionIndex(false);
}

void TsCommonData::SetDefaultSection() {
  if (FSkinSection.empty() && !SectionByOwnerTypes.Contains(CtrlType)) {
    if (const char* Named = NamedDefaultSection(CtrlType))
      FSkinSection = Named;
    else if (OwnerObject != nullptr)
      FSkinSection = UpperCase(OwnerObject->ClassName());
  }
  // a type whose owner names its section (command VKCMD_QUERY_OWNER_SECTION) is resolved here too, so that it
  // is skinned also when it comes after the skin was applied
  if (!FSkinSection.empty() || SectionByOwnerTypes.Contains(CtrlType)) RefreshSectionIndex(true);
}

void TsCommonData::FinishLoading(bool ApplyColors) {
  Loading = false;
  SetDefaultSection();
  if (IsSkinned() && OwnerControl != nullptr && OwnerControl->Parent() != nullptr &&
      !LoadingOrReading(OwnerControl) && As<TWinControl>(OwnerControl) != nullptr)
    AskFormToAdaptControl(OwnerControl);
  if (ApplyColors) ApplySkinColors(false);
  AttachToHandle();
}

bool TsCommonData::IsSkinned(bool CheckActive) const {
  TsSkinManager* M = SkinManager();
  if (M == nullptr || Destroying(M) || !M->SectionIndexInRange(SkinIndex) || Destroying(OwnerObject)) return false;
  return !CheckActive || M->SkinData().Active;
}

void TsCommonData::UpdateDrawFlags() {
  DrawFlags = 0;
  const TsGeneralData* G = Section();
  if (G == nullptr) return;
  const TsGenState& S = G->Props[0];
  TsSkinManager* M = SkinManager();
  if (S.ImagePercent >= 1 && S.TextureIndex >= 0 && M->MaskIndexInRange(S.TextureIndex)) {
    const int m = M->ma()[S.TextureIndex].DrawMode;
    auto in = [m](std::initializer_list<int> L) { return std::find(L.begin(), L.end(), m) != L.end(); };
    if (in({1, 4, 5, 8, 9, 11, 12})) DrawFlags |= 0x04;
    if (m <= 1 || in({3, 5, 10, 12})) DrawFlags |= 0x10;
    if (m <= 1 || in({7, 9, 10, 12})) DrawFlags |= 0x40;
    if (m <= 2 || in({4, 10, 11})) DrawFlags |= 0x20;
    if (m <= 1 || in({6, 8, 10, 11})) DrawFlags |= 0x80;
  }
  if (S.GradientPercent >= 1 && !S.GradientArray.empty()) {
    static const uint8_t kByKind[4] = {0x02, 0x01, 0x03, 0x00};
    DrawFlags |= kByKind[S.GradientArray[0].Mode & kGradKindMask];
  }
}

// A border mask that is not drawn in the normal state (draw-mode value 2) leaves its owner without a border.
static bool MaskIsBorderless(const TsMaskData& Mask) { return (Mask.DrawMode & 2) != 0; }

int TsCommonData::MaxBorderWidth() const {
  TsSkinManager* M = SkinManager();
  if (M == nullptr || !M->MaskIndexInRange(BorderIndex)) return 0;
  const TsMaskData& Mask = M->ma()[BorderIndex];
  if (MaskIsBorderless(Mask)) return 0;
  return std::max({Mask.WL, Mask.WT, Mask.WR, Mask.WB});
}

// ---- updates ----

bool TsCommonData::IsUpdating() {
  TsSkinManager* M = SkinManager();
  if (M == nullptr || M->ComponentState().Contains(csDesigning)) return false;
  if (Updating) return true;
  if (OwnerControl != nullptr) {
    if (Destroying(OwnerControl) || OwnerControl->Parent() == nullptr) return false;
    return SendControlCommand(OwnerControl->Parent(), VKCMD_QUERY_UPDATE_STATE, 0) == 1;
  }
  if (OwnerProvider() != nullptr) {
    TControl* Form = OwnerOrProviderForm();
    return Form != nullptr && Form->Parent() != nullptr &&
           SendControlCommand(Form->Parent(), VKCMD_QUERY_UPDATE_STATE, 0) == 1;
  }
  return false;
}

bool TsCommonData::RecheckUpdating(bool Reset) {
  if (Reset) Updating = false;
  if (IsUpdating()) Updating = true;
  return Updating;
}

void TsCommonData::LockUpdates() {
  ++UpdateCount;
  Updating = true;
  StateFlags |= sfLocked;
  if (TControl* C = OwnerOrProviderForm()) SendControlCommand(C, VKCMD_UPDATES_LOCKED, 0);
}

void TsCommonData::UnlockUpdates(bool Repaint) {
  // more unlocks than locks must not leave the count negative (the next lock would not hold) nor clear
  // Updating while an outer lock remains
  UpdateCount = std::max(0, UpdateCount - 1);
  if (UpdateCount >= 1) return;
  Updating = false;
  StateFlags &= ~sfLocked;
  if (TControl* C = OwnerOrProviderForm()) SendControlCommand(C, VKCMD_UPDATES_UNLOCKED, 0);
  if (Repaint) RepaintOwner(true);
}

void TsCommonData::RepaintOwner(bool UpdateNow) {
  if (Loading) return;
  const UINT Flags = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | (UpdateNow ? RDW_UPDATENOW : 0);
  if (OwnerControl != nullptr) {
    if (LoadingOrReading(OwnerControl) || Destroying(OwnerControl)) return;
    CacheDirty = true;
    if (!IsControlReadyToPaint(OwnerControl)) return;
    if (auto* Win = As<TWinControl>(OwnerControl)) {
      if (Win->HandleAllocated()) RedrawWindow(Win->Handle(), nullptr, nullptr, Flags);
    } else if (CtrlType == 92) {
      OwnerControl->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_REPAINT), 0);
    } else {
      OwnerControl->Invalidate();
    }
    return;
  }
  if (OwnerProvider() != nullptr) {
    CacheDirty = true;
    if (auto* Form = As<TWinControl>(OwnerOrProviderForm()); Form != nullptr && Form->HandleAllocated())
      RedrawWindow(Form->Handle(), nullptr, nullptr, Flags);
  }
}

// ---- state and colours ----

int TsCommonData::CurrentState() const {
  if (OwnerControl == nullptr || LoadingOrReading(OwnerControl) || Destroying(OwnerControl) ||
      !OwnerControl->Enabled())
    return 0;
  if (Focused) return 1;
  if (auto* Win = As<TWinControl>(OwnerControl))
    if (Win->HandleAllocated() && GetFocus() == Win->Handle() && CtrlType != ctPanel) return 1;
  TsSkinManager* M = SkinManager();
  if (!Hot || (M != nullptr && M->Options()->NoMouseHover()) || NoHotStateTypes.Contains(CtrlType)) return 0;
  return EditHoverTypes.Contains(CtrlType) ? 0 : 1;
}

void TsCommonData::ApplySectionColors(bool NoLock) {
  auto* Win = As<TWinControl>(OwnerControl);
  const bool Wrap = !NoLock && Win != nullptr && Win->HandleAllocated() && Win->Visible();
  if (Wrap) SendMessageA(Win->Handle(), WM_SETREDRAW, 0, 0);
  if (const TsGeneralData* G = Section(); G != nullptr && OwnerControl != nullptr) {
    const TsGenState& S = G->Props[std::min(CurrentState(), StateCountOf(*G) - 1)];
    if (!FCustomColor) OwnerControl->SetColor(static_cast<TColor>(S.Color));
    if (!FCustomFont && OwnerControl->Font()->Color() != static_cast<TColor>(S.FontColor)) {
      StateFlags |= sfSkinSetsFont;
      OwnerControl->Font()->SetColor(static_cast<TColor>(S.FontColor));
      StateFlags &= ~sfSkinSetsFont;
    }
  }
  if (Wrap) SendMessageA(Win->Handle(), WM_SETREDRAW, 1, 0);
}

void TsCommonData::ApplySkinColors(bool Repaint) {
  TControl* Owner = OwnerOrProviderForm();
  auto* Win = As<TWinControl>(Owner);
  const TsGeneralData* G = IsSkinned() ? Section() : nullptr;
  if (G != nullptr) {
    if (SkinColorTypes.Contains(CtrlType) && Owner != nullptr &&
        !(G->Props[0].Transparency == 100 && G->Props[1].Transparency == 100)) {
      if (!FCustomColor) Owner->SetColor(static_cast<TColor>(ShiftColor(G->Props[0].Color, *this)));
      if (!FCustomFont && CtrlType != ctListView) {
        StateFlags |= sfSkinSetsFont;
        Owner->Font()->SetColor(static_cast<TColor>(ShiftColor(G->Props[0].FontColor, *this)));
        StateFlags &= ~sfSkinSetsFont;
      }
    }
    if (Win != nullptr && Win->HandleAllocated()) {
      NoteSkinnedWindowClass(Win->Handle());  // the brush stays while the class holds it
      SetClassLongPtrA(Win->Handle(), GCLP_HBRBACKGROUND,
                       reinterpret_cast<LONG_PTR>(SkinManager()->PaletteBrush(0)));
    }
  } else if (Win != nullptr && Win->HandleAllocated() && CtrlType != 142) {
    SetClassLongPtrA(Win->Handle(), GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(GetSysColorBrush(COLOR_BTNFACE)));
  }
  if (Repaint) RepaintOwner(true);
}

void TsCommonData::SetCustomColorOrFont(int Index, bool Value) {
  bool& Flag = Index == 0 ? FCustomColor : FCustomFont;
  if (Flag == Value) return;
  Flag = Value;
  TControl* Owner = OwnerOrProviderForm();
  if (Owner == nullptr || Loading || LoadingOrReading(Owner)) return;
  TColor& Saved = Index == 0 ? SavedColor : SavedFontColor;
  if (Value) {
    if (Saved != clNone) {
      if (Index == 0)
        Owner->SetColor(Saved);
      else
        Owner->Font()->SetColor(Saved);
    }
  } else {
    Saved = Index == 0 ? Owner->Color() : Owner->Font()->Color();
  }
  ApplySkinColors(true);
}

// ---- background helpers of the object ----

bool TsCommonData::OuterEffectsAllowed() const {
  TsSkinManager* M = SkinManager();
  if (M == nullptr || !M->Effects()->AllowOuterEffects()) return false;
  return OwnerProvider() != nullptr || As<TWinControl>(OwnerControl) != nullptr;
}

void TsCommonData::InvalidateParentCache() {
  if (IsUpdating()) return;
  HWND Parent = nullptr;
  if (OwnerControl != nullptr && OwnerControl->Parent() != nullptr && OwnerControl->Parent()->HandleAllocated())
    Parent = OwnerControl->Parent()->Handle();
  else if (const HWND Own = OwnerWindow())
    Parent = GetParent(Own);
  if (Parent == nullptr) return;
  SendSkinCommand(Parent, VKCMD_MARK_FOR_UPDATE, 0);
  SendSkinCommand(Parent, VKCMD_REFRESH_CACHE, 0);
}

bool TsCommonData::CursorStillInside() const {
  POINT P;
  SafeGetCursorPos(P);
  RECT R{};
  if (const HWND Wnd = OwnerWindow()) {
    // the window rectangle holds the non-client scroll bars of an adapter as well
    GetWindowRect(Wnd, &R);
  } else if (OwnerControl != nullptr && OwnerControl->Parent() != nullptr) {
    const POINT O = OwnerControl->ClientToScreen(POINT{0, 0});
    R = RECT{O.x, O.y, O.x + OwnerControl->Width(), O.y + OwnerControl->Height()};
  }
  return PtInRect(&R, P) != FALSE;
}

bool TsCommonData::AnimationRunning() const {
  return AnimTimer != nullptr && AnimationGlue.TimerEnabled && AnimationGlue.TimerEnabled(AnimTimer);
}

// ---- descendants ----

void TsCtrlSkinData::ShiftChanged() {
  FinishLoading(true);
  RepaintOwner(false);
}
void TsCtrlSkinData::SetColorTone(TColor Value) {
  if (Value == ColorTone()) return;
  TsCommonData::SetColorTone(Value);
  ShiftChanged();
}
void TsCtrlSkinData::SetHUEOffset(int Value) {
  if (Value == HUEOffset()) return;
  TsCommonData::SetHUEOffset(Value);
  ShiftChanged();
}
void TsCtrlSkinData::SetSaturation(int Value) {
  if (Value == Saturation()) return;
  TsCommonData::SetSaturation(Value);
  ShiftChanged();
}

TsScrollWndData::TsScrollWndData(TObject* AOwner, bool CreateCacheBmp)
    : TsCommonData(AOwner, CreateCacheBmp),
      FHorzScrollData(new TvkScrollData(this)),
      FVertScrollData(new TvkScrollData(this)) {}

TsScrollWndData::~TsScrollWndData() {
  delete FHorzScrollData;
  delete FVertScrollData;
}

// ---- lookups by window ----

TsCommonData* SkinDataOfHandle(HWND Wnd) { return WindowSkinData(Wnd); }

bool WindowHasSkin(HWND Wnd) {
  if (WindowSkinData(Wnd) != nullptr || GetWindowScrollAdapter(Wnd) != nullptr) return true;
  return SendSkinCommand(Wnd, VKCMD_QUERY_SKINNED, 0) != 0;
}

bool ControlHasSkin(TControl* Control, bool CheckActive) {
  if (Control == nullptr) return false;
  auto* Win = As<TWinControl>(Control);
  if (Win != nullptr && Win->HandleAllocated()) {
    const HWND Wnd = Win->Handle();
    if (TsCommonData* D = WindowSkinData(Wnd)) return !CheckActive || D->IsSkinned(false);
    if (TvkScrollWnd* A = GetWindowScrollAdapter(Wnd)) {
      if (!CheckActive || !AdapterServices.ScrollAdapterSkinData) return true;
      TsCommonData* D = AdapterServices.ScrollAdapterSkinData(A);
      return D != nullptr && D->IsSkinned(false);
    }
    return SendSkinCommand(Wnd, VKCMD_QUERY_SKINNED, 0) != 0;
  }
  return Control->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_SKINNED), 0) == 1;
}
