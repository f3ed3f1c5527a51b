#include <gtest/gtest.h>

#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/FormReader.h"
#include "framework/Milestones.h"
#include "framework/StdCtrls.h"
#include "framework/UtilWindow.h"
#include "tests/framework/core_test_util.h"
#include "tests/framework/ui_test_form.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/MessagePump.h"
#include "tests/support/WindowProbe.h"

class TThrowingForm : public TForm {
  DECLARE_CLASS(TThrowingForm, TForm)
public:
  explicit TThrowingForm(TComponent* AOwner) : TForm(AOwner, 0) {
    OnCreate = [](TObject*) {
      throw Exception("Помилка звернення до системного реєстру\nНеобхідно повторно відкрити програму!");
    };
  }
};

class TCreateOrderForm : public TForm {
  DECLARE_CLASS(TCreateOrderForm, TForm)
public:
  explicit TCreateOrderForm(TComponent* AOwner) : TForm(AOwner, 0) {
    OnCreate = [this](TObject*) {
      refInside = *s_ref;
      mainInside = Application->MainForm();
    };
  }
  static TCreateOrderForm** s_ref;
  TCreateOrderForm* refInside = nullptr;
  TCustomForm* mainInside = reinterpret_cast<TCustomForm*>(1);
};
TCreateOrderForm** TCreateOrderForm::s_ref = nullptr;

namespace {

using UiForms = UiTest;

TForm* s_dialog;
bool* s_flag;
HWND s_main;
void CALLBACK SetOkTick(HWND, UINT, UINT_PTR, DWORD) {
  *s_flag = !IsWindowEnabled(s_main);
  if (s_dialog->Showing()) s_dialog->SetModalResult(mrOk);
}
void CALLBACK TerminateTick(HWND, UINT, UINT_PTR, DWORD) { Application->Terminate(); }

TEST_F(UiForms, AStoredDescriptionBuildsTheFormWithItsControlsAndHandlers) {
  TUiTestForm* f = ReadTestForm();
  ASSERT_TRUE(f->Panel1 && f->Label1 && f->cbPort && f->Memo1 && f->Button1 && f->Timer1);
  EXPECT_EQ(f->Caption(), "KRL-0.0 Bootloader (від 22.10.12)");
  EXPECT_EQ(f->Label1->Parent(), f->Panel1);
  EXPECT_EQ(f->Label1->Cursor(), crHandPoint);
  EXPECT_EQ(f->cbPort->Items()->Count(), 2);
  EXPECT_EQ(f->cbPort->ItemIndex(), 1);  // stored before its items
  EXPECT_EQ(f->cbPort->Text(), "COM2");
  EXPECT_EQ(f->Memo1->Lines()->Count(), 2);
  EXPECT_EQ(f->Memo1->Lines()->Strings(1), ":00000001FF");
  EXPECT_FALSE(f->Timer1->Enabled());
  EXPECT_EQ(f->Timer1->Interval(), 100u);
  EXPECT_EQ(f->Color(), cl3DLight);
  EXPECT_EQ(f->Panel1->Color(), cl3DLight);  // ParentColor
  // Tab orders stored before the later siblings existed.
  EXPECT_EQ(f->Button1->TabOrder(), 0);
  EXPECT_EQ(f->Memo1->TabOrder(), 2);
  EXPECT_EQ(f->Panel1->TabOrder(), 1);
  // Client size through the form's frame, whatever the metrics.
  f->HandleNeeded();
  RECT client;
  GetClientRect(f->Handle(), &client);
  EXPECT_EQ(client.right, 302);
  EXPECT_EQ(client.bottom, 131);
  LONG style = GetWindowLongA(f->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_EQ(GetWindow(f->Handle(), GW_OWNER), Application->Handle());  // owned by the application window
  f->Button1->Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), 0);
  EXPECT_EQ(f->clicks, 1);
  // Both forms show once the handles are there; memo lines survive the window creation.
  f->Show();
  EXPECT_TRUE(f->Memo1->HandleAllocated());
  EXPECT_EQ(f->Memo1->Lines()->Count(), 2);
  EXPECT_EQ(f->Memo1->Lines()->Strings(0), ":020000040000FA");
  EXPECT_EQ(f->cbPort->ItemIndex(), 1);
  f->Free();
}

