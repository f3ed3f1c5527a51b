#include <gtest/gtest.h>

#include "framework/ExtCtrls.h"
#include "framework/FormReader.h"
#include "framework/GraphicsGdi.h"
#include "framework/Menus.h"
#include "framework/Platform.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "tests/framework/menus_test_util.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/Bitmaps.h"

// A form read from a stored description with a main menu and a panel's popup menu.
class TMenuTestForm : public TForm {
  DECLARE_CLASS(TMenuTestForm, TForm)
public:
  explicit TMenuTestForm(TComponent* AOwner) : TForm(AOwner, 0) {}
  TMainMenu* MainMenu1 = nullptr;
  TMenuItem *File1 = nullptr, *Open1 = nullptr, *Close1 = nullptr, *Help1 = nullptr;
  TPopupMenu* Popup1 = nullptr;
  TPanel* Panel1 = nullptr;
  TEdit* Edit1 = nullptr;
  std::vector<std::string> log;
  void ItemClick(TObject* Sender) { log.push_back(static_cast<TComponent*>(Sender)->Name()); }
  void DrawIt(TObject*, TCanvas*, const TRect&, TOwnerDrawState State) { log.push_back(IntToHex(State.Raw(), 4)); }
};
PUBLISHED(TMenuTestForm) {
  p.Field("File1", &TMenuTestForm::File1);
  p.Field("Open1", &TMenuTestForm::Open1);
  p.Field("Close1", &TMenuTestForm::Close1);
  p.Field("Help1", &TMenuTestForm::Help1);
  p.Field("MainMenu1", &TMenuTestForm::MainMenu1);
  p.Field("Popup1", &TMenuTestForm::Popup1);
  p.Field("Panel1", &TMenuTestForm::Panel1);
  p.Field("Edit1", &TMenuTestForm::Edit1);
  p.Handler("ItemClick", &TMenuTestForm::ItemClick);
  p.Handler("DrawIt", &TMenuTestForm::DrawIt);
}

namespace {

using testing_support::Owned;

const char* const kMenuForm = R"(object MenuTestForm: TMenuTestForm
  BorderStyle = bsSingle
  ClientWidth = 400
  ClientHeight = 150
  Menu = MainMenu1
  object Panel1: TPanel
    Width = 200
    Height = 100
    PopupMenu = Popup1
    object Edit1: TEdit
      Left = 8
      Top = 8
    end
  end
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&File'
      OnClick = ItemClick
      object Open1: TMenuItem
        Caption = '&Open'
        ShortCut = 16463
        OnClick = ItemClick
      end
      object N1: TMenuItem
        Caption = '-'
      end
      object Close1: TMenuItem
        Caption = 'Close'
        Enabled = False
        ShortCut = 16471
        OnClick = ItemClick
      end
    end
    object Help1: TMenuItem
      Caption = 'Help'
      GroupIndex = 9
      OnClick = ItemClick
      OnAdvancedDrawItem = DrawIt
    end
  end
  object Popup1: TPopupMenu
    object Copy1: TMenuItem
      Caption = 'Copy'
      OnClick = ItemClick
    end
  end
end
)";

TMenuTestForm* ReadMenuForm() { return ReadFormFromText<TMenuTestForm>(kMenuForm); }

class Menus : public UiTest {
protected:
  void SetUp() override {
    UiTest::SetUp();
    RegisterClass(TMenuTestForm::StaticClassInfo());
  }
  // Ctrl (and Shift) as the key-state seam reports them.
  void HoldKeys(bool ctrl, bool shift = false) {
    Platform().GetKeyState = [=](int key) -> SHORT {
      return (key == VK_CONTROL && ctrl) || (key == VK_SHIFT && shift) ? SHORT(-0x8000) : SHORT(0);
    };
  }
};

