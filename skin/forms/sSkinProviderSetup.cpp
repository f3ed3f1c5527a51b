// From construction to a skinned form: set-up, preparation, title-button masks, the window's own system-menu
// style, the border window, the child walker, the form's menus, plain labels and the XOR tracking frame.
#include <algorithm>

#include "framework/StdCtrls.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sConst.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderMetrics.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "skin/forms/sSkinProviderUnit.h"

namespace {

bool g_RefreshingMenuBar = false;

// One tracking frame at a time in the process.
struct TTrackingFrame {
  HWND Desktop = nullptr;
  HDC DC = nullptr;
  int SavedDC = 0;
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int GrabX = 0, GrabY = 0;
  int MinHeight = 0, MinWidth = 0;
  bool Moving = false;
  int LastDX = 0, LastDY = 0;
} g_Track;

}  // namespace

void TsSkinProvider::Loaded() {
  inherited::Loaded();
  LoadThirdPartyLists();
  TsSkinManager* M = Manager();
  if (!FSecondary && !FDeferredSetUp && M != nullptr && !Designing() && FSkinData->IsSkinned(true)) PrepareForm();
}

void TsSkinProvider::SetCaptionAlignment(TAlignment Value) {
  if (Value == FCaptionAlignment) return;
  FCaptionAlignment = Value;
  if (FSkinData == nullptr) return;
  FSkinData->CacheDirty = true;
  if (FForm != nullptr && FForm->Visible() && !Designing() && FSkinData->IsSkinned(false)) RedrawFrameNow();
}

void TsSkinProvider::SetTitleButtons(TsTitleButtons* Value) { FTitleButtons->Assign(Value); }

void TsSkinProvider::SetUpFormSkinning() {
  TsSkinManager* M = Manager();
  if (FSecondary || FDeferredSetUp || M == nullptr || FForm == nullptr || !FForm->HandleAllocated() ||
      !M->SkinData().Active)
    return;
  LinkSkinDataToWindow();
  TMainMenu* Menu = FormMainMenu(FForm);
  FSavedMenuOwnerDraw = Menu != nullptr && MenuOwnerDraw(Menu) && FDrawNonClientArea;
  if (FSavedMenuOwnerDraw) FMenuLineReady = true;
  FSkinData->FinishLoading(true);
  UpdateTitleSectionIndexes();
  if (FSystemMenu == nullptr) {
    FSystemMenu = new TsSystemMenu(this);
    FSystemMenu->RefreshItemStates(false);
  }
  SetSystemMenuStyle(true);
  if (FFirstSetUp && M->SkinData().Active) {
    FFirstSetUp = false;
    if (FForm->FormStyle() == fsMDIForm && !Designing()) SetMDIWrapper(true);
  }
  FSkinData->RefreshSectionIndex(true);
  InitTitleBarItems();
  InitTitleButtonIndexes();
  if (FForm->FormStyle() == fsMDIChild && g_MDIMain != nullptr && !Destroying(g_MDIMain) &&
      !Destroying(g_MDIMain->FForm) && FSkinData->IsSkinned(false)) {
    g_MDIMain->FSkinData->CacheDirty = true;
    g_MDIMain->FCaptionStateIndex = -1;
  }
  if (!FForm->ControlState().Contains(csReadingState) && !FForm->ControlState().Contains(csCreating) &&
      !ProviderLoading() && FUseGlobalColor && !FSkinData->CustomColor())
    FForm->SetColor(M->SkinBaseColor());
  if (!FForm->ComponentState().Contains(csLoading) && FForm->Showing()) CheckBorderWindow(M->GetExtendedBorders());
}

void TsSkinProvider::PrepareForm() {
  if (const HWND W = FormHandle()) SetDwmTransitionsForceDisabled(W, FDrawNonClientArea, 0);
  SetUpFormSkinning();
  if (FAdapter == nullptr) CreateAdapter();
  if (FSystemMenu != nullptr) FSystemMenu->RefreshItemStates(false);
  for (int i = 0; i < FTitleButtons->Count(); ++i) {
    TsTitleButton* B = FTitleButtons->Items(i);
    B->Data.MaskKind = B->UseSkinData() ? tmUserButton : tmNone;
  }
  if (FMDIForm != nullptr) FMDIForm->ConnectToClient();
  if (FForm != nullptr && FForm->BorderStyle() == bsSizeToolWin) {
    FAllowBlendOnMoving = false;
    SetUseGlobalColor(true);
  }
}

