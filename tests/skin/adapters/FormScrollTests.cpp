// The form skinner's own scroll adapter: a form that scrolls gets skinned bars, its client offsets lie past them, and
// the adapter goes with the skin, giving the form its window method back.
#include "AdapterTestSupport.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkScrollWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sConst.h"
#include "skin/core/sStyleSimply.h"
#include "skin/forms/vkBorderForm.h"
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
    SetScrollRange(Form->Handle(), SB_HORZ, 0, 500, FALSE);
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
  EXPECT_EQ(P->GetClientOffsetTop(), F->ClientOrigin().y - W.Top);

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

// A form has no parent to ask: its own bars lie over its frame image where they stand, beyond a border window's
// margins and extra frame (as the border window shows the image). With scroll elements that paint nothing, both bars
// and their corner show that image.
TEST(FormScroll, AFormsOwnBarsLieOverItsFrameImage) {
  ReadSystemMetrics();  // the frame sizes the skinner and its border window lay the form out by
  ManagerPtr M = SolidManager();
  M->SetExtendedBorders(true);
  for (int E : {seScrollBtnLeft, seScrollBtnTop, seScrollBtnRight, seScrollBtnBottom, seScrollBar1H, seScrollBar1V,
                seScrollBar2H, seScrollBar2V, seScrollSliderH, seScrollSliderV})
    for (TsGenState& S : M->EditModel().gd[M->ConstData().Elements[E].SkinIndex].Props) S.Transparency = 100;
  testing_support::Owned<TForm> F(TForm::CreateNew(Application));
  F->SetBounds(40, 40, 300, 200);
  F->HandleNeeded();
  for (int Bar : {SB_HORZ, SB_VERT}) SetScrollRange(F->Handle(), Bar, 0, 500, FALSE);
  auto* P = Create<TsSkinProvider>(F.get());
  F->Show();
  auto* A = dynamic_cast<TvkScrollWnd*>(P->ScrollAdapter());
  ASSERT_TRUE(A != nullptr && P->BorderForm() != nullptr);
  auto Pattern = [](int X, int Y) { return static_cast<uint32_t>((X & 0xFF) << 16 | (Y & 0xFF) << 8 | 0x5A); };
  TBitmap* Cache = P->SkinData()->CacheBmp;
  for (int Y = 0; Y < Cache->Height(); ++Y)
    for (int X = 0; X < Cache->Width(); ++X) static_cast<uint32_t*>(Cache->ScanLine(Y))[X] = 0xFF000000u | Pattern(X, Y);
  P->SkinData()->CacheDirty = false;
  const TRect WR = WindowRectOf(F->Handle());
  testing_support::Dib32 Dib(WR.Width(), WR.Height(), 0, true);
  PaintScrollBars(A, F->Handle(), -1, Dib.DC());
  TRect H, V;
  GetHorzScrollBarRect(A, F->Handle(), H);
  GetVertScrollBarRect(A, F->Handle(), V);
  const TPoint O(P->BorderForm()->GetLeftIndent() - WR.Left, P->BorderForm()->GetTopIndent() - WR.Top);
  // the corner at its top left: its grip lies at the bottom right
  for (const TPoint S : {TPoint(H.Left + 20, H.Top + 2), TPoint(V.Left + 2, V.Top + 30), TPoint(V.Left + 1, H.Top + 1)})
    EXPECT_EQ(Pattern(S.X + O.X, S.Y + O.Y), Dib.Rgb(S.X - WR.Left, S.Y - WR.Top)) << S.X << ", " << S.Y;
}
