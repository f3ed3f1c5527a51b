// The skinned-form list, the broadcasts of skin commands to the forms, and the forms' steps around a skin
// change, with a stand-in for the form skinner.
#include <gtest/gtest.h>

#include "SkinTestOwners.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/vkFormServices.h"

using namespace skin_owners;

namespace {

// ---- a stand-in form skinner: the form answers VKCMD_QUERY_FORM_SKINNER with it ----
struct TFakeProvider {
  TCustomForm* Form = nullptr;
  TsScrollWndData* Data = nullptr;
  uint32_t Flags = 0;
  bool Changing = false;
  TBitmap* Snapshot = nullptr;
  bool Border = false;
  int Redraws = 0;  // WM_SETREDRAW 1 minus WM_SETREDRAW 0 seen by the form
};

class TProvidedForm : public TForm {
public:
  explicit TProvidedForm(TComponent* AOwner) : TForm(AOwner) {}
  TFakeProvider* Provider = nullptr;
  std::vector<WORD> Heard;
  void WndProc(TMessage& M) override {
    if (M.Msg == SM_VKCMD) {
      Heard.push_back(SkinCommandCode(M.WParam));
      if (SkinCommandCode(M.WParam) == VKCMD_QUERY_FORM_SKINNER) {
        M.Result = reinterpret_cast<LRESULT>(Provider);
        return;
      }
    }
    if (M.Msg == WM_SETREDRAW && Provider != nullptr) Provider->Redraws += M.WParam != 0 ? 1 : -1;
    TForm::WndProc(M);
  }
};

TFakeProvider* P(TsSkinProvider* S) { return reinterpret_cast<TFakeProvider*>(S); }

struct FormSkinnerStandIn {
  TvkFormServices saved = FormServices;
  FormSkinnerStandIn() {
    FormServices.ProviderSkinData = [](TsSkinProvider* S) { return P(S)->Data; };
    FormServices.ProviderForm = [](TsSkinProvider* S) { return P(S)->Form; };
    FormServices.ProviderStateFlags = [](TsSkinProvider* S) { return P(S)->Flags; };
    FormServices.SetFormStateFlags = [](TsSkinProvider* S, uint32_t F) { P(S)->Flags = F; };
    FormServices.SetProviderChangingSkin = [](TsSkinProvider* S, bool On) { P(S)->Changing = On; };
    FormServices.ProviderBorderForm = [](TsSkinProvider* S) {
      return P(S)->Border ? reinterpret_cast<TvkBorderForm*>(S) : nullptr;
    };
    FormServices.MakeAnimationBitmap = [](TsSkinProvider*, bool) { return NewBitmap32(3, 3); };
    FormServices.ProviderSnapshot = [](TsSkinProvider* S) { return P(S)->Snapshot; };
    FormServices.SetProviderSnapshot = [](TsSkinProvider* S, TBitmap* B) {
      delete P(S)->Snapshot;
      P(S)->Snapshot = B;
    };
  }
  ~FormSkinnerStandIn() { FormServices = saved; }
};

struct StyleSimply : testing::Test {
  void SetUp() override { SkinnedFormList.clear(); }
  void TearDown() override {
    SkinnedFormList.clear();
    ResetPlatform();
  }
};

// A dialog window counting the skin commands it hears (its counter comes with its creation).
LRESULT CALLBACK DialogProc(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
  if (Msg == WM_NCCREATE) SetPropA(W, "Heard", reinterpret_cast<CREATESTRUCTA*>(LP)->lpCreateParams);
  if (Msg == SM_VKCMD) ++*static_cast<int*>(GetPropA(W, "Heard"));
  if (Msg == WM_NCDESTROY) RemovePropA(W, "Heard");
  return DefWindowProcA(W, Msg, WP, LP);
}

TCustomForm* Fake(intptr_t N) { return reinterpret_cast<TCustomForm*>(N * 16); }

}  // namespace

