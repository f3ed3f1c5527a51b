#include "skin/forms/vkFormHook.h"

#include <algorithm>
#include <vector>

#include "framework/Forms.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkExcludedClasses.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntUtils.h"
#include "skin/forms/sSkinProvider.h"

namespace {

// Keeps the made skinners and hears when one is freed (a designed skinner may replace a run-time one).
class TvkAdoptedList : public TComponent {
  DECLARE_CLASS(TvkAdoptedList, TComponent)
public:
  TvkAdoptedList() : TComponent(nullptr) {}
  void Add(TsSkinProvider* P) {
    Items.push_back(P);
    P->FreeNotification(this);
  }
  void Clear() {
    for (TsSkinProvider* P : Items) P->RemoveFreeNotification(this);
    Items.clear();
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove)
      Items.erase(std::remove(Items.begin(), Items.end(), static_cast<TsSkinProvider*>(AComponent)), Items.end());
  }
  std::vector<TsSkinProvider*> Items;
};
IMPLEMENT_CLASS(TvkAdoptedList)

TvkAdoptedList* g_List = nullptr;

TvkAdoptedList& List() {
  if (g_List == nullptr) g_List = new TvkAdoptedList();
  return *g_List;
}

bool ApplicationGoing() { return Application == nullptr || Application->ComponentState().Contains(csDestroying); }

}  // namespace

TCustomForm* FindFormByHandle(HWND Wnd, bool MDIChildren) {
  if (Screen == nullptr) return nullptr;
  for (int i = Screen->FormCount() - 1; i >= 0; --i) {
    TCustomForm* F = Screen->Forms(i);
    if (F->ComponentState().Contains(csDestroying) || !F->HandleAllocated()) continue;
    if (F->Handle() == Wnd) return F;
    if (MDIChildren && F->FormStyle() == fsMDIForm)
      for (int c = 0; c < F->MDIChildCount(); ++c)
        if (TCustomForm* Child = F->MDIChildren(c); Child->HandleAllocated() && Child->Handle() == Wnd) return Child;
  }
  return nullptr;
}

void SetUpRuntimeProvider(TsSkinProvider* P, TCustomForm* Form) {
  P->SetUseGlobalColor(false);
  const HWND Wnd = Form->Handle();
  if (IsDwmCompositionActive()) {
    if (P->CtrlAdapter() == nullptr) P->Loaded();
    RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendMessageA(Wnd, WM_NCPAINT, 0, 0);
  } else if (!DebuggerPresentOrUnknown()) {
    UpdateWindow(Wnd);
    RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  }
  P->SetMakeSkinMenu(false);
}

bool AdoptTopLevelForm(HWND Wnd) {
  TsSkinManager* M = TsSkinManager::DefaultManager();
  // Only this thread's windows: Wine names another program's window to the hook when it activates the next window
  // in line after ours, and asking that one whether it has a skin would wait for that program.
  if (M == nullptr || ApplicationGoing() || Wnd == nullptr ||
      GetWindowThreadProcessId(Wnd, nullptr) != GetCurrentThreadId() || WindowHasSkin(Wnd))
    return false;
  const std::string ClassName = WindowClassNameOf(Wnd);
  const LONG Style = GetWindowLongA(Wnd, GWL_STYLE);
  if ((Style & WS_POPUP) != 0 && (Style & WS_BORDER) == 0) return false;
  TCustomForm* Form = FindFormByHandle(Wnd);
  if (Form == nullptr) return false;
  for (TsSkinProvider* P : List().Items)
    if (P->Form() == Form) return false;
  if ((Form->Tag() & NoSkinTag) == NoSkinTag) return true;
  if (Form->ComponentState().Contains(csLoading) && Form->FormStyle() != fsMDIChild) return true;
  if (IsExcludedWindowClass(ClassName.c_str())) return false;
  const TvkSkinningRule Rule = ClassName == "TMessageForm" ? srStdDialogs : srStdForms;
  if (!M->SkinningRules().Contains(Rule)) return false;
  TsSkinProvider* P = TsSkinProvider::CreateRuntime(Form);
  List().Add(P);
  SetUpRuntimeProvider(P, Form);
  return true;
}

LRESULT CALLBACK FormCbtHookProc(int Code, WPARAM WParam, LPARAM LParam) {
  const LRESULT Result = CallNextHookEx(nullptr, Code, WParam, LParam);
  try {
    if (!ApplicationGoing() && Code == HCBT_ACTIVATE) AdoptTopLevelForm(reinterpret_cast<HWND>(WParam));
  } catch (...) {
    if (Application != nullptr) Application->HandleException(nullptr);
  }
  return Result;
}

int AdoptedProviderCount() { return g_List != nullptr ? static_cast<int>(g_List->Items.size()) : 0; }

TsSkinProvider* AdoptedProvider(int Index) {
  return Index >= 0 && Index < AdoptedProviderCount() ? g_List->Items[Index] : nullptr;
}

void ForgetAdoptedProviders() {
  if (g_List == nullptr) return;
  g_List->Clear();
  g_List->Free();
  g_List = nullptr;
}
