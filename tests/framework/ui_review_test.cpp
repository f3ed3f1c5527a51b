// Cases found by a review of the framework: keys in a combo's edit, painting without a window, controls
// deleted without Free, failing dialogs, right and middle double clicks, hint inheritance, release,
// setting changes, leaving for a foreign window, layered output through the platform table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/MessagePump.h"

namespace {

using UiReview = UiTest;

TEST_F(UiReview, KeyPreviewWorksWhileTheFocusIsInAComboBoxsEditChild) {
  TForm* form = NewForm();
  form->SetKeyPreview(true);
  auto* combo = new TComboBox(form);
  combo->SetStyle(csDropDown);
  combo->SetParent(form);
  std::vector<WORD> formKeys;
  form->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    formKeys.push_back(key);
    if (key == VK_F2) key = 0;
  };
  std::vector<WORD> comboKeys;
  combo->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { comboKeys.push_back(key); };
  form->Show();
  HWND edit = FindWindowExA(combo->Handle(), nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  PostMessageA(edit, WM_KEYDOWN, VK_F1, 0x003B0001);
  Application->ProcessMessages();
  EXPECT_EQ(formKeys, (std::vector<WORD>{VK_F1}));
  EXPECT_EQ(comboKeys, (std::vector<WORD>{VK_F1}));
  PostMessageA(edit, WM_KEYDOWN, VK_F2, 0x003C0001);  // zeroed by the form: the combo never sees it
  Application->ProcessMessages();
  EXPECT_EQ(formKeys.size(), 2u);
  EXPECT_EQ(comboKeys.size(), 1u);
  form->Free();
}

TEST_F(UiReview, EraseAndPaintToWorkForAControlWithoutAWindow) {
  auto* panel = new TPanel(nullptr);
  panel->SetBevelOuter(bvNone);
  panel->SetBounds(0, 0, 20, 10);
  panel->SetColor(clRed);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 20, -10, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  DWORD* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bmp);
  for (int i = 0; i < 200; ++i) bits[i] = 0x123456;
  EXPECT_EQ(panel->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc)), 1);
  EXPECT_EQ(bits[5 * 20 + 10] & 0xFFFFFF, 0xFF0000u);
  EXPECT_FALSE(panel->HandleAllocated());
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  panel->Free();
}

TEST_F(UiReview, AControlDeletedWithoutFreeLeavesItsParentAndItsWindow) {
  TForm* form = NewForm();
  auto* button = new TButton(nullptr);
  button->SetParent(form);
  auto* label = new TLabel(nullptr);
  label->SetParent(form);
  form->Show();
  HWND h = button->Handle();
  int windows = FrameworkWindowCount();
  delete button;  // not the framework's way, but it must not leave a dangling window
  delete label;
  EXPECT_EQ(form->ControlCount(), 0);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(FindControl(h), nullptr);
  EXPECT_EQ(FrameworkWindowCount(), windows - 1);
  form->Free();
}

class TFailingOpenDialog : public TOpenDialog {
public:
  explicit TFailingOpenDialog(TComponent* o) : TOpenDialog(o) {}
  DWORD error = 0;

protected:
  DWORD DialogError() const override { return error; }
};

TEST_F(UiReview, AFailingOpenDialogRaisesInsteadOfLookingCancelled) {
  auto* dialog = new TFailingOpenDialog(nullptr);
  Platform().GetOpenFileNameA = [](OPENFILENAMEA*) { return FALSE; };
  EXPECT_FALSE(dialog->Execute());  // cancelled
  dialog->error = FNERR_INVALIDFILENAME;
  try {
    dialog->Execute();
    FAIL() << "no error";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "The open dialog failed (error 3002)");
  }
  dialog->Free();
}

TEST_F(UiReview, RightAndMiddleDoubleClicksAreButtonDownsWithDouble) {
  TForm* form = NewForm();
  std::vector<std::pair<TMouseButton, bool>> downs;
  form->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int, int) {
    downs.push_back({b, s.Contains(ssDouble)});
  };
  form->Show();
  SendMessageA(form->Handle(), WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(5, 5));
  SendMessageA(form->Handle(), WM_MBUTTONDBLCLK, MK_MBUTTON, MAKELPARAM(5, 5));
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[0].first, mbRight);
  EXPECT_TRUE(downs[0].second);
  EXPECT_EQ(downs[1].first, mbMiddle);
  EXPECT_TRUE(downs[1].second);
  form->Free();
}

TEST_F(UiReview, ShowHintFlowsDownToChildrenThatFollowTheirParent) {
  TForm* form = NewForm();
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* follower = new TLabel(form);
  follower->SetParent(panel);
  auto* own = new TLabel(form);
  own->SetShowHint(false);
  own->SetParent(panel);
  form->SetShowHint(true);
  EXPECT_TRUE(panel->ShowHint());
  EXPECT_TRUE(follower->ShowHint());
  EXPECT_FALSE(own->ShowHint());
  form->SetShowHint(false);
  EXPECT_FALSE(follower->ShowHint());
  form->Free();
}

TEST_F(UiReview, ReleaseFreesTheFormOnceItsMessagesAreDone) {
  TForm* form = NewForm();
  bool destroyed = false;
  form->OnDestroy = [&](TObject*) { destroyed = true; };
  form->Show();
  HWND h = form->Handle();
  int forms = Screen->FormCount();
  form->Release();
  EXPECT_FALSE(destroyed);  // still whole inside the handler that asked
  Application->ProcessMessages();
  EXPECT_TRUE(destroyed);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(Screen->FormCount(), forms - 1);
}

