// The main form's panels, buttons and combo boxes read from the stored form with the carried TIDE skin: each
// prints its cache, the panels show their section, the service view's ones paint once uncovered, removing
// and applying the skin again gives the plain look and back, the combo boxes keeping what they hold and each
// making its window anew once each way, the skin coming back drawing the form once, and a change of skin repaints
// them all from the new one.
#include "tests/app/LoaderApp.h"

#include "skin/controls/sButton.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sPanel.h"
#include "skin/core/sSkinManager.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SkinFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>


using LoaderMainFormControls = LoaderTest;

namespace {

constexpr uint32_t kPanel = 0xF3F5F7;  // TIDE's PANEL colour (#RRGGBB)

bool OwnerDrawn(TsComboBox* C) { return (GetWindowLongA(C->Handle(), GWL_STYLE) & CBS_OWNERDRAWFIXED) != 0; }

int g_ComboWindowsMade = 0;
LRESULT CALLBACK CountComboWindows(int Code, WPARAM W, LPARAM L) {
  char Class[64] = {};
  if (Code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(W), Class, sizeof Class) &&
      std::string(Class) == "TsComboBox")
    ++g_ComboWindowsMade;
  return CallNextHookEx(nullptr, Code, W, L);
}

// The combo box windows made while Step runs.
int ComboWindowsMadeBy(const std::function<void()>& Step) {
  g_ComboWindowsMade = 0;
  const HHOOK Hook = SetWindowsHookExA(WH_CBT, CountComboWindows, nullptr, GetCurrentThreadId());
  Step();
  UnhookWindowsHookEx(Hook);
  return g_ComboWindowsMade;
}

// The whole-frame and the client paints the main form's window is sent while Step runs.
struct TFormPaints {
  int Frame = 0, Client = 0;
  int Activations = 0;  // another program's window taking or giving back the focus redraws the frame
};
TFormPaints g_FormPaints;
HWND g_PaintedForm = nullptr;
LRESULT CALLBACK CountFormPaints(int Code, WPARAM W, LPARAM L) {
  const auto* Sent = reinterpret_cast<const CWPSTRUCT*>(L);
  if (Code == HC_ACTION && Sent->hwnd == g_PaintedForm) {
    // the whole frame: a part of it uncovered by another program's window meanwhile is drawn by itself
    if (Sent->message == WM_NCPAINT && Sent->wParam == 1) ++g_FormPaints.Frame;
    if (Sent->message == WM_PAINT) ++g_FormPaints.Client;
    if (Sent->message == WM_NCACTIVATE) ++g_FormPaints.Activations;
  }
  return CallNextHookEx(nullptr, Code, W, L);
}
TFormPaints FormPaintsBy(const std::function<void()>& Step) {
  g_FormPaints = TFormPaints();
  g_PaintedForm = MainForm->Handle();
  const HHOOK Hook = SetWindowsHookExA(WH_CALLWNDPROC, CountFormPaints, nullptr, GetCurrentThreadId());
  Step();
  UnhookWindowsHookEx(Hook);
  return g_FormPaints;
}

}  // namespace

TEST_F(LoaderMainFormControls, PanelsButtonsAndCombosPrintTheirSkinnedFaces) {
  MainForm->SetHeight(340);  // the service view uncovers the lower panels and the baud-rate box
  testing_support::PumpPending();
  for (TsPanel* P : {MainForm->sPanel1, MainForm->sPanel2, MainForm->sPanel3}) {
    ExpectPrintsItsCache(P, P->SkinData());
    EXPECT_EQ(CacheRgb(P->SkinData(), 3, P->Height() / 2), kPanel);
  }
  EXPECT_EQ(MainForm->sPanel1->CaptionRect(), TRect(1, 1, 288, 72));
  for (TsButton* B : {MainForm->ButtonConect, MainForm->ButtonOpenHex, MainForm->sButton2, MainForm->sButton3})
    ExpectPrintsItsCache(B, B->SkinData());
  for (TsComboBox* C : {MainForm->cbPort, MainForm->cbBaudRate, MainForm->sComboBoxSkinName}) {
    EXPECT_TRUE(OwnerDrawn(C)) << C->Name();
    ExpectPrintsItsCache(C, C->SkinData());
  }
  EXPECT_EQ(MainForm->sButton2->SkinData()->SkinIndex, MainForm->sSkinManager1->FindSectionIndex("DIALOG"));
}

