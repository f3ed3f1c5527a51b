#include "skin/adapters/vkDials.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "framework/StdCtrls.h"
#include "skin/adapters/vkCtrlAdapter.h"
#include "skin/adapters/vkDialogWnd.h"
#include "skin/adapters/vkMnuWnd.h"
#include "skin/adapters/vkPanelWnd.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkStaticWnds.h"
#include "skin/adapters/vkSmallWnds.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkExcludedClasses.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkntUtils.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderMetrics.h"
#include "skin/forms/vkFormHook.h"

IMPLEMENT_CLASS(TvkProvider)

namespace {

std::vector<TvkProvider*>* g_Providers = nullptr;
std::vector<TvkMainWnd*> g_MenuAdapters;
// Providers a free-all unhooked while one of their adapters' messages ran. A timer frees each once none runs:
// its tick comes from a message loop, where no code of theirs is left on the stack but what the count shows. It is
// armed only when one of their messages has returned, so a modal loop inside one wakes nothing meanwhile.
std::vector<TvkProvider*> g_Retired;
UINT_PTR g_RetiredTimer = 0;

bool AppGoing() { return Application == nullptr || Application->ComponentState().Contains(csDestroying); }

std::string LowerClassName(HWND Wnd) {
  std::string S = WindowClassNameOf(Wnd);
  std::transform(S.begin(), S.end(), S.begin(), [](unsigned char C) { return static_cast<char>(std::tolower(C)); });
  return S;
}

TvkSkinParams DialogParams(const std::string& Section) {
  TvkSkinParams P;
  P.SkinSection = Section;
  return P;
}

void AddProvider(TvkProvider* P) {
  if (g_Providers == nullptr) g_Providers = new std::vector<TvkProvider*>;
  g_Providers->push_back(P);
}

}  // namespace

const std::vector<TvkProvider*>& ProviderList() {
  static const std::vector<TvkProvider*> Empty;
  return g_Providers != nullptr ? *g_Providers : Empty;
}

// ---- the provider ----

TvkProvider::TvkProvider(TComponent* AOwner) : TComponent(AOwner) {}

TvkProvider::~TvkProvider() {
  if (g_Providers != nullptr)
    if (auto It = std::find(g_Providers->begin(), g_Providers->end(), this); It != g_Providers->end()) *It = nullptr;
  // Children first: their adapters ask the dialog for its background while they go.
  for (auto It = Adapters.rbegin(); It != Adapters.rend(); ++It) (*It)->Free();
  Adapters.clear();
  if (DialogWnd != nullptr) DialogWnd->Free();
  DialogWnd = nullptr;
}

bool TvkProvider::Busy() const {
  if (DialogWnd != nullptr && DialogWnd->MessageDepth > 0) return true;
  return std::any_of(Adapters.begin(), Adapters.end(), [](TvkMainWnd* A) { return A->MessageDepth > 0; });
}

void TvkProvider::Unhook() {
  // Every window gets back at once all that a free gives it; the adapters' own objects (the bars, the dialog's
  // hidden border window) stay until the free, since the running messages may still use them.
  for (auto It = Adapters.rbegin(); It != Adapters.rend(); ++It) (*It)->GiveWindowBack();
  if (DialogWnd != nullptr) DialogWnd->GiveWindowBack();
}

void TvkProvider::AttachFormProvider(TCustomForm* Form, HWND Created) {
  SkinProvider = TsSkinProvider::CreateRuntime(Form);
  if (Created != nullptr) {
    // Nothing is shown yet, and the form has no handle to give: asking for one would make a second window.
    Wnd = Created;
    SkinProvider->SetUseGlobalColor(false);
    SkinProvider->SetMakeSkinMenu(false);
    return;
  }
  Wnd = Form->Handle();
  SetUpRuntimeProvider(SkinProvider, Form);
}

