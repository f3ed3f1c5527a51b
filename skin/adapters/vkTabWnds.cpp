#include "skin/adapters/vkTabWnds.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/GraphicsGdi.h"
#include <memory>

#include "framework/ComCtrls.h"
#include "framework/Forms.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkSmallWnds.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinText.h"

IMPLEMENT_CLASS(TvkTabControlWnd)
IMPLEMENT_CLASS(TvkPageControlWnd)
IMPLEMENT_CLASS(TvkPageWnd)

namespace {

constexpr UINT kRepaintAll = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
constexpr WORD kQueryTabManager = 0x1B;  // how page windows find their tab control's manager
constexpr int kTabPos[4] = {seTabTop, seTabBottom, seTabLeft, seTabRight};  // top, bottom, left, right

// The page window's adapter, when it has one of ours.
bool IsListed(TvkPageWnd* A) {
  auto& L = PageAdapters();
  return std::find(L.begin(), L.end(), A) != L.end();
}

}  // namespace

std::vector<TvkPageWnd*>& PageAdapters() {
  static auto* List = new std::vector<TvkPageWnd*>;
  return *List;
}

void FreePageAdapters() {
  auto& L = PageAdapters();
  while (!L.empty()) {
    TvkPageWnd* A = L.back();
    L.pop_back();
    A->Free();
  }
}

// ---- tab controls ----

void TvkTabControlWnd::FinishCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("PAGECONTROL");
  TvkMainWnd::FinishCreation();
}

void TvkTabControlWnd::ReturnWindow() {
  TvkMainWnd::ReturnWindow();
  if (UpDownAdapter != nullptr) UpDownAdapter->GiveWindowBack();
}

void TvkTabControlWnd::ReleaseOwnObjects() {
  if (UpDownAdapter != nullptr) {
    TvkMainWnd* U = UpDownAdapter;
    UpDownAdapter = nullptr;
    U->Free();
  }
  TvkMainWnd::ReleaseOwnObjects();
}

bool TvkTabControlWnd::Skinned() const { return SkinData != nullptr && SkinData->IsSkinned(false); }

int TvkTabControlWnd::TabCount() const { return static_cast<int>(SendMessageA(CtrlHandle, TCM_GETITEMCOUNT, 0, 0)); }
int TvkTabControlWnd::CurrentTab() const { return static_cast<int>(SendMessageA(CtrlHandle, TCM_GETCURSEL, 0, 0)); }

TRect TvkTabControlWnd::ItemRect(int Index) const {
  RECT R{};
  SendMessageA(CtrlHandle, TCM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R));
  return TRect(R);
}

int TvkTabControlWnd::TabPosition() const {
  const LONG S = GetWindowLongA(CtrlHandle, GWL_STYLE);
  if (S & TCS_VERTICAL) return (S & TCS_RIGHT) ? 3 : 2;
  return (S & TCS_BOTTOM) ? 1 : 0;
}

int TvkTabControlWnd::TabStyle() const {
  const LONG S = GetWindowLongA(CtrlHandle, GWL_STYLE);
  if (S & TCS_FLATBUTTONS) return 2;
  return (S & TCS_BUTTONS) ? 1 : 0;
}

int TvkTabControlWnd::TabRow(int Index) const {
  const int Rows = static_cast<int>(SendMessageA(CtrlHandle, TCM_GETROWCOUNT, 0, 0));
  if (Rows < 2) return 1;
  const TRect R = ItemRect(Index);
  const bool Vertical = TabPosition() >= 2;
  const int Size = Vertical ? R.Width() : R.Height();
  if (Size <= 0) return 1;
  const int Middle = Vertical ? (R.Left + R.Right) / 2 : (R.Top + R.Bottom) / 2;
  const int Row = Middle / Size + 1;
  return TabPosition() == 1 || TabPosition() == 3 ? Rows - Row + 1 : Row;
}

