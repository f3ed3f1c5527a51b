#include "skin/controls/vkAlphaHintWindows.h"

#include <algorithm>

#include "framework/TypInfo.h"
#include "skin/controls/sHtmlParse.h"
#include "skin/controls/vkAlphaHints.h"
#include "skin/controls/vkAlphaHintsPaint.h"
#include "skin/controls/vkHintShowTimer.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkThdTimer.h"
#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSkinText.h"

IMPLEMENT_CLASS(TvkHintManager)
IMPLEMENT_CLASS(TvkCustomHintWindow)
IMPLEMENT_CLASS(TvkPngHintWindow)

TvkHintManager* HintManager = nullptr;
TvkCustomHintWindow* CurrentHintWindow = nullptr;

namespace {

// The hint window showing last: the one a new hint fades out as it comes (the current hint window is already
// the new one, made current when it was made).
TvkCustomHintWindow* g_Showing = nullptr;

constexpr int kLift = 16;         // a template hint above its point clears the pointer by this much more
constexpr int kPollInterval = 300;  // the hide timer without a delay looks at the pointer this often

TRect Margins(int L, int T, int R, int B) { return TRect(L, T, R, B); }

UINT AlignmentFlag(TAlignment A) { return A == taRightJustify ? DT_RIGHT : A == taCenter ? DT_CENTER : DT_LEFT; }

TRect Inset(int W, int H, const TRect& M) { return TRect(M.Left, M.Top, W - M.Right, H - M.Bottom); }

// The screen rectangle of the control whose hint shows; a point at P when there is none.
TRect HintControlRect(TControl* C, POINT P) {
  if (C == nullptr || (C->Parent() == nullptr && As<TWinControl>(C) == nullptr)) return TRect(P.x, P.y, P.x, P.y);
  const POINT O = C->ClientToScreen(POINT{0, 0});
  return TRect(O.x, O.y, O.x + C->Width(), O.y + C->Height());
}

TRect WorkAreaAt(const TRect& R) {
  RECT Area{};
  GetWorkAreaAtPoint(POINT{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}, Area);
  if (IsRectEmpty(&Area)) Area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return TRect(Area);
}

}  // namespace

// ===================================================================================================
// the manager

TvkHintManager::TvkHintManager(TComponent* AOwner)
    : TComponent(AOwner), FTemplates(new TCollection(TvkHintTemplate::StaticClassInfo())) {
  // skinned controls the pointer enters show the hint again while the manager is active
  LibraryHintManagerActive = [] { return HintManager != nullptr && HintManager->Active; };
}

TvkHintManager::~TvkHintManager() {
  ClearHintState();
  if (HintManager == this) HintManager = nullptr;
  FTemplates->Free();
}

TvkHintTemplate* TvkHintManager::Template() const {
  if (SelectedTemplate >= 0 && SelectedTemplate < FTemplates->Count())
    return static_cast<TvkHintTemplate*>(FTemplates->Items(SelectedTemplate));
  if (DefaultHintTemplate == nullptr) throw EInvalidOperation("The default hint template was not built");
  return DefaultHintTemplate;
}

void TvkHintManager::ClearHintState() {
  PrevHintRect = TRect();
  if (SavedHintPause >= 0 && Application != nullptr) Application->SetHintPause(SavedHintPause);
  SavedHintPause = -1;
}

void TvkHintManager::ScheduleStateClear() {
  if (FStateTimer == nullptr) {
    FStateTimer = new TTimer(this);
    FStateTimer->OnTimer = [this](TObject*) { StateTimerTick(); };
  }
  FStateTimer->SetEnabled(false);
  FStateTimer->SetInterval(static_cast<unsigned>((Application ? Application->HintHidePause() : 0) + 300));
  FStateTimer->SetEnabled(true);
}

void TvkHintManager::StateTimerTick() {
  if (FStateTimer != nullptr) FStateTimer->SetEnabled(false);
  TvkCustomHintWindow* W = CurrentHintWindow;
  if (W == nullptr || !W->HandleAllocated() || !IsWindowVisible(W->Handle())) ClearHintState();
}

// ===================================================================================================

