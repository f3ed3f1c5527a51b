// The frame adapter: refused on anything but a frame, its background colour answer by the section's
// transparency, the frame's own look back when the skin goes (a quit waiting kept), the hover it takes
// from its children, its edge while its parent updates, and its printed face.
#include <windows.h>

#include <vector>

#include "AdapterTestSupport.h"
#include "framework/ExtCtrls.h"
#include "framework/FormsFrame.h"
#include "skin/adapters/sFrameAdapter.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/vkParentBg.h"
#include "tests/support/Dib32.h"

using namespace adapter_test;

namespace {

class Frames : public SkinnedAdapterTest {
protected:
  void SetUp() override {
    SkinnedAdapterTest::SetUp();
    // The frame adapter is looked at alone: the thread hook leaves this form unskinned.
    ShowForm(NoSkinTag);
    Frame = Place<TFrame>(Form, 10, 10, 200, 120);
  }
  // The frame's adapter over the PANEL section.
  TsFrameAdapter* PanelAdapter() {
    auto* A = Create<TsFrameAdapter>(Frame);
    A->SkinData()->SetSkinSection("PANEL");
    A->SkinData()->RefreshSectionIndex(true);
    return A;
  }
  LRESULT Command(WORD Cmd, LPARAM L = 0) {
    return SendMessageA(Frame->Handle(), SM_VKCMD, SkinCommandWParam(Cmd), L);
  }
  TFrame* Frame = nullptr;
};

TEST_F(Frames, OnlyAFrameTakesTheAdapter) {
  const int Before = Form->ComponentCount();
  try {
    Create<TsFrameAdapter>(Form);
    FAIL() << "no exception";
  } catch (const EInvalidOperation& E) {
    EXPECT_STREQ("TsFrameAdapter adapter must be placed on the handled frame", E.what());
  }
  EXPECT_EQ(Before, Form->ComponentCount());
}

TEST_F(Frames, BackgroundColourByTransparency) {
  auto* A = Create<TsFrameAdapter>(Frame);
  Form->SetColor(static_cast<TColor>(0xE0C0A0));  // the unskinned parent answers with its own colour
  // Opaque: the section's own colour (#FFFF00); half: each channel ((parent - own) * 50 + own * 256) >> 8 of
  // the section's #204060, so 0x39 0x59 0x79; clear: the parent's.
  struct Case {
    const char* Section;
    uint32_t Expected;
  } Cases[] = {{"PANEL", 0x00FFFF}, {"TRANSLUCENT", 0x795939}, {"TRANSPARENT", 0xE0C0A0}};
  for (const Case& C : Cases) {
    A->SkinData()->SetSkinSection(C.Section);
    A->SkinData()->RefreshSectionIndex(true);
    ASSERT_TRUE(A->SkinData()->IsSkinned()) << C.Section;
    EXPECT_EQ(C.Expected, static_cast<uint32_t>(Command(VKCMD_QUERY_BG_COLOR))) << C.Section;
  }
}

TEST_F(Frames, RemovingTheSkinGivesTheFrameItsOwnLookBack) {
  const TWndMethod Own = Frame->WindowProc;
  const TColor Colour = Frame->Color();
  auto* A = Create<TsFrameAdapter>(Frame);
  EXPECT_FALSE(Frame->WindowProc == Own);
  A->SkinData()->SetSkinSection("PANEL");
  Command(VKCMD_REPAINT_AFTER_CHANGE, reinterpret_cast<LPARAM>(M.get()));
  EXPECT_NE(nullptr, A->ScrollAdapter);
  EXPECT_EQ(reinterpret_cast<LONG>(M->PaletteBrush(0)), GetClassLongA(Frame->Handle(), GCL_HBRBACKGROUND));
  PostQuitMessage(7);  // a quit waiting stays for the program's own loop
  Command(VKCMD_SKIN_DROPPED, reinterpret_cast<LPARAM>(M.get()));
  MSG Msg;
  EXPECT_TRUE(PeekMessageA(&Msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && Msg.wParam == 7);
  EXPECT_EQ(nullptr, A->ScrollAdapter);
  EXPECT_EQ(reinterpret_cast<LONG>(GetSysColorBrush(COLOR_BTNFACE)), GetClassLongA(Frame->Handle(), GCL_HBRBACKGROUND));
  EXPECT_EQ(Colour, Frame->Color());
  A->Free();
  EXPECT_TRUE(Frame->WindowProc == Own);
}

TEST_F(Frames, PaintsItsSectionAroundItsChildren) {
  auto* A = PanelAdapter();
  Place<TPanel>(Frame, 20, 20, 40, 40);  // an opaque child
  testing_support::Dib32 D(200, 120, 0x00123456, true);
  A->SkinData()->CacheDirty = true;
  A->PaintFrame(D.DC());
  EXPECT_EQ(0xFFFF00u, Rgb(D.Px(5, 5)));
  EXPECT_EQ(0x123456u, Rgb(D.Px(30, 30)));  // the child's place is left to the child
}

TEST_F(Frames, TheMouseOnTheFrameTakesTheHoverFromItsAdaptedChildren) {
  PanelAdapter();
  // two children: one answering as skinned, one plain; each notes the mouse leaving it (kept past the test: the
  // children go with the form after it)
  static std::vector<int> Left;
  Left.assign(2, 0);
  for (int I = 0; I < 2; ++I) {
    auto* Kid = Place<TPanel>(Frame, 10 + 60 * I, 10, 40, 40);
    const bool Skinned = I == 0;
    Kid->WindowProc = [I, Skinned, Own = Kid->WindowProc](TMessage& Msg) {
      if (Msg.Msg == SM_VKCMD && SkinCommandCode(Msg.WParam) == VKCMD_QUERY_SKINNED) {
        Msg.Result = Skinned ? 1 : 0;
        return;
      }
      if (Msg.Msg == SM_VKCMD && SkinCommandCode(Msg.WParam) == VKCMD_MOUSE_LEFT) ++Left[I];
      Own(Msg);
    };
    Kid->HandleNeeded();
  }
  M->ChangeHotWindow(Form->Handle());
  Left = {0, 0};
  Frame->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(Left, (std::vector<int>{1, 0}));
  EXPECT_EQ(M->HotWindow(), Frame->Handle());
}

TEST_F(Frames, TheSystemPaintsTheFramesEdgeWhileItsParentIsUpdating) {
  // kept past the test: the form and the frame go after it
  static bool Updating;
  static int Reached;
  Updating = false;
  Form->WindowProc = [Own = Form->WindowProc](TMessage& Msg) {
    if (Msg.Msg == SM_VKCMD && SkinCommandCode(Msg.WParam) == VKCMD_QUERY_UPDATE_STATE) {
      Msg.Result = Updating ? 1 : 0;
      return;
    }
    Own(Msg);
  };
  Frame->WindowProc = [Own = Frame->WindowProc](TMessage& Msg) {
    if (Msg.Msg == WM_NCPAINT) ++Reached;
    Own(Msg);
  };
  PanelAdapter();
  for (bool U : {false, true}) {
    Updating = U;
    Reached = 0;
    Frame->Perform(WM_NCPAINT, 1, 0);
    EXPECT_EQ(Reached, U ? 1 : 0) << U;
  }
}

TEST_F(Frames, APrintedFrameShowsItsFaceOnlyOverABackgroundAndNotDuringASkinChange) {
  // the parent has a background to give, has nothing now, or the skin is changing
  enum TCase { cReady, cNothing, cChanging };
  static bool Nothing;  // kept past the test: the form goes after it
  Form->WindowProc = [Own = Form->WindowProc](TMessage& Msg) {
    if (Nothing && Msg.Msg == SM_VKCMD && SkinCommandCode(Msg.WParam) == VKCMD_QUERY_PARENT_BG) {
      reinterpret_cast<TvkParentBgQuery*>(Msg.LParam)->Kind = bgkNotReady;
      Msg.Result = 1;
      return;
    }
    Own(Msg);
  };
  for (TCase C : {cReady, cNothing, cChanging}) {
    Nothing = C == cNothing;
    auto* A = PanelAdapter();
    if (C == cChanging) M->BeginUpdate();
    testing_support::Dib32 D(200, 120, 0x00123456, true);
    Frame->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(D.DC()), PRF_CLIENT);
    if (C == cChanging) M->EndUpdate(false, false);
    EXPECT_EQ(Rgb(D.Px(5, 5)), C == cReady ? 0xFFFF00u : 0x123456u) << C;
    A->Free();
  }
}

TEST_F(Frames, TheParentsUpdateEndLeavesALockedFrameUpdating) {
  auto* A = PanelAdapter();
  A->SkinData()->LockUpdates();
  TMessage Done{SM_VKCMD, SkinCommandWParam(VKCMD_PARENT_UPDATE_DONE), 0, 0};
  A->NewWndProc(Done);
  EXPECT_TRUE(A->SkinData()->Updating);
  A->SkinData()->UnlockUpdates(false);
}

}  // namespace
