#include "skin/forms/sSkinProviderSysMenu.h"

#include <windows.h>

#include <memory>

#include "framework/SysUtils.h"
#include "skin/core/sConst.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"

IMPLEMENT_CLASS(TsCustomSysMenu)
IMPLEMENT_CLASS(TsSystemMenu)

namespace {
// Names of system menus are unique in the process: the tick alone repeats within one tick.
int g_MenuCounter = 0;
}  // namespace

TsSystemMenu::TsSystemMenu(TComponent* AOwner) : TsCustomSysMenu(AOwner) {
  FProvider = As<TsSkinProvider>(AOwner);
  FForm = FProvider != nullptr ? FProvider->Form() : nullptr;
  SetName("vkSysMenu" + IntToStr(static_cast<int>(GetTickCount())) + "_" + IntToStr(++g_MenuCounter));
  RebuildItems();
}

HMENU TsSystemMenu::WindowMenu() const {
  return FForm != nullptr && FForm->HandleAllocated() ? GetSystemMenu(FForm->Handle(), FALSE) : nullptr;
}

bool TsSystemMenu::SystemMenuAllowed() const { return FForm != nullptr && FForm->BorderIcons().Contains(biSystemMenu); }

bool TsSystemMenu::Framed() const {
  return FForm != nullptr && (FForm->BorderStyle() == bsSingle || FForm->BorderStyle() == bsSizeable);
}

bool TsSystemMenu::IsMDIChild() const { return FForm != nullptr && FForm->FormStyle() == fsMDIChild; }

bool TsSystemMenu::Iconic() const { return FForm != nullptr && FForm->HandleAllocated() && IsIconic(FForm->Handle()); }

bool TsSystemMenu::VisibleClose() {
  if (!SystemMenuAllowed()) return false;
  if (HMENU H = WindowMenu()) return GetMenuState(H, SC_CLOSE, MF_BYCOMMAND) != static_cast<UINT>(-1);
  return true;
}

bool TsSystemMenu::EnabledClose() {
  if (HMENU H = WindowMenu()) {
    const UINT State = GetMenuState(H, SC_CLOSE, MF_BYCOMMAND);
    return State != static_cast<UINT>(-1) && (State & MF_DISABLED) == 0;
  }
  return SystemMenuAllowed();
}

bool TsSystemMenu::VisibleMax() {
  return SystemMenuAllowed() && (Iconic() || IsMDIChild() || (Framed() && FForm->BorderIcons().Contains(biMaximize)));
}

bool TsSystemMenu::VisibleMin() {
  return SystemMenuAllowed() && (Iconic() || IsMDIChild() || (Framed() && FForm->BorderIcons().Contains(biMinimize)));
}

bool TsSystemMenu::EnabledMax() {
  return FForm != nullptr && (IsMDIChild() || Framed()) && FForm->BorderIcons().Contains(biMaximize);
}

bool TsSystemMenu::EnabledMin() {
  return FForm != nullptr && FForm->BorderIcons().Contains(biMinimize) &&
         (!Iconic() || (Application != nullptr && Application->MainForm() == FForm));
}

bool TsSystemMenu::EnabledRestore() {
  return FForm != nullptr && ((FForm->BorderIcons().Contains(biMaximize) && FForm->WindowState() != wsNormal) ||
                              FForm->WindowState() == wsMinimized);
}

bool TsSystemMenu::VisibleRestore() { return SystemMenuAllowed() && (IsMDIChild() || Framed()); }

bool TsSystemMenu::EnabledMove() { return FForm != nullptr && FForm->WindowState() != wsMaximized; }

bool TsSystemMenu::VisibleSize() {
  if (FForm == nullptr) return false;
  const TFormBorderStyle BS = FForm->BorderStyle();
  return IsMDIChild() || (BS != bsNone && BS != bsDialog && BS != bsToolWindow);
}

bool TsSystemMenu::EnabledSize() { return FForm != nullptr && FForm->BorderStyle() != bsSingle && !Iconic(); }

TMenuItem* TsSystemMenu::AddCommand(const std::string& Caption, const std::string& Name, UINT Command,
                                    TNotifyEvent Click) {
  TMenuItem* Item = NewItem(Caption, 0, false, true, Click, 0, Name);
  Item->SetTag(static_cast<int>(Command));
  Items()->Add(Item);
  return Item;
}

TMenuItem* TsSystemMenu::AddLine(const std::string& Name) {
  TMenuItem* Item = NewLine();
  Item->SetName(Name);
  Items()->Add(Item);
  return Item;
}

void TsSystemMenu::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  for (TMenuItem** Item : {&FSubMenuItem, &FItemMove, &FItemSize, &FItemClose, &FItemRestore, &FItemMinimize,
                           &FItemMaximize})
    if (*Item == AComponent) *Item = nullptr;
}

