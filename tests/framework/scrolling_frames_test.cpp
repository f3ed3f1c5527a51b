#include <gtest/gtest.h>

#include "framework/FormReader.h"
#include "framework/StdCtrls.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/Owned.h"

// A frame class with its own stored description (read from text here rather than from a resource).
class TAddressFrame : public TFrame {
  DECLARE_CLASS(TAddressFrame, TFrame)
public:
  explicit TAddressFrame(TComponent* AOwner) : TFrame(AOwner) {}
  TEdit* Street = nullptr;
  TButton* Pick = nullptr;
  int picks = 0;
  void PickClick(TObject*) { ++picks; }

protected:
  bool ReadStoredDescription() override {
    ReadComponentFromText(R"(object AddressFrame: TAddressFrame
  Width = 240
  Height = 60
  object Street: TEdit
    Left = 4
    Top = 4
    Text = 'Main'
  end
  object Pick: TButton
    Left = 150
    Top = 4
    Caption = '...'
    OnClick = PickClick
  end
end
)",
                          this);
    return true;
  }
};
PUBLISHED(TAddressFrame) {
  p.Field("Street", &TAddressFrame::Street);
  p.Field("Pick", &TAddressFrame::Pick);
  p.Handler("PickClick", &TAddressFrame::PickClick);
}

class TFrameHostForm : public TForm {
  DECLARE_CLASS(TFrameHostForm, TForm)
public:
  explicit TFrameHostForm(TComponent* AOwner) : TForm(AOwner, 0) {}
  TAddressFrame* Address1 = nullptr;
  TScrollBox* Box1 = nullptr;
};
PUBLISHED(TFrameHostForm) {
  p.Field("Address1", &TFrameHostForm::Address1);
  p.Field("Box1", &TFrameHostForm::Box1);
}

namespace {

using testing_support::Owned;

class ScrollingControls : public UiTest {
protected:
  void SetUp() override {
    UiTest::SetUp();
    RegisterClasses({TAddressFrame::StaticClassInfo(), TFrameHostForm::StaticClassInfo()});
  }
};

TEST_F(ScrollingControls, AFrameInAFormReadsItsOwnDescriptionThenTheFormsOverrides) {
  Owned<TFrameHostForm> f(new TFrameHostForm(Application));
  ReadComponentFromText(R"(object FrameHostForm: TFrameHostForm
  ClientWidth = 300
  ClientHeight = 200
  inline Address1: TAddressFrame
    Left = 10
    Top = 20
    Height = 70
    TabOrder = 0
    inherited Street: TEdit
      Text = 'High'
    end
  end
  object Box1: TScrollBox
    Left = 10
    Top = 100
    Width = 120
    Height = 80
    BorderStyle = bsNone
    VertScrollBar.Range = 300
    VertScrollBar.Increment = 10
    HorzScrollBar.Visible = False
  end
end
)",
                        f.get());
  ASSERT_TRUE(f->Address1);
  EXPECT_EQ(f->Address1->Parent(), f.get());
  EXPECT_EQ(f->Address1->Owner(), f.get());
  EXPECT_EQ(f->Address1->Width(), 240);
  EXPECT_EQ(f->Address1->Height(), 70) << "the form's value wins";
  ASSERT_TRUE(f->Address1->Street);
  EXPECT_EQ(f->Address1->Street->Owner(), f->Address1) << "the frame's components are its own";
  EXPECT_EQ(f->Address1->Street->Parent(), f->Address1);
  EXPECT_EQ(f->Address1->Street->Text(), "High") << "the form overrides the frame's own component";
  EXPECT_EQ(f->Address1->Street->Left(), 4);
  EXPECT_EQ(f->Address1->ComponentCount(), 2);
  f->Address1->Pick->Click();
  EXPECT_EQ(f->Address1->picks, 1);
  EXPECT_EQ(f->Box1->VertScrollBar()->Range(), 300);
  EXPECT_EQ(f->Box1->BorderStyle(), bsNone);
  f->Show();
  EXPECT_EQ(WindowClassOf(f->Address1->Handle()), "TAddressFrame");
  EXPECT_FALSE(GetWindowLongA(f->Box1->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(ScrollingControls, ScrollBarsMoveTheChildrenWithinTheRange) {
  Owned<TForm> f(NewForm(300, 200));
  auto* box = NewChild<TScrollBox>(f.get());
  box->SetBounds(0, 0, 150, 100);
  auto* inner = NewChild<TButton>(box, f.get());
  inner->SetBounds(10, 40, 60, 20);
  f->Show();
  TControlScrollBar* v = box->VertScrollBar();
  EXPECT_FALSE(v->IsScrollBarVisible()) << "no range, no bar";
  v->SetRange(400);
  v->SetIncrement(15);
  ASSERT_TRUE(v->IsScrollBarVisible());
  EXPECT_FALSE(box->HorzScrollBar()->IsScrollBarVisible());
  const int page = box->ClientRect().bottom;
  EXPECT_EQ(v->MaxPosition(), 400 - page);

  struct Step {
    WORD code;
    int expected;
  };
  const Step steps[] = {{SB_LINEDOWN, 15}, {SB_LINEDOWN, 30}, {SB_PAGEDOWN, 30 + page},
                        {SB_LINEUP, 15 + page}, {SB_BOTTOM, 400 - page}, {SB_PAGEDOWN, 400 - page},
                        {SB_TOP, 0}, {SB_LINEUP, 0}};
  for (const Step& s : steps) {
    SendMessageA(box->Handle(), WM_VSCROLL, MAKEWPARAM(s.code, 0), 0);
    EXPECT_EQ(v->Position(), s.expected) << "code " << s.code;
    EXPECT_EQ(inner->Top(), 40 - s.expected);
    EXPECT_EQ(GetScrollPos(box->Handle(), SB_VERT), s.expected);
  }
  // A thumb drag scrolls at once only with Tracking; letting the thumb go always does.
  SendMessageA(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 50), 0);
  EXPECT_EQ(v->Position(), 0);
  SendMessageA(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 50), 0);
  EXPECT_EQ(v->Position(), 50);
  v->SetTracking(true);
  SendMessageA(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 20), 0);
  EXPECT_EQ(v->Position(), 20);
  EXPECT_EQ(inner->Top(), 20);
  // Shrinking the range pulls the position back in.
  v->SetRange(page + 5);
  EXPECT_EQ(v->Position(), 5);
  EXPECT_EQ(inner->Top(), 35);
  v->SetRange(0);
  EXPECT_EQ(v->Position(), 0);
  EXPECT_EQ(inner->Top(), 40);
  EXPECT_FALSE(v->IsScrollBarVisible());
}

}  // namespace