TEST_F(UiForms, AFormPassesItsReadAndCreatedMilestonesInTurn) {
  std::vector<std::string> steps;
  TMilestoneListener before = SetMilestoneListener([&](const char* Step, const std::string& Subject) {
    steps.push_back(std::string(Step) + " " + Subject);
  });
  TForm* a = NewForm();  // no stored description: nothing read, the milestone still passed
  TForm* b = NewForm();
  SetMilestoneListener(before);
  EXPECT_EQ(steps, (std::vector<std::string>{"form read TForm", "form created TForm", "form read TForm",
                                             "form created TForm"}));
  steps.clear();
  Milestone("unheard");  // without a listener
  EXPECT_TRUE(steps.empty());
  a->Free();
  b->Free();
}

TEST_F(UiForms, HeightIsTheOuterHeightAndPositionCentresOnTheScreen) {
  TUiTestForm* f = ReadTestForm();
  f->Show();
  f->SetHeight(340);
  RECT r;
  GetWindowRect(f->Handle(), &r);
  EXPECT_EQ(r.bottom - r.top, 340);
  EXPECT_EQ(f->Height(), 340);
  f->Hide();
  f->Show();
  GetWindowRect(f->Handle(), &r);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
  f->Free();
}

// Keys are posted to the control's window (an edit, the edit child of a combo box): the test does not depend on
// which process has the X focus.
TEST_F(UiForms, KeyPreviewRunsTheFormsOnKeyDownBeforeTheControlsAndAZeroedKeyStopsIt) {
  TUiTestForm* f = ReadTestForm();
  auto* edit = NewChild<TEdit>(f);
  auto* combo = new TComboBox(f);
  combo->SetStyle(csDropDown);
  combo->SetParent(f);
  std::vector<WORD> editKeys, comboKeys;
  edit->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { editKeys.push_back(key); };
  combo->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { comboKeys.push_back(key); };
  f->Show();
  SetActiveWindow(f->Handle());
  edit->SetFocus();
  testing_support::PumpPending();
  HWND comboEdit = FindWindowExA(combo->Handle(), nullptr, "Edit", nullptr);
  ASSERT_NE(comboEdit, nullptr);
  for (const auto& [target, keys] : {std::pair{edit->Handle(), &editKeys}, {comboEdit, &comboKeys}}) {
    SCOPED_TRACE(target == comboEdit ? "combo box" : "edit");
    f->keys = 0;
    PostAndProcess(target, WM_KEYDOWN, VK_F1, 0x003B0001);
    EXPECT_EQ(f->keys, 1);
    EXPECT_EQ(*keys, (std::vector<WORD>{VK_F1}));
    PostAndProcess(target, WM_KEYDOWN, VK_F2, 0x003C0001);  // the form zeroes F2
    EXPECT_EQ(f->keys, 2);
    EXPECT_EQ(keys->size(), 1u);
  }
  f->SetKeyPreview(false);
  PostAndProcess(edit->Handle(), WM_KEYDOWN, VK_F2, 0x003C0001);
  EXPECT_EQ(f->keys, 2);
  EXPECT_EQ(editKeys.size(), 2u);
  f->Free();
}

TEST_F(UiForms, ModifierKeysReachOnKeyDownAsTheShiftState) {
  TForm* form = NewForm();
  form->SetKeyPreview(true);
  auto* edit = NewChild<TEdit>(form);
  form->Show();
  TShiftState seen;
  WORD seenKey = 0;
  form->OnKeyDown = [&](TObject*, WORD& key, TShiftState shift) {
    seenKey = key;
    seen = shift;
  };
  Platform().GetKeyState = [](int vk) -> SHORT { return vk == VK_CONTROL || vk == VK_SHIFT ? -128 : 0; };
  PostAndProcess(edit->Handle(), WM_KEYDOWN, 'E', 0x00120001);
  EXPECT_EQ(seenKey, 'E');
  EXPECT_TRUE(seen.Contains(ssCtrl));
  EXPECT_TRUE(seen.Contains(ssShift));
  EXPECT_FALSE(seen.Contains(ssAlt));
  // Alt comes from the key data of a system key.
  Platform().GetKeyState = [](int) -> SHORT { return 0; };
  PostAndProcess(edit->Handle(), WM_SYSKEYDOWN, 'X', 0x202D0001);
  EXPECT_EQ(seenKey, 'X');
  EXPECT_TRUE(seen.Contains(ssAlt));
  EXPECT_FALSE(seen.Contains(ssCtrl));
  form->Free();
}

