// The form's menus: its menu bar (merged into the main form's where it should be), the window menu,
// menu messages routed to the items, shortcuts, the system menu fitted to the border style, and the
// screen's menu font.
#include <cstddef>

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/Platform.h"

bool TCustomForm::HasMenuBar() const {
  if (!FMenu || FFormStyle == fsMDIChild) return false;
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  return !(FMenu->AutoMerge() && main && main != this);
}

void TCustomForm::SetMenu(TMainMenu* Value) {
  if (FMenu == Value) return;
  if (Value && Screen)
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (Screen->Forms(i) != this && Screen->Forms(i)->FMenu == Value)
        throw EInvalidOperation("Menu '" + Value->Name() + "' is already being used by another form");
  if (FMenu) {
    MergeMenu(false);
    FMenu->RemoveFreeNotification(this);
    if (FHandle && FMenu->WindowHandle() == FHandle) FMenu->SetWindowHandle(nullptr);
  }
  FMenu = Value;
  if (Value) Value->FreeNotification(this);
  ApplyMenus();
  if (FActive) MergeMenu(true);
}

void TCustomForm::SetWindowMenu(TMenuItem* Value) {
  if (FWindowMenu == Value) return;
  if (FWindowMenu) FWindowMenu->RemoveFreeNotification(this);
  FWindowMenu = Value;
  if (Value) Value->FreeNotification(this);
  UpdateClientMenus();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FMenu) {
    FMenu = nullptr;
    if (!ComponentState().Contains(csDestroying)) ApplyMenus();
  }
  if (AComponent == FWindowMenu) FWindowMenu = nullptr;
}

void TCustomForm::ApplyMenus() {
  if (!FHandle) return;
  HMENU bar = HasMenuBar() ? FMenu->Handle() : nullptr;
  // A child window's GetMenu answers its identifier: an MDI child has no bar of its own.
  if (!IsMDIChildWindow() && GetMenu(FHandle) != bar) ::SetMenu(FHandle, bar);
  if (FMenu) FMenu->SetWindowHandle(FHandle);
  UpdateClientMenus();
  // A dialog frame cannot be sized, minimised, maximised or restored: its system menu says so.
  if (FBorderStyle == bsDialog)
    if (HMENU system = GetSystemMenu(FHandle, FALSE))
      for (UINT command : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE}) DeleteMenu(system, command, MF_BYCOMMAND);
}

void TCustomForm::MergeMenu(bool MergeState) {
  if (!FMenu || !Application || FFormState.Contains(fsModal)) return;
  TCustomForm* main = Application->MainForm();
  if (!main || main == this || !main->FMenu) return;
  if (FFormStyle == fsMDIChild ? main->FFormStyle != fsMDIForm
                               : !FMenu->AutoMerge() || main->FFormStyle == fsMDIForm)
    return;
  if (MergeState)
    main->FMenu->Merge(FMenu);
  else
    main->FMenu->Unmerge(FMenu);
}

bool TCustomForm::IsShortCut(TMessage& Message) {
  if (FMenu && FMenu->IsShortCut(Message)) return true;
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  return FFormStyle == fsMDIChild && main && main != this && main->IsShortCut(Message);
}

bool TCustomForm::MenuMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_DESTROY:
      // A window takes its menu with it; the menu belongs to the menu object.
      if (GetMenu(FHandle)) ::SetMenu(FHandle, nullptr);
      return false;
    case WM_COMMAND:
      // Menu commands come without a control window and with notification code 0.
      if (!FMenu || Message.LParam != 0 || HIWORD(Message.WParam) != 0) return false;
      if (!FMenu->DispatchCommand(LOWORD(Message.WParam))) return false;
      Message.Result = 0;
      return true;
    case WM_INITMENUPOPUP:
      if (!FMenu || !FMenu->DispatchPopup(reinterpret_cast<HMENU>(Message.WParam))) return false;
      Message.Result = 0;
      return true;
    case WM_MEASUREITEM:
      if (!FMenu || !FMenu->MeasureMenuItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam))) return false;
      Message.Result = 1;
      return true;
    case WM_DRAWITEM:
      if (!FMenu || !FMenu->DrawMenuItem(*reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam))) return false;
      Message.Result = 1;
      return true;
    default:
      return false;
  }
}

// ===================================================================================================
// TScreen

TFont* TScreen::MenuFont() {
  if (!FMenuFont) {
    FMenuFont = new TFont();
    RefreshMenuFont();
  }
  return FMenuFont;
}

void TScreen::RefreshMenuFont() {
  if (!FMenuFont) return;
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (!Platform().SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
    // Systems before Vista know the structure without its last field.
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    if (!Platform().SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) RaiseLastOSError();
  }
  const LOGFONTA& lf = metrics.lfMenuFont;
  TFontStyles style;
  if (lf.lfWeight >= FW_BOLD) style += fsBold;
  if (lf.lfItalic) style += fsItalic;
  if (lf.lfUnderline) style += fsUnderline;
  if (lf.lfStrikeOut) style += fsStrikeOut;
  FMenuFont->SetName(lf.lfFaceName);
  FMenuFont->SetHeight(lf.lfHeight);
  FMenuFont->SetStyle(style);
  FMenuFont->SetCharset(lf.lfCharSet);
}
