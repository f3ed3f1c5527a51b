// What lies under a point of the skinned frame (title elements, sizing borders, caption, menu line, grip), the
// states of the title elements under the mouse, the repaint of one element, and the system menu at a point.
#include <algorithm>

#include "framework/Forms.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkGlow.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProviderMetrics.h"
#include "skin/forms/sSkinProviderSysMenu.h"
#include "skin/forms/sSkinProviderUnit.h"
#include "skin/forms/vkTitleBar.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSkinImage.h"

namespace {
bool Contains(const TRect& R, TPoint P) { return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom; }
}  // namespace

void TsSkinProvider::GetWindowOrigin(TPoint& P) {
  const HWND W = FormHandle();
  if (W == nullptr) {
    P = TPoint();
    return;
  }
  if (FForm->FormStyle() != fsMDIChild) {
    RECT R{};
    GetWindowRect(W, &R);
    P = TPoint(R.left, R.top);
    return;
  }
  POINT C{0, 0};
  ClientToScreen(W, &C);
  P.X = C.x - GetWindowFrameWidth(W, FBorderForm, true);
  P.Y = C.y - GetFrameWidthWithoutBorderWindow(W, FBorderForm, true) - (IsIconic(W) ? 0 : GetCaptionBarHeight(true));
}

void TsSkinProvider::ScreenToWindowPoint(int X, int Y, TPoint& P) {
  TPoint O;
  GetWindowOrigin(O);
  P = TPoint(X - O.X, Y - O.Y);
}

TsCaptionButton* TsSkinProvider::ButtonByCode(int Code) {
  switch (Code) {
    case HTMINBUTTON: return &ButtonMin;
    case HTMAXBUTTON: return &ButtonMax;
    case HTCLOSE: return &ButtonClose;
    case HTHELP: return &ButtonHelp;
    case htMDIClose: return &ButtonMDIClose;
    case htMDIRestore: return &ButtonMDIRestore;
    case htMDIMinimize: return &ButtonMDIMin;
    default: break;
  }
  if (Code >= htUserButton && Code < htUserButton + FTitleButtons->Count()) {
    TsTitleButton* B = FTitleButtons->Items(Code - htUserButton);
    return B->Visible() ? &B->Data : nullptr;
  }
  return nullptr;
}

int TsSkinProvider::ElementAt(TPoint P) {
  if (FBorderForm != nullptr) return 0;
  if (FSystemMenu == nullptr) SetUpFormSkinning();
  if (FSystemMenu == nullptr) return 0;
  // counted again each time: buttons and items may have come or gone since the last layout
  BuildTitleElements();
  const int ItemHit = TitleBarItemAt(P);
  int Found = 0;
  bool SystemHit = false;
  for (size_t i = 0; i < FTitleElements.size(); ++i) {
    const TvkTitleElement& E = FTitleElements[i];
    const int N = static_cast<int>(i) + 1;
    switch (E.Kind) {
      case tekClose:
        if (Contains(ButtonClose.Rect, P)) Found = N, SystemHit = true;
        break;
      case tekMax:
      case tekMin:
      case tekHelp: {
        const TsCaptionButton& B = E.Kind == tekMax ? ButtonMax : E.Kind == tekMin ? ButtonMin : ButtonHelp;
        if (!SystemHit && Contains(B.Rect, P)) Found = N, SystemHit = true;
        break;
      }
      case tekUserButton: {
        TsTitleButton* B = FTitleButtons->Items(E.Index);
        if (B->Visible() && Contains(B->Data.Rect, P)) Found = N;
        break;
      }
      case tekTitleBarItem:
        // a spacer or a text under the point is no element at all
        if (ItemHit == E.Index) {
          const TvkBtnStyle Style = TitleBarItem(E.Index)->Style();
          Found = Style == bsSpacing || Style == bsInfo ? 0 : N;
        }
        break;
    }
  }
  return Found;
}

// A maximised MDI child's buttons on the menu line answer their own codes; the rest of the line is the menu.
int TsSkinProvider::MenuLineHit(TPoint P) {
  if (!ShowsMDIChildButtons()) return HTMENU;
  const TPoint O = WindowOriginInCache();
  const TPoint C(P.X + O.X, P.Y + O.Y);
  for (const TsCaptionButton* B : {&ButtonMDIClose, &ButtonMDIRestore, &ButtonMDIMin})
    if (Contains(B->Rect, C)) return B->Code;
  return HTMENU;
}

