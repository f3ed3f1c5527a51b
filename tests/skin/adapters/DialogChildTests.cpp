// The children of a parentless standard dialog as they show once the hook adopted the dialog: image buttons, the
// group box frame, static texts and pictures, progress bars and simple combo boxes.
#include <windows.h>
#include <commctrl.h>

#include "AdapterTestSupport.h"
#include "DialogTemplate.h"
#include "skin/adapters/vkComboWnds.h"
#include "skin/adapters/vkDials.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/forms/sSkinProvider.h"
#include "tests/support/MessagePump.h"

using namespace adapter_test;

namespace {

class DialogChildren : public WithManager<AdapterTest> {
protected:
  // The dialog made from T, shown and painted; it must have been adopted.
  HWND Show(TDlgTemplate& T) {
    HWND D = Keep(T.Create());
    ShowWindow(D, SW_SHOW);
    SettlePaints(D);
    EXPECT_NE(FindProviderByWnd(D), nullptr) << "the dialog was not adopted";
    return D;
  }
  // The dialog's Index-th child in template order.
  static HWND Child(HWND Dlg, int Index) {
    HWND C = GetWindow(Dlg, GW_CHILD);
    while (C != nullptr && Index-- > 0) C = GetWindow(C, GW_HWNDNEXT);
    return C;
  }
};
// What only the screen shows: the dialog beneath a child, or a child painted over what covered it.
class DialogChildrenRealScreen : public DialogChildren {};

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
    auto D = PrintedWindow(C.Wnd);
    // The image whole in the middle; around it only the skin's face (no caption), inside the 1-pixel ring.
    const int L = (D->Width() - C.W) / 2, Top = (D->Height() - C.H) / 2;
    EXPECT_EQ(C.W * C.H, CountRgb(*D, C.Colour));
    EXPECT_EQ(C.Colour, Rgb(D->Px(L, Top)));
    EXPECT_EQ(C.Colour, Rgb(D->Px(L + C.W - 1, Top + C.H - 1)));
    const uint32_t Face = Rgb(D->Px(2, 2));
    auto NotFace = [&](uint32_t P) { return P != Face; };
    EXPECT_EQ(CountWhere(*D, NotFace, TRect(L, Top, L + C.W, Top + C.H)),
              CountWhere(*D, NotFace, TRect(1, 1, D->Width() - 1, D->Height() - 1)));
  }
  DestroyWindow(Dlg);
  DeleteObject(Bmp);
  DestroyIcon(Icon);
}

}  // namespace

