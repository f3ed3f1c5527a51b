// The skin state of an owner: sections by name and by type, locks, the current state, the skin commands, the
// background protocol between nested owners, and the common message handling.
#include <gtest/gtest.h>

#include <set>

#include "SkinTestOwners.h"
#include "framework/Menus.h"
#include "framework/Platform.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkWindowProps.h"

using namespace skin_owners;

namespace {

struct Fixture : OwnerFormTest {
  // Owners here start with an empty log of what they heard.
  TTestSkinOwner* Owner(const std::string& Section, int L = 10, int T = 10, int W = 40, int H = 20,
                        TWinControl* Parent = nullptr, uint8_t Type = ctButton, bool Cache = true) {
    TTestSkinOwner* O = OwnerFormTest::Owner(Section, L, T, W, H, Parent, Type, Cache);
    O->Clear();
    return O;
  }
  LRESULT Command(TControl* C, WORD Cmd, LPARAM L = 0, WORD Low = 0) {
    TMessage M{SM_VKCMD, SkinCommandWParam(Cmd, Low), L, 0};
    consumed = ProcessSkinCommand(M, As<TTestSkinOwner>(C) ? As<TTestSkinOwner>(C)->SkinData
                                                            : As<TTestGraphicOwner>(C)->SkinData);
    return M.Result;
  }
  ManagerPtr m = SolidManager();
  bool consumed = false;
};

using CommonData = Fixture;

}  // namespace

TEST_F(CommonData, DefaultSectionsFollowTheTypeTableOrTheOwnersClass) {
  ASSERT_TRUE(m->SkinData().Active);
  const int Huge = m->FindSectionIndex("BUTTON_HUGE");
  struct Case {
    uint8_t type;
    LRESULT ownAnswer;  // to VKCMD_QUERY_OWNER_SECTION
    const char* section;
    int index;
  } cases[] = {
      {228, 0, "EDIT", m->FindSectionIndex("EDIT")},
      {17, 0, "COMBOBOX", m->FindSectionIndex("COMBOBOX")},
      {19, 0, "BAR", m->FindSectionIndex("BAR")},
      {200, 0, "TTESTSKINOWNER", -1},  // outside the table: the owner's class, which the skin lacks
      {ctButton, Huge + 1, "", Huge},   // by owner: its answer minus one
      {ctPanel, 0, "", -1},             // by owner, which names none
  };
  for (const Case& c : cases) {
    auto* O = Create<TTestSkinOwner>(form);
    O->SkinData->CtrlType = c.type;
    O->OwnSection = c.ownAnswer;
    Place(form, 0, 0, 10, 10, O);
    O->SkinData->FinishLoading(false);
    EXPECT_EQ(O->SkinData->SkinSection(), c.section) << int(c.type);
    EXPECT_EQ(O->SkinData->SkinIndex, c.index) << int(c.type);
  }
}

TEST_F(CommonData, SectionNamesAreUpperCasedAndTheDefaultManagerIsFollowed) {
  TTestSkinOwner* O = Owner("button");
  EXPECT_EQ(O->SkinData->SkinSection(), "BUTTON");
  EXPECT_EQ(O->SkinData->SkinIndex, m->FindSectionIndex("BUTTON"));
  EXPECT_EQ(O->SkinData->BorderIndex, m->gd()[O->SkinData->SkinIndex].BorderIndex);
  EXPECT_EQ(O->Count(VKCMD_REPAINT_AFTER_CHANGE), 0);
  O->SkinData->SetSkinSection("NOSUCHSECTION");
  EXPECT_EQ(O->SkinData->SkinIndex, -1);
  EXPECT_FALSE(O->SkinData->IsSkinned());
  EXPECT_EQ(O->Count(VKCMD_SKIN_DROPPED), 1) << "a section the skin lacks leaves the owner unskinned";

  O->SkinData->SetSkinManager(m.get());
  EXPECT_EQ(O->SkinData->OwnSkinManager(), nullptr) << "the default manager is stored as none";
  EXPECT_EQ(O->SkinData->SkinManager(), m.get());
  {
    ManagerPtr other(Create<TsSkinManager>(nullptr));
    other->SetIsDefault(true);
    EXPECT_EQ(O->SkinData->SkinManager(), other.get()) << "a later default is followed";
  }
}

