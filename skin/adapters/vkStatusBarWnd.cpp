#include "skin/adapters/vkStatusBarWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "framework/ComCtrls.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkContainerMessages.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"

IMPLEMENT_CLASS(TvkStatusBarWnd)

namespace {

UINT AlignmentFlags(TAlignment A) {
  switch (A) {
    case taRightJustify:
      return DT_RIGHT;
    case taCenter:
      return DT_CENTER;
    default:
      return DT_LEFT;
  }
}

}  // namespace

void TvkStatusBarWnd::FinishCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("STATUSBAR");
  StatusBar = As<TStatusBar>(SkinData->OwnerControl);
  TvkMainWnd::FinishCreation();
}

void TvkStatusBarWnd::WndProc(TMessage& Message) {
  if (SkinData == nullptr || !SkinData->IsSkinned()) {
    TvkMainWnd::WndProc(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_PAINT:
      // The bar is painted on erase; the control's own text changes invalidate without erasing.
      PaintByInvalidation(CtrlHandle, true);
      return;
    case WM_ERASEBKGND:
      PaintBar(reinterpret_cast<HDC>(Message.WParam), true);
      Message.Result = 1;
      return;
    case WM_NCPAINT:
      PaintFrame();
      return;
    case WM_PRINT:
      PaintBar(reinterpret_cast<HDC>(Message.WParam), false);
      return;
    default:
      break;
  }
  TvkMainWnd::WndProc(Message);
  if (Message.Msg == WM_SIZE && SkinData->IsSkinned())
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

int TvkStatusBarWnd::PartCount() const { return static_cast<int>(SendMessageA(CtrlHandle, SB_GETPARTS, 0, 0)); }

bool TvkStatusBarWnd::SimpleMode() const { return SendMessageA(CtrlHandle, SB_ISSIMPLE, 0, 0) == 1; }

TRect TvkStatusBarWnd::PartRect(int Index) const {
  RECT R{};
  SendMessageA(CtrlHandle, SB_GETRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R));
  // The cache is the window's: a border width puts the client, and the parts, inside the frame.
  const POINT O = ClientOriginInWindow(CtrlHandle);
  return TRect(O.x + R.left + 1, O.y + R.top + 1, O.x + R.right - 1, O.y + R.bottom - 1);
}

std::string TvkStatusBarWnd::PanelText(int Index) const {
  if (PartCount() == 0) return {};
  if (SimpleMode()) {
    // The simple part's own text: the window text is part 0's.
    if (StatusBar != nullptr) return StatusBar->SimpleText();
    const int Len = LOWORD(SendMessageA(CtrlHandle, SB_GETTEXTLENGTHA, SB_SIMPLEID, 0));
    std::string S(static_cast<size_t>(Len) + 1, '\0');
    SendMessageA(CtrlHandle, SB_GETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(S.data()));
    S.resize(strlen(S.c_str()));
    return S;
  }
  if (StatusBar == nullptr) return {};
  TStatusPanels* P = StatusBar->Panels();
  if (P->Count() == 0) return StatusBar->SimpleText();
  return Index >= 0 && Index < P->Count() ? P->Items(Index)->Text() : std::string();
}

void TvkStatusBarWnd::PaintPanel(TBitmap* Cache, int Index, const TRect& R, bool Last) {
  TsSkinManager* M = SkinData->SkinManager();
  const bool Simple = Index < 0;
  TvkBgCacheRef Own;
  InitBgInfo(Cache, 0, 0, Own);
  const int PanelMask = M->FindMaskInherited(SkinData->SkinIndex, "STATUSPANELMASK");
  if (M->MaskIndexInRange(PanelMask)) {
    DrawSkinRect32(Cache, Simple ? TRect(0, 0, WndSize.X, WndSize.Y) : R, Own, true, 0, M->ma()[PanelMask]);
  } else if (!Simple && !Last) {
    const int Divider = M->FindSectionIndex("DIVIDER");
    const int DivMask = Divider >= 0 ? M->FindMaskInherited(Divider, "BORDERSMASK") : -1;
    if (M->MaskIndexInRange(DivMask)) {
      const TsMaskData& D = M->ma()[DivMask];
      const int W = std::max(2, D.WL + D.WR), H = WndSize.Y - 2;
      if (H > 0) {
        std::unique_ptr<TBitmap> B(NewBitmap32(W, H));
        BitBlt(B->Canvas()->Handle(), 0, 0, W, H, Cache->Canvas()->Handle(), R.Right, 1, SRCCOPY);
        TvkBgCacheRef Bg;
        InitBgInfo(Cache, R.Right, 1, Bg);
        PaintSectionItem(Divider, Bg, -1, -1, M, B.get(), TPoint(), TRect(0, 0, W, H), 0);
        BitBlt(Cache->Canvas()->Handle(), R.Right, 1, W, H, B->Canvas()->Handle(), 0, 0, SRCCOPY);
      }
    }
  }
  TStatusPanels* Panels = StatusBar != nullptr ? StatusBar->Panels() : nullptr;
  if (Panels != nullptr && Index >= 0 && Index < Panels->Count() && Panels->Items(Index)->Style() == psOwnerDraw) {
    if (StatusBar->OnDrawPanel) {
      HDC CacheDC = Cache->Canvas()->Handle();
      auto* Canvas = static_cast<TControlCanvas*>(StatusBar->Canvas());
      Canvas->PaintOn(CacheDC, [&] { StatusBar->OnDrawPanel(StatusBar, Panels->Items(Index), R); });
    }
    return;
  }
  if (StatusBar == nullptr) return;
  const TRect TextRect(R.Left + 2, R.Top, R.Right - 4, R.Bottom - 1);
  TCanvas* C = Cache->Canvas();
  C->Font()->Assign(StatusBar->Font());
  std::string Text;
  FitTextWithEllipsis(C, PanelText(Index), TextRect.Width(), Text);
  const bool OwnAlignment = !StatusBar->SimplePanel() && Index >= 0 && Index < Panels->Count();
  const UINT Flags = DT_SINGLELINE | DT_VCENTER | AlignmentFlags(OwnAlignment ? Panels->Items(Index)->Alignment() : taLeftJustify);
  SetBkMode(C->Handle(), TRANSPARENT);
  DrawControlTextStr(C, Text, StatusBar->Enabled(), TextRect, Flags, SkinData, 0);
}

void TvkStatusBarWnd::PaintGrip(TBitmap* Cache) {
  TsSkinManager* M = SkinData->SkinManager();
  const int Grip = M->ConstData().GripImage;
  if (StatusBar == nullptr || !StatusBar->SizeGrip() || !M->MaskIndexInRange(Grip)) return;
  const TsMaskData& G = M->ma()[Grip];
  TvkBgCacheRef Own;
  InitBgInfo(Cache, 0, 0, Own);
  const int B = StatusBar->BorderWidth();
  DrawSkinGlyph32(Cache, TPoint(Cache->Width() - G.Width - B, Cache->Height() - G.Height - B), 0, Own, G, 1);
}

void TvkStatusBarWnd::RebuildCache() {
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  TBitmap* Cache = PrepareAdapterCache(this);
  TvkBgCacheRef Bg;
  AdapterParentBackground(this, Bg);
  RenderControlSkin(SkinData, Bg, true, Cache, TPoint(), TRect(0, 0, WndSize.X, WndSize.Y), 0);
  if (SimpleMode()) {
    const POINT O = ClientOriginInWindow(CtrlHandle);
    PaintPanel(Cache, -1, TRect(O.x, O.y + 1, WndSize.X - O.x - 1, WndSize.Y - O.y - 1), true);
  } else {
    const int N = PartCount();
    for (int I = 0; I < N; ++I) PaintPanel(Cache, I, PartRect(I), I == N - 1);
  }
  PaintGrip(Cache);
  SkinData->CacheDirty = false;
}

void TvkStatusBarWnd::PaintBar(HDC DC, bool Client) {
  RebuildCache();
  const bool Own = DC == nullptr;
  if (Own) DC = GetWindowDC(CtrlHandle);
  // A client DC starts at the client's corner, inside a border width.
  const POINT O = Client && !Own ? ClientOriginInWindow(CtrlHandle) : POINT{0, 0};
  BitBlt(DC, 0, 0, WndSize.X - O.x, WndSize.Y - O.y, SkinData->CacheBmp->Canvas()->Handle(), O.x, O.y, SRCCOPY);
  if (Own) ReleaseDC(CtrlHandle, DC);
}

void TvkStatusBarWnd::PaintFrame() {
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (StatusBar == nullptr || StatusBar->BorderWidth() <= 0) return;
  if (SkinData->CacheDirty || SkinData->CacheBmp == nullptr) RebuildCache();
  HDC DC = GetWindowDC(CtrlHandle);
  CopyBorderStrips(DC, 0, 0, StatusBar->BorderWidth(), 0, 0, SkinData->CacheBmp->Canvas()->Handle(), WndSize.Y,
                   WndSize.X);
  ReleaseDC(CtrlHandle, DC);
}