bool TvkProvider::InitDialog(HWND AWnd) {
  Wnd = AWnd;
  TsSkinManager* M = TsSkinManager::DefaultManager();
  if (DialogWnd != nullptr || M == nullptr || !M->Active()) return true;
  MakeDialogAdapter(AWnd, DialogWnd);
  if (DialogWnd == nullptr) return true;
  DialogWnd->Provider = this;
  if (MessageBoxPosX != -1 || MessageBoxPosY != -1)
    SetWindowPos(AWnd, nullptr, MessageBoxPosX, MessageBoxPosY, 0, 0, SWP_NOSIZE | SWP_NOREDRAW | SWP_NOOWNERZORDER);
  AdoptChildren(AWnd);
  DialogWnd->InitFrame();
  SendSkinCommand(AWnd, VKCMD_SKIN_APPLIED, reinterpret_cast<LPARAM>(M));
  return true;
}

bool TvkProvider::AdoptChildren(HWND Parent) {
  for (HWND C = GetTopWindow(Parent); C != nullptr; C = GetNextWindow(C, GW_HWNDNEXT)) {
    // Grandchildren get their adapters before their parent.
    AdoptChildren(C);
    if ((GetWindowLongA(C, GWL_STYLE) & WS_CHILD) != 0) ChooseChildAdapter(C);
  }
  return true;
}

