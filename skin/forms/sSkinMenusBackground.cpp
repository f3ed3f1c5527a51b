// The popup background cache: one painted bitmap per open popup (frame, icon column, extra line, corner
// cut-outs), the extra-line data asked of the manager, and the popup window's shape.
#include <algorithm>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinMenusUnit.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"

int MenuGlyphColumnWidth = 0;
int MenuTextOffset = 0;

namespace {

std::vector<TMenuBgCacheRecord> g_Cache;

// Extra-line data of the popup whose background is being built.
std::string g_ExtraSection = "EXTRALINE";
std::string g_ExtraCaption = "Use OnGetExtraLineData event";
TBitmap* g_ExtraGlyph = nullptr;
bool g_FetchingExtraLine = false;

void FreeExtraGlyph() {
  if (g_ExtraGlyph != nullptr) g_ExtraGlyph->Free();
  g_ExtraGlyph = nullptr;
}

void FreeRecord(TMenuBgCacheRecord& R) {
  if (R.Background != nullptr) R.Background->Free();
  R.Background = nullptr;
}

bool SameSize(TBitmap* Bmp, int W, int H) { return Bmp != nullptr && Bmp->Width() == W && Bmp->Height() == H; }

TMenuItem* KeyOf(TMenuItem* Item) {
  TMenuItem* P = Item->Parent();
  return P != nullptr && P->Count() > 0 ? P->Items(0) : Item;
}

void WindowSize(HWND Wnd, int& W, int& H) {
  RECT R{};
  if (!GetWindowRect(Wnd, &R)) {
    W = H = 0;
    return;
  }
  W = R.right - R.left;
  H = R.bottom - R.top;
}

}  // namespace

const std::vector<TMenuBgCacheRecord>& MenuBgCache() { return g_Cache; }

void ClearMenuBgCache() {
  for (TMenuBgCacheRecord& R : g_Cache) FreeRecord(R);
  g_Cache.clear();
}

void ForgetMenuBgWindow(HWND Wnd) {
  if (Wnd == nullptr) {
    ClearMenuBgCache();
    return;
  }
  auto Gone = [Wnd](TMenuBgCacheRecord& R) {
    if (R.Wnd != Wnd) return false;
    FreeRecord(R);
    return true;
  };
  g_Cache.erase(std::remove_if(g_Cache.begin(), g_Cache.end(), Gone), g_Cache.end());
}

void MenuBackgroundsFinalize() {
  ClearMenuBgCache();
  FreeExtraGlyph();
  g_ExtraSection.clear();
  g_ExtraCaption.clear();
}

void MenuBackgroundsInitialize() {
  g_ExtraSection = "EXTRALINE";
  g_ExtraCaption = "Use OnGetExtraLineData event";
}

