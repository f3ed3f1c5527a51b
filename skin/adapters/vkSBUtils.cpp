#include "skin/adapters/vkSBUtils.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "framework/GraphicsGdi.h"

#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "skin/adapters/vkScrollWnd.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntUtils.h"
#include "skin/core/vkWindowProps.h"

namespace {

bool IsProviderObject(TObject* Obj) {
  return Obj != nullptr && FormServices.IsSkinProvider && FormServices.IsSkinProvider(Obj);
}

TControl* ProviderFormControl(TObject* Provider) {
  if (!FormServices.ProviderForm) return nullptr;
  return reinterpret_cast<TControl*>(FormServices.ProviderForm(reinterpret_cast<TsSkinProvider*>(Provider)));
}

}  // namespace

bool PutBackWindowMethod(TvkMainWnd* A) {
  if (A->OldWndMethod.IsNull()) return false;
  TsCommonData* SD = A->SkinData;
  if (SD != nullptr) {
    SD->SavedWindowProc = A->OldWndMethod;
    if (IsProviderObject(SD->OwnerObject)) {
      if (TControl* Form = ProviderFormControl(SD->OwnerObject)) Form->WindowProc = A->OldWndMethod;
    } else if (SD->OwnerControl != nullptr) {
      SD->OwnerControl->WindowProc = A->OldWndMethod;
    }
  }
  A->OldWndMethod = TWndMethod();
  return true;
}

namespace {

// The plain window's procedure back when the adapter's stub is still on top; False when someone subclassed the
// window after the adapter (his procedure stays, the stub goes on serving him).
bool PutBackWindowProc(TvkMainWnd* A) {
  if (A->ObjectInstance == nullptr) return true;
  if (reinterpret_cast<TObjectInstance>(GetWindowLongA(A->CtrlHandle, GWL_WNDPROC)) != A->ObjectInstance) return false;
  FreeObjectInstance(A->ObjectInstance);  // writes the replaced procedure back
  A->ObjectInstance = nullptr;
  A->OldWndProc = nullptr;
  return true;
}

void ReadScrollInfo(HWND Wnd, int Bar, SCROLLINFO& SI) {
  SI = SCROLLINFO{};
  SI.cbSize = sizeof(SCROLLINFO);
  SI.fMask = SIF_ALL;
  GetScrollInfo(Wnd, Bar, &SI);
}

}  // namespace

// ---- optional entries ----

TLateBound<BOOL WINAPI(HWND, LONG, PSCROLLBARINFO)>& GetScrollBarInfoEntry() {
  static TLateBound<BOOL WINAPI(HWND, LONG, PSCROLLBARINFO)> Entry("user32.dll", "GetScrollBarInfo");
  return Entry;
}
TLateBound<BOOL WINAPI(HWND)>& InitializeFlatSBEntry() {
  static TLateBound<BOOL WINAPI(HWND)> Entry("comctl32.dll", "InitializeFlatSB");
  return Entry;
}
TLateBound<HRESULT WINAPI(HWND)>& UninitializeFlatSBEntry() {
  static TLateBound<HRESULT WINAPI(HWND)> Entry("comctl32.dll", "UninitializeFlatSB");
  return Entry;
}

// ---- attaching ----

void SubclassWindow(TvkMainWnd* A, HWND Wnd) {
  A->ScrollBusy = false;
  A->CtrlHandle = Wnd;
  TsCommonData* SD = A->SkinData;
  const TWndMethod Own = TWndMethod::Bind<&TvkMainWnd::MainWndProc>(A);
  if (SD == nullptr || (SD->OwnerControl == nullptr && !IsProviderObject(SD->OwnerObject))) {
    A->ObjectInstance = MakeObjectInstance(Own);
    A->OldWndProc = SubclassWindowWith(Wnd, A->ObjectInstance);
    return;
  }
  SD->SavedWindowProc = Own;
  TControl* Target = IsProviderObject(SD->OwnerObject) ? ProviderFormControl(SD->OwnerObject) : SD->OwnerControl;
  if (Target == nullptr) throw EInvalidOperation("The form of the skin provider is missing");
  A->OldWndMethod = Target->WindowProc;
  Target->WindowProc = Own;
}

