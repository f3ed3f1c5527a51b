// The background cache of adapted windows, its key corners, and the unit's start and end.
#include <algorithm>

#include "framework/GraphicsGdi.h"

#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkMainWnd.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkMnuWnd.h"
#include "skin/adapters/vkComboWnds.h"
#include "skin/adapters/vkScrollWnd.h"
#include "skin/adapters/vkTabWnds.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkAdapterServices.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkntUtils.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"

namespace {

uint32_t PixelOfColor(TColor C) {
  const uint32_t V = static_cast<uint32_t>(ColorToRGB(C));
  return 0xFF000000u | SwapRedBlue(V & 0xFFFFFF);
}

// The background behind the window: its parent's answer for the window's place.
void QueryWindowBackground(TsCommonData* SD, HWND Wnd, TvkParentBgQuery& Q, const TPoint& Pos, const TPoint& Size) {
  Q = TvkParentBgQuery{};
  Q.OffsetX = Pos.X;
  Q.OffsetY = Pos.Y;
  Q.Area = TRect(0, 0, Size.X, Size.Y);
  if (SD->OwnerControl != nullptr && SD->OwnerControl->Parent() != nullptr) {
    SD->GetParentBackground(Q);
  } else if (GetParent(Wnd) != nullptr) {
    QueryParentBackgroundWnd(Q, GetParent(Wnd), false);
  } else {
    TsSkinManager* M = SD->SkinManager();
    Q.Kind = bgkColor;
    Q.Color = static_cast<uint32_t>(ColorToRGB(M != nullptr ? M->SkinBaseColor() : clBtnFace));
  }
}

// The edit's text in grey inside its border, as a disabled edit shows it.
void DrawDisabledEditText(TsCommonData* SD, TCustomEdit* E, TBitmap* Bmp) {
  std::string Text = E->Text();
  const int Pwd = GetObjOrdPropValue(E, "PasswordChar");
  if (Pwd != 0) Text.assign(Text.size(), static_cast<char>(Pwd));
  TCanvas* C = Bmp->Canvas();
  C->Font()->Assign(E->Font());
  C->Font()->SetColor(clGrayText);
  SetBkMode(C->Handle(), TRANSPARENT);
  SelectObject(C->Handle(), C->Font()->Handle());
  SetTextColor(C->Handle(), static_cast<COLORREF>(ColorToRGB(clGrayText)));
  const int B = std::max(1, SD->MaxBorderWidth());
  RECT R{B + 1, B, Bmp->Width() - B - 1, Bmp->Height() - B};
  UINT Flags = DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER;
  if (E->BiDiMode() == bdRightToLeft) Flags |= DT_RIGHT | DT_RTLREADING;
  DrawTextA(C->Handle(), Text.c_str(), static_cast<int>(Text.size()), &R, Flags);
}

// A framework edit that shows a border: the skin's frame, and inside the border the colour the edit's client
// shows, so that no texture or gradient of the section lies between the border and the client.
void PaintEditFrame(TsCommonData* SD, const TvkBgCacheRef& Bg, TBitmap* Bmp, const TCustomEdit* E, int State) {
  const TRect Whole(0, 0, Bmp->Width(), Bmp->Height());
  RenderControlSkin(SD, Bg, true, Bmp, TPoint(), Whole, State);
  TRect Inside = Whole;
  TsSkinManager* M = SD->SkinManager();
  if (M != nullptr && M->MaskIndexInRange(SD->BorderIndex)) {
    const TsMaskData& Border = M->ma()[SD->BorderIndex];
    Inside = TRect(Border.WL, Border.WT, Whole.Right - Border.WR, Whole.Bottom - Border.WB);
  }
  if (Inside.Width() > 0 && Inside.Height() > 0) FillRect32(Bmp, Inside, E->Color(), 255);
}

}  // namespace

