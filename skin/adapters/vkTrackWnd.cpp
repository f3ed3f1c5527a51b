#include "skin/adapters/vkTrackWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/Resample.h"
#include "skin/graphics/ToolkitStartup.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"

IMPLEMENT_CLASS(TvkTrackWnd)

namespace {

constexpr int kUnscaledThumb = 23;  // thumbs of this thickness show the skin image as it is
constexpr int kThumbFilter = 6;

TRect Swapped(const TRect& R) { return TRect(R.Top, R.Left, R.Bottom, R.Right); }

// Rows upside down (horizontal bars) or columns right to left (vertical bars).
void MirrorBitmap32(TBitmap* B, bool Columns) {
  const int W = B->Width(), H = B->Height();
  if (Columns) {
    for (int y = 0; y < H; ++y) {
      auto* Row = static_cast<uint32_t*>(B->ScanLine(y));
      std::reverse(Row, Row + W);
    }
  } else {
    std::vector<uint32_t> Tmp(static_cast<size_t>(W));
    for (int y = 0; y < H / 2; ++y) {
      auto* A = static_cast<uint32_t*>(B->ScanLine(y));
      auto* Z = static_cast<uint32_t*>(B->ScanLine(H - 1 - y));
      std::copy(A, A + W, Tmp.data());
      std::copy(Z, Z + W, A);
      std::copy(Tmp.begin(), Tmp.end(), Z);
    }
  }
}

}  // namespace

std::vector<int> TrackTickOffsets(int Count, int ChannelStart, int ChannelLength, int ThumbLength, double& Step) {
  std::vector<int> Ticks;
  Step = 0;
  if (Count <= 0) return Ticks;
  if (Count > 1) Step = static_cast<double>(ChannelLength - ThumbLength) / (Count - 1);
  for (int i = 0; i < Count; ++i)
    Ticks.push_back(ChannelStart + ThumbLength / 2 + static_cast<int>(std::lround(i * Step)));
  return Ticks;
}

void TvkTrackWnd::FinishCreation() {
  TickSize = 4;
  TvkMainWnd::FinishCreation();
}

void TvkTrackWnd::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCPAINT:
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_PAINT:
      if (SkinData != nullptr && SkinData->SkinManager() != nullptr && SkinData->SkinManager()->Active()) {
        PaintTrack(Message);
        return;
      }
      break;
    case WM_LBUTTONDOWN:
      Pressed = true;
      break;
    case WM_LBUTTONUP:
      Pressed = false;
      break;
    default:
      break;
  }
  TvkMainWnd::WndProc(Message);
}

