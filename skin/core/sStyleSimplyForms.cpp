// The list of skinned forms, the broadcasts of skin commands to the forms of the screen, the steps around a skin
// change of the forms, and the application's own icons.
#include <algorithm>

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormAnimation.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinChange.h"
#include "skin/core/vkntUtils.h"

bool SkinChangeAnimating = false;
std::vector<TCustomForm*> SkinnedFormList;

namespace {

TIcon* g_smallIcon = nullptr;
TIcon* g_largeIcon = nullptr;

bool Destroying(const TComponent* C) { return C->ComponentState().Contains(csDestroying); }

TsSkinProvider* ProviderOf(TCustomForm* Form) {
  if (!Form->HandleAllocated()) return nullptr;
  return reinterpret_cast<TsSkinProvider*>(SendSkinCommand(Form->Handle(), VKCMD_QUERY_FORM_SKINNER, 0));
}

TsCommonData* ProviderData(TsSkinProvider* P) {
  return FormServices.ProviderSkinData ? FormServices.ProviderSkinData(P) : nullptr;
}

uint32_t Flags(TsSkinProvider* P) { return FormServices.ProviderStateFlags ? FormServices.ProviderStateFlags(P) : 0; }
void SetFlags(TsSkinProvider* P, uint32_t F) {
  if (FormServices.SetFormStateFlags) FormServices.SetFormStateFlags(P, F);
}
TCustomForm* FormOf(TsSkinProvider* P) { return FormServices.ProviderForm ? FormServices.ProviderForm(P) : nullptr; }
TvkBorderForm* BorderOf(TsSkinProvider* P) {
  return FormServices.ProviderBorderForm ? FormServices.ProviderBorderForm(P) : nullptr;
}
void MarkChanging(TsSkinProvider* P, bool On) {
  if (FormServices.SetProviderChangingSkin) FormServices.SetProviderChangingSkin(P, On);
}
bool DrawsFrame(TsSkinProvider* P) { return FormServices.ProviderDrawsFrame && FormServices.ProviderDrawsFrame(P); }
BYTE FormAlpha(TCustomForm* F) { return F->AlphaBlend() ? static_cast<BYTE>(F->AlphaBlendValue()) : 255; }

constexpr uint32_t kSnapshotTaken = 0x1000;
constexpr uint32_t kFrozen = 0x10000;

// A minimised application changes skins without pictures.
bool MainWindowMinimized() {
  if (Application == nullptr) return false;
  if (Application->Handle() != nullptr && IsIconic(Application->Handle())) return true;
  TCustomForm* Main = Application->MainForm();
  return Main != nullptr && Main->HandleAllocated() && IsIconic(Main->Handle());
}

bool ChangeGuard(TsSkinManager* Manager) {
  const TComponentState S = Manager->ComponentState();
  return !MainWindowMinimized() && !S.Contains(csLoading) && !S.Contains(csDesigning);
}

void SetAnimatingFlag(TsSkinManager* Manager) {
  if (Manager == TsSkinManager::DefaultManager())
    SkinChangeAnimating = Manager->AnimEffects()->SkinChanging()->Active();
}

// The message to a form and its children; the controls of a form whose window is not made yet hear it too. An MDI
// main form's client window is no control of the form, so it is sent the message itself. A dropped skin reaches the
// controls from here only: the form's skinner is told not to pass it on as well.
void SendToForm(TCustomForm* Form, TMessage& Message) {
  WPARAM ToForm = Message.WParam;
  if (Message.Msg == SM_VKCMD && SkinCommandCode(ToForm) == VKCMD_SKIN_DROPPED)
    ToForm = SkinCommandWParam(VKCMD_SKIN_DROPPED, VKCMD_SENDER_TELLS_CONTROLS);
  if (Form->HandleAllocated()) SendMessageA(Form->Handle(), Message.Msg, ToForm, Message.LParam);
  BroadcastToChildControls(Form, Message);
  if (Form->FormStyle() == fsMDIForm && Form->ClientHandle() != nullptr)
    SendMessageA(Form->ClientHandle(), Message.Msg, Message.WParam, Message.LParam);
}

// The maximised MDI child of an MDI main form with a border window keeps the place its old caption gave it; when
// the caption height changed with the skin (its client no longer lies exactly on the MDI client's), it takes the
// maximised place again, and the active window stays active. The place is the one its own maximise would give
// (what it answers to WM_GETMINMAXINFO): showing an already maximised window maximised again moves nothing. True
// when it moved the child.
bool RemaximiseMDIChild(TCustomForm* Form, TsSkinProvider* P) {
  if (BorderOf(P) == nullptr || Form->FormStyle() != fsMDIForm || Form->ClientHandle() == nullptr) return false;
  TCustomForm* Child = Form->ActiveMDIChild();
  if (Child == nullptr || !Child->HandleAllocated() || !IsZoomed(Child->Handle())) return false;
  const HWND C = Child->Handle(), Client = Form->ClientHandle();
  RECT Area{}, Own{};
  GetClientRect(Client, &Area);
  GetClientRect(C, &Own);
  MapWindowPoints(C, Client, reinterpret_cast<POINT*>(&Own), 2);
  if (EqualRect(&Area, &Own)) return false;
  const HWND Active = GetActiveWindow();
  MINMAXINFO Info{};
  SendMessageA(C, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
  SetWindowPos(C, nullptr, Info.ptMaxPosition.x, Info.ptMaxPosition.y, Info.ptMaxSize.x, Info.ptMaxSize.y,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  if (Active != nullptr && GetActiveWindow() != Active) SetActiveWindow(Active);
  return true;
}

}  // namespace

// ---- the list ----

void AddToSkinnedFormList(TCustomForm* Form) { SkinnedFormList.push_back(Form); }

void RemoveFromSkinnedFormList(TCustomForm* Form) {
  // a form listed twice leaves no hole: each of its slots takes the last entry in turn
  for (size_t i = 0; i < SkinnedFormList.size();) {
    if (SkinnedFormList[i] == Form) {
      SkinnedFormList[i] = SkinnedFormList.back();
      SkinnedFormList.pop_back();
    } else {
      ++i;
    }
  }
}

void ForEachSkinnedForm(TsSkinManager* Manager, void (*Proc)(TsSkinProvider* Provider, void* Param), void* Param) {
  const std::vector<TCustomForm*> Forms = SkinnedFormList;  // a step may change the list
  for (TCustomForm* F : Forms) {
    if (std::find(SkinnedFormList.begin(), SkinnedFormList.end(), F) == SkinnedFormList.end()) continue;
    if (F->WindowState() == wsMinimized || F->FormStyle() == fsMDIChild || F->Parent() != nullptr ||
        !F->HandleAllocated() || !F->Visible())
      continue;
    TsSkinProvider* P = ProviderOf(F);
    if (P == nullptr) continue;
    TsCommonData* D = ProviderData(P);
    if (D != nullptr && D->SkinManager() == Manager) Proc(P, Param);
  }
}

// ---- broadcasts ----

void BroadcastToScreenForms(TMessage& Message) {
  if (Screen != nullptr)
    for (int i = Screen->FormCount() - 1; i >= 0; --i) {
      if (i >= Screen->FormCount()) break;
      auto* F = As<TForm>(Screen->Forms(i));
      if (F == nullptr || F->FormStyle() == fsMDIChild) continue;
      const TComponentState S = F->ComponentState();
      if (S.Contains(csLoading) || S.Contains(csDestroying) || (F->HandleAllocated() && WindowHasSkin(F->Handle())))
        continue;
      SendToForm(F, Message);
    }
  BroadcastToSkinnedForms(Message);
}

void BroadcastToSkinnedForms(TMessage& Message) {
  const std::vector<TCustomForm*> Forms = SkinnedFormList;
  for (TCustomForm* F : Forms) {
    if (std::find(SkinnedFormList.begin(), SkinnedFormList.end(), F) == SkinnedFormList.end()) continue;
    if (As<TForm>(F) == nullptr || Destroying(F)) continue;
    SendToForm(F, Message);
  }
  if (FormServices.DialogAdapterCount && FormServices.DialogAdapterWindow)
    for (int i = 0; i < FormServices.DialogAdapterCount(); ++i) {
      const HWND W = FormServices.DialogAdapterWindow(i);
      if (W != nullptr && IsWindowVisible(W)) SendMessageA(W, Message.Msg, Message.WParam, Message.LParam);
    }
}

// ---- skin change of the forms ----

void BeforeSkinChangeForms(TsSkinManager* Manager) {
  if (!ChangeGuard(Manager)) return;
  SetAnimatingFlag(Manager);
  ForEachSkinnedForm(
      Manager,
      [](TsSkinProvider* P, void*) {
        if (BorderOf(P) != nullptr) {
          SetFlags(P, Flags(P) | kSnapshotTaken);
          if (FormServices.MakeAnimationBitmap && FormServices.SetProviderSnapshot)
            FormServices.SetProviderSnapshot(P, FormServices.MakeAnimationBitmap(P, false));
        }
        MarkChanging(P, true);
      },
      nullptr);
}

void FreezeSkinnedForms(TsSkinManager* Manager) {
  if (!ChangeGuard(Manager)) return;
  SetAnimatingFlag(Manager);
  ForEachSkinnedForm(
      Manager,
      [](TsSkinProvider* P, void*) {
        MarkChanging(P, true);
        SetFlags(P, Flags(P) | kFrozen);
        TCustomForm* Form = FormOf(P);
        TvkBorderForm* Border = BorderOf(P);
        TBitmap* Snap = FormServices.ProviderSnapshot ? FormServices.ProviderSnapshot(P) : nullptr;
        // the border window keeps showing the old picture while the form changes under it
        if (Snap != nullptr && Border != nullptr && Form != nullptr && FormServices.BorderLayeredWindow) {
          if (auto* Layered = reinterpret_cast<TWinControl*>(FormServices.BorderLayeredWindow(Border));
              Layered != nullptr && Layered->HandleAllocated()) {
            RECT R{};
            GetWindowRect(Layered->Handle(), &R);
            UpdateLayeredPremultiplied(Layered->Handle(), Snap, FormAlpha(Form), POINT{R.left, R.top});
            if (FormServices.BuildBorderRegion) SetWindowRgn(Layered->Handle(), FormServices.BuildBorderRegion(Border), FALSE);
          }
        }
        if (Form != nullptr && Form->HandleAllocated()) SendMessageA(Form->Handle(), WM_SETREDRAW, 0, 0);
      },
      nullptr);
}

void AfterSkinChangeForms(TsSkinManager* Manager, int Mode) {
  if (MainWindowMinimized()) return;
  if (Manager == TsSkinManager::DefaultManager()) SkinChangeAnimating = false;
  ForEachSkinnedForm(
      Manager,
      [](TsSkinProvider* P, void*) {
        TCustomForm* Form = FormOf(P);
        if ((Flags(P) & kFrozen) != 0 && Form != nullptr && Form->HandleAllocated())
          SendMessageA(Form->Handle(), WM_SETREDRAW, 1, 0);
      },
      nullptr);
  ForEachSkinnedForm(
      Manager, [](TsSkinProvider* P, void* M) { ReskinFormWindow(P, *static_cast<int*>(M)); }, &Mode);
}

void ReskinFormWindow(TsSkinProvider* Provider, int Mode) {
  TCustomForm* Form = FormOf(Provider);
  if ((Flags(Provider) & kFrozen) == 0 || Form == nullptr || Form->WindowState() == wsMinimized) return;
  if (Mode != 1) {
    SetFlags(Provider, Flags(Provider) & ~kSnapshotTaken);
    if (Form->HandleAllocated()) SendMessageA(Form->Handle(), WM_SETREDRAW, 1, 0);
    SetFlags(Provider, Flags(Provider) & ~kFrozen);
    return;
  }
  TsCommonData* D = ProviderData(Provider);
  // The change's last step shapes and redraws the whole form; a form whose snapshot was taken (it has a border
  // window) drew that while the snapshot still stood for it, and is shaped and drawn once more.
  bool Redrawn = false;
  if (TsSkinManager* M = D != nullptr ? D->SkinManager() : nullptr;
      M != nullptr && M->AnimEffects()->SkinChanging()->Active() && M->Effects()->AllowAnimation() &&
      Form->HandleAllocated()) {
    const TvkAnimEffect* Change = M->AnimEffects()->SkinChanging();
    // a form whose skinner leaves the frame to the system changes at once
    if (DrawsFrame(Provider))
      Redrawn = AnimateSkinChange(Form, Change->Time(), FormAlpha(Form), Change->Mode() == atAero ? atAero : atFading);
    else
      Redrawn = AnimateSkinChange(Form, 0, 255, atFading);
  }
  if ((Flags(Provider) & kSnapshotTaken) != 0) Redrawn = false;
  SetFlags(Provider, Flags(Provider) & ~kSnapshotTaken);
  if (Form->HandleAllocated() && RemaximiseMDIChild(Form, Provider)) Redrawn = false;
  MarkChanging(Provider, false);
  const bool Skinned = D != nullptr && D->IsSkinned();
  if (Form->HandleAllocated()) {
    if (Skinned) {
      if (!Redrawn && FormServices.ApplyWindowRegion) FormServices.ApplyWindowRegion(Provider, false, true);
      // a frame painted anew here is not on the screen yet
      if (D->CacheDirty) Redrawn = false;
      if (FormServices.PaintFormFrame) FormServices.PaintFormFrame(Provider);
      if (!Redrawn) RedrawWindow(Form->Handle(), nullptr, nullptr, 0x585);
      if (TvkBorderForm* Border = BorderOf(Provider); Border != nullptr && FormServices.UpdateBorderWindow)
        FormServices.UpdateBorderWindow(Border, true, 255);
    } else if (!Redrawn) {
      RedrawWindow(Form->Handle(), nullptr, nullptr, 0x585);
    }
  }
  SetFlags(Provider, Flags(Provider) & ~kFrozen);
}

void EndSkinChangeForms(TsSkinManager* Manager) {
  if (Manager == TsSkinManager::DefaultManager()) SkinChangeAnimating = false;
  // every listed form, shown or not: a form hidden or minimised meanwhile must not stay frozen either
  const std::vector<TCustomForm*> Forms = SkinnedFormList;
  for (TCustomForm* F : Forms) {
    if (std::find(SkinnedFormList.begin(), SkinnedFormList.end(), F) == SkinnedFormList.end() || Destroying(F)) continue;
    TsSkinProvider* P = ProviderOf(F);
    TsCommonData* D = P != nullptr ? ProviderData(P) : nullptr;
    if (D == nullptr || D->SkinManager() != Manager) continue;
    const uint32_t Was = Flags(P);
    SetFlags(P, Was & ~(kSnapshotTaken | kFrozen));
    MarkChanging(P, false);
    if (FormServices.SetProviderSnapshot) FormServices.SetProviderSnapshot(P, nullptr);
    // (a frozen window reads as invisible: WM_SETREDRAW 0 took its visible bit)
    if ((Was & kFrozen) != 0 && F->HandleAllocated() && F->Visible()) {
      SendMessageA(F->Handle(), WM_SETREDRAW, 1, 0);
      RedrawWindow(F->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
  }
}

// ---- the application's icons ----

TIcon* ApplicationTitleIcon(int Size) { return Size > 16 ? g_largeIcon : g_smallIcon; }

void StyleSimplyInitialize() {
  TvkSkinServices& S = SkinServices();
  S.StartSkinChangeAnimation = BeforeSkinChangeForms;
  S.PrepareFormsForChange = FreezeSkinnedForms;
  S.FinishFormsChange = AfterSkinChangeForms;
  S.EndFormsChange = EndSkinChangeForms;
  char Path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, Path, MAX_PATH);
  g_smallIcon = FileShellIcon(Path, SHGFI_SMALLICON);
  g_largeIcon = FileShellIcon(Path, SHGFI_LARGEICON);
}

void StyleSimplyFinalize() {
  TvkSkinServices& S = SkinServices();
  S.StartSkinChangeAnimation = nullptr;
  S.PrepareFormsForChange = nullptr;
  S.FinishFormsChange = nullptr;
  S.EndFormsChange = nullptr;
  delete g_smallIcon;
  delete g_largeIcon;
  g_smallIcon = g_largeIcon = nullptr;
  SkinnedFormList.clear();
}
