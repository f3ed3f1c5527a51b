// The skinned form's answers to the library's commands and its state word.
#include <gtest/gtest.h>

#include <vector>

#include "FormTestSupport.h"
#include "MenuTestSupport.h"
#include "framework/ExtCtrls.h"
#include "skin/core/vkSkinCommands.h"

using namespace form_test;

namespace {

using TSkinned = TSkinnedForm;

// A control of the library's (it says it is skinned) that notes, for each dropped skin it hears of, whether its form
// had given the system look back by then.
class TDropListener : public TCustomControl {
public:
  explicit TDropListener(TComponent* AOwner) : TCustomControl(AOwner) {}
  std::vector<bool> AfterItsForm;
  void WndProc(TMessage& M) override {
    if (M.Msg == SM_VKCMD && SkinCommandCode(M.WParam) == VKCMD_QUERY_SKINNED) {
      M.Result = 1;
      return;
    }
    if (M.Msg == SM_VKCMD && SkinCommandCode(M.WParam) == VKCMD_SKIN_DROPPED)
      AfterItsForm.push_back((GetWindowLongA(Parent()->Handle(), GWL_STYLE) & WS_SYSMENU) != 0);
    TCustomControl::WndProc(M);
  }
};

}  // namespace

TEST(ProviderCommands, ScaleChangesTheAddedTitleAndTheHeader) {
  TSkinned S;
  S.P->AddedTitle()->Font()->SetHeight(-12);
  S.P->FormHeader()->SetAdditionalHeight(20);
  SkinCommand(S.F.get(), VKCMD_SET_SCALE, 150);
  EXPECT_EQ(S.P->AddedTitle()->Font()->Height(), -18);
  EXPECT_EQ(S.P->FormHeader()->AdditionalHeight(), 30);
  EXPECT_EQ(SkinCommand(S.F.get(), VKCMD_QUERY_SCALE), 150);
}

