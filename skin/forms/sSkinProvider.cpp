#include "skin/forms/sSkinProvider.h"

#include <algorithm>

#include "framework/ExtCtrls.h"
#include "framework/SysUtils.h"
#include "skin/core/sConst.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinManagerStartup.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkGlow.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "skin/forms/sSkinProviderUnit.h"
#include "skin/forms/vkTitleBar.h"
#include "skin/graphics/vkBitmap32.h"

TvkProviderParts ProviderParts;

TsSkinProvider* g_MDIMain = nullptr;
TsSkinProvider* g_ActiveMDIChild = nullptr;
bool g_EditorPreview = false;
HWND g_LinkedEditor = nullptr;

namespace {

std::vector<TsSkinProvider*> g_Providers;

}  // namespace

// The form's window method while a provider serves it. When a window method installed after the provider's sits
// on top as the provider goes, that method still calls this link: from then on it forwards to the method the
// provider had replaced, and it is kept until the unit ends.
class TvkFormProcLink {
public:
  TvkFormProcLink(TsSkinProvider* Provider, TWndMethod Saved) : FProvider(Provider), FSaved(std::move(Saved)) {}
  void Call(TMessage& Message) {
    if (FProvider != nullptr)
      FProvider->FormWindowProc(Message);
    else if (FSaved)
      FSaved(Message);
  }
  void Detach() { FProvider = nullptr; }
  TsSkinProvider* Provider() const { return FProvider; }
  const TWndMethod& Saved() const { return FSaved; }

private:
  TsSkinProvider* FProvider;
  TWndMethod FSaved;
};

namespace {

std::vector<TvkFormProcLink*> g_DetachedLinks;

TvkFormProcLink* LinkOf(const TWndMethod& Method) {
  if (Method.SameCode(TWndMethod(static_cast<TvkFormProcLink*>(nullptr), &TvkFormProcLink::Call)))
    return static_cast<TvkFormProcLink*>(Method.Data());
  return nullptr;
}

// The registered title-bar class, when its unit is linked in.
TComponent* LastTitleBarOf(TCustomForm* Form) {
  const TClassInfo* Cls = GetClass("TsTitleBar");
  if (Cls == nullptr || Form == nullptr) return nullptr;
  TComponent* Found = nullptr;
  for (int i = 0; i < Form->ComponentCount(); ++i)
    if (Form->Components(i)->InheritsFrom(Cls)) Found = Form->Components(i);
  return Found;
}

}  // namespace

// ---- published objects ----

PUBLISHED(TvkFormHeader) { p.Int("AdditionalHeight", &TvkFormHeader::AdditionalHeight, &TvkFormHeader::SetAdditionalHeight); }

void TvkFormHeader::SetAdditionalHeight(int Value) {
  if (Value == FAdditionalHeight) return;
  FAdditionalHeight = Value;
  if (FProvider != nullptr && !FProvider->ProviderLoading() && FProvider->SkinData() != nullptr)
    FProvider->SkinData()->RepaintOwner(false);
}

void TvkSysSubMenu::SetPopupMenu(TPopupMenu* Value) {
  if (Value == FPopupMenu) return;
  if (FPopupMenu != nullptr && FProvider != nullptr) FPopupMenu->RemoveFreeNotification(FProvider);
  FPopupMenu = Value;
  // the provider forgets the menu when it goes
  if (Value != nullptr && FProvider != nullptr) Value->FreeNotification(FProvider);
  // the system menu's copy of the old submenu (its items' clicks with it) goes at once
  TsSystemMenu* S = FProvider != nullptr ? FProvider->SystemMenu() : nullptr;
  if (S != nullptr && S->ItemClose() != nullptr && !Destroying(FProvider) && !Destroying(S)) S->RefreshItemStates(true);
}

PUBLISHED(TvkSysSubMenu) {
  p.Str("Caption", &TvkSysSubMenu::Caption, &TvkSysSubMenu::SetCaption);
  p.Enum("Position", &TvkSysSubMenu::Position, &TvkSysSubMenu::SetPosition, {"ipTop", "ipBottom", "ipBeforeClose"})
      .Default(ipBeforeClose);
  p.Object("PopupMenu", &TvkSysSubMenu::PopupMenu, &TvkSysSubMenu::SetPopupMenu);
}

// ---- the provider ----

