// Speed buttons painted by their handler: pressed look and content shift while down, glyph layouts, the hot flag
// before the button's own handling, and the button's window method back when the handler goes; the form's walker
// making and dropping the handlers.
#include <windows.h>

#include "AdapterTestSupport.h"
#include "framework/Buttons.h"
#include "framework/ExtCtrls.h"
#include "skin/adapters/vkCtrlAdapter.h"
#include "skin/adapters/vkSpeedButtonHandler.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/forms/sSkinProvider.h"
#include "tests/support/MessagePump.h"

using namespace adapter_test;

namespace {

constexpr uint32_t kFace = 0xF0F000, kFaceDown = 0xF0F080, kGlyph = 0xFF0000;

class SpeedButtons : public WithManager<AdapterTest> {
protected:
  void SetUp() override {
    WithManager::SetUp();
    Form = NewForm(40, 40, 300, 120);
    Btn = Place<TSpeedButton>(Form, 10, 10, 80, 30);
    Data = new TsCommonData(Btn, true);
    Data->OwnerControl = Btn;
    H = new TvkSpeedButtonHandler;
    H->Create(Btn, "SPEEDBUTTON", M.get(), Data);
  }
  void TearDown() override {
    if (H != nullptr) H->Free();
    delete Data;
    Form->Free();
    WithManager::TearDown();
  }
  std::unique_ptr<testing_support::Dib32> Paint() {
    auto D = std::make_unique<testing_support::Dib32>(80, 30, 0x00123456, true);
    TMessage Msg{WM_PAINT, reinterpret_cast<WPARAM>(D->DC()), 0, 0};
    Btn->WindowProc(Msg);
    return D;
  }
  // An 8 x 8 red glyph and the caption "Go".
  void GiveGlyphAndCaption() {
    TBitmap Glyph;
    Glyph.SetPixelFormat(pf24bit);
    Glyph.SetSize(8, 8);
    Glyph.Canvas()->Brush()->SetColor(clRed);
    Glyph.Canvas()->FillRect(TRect(0, 0, 8, 8));
    // The bottom-left pixel names the glyph's transparent colour.
    Glyph.Canvas()->Brush()->SetColor(clWhite);
    Glyph.Canvas()->FillRect(TRect(0, 7, 1, 8));
    Btn->SetGlyph(&Glyph);
    Btn->SetCaption("Go");
  }
  // Leftmost column holding the glyph colour (-1 for none).
  static int GlyphLeft(testing_support::Dib32& D) {
    const TInk I = InkBounds(D, [](uint32_t P) { return P == kGlyph; });
    return I.Right < 0 ? -1 : I.Left;
  }
  TForm* Form = nullptr;
  TSpeedButton* Btn = nullptr;
  TsCommonData* Data = nullptr;
  TvkSpeedButtonHandler* H = nullptr;
};

TEST_F(SpeedButtons, DownPaintsPressedAndShiftsTheContent) {
  GiveGlyphAndCaption();
  Btn->SetMargin(4);
  auto D = Paint();
  EXPECT_EQ(kFace, Rgb(D->Px(70, 15)));
  EXPECT_EQ(4, GlyphLeft(*D));
  Btn->SetGroupIndex(1);
  Btn->SetDown(true);
  D = Paint();
  EXPECT_EQ(kFaceDown, Rgb(D->Px(70, 15)));
  EXPECT_EQ(5, GlyphLeft(*D));  // one pixel right (and down) while down
  M->ButtonsOptions()->SetShiftContentOnClick(false);
  EXPECT_EQ(4, GlyphLeft(*Paint()));
}

TEST_F(SpeedButtons, GlyphLayoutsAroundTheCaption) {
  GiveGlyphAndCaption();
  Btn->SetMargin(3);
  struct Case {
    TButtonLayout Layout;
    int X, Y;  // where the glyph's top-left must be
  } Cases[] = {{blGlyphLeft, 3, 11}, {blGlyphRight, 80 - 3 - 8, 11}, {blGlyphTop, 36, 3}, {blGlyphBottom, 36, 30 - 3 - 8}};
  for (const Case& C : Cases) {
    Btn->SetLayout(C.Layout);
    auto D = Paint();
    EXPECT_EQ(kGlyph, Rgb(D->Px(C.X + 1, C.Y))) << C.Layout;
    EXPECT_EQ(kGlyph, Rgb(D->Px(C.X + 7, C.Y + 7))) << C.Layout;
  }
}

TEST_F(SpeedButtons, SpacingCentringAndTheDisabledGlyph) {
  GiveGlyphAndCaption();
  // Leftmost caption column: neither face nor glyph, right of the glyph (the picture's width for none).
  auto TextLeft = [](testing_support::Dib32& D, int From) {
    return InkBounds(D, [](uint32_t C) { return C != kFace && C != kGlyph; }, TRect(From, 5, 75, 25)).Left;
  };
  Btn->SetMargin(3);
  Btn->SetSpacing(4);
  auto D = Paint();
  const int Near = TextLeft(*D, 3 + 8);
  ASSERT_GE(Near, 3 + 8 + 4);
  Btn->SetSpacing(10);
  EXPECT_EQ(Near + 6, TextLeft(*Paint(), 3 + 8));

  // Margin -1 centres glyph, spacing and caption together: wider spacing moves the glyph half as far left.
  Btn->SetMargin(-1);
  Btn->SetSpacing(4);
  const int Centred = GlyphLeft(*Paint());
  Btn->SetSpacing(10);
  EXPECT_EQ(Centred - 3, GlyphLeft(*Paint()));
  Btn->SetLayout(blGlyphRight);
  EXPECT_EQ(80 - 8 - (Centred - 3), GlyphLeft(*Paint()));

  // Disabled: the glyph is drawn in its disabled look, not in its own colour, and still shows.
  Btn->SetLayout(blGlyphLeft);
  Btn->SetMargin(3);
  Btn->SetEnabled(false);
  D = Paint();
  EXPECT_EQ(-1, GlyphLeft(*D));
  EXPECT_NE(Rgb(D->Px(70, 15)), Rgb(D->Px(3 + 4, 15)));
}

TEST_F(SpeedButtons, HoverAndTheMethodBack) {
  int Entered = 0;
  const TWndMethod Before = H->OldWndProc;
  H->OldWndProc = [&](TMessage& M) {
    if (M.Msg == CM_MOUSEENTER) {
      EXPECT_TRUE(Data->Hot);  // the flag changed before the button's own handling
      ++Entered;
    }
    Before(M);
  };
  Btn->Perform(CM_MOUSEENTER);
  EXPECT_EQ(1, Entered);
  Btn->Perform(CM_MOUSELEAVE);
  EXPECT_FALSE(Data->Hot);
  H->OldWndProc = Before;
  H->Free();
  H = nullptr;
  EXPECT_FALSE(Btn->WindowProc.Data() != Btn);
}

// ---- through the form's walker ----

class SpeedButtonsOnAForm : public WithManager<AdapterTest> {
protected:
  void TearDown() override {
    if (Form != nullptr) Form->Free();
    WithManager::TearDown();
  }
  TSpeedButton* Add(TWinControl* Parent, int Tag = 0) {
    auto* B = Place<TSpeedButton>(Parent, 4, 4 + 32 * (Parent->ControlCount() + 1), 80, 30);
    B->SetTag(Tag);
    return B;
  }
  static bool Skinned(TControl* C) {
    return C->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_SKINNED), 0) == 1;
  }
  TForm* Form = nullptr;
};

