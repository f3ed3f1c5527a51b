#include "skin/adapters/vkMainWnd.h"

#include <map>

#include "framework/Forms.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkWindowProps.h"
#include "skin/graphics/vkParentBg.h"

IMPLEMENT_CLASS(TvkMainWnd)

bool AdoptingDialogChildren = false;
bool CtrlAdapterReleasingAll = false;
void (*DetachedAdapterIdle)() = nullptr;

namespace {

// The brush each window class had before an adapter first gave it the skin's, by class atom: a class the skin
// has left paints with its own brush again.
std::map<ATOM, HBRUSH>& SavedClassBrushes() {
  static auto* Map = new std::map<ATOM, HBRUSH>;
  return *Map;
}

ATOM ClassAtomOf(HWND Wnd) { return static_cast<ATOM>(GetClassLongA(Wnd, GCW_ATOM)); }

void SetClassBrush(HWND Wnd, HBRUSH Brush) {
  SetClassLongA(Wnd, GCL_HBRBACKGROUND, static_cast<LONG>(reinterpret_cast<LONG_PTR>(Brush)));
}

void GiveClassSkinBrush(HWND Wnd, HBRUSH Brush) {
  if (Wnd == nullptr || !IsWindow(Wnd) || Brush == nullptr) return;
  const ATOM Atom = ClassAtomOf(Wnd);
  auto& Map = SavedClassBrushes();
  if (Map.find(Atom) == Map.end())
    Map[Atom] = reinterpret_cast<HBRUSH>(static_cast<LONG_PTR>(GetClassLongA(Wnd, GCL_HBRBACKGROUND)));
  SetClassBrush(Wnd, Brush);
}

void GiveClassOwnBrush(HWND Wnd) {
  if (Wnd == nullptr || !IsWindow(Wnd)) return;
  auto& Map = SavedClassBrushes();
  auto It = Map.find(ClassAtomOf(Wnd));
  if (It == Map.end()) return;
  SetClassBrush(Wnd, It->second);
  Map.erase(It);
}

bool IsProviderObject(TObject* Obj) {
  return Obj != nullptr && FormServices.IsSkinProvider && FormServices.IsSkinProvider(Obj);
}

bool Destroying(TComponent* C) { return C->ComponentState().Contains(csDestroying); }

}  // namespace

std::wstring GetWindowTextWide(HWND Wnd) {
  const int Len = GetWindowTextLengthW(Wnd);
  std::wstring S(static_cast<size_t>(Len) + 1, L'\0');
  const int Got = GetWindowTextW(Wnd, S.data(), Len + 1);
  S.resize(Got > 0 ? static_cast<size_t>(Got) : 0);
  return S;
}

TvkMainWnd* CreateAdapter(const TClassInfo* Cls, HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                          const TvkSkinParams& SkinParams, bool Repaint) {
  if (Cls == nullptr || !Cls->InheritsFrom(TvkMainWnd::StaticClassInfo()))
    throw EInvalidOperation("Not a window adapter class");
  auto* A = static_cast<TvkMainWnd*>(Cls->CreateInstance(nullptr));
  if (A == nullptr) throw EInvalidOperation(std::string("Window adapter class ") + Cls->name + " cannot be made");
  try {
    A->Create(AHandle, ASkinData, ASkinManager, SkinParams, Repaint);
  } catch (...) {
    A->Free();
    throw;
  }
  return A;
}

void TvkMainWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                        const TvkSkinParams& SkinParams, bool Repaint) {
  CtrlHandle = AHandle;
  OldWndMethod = TWndMethod();
  OldWndProc = nullptr;
  if (TSetWindowThemeProc SetTheme = SetWindowThemeEntry();
      SetTheme != nullptr && (ASkinData == nullptr || ASkinData->CtrlType != ctForm) && !KeepsVisualStyle() &&
      SkinParams.SkinSection != "DIALOG" && !AdoptingDialogChildren)
    SetTheme(AHandle, L" ", L" ");
  ObjectInstance = nullptr;
  SkinManager = ASkinManager;
  Detached = false;
  if (ASkinData != nullptr) {
    SkinData = ASkinData;
  } else {
    OwnSkinData = true;
    MakeSkinData();
    if (!SkinParams.SkinSection.empty()) SkinData->SetSkinSection(SkinParams.SkinSection);
    SkinData->OwnerControl = SkinParams.Control;
    SkinData->OwnerObject = SkinParams.Control;
    SkinData->SetCustomFont(!SkinParams.UseSkinFontColor);
    SkinData->SetCustomColor(!SkinParams.UseSkinColor);
  }
  SkinData->OwnerHandle = AHandle;
  DlgMode = AdoptingDialogChildren;
  StoreControlParams();
  ParamsApplied = false;
  Caption = GetWindowTextWide(AHandle);
  AttachToWindow(Repaint);
  if (TControl* C = SkinData->OwnerControl) {
    OldControlStyle = C->ControlStyle();
    C->SetControlStyle(C->ControlStyle() + csOpaque);
  }
  FinishCreation();
}

