// The port component without a device: defaults, setters, messages, published properties and the
// port list read from the registry.
#include "serial/BCPort.h"

#include "framework/TypInfo.h"
#include "tests/serial/PortFixtures.h"
#include "tests/support/RedirectedMachineKey.h"

#include <gtest/gtest.h>

#include <string>

using port_fixtures::PortHolder;
using port_fixtures::ComErrorCode;

namespace {

TEST(ComPortSettings, DefaultsAreThoseOfTheStoredComponent) {
  PortHolder port;
  EXPECT_EQ(port->BaudRate(), br9600);
  EXPECT_EQ(port->ByteSize(), bs8);
  EXPECT_EQ(port->Parity(), paNone);
  EXPECT_EQ(port->StopBits(), sb1);
  EXPECT_EQ(port->Port(), "COM2");
  EXPECT_EQ(port->InBufSize(), 2048);
  EXPECT_EQ(port->OutBufSize(), 2048);
  EXPECT_EQ(port->SyncMethod(), smThreadSync);
  EXPECT_FALSE(port->Connected());
  EXPECT_EQ(port->Handle(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(port->EventThread(), nullptr);
  EXPECT_EQ(port->ThreadPriority(), tpNormal);
  EXPECT_EQ(port->WatchedEvents().Raw(), 0xFFu);
  TComTimeouts* t = port->Timeouts();
  EXPECT_EQ(t->ReadInterval(), -1);
  EXPECT_EQ(t->ReadTotalMultiplier(), 0);
  EXPECT_EQ(t->ReadTotalConstant(), 0);
  EXPECT_EQ(t->WriteTotalMultiplier(), 100);
  EXPECT_EQ(t->WriteTotalConstant(), 1000);
}

TEST(ComPortSettings, BaudRatesAndEventMasksFollowTheirTables) {
  EXPECT_EQ(BaudRateValue(br110), 110);
  EXPECT_EQ(BaudRateValue(br9600), 9600);
  EXPECT_EQ(BaudRateValue(br56000), 56000);
  EXPECT_EQ(BaudRateValue(br115200), 115200);
  EXPECT_EQ(BaudRateValue(br256000), 256000);
  EXPECT_EQ(ComEventMask(evRxChar), static_cast<DWORD>(EV_RXCHAR));
  EXPECT_EQ(ComEventMask(evRing), static_cast<DWORD>(EV_RING));
  EXPECT_EQ(ComEventMask(evError), static_cast<DWORD>(EV_ERR));
  EXPECT_EQ(ComEventMask(evRx80Full), static_cast<DWORD>(EV_RX80FULL));
}

TEST(ComPortSettings, LineErrorsMapToTheirSetAndParityNeedsParityChecking) {
  const DWORD all = CE_FRAME | CE_RXPARITY | CE_OVERRUN | CE_RXOVER | CE_TXFULL | CE_BREAK | CE_IOE | CE_MODE;
  const TComErrors withParity = ComErrorsFromSystem(all, paEven);
  EXPECT_EQ(withParity.Raw(), 0xFFu);
  const TComErrors withoutParity = ComErrorsFromSystem(all, paNone);
  EXPECT_FALSE(withoutParity.Contains(ceRxParity));
  EXPECT_EQ(withoutParity.Raw(), 0xFFu & ~(1u << ceRxParity));
  EXPECT_TRUE(ComErrorsFromSystem(CE_RXPARITY, paNone).Empty());
  EXPECT_EQ(ComErrorsFromSystem(CE_BREAK, paNone), (TComErrors{ceBreak}));
  EXPECT_EQ(ComErrorsFromSystem(CE_IOE | CE_FRAME, paOdd), (TComErrors{ceIO, ceFrame}));
  EXPECT_TRUE(ComErrorsFromSystem(0, paMark).Empty());
}

TEST(ComPortSettings, OddBufferSizesLoseOne) {
  PortHolder port;
  port->SetInBufSize(1001);
  EXPECT_EQ(port->InBufSize(), 1000);
  port->SetOutBufSize(4097);
  EXPECT_EQ(port->OutBufSize(), 4096);
  port->SetInBufSize(512);
  EXPECT_EQ(port->InBufSize(), 512);
}

TEST(ComPortSettings, ClosedPortTakesSettingsAndClosesQuietly) {
  PortHolder port;
  port->SetPort("COM7");
  port->SetSyncMethod(smNone);
  port->SetBaudRate(br115200);
  port->SetParity(paEven);
  EXPECT_EQ(port->Port(), "COM7");
  EXPECT_EQ(port->SyncMethod(), smNone);
  EXPECT_TRUE(port->Close());
  EXPECT_FALSE(port->Connected());
}

TEST(ComPortSettings, NegativeTimeoutsGoToTheSystemAsMaxDword) {
  PortHolder port;
  COMMTIMEOUTS t = port->Timeouts()->ToSystem();
  EXPECT_EQ(t.ReadIntervalTimeout, MAXDWORD);
  EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 100u);
  EXPECT_EQ(t.WriteTotalTimeoutConstant, 1000u);
  port->Timeouts()->SetWriteTotalConstant(-5);
  EXPECT_EQ(port->Timeouts()->ToSystem().WriteTotalTimeoutConstant, MAXDWORD);
}

TEST(ComPortSettings, TimeoutsAssignCopiesAllFiveValues) {
  PortHolder a, b;
  TComTimeouts* source = a->Timeouts();
  source->SetReadInterval(1);
  source->SetReadTotalMultiplier(2);
  source->SetReadTotalConstant(3);
  source->SetWriteTotalMultiplier(4);
  source->SetWriteTotalConstant(5);
  b->SetTimeouts(source);
  TComTimeouts* copy = b->Timeouts();
  EXPECT_NE(copy, source);
  EXPECT_EQ(copy->ReadInterval(), 1);
  EXPECT_EQ(copy->ReadTotalMultiplier(), 2);
  EXPECT_EQ(copy->ReadTotalConstant(), 3);
  EXPECT_EQ(copy->WriteTotalMultiplier(), 4);
  EXPECT_EQ(copy->WriteTotalConstant(), 5);
}

TEST(ComPortSettings, FifteenMessagesAreTheUnitsOwnTexts) {
  // CP1251 bytes: "Порт зайнятий іншою програмою"; the "СОМ" of message 0 is Cyrillic.
  EXPECT_EQ(std::string(ComErrorMessage(1)),
            "\xCF\xEE\xF0\xF2 \xE7\xE0\xE9\xED\xFF\xF2\xE8\xE9 \xB3\xED\xF8\xEE\xFE "
            "\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEE\xFE");
  EXPECT_NE(std::string(ComErrorMessage(0)).find("\xD1\xCE\xCC-\xEF\xEE\xF0\xF2"), std::string::npos);
  EXPECT_EQ(std::string(ComErrorMessage(4)).substr(0, 28), "\xCD\xE5\xE4\xEE\xEF\xF3\xF1\xF2\xE8\xEC\xE8\xE9 "
                                                            "\xEF\xE0\xF0\xE0\xEC\xE5\xF2\xF0 Async\n");
  for (int code = 2; code < ComMessageCount; ++code) {
    const std::string text = ComErrorMessage(code);
    const bool endsWithReopen = text.find("\n\xCD\xE5\xEE\xE1\xF5\xB3\xE4\xED\xEE") != std::string::npos;
    EXPECT_EQ(endsWithReopen, code != 13) << code;
  }
  EComPort e(7);
  EXPECT_EQ(e.Code(), 7);
  EXPECT_STREQ(e.ClassName(), "EComPort");
  EXPECT_NE(e.Message().find("SetCommState"), std::string::npos);
}

TEST(ComPortSettings, AsyncStepsWithoutARecordRaiseMessage4) {
  PortHolder port;
  char buffer[4];
  EXPECT_EQ(ComErrorCode([&] { port->WriteAsync("x", nullptr); }), 4);
  EXPECT_EQ(ComErrorCode([&] { port->ReadAsync(buffer, 4, nullptr); }), 4);
  EXPECT_EQ(ComErrorCode([&] { port->WaitAsync(nullptr); }), 4);
}

TEST(ComPortSettings, EmptyWritesAndZeroReadsNeverTouchThePort) {
  PortHolder port;  // closed: any system call on the port would fail
  EXPECT_EQ(port->WriteStr(""), 0);
  std::string text = "old";
  EXPECT_EQ(port->ReadStr(text, 0), 0);
  EXPECT_EQ(text, "");
  EXPECT_EQ(ComErrorCode([&] { port->WriteStr("z"); }), 2);
  EXPECT_EQ(ComErrorCode([&] { port->ReadStr(text, 3); }), 3);
  EXPECT_EQ(text, "");
}

TEST(ComPortSettings, ClassAndPropertiesArePublishedForStoredForms) {
  RegisterBCPortClasses();
  RegisterBCPortClasses();  // idempotent
  const TClassInfo* cls = FindClass("TBComPort");
  ASSERT_EQ(cls, TBComPort::StaticClassInfo());
  TObject* obj = cls->CreateInstance(nullptr);
  auto* port = static_cast<TBComPort*>(obj);
  EXPECT_TRUE(SetStrProp(obj, "Port", "COM5"));
  EXPECT_EQ(port->Port(), "COM5");
  EXPECT_TRUE(SetOrdProp(obj, "BaudRate", br115200));
  EXPECT_EQ(port->BaudRate(), br115200);
  EXPECT_TRUE(SetOrdProp(obj, "InBufSize", 1001));
  EXPECT_EQ(port->InBufSize(), 1000);
  const TPropInfo* parity = GetPropInfo(obj, "Parity");
  ASSERT_NE(parity, nullptr);
  EXPECT_EQ(GetEnumValue(*parity, "paMark"), paMark);
  const TPropInfo* sync = GetPropInfo(obj, "SyncMethod");
  ASSERT_NE(sync, nullptr);
  EXPECT_EQ(GetEnumValue(*sync, "smWindowSync"), smWindowSync);
  TObject* timeouts = GetObjectProp(obj, "Timeouts");
  ASSERT_EQ(timeouts, port->Timeouts());
  EXPECT_TRUE(SetOrdProp(timeouts, "ReadInterval", 1));
  EXPECT_TRUE(SetOrdProp(timeouts, "WriteTotalConstant", 1));
  EXPECT_EQ(port->Timeouts()->ReadInterval(), 1);
  EXPECT_EQ(port->Timeouts()->WriteTotalConstant(), 1);
  for (const char* event : {"OnCTSChange", "OnDSRChange", "OnError", "OnRing", "OnRLSDChange", "OnRx80Full",
                            "OnRxChar", "OnTxEmpty"})
    EXPECT_TRUE(HasProperty(obj, event)) << event;
  EXPECT_FALSE(HasProperty(obj, "Connected"));
  obj->Free();
}

using testing_support::RedirectedMachineKey;

void AddPort(HKEY key, const std::string& device, const std::string& port) {
  RegSetValueExA(key, device.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()),
                 static_cast<DWORD>(port.size() + 1));
}

TEST(ComPortList, AMissingKeyRaisesMessage14AndAnEmptyOneYieldsAnEmptyList) {
  RedirectedMachineKey machine;
  TStringList* list = new TStringList();
  list->Add("stale");
  EXPECT_EQ(ComErrorCode([&] { TBComPort::EnumComPorts(list); }), 14);
  EXPECT_EQ(list->Count(), 1);  // left as it was
  RegCloseKey(machine.CreateSerialComm());
  TBComPort::EnumComPorts(list);
  EXPECT_EQ(list->Count(), 0);
  list->Free();
}

TEST(ComPortList, PortsAreSortedAsTextWithoutRegardToCase) {
  RedirectedMachineKey machine;
  HKEY key = machine.CreateSerialComm();
  AddPort(key, "\\Device\\Serial1", "COM2");
  AddPort(key, "\\Device\\Serial0", "COM10");
  AddPort(key, "\\Device\\VCP0", "com11");
  AddPort(key, "\\Device\\Serial2", "COM1");
  RegCloseKey(key);
  EXPECT_EQ(port_fixtures::ListedPorts(), (std::vector<std::string>{"COM1", "COM10", "com11", "COM2"}));  // com11 before COM2
}

}  // namespace
