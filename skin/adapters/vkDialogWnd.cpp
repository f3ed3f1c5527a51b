#include "skin/adapters/vkDialogWnd.h"

#include <algorithm>

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/GraphicsGdi.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkContainerMessages.h"
#include "skin/adapters/vkEditWnd.h"
#include "skin/adapters/vkDials.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkStaticWnds.h"
#include "skin/adapters/vkSystemMenu.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormAnimation.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/sSkinProviderMetrics.h"
#include "skin/forms/vkBorderForm.h"
#include "skin/forms/vkFormTimers.h"
#include "skin/forms/vkSBAnimation.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkKeyRegions.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"
#include "skin/graphics/vkTextGlow.h"
#include "skin/graphics/ToolkitStartup.h"

IMPLEMENT_CLASS(TvkDialogWnd)

namespace {

constexpr UINT kRedrawAll = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;  // 0x585
constexpr WPARAM kDragMove = 0xF012;  // SC_MOVE with HTCAPTION

int GET_X_LPARAM(LPARAM L) { return static_cast<short>(LOWORD(L)); }
int GET_Y_LPARAM(LPARAM L) { return static_cast<short>(HIWORD(L)); }

// Title-button mask kinds (TitleMaskNames order).
enum : uint8_t { tkCloseAlone = 0, tkClose = 1, tkMax = 2, tkMin = 3, tkNorm = 4, tkHelp = 5 };

// One region update at a time for all dialogs of the thread.
bool g_RegionUpdating = false;

int WndWidth(HWND W) { return WindowRectWidth(W); }
int WndHeight(HWND W) { return WindowRectHeight(W); }

int MaskIndexOf(TsSkinManager* M, uint8_t Kind) {
  return M != nullptr && Kind < kTitleMaskCount ? M->ConstData().TitleMasks[Kind] : -1;
}

}  // namespace

// ---- unit helpers ----

void BroadcastToChildren(HWND Wnd, TMessage& Message) {
  for (HWND C = GetTopWindow(Wnd); C != nullptr; C = GetNextWindow(C, GW_HWNDNEXT))
    SendMessageA(C, Message.Msg, Message.WParam, Message.LParam);
}

namespace {

struct TExcludeCtx {
  HDC DC;
  HWND Parent;
};

BOOL CALLBACK ExcludeChild(HWND C, LPARAM L) {
  try {
    auto* X = reinterpret_cast<TExcludeCtx*>(L);
    if (GetParent(C) != X->Parent || !IsWindowVisible(C)) return TRUE;
    const LONG Style = GetWindowLongA(C, GWL_STYLE);
    const std::string Cls = WindowClassNameOf(C);
    // Group boxes and tab-stop statics are transparent: the background must show through them.
    if (lstrcmpiA(Cls.c_str(), "button") == 0 && (Style & BS_TYPEMASK) == BS_GROUPBOX) return TRUE;
    // Tab-stop statics, and the frames and etched lines the system draws over the background, show it through.
    if (lstrcmpiA(Cls.c_str(), "static") == 0 && ((Style & WS_TABSTOP) != 0 || IsFrameStaticType(Style & SS_TYPEMASK)))
      return TRUE;
    RECT R;
    GetWindowRect(C, &R);
    MapWindowPoints(nullptr, X->Parent, reinterpret_cast<POINT*>(&R), 2);
    ExcludeClipRect(X->DC, R.left, R.top, R.right, R.bottom);
  } catch (...) {
    if (Application != nullptr) Application->HandleException(nullptr);
  }
  return TRUE;
}

}  // namespace

void ExcludeChildWindows(HDC DC, HWND Parent) {
  TExcludeCtx Ctx{DC, Parent};
  EnumChildWindows(Parent, ExcludeChild, reinterpret_cast<LPARAM>(&Ctx));
}

// ---- creation ----

void TvkDialogWnd::FinishCreation() {
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("DIALOG");
  TvkScrollWnd::FinishCreation();
  ChildrenAdopted = false;
  RegionDirty = true;
  FrameKind = 1;
  Active = true;
  OwnClientPaint = WindowsMajorVersion() >= 6;
  CaptionSection = -1;
  TitleSection = -1;
  SysMenu = new TvkSystemMenu(nullptr);
  SysMenu->Dialog = this;
  SysMenu->RefreshItems();
  SkinData->Updating = true;
  SetClassLongA(CtrlHandle, GCL_STYLE, GetClassLongA(CtrlHandle, GCL_STYLE) & ~CS_SAVEBITS);
  SetDwmTransitionsForceDisabled(CtrlHandle, true, 0);
  if (SkinManager != nullptr && SkinManager->SkinnedPopups() && SkinManager->SkinableMenus() != nullptr &&
      FormServices.InitPopupMenu)
    FormServices.InitPopupMenu(SkinManager->SkinableMenus(), SysMenu->Menu, true);
  SetButtonKinds();
}

void TvkDialogWnd::InitFrame() {
  SavedStyle = GetWindowLongA(CtrlHandle, GWL_STYLE);
  SavedExStyle = GetWindowLongA(CtrlHandle, GWL_EXSTYLE);
  if ((SavedStyle & DS_MODALFRAME) != 0 && (SavedStyle & WS_THICKFRAME) == 0)
    FrameKind = 0;
  else if ((static_cast<DWORD>(SavedStyle) & 0x80C00000u) == 0x80000000u)
    FrameKind = 2;
  else
    FrameKind = 3;
  MakeIconBitmap();
  SetButtonKinds();
  NONCLIENTMETRICSA NCM{};
  NCM.cbSize = 340;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, NCM.cbSize, &NCM, 0)) {
    NCM.lfCaptionFont.lfCharSet = DEFAULT_CHARSET;
    if (HFONT F = GdiNewFont(NCM.lfCaptionFont)) {
      if (CaptionFont == nullptr) CaptionFont = new TFont();
      {
        TFont Look;
        Look.SetHandle(F);
        CaptionFont->Assign(&Look);
      }
      // The caption font made its own handle from the description; a borrowed one would never be freed.
      GdiFreeObject(F);
    }
  }
  // The skin draws the title buttons and the menu from now on.
  SetWindowLongA(CtrlHandle, GWL_STYLE, SavedStyle & ~WS_SYSMENU);
  // The menu's items follow the frame kind now known.
  if (SysMenu != nullptr) SysMenu->RefreshItems();
  SetBorderForm(SkinManager != nullptr && SkinManager->ExtendedBorders());
}

void TvkDialogWnd::SetButtonKinds() {
  TsSkinManager* M = SkinManager;
  if (M == nullptr || !M->MaskIndexInRange(MaskIndexOf(M, tkCloseAlone))) return;
  MinButton.Code = HTMINBUTTON;
  MaxButton.Code = HTMAXBUTTON;
  CloseButton.Code = HTCLOSE;
  HelpButton.Code = HTHELP;
  TitleSection = M->ConstData().Sections[ssDialogTitle];
  if (FrameKind == 2) {
    auto Small = [M](TvkDlgTitleButton& B, uint8_t Kind) {
      B.MaskKind = Kind;
      const int I = MaskIndexOf(M, Kind);
      B.SingleImage = M->MaskIndexInRange(I) && M->ma()[I].ImageCount <= 1;
    };
    Small(CloseButton, 6);
    Small(MinButton, 8);
    Small(MaxButton, 7);
    Small(HelpButton, 10);
  } else {
    CloseButton.MaskKind = HasMaxBox() || HasMinBox() ? tkClose : tkCloseAlone;
    MinButton.MaskKind = tkMin;
    MaxButton.MaskKind = tkMax;
    HelpButton.MaskKind = tkHelp;
    CloseButton.SingleImage = MinButton.SingleImage = MaxButton.SingleImage = HelpButton.SingleImage = true;
  }
}

