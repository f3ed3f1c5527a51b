#include "skin/forms/vkTitleBar.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/vkSBAnimation.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkPixelOps.h"

// ---- what a stored form sets ----

PUBLISHED(TvkFontData) {
  p.Object("Font", &TvkFontData::Font, &TvkFontData::SetFont);
  p.Color("GlowColor", &TvkFontData::GlowColor, &TvkFontData::SetGlowColor).Default(0x808080);
  p.Int("GlowSize", &TvkFontData::GlowSize, &TvkFontData::SetGlowSize);
  p.Bool("UseSysColor", &TvkFontData::UseSysColor, &TvkFontData::SetUseSysColor).Default(1);
  p.Bool("UseSysFontName", &TvkFontData::UseSysFontName, &TvkFontData::SetUseSysFontName).Default(1);
  p.Bool("UseSysGlowing", &TvkFontData::UseSysGlowing, &TvkFontData::SetUseSysGlowing).Default(1);
  p.Bool("UseSysSize", &TvkFontData::UseSysSize, &TvkFontData::SetUseSysSize).Default(1);
  p.Bool("UseSysStyle", &TvkFontData::UseSysStyle, &TvkFontData::SetUseSysStyle).Default(1);
}

PUBLISHED(TvkTitleBarItem) {
  using I = TvkTitleBarItem;
  p.Enum("Align", &I::Align, &I::SetAlign, {"tbaLeft", "tbaRight", "tbaCenter", "tbaCenterInSpace"});
  p.Enum("Alignment", &I::Alignment, &I::SetAlignment, {"taLeftJustify", "taRightJustify", "taCenter"});
  p.Bool("AutoSize", &I::AutoSize, &I::SetAutoSize).Default(1);
  p.Str("Caption", &I::Caption, &I::SetCaption);
  p.IntIdents("Cursor", &I::Cursor, &I::SetCursor, "TCursor");
  p.Bool("Down", &I::Down, &I::SetDown);
  p.Object("DropdownMenu", &I::DropdownMenu, &I::SetDropdownMenu);
  p.Bool("Enabled", &I::Enabled, &I::SetEnabled).Default(1);
  p.Object("FontData", &I::FontData);
  p.Object("Glyph", &I::Glyph, &I::SetGlyph);
  p.Int("Height", &I::Height, &I::SetHeight).Default(18);
  p.Str("Hint", &I::Hint, &I::SetHint);
  p.Int("ImageIndex", &I::ImageIndex, &I::SetImageIndex).Default(-1);
  p.Int("HotImageIndex", &I::HotImageIndex, &I::SetHotImageIndex).Default(-1);
  p.Int("PressedImageIndex", &I::PressedImageIndex, &I::SetPressedImageIndex).Default(-1);
  p.Int("DisabledImageIndex", &I::DisabledImageIndex, &I::SetDisabledImageIndex).Default(-1);
  p.Str("Name", &I::Name, &I::SetName);
  p.Int("NumGlyphs", &I::NumGlyphs, &I::SetNumGlyphs).Default(1);
  p.Bool("ShowHint", &I::ShowHintFlag, &I::SetShowHintFlag);
  p.Str("SkinSection", &I::SkinSection, &I::SetSkinSection);
  p.Int("Spacing", &I::Spacing, &I::SetSpacing).Default(4);
  p.Enum("Style", &I::Style, &I::SetStyle, {"bsButton", "bsMenu", "bsTab", "bsSpacing", "bsInfo"});
  p.Int("Tag", &I::Tag, &I::SetTag);
  p.Bool("Visible", &I::Visible, &I::SetVisible).Default(1);
  p.Int("Width", &I::Width, &I::SetWidth).Default(22);
  p.Event("OnClick", &I::OnClick);
  p.Event("OnDrawItem", &I::OnDrawItem);
  p.Event("OnMouseDown", &I::OnMouseDown);
  p.Event("OnMouseUp", &I::OnMouseUp);
  p.Event("OnMouseEnter", &I::OnMouseEnter);
  p.Event("OnMouseLeave", &I::OnMouseLeave);
}

PUBLISHED(TsTitleBar) {
  p.Object("Images", &TsTitleBar::Images, &TsTitleBar::SetImages);
  // the bar owns its collection: a description fills it, never replaces it
  p.Object("Items", &TsTitleBar::Items);
  p.Int("ItemsMargin", &TsTitleBar::ItemsMargin, &TsTitleBar::SetItemsMargin).Default(3);
  p.Int("ItemsSpacing", &TsTitleBar::ItemsSpacing, &TsTitleBar::SetItemsSpacing);
  p.Int("RightSpacing", &TsTitleBar::RightSpacing, &TsTitleBar::SetRightSpacing);
  p.Bool("ShowCaption", &TsTitleBar::ShowCaption, &TsTitleBar::SetShowCaption).Default(1);
}