void TvkTrackWnd::PaintTrack(TMessage& Message) {
  const HWND W = CtrlHandle;
  GetWindowGeometry(W, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  PAINTSTRUCT PS{};
  BeginPaint(W, &PS);
  if (SkinData->IsUpdating()) {
    EndPaint(W, &PS);
    return;
  }
  GetWindowGeometry(W, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
  SendMessageA(GetParent(W), SM_VKCMD, SkinCommandWParam(VKCMD_05), 0);
  if (!IsWindowVisible(W) && Message.WParam == 0) {
    EndPaint(W, &PS);
    return;
  }
  HDC DC = Message.WParam != 0 ? reinterpret_cast<HDC>(Message.WParam) : GetDC(W);
  TBitmap* Cache = PrepareAdapterCache(this);
  TvkBgCacheRef Bg;
  AdapterParentBackground(this, Bg);
  RenderControlSkin(SkinData, Bg, true, Cache, TPoint(), TRect(0, 0, WndSize.X, WndSize.Y), Pressed ? 1 : 0);
  TsSkinManager* M = SkinData->SkinManager();
  if (M->FindSectionIndex("TRACKBAR") >= 0) {
    const bool Vertical = (GetWindowLongA(W, GWL_STYLE) & TBS_VERT) != 0;
    RECT C{}, T{};
    SendMessageA(W, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&C));
    SendMessageA(W, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&T));
    // Some systems give a vertical bar's channel in horizontal coordinates: turn it only then.
    const bool Turned = Vertical && (C.right - C.left) > (C.bottom - C.top);
    const TRect Channel = Turned ? Swapped(TRect(C)) : TRect(C);
    PaintChannel(Cache, Channel, Vertical);
    if (!(GetWindowLongA(W, GWL_STYLE) & TBS_NOTICKS)) PaintTicks(Cache, Channel, TRect(T), Vertical);
    PaintThumb(Cache, TRect(T), Vertical);
  }
  if (!IsWindowEnabled(W)) PaintAdapterDisabled(Cache, Bg);
  BitBlt(DC, 0, 0, WndSize.X, WndSize.Y, Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
  if (Message.WParam == 0) ReleaseDC(W, DC);
  EndPaint(W, &PS);
}

void TvkTrackWnd::PaintChannel(TBitmap* Cache, const TRect& Channel, bool Vertical) {
  TsSkinManager* M = SkinData->SkinManager();
  const int Index = M->FindMaskInherited(M->FindSectionIndex("TRACKBAR"), "SLIDERCHANNEL");
  if (!M->MaskIndexInRange(Index)) return;
  const TsMaskData& Mask = M->ma()[Index];
  TvkBgCacheRef Own;
  InitBgInfo(Cache, 0, 0, Own);
  TRect R = Channel;
  if (Vertical) {
    const int Thick = Mask.Width - 1, Mid = (Channel.Left + Channel.Right) / 2;
    R.Left = Mid - Thick / 2;
    R.Right = R.Left + Thick;
  } else {
    const int Thick = Mask.Height - 1, Mid = (Channel.Top + Channel.Bottom) / 2;
    R.Top = Mid - Thick / 2;
    R.Bottom = R.Top + Thick;
  }
  DrawSkinRect32(Cache, R, Own, true, SkinData->CurrentState(), Mask);
}

void TvkTrackWnd::PaintTicks(TBitmap* Cache, const TRect& Channel, const TRect& Thumb, bool Vertical) {
  const HWND W = CtrlHandle;
  const LONG Style = GetWindowLongA(W, GWL_STYLE);
  const int Count = static_cast<int>(SendMessageA(W, TBM_GETNUMTICS, 0, 0));
  const int ChannelStart = Vertical ? Channel.Top : Channel.Left;
  const int ChannelLength = Vertical ? Channel.Height() : Channel.Width();
  const int ThumbLength = Vertical ? Thumb.Height() : Thumb.Width();
  const int ThumbThick = Vertical ? Thumb.Width() : Thumb.Height();
  const int ChannelThick = Vertical ? Channel.Width() : Channel.Height();
  const int Gap = (ThumbThick - ChannelThick) / 2 + 2;
  const std::vector<int> Ticks = TrackTickOffsets(Count, ChannelStart, ChannelLength, ThumbLength, TickStep);
  // Sides holding ticks: before (above / left) and after (below / right) the channel.
  const bool Both = (Style & TBS_BOTH) != 0;
  const bool Before = Both || (Style & TBS_TOP) != 0;
  const bool After = Both || !(Style & TBS_TOP);
  TsSkinManager* M = SkinData->SkinManager();
  const int Index = M->FindMaskInherited(M->FindSectionIndex("TRACKBAR"), Vertical ? "TICKVERT" : "TICKHORZ");
  const bool HasImage = M->MaskIndexInRange(Index);
  TvkBgCacheRef Own;
  InitBgInfo(Cache, 0, 0, Own);
  const int ChannelLow = Vertical ? Channel.Left : Channel.Top;
  const int ChannelHigh = Vertical ? Channel.Right : Channel.Bottom;
  for (int Side = 0; Side < 2; ++Side) {
    if ((Side == 0 && !Before) || (Side == 1 && !After)) continue;
    const int Across = Side == 0 ? ChannelLow - Gap - TickSize : ChannelHigh + Gap;
    for (int At : Ticks) {
      if (HasImage) {
        const TsMaskData& Mask = M->ma()[Index];
        const TPoint P = Vertical ? TPoint(Across, At - Mask.Height) : TPoint(At - Mask.Width, Across);
        DrawSkinGlyph32(Cache, P, Pressed ? 1 : 0, Own, Mask, 1);
      } else {
        TRect R = Vertical ? TRect(Across, At, Across + TickSize, At + 2) : TRect(At, Across, At + 2, Across + TickSize);
        int Width = 1;
        DrawBevelBorder(Cache->Canvas()->Handle(), R, 0xFFFFFF, Width,
                        static_cast<uint32_t>(ColorToRGB(clBtnShadow)));
      }
    }
  }
}

void TvkTrackWnd::PaintThumb(TBitmap* Cache, const TRect& Thumb, bool Vertical) {
  TsSkinManager* M = SkinData->SkinManager();
  const int Section = M->FindSectionIndex("TRACKBAR");
  int Index = Vertical ? M->FindMaskInherited(Section, "SLIDERVMASK") : -1;
  if (!M->MaskIndexInRange(Index)) Index = M->FindMaskInherited(Section, "SLIDERMASK");
  if (!M->MaskIndexInRange(Index) || Thumb.Width() <= 0 || Thumb.Height() <= 0) return;
  const TsMaskData& Mask = M->ma()[Index];
  const int State = Pressed ? 1 : 0;
  // With ticks on the top or left the image faces them: it is mirrored, what lies under it is not.
  const bool Mirrored = (GetWindowLongA(CtrlHandle, GWL_STYLE) & TBS_TOP) != 0;
  const bool Unscaled = (Vertical ? Thumb.Width() : Thumb.Height()) == kUnscaledThumb;
  const TPoint Centred(Thumb.Left + (Thumb.Width() - Mask.Width) / 2, Thumb.Top + (Thumb.Height() - Mask.Height) / 2);
  if (Unscaled && !Mirrored) {
    TvkBgCacheRef Own;
    InitBgInfo(Cache, 0, 0, Own);
    DrawSkinGlyph32(Cache, Centred, State, Own, Mask, 1);
    return;
  }
  // The image over what lies under the thumb (at the image's own size when unscaled, else shrunk to it).
  const TPoint At = Unscaled ? Centred : TPoint(Thumb.Left, Thumb.Top);
  const int UW = Unscaled ? Mask.Width : Thumb.Width(), UH = Unscaled ? Mask.Height : Thumb.Height();
  std::unique_ptr<TBitmap> Frame(NewBitmap32(Mask.Width, Mask.Height));
  SetStretchBltMode(Frame->Canvas()->Handle(), COLORONCOLOR);
  StretchBlt(Frame->Canvas()->Handle(), 0, 0, Mask.Width, Mask.Height, Cache->Canvas()->Handle(), At.X, At.Y, UW,
             UH, SRCCOPY);
  if (Mirrored) MirrorBitmap32(Frame.get(), Vertical);
  TvkBgCacheRef Own;
  InitBgInfo(Frame.get(), 0, 0, Own);
  DrawSkinGlyph32(Frame.get(), TPoint(0, 0), State, Own, Mask, 1);
  if (Mirrored) MirrorBitmap32(Frame.get(), Vertical);
  if (Unscaled) {
    BitBlt(Cache->Canvas()->Handle(), At.X, At.Y, UW, UH, Frame->Canvas()->Handle(), 0, 0, SRCCOPY);
    return;
  }
  std::unique_ptr<TBitmap> Scaled(NewBitmap32(0, 0));
  ResampleBitmap32(Frame.get(), Scaled.get(), Thumb.Width(), kThumbFilter, Thumb.Height());
  BitBlt(Cache->Canvas()->Handle(), Thumb.Left, Thumb.Top, Thumb.Width(), Thumb.Height(), Scaled->Canvas()->Handle(),
         0, 0, SRCCOPY);
}
