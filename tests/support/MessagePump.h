#pragma once
#include <functional>

namespace testing_support {

// Dispatches the calling thread's messages until `done` holds or `timeoutMs` passes.
// Returns whether `done` held.
bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs);

// Dispatches whatever is queued now, without waiting.
void PumpPending();

} // namespace testing_support
