// Window and control services: yes/no answers, broadcasts, hierarchy and extent walks, work areas and the hint
// popup, layered output.
#include <gtest/gtest.h>

#include <memory>

#include "SkinTestOwners.h"
#include "framework/ExtCtrls.h"
#include "framework/Platform.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/ToolkitStartup.h"
#include "tests/support/HeldWindow.h"
#include "tests/support/MessagePump.h"

using namespace skin_owners;

namespace {

struct VclUtils : testing::Test {
  void SetUp() override {
    ResetPlatform();
    ToolkitStartup();
    form = NewTestForm();
  }
  void TearDown() override {
    form->Free();
    ToolkitShutdown();
    ResetPlatform();
  }
  TForm* form = nullptr;
};

// A windowed control that answers every skin command with a fixed value.
class TAnswering : public TCustomControl {
public:
  explicit TAnswering(TComponent* AOwner) : TCustomControl(AOwner) {}
  LRESULT Answer = 0;
  std::vector<WORD> Heard;
  void WndProc(TMessage& M) override {
    if (M.Msg == SM_VKCMD) {
      Heard.push_back(SkinCommandCode(M.WParam));
      M.Result = SkinCommandCode(M.WParam) == VKCMD_QUERY_SKINNED ? 0 : Answer;
      return;
    }
    TCustomControl::WndProc(M);
  }
  void MarkDestroying(bool On) { SetComponentStateItem(csDestroying, On); }
};

}  // namespace

TEST_F(VclUtils, OnlyTheAnswerOneIsYes) {
  auto* C = Place(form, 0, 0, 10, 10, new TAnswering(form));
  for (LRESULT A : {LRESULT(1), LRESULT(2), LRESULT(-1), LRESULT(0)}) {
    C->Answer = A;
    EXPECT_EQ(AskSkinCommand(C->Handle(), VKCMD_QUERY_BG_READY), A == 1) << A;
  }
}

TEST_F(VclUtils, BroadcastsReachUnskinnedContainersChildrenAndStopAtADyingChild) {
  auto* Plain = Place(form, 0, 0, 100, 100, new TAnswering(form));    // not skinned: the walk goes inside
  auto* Inner = Place(Plain, 0, 0, 10, 10, Create<TTestSkinOwner>(form));
  auto* Skinned = Place(form, 0, 0, 100, 100, Create<TTestSkinOwner>(form));  // passes commands on itself
  auto* Hidden = Place(Skinned, 0, 0, 10, 10, Create<TTestSkinOwner>(form));
  auto* Graphic = Place(form, 0, 0, 10, 10, Create<TTestGraphicOwner>(form));
  for (TWinControl* W : {static_cast<TWinControl*>(Plain), static_cast<TWinControl*>(Inner),
                         static_cast<TWinControl*>(Skinned), static_cast<TWinControl*>(Hidden)})
    W->HandleNeeded();
  TMessage M{SM_VKCMD, SkinCommandWParam(VKCMD_MARK_FOR_UPDATE), 0, 0};
  BroadcastToChildControls(form, M);
  EXPECT_EQ(std::count(Plain->Heard.begin(), Plain->Heard.end(), VKCMD_MARK_FOR_UPDATE), 1);
  EXPECT_EQ(Inner->Count(VKCMD_MARK_FOR_UPDATE), 1);
  EXPECT_EQ(Skinned->Count(VKCMD_MARK_FOR_UPDATE), 1);
  EXPECT_EQ(Hidden->Count(VKCMD_MARK_FOR_UPDATE), 0);
  EXPECT_EQ(Graphic->Count(VKCMD_MARK_FOR_UPDATE), 1);

  // children in order: graphic ones first, then the windowed ones
  Plain->MarkDestroying(true);
  Graphic->Heard.clear();
  Skinned->Clear();
  BroadcastToChildControls(form, M);
  EXPECT_EQ(Graphic->Count(VKCMD_MARK_FOR_UPDATE), 1);
  EXPECT_EQ(Skinned->Count(VKCMD_MARK_FOR_UPDATE), 0) << "the walk ends at the child being destroyed";
  Plain->MarkDestroying(false);
}

TEST_F(VclUtils, AlignedExtentsCountVisibleChildrenOfThatAlignment) {
  struct Case {
    TAlign align;
    bool graphic;
    int sum;
  } cases[] = {{alTop, true, 10 + 7}, {alTop, false, 10}, {alLeft, true, 30}, {alClient, true, 0}};
  auto* Top1 = Place(form, 0, 0, 50, 10, new TPanel(form));
  auto* Top2 = Place(form, 0, 0, 50, 7, Create<TTestGraphicOwner>(form));
  auto* Gone = Place(form, 0, 0, 50, 99, new TPanel(form));
  auto* Left = Place(form, 0, 0, 30, 5, new TPanel(form));
  auto* Fill = Place(form, 0, 0, 30, 5, new TPanel(form));
  Top1->SetAlign(alTop);
  Top2->SetAlign(alTop);
  Gone->SetAlign(alTop);
  Gone->SetVisible(false);
  Left->SetAlign(alLeft);
  Fill->SetAlign(alClient);
  for (const Case& c : cases) EXPECT_EQ(SumAlignedChildExtent(form, c.align, c.graphic), c.sum) << c.align;
}

