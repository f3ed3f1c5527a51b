#pragma once
// The erased firmware image, made on a thread of its own while the program starts. The system hands a new
// buffer's 40 million characters out page by page on first write, which with the writing itself costs tens of
// milliseconds on a slow machine; made beside the units' start-up, the first parse's prefill finds it ready.
#include <string>

// Starts making the image, once, when the program may run on more than one processor; the units start it first
// of all.
void StartPreparingErasedImage();
// The image made, 40,000,000 characters "F", waiting for it if it is not ready yet; an empty string when none was
// started or a parse has taken it.
std::string TakePreparedErasedImage();
// Waits for an image still being made and drops one no parse took.
void DropPreparedErasedImage();