bool TvkProvider::ChooseChildAdapter(HWND AWnd) {
  if (AWnd == nullptr) return false;
  if (WindowHasSkin(AWnd)) return true;
  TsSkinManager* M = TsSkinManager::DefaultManager();
  if (M == nullptr) return true;
  struct TGuard {
    TGuard() { AdoptingDialogChildren = true; }
    ~TGuard() { AdoptingDialogChildren = false; }
  } Guard;
  const std::string Cls = LowerClassName(AWnd);
  const LONG Style = GetWindowLongA(AWnd, GWL_STYLE);
  const bool Visible = (Style & WS_VISIBLE) != 0;
  const bool DialogCache = DialogWnd != nullptr && DialogWnd->SkinData != nullptr &&
                           DialogWnd->SkinData->CacheBmp != nullptr && !DialogWnd->SkinData->CacheBmp->Empty();
  auto OwnPaintOff = [this] {
    if (DialogWnd != nullptr) DialogWnd->OwnClientPaint = false;
  };
  const char* Adapter = nullptr;
  const char* Section = "";
  bool Repaint = true, DialogChild = false;
  TvkSkinParams Params;
  TControl* PanelControl = nullptr;
  int PanelKind = 0;  // 1 "tpanel", 2 "tsilentpaintpanel"
  if (Cls == "static") {
    // The type is the whole type field: SS_SIMPLE and the frames are not icons.
    const LONG Type = Style & SS_TYPEMASK;
    const bool Picture = Type == SS_ICON || Type == SS_BITMAP || Type == SS_ENHMETAFILE;
    if (Picture && (GetWindowLongA(AWnd, GWL_EXSTYLE) & WS_EX_STATICEDGE) != 0) {
      Adapter = "TvkEdgeWnd";
      Section = "EDIT";
    } else if (Picture) {
      Adapter = "TvkIconWnd";
    } else if (IsTextStaticType(Type)) {
      // Rectangles, frames and etched lines carry no text: the system paints them over the dialog's background.
      Adapter = "TvkStaticWnd";
    }
  } else if (Cls == "#32770" || Cls == "shbrowseforfolder") {
    Adapter = "TvkTransPanelWnd";
  } else if (Cls == "tpanel" || Cls == "tsilentpaintpanel") {
    Adapter = "TvkPanelWnd";
    PanelKind = Cls == "tpanel" ? 1 : 2;
    Section = PanelKind == 1 ? "TRANSPARENT" : "GROUPBOX";
    PanelControl = FindControl(AWnd);
    if (PanelKind == 2 && PanelControl != nullptr) PanelControl->SetTag(999);
  } else if (Cls == "edit") {
    OwnPaintOff();
    if (Visible) {
      Adapter = "TvkEditWnd";
      Section = "EDIT";
      Repaint = DialogCache;
      DialogChild = true;
    }
  } else if ((Cls == "button" && (Style & 0xB) != 0xB) || Cls == "tbutton") {
    // The type is the whole type field; a check box with BS_LEFTTEXT or BS_ICON stays a check box.
    const LONG Type = Style & BS_TYPEMASK;
    if (Type == BS_CHECKBOX || Type == BS_AUTOCHECKBOX || Type == BS_RADIOBUTTON || Type == BS_3STATE ||
        Type == BS_AUTO3STATE || Type == BS_AUTORADIOBUTTON) {
      Adapter = "TvkCheckBoxWnd";
    } else if (Type == BS_GROUPBOX) {
      Adapter = "TvkGroupBoxWnd";
      Section = "GROUPBOX";
    } else if (Type >= 12 && Type <= 15) {
      Adapter = "TvkSplitBtnWnd";
    } else {
      Adapter = "TvkBtnWnd";
    }
  } else if (Cls == "combobox" || Cls == "comboboxex32") {
    OwnPaintOff();
    Adapter = "TvkComboBoxWnd";
    Section = "COMBOBOX";
    if (Cls == "combobox") {
      Repaint = DialogCache;
      DialogChild = true;
    }
  } else if (Cls == "combolbox") {
    OwnPaintOff();
    Adapter = "TvkEditWnd";
    Section = "COMBOBOX";
  } else if (Cls == "scrollbar") {
    if ((Style & SBS_SIZEGRIP) != 0) Adapter = "TvkSizerWnd";
  } else if (Cls == "systabcontrol32") {
    if ((Style & TCS_OWNERDRAWFIXED) == 0) {
      Adapter = "TvkTabControlWnd";
      Section = "PAGECONTROL";
    }
  } else if (Cls == "syslistview32") {
    Adapter = "TvkListViewWnd";
    Section = "EDIT";
    DialogChild = true;
  } else if (Cls == "msctls_updown32") {
    Adapter = "TvkSpinWnd";
    Section = "SPEEDBUTTON_SMALL";
  } else if (Cls == "msctls_trackbar32") {
    Adapter = "TvkTrackWnd";
    Section = "TRACKBAR";
  } else if (Cls == "listbox") {
    OwnPaintOff();
    Adapter = "TvkEditWnd";
    Section = "EDIT";
    DialogChild = true;
  } else if (Cls == "link window" || Cls == "syslink") {
    Adapter = "TvkLinkWnd";
  } else if (Cls == "toolbarwindow32") {
    Adapter = "TvkToolBarWnd";
    Section = (Style & TBSTYLE_WRAPABLE) != 0 ? "BAR" : "TRANSPARENT";
  } else if (Cls == "rebarwindow32" || Cls == "universalsearchband" || Cls == "address band root" ||
             Cls == "workerw" || Cls == "search box" || Cls == "travelband" || Cls == "breadcrumb parent") {
    // Bands the parent shows through. A progress bar is none: its bar, which only it paints, is what it shows.
    if (Visible) Adapter = "TvkContainerWnd";
  } else if (Cls == "directuihwnd") {
    RECT R;
    GetWindowRect(AWnd, &R);
    if (R.bottom - R.top == 24) Adapter = "TvkSearchWnd";
  }
  if (Adapter == nullptr) return true;
  Params = DialogParams(Section);
  Params.Control = PanelControl;
  TvkMainWnd* A = AdapterFactory(Adapter, AWnd, M, Params, Repaint);
  if (A == nullptr) return true;
  if (DialogChild) A->DlgMode = true;
  if (auto* Spin = As<TvkSpinWnd>(A)) Spin->LeftIndent = 2;
  if (PanelKind == 1 && A->SkinData != nullptr) {
    if (auto* Panel = As<TWinControl>(A->SkinData->OwnerControl)) {
      for (int i = 0; i < Panel->ControlCount(); ++i) {
        TControl* C = Panel->Controls(i);
        if (auto* L = As<TCustomLabel>(C)) {
          L->Font()->SetColor(M->SkinBaseFontColor());
          L->SetTransparent(true);
        } else if (auto* W = As<TWinControl>(C); W != nullptr && W->HandleAllocated()) {
          ChooseChildAdapter(W->Handle());
          AdoptingDialogChildren = true;
        }
      }
      Panel->SetColor(M->SkinBaseColor());
    }
  } else if (PanelKind == 2 && A->SkinData != nullptr && A->SkinData->OwnerControl != nullptr) {
    if (auto* P = As<TvkPanelWnd>(A)) P->Panel = As<TWinControl>(A->SkinData->OwnerControl);
    A->SkinData->OwnerControl->SetText("");
    A->SkinData->CacheDirty = true;
  }
  Adapters.push_back(A);
  if (Wnd != nullptr) GetWindowGeometry(AWnd, A->ParentWnd, A->WndRect, A->ParentRect, A->WndSize, A->WndPos);
  if (A->SkinData != nullptr) A->SkinData->Updating = false;
  return true;
}

