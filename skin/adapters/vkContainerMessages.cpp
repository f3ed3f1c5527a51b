#include "skin/adapters/vkContainerMessages.h"

#include "skin/core/sCommonData.h"
#include "skin/core/sMaskData.h"

bool SectionSeeThrough(TsCommonData* SkinData) {
  const TsGeneralData* G = SkinData->Section();
  return G != nullptr && G->Props[0].Transparency > 0;
}

void MarkContainerCacheStale(TsCommonData* SkinData, UINT Msg) {
  switch (Msg) {
    case WM_SIZE:
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
      SkinData->CacheDirty = true;
      break;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
      if (SectionSeeThrough(SkinData)) SkinData->CacheDirty = true;
      break;
    default:
      break;
  }
}

POINT ClientOriginInWindow(HWND Wnd) {
  RECT R{};
  GetWindowRect(Wnd, &R);
  POINT P{0, 0};
  ClientToScreen(Wnd, &P);
  // A mirrored window maps its client's origin to the client's right edge; the pictures count from the left.
  if ((GetWindowLongA(Wnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0) {
    RECT C{};
    GetClientRect(Wnd, &C);
    P.x -= C.right;
  }
  return POINT{P.x - R.left, P.y - R.top};
}

void TellShowingChanged(TvkMainWnd* A) {
  TControl* C = A->SkinData->OwnerControl;
  if (C == nullptr || !C->Showing()) return;
  AskFormToAdaptControl(C);
  for (WORD Cmd : {VKCMD_SKIN_APPLIED, VKCMD_REPAINT_AFTER_CHANGE}) {
    TMessage M{SM_VKCMD, SkinCommandWParam(Cmd), reinterpret_cast<LPARAM>(A->SkinData->SkinManager()), 0};
    PassCommandToChildren(C, A->CtrlHandle, M);
  }
}
