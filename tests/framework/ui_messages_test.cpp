#include <gtest/gtest.h>

#include "framework/Messages.h"

namespace {

struct Recorder {
  int calls = 0;
  UINT last = 0;
  void Handle(TMessage& m) {
    ++calls;
    last = m.Msg;
    m.Result = 7;
  }
  void Other(TMessage& m) { m.Result = 9; }
};

struct DerivedRecorder : Recorder {};

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

TEST(UiMessages, DelegateIsNullTestableAndCallsItsObject) {
  TWndMethod none;
  EXPECT_FALSE(none);
  EXPECT_TRUE(none == nullptr);
  Recorder r;
  TWndMethod m = TWndMethod::Bind<&Recorder::Handle>(&r);
  ASSERT_TRUE(m);
  TMessage msg{WM_USER, 0, 0, 0};
  m(msg);
  EXPECT_EQ(r.calls, 1);
  EXPECT_EQ(msg.Result, 7);
}

TEST(UiMessages, DelegateEqualityIsCodePlusDataAndSameCodeIgnoresTheObject) {
  Recorder a, b;
  DerivedRecorder d;
  TWndMethod a1 = TWndMethod::Bind<&Recorder::Handle>(&a);
  TWndMethod a2 = TWndMethod::Bind<&Recorder::Handle>(&a);
  TWndMethod b1 = TWndMethod::Bind<&Recorder::Handle>(&b);
  TWndMethod aOther = TWndMethod::Bind<&Recorder::Other>(&a);
  // A derived object bound through the base member has the same code.
  TWndMethod dBase = TWndMethod::Bind<&Recorder::Handle>(&d);
  EXPECT_EQ(a1, a2);
  EXPECT_NE(a1, b1);
  EXPECT_TRUE(a1.SameCode(b1));
  EXPECT_TRUE(a1.SameCode(dBase));
  EXPECT_NE(a1, aOther);
  EXPECT_FALSE(a1.SameCode(aOther));
}

TEST(UiMessages, StoredCallableEqualsOnlyItselfAndItsCopies) {
  int hits = 0;
  auto fn = [&](TMessage&) { ++hits; };
  TWndMethod f1 = TWndMethod::FromFunction(fn);
  TWndMethod f2 = TWndMethod::FromFunction(fn);
  TWndMethod copy = f1;
  EXPECT_EQ(f1, copy);
  EXPECT_NE(f1, f2);
  EXPECT_FALSE(f1.SameCode(f2));
  TMessage msg;
  copy(msg);
  f1 = nullptr;  // the copy keeps the callable alive
  copy(msg);
  EXPECT_EQ(hits, 2);
}

} // namespace