int SkinHintSection() {
  TsSkinManager* M = TsSkinManager::DefaultManager();
  if (M == nullptr || !M->Active() || !M->SkinData().Active) return -1;
  return M->FindSectionIndex("HINT");
}

bool HintAnimationsAllowed() {
  TsSkinManager* M = TsSkinManager::DefaultManager();
  return !SkinnedSessionEnding && (M == nullptr || M->Effects()->AllowAnimation());
}

TRect PlaceHint(const TRect& C, int W, int H, TvkHintTemplate* Template, const TRect& Area, bool Lift,
                bool UseImages, int& Placement) {
  const bool Vert = Template != nullptr && Template->HintAlign() == haVertCenter;
  auto At = [&](int P) {
    const bool Right = P == 0 || P == 1, Below = P == 0 || P == 2;
    TvkHintImage* I = UseImages && Template != nullptr ? Template->ImageForPlacement(P) : nullptr;
    const TvkBordersSizes* B = I != nullptr ? I->BordersWidths() : nullptr;
    int X, Y;
    if (!Vert) {
      const int Px = (C.Left + C.Right) / 2, Py = Below ? C.Bottom : C.Top;
      X = Right ? Px - (B ? B->Left() : 0) : Px - W + (B ? B->Right() : 0);
      Y = Below ? Py : Py - H;
    } else {
      const int Px = Right ? C.Right : C.Left, Py = (C.Top + C.Bottom) / 2;
      X = Right ? Px : Px - W;
      Y = Below ? Py - (B ? B->Top() : 0) : Py - H + (B ? B->Bottom() : 0);
    }
    if (I != nullptr) {
      X += I->OffsetHorz();
      Y += I->OffsetVert();
    }
    if (!Below && Lift) Y -= kLift;
    return TRect(X, Y, X + W, Y + H);
  };
  TRect R = At(0);
  Placement = (R.Right > Area.Right ? 2 : 0) + (R.Bottom > Area.Bottom ? 1 : 0);
  if (Placement != 0) R = At(Placement);
  // Whatever the placement, the hint stays on the work area.
  const int DX = R.Right > Area.Right ? Area.Right - R.Right : R.Left < Area.Left ? Area.Left - R.Left : 0;
  const int DY = R.Bottom > Area.Bottom ? Area.Bottom - R.Bottom : R.Top < Area.Top ? Area.Top - R.Top : 0;
  return TRect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY);
}

// ===================================================================================================
// TvkCustomHintWindow

TvkCustomHintWindow::TvkCustomHintWindow(TComponent* AOwner) : THintWindow(AOwner) {
  SetBorderWidth(0);
  CurrentHintWindow = this;
}

TvkCustomHintWindow::~TvkCustomHintWindow() {
  if (CurrentHintWindow == this) CurrentHintWindow = nullptr;
  if (g_Showing == this) g_Showing = nullptr;
  ReleaseHintBitmap();
  if (FHintFont != nullptr) FHintFont->Free();
}

bool TvkCustomHintWindow::Managed() const { return HintManager != nullptr && HintManager->Active; }

void TvkCustomHintWindow::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (!Managed()) return;
  // The layered content carries the hint's own outline and shadow.
  Params.Style &= ~static_cast<DWORD>(WS_BORDER);
  Params.ExStyle |= WS_EX_LAYERED | WS_EX_NOACTIVATE;
  Params.WindowClass.style &= ~static_cast<UINT>(CS_DROPSHADOW);
}

TFont* TvkCustomHintWindow::HintFont() {
  if (FHintFont == nullptr) FHintFont = new TFont();
  FHintFont->Assign(HintManager->Template()->Font());
  if (TsSkinManager* M = TsSkinManager::DefaultManager()) FHintFont->SetHeight(M->ApplyScale(FHintFont->Height()));
  return FHintFont;
}

TRect TvkCustomHintWindow::TextMargins(int) {
  if (HintManager->NoFrame) return Margins(0, 0, 0, 0);
  TsSkinManager* M = TsSkinManager::DefaultManager();
  const int Section = SkinHintSection();
  // A skinned hint keeps its text clear of the section's borders; without a section a plain gap is left.
  const TRect T = SkinHintTextRect(0, 0, Section >= 0 ? M : nullptr, Section);
  return Margins(T.Left, T.Top, -T.Right, -T.Bottom);
}