int TsSkinProvider::HitTestAt(TMessage& Message) {
  TPoint P;
  ScreenToWindowPoint(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)), P);
  const HWND W = FormHandle();
  if (W == nullptr) return HTCLIENT;
  const bool Iconic = IsIconic(W);
  const int i = ElementAt(P);
  if (i >= 1 && i <= static_cast<int>(FTitleElements.size())) {
    const TvkTitleElement& E = FTitleElements[i - 1];
    int Code = HTCLIENT;
    switch (E.Kind) {
      case tekClose: Code = FSystemMenu->EnabledClose() ? HTCLOSE : HTCAPTION; break;
      case tekMax:
        Code = FSystemMenu->EnabledMax() || (FSystemMenu->EnabledRestore() && !Iconic) ? HTMAXBUTTON : HTCAPTION;
        break;
      case tekMin: Code = Iconic || FSystemMenu->EnabledMin() ? HTMINBUTTON : HTCAPTION; break;
      case tekHelp: Code = HTHELP; break;
      case tekUserButton:
        if (FTitleButtons->Items(E.Index)->Enabled()) Code = htUserButton + E.Index;
        break;
      case tekTitleBarItem:
        if (TvkTitleBarItem* It = TitleBarItem(E.Index); It != nullptr && It->Enabled() && !(It->Style() == bsTab && It->Down()))
          Code = htTitleBarItem + E.Index;
        break;
    }
    if (Code != HTCLIENT) return Code;
  }
  const int Width = FForm->Width(), Height = FForm->Height();
  if (!IsZoomed(W) && WindowHasSizingBorder(W) && FBorderForm == nullptr) {
    const int F = GetWindowFrameWidth(W, FBorderForm, true);
    int Code = HTCLIENT;
    if (P.Y < GetFrameWidthWithoutBorderWindow(W, FBorderForm, false))
      Code = HTTOP;
    else if (P.Y > Height - F)
      Code = HTBOTTOM;
    if (P.X < F)
      Code = Code == HTTOP ? HTTOPLEFT : Code == HTBOTTOM ? HTBOTTOMLEFT : HTLEFT;
    else if (P.X > Width - F)
      Code = Code == HTTOP ? HTTOPRIGHT : Code == HTBOTTOM ? HTBOTTOMRIGHT : HTRIGHT;
    if (Code != HTCLIENT) return Code;
  }
  const int T = GetFrameWidthWithoutBorderWindow(W, FBorderForm, false);
  const int C = GetStdCaptionHeight(FForm) + GetFrameWidthWithoutBorderWindow(W, FBorderForm, true);
  if (P.Y >= 0 && P.Y <= C) {
    if (P.Y >= T + GetStdCaptionHeight(FForm) && P.Y <= T + GetCaptionBarHeight(false) + MenuLineHeight()) return HTMENU;
    return Contains(FIconRect, P) ? HTSYSMENU : HTCAPTION;
  }
  if (P.Y <= C + GetMenuLineCount() * MenuLineHeight()) return MenuLineHit(P);
  return OnGrip(P) ? HTBOTTOMRIGHT : HTCLIENT;
}

bool TsSkinProvider::OnGrip(TPoint P) {
  TsSkinManager* M = Manager();
  const int Grip = M != nullptr ? M->ConstData().GripImage : -1;
  if (!IsGripShown() || M == nullptr || !M->MaskIndexInRange(Grip)) return false;
  TPoint G = GetGripPosition(Grip);
  // the cache holds a border window's margins and its extra frame and caption around the window
  if (FBorderForm != nullptr) {
    TRect Mg;
    GetExtBorderMargins(Mg);
    G.Y -= GetExtraCaptionHeight(FBorderForm) + Mg.Top;
    G.X -= ExtraFrameWidth() + Mg.Left;
  }
  return P.X > G.X && P.Y > G.Y;
}

