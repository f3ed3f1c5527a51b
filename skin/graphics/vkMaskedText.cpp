#include "skin/graphics/vkMaskedText.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "framework/GraphicsGdi.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkPixelMath.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"

using namespace vkpx;

void DrawTextThroughMask32(TBitmap* Bmp, const std::string& Text, bool AlphaMode, bool IsPChar, uint32_t Color,
                           UINT Flags, const TRect& R) {
  const TPixelPlane D = PlaneOf(Bmp);
  if (D.Empty() || R.Width() < 1 || R.Height() < 1) return;
  TFreeHolder<TBitmap> Work(NewBitmap32(R.Width(), R.Height()));
  {
    TCanvas* C = Work->Canvas();
    C->Font()->Assign(Bmp->Canvas()->Font());
    C->Brush()->SetColor(clWhite);
    C->FillRect(TRect(0, 0, R.Width(), R.Height()));
    TCanvasTextScope S(C);
    SetTextColor(S.DC(), 0);
    SetBkColor(S.DC(), 0xFFFFFF);
    TRect Bounds(0, 0, R.Width(), R.Height());
    if (IsPChar) DrawTextA(S.DC(), Text.c_str(), static_cast<int>(std::strlen(Text.c_str())), Bounds.AsRECT(), Flags);
    else DrawStringOnDC(S.DC(), Text, Bounds, Flags);
    GdiFlush();
  }
  const TPixelPlane W = PlaneOf(Work.get());
  const uint32_t Col = SwapRedBlue(ColorToRGB(Color));
  const int Rows = std::min(W.Height, D.Height - R.Top), Cols = std::min(W.Width, D.Width - R.Left);
  for (int y = std::max(0, -R.Top); y < Rows; ++y) {
    const uint32_t* w = W.Row32(y);
    uint32_t* d = D.Row32(R.Top + y) + R.Left;
    for (int x = std::max(0, -R.Left); x < Cols; ++x) {
      if ((w[x] & 0x00FFFFFFu) == 0x00FFFFFFu) continue;
      const uint32_t p = d[x];
      if (!AlphaMode) {
        d[x] = Pack(Mix(Chan(p, 0), Chan(Col, 0), Chan(w[x], 0)), Mix(Chan(p, 1), Chan(Col, 1), Chan(w[x], 1)),
                    Mix(Chan(p, 2), Chan(Col, 2), Chan(w[x], 2)), 255);
      } else {
        const uint32_t g = std::max<uint32_t>(PixelGray(w[x]), 1);
        const uint32_t A = std::max(Alpha(p), 255 - g);
        auto Ch = [&](int n) {
          const int dc = static_cast<int>(Chan(p, n)), cc = static_cast<int>(Chan(Col, n));
          return static_cast<uint32_t>(((dc - cc) * static_cast<int>(g) + cc * 256) * static_cast<int>(A)) >> 16;
        };
        d[x] = Pack(Ch(0), Ch(1), Ch(2), A);
      }
    }
  }
}

int DrawSkinText32(TBitmap* Bmp, const std::string& Text, bool AlphaOutput, TsSkinManager* Manager, int State,
                   int SectionIndex, UINT Flags, const TRect& R) {
  if (Bmp == nullptr || Text.empty() || R.Width() <= 0 || R.Height() <= 0) return 0;
  if (Manager == nullptr) Manager = TsSkinManager::DefaultManager();
  if (Manager == nullptr || !Manager->SectionIndexInRange(SectionIndex)) {
    DrawTextThroughMask32(Bmp, Text, AlphaOutput, false, Bmp->Canvas()->Font()->Color(), Flags, R);
    return 0;
  }
  // Sections have three state records; a larger state would read past them.
  const TsGenState& St = Manager->gd()[SectionIndex].Props[std::clamp(State, 0, 2)];
  if (AlphaOutput) {
    const int Contours[4] = {St.TCLeft, St.TCTop, St.TCRight, St.TCBottom};
    const int Dx[4] = {-1, 0, 1, 0}, Dy[4] = {0, -1, 0, 1};
    for (int i = 0; i < 4; ++i)
      if (Contours[i] != -1)
        DrawTextThroughMask32(Bmp, Text, true, false, static_cast<uint32_t>(Contours[i]), Flags,
                              TRect(R.Left + Dx[i], R.Top + Dy[i], R.Right + Dx[i], R.Bottom + Dy[i]));
  }
  DrawTextThroughMask32(Bmp, Text, AlphaOutput, false, St.FontColor, Flags, R);
  return 0;
}

