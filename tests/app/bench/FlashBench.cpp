// Flash throughput: the stored firmware written through the real forms and port to a simulated
// device whose wire runs at 115200 baud in both directions. The write phase (first erase to the
// final reset) is timed and compared with the wire time of the characters exchanged (10 bits
// each: 8 data bits, start and stop), and with the same frames exchanged bare on the same port:
// write, read, nothing between. Writes and bare exchanges alternate (write, bare, bare, write) so
// that a machine whose load drifts during the run weighs on both alike.
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
#include "tests/app/DeviceFixtures.h"
#include "tests/support/SimulatedDevice.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

using testing_support::DeviceCounts;
using testing_support::DeviceFrame;
using testing_support::SimulatedDevice;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kBaud = 115200, kBlocksPerPage = 16, kBlockSize = 64;
// The whole write, and a block of it, within this share of the same frames exchanged bare.
constexpr double kGoalPercent = 3;
// Characters of each frame and of every reply ("z8N", two checksum digits, ";").
constexpr long long kEraseChars = 12, kDataChars = 8 + 2LL * kBlockSize, kCommitChars = 6, kReplyChars = 6;

// The timed phases as a +relay trace shows them, for counting the server requests of each.
const char* const kMarkWriteStart = "MARK write-start";
const char* const kMarkWriteEnd = "MARK write-end";
const char* const kMarkBareStart = "MARK bare-start";
const char* const kMarkBareEnd = "MARK bare-end";

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
double WireMs(long long chars) { return static_cast<double>(chars) * 10.0 * 1000.0 / kBaud; }

// Where the time of a write or a bare exchange lies, from the moments its erase and commit frames were first sent
// (retries add to the part they fall in): from the first erase to the first block's commit, from block to block
// within the pages, from a page's last block to the next page's first (the page change, the next erase and the
// first block's data), and from the last block to the end. A block is marked by its commit: the window served while
// its data frame is on the wire lies inside the block's period, as does the wait that hides it.
struct TPhases {
  double start = 0, blocks = 0, pageChanges = 0, end = 0;
  Clock::time_point firstErase{}, lastData{};
  int block = 0;  // of the last data frame
  void Erase(Clock::time_point at) {
    if (firstErase == Clock::time_point{}) firstErase = at;
  }
  void Data(int block, Clock::time_point at) {
    if (lastData == Clock::time_point{})
      start += Ms(at - firstErase);
    else
      (block == 1 ? pageChanges : blocks) += Ms(at - lastData);
    lastData = at;
  }
  // A frame's first try sent at `at`.
  void Sent(const std::string& frame, Clock::time_point at) {
    if (frame.compare(0, 3, "z04") == 0) Erase(at);
    if (frame.compare(0, 3, "z05") == 0) block = std::stoi(frame.substr(3, 2), nullptr, 16);
    if (frame == CommitFrame) Data(block, at);
  }
  void End(Clock::time_point at) { end += Ms(at - lastData); }
  TPhases& operator+=(const TPhases& o) {
    start += o.start, blocks += o.blocks, pageChanges += o.pageChanges, end += o.end;
    return *this;
  }
};

// The write phase is timed from the loader's own sleeps: the first erase try sleeps 0 ms first, the
// reset after the last page 100 ms. Each data try's sleep also marks the start of a block: from one
// block of a page to the next is one block's period (its data and commit exchanges and all the loader
// does around them).
struct TWriteClock {
  Clock::time_point start{}, end{};
  bool writing = false;
  int lastBlock = 0;  // the block of the last data try's sleep
  Clock::time_point lastBlockStart{};
  std::vector<double> blockMs;
  TPhases phases;
  std::string lastFrame;  // of the last try: a try of another frame is that frame's first
  void Sleep(DWORD ms) {
    if (!writing && ms == 0) OutputDebugStringA(kMarkWriteStart);
    const Clock::time_point now = Clock::now();
    if (!writing && ms == 0) {
      writing = true;
      start = now;
    } else if (writing && ms == 100 && end == Clock::time_point{}) {
      end = now;
      OutputDebugStringA(kMarkWriteEnd);
      phases.End(now);
    }
    const TBootloaderSession& session = MainForm->Session();
    const std::string& frame = session.FrameText;
    if (writing && end == Clock::time_point{} && frame != lastFrame) phases.Sent(frame, now);
    lastFrame = frame;
    if (writing && end == Clock::time_point{} && frame.compare(0, 3, "z05") == 0) {
      const int block = std::stoi(frame.substr(3, 2), nullptr, 16);
      // Only blocks the loader wrote without its own delays: those grow with failed tries.
      if (block == lastBlock + 1 && session.WriteDelay == 0 && session.CommitDelay == 0)
        blockMs.push_back(Ms(now - lastBlockStart));
      lastBlock = block;
      lastBlockStart = now;
    }
    ::Sleep(ms);
  }
};
TWriteClock g_write;

