// The library's message box: style by kind and buttons, the request handed to the system, and the state
// around the box.
#include <gtest/gtest.h>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/sColorDialog.h"
#include "skin/core/sMessages.h"

TEST(MessageBoxes, ButtonSetsToStyles) {
  const struct {
    TMsgDlgButtons Buttons;
    UINT Style;
  } Cases[] = {
      {{mbYes, mbNo, mbCancel}, MB_YESNOCANCEL}, {{mbYes, mbNo}, MB_YESNO},       {{mbRetry}, MB_RETRYCANCEL},
      {{mbAbort, mbOK}, MB_OK},                  {{mbOK, mbCancel}, MB_OKCANCEL}, {{mbIgnore}, MB_ABORTRETRYIGNORE},
      {{mbNo, mbRetry}, MB_YESNO},               {{}, MB_OK},                     {{mbCancel}, MB_OK},
      {{mbOK, mbHelp}, MB_OK | MB_HELP},
  };
  for (const auto& C : Cases) EXPECT_EQ(MessageBoxButtonsStyle(C.Buttons), C.Style) << C.Style;
}

TEST(MessageBoxes, TheRequestCarriesKindCaptionIconHelpAndOwner) {
  InitializeForms();
  TForm* Other = TForm::CreateNew(Application);
  Other->Show();
  std::vector<TMessageBoxRequest> Seen;
  int PosX = 0, PosY = 0;
  bool OtherEnabledDuringBox = true;
  Platform().MessageBoxSink = [&](const TMessageBoxRequest& R) {
    Seen.push_back(R);
    PosX = MessageBoxPosX;
    PosY = MessageBoxPosY;
    OtherEnabledDuringBox = IsWindowEnabled(Other->Handle());
    return IDNO;
  };
  EXPECT_EQ(ShowMessageBoxAt("", "Text", mtConfirmation, 10, 20, 77, {mbYes, mbNo}), IDNO);
  ASSERT_EQ(Seen.size(), 1u);
  const MSGBOXPARAMSA& P = Seen[0].params;
  EXPECT_EQ(Seen[0].source, TMessageBoxRequest::MessageBoxIndirectA);
  EXPECT_EQ(P.cbSize, 40u);
  EXPECT_EQ(P.hwndOwner, Application->Handle());
  EXPECT_STREQ(P.lpszCaption, "Confirm");
  EXPECT_STREQ(P.lpszText, "Text");
  EXPECT_EQ(P.dwStyle, static_cast<DWORD>(MB_ICONQUESTION | MB_YESNO));
  EXPECT_EQ(P.dwContextHelpId, 77u);
  EXPECT_EQ(P.lpfnMsgBoxCallback, &MessageBoxHelpCallback);
  EXPECT_EQ(P.hInstance, nullptr);
  EXPECT_EQ(PosX, 10);
  EXPECT_EQ(PosY, 20);
  EXPECT_FALSE(OtherEnabledDuringBox);
  // Afterwards: default place, windows enabled, modal state ended.
  EXPECT_EQ(MessageBoxPosX, -1);
  EXPECT_EQ(MessageBoxPosY, -1);
  EXPECT_TRUE(IsWindowEnabled(Other->Handle()));
  EXPECT_EQ(Application->ModalLevel(), 0);

  ShowWarningBoxProxy("Careful");
  ShowMessageBoxAt("Own", "x", mtCustom, -1, -1, 0, {mbOK});
  ASSERT_EQ(Seen.size(), 3u);
  EXPECT_EQ(Seen[1].caption, "Warning");
  EXPECT_EQ(Seen[1].flags, static_cast<UINT>(MB_ICONWARNING | MB_OK));
  EXPECT_EQ(Seen[2].caption, "Own");
  EXPECT_EQ(Seen[2].flags, static_cast<UINT>(MB_OK));  // no icon for other kinds
  ResetPlatform();
  FinalizeForms();
}

TEST(ColorDialogGlobals, CustomColoursAndThePipetteCursor) {
  InitializeForms();
  sColorDialogInitialize();
  ASSERT_NE(CustomColorList, nullptr);
  ASSERT_EQ(CustomColorList->Count(), 18);
  for (int i = 0; i < 18; ++i) EXPECT_EQ(CustomColorList->Strings(i), "FFFFFF");
  InitCustomColorList();  // made afresh, not appended to
  EXPECT_EQ(CustomColorList->Count(), 18);
  EXPECT_NE(Screen->Cursors(crVkPipette), Screen->Cursors(crArrow));
  sColorDialogFinalize();
  EXPECT_EQ(CustomColorList, nullptr);
  FinalizeForms();
}
