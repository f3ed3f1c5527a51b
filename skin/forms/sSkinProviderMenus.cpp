// The form's menus as the skinner sees them: the menu bar drawn into the menu line of the frame cache, the
// menus set up for the skinned-menu painter, and an MDI parent's window list.
#include <algorithm>

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProviderUnit.h"

namespace {

constexpr int kWindowListTag = 0x200;

// The framework item behind entry Pos of a bar (nil for the system's own entries, e.g. a maximised MDI child's
// system-menu icon and buttons).
TMenuItem* BarEntryItem(TMenu* Menu, HMENU Bar, int Pos) {
  if (HMENU Sub = GetSubMenu(Bar, Pos)) return Menu->FindItem(reinterpret_cast<UINT_PTR>(Sub), fkHandle);
  const UINT Id = GetMenuItemID(Bar, Pos);
  return Id != static_cast<UINT>(-1) ? Menu->FindItem(Id, fkCommand) : nullptr;
}

}  // namespace

TMainMenu* FormMainMenu(TCustomForm* Form) { return Form != nullptr ? Form->Menu() : nullptr; }
int MenuItemCount(TMenu* Menu) { return Menu != nullptr ? Menu->Items()->Count() : 0; }
bool MenuOwnerDraw(TMainMenu* Menu) { return Menu != nullptr && Menu->OwnerDraw(); }
bool MenuAutoMerge(TMainMenu* Menu) { return Menu != nullptr && Menu->AutoMerge(); }

void RebuildMenuBar(TMainMenu* Menu) {
  if (Menu == nullptr || Menu->Items()->Count() == 0) return;
  Menu->Items()->Items(0)->MenuChanged(true);
  Menu->AdjustBiDiBehavior();
}

void SkinMenusOf(TCustomForm* Form, TsSkinManager* Manager, bool Bar, bool Popups) {
  TsSkinableMenus* Painter = Manager != nullptr ? Manager->SkinableMenus() : nullptr;
  if (Form == nullptr || Painter == nullptr) return;
  for (int i = 0; i < Form->ComponentCount(); ++i) {
    TComponent* C = Form->Components(i);
    if (auto* Main = As<TMainMenu>(C)) {
      Painter->InitMainMenu(Main, Bar);
      for (int j = 0; j < Main->Items()->Count(); ++j) Painter->InitMenuItem(Main->Items()->Items(j), Popups);
    } else if (auto* Popup = As<TPopupMenu>(C)) {
      Painter->InitPopupMenu(Popup, Popups);
    } else if (auto* Item = As<TMenuItem>(C)) {
      TMenu* Menu = Item->GetParentMenu();
      if (Menu != nullptr && Menu->Is<TMainMenu>())
        Painter->InitItemTree(Item, Popups);
      else
        Painter->InitMenuItem(Item, Popups);
    }
  }
}

void JoinSkinnedForms(TCustomForm* Form, bool Join) {
  if (Join)
    AddToSkinnedFormList(Form);
  else
    RemoveFromSkinnedFormList(Form);
}

// ---- the menu line ----

void TsSkinProvider::PaintMenuLineItems(const TRect& Band) {
  TsSkinManager* M = Manager();
  TMainMenu* Menu = FormMainMenu(FForm);
  TsSkinableMenus* Painter = M != nullptr ? M->SkinableMenus() : nullptr;
  const HWND W = FormHandle();
  if (Menu == nullptr || Painter == nullptr || W == nullptr) return;
  TBitmap* Cache = FSkinData->CacheBmp;
  TRect Mg;
  GetExtBorderMargins(Mg);
  // the maximised child's icon where the system keeps its system-menu entry; a child without one shows the program's
  if (FForm->FormStyle() == fsMDIForm && MDIChildShowsSysIcon()) {
    const int Size = MenuLineHeight() - 2;
    const HICON Own = FForm->ActiveMDIChild()->Icon()->Handle();
    DrawIconEx(Cache->Canvas()->Handle(), GetFrameWidth(true) + 1 + Mg.Left, Band.Top + 1,
               Own != nullptr ? Own : ProgramIconForSize(Size), Size, Size, 0, nullptr, DI_NORMAL);
  }
  if (!Menu->OwnerDraw()) InitMenuLine();
  const HMENU Bar = GetMenu(W);
  if (Bar == nullptr) return;
  RECT WR{};
  GetWindowRect(W, &WR);
  const int N = GetMenuItemCount(Bar);
  const TOwnerDrawState State{odNoAccel, odReserved1};
  for (int i = 0; i < N; ++i) {
    TMenuItem* Item = BarEntryItem(Menu, Bar, i);
    RECT IR{};
    if (Item == nullptr || !Item->Visible() || !Item->OnAdvancedDrawItem.Assigned() ||
        !GetMenuItemRect(W, Bar, static_cast<UINT>(i), &IR))
      continue;
    // the cache holds the whole window, inside a border window's margins and its extra frame and caption
    const int DX = Mg.Left + ExtraFrameWidth(), DY = Mg.Top + GetExtraCaptionHeight(FBorderForm);
    const TRect R(IR.left - WR.left + DX, IR.top - WR.top + DY, IR.right - WR.left + DX, IR.bottom - WR.top + DY);
    Painter->PaintingProvider = this;
    try {
      Item->OnAdvancedDrawItem(Item, Cache->Canvas(), R, State);
    } catch (...) {
      Painter->PaintingProvider = nullptr;
      throw;
    }
    Painter->PaintingProvider = nullptr;
  }
}

