// A skinned dialog's extended border window: the frame cache around the dialog, the dialog cut to its client,
// hit tests and presses through the border window, removal, the fade of a dialog dragged by its caption, and a dialog
// destroyed, or its skin removed, inside its own message.
#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <string>

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
}  // namespace

// A dialog adapter whose own message is still running when its dialog goes, inside a caption drag or a blended drag
// the border window starts, is kept while that message runs, which still reads it once it returns; it is freed
// afterwards.
TEST_F(DialogBorderTest, ADialogGoneInItsOwnMessageIsFreedOnlyOnceThatMessageHasReturned) {
  testing_support::Owned<TForm> F(NewForm(340, 40, 200, 120, NoSkinTag));
  Create<TsSkinProvider>(F.get());
  g_SkinnedForm = F->Handle();
  for (const bool Border : {false, true}) {
    M->SetExtendedBorders(Border);
    M->AnimEffects()->BlendOnMoving()->SetActive(Border);
    TBorderedDialog T(Tops);
    ASSERT_TRUE(T.D != nullptr && T.Bordered() == Border);
    g_Going = T.Dlg, g_KeptInLoop = false;
    SetTimer(nullptr, 0, 1, GoInsideTheLoop);
    if (Border) T.Send(WM_NCLBUTTONDOWN, T.At(T.D->CloseButton.Rect.Left - 30, Centre(T.D->CloseButton.Rect).Y));
    else SendMessageA(T.Dlg, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    EXPECT_TRUE(g_KeptInLoop && !IsWindow(T.Dlg) && T.D->MoveTimer == nullptr) << Border;
    SendMessageA(g_SkinnedForm, WM_NCACTIVATE, TRUE, 0);
    EXPECT_EQ(FindProviderByWnd(T.Dlg), nullptr) << "freed by the next purge " << Border;
  }
}

namespace {
// What a dialog shows of the skin, read on the dialog, its combo box and the windows it owns.
struct TSkinTraces {
  bool Skinned = false;
  TRect Region;            // the region's box; empty without a region
  LONG Style = 0;          // WS_SYSMENU back: the system draws its menu and buttons again
  LONG ExStyle = 0;        // not layered: a blended drag's transparency ended
  std::wstring ComboTheme;  // the last visual-style call on the combo box ("<nil>": switched back on)
  WNDPROC DialogProc = nullptr, ComboProc = nullptr;
  bool OwnedShown = false;  // a window the dialog owns (the border window) is visible
  bool operator==(const TSkinTraces&) const = default;
};
// (owner, found): a visible window of the owner's.
BOOL CALLBACK OwnedShown(HWND W, LPARAM P) {
  auto* O = reinterpret_cast<std::pair<HWND, bool>*>(P);
  if (GetWindow(W, GW_OWNER) == O->first && IsWindowVisible(W)) O->second = true;
  return TRUE;
}
TSkinTraces ReadTraces(HWND Dlg, const ThemeRecorder& Themes) {
  TSkinTraces T;
  T.Skinned = WindowHasSkin(Dlg);
  RECT Box{};
  if (GetWindowRgnBox(Dlg, &Box) != ERROR) T.Region = TRect(Box);
  T.Style = GetWindowLongA(Dlg, GWL_STYLE);
  T.ExStyle = GetWindowLongA(Dlg, GWL_EXSTYLE);
  const HWND Combo = ChildOfClass(Dlg, "combobox");
  for (const TThemeCall& C : Themes.Calls)
    if (C.Wnd == Combo) T.ComboTheme = C.Name;
  T.DialogProc = reinterpret_cast<WNDPROC>(GetWindowLongA(Dlg, GWL_WNDPROC));
  T.ComboProc = reinterpret_cast<WNDPROC>(GetWindowLongA(Combo, GWL_WNDPROC));
  std::pair<HWND, bool> Owned{Dlg, false};
  EnumThreadWindows(GetCurrentThreadId(), OwnedShown, reinterpret_cast<LPARAM>(&Owned));
  T.OwnedShown = Owned.second;
  return T;
}
// The dialog's procedure runs this on the command from its button, or on WM_SIZE, while that message still runs.
std::function<void(HWND)> g_OnMessage;
UINT g_RunOn = 0;
INT_PTR CALLBACK RunOnMessage(HWND Dlg, UINT Msg, WPARAM WParam, LPARAM LParam) {
  const bool Press = HIWORD(WParam) == BN_CLICKED && reinterpret_cast<HWND>(LParam) == ChildOfClass(Dlg, "button");
  if (Msg == g_RunOn && (Msg != WM_COMMAND || Press) && g_OnMessage) g_OnMessage(Dlg);
  return FALSE;
}
}  // namespace

// A skinned dialog gets back the same whether the skin leaves it while it is idle (its adapters freed at once) or
// inside one of its own messages (they are set aside, and freed once the message has returned): no region, its system
// menu, its combo box's visual style, both procedures and no transparency; the skin's border window is hidden at once
// and stays so, no fade of the skin goes on, and the free that comes later touches the window no more. When the skin
// comes back inside the message and the dialog is adopted again, the new skin survives the old adapters' free.
TEST_F(DialogBorderTest, ADialogGivenBackIdleOrInsideItsOwnMessageGetsBackTheSameAndKeepsANewSkin) {
  static TDlgTemplate Template(kDlgStyle | WS_VISIBLE, {{L"BUTTON", WS_VISIBLE, 5, 5, 60, 12},
                                                        {L"COMBOBOX", WS_VISIBLE | CBS_DROPDOWNLIST, 5, 25, 80, 60}});
  // what each row must get back: the dialog as its classes make it, its combo box's visual style switched on again
  M->SetActive(false);
  TSkinTraces Plain = ReadTraces(Keep(Template.Create(NoDlgProc)), ThemeRecorder());
  Plain.ComboTheme = L"<nil>";
  enum TWay { kIdle, kInPress, kInSize, kInBlendedDrag, kInPressSkinnedAgain };
  const struct {
    TWay Way;
    bool Border;
  } Rows[] = {{kIdle, false}, {kInPress, false}, {kIdle, true},          {kInPress, true},
              {kInSize, true}, {kInBlendedDrag, true}, {kInPressSkinnedAgain, true}};
  for (const auto& Row : Rows) {
    const std::string Name = std::to_string(Row.Way) + (Row.Border ? " bordered" : "");
    M.reset();  // a skin of its own for each row
    M = SolidManager();
    M->SetExtendedBorders(Row.Border);
    M->AnimEffects()->BlendOnMoving()->SetActive(Row.Way == kInBlendedDrag);
    ThemeRecorder Themes;
    const HWND Dlg = Keep(Template.Create(RunOnMessage));
    TvkDialogWnd* D = DialogAdapterOf(Dlg);
    ASSERT_TRUE(D != nullptr && (D->BorderForm != nullptr) == Row.Border) << Name;
    SendMessageA(Dlg, WM_NCPAINT, 1, 0);
    const TvkLifeWatch Life(D->Life);
    ASSERT_TRUE(ReadTraces(Dlg, Themes).Skinned && Themes.CountFor(ChildOfClass(Dlg, "combobox")) > 0) << Name;
    // the button under the pointer: its fade runs
    const HWND Button = ChildOfClass(Dlg, "button");
    const TRect BR = WindowRectOf(Button);
    FakeCursorAt(POINT{BR.Left + 5, BR.Top + 5});
    M->ChangeHotWindow(Button);
    TsCommonData* ButtonData = nullptr;
    for (TvkMainWnd* A : D->Provider->Adapters)
      if (A->CtrlHandle == Button) ButtonData = A->SkinData;
    ASSERT_TRUE(ButtonData != nullptr && ButtonData->AnimationRunning()) << Name;
    std::optional<TSkinTraces> Inside, Again;
    g_OnMessage = [&](HWND W) {
      if (Inside) return;  // once
      M->SetActive(false);
      Inside = ReadTraces(W, Themes);
      EXPECT_FALSE(Life.Freed()) << "kept while its message runs " << Name;
      EXPECT_FALSE(ButtonData->AnimationRunning()) << "the button's fade stopped " << Name;
      if (Row.Way != kInPressSkinnedAgain) return;
      // a fallback skin, and the dialog activated again (as after a message box): the hook adopts it anew
      M->SetActive(true);
      AdoptTopLevelWindow(W, nullptr);
      SendMessageA(W, WM_NCPAINT, 1, 0);
      testing_support::PumpPending();  // as a message box's loop would
      Again = ReadTraces(W, Themes);
    };
    g_RunOn = Row.Way == kInSize ? WM_SIZE : WM_COMMAND;
    const TRect WR = WindowRectOf(Dlg);
    if (Row.Way == kIdle) {
      M->SetActive(false);
    } else if (Row.Way == kInSize) {
      SetWindowPos(Dlg, nullptr, 0, 0, WR.Width() + 20, WR.Height() + 20, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (Row.Way == kInBlendedDrag) {
      const TRect LR = WindowRectOf(D->BorderForm->BorderWindow->Handle());
      const TPoint Cap(LR.Left + D->CloseButton.Rect.Left - 30, LR.Top + Centre(D->CloseButton.Rect).Y);
      FormEffectSeams().EnterWindowMoveLoop = [&](HWND) { g_OnMessage(Dlg); };
      SendMessageA(D->BorderForm->BorderWindow->Handle(), WM_NCLBUTTONDOWN, HTOBJECT, MAKELPARAM(Cap.X, Cap.Y));
    } else {
      SendMessageA(Button, BM_CLICK, 0, 0);
    }
    g_OnMessage = nullptr;
    const TSkinTraces Returned = ReadTraces(Dlg, Themes);
    EXPECT_TRUE(testing_support::PumpUntil([&] { return Life.Freed(); }, 2000)) << "freed once idle " << Name;
    const TSkinTraces After = ReadTraces(Dlg, Themes);
    if (Row.Way == kInPressSkinnedAgain) {
      ASSERT_TRUE(Again.has_value() && Again->Skinned) << "adopted again inside the press";
      EXPECT_TRUE(After == *Again) << "the new skin outlives the old adapters' free";
    } else {
      EXPECT_TRUE(Returned == Plain && After == Plain) << Name;
    }
    EXPECT_TRUE(Row.Way == kIdle || Inside == Plain) << "given back at once inside the message " << Name;
    DestroyWindow(Dlg);
    Tops.pop_back();
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
