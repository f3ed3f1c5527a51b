// The port component against the simulated device on a pseudo-terminal: opening, settings, string
// I/O with the loader's time-outs, open failures, modem lines and the port list.
#include "serial/BCPort.h"

#include "tests/serial/PortFixtures.h"
#include "tests/support/SimulatedDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using testing_support::DeviceFrame;
using testing_support::SimulatedDevice;

using port_fixtures::ComErrorCode;
using port_fixtures::kPatienceMs;
using port_fixtures::ListedPorts;
using port_fixtures::PortHolder;
using port_fixtures::PortOnDevice;
using port_fixtures::PortWithoutModemLines;
using port_fixtures::ReadReply;
using port_fixtures::WaitUntil;

namespace {

TEST(ComPortDevice, OpensConfiguresAndCloses) {
  PortOnDevice on;
  PortHolder& port = on.port;
  port->SetBaudRate(br115200);
  EXPECT_TRUE(port->Open());
  EXPECT_TRUE(port->Connected());
  EXPECT_NE(port->Handle(), INVALID_HANDLE_VALUE);
  ASSERT_NE(port->EventThread(), nullptr);

  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  ASSERT_TRUE(GetCommState(port->Handle(), &dcb));
  EXPECT_EQ(dcb.BaudRate, 115200u);
  EXPECT_EQ(dcb.ByteSize, 8);
  EXPECT_EQ(dcb.Parity, NOPARITY);
  EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
  COMMTIMEOUTS t{};
  ASSERT_TRUE(GetCommTimeouts(port->Handle(), &t));
  EXPECT_EQ(t.ReadIntervalTimeout, 1u);
  EXPECT_EQ(t.ReadTotalTimeoutConstant, 1u);
  EXPECT_EQ(t.WriteTotalTimeoutConstant, 1u);

  // Settings changed while open are applied at once.
  port->SetBaudRate(br9600);
  port->Timeouts()->SetReadTotalConstant(7);
  ASSERT_TRUE(GetCommState(port->Handle(), &dcb));
  EXPECT_EQ(dcb.BaudRate, 9600u);
  ASSERT_TRUE(GetCommTimeouts(port->Handle(), &t));
  EXPECT_EQ(t.ReadTotalTimeoutConstant, 7u);

  EXPECT_TRUE(port->Open());  // already open: nothing happens
  EXPECT_TRUE(port->Close());
  EXPECT_FALSE(port->Connected());
  EXPECT_EQ(port->Handle(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(port->EventThread(), nullptr);
  EXPECT_TRUE(port->Close());
  // Released: the port opens again.
  EXPECT_TRUE(port->Open());
  EXPECT_TRUE(port->Close());
}

TEST(ComPortDevice, PortAndSyncMethodAreRefusedWhileOpen) {
  PortOnDevice on;
  auto& [device, port] = on;
  port->Open();
  EXPECT_EQ(ComErrorCode([&] { port->SetPort(device.PortName()); }), 13);  // even its own name
  EXPECT_EQ(ComErrorCode([&] { port->SetSyncMethod(smNone); }), 13);
  port->SetSyncMethod(smThreadSync);  // the same value is accepted
  EXPECT_EQ(port->Port(), device.PortName());
  port->Close();
  port->SetSyncMethod(smNone);
  EXPECT_EQ(port->SyncMethod(), smNone);
}

TEST(ComPortDevice, WritesAFrameAndReadsTheReply) {
  PortOnDevice on({.blocksPerPage = 16, .blockSize = 64, .pageCount = 0x30});
  auto& [device, port] = on;
  port->SetBaudRate(br115200);
  port->Open();
  EXPECT_EQ(port->WriteStr("zzzzz"), 5);
  EXPECT_EQ(port->WriteStr("z0202;"), 6);
  device.Sync();
  const std::string reply = ReadReply(port.port, 40);
  EXPECT_EQ(reply.substr(0, 17), "z8202000010400030");
  EXPECT_EQ(reply.size(), 20u);
  const auto counts = device.Counts();
  EXPECT_EQ(counts.identify, 1);
  EXPECT_EQ(counts.wakeChars, 5);
  EXPECT_EQ(device.History(1), std::vector<std::string>{"z0202;"});
}

TEST(ComPortDevice, ReadThatTimesOutEmptyReturnsNothing) {
  PortOnDevice on;
  auto& [device, port] = on;
  device.SetSilent(true);
  port->Open();
  port->WriteStr("z0202;");
  device.Sync();  // the device has taken the frame and stayed silent: nothing can arrive any more
  std::string text = "previous";
  // Under Wine this completion reports ERROR_TIMEOUT; it must read as 0 bytes, not as message 3.
  EXPECT_EQ(port->ReadStr(text, 20), 0);
  EXPECT_EQ(text, "");
  EXPECT_EQ(device.Counts().identify, 1);
}

TEST(ComPortDevice, ReadTakesWhatArrivedWithinTheTimeouts) {
  PortOnDevice on;
  auto& [device, port] = on;
  port->Open();
  port->WriteStr("z0303;");
  device.Sync();
  // The whole reply is on the line now; the driver's count of it may lag the pty a moment.
  ASSERT_TRUE(WaitUntil([&] { return port->InputCount() >= 12; }));
  ASSERT_EQ(port->InputCount(), 12);
  std::string text;
  EXPECT_EQ(port->ReadStr(text, 4), 4);  // more is waiting; the count ends the read
  EXPECT_EQ(text, "z831");
  EXPECT_EQ(port->InputCount(), 8);  // the rest of "z83171122XX;"
  EXPECT_EQ(port->ReadStr(text, 100), 8);
  EXPECT_EQ(text.back(), ';');
  EXPECT_EQ(port->InputCount(), 0);
}

TEST(ComPortDevice, RejectedLineSettingsLeaveThePortClosed) {
  PortOnDevice on;
  PortHolder& port = on.port;
  port->SetParity(static_cast<TParity>(7));  // no such parity: the system refuses the settings
  EXPECT_EQ(ComErrorCode([&] { port->Open(); }), 7);
  EXPECT_FALSE(port->Connected());
  EXPECT_EQ(port->Handle(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(port->EventThread(), nullptr);
  port->SetParity(paNone);
  EXPECT_TRUE(port->Open());  // the failed attempt released the port
  EXPECT_EQ(ComErrorCode([&] { port->SetParity(static_cast<TParity>(7)); }), 7);  // applied at once while open
  EXPECT_TRUE(port->Connected());
  port->SetParity(paOdd);  // a valid value goes through (a pty keeps no parity to read back)
  EXPECT_EQ(port->Parity(), paOdd);
  EXPECT_TRUE(port->Close());
}

TEST(ComPortDevice, MissingEmptyOrInvalidPortNameRaisesMessage0) {
  // No such port, no port chosen (an empty list), a name the system cannot take: not the buffer-size failure.
  for (const char* name : {"COM251", "", "bad/name"}) {
    PortHolder port;
    port->SetPort(name);
    EXPECT_EQ(ComErrorCode([&] { port->Open(); }), 0) << name;
    EXPECT_FALSE(port->Connected()) << name;
    EXPECT_EQ(port->Handle(), INVALID_HANDLE_VALUE) << name;
    EXPECT_EQ(port->EventThread(), nullptr) << name;
  }
}

TEST(ComPortDevice, BusyPortRaisesMessage1) {
  PortOnDevice on({.busy = true});
  PortHolder& port = on.port;
  EXPECT_EQ(ComErrorCode([&] { port->Open(); }), 1);
  EXPECT_FALSE(port->Connected());
  EXPECT_EQ(port->Handle(), INVALID_HANDLE_VALUE);
}

TEST(ComPortDevice, ModemLinesComeFromTheShim) {
  PortOnDevice on;
  auto& [device, port] = on;
  ASSERT_TRUE(device.HasModemLines());
  port->Open();
  const TComSignals signals = port->ModemSignals();
  EXPECT_TRUE(signals.Contains(csCTS));
  EXPECT_TRUE(signals.Contains(csDSR));
  EXPECT_TRUE(signals.Contains(csRLSD));
  EXPECT_FALSE(signals.Contains(csRing));
  port->SetDTR(true);
  port->SetRTS(false);
  EXPECT_TRUE(port->Close());
}

// The purge that a close makes takes back nothing already written: the pty passes it on at once, as a wire does once
// the bytes have left (the kernel would drop them from the device's end while the device had not read them yet).
TEST(ComPortDevice, APurgeRightAfterAWriteLeavesTheFrameWithTheDevice) {
  SimulatedDevice device;
  PortHolder port;
  port->SetPort(device.PortName());
  port->Open();
  for (int i = 0; i < 200; ++i) {
    port->WriteStr("z0101;");
    ASSERT_TRUE(PurgeComm(port->Handle(), PURGE_TXABORT | PURGE_RXABORT));
  }
  EXPECT_EQ(device.Counts().reset, 200);
}

TEST(ComPortDevice, CloseWithoutModemLinesReleasesThePortAndRaisesMessage12) {
  PortWithoutModemLines on;
  PortHolder& port = on.port;
  port->Open();
  EXPECT_EQ(ComErrorCode([&] { port->ModemSignals(); }), 11);
  EXPECT_EQ(ComErrorCode([&] { port->Close(); }), 12);
  // Released all the same: closed, thread gone, and the port opens again.
  EXPECT_FALSE(port->Connected());
  EXPECT_EQ(port->EventThread(), nullptr);
  EXPECT_EQ(port->Handle(), INVALID_HANDLE_VALUE);
  EXPECT_TRUE(port->Open());
  EXPECT_EQ(ComErrorCode([&] { port->Close(); }), 12);
  EXPECT_TRUE(port->Close());  // closed: nothing to do
}

TEST(ComPortDevice, DeviceClosingItsEndMidWriteFailsTheIoLoudly) {
  PortOnDevice on({.blocksPerPage = 2, .blockSize = 4, .pageCount = 2});
  auto& [device, port] = on;
  device.CloseAfter(DeviceFrame::Data, 1);
  port->Open();
  port->WriteStr("z0400000004;");
  device.Sync();
  EXPECT_EQ(ReadReply(port.port, 20), "z8484;");
  port->WriteStr("z0501DEADBEEF3E;");  // the device hangs up on this frame
  device.Sync();  // it has: the pty is closed
  std::string text = "previous";
  int read = -1, write = -1;
  try {
    port->ReadStr(text, 20);
  } catch (const EComPort& e) {
    read = e.Code();
  }
  try {
    port->WriteStr("z0606;");
  } catch (const EComPort& e) {
    write = e.Code();
  }
  EXPECT_EQ(read, 3);
  EXPECT_EQ(text, "");
  EXPECT_EQ(write, 2);
  EXPECT_EQ(device.Counts().data, 1);
}

TEST(ComPortList, ListsTheSimulatedPort) {
  SimulatedDevice first, second;
  const std::vector<std::string> ports = ListedPorts();
  EXPECT_NE(std::find(ports.begin(), ports.end(), first.PortName()), ports.end());
  EXPECT_NE(std::find(ports.begin(), ports.end(), second.PortName()), ports.end());
  for (size_t i = 1; i < ports.size(); ++i)
    EXPECT_LE(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, ports[i - 1].c_str(), -1, ports[i].c_str(), -1),
              CSTR_EQUAL)
        << ports[i - 1] << " " << ports[i];
}

TEST(ComPortList, StoppedDeviceIsNoLongerListed) {
  std::string name;
  {
    // Numbers no other test reaches, so no device started meanwhile takes the same name.
    SimulatedDevice device({.firstCom = 240});
    name = device.PortName();
  }
  const std::vector<std::string> ports = ListedPorts();
  EXPECT_EQ(std::find(ports.begin(), ports.end(), name), ports.end());
  PortHolder port;
  port->SetPort(name);
  EXPECT_EQ(ComErrorCode([&] { port->Open(); }), 0);
}

}  // namespace
