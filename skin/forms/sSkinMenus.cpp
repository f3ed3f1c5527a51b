#include "skin/forms/sSkinMenus.h"

#include "framework/Forms.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"

IMPLEMENT_CLASS(TsSkinableMenus)

char CaptionMarker = '-';
int MenuDisabledBlend = 100;
bool (*SysLocaleMiddleEast)() = [] { return GetSystemMetrics(SM_MIDEASTENABLED) != 0; };

namespace {

// The painter's handlers named by their code alone: a handler of any painter object matches.
TAdvancedMenuDrawItemEvent PopupDrawCode() {
  return TAdvancedMenuDrawItemEvent(nullptr, &TsSkinableMenus::DrawPopupItem);
}
TMenuMeasureItemEvent PopupMeasureCode() { return TMenuMeasureItemEvent(nullptr, &TsSkinableMenus::MeasurePopupItem); }
TAdvancedMenuDrawItemEvent BarDrawCode() { return TAdvancedMenuDrawItemEvent(nullptr, &TsSkinableMenus::DrawBarItem); }
TMenuMeasureItemEvent BarMeasureCode() { return TMenuMeasureItemEvent(nullptr, &TsSkinableMenus::MeasureBarItem); }

bool Destroying(const TComponent* C) { return C->ComponentState().Contains(csDestroying); }

}  // namespace

TsSkinableMenus::TsSkinableMenus(TsSkinManager* Manager) : FSkinManager(Manager), FCaptionFont(new TFont()) {}

TsSkinableMenus::~TsSkinableMenus() {
  FSkinManager = nullptr;
  FCaptionFont->Free();
}

TFont* TsSkinableMenus::CaptionFont() const {
  if (MenuFont != nullptr) return MenuFont;
  return Screen != nullptr ? Screen->MenuFont() : nullptr;
}

void TsSkinableMenus::SetCaptionFont(TFont* Value) { FCaptionFont->Assign(Value); }

int TsSkinableMenus::MainMenuBorderMask() const {
  if (FSkinManager == nullptr) return -1;
  const int S = FSkinManager->ConstData().Sections[ssMainMenu];
  if (!FSkinManager->SectionIndexInRange(S)) return -1;
  const int B = FSkinManager->gd()[S].BorderIndex;
  return FSkinManager->MaskIndexInRange(B) ? B : -1;
}

int TsSkinableMenus::SectionOf(int StdIndex) const {
  if (FSkinManager == nullptr) return -1;
  const int S = FSkinManager->ConstData().Sections[StdIndex];
  return FSkinManager->SectionIndexInRange(S) ? S : -1;
}

int TsSkinableMenus::SkinBorderWidth() {
  if (FSkinBorderWidth < 0) {
    const int B = MainMenuBorderMask();
    if (B >= 0) {
      FSkinBorderWidth = FSkinManager->ma()[B].BorderWidth;
      if (FSkinBorderWidth < 1) FSkinBorderWidth = 3;
    } else {
      FSkinBorderWidth = 0;
    }
  }
  return FSkinBorderWidth;
}

int TsSkinableMenus::PopupBorderWidth() const { return MainMenuBorderMask() >= 0 ? BorderWidth : 0; }
bool TsSkinableMenus::NoPopupBorderMask() const { return MainMenuBorderMask() < 0; }

void TsSkinableMenus::SetActive(bool Value) {
  if (Value != FActive) ApplyToAllMenus(Value);
}

void TsSkinableMenus::SyncActive() {
  if (FSkinManager != nullptr) SetActive(FSkinManager->SkinData().Active);
}

namespace {

void WalkOwned(TComponent* Owner, TsSkinableMenus* Painter, bool Value, bool Popups) {
  for (int i = 0; i < Owner->ComponentCount(); ++i) {
    TComponent* C = Owner->Components(i);
    if (auto* Main = As<TMainMenu>(C)) {
      Painter->InitMainMenu(Main, Value);
      for (int j = 0; j < Main->Items()->Count(); ++j) Painter->InitItemTree(Main->Items()->Items(j), Value && Popups);
    } else if (auto* Popup = As<TPopupMenu>(C)) {
      Painter->InitPopupMenu(Popup, Value && Popups);
    } else if (auto* Item = As<TMenuItem>(C)) {
      TMenu* Menu = Item->GetParentMenu();
      if (Menu == nullptr || !Menu->Is<TMainMenu>()) Painter->InitItemTree(Item, Value && Popups);
    }
    WalkOwned(C, Painter, Value, Popups);
  }
}

}  // namespace

