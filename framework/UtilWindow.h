#pragma once
// Hidden utility windows ("TPUtilWindow") whose messages go to a method: timers, the serial port's
// synchronisation window. Exceptions from the method go to Application->HandleException.

#include <windows.h>

#include "framework/Messages.h"

// Creates the window; every message reaches `method` (which sets Result, e.g. with DefWindowProcA).
HWND AllocateHWnd(const TWndMethod& method);
// Destroys a window made by AllocateHWnd; null is ignored.
void DeallocateHWnd(HWND wnd);
