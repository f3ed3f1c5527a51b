// Messages the skinned containers (panels, scroll boxes, static texts) answer alike, whatever window procedure
// they fall back on: Inherited is the container's base procedure for the message at hand.
#pragma once
#include <windows.h>

#include "framework/Forms.h"
#include "framework/Messages.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkMainWnd.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkSkinCommands.h"

// True where the section lets the parent show through, so that a move changes what the cache holds.
bool SectionSeeThrough(TsCommonData* SkinData);
// The cache marked stale by a change of size, text, font or colour, or by a move of a see-through section.
void MarkContainerCacheStale(TsCommonData* SkinData, UINT Msg);
// A container's control now showing: its form adapts it again and its children hear the skin applied and
// repainted.
void TellShowingChanged(TvkMainWnd* A);

// WM_SETTEXT to a shown container: the text set with redraw off, then the cache rebuilt and painted. False for a
// hidden window, whose text takes the usual way.
template <class F> bool SetContainerText(TvkMainWnd* A, F&& Inherited) {
  const HWND W = A->CtrlHandle;
  if (!IsWindowVisible(W)) return false;
  WithoutRedraw(W, Inherited);
  A->SkinData->CacheDirty = true;
  SendMessageA(W, WM_PAINT, 0, 0);
  return true;
}

// WM_PARENTNOTIFY of a child made or destroyed is passed on; a made child has the container's form adapt the
// container's control again. False for the other events.
template <class F> bool NotifyContainerChild(TvkMainWnd* A, const TMessage& Message, F&& Inherited) {
  const WORD Event = LOWORD(Message.WParam);
  if (Event != WM_CREATE && Event != WM_DESTROY) return false;
  TControl* Owner = A->SkinData->OwnerControl;
  Inherited();
  if (Event == WM_CREATE) AskFormToAdaptControl(Owner);
  return true;
}

// A print of A (with PaintClient and PaintFrame taking a DC) into DC, which starts at the window's corner: the
// client goes inside the frame, then the frame around it.
template <class T> void PrintClientInFrame(T* A, HDC DC) {
  const POINT Client = ClientOriginInWindow(A->CtrlHandle);
  POINT Old{};
  OffsetViewportOrgEx(DC, Client.x, Client.y, &Old);
  A->PaintClient(DC);
  SetViewportOrgEx(DC, Old.x, Old.y, nullptr);
  A->PaintFrame(DC);
}

// The other messages a skinned container painted from its cache answers alike (A has PaintClient and PaintFrame
// taking a DC): WM_PAINT left to the erase, the erase and a print (client inside the frame) painted from the cache, text and child notices
// as above, a control now showing told about, the cache marked stale by what stales it. True where answered;
// False where the message goes on to the base procedure.
template <class T, class F> bool SkinnedContainerMessage(T* A, TMessage& Message, F&& Inherited) {
  const auto DC = reinterpret_cast<HDC>(Message.WParam);
  switch (Message.Msg) {
    case WM_PAINT:
      // Painted on erase: text and invalidations without erase must reach it too.
      PaintByInvalidation(A->CtrlHandle, true);
      return true;
    case WM_ERASEBKGND:
      A->PaintClient(DC);
      Message.Result = 1;
      return true;
    case WM_PRINT:
      PrintClientInFrame(A, DC);
      return true;
    case WM_UPDATEUISTATE:
      Message.Result = 1;
      return true;
    case WM_SETTEXT:
      return SetContainerText(A, Inherited);
    case WM_PARENTNOTIFY:
      return NotifyContainerChild(A, Message, Inherited);
    case CM_SHOWINGCHANGED:
      TellShowingChanged(A);
      return false;
    default:
      MarkContainerCacheStale(A->SkinData, Message.Msg);
      return false;
  }
}

// The skin commands a container of a framework control answers alike: the skin applied or repainted (passed on
// to its children too), dropped (the control no longer opaque), the queries of skinning and of the application,
// and a cache refresh (Rebuild). False for the other commands.
template <class F, class R> bool ContainerSkinCommand(TvkMainWnd* A, TMessage& Message, F&& Inherited, R&& Rebuild) {
  TControl* Owner = A->SkinData->OwnerControl;
  switch (SkinCommandCode(Message.WParam)) {
    case VKCMD_SKIN_APPLIED:
    case VKCMD_REPAINT_AFTER_CHANGE:
      Inherited();
      PassCommandToChildren(Owner, A->CtrlHandle, Message);
      return true;
    case VKCMD_SKIN_DROPPED:
      A->SkinData->SkinIndex = -1;
      Owner->SetControlStyle(Owner->ControlStyle() - csOpaque);
      Inherited();
      return true;
    case VKCMD_QUERY_SKINNED:
      Message.Result = 1;
      return true;
    case VKCMD_QUERY_APPLICATION:
      Message.Result = reinterpret_cast<LRESULT>(Application);
      return true;
    case VKCMD_REFRESH_CACHE:
      Rebuild();
      return true;
    default:
      return false;
  }
}
