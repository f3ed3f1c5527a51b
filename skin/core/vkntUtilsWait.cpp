// The message-processing delay: apart from the other utilities, since it needs the application object.
#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/vkntUtils.h"

void WaitProcessingMessages(DWORD Ms) {
  const DWORD Start = Platform().GetTickCount();
  // Elapsed time modulo 2^32 stays right across a wrap of the tick counter.
  do {
    Application->ProcessMessages();
  } while (static_cast<DWORD>(Platform().GetTickCount() - Start) < Ms);
}
