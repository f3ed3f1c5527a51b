// Tab controls, page controls and their pages.
#include <algorithm>

#include "framework/ComCtrls.h"
#include "framework/SysUtils.h"

namespace {
constexpr const char* kIndexError = "List index out of bounds (%d)";

void InsertTabItem(HWND Tab, int Index, const std::string& Text) {
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>(Text.c_str());
  SendMessageA(Tab, TCM_INSERTITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item));
}
}  // namespace

// ===================================================================================================
// TTabStrings

std::string TTabStrings::Get(int Index) const {
  if (Index < 0 || Index >= Count()) Error(kIndexError, Index);
  return FItems[static_cast<size_t>(Index)].text;
}

TObject* TTabStrings::GetObj(int Index) const {
  if (Index < 0 || Index >= Count()) Error(kIndexError, Index);
  return FItems[static_cast<size_t>(Index)].obj;
}

void TTabStrings::PutObj(int Index, TObject* Obj) {
  if (Index < 0 || Index >= Count()) Error(kIndexError, Index);
  FItems[static_cast<size_t>(Index)].obj = Obj;
}

void TTabStrings::Insert(int Index, const std::string& S) {
  if (Index < 0 || Index > Count()) Error(kIndexError, Index);
  FItems.insert(FItems.begin() + Index, Item{S, nullptr});
  if (FControl && FControl->HandleAllocated()) InsertTabItem(FControl->Handle(), Index, S);
  if (FControl) FControl->TabsChanged();
}

void TTabStrings::Put(int Index, const std::string& S) {
  if (Index < 0 || Index >= Count()) Error(kIndexError, Index);
  FItems[static_cast<size_t>(Index)].text = S;
  if (FControl && FControl->HandleAllocated()) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(S.c_str());
    SendMessageA(FControl->Handle(), TCM_SETITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item));
    FControl->TabsChanged();
  }
}

void TTabStrings::Delete(int Index) {
  if (Index < 0 || Index >= Count()) Error(kIndexError, Index);
  FItems.erase(FItems.begin() + Index);
  if (FControl && FControl->HandleAllocated()) SendMessageA(FControl->Handle(), TCM_DELETEITEM, static_cast<WPARAM>(Index), 0);
  if (FControl) FControl->TabsChanged();
}

void TTabStrings::Clear() {
  FItems.clear();
  if (FControl && FControl->HandleAllocated()) SendMessageA(FControl->Handle(), TCM_DELETEALLITEMS, 0, 0);
  if (FControl) FControl->TabsChanged();
}

// ===================================================================================================
// TCustomTabControl

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = {csAcceptsControls, csDoubleClicks};
  FWidth = 289;
  FHeight = 193;
  FTabStop = true;
  FTabs = new TTabStrings(this);
  FCanvas = new TControlCanvas(this);
}

TCustomTabControl::~TCustomTabControl() {
  FTabs->Free();
  FCanvas->Free();
}

void TCustomTabControl::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses(ICC_TAB_CLASSES);
  inherited::CreateParams(Params);
  CreateSubClass(Params, WC_TABCONTROLA);
  Params.Style |= WS_CLIPCHILDREN;
  switch (FTabPosition) {
    case tpTop: break;
    case tpBottom: Params.Style |= TCS_BOTTOM; break;
    case tpLeft: Params.Style |= TCS_VERTICAL; break;
    case tpRight: Params.Style |= TCS_VERTICAL | TCS_RIGHT; break;
  }
  // Tabs at a side need several rows.
  if (FMultiLine || FTabPosition == tpLeft || FTabPosition == tpRight) Params.Style |= TCS_MULTILINE;
  if (FStyle == tsButtons) Params.Style |= TCS_BUTTONS;
  if (FStyle == tsFlatButtons) Params.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
  if (FOwnerDraw) Params.Style |= TCS_OWNERDRAWFIXED;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTabControl::CreateWnd() {
  inherited::CreateWnd();
  SendTabs();
}

void TCustomTabControl::SendTabs() {
  SendMessageA(FHandle, TCM_DELETEALLITEMS, 0, 0);
  for (int i = 0; i < FTabs->Count(); ++i) InsertTabItem(FHandle, i, FTabs->Strings(i));
  SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(FTabIndex), 0);
  Realign();
}

void TCustomTabControl::DestroyWnd() {
  FTabIndex = TabIndex();
  inherited::DestroyWnd();
}

void TCustomTabControl::Loaded() {
  inherited::Loaded();
  if (HandleAllocated()) SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(FTabIndex), 0);
}

int TCustomTabControl::TabIndex() {
  if (HandleAllocated()) return static_cast<int>(SendMessageA(FHandle, TCM_GETCURSEL, 0, 0));
  return FTabIndex;
}

