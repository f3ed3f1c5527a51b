// The framework's tool bar painted through its own custom-draw events while skinned: button states, the
// drop-down arrow part, captions, hover repaints, and the bar's own handlers back when the skin goes.
#include <windows.h>
#include <commctrl.h>

#include "AdapterTestSupport.h"
#include "framework/ComCtrlsToolBar.h"
#include "framework/ImgList.h"
#include "skin/adapters/vkToolBarVCLWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkSkinCommands.h"

using namespace adapter_test;

namespace {

constexpr uint32_t kTool = 0xF00001, kToolHot = 0xF04001, kToolDown = 0xF08001, kToolText = 0x000002;

// Records which buttons the adapter repaints.
class TRecordingToolBarAdapter : public TvkToolBarVCLWnd {
  DECLARE_CLASS(TRecordingToolBarAdapter, TvkToolBarVCLWnd)
public:
  void RepaintButton(int Index) override {
    if (Index >= 0) Repainted.push_back(Index);
    TvkToolBarVCLWnd::RepaintButton(Index);
  }
  std::vector<int> Repainted;
};
IMPLEMENT_CLASS(TRecordingToolBarAdapter)

class ToolBars : public OwnAdapterTest<TvkToolBarVCLWnd> {
protected:
  void SetUp() override {
    OwnAdapterTest::SetUp();
    Form = NewForm(40, 40, 400, 120, 0, false);
    Bar = Place<TToolBar>(Form, 0, 0, 380, 40);
    Bar->SetShowCaptions(true);
    Bar->AddButton("Open");
    Bar->AddButton("Keep", tbsCheck);
    Bar->AddButton("", tbsSeparator);
    Bar->AddButton("More", tbsDropDown);
    Bar->AddButton("Off");
    Form->Show();
    Bar->Buttons(4)->SetEnabled(false);
  }
  template <class T = TvkToolBarVCLWnd>
  T* Adapt() {
    auto* R = CreateAdapter<T>(Bar->Handle(), nullptr, M.get(), SkinParams("", Bar), false);
    A = R;
    return R;
  }
  // The button's rectangle in the bar's client area, or (InWindow) in its printed window.
  TRect Item(int I, bool InWindow = false) {
    RECT R{};
    SendMessageA(Bar->Handle(), TB_GETITEMRECT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&R));
    if (InWindow) OffsetRect(&R, A->ClientInWindow().Left, A->ClientInWindow().Top);
    return TRect(R);
  }
  std::unique_ptr<testing_support::Dib32> Print() { return PrintedWindow(Bar->Handle(), 0x00123456); }
  // An image list of the form holding one 16 x 16 cell of the colour (its top-left pixel Key when given).
  TImageList* OneCellList(TColor Colour, TColor Key = clNone) {
    auto* Images = new TImageList(Form);
    TBitmap Cell;
    Cell.SetPixelFormat(pf24bit);
    Cell.SetSize(16, 16);
    Cell.Canvas()->Brush()->SetColor(Colour);
    Cell.Canvas()->FillRect(TRect(0, 0, 16, 16));
    if (Key != clNone) Cell.Canvas()->SetPixels(0, 0, Key);
    Images->Add(&Cell, nullptr);
    return Images;
  }
  TToolBar* Bar = nullptr;
};

TEST_F(ToolBars, ButtonsInTheirStatesWithTheArrowPartAndCaptions) {
  Adapt();
  EXPECT_EQ("TOOLBAR", A->SkinData->SkinSection());
  Bar->Buttons(1)->SetDown(true);
  A->HotIndex = 0;
  auto D = Print();
  auto At = [&](int I, int DX, int DY) { return Rgb(D->Px(Item(I, true).Left + DX, Item(I, true).Top + DY)); };
  EXPECT_EQ(kToolHot, At(0, 1, 1));
  EXPECT_EQ(kToolDown, At(1, 1, 1));
  EXPECT_EQ(kTool, At(3, 1, 1));
  // The caption in the section's text colour somewhere inside the first button.
  EXPECT_GT(CountRgb(*D, kToolText, Item(0, true)), 5);
  // The drop-down's arrow lies in its right SM_CXVSCROLL - 2 columns.
  TRect Arrow = Item(3, true);
  Arrow.Left = Arrow.Right - (GetSystemMetrics(SM_CXVSCROLL) - 2);
  EXPECT_GE(CountRgb(*D, kToolText, Arrow), 12);  // a 7 x 4 triangle
  // The disabled button is blended toward what lies behind it.
  const uint32_t Off = At(4, 1, 1);
  EXPECT_NE(kTool, Off);
  EXPECT_NE(0u, Off);
}

