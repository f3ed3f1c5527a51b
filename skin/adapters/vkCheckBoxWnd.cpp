// Check boxes, radio buttons and group boxes painted from the skin.
#include <algorithm>

#include "framework/Controls.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkButtonWnds.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/ToolkitStartup.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"

IMPLEMENT_CLASS(TvkCheckBoxWnd)

namespace {

LONG StyleOf(HWND W) { return GetWindowLongA(W, GWL_STYLE); }
bool HasExStyle(HWND W, LONG Bit) { return (GetWindowLongA(W, GWL_EXSTYLE) & Bit) != 0; }
void StopAnimation(TsCommonData* SD) {
  if (AnimationGlue.StopControlAnimation) AnimationGlue.StopControlAnimation(SD);
}
TsSkinManager* ManagerOf(TsCommonData* SD) { return SD != nullptr ? SD->SkinManager() : nullptr; }

}  // namespace

// ---- check boxes and radio buttons ----

void TvkCheckBoxWnd::FinishCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("CHECKBOX");
  SkinData->CtrlType = ctCheckBoxAdapter;
  OwnerDrawn = (StyleOf(CtrlHandle) & BS_TYPEMASK) == BS_OWNERDRAW;
  TvkMainWnd::FinishCreation();
}

bool TvkCheckBoxWnd::IsRadio() const {
  const LONG Type = StyleOf(CtrlHandle) & BS_TYPEMASK;
  return Type == BS_RADIOBUTTON || Type == BS_AUTORADIOBUTTON;
}

int TvkCheckBoxWnd::GetCheckState() const {
  const LRESULT S = SendMessageA(CtrlHandle, BM_GETSTATE, 0, 0);
  if (S & BST_INDETERMINATE) return 2;
  return (S & BST_CHECKED) ? 1 : 0;
}

int TvkCheckBoxWnd::GlyphMaskIndex(int CheckState) const {
  TsSkinManager* M = ManagerOf(SkinData);
  if (M == nullptr) return -1;
  const auto& E = M->ConstData().Elements;
  if (IsRadio()) return E[CheckState == 1 ? seRadioChecked : seRadioUnchecked].GlyphIndex;
  const TvkStdElement Box[3] = {seBoxUnchecked, seBoxChecked, seBoxGrayed};
  return E[Box[std::clamp(CheckState, 0, 2)]].GlyphIndex;
}

TSize TvkCheckBoxWnd::CheckGlyphSize() const {
  TsSkinManager* M = ManagerOf(SkinData);
  const int Checked = M != nullptr ? M->ConstData().Elements[IsRadio() ? seRadioChecked : seBoxChecked].GlyphIndex : -1;
  if (M == nullptr || !M->MaskIndexInRange(Checked)) return TSize(16, 16);
  return TSize(M->ma()[Checked].Width, M->ma()[Checked].Height);
}

TRect TvkCheckBoxWnd::GlyphRect(int MaskIndex) const {
  if (MaskIndex < 0) return TRect();
  const TSize G = CheckGlyphSize();
  const int Top = (WndSize.Y - G.cy) / 2;
  if (StyleOf(CtrlHandle) & BS_LEFTTEXT) return TRect(WndSize.X - G.cx, Top, WndSize.X, Top + G.cy);
  return TRect(0, Top, G.cx, Top + G.cy);
}

int TvkCheckBoxWnd::GlyphState() const {
  const LRESULT S = SendMessageA(CtrlHandle, BM_GETSTATE, 0, 0);
  if (S & BST_PUSHED) return 2;
  TsSkinManager* M = ManagerOf(SkinData);
  if (M != nullptr && M->Options()->NoMouseHover()) return 0;
  if (S & BST_FOCUS) return 1;
  return M != nullptr && M->HotWindow() == CtrlHandle ? 1 : 0;
}

