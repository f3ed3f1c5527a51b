#include "skin/adapters/vkScrollBoxWnds.h"

#include <algorithm>

#include "framework/Forms.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkContainerMessages.h"
#include "skin/adapters/vkEditWnd.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkScrollBars.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinText.h"

IMPLEMENT_CLASS(TvkScrollBoxWnd)
IMPLEMENT_CLASS(TvkNativePaint)
IMPLEMENT_CLASS(TvkStaticTextWnd)

namespace {

// Invalidate, erase, frame, all children, update now: the whole control at once.
constexpr UINT kRepaintAll = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
constexpr int kScrollBoxFrame = 2;
// Ordinals of the bevel enumerations.
constexpr int kBevelNone = 0, kBevelLowered = 1, kBevelRaised = 2;

bool Destroying(TControl* C) { return C != nullptr && C->ComponentState().Contains(csDestroying); }

// The cache over the parent's background and the skin; False (and Updating set) without a ready background.
bool RenderAdapterCache(TvkMainWnd* A) {
  TsCommonData* SD = A->SkinData;
  TBitmap* Cache = PrepareAdapterCache(A);
  TvkParentBgQuery Q{};
  Q.OffsetX = A->WndPos.X;
  Q.OffsetY = A->WndPos.Y;
  Q.Area = TRect(0, 0, A->WndSize.X, A->WndSize.Y);
  if (SD->OwnerControl != nullptr && SD->OwnerControl->Parent() != nullptr)
    SD->GetParentBackground(Q);
  else
    SD->GetParentWindowBackground(Q);
  if (Q.Kind == bgkNotReady) {
    SD->Updating = true;
    return false;
  }
  TvkBgCacheRef Bg;
  BgCacheRefFromQuery(Q, Bg);
  if (SD->CustomColor() && SD->OwnerControl != nullptr)
    PaintSolidRect(Cache->Canvas()->Handle(), TRect(0, 0, A->WndSize.X, A->WndSize.Y),
                   static_cast<uint32_t>(ColorToRGB(SD->OwnerControl->Color())));
  else
    RenderControlSkin(SD, Bg, true, Cache, TPoint(), TRect(0, 0, A->WndSize.X, A->WndSize.Y), 0);
  SD->CacheDirty = false;
  return true;
}

void CopyFrameStrips(TvkMainWnd* A, HDC DC, int Width) {
  if (Width <= 0 || A->SkinData->CacheBmp == nullptr) return;
  CopyBorderStrips(DC, 0, 0, Width, 0, 0, A->SkinData->CacheBmp->Canvas()->Handle(), A->WndSize.Y, A->WndSize.X);
}

int FrameWidthOf(HWND W) {
  RECT R{}, C{};
  GetWindowRect(W, &R);
  GetClientRect(W, &C);
  return ((R.right - R.left) - C.right) / 2;
}

// The cache from (B, B) into the client area, around the children that cover it; then the children repainted.
void CopyClient(TvkMainWnd* A, HDC DC, int B) {
  const RECT R{0, 0, A->WndSize.X - 2 * B, A->WndSize.Y - 2 * B};
  if (auto* W = As<TWinControl>(A->SkinData->OwnerControl)) {
    BlitCacheExceptChildren(W, A->SkinData, POINT{B, B}, 0, 0, false, DC, R);
    PaintGraphicChildren(DC, W, true, POINT{0, 0});
    RepaintChildrenAfterUpdate(W);
  } else {
    BitBlt(DC, 0, 0, R.right, R.bottom, A->SkinData->CacheBmp->Canvas()->Handle(), B, B, SRCCOPY);
  }
}

// The client painter both adapters share: a repaint when the cache is dirty or was clipped before.
void PaintClientArea(TvkMainWnd* A, HDC DC, int Border, bool (*Rebuild)(TvkMainWnd*)) {
  TsCommonData* SD = A->SkinData;
  if (Destroying(SD->OwnerControl) || SD->RecheckUpdating(false)) return;
  GetWindowGeometry(A->CtrlHandle, A->ParentWnd, A->WndRect, A->ParentRect, A->WndSize, A->WndPos);
  const bool Own = DC == nullptr;
  if (Own) DC = GetWindowDC(A->CtrlHandle);
  const int Saved = SaveDC(DC);
  bool Ready = true;
  if (SD->ClippedOut || SD->CacheDirty) {
    RECT Box{};
    GetClipBox(DC, &Box);
    SD->ClippedOut = SD->OwnerControl != nullptr &&
                     (Box.right - Box.left != A->WndSize.X || Box.bottom - Box.top != A->WndSize.Y);
    Ready = Rebuild(A);
  }
  if (Ready && SD->CacheBmp != nullptr) CopyClient(A, DC, Border);
  RestoreDC(DC, Saved);
  if (Own) ReleaseDC(A->CtrlHandle, DC);
}

}  // namespace

