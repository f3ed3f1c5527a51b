// The frame adapter: refused on anything but a frame, its background colour answer by the section's
// transparency, and the frame's own look back when the skin goes.
#include <windows.h>

#include "AdapterTestSupport.h"
#include "framework/ExtCtrls.h"
#include "framework/FormsFrame.h"
#include "skin/adapters/sFrameAdapter.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkSkinCommands.h"

using namespace adapter_test;

namespace {

class Frames : public SkinnedAdapterTest {
protected:
  void SetUp() override {
    SkinnedAdapterTest::SetUp();
    // The frame adapter is looked at alone: the thread hook leaves this form unskinned.
    ShowForm(NoSkinTag);
    Frame = new TFrame(Form);
    Frame->SetParent(Form);
    Frame->SetBounds(10, 10, 200, 120);
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
  Command(VKCMD_SKIN_DROPPED, reinterpret_cast<LPARAM>(M.get()));
  EXPECT_EQ(nullptr, A->ScrollAdapter);
  EXPECT_EQ(reinterpret_cast<LONG>(GetSysColorBrush(COLOR_BTNFACE)), GetClassLongA(Frame->Handle(), GCL_HBRBACKGROUND));
  EXPECT_EQ(Colour, Frame->Color());
  A->Free();
  EXPECT_TRUE(Frame->WindowProc == Own);
}

TEST_F(Frames, PaintsItsSectionAroundItsChildren) {
  auto* A = Create<TsFrameAdapter>(Frame);
  A->SkinData()->SetSkinSection("PANEL");
  A->SkinData()->RefreshSectionIndex(true);
  auto* Child = new TPanel(Form);  // an opaque child
  Child->SetParent(Frame);
  Child->SetBounds(20, 20, 40, 40);
  testing_support::Dib32 D(200, 120, 0x00123456, true);
  A->SkinData()->CacheDirty = true;
  A->PaintFrame(D.DC());
  EXPECT_EQ(0xFFFF00u, Rgb(D.Px(5, 5)));
  EXPECT_EQ(0x123456u, Rgb(D.Px(30, 30)));  // the child's place is left to the child
}

}  // namespace
