// The loader's own windows get the skinned frame through the thread hook: the main form, the About form and the
// framework's message form, each with the title buttons its style allows, and the skin's client behind controls.
#include "tests/app/LoaderApp.h"

#include "skin/adapters/vkCtrlAdapter.h"
#include "skin/adapters/vkDials.h"
#include "skin/adapters/vkButtonWnds.h"
#include "skin/adapters/vkMnuWnd.h"
#include "skin/controls/sComboBox.h"
#include "framework/StdCtrls.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "skin/forms/vkSBAnimation.h"
#include "tests/support/Dib32.h"
#include "tests/support/RealPointer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using LoaderSkinnedForms = LoaderTest;

namespace {

// TIDE's active title colour as its skin text gives it (#RRGGBB).
constexpr uint32_t kTitleActive = 0x1D5C7D, kTitleInactive = 0x7D909C;

TsSkinProvider* SkinnerOf(HWND Wnd) {
  return reinterpret_cast<TsSkinProvider*>(
      SendMessageA(Wnd, SM_VKCMD, MAKEWPARAM(0, VKCMD_QUERY_FORM_SKINNER), 0));
}

// Push buttons the form's walker gave a button adapter, once the hook adopted the form.
int AdaptedButtons(HWND Wnd) {
  int Buttons = 0;
  testing_support::PumpUntil([&] {
    TvkProvider* P = FindProviderByWnd(Wnd);
    TvkCtrlAdapter* A = P != nullptr && P->SkinProvider != nullptr ? P->SkinProvider->CtrlAdapter() : nullptr;
    Buttons = 0;
    if (A != nullptr)
      for (TvkAdapterItem* I : A->Items) Buttons += I->Adapter != nullptr && I->Adapter->Is<TvkBtnWnd>();
    return Buttons > 0;
  }, 3000);
  return Buttons;
}

bool Skinned(TCustomForm* F) {
  SetActiveWindow(F->Handle());
  return testing_support::PumpUntil([&] { return SkinnerOf(F->Handle()) != nullptr; }, 3000);
}

// What an open popup menu showed, looked at from a timer of its own modal loop, which then closes it.
struct TOpenPopup {
  size_t Adapters = 0;
  HWND AdapterWnd = nullptr;
  bool Measured = false;
  HWND BackgroundWnd = nullptr;
};
TOpenPopup g_Open;
int g_PopupTicks = 0;
void CALLBACK LookAtPopup(HWND, UINT, UINT_PTR, DWORD) {
  // looked at once the menu's window has its adapter and its background (a loaded machine may take a while), else
  // after five seconds
  if ((MenuWindowAdapters.empty() || MenuBgCache().empty()) && ++g_PopupTicks < 250) return;
  g_Open.Adapters = MenuWindowAdapters.size();
  if (!MenuWindowAdapters.empty()) g_Open.AdapterWnd = MenuWindowAdapters[0]->CtrlHandle;
  g_Open.Measured = SkinnedMenuShowing;
  if (!MenuBgCache().empty()) g_Open.BackgroundWnd = MenuBgCache()[0].Wnd;
  EndMenu();
}

}  // namespace

TEST_F(LoaderSkinnedForms, MainFormSystemMenuIsDrawnByTheMenuPainter) {
  ASSERT_TRUE(Skinned(MainForm));
  TsSkinProvider* P = SkinnerOf(MainForm->Handle());
  ASSERT_TRUE(MainForm->sSkinManager1->SkinnedPopups());
  g_Open = TOpenPopup();
  g_PopupTicks = 0;
  const UINT_PTR T = SetTimer(nullptr, 0, 20, LookAtPopup);
  P->PopupSystemMenu(MainForm->Left() + 20, MainForm->Top() + 20);
  KillTimer(nullptr, T);
  TsSystemMenu* S = P->SystemMenu();
  ASSERT_NE(S, nullptr);
  EXPECT_TRUE(S->OwnerDraw());
  EXPECT_TRUE(S->Items()->Items(0)->OnAdvancedDrawItem.Assigned());
  // the "#32768" window had its menu adapter, the items were measured by the painter and drawn over a
  // background built for that window
  EXPECT_EQ(g_Open.Adapters, 1u);
  EXPECT_TRUE(g_Open.Measured);
  ASSERT_NE(g_Open.AdapterWnd, nullptr);
  EXPECT_EQ(g_Open.BackgroundWnd, g_Open.AdapterWnd);
}

