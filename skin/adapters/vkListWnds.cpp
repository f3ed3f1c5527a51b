#include "skin/adapters/vkListWnds.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkntUtils.h"
#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"

IMPLEMENT_CLASS(TvkListViewWnd)
IMPLEMENT_CLASS(TvkGridWnd)
IMPLEMENT_CLASS(TvkTreeViewWnd)

namespace {

constexpr UINT kRepaintAll = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
constexpr int kReportView = 3;
constexpr int kListView = 2;
constexpr TColor kNoneColor = 0x1FFFFFFF;

bool Destroying(TComponent* C) { return C != nullptr && C->ComponentState().Contains(csDestroying); }
COLORREF Rgb(TColor C) { return static_cast<COLORREF>(ColorToRGB(C)); }
// A colour never stored (a foreign window's) gives the control its own default back.
COLORREF RgbOrDefault(TColor C, COLORREF Default) { return C == clNone ? Default : Rgb(C); }
// A colour saved from the control: a control's own colour, or a foreign window's colour reference as it was read
// (its default value among them), given back as it was; one never stored gives the control its own default back.
COLORREF SavedColorRef(TColor C, bool Foreign) {
  if (C == clNone) return CLR_DEFAULT;
  return Foreign ? static_cast<COLORREF>(C) : Rgb(C);
}

// The colour of a state of the skin data's section (a colour value), State limited to what the section has.
uint32_t StateColor(TsCommonData* SD, int State, bool Font) {
  const TsGeneralData* G = SD->Section();
  if (G == nullptr) return 0;
  const TsGenState& S = G->Props[std::clamp(State, 0, 2)];
  return Font ? S.FontColor : S.Color;
}

// Reads a colour property as RGB (0 when absent).
TColor ReadColor(TObject* Obj, const char* Name) { return GetObjColorPropRGB(Obj, Name); }

// Grid colours kept while skinned and put back after, by the property's name: on the grid, then on its look.
struct TKeptColor {
  const char* Name;
  TColor TvkGridWnd::*Kept;
};
constexpr TKeptColor kGridColors[] = {
    {"FixedColor", &TvkGridWnd::SavedFixedColor},
    {"FooterColor", &TvkGridWnd::SavedFooterColor},
    {"FooterCellColor", &TvkGridWnd::SavedFooterCellColor},
    {"TitleColor", &TvkGridWnd::SavedTitleColor},
    {"IndicatorIconColor", &TvkGridWnd::SavedIndicatorIconColor},
    {"SelectionColor", &TvkGridWnd::SavedSelectionColor},
    {"SelectionTextColor", &TvkGridWnd::SavedSelectionTextColor},
    {"GridLineColor", &TvkGridWnd::SavedGridLineColor},
    {"GridFixedLineColor", &TvkGridWnd::SavedGridFixedLineColor},
};
constexpr TKeptColor kLookColors[] = {
    {"FixedGradientFrom", &TvkGridWnd::SavedGradientFrom},
    {"FixedGradientTo", &TvkGridWnd::SavedGradientTo},
    {"FixedGradientMirrorFrom", &TvkGridWnd::SavedMirrorFrom},
    {"FixedGradientMirrorTo", &TvkGridWnd::SavedMirrorTo},
};

// The printing DC moved to the client's corner and clipped to the client less the shown bars; the state it had.
int EnterPrintedClient(TvkEditWnd* A, HDC DC) {
  const int Saved = SaveDC(DC);
  const int F = A->FrameWidth();
  OffsetViewportOrgEx(DC, F, F, nullptr);
  IntersectClipRect(DC, 0, 0,
                    A->WndSize.X - 2 * F - (A->VertBar->Shown ? ScrollBarDimension(A->VertBar, true) : 0),
                    A->WndSize.Y - 2 * F - (A->HorzBar->Shown ? ScrollBarDimension(A->HorzBar, true) : 0));
  return Saved;
}

}  // namespace

// ---- list views ----

int TvkListViewWnd::ViewStyle() const {
  switch (SendMessageA(CtrlHandle, LVM_GETVIEW, 0, 0)) {
    case LV_VIEW_ICON: return 0;
    case LV_VIEW_DETAILS: return kReportView;
    case LV_VIEW_SMALLICON: return 1;
    default: return kListView;
  }
}