PUBLISHED(TsSkinProvider) {
  p.Bool("AllowAnimation", &TsSkinProvider::AllowAnimation, &TsSkinProvider::SetAllowAnimation);
  p.Bool("AllowBlendOnMoving", &TsSkinProvider::AllowBlendOnMoving, &TsSkinProvider::SetAllowBlendOnMoving);
  p.Bool("AllowSkin3rdParty", &TsSkinProvider::AllowSkin3rdParty, &TsSkinProvider::SetAllowSkin3rdParty);
  p.Bool("DrawClientArea", &TsSkinProvider::DrawClientArea, &TsSkinProvider::SetDrawClientArea);
  p.Bool("MakeSkinMenu", &TsSkinProvider::MakeSkinMenu, &TsSkinProvider::SetMakeSkinMenu);
  p.Bool("ScreenSnap", &TsSkinProvider::ScreenSnap, &TsSkinProvider::SetScreenSnap);
  p.Bool("AllowExtBorders", &TsSkinProvider::AllowExtBorders, &TsSkinProvider::SetAllowExtBorders);
  p.Bool("DrawNonClientArea", &TsSkinProvider::DrawNonClientArea, &TsSkinProvider::SetDrawNonClientArea);
  p.Bool("ShowAppIcon", &TsSkinProvider::ShowAppIcon, &TsSkinProvider::SetShowAppIcon);
  p.Bool("UseGlobalColor", &TsSkinProvider::UseGlobalColor, &TsSkinProvider::SetUseGlobalColor);
  p.Str("TitleSkin", &TsSkinProvider::TitleSkin, &TsSkinProvider::SetTitleSkin);
  p.Str("MenuLineSkin", &TsSkinProvider::MenuLineSkin, &TsSkinProvider::SetMenuLineSkin);
  p.Int("SnapBuffer", &TsSkinProvider::SnapBuffer, &TsSkinProvider::SetSnapBuffer);
  p.Object("AddedTitle", &TsSkinProvider::AddedTitle);
  p.Enum("CaptionAlignment", &TsSkinProvider::CaptionAlignment, &TsSkinProvider::SetCaptionAlignment,
         {"taLeftJustify", "taRightJustify", "taCenter"});
  p.Int("DisabledBlendValue", &TsSkinProvider::DisabledBlendValue, &TsSkinProvider::SetDisabledBlendValue).Default(255);
  p.Color("DisabledBlendColor", &TsSkinProvider::DisabledBlendColor, &TsSkinProvider::SetDisabledBlendColor);
  p.Object("FormHeader", &TsSkinProvider::FormHeader);
  p.Object("GluedForms", &TsSkinProvider::GluedForms, &TsSkinProvider::SetGluedForms);
  p.Object("SkinData", &TsSkinProvider::SkinData);
  p.Enum("GripMode", &TsSkinProvider::GripMode, &TsSkinProvider::SetGripMode, {"gmNone", "gmRightBottom"});
  p.Enum("ResizeMode", &TsSkinProvider::ResizeMode, &TsSkinProvider::SetResizeMode, {"rmStandard", "rmBorder"});
  p.Object("SysSubMenu", &TsSkinProvider::SysSubMenu);
  p.Object("TitleBar", &TsSkinProvider::TitleBar, &TsSkinProvider::SetTitleBar);
  p.Object("TitleButtons", &TsSkinProvider::TitleButtons, &TsSkinProvider::SetTitleButtons);
  p.Object("TitleIcon", &TsSkinProvider::TitleIcon);
  p.Object("ThirdParty", &TsSkinProvider::ThirdParty);
  p.Event("OnAfterAnimation", &TsSkinProvider::OnAfterAnimation);
  p.Event("OnExtHitTest", &TsSkinProvider::OnExtHitTest);
  p.Event("OnSkinItem", &TsSkinProvider::OnSkinItem);
  p.Event("OnSkinItemEx", &TsSkinProvider::OnSkinItemEx);
}

TsSkinProvider::TsSkinProvider(TComponent* AOwner) : TComponent(AOwner) { Construct(AOwner); }

