// Thumb model, bar geometry and painting of the skinned non-client scroll bars.
#include "skin/adapters/vkScrollBars.h"

#include <algorithm>
#include <memory>

#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkScrollBarPaint.h"
#include "skin/adapters/vkScrollWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"

IMPLEMENT_CLASS(TvkScrollBar)

TvkScrollTracking ScrollTracking;

// ---- the thumb model ----

TvkThumb ComputeThumb(const SCROLLINFO& SI, int BarStart, int BarLength, int Arrow, int MinThumb) {
  const int Track = BarLength - 2 * Arrow;
  const int Range = SI.nMax - SI.nMin + 1;
  int Len;
  if (SI.nPage == 0)
    Len = std::max(Arrow, MinThumb);
  else
    Len = Range > 0 ? MulDiv(static_cast<int>(SI.nPage), Track, Range) : 0;
  if (Arrow != 0 || Len >= 19) {
    if (Len < MinThumb) Len = MinThumb;
  } else {
    Len = 19;
  }
  int Offset = 0;
  if (Range > 0) {
    Offset = MulDiv(SI.nPos - SI.nMin, Track - Len, Range - std::max(1, static_cast<int>(SI.nPage)));
    Offset = std::clamp(Offset, 0, std::max(0, Track - Len));
  }
  return TvkThumb{BarStart + Arrow + Offset, Len};
}

int HitTestAlong(const SCROLLINFO& SI, int P, int BarStart, int BarLength, int Arrow, int MinThumb, bool Shift) {
  if (BarLength <= 2 * Arrow) Arrow = BarLength / 2;
  if (P < BarStart || P >= BarStart + BarLength) return spNone;
  if (P < BarStart + Arrow) return spFirstArrow;
  if (P >= BarStart + BarLength - Arrow) return spSecondArrow;
  const TvkThumb T = ComputeThumb(SI, BarStart, BarLength, Arrow, MinThumb);
  if (T.Length >= BarLength - 2 * Arrow) return spNone;
  if (P >= T.Start && P < T.Start + T.Length) return spThumb;
  if (P < T.Start) return Shift ? spJump : spTrackBefore;
  return Shift ? spJump : spTrackAfter;
}

int ThumbOffsetToPosition(const SCROLLINFO& SI, int Offset, int TrackLength, int ThumbLength) {
  if (SI.nMax - SI.nMin < 1) return Offset;
  const int Positions = SI.nMax - SI.nMin + 1 - std::max(1, static_cast<int>(SI.nPage));
  return std::max(0, MulDiv(Offset, Positions, TrackLength - ThumbLength));
}

bool ThumbDrawable(const SCROLLINFO& SI, int TrackLength, int MinThumb) {
  int T = MulDiv(static_cast<int>(SI.nPage), TrackLength, SI.nMax - SI.nMin);
  if (T < MinThumb || T < TrackLength - 1) T = std::min(MinThumb, TrackLength - 1);
  return T >= 1 && T <= TrackLength;
}

// ---- geometry ----

int ScrollBarDimension(TvkScrollBar* Bar, bool Thickness) {
  if (Bar == nullptr) return 0;
  TvkScrollWnd* A = Bar->Owner;
  TsSkinManager* M = A != nullptr ? A->SkinManager : nullptr;
  TvkScrollData* D = nullptr;
  if (auto* SD = A != nullptr ? As<TsScrollWndData>(A->SkinData) : nullptr)
    D = Bar->Kind == SB_HORZ ? SD->HorzScrollData() : SD->VertScrollData();
  if (Thickness) return D != nullptr && D->ScrollWidth() >= 0 ? D->ScrollWidth() : SkinScrollBarWidth(M);
  if (D != nullptr && D->ButtonsSize() >= 0) return D->ButtonsSize();
  if (M != nullptr && M->ScrollsOptions()->ButtonsSize() >= 0) return M->ScrollsOptions()->ButtonsSize();
  if (Bar->ArrowSize >= 0) return Bar->ArrowSize;
  return SkinScrollBarWidth(M);
}

void GetHorzScrollBarRect(TvkScrollWnd* A, HWND Wnd, TRect& R) {
  RECT W{};
  GetWindowRect(Wnd, &W);
  const bool VShown = A->VertBar != nullptr && A->VertBar->Shown;
  const int VThick = VShown ? ScrollBarDimension(A->VertBar, true) : 0;
  R.Left = W.left + A->FrameLeft + (A->LeftScrollBar ? VThick : 0);
  R.Right = W.right - A->FrameRight - (A->LeftScrollBar ? 0 : VThick);
  R.Bottom = W.bottom - A->FrameBottom;
  R.Top = R.Bottom - (A->HorzBar != nullptr && A->HorzBar->Shown ? ScrollBarDimension(A->HorzBar, true) : 0);
}

