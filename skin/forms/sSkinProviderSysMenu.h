// The skinned form's system menu: a popup menu copying the commands of the window's own system menu and driving
// them through WM_SYSCOMMAND; it also tells which title buttons and commands a form shows and enables, answered
// from its border icons, border style and window state.
#pragma once
#include <windows.h>

#include <string>

#include "framework/Classes.h"
#include "framework/Forms.h"
#include "framework/Menus.h"

class TsSkinProvider;


class TsCustomSysMenu : public TPopupMenu {
  DECLARE_CLASS(TsCustomSysMenu, TPopupMenu)
public:
  using TPopupMenu::TPopupMenu;
  virtual bool VisibleClose() = 0;
  virtual bool VisibleMax() = 0;
  virtual bool VisibleMin() = 0;
  virtual bool EnabledMax() = 0;
  virtual bool EnabledMin() = 0;
  virtual bool EnabledRestore() = 0;
};

class TsSystemMenu : public TsCustomSysMenu {
  DECLARE_CLASS(TsSystemMenu, TsCustomSysMenu)
public:
  explicit TsSystemMenu(TComponent* AOwner);
  TsSkinProvider* Provider() const { return FProvider; }
  TCustomForm* Form() const { return FForm; }

  bool VisibleClose() override;
  bool VisibleMax() override;
  bool VisibleMin() override;
  bool EnabledMax() override;
  bool EnabledMin() override;
  bool EnabledRestore() override;
  bool EnabledClose();
  bool EnabledMove();
  bool EnabledSize();
  bool VisibleRestore();
  bool VisibleSize();

  // Items rebuilt when asked (or when there is no Close item), then their visibility and enabling refreshed.
  void RefreshItemStates(bool Rebuild);
  // The skin-selection submenu at the top, with a line after it (nothing without a manager or skins).
  void MakeSkinItems();
  // Nothing: the items follow the skin through the menu painter.
  void UpdateItems() {}
  int ExtraCount() const { return FExtraCount; }
  TMenuItem* ItemRestore() const { return FItemRestore; }
  TMenuItem* ItemMove() const { return FItemMove; }
  TMenuItem* ItemSize() const { return FItemSize; }
  TMenuItem* ItemMinimize() const { return FItemMinimize; }
  TMenuItem* ItemMaximize() const { return FItemMaximize; }
  TMenuItem* ItemClose() const { return FItemClose; }
  TMenuItem* SubMenuItem() const { return FSubMenuItem; }
  void SkinItemClick(TObject* Sender);

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  HMENU WindowMenu() const;
  bool SystemMenuAllowed() const;
  bool Framed() const;
  bool IsMDIChild() const;
  bool Iconic() const;
  void RebuildItems();
  void AddSubMenuAt(int Pos);  // a TvkMenuItemPos
  TMenuItem* AddCommand(const std::string& Caption, const std::string& Name, UINT Command, TNotifyEvent Click);
  TMenuItem* AddLine(const std::string& Name);
  void SendCommand(UINT Command);
  void RestoreClick(TObject* Sender);
  void MoveClick(TObject* Sender);
  void SizeClick(TObject* Sender);
  void MinimizeClick(TObject* Sender);
  void MaximizeClick(TObject* Sender);
  void CloseClick(TObject* Sender);
  void ExtraClick(TObject* Sender);
  TsSkinProvider* FProvider = nullptr;
  TCustomForm* FForm = nullptr;
  TMenuItem* FSubMenuItem = nullptr;
  TMenuItem* FItemMove = nullptr;
  TMenuItem* FItemSize = nullptr;
  TMenuItem* FItemClose = nullptr;
  TMenuItem* FItemRestore = nullptr;
  TMenuItem* FItemMinimize = nullptr;
  TMenuItem* FItemMaximize = nullptr;
  int FExtraCount = 0;
};

// A copy of a menu item and all its sub-items (named after the original with "Copy" appended).
TMenuItem* CopyMenuItem(TMenuItem* Item);

// The text of a command of a window menu: Caption before the first TAB, ShortCutText after it; False (and
// Caption := Default) when the menu has no text for it.
bool GetSysMenuText(HMENU Menu, UINT Id, UINT Flags, std::string& Caption, std::string& ShortCutText,
                    const std::string& Default);
