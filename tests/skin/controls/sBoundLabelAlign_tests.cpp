// The bound label's placement on a parent that aligns its controls: the parent aligns once, after the label is
// in its place.
#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/controls/sLabel.h"

using namespace controls_test;

namespace {

// A parent that counts its alignments and notes where the label stood at each.
class TCountingParent : public TCustomControl {
public:
  explicit TCountingParent(TComponent* AOwner) : TCustomControl(AOwner) {}
  TControl* Watched = nullptr;
  std::vector<RECT> Seen;
  void AlignControls(TControl* AControl, RECT& Rect) override {
    if (Watched != nullptr) Seen.push_back(Watched->BoundsRect());
    TCustomControl::AlignControls(AControl, Rect);
  }
};

}  // namespace

TEST(SkinnedLabels, ABoundLabelOnAnAligningParentIsAlignedOnceInItsPlace) {
  Owned<TForm> Form = NewForm(clWhite);
  auto* Parent = PlaceOn<TCountingParent>(Form.get(), 300, 120);
  TControl* Box = new TCustomControl(Form.get());
  Box->SetParent(Parent);
  Box->SetBounds(100, 30, 80, 20);
  Box->SetAlign(alLeft);  // the label goes to the left edge too
  Owned<TsBoundLabel> B(new TsBoundLabel(Box, nullptr));
  B->SetCaption("Port");
  B->SetActive(true);
  TsEditLabel* L = B->Label();
  ASSERT_NE(L, nullptr);
  Parent->Watched = L;
  Parent->Seen.clear();
  B->SetOffset(3);  // placed again
  ASSERT_EQ(Parent->Seen.size(), 1u);
  EXPECT_EQ(Parent->Seen[0].right - Parent->Seen[0].left, L->Width());
  EXPECT_EQ(L->Align(), alLeft);
}