TEST_F(CommonData, LocksNestAndEveryUnlockBelowOneTellsTheOwner) {
  TTestSkinOwner* O = Owner("PANEL");
  TsCommonData* D = O->SkinData;
  D->LockUpdates();
  D->LockUpdates();
  EXPECT_EQ(O->Count(VKCMD_UPDATES_LOCKED), 2);
  EXPECT_TRUE(D->Updating);
  D->UnlockUpdates(false);
  EXPECT_TRUE(D->Updating) << "an outer lock remains";
  EXPECT_NE(D->StateFlags & sfLocked, 0);
  EXPECT_EQ(O->Count(VKCMD_UPDATES_UNLOCKED), 0);
  D->UnlockUpdates(false);
  EXPECT_FALSE(D->Updating);
  EXPECT_EQ(D->StateFlags & sfLocked, 0);
  D->UnlockUpdates(false);
  EXPECT_EQ(O->Count(VKCMD_UPDATES_UNLOCKED), 2) << "each unlock below one tells the owner";
  EXPECT_EQ(D->UpdateCount, 0);
  D->LockUpdates();
  EXPECT_TRUE(D->Updating) << "a lock after surplus unlocks still holds";
  D->UnlockUpdates(false);
}

TEST_F(CommonData, CurrentStateFromFocusHoverAndType) {
  struct Case {
    uint8_t type;
    bool enabled, focused, hot, noHover;
    int state;
  } cases[] = {
      {ctButton, true, false, false, false, 0}, {ctButton, true, false, true, false, 1},
      {ctButton, false, true, true, false, 0},  {ctButton, true, true, false, false, 1},
      {ctPanel, true, false, true, false, 0},   {5, true, false, true, false, 0},  // hover never makes an edit hot
      {ctButton, true, false, true, true, 0},
  };
  TTestSkinOwner* O = Owner("BUTTON");
  for (const Case& c : cases) {
    O->SkinData->CtrlType = c.type;
    O->SetEnabled(c.enabled);
    O->SkinData->Focused = c.focused;
    O->SkinData->Hot = c.hot;
    m->Options()->SetFlag(1, c.noHover);
    EXPECT_EQ(O->SkinData->CurrentState(), c.state) << int(c.type) << c.enabled << c.focused << c.hot << c.noHover;
  }
}

TEST_F(CommonData, SkinCommandsAnswerAndConsumeAsTabled) {
  TTestSkinOwner* O = Owner("EDIT", 3, 4, 40, 20);
  TsCommonData* D = O->SkinData;
  RECT Bounds{};
  int32_t SectionRecord[2] = {0, 0};
  struct Case {
    WORD cmd;
    LPARAM lparam;
    LRESULT answer;
    bool consumed;
  } cases[] = {
      {0, 0, 0, false},
      {VKCMD_LOAD_EDITOR_SKIN, 0, 0, false},
      {VKCMD_05, 0, 0, false},
      {VKCMD_QUERY_SKINNED, 0, 1, true},
      {VKCMD_QUERY_OWNER_SECTION, 0, 0, false},
      {VKCMD_SET_UPDATE_STATE, 0, 0, true},
      {VKCMD_SET_SECTION, 0, 0, false},  // no name: the section stays
      {VKCMD_QUERY_BG_READY, 0, 1, true},
      {VKCMD_QUERY_SECTION_INDEX, reinterpret_cast<LPARAM>(SectionRecord), 0, true},
      {VKCMD_QUERY_SKIN_DATA, 0, reinterpret_cast<LRESULT>(D), true},
      {VKCMD_QUERY_CLIENT_OFFSET, 0, 0, false},
      {VKCMD_SET_SCALE, 125, 0, false},  // never consumed: the owner rescales itself
      {VKCMD_QUERY_SCALE, 0, 125, true},
      {VKCMD_QUERY_BOUNDS, reinterpret_cast<LPARAM>(&Bounds), 0, true},
      {VKCMD_SKIN_APPLIED, 12345, 0, false},  // another manager
      {VKCMD_SKIN_DROPPED, 12345, 0, false},
      {VKCMD_SECTION_REPAINT, 0, 0, false},
      {VKCMD_QUERY_APPLICATION, 0, reinterpret_cast<LRESULT>(Application), true},
      {VKCMD_ADAPT_CONTROL, 0, 0, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Command(O, c.cmd, c.lparam), c.answer) << std::hex << c.cmd;
    EXPECT_EQ(consumed, c.consumed) << std::hex << c.cmd;
  }
  EXPECT_EQ(D->SkinSection(), "EDIT");
  EXPECT_EQ(SectionRecord[1], D->SkinIndex);
  EXPECT_EQ(D->ScalePercent, 125);
  EXPECT_EQ(Bounds.left, 3);
  EXPECT_EQ(Bounds.bottom, 24);

  EXPECT_EQ(Command(O, VKCMD_SET_PRINT_DC, 0x1234), 1);
  EXPECT_NE(D->StateFlags & sfPrinting, 0);
  Command(O, VKCMD_SET_PRINT_DC, 0);
  EXPECT_EQ(D->StateFlags & sfPrinting, 0);
  EXPECT_EQ(Command(O, VKCMD_QUERY_CLIPPED_OUT), 0);
  Command(O, VKCMD_SET_CLIPPED_OUT);
  EXPECT_EQ(Command(O, VKCMD_QUERY_CLIPPED_OUT), 1);
  EXPECT_EQ(Command(O, VKCMD_SET_SECTION, reinterpret_cast<LPARAM>("panel")), 1);
  EXPECT_EQ(D->SkinSection(), "PANEL");
  EXPECT_EQ(Command(O, VKCMD_SECTION_REPAINT, reinterpret_cast<LPARAM>("Panel")), 0);
  EXPECT_TRUE(consumed);
  Command(O, VKCMD_SET_UPDATE_STATE, 0, 1);
  EXPECT_TRUE(D->Updating);
}

