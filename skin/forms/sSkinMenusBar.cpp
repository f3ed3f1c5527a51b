// The items of a form's menu bar: each drawn over the form skinner's menu line in the skin's MENUITEM look.
#include <algorithm>

#include "framework/Forms.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkMaskedText.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinText.h"

namespace {

std::string WithoutAccelMarks(const std::string& S) {
  std::string R = S;
  R.erase(std::remove(R.begin(), R.end(), '&'), R.end());
  return R;
}

// The bar glyph's size: the bitmap's when the menu's list does not give the item an image, else the list's.
TSize BarGlyphSize(TMenuItem* Item, bool& FromBitmap) {
  TMenu* Menu = Item->GetParentMenu();
  TCustomImageList* L = Menu != nullptr ? Menu->Images() : nullptr;
  FromBitmap = false;
  if ((L == nullptr || Item->ImageIndex() < 0) && !Item->Bitmap()->Empty()) {
    FromBitmap = true;
    return TSize{Item->Bitmap()->Width(), Item->Bitmap()->Height()};
  }
  if (L != nullptr && Item->ImageIndex() >= 0) return TSize{L->Width(), L->Height()};
  return TSize{0, 0};
}

}  // namespace

void TsSkinableMenus::MeasureBarItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
  auto* Item = As<TMenuItem>(Sender);
  if (Item == nullptr) return;
  Height = GetSystemMetrics(SM_CYMENU) - 1;
  ApplyItemFont(ACanvas, Item, false, false);
  Width = ACanvas->TextWidth(WithoutAccelMarks(Item->Caption()));
  bool FromBitmap;
  const TSize G = BarGlyphSize(Item, FromBitmap);
  if (G.cx > 0) Width += G.cx + 6;
}

TRect TsSkinableMenus::BarItemTextRect(const TRect& ARect) const {
  return TRect(Margin, 0, ARect.Width() - Margin, ARect.Height());
}

TsSkinProvider* TsSkinableMenus::FindBarProvider(TMenuItem* Item, TCanvas*) {
  if (PaintingProvider != nullptr) return PaintingProvider;
  TMenu* Menu = Item->GetParentMenu();
  if (Menu != nullptr && Menu->WindowHandle() != nullptr)
    if (auto* P = reinterpret_cast<TsSkinProvider*>(
            SendMessageA(Menu->WindowHandle(), SM_VKCMD, SkinCommandWParam(VKCMD_QUERY_FORM_SKINNER), 0)))
      return P;
  // a child's menu shown merged in its MDI parent's bar
  return MDIMainProvider();
}

bool MDIChildShowsSysIcon() {
  TsSkinProvider* Main = MDIMainProvider();
  TCustomForm* Form = Main != nullptr ? Main->Form() : nullptr;
  if (Form == nullptr || Form->FormStyle() != fsMDIForm) return false;
  TCustomForm* Child = Form->ActiveMDIChild();
  if (Child == nullptr || !Child->HandleAllocated() || !IsZoomed(Child->Handle())) return false;
  return Child->BorderIcons().Contains(biSystemMenu) && Child->Icon() != nullptr;
}