void TsSkinProvider::Construct(TComponent* AOwner) {
  FThirdParty = new TsThirdPartyList();
  for (auto& List : FThirdLists) {
    List = new TStringList();
    List->SetCaseSensitive(true);
  }
  auto* AForm = As<TCustomForm>(AOwner);
  if (AForm == nullptr) {
    // An inert provider: owned, serving no form; everything it would do checks Form first.
    ShowWarningBox("TsSkinProvider component may be used with forms only!");
    return;
  }
  g_EditorPreview = StartedForEditorPreviews();
  FForm = AForm;
  if (Designing()) {
    for (int i = 0; i < AForm->ComponentCount(); ++i) {
      TComponent* C = AForm->Components(i);
      if (C != this && C->Is<TsSkinProvider>()) {
        FForm = nullptr;
        ShowWarningBox("Only one instance of the TsSkinProvider component is allowed!");
        return;
      }
    }
  }
  // A provider already serving the form: one still waiting for its deferred set-up gives way to this one;
  // any other makes this one secondary.
  auto* Existing = reinterpret_cast<TsSkinProvider*>(
      AForm->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_FORM_SKINNER), 0));
  if (Existing != nullptr && Existing != this && ProviderAlive(Existing)) {
    if (Existing->FDeferredSetUp)
      Existing->Free();
    else
      FSecondary = true;
  }
  if (Designing()) FTitleBar = reinterpret_cast<TsTitleBar*>(LastTitleBarOf(AForm));

  FSkinData = new TsScrollWndData(this, false);
  FSkinData->SetSkinSection("FORM");
  FSkinData->CtrlType = ctForm;
  if (!AForm->ControlState().Empty() && AForm->BorderStyle() != bsNone) FSkinData->Updating = true;
  FAddedTitle = new TvkAddedTitle(this);
  FFormHeader = new TvkFormHeader(this);
  FComposition = IsDwmCompositionActive();
  FTitleIcon = new TsTitleIcon(this);
  FTitleButtons = new TsTitleButtons(this);
  FSysSubMenu = new TvkSysSubMenu(this);
  FGluedForms = new TStringList();
  g_Providers.push_back(this);

  if (Designing() || FSecondary) return;
  AForm->SetDoubleBuffered(false);
  FTitleStrip = new TBitmap();
  FTitleStrip->Canvas()->Lock();
  FMenuLineBg = NewBitmap32(0, 0);
  FRunTimeBitmaps = true;
  FTransparentRects.clear();
  FMenuLineCount = -1;
  FSavedWindowProc = AForm->WindowProc;
  FProcLink = new TvkFormProcLink(this, FSavedWindowProc);
  auto* Link = FProcLink;
  const TWndMethod Mine(Link, &TvkFormProcLink::Call);
  AForm->WindowProc = Mine;
  FSkinData->SavedWindowProc = Mine;
  LinkSkinDataToWindow();
  JoinSkinnedForms(AForm, true);
  FFormActive = true;
}

TsSkinProvider* TsSkinProvider::CreateRuntime(TCustomForm* AForm) {
  auto* P = new TsSkinProvider(AForm);
  P->FDeferredSetUp = P->FForm != nullptr;
  if (P->FForm != nullptr) P->FTitleBar = reinterpret_cast<TsTitleBar*>(LastTitleBarOf(AForm));
  try {
    P->AfterConstruction();
  } catch (...) {
    P->Free();
    throw;
  }
  return P;
}

void TsSkinProvider::AfterConstruction() {
  inherited::AfterConstruction();
  if (FForm == nullptr) return;
  LoadThirdPartyLists();
  TsSkinManager* M = Manager();
  if (!FSecondary && !FDeferredSetUp && M != nullptr && M->Active() && !Designing()) SetUpFormSkinning();
}