void TvkDialogWnd::MakeIconBitmap() {
  HICON Icon = reinterpret_cast<HICON>(SendMessageA(CtrlHandle, WM_GETICON, ICON_SMALL, 0));
  if (Icon == nullptr) Icon = reinterpret_cast<HICON>(SendMessageA(CtrlHandle, WM_GETICON, ICON_BIG, 0));
  IconHandle = Icon;
  if (Icon == nullptr) return;
  const int CX = GetSystemMetrics(SM_CXSMICON), CY = GetSystemMetrics(SM_CYSMICON);
  if (IconBitmap == nullptr) IconBitmap = new TBitmap();
  IconBitmap->SetWidth(CX);
  IconBitmap->SetHeight(CY);
  IconBitmap->Canvas()->Brush()->SetColor(static_cast<TColor>(0xFF00FF));
  IconBitmap->Canvas()->FillRect(TRect(0, 0, CX, CY));
  HICON Copy = static_cast<HICON>(CopyImage(Icon, IMAGE_ICON, CX, CY, LR_COPYFROMRESOURCE));
  DrawIconEx(IconBitmap->Canvas()->Handle(), 0, 0, Copy != nullptr ? Copy : Icon, CX, CY, 0, nullptr, DI_NORMAL);
  if (Copy != nullptr) DestroyIcon(Copy);
}

void TvkDialogWnd::RestoreControlParams() {
  TvkScrollWnd::RestoreControlParams();
  // The window's own frame back: its system menu and no region.
  if (CtrlHandle != nullptr && IsWindow(CtrlHandle) && SavedStyle != 0) {
    if ((SavedStyle & WS_SYSMENU) != 0)
      SetWindowLongA(CtrlHandle, GWL_STYLE, GetWindowLongA(CtrlHandle, GWL_STYLE) | WS_SYSMENU);
    SetWindowRgn(CtrlHandle, nullptr, FALSE);
    SetWindowPos(CtrlHandle, nullptr, 0, 0, 0, 0, kFrameChangeFlags | SWP_NOACTIVATE);
  }
}

void TvkDialogWnd::FreeSnapshot() {
  if (Snapshot != nullptr) Snapshot->Free();
  Snapshot = nullptr;
  SnapshotOwned = false;
}

