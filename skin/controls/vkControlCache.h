// The first step of rebuilding a windowed skinned control's cache: the cache bitmap at the control's size and
// the parent's background behind the control.
#pragma once

class TControl;
class TsCommonData;
struct TvkBgCacheRef;

// Prepares SkinData's cache for Ctrl and fills Ref with the parent's background behind Ctrl. False while the
// parent has none ready yet: the skin data is left updating, so the parent's "update done" repaints Ctrl.
bool PrepareCacheOnParent(TControl* Ctrl, TsCommonData* SkinData, TvkBgCacheRef& Ref);
