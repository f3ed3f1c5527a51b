// Bit buttons and speed buttons.
#include "framework/Buttons.h"

#include "framework/Forms.h"
#include "framework/GraphicsGdi.h"

TButtonContentLayout LayoutButtonContent(const RECT& Client, SIZE Glyph, SIZE Text, TButtonLayout Layout, int Margin,
                                         int Spacing) {
  const int w = Client.right - Client.left, h = Client.bottom - Client.top;
  const bool hasGlyph = Glyph.cx > 0 && Glyph.cy > 0, hasText = Text.cx > 0;
  const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
  POINT g{(w - Glyph.cx) / 2, (h - Glyph.cy) / 2};
  POINT t{(w - Text.cx) / 2, (h - Text.cy) / 2};
  if (hasGlyph && hasText) {
    const int along = horizontal ? w : h;
    const int block = horizontal ? Glyph.cx + Spacing + Text.cx : Glyph.cy + Spacing + Text.cy;
    const int start = Margin < 0 ? (along - block) / 2 : Margin;
    switch (Layout) {
      case blGlyphLeft:
        g.x = start;
        t.x = g.x + Glyph.cx + Spacing;
        break;
      case blGlyphRight:
        g.x = w - start - Glyph.cx;
        t.x = g.x - Spacing - Text.cx;
        break;
      case blGlyphTop:
        g.y = start;
        t.y = g.y + Glyph.cy + Spacing;
        break;
      case blGlyphBottom:
        g.y = h - start - Glyph.cy;
        t.y = g.y - Spacing - Text.cy;
        break;
    }
  }
  TButtonContentLayout r;
  r.GlyphPos = POINT{Client.left + g.x, Client.top + g.y};
  r.TextRect = RECT{Client.left + t.x, Client.top + t.y, Client.left + t.x + Text.cx, Client.top + t.y + Text.cy};
  return r;
}

// ===================================================================================================
// TButtonGlyph

TButtonGlyph::TButtonGlyph() : FGlyph(new TBitmap()) {}

TButtonGlyph::~TButtonGlyph() { FGlyph->Free(); }

void TButtonGlyph::SetNumGlyphs(int Value) {
  if (Value < 1 || Value > 4) throw EInvalidOperation("NumGlyphs must be between 1 and 4");
  FNumGlyphs = Value;
}

SIZE TButtonGlyph::CellSize() const {
  if (FGlyph->Empty()) return SIZE{0, 0};
  return SIZE{FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
}

void TButtonGlyph::Draw(HDC DC, POINT Pos, TButtonState State) const {
  const SIZE cell = CellSize();
  if (cell.cx <= 0) return;
  const int index = static_cast<int>(State) < FNumGlyphs ? static_cast<int>(State) : 0;
  TransparentBlt(DC, Pos.x, Pos.y, cell.cx, cell.cy, FGlyph->Canvas()->Handle(), index * cell.cx, 0, cell.cx, cell.cy,
                 ColorToRGB(FGlyph->TransparentColor()));
}

void TButtonGlyph::DrawContent(HDC DC, const RECT& Client, const std::string& Caption, TFont* Font, TButtonState State,
                               TButtonLayout Layout, int Margin, int Spacing) const {
  HGDIOBJ oldFont = SelectObject(DC, Font->Handle());
  RECT measure{0, 0, Client.right - Client.left, 0};
  if (!Caption.empty())
    DrawTextA(DC, Caption.c_str(), static_cast<int>(Caption.size()), &measure, DT_CALCRECT | DT_SINGLELINE);
  const SIZE text{Caption.empty() ? 0 : measure.right, Caption.empty() ? 0 : measure.bottom};
  TButtonContentLayout at = LayoutButtonContent(Client, CellSize(), text, Layout, Margin, Spacing);
  Draw(DC, at.GlyphPos, State);
  if (!Caption.empty()) {
    const int mode = SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, ColorToRGB(State == bsDisabled ? clGrayText : Font->Color()));
    DrawTextA(DC, Caption.c_str(), static_cast<int>(Caption.size()), &at.TextRect, DT_SINGLELINE | DT_NOCLIP);
    SetBkMode(DC, mode);
  }
  SelectObject(DC, oldFont);
}

// ===================================================================================================
// TBitBtn

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {
  FGlyph.Glyph()->OnChange = [this](TObject* Sender) { GlyphChanged(Sender); };
}

