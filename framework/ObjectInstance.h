#pragma once
// Window-procedure stubs: a few bytes of x86 code per object method, so a window the framework did not
// create can be subclassed with a method (its procedure replaced by the stub). Every call passes a
// catch-all: an exception leaving the method goes to Application->HandleException and the window
// procedure returns the Result the message had.
//
// A stub installed with SubclassWindowWith remembers its window and the procedure it replaced. Freed while
// it is still the window's procedure, it puts that procedure back. Freed while a later subclasser sits
// above it (who calls it with CallWindowProcA), it keeps forwarding to the procedure it replaced until its
// window is gone, so nothing ever calls freed code.
//
//   FStub = MakeObjectInstance(TWndMethod::Bind<&TAdapter::WndProc>(this));
//   FOldProc = SubclassWindowWith(Wnd, FStub);
//   ...
//   FreeObjectInstance(FStub);

#include <windows.h>

#include "framework/Messages.h"

using TObjectInstance = WNDPROC;

// A new stub calling Method with each message; the procedure returns the message's Result.
TObjectInstance MakeObjectInstance(const TWndMethod& Method);
// Makes Instance the window procedure of Wnd (SetWindowLongA) and returns the procedure it replaced.
WNDPROC SubclassWindowWith(HWND Wnd, TObjectInstance Instance);
// Releases a stub (see above for a stub still in a window's chain); null is ignored, a pointer that is not
// a live stub raises EInvalidPointer.
void FreeObjectInstance(TObjectInstance Instance);

// Leak counters: stubs not yet reclaimed (forwarders included), pages of stub code held, forwarders.
int ObjectInstanceCount();
int ObjectInstancePageCount();
int ObjectInstanceForwarderCount();