void TvkCheckBoxWnd::DrawGlyph(int MaskIndex) {
  TsSkinManager* M = ManagerOf(SkinData);
  TBitmap* Cache = SkinData->CacheBmp;
  if (M == nullptr || Cache == nullptr || Cache->Width() < 1 || !M->MaskIndexInRange(MaskIndex)) return;
  const TRect R = GlyphRect(MaskIndex);
  TvkBgCacheRef Own;
  InitBgInfo(Cache, 0, 0, Own);
  DrawSkinGlyph32(Cache, TPoint(R.Left, R.Top), GlyphState(), Own, M->ma()[MaskIndex], 1);
}

void TvkCheckBoxWnd::DrawCaption() {
  const std::string Text = WideToAnsi(Caption);
  if (Text.empty()) return;
  TCanvas* Canvas = SkinData->CacheBmp->Canvas();
  SelectAdapterFont(this);
  const int W = WndSize.X, H = WndSize.Y;
  const int G = CheckGlyphSize().cx;
  const LONG Style = StyleOf(CtrlHandle);
  const bool Multi = (Style & BS_MULTILINE) != 0;
  TRect Measure(0, 0, W - (G + 2), 0);
  DrawStringOnDC(Canvas->Handle(), Text, Measure, DT_CALCRECT | (Multi ? DT_WORDBREAK : DT_SINGLELINE));
  const int TW = Measure.Width(), TH = Measure.Height();
  const int Top = std::max((H - TH) / 2, 0), Bottom = H - Top;
  UINT Flags = Multi ? DT_WORDBREAK : DT_SINGLELINE;
  TRect R;
  if (!(Style & BS_LEFTTEXT)) {
    R = TRect(G + 4, Top, G + 4 + TW, Bottom);
    OffsetRect(R.AsRECT(), Multi ? -1 : 0, -1);
  } else if (HasExStyle(CtrlHandle, WS_EX_RTLREADING)) {
    R = TRect(W - G - 6 - TW, Top, W - G - 6, Bottom);
    Flags |= DT_RTLREADING | (Multi ? 0 : DT_RIGHT);
  } else {
    R = TRect(2, Top, TW + 2, Bottom);
  }
  Canvas->Font()->SetColor(static_cast<TColor>(FontColorForWindow(CtrlHandle, SkinData->SkinIndex, ManagerOf(SkinData), 0)));
  DrawSectionTextStr(Canvas, Text, IsWindowEnabled(CtrlHandle) != FALSE, ManagerOf(SkinData), SkinData->CurrentState(),
                     SkinData->SkinIndex, Flags, R);
  if (SendMessageA(CtrlHandle, BM_GETSTATE, 0, 0) & BST_FOCUS) {
    InflateRect(R.AsRECT(), 2, 0);
    const uint32_t C = SectionFontColor(SkinData, std::min(1, SectionStateCount(SkinData)));
    PaintDottedRectFrame(Canvas, R, C, C);
  }
}

void TvkCheckBoxWnd::PaintCache() {
  TvkBgCacheRef Bg;
  AdapterParentBackground(this, Bg);
  PrepareCacheBitmap(SkinData);
  if (OwnerDrawn) return;
  TBitmap* Cache = PrepareAdapterCache(this);
  const int State = SkinData->CurrentState() & 0x7F;
  RenderControlSkin(SkinData, Bg, true, Cache, TPoint(), TRect(0, 0, WndSize.X, WndSize.Y), State);
  DrawCaption();
  DrawGlyph(GlyphMaskIndex(GetCheckState()));
  if (!IsWindowEnabled(CtrlHandle)) PaintAdapterDisabled(Cache, Bg);
  SkinData->CacheDirty = false;
}

