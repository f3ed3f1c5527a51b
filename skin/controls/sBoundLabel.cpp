#include "skin/controls/sBoundLabel.h"

#include "framework/TypInfo.h"
#include "skin/controls/sLabel.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkSkinCommands.h"

namespace {
const std::vector<std::string> kLayoutNames = {"sclLeft",        "sclTopLeft",      "sclTopCenter", "sclTopRight",
                                               "sclLeftTop",     "sclBottomLeft",   "sclBottomCenter",
                                               "sclBottomRight", "sclRight",        "sclRightTop"};
// The label's text alignment by layout.
constexpr TAlignment kLayoutAlignment[10] = {taRightJustify, taLeftJustify, taCenter,      taRightJustify, taLeftJustify,
                                             taLeftJustify,  taCenter,      taRightJustify, taLeftJustify, taLeftJustify};

bool Designing(const TControl* C) { return C != nullptr && C->ComponentState().Contains(csDesigning); }

// Stored only when it differs from a new default font.
bool FontDiffersFromDefault(TFont* F) {
  TFont* D = new TFont();
  const bool Differs = F->Color() != D->Color() || F->Size() != D->Size() || F->Style() != D->Style() ||
                       F->Pitch() != D->Pitch() || F->Name() != D->Name();
  D->Free();
  return Differs;
}
}  // namespace

PUBLISHED(TsBoundLabel) {
  p.Bool("Active", &TsBoundLabel::Active, &TsBoundLabel::SetActive).Default(0);
  p.Str("Caption", &TsBoundLabel::Caption, &TsBoundLabel::SetCaption);
  p.Int("Indent", &TsBoundLabel::Indent, &TsBoundLabel::SetIndent).Default(0);
  p.Object("Font", &TsBoundLabel::Font, &TsBoundLabel::SetFont).Stored([](TObject* o) {
    return FontDiffersFromDefault(static_cast<TsBoundLabel*>(o)->Font());
  });
  p.Enum("Layout", &TsBoundLabel::Layout, &TsBoundLabel::SetLayout, kLayoutNames).Default(sclLeft);
  p.Int("MaxWidth", &TsBoundLabel::MaxWidth, &TsBoundLabel::SetMaxWidth).Default(0);
  p.Bool("UseHTML", &TsBoundLabel::UseHTML, &TsBoundLabel::SetUseHTML).Default(0);
  p.Bool("UseSkinColor", &TsBoundLabel::UseSkinColor, &TsBoundLabel::SetUseSkinColor).Default(1);
  p.Int("Offset", &TsBoundLabel::Offset, &TsBoundLabel::SetOffset).Default(0);
  p.Bool("ParentFont", &TsBoundLabel::ParentFont, &TsBoundLabel::SetParentFont).Default(1);
  p.Bool("AllowClick", &TsBoundLabel::AllowClick, &TsBoundLabel::SetAllowClick).Default(0);
  p.Bool("EnabledAlways", &TsBoundLabel::EnabledAlways, &TsBoundLabel::SetEnabledAlways).Default(0);
}

TsBoundLabel::TsBoundLabel(TControl* AControl, TsCommonData* ASkinData)
    : FFont(new TFont()), FControl(AControl), FSkinData(ASkinData) {
  FFont->OnChange = [this](TObject* S) { FontChanged(S); };
}

TsBoundLabel::~TsBoundLabel() {
  if (FLabel != nullptr) {
    TsEditLabel* L = FLabel;
    FLabel = nullptr;
    if (!L->ComponentState().Contains(csDestroying)) L->Free();
  }
  FFont->Free();
}

void TsBoundLabel::LabelDestroyed(TsEditLabel* Label) {
  if (Label != FLabel) return;
  FLabel = nullptr;
  FFlags[1] = false;
}

void TsBoundLabel::FontChanged(TObject*) {
  FParentFont = false;
  if (FLabel != nullptr) FLabel->Font()->Assign(FFont);
}

