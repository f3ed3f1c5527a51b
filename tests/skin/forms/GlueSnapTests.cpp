// Edge snapping against the work area and other forms, and forms glued to a master that follow it.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "skin/forms/vkGlue.h"

using namespace form_test;

namespace {

struct TGlue {
  ManagerPtr M = CarriedManager();
  RECT Work{};
  TGlue() { SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0); }
  // A shown form with a provider at (X, Y).
  std::pair<Owned<TForm>, TsSkinProvider*> Form(const char* Name, int X, int Y, int W = 200, int H = 150) {
    Owned<TForm> F(NewForm(W, H));
    F->SetName(Name);
    F->SetBounds(X, Y, W, H);
    TsSkinProvider* P = Create<TsSkinProvider>(F.get());
    F->Show();
    return {std::move(F), P};
  }
};

}  // namespace

TEST(GlueSnap, WorkAreaEdgeWithinTheBuffer) {
  TGlue T;
  auto [F, P] = T.Form("Lone", T.Work.left + 300, T.Work.top + 200);
  ASSERT_EQ(P->SnapBuffer(), 10);
  struct Row {
    int Gap, Want;
  };
  for (const Row& R : {Row{7, 0}, Row{10, 0}, Row{11, 11}, Row{-5, 0}}) {
    int X = T.Work.left + R.Gap, Y = T.Work.top + 200;
    SnapPosition(P, X, Y);
    EXPECT_EQ(X, T.Work.left + R.Want) << R.Gap;
    EXPECT_EQ(Y, T.Work.top + 200) << R.Gap;
  }
  // the right edge of the form onto the work area's right
  int X = T.Work.right - 200 - 6, Y = T.Work.top + 200;
  SnapPosition(P, X, Y);
  EXPECT_EQ(X, T.Work.right - 200);
}

TEST(GlueSnap, SnapsToTheEdgeOfAnotherFormItOverlaps) {
  TGlue T;
  auto [A, PA] = T.Form("Other", 300, 300);
  auto [B, PB] = T.Form("Mover", 600, 320);
  int X = 300 + 200 + 4, Y = 320;  // 4 pixels right of A's right edge, beside it
  SnapPosition(PB, X, Y);
  EXPECT_EQ(X, 500);
  X = 300 + 200 + 4, Y = 600;  // far below A: its edge does not count
  SnapPosition(PB, X, Y);
  EXPECT_EQ(X, 504);
}

TEST(GlueSnap, TouchingNamedFormsFollowTheirMasterUntilMovedOrFreed) {
  TGlue T;
  auto [Master, PM] = T.Form("Master", 200, 200);
  PM->GluedForms()->Add("Right");
  PM->GluedForms()->Add("Below");
  PM->GluedForms()->Add("Corner");
  auto [Right, PR] = T.Form("Right", 400, 230, 100, 80);    // shares the master's right edge
  auto [Below, PBl] = T.Form("Below", 250, 350, 100, 80);   // shares the bottom edge
  auto [Corner, PC] = T.Form("Corner", 400, 350, 100, 80);  // touches only at a corner: not glued
  RecordGluedForms(PM, true);
  EXPECT_TRUE(IsGluedTo(PM, Right.get()));
  EXPECT_TRUE(IsGluedTo(PM, Below.get()));
  EXPECT_FALSE(IsGluedTo(PM, Corner.get()));
  ASSERT_EQ(GlueTable().size(), 2u);

  Master->SetBounds(260, 210, 200, 150);
  EXPECT_EQ(Right->Left(), 460);
  EXPECT_EQ(Right->Top(), 240);
  EXPECT_EQ(Below->Left(), 310);
  EXPECT_EQ(Below->Top(), 360);
  EXPECT_EQ(Corner->Left(), 400);

  // recording again updates the entry instead of adding one
  RecordGluedForms(PM, true);
  EXPECT_EQ(GlueTable().size(), 2u);

  // the user drags a glued form away: it leaves the table, and touching no more, it is not taken back at the
  // master's next activation (which another program's window may bring at any time)
  int X = 700, Y = 500;
  SnapPosition(PR, X, Y);
  Right->SetBounds(X, Y, Right->Width(), Right->Height());
  EXPECT_FALSE(IsGluedTo(PM, Right.get()));
  // a freed glued form leaves it too
  Below.reset();
  EXPECT_TRUE(GlueTable().empty());
}

TEST(GlueSnap, FormsGluedToAMasterWithABorderWindowFollowItsMoves) {
  TGlue T;
  T.M->SetExtendedBorders(true);
  auto [Master, PM] = T.Form("Master", 200, 200);
  ASSERT_NE(PM->BorderForm(), nullptr);
  PM->GluedForms()->Add("Right");
  const RECT Before = WindowRectOf(Master->Handle());
  auto [Right, PR] = T.Form("Right", Before.right, Before.top + 30, 100, 80);
  RecordGluedForms(PM, true);
  ASSERT_TRUE(IsGluedTo(PM, Right.get()));
  const int X = Right->Left(), Y = Right->Top();
  Master->SetBounds(Master->Left() + 60, Master->Top() + 10, Master->Width(), Master->Height());
  EXPECT_EQ(Right->Left(), X + 60);
  EXPECT_EQ(Right->Top(), Y + 10);
}
