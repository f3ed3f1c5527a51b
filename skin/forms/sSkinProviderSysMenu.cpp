#include "skin/forms/sSkinProviderSysMenu.h"

#include <windows.h>

#include "framework/SysUtils.h"
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

bool TsSystemMenu::ShowAt(int, int) {
  // the skinned popup is built on the framework's popup menu; until its items exist the window's own menu shows
  return false;
}

void TsSystemMenu::RefreshItemStates(bool Rebuild) {
  if (Rebuild || !FBuilt) RebuildItems();
}

void TsSystemMenu::RebuildItems() {
  FExtraCount = 0;
  FBuilt = WindowMenu() != nullptr;
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