TEST_F(CommonData, BackgroundColourAnswerMixesByTheTransparencyAsAWeightOf256) {
  EXPECT_EQ(MixBackgroundColor(0x0000FF, 0x000000, 50), 0x000031u) << "black at 50 over pure red";
  TTestSkinOwner* Panel = Owner("PANEL", 0, 0, 100, 60, nullptr, ctPanel);
  TTestSkinOwner* Glass = Owner("TRANSLUCENT", 5, 5, 40, 20, Panel);
  TTestSkinOwner* Clear = Owner("CAPTION", 5, 30, 40, 20, Panel);
  EXPECT_EQ(Command(Panel, VKCMD_QUERY_BG_COLOR), static_cast<LRESULT>(Html(0xFFFF00)));
  // parent 0x00FFFF, state 0x604020: ((C - S) * 50 + S * 256) shr 8 per byte
  EXPECT_EQ(Command(Glass, VKCMD_QUERY_BG_COLOR), 0x4D654B);
  EXPECT_EQ(Command(Clear, VKCMD_QUERY_BG_COLOR), static_cast<LRESULT>(Html(0xFFFF00)));
  Glass->SkinData->SetSkinSection("NONE");
  Glass->SetColor(clRed);
  EXPECT_EQ(Command(Glass, VKCMD_QUERY_BG_COLOR), static_cast<LRESULT>(ColorToRGB(clRed)));
}

TEST_F(CommonData, StateSectionQueries) {
  TTestSkinOwner* Panel = Owner("PANEL", 0, 0, 100, 60, nullptr, ctPanel);
  TTestSkinOwner* Edit = Owner("EDIT", 5, 5, 40, 20, Panel);
  TTestSkinOwner* Clear = Owner("CAPTION", 5, 30, 40, 20, Panel);
  TvkStateSectionRequest Req{RECT{}, 2, 99};
  EXPECT_EQ(Command(Edit, VKCMD_QUERY_STATE_SECTION, reinterpret_cast<LPARAM>(&Req)), -1)
      << "state 2 of a section with 2 states";
  EXPECT_EQ(Req.SectionIndex, -1);
  Req = TvkStateSectionRequest{RECT{}, 1, 99};
  EXPECT_EQ(Command(Edit, VKCMD_QUERY_STATE_SECTION, reinterpret_cast<LPARAM>(&Req)), 1);
  EXPECT_EQ(Req.SectionIndex, Edit->SkinData->SkinIndex);
  Req = TvkStateSectionRequest{RECT{0, 0, 40, 20}, 0, 99};
  EXPECT_EQ(Command(Clear, VKCMD_QUERY_STATE_SECTION, reinterpret_cast<LPARAM>(&Req)), 1)
      << "a see-through state is answered by the parent";
  EXPECT_EQ(Req.SectionIndex, Panel->SkinData->SkinIndex);
  EXPECT_EQ(SectionIndexForState(Clear, Clear->SkinData->SkinIndex, m.get(), 0), Panel->SkinData->SkinIndex);
  EXPECT_EQ(SectionIndexForState(Edit, Edit->SkinData->SkinIndex, m.get(), 1), Edit->SkinData->SkinIndex);
  EXPECT_EQ(ControlFontColor(Clear, Clear->SkinData->SkinIndex, m.get(), 0), Html(0x000000)) << "the panel's text";
  EXPECT_EQ(ControlFontColor(Edit, Edit->SkinData->SkinIndex, m.get(), 1), Html(0x000000));
}

