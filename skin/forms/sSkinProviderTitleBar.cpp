// The title bar's items on the caption: each item's section chosen by its style, and the items painted into
// the frame cache (or into an item fade's image) with background, glyph, caption and drop-down arrow.
#include <algorithm>
#include <memory>

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntTypes.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/vkAlphaImageList.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/vkTitleBar.h"
#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkMaskedText.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSectionRects.h"
#include "skin/graphics/vkSkinText.h"
#include "skin/graphics/vkTextGlow.h"

namespace {

// How much of the caption shows through a disabled item (BlendBitmapInto's level).
constexpr int kDisabledItemLevel = 127;
// Glow of a menu item drawn from the "MENUBTN" picture.
constexpr int kMenuButtonGlowSize = 2;
constexpr uint32_t kMenuButtonGlowColor = 0xE5A8D;
// Corners of the "MENUBTN" frames kept unstretched.
constexpr int kMenuButtonBorder = 3;

int ArrowGapExtra() {
  static const int Extra = [] {
    HDC DC = GetDC(nullptr);
    const int Dpi = GetDeviceCaps(DC, LOGPIXELSY);
    ReleaseDC(nullptr, DC);
    return MulDiv(5, Dpi, 96);
  }();
  return Extra;
}

TSize MarlettArrowSize(TFont* Base) {
  TBitmap Work;
  Work.SetSize(1, 1);
  Work.Canvas()->Font()->SetName("Marlett");
  Work.Canvas()->Font()->SetCharset(1);
  Work.Canvas()->Font()->SetSize(Base->Size());
  TSize S;
  CanvasTextExtent(Work.Canvas(), "u", S);
  return S;
}

// What one paint of an item works with: the section and state of its background and of its text.
struct TItemLook {
  TsSkinManager* M = nullptr;
  int Section = -1;
  int State = 0;
  int TextSection = -1;
  int TextState = 0;
  int GlowSize = 0;
  uint32_t GlowColor = 0;
  bool Disabled = false;
};

// The section painted as an item straight onto the target when it is fully transparent there, else as a
// 32-bit section rectangle over what the target holds.
void PaintTitleItemBackground(TsSkinManager* M, int Section, int State, TBitmap* Bmp, const TRect& R) {
  if (M == nullptr || !M->SectionIndexInRange(Section)) return;
  const TsGeneralData& D = M->gd()[Section];
  const int S = std::min({State, D.States, 2});
  const bool NoMask = !M->MaskIndexInRange(D.BorderIndex);
  if (D.Props[S].Transparency == 100 && (NoMask || (S == 0 && (M->ma()[D.BorderIndex].MaskKind & 2) == 0))) {
    TvkBgCacheRef Ref;
    InitBgInfo(Bmp, 0, 0, Ref);
    PaintSectionItemToDC(Section, Ref, M, Bmp->Canvas()->Handle(), TPoint(R.Left, R.Top), R, S);
  } else {
    PaintSectionRect32(Section, S, M, Bmp, R);
  }
}

// The frame of the "MENUBTN" picture for the item's state, nine-part into R (at most R's height - 2 high).
void PaintMenuButtonImage(TBitmap* Picture, int State, TBitmap* Bmp, const TRect& R) {
  if (Picture == nullptr || Picture->Width() < 3) return;
  const int FW = Picture->Width() / 3;
  const TRect Src(FW * std::clamp(State, 0, 2), 0, FW * (std::clamp(State, 0, 2) + 1), Picture->Height());
  const TRect Dst(R.Left, R.Top, R.Right, R.Top + std::min(Picture->Height(), R.Height() - 2));
  if (Dst.Width() < 2 * kMenuButtonBorder || Dst.Height() < 2 * kMenuButtonBorder) return;
  const TRect B(kMenuButtonBorder, kMenuButtonBorder, kMenuButtonBorder, kMenuButtonBorder);
  DrawNinePartBitmap(Bmp, Picture, Src, B, Dst);
}

// The glyph tint: the section's normal colour when the manager discolours glyphs and the item rests.
uint32_t GlyphTint(const TItemLook& L, int TitleSection) {
  if (L.M == nullptr || L.State != 0 || !L.M->Effects()->DiscoloredGlyphs()) return NoColor32;
  if (L.M->SectionIndexInRange(L.Section)) return L.M->gd()[L.Section].Props[0].Color;
  if (L.M->SectionIndexInRange(TitleSection)) return L.M->gd()[TitleSection].Props[0].Color;
  return 0xFFFFFF;
}

int ItemGlyphIndex(TvkTitleBarItem* It, int State, bool Disabled) {
  int I = It->ImageIndex();
  if (Disabled) I = It->DisabledImageIndex();
  else if (State == 1) I = It->HotImageIndex();
  else if (State == 2) I = It->PressedImageIndex();
  return I < 0 ? It->ImageIndex() : I;
}

// Glyph, caption and drop-down arrow of an item, laid out by its alignment.
void PaintTitleItemContent(TvkTitleBarItem* It, const TItemLook& L, int TitleSection, TBitmap* Bmp, const TRect& R,
                           bool Centred) {
  TsTitleBar* Bar = It->TitleBar();
  TCanvas* C = Bmp->Canvas();
  TSize Cap;
  if (!It->Caption().empty()) CanvasTextExtent(C, It->Caption(), Cap);
  const bool Arrow = (It->Style() == bsButton || It->Style() == bsMenu) && It->DropdownMenu() != nullptr;
  int Gap = 0, ArrowW = 0;
  if (Arrow) {
    Gap = It->Style() == bsMenu ? 1 + ArrowGapExtra() : 1;
    TSize WSize;
    CanvasTextExtent(C, "W", WSize);
    ArrowW = WSize.cx;
  }
  TCustomImageList* Images = Bar != nullptr ? Bar->Images() : nullptr;
  const int GI = ItemGlyphIndex(It, L.State, L.Disabled);
  const bool FromList = Images != nullptr && GI >= 0 && GI < Images->Count();
  const bool FromGlyph = !FromList && !It->Glyph()->Empty();
  int GW = 0, GH = 0;
  if (FromList) {
    GW = Images->Width();
    GH = Images->Height();
  } else if (FromGlyph) {
    GW = It->Glyph()->Width() / std::max(It->NumGlyphs(), 1);
    GH = It->Glyph()->Height();
  }
  const int GlyphSpan = GW + (GW > 0 && Cap.cx > 0 ? It->Spacing() : 0);
  const int Margin = Bar != nullptr ? Bar->ItemsMargin() : 3;
  const int Rest = R.Width() - GlyphSpan - Cap.cx - Gap - ArrowW;
  int X = R.Left + Margin + (It->Style() == bsMenu ? 4 : 0);
  if (Centred) X = R.Left + (R.Width() - It->ContentWidth) / 2;
  else if (It->Alignment() == taRightJustify) X = R.Left + Rest;
  else if (It->Alignment() == taCenter) X = R.Left + Rest / 2;
  const int MidY = (R.Top + R.Bottom) / 2;
  const uint32_t Tint = GlyphTint(L, TitleSection);
  if (FromList) {
    DrawImageListImage32(Images, Bmp, X, MidY - GH / 2, GI, 0, Tint, 0, 1, false);
  } else if (FromGlyph) {
    TBitmap* G = It->Glyph();
    const TRect Dst(X, MidY - GH / 2, X + GW, MidY - GH / 2 + GH);
    if (G->PixelFormat() == pf32bit) {
      CompositeOverCache(Dst, TRect(0, 0, GW, GH), Bmp, G, TvkBgCacheRef{}, false, Tint, 0, false);
    } else {
      // the glyph's top-left colour is its transparent key: only the pixels it draws become opaque
      const COLORREF Key = GetPixel(G->Canvas()->Handle(), 0, 0);
      TransparentBlt(C->Handle(), Dst.Left, Dst.Top, GW, GH, G->Canvas()->Handle(), 0, 0, GW, GH, Key);
      GdiFlush();
      for (int y = std::max(0, -Dst.Top); y < GH && Dst.Top + y < Bmp->Height(); ++y)
        for (int x = std::max(0, -Dst.Left); x < GW && Dst.Left + x < Bmp->Width(); ++x)
          if (GetPixel(G->Canvas()->Handle(), x, y) != Key)
            PutPixel32(Bmp, Dst.Left + x, Dst.Top + y, GetPixel32(Bmp, Dst.Left + x, Dst.Top + y) | 0xFF000000);
    }
  }
  X += GlyphSpan;
  if (Cap.cx > 0) {
    const UINT Flags = DT_SINGLELINE | DT_END_ELLIPSIS;
    const TRect T(X, MidY - Cap.cy / 2, std::min<int>(R.Right, X + Cap.cx), MidY - Cap.cy / 2 + Cap.cy);
    if (L.GlowSize != 0) {
      TBitmap* Mask = nullptr;
      DrawTextGlow(Bmp, It->Caption(), T, Mask, L.GlowColor, L.GlowSize, 0, Flags);
      delete Mask;
    }
    if (It->FontData()->UseSysColor())
      DrawSkinText32(Bmp, It->Caption(), true, L.M, L.TextState, L.TextSection, Flags, T);
    else
      DrawSkinText32(Bmp, It->Caption(), true, L.M, 0, -1, Flags, T);
    X += Cap.cx;
  }
  if (Arrow && L.M != nullptr) {
    X += Gap;
    const TSize A = MarlettArrowSize(It->FontData()->BaseFont());
    const bool SectionColour = It->FontData()->UseSysColor() && L.M->SectionIndexInRange(L.Section);
    const uint32_t Colour = SectionColour ? L.M->gd()[L.Section].Props[std::min(L.State, 2)].FontColor
                                          : static_cast<uint32_t>(ColorToRGB(C->Font()->Color()));
    PaintStyledArrow(Bmp, Colour, Colour, L.M->Options()->EffectiveArrowsStyle(), 0, 0, 0, adDown,
                     TRect(X, MidY - A.cy / 2, X + std::max<int>(A.cx, ArrowW), MidY - A.cy / 2 + A.cy));
  }
}

}  // namespace