void TsSkinProvider::InitTitleButtonIndexes() {
  TsSkinManager* M = Manager();
  if (M == nullptr || FForm == nullptr || !M->SkinData().Active) return;
  const TFormBorderStyle BS = FForm->BorderStyle();
  const bool Large = BS == bsSingle || BS == bsSizeable || BS == bsDialog;
  ButtonMin.Code = HTMINBUTTON;
  ButtonMax.Code = HTMAXBUTTON;
  ButtonClose.Code = HTCLOSE;
  ButtonHelp.Code = HTHELP;
  if (Large) {
    ButtonMin.MaskKind = tmMin;
    ButtonMax.MaskKind = tmMax;
    ButtonHelp.MaskKind = tmHelp;
    const bool Others = FSystemMenu != nullptr && (FSystemMenu->VisibleMin() || FSystemMenu->VisibleMax());
    ButtonClose.MaskKind = Others ? tmClose : tmCloseAlone;
  } else {
    ButtonClose.MaskKind = tmSmallClose;
    ButtonMax.MaskKind = tmSmallMax;
    ButtonMin.MaskKind = tmSmallMin;
    ButtonHelp.MaskKind = tmSmallHelp;
  }
  for (TsCaptionButton* B : {&ButtonMin, &ButtonMax, &ButtonHelp, &ButtonClose}) B->LargeCaption = Large;
  if (FForm->FormStyle() == fsMDIForm && !Designing()) {
    ButtonMDIMin.MaskKind = tmSmallMin;
    ButtonMDIRestore.MaskKind = tmSmallNorm;
    ButtonMDIClose.MaskKind = tmSmallClose;
    ButtonMDIMin.Code = htMDIMinimize;
    ButtonMDIRestore.Code = htMDIRestore;
    ButtonMDIClose.Code = htMDIClose;
    for (TsCaptionButton* B : {&ButtonMDIMin, &ButtonMDIRestore, &ButtonMDIClose}) B->LargeCaption = false;
  }
  FTitleButtonMask = M->ConstData().TitleMasks[tmUserButton];
}

void TsSkinProvider::SetSystemMenuStyle(bool Skinned) {
  const HWND W = FormHandle();
  if (W == nullptr || FForm == nullptr) return;
  const LONG Style = WindowStyle(W);
  if (Skinned) {
    if (!FDrawNonClientArea)
      SetWindowLongA(W, GWL_STYLE, Style | WS_SYSMENU);
    else if ((Style & WS_SYSMENU) != 0)
      SetWindowLongA(W, GWL_STYLE, Style & ~WS_SYSMENU);
    return;
  }
  if (FForm->BorderIcons().Contains(biSystemMenu)) {
    SetWindowLongA(W, GWL_STYLE, Style | WS_SYSMENU);
    SendMessageA(W, WM_SETICON, ICON_SMALL, SendMessageA(W, WM_GETICON, ICON_SMALL, 0));
  }
}

bool TsSkinProvider::BorderWindowWanted(bool Allowed) {
  TsSkinManager* M = Manager();
  return Allowed && FForm != nullptr && HasCaption() && FDrawNonClientArea && FForm->Parent() == nullptr &&
         FForm->FormStyle() != fsMDIChild && FAllowExtBorders && M != nullptr &&
         !(FormZoomed() && M->Options()->NativeBordersMaximized());
}

void TsSkinProvider::CheckBorderWindow(bool Allowed) {
  if (!BorderWindowWanted(Allowed) || !ProviderParts.NewBorderForm) {
    FreeBorderForm();
    return;
  }
  if (FBorderForm == nullptr) FBorderForm = ProviderParts.NewBorderForm(this);
  if (FBorderForm == nullptr) return;
  FSkinData->CacheDirty = true;
  UpdateBorder(true, 255);
}

void TsSkinProvider::FreeBorderForm() {
  if (FBorderForm == nullptr) return;
  TvkBorderForm* B = FBorderForm;
  FBorderForm = nullptr;
  if (ProviderParts.FreeBorderForm) ProviderParts.FreeBorderForm(B);
}

void TsSkinProvider::UpdateBorder(bool Repaint, uint8_t Alpha) {
  if (FBorderForm != nullptr && FormServices.UpdateBorderWindow) FormServices.UpdateBorderWindow(FBorderForm, Repaint, Alpha);
}