void PaintAdapterCache(TsCommonData* SD, HWND Wnd, bool DialogStyle) {
  if (SD == nullptr || !SD->CacheDirty || Wnd == nullptr) return;
  RECT WR{};
  GetWindowRect(Wnd, &WR);
  const TPoint Size(std::max(0L, WR.right - WR.left), std::max(0L, WR.bottom - WR.top));
  const HWND Parent = GetParent(Wnd);
  if (Parent != nullptr && !IsWindow(Parent)) return;
  const POINT Pos = PlaceInParentBackground(Parent, POINT{WR.left, WR.top});
  TvkParentBgQuery Q;
  QueryWindowBackground(SD, Wnd, Q, TPoint(Pos.x, Pos.y), Size);
  if (Q.Kind == bgkNotReady) {
    SD->Updating = true;
    return;
  }
  if (SD->CacheBmp == nullptr) SD->CacheBmp = NewBitmap32(0, 0);
  TBitmap* Bmp = SD->CacheBmp;
  Bmp->SetPixelFormat(pf32bit);
  Bmp->SetSize(Size.X, Size.Y);
  TvkBgCacheRef Bg;
  BgCacheRefFromQuery(Q, Bg);
  TsSkinManager* Def = TsSkinManager::DefaultManager();
  const bool DialogColor = DialogStyle && Def != nullptr && (Def->PaletteColor(pcBorder) & 0xFFFFFF) != 0xFF00FF;
  if (!DialogColor) {
    if (SD->IsSkinned(false)) {
      int State = 0;
      if (SD->Focused || (SD->Hot && CanShowHotState(SD, true))) State = 1;
      if (auto* E = As<TCustomEdit>(SD->OwnerControl); E != nullptr && E->BorderStyle() == bsSingle)
        PaintEditFrame(SD, Bg, Bmp, E, State);
      else
        RenderControlSkin(SD, Bg, true, Bmp, TPoint(), TRect(0, 0, Size.X, Size.Y), State);
    }
  } else {
    PaintSolidRect(Bmp->Canvas()->Handle(), TRect(0, 0, Size.X, Size.Y), static_cast<uint32_t>(ColorToRGB(clWindow)));
    HBRUSH Br = GdiNewSolidBrush(static_cast<COLORREF>(Def->PaletteColor(pcBorder) & 0xFFFFFF));
    RECT R{0, 0, Size.X, Size.Y};
    FrameRect(Bmp->Canvas()->Handle(), &R, Br);
    GdiFreeObject(Br);
  }
  TControl* Owner = SD->OwnerControl;
  if (auto* E = As<TCustomEdit>(Owner); E != nullptr && !E->Enabled()) DrawDisabledEditText(SD, E, Bmp);
  if (Owner != nullptr && !Owner->Enabled()) {
    TsDisabledKinds Kinds{dkBlended};
    if (ObjectHasProperty(Owner, "DisabledKind")) Kinds = TsDisabledKinds::FromRaw(static_cast<uint32_t>(GetObjOrdPropValue(Owner, "DisabledKind")));
    PaintDisabledLook(Bmp, Kinds, Owner, TPoint(), Bg);
  }
  SD->CacheDirty = false;
}

void RestoreCacheCorners(TsCommonData* SD, int State, TvkMainWnd* A) {
  if (SD == nullptr || A == nullptr || A->DlgMode || SD->CacheBmp == nullptr) return;
  TsSkinManager* M = SD->SkinManager();
  if (M == nullptr || !M->SectionIndexInRange(SD->SkinIndex)) return;
  const int MaskIndex = M->gd()[SD->SkinIndex].BorderIndex;
  if (!M->MaskIndexInRange(MaskIndex) || A->WndSize.X <= 1 || A->WndSize.Y <= 1) return;
  const TsMaskData& Mask = M->ma()[MaskIndex];
  TBitmap* Src = MaskSourceBitmap(Mask);
  if (Src == nullptr || Mask.Width <= 0 || Mask.Height <= 0) return;
  TvkParentBgQuery Q{};
  const POINT At = PlaceInParentBackground(A->ParentWnd, POINT{A->WndRect.Left, A->WndRect.Top});
  Q.OffsetX = At.x;
  Q.OffsetY = At.y;
  Q.Area = TRect(0, 0, A->WndSize.X, A->WndSize.Y);
  SD->GetParentWindowBackground(Q);
  const bool FromBitmap = Q.Kind == bgkBitmap && Q.Bmp != nullptr;
  const uint32_t ParentPixel = PixelOfColor(static_cast<TColor>(Q.Color));
  const int S = std::clamp(State, 0, std::max(0, Mask.ImageCount - 1));
  const TPixelPlane Dst = PlaneOf(SD->CacheBmp);
  const TPixelPlane Img = PlaneOf(Src);
  const TPixelPlane Par = FromBitmap ? PlaneOf(Q.Bmp) : TPixelPlane{};
  if (Dst.Empty() || Img.Empty()) return;
  const int FX = Mask.R.Left + S * Mask.Width, FY = Mask.R.Top;
  // Corner rectangles in the frame and in the cache: top-left, top-right, bottom-right, bottom-left.
  struct Corner { int SX, SY, DX, DY, W, H; };
  const int W = Dst.Width, H = Dst.Height;
  const Corner Corners[4] = {
      {0, 0, 0, 0, Mask.WL, Mask.WT},
      {Mask.Width - Mask.WR, 0, W - Mask.WR, 0, Mask.WR, Mask.WT},
      {Mask.Width - Mask.WR, Mask.Height - Mask.WB, W - Mask.WR, H - Mask.WB, Mask.WR, Mask.WB},
      {0, Mask.Height - Mask.WB, 0, H - Mask.WB, Mask.WL, Mask.WB},
  };
  for (const Corner& C : Corners)
    for (int y = 0; y < C.H; ++y)
      for (int x = 0; x < C.W; ++x) {
        const int sx = FX + C.SX + x, sy = FY + C.SY + y, dx = C.DX + x, dy = C.DY + y;
        if (sx < 0 || sy < 0 || sx >= Img.Width || sy >= Img.Height || dx < 0 || dy < 0 || dx >= W || dy >= H)
          continue;
        if ((Img.At(sx, sy) & 0xFFFFFF) != kTransparentKey) continue;
        if (FromBitmap) {
          const int px = Q.OffsetX + dx, py = Q.OffsetY + dy;
          if (px < 0 || py < 0 || px >= Par.Width || py >= Par.Height) continue;
          Dst.At(dx, dy) = Par.At(px, py);
        } else {
          Dst.At(dx, dy) = ParentPixel;
        }
      }
}

