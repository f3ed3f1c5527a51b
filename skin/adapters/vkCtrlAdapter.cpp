#include "skin/adapters/vkCtrlAdapter.h"

#include <map>

#include "framework/Buttons.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "skin/adapters/vkButtonWnds.h"
#include "skin/adapters/vkMnuWnd.h"
#include "skin/adapters/vkComboWnds.h"
#include "skin/adapters/vkEdgeWnd.h"
#include "skin/adapters/vkEditWnd.h"
#include "skin/adapters/vkExtGridWnds.h"
#include "skin/adapters/vkListWnds.h"
#include "skin/adapters/vkPanelWnd.h"
#include "skin/adapters/sFrameAdapter.h"
#include "skin/adapters/vkSBWnd.h"
#include "skin/adapters/vkScrollBoxWnds.h"
#include "skin/adapters/vkShellWnds.h"
#include "skin/adapters/vkStatusBarWnd.h"
#include "skin/adapters/vkSmallWnds.h"
#include "skin/adapters/vkSpeedButtonHandler.h"
#include "skin/adapters/vkStaticWnds.h"
#include "skin/adapters/vkTabWnds.h"
#include "skin/adapters/vkToolBarVCLWnd.h"
#include "skin/adapters/vkTrackWnd.h"
#include "skin/controls/sLabel.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderMetrics.h"

IMPLEMENT_CLASS(TvkAdapterItem)
IMPLEMENT_CLASS(TvkCtrlAdapter)
IMPLEMENT_CLASS(TvkGraphItem)

namespace {

constexpr uint8_t kGraphItemType = 230;

constexpr const char* kKindClasses[kThirdPartyKinds] = {
    "TvkEditWnd",     "TvkBtnWnd",        "TvkBitBtnWnd",       "TvkCheckBoxWnd",       "TvkComboBoxWnd",
    "TvkGridWnd",     "TvkGroupBoxWnd",   "TvkListViewWnd",     "TvkPanelWnd",          "TvkTreeViewWnd",
    "TvkWWComboBoxWnd", "TvkGridEhWnd",   "TvkVirtualTreeViewWnd", "TvkPageControlWnd", "TvkTabControlWnd",
    "TvkToolBarVCLWnd", "TvkStatusBarWnd", "TvkEditWnd",        "TvkScrollBoxWnd",      "TvkSpinWnd",
    "TvkSBWnd",       "TvkStaticTextWnd", "TvkNativePaint"};

std::map<std::string, const TClassInfo*>& AdapterClasses() {
  static auto* Map = [] {
    auto* M = new std::map<std::string, const TClassInfo*>;
    for (const TClassInfo* C :
         {TvkEditWnd::StaticClassInfo(), TvkBtnWnd::StaticClassInfo(), TvkBitBtnWnd::StaticClassInfo(), TvkCheckBoxWnd::StaticClassInfo(),
          TvkComboBoxWnd::StaticClassInfo(), TvkGridWnd::StaticClassInfo(), TvkGroupBoxWnd::StaticClassInfo(),
          TvkListViewWnd::StaticClassInfo(), TvkPanelWnd::StaticClassInfo(), TvkTreeViewWnd::StaticClassInfo(),
          TvkPageControlWnd::StaticClassInfo(), TvkTabControlWnd::StaticClassInfo(), TvkSpinWnd::StaticClassInfo(),
          TvkStaticWnd::StaticClassInfo(), TvkIconWnd::StaticClassInfo(), TvkLinkWnd::StaticClassInfo(),
          TvkSizerWnd::StaticClassInfo(), TvkToolBarWnd::StaticClassInfo(), TvkTransPanelWnd::StaticClassInfo(),
          TvkComboListWnd::StaticClassInfo(), TvkContainerWnd::StaticClassInfo(), TvkEdgeWnd::StaticClassInfo(),
          TvkGridEhWnd::StaticClassInfo(), TvkNativePaint::StaticClassInfo(), TvkSBWnd::StaticClassInfo(),
          TvkScrollBoxWnd::StaticClassInfo(), TvkSearchWnd::StaticClassInfo(), TvkSplitBtnWnd::StaticClassInfo(),
          TvkStaticTextWnd::StaticClassInfo(), TvkTrackWnd::StaticClassInfo(),
          TvkVirtualTreeViewWnd::StaticClassInfo(), TvkStatusBarWnd::StaticClassInfo(),
          TvkToolBarVCLWnd::StaticClassInfo(), TvkMnuWnd::StaticClassInfo(), TvkWWComboBoxWnd::StaticClassInfo()})
      (*M)[C->name] = C;
    return M;
  }();
  return *Map;
}

// One guard for every walker: a nested ClearAllItems returns at once.
bool g_ClearingAll = false;

bool HasNoSkinTag(TComponent* C) { return (C->Tag() & NoSkinTag) != 0; }

TsSkinManager* ProviderManager(TsSkinProvider* P) {
  return P != nullptr && P->SkinData() != nullptr ? P->SkinData()->SkinManager() : nullptr;
}

TvkSkinParams NewParams(const std::string& Section) {
  TvkSkinParams R;
  R.SkinSection = Section;
  return R;
}

// OnSkinItem, then OnSkinItemEx; False as soon as one refused by CanBeAdded.
bool AskEvents(TsSkinProvider* P, TComponent* Control, TvkSkinParams& Params, bool& CanBeAdded) {
  CanBeAdded = true;
  if (P->OnSkinItem) {
    P->OnSkinItem(Control, CanBeAdded, Params.SkinSection);
    if (!CanBeAdded) return false;
  }
  if (P->OnSkinItemEx) {
    P->OnSkinItemEx(Control, CanBeAdded, &Params);
    if (!CanBeAdded) return false;
  }
  return true;
}

}  // namespace

