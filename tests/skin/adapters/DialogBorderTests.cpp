// A skinned dialog's extended border window: the frame cache around the dialog, the dialog cut to its client,
// hit tests and presses through the border window, removal, the fade of a dialog dragged by its caption, and a dialog
// destroyed, or its skin removed, inside its own message.
#include <algorithm>
#include <array>

#include "AdapterTestSupport.h"
#include "DialogTemplate.h"
#include "skin/adapters/vkDialogWnd.h"
#include "skin/adapters/vkDials.h"
#include "skin/adapters/vkSystemMenu.h"
#include "framework/Menus.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/vkBorderForm.h"
#include "skin/forms/vkFormTimers.h"
#include "skin/forms/vkProviderEffects.h"
#include "tests/support/LayeredRecorder.h"
#include "tests/support/MessagePump.h"

using namespace adapter_test;
using testing_support::LayeredRecorder;

namespace {

struct TBorderedDialog {
  HWND Dlg = nullptr;
  TvkDialogWnd* D = nullptr;
  explicit TBorderedDialog(std::vector<HWND>& Tops, DLGPROC Proc = NoDlgProc) {
    static TDlgTemplate T(kDlgStyle | WS_VISIBLE, {{L"BUTTON", WS_VISIBLE, 5, 5, 60, 12}});
    Dlg = T.Create(Proc);
    Tops.push_back(Dlg);
    D = DialogAdapterOf(Dlg);
    if (D != nullptr) SendMessageA(Dlg, WM_NCPAINT, 1, 0);
  }
  bool Bordered() const { return D != nullptr && D->BorderForm != nullptr; }
  TvkBorderForm* B() const { return D->BorderForm; }
  HWND L() const { return B()->BorderWindow->Handle(); }
  TRect LR() const { return WindowRectOf(L()); }
  POINT At(int X, int Y) const { return POINT{LR().Left + X, LR().Top + Y}; }
  LRESULT Send(UINT Msg, POINT S) const { return SendMessageA(L(), Msg, HTOBJECT, MAKELPARAM(S.x, S.y)); }
};

TPoint Centre(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }

}  // namespace

class DialogBorderTest : public WithManager<AdapterTest> {};

TEST_F(DialogBorderTest, FrameShowsOnTheBorderWindowAndTheDialogKeepsItsClient) {
  M->SetExtendedBorders(true);
  LayeredRecorder Rec;
  TBorderedDialog T(Tops);
  ASSERT_TRUE(T.Bordered()) << "no adopted dialog with a border window";
  const TRect Mg = M->ExtBorderMargins();
  const TRect WR = WindowRectOf(T.Dlg);
  TBitmap* Cache = T.D->SkinData->CacheBmp;
  EXPECT_EQ(Cache->Width(), WR.Width() + 2 * T.D->ExtraFrameWidth() + Mg.Left + Mg.Right);
  const auto Calls = Rec.For(T.L());
  ASSERT_FALSE(Calls.empty());
  EXPECT_EQ(Calls.back().pos.x, WR.Left - T.B()->GetLeftIndent());
  EXPECT_EQ(Calls.back().pos.y, WR.Top - T.B()->GetTopIndent());
  EXPECT_EQ(Calls.back().size.cx, Cache->Width());
  EXPECT_EQ(Calls.back().size.cy, Cache->Height());
  EXPECT_TRUE(IsWindowVisible(T.L()));
  // the client in the cache lies over the dialog's real client
  POINT C{0, 0};
  ClientToScreen(T.Dlg, &C);
  EXPECT_EQ(Calls.back().pos.x + T.D->ClientOffsetX(), C.x);
  EXPECT_EQ(Calls.back().pos.y + T.D->ClientOffsetY(), C.y);
  // the dialog window shows its client only
  HRGN R = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(T.Dlg, R), ERROR);
  RECT Box{};
  GetRgnBox(R, &Box);
  DeleteObject(R);
  RECT CR{};
  GetClientRect(T.Dlg, &CR);
  EXPECT_EQ(Box.left, C.x - WR.Left);
  EXPECT_EQ(Box.top, C.y - WR.Top);
  EXPECT_EQ(Box.right - Box.left, CR.right);
  EXPECT_EQ(Box.bottom - Box.top, CR.bottom);
  // the border window's hit test knows the dialog's buttons, caption and client
  const TPoint X = Centre(T.D->CloseButton.Rect);
  ASSERT_GT(T.D->CloseButton.Rect.Width(), 0);
  EXPECT_EQ(T.B()->HitTest(T.At(X.X, X.Y)), HTCLOSE);
  EXPECT_EQ(T.B()->HitTest(T.At(T.D->CloseButton.Rect.Left - 20, X.Y)), HTCAPTION);
  EXPECT_EQ(T.B()->HitTest(T.At(T.D->ClientOffsetX() + 5, T.D->ClientOffsetY() + 5)), HTTRANSPARENT);
}

