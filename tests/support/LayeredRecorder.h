#pragma once
// Records every layered-window output (Xvfb has no compositor, and Wine reads layered attributes back as 0):
// for each UpdateLayeredWindow the window, position, size, constant alpha and a copy of the source pixels;
// for each SetLayeredWindowAttributes the window and alpha. The calls still reach the system. The platform
// is reset when the recorder goes.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/Platform.h"

namespace testing_support {

struct LayeredCall {
  enum Kind { Update, Attributes } kind = Update;
  HWND wnd = nullptr;
  bool hasPos = false;
  POINT pos{};
  SIZE size{};
  int alpha = -1;  // the constant alpha (blend or attributes)
  // Source pixels (top row first, 0xAARRGGBB), from the source DC's bitmap at the source point.
  std::vector<uint32_t> pixels;
  uint32_t Pixel(int x, int y) const { return pixels[static_cast<size_t>(y) * size.cx + x]; }
};

class LayeredRecorder {
public:
  LayeredRecorder() {
    Platform().UpdateLayeredWindow = [this](HWND wnd, HDC dst, POINT* pos, SIZE* size, HDC src, POINT* srcPos,
                                            COLORREF key, BLENDFUNCTION* blend, DWORD flags) {
      LayeredCall c;
      c.wnd = wnd;
      if (pos) c.pos = *pos, c.hasPos = true;
      if (size) c.size = *size;
      if (blend) c.alpha = blend->SourceConstantAlpha;
      if (src && size) c.pixels = Read(src, srcPos ? *srcPos : POINT{0, 0}, *size);
      calls.push_back(c);
      return ::UpdateLayeredWindow(wnd, dst, pos, size, src, srcPos, key, blend, flags);
    };
    Platform().SetLayeredWindowAttributes = [this](HWND wnd, COLORREF key, BYTE alpha, DWORD flags) {
      LayeredCall c;
      c.kind = LayeredCall::Attributes;
      c.wnd = wnd;
      c.alpha = alpha;
      calls.push_back(c);
      return ::SetLayeredWindowAttributes(wnd, key, alpha, flags);
    };
  }
  ~LayeredRecorder() { ResetPlatform(); }
  LayeredRecorder(const LayeredRecorder&) = delete;
  LayeredRecorder& operator=(const LayeredRecorder&) = delete;

  std::vector<LayeredCall> calls;
  // The calls for one window, in order.
  std::vector<LayeredCall> For(HWND wnd) const {
    std::vector<LayeredCall> out;
    for (const LayeredCall& c : calls)
      if (c.wnd == wnd) out.push_back(c);
    return out;
  }
  // The constant alphas of one window's updates.
  std::vector<int> Alphas(HWND wnd) const {
    std::vector<int> out;
    for (const LayeredCall& c : calls)
      if (c.wnd == wnd && c.kind == LayeredCall::Update) out.push_back(c.alpha);
    return out;
  }

private:
  static std::vector<uint32_t> Read(HDC src, POINT at, SIZE size) {
    std::vector<uint32_t> px(static_cast<size_t>(size.cx) * size.cy);
    HBITMAP bmp = static_cast<HBITMAP>(GetCurrentObject(src, OBJ_BITMAP));
    BITMAP info{};
    if (!bmp || !GetObjectA(bmp, sizeof info, &info) || !info.bmBits || info.bmBitsPixel != 32) return px;
    GdiFlush();
    DIBSECTION ds{};
    GetObjectA(bmp, sizeof ds, &ds);
    const bool topDown = ds.dsBmih.biHeight < 0;
    for (int y = 0; y < size.cy && at.y + y < info.bmHeight; ++y) {
      const int row = topDown ? at.y + y : info.bmHeight - 1 - (at.y + y);
      const auto* line = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(info.bmBits) +
                                                           static_cast<size_t>(row) * info.bmWidthBytes);
      for (int x = 0; x < size.cx && at.x + x < info.bmWidth; ++x)
        px[static_cast<size_t>(y) * size.cx + x] = line[at.x + x];
    }
    return px;
  }
};

}  // namespace testing_support
