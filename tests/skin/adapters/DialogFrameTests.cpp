// The dialog adapter's frame: the state-section answer by skin version, the caption band's corners in the window
// region, the layered showing under composition, and the end of an adapted window (a dialog's among them) without a
// procedure below.
#include <algorithm>

#include "AdapterTestSupport.h"
#include "DialogTemplate.h"
#include "skin/adapters/vkDialogWnd.h"
#include "skin/adapters/vkScrollWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"

using namespace adapter_test;

namespace {

class DialogFrame : public WithManager<DialogFixture> {};

// Skins older than 10.25 answer the state-section question only for sections that say they know it.
TEST_F(DialogFrame, TheStateSectionAnswerFollowsTheSkinVersionAndTheSectionsFlag) {
  TvkDialogWnd* D = ShowDialog();
  ASSERT_NE(D, nullptr);
  struct Case {
    double Version;
    bool Flag;
    LRESULT Answer;
  } Cases[] = {{10.25, false, 1}, {10.0, false, -1}, {10.0, true, 1}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::to_string(C.Version) + (C.Flag ? " with the flag" : " without the flag"));
    M->EditModel().SkinData.Version = C.Version;
    M->EditModel().gd[D->SkinData->SkinIndex].ReservedBoolean = C.Flag;
    TvkStateSectionRequest R{};
    R.SectionIndex = -7;
    EXPECT_EQ(C.Answer, SendSkinCommand(Dlg, VKCMD_QUERY_STATE_SECTION, reinterpret_cast<LPARAM>(&R)));
    EXPECT_EQ(C.Answer == 1 ? D->SkinData->SkinIndex : -7, R.SectionIndex);
  }
}

// The caption band's own border mask cuts its top corners out of the window region, as the frame's does.
TEST_F(DialogFrame, TheCaptionBandsCornersAreCutOutOfTheRegion) {
  TvkDialogWnd* D = ShowDialog();
  ASSERT_NE(D, nullptr);
  ASSERT_FALSE(M->MaskIndexInRange(D->SkinData->BorderIndex)) << "the DIALOG section has no frame mask of its own";
  D->CollectRegionRects();
  ASSERT_TRUE(D->RegionRects.empty());
  const int Title = M->ConstData().Sections[ssDialogTitle];
  ASSERT_TRUE(M->SectionIndexInRange(Title));
  // The FORM section's mask has key pixels in its corners: the caption band takes it.
  M->EditModel().gd[Title].BorderIndex = M->gd()[M->FindSectionIndex("FORM")].BorderIndex;
  D->CollectRegionRects();
  const bool TopLeft = std::any_of(D->RegionRects.begin(), D->RegionRects.end(),
                                   [](const TRect& R) { return R.Left == 0 && R.Top == 0 && R.Width() > 0; });
  EXPECT_TRUE(TopLeft) << "no cut-out at the top left";
}

HRESULT WINAPI Composed(BOOL* On) {
  *On = TRUE;
  return S_OK;
}

// The extended style the dialog had when its own procedure saw WM_SHOWWINDOW.
LONG g_ExStyleAtShow = -1;
INT_PTR CALLBACK RecordShowStyle(HWND W, UINT Msg, WPARAM, LPARAM) {
  if (Msg == WM_SHOWWINDOW) g_ExStyleAtShow = GetWindowLongA(W, GWL_EXSTYLE);
  return FALSE;
}

// Under desktop composition a dialog is layered while the system shows it, and not afterwards.
TEST_F(DialogFrame, UnderCompositionADialogIsLayeredOnlyWhileItShows) {
  for (const bool Composition : {false, true}) {
    SCOPED_TRACE(Composition ? "composition" : "no composition");
    ResetPlatform();
    if (Composition) DwmIsCompositionEnabledEntry().Replace(Composed);
    TDlgTemplate T(kDlgStyle, {{L"BUTTON", WS_VISIBLE, 5, 5, 60, 12}});
    HWND W = Keep(T.Create(RecordShowStyle));
    ASSERT_NE(DialogAdapterOf(W), nullptr);
    g_ExStyleAtShow = -1;
    ShowWindow(W, SW_SHOWNOACTIVATE);
    ASSERT_NE(-1, g_ExStyleAtShow) << "the dialog's procedure saw no showing";
    EXPECT_EQ(Composition, (g_ExStyleAtShow & WS_EX_LAYERED) != 0);
    EXPECT_EQ(0, GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_LAYERED) << "still layered";
  }
  ResetPlatform();
}

// An adapted window whose procedure below is gone ends in the default handling: sending its last messages to it
// again would come straight back to the adapter.
TEST_F(DialogFrame, AnAdaptedWindowWithoutAProcedureBelowEndsInTheDefaultHandling) {
  HWND Parent = Host();
  for (const char* Kind : {"plain adapter", "scroll adapter", "dialog adapter"}) {
    SCOPED_TRACE(Kind);
    const bool Dialog = Kind[0] == 'd', Scroll = Kind[0] == 's';
    HWND W = Dialog ? nullptr : NewRecordingWindow(Parent, WS_VISIBLE, 5, 5, 60, 40);
    TvkMainWnd* A = nullptr;
    if (Dialog) {
      A = ShowDialog();
      ASSERT_NE(A, nullptr);
      W = Dlg;
    } else if (Scroll) {
      A = CreateAdapter<TvkScrollWnd>(W, nullptr, M.get(), SkinParams("EDIT"), false);
    } else {
      A = CreateAdapter<TvkMainWnd>(W, nullptr, M.get(), SkinParams("EDIT"), false);
    }
    SetWindowTextA(W, "Last words");
    const WNDPROC Below = A->OldWndProc;
    A->OldWndProc = nullptr;
    TMessage Msg{WM_NCDESTROY, 0, 0, 0};
    A->WndProc(Msg);  // a recursion would never come back
    A->OldWndProc = Below;
    // the default handling of the window's end frees its text
    EXPECT_EQ(0, GetWindowTextLengthA(W)) << "the default handling did not run";
    if (!Dialog) A->Free();
    DestroyWindow(W);
  }
}

}  // namespace