TBitBtn::~TBitBtn() { FGlyph.Glyph()->OnChange = nullptr; }

void TBitBtn::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  // The button draws itself; the default frame is drawn from Default.
  Params.Style = (Params.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::GlyphChanged(TObject*) { Invalidate(); }

void TBitBtn::SetGlyph(TBitmap* Value) { FGlyph.Glyph()->Assign(Value); }

void TBitBtn::SetNumGlyphs(int Value) {
  FGlyph.SetNumGlyphs(Value);
  Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout Value) {
  FLayout = Value;
  Invalidate();
}

void TBitBtn::SetMargin(int Value) {
  FMargin = Value;
  Invalidate();
}

void TBitBtn::SetSpacing(int Value) {
  FSpacing = Value;
  Invalidate();
}

namespace {
struct TKindInfo {
  const char* caption;
  int result;
};
constexpr TKindInfo kKinds[] = {{"", mrNone},        {"OK", mrOk},          {"Cancel", mrCancel}, {"&Help", mrNone},
                                {"&Yes", mrYes},     {"&No", mrNo},         {"&Close", mrNone},   {"Abort", mrAbort},
                                {"&Retry", mrRetry}, {"&Ignore", mrIgnore}, {"&All", mrAll}};
}  // namespace

void TBitBtn::SetKind(TBitBtnKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  if (Value == bkCustom) return;
  SetModalResult(kKinds[Value].result);
  if (Value == bkOK || Value == bkYes) SetDefault(true);
  if (Value == bkCancel || Value == bkNo) SetCancel(true);
  // A stored caption is kept: Loaded gives the kind's caption only when none was stored.
  if (!ComponentState().Contains(csLoading)) SetCaption(kKinds[Value].caption);
}

void TBitBtn::Loaded() {
  inherited::Loaded();
  if (FKind != bkCustom && Caption().empty()) SetCaption(kKinds[FKind].caption);
}

void TBitBtn::Click() {
  if (FKind == bkClose) {
    if (TCustomForm* form = GetParentForm(this)) form->Close();
    if (OnClick) OnClick(this);
    return;
  }
  inherited::Click();
}

void TBitBtn::SetButtonStyle(bool ADefault) {
  inherited::SetButtonStyle(ADefault);
  if (ADefault == FDefaultLook) return;
  FDefaultLook = ADefault;
  Invalidate();
}

void TBitBtn::CreateWnd() {
  inherited::CreateWnd();
  FDefaultLook = FDefault;
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& DrawItemStruct) {
  HDC dc = DrawItemStruct.hDC;
  RECT r = DrawItemStruct.rcItem;
  const bool pressed = DrawItemStruct.itemState & ODS_SELECTED;
  const bool focused = DrawItemStruct.itemState & ODS_FOCUS;
  if (FDefaultLook || focused) {
    // The default button carries a dark ring outside its face.
    HBRUSH frame = GdiNewSolidBrush(ColorToRGB(clWindowFrame));
    FrameRect(dc, &r, frame);
    GdiFreeObject(frame);
    InflateRect(&r, -1, -1);
  }
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  RECT content = r;
  InflateRect(&content, -2, -2);
  if (pressed) OffsetRect(&content, 1, 1);
  const TButtonState state = !FEnabled ? bsDisabled : pressed ? bsDown : bsUp;
  FGlyph.DrawContent(dc, content, Caption(), FFont, state, FLayout, FMargin, FSpacing);
  if (focused) {
    RECT f = r;
    InflateRect(&f, -3, -3);
    DrawFocusRect(dc, &f);
  }
}

void TBitBtn::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_DRAWITEM:
      DrawItem(*TWMDrawItem(Message).DrawItemStruct());
      Message.Result = 1;
      return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(Message);
      Invalidate();
      return;
    default:
      inherited::Dispatch(Message);
  }
}

// ===================================================================================================
// TSpeedButton

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle = {csCaptureMouse, csDoubleClicks};
  FWidth = 23;
  FHeight = 22;
  FParentFont = true;
  FGlyph.Glyph()->OnChange = [this](TObject* Sender) { GlyphChanged(Sender); };
}

void TSpeedButton::GlyphChanged(TObject*) { Invalidate(); }

void TSpeedButton::SetGlyph(TBitmap* Value) { FGlyph.Glyph()->Assign(Value); }

