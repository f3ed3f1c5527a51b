// The default manager's hook of the application's hidden main window: an external skin editor's preview
// block, activation, minimise and restore, hiding of the main form, popup-menu requests and a session end that
// was refused.
#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/Messages.h"

class TsSkinManager;
class TStringList;

// The block a skin editor sends with WM_COPYDATA (wParam 7) to preview a skin.
#pragma pack(push, 1)
struct TvkEditorPreviewBlock {
  uint32_t Marker;           // kEditorPreviewMarker
  char SkinName[128];        // zero-terminated
  char SkinDirectory[512];   // zero-terminated
  char SkinText[30001];      // the skin text lines, zero-terminated
};
#pragma pack(pop)
static_assert(sizeof(TvkEditorPreviewBlock) == 30645);
constexpr uint32_t kEditorPreviewMarker = 0xA400;
constexpr WPARAM kEditorPreviewCopyKind = 7;
// Private requests of the menu skinner to the application window.
constexpr UINT WM_VK_SKIN_POPUP_ITEM = 0xBCB3;    // lParam: a menu item
constexpr UINT WM_VK_SKIN_POPUP_WINDOW = 0xBCB4;  // lParam: a popup-menu window

// A block is taken only when the program was started for previews (StartedForEditorPreviews), the data is exactly
// one block, the marker matches and every string ends inside its field. Block gets the copy.
bool AcceptEditorPreview(WPARAM Kind, const COPYDATASTRUCT* Data, TvkEditorPreviewBlock& Block);

// The block the hook loads on its next VKCMD_LOAD_EDITOR_SKIN (a skinned form linked to the editor takes
// blocks too); false without the hook.
bool StoreEditorPreview(const TvkEditorPreviewBlock& Block);

// Set by the first preview load, for the rest of the process.
bool EditorPreviewActive();
// Clears that flag: tests that load a preview leave the next test a process without one.
void ForgetEditorPreview();
// The preview's skin text while its skin loads; nil otherwise.
const TStringList* EditorPreviewText();
// Loads the skin the block names from its text (without the skin-change animation).
void LoadEditorPreview(TsSkinManager* Manager, const TvkEditorPreviewBlock& Block);

// The hook lives from the first manager's creation (NT family, not designing) to the destruction of the manager
// it serves: installing it again hands it to a new default manager.
void InstallMainWindowHook(TsSkinManager* Manager);
void RemoveMainWindowHook(TsSkinManager* Manager);
bool MainWindowHookInstalled();
// The hook itself (tests call it with hand-made messages); true = handled.
bool MainWindowHook(TMessage& Message);