TEST(ProviderCommands, AnswersOfTheSkinnedForm) {
  TSkinned S;
  ASSERT_TRUE(S.P->SkinData()->IsSkinned());
  // frame width: half the difference of window and client widths, or the caller's default when they are equal
  ASSERT_EQ(S.F->Width() - S.F->ClientWidth(), 8);  // a sizing frame of 4 pixels a side
  EXPECT_EQ(SkinCommand(S.F.get(), VKCMD_QUERY_FRAME_WIDTH, 99), 4);
  Owned<TForm> Bare(NewForm(100, 60, bsNone));
  auto* B = Create<TsSkinProvider>(Bare.get());
  ASSERT_TRUE(B->SkinData()->IsSkinned());
  EXPECT_EQ(SkinCommand(Bare.get(), VKCMD_QUERY_FRAME_WIDTH, 99), 99);
  // opacity 255 on a window that is not layered leaves it so
  S.F->Show();
  SkinCommand(S.F.get(), VKCMD_SET_FRAME_OPACITY, 255);
  EXPECT_EQ(GetWindowLongA(S.F->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  // snapping suspended by the sizing-style command and read back
  SkinCommand(S.F.get(), VKCMD_SET_SIZING_STYLE, 1);
  EXPECT_EQ(SkinCommand(S.F.get(), VKCMD_40), 1);
  SkinCommand(S.F.get(), VKCMD_SET_SIZING_STYLE, 0);
  EXPECT_EQ(SkinCommand(S.F.get(), VKCMD_40), 0);
}

TEST(ProviderCommands, NoticesReachTheFormsOwnProcedureButTheMoveAnimationsStart) {
  std::vector<WORD> Reached;  // made before the form, which reports to it until it goes
  ManagerPtr M = CarriedManager();
  Owned<TForm> F(NewForm());
  // the form's own procedure answers every notice with 7
  F->WindowProc = [&, Own = F->WindowProc](TMessage& Msg) {
    if (Msg.Msg != SM_VKCMD) return Own(Msg);
    Reached.push_back(SkinCommandCode(Msg.WParam));
    Msg.Result = 7;
  };
  Create<TsSkinProvider>(F.get());
  struct Row {
    WORD Cmd;
    LRESULT Answer;
  };
  for (const Row& R : {Row{VKCMD_52, 0}, Row{VKCMD_4E, 7}, Row{VKCMD_4F, 7}}) {
    Reached.clear();
    EXPECT_EQ(SkinCommand(F.get(), R.Cmd, 1), R.Answer) << R.Cmd;
    EXPECT_EQ(Reached, R.Answer == 7 ? std::vector<WORD>{R.Cmd} : std::vector<WORD>{}) << R.Cmd;
  }
}

TEST(ProviderCommands, ASkinAppliedOrDroppedClearsThePopupBackgrounds) {
  menu_test::TMenuSkin S = menu_test::NewMenuSkin();
  Owned<TForm> F(NewForm());
  auto* P = Create<TsSkinProvider>(F.get());
  ASSERT_EQ(P->SkinData()->SkinManager(), S.Manager.get());
  Owned<TPopupMenu> Popup(menu_test::NewPopup({"Open"}));
  testing_support::BitmapPtr Canvas = testing_support::Bitmap32(140, 40, 0xFF000000);
  for (WORD Cmd : {VKCMD_SKIN_APPLIED, VKCMD_SKIN_DROPPED}) {
    S.Painter()->DrawPopupItem(Popup->Items()->Items(0), Canvas->Canvas(), TRect(0, 0, 140, 20), TOwnerDrawState{});
    ASSERT_FALSE(MenuBgCache().empty()) << Cmd;
    SkinCommand(F.get(), Cmd, reinterpret_cast<LPARAM>(S.Manager.get()));
    EXPECT_TRUE(MenuBgCache().empty()) << Cmd;
  }
}

TEST(ProviderCommands, StateSectionOfAnOlderSkinAndTheHeaderBand) {
  TSkinned S;
  TvkStateSectionRequest Req{RECT{0, 15, 10, 25}, 0, 0};
  EXPECT_EQ(SkinCommand(S.F.get(), VKCMD_QUERY_STATE_SECTION, reinterpret_cast<LPARAM>(&Req)), 1);
  EXPECT_EQ(Req.SectionIndex, S.P->SkinData()->SkinIndex);
  S.M->EditModel().SkinData.Version = 10.0;
  EXPECT_EQ(SkinCommand(S.F.get(), VKCMD_QUERY_STATE_SECTION, reinterpret_cast<LPARAM>(&Req)), -1);
  S.P->FormHeader()->SetAdditionalHeight(20);
  ASSERT_GE(S.P->HeaderSectionIndex(), 0);
  EXPECT_EQ(SkinCommand(S.F.get(), VKCMD_QUERY_STATE_SECTION, reinterpret_cast<LPARAM>(&Req)), 1);
  EXPECT_EQ(Req.SectionIndex, S.P->HeaderSectionIndex());
  EXPECT_TRUE(S.P->HeaderShown());
}

TEST(ProviderCommands, SkinDroppedGivesTheSystemLookBackAndThenTellsTheControlsOnce) {
  TSkinned S;
  auto* Control = new TDropListener(S.F.get());
  Control->SetParent(S.F.get());
  S.F->Show();
  const HWND W = S.F->Handle();
  S.F->Perform(WM_NCPAINT, 0, 0);
  EXPECT_EQ(GetWindowLongA(W, GWL_STYLE) & WS_SYSMENU, 0);
  S.M->SetActive(false);
  EXPECT_FALSE(S.P->SkinData()->IsSkinned());
  EXPECT_NE(GetWindowLongA(W, GWL_STYLE) & WS_SYSMENU, 0);
  EXPECT_EQ(GetClassLongPtrA(W, GCLP_HBRBACKGROUND), reinterpret_cast<LONG_PTR>(GetSysColorBrush(COLOR_BTNFACE)));
  EXPECT_FALSE(HasWindowRegion(W));
  EXPECT_EQ(Control->AfterItsForm, std::vector<bool>{true});
  S.M->SetActive(true);
  EXPECT_TRUE(S.P->SkinData()->IsSkinned());
  EXPECT_EQ(GetWindowLongA(W, GWL_STYLE) & WS_SYSMENU, 0);
}

TEST(ProviderState, MinimisingAndRestoringHoldTheAlignmentOnce) {
  TSkinned S;
  TPanel* Panel = new TPanel(S.F.get());
  Panel->SetParent(S.F.get());
  Panel->SetAlign(alTop);
  S.P->SetFormStateFlags(fsfMinimizing);
  S.P->SetFormStateFlags(fsfMinimizing | fsfHiding);  // the bit set again: no second hold
  S.F->SetBounds(40, 30, 400, 200);
  EXPECT_NE(Panel->Width(), S.F->ClientWidth());  // held
  S.P->SetFormStateFlags(fsfHiding);
  EXPECT_EQ(Panel->Width(), S.F->ClientWidth());  // released once: realigned
}
