// The measures a skinned frame is built from: the icon size for a caption, a minimised form's cache, the frame
// widths of a window by its style and its border window, the window region's kinds, and a faded move ended on
// the top edge of the work area.
#include <gtest/gtest.h>

#include "BorderTestSupport.h"
#include "FormTestSupport.h"
#include "framework/Platform.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/forms/vkFormAnimations.h"

using namespace form_test;

TEST(FrameGeometry, IconSizeForACaptionHeight) {
  struct Row {
    int H, Size;
  };
  // 26: a caption 30 high with BITOP 4
  for (const Row& R : {Row{-100, 1}, Row{8, 1}, Row{9, 8}, Row{16, 8}, Row{17, 16}, Row{26, 16}, Row{47, 16},
                       Row{48, 24}, Row{64, 24}, Row{65, 32}, Row{-101, 32}})
    EXPECT_EQ(IconSizeForHeight(R.H), R.Size) << R.H;
}

TEST(FrameGeometry, AMinimisedFormThatIsNotTheMainOneKeepsANarrowCache) {
  for (int Width : {300, 500}) {
    TSkinnedForm S(bsSizeable, Width, 200);
    S.F->Show();
    S.F->SetWindowState(wsMinimized);
    ASSERT_TRUE(IsIconic(S.F->Handle()));
    EXPECT_EQ(S.P->FrameCacheWidth(), 160) << Width;
  }
}

TEST(FrameGeometry, FrameWidthByStyleAndBorderWindow) {
  const int Sizing = GetSystemMetrics(SM_CXFRAME), Fixed = GetSystemMetrics(SM_CXFIXEDFRAME);
  struct Row {
    TFormBorderStyle Style;
    int Plain;
  };
  for (const Row& R : {Row{bsSizeable, Sizing}, Row{bsSingle, Fixed}, Row{bsNone, 0}}) {
    ManagerPtr M = CarriedManager();
    Owned<TForm> F(NewForm(300, 200, R.Style));
    EXPECT_EQ(GetWindowFrameWidth(F->Handle(), nullptr, true), R.Plain) << R.Style;
  }
  // with a border window: the skin's BORDERWIDTH, or without one the form's own answer (half of what its window
  // has around the client)
  TBorder T;
  const int Skin = T.M->SkinData().BorderWidth;
  ASSERT_NE(Skin, 0);
  EXPECT_EQ(GetWindowFrameWidth(T.F->Handle(), T.B(), true), Skin);
  T.M->EditModel().SkinData.BorderWidth = 0;
  EXPECT_EQ(GetWindowFrameWidth(T.F->Handle(), T.B(), true), (T.F->Width() - T.F->ClientWidth()) / 2);
}

TEST(FrameGeometry, TheWindowRegionByTheFormsState) {
  {
    // maximised without a border window: the window less its system frame
    TSkinnedForm Skinned;
    auto& [M, F, P] = Skinned;
    F->Show();
    F->SetWindowState(wsMaximized);
    P->ApplyWindowRegion(false, true);
    const int Fr = GetSystemMetrics(SM_CXFRAME);
    ASSERT_TRUE(HasWindowRegion(F->Handle()));
    EXPECT_EQ(TRect(WindowRegionBox(F->Handle())), TRect(Fr, Fr, F->Width() - Fr, F->Height() - Fr));
  }
  {
    // with a border window: the inner part below the system caption
    TBorder T;
    T.P->ApplyWindowRegion(false, true);
    const int Fr = GetWindowFrameWidth(T.F->Handle(), T.B(), false);
    ASSERT_TRUE(HasWindowRegion(T.F->Handle()));
    const RECT R = WindowRegionBox(T.F->Handle());
    EXPECT_EQ(R.left, Fr);
    EXPECT_EQ(R.top, Fr + GetStdCaptionHeight(T.F.get()));
    EXPECT_EQ(R.right, T.F->Width() - Fr);
  }
  {
    // docked into a parent: none
    ManagerPtr M = CarriedManager();
    Owned<TForm> Host(NewForm(500, 400));
    Owned<TForm> F(NewForm());
    F->SetDragKind(dkDock);
    F->SetParent(Host.get());
    auto* P = Create<TsSkinProvider>(F.get());
    SetWindowRgn(F->Handle(), CreateRectRgn(0, 0, 10, 10), FALSE);
    P->ApplyWindowRegion(false, true);
    EXPECT_FALSE(HasWindowRegion(F->Handle()));
  }
}

TEST(FrameGeometry, AFadedMoveEndedOnTheTopEdgeOfTheWorkAreaMaximisesTheForm) {
  for (bool OnEdge : {true, false}) {
    TBorder T;
    RECT Work{};
    GetWorkAreaAtPoint(POINT{T.F->Left() + 10, T.F->Top() + 10}, Work);
    PutCursor(POINT{T.F->Left() + 50, Work.top + (OnEdge ? 0 : 40)});
    EndMoveFade(T.P, nullptr);
    EXPECT_EQ(T.F->WindowState() == wsMaximized, OnEdge) << OnEdge;
    ResetPlatform();
  }
}
