// The skinned system menu of a standard dialog whose native one the skin replaced: Restore, Move, Size,
// Minimize, Maximize and Close, each sending its WM_SYSCOMMAND, shown and enabled by the dialog's styles and state.
#pragma once
#include "framework/Menus.h"
#include "skin/forms/sSkinProviderSysMenu.h"

class TvkDialogWnd;

class TvkSystemMenu : public TsCustomSysMenu {
  DECLARE_CLASS(TvkSystemMenu, TsCustomSysMenu)
public:
  explicit TvkSystemMenu(TComponent* AOwner);

  bool VisibleClose() override;
  bool VisibleMax() override;
  bool VisibleMin() override;
  bool EnabledMax() override;
  bool EnabledMin() override;
  bool EnabledRestore() override;
  void RefreshItems();

  TvkDialogWnd* Dialog = nullptr;
  TPopupMenu* Menu = nullptr;  // owned through this component
  TMenuItem* miMove = nullptr;
  TMenuItem* miSize = nullptr;
  TMenuItem* miClose = nullptr;
  TMenuItem* miRestore = nullptr;
  TMenuItem* miMinimize = nullptr;
  TMenuItem* miMaximize = nullptr;

private:
  TMenuItem* MakeItem(const std::string& Caption, const std::string& Name, void (TvkSystemMenu::*Click)(TObject*));
  void Command(WPARAM Cmd, bool Refresh);
  void RestoreClick(TObject*) { Command(SC_RESTORE, true); }
  void MoveClick(TObject*) { Command(SC_MOVE, false); }
  void SizeClick(TObject*) { Command(SC_SIZE, false); }
  void MinimizeClick(TObject*) { Command(SC_MINIMIZE, false); }
  void MaximizeClick(TObject*) { Command(SC_MAXIMIZE, true); }
  void CloseClick(TObject*) { Command(SC_CLOSE, false); }
};