bool TvkProvider::PrintChildWindows(HWND Parent, HDC DC) {
  for (HWND C = GetTopWindow(Parent); C != nullptr; C = GetNextWindow(C, GW_HWNDNEXT)) {
    const int Saved = SaveDC(DC);
    RECT R;
    GetWindowRect(C, &R);
    POINT P{R.left, R.top};
    ScreenToClient(GetParent(C), &P);
    POINT Org;
    GetWindowOrgEx(DC, &Org);
    SetWindowOrgEx(DC, Org.x - P.x, Org.y - P.y, nullptr);
    const LONG Style = GetWindowLongA(C, GWL_STYLE);
    if ((Style & WS_CHILD) != 0 && (Style & WS_VISIBLE) != 0) {
      SendSkinCommand(C, VKCMD_SET_PRINT_DC, reinterpret_cast<LPARAM>(DC));
      SendMessageA(C, WM_PRINT, reinterpret_cast<WPARAM>(DC), 0);
      SendSkinCommand(C, VKCMD_SET_PRINT_DC, 0);
    }
    PrintChildWindows(C, DC);
    RestoreDC(DC, Saved);
  }
  return false;
}

// ---- lookups ----

TvkProvider* FindProviderByWnd(HWND Wnd) {
  if (g_Providers == nullptr || (Application != nullptr && Application->Terminated())) return nullptr;
  for (TvkProvider* P : *g_Providers)
    if (P != nullptr && P->Wnd == Wnd) return P;
  return nullptr;
}

void PurgeDetachedProviders() {
  if (g_Providers == nullptr) return;
  for (int i = static_cast<int>(g_Providers->size()) - 1; i >= 0; --i) {
    TvkProvider* P = (*g_Providers)[i];
    if (P == nullptr || (P->DialogWnd != nullptr && !P->DialogWnd->Detached)) continue;
    // Its dialog went inside one of its adapters' own messages, which reads the adapter again once it returns.
    if (P->Busy()) continue;
    // A form's provider has no dialog adapter, yet its skinner's walker skins the form's buttons: it goes only
    // with the form's window.
    if (P->DialogWnd == nullptr && P->SkinProvider != nullptr && IsWindow(P->Wnd)) continue;
    g_Providers->erase(g_Providers->begin() + i);
    P->Free();
  }
}

int CountVisibleDialogs() {
  PurgeDetachedProviders();
  int N = 0;
  for (TvkProvider* P : ProviderList())
    if (P != nullptr && P->DialogWnd != nullptr && IsWindowVisible(P->Wnd)) ++N;
  return N;
}

bool HasChildOfClass(HWND Parent, const char* LowerClassName_) {
  for (HWND C = GetTopWindow(Parent); C != nullptr; C = GetNextWindow(C, GW_HWNDNEXT))
    if (LowerClassName(C) == LowerClassName_ || HasChildOfClass(C, LowerClassName_)) return true;
  return false;
}

void MakeDialogAdapter(HWND Wnd, TvkDialogWnd*& DialogWnd) {
  TsSkinManager* M = TsSkinManager::DefaultManager();
  if (M != nullptr && M->Active()) {
    if (auto* F = UninitializeFlatSBEntry().Get()) F(Wnd);
    if (DialogWnd != nullptr && DialogWnd->Detached) {
      DialogWnd->Free();
      DialogWnd = nullptr;
    }
    if (DialogWnd == nullptr) {
      DialogWnd = static_cast<TvkDialogWnd*>(
          CreateAdapter(TvkDialogWnd::StaticClassInfo(), Wnd, nullptr, M, DialogParams("DIALOG"), false));
      SetWindowLongA(Wnd, GWL_STYLE, GetWindowLongA(Wnd, GWL_STYLE) & ~DS_NOIDLEMSG);
    }
  } else {
    if (DialogWnd != nullptr) DialogWnd->Free();
    DialogWnd = nullptr;
    if (auto* F = InitializeFlatSBEntry().Get()) F(Wnd);
  }
}