TEST_F(StyleSimply, SectionFallbacksAndLists) {
  // Entries 39..52 by number, each naming a slot of the name table (its own: no fallback).
  const int Fallback[] = {12, 32, 2, 42, 43, 4, 45, 36, 9, 47, 47, 47, 18, 18};
  for (int i = 0; i < 14; ++i) EXPECT_EQ(StdSectionFallback[i], Fallback[i]) << "entry " << 39 + i;
  EXPECT_STREQ(StdSectionNames[12], "TOOLBAR");
  EXPECT_STREQ(StdSectionNames[39], "MENUCAPTION");
  EXPECT_STREQ(StdSectionNames[47], "COLHEADER");
  EXPECT_STREQ(ForeignKindDefaults[1], "TButton");
  const int L[] = {4, 8, 15, 16};
  EXPECT_TRUE(IntListContains(L, 15, 1, 3));
  EXPECT_FALSE(IntListContains(L, 4, 1, 3));
  EXPECT_FALSE(IntListContains(L, 4, 2, 1));
  EXPECT_TRUE(IntListContains(std::span(L, 3), 8, -1, 99));   // bounds beyond the list read only the list
  EXPECT_FALSE(IntListContains(std::span(L, 3), 16, 0, 99));  // the fourth is not in the three
}

TEST_F(StyleSimply, RemovalsFillTheirSlotsFromTheEnd) {
  for (int i = 1; i <= 4; ++i) AddToSkinnedFormList(Fake(i));
  RemoveFromSkinnedFormList(Fake(4));
  EXPECT_EQ(SkinnedFormList, (std::vector<TCustomForm*>{Fake(1), Fake(2), Fake(3)}));
  RemoveFromSkinnedFormList(Fake(1));
  EXPECT_EQ(SkinnedFormList, (std::vector<TCustomForm*>{Fake(3), Fake(2)}));
  RemoveFromSkinnedFormList(Fake(9));
  EXPECT_EQ(SkinnedFormList.size(), 2u);
  // a form listed twice leaves neither copy nor hole
  AddToSkinnedFormList(Fake(2));
  AddToSkinnedFormList(Fake(5));
  RemoveFromSkinnedFormList(Fake(2));
  EXPECT_EQ(SkinnedFormList, (std::vector<TCustomForm*>{Fake(3), Fake(5)}));
}

namespace {
// The marks an MDI client window heard, by window.
WNDPROC g_ClientProc = nullptr;
std::vector<HWND> g_ClientsMarked;
LRESULT CALLBACK NoteClientMarks(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
  if (Msg == SM_VKCMD && SkinCommandCode(WP) == VKCMD_MARK_FOR_UPDATE) g_ClientsMarked.push_back(W);
  return CallWindowProcA(g_ClientProc, W, Msg, WP, LP);
}
}  // namespace

TEST_F(StyleSimply, BroadcastsReachEachFormOnceAndTheVisibleDialogs) {
  FormSkinnerStandIn standIn;
  InitializeForms();
  Owned<TForm> Plain(NewTestForm());
  auto* PlainChild = Place(Plain.get(), 0, 0, 5, 5, Create<TTestGraphicOwner>(Plain.get()));
  Owned<TProvidedForm> Skinned(new TProvidedForm(Application));
  auto* SkinnedChild = Place(Skinned.get(), 0, 0, 5, 5, Create<TTestGraphicOwner>(Skinned.get()));
  // both MDI main forms: their client windows hear each broadcast too, once
  g_ClientsMarked.clear();
  for (TForm* F : {static_cast<TForm*>(Plain.get()), static_cast<TForm*>(Skinned.get())}) {
    F->SetFormStyle(fsMDIForm);
    F->HandleNeeded();
    ASSERT_NE(F->ClientHandle(), nullptr);
    g_ClientProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(F->ClientHandle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NoteClientMarks)));
  }
  TsCommonData FormData(nullptr, false);  // the skinner's data marks the form's window as skinned
  FormData.OwnerHandle = Skinned->Handle();
  FormData.AttachToHandle();
  AddToSkinnedFormList(Skinned.get());
  static HWND Dialogs[2];
  static int DialogHeard = 0;
  DialogHeard = 0;
  WNDCLASSA C{};
  C.lpfnWndProc = DialogProc;
  C.hInstance = GetModuleHandleA(nullptr);
  C.lpszClassName = "StyleSimplyDialog";
  RegisterClassA(&C);
  Dialogs[0] = CreateWindowExA(0, C.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 5, 5, nullptr, nullptr, C.hInstance, &DialogHeard);
  Dialogs[1] = CreateWindowExA(0, C.lpszClassName, "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, C.hInstance, &DialogHeard);
  FormServices.DialogAdapterCount = [] { return 2; };
  FormServices.DialogAdapterWindow = [](int I) { return Dialogs[I]; };
  TMessage M{SM_VKCMD, SkinCommandWParam(VKCMD_MARK_FOR_UPDATE), 0, 0};
  BroadcastToScreenForms(M);
  EXPECT_EQ(PlainChild->Count(VKCMD_MARK_FOR_UPDATE), 1);
  EXPECT_EQ(SkinnedChild->Count(VKCMD_MARK_FOR_UPDATE), 1);
  EXPECT_EQ(std::count(Skinned->Heard.begin(), Skinned->Heard.end(), VKCMD_MARK_FOR_UPDATE), 1)
      << "a skinned form is reached through the list only";
  EXPECT_EQ(DialogHeard, 1) << "the visible dialog only";
  EXPECT_EQ(g_ClientsMarked, (std::vector<HWND>{Plain->ClientHandle(), Skinned->ClientHandle()}));
  for (TForm* F : {static_cast<TForm*>(Plain.get()), static_cast<TForm*>(Skinned.get())})
    SetWindowLongPtrA(F->ClientHandle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_ClientProc));
  FormData.DetachFromHandle();
  RemoveFromSkinnedFormList(Skinned.get());
  for (HWND D : Dialogs) DestroyWindow(D);
}