void InitScrollAdapter(TvkScrollWnd* A, HWND Wnd, bool Repaint) {
  A->ScrollBusy = false;
  A->CtrlHandle = Wnd;
  A->HorzBar = new TvkScrollBar;
  A->VertBar = new TvkScrollBar;
  A->HorzBar->Owner = A;
  A->VertBar->Owner = A;
  ReadScrollInfo(Wnd, SB_HORZ, A->HorzBar->ScrollInfo);
  ReadScrollInfo(Wnd, SB_VERT, A->VertBar->ScrollInfo);
  A->LeftScrollBar = (GetWindowLongA(Wnd, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  ScrollAdapterProps().Set(Wnd, A);
  const LONG Style = GetWindowLongA(Wnd, GWL_STYLE);
  A->HorzBar->Style = (Style & WS_HSCROLL) ? 8 : 0;
  A->VertBar->Style = (Style & WS_VSCROLL) ? 8 : 0;
  A->HorzBar->Kind = SB_HORZ;
  A->VertBar->Kind = SB_VERT;
  SubclassWindow(A, Wnd);
  SetScrollMinThumb(Wnd, SB_BOTH, 16);
  if (ScrollAdapterOfWindow(Wnd) == A && Repaint) RefreshWindowFrame(Wnd, true);
}

void DetachWindowAdapter(HWND Wnd, bool Free, bool Repaint, TvkMainWnd*& A) {
  if (A == nullptr) return;
  if (!A->Detached) {
    bool Restored = true;
    if (!PutBackWindowMethod(A)) Restored = PutBackWindowProc(A);
    A->RestoreControlParams();
    if (Wnd != nullptr && IsWindowVisible(Wnd)) RefreshWindowFrame(Wnd, Repaint);
    if (A->OwnSkinData && A->SkinData != nullptr) A->SkinData->DetachOwner();
    A->Detached = Restored;
  }
  if (Free) {
    // A stub still held (someone sits above it) is turned into a forwarder when the adapter goes.
    A->OldWndMethod = TWndMethod();
    A->Free();
    A = nullptr;
  }
}

void DetachScrollAdapter(HWND Wnd, bool Free, bool Repaint, TvkScrollWnd*& A) {
  if (A == nullptr) return;
  if (!A->Detached && A->SkinData != nullptr) {
    // Plain windows and framework controls alike; the plain procedure only while the stub is on top.
    bool Restored = true;
    if (!PutBackWindowMethod(A)) Restored = PutBackWindowProc(A);
    A->RestoreControlParams();
    A->FreeBars();
    if (Wnd != nullptr && IsWindowVisible(Wnd)) RefreshWindowFrame(Wnd, Repaint);
    if (A->OwnSkinData) A->SkinData->DetachOwner();
    A->Detached = Restored;
  }
  if (Free) {
    A->OldWndMethod = TWndMethod();
    A->Free();
    A = nullptr;
  }
}

void RefreshWindowFrame(HWND Wnd, bool Repaint) {
  if (Repaint)
    SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, kFrameChangeFlags);
  else
    SendSkinMessage(Wnd, WM_NCPAINT, 1, 0);
}

// ---- scroll adapters of windows ----

TvkScrollWnd* ScrollAdapterOfWindow(HWND Wnd) {
  return static_cast<TvkScrollWnd*>(ScrollAdapterProps().Get(Wnd));
}

TvkScrollBar* GetScrollBarOfWindow(HWND Wnd, int Bar) {
  TvkScrollWnd* A = ScrollAdapterOfWindow(Wnd);
  if (A == nullptr) return nullptr;
  if (Bar == SB_HORZ) return A->HorzBar;
  if (Bar == SB_VERT) return A->VertBar;
  return nullptr;
}

int SetScrollMinThumb(HWND Wnd, int Bar, WORD Value) {
  TvkScrollWnd* A = ScrollAdapterOfWindow(Wnd);
  if (A == nullptr) return 0;
  if ((Bar == SB_HORZ || Bar == SB_BOTH) && A->HorzBar != nullptr) A->HorzBar->MinThumb = Value;
  if ((Bar == SB_VERT || Bar == SB_BOTH) && A->VertBar != nullptr) A->VertBar->MinThumb = Value;
  return 1;
}

void SyncScrollWndAdapter(TsCommonData* SkinData, TvkScrollWnd*& Adapter) {
  TWinControl* C = ControlToFollow(SkinData);
  if (C == nullptr) return;
  // the control's flat scroll bars are off while the skinned ones are drawn, and on again after
  const bool Skinned = SkinData->IsSkinned(false);
  if (Skinned) {
    if (auto* Uninit = UninitializeFlatSBEntry().Get()) Uninit(C->Handle());
  }
  FollowSkinning(C, SkinData, SkinData->SkinManager(), Skinned, Adapter);
  if (!Skinned) {
    if (auto* Init = InitializeFlatSBEntry().Get()) Init(C->Handle());
  }
}

void ReloadScrollBarInfo(TvkScrollWnd* A, bool Repaint) {
  if (A == nullptr || A->SkinData == nullptr || A->SkinData->Updating || !IsWindowVisible(A->CtrlHandle) ||
      A->HorzBar == nullptr || A->VertBar == nullptr)
    return;
  ReadScrollInfo(A->CtrlHandle, SB_HORZ, A->HorzBar->ScrollInfo);
  ReadScrollInfo(A->CtrlHandle, SB_VERT, A->VertBar->ScrollInfo);
  if (Repaint && !InAnimationProcess) PaintScrollBars(A, A->CtrlHandle, -1, nullptr);
}

// ---- geometry and commands ----

void GetWindowGeometry(HWND Wnd, HWND& ParentWnd, TRect& WndRect, TRect& ParentRect, TPoint& WndSize,
                       TPoint& WndPos) {
  RECT R{};
  GetWindowRect(Wnd, &R);
  WndRect = TRect(R.left, R.top, R.right, R.bottom);
  ParentWnd = GetParent(Wnd);
  RECT P{};
  if (ParentWnd != nullptr) GetWindowRect(ParentWnd, &P);
  ParentRect = TRect(P.left, P.top, P.right, P.bottom);
  WndSize = TPoint(std::max(0L, R.right - R.left), std::max(0L, R.bottom - R.top));
  POINT Pt{R.left, R.top};
  if (ParentWnd != nullptr) ScreenToClient(ParentWnd, &Pt);
  WndPos = TPoint(Pt.x, Pt.y);
}

bool SizeParentFromGrip(HWND Wnd, LPARAM Point, bool LeftCorner) {
  const HWND Parent = GetParent(Wnd);
  if ((GetWindowLongA(Wnd, GWL_STYLE) & WS_CHILD) == 0 || Parent == nullptr) return false;
  SendMessageA(Parent, WM_SYSCOMMAND, SC_SIZE | (LeftCorner ? WMSZ_BOTTOMLEFT : WMSZ_BOTTOMRIGHT), Point);
  return true;
}

void NotifyTopWindowAdapt(HWND Wnd) {
  HWND Top = Wnd;
  while (HWND P = GetParent(Top)) Top = P;
  if (Top != nullptr) SendSkinCommand(Top, VKCMD_ADAPT_CONTROL, 0);
}

void PassCommandToChildren(TControl* Control, HWND Wnd, TMessage& Message) {
  if (Control == nullptr) {
    BroadcastToChildWindows(Wnd, Message.Msg, Message.WParam, Message.LParam);
  } else if (auto* W = As<TWinControl>(Control)) {
    BroadcastToChildControls(W, Message);
  }
}

// ---- fonts ----

HFONT CreateSystemFont(int Kind) {
  NONCLIENTMETRICSW M{};
  M.cbSize = 500;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 0, &M, 0)) return nullptr;
  const LOGFONTW* F = &M.lfMessageFont;
  switch (Kind) {
    case 1: F = &M.lfCaptionFont; break;
    case 2: F = &M.lfSmCaptionFont; break;
    case 3: F = &M.lfMenuFont; break;
    case 4: F = &M.lfStatusFont; break;
    default: break;
  }
  LOGFONTA A{};
  memcpy(&A, F, offsetof(LOGFONTA, lfFaceName));
  WideCharToMultiByte(CP_ACP, 0, F->lfFaceName, -1, A.lfFaceName, LF_FACESIZE, nullptr, nullptr);
  return GdiNewFont(A);
}

