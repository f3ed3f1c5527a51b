// The dialog adapter's caption: the activity tint of frame, client and children, the caption font's life, the icon
// and its menu, the text's glow and room, and the title buttons answering for themselves wherever they stand.
#include <algorithm>
#include <memory>

#include "AdapterTestSupport.h"
#include "DialogTemplate.h"
#include "framework/Menus.h"
#include "skin/adapters/vkDialogWnd.h"
#include "skin/adapters/vkSystemMenu.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sConst.h"
#include "skin/core/sStyleSimply.h"
#include "tests/support/GdiLeaks.h"
#include "tests/support/MessagePump.h"

using namespace adapter_test;

namespace {

// Dialogs under a manager of the program's skin (TIDE), or of the SOLID test skin.
template <ManagerPtr (*MakeManager)()>
class DialogCaptionOf : public WithManager<DialogFixture, MakeManager> {
protected:
  // The frame cache painted anew for the dialog's present state.
  static TBitmap* FreshFrame(TvkDialogWnd* D) {
    D->SkinData->CacheDirty = true;
    D->PaintFrame();
    return D->SkinData->CacheBmp;
  }
  int HitAt(const TRect& R) { return ::HitAt(this->Dlg, (R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }
};
using DialogCaption = DialogCaptionOf<TideManager>;
using DialogCaptionSolid = DialogCaptionOf<SolidManager>;
class DialogCaptionRealScreen : public DialogCaption {};

uint32_t CachePixel(TBitmap* B, int X, int Y) { return static_cast<uint32_t*>(B->ScanLine(Y))[X] & 0xFFFFFF; }

}  // namespace

// The activity changes the tint of the whole dialog: the frame, the client and what the children show of it. The
// dialog is shown without activation, so that mostly the test changes its activity; the system may still move it
// as other programs' windows come and go, so each look is compared with the activity the dialog has when read.
TEST_F(DialogCaptionRealScreen, ADeactivatedDialogTakesTheInactiveTintInItsClientAndChildren) {
  const uint32_t ActiveTint = 0xE8F3FA, InactiveTint = 0xF3F5F7;  // DIALOG's two states in the program's skin
  TDlgTemplate T(kDlgStyle, {{L"STATIC", SS_LEFT | WS_VISIBLE, 5, 5, 80, 20}});
  Dlg = Keep(T.Create());
  HWND Text = GetWindow(Dlg, GW_CHILD);
  SetWindowTextA(Text, "Hello");
  ShowWindow(Dlg, SW_SHOWNOACTIVATE);
  TvkDialogWnd* D = DialogAdapterOf(Dlg);
  ASSERT_NE(D, nullptr);
  SettlePaints(Dlg);
  ASSERT_TRUE(WindowHasSkin(Text)) << "the static is adopted";
  const TRect WR = WindowRectOf(Dlg), TR = WindowRectOf(Text);
  const POINT Client{D->ClientOffsetX() + 2, TR.Bottom - WR.Top + 4};
  const POINT InText{TR.Right - WR.Left - 1, TR.Bottom - WR.Top - 1};  // the text's corner: no glyph there
  for (bool Active : {false, true, false}) {
    SCOPED_TRACE(Active ? "active" : "inactive");
    SendMessageA(Dlg, WM_NCACTIVATE, Active ? TRUE : FALSE, 0);
    // nothing was dispatched since: the activity is the message's
    EXPECT_EQ(Active, D->Active);
    const auto Shown = ScreenOf(Dlg);
    const uint32_t Tint = D->Active ? ActiveTint : InactiveTint;
    EXPECT_EQ(Tint, Shown->Rgb(Client.x, Client.y)) << "the client";
    EXPECT_EQ(Tint, Shown->Rgb(InText.x, InText.y)) << "the static's background";
  }
}

// The caption font goes with its dialog, and an adopted dialog's life leaves no GDI object behind.
TEST_F(DialogCaptionSolid, TheCaptionFontGoesWithItsDialog) {
  HFONT Used = nullptr;
  auto Life = [&] {
    TvkDialogWnd* D = ShowDialog(kDlgStyle);
    ASSERT_NE(D, nullptr);
    ASSERT_NE(D->CaptionFont, nullptr);
    Used = D->CaptionFont->Handle();
    FreshFrame(D);
    DestroyWindow(Dlg);
    Tops.clear();
    PurgeDetachedProviders();
  };
  Life();
  EXPECT_EQ(0u, GetObjectType(Used)) << "the font the caption was drawn with is still alive";
  EXPECT_TRUE(testing_support::GivesBackGdiObjects(20, Life));
}

// A box without an icon of its own shows the system's application icon in its caption; the text starts after it
// and a click on it opens the menu.
TEST_F(DialogCaption, AMessageBoxShowsAnIconWhoseClickOpensTheMenu) {
  WithMessageBox(MB_OK, [&](HWND W) {
    Dlg = W;
    TvkDialogWnd* D = DialogAdapterOf(W);
    ASSERT_NE(D, nullptr);
    ASSERT_EQ(D->FrameKind, 0) << "a box with a dialog frame";
    ASSERT_EQ(D->IconHandle, nullptr);
    const TRect IR = D->IconRect();
    TBitmap* Cache = FreshFrame(D);
    // the icon's pixels over the band: drawn on a bitmap of the band alone, it must differ there
    const uint32_t Band = CachePixel(Cache, IR.Right + 1, (IR.Top + IR.Bottom) / 2);
    int Drawn = 0;
    for (int y = IR.Top; y < IR.Bottom; ++y)
      for (int x = IR.Left; x < IR.Right; ++x) Drawn += CachePixel(Cache, x, y) != Band;
    EXPECT_GT(Drawn, IR.Width() * IR.Height() / 4) << "no icon in the caption";
    EXPECT_EQ(HTSYSMENU, HitAt(IR));
    int Popups = 0;
    UINT_PTR Closer = 0;
    D->SysMenu->Menu->OnPopup = [&](TObject*) {
      ++Popups;
      // the menu ends itself as soon as its own loop runs
      Closer = SetTimer(nullptr, 0, 0, EndMenuTimer);
    };
    const TRect WR = WindowRectOf(W);
    SendMessageA(W, WM_NCLBUTTONDOWN, HTSYSMENU, MAKELPARAM(WR.Left + IR.Left + 2, WR.Top + IR.Top + 2));
    if (Closer != 0) KillTimer(nullptr, Closer);
    EXPECT_EQ(1, Popups) << "the icon's click opened no menu";
  });
}

// With the manager's glowing on, the caption text glows in the text section's glow colour; off, not at all.
TEST_F(DialogCaption, TheCaptionTextGlowsOnlyWhileGlowingIsOn) {
  TvkDialogWnd* D = ShowDialog(kDlgStyle);
  ASSERT_NE(D, nullptr);
  SetWindowTextA(Dlg, "Glowing caption");
  // A red glow on every section the text may take its colours from.
  for (int S : {D->CaptionSection, D->TitleSection, D->SkinData->SkinIndex})
    if (M->SectionIndexInRange(S))
      for (TsGenState& St : M->EditModel().gd[S].Props) {
        St.GlowSize = 4;
        St.GlowColor = 0x0000FF;
      }
  const TRect IR = D->IconRect();
  auto Reddish = [&] {
    TBitmap* Cache = FreshFrame(D);
    int N = 0;
    for (int y = 0; y < D->CaptionBottom(); ++y)
      for (int x = IR.Right; x < Cache->Width() / 2; ++x) {
        const uint32_t P = CachePixel(Cache, x, y);
        const int R = P >> 16, G = (P >> 8) & 0xFF, B = P & 0xFF;
        N += R > G + 40 && R > B + 40;
      }
    return N;
  };
  M->Effects()->SetAllowGlowing(false);
  EXPECT_EQ(0, Reddish()) << "glowing is off";
  M->Effects()->SetAllowGlowing(true);
  EXPECT_GT(Reddish(), 20) << "no glow around the caption text";
}

// The text ends 6 pixels left of the leftmost title button, whatever space the skin puts between the buttons.
TEST_F(DialogCaption, TheTextStopsBeforeTheLeftmostButtonWithTheButtonSpacing) {
  M->EditModel().SkinData.BISpace = 12;
  TvkDialogWnd* D = ShowDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
  ASSERT_NE(D, nullptr);
  auto Strip = [&](const char* Text) {
    SetWindowTextA(Dlg, Text);
    TBitmap* Cache = FreshFrame(D);
    std::vector<uint32_t> Px;
    // the text ends 6 pixels before the button, the caption section behind it 4 pixels after the text
    const int From = std::max(0, D->MinButton.Rect.Left - 2);
    for (int y = D->FrameWidth(); y < D->CaptionBottom(); ++y)
      for (int x = From; x < Cache->Width(); ++x) Px.push_back(CachePixel(Cache, x, y));
    return Px;
  };
  ASSERT_LT(D->MinButton.Rect.Right + 12, D->MaxButton.Rect.Left + 1) << "the buttons stand apart";
  EXPECT_EQ(Strip(""), Strip(std::string(200, 'W').c_str())) << "the text runs under the buttons";
}

// Each title button answers its own hit code at its own place, whatever other buttons the dialog has.
TEST_F(DialogCaptionSolid, EachTitleButtonAnswersItsOwnCodeWhereverItStands) {
  constexpr DWORD Base = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
  struct Case {
    const char* What;
    DWORD Style;
    size_t Buttons;
  } Cases[] = {
      {"close, minimize, help", Base | WS_MINIMIZEBOX | DS_CONTEXTHELP, 3},
      {"close, maximize, help", Base | WS_MAXIMIZEBOX | DS_CONTEXTHELP, 3},
      {"close, maximize, minimize, help", Base | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | DS_CONTEXTHELP, 4},
      {"close, help", Base | DS_CONTEXTHELP, 2},
      {"close, minimize", Base | WS_MINIMIZEBOX, 2},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    TvkDialogWnd* D = ShowDialog(C.Style);
    ASSERT_NE(D, nullptr);
    if ((C.Style & DS_CONTEXTHELP) != 0) {
      // The system drops the help style beside a minimize or maximize box at creation; it can be set afterwards.
      SetWindowLongA(Dlg, GWL_EXSTYLE, GetWindowLongA(Dlg, GWL_EXSTYLE) | WS_EX_CONTEXTHELP);
      D->SavedExStyle = GetWindowLongA(Dlg, GWL_EXSTYLE);
      FreshFrame(D);
    }
    const std::vector<TvkDlgTitleButton*> Placed = D->PlacedButtons();
    ASSERT_EQ(C.Buttons, Placed.size());
    for (TvkDlgTitleButton* B : Placed) {
      ASSERT_GT(B->Rect.Width(), 0);
      EXPECT_EQ(B->Code, HitAt(B->Rect)) << "the button of code " << B->Code;
    }
    DestroyWindow(Dlg);
    Tops.clear();
  }
}

// An iconic dialog without a minimize box is restored through the button that takes the minimize button's place.
TEST_F(DialogCaptionSolid, AnIconicDialogWithoutAMinimizeBoxPlacesItsRestoreButton) {
  TvkDialogWnd* D = ShowDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
  ASSERT_NE(D, nullptr);
  EXPECT_EQ(1u, D->PlacedButtons().size());
  ShowWindow(Dlg, SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(Dlg));
  FreshFrame(D);
  const std::vector<TvkDlgTitleButton*> Placed = D->PlacedButtons();
  ASSERT_EQ(2u, Placed.size());
  EXPECT_EQ(&D->MinButton, Placed[1]);
  EXPECT_GT(D->MinButton.Rect.Width(), 0);
  EXPECT_EQ(D->MinButton.Rect.Right, D->CloseButton.Rect.Left - M->SkinData().BISpace) << "beside the close button";
  ShowWindow(Dlg, SW_RESTORE);
}

// A zoomed dialog's frame lies beyond the screen's edge: its title buttons are centred in the caption that shows.
TEST_F(DialogCaptionSolid, AZoomedDialogCentresItsButtonsInTheCaptionThatShows) {
  ReadSystemMetrics();  // the frame widths the program reads at its start
  TvkDialogWnd* D = ShowDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX);
  ASSERT_NE(D, nullptr);
  ShowWindow(Dlg, SW_MAXIMIZE);
  ASSERT_TRUE(IsZoomed(Dlg));
  FreshFrame(D);
  const int FW = D->FrameWidth(), CH = D->CaptionHeight(true);
  ASSERT_GT(FW, 1);
  for (const TvkDlgTitleButton* B : D->PlacedButtons())
    EXPECT_NEAR(FW + CH / 2, (B->Rect.Top + B->Rect.Bottom) / 2, 1) << "the button of code " << B->Code;
  ShowWindow(Dlg, SW_RESTORE);
}