IMPLEMENT_CLASS(TvkItemAnimation)
IMPLEMENT_CLASS(TvkTitleItems)

namespace {

// A drop-down of a title-bar item is open: a second one waits until it closes.
bool g_PopupOpen = false;


void FormRefresh(HWND Wnd) {
  if (Wnd != nullptr) SendSkinCommand(Wnd, VKCMD_FORM_REFRESH, 1);
}

HWND FormWindowOf(TsTitleBar* Bar) {
  TCustomForm* F = Bar != nullptr ? Bar->Form() : nullptr;
  return F != nullptr && F->HandleAllocated() ? F->Handle() : nullptr;
}

// The window whose top-left the items' rectangles count from: the border window's when the form's skinner has one.
HWND ItemsOriginWindow(TsTitleBar* Bar) {
  const HWND W = FormWindowOf(Bar);
  auto* P = W != nullptr ? reinterpret_cast<TsSkinProvider*>(SendSkinCommand(W, VKCMD_QUERY_FORM_SKINNER, 0)) : nullptr;
  if (P != nullptr && P->BorderForm() != nullptr && FormServices.BorderLayeredWindow)
    if (TvkGlowForm* L = FormServices.BorderLayeredWindow(P->BorderForm()); L != nullptr && L->HandleAllocated())
      return L->Handle();
  return W;
}

bool FormLoading(TsTitleBar* Bar) {
  return Bar == nullptr || Bar->Form() == nullptr || Bar->Form()->ComponentState().Contains(csLoading) ||
         Bar->ComponentState().Contains(csLoading);
}

SIZE TextSize(TFont* Font, const std::string& Text) {
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Font->Handle());
  SIZE S{};
  GetTextExtentPoint32A(DC, Text.c_str(), static_cast<int>(Text.size()), &S);
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  return S;
}

}  // namespace

// ===================================================================== font data

TvkFontData::TvkFontData() : FFont(new TFont()), FBaseFont(new TFont()) {}

TvkFontData::~TvkFontData() {
  delete FFont;
  delete FBaseFont;
}

void TvkFontData::Refresh() { FormRefresh(FormWnd); }

void TvkFontData::SetGlowColor(TColor Value) {
  if (Value == FGlowColor) return;
  FGlowColor = Value;
  Refresh();
}

void TvkFontData::SetGlowSize(int Value) {
  if (Value == FGlowSize) return;
  FGlowSize = Value;
  Refresh();
}

void TvkFontData::SetUse(int Index, bool Value) {
  if (FUse[Index] == Value) return;
  FUse[Index] = Value;
  Refresh();
}

// ===================================================================== the item fade

TvkItemAnimation::TvkItemAnimation(TComponent* AOwner) : TvkFadeAnimation(AOwner) { State = -1; }

TvkItemAnimation::~TvkItemAnimation() {
  if (Item != nullptr && Item->Animation == this) Item->Animation = nullptr;
}

void TvkItemAnimation::StartState(int NewState, bool FadeIn) {
  if (!EnterState(NewState, FadeIn)) return;
  if (NewState != 0) {
    SetEnabled(true);
    return;
  }
  ShowFrame(255);
  if (StepCount > 1) SetEnabled(true);
}

bool TvkItemAnimation::CursorStillOver() {
  POINT C{};
  Platform().GetCursorPos(&C);
  RECT W{};
  GetWindowRect(OwnerWnd, &W);
  const TRect& R = Item->Rect;
  const int X = C.x - W.left, Y = C.y - W.top;
  if (X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom) return true;
  SetEnabled(false);
  SendMessageA(OwnerWnd, WM_MOUSELEAVE, 0, 0);
  return false;
}

void TvkItemAnimation::MakeImage() {
  if (Image != nullptr || Item == nullptr) return;
  const TRect& R = Item->Rect;
  Image = NewBitmap32(std::max(R.Right - R.Left, 1), std::max(R.Bottom - R.Top, 1));
  // what the painter leaves untouched stays clear: the caption shows through there
  if (Item->PaintHandler) {
    Item->PaintHandler(Item, TRect(0, 0, Image->Width(), Image->Height()), Image);
  } else {
    FillRect32(Image, TRect(0, 0, Image->Width(), Image->Height()), 0xFFFF, 255);
  }
  PremultiplyBitmap(Image);
}