TEST_F(VclUtils, OutsideEveryWorkAreaTheHintIsPushedUpAndLeftOfTheOrigin) {
  const POINT Far{30000, 30000};
  RECT R{1, 1, 1, 1};
  GetWorkAreaAtPoint(Far, R);
  EXPECT_TRUE(R.left == 0 && R.top == 0 && R.right == 0 && R.bottom == 0);
  EXPECT_EQ(ShowHintWindow("", Far), nullptr);
  THintWindow* Hint = ShowHintWindow("A hint", Far);
  ASSERT_NE(Hint, nullptr);
  RECT W;
  GetWindowRect(Hint->Handle(), &W);
  EXPECT_EQ(W.right, 0);
  EXPECT_EQ(W.bottom, 4) << "pushed to 0, then 4 pixels taller";
  Hint->Free();
}

TEST_F(VclUtils, TurningLayeringOffKeepsAShownWindowShownUnlessHiding) {
  std::vector<BYTE> Alphas;
  Platform().SetLayeredWindowAttributes = [&](HWND, COLORREF, BYTE A, DWORD) {
    Alphas.push_back(A);
    return TRUE;
  };
  form->Show();
  const HWND Wnd = form->Handle();
  EXPECT_TRUE(SetLayeredAlpha(Wnd, true, 77));
  EXPECT_FALSE(SetLayeredAlpha(Wnd, true, 78)) << "already layered";
  EXPECT_EQ(Alphas, (std::vector<BYTE>{77, 78}));
  EXPECT_FALSE(SetLayeredAlpha(Wnd, false, 255));
  EXPECT_EQ(GetWindowLongA(Wnd, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_TRUE(IsWindowVisible(Wnd)) << "restoring full opacity after a show";
  SetLayeredAlpha(Wnd, true, 10);
  SetLayeredAlpha(Wnd, false, 1, true);
  EXPECT_FALSE(IsWindowVisible(Wnd)) << "the end of a hide";
}

TEST_F(VclUtils, LayeredOutputTakesTheBitmapAlphaAndPlace) {
  struct Call {
    POINT pos;
    SIZE size;
    BYTE alpha;
    DWORD flags;
  };
  std::vector<Call> Calls;
  Platform().UpdateLayeredWindow = [&](HWND, HDC, POINT* P, SIZE* S, HDC, POINT*, COLORREF, BLENDFUNCTION* B, DWORD F) {
    Calls.push_back({*P, *S, B->SourceConstantAlpha, F});
    return TRUE;
  };
  form->Show();
  TBitmap* Bmp = NewBitmap32(20, 10);
  UpdateLayeredFromBitmap(form->Handle(), Bmp, 200, POINT{3, 4});
  delete Bmp;
  ASSERT_EQ(Calls.size(), 1u);
  EXPECT_EQ(Calls[0].pos.x, 3);
  EXPECT_EQ(Calls[0].size.cx, 20);
  EXPECT_EQ(Calls[0].alpha, 200);
  EXPECT_EQ(Calls[0].flags, static_cast<DWORD>(ULW_ALPHA));
  EXPECT_NE(GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  // without a bitmap the screen under the window is shown, at the window's size
  UpdateLayeredFromBitmap(form->Handle(), nullptr, 255, POINT{0, 0});
  EXPECT_EQ(Calls.back().size.cx, form->Width());
}

namespace {
HRESULT WINAPI NotComposed(BOOL* On) {
  *On = FALSE;
  return S_OK;
}
WNDPROC g_StaticProc = nullptr;
int g_Paints = 0;
LRESULT CALLBACK CountPaints(HWND W, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_PAINT) ++g_Paints;
  return CallWindowProcA(g_StaticProc, W, Msg, WParam, LParam);
}
}  // namespace

TEST_F(VclUtils, LayeringRepaintsTheDesktopUnderItWithoutWaitingForOtherThreads) {
  DwmIsCompositionEnabledEntry().Replace(NotComposed);
  form->SetBounds(40, 40, 200, 150);
  form->Show();
  RECT R{};
  GetWindowRect(form->Handle(), &R);
  testing_support::HeldWindow Foreign(R);
  HWND Own = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, R.left, R.top, R.right - R.left,
                             R.bottom - R.top, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(Own, SW_SHOWNOACTIVATE);
  // painted during the call: an update region read afterwards may come from another program's window going meanwhile
  g_StaticProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(Own, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountPaints)));
  ValidateRect(Own, nullptr);
  g_Paints = 0;
  std::unique_ptr<TBitmap> Bmp(NewBitmap32(200, 150));
  EXPECT_EQ(Foreign.MessagesDuring([&] { UpdateLayeredFromBitmap(form->Handle(), Bmp.get(), 255, POINT{40, 40}); }), 0)
      << "the call waited for another thread's window";
  EXPECT_GT(g_Paints, 0) << "this thread's window under it was left unpainted";
  DestroyWindow(Own);
}

