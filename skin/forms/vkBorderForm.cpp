#include "skin/forms/vkBorderForm.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "skin/forms/vkFormAnimations.h"
#include "skin/forms/vkGlue.h"
#include "skin/forms/vkProviderEffects.h"
#include "skin/forms/vkTitleBar.h"
#include "skin/graphics/ToolkitStartup.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkPixelOps.h"

IMPLEMENT_CLASS(TvkBorderForm)

namespace {

constexpr UINT kPlaceFlags = 0x61B;

bool AppTerminating() { return Application != nullptr && Application->Terminated(); }

bool InBand(int V, int From, int To) { return V >= From && V <= To; }

TPoint ScreenPointOf(const TMessage& M) { return TPoint(static_cast<short>(LOWORD(M.LParam)), static_cast<short>(HIWORD(M.LParam))); }

// The blur region: the frame inside the left indent, less the pure black pixels of its four corner squares.
HRGN BlurRegion(TBitmap* Cache, int Indent, int Corner) {
  const int W = Cache->Width(), H = Cache->Height();
  HRGN R = CreateRectRgn(Indent, Indent, W - Indent, H - Indent);
  const int Starts[2][2] = {{Indent, W - Indent - Corner}, {Indent, H - Indent - Corner}};
  for (int cy = 0; cy < 2; ++cy)
    for (int cx = 0; cx < 2; ++cx)
      for (int y = Starts[1][cy]; y < Starts[1][cy] + Corner; ++y)
        for (int x = Starts[0][cx]; x < Starts[0][cx] + Corner; ++x)
          if (x >= 0 && y >= 0 && x < W && y < H && (GetPixel32(Cache, x, y) & 0xFFFFFF) == 0) {
            HRGN Dot = CreateRectRgn(x, y, x + 1, y + 1);
            CombineRgn(R, R, Dot, RGN_DIFF);
            DeleteObject(Dot);
          }
  return R;
}

}  // namespace

// The extended border image drawn into the margins of a cache whose inner part the owner painted: nearest-pixel
// nine-part copy with the image's own alpha; the inner part is made opaque.
void PaintExtendedBorderInto(TBitmap* Cache, TBitmap* Border, const TRect& Mg) {
  const int W = Cache->Width(), H = Cache->Height();
  SetRectAlpha32(Cache, TRect(Mg.Left, Mg.Top, W - Mg.Right, H - Mg.Bottom), 255, NoColor32);
  if (Border == nullptr || Border->Empty()) return;
  const int BW = Border->Width(), BH = Border->Height();
  // source column/row for a destination one: corners kept, the middle stretched
  auto Map = [](int D, int DSize, int SSize, int Lo, int Hi) {
    if (D < Lo) return std::min(D, SSize - 1);
    if (D >= DSize - Hi) return std::max(SSize - (DSize - D), 0);
    const int Mid = std::max(SSize - Lo - Hi, 1), DMid = std::max(DSize - Lo - Hi, 1);
    return std::min(Lo + (D - Lo) * Mid / DMid, SSize - 1);
  };
  for (int y = 0; y < H; ++y) {
    auto* Dst = static_cast<uint32_t*>(Cache->ScanLine(y));
    const auto* Src = static_cast<const uint32_t*>(Border->ScanLine(Map(y, H, BH, Mg.Top, Mg.Bottom)));
    for (int x = 0; x < W; ++x) {
      if (x >= Mg.Left && x < W - Mg.Right && y >= Mg.Top && y < H - Mg.Bottom) continue;
      // Key pixels (an element cut from an opaque master image) have nothing behind them but the desktop.
      const uint32_t P = Src[Map(x, W, BW, Mg.Left, Mg.Right)];
      Dst[x] = (P & 0x00FFFFFFu) == KeyPixel32 ? 0 : P;
    }
  }
}

bool IsTitleElementCode(TsSkinProvider* Provider, int Code) {
  if (Code == HTMINBUTTON || Code == HTMAXBUTTON || Code == HTCLOSE || Code == HTHELP) return true;
  const int Users = Provider != nullptr ? Provider->TitleButtons()->Count() : 0;
  return (Code >= htUserButton && Code < htUserButton + Users) || (Code >= htTitleBarItem && Code <= htTitleBarItem + 255);
}

// ===================================================================== life

TvkBorderForm::TvkBorderForm(TsSkinProvider* Owner) : Provider(Owner) { Init(); }

TvkBorderForm::TvkBorderForm(TvkDialogWnd* Owner) : Dialog(Owner) { Init(); }

void TvkBorderForm::Init() {
  SkinData = Provider != nullptr ? Provider->SkinData()
                                 : (FormServices.DialogSkinData ? FormServices.DialogSkinData(Dialog) : nullptr);
  CreateBorderWindow();
}

TvkBorderForm::~TvkBorderForm() {
  const HWND W = OwnerWindow();
  if (BorderWindow != nullptr) {
    TvkGlowForm* L = BorderWindow;
    BorderWindow = nullptr;
    L->Free();
  }
  // the owner takes back its frame: a skinned form its own region, one losing its skin none
  if (W != nullptr && IsWindow(W)) {
    if (Provider != nullptr) {
      TCustomForm* F = Provider->Form();
      const bool Skinned = Provider->SkinData() != nullptr && Provider->SkinData()->IsSkinned(false) &&
                           !Provider->ComponentState().Contains(csDestroying) && F != nullptr &&
                           !F->ComponentState().Contains(csDestroying);
      if (Skinned && Provider->BorderForm() != this) Provider->ApplyWindowRegion(true, false);
      else SetWindowRgn(W, nullptr, TRUE);
    } else if (Dialog != nullptr && FormServices.DialogSetShapeRegion) {
      FormServices.DialogSetShapeRegion(Dialog);
    }
  }
}

TvkGlowForm* TvkBorderForm::CreateBorderWindow() {
  if ((OwnerState() & fsfShowing) != 0) return BorderWindow;
  Initialized = false;
  if (BorderWindow != nullptr) return BorderWindow;
  BorderWindow = Create<TvkGlowForm>(nullptr);
  BorderWindow->ClickThrough = false;
  BorderWindow->HandleNeeded();
  const HWND L = BorderWindow->Handle();
  SetWindowLongA(L, GWL_EXSTYLE, WS_EX_LAYERED);
  SavedParent = reinterpret_cast<HWND>(SetWindowLongPtrA(L, GWL_HWNDPARENT, reinterpret_cast<LONG_PTR>(OwnerWindow())));
  OldWindowMethod = BorderWindow->WindowProc;
  BorderWindow->WindowProc = TWndMethod(this, &TvkBorderForm::BorderWindowProc);
  return BorderWindow;
}

// ===================================================================== owner queries

HWND TvkBorderForm::OwnerWindow() const {
  if (Provider != nullptr) {
    TCustomForm* F = Provider->Form();
    return F != nullptr && F->HandleAllocated() ? F->Handle() : nullptr;
  }
  return Dialog != nullptr && FormServices.DialogWindow ? FormServices.DialogWindow(Dialog) : nullptr;
}