TEST_F(Menus, StoredMenusAreBuiltAndTheirCommandsAndPopupsReachTheItems) {
  Owned<TMenuTestForm> f(ReadMenuForm());
  ASSERT_EQ(f->Menu(), f->MainMenu1);
  EXPECT_EQ(f->Panel1->PopupMenu(), f->Popup1);
  EXPECT_EQ(f->Open1->OnClick, TNotifyEvent(f.get(), &TMenuTestForm::ItemClick));
  EXPECT_EQ(f->Help1->OnAdvancedDrawItem, TAdvancedMenuDrawItemEvent(f.get(), &TMenuTestForm::DrawIt));
  EXPECT_EQ(f->Open1->Parent(), f->File1);
  EXPECT_EQ(f->Open1->GetParentMenu(), f->MainMenu1);
  EXPECT_TRUE(f->File1->Items(1)->IsLine());
  EXPECT_EQ(f->Help1->Handle(), nullptr) << "no sub-items, no menu of its own";

  HWND h = f->Handle();
  EXPECT_EQ(GetMenu(h), f->MainMenu1->Handle());
  EXPECT_EQ(MenuTexts(f->File1->Handle()), (std::vector<std::string>{"&Open\tCtrl+O", "", "Close\tCtrl+W"}));
  EXPECT_EQ(GetMenuState(f->File1->Handle(), f->Close1->Command(), MF_BYCOMMAND) & MF_GRAYED, UINT(MF_GRAYED));

  SendMessageA(h, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(f->File1->Handle()), 0);
  SendMessageA(h, WM_COMMAND, f->Open1->Command(), 0);
  SendMessageA(h, WM_COMMAND, f->Close1->Command(), 0);  // disabled: no click
  EXPECT_EQ(f->log, (std::vector<std::string>{"File1", "Open1"}));
  EXPECT_EQ(f->MainMenu1->FindItem(reinterpret_cast<UINT_PTR>(f->File1->Handle()), fkHandle), f->File1);
  EXPECT_EQ(f->MainMenu1->FindItem(0x4057, fkShortCut), f->Close1);

  // A change of the menu's images rebuilds the bar and tells the form; a freed list is forgotten.
  auto* images = new TImageList(nullptr);
  f->MainMenu1->SetImages(images);
  MessageLog changed(f.get(), CM_MENUCHANGED, CM_MENUCHANGED);
  images->SetSize(20, 20);
  EXPECT_EQ(changed.Count(CM_MENUCHANGED), 1);
  images->Free();
  EXPECT_EQ(f->MainMenu1->Images(), nullptr);
}

TEST_F(Menus, ItemsChangeTheirEntriesAndLeaveTheTreeCleanly) {
  Owned<TPopupMenu> menu(new TPopupMenu(nullptr));
  TMenuItem* a = NewMenuItem(menu.get(), "A");
  TMenuItem* b = NewMenuItem(menu.get(), "B");
  TMenuItem* sub = NewMenuItem(menu.get(), "Sub");
  menu->Items()->Add(a);
  menu->Items()->Add(b);
  menu->Items()->Add(sub);
  EXPECT_THROW(menu->Items()->Add(a), EInvalidOperation);
  a->SetRadioItem(true);
  b->SetRadioItem(true);
  a->SetChecked(true);
  b->SetChecked(true);
  EXPECT_FALSE(a->Checked()) << "one radio item per group";
  b->SetVisible(false);
  EXPECT_EQ(MenuTexts(menu->Handle()), (std::vector<std::string>{"A", "Sub"}));
  sub->Add(NewMenuItem(menu.get(), "Child"));
  HMENU subHandle = sub->Handle();
  ASSERT_TRUE(IsMenu(subHandle));
  sub->Items(0)->Free();
  EXPECT_EQ(sub->Count(), 0);
  EXPECT_FALSE(IsMenu(subHandle)) << "without sub-items the item's menu goes";
  menu->Items()->Remove(a);
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_EQ(MenuTexts(menu->Handle()), (std::vector<std::string>{"Sub"}));
  a->Free();
}

TEST_F(Menus, ShortCutTexts) {
  struct Case {
    const char* text;
    TShortCut shortCut;
  } cases[] = {{"Ctrl+O", 0x404F}, {"Alt+F4", 0x8073}, {"Shift+Ctrl+Del", 0x602E}, {"F12", 0x7B}, {"Esc", 0x1B}};
  for (const Case& c : cases) {
    EXPECT_EQ(ShortCutToText(c.shortCut), c.text);
    EXPECT_EQ(TextToShortCut(c.text), c.shortCut) << c.text;
  }
  EXPECT_EQ(TextToShortCut("ctrl+o"), 0x404F);
  EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
  EXPECT_EQ(TextToShortCut("Hyper+X"), 0);
  EXPECT_EQ(ShortCutToText(0x4000 | 0xFF), "");
}

