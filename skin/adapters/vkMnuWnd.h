// The system's popup-menu windows ("#32768") with a skinned frame and background while their items are drawn by
// the skinned menus, and the combo adapter of the wwEdit kind.
//
//   TvkMnuWnd* A = CreateMenuWindowAdapter(PopupWnd, Manager);   // listed in MenuWindowAdapters
//   ...                                                          // freed once no popup is open any more
#pragma once
#include <vector>

#include "skin/adapters/vkComboWnds.h"
#include "skin/adapters/vkScrollWnd.h"

class TvkMnuWnd : public TvkScrollWnd {
  DECLARE_CLASS(TvkMnuWnd, TvkScrollWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;
  // The adapter's own picture of the popup (section MAINMENU) when its cache is dirty.
  void RefreshCache();

  bool NcPainted = false;      // the frame was painted once; later WM_NCPAINTs skip the composition redraw
  bool MakingLayered = false;  // guards the layered set-up while the window is being shown
  int ErasePending = 0;        // set by command 0x0E, cleared by WM_ERASEBKGND and the window's end

protected:
  bool KeepsVisualStyle() const override { return true; }

private:
  void HandleMenuDestruction(TMessage& Message);
  void PaintFrame();
  void ApplyOpacity();
};

// The popup-menu adapters made and not yet freed, in order of making.
extern std::vector<TvkMnuWnd*> MenuWindowAdapters;
// A TvkMnuWnd for a popup-menu window (section MAINMENU), appended to MenuWindowAdapters.
TvkMnuWnd* CreateMenuWindowAdapter(HWND Wnd, TsSkinManager* Manager);
// Frees every entry of MenuWindowAdapters (attached ones give their windows back first).
void FreeMenuAdapters();

class TvkWWComboBoxWnd : public TvkComboBoxWnd {
  DECLARE_CLASS(TvkWWComboBoxWnd, TvkComboBoxWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;
  TRect GetButtonRect() override;
  // The owner shows a drop-down button: it is not a TComboBox, or its style drops a list down.
  bool HasDropButton() const;

  bool HasButton = false;
};
