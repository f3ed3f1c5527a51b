// Popup items: their size, and each item composed in one 32-bit bitmap over the popup's cached background.
#include <algorithm>

#include "framework/Forms.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinMenusUnit.h"
#include "skin/core/vkMainWndHook.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"
#include "skin/controls/vkGlyphPaint.h"

namespace {

constexpr UINT kCalcFlags = DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_WORDBREAK;  // 0x550

bool Destroying(const TComponent* C) { return C->ComponentState().Contains(csDestroying); }

// The image list that holds the item's picture, nil when it has none.
TCustomImageList* ItemImages(TMenuItem* Item) {
  if (Item->Parent() != nullptr && Item->Parent()->SubMenuImages() != nullptr) return Item->Parent()->SubMenuImages();
  TMenu* Menu = Item->GetParentMenu();
  return Menu != nullptr ? Menu->Images() : nullptr;
}

bool HasListImage(TMenuItem* Item) {
  TCustomImageList* L = ItemImages(Item);
  return L != nullptr && Item->ImageIndex() >= 0 && Item->ImageIndex() < L->Count();
}

// Height of the picture the item shows: its bitmap, else its list image, else none.
int ShownGlyphHeight(TMenuItem* Item) {
  if (!Item->Bitmap()->Empty()) return Item->Bitmap()->Height();
  return HasListImage(Item) ? ItemImages(Item)->Height() : 0;
}

int TextHeightOf(TCanvas* Canvas, const std::string& Text, int Width) {
  TCanvasTextScope Scope(Canvas);
  TRect R(0, 0, Width, 0);
  DrawStringOnDC(Scope.DC(), Text, R, kCalcFlags);
  return R.Bottom - R.Top;
}

int TextWidthOf(TCanvas* Canvas, const std::string& Text, int Width) {
  TCanvasTextScope Scope(Canvas);
  TRect R(0, 0, Width, 0);
  DrawStringOnDC(Scope.DC(), Text, R, kCalcFlags);
  return R.Right - R.Left;
}

std::string CaptionItemText(const std::string& Caption) {
  return Caption.size() >= 2 ? Caption.substr(1, Caption.size() - 2) : std::string();
}

int GlobalMask(TsSkinManager* M, const std::string& Name) {
  const int G = M->FindSectionIndex("GLOBALINFO");
  int R = G >= 0 ? M->FindMaskInherited(G, Name) : -1;
  if (R < 0) R = M->FindMaskByNames("GLOBALINFO", Name);
  return M->MaskIndexInRange(R) ? R : -1;
}

// Item rectangles come in the DC's coordinates, the background covers the whole popup window. Systems that give
// popups a non-client border put the DC that border's width inside the window; Wine draws popups without one
// and starts the items inside its own margin, so a known window tells the real offset.
TPoint ItemToWindow(HWND Wnd, int BorderWidth) {
  RECT W{};
  POINT Client{0, 0};
  if (Wnd == nullptr || !GetWindowRect(Wnd, &W) || !ClientToScreen(Wnd, &Client))
    return TPoint(BorderWidth, BorderWidth);
  return TPoint(Client.x - W.left, Client.y - W.top);
}

void CopyFromBg(HDC Dst, int X, int Y, int W, int H, TBitmap* Bg, int SX, int SY) {
  if (W > 0 && H > 0) BitBlt(Dst, X, Y, W, H, Bg->Canvas()->Handle(), SX, SY, SRCCOPY);
}

}  // namespace

// ---- measuring ----

