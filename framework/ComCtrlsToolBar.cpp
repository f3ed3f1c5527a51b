#include "framework/ComCtrlsToolBar.h"

#include <windows.h>
#include <commctrl.h>

#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "framework/TypInfo.h"

namespace {

BYTE StyleBits(TToolButtonStyle S) {
  switch (S) {
    case tbsCheck:
      return BTNS_CHECK;
    case tbsDropDown:
      return BTNS_DROPDOWN;
    case tbsSeparator:
    case tbsDivider:
      return BTNS_SEP;
    default:
      return BTNS_BUTTON;
  }
}

TCustomDrawStage StageOf(DWORD DrawStage) {
  switch (DrawStage & 0xFFFF) {
    case CDDS_POSTPAINT:
      return cdPostPaint;
    case CDDS_PREERASE:
      return cdPreErase;
    case CDDS_POSTERASE:
      return cdPostErase;
    default:
      return cdPrePaint;
  }
}

constexpr UINT kStateBits[] = {CDIS_SELECTED, CDIS_GRAYED,   CDIS_DISABLED, CDIS_CHECKED,      CDIS_FOCUS,
                               CDIS_DEFAULT,  CDIS_HOT,      CDIS_MARKED,   CDIS_INDETERMINATE};
constexpr DWORD kFlagBits[] = {TBCDRF_NOEDGES, TBCDRF_HILITEHOTTRACK, TBCDRF_NOOFFSET, TBCDRF_NOMARK,
                               TBCDRF_NOETCHEDEFFECT};

}  // namespace

TCustomDrawState CustomDrawStateOf(UINT ItemState) {
  TCustomDrawState S;
  for (int I = 0; I < 9; ++I)
    if (ItemState & kStateBits[I]) S += static_cast<TCustomDrawStateItem>(I);
  return S;
}

TTBCustomDrawFlags ToolBarDrawFlagsOf(DWORD Result) {
  TTBCustomDrawFlags F;
  for (int I = 0; I < 5; ++I)
    if (Result & kFlagBits[I]) F += static_cast<TTBCustomDrawFlag>(I);
  return F;
}

DWORD ToolBarDrawResultOf(TTBCustomDrawFlags Flags) {
  DWORD R = 0;
  for (int I = 0; I < 5; ++I)
    if (Flags.Contains(static_cast<TTBCustomDrawFlag>(I))) R |= kFlagBits[I];
  return R;
}

// ---- buttons ----

int TToolButton::Index() const {
  if (FToolBar == nullptr) return -1;
  for (int I = 0; I < FToolBar->ButtonCount(); ++I)
    if (FToolBar->Buttons(I) == this) return I;
  return -1;
}

bool TToolButton::StateBit(BYTE Bit) const {
  if (FToolBar == nullptr || !FToolBar->HandleAllocated()) return (FState & Bit) != 0;
  const LRESULT S = SendMessageA(FToolBar->Handle(), TB_GETSTATE, static_cast<WPARAM>(Index() + 1), 0);
  return S != -1 && (S & Bit) != 0;
}

void TToolButton::SetStateBit(BYTE Bit, bool Value) {
  FState = Value ? static_cast<BYTE>(FState | Bit) : static_cast<BYTE>(FState & ~Bit);
  if (FToolBar == nullptr || !FToolBar->HandleAllocated()) return;
  const HWND W = FToolBar->Handle();
  const LRESULT S = SendMessageA(W, TB_GETSTATE, static_cast<WPARAM>(Index() + 1), 0);
  if (S == -1) return;
  const BYTE New = Value ? static_cast<BYTE>(S | Bit) : static_cast<BYTE>(S & ~Bit);
  SendMessageA(W, TB_SETSTATE, static_cast<WPARAM>(Index() + 1), MAKELPARAM(New, 0));
}

