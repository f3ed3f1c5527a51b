#include "skin/core/sVclUtils.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "framework/Forms.h"
#include "framework/LateBinding.h"
#include "framework/Platform.h"
#include "framework/Themes.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkAdapterServices.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkWindowProps.h"
#include "skin/graphics/ToolkitStartup.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkPixelOps.h"

bool InAnimationProcess = false;

namespace {

constexpr TColor kNoColor = 0xFF00FF;

TWndMethod SavedMethodOfData(TsCommonData* Data) { return Data->SavedWindowProc; }

WPARAM CommandWParam(WORD Cmd) { return static_cast<WPARAM>(Cmd) << 16; }

// The saved method of the window's skin data; a null method when there is none to call.
TWndMethod SavedMethodOf(HWND Wnd) {
  TsCommonData* Data = WindowSkinData(Wnd);
  if (Data == nullptr || SkinDataSavedWindowMethod == nullptr) return TWndMethod();
  return SkinDataSavedWindowMethod(Data);
}

bool Destroying(TComponent* C) { return C->ComponentState().Contains(csDestroying); }

}  // namespace

TLateBound<HRESULT WINAPI(HWND, LPCWSTR, LPCWSTR)>& SetWindowThemeBinding() {
  static TLateBound<HRESULT WINAPI(HWND, LPCWSTR, LPCWSTR)> Entry("uxtheme.dll", "SetWindowTheme");
  return Entry;
}

TWndMethod (*SkinDataSavedWindowMethod)(TsCommonData* Data) = SavedMethodOfData;

TsCommonData* WindowSkinData(HWND Wnd) { return static_cast<TsCommonData*>(SkinDataProps().Get(Wnd)); }

// ---- senders ----

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

LRESULT SendSkinCommand(HWND Wnd, WORD Cmd, LPARAM LParam) {
  return SendSkinMessage(Wnd, SM_VKCMD, CommandWParam(Cmd), LParam);
}

bool AskSkinCommand(HWND Wnd, WORD Cmd) { return SendSkinCommand(Wnd, Cmd, 0) == 1; }

LRESULT SendControlCommand(TControl* Control, WORD Cmd, LPARAM LParam) {
  if (Control == nullptr) return 0;
  if (auto* Win = As<TWinControl>(Control)) {
    if (Destroying(Win) || !Win->HandleAllocated()) return 0;
    return SendSkinCommand(Win->Handle(), Cmd, LParam);
  }
  return Control->Perform(SM_VKCMD, CommandWParam(Cmd), LParam);
}

LRESULT NotifyControl(TControl* Control, WORD Cmd) { return SendControlCommand(Control, Cmd, 0); }

void SwitchWindowRedraw(HWND Wnd, bool Redraw) { SendSkinMessage(Wnd, WM_SETREDRAW, Redraw ? 1 : 0, 0); }

LRESULT AskFormToAdaptControl(TControl* Control) {
  if (Control == nullptr) return 1;
  const TComponentState State = Control->ComponentState();
  if (State.Contains(csLoading) || State.Contains(csDesigning)) return 1;
  TCustomForm* Form = GetParentForm(Control);
  if (Form == nullptr) return 0;
  return SendSkinMessage(Form->Handle(), SM_VKCMD, CommandWParam(VKCMD_ADAPT_CONTROL),
                         reinterpret_cast<LPARAM>(Control));
}

// ---- broadcasts ----

void BroadcastToChildControls(TWinControl* Control, TMessage& Message) {
  for (int i = 0; i < Control->ControlCount(); ++i) {
    TControl* Child = Control->Controls(i);
    if (Destroying(Child)) return;
    auto* Win = As<TWinControl>(Child);
    if (Win == nullptr || !Win->HandleAllocated()) {
      Child->Perform(Message.Msg, Message.WParam, Message.LParam);
      // an unskinned container whose window is not made yet passes nothing on either
      if (Win != nullptr && !ControlHasSkin(Win, false)) BroadcastToChildControls(Win, Message);
      continue;
    }
    const HWND Wnd = Win->Handle();
    SendSkinMessage(Wnd, Message.Msg, Message.WParam, Message.LParam);
    // a skinned child passes commands on by itself; an unskinned container would not
    if (!WindowHasSkin(Wnd)) BroadcastToChildControls(Win, Message);
  }
}