TEST_F(CommonData, SkinChangeCommandsKeepOwnersThatNameTheirSectionSkinned) {
  auto* O = Create<TTestSkinOwner>(form);
  O->SkinData->CtrlType = ctButton;
  O->OwnSection = m->FindSectionIndex("BUTTON") + 1;
  Place(form, 0, 0, 40, 20, O);
  O->SkinData->FinishLoading(false);
  ASSERT_TRUE(O->SkinData->IsSkinned());
  const LPARAM M = reinterpret_cast<LPARAM>(m.get());
  Command(O, VKCMD_SKIN_APPLIED, M);
  EXPECT_TRUE(consumed);
  EXPECT_EQ(O->SkinData->SkinIndex, m->FindSectionIndex("BUTTON")) << "re-resolved through the owner's answer";
  EXPECT_TRUE(O->SkinData->CacheBmp->Empty());

  Command(O, VKCMD_SKIN_DROPPED, M);
  EXPECT_FALSE(consumed) << "the owner sees the drop too";
  EXPECT_EQ(O->SkinData->SkinIndex, -1);
  EXPECT_TRUE(O->SkinData->Updating);
  Command(O, VKCMD_SKIN_APPLIED, M);
  Command(O, VKCMD_REPAINT_AFTER_CHANGE, M);
  EXPECT_TRUE(consumed);
  EXPECT_TRUE(O->SkinData->IsSkinned());
  EXPECT_FALSE(O->SkinData->Updating);
  EXPECT_TRUE(O->SkinData->CacheDirty);
  O->HandleNeeded();  // the class's brush outlives the skin it came from
  O->SkinData->ApplySkinColors(false);
  const auto Given = reinterpret_cast<HBRUSH>(GetClassLongPtrA(O->Handle(), GCLP_HBRBACKGROUND));
  O->Free();  // the class keeps it with no window left
  std::set<HBRUSH> Seen;
  for (int Step = 1; Step <= 40; ++Step) {
    m->SetBrightness(Step);  // the palette follows
    for (int i = 0; i < 6; ++i) Seen.insert(m->PaletteBrush(i));
  }
  auto Alive = [](HBRUSH B) { return GetObjectType(B) == static_cast<DWORD>(OBJ_BRUSH); };
  EXPECT_GE(Seen.size(), 20u);
  EXPECT_LE(std::count_if(Seen.begin(), Seen.end(), Alive), 12) << "the brushes of two palettes at most";
  m->SetActive(false);
  EXPECT_EQ(GetObjectType(Given), static_cast<DWORD>(OBJ_BRUSH));
}