const char* AdapterClassNameOfKind(int Kind) {
  return Kind >= 0 && Kind < kThirdPartyKinds ? kKindClasses[Kind] : "";
}

const TClassInfo* FindAdapterClass(const std::string& Name) {
  auto& M = AdapterClasses();
  auto It = M.find(Name);
  return It != M.end() ? It->second : nullptr;
}

void RegisterAdapterClass(const TClassInfo* Cls) {
  if (Cls == nullptr || !Cls->InheritsFrom(TvkMainWnd::StaticClassInfo()))
    throw EInvalidOperation("Not a window adapter class");
  AdapterClasses()[Cls->name] = Cls;
}

TvkMainWnd* DefaultAdapterFactory(const std::string& ClassName, HWND Wnd, TsSkinManager* Manager,
                                  const TvkSkinParams& Params, bool Repaint) {
  const TClassInfo* Cls = FindAdapterClass(ClassName);
  return Cls != nullptr ? CreateAdapter(Cls, Wnd, nullptr, Manager, Params, Repaint) : nullptr;
}

TvkAdapterFactory AdapterFactory = DefaultAdapterFactory;

// ---- items ----

TvkAdapterItem::~TvkAdapterItem() {
  if (Adapter != nullptr) Adapter->Free();
  Adapter = nullptr;
}

void TvkAdapterItem::AttachAdapter(TWinControl* AControl, const TvkSkinParams& Params) {
  TvkSkinParams P = Params;
  TsSkinManager* M = Owner != nullptr ? ProviderManager(Owner->Provider) : nullptr;
  if (HasNoSkinTag(AControl) || !AControl->HandleAllocated() || WindowHasSkin(AControl->Handle()) || M == nullptr)
    return;
  Control = AControl;
  P.Control = AControl;
  TStringList* Lists[kThirdPartyKinds];
  Owner->ChooseLists(Lists);
  CreateAdapterByClassName(Lists, AControl->ClassName(), P);
}

void TvkAdapterItem::CreateAdapterByClassName(TStringList* const* Lists, const std::string& ClassName,
                                              const TvkSkinParams& Params) {
  const int Kind = TvkCtrlAdapter::FindInClassLists(Lists, ClassName);
  if (Kind < 0) return;
  Adapter = AdapterFactory(kKindClasses[Kind], Control->Handle(), ProviderManager(Owner->Provider), Params, true);
  if (Adapter != nullptr) Adapter->CtrlAdapter = Owner;
}

