#include "framework/Menus.h"

#include <algorithm>

#include "framework/Forms.h"
#include "framework/GraphicsGdi.h"
#include "framework/SysUtils.h"
#include "framework/UtilWindow.h"

namespace {

int g_menuHandles = 0;

HMENU NewMenuHandle(bool Bar) {
  HMENU h = Bar ? CreateMenu() : CreatePopupMenu();
  if (!h) RaiseLastOSError();
  ++g_menuHandles;
  return h;
}

// The entries go first, so the sub-menus they hold stay with the items that own them.
void FreeMenuHandle(HMENU h) {
  while (GetMenuItemCount(h) > 0)
    if (!RemoveMenu(h, 0, MF_BYPOSITION)) break;
  if (DestroyMenu(h)) --g_menuHandles;
}

// Commands of live items: 1 .. 0xEFFF (the system's commands start at 0xF000).
std::vector<bool> g_commands(0xF000);
UINT g_nextCommand = 1;

UINT AllocateCommand() {
  for (size_t tries = 1; tries < g_commands.size(); ++tries) {
    UINT c = g_nextCommand;
    g_nextCommand = g_nextCommand + 1 < g_commands.size() ? g_nextCommand + 1 : 1;
    if (!g_commands[c]) {
      g_commands[c] = true;
      return c;
    }
  }
  throw EOutOfResources("Too many menu items");
}

void ReleaseCommand(UINT Command) {
  if (Command && Command < g_commands.size()) g_commands[Command] = false;
}

bool Destroying(const TComponent* c) { return c->ComponentState().Contains(csDestroying); }

const char* SpecialKeyName(WORD Key) {
  switch (Key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_ESCAPE: return "Esc";
    case VK_RETURN: return "Enter";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    default: return nullptr;
  }
}

std::string KeyName(WORD Key) {
  if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) return std::string(1, static_cast<char>(Key));
  if (Key >= VK_F1 && Key <= VK_F24) return "F" + IntToStr(Key - VK_F1 + 1);
  if (const char* name = SpecialKeyName(Key)) return name;
  UINT ch = MapVirtualKeyA(Key, MAPVK_VK_TO_CHAR) & 0x7FFF;  // bit 31 marks a dead key
  if (ch > ' ' && ch < 0x7F) return std::string(1, static_cast<char>(ch));
  return "";
}

bool StartsWithText(const std::string& s, size_t at, const char* prefix) {
  size_t n = strlen(prefix);
  return s.size() - at >= n && SameText(s.substr(at, n), prefix);
}

}  // namespace

std::string ShortCutToText(TShortCut ShortCut) {
  std::string name = KeyName(ShortCut & 0xFF);
  if (name.empty()) return "";
  std::string text;
  if (ShortCut & scShift) text += "Shift+";
  if (ShortCut & scCtrl) text += "Ctrl+";
  if (ShortCut & scAlt) text += "Alt+";
  return text + name;
}

TShortCut TextToShortCut(const std::string& Text) {
  TShortCut shift = 0;
  size_t at = 0;
  for (;;) {
    if (StartsWithText(Text, at, "Shift+")) shift |= scShift, at += 6;
    else if (StartsWithText(Text, at, "Ctrl+")) shift |= scCtrl, at += 5;
    else if (StartsWithText(Text, at, "Alt+")) shift |= scAlt, at += 4;
    else break;
  }
  std::string key = Text.substr(at);
  if (key.empty()) return 0;
  for (WORD k = 8; k < 256; ++k)
    if (SameText(KeyName(k), key)) return static_cast<TShortCut>(k | shift);
  return 0;
}

TShortCut ShortCut(WORD Key, TShiftState Shift) {
  TShortCut s = Key & 0xFF;
  if (Shift.Contains(ssShift)) s |= scShift;
  if (Shift.Contains(ssCtrl)) s |= scCtrl;
  if (Shift.Contains(ssAlt)) s |= scAlt;
  return s;
}

int MenuHandleCount() { return g_menuHandles; }

// ===================================================================================================
// TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) { FCommand = AllocateCommand(); }

TMenuItem::~TMenuItem() {
  DestroyHandle();
  ReleaseCommand(FCommand);
  if (FBitmap) FBitmap->Free();
}