// ---- adoption ----

bool AdoptTopLevelWindow(HWND Wnd, const CREATESTRUCTA* CreateStruct) {
  TsSkinManager* M = TsSkinManager::DefaultManager();
  // Only this thread's windows: Wine names another program's window to the hook when it activates the next
  // window in line after ours; asking it would wait for that program, and its procedure is not ours to take.
  if (M == nullptr || AppGoing() || Wnd == nullptr || GetWindowThreadProcessId(Wnd, nullptr) != GetCurrentThreadId() ||
      WindowHasSkin(Wnd))
    return false;
  std::string ClassName = CreateStruct != nullptr && HIWORD(reinterpret_cast<UINT_PTR>(CreateStruct->lpszClass)) != 0
                              ? std::string(CreateStruct->lpszClass)
                              : std::string();
  if (ClassName.empty()) ClassName = WindowClassNameOf(Wnd);
  const LONG Style = GetWindowLongA(Wnd, GWL_STYLE);
  if ((Style & WS_POPUP) != 0 && (Style & WS_BORDER) == 0) return false;
  if (FindProviderByWnd(Wnd) != nullptr) return false;
  TCustomForm* Form = FindFormByHandle(Wnd, true);
  // A form's window in the making is not its handle yet: the framework names the form whose window it is.
  HWND Created = nullptr;
  if (Form == nullptr && CreateStruct != nullptr)
    if (auto* Making = As<TCustomForm>(CreationControl()); Making != nullptr && !Making->HandleAllocated()) {
      Form = Making;
      Created = Wnd;
    }
  if (Form != nullptr) {
    if ((Form->Tag() & NoSkinTag) == NoSkinTag) return true;
    if (Form->ComponentState().Contains(csLoading) && Form->FormStyle() != fsMDIChild) return true;
    if (IsExcludedWindowClass(ClassName.c_str())) return false;
    if (!M->SkinningRules().Contains(ClassName == "TMessageForm" ? srStdDialogs : srStdForms)) return false;
    auto* P = new TvkProvider(Form);
    AddProvider(P);
    P->AttachFormProvider(Form, Created);
    if (Form->FormStyle() == fsMDIForm)
      for (int c = 0; c < Form->MDIChildCount(); ++c) {
        TCustomForm* Child = Form->MDIChildren(c);
        // a child that asks for no skin keeps that also when its frame is adopted
        if (!Child->HandleAllocated() || WindowHasSkin(Child->Handle()) || (Child->Tag() & NoSkinTag) == NoSkinTag)
          continue;
        auto* CP = new TvkProvider(Child);
        AddProvider(CP);
        CP->AttachFormProvider(Child);
      }
    return true;
  }
  if (ClassName != "#32770" && ClassName != "NativeHWNDHost") return true;
  if (GetParent(Wnd) != nullptr) return true;
  if (!M->SkinningRules().Contains(srStdDialogs)) return false;
  if (CountVisibleDialogs() >= MaxVisibleDialogs && !HasChildOfClass(Wnd, "toolbarwindow32")) return false;
  bool Allow = true;
  if (M->OnSysDlgInit) {
    TvkSysDlgData Data;
    Data.Wnd = Wnd;
    M->OnSysDlgInit(Data, Allow);
  }
  if (!Allow) return false;
  auto* P = new TvkProvider(nullptr);
  P->Wnd = Wnd;
  bool Ok = false;
  try {
    Ok = P->InitDialog(Wnd);
  } catch (...) {
    P->Free();
    throw;
  }
  if (Ok)
    AddProvider(P);
  else
    P->Free();
  return Allow;
}

