#include "app/ErasedImage.h"

#include "app/HexRecords.h"

#include <windows.h>

#include <future>

namespace {

// Never destroyed: the units finalise after static destruction may have begun.
std::future<std::string>& Preparation() {
  static auto* preparation = new std::future<std::string>;
  return *preparation;
}

std::string MakeErasedImage() { return std::string(FirmwareImageChars, 'F'); }

// On one processor the thread would only take turns with the start-up it is meant to run beside.
bool MoreThanOneProcessor() {
  DWORD_PTR process = 0, system = 0;
  if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) return false;
  return (process & (process - 1)) != 0;
}

}  // namespace

void StartPreparingErasedImage() {
  if (Preparation().valid() || !MoreThanOneProcessor()) return;
  Preparation() = std::async(std::launch::async, MakeErasedImage);
}

std::string TakePreparedErasedImage() {
  if (!Preparation().valid()) return std::string();
  return Preparation().get();  // a failure to make it is the parse's, as its own allocation's would be
}

void DropPreparedErasedImage() {
  // A future of std::async waits for its thread when it goes.
  Preparation() = std::future<std::string>();
}