TEST_F(CommonData, NestedOwnersAnswerBackgroundRequests) {
  form->Show();
  TTestSkinOwner* Panel = Owner("PANEL", 10, 10, 100, 60, nullptr, ctPanel);
  TTestSkinOwner* Glass = Owner("TRANSLUCENT", 5, 5, 40, 20, Panel);
  // opaque with a cache: the cache, rebuilt on request, offsets untouched
  TvkParentBgQuery Q{.OffsetX = 5, .OffsetY = 5};
  QueryParentBackground(Q, Panel, false);
  EXPECT_EQ(Q.Kind, bgkBitmap);
  EXPECT_EQ(Q.Bmp, Panel->SkinData->CacheBmp);
  EXPECT_EQ(Q.OffsetX, 5);
  EXPECT_EQ(Panel->Rebuilds, 1);
  EXPECT_EQ(Rgb(Q.Bmp, 5, 5), SwapRedBlue(Html(0xFFFF00)));

  // translucent over it: its cache mixes the panel through
  Glass->Perform(SM_VKCMD, SkinCommandWParam(VKCMD_REFRESH_CACHE), 0);
  EXPECT_EQ(Rgb(Glass->SkinData->CacheBmp, 0, 0), SwapRedBlue(0x4D654Bu));
  Q = TvkParentBgQuery{};
  QueryParentBackground(Q, Glass, false);
  EXPECT_EQ(Q.Kind, bgkBitmap) << "a translucent owner gives even a dirty cache";

  // a translucent owner with nothing to give: not ready, and it marks itself updating
  TTestSkinOwner* Empty = Owner("TRANSLUCENT", 60, 5, 0, 0, Panel);
  Q = TvkParentBgQuery{};
  QueryParentBackground(Q, Empty, false);
  EXPECT_EQ(Q.Kind, bgkNotReady);
  EXPECT_TRUE(Empty->SkinData->Updating);

  // an unskinned or own-coloured owner gives its colour
  Glass->SkinData->SetCustomColor(true);
  Glass->SetColor(clLime);
  Q = TvkParentBgQuery{};
  QueryParentBackground(Q, Glass, false);
  EXPECT_EQ(Q.Kind, bgkColor);
  EXPECT_EQ(Q.Color, ColorToRGB(clLime));
}

TEST_F(CommonData, AChildOfACachelessClearOwnerFindsTheGrandparentsPixel) {
  TTestSkinOwner* Panel = Owner("PANEL", 10, 10, 100, 60, nullptr, ctPanel);
  TTestSkinOwner* Clear = Owner("CAPTION", 5, 6, 50, 30, Panel, 20, false);
  BuildFlatCache(Panel->SkinData, Panel);
  Panel->SkinData->CacheDirty = false;
  PutPixel32(Panel->SkinData->CacheBmp, 12, 14, 0xFF123456);
  // the child's origin (7, 8) in the clear owner; the owner adds its own place before asking on
  TvkParentBgQuery Q{.OffsetX = 7, .OffsetY = 8, .Area = TRect(0, 0, 4, 4)};
  QueryParentBackground(Q, Clear, false);
  ASSERT_EQ(Q.Kind, bgkBitmap);
  EXPECT_EQ(Rgb(Q.Bmp, Q.OffsetX, Q.OffsetY), 0x123456u);

  // the same asked to be drawn: the panel's cache lands on the DC's origin
  TBitmap* Target = NewBitmap32(4, 4);
  Q = TvkParentBgQuery{.OffsetX = 7, .OffsetY = 8, .Area = TRect(0, 0, 4, 4), .DrawDC = Target->Canvas()->Handle()};
  QueryParentBackground(Q, Clear, true);
  EXPECT_EQ(Rgb(Target, 0, 0), 0x123456u);
  delete Target;

  // and an invisible graphic child there paints exactly that behind itself
  auto* Child = Create<TTestGraphicOwner>(form);
  Place(Clear, 7, 8, 4, 4, Child);
  Child->SetVisible(false);
  TBitmap* Snap = NewBitmap32(4, 4);
  PaintControlToBitmap(Snap, Child, 0, 0, nullptr, false);
  EXPECT_EQ(Rgb(Snap, 0, 0), 0x123456u);
  delete Snap;
}

TEST_F(CommonData, AChildWaitingForItsParentRedrawsWhenTheParentIsDone) {
  form->Show();
  TTestSkinOwner* Panel = Owner("PANEL", 10, 10, 100, 60, nullptr, ctPanel);
  TTestSkinOwner* Glass = Owner("TRANSLUCENT", 5, 5, 40, 20, Panel);
  Panel->SkinData->Updating = true;
  Glass->SkinData->Updating = true;
  EXPECT_TRUE(Glass->SkinData->IsUpdating());
  EXPECT_EQ(SendSkinCommand(Panel->Handle(), VKCMD_QUERY_UPDATE_STATE, 0), 1);
  // still waiting: the parent's notice finds it still updating
  SendSkinCommand(Glass->Handle(), VKCMD_PARENT_UPDATE_DONE, 0);
  EXPECT_TRUE(Glass->SkinData->Updating);
  Panel->SkinData->Updating = false;
  Glass->Paints = 0;
  SendSkinCommand(Panel->Handle(), VKCMD_PARENT_UPDATE_DONE, 0);
  EXPECT_FALSE(Glass->SkinData->Updating);
  EXPECT_EQ(Glass->Count(VKCMD_PARENT_UPDATE_DONE), 2);
  EXPECT_GE(Glass->Paints, 1) << "redrawn at once";
}