void TCustomTabControl::SetTabIndex(int Value) {
  if (!ComponentState().Contains(csLoading) && (Value < -1 || Value >= FTabs->Count()))
    throw EInvalidOperation(Format(kIndexError, {Value}));
  FTabIndex = Value;
  if (HandleAllocated()) SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TCustomTabControl::SetTabPosition(TTabPosition Value) {
  if (FTabPosition == Value) return;
  FTabPosition = Value;
  RecreateWnd();
}

void TCustomTabControl::SetStyle(TTabStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  RecreateWnd();
}

void TCustomTabControl::SetMultiLine(bool Value) {
  if (FMultiLine == Value) return;
  FMultiLine = Value;
  RecreateWnd();
}

void TCustomTabControl::SetOwnerDraw(bool Value) {
  if (FOwnerDraw == Value) return;
  FOwnerDraw = Value;
  RecreateWnd();
}

RECT TCustomTabControl::DisplayRect() {
  RECT r = ClientRect();
  if (HandleAllocated()) SendMessageA(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r;
}

RECT TCustomTabControl::TabRect(int Index) {
  RECT r{};
  if (HandleAllocated()) SendMessageA(FHandle, TCM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
  return r;
}

void TCustomTabControl::AlignControls(TControl* AControl, RECT& Rect) {
  // Aligned children fill the display area, not the tabs.
  if (HandleAllocated()) {
    RECT d = DisplayRect();
    IntersectRect(&Rect, &Rect, &d);
  }
  inherited::AlignControls(AControl, Rect);
}

void TCustomTabControl::TabsChanged() {
  if (HandleAllocated()) Realign();
}

bool TCustomTabControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TCustomTabControl::Change() {
  FTabIndex = TabIndex();
  if (OnChange) OnChange(this);
}

void TCustomTabControl::DrawTab(int Index, const TRect& Rect, bool Active) {
  if (OnDrawTab) {
    OnDrawTab(this, Index, Rect, Active);
    return;
  }
  FCanvas->FillRect(Rect);
  if (Index >= 0 && Index < FTabs->Count()) {
    RECT r = Rect;
    const std::string text = FTabs->Strings(Index);
    DrawTextA(FCanvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

void TCustomTabControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_NOTIFY:
      switch (TWMNotify(Message).NMHdr()->code) {
        case TCN_SELCHANGING:
          Message.Result = CanChange() ? 0 : 1;
          return;
        case TCN_SELCHANGE:
          Change();
          return;
        default:
          return inherited::Dispatch(Message);
      }
    case CN_DRAWITEM: {
      const DRAWITEMSTRUCT& dis = *TWMDrawItem(Message).DrawItemStruct();
      FCanvas->PaintOn(dis.hDC, [&] {
        FCanvas->Font()->Assign(FFont);
        FCanvas->Brush()->SetColor(FColor);
        DrawTab(static_cast<int>(dis.itemID), dis.rcItem, (dis.itemState & ODS_SELECTED) != 0);
      });
      Message.Result = 1;
      return;
    }
    case WM_SIZE:
    case WM_SETFONT:  // the tabs' height follows the font
    case CM_FONTCHANGED:
      inherited::Dispatch(Message);
      Realign();
      return;
    default:
      inherited::Dispatch(Message);
  }
}

// ===================================================================================================
// TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = {csAcceptsControls, csClickEvents, csSetCaption, csDoubleClicks};
  FAlign = alClient;
  FVisible = false;
}

TTabSheet::~TTabSheet() {
  if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
  if (FPageControl == Value) return;
  if (FPageControl) FPageControl->RemovePage(this);
  FPageControl = nullptr;
  SetParent(Value);
  if (Value) {
    FPageControl = Value;
    Value->InsertPage(this);
  }
}

void TTabSheet::SetParentComponent(TComponent* Value) {
  if (auto* pc = As<TPageControl>(Value))
    SetPageControl(pc);
  else
    inherited::SetParentComponent(Value);
}

int TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  auto& pages = FPageControl->FPages;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int Value) {
  if (FPageControl) FPageControl->MovePage(this, Value);
}

int TTabSheet::TabIndex() const {
  if (!FPageControl || !FTabVisible) return -1;
  int index = 0;
  for (TTabSheet* p : FPageControl->FPages) {
    if (p == this) return index;
    if (p->FTabVisible) ++index;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool Value) {
  if (FTabVisible == Value) return;
  FTabVisible = Value;
  if (FPageControl) FPageControl->UpdateTabs();
}

void TTabSheet::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_TEXTCHANGED && FPageControl) {
    inherited::Dispatch(Message);
    FPageControl->UpdateTabs();
    return;
  }
  inherited::Dispatch(Message);
}

// ===================================================================================================
// TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl() {
  // Pages outliving the control (owned elsewhere) forget it.
  for (TTabSheet* p : FPages) p->FPageControl = nullptr;
}

TTabSheet* TPageControl::Pages(int Index) const {
  if (Index < 0 || Index >= PageCount()) throw EListError(Format(kIndexError, {Index}));
  return FPages[static_cast<size_t>(Index)];
}