TEST_F(ToolBars, ImagesOverCaptionsSeparatorsAndADisabledImage) {
  constexpr uint32_t kImage = 0x00FF00;
  Bar->SetImages(OneCellList(clLime));
  for (int I : {0, 4}) Bar->Buttons(I)->SetImageIndex(0);
  Adapt();
  auto D = Print();
  auto IsImage = [&](uint32_t P) { return P == kImage; };
  auto IsText = [&](uint32_t P) { return P == kToolText; };
  EXPECT_EQ(16 * 16, CountWhere(*D, IsImage, Item(0, true)));
  EXPECT_GT(CountWhere(*D, IsText, Item(0, true)), 5);
  EXPECT_GE(InkBounds(*D, IsText, Item(0, true)).Top, InkBounds(*D, IsImage, Item(0, true)).Top + 16)
      << "the caption goes under the image";
  // A separator shows the bar, never a button face; a disabled button's image is blended away.
  EXPECT_EQ(0, CountWhere(*D, [](uint32_t P) { return P == kTool || P == kToolHot || P == kToolDown; }, Item(2, true)));
  EXPECT_EQ(0, CountWhere(*D, IsImage, Item(4, true)));
}

// The glyph comes from the glyph painter: the hot list for the hot button, the skin's discoloured look for a
// button at rest, the list layout's place 5 pixels in.
TEST_F(ToolBars, GlyphsByStateFromTheBarsListsAndTheSkinsLook) {
  // a key-coloured top-left pixel: the colour a greyed glyph keeps
  Bar->SetImages(OneCellList(clLime, clFuchsia));
  Bar->SetHotImages(OneCellList(clRed, clFuchsia));
  for (int I : {0, 1}) Bar->Buttons(I)->SetImageIndex(0);
  struct Case {
    bool Discoloured, List;
  };
  for (const Case& C : {Case{false, false}, Case{true, false}, Case{false, true}}) {
    M->Effects()->SetDiscoloredGlyphs(C.Discoloured);
    if (A != nullptr) A->Free();
    Bar->SetList(C.List);  // a new window, which gets its own adapter
    Adapt();
    A->HotIndex = 0;
    auto D = Print();
    EXPECT_EQ(16 * 16 - 1, CountRgb(*D, 0xFF0000, Item(0, true))) << C.Discoloured << C.List;  // hot: the hot list
    EXPECT_EQ(C.Discoloured ? 0 : 16 * 16 - 1, CountRgb(*D, 0x00FF00, Item(1, true))) << C.Discoloured << C.List;
    if (C.List) {  // the list layout's place
      EXPECT_EQ(InkBounds(*D, [](uint32_t P) { return P == 0x00FF00; }, Item(1, true)).Left - Item(1, true).Left, 5);
    }
  }
}

TEST_F(ToolBars, HoverRepaintsExactlyTheTwoButtonsAndNeverADownOne) {
  auto* R = Adapt<TRecordingToolBarAdapter>();
  auto Move = [&](int I) {
    const TRect It = Item(I);
    R->Repainted.clear();
    A->PerformMessage(WM_MOUSEMOVE, 0, MAKELPARAM(It.Left + 3, It.Top + 3));
    return R->Repainted;
  };
  EXPECT_EQ((std::vector<int>{0}), Move(0));
  EXPECT_EQ((std::vector<int>{0, 3}), Move(3));
  EXPECT_EQ(3, A->HotIndex);
  EXPECT_TRUE(Move(2).size() == 1 && A->HotIndex == -1);  // a separator is no button
  EXPECT_TRUE(Move(4).empty());                          // a disabled button never becomes hot
  Bar->Buttons(1)->SetDown(true);
  EXPECT_TRUE(Move(1).empty());                          // a down button is not repainted ...
  EXPECT_EQ((std::vector<int>{0}), Move(0));             // ... neither when the hover leaves it
  R->Repainted.clear();
  A->PerformMessage(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ((std::vector<int>{0}), R->Repainted);
  EXPECT_EQ(-1, A->HotIndex);
  // A button the window has beyond the control's own list is hovered like any other.
  TBBUTTON Extra{I_IMAGENONE, 99, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, -1};
  SendMessageA(Bar->Handle(), TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&Extra));
  EXPECT_EQ((std::vector<int>{5}), Move(5));
  EXPECT_EQ(5, A->HotIndex);
}