TEST_F(StyleSimply, TheManagersSkinChangesReachAListedFormAndItsChildrenOnce) {
  FormSkinnerStandIn standIn;
  InitializeForms();
  Owned<TProvidedForm> Skinned(new TProvidedForm(Application));
  auto* Child = Place(Skinned.get(), 0, 0, 5, 5, Create<TTestGraphicOwner>(Skinned.get()));
  Skinned->HandleNeeded();
  TsCommonData FormData(nullptr, false);
  FormData.OwnerHandle = Skinned->Handle();
  FormData.AttachToHandle();
  AddToSkinnedFormList(Skinned.get());
  {
    ManagerPtr m = SolidManager();  // applied: 1, then 0x10 and 3
    m->SetActive(false);            // removed: 2
  }
  const std::vector<WORD> Changes{VKCMD_SKIN_APPLIED, VKCMD_REREAD_SECTION_INDEX, VKCMD_REPAINT_AFTER_CHANGE,
                                  VKCMD_SKIN_DROPPED};
  EXPECT_EQ(Child->Heard, Changes);
  std::vector<WORD> FormHeard;
  for (WORD C : Skinned->Heard)
    if (std::find(Changes.begin(), Changes.end(), C) != Changes.end()) FormHeard.push_back(C);
  EXPECT_EQ(FormHeard, Changes);
  FormData.DetachFromHandle();
  RemoveFromSkinnedFormList(Skinned.get());
}

TEST_F(StyleSimply, SkinChangeStepsFreezeAndReleaseTheSkinnedForms) {
  FormSkinnerStandIn standIn;
  ManagerPtr m = SolidManager();
  Owned<TProvidedForm> Form(new TProvidedForm(Application));
  Form->SetBounds(0, 0, 50, 40);
  TFakeProvider Prov;
  Prov.Form = Form.get();
  Prov.Border = true;
  TsScrollWndData Data(nullptr, true);
  Data.CtrlType = ctForm;
  Prov.Data = &Data;
  Form->Provider = &Prov;
  Form->Show();
  AddToSkinnedFormList(Form.get());

  BeforeSkinChangeForms(m.get());
  EXPECT_EQ(Prov.Flags, 0x1000u);
  EXPECT_NE(Prov.Snapshot, nullptr) << "a form with a border window is pictured before the change";
  EXPECT_TRUE(Prov.Changing);
  EXPECT_TRUE(SkinChangeAnimating) << "the default manager animates skin changes";
  FreezeSkinnedForms(m.get());
  EXPECT_EQ(Prov.Flags, 0x11000u);
  EXPECT_EQ(Prov.Redraws, -1);
  AfterSkinChangeForms(m.get(), 0);
  EXPECT_FALSE(SkinChangeAnimating);
  EXPECT_EQ(Prov.Flags, 0u);
  EXPECT_EQ(Prov.Redraws, 1) << "WM_SETREDRAW 1 from the release and from the reskin";

  // a minimised application takes none of the steps
  Prov.Changing = false;
  CloseWindow(Application->Handle());
  ASSERT_TRUE(IsIconic(Application->Handle()));
  BeforeSkinChangeForms(m.get());
  FreezeSkinnedForms(m.get());
  EXPECT_FALSE(Prov.Changing);
  EXPECT_EQ(Prov.Flags, 0u);
  Prov.Flags = 0x10000;
  AfterSkinChangeForms(m.get(), 0);
  EXPECT_EQ(Prov.Flags, 0x10000u);
  OpenIcon(Application->Handle());
  ShowWindow(Application->Handle(), SW_HIDE);
  delete Prov.Snapshot;
  RemoveFromSkinnedFormList(Form.get());  // as the skinner does when it goes
}