RECT TvkCustomHintWindow::CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) {
  if (!Managed()) return inherited::CalcHintRect(MaxWidth, AHint, AData);
  const TRect M = SizeMargins(0);
  const int Room = std::max(1, MaxWidth - M.Left - M.Right);
  TFreeHolder<TBitmap> Probe(NewBitmap32(1, 1));
  TCanvas* C = Probe->Canvas();
  C->Font()->Assign(HintFont());
  int W = 0, H = 0;
  if (HintManager->HTMLMode) {
    TFreeHolder<TsHtml> Html(new TsHtml());
    Html->Init(Probe.get(), AHint, -1, -1, TRect(0, 0, Room, 0));
    TvkLinks Links;
    const TRect R = Html->Render(Links, true);
    W = R.Right;
    H = R.Bottom;
  } else {
    RECT R{0, 0, Room, 0};
    TCanvasTextScope S(C);
    ::DrawTextA(S.DC(), AHint.c_str(), static_cast<int>(AHint.size()), &R,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    W = R.right;
    H = R.bottom;
  }
  return RECT{0, 0, W + M.Left + M.Right, H + M.Top + M.Bottom};
}

void TvkCustomHintWindow::ActivateHint(RECT Rect, const std::string& AHint) {
  if (!Managed()) {
    inherited::ActivateHint(Rect, AHint);
    return;
  }
  FText = AHint;
  SetCaption(AHint);
  // Where the last hint stood and whether it still shows, before this one takes its place.
  const TRect From = HintManager->PrevHintRect;
  TvkCustomHintWindow* Previous =
      g_Showing != this && g_Showing != nullptr && g_Showing->HandleAllocated() && IsWindowVisible(g_Showing->Handle())
          ? g_Showing
          : nullptr;
  TControl* Control = Application != nullptr ? Application->HintControl() : nullptr;
  if (Control != FHintControl) {
    if (FHintControl != nullptr) FHintControl->RemoveFreeNotification(this);
    FHintControl = Control;
    if (Control != nullptr) Control->FreeNotification(this);
  }
  const TRect Around = HintControlRect(Control, POINT{Rect.left, Rect.top});
  const bool Lift = HintManager->LiftAbove && SkinHintSection() < 0;
  FTarget = PlaceHint(Around, Rect.right - Rect.left, Rect.bottom - Rect.top, HintManager->Template(),
                      WorkAreaAt(Around), Lift, UsesTemplateImages(), FPlacement);
  HandleNeeded();
  const HWND Wnd = Handle();
  SetWindowLongA(Wnd, GWL_EXSTYLE, GetWindowLongA(Wnd, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_NOACTIVATE);
  SetBounds(FTarget.Left, FTarget.Top, FTarget.Width(), FTarget.Height());
  RenderHint();
  if (TTimer* T = HintManager->StateTimer()) T->SetEnabled(false);
  CurrentHintWindow = this;
  g_Showing = this;
  FShown = true;
  if (HintAnimationsAllowed() && HintManager->Animated)
    StartShow(From, Previous);
  else
    ShowContent(255, POINT{FTarget.Left, FTarget.Top});
  HintManager->PrevHintRect = FTarget;
  ScheduleHintHide(HintManager->HideDelay);
}

void TvkCustomHintWindow::StartShow(const TRect& From, TvkCustomHintWindow* Previous) {
  if (FShowTimer == nullptr) FShowTimer = new TsShowTimer(this);
  // Shown, but without content the layered window shows nothing until the animation hands over.
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_SHOWWINDOW);
  FShowTimer->Start(From, FTarget, HintTargetAlpha(), Previous);
}

void TvkCustomHintWindow::ShowContent(BYTE Alpha, POINT Pos) {
  if (FHintBmp == nullptr || !HandleAllocated()) return;
  UpdateLayeredPremultiplied(Handle(), FHintBmp, Alpha, Pos);
  SetWindowPos(Handle(), HWND_TOPMOST, Pos.x, Pos.y, FHintBmp->Width(), FHintBmp->Height(),
               SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_SHOWWINDOW);
}

void TvkCustomHintWindow::Paint() {
  if (!Managed()) inherited::Paint();
}

void TvkCustomHintWindow::RenderHint() {
  ReleaseHintBitmap();
  if (!Managed()) return;
  const int W = FTarget.Width() > 0 ? FTarget.Width() : Width();
  const int H = FTarget.Height() > 0 ? FTarget.Height() : Height();
  FHintBmp = NewBitmap32(std::max(W, 1), std::max(H, 1));
  const TPixelPlane P = PlaneOf(FHintBmp);
  for (int y = 0; y < P.Height; ++y) std::fill_n(P.Row32(y), P.Width, 0u);
  TColor TextColor = clInfoText;
  PaintFrame(FHintBmp, TextColor);
  DrawText(FHintBmp, TextColor);
  ApplyRegion();
}

void TvkCustomHintWindow::ReleaseHintBitmap() { FreeAndNil(FHintBmp); }

void TvkCustomHintWindow::PaintFrame(TBitmap* Bmp, TColor& TextColor) {
  TsSkinManager* M = TsSkinManager::DefaultManager();
  const int Section = SkinHintSection();
  if (Section >= 0) TextColor = static_cast<TColor>(M->gd()[Section].Props[0].FontColor);
  if (HintManager->NoFrame) return;
  if (Section >= 0)
    PaintSkinHintFrame(Bmp, M, Section, 0);
  else
    FillRect32(Bmp, TRect(0, 0, Bmp->Width(), Bmp->Height()), static_cast<uint32_t>(ColorToRGB(clInfoBk)), 255);
}

void TvkCustomHintWindow::DrawText(TBitmap* Bmp, TColor TextColor) {
  const TRect R = Inset(Bmp->Width(), Bmp->Height(), TextMargins(FPlacement));
  if (HintManager->OnDrawHint) {
    bool Handled = false;
    // What the handler draws is made opaque like the text, or the layered window would not show it.
    PaintOpaque(Bmp, [&] { HintManager->OnDrawHint(HintManager, Bmp->Canvas(), R, FText, Handled); });
    if (Handled) return;
  }
  TFont* F = HintFont();
  F->SetColor(TextColor);
  UINT Flags;
  if (SkinHintSection() >= 0)
    Flags = DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP | (UseRightToLeftReading() ? DT_RTLREADING : 0);
  else
    Flags = DT_WORDBREAK | DT_NOPREFIX | AlignmentFlag(HintManager->Alignment);
  DrawHintText(Bmp, R, FText, F, HintManager->HTMLMode, Flags);
}

void TvkCustomHintWindow::ApplyRegion() {
  if (!HandleAllocated()) return;
  const int Section = SkinHintSection();
  HRGN Rgn = nullptr;
  if (Section >= 0 && !HintManager->NoFrame && FHintBmp != nullptr)
    Rgn = SkinHintRegion(TsSkinManager::DefaultManager(), Section, 0, FHintBmp->Width(), FHintBmp->Height());
  SetWindowRgn(Handle(), Rgn, TRUE);
}

void TvkCustomHintWindow::HideHint() {
  if (HandleAllocated() && IsWindowVisible(Handle())) ShowWindow(Handle(), SW_HIDE);
}

void TvkCustomHintWindow::ScheduleHintHide(int Delay) {
  FHideDelay = Delay;
  if (FHideTimer == nullptr) {
    FHideTimer = new TTimer(this);
    FHideTimer->OnTimer = [this](TObject*) { HideTimerTick(); };
  }
  FHideTimer->SetEnabled(false);
  FHideTimer->SetInterval(static_cast<unsigned>(Delay > 0 ? Delay : kPollInterval));
  FHideTimer->SetEnabled(true);
}

void TvkCustomHintWindow::HideTimerTick() {
  if (FHideDelay <= 0 && MouseControl() == FHintControl) return;
  FHideTimer->SetEnabled(false);
  HideHint();
}

void TvkCustomHintWindow::HiddenNow() {
  if (!FShown) return;
  FShown = false;
  if (g_Showing == this) g_Showing = nullptr;
  if (FShowTimer != nullptr) FShowTimer->Stop();
  if (FHideTimer != nullptr) FHideTimer->SetEnabled(false);
  if (!Managed()) return;
  HintManager->ScheduleStateClear();
  if (HintManager->OnHideHint) HintManager->OnHideHint(this);
}

void TvkCustomHintWindow::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent == FHintControl) FHintControl = nullptr;
  if (Operation == opRemove && AComponent == FShowTimer) FShowTimer = nullptr;
  if (Operation == opRemove && AComponent == FHideTimer) FHideTimer = nullptr;
  inherited::Notification(AComponent, Operation);
}

