#include "skin/controls/vkControlCache.h"

#include "framework/Controls.h"
#include "skin/core/sCommonData.h"
#include "skin/graphics/vkParentBg.h"

bool PrepareCacheOnParent(TControl* Ctrl, TsCommonData* SkinData, TvkBgCacheRef& Ref) {
  PrepareCacheBitmap(SkinData);
  TvkParentBgQuery Q{};
  Q.OffsetX = Ctrl->Left();
  Q.OffsetY = Ctrl->Top();
  Q.Area = TRect(0, 0, Ctrl->Width(), Ctrl->Height());
  SkinData->GetParentBackground(Q);
  if (Q.Kind == bgkNotReady) {
    SkinData->Updating = true;
    return false;
  }
  BgCacheRefFromQuery(Q, Ref);
  return true;
}
