// The thread hook's adoption of standard dialogs, the dialog adapter and its system menu.

#include <algorithm>
#include <functional>

#include "AdapterTestSupport.h"
#include "skin/adapters/vkButtonWnds.h"
#include "skin/adapters/vkCtrlAdapter.h"
#include "skin/adapters/vkStaticWnds.h"
#include "skin/adapters/vkDialogWnd.h"
#include "skin/adapters/vkDials.h"
#include "skin/adapters/vkSystemMenu.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "tests/support/WindowProbe.h"

using namespace adapter_test;

namespace {

TvkDialogWnd* DialogAdapterOf(HWND Wnd) {
  TvkProvider* P = FindProviderByWnd(Wnd);
  return P != nullptr ? P->DialogWnd : nullptr;
}

// Shows a parentless message box; Look runs while it is up (adapters attached), then it is closed.
void WithMessageBox(UINT Type, const std::function<void(HWND)>& Look, const char* Text = "Hello") {
  testing_support::ModalCloser Closer("#32770", IDOK);
  bool Seen = false;
  Closer.OnFound = [&](const testing_support::FoundWindow& W) {
    if (Seen) return;
    Seen = true;
    Look(W.handle);
  };
  MessageBoxA(nullptr, Text, "Title", Type);
  EXPECT_TRUE(Seen) << "no message box was seen";
}

}  // namespace

class DialogTest : public AdapterTest {};

TEST_F(DialogTest, ParentlessMessageBoxGetsDialogAdapterChildAdaptersAndFrame) {
  ManagerPtr M = SolidManager();
  HWND Box = nullptr;
  WithMessageBox(MB_OK | MB_ICONINFORMATION, [&](HWND W) {
    Box = W;
    TvkDialogWnd* D = DialogAdapterOf(W);
    ASSERT_NE(D, nullptr);
    EXPECT_EQ(D->FrameKind, 0);  // DS_MODALFRAME without a sizing border
    EXPECT_EQ(GetWindowLongA(W, GWL_STYLE) & WS_SYSMENU, 0) << "the skin draws the system menu";
    EXPECT_TRUE(D->HasSysMenu());
    EXPECT_EQ(D->CloseButton.ImageKind, 0) << "a lone close button";
    TvkProvider* P = FindProviderByWnd(W);
    int Buttons = 0, Statics = 0;
    for (TvkMainWnd* A : P->Adapters) {
      Buttons += A->Is<TvkBtnWnd>();
      Statics += A->Is<TvkStaticWnd>();
    }
    EXPECT_EQ(Buttons, 1);
    EXPECT_GE(Statics, 2) << "text and icon";
    EXPECT_TRUE(WindowHasSkin(W));
    // The frame is the DIALOG section's colour (#00FF00) outside the caption band.
    RECT WR;
    GetWindowRect(W, &WR);
    testing_support::Dib32 Dib(WR.right - WR.left, WR.bottom - WR.top, 0, true);
    SendMessageA(W, WM_NCPAINT, 1, 0);
    CopyWindowDC(W, Dib);
    EXPECT_EQ(Dib.Rgb(WR.right - WR.left - 2, WR.bottom - WR.top - 2), 0x00FF00u);
  });
  ASSERT_NE(Box, nullptr);
  // The box is gone: its provider is dropped at the next purge.
  PurgeDetachedProviders();
  EXPECT_EQ(FindProviderByWnd(Box), nullptr);
}