TEST_F(DialogBorderTest, PressesReachTheDialogAndTheBorderGoesWithExtendedBorders) {
  M->SetExtendedBorders(true);
  TBorderedDialog T(Tops);
  ASSERT_TRUE(T.Bordered()) << "no adopted dialog with a border window";
  const TPoint X = Centre(T.D->CloseButton.Rect);
  T.Send(WM_NCMOUSEMOVE, T.At(X.X, X.Y));
  EXPECT_EQ(T.D->HotButton, HTCLOSE);
  T.Send(WM_NCLBUTTONDOWN, T.At(X.X, X.Y));
  EXPECT_EQ(T.D->CloseButton.State, 2);
  T.Send(WM_NCMOUSEMOVE, T.At(T.D->CloseButton.Rect.Left - 20, X.Y));
  EXPECT_EQ(T.D->HotButton, 0);
  EXPECT_EQ(T.D->CloseButton.State, 0);

  // a click on close cancels the dialog; the hide effect's picture goes on the border window itself
  M->AnimEffects()->DialogHide()->SetActive(true);
  M->AnimEffects()->DialogHide()->SetTime(100);
  T.Send(WM_NCMOUSEMOVE, T.At(X.X, X.Y));
  T.Send(WM_NCLBUTTONDOWN, T.At(X.X, X.Y));
  T.Send(WM_NCLBUTTONUP, T.At(X.X, X.Y));
  // the dialog's close arrives as a posted Cancel
  testing_support::PumpPending();
  EXPECT_TRUE(T.B()->Moving);
  EXPECT_EQ(T.D->Snapshot, nullptr) << "no snapshot window is made";
  M->AnimEffects()->DialogHide()->SetActive(false);
  T.B()->Moving = false;

  M->SetExtendedBorders(false);
  SendSkinCommand(T.Dlg, VKCMD_REPAINT_AFTER_CHANGE, 0);
  EXPECT_EQ(T.D->BorderForm, nullptr);
  SendMessageA(T.Dlg, WM_NCPAINT, 1, 0);
  EXPECT_EQ(T.D->SkinData->CacheBmp->Width(), WindowRectOf(T.Dlg).Width()) << "the cache is the window again";
}