// ---- messages ----

void TsSkinProvider::WMMeasureItem(TMessage& Message) {
  TsSkinManager* M = Manager();
  auto* MI = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
  if (MI != nullptr && MI->CtlType == ODT_MENU && HasMenuLine() && M != nullptr && M->SkinableMenus() != nullptr &&
      FDrawNonClientArea)
    if (TMainMenu* Menu = FormMainMenu(FForm)) {
      if (TMenuItem* Item = Menu->FindItem(MI->itemID, fkCommand)) M->SkinableMenus()->InitMenuItem(Item, true);
    }
  CallOwnProc(Message);
}

void TsSkinProvider::WMInitMenuPopup(TMessage& Message) {
  TsSkinManager* M = Manager();
  if (M == nullptr || !M->SkinnedPopups()) {
    CallOwnProc(Message);
    return;
  }
  const HMENU Popup = reinterpret_cast<HMENU>(Message.WParam);
  if (HIWORD(Message.LParam) != 0)
    EnableMenuItem(Popup, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
  else
    SkinnedMenuShowing = false;
  TMenuItem* Window = FForm->WindowMenu();
  if (Window != nullptr)
    for (int i = Window->Count() - 1; i >= 0; --i)
      if ((Window->Items(i)->Tag() & kWindowListTag) != 0) Window->Items(i)->Free();
  if (Window == nullptr || FForm->FormStyle() != fsMDIForm || FForm->MDIChildCount() == 0 ||
      Popup != Window->Handle()) {
    CallOwnProc(Message);
    return;
  }
  RebuildWindowList(Popup);
  Message.Result = 0;
}

void TsSkinProvider::RebuildWindowList(HMENU Popup) {
  TMenuItem* Window = FForm->WindowMenu();
  for (int i = 0; i < Window->Count(); ++i) Window->Items(i)->InitiateAction();
  // the system's own list: its strings and separators. Entries of our items carry the item, so an item that is
  // not owner-drawn (a plain string too) is never taken out of its menu behind its back.
  for (int i = GetMenuItemCount(Popup) - 1; i >= 0; --i) {
    char Text[256] = {};
    MENUITEMINFOA Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = MIIM_FTYPE | MIIM_DATA;
    if (!GetMenuItemInfoA(Popup, static_cast<UINT>(i), TRUE, &Info) || Info.dwItemData != 0) continue;
    if (GetMenuStringA(Popup, static_cast<UINT>(i), Text, 255, MF_BYPOSITION) > 0 || (Info.fType & MFT_SEPARATOR) != 0)
      DeleteMenu(Popup, static_cast<UINT>(i), MF_BYPOSITION);
  }
  if (Window->Count() == 0 || Window->Items(Window->Count() - 1)->Caption() != "-") {
    auto* Line = new TMenuItem(Window);
    Line->SetCaption("-");
    Window->Add(Line);
  }
  TCustomForm* Active = FForm->ActiveMDIChild();
  for (int i = 0; i < FForm->MDIChildCount(); ++i) {
    TCustomForm* Child = FForm->MDIChildren(i);
    if (!Child->Visible()) continue;
    auto* Item = new TMenuItem(Window);
    Item->SetCaption(Child->Caption());
    Item->OnClick = TNotifyEvent(this, &TsSkinProvider::WindowListItemClick);
    Item->SetTag(i | kWindowListTag);
    Item->SetChecked(Child == Active);
    Window->Add(Item);
  }
}

void TsSkinProvider::WindowListItemClick(TObject* Sender) {
  auto* Item = As<TMenuItem>(Sender);
  if (Item == nullptr) return;
  const int Index = Item->Tag() & ~kWindowListTag;
  if (Index >= FForm->MDIChildCount()) return;
  TCustomForm* Child = FForm->MDIChildren(Index);
  // an MDI child comes to the front by being activated through the client; raising alone leaves it inactive
  if (FForm->ClientHandle() != nullptr && Child->HandleAllocated())
    SendMessageA(FForm->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Child->Handle()), 0);
  Child->BringToFront();
}

