#pragma once
// The main form against a simulated device: its geometry, the port chosen in the combo, the image's bytes, and
// the loader's waits paced by the device instead of the clock.
#include "app/Main.h"

#include "framework/Platform.h"
#include "skin/controls/sComboBox.h"
#include "tests/support/SimulatedDevice.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace device_fixtures {

using testing_support::SimulatedDevice;

inline SimulatedDevice::Options Geometry(int blocksPerPage, int blockSize, int pageCount,
                                         const char* description = "171122") {
  SimulatedDevice::Options o;
  o.blocksPerPage = blocksPerPage;
  o.blockSize = blockSize;
  o.pageCount = pageCount;
  o.description = std::string(description);
  return o;
}

// Points the port combo at the device, as Ctrl+R and a pick would.
inline void ChoosePort(const std::string& port) {
  TStrings* items = MainForm->cbPort->Items();
  int index = items->IndexOf(port);
  if (index < 0) index = items->Add(port);
  MainForm->cbPort->SetItemIndex(index);
}

// The first `count` bytes an image of hex digits holds.
inline std::vector<uint8_t> ImageBytes(const std::string& image, size_t count) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(std::stoi(image.substr(2 * i, 2), nullptr, 16));
  return bytes;
}

// A caption cover of this thread is up (the skinned frame pauses under it while its caption changes).
inline BOOL CALLBACK FindShownCover(HWND w, LPARAM found) {
  char name[32] = {};
  GetClassNameA(w, name, sizeof name);
  if (std::string(name) == "TvkCaptForm" && IsWindowVisible(w)) *reinterpret_cast<bool*>(found) = true;
  return TRUE;
}
inline bool CaptionCoverShown() {
  bool shown = false;
  EnumThreadWindows(GetCurrentThreadId(), FindShownCover, reinterpret_cast<LPARAM>(&shown));
  return shown;
}

// The loader's waits end once the device has handled every frame sent before them (and its reply,
// if any, is on the line), instead of after their milliseconds, which are added up here. Whether a
// try is answered is then the device's doing, never the machine's load: counts of tries are exact.
struct DevicePacedWaits {
  explicit DevicePacedWaits(SimulatedDevice& device)
      : previousSleep_(Platform().Sleep), previousClock_(Platform().GetTickCount) {
    Platform().Sleep = [this, &device](DWORD ms) {
      // the skinned frame's pause under its caption cover (while a box takes the focus) is not the device's
      if (CaptionCoverShown()) return;
      slept += ms;
      device.Sync();
      if (passTime_) clock_ += 1000;
      if (OnWait) OnWait();
    };
  }
  // Before the device goes: the forms may still wait while they close.
  ~DevicePacedWaits() {
    Platform().Sleep = previousSleep_;
    Platform().GetTickCount = previousClock_;
  }
  DevicePacedWaits(const DevicePacedWaits&) = delete;
  DevicePacedWaits& operator=(const DevicePacedWaits&) = delete;

  // From now on each wait moves the loader's clock on by a second, so that every pump it makes only when
  // enough time has passed falls due: a click or key queued at a wait is handled at the next chance.
  void EveryWaitTakesASecond() {
    passTime_ = true;
    Platform().GetTickCount = [this] { return ::GetTickCount() + clock_; };
  }

  uint64_t slept = 0;
  // Runs at each wait of the loader, once the device has caught up.
  std::function<void()> OnWait;

private:
  std::function<void(DWORD)> previousSleep_;
  std::function<DWORD()> previousClock_;
  bool passTime_ = false;
  DWORD clock_ = 0;
};

// What an identification that succeeds at the first try waits: five wake-ups, the identify frame and
// the description.
constexpr uint64_t IdentifyWaits = 5 * 50 + 100 + 1000;

}  // namespace device_fixtures
