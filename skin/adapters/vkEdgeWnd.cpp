#include "skin/adapters/vkEdgeWnd.h"

#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/graphics/vkSectionPaint.h"

IMPLEMENT_CLASS(TvkEdgeWnd)

namespace {
constexpr int kEdgeWidth = 2;
}

void TvkEdgeWnd::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
      Message.Result = ForwardToOldWndProc(CtrlHandle, Message.Msg, Message.WParam, Message.LParam);
      PaintToDC(Message);
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      return;
    default:
      TvkStaticWnd::WndProc(Message);
  }
}

void TvkEdgeWnd::PaintToDC(TMessage& Message) {
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  HDC DC = Message.WParam != 0 ? reinterpret_cast<HDC>(Message.WParam) : GetWindowDC(CtrlHandle);
  const int Saved = SaveDC(DC);
  SkinData->CacheDirty = true;
  PrepareAdapterCache(this);
  PaintAdapterCache(SkinData, CtrlHandle, false);
  DrawContent();
  CopyBorderStrips(DC, 0, 0, kEdgeWidth, 0, 0, SkinData->CacheBmp->Canvas()->Handle(), WndSize.Y, WndSize.X);
  RestoreDC(DC, Saved);
  if (Message.WParam == 0) ReleaseDC(CtrlHandle, DC);
}