TvkGraphItem::TvkGraphItem(TvkCtrlAdapter* AOwner, TGraphicControl* AControl) : Owner(AOwner), Control(AControl) {
  SkinData = new TsCommonData(this, true);
  SkinData->CtrlType = kGraphItemType;
  // the handler paints with the provider's manager, which need not be the default one
  if (TsSkinManager* M = AOwner != nullptr ? ProviderManager(AOwner->Provider) : nullptr) SkinData->SetSkinManager(M);
}

TvkGraphItem::~TvkGraphItem() {
  if (Handler != nullptr) Handler->Free();
  Handler = nullptr;
  if (SkinData != nullptr) {
    SkinData->DetachOwner();
    delete SkinData;
  }
  SkinData = nullptr;
}

void TvkGraphItem::AttachHandler(TGraphicControl* AControl) {
  if (HasNoSkinTag(AControl)) return;
  Control = AControl;
  SkinData->OwnerControl = AControl;
  SkinData->OwnerObject = AControl;
  Handler = new TvkSpeedButtonHandler;
  try {
    Handler->Create(AControl, SkinData->SkinSection(), SkinData->SkinManager(), SkinData);
  } catch (...) {
    Handler->Free();
    Handler = nullptr;
    throw;
  }
}

// ---- the walker ----

TvkCtrlAdapter::TvkCtrlAdapter(TsSkinProvider* AProvider) : Provider(AProvider) { g_ClearingAll = false; }

TvkCtrlAdapter::~TvkCtrlAdapter() {
  RemoveDeadItems();
  ClearAllItems();
}

void TvkCtrlAdapter::ChooseLists(TStringList** Lists) const {
  TsSkinManager* M = ProviderManager(Provider);
  const bool Own = Provider != nullptr && Provider->HasOwnThirdLists();
  for (int i = 0; i < kThirdPartyKinds; ++i)
    Lists[i] = Own ? Provider->ThirdLists(i) : (M != nullptr ? M->ThirdLists(i) : nullptr);
}

int TvkCtrlAdapter::FindInClassLists(TStringList* const* Lists, const std::string& ClassName) {
  for (int Kind = 0; Kind < kThirdPartyKinds; ++Kind) {
    if (Lists[Kind] == nullptr) continue;
    for (int i = 0; i < Lists[Kind]->Count(); ++i)
      if (Lists[Kind]->Strings(i) == ClassName) return Kind;
  }
  return -1;
}

bool TvkCtrlAdapter::CanSkinByEvents(TComponent* Control) {
  TvkSkinParams P;
  bool CanBeAdded = true;
  AskEvents(Provider, Control, P, CanBeAdded);
  return CanBeAdded && P.UseSkinFontColor;
}

bool TvkCtrlAdapter::IsControlToSkin(TComponent* Control) {
  if (Control == nullptr || HasNoSkinTag(Control)) return false;
  if (auto* W = As<TWinControl>(Control)) {
    if (!W->HandleAllocated() || WindowHasSkin(W->Handle())) return false;
  }
  if (!Control->Is<TGraphicControl>()) {
    if (Control->Is<TCustomFrame>() || Control->Is<TCustomForm>()) return CanSkinByEvents(Control);
    TStringList* Lists[kThirdPartyKinds];
    ChooseLists(Lists);
    return FindInClassLists(Lists, Control->ClassName()) >= 0;
  }
  if (Control->Is<TCustomLabel>()) return CanSkinByEvents(Control);
  if (Control->Is<TSpeedButton>()) {
    TStringList* Lists[kThirdPartyKinds];
    ChooseLists(Lists);
    return FindInClassLists(Lists, Control->ClassName()) >= 0 && CanSkinByEvents(Control);
  }
  return false;
}