void TsSkinProvider::PreDestroy() {
  inherited::PreDestroy();
  // The scroll adapter's window method sits above this provider's: it goes first, so the form's own comes back.
  if (FScrollAdapter != nullptr && ProviderParts.FreeScrollAdapter) ProviderParts.FreeScrollAdapter(FScrollAdapter);
  FScrollAdapter = nullptr;
  if (FAddedTitle != nullptr) {
    if (FButtonHint != nullptr) FreeAndNil(FButtonHint);
    CheckBorderWindow(false);
    FreeAndNil(FAddedTitle);
    if (!Designing()) {
      FreeTitleAnimations();
      // a secondary provider never took the form: it leaves the list of skinned forms to the one that did
      if (FForm != nullptr && !FSecondary) ReleaseFormLink();
      if (FSystemMenu != nullptr) FreeAndNil(FSystemMenu);
      delete FTitleStrip;
      FTitleStrip = nullptr;
      delete FMenuLineBg;
      FMenuLineBg = nullptr;
    }
  }
  HideCaptionCover();
  FreeMenuLoopCover(this);
  if (FVeil != nullptr) FreeAndNil(FVeil);
  if (FSnapshotForm != nullptr) FreeAndNil(FSnapshotForm);
  delete FSnapshotBitmap;
  FSnapshotBitmap = nullptr;
  if (g_ActiveMDIChild == this) g_ActiveMDIChild = nullptr;
  for (TBitmap*& Glow : FCaptionGlow) {
    delete Glow;
    Glow = nullptr;
  }
  if (FTitleIcon != nullptr) FreeAndNil(FTitleIcon);
  if (FTitleButtons != nullptr) FreeAndNil(FTitleButtons);
  if (FSysSubMenu != nullptr) FreeAndNil(FSysSubMenu);
  if (FAdapter != nullptr && ProviderParts.FreeCtrlAdapter) ProviderParts.FreeCtrlAdapter(FAdapter);
  FAdapter = nullptr;
  if (FHintTimer != nullptr) FreeAndNil(FHintTimer);
  // a flight or move fade still held goes before the skin data its timer reads when it goes
  if (FAnimTimer != nullptr) FreeAndNil(FAnimTimer);
  if (FSkinData != nullptr) {
    // the title buttons' glows belong to this skin data: they go before it does
    HideGlowsOf(FSkinData);
    FreeAndNil(FSkinData);
  }
  if (FForm != nullptr) SaveThirdPartyLists();
  for (TStringList*& List : FThirdLists) FreeAndNil(List);
  FreeAndNil(FThirdParty);
  if (FFormHeader != nullptr) FreeAndNil(FFormHeader);
  if (FGluedForms != nullptr) FreeAndNil(FGluedForms);
  g_Providers.erase(std::remove(g_Providers.begin(), g_Providers.end(), this), g_Providers.end());
}

TsSkinProvider::~TsSkinProvider() = default;

// The form gets its own window method back (or the link forwards to it when a later method sits on top), leaves
// the skinned-form list and, for an MDI child with a menu, has the MDI main frame repaint its merged menu line.
void TsSkinProvider::ReleaseFormLink() {
  JoinSkinnedForms(FForm, false);
  if (FProcLink != nullptr) {
    if (LinkOf(FForm->WindowProc) == FProcLink) {
      FForm->WindowProc = FProcLink->Saved();
      delete FProcLink;
    } else {
      FProcLink->Detach();
      g_DetachedLinks.push_back(FProcLink);
    }
    FProcLink = nullptr;
  }
  FSavedWindowProc.Clear();
  if (FSkinData != nullptr && FSkinData->OwnerHandle != nullptr) {
    FSkinData->DetachFromHandle();
    FSkinData->OwnerHandle = nullptr;
  }
  // A child whose window is gone has had the main frame repainted at its window's end already.
  if (FForm->FormStyle() == fsMDIChild && FForm->HandleAllocated() && g_MDIMain != nullptr && g_MDIMain != this &&
      !g_MDIMain->ComponentState().Contains(csDestroying) && g_MDIMain->FForm != nullptr &&
      !g_MDIMain->FForm->ComponentState().Contains(csDestroying) && FormMainMenu(FForm) != nullptr) {
    g_MDIMain->FSkinData->CacheDirty = true;
    g_MDIMain->FMenuLineCount = -1;
    g_MDIMain->PerformFormMessage(WM_NCPAINT, 0, 0);
  }
  if (g_MDIMain == this) {
    SetMDIWrapper(false);
    g_MDIMain = nullptr;
  }
}

// The skin data knows the form's window (its "VKSDATA" property), so that skin commands sent to the window's
// skin data reach the provider.
void TsSkinProvider::LinkSkinDataToWindow() {
  if (FSkinData == nullptr || FForm == nullptr || !FForm->HandleAllocated() || FSecondary || Designing()) return;
  FSkinData->OwnerHandle = FForm->Handle();
  FSkinData->AttachToHandle();
}

bool TsSkinProvider::FormDestroying() const {
  return FForm == nullptr || FForm->ComponentState().Contains(csDestroying) ||
         ComponentState().Contains(csDestroying);
}

HWND TsSkinProvider::FormHandle() const {
  return FForm != nullptr && FForm->HandleAllocated() ? FForm->Handle() : nullptr;
}

bool TsSkinProvider::FormIconic() const {
  const HWND W = FormHandle();
  return W != nullptr && IsIconic(W);
}