void TMenuItem::FreeChildren() {
  while (!FItems.empty()) FItems.back()->Free();
  inherited::FreeChildren();
}

void TMenuItem::Unlink() {
  if (FParent) FParent->Remove(this);
  inherited::Unlink();
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSubMenuImages) SetSubMenuImages(nullptr);
}

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (FParent) FParent->Remove(this);
  if (!Value) return;
  if (auto* menu = As<TMenu>(Value))
    menu->Items()->Add(this);
  else if (auto* item = As<TMenuItem>(Value))
    item->Add(this);
  else
    throw EInvalidOperation("A menu item belongs in a menu or another menu item, not in " + Value->ClassName());
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation("Menu index out of range");
  return FItems[Index];
}

int TMenuItem::IndexOf(TMenuItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(const_cast<TMenuItem*>(this)) : -1; }

void TMenuItem::SetMenuIndex(int Value) {
  if (!FParent) return;
  TMenuItem* parent = FParent;
  int count = parent->Count();
  Value = std::clamp(Value, 0, count - 1);
  if (Value == MenuIndex()) return;
  parent->FItems.erase(parent->FItems.begin() + MenuIndex());
  parent->FItems.insert(parent->FItems.begin() + Value, this);
  if (parent->FHandle) parent->FillEntries();
  parent->MenuChanged(false);
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->FParent) i = i->FParent;
  return i->FMenu;
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) throw EInvalidOperation("Menu item inserted twice");
  if (Index < 0 || Index > Count()) throw EInvalidOperation("Menu index out of range");
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  if (Item->FRadioItem && Item->FChecked) Item->SetChecked(true);  // its group keeps one checked item
  if (FHandle) FillEntries();
  MenuChanged(false);
}

void TMenuItem::Delete(int Index) { Remove(Items(Index)); }

void TMenuItem::Remove(TMenuItem* Item) {
  int i = IndexOf(Item);
  if (i < 0) throw EInvalidOperation("Menu item not found");
  FItems.erase(FItems.begin() + i);
  Item->FParent = nullptr;
  if (Destroying(this)) return;
  if (FHandle) FillEntries();
  MenuChanged(false);
  // Without sub-items the entry holds no sub-menu any more (refilled above), so the handle can go.
  if (FItems.empty() && !FMenu) DestroyHandle();
}

void TMenuItem::Clear() {
  while (!FItems.empty()) FItems.back()->Free();
}

void TMenuItem::Click() {
  if (FEnabled && OnClick) OnClick(this);
}

HMENU TMenuItem::Handle() {
  if (!FHandle && (FMenu || !FItems.empty())) {
    FHandle = NewMenuHandle(FMenu && FMenu->IsMenuBar());
    FillEntries();
  }
  return FHandle;
}

void TMenuItem::DestroyHandle() {
  if (!FHandle) return;
  FreeMenuHandle(FHandle);
  FHandle = nullptr;
}

bool TMenuItem::IsOwnerDraw() const {
  TMenu* menu = GetParentMenu();
  return menu && menu->OwnerDraw();
}

std::vector<TMenuItem*> TMenuItem::ShownItems() const {
  std::vector<TMenuItem*> shown;
  std::vector<int> replaced;
  if (FMerged)
    for (TMenuItem* m : FMerged->FItems)
      if (m->FVisible) replaced.push_back(m->FGroupIndex);
  for (TMenuItem* i : FItems)
    if (i->FVisible && std::find(replaced.begin(), replaced.end(), i->FGroupIndex) == replaced.end())
      shown.push_back(i);
  if (!FMerged) return shown;
  // Each merged item goes before the first own item of a higher group, after merged ones placed there.
  for (TMenuItem* m : FMerged->FItems) {
    if (!m->FVisible) continue;
    auto at = std::find_if(shown.begin(), shown.end(),
                           [&](TMenuItem* i) { return i->FParent == this && i->FGroupIndex > m->FGroupIndex; });
    shown.insert(at, m);
  }
  return shown;
}