void TvkItemAnimation::ShowFrame(int Alpha) {
  MakeImage();
  if (GlowWindow == nullptr) GlowWindow = NewFadeWindow();
  if (Image == nullptr || OwnerWnd == nullptr) return;
  RECT W{};
  GetWindowRect(OwnerWnd, &W);
  TRect R(W.left + Item->Rect.Left, W.top + Item->Rect.Top, W.left + Item->Rect.Right, W.top + Item->Rect.Bottom);
  if (R.Width() != Image->Width() || R.Height() != Image->Height()) {
    R.Left += (R.Width() - Image->Width()) / 2;
    R.Top += (R.Height() - Image->Height()) / 2;
    R.Right = R.Left + Image->Width();
    R.Bottom = R.Top + Image->Height();
  }
  SetWindowPos(GlowWindow->Handle(), PlaceAfter(OwnerWnd), R.Left, R.Top, R.Width(), R.Height(), 0x613);
  PresentImage(POINT{R.Left, R.Top}, Alpha);
}

// ===================================================================== items

TvkTitleBarItem::TvkTitleBarItem() { Init(); }

TvkTitleBarItem::TvkTitleBarItem(TCollection* Collection) : TCollectionItem(Collection) { Init(); }

void TvkTitleBarItem::Init() {
  FFontData = new TvkFontData();
  FGlyph = new TBitmap();
}

TvkTitleBarItem::~TvkTitleBarItem() {
  FreeAnimation();
  HideHint();
  delete FFontData;
  delete FGlyph;
  delete SkinData;
}

TvkItemWatch::TvkItemWatch(const TvkTitleBarItem* Item) : TvkLifeWatch(Item->FLife) {}

TsTitleBar* TvkTitleBarItem::TitleBar() const {
  auto* Items = dynamic_cast<TvkTitleItems*>(Collection());
  return Items != nullptr ? Items->Bar() : nullptr;
}

void TvkTitleBarItem::FreeAnimation() {
  if (Animation == nullptr) return;
  TvkItemAnimation* A = Animation;
  Animation = nullptr;
  A->Item = nullptr;
  A->Free();
}

void TvkTitleBarItem::SetIndexProp(int& Field, int Value) {
  if (HotState == 2) HotState = 0;
  if (Field == Value) return;
  Field = Value;
  Changed(true);
}

void TvkTitleBarItem::SetAlign(TvkItemAlign Value) {
  if (Value == FAlign) return;
  FAlign = Value;
  Changed(true);
}

void TvkTitleBarItem::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Changed(false);
}

void TvkTitleBarItem::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  Changed(true);
}

void TvkTitleBarItem::SetCaption(const std::string& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  Changed(true);
}

void TvkTitleBarItem::SetDropdownMenu(TPopupMenu* Value) {
  if (Value == FDropdownMenu) return;
  FDropdownMenu = Value;
  // the bar clears the menu from its items when it goes, wherever it lives
  if (TsTitleBar* Bar = TitleBar(); Bar != nullptr && Value != nullptr) Value->FreeNotification(Bar);
}

void TvkTitleBarItem::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  Changed(true);
}

void TvkTitleBarItem::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  Changed(true);
}

void TvkTitleBarItem::SetHeight(int Value) { SetIndexProp(FHeight, Value); }

void TvkTitleBarItem::SetSkinSection(const std::string& Value) {
  FSkinSection = Value;
  Changed(false);
}

void TvkTitleBarItem::SetStyle(TvkBtnStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed(true);
}

void TvkTitleBarItem::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Changed(true);
}

int TvkTitleBarItem::GetState() const { return FDown || MenuOpen ? 2 : HotState; }

void TvkTitleBarItem::UpdateBaseFont() {
  NONCLIENTMETRICSA NM{};
  NM.cbSize = sizeof NM;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof NM, &NM, 0);
  TFont* Base = FFontData->BaseFont();
  Base->SetName(NM.lfCaptionFont.lfFaceName);
  Base->SetHeight(NM.lfCaptionFont.lfHeight);
  Base->SetStyle(NM.lfCaptionFont.lfWeight >= FW_BOLD ? TFontStyles{fsBold} : TFontStyles{});
  TFont* Own = FFontData->Font();
  if (!FFontData->UseSysStyle()) Base->SetStyle(Own->Style());
  if (!FFontData->UseSysFontName()) Base->SetName(Own->Name());
  if (FFontData->UseSysSize() && TsSkinManager::DefaultManager() != nullptr)
    Base->SetHeight(TsSkinManager::DefaultManager()->ApplyScale(NM.lfCaptionFont.lfHeight));
  else if (!FFontData->UseSysSize())
    Base->SetHeight(Own->Height());
}