// ---- scroll boxes ----

void TvkScrollBoxWnd::FinishCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("PANEL_LOW");
  TvkScrollWnd::FinishCreation();
}

bool TvkScrollBoxWnd::RebuildCache() { return RenderAdapterCache(this); }

void TvkScrollBoxWnd::PaintFrame(HDC DC) {
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  RebuildCache();
  const bool Own = DC == nullptr;
  if (Own) DC = GetWindowDC(CtrlHandle);
  PaintScrollBars(this, CtrlHandle, 0, DC);
  // The box's own 2-pixel frame: the window's whole non-client width would count the scroll bars too.
  CopyFrameStrips(this, DC, kScrollBoxFrame);
  if (Own) ReleaseDC(CtrlHandle, DC);
}

void TvkScrollBoxWnd::PaintClient(HDC DC) {
  PaintClientArea(this, DC, kScrollBoxFrame, [](TvkMainWnd* A) { return static_cast<TvkScrollBoxWnd*>(A)->RebuildCache(); });
}

void TvkScrollBoxWnd::WndProc(TMessage& Message) {
  TControl* Owner = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (Message.Msg == SM_VKCMD && SkinData != nullptr) {
    switch (SkinCommandCode(Message.WParam)) {
      case VKCMD_SKIN_APPLIED:
      case VKCMD_REPAINT_AFTER_CHANGE: {
        const bool Repaint = SkinCommandCode(Message.WParam) == VKCMD_REPAINT_AFTER_CHANGE;
        TvkScrollWnd::WndProc(Message);
        ProcessSkinCommand(Message, SkinData);
        PassCommandToChildren(Owner, CtrlHandle, Message);
        if (Repaint) RedrawWindow(CtrlHandle, nullptr, nullptr, kRepaintAll);
        return;
      }
      case VKCMD_SKIN_DROPPED:
        SkinData->SkinIndex = -1;
        if (Owner != nullptr) Owner->SetControlStyle(Owner->ControlStyle() - csOpaque);
        ProcessSkinCommand(Message, SkinData);
        RedrawWindow(CtrlHandle, nullptr, nullptr, kRepaintAll);
        return;
      case VKCMD_PARENT_UPDATE_DONE:
        TvkScrollWnd::WndProc(Message);
        return;
      case VKCMD_SECTION_REPAINT:
        Message.Result = 1;
        return;
      case VKCMD_MOUSE_ENTERED:
        return;
      case VKCMD_QUERY_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return;
      default:
        break;
    }
  }
  const bool Holds = Owner == nullptr || Owner->ControlStyle().Contains(csAcceptsControls);
  if (SkinData != nullptr && Holds && SkinData->IsSkinned(false)) {
    const HWND W = CtrlHandle;
    const auto Inherited = [&] { TvkScrollWnd::WndProc(Message); };
    switch (Message.Msg) {
      case WM_NCPAINT: {
        if (!IsWindowVisible(W) || Detached) break;
        ReloadScrollBarInfo(this, false);
        if (SkinData->RecheckUpdating(false)) return;
        HDC DC = GetWindowDC(W);
        RECT Box{};
        if (GetClipBox(DC, &Box) != NULLREGION) {
          GetWindowGeometry(W, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
          if (SkinData->CacheDirty) {
            if (!ParamsApplied) ApplySkinParams();
            RebuildCache();
          }
          PaintScrollBars(this, W, 0, DC);
          CopyFrameStrips(this, DC, kScrollBoxFrame);
        }
        ReleaseDC(W, DC);
        return;
      }
      default:
        if (SkinnedContainerMessage(this, Message, Inherited)) return;
        break;
    }
  }
  TvkScrollWnd::WndProc(Message);
  if (Message.Msg == WM_WINDOWPOSCHANGING) SendMessageA(CtrlHandle, WM_NCPAINT, 0, 0);
}

// ---- natively painted controls ----

void TvkNativePaint::FinishCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("TRANSPARENT");
  TvkScrollWnd::FinishCreation();
}

