#include "skin/forms/vkSBAnimation.h"

#include <algorithm>
#include <set>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntTypes.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSkinImage.h"

IMPLEMENT_CLASS(TvkSBAnimation)

namespace {

// Fades alive: a tick's WM_MOUSELEAVE may reach code that frees the fade sending it.
std::set<const TvkSBAnimation*>& LiveFades() {
  static std::set<const TvkSBAnimation*> Live;
  return Live;
}

constexpr UINT kFadePlaceFlags = 0x61B;

bool IsGlowingCode(int Code) { return Code == HTMINBUTTON || Code == HTMAXBUTTON || Code == HTCLOSE; }

}  // namespace

TvkSBAnimation::TvkSBAnimation(TComponent* AOwner) : TvkFadeAnimation(AOwner) { LiveFades().insert(this); }

TvkSBAnimation::~TvkSBAnimation() {
  LiveFades().erase(this);
  if (Button != nullptr && Button->Animation == this) Button->Animation = nullptr;
}

void TvkSBAnimation::StartState(int NewState, bool FadeIn) {
  if (!EnterState(NewState, FadeIn)) return;
  if (NewState == 0) {
    // down from the alpha the window shows now, one step at a time (a window not shown has nothing to fade)
    const int Unit = std::max(AlphaStep(), 1);
    Step = std::min((ShownAlpha + Unit - 1) / Unit, std::max(StepCount, 1)) - 1;
    if (Step > 0) {
      ShowFrame(std::min(Unit * Step, 255));
      --Step;
    }
    Step = std::max(Step, 0);
  }
  if (StepCount > 1) SetEnabled(true);
}

bool TvkSBAnimation::CursorStillOver() {
  CheckCursor();
  // the owner may have reset the button (a fade-out started) or freed it
  return LiveFades().count(this) != 0 && FadingIn;
}

HWND TvkSBAnimation::FrameWindow() const {
  if (BorderForm != nullptr && FormServices.BorderLayeredWindow)
    if (TvkGlowForm* L = FormServices.BorderLayeredWindow(BorderForm); L != nullptr && L->HandleAllocated())
      return L->Handle();
  return OwnerWnd;
}

void TvkSBAnimation::CheckCursor() {
  if (Button == nullptr) return;
  POINT C{};
  Platform().GetCursorPos(&C);
  RECT W{};
  GetWindowRect(FrameWindow(), &W);
  const TRect& R = Button->Rect;
  const int X = C.x - W.left, Y = C.y - W.top;
  if (X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom) return;
  SetEnabled(false);
  SendMessageA(OwnerWnd, WM_MOUSELEAVE, 0, 0);
}

bool TvkSBAnimation::GlowApplies() {
  TsSkinManager* M = SkinData != nullptr ? SkinData->SkinManager() : nullptr;
  return M != nullptr && Button != nullptr && M->Effects()->AllowGlowing() && State == 1 && IsGlowingCode(Button->Code);
}

int TvkSBAnimation::GlowMaskIndex() {
  TsSkinManager* M = SkinData != nullptr ? SkinData->SkinManager() : nullptr;
  if (M == nullptr || Button == nullptr || Button->MaskKind >= 5) return -1;
  const auto& Glows = M->ConstData().TitleGlows[Button->MaskKind];
  const int Index = Glows.empty() ? -1 : Glows[0];
  return M->MaskIndexInRange(Index) ? Index : -1;
}

int TvkSBAnimation::GlowMargin() {
  if (!GlowApplies() || Button->MaskKind >= 5) return 0;
  return SkinData->SkinManager()->SkinData().TitleGlowMargins[Button->MaskKind];
}

TRect TvkSBAnimation::ButtonScreenRect() {
  RECT W{};
  GetWindowRect(FrameWindow(), &W);
  TRect R = Button->Rect;
  R = TRect(R.Left + W.left, R.Top + W.top, R.Right + W.left, R.Bottom + W.top);
  if (GlowApplies()) {
    const int Glow = GlowMaskIndex();
    if (Glow >= 0) {
      const int Margin = GlowMargin();
      const TsMaskData& G = SkinData->SkinManager()->ma()[Glow];
      R.Left -= Margin;
      R.Top -= Margin;
      R.Right = R.Left + G.Width;
      R.Bottom = R.Top + G.Height;
    }
  }
  return R;
}