void TvkMainWnd::AttachToWindow(bool) { SubclassWindow(this, CtrlHandle); }

void TvkMainWnd::FinishCreation() {
  if (SkinData == nullptr) return;
  SkinData->Loading = false;
  SkinData->AttachToHandle();
}

void TvkMainWnd::RestoreControlParams() {
  if (OwnSkinData && SkinData != nullptr) SkinData->DetachFromHandle();
  ScrollAdapterProps().Remove(CtrlHandle);
  GiveClassOwnBrush(CtrlHandle);
}

void TvkMainWnd::ApplySkinParams() {
  ParamsApplied = true;
  if (SkinManager != nullptr) GiveClassSkinBrush(CtrlHandle, SkinManager->PaletteBrush(0));
}

void TvkMainWnd::RenewClassBrush() {
  // The skin's brushes went with the old skin: a class given one takes the new skin's.
  if (ParamsApplied && SkinManager != nullptr) GiveClassSkinBrush(CtrlHandle, SkinManager->PaletteBrush(0));
}

void TvkMainWnd::MakeSkinData() {
  if (SkinData == nullptr) SkinData = new TsCommonData(nullptr, true);
  SkinData->Loading = true;
}

TWinControl* ControlToFollow(TsCommonData* SkinData) {
  auto* C = SkinData != nullptr ? As<TWinControl>(SkinData->OwnerControl) : nullptr;
  if (C == nullptr) return nullptr;
  const TComponentState St = C->ComponentState();
  if (St.Contains(csLoading) || St.Contains(csDestroying) || St.Contains(csDesigning)) return nullptr;
  return C;
}

void TvkMainWnd::MainWndProc(TMessage& Message) {
  const TvkAdapterBusy Busy(this);
  WndProc(Message);
}

LRESULT TvkMainWnd::PerformMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage M{Msg, WParam, LParam, 0};
  MainWndProc(M);
  return M.Result;
}

LRESULT TvkMainWnd::ForwardToOldWndProc(HWND AHandle, UINT Msg, WPARAM WParam, LPARAM& LParam) {
  if (!OldWndMethod.IsNull()) {
    TMessage M{Msg, WParam, LParam, 0};
    OldWndMethod(M);
    LParam = M.LParam;
    return M.Result;
  }
  if (OldWndProc != nullptr) {
    // A crash of a foreign procedure must not take the adapter down with it.
    try {
      return CallWindowProcA(OldWndProc, AHandle, Msg, WParam, LParam);
    } catch (...) {
      if (Application) Application->HandleException(nullptr);
      return 0;
    }
  }
  return 0;
}

void TvkMainWnd::GiveWindowBack() {
  if (FGivenBack || SkinData == nullptr) return;
  FGivenBack = true;
  ReturnWindow();
}

void TvkMainWnd::StopSkinEffects() {
  if (AnimationGlue.StopControlAnimation) AnimationGlue.StopControlAnimation(SkinData);
  if (SkinData->GlowId >= 0 && AnimationGlue.HideGlowEffect) AnimationGlue.HideGlowEffect(SkinData->GlowId, false);
}

void TvkMainWnd::ReturnWindow() {
  // (a window DetachWindowAdapter took it from, at its destruction, has nothing more to get back)
  if (!Detached) {
    // its own fade or glow would go on drawing the skin over the window
    if (OwnSkinData) StopSkinEffects();
    TControl* Owner = SkinData->OwnerControl;
    if (Owner != nullptr && !OldControlStyle.Empty()) Owner->SetControlStyle(OldControlStyle);
    // A walker freeing all its adapters while no skin is being removed leaves the controls' looks alone; a control
    // that lives on still gets its WindowProc back, so nothing calls this object once it is gone.
    if (CtrlAdapterReleasingAll && !TsSkinManager::SkinIsLoading()) {
      if (Owner != nullptr && !Destroying(Owner) && !IsProviderObject(SkinData->OwnerObject)) PutBackWindowMethod(this);
    } else {
      // Under a later subclasser the stub stays and only forwards: no message reaches the adapter again.
      if (!PutBackWindowMethod(this) && OldWndProc != nullptr && ObjectInstance != nullptr) {
        FreeObjectInstance(ObjectInstance);
        ObjectInstance = nullptr;
        OldWndProc = nullptr;
      }
      RestoreControlParams();
    }
    if (TSetWindowThemeProc SetTheme = SetWindowThemeEntry(); SetTheme != nullptr && CtrlHandle != nullptr) {
      bool On = true;
      if (IsProviderObject(SkinData->OwnerObject))
        On = false;  // the form skinner switches its form's theme itself (DrawNonClientArea)
      else if (SkinData->CtrlType == ctListView && IsDwmCompositionActive())
        On = false;
      if (On && IsWindow(CtrlHandle)) SetTheme(CtrlHandle, nullptr, nullptr);
    }
    Detached = true;
  }
  // The manager may go before the free (freed inside one of the adapter's own messages): nothing reads it now.
  SkinManager = nullptr;
}

