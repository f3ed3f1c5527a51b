// Once every unit of the program has started, no late-bound entry of the form skinner's parts, the form services
// or the adapter services is empty: an empty entry silently turns its feature off.
#include "tests/app/LoaderApp.h"

#include "skin/core/vkAdapterServices.h"
#include "skin/core/vkFormServices.h"
#include "skin/forms/sSkinProvider.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <type_traits>
#include <vector>

namespace {

struct TEntry {
  std::string Name;
  bool Filled;
};
// Filled: the program's units replaced what the table starts with (nothing, or a stand-in such as the counting hook).
#define ENTRY(Table, Field) \
  TEntry{#Table "." #Field, Table.Field != nullptr && Table.Field != std::remove_cvref_t<decltype(Table)>{}.Field}

// Entries a table may leave empty by design, each with its reason. None today.
const std::set<std::string> kLeftEmpty = {};

// Every entry is a pointer to a function: the list names them all when it covers the table's size.
template <class Table> void ExpectAllFilled(const std::vector<TEntry>& Entries, const char* TableName) {
  EXPECT_EQ(Entries.size() * sizeof(void*), sizeof(Table)) << TableName << ": an entry is missing from this list";
  for (const TEntry& E : Entries) EXPECT_TRUE(E.Filled || kLeftEmpty.count(E.Name) != 0) << E.Name << " is empty";
}

}  // namespace

TEST(LateBoundTables, NoEntryIsEmptyOnceTheProgramHasStarted) {
  LoaderApp app;
  ExpectAllFilled<TvkProviderParts>(
      {ENTRY(ProviderParts, NewBorderForm),       ENTRY(ProviderParts, FreeBorderForm),
       ENTRY(ProviderParts, BorderHitTest),       ENTRY(ProviderParts, NewCtrlAdapter),
       ENTRY(ProviderParts, FreeCtrlAdapter),     ENTRY(ProviderParts, WalkControlsOf),
       ENTRY(ProviderParts, AddItem),             ENTRY(ProviderParts, AddWindow),
       ENTRY(ProviderParts, IsControlToSkin),     ENTRY(ProviderParts, SendToAdapters),
       ENTRY(ProviderParts, NewScrollAdapter),    ENTRY(ProviderParts, FreeScrollAdapter),
       ENTRY(ProviderParts, ScrollAdapterDetached), ENTRY(ProviderParts, ScrollBarShown),
       ENTRY(ProviderParts, ScrollFrameWidth),    ENTRY(ProviderParts, ReloadScrollBars),
       ENTRY(ProviderParts, NewMDIForm),
       ENTRY(ProviderParts, FreeMDIForm),         ENTRY(ProviderParts, NewMDIClientAdapter),
       ENTRY(ProviderParts, FreeMDIClientAdapter), ENTRY(ProviderParts, AnimateMinimizing),
       ENTRY(ProviderParts, AnimateRestoring),    ENTRY(ProviderParts, MakeAnimationBitmap),
       ENTRY(ProviderParts, FreeTitleAnimation),  ENTRY(ProviderParts, AnimateTitleElement),
       ENTRY(ProviderParts, RecordGluedForms),    ENTRY(ProviderParts, MoveGluedForms),
       ENTRY(ProviderParts, SnapPosition),        ENTRY(ProviderParts, BeginCaptionMove),
       ENTRY(ProviderParts, TaskbarPreview),      ENTRY(ProviderParts, PaintExtendedBorder),
       ENTRY(ProviderParts, InitMainMenu),        ENTRY(ProviderParts, TitleBarItemCount),
       ENTRY(ProviderParts, LayoutTitleBar),      ENTRY(ProviderParts, TitleBarItemMouse),
       ENTRY(ProviderParts, TitleBarItemHot),     ENTRY(ProviderParts, IsControllerPopup),
       ENTRY(ProviderParts, ClosePopups)},
      "ProviderParts");
  ExpectAllFilled<TvkFormServices>(
      {ENTRY(FormServices, CbtHookProc),          ENTRY(FormServices, AdoptTopLevelWindow),
       ENTRY(FormServices, FreeMenuWindowAdapters), ENTRY(FormServices, DialogAdapterCount),
       ENTRY(FormServices, DialogAdapterWindow),  ENTRY(FormServices, PrintChildWindows),
       ENTRY(FormServices, IsSkinProvider),       ENTRY(FormServices, ProviderAnimating),
       ENTRY(FormServices, ProviderSnapshot),     ENTRY(FormServices, SetProviderSnapshot),
       ENTRY(FormServices, SetProviderChangingSkin), ENTRY(FormServices, ProviderSkinData),
       ENTRY(FormServices, ProviderForm),         ENTRY(FormServices, ProviderBorderForm),
       ENTRY(FormServices, ProviderStateFlags),   ENTRY(FormServices, ProviderDrawsFrame),
       ENTRY(FormServices, ProviderMenuLineBg),
       ENTRY(FormServices, PaintFormFrame),       ENTRY(FormServices, CollectBorderMaskRects),
       ENTRY(FormServices, CreateFormRegionAt),   ENTRY(FormServices, ApplyWindowRegion),
       ENTRY(FormServices, GetCaptionBarHeight),  ENTRY(FormServices, GetSkinTitleHeightByState),
       ENTRY(FormServices, GetExtBorderMargins),  ENTRY(FormServices, GetClientOffsetLeft),
       ENTRY(FormServices, GetClientOffsetTop),   ENTRY(FormServices, PerformFormMessage),
       ENTRY(FormServices, MakeAnimationBitmap),  ENTRY(FormServices, SetFormStateFlags),
       ENTRY(FormServices, AnimateMinimizing),    ENTRY(FormServices, AnimateRestoring),
       ENTRY(FormServices, GetWindowFrameWidth),  ENTRY(FormServices, GetStdCaptionHeight),
       ENTRY(FormServices, GetSkinCaptionHeight), ENTRY(FormServices, GetSkinFrameWidth),
       ENTRY(FormServices, GetExtraCaptionHeight), ENTRY(FormServices, CreateBorderWindow),
       ENTRY(FormServices, UpdateBorderWindow),   ENTRY(FormServices, GetTopIndent),
       ENTRY(FormServices, PaintOwnerFrame),      ENTRY(FormServices, BuildBorderRegion),
       ENTRY(FormServices, CreateSnapshotForm),   ENTRY(FormServices, BorderLayeredWindow),
       ENTRY(FormServices, SetBorderLayeredWindow), ENTRY(FormServices, BorderSavedOwner),
       ENTRY(FormServices, BorderUpdating),       ENTRY(FormServices, SetBorderUpdating),
       ENTRY(FormServices, PaintDialogFrame),     ENTRY(FormServices, DialogClientOffsetX),
       ENTRY(FormServices, DialogClientOffsetY),  ENTRY(FormServices, DialogCaptionHeight),
       ENTRY(FormServices, DialogShadowMargins),  ENTRY(FormServices, DialogSetShapeRegion),
       ENTRY(FormServices, DialogWindow),         ENTRY(FormServices, DialogSkinData),
       ENTRY(FormServices, DialogSnapshotForm),   ENTRY(FormServices, DialogBorderForm),
       ENTRY(FormServices, DialogTitleCodeAt),    ENTRY(FormServices, DialogIconRect),
       ENTRY(FormServices, DialogSetHotButton),   ENTRY(FormServices, DialogMoveFlags),
       ENTRY(FormServices, DialogStartBlendedMove), ENTRY(FormServices, CreateSkinableMenus),
       ENTRY(FormServices, FreeSkinableMenus),    ENTRY(FormServices, ResetMenuSectionIndex),
       ENTRY(FormServices, InitPopupMenu),        ENTRY(FormServices, SyncMenusActive),
       ENTRY(FormServices, ApplyToAllMenus),      ENTRY(FormServices, SkinPopupMenuWindow),
       ENTRY(FormServices, SkinPopupMenuItem),    ENTRY(FormServices, PopupWindowBackground),
       ENTRY(FormServices, ForgetPopupWindow),    ENTRY(FormServices, FreeDialogAdapters),
       ENTRY(FormServices, PurgeDetachedProviders), ENTRY(FormServices, DialogClientHole),
       ENTRY(FormServices, ProviderTransparentRects), ENTRY(FormServices, SetProviderShowPending),
       ENTRY(FormServices, ProviderCaptionShorter), ENTRY(FormServices, SetProviderCaptionShorter),
       ENTRY(FormServices, TakeProviderSnapshotForm), ENTRY(FormServices, TakeProviderChangePicture),
       ENTRY(FormServices, FireAfterAnimation),   ENTRY(FormServices, ReleaseBorderLayeredWindow),
       ENTRY(FormServices, FreeProviderBorderForm), ENTRY(FormServices, TakeDialogSnapshotForm),
       ENTRY(FormServices, FreeDialogBorderForm), ENTRY(FormServices, DialogWindowProc)},
      "FormServices");
  ExpectAllFilled<TvkAdapterServices>(
      {ENTRY(AdapterServices, AdapterSkinData),   ENTRY(AdapterServices, PerformMessage),
       ENTRY(AdapterServices, GetWindowScrollAdapter), ENTRY(AdapterServices, ScrollAdapterSkinData),
       ENTRY(AdapterServices, ScrollBarShown),    ENTRY(AdapterServices, GetScrollBarDimension),
       ENTRY(AdapterServices, DetachScrollWndAdapter), ENTRY(AdapterServices, CreateComboListAdapter),
       ENTRY(AdapterServices, FreeComboListAdapter)},
      "AdapterServices");
}
