// Painting: into a given DC, through OnPaint, without a window, with borders and double buffering, and
// a control canvas used outside painting.
#include <gtest/gtest.h>

#include <vector>

#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "tests/framework/ui_test_util.h"
#include "tests/support/Dib32.h"
#include "tests/support/MessagePump.h"

namespace {

using UiPainting = UiTest;

TEST_F(UiPainting, PaintingIntoAGivenDCFillsTheColourAndPaintsGraphicChildrenAtTheirPlace) {
  TForm* form = NewForm(100, 80);
  form->SetColor(clRed);
  auto* label = new TLabel(form);
  label->SetAutoSize(false);
  label->SetCaption("");
  label->SetBounds(30, 20, 10, 10);
  label->SetColor(clBlue);
  label->SetParent(form);
  auto* image = new TImage(form);
  image->SetBounds(60, 50, 5, 5);
  image->Picture()->Bitmap()->SetPixelFormat(pf32bit);
  image->Picture()->Bitmap()->SetSize(5, 5);
  image->Picture()->Bitmap()->Canvas()->Brush()->SetColor(clLime);
  image->Picture()->Bitmap()->Canvas()->FillRect(RECT{0, 0, 5, 5});
  image->SetParent(form);
  form->HandleNeeded();

  testing_support::Dib32 dib(100, 80, 0, true);
  // WParam == LParam == DC: a copy request, answered by filling with Color.
  EXPECT_EQ(SendMessageA(form->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dib.DC()), reinterpret_cast<LPARAM>(dib.DC())), 1);
  SendMessageA(form->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dib.DC()), 0);
  EXPECT_EQ(dib.Rgb(0, 0), 0xFF0000u);    // red as 0x00RRGGBB
  EXPECT_EQ(dib.Rgb(35, 25), 0x0000FFu);  // the label's blue
  EXPECT_EQ(dib.Rgb(29, 25), 0xFF0000u);
  EXPECT_EQ(dib.Rgb(40, 25), 0xFF0000u);
  EXPECT_EQ(dib.Rgb(62, 52), 0x00FF00u);  // the image
  // Origin and clip were restored after each child.
  POINT org;
  GetWindowOrgEx(dib.DC(), &org);
  EXPECT_EQ(org.x, 0);
  EXPECT_EQ(org.y, 0);
  form->Free();
}

TEST_F(UiPainting, OnPaintDrawsOnTheFormsCanvas) {
  TForm* form = NewForm(50, 40);
  form->OnPaint = [&](TObject*) {
    form->Canvas()->Brush()->SetColor(clLime);
    form->Canvas()->FillRect(RECT{0, 0, 10, 10});
  };
  form->HandleNeeded();
  testing_support::Dib32 dib(50, 40, 0, true);
  SendMessageA(form->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dib.DC()), 0);
  EXPECT_EQ(dib.Rgb(5, 5), 0x00FF00u);
  EXPECT_EQ(dib.Rgb(20, 20), 0u);
  form->Free();
}

// A panel child painted in the copy mode: the parent's colour around it, the child's colour inside.
TEST_F(UiPainting, PaintToPaintsTheControlAndItsWindowedChildrenAtTheGivenPlace) {
  TForm* form = NewForm(100, 80);
  auto* outer = new TPanel(form);
  outer->SetBevelOuter(bvNone);
  outer->SetBounds(0, 0, 60, 50);
  outer->SetColor(clRed);
  outer->SetParent(form);
  auto* inner = new TPanel(form);
  inner->SetBevelOuter(bvNone);
  inner->SetBounds(10, 20, 20, 10);
  inner->SetColor(clBlue);
  inner->SetParent(outer);
  std::vector<bool> copyFlags;
  WindowProcHook hook(inner, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg == WM_PAINT) copyFlags.push_back(inner->ControlState().Contains(csPaintCopy));
    next(m);
  });
  form->HandleNeeded();
  outer->HandleNeeded();
  inner->HandleNeeded();
  testing_support::Dib32 dib(100, 80, 0, true);
  outer->PaintTo(dib.DC(), 5, 5);
  EXPECT_EQ(dib.Rgb(6, 6), 0xFF0000u);
  EXPECT_EQ(dib.Rgb(5 + 10 + 1, 5 + 20 + 1), 0x0000FFu);
  EXPECT_EQ(dib.Rgb(5 + 29, 5 + 29), 0x0000FFu);
  EXPECT_EQ(dib.Rgb(5 + 31, 5 + 25), 0xFF0000u);
  EXPECT_EQ(dib.Rgb(70, 70), 0u);  // outside the control: untouched
  ASSERT_EQ(copyFlags.size(), 1u);
  EXPECT_TRUE(copyFlags[0]);
  EXPECT_FALSE(inner->ControlState().Contains(csPaintCopy));

  // WM_PRINTCLIENT erases and paints a framework-painted window into the DC.
  testing_support::Dib32 dib2(100, 80, 0, true);
  SendMessageA(inner->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib2.DC()), PRF_CLIENT | PRF_ERASEBKGND);
  EXPECT_EQ(dib2.Rgb(3, 3), 0x0000FFu);
  form->Free();
}

TEST_F(UiPainting, BorderWidthShrinksTheClientAreaAndDoubleBufferedStillPaints) {
  TForm* form = NewForm();
  auto* panel = new TPanel(form);
  panel->SetBounds(0, 0, 100, 60);
  panel->SetParent(form);
  panel->SetBorderWidth(5);
  form->Show();
  RECT r;
  GetClientRect(panel->Handle(), &r);
  EXPECT_EQ(r.right, 90);
  EXPECT_EQ(r.bottom, 50);
  panel->SetDoubleBuffered(true);
  panel->Repaint();
  form->Free();
}

TEST_F(UiPainting, EraseAndPaintToWorkForAControlWithoutAWindow) {
  auto* panel = new TPanel(nullptr);
  panel->SetBevelOuter(bvNone);
  panel->SetBounds(0, 0, 20, 10);
  panel->SetColor(clRed);
  testing_support::Dib32 dib(20, 10, 0x123456, true);
  EXPECT_EQ(panel->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dib.DC()), reinterpret_cast<LPARAM>(dib.DC())), 1);
  EXPECT_EQ(dib.Rgb(10, 5), 0xFF0000u);
  EXPECT_FALSE(panel->HandleAllocated());
  panel->Free();
}

TEST_F(UiPainting, AControlCanvasUsedOutsidePaintingGivesItsDCBack) {
  TForm* form = NewForm();
  auto* label = NewChild<TLabel>(form);
  auto* panel = NewChild<TPanel>(form);
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