int TvkBorderForm::OwnerCaptionHeight(bool UseSkin) const {
  if (Provider != nullptr) return Provider->GetCaptionBarHeight(UseSkin);
  return FormServices.DialogCaptionHeight ? FormServices.DialogCaptionHeight(Dialog, UseSkin) : 0;
}

int TvkBorderForm::OwnerMenuLineHeight() const { return Provider != nullptr ? Provider->MenuLineHeight() : 0; }

uint32_t TvkBorderForm::OwnerState() const {
  if (Provider != nullptr) return Provider->FormStateFlags();
  return Dialog != nullptr && FormServices.DialogMoveFlags ? FormServices.DialogMoveFlags(Dialog) : 0;
}

void TvkBorderForm::SetOwnerHot(int Code) {
  if (Provider != nullptr) Provider->SetHotElement(Code, true);
  else if (Dialog != nullptr && FormServices.DialogSetHotButton) FormServices.DialogSetHotButton(Dialog, Code < 0 ? 0 : Code);
}

void TvkBorderForm::SetOwnerState(uint32_t Flags) {
  if (Provider != nullptr) Provider->SetFormStateFlags(Flags);
}

TsSkinManager* TvkBorderForm::Manager() const { return SkinData != nullptr ? SkinData->SkinManager() : nullptr; }

TRect TvkBorderForm::Margins() const {
  TsSkinManager* M = Manager();
  return M != nullptr ? M->ExtBorderMargins() : TRect();
}

bool TvkBorderForm::OwnerZoomed() const {
  const HWND W = OwnerWindow();
  return W != nullptr && IsZoomed(W);
}

TRect TvkBorderForm::OwnerClientRect() const {
  const HWND W = OwnerWindow();
  RECT C{};
  if (W != nullptr) GetClientRect(W, &C);
  if (Provider != nullptr) {
    const int X = Provider->GetClientOffsetLeft(), Y = Provider->GetClientOffsetTop();
    return TRect(X, Y, X + C.right, Y + C.bottom);
  }
  const int X = FormServices.DialogClientOffsetX ? FormServices.DialogClientOffsetX(Dialog) : 0;
  const int Y = FormServices.DialogClientOffsetY ? FormServices.DialogClientOffsetY(Dialog) : 0;
  return TRect(X, Y, X + C.right, Y + C.bottom);
}

TRect TvkBorderForm::ClientHole() const {
  // a dialog's own scroll bars show through the hole beside its client, as a form's do
  if (Provider == nullptr && Dialog != nullptr && FormServices.DialogClientHole)
    return FormServices.DialogClientHole(Dialog);
  TRect C = OwnerClientRect();
  if (Provider == nullptr) return C;
  C.Right += Provider->ShownScrollBar(true);
  C.Bottom += Provider->ShownScrollBar(false);
  if (const int Lines = Provider->GetMenuLineCount(); Lines > 1) C.Top -= (Lines - 1) * Provider->MenuLineHeight();
  return C;
}

int TvkBorderForm::GetTopIndent() {
  // a maximised form whose skin caption is much taller than the system's hangs its caption above the window
  if (Provider != nullptr && OwnerZoomed() && TvkProviderEffects::CaptionZoom(Provider))
    return Margins().Top + GetExtraCaptionHeight(this) + 4;
  const HWND W = OwnerWindow();
  const int Caption = OwnerCaptionHeight(false);
  return Margins().Top - GetWindowFrameWidth(W, nullptr, false) + (Caption != 0 ? GetSkinCaptionHeight(this) - Caption : 0);
}

int TvkBorderForm::GetLeftIndent() {
  return GetSkinFrameWidth(this) - GetWindowFrameWidth(OwnerWindow(), nullptr, false) + Margins().Left;
}

void TvkBorderForm::PaintOwnerFrame() {
  if (Provider != nullptr) Provider->PaintFormFrame();
  else if (Dialog != nullptr && FormServices.PaintDialogFrame) FormServices.PaintDialogFrame(Dialog);
}

// ===================================================================== showing the border