void TvkDialogWnd::ReturnWindow() {
  // the fades of the title buttons stand over a frame the dialog no longer has
  FreeButtonAnimations();
  TvkScrollWnd::ReturnWindow();
  RemoveSkinFrame();
  // what the skin drew on the dialog and its children is drawn anew by their own procedures
  if (IsWindowVisible(CtrlHandle))
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TvkDialogWnd::ReleaseOwnObjects() {
  FreeButtonAnimations();
  if (MoveTimer != nullptr) MoveTimer->Free();
  MoveTimer = nullptr;
  SetBorderForm(false);
  FreeSnapshot();
  if (SysMenu != nullptr) SysMenu->Free();
  SysMenu = nullptr;
  delete IconBitmap;
  IconBitmap = nullptr;
  delete TitleCache;
  TitleCache = nullptr;
  delete CaptionFont;
  CaptionFont = nullptr;
  GdiFreeObject(FBrush);
  FBrush = nullptr;
  TvkScrollWnd::ReleaseOwnObjects();
}

// ---- geometry ----

int TvkDialogWnd::CaptionHeight(bool UseSkin) {
  if ((GetWindowLongA(CtrlHandle, GWL_STYLE) & WS_CAPTION) == 0 && !IsIconic(CtrlHandle)) return 0;
  if (UseSkin)
    if (const int H = GetSkinCaptionHeight(BorderForm); H != 0) return H;
  return GetSystemMetrics(SM_CYCAPTION);
}

int TvkDialogWnd::FrameWidth() { return GetFrameWidthWithoutBorderWindow(CtrlHandle, nullptr, true); }

// The client's real place in the window: children ask for their background by it, and a guess from the frame
// width alone is off by the bottom border.
// With a border form the cache reaches beyond the window by the border window's indents.
int TvkDialogWnd::ClientOffsetX() {
  return ClientOriginInWindow(CtrlHandle).x + (BorderForm != nullptr ? BorderForm->GetLeftIndent() : 0);
}

int TvkDialogWnd::ClientOffsetY() {
  return ClientOriginInWindow(CtrlHandle).y + (BorderForm != nullptr ? BorderForm->GetTopIndent() : 0);
}

// The skin's icon offset moves the icon along the caption; its top offset moves it down only beside a border
// window, whose caption the skin draws whole.
TRect TvkDialogWnd::IconRect() {
  const int CX = GetSystemMetrics(SM_CXSMICON), CY = GetSystemMetrics(SM_CYSMICON);
  const TRect M = GetShadowMargins();
  const TsSkinData* D = SkinManager != nullptr ? &SkinManager->SkinData() : nullptr;
  const int Left = M.Left + CacheFrameWidth() + (D != nullptr ? D->BILeft : 0);
  const int Top = (M.Top + CaptionBottom() - CY) / 2 + (BorderForm != nullptr && D != nullptr ? D->BITop : 0);
  return TRect(Left, Top, Left + CX, Top + CY);
}

void TvkDialogWnd::TitleButtonBand(int& Top, int& Bottom) {
  // A zoomed window's frame lies beyond the screen's edge: the buttons are centred in the caption that shows.
  int Shift = IsZoomed(CtrlHandle) ? FrameWidth() / 2 : 0;
  if (BorderForm != nullptr && SkinManager != nullptr) Shift += SkinManager->SkinData().BITop;
  Top = GetShadowMargins().Top + Shift;
  Bottom = CaptionBottom() + Shift;
}

int TvkDialogWnd::CacheFrameWidth() {
  return BorderForm != nullptr ? GetWindowFrameWidth(CtrlHandle, BorderForm, true) : FrameWidth();
}

int TvkDialogWnd::CaptionBottom() {
  return BorderForm != nullptr ? ClientOffsetY() : FrameWidth() + CaptionHeight(true);
}

int TvkDialogWnd::ButtonWidth(const TvkDlgTitleButton& B) {
  const int I = MaskIndexOf(SkinManager, B.MaskKind);
  return SkinManager != nullptr && SkinManager->MaskIndexInRange(I) ? SkinManager->ma()[I].Width : 21;
}

int TvkDialogWnd::ButtonHeight(const TvkDlgTitleButton& B) {
  const int I = MaskIndexOf(SkinManager, B.MaskKind);
  return SkinManager != nullptr && SkinManager->MaskIndexInRange(I) ? SkinManager->ma()[I].Height : 21;
}

std::vector<TvkDlgTitleButton*> TvkDialogWnd::PlacedButtons() {
  std::vector<TvkDlgTitleButton*> Out;
  if (!HasSysMenu()) return Out;
  Out.push_back(&CloseButton);
  if (HasMaxBox()) Out.push_back(&MaxButton);
  // an iconic dialog is restored through this button even without a minimize box
  if (HasMinBox() || IsIconic(CtrlHandle)) Out.push_back(&MinButton);
  if (HasHelp()) Out.push_back(&HelpButton);
  return Out;
}

int TvkDialogWnd::ButtonsWidth() {
  int W = 0;
  for (const TvkDlgTitleButton* B : PlacedButtons()) W += ButtonWidth(*B);
  return W;
}

// ---- capabilities ----

bool TvkDialogWnd::CanClose() {
  return HasSysMenu() && (GetClassLongA(CtrlHandle, GCL_STYLE) & CS_NOCLOSE) == 0;
}
bool TvkDialogWnd::CanMaximize() { return HasMaxBox() && !IsZoomed(CtrlHandle) && (FrameKind == 1 || FrameKind == 3); }
bool TvkDialogWnd::CanMinimize() { return HasMinBox() && !IsIconic(CtrlHandle); }
bool TvkDialogWnd::CanRestore() { return HasMaxBox() && (IsIconic(CtrlHandle) || IsZoomed(CtrlHandle)); }

TvkDlgTitleButton* TvkDialogWnd::ButtonByCode(int HitCode) {
  switch (HitCode) {
    case HTMINBUTTON: return &MinButton;
    case HTMAXBUTTON: return &MaxButton;
    case HTCLOSE: return &CloseButton;
    case HTHELP: return &HelpButton;
    default: return nullptr;
  }
}

// ---- painting ----

void TvkDialogWnd::PaintFrame() {
  const TRect M = GetShadowMargins();
  const int XF = ExtraFrameWidth();
  const int W = WndWidth(CtrlHandle) + 2 * XF + M.Left + M.Right;
  const int H = WndHeight(CtrlHandle) + (BorderForm != nullptr ? BorderForm->GetTopIndent() + XF + M.Bottom : 0);
  TBitmap* Cache = SkinData->CacheBmp;
  if (W <= 0 || H <= 0 || Cache == nullptr) return;
  Cache->SetPixelFormat(pf32bit);
  Cache->SetWidth(W);
  Cache->SetHeight(H);
  RegionDirty = true;
  if (SkinData->IsSkinned(false)) {
    TvkBgCacheRef None{};
    const TRect Inner(M.Left, M.Top, W - M.Right, H - M.Bottom);
    // In border mode 1 the border window's picture is the frame: the section's own would show inside it.
    if (BorderForm != nullptr && SkinManager != nullptr && SkinManager->SkinData().BorderMode == 1)
      PaintSectionBackground(SkinData->SkinIndex, None, ActivityState(), 0xFF00FF, -1, -1, SkinManager, Cache,
                             TPoint(Inner.Left, Inner.Top), Inner);
    else
      RenderControlSkin(SkinData, None, false, Cache, TPoint(Inner.Left, Inner.Top), Inner, ActivityState());
    if (CaptionHeight(true) > 0) LayoutTitleButtons();
    PaintCaption();
    CopyTitleCache();
    if (CaptionHeight(true) > 0) PlaceTitleButtons();
    if (BorderForm != nullptr && SkinManager != nullptr)
      PaintExtendedBorderInto(Cache, SkinManager->ExtBorderBitmap(Active), M);
  }
  SkinData->CacheDirty = false;
}

void TvkDialogWnd::PaintCaption() {
  const int CH = CaptionHeight(true);
  if (CH <= 0 || SkinManager == nullptr) return;
  TsSkinManager* Mgr = SkinManager;
  TBitmap* Cache = SkinData->CacheBmp;
  const TRect M = GetShadowMargins();
  const int FW = CacheFrameWidth(), W = Cache->Width();
  const int State = Active ? 1 : 0;
  TvkBgCacheRef Self;
  InitBgInfo(Cache, 0, 0, Self);
  const TRect Band(M.Left + FW, M.Top + FW, W - M.Right - FW, CaptionBottom());
  if (Mgr->SectionIndexInRange(TitleSection))
    PaintSectionItem(TitleSection, Self, -1, -1, Mgr, Cache, TPoint(0, 0), Band, State);
  // Every caption shows an icon, the system's application icon when the window has none: the text starts after
  // it, and a click on it opens the menu.
  const TRect IR = IconRect();
  HICON Icon = IconHandle != nullptr ? IconHandle : LoadIconA(nullptr, IDI_APPLICATION);
  DrawIconEx(Cache->Canvas()->Handle(), IR.Left, IR.Top, Icon, IR.Width(), IR.Height(), 0, nullptr, DI_NORMAL);
  TCanvas* C = Cache->Canvas();
  if (CaptionFont != nullptr) C->Font()->Assign(CaptionFont);
  // Up to the leftmost button actually placed, spacing included.
  int Right = Band.Right;
  for (const TvkDlgTitleButton* B : PlacedButtons()) Right = std::min(Right, B->Rect.Left);
  TRect T(IR.Right + 4, Band.Top, Right - 6, Band.Bottom);
  if (T.Right <= T.Left) return;
  const std::string Text = WideToAnsi(Caption);
  UINT Flags = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
  if ((SavedExStyle & (WS_EX_LAYOUTRTL | WS_EX_RTLREADING)) != 0) Flags |= DT_RIGHT | DT_RTLREADING;
  const bool OwnTextSection = CaptionSection >= 0 && Mgr->SectionIndexInRange(CaptionSection);
  const int TextSection = OwnTextSection ? CaptionSection : TitleSection >= 0 ? TitleSection : SkinData->SkinIndex;
  const int TextState = Mgr->SectionIndexInRange(TextSection)
                            ? std::min(State, std::clamp(Mgr->gd()[TextSection].States, 1, 3) - 1)
                            : State;
  if (OwnTextSection) {
    TRect Behind = T;
    DrawTextA(C->Handle(), Text.c_str(), -1, reinterpret_cast<RECT*>(&Behind), Flags | DT_CALCRECT);
    Behind.Top = T.Top;
    Behind.Bottom = T.Bottom;
    InflateRect(reinterpret_cast<RECT*>(&Behind), 4, 2);
    PaintSectionItem(CaptionSection, Self, -1, -1, Mgr, Cache, TPoint(0, 0), Behind, TextState);
  }
  if (Mgr->Effects()->AllowGlowing() && Mgr->SectionIndexInRange(TextSection)) {
    const TsGenState& S = Mgr->gd()[TextSection].Props[TextState];
    if (S.GlowSize > 0) {
      TBitmap* Mask = nullptr;  // the caption changes with every frame paint that draws it
      DrawTextGlow(Cache, Text, T, Mask, S.GlowColor, S.GlowSize, 0, Flags);
      delete Mask;
    }
  }
  DrawSectionTextStr(C, Text, true, Mgr, TextState, TextSection, Flags, T);
}

void TvkDialogWnd::LayoutTitleButtons() {
  int Top, Bottom;
  TitleButtonBand(Top, Bottom);
  int X = SkinData->CacheBmp->Width() - GetShadowMargins().Right - CacheFrameWidth();
  MaxButton.MaskKind = IsZoomed(CtrlHandle) ? tkNorm : tkMax;
  MinButton.MaskKind = IsIconic(CtrlHandle) ? tkNorm : tkMin;
  for (TvkDlgTitleButton* B : PlacedButtons()) {
    const int BW = ButtonWidth(*B), BH = ButtonHeight(*B);
    X -= BW;
    B->Rect = TRect(X, (Top + Bottom - BH) / 2, X + BW, (Top + Bottom - BH) / 2 + BH);
    X -= SkinManager != nullptr ? SkinManager->SkinData().BISpace : 0;
  }
}

void TvkDialogWnd::PlaceTitleButtons() {
  // While fades show the hot and pressed looks over the buttons, the cache keeps every button normal.
  const bool Fades = TitleButtonsFade();
  for (TvkDlgTitleButton* B : PlacedButtons()) DrawTitleGlyph(*B, Fades ? 0 : B->State);
}

void TvkDialogWnd::CopyTitleCache() {
  TBitmap* Cache = SkinData->CacheBmp;
  // Down to the lowest button: a mask taller than the caption stands out of the band.
  int Top, Bottom;
  TitleButtonBand(Top, Bottom);
  int Lowest = CaptionBottom();
  for (const TvkDlgTitleButton* B : {&MinButton, &MaxButton, &HelpButton, &CloseButton})
    Lowest = std::max(Lowest, (Top + Bottom - ButtonHeight(*B)) / 2 + ButtonHeight(*B));
  const int H = std::min(Lowest, Cache != nullptr ? Cache->Height() : 0);
  if (H <= 0 || Cache->Width() <= 0) return;
  // Taken at every frame paint: the activity, the text and the size change what lies under the buttons.
  if (TitleCache == nullptr) TitleCache = NewBitmap32(Cache->Width(), H);
  else TitleCache->SetSize(Cache->Width(), H);
  BitBlt(TitleCache->Canvas()->Handle(), 0, 0, Cache->Width(), H, Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

bool TvkDialogWnd::TitleButtonsFade() { return SkinManager != nullptr && SkinManager->Effects()->AllowGlowing(); }

void TvkDialogWnd::FreeButtonAnimations() {
  for (TvkDlgTitleButton* B : {&MinButton, &MaxButton, &HelpButton, &CloseButton}) FreeTitleButtonAnimation(B->Animation);
}

void TvkDialogWnd::DrawTitleGlyph(const TvkDlgTitleButton& B, int State) {
  TBitmap* Cache = SkinData->CacheBmp;
  const int I = MaskIndexOf(SkinManager, B.MaskKind);
  if (Cache == nullptr || SkinManager == nullptr || !SkinManager->MaskIndexInRange(I)) return;
  const bool Enabled = B.Code != HTMAXBUTTON || CanMaximize() || CanRestore();
  const bool Faded = (!Active || !Enabled) && State == 0;
  TvkBgCacheRef Self;
  InitBgInfo(Cache, 0, 0, Self);
  DrawSkinGlyph32(Cache, TPoint(B.Rect.Left, B.Rect.Top), State, Self, SkinManager->ma()[I], Faded ? 2 : 1);
}

void TvkDialogWnd::PaintTitleButton(int HitCode) {
  TvkDlgTitleButton* B = ButtonByCode(HitCode);
  TBitmap* Cache = SkinData->CacheBmp;
  if (B == nullptr || SkinManager == nullptr || Cache == nullptr || B->Rect.Right <= B->Rect.Left) return;
  if (!SkinManager->MaskIndexInRange(MaskIndexOf(SkinManager, B->MaskKind)) || B->Rect.Left <= IconRect().Right) return;
  const bool Fades = TitleButtonsFade();
  // The glyphs carry alpha: drawn over the old look, a normal button would keep some of the hot one.
  const TRect& R = B->Rect;
  if (TitleCache != nullptr && TitleCache->Width() == Cache->Width() && R.Bottom <= TitleCache->Height())
    BitBlt(Cache->Canvas()->Handle(), R.Left, R.Top, R.Width(), R.Height(), TitleCache->Canvas()->Handle(), R.Left,
           R.Top, SRCCOPY);
  DrawTitleGlyph(*B, Fades ? 0 : B->State);
  if (BorderForm == nullptr && IsWindowVisible(CtrlHandle)) {
    HDC DC = GetWindowDC(CtrlHandle);
    if (DC != nullptr) {
      ApplyDCLayout(DC, 0);
      BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), Cache->Canvas()->Handle(), R.Left, R.Top, SRCCOPY);
      ReleaseDC(CtrlHandle, DC);
    }
  }
  if (Fades) StartTitleButtonAnimation(*B, this, nullptr, B->State, B->State == 2);
}

void TvkDialogWnd::PaintNonClient() {
  if (RegionDirty && (FrameKind != 2 || (SavedStyle & WS_THICKFRAME) != 0) && !g_RegionUpdating) {
    CollectRegionRects();
    RegionDirty = false;
    SetShapeRegion(true);
  }
  if (BorderForm != nullptr) {
    // the border window shows the frame; the window itself shows only its client and its own bars
    SkinData->Updating = false;
    PaintScrollBars(this, CtrlHandle, -1, nullptr);
    return;
  }
  HDC DC = GetWindowDC(CtrlHandle);
  if (DC == nullptr) return;
  ApplyDCLayout(DC, 0);
  if (SkinData->CacheDirty) PaintFrame();
  TBitmap* Cache = SkinData->CacheBmp;
  if (Cache != nullptr && !Cache->Empty()) {
    HDC S = Cache->Canvas()->Handle();
    const int W = Cache->Width(), H = Cache->Height();
    const int CX = ClientOffsetX(), CY = ClientOffsetY();
    const int CW = ClientRectWidth(CtrlHandle), CHt = ClientRectHeight(CtrlHandle);
    BitBlt(DC, 0, 0, W, CY, S, 0, 0, SRCCOPY);
    BitBlt(DC, 0, CY, CX, H - CY, S, 0, CY, SRCCOPY);
    BitBlt(DC, CX, CY + CHt, W - CX, H - CY - CHt, S, CX, CY + CHt, SRCCOPY);
    BitBlt(DC, CX + CW, CY, W - CX - CW, CHt, S, CX + CW, CY, SRCCOPY);
  }
  SkinData->Updating = false;
  // the frame's strips lay its background over the bars' room
  PaintScrollBars(this, CtrlHandle, -1, DC);
  ReleaseDC(CtrlHandle, DC);
}

void TvkDialogWnd::PaintBackground(TMessage& Message) {
  HDC DC = reinterpret_cast<HDC>(Message.WParam);
  const bool Own = DC == nullptr;
  if (Own) DC = GetDC(CtrlHandle);
  const int Saved = SaveDC(DC);
  SkinData->Updating = false;
  ExcludeChildWindows(DC, CtrlHandle);
  ApplyDCLayout(DC, 0);
  if (SkinData->CacheDirty) PaintFrame();
  if (TBitmap* Cache = SkinData->CacheBmp; Cache != nullptr && !Cache->Empty())
    BitBlt(DC, 0, 0, ClientRectWidth(CtrlHandle), ClientRectHeight(CtrlHandle), Cache->Canvas()->Handle(),
           ClientOffsetX(), ClientOffsetY(), SRCCOPY);
  RepaintChildWindowsAfterUpdate(CtrlHandle);
  RestoreDC(DC, Saved);
  if (Own) ReleaseDC(CtrlHandle, DC);
}

// ---- region ----

void TvkDialogWnd::CollectRegionRects() {
  RegionRects.clear();
  TsSkinManager* M = SkinManager;
  if (M == nullptr) return;
  const int W = WndWidth(CtrlHandle), H = WndHeight(CtrlHandle);
  TKeyRuns Runs;
  if (M->MaskIndexInRange(SkinData->BorderIndex)) {
    const TsMaskData& Mask = M->ma()[SkinData->BorderIndex];
    MeasureMaskCornerCutouts(Runs, W, Mask, false, 0);
    MeasureMaskCornerCutouts(Runs, W, Mask, true, H - Mask.WB);
  }
  // The caption band's own border cuts its top corners too.
  if (const int Title = M->ConstData().Sections[ssDialogTitle]; M->SectionIndexInRange(Title))
    if (const int TitleMask = M->gd()[Title].BorderIndex; M->MaskIndexInRange(TitleMask))
      MeasureMaskCornerCutouts(Runs, W, M->ma()[TitleMask], false, 0);
  for (const TRect& R : Runs) RegionRects.push_back(R);
}

HRGN TvkDialogWnd::BuildMaskRegion(int X, int Y) {
  HRGN Rgn = CreateRectRgn(X, Y, X + WndWidth(CtrlHandle), Y + WndHeight(CtrlHandle));
  for (const TRect& R : RegionRects) {
    HRGN Hole = CreateRectRgn(X + R.Left, Y + R.Top, X + R.Right, Y + R.Bottom);
    CombineRgn(Rgn, Rgn, Hole, RGN_DIFF);
    DeleteObject(Hole);
  }
  return Rgn;
}

void TvkDialogWnd::SetShapeRegion(bool Repaint) {
  // a dialog the skin has left keeps the region it was given back (none), whoever asks
  if (Detached || (!IsIconic(CtrlHandle) && FrameKind == 2)) return;
  if (SendMessageA(CtrlHandle, 0xBC4D, 0, 0) == 0x41A2) return;
  g_RegionUpdating = true;
  HRGN Rgn;
  if (BorderForm != nullptr) {
    // only the client and the bars beside it show: the border window draws frame and caption around them
    const TRect C = ClientWithBars();
    Rgn = CreateRectRgn(C.Left, C.Top, C.Right, C.Bottom);
  } else {
    Rgn = BuildMaskRegion(0, 0);
  }
  // The window owns the region from here on.
  if (SetWindowRgn(CtrlHandle, Rgn, Repaint ? TRUE : FALSE) == 0) DeleteObject(Rgn);
  g_RegionUpdating = false;
}

// ---- hit testing and title buttons ----

int TvkDialogWnd::TitleButtonAt(TPoint P) {
  const std::vector<TvkDlgTitleButton*> Order = PlacedButtons();
  for (size_t i = 0; i < Order.size(); ++i)
    if (PtInRect(reinterpret_cast<const RECT*>(&Order[i]->Rect), POINT{P.X, P.Y})) return static_cast<int>(i) + 1;
  return 0;
}

int TvkDialogWnd::HitTest(TMessage& Message) {
  if (BorderForm != nullptr) {
    const int Code = BorderForm->HitTest(POINT{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
    if (Code == HTTRANSPARENT) return static_cast<int>(Message.Result);
    SetHotButton(ButtonByCode(Code) != nullptr ? Code : 0, true);
    return Code;
  }
  RECT WR;
  GetWindowRect(CtrlHandle, &WR);
  const TPoint P(GET_X_LPARAM(Message.LParam) - WR.left, GET_Y_LPARAM(Message.LParam) - WR.top);
  const int FW = FrameWidth(), CH = CaptionHeight(true);
  const int W = WR.right - WR.left, H = WR.bottom - WR.top;
  if (CH > 0 && P.Y >= FW && P.Y < FW + CH && P.X >= FW && P.X < W - FW) {
    TRect IR = IconRect();
    IR.Left = FW;
    if (PtInRect(reinterpret_cast<RECT*>(&IR), POINT{P.X, P.Y})) {
      SetHotButton(0, true);
      return HTSYSMENU;
    }
    if (!HasSysMenu()) return HTCAPTION;
    int Code = TitleButtonAt(P) != 0 ? TitleCodeAt(P) : HTCAPTION;
    if (Code == 0 && TitleButtonAt(P) != 1) Code = HTCAPTION;
    if (Code != HTCAPTION && Code != HTNOWHERE) SetHotButton(Code, true);
    return Code;
  }
  if (IsZoomed(CtrlHandle) && !(P.X >= 2 && P.Y >= 2 && P.X < W - 4 && P.Y < H - 4)) {
    SetHotButton(0, true);
    return HTTRANSPARENT;
  }
  return static_cast<int>(Message.Result);
}

void TvkDialogWnd::SetHotButton(int HitCode, bool Repaint) {
  if (HitCode == HotButton) return;
  auto Show = [&](int Code) {
    if (Repaint && ButtonByCode(Code) != nullptr && IsWindowVisible(CtrlHandle) && !SkinData->CacheDirty) {
      PaintTitleButton(Code);
      if (BorderForm != nullptr) UpdateBorder(true);
    }
  };
  if (TvkDlgTitleButton* Old = ButtonByCode(HotButton)) {
    Old->State = 0;
    Show(HotButton);
  }
  HotButton = HitCode;
  FButtonPressed = false;
  if (TvkDlgTitleButton* New = ButtonByCode(HitCode)) {
    New->State = 1;
    Show(HitCode);
  }
}

void TvkDialogWnd::PressButton(int HitCode) {
  if (TvkDlgTitleButton* Old = ButtonByCode(HotButton); Old != nullptr && HotButton != HitCode) {
    Old->State = 0;
    PaintTitleButton(HotButton);
  }
  HotButton = HitCode;
  TvkDlgTitleButton* B = ButtonByCode(HitCode);
  if (B == nullptr) return;
  if (HitCode != HTMAXBUTTON || CanMaximize() || (IsZoomed(CtrlHandle) && CanRestore())) B->State = 2;
  FButtonPressed = true;
  PaintTitleButton(HitCode);
  if (BorderForm != nullptr) UpdateBorder(true);
}

void TvkDialogWnd::NcButtonDown(TMessage& Message) {
  const int Code = static_cast<int>(Message.WParam);
  if (Code == HTSYSMENU) {
    RECT WR;
    GetWindowRect(CtrlHandle, &WR);
    ShowSysMenu(WR.left + FrameWidth(), WR.top + FrameWidth() + GetSystemMetrics(SM_CYSMICON));
    return;
  }
  if (Code == HTMINBUTTON || Code == HTMAXBUTTON || Code == HTCLOSE || Code == HTHELP ||
      (Code >= 101 && Code <= 103)) {
    PressButton(Code);
    return;
  }
  if (IsIconic(CtrlHandle)) {
    SendMessageA(CtrlHandle, WM_SYSCOMMAND, kDragMove, 0);
    return;
  }
  SetHotButton(0, true);
  if (IsZoomed(CtrlHandle) && Code == HTCAPTION) {
    // A maximized dialog is not dragged by its caption.
    if (GetActiveWindow() != CtrlHandle) SetActiveWindow(CtrlHandle);
    return;
  }
  if (Code == HTCAPTION) {
    TvkBlendOnMoving* Blend = SkinManager != nullptr ? SkinManager->AnimEffects()->BlendOnMoving() : nullptr;
    if (Blend != nullptr && Blend->Active() && Blend->BlendValue() < 255) {
      SkinData->CacheDirty = true;
      Active = true;
      PaintFrame();
      if (StartBlendedMove()) return;
    }
  }
  PassOn(Message);
}

void TvkDialogWnd::NcButtonUp(TMessage& Message) {
  if (!FButtonPressed) {
    PassOn(Message);
    return;
  }
  const int Code = static_cast<int>(Message.WParam);
  const bool OverPressed = Code == HotButton;
  FButtonPressed = false;
  if (OverPressed) {
    switch (Code) {
      case HTMINBUTTON:
        // The press ends before the frame is drawn at its new size, as for close: an iconic dialog's restore button
        // kept its pressed look (and fade) where the icon's button had stood.
        MinButton.State = 0;
        HotButton = 0;
        FreeTitleButtonAnimation(MinButton.Animation);
        SendMessageA(CtrlHandle, WM_SYSCOMMAND, IsIconic(CtrlHandle) ? SC_RESTORE : SC_MINIMIZE, 0);
        break;
      case HTMAXBUTTON:
        if (!(IsIconic(CtrlHandle) && !CanMaximize())) {
          SendMessageA(CtrlHandle, WM_SYSCOMMAND, IsZoomed(CtrlHandle) ? SC_RESTORE : SC_MAXIMIZE, 0);
          if (SysMenu != nullptr) SysMenu->RefreshItems();
        }
        break;
      case HTCLOSE:
        CloseButton.State = 0;
        HotButton = 0;
        // the pressed look's fade window must not outlive the dialog on the screen
        FreeButtonAnimations();
        SendMessageA(CtrlHandle, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
      case HTHELP:
        SendMessageA(CtrlHandle, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
        if (SysMenu != nullptr) SysMenu->RefreshItems();
        SendMessageA(CtrlHandle, WM_NCPAINT, 0, 0);
        break;
      default: PassOn(Message); break;
    }
  }
  if (IsWindow(CtrlHandle) && !Detached) SetHotButton(0, true);
  Message.WParam = 0;
}

void TvkDialogWnd::ShowSysMenu(int X, int Y) {
  if (SysMenu == nullptr) return;
  SysMenu->RefreshItems();
  SysMenu->Menu->Popup(X, Y);
}

void TvkDialogWnd::RepaintOnActivate() {
  SkinData->CacheDirty = true;
  InvalidateRect(CtrlHandle, nullptr, FALSE);
  // The client and the children take the new activity's tint too, not the frame alone.
  RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  // the frame lives on the border window: it shows the new activity only when that window is updated
  if (BorderForm != nullptr && IsWindowVisible(CtrlHandle)) UpdateBorder(true);
}

HBRUSH TvkDialogWnd::DialogBrush() {
  TsSkinManager* M = TsSkinManager::DefaultManager();
  const TColor C = M != nullptr ? M->SkinBaseColor() : static_cast<TColor>(GetSysColor(COLOR_BTNFACE));
  if (FBrush == nullptr || C != FBrushColor) {
    GdiFreeObject(FBrush);
    FBrush = GdiNewSolidBrush(ColorToRGB(C));
    FBrushColor = C;
  }
  return FBrush;
}

// ---- the window procedure ----

void TvkDialogWnd::AdoptChildrenOnce() {
  if (ChildrenAdopted) return;
  ChildrenAdopted = true;
  if (Provider != nullptr) Provider->AdoptChildren(CtrlHandle);
}

void TvkDialogWnd::HandleSize(TMessage& Message) {
  if (Message.WParam == SIZE_MINIMIZED) {
    // The buttons' looks go with the frame they were drawn on: no pressed look or fade of it is left where the
    // button was, nor laid over the icon by the release that follows.
    for (TvkDlgTitleButton* B : {&MinButton, &MaxButton, &HelpButton, &CloseButton}) B->State = 0;
    HotButton = 0;
    FreeButtonAnimations();
  }
  if (BorderForm != nullptr && !SkinData->Updating && IsWindowVisible(CtrlHandle)) {
    PassOn(Message);
    SkinData->CacheDirty = true;
    RegionDirty = true;
    // the border window follows the new size in place; the dialog keeps its client only
    MoveFlags |= 0x1;
    UpdateBorder(true);
    MoveFlags &= ~0x1u;
    SetShapeRegion(true);
    RedrawWindow(CtrlHandle, nullptr, nullptr, kRedrawAll);
  } else if (BorderForm != nullptr && SkinData->Updating) {
    PassOn(Message);
  } else if (!IsWindowVisible(CtrlHandle)) {
    PassOn(Message);
    SkinData->CacheDirty = true;
  } else {
    SkinData->CacheDirty = true;
    RegionDirty = true;
    SkinData->Updating = true;
    PassOn(Message);
    SkinData->Updating = false;
    RedrawWindow(CtrlHandle, nullptr, nullptr, kRedrawAll);
  }
  LastClientRect = TRect(0, 0, ClientRectWidth(CtrlHandle), ClientRectHeight(CtrlHandle));
}

void TvkDialogWnd::HandleNcPaint(TMessage&) {
  AdoptChildrenOnce();
  GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  if (LastClientRect.Width() <= 0 || LastClientRect.Height() <= 0)
    LastClientRect = TRect(0, 0, ClientRectWidth(CtrlHandle), ClientRectHeight(CtrlHandle));
  Caption = GetWindowTextWide(CtrlHandle);
  // a border form whose window is still hidden shows itself with the dialog
  if (BorderForm != nullptr && BorderForm->BorderWindow != nullptr && BorderForm->BorderWindow->HandleAllocated() &&
      !IsWindowVisible(BorderForm->BorderWindow->Handle()) && IsWindowVisible(CtrlHandle) && !SkinChangeAnimating)
    UpdateBorder(true);
  PaintNonClient();
  if (SnapshotOwned) FreeSnapshot();
}

void TvkDialogWnd::SysCommandTail(TMessage& Message) {
  if (Message.Msg != WM_SYSCOMMAND) return;
  const WPARAM Cmd = Message.WParam & 0xFFF0;
  if (Message.WParam == kDragMove) {
    UpdateWindow(CtrlHandle);
    if (IsWindowVisible(CtrlHandle)) UpdateBorder(false);
  } else if (Cmd == SC_MAXIMIZE || Cmd == SC_RESTORE) {
    if (HasMaxBox()) HotButton = HTMAXBUTTON;
    SetHotButton(0, true);
  }
}

void TvkDialogWnd::HandleCommand(TMessage& Message) {
  const WORD Cmd = SkinCommandCode(Message.WParam);
  switch (Cmd) {
    case VKCMD_SKIN_APPLIED:
      SetBorderForm(SkinManager != nullptr && SkinManager->ExtendedBorders());
      if (Message.LParam == reinterpret_cast<LPARAM>(SkinManager)) {
        SkinData->RefreshSectionIndex(true);
        CaptionSection = SkinManager->ConstData().Sections[ssCaption];
        SetButtonKinds();
        BroadcastToChildren(CtrlHandle, Message);
      }
      return;
    case VKCMD_REPAINT_AFTER_CHANGE:
      SkinData->RefreshSectionIndex(true);
      SetBorderForm(SkinManager != nullptr && SkinManager->ExtendedBorders());
      SkinData->CacheDirty = true;
      RegionDirty = true;
      SkinData->RepaintOwner(false);
      if (BorderForm != nullptr && IsWindowVisible(CtrlHandle)) UpdateBorder(true);
      return;
    case VKCMD_REPAINT:
      UpdateBorder(false);
      break;
    case VKCMD_SET_UPDATE_STATE:
      SkinData->Updating = LOWORD(Message.WParam) == 1;
      if (SkinData->Updating) SkinData->CacheDirty = true;
      break;
    case VKCMD_QUERY_UPDATE_STATE:
      Message.Result = SkinData->Updating ? 1 : 0;
      return;
    case VKCMD_QUERY_BG_COLOR:
      Message.Result = static_cast<LRESULT>(SkinBackgroundColor(SkinData, ActivityState(), CtrlHandle));
      return;
    case VKCMD_QUERY_BG_READY: {
      const TsGeneralData* S = SkinData->Section();
      Message.Result = S != nullptr && S->Props[0].ImagePercent + S->Props[0].GradientPercent > 0 ? 1 : 0;
      return;
    }
    case VKCMD_QUERY_STATE_SECTION:
      if (Message.LParam == 0) return;
      // Skins older than 10.25 answer only for sections that say they know state sections.
      if (SkinManager->SkinData().Version < 10.25 &&
          (SkinData->Section() == nullptr || !SkinData->Section()->ReservedBoolean)) {
        Message.Result = -1;
      } else {
        reinterpret_cast<TvkStateSectionRequest*>(Message.LParam)->SectionIndex = SkinData->SkinIndex;
        Message.Result = 1;
      }
      return;
    case 0x1C:
      if (Provider != nullptr) Provider->AdoptChildren(CtrlHandle);
      break;
    case VKCMD_QUERY_PARENT_BG: {
      auto* Q = reinterpret_cast<TvkParentBgQuery*>(Message.LParam);
      if (Q == nullptr) return;
      if (SnapshotOwned) FreeSnapshot();
      const bool Relative = Q->ClientCoords == 0;
      if (SkinData->CacheDirty) PaintFrame();
      if (Relative) {
        Q->OffsetX += ClientOffsetX();
        Q->OffsetY += ClientOffsetY();
      }
      // The children show the client's tint of the dialog's activity, as the client itself does.
      AnswerBackgroundRequest(SkinData, *Q, ActivityState(), CtrlHandle);
      return;
    }
    case VKCMD_REFRESH_CACHE:
      // the cache is the frame picture, not a control's
      if (SkinData->CacheDirty) PaintFrame();
      return;
    case VKCMD_QUERY_CLIENT_OFFSET:
      Message.Result = MAKELONG(ClientOffsetX(), ClientOffsetY());
      return;
    case VKCMD_QUERY_FRAME_WIDTH:
      // An iconic dialog has no client area: half its width is no frame, so the caller's own width stands.
      Message.Result = IsIconic(CtrlHandle) ? Message.LParam : (WndWidth(CtrlHandle) - ClientRectWidth(CtrlHandle)) / 2;
      return;
    default:
      break;
  }
  TvkScrollWnd::WndProc(Message);
}

void TvkDialogWnd::WndProc(TMessage& Message) {
  const HWND W = CtrlHandle;
  if (Detached || SkinData == nullptr || !SkinData->IsSkinned(false)) {
    TvkScrollWnd::WndProc(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY: {
      FreeButtonAnimations();
      if (SkinData->CacheBmp != nullptr) SkinData->CacheBmp->Assign(nullptr);
      if (OldWndProc != nullptr || !OldWndMethod.IsNull()) {
        Message.Result = ForwardToOldWndProc(W, Message.Msg, Message.WParam, Message.LParam);
        TvkDialogWnd* Self = this;
        DetachWindowAdapter(W, false, false, Self);
        Detached = true;
      } else {
        // Sending it to the window again would come straight back here.
        Message.Result = DefDlgProcA(W, Message.Msg, Message.WParam, Message.LParam);
      }
      return;
    }
    case WM_SIZE:
      HandleSize(Message);
      return;
    case WM_SETFOCUS:
      PassOn(Message);
      RedrawWindow(GetActiveWindow(), nullptr, nullptr, kRedrawAll);
      return;
    case WM_ENABLE:
    case WM_SETTEXT:
      if (!IsWindowVisible(W)) break;
      PassOn(Message);
      SkinData->CacheDirty = true;
      Caption = GetWindowTextWide(W);
      if (BorderForm != nullptr) UpdateBorder(false);
      else SendMessageA(W, WM_NCPAINT, 0, 0);
      return;
    case WM_PAINT:
      if (OwnClientPaint) {
        PAINTSTRUCT PS;
        BeginPaint(W, &PS);
        EndPaint(W, &PS);
        Message.Result = 0;
      } else {
        PassOn(Message);
      }
      return;
    case WM_ERASEBKGND:
      GetWindowGeometry(W, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      AdoptChildrenOnce();
      Caption = GetWindowTextWide(W);
      PaintBackground(Message);
      Message.Result = 1;
      return;
    case WM_DRAWITEM:
      if (auto* DI = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam); DI != nullptr && DI->CtlType == ODT_STATIC)
        SetBkMode(DI->hDC, TRANSPARENT);
      break;
    case WM_WINDOWPOSCHANGED: {
      // Only a hide starts the fade-out: any flag above 127 is not a hide.
      const auto* WP = reinterpret_cast<WINDOWPOS*>(Message.LParam);
      const bool Hiding = WP != nullptr && (WP->flags & SWP_HIDEWINDOW) != 0;
      if (Hiding) {
        RegionDirty = true;
        FreeButtonAnimations();
      }
      PassOn(Message);
      const TvkAnimEffect* Hide = SkinManager != nullptr ? SkinManager->AnimEffects()->DialogHide() : nullptr;
      if (Hiding && Hide != nullptr && Hide->Active() && Hide->Time() > 0 && SkinManager->Effects()->AllowAnimation()) {
        AnimateDialogHide(this);
        SetLayeredAlpha(W, true, 0, true);
        SetBorderForm(false);
      } else if (BorderForm != nullptr && !SkinData->Updating && IsWindowVisible(W) && (MoveFlags & 0x80) == 0) {
        UpdateBorder(false);
      }
      return;
    }
    case WM_NCHITTEST: {
      Message.Result = HTNOWHERE;
      int Code = HitTest(Message);
      if (Code == HTNOWHERE) Code = BarHitTest(Message.LParam);
      if (Code == HTNOWHERE || Code == HTCAPTION) {
        PassOn(Message);
        SetHotButton(0, true);
      } else {
        Message.Result = Code;
      }
      return;
    }
    case WM_NCPAINT:
      if (!IsWindowVisible(W)) break;
      HandleNcPaint(Message);
      Message.Result = 0;
      return;
    case WM_NCACTIVATE:
      if (!IsWindowVisible(W)) break;
      SendMessageA(W, WM_SETREDRAW, FALSE, 0);
      PassOn(Message);
      Active = Message.WParam != 0;
      SendMessageA(W, WM_SETREDRAW, TRUE, 0);
      RepaintOnActivate();
      Message.Result = 1;
      return;
    case WM_SHOWWINDOW: {
      // Under composition the system's own show transition is kept off by a layered window for the showing.
      const bool Layer = IsDwmCompositionActive() && (GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_LAYERED) == 0;
      if (Layer) SetLayeredAlpha(W, true, 255);
      PassOn(Message);
      if (Layer) SetLayeredAlpha(W, false, 255);
      SetDwmTransitionsForceDisabled(W, true, 0);
      // A message box centres itself after it was adopted: the asked place is applied again as it shows.
      if (Message.WParam != 0 && (MessageBoxPosX != -1 || MessageBoxPosY != -1))
        SetWindowPos(W, nullptr, MessageBoxPosX, MessageBoxPosY, 0, 0, SWP_NOSIZE | SWP_NOREDRAW | SWP_NOOWNERZORDER);
      // (a dialog the skin left while its procedure ran is neither adopted further nor animated)
      const TvkAnimEffect* Show = SkinManager != nullptr && !Detached ? SkinManager->AnimEffects()->DialogShow() : nullptr;
      if (Message.WParam == 1 && Show != nullptr && Show->Active() && Show->Time() > 0 &&
          SkinManager->Effects()->AllowAnimation()) {
        Caption = GetWindowTextWide(W);
        if (Provider != nullptr) Provider->AdoptChildren(W);
        SkinData->Updating = false;
        AnimateDialogShow(this, Show->Time(), 255, Show->Mode());
      }
      return;
    }
    case WM_GETDLGCODE:
      Message.Result = 0;
      return;
    case WM_NCLBUTTONDOWN:
      // The border window's own object presses belong to the dialog's own handling.
      if (BorderForm != nullptr && Message.WParam == HTOBJECT) {
        PassOn(Message);
        return;
      }
      if (Message.WParam < HTSIZEFIRST || Message.WParam > HTSIZELAST) {
        TMessage H{WM_NCHITTEST, 0, Message.LParam, static_cast<LRESULT>(Message.WParam)};
        Message.WParam = static_cast<WPARAM>(HitTest(H));
      }
      if (Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL) {
        SetHotButton(0, true);
        Message.Result = ScrollWndNCButtonDown(this, W, Message.WParam, Message.LParam);
        return;
      }
      NcButtonDown(Message);
      return;
    case WM_NCLBUTTONUP:
      // the border window hands its releases on with -1: the code is the border window's own
      if (BorderForm != nullptr && static_cast<int>(Message.WParam) == -1) {
        TMessage H{WM_NCHITTEST, 0, Message.LParam, HTNOWHERE};
        Message.WParam = static_cast<WPARAM>(HitTest(H));
      }
      NcButtonUp(Message);
      return;
    case WM_NCLBUTTONDBLCLK:
      if (Message.WParam == HTCAPTION) {
        if (CanMaximize() || CanRestore()) {
          SendMessageA(W, WM_SYSCOMMAND, IsZoomed(W) || IsIconic(W) ? SC_RESTORE : SC_MAXIMIZE, 0);
          if (SysMenu != nullptr) SysMenu->RefreshItems();
        }
        Message.WParam = 0;
        return;
      }
      if (Message.WParam == HTSYSMENU) {
        SendMessageA(W, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
      }
      break;
    case WM_NCRBUTTONDOWN:
      if (Message.WParam == HTCAPTION || Message.WParam == HTSYSMENU) return;
      break;
    case WM_NCRBUTTONUP:
      // the border window hands its releases on with -1, as for the left button
      if (BorderForm != nullptr && static_cast<int>(Message.WParam) == -1) {
        TMessage H{WM_NCHITTEST, 0, Message.LParam, HTNOWHERE};
        Message.WParam = static_cast<WPARAM>(HitTest(H));
      }
      if (Message.WParam == HTCAPTION || Message.WParam == HTSYSMENU) {
        SetHotButton(0, true);
        ShowSysMenu(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
        return;
      }
      break;
    case WM_COMMAND: {
      const TvkAnimEffect* Hide = SkinManager != nullptr ? SkinManager->AnimEffects()->DialogHide() : nullptr;
      if ((Message.WParam == IDCANCEL || Message.WParam == IDYES) && Hide != nullptr && Hide->Active() &&
          Hide->Time() > 0 && SkinManager->Effects()->AllowAnimation()) {
        if (SkinData->CacheBmp != nullptr) PaintDialogClientToBitmap(this, SkinData->CacheBmp, true);
        if (BorderForm != nullptr && BorderForm->BorderWindow != nullptr && BorderForm->BorderWindow->HandleAllocated()) {
          // the border window itself shows the dialog's last picture while it hides
          const HWND L = BorderForm->BorderWindow->Handle();
          RECT LR{};
          GetWindowRect(L, &LR);
          SetWindowRgn(L, nullptr, FALSE);
          TBitmap* Out = NewBitmap32(SkinData->CacheBmp->Width(), SkinData->CacheBmp->Height());
          CopyBitmapFull(Out, SkinData->CacheBmp);
          PremultiplyBitmap(Out);
          UpdateLayeredFromBitmap(L, Out, 255, POINT{LR.left, LR.top});
          delete Out;
          BorderForm->Moving = true;
        } else {
          FreeSnapshot();
          Snapshot = CreateSnapshotForm(W);
          SnapshotOwned = Snapshot != nullptr;
        }
        PassOn(Message);
        return;
      }
      break;
    }
    case WM_CTLCOLORDLG:
      Message.Result = reinterpret_cast<LRESULT>(DialogBrush());
      return;
    case WM_MOUSEMOVE:
      if (IsWindowEnabled(W))
        if (TsSkinManager* M = TsSkinManager::DefaultManager()) M->ChangeHotWindow(nullptr);
      break;
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
      SetHotButton(0, true);
      break;
    case WM_NCMOUSEMOVE:
      TvkScrollWnd::WndProc(Message);
      // Not every system tracks the pointer over a frame by itself: without the leave notice a button the pointer
      // left with the window would stay hot. (A border window tracks its own pointer.)
      if (!Detached && HotButton != 0 && BorderForm == nullptr) {
        TRACKMOUSEEVENT T{sizeof(TRACKMOUSEEVENT), TME_LEAVE | TME_NONCLIENT, W, HOVER_DEFAULT};
        TrackMouseEvent(&T);
      }
      return;
    case 0x401:
    case 0x52C:
    case 0x52E:
      if (Message.Msg == 0x401)
        TvkScrollWnd::WndProc(Message);
      else
        PassOn(Message);
      if (Provider != nullptr && !Detached) Provider->AdoptChildren(W);
      RedrawWindow(W, nullptr, nullptr, Message.Msg == 0x401 ? 0x181 : 0x581);
      return;
    case SM_VKCMD:
      HandleCommand(Message);
      return;
    default:
      break;
  }
  TvkScrollWnd::WndProc(Message);
  if (!Detached) SysCommandTail(Message);
}