void TPageControl::InsertPage(TTabSheet* Page) {
  FPages.push_back(Page);
  UpdateTabs();
  if (!FActivePage && !ComponentState().Contains(csLoading)) SetActivePage(Page);
}

void TPageControl::RemovePage(TTabSheet* Page) {
  auto it = std::find(FPages.begin(), FPages.end(), Page);
  if (it == FPages.end()) return;
  const size_t index = static_cast<size_t>(it - FPages.begin());
  FPages.erase(it);
  Page->FPageControl = nullptr;
  if (ComponentState().Contains(csDestroying)) {
    if (FActivePage == Page) FActivePage = nullptr;
    return;
  }
  UpdateTabs();
  if (FActivePage == Page) {
    FActivePage = nullptr;
    SetActivePage(FPages.empty() ? nullptr : FPages[std::min(index, FPages.size() - 1)]);
  }
}

void TPageControl::MovePage(TTabSheet* Page, int Index) {
  auto it = std::find(FPages.begin(), FPages.end(), Page);
  if (it == FPages.end()) return;
  FPages.erase(it);
  Index = std::clamp(Index, 0, PageCount());
  FPages.insert(FPages.begin() + Index, Page);
  UpdateTabs();
}

void TPageControl::UpdateTabs() {
  FTabs->BeginUpdate();
  FTabs->Clear();
  for (TTabSheet* p : FPages)
    if (p->TabVisible()) FTabs->AddObject(p->Caption(), p);
  FTabs->EndUpdate();
  FTabIndex = FActivePage ? FActivePage->TabIndex() : -1;
  if (HandleAllocated()) SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(FTabIndex), 0);
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int Value) { SetActivePage(Value < 0 ? nullptr : Pages(Value)); }

void TPageControl::SetActivePage(TTabSheet* Page) {
  if (Page && Page->PageControl() != this) return;
  FActivePage = Page;
  FTabIndex = Page ? Page->TabIndex() : -1;
  if (HandleAllocated()) SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(FTabIndex), 0);
  ShowActivePage();
}

void TPageControl::ShowActivePage() {
  if (FActivePage) FActivePage->BringToFront();
  for (TTabSheet* p : FPages) p->SetVisible(p == FActivePage);
}

void TPageControl::Change() {
  // The user picked a tab: its page becomes the active one.
  const int tab = TabIndex();
  if (tab >= 0 && tab < FTabs->Count()) SetActivePage(static_cast<TTabSheet*>(FTabs->Objects(tab)));
  inherited::Change();
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  // A page being freed leaves at once, so another page becomes the active one.
  if (Operation == opRemove)
    if (auto* page = As<TTabSheet>(AComponent); page && page->FPageControl == this) RemovePage(page);
}

void TPageControl::Loaded() {
  inherited::Loaded();
  if (!FActivePage && !FPages.empty()) FActivePage = FPages.front();
  SetActivePage(FActivePage);
}

// ===================================================================================================

static const std::vector<std::string> kTabPositionNames = {"tpTop", "tpBottom", "tpLeft", "tpRight"};
static const std::vector<std::string> kTabStyleNames = {"tsTabs", "tsButtons", "tsFlatButtons"};

IMPLEMENT_CLASS(TTabStrings)
IMPLEMENT_CLASS(TCustomTabControl)

PUBLISHED(TTabControl) {
  for (const char* name : {"Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  p.Object("Tabs", &TTabControl::Tabs, &TTabControl::SetTabs);
  p.Int("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex);
  p.Enum("TabPosition", &TTabControl::TabPosition, &TTabControl::SetTabPosition, kTabPositionNames);
  p.Enum("Style", &TTabControl::Style, &TTabControl::SetStyle, kTabStyleNames);
  p.Bool("MultiLine", &TTabControl::MultiLine, &TTabControl::SetMultiLine);
  p.Bool("OwnerDraw", &TTabControl::OwnerDraw, &TTabControl::SetOwnerDraw);
  p.Event("OnChange", &TTabControl::OnChange);
  p.Event("OnChanging", &TTabControl::OnChanging);
  p.Event("OnDrawTab", &TTabControl::OnDrawTab);
}

PUBLISHED(TTabSheet) {
  for (const char* name : {"Caption", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  p.Int("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex);
  p.Bool("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible);
}

PUBLISHED(TPageControl) {
  for (const char* name : {"Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  p.Object("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
  p.Enum("TabPosition", &TPageControl::TabPosition, &TPageControl::SetTabPosition, kTabPositionNames);
  p.Enum("Style", &TPageControl::Style, &TPageControl::SetStyle, kTabStyleNames);
  p.Bool("MultiLine", &TPageControl::MultiLine, &TPageControl::SetMultiLine);
  p.Bool("OwnerDraw", &TPageControl::OwnerDraw, &TPageControl::SetOwnerDraw);
  p.Event("OnChange", &TPageControl::OnChange);
  p.Event("OnChanging", &TPageControl::OnChanging);
  p.Event("OnDrawTab", &TPageControl::OnDrawTab);
}
