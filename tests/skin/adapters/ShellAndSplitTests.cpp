// Container bands and the search box of dialogs (frame strips), and split buttons (their arrow area).
#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "AdapterTestSupport.h"
#include "skin/adapters/vkShellWnds.h"
#include "skin/adapters/vkSmallWnds.h"
#include "skin/core/sCommonData.h"

using namespace adapter_test;

namespace {

class Shells : public HostedAdapterTest<> {
protected:
  HWND Window(DWORD ExStyle, int W, int H) {
    return NewWindow(RecordingClass(), Parent, WS_VISIBLE, 10, 10, W, H, "", ExStyle);
  }
};
class ShellsRealScreen : public Shells {};

TEST_F(ShellsRealScreen, ContainerFramesOnlyAroundAClientEdgeAndTheSearchBoxFrame) {
  struct Case {
    bool Search;
    DWORD ExStyle;
    bool Framed;
  } Cases[] = {{false, WS_EX_CLIENTEDGE, true}, {false, 0, false}, {true, 0, true}};
  for (const Case& C : Cases) {
    HWND W = Window(C.ExStyle, 60, 30);
    if (C.Search)
      Adapt<TvkSearchWnd>(W, "EDIT");
    else
      Adapt<TvkContainerWnd>(W, "EDIT");
    // The window's own look first, then the frame painter over it.
    HDC DC = GetWindowDC(W);
    PatBlt(DC, 0, 0, 60, 30, BLACKNESS);
    ReleaseDC(W, DC);
    Adapters.back()->PerformMessage(WM_NCPAINT, 1, 0);
    const auto D = WindowDCOf(W);
    EXPECT_EQ(C.Framed ? 0x808080u : 0u, D->Rgb(0, 15)) << C.Search << C.ExStyle;
    EXPECT_EQ(C.Framed ? 0xFFFFFFu : 0u, D->Rgb(1, 15)) << C.Search << C.ExStyle;
    // The search box's frame is 3 pixels wide, a client edge's 2.
    EXPECT_EQ(C.Search ? 0xFFFFFFu : 0u, D->Rgb(2, 15)) << C.Search << C.ExStyle;
    EXPECT_EQ(0u, D->Rgb(30, 15)) << C.Search << C.ExStyle;
  }
}

TEST_F(Shells, SplitButtonsKeepTheirArrowAreaFree) {
  HWND Plain = NewWindow("BUTTON", Parent, WS_VISIBLE, 10, 50, 100, 26, "Go");
  HWND Split = NewWindow("BUTTON", Parent, WS_VISIBLE | 12, 10, 90, 100, 26, "Go");
  auto* P = Adapt<TvkBtnWnd>(Plain, "");
  auto* S = Adapt<TvkSplitBtnWnd>(Split, "");
  P->WndSize = S->WndSize = TPoint(100, 26);
  const TRect A = P->GetCaptionRect(), B = S->GetCaptionRect();
  EXPECT_EQ(A.Left - 8, B.Left);
  EXPECT_EQ(A.Right - 8, B.Right);
  // The arrow lies in the last 2 x 8 + 6 columns, drawn in the section's font colour over the button's face.
  S->SkinData->CacheDirty = true;
  S->PerformMessage(WM_PAINT, 0, 0);
  TBitmap* Cache = S->SkinData->CacheBmp;
  ASSERT_NE(nullptr, Cache);
  int InArrow = 0;
  for (int y = 0; y < Cache->Height(); ++y)
    for (int x = Cache->Width() - 22; x < Cache->Width() - 2; ++x)
      InArrow += (static_cast<uint32_t*>(Cache->ScanLine(y))[x] & 0xFFFFFF) == 0;
  EXPECT_GT(InArrow, 6);
}

}  // namespace

namespace {

// Bands, search boxes and tool bars of a dialog take their own sections over the dialog's background: only the
// dialog's edit-kind children (edits, lists, combo boxes) take the flat edit look with the palette's border.
TEST_F(Shells, DialogBandsSearchBoxesAndToolBarsHaveNoEditLook) {
  const uint32_t Border = M->PaletteColor(pcBorder) & 0xFFFFFF;
  ASSERT_NE(0xFF00FFu, Border) << "the skin names a border colour";
  const uint32_t BorderPixel = PixelOf(static_cast<TColor>(Border));
  InitCommonControls();
  struct Case {
    const char* Name;
    std::function<TvkMainWnd*(HWND)> Make;
    std::function<void(TvkMainWnd*)> Refresh;
  } Cases[] = {
      {"band", [&](HWND W) { return Adapt<TvkContainerWnd>(W, ""); },
       [](TvkMainWnd* A) { static_cast<TvkContainerWnd*>(A)->Refresh(); }},
      {"search box", [&](HWND W) { return Adapt<TvkSearchWnd>(W, ""); },
       [](TvkMainWnd* A) { static_cast<TvkSearchWnd*>(A)->Refresh(); }},
      {"tool bar", [&](HWND W) { return Adapt<TvkToolBarWnd>(W, "TRANSPARENT"); },
       [](TvkMainWnd* A) { static_cast<TvkToolBarWnd*>(A)->RefreshCache(); }},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    HWND W = Window(WS_EX_CLIENTEDGE, 60, 30);
    AdoptingDialogChildren = true;
    TvkMainWnd* A = C.Make(W);
    AdoptingDialogChildren = false;
    ASSERT_TRUE(A->DlgMode);
    A->SkinData->CacheDirty = true;
    C.Refresh(A);
    TBitmap* Cache = A->SkinData->CacheBmp;
    ASSERT_NE(nullptr, Cache);
    ASSERT_GT(Cache->Width(), 0);
    EXPECT_NE(BorderPixel, static_cast<uint32_t*>(Cache->ScanLine(0))[0] & 0xFFFFFF) << "drawn as an edit box";
    // the next case's window takes this one's place: nothing of this one may lie behind it
    Adapters.back()->Free();
    Adapters.pop_back();
    DestroyWindow(W);
  }
}

}  // namespace
