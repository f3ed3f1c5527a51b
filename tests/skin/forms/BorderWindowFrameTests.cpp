// A form with a border window: its menu bar drawn on the menu line of the frame cache, and what of the form
// shows through the border window (its client, its skinned scroll bars, a wrapped menu bar).
#include <gtest/gtest.h>

#include <string>

#include "BorderTestSupport.h"
#include "FormTestSupport.h"
#include "framework/Menus.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/vkPixelOps.h"
#include "tests/support/MessagePump.h"

using namespace form_test;

TEST(BorderWindowFrame, MenuBarItemsAreDrawnOnTheMenuLineBand) {
  TMenuForm S(true);
  ASSERT_NE(S.P->BorderForm(), nullptr);
  // the window lies inside the cache by the margins and the border window's extra frame and caption
  ASSERT_TRUE(S.P->ExtraFrameWidth() != 0 || GetExtraCaptionHeight(S.P->BorderForm()) != 0);
  TRect Drawn(-1, -1, -1, -1);
  S.File->OnAdvancedDrawItem = [&](TObject*, TCanvas*, const TRect& R, TOwnerDrawState) { Drawn = R; };
  RepaintFrame(S.P);
  const int Band = S.P->CaptionBottom();
  EXPECT_GE(Drawn.Top, Band);
  EXPECT_LE(Drawn.Bottom, Band + S.P->MenuLineHeight() + 1);
  // as far right of the client's left edge as the system's bar item lies right of the window's client
  RECT IR{};
  ASSERT_TRUE(GetMenuItemRect(S.F->Handle(), GetMenu(S.F->Handle()), 0, &IR));
  POINT Client{0, 0};
  ClientToScreen(S.F->Handle(), &Client);
  EXPECT_EQ(Drawn.Left, S.P->GetClientOffsetLeft() + IR.left - Client.x);
  EXPECT_EQ(Drawn.Top, S.P->GetClientOffsetTop() - (Client.y - IR.top));
  // the items' background is the band from its own top row
  TBitmap* Line = S.P->MenuLineBg();
  const int X = Line->Width() - 2;
  for (int Y : {0, Line->Height() - 1})
    EXPECT_EQ(CacheRgb(Line, X, Y), CacheRgb(S.P->FrameCache(), S.P->GetClientOffsetLeft() + X, Band + Y)) << Y;
}

namespace {

// Whether a screen point lies in a window's region (a window without one: in its rectangle).
bool InWindowRegion(HWND W, POINT Screen) {
  const RECT R = WindowRectOf(W);
  HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
  const bool In = GetWindowRgn(W, Rgn) == ERROR ? PtInRect(&R, Screen) != 0 : PtInRegion(Rgn, Screen.x - R.left, Screen.y - R.top) != 0;
  DeleteObject(Rgn);
  return In;
}

HWND g_ScrolledForm = nullptr;

}  // namespace

TEST(BorderWindowFrame, ShownScrollBarsAreNotCoveredByTheBorderWindow) {
  TBorder T;
  // the form's skinned bars stand where the system's would: beside its client
  ShowScrollBar(T.F->Handle(), SB_BOTH, TRUE);
  ASSERT_NE(GetWindowLongA(T.F->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
  g_ScrolledForm = T.F->Handle();
  TObject Adapter;
  TsSkinProviderAccess::ScrollAdapter(T.P) = &Adapter;
  const auto Saved = ProviderParts.ScrollBarShown;
  ProviderParts.ScrollBarShown = [](TObject*, bool Vertical) {
    const LONG Bit = Vertical ? WS_VSCROLL : WS_HSCROLL;
    return (GetWindowLongA(g_ScrolledForm, GWL_STYLE) & Bit) != 0 ? GetSystemMetrics(Vertical ? SM_CXVSCROLL : SM_CYHSCROLL) : 0;
  };
  T.Update();
  const int CW = T.F->ClientWidth(), CH = T.F->ClientHeight();
  for (POINT Client : {POINT{CW + GetSystemMetrics(SM_CXVSCROLL) / 2, CH / 2}, POINT{CW / 2, CH + GetSystemMetrics(SM_CYHSCROLL) / 2}}) {
    POINT S = Client;
    ClientToScreen(T.F->Handle(), &S);
    EXPECT_FALSE(InWindowRegion(T.L(), S)) << Client.x << "," << Client.y;
    EXPECT_TRUE(InWindowRegion(T.F->Handle(), S)) << Client.x << "," << Client.y;
  }
  ProviderParts.ScrollBarShown = Saved;
  TsSkinProviderAccess::ScrollAdapter(T.P) = nullptr;
}

TEST(BorderWindowFrame, TheLowerLinesOfAWrappedMenuBarAreNotCoveredByTheBorderWindow) {
  ManagerPtr M = CarriedManager();
  M->SetExtendedBorders(true);
  Owned<TForm> F{NewForm(200, 200)};
  std::vector<std::string> Captions;
  for (int i = 0; i < 12; ++i) Captions.push_back("Item" + std::to_string(i));
  GiveMainMenu(F.get(), Captions);
  TsSkinProvider* P = Create<TsSkinProvider>(F.get());
  F->Show();
  testing_support::PumpPending();
  ASSERT_NE(P->BorderForm(), nullptr);
  ASSERT_GE(P->GetMenuLineCount(), 2);
  const HWND Bar = F->Handle();
  RECT Last{};
  ASSERT_TRUE(GetMenuItemRect(Bar, GetMenu(Bar), 11, &Last));
  const POINT Centre{(Last.left + Last.right) / 2, (Last.top + Last.bottom) / 2};
  TvkGlowForm* L = FormServices.BorderLayeredWindow(P->BorderForm());
  ASSERT_NE(L, nullptr);
  EXPECT_FALSE(InWindowRegion(L->Handle(), Centre));
}

TEST(BorderWindowFrame, TheAddedTitleIsOpaqueInTheLayeredPictureInBorderModeOne) {
  TBorder T;
  T.M->EditModel().SkinData.BorderMode = 1;
  T.F->SetCaption("");
  T.P->AddedTitle()->SetText("WWWWWWWW");
  RepaintFrame(T.P);
  // the caption band inside the margins: nothing of it lets the desktop through
  TBitmap* C = T.P->FrameCache();
  int SeeThrough = 0;
  for (int Y = T.Mg.Top; Y < T.P->CaptionBottom(); ++Y)
    for (int X = T.Mg.Left; X < C->Width() - T.Mg.Right; ++X) SeeThrough += GetPixel32(C, X, Y) >> 24 != 255 ? 1 : 0;
  EXPECT_EQ(SeeThrough, 0);
}

TEST(BorderWindowFrame, AnOpacityForABorderWindowWithoutAPictureYetChangesTheFormOnly) {
  TBorder T;
  T.P->SkinData()->CacheBmp->SetSize(0, 0);
  EXPECT_NO_THROW(T.F->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_SET_FRAME_OPACITY), 100));
  EXPECT_NE(GetWindowLongA(T.F->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}