void TvkTitleBarItem::Measure(bool KeepSize) {
  if (!FVisible) return;
  TsTitleBar* Bar = TitleBar();
  int GW = 0, GH = 0;
  if (Bar != nullptr && Bar->Images() != nullptr && FImageIndex[0] >= 0 && FImageIndex[0] < Bar->Images()->Count()) {
    GW = Bar->Images()->Width();
    GH = Bar->Images()->Height();
  } else if (!FGlyph->Empty()) {
    GW = FGlyph->Width() / std::max(FNumGlyphs, 1);
    GH = FGlyph->Height();
  }
  int W = GW, H = GH;
  if (!FCaption.empty()) {
    UpdateBaseFont();
    const SIZE T = TextSize(FFontData->BaseFont(), FCaption);
    W = GW + (GW > 0 ? FSpacing : 0) + T.cx + (FStyle == bsTab ? 4 : 0);
    H = std::max(GH, static_cast<int>(T.cy));
  }
  if ((FStyle == bsButton || FStyle == bsMenu) && FDropdownMenu != nullptr) {
    TFont Marlett;
    Marlett.SetName("Marlett");
    Marlett.SetCharset(1);
    Marlett.SetSize(FFontData->BaseFont()->Size());
    W += (FStyle == bsMenu ? 4 : 1) + TextSize(&Marlett, "u").cx;
  }
  if (FStyle == bsMenu || FStyle == bsTab) ++H;
  ContentWidth = W;
  ContentHeight = H;
  if (KeepSize || FStyle == bsSpacing) return;
  const int Margin = Bar != nullptr ? Bar->ItemsMargin() : 3;
  FWidth = std::max(16, 2 * (Margin + (FStyle == bsMenu ? 4 : 0)) + W);
  FHeight = std::max(16, 2 * Margin + H);
}

void TvkTitleBarItem::Changed(bool Remeasure) {
  TsTitleBar* Bar = TitleBar();
  if (Bar == nullptr || FormLoading(Bar)) return;
  if (Remeasure && FAutoSize) Measure(false);
  if (Animation != nullptr) Animation->FreeImages();
  if (Bar->GroupUpdating) return;
  const HWND W = FormWindowOf(Bar);
  if (W != nullptr && SendSkinCommand(W, VKCMD_QUERY_UPDATE_STATE, 0) == 0) FormRefresh(W);
}

void TvkTitleBarItem::SetDown(bool Value) {
  if (Value == FDown) return;
  FDown = Value;
  HotState = Value ? 2 : 0;
  TsTitleBar* Bar = TitleBar();
  const bool Grouped = FStyle == bsTab ? FGroupIndex >= 0 : FGroupIndex != 0;
  if (Value && Grouped && Bar != nullptr)
    for (int i = 0; i < Bar->Items()->Count(); ++i) {
      TvkTitleBarItem* Other = Bar->Items()->Items(i);
      if (Other != this && Other->FGroupIndex == FGroupIndex && Other->FDown) {
        Other->FDown = false;
        Other->HotState = 0;
      }
    }
  Changed(false);
}

void TvkTitleBarItem::DoClick() {
  if (OnClick) OnClick(this);
}