void TvkListViewWnd::HookHeader(HWND Header) {
  if (Header == nullptr || HeaderHook == nullptr) return;
  HeaderWnd = Header;
  OldHeaderProc = SubclassWindowWith(Header, HeaderHook);
}

void TvkListViewWnd::UnhookHeader() {
  if (HeaderHook != nullptr) {
    // Puts the header's procedure back when the hook is still on top; otherwise the stub forwards.
    FreeObjectInstance(HeaderHook);
    HeaderHook = nullptr;
  }
  HeaderWnd = nullptr;
  OldHeaderProc = nullptr;
}

void TvkListViewWnd::RenewHeaderHook() {
  UnhookHeader();
  HeaderHook = MakeObjectInstance(TWndMethod(this, &TvkListViewWnd::HeaderWndProc));
}

void TvkListViewWnd::FinishCreation() {
  SkinData->CtrlType = ctListView;
  TvkEditWnd::FinishCreation();
  HotColumn = -1;
  HeaderHook = MakeObjectInstance(TWndMethod(this, &TvkListViewWnd::HeaderWndProc));
  PressedColumn = -1;
  HookHeader(FindWindowExA(CtrlHandle, nullptr, "SysHeader32", nullptr));
}

void TvkListViewWnd::StoreControlParams() {
  TvkEditWnd::StoreControlParams();
  if (!IsWindow(CtrlHandle)) return;
  if (TControl* C = SkinData->OwnerControl) {
    SavedColor = C->Color();
    SavedFontColor = C->Font()->Color();
  } else {
    SavedColor = static_cast<TColor>(SendMessageA(CtrlHandle, LVM_GETBKCOLOR, 0, 0));
    SavedFontColor = static_cast<TColor>(SendMessageA(CtrlHandle, LVM_GETTEXTCOLOR, 0, 0));
  }
}

void TvkListViewWnd::ApplySkinParams() {
  TvkEditWnd::ApplySkinParams();
  const HWND W = CtrlHandle;
  if (DlgMode) {
    SendMessageA(W, LVM_SETBKCOLOR, 0, Rgb(clWindow));
    SendMessageA(W, LVM_SETTEXTBKCOLOR, 0, Rgb(clWindow));
    SendMessageA(W, LVM_SETTEXTCOLOR, 0, Rgb(clWindowText));
    return;
  }
  const TsGeneralData* G = SkinData->Section();
  if (G == nullptr) return;
  const int State = SkinData->CurrentState() != 0 && G->States > 1 ? 1 : 0;
  if (!SkinData->CustomColor()) {
    SendMessageA(W, LVM_SETBKCOLOR, 0, StateColor(SkinData, State, false));
    SendMessageA(W, LVM_SETTEXTBKCOLOR, 0, StateColor(SkinData, State, false));
  }
  if (!SkinData->CustomFont()) SendMessageA(W, LVM_SETTEXTCOLOR, 0, StateColor(SkinData, State, true));
}

void TvkListViewWnd::RestoreControlParams() {
  UnhookHeader();
  TvkEditWnd::RestoreControlParams();
  if (!IsWindow(CtrlHandle)) return;
  TControl* C = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  SendMessageA(CtrlHandle, LVM_SETTEXTCOLOR, 0, SavedColorRef(SavedFontColor, C == nullptr));
  SendMessageA(CtrlHandle, LVM_SETTEXTBKCOLOR, 0, SavedColorRef(SavedColor, C == nullptr));
  // A control sets its own background; a foreign window's would keep the skin's colour.
  if (C != nullptr)
    C->SetColor(SavedColor);
  else
    SendMessageA(CtrlHandle, LVM_SETBKCOLOR, 0, SavedColorRef(SavedColor, true));
  RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE);
}

TRect TvkListViewWnd::GetHeaderItemRect(int Index) const {
  if ((GetWindowLongA(HeaderWnd, GWL_STYLE) & HDS_FULLDRAG) != 0) {
    const int Count = static_cast<int>(SendMessageA(HeaderWnd, HDM_GETITEMCOUNT, 0, 0));
    std::vector<int> Order(static_cast<size_t>(std::max(0, Count)));
    if (Count > 0 && SendMessageA(HeaderWnd, HDM_GETORDERARRAY, Count, reinterpret_cast<LPARAM>(Order.data())) &&
        Index >= 0 && Index < Count)
      Index = Order[static_cast<size_t>(Index)];
  }
  RECT R{};
  SendMessageA(HeaderWnd, HDM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R));
  return TRect(R);
}

