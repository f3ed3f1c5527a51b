#pragma once
// Window messages as the framework routes them: the message record passed by reference through
// every handler, typed views over it, the framework's component (CM_) and reflected (CN_)
// message numbers, and the WindowProc delegate.
#include <windows.h>

#include "framework/Delegate.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>

// One message on its way through WindowProc -> WndProc -> Dispatch -> DefaultHandler.
// Handlers may rewrite LParam and Result; callers read Result back.
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;

  WORD WParamLo() const { return LOWORD(WParam); }
  WORD WParamHi() const { return HIWORD(WParam); }
  WORD LParamLo() const { return LOWORD(LParam); }
  WORD LParamHi() const { return HIWORD(LParam); }
  WORD ResultLo() const { return LOWORD(Result); }
  WORD ResultHi() const { return HIWORD(Result); }
  void SetWParamLo(WORD v) { WParam = MAKEWPARAM(v, WParamHi()); }
  void SetWParamHi(WORD v) { WParam = MAKEWPARAM(WParamLo(), v); }
  void SetLParamLo(WORD v) { LParam = MAKELPARAM(v, LParamHi()); }
  void SetLParamHi(WORD v) { LParam = MAKELPARAM(LParamLo(), v); }
  void SetResultLo(WORD v) { Result = MAKELRESULT(v, ResultHi()); }
  void SetResultHi(WORD v) { Result = MAKELRESULT(ResultLo(), v); }
};

// ---- Typed views: read and write a TMessage through names that say what its fields carry.
struct TWMView {
  explicit TWMView(TMessage& m) : Message(m) {}
  TMessage& Message;
  UINT Msg() const { return Message.Msg; }
  LRESULT Result() const { return Message.Result; }
  void SetResult(LRESULT r) { Message.Result = r; }
};

// WM_MOUSEMOVE, WM_xBUTTONDOWN/UP/DBLCLK: Keys = MK_* flags, signed client coordinates.
struct TWMMouse : TWMView {
  using TWMView::TWMView;
  UINT Keys() const { return static_cast<UINT>(Message.WParam); }
  short XPos() const { return static_cast<short>(Message.LParamLo()); }
  short YPos() const { return static_cast<short>(Message.LParamHi()); }
  POINT Pos() const { return POINT{XPos(), YPos()}; }
};

// WM_NCHITTEST: screen coordinates in, HT* code out.
struct TWMNCHitTest : TWMView {
  using TWMView::TWMView;
  short XPos() const { return static_cast<short>(Message.LParamLo()); }
  short YPos() const { return static_cast<short>(Message.LParamHi()); }
  POINT Pos() const { return POINT{XPos(), YPos()}; }
};

struct TWMWindowPosMsg : TWMView {
  using TWMView::TWMView;
  WINDOWPOS* WindowPos() const { return reinterpret_cast<WINDOWPOS*>(Message.LParam); }
};

struct TWMSysCommand : TWMView {
  using TWMView::TWMView;
  // The low four bits are used by the system; compare against SC_* with them masked out.
  UINT CmdType() const { return static_cast<UINT>(Message.WParam) & 0xFFF0; }
  short XPos() const { return static_cast<short>(Message.LParamLo()); }
  short YPos() const { return static_cast<short>(Message.LParamHi()); }
};

struct TWMGetMinMaxInfo : TWMView {
  using TWMView::TWMView;
  MINMAXINFO* MinMaxInfo() const { return reinterpret_cast<MINMAXINFO*>(Message.LParam); }
};

struct TWMInitMenuPopup : TWMView {
  using TWMView::TWMView;
  HMENU MenuPopup() const { return reinterpret_cast<HMENU>(Message.WParam); }
  WORD Pos() const { return Message.LParamLo(); }
  bool SystemMenu() const { return Message.LParamHi() != 0; }
};

// WM_KEYDOWN/UP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSCHAR and their CN_ reflections.
struct TWMKey : TWMView {
  using TWMView::TWMView;
  WORD CharCode() const { return Message.WParamLo(); }
  void SetCharCode(WORD c) { Message.WParam = c; }
  LPARAM KeyData() const { return Message.LParam; }
};

// WM_COMMAND and CN_COMMAND.
struct TWMCommand : TWMView {
  using TWMView::TWMView;
  WORD ItemID() const { return Message.WParamLo(); }
  WORD NotifyCode() const { return Message.WParamHi(); }
  HWND Ctl() const { return reinterpret_cast<HWND>(Message.LParam); }
};

struct TWMNotify : TWMView {
  using TWMView::TWMView;
  int IDCtrl() const { return static_cast<int>(Message.WParam); }
  NMHDR* NMHdr() const { return reinterpret_cast<NMHDR*>(Message.LParam); }
};