TEST_F(SpeedButtonsOnAForm, ListedButtonsGetOneHandlerEachAndLoseItWithTheSkin) {
  Form = NewForm(30, 30, 320, 240, NoSkinTag, false);  // the thread hook leaves the form to its own skinner
  auto* Panel = Place<TPanel>(Form, 120, 10, 180, 200);
  TSpeedButton* Plain = Add(Form);
  TSpeedButton* Marked = Add(Form, NoSkinTag);
  TSpeedButton* Refused = Add(Form, 7);
  TSpeedButton* Flat = Add(Panel);
  Flat->SetFlat(true);
  TSpeedButton* Freed = Add(Panel);
  Form->Show();
  auto* P = Create<TsSkinProvider>(Form);
  P->OnSkinItem = [](TComponent* Item, bool& CanBeAdded, std::string&) { CanBeAdded = Item->Tag() != 7; };
  ListOnly(P, {{17, "TSpeedButton"}});
  // the skinner makes its walker at the form's first paint or activation
  testing_support::PumpUntil([&] { return P->CtrlAdapter() != nullptr; }, 2000);
  TvkCtrlAdapter* A = P->CtrlAdapter();
  ASSERT_NE(A, nullptr);
  A->WalkControlsOf(nullptr);
  A->WalkControlsOf(nullptr);  // a second walk adds nothing
  ASSERT_EQ(A->GraphItems.size(), 3u);
  std::vector<std::string> Sections;
  for (TSpeedButton* B : {Plain, Flat, Freed}) {
    TvkGraphItem* Item = nullptr;
    for (TvkGraphItem* G : A->GraphItems) Item = G->Control == B ? G : Item;
    ASSERT_NE(Item, nullptr);
    ASSERT_NE(Item->Handler, nullptr);
    EXPECT_EQ(Item->SkinData->CtrlType, 230);
    Sections.push_back(Item->SkinData->SkinSection());
    EXPECT_TRUE(Skinned(B));
  }
  EXPECT_EQ(Sections, (std::vector<std::string>{"SPEEDBUTTON", "SPEEDBUTTON_SMALL", "SPEEDBUTTON"}));
  EXPECT_FALSE(Skinned(Marked));
  EXPECT_FALSE(Skinned(Refused));

  // The form repaints with its handlers in place and settles.
  RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  // (another test program's window passing over the form on the shared display may invalidate it once more)
  EXPECT_TRUE(testing_support::PumpUntilValidated(Form->Handle(), 2000));
  testing_support::Dib32 D(80, 30, 0, true);
  TMessage Msg{WM_PAINT, reinterpret_cast<WPARAM>(D.DC()), 0, 0};
  Plain->WindowProc(Msg);
  EXPECT_EQ(kFace, Rgb(D.Px(70, 15)));

  // The manager's commands reach the handlers and leave nothing to repaint over and over.
  for (WORD Cmd : {VKCMD_SKIN_APPLIED, VKCMD_REPAINT_AFTER_CHANGE, VKCMD_PARENT_UPDATE_DONE, VKCMD_REPAINT})
    Plain->Perform(SM_VKCMD, SkinCommandWParam(Cmd), reinterpret_cast<LPARAM>(M.get()));
  EXPECT_TRUE(testing_support::PumpUntilValidated(Form->Handle(), 2000));
  EXPECT_TRUE(Skinned(Plain));

  // A freed button's item goes at the next walk.
  Freed->Free();
  A->WalkControlsOf(nullptr);
  EXPECT_EQ(A->GraphItems.size(), 2u);

  // The skin goes: the buttons get their own methods back; applied again, the walk makes new handlers.
  M->SetActive(false);
  EXPECT_EQ(P->CtrlAdapter(), nullptr);
  EXPECT_FALSE(Skinned(Plain));
  EXPECT_FALSE(Skinned(Flat));
  EXPECT_EQ(Plain->WindowProc.Data(), Plain);
  M->SetActive(true);
  ASSERT_NE(P->CtrlAdapter(), nullptr);
  P->CtrlAdapter()->WalkControlsOf(nullptr);
  EXPECT_TRUE(Skinned(Plain));
  EXPECT_EQ(P->CtrlAdapter()->GraphItems.size(), 2u);
}

}  // namespace