TRect TvkTabControlWnd::GetDisplayRect() {
  RECT R{0, 0, WndSize.X, WndSize.Y};
  SendMessageA(CtrlHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&R));
  R.top += 2;
  return TRect(R);
}

TRect TvkTabControlWnd::GetPageRect() {
  TRect R(0, 0, WndSize.X, WndSize.Y);
  if (TabCount() < 1) return R;
  const TRect D = GetDisplayRect();
  switch (TabPosition()) {
    case 0: R.Top = D.Top - 4; break;
    case 1: R.Bottom = D.Bottom + 2; break;
    case 2: R.Left = D.Left - 1; break;
    default: R.Right = D.Right + 1; break;
  }
  return R;
}

TRect TvkTabControlWnd::GetTabStripRect() {
  TRect R(0, 0, WndSize.X, WndSize.Y);
  const TRect D = GetDisplayRect();
  switch (TabPosition()) {
    case 0: R.Bottom = D.Top - 4; break;
    case 1: R.Top = D.Bottom + 2; break;
    case 2: R.Right = D.Left - 1; break;
    default: R.Left = D.Right + 1; break;
  }
  return R;
}

TRect TvkTabControlWnd::GetTabRect(int Index, bool Active) {
  if (Index < 0 || Index >= TabCount()) return TRect();
  TRect R = ItemRect(Index);
  RECT& W = *R.AsRECT();
  const int A = Active ? 1 : 0;
  if (TabStyle() == 0 && R.Width() > 0 && R.Height() > 0) {
    if (Active) {
      R.Bottom -= 1;
    } else {
      R.Bottom += 3;
      R.Right -= 1;
    }
    switch (TabPosition()) {
      case 0:
        InflateRect(&W, 2 * A, 2 * A);
        R.Bottom += 1;
        break;
      case 1:
        InflateRect(&W, 2 * A, A);
        R.Top -= 2;
        R.Bottom += Active ? 1 : -3;
        break;
      case 2:
        InflateRect(&W, 0, 1);
        R.Right += 2;
        if (Active) {
          InflateRect(&W, 1, 1);
        } else {
          R.Bottom -= 4;
          R.Right += 2;
        }
        break;
      default:
        InflateRect(&W, 1, 0);
        OffsetRect(&W, -1, -1);
        if (Active) {
          InflateRect(&W, 1, 1);
          R.Bottom += 3;
        } else {
          R.Bottom -= 2;
        }
        break;
    }
  }
  // A skin's text holds no tab offset and no overlap width (TABSCOVERING is only a switch): both stay 0, which
  // neither moves nor widens the tab here nor narrows its content in PaintTab.
  return R;
}

