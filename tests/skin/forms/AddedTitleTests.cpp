// The added caption text: which changes repaint the frame, and when its font is worth storing.
#include <gtest/gtest.h>

#include "FormTestSupport.h"

using namespace form_test;

namespace {

// A pixel of the caption overwritten in the cache: a repaint of the frame puts the skin's colour back.
struct TMarked {
  ManagerPtr M = CarriedManager();
  Owned<TForm> F{NewForm(300, 200)};
  TsSkinProvider* P;
  TMarked() {
    P = Create<TsSkinProvider>(F.get());
    F->Show();
    PumpUntil([] { return false; }, 50);
  }
  void Mark() { SetPixel(P->FrameCache()->Canvas()->Handle(), 150, 12, RGB(1, 2, 3)); }
  bool Repainted() { return CacheRgb(P->FrameCache(), 150, 12) != 0x010203; }
};

}  // namespace

TEST(AddedTitle, OnlyChangesRepaintAndNoneWhileLoading) {
  TMarked T;
  TvkAddedTitle* A = T.P->AddedTitle();
  T.Mark();
  A->SetText("Port");
  EXPECT_TRUE(T.Repainted());
  T.Mark();
  A->SetText("Port");
  A->SetShowMainCaption(true);
  EXPECT_FALSE(T.Repainted());
  A->SetShowMainCaption(false);
  EXPECT_TRUE(T.Repainted());

  TsSkinProviderAccess::SetLoading(T.P, true);
  T.Mark();
  A->SetText("COM3");
  A->SetShowMainCaption(true);
  EXPECT_FALSE(T.Repainted());
  TsSkinProviderAccess::SetLoading(T.P, false);
}

TEST(AddedTitle, FontStoredOnlyWhenItsLookChanges) {
  TvkAddedTitle A(nullptr);
  EXPECT_FALSE(A.IsFontStored());
  A.Font()->SetColor(clRed);
  EXPECT_FALSE(A.IsFontStored());
  A.Font()->SetSize(A.Font()->Size() + 2);
  EXPECT_TRUE(A.IsFontStored());
}