void GetVertScrollBarRect(TvkScrollWnd* A, HWND Wnd, TRect& R) {
  RECT W{};
  GetWindowRect(Wnd, &W);
  const bool HShown = A->HorzBar != nullptr && A->HorzBar->Shown;
  const int Thick = A->VertBar != nullptr && A->VertBar->Shown ? ScrollBarDimension(A->VertBar, true) : 0;
  R.Top = W.top + A->FrameTop;
  R.Bottom = W.bottom - A->FrameBottom - (HShown ? ScrollBarDimension(A->HorzBar, true) : 0);
  if (A->LeftScrollBar) {
    R.Left = W.left + A->FrameLeft;
    R.Right = R.Left + Thick;
  } else {
    R.Right = W.right - A->FrameRight;
    R.Left = R.Right - Thick;
  }
}

bool IsScrollBarShown(HWND Wnd, int Bar) {
  if (auto* Info = GetScrollBarInfoEntry().Get()) {
    SCROLLBARINFO SBI{};
    SBI.cbSize = 60;
    const LONG Obj = Bar == SB_HORZ ? OBJID_HSCROLL : Bar == SB_VERT ? OBJID_VSCROLL : OBJID_CLIENT;
    if (!Info(Wnd, Obj, &SBI)) return false;
    return (SBI.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
  }
  const LONG Style = GetWindowLongA(Wnd, GWL_STYLE);
  return (Style & (Bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0;
}

bool IsGripCorner(TvkScrollWnd* A, HWND Wnd, const TRect& Corner) {
  // A top-level window's corner is always a grip, also when it has an owner (which GetParent answers).
  if ((GetWindowLongA(Wnd, GWL_STYLE) & WS_CHILD) == 0) return true;
  const HWND Parent = GetParent(Wnd);
  if (Parent == nullptr) return true;
  // Only a top-level parent's corner can be dragged; a popup-style parent has an owner, which is no parent of it.
  if ((GetWindowLongA(Parent, GWL_STYLE) & WS_CHILD) != 0) return false;
  RECT C{};
  GetClientRect(Parent, &C);
  POINT TL{C.left, C.top}, BR{C.right, C.bottom};
  ClientToScreen(Parent, &TL);
  ClientToScreen(Parent, &BR);
  if (Corner.Bottom + A->FrameBottom != BR.y) return false;
  return A->LeftScrollBar ? Corner.Left - A->FrameLeft == TL.x : Corner.Right + A->FrameRight == BR.x;
}

// ---- painting ----

namespace {

struct TvkBarElements {
  int Track1, Track2, Arrow1, Arrow2, Thumb;
};
TvkBarElements ElementsOf(int Kind) {
  if (Kind == SB_HORZ) return {seScrollBar1H, seScrollBar2H, seScrollBtnLeft, seScrollBtnRight, seScrollSliderH};
  return {seScrollBar1V, seScrollBar2V, seScrollBtnTop, seScrollBtnBottom, seScrollSliderV};
}

// A form's own bars lie over the form skinner's frame image, which holds the window beyond a border window's
// margins and its extra frame and caption; a top-level form has no parent to ask. False when the image does not
// cover the bar (R: window coordinates).
bool FormFrameBackground(TvkScrollWnd* A, const TRect& R, TvkParentBgQuery& Q) {
  TsSkinProvider* P = A->SkinData->OwnerProvider();
  TBitmap* Cache = A->SkinData->CacheBmp;
  if (P == nullptr || Cache == nullptr) return false;
  TRect Mg;
  P->GetExtBorderMargins(Mg);
  return BitmapBackgroundAt(Cache, R.Left + Mg.Left + P->ExtraFrameWidth(),
                            R.Top + Mg.Top + GetExtraCaptionHeight(P->BorderForm()), R, Q);
}

// Where the bar's bitmap lies in the window's parent background, and that background.
void BarBackground(TvkScrollWnd* A, HWND Wnd, const TRect& R, TvkParentBgQuery& Q) {
  Q = TvkParentBgQuery{};
  if (A->SkinData != nullptr && (FormFrameBackground(A, R, Q) || A->OwnFrameBackground(R, Q))) return;
  RECT W{};
  GetWindowRect(Wnd, &W);
  const POINT P = PlaceInParentBackground(GetParent(Wnd), POINT{W.left + R.Left, W.top + R.Top});
  Q.OffsetX = P.x;
  Q.OffsetY = P.y;
  Q.Area = TRect(0, 0, R.Width(), R.Height());
  if (A->SkinData != nullptr) A->SkinData->GetParentWindowBackground(Q);
}

void PaintElement(TsSkinManager* M, int Element, const TvkBgCacheRef& Bg, TBitmap* Bmp, const TRect& Area, int State) {
  const TvkElementData& E = M->ConstData().Elements[Element];
  if (E.SkinIndex < 0) return;
  const TRect R = M->MaskIndexInRange(E.GlyphIndex) ? ArrowRectForGlyph(Area, Element, M->ma()[E.GlyphIndex]) : Area;
  if (R.Width() <= 0 || R.Height() <= 0) return;
  PaintSectionItem(E.SkinIndex, Bg, E.TextureIndex, E.HotTextureIndex, M, Bmp, TPoint(R.Left, R.Top), R, State);
  if (M->MaskIndexInRange(E.GlyphIndex)) {
    const TsMaskData& G = M->ma()[E.GlyphIndex];
    DrawSkinGlyph32(Bmp, TPoint(R.Left + (R.Width() - G.Width) / 2, R.Top + (R.Height() - G.Height) / 2), State, Bg,
                    G, 1);
  }
}

}  // namespace

TRect ArrowRectForGlyph(const TRect& R, int Element, const TsMaskData& Glyph) {
  // The glyph's excess over the standard 17 pixels, along the bar; a smaller glyph keeps the arrow whole, or the
  // strip it gave up would show neither arrow nor track.
  const int H = std::max(0, Glyph.Width - kStdArrowGlyph), V = std::max(0, Glyph.Height - kStdArrowGlyph);
  switch (Element) {
    case seScrollBtnLeft: return TRect(R.Left, R.Top, R.Right + H, R.Bottom);
    case seScrollBtnRight: return TRect(R.Left - H, R.Top, R.Right, R.Bottom);
    case seScrollBtnTop: return TRect(R.Left, R.Top, R.Right, R.Bottom + V);
    case seScrollBtnBottom: return TRect(R.Left, R.Top - V, R.Right, R.Bottom);
    default: return R;
  }
}

void PaintScrollBarElement(TsSkinManager* M, int Element, const TvkBgCacheRef& Bg, TBitmap* Bmp, const TRect& R,
                           int State) {
  PaintElement(M, Element, Bg, Bmp, R, State);
}

void RenderScrollBar(TvkScrollWnd* A, TvkScrollBar* Bar, HWND Wnd, HDC DC, const TRect& R, const TvkBarLook& Look) {
  TsSkinManager* M = A->SkinData != nullptr ? A->SkinData->SkinManager() : nullptr;
  if (M == nullptr) return;
  const bool Horz = Bar->Kind == SB_HORZ;
  const int Len = Horz ? R.Width() : R.Height();
  const int Across = Horz ? R.Height() : R.Width();
  std::unique_ptr<TBitmap> Bmp(NewBitmap32(R.Width(), R.Height()));
  TvkParentBgQuery Q;
  BarBackground(A, Wnd, R, Q);
  TvkBgCacheRef Bg;
  BgCacheRefFromQuery(Q, Bg);
  if (Bg.Ready) {
    BitBlt(Bmp->Canvas()->Handle(), 0, 0, R.Width(), R.Height(), Bg.Bmp->Canvas()->Handle(), Bg.X, Bg.Y, SRCCOPY);
  } else {
    PaintSolidRect(Bmp->Canvas()->Handle(), TRect(0, 0, R.Width(), R.Height()), Bg.FillColor);
  }
  TvkBgCacheRef Own;
  InitBgInfo(Bmp.get(), 0, 0, Own);
  // Rectangles along the bar turned into bitmap rectangles.
  auto Piece = [&](int From, int To) {
    return Horz ? TRect(From, 0, To, Across) : TRect(0, From, Across, To);
  };
  const TvkBarElements E = ElementsOf(Bar->Kind);
  int Arrow = ScrollBarDimension(Bar, false);
  if (2 * Arrow >= Len) {
    PaintElement(M, E.Track1, Own, Bmp.get(), Piece(0, Len / 2), 0);
    PaintElement(M, E.Track2, Own, Bmp.get(), Piece(Len / 2, Len), 0);
    Arrow = Len / 2;
    PaintElement(M, E.Arrow1, Own, Bmp.get(), Piece(0, Arrow), Look.Arrow1State);
    PaintElement(M, E.Arrow2, Own, Bmp.get(), Piece(Len - Arrow, Len), Look.Arrow2State);
  } else {
    TvkThumb T = ComputeThumb(Bar->ScrollInfo, 0, Len, Arrow, Bar->MinThumb);
    if (Look.ThumbStart != -1) T.Start = Look.ThumbStart;
    const int Centre = std::clamp(T.Start + T.Length / 2, Arrow, Len - Arrow);
    PaintElement(M, E.Track1, Own, Bmp.get(), Piece(Arrow, Centre), Look.Track1State);
    PaintElement(M, E.Track2, Own, Bmp.get(), Piece(Centre, Len - Arrow), Look.Track2State);
    PaintElement(M, E.Arrow1, Own, Bmp.get(), Piece(0, Arrow), Look.Arrow1State);
    PaintElement(M, E.Arrow2, Own, Bmp.get(), Piece(Len - Arrow, Len), Look.Arrow2State);
    if (Look.DrawThumb) PaintElement(M, E.Thumb, Own, Bmp.get(), Piece(T.Start, T.Start + T.Length), Look.ThumbState);
  }
  if (Look.Disabled) PaintAdapterDisabled(Bmp.get(), Bg);
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), Bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

namespace {

// The bar painter: states from the tracking state, then the bar.
void PaintBar(TvkScrollWnd* A, TvkScrollBar* Bar, HWND Wnd, HDC DC, int ThumbPos, int Part, const TRect& R) {
  if (A->ThumbTracking || !Bar->Shown) return;
  TsSkinManager* M = A->SkinData != nullptr ? A->SkinData->SkinManager() : nullptr;
  if (M == nullptr || M->ConstData().Elements[seScrollBar1H].SkinIndex < 0) return;
  if ((Bar->Kind == SB_HORZ ? R.Width() : R.Height()) < 2) return;
  Bar->ScrollInfo.cbSize = sizeof(SCROLLINFO);
  Bar->ScrollInfo.fMask = SIF_ALL;
  GetScrollInfo(Wnd, Bar->Kind, &Bar->ScrollInfo);
  const TvkScrollTracking& T = ScrollTracking;
  TControl* Owner = A->SkinData->OwnerControl;
  const bool Enabled = IsScrollBarShown(Wnd, Bar->Kind) && (Owner == nullptr || Owner->Enabled());
  const bool Hovered = T.HoverBarKind == Bar->Kind && Enabled && Wnd == T.HoverWnd;
  if (Wnd != T.HoverWnd) Part = spNone;
  TvkBarLook Look;
  Look.Arrow1State = Part == spFirstArrow ? 2 : Hovered && T.HoverPart == spFirstArrow ? 1 : 0;
  Look.Arrow2State = Part == spSecondArrow ? 2 : Hovered && T.HoverPart == spSecondArrow ? 1 : 0;
  Look.Track1State = Part == spTrackBefore ? 2 : 0;
  Look.Track2State = Part == spTrackAfter ? 2 : 0;
  Look.ThumbState = Hovered && T.HoverPart == spThumb ? 1 : 0;
  Look.ThumbStart = ThumbPos;
  const int Len = Bar->Kind == SB_HORZ ? R.Width() : R.Height();
  Look.DrawThumb = Enabled && ThumbDrawable(Bar->ScrollInfo, Len - 2 * ScrollBarDimension(Bar, false), Bar->MinThumb);
  Look.Disabled = !Enabled;
  RenderScrollBar(A, Bar, Wnd, DC, R, Look);
}

TRect ToWindow(HWND Wnd, const TRect& R) {
  RECT W{};
  GetWindowRect(Wnd, &W);
  return TRect(R.Left - W.left, R.Top - W.top, R.Right - W.left, R.Bottom - W.top);
}

void PaintCorner(TvkScrollWnd* A, HWND Wnd, HDC DC) {
  TsCommonData* SD = A->SkinData;
  TsSkinManager* M = SD->SkinManager();
  const int VThick = ScrollBarDimension(A->VertBar, true), HThick = ScrollBarDimension(A->HorzBar, true);
  TRect H, V;
  GetHorzScrollBarRect(A, Wnd, H);
  GetVertScrollBarRect(A, Wnd, V);
  // Screen rectangle of the square between the bars.
  const TRect Corner(V.Left, H.Top, V.Left + VThick, H.Top + HThick);
  std::unique_ptr<TBitmap> Bmp(NewBitmap32(VThick, HThick));
  const int S1 = M->ConstData().Elements[seScrollBar1H].SkinIndex;
  const TsGeneralData* G = M->SectionIndexInRange(S1) ? &M->gd()[S1] : nullptr;
  TvkParentBgQuery Q;
  BarBackground(A, Wnd, ToWindow(Wnd, Corner), Q);
  TvkBgCacheRef Bg;
  BgCacheRefFromQuery(Q, Bg);
  if (G != nullptr && G->Props[0].Transparency != 100) {
    uint32_t C = G->Props[0].Color;
    if ((C & 0xFFFFFF) == 0xFF00FF) C = static_cast<uint32_t>(M->SkinBaseColor());
    if (!IsScrollBarShown(Wnd, SB_HORZ) || !IsScrollBarShown(Wnd, SB_VERT)) {
      uint32_t Own = C;
      if (const TsGeneralData* W = SD->Section()) Own = W->Props[std::clamp(SD->CurrentState(), 0, 2)].Color;
      C = WeightedColorMix(C, Own, DisabledBlendWeight);
    }
    PaintSolidRect(Bmp->Canvas()->Handle(), TRect(0, 0, VThick, HThick), C & 0xFFFFFF);
  } else if (Bg.Ready) {
    BitBlt(Bmp->Canvas()->Handle(), 0, 0, VThick, HThick, Bg.Bmp->Canvas()->Handle(), Bg.X, Bg.Y, SRCCOPY);
  } else {
    PaintSolidRect(Bmp->Canvas()->Handle(), TRect(0, 0, VThick, HThick), static_cast<uint32_t>(M->SkinBaseColor()));
  }
  const int Grip = M->ConstData().GripImage;
  if (IsGripCorner(A, Wnd, Corner) && M->MaskIndexInRange(Grip)) {
    const TsMaskData& GM = M->ma()[Grip];
    TvkBgCacheRef Own;
    InitBgInfo(Bmp.get(), 0, 0, Own);
    DrawSkinGlyph32(Bmp.get(), TPoint(VThick - GM.Width, HThick - GM.Height), 0, Own, GM, 1);
  }
  const TRect W = ToWindow(Wnd, Corner);
  BitBlt(DC, W.Left, W.Top, VThick, HThick, Bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

}  // namespace

LRESULT PaintScrollBars(TvkScrollWnd* A, HWND Wnd, int ThumbPos, HDC DC) {
  TsCommonData* SD = A->SkinData;
  if (SD == nullptr || A->HorzBar == nullptr || A->VertBar == nullptr) return 0;
  if (SD->RecheckUpdating(false)) return 0;
  if (SD->OwnerControl != nullptr && SD->OwnerControl->ControlState().Contains(csCreating)) return 0;
  if (!IsWindowVisible(Wnd)) return 0;
  if (SD->CacheDirty) SendSkinCommand(Wnd, VKCMD_REFRESH_CACHE, 0);
  const bool Own = DC == nullptr;
  if (Own) DC = GetWindowDC(Wnd);
  const TvkScrollTracking& T = ScrollTracking;
  TRect R;
  if (A->HorzBar->Shown) {
    GetHorzScrollBarRect(A, Wnd, R);
    PaintBar(A, A->HorzBar, Wnd, DC, ThumbPos, T.TrackedBarKind == SB_HORZ ? T.HotPart : spNone, ToWindow(Wnd, R));
  }
  if (A->VertBar->Shown) {
    GetVertScrollBarRect(A, Wnd, R);
    PaintBar(A, A->VertBar, Wnd, DC, ThumbPos, T.TrackedBarKind == SB_VERT ? T.HotPart : spNone, ToWindow(Wnd, R));
  }
  if (A->HorzBar->Shown && A->VertBar->Shown && SD->SkinManager() != nullptr) PaintCorner(A, Wnd, DC);
  if (Own) ReleaseDC(Wnd, DC);
  return 0;
}

void PaintOneScrollBar(TvkScrollWnd* A, TvkScrollBar* Bar, HWND Wnd, int Part) {
  if (A->SkinData == nullptr || !Bar->Shown) return;
  TRect R;
  if (Bar->Kind == SB_HORZ)
    GetHorzScrollBarRect(A, Wnd, R);
  else
    GetVertScrollBarRect(A, Wnd, R);
  HDC DC = GetWindowDC(Wnd);
  PaintBar(A, Bar, Wnd, DC, -1, Part, ToWindow(Wnd, R));
  ReleaseDC(Wnd, DC);
}