struct TRound {
  double ms = 0;      // write phase, or the bare exchange
  double wireMs = 0;  // the wire time of the characters exchanged
  int failures = 0;   // failed tries of the write, replies missed by the bare exchange
  int erases = 0;     // erase frames the device got
  std::vector<double> blockMs;  // periods of the blocks after the first of each page
  TPhases phases;
};

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

// One write through the write button; frames and replies counted by the device.
TRound WriteRound(SimulatedDevice& device) {
  const DeviceCounts before = device.Counts();
  g_write = TWriteClock{};
  MainForm->ButtonWriteClick(MainForm);
  if (g_write.end == Clock::time_point{}) g_write.end = Clock::now();
  const DeviceCounts after = device.Counts();
  auto delta = [&](DeviceFrame kind) { return after.Replies(kind) - before.Replies(kind); };
  const long long sent = (after.erase - before.erase) * kEraseChars + (after.data - before.data) * kDataChars +
                         (after.commit - before.commit) * kCommitChars;
  const long long received =
      (delta(DeviceFrame::Erase) + delta(DeviceFrame::Data) + delta(DeviceFrame::Commit)) * kReplyChars;
  return TRound{Ms(g_write.end - g_write.start), WireMs(sent + received), MainForm->Session().FailureCount,
                after.erase - before.erase, g_write.blockMs, g_write.phases};
}

// The same frames as a write of `pages` pages, each written and its reply read at once.
TRound BareRound(int pages) {
  TBComPort* port = MainForm->BComPort1;
  const std::string& image = MainForm->Session().FirmwareImage;
  std::string reply;
  TRound round;
  port->Open();
  OutputDebugStringA(kMarkBareStart);
  const Clock::time_point t0 = Clock::now();
  auto exchange = [&](const std::string& frame) {
    port->WriteStr(frame);
    round.phases.Sent(frame, Clock::now());
    port->ReadStr(reply, 20);
    // A reply missed by its read (the same that costs the loader a try) is counted.
    if (reply.size() != 6 || reply[1] != '8' || reply[2] != frame[2] || reply.back() != ';') ++round.failures;
  };
  for (int page = 0, offset = 0; page < pages; ++page) {
    exchange(EraseFrame(static_cast<uint64_t>(offset)));
    Clock::time_point blockStart{};
    for (int block = 1; block <= kBlocksPerPage; ++block, offset += kBlockSize) {
      const Clock::time_point now = Clock::now();
      if (block > 1) round.blockMs.push_back(Ms(now - blockStart));
      blockStart = now;
      exchange(DataFrame(block, image.substr(2 * static_cast<size_t>(offset), 2 * kBlockSize)));
      exchange(CommitFrame);
    }
  }
  const Clock::time_point end = Clock::now();
  round.ms = Ms(end - t0);
  round.phases.End(end);
  OutputDebugStringA(kMarkBareEnd);
  port->Close();
  const long long blockChars = kDataChars + kCommitChars + 2 * kReplyChars;
  round.wireMs = WireMs(pages * (kEraseChars + kReplyChars + kBlocksPerPage * blockChars));
  round.erases = pages;
  return round;
}

}  // namespace