// ---- a bar item left hot, the menu loop of an MDI parent ----

namespace {

// One at a time in the process: only one menu loop runs.
TvkGlowForm* g_MenuLoopCover = nullptr;
TsSkinProvider* g_MenuLoopCoverOwner = nullptr;

}  // namespace

TCustomForm* TsSkinProvider::MenuLoopCover() { return g_MenuLoopCover; }

void FreeMenuLoopCover(TsSkinProvider* Owner) {
  if (g_MenuLoopCover == nullptr || (Owner != nullptr && Owner != g_MenuLoopCoverOwner)) return;
  TvkGlowForm* Cover = g_MenuLoopCover;
  g_MenuLoopCover = nullptr;
  g_MenuLoopCoverOwner = nullptr;
  Cover->Free();
}

void TsSkinProvider::NoteMenuBarItemDrawn(TMenuItem* Item, const TRect& R, TOwnerDrawState State) {
  if (State.Contains(odSelected) || State.Contains(odHotLight)) {
    FHotMenuItem = Item;
    FHotMenuRect = R;
  } else if (Item == FHotMenuItem) {
    FHotMenuItem = nullptr;
  }
}

void TsSkinProvider::RepaintMenuBarItem(TMenuItem* Item, const TRect& R, TOwnerDrawState State) {
  TMainMenu* Menu = FormMainMenu(FForm);
  TsSkinManager* M = Manager();
  TsSkinableMenus* Painter = M != nullptr ? M->SkinableMenus() : nullptr;
  TBitmap* Cache = FSkinData->CacheBmp;
  const HWND W = FormHandle();
  if (Menu == nullptr || W == nullptr || Cache == nullptr || Cache->Empty() || !MenuLineHasItems()) return;
  // Identity against the bar's own items: the item may have been freed since it was drawn, and a leaf item has
  // no menu handle to look it up by.
  if (Menu->Items()->IndexOf(Item) < 0 || !Item->OnAdvancedDrawItem.Assigned()) return;
  // R is the system bar's place on the window: the item is drawn where the cache holds that place
  const TPoint O = WindowOriginInCache();
  const TRect InCache(R.Left + O.X, R.Top + O.Y, R.Right + O.X, R.Bottom + O.Y);
  if (Painter != nullptr) Painter->PaintingProvider = this;
  try {
    Item->OnAdvancedDrawItem(Item, Cache->Canvas(), InCache, State);
  } catch (...) {
    if (Painter != nullptr) Painter->PaintingProvider = nullptr;
    throw;
  }
  if (Painter != nullptr) Painter->PaintingProvider = nullptr;
  const HDC DC = GetWindowDC(W);
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), Cache->Canvas()->Handle(), InCache.Left, InCache.Top, SRCCOPY);
  ReleaseDC(W, DC);
}

TPoint TsSkinProvider::MenuLoopCoverPoint() {
  const int F = GetWindowFrameWidth(FormHandle(), FBorderForm, false);
  return TPoint(FForm->Width() - 60 - F, F + GetStdCaptionHeight(FForm));
}

void TsSkinProvider::WMEnterMenuLoop(TMessage& Message) {
  TCustomForm* Child = FForm->FormStyle() == fsMDIForm ? FForm->ActiveMDIChild() : nullptr;
  if (Child != nullptr && Child->HandleAllocated() && IsZoomed(Child->Handle()) && !FMenuLoop) {
    FMenuLoop = true;
    if (g_MenuLoopCover == nullptr) {
      g_MenuLoopCover = Create<TvkGlowForm>(nullptr);  // its class has no drop shadow
      g_MenuLoopCoverOwner = this;
      g_MenuLoopCover->OnPaint = TNotifyEvent(this, &TsSkinProvider::PaintMenuButtonsForm);
    }
    // over the child's buttons at the right end of the menu line
    const TPoint At = MenuLoopCoverPoint();
    const int Top = FForm->Top() + At.Y;
    const int Left = FForm->Left() + At.X;
    g_MenuLoopCover->SetBounds(Left, Top, 60, GetSystemMetrics(SM_CYMENU) + 3);
    const HWND C = g_MenuLoopCover->Handle();
    SetWindowPos(C, HWND_TOP, Left, Top, 60, GetSystemMetrics(SM_CYMENU) + 3,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
    ShowWindow(C, SW_SHOWNOACTIVATE);
  }
  CallOwnProc(Message);
}

void TsSkinProvider::WMExitMenuLoop(TMessage& Message) {
  FMenuLoop = false;
  FreeMenuLoopCover(nullptr);
  CallOwnProc(Message);
}
