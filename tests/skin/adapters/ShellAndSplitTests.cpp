// Container bands and the search box of dialogs (frame strips), and split buttons (their arrow area).
#include <windows.h>

#include "AdapterTestSupport.h"
#include "skin/adapters/vkShellWnds.h"
#include "skin/core/sCommonData.h"

using namespace adapter_test;

namespace {

class Shells : public SkinnedAdapterTest {
protected:
  void SetUp() override {
    SkinnedAdapterTest::SetUp();
    Parent = Host(300, 200);
  }
  HWND Window(DWORD ExStyle, int W, int H) {
    return CreateWindowExA(ExStyle, RecordingClass(), "", WS_CHILD | WS_VISIBLE, 10, 10, W, H, Parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }
  HWND Parent = nullptr;
};

TEST_F(Shells, ContainerFramesOnlyAroundAClientEdgeAndTheSearchBoxFrame) {
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
    testing_support::Dib32 D(60, 30, 0x00123456, true);
    CopyWindowDC(W, D);
    EXPECT_EQ(C.Framed ? 0x808080u : 0u, Rgb(D.Px(0, 15))) << C.Search << C.ExStyle;
    EXPECT_EQ(C.Framed ? 0xFFFFFFu : 0u, Rgb(D.Px(1, 15))) << C.Search << C.ExStyle;
    // The search box's frame is 3 pixels wide, a client edge's 2.
    EXPECT_EQ(C.Search ? 0xFFFFFFu : 0u, Rgb(D.Px(2, 15))) << C.Search << C.ExStyle;
    EXPECT_EQ(0u, Rgb(D.Px(30, 15))) << C.Search << C.ExStyle;
  }
}

TEST_F(Shells, SplitButtonsKeepTheirArrowAreaFree) {
  HWND Plain = CreateWindowExA(0, "BUTTON", "Go", WS_CHILD | WS_VISIBLE, 10, 50, 100, 26, Parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  HWND Split = CreateWindowExA(0, "BUTTON", "Go", WS_CHILD | WS_VISIBLE | 12, 10, 90, 100, 26, Parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
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