void TvkSBAnimation::MakeGlowWindow() {
  GlowWindow = NewFadeWindow();
  if (BorderForm != nullptr && Provider != nullptr && Provider->Form() != nullptr &&
      Provider->Form()->FormStyle() == fsStayOnTop) {
    const HWND H = GlowWindow->Handle();
    SetWindowLongA(H, GWL_EXSTYLE, GetWindowLongA(H, GWL_EXSTYLE) | WS_EX_TOPMOST);
  }
}

void TvkSBAnimation::MakeImage() {
  if (Image != nullptr && State != 2) return;
  delete Image;
  Image = nullptr;
  TsSkinManager* M = SkinData != nullptr ? SkinData->SkinManager() : nullptr;
  if (M == nullptr || Button == nullptr) return;
  int Kind = Button->MaskKind;
  if (Button->Code == HTMAXBUTTON && Provider != nullptr && IsIconic(OwnerWnd))
    Kind = Button->LargeCaption ? tmNorm : tmSmallNorm;
  const int Glow = GlowApplies() ? GlowMaskIndex() : -1;
  if (Glow >= 0) {
    const TsMaskData& G = M->ma()[Glow];
    TBitmap* Src = G.Bmp != nullptr ? G.Bmp : M->MasterBitmap();
    if (Src == nullptr) return;
    Image = NewBitmap32(G.Width, G.Height);
    BitBlt(Image->Canvas()->Handle(), 0, 0, G.Width, G.Height, Src->Canvas()->Handle(), G.R.Left, G.R.Top, SRCCOPY);
    // a picture without alpha of its own is opaque but for its key colour
    if (Src->PixelFormat() != pf32bit) {
      for (int y = 0; y < G.Height; ++y)
        for (int x = 0; x < G.Width; ++x) {
          uint32_t& P = static_cast<uint32_t*>(Image->ScanLine(y))[x];
          P = (P & 0xFFFFFF) == 0xFF00FF ? 0 : (P | 0xFF000000u);
        }
    }
    PremultiplyBitmap(Image);
    return;
  }
  const TRect& R = Button->Rect;
  Image = NewBitmap32(std::max(R.Right - R.Left, 0), std::max(R.Bottom - R.Top, 0));
  if (Image->Width() == 0 || Image->Height() == 0) return;
  if (TBitmap* Cache = SkinData->CacheBmp; Cache != nullptr && !Cache->Empty())
    BitBlt(Image->Canvas()->Handle(), 0, 0, Image->Width(), Image->Height(), Cache->Canvas()->Handle(), R.Left, R.Top,
           SRCCOPY);
  TvkBgCacheRef Self;
  InitBgInfo(Image, 0, 0, Self);
  const bool Inactive = Provider != nullptr && !Provider->CaptionActive() && State == 0;
  TsTitleButton* User = nullptr;
  if (Provider != nullptr && Button->Code >= htUserButton && Button->Code < htUserButton + Provider->TitleButtons()->Count())
    User = Provider->TitleButtons()->Items(Button->Code - htUserButton);
  const int Mask = User != nullptr ? (User->UseSkinData() ? M->ConstData().TitleMasks[tmUserButton] : -1)
                   : Kind < tmNone ? M->ConstData().TitleMasks[Kind] : -1;
  if (M->MaskIndexInRange(Mask)) DrawSkinGlyph32(Image, TPoint(0, 0), State, Self, M->ma()[Mask], Inactive ? 2 : 1);
  // the caption under the button is opaque whatever alpha the cache holds there
  SetRectAlpha32(Image, TRect(0, 0, Image->Width(), Image->Height()), 255, NoColor32);
  if (User != nullptr && !User->Glyph()->Empty()) {
    TBitmap* G = User->Glyph();
    const int Shift = State == 2 ? 1 : 0;
    const int X = (Image->Width() - G->Width()) / 2, Y = (Image->Height() - G->Height()) / 2 + Shift;
    if (G->PixelFormat() == pf32bit) {
      const TvkBgCacheRef None{};
      AlphaBlendRectOver(TRect(X, Y, X + G->Width(), Y + G->Height()), TRect(0, 0, G->Width(), G->Height()), Image, G,
                         None, false);
    } else {
      TransparentBlt(Image->Canvas()->Handle(), X, Y, G->Width(), G->Height(), G->Canvas()->Handle(), 0, 0, G->Width(),
                     G->Height(), 0xFF00FF);
      SetRectAlpha32(Image, TRect(X, Y, X + G->Width(), Y + G->Height()), 255, NoColor32);
    }
  }
  PremultiplyBitmap(Image);
}