TEST_F(LoaderMainFormControls, WithoutTheSkinThePlainLookAndBackKeepingTheCombosContent) {
  TsComboBox* Baud = MainForm->cbBaudRate;
  const int Index = Baud->ItemIndex();
  const int Count = Baud->Items()->Count();
  ASSERT_GT(Count, 0);
  // each of the three boxes is made anew once: plain without the skin, owner-drawn with it
  EXPECT_EQ(ComboWindowsMadeBy([] { MainForm->sSkinManager1->SetActive(false); }), 3);
  EXPECT_FALSE(OwnerDrawn(Baud));
  EXPECT_FALSE(MainForm->sPanel1->SkinData()->IsSkinned());
  EXPECT_FALSE(MainForm->ButtonConect->SkinData()->IsSkinned());
  EXPECT_EQ(Baud->Items()->Count(), Count);
  EXPECT_EQ(Baud->ItemIndex(), Index);
  EXPECT_EQ(ComboWindowsMadeBy([] { MainForm->sSkinManager1->SetActive(true); }), 3);
  EXPECT_TRUE(OwnerDrawn(Baud));
  EXPECT_EQ(Baud->Items()->Count(), Count);
  EXPECT_EQ(Baud->ItemIndex(), Index);
  ExpectPrintsItsCache(MainForm->sPanel1, MainForm->sPanel1->SkinData());
}

TEST_F(LoaderMainFormControls, TheSkinComingBackFadesInAndDrawsTheFormOnce) {
  TsSkinManager* M = MainForm->sSkinManager1;
  ASSERT_TRUE(M->AnimEffects()->SkinChanging()->Active());
  // Another program's window that wholly covered the form and goes meanwhile has the whole frame drawn once
  // more, which no test can tell from the change's own: the fewest of three changes is the change's.
  int FewestFrames = INT_MAX;
  for (int Change = 0; Change < 3; ++Change) {
    M->SetActive(false);
    testing_support::PumpPending();
    const TFormPaints Paints = FormPaintsBy([M] { M->SetActive(true); });
    FewestFrames = std::min(FewestFrames, Paints.Frame - Paints.Activations);
    EXPECT_GE(Paints.Client, 1);
  }
  EXPECT_EQ(FewestFrames, 1);
  ExpectPrintsItsCache(MainForm->sPanel1, MainForm->sPanel1->SkinData());
}

TEST_F(LoaderMainFormControls, ASkinChangeRepaintsEveryControlFromTheNewSkin) {
  MainForm->SetHeight(340);
  testing_support::PumpPending();
  TsSkinManager* M = MainForm->sSkinManager1;
  M->SetSkinDirectory(testing_support::ProgramFolder() + "..\\..\\tools\\skin\\");
  M->SetSkinName("SOLID");
  testing_support::PumpPending();
  ASSERT_EQ(M->SkinName(), "SOLID");
  for (TsPanel* P : {MainForm->sPanel1, MainForm->sPanel2, MainForm->sPanel3}) {
    ExpectPrintsItsCache(P, P->SkinData());
    EXPECT_EQ(CacheRgb(P->SkinData(), 3, P->Height() / 2), 0xFFFF00u) << P->Name();  // SOLID's PANEL
  }
  for (TsButton* B : {MainForm->ButtonConect, MainForm->ButtonOpenHex}) {
    ExpectPrintsItsCache(B, B->SkinData());
    const uint32_t Face = CacheRgb(B->SkinData(), 3, B->Height() / 2);  // SOLID's BUTTON_HUGE, any state
    EXPECT_TRUE(Face == 0x008080 || Face == 0x00C0C0 || Face == 0x004040) << B->Name() << " " << std::hex << Face;
  }
  for (TsComboBox* C : {MainForm->cbPort, MainForm->cbBaudRate}) {
    EXPECT_TRUE(OwnerDrawn(C)) << C->Name();
    ExpectPrintsItsCache(C, C->SkinData());
  }
}