void TsSkinableMenus::ApplyToAllMenus(bool Value) {
  FActive = Value;
  if (FSkinManager == nullptr || FSkinManager->ComponentState().Contains(csDesigning) || Application == nullptr) return;
  WalkOwned(Application, this, Value, FSkinManager->SkinnedPopups());
}

namespace {

// The popup-item handler rule for one item: activating fills only empty handlers, deactivating clears only ours.
void ApplyPopupHandlers(TsSkinableMenus* Painter, TMenuItem* Item, bool Activate) {
  if (Activate) {
    if (!Item->OnAdvancedDrawItem.Assigned())
      Item->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent(Painter, &TsSkinableMenus::DrawPopupItem);
    if (!Item->OnMeasureItem.Assigned())
      Item->OnMeasureItem = TMenuMeasureItemEvent(Painter, &TsSkinableMenus::MeasurePopupItem);
  } else {
    if (Item->OnAdvancedDrawItem.SameCode(PopupDrawCode())) Item->OnAdvancedDrawItem.Clear();
    if (Item->OnMeasureItem.SameCode(PopupMeasureCode())) Item->OnMeasureItem.Clear();
  }
}

void ApplyPopupHandlersDeep(TsSkinableMenus* Painter, TMenuItem* Item, bool Activate) {
  for (int i = 0; i < Item->Count(); ++i) {
    TMenuItem* Child = Item->Items(i);
    ApplyPopupHandlers(Painter, Child, Activate);
    ApplyPopupHandlersDeep(Painter, Child, Activate);
  }
}

}  // namespace

void TsSkinableMenus::InitPopupMenu(TPopupMenu* Menu, bool Activate) {
  if (Menu == nullptr) return;
  Menu->SetOwnerDraw(Activate && FSkinManager != nullptr && FSkinManager->SkinnedPopups());
  TMenuAnimation A = Menu->MenuAnimation();
  if (Activate)
    A += maNone;
  else
    A -= maNone;
  Menu->SetMenuAnimation(A);
  ApplyPopupHandlersDeep(this, Menu->Items(), Activate);
}

void TsSkinableMenus::InitMainMenu(TMainMenu* Menu, bool Activate) {
  if (Menu == nullptr || Destroying(Menu)) return;
  TMenuItem* Root = Menu->Items();
  for (int i = 0; i < Root->Count(); ++i) {
    TMenuItem* Item = Root->Items(i);
    if (Activate) {
      // The manager's own activity decides, whatever this painter was last told.
      if (FSkinManager == nullptr || !FSkinManager->Active()) continue;
      // Without skinned popups the bar keeps the system's look: nothing is touched.
      if (!FSkinManager->SkinnedPopups()) return;
      Item->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent(this, &TsSkinableMenus::DrawBarItem);
      Item->OnMeasureItem = TMenuMeasureItemEvent(this, &TsSkinableMenus::MeasureBarItem);
    } else {
      if (Item->OnAdvancedDrawItem.SameCode(BarDrawCode())) Item->OnAdvancedDrawItem.Clear();
      if (Item->OnMeasureItem.SameCode(BarMeasureCode())) Item->OnMeasureItem.Clear();
    }
  }
  if (Root->Count() > 0) Menu->SetOwnerDraw(Activate);
}

void TsSkinableMenus::InitMenuItem(TMenuItem* Item, bool Activate) {
  if (Item == nullptr) return;
  if (!Activate) {
    ApplyPopupHandlers(this, Item, false);
    return;
  }
  if (IsMainMenuTopItem(Item)) {
    Item->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent(this, &TsSkinableMenus::DrawBarItem);
    Item->OnMeasureItem = TMenuMeasureItemEvent(this, &TsSkinableMenus::MeasureBarItem);
  } else if (FSkinManager != nullptr && FSkinManager->SkinnedPopups()) {
    ApplyPopupHandlers(this, Item, true);
  }
}

