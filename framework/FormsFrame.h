#pragma once
// Frames: containers of controls made as one unit and placed on forms.

#include "framework/Controls.h"

class TCustomFrame : public TWinControl {
  DECLARE_CLASS(TCustomFrame, TWinControl)
public:
  explicit TCustomFrame(TComponent* AOwner);
};

class TFrame : public TCustomFrame {
  DECLARE_CLASS(TFrame, TCustomFrame)
public:
  explicit TFrame(TComponent* AOwner) : TCustomFrame(AOwner) {}
};