void TMenuItem::FillEntries() {
  if (!FHandle) return;
  // Entries the system put there (an MDI frame's list of children, a maximised child's system menu and
  // buttons) carry no item data: they stay, and own entries go after the leading ones.
  auto own = [this](int position) {
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_DATA;
    return GetMenuItemInfoA(FHandle, static_cast<UINT>(position), TRUE, &mi) && mi.dwItemData != 0;
  };
  const int count = GetMenuItemCount(FHandle);
  int leading = 0;
  while (leading < count && !own(leading)) ++leading;
  if (leading == count) leading = 0;
  for (int i = count - 1; i >= 0; --i)
    if (own(i) && !RemoveMenu(FHandle, static_cast<UINT>(i), MF_BYPOSITION)) RaiseLastOSError();
  bool ownerDraw = IsOwnerDraw();
  int position = leading;
  for (TMenuItem* item : ShownItems()) InsertEntry(item, ownerDraw, position++);
}

void TMenuItem::InsertEntry(TMenuItem* Item, bool OwnerDraw, int Position) {
  TMenu* menu = GetParentMenu();
  MENUITEMINFOA mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
  std::string text;
  if (OwnerDraw) {
    mi.fType = MFT_OWNERDRAW;
  } else if (Item->IsLine()) {
    mi.fType = MFT_SEPARATOR;
  } else {
    mi.fType = MFT_STRING;
    text = Item->FCaption;
    if (Item->FShortCut) text += "\t" + ShortCutToText(Item->FShortCut);
    mi.fMask |= MIIM_STRING;
    mi.dwTypeData = text.data();
    mi.cch = static_cast<UINT>(text.size());
  }
  if (Item->FRadioItem) mi.fType |= MFT_RADIOCHECK;
  if (Item->FBreak == mbBreak) mi.fType |= MFT_MENUBREAK;
  if (Item->FBreak == mbBarBreak) mi.fType |= MFT_MENUBARBREAK;
  if (menu && menu->BiDiMode() != bdLeftToRight) {
    mi.fType |= MFT_RIGHTORDER;
    if (FMenu && menu->IsMenuBar()) mi.fType |= MFT_RIGHTJUSTIFY;
  }
  mi.fState = (Item->FChecked ? MFS_CHECKED : 0) | (Item->FEnabled ? 0 : MFS_GRAYED) |
              (Item->FDefault ? MFS_DEFAULT : 0);
  mi.wID = Item->FCommand;
  mi.hSubMenu = Item->FItems.empty() ? nullptr : Item->Handle();
  mi.dwItemData = reinterpret_cast<ULONG_PTR>(Item);
  if (!InsertMenuItemA(FHandle, static_cast<UINT>(Position), TRUE, &mi)) RaiseLastOSError();
}

void TMenuItem::MenuChanged(bool Rebuild) {
  if (Destroying(this)) return;
  if (FParent && FParent->FHandle && !Destroying(FParent)) FParent->FillEntries();
  if (Rebuild && FHandle) FillEntries();
  if (TMenu* menu = GetParentMenu()) menu->MenuChanged(this, Rebuild);
}

void TMenuItem::SetCaption(const std::string& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  MenuChanged(false);
}

void TMenuItem::SetChecked(bool Value) {
  FChecked = Value;
  if (Value && FRadioItem && FParent)
    for (TMenuItem* sibling : FParent->FItems)
      if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex) sibling->FChecked = false;
  MenuChanged(false);
}

void TMenuItem::SetRadioItem(bool Value) {
  if (FRadioItem == Value) return;
  FRadioItem = Value;
  if (Value && FChecked) SetChecked(true);
  MenuChanged(false);
}

void TMenuItem::SetGroupIndex(int Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  if (FRadioItem && FChecked) SetChecked(true);
  MenuChanged(false);
}

void TMenuItem::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  MenuChanged(false);
}

void TMenuItem::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  MenuChanged(false);
}

void TMenuItem::SetDefault(bool Value) {
  if (FDefault == Value) return;
  // One default item per popup.
  if (Value && FParent)
    for (TMenuItem* sibling : FParent->FItems) sibling->FDefault = false;
  FDefault = Value;
  MenuChanged(false);
}

void TMenuItem::SetBreak(TMenuBreak Value) {
  if (FBreak == Value) return;
  FBreak = Value;
  MenuChanged(false);
}

void TMenuItem::SetShortCut(TShortCut Value) {
  if (FShortCut == Value) return;
  FShortCut = Value;
  MenuChanged(false);
}

