#include <algorithm>

#include "framework/Buttons.h"
#include "skin/adapters/vkButtonWnds.h"
#include "skin/adapters/vkWindowImages.h"
#include "skin/controls/vkGlyphPaint.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/GlyphArrange.h"

IMPLEMENT_CLASS(TvkBitBtnWnd)

namespace {

TBitBtn* BitBtnOf(const TvkMainWnd* A) { return As<TBitBtn>(A->SkinData != nullptr ? A->SkinData->OwnerControl : nullptr); }

}  // namespace

int TvkBitBtnWnd::GetState() {
  if (IsPushed()) {
    if (SkinData->GlowId >= 0 && AnimationGlue.HideGlowEffect) AnimationGlue.HideGlowEffect(SkinData->GlowId, false);
    return 2;
  }
  if (!IsWindowEnabled(CtrlHandle)) return 0;
  TControl* Owner = SkinData->OwnerControl;
  TsSkinManager* M = SkinData->SkinManager();
  if (Owner != nullptr) {
    if (SkinData->CurrentState() != 0) return 1;
  } else if (GetFocus() == CtrlHandle || (M != nullptr && M->HotWindow() == CtrlHandle) || SkinData->Focused) {
    return 1;
  }
  if (TBitBtn* B = BitBtnOf(this); B != nullptr && B->Default()) {
    const HWND Focus = GetFocus();
    if (Focus == nullptr) return 3;
    // Another push button holding the focus shows the default ring instead.
    return (GetWindowLongA(Focus, GWL_STYLE) & 0x8) != 0 ? 0 : 3;
  }
  return 0;
}

TSize TvkBitBtnWnd::GetGlyphSize() {
  if (TBitBtn* B = BitBtnOf(this)) {
    TBitmap* G = B->Glyph();
    if (G == nullptr || G->Empty()) return TSize(0, 0);
    return TSize(G->Width() / std::max(1, B->NumGlyphs()), G->Height());
  }
  if (SkinData->OwnerControl == nullptr) {
    // The bitmap's own size: the dimension a bitmap may record is zero unless someone set it.
    auto* Bmp = reinterpret_cast<HBITMAP>(SendMessageA(CtrlHandle, BM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP Info{};
    if (Bmp != nullptr && GetObjectA(Bmp, sizeof Info, &Info) != 0) return TSize(Info.bmWidth, Info.bmHeight);
  }
  return TSize(0, 0);
}

int TvkBitBtnWnd::GetCaptionWidth() {
  TBitBtn* B = BitBtnOf(this);
  if (B == nullptr) return TvkBtnWnd::GetCaptionWidth();
  if (Caption.empty()) return 0;
  int W = B->Width() - 2 * B->Margin();
  const int GW = GetGlyphSize().cx;
  if (GW != 0 && (B->Layout() == blGlyphLeft || B->Layout() == blGlyphRight)) W -= GW + B->Spacing();
  return W;
}

TRect TvkBitBtnWnd::GetCaptionRect() {
  const bool Shift = IsPushed() && ShiftsContent();
  if (TBitBtn* B = BitBtnOf(this)) {
    TPoint GlyphPos;
    TRect Text;
    ArrangeGlyphAndCaption(TRect(0, 0, WndSize.X, WndSize.Y), GetGlyphSize(), GetTextSize(), B->Layout(), 2, 1,
                           taCenter, taVerticalCenter, 0, GlyphPos, Text);
    if (Shift) OffsetRect(Text.AsRECT(), 1, 1);
    return Text;
  }
  TRect R = TvkBtnWnd::GetCaptionRect();
  if (const int GW = GetGlyphSize().cx; GW != 0) OffsetRect(R.AsRECT(), GW / 2 + 1, 0);
  return R;
}

TRect TvkBitBtnWnd::GetGlyphRect() {
  const TSize G = GetGlyphSize();
  const int W = WndSize.X, H = WndSize.Y;
  const bool Pressed = IsPushed() && ShiftsContent();
  if (TBitBtn* B = BitBtnOf(this)) {
    const TSize T = GetTextSize();
    const int S = G.cx > 0 && !Caption.empty() ? B->Spacing() : 0;
    int X = 0, Y = (H - G.cy) / 2;
    const int V = (H - G.cy - T.cy - S) / 2;
    switch (B->Layout()) {
      case blGlyphLeft: X = (W - G.cx - T.cx - S) / 2; break;
      case blGlyphRight: X = (W - G.cx + S + T.cx) / 2; break;
      case blGlyphTop: X = (W - G.cx) / 2 + 1; Y = V; break;
      case blGlyphBottom: X = (W - G.cx) / 2 + 1; Y = H - V - G.cy; break;
    }
    if (Pressed) ++X, ++Y;
    return TRect(X, Y, X + G.cx, Y + G.cy);
  }
  if (G.cx == 0) return TRect();
  const int Right = GetCaptionRect().Left - 2;
  const int Top = (H - G.cy) / 2 + (Pressed ? 1 : 0);
  return TRect(Right - G.cx, Top, Right, Top + G.cy);
}

void TvkBitBtnWnd::DrawGlyph() {
  TBitBtn* B = BitBtnOf(this);
  if (B == nullptr && SkinData->OwnerControl == nullptr) {
    // A foreign button's bitmap, where its size placed it.
    TButtonImage Image;
    Image.Bitmap = reinterpret_cast<HBITMAP>(SendMessageA(CtrlHandle, BM_GETIMAGE, IMAGE_BITMAP, 0));
    if (!Image.Empty()) {
      const TRect R = GetGlyphRect();
      DrawButtonImage(SkinData->CacheBmp, Image, TPoint(R.Left, R.Top));
    }
    return;
  }
  if (B == nullptr || B->Glyph() == nullptr || B->Glyph()->Empty()) return;
  TBitmap* Glyph = B->Glyph();
  if (Glyph->HandleType() == bmDDB) Glyph->SetHandleType(bmDIB);
  TsSkinManager* M = SkinData->SkinManager();
  TvkGlyphPaintData D;
  D.Glyph = Glyph;
  D.SectionIndex = SkinData->SkinIndex;
  D.SkinManager = M;
  D.DstBmp = SkinData->CacheBmp;
  D.R = GetGlyphRect();
  D.NumGlyphs = B->NumGlyphs();
  D.Pressed = IsPushed();
  D.State = GetState();
  D.Enabled = IsWindowEnabled(CtrlHandle) != 0;
  D.Discolored = D.State == 0 && M != nullptr && M->Effects()->DiscoloredGlyphs() && SkinData->IsSkinned(false);
  if (D.Discolored && SkinData->Section() != nullptr) D.ToneColor = static_cast<TColor>(SkinData->Section()->Props[0].Color);
  DrawGlyphAndCaption(D);
}