void TsSystemMenu::SendCommand(UINT Command) {
  if (FForm != nullptr && FForm->HandleAllocated()) SendMessageA(FForm->Handle(), WM_SYSCOMMAND, Command, 0);
}

void TsSystemMenu::RestoreClick(TObject*) {
  SendCommand(SC_RESTORE);
  RefreshItemStates(false);
}

void TsSystemMenu::MoveClick(TObject*) { SendCommand(SC_MOVE); }

void TsSystemMenu::SizeClick(TObject*) { SendCommand(SC_SIZE); }

void TsSystemMenu::MinimizeClick(TObject*) {
  // the guard keeps the provider from animating a minimise it did not start from its own button
  if (FProvider != nullptr) FProvider->FMinimizingGuard = true;
  try {
    SendCommand(SC_MINIMIZE);
  } catch (...) {
    if (FProvider != nullptr) FProvider->FMinimizingGuard = false;
    throw;
  }
  if (FProvider != nullptr) {
    FProvider->FMinimizingGuard = false;
    if (FProvider->SystemMenu() != nullptr) FProvider->SystemMenu()->RefreshItemStates(false);
  }
}

void TsSystemMenu::MaximizeClick(TObject*) {
  SendCommand(SC_MAXIMIZE);
  RefreshItemStates(false);
}

void TsSystemMenu::CloseClick(TObject*) { SendCommand(SC_CLOSE); }

void TsSystemMenu::ExtraClick(TObject* Sender) {
  auto* Item = As<TMenuItem>(Sender);
  if (Item != nullptr && FForm != nullptr && FForm->HandleAllocated())
    PostMessageA(FForm->Handle(), WM_SYSCOMMAND, static_cast<WPARAM>(Item->Tag()), 0);
}

TMenuItem* CopyMenuItem(TMenuItem* Item) {
  TMenuItem* Copy = NewItem(Item->Caption(), Item->ShortCut(), Item->Checked(), Item->Enabled(), Item->OnClick,
                            Item->HelpContext(), Item->Name().empty() ? std::string() : Item->Name() + "Copy");
  Copy->SetImageIndex(Item->ImageIndex());
  for (int i = 0; i < Item->Count(); ++i) Copy->Add(CopyMenuItem(Item->Items(i)));
  return Copy;
}

void TsSystemMenu::AddSubMenuAt(int Pos) {
  TvkSysSubMenu* Sub = FProvider != nullptr ? FProvider->SysSubMenu() : nullptr;
  if (Sub == nullptr || Sub->Position() != Pos || Sub->Caption().empty() || Sub->PopupMenu() == nullptr) return;
  if (Pos == ipBottom) AddLine("vk_BtmDiv");
  FSubMenuItem = NewItem(Sub->Caption(), 0, false, true, TNotifyEvent(), 0, "vk_SubMenu");
  FSubMenuItem->FreeNotification(this);
  Items()->Add(FSubMenuItem);
  TMenuItem* Source = Sub->PopupMenu()->Items();
  for (int i = 0; i < Source->Count(); ++i) FSubMenuItem->Add(CopyMenuItem(Source->Items(i)));
  SetImages(Sub->PopupMenu()->Images());
  if (Pos != ipBottom) AddLine("vk_TopDiv");
}

void TsSystemMenu::RebuildItems() {
  for (TMenuItem** Item : {&FSubMenuItem, &FItemMove, &FItemSize, &FItemClose, &FItemRestore, &FItemMinimize,
                           &FItemMaximize})
    *Item = nullptr;
  Items()->Clear();
  FExtraCount = 0;
  HMENU H = WindowMenu();
  if (H == nullptr) return;
  AddSubMenuAt(ipTop);
  std::string Caption, ShortCutText;
  auto Standard = [&](UINT Id, const std::string& Fallback, const char* Name, void (TsSystemMenu::*Click)(TObject*)) {
    GetSysMenuText(H, Id, MF_BYCOMMAND, Caption, ShortCutText, Fallback);
    TMenuItem* Item = AddCommand(Caption, Name, Id, TNotifyEvent(this, Click));
    Item->FreeNotification(this);
    return Item;
  };
  FItemRestore = Standard(SC_RESTORE, sRestore.empty() ? "Restore" : sRestore, "vkIR", &TsSystemMenu::RestoreClick);
  FItemMove = Standard(SC_MOVE, sMove.empty() ? "Move" : sMove, "vkIM", &TsSystemMenu::MoveClick);
  FItemSize = Standard(SC_SIZE, sSize.empty() ? "Size" : sSize, "vkIS", &TsSystemMenu::SizeClick);
  FItemMinimize =
      Standard(SC_MINIMIZE, sMinimize.empty() ? "Minimize" : sMinimize, "vkIN", &TsSystemMenu::MinimizeClick);
  FItemMaximize =
      Standard(SC_MAXIMIZE, sMaximize.empty() ? "Maximize" : sMaximize, "vkIX", &TsSystemMenu::MaximizeClick);
  Items()->Add(NewLine());
  const int Count = GetMenuItemCount(H);
  for (int i = 0; i < Count; ++i) {
    const UINT Id = GetMenuItemID(H, i);
    if (Id >= 0xF000 && Id <= 0xF1FF) continue;
    if (!GetSysMenuText(H, static_cast<UINT>(i), MF_BYPOSITION, Caption, ShortCutText, "") || Caption.empty())
      continue;
    TMenuItem* Item = NewItem(Caption, ShortCutText.empty() ? 0 : TextToShortCut(ShortCutText), false, true,
                              TNotifyEvent(this, &TsSystemMenu::ExtraClick), 0, "");
    Item->SetTag(static_cast<int>(Id));
    Items()->Add(Item);
    ++FExtraCount;
  }
  if (FExtraCount > 0) Items()->Add(NewLine());
  AddSubMenuAt(ipBeforeClose);
  GetSysMenuText(H, SC_CLOSE, MF_BYCOMMAND, Caption, ShortCutText, "Close");
  FItemClose = AddCommand(Caption, "vkIC", SC_CLOSE, TNotifyEvent(this, &TsSystemMenu::CloseClick));
  FItemClose->FreeNotification(this);
  if (!ShortCutText.empty()) FItemClose->SetShortCut(TextToShortCut(ShortCutText));
  FItemClose->SetEnabled(EnabledClose());
  AddSubMenuAt(ipBottom);
}

