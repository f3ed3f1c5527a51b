// The dialog adapter's own scroll bars: they lie beside the client, inside the frame the dialog paints, so they
// take their background from the dialog's frame picture, stay in its window region beside a border window, and
// answer the hit test before the dialog's own handling does.
#include "skin/adapters/vkDialogWnd.h"

#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkContainerMessages.h"
#include "skin/core/sCommonData.h"
#include "skin/forms/vkBorderForm.h"
#include "skin/graphics/vkParentBg.h"

namespace {

bool BarShown(const TvkScrollBar* Bar) { return Bar != nullptr && Bar->Shown; }

bool Inside(const TRect& R, POINT P) { return P.x >= R.Left && P.x < R.Right && P.y >= R.Top && P.y < R.Bottom; }

}  // namespace

TRect TvkDialogWnd::ClientWithBars() {
  const POINT O = ClientOriginInWindow(CtrlHandle);
  RECT C{};
  GetClientRect(CtrlHandle, &C);
  TRect R(O.x, O.y, O.x + C.right, O.y + C.bottom);
  if (BarShown(VertBar)) {
    const int Thick = ScrollBarDimension(VertBar, true);
    if (LeftScrollBar) R.Left -= Thick;
    else R.Right += Thick;
  }
  if (BarShown(HorzBar)) R.Bottom += ScrollBarDimension(HorzBar, true);
  return R;
}

TRect TvkDialogWnd::ClientHoleInBorder() {
  TRect R = ClientWithBars();
  if (BorderForm != nullptr) OffsetRect(R.AsRECT(), BorderForm->GetLeftIndent(), BorderForm->GetTopIndent());
  return R;
}

int TvkDialogWnd::BarHitTest(LPARAM Point) {
  if (!BarShown(HorzBar) && !BarShown(VertBar)) return HTNOWHERE;
  TRect H, V;
  GetHorzScrollBarRect(this, CtrlHandle, H);
  GetVertScrollBarRect(this, CtrlHandle, V);
  const POINT P{static_cast<short>(LOWORD(Point)), static_cast<short>(HIWORD(Point))};
  const TRect Corner(V.Left, H.Top, V.Right, H.Bottom);
  const bool OnBars = (BarShown(HorzBar) && Inside(H, P)) || (BarShown(VertBar) && Inside(V, P)) ||
                      (BarShown(HorzBar) && BarShown(VertBar) && Inside(Corner, P));
  return OnBars ? static_cast<int>(ScrollWndHitTest(this, CtrlHandle, 0, Point)) : HTNOWHERE;
}

bool TvkDialogWnd::OwnFrameBackground(const TRect& R, TvkParentBgQuery& Q) {
  if (SkinData->CacheDirty) PaintFrame();
  // The frame picture holds the window beyond the border window's indents.
  return BitmapBackgroundAt(SkinData->CacheBmp, R.Left + (BorderForm != nullptr ? BorderForm->GetLeftIndent() : 0),
                            R.Top + (BorderForm != nullptr ? BorderForm->GetTopIndent() : 0), R, Q);
}
