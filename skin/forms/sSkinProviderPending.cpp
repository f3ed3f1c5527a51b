// Members not built yet (scaffolding while the provider grows Part by Part).
#include "skin/forms/sSkinProvider.h"

void TsSkinProvider::ShowCaptionCover() {}
void TsSkinProvider::HideCaptionCover() {}
void TsSkinProvider::UpdateDisabledVeil() {}
int TsSkinProvider::HitTestAt(TMessage&) { return 0; }
int TsSkinProvider::ElementAt(TPoint) { return 0; }
void TsSkinProvider::ScreenToWindowPoint(int, int, TPoint&) {}
void TsSkinProvider::GetWindowOrigin(TPoint&) {}
void TsSkinProvider::SetHotElement(int, bool) {}
void TsSkinProvider::PressElement(int) {}
void TsSkinProvider::RepaintTitleButton(int) {}
void TsSkinProvider::PopupSystemMenu(int, int) {}
TsCaptionButton* TsSkinProvider::ButtonByCode(int) { return nullptr; }
void TsSkinProvider::WMNCActivate(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMActivate(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMActivateApp(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMChildActivate(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMMDIActivate(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMWindowPosChanging(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMWindowPosChanged(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMWindowPosChangedUnskinned(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMMove(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMSize(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMSizing(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMExitSizeMove(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMSysCommand(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMNCHitTest(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMNCLButtonDown(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMLButtonUp(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMNCLButtonDblClk(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMNCRButtonDown(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMNCRButtonUp(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMMouseMove(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::CMMouseEnter(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::CMMouseLeave(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMNCPaint(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMPaint(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMEraseBkgnd(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMPrint(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMSetText(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMSetIcon(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMSetRedraw(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::CMMenuChanged(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMSysColorChange(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMSettingChange(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMStyleChanged(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::CMEnabledChanged(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMCreate(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMNCCreate(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::CMShowingChanged(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMShowWindow(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::CMVisibleChanged(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::CMVisibleChangedUnskinned(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMClose(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMQueryEndSession(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMNCDestroyUnskinned(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::CMRecreateWnd(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::RecreateScrollAdapter(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMParentNotify(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMNotify(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::CMControlListChange(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMContextMenu(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMMeasureItem(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMEnterMenuLoop(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::WMExitMenuLoop(TMessage& Message) { CallOwnProc(Message); }
void TsSkinProvider::SnapshotForHiding() {}
bool TsSkinProvider::HideAnimationAllowed(bool) { return false; }
void TsSkinProvider::SystemMenuRefresh(bool) {}