TEST_F(CommonData, TheWindowPropertyLivesWithTheData) {
  TTestSkinOwner* O = Owner("PANEL");
  const HWND Wnd = O->Handle();
  EXPECT_EQ(SkinDataOfHandle(Wnd), O->SkinData);
  EXPECT_TRUE(WindowHasSkin(Wnd));
  EXPECT_TRUE(ControlHasSkin(O, true));
  delete O->SkinData;
  O->SkinData = nullptr;
  EXPECT_EQ(GetPropA(Wnd, "VKSDATA"), nullptr);
  // a data linked to a plain window by its handle
  HWND Plain = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  auto* D = new TsCommonData(nullptr, false);
  D->OwnerHandle = Plain;
  D->AttachToHandle();
  EXPECT_EQ(SkinDataOfHandle(Plain), D);
  EXPECT_EQ(GetPropA(Plain, "VKSDATA"), D);
  delete D;
  EXPECT_EQ(GetPropA(Plain, "VKSDATA"), nullptr);
  EXPECT_EQ(SkinDataOfHandle(Plain), nullptr);
  // the window gone while its data lives
  D = new TsCommonData(nullptr, false);
  D->OwnerHandle = Plain;
  D->AttachToHandle();
  DestroyWindow(Plain);
  EXPECT_EQ(SkinDataOfHandle(Plain), nullptr);
  delete D;
  // a property of that name on a window of another process means nothing here
  const HWND Desktop = GetDesktopWindow();
  DWORD Process = 0;
  GetWindowThreadProcessId(Desktop, &Process);
  if (Process != GetCurrentProcessId()) {
    SkinDataProps().Set(Desktop, reinterpret_cast<void*>(0x1234));
    EXPECT_EQ(SkinDataOfHandle(Desktop), nullptr);
    SkinDataProps().Remove(Desktop);
  }
}

TEST_F(CommonData, TheWindowPropertyFollowsTheWindowNotItsHandle) {
  TTestSkinOwner* O = Owner("PANEL");
  const HWND Old = O->Handle();
  // the old window answers to its last message, after the framework has let go of it, as the system's property does
  TsCommonData* AtLast = nullptr;
  const TWndMethod Own = O->WindowProc;
  O->WindowProc = TWndMethod::FromFunction([&](TMessage& M) {
    Own(M);
    if (M.Msg == WM_NCDESTROY) AtLast = SkinDataOfHandle(Old);
  });
  O->RecreateWnd();
  const HWND New = O->Handle();
  ASSERT_NE(New, Old);
  EXPECT_EQ(AtLast, O->SkinData);
  EXPECT_EQ(SkinDataOfHandle(Old), nullptr);
  EXPECT_EQ(SkinDataOfHandle(New), O->SkinData);
  EXPECT_EQ(GetPropA(New, "VKSDATA"), O->SkinData);
  O->WindowProc = Own;
}

TEST_F(CommonData, UnskinnedPrintPaintsTheControlAndThenItsGraphicChildren) {
  TTestSkinOwner* O = Owner("NONE", 0, 0, 40, 20);
  O->SetColor(clBlue);
  auto* Child = Create<TTestGraphicOwner>(form);
  Place(O, 10, 5, 8, 6, Child);
  Child->Fill = clRed;
  TBitmap* Snap = NewBitmap32(40, 20);
  TMessage M{WM_PRINT, reinterpret_cast<WPARAM>(Snap->Canvas()->Handle()), 0, 0};
  EXPECT_TRUE(ProcessCommonSkinMessage(M, O->SkinData));
  EXPECT_EQ(Rgb(Snap, 1, 1), SwapRedBlue(ColorToRGB(clBlue))) << "the control's own face";
  EXPECT_EQ(Rgb(Snap, 12, 7), SwapRedBlue(ColorToRGB(clRed)));
  delete Snap;
}

