// The simulated device as other tests see it through SimulatedDevice: its flash after a write, its
// counters, and the faults set from the Windows side.
#include "serial/BCPort.h"

#include "tests/serial/PortFixtures.h"
#include "tests/support/SimulatedDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using testing_support::DeviceFrame;
using testing_support::SimulatedDevice;
using port_fixtures::kPatienceMs;

namespace {

std::string Checksum(const std::string& payload) {
  unsigned sum = 0;
  for (size_t i = 0; i + 1 < payload.size(); i += 2) sum += std::stoul(payload.substr(i, 2), nullptr, 16);
  char text[3];
  std::snprintf(text, sizeof text, "%02X", sum & 0xFF);
  return text;
}

std::string Frame(const std::string& payload) { return "z" + payload + Checksum(payload) + ";"; }

class DeviceSession : public testing::Test {
protected:
  void Open(SimulatedDevice& device) {
    device_ = &device;
    port_ = new TBComPort(nullptr);
    port_->SetPort(device.PortName());
    port_->SetBaudRate(br115200);
    port_fixtures::UseLoaderTimeouts(port_);
    port_->Open();
  }
  void TearDown() override {
    if (port_) port_->Free();
  }
  // One exchange: write, then read what the device answered. Once the device has handled the frame
  // (Sync), its reply is on the line or there is none; reading on to the reply's ';' only covers a
  // reply the pty hands over in pieces.
  std::string Exchange(const std::string& frame, int count = 40) {
    port_->WriteStr(frame);
    device_->Sync();
    return ReadReply(count, 0);
  }
  // Reads until a reply ends (';') or `count` bytes came. Nothing within `waitMs` is no reply; a reply
  // that has begun is read on to its end.
  std::string ReadReply(int count, DWORD waitMs) {
    std::string reply, chunk;
    const DWORD start = GetTickCount();
    for (;;) {
      port_->ReadStr(chunk, count - static_cast<int>(reply.size()));
      reply += chunk;
      if (static_cast<int>(reply.size()) >= count || (!reply.empty() && reply.back() == ';')) break;
      if (GetTickCount() - start >= (reply.empty() ? waitMs : kPatienceMs)) break;
    }
    return reply;
  }
  SimulatedDevice* device_ = nullptr;
  TBComPort* port_ = nullptr;
};

TEST_F(DeviceSession, WrittenBlocksLandInFlashAtTheirPageAndBlock) {
  SimulatedDevice device({.blocksPerPage = 2, .blockSize = 4, .pageCount = 3});
  Open(device);
  EXPECT_EQ(Exchange(Frame("04000008")), "z8484;");  // page 1
  EXPECT_EQ(Exchange(Frame("0502DEADBEEF")), "z8585;");
  EXPECT_EQ(Exchange("z0606;"), "z8686;");
  EXPECT_EQ(Exchange(Frame("050101020304")), "z8585;");
  EXPECT_EQ(Exchange("z0606;"), "z8686;");
  std::vector<uint8_t> expected(24, 0xFF);
  const uint8_t block1[] = {1, 2, 3, 4}, block2[] = {0xDE, 0xAD, 0xBE, 0xEF};
  std::copy(block1, block1 + 4, expected.begin() + 8);
  std::copy(block2, block2 + 4, expected.begin() + 12);
  EXPECT_EQ(device.Memory(), expected);
  const auto counts = device.Counts();
  EXPECT_EQ(counts.erase, 1);
  EXPECT_EQ(counts.data, 2);
  EXPECT_EQ(counts.commit, 2);
  EXPECT_EQ(counts.Replies(DeviceFrame::Commit), 2);
  EXPECT_EQ(counts.bad, 0);
  EXPECT_EQ(device.History(2), (std::vector<std::string>{Frame("050101020304"), "z0606;"}));
  device.ResetCounts();
  EXPECT_EQ(device.Counts().erase, 0);
}

TEST_F(DeviceSession, FaultsSetFromTheTestChangeTheAnswers) {
  SimulatedDevice device;
  Open(device);
  device.AnswerOnTry(DeviceFrame::Identify, 3);
  EXPECT_EQ(Exchange("z0202;"), "");
  EXPECT_EQ(Exchange("z0202;"), "");
  EXPECT_EQ(Exchange("z0202;").substr(0, 5), "z8202");
  device.AnswerOnTry(DeviceFrame::Identify, 1);
  device.WrongReplyCode(DeviceFrame::Identify, "83");
  EXPECT_EQ(Exchange("z0202;").substr(0, 5), "z8302");
  device.WrongReplyCode(DeviceFrame::Identify, "-");
  device.SetLoaderVersion("03");
  EXPECT_EQ(Exchange("z0202;").substr(0, 5), "z8203");
  device.SetDescription(std::string("17\n1123"));
  EXPECT_EQ(Exchange("z0303;", 1000).substr(0, 10), "z8317\n1123");
  device.SetDescription(std::nullopt);
  EXPECT_EQ(Exchange("z0303;", 1000), "");
  device.DropReplies(DeviceFrame::Reset, 1.0);
  EXPECT_EQ(Exchange("z0101;"), "");
  EXPECT_EQ(device.Counts().Dropped(DeviceFrame::Reset), 1);
  device.SilentAfter(DeviceFrame::Commit, 1);
  EXPECT_EQ(Exchange("z0606;"), "");
  EXPECT_EQ(Exchange("z0202;"), "");  // silent for everything from then on
  device.SetSilent(false);
  EXPECT_EQ(Exchange("z0202;").substr(0, 3), "z82");
  EXPECT_EQ(Exchange("z0203;"), "");  // wrong checksum
  EXPECT_EQ(device.Counts().bad, 1);
}

TEST_F(DeviceSession, ProcessingTimeDelaysTheAnswer) {
  SimulatedDevice device;
  Open(device);
  device.SetProcessingTime(DeviceFrame::Commit, 1000);
  // Load only makes the answer later: it comes whole, in turn, and not before its processing time (less a margin
  // for the two processes' clocks).
  const auto sent = std::chrono::steady_clock::now();
  port_->WriteStr("z0606;");
  EXPECT_EQ(ReadReply(20, kPatienceMs), "z8686;");
  EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(900));
}

}  // namespace

namespace {

TEST(SimulatedDeviceLife, ADeviceStartsAfterAnotherOneEnded) {
  { SimulatedDevice device; }
  SimulatedDevice second;  // registers its port in the key the first one used
  const std::vector<std::string> ports = port_fixtures::ListedPorts();
  EXPECT_NE(std::find(ports.begin(), ports.end(), second.PortName()), ports.end());
}

}  // namespace
