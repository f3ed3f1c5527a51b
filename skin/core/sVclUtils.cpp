#include "skin/core/sVclUtils.h"

#include "framework/Controls.h"
#include "skin/core/vkAdapterServices.h"
#include "skin/core/vkSkinCommands.h"

TWndMethod (*SkinDataSavedWindowMethod)(TsCommonData* Data) = nullptr;

namespace {

constexpr TColor kNoColor = 0xFF00FF;

WPARAM CommandWParam(WORD Cmd) { return static_cast<WPARAM>(Cmd) << 16; }

// The saved method of the window's skin data; a null method when there is none to call.
TWndMethod SavedMethodOf(HWND Wnd) {
  TsCommonData* Data = WindowSkinData(Wnd);
  if (Data == nullptr || SkinDataSavedWindowMethod == nullptr) return TWndMethod();
  return SkinDataSavedWindowMethod(Data);
}

// Whether the control is handled by the library, not asking its skin data whether a skin is active:
// a window with skin data or a scroll adapter, or one answering that it is skinned.
bool ControlIsSkinned(TControl* Control) {
  auto* Win = As<TWinControl>(Control);
  if (Win != nullptr && Win->HandleAllocated()) {
    const HWND Wnd = Win->Handle();
    if (WindowSkinData(Wnd) != nullptr || GetWindowScrollAdapter(Wnd) != nullptr) return true;
    return SendSkinCommand(Wnd, VKCMD_QUERY_SKINNED, 0) == 1;
  }
  return Control->Perform(SM_VKCMD, CommandWParam(VKCMD_QUERY_SKINNED), 0) == 1;
}

}  // namespace

TsCommonData* WindowSkinData(HWND Wnd) {
  return Wnd != nullptr ? static_cast<TsCommonData*>(GetPropA(Wnd, "VKSDATA")) : nullptr;
}

LRESULT SendSkinMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  const TWndMethod Method = SavedMethodOf(Wnd);
  if (Method.IsNull()) return SendMessageA(Wnd, Msg, WParam, LParam);
  TMessage M{};
  M.Msg = Msg;
  M.WParam = WParam;
  M.LParam = LParam;
  M.Result = 0;
  Method(M);
  return M.Result;
}

LRESULT SendSkinCommand(HWND Wnd, WORD Cmd, LPARAM LParam) { return SendSkinMessage(Wnd, SM_VKCMD, CommandWParam(Cmd), LParam); }

LRESULT SendControlCommand(TControl* Control, WORD Cmd, LPARAM LParam) {
  if (Control == nullptr) return 0;
  if (auto* Win = As<TWinControl>(Control)) {
    if (Win->ComponentState().Contains(csDestroying) || !Win->HandleAllocated()) return 0;
    return SendSkinCommand(Win->Handle(), Cmd, LParam);
  }
  return Control->Perform(SM_VKCMD, CommandWParam(Cmd), LParam);
}

TColor GetControlColor(TControl* Control) {
  if (Control == nullptr) return kNoColor;
  if (ControlIsSkinned(Control))
    return ColorToRGB(static_cast<TColor>(Control->Perform(SM_VKCMD, CommandWParam(VKCMD_QUERY_BG_COLOR), kNoColor)));
  return ColorToRGB(Control->Color());
}
