#pragma once
#include <windows.h>

#include <functional>

namespace testing_support {

// Dispatches the calling thread's messages until `done` holds or `timeoutMs` passes.
// Returns whether `done` held.
bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs);

// Dispatches whatever is queued now, without waiting.
void PumpPending();

// Paints `wnd` (UpdateWindow) until it has no update region or `timeoutMs` passes, dispatching meanwhile all but
// paints: a paint that leaves its window invalid fails at the bound instead of being pumped for ever.
// Returns whether the region went.
bool PumpUntilValidated(HWND wnd, unsigned timeoutMs);

} // namespace testing_support