bool TsSkinProvider::FormZoomed() const {
  const HWND W = FormHandle();
  return W != nullptr && IsZoomed(W);
}

TsSkinManager* TsSkinProvider::Manager() const { return FSkinData != nullptr ? FSkinData->SkinManager() : nullptr; }

void TsSkinProvider::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  // an animation timer freed by someone else is no longer held
  if (Operation == opRemove && AComponent != nullptr && AComponent == FAnimTimer) FAnimTimer = nullptr;
  if (FSkinData == nullptr || AComponent == this) return;
  if (auto* M = As<TsSkinManager>(AComponent)) {
    if (Operation == opInsert && FSkinData->OwnSkinManager() == nullptr)
      FSkinData->SetSkinManager(M);
    else if (Operation == opRemove && FSkinData->OwnSkinManager() == M)
      FSkinData->SetSkinManager(nullptr);
    return;
  }
  if (Operation == opRemove) {
    // what goes is forgotten: the title bar, the system submenu's popup, a label whose colour is kept
    if (AComponent == FTitleBar) {
      StopItemHint();
      if (FHotElement >= htTitleBarItem) FHotElement = 0;
      FTitleBar = nullptr;
    }
    if (FSysSubMenu != nullptr && AComponent == FSysSubMenu->PopupMenu()) FSysSubMenu->SetPopupMenu(nullptr);
    FLabels.erase(std::remove_if(FLabels.begin(), FLabels.end(), [AComponent](const TLabelColorEntry& E) { return E.Label == AComponent; }),
                  FLabels.end());
  }
  if (const TClassInfo* Bar = GetClass("TsTitleBar"); Bar != nullptr && AComponent->InheritsFrom(Bar)) {
    if (Operation == opInsert && FTitleBar == nullptr) FTitleBar = reinterpret_cast<TsTitleBar*>(AComponent);
    return;
  }
  if (Operation == opInsert && FAdapter != nullptr && ProviderParts.IsControlToSkin && ProviderParts.AddItem)
    if (auto* W = As<TWinControl>(AComponent); W != nullptr && ProviderParts.IsControlToSkin(FAdapter, W))
      ProviderParts.AddItem(FAdapter, W);
}

// ---- small queries ----

bool TsSkinProvider::HasCaption() {
  if (FForm == nullptr) return false;
  if (FForm->BorderStyle() != bsNone) return true;
  const HWND W = FormHandle();
  return W != nullptr && (GetWindowLongA(W, GWL_STYLE) & WS_CHILD) != 0;
}

int TsSkinProvider::GetCaptionBarHeight(bool UseSkin) {
  const HWND W = FormHandle();
  const bool Iconic = W != nullptr && IsIconic(W);
  if (!Iconic && (!HasCaption() || W == nullptr || (GetWindowLongA(W, GWL_STYLE) & WS_CAPTION) != WS_CAPTION))
    return 0;
  const int H = UseSkin ? GetSkinCaptionHeight(FBorderForm) : 0;
  const bool Small = (FForm->BorderStyle() == bsToolWindow || FForm->BorderStyle() == bsSizeToolWin) && !Iconic;
  const int System = Small ? SysSmallCaptionHeight : SysCaptionHeight;
  if (FCaptionZoom) return std::max(H, System + 4);
  return H != 0 ? H : System;
}

int TsSkinProvider::GetFrameWidth(bool UseSkin) {
  return GetWindowFrameWidth(FormHandle(), FBorderForm, UseSkin) + (FForm != nullptr ? FForm->BorderWidth() : 0);
}

int TsSkinProvider::ExtraFrameWidth() {
  if (FBorderForm == nullptr) return 0;
  return GetWindowFrameWidth(FormHandle(), FBorderForm, true) - GetWindowFrameWidth(FormHandle(), FBorderForm, false);
}

TPoint TsSkinProvider::WindowOriginInCache() {
  TRect Mg;
  GetExtBorderMargins(Mg);
  return TPoint(Mg.Left + ExtraFrameWidth(), Mg.Top + GetExtraCaptionHeight(FBorderForm));
}

int TsSkinProvider::ShownScrollBar(bool Vertical) const {
  return FScrollAdapter != nullptr && ProviderParts.ScrollBarShown ? std::max(0, ProviderParts.ScrollBarShown(FScrollAdapter, Vertical)) : 0;
}