void TsSkinProvider::SetHotElement(int Code, bool Repaint) {
  if (Code == FHotElement || !FDrawNonClientArea) return;
  if (FHotMenuItem != nullptr) {
    TMenuItem* Item = FHotMenuItem;
    FHotMenuItem = nullptr;
    RepaintMenuBarItem(Item, FHotMenuRect, TOwnerDrawState{});
  }
  if (FButtonHint != nullptr) FreeAndNil(FButtonHint);
  const int Old = FHotElement;
  if (Old >= htTitleBarItem && Old != Code && ProviderParts.TitleBarItemHot)
    ProviderParts.TitleBarItemHot(this, Old - htTitleBarItem, false);
  if (Old > 0 && Old != Code) {
    if (Application != nullptr) Application->HideHint();
    if (TsCaptionButton* B = ButtonByCode(Old)) {
      B->State = 0;
      if (Old >= htUserButton && Old < htUserButton + FTitleButtons->Count()) FTitleButtons->Items(Old - htUserButton)->HideHint();
      if (Repaint) RepaintTitleButton(Old);
    }
  }
  FHotElement = Code;
  if (!FPressed && Code >= htTitleBarItem && ProviderParts.TitleBarItemHot)
    ProviderParts.TitleBarItemHot(this, Code - htTitleBarItem, true);
  if (!FPressed && Code > 0) {
    if (TsCaptionButton* B = ButtonByCode(Code)) {
      B->State = 1;
      if (Code >= htUserButton && Code < htUserButton + FTitleButtons->Count()) FTitleButtons->Items(Code - htUserButton)->ShowHint();
      if (Repaint) RepaintTitleButton(Code);
    }
  }
}

void TsSkinProvider::PressElement(int Code) {
  if (Code != FHotElement && FHotElement != 0) {
    if (TsCaptionButton* Old = ButtonByCode(FHotElement)) {
      Old->State = 0;
      RepaintTitleButton(FHotElement);
    }
  }
  FHotElement = Code;
  if (Code >= htTitleBarItem) {
    PressTitleBarItem(Code);
    return;
  }
  bool Allowed = true;
  switch (Code) {
    case HTHELP:
    case HTMINBUTTON:
    case htMDIClose:
    case htMDIMinimize: break;
    // the child's restore, not the main form's maximise, decides
    case htMDIRestore: Allowed = MDIButtonAllowed(Code); break;
    case HTMAXBUTTON:
      Allowed = FSystemMenu != nullptr && (FSystemMenu->EnabledMax() || (FormZoomed() && FSystemMenu->EnabledRestore()));
      break;
    case HTCLOSE: Allowed = FSystemMenu != nullptr && FSystemMenu->EnabledClose(); break;
    default: break;
  }
  TsCaptionButton* B = ButtonByCode(Code);
  if (!Allowed || B == nullptr) {
    FHotElement = 0;
    return;
  }
  B->State = 2;
  if (Code >= htUserButton && Code < htUserButton + FTitleButtons->Count()) FTitleButtons->Items(Code - htUserButton)->HideHint();
  FPressed = true;
  RepaintTitleButton(Code);
}

// A title-bar item pressed: a tab only loses its fade (its click makes it Down); any other shows its pressed look.
void TsSkinProvider::PressTitleBarItem(int Code) {
  TvkTitleBarItem* It = TitleBarItem(Code - htTitleBarItem);
  if (It == nullptr) {
    FHotElement = 0;
    return;
  }
  if (It->Style() == bsTab) {
    It->FreeAnimation();
    FHotElement = -1;
    return;
  }
  It->HotState = 2;
  FPressed = true;
  RepaintTitleButton(Code);
}