struct TWMDrawItem : TWMView {
  using TWMView::TWMView;
  UINT Ctl() const { return static_cast<UINT>(Message.WParam); }
  DRAWITEMSTRUCT* DrawItemStruct() const { return reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam); }
};

struct TWMMeasureItem : TWMView {
  using TWMView::TWMView;
  UINT IDCtl() const { return static_cast<UINT>(Message.WParam); }
  MEASUREITEMSTRUCT* MeasureItemStruct() const { return reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam); }
};

// WM_PAINT: DC 0 means BeginPaint/EndPaint; a DC means paint into it.
struct TWMPaint : TWMView {
  using TWMView::TWMView;
  HDC DC() const { return reinterpret_cast<HDC>(Message.WParam); }
};

// WM_ERASEBKGND: WParam == LParam == DC marks a copy request.
struct TWMEraseBkgnd : TWMView {
  using TWMView::TWMView;
  HDC DC() const { return reinterpret_cast<HDC>(Message.WParam); }
  bool IsCopyRequest() const { return Message.WParam != 0 && Message.WParam == static_cast<WPARAM>(Message.LParam); }
};

struct TWMSize : TWMView {
  using TWMView::TWMView;
  UINT SizeType() const { return static_cast<UINT>(Message.WParam); }
  WORD Width() const { return Message.LParamLo(); }
  WORD Height() const { return Message.LParamHi(); }
};

struct TWMActivate : TWMView {
  using TWMView::TWMView;
  WORD Active() const { return Message.WParamLo(); }
  bool Minimized() const { return Message.WParamHi() != 0; }
  HWND ActiveWindow() const { return reinterpret_cast<HWND>(Message.LParam); }
};

struct TWMSetCursor : TWMView {
  using TWMView::TWMView;
  HWND CursorWnd() const { return reinterpret_cast<HWND>(Message.WParam); }
  short HitTest() const { return static_cast<short>(Message.LParamLo()); }
  WORD MouseMsg() const { return Message.LParamHi(); }
};

struct TWMMouseWheel : TWMView {
  using TWMView::TWMView;
  WORD Keys() const { return Message.WParamLo(); }
  short WheelDelta() const { return static_cast<short>(Message.WParamHi()); }
  short XPos() const { return static_cast<short>(Message.LParamLo()); }
  short YPos() const { return static_cast<short>(Message.LParamHi()); }
};

struct TWMTimer : TWMView {
  using TWMView::TWMView;
  UINT_PTR TimerID() const { return static_cast<UINT_PTR>(Message.WParam); }
};

// WM_NCMOUSEMOVE and the other non-client mouse messages: the hit-test code and screen coordinates.
struct TWMNCMouseMove : TWMView {
  using TWMView::TWMView;
  int HitTest() const { return static_cast<int>(Message.WParam); }
  void SetHitTest(int v) { Message.WParam = static_cast<WPARAM>(v); }
  short XCursor() const { return static_cast<short>(Message.LParamLo()); }
  short YCursor() const { return static_cast<short>(Message.LParamHi()); }
};

struct TWMCopyData : TWMView {
  using TWMView::TWMView;
  HWND From() const { return reinterpret_cast<HWND>(Message.WParam); }
  COPYDATASTRUCT* CopyDataStruct() const { return reinterpret_cast<COPYDATASTRUCT*>(Message.LParam); }
};

// WM_STYLECHANGING/WM_STYLECHANGED: StyleType is GWL_STYLE or GWL_EXSTYLE.
struct TWMStyleChanged : TWMView {
  using TWMView::TWMView;
  int StyleType() const { return static_cast<int>(Message.WParam); }
  STYLESTRUCT* StyleStruct() const { return reinterpret_cast<STYLESTRUCT*>(Message.LParam); }
};

// WM_PARENTNOTIFY: creation and destruction carry the child (ChildID, ChildWnd); button presses the
// client point (XPos, YPos, with Event the button message).
struct TWMParentNotify : TWMView {
  using TWMView::TWMView;
  WORD Event() const { return Message.WParamLo(); }
  WORD ChildID() const { return Message.WParamHi(); }
  HWND ChildWnd() const { return reinterpret_cast<HWND>(Message.LParam); }
  short XPos() const { return static_cast<short>(Message.LParamLo()); }
  short YPos() const { return static_cast<short>(Message.LParamHi()); }
};

// WM_NCCALCSIZE: with CalcValidRects the parameters' first rectangle, else the one rectangle, becomes the
// client area.
struct TWMNCCalcSize : TWMView {
  using TWMView::TWMView;
  bool CalcValidRects() const { return Message.WParam != 0; }
  NCCALCSIZE_PARAMS* CalcSize_Params() const { return reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam); }
  RECT* ClientRect() const {
    return CalcValidRects() ? &CalcSize_Params()->rgrc[0] : reinterpret_cast<RECT*>(Message.LParam);
  }
};