TEST_F(UiForms, DialogKeysClickTheDefaultAndCancelButtons) {
  TForm* f = NewForm();
  auto* edit = NewChild<TEdit>(f);
  auto* ok = new TButton(f);
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  ok->SetParent(f);
  auto* cancel = new TButton(f);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  cancel->SetParent(f);
  int okClicks = 0, cancelClicks = 0;
  ok->OnClick = [&](TObject*) { ++okClicks; };
  cancel->OnClick = [&](TObject*) { ++cancelClicks; };
  f->Show();
  SetActiveWindow(f->Handle());
  edit->SetFocus();
  testing_support::PumpPending();

  PostAndProcess(edit->Handle(), WM_KEYDOWN, VK_RETURN, 0x001C0001);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(f->ModalResult(), mrOk);
  PostAndProcess(edit->Handle(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  EXPECT_EQ(cancelClicks, 1);
  EXPECT_EQ(f->ModalResult(), mrCancel);
  // Tab moves to the next tab stop.
  PostAndProcess(edit->Handle(), WM_KEYDOWN, VK_TAB, 0x000F0001);
  EXPECT_EQ(f->ActiveControl(), ok);
  f->Free();
}

TEST_F(UiForms, ShowModalDisablesTheOtherWindowsAndEndsOnModalResult) {
  TForm* main = NewForm();
  main->Show();
  TForm* dialog = NewForm();
  int closes = 0, queries = 0;
  dialog->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++queries > 1; };
  dialog->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
  bool mainDisabledInside = false;
  // A thread timer sets the result from inside the modal loop (twice: the first is refused).
  s_dialog = dialog;
  s_flag = &mainDisabledInside;
  s_main = main->Handle();
  UINT_PTR timer = SetTimer(nullptr, 0, 20, SetOkTick);
  int result = dialog->ShowModal();
  KillTimer(nullptr, timer);
  EXPECT_EQ(result, mrOk);
  EXPECT_EQ(queries, 2);
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(mainDisabledInside);
  EXPECT_TRUE(IsWindowEnabled(main->Handle()));
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(dialog->FormState().Contains(fsModal));
  // A visible form cannot become modal.
  dialog->Show();
  EXPECT_THROW(dialog->ShowModal(), EInvalidOperation);
  dialog->Free();
  main->Free();
}

TEST_F(UiForms, AlphaBlendGoesThroughTheLayeredWindowEntryOfThePlatformTable) {
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

TEST_F(UiForms, AlphaBlendMakesTheFormLayeredAndAHelperFormShowsWithoutActivation) {
  TForm* main = NewForm();
  main->Show();
  SetActiveWindow(main->Handle());
  TForm* helper = NewForm();
  helper->SetAlphaBlend(true);
  helper->SetAlphaBlendValue(128);
  helper->ShowNoActivate();
  EXPECT_TRUE(GetWindowLongA(helper->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(IsWindowVisible(helper->Handle()));
  EXPECT_NE(GetActiveWindow(), helper->Handle());
  helper->SetAlphaBlend(false);
  EXPECT_FALSE(GetWindowLongA(helper->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  helper->Free();
  main->Free();
}

TEST_F(UiForms, TerminateEndsAModalLoopWithCancelAndTheMainLoop) {
  TForm* dialog = NewForm();
  UINT_PTR timer = SetTimer(nullptr, 0, 20, TerminateTick);
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  KillTimer(nullptr, timer);
  EXPECT_TRUE(Application->Terminated());
  dialog->Free();
}

TEST_F(UiForms, ShowMessageShowsAMessageFormWithTheTitleTheTextAndAnOkButton) {
  Application->SetTitle("MVT Bootloader");
  testing_support::ModalCloser closer("TMessageForm", IDOK);
  std::string seenText, seenLabel;
  closer.OnFound = [&](const testing_support::FoundWindow& w) {
    EXPECT_EQ(w.title, "MVT Bootloader");
    seenText = w.text;
    // The button is a "TButton" window (skinned by class name later).
    HWND button = FindWindowExA(w.handle, nullptr, "TButton", nullptr);
    ASSERT_NE(button, nullptr);
    char caption[16] = {};
    GetWindowTextA(button, caption, sizeof caption);
    EXPECT_STREQ(caption, "OK");
    EXPECT_TRUE(GetWindowLongA(w.handle, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    // The text is a windowless label of the form.
    if (TWinControl* form = FindControl(w.handle))
      if (auto* label = As<TLabel>(form->FindComponent("Message"))) seenLabel = label->Caption();
  };
  ShowMessage("Порти оновлено!");
  ASSERT_EQ(closer.Closed().size(), 1u);
  EXPECT_EQ(closer.Closed()[0].className, "TMessageForm");
  EXPECT_NE(seenText.find("OK"), std::string::npos);
  EXPECT_EQ(seenLabel, "Порти оновлено!");
}

TEST_F(UiForms, MessageBoxesGoToTheSinkWhenOneIsSet) {
  RecordBoxes(IDCANCEL);
  Application->SetTitle("KRL Bootloader");
  ShowMessage("Скинуто прилад!!!");
  EXPECT_EQ(MessageDlg("Sure?", mtConfirmation, {mbYes, mbNo}, 0), IDCANCEL);
  EXPECT_EQ(Application->MessageBox("text", "caption", MB_YESNO), IDCANCEL);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].source, TMessageBoxRequest::ShowMessage);
  EXPECT_EQ(boxes[0].text, "Скинуто прилад!!!");
  EXPECT_EQ(boxes[0].caption, "KRL Bootloader");
  EXPECT_EQ(boxes[1].source, TMessageBoxRequest::MessageDlg);
  EXPECT_EQ(boxes[1].dialogType, mtConfirmation);
  EXPECT_EQ(boxes[1].buttons, (TMsgDlgButtons{mbYes, mbNo}).Raw());
  EXPECT_EQ(boxes[2].source, TMessageBoxRequest::ApplicationMessageBox);
  EXPECT_EQ(boxes[2].flags, static_cast<UINT>(MB_YESNO));
}

TEST_F(UiForms, MessageDialogHasItsDefaultAndCancelButtonsAndAnIconWhenTyped) {
  TMessageForm* f = CreateMessageDialog("Stop?", mtWarning, {mbYes, mbNo});
  EXPECT_EQ(f->ClassName(), "TMessageForm");
  EXPECT_EQ(f->BorderStyle(), bsDialog);
  auto* yes = As<TButton>(f->FindComponent("Yes"));
  auto* no = As<TButton>(f->FindComponent("No"));
  ASSERT_TRUE(yes && no);
  EXPECT_TRUE(yes->Default());
  EXPECT_TRUE(no->Cancel());
  EXPECT_EQ(no->ModalResult(), mrNo);
  auto* image = As<TImage>(f->FindComponent("Image"));
  ASSERT_NE(image, nullptr);
  EXPECT_FALSE(image->Picture()->Icon()->Empty());
  auto* label = As<TLabel>(f->FindComponent("Message"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->Caption(), "Stop?");
  f->Free();
}

TEST_F(UiForms, AnExceptionLeavingOnCreateIsShownAndTheFormStillExists) {
  RecordBoxes();
  Platform().ExceptionSink = nullptr;  // the box itself is checked
  TThrowingForm* f = nullptr;
  Application->CreateForm(f);
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(BoxTexts(), std::vector<std::string>{"Помилка звернення до системного реєстру\nНеобхідно повторно відкрити програму!"});
  EXPECT_EQ(boxes[0].source, TMessageBoxRequest::ExceptionBox);
  EXPECT_EQ(Application->MainForm(), f);
  EXPECT_TRUE(f->HandleAllocated());
  f->Free();
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(UiForms, CreateFormSetsTheReferenceBeforeOnCreateAndTheMainFormAfterIt) {
  TCreateOrderForm* first = nullptr;
  TCreateOrderForm::s_ref = &first;
  Application->CreateForm(first);
  EXPECT_EQ(first->refInside, first);
  EXPECT_EQ(first->mainInside, nullptr);
  EXPECT_EQ(Application->MainForm(), first);
  EXPECT_TRUE(first->HandleAllocated());
  TCreateOrderForm* second = nullptr;
  TCreateOrderForm::s_ref = &second;
  Application->CreateForm(second);
  EXPECT_EQ(second->mainInside, first);
  EXPECT_EQ(Application->MainForm(), first);
  EXPECT_EQ(Screen->FormCount(), 2);
  // Closing the main form ends the application.
  first->Show();
  first->Close();
  Application->ProcessMessages();
  EXPECT_TRUE(Application->Terminated());
  second->Free();
  first->Free();
  EXPECT_EQ(Screen->FormCount(), 0);
}

TEST_F(UiForms, ReleaseFreesTheFormOnceItsMessagesAreDone) {
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

TEST_F(UiForms, ADerivedFormWithoutItsStoredDescriptionIsAnError) {
  class TNoResourceForm : public TForm {
  public:
    explicit TNoResourceForm(TComponent* o) : TForm(o) {}
    const TClassInfo* ClassInfo() const override { return TUiTestForm::StaticClassInfo(); }
  };
  EXPECT_EQ(MessageOf<EResNotFound>([] { Create<TNoResourceForm>(Application); }), "Resource TUiTestForm not found");
}

TEST_F(UiForms, ApplicationWindowTimersAndUtilityWindowsHaveTheirClassNames) {
  Application->SetTitle("KRL Bootloader");
  EXPECT_EQ(WindowClassOf(Application->Handle()), "TApplication");
  EXPECT_FALSE(IsWindowVisible(Application->Handle()));
  char title[64] = {};
  GetWindowTextA(Application->Handle(), title, sizeof title);
  EXPECT_STREQ(title, "KRL Bootloader");

  RecordBoxes();
  Platform().ExceptionSink = nullptr;  // the timer's failure is shown in the box
  auto* timer = new TTimer(nullptr);
  EXPECT_EQ(WindowClassOf(timer->WindowHandle()), "TPUtilWindow");
  int ticks = 0;
  timer->OnTimer = [&](TObject*) {
    ++ticks;
    throw Exception("tick failed");
  };
  timer->SetInterval(10);
  ASSERT_TRUE(testing_support::PumpUntil([&] { return ticks >= 1; }, 2000));
  timer->SetEnabled(false);
  ASSERT_GE(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "tick failed.");
  int windows = FrameworkWindowCount();
  timer->Free();
  EXPECT_EQ(FrameworkWindowCount(), windows - 1);

  int calls = 0;
  HWND util = AllocateHWnd(TWndMethod::FromFunction([&](TMessage& m) {
    if (m.Msg == WM_USER) {
      ++calls;
      m.Result = 5;
      return;
    }
    m.Result = DefWindowProcA(nullptr, m.Msg, m.WParam, m.LParam);
  }));
  EXPECT_EQ(SendMessageA(util, WM_USER, 0, 0), 5);
  EXPECT_EQ(calls, 1);
  DeallocateHWnd(util);
  EXPECT_FALSE(IsWindow(util));
}

TEST_F(UiForms, OpenDialogGoesThroughTheDialogSeam) {
  auto* dialog = new TOpenDialog(nullptr);
  dialog->SetFilter("HEX files (*.hex)|*.hex|All files|*.*");
  dialog->SetFilterIndex(2);
  dialog->SetTitle("Open");
  dialog->SetFileName("old.hex");
  std::string filter;
  std::string initialFile;
  Platform().GetOpenFileNameA = [&](OPENFILENAMEA* ofn) {
    const char* p = ofn->lpstrFilter;
    while (*p) {
      filter += p;
      filter += '|';
      p += strlen(p) + 1;
    }
    initialFile = ofn->lpstrFile;
    EXPECT_STREQ(ofn->lpstrTitle, "Open");
    EXPECT_EQ(ofn->nFilterIndex, 2u);
    EXPECT_TRUE(ofn->Flags & OFN_HIDEREADONLY);
    strcpy(ofn->lpstrFile, "C:\\fw\\new.hex");
    ofn->nFilterIndex = 1;
    return TRUE;
  };
  EXPECT_TRUE(dialog->Execute());
  EXPECT_EQ(filter, "HEX files (*.hex)|*.hex|All files|*.*|");
  EXPECT_EQ(initialFile, "old.hex");
  EXPECT_EQ(dialog->FileName(), "C:\\fw\\new.hex");
  EXPECT_EQ(dialog->FilterIndex(), 1);
  Platform().GetOpenFileNameA = [](OPENFILENAMEA*) { return FALSE; };
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(dialog->FileName(), "C:\\fw\\new.hex");
  dialog->Free();
}

class TFailingOpenDialog : public TOpenDialog {
public:
  explicit TFailingOpenDialog(TComponent* o) : TOpenDialog(o) {}
  DWORD error = 0;

protected:
  DWORD DialogError() const override { return error; }
};

TEST_F(UiForms, AFailingOpenDialogRaisesInsteadOfLookingCancelled) {
  auto* dialog = new TFailingOpenDialog(nullptr);
  Platform().GetOpenFileNameA = [](OPENFILENAMEA*) { return FALSE; };
  EXPECT_FALSE(dialog->Execute());  // cancelled
  dialog->error = FNERR_INVALIDFILENAME;
  EXPECT_EQ(MessageOf<EInvalidOperation>([&] { dialog->Execute(); }), "The open dialog failed (error 3002)");
  dialog->Free();
}

}  // namespace

IMPLEMENT_CLASS(TThrowingForm)
IMPLEMENT_CLASS(TCreateOrderForm)

namespace {

TEST_F(UiForms, AnAcceleratorOfALabelFocusesItsControl) {
  TForm* f = NewForm();
  auto* edit = new TEdit(f);
  edit->SetTop(50);
  edit->SetParent(f);
  NewChild<TEdit>(f);
  auto* label = new TLabel(f);
  label->SetCaption("&Port");
  label->SetFocusControl(edit);
  label->SetParent(f);
  f->Show();
  EXPECT_EQ(f->Perform(CM_DIALOGCHAR, 'p', 0), 1);
  EXPECT_EQ(f->ActiveControl(), edit);
  EXPECT_EQ(f->Perform(CM_DIALOGCHAR, 'x', 0), 0);
  // A freed focus control is forgotten.
  edit->Free();
  EXPECT_EQ(label->FocusControl(), nullptr);
  EXPECT_EQ(f->Perform(CM_DIALOGCHAR, 'p', 0), 0);
  f->Free();
}

TEST_F(UiForms, FinalizingTheFrameworkFreesTheFormsAndItCanStartAgain) {
  TForm* f = NewForm();
  bool destroyed = false;
  f->OnDestroy = [&](TObject*) { destroyed = true; };
  FinalizeForms();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(Application, nullptr);
  EXPECT_EQ(Screen, nullptr);
  InitializeForms();
  ASSERT_NE(Application, nullptr);
  TForm* g = NewForm();
  g->Show();
  EXPECT_EQ(WindowClassOf(g->Handle()), "TForm");
  g->Free();
}


class TSyncThread : public TThread {
public:
  TSyncThread() : TThread(true) {}
  DWORD uiThreadSeen = 0;
  int calls = 0;

protected:
  void Execute() override {
    for (int i = 0; i < 3; ++i)
      Synchronize([this] {
        uiThreadSeen = GetCurrentThreadId();
        ++calls;
      });
  }
};

// A thread's Synchronize calls run inside the UI thread's modal loop and its idle waits (the
// application window is woken), so a handler waiting for a thread never deadlocks.
TEST_F(UiForms, SynchronizeRunsInsideAModalLoop) {
  TForm* dialog = NewForm();
  auto* thread = new TSyncThread();
  dialog->OnShow = [&](TObject*) { thread->Start(); };
  static TSyncThread* s_thread;
  static TForm* s_modal;
  s_thread = thread;
  s_modal = dialog;
  // The loop ends once the thread is done: checked after each message.
  Application->OnIdle = [&](TObject*, bool& done) {
    // Ending the loop: no wait for a further message, which may never come.
    const bool finished = s_thread->Finished();
    if (finished) s_modal->SetModalResult(mrOk);
    done = !finished;
  };
  // Wake the loop after the thread finished.
  thread->OnTerminate = [&](TObject*) { PostMessageA(dialog->Handle(), WM_NULL, 0, 0); };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  Application->OnIdle = nullptr;
  EXPECT_EQ(thread->calls, 3);
  EXPECT_EQ(thread->uiThreadSeen, GetCurrentThreadId());
  thread->Free();
  dialog->Free();
}


TEST_F(UiForms, MessageDialogsAndHintsLeaveNoObjectsBehind) {
  ExpectCyclesLeaveNothing(20, [] {
    TMessageForm* f = CreateMessageDialog("Зупинено користувачем", mtWarning, {mbOK});
    f->Show();
    testing_support::PumpPending();
    f->Free();
    auto* hint = new THintWindow(nullptr);
    hint->ActivateHint(hint->CalcHintRect(200, "\rhint", nullptr), "\rhint");
    hint->Free();
  });
}

}  // namespace