void SelectSystemFont(TCanvas* Canvas, int Kind) {
  HFONT F = CreateSystemFont(Kind);
  if (F == nullptr || Canvas == nullptr) {
    if (F != nullptr) GdiFreeObject(F);
    return;
  }
  {
    TFont Look;
    Look.SetHandle(F);
    Canvas->Font()->Assign(&Look);
  }
  GdiFreeObject(F);  // the canvas font made its own handle from the description
  SelectObject(Canvas->Handle(), Canvas->Font()->Handle());
}

void SelectAdapterFont(TvkMainWnd* A) {
  if (A->SkinData == nullptr || A->SkinData->CacheBmp == nullptr) return;
  TCanvas* Canvas = A->SkinData->CacheBmp->Canvas();
  if (TControl* C = A->SkinData->OwnerControl) {
    Canvas->Font()->Assign(C->Font());
    SelectObject(Canvas->Handle(), Canvas->Font()->Handle());
    return;
  }
  auto F = reinterpret_cast<HFONT>(SendSkinMessage(A->CtrlHandle, WM_GETFONT, 0, 0));
  if (F != nullptr) {
    LOGFONTA LF{};
    GetObjectA(F, sizeof LF, &LF);
    // The window's own font (it stays the window's); an ANSI font other than the dialog font gets the default
    // character set, which makes the canvas a font of its own.
    Canvas->Font()->SetHandle(F);
    if (LF.lfCharSet == ANSI_CHARSET && std::string(LF.lfFaceName).find("MS Shell Dlg") == std::string::npos)
      Canvas->Font()->SetCharset(DEFAULT_CHARSET);
    SelectObject(Canvas->Handle(), Canvas->Font()->Handle());
    return;
  }
  SelectSystemFont(Canvas, 5);
}