bool TsBoundLabel::LabelEnabled() const { return FControl == nullptr || FControl->Enabled() || EnabledAlways(); }

void TsBoundLabel::RepositionActive() {
  if (Active() && FLabel != nullptr) PlaceLabel();
}

void TsBoundLabel::SetFlag(int Index, bool Value) {
  if (FFlags[Index] == Value) return;
  FFlags[Index] = Value;
  switch (Index) {
    case 0:
    case 3:
      RepositionActive();
      break;
    case 1:
      UpdateLabel();
      ApplyAllowClick();
      break;
    case 2:
      ApplyAllowClick();
      break;
  }
}

void TsBoundLabel::ApplyAllowClick() {
  if (FLabel == nullptr) return;
  if (AllowClick() && !Designing(FControl)) {
    TControl* C = FControl;
    FLabel->OnClick = [C](TObject*) {
      if (C != nullptr) C->Click();
    };
    FLabel->OnDblClick = FLabel->OnClick;
  } else {
    FLabel->OnClick = nullptr;
    FLabel->OnDblClick = nullptr;
  }
}

void TsBoundLabel::SetDistance(int Index, int Value) {
  if (FDistances[Index] == Value) return;
  FDistances[Index] = Value;
  RepositionActive();
}

void TsBoundLabel::SetLayout(TsCaptionLayout Value) {
  FLayout = Value;
  if (FLabel != nullptr) FLabel->SetAlignment(kLayoutAlignment[Value]);
  RepositionActive();
}

void TsBoundLabel::SetParentFont(bool Value) {
  FParentFont = Value;
  if (FLabel == nullptr) return;
  FLabel->SetParentFont(Value);
  if (Value) {
    const TNotifyEvent Handler = FFont->OnChange;
    FFont->OnChange = nullptr;
    FFont->Assign(FLabel->Font());
    FFont->OnChange = Handler;
  } else {
    FLabel->Font()->Assign(FFont);
  }
}

void TsBoundLabel::SetFont(TFont* Value) {
  FFont->Assign(Value);
  if (FLabel == nullptr) return;
  FLabel->Font()->Assign(FFont);
  if (FControl != nullptr) FLabel->SetParent(FControl->Parent());
  FLabel->SetParentFont(false);
  FParentFont = false;
  RepositionActive();
}

void TsBoundLabel::SetCaption(const std::string& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  if (Active() && FLabel != nullptr) {
    FLabel->SetCaption(FCaption);
    PlaceLabel();
  }
}

bool TsBoundLabel::UseSkinColor() const { return FLabel == nullptr || FLabel->UseSkinColor(); }

void TsBoundLabel::SetUseSkinColor(bool Value) {
  if (FLabel != nullptr) FLabel->SetUseSkinColor(Value);
}

void TsBoundLabel::UpdateLabel() {
  if (!Active()) {
    if (FLabel != nullptr) {
      TsEditLabel* L = FLabel;
      FLabel = nullptr;
      L->Free();
    }
    return;
  }
  if (FControl == nullptr) return;
  if (FLabel == nullptr) {
    FLabel = new TsEditLabel(this);
    if (!FParentFont) FLabel->Font()->Assign(FFont);
  }
  FLabel->SetVisible(false);
  FLabel->SetFocusControl(As<TWinControl>(FControl));
  FLabel->SetUseHTML(UseHTML());
  FLabel->SetParent(FControl->Parent());
  FLabel->SetAlignment(kLayoutAlignment[FLayout]);
  FLabel->SetName(FControl->Name() + "Label");
  if (FCaption.empty()) FCaption = FControl->Name();
  FLabel->SetCaption(FCaption);
  FLabel->SetVisible(FControl->Visible() || Designing(FControl));
  FLabel->SetEnabled(LabelEnabled());
  FLabel->SetAutoSize(true);
  PlaceLabel();
}

