#pragma once
// Mouse internals shared by the control units (not for other units): which messages are mouse messages, where
// the cursor is, and the hover and capture tracking that the window procedure and window destruction update.
#include "framework/Controls.h"

namespace controls_detail {

// Client-area mouse messages (WM_MOUSEMOVE to WM_MBUTTONDBLCLK).
bool IsMouseMessage(UINT msg);
// The cursor's screen position, through the platform seam.
POINT CursorPos();
// A mouse message or a leave message reached the framework window h: hover tracking follows the cursor. False
// for the system's WM_MOUSELEAVE while the cursor only went on to h's frame or caption: h has not been left and
// is not told; it gets a WM_MOUSELEAVE when the cursor leaves the window from there.
bool NoteMouseMessage(HWND h, UINT msg);
// Control's window Handle is going: neither it nor a graphic child of it keeps the capture, nor is it tracked.
void ForgetWindowMouse(TWinControl* Control, HWND Handle);

}  // namespace controls_detail