int TsSkinProvider::GetBottomFrameHeight(bool UseSkin) {
  return (FBorderForm != nullptr ? 0 : GetWindowFrameWidth(FormHandle(), nullptr, UseSkin)) +
         (FForm != nullptr ? FForm->BorderWidth() : 0);
}

int TsSkinProvider::GetTitleButtonHeight() {
  TsSkinManager* M = Manager();
  if (M == nullptr) return 21;
  const int Index = M->ConstData().TitleMasks[tmClose];
  return M->MaskIndexInRange(Index) ? M->ma()[Index].Height : 21;
}

int TsSkinProvider::GetTitleButtonWidth(const TsCaptionButton& Button) {
  TsSkinManager* M = Manager();
  if (M == nullptr || Button.MaskKind >= tmNone) return 21;
  const int Index = M->ConstData().TitleMasks[Button.MaskKind];
  return M->MaskIndexInRange(Index) ? M->ma()[Index].Width : 21;
}

bool TsSkinProvider::UseExtendedBorders() {
  TsSkinManager* M = Manager();
  return M != nullptr && M->ExtendedBorders() && FAllowExtBorders &&
         (!M->Options()->NativeBordersMaximized() || !FormZoomed());
}

TStringList* TsSkinProvider::ThirdLists(int Index) const {
  return Index >= 0 && Index < kThirdPartyKinds ? FThirdLists[Index] : nullptr;
}

// ---- setters of this unit ----

void TsSkinProvider::SetAllowExtBorders(bool Value) {
  if (Value == FAllowExtBorders) return;
  FAllowExtBorders = Value;
  if (ProviderLoading() || Designing()) return;
  // allowed is not wanted: the manager decides whether extended borders are on at all
  TsSkinManager* M = Manager();
  CheckBorderWindow(M != nullptr && M->ExtendedBorders());
  if (FSkinData != nullptr) FSkinData->CacheDirty = true;
  if (const HWND W = FormHandle()) RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_FRAME);
}

void TsSkinProvider::SetDrawNonClientArea(bool Value) {
  if (Value == FDrawNonClientArea) return;
  FDrawNonClientArea = Value;
  if (Designing() || FForm == nullptr || Manager() == nullptr) return;
  const HWND W = FormHandle();
  if (Value) {
    SetSystemMenuStyle(true);
    if (FForm->Showing() && FSkinData->IsSkinned()) {
      FSkinData->CacheDirty = true;
      InitMenuLine();
      CheckBorderWindow(Manager()->ExtendedBorders());
      if (W != nullptr) RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW | RDW_FRAME);
      UpdateFormScrollAdapter();
    }
    return;
  }
  FreeBorderForm();
  if (W != nullptr) {
    if (TSetWindowThemeProc SetTheme = SetWindowThemeEntry()) SetTheme(W, nullptr, nullptr);
  }
  if (FScrollAdapter != nullptr && ProviderParts.FreeScrollAdapter) ProviderParts.FreeScrollAdapter(FScrollAdapter);
  FScrollAdapter = nullptr;
  if (W != nullptr && FForm->BorderIcons().Contains(biSystemMenu))
    SetWindowLongA(W, GWL_STYLE, GetWindowLongA(W, GWL_STYLE) | WS_SYSMENU);
  if (W != nullptr && FForm->Showing()) SetWindowRgn(W, nullptr, TRUE);
}

void TsSkinProvider::SetShowAppIcon(bool Value) {
  if (Value == FShowAppIcon) return;
  FShowAppIcon = Value;
  if (Designing() || FSkinData == nullptr) return;
  FSkinData->CacheDirty = true;
  if (FForm != nullptr && FForm->Visible()) RedrawFrameNow();
}

void TsSkinProvider::SetUseGlobalColor(bool Value) {
  if (Value == FUseGlobalColor) return;
  FUseGlobalColor = Value;
  if (Value && FForm != nullptr && FSkinData != nullptr && FSkinData->IsSkinned() && !FSkinData->CustomColor())
    FForm->SetColor(Manager()->SkinBaseColor());
}

void TsSkinProvider::SetTitleSkin(const std::string& Value) {
  if (Value == FTitleSkin) return;
  FTitleSkin = Value;
  if (FSkinData == nullptr) return;
  // looked up again at once: nothing else does before the next skin change, and -1 leaves the caption unpainted
  UpdateTitleSectionIndexes();
  FSkinData->CacheDirty = true;
  if (FForm == nullptr || !FForm->Visible()) return;
  if (FBorderForm != nullptr)
    UpdateBorder(true, 255);
  else
    PerformFormMessage(WM_NCPAINT, 0, 0);
}