void TsBoundLabel::PlaceLabel() {
  if (FLabel == nullptr || FControl == nullptr || !FControl->Visible()) return;
  // the parent aligns once, with the label in its final place, not after each step of the placement
  struct TAlignHold {
    TWinControl* Parent;
    explicit TAlignHold(TWinControl* P) : Parent(P) {
      if (Parent != nullptr) Parent->DisableAlign();
    }
    ~TAlignHold() {
      if (Parent != nullptr) Parent->EnableAlign();
    }
  } Hold(FControl->Parent());
  const int Limit = FDistances[1] < 1 ? 9999 : FDistances[1];
  FLabel->Constraints()->SetMaxWidth(FDistances[1]);
  // Sized afresh from the widest room: auto-size switched on again measures the text.
  FLabel->SetAutoSize(false);
  FLabel->SetBounds(FLabel->Left(), FLabel->Top(), Limit, 0);
  FLabel->SetWordWrap(true);
  FLabel->SetAutoSize(true);
  FLabel->SetEnabled(LabelEnabled());
  FLabel->SetUseHTML(UseHTML());
  FLabel->SetAlign(alNone);
  const RECT C = FControl->BoundsRect();
  const int CW = C.right - C.left, CH = C.bottom - C.top;
  const int LW = FLabel->Width(), LH = FLabel->Height();
  const int Indent = FDistances[0], Offset = FDistances[2];
  int X = 0, Y = 0;
  switch (FLayout) {
    case sclLeft:
      X = C.left - LW - 4 - Indent;
      Y = C.top + (CH - LH) / 2 - 1 + Offset;
      if (FControl->Align() == alLeft) {
        FLabel->SetAlign(alLeft);
        FLabel->SetLayout(tlCenter);
      }
      break;
    case sclTopLeft:
      X = C.left + Offset;
      Y = C.top - LH - Indent;
      break;
    case sclTopCenter:
      X = C.left + (CW - LW) / 2 + Offset;
      Y = C.top - LH - Indent;
      break;
    case sclTopRight:
      X = C.left + CW - LW + Offset;
      Y = C.top - LH - Indent;
      break;
    case sclLeftTop:
      X = C.left - LW - 4 - Indent;
      Y = C.top + 3 + Offset;
      break;
    case sclBottomLeft:
      X = C.left + Offset;
      Y = C.top + CH + Indent;
      break;
    case sclBottomCenter:
      X = C.left + (CW - LW) / 2 + Offset;
      Y = C.top + CH + Indent;
      break;
    case sclBottomRight:
      X = C.left + CW - LW + Offset;
      Y = C.top + CH + Indent;
      break;
    case sclRight:
      X = C.left + CW + 4 + Indent;
      Y = C.top + (CH - LH) / 2 - 1 + Offset;
      break;
    case sclRightTop:
      X = C.left + CW + 4 + Indent;
      Y = C.top + 3 + Offset;
      break;
  }
  FLabel->SetBounds(X, Y, LW, LH);
  FLabel->SetParent(FControl->Parent());
}

void TsBoundLabel::HandleOwnerMessage(TMessage& Message, TControl* Control) {
  if (FLabel == nullptr || Control != FControl) return;
  switch (Message.Msg) {
    case CM_VISIBLECHANGED:
      FLabel->SetVisible(FControl->Visible());
      break;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      PlaceLabel();
      break;
    case CM_ENABLEDCHANGED:
      FLabel->SetEnabled(LabelEnabled());
      PlaceLabel();
      break;
    case CM_BIDIMODECHANGED:
      FLabel->SetBiDiMode(FControl->BiDiMode());
      PlaceLabel();
      break;
    case SM_VKCMD:
      if (SkinCommandCode(Message.WParam) == VKCMD_SET_SCALE) ChangeScalePercent(static_cast<int>(Message.LParam));
      break;
  }
}

void TsBoundLabel::ChangeScalePercent(int Percent) {
  if (FScalePercent > 0) FDistances[1] = MulDiv(FDistances[1], Percent, FScalePercent);
  RepositionActive();
  FScalePercent = Percent;
}

void RegisterBoundLabelClasses() { RegisterClasses({TsBoundLabel::StaticClassInfo()}); }