void TsSkinableMenus::MeasurePopupItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
  auto* Item = As<TMenuItem>(Sender);
  if (Item == nullptr || Destroying(Item)) return;
  SkinnedMenuShowing = true;
  TMenuBgCacheRecord Rec;
  GetPopupBackground(Item, 0, Rec, nullptr, nullptr, 0);
  ItemType = Item->IsLine() ? smDivider : IsCaptionItem(Item) ? smCaption : smNormal;
  if (Rec.KeyItem == nullptr) Rec.ExtraLine = FetchExtraLineData(Item->Parent() != nullptr ? Item->Parent()->Items(0) : Item);
  ApplyItemFont(ACanvas, Item, false, Item->Default());
  std::string Text;
  int RectWidth = 1;
  if (ItemType == smCaption) {
    Text = Item->Caption();
    RectWidth = ACanvas->TextWidth(Text);
  } else if (ItemType == smNormal) {
    Text = Item->Caption() + ItemShortCutText(Item);
    RectWidth = 800;
  }
  if (FSkinManager != nullptr && FSkinManager->OnGetPopupItemData.Assigned())
    FSkinManager->OnGetPopupItemData(Item, 0, ACanvas->Font());
  TSize Glyph;
  ItemGlyphSize(Item, false, Glyph);
  if (!Text.empty()) {
    Width = Glyph.cx * 2 + TextWidthOf(ACanvas, Text, RectWidth) + Margin * 3 + Spacing;
    if (NoPopupBorderMask()) Width -= BorderWidth * 2;
  } else {
    Width = Glyph.cx * 2 + Margin * 3 + Spacing;
  }
  if (Rec.ExtraLine && !HasBreakBefore(Item)) Width += ExtraLineWidthFor(Rec);
  Height = ItemHeight(ACanvas, Item);
}

int TsSkinableMenus::ItemHeight(TCanvas* Canvas, TMenuItem* Item) {
  if (Item->IsLine()) return 2;
  const bool Caption = IsCaptionItem(Item);
  ApplyItemFont(Canvas, Item, false, Item->Default());
  const int TH = TextHeightOf(Canvas, Caption ? Item->Caption() : Item->Caption() + ItemShortCutText(Item), 800);
  if (Caption) return TH + (Margin + 1) * 2 + 1;
  return std::max(TH, ShownGlyphHeight(Item)) + (Margin + 1) * 2;
}

int TsSkinableMenus::PopupItemsHeight(TCanvas* Canvas, TMenuItem* Item) {
  TMenuItem* P = Item->Parent();
  if (P == nullptr) return ItemHeight(Canvas, Item);
  int Tallest = 0, Column = 0;
  for (int i = 0; i < P->Count(); ++i) {
    TMenuItem* I = P->Items(i);
    if (!I->Visible()) continue;
    if (I->Break() != mbNone) Column = 0;
    Column += ItemHeight(Canvas, I);
    Tallest = std::max(Tallest, Column);
  }
  return Tallest;
}

int TsSkinableMenus::PopupItemsWidth(TCanvas* Canvas, TMenuItem* Item) {
  RECT Clip{};
  if (GetClipBox(Canvas->Handle(), &Clip) != NULLREGION) return Clip.right - Clip.left;
  TMenuItem* P = Item->Parent();
  if (P == nullptr) return 0;
  int Sum = 0, Widest = 0;
  bool Any = false;
  for (int i = 0; i < P->Count(); ++i) {
    TMenuItem* I = P->Items(i);
    if (!I->Visible()) continue;
    if (I->Break() != mbNone && Any) {
      Sum += Widest + 12 + 4;
      Widest = 0;
    }
    int W = 0, H = 0;
    MeasurePopupItem(I, Canvas, W, H);
    Widest = std::max(Widest, W);
    Any = true;
  }
  return Any ? Sum + Widest + 12 : 0;
}

// ---- painting ----