void TsSkinProvider::RepaintTitleButton(int Code) {
  // a title-bar item shows its state through its own fade only
  if (Code >= htTitleBarItem) {
    if (TvkTitleBarItem* It = TitleBarItem(Code - htTitleBarItem); It != nullptr && It->Visible())
      AnimateTitleBarItem(this, It, It->GetState() > 0);
    return;
  }
  TsCaptionButton* B = ButtonByCode(Code);
  if (Code == htMDIClose && !ShowsMDIChildButtons()) return;
  if (ProviderParts.AnimateTitleElement && ProviderParts.AnimateTitleElement(this, Code)) return;
  TsSkinManager* M = Manager();
  TBitmap* Cache = FSkinData->CacheBmp;
  if (B == nullptr || M == nullptr || Cache == nullptr || Cache->Empty()) return;
  // a maximised child's buttons on the menu line follow the child's own state
  TsSkinProvider* Child = Code == htMDIRestore || Code == htMDIMinimize ? ActiveChildSkinner() : nullptr;
  TsSystemMenu* ChildMenu = Child != nullptr ? Child->FSystemMenu : nullptr;
  const bool Hidden = Code == htMDIMinimize && ChildMenu != nullptr && !ChildMenu->EnabledMin();
  if (B->State < 0 || B->Rect.Right <= B->Rect.Left || B->Rect.Left <= FIconRect.Right || Hidden) {
    if (B->GlowId >= 0 && AnimationGlue.HideGlowEffect) AnimationGlue.HideGlowEffect(B->GlowId, false);
    return;
  }
  const TRect& R = B->Rect;
  TBitmap* Bmp = NewBitmap32(R.Right - R.Left, R.Bottom - R.Top);
  BitBlt(Bmp->Canvas()->Handle(), 0, 0, Bmp->Width(), Bmp->Height(), Cache->Canvas()->Handle(), R.Left, R.Top, SRCCOPY);
  // Under the element, the caption as it was kept without its buttons: the cache holds the look of the last
  // whole-frame paint (hot, when it came while the pointer rested on the button), which would stay under the glyph.
  if (FTitleStrip != nullptr && !FTitleStrip->Empty()) {
    const int StripLeft = Cache->Width() - FTitleStrip->Width() - 1;
    if (R.Left >= StripLeft && R.Right <= StripLeft + FTitleStrip->Width() && R.Bottom <= FTitleStrip->Height())
      BitBlt(Bmp->Canvas()->Handle(), 0, 0, Bmp->Width(), Bmp->Height(), FTitleStrip->Canvas()->Handle(), R.Left - StripLeft,
             R.Top, SRCCOPY);
  }
  int Kind = B->MaskKind;
  bool Faded = false;
  const HWND W = FormHandle();
  if (Code == HTMAXBUTTON && IsZoomed(W)) Kind = B->LargeCaption ? tmNorm : tmSmallNorm;
  if (Code == htMDIRestore) {
    TCustomForm* CF = FForm->ActiveMDIChild();
    Kind = CF == nullptr || !CF->HandleAllocated() || IsZoomed(CF->Handle()) ? tmSmallNorm : tmSmallMax;
    Faded = ChildMenu != nullptr && !ChildMenu->EnabledRestore();
  }
  if (IsIconic(W)) {
    if (Code == HTMINBUTTON) Kind = B->LargeCaption ? tmNorm : tmSmallNorm;
    if (Code == HTMAXBUTTON) {
      Kind = B->LargeCaption ? tmMax : tmSmallMax;
      Faded = FSystemMenu != nullptr && !FSystemMenu->EnabledMax();
    }
  }
  TvkBgCacheRef Self;
  InitBgInfo(Bmp, 0, 0, Self);
  const bool User = Code >= htUserButton && Code < htUserButton + FTitleButtons->Count();
  if (!User) {
    const int Index = Kind < tmNone ? M->ConstData().TitleMasks[Kind] : -1;
    if (M->MaskIndexInRange(Index))
      DrawSkinGlyph32(Bmp, TPoint(0, 0), B->State, Self, M->ma()[Index],
                      (!FFormActive || Faded) && (B->State == 0 || Faded) ? 2 : 1);
  } else {
    TsTitleButton* UB = FTitleButtons->Items(Code - htUserButton);
    if (UB->UseSkinData() && M->MaskIndexInRange(FTitleButtonMask))
      DrawSkinGlyph32(Bmp, TPoint(0, 0), B->State, Self, M->ma()[FTitleButtonMask], !FFormActive && B->State == 0 ? 2 : 1);
    TBitmap* G = UB->Glyph();
    if (!G->Empty()) {
      const int Shift = B->State == 2 ? 1 : 0;
      const int X = (Bmp->Width() - G->Width()) / 2 + Shift, Y = (Bmp->Height() - G->Height()) / 2 + Shift;
      const TvkBgCacheRef None{};
      if (G->PixelFormat() == pf32bit) {
        AlphaBlendRectOver(TRect(X, Y, X + G->Width(), Y + G->Height()), TRect(0, 0, G->Width(), G->Height()), Bmp, G, None, false);
      } else {
        TransparentBlt(Bmp->Canvas()->Handle(), X, Y, G->Width(), G->Height(), G->Canvas()->Handle(), 0, 0, G->Width(),
                       G->Height(), GetPixel(G->Canvas()->Handle(), 0, G->Height() - 1));
      }
    }
  }
  // back to normal, the frame cache takes the normal look too: a whole-frame paint while the element was hot left
  // it there, and the next repaint of the frame from the cache would bring it back
  if (B->State == 0)
    BitBlt(Cache->Canvas()->Handle(), R.Left, R.Top, Bmp->Width(), Bmp->Height(), Bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  TPoint At(R.Left, R.Top);
  if (FBorderForm != nullptr) {
    TRect Mg;
    GetExtBorderMargins(Mg);
    At.X -= ExtraFrameWidth() + Mg.Left;
    At.Y -= GetExtraCaptionHeight(FBorderForm) + Mg.Top;
  }
  HDC DC = GetWindowDC(W);
  const int Saved = SaveDC(DC);
  BitBlt(DC, At.X, At.Y, Bmp->Width(), Bmp->Height(), Bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  RestoreDC(DC, Saved);
  ReleaseDC(W, DC);
  delete Bmp;
  if (B->GlowId >= 0 && AnimationGlue.HideGlowEffect) AnimationGlue.HideGlowEffect(B->GlowId, false);
  ShowTitleButtonGlow(*B, Code, Kind);
}

// A hot minimise, maximise or close button gets the skin's glow around it (on its screen place).
void TsSkinProvider::ShowTitleButtonGlow(TsCaptionButton& B, int Code, int Kind) {
  TsSkinManager* M = Manager();
  if (B.State != 1 || (Code != HTMINBUTTON && Code != HTMAXBUTTON && Code != HTCLOSE) || M == nullptr || Kind >= 5 ||
      !M->Effects()->AllowGlowing() || FForm->Parent() != nullptr || FForm->FormStyle() == fsMDIChild)
    return;
  const std::vector<int>& Glows = M->ConstData().TitleGlows[Kind];
  if (Glows.empty() || !M->MaskIndexInRange(Glows[0])) return;
  HWND Frame = FormHandle();
  TvkGlowForm* Layered = FBorderForm != nullptr && FormServices.BorderLayeredWindow ? FormServices.BorderLayeredWindow(FBorderForm)
                                                                                     : nullptr;
  if (Layered != nullptr && Layered->HandleAllocated()) Frame = Layered->Handle();
  RECT W{};
  GetWindowRect(Frame, &W);
  const RECT R{W.left + B.Rect.Left, W.top + B.Rect.Top, W.left + B.Rect.Right, W.top + B.Rect.Bottom};
  B.GlowId = ShowGlowEffectByMask(R, Glows, FSkinData, Frame, 255, M->SkinData().TitleGlowMargins[Kind]);
}

void TsSkinProvider::PopupSystemMenu(int X, int Y) {
  if (FSystemMenu == nullptr) SetUpFormSkinning();
  if (FSystemMenu == nullptr) return;
  const HWND W = FormHandle();
  TsSkinManager* M = Manager();
  if (M != nullptr && M->SkinnedPopups()) {
    FSystemMenu->RefreshItemStates(FSystemMenu->ExtraCount() > 0 ||
                                   (FSysSubMenu != nullptr && FSysSubMenu->PopupMenu() != nullptr));
    if (FMakeSkinMenu) {
      TMenuItem* Items = FSystemMenu->Items();
      if (Items->Count() > 0 && Items->Items(0)->Name() == "SkinSelectItem") {
        Items->Items(0)->Free();
        // its line goes with it, or every showing would add one more
        if (Items->Count() > 0 && Items->Items(0)->IsLine()) Items->Items(0)->Free();
      }
      FSystemMenu->MakeSkinItems();
    }
    if (FormServices.InitPopupMenu != nullptr && M->SkinableMenus() != nullptr)
      FormServices.InitPopupMenu(M->SkinableMenus(), FSystemMenu, true);
    FSystemMenu->SetWindowHandle(W);
    try {
      FSystemMenu->Popup(X, Y);
    } catch (...) {
      FSystemMenu->SetWindowHandle(nullptr);
      throw;
    }
    FSystemMenu->SetWindowHandle(nullptr);
    return;
  }
  // the window's own system menu, its commands enabled as the skinned one would
  const LONG Style = WindowStyle(W);
  SetWindowLongA(W, GWL_STYLE, Style & ~WS_VISIBLE);
  HMENU H = GetSystemMenu(W, FALSE);
  auto Set = [H](UINT Id, bool On) { EnableMenuItem(H, Id, MF_BYCOMMAND | (On ? MF_ENABLED : MF_GRAYED | MF_DISABLED)); };
  Set(SC_RESTORE, FSystemMenu->EnabledRestore());
  Set(SC_MOVE, FSystemMenu->EnabledMove());
  Set(SC_SIZE, FSystemMenu->EnabledSize());
  Set(SC_MINIMIZE, FSystemMenu->EnabledMin());
  Set(SC_MAXIMIZE, FSystemMenu->EnabledMax());
  Set(SC_CLOSE, FSystemMenu->EnabledClose());
  SetWindowLongA(W, GWL_STYLE, Style);
  const UINT Chosen = TrackPopupMenu(H, TPM_RETURNCMD | TPM_RIGHTBUTTON, X, Y, 0, W, nullptr);
  if (Chosen != 0) PostMessageA(W, WM_SYSCOMMAND, Chosen, 0);
}