void TvkCheckBoxWnd::PaintToDC(TMessage& Message) {
  PAINTSTRUCT PS{};
  const bool Painting = Message.Msg == WM_PAINT;
  if (Painting) BeginPaint(CtrlHandle, &PS);
  if (PaintFadeFrame(SkinData, CtrlHandle, reinterpret_cast<HDC>(Message.WParam))) {
    if (Painting) EndPaint(CtrlHandle, &PS);
    return;
  }
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (!SkinData->RecheckUpdating(false) && !OwnerDrawn && (IsWindowVisible(CtrlHandle) || Message.WParam != 0)) {
    PaintCache();
    BlitCacheTo(this, reinterpret_cast<HDC>(Message.WParam));
  }
  if (Painting) EndPaint(CtrlHandle, &PS);
}

void TvkCheckBoxWnd::Tail(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      SendMessageA(CtrlHandle, WM_PAINT, 0, 0);
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (Message.WParam == VK_SPACE) SendMessageA(CtrlHandle, WM_PAINT, 0, 0);
      break;
    case WM_NCHITTEST:
      if (TsSkinManager* M = ManagerOf(SkinData);
          M != nullptr && IsWindowEnabled(CtrlHandle) && M->HotWindow() != CtrlHandle)
        M->ChangeHotWindow(CtrlHandle);
      break;
    default:
      break;
  }
}

void TvkCheckBoxWnd::WndProc(TMessage& Message) {
  if (SkinData == nullptr) {
    TvkMainWnd::WndProc(Message);
    return;
  }
  const HWND W = CtrlHandle;
  auto Inherited = [&] { TvkMainWnd::WndProc(Message); };
  switch (Message.Msg) {
    case BM_SETCHECK:
    case BM_SETSTATE:
    case WM_ENABLE:
    case CM_TEXTCHANGED:
    case WM_SETTEXT:  // a foreign box has no text-changed notice, and the system draws itself on a new text
      if (IsWindowVisible(W)) {
        WithoutRedraw(W, [&] {
          StopAnimation(SkinData);
          Inherited();
        });
        SendMessageA(W, WM_PAINT, 0, 0);
      } else {
        Inherited();
      }
      Tail(Message);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      StopAnimation(SkinData);
      Inherited();
      Tail(Message);
      return;
    case WM_PAINT:
      // An owner-drawn button keeps its own drawing (its parent's WM_DRAWITEM).
      if (OwnerDrawn)
        Inherited();
      else
        PaintToDC(Message);
      return;
    case WM_ERASEBKGND:
      if (OwnerDrawn) {
        TvkBgCacheRef Bg;
        AdapterParentBackground(this, Bg);
        HDC DC = Message.WParam != 0 ? reinterpret_cast<HDC>(Message.WParam) : GetDC(W);
        FillFromBackground(DC, TRect(0, 0, WndSize.X, WndSize.Y), Bg);
        if (Message.WParam == 0) ReleaseDC(W, DC);
      }
      Message.Result = 1;
      return;
    case WM_DESTROY:
    case WM_NCDESTROY:
      Inherited();
      return;
    case WM_NCPAINT:
      return;
    case SM_VKCMD:
      switch (SkinCommandCode(Message.WParam)) {
        case VKCMD_REFRESH_CACHE:
          PaintCache();
          return;
        case VKCMD_MOUSE_ENTERED:
          if (TsSkinManager* M = ManagerOf(SkinData);
              !SkinData->Hot && M != nullptr && M->HotWindow() == W && !M->Options()->NoMouseHover()) {
            // As for push buttons: a notice that comes after the cursor has gone makes nothing hot.
            if (!CursorInWindow(W)) return;
            SkinData->CacheDirty = false;
            SkinData->Updating = false;
            SkinData->Hot = true;
            AdapterStateChange(SkinData, W, 1);
            return;
          }
          break;
        case VKCMD_MOUSE_LEFT:
          if (SkinData->Hot) {
            SkinData->Updating = false;
            SkinData->CacheDirty = false;
            SkinData->Hot = false;
            AdapterStateChange(SkinData, W, 0);
            return;
          }
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
  Inherited();
  Tail(Message);
}