void TvkTabControlWnd::PaintTab(int Index, int State, TPoint Offset, TBitmap* Bmp) {
  if (Index < 0) return;
  TsSkinManager* M = SkinData->SkinManager();
  if (M == nullptr) return;
  TCanvas* Canvas = Bmp->Canvas();
  HFONT Font = reinterpret_cast<HFONT>(SendMessageA(CtrlHandle, WM_GETFONT, 0, 0));
  LOGFONTA LF{};
  if (Font != nullptr) GetObjectA(Font, sizeof LF, &LF);
  else GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof LF, &LF);
  const TRect R = GetTabRect(Index, State == 2);
  if (R.Width() <= 0 || R.Height() <= 0) return;
  char Text[4096] = {};
  TCITEMA Item{};
  Item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
  Item.dwStateMask = 0x10;
  Item.pszText = Text;
  Item.cchTextMax = sizeof Text;
  SendMessageA(CtrlHandle, TCM_GETITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Item));
  int Section = -1;
  if (TabStyle() == 0)
    Section = M->ConstData().Elements[kTabPos[TabPosition()]].SkinIndex;
  else
    Section = M->FindSectionIndex(TabStyle() == 1 ? "BUTTON" : "TOOLBUTTON");
  const TRect At(R.Left + Offset.X, R.Top + Offset.Y, R.Right + Offset.X, R.Bottom + Offset.Y);
  if (Section >= 0 && M->MaskIndexInRange(M->FindMaskInherited(Section, "BORDERSMASK"))) {
    std::unique_ptr<TBitmap> B(NewBitmap32(R.Width(), R.Height()));
    TBitmap* Cache = SkinData->CacheBmp;
    TvkBgCacheRef Bg;
    if (State == 2) {
      // The active tab lies over what the target already shows there.
      BitBlt(B->Canvas()->Handle(), 0, 0, R.Width(), R.Height(), Bmp->Canvas()->Handle(), At.Left, At.Top, SRCCOPY);
      InitBgInfo(B.get(), 0, 0, Bg);
    } else {
      InitBgInfo(Cache, R.Left, R.Top, Bg);
    }
    PaintSectionItem(Section, Bg, -1, -1, M, B.get(), TPoint(), TRect(0, 0, R.Width(), R.Height()), State);
    // Top and left tabs leave the page's edge where they reach over it.
    HDC DC = Bmp->Canvas()->Handle();
    const int Saved = SaveDC(DC);
    if (TabPosition() == 0 || TabPosition() == 2) {
      const TRect P = GetPageRect();
      ExcludeClipRect(DC, P.Left + Offset.X, P.Top + Offset.Y, P.Right + Offset.X, P.Bottom + Offset.Y);
    }
    BitBlt(DC, At.Left, At.Top, R.Width(), R.Height(), B->Canvas()->Handle(), 0, 0, SRCCOPY);
    RestoreDC(DC, Saved);
  }
  if (auto* Tabs = As<TCustomTabControl>(SkinData->OwnerControl); Tabs != nullptr && Tabs->OwnerDraw() && Tabs->OnDrawTab) {
    DrawOwnerTab(Tabs, Index, State, Section, At, Bmp);
    return;
  }
  TRect T = At;
  InflateRect(T.AsRECT(), -3, -3);
  const int Pos = TabPosition();
  const bool Enabled = IsWindowEnabled(CtrlHandle) != FALSE;
  if (Pos < 2) {
    auto IL = reinterpret_cast<HIMAGELIST>(SendMessageA(CtrlHandle, TCM_GETIMAGELIST, 0, 0));
    AssignLogFont(Canvas->Font(), LF);
    SelectObject(Canvas->Handle(), Canvas->Font()->Handle());
    if (IL != nullptr && Item.iImage >= 0) {
      int CX = 0, CY = 0;
      ImageList_GetIconSize(IL, &CX, &CY);
      SIZE S{};
      GetTextExtentPoint32A(Canvas->Handle(), Text, static_cast<int>(strlen(Text)), &S);
      const int X = T.Left + (T.Width() - (S.cx + CX + 8)) / 2;
      ImageList_Draw(IL, Item.iImage, Canvas->Handle(), X, T.Top + (T.Height() - CX) / 2, ILD_NORMAL);
      T.Left += CX;
    }
    DrawSectionTextStr(Canvas, Text, Enabled, M, State, Section, DT_CENTER | DT_VCENTER | DT_SINGLELINE, T);
  } else {
    LOGFONTA Turned = LF;
    Turned.lfEscapement = Turned.lfOrientation = Pos == 2 ? -2700 : -900;
    if (std::string(Turned.lfFaceName) == "MS Sans Serif") strcpy(Turned.lfFaceName, "Arial");
    Turned.lfWeight = FW_NORMAL;
    HFONT Rotated = GdiNewFont(Turned);
    HGDIOBJ Old = SelectObject(Canvas->Handle(), Rotated);
    SetBkMode(Canvas->Handle(), TRANSPARENT);
    uint32_t Color = 0;
    if (M->SectionIndexInRange(Section)) Color = M->gd()[Section].Props[State == 2 ? 1 : 0].FontColor;
    SetTextColor(Canvas->Handle(), Color);
    SIZE S{};
    GetTextExtentPoint32A(Canvas->Handle(), Text, static_cast<int>(strlen(Text)), &S);
    // Turned text runs down (left tabs) or up (right tabs) from its starting point.
    const int X = Pos == 2 ? T.Left + (T.Width() + S.cy) / 2 : T.Left + (T.Width() - S.cy) / 2;
    const int Y = Pos == 2 ? T.Top + (T.Height() - S.cx) / 2 : T.Bottom - (T.Height() - S.cx) / 2;
    ExtTextOutA(Canvas->Handle(), X, Y, 0, nullptr, Text, static_cast<UINT>(strlen(Text)), nullptr);
    SelectObject(Canvas->Handle(), Old);
    GdiFreeObject(Rotated);
  }
}