void TsSkinableMenus::DrawBarItem(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State) {
  auto* Item = As<TMenuItem>(Sender);
  TsSkinManager* M = FSkinManager;
  if (Item == nullptr || M == nullptr) return;
  TsSkinProvider* P = FindBarProvider(Item, ACanvas);
  if (P == nullptr || !FormServices.ProviderSkinData) return;
  TsCommonData* SD = reinterpret_cast<TsCommonData*>(FormServices.ProviderSkinData(P));
  if (SD == nullptr || SD->CacheBmp == nullptr || SD->CacheBmp->Empty()) return;
  if (ACanvas != SD->CacheBmp->Canvas() && ProviderAlive(P)) P->NoteMenuBarItemDrawn(Item, ARect, State);
  TBitmap* LineBg = FormServices.ProviderMenuLineBg ? FormServices.ProviderMenuLineBg(P) : nullptr;
  TCustomForm* Form = FormServices.ProviderForm ? FormServices.ProviderForm(P) : nullptr;
  TvkBorderForm* BF = FormServices.ProviderBorderForm ? FormServices.ProviderBorderForm(P) : nullptr;
  const HWND FormWnd = Form != nullptr && Form->HandleAllocated() ? Form->Handle() : nullptr;
  // where the item lies in the menu line's background
  RECT Mg{};
  if (FormServices.GetExtBorderMargins) FormServices.GetExtBorderMargins(P, Mg);
  int X = ARect.Left - Mg.left - GetWindowFrameWidth(FormWnd, BF, true);
  int Y;
  if (BF != nullptr)
    Y = ARect.Top - (FormServices.GetCaptionBarHeight ? FormServices.GetCaptionBarHeight(P, true) : 0) - Mg.top;
  else if (FormWnd != nullptr && (GetWindowLongA(FormWnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
    Y = ARect.Top - GetStdCaptionHeight(Form) - GetWindowFrameWidth(FormWnd, nullptr, false);
  else
    Y = ARect.Top;
  // The system's bar DC lies in the form's window, inside the border window's extra caption and frame.
  if (ACanvas != SD->CacheBmp->Canvas()) {
    Y += GetExtraCaptionHeight(BF);
    if (BF != nullptr) X += GetWindowFrameWidth(FormWnd, BF, true) - GetWindowFrameWidth(FormWnd, BF, false);
  }
  const int W = ARect.Width(), H = ARect.Height();
  if (W <= 0 || H <= 0) return;
  TBitmap* Bmp = NewBitmap32(W, H);
  try {
    TvkBgCacheRef Ref;
    if (LineBg != nullptr && !LineBg->Empty()) {
      InitBgInfo(LineBg, X, Y, Ref);
      BitBlt(Bmp->Canvas()->Handle(), 0, 0, W, H, LineBg->Canvas()->Handle(), X, Y, SRCCOPY);
    }
    const bool Enabled = Item->Enabled();
    const int SkinState = Enabled && (State.Contains(odSelected) || State.Contains(odHotLight)) ? 1 : 0;
    const int MI = SectionOf(ssMenuItem);
    if (MI >= 0) PaintSectionItem(MI, Ref, -1, -1, M, Bmp, TPoint(0, 0), TRect(0, 0, W, H), SkinState);
    const bool RTL = MenuRightToLeft(Item);
    bool FromBitmap;
    const TSize G = BarGlyphSize(Item, FromBitmap);
    int GlyphArea = 0;
    TRect GR;
    if (G.cx > 0) {
      int GX = RTL ? W - 3 - G.cx : 3;
      int GY = (H - G.cy) / 2;
      if (!Enabled && FromBitmap) {
        GX = 3;
        GY = 1;
      }
      GR = TRect(GX, GY, GX + G.cx, GY + G.cy);
      GlyphArea = G.cx + 3;
      PaintPopupGlyph(Bmp, Item, GR, SkinState, Enabled);
    }
    ApplyItemFont(Bmp->Canvas(), Item, false, State.Contains(odDefault));
    TRect TR = BarItemTextRect(ARect);
    if (RTL)
      TR.Right -= GlyphArea;
    else
      TR.Left += GlyphArea;
    UINT Flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP;
    if (RTL) Flags |= DT_RTLREADING;
    if (State.Contains(odNoAccel)) Flags |= DT_HIDEPREFIX;
    Flags |= Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
    const int Line = SectionOf(ssMenuLine);
    if (BF != nullptr)
      DrawSkinText32(Bmp, Item->Caption(), true, M, SkinState, Line, Flags, TR);
    else
      DrawSectionTextStr(Bmp->Canvas(), Item->Caption(), Enabled, M, SkinState, Line, Flags, TR);
    if (OnDrawItem.Assigned()) OnDrawItem(Item, Bmp->Canvas(), GR, State, smTopLine);
    if (!Enabled && LineBg != nullptr && !LineBg->Empty())
      BlendBitmapInto(Bmp, LineBg, MenuDisabledBlend, TRect(X, Y, X + W - 1, Y + H - 1), TPoint(0, 0));
    BitBlt(ACanvas->Handle(), ARect.Left, ARect.Top, W, H, Bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  } catch (...) {
    Bmp->Free();
    throw;
  }
  Bmp->Free();
}
