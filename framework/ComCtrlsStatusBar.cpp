// The status bar and its panels.
#include <vector>

#include "framework/ComCtrls.h"

// ===================================================================================================
// TStatusPanel / TStatusPanels

void TStatusPanel::SetText(const std::string& Value) {
  FText = Value;
  Changed(false);
}

void TStatusPanel::SetWidth(int Value) {
  FWidth = Value;
  Changed(true);
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value) {
  FStyle = Value;
  Changed(false);
}

void TStatusPanel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value) {
  FBevel = Value;
  Changed(false);
}

TStatusPanels::TStatusPanels(TStatusBar* Owner)
    : TOwnedCollection(Owner, TStatusPanel::StaticClassInfo()), FStatusBar(Owner) {}

void TStatusPanels::Update(TCollectionItem*) {
  if (FStatusBar && FStatusBar->HandleAllocated()) FStatusBar->SendPanels();
}

// ===================================================================================================
// TStatusBar

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner), FPanels(new TStatusPanels(this)) {
  FCanvas = new TControlCanvas(this);
  FHeight = 19;
  FWidth = 200;
  FAlign = alBottom;
}

TStatusBar::~TStatusBar() {
  FPanels->Free();
  FCanvas->Free();
}

void TStatusBar::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses(ICC_BAR_CLASSES);
  inherited::CreateParams(Params);
  CreateSubClass(Params, STATUSCLASSNAMEA);
  // The framework places the bar (Align); the control must not move itself to its parent's bottom.
  Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE;
  if (FSizeGrip) Params.Style |= SBARS_SIZEGRIP;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TStatusBar::CreateWnd() {
  inherited::CreateWnd();
  SendPanels();
}

void TStatusBar::SendPanels() {
  const bool simple = FSimplePanel || FPanels->Count() == 0;
  SendMessageA(FHandle, SB_SIMPLE, FSimplePanel, 0);
  if (simple) {
    // Without panels the simple text fills the one part.
    const int edge = -1;
    if (!FSimplePanel) SendMessageA(FHandle, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&edge));
    SendMessageA(FHandle, SB_SETTEXTA, FSimplePanel ? SB_SIMPLEID : 0, reinterpret_cast<LPARAM>(FSimpleText.c_str()));
    return;
  }
  std::vector<int> edges;
  int right = 0;
  for (int i = 0; i < FPanels->Count(); ++i) {
    right += FPanels->Items(i)->Width();
    edges.push_back(i + 1 == FPanels->Count() ? -1 : right);
  }
  SendMessageA(FHandle, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (int i = 0; i < FPanels->Count(); ++i) {
    TStatusPanel* p = FPanels->Items(i);
    static const UINT bevels[] = {SBT_NOBORDERS, 0, SBT_POPOUT};
    static const char* const aligns[] = {"", "\t\t", "\t"};
    const WPARAM part = static_cast<WPARAM>(i) | bevels[p->Bevel()];
    if (p->Style() == psOwnerDraw) {
      // Owner-drawn parts carry their index as the item data.
      SendMessageA(FHandle, SB_SETTEXTA, part | SBT_OWNERDRAW, i);
    } else {
      const std::string text = aligns[p->Alignment()] + p->Text();
      SendMessageA(FHandle, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text.c_str()));
    }
  }
}

void TStatusBar::SetSimplePanel(bool Value) {
  if (FSimplePanel == Value) return;
  FSimplePanel = Value;
  if (HandleAllocated()) SendPanels();
}

void TStatusBar::SetSimpleText(const std::string& Value) {
  FSimpleText = Value;
  if (HandleAllocated()) SendPanels();
}

void TStatusBar::SetSizeGrip(bool Value) {
  if (FSizeGrip == Value) return;
  FSizeGrip = Value;
  RecreateWnd();
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect) {
  if (OnDrawPanel)
    OnDrawPanel(this, Panel, Rect);
  else
    FCanvas->FillRect(Rect);
}

void TStatusBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_DRAWITEM: {
      const DRAWITEMSTRUCT& dis = *TWMDrawItem(Message).DrawItemStruct();
      const int index = static_cast<int>(dis.itemData);
      if (index >= 0 && index < FPanels->Count())
        FCanvas->PaintOn(dis.hDC, [&] {
          FCanvas->Font()->Assign(FFont);
          FCanvas->Brush()->SetColor(FColor);
          DrawPanel(FPanels->Items(index), dis.rcItem);
        });
      Message.Result = 1;
      return;
    }
    default:
      inherited::Dispatch(Message);
  }
}

// ===================================================================================================

static const std::vector<std::string> kAlignmentNames = {"taLeftJustify", "taRightJustify", "taCenter"};
static const std::vector<std::string> kPanelStyleNames = {"psText", "psOwnerDraw"};
static const std::vector<std::string> kBevelNames = {"pbNone", "pbLowered", "pbRaised"};

PUBLISHED(TStatusPanel) {
  p.Enum("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment, kAlignmentNames);
  p.Enum("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel, kBevelNames);
  p.Enum("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle, kPanelStyleNames);
  p.Str("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
  p.Int("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
}
IMPLEMENT_CLASS(TStatusPanels)

PUBLISHED(TStatusBar) {
  for (const char* name : {"Color", "ParentColor", "Font", "ParentFont", "PopupMenu"}) p.Publish(name);
  p.Object("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
  p.Bool("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel);
  p.Str("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
  p.Bool("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip);
  p.Event("OnDrawPanel", &TStatusBar::OnDrawPanel);
}