void TvkTabControlWnd::DrawOwnerTab(TCustomTabControl* Tabs, int Index, int State, int Section, const TRect& At,
                                    TBitmap* Bmp) {
  auto* Canvas = static_cast<TControlCanvas*>(Tabs->Canvas());
  TsSkinManager* M = SkinData->SkinManager();
  // The handler's own font settings must not outlive its call.
  std::unique_ptr<TFont> Was(new TFont);
  Was->Assign(Canvas->Font());
  Canvas->PaintOn(Bmp->Canvas()->Handle(), [&] {
    Canvas->Font()->Assign(Tabs->Font());
    if (M != nullptr && M->SectionIndexInRange(Section))
      Canvas->Font()->SetColor(static_cast<TColor>(M->gd()[Section].Props[std::min(State, 2)].FontColor));
    SetBkMode(Canvas->Handle(), TRANSPARENT);
    Tabs->OnDrawTab(Tabs, Index, At, State == 2);
  });
  Canvas->Font()->Assign(Was.get());
}

void TvkTabControlWnd::PaintTabToDC(int Index, int State, HDC DC) {
  const TRect R = GetTabRect(Index, State == 2);
  if (R.Width() <= 0 || R.Height() <= 0) return;
  std::unique_ptr<TBitmap> B(NewBitmap32(R.Width(), R.Height()));
  BitBlt(B->Canvas()->Handle(), 0, 0, R.Width(), R.Height(), SkinData->CacheBmp->Canvas()->Handle(), R.Left, R.Top, SRCCOPY);
  PaintTab(Index, State, TPoint(-R.Left, -R.Top), B.get());
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), B->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TvkTabControlWnd::PaintTabs(const TvkBgCacheRef& Bg) {
  TBitmap* Cache = SkinData->CacheBmp;
  FillFromBackground(Cache->Canvas()->Handle(), GetTabStripRect(), Bg);
  const int Rows = std::max(1, static_cast<int>(SendMessageA(CtrlHandle, TCM_GETROWCOUNT, 0, 0)));
  const int Count = TabCount(), Current = CurrentTab();
  for (int Row = 1; Row <= Rows; ++Row)
    for (int I = 0; I < Count; ++I)
      if (I != Current && TabRow(I) == Row) PaintTab(I, 0, TPoint(), Cache);
}

std::string TvkTabControlWnd::PositionSection() const {
  if (SkinData->SkinSection() != "PAGECONTROL") return SkinData->SkinSection();
  static const char* const Suffix[4] = {"", "BOTTOM", "LEFT", "RIGHT"};
  const std::string Own = std::string("PAGECONTROL") + Suffix[TabPosition()];
  // A skin without the position's own section draws it with the plain one rather than leave it unskinned.
  TsSkinManager* M = SkinData->SkinManager();
  return M != nullptr && M->FindSectionIndex(Own) < 0 ? "PAGECONTROL" : Own;
}

