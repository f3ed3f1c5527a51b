// The skinned form's system menu: which title buttons and commands a form shows and enables, answered from its
// border icons, border style and window state, and the commands of the window's own system menu.
#pragma once
#include <windows.h>

#include <string>

#include "framework/Classes.h"
#include "framework/Forms.h"

class TsSkinProvider;

class TsCustomSysMenu : public TComponent {
  DECLARE_CLASS(TsCustomSysMenu, TComponent)
public:
  using TComponent::TComponent;
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

  // Items rebuilt when asked (or never built), then their visibility and enabling refreshed.
  void RefreshItemStates(bool Rebuild);
  // Shows the skinned menu at a screen point; False when it cannot (no menu items to show).
  bool ShowAt(int X, int Y);
  // Nothing: the items follow the skin through the menu painter.
  void UpdateItems() {}
  int ExtraCount() const { return FExtraCount; }

private:
  HMENU WindowMenu() const;
  bool SystemMenuAllowed() const;
  bool Framed() const;
  bool IsMDIChild() const;
  bool Iconic() const;
  void RebuildItems();
  TsSkinProvider* FProvider = nullptr;
  TCustomForm* FForm = nullptr;
  int FExtraCount = 0;
  bool FBuilt = false;
};

// The text of a command of a window menu: Caption before the first TAB, ShortCutText after it; False (and
// Caption := Default) when the menu has no text for it.
bool GetSysMenuText(HMENU Menu, UINT Id, UINT Flags, std::string& Caption, std::string& ShortCutText,
                    const std::string& Default);