int main(int argc, char** argv) {
  const int pages = argc > 1 ? std::atoi(argv[1]) : 28;
  RegisterLoaderUnits();
  InitializeUnits();
  // Boxes are answered at once; the bench reads the outcome from the form.
  Platform().MessageBoxSink = [](const TMessageBoxRequest&) { return IDOK; };
  Platform().MessageBeep = [](UINT) { return TRUE; };
  Platform().Beep = [](DWORD, DWORD) { return TRUE; };
  Platform().Sleep = [](DWORD ms) { g_write.Sleep(ms); };

  int status = 0;
  try {
    Application->Initialize();
    Application->CreateForm(MainForm);
    Application->CreateForm(FormHelp);
    MainForm->Show();
    Application->ProcessMessages();

    SimulatedDevice device({.blocksPerPage = kBlocksPerPage, .blockSize = kBlockSize, .pageCount = pages, .baud = kBaud});
    device_fixtures::ChoosePort(device.PortName());

    TRound writes[2], bares[2];
    writes[0] = WriteRound(device);
    bares[0] = BareRound(pages);
    bares[1] = BareRound(pages);
    writes[1] = WriteRound(device);
    bool written = device.Memory().size() == static_cast<size_t>(pages) * kBlocksPerPage * kBlockSize;
    for (const TRound& w : writes) written = written && w.failures < 400 && w.erases >= pages;

    std::printf("flash throughput at %d baud, %d pages x %d blocks x %d bytes (%s)\n", kBaud, pages, kBlocksPerPage,
                kBlockSize, written ? "written" : "FAILED");
    for (int i = 0; i < 2; ++i)
      std::printf("  write %d: %8.1f ms, %d failed tries; bare exchange %8.1f ms, %d replies missed\n", i + 1,
                  writes[i].ms, writes[i].failures, bares[i].ms, bares[i].failures);
    // Failed tries add frames: the write is set against the bare exchange per wire millisecond.
    const double write = (writes[0].ms + writes[1].ms) / (writes[0].wireMs + writes[1].wireMs);
    const double bare = (bares[0].ms + bares[1].ms) / (bares[0].wireMs + bares[1].wireMs);
    std::printf("  throughput: write %.1f %% of the wire limit (%.1f ms), bare exchange %.1f %%\n", 100.0 / write,
                writes[0].wireMs, 100.0 / bare);
    const double beyond = 100.0 * (write / bare - 1);
    std::printf("  whole write beyond the bare exchange: %+.1f %% (goal within %.0f %% -> %s)\n", beyond, kGoalPercent,
                beyond <= kGoalPercent ? "met" : "not met");
    TPhases inWrites = writes[0].phases, exchanged = bares[0].phases;
    inWrites += writes[1].phases;
    exchanged += bares[1].phases;
    const double bareMs = bares[0].ms + bares[1].ms;
    std::printf("  where the time lies, both rounds (written / bare ms, the difference in %% of the bare exchange):\n");
    const std::pair<const char*, double TPhases::*> parts[] = {{"first erase to first block", &TPhases::start},
                                                               {"blocks within pages", &TPhases::blocks},
                                                               {"page changes (last block to next first)", &TPhases::pageChanges},
                                                               {"last block to the end", &TPhases::end}};
    for (const auto& [name, part] : parts)
      std::printf("    %-40s %8.1f / %8.1f  %+.2f %%\n", name, inWrites.*part, exchanged.*part,
                  100.0 * (inWrites.*part - exchanged.*part) / bareMs);
    // A late reply on a loaded machine costs a failed try, and its delay, grown by 1 ms, stays for the rest
    // of the write: the median of the blocks written before any delay is the loader's own pace.
    std::vector<double> writeBlocks = writes[0].blockMs, bareBlocks = bares[0].blockMs;
    writeBlocks.insert(writeBlocks.end(), writes[1].blockMs.begin(), writes[1].blockMs.end());
    bareBlocks.insert(bareBlocks.end(), bares[1].blockMs.begin(), bares[1].blockMs.end());
    const double writeBlock = Median(writeBlocks), bareBlock = Median(bareBlocks);
    const double blockBeyond = 100.0 * (writeBlock / bareBlock - 1);
    std::printf("  a block (median of %zu): written %.2f ms, bare %.2f ms, wire %.2f ms: %+.1f %% beyond the bare "
                "exchange (goal within %.0f %% -> %s)\n",
                writeBlocks.size(), writeBlock, bareBlock, WireMs(kDataChars + kCommitChars + 2 * kReplyChars),
                blockBeyond, kGoalPercent, blockBeyond <= kGoalPercent ? "met" : "not met");
    status = written ? 0 : 1;
  } catch (const std::exception& e) {
    std::printf("flash bench failed: %s\n", e.what());
    status = 2;
  }
  std::fflush(stdout);
  FinalizeUnits();
  ResetPlatform();
  return status;
}
