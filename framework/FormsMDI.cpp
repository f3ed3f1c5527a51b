// Multiple-document forms: an fsMDIForm frame owns the system's MDI client window; fsMDIChild forms are
// created and destroyed through that client and default through the MDI child procedure.
#include <algorithm>

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/SysUtils.h"

namespace {
// Child windows of the client get identifiers from here up; the window menu lists them.
constexpr UINT kFirstMDIChildId = 0xFF00;

TCustomForm* MDIFrame() {
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  return main && main->FormStyle() == fsMDIForm && main->ClientHandle() ? main : nullptr;
}
}  // namespace

bool TCustomForm::IsMDIChildWindow() const {
  // Asked for every message a form passes on: known from how the window was made.
  return FMDIChildWindow && FHandle;
}

HMENU TCustomForm::WindowMenuHandle() const { return FWindowMenu ? FWindowMenu->Handle() : nullptr; }

void TCustomForm::CreateClientWindow() {
  if (FFormStyle != fsMDIForm || FClientHandle || !FHandle) return;
  CLIENTCREATESTRUCT ccs{WindowMenuHandle(), kFirstMDIChildId};
  RECT r;
  GetClientRect(FHandle, &r);
  FClientHandle = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL,
                                  r.left, r.top, r.right - r.left, r.bottom - r.top, FHandle, nullptr,
                                  GetModuleHandleA(nullptr), &ccs);
  if (!FClientHandle) RaiseLastOSError();
  Realign();
}

HWND TCustomForm::MakeWindow(const TCreateParams& Params, HMENU Id) {
  FMDIChildWindow = FFormStyle == fsMDIChild;
  if (!FMDIChildWindow) return inherited::MakeWindow(Params, Id);
  TCustomForm* frame = MDIFrame();
  if (!frame) throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
  // The client makes the window; the visibility follows Visible afterwards.
  MDICREATESTRUCTA mcs{Params.WinClassName.c_str(), Params.Caption.c_str(), GetModuleHandleA(nullptr),
                       Params.X, Params.Y, Params.Width, Params.Height,
                       Params.Style & ~(WS_POPUP | WS_VISIBLE | WS_DISABLED), reinterpret_cast<LPARAM>(this)};
  return reinterpret_cast<HWND>(
      SendMessageA(frame->ClientHandle(), WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
}

void TCustomForm::DestroyWindowHandle() {
  HWND h = FHandle;
  if (h && IsMDIChildWindow()) {
    // The client keeps its list of children and the window menu: it destroys the window itself.
    HWND client = GetParent(h);
    SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(h), 0);
    if (FHandle == h && !IsWindow(h)) DetachHandle();
    if (FHandle != h) return;
  }
  inherited::DestroyWindowHandle();
  if (!FHandle) FClientHandle = nullptr;
}

void TCustomForm::DefaultHandler(TMessage& Message) {
  if (FHandle && FClientHandle && Message.Msg != WM_SIZE && IsWindow(FClientHandle)) {
    // WM_SIZE is not passed: the client is placed by the alignment, beside aligned controls.
    Message.Result = DefFrameProcA(FHandle, FClientHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  if (IsMDIChildWindow()) {
    Message.Result = DefMDIChildProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  inherited::DefaultHandler(Message);
}

void TCustomForm::AlignControls(TControl* AControl, RECT& Rect) {
  inherited::AlignControls(AControl, Rect);
  if (FClientHandle)
    SetWindowPos(FClientHandle, HWND_BOTTOM, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top,
                 SWP_NOACTIVATE);
}

void TCustomForm::WMMDIActivate(TMessage& Message) {
  DefaultHandler(Message);
  bool active = reinterpret_cast<HWND>(Message.LParam) == FHandle;
  if (active == FActive) return;
  FActive = active;
  if (active) {
    MergeMenu(true);
    Activate();
    if (FActiveControl) FActiveControl->Perform(CM_UIACTIVATE, 0, 0);
  } else {
    MergeMenu(false);
    Deactivate();
  }
}

void TCustomForm::UpdateClientMenus() {
  if (!FClientHandle) return;
  HMENU bar = FHandle ? GetMenu(FHandle) : nullptr;
  SendMessageA(FClientHandle, WM_MDISETMENU, reinterpret_cast<WPARAM>(bar),
               reinterpret_cast<LPARAM>(WindowMenuHandle()));
  DrawMenuBar(FHandle);
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
  if (!FClientHandle) return nullptr;
  HWND h = reinterpret_cast<HWND>(SendMessageA(FClientHandle, WM_MDIGETACTIVE, 0, 0));
  return As<TCustomForm>(FindControl(h));
}

std::vector<TCustomForm*> TCustomForm::MDIChildList() const {
  std::vector<TCustomForm*> list;
  if (!FClientHandle || !Screen) return list;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if (f->FFormStyle == fsMDIChild && f->FHandle && GetParent(f->FHandle) == FClientHandle) list.push_back(f);
  }
  return list;
}

int TCustomForm::MDIChildCount() const { return static_cast<int>(MDIChildList().size()); }

TCustomForm* TCustomForm::MDIChildren(int Index) const {
  std::vector<TCustomForm*> list = MDIChildList();
  if (Index < 0 || Index >= static_cast<int>(list.size())) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return list[static_cast<size_t>(Index)];
}

void TCustomForm::Cascade() {
  if (FClientHandle) SendMessageA(FClientHandle, WM_MDICASCADE, 0, 0);
}
void TCustomForm::Tile() {
  if (FClientHandle) SendMessageA(FClientHandle, WM_MDITILE, MDITILE_HORIZONTAL, 0);
}
void TCustomForm::Next() {
  if (FClientHandle) SendMessageA(FClientHandle, WM_MDINEXT, 0, 0);
}
void TCustomForm::Previous() {
  if (FClientHandle) SendMessageA(FClientHandle, WM_MDINEXT, 0, 1);
}

bool TApplication::IsMDIMsg(MSG& Msg) {
  TCustomForm* frame = MDIFrame();
  return frame && frame->ActiveMDIChild() && TranslateMDISysAccel(frame->ClientHandle(), &Msg);
}

void TCustomForm::WMSize(TMessage& Message) {
  DefaultHandler(Message);
  // A hidden window is sized while it is made: the state it is to be shown in stands.
  if (!FHandle || !IsWindowVisible(FHandle)) return;
  switch (Message.WParam) {
    case SIZE_MAXIMIZED: FWindowState = wsMaximized; break;
    case SIZE_MINIMIZED: FWindowState = wsMinimized; break;
    case SIZE_RESTORED: FWindowState = wsNormal; break;
    default: break;
  }
}
