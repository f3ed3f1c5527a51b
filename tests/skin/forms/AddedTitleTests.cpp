// The added caption text (which changes repaint the frame, and when its font is worth storing), the parts a
// provider reads from its description, and the user title buttons' names, repaints and fades.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "FormTestSupport.h"
#include "framework/FormReader.h"
#include "framework/TypInfo.h"
#include "skin/forms/vkSBAnimation.h"
#include "skin/forms/vkTitleBar.h"
#include "skin/graphics/vkBitmap32.h"
#include "tests/support/MessagePump.h"

using namespace form_test;

namespace {

// A pixel of the caption overwritten in the cache: a repaint of the frame puts the skin's colour back.
struct TMarked : TSkinnedForm {
  TMarked() { ShowPainted(); }
  void Mark() { SetPixel(P->FrameCache()->Canvas()->Handle(), 150, 12, RGB(1, 2, 3)); }
  bool Repainted() { return CacheRgb(P->FrameCache(), 150, 12) != 0x010203; }
};

}  // namespace

TEST(AddedTitle, OnlyChangesRepaintAndNoneWhileLoading) {
  TMarked T;
  TvkAddedTitle* A = T.P->AddedTitle();
  T.Mark();
  A->SetText("Port");
  EXPECT_TRUE(T.Repainted());
  T.Mark();
  A->SetText("Port");
  A->SetShowMainCaption(true);
  EXPECT_FALSE(T.Repainted());
  A->SetShowMainCaption(false);
  EXPECT_TRUE(T.Repainted());

  TsSkinProviderAccess::SetLoading(T.P, true);
  T.Mark();
  A->SetText("COM3");
  A->SetShowMainCaption(true);
  EXPECT_FALSE(T.Repainted());
  TsSkinProviderAccess::SetLoading(T.P, false);
}

TEST(AddedTitle, FontStoredOnlyWhenItsLookChanges) {
  TvkAddedTitle A(nullptr);
  const TPropInfo* Font = GetPropInfo(&A, "Font");
  ASSERT_NE(Font, nullptr);
  ASSERT_TRUE(Font->stored);
  EXPECT_FALSE(Font->stored(&A));
  A.Font()->SetColor(clRed);
  EXPECT_FALSE(Font->stored(&A));
  A.Font()->SetSize(A.Font()->Size() + 2);
  EXPECT_TRUE(Font->stored(&A));
}

TEST(AddedTitle, AProviderReadFromItsDescriptionTakesEveryPublishedPart) {
  ManagerPtr M = CarriedManager();
  Owned<TForm> F(NewForm());
  ReadComponentFromText("object F: TForm\n"
                        "  object Bar: TsTitleBar\n  end\n"
                        "  object Skinner: TsSkinProvider\n"
                        "    AddedTitle.Text = 'Port'\n"
                        "    AddedTitle.Font.Height = -20\n"
                        "    CaptionAlignment = taCenter\n"
                        "    DisabledBlendValue = 100\n"
                        "    DisabledBlendColor = clRed\n"
                        "    GripMode = gmRightBottom\n"
                        "    ResizeMode = rmBorder\n"
                        "    TitleBar = Bar\n"
                        "    SysSubMenu.Caption = 'Extra'\n"
                        "    SysSubMenu.Position = ipTop\n"
                        "    TitleIcon.Width = 20\n"
                        "    FormHeader.AdditionalHeight = 4\n"
                        "    GluedForms.Strings = ('Other')\n"
                        "    SkinData.SkinSection = 'DIALOG'\n"
                        "  end\n"
                        "end\n",
                        F.get());
  auto* P = As<TsSkinProvider>(F->FindComponent("Skinner"));
  ASSERT_NE(P, nullptr);
  EXPECT_EQ(P->AddedTitle()->Text(), "Port");
  EXPECT_EQ(P->AddedTitle()->Font()->Height(), -20);
  EXPECT_EQ(P->CaptionAlignment(), taCenter);
  EXPECT_EQ(P->DisabledBlendValue(), 100);
  EXPECT_EQ(P->DisabledBlendColor(), clRed);
  EXPECT_EQ(P->GripMode(), gmRightBottom);
  EXPECT_EQ(P->ResizeMode(), rmStandard);  // sizing stays live whatever is stored
  EXPECT_EQ(P->TitleBar(), F->FindComponent("Bar"));
  EXPECT_EQ(P->SysSubMenu()->Caption(), "Extra");
  EXPECT_EQ(P->SysSubMenu()->Position(), ipTop);
  EXPECT_EQ(P->TitleIcon()->Width(), 20);
  EXPECT_EQ(P->FormHeader()->AdditionalHeight(), 4);
  EXPECT_EQ(P->GluedForms()->Text(), "Other\r\n");
  EXPECT_EQ(P->SkinData()->SkinSection(), "DIALOG");
  for (const char* Event : {"OnAfterAnimation", "OnExtHitTest", "OnSkinItem", "OnSkinItemEx"}) {
    const TPropInfo* E = GetPropInfo(P, Event);
    ASSERT_NE(E, nullptr) << Event;
    EXPECT_EQ(E->kind, TPropKind::Method) << Event;
  }
  for (const char* Owned : {"ThirdParty", "TitleButtons"}) EXPECT_NE(GetPropInfo(P, Owned), nullptr) << Owned;
  // the icon's and a title button's glyphs are stored with the form
  EXPECT_NE(GetPropInfo(P->TitleIcon(), "Glyph"), nullptr);
  EXPECT_NE(GetPropInfo(P->TitleButtons()->Add(), "Glyph"), nullptr);
}

TEST(TitleButtons, NamesRepaintsAndTheFadeOfANewGlyph) {
  TSkinnedForm Skinned;
  auto& [M, F, P] = Skinned;
  F->Show();
  auto* B = static_cast<TsTitleButton*>(P->TitleButtons()->Add());
  EXPECT_EQ(B->Name(), "TsTitleButton");
  // a repaint rebuilds the frame: none for a value that stays, or while the provider is being loaded
  struct Row {
    const char* What;
    std::function<void()> Change;
    bool Repaints;
  };
  for (const Row& R : {Row{"button shown again", [&] { B->SetVisible(true); }, false},
                       Row{"button hidden", [&] { B->SetVisible(false); }, true},
                       Row{"icon hidden while loading",
                           [&] {
                             TsSkinProviderAccess::SetLoading(P, true);
                             P->TitleIcon()->SetVisible(false);
                             TsSkinProviderAccess::SetLoading(P, false);
                           },
                           false}}) {
    P->SkinData()->CacheDirty = true;
    const int Paints = P->FramePaints();
    R.Change();
    EXPECT_EQ(P->FramePaints() != Paints, R.Repaints) << R.What;
  }
  // a new glyph takes the button's fade (made from the old one) with it
  B->SetVisible(true);
  RepaintFrame(P);
  StartTitleButtonAnimation(B->Data, nullptr, P, 1, false);
  ASSERT_NE(B->Data.Animation, nullptr);
  std::unique_ptr<TBitmap> G(NewBitmap32(8, 8));
  B->SetGlyph(G.get());
  EXPECT_EQ(B->Data.Animation, nullptr);
}
