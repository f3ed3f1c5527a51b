#pragma once
// The real pointer, as a person moves it: the X server's own pointer moved and clicked through its XTEST extension
// (a small host program, tests/support/real_pointer.py), so the X server picks the window under the pointer and
// holds the grab of a press as it does for a mouse; SendInput under Wine hands a click to the window the system
// chooses and passes none of that. The screen is read back where the pointer rests.
//
// A test that uses it has "RealPointer" in its suite name: the test programs' CMake runs every such test alone, as
// another test program's windows and mouse capture would take its clicks. Failures of the helper are thrown
// (std::runtime_error).
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>

namespace testing_support {

// The pointer moved to a screen point; False when the system does not report it there within a second (the
// thread's messages are dispatched meanwhile).
bool MovePointer(POINT Screen);
// The left button pressed (Down) or released where the pointer is; returns once the system has seen it, the
// thread's messages dispatched meanwhile.
void PressPointer(bool Down);
// A left click where the pointer is: press, the button held as long as a person holds it, release.
void ClickPointer();
// The pointer moved, or its button pressed or released, once the X server has it, with nothing dispatched and no
// wait for the system to see it: for a system loop (a scroll bar's drag) that must take the input itself, driven
// from a timer that loop dispatches.
void QueuePointerMove(POINT Screen);
void QueuePointerButton(bool Down);
// Keys pressed in order and released in reverse through the system's input queue, all queued at once: the thread's
// next pump hands them to the window with the keyboard focus (a test that uses it has "RealKeys" in its suite name).
void PressKeys(std::initializer_list<WORD> Keys);
// The system's hover time (SPI_GETMOUSEHOVERTIME) in milliseconds.
unsigned HoverTime();
// The thread's messages dispatched for Ms milliseconds while the pointer rests.
void RestPointer(unsigned Ms);
// The colour on the screen at a point, 0x00RRGGBB.
uint32_t ScreenPixel(POINT Screen);

// What lies at a screen point for the system and for the X server, who has the foreground and the mouse capture,
// where the cursor is: for the failure message of a test whose input went astray.
std::string PointerScene(POINT Screen);

// Puts the pointer back where it was when made: the pointer is shared by all tests on the display.
class PointerParking {
public:
  PointerParking();
  ~PointerParking();
  PointerParking(const PointerParking&) = delete;
  PointerParking& operator=(const PointerParking&) = delete;

private:
  POINT FWas{};
};

}  // namespace testing_support