// WM_HSCROLL/WM_VSCROLL and their CN_ reflections: ScrollBar is null for a window's own bars.
struct TWMScroll : TWMView {
  using TWMView::TWMView;
  int ScrollCode() const { return Message.WParamLo(); }
  short Pos() const { return static_cast<short>(Message.WParamHi()); }
  HWND ScrollBar() const { return reinterpret_cast<HWND>(Message.LParam); }
};

// ---- Component messages: notices the framework sends to controls through Perform.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0x00;
constexpr UINT CM_DEACTIVATE = CM_BASE + 0x01;
constexpr UINT CM_CANCELMODE = CM_BASE + 0x04;  // to a control losing the focus: LParam = the one taking it
constexpr UINT CM_DIALOGKEY = CM_BASE + 0x05;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 0x06;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 0x07;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 0x08;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 0x09;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 0x0B;  // WParam = new visibility 1/0
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x0C;
constexpr UINT CM_COLORCHANGED = CM_BASE + 0x0D;
constexpr UINT CM_FONTCHANGED = CM_BASE + 0x0E;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;
constexpr UINT CM_MENUCHANGED = CM_BASE + 0x15;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 0x19;
constexpr UINT CM_ENTER = CM_BASE + 0x1A;
constexpr UINT CM_EXIT = CM_BASE + 0x1B;
constexpr UINT CM_RELEASE = CM_BASE + 0x21;
constexpr UINT CM_WININICHANGE = CM_BASE + 0x25;
constexpr UINT CM_UIACTIVATE = CM_BASE + 0x29;  // to a form's active control when the form is activated
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 0x2C;  // WParam control, LParam 1 inserting / 0 removing
constexpr UINT CM_HINTSHOW = CM_BASE + 0x30;
constexpr UINT CM_RECREATEWND = CM_BASE + 0x33;
constexpr UINT CM_INVALIDATE = CM_BASE + 0x34;
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 0x35;  // the non-client font changed
constexpr UINT CM_CHANGED = CM_BASE + 0x37;         // LParam = the control
constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 0x39;  // to a dock site: LParam = the client leaving it
constexpr UINT CM_FLOAT = CM_BASE + 0x3A;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 0x3C;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 0x3F;  // at idle, to each shown control with an action: LParam = it
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 0x43;
constexpr UINT CM_RESERVED_4C = CM_BASE + 0x4C;  // reserved: never sent
// The numbers are fixed: controls and the skin library outside the framework send and compare them.
static_assert(CM_DIALOGKEY == 0xB005 && CM_VISIBLECHANGED == 0xB00B && CM_ENABLEDCHANGED == 0xB00C &&
              CM_COLORCHANGED == 0xB00D && CM_FONTCHANGED == 0xB00E && CM_TEXTCHANGED == 0xB012 &&
              CM_MOUSEENTER == 0xB013 && CM_MOUSELEAVE == 0xB014 && CM_MENUCHANGED == 0xB015 &&
              CM_SHOWINGCHANGED == 0xB019 && CM_ENTER == 0xB01A && CM_EXIT == 0xB01B && CM_RELEASE == 0xB021 &&
              CM_WININICHANGE == 0xB025 && CM_CONTROLLISTCHANGE == 0xB02C && CM_RECREATEWND == 0xB033 &&
              CM_SYSFONTCHANGED == 0xB035 && CM_CHANGED == 0xB037 && CM_FLOAT == 0xB03A && CM_MOUSEWHEEL == 0xB043);

// ---- Reflected messages: a parent hands a child window's notification back to the child's object.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;  // 0xBD11
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;  // 0xBD34
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;  // 0xBD37
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;        // 0xBC2B
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;  // 0xBC2C
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;            // 0xBC4E
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;        // 0xBD00
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;            // 0xBD01
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;              // 0xBD02
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;  // 0xBD04
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;        // 0xBD06
static_assert(CN_COMMAND == 0xBD11 && CN_DRAWITEM == 0xBC2B && CN_MEASUREITEM == 0xBC2C && CN_NOTIFY == 0xBC4E &&
              CN_CTLCOLORLISTBOX == 0xBD34 && CN_CTLCOLORSCROLLBAR == 0xBD37 && CN_KEYDOWN == 0xBD00 &&
              CN_SYSCHAR == 0xBD06);

// ---- The WindowProc delegate: {object, member}; see framework/Delegate.h for its identity.
using TWndMethod = TDelegate<void(TMessage&)>;