void TvkTabControlWnd::PaintAll(TMessage& Message) {
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (SkinData->RecheckUpdating(false)) return;
  const bool OwnDC = Message.LParam != 1 && !InAnimationProcess && !(SkinData->StateFlags & sfPrinting);
  HDC DC = OwnDC ? GetDC(CtrlHandle) : reinterpret_cast<HDC>(Message.WParam);
  if (DC == nullptr) return;
  const int Saved = SaveDC(DC);
  SkinData->CacheDirty = true;
  TsSkinManager* M = SkinData->SkinManager();
  const bool Tabs = TabCount() > 0;
  const int Section = M != nullptr ? M->FindSectionIndex(Tabs ? PositionSection() : "TRANSPARENT") : -1;
  SkinData->SkinIndex = Section;
  TvkBgCacheRef Bg;
  AdapterParentBackground(this, Bg);
  PrepareCacheBitmap(SkinData);
  TBitmap* Cache = PrepareAdapterCache(this);
  if (M != nullptr) {
    if (Tabs) PaintTabs(Bg);
    const TRect P = GetPageRect();
    PaintSectionItem(Section, Bg, -1, -1, M, Cache, TPoint(P.Left, P.Top), P, 0);
  }
  SkinData->CacheDirty = false;
  const int Current = CurrentTab();
  // The active tab is painted after the rest: it is kept out of the clip until then, within the caller's clip.
  const int BeforeTab = SaveDC(DC);
  if (Tabs && Current >= 0) {
    const TRect Active = GetTabRect(Current, true);
    ExcludeClipRect(DC, Active.Left, Active.Top, Active.Right, Active.Bottom);
  }
  BitBlt(DC, 0, 0, WndSize.X, WndSize.Y, Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
  RestoreDC(DC, BeforeTab);
  if (Tabs && Current >= 0) PaintTabToDC(Current, 2, DC);
  if (auto* W = As<TWinControl>(SkinData->OwnerControl)) PaintGraphicChildren(DC, W, true, POINT{0, 0});
  RestoreDC(DC, Saved);
  if (OwnDC) ReleaseDC(CtrlHandle, DC);
}

void TvkTabControlWnd::UpdateUpDown() {
  if (!Skinned()) return;
  HWND Spin = FindWindowExA(CtrlHandle, nullptr, "msctls_updown32", nullptr);
  // The adapter stays while the child is the same window.
  if (UpDownAdapter != nullptr && (UpDownAdapter->CtrlHandle != Spin || UpDownAdapter->Detached)) {
    TvkMainWnd* U = UpDownAdapter;
    UpDownAdapter = nullptr;
    U->Free();
  }
  if (Spin != nullptr && UpDownAdapter == nullptr) {
    TvkSkinParams P;
    P.SkinSection = "UPDOWNBTN";
    UpDownAdapter = CreateAdapter<TvkSpinWnd>(Spin, nullptr, SkinData->SkinManager(), P, true);
  }
}

void TvkTabControlWnd::CommonPath(TMessage& Message) {
  const TPoint Old = WndSize;
  TvkMainWnd::WndProc(Message);
  if (!Skinned()) return;
  if (Message.Msg == WM_SIZE) {
    UpdateUpDown();
    GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
    // The control paints on erase: the grown area needs one, and so do the children it holds.
    if (WndSize.X > Old.X || WndSize.Y > Old.Y)
      RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  } else if (Message.Msg == CM_CONTROLLISTCHANGE) {
    UpdateUpDown();
  }
}

void TvkTabControlWnd::WndProc(TMessage& Message) {
  if (SkinData == nullptr) {
    TvkMainWnd::WndProc(Message);
    return;
  }
  const HWND W = CtrlHandle;
  TsSkinManager* M = SkinData->SkinManager();
  TControl* Owner = SkinData->OwnerControl;
  if (Message.Msg == SM_VKCMD) {
    const bool Ours = Message.LParam == reinterpret_cast<LPARAM>(M);
    switch (SkinCommandCode(Message.WParam)) {
      case VKCMD_SKIN_APPLIED:
        if (Ours) ProcessCommonSkinMessage(Message, SkinData);
        if (auto* C = As<TWinControl>(Owner))
          for (int I = 0; I < C->ControlCount(); ++I)
            if (auto* Child = As<TWinControl>(C->Controls(I)); Child != nullptr && !Child->HandleAllocated())
              Child->HandleNeeded();
        PassCommandToChildren(Owner, W, Message);
        return;
      case VKCMD_SKIN_DROPPED:
        if (Ours) {
          ProcessCommonSkinMessage(Message, SkinData);
          UpdateUpDown();
          PassCommandToChildren(Owner, W, Message);
          InvalidateRect(W, nullptr, TRUE);
          RedrawWindow(W, nullptr, nullptr, kRepaintAll);
        } else {
          PassCommandToChildren(Owner, W, Message);
        }
        return;
      case VKCMD_REPAINT_AFTER_CHANGE:
        if (Ours) {
          ProcessCommonSkinMessage(Message, SkinData);
          InvalidateRect(W, nullptr, TRUE);
          UpdateUpDown();
        }
        PassCommandToChildren(Owner, W, Message);
        return;
      case VKCMD_PARENT_UPDATE_DONE:
        if (Skinned() && SkinData->Updating) {
          if (!SkinData->RecheckUpdating(false)) InvalidateRect(W, nullptr, TRUE);
          if (auto* C = As<TWinControl>(Owner)) RepaintChildrenAfterUpdate(C);
          return;
        }
        break;
      case VKCMD_QUERY_SKINNED:
        Message.Result = 1;
        return;
      case VKCMD_QUERY_UPDATE_STATE:
        if (Skinned()) {
          Message.Result = SkinData->Updating ? 1 : 0;
          return;
        }
        break;
      case kQueryTabManager:
        Message.Result = reinterpret_cast<LRESULT>(M);
        return;
      case VKCMD_QUERY_PARENT_BG:
        if (Skinned()) {
          ProcessCommonSkinMessage(Message, SkinData);
          return;
        }
        break;
      default:
        break;
    }
    CommonPath(Message);
    return;
  }
  if (Skinned()) {
    switch (Message.Msg) {
      case WM_NCPAINT:
        return;
      case WM_PAINT: {
        PaintByInvalidation(W, false);
        if (UpDownAdapter != nullptr && !SkinData->CacheDirty)
          RedrawWindow(UpDownAdapter->CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
        return;
      }
      case WM_ERASEBKGND:
        if (IsWindowVisible(W)) {
          if (!InAnimationProcess) PaintAll(Message);
          UpdateUpDown();
          Message.Result = 1;
          return;
        }
        break;
      case WM_PRINT:
        UpdateUpDown();
        Message.LParam = 1;
        PaintAll(Message);
        if (UpDownAdapter != nullptr && !SkinData->CacheDirty)
          RedrawWindow(UpDownAdapter->CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
        return;
      case TCM_SETCURSEL:
        PerformMessage(WM_SETREDRAW, 0, 0);
        TvkMainWnd::WndProc(Message);
        PerformMessage(WM_SETREDRAW, 1, 0);
        // A page shown while redraw was off was never painted: the children are redrawn with the tabs.
        RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return;
      default:
        break;
    }
  }
  CommonPath(Message);
}

// ---- page controls ----

void TvkPageControlWnd::FinishCreation() {
  AdaptPages();
  TvkTabControlWnd::FinishCreation();
}

namespace {

struct TPageWalk {
  TvkPageControlWnd* Owner;
  TsSkinManager* Manager;
};

// Each direct child page without a skin gets a page adapter.
BOOL CALLBACK AdaptPage(HWND Child, LPARAM Data) {
  auto* W = reinterpret_cast<TPageWalk*>(Data);
  try {
    if (GetParent(Child) != W->Owner->CtrlHandle || AskSkinCommand(Child, VKCMD_QUERY_SKINNED)) return TRUE;
    char Name[64] = {};
    GetClassNameA(Child, Name, sizeof Name);
    if (std::string(Name) == "msctls_updown32") return TRUE;
    TvkSkinParams P;
    P.SkinSection = "TRANSPARENT";
    PageAdapters().push_back(CreateAdapter<TvkPageWnd>(Child, nullptr, W->Manager, P, true));
  } catch (...) {
    // A callback of the system: the failure is reported and the walk goes on.
    if (Application) Application->HandleException(nullptr);
  }
  return TRUE;
}

}  // namespace

void TvkPageControlWnd::AdaptPages() {
  TPageWalk Walk{this, reinterpret_cast<TsSkinManager*>(SendSkinCommand(CtrlHandle, kQueryTabManager, 0))};
  if (Walk.Manager == nullptr) return;
  EnumChildWindows(CtrlHandle, AdaptPage, reinterpret_cast<LPARAM>(&Walk));
}

void TvkPageControlWnd::WndProc(TMessage& Message) {
  if (!Skinned()) {
    TvkTabControlWnd::WndProc(Message);
    return;
  }
  switch (Message.Msg) {
    case TCM_SETCURSEL:
    case TCM_SETITEMW:
      if (SkinData->OwnerControl != nullptr) {
        AdaptPages();
        AskFormToAdaptControl(SkinData->OwnerControl);
      }
      break;
    case WM_PRINT: {
      UpdateUpDown();
      AdaptPages();
      SkinData->Updating = false;
      Message.LParam = 1;
      PaintAll(Message);
      if (UpDownAdapter != nullptr) {
        auto DC = reinterpret_cast<HDC>(Message.WParam);
        const int Saved = SaveDC(DC);
        RECT U{}, W{};
        GetWindowRect(UpDownAdapter->CtrlHandle, &U);
        GetWindowRect(CtrlHandle, &W);
        OffsetViewportOrgEx(DC, U.left - W.left, U.top - W.top, nullptr);
        IntersectClipRect(DC, 0, 0, U.right - U.left, U.bottom - U.top);
        UpDownAdapter->SkinData->Updating = false;
        SendMessageA(UpDownAdapter->CtrlHandle, WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        RestoreDC(DC, Saved);
      }
      return;
    }
    case WM_ERASEBKGND:
      if (IsWindowVisible(CtrlHandle)) {
        if (!InAnimationProcess) PaintAll(Message);
        Message.Result = 1;
        return;
      }
      break;
    case WM_NCPAINT:
      AdaptPages();
      return;
    case WM_PARENTNOTIFY:
      if (LOWORD(Message.WParam) == WM_CREATE) {
        AdaptPages();
        if (SkinData->OwnerControl != nullptr) AskFormToAdaptControl(SkinData->OwnerControl);
      } else if (LOWORD(Message.WParam) == WM_DESTROY) {
        AdaptPages();
      }
      break;
    default:
      break;
  }
  TvkTabControlWnd::WndProc(Message);
}

// ---- pages ----

void TvkPageWnd::FinishCreation() {
  Page = nullptr;
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  TvkMainWnd::FinishCreation();
}

void TvkPageWnd::PaintPage(TMessage& Message) {
  if (SkinData->RecheckUpdating(false)) return;
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  TvkParentBgQuery Q{};
  Q.OffsetX = WndPos.X;
  Q.OffsetY = WndPos.Y;
  Q.Area = TRect(0, 0, WndSize.X, WndSize.Y);
  QueryParentBackgroundWnd(Q, GetParent(CtrlHandle), false);
  if (Q.Kind == bgkBitmap && Q.Bmp != nullptr) {
    if (Q.Bmp->Empty()) SendMessageA(GetParent(CtrlHandle), WM_PAINT, reinterpret_cast<WPARAM>(Q.Bmp->Canvas()->Handle()), 0);
    if (!Q.Bmp->Empty()) {
      HDC DC = Message.WParam != 0 ? reinterpret_cast<HDC>(Message.WParam) : GetDC(CtrlHandle);
      BitBlt(DC, 0, 0, WndSize.X, WndSize.Y, Q.Bmp->Canvas()->Handle(), Q.OffsetX, Q.OffsetY, SRCCOPY);
      if (Message.WParam == 0) ReleaseDC(CtrlHandle, DC);
    }
  }
  Message.Result = 1;
}

void TvkPageWnd::WndProc(TMessage& Message) {
  const HWND W = CtrlHandle;
  const bool Skinned = SkinData != nullptr && SkinData->IsSkinned(false);
  if (Skinned) {
    switch (Message.Msg) {
      case WM_NCPAINT:
        return;
      case WM_PAINT:
        if (IsWindowVisible(W)) {
          PAINTSTRUCT PS{};
          BeginPaint(W, &PS);
          TMessage Own{WM_PAINT, 0, 0, 0};
          PaintPage(Own);
          EndPaint(W, &PS);
          return;
        }
        break;
      case WM_ERASEBKGND:
        if (IsWindowVisible(W)) {
          PaintPage(Message);
          Message.Result = 1;
          return;
        }
        break;
      case WM_PRINT:
        PaintPage(Message);
        SendMessageA(W, WM_PAINT, Message.WParam, 0);
        return;
      default:
        break;
    }
  }
  if (SkinData != nullptr && Message.Msg == SM_VKCMD) {
    const bool Ours = Message.LParam == reinterpret_cast<LPARAM>(SkinData->SkinManager());
    switch (SkinCommandCode(Message.WParam)) {
      case VKCMD_SKIN_APPLIED:
        if (Ours) ProcessSkinCommand(Message, SkinData);
        PassCommandToChildren(nullptr, W, Message);
        return;
      case VKCMD_SKIN_DROPPED:
      case VKCMD_REPAINT_AFTER_CHANGE:
        if (Ours) {
          ProcessCommonSkinMessage(Message, SkinData);
          InvalidateRect(W, nullptr, TRUE);
        }
        PassCommandToChildren(nullptr, W, Message);
        return;
      case VKCMD_PARENT_UPDATE_DONE:
        if (SkinData->Updating && !SkinData->RecheckUpdating(true)) RedrawWindow(W, nullptr, nullptr, kRepaintAll);
        return;
      case VKCMD_QUERY_SKINNED:
        Message.Result = 1;
        return;
      case VKCMD_QUERY_UPDATE_STATE:
        Message.Result = SkinData->Updating ? 1 : 0;
        return;
      case VKCMD_QUERY_PARENT_BG: {
        auto* Q = reinterpret_cast<TvkParentBgQuery*>(Message.LParam);
        if (Q == nullptr) return;
        GetWindowGeometry(W, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
        Q->OffsetX += WndPos.X;
        Q->OffsetY += WndPos.Y;
        QueryParentBackgroundWnd(*Q, GetParent(W), Q->PleaseDraw);
        return;
      }
      default:
        break;
    }
  }
  // A plain page gives its window back at WM_DESTROY already; the entry goes when the adapter has let go.
  const bool Gone = Message.Msg == WM_DESTROY || Message.Msg == WM_NCDESTROY;
  TvkMainWnd::WndProc(Message);
  if (Message.Msg == WM_PARENTNOTIFY && LOWORD(Message.WParam) == WM_CREATE) NotifyTopWindowAdapt(W);
  if (Gone && Detached && IsListed(this)) {
    // The page is gone: so is its entry, and the adapter with it (nothing touches it after this).
    auto& L = PageAdapters();
    L.erase(std::find(L.begin(), L.end(), this));
    Free();
  }
}
