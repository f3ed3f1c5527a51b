#include "skin/controls/pngextra.h"

#include "framework/ExtCtrls.h"
#include "framework/TypInfo.h"
#include "skin/controls/vkHoverEvents.h"

IMPLEMENT_CLASS(TPNGObject)

PUBLISHED(TPNGButton) {
  p.Enum("ButtonStyle", &TPNGButton::ButtonStyle, &TPNGButton::SetButtonStyle, {"pbsDefault", "pbsFlat", "pbsNoFrame"});
  p.Enum("ButtonLayout", &TPNGButton::ButtonLayout, &TPNGButton::SetButtonLayout,
         {"pbsImageAbove", "pbsImageBellow", "pbsImageLeft", "pbsImageRight"});
  p.Str("Caption", &TControl::Caption, &TControl::SetCaption);
  p.Object("ImageNormal", &TPNGButton::ImageNormal, &TPNGButton::SetImageNormal);
  p.Object("ImageDown", &TPNGButton::ImageDown, &TPNGButton::SetImageDown);
  p.Object("ImageOver", &TPNGButton::ImageOver, &TPNGButton::SetImageOver);
  p.Event("OnMouseExit", &TPNGButton::OnMouseExit);
}

TPNGButton::TPNGButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FImageNormal(new TPNGObject()), FImageDown(new TPNGObject()),
      FImageOver(new TPNGObject()), FImageDisabled(new TPNGObject()) {
  FControlStyle += csCaptureMouse;
  SetBounds(FLeft, FTop, 23, 23);
}

TPNGButton::~TPNGButton() {
  FImageNormal->Free();
  FImageDown->Free();
  FImageOver->Free();
  FImageDisabled->Free();
}

void TPNGButton::MakeDisabledImage() {
  FImageDisabled->Assign(FImageNormal);
  if (FImageDisabled->Empty()) return;
  // Every kind of image fades, palette images too: a palette image takes its alpha from its transparency
  // table, any other image without alpha is opaque first.
  if (FImageDisabled->PixelFormat() != pf32bit) {
    const bool Palette = FImageNormal->ImageDescription().PixelKind == 1 && !FImageNormal->PaletteAlpha().empty();
    if (Palette) {
      PngGraphicToBitmap32(FImageDisabled, FImageNormal);
    } else {
      FImageDisabled->SetPixelFormat(pf32bit);
      for (int y = 0; y < FImageDisabled->Height(); ++y) {
        auto* row = static_cast<uint8_t*>(FImageDisabled->ScanLine(y));
        for (int x = 0; x < FImageDisabled->Width(); ++x) row[4 * x + 3] = 255;
      }
    }
  }
  for (int y = 0; y < FImageDisabled->Height(); ++y) {
    auto* row = static_cast<uint8_t*>(FImageDisabled->ScanLine(y));
    for (int x = 0; x < FImageDisabled->Width(); ++x) row[4 * x + 3] = static_cast<uint8_t>(row[4 * x + 3] / 3);
  }
}

void TPNGButton::SetButtonStyle(TPNGButtonStyle Value) {
  FButtonStyle = Value;
  Invalidate();
}

void TPNGButton::SetButtonLayout(TPNGButtonLayout Value) {
  FButtonLayout = Value;
  Invalidate();
}

void TPNGButton::SetImageNormal(TPNGObject* Value) {
  FImageNormal->Assign(Value);
  MakeDisabledImage();
  Invalidate();
}

void TPNGButton::SetImageDown(TPNGObject* Value) {
  FImageDown->Assign(Value);
  Invalidate();
}

void TPNGButton::SetImageOver(TPNGObject* Value) {
  FImageOver->Assign(Value);
  Invalidate();
}

TPNGObject* TPNGButton::ImageToShow(bool Pressed) const {
  if (Pressed && !FImageDown->Empty()) return FImageDown;
  if (FMouseOver && !FImageOver->Empty() && Enabled()) return FImageOver;
  if (FState == TState::Disabled && !FImageDisabled->Empty()) return FImageDisabled;
  return FImageNormal;
}