TBitmap* TMenuItem::Bitmap() {
  if (!FBitmap) FBitmap = new TBitmap();
  return FBitmap;
}

void TMenuItem::SetBitmap(TBitmap* Value) {
  Bitmap()->Assign(Value);
  MenuChanged(false);
}

void TMenuItem::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  MenuChanged(false);
}

void TMenuItem::SetSubMenuImages(TCustomImageList* Value) {
  if (FSubMenuImages == Value) return;
  if (FSubMenuImages) FSubMenuImages->RemoveFreeNotification(this);
  FSubMenuImages = Value;
  if (Value) Value->FreeNotification(this);
  MenuChanged(true);
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
  bool topLevel = FParent && FParent->FMenu && FParent->FMenu->IsMenuBar();
  if (IsLine()) {
    Width = 0;
    Height = GetSystemMetrics(SM_CYMENU) / 2;
  } else {
    std::string text;
    for (size_t i = 0; i < FCaption.size(); ++i) {  // "&&" shows one "&"; a single one marks the access key
      if (FCaption[i] == '&') {
        if (i + 1 >= FCaption.size() || FCaption[i + 1] != '&') continue;
        ++i;
      }
      text += FCaption[i];
    }
    int shortcut = FShortCut ? ACanvas->TextWidth(ShortCutToText(FShortCut)) + 16 : 0;
    Width = ACanvas->TextWidth(text) + shortcut + (topLevel ? 8 : GetSystemMetrics(SM_CXMENUCHECK) * 2 + 8);
    Height = std::max(ACanvas->TextHeight("W") + 4, topLevel ? GetSystemMetrics(SM_CYMENU) - 1 : 0);
  }
  if (OnMeasureItem) OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel) {
  if (OnAdvancedDrawItem)
    OnAdvancedDrawItem(this, ACanvas, ARect, State);
  else if (OnDrawItem)
    OnDrawItem(this, ACanvas, ARect, State.Contains(odSelected));
  else
    DrawPlain(ACanvas, ARect, State, TopLevel);
}

// The look of an owner-drawn item nobody draws: the system colours, a check mark, the text and shortcut.
void TMenuItem::DrawPlain(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel) {
  bool selected = State.Contains(odSelected) || State.Contains(odHotLight);
  ACanvas->Brush()->SetColor(selected ? clHighlight : clMenu);
  ACanvas->FillRect(ARect);
  RECT r = ARect;
  HDC dc = ACanvas->Handle();
  if (IsLine()) {
    r.top += (r.bottom - r.top) / 2;
    DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
    return;
  }
  // DrawText draws the access-key underline the canvas's text calls do not; the DC is given back as it was.
  int saved = SaveDC(dc);
  SelectObject(dc, ACanvas->Font()->Handle());
  SetTextColor(dc, ColorToRGB(!FEnabled ? clGrayText : selected ? clHighlightText : clMenuText));
  SetBkMode(dc, TRANSPARENT);
  UINT flags = DT_SINGLELINE | DT_VCENTER | (State.Contains(odNoAccel) ? DT_HIDEPREFIX : 0);
  if (!TopLevel) {
    int check = GetSystemMetrics(SM_CXMENUCHECK);
    if (FChecked) {
      RECT box{r.left + 2, r.top + (r.bottom - r.top - check) / 2, r.left + 2 + check, 0};
      box.bottom = box.top + check;
      DrawFrameControl(dc, &box, DFC_MENU, FRadioItem ? DFCS_MENUBULLET : DFCS_MENUCHECK);
    }
    r.left += check + 6;
    r.right -= 4;
  } else {
    flags |= DT_CENTER;
  }
  DrawTextA(dc, FCaption.c_str(), static_cast<int>(FCaption.size()), &r, flags);
  if (FShortCut && !TopLevel) {
    std::string text = ShortCutToText(FShortCut);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags | DT_RIGHT);
  }
  RestoreDC(dc, saved);
}

// ===================================================================================================
// TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner) {
  FItems = new TMenuItem(this);
  FItems->FMenu = this;
  FImageChangeLink = new TChangeLink();
  FImageChangeLink->OnChange = TNotifyEvent(this, &TMenu::ImagesChanged);
}

TMenu::~TMenu() { FImageChangeLink->Free(); }