void TsSkinableMenus::DrawPopupItem(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State) {
  auto* Item = As<TMenuItem>(Sender);
  if (Item == nullptr || FSkinManager == nullptr || !FSkinManager->Active()) return;
  TsSkinManager* M = FSkinManager;
  const int PBW = PopupBorderWidth();
  TRect R = ARect;
  if (NoPopupBorderMask()) {
    const TRect Clip = ACanvas->ClipRect();
    // an item near the popup's edge reaches it; a clip ending before the item (a popup not showing yet is clipped
    // to nothing) would turn the item inside out
    if (Clip.Right - R.Right < 10 && Clip.Right > R.Left) R.Right = Clip.Right;
    if (Clip.Bottom - R.Bottom < 10 && Clip.Bottom > R.Top) R.Bottom = Clip.Bottom;
  }
  const bool RTL = MenuRightToLeft(Item);
  TMenuItem* P = Item->Parent();
  const int FirstCol = !HasBreakBefore(Item) || Item->MenuIndex() == 0 ? 1 : 0;
  ACanvas->Lock();
  try {
    const HWND Wnd = IsNTPlatform() ? WindowFromDC(ACanvas->Handle()) : nullptr;
    const TPoint Off = ItemToWindow(Wnd, PBW);
    TMenuBgCacheRecord Rec;
    GetPopupBackground(Item, 0, Rec, Wnd, ACanvas, 0);
    TBitmap* Bg = Rec.Background;
    const int ExtraW = ExtraLineWidthFor(Rec);
    const bool Caption = IsCaptionItem(Item) && !Item->IsLine();
    // the popup's frame strips beside this item, straight into the window
    if (Wnd != nullptr && Bg != nullptr && !Bg->Empty()) {
      if (HDC DC = GetWindowDC(Wnd)) {
        if (IsFirstVisibleItem(Item)) {
          CopyFromBg(DC, 0, 0, Bg->Width(), PBW, Bg, 0, 0);
          if (!Caption) CopyFromBg(DC, 0, 0, FirstCol * ExtraW + std::max(SkinBorderWidth(), PBW) + 1, Bg->Height(), Bg, 0, 0);
        }
        if (IsLastVisibleItem(Item))
          CopyFromBg(DC, 0, Bg->Height() - BorderWidth, Bg->Width(), BorderWidth, Bg, 0, Bg->Height() - BorderWidth);
        const int RY = Off.Y + R.Top;
        CopyFromBg(DC, Bg->Width() - BorderWidth, RY, BorderWidth, R.Height(), Bg, Bg->Width() - BorderWidth, RY);
        ReleaseDC(Wnd, DC);
      }
    }
    // no window known: the application window finds it and gives it its shape
    if (Wnd == nullptr && Application != nullptr && Application->Handle() != nullptr) {
      MSG Waiting;
      if (!PeekMessageA(&Waiting, Application->Handle(), WM_VK_SKIN_POPUP_ITEM, WM_VK_SKIN_POPUP_WINDOW, PM_NOREMOVE) &&
          PostMessageA(Application->Handle(), WM_VK_SKIN_POPUP_ITEM, 0, reinterpret_cast<LPARAM>(Item)))
        RememberPostedItem(Item);
    }
    if (Item->IsLine()) {
      ItemType = smDivider;
      DrawDividerItem(ACanvas, R, Rec, Bg, Item);
    } else if (Caption) {
      ItemType = smCaption;
      DrawCaptionItem(ACanvas, R, Rec, Bg, Item);
    } else if (Bg != nullptr && !Bg->Empty()) {
      ItemType = smNormal;
      HDC CDC = ACanvas->Handle();
      const int Last = P != nullptr ? P->Count() - 1 : 0;
      const int Index = Item->MenuIndex();
      // columns of a multi-column popup
      if (Index < Last && Item->Break() == mbBarBreak) {
        const int MI = SectionOf(ssMenuItem);
        const uint32_t C = MI >= 0 ? M->gd()[MI].Props[0].FontColor : 0x808080;
        PaintSolidRect(Bg->Canvas()->Handle(), TRect(R.Left, 0, R.Left + 1, Bg->Height()), C);
      }
      const bool NextStartsColumn = Index < Last && P->Items(Index + 1)->Break() != mbNone;
      const int Below = Bg->Height() - 2 * Off.Y - R.Bottom;
      if (NextStartsColumn || (Index == Last && Below > 0))
        CopyFromBg(CDC, R.Left, R.Bottom, R.Width(), Below, Bg, R.Left + Off.X, R.Bottom + Off.Y);
      if (Item->Break() != mbNone)
        CopyFromBg(CDC, R.Left - 4, R.Top, 4, Bg->Height() - 2 * Off.Y, Bg, R.Left - 4 + Off.X, R.Top + Off.Y);
      // the item itself
      const int ColExtra = FirstCol * ExtraW;
      TBitmap* Bmp = NewBitmap32(std::max(R.Width() - ColExtra, 0), R.Height());
      try {
        const bool Enabled = Item->Enabled();
        const int SkinState = Enabled && State.Contains(odSelected) ? 1 : 0;
        const int MI = SectionOf(ssMenuItem);
        TvkBgCacheRef Ref;
        InitBgInfo(Bg, R.Left + ColExtra + Off.X, R.Top + Off.Y, Ref);
        CopyFromBg(Bmp->Canvas()->Handle(), 0, 0, Bmp->Width(), Bmp->Height(), Bg, Ref.X, Ref.Y);
        if (MI >= 0)
          PaintSectionItem(MI, Ref, -1, -1, M, Bmp, TPoint(0, 0), TRect(0, 0, Bmp->Width(), Bmp->Height()), SkinState);
        TSize Glyph;
        ItemGlyphSize(Item, false, Glyph);
        if (State.Contains(odChecked) && Item->Bitmap()->Empty() && !HasListImage(Item))
          PaintCheckMark(Bmp, Item, SkinState, RTL, Glyph.cx);
        if (!Item->Bitmap()->Empty() || HasListImage(Item)) {
          const TSize G = !Item->Bitmap()->Empty() ? TSize{Item->Bitmap()->Width(), Item->Bitmap()->Height()}
                                                   : TSize{ItemImages(Item)->Width(), ItemImages(Item)->Height()};
          const int Y = (R.Height() - G.cy) / 2;
          const int X = RTL ? Bmp->Width() - Y - G.cx : std::min(PBW, Y);
          const TRect GR(X, Y, X + G.cx, Y + G.cy);
          const int Pressed = SectionOf(ssSpeedButtonSmall);
          if (State.Contains(odChecked) && Pressed >= 0) {
            const TRect Frame(GR.Left - 1, GR.Top - 1, GR.Right + 1, GR.Bottom + 1);
            PaintSectionItem(Pressed, Ref, -1, -1, M, Bmp, TPoint(Frame.Left, Frame.Top), Frame, 2);
          }
          PaintPopupGlyph(Bmp, Item, GR, SkinState, Enabled);
        } else {
          PaintSysCommandGlyph(Bmp, Item, R, RTL,
                               Enabled && (State.Contains(odSelected) || State.Contains(odHotLight)) ? 1 : 0);
        }
        DrawItemTexts(Bmp, Item, State, SkinState, RTL, Glyph.cx);
        if (OnDrawItem.Assigned()) {
          TRect Whole(0, 0, Bmp->Width(), Bmp->Height());
          OnDrawItem(Item, Bmp->Canvas(), Whole, State, ItemType);
        }
        if (!Enabled)
          BlendCopyKeyedRect(Bmp, 0, 0, Bg,
                             TRect(Ref.X, Ref.Y, Ref.X + Bmp->Width() - 1, Ref.Y + Bmp->Height() - 1),
                             static_cast<uint8_t>(MenuDisabledBlend), 0xFF00FF);
        BitBlt(CDC, R.Left + ColExtra, R.Top, Bmp->Width(), Bmp->Height(), Bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
        // Newer systems paint over the band beside the first item: it is put back.
        if (Index == 0 && ExtraW > 0 && (!IsNTPlatform() || PlatformMajorVersion() >= 6))
          CopyFromBg(CDC, 0, 0, ColExtra, Bg->Height(), Bg, Off.X, Off.Y);
      } catch (...) {
        Bmp->Free();
        throw;
      }
      Bmp->Free();
    }
  } catch (...) {
    ACanvas->Unlock();
    throw;
  }
  if (Item->OnDrawItem.Assigned()) Item->OnDrawItem(Item, ACanvas, ARect, State.Contains(odSelected));
  ACanvas->Unlock();
}

void TsSkinableMenus::PaintCheckMark(TBitmap* Bmp, TMenuItem* Item, int State, bool RightToLeft, int GlyphWidth) {
  TsSkinManager* M = FSkinManager;
  int Mask = Item->RadioItem() ? GlobalMask(M, "RADIOCHECKED") : GlobalMask(M, "CHECK");
  if (Mask < 0 && !Item->RadioItem()) Mask = GlobalMask(M, "BOXCHECKED");
  if (Mask < 0) return;
  const TsMaskData& Md = M->ma()[Mask];
  const int W = Md.Width, H = Md.Height;
  const int Y = (Bmp->Height() - H) / 2;
  int X;
  if (RightToLeft)
    X = std::min(Bmp->Width() - (GlyphWidth - W) / 2 - W - Margin, Bmp->Width() - W);
  else
    X = std::max((GlyphWidth - W) / 2 + Margin, 0);
  TvkBgCacheRef NoBg;
  DrawSkinGlyph32(Bmp, TPoint(X, Y), State, NoBg, Md, 1);
}

void TsSkinableMenus::PaintPopupGlyph(TBitmap* Bmp, TMenuItem* Item, const TRect& R, int State, bool Enabled) {
  TvkGlyphPaintData D;
  D.SkinManager = FSkinManager;
  D.SectionIndex = SectionOf(ssMenuItem);
  D.State = State;
  D.Enabled = Enabled;
  D.DstBmp = Bmp;
  D.Canvas = Bmp->Canvas();
  D.R = R;
  D.ToneColor = static_cast<TColor>(D.SectionIndex >= 0 ? FSkinManager->gd()[D.SectionIndex].Props[std::min(State, 1)].Color
                                                        : 0xFFFFFF);
  if (!Item->Bitmap()->Empty()) {
    D.Glyph = Item->Bitmap();
  } else {
    D.Images = ItemImages(Item);
    D.ImageIndex = Item->ImageIndex();
  }
  DrawGlyphAndCaption(D);
}

void TsSkinableMenus::PaintSysCommandGlyph(TBitmap* Bmp, TMenuItem* Item, const TRect& ItemR, bool RightToLeft,
                                           int State) {
  TMenu* Menu = Item->GetParentMenu();
  if (Menu == nullptr || Menu->Name().rfind("vkSysMenu", 0) != 0) return;
  const char* Glyph = nullptr;
  switch (Item->Tag() & 0xFFF0) {
    case SC_MINIMIZE: Glyph = "0"; break;
    case SC_MAXIMIZE: Glyph = "1"; break;
    case SC_RESTORE: Glyph = "2"; break;
    case SC_CLOSE: Glyph = "r"; break;
    default: return;
  }
  TCanvas* C = Bmp->Canvas();
  C->Font()->SetName("Webdings");
  C->Font()->SetStyle(TFontStyles{});
  C->Font()->SetSize(FSkinManager->ApplyScale(10, 0));
  const TSize S = C->TextExtent(Glyph);
  TRect R(0, (Bmp->Height() - S.cy) / 2, 0, 0);
  UINT Flags = DT_SINGLELINE | DT_NOCLIP;
  if (RightToLeft) {
    R.Right = ItemR.Width() - (MenuTextOffset - S.cx) / 2 + 1;
    R.Left = R.Right - S.cx;
    Flags |= DT_RIGHT;
  } else {
    R.Left = (MenuTextOffset - S.cx) / 2 - 1;
    R.Right = R.Left + S.cx;
  }
  R.Bottom = R.Top + S.cy;
  DrawSectionText(C, Glyph, true, FSkinManager, State, SectionOf(ssMenuItem), Flags, R);
}

void TsSkinableMenus::DrawItemTexts(TBitmap* Bmp, TMenuItem* Item, TOwnerDrawState State, int, bool RightToLeft,
                                    int GlyphWidth) {
  TsSkinManager* M = FSkinManager;
  TCanvas* C = Bmp->Canvas();
  ApplyItemFont(C, Item, false, State.Contains(odDefault));
  bool OwnColour = false;
  if (M->OnGetPopupItemData.Assigned()) {
    const TColor Before = C->Font()->Color();
    M->OnGetPopupItemData(Item, State.Raw(), C->Font());
    OwnColour = C->Font()->Color() != Before;
  }
  const bool Enabled = Item->Enabled();
  const int TextState = Enabled && (State.Contains(odSelected) || State.Contains(odHotLight)) ? 1 : 0;
  const int Section = OwnColour ? -1 : SectionOf(ssMenuItem);
  // PopupItemTextRect: the item at (0, 0) without the glyph column; the item bitmap already leaves the extra
  // line out, so texts end at its own right edge
  const int Full = Bmp->Width();
  TRect TR(0, 1, Full, Bmp->Height());
  const int Cut = GlyphWidth + Margin * 2 + Spacing;
  if (RightToLeft)
    TR.Right -= Cut;
  else
    TR.Left += Cut;
  std::string Text = Item->Caption(), AfterTab;
  UINT Align;
  if (const size_t Tab = Text.find('\t'); Tab != std::string::npos) {
    AfterTab = Text.substr(Tab + 1);
    Text.resize(Tab);
    Align = DT_LEFT;
  } else if (!Text.empty() && Text[0] == '\b') {
    Text = Text.substr(1) + "      ";
    Align = DT_RIGHT;
  } else {
    Align = Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
  }
  UINT Flags = (Text.find('\r') != std::string::npos ? DT_WORDBREAK : DT_SINGLELINE) | Align | DT_EXPANDTABS |
               DT_VCENTER | DT_NOCLIP;
  if (RightToLeft) Flags |= DT_RIGHT | DT_RTLREADING;
  if (State.Contains(odNoAccel)) Flags |= DT_HIDEPREFIX;
  TR.Top += Margin;
  TR.Bottom -= Margin;
  DrawSectionTextStr(C, Text, Enabled, M, TextState, Section, Flags, TR);
  // PopupShortCutRect: right-aligned before the item's right edge
  const std::string Short = ItemShortCutText(Item);
  const int SW = Short.empty() ? 0 : C->TextWidth(Short);
  const TRect SR(RightToLeft ? 6 : Full - SW - 8, TR.Top, Full - 8, TR.Bottom);
  if (!Short.empty()) DrawSectionTextStr(C, Short, Enabled, M, TextState, Section, DT_SINGLELINE | DT_VCENTER, SR);
  if (!AfterTab.empty()) {
    TRect AR(TR.Left, TR.Top, SR.Right - 8, TR.Bottom);
    DrawSectionTextStr(C, AfterTab, Enabled, M, TextState, Section, DT_SINGLELINE | DT_VCENTER | DT_RIGHT, AR);
  }
}

void TsSkinableMenus::DrawDividerItem(TCanvas* ACanvas, const TRect& ARect, const TMenuBgCacheRecord& Rec, TBitmap* Bg,
                                      TMenuItem* Item) {
  TsSkinManager* M = FSkinManager;
  const int PBW = PopupBorderWidth();
  const int FirstCol = !HasBreakBefore(Item) || Item->MenuIndex() == 0 ? 1 : 0;
  const int ExtraW = FirstCol * ExtraLineWidthFor(Rec);
  const int Ico = M->FindSectionIndex(M->MenuSupport()->IcoLineSkin());
  bool IcoDrawn = M->SectionIndexInRange(Ico);
  if (IcoDrawn) {
    const TsGeneralData& G = M->gd()[Ico];
    IcoDrawn = !(G.Props[0].Transparency >= 100 && !M->MaskIndexInRange(G.BorderIndex));
  }
  const int W = ARect.Width(), H = ARect.Height();
  TRect Line(ExtraW + Margin + (IcoDrawn ? Spacing : 0), 0, W - Margin - ExtraW - (IcoDrawn ? Spacing : 0), H);
  Line.Left = std::max<int>(Line.Left, IcoDrawn ? ExtraW + MenuTextOffset + 2 : ExtraW + 2);
  const int DV = SectionOf(ssDividerV);
  const int Mask = DV >= 0 ? M->gd()[DV].BorderIndex : -1;
  HDC CDC = ACanvas->Handle();
  const TPoint Off = ItemToWindow(IsNTPlatform() ? WindowFromDC(CDC) : nullptr, PBW);
  if (!M->MaskIndexInRange(Mask)) {
    if (Bg != nullptr) CopyFromBg(CDC, ARect.Left, ARect.Top, W, H, Bg, ARect.Left + Off.X, ARect.Top + Off.Y);
    uint32_t C = M->PaletteColor(pcBorder);
    if ((C & 0xFFFFFF) == 0xFF00FF) C = ColorToRGB(clBtnShadow);
    PaintSolidRect(CDC, TRect(ARect.Left + Line.Left, ARect.Top, ARect.Left + Line.Right, ARect.Top + 1), C);
    return;
  }
  TBitmap* Bmp = NewBitmap32(W, H);
  TvkBgCacheRef Ref;
  if (Bg != nullptr) {
    InitBgInfo(Bg, ARect.Left + Off.X, ARect.Top + Off.Y, Ref);
    CopyFromBg(Bmp->Canvas()->Handle(), 0, 0, W, H, Bg, Ref.X, Ref.Y);
  }
  DrawSkinRect32(Bmp, Line, Ref, Bg != nullptr, 0, M->ma()[Mask]);
  BitBlt(CDC, ARect.Left, ARect.Top, W, H, Bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  Bmp->Free();
}

void TsSkinableMenus::DrawCaptionItem(TCanvas* ACanvas, const TRect& ARect, const TMenuBgCacheRecord& Rec, TBitmap* Bg,
                                      TMenuItem* Item) {
  TsSkinManager* M = FSkinManager;
  const int W = ARect.Width(), H = ARect.Height();
  const int FirstCol = !HasBreakBefore(Item) || Item->MenuIndex() == 0 ? 1 : 0;
  const int ExtraW = FirstCol * ExtraLineWidthFor(Rec);
  // the background lies where the item lies in the popup window, as for every other item
  const TPoint Off = ItemToWindow(IsNTPlatform() ? WindowFromDC(ACanvas->Handle()) : nullptr, PopupBorderWidth());
  TBitmap* Bmp = NewBitmap32(W, H);
  try {
    HDC BDC = Bmp->Canvas()->Handle();
    TvkBgCacheRef Ref;
    if (Bg != nullptr) {
      InitBgInfo(Bg, ARect.Left + Off.X, ARect.Top + Off.Y, Ref);
      CopyFromBg(BDC, 0, 0, W, H, Bg, Ref.X, Ref.Y);
      if (ExtraW > 0) CopyFromBg(BDC, 0, 0, ExtraW + std::max(SkinBorderWidth(), 3), H, Bg, Ref.X, Ref.Y);
      CopyBorderStrips(BDC, 0, 0, 1, Ref.Y, Ref.X, Bg->Canvas()->Handle(), H, W);
    }
    const int S = SectionOf(ssMenuCaption);
    if (S >= 0 && W - 1 > ExtraW + 1 && H > 2)
      PaintSectionItem(S, Ref, -1, -1, M, Bmp, TPoint(ExtraW + 1, 1), TRect(ExtraW + 1, 1, W - 1, H - 1), 0);
    ApplyItemFont(Bmp->Canvas(), Item, true, false);
    TRect TR(ExtraW, Margin + 2, W, H - Margin - 2);
    DrawSectionTextStr(Bmp->Canvas(), CaptionItemText(Item->Caption()), true, M, 0, S,
                       DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_HIDEPREFIX, TR);
    BitBlt(ACanvas->Handle(), ARect.Left, ARect.Top, W, H, BDC, 0, 0, SRCCOPY);
  } catch (...) {
    Bmp->Free();
    throw;
  }
  Bmp->Free();
}