int TvkListViewWnd::HeaderItemAtCursor(POINT Pos) const {
  if (SkinData->OwnerControl != nullptr) {
    ScreenToClient(CtrlHandle, &Pos);
  } else {
    RECT H{};
    GetWindowRect(HeaderWnd, &H);
    Pos.x -= H.left;
    Pos.y -= H.top;
  }
  const int Count = static_cast<int>(SendMessageA(HeaderWnd, HDM_GETITEMCOUNT, 0, 0));
  for (int I = 0; I < Count; ++I) {
    RECT R{};
    SendMessageA(HeaderWnd, HDM_GETITEMRECT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&R));
    if (PtInRect(&R, Pos)) return I;
  }
  return -2;
}

void TvkListViewWnd::PaintHeaderItem(const TRect& R, int Index, HDC DC) {
  TsSkinManager* M = SkinData->SkinManager();
  if (M == nullptr || R.Width() <= 0 || R.Height() <= 0) return;
  std::unique_ptr<TBitmap> B(NewBitmap32(R.Width(), R.Height()));
  int State;
  if (PressedColumn >= 0)
    State = Index == PressedColumn ? 2 : 0;
  else
    State = Index == HotColumn ? 1 : 0;
  int Section = M->FindSectionIndex("COLHEADER");
  if (Section < 0) Section = M->FindSectionIndex("BUTTON");
  TControl* C = SkinData->OwnerControl;
  PaintSectionOverDCCopy(B.get(), Section, -1, nullptr, static_cast<uint32_t>(ColorToRGB(C != nullptr ? C->Color() : clWindow)),
                         TPoint(), M, State);
  TCanvas* Canvas = B->Canvas();
  if (auto F = reinterpret_cast<HFONT>(SendMessageA(CtrlHandle, WM_GETFONT, 0, 0))) {
    LOGFONTA LF{};
    GetObjectA(F, sizeof LF, &LF);
    AssignLogFont(Canvas->Font(), LF);
  }
  SelectObject(Canvas->Handle(), Canvas->Font()->Handle());
  SetBkMode(Canvas->Handle(), TRANSPARENT);
  TRect TR(4, 1, R.Width() - 4, R.Height() - 1);
  if (Index >= 0) {
    char Text[1024] = {};
    HDITEMA Item{};
    Item.mask = 0xB6;
    Item.pszText = Text;
    Item.cchTextMax = sizeof Text;
    if (SendMessageA(HeaderWnd, HDM_GETITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Item))) {
      constexpr UINT Flags = DT_END_ELLIPSIS | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER;
      const int Kind = (Item.fmt & HDF_SORTDOWN) ? adDown : (Item.fmt & HDF_SORTUP) ? adUp : -1;
      const int Mask = Kind < 0 ? -1 : M->ConstData().Elements[Kind == adDown ? seUpDownBottom : seUpDownTop].GlyphIndex;
      const bool HasMask = M->MaskIndexInRange(Mask);
      // The sort mark keeps a gap of kSortGap after the text, glyph or drawn arrow alike.
      constexpr int kSortGap = 6;
      int ArrowW = 0, ArrowH = 0;
      if (Kind >= 0) {
        ArrowW = kSortGap + (HasMask ? M->ma()[Mask].Width : 6);
        ArrowH = HasMask ? M->ma()[Mask].Height : 3;
      }
      SIZE S{};
      GetTextExtentPoint32A(Canvas->Handle(), Text, static_cast<int>(strlen(Text)), &S);
      const int TextW = S.cx + 5;
      int Left = TR.Left;
      switch (Item.fmt & 0xFF & HDF_JUSTIFYMASK) {
        case HDF_RIGHT: Left = TR.Right - ArrowW - TextW; break;
        case HDF_CENTER: Left = TR.Left + (TR.Width() - TextW - ArrowW) / 2; break;
        default: break;
      }
      // A caption too wide for its column keeps its start and ends in an ellipsis before the sort mark.
      Left = std::max<int>(Left, TR.Left);
      TRect Text_(Left, TR.Top, std::max<int>(Left, std::min<int>(Left + TextW, TR.Right - ArrowW)), TR.Bottom);
      if (Kind >= 0) {
        const int AX = Text_.Right + kSortGap, AY = (R.Height() - ArrowH) / 2;
        if (HasMask) {
          TvkBgCacheRef Own;
          InitBgInfo(B.get(), 0, 0, Own);
          DrawSkinGlyph32(B.get(), TPoint(AX, AY), State, Own, M->ma()[Mask], 1);
        } else {
          PaintArrowPixels32(B.get(), M->SectionIndexInRange(Section) ? M->gd()[Section].Props[std::min(State, 2)].FontColor : 0,
                             TRect(AX, AY, AX + 6, AY + 3), Kind);
        }
      }
      if (State == 2 && (!SkinData->IsSkinned(false) || M->ButtonsOptions()->ShiftContentOnClick()))
        OffsetRect(Text_.AsRECT(), 1, 1);
      DrawSectionTextStr(Canvas, Text, IsWindowEnabled(CtrlHandle) != FALSE, M, State, Section, Flags, Text_);
    }
  }
  const bool Own = DC == nullptr;
  if (Own) DC = GetDC(HeaderWnd);
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), Canvas->Handle(), 0, 0, SRCCOPY);
  if (Own) ReleaseDC(HeaderWnd, DC);
}

