// The library's layered helper window: a borderless, never-activated, never-skinned form used for glows,
// animation snapshots and the form skinner's caption, border and shadow windows.
#pragma once
#include <windows.h>

#include "framework/Forms.h"

class TvkGlowForm : public TCustomForm {
  DECLARE_CLASS(TvkGlowForm, TCustomForm)
public:
  // Built in code (no stored description).
  explicit TvkGlowForm(TComponent* AOwner);
  void AfterConstruction() override;
  // Mouse messages pass through to the windows below (True after construction).
  bool ClickThrough = false;
  // Extended styles the window is created with (a fade window: transparent to input before it is ever shown).
  LONG CreationExStyle = 0;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
};

// SetWindowPos flags of the glow window's hide: no size, move, redraw, activation, owner order or
// WM_WINDOWPOSCHANGING.
constexpr UINT kGlowHideFlags = 0x69B;