TEST_F(Menus, ShortcutsReachTheMenusBeforeTheFocusedControl) {
  Owned<TMenuTestForm> f(ReadMenuForm());
  int keysSeen = 0;
  f->Edit1->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++keysSeen; };
  TMenuItem* paste = NewMenuItem(f.get(), "Paste");
  paste->SetName("Paste");
  paste->SetShortCut(TextToShortCut("Ctrl+V"));
  paste->OnClick = TNotifyEvent(f.get(), &TMenuTestForm::ItemClick);
  f->Popup1->Items()->Add(paste);
  f->Show();
  f->Edit1->SetFocus();
  HoldKeys(true);
  auto press = [&](WORD key) {
    PostMessageA(f->Edit1->Handle(), WM_KEYDOWN, key, 0);
    Application->ProcessMessages();
  };
  press('O');  // the form's menu, after its parent's click
  press('V');  // the popup menu of the edit's parent
  press('W');  // a disabled item: the key goes on to the edit
  EXPECT_EQ(f->log, (std::vector<std::string>{"File1", "Open1", "Paste", "File1"}));
  EXPECT_EQ(keysSeen, 1);
}

TEST_F(Menus, OuterSizeCountsTheMenuBar) {
  Owned<TMenuTestForm> f(ReadMenuForm());  // client size read before the form had a window
  RECT client;
  GetClientRect(f->Handle(), &client);
  EXPECT_EQ(client.bottom, 150);
  RECT frame{0, 0, 400, 150};
  AdjustWindowRectEx(&frame, GetWindowLongA(f->Handle(), GWL_STYLE), TRUE, GetWindowLongA(f->Handle(), GWL_EXSTYLE));
  EXPECT_EQ(f->Height(), frame.bottom - frame.top);
  f->SetClientHeight(120);
  EXPECT_EQ(f->ClientHeight(), 120);
  f->SetMenu(nullptr);
  f->SetClientHeight(120);
  RECT bare{0, 0, 400, 120};
  AdjustWindowRectEx(&bare, GetWindowLongA(f->Handle(), GWL_STYLE), FALSE, GetWindowLongA(f->Handle(), GWL_EXSTYLE));
  EXPECT_EQ(f->Height(), bare.bottom - bare.top);
}

TEST_F(Menus, MergingByGroupIndexReplacesGroupsAndInsertsTheOthersInOrder) {
  Owned<TMenuTestForm> f(ReadMenuForm());
  Application->ProcessMessages();
  Owned<TMainMenu> child(new TMainMenu(nullptr));
  TMenuItem* edit = NewMenuItem(child.get(), "Edit2", 0);
  TMenuItem* window = NewMenuItem(child.get(), "Window", 5);
  child->Items()->Add(edit);
  child->Items()->Add(window);
  window->OnClick = TNotifyEvent(f.get(), &TMenuTestForm::ItemClick);
  window->SetName("Window1");
  HMENU bar = f->MainMenu1->Handle();
  f->MainMenu1->Merge(child.get());
  EXPECT_EQ(MenuTexts(bar), (std::vector<std::string>{"Edit2", "Window", "Help"}));
  SendMessageA(f->Handle(), WM_COMMAND, window->Command(), 0);
  EXPECT_EQ(f->log, std::vector<std::string>{"Window1"});
  window->SetCaption("Windows");  // a merged item's change shows in the bar it is merged into
  EXPECT_EQ(MenuTexts(bar).at(1), "Windows");
  child.reset();  // a freed merged menu leaves the bar
  EXPECT_EQ(MenuTexts(bar), (std::vector<std::string>{"&File", "Help"}));
}

TEST_F(Menus, AutoMergeMenuOfASecondFormJoinsTheMainFormsBarWhileItIsShown) {
  Owned<TMenuTestForm> main(ReadMenuForm());
  Application->FormCreated(main.get());
  TForm* second = NewForm();
  auto* menu = new TMainMenu(second);
  menu->SetAutoMerge(true);
  menu->Items()->Add(NewMenuItem(menu, "Tools", 3));
  second->SetMenu(menu);
  EXPECT_EQ(GetMenu(second->Handle()), nullptr);
  ASSERT_EQ(Application->MainForm(), main.get()) << "the first form became the main form";
  second->MergeMenu(true);
  EXPECT_EQ(MenuTexts(main->MainMenu1->Handle()), (std::vector<std::string>{"&File", "Tools", "Help"}));
  second->Show();
  second->Hide();
  EXPECT_EQ(MenuTexts(main->MainMenu1->Handle()), (std::vector<std::string>{"&File", "Help"}));
  EXPECT_THROW(second->SetMenu(main->MainMenu1), EInvalidOperation) << "a menu belongs to one form";
  second->Free();
}

