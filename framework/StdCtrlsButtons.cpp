// Check boxes, radio buttons and group boxes.
#include "framework/GraphicsGdi.h"
#include "framework/StdCtrls.h"

// ===================================================================================================
// TCustomCheckBox

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  FControlStyle = {csSetCaption, csDoubleClicks};
  FWidth = 97;
  FHeight = 17;
  FTabStop = true;
}

void TCustomCheckBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  // The framework toggles the state itself: the system's automatic check box would skip AllowGrayed.
  Params.Style |= BS_3STATE;
  if (FAlignment == taLeftJustify) Params.Style |= BS_LEFTTEXT;
  if (FWordWrap) Params.Style |= BS_MULTILINE;
}

void TCustomCheckBox::CreateWnd() {
  inherited::CreateWnd();
  SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(FState), 0);
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (FState == Value) return;
  FState = Value;
  if (HandleAllocated()) SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(FState), 0);
  if (!ComponentState().Contains(csLoading)) Click();
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  RecreateWnd();
}

void TCustomCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked:
      SetState(cbChecked);
      break;
    case cbChecked:
      SetState(FAllowGrayed ? cbGrayed : cbUnchecked);
      break;
    case cbGrayed:
      SetState(cbUnchecked);
      break;
  }
}

void TCustomCheckBox::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    if (TWMCommand(Message).NotifyCode() == BN_CLICKED) Toggle();
    return;
  }
  inherited::Dispatch(Message);
}

// ===================================================================================================
// TRadioButton

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  FControlStyle = {csSetCaption, csDoubleClicks};
  FWidth = 113;
  FHeight = 17;
}

void TRadioButton::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  Params.Style |= BS_RADIOBUTTON;
  if (FAlignment == taLeftJustify) Params.Style |= BS_LEFTTEXT;
  if (FWordWrap) Params.Style |= BS_MULTILINE;
}

void TRadioButton::CreateWnd() {
  inherited::CreateWnd();
  SendMessageA(FHandle, BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  SetTabStop(Value);
  if (HandleAllocated()) SendMessageA(FHandle, BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!Value) return;
  if (FParent)
    for (int i = 0; i < FParent->ControlCount(); ++i)
      if (auto* other = As<TRadioButton>(FParent->Controls(i)); other && other != this) other->SetChecked(false);
  if (!ComponentState().Contains(csLoading)) Click();
}

void TRadioButton::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  RecreateWnd();
}

void TRadioButton::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    const WORD code = TWMCommand(Message).NotifyCode();
    if (code == BN_CLICKED)
      SetChecked(true);
    else if (code == BN_DOUBLECLICKED)
      DblClick();
    return;
  }
  inherited::Dispatch(Message);
}

// ===================================================================================================
// TCustomGroupBox

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FWidth = 185;
  FHeight = 105;
}

void TCustomGroupBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

int TCustomGroupBox::CaptionHeight() { return TCanvas::FontTextExtent(FFont, "0").cy; }

void TCustomGroupBox::AlignControls(TControl* AControl, RECT& Rect) {
  // Aligned children stay below the caption line and inside the frame.
  Rect.top += CaptionHeight();
  InflateRect(&Rect, -1, -1);
  inherited::AlignControls(AControl, Rect);
}

void TCustomGroupBox::Paint() {
  TCanvas* c = FCanvas;
  c->Font()->Assign(FFont);
  const int h = CaptionHeight();
  RECT frame = ClientRect();
  frame.top += h / 2;
  c->Brush()->SetColor(FColor);
  c->FillRect(ClientRect());
  DrawEdge(c->Handle(), &frame, EDGE_ETCHED, BF_RECT);
  const std::string text = Caption();
  if (text.empty()) return;
  RECT r{8, 0, 0, h};
  DrawTextA(c->Handle(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  c->Brush()->SetColor(FColor);
  SetBkMode(c->Handle(), OPAQUE);
  SetBkColor(c->Handle(), ColorToRGB(FColor));
  SetTextColor(c->Handle(), ColorToRGB(FEnabled ? FFont->Color() : clGrayText));
  DrawTextA(c->Handle(), text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE);
}

void TCustomGroupBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      Invalidate();
      Realign();
      return inherited::Dispatch(Message);
    default:
      inherited::Dispatch(Message);
  }
}

// ===================================================================================================

static const std::vector<std::string> kAlignmentNames = {"taLeftJustify", "taRightJustify", "taCenter"};
static const std::vector<std::string> kCheckStateNames = {"cbUnchecked", "cbChecked", "cbGrayed"};

PUBLISHED(TCustomCheckBox) {
  for (const char* name : {"Caption", "Color", "ParentColor", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  p.Enum("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment, kAlignmentNames);
  p.Bool("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed);
  p.Enum("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState, kCheckStateNames);
  p.Bool("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked);
  p.Bool("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap);
}
IMPLEMENT_CLASS(TCheckBox)

PUBLISHED(TRadioButton) {
  for (const char* name : {"Caption", "Color", "ParentColor", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  p.Enum("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment, kAlignmentNames);
  p.Bool("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked);
  p.Bool("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap);
}

PUBLISHED(TCustomGroupBox) {
  for (const char* name : {"Caption", "Color", "ParentColor", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
}
IMPLEMENT_CLASS(TGroupBox)