void TvkSBAnimation::ShowFrame(int Alpha) {
  if (Image == nullptr) MakeImage();
  if (GlowWindow == nullptr) MakeGlowWindow();
  if (Image == nullptr || GlowWindow == nullptr || Image->Empty()) return;
  TRect R = ButtonScreenRect();
  if (R.Right - R.Left != Image->Width()) {
    const int DX = (R.Right - R.Left - Image->Width()) / 2, DY = (R.Bottom - R.Top - Image->Height()) / 2;
    R.Left += DX;
    R.Top += DY;
    R.Right = R.Left + Image->Width();
    R.Bottom = R.Top + Image->Height();
  }
  GlowWindow->SetBounds(R.Left, R.Top, Image->Width(), Image->Height());
  SetWindowPos(GlowWindow->Handle(), PlaceAfter(FrameWindow()), 0, 0, 0, 0, kFadePlaceFlags);
  PresentImage(POINT{R.Left, R.Top}, Alpha);
}

// ---- the starter ----

void StartTitleButtonAnimation(TsCaptionButton& Record, TvkDialogWnd* Dialog, TsSkinProvider* Provider, int NewState,
                               bool Pressed) {
  if (Application != nullptr && Application->Terminated()) return;
  TvkSBAnimation* A = Record.Animation;
  const int Target = std::max(NewState, 0);
  if (A == nullptr) {
    TsCommonData* Data = nullptr;
    TvkBorderForm* BF = nullptr;
    HWND Wnd = nullptr;
    if (Dialog != nullptr) {
      Data = FormServices.DialogSkinData ? FormServices.DialogSkinData(Dialog) : nullptr;
      BF = FormServices.DialogBorderForm ? FormServices.DialogBorderForm(Dialog) : nullptr;
      Wnd = FormServices.DialogWindow ? FormServices.DialogWindow(Dialog) : nullptr;
    } else if (Provider != nullptr) {
      Data = Provider->SkinData();
      BF = Provider->BorderForm();
      Wnd = Provider->Form() != nullptr && Provider->Form()->HandleAllocated() ? Provider->Form()->Handle() : nullptr;
    }
    if (Data == nullptr || Wnd == nullptr) return;
    A = Create<TvkSBAnimation>(Data->SkinManager());
    A->BorderForm = BF;
    A->OwnerWnd = Wnd;
    A->SkinData = Data;
    A->Provider = Dialog == nullptr ? Provider : nullptr;
    A->Button = &Record;
    Record.Animation = A;
  }
  // a finished fade-in left -1: every start counts again, one step to the pressed look
  A->StepCount = Target == 2 || Pressed ? 1 : kTitleFadeSteps;
  A->SetInterval(kTitleFadeInterval);
  A->StartState(Target, Target > 0);
}

void FreeTitleButtonAnimation(TvkSBAnimation*& Animation) {
  if (Animation == nullptr) return;
  TvkSBAnimation* A = Animation;
  Animation = nullptr;
  A->Button = nullptr;
  A->Free();
}

bool AnimateTitleElement(TsSkinProvider* Provider, int Code) {
  if (Code == htMDIClose || Code == htMDIRestore || Code == htMDIMinimize || Code >= htTitleBarItem) return false;
  TsCaptionButton* B = Provider->ButtonByCode(Code);
  TCustomForm* F = Provider->Form();
  TsSkinManager* M = Provider->SkinData() != nullptr ? Provider->SkinData()->SkinManager() : nullptr;
  if (B == nullptr || F == nullptr || M == nullptr) return false;
  const bool Effects = !M->AnimEffects()->Buttons()->Events().Empty() || Provider->BorderForm() != nullptr;
  const uint32_t Animating = fsfMoveFade | fsfMinimizing | fsfHiding | fsfRestoring | fsfSkinChangeSnapshot | fsfShowing;
  if (!Effects || (Provider->FormStateFlags() & Animating) != 0 || Provider->FormAnimating() ||
      Provider->ShowAnimating() || F->Parent() != nullptr || F->FormStyle() == fsMDIChild)
    return false;
  // A fade-out needs a fade window showing the look; where the frame itself shows it (painted whole while the
  // button was hot, as when the form went inactive under a modal form), the frame is repainted instead.
  if (B->State <= 0 && (B->Animation == nullptr || B->Animation->ShownAlpha == 0)) return false;
  StartTitleButtonAnimation(*B, nullptr, Provider, B->State, B->State == 2);
  return true;
}