TEST_F(Menus, OwnerDrawnItemsAreMeasuredAndDrawnWithTheirState) {
  Owned<TMenuTestForm> f(ReadMenuForm());
  f->MainMenu1->SetOwnerDraw(true);
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  GetMenuItemInfoA(f->MainMenu1->Handle(), 1, TRUE, &info);
  EXPECT_EQ(info.fType & (MFT_OWNERDRAW | MFT_STRING), UINT(MFT_OWNERDRAW)) << "owner-drawn entries carry no string";
  f->Help1->OnMeasureItem = [&](TObject*, TCanvas* c, int& w, int& h) {
    EXPECT_EQ(c->Font()->Name(), Screen->MenuFont()->Name());
    w = 77, h = 21;
  };
  auto target = testing_support::Bitmap32(60, 20, 0);
  HDC dc = target->Canvas()->Handle();
  f->HandleNeeded();  // the window's font is the form's, not the menu's
  const TGdiObjectCounts gdi = GdiObjectCounts();
  MEASUREITEMSTRUCT mis{ODT_MENU, 0, f->Help1->Command(), 0, 0, 0};
  EXPECT_EQ(SendMessageA(f->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)), 1);
  EXPECT_EQ(mis.itemWidth, 77u);
  EXPECT_EQ(mis.itemHeight, 21u);

  DRAWITEMSTRUCT dis{ODT_MENU, 0, f->Help1->Command(), ODA_DRAWENTIRE, ODS_SELECTED | ODS_GRAYED | ODS_NOACCEL,
                     nullptr, dc, {0, 0, 60, 20}, 0};
  SendMessageA(f->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  EXPECT_EQ(f->log, std::vector<std::string>{"0103"});
  // An item nobody draws gets the plain look: the highlight over its rectangle when selected.
  dis.itemID = f->File1->Command();
  dis.itemState = ODS_SELECTED;
  SendMessageA(f->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  EXPECT_EQ(testing_support::PixelAt(target.get(), 1, 1) & 0xFFFFFF, PixelRgb(clHighlight));
  EXPECT_EQ(GdiObjectCounts(), gdi) << "measuring and drawing keep no GDI object";
}

TEST_F(Menus, DialogSystemMenuHasNoSizeMinimizeOrMaximize) {
  struct Case {
    TFormBorderStyle style;
    bool sizeAndBoxes;
  } cases[] = {{bsDialog, false}, {bsSizeable, true}};
  for (const Case& c : cases) {
    Owned<TForm> f(NewForm());
    f->SetBorderStyle(c.style);
    f->SetBorderIcons({biSystemMenu, biMinimize, biMaximize});
    f->RecreateWnd();  // applies to each new window
    HMENU system = GetSystemMenu(f->Handle(), FALSE);
    ASSERT_NE(system, nullptr);
    for (UINT command : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE})
      EXPECT_EQ(GetMenuState(system, command, MF_BYCOMMAND) != UINT(-1), c.sizeAndBoxes) << c.style << " " << command;
    EXPECT_NE(GetMenuState(system, SC_MOVE, MF_BYCOMMAND), UINT(-1));
    EXPECT_NE(GetMenuState(system, SC_CLOSE, MF_BYCOMMAND), UINT(-1));
  }
}

TEST_F(Menus, MenuFontIsTheSystemsOne) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  EXPECT_EQ(Screen->MenuFont()->Name(), metrics.lfMenuFont.lfFaceName);
  EXPECT_EQ(Screen->MenuFont()->Height(), metrics.lfMenuFont.lfHeight);
}

TEST_F(Menus, FormsWithMenusLeaveNoHandlesBehind) {
  const int menus = MenuHandleCount(), windows = FrameworkWindowCount();
  const TGdiObjectCounts gdi = GdiObjectCounts();
  for (int i = 0; i < 20; ++i) {
    TMenuTestForm* f = ReadMenuForm();
    f->HandleNeeded();
    f->Popup1->Handle();
    f->MainMenu1->Merge(NewMenu(f, "", {NewItem("X", 0, false, true, nullptr, 0, "")}));
    if (i % 2) f->RecreateWnd();
    f->Free();
  }
  EXPECT_EQ(MenuHandleCount(), menus);
  EXPECT_EQ(FrameworkWindowCount(), windows);
  EXPECT_EQ(GdiObjectCounts(), gdi) << GdiObjectCounts().ToString();
  EXPECT_EQ(PopupListWindow(), nullptr) << "no popup menu, no popup list";
}

}  // namespace
