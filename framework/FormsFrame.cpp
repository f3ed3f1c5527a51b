#include "framework/FormsFrame.h"

#include "framework/TypInfo.h"

TCustomFrame::TCustomFrame(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
  SetBounds(Left(), Top(), 320, 240);
}

IMPLEMENT_CLASS(TCustomFrame)
IMPLEMENT_CLASS(TFrame)