void TsSkinProvider::InitTitleBarItems() {
  if (FTitleBar == nullptr) return;
  TsSkinManager* M = Manager();
  for (int i = 0; i < FTitleBar->Items()->Count(); ++i) {
    TvkTitleBarItem* It = FTitleBar->Items()->Items(i);
    if (It->SkinData == nullptr) It->SkinData = new TvkItemSkinData();
    int Index = -1;
    if (M != nullptr && !It->SkinSection().empty()) Index = M->FindSectionIndex(It->SkinSection());
    if (M != nullptr && Index < 0) {
      const auto& S = M->ConstData().Sections;
      switch (It->Style()) {
        case bsButton: Index = S[ssTbBtn]; break;
        case bsMenu: Index = S[ssTbMenuBtn]; break;
        case bsTab: Index = S[ssTbTab]; break;
        default: Index = -1; break;
      }
    }
    It->SkinData->SkinIndex = Index;
    // an item fade may outlive this provider: it paints only while the provider lives
    TsSkinProvider* Self = this;
    It->PaintHandler = [Self](TvkTitleBarItem* Item, const TRect& R, TBitmap* Bmp) {
      if (ProviderAlive(Self)) Self->PaintTitleBarItem(Item, R, Bmp);
    };
  }
}

void TsSkinProvider::PaintTitleBarItems(TBitmap* Cache) {
  if (FTitleBar == nullptr) return;
  TvkTitleItems* Items = FTitleBar->Items();
  // items added after the set-up (or a bar given later) get their sections now
  for (int i = 0; i < Items->Count(); ++i)
    if (Items->Items(i)->SkinData == nullptr) {
      InitTitleBarItems();
      break;
    }
  for (bool DownTabs : {false, true})
    for (int i = Items->Count() - 1; i >= 0; --i) {
      TvkTitleBarItem* It = Items->Items(i);
      if ((It->Style() == bsTab && It->Down()) != DownTabs) continue;
      if (It->Visible() && It->Rect.Width() > 0 && It->Rect.Left < Cache->Width())
        PaintTitleBarItem(It, It->Rect, Cache);
    }
}