void TvkListViewWnd::PaintHeader(HDC DC) {
  if (HeaderWnd == nullptr || ViewStyle() != kReportView) return;
  PAINTSTRUCT PS{};
  BeginPaint(HeaderWnd, &PS);
  const int Count = static_cast<int>(SendMessageA(HeaderWnd, HDM_GETITEMCOUNT, 0, 0));
  int Right = 0;
  for (int P = 0; P < Count; ++P) {
    const TRect R = GetHeaderItemRect(P);
    if (R.Width() > 0 && R.Height() > 0)
      PaintHeaderItem(R, static_cast<int>(SendMessageA(HeaderWnd, HDM_ORDERTOINDEX, static_cast<WPARAM>(P), 0)), DC);
    Right = std::max<int>(Right, R.Right);
  }
  if (Count == 0) Right = GetHeaderItemRect(0).Right;
  RECT H{};
  GetClientRect(HeaderWnd, &H);
  if (Right < H.right) PaintHeaderItem(TRect(Right, 0, H.right, H.bottom), -2, DC);
  EndPaint(HeaderWnd, &PS);
}

void TvkListViewWnd::ResetColumns() {
  if (PressedColumn < 0 && HotColumn < 0) return;
  PressedColumn = HotColumn = -1;
  PaintHeader(nullptr);
}

void TvkListViewWnd::HeaderWndProc(TMessage& M) {
  const HWND H = HeaderWnd;
  auto PassOn = [&] {
    if (OldHeaderProc != nullptr) M.Result = CallWindowProcA(OldHeaderProc, H, M.Msg, M.WParam, M.LParam);
  };
  if (Detached || ViewStyle() != kReportView) {
    PassOn();
    return;
  }
  switch (M.Msg) {
    case WM_NCDESTROY:
      PassOn();
      // The header is gone: its stub may go with it.
      RenewHeaderHook();
      return;
    case WM_PAINT:
      PaintHeader(nullptr);
      return;
    case WM_ERASEBKGND:
      M.Result = 1;
      return;
    case WM_NCHITTEST: {
      if (TsSkinManager* Mgr = SkinData->SkinManager(); Mgr != nullptr && Mgr->HotWindow() != CtrlHandle)
        Mgr->ChangeHotWindow(CtrlHandle);
      PassOn();
      // The item under the cursor is an item index already, as the painter's columns are.
      const int Item = HeaderItemAtCursor(POINT{static_cast<short>(LOWORD(M.LParam)), static_cast<short>(HIWORD(M.LParam))});
      if (Item != HotColumn) {
        HotColumn = Item;
        PaintHeader(nullptr);
      }
      return;
    }
    case WM_LBUTTONUP:
      PressedColumn = -1;
      PassOn();
      return;
    case WM_WINDOWPOSCHANGING:
      if (IsWindowVisible(CtrlHandle)) PerformMessage(WM_NCPAINT, 0, 0);
      PassOn();
      return;
    case WM_LBUTTONDOWN: {
      PassOn();
      HDHITTESTINFO Hit{};
      Hit.pt = POINT{static_cast<short>(LOWORD(M.LParam)), static_cast<short>(HIWORD(M.LParam))};
      const int Item = static_cast<int>(SendMessageA(H, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit)));
      PressedColumn = (Hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? -1 : Item;
      RedrawWindow(H, nullptr, nullptr, RDW_INVALIDATE);
      return;
    }
    default:
      PassOn();
      return;
  }
}