// The handlers may free the item (delete it or rebuild the bar): nothing of it is touched after one of them, and
// the click fires last.
void TvkTitleBarItem::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  // only an open drop-down holds the item: a press let go off the form never comes back to free it
  if (MenuOpen || !FEnabled) return;
  Busy = true;
  TvkItemWatch Watch(this);
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
  if (Watch.Freed()) return;
  TsTitleBar* Bar = TitleBar();
  if ((FStyle == bsButton || FStyle == bsMenu) && FDropdownMenu != nullptr && FDropdownMenu->Items()->Count() > 0) {
    if (g_PopupOpen) {  // one drop-down at a time
      Busy = false;
      return;
    }
    POINT Origin{0, 0};
    if (const HWND W = AnimOwnerWnd != nullptr ? AnimOwnerWnd : ItemsOriginWindow(Bar)) {
      RECT R{};
      GetWindowRect(W, &R);
      Origin = POINT{R.left, R.top};
    }
    g_PopupOpen = true;
    MenuOpen = true;
    HideHint();
    Changed(false);
    auto Closed = [&] {
      g_PopupOpen = false;
      if (Watch.Freed()) return false;
      MenuOpen = false;
      Busy = false;
      return true;
    };
    // the chosen menu item's handler runs before Popup returns
    try {
      FDropdownMenu->Popup(Origin.x + Rect.Left, Origin.y + Rect.Bottom);
    } catch (...) {
      Closed();
      throw;
    }
    if (!Closed()) return;
    // the pointer still on the item shows it hot for a moment before it settles
    POINT C{};
    Platform().GetCursorPos(&C);
    const TRect OnScreen(Origin.x + Rect.Left, Origin.y + Rect.Top, Origin.x + Rect.Right, Origin.y + Rect.Bottom);
    if (C.x >= OnScreen.Left && C.x < OnScreen.Right && C.y >= OnScreen.Top && C.y < OnScreen.Bottom) {
      HotState = 1;
      Changed(false);
    }
    HotState = 0;
    Changed(false);
    DoClick();
    return;
  }
  if (FStyle == bsTab && !FDown) {
    if (FGroupIndex < 0) {
      Changed(false);
    } else {
      if (Bar != nullptr) {
        Bar->GroupUpdating = true;
        for (int i = 0; i < Bar->Items()->Count(); ++i) {
          TvkTitleBarItem* Other = Bar->Items()->Items(i);
          if (Other != this && Other->FVisible && Other->FDown && Other->FGroupIndex == FGroupIndex) Other->SetDown(false);
        }
        Bar->GroupUpdating = false;
      }
      SetDown(true);
    }
    DoClick();
  }
}

void TvkTitleBarItem::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!FEnabled) return;
  const bool Click = Button != mbRight && Busy && FStyle != bsTab;
  if (Button != mbRight) {
    Busy = false;
    HotState = 1;
  }
  TvkItemWatch Watch(this);
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
  if (Click && !Watch.Freed()) DoClick();
}

void TvkTitleBarItem::CancelPress() {
  Busy = false;
  if (!FDown) HotState = 0;
}

void TvkTitleBarItem::ShowHint() {
  if (HintWindow != nullptr || FHint.empty()) return;
  POINT C{};
  Platform().GetCursorPos(&C);
  const bool Plain = HintWindowClass == nullptr || HintWindowClass == THintWindow::StaticClassInfo();
  // the item owns the window whatever its class: HideHint frees it
  HintWindow = ShowHintWindow(FHint, POINT{C.x, C.y + (Plain ? 0 : 16)});
}

void TvkTitleBarItem::HideHint() {
  if (HintWindow == nullptr) return;
  THintWindow* H = HintWindow;
  HintWindow = nullptr;
  H->Free();
}

void TvkTitleBarItem::Animate(int StepCount, bool FadeIn, HWND Window) {
  const int S = GetState();
  if (Animation == nullptr) {
    TsTitleBar* Bar = TitleBar();
    Animation = Create<TvkItemAnimation>(Bar != nullptr ? static_cast<TComponent*>(Bar->Form()) : nullptr);
    Animation->Item = this;
  } else if ((S == 1 && Animation->State == 2) || S == 2) {
    Animation->DropImage();
  }
  if (FadeIn) Animation->State = -1;
  // a finished fade left -1: every start counts again
  Animation->StepCount = std::max(StepCount, 1);
  Animation->SetInterval(kTitleFadeInterval);
  Animation->FadingIn = FadeIn;
  Animation->OwnerWnd = Window;
  AnimOwnerWnd = Window;
  Animation->StartState(S, FadeIn);
}

void TvkTitleBarItem::ChangeScale(int Percent, int OldPercent) {
  if (OldPercent <= 0 || Percent == OldPercent) return;
  if (!FAutoSize || FStyle == bsSpacing) {
    FWidth = MulDiv(FWidth, Percent, OldPercent);
    FHeight = MulDiv(FHeight, Percent, OldPercent);
  } else {
    Measure(false);
  }
}

void TvkTitleBarItem::AssignTo(TPersistent* Dest) {
  auto* D = dynamic_cast<TvkTitleBarItem*>(Dest);
  if (D == nullptr) {
    TCollectionItem::AssignTo(Dest);
    return;
  }
  D->FAutoSize = FAutoSize;
  D->FAlign = FAlign;
  D->FCaption = FCaption;
  D->FEnabled = FEnabled;
  D->FGlyph->Assign(FGlyph);
  D->FGroupIndex = FGroupIndex;
  D->FHint = FHint;
  D->FImageIndex[0] = FImageIndex[0];
  D->FName = FName;
  D->FNumGlyphs = FNumGlyphs;
  D->FStyle = FStyle;
  D->FVisible = FVisible;
  D->OnMouseUp = OnMouseUp;
  D->OnMouseDown = OnMouseDown;
}