TEST_F(VclUtils, HierarchyWalks) {
  auto* Outer = Place(form, 0, 0, 100, 100, new TPanel(form));
  auto* Inner = Place(Outer, 0, 0, 50, 50, new TPanel(form));
  auto* A = Place(Outer, 60, 0, 10, 10, new TPanel(form));
  EXPECT_EQ(GetTopParentWindow(Inner->Handle()), GetTopParentWindow(form->Handle()));
  EXPECT_NE(GetTopParentWindow(Inner->Handle()), Inner->Handle());
  EXPECT_TRUE(IsWindowWithin(Inner->Handle(), form->Handle()));
  EXPECT_FALSE(IsWindowWithin(form->Handle(), Inner->Handle()));
  EXPECT_EQ(FindOwnerForm(Inner), form);
  EXPECT_EQ(FindOwnerForm(nullptr), nullptr);
  EXPECT_TRUE(IsControlReadyToPaint(Inner));
  EXPECT_FALSE(IsControlReadyToPaint(form)) << "no parent";
  PlaceControlAbove(Inner, A);
  EXPECT_EQ(Outer->Controls(1), Inner);
  PlaceControlAbove(A, Inner);
  EXPECT_EQ(Outer->Controls(1), A);
  int Visits = 0;
  ForEachChildControl(form, &Visits, [](TControl*, void* D) { ++*static_cast<int*>(D); });
  EXPECT_EQ(Visits, 3);
}

TEST_F(VclUtils, TheCursorIsOverAGraphicControlOnlyWhereItsParentShows) {
  form->SetBounds(600, 300, 80, 60);  // away from the other tests' forms
  auto* Graphic = Place(form, 10, 10, 20, 20, Create<TTestGraphicOwner>(form));
  POINT Cursor = form->ClientToScreen(POINT{15, 15});
  Platform().GetCursorPos = [&](POINT* P) {
    *P = Cursor;
    return TRUE;
  };
  EXPECT_FALSE(CursorOverControl(Graphic)) << "nothing of a hidden form shows";
  form->ShowNoActivate();
  EXPECT_TRUE(testing_support::PumpUntil([&] { return CursorOverControl(Graphic); }, 10000));
  Cursor = form->ClientToScreen(POINT{35, 15});
  EXPECT_FALSE(CursorOverControl(Graphic)) << "beside it";
}

TEST_F(VclUtils, TheCursorCountsOnlyInASingleVisibleRectangle) {
  // Topmost and away from the other tests' windows, so that they seldom cover it.
  HWND W = CreateWindowExA(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE,
                           500, 400, 60, 40, nullptr, nullptr, nullptr, nullptr);
  static POINT Cursor;
  Platform().GetCursorPos = [](POINT* P) {
    *P = Cursor;
    return TRUE;
  };
  Cursor = POINT{510, 410};
  // Windows of the test programs running beside this one may pass over it for a while.
  EXPECT_TRUE(testing_support::PumpUntil([&] { return CursorInVisiblePart(W); }, 10000));
  Cursor = POINT{570, 410};
  EXPECT_FALSE(CursorInVisiblePart(W)) << "outside the window";
  // Two separate pieces: no single rectangle, even with the cursor over one of them.
  HRGN Rgn = CreateRectRgn(0, 0, 20, 40);
  HRGN Second = CreateRectRgn(40, 0, 60, 40);
  CombineRgn(Rgn, Rgn, Second, RGN_OR);
  DeleteObject(Second);
  SetWindowRgn(W, Rgn, FALSE);  // the window owns the region now
  Cursor = POINT{510, 410};
  EXPECT_FALSE(CursorInVisiblePart(W));
  DestroyWindow(W);
}

// A mirrored window's client lies in its frame where its unmirrored twin's does: pictures count from the left.
TEST(ClientRectInWindow, AMirroredWindowsClientLiesWhereItsTwinsDoes) {
  RECT R[2];
  for (int i = 0; i < 2; ++i) {
    HWND W = CreateWindowExA(i ? WS_EX_LAYOUTRTL : 0, "STATIC", "", WS_CAPTION | WS_THICKFRAME, 40, 40, 200, 120,
                             nullptr, nullptr, nullptr, nullptr);
    GetClientRectInWindow(W, R[i]);
    DestroyWindow(W);
  }
  EXPECT_GT(R[0].left, 0);
  EXPECT_TRUE(EqualRect(&R[0], &R[1]));
}