void TMenu::FreeChildren() {
  // The items go with the menu: the root item frees the ones below it.
  FItems->Free();
  inherited::FreeChildren();
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) SetImages(nullptr);
}

void TMenu::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) {
    FImages->UnRegisterChanges(FImageChangeLink);
    FImages->RemoveFreeNotification(this);
  }
  FImages = Value;
  if (Value) {
    Value->RegisterChanges(FImageChangeLink);
    Value->FreeNotification(this);
  }
  if (!Destroying(this)) Rebuild();
}

void TMenu::ImagesChanged(TObject*) { Rebuild(); }

void TMenu::SetOwnerDraw(bool Value) {
  if (FOwnerDraw == Value) return;
  FOwnerDraw = Value;
  Rebuild();
}

void TMenu::SetBiDiMode(TBiDiMode Value) {
  if (FBiDiMode == Value) return;
  FBiDiMode = Value;
  AdjustBiDiBehavior();
}

void TMenu::AdjustBiDiBehavior() { Rebuild(); }

void TMenu::SetWindowHandle(HWND Value) { FWindowHandle = Value; }

// Deepest first, so each entry refers to a sub-menu already refilled.
void TMenu::RefillTree(TMenuItem* Item) {
  for (TMenuItem* child : Item->FItems) RefillTree(child);
  if (Item->FHandle) Item->FillEntries();
}

void TMenu::Rebuild() {
  if (Destroying(this)) return;
  RefillTree(FItems);
  MenuChanged(nullptr, true);
}

void TMenu::MenuChanged(TMenuItem*, bool) {}

TMenuItem* TMenu::FindIn(TMenuItem* Item, UINT_PTR Value, TFindItemKind Kind) {
  bool match = false;
  switch (Kind) {
    case fkCommand: match = Item->FCommand == Value; break;
    case fkHandle: match = reinterpret_cast<UINT_PTR>(Item->FHandle) == Value; break;
    case fkShortCut: match = Item->FShortCut != 0 && Item->FShortCut == Value; break;
  }
  if (match) return Item;
  for (TMenuItem* child : Item->FItems)
    if (TMenuItem* found = FindIn(child, Value, Kind)) return found;
  return nullptr;
}

TMenuItem* TMenu::FindItem(UINT_PTR Value, TFindItemKind Kind) {
  if (!Value) return nullptr;
  if (TMenuItem* found = FindIn(FItems, Value, Kind)) return found;
  return FItems->FMerged ? FindIn(FItems->FMerged, Value, Kind) : nullptr;
}

bool TMenu::DispatchCommand(WORD ACommand) {
  TMenuItem* item = FindItem(ACommand, fkCommand);
  if (!item) return false;
  item->Click();
  return true;
}

bool TMenu::DispatchPopup(HMENU AHandle) {
  TMenuItem* item = FindItem(reinterpret_cast<UINT_PTR>(AHandle), fkHandle);
  if (!item) return false;
  for (int i = 0; i < item->Count(); ++i) item->Items(i)->InitiateAction();
  item->Click();
  return true;
}

bool TMenu::IsShortCut(TMessage& Message) {
  UINT msg = Message.Msg >= CN_BASE ? Message.Msg - CN_BASE : Message.Msg;
  if (msg != WM_KEYDOWN && msg != WM_SYSKEYDOWN) return false;
  WORD key = LOWORD(Message.WParam);
  if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) return false;
  TShortCut shortCut = ::ShortCut(key, KeyDataToShiftState(Message.LParam));
  TMenuItem* item = FindItem(shortCut, fkShortCut);
  if (!item) return false;
  // The parents' popups would have opened on the way to the item: their clicks may update it.
  std::vector<TMenuItem*> parents;
  for (TMenuItem* p = item->Parent(); p && p->Parent(); p = p->Parent()) parents.push_back(p);
  for (auto it = parents.rbegin(); it != parents.rend(); ++it) {
    (*it)->InitiateAction();
    (*it)->Click();
  }
  item = FindItem(shortCut, fkShortCut);
  if (!item || !item->Enabled()) return false;
  item->InitiateAction();
  item->Click();
  return true;
}