TEST_F(DialogChildrenRealScreen, AGroupBoxKeepsItsSkinnedFrameAndShowsTheDialogInside) {
  TDlgTemplate T(kDlgStyle, {{L"BUTTON", BS_GROUPBOX | WS_VISIBLE, 5, 5, 100, 60}});
  HWND Dlg = Show(T);
  HWND G = Child(Dlg, 0);
  RedrawWindow(Dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  auto D = ScreenOf(G);
  // The GROUPBOX ring runs down the left and right edges and along the bottom, below the caption band.
  const int Mid = D->Height() / 2;
  ExpectPixels(*D, {{0, Mid, 0x603000}, {D->Width() - 1, Mid, 0x603000}, {D->Width() / 2, D->Height() - 1, 0x603000}});
  // Inside it the dialog's own background, as its corner beside the box shows it.
  auto Whole = ScreenOf(Dlg);
  const TRect GR = WindowRectOf(G), DR = WindowRectOf(Dlg);
  EXPECT_EQ(Rgb(Whole->Px(GR.Right - DR.Left + 2, GR.Bottom - DR.Top + 2)), Rgb(D->Px(D->Width() / 2, Mid)));
}

namespace {

// What a static's text covers: pixels unlike the one at (X, Y), where the text never reaches.
TInk InkOf(const testing_support::Dib32& D, int X, int Y) {
  const uint32_t Bg = Rgb(D.Px(X, Y));
  return InkBounds(D, [Bg](uint32_t P) { return P != Bg; });
}

bool SamePixels(const testing_support::Dib32& A, const testing_support::Dib32& B) { return CountDiffering(A, B) == 0; }

}  // namespace

TEST_F(DialogChildren, StaticTextsKeepTheirAlignmentAndTheirAmpersands) {
  TDlgTemplate T(kDlgStyle, {{L"STATIC", SS_LEFT | WS_VISIBLE, 5, 5, 150, 14},
                             {L"STATIC", SS_CENTER | WS_VISIBLE, 5, 25, 150, 14},
                             {L"STATIC", SS_RIGHT | WS_VISIBLE, 5, 45, 150, 14},
                             {L"STATIC", SS_LEFT | SS_NOPREFIX | WS_VISIBLE, 5, 65, 150, 14},
                             {L"STATIC", SS_LEFT | WS_VISIBLE, 5, 85, 150, 14}});
  HWND Dlg = Show(T);
  for (int I = 0; I < 3; ++I) SetWindowTextA(Child(Dlg, I), "Port");
  struct Case {
    const char* Name;
    int Index;
    double Where;  // where the text's middle lies, as a share of the width
  } Cases[] = {{"left", 0, 0.0}, {"centre", 1, 0.5}, {"right", 2, 1.0}};
  for (const Case& C : Cases) {
    auto D = PrintedWindow(Child(Dlg, C.Index));
    const TInk I = InkOf(*D, 0, D->Height() - 1);  // the top-aligned text never reaches the bottom-left corner
    const int L = I.Left, R = I.Right;
    ASSERT_GE(R, L) << C.Name << ": no text";
    const int Middle = static_cast<int>(C.Where * D->Width());
    EXPECT_LE(L, Middle) << C.Name;
    EXPECT_GE(R + 3, Middle) << C.Name;  // a glyph may end a pixel or two short of its cell
  }
  // "A & B" without prefixes shows as "A && B" does with them.
  SetWindowTextA(Child(Dlg, 3), "A & B");
  SetWindowTextA(Child(Dlg, 4), "A && B");
  EXPECT_TRUE(SamePixels(*PrintedWindow(Child(Dlg, 3)), *PrintedWindow(Child(Dlg, 4))));
}

TEST_F(DialogChildrenRealScreen, PictureStaticsShowANewPictureOrOnlyTheBackground) {
  TDlgTemplate T(kDlgStyle, {{L"STATIC", SS_BITMAP | WS_VISIBLE, 5, 5, 30, 20},
                             {L"STATIC", SS_ICON | WS_VISIBLE, 50, 5, 30, 20}});
  HWND Dlg = Show(T);
  HWND B = Child(Dlg, 0), I = Child(Dlg, 1);
  HBITMAP First = FlatBitmap(16, 16, 0x3366CC), Second = FlatBitmap(16, 16, 0xCC3366);
  HICON Icon = FlatIcon(16, 0x66CC33);
  SendMessageA(B, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(First));
  SendMessageA(I, STM_SETICON, reinterpret_cast<WPARAM>(Icon), 0);
  EXPECT_EQ(0x3366CCu, Rgb(ScreenOf(B)->Px(1, 1)));
  EXPECT_EQ(0x66CC33u, Rgb(ScreenOf(I)->Px(1, 1)));
  // The dialog's background where the pictures stood, read beside them.
  auto Whole = ScreenOf(Dlg);
  const TRect IR = WindowRectOf(I), DR = WindowRectOf(Dlg);
  const uint32_t Bg = Rgb(Whole->Px(IR.Right - DR.Left + 2, IR.Top - DR.Top + 1));
  struct Case {
    const char* Name;
    HWND Wnd;
    UINT Msg;
    WPARAM W;
    LPARAM L;
    uint32_t Expected;
  } Cases[] = {
      {"new bitmap", B, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(Second), 0xCC3366},
      {"no bitmap", B, STM_SETIMAGE, IMAGE_BITMAP, 0, Bg},
      {"no icon", I, STM_SETICON, 0, 0, Bg},
  };
  for (const Case& C : Cases) {
    SendMessageA(C.Wnd, C.Msg, C.W, C.L);
    // Then the window is uncovered: whatever lay over it must be painted over.
    HDC DC = GetWindowDC(C.Wnd);
    PatBlt(DC, 0, 0, 30, 30, BLACKNESS);
    ReleaseDC(C.Wnd, DC);
    InvalidateRect(C.Wnd, nullptr, TRUE);
    auto D = ScreenOf(C.Wnd);
    EXPECT_EQ(C.Expected, Rgb(D->Px(1, 1))) << C.Name;
    EXPECT_EQ(C.Expected, Rgb(D->Px(14, 14))) << C.Name;
  }
  DestroyWindow(Dlg);
  DeleteObject(First);
  DeleteObject(Second);
  DestroyIcon(Icon);
}

// A window class given the skin's background brush takes the new skin's when the skin changes: the old brush is
// freed with the old skin.
TEST_F(DialogChildren, AButtonClassKeepsALiveBrushAcrossASkinChange) {
  TDlgTemplate T(kDlgStyle, {{L"BUTTON", BS_PUSHBUTTON | WS_VISIBLE, 5, 5, 60, 14}});
  HWND Dlg = Show(T);
  HWND B = Child(Dlg, 0);
  auto ClassBrush = [B] { return reinterpret_cast<HBRUSH>(static_cast<LONG_PTR>(GetClassLongA(B, GCL_HBRBACKGROUND))); };
  ASSERT_EQ(M->PaletteBrush(0), ClassBrush());
  for (const char* Skin : {"TIDE", "SOLID"}) {
    M->SetSkinName(Skin);
    SettlePaints(Dlg);
    EXPECT_NE(0u, GetObjectType(ClassBrush())) << Skin << ": the class holds a freed brush";
    EXPECT_EQ(M->PaletteBrush(0), ClassBrush()) << Skin;
  }
}

// Frames and etched lines carry no text: the system draws their lines, and inside a frame the dialog's skinned
// background shows.
TEST_F(DialogChildrenRealScreen, FrameAndEtchedStaticsKeepTheirLinesOverTheSkinnedBackground) {
  TDlgTemplate T(kDlgStyle, {{L"STATIC", SS_BLACKFRAME | WS_VISIBLE, 5, 5, 60, 20},
                             {L"STATIC", SS_ETCHEDFRAME | WS_VISIBLE, 5, 30, 60, 20},
                             {L"STATIC", SS_ETCHEDHORZ | WS_VISIBLE, 5, 55, 60, 2}});
  HWND Dlg = Show(T);
  RedrawWindow(Dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  auto Whole = ScreenOf(Dlg);
  const TRect DR = WindowRectOf(Dlg);
  auto At = [&](HWND C, int DX, int DY) {
    const TRect R = WindowRectOf(C);
    return Rgb(Whole->Px(R.Left - DR.Left + DX, R.Top - DR.Top + DY));
  };
  HWND Frame = Child(Dlg, 0);
  const uint32_t Bg = At(Frame, -2, -2);  // the dialog's background beside the frame
  for (int I = 0; I < 3; ++I) {
    SCOPED_TRACE(I);
    HWND C = Child(Dlg, I);
    EXPECT_FALSE(WindowHasSkin(C)) << "left to the system";
    EXPECT_NE(Bg, At(C, 0, 0)) << "the line is gone";
    const TRect R = WindowRectOf(C);
    if (R.Height() > 4) {
      EXPECT_EQ(Bg, At(C, R.Width() / 2, R.Height() / 2)) << "inside the frame";
    }
  }
}

// A text static draws its text as the system does for its style: word-wrapped, on one line, cut with an ellipsis,
// or centred vertically.
TEST_F(DialogChildren, StaticTextsFollowTheirWrapEllipsisAndCentringStyles) {
  TDlgTemplate T(kDlgStyle, {{L"STATIC", SS_LEFT | WS_VISIBLE, 5, 5, 80, 30},
                             {L"STATIC", SS_LEFTNOWORDWRAP | WS_VISIBLE, 5, 40, 80, 30},
                             {L"STATIC", SS_LEFT | SS_ENDELLIPSIS | WS_VISIBLE, 5, 75, 80, 30},
                             {L"STATIC", SS_LEFT | SS_CENTERIMAGE | WS_VISIBLE, 90, 5, 80, 30},
                             {L"STATIC", SS_SIMPLE | WS_VISIBLE, 90, 40, 80, 30}});
  HWND Dlg = Show(T);
  const char* Long = "Several words that never fit one line of this static";
  // The rows and columns the text covers (unlike the bottom-right corner), and the line height of the static's font.
  auto InkAt = [&](int Index) {
    auto D = PrintedWindow(Child(Dlg, Index));
    return InkOf(*D, D->Width() - 1, D->Height() - 1);
  };
  for (int I = 0; I < 5; ++I) SetWindowTextA(Child(Dlg, I), Long);
  SetWindowTextA(Child(Dlg, 3), "Centred");
  const int Line = FontMetricsOf(Child(Dlg, 0)).tmHeight;
  struct Case {
    const char* Name;
    int Index;
    bool OneLine;
  } Cases[] = {{"word wrap", 0, false}, {"no word wrap", 1, true}, {"end ellipsis", 2, true}, {"simple", 4, true}};
  for (const Case& C : Cases) {
    const TInk I = InkAt(C.Index);
    ASSERT_GE(I.Bottom, I.Top) << C.Name << ": no text";
    EXPECT_EQ(C.OneLine, I.Bottom < Line) << C.Name << ": ink down to row " << I.Bottom << ", line " << Line;
  }
  // the ellipsis replaces the end that does not fit, which the line without word wrap only cuts
  EXPECT_FALSE(SamePixels(*PrintedWindow(Child(Dlg, 1)), *PrintedWindow(Child(Dlg, 2)))) << "no ellipsis";
  RECT R{};
  GetClientRect(Child(Dlg, 3), &R);
  const TInk Centred = InkAt(3);
  EXPECT_NEAR((Centred.Top + Centred.Bottom) / 2, R.bottom / 2, 2) << "not centred vertically";
}

// A progress bar shows its own bar; a simple combo box's list keeps the one adapter the dialog gave it.
TEST_F(DialogChildren, AProgressBarShowsItsBarAndASimpleListHasOneAdapter) {
  INITCOMMONCONTROLSEX Icc{sizeof Icc, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&Icc);
  TDlgTemplate T(kDlgStyle, {{PROGRESS_CLASSW, WS_VISIBLE, 5, 5, 100, 12},
                             {L"COMBOBOX", CBS_SIMPLE | WS_VISIBLE, 5, 25, 100, 60}});
  HWND Dlg = Show(T);
  HWND Bar = Child(Dlg, 0), Combo = Child(Dlg, 1);
  const auto Empty = PrintedWindow(Bar);
  SendMessageA(Bar, PBM_SETPOS, 100, 0);
  const auto Full = PrintedWindow(Bar);
  EXPECT_GT(CountDiffering(*Empty, *Full), Full->Width() * Full->Height() / 2) << "no bar";

  COMBOBOXINFO Info{};
  Info.cbSize = sizeof Info;
  ASSERT_TRUE(GetComboBoxInfo(Combo, &Info));  // the list has painted, asking the box for its colours
  auto* A = As<TvkComboBoxWnd>(GetWindowScrollAdapter(Combo));
  ASSERT_NE(nullptr, A);
  EXPECT_EQ(nullptr, A->ListAdapter);
  EXPECT_EQ(nullptr, As<TvkComboListWnd>(GetWindowScrollAdapter(Info.hwndList)));
}