void TvkBorderForm::UpdateBorderWindow(bool Repaint, uint8_t Alpha) {
  const HWND W = OwnerWindow();
  RECT WR{};
  if (AppTerminating() || Updating || W == nullptr || !GetWindowRect(W, &WR) || SkinData == nullptr ||
      SkinData->PrintDC != nullptr || SkinChangeAnimating || (OwnerState() & fsfShowing) != 0)
    return;
  TCustomForm* F = Provider != nullptr ? Provider->Form() : nullptr;
  if (F != nullptr && F->Left() != WR.left && !IsIconic(W)) return;
  if (BorderWindow == nullptr) CreateBorderWindow();
  HWND After = nullptr;
  if (Provider == nullptr) {
    if (!IsWindowVisible(W)) return;
    Updating = true;
    if ((GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0 && GetActiveWindow() == W) {
      SetWindowPos(W, HWND_TOPMOST, 0, 0, 0, 0, kPlaceFlags);
      After = HWND_TOPMOST;
    }
  } else {
    if (SkinData->Updating || (SkinData->StateFlags & sfLocked) != 0 || !Provider->DrawNonClientArea() ||
        Provider->ComponentState().Contains(csDestroying) ||
        F == nullptr || F->ComponentState().Contains(csDestroying))
      return;
    if (!IsWindowVisible(W) && (OwnerState() & ~fsfInNCActivate) == 0) {
      SkinData->CacheDirty = true;
      return;
    }
    Updating = true;
    const bool OwnerTopmost = (GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (F->FormStyle() == fsStayOnTop && GetActiveWindow() == W) SetWindowPos(W, HWND_TOP, 0, 0, 0, 0, kPlaceFlags);
    else if (OwnerTopmost) SetWindowPos(W, HWND_TOPMOST, 0, 0, 0, 0, kPlaceFlags);
    if ((OwnerState() & fsfPlacing) != 0 || F->FormStyle() == fsStayOnTop) After = HWND_TOP;
    else After = OwnerTopmost ? HWND_TOPMOST : W;
  }
  const uint32_t Animating = OwnerState() & (fsfMoveFade | fsfMinimizing | fsfSkinChangeSnapshot);
  if (SkinData->CacheDirty || SkinData->CacheBmp == nullptr) {
    PaintOwnerFrame();
    Repaint = true;
  }
  if (Animating != 0) {
    Repaint = true;
    // a dialog dragged with a blend keeps its frame where the drag put it: only its own window is painted
    if (Dialog != nullptr) {
      PaintDialogWindow(W);
      Updating = false;
      return;
    }
    // the form itself is hidden meanwhile: the border window shows the whole form, client and controls too
    TakeWholeFormPicture();
  }
  TBitmap* Cache = SkinData->CacheBmp;
  if (Cache == nullptr || Cache->Empty() || BorderWindow == nullptr) {
    Updating = false;
    return;
  }
  const HWND L = BorderWindow->Handle();
  RECT LR{};
  GetWindowRect(L, &LR);
  const POINT Pos{WR.left - GetLeftIndent(), WR.top - GetTopIndent()};
  // a maximised form's picture ends at the work area: its bottom frame and shadow would lie on the next monitor
  // or the taskbar
  int OutH = Cache->Height();
  if (F != nullptr && IsZoomed(W)) {
    RECT Work{};
    GetFormWorkArea(F, Work);
    OutH = std::clamp(static_cast<int>(Work.bottom - Pos.y), 1, Cache->Height());
  }
  const bool SizeChanged = LR.right - LR.left != Cache->Width() || LR.bottom - LR.top != OutH;
  UINT Flags = (OwnerState() & fsfPlacing) != 0 ? 0x614 : 0x610;
  if (!Repaint && !SizeChanged) Flags |= SWP_NOSIZE;
  if (!Repaint) Flags |= SWP_NOREDRAW;
  if (!HasLayeredWindowApi() || (!Repaint && !SizeChanged) || InHoleUpdate) {
    SetWindowPos(L, After, Pos.x, Pos.y, Cache->Width(), OutH, Flags);
  } else {
    const uint8_t A = F != nullptr && F->AlphaBlend() ? static_cast<uint8_t>(F->AlphaBlendValue()) : Alpha;
    if (SizeChanged) BorderWindow->SetBounds(Pos.x, Pos.y, Cache->Width(), OutH);
    TsSkinManager* M = Manager();
    if (M != nullptr && M->Effects()->AllowAeroBluring() && M->SkinData().AeroBlur && IsDwmCompositionActive())
      EnableBlurBehind(L, true, BlurRegion(Cache, GetLeftIndent(), M->SkinData().FormOffset));
    else
      EnableBlurBehind(L, false, nullptr);
    if ((OwnerState() & fsfMoveFade) != 0) SetWindowRgn(L, BuildRegion(), FALSE);
    // the cache keeps straight alpha: what goes to the window is premultiplied
    TBitmap* Out = NewBitmap32(Cache->Width(), OutH);
    for (int y = 0; y < OutH; ++y)
      std::copy_n(static_cast<const uint32_t*>(Cache->ScanLine(y)), Cache->Width(), static_cast<uint32_t*>(Out->ScanLine(y)));
    PremultiplyBitmap(Out);
    UpdateLayeredFromBitmap(L, Out, A, Pos);
    delete Out;
    if (Animating == 0) {
      SetWindowRgn(L, BuildRegion(), TRUE);
      RegionChanged = false;
    }
  }
  if ((GetWindowLongA(W, GWL_STYLE) & WS_VISIBLE) == 0) {
    if (Repaint) {
      SetWindowPos(L, After, 0, 0, 0, 0, 0x53);
    } else {
      // placed in the z-order beside its hidden owner, neither shown nor hidden nor redrawn
      const LONG Style = GetWindowLongA(L, GWL_STYLE);
      SetWindowLongA(L, GWL_STYLE, Style & ~WS_VISIBLE);
      SetWindowPos(L, After, 0, 0, 0, 0, Flags | SWP_NOSIZE | SWP_NOMOVE);
      SetWindowLongA(L, GWL_STYLE, Style);
    }
  } else {
    // shown with its owner
    SetWindowPos(L, After, 0, 0, 0, 0, Flags | SWP_NOSIZE | SWP_NOMOVE | (IsWindowVisible(L) ? 0 : SWP_SHOWWINDOW));
  }
  if (!ShapeSet && (OwnerState() & fsfPlacing) == 0) {
    if (Provider != nullptr) Provider->ApplyWindowRegion(false, true);
    else if (FormServices.DialogSetShapeRegion) FormServices.DialogSetShapeRegion(Dialog);
    ShapeSet = true;
  }
  if (F != nullptr && F->AlphaBlend() && (GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_LAYERED) != 0)
    SetLayeredAlpha(W, true, static_cast<BYTE>(F->AlphaBlendValue()));
  Updating = false;
}

void TvkBorderForm::PaintDialogWindow(HWND W) {
  TBitmap* Cache = SkinData->CacheBmp;
  if (Cache == nullptr || Cache->Empty()) return;
  const TRect Mg = Margins();
  // the caption band is made fully opaque first
  SetRectAlpha32(Cache, TRect(Mg.Left, Mg.Top, Cache->Width() - Mg.Right, Mg.Top + OwnerCaptionHeight(true)), 255, NoColor32);
  RECT WR{};
  GetWindowRect(W, &WR);
  HDC DC = GetWindowDC(W);
  BitBlt(DC, 0, 0, WR.right - WR.left, WR.bottom - WR.top, Cache->Canvas()->Handle(), GetLeftIndent(), GetTopIndent(), SRCCOPY);
  ReleaseDC(W, DC);
}

void TvkBorderForm::TakeWholeFormPicture() {
  if (Provider == nullptr || SkinData->CacheBmp == nullptr) return;
  // still the picture made here, with no frame painted into the cache since
  if (SkinData->CacheBmp == WholePicture && Provider->FramePaints() == WholePicturePaints) return;
  TBitmap* Picture = MakeAnimationBitmap(Provider, false);
  if (Picture == nullptr) return;
  delete SkinData->CacheBmp;
  SkinData->CacheBmp = Picture;
  WholePicture = Picture;
  WholePicturePaints = Provider->FramePaints();
}

HRGN TvkBorderForm::BuildRegion(int OwnerWidth, int OwnerHeight) {
  if (BorderWindow == nullptr || !BorderWindow->HandleAllocated()) return nullptr;
  RECT LR{};
  GetWindowRect(BorderWindow->Handle(), &LR);
  const HWND O = OwnerWindow();
  RECT OR{};
  if (O != nullptr) GetWindowRect(O, &OR);
  // the border window and the client grow or shrink by what the owner is about to
  const int DX = OwnerWidth > 0 ? OwnerWidth - (OR.right - OR.left) : 0;
  const int DY = OwnerHeight > 0 ? OwnerHeight - (OR.bottom - OR.top) : 0;
  const int W = LR.right - LR.left + DX, H = LR.bottom - LR.top + DY;
  const TRect Mg = Margins();
  const bool Zoomed = OwnerZoomed();
  const int FW = GetWindowFrameWidth(O, nullptr, false);
  const int XF = GetWindowFrameWidth(O, this, true) - GetWindowFrameWidth(O, this, false);
  // a maximised form's window may be cut at the work area: the inner part ends where the uncut frame would
  const int FullH = Zoomed && SkinData != nullptr && SkinData->CacheBmp != nullptr ? std::max(H, SkinData->CacheBmp->Height()) : H;
  const TRect Inner(Mg.Left + FW + XF, Mg.Top + 4, W - FW - XF - Mg.Right, std::min(H, FullH - FW - XF - Mg.Bottom));
  const TRect Base = Zoomed ? Inner : TRect(0, 0, W, H);
  const uint32_t S = OwnerState();
  if ((S & fsfSkinChangeSnapshot) != 0) return CreateRectRgn(Base.Left, Base.Top, Base.Right, Base.Bottom);
  if ((S & (fsfMoveFade | fsfMinimizing | fsfHiding | fsfSkinChangeSnapshot)) == 0) {
    HRGN R = CreateRectRgn(Base.Left, Base.Top, Base.Right, Base.Bottom);
    const TRect C = ClientHole();
    HRGN Hole = CreateRectRgn(C.Left, C.Top, C.Right + DX, C.Bottom + DY);
    // the client is taken out; a client reaching past the frame (a maximised picture cut at the work area)
    // adds nothing
    CombineRgn(R, R, Hole, RGN_DIFF);
    DeleteObject(Hole);
    return R;
  }
  RECT Work{};
  GetWorkAreaAtPoint(POINT{LR.left + W / 2, LR.top + H / 2}, Work);
  if (LR.top < Work.top) {
    HRGN R = CreateRectRgn(Base.Left, Base.Top, Base.Right, Base.Bottom);
    HRGN Strip = CreateRectRgn(0, 0, W, Work.top - LR.top);
    CombineRgn(R, R, Strip, RGN_DIFF);
    DeleteObject(Strip);
    CutAtWorkArea = true;
    return R;
  }
  CutAtWorkArea = false;
  return Zoomed ? CreateRectRgn(Inner.Left, Inner.Top, Inner.Right, Inner.Bottom) : nullptr;
}

void TvkBorderForm::ApplyRegion() {
  if (!RegionChanged || BorderWindow == nullptr) return;
  RegionChanged = false;
  SetWindowRgn(BorderWindow->Handle(), BuildRegion(), TRUE);
}

// ===================================================================== the mouse

bool TvkBorderForm::IsOutsideFrame(const TMessage& Message) {
  if ((OwnerState() & fsfMoveFade) != 0) return false;
  ApplyRegion();
  TsSkinManager* M = Manager();
  if (AppTerminating() || SkinData == nullptr || BorderWindow == nullptr || M == nullptr || !M->Active()) return false;
  RECT LR{};
  GetWindowRect(BorderWindow->Handle(), &LR);
  TPoint P;
  // client mouse messages carry client points (the border window has no frame: its own coordinates), the
  // non-client ones screen points
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSEFIRST + 9) {
    P = TPoint(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
  } else {
    const TPoint S = ScreenPointOf(Message);
    P = TPoint(S.X - LR.left, S.Y - LR.top);
  }
  if (OwnerZoomed()) return false;
  const int W = LR.right - LR.left, H = LR.bottom - LR.top;
  const TRect Mg = Margins();
  const TsSkinData& D = M->SkinData();
  bool Inside;
  if (D.BorderMode != 1) {
    const int Dd = std::max(6, D.BorderWidth);
    Inside = InBand(P.X, Mg.Left - Dd, W - Mg.Right + Dd) && InBand(P.Y, Mg.Top - Dd, H - Mg.Bottom + Dd);
  } else {
    Inside = InBand(P.X, Mg.Left - D.AlignOffset, W - Mg.Right + D.AlignOffsetR) &&
             InBand(P.Y, Mg.Top - D.AlignOffsetT, H - Mg.Bottom + D.AlignOffsetB);
  }
  if (Inside) return false;
  SetOwnerHot(-1);
  return true;
}

int TvkBorderForm::TitleButtonAt(POINT P) {
  if (Dialog != nullptr) return FormServices.DialogTitleCodeAt ? FormServices.DialogTitleCodeAt(Dialog, P) : 0;
  if (Provider == nullptr) return 0;
  auto In = [P](const TsCaptionButton& B) {
    return B.Rect.Right > B.Rect.Left && P.x >= B.Rect.Left && P.x < B.Rect.Right && P.y >= B.Rect.Top && P.y < B.Rect.Bottom;
  };
  for (const TvkTitleElement& E : Provider->TitleElements()) {
    switch (E.Kind) {
      case tekClose:
        if (In(Provider->ButtonClose)) return HTCLOSE;
        break;
      case tekMax:
        if (In(Provider->ButtonMax)) return HTMAXBUTTON;
        break;
      case tekMin:
        if (In(Provider->ButtonMin)) return HTMINBUTTON;
        break;
      case tekHelp:
        if (In(Provider->ButtonHelp)) return HTHELP;
        break;
      case tekUserButton: {
        TsTitleButton* B = Provider->TitleButtons()->Items(E.Index);
        if (B->Visible() && In(B->Data)) return B->Enabled() ? htUserButton + E.Index : HTCAPTION;
        break;
      }
      case tekTitleBarItem:
        if (TvkTitleBarItem* It = Provider->TitleBarItem(E.Index);
            It != nullptr && Provider->TitleBarItemAt(TPoint(P.x, P.y)) == E.Index && !(It->Style() == bsTab && It->Down()))
          return htTitleBarItem + E.Index;
        break;
    }
  }
  return 0;
}

bool TvkBorderForm::InScrollBarCorner(POINT P) {
  if (Provider == nullptr) return false;
  const int V = Provider->ShownScrollBar(true), H = Provider->ShownScrollBar(false);
  if (V <= 0 || H <= 0) return false;
  // the bars lie right of and below the client rectangle
  const TRect C = OwnerClientRect();
  return P.x >= C.Right && P.x < C.Right + V && P.y >= C.Bottom && P.y < C.Bottom + H;
}

int TvkBorderForm::HitTest(POINT Screen) {
  if (Provider != nullptr && Provider->OnExtHitTest) {
    TMessage M{WM_NCHITTEST, 0, MAKELPARAM(Screen.x, Screen.y), 0};
    Provider->OnExtHitTest(M);
    if (M.Result != 0) return static_cast<int>(M.Result);
  }
  const HWND O = OwnerWindow();
  if (O == nullptr || !IsWindowEnabled(O) || BorderWindow == nullptr) return HTTRANSPARENT;
  RECT LR{};
  GetWindowRect(BorderWindow->Handle(), &LR);
  const POINT P{Screen.x - LR.left, Screen.y - LR.top};
  const int W = LR.right - LR.left, H = LR.bottom - LR.top;
  if (const int Button = TitleButtonAt(P); Button != 0) {
    TsSystemMenu* S = Provider != nullptr ? Provider->SystemMenu() : nullptr;
    switch (Button) {
      case HTCLOSE: return S == nullptr || S->EnabledClose() ? HTCLOSE : HTCAPTION;
      case HTMAXBUTTON: return S == nullptr || S->EnabledMax() || (OwnerZoomed() && S->EnabledRestore()) ? HTMAXBUTTON : HTCAPTION;
      case HTMINBUTTON: return S == nullptr || S->EnabledMin() || IsIconic(O) ? HTMINBUTTON : HTCAPTION;
      default: return Button;
    }
  }
  const TRect Mg = Margins();
  TsSkinManager* M = Manager();
  const TsSkinData* D = M != nullptr ? &M->SkinData() : nullptr;
  if (!OwnerZoomed() && (GetWindowLongA(O, GWL_STYLE) & WS_THICKFRAME) != 0 && D != nullptr) {
    int Code = 0;
    bool Top = false, Bottom = false, Left = false, Right = false;
    if (D->BorderMode != 1) {
      const int Wd = std::max(D->BorderWidth, 6);
      Top = InBand(P.y, Mg.Top - Wd, Mg.Top);
      Bottom = !Top && InBand(P.y, H - Mg.Bottom, H - Mg.Bottom + Wd);
      Left = InBand(P.x, Mg.Left - Wd, Mg.Left);
      Right = !Left && InBand(P.x, W - Mg.Right, W - Mg.Right + Wd);
    } else if (InBand(P.x, Mg.Left - D->AlignOffset, W - Mg.Right + D->AlignOffsetR) &&
               InBand(P.y, Mg.Top - D->AlignOffsetT, H - Mg.Bottom + D->AlignOffsetB)) {
      const int FW = GetWindowFrameWidth(O, this, true);
      Top = InBand(P.y, Mg.Top - D->AlignOffsetT, Mg.Top - D->AlignOffsetT + 4);
      Bottom = !Top && InBand(P.y, H - Mg.Bottom + D->AlignOffsetB - FW, H - Mg.Bottom + D->AlignOffsetB);
      Left = InBand(P.x, Mg.Left - D->AlignOffset, Mg.Left - D->AlignOffset + FW);
      Right = !Left && InBand(P.x, W - Mg.Right + D->AlignOffsetR - FW, W - Mg.Right + D->AlignOffsetR);
    }
    if (Left) Code = Top ? HTTOPLEFT : Bottom ? HTBOTTOMLEFT : HTLEFT;
    else if (Right) Code = Top ? HTTOPRIGHT : Bottom ? HTBOTTOMRIGHT : HTRIGHT;
    else if (Top) Code = HTTOP;
    else if (Bottom) Code = HTBOTTOM;
    if (Code != 0) return Code;
  }
  const int Caption = OwnerCaptionHeight(true);
  if (P.y >= 0 && P.y <= Mg.Top + Caption) {
    TRect I;
    if (Provider != nullptr) I = Provider->IconRect();
    else if (Dialog != nullptr && FormServices.DialogIconRect) I = FormServices.DialogIconRect(Dialog);
    if (P.x >= I.Left && P.x < I.Right && P.y >= I.Top && P.y < I.Bottom) return HTSYSMENU;
    return HTCAPTION;
  }
  // the menu band starts below the margin, as in the provider's own hit test
  if (P.y <= Mg.Top + Caption + OwnerMenuLineHeight()) return HTMENU;
  if (Provider != nullptr && P.x >= Mg.Left && P.x < W - Mg.Right && P.y >= Mg.Top && P.y < H - Mg.Bottom &&
      (Provider->IsGripShown() || InScrollBarCorner(P)) && M != nullptr && M->MaskIndexInRange(M->ConstData().GripImage)) {
    const TPoint G = Provider->GetGripPosition(M->ConstData().GripImage);
    if (P.x > G.X && P.y > G.Y) return HTBOTTOMRIGHT;
  }
  return HTTRANSPARENT;
}

bool TvkBorderForm::SetCursorFor(int Code) {
  LPCSTR Id = nullptr;
  switch (Code) {
    case HTCAPTION:
    case HTMENU: Id = IDC_ARROW; break;
    case HTLEFT:
    case HTRIGHT: Id = IDC_SIZEWE; break;
    case HTTOP:
    case HTBOTTOM: Id = IDC_SIZENS; break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: Id = IDC_SIZENWSE; break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: Id = IDC_SIZENESW; break;
    default: return false;
  }
  SetCursor(LoadCursorA(nullptr, Id));
  return true;
}

void TvkBorderForm::SendToOwner(UINT Msg, WPARAM Code, LPARAM LParam) {
  if (const HWND O = OwnerWindow()) SendMessageA(O, Msg, Code, LParam);
}

void TvkBorderForm::RestoreFromCaptionDrag() {
  TCustomForm* F = Provider != nullptr ? Provider->Form() : nullptr;
  if (F == nullptr) return;
  POINT C{};
  Platform().GetCursorPos(&C);
  RECT Before{};
  GetWindowRect(OwnerWindow(), &Before);
  // where the caption was taken: as far along the window and below the caption's top (which lies margin - top
  // indent below the window's top, in either state)
  const double Rel = Before.right > Before.left ? static_cast<double>(LastPos.x - Before.left) / (Before.right - Before.left) : 0.5;
  const int Down = LastPos.y - (Before.top + Margins().Top - GetTopIndent());
  Updating = true;
  F->SetWindowState(wsNormal);
  const int Caption = std::max(OwnerCaptionHeight(true), 1);
  const int NewLeft = C.x - static_cast<int>(std::lround(Rel * F->Width()));
  // the cursor keeps its place on the caption; a window may lie above the primary monitor (no clamp at 0)
  const int NewTop = C.y - std::clamp(Down, 0, Caption - 1) - (Margins().Top - GetTopIndent());
  F->SetBounds(NewLeft, NewTop, F->Width(), F->Height());
  Updating = false;
  CaptionPressed = false;
  if (SkinData != nullptr) SkinData->CacheDirty = true;
  UpdateBorderWindow(true, 255);
}

void TvkBorderForm::DragPressedCaption(TPoint S) {
  if (!CaptionPressed || !OwnerZoomed() || (std::abs(S.X - LastPos.x) < 6 && std::abs(S.Y - LastPos.y) < 6)) return;
  RestoreFromCaptionDrag();
  CaptionPressed = false;
  LastPos = kIdlePos;
  if (GetCapture() == BorderWindow->Handle()) ReleaseCapture();
  // the drag goes on under the held button: as a faded move where moving blends, else in the system's own move
  // loop (nothing else would move the form before the caption is taken again)
  if (!BeginCaptionMove(Provider)) SendToOwner(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, MAKELPARAM(S.X, S.Y));
}

void TvkBorderForm::EndCaptionPress(LPARAM ScreenPoint) {
  CaptionPressed = false;
  LastPos = kIdlePos;
  if (GetCapture() == BorderWindow->Handle()) ReleaseCapture();
  SendToOwner(WM_NCLBUTTONUP, static_cast<WPARAM>(-1), ScreenPoint);
}

void TvkBorderForm::DoubleClick(int Code) {
  TCustomForm* F = Provider->Form();
  const HWND O = OwnerWindow();
  if (F == nullptr || O == nullptr) return;
  TsSystemMenu* S = Provider->SystemMenu();
  switch (Code) {
    case HTCAPTION: {
      const bool MaxOrRestore = S != nullptr && (S->EnabledMax() || S->EnabledRestore());
      if ((F->BorderIcons().Contains(biSystemMenu) && MaxOrRestore) || (!Provider->HasCaption() && IsIconic(O)))
        SendToOwner(WM_SYSCOMMAND, IsZoomed(O) || IsIconic(O) ? SC_RESTORE : SC_MAXIMIZE, 0);
      else if (IsIconic(O))
        SendToOwner(WM_SYSCOMMAND, SC_RESTORE, 0);
      if (S != nullptr) S->RefreshItemStates(false);
      break;
    }
    case HTSYSMENU: SendToOwner(WM_SYSCOMMAND, SC_CLOSE, 0); break;
    case HTTOP:
    case HTBOTTOM:
    case HTLEFT:
    case HTRIGHT: {
      if (F->BorderStyle() != bsSizeable) break;
      const bool Vertical = Code == HTTOP || Code == HTBOTTOM;
      const uint32_t Bit = Vertical ? fsfRestoreHeight : fsfRestoreWidth;
      TRect& Saved = TvkProviderEffects::SavedBounds(Provider);
      RECT Work{};
      GetFormWorkArea(F, Work);
      const int XF = GetWindowFrameWidth(O, this, true) - GetWindowFrameWidth(O, this, false);
      if ((OwnerState() & Bit) != 0) {
        SetOwnerState(OwnerState() & ~Bit);
        if (Vertical) F->SetBounds(F->Left(), Saved.Top, F->Width(), Saved.Bottom - Saved.Top);
        else F->SetBounds(Saved.Left, F->Top(), Saved.Right - Saved.Left, F->Height());
      } else {
        Saved = TRect(F->Left(), F->Top(), F->Left() + F->Width(), F->Top() + F->Height());
        if (Vertical) {
          const int Top = Work.top + GetExtraCaptionHeight(this) + XF;
          F->SetBounds(F->Left(), Top, F->Width(), Work.bottom - XF - Top);
        } else {
          F->SetBounds(Work.left + XF, F->Top(), Work.right - Work.left - 2 * XF, F->Height());
        }
        SetOwnerState(OwnerState() | Bit);
      }
      break;
    }
    default: break;
  }
}

// A double click on a title-bar item: its press is let go (a drop-down has closed by now) and its click runs.
void TvkBorderForm::TitleBarItemDoubleClick(int Index) {
  TsTitleBar* Bar = Provider->TitleBar();
  if (Bar == nullptr || Index < 0 || Index >= Bar->Items()->Count()) return;
  TvkTitleBarItem* It = Bar->Items()->Items(Index);
  if (!It->Enabled()) return;
  It->Busy = false;
  It->DoClick();
}

// The main form hides: its border window stays in place showing the form's last picture, which the hide
// animation then takes over. True when the hide was taken (the window is not hidden).
bool TvkBorderForm::HideMainForm() {
  const uint32_t S = OwnerState();
  if ((S & fsfMinimizing) != 0) return true;
  // a snapshot for the hide is already on the border window
  if ((S & fsfHiding) != 0) return true;
  TsSkinManager* M = Manager();
  if (M == nullptr || !Provider->AllowAnimation() || !M->AnimEffects()->FormHide()->Active() ||
      !M->Effects()->AllowAnimation() || M->AnimEffects()->FormHide()->Mode() == atDropDown || BorderWindow == nullptr)
    return false;
  SetOwnerState(S | fsfHiding);
  if (TBitmap* Picture = MakeAnimationBitmap(Provider, false)) {
    delete SkinData->CacheBmp;
    SkinData->CacheBmp = Picture;
  }
  Updating = true;
  const HWND L = BorderWindow->Handle();
  RECT LR{};
  GetWindowRect(L, &LR);
  UpdateLayeredPremultiplied(L, SkinData->CacheBmp, 255, POINT{LR.left, LR.top});
  SetWindowRgn(L, BuildRegion(), FALSE);
  SetWindowPos(L, nullptr, 0, 0, 0, 0, 0x65B);
  return true;
}

// The border window dragged by itself during a move fade snaps the form's place to the screen's edges.
void TvkBorderForm::SnapWhileDragged(WINDOWPOS* WP) {
  if (WP == nullptr || Provider == nullptr || (WP->flags & SWP_NOMOVE) != 0 || (OwnerState() & fsfMoveFade) == 0 ||
      !Provider->ScreenSnap() || OwnerZoomed())
    return;
  const int DX = GetLeftIndent(), DY = GetTopIndent();
  int X = WP->x + DX, Y = WP->y + DY;
  SnapPosition(Provider, X, Y);
  WP->x = X - DX;
  WP->y = Y - DY;
}

// A stay-on-top form keeps its border window right under it after each move (at the very top for the active
// main form where the desktop composes).
void TvkBorderForm::KeepUnderStayOnTopForm() {
  TCustomForm* F = Provider != nullptr ? Provider->Form() : nullptr;
  if (F == nullptr || F->FormStyle() != fsStayOnTop || !F->HandleAllocated() || BorderWindow == nullptr ||
      F->ComponentState().Contains(csDestroying))
    return;
  const HWND O = F->Handle(), L = BorderWindow->Handle();
  const bool Top = IsDwmCompositionActive() && Application != nullptr && Application->MainForm() == F &&
                   GetActiveWindow() == O;
  // placing the window sends this message again: once in place, or while placing, nothing more
  static bool Placing = false;
  // (an owned window may be kept just above its owner instead: beside it is in place too)
  if (Placing || (Top ? GetWindow(L, GW_HWNDPREV) == nullptr
                      : GetWindow(O, GW_HWNDNEXT) == L || GetWindow(O, GW_HWNDPREV) == L))
    return;
  Placing = true;
  SetWindowPos(L, Top ? HWND_TOP : O, 0, 0, 0, 0, 0x65B);
  Placing = false;
}

void TvkBorderForm::ResyncProviderAfterForeignMove(const WINDOWPOS* WP) {
  if (Provider == nullptr || WP == nullptr || Updating || Moving || InHoleUpdate || InAnimationProcess ||
      (WP->flags & (SWP_NOMOVE | SWP_NOSIZE)) == (SWP_NOMOVE | SWP_NOSIZE) ||
      TvkProviderEffects::AnimationRunning(Provider) ||
      (OwnerState() & (fsfPlacing | fsfMoveFade | fsfMinimizing | fsfRestoring | fsfHiding | fsfShowing)) != 0)
    return;
  TCustomForm* F = Provider->Form();
  const HWND O = OwnerWindow();
  TsSkinManager* M = Manager();
  if (F == nullptr || F->ComponentState().Contains(csDestroying) || O == nullptr || IsIconic(O) || M == nullptr)
    return;
  // a frame no longer wanted is left to the provider's own handlers: freeing it here would free the window
  // whose message this is
  if (Provider->BorderWindowWanted(M->ExtendedBorders())) Provider->CheckBorderWindow(true);
}

void TvkBorderForm::BorderWindowProc(TMessage& Message) {
  try {
    // the pressed caption of the maximised owner holds the mouse: its moves and release come as client messages
    if (CaptionPressed && (Message.Msg == WM_MOUSEMOVE || Message.Msg == WM_LBUTTONUP) &&
        GetCapture() == BorderWindow->Handle()) {
      POINT P{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
      ClientToScreen(BorderWindow->Handle(), &P);
      if (Message.Msg == WM_MOUSEMOVE) DragPressedCaption(TPoint(P.x, P.y));
      else EndCaptionPress(MAKELPARAM(P.x, P.y));
      return;
    }
    const HWND O = OwnerWindow();
    TCustomForm* F = Provider != nullptr ? Provider->Form() : nullptr;
    switch (Message.Msg) {
      case WM_SHOWWINDOW: {
        const bool MainForm = F != nullptr && Application != nullptr && Application->MainForm() == F;
        if (!MainForm) return;  // the owner shows and hides its border itself
        if (Message.WParam == 0 && Message.LParam <= 1 && HasLayeredWindowApi() && !SkinChangeAnimating &&
            Provider->DrawNonClientArea() && HideMainForm()) {
          Message.Result = 0;
          return;
        }
        break;
      }
      case WM_SIZE:
        if (Provider != nullptr && (OwnerState() & fsfMoveFade) != 0) {
          RegionChanged = true;
          ApplyRegion();
        }
        OldWindowMethod(Message);
        if (Provider != nullptr) MoveGluedForms(Provider);
        return;
      case WM_MOVE:
        // a move of the form moves its border window without resizing it: the glued forms follow here too
        OldWindowMethod(Message);
        if (Provider != nullptr) MoveGluedForms(Provider);
        return;
      case WM_ACTIVATE:
        // the form takes the activation and the focus; no exception from a form on its way out (its window may go
        // first). The activation is handed on itself: where the thread's focus still names the form, SetFocus
        // alone changes nothing and this window stays active, and its end would then activate its owner
        if (LOWORD(Message.WParam) != WA_INACTIVE && F != nullptr && !F->ComponentState().Contains(csDestroying) &&
            O != nullptr && IsWindowVisible(O) && IsWindowEnabled(O) && F->Visible() && F->CanFocus()) {
          ::SetActiveWindow(O);
          ::SetFocus(O);
        }
        return;
      case WM_ERASEBKGND:
      case WM_NCPAINT: Message.Result = 1; return;
      case WM_SETCURSOR: {
        POINT C{};
        Platform().GetCursorPos(&C);
        const int Code = HitTest(C);
        if (Code >= htTitleBarItem) return;
        if (SetCursorFor(Code)) {
          Message.Result = 1;
          return;
        }
        break;
      }
      case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        if (O != nullptr && (Provider == nullptr ? IsWindowEnabled(O) : F != nullptr && F->CanFocus())) SetForegroundWindow(O);
        return;
      case WM_WINDOWPOSCHANGING: {
        auto* WP = reinterpret_cast<WINDOWPOS*>(Message.LParam);
        SnapWhileDragged(WP);
        OldWindowMethod(Message);
        // the provider remembers where its border window went (a faded move puts it back there)
        if (Provider != nullptr && WP != nullptr && (WP->flags & SWP_NOMOVE) == 0)
          TvkProviderEffects::BorderPos(Provider) = TPoint(WP->x, WP->y);
        return;
      }
      case WM_WINDOWPOSCHANGED:
        // a dialog's own region follows its frame
        if (Dialog != nullptr && !Updating && !Moving && FormServices.DialogSetShapeRegion)
          FormServices.DialogSetShapeRegion(Dialog);
        OldWindowMethod(Message);
        ResyncProviderAfterForeignMove(reinterpret_cast<const WINDOWPOS*>(Message.LParam));
        KeepUnderStayOnTopForm();
        // a window being freed (marked moving meanwhile) does not paint a successor for the iconic form
        if (F != nullptr && O != nullptr && Provider != nullptr && !TvkProviderEffects::AnimationRunning(Provider) &&
            IsIconic(O) && (OwnerState() & fsfMinimizing) == 0 && !Moving) {
          SkinData->CacheDirty = true;
          UpdateBorderWindow(false, 255);
        }
        return;
      case WM_NCHITTEST:
        if (IsOutsideFrame(Message)) {
          OldWindowMethod(Message);
          Message.Result = HTTRANSPARENT;
          return;
        }
        OldWindowMethod(Message);
        Message.Result = HTOBJECT;
        return;
      case WM_NCMOUSEMOVE: {
        if (TsSkinManager* M = Manager()) M->ChangeHotGraphicControl(nullptr);
        const TPoint S = ScreenPointOf(Message);
        if (Moving) {
          // a frame held still (a hide's picture on it) has no drag to follow: no point was taken to move from
          if (F != nullptr && (LastPos.x != kIdlePos.x || LastPos.y != kIdlePos.y)) {
            F->SetBounds(F->Left() + S.X - LastPos.x, F->Top() + S.Y - LastPos.y, F->Width(), F->Height());
            LastPos = POINT{S.X, S.Y};
          }
          return;
        }
        const int Code = HitTest(S);
        Message.Result = Code;
        if (Provider != nullptr) Provider->SetHotElement(IsTitleElementCode(Provider, Code) ? Code : -1, true);
        else SetOwnerHot(Code == HTMINBUTTON || Code == HTMAXBUTTON || Code == HTCLOSE || Code == HTHELP ? Code : 0);
        DragPressedCaption(S);
        return;
      }
      case WM_CAPTURECHANGED:
        CaptionPressed = false;
        break;
      case WM_NCLBUTTONDOWN: {
        if (IsOutsideFrame(Message)) return;
        if (ProviderParts.ClosePopups) ProviderParts.ClosePopups(Provider);
        Updating = false;
        const TPoint S = ScreenPointOf(Message);
        const int Code = HitTest(S);
        if (Code == HTCAPTION && Provider != nullptr && OwnerZoomed()) {
          LastPos = POINT{S.X, S.Y};
          // the moves that follow may leave the caption before one of them comes here (the system merges moves)
          SetCapture(BorderWindow->Handle());
          CaptionPressed = true;
          return;
        }
        if (Code == HTCAPTION && Provider != nullptr && O != nullptr && !IsIconic(O) && BeginCaptionMove(Provider)) return;
        if (Code == HTCAPTION && Dialog != nullptr && O != nullptr && !IsIconic(O) && FormServices.DialogStartBlendedMove &&
            FormServices.DialogStartBlendedMove(Dialog))
          return;
        if (Code == HTSYSMENU) {
          SendToOwner(WM_NCLBUTTONDOWN, HTSYSMENU, Message.LParam);
          return;
        }
        SendToOwner(WM_NCLBUTTONDOWN, static_cast<WPARAM>(CaptionPressed ? Code : -1), Message.LParam);
        return;
      }
      case WM_NCLBUTTONUP:
        if (IsOutsideFrame(Message)) return;
        EndCaptionPress(Message.LParam);
        return;
      case WM_NCLBUTTONDBLCLK: {
        CaptionPressed = false;
        const int Code = HitTest(ScreenPointOf(Message));
        if (Provider != nullptr) {
          if (Code >= htTitleBarItem) {
            TitleBarItemDoubleClick(Code - htTitleBarItem);
            return;
          }
          DoubleClick(Code);
        }
        return;
      }
      case WM_NCRBUTTONDOWN:
        SendToOwner(WM_NCRBUTTONDOWN, HitTest(ScreenPointOf(Message)), Message.LParam);
        return;
      case WM_NCRBUTTONUP:
        SendToOwner(WM_NCRBUTTONUP, static_cast<WPARAM>(-1), Message.LParam);
        return;
      default:
        if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSEFIRST + 9 && IsOutsideFrame(Message)) {
          if (TsSkinManager* M = Manager()) M->ChangeHotGraphicControl(nullptr);
          // while an animation holds the form's frame, the border window keeps the region it has
          if (Provider != nullptr && Provider->IsFramePaintSuspended()) return;
          // a one-pixel hole under the mouse: the next click falls through to the window below
          InHoleUpdate = true;
          HRGN R = BuildRegion();
          if (R == nullptr) {
            RECT LR{};
            GetWindowRect(BorderWindow->Handle(), &LR);
            R = CreateRectRgn(0, 0, LR.right - LR.left, LR.bottom - LR.top);
          }
          const int X = static_cast<short>(LOWORD(Message.LParam)), Y = static_cast<short>(HIWORD(Message.LParam));
          HRGN Hole = CreateRectRgn(X, Y, X + 1, Y + 1);
          CombineRgn(R, R, Hole, RGN_DIFF);
          DeleteObject(Hole);
          SetWindowRgn(BorderWindow->Handle(), R, FALSE);
          RegionChanged = true;
          InHoleUpdate = false;
          return;
        }
        break;
    }
    OldWindowMethod(Message);
  } catch (...) {
    if (Application != nullptr) Application->HandleException(nullptr);
  }
}

// ===================================================================== services

void InstallBorderFormParts() {
  ProviderParts.NewBorderForm = [](TsSkinProvider* P) { return new TvkBorderForm(P); };
  ProviderParts.FreeBorderForm = [](TvkBorderForm* B) { B->Free(); };
  ProviderParts.BorderHitTest = [](TvkBorderForm* B, TMessage& M) {
    return B->HitTest(POINT{static_cast<short>(LOWORD(M.LParam)), static_cast<short>(HIWORD(M.LParam))});
  };
  ProviderParts.PaintExtendedBorder = [](TsSkinProvider* P, TBitmap* Cache) {
    TsSkinManager* M = P->SkinData() != nullptr ? P->SkinData()->SkinManager() : nullptr;
    if (P->BorderForm() == nullptr || M == nullptr || Cache == nullptr) return;
    PaintExtendedBorderInto(Cache, M->ExtBorderBitmap(P->CaptionActive()), M->ExtBorderMargins());
  };
  TvkFormServices& S = FormServices;
  S.CreateBorderWindow = [](TvkBorderForm* B) { B->CreateBorderWindow(); };
  S.UpdateBorderWindow = [](TvkBorderForm* B, bool Repaint, uint8_t Alpha) { B->UpdateBorderWindow(Repaint, Alpha); };
  S.GetTopIndent = [](TvkBorderForm* B) { return B->GetTopIndent(); };
  S.PaintOwnerFrame = [](TvkBorderForm* B) { B->PaintOwnerFrame(); };
  S.BuildBorderRegion = [](TvkBorderForm* B) { return B->BuildRegion(); };
  S.BorderLayeredWindow = [](TvkBorderForm* B) { return B->BorderWindow; };
  S.SetBorderLayeredWindow = [](TvkBorderForm* B, TvkGlowForm* W) { B->BorderWindow = W; };
  S.BorderSavedOwner = [](TvkBorderForm* B) { return B->SavedParent; };
  S.BorderUpdating = [](TvkBorderForm* B) { return B->Updating; };
  S.ReleaseBorderLayeredWindow = [](TvkBorderForm* B) -> TvkGlowForm* {
    TvkGlowForm* L = B->BorderWindow;
    if (L == nullptr) return nullptr;
    // the window goes back to its own procedure and owner; the border form makes a new one when next shown
    B->BorderWindow = nullptr;
    L->WindowProc = B->OldWindowMethod;
    if (L->HandleAllocated())
      SetWindowLongPtrA(L->Handle(), GWL_HWNDPARENT, reinterpret_cast<LONG_PTR>(B->SavedParent));
    B->Updating = false;
    return L;
  };
  S.SetBorderUpdating = [](TvkBorderForm* B, bool On) { B->Updating = On; };
  S.GetSkinCaptionHeight = [](TvkBorderForm* B) {
    TsSkinManager* M = B->Manager();
    if (M == nullptr) return 0;
    return B->Provider != nullptr && B->OwnerZoomed() ? M->SkinData().MaxHeight : M->SkinData().TitleHeight;
  };
  S.GetSkinFrameWidth = [](TvkBorderForm* B) { return B->Manager() != nullptr ? B->Manager()->SkinData().BorderWidth : 0; };
  S.GetExtraCaptionHeight = [](TvkBorderForm* B) {
    return B->OwnerCaptionHeight(true) - B->OwnerCaptionHeight(false) - GetWindowFrameWidth(B->OwnerWindow(), B, false);
  };
}

void RemoveBorderFormParts() {
  ProviderParts.NewBorderForm = nullptr;
  ProviderParts.FreeBorderForm = nullptr;
  ProviderParts.BorderHitTest = nullptr;
  ProviderParts.PaintExtendedBorder = nullptr;
  TvkFormServices& S = FormServices;
  S.CreateBorderWindow = nullptr;
  S.UpdateBorderWindow = nullptr;
  S.GetTopIndent = nullptr;
  S.PaintOwnerFrame = nullptr;
  S.BuildBorderRegion = nullptr;
  S.BorderLayeredWindow = nullptr;
  S.SetBorderLayeredWindow = nullptr;
  S.BorderSavedOwner = nullptr;
  S.BorderUpdating = nullptr;
  S.ReleaseBorderLayeredWindow = nullptr;
  S.SetBorderUpdating = nullptr;
  S.GetSkinCaptionHeight = nullptr;
  S.GetSkinFrameWidth = nullptr;
  S.GetExtraCaptionHeight = nullptr;
}