void TvkCustomHintWindow::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      if (!Managed()) break;
      Message.Result = 1;
      return;
    case WM_NCPAINT:
      if (!Managed()) break;
      // A window whose size changed since the hint was drawn gets it drawn again.
      if (!FText.empty() && (FHintBmp == nullptr || FHintBmp->Width() != Width() || FHintBmp->Height() != Height())) {
        FTarget = BoundsRect();
        RenderHint();
      }
      Message.Result = 1;
      return;
    case WM_DESTROY:
      HiddenNow();
      ReleaseHintBitmap();
      break;
    case WM_SHOWWINDOW:
      if (Message.WParam != 0) {
        CurrentHintWindow = this;
        g_Showing = this;
        FShown = true;
      } else {
        HiddenNow();
      }
      break;
    case SM_VKCMD:
      switch (SkinCommandCode(Message.WParam)) {
        case VKCMD_QUERY_SKINNED:
          Message.Result = 1;
          return;
        case VKCMD_QUERY_PARENT_BG:
          if (Message.LParam != 0) {
            auto& Q = *reinterpret_cast<TvkParentBgQuery*>(Message.LParam);
            if (FHintBmp != nullptr) {
              Q.Kind = bgkBitmap;
              Q.Bmp = FHintBmp;
            } else {
              Q.Kind = bgkColor;
              Q.Color = static_cast<uint32_t>(ColorToRGB(Color()));
            }
          }
          Message.Result = 1;
          return;
        default:
          break;
      }
      break;
    default:
      break;
  }
  inherited::WndProc(Message);
  if ((Message.Msg == WM_MOVE || Message.Msg == WM_SIZE) && Managed() && FShown) {
    // Moved by someone: the next hint slides from here, and a running show ends here.
    RECT R{};
    GetWindowRect(Handle(), &R);
    HintManager->PrevHintRect = TRect(R);
    if (FShowTimer != nullptr && FShowTimer->Enabled()) FShowTimer->Target = TRect(R);
  }
}