TvkTitleItems::TvkTitleItems(TsTitleBar* Bar) : TCollection(TvkTitleBarItem::StaticClassInfo()), FBar(Bar) {}

TPersistent* TvkTitleItems::GetOwner() { return FBar; }

// ===================================================================== the bar

TsTitleBar::TsTitleBar(TComponent* AOwner) : TComponent(AOwner) {
  FForm = dynamic_cast<TCustomForm*>(AOwner);
  if (FForm == nullptr) throw Exception("TsTitleBar component may be used with forms only!");
  FItems = new TvkTitleItems(this);
  FLink = new TChangeLink();
  FLink->OnChange = TNotifyEvent(this, &TsTitleBar::ImagesChanged);
  FMenuBtn = LoadMenuButtonBitmap();
}

TsTitleBar::~TsTitleBar() {
  if (FImages != nullptr) FImages->UnRegisterChanges(FLink);
  delete FItems;
  delete FMenuBtn;
  delete FLink;
}

void TsTitleBar::Loaded() {
  TComponent::Loaded();
  for (int i = 0; i < FItems->Count(); ++i)
    if (FItems->Items(i)->AutoSize()) FItems->Items(i)->Measure(false);
}

void TsTitleBar::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) FImages = nullptr;
  for (int i = 0; i < FItems->Count(); ++i)
    if (FItems->Items(i)->DropdownMenu() == AComponent) FItems->Items(i)->SetDropdownMenu(nullptr);
}

void TsTitleBar::SetImages(TCustomImageList* Value) {
  if (FImages != nullptr) FImages->UnRegisterChanges(FLink);
  FImages = Value;
  if (FImages != nullptr) {
    FImages->RegisterChanges(FLink);
    FImages->FreeNotification(this);
  }
  ImagesChanged(this);
  ArrangeItems();
}

void TsTitleBar::ImagesChanged(TObject*) {
  for (int i = 0; i < FItems->Count(); ++i)
    if (FItems->Items(i)->AutoSize()) FItems->Items(i)->Measure(false);
  Repaint();
}

void TsTitleBar::SetShowCaption(bool Value) {
  if (Value == FShowCaption) return;
  FShowCaption = Value;
  Repaint();
}

void TsTitleBar::Repaint() {
  if (FormLoading(this)) return;
  FormRefresh(FormWindowOf(this));
}

void TsTitleBar::ChangeScale(int Percent) {
  for (int i = 0; i < FItems->Count(); ++i) FItems->Items(i)->ChangeScale(Percent, ScalePercent);
  ArrangeItems();
  ScalePercent = Percent;
}

void TsTitleBar::ArrangeItems() {
  std::fill(std::begin(Totals), std::end(Totals), 0);
  Totals[tbaRight] = FRightSpacing;
  for (int i = 0; i < FItems->Count(); ++i)
    if (TvkTitleBarItem* It = FItems->Items(i); It->Visible()) Totals[It->Align()] += It->Width();
  int X[4];
  X[tbaLeft] = Area.Left;
  X[tbaCenter] = Area.Left + (RightLimit - Area.Left - Totals[tbaCenter]) / 2;
  X[tbaCenterInSpace] = Area.Left + Totals[tbaLeft] +
                        (Area.Right - Area.Left - Totals[tbaRight] - Totals[tbaLeft] - Totals[tbaCenterInSpace]) / 2;
  X[tbaRight] = Area.Right - Totals[tbaRight];
  for (int i = 0; i < FItems->Count(); ++i) {
    TvkTitleBarItem* It = FItems->Items(i);
    if (!It->Visible()) continue;
    It->Rect.Left = X[It->Align()];
    X[It->Align()] += It->Width();
    PlaceItem(It);
  }
}

void TsTitleBar::PlaceItem(TvkTitleBarItem* Item) {
  Item->Rect.Right = Item->Rect.Left + Item->Width();
  switch (Item->Style()) {
    case bsMenu: Item->Rect.Top = Area.Top; break;
    case bsTab: Item->Rect.Top = Area.Bottom - Item->Height(); break;
    default: Item->Rect.Top = CentreLine - Item->Height() / 2; break;
  }
  Item->Rect.Bottom = Item->Rect.Top + Item->Height();
}