void CopyCacheToWindow(TsCommonData* SD, HWND Wnd, HDC DC) {
  if (SD == nullptr || SD->CacheBmp == nullptr) return;
  HDC Target = DC;
  if ((SD->StateFlags & sfPrinting) && SD->PrintDC != nullptr) Target = SD->PrintDC;
  const bool Own = Target == nullptr;
  if (Own) Target = GetWindowDC(Wnd);
  BitBlt(Target, 0, 0, SD->CacheBmp->Width(), SD->CacheBmp->Height(), SD->CacheBmp->Canvas()->Handle(), 0, 0,
         SRCCOPY);
  if (Own) ReleaseDC(Wnd, Target);
}

// ---- unit ----

namespace {
int StartCount = 0;
}

void SBUtilsInitialize() {
  if (StartCount++ > 0) return;
  GetScrollBarInfoEntry().Get();
  InitializeFlatSBEntry().Get();
  UninitializeFlatSBEntry().Get();
  AdapterServices.AdapterSkinData = [](TvkMainWnd* A) { return A->SkinData; };
  AdapterServices.PerformMessage = [](TvkMainWnd* A, UINT Msg, WPARAM W, LPARAM L) {
    return A->PerformMessage(Msg, W, L);
  };
  AdapterServices.GetWindowScrollAdapter = ScrollAdapterOfWindow;
  AdapterServices.ScrollAdapterSkinData = [](TvkScrollWnd* A) { return static_cast<TvkMainWnd*>(A)->SkinData; };
  AdapterServices.ScrollBarShown = [](TvkScrollWnd* A, bool Horizontal) {
    TvkScrollBar* B = Horizontal ? A->HorzBar : A->VertBar;
    return B != nullptr && B->Shown;
  };
  AdapterServices.GetScrollBarDimension = [](TvkScrollWnd* A, bool Horizontal, bool Thickness) {
    return ScrollBarDimension(Horizontal ? A->HorzBar : A->VertBar, Thickness);
  };
  AdapterServices.DetachScrollWndAdapter = DetachScrollAdapter;
  InstallFormScrollParts();
  FormServices.FreeMenuWindowAdapters = FreeMenuAdapters;
  AdapterServices.CreateComboListAdapter = [](HWND Wnd, TsCommonData* Data, TsSkinManager* Manager, const char* Section,
                                              bool Repaint, bool SimpleList) {
    return TvkComboListWnd::CreateForCombo(Wnd, Data, Manager, Section != nullptr ? Section : "", Repaint, SimpleList);
  };
  AdapterServices.FreeComboListAdapter = [](TvkComboListWnd* A) {
    if (A == nullptr) return;
    TvkScrollWnd* S = A;
    DetachScrollAdapter(A->CtrlHandle, true, false, S);
  };
}

void SBUtilsFinalize() {
  if (StartCount == 0 || --StartCount > 0) return;
  FreeMenuAdapters();
  if (FormServices.FreeMenuWindowAdapters == FreeMenuAdapters) FormServices.FreeMenuWindowAdapters = nullptr;
  FreePageAdapters();
  AdapterServices = TvkAdapterServices{};
  RemoveFormScrollParts();
  GetScrollBarInfoEntry().Reset();
  InitializeFlatSBEntry().Reset();
  UninitializeFlatSBEntry().Reset();
}