TEST_F(ToolBars, TheBarsOwnHandlersComeBackWhenTheSkinGoes) {
  int OwnBar = 0, OwnButton = 0;
  Bar->OnAdvancedCustomDraw = [&](TToolBar*, const TRect&, TCustomDrawStage, bool&) { ++OwnBar; };
  Bar->OnAdvancedCustomDrawButton = [&](TToolBar*, TToolButton*, TCustomDrawState, TCustomDrawStage,
                                        TTBCustomDrawFlags&, bool&) { ++OwnButton; };
  Adapt();
  Print();
  EXPECT_EQ(0, OwnBar + OwnButton);  // taken over while skinned
  SendMessageA(Bar->Handle(), SM_VKCMD, SkinCommandWParam(VKCMD_SKIN_DROPPED), reinterpret_cast<LPARAM>(M.get()));
  RedrawWindow(Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GT(OwnBar, 0);
  EXPECT_GT(OwnButton, 0);
  // A new skin takes them again; freeing the adapter gives them back once more.
  SendMessageA(Bar->Handle(), SM_VKCMD, SkinCommandWParam(VKCMD_SKIN_APPLIED), reinterpret_cast<LPARAM>(M.get()));
  EXPECT_EQ(A, Bar->OnAdvancedCustomDraw.Data());
  A->Free();
  A = nullptr;
  OwnBar = 0;
  RedrawWindow(Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GT(OwnBar, 0);
}

// The button whose drop-down is open is repainted where it stands when the menu closes: a click in its own menu
// may have moved it (another button freed) or freed it, which the adapter hears.
TEST_F(ToolBars, DropDownButtonIsFollowedUntilTheMenuClosesOrItIsFreed) {
  struct Case {
    const char* What;
    int Freed;     // the button freed while the menu is open (-1: none)
    int Repaint;   // the index repainted on close (-1: none)
  } Cases[] = {{"left in place", -1, 3}, {"moved by an earlier button freed", 1, 2}, {"freed itself", 3, -1}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    while (Bar->ButtonCount() > 0) Bar->Buttons(0)->Free();
    for (const char* Caption : {"Open", "Keep", "Gap", "More", "Off"}) Bar->AddButton(Caption);
    auto* R = Adapt<TRecordingToolBarAdapter>();
    NMTOOLBARA N{};
    N.hdr.hwndFrom = Bar->Handle();
    N.hdr.code = static_cast<UINT>(TBN_DROPDOWN);
    TBBUTTON More{};
    SendMessageA(Bar->Handle(), TB_GETBUTTON, 3, reinterpret_cast<LPARAM>(&More));
    N.iItem = More.idCommand;
    SendMessageA(Form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&N));
    TToolButton* Dropped = Bar->Buttons(3);
    EXPECT_EQ(Dropped, A->DropDownButton());
    if (C.Freed >= 0) Bar->Buttons(C.Freed)->Free();
    EXPECT_EQ(C.Freed == 3 ? nullptr : Dropped, A->DropDownButton()) << "no freed button is kept";
    A->HotIndex = 3;
    R->Repainted.clear();
    A->PerformMessage(CN_DROPDOWNCLOSED, 0, 0);
    EXPECT_EQ(C.Repaint < 0 ? std::vector<int>{} : std::vector<int>{C.Repaint}, R->Repainted);
    EXPECT_EQ(-1, A->HotIndex);
    R->Repainted.clear();
    A->PerformMessage(CN_DROPDOWNCLOSED, 0, 0);
    EXPECT_TRUE(R->Repainted.empty()) << "a second notice finds no open drop-down";
    A->Free();
    A = nullptr;
  }
}

}  // namespace