// ===================================================================== bitmaps

void DrawNinePartBitmap(TBitmap* Dest, TBitmap* Source, const TRect& S, const TRect& B, const TRect& D) {
  HDC DD = Dest->Canvas()->Handle(), SD = Source->Canvas()->Handle();
  GdiFlush();
  // corners are copied pixel by pixel: whatever lies outside either bitmap is left out
  auto Inside = [](TBitmap* B, int X, int Y) { return X >= 0 && Y >= 0 && X < B->Width() && Y < B->Height(); };
  auto Corner = [&](int DX, int DY, int SX, int SY, int W, int H) {
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        if (!Inside(Source, SX + x, SY + y) || !Inside(Dest, DX + x, DY + y)) continue;
        const uint32_t P = GetPixel32(Source, SX + x, SY + y);
        if ((P & 0xFFFFFF) != 0xFF00FF) PutPixel32(Dest, DX + x, DY + y, P);
      }
  };
  Corner(D.Left, D.Top, S.Left, S.Top, B.Left, B.Top);
  Corner(D.Right - B.Right, D.Top, S.Right - B.Right, S.Top, B.Right, B.Top);
  Corner(D.Left, D.Bottom - B.Bottom, S.Left, S.Bottom - B.Bottom, B.Left, B.Bottom);
  Corner(D.Right - B.Right, D.Bottom - B.Bottom, S.Right - B.Right, S.Bottom - B.Bottom, B.Right, B.Bottom);
  SetStretchBltMode(DD, COLORONCOLOR);
  const int SMW = S.Width() - B.Left - B.Right, SMH = S.Height() - B.Top - B.Bottom;
  const int DMW = D.Width() - B.Left - B.Right, DMH = D.Height() - B.Top - B.Bottom;
  auto Stretch = [&](int DX, int DY, int DW, int DH, int SX, int SY, int SW, int SH) {
    if (DW > 0 && DH > 0 && SW > 0 && SH > 0) StretchBlt(DD, DX, DY, DW, DH, SD, SX, SY, SW, SH, SRCCOPY);
  };
  Stretch(D.Left + B.Left, D.Top, DMW, B.Top, S.Left + B.Left, S.Top, SMW, B.Top);
  Stretch(D.Left + B.Left, D.Bottom - B.Bottom, DMW, B.Bottom, S.Left + B.Left, S.Bottom - B.Bottom, SMW, B.Bottom);
  Stretch(D.Left, D.Top + B.Top, B.Left, DMH, S.Left, S.Top + B.Top, B.Left, SMH);
  Stretch(D.Right - B.Right, D.Top + B.Top, B.Right, DMH, S.Right - B.Right, S.Top + B.Top, B.Right, SMH);
  Stretch(D.Left + B.Left, D.Top + B.Top, DMW, DMH, S.Left + B.Left, S.Top + B.Top, SMW, SMH);
}

TBitmap* LoadMenuButtonBitmap() {
  HBITMAP H = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), "MENUBTN", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (H == nullptr) return nullptr;
  BITMAP Info{};
  GetObjectA(H, sizeof Info, &Info);
  TBitmap* B = NewBitmap32(Info.bmWidth, std::abs(Info.bmHeight));
  // the bytes as stored, alpha included (a blit may not carry the alpha byte)
  BITMAPINFO BI{};
  BI.bmiHeader.biSize = sizeof BI.bmiHeader;
  BI.bmiHeader.biWidth = B->Width();
  BI.bmiHeader.biHeight = -B->Height();
  BI.bmiHeader.biPlanes = 1;
  BI.bmiHeader.biBitCount = 32;
  BI.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> Bits(static_cast<size_t>(B->Width()) * B->Height());
  HDC DC = GetDC(nullptr);
  const int Rows = GetDIBits(DC, H, 0, B->Height(), Bits.data(), &BI, DIB_RGB_COLORS);
  ReleaseDC(nullptr, DC);
  DeleteObject(H);
  if (Rows != B->Height()) {
    delete B;
    return nullptr;
  }
  for (int y = 0; y < B->Height(); ++y)
    std::copy_n(Bits.data() + static_cast<size_t>(y) * B->Width(), B->Width(), static_cast<uint32_t*>(B->ScanLine(y)));
  for (int y = 0; y < B->Height(); ++y) {
    auto* Row = static_cast<uint32_t*>(B->ScanLine(y));
    for (int x = 0; x < B->Width(); ++x) {
      uint32_t& P = Row[x];
      if ((P & 0xFFFFFF) == 0xFF00FF) continue;
      // the resource keeps transparency as inverted alpha
      const uint32_t A = 255 - (P >> 24);
      auto C = [&](int Shift) { return (((P >> Shift) & 0xFF) * A / 256) << Shift; };
      P = (A << 24) | C(16) | C(8) | C(0);
    }
  }
  return B;
}