void TvkMainWnd::BeforeDestruction() {
  if (FDestroyed) return;
  FDestroyed = true;
  if (SkinData != nullptr && SkinManager != nullptr && !Detached) GiveWindowBack();
  ReleaseOwnObjects();
}

void TvkMainWnd::ReleaseOwnObjects() {
  if (SkinData != nullptr) {
    // Detached by DetachWindowAdapter (its window went), the control that stays gets its look back.
    if (SkinManager != nullptr && Detached)
      if (TControl* Owner = SkinData->OwnerControl; Owner != nullptr && !Destroying(Owner)) RestoreControlParams();
    if (OwnSkinData) delete SkinData;
    SkinData = nullptr;
    ScrollAdapterProps().Forget(static_cast<void*>(this));
  }
  // Whatever happened above, no stub may call this object once it is gone.
  if (ObjectInstance != nullptr) {
    FreeObjectInstance(ObjectInstance);
    ObjectInstance = nullptr;
  }
  SkinManager = nullptr;
}

TvkMainWnd::~TvkMainWnd() {
  if (!FDestroyed) BeforeDestruction();
}

void TvkMainWnd::HandleWindowDestruction(TMessage& Message) {
  if (SkinData != nullptr) StopSkinEffects();
  if (OldWndProc != nullptr || !OldWndMethod.IsNull()) {
    TvkMainWnd* Self = this;
    try {
      if (SkinData != nullptr && SkinData->OwnerControl != nullptr) {
        DetachWindowAdapter(CtrlHandle, false, false, Self);
        SendMessageA(CtrlHandle, Message.Msg, Message.WParam, Message.LParam);
      } else {
        LPARAM L = Message.LParam;
        if (ForwardToOldWndProc(CtrlHandle, Message.Msg, Message.WParam, L) == 0)
          DetachWindowAdapter(CtrlHandle, false, false, Self);
      }
    } catch (...) {
      Message.Result = 1;
      throw;
    }
    Message.Result = 1;
  } else {
    // No procedure below: sending it to the window again would come straight back here.
    Message.Result = DefWindowProcA(CtrlHandle, Message.Msg, Message.WParam, Message.LParam);
  }
  if (SkinData != nullptr && SkinData->CacheBmp != nullptr) SkinData->CacheBmp->Assign(nullptr);
}

void TvkMainWnd::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CREATE:
    case WM_NCCREATE:
      Message.Result = ForwardToOldWndProc(CtrlHandle, Message.Msg, Message.WParam, Message.LParam);
      if (SkinData != nullptr) SkinData->AttachToHandle();
      return;
    case WM_DESTROY:
    case WM_NCDESTROY:
      HandleWindowDestruction(Message);
      return;
    case WM_SIZE:
      if (SkinData != nullptr) SkinData->CacheDirty = true;
      break;
    case WM_SETTEXT:
      Message.Result = ForwardToOldWndProc(CtrlHandle, Message.Msg, Message.WParam, Message.LParam);
      Caption = GetWindowTextWide(CtrlHandle);
      return;
    case WM_CONTEXTMENU:
      if (SkinData != nullptr && SkinData->OwnerControl != nullptr && SkinData->OwnerControl->PopupMenu() != nullptr &&
          SkinManager != nullptr && SkinManager->SkinableMenus() != nullptr && FormServices.InitPopupMenu)
        FormServices.InitPopupMenu(SkinManager->SkinableMenus(),
                                   reinterpret_cast<TMenu*>(SkinData->OwnerControl->PopupMenu()),
                                   SkinManager->Active());
      break;
    case WM_UPDATEUISTATE:
      return;
    case WM_MOUSEMOVE:
      if (TsSkinManager* M = TsSkinManager::DefaultManager();
          M != nullptr && !M->ComponentState().Contains(csDesigning) && IsWindowEnabled(CtrlHandle) &&
          M->HotWindow() != CtrlHandle)
        M->ChangeHotWindow(CtrlHandle);
      break;
    case WM_PRINT:
      Message.Result = SendMessageA(CtrlHandle, WM_PAINT, Message.WParam, Message.LParam);
      return;
    default:
      break;
  }
  CommonTail(Message);
}