void TvkCtrlAdapter::WalkControlsOf(TWinControl* Parent) {
  if (Provider == nullptr || !Provider->AllowSkin3rdParty() || Busy) return;
  TsSkinManager* M = ProviderManager(Provider);
  if (M == nullptr || !M->SkinningRules().Contains(srThirdParty)) return;
  Busy = true;
  if (Parent == nullptr) Parent = Provider->Form();
  if (Parent != nullptr) {
    RemoveDeadItems();
    auto Visit = [this](TComponent* C, bool AsChild) {
      if (IsControlToSkin(C)) {
        if (auto* W = As<TWinControl>(C))
          AttachControl(W, "");
        else if (auto* L = As<TCustomLabel>(C); L != nullptr && (AsChild ? C->Is<TLabel>() : !C->Is<TsCustomLabel>()))
          Provider->SkinLabelFont(L, true);
        else if (AsChild && C->Is<TSpeedButton>())
          AttachGraphicControl(static_cast<TGraphicControl*>(C));
      }
      // The nested walk must run, so the guard is dropped before descending.
      if (auto* W = As<TWinControl>(C); W != nullptr && W->HandleAllocated() && W->Parent() != nullptr) {
        Busy = false;
        WalkControlsOf(W);
      }
    };
    for (int i = 0; i < Parent->ComponentCount(); ++i) Visit(Parent->Components(i), false);
    for (int i = 0; i < Parent->ControlCount(); ++i) Visit(Parent->Controls(i), true);
  }
  Busy = false;
}

void TvkCtrlAdapter::AttachControl(TWinControl* Control, const std::string& Section) {
  if (Provider == nullptr || !Provider->AllowSkin3rdParty() || Control == nullptr || HasNoSkinTag(Control) ||
      Control->Parent() == nullptr || WindowHasSkin(Control->Handle()))
    return;
  TvkSkinParams Params = NewParams(Section);
  bool CanBeAdded = true;
  if (!AskEvents(Provider, Control, Params, CanBeAdded)) return;
  if (Control->Is<TCustomFrame>()) {
    Create<TsFrameAdapter>(Control);
    return;
  }
  if (auto* Form = As<TCustomForm>(Control)) {
    auto* P = new TsSkinProvider(Form);
    P->SkinData()->SetSkinSection(Params.SkinSection.empty() ? "FORM" : Params.SkinSection);
    P->SetUpFormSkinning();
    SetDwmTransitionsForceDisabled(Form->Handle(), true, 0);
    return;
  }
  for (TvkAdapterItem* Item : Items) {
    if (Item == nullptr || Item->Control != Control) continue;
    if (Item->Adapter == nullptr || !Item->Adapter->Detached) return;
    Item->Adapter->Free();
    Item->Adapter = nullptr;
    if (Control->Parent() != nullptr) Item->AttachAdapter(Control, Params);
    return;
  }
  auto* Item = new TvkAdapterItem(this, Control);
  Items.push_back(Item);
  try {
    Item->AttachAdapter(Control, Params);
  } catch (...) {
    Items.pop_back();
    Item->Free();
    throw;
  }
  if (Item->Adapter == nullptr) {
    Items.pop_back();
    Item->Free();
  }
}

void TvkCtrlAdapter::AttachGraphicControl(TGraphicControl* Control) {
  if (Provider == nullptr || !Provider->AllowSkin3rdParty() || Control == nullptr || HasNoSkinTag(Control) ||
      Control->Parent() == nullptr || Control->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_SKINNED), 0) == 1)
    return;
  TvkSkinParams Params = NewParams("SPEEDBUTTON");
  bool CanBeAdded = true;
  // only a refusal counts: the section follows the button's style whatever the handlers set
  if (!AskEvents(Provider, Control, Params, CanBeAdded)) return;
  TvkGraphItem* Item = nullptr;
  for (TvkGraphItem* G : GraphItems)
    if (G != nullptr && G->Control == Control) Item = G;
  const bool Found = Item != nullptr;
  if (!Found) {
    Item = new TvkGraphItem(this, Control);
    GraphItems.push_back(Item);
  }
  auto* Speed = As<TSpeedButton>(Control);
  // a flat speed button is the small kind
  Item->SkinData->SetSkinSection(Speed != nullptr && Speed->Flat() ? "SPEEDBUTTON_SMALL" : "SPEEDBUTTON");
  try {
    if (Found) {
      if (Item->Handler != nullptr && Item->Handler->Released) {
        Item->Handler->Free();
        Item->Handler = nullptr;
        Item->AttachHandler(Control);
      }
      return;
    }
    if (Control->Parent() != nullptr) Item->AttachHandler(Control);
  } catch (...) {
    if (!Found) {
      GraphItems.pop_back();
      Item->Free();
    }
    throw;
  }
  if (Item->Handler == nullptr) {
    GraphItems.pop_back();
    Item->Free();
  }
}