void TsSkinableMenus::InitItemTree(TMenuItem* Item, bool Activate) {
  if (Item == nullptr) return;
  for (int i = 0; i < Item->Count(); ++i) {
    TMenuItem* Child = Item->Items(i);
    if (!(Activate && IsMainMenuTopItem(Child))) ApplyPopupHandlers(this, Child, Activate);
    InitItemTree(Child, Activate);
  }
}

bool TsSkinableMenus::IsMainMenuTopItem(TMenuItem* Item) const {
  if (Item == nullptr) return false;
  TMenu* Menu = Item->GetParentMenu();
  return Menu != nullptr && Menu->Is<TMainMenu>() && Item->Parent() == Menu->Items();
}

bool TsSkinableMenus::IsCaptionItem(TMenuItem* Item) const {
  // An empty caption has no first or last character to compare.
  const std::string& C = Item->Caption();
  return !C.empty() && C.front() == CaptionMarker && C.back() == CaptionMarker;
}

void TsSkinableMenus::ApplyItemFont(TCanvas* Canvas, TMenuItem* Item, bool UseCaptionFont, bool Bold) {
  TFont* F = Canvas->Font();
  if (MenuFont != nullptr)
    F->Assign(MenuFont);
  else if (UseCaptionFont && CaptionFont() != nullptr)
    F->Assign(CaptionFont());
  else if (Screen != nullptr && Screen->MenuFont() != nullptr)
    F->Assign(Screen->MenuFont());
  if (TMenu* Menu = Item != nullptr ? Item->GetParentMenu() : nullptr)
    if (TCustomForm* Form = FindOwnerForm(Menu)) F->SetCharset(Form->Font()->Charset());
  if (Bold) F->SetStyle(TFontStyles{fsBold});
  if (FSkinManager != nullptr) F->SetHeight(FSkinManager->ApplyScale(F->Height(), 0));
}

int TsSkinableMenus::ExtraLineWidthFor(const TMenuBgCacheRecord& Rec) const {
  if (FSkinManager == nullptr || !FSkinManager->MenuSupport()->UseExtraLine() || !Rec.ExtraLine) return 0;
  return FSkinManager->ApplyScale(FSkinManager->MenuSupport()->ExtraLineWidth(), 0);
}

// ---- item helpers ----

void ItemGlyphSize(TMenuItem* Item, bool BitmapOnly, TSize& Size) {
  Size = TSize{0, 0};
  TBitmap* B = Item->Bitmap();
  if (!B->Empty()) {
    Size = TSize{B->Width(), B->Height()};
    return;
  }
  if (BitmapOnly) return;
  if (Item->Parent() != nullptr && Item->Parent()->SubMenuImages() != nullptr) {
    Size = TSize{Item->Parent()->SubMenuImages()->Width(), 0};
    return;
  }
  TMenu* Menu = Item->GetParentMenu();
  if (Menu != nullptr && Menu->Images() != nullptr) {
    Size = TSize{Menu->Images()->Width(), Menu->Images()->Height()};
    return;
  }
  Size = TSize{DefaultMenuGlyphSize, DefaultMenuGlyphSize};
}

bool HasBreakBefore(TMenuItem* Item) {
  TMenuItem* P = Item->Parent();
  if (P == nullptr) return false;
  const int Own = P->IndexOf(Item);
  for (int i = 1; i <= Own; ++i)
    if (P->Items(i)->Break() != mbNone) return true;
  return false;
}

bool IsFirstVisibleItem(TMenuItem* Item) {
  TMenuItem* P = Item->Parent();
  if (P == nullptr) return false;
  for (int i = 0; i < P->Count(); ++i)
    if (P->Items(i)->Visible()) return P->Items(i) == Item;
  return false;
}

bool IsLastVisibleItem(TMenuItem* Item) {
  TMenuItem* P = Item->Parent();
  if (P == nullptr) return false;
  for (int i = P->Count() - 1; i >= 0; --i)
    if (P->Items(i)->Visible()) return P->Items(i) == Item;
  return false;
}

std::string ItemShortCutText(TMenuItem* Item) { return Item->ShortCut() != 0 ? ShortCutToText(Item->ShortCut()) : ""; }

bool MenuRightToLeft(TMenuItem* Item) {
  if (!SysLocaleMiddleEast()) return false;
  TMenu* Menu = Item->GetParentMenu();
  return Menu != nullptr && Menu->BiDiMode() != bdLeftToRight;
}