void FillKeyPixelsFromBackground(TBitmap* Dst, TBitmap* BgBmp, const TRect& DstRect, int Corner, TsSkinManager* Manager,
                                 int MaskIndex, TPoint P) {
  const TPixelPlane D = PlaneOf(Dst), B = PlaneOf(BgBmp);
  if (D.Empty() || B.Empty() || P.X < 0 || P.Y < 0) return;
  // The area is clipped to the destination and the background alike.
  const TRect Src(P.X, P.Y, P.X + DstRect.Width(), P.Y + DstRect.Height());
  PairClip C = ClipPair(DstRect, Src, D, B);
  if (C.Empty()) return;
  if (MaskIndex == -1) {
    for (int r = 0; r < C.rows; ++r) {
      uint32_t* d = D.Row32(C.dy + r) + C.dx;
      const uint32_t* b = B.Row32(C.sy + r) + C.sx;
      for (int c = 0; c < C.cols; ++c) {
        d[c] &= 0x00FFFFFFu;
        if (d[c] == KeyPixel32) d[c] = b[c];
      }
    }
    return;
  }
  if (Manager == nullptr) Manager = TsSkinManager::DefaultManager();
  if (Manager == nullptr || !Manager->MaskIndexInRange(MaskIndex)) return;
  const TsMaskData& Mask = Manager->ma()[MaskIndex];
  const TPixelPlane M = PlaneOf(MaskSourceBitmap(Mask));
  if (M.Empty()) return;
  int ax = Mask.R.Left, ay = Mask.R.Top;
  if (Corner == HTTOPRIGHT || Corner == HTBOTTOMRIGHT) ax += Mask.Width - Mask.WR;
  if (Corner == HTBOTTOMLEFT || Corner == HTBOTTOMRIGHT) ay += Mask.Height - Mask.WB;
  // The mask is read at the same offsets as the background: clipped to it as well.
  const int x0 = C.dx - DstRect.Left, y0 = C.dy - DstRect.Top;
  for (int r = 0; r < C.rows; ++r) {
    const int my = ay + y0 + r;
    if (my < 0 || my >= M.Height) continue;
    uint32_t* d = D.Row32(C.dy + r) + C.dx;
    const uint32_t* b = B.Row32(C.sy + r) + C.sx;
    for (int c = 0; c < C.cols; ++c) {
      const int mx = ax + x0 + c;
      if (mx >= 0 && mx < M.Width && (M.At(mx, my) & 0x00FFFFFFu) == KeyPixel32) d[c] = b[c];
    }
  }
}

HICON CreateIconFromBitmap(TBitmap* Bmp) {
  if (Bmp == nullptr || Bmp->Empty()) return nullptr;
  // A copy: the caller's bitmap keeps its format and its key pixels.
  TFreeHolder<TBitmap> Color(new TBitmap());
  Color->Assign(Bmp);
  ForceBitmap32(Color.get());
  const TPixelPlane P = PlaneOf(Color.get());
  if (P.Empty()) return nullptr;
  const uint32_t Key = P.At(0, 0);
  TFreeHolder<TBitmap> Mask(new TBitmap());
  Mask->SetPixelFormat(pf8bit);
  Mask->SetSize(P.Width, P.Height);
  for (int y = 0; y < P.Height; ++y) {
    uint8_t* m = static_cast<uint8_t*>(Mask->ScanLine(y));
    uint32_t* c = P.Row32(y);
    for (int x = 0; x < P.Width; ++x) {
      m[x] = c[x] == Key ? 255 : 0;
      // The AND mask clears these pixels; a zero colour keeps the key colour from showing through.
      if (c[x] == Key) c[x] = 0;
    }
  }
  Mask->SetPixelFormat(pf1bit);
  ICONINFO Info{};
  Info.fIcon = TRUE;
  Info.hbmMask = Mask->Handle();
  Info.hbmColor = Color->Handle();
  return GdiNewIconIndirect(&Info);
}