bool TToolButton::Down() const { return StateBit(TBSTATE_CHECKED) || StateBit(TBSTATE_PRESSED); }
void TToolButton::SetDown(bool Value) { SetStateBit(TBSTATE_CHECKED, Value); }
bool TToolButton::Enabled() const { return StateBit(TBSTATE_ENABLED); }
void TToolButton::SetEnabled(bool Value) { SetStateBit(TBSTATE_ENABLED, Value); }
bool TToolButton::Marked() const { return StateBit(TBSTATE_MARKED); }
void TToolButton::SetMarked(bool Value) { SetStateBit(TBSTATE_MARKED, Value); }
bool TToolButton::Indeterminate() const { return StateBit(TBSTATE_INDETERMINATE); }
void TToolButton::SetIndeterminate(bool Value) { SetStateBit(TBSTATE_INDETERMINATE, Value); }

void TToolButton::Changed() {
  if (FToolBar != nullptr && FToolBar->HandleAllocated() && !FToolBar->ComponentState().Contains(csDestroying))
  {
    FToolBar->SaveButtonStates();
    FToolBar->ResendButtons();
  }
}

void TToolButton::SetCaption(const std::string& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  Changed();
}

void TToolButton::SetStyle(TToolButtonStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Changed();
}

void TToolButton::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  Changed();
}

void TToolButton::SetDropdownMenu(TPopupMenu* Value) {
  if (FDropdownMenu == Value) return;
  if (FDropdownMenu != nullptr) FDropdownMenu->RemoveFreeNotification(this);
  FDropdownMenu = Value;
  if (Value != nullptr) Value->FreeNotification(this);
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDropdownMenu) FDropdownMenu = nullptr;
}

void TToolButton::SetParentComponent(TComponent* Value) {
  if (TToolBar* Bar = As<TToolBar>(Value)) Bar->InsertButton(this);
}

void TToolButton::Click() {
  if (OnClick) OnClick(this);
}

static const std::vector<std::string> kToolButtonStyleNames = {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator",
                                                               "tbsDivider"};

PUBLISHED(TToolButton) {
  p.Str("Caption", &TToolButton::Caption, &TToolButton::SetCaption);
  p.Enum("Style", &TToolButton::Style, &TToolButton::SetStyle, kToolButtonStyleNames);
  p.Int("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex);
  p.Bool("Down", &TToolButton::Down, &TToolButton::SetDown);
  p.Bool("Enabled", &TToolButton::Enabled, &TToolButton::SetEnabled);
  p.Bool("Marked", &TToolButton::Marked, &TToolButton::SetMarked);
  p.Bool("Indeterminate", &TToolButton::Indeterminate, &TToolButton::SetIndeterminate);
  p.Object("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu);
  p.Event("OnClick", &TToolButton::OnClick);
}

// ---- the bar ----

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner), FCanvas(new TControlCanvas(this)) {
  SetBounds(0, 0, 150, 29);
  SetControlStyle(ControlStyle() + csAcceptsControls);
}

TToolBar::~TToolBar() {
  FButtons.clear();  // owned by the bar: freed with its components
  FCanvas->Free();
}

TToolButton* TToolBar::AddButton(const std::string& Caption, TToolButtonStyle Style, int ImageIndex) {
  auto* B = new TToolButton(this);
  B->FCaption = Caption;
  B->FStyle = Style;
  B->FImageIndex = ImageIndex;
  InsertButton(B);
  return B;
}

void TToolBar::InsertButton(TToolButton* B) {
  if (B->FToolBar == this) return;
  B->FToolBar = this;
  // A button owned elsewhere (read from a form's description) tells the bar when it goes.
  if (B->Owner() != this) B->FreeNotification(this);
  FButtons.push_back(B);
  if (HandleAllocated()) SendButton(B);
}

void TToolBar::SaveButtonStates() {
  for (TToolButton* B : FButtons) {
    const LRESULT S = SendMessageA(FHandle, TB_GETSTATE, static_cast<WPARAM>(B->Index() + 1), 0);
    if (S != -1) B->FState = static_cast<BYTE>(S);
  }
}

void TToolBar::ResendButtons() {
  while (SendMessageA(FHandle, TB_BUTTONCOUNT, 0, 0) > 0) SendMessageA(FHandle, TB_DELETEBUTTON, 0, 0);
  for (TToolButton* B : FButtons) SendButton(B);
}

void TToolBar::DestroyWnd() {
  SaveButtonStates();
  inherited::DestroyWnd();
}

void TToolBar::Unlink() {
  // Buttons owned elsewhere outlive the bar: they forget it.
  for (TToolButton* B : FButtons) {
    B->FToolBar = nullptr;
    if (B->Owner() != this) B->RemoveFreeNotification(this);
  }
  FButtons.clear();
  inherited::Unlink();
}

bool TToolBar::CheckMenuDropdown(TToolButton* Button) {
  TPopupMenu* Menu = Button != nullptr ? Button->DropdownMenu() : nullptr;
  if (Menu == nullptr) return false;
  RECT R{};
  SendMessageA(FHandle, TB_GETITEMRECT, static_cast<WPARAM>(Button->Index()), reinterpret_cast<LPARAM>(&R));
  POINT P{R.left, R.bottom};
  ::ClientToScreen(FHandle, &P);
  Menu->SetPopupComponent(Button);
  FInMenuLoop = true;
  try {
    Menu->Popup(P.x, P.y);
  } catch (...) {
    FInMenuLoop = false;
    throw;
  }
  FInMenuLoop = false;
  return true;
}

void TToolBar::SendButton(TToolButton* B) {
  TBBUTTON Btn{};
  Btn.iBitmap = B->FImageIndex >= 0 ? B->FImageIndex : I_IMAGENONE;
  Btn.idCommand = B->Index() + 1;
  Btn.fsState = B->FState;
  Btn.fsStyle = StyleBits(B->FStyle);
  Btn.iString = FShowCaptions && !B->FCaption.empty() ? reinterpret_cast<INT_PTR>(B->FCaption.c_str()) : -1;
  SendMessageA(FHandle, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&Btn));
}