void TsSkinProvider::SetMDIWrapper(bool Enable) {
  if (!Enable || !ProviderParts.NewMDIForm) {
    if (FMDIForm != nullptr && ProviderParts.FreeMDIForm) ProviderParts.FreeMDIForm(FMDIForm);
    FMDIForm = nullptr;
    return;
  }
  // a client that lost its adapter (its window gave it up) gets a fresh wrapper
  if (FMDIForm != nullptr && FForm != nullptr && FForm->ClientHandle() != nullptr && !WindowHasSkin(FForm->ClientHandle()) &&
      ProviderParts.FreeMDIForm) {
    ProviderParts.FreeMDIForm(FMDIForm);
    FMDIForm = nullptr;
  }
  if (FMDIForm == nullptr) {
    g_MDIMain = this;
    FMDIForm = ProviderParts.NewMDIForm(this);
  }
}

void TsSkinProvider::CreateAdapter() {
  if (Designing() || FSkinData == nullptr || !FSkinData->IsSkinned(false) || !ProviderParts.NewCtrlAdapter) return;
  FAdapter = ProviderParts.NewCtrlAdapter(this);
  if (FAdapter != nullptr && FForm != nullptr && ProviderParts.WalkControlsOf) ProviderParts.WalkControlsOf(FAdapter, FForm);
}

void TsSkinProvider::RemoveAdapter() {
  if (Designing()) return;
  TMessage M{SM_VKCMD, SkinCommandWParam(VKCMD_SKIN_DROPPED), reinterpret_cast<LPARAM>(Manager()), 0};
  SendToAdapters(M);
  if (FAdapter != nullptr && ProviderParts.FreeCtrlAdapter) ProviderParts.FreeCtrlAdapter(FAdapter);
  FAdapter = nullptr;
}

void TsSkinProvider::SendToAdapters(TMessage& Message) {
  if (!Designing() && FAdapter != nullptr && ProviderParts.SendToAdapters) ProviderParts.SendToAdapters(FAdapter, Message);
}

bool TsSkinProvider::RefreshMenuBar() {
  if (g_RefreshingMenuBar) return false;
  TMainMenu* Menu = FormMainMenu(FForm);
  if (Menu == nullptr || MenuItemCount(reinterpret_cast<TMenu*>(Menu)) < 1) return false;
  g_RefreshingMenuBar = true;
  // the guard goes with a failed rebuild too, or no menu bar would ever be refreshed again
  try {
    RebuildMenuBar(Menu);
    FSkinData->LockUpdates();
    FSkinData->UnlockUpdates(false);
  } catch (...) {
    g_RefreshingMenuBar = false;
    throw;
  }
  g_RefreshingMenuBar = false;
  return true;
}

void TsSkinProvider::InitMenuLine() {
  if (FMenuLineReady || !FDrawNonClientArea) return;
  TsSkinManager* M = Manager();
  if (TMainMenu* Menu = FormMainMenu(FForm); Menu != nullptr && M != nullptr && M->SkinableMenus() != nullptr &&
                                              ProviderParts.InitMainMenu)
    ProviderParts.InitMainMenu(M->SkinableMenus(), Menu, FDrawNonClientArea);
  FMenuLineReady = RefreshMenuBar();
}

void TsSkinProvider::SkinFormMenus(bool Skin) {
  TsSkinManager* M = Manager();
  if (Designing() || FForm == nullptr || M == nullptr || M->SkinableMenus() == nullptr || !M->GetIsDefault()) return;
  SkinMenusOf(FForm, M, Skin && FDrawNonClientArea, Skin && M->SkinnedPopups());
}

void TsSkinProvider::SkinLabelFont(TControl* Label, bool Skin) {
  auto* L = As<TCustomLabel>(Label);
  if (L == nullptr) return;
  TsSkinManager* Default = TsSkinManager::DefaultManager();
  const bool TransparentAlways = Default != nullptr && Default->LabelsOptions()->TransparentAlways();
  auto Entry = std::find_if(FLabels.begin(), FLabels.end(), [L](const TLabelColorEntry& E) { return E.Label == L; });
  if (Skin) {
    if ((L->Tag() & NoSkinTag) == NoSkinTag) return;
    if (Entry == FLabels.end()) {
      FLabels.push_back({L->Font()->Color(), L, L->ParentFont(), L->ControlStyle().Contains(csOpaque)});
      // a label of another owner tells its going too
      L->FreeNotification(this);
    }
    if (!L->Transparent() && !TransparentAlways) {
      if (Default != nullptr) L->Font()->SetColor(Default->SkinBaseFontColor());
      return;
    }
    L->SetControlStyle(L->ControlStyle() - csOpaque);
    if (Default != nullptr) L->Font()->SetColor(Default->SkinBaseFontColor());
    return;
  }
  if (Entry == FLabels.end()) return;
  const TLabelColorEntry Saved = *Entry;
  if (!Saved.SavedParentFont) {
    L->Font()->SetColor(Saved.SavedColor);
  } else if (L->ParentFont()) {
    if (L->Parent() != nullptr) L->Font()->SetColor(L->Parent()->Font()->Color());
  } else {
    L->SetParentFont(true);
  }
  *Entry = FLabels.back();
  FLabels.pop_back();
  // the label's own opacity comes back, whatever it was
  L->SetControlStyle(Saved.SavedOpaque ? L->ControlStyle() + csOpaque : L->ControlStyle() - csOpaque);
}