TEST_F(LoaderSkinnedForms, MainFormGetsTheSkinnedFrameWithCloseAndMinimise) {
  ASSERT_TRUE(Skinned(MainForm));
  TsSkinProvider* P = SkinnerOf(MainForm->Handle());
  MainForm->Perform(WM_NCPAINT, 0, 0);
  ASSERT_TRUE(P->SkinData()->IsSkinned());
  TsSystemMenu* S = P->SystemMenu();
  ASSERT_NE(S, nullptr);
  EXPECT_TRUE(S->VisibleClose());
  EXPECT_TRUE(S->VisibleMin());
  EXPECT_FALSE(S->EnabledMax());
  // the system frame is off while the skin paints it
  EXPECT_EQ(GetWindowLongA(MainForm->Handle(), GWL_STYLE) & WS_SYSMENU, 0);
  // the whole window printed: the caption band is the skin's active title colour, not the system's
  RECT W{};
  GetWindowRect(MainForm->Handle(), &W);
  const int Width = W.right - W.left, Height = W.bottom - W.top;
  testing_support::Dib32 D(Width, Height, 0xFF000000, true);
  MainForm->Perform(WM_PRINT, reinterpret_cast<WPARAM>(D.DC()), PRF_NONCLIENT | PRF_CLIENT);
  const int Top = P->GetClientOffsetTop();
  std::map<uint32_t, int> Band;
  for (int Y = Top / 3; Y < Top - 2; ++Y)
    for (int X = P->GetClientOffsetLeft(); X < Width - P->GetClientOffsetLeft(); ++X) ++Band[D.Rgb(X, Y)];
  const auto Common = std::max_element(Band.begin(), Band.end(), [](auto& A, auto& B) { return A.second < B.second; });
  EXPECT_TRUE(Common->first == kTitleActive || Common->first == kTitleInactive) << std::hex << Common->first;
  const COLORREF Sys = GetSysColor(COLOR_ACTIVECAPTION);
  EXPECT_NE(Common->first, static_cast<uint32_t>((GetRValue(Sys) << 16) | (GetGValue(Sys) << 8) | GetBValue(Sys)));
  // the skin's caption is not one flat colour: text, icon and buttons stand on it
  EXPECT_NE(D.Rgb(Width / 2, Top / 2), D.Rgb(P->ButtonClose.Rect.Left + P->ButtonClose.Rect.Width() / 2,
                                              P->ButtonClose.Rect.Top + P->ButtonClose.Rect.Height() / 2));
  // without the skin the system frame comes back
  MainForm->sSkinManager1->SetActive(false);
  EXPECT_NE(GetWindowLongA(MainForm->Handle(), GWL_STYLE) & WS_SYSMENU, 0);
  MainForm->sSkinManager1->SetActive(true);
}

TEST_F(LoaderSkinnedForms, AboutAndMessageFormsAreSkinnedWhileTheyShow) {
  bool AboutSkinned = false, AboutLoneClose = false;
  int AboutButtons = 0, BoxButtons = 0;
  testing_support::ModalCloser About("TFormHelp");
  About.OnFound = [&](const testing_support::FoundWindow& W) {
    auto* F = dynamic_cast<TCustomForm*>(FindControl(W.handle));
    testing_support::PumpUntil([&] { return SkinnerOf(W.handle) != nullptr; }, 3000);
    if (TsSkinProvider* P = SkinnerOf(W.handle)) {
      F->Perform(WM_NCPAINT, 0, 0);  // prepares the form when no paint reached it yet
      AboutSkinned = P->SkinData()->IsSkinned();
      TsSystemMenu* S = P->SystemMenu();
      AboutLoneClose = S != nullptr && S->VisibleClose() && !S->VisibleMin() && !S->VisibleMax();
    }
    AboutButtons = AdaptedButtons(W.handle);
    if (F != nullptr) F->SetModalResult(mrOk);
  };
  app.PressKey(VK_F1, false);
  EXPECT_TRUE(AboutSkinned);
  EXPECT_TRUE(AboutLoneClose);
  EXPECT_EQ(AboutButtons, 1) << "About's button is skinned by the form's walker";

  bool BoxSkinned = false;
  app.closer->OnFound = [&](const testing_support::FoundWindow& W) {
    app.texts.push_back(LoaderApp::MessageText(W));
    testing_support::PumpUntil([&] { return SkinnerOf(W.handle) != nullptr; }, 3000);
    BoxSkinned = W.className == "TMessageForm" && SkinnerOf(W.handle) != nullptr;
    BoxButtons = AdaptedButtons(W.handle);
  };
  app.PressKey('R', true);
  EXPECT_TRUE(app.SawMessageContaining("Порти оновлено!"));
  EXPECT_TRUE(BoxSkinned);
  EXPECT_EQ(BoxButtons, 1) << "the box's OK button";
}