void TsSystemMenu::RefreshItemStates(bool Rebuild) {
  if (Rebuild || FItemClose == nullptr) RebuildItems();
  if (FForm == nullptr) return;
  auto Set = [](TMenuItem* Item, bool Visible, bool Enabled) {
    if (Item == nullptr) return;
    Item->SetVisible(Visible);
    Item->SetEnabled(Enabled);
  };
  Set(FItemRestore, VisibleRestore(), EnabledRestore());
  Set(FItemMove, true, EnabledMove());
  Set(FItemSize, VisibleSize(), EnabledSize());
  Set(FItemMinimize, VisibleMin(), EnabledMin());
  Set(FItemMaximize, VisibleMax(), EnabledMax());
  Set(FItemClose, VisibleClose(), EnabledClose());
}

void TsSystemMenu::MakeSkinItems() {
  TsSkinManager* M = FProvider != nullptr ? FProvider->SkinData()->SkinManager() : nullptr;
  if (M == nullptr) return;
  std::unique_ptr<TStringList> List(new TStringList());
  std::string First;
  M->ListAvailableSkins(List.get(), 2, First);
  if (List->Count() == 0) return;
  TMenuItem* Root = NewItem(sAvailableStyles.empty() ? "Available styles" : sAvailableStyles, 0, false, true,
                            TNotifyEvent(), 0, "SkinSelectItem");
  Items()->Insert(0, Root);
  Items()->Insert(1, NewLine());
  bool Checked = false;
  for (int i = 0; i < List->Count(); ++i) {
    const std::string& Name = List->Strings(i);
    const bool Current = !Checked && Name == M->SkinName();
    Checked = Checked || Current;
    TMenuItem* Item = NewItem(Name, 0, false, true, TNotifyEvent(this, &TsSystemMenu::SkinItemClick), 0,
                              "SkinSelectItem" + IntToStr(i));
    Item->SetRadioItem(true);
    if (i > 0 && i % 20 == 0) Item->SetBreak(mbBreak);
    Root->Add(Item);
    // checked after joining its siblings: a radio item unchecks the others of its group
    if (Current) Item->SetChecked(true);
  }
}

void TsSystemMenu::SkinItemClick(TObject* Sender) {
  TsSkinManager* M = FProvider != nullptr ? FProvider->SkinData()->SkinManager() : nullptr;
  auto* Item = As<TMenuItem>(Sender);
  if (M == nullptr || Item == nullptr) return;
  std::string Name;
  for (char C : Item->Caption())
    if (C != '&') Name += C;
  if (!sInternalLabel.empty()) {
    const size_t At = Name.find(sInternalLabel);
    if (At != std::string::npos) Name.erase(At + sInternalLabel.size());
  }
  M->SetSkinName(Name);
}

bool GetSysMenuText(HMENU Menu, UINT Id, UINT Flags, std::string& Caption, std::string& ShortCutText,
                    const std::string& Default) {
  char Buffer[256] = {};
  const int N = Menu != nullptr ? GetMenuStringA(Menu, Id, Buffer, 255, Flags) : 0;
  if (N <= 0) {
    Caption = Default;
    ShortCutText.clear();
    return false;
  }
  const std::string Text(Buffer, N);
  const size_t Tab = Text.find('\t');
  Caption = Text.substr(0, Tab);
  ShortCutText = Tab == std::string::npos ? std::string() : Text.substr(Tab + 1);
  return true;
}
