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

void TellShowingChanged(TvkMainWnd* A) {
  TControl* C = A->SkinData->OwnerControl;
  if (C == nullptr || !C->Showing()) return;
  AskFormToAdaptControl(C);
  for (WORD Cmd : {VKCMD_SKIN_APPLIED, VKCMD_REPAINT_AFTER_CHANGE}) {
    TMessage M{SM_VKCMD, SkinCommandWParam(Cmd), reinterpret_cast<LPARAM>(A->SkinData->SkinManager()), 0};
    PassCommandToChildren(C, A->CtrlHandle, M);
  }
}