// ===================================================================================================
// TvkPngHintWindow

TvkHintImage* TvkPngHintWindow::FrameImage(int Placement) {
  return HintManager->Template()->ImageForPlacement(std::max(0, Placement));
}

bool TvkPngHintWindow::UsesTemplateImages() const { return SkinHintSection() < 0; }

TRect TvkPngHintWindow::TextMargins(int Placement) {
  if (SkinHintSection() >= 0 || HintManager->NoFrame) return inherited::TextMargins(Placement);
  const TvkBordersSizes* C = FrameImage(Placement)->ClientMargins();
  return Margins(C->Left(), C->Top(), C->Right(), C->Bottom());
}

TRect TvkPngHintWindow::SizeMargins(int Placement) {
  if (SkinHintSection() >= 0 || HintManager->NoFrame) return inherited::SizeMargins(Placement);
  // The window holds the whole frame and the text inside its client margins, whichever is wider.
  TvkHintImage* I = FrameImage(Placement);
  const TvkBordersSizes* B = I->BordersWidths();
  const TvkBordersSizes* C = I->ClientMargins();
  return Margins(std::max(B->Left(), C->Left()), std::max(B->Top(), C->Top()), std::max(B->Right(), C->Right()),
                 std::max(B->Bottom(), C->Bottom()));
}

void TvkPngHintWindow::PaintFrame(TBitmap* Bmp, TColor& TextColor) {
  if (SkinHintSection() >= 0) {
    inherited::PaintFrame(Bmp, TextColor);
    return;
  }
  TextColor = HintManager->Template()->Font()->Color();
  if (!HintManager->NoFrame) PaintHintImageFrame(Bmp, FrameImage(Placement()));
}

