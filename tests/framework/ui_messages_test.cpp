#include <gtest/gtest.h>

#include "framework/Messages.h"

namespace {

TEST(UiMessages, HalvesReadAndWriteTheirOwnWordOnly) {
  TMessage m;
  m.WParam = 0x12345678;
  m.LParam = static_cast<LPARAM>(0xFFFE0003);
  EXPECT_EQ(m.WParamLo(), 0x5678);
  EXPECT_EQ(m.WParamHi(), 0x1234);
  EXPECT_EQ(static_cast<short>(m.LParamHi()), -2);
  m.SetWParamHi(0xABCD);
  EXPECT_EQ(m.WParam, 0xABCD5678u);
  m.SetLParamLo(0x0010);
  EXPECT_EQ(static_cast<DWORD>(m.LParam), 0xFFFE0010u);
  m.SetResultHi(1);
  m.SetResultLo(2);
  EXPECT_EQ(m.Result, 0x00010002);
}

TEST(UiMessages, TypedViewsReadSignedCoordinatesAndWriteResult) {
  TMessage m{WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(-5), 300), 0};
  TWMNCHitTest hit(m);
  EXPECT_EQ(hit.XPos(), -5);
  EXPECT_EQ(hit.YPos(), 300);
  hit.SetResult(HTCAPTION);
  EXPECT_EQ(m.Result, HTCAPTION);

  TMessage sys{WM_SYSCOMMAND, SC_MINIMIZE | 2, 0, 0};
  EXPECT_EQ(TWMSysCommand(sys).CmdType(), static_cast<UINT>(SC_MINIMIZE));

  HDC fake = reinterpret_cast<HDC>(0x1234);
  TMessage copy{WM_ERASEBKGND, reinterpret_cast<WPARAM>(fake), reinterpret_cast<LPARAM>(fake), 0};
  EXPECT_TRUE(TWMEraseBkgnd(copy).IsCopyRequest());
  copy.LParam = 0;
  EXPECT_FALSE(TWMEraseBkgnd(copy).IsCopyRequest());
}

} // namespace
