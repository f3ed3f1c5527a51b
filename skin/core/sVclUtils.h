// Window and control services of the skinning library: how the library's command message SM_VKCMD
// reaches a window or control so that the window's skin data hears it before any subclass does, and
// the background colour of a control.
#pragma once
#include <windows.h>

#include "framework/Graphics.h"
#include "framework/Messages.h"

class TControl;
class TsCommonData;

// The window method a skin data kept when it was linked to its window (the window's own procedure,
// not a library subclass). The per-control skin state fills this when its unit starts; while it is
// empty no skin data can be reached and every send goes through the window.
extern TWndMethod (*SkinDataSavedWindowMethod)(TsCommonData* Data);

// The skin data a window carries under its "VKSDATA" property, or nil.
TsCommonData* WindowSkinData(HWND Wnd);

// The one skin-aware send to a window: straight to the saved window method of the window's skin
// data when it has one, in the calling thread; otherwise SendMessageA.
LRESULT SendSkinMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// SM_VKCMD with the command in the high word of WParam.
LRESULT SendSkinCommand(HWND Wnd, WORD Cmd, LPARAM LParam);
// SM_VKCMD to a control: a graphic control through Perform; a windowed one only through its window,
// and not at all (answer 0, no window made) while it is being destroyed or has no window yet.
LRESULT SendControlCommand(TControl* Control, WORD Cmd, LPARAM LParam);

// The colour behind a control: 0xFF00FF for nil; a skinned control's answer to VKCMD_QUERY_BG_COLOR
// (0xFF00FF when it gives none); else its Color. As RGB.
TColor GetControlColor(TControl* Control);