TEST_F(CommonData, HoverAndVisibilityInTheCommonHandling) {
  TTestSkinOwner* Button = Owner("BUTTON", 0, 0, 40, 20, nullptr, ctButton);
  TTestSkinOwner* Panel = Owner("PANEL", 50, 0, 40, 20, nullptr, ctPanel);
  Panel->SetHint("Its hint");
  Panel->SetShowHint(true);
  Application->HintMouseControlChanged(Panel);  // its pause runs: nothing shows of itself meanwhile
  LibraryHintManagerActive = [] { return true; };  // as while the library's hint manager is made and active
  for (TTestSkinOwner* O : {Button, Panel}) O->Perform(CM_MOUSEENTER, 0, 0);
  LibraryHintManagerActive = nullptr;
  EXPECT_TRUE(Application->HintWindow() != nullptr && IsWindowVisible(Application->HintWindow()->Handle()));
  EXPECT_TRUE(Button->SkinData->Hot);
  EXPECT_FALSE(Panel->SkinData->Hot) << "panels never take the hot state";
  EXPECT_EQ(m->HotWindow(), Panel->Handle());
  const LONG_PTR Own = SetWindowLongPtrA(Button->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcA));
  m->ChangeHotWindow(Button->Handle());  // past a foreign subclass that hears no skin command
  SetWindowLongPtrA(Button->Handle(), GWLP_WNDPROC, Own);
  EXPECT_EQ(Button->Count(VKCMD_MOUSE_ENTERED), 2);
  // leaving while the cursor is still over the window changes nothing
  Platform().GetCursorPos = [&](POINT* P) {
    RECT R;
    GetWindowRect(Button->Handle(), &R);
    *P = POINT{R.left + 1, R.top + 1};
    return TRUE;
  };
  Button->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(Button->SkinData->Hot);
  Platform().GetCursorPos = [](POINT* P) {
    *P = POINT{-5000, -5000};
    return TRUE;
  };
  Button->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(Button->SkinData->Hot);

  Button->SkinData->Hot = Button->SkinData->Focused = true;
  Button->SkinData->CacheDirty = false;
  Button->Perform(CM_ENABLEDCHANGED, 0, 0);
  EXPECT_FALSE(Button->SkinData->Hot || Button->SkinData->Focused);
  EXPECT_TRUE(Button->SkinData->CacheDirty);

  // with memory first, an invisible owner keeps no image
  BuildFlatCache(Button->SkinData, Button);
  Button->Perform(CM_VISIBLECHANGED, 0, 0);
  EXPECT_FALSE(Button->SkinData->CacheBmp->Empty()) << "speed first keeps it";
  m->Options()->SetOptimizingPriority(opMemory);
  Button->Perform(CM_VISIBLECHANGED, 0, 0);
  EXPECT_TRUE(Button->SkinData->CacheBmp->Empty());
  Button->SkinData->Updating = true;
  Button->Perform(CM_VISIBLECHANGED, 1, 0);
  EXPECT_FALSE(Button->SkinData->Updating);
}

TEST_F(CommonData, AContextMenuIsSkinnedAsTheManagerIs) {
  static std::vector<std::pair<TMenu*, bool>> Inits;
  Inits.clear();
  const TvkFormServices Saved = FormServices;
  FormServices.CreateSkinableMenus = [](TsSkinManager*) { return reinterpret_cast<TsSkinableMenus*>(0x100); };
  FormServices.FreeSkinableMenus = [](TsSkinableMenus*) {};
  FormServices.InitPopupMenu = [](TsSkinableMenus*, TMenu* Menu, bool On) { Inits.push_back({Menu, On}); };
  {
    ManagerPtr Own(Create<TsSkinManager>(nullptr));
    TTestSkinOwner* O = Owner("PANEL");
    O->SkinData->SetSkinManager(Own.get());
    O->Perform(WM_CONTEXTMENU, 0, 0);
    EXPECT_TRUE(Inits.empty()) << "no popup menu";
    auto* Menu = new TPopupMenu(form);
    O->SetPopupMenu(Menu);
    O->Perform(WM_CONTEXTMENU, 0, 0);
    Own->SetActive(false);
    O->Perform(WM_CONTEXTMENU, 0, 0);
    EXPECT_EQ(Inits, (std::vector<std::pair<TMenu*, bool>>{{Menu, true}, {Menu, false}}));
    O->SkinData->SetSkinManager(nullptr);
  }
  FormServices = Saved;
}