TEST_F(UiReview, SettingChangesReachTheFormAsComponentMessages) {
  TForm* form = NewForm();
  form->HandleNeeded();
  std::vector<UINT> seen;
  TWndMethod saved = form->WindowProc;
  form->WindowProc = TWndMethod::FromFunction([&](TMessage& m) {
    if (m.Msg == CM_WININICHANGE || m.Msg == CM_SYSFONTCHANGED) seen.push_back(m.Msg);
    saved(m);
  });
  SendMessageA(form->Handle(), WM_SETTINGCHANGE, SPI_SETDRAGFULLWINDOWS, 0);
  SendMessageA(form->Handle(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  EXPECT_EQ(seen, (std::vector<UINT>{CM_WININICHANGE, CM_WININICHANGE, CM_SYSFONTCHANGED}));
  form->WindowProc = saved;
  form->Free();
}

TEST_F(UiReview, LeavingForTheDesktopIsNoticedFromMouseLeave) {
  TForm* form = NewForm();
  form->SetPosition(poDesigned);
  form->SetLeft(900);
  form->SetTop(600);
  form->Show();
  testing_support::PumpPending();
  std::vector<std::string> events;
  form->OnMouseEnter = [&](TObject*) { events.push_back("enter"); };
  form->OnMouseLeave = [&](TObject*) { events.push_back("leave"); };
  PlaceCursor(form->ClientToScreen(POINT{20, 20}));
  SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  PlaceCursor(POINT{2, 1020});  // the desktop, no window there
  SendMessageA(form->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave"}));
  EXPECT_EQ(MouseControl(), nullptr);
  form->Free();
}

TEST_F(UiReview, AlphaBlendGoesThroughTheLayeredWindowEntryOfThePlatformTable) {
  std::vector<std::pair<HWND, BYTE>> calls;
  Platform().SetLayeredWindowAttributes = [&](HWND h, COLORREF, BYTE alpha, DWORD flags) {
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    calls.push_back({h, alpha});
    return TRUE;
  };
  TForm* form = NewForm();
  form->SetAlphaBlendValue(200);
  form->SetAlphaBlend(true);
  EXPECT_TRUE(calls.empty());  // no window yet
  form->HandleNeeded();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].first, form->Handle());
  EXPECT_EQ(calls[0].second, 200);
  form->SetAlphaBlendValue(300);  // kept in 0..255
  EXPECT_EQ(calls.back().second, 255);
  form->Free();
}

}  // namespace

namespace {

void CALLBACK TerminateSoon(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  Application->Terminate();
}

TEST_F(UiReview, RunShowsTheMainFormAndReturnsWhenTerminated) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  bool shown = false;
  main->OnShow = [&](TObject*) { shown = true; };
  SetTimer(nullptr, 0, 30, TerminateSoon);
  Application->Run();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(Application->Terminated());
  EXPECT_TRUE(IsWindowVisible(main->Handle()));
  main->Free();
}

TEST_F(UiReview, ModifierKeysReachOnKeyDownAsTheShiftState) {
  TForm* form = NewForm();
  form->SetKeyPreview(true);
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  form->Show();
  TShiftState seen;
  WORD seenKey = 0;
  form->OnKeyDown = [&](TObject*, WORD& key, TShiftState shift) {
    seenKey = key;
    seen = shift;
  };
  Platform().GetKeyState = [](int vk) -> SHORT { return vk == VK_CONTROL || vk == VK_SHIFT ? -128 : 0; };
  PostMessageA(edit->Handle(), WM_KEYDOWN, 'E', 0x00120001);
  Application->ProcessMessages();
  EXPECT_EQ(seenKey, 'E');
  EXPECT_TRUE(seen.Contains(ssCtrl));
  EXPECT_TRUE(seen.Contains(ssShift));
  EXPECT_FALSE(seen.Contains(ssAlt));
  // Alt comes from the key data of a system key.
  Platform().GetKeyState = [](int) -> SHORT { return 0; };
  PostMessageA(edit->Handle(), WM_SYSKEYDOWN, 'X', 0x202D0001);
  Application->ProcessMessages();
  EXPECT_EQ(seenKey, 'X');
  EXPECT_TRUE(seen.Contains(ssAlt));
  EXPECT_FALSE(seen.Contains(ssCtrl));
  form->Free();
}

}  // namespace

namespace {

TEST_F(UiReview, AControlCanvasUsedOutsidePaintingGivesItsDCBack) {
  TForm* form = NewForm();
  auto* label = new TLabel(form);
  label->SetParent(form);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  form->Show();
  const int dcs = GdiObjectCount(gkDC);
  EXPECT_GT(label->Canvas()->TextWidth("Порт:"), 0);
  EXPECT_GT(panel->Canvas()->TextWidth("Порт:"), 0);
  EXPECT_EQ(GdiObjectCount(gkDC), dcs + 2);
  TControlCanvas::FreeDeviceContexts();  // what the idle loop does
  EXPECT_EQ(GdiObjectCount(gkDC), dcs);
  // A window going away takes its canvases' DCs with it.
  panel->Canvas()->TextWidth("x");
  panel->RecreateWnd();
  EXPECT_EQ(GdiObjectCount(gkDC), dcs);
  form->Free();
}

}  // namespace