void TToolBar::SetImages(TCustomImageList* Value) { SetImageList(FImages, Value, TB_SETIMAGELIST); }

void TToolBar::SetHotImages(TCustomImageList* Value) { SetImageList(FHotImages, Value, TB_SETHOTIMAGELIST); }

void TToolBar::SetDisabledImages(TCustomImageList* Value) {
  SetImageList(FDisabledImages, Value, TB_SETDISABLEDIMAGELIST);
}

void TToolBar::SetImageList(TCustomImageList*& Field, TCustomImageList* Value, UINT Msg) {
  if (Field == Value) return;
  if (Field != nullptr) Field->RemoveFreeNotification(this);
  Field = Value;
  if (Field != nullptr) Field->FreeNotification(this);
  if (HandleAllocated()) SendMessageA(FHandle, Msg, 0, reinterpret_cast<LPARAM>(Field ? Field->Handle() : nullptr));
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  // the window lets go of a freed list too, or it would draw from a destroyed one
  if (AComponent == FImages) SetImages(nullptr);
  if (AComponent == FHotImages) SetHotImages(nullptr);
  if (AComponent == FDisabledImages) SetDisabledImages(nullptr);
  for (auto It = FButtons.begin(); It != FButtons.end(); ++It)
    if (*It == AComponent) {
      const bool Resend = HandleAllocated() && !ComponentState().Contains(csDestroying);
      if (Resend) SaveButtonStates();
      FButtons.erase(It);
      // The window's buttons are numbered by index: they are made again.
      if (Resend) ResendButtons();
      break;
    }
}