int TsSkinProvider::TitleBarItemAt(TPoint P) {
  if (FTitleBar == nullptr) return -1;
  TvkTitleItems* Items = FTitleBar->Items();
  for (int i = 0; i < Items->Count(); ++i) {
    const TRect& R = Items->Items(i)->Rect;
    if (Items->Items(i)->Visible() && P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom) return i;
  }
  return -1;
}

void TsSkinProvider::SetTitleBar(TsTitleBar* Value) {
  if (Value == FTitleBar) return;
  if (FTitleBar != nullptr) {
    StopItemHint();
    FreeTitleBarAnimations();
    FTitleBar->RemoveFreeNotification(this);
  }
  if (FHotElement >= htTitleBarItem) FHotElement = 0;
  FTitleBar = Value;
  // a bar on another form tells its going too
  if (Value != nullptr) Value->FreeNotification(this);
  RedrawFrameNow();
}

void TsSkinProvider::FreeTitleBarAnimations() {
  if (FTitleBar == nullptr) return;
  for (int i = 0; i < FTitleBar->Items()->Count(); ++i) FTitleBar->Items()->Items(i)->FreeAnimation();
}

bool TsSkinProvider::TitleBarTextArea(TRect& R, bool& ShowCaption) {
  if (FTitleBar == nullptr) return false;
  const TRect& A = FTitleBar->Area;
  R = TRect(A.Left + FTitleBar->Totals[tbaLeft], A.Top, A.Right - FTitleBar->Totals[tbaRight], A.Bottom);
  ShowCaption = FTitleBar->ShowCaption();
  return true;
}

