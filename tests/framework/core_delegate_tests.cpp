#include <gtest/gtest.h>

#include "framework/Classes.h"
#include "framework/TypInfo.h"

namespace {

struct Painter {
  int drawn = 0;
  virtual ~Painter() = default;
  virtual void Draw(TObject*) { ++drawn; }
  void Measure(TObject*) {}
};
struct FancyPainter : Painter {
  int fancy = 0;
  void Draw(TObject*) override { ++fancy; }
};

TEST(Delegate, MemberIdentityIsCodeAndObjectWhicheverWayItWasBound) {
  Painter a, b;
  FancyPainter f;
  TNotifyEvent runtime(&a, &Painter::Draw);
  auto compiled = TNotifyEvent::Bind<&Painter::Draw>(&a);
  EXPECT_EQ(runtime, compiled);
  EXPECT_NE(runtime, TNotifyEvent(&b, &Painter::Draw));
  EXPECT_TRUE(runtime.SameCode(TNotifyEvent(&b, &Painter::Draw)));
  EXPECT_NE(runtime, TNotifyEvent(&a, &Painter::Measure));
  EXPECT_FALSE(runtime.SameCode(TNotifyEvent(&a, &Painter::Measure)));
  // A virtual member names its slot: the override runs, the code is the base's member.
  TNotifyEvent onFancy(&f, &Painter::Draw);
  EXPECT_TRUE(onFancy.SameCode(runtime));
  onFancy(nullptr);
  EXPECT_EQ(f.fancy, 1);
  EXPECT_EQ(f.drawn, 0);
}

TEST(Delegate, CallablesEqualOnlyThemselvesAndNullIsLoud) {
  int hits = 0;
  auto fn = [&](TObject*) { ++hits; };
  TNotifyEvent x = fn, y = fn;
  TNotifyEvent copy = x;
  EXPECT_EQ(x, copy);
  EXPECT_NE(x, y);
  EXPECT_FALSE(x.SameCode(y));
  x = nullptr;
  copy(nullptr);  // the copy keeps the callable alive
  EXPECT_EQ(hits, 1);
  EXPECT_FALSE(TNotifyEvent());
  EXPECT_FALSE(TNotifyEvent(std::function<void(TObject*)>()));
  EXPECT_THROW(x(nullptr), std::bad_function_call);
  copy.Clear();
  EXPECT_TRUE(copy == nullptr);
}

class TEventHolder : public TComponent {
  DECLARE_CLASS(TEventHolder, TComponent)
public:
  using TComponent::TComponent;
  TNotifyEvent OnPaint;
};
PUBLISHED(TEventHolder) { p.Event("OnPaint", &TEventHolder::OnPaint); }

TEST(Delegate, PublishedEventIsReachedUntypedWithItsIdentity) {
  auto* holder = Create<TEventHolder>(nullptr);
  Painter a;
  holder->OnPaint = TNotifyEvent(&a, &Painter::Draw);
  const TPropInfo* prop = GetPropInfo(holder, "OnPaint");
  ASSERT_NE(prop, nullptr);
  EXPECT_EQ(*prop->eventType, typeid(TNotifyEvent));
  TMethod* slot = prop->eventSlot(holder);
  EXPECT_EQ(slot->Data(), &a);
  EXPECT_TRUE(slot->SameCode(TNotifyEvent(nullptr, &Painter::Draw)));
  slot->Clear();
  EXPECT_FALSE(holder->OnPaint);
  holder->Free();
}

}  // namespace
