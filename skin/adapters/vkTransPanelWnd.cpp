// Panes that show their parent's background.
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkSmallWnds.h"
#include "skin/core/sCommonData.h"

IMPLEMENT_CLASS(TvkTransPanelWnd)

void TvkTransPanelWnd::FinishCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("TRANSPARENT");
  TvkMainWnd::FinishCreation();
}

void TvkTransPanelWnd::PaintToDC(TMessage& Message) {
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  HDC DC = Message.WParam != 0 ? reinterpret_cast<HDC>(Message.WParam) : GetWindowDC(CtrlHandle);
  SkinData->CacheDirty = true;
  PrepareAdapterCache(this);
  PaintAdapterCache(SkinData, CtrlHandle, false);
  BlitCacheExceptChildWindows(CtrlHandle, SkinData, POINT{0, 0}, 0, 0, false, DC, RECT{0, 0, WndSize.X, WndSize.Y});
  if (Message.WParam == 0) ReleaseDC(CtrlHandle, DC);
}

void TvkTransPanelWnd::WndProc(TMessage& Message) {
  if (SkinData == nullptr) {
    TvkMainWnd::WndProc(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_PAINT: {
      PAINTSTRUCT PS{};
      BeginPaint(CtrlHandle, &PS);
      PaintToDC(Message);
      EndPaint(CtrlHandle, &PS);
      Message.Result = 0;
      return;
    }
    case WM_ERASEBKGND:
      PaintToDC(Message);
      Message.Result = 1;
      return;
    case WM_NCPAINT:
      Message.Result = 0;
      return;
    default:
      break;
  }
  TvkMainWnd::WndProc(Message);
}