namespace {
struct TChildBroadcast {
  HWND Parent;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};
BOOL CALLBACK SendToDirectChild(HWND Wnd, LPARAM Param) {
  auto* B = reinterpret_cast<TChildBroadcast*>(Param);
  try {
    if (GetParent(Wnd) == B->Parent) SendSkinMessage(Wnd, B->Msg, B->WParam, B->LParam);
  } catch (...) {
    HandleCallbackException(nullptr);
  }
  return TRUE;
}
}  // namespace

void BroadcastToChildWindows(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TChildBroadcast B{Wnd, Msg, WParam, LParam};
  EnumChildWindows(Wnd, SendToDirectChild, reinterpret_cast<LPARAM>(&B));
}

void RepaintChildrenAfterUpdate(TWinControl* Control) {
  if (Control->ComponentState().Contains(csDesigning) || InAnimationProcess) return;
  for (int i = 0; i < Control->ControlCount(); ++i) {
    TControl* Child = Control->Controls(i);
    if (Destroying(Child)) continue;
    if (auto* Win = As<TWinControl>(Child)) {
      if (Win->HandleAllocated() && Win->Showing()) SendSkinCommand(Win->Handle(), VKCMD_PARENT_UPDATE_DONE, 0);
    } else {
      Child->Perform(SM_VKCMD, CommandWParam(VKCMD_PARENT_UPDATE_DONE), 0);
    }
  }
}

void RepaintChildWindowsAfterUpdate(HWND Wnd) {
  for (HWND Child = GetTopWindow(Wnd); Child != nullptr; Child = GetWindow(Child, GW_HWNDNEXT))
    if ((GetWindowLongA(Child, GWL_STYLE) & WS_CHILD) != 0) SendSkinCommand(Child, VKCMD_PARENT_UPDATE_DONE, 0);
}

void ForEachChildControl(TWinControl* Control, void* Data, void (*Proc)(TControl* Child, void* Data)) {
  for (int i = 0; i < Control->ControlCount(); ++i) {
    TControl* Child = Control->Controls(i);
    if (Child == nullptr) continue;
    Proc(Child, Data);
    if (auto* Win = As<TWinControl>(Child)) ForEachChildControl(Win, Data, Proc);
  }
}

// ---- cursor, visibility, hierarchy ----

void SafeGetCursorPos(POINT& P) {
  if (!Platform().GetCursorPos(&P)) P = POINT{0, 0};
}

bool CursorOverControl(TControl* Control) {
  POINT Screen;
  SafeGetCursorPos(Screen);
  const POINT P = Control->ScreenToClient(Screen);
  if (P.x < 0 || P.y < 0 || P.x >= Control->Width() || P.y >= Control->Height()) return false;
  if (As<TGraphicControl>(Control) == nullptr || Control->Parent() == nullptr) return true;
  // a graphic control is under the cursor only where its parent's window is not clipped away; the clip box
  // is in the parent's coordinates
  TWinControl* Parent = Control->Parent();
  const HWND ParentWnd = Parent->Handle();
  HDC DC = GetDC(ParentWnd);
  RECT Box{};
  const int Kind = GetClipBox(DC, &Box);
  ReleaseDC(ParentWnd, DC);
  const POINT InParent = Parent->ScreenToClient(Screen);
  return Kind != ERROR && Kind != NULLREGION && Box.left <= InParent.x && Box.top <= InParent.y;
}

bool CursorInVisiblePart(HWND Wnd) {
  HDC DC = GetWindowDC(Wnd);
  RECT Box{};
  const int Kind = GetClipBox(DC, &Box);
  ReleaseDC(Wnd, DC);
  if (Kind != SIMPLEREGION) return false;
  RECT W{};
  GetWindowRect(Wnd, &W);
  OffsetRect(&Box, W.left, W.top);
  POINT P;
  SafeGetCursorPos(P);
  return PtInRect(&Box, P) != FALSE;
}

TControl* GetControlUnderCursor() {
  if (TsSkinManager* M = TsSkinManager::DefaultManager()) {
    if (auto* Graphic = As<TControl>(M->HotGraphicControl())) return Graphic;
    if (M->HotWindow() != nullptr)
      if (TWinControl* Hot = FindControl(M->HotWindow())) return Hot;
  }
  POINT P;
  SafeGetCursorPos(P);
  TWinControl* Win = FindVCLWindow(WindowFromPoint(P));
  if (Win == nullptr) return nullptr;
  const POINT C = Win->ScreenToClient(P);
  for (int i = Win->ControlCount() - 1; i >= 0; --i) {
    TControl* Child = Win->Controls(i);
    const RECT B = Child->BoundsRect();
    if (PtInRect(&B, C)) return Child;
  }
  return Win;
}