namespace {
// An MDI child whose caption is Extra pixels taller than the system's, as a skinned one can be: its frame and its
// maximised place both say so.
class TTallCaptionChild : public TForm {
public:
  explicit TTallCaptionChild(TComponent* AOwner) : TForm(AOwner) {}
  int Extra = 0;
  void WndProc(TMessage& M) override {
    TForm::WndProc(M);
    if (M.Msg == WM_NCCALCSIZE && M.WParam != 0) reinterpret_cast<NCCALCSIZE_PARAMS*>(M.LParam)->rgrc[0].top += Extra;
    if (M.Msg == WM_GETMINMAXINFO) {
      auto* Info = reinterpret_cast<MINMAXINFO*>(M.LParam);
      Info->ptMaxPosition.y -= Extra;
      Info->ptMaxSize.y += Extra;
    }
  }
};

// The child's client rectangle in the MDI client's coordinates equals the MDI client's whole area.
bool FillsTheMDIClient(TCustomForm* Main, TCustomForm* Child) {
  RECT Area{}, Own{};
  GetClientRect(Main->ClientHandle(), &Area);
  GetClientRect(Child->Handle(), &Own);
  MapWindowPoints(Child->Handle(), Main->ClientHandle(), reinterpret_cast<POINT*>(&Own), 2);
  return EqualRect(&Area, &Own) != FALSE;
}
}  // namespace

TEST_F(StyleSimply, AMaximisedMDIChildTakesTheCaptionHeightOfTheNewSkin) {
  FormSkinnerStandIn standIn;
  ManagerPtr m = SolidManager();
  m->AnimEffects()->SkinChanging()->SetActive(false);
  Owned<TProvidedForm> Main(new TProvidedForm(Application));
  Main->SetBounds(0, 0, 300, 240);
  Main->SetFormStyle(fsMDIForm);
  Application->FormCreated(Main.get());  // the MDI main form children are made in
  TFakeProvider Prov;
  Prov.Form = Main.get();
  TsScrollWndData Data(nullptr, true);
  Prov.Data = &Data;
  Main->Provider = &Prov;
  Main->Show();
  Owned<TTallCaptionChild> Child(new TTallCaptionChild(Application));
  Child->SetFormStyle(fsMDIChild);
  Child->Show();
  Child->SetWindowState(wsMaximized);
  ASSERT_TRUE(FillsTheMDIClient(Main.get(), Child.get()));
  // the new skin's caption is taller: the frame follows, the place does not
  Child->Extra = 6;
  SetWindowPos(Child->Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_FALSE(FillsTheMDIClient(Main.get(), Child.get()));
  const HWND Active = GetActiveWindow();
  const LONG Style = GetWindowLongA(Child->Handle(), GWL_STYLE);
  for (bool Border : {false, true}) {
    Prov.Border = Border;  // only a main form with a border window shows its child again
    Prov.Flags = 0x10000;
    ReskinFormWindow(reinterpret_cast<TsSkinProvider*>(&Prov), 1);
    EXPECT_EQ(FillsTheMDIClient(Main.get(), Child.get()), Border) << Border;
  }
  EXPECT_TRUE(IsZoomed(Child->Handle()));
  EXPECT_EQ(GetWindowLongA(Child->Handle(), GWL_STYLE), Style);
  EXPECT_EQ(GetActiveWindow(), Active);
}
