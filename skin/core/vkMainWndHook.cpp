#include "skin/core/vkMainWndHook.h"

#include <cstring>
#include <memory>

#include "framework/Forms.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinManagerStartup.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormAnimation.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkThdTimer.h"
#include "skin/core/vkntUtils.h"
#include "skin/graphics/ToolkitStartup.h"

namespace {

bool g_PreviewActive = false;
TStringList* g_PreviewText = nullptr;

// One hook, for the default manager, with the block it copied from the last accepted message.
struct TvkMainWindowHook {
  TsSkinManager* Manager = nullptr;
  TvkEditorPreviewBlock Block{};
  bool InCopyData = false;
  bool Handle(TMessage& Message);
};
std::unique_ptr<TvkMainWindowHook> g_Hook;

TWindowHook HookOf(TvkMainWindowHook* Hook) { return TWindowHook::Bind<&TvkMainWindowHook::Handle>(Hook); }

bool Terminated(const char* Field, size_t Size) { return std::memchr(Field, 0, Size) != nullptr; }

TCustomForm* MainFormOf() { return Application != nullptr ? Application->MainForm() : nullptr; }

// The form skinner of the main form (command 4), nil when the form is not skinned.
TsSkinProvider* MainFormProvider() {
  TCustomForm* Form = MainFormOf();
  if (Form == nullptr || !Form->HandleAllocated()) return nullptr;
  return reinterpret_cast<TsSkinProvider*>(SendSkinCommand(Form->Handle(), VKCMD_QUERY_FORM_SKINNER, 0));
}

bool AnimationOn(TsSkinManager* M, TvkAnimEffect* Effect) {
  return Effect->Active() && Effect->Time() > 0 && M->Effects()->AllowAnimation();
}

void RepaintScreenForms() {
  if (Screen == nullptr) return;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* Form = Screen->Forms(i);
    if (Form->HandleAllocated()) SendSkinCommand(Form->Handle(), VKCMD_REPAINT, 0);
  }
}

bool IsPopupMenuWindow(HWND Wnd) {
  char Name[16] = {};
  return Wnd != nullptr && GetClassNameA(Wnd, Name, sizeof(Name)) > 0 && std::strcmp(Name, "#32768") == 0;
}

void SkinPopupWindow(TsSkinManager* M, HWND Wnd) {
  if (M->SkinableMenus() != nullptr && FormServices.SkinPopupMenuWindow)
    FormServices.SkinPopupMenuWindow(M->SkinableMenus(), Wnd);
}

bool HandleSysCommand(TsSkinManager* M, TMessage& Message) {
  const WPARAM Command = Message.WParam & 0xFFF0;
  if (Command == SC_MINIMIZE) {
    TsSkinProvider* Provider = MainFormProvider();
    if (Provider == nullptr || !AnimationOn(M, M->AnimEffects()->Minimizing()) || !FormServices.AnimateMinimizing)
      return false;
    // The system's own minimise animation would play over ours.
    const bool SystemAnimation = MinimizeAnimationEnabled();
    if (SystemAnimation) SetMinimizeAnimation(false);
    M->MinimizingApp = true;
    try {
      FormServices.AnimateMinimizing(Provider);
      Application->Minimize();
    } catch (...) {
      M->MinimizingApp = false;
      if (SystemAnimation) SetMinimizeAnimation(true);
      throw;
    }
    M->MinimizingApp = false;
    if (SystemAnimation) SetMinimizeAnimation(true);
    return true;
  }
  if (Command == SC_RESTORE) {
    TsSkinProvider* Provider = MainFormProvider();
    if (Provider == nullptr || !FormServices.AnimateRestoring) return false;
    FormServices.AnimateRestoring(Provider);
    Application->Restore();
    if (TCustomForm* Form = MainFormOf())
      RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    return true;
  }
  return false;
}

// The main form is hidden: its hide animation plays (the hook returns when it has started).
void HandleMainFormHiding(TsSkinManager* M) {
  TCustomForm* Form = MainFormOf();
  if (!HasLayeredWindowApi() || !AnimationOn(M, M->AnimEffects()->FormHide()) || IsIconic(Application->Handle()) ||
      Form == nullptr || !Form->Visible())
    return;
  TsSkinProvider* Provider = MainFormProvider();
  if (Provider == nullptr) return;
  // The hide then takes its snapshot without painting the frame again.
  if (FormServices.SetFormStateFlags && FormServices.ProviderStateFlags)
    FormServices.SetFormStateFlags(Provider, FormServices.ProviderStateFlags(Provider) | 0x200);
  AnimateFormHide(Provider);
}

