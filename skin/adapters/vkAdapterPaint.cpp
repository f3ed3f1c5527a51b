#include "skin/adapters/vkAdapterPaint.h"

#include <algorithm>

#include "framework/GraphicsGdi.h"
#include "framework/Platform.h"

#include "skin/adapters/vkMainWnd.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkThdTimer.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/ToolkitStartup.h"

void RedrawAdapterWindow(HWND Wnd) { RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

void PaintByInvalidation(HWND Wnd, bool Erase) {
  InvalidateRect(Wnd, nullptr, Erase ? TRUE : FALSE);
  PAINTSTRUCT PS{};
  BeginPaint(Wnd, &PS);
  EndPaint(Wnd, &PS);
}

void AdapterStateChange(TsCommonData* SkinData, HWND Wnd, int Mode) {
  if (SkinData != nullptr) {
    // The manager's button animation settings decide, as for the skinned buttons beside the adapted ones.
    const TvkBtnEvent Event = Mode == fmLeave ? beMouseLeave : Mode == fmPress ? beMouseDown : beMouseEnter;
    AnimateStateChange(SkinData, Mode, CrossFadeStep, false, false,
                       AnimEventEnabled(Event, TvkAnimatEvents{aeGlobalDef}, SkinData->SkinManager()));
    if (SkinData->AnimationRunning()) return;
    // No fade: the new state is painted at once (the skin data cannot repaint a window that is not a control).
    SkinData->CacheDirty = true;
  }
  RedrawAdapterWindow(Wnd);
}

namespace {

// Bmp copied to DC's origin as it is: a mirrored DC (a right-to-left window's) would show it flipped, captions
// read backwards. The DC's layout is put back afterwards.
void CopyUnmirrored(HDC DC, TBitmap* Bmp) {
  const DWORD Layout = QueryDCLayout(DC);
  if (Layout != 0) ApplyDCLayout(DC, 0);
  BitBlt(DC, 0, 0, Bmp->Width(), Bmp->Height(), Bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  if (Layout != 0) ApplyDCLayout(DC, Layout);
}

}  // namespace

bool PaintFadeFrame(TsCommonData* SkinData, HWND Wnd, HDC DC) {
  if (SkinData == nullptr || !SkinData->AnimationRunning() || SkinData->AnimTimer->WorkBmp == nullptr) return false;
  const bool Own = DC == nullptr;
  if (Own) DC = GetDC(Wnd);
  if (DC == nullptr) return true;
  CopyUnmirrored(DC, SkinData->AnimTimer->WorkBmp);
  if (Own) ReleaseDC(Wnd, DC);
  return true;
}

bool CursorInWindow(HWND Wnd) {
  POINT P{};
  Platform().GetCursorPos(&P);
  RECT R{};
  GetWindowRect(Wnd, &R);
  return PtInRect(&R, P) != FALSE;
}

bool BitmapBackgroundAt(TBitmap* Bmp, int X, int Y, const TRect& R, TvkParentBgQuery& Q) {
  if (Bmp == nullptr || X < 0 || Y < 0 || X + R.Width() > Bmp->Width() || Y + R.Height() > Bmp->Height()) return false;
  Q.Kind = bgkBitmap;
  Q.Bmp = Bmp;
  Q.OffsetX = X;
  Q.OffsetY = Y;
  return true;
}

POINT PlaceInParentBackground(HWND Parent, POINT Screen) {
  if (Parent == nullptr) return Screen;
  POINT P = Screen;
  ScreenToClient(Parent, &P);
  if ((GetWindowLongA(Parent, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0) {
    RECT Client{};
    GetClientRect(Parent, &Client);
    P.x = Client.right - P.x;
  }
  return P;
}

void AdapterParentBackground(TvkMainWnd* A, TvkBgCacheRef& Bg) {
  GetWindowGeometry(A->CtrlHandle, A->ParentWnd, A->WndRect, A->ParentRect, A->WndSize, A->WndPos);
  TvkParentBgQuery Q{};
  const POINT At = PlaceInParentBackground(A->ParentWnd, POINT{A->WndRect.Left, A->WndRect.Top});
  Q.OffsetX = At.x;
  Q.OffsetY = At.y;
  Q.Area = TRect(0, 0, A->WndSize.X, A->WndSize.Y);
  if (A->SkinData != nullptr) A->SkinData->GetParentWindowBackground(Q);
  BgCacheRefFromQuery(Q, Bg);
}

TBitmap* PrepareAdapterCache(TvkMainWnd* A) {
  GetWindowGeometry(A->CtrlHandle, A->ParentWnd, A->WndRect, A->ParentRect, A->WndSize, A->WndPos);
  TsCommonData* SD = A->SkinData;
  if (SD->CacheBmp == nullptr) SD->CacheBmp = NewBitmap32(0, 0);
  SD->CacheBmp->SetPixelFormat(pf32bit);
  SD->CacheBmp->SetSize(A->WndSize.X, A->WndSize.Y);
  return SD->CacheBmp;
}

void PaintAdapterDisabled(TBitmap* Cache, const TvkBgCacheRef& Bg) {
  if (Cache->Width() < 1 || Cache->Height() < 1) return;
  if (Bg.Ready && Bg.Bmp != nullptr)
    BlendCopyKeyedRect(Cache, 0, 0, Bg.Bmp,
                       TRect(Bg.X, Bg.Y, Bg.X + Cache->Width() - 1, Bg.Y + Cache->Height() - 1),
                       static_cast<uint8_t>(kDisabledLevel), 0xFF00FF);
  else
    TintBitmapToColor(Cache, kDisabledLevel, Bg.FillColor);
}

void FillFromBackground(HDC DC, const TRect& R, const TvkBgCacheRef& Bg) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  if (Bg.Ready && Bg.Bmp != nullptr)
    BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), Bg.Bmp->Canvas()->Handle(), Bg.X + R.Left, Bg.Y + R.Top, SRCCOPY);
  else
    PaintSolidRect(DC, R, Bg.FillColor);
}

void AssignLogFont(TFont* Font, const LOGFONTA& LF) {
  HFONT Made = GdiNewFont(LF);
  if (Made == nullptr) return;
  {
    TFont Look;
    Look.SetHandle(Made);
    Font->Assign(&Look);
  }
  GdiFreeObject(Made);
}

std::string WideToAnsi(const std::wstring& Text) {
  if (Text.empty()) return {};
  const int N = WideCharToMultiByte(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0, nullptr, nullptr);
  std::string S(static_cast<size_t>(std::max(0, N)), '\0');
  WideCharToMultiByte(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), S.data(), N, nullptr, nullptr);
  return S;
}

int SectionStateCount(TsCommonData* SD) {
  const TsGeneralData* G = SD != nullptr ? SD->Section() : nullptr;
  return G != nullptr ? std::max(1, G->States) : 1;
}

uint32_t SectionFontColor(TsCommonData* SD, int State) {
  const TsGeneralData* G = SD != nullptr ? SD->Section() : nullptr;
  if (G == nullptr) return 0;
  return G->Props[std::clamp(State, 0, 2)].FontColor;
}

void BlitCacheTo(TvkMainWnd* A, HDC DC) {
  TBitmap* Cache = A->SkinData->CacheBmp;
  if (Cache == nullptr) return;
  const bool Own = DC == nullptr;
  if (Own) DC = GetDC(A->CtrlHandle);
  if (DC == nullptr) return;
  CopyUnmirrored(DC, Cache);
  if (Own) ReleaseDC(A->CtrlHandle, DC);
}