void TsSkinProvider::SetMenuLineSkin(const std::string& Value) {
  if (Value == FMenuLineSkin) return;
  FMenuLineSkin = Value;
  if (Designing() && FSkinData != nullptr) FSkinData->RepaintOwner(false);
}

void TsSkinProvider::SetResizeMode(TsResizeMode) { FResizeMode = rmStandard; }

// ---- editor link ----

void TsSkinProvider::LinkToSkinEditor(HWND Wnd) {
  if (!g_EditorPreview || g_LinkedEditor != nullptr) return;
  if (Application != nullptr && Application->MainForm() != nullptr) {
    TCustomForm* Main = Application->MainForm();
    if (!Main->HandleAllocated() || Main->Handle() != Wnd) return;
  }
  g_LinkedEditor = Wnd;
  g_EditorPreview = false;
  for (int i = 0; i < 101; ++i) {
    const HWND Editor = FindWindowA(nullptr, "VelkorSkins Editor");
    if (Editor == nullptr) break;
    if (SendMessageA(Editor, 0xA400, 3, reinterpret_cast<LPARAM>(Wnd)) == 1) break;
  }
}

// ---- unit helpers ----

TWinControl* FindControlByDlgID(int ID, TComponent* Parent) {
  if (Parent == nullptr) return nullptr;
  for (int i = 0; i < Parent->ComponentCount(); ++i) {
    TComponent* C = Parent->Components(i);
    if (auto* W = As<TWinControl>(C); W != nullptr && W->HandleAllocated() && GetDlgCtrlID(W->Handle()) == ID)
      return W;
    if (TWinControl* Found = FindControlByDlgID(ID, C)) return Found;
  }
  return nullptr;
}

int SnapDelta(int Pos, int Edge, int Buffer) {
  return Pos >= Edge - Buffer && Pos <= Edge + Buffer ? Pos - Edge : 0;
}

TsSkinProvider* FindOwnerFormProvider(TComponent* Component) {
  TCustomForm* Form = FindOwnerForm(Component);
  if (Form == nullptr) return nullptr;
  return reinterpret_cast<TsSkinProvider*>(Form->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_FORM_SKINNER), 0));
}

TsSkinProvider* MDIMainProvider() { return g_MDIMain; }
TsSkinProvider* ActiveMDIChildProvider() { return g_ActiveMDIChild; }
HWND LinkedEditorWindow() { return g_LinkedEditor; }

void FreeDetachedProcLinks() {
  for (TvkFormProcLink* L : g_DetachedLinks) delete L;
  g_DetachedLinks.clear();
}

bool ProviderAlive(TsSkinProvider* Provider) {
  return Provider != nullptr && std::find(g_Providers.begin(), g_Providers.end(), Provider) != g_Providers.end();
}

void RefreshMDIMainFrame(bool Repaint) {
  TsSkinProvider* P = g_MDIMain;
  if (P == nullptr || P->Form() == nullptr || !P->Form()->HandleAllocated()) return;
  const HWND Main = P->Form()->Handle();
  if (!P->DrawNonClientArea()) {
    RedrawWindow(Main, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    return;
  }
  P->InvalidateFrameCache();
  const HWND Client = FindWindowExA(Main, nullptr, "MDIClient", nullptr);
  if (Client != nullptr)
    RedrawWindow(Client, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME | (Repaint ? RDW_UPDATENOW : 0));
  RedrawWindow(Main, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
  if (Repaint && P->BorderForm() != nullptr && FormServices.UpdateBorderWindow)
    FormServices.UpdateBorderWindow(P->BorderForm(), true, 255);
}

void TsSkinProvider::InvalidateFrameCache() {
  FSkinData->RefreshSectionIndex(false);
  FSkinData->CacheDirty = true;
  for (TBitmap*& Glow : FCaptionGlow) {
    delete Glow;
    Glow = nullptr;
  }
  FFrameDirty = true;
  FMenuLineCount = -1;
}

void TsSkinProvider::SetSkinChangeSnapshot(TBitmap* Snapshot) {
  if (Snapshot == FSnapshotBitmap) return;
  delete FSnapshotBitmap;
  FSnapshotBitmap = Snapshot;
}