HWND GetTopParentWindow(HWND Wnd) {
  for (HWND Parent = GetParent(Wnd); Parent != nullptr; Parent = GetParent(Wnd)) Wnd = Parent;
  return Wnd;
}

bool IsTopmostWindow(HWND Wnd) { return (GetWindowLongA(Wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// Put after Wnd a window would lie under it, and put after a topmost window it turns topmost itself. So above a plain
// Wnd that tops the plain windows the top of them is just above it; above a topmost Wnd the window goes after the one
// over it, topmost as both are, or first of all.
HWND WindowJustAbove(HWND Wnd) {
  HWND After = GetWindow(Wnd, GW_HWNDPREV);
  if (IsTopmostWindow(Wnd)) return After != nullptr ? After : HWND_TOPMOST;
  return After == nullptr || IsTopmostWindow(After) ? HWND_TOP : After;
}

void KeepJustAbove(HWND W, HWND Wnd) {
  constexpr UINT kZOrderOnly = SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER |
                               SWP_NOSENDCHANGING;
  for (int Reading = 0;
       Reading < 3 && (GetWindow(W, GW_HWNDNEXT) != Wnd || IsTopmostWindow(W) != IsTopmostWindow(Wnd)); ++Reading) {
    // Put after a window that turned topmost after it was read (another program's), W turned topmost too, above a
    // plain Wnd: only HWND_NOTOPMOST takes that back.
    if (IsTopmostWindow(W) && !IsTopmostWindow(Wnd)) SetWindowPos(W, HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnly);
    SetWindowPos(W, WindowJustAbove(Wnd), 0, 0, 0, 0, kZOrderOnly);
  }
}

bool IsWindowWithin(HWND Wnd, HWND Ancestor) {
  for (; Wnd != nullptr; Wnd = GetParent(Wnd))
    if (Wnd == Ancestor) return true;
  return false;
}

TCustomForm* FindOwnerForm(TComponent* Component) {
  for (; Component != nullptr; Component = Component->Owner())
    if (auto* Form = As<TCustomForm>(Component)) return Form;
  return nullptr;
}

bool IsControlReadyToPaint(TControl* Control) {
  if (Control == nullptr || Control->Parent() == nullptr) return false;
  if (auto* Win = As<TWinControl>(Control); Win != nullptr && !Win->HandleAllocated()) return false;
  const TComponentState CS = Control->ComponentState();
  if (CS.Contains(csLoading) || CS.Contains(csDestroying)) return false;
  const TControlState S = Control->ControlState();
  return !S.Contains(csReadingState) && !S.Contains(csCreating);
}

void PlaceControlAbove(TControl* Control, TControl* Reference) {
  TWinControl* Parent = Control->Parent();
  if (Parent == nullptr) return;
  // Controls() lists graphic children before windowed ones and SetChildOrder places a child within its own
  // group, so the place is counted among the siblings of Control's kind, Control itself left out
  const bool Windowed = As<TWinControl>(Control) != nullptr;
  int Order = 0;
  for (int i = 0; i < Parent->ControlCount(); ++i) {
    TControl* Child = Parent->Controls(i);
    if (Child == Reference) {
      Parent->SetChildOrder(Control, Order + ((As<TWinControl>(Reference) != nullptr) == Windowed ? 1 : 0));
      return;
    }
    if (Child != Control && (As<TWinControl>(Child) != nullptr) == Windowed) ++Order;
  }
}

int SumAlignedChildExtent(TWinControl* Container, TAlign Align, bool IncludeGraphic) {
  int Sum = 0;
  for (int i = 0; i < Container->ControlCount(); ++i) {
    TControl* Child = Container->Controls(i);
    if (!Child->Visible() || Child->Align() != Align) continue;
    if (!IncludeGraphic && As<TWinControl>(Child) == nullptr) continue;
    switch (Align) {
      case alTop:
      case alBottom: Sum += Child->Height(); break;
      case alLeft:
      case alRight: Sum += Child->Width(); break;
      default: return 0;
    }
  }
  return Sum;
}

// ---- colours, rectangles, names ----

TColor GetControlColor(TControl* Control) {
  if (Control == nullptr) return kNoColor;
  if (ControlHasSkin(Control, false))
    return ColorToRGB(static_cast<TColor>(Control->Perform(SM_VKCMD, CommandWParam(VKCMD_QUERY_BG_COLOR), kNoColor)));
  return ColorToRGB(Control->Color());
}

TColor GetWindowColor(HWND Wnd) {
  if (Wnd == nullptr) return kNoColor;
  return ColorToRGB(static_cast<TColor>(SendSkinMessage(Wnd, SM_VKCMD, CommandWParam(VKCMD_QUERY_BG_COLOR), kNoColor)));
}

POINT ClientOriginInWindow(HWND Wnd) {
  RECT R{};
  GetWindowRect(Wnd, &R);
  POINT P{0, 0};
  ClientToScreen(Wnd, &P);
  // A mirrored window maps its client's origin to the client's right edge; the pictures count from the left.
  if ((GetWindowLongA(Wnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0) {
    RECT C{};
    GetClientRect(Wnd, &C);
    P.x -= C.right;
  }
  return POINT{P.x - R.left, P.y - R.top};
}

void GetClientRectInWindow(HWND Wnd, RECT& R) {
  GetClientRect(Wnd, &R);
  const POINT Origin = ClientOriginInWindow(Wnd);
  OffsetRect(&R, Origin.x, Origin.y);
}

std::string WindowClassNameOf(HWND Wnd) {
  char Buf[129] = {};
  const int N = GetClassNameA(Wnd, Buf, 128);
  return std::string(Buf, N > 0 ? N : 0);
}

void GetWorkAreaAtPoint(POINT P, RECT& R) {
  for (int i = 0; i < Screen->MonitorCount(); ++i) {
    const RECT W = Screen->Monitors(i)->WorkareaRect();
    if (PtInRect(&W, P)) {
      R = W;
      return;
    }
  }
  R = RECT{0, 0, 0, 0};
}

void GetFormWorkArea(TCustomForm* Form, RECT& R) { R = Form->Monitor()->WorkareaRect(); }

UINT AlignDrawTextFlags(TControl* Control, TAlignment Alignment) {
  static const UINT kAlign[3] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  return Control->DrawTextBiDiModeFlags(kAlign[Alignment]) | DT_EXPANDTABS | DT_VCENTER;
}

bool AreThemesEnabled() {
  TThemeServices* Themes = ThemeServices();
  return Themes != nullptr && Themes->ThemesAvailable() && Themes->ThemesEnabled();
}

TSetWindowThemeProc SetWindowThemeEntry() { return SetWindowThemeBinding().Get(); }

bool SetLayeredAlpha(HWND Wnd, bool Layered, BYTE Alpha, bool Hiding) {
  const LONG Ex = GetWindowLongA(Wnd, GWL_EXSTYLE);
  if (Layered && HasLayeredWindowApi()) {
    const bool Added = (Ex & WS_EX_LAYERED) == 0;
    if (Added) SetWindowLongA(Wnd, GWL_EXSTYLE, Ex | WS_EX_LAYERED);
    Platform().SetLayeredWindowAttributes(Wnd, clNone, Alpha, LWA_ALPHA);
    return Added;
  }
  if (Hiding) SetWindowLongA(Wnd, GWL_STYLE, GetWindowLongA(Wnd, GWL_STYLE) & ~WS_VISIBLE);
  SetWindowLongA(Wnd, GWL_EXSTYLE, Ex & ~WS_EX_LAYERED);
  return false;
}

namespace {

BOOL CALLBACK UpdateWindowWithin(HWND Wnd, LPARAM Area) {
  RECT R{}, Common{};
  if (IsWindowVisible(Wnd) && GetWindowRect(Wnd, &R) && IntersectRect(&Common, &R, reinterpret_cast<RECT*>(Area)))
    RedrawWindow(Wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  return TRUE;
}

// The desktop under Area is made to repaint: every window there is invalidated, and this thread's ones are painted
// at once. An immediate update of the whole desktop would send the paint to other programs' windows and wait for
// each, so one that is busy or hung would hold this program as long.
void RepaintDesktopArea(RECT Area) {
  RedrawWindow(nullptr, &Area, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  EnumThreadWindows(GetCurrentThreadId(), UpdateWindowWithin, reinterpret_cast<LPARAM>(&Area));
}

}  // namespace

void UpdateLayeredFromBitmap(HWND Wnd, TBitmap* Bmp, BYTE Alpha, POINT Pos) {
  RECT R{};
  GetWindowRect(Wnd, &R);
  TBitmap* Own = nullptr;
  if (Bmp == nullptr) {
    Own = NewBitmap32(R.right - R.left, R.bottom - R.top);
    HDC Scr = GetDC(nullptr);
    BitBlt(Own->Canvas()->Handle(), 0, 0, Own->Width(), Own->Height(), Scr, R.left, R.top, SRCCOPY);
    ReleaseDC(nullptr, Scr);
    Bmp = Own;
  }
  try {
    const LONG Ex = GetWindowLongA(Wnd, GWL_EXSTYLE);
    if ((Ex & WS_EX_LAYERED) == 0) {
      const bool Composed = IsDwmCompositionActive();
      const LONG Style = GetWindowLongA(Wnd, GWL_STYLE);
      // without composition the window would show unlayered for a moment: hide it, then let the desktop
      // under it repaint before it comes back layered
      if (!Composed) SetWindowLongA(Wnd, GWL_STYLE, Style & ~WS_VISIBLE);
      SetWindowLongA(Wnd, GWL_EXSTYLE, Ex | WS_EX_LAYERED);
      if (!Composed) {
        RepaintDesktopArea(R);
        SetWindowLongA(Wnd, GWL_STYLE, GetWindowLongA(Wnd, GWL_STYLE) | WS_VISIBLE);
      }
    }
    HDC Scr = GetDC(nullptr);
    SIZE Size{Bmp->Width(), Bmp->Height()};
    POINT Src{0, 0};
    BLENDFUNCTION Blend{AC_SRC_OVER, 0, Alpha, AC_SRC_ALPHA};
    Platform().UpdateLayeredWindow(Wnd, Scr, &Pos, &Size, Bmp->Canvas()->Handle(), &Src, clNone, &Blend, ULW_ALPHA);
    ReleaseDC(nullptr, Scr);
  } catch (...) {
    delete Own;
    throw;
  }
  delete Own;
}

void UpdateLayeredPremultiplied(HWND Wnd, TBitmap* Bmp, BYTE Alpha, POINT Pos) {
  if (Bmp == nullptr) throw std::invalid_argument("UpdateLayeredPremultiplied: no picture");
  std::unique_ptr<TBitmap> Out(NewBitmap32(Bmp->Width(), Bmp->Height()));
  CopyBitmapFull(Out.get(), Bmp);
  PremultiplyBitmap(Out.get());
  UpdateLayeredFromBitmap(Wnd, Out.get(), Alpha, Pos);
}

// ---- hint popup ----

THintWindow* ShowHintWindow(const std::string& Text, POINT P) {
  // the library's own hint manager is never created in this program: the plain window is the only path
  if (Text.empty()) return nullptr;
  auto* Hint = static_cast<THintWindow*>(HintWindowClass->CreateInstance(nullptr));
  try {
    Hint->SetVisible(false);
    Hint->SetColor(clInfoBk);
    RECT R = Hint->CalcHintRect(800, Text, nullptr);
    OffsetRect(&R, P.x + 8, P.y + 16);
    RECT Area;
    GetWorkAreaAtPoint(P, Area);
    if (R.right > Area.right) OffsetRect(&R, Area.right - R.right, 0);
    if (R.bottom > Area.bottom) OffsetRect(&R, 0, Area.bottom - R.bottom);
    if (AskSkinCommand(Hint->Handle(), VKCMD_QUERY_SKINNED)) {
      Hint->ActivateHint(R, Text);
      return Hint;
    }
    Hint->SetCaption(Text);
    R.bottom += 4;
    Hint->SetParentWindow(Application->Handle());
    Hint->SetBoundsRect(R);
    SetWindowPos(Hint->Handle(), HWND_TOPMOST, R.left, R.top, 0, 0,
                 SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOOWNERZORDER);
    BOOL Anim = FALSE, Fade = FALSE;
    Platform().SystemParametersInfoA(SPI_GETTOOLTIPANIMATION, 0, &Anim, 0);
    Platform().SystemParametersInfoA(SPI_GETTOOLTIPFADE, 0, &Fade, 0);
    if (Text.size() < 100 && Anim && Fade) AnimateWindow(Hint->Handle(), 200, AW_BLEND);
    ShowWindow(Hint->Handle(), SW_SHOWNOACTIVATE);
    Hint->Invalidate();
  } catch (...) {
    Hint->Free();
    throw;
  }
  return Hint;
}

// ---- unit start-up ----

void VclUtilsInitialize() {
  ThemeServices();
  SetWindowThemeBinding().Get();
}

void VclUtilsFinalize() { SetWindowThemeBinding().Reset(); }
