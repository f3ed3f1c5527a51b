#include "skin/core/vkntTypes.h"

#include "skin/core/sConst.h"

IMPLEMENT_CLASS(TvkGlowForm)

TvkGlowForm::TvkGlowForm(TComponent* AOwner) : TCustomForm(AOwner, 0) {}

void TvkGlowForm::AfterConstruction() {
  inherited::AfterConstruction();
  SetTag(NoSkinTag);
  SetBorderStyle(bsNone);
  ClickThrough = true;
}

void TvkGlowForm::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.ExStyle |= CreationExStyle;
}

void TvkGlowForm::CreateWnd() {
  inherited::CreateWnd();
  HWND Wnd = Handle();
  SetWindowLongA(Wnd, GWL_EXSTYLE, GetWindowLongA(Wnd, GWL_EXSTYLE) | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW);
  const LONG_PTR ClassStyle = GetClassLongPtrA(Wnd, GCL_STYLE);
  if (ClassStyle & CS_DROPSHADOW) SetClassLongPtrA(Wnd, GCL_STYLE, ClassStyle & ~CS_DROPSHADOW);
}

void TvkGlowForm::WndProc(TMessage& Message) {
  // A tool window shows no icon anywhere: the one each form is given when its window is made is not kept (keeping it
  // is a round trip to the display).
  if (Message.Msg == WM_SETICON) {
    Message.Result = 0;
    return;
  }
  if (Message.Msg == WM_NCHITTEST && ClickThrough) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  if ((Message.Msg == WM_SHOWWINDOW || Message.Msg == CM_VISIBLECHANGED) && Message.WParam == 0 && HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, kGlowHideFlags);
  inherited::WndProc(Message);
}