bool IsNTPlatform() {
  OSVERSIONINFOA Info{};
  Info.dwOSVersionInfoSize = sizeof(Info);
  return Platform().GetVersionExA(&Info) && Info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

int PlatformMajorVersion() {
  OSVERSIONINFOA Info{};
  Info.dwOSVersionInfoSize = sizeof(Info);
  return Platform().GetVersionExA(&Info) ? static_cast<int>(Info.dwMajorVersion) : 0;
}

bool TsSkinableMenus::FetchExtraLineData(TMenuItem* KeyItem) {
  if (FSkinManager == nullptr || FSkinManager->ComponentState().Contains(csDesigning) || g_FetchingExtraLine)
    return false;
  if (KeyItem->Name() == "SkinSelectItem") return false;
  g_FetchingExtraLine = true;
  FreeExtraGlyph();
  bool Visible = true;
  try {
    if (FSkinManager->OnGetMenuExtraLineData.Assigned()) {
      g_ExtraSection = "EXTRALINE";
      g_ExtraCaption = "Use OnGetExtraLineData event";
      FSkinManager->OnGetMenuExtraLineData(KeyItem, g_ExtraSection, g_ExtraCaption, g_ExtraGlyph, Visible);
      g_ExtraCaption.erase(std::remove(g_ExtraCaption.begin(), g_ExtraCaption.end(), '&'), g_ExtraCaption.end());
    }
  } catch (...) {
    g_FetchingExtraLine = false;
    throw;
  }
  g_FetchingExtraLine = false;
  if (!Visible) FreeExtraGlyph();
  return Visible;
}

bool TsSkinableMenus::FindRecord(TMenuItem* Key, HWND Wnd, int Width, int Height, TMenuBgCacheRecord& Rec) const {
  for (const TMenuBgCacheRecord& R : g_Cache) {
    if (Key != nullptr && R.KeyItem != Key) continue;
    if (Key == nullptr && R.Wnd != Wnd) continue;
    // A size given (a background wanted for painting) must match the record's window and size.
    if (Width >= 0 && (R.Wnd != Wnd || !SameSize(R.Background, Width, Height))) continue;
    Rec = R;
    return true;
  }
  return false;
}

void TsSkinableMenus::GetPopupBackground(TMenuItem* Item, int, TMenuBgCacheRecord& Rec, HWND Wnd, TCanvas* Canvas,
                                         int) {
  Rec.KeyItem = nullptr;
  Rec.Background = nullptr;
  if (Item == nullptr) {
    if (Wnd != nullptr) FindRecord(nullptr, Wnd, -1, -1, Rec);
    return;
  }
  TMenuItem* Key = KeyOf(Item);
  if (Canvas == nullptr) {
    FindRecord(Key, nullptr, -1, -1, Rec);
    return;
  }
  int W = 0, H = 0;
  if (Wnd != nullptr) {
    WindowSize(Wnd, W, H);
  } else {
    W = PopupItemsWidth(Canvas, Item) + BorderWidth * 2;
    H = PopupItemsHeight(Canvas, Item) + BorderWidth * 2;
  }
  if (FindRecord(Key, Wnd, W, H, Rec)) return;
  // A background of this popup at another size is stale: it goes before the new one is made.
  auto Stale = [Key, Wnd](TMenuBgCacheRecord& R) {
    if (R.KeyItem != Key || R.Wnd != Wnd) return false;
    FreeRecord(R);
    return true;
  };
  g_Cache.erase(std::remove_if(g_Cache.begin(), g_Cache.end(), Stale), g_Cache.end());
  BuildPopupBackground(Key, W, Wnd, H);
  FindRecord(Key, Wnd, W, H, Rec);
}

void TsSkinableMenus::BuildPopupBackground(TMenuItem* KeyItem, int Width, HWND Wnd, int Height) {
  const bool Extra = FetchExtraLineData(KeyItem);
  TBitmap* Bmp = NewBitmap32(std::max(Width, 0), std::max(Height, 0));
  TMenuBgCacheRecord Rec{KeyItem, Bmp, Wnd, Extra, {}};
  try {
    TCanvas* C = Bmp->Canvas();
    C->Lock();
    TSize Glyph;
    ItemGlyphSize(KeyItem, false, Glyph);
    MenuGlyphColumnWidth = Glyph.cx;
    MenuTextOffset = PopupBorderWidth() + Margin + MenuGlyphColumnWidth + Spacing - BorderWidth;
    const int S = SectionOf(ssMainMenu);
    if (S >= 0 && !Bmp->Empty()) {
      TsSkinManager* M = FSkinManager;
      const int SBW = SkinBorderWidth();
      const int ExtraW = ExtraLineWidthFor(Rec);
      const TRect Whole(0, 0, Bmp->Width(), Bmp->Height());
      TvkBgCacheRef NoBg;
      PaintSectionBackground(S, NoBg, 0, 0xFF00FF, -1, -1, M, Bmp, TPoint(0, 0), Whole);
      // icon column
      const int Ico = M->FindSectionIndex(M->MenuSupport()->IcoLineSkin());
      const bool RightAligned = Wnd != nullptr && (GetWindowLongA(Wnd, GWL_EXSTYLE) & WS_EX_RIGHT) != 0;
      if (!RightAligned && M->SectionIndexInRange(Ico) && MenuTextOffset > 0 && Bmp->Height() - 2 * SBW > 0) {
        TBitmap* Col = NewBitmap32(MenuTextOffset, Bmp->Height() - 2 * SBW);
        TvkBgCacheRef Ref;
        InitBgInfo(Bmp, ExtraW + SBW, SBW, Ref);
        PaintSectionItem(Ico, Ref, -1, -1, M, Col, TPoint(0, 0), TRect(0, 0, Col->Width(), Col->Height()), 0);
        BitBlt(C->Handle(), ExtraW + SBW, SBW, Col->Width(), Col->Height(), Col->Canvas()->Handle(), 0, 0, SRCCOPY);
        Col->Free();
      }
      // frame
      const int B = MainMenuBorderMask();
      if (B >= 0) DrawSkinRect32(Bmp, Whole, NoBg, false, 0, M->ma()[B]);
      // extra line
      const int ES = M->FindSectionIndex(g_ExtraSection);
      if (M->MenuSupport()->UseExtraLine() && Extra && M->SectionIndexInRange(ES) && Bmp->Height() - 2 * SBW > 0) {
        const int EW = M->ApplyScale(M->MenuSupport()->ExtraLineWidth(), 0);
        TBitmap* Band = NewBitmap32(EW, Bmp->Height() - 2 * SBW);
        TvkBgCacheRef Ref;
        InitBgInfo(Bmp, SBW, SBW, Ref);
        PaintSectionItem(ES, Ref, -1, -1, M, Band, TPoint(0, 0), TRect(0, 0, Band->Width(), Band->Height()), 0);
        int BottomMargin = 12;
        if (g_ExtraGlyph != nullptr && !g_ExtraGlyph->Empty()) {
          const int GX = (Band->Width() - g_ExtraGlyph->Width()) / 2;
          const int GY = Band->Height() - 12 - g_ExtraGlyph->Height();
          Band->Canvas()->Draw(GX, GY, g_ExtraGlyph);
          BottomMargin = 12 + g_ExtraGlyph->Height() + 8;
        }
        if (!g_ExtraCaption.empty()) {
          TCanvas* BC = Band->Canvas();
          HFONT Font = SetExtraLineFont(BC, KeyItem, -2700);
          BC->Brush()->SetStyle(bsClear);
          // The text runs upwards, so its visual width is its height.
          const int TH = BC->TextHeight(g_ExtraCaption);
          BC->TextOut((Band->Width() - TH) / 2, Band->Height() - BottomMargin, g_ExtraCaption);
          BC->Font()->Assign(M->MenuSupport()->ExtraLineFont());
          if (Font != nullptr) DeleteObject(Font);
        }
        BitBlt(C->Handle(), SBW, SBW, Band->Width(), Band->Height(), Band->Canvas()->Handle(), 0, 0, SRCCOPY);
        Band->Free();
      }
      FreeExtraGlyph();
      // right to left: the whole picture mirrored
      if (MenuRightToLeft(KeyItem)) {
        TBitmap* Copy = NewBitmap32(Bmp->Width(), Bmp->Height());
        BitBlt(Copy->Canvas()->Handle(), 0, 0, Bmp->Width(), Bmp->Height(), C->Handle(), 0, 0, SRCCOPY);
        StretchBlt(C->Handle(), Bmp->Width() - 1, 0, -Bmp->Width(), Bmp->Height(), Copy->Canvas()->Handle(), 0, 0,
                   Bmp->Width(), Bmp->Height(), SRCCOPY);
        Copy->Free();
      }
      // corner cut-outs
      const int Corners = M->FindMaskInherited(S, "BORDERSMASK");
      if (M->MaskIndexInRange(Corners)) {
        const TsMaskData& CM = M->ma()[Corners];
        MeasureMaskCornerCutouts(Rec.Cutouts, Bmp->Width(), CM, false, 0);
        MeasureMaskCornerCutouts(Rec.Cutouts, Bmp->Width(), CM, true, Bmp->Height() - CM.WB);
      }
      if (Wnd != nullptr) ApplyPopupShape(Wnd, Rec);
    }
    C->Unlock();
  } catch (...) {
    Bmp->Free();
    throw;
  }
  g_Cache.push_back(Rec);
}

HFONT TsSkinableMenus::SetExtraLineFont(TCanvas* Canvas, TMenuItem* KeyItem, int Escapement) {
  TsSkinManager* M = FSkinManager;
  TFont* F = Canvas->Font();
  TFont* Source = M->MenuSupport()->ExtraLineFont();
  F->Assign(Source);
  if (TCustomForm* Form = KeyItem != nullptr && KeyItem->GetParentMenu() != nullptr
                              ? FindOwnerForm(KeyItem->GetParentMenu())
                              : nullptr)
    F->SetCharset(Form->Font()->Charset());
  LOGFONTA LF{};
  LF.lfHeight = M->ApplyScale(Source->Height(), 0);
  LF.lfWidth = 0;
  LF.lfEscapement = Escapement;
  LF.lfOrientation = Escapement;
  LF.lfWeight = Source->Style().Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  LF.lfItalic = Source->Style().Contains(fsItalic);
  LF.lfUnderline = Source->Style().Contains(fsUnderline);
  LF.lfStrikeOut = Source->Style().Contains(fsStrikeOut);
  LF.lfCharSet = F->Charset();
  LF.lfOutPrecision = 0;
  LF.lfClipPrecision = 0;
  LF.lfQuality = ANTIALIASED_QUALITY;
  LF.lfPitchAndFamily = 0;
  lstrcpynA(LF.lfFaceName, Source->Name().c_str(), LF_FACESIZE);
  HFONT H = CreateFontIndirectA(&LF);
  if (H != nullptr) F->SetHandle(H);
  const int ES = M->FindSectionIndex(g_ExtraSection);
  if (M->SectionIndexInRange(ES)) F->SetColor(static_cast<TColor>(M->gd()[ES].Props[0].FontColor));
  return H;
}

void TsSkinableMenus::ApplyPopupShape(HWND Wnd, const TMenuBgCacheRecord& Rec) {
  TBitmap* Bitmap = Rec.Background;
  if (!IsNTPlatform() || FBusy || Bitmap == nullptr || Wnd == nullptr) return;
  // A popup whose adapter still waits for its erase is left as it is.
  if (SendMessageA(Wnd, SM_VKCMD, SkinCommandWParam(VKCMD_SET_UPDATE_STATE), 0) != 0) return;
  SendMessageA(Wnd, SM_VKCMD, SkinCommandWParam(VKCMD_0E), 0);
  FBusy = true;
  try {
    HRGN Rgn = CreateRectRgn(0, 0, Bitmap->Width(), Bitmap->Height());
    auto Cut = [Rgn](const TRect& R) {
      HRGN Piece = CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom);
      CombineRgn(Rgn, Rgn, Piece, RGN_DIFF);
      DeleteObject(Piece);
    };
    if (Rec.Cutouts.empty())
      Cut(TRect(0, 0, 1, 1));
    else
      for (const TRect& R : Rec.Cutouts) Cut(R);
    // The window owns the region from here on.
    if (SetWindowRgn(Wnd, Rgn, TRUE) == 0) DeleteObject(Rgn);
    if (HDC DC = GetWindowDC(Wnd)) {
      CopyBorderStrips(DC, 0, 0, 3, 0, 0, Bitmap->Canvas()->Handle(), Bitmap->Height(), Bitmap->Width());
      ReleaseDC(Wnd, DC);
    }
  } catch (...) {
    FBusy = false;
    throw;
  }
  FBusy = false;
}
