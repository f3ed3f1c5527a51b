// A menu-bar item left hot on the window is put back when the mouse moves on to a title element, and an MDI
// parent's menu loop over a maximised child gets the cover over the child's buttons, freed when the loop ends.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "framework/Menus.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkPixelOps.h"
#include "tests/support/Bitmaps.h"

using namespace form_test;
using testing_support::BitmapPtr;

namespace {

constexpr uint32_t kMarker = 0x00FF00FF;

int MarkedPixels(TBitmap* Bmp, const TRect& R) {
  int N = 0;
  for (int y = R.Top; y < R.Bottom; ++y)
    for (int x = R.Left; x < R.Right; ++x) N += CacheRgb(Bmp, x, y) == kMarker;
  return N;
}

}  // namespace

TEST(MenuBarHot, ItemLeftHotIsRepaintedNormalOnceAndForgotten) {
  TMenuForm S;
  ASSERT_TRUE(S.File->OnAdvancedDrawItem.Assigned());
  const TRect R = S.ItemRect();
  ASSERT_GT(R.Width(), 0);
  TBitmap* Cache = S.P->FrameCache();
  // the painter draws the item hot on the window: that is remembered, not drawn into the cache
  BitmapPtr Screen = testing_support::Bitmap32(300, 200, 0xFF000000);
  S.M->SkinableMenus()->DrawBarItem(S.File, Screen->Canvas(), R, TOwnerDrawState{odHotLight});
  EXPECT_EQ(S.P->HotMenuBarItem(), S.File);
  FillRect32(Cache, R, kMarker, 255);
  S.P->SetHotElement(HTCLOSE, true);
  EXPECT_EQ(S.P->HotMenuBarItem(), nullptr);
  EXPECT_EQ(MarkedPixels(Cache, R), 0) << "the item is drawn again in the cache";
  // forgotten: the next hot change leaves the cache alone
  FillRect32(Cache, R, kMarker, 255);
  S.P->SetHotElement(0, true);
  EXPECT_EQ(MarkedPixels(Cache, R), R.Width() * R.Height());
  // drawn normal again by the system: nothing is left to put back
  S.M->SkinableMenus()->DrawBarItem(S.File, Screen->Canvas(), R, TOwnerDrawState{odSelected});
  S.M->SkinableMenus()->DrawBarItem(S.File, Screen->Canvas(), R, TOwnerDrawState{});
  EXPECT_EQ(S.P->HotMenuBarItem(), nullptr);
  // freed while remembered: not drawn
  S.M->SkinableMenus()->DrawBarItem(S.File, Screen->Canvas(), R, TOwnerDrawState{odHotLight});
  S.File->Free();
  FillRect32(Cache, R, kMarker, 255);
  S.P->SetHotElement(HTCLOSE, true);
  EXPECT_EQ(MarkedPixels(Cache, R), R.Width() * R.Height());
}

TEST(MenuBarHot, MDIMenuLoopCoverMadeOverAMaximisedChildAndFreed) {
  ManagerPtr M = CarriedManager();
  Owned<TForm> Frame(NewMDIMainForm());
  TsSkinProvider* P = Create<TsSkinProvider>(Frame.get());
  Frame->Show();
  const HWND W = Frame->Handle();
  // no maximised child: no cover
  SendMessageA(W, WM_ENTERMENULOOP, 0, 0);
  EXPECT_EQ(TsSkinProvider::MenuLoopCover(), nullptr);
  SendMessageA(W, WM_EXITMENULOOP, 0, 0);

  Owned<TForm> Child(TForm::CreateNew(Application));
  Child->SetFormStyle(fsMDIChild);
  Child->Show();
  SendMessageA(Frame->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(Child->Handle()), 0);
  ASSERT_TRUE(IsZoomed(Child->Handle()));
  SendMessageA(W, WM_ENTERMENULOOP, 0, 0);
  TCustomForm* Cover = TsSkinProvider::MenuLoopCover();
  ASSERT_NE(Cover, nullptr);
  EXPECT_TRUE(IsWindowVisible(Cover->Handle()));
  EXPECT_EQ((GetClassLongPtrA(Cover->Handle(), GCL_STYLE) & CS_DROPSHADOW), 0);
  // 60 wide and a menu line high, at the menu line's right end
  const int Left = Frame->Left() + Frame->Width() - 60 - GetSystemMetrics(SM_CXFRAME);
  const int Top = Frame->Top() + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
  EXPECT_EQ(TRect(WindowRectOf(Cover->Handle())), TRect(Left, Top, Left + 60, Top + GetSystemMetrics(SM_CYMENU) + 3));
  // a nested enter keeps the one cover
  SendMessageA(W, WM_ENTERMENULOOP, 0, 0);
  EXPECT_EQ(TsSkinProvider::MenuLoopCover(), Cover);
  SendMessageA(W, WM_EXITMENULOOP, 0, 0);
  EXPECT_EQ(TsSkinProvider::MenuLoopCover(), nullptr);
  // the provider going during a loop takes its cover with it
  SendMessageA(W, WM_ENTERMENULOOP, 0, 0);
  ASSERT_NE(TsSkinProvider::MenuLoopCover(), nullptr);
  P->Free();
  EXPECT_EQ(TsSkinProvider::MenuLoopCover(), nullptr);
  Child.reset();
}
