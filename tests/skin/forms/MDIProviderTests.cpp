// The skinner of an MDI main form and its children: a child made over a maximised one, the maximised child's
// buttons on the main form's menu line repainted alone, and the menu line with hidden and merged items.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "framework/Menus.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSkinProviderUnit.h"

using namespace form_test;

namespace {

// The main form's wrapper without an adapter of its client window (the window adapters are not linked here).
struct TWrapperParts {
  decltype(ProviderParts.NewMDIForm) New = ProviderParts.NewMDIForm;
  decltype(ProviderParts.FreeMDIForm) Free = ProviderParts.FreeMDIForm;
  TWrapperParts() {
    ProviderParts.NewMDIForm = [](TsSkinProvider* P) { return Create<TsMDIForm>(P); };
    ProviderParts.FreeMDIForm = [](TsMDIForm* W) { W->Free(); };
  }
  ~TWrapperParts() {
    ProviderParts.NewMDIForm = New;
    ProviderParts.FreeMDIForm = Free;
  }
};

// A shown MDI main form with a menu, skinned; children are made with their own skinner.
struct TMDIFrame {
  TWrapperParts Parts;
  ManagerPtr M = CarriedManager();
  Owned<TForm> Frame{NewMDIMainForm()};
  TsSkinProvider* P = nullptr;
  TMDIFrame() {
    P = Create<TsSkinProvider>(Frame.get());
    Frame->Show();
  }
  // A child with its own skinner, its window made (and so created through the skinner).
  TForm* NewChild(TBorderIcons Icons = TBorderIcons{biSystemMenu, biMinimize, biMaximize}) {
    TForm* C = TForm::CreateNew(Application);
    C->SetFormStyle(fsMDIChild);
    C->SetBorderIcons(Icons);
    Create<TsSkinProvider>(C);
    C->Show();
    return C;
  }
  void Maximise(TForm* C) { SendMessageA(Frame->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(C->Handle()), 0); }
};

}  // namespace