void TsSkinProvider::RescaleTitleBar(int Percent) {
  if (FTitleBar != nullptr) FTitleBar->ChangeScale(Percent);
}

TvkTitleBarItem* TsSkinProvider::TitleBarItem(int Index) const {
  if (FTitleBar == nullptr || Index < 0 || Index >= FTitleBar->Items()->Count()) return nullptr;
  return FTitleBar->Items()->Items(Index);
}

void TsSkinProvider::StartItemHint(TvkTitleBarItem* Item) {
  if (Item == nullptr || !Item->ShowHintFlag() || Item->Hint().empty()) return;
  if (FHintTimer == nullptr) FHintTimer = Create<TTimer>(nullptr);
  FHintTimer->SetEnabled(false);
  // the item's rectangle is relative to the window that shows the caption: the border window's when there is one
  RECT W{};
  TvkGlowForm* Layered = FBorderForm != nullptr && FormServices.BorderLayeredWindow ? FormServices.BorderLayeredWindow(FBorderForm)
                                                                                     : nullptr;
  if (Layered != nullptr && Layered->HandleAllocated())
    GetWindowRect(Layered->Handle(), &W);
  else if (const HWND F = FormHandle())
    GetWindowRect(F, &W);
  FHintArea = TRect(Item->Rect.Left + W.left, Item->Rect.Top + W.top, Item->Rect.Right + W.left, Item->Rect.Bottom + W.top);
  FHintItem = Item;
  const int Pause = Application != nullptr ? Application->HintPause() : 0;
  if (Pause >= 1) {
    FHintTimer->SetInterval(static_cast<unsigned>(Pause));
    FHintTimer->OnTimer = TNotifyEvent(this, &TsSkinProvider::ItemHintTimer);
    FHintTimer->SetEnabled(true);
  } else {
    FHintItem = nullptr;
    Item->ShowHint();
  }
}

void TsSkinProvider::ItemHintTimer(TObject*) {
  TvkTitleBarItem* Item = FHintItem;
  StopItemHint();
  // an item that left its bar meanwhile shows nothing
  bool Present = false;
  for (int i = 0; FTitleBar != nullptr && i < FTitleBar->Items()->Count(); ++i) Present = Present || FTitleBar->Items()->Items(i) == Item;
  if (!Present) return;
  POINT C{};
  Platform().GetCursorPos(&C);
  if (C.x >= FHintArea.Left && C.x < FHintArea.Right && C.y >= FHintArea.Top && C.y < FHintArea.Bottom) Item->ShowHint();
}

void TsSkinProvider::StopItemHint() {
  FHintItem = nullptr;
  if (FHintTimer != nullptr) FHintTimer->SetEnabled(false);
}

