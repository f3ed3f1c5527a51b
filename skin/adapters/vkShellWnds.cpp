#include "skin/adapters/vkShellWnds.h"

#include <algorithm>

#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkContainerMessages.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSectionPaint.h"

IMPLEMENT_CLASS(TvkContainerWnd)
IMPLEMENT_CLASS(TvkSearchWnd)
IMPLEMENT_CLASS(TvkSplitBtnWnd)

namespace {

constexpr int kSearchFrame = 3;

// The client rectangle in window coordinates.
TRect ClientInWindow(HWND W) {
  RECT C{}, R{};
  GetClientRect(W, &C);
  GetWindowRect(W, &R);
  POINT P{0, 0};
  ClientToScreen(W, &P);
  const int X = P.x - R.left, Y = P.y - R.top;
  return TRect(X, Y, X + C.right, Y + C.bottom);
}

void FollowHotWindow(HWND W) {
  TsSkinManager* M = TsSkinManager::DefaultManager();
  if (M != nullptr && !M->ComponentState().Contains(csDesigning) && IsWindowEnabled(W)) M->ChangeHotWindow(W);
}

// The cache's frame strips of Width into DC (the window DC when 0).
void CopyFrameStrips(TvkMainWnd* A, int Width, HDC DC = nullptr) {
  if (Width <= 0 || A->SkinData->CacheBmp == nullptr) return;
  const bool Own = DC == nullptr;
  if (Own) DC = GetWindowDC(A->CtrlHandle);
  CopyBorderStrips(DC, 0, 0, Width, 0, 0, A->SkinData->CacheBmp->Canvas()->Handle(), A->WndSize.Y, A->WndSize.X);
  if (Own) ReleaseDC(A->CtrlHandle, DC);
}

}  // namespace

// ---- containers ----

void TvkContainerWnd::FinishCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("TRANSPARENT");
  TvkMainWnd::FinishCreation();
}

void TvkContainerWnd::Refresh() {
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (!SkinData->CacheDirty) return;
  ClientRect = ClientInWindow(CtrlHandle);
  PrepareAdapterCache(this);
  PaintAdapterCache(SkinData, CtrlHandle, false);  // a band of a dialog is no edit box: no edit look
  Inset = (WndSize.Y - ClientRect.Height()) / 2;
  SkinData->CacheDirty = false;
}

void TvkContainerWnd::PaintFrame(HDC DC) {
  if (!(GetWindowLongA(CtrlHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) || SkinData->IsUpdating()) return;
  Refresh();
  CopyFrameStrips(this, (WndSize.X - ClientRect.Width()) / 2, DC);
}

void TvkContainerWnd::PaintClient(HDC DC) {
  if (!IsWindowVisible(CtrlHandle)) return;
  SkinData->CacheDirty = true;
  Refresh();
  TBitmap* Cache = SkinData->CacheBmp;
  if (Cache == nullptr) return;
  const int W = Cache->Width() - 2 * Inset, H = Cache->Height() - 2 * Inset;
  SetRectAlpha32(Cache, TRect(Inset, Inset, Inset + W, Inset + H), 255, NoColor32);
  const bool Own = DC == nullptr;
  if (Own) DC = GetDC(CtrlHandle);
  BitBlt(DC, 0, 0, W, H, Cache->Canvas()->Handle(), Inset, Inset, SRCCOPY);
  if (Own) ReleaseDC(CtrlHandle, DC);
}

void TvkContainerWnd::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      SkinData->CacheDirty = true;
      break;
    case WM_NCPAINT:
      if (!IsWindowVisible(CtrlHandle)) break;
      PaintFrame();
      return;
    case WM_PRINT:
      PrintClientInFrame(this, reinterpret_cast<HDC>(Message.WParam));
      return;
    case WM_PAINT: {
      if (!IsWindowVisible(CtrlHandle)) break;
      PAINTSTRUCT PS{};
      BeginPaint(CtrlHandle, &PS);
      if (!SkinData->IsUpdating()) PaintClient(nullptr);
      EndPaint(CtrlHandle, &PS);
      return;
    }
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    default:
      break;
  }
  TvkMainWnd::WndProc(Message);
  switch (Message.Msg) {
    case WM_SIZE:
      SkinData->CacheDirty = true;
      break;
    case WM_WINDOWPOSCHANGED:
      SendMessageA(CtrlHandle, WM_NCPAINT, 0, 0);
      break;
    case WM_MOUSEMOVE:
      FollowHotWindow(CtrlHandle);
      break;
    default:
      break;
  }
}

// ---- search box ----

void TvkSearchWnd::FinishCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("TRANSPARENT");
  TvkMainWnd::FinishCreation();
}

void TvkSearchWnd::Refresh() {
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (!SkinData->CacheDirty) return;
  ClientRect = ClientInWindow(CtrlHandle);
  PrepareAdapterCache(this);
  PaintAdapterCache(SkinData, CtrlHandle, false);  // a band of a dialog is no edit box: no edit look
  SkinData->CacheDirty = false;
}

void TvkSearchWnd::PaintFrame() {
  if (SkinData->IsUpdating()) return;
  Refresh();
  CopyFrameStrips(this, kSearchFrame);
}

void TvkSearchWnd::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
      TvkMainWnd::WndProc(Message);
      PaintFrame();
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_NCPAINT:
      PaintFrame();
      return;
    default:
      break;
  }
  TvkMainWnd::WndProc(Message);
  if (Message.Msg == WM_SIZE) {
    SkinData->CacheDirty = true;
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  } else if (Message.Msg == WM_MOUSEMOVE) {
    FollowHotWindow(CtrlHandle);
  }
}

// ---- split buttons ----

TRect TvkSplitBtnWnd::GetCaptionRect() {
  ArrowWidth = 8;
  TRect R = TvkBtnWnd::GetCaptionRect();
  OffsetRect(R.AsRECT(), -ArrowWidth, 0);
  return R;
}

void TvkSplitBtnWnd::PaintCache() {
  TvkBtnWnd::PaintCache();
  TBitmap* Cache = SkinData->CacheBmp;
  if (Cache == nullptr) return;
  const TRect Arrow(Cache->Width() - 2 * ArrowWidth - 6, 0, Cache->Width(), Cache->Height());
  PaintArrowPixels32(Cache, SectionFontColor(SkinData, std::min(GetState(), 2)), Arrow, 3);
}