void TvkNativePaint::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
    case WM_ERASEBKGND:
      PassOn(Message);
      return;
    case SM_VKCMD:
      if (SkinCommandCode(Message.WParam) == VKCMD_REFRESH_CACHE && SkinData != nullptr) {
        PassOn(Message);
        if (SkinData->CacheDirty) {
          GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
          PrepareAdapterCache(this);
          PaintAdapterCache(SkinData, CtrlHandle, DlgMode);
        }
        return;
      }
      break;
    default:
      break;
  }
  TvkScrollBoxWnd::WndProc(Message);
}

// ---- static texts ----

std::string StaticTextSectionFor(TControl* Control) {
  if (GetObjOrdPropValue(Control, "BevelKind") != kBevelNone) {
    const int Outer = GetObjOrdPropValue(Control, "BevelOuter"), Inner = GetObjOrdPropValue(Control, "BevelInner");
    if (Outer == kBevelLowered) return Inner == kBevelRaised ? "GROUPBOX" : "PANEL_LOW";
    if (Outer == kBevelRaised) return Inner == kBevelLowered ? "GROUPBOX" : "PANEL";
    return "TRANSPARENT";
  }
  if (ClassNamed(Control, "TCustomStaticText") && GetObjOrdPropValue(Control, "BorderStyle") != 0) return "GROUPBOX";
  return "TRANSPARENT";
}

void TvkStaticTextWnd::FinishCreation() {
  StaticText = As<TWinControl>(SkinData->OwnerControl);
  if (StaticText != nullptr) {
    const bool Was = SkinData->Updating;
    SkinData->Updating = true;
    if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(StaticTextSectionFor(StaticText));
    SkinData->Updating = Was;
  }
  TvkMainWnd::FinishCreation();
}

bool TvkStaticTextWnd::RebuildCache() {
  if (!RenderAdapterCache(this)) return false;
  TCanvas* C = SkinData->CacheBmp->Canvas();
  SetBkMode(C->Handle(), TRANSPARENT);
  UINT Flags = DT_CENTER | DT_VCENTER;
  bool Enabled = true;
  std::string Text = WideToAnsi(Caption);
  if (StaticText != nullptr) {
    C->Font()->Assign(StaticText->Font());
    Flags = AlignDrawTextFlags(StaticText, static_cast<TAlignment>(GetObjOrdPropValue(StaticText, "Alignment"))) |
            DT_WORDBREAK;
    Enabled = StaticText->Enabled();
    Text = StaticText->Caption();
  }
  SelectObject(C->Handle(), C->Font()->Handle());
  // The text stays inside the frame.
  const int B = FrameWidthOf(CtrlHandle);
  DrawControlTextStr(C, Text, Enabled, TRect(B, B, WndSize.X - B, WndSize.Y - B), Flags, SkinData, 0);
  return true;
}

void TvkStaticTextWnd::PaintFrame(HDC DC) {
  if (SkinData->RecheckUpdating(false)) return;
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  const bool Own = DC == nullptr;
  if (Own) DC = GetWindowDC(CtrlHandle);
  if (RebuildCache())
    CopyFrameStrips(this, DC, FrameWidthOf(CtrlHandle));
  else
    SkinData->Updating = true;
  if (Own) ReleaseDC(CtrlHandle, DC);
}

void TvkStaticTextWnd::PaintClient(HDC DC) {
  PaintClientArea(this, DC, FrameWidthOf(CtrlHandle),
                  [](TvkMainWnd* A) { return static_cast<TvkStaticTextWnd*>(A)->RebuildCache(); });
}

void TvkStaticTextWnd::WndProc(TMessage& Message) {
  TControl* Owner = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  const auto Inherited = [&] { TvkMainWnd::WndProc(Message); };
  if (Message.Msg == SM_VKCMD && Owner != nullptr &&
      ContainerSkinCommand(this, Message, Inherited, [this] { RebuildCache(); }))
    return;
  if (SkinData != nullptr && SkinData->IsSkinned(false)) {
    const HWND W = CtrlHandle;
    switch (Message.Msg) {
      case WM_NCPAINT:
        PaintFrame(nullptr);
        Message.Result = 0;
        return;
      case CM_ENABLEDCHANGED:
        PerformMessage(WM_SETREDRAW, 0, 0);
        TvkMainWnd::WndProc(Message);
        PerformMessage(WM_SETREDRAW, 1, 0);
        InvalidateRect(W, nullptr, TRUE);
        return;
      default:
        if (SkinnedContainerMessage(this, Message, Inherited)) return;
        break;
    }
  }
  TvkMainWnd::WndProc(Message);
  if (Message.Msg == WM_WINDOWPOSCHANGING) SendMessageA(CtrlHandle, WM_NCPAINT, 0, 0);
}