TEST(MDIProvider, AChildCreatedWhileTheActiveOneIsMaximisedIsMarkedUntilAPaint) {
  // Wine restores the maximised child before it creates the new one, which Windows does after: the creation is
  // handed to the second child's skinner again while the first one stands maximised
  TMDIFrame T;
  Owned<TForm> First(T.NewChild()), Second(T.NewChild());
  for (bool Maximised : {true, false}) {
    SendMessageA(T.Frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(First->Handle()), 0);
    SendMessageA(T.Frame->ClientHandle(), Maximised ? WM_MDIMAXIMIZE : WM_MDIRESTORE,
                 reinterpret_cast<WPARAM>(First->Handle()), 0);
    ASSERT_EQ(T.Frame->ActiveMDIChild(), First.get());
    ASSERT_EQ(IsZoomed(First->Handle()) != 0, Maximised);
    Second->Perform(WM_CREATE, 0, 0);
    EXPECT_EQ(g_NewMDIChildMaximized, Maximised);
    // the first paint ends it
    RedrawWindow(First->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_FALSE(g_NewMDIChildMaximized);
  }
}

TEST(MDIProvider, AMaximisedChildsButtonsFollowTheChildWhenRepaintedAlone) {
  // a child that can neither be minimised nor maximised: its minimise stays faded (not drawn over) and its restore
  // is faded, as the whole frame paints them
  TMDIFrame T;
  Owned<TForm> Child(T.NewChild(TBorderIcons{biSystemMenu}));
  T.Maximise(Child.get());
  ASSERT_TRUE(IsZoomed(Child->Handle()));
  ASSERT_TRUE(T.P->ShowsMDIChildButtons());
  TsSkinProviderAccess::FormActive(T.P) = true;
  RepaintFrame(T.P);
  auto Red = [&](const TsCaptionButton& B) {
    return CacheRgb(T.P->FrameCache(), (B.Rect.Left + B.Rect.Right) / 2, (B.Rect.Top + B.Rect.Bottom) / 2) >> 16;
  };
  // SOLID's normal block is 0x40 red; a faded one is mixed with the menu line
  for (TsCaptionButton* B : {&T.P->ButtonMDIMin, &T.P->ButtonMDIRestore}) {
    ASSERT_GT(B->Rect.Width(), 0);
    const uint32_t Whole = Red(*B);
    EXPECT_NE(Whole, 0x40u) << B->Code << " painted whole";
    T.P->SetHotElement(B->Code, true);
    T.P->SetHotElement(0, true);
    EXPECT_EQ(Red(*B), Whole) << B->Code << " repainted alone";
  }
  // the close button is never faded
  T.P->SetHotElement(htMDIClose, true);
  T.P->SetHotElement(0, true);
  EXPECT_EQ(Red(T.P->ButtonMDIClose), 0x40u);
}

TEST(MDIProvider, TheMenuLineShowsWhenAVisibleItemOfTheFormOrItsActiveChildIsThere) {
  TMDIFrame T;
  TMenuItem* File = T.Frame->Menu()->Items()->Items(0);
  EXPECT_TRUE(T.P->MenuLineHasItems());
  File->SetVisible(false);
  EXPECT_FALSE(T.P->MenuLineHasItems());
  // the active child's own items are merged into the line
  Owned<TForm> Child(T.NewChild());
  TMenuItem* Edit = GiveMainMenu(Child.get(), {"&Edit"});
  ASSERT_EQ(T.Frame->ActiveMDIChild(), Child.get());
  EXPECT_TRUE(T.P->MenuLineHasItems());
  Edit->SetVisible(false);
  EXPECT_FALSE(T.P->MenuLineHasItems());
}

TEST(MDIProvider, AChildUnderAnotherMaximisedOnePaintsNothing) {
  TMDIFrame T;
  Owned<TForm> Under(T.NewChild()), Over(T.NewChild());
  T.Maximise(Over.get());
  ASSERT_EQ(T.Frame->ActiveMDIChild(), Over.get());
  auto* P = reinterpret_cast<TsSkinProvider*>(Under->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_FORM_SKINNER), 0));
  ASSERT_NE(P, nullptr);
  P->SkinData()->CacheDirty = true;
  const int Paints = P->FramePaints();
  P->RepaintNonClient();
  EXPECT_EQ(P->FramePaints(), Paints);
  testing_support::Dib32 D(Under->Width(), Under->Height(), 0xFF123456, true);
  P->PaintFormBackground(D.DC());
  EXPECT_EQ(D.Px(Under->Width() / 2, Under->Height() / 2), 0xFF123456u);
}

TEST(MDIProvider, TheMainFormStaysDrawnActiveWhileItsMaximisedChildIs) {
  TMDIFrame T;
  Owned<TForm> Child(T.NewChild());
  T.Maximise(Child.get());
  ASSERT_TRUE(T.P->ShowsMDIChildButtons());
  ASSERT_TRUE(Child->Active());
  T.Frame->Perform(WM_NCACTIVATE, 0, 0);
  EXPECT_TRUE(T.P->CaptionActive());
}

TEST(MDIProvider, AMaximisedChildWithoutAnIconOfItsOwnShowsTheProgramsOnTheMenuLine) {
  TMDIFrame T;
  Owned<TForm> Child(T.NewChild());
  ASSERT_EQ(Child->Icon()->Handle(), nullptr);
  T.Maximise(Child.get());
  RepaintFrame(T.P);
  // the square where the system keeps the child's system-menu entry differs from the bare line beside it
  const int Size = T.P->MenuLineHeight() - 2, X0 = T.P->GetFrameWidth(true) + 1, Y0 = T.P->CaptionBottom() + 1;
  const uint32_t Line = CacheRgb(T.P->FrameCache(), X0 - 1, Y0 + Size / 2);
  int Drawn = 0;
  for (int Y = Y0; Y < Y0 + Size; ++Y)
    for (int X = X0; X < X0 + Size; ++X) Drawn += CacheRgb(T.P->FrameCache(), X, Y) != Line ? 1 : 0;
  EXPECT_GT(Drawn, Size);
}
