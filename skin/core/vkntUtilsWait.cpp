// The message-processing delay: apart from the other utilities, since it needs the application object.
#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/vkntUtils.h"

namespace {

void ProcessPendingMessages() {
  if (Application != nullptr) {
    Application->ProcessMessages();
    return;
  }
  // Before the application object exists (start-up units) the thread's queue is pumped directly.
  MSG Msg;
  while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&Msg);
    DispatchMessageA(&Msg);
  }
}

}  // namespace

void WaitProcessingMessages(DWORD Ms) {
  const DWORD Start = Platform().GetTickCount();
  // Elapsed time modulo 2^32 stays right across a wrap of the tick counter.
  do {
    ProcessPendingMessages();
  } while (static_cast<DWORD>(Platform().GetTickCount() - Start) < Ms);
}
