// The framework fires OnMouseEnter and OnMouseLeave itself when a control hears CM_MOUSEENTER or CM_MOUSELEAVE.
// Controls that fire them under conditions of their own (enabled, skinned, not yet hot) pass those messages on
// to the framework with the two events held back, so each fires once.
#pragma once

#include "framework/Controls.h"

class TvkHoverEventsHeld {
public:
  // Takes both events away from Control while the object lives.
  explicit TvkHoverEventsHeld(TControl* Control);
  // Gives them back.
  ~TvkHoverEventsHeld();
  TvkHoverEventsHeld(const TvkHoverEventsHeld&) = delete;
  TvkHoverEventsHeld& operator=(const TvkHoverEventsHeld&) = delete;

private:
  TControl* FControl;   // whose events are held
  TNotifyEvent FEnter;  // its OnMouseEnter meanwhile
  TNotifyEvent FLeave;  // its OnMouseLeave meanwhile
};

// True for CM_MOUSEENTER and CM_MOUSELEAVE.
bool IsHoverMessage(UINT Msg);