void TvkListViewWnd::ScrollTo(bool Vertical, TMessage& Message) {
  const HWND W = CtrlHandle;
  if (LOWORD(Message.WParam) != SB_THUMBTRACK) {
    // The skinned bar is no scroll-bar window: the control gets no bar handle.
    LPARAM NoBar = 0;
    Message.Result = ForwardToOldWndProc(W, Message.Msg, Message.WParam, NoBar);
    return;
  }
  const int Pos = Message.LParam != 0 ? static_cast<int>(Message.LParam) : HIWORD(Message.WParam);
  SCROLLINFO SI{};
  SI.cbSize = sizeof SI;
  SI.fMask = SIF_ALL;
  GetScrollInfo(W, Vertical ? SB_VERT : SB_HORZ, &SI);
  if (Pos == SI.nPos) return;
  int Diff = Pos - SI.nPos;
  if (Vertical && ViewStyle() == kReportView && SendMessageA(W, LVM_ISGROUPVIEWENABLED, 0, 0) == 0) {
    RECT Item{};
    Item.left = LVIR_BOUNDS;
    SendMessageA(W, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&Item));
    Diff *= Item.bottom - Item.top;
  } else if (!Vertical && ViewStyle() == kListView) {
    RECT Item{};
    Item.left = LVIR_BOUNDS;
    SendMessageA(W, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&Item));
    Diff *= Item.right - Item.left;
  }
  SendMessageA(W, LVM_SCROLL, Vertical ? 0 : Diff, Vertical ? Diff : 0);
}