// ---- states and properties ----

bool CanShowHotState(TsCommonData* SD, bool Hover) {
  if (SD == nullptr) return false;
  TsSkinManager* M = SD->SkinManager();
  if (M == nullptr || SD->SkinIndex < 0 || !M->SectionIndexInRange(SD->SkinIndex)) return false;
  const TsGeneralData& G = M->gd()[SD->SkinIndex];
  if (G.BorderIndex < 0) return false;
  if (Hover && EditHoverTypes.Contains(SD->CtrlType)) return false;
  if (Hover && M->Options()->NoMouseHover()) return false;
  if (M->MaskIndexInRange(G.BorderIndex) && M->ma()[G.BorderIndex].ImageCount >= 2) return true;
  return G.States > 1;
}

void SetObjPropValue(TObject* Obj, const std::string& PropName, int64_t Value) {
  if (Obj != nullptr) SetOrdPropIfPresent(Obj, PropName, Value);
}

TColor GetObjColorPropRGB(TObject* Obj, const std::string& PropName) {
  if (Obj == nullptr || !ObjectHasProperty(Obj, PropName)) return 0;
  return ColorToRGB(static_cast<TColor>(OrdPropOrMinusOne(Obj, PropName)));
}

int GetObjOrdPropValue(TObject* Obj, const std::string& PropName) {
  if (Obj == nullptr || !ObjectHasProperty(Obj, PropName)) return 0;
  return static_cast<int>(OrdPropOrMinusOne(Obj, PropName));
}
