// The form skinner's own scroll adapter: a form that scrolls gets skinned bars, its client offsets count them, and
// the adapter goes with the skin, giving the form its window method back.
#include "AdapterTestSupport.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkScrollWnd.h"
#include "skin/core/sConst.h"
#include "skin/forms/sSkinProvider.h"

using namespace adapter_test;

TEST(FormScrollRealScreen, AScrollingFormGetsSkinnedBarsThatItsClientOffsetsCount) {
  ManagerPtr M = SolidManager();
  testing_support::Owned<TForm> Plain(TForm::CreateNew(Application));
  Plain->SetTag(NoSkinTag);  // the hook leaves it unskinned
  testing_support::Owned<TForm> F(TForm::CreateNew(Application));
  for (TForm* Form : {Plain.get(), F.get()}) {
    Form->SetBounds(Form == F.get() ? 40 : 380, 40, 300, 200);
    Form->HandleNeeded();
    SetScrollRange(Form->Handle(), SB_VERT, 0, 500, FALSE);  // the window now has WS_VSCROLL
  }
  Plain->Show();
  auto* P = Create<TsSkinProvider>(F.get());
  const TWndMethod ProviderMethod = F->WindowProc;
  F->Show();
  auto* A = dynamic_cast<TvkScrollWnd*>(P->ScrollAdapter());
  ASSERT_NE(A, nullptr);
  EXPECT_EQ(GetWindowScrollAdapter(F->Handle()), A);
  EXPECT_EQ(A->SkinData, P->SkinData()) << "the adapter paints from the skinner's own skin data";
  ASSERT_TRUE(A->CalcSizeDone);
  ASSERT_TRUE(A->VertBar->Shown);
  const int Thick = ScrollBarDimension(A->VertBar, true);
  const TRect W = WindowRectOf(F->Handle());
  RECT C{};
  GetClientRect(F->Handle(), &C);
  EXPECT_EQ(P->GetClientOffsetLeft(), (W.Width() - C.right - Thick) / 2);

  // on the screen the bar is the skin's: the plain form's system bar looks otherwise
  RedrawWindow(F->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  testing_support::Dib32 Skinned(300, 200), System(300, 200);
  CopyWindowDC(F->Handle(), Skinned);
  CopyWindowDC(Plain->Handle(), System);
  const int BarX = W.Width() - A->FrameRight - Thick / 2;
  int Differ = 0;
  for (int Y = 60; Y < 140; ++Y) Differ += Skinned.Rgb(BarX, Y) != System.Rgb(BarX, Y);
  EXPECT_GT(Differ, 40);

  // the skin goes: so does the adapter, and the form's window method is the skinner's again
  M->SetActive(false);
  EXPECT_EQ(P->ScrollAdapter(), nullptr);
  EXPECT_EQ(GetWindowScrollAdapter(F->Handle()), nullptr);
  EXPECT_TRUE(F->WindowProc == ProviderMethod);
}