namespace {
// A canvas on a DC for one measure or draw call, in the menu font; the DC's state comes back afterwards.
class TMenuItemCanvas {
public:
  explicit TMenuItemCanvas(HDC DC) : dc_(DC), saved_(SaveDC(DC)) {
    canvas_.SetHandle(DC);
    if (Screen) canvas_.Font()->Assign(Screen->MenuFont());
  }
  ~TMenuItemCanvas() {
    canvas_.SetHandle(nullptr);
    RestoreDC(dc_, saved_);
  }
  TCanvas* Canvas() { return &canvas_; }

private:
  HDC dc_;
  int saved_;
  TCanvas canvas_;
};
}  // namespace

bool TMenu::MeasureMenuItem(MEASUREITEMSTRUCT& Item) {
  if (Item.CtlType != ODT_MENU) return false;
  TMenuItem* item = FindItem(Item.itemID, fkCommand);
  if (!item) return false;
  HDC dc = GdiGetDC(nullptr);
  try {
    TMenuItemCanvas canvas(dc);
    int width = static_cast<int>(Item.itemWidth), height = static_cast<int>(Item.itemHeight);
    item->MeasureItem(canvas.Canvas(), width, height);
    Item.itemWidth = static_cast<UINT>(std::max(width, 0));
    Item.itemHeight = static_cast<UINT>(std::max(height, 0));
  } catch (...) {
    GdiReleaseDC(nullptr, dc);
    throw;
  }
  GdiReleaseDC(nullptr, dc);
  return true;
}

bool TMenu::DrawMenuItem(DRAWITEMSTRUCT& Item) {
  if (Item.CtlType != ODT_MENU) return false;
  TMenuItem* item = FindItem(Item.itemID, fkCommand);
  if (!item) return false;
  TMenuItemCanvas canvas(Item.hDC);
  bool topLevel = item->Parent() && item->Parent()->FMenu && item->Parent()->FMenu->IsMenuBar();
  TOwnerDrawState state = TOwnerDrawState::FromRaw(Item.itemState);
  if (item->Default()) state += odDefault;  // not every system reports the default entry
  item->AdvancedDrawItem(canvas.Canvas(), Item.rcItem, state, topLevel);
  return true;
}

// ===================================================================================================
// TMainMenu

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TMainMenu::~TMainMenu() = default;

void TMainMenu::FreeChildren() {
  // Out of any bar and off its window before the items go, so nothing keeps entries of freed menus.
  if (FMergedInto) FMergedInto->Unmerge(this);
  if (FMerged) Unmerge(FMerged);
  if (WindowHandle() && Items()->FHandle && GetMenu(WindowHandle()) == Items()->FHandle)
    ::SetMenu(WindowHandle(), nullptr);
  inherited::FreeChildren();
}

void TMainMenu::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FMerged) Unmerge(FMerged);
  if (AComponent == FMergedInto) FMergedInto = nullptr;
}

void TMainMenu::SetAutoMerge(bool Value) {
  if (FAutoMerge == Value) return;
  FAutoMerge = Value;
  MenuChanged(nullptr, false);
}

void TMainMenu::Merge(TMainMenu* Menu) {
  if (Menu == this) return;
  if (FMerged && FMerged != Menu) Unmerge(FMerged);
  if (Menu) {
    if (Menu->FMergedInto && Menu->FMergedInto != this) Menu->FMergedInto->Unmerge(Menu);
    FMerged = Menu;
    Menu->FMergedInto = this;
    Items()->FMerged = Menu->Items();
    Menu->FreeNotification(this);
    FreeNotification(Menu);
  }
  if (Items()->FHandle) Items()->FillEntries();
  MenuChanged(nullptr, false);
}

void TMainMenu::Unmerge(TMainMenu* Menu) {
  if (!Menu || Menu != FMerged) return;
  FMerged = nullptr;
  Items()->FMerged = nullptr;
  Menu->FMergedInto = nullptr;
  if (Destroying(this)) return;
  if (Items()->FHandle) Items()->FillEntries();
  MenuChanged(nullptr, false);
}

void TMainMenu::MenuChanged(TMenuItem* Source, bool Rebuild) {
  if (Destroying(this)) return;
  // A merged menu's top items are entries of the bar it is merged into.
  if (FMergedInto) {
    if (FMergedInto->Items()->FHandle) FMergedInto->Items()->FillEntries();
    FMergedInto->MenuChanged(Source, Rebuild);
  }
  if (!WindowHandle()) return;
  DrawMenuBar(WindowHandle());
  if (TWinControl* window = FindControl(WindowHandle())) window->Perform(CM_MENUCHANGED, 0, 0);
}

