// The dialog adapter's extended border and shadow window, and the fade of a dialog dragged by its caption.
#include <algorithm>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/adapters/vkDialogWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/vkBorderForm.h"
#include "skin/forms/vkFormTimers.h"
#include "skin/forms/vkProviderEffects.h"
#include "skin/graphics/vkBitmap32.h"

namespace {

constexpr UINT kRedrawAll = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;  // 0x585
constexpr uint32_t kBlendedDrag = 0x80;
// What the dialog waits after a blended drag before its border window goes behind it again.
constexpr DWORD kSettleMs = 40;

HWND BorderWnd(TvkBorderForm* BF) {
  return BF != nullptr && BF->BorderWindow != nullptr && BF->BorderWindow->HandleAllocated() ? BF->BorderWindow->Handle()
                                                                                          : nullptr;
}

}  // namespace

void TvkDialogWnd::SetBorderForm(bool On) {
  // The border window is laid out around a caption (its top indent, hit tests and drag are the caption's), as for
  // forms: a dialog without one keeps its skinned frame and region.
  const bool Wanted = On && SkinManager != nullptr && SkinManager->GetExtendedBorders() &&
                      !SkinManager->ComponentState().Contains(csDesigning) &&
                      (GetWindowLongA(CtrlHandle, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
  if (!Wanted) {
    if (BorderForm == nullptr) return;
    TvkBorderForm* B = BorderForm;
    BorderForm = nullptr;
    B->Free();
    SkinData->CacheDirty = true;
    RegionDirty = true;
    return;
  }
  if (BorderForm != nullptr) return;
  BorderForm = new TvkBorderForm(this);
  BorderForm->SkinData = SkinData;
  SkinData->CacheDirty = true;
  RegionDirty = true;
  if (IsWindowVisible(CtrlHandle)) UpdateBorder(true);
}

void TvkDialogWnd::UpdateBorder(bool Repaint) {
  // (a message running on after the give-back would show the hidden frame again)
  if (BorderForm != nullptr && !Detached) BorderForm->UpdateBorderWindow(Repaint, 255);
}

void TvkDialogWnd::RemoveSkinFrame() {
  // detached by now: the border window's move asks the dialog for no region
  if (const HWND L = BorderWnd(BorderForm))
    SetWindowPos(L, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // a blended drag the border window carries left the dialog fully transparent behind it: it shows again now,
  // not only when the drag ends
  if ((MoveFlags & kBlendedDrag) != 0) {
    if (MoveTimer != nullptr) MoveTimer->SetEnabled(false);
    SetLayeredAlpha(CtrlHandle, false, 255);
  }
}

TRect TvkDialogWnd::GetShadowMargins() {
  return BorderForm != nullptr && SkinManager != nullptr ? SkinManager->ExtBorderMargins() : TRect();
}

// The frame cache is laid out by the border window's own indents, so the cache and the window agree.
int TvkDialogWnd::ExtraFrameWidth() {
  return BorderForm != nullptr ? BorderForm->GetLeftIndent() - GetShadowMargins().Left : 0;
}

// The hit code of the button placed under the point: each answers for itself, whichever place it takes.
int TvkDialogWnd::TitleCodeAt(TPoint P) {
  const int At = TitleButtonAt(P);
  if (At == 0) return 0;
  const TvkDlgTitleButton* B = PlacedButtons()[At - 1];
  if (B == &CloseButton) return CanClose() ? HTCLOSE : HTNOWHERE;
  if (B == &MaxButton) return CanMaximize() || CanRestore() ? HTMAXBUTTON : HTCAPTION;
  if (B == &MinButton) return IsIconic(CtrlHandle) || CanMinimize() ? HTMINBUTTON : HTCAPTION;
  return HTHELP;
}

bool TvkDialogWnd::StartBlendedMove() {
  TvkBlendOnMoving* Blend = SkinManager != nullptr ? SkinManager->AnimEffects()->BlendOnMoving() : nullptr;
  if ((MoveFlags & kBlendedDrag) != 0 || Blend == nullptr || !Blend->Active() || Blend->BlendValue() >= 255 ||
      IsIconic(CtrlHandle))
    return false;
  // counted itself: the border window starts it outside the dialog's own messages
  const TvkAdapterBusy Busy(this);
  const HWND W = CtrlHandle;
  MoveFlags |= kBlendedDrag;
  if (MoveTimer != nullptr) MoveTimer->Free();
  MoveTimer = new TvkMoveTimer(nullptr, nullptr);
  MoveTimer->SetInterval(12);
  MoveTimer->Alpha = 255;
  MoveTimer->TargetAlpha = Blend->BlendValue();
  // at least one step: a value near 255 would leave the dialog opaque for the whole drag
  MoveTimer->AlphaStep = std::max(1, (255 - Blend->BlendValue()) / 30);
  MoveTimer->BorderForm = BorderForm;
  if (BorderForm != nullptr) {
    UpdateBorder(true);
    BorderForm->Moving = true;
    const HWND L = BorderWnd(BorderForm);
    // the border window takes the drag; the dialog lies behind it, fully transparent
    if (L != nullptr) SetWindowPos(W, L, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    // fully transparent: a blank picture does (no copy of the screen is needed)
    RECT WR{};
    GetWindowRect(W, &WR);
    TBitmap* Blank = NewBitmap32(std::max<int>(WR.right - WR.left, 1), std::max<int>(WR.bottom - WR.top, 1));
    UpdateLayeredFromBitmap(W, Blank, 0, POINT{WR.left, WR.top});
    delete Blank;
    MoveTimer->SetEnabled(true);
    FormEffectSeams().EnterWindowMoveLoop(L != nullptr ? L : W);
  } else {
    MoveTimer->FormWnd = W;
    FreeSnapshot();
    Snapshot = CreateSnapshotForm(W);
    SetLayeredAlpha(W, true, 255);
    RedrawWindow(W, nullptr, nullptr, kRedrawAll);
    FreeSnapshot();
    MoveTimer->SetEnabled(true);
    FormEffectSeams().EnterWindowMoveLoop(W);
  }
  EndBlendedMove();
  return true;
}

void TvkDialogWnd::EndBlendedMove() {
  const HWND W = CtrlHandle;
  if (!IsWindow(W) || Detached) {
    // the dialog went during the drag, or the skin left it: the fade stops while the adapter waits to be freed, and
    // a dialog still there shows opaque again
    if (MoveTimer != nullptr) MoveTimer->Free();
    MoveTimer = nullptr;
    MoveFlags &= ~kBlendedDrag;
    if (IsWindow(W)) SetLayeredAlpha(W, false, 255);
    return;
  }
  if (BorderForm != nullptr) {
    const HWND L = BorderWnd(BorderForm);
    if (MoveTimer != nullptr) MoveTimer->SetEnabled(false);
    RECT LR{};
    if (L != nullptr && GetWindowRect(L, &LR)) {
      // the dialog follows its frame to where the drag left it, and the frame shows opaque again
      BorderForm->Updating = true;
      SetWindowPos(W, nullptr, LR.left + BorderForm->GetLeftIndent(), LR.top + BorderForm->GetTopIndent(), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      BorderForm->Updating = false;
      UpdateBorder(true);
    }
    SetLayeredAlpha(W, false, 255);
    ::SetFocus(W);
    RedrawWindow(W, nullptr, nullptr, kRedrawAll);
    Platform().Sleep(kSettleMs);
    if (L != nullptr) SetWindowPos(L, W, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  } else {
    FreeSnapshot();
    Snapshot = CreateSnapshotForm(W);
    SetLayeredAlpha(W, false, 255);
    UpdateWindow(W);
    if (MoveTimer != nullptr) MoveTimer->SetEnabled(false);
    ::SetFocus(W);
    RedrawWindow(W, nullptr, nullptr, kRedrawAll);
    FreeSnapshot();
  }
  MoveFlags &= ~kBlendedDrag;
  if (MoveTimer != nullptr) {
    MoveTimer->Alpha = 255;
    MoveTimer->Free();
    MoveTimer = nullptr;
  }
  if (BorderForm != nullptr) {
    BorderForm->Moving = false;
    SkinData->CacheDirty = true;
    UpdateBorder(true);
  }
}
