// The skinned menus' entries of the engine's form-services table.
#include <algorithm>
#include <cstring>
#include <vector>

#include "skin/core/vkFormServices.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinMenusUnit.h"

namespace {

// Watches the posted items for their destruction.
class TvkPostedItems : public TComponent {
public:
  TvkPostedItems() : TComponent(nullptr) {}
  void Add(TMenuItem* Item) {
    if (std::find(FItems.begin(), FItems.end(), Item) != FItems.end()) return;
    FItems.push_back(Item);
    Item->FreeNotification(this);
  }
  bool Take(const void* Item) {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It == FItems.end()) return false;
    TMenuItem* Live = *It;
    FItems.erase(It);
    Live->RemoveFreeNotification(this);
    return true;
  }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) FItems.erase(std::remove(FItems.begin(), FItems.end(), AComponent), FItems.end());
  }

private:
  std::vector<TMenuItem*> FItems;
};
TvkPostedItems* g_Posted = nullptr;

bool IsPopupMenuWindow(HWND Wnd) {
  char Name[16] = {};
  return Wnd != nullptr && GetClassNameA(Wnd, Name, sizeof(Name)) > 0 && std::strcmp(Name, "#32768") == 0;
}

// The position of the item's entry in its parent's menu, -1 when it has none.
int EntryPosition(HMENU Menu, TMenuItem* Item) {
  const int N = GetMenuItemCount(Menu);
  for (int i = 0; i < N; ++i) {
    MENUITEMINFOA Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = MIIM_ID;
    if (GetMenuItemInfoA(Menu, static_cast<UINT>(i), TRUE, &Info) && Info.wID == Item->Command()) return i;
  }
  return -1;
}

void ShapePopupOfWindow(TsSkinableMenus* Painter, HWND Wnd) {
  TMenuBgCacheRecord Rec;
  Painter->GetPopupBackground(nullptr, 0, Rec, Wnd, nullptr, 0);
  if (Rec.Background != nullptr) Painter->ApplyPopupShape(Wnd, Rec);
}

void ShapePopupOfItem(TsSkinableMenus* Painter, void* Object) {
  if (!TakePostedItem(Object)) return;
  auto* Item = static_cast<TMenuItem*>(Object);
  if (Item->Parent() == nullptr) return;
  const HMENU Menu = Item->Parent()->Handle();
  const int Pos = Menu != nullptr ? EntryPosition(Menu, Item) : -1;
  if (Pos < 0) return;
  // Without a window only a shown popup menu answers; an item of the main form's menu needs that form's window.
  RECT R{};
  bool Found = GetMenuItemRect(nullptr, Menu, static_cast<UINT>(Pos), &R) != FALSE;
  TCustomForm* Main = Application != nullptr ? Application->MainForm() : nullptr;
  if (!Found && Main != nullptr && Main->HandleAllocated())
    Found = GetMenuItemRect(Main->Handle(), Menu, static_cast<UINT>(Pos), &R) != FALSE;
  if (!Found) return;
  const HWND Wnd = WindowFromPoint(POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2});
  if (!IsPopupMenuWindow(Wnd)) return;
  TMenuBgCacheRecord Rec;
  Painter->GetPopupBackground(Item, 0, Rec, nullptr, nullptr, 0);
  if (Rec.Background == nullptr) Painter->GetPopupBackground(nullptr, 0, Rec, Wnd, nullptr, 0);
  if (Rec.Background != nullptr) Painter->ApplyPopupShape(Wnd, Rec);
}

}  // namespace

void RememberPostedItem(TMenuItem* Item) {
  if (g_Posted != nullptr && Item != nullptr) g_Posted->Add(Item);
}

bool TakePostedItem(const void* Item) { return g_Posted != nullptr && g_Posted->Take(Item); }

void SkinMenusInitialize() {
  MenuBackgroundsInitialize();
  if (g_Posted == nullptr) g_Posted = new TvkPostedItems();
  TvkFormServices& S = FormServices;
  S.CreateSkinableMenus = [](TsSkinManager* M) { return new TsSkinableMenus(M); };
  S.FreeSkinableMenus = [](TsSkinableMenus* P) { P->Free(); };
  S.ResetMenuSectionIndex = [](TsSkinableMenus* P) { P->SetSkinBorderWidth(-1); };
  S.InitPopupMenu = [](TsSkinableMenus* P, TMenu* Menu, bool Active) {
    if (auto* Popup = As<TPopupMenu>(Menu))
      P->InitPopupMenu(Popup, Active);
    else if (auto* Main = As<TMainMenu>(Menu))
      P->InitMainMenu(Main, Active);
  };
  S.SyncMenusActive = [](TsSkinableMenus* P) { P->SyncActive(); };
  S.ApplyToAllMenus = [](TsSkinableMenus* P, bool Value) { P->ApplyToAllMenus(Value); };
  S.SkinPopupMenuWindow = ShapePopupOfWindow;
  S.SkinPopupMenuItem = ShapePopupOfItem;
  S.PopupWindowBackground = [](TsSkinableMenus* P, HWND Wnd) -> TBitmap* {
    TMenuBgCacheRecord Rec;
    P->GetPopupBackground(nullptr, 0, Rec, Wnd, nullptr, 0);
    return Rec.Background;
  };
  S.ForgetPopupWindow = ForgetMenuBgWindow;
  ProviderParts.InitMainMenu = [](TsSkinableMenus* P, TMainMenu* Menu, bool Skin) { P->InitMainMenu(Menu, Skin); };
}

void SkinMenusFinalize() {
  TvkFormServices& S = FormServices;
  S.CreateSkinableMenus = nullptr;
  S.FreeSkinableMenus = nullptr;
  S.ResetMenuSectionIndex = nullptr;
  S.InitPopupMenu = nullptr;
  S.SyncMenusActive = nullptr;
  S.ApplyToAllMenus = nullptr;
  S.SkinPopupMenuWindow = nullptr;
  S.SkinPopupMenuItem = nullptr;
  S.PopupWindowBackground = nullptr;
  S.ForgetPopupWindow = nullptr;
  ProviderParts.InitMainMenu = nullptr;
  if (g_Posted != nullptr) g_Posted->Free();
  g_Posted = nullptr;
  MenuBackgroundsFinalize();
}