void TPNGButton::PaintFrame(bool Pressed) {
  RECT r{0, 0, Width(), Height()};
  const HDC dc = Canvas()->Handle();
  switch (FButtonStyle) {
    case pbsDefault:
      DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (Pressed ? DFCS_PUSHED : 0));
      break;
    case pbsFlat:
      if (FState == TState::Disabled) break;
      if (Pressed)
        Frame3D(dc, r, clBtnShadow, clBtnHighlight, 1);
      else if (FMouseOver || FState == TState::Down)
        Frame3D(dc, r, clBtnHighlight, clBtnShadow, 1);
      break;
    case pbsNoFrame:
      break;
  }
}

void TPNGButton::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  const bool pressed = FState == TState::Down && FMouseOver;
  TPNGObject* image = ImageToShow(pressed);

  const std::string caption = Caption();
  TSize text{0, 0};
  int imageW = image->Width(), imageH = image->Height();
  if (!caption.empty()) {
    text = canvas->TextExtent(caption);
    imageH += 4;
  }
  const int shift = pressed ? 2 : 0;
  int imageX = (Width() - imageW) / 2 + shift, textX = (Width() - text.cx) / 2 + shift;
  int textY = (Height() - text.cy) / 2, imageY = (Height() - imageH) / 2;
  switch (FButtonLayout) {
    case pbsImageAbove:
      imageY = (Height() - imageH - text.cy) / 2;
      textY = imageY + imageH;
      break;
    case pbsImageBellow:
      textY = (Height() - imageH - text.cy) / 2;
      imageY = textY + text.cy;
      break;
    case pbsImageLeft:
      imageX = (Width() - imageW - text.cx) / 2;
      textX = imageX + imageW + 5;
      break;
    case pbsImageRight:
      textX = (Width() - imageW - text.cx) / 2;
      imageX = textX + text.cx + 5;
      break;
  }
  imageY += shift;
  textY += shift;

  PaintFrame(pressed);
  canvas->Brush()->SetStyle(bsClear);
  if (!image->Empty()) canvas->Draw(imageX, imageY, image);
  if (!caption.empty()) {
    if (!Enabled()) canvas->Font()->SetColor(clGrayText);
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextRect(TRect(0, 0, Width(), Height()), textX, textY, caption);
  }
}

void TPNGButton::ReleaseIfDown() {
  if (FState == TState::Down) {
    FState = TState::Up;
    Invalidate();
  }
}

void TPNGButton::Click() {
  // OnClick runs after the button looks released.
  ReleaseIfDown();
  inherited::Click();
}

void TPNGButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FState == TState::Up && Button == mbLeft) {
    FState = TState::Down;
    Invalidate();
  }
  inherited::MouseDown(Button, Shift, X, Y);
}

void TPNGButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  ReleaseIfDown();
  inherited::MouseUp(Button, Shift, X, Y);
}

void TPNGButton::MouseMove(TShiftState Shift, int X, int Y) {
  if (X >= 0 && Y >= 0 && X < Width() && Y < Height() && !FMouseOver && FState != TState::Down) {
    FMouseOver = true;
    Invalidate();
  }
  inherited::MouseMove(Shift, X, Y);
}

void TPNGButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_ENABLEDCHANGED:
      if (!Enabled()) MakeDisabledImage();
      FState = Enabled() ? TState::Up : TState::Disabled;
      Invalidate();
      break;
    case CM_MOUSEENTER:
      if (Enabled()) {
        if (OnMouseEnter) OnMouseEnter(this);
        FMouseOver = true;
        Invalidate();
      }
      break;
    case CM_MOUSELEAVE:
      if (Enabled()) {
        if (OnMouseExit) OnMouseExit(this);
        // the framework's own leave event, held back below, keeps the button's rule too
        if (OnMouseLeave) OnMouseLeave(this);
        FMouseOver = false;
        Invalidate();
      }
      break;
  }
  if (IsHoverMessage(Message.Msg)) {
    TvkHoverEventsHeld Held(this);  // fired above, only while enabled
    inherited::Dispatch(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void RegisterPngExtraClasses() { RegisterClasses({TPNGObject::StaticClassInfo(), TPNGButton::StaticClassInfo()}); }