// ===================================================================== the provider's side

namespace {

TsTitleBar* BarOf(TsSkinProvider* P) { return P != nullptr ? P->TitleBar() : nullptr; }

// Steps of an item's fade, as a title button's.
constexpr int kItemFadeSteps = 10;

}  // namespace

void AnimateTitleBarItem(TsSkinProvider* P, TvkTitleBarItem* It, bool FadeIn) {
  // the fade runs over the border window when there is one, else over the form
  HWND W = P->Form() != nullptr && P->Form()->HandleAllocated() ? P->Form()->Handle() : nullptr;
  if (TvkBorderForm* B = P->BorderForm(); B != nullptr && FormServices.BorderLayeredWindow)
    if (TvkGlowForm* L = FormServices.BorderLayeredWindow(B); L != nullptr && L->HandleAllocated()) W = L->Handle();
  if (W != nullptr) It->Animate(kItemFadeSteps, FadeIn, W);
}

void InstallTitleBarParts() {
  ProviderParts.TitleBarItemCount = [](TsTitleBar* Bar) { return Bar->Items()->Count(); };
  ProviderParts.LayoutTitleBar = [](TsSkinProvider* P, const TRect& Area, int RightLimit, int CentreLine) {
    TsTitleBar* Bar = BarOf(P);
    if (Bar == nullptr) return;
    Bar->Area = Area;
    bool LeftItems = false;
    for (int i = 0; i < Bar->Items()->Count(); ++i)
      LeftItems = LeftItems || (Bar->Items()->Items(i)->Visible() && Bar->Items()->Items(i)->Align() == tbaLeft);
    if (P->HasTitleIcon() && LeftItems) Bar->Area.Left += 6;
    Bar->RightLimit = RightLimit;
    Bar->CentreLine = CentreLine;
    const HWND W = P->Form() != nullptr && P->Form()->HandleAllocated() ? P->Form()->Handle() : nullptr;
    for (int i = 0; i < Bar->Items()->Count(); ++i) Bar->Items()->Items(i)->FontData()->FormWnd = W;
    Bar->ArrangeItems();
  };
  ProviderParts.TitleBarItemMouse = [](TsSkinProvider* P, int Index, bool Down, int X, int Y) {
    TsTitleBar* Bar = BarOf(P);
    if (Bar == nullptr || Index < 0 || Index >= Bar->Items()->Count()) return;
    TvkTitleBarItem* It = Bar->Items()->Items(Index);
    if (Down) It->MouseDown(mbLeft, TShiftState{}, X, Y);
    else It->MouseUp(mbLeft, TShiftState{}, X, Y);
  };
  ProviderParts.TitleBarItemHot = [](TsSkinProvider* P, int Index, bool Hot) {
    TsTitleBar* Bar = BarOf(P);
    if (Bar == nullptr || Index < 0 || Index >= Bar->Items()->Count()) return;
    TvkTitleBarItem* It = Bar->Items()->Items(Index);
    // spacers and texts are never hot; a disabled item neither enters nor tells that it leaves
    if (It->Style() == bsSpacing || It->Style() == bsInfo || (Hot && !It->Enabled())) return;
    // the handlers may free the item
    TvkItemWatch Watch(It);
    if (Hot) {
      if (It->OnMouseEnter) It->OnMouseEnter(It);
      if (Watch.Freed()) return;
      P->StartItemHint(It);
    } else {
      P->StopItemHint();
      if (It->Enabled() && It->OnMouseLeave) It->OnMouseLeave(It);
      if (Watch.Freed()) return;
      It->HideHint();
    }
    It->HotState = Hot ? 1 : 0;
    if (Hot || It->Animation != nullptr) AnimateTitleBarItem(P, It, Hot);
  };
}

void RemoveTitleBarParts() {
  ProviderParts.TitleBarItemCount = nullptr;
  ProviderParts.LayoutTitleBar = nullptr;
  ProviderParts.TitleBarItemMouse = nullptr;
  ProviderParts.TitleBarItemHot = nullptr;
}