void TsSkinProvider::InvalidateFrame() {
  FSkinData->CacheDirty = true;
  FWholeFrameRepaint = true;
  FCaptionStateIndex = -1;
  PerformFormMessage(WM_NCPAINT, 0, 0);
}

// ---- XOR tracking frame (only while ResizeMode is rmBorder, which its setter never keeps) ----

void TsSkinProvider::BeginTrackingFrame(int X, int Y) {
  if (FResizeMode != rmBorder || FForm == nullptr || !FForm->Enabled()) return;
  FSizingInProgress = true;
  g_Track.Desktop = GetDesktopWindow();
  g_Track.DC = GetWindowDC(g_Track.Desktop);
  g_Track.SavedDC = SaveDC(g_Track.DC);
  SetROP2(g_Track.DC, R2_NOT);
  g_Track.Top = FForm->Top();
  g_Track.Left = FForm->Left();
  if (g_Track.Moving) {
    g_Track.GrabX = X;
    g_Track.GrabY = Y;
    DrawTrackingFrame(g_Track.Left, g_Track.Top);
  } else {
    g_Track.MinHeight = FForm->Constraints()->MinHeight();
    g_Track.MinWidth = FForm->Constraints()->MinWidth();
    g_Track.Bottom = g_Track.Top + FForm->Height();
    g_Track.Right = g_Track.Left + FForm->Width();
    DrawTrackingFrame(0, 0);
  }
}

void TsSkinProvider::DrawTrackingFrame(int DX, int DY) {
  if (FResizeMode != rmBorder || g_Track.DC == nullptr || FForm == nullptr) return;
  int OX = 0, OY = 0;
  if (FForm->FormStyle() == fsMDIChild && g_MDIMain != nullptr && g_MDIMain->FForm != nullptr) {
    TsSkinProvider* P = g_MDIMain;
    TCustomForm* F = P->FForm;
    OX = F->Left() + P->GetFrameWidth(true) + F->BorderWidth() + 1;
    OY = F->Top() + 2 * (P->FBorderForm != nullptr ? 0 : P->GetFrameWidth(true)) + P->GetCaptionBarHeight(true) +
         (P->HasMenuLine() ? P->MenuLineHeight() * P->GetMenuLineCount() : 0) + F->BorderWidth() - 2;
  }
  TRect R = g_Track.Moving ? TRect{DX, DY, DX + FForm->Width(), DY + FForm->Height()}
                           : TRect{g_Track.Left, g_Track.Top, g_Track.Right, g_Track.Bottom};
  g_Track.LastDX = DX;
  g_Track.LastDY = DY;
  POINT Pts[5] = {{R.Left + OX, R.Top + OY}, {R.Right + OX, R.Top + OY}, {R.Right + OX, R.Bottom + OY},
                  {R.Left + OX, R.Bottom + OY}, {R.Left + OX, R.Top + OY}};
  Polyline(g_Track.DC, Pts, 5);
}

void TsSkinProvider::EndTrackingFrame() {
  if (FResizeMode != rmBorder || FForm == nullptr) return;
  ReleaseCapture();
  FSizingInProgress = false;
  if (g_Track.DC != nullptr) {
    DrawTrackingFrame(g_Track.LastDX, g_Track.LastDY);
    RestoreDC(g_Track.DC, g_Track.SavedDC);
    ReleaseDC(g_Track.Desktop, g_Track.DC);
    g_Track.DC = nullptr;
  }
  const HWND W = FormHandle();
  if (g_Track.Moving)
    MoveWindow(W, g_Track.LastDX, g_Track.LastDY, FForm->Width(), FForm->Height(), TRUE);
  else if (!FSizingCancelled)
    MoveWindow(W, g_Track.Left, g_Track.Top, g_Track.Right - g_Track.Left, g_Track.Bottom - g_Track.Top, TRUE);
  FSizingCancelled = false;
}
