// The form's window method while a provider serves it: the skin-command filter first, then the skinned or the
// unskinned branch, decided anew for every message.
#include "skin/forms/sSkinProvider.h"

#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkThdTimer.h"
#include "skin/forms/sSkinProviderUnit.h"

// Messages of the class library's notice range the provider reacts to.
constexpr UINT CM_METRICSCHANGED = 0xB035;  // the non-client metrics changed
constexpr UINT CM_WINDOWFLOATED = 0xB03A;   // the form was made a floating window
constexpr UINT CM_RESERVED_B04C = 0xB04C;
constexpr UINT WM_REGIONQUERY = 0xBC4D;     // "keep your own region?" (the form's own code answers)
constexpr UINT WM_SYSMENUREQUEST = 0x313;
constexpr UINT WM_EDITORCOMMAND = 0xA400;

void TsSkinProvider::CallOwnProc(TMessage& Message) {
  if (FSavedWindowProc) {
    FSavedWindowProc(Message);
  } else if (FForm != nullptr) {
    FForm->WndProc(Message);
  }
}

void TsSkinProvider::PerformFormMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage M{Msg, WParam, LParam, 0};
  FormWindowProc(M);
}

void TsSkinProvider::FormWindowProc(TMessage& Message) {
  if (Message.Msg == SM_VKCMD && FilterSkinCommand(Message)) return;
  // a later window of the same handle value must not pass for the one linked to the skin editor
  if (Message.Msg == WM_NCDESTROY && g_LinkedEditor != nullptr && g_LinkedEditor == FormHandle()) g_LinkedEditor = nullptr;
  const bool Skinned = !FormDestroying() && FSkinData != nullptr && FSkinData->IsSkinned(false);
  if (!Skinned) {
    switch (Message.Msg) {
      case SM_VKCMD:
        if (SkinCommandUnskinned(Message)) return;
        break;
      case WM_PRINT:
        if (Message.WParam != 0 && FForm != nullptr) {
          const RECT R{0, 0, FForm->Width(), FForm->Height()};
          HBRUSH Brush = CreateSolidBrush(ColorToRGB(FForm->Color()));
          FillRect(reinterpret_cast<HDC>(Message.WParam), &R, Brush);
          DeleteObject(Brush);
        }
        if (FForm != nullptr) FForm->Perform(WM_PAINT, Message.WParam, Message.LParam);
        return;
      case CM_VISIBLECHANGED:
        if (CMVisibleChangedUnskinned(Message)) return;
        break;
      case CM_METRICSCHANGED:
        FMetricsChanged = true;
        break;
      case CM_MOUSEWHEEL:
        CMMouseWheel(Message);
        return;
      default:
        break;
    }
    CallOwnProc(Message);
    if (Message.Msg == WM_WINDOWPOSCHANGED)
      WMWindowPosChangedUnskinned(Message);
    else if (Message.Msg == WM_NCDESTROY)
      WMNCDestroyUnskinned(Message);
    return;
  }

  switch (Message.Msg) {
    case WM_CREATE: WMCreate(Message); break;
    case WM_MOVE: WMMove(Message); break;
    case WM_SIZE: WMSize(Message); break;
    case WM_ACTIVATE: WMActivate(Message); break;
    case WM_SETFOCUS:
      CallOwnProc(Message);
      if (FForm->Visible() && FBorderForm != nullptr) {
        TvkGlowForm* Layered = FormServices.BorderLayeredWindow ? FormServices.BorderLayeredWindow(FBorderForm) : nullptr;
        const bool LayeredShown = Layered != nullptr && reinterpret_cast<TWinControl*>(Layered)->HandleAllocated() &&
                                  IsWindowVisible(reinterpret_cast<TWinControl*>(Layered)->Handle());
        if (!LayeredShown) {
          FFramePaintSuspended = false;
          UpdateBorder(true, 255);
        }
      }
      break;
    case WM_SETREDRAW: WMSetRedraw(Message); break;
    case WM_SETTEXT: WMSetText(Message); break;
    case WM_PAINT: WMPaint(Message); break;
    case WM_CLOSE: WMClose(Message); break;
    case WM_QUERYENDSESSION: WMQueryEndSession(Message); break;
    case WM_ENDSESSION:
      // Another program kept the session alive: fades run again, also where no skin hooks the application window.
      if (Message.WParam == FALSE) SkinnedSessionEnding = false;
      CallOwnProc(Message);
      break;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); break;
    case WM_SYSCOLORCHANGE: WMSysColorChange(Message); break;
    case WM_SHOWWINDOW: WMShowWindow(Message); break;
    case WM_SETTINGCHANGE: WMSettingChange(Message); break;
    case WM_ACTIVATEAPP: WMActivateApp(Message); break;
    case WM_SETCURSOR:
      if (FTitleBar != nullptr && ProviderParts.TitleBarItemCount && FHotElement >= htTitleBarItem &&
          FHotElement - htTitleBarItem < ProviderParts.TitleBarItemCount(FTitleBar))
        break;  // the title-bar item keeps its cursor
      CallOwnProc(Message);
      break;
    case WM_CHILDACTIVATE: WMChildActivate(Message); break;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(Message); break;
    case WM_MEASUREITEM: WMMeasureItem(Message); break;
    case WM_WINDOWPOSCHANGING: WMWindowPosChanging(Message); break;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); break;
    case WM_COPYDATA: WMCopyData(Message); break;
    case WM_NOTIFY: WMNotify(Message); break;
    case WM_CONTEXTMENU: WMContextMenu(Message); break;
    case WM_STYLECHANGED: WMStyleChanged(Message); break;
    case WM_SETICON: WMSetIcon(Message); break;
    case WM_NCCREATE: WMNCCreate(Message); break;
    case WM_NCHITTEST: WMNCHitTest(Message); break;
    case WM_NCPAINT: WMNCPaint(Message); break;
    case WM_NCACTIVATE: WMNCActivate(Message); break;
    case WM_NCMOUSEMOVE: WMNCMouseMove(Message); break;
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(Message); break;
    case WM_NCLBUTTONUP: WMLButtonUp(Message); break;
    case WM_NCLBUTTONDBLCLK: WMNCLButtonDblClk(Message); break;
    case WM_NCRBUTTONDOWN: WMNCRButtonDown(Message); break;
    case WM_NCRBUTTONUP: WMNCRButtonUp(Message); break;
    case WM_SYSCOMMAND: WMSysCommand(Message); break;
    case WM_INITMENUPOPUP: WMInitMenuPopup(Message); break;
    case WM_ENTERIDLE:
      if (Message.WParam == MSGF_DIALOGBOX)
        CallOwnProc(Message);
      else
        Message.Result = 0;
      break;
    case WM_MOUSEMOVE: WMMouseMove(Message); break;
    case WM_LBUTTONUP: WMLButtonUp(Message); break;
    case WM_PARENTNOTIFY: WMParentNotify(Message); break;
    case WM_ENTERMENULOOP: WMEnterMenuLoop(Message); break;
    case WM_EXITMENULOOP: WMExitMenuLoop(Message); break;
    case WM_SIZING: WMSizing(Message); break;
    case WM_MDIDESTROY:
    case WM_MDIACTIVATE: WMMDIActivate(Message); break;
    case WM_EXITSIZEMOVE: WMExitSizeMove(Message); break;
    case WM_MOUSELEAVE: CMMouseLeave(Message); break;
    case WM_SYSMENUREQUEST: {
      POINT P{};
      SafeGetCursorPos(P);
      PopupSystemMenu(P.x, P.y);
      break;
    }
    case WM_PRINT: WMPrint(Message); break;
    case WM_PRINTCLIENT: break;
    case WM_DWMSENDICONICTHUMBNAIL:
    case WM_DWMSENDICONICLIVEPREVIEWBITMAP:
      if (ProviderParts.TaskbarPreview) ProviderParts.TaskbarPreview(this, Message);
      break;
    case SM_VKCMD: SkinCommand(Message); break;
    case WM_EDITORCOMMAND: EditorCommand(Message); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); break;
    case CM_COLORCHANGED: break;
    case CM_MOUSEENTER: CMMouseEnter(Message); break;
    case CM_MOUSELEAVE: CMMouseLeave(Message); break;
    case CM_MENUCHANGED: CMMenuChanged(Message); break;
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); break;
    case CM_WININICHANGE:
      CallOwnProc(Message);
      if (FBorderForm != nullptr) UpdateBorder(true, 255);
      break;
    case CM_CONTROLLISTCHANGE: CMControlListChange(Message); break;
    case CM_RECREATEWND: CMRecreateWnd(Message); break;
    case CM_METRICSCHANGED: FMetricsChanged = true; break;
    case CM_WINDOWFLOATED: RecreateScrollAdapter(Message); break;
    case CM_MOUSEWHEEL: CMMouseWheel(Message); break;
    case CM_RESERVED_B04C: Message.Result = 0; break;
    // a form that keeps its own region says so itself (0x41A2); the system answers 0 for any other
    case WM_REGIONQUERY: CallOwnProc(Message); break;
    default: CallOwnProc(Message); break;
  }
}