// ===================================================================================================
// Items built in code

TMenuItem* NewItem(const std::string& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled,
                   const TNotifyEvent& AOnClick, int HelpContext, const std::string& AName) {
  auto* item = FreeOnThrow(new TMenuItem(nullptr), [&](TMenuItem* i) { i->SetName(AName); });
  item->SetCaption(ACaption);
  item->SetShortCut(AShortCut);
  item->SetChecked(AChecked);
  item->SetEnabled(AEnabled);
  item->OnClick = AOnClick;
  item->SetHelpContext(HelpContext);
  return item;
}

TMenuItem* NewLine() {
  auto* item = new TMenuItem(nullptr);
  item->SetCaption("-");
  return item;
}

namespace {
template <class M> M* NewMenuWith(TComponent* Owner, const std::string& AName, const std::vector<TMenuItem*>& Items) {
  return FreeOnThrow(new M(Owner), [&](M* menu) {
    menu->SetName(AName);
    for (TMenuItem* item : Items) menu->Items()->Add(item);
  });
}
}  // namespace

TMainMenu* NewMenu(TComponent* Owner, const std::string& AName, const std::vector<TMenuItem*>& Items) {
  return NewMenuWith<TMainMenu>(Owner, AName, Items);
}

TPopupMenu* NewPopupMenu(TComponent* Owner, const std::string& AName, TPopupAlignment Alignment, bool AutoPopup,
                         const std::vector<TMenuItem*>& Items) {
  TPopupMenu* menu = NewMenuWith<TPopupMenu>(Owner, AName, Items);
  menu->SetAlignment(Alignment);
  menu->SetAutoPopup(AutoPopup);
  return menu;
}

// ---- published properties ----
static const std::vector<std::string> kBreakNames = {"mbNone", "mbBreak", "mbBarBreak"};
static const std::vector<std::string> kBiDiModeNames = {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
                                                        "bdRightToLeftReadingOnly"};
static const std::vector<std::string> kAlignmentNames = {"paLeft", "paRight", "paCenter"};
static const std::vector<std::string> kAnimationNames = {"maLeftToRight", "maRightToLeft", "maTopToBottom",
                                                         "maBottomToTop", "maNone"};

PUBLISHED(TMenuItem) {
  p.Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  p.Object("Bitmap", &TMenuItem::Bitmap, &TMenuItem::SetBitmap);
  p.Enum("Break", &TMenuItem::Break, &TMenuItem::SetBreak, kBreakNames);
  p.Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked);
  p.Bool("Default", &TMenuItem::Default, &TMenuItem::SetDefault);
  p.Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled);
  p.Int("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex);
  p.Int("HelpContext", &TMenuItem::HelpContext, &TMenuItem::SetHelpContext);
  p.Str("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  p.Int("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex);
  p.Bool("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem);
  p.Int("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut);
  p.Object("SubMenuImages", &TMenuItem::SubMenuImages, &TMenuItem::SetSubMenuImages);
  p.Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible);
  p.Event("OnClick", &TMenuItem::OnClick);
  p.Event("OnDrawItem", &TMenuItem::OnDrawItem);
  p.Event("OnAdvancedDrawItem", &TMenuItem::OnAdvancedDrawItem);
  p.Event("OnMeasureItem", &TMenuItem::OnMeasureItem);
}

PUBLISHED(TMenu) {
  p.Object("Images", &TMenu::Images, &TMenu::SetImages);
  p.Bool("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw);
  p.Enum("BiDiMode", &TMenu::BiDiMode, &TMenu::SetBiDiMode, kBiDiModeNames);
}

PUBLISHED(TMainMenu) { p.Bool("AutoMerge", &TMainMenu::AutoMerge, &TMainMenu::SetAutoMerge); }

PUBLISHED(TPopupMenu) {
  p.Enum("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment, kAlignmentNames);
  p.Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup);
  p.Set("MenuAnimation", &TPopupMenu::MenuAnimation, &TPopupMenu::SetMenuAnimation, kAnimationNames);
  p.Event("OnPopup", &TPopupMenu::OnPopup);
}