LRESULT CALLBACK CBTHookProc(int Code, WPARAM WParam, LPARAM LParam) {
  const LRESULT Result = CallNextHookEx(nullptr, Code, WParam, LParam);
  try {
    if (AppGoing()) return Result;
    const HWND Wnd = reinterpret_cast<HWND>(WParam);
    if (Code == HCBT_ACTIVATE) {
      AdoptTopLevelWindow(Wnd, nullptr);
    } else if (Code == HCBT_CREATEWND && Wnd != nullptr) {
      const CREATESTRUCTA* CS = reinterpret_cast<CBT_CREATEWNDA*>(LParam)->lpcs;
      const auto Class = reinterpret_cast<UINT_PTR>(CS->lpszClass);
      if (Class == 0x8002) {
        AdoptTopLevelWindow(Wnd, nullptr);
      } else if (Class == 0x8000) {
        TsSkinManager* M = TsSkinManager::DefaultManager();
        if (M != nullptr && M->SkinnedPopups() && !WindowHasSkin(Wnd)) {
          TvkMainWnd* A = AdapterFactory("TvkMnuWnd", Wnd, M, DialogParams("MAINMENU"), false);
          // menu adapters go to the menus' own list, which frees them once the last popup has closed
          if (auto* Menu = As<TvkMnuWnd>(A))
            MenuWindowAdapters.push_back(Menu);
          else if (A != nullptr)
            g_MenuAdapters.push_back(A);
        }
      } else if (Class >= 0x10000 && WindowClassNameOf(Wnd) != "TPUtilWindow" && CS->dwExStyle != 0 &&
                 CS->style != 0) {
        if (Application->MainForm() != nullptr &&
            (!Application->MainForm()->HandleAllocated() || Application->MainForm()->Handle() == Wnd))
          return Result;
        // a window that is not a child: a form's owner is no parent of it (GetParent would answer the owner
        // of a popup-style form), so secondary forms are skinned before they are first shown
        if ((CS->style & WS_CHILD) == 0) AdoptTopLevelWindow(Wnd, CS);
      }
    }
  } catch (...) {
    if (Application != nullptr) Application->HandleException(nullptr);
  }
  return Result;
}

void FreeHookMenuAdapters() {
  FreeMenuAdapters();
  std::vector<TvkMainWnd*> List;
  List.swap(g_MenuAdapters);
  for (TvkMainWnd* A : List) A->Free();
}

namespace {

// Each retired provider none of whose adapters' messages runs (every one when Final).
void FreeRetiredProviders(bool Final) {
  for (size_t i = 0; i < g_Retired.size();) {
    TvkProvider* P = g_Retired[i];
    if (!Final && P->Busy()) {
      ++i;
      continue;
    }
    g_Retired.erase(g_Retired.begin() + static_cast<std::ptrdiff_t>(i));
    P->Free();
  }
  // those still busy arm it again when their messages return
  if (g_RetiredTimer != 0) {
    KillTimer(nullptr, g_RetiredTimer);
    g_RetiredTimer = 0;
  }
}

void CALLBACK RetiredProvidersTick(HWND, UINT, UINT_PTR, DWORD) {
  try {
    FreeRetiredProviders(false);
  } catch (...) {
    if (Application != nullptr) Application->HandleException(nullptr);
  }
}

void ArmRetiredProvidersTimer() {
  if (!g_Retired.empty() && g_RetiredTimer == 0)
    g_RetiredTimer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, RetiredProvidersTick);
}

}  // namespace

void FreeAllProviders() {
  if (g_Providers == nullptr) return;
  while (!g_Providers->empty()) {
    TvkProvider* P = g_Providers->front();
    g_Providers->erase(g_Providers->begin());
    if (P == nullptr) continue;
    if (!P->Busy()) {
      P->Free();
      continue;
    }
    // Removed inside one of its messages (a dialog's button that turns the skin off): what runs after it reads
    // the adapters again.
    P->Unhook();
    g_Retired.push_back(P);
  }
  delete g_Providers;
  g_Providers = nullptr;
}

int RetiredProviderCount() { return static_cast<int>(g_Retired.size()); }

// ---- unit ----