void TSpeedButton::SetNumGlyphs(int Value) {
  FGlyph.SetNumGlyphs(Value);
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
  FLayout = Value;
  Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
  FMargin = Value;
  Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
  FSpacing = Value;
  Invalidate();
}

void TSpeedButton::SetFlat(bool Value) {
  FFlat = Value;
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool Value) {
  if (FAllowAllUp == Value) return;
  FAllowAllUp = Value;
  // The whole group shares the setting.
  if (FParent && FGroupIndex)
    for (int i = 0; i < FParent->ControlCount(); ++i)
      if (auto* b = As<TSpeedButton>(FParent->Controls(i)); b && b != this && b->FGroupIndex == FGroupIndex)
        b->FAllowAllUp = Value;
}

void TSpeedButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  if (FDown && !FAllowAllUp) return;
  FDown = Value;
  FState = Value ? bsExclusive : bsUp;
  Invalidate();
  if (Value) UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
  if (!FParent || FGroupIndex == 0 || !FDown) return;
  for (int i = 0; i < FParent->ControlCount(); ++i) {
    auto* b = As<TSpeedButton>(FParent->Controls(i));
    if (!b || b == this || b->FGroupIndex != FGroupIndex || !b->FDown) continue;
    b->FDown = false;
    b->FState = bsUp;
    b->Invalidate();
  }
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !FEnabled) return;
  if (!FDown) {
    FState = bsDown;
    Invalidate();
  }
  FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  const bool inside = X >= 0 && X < FWidth && Y >= 0 && Y < FHeight;
  const TButtonState next = inside ? bsDown : FDown ? bsExclusive : bsUp;
  if (next != FState) {
    FState = next;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  if (!FDragging || Button != mbLeft) return;
  FDragging = false;
  const bool inside = X >= 0 && X < FWidth && Y >= 0 && Y < FHeight;
  if (FGroupIndex == 0) {
    FState = bsUp;
    Invalidate();
  } else if (inside) {
    SetDown(!FDown);
    FState = FDown ? bsExclusive : bsUp;
    Invalidate();
  } else {
    FState = FDown ? bsExclusive : bsUp;
    Invalidate();
  }
  if (inside) Click();
}

void TSpeedButton::Paint() {
  HDC dc = FCanvas->Handle();
  RECT r{0, 0, FWidth, FHeight};
  const bool down = FState == bsDown || FState == bsExclusive;
  if (!FFlat)
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
  else if (down || FMouseInControl)
    DrawEdge(dc, &r, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  RECT content{2, 2, FWidth - 2, FHeight - 2};
  if (down) OffsetRect(&content, 1, 1);
  FGlyph.DrawContent(dc, content, Caption(), FFont, FEnabled ? FState : bsDisabled, FLayout, FMargin, FSpacing);
}

void TSpeedButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      FMouseInControl = Message.Msg == CM_MOUSEENTER && FEnabled;
      if (FFlat) Invalidate();
      return inherited::Dispatch(Message);
    case CM_ENABLEDCHANGED:
      FState = !FEnabled ? bsDisabled : FDown ? bsExclusive : bsUp;
      Invalidate();
      return inherited::Dispatch(Message);
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      Invalidate();
      return inherited::Dispatch(Message);
    default:
      inherited::Dispatch(Message);
  }
}

// ===================================================================================================

static const std::vector<std::string> kLayoutNames = {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"};
static const std::vector<std::string> kKindNames = {"bkCustom", "bkOK",   "bkCancel", "bkHelp",   "bkYes", "bkNo",
                                                    "bkClose",  "bkAbort", "bkRetry",  "bkIgnore", "bkAll"};

PUBLISHED(TBitBtn) {
  p.Object("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
  p.Int("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs);
  p.Enum("Kind", &TBitBtn::Kind, &TBitBtn::SetKind, kKindNames);
  p.Enum("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout, kLayoutNames);
  p.Int("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin);
  p.Int("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing);
}

PUBLISHED(TSpeedButton) {
  for (const char* name : {"Caption", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  // Down after GroupIndex: stored descriptions keep this order, and Down needs the group.
  p.Bool("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp);
  p.Int("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex);
  p.Bool("Down", &TSpeedButton::Down, &TSpeedButton::SetDown);
  p.Bool("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat);
  p.Object("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
  p.Int("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs);
  p.Enum("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout, kLayoutNames);
  p.Int("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin);
  p.Int("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing);
}