TEST_F(DialogBorderTest, CaptionDragFadesTheDialogAndPutsItBackOpaque) {
  // a value near opaque fades too, by the smallest step
  for (const auto& [Border, Blend] : {std::pair{true, 150}, {false, 150}, {false, 240}}) {
    M.reset();  // a manager of its own for each case
    M = SolidManager();
    M->SetExtendedBorders(Border);
    M->AnimEffects()->BlendOnMoving()->SetActive(true);
    M->AnimEffects()->BlendOnMoving()->SetBlendValue(Blend);
    LayeredRecorder Rec;
    DWORD Slept = 0;
    Platform().Sleep = [&](DWORD Ms) { Slept += Ms; };
    // no screen copies: the snapshot window is not what this test looks at
    const auto SavedSnapshot = FormServices.CreateSnapshotForm;
    FormServices.CreateSnapshotForm = [](HWND) -> TvkGlowForm* { return nullptr; };
    TBorderedDialog T(Tops);
    ASSERT_NE(T.D, nullptr);
    ASSERT_EQ(T.B() != nullptr, Border);
    const TRect Before = WindowRectOf(T.Dlg);
    HWND Looped = nullptr;
    bool LayeredInLoop = false;
    bool StayedOnRepaint = true;
    FormEffectSeams().EnterWindowMoveLoop = [&](HWND W) {
      Looped = W;
      LayeredInLoop = (GetWindowLongA(T.Dlg, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
      for (int i = 0; i < 40 && T.D->MoveTimer != nullptr; ++i) T.D->MoveTimer->DoStep();
      const TRect R = WindowRectOf(W);
      SetWindowPos(W, nullptr, R.Left + 30, R.Top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      if (Border) {
        // a repaint meanwhile leaves the frame where the drag put it
        T.D->SkinData->CacheDirty = true;
        T.B()->UpdateBorderWindow(true, 255);
        StayedOnRepaint = T.LR().Left == R.Left + 30 && T.LR().Top == R.Top + 20;
      }
    };
    const TPoint Cap(T.D->CloseButton.Rect.Left - 30, Centre(T.D->CloseButton.Rect).Y);
    if (Border) {
      T.Send(WM_NCLBUTTONDOWN, T.At(Cap.X, Cap.Y));
      EXPECT_EQ(Looped, T.L());
    } else {
      SendMessageA(T.Dlg, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(Before.Left + Cap.X, Before.Top + Cap.Y));
      EXPECT_EQ(Looped, T.Dlg);
    }
    EXPECT_TRUE(LayeredInLoop) << Border;
    EXPECT_TRUE(StayedOnRepaint);
    // the fade went down to the blend value, never below, and the frame ends opaque
    const HWND Faded = Border ? T.L() : T.Dlg;
    int Lowest = 255;
    for (const auto& C : Rec.For(Faded)) Lowest = std::min(Lowest, C.alpha < 0 ? 255 : C.alpha);
    EXPECT_EQ(Lowest, Blend) << Border << Blend;
    if (Border) {
      EXPECT_EQ(Rec.For(T.L()).back().alpha, 255);
      EXPECT_EQ(Slept, 40u);
    }
    const TRect After = WindowRectOf(T.Dlg);
    EXPECT_EQ(After.Left - Before.Left, 30) << Border;
    EXPECT_EQ(After.Top - Before.Top, 20) << Border;
    EXPECT_EQ(GetWindowLongA(T.Dlg, GWL_EXSTYLE) & WS_EX_LAYERED, 0) << Border;
    EXPECT_EQ(T.D->MoveFlags & 0x80, 0u);
    EXPECT_EQ(T.D->MoveTimer, nullptr);
    FormServices.CreateSnapshotForm = SavedSnapshot;
    DestroyWindow(T.Dlg);
    Tops.pop_back();
  }
}

namespace {
// A timer in a move loop: the dialog goes, then a skinned form's activation purges the hook's providers.
HWND g_Going = nullptr, g_SkinnedForm = nullptr;
bool g_KeptInLoop = false;
void CALLBACK GoInsideTheLoop(HWND, UINT, UINT_PTR Id, DWORD) {
  KillTimer(nullptr, Id);
  DestroyWindow(g_Going);
  SendMessageA(g_SkinnedForm, WM_NCACTIVATE, TRUE, 0);
  g_KeptInLoop = FindProviderByWnd(g_Going) != nullptr;
  PostMessageA(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);  // the loop's end
}
// The dialog's own button switches the skin off while its press and the dialog's command still run.
const TvkLifeWatch* g_DialogLife = nullptr;
bool g_UnhookedAndKept = false;
INT_PTR CALLBACK SwitchOffOnPress(HWND Dlg, UINT Msg, WPARAM, LPARAM) {
  if (Msg != WM_COMMAND) return FALSE;
  TsSkinManager::DefaultManager()->SetActive(false);
  g_UnhookedAndKept = !WindowHasSkin(Dlg) && !g_DialogLife->Freed();
  return TRUE;
}
}  // namespace

// A dialog adapter whose own message is still running when its dialog goes, inside a caption drag or a blended drag
// the border window starts, or when its own button's press switches the skin off, is kept while that message runs,
// which still reads it once it returns; it is freed afterwards.
TEST_F(DialogBorderTest, ADialogGoneInItsOwnMessageIsFreedOnlyOnceThatMessageHasReturned) {
  testing_support::Owned<TForm> F(NewForm(340, 40, 200, 120, NoSkinTag));
  Create<TsSkinProvider>(F.get());
  g_SkinnedForm = F->Handle();
  enum { kCaptionDrag, kBlendedDrag, kPressSwitchesTheSkinOff };
  for (int Row : {kCaptionDrag, kBlendedDrag, kPressSwitchesTheSkinOff}) {
    const bool Border = Row == kBlendedDrag;
    M->SetExtendedBorders(Border);
    M->AnimEffects()->BlendOnMoving()->SetActive(Border);
    TBorderedDialog T(Tops, Row == kPressSwitchesTheSkinOff ? SwitchOffOnPress : NoDlgProc);
    ASSERT_TRUE(T.D != nullptr && T.Bordered() == Border);
    if (Row == kPressSwitchesTheSkinOff) {
      const TvkLifeWatch Life(T.D->Life);
      g_DialogLife = &Life, g_UnhookedAndKept = false;
      SendMessageA(ChildOfClass(T.Dlg, "button"), BM_CLICK, 0, 0);
      EXPECT_TRUE(g_UnhookedAndKept) << "the dialog is given back at once and its adapter kept";
      EXPECT_TRUE(testing_support::PumpUntil([&] { return Life.Freed(); }, 2000)) << "freed once the press returned";
      EXPECT_EQ(RetiredProviderCount(), 0);
      continue;
    }
    g_Going = T.Dlg, g_KeptInLoop = false;
    SetTimer(nullptr, 0, 1, GoInsideTheLoop);
    if (Border) T.Send(WM_NCLBUTTONDOWN, T.At(T.D->CloseButton.Rect.Left - 30, Centre(T.D->CloseButton.Rect).Y));
    else SendMessageA(T.Dlg, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    EXPECT_TRUE(g_KeptInLoop && !IsWindow(T.Dlg) && T.D->MoveTimer == nullptr) << Border;
    SendMessageA(g_SkinnedForm, WM_NCACTIVATE, TRUE, 0);
    EXPECT_EQ(FindProviderByWnd(T.Dlg), nullptr) << "freed by the next purge " << Border;
  }
}

// The border window hands the right button's release on with -1 and the frame it shows follows activation.
TEST_F(DialogBorderTest, RightClickOnTheBorderCaptionShowsTheMenuAndTheBorderFollowsActivation) {
  M->SetExtendedBorders(true);
  LayeredRecorder Rec;
  TBorderedDialog T(Tops);
  ASSERT_TRUE(T.Bordered()) << "no adopted dialog with a border window";
  const TPoint Cap(T.D->CloseButton.Rect.Left - 30, Centre(T.D->CloseButton.Rect).Y);
  int Popups = 0;
  T.D->SysMenu->Menu->OnPopup = [&Popups](TObject*) { ++Popups; };
  const UINT_PTR Timer = SetTimer(nullptr, 0, 50, EndMenuTimer);
  T.Send(WM_NCRBUTTONDOWN, T.At(Cap.X, Cap.Y));
  T.Send(WM_NCRBUTTONUP, T.At(Cap.X, Cap.Y));
  KillTimer(nullptr, Timer);
  EXPECT_EQ(Popups, 1);

  const bool WasActive = T.D->Active;
  ASSERT_FALSE(Rec.For(T.L()).empty());
  const uint32_t Before = Rec.For(T.L()).back().Pixel(Cap.X, Cap.Y);
  const size_t Calls = Rec.For(T.L()).size();
  SendMessageA(T.Dlg, WM_NCACTIVATE, WasActive ? FALSE : TRUE, 0);
  EXPECT_NE(T.D->Active, WasActive);
  ASSERT_GT(Rec.For(T.L()).size(), Calls);
  EXPECT_NE(Rec.For(T.L()).back().Pixel(Cap.X, Cap.Y), Before) << "the caption in the other activity's look";
}

namespace {
// The hit code of the last WM_NCLBUTTONDOWN the dialog's own procedure saw.
WPARAM g_NcDownCode = 0;
INT_PTR CALLBACK RecordNcDown(HWND, UINT Msg, WPARAM WParam, LPARAM) {
  if (Msg == WM_NCLBUTTONDOWN) g_NcDownCode = WParam;
  return FALSE;
}
}  // namespace

// With a border window, a press the system reports as on an object goes to the dialog's own handling unchanged.
TEST_F(DialogBorderTest, AnObjectPressGoesToTheDialogsOwnHandlingUnchanged) {
  M->SetExtendedBorders(true);
  TDlgTemplate T(kDlgStyle | WS_VISIBLE, {{L"BUTTON", WS_VISIBLE, 5, 5, 60, 12}});
  HWND Dlg = Keep(T.Create(RecordNcDown));
  TvkDialogWnd* D = DialogAdapterOf(Dlg);
  ASSERT_NE(D, nullptr);
  SendMessageA(Dlg, WM_NCPAINT, 1, 0);
  ASSERT_NE(D->BorderForm, nullptr);
  POINT InClient{40, 40};
  ClientToScreen(Dlg, &InClient);
  g_NcDownCode = 0;
  SendMessageA(Dlg, WM_NCLBUTTONDOWN, HTOBJECT, MAKELPARAM(InClient.x, InClient.y));
  EXPECT_EQ(static_cast<WPARAM>(HTOBJECT), g_NcDownCode);
}

// Beside a border window the skin's frame settings place a dialog's frame as a form's: the icon and top offsets move
// the icon and the title buttons, and in border mode 1 the border window's picture is the frame, so the section's own
// border (here the FORM ring) is not drawn inside it, only its fill (the SOLID dialog's green).
TEST_F(DialogBorderTest, TheSkinsCaptionOffsetsAndBorderModeShapeTheFrame) {
  M->SetExtendedBorders(true);
  M->EditModel().gd[M->FindSectionIndex("DIALOG")].BorderIndex = M->gd()[M->FindSectionIndex("FORM")].BorderIndex;
  TBorderedDialog T(Tops);
  ASSERT_NE(T.B(), nullptr);
  TsSkinData& D = M->EditModel().SkinData;
  auto Look = [&](int Mode, int Left, int Top) {
    D.BorderMode = Mode;
    D.BILeft = Left;
    D.BITop = Top;
    T.D->PaintFrame();
    TBitmap* C = T.D->SkinData->CacheBmp;
    const auto* Row = static_cast<const uint32_t*>(C->ScanLine(C->Height() / 2)) + M->ExtBorderMargins().Left;
    const int Fill = std::all_of(Row, Row + 4, [](uint32_t P) { return (P & 0xFFFFFF) == 0x00FF00; });
    const TRect I = T.D->IconRect(), X = T.D->CloseButton.Rect;
    return std::array<int, 5>{Fill, I.Left, I.Top, X.Left, X.Top};
  };
  const auto Plain = Look(0, 0, 0), Moved = Look(0, 5, 3), ModeOne = Look(1, 0, 0);
  EXPECT_EQ((std::array<int, 5>{0, Plain[1] + 5, Plain[2] + 3, Plain[3], Plain[4] + 3}), Moved);
  EXPECT_EQ(1, ModeOne[0]) << "a frame inside the border window's";
}