void DialsInitialize() {
  InstallCtrlAdapterParts();
  DetachedAdapterIdle = ArmRetiredProvidersTimer;
  TvkFormServices& S = FormServices;
  S.CbtHookProc = CBTHookProc;
  S.AdoptTopLevelWindow = [](HWND Wnd) { AdoptTopLevelWindow(Wnd, nullptr); };
  S.FreeMenuWindowAdapters = FreeHookMenuAdapters;
  S.FreeDialogAdapters = FreeAllProviders;
  S.PurgeDetachedProviders = PurgeDetachedProviders;
  S.PrintChildWindows = [](HWND Wnd, HDC DC) { TvkProvider::PrintChildWindows(Wnd, DC); };
  S.DialogAdapterCount = [] {
    int N = 0;
    for (TvkProvider* P : ProviderList())
      if (P != nullptr && P->DialogWnd != nullptr) ++N;
    return N;
  };
  S.DialogAdapterWindow = [](int Index) -> HWND {
    for (TvkProvider* P : ProviderList())
      if (P != nullptr && P->DialogWnd != nullptr && Index-- == 0) return P->Wnd;
    return nullptr;
  };
  S.DialogWindow = [](TvkDialogWnd* A) { return A->CtrlHandle; };
  S.DialogSkinData = [](TvkDialogWnd* A) { return A->SkinData; };
  S.DialogClientOffsetX = [](TvkDialogWnd* A) { return A->ClientOffsetX(); };
  S.DialogClientOffsetY = [](TvkDialogWnd* A) { return A->ClientOffsetY(); };
  S.DialogClientHole = [](TvkDialogWnd* A) { return A->ClientHoleInBorder(); };
  S.DialogCaptionHeight = [](TvkDialogWnd* A, bool UseSkin) { return A->CaptionHeight(UseSkin); };
  S.DialogShadowMargins = [](TvkDialogWnd* A, RECT& Margins) { Margins = A->GetShadowMargins(); };
  // A dialog the skin has left (its border window hidden until the adapter's free) is painted, shaped and pressed
  // through it no more.
  S.PaintDialogFrame = [](TvkDialogWnd* A) {
    if (!A->Detached) A->PaintFrame();
  };
  S.DialogSetShapeRegion = [](TvkDialogWnd* A) { A->SetShapeRegion(false); };
  S.DialogSnapshotForm = [](TvkDialogWnd* A) { return A->Snapshot; };
  S.TakeDialogSnapshotForm = [](TvkDialogWnd* A) {
    TvkGlowForm* F = A->Snapshot;
    A->Snapshot = nullptr;
    A->SnapshotOwned = false;
    return F;
  };
  S.DialogBorderForm = [](TvkDialogWnd* A) { return A->BorderForm; };
  S.FreeDialogBorderForm = [](TvkDialogWnd* A) { A->SetBorderForm(false); };
  S.DialogTitleCodeAt = [](TvkDialogWnd* A, POINT P) { return A->Detached ? 0 : A->TitleCodeAt(TPoint(P.x, P.y)); };
  S.DialogIconRect = [](TvkDialogWnd* A) { return A->IconRect(); };
  S.DialogSetHotButton = [](TvkDialogWnd* A, int Code) {
    if (!A->Detached) A->SetHotButton(Code, true);
  };
  S.DialogMoveFlags = [](TvkDialogWnd* A) { return A->MoveFlags; };
  S.DialogStartBlendedMove = [](TvkDialogWnd* A) { return !A->Detached && A->StartBlendedMove(); };
  S.DialogWindowProc = [](TvkDialogWnd* A, UINT Msg, WPARAM WParam, LPARAM LParam) -> LRESULT {
    return A->Detached ? 0 : A->PerformMessage(Msg, WParam, LParam);
  };
}

void DialsFinalize() {
  FreeHookMenuAdapters();
  FreeAllProviders();
  FreeRetiredProviders(true);
  DetachedAdapterIdle = nullptr;
  ProviderParts.NewCtrlAdapter = nullptr;
  ProviderParts.FreeCtrlAdapter = nullptr;
  ProviderParts.WalkControlsOf = nullptr;
  ProviderParts.AddItem = nullptr;
  ProviderParts.AddWindow = nullptr;
  ProviderParts.IsControlToSkin = nullptr;
  ProviderParts.SendToAdapters = nullptr;
}