void TvkCtrlAdapter::BroadcastMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
  for (size_t i = 0; i < Items.size(); ++i) {
    TvkAdapterItem* Item = Items[i];
    if (Item != nullptr && Item->Adapter != nullptr && !Item->Adapter->Detached && Item->Control != nullptr &&
        Item->Control->Parent() != nullptr)
      Item->Adapter->PerformMessage(Msg, WParam, LParam);
  }
}

void TvkCtrlAdapter::RemoveDeadItems() {
  for (size_t i = 0; i < Items.size();) {
    TvkAdapterItem* Item = Items[i];
    if (Item == nullptr || Item->Adapter == nullptr || Item->Adapter->Detached) {
      Items.erase(Items.begin() + static_cast<std::ptrdiff_t>(i));
      if (Item != nullptr) Item->Free();
    } else {
      ++i;
    }
  }
  for (size_t i = 0; i < GraphItems.size();) {
    TvkGraphItem* Item = GraphItems[i];
    if (Item == nullptr || Item->Handler == nullptr || Item->Handler->Released) {
      GraphItems.erase(GraphItems.begin() + static_cast<std::ptrdiff_t>(i));
      if (Item != nullptr) Item->Free();
    } else {
      ++i;
    }
  }
}

void TvkCtrlAdapter::ClearAllItems() {
  if (g_ClearingAll) return;
  g_ClearingAll = true;
  const bool Saved = CtrlAdapterReleasingAll;
  CtrlAdapterReleasingAll = true;
  try {
    while (!Items.empty()) {
      TvkAdapterItem* Item = Items.back();
      Items.pop_back();
      if (Item != nullptr) Item->Free();
    }
    const bool Terminating = Application != nullptr && Application->Terminated();
    while (!GraphItems.empty()) {
      TvkGraphItem* Item = GraphItems.back();
      GraphItems.pop_back();
      if (Item == nullptr) continue;
      // the controls may already be gone while the program ends
      if (Terminating) {
        Item->Control = nullptr;
        if (Item->Handler != nullptr) Item->Handler->Control = nullptr;
      }
      Item->Free();
    }
  } catch (...) {
    CtrlAdapterReleasingAll = Saved;
    g_ClearingAll = false;
    throw;
  }
  CtrlAdapterReleasingAll = Saved;
  g_ClearingAll = false;
}

// ---- the form skinner's entries ----

void InstallCtrlAdapterParts() {
  TvkProviderParts& P = ProviderParts;
  P.NewCtrlAdapter = [](TsSkinProvider* Provider) { return new TvkCtrlAdapter(Provider); };
  P.FreeCtrlAdapter = [](TvkCtrlAdapter* A) { A->Free(); };
  P.WalkControlsOf = [](TvkCtrlAdapter* A, TWinControl* Parent) { A->WalkControlsOf(Parent); };
  P.AddItem = [](TvkCtrlAdapter* A, TWinControl* Control) { A->AddItem(Control); };
  P.AddWindow = [](TvkCtrlAdapter* A, HWND Wnd) {
    if (auto* W = As<TWinControl>(FindControl(Wnd)); W != nullptr && A->IsControlToSkin(W)) A->AddItem(W);
  };
  P.IsControlToSkin = [](TvkCtrlAdapter* A, TControl* Control) { return A->IsControlToSkin(Control); };
  P.SendToAdapters = [](TvkCtrlAdapter* A, TMessage& M) { A->BroadcastMessage(M.Msg, M.WParam, M.LParam); };
}