void TToolBar::SetShowCaptions(bool Value) {
  if (FShowCaptions == Value) return;
  FShowCaptions = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TToolBar::SetList(bool Value) {
  if (FList == Value) return;
  FList = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TToolBar::SetEdgeBorders(TEdgeBorders Value) {
  if (FEdgeBorders == Value) return;
  FEdgeBorders = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TToolBar::CreateParams(TCreateParams& Params) {
  static bool Initialized = false;
  if (!Initialized) {
    INITCOMMONCONTROLSEX Icc{sizeof Icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&Icc);
    Initialized = true;
  }
  inherited::CreateParams(Params);
  CreateSubClass(Params, TOOLBARCLASSNAMEA);
  Params.Style |= CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN;
  if (FList) Params.Style |= TBSTYLE_LIST;
  if (!FEdgeBorders.Empty()) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TToolBar::CreateWnd() {
  inherited::CreateWnd();
  SendMessageA(FHandle, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  if (FImages != nullptr) SendMessageA(FHandle, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages->Handle()));
  if (FHotImages != nullptr)
    SendMessageA(FHandle, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(FHotImages->Handle()));
  if (FDisabledImages != nullptr)
    SendMessageA(FHandle, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(FDisabledImages->Handle()));
  for (TToolButton* B : FButtons) SendButton(B);
}

void TToolBar::CustomDraw(TMessage& Message) {
  auto* CD = reinterpret_cast<NMTBCUSTOMDRAW*>(Message.LParam);
  const TCustomDrawStage Stage = StageOf(CD->nmcd.dwDrawStage);
  Message.Result = CDRF_DODEFAULT;
  bool DefaultDraw = true;
  if (CD->nmcd.dwDrawStage & CDDS_ITEM) {
    const int Index = static_cast<int>(CD->nmcd.dwItemSpec) - 1;
    if (!OnAdvancedCustomDrawButton || Index < 0 || Index >= ButtonCount()) return;
    TTBCustomDrawFlags Flags;
    FCanvas->PaintOn(CD->nmcd.hdc, [&] {
      OnAdvancedCustomDrawButton(this, Buttons(Index), CustomDrawStateOf(CD->nmcd.uItemState), Stage, Flags,
                                 DefaultDraw);
    });
    Message.Result = DefaultDraw ? ToolBarDrawResultOf(Flags) : CDRF_SKIPDEFAULT;
    return;
  }
  if (OnAdvancedCustomDraw)
    FCanvas->PaintOn(CD->nmcd.hdc, [&] { OnAdvancedCustomDraw(this, TRect(CD->nmcd.rc), Stage, DefaultDraw); });
  if (!DefaultDraw) {
    Message.Result = CDRF_SKIPDEFAULT;
  } else if (Stage == cdPrePaint) {
    if (OnAdvancedCustomDrawButton) Message.Result |= CDRF_NOTIFYITEMDRAW;
    if (OnAdvancedCustomDraw) Message.Result |= CDRF_NOTIFYPOSTPAINT;
  }
}

void TToolBar::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    auto* H = reinterpret_cast<NMHDR*>(Message.LParam);
    if (H->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
      CustomDraw(Message);
      return;
    }
    if (H->code == static_cast<UINT>(TBN_DROPDOWN)) {
      // The button's menu (when it has one) runs to its end here; then the drop-down is over.
      const int Index = reinterpret_cast<NMTOOLBARA*>(Message.LParam)->iItem - 1;
      if (Index >= 0 && Index < ButtonCount()) CheckMenuDropdown(Buttons(Index));
      Message.Result = TBDDRET_DEFAULT;
      PostMessageA(FHandle, CN_DROPDOWNCLOSED, 0, 0);
      return;
    }
  }
  if (Message.Msg == CN_COMMAND) {
    const int Index = static_cast<int>(LOWORD(Message.WParam)) - 1;
    if (Index >= 0 && Index < ButtonCount()) Buttons(Index)->Click();
    Message.Result = 0;
    return;
  }
  TWinControl::Dispatch(Message);
}

const std::vector<std::string> kEdgeBorderNames = {"ebLeft", "ebTop", "ebRight", "ebBottom"};

PUBLISHED(TToolBar) {
  p.Bool("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions);
  p.Bool("List", &TToolBar::List, &TToolBar::SetList);
  p.Set("EdgeBorders", &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders, kEdgeBorderNames);
  p.Object("Images", &TToolBar::Images, &TToolBar::SetImages);
  p.Object("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages);
  p.Object("DisabledImages", &TToolBar::DisabledImages, &TToolBar::SetDisabledImages);
  p.Event("OnAdvancedCustomDraw", &TToolBar::OnAdvancedCustomDraw);
  p.Event("OnAdvancedCustomDrawButton", &TToolBar::OnAdvancedCustomDrawButton);
}
