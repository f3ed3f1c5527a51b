// Keyboard and mouse for the loader from another process. Without a window manager the program's window is not
// always the one the keyboard reaches, so keystrokes are sent after making it the foreground window, and when
// nothing happens they are handed to the program's queue the way the system would deliver them.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

namespace shots {

// Waits up to Ms for Done; the program dispatches its own messages meanwhile.
bool WaitFor(const std::function<bool()>& Done, int Ms);

// Presses Keys in order and releases them in reverse through SendInput, Target's window made the foreground
// window first (unless it is disabled: then the program shows a modal window or a menu that has the keyboard).
void SendKeys(HWND Target, const std::vector<WORD>& Keys);

// The keystroke as the program's queue would deliver it: the last key posted to the focused window of Target's
// thread (as a system key when Alt is among the others), the others held in the program's key state until
// Arrived holds or Ms have passed. True when Arrived held.
bool PostKeys(HWND Target, const std::vector<WORD>& Keys, const std::function<bool()>& Arrived, int Ms);

// A right click at a screen point through SendInput.
void RightClickAt(POINT Screen);

// The pointer moved to a screen point through SendInput, as a mouse moves it.
void MovePointerTo(POINT Screen);

}  // namespace shots
