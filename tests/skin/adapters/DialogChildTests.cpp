// The children of a parentless standard dialog as they show on screen once the hook adopted the dialog: image
// buttons, the group box frame, static texts and pictures.
#include <windows.h>

#include "AdapterTestSupport.h"
#include "DialogTemplate.h"
#include "skin/adapters/vkDials.h"
#include "skin/forms/sSkinProvider.h"
#include "tests/support/MessagePump.h"

using namespace adapter_test;

namespace {

class DialogChildren : public AdapterTest {
protected:
  void SetUp() override {
    AdapterTest::SetUp();
    M = SolidManager();
  }
  void TearDown() override {
    AdapterTest::TearDown();
    M.reset();
  }
  // The dialog made from T, shown and painted; it must have been adopted.
  HWND Show(TDlgTemplate& T) {
    HWND D = T.Create();
    Tops.push_back(D);
    ShowWindow(D, SW_SHOW);
    Settle(D);
    EXPECT_NE(FindProviderByWnd(D), nullptr) << "the dialog was not adopted";
    return D;
  }
  // The dialog's Index-th child in template order.
  static HWND Child(HWND Dlg, int Index) {
    HWND C = GetWindow(Dlg, GW_CHILD);
    while (C != nullptr && Index-- > 0) C = GetWindow(C, GW_HWNDNEXT);
    return C;
  }
  static void Settle(HWND W) {
    testing_support::PumpPending();
    UpdateWindow(W);
    testing_support::PumpPending();
  }
  // The window as it shows on screen, once its queued paints went through.
  static std::unique_ptr<testing_support::Dib32> Screen(HWND W) {
    Settle(GetAncestor(W, GA_ROOT));
    RECT R{};
    GetWindowRect(W, &R);
    auto D = std::make_unique<testing_support::Dib32>(R.right - R.left, R.bottom - R.top, 0, true);
    CopyWindowDC(W, *D);
    return D;
  }
  static int Count(const testing_support::Dib32& D, uint32_t C) {
    int N = 0;
    for (int y = 0; y < D.Height(); ++y)
      for (int x = 0; x < D.Width(); ++x) N += Rgb(D.Px(x, y)) == C;
    return N;
  }
  ManagerPtr M;
};

// A flat-coloured 24-bit bitmap and an icon of one colour (0xRRGGBB).
HBITMAP FlatBitmap(int W, int H, uint32_t Rgb_) {
  HDC Screen = GetDC(nullptr);
  HBITMAP B = CreateCompatibleBitmap(Screen, W, H);
  HDC Mem = CreateCompatibleDC(Screen);
  HGDIOBJ Old = SelectObject(Mem, B);
  HBRUSH Br = CreateSolidBrush(RGB(Rgb_ >> 16, (Rgb_ >> 8) & 0xFF, Rgb_ & 0xFF));
  RECT R{0, 0, W, H};
  FillRect(Mem, &R, Br);
  DeleteObject(Br);
  SelectObject(Mem, Old);
  DeleteDC(Mem);
  ReleaseDC(nullptr, Screen);
  return B;
}

HICON FlatIcon(int Size, uint32_t Rgb_) {
  HBITMAP Colour = FlatBitmap(Size, Size, Rgb_);
  HBITMAP Mask = CreateBitmap(Size, Size, 1, 1, nullptr);  // all zero: every pixel shows the colour
  ICONINFO I{TRUE, 0, 0, Mask, Colour};
  HICON Icon = CreateIconIndirect(&I);
  DeleteObject(Colour);
  DeleteObject(Mask);
  return Icon;
}

TEST_F(DialogChildren, ImageButtonsShowTheirImageAlone) {
  TDlgTemplate T(kDlgStyle, {{L"BUTTON", BS_BITMAP | WS_VISIBLE, 5, 5, 60, 20},
                             {L"BUTTON", BS_ICON | WS_VISIBLE, 70, 5, 60, 20}});
  HWND Dlg = Show(T);
  HBITMAP Bmp = FlatBitmap(16, 12, 0x3366CC);
  HICON Icon = FlatIcon(16, 0xCC6633);
  SendMessageA(Child(Dlg, 0), BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(Bmp));
  SendMessageA(Child(Dlg, 1), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(Icon));
  struct Case {
    const char* Name;
    HWND Wnd;
    uint32_t Colour;
    int W, H;
  } Cases[] = {{"bitmap", Child(Dlg, 0), 0x3366CC, 16, 12}, {"icon", Child(Dlg, 1), 0xCC6633, 16, 16}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    InvalidateRect(C.Wnd, nullptr, TRUE);
    auto D = Screen(C.Wnd);
    // The image whole in the middle; around it only the skin's face (no caption), inside the 1-pixel ring.
    const int L = (D->Width() - C.W) / 2, Top = (D->Height() - C.H) / 2;
    EXPECT_EQ(C.W * C.H, Count(*D, C.Colour));
    EXPECT_EQ(C.Colour, Rgb(D->Px(L, Top)));
    EXPECT_EQ(C.Colour, Rgb(D->Px(L + C.W - 1, Top + C.H - 1)));
    const uint32_t Face = Rgb(D->Px(2, 2));
    int Other = 0;
    for (int y = 1; y < D->Height() - 1; ++y)
      for (int x = 1; x < D->Width() - 1; ++x) {
        const bool InImage = x >= L && x < L + C.W && y >= Top && y < Top + C.H;
        Other += !InImage && Rgb(D->Px(x, y)) != Face;
      }
    EXPECT_EQ(0, Other);
  }
  DestroyWindow(Dlg);
  DeleteObject(Bmp);
  DestroyIcon(Icon);
}

}  // namespace