void TvkMainWnd::CommonTail(TMessage& Message) {
  TsSkinManager* M = SkinData != nullptr ? SkinData->SkinManager() : nullptr;
  if (M == nullptr || !M->Active() || Message.Msg != SM_VKCMD) {
    Message.Result = ForwardToOldWndProc(CtrlHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  const bool Ours = Message.LParam == reinterpret_cast<LPARAM>(M);
  TControl* Owner = SkinData->OwnerControl;
  bool PassOn = true;
  switch (SkinCommandCode(Message.WParam)) {
    case VKCMD_SKIN_APPLIED:
      if (Ours) {
        SkinData->RefreshSectionIndex(true);
        SkinData->CacheDirty = true;
        RenewClassBrush();
        PassCommandToChildren(Owner, CtrlHandle, Message);
      }
      break;
    case VKCMD_SKIN_DROPPED:
      if (Ours) {
        RestoreControlParams();
        // The next skin is applied anew, before the next paint.
        ParamsApplied = false;
      }
      break;
    case VKCMD_REPAINT_AFTER_CHANGE:
      if (Ours) {
        RenewClassBrush();
        SkinData->RefreshSectionIndex(true);
        SkinData->CacheDirty = true;
        SkinData->Updating = false;
        if (!InAnimationProcess) {
          const bool Shown = Owner != nullptr ? Owner->Visible() : IsWindowVisible(CtrlHandle) != FALSE;
          if (Shown) SendMessageA(CtrlHandle, WM_PAINT, 0, 0);
        }
        PassCommandToChildren(Owner, CtrlHandle, Message);
        PassOn = false;
      }
      break;
    case VKCMD_PARENT_UPDATE_DONE:
      if (SkinData->Updating) {
        if (!SkinData->RecheckUpdating(true)) {
          SendMessageA(CtrlHandle, WM_NCPAINT, 0, 0);
          RedrawWindow(CtrlHandle, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
        if (auto* W = As<TWinControl>(Owner)) RepaintChildrenAfterUpdate(W);
        PassOn = false;
      }
      break;
    case VKCMD_QUERY_SKINNED:
      Message.Result = 1;
      return;
    case VKCMD_QUERY_UPDATE_STATE:
      Message.Result = SkinData->IsUpdating() ? 1 : 0;
      return;
    case VKCMD_QUERY_WINDOW_ADAPTER:
      Message.Result = reinterpret_cast<LRESULT>(this);
      return;
    case VKCMD_SET_SECTION:
      if (Message.LParam != 0) {
        SkinData->SetSkinSection(reinterpret_cast<const char*>(Message.LParam));
        Message.Result = 1;
      } else {
        Message.Result = 0;
      }
      return;
    case VKCMD_QUERY_BG_READY:
      if (Owner != nullptr) {
        ProcessSkinCommand(Message, SkinData);
        return;
      }
      break;
    case VKCMD_QUERY_BG_COLOR:
      Message.Result = ForwardToOldWndProc(CtrlHandle, Message.Msg, Message.WParam, Message.LParam);
      if (Message.Result == 0) Message.Result = static_cast<LRESULT>(SkinBackgroundColor(SkinData, 0, CtrlHandle));
      return;
    case VKCMD_REFRESH_CACHE:
      PaintAdapterCache(SkinData, CtrlHandle, false);
      break;
    case VKCMD_QUERY_PARENT_BG:
      if (Message.LParam != 0)
        AnswerBackgroundRequest(SkinData, *reinterpret_cast<TvkParentBgQuery*>(Message.LParam), 0, CtrlHandle);
      return;
    case VKCMD_QUERY_SKIN_DATA:
      Message.Result = reinterpret_cast<LRESULT>(SkinData);
      return;
    case VKCMD_SET_PRINT_DC:
      if (Message.LParam != 0)
        SkinData->StateFlags |= sfPrinting;
      else
        SkinData->StateFlags &= static_cast<uint16_t>(~sfPrinting);
      SkinData->PrintDC = reinterpret_cast<HDC>(Message.LParam);
      break;
    case VKCMD_QUERY_APPLICATION:
      Message.Result = reinterpret_cast<LRESULT>(Application);
      return;
    default:
      if (ProcessSkinCommand(Message, SkinData)) return;
      break;
  }
  if (PassOn) Message.Result = ForwardToOldWndProc(CtrlHandle, Message.Msg, Message.WParam, Message.LParam);
}