namespace {

TButton* FirstButton(TWinControl* Parent) {
  for (int i = 0; i < Parent->ControlCount(); ++i) {
    if (auto* B = dynamic_cast<TButton*>(Parent->Controls(i))) return B;
    if (auto* W = dynamic_cast<TWinControl*>(Parent->Controls(i)))
      if (TButton* B = FirstButton(W)) return B;
  }
  return nullptr;
}

// How the adapted button of a form met the real pointer: a fade ran on the way in and on the way out, and it
// ended hot, then normal.
struct TPointerFades {
  bool In = false, Hot = false, Out = false, Normal = false;
};
TPointerFades FadesUnderThePointer(HWND Form) {
  TPointerFades R;
  auto* F = dynamic_cast<TWinControl*>(FindControl(Form));
  TButton* B = F != nullptr ? FirstButton(F) : nullptr;
  if (B == nullptr || AdaptedButtons(Form) == 0) return R;
  auto* A = reinterpret_cast<TvkMainWnd*>(
      SendMessageA(B->Handle(), SM_VKCMD, MAKEWPARAM(0, VKCMD_QUERY_WINDOW_ADAPTER), 0));
  TsCommonData* D = A != nullptr ? A->SkinData : nullptr;
  if (D == nullptr) return R;
  // on top, in a corner the other tests leave alone
  SetWindowPos(Form, HWND_TOPMOST, 880, 700, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  testing_support::RestPointer(50);
  RECT BR{};
  GetWindowRect(B->Handle(), &BR);
  const POINT Beside{BR.left - 20, (BR.top + BR.bottom) / 2};
  testing_support::MovePointer(Beside);
  testing_support::MovePointer(POINT{(BR.left + BR.right) / 2, (BR.top + BR.bottom) / 2});
  R.In = testing_support::PumpUntil([&] { return D->AnimationRunning(); }, 2000);
  R.Hot = testing_support::PumpUntil([&] { return D->Hot && !D->AnimationRunning(); }, 2000);
  testing_support::MovePointer(Beside);
  R.Out = testing_support::PumpUntil([&] { return D->AnimationRunning(); }, 2000);
  R.Normal = testing_support::PumpUntil([&] { return !D->Hot && !D->AnimationRunning(); }, 2000);
  return R;
}

}  // namespace

// About's button and the message form's OK button are plain buttons skinned by adapters: under the real pointer
// they fade in and out as the skinned buttons beside them do.
TEST(LoaderRealPointer, AdaptedButtonsFadeInAndOut) {
  testing_support::PointerParking Parking;
  LoaderApp app;
  TPointerFades About, Box;
  testing_support::ModalCloser AboutCloser("TFormHelp");
  AboutCloser.OnFound = [&](const testing_support::FoundWindow& W) {
    testing_support::PumpUntil([&] { return SkinnerOf(W.handle) != nullptr; }, 3000);
    About = FadesUnderThePointer(W.handle);
    if (auto* F = dynamic_cast<TCustomForm*>(FindControl(W.handle))) F->SetModalResult(mrOk);
  };
  app.PressKey(VK_F1, false);
  app.closer->OnFound = [&](const testing_support::FoundWindow& W) {
    testing_support::PumpUntil([&] { return SkinnerOf(W.handle) != nullptr; }, 3000);
    Box = FadesUnderThePointer(W.handle);
  };
  app.PressKey('R', true);
  for (const auto& [Name, R] : {std::pair{"About", About}, std::pair{"message", Box}}) {
    EXPECT_TRUE(R.In) << Name;
    EXPECT_TRUE(R.Hot) << Name;
    EXPECT_TRUE(R.Out) << Name;
    EXPECT_TRUE(R.Normal) << Name;
  }
}

// The port box under the real pointer, coming from beside it straight onto its arrow and resting there: the arrow
// shows TIDE's hot chevron, blue where the normal one is grey, once the box's fade is over.
TEST(LoaderRealPointer, ThePortBoxsArrowLightsUnderAPointerComingStraightOntoIt) {
  testing_support::PointerParking Parking;
  LoaderApp app;
  TsComboBox* Box = MainForm->cbPort;
  SetWindowPos(MainForm->Handle(), HWND_TOPMOST, 880, 700, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  RECT W{};
  GetWindowRect(Box->Handle(), &W);
  const TRect B = Box->ButtonRect();
  const POINT Arrow{W.left + B.Left + B.Width() / 2, W.top + B.Top + B.Height() / 2};
  ASSERT_TRUE(testing_support::MovePointer(POINT{W.left - 20, Arrow.y}));
  ASSERT_TRUE(testing_support::MovePointer(Arrow));
  int Blue = 0;  // how far blue rises above red in the button on the screen
  auto Lit = [&] {
    Blue = -255;
    for (int i = 0; i < B.Width() * B.Height(); ++i) {
      const uint32_t P = testing_support::ScreenPixel(
          POINT{W.left + B.Left + i % B.Width(), W.top + B.Top + i / B.Width()});
      Blue = std::max(Blue, static_cast<int>(P & 0xFF) - static_cast<int>(P >> 16));
    }
    return Blue >= 0x40;
  };
  EXPECT_TRUE(testing_support::PumpUntil(
      [&] { return Box->ButtonState() == 1 && !Box->SkinData()->AnimationRunning() && Lit(); }, 3000))
      << "blue above red by " << Blue << "; " << testing_support::PointerScene(Arrow);
}

// A click on the main form's minimise button takes the application down: the button's fade goes with the form,
// and no tick of a fade left running shows its window where the form was (the ticks stepped by hand).
TEST(LoaderRealPointer, TheMinimiseButtonsFadeGoesWithTheMainForm) {
  testing_support::PointerParking Parking;
  LoaderApp app;
  const HWND W = MainForm->Handle();
  ASSERT_TRUE(Skinned(MainForm));
  TsSkinProvider* P = SkinnerOf(W);
  SetWindowPos(W, HWND_TOPMOST, 880, 700, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  RECT R{};
  GetWindowRect(W, &R);
  const POINT Min{R.left + P->ButtonMin.Rect.Left + 3, R.top + P->ButtonMin.Rect.Top + 3};
  ASSERT_TRUE(testing_support::PumpUntil([&] { return WindowFromPoint(Min) == W; }, 2000));
  ASSERT_TRUE(testing_support::MovePointer(Min));
  testing_support::ClickPointer();
  ASSERT_TRUE(testing_support::PumpUntil([&] { return !IsWindowVisible(W); }, 2000))
      << testing_support::PointerScene(Min);
  for (TsCaptionButton* B : {&P->ButtonMin, &P->ButtonMax, &P->ButtonHelp, &P->ButtonClose})
    for (int Tick = 0; B->Animation != nullptr && Tick < 12; ++Tick) {
      const TvkSBAnimation* A = B->Animation;
      EXPECT_FALSE(A->GlowWindow != nullptr && IsWindowVisible(A->GlowWindow->Handle())) << B->Code << " tick " << Tick;
      B->Animation->DoStep(nullptr);
    }
  EXPECT_EQ(P->ButtonMin.Animation, nullptr);
  Application->Restore();
}

TEST_F(LoaderSkinnedForms, TheServiceViewIsPaintedOnItsNewHeight) {
  ASSERT_TRUE(Skinned(MainForm));
  MainForm->Perform(WM_NCPAINT, 0, 0);
  app.PressKey('E', true, true);
  testing_support::PumpPending();
  ASSERT_EQ(MainForm->Height(), 340);
  RECT R{};
  GetWindowRect(MainForm->Handle(), &R);
  HRGN Rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(MainForm->Handle(), Rgn), ERROR);
  RECT Box{};
  GetRgnBox(Rgn, &Box);
  DeleteObject(Rgn);
  EXPECT_EQ(Box.bottom, R.bottom - R.top);
}
