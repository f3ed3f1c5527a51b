// Flash throughput: the stored firmware written through the real forms and port to a simulated
// device whose wire runs at 115200 baud in both directions. The write phase (first erase to the
// final reset) is timed and compared with the wire time of the characters exchanged (10 bits
// each: 8 data bits, start and stop). Prints both and the fraction; the goal is at least 90 %.
#include "app/FrameProtocol.h"
#include "app/LoaderUnits.h"
#include "serial/BCPort.h"
#include "app/Main.h"
#include "app/Unit1.h"

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "framework/StdCtrls.h"
#include "framework/Units.h"
#include "skin/controls/sComboBox.h"
#include "tests/support/SimulatedDevice.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

using testing_support::SimulatedDevice;

int main(int argc, char** argv) {
  const int pages = argc > 1 ? std::atoi(argv[1]) : 28;
  constexpr int kBaud = 115200, kBlocksPerPage = 16, kBlockSize = 64;
  RegisterLoaderUnits();
  InitializeUnits();
  // Boxes are answered at once; the bench reads the outcome from the form.
  Platform().MessageBoxSink = [](const TMessageBoxRequest&) { return IDOK; };
  Platform().MessageBeep = [](UINT) { return TRUE; };
  Platform().Beep = [](DWORD, DWORD) { return TRUE; };
  using Clock = std::chrono::steady_clock;
  Clock::time_point writeStart{}, writeEnd{};
  bool writing = false;
  // The write's first sleep is the erase delay (0 ms); the reset after the last page sleeps 100 ms.
  Platform().Sleep = [&](DWORD ms) {
    if (!writing && ms == 0) {
      writing = true;
      writeStart = Clock::now();
    } else if (writing && ms == 100 && writeEnd == Clock::time_point{}) {
      writeEnd = Clock::now();
    }
    ::Sleep(ms);
  };

  int status = 0;
  try {
    Application->Initialize();
    Application->CreateForm(MainForm);
    Application->CreateForm(FormHelp);
    MainForm->Show();
    Application->ProcessMessages();

    SimulatedDevice::Options options;
    options.blocksPerPage = kBlocksPerPage;
    options.blockSize = kBlockSize;
    options.pageCount = pages;
    options.baud = kBaud;
    SimulatedDevice device(options);
    TStrings* items = MainForm->cbPort->Items();
    int index = items->IndexOf(device.PortName());
    if (index < 0) index = items->Add(device.PortName());
    MainForm->cbPort->SetItemIndex(index);

    const Clock::time_point clickStart = Clock::now();
    MainForm->ButtonWriteClick(MainForm);
    const Clock::time_point clickEnd = Clock::now();
    if (writeEnd == Clock::time_point{}) writeEnd = clickEnd;

    const testing_support::DeviceCounts counts = device.Counts();
    // Characters on the wire during the write: every try's frame and every reply (6 characters:
    // "z8N", two checksum digits, ";").
    const long long eraseChars = 12, dataChars = 8 + 2LL * kBlockSize, commitChars = 6, replyChars = 6;
    const long long sent = counts.erase * eraseChars + counts.data * dataChars + counts.commit * commitChars;
    const long long received = (counts.Replies(testing_support::DeviceFrame::Erase) +
                                counts.Replies(testing_support::DeviceFrame::Data) +
                                counts.Replies(testing_support::DeviceFrame::Commit)) * replyChars;
    const double wireMs = static_cast<double>(sent + received) * 10.0 * 1000.0 / kBaud;
    const double writeMs = std::chrono::duration<double, std::milli>(writeEnd - writeStart).count();
    const double clickMs = std::chrono::duration<double, std::milli>(clickEnd - clickStart).count();
    const bool success = device.Memory().size() == static_cast<size_t>(pages) * kBlocksPerPage * kBlockSize &&
                         MainForm->Session().FailureCount < 400 && counts.erase >= pages;

    std::printf("flash throughput at %d baud, %d pages x %d blocks x %d bytes (%s)\n", kBaud, pages, kBlocksPerPage,
                kBlockSize, success ? "written" : "FAILED");
    std::printf("  frames sent: erase %d, data %d, commit %d; failed tries %d; delays %d.%d.%d ms\n", counts.erase,
                counts.data, counts.commit, MainForm->Session().FailureCount, MainForm->Session().EraseDelay,
                MainForm->Session().WriteDelay, MainForm->Session().CommitDelay);
    std::printf("  characters on the wire: %lld sent, %lld received\n", sent, received);
    std::printf("  wire limit of these frames   %9.1f ms\n", wireMs);
    std::printf("  write phase (erase..reset)   %9.1f ms\n", writeMs);
    std::printf("  whole click (with identify)  %9.1f ms\n", clickMs);
    std::printf("  throughput: %.1f %% of the wire limit (goal 90 %%)\n", 100.0 * wireMs / writeMs);
    // The ceiling the port itself allows: bare data and commit exchanges with the same time-outs.
    TBComPort* port = MainForm->BComPort1;
    port->Open();
    std::string reply;
    port->WriteStr(EraseFrame(0));
    ::Sleep(50);
    port->ReadStr(reply, 20);
    const std::string data = DataFrame(1, std::string(2 * kBlockSize, '0'));
    double dataMs = 0, commitMs = 0;
    for (int i = 0; i < kBlocksPerPage; ++i) {
      const Clock::time_point t0 = Clock::now();
      port->WriteStr(data);
      port->ReadStr(reply, 20);
      const Clock::time_point t1 = Clock::now();
      port->WriteStr(CommitFrame);
      port->ReadStr(reply, 20);
      dataMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
      commitMs += std::chrono::duration<double, std::milli>(Clock::now() - t1).count();
    }
    port->Close();
    const double blockWireMs = (dataChars + commitChars + 2 * replyChars) * 10.0 * 1000.0 / kBaud;
    std::printf("  bare port exchange per block: data %.2f ms + commit %.2f ms, wire %.2f ms (ceiling %.1f %%)\n",
                dataMs / kBlocksPerPage, commitMs / kBlocksPerPage, blockWireMs,
                100.0 * blockWireMs / ((dataMs + commitMs) / kBlocksPerPage));
    status = success ? 0 : 1;
  } catch (const std::exception& e) {
    std::printf("flash bench failed: %s\n", e.what());
    status = 2;
  }
  std::fflush(stdout);
  FinalizeUnits();
  ResetPlatform();
  return status;
}
