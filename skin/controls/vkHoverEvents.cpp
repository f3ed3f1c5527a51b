#include "skin/controls/vkHoverEvents.h"

#include <utility>

#include "framework/Messages.h"

TvkHoverEventsHeld::TvkHoverEventsHeld(TControl* Control)
    : FControl(Control), FEnter(std::move(Control->OnMouseEnter)), FLeave(std::move(Control->OnMouseLeave)) {
  FControl->OnMouseEnter.Clear();
  FControl->OnMouseLeave.Clear();
}

TvkHoverEventsHeld::~TvkHoverEventsHeld() {
  FControl->OnMouseEnter = std::move(FEnter);
  FControl->OnMouseLeave = std::move(FLeave);
}

bool IsHoverMessage(UINT Msg) { return Msg == CM_MOUSEENTER || Msg == CM_MOUSELEAVE; }