void TvkListViewWnd::WndProc(TMessage& Message) {
  if (SkinData == nullptr || Detached) {
    TvkEditWnd::WndProc(Message);
    return;
  }
  const HWND W = CtrlHandle;
  switch (Message.Msg) {
    case WM_VSCROLL:
      ScrollTo(true, Message);
      return;
    case WM_HSCROLL:
      ScrollTo(false, Message);
      return;
    case WM_PRINT:
      GetWindowGeometry(W, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      if (!ParamsApplied) ApplySkinParams();
      PaintSolidRect(reinterpret_cast<HDC>(Message.WParam), TRect(0, 0, WndSize.X, WndSize.Y),
                     static_cast<uint32_t>(ColorToRGB(AppliedColor)));
      break;
    case SM_VKCMD:
      switch (SkinCommandCode(Message.WParam)) {
        case VKCMD_REPAINT_AFTER_CHANGE:
          if (Message.LParam != reinterpret_cast<LPARAM>(SkinData->SkinManager())) break;
          TvkEditWnd::WndProc(Message);
          PaintHeader(nullptr);
          return;
        case VKCMD_QUERY_SECTION_INDEX:
          if (Message.LParam != 0) reinterpret_cast<int32_t*>(Message.LParam)[1] = SkinData->SkinIndex;
          return;
        case VKCMD_MOUSE_LEFT:
          ProcessSkinCommand(Message, SkinData);
          ResetColumns();
          break;
        case VKCMD_SUSPEND_REDRAW:
          Message.Result = 1;
          return;
        default:
          if (ProcessSkinCommand(Message, SkinData)) return;
          break;
      }
      break;
    case WM_PAINT:
      ApplySkinParams();
      break;
    case WM_NCHITTEST:
      ResetColumns();
      break;
    case WM_NCPAINT:
      Message.Result = 0;
      TvkEditWnd::WndProc(Message);
      return;
    default:
      break;
  }
  TvkEditWnd::WndProc(Message);
  if (Detached) return;
  switch (Message.Msg) {
    case WM_PRINT:
      if (ViewStyle() == kReportView && HeaderWnd != nullptr) {
        auto DC = reinterpret_cast<HDC>(Message.WParam);
        const int Saved = EnterPrintedClient(this, DC);
        PaintHeader(DC);
        RestoreDC(DC, Saved);
      }
      break;
    case LVM_INSERTITEMA:
    case LVM_INSERTITEMW:  // the wide message adds items just the same
    case LVM_ARRANGE:
    case WM_STYLECHANGED:
      if (!SkinData->IsUpdating()) ReloadScrollBarInfo(this, true);
      break;
    case WM_PARENTNOTIFY:
      if (LOWORD(Message.WParam) == WM_CREATE) {
        char Name[97] = {};
        GetClassNameA(reinterpret_cast<HWND>(Message.LParam), Name, 96);
        if (std::string(Name) == "SysHeader32") {
          // A new header replaces the one hooked: that one gets its procedure back, the new one the hook.
          if (HeaderWnd != nullptr) RenewHeaderHook();
          HookHeader(reinterpret_cast<HWND>(Message.LParam));
        }
      }
      break;
    case WM_SIZE:
      SkinData->CacheDirty = true;
      PaintFrameCache();
      InvalidateRect(W, nullptr, TRUE);
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      ApplySkinParams();
      break;
    case WM_LBUTTONUP:
      ReleaseCapture();
      break;
    default:
      break;
  }
}

// ---- grids ----

void TvkGridWnd::StoreControlParams() {
  TvkEditWnd::StoreControlParams();
  TControl* C = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (C == nullptr) return;
  TObject* Look = ObjectPropOrNil(C, "ControlLook");
  for (const TKeptColor& K : kGridColors) this->*K.Kept = ReadColor(C, K.Name);
  SavedTitleFontColor = Look != nullptr ? ReadColor(C, "FixedFont.Color") : ReadColor(C, "TitleFont.Color");
  for (const TKeptColor& K : kLookColors) this->*K.Kept = ReadColor(Look, K.Name);
  if (ObjectHasProperty(C, "GridStyle.Title.StartColor")) SavedGradientFrom = ReadColor(C, "GridStyle.Title.StartColor");
  if (ObjectHasProperty(C, "GridStyle.Title.EndColor")) SavedGradientTo = ReadColor(C, "GridStyle.Title.EndColor");
  if (ObjectHasProperty(C, "LineColors.FixedColor")) SavedGridFixedLineColor = ReadColor(C, "LineColors.FixedColor");
  if (ObjectHasProperty(C, "LineColors.DataColor")) SavedGridLineColor = ReadColor(C, "LineColors.DataColor");
  // A gradient or title colour of "none" comes back as the face colour.
  for (TColor* Kept : {&SavedGradientFrom, &SavedGradientTo, &SavedMirrorFrom, &SavedMirrorTo, &SavedTitleColor})
    if (*Kept == kNoneColor || *Kept == static_cast<TColor>(ColorToRGB(kNoneColor))) *Kept = clBtnFace;
}

void TvkGridWnd::ApplySkinParams() {
  TvkEditWnd::ApplySkinParams();
  TControl* C = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  TsSkinManager* M = SkinData != nullptr ? SkinData->SkinManager() : nullptr;
  if (C == nullptr || M == nullptr) return;
  const uint32_t Main = M->PaletteColor(pcMainColor), Font = M->PaletteColor(pcLabelText);
  const uint32_t Border = M->PaletteColor(pcBorder), Line = M->PaletteColor(pcGridLine);
  const uint32_t EditBg = static_cast<uint32_t>(M->EditBackColor()), EditText = static_cast<uint32_t>(M->EditTextColor());
  SetObjPropValue(C, "FixedColor", Main);
  SetObjPropValue(C, "TitleFont.Color", Font);
  if (TObject* Look = ObjectPropOrNil(C, "ControlLook")) {
    SetObjPropValue(C, "FixedFont.Color", Font);
    SetObjPropValue(C, "GridFixedLineColor", Border);
    SetObjPropValue(C, "GridLineColor", Line);
    SetObjPropValue(Look, "FixedGradientFrom", WeightedColorMix(Main, EditBg, 127));
    SetObjPropValue(Look, "FixedGradientTo", Main);
    SetObjPropValue(Look, "FixedGradientMirrorFrom", WeightedColorMix(Main, 0, 243));
    SetObjPropValue(Look, "FixedGradientMirrorTo", WeightedColorMix(Main, 0xFFFFFF, 230));
    SetObjPropValue(C, "SelectionColor", M->SelectionBackColor(SkinData->Focused));
    SetObjPropValue(C, "SelectionTextColor", M->SelectionTextColor(SkinData->Focused));
  }
  SetObjPropValue(C, "GridStyle.Title.StartColor", WeightedColorMix(Main, EditBg, 127));
  SetObjPropValue(C, "GridStyle.Title.EndColor", Main);
  SetObjPropValue(C, "LineColors.FixedColor", Border);
  SetObjPropValue(C, "LineColors.DataColor", WeightedColorMix(EditBg, EditText, 205));
  SetObjPropValue(C, "LineColors.ShadowColor", WeightedColorMix(EditBg, EditText, 205));
  const int Edit = M->ConstData().Sections[ssEdit];
  const uint32_t EditColor = M->SectionIndexInRange(Edit) ? M->gd()[Edit].Props[0].Color : Main;
  SetObjPropValue(C, "FooterColor", EditColor);
  SetObjPropValue(C, "FooterCellColor", EditColor);
  SetObjPropValue(C, "TitleColor", EditColor);
  SetObjPropValue(C, "IndicatorIconColor", StateColor(SkinData, 0, true));
}

void TvkGridWnd::RestoreControlParams() {
  TvkEditWnd::RestoreControlParams();
  TControl* C = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (C == nullptr || Destroying(C)) return;
  TObject* Look = ObjectPropOrNil(C, "ControlLook");
  for (const TKeptColor& K : kGridColors) SetObjPropValue(C, K.Name, this->*K.Kept);
  SetObjPropValue(C, Look != nullptr ? "FixedFont.Color" : "TitleFont.Color", SavedTitleFontColor);
  for (const TKeptColor& K : kLookColors) SetObjPropValue(Look, K.Name, this->*K.Kept);
  SetObjPropValue(C, "GridStyle.Title.StartColor", SavedGradientFrom);
  SetObjPropValue(C, "GridStyle.Title.EndColor", SavedGradientTo);
  SetObjPropValue(C, "LineColors.FixedColor", SavedGridFixedLineColor);
  SetObjPropValue(C, "LineColors.DataColor", SavedGridLineColor);
  SetObjPropValue(C, "LineColors.ShadowColor", SavedGridLineColor);
}

void TvkGridWnd::WndProc(TMessage& Message) {
  if (SkinData == nullptr || Detached) {
    TvkEditWnd::WndProc(Message);
    return;
  }
  const HWND W = CtrlHandle;
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      SkinData->Updating = SkinData->IsUpdating();
      Message.Result = 1;
      return;
    case WM_VSCROLL:
      if (TControl* C = SkinData->OwnerControl; C != nullptr && ObjectHasProperty(C, "DataSource")) {
        const int Code = LOWORD(Message.WParam);
        if (Code == SB_THUMBPOSITION || Code == SB_THUMBTRACK) {
          SCROLLINFO SI{};
          SI.cbSize = sizeof SI;
          SI.fMask = SIF_ALL;
          GetScrollInfo(W, SB_VERT, &SI);
          SI.nPos = SI.nTrackPos;
          SetScrollInfo(W, SB_VERT, &SI, FALSE);
        } else if (Code == SB_ENDSCROLL && C->ClassName() != "TwwDBGrid" && VertBar != nullptr) {
          SendScrollMessage(W, WM_VSCROLL, SB_THUMBPOSITION, VertBar->ScrollInfo.nPos);
        }
      }
      break;
    case WM_LBUTTONUP:
      if (VertBar != nullptr && VertBar->Shown) {
        POINT P{};
        SafeGetCursorPos(P);
        TRect R;
        GetVertScrollBarRect(this, W, R);
        if (P.x >= R.Left && P.x < R.Right && P.y >= R.Top && P.y < R.Bottom) {
          Message.Result = ScrollWndButtonUp(this, W, Message.WParam, Message.LParam);
          return;
        }
      }
      break;
    case WM_PRINT: {
      TvkEditWnd::WndProc(Message);
      auto DC = reinterpret_cast<HDC>(Message.WParam);
      const int Saved = EnterPrintedClient(this, DC);
      SendMessageA(W, WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
      RestoreDC(DC, Saved);
      return;
    }
    default:
      break;
  }
  TvkEditWnd::WndProc(Message);
  if (Detached) return;
  if (Message.Msg == WM_PAINT)
    ReloadScrollBarInfo(this, true);
  else if (Message.Msg == WM_WINDOWPOSCHANGED && IsWindowVisible(W))
    PerformMessage(WM_NCPAINT, 0, 0);
}

// ---- tree views ----

void TvkTreeViewWnd::ApplySkinParams() {
  TvkEditWnd::ApplySkinParams();
  const HWND W = CtrlHandle;
  if (DlgMode) {
    SendMessageA(W, TVM_SETBKCOLOR, 0, Rgb(clWindow));
    SendMessageA(W, TVM_SETTEXTCOLOR, 0, Rgb(clWindowText));
    return;
  }
  if (SkinData == nullptr) return;
  TControl* C = SkinData->OwnerControl;
  const int State = SkinData->CurrentState();
  const uint32_t Back = SkinData->CustomColor() && C != nullptr ? Rgb(C->Color()) : StateColor(SkinData, State, false);
  const uint32_t Text = SkinData->CustomFont() && C != nullptr ? Rgb(C->Font()->Color()) : StateColor(SkinData, State, true);
  if (C != nullptr) {
    if (static_cast<uint32_t>(C->Font()->Color()) != Text) C->Font()->SetColor(static_cast<TColor>(Text));
    if (static_cast<uint32_t>(C->Color()) != Back) SendMessageA(W, TVM_SETBKCOLOR, 0, Back);
  } else {
    SendMessageA(W, TVM_SETBKCOLOR, 0, Back);
  }
  SendMessageA(W, TVM_SETTEXTCOLOR, 0, Text);
}

void TvkTreeViewWnd::RestoreControlParams() {
  TvkEditWnd::RestoreControlParams();
  if (!IsWindow(CtrlHandle)) return;
  SendMessageA(CtrlHandle, TVM_SETBKCOLOR, 0, RgbOrDefault(SavedColor, static_cast<COLORREF>(-1)));
  SendMessageA(CtrlHandle, TVM_SETTEXTCOLOR, 0, RgbOrDefault(SavedFontColor, static_cast<COLORREF>(-1)));
}

void TvkTreeViewWnd::WndProc(TMessage& Message) {
  if (SkinData == nullptr || Detached) {
    TvkEditWnd::WndProc(Message);
    return;
  }
  const HWND W = CtrlHandle;
  switch (Message.Msg) {
    case WM_ERASEBKGND: {
      if (!SkinData->IsSkinned(false)) {
        Message.Result = ForwardToOldWndProc(W, Message.Msg, Message.WParam, Message.LParam);
        return;
      }
      // The tree paints its own background unless its parent is updating.
      if (!SkinData->RecheckUpdating(false)) return;
      if (SkinData->CacheDirty) PaintFrameCache();
      HDC DC = Message.WParam != 0 ? reinterpret_cast<HDC>(Message.WParam) : GetWindowDC(W);
      TControl* C = SkinData->OwnerControl;
      uint32_t Color;
      if (DlgMode)
        Color = Rgb(clWindow);
      else if (SkinData->CustomColor())
        Color = Rgb(C != nullptr ? C->Color() : clWindow);
      else
        Color = StateColor(SkinData, SkinData->Focused || (SkinData->Hot && CanShowHotState(SkinData, true)) ? 1 : 0, false);
      PaintSolidRect(DC, TRect(0, 0, WndSize.X, WndSize.Y), Color & 0xFFFFFF);
      if (Message.WParam == 0) ReleaseDC(W, DC);
      Message.Result = 1;
      return;
    }
    case WM_LBUTTONUP:
      TvkEditWnd::WndProc(Message);
      ReleaseCapture();
      return;
    default:
      break;
  }
  TvkEditWnd::WndProc(Message);
}