bool TvkMainWindowHook::Handle(TMessage& Message) {
  TsSkinManager* M = Manager;
  switch (Message.Msg) {
    case WM_COPYDATA: {
      if (Message.Result != 0 || InCopyData) return false;
      InCopyData = true;
      TvkEditorPreviewBlock Copy;
      if (AcceptEditorPreview(Message.WParam, reinterpret_cast<const COPYDATASTRUCT*>(Message.LParam), Copy)) {
        Block = Copy;
        PostMessageA(Application->Handle(), SM_VKCMD, SkinCommandWParam(VKCMD_LOAD_EDITOR_SKIN), 0);
      }
      InCopyData = false;
      return true;
    }
    case SM_VKCMD:
      if (SkinCommandCode(Message.WParam) != VKCMD_LOAD_EDITOR_SKIN) return false;
      if (Block.Marker == kEditorPreviewMarker) LoadEditorPreview(M, Block);
      return true;
    case CM_ACTIVATE:
      RepaintScreenForms();
      return false;
    case WM_ENDSESSION:
      // another program refused to let the session end: fades run again
      if (Message.WParam == FALSE) SkinnedSessionEnding = false;
      return false;
    case WM_SYSCOMMAND:
      return M->SkinData().Active && HandleSysCommand(M, Message);
    case WM_WINDOWPOSCHANGED: {
      auto* Pos = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
      if (Pos != nullptr && (Pos->flags & SWP_HIDEWINDOW) != 0) HandleMainFormHiding(M);
      return false;
    }
    case WM_VK_SKIN_POPUP_WINDOW: {
      auto Wnd = reinterpret_cast<HWND>(Message.LParam);
      if (M->SkinnedPopups() && IsPopupMenuWindow(Wnd)) SkinPopupWindow(M, Wnd);
      return true;
    }
    case WM_VK_SKIN_POPUP_ITEM:
      if (M->SkinnedPopups() && M->SkinableMenus() != nullptr && FormServices.SkinPopupMenuItem)
        FormServices.SkinPopupMenuItem(M->SkinableMenus(), reinterpret_cast<void*>(Message.LParam));
      return true;
    default:
      return false;
  }
}

}  // namespace

bool AcceptEditorPreview(WPARAM Kind, const COPYDATASTRUCT* Data, TvkEditorPreviewBlock& Block) {
  if (Kind != kEditorPreviewCopyKind || Data == nullptr || Data->lpData == nullptr) return false;
  // Anything may send WM_COPYDATA: only a program started for previews takes a skin from outside.
  if (!StartedForEditorPreviews()) return false;
  if (Data->cbData != sizeof(TvkEditorPreviewBlock)) return false;
  const auto* In = static_cast<const TvkEditorPreviewBlock*>(Data->lpData);
  if (In->Marker != kEditorPreviewMarker || !Terminated(In->SkinName, sizeof(In->SkinName)) ||
      !Terminated(In->SkinDirectory, sizeof(In->SkinDirectory)) || !Terminated(In->SkinText, sizeof(In->SkinText)))
    return false;
  std::memcpy(&Block, In, sizeof(Block));
  return true;
}

bool StoreEditorPreview(const TvkEditorPreviewBlock& Block) {
  if (!g_Hook) return false;
  g_Hook->Block = Block;
  return true;
}

bool EditorPreviewActive() { return g_PreviewActive; }
void ForgetEditorPreview() { g_PreviewActive = false; }
const TStringList* EditorPreviewText() { return g_PreviewText; }

void LoadEditorPreview(TsSkinManager* Manager, const TvkEditorPreviewBlock& Block) {
  if (Manager == nullptr || Block.Marker != kEditorPreviewMarker) return;
  g_PreviewActive = true;
  Manager->BeginUpdate();
  // The text exists only while this load runs: later loads read their skins from their own sources.
  struct TTextScope {
    TTextScope(const char* Text) {
      g_PreviewText = new TStringList();
      g_PreviewText->SetText(Text);
    }
    ~TTextScope() { FreeAndNil(g_PreviewText); }
  } Text(Block.SkinText);
  try {
    Manager->SetSkinDirectory(Block.SkinDirectory);
    Manager->SetSkinName(Block.SkinName);
  } catch (...) {
    // a handler that raised mid-load must not leave the manager updating: later changes would never apply
    Manager->EndUpdate(true, false);
    throw;
  }
  Manager->EndUpdate(true, false);
}

void InstallMainWindowHook(TsSkinManager* Manager) {
  // a new default manager takes the hook over
  if (g_Hook != nullptr) {
    g_Hook->Manager = Manager;
    return;
  }
  if (Application == nullptr || !WindowsNTFamily) return;
  g_Hook = std::make_unique<TvkMainWindowHook>();
  g_Hook->Manager = Manager;
  Application->HookMainWindow(HookOf(g_Hook.get()));
}

void RemoveMainWindowHook(TsSkinManager* Manager) {
  if (g_Hook == nullptr || g_Hook->Manager != Manager) return;
  if (Application != nullptr) Application->UnhookMainWindow(HookOf(g_Hook.get()));
  g_Hook.reset();
}

bool MainWindowHookInstalled() { return g_Hook != nullptr; }

bool MainWindowHook(TMessage& Message) { return g_Hook != nullptr && g_Hook->Handle(Message); }