void TsSkinProvider::PaintTitleBarItem(TvkTitleBarItem* Item, const TRect& Rect, TBitmap* Bmp) {
  TsSkinManager* M = Manager();
  if (Item->SkinData == nullptr || Bmp == nullptr) return;
  if (M != nullptr ? Item->SkinData->SkinIndex >= static_cast<int>(M->gd().size()) : Item->SkinData->SkinIndex >= 0)
    return;
  TItemLook L;
  L.M = M;
  L.Section = M != nullptr && M->SectionIndexInRange(Item->SkinData->SkinIndex) ? Item->SkinData->SkinIndex : -1;
  L.Disabled = !Item->Enabled() || !FForm->Enabled();
  // a disabled item is painted on a copy and laid over the caption half seen through
  std::unique_ptr<TBitmap> Copy;  // freed also when the item's own drawing raises
  TBitmap* Target = Bmp;
  if (L.Disabled) {
    Copy.reset(NewBitmap32(Bmp->Width(), Bmp->Height()));
    Target = Copy.get();
    CopyBitmapFull(Target, Bmp);
  }
  if (Item->ContentWidth == 0) Item->Measure(!Item->AutoSize());
  TCanvas* C = Target->Canvas();
  C->Font()->Assign(Item->FontData()->BaseFont());
  const int ItemState = Item->GetState();
  L.State = L.Section < 0 ? 0 : std::min({ItemState, M->gd()[L.Section].States - 1, 2});
  L.State = std::max(L.State, 0);
  TvkFontData* FD = Item->FontData();
  const TsGenState* SS = L.Section >= 0 ? &M->gd()[L.Section].Props[L.State] : nullptr;
  C->Font()->SetColor(FD->UseSysColor() ? (SS != nullptr ? static_cast<TColor>(SS->FontColor) : C->Font()->Color())
                                        : FD->Font()->Color());
  if (!FD->UseSysFontName()) C->Font()->SetName(FD->Font()->Name());
  if (!FD->UseSysSize()) C->Font()->SetHeight(FD->Font()->Height());
  if (!FD->UseSysStyle()) C->Font()->SetStyle(FD->Font()->Style());
  if (!FD->UseSysGlowing()) {
    L.GlowSize = FD->GlowSize();
    L.GlowColor = FD->GlowColor();
  } else if (SS != nullptr) {
    L.GlowSize = SS->GlowSize;
    L.GlowColor = SS->GlowColor;
  }
  L.TextSection = L.Section;
  L.TextState = L.State;
  TRect R = Rect;
  if (Bmp != FSkinData->CacheBmp) FillRect32(Target, R, 0, 0);
  bool Centred = false;
  switch (Item->Style()) {
    case bsButton:
    case bsInfo:
      PaintTitleItemBackground(M, L.Section, L.State, Target, R);
      if (Item->SkinSection().empty() && L.State == 0 && M != nullptr && M->SectionIndexInRange(FTitleIndex)) {
        // a resting item without its own section reads like the caption text
        L.TextSection = FTitleIndex;
        L.TextState = std::clamp(FFormActive ? 1 : 0, 0, M->gd()[FTitleIndex].States - 1);
        const TsGenState& T = M->gd()[FTitleIndex].Props[L.TextState];
        if (FD->UseSysColor()) C->Font()->SetColor(static_cast<TColor>(T.FontColor));
        if (FD->UseSysGlowing()) {
          L.GlowSize = T.GlowSize;
          L.GlowColor = T.GlowColor;
        }
      }
      break;
    case bsMenu:
      if (L.Section >= 0) {
        PaintTitleItemBackground(M, L.Section, L.State, Target, R);
      } else {
        PaintMenuButtonImage(FTitleBar != nullptr ? FTitleBar->MenuButton() : nullptr, ItemState, Target, R);
        if (FD->UseSysColor()) C->Font()->SetColor(static_cast<TColor>(GetSysColor(COLOR_CAPTIONTEXT)));
        if (FD->UseSysGlowing()) {
          L.GlowSize = kMenuButtonGlowSize;
          L.GlowColor = kMenuButtonGlowColor;
        }
      }
      break;
    case bsTab:
      R.Top = std::max(R.Top, R.Bottom - (Item->Height() - 2));
      if (L.Section >= 0) {
        if (!Item->Down()) R = TRect(R.Left, R.Top + 2, R.Right, R.Bottom);
        PaintTitleItemBackground(M, L.Section, L.State, Target, R);
      }
      Centred = true;
      break;
    case bsSpacing: break;
  }
  PaintTitleItemContent(Item, L, FTitleIndex, Target, R, Centred);
  if (Item->OnDrawItem) {
    TvkTitleItemDrawData D{Item, Target, R};
    Item->OnDrawItem(D);
  }
  if (L.Disabled) {
    // the blend's source rectangle is inclusive of its right and bottom edges
    BlendBitmapInto(Bmp, Target, kDisabledItemLevel, TRect(Rect.Left, Rect.Top, Rect.Right - 1, Rect.Bottom - 1),
                    TPoint(Rect.Left, Rect.Top));
  }
}
