// Time per frame of the engine's animations under Wine: one state-fade frame of a 100 x 30 control (goal:
// well under the 12 ms between frames, aim below 1 ms), and one skin-change frame of a control the size of
// the main form (302 x 131) on each path: the output window's mix and blit, and the layered form's frame.
#include <windows.h>

#include <cstdio>
#include <functional>

#include "framework/Forms.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkFormAnimation.h"
#include "skin/core/vkThdTimer.h"
#include "skin/core/vkntTypes.h"
#include "skin/graphics/ToolkitStartup.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkPixelOps.h"
#include "tools/bench/BenchTiming.h"

namespace {

TBitmap* Filled(int W, int H, uint32_t Color) {
  TBitmap* B = NewBitmap32(W, H);
  FillRect32(B, TRect{0, 0, W, H}, Color, 255);
  return B;
}

// A windowed control whose skin state has a cache, as a skinned button keeps it.
class TBenchControl : public TCustomControl {
public:
  explicit TBenchControl(TComponent* AOwner) : TCustomControl(AOwner), Data(new TsCommonData(this, true)) {}
  ~TBenchControl() override { delete Data; }
  TsCommonData* Data;
};

}  // namespace

int main() {
  InitializeForms();
  ToolkitStartup();
  TForm* Form = TForm::CreateNew(Application);
  Form->SetBounds(50, 50, 320, 160);
  Form->ShowNoActivate();

  auto* Button = new TBenchControl(Form);
  Button->SetParent(Form);
  Button->SetBounds(10, 10, 100, 30);
  Button->HandleNeeded();
  TsCommonData* D = Button->Data;
  D->CacheBmp->SetSize(100, 30);
  auto* T = new TvkThreadedTimer(Button, true);
  D->AnimTimer = T;
  T->SkinData = D;
  T->BeforeBmp = Filled(100, 30, 0x336699);
  T->AfterBmp = Filled(100, 30, 0x99CC33);
  T->Mode = fmEnter;
  T->StepCount = 6;
  T->StepSize = 42.5;
  Measure("state fade frame, 100 x 30", [&] {
    T->Level = 100;
    CrossFadeStep(D, 1);
  });

  TBitmap* Old = Filled(302, 131, 0x204060);
  TBitmap* New = Filled(302, 131, 0xC0A080);
  TBitmap* Frame = NewBitmap32(302, 131);
  HDC WinDC = GetWindowDC(Form->Handle());
  int Weight = 255;
  Measure("skin change frame, output window, 302 x 131", [&] {
    MixBitmapsByWeight(Frame, Old, New, nullptr, Weight);
    BitBlt(WinDC, 0, 0, 302, 131, Frame->Canvas()->Handle(), 0, 0, SRCCOPY);
    Weight = Weight > 30 ? Weight - 25 : 255;
  });
  ReleaseDC(Form->Handle(), WinDC);

  TvkGlowForm* Layered = Create<TvkGlowForm>(Application);
  Layered->SetBounds(60, 60, 302, 131);
  SetWindowLongA(Layered->Handle(), GWL_EXSTYLE, GetWindowLongA(Layered->Handle(), GWL_EXSTYLE) | WS_EX_LAYERED);
  ShowWindow(Layered->Handle(), SW_SHOWNOACTIVATE);
  HDC Screen = GetDC(nullptr);
  TvkAnimGeometry G = ShowGeometry(atAero, 302, 131, 10);
  int Alpha = 0;
  Measure("skin change frame, layered form (aero), 302 x 131", [&] {
    if (G.Left < 0) G = ShowGeometry(atAero, 302, 131, 10);
    DrawShowFrame(atAero, G, Frame, New);
    SIZE Size{302, 131};
    POINT Src{0, 0};
    BLENDFUNCTION Blend{AC_SRC_OVER, 0, static_cast<BYTE>(Alpha), AC_SRC_ALPHA};
    UpdateLayeredWindow(Layered->Handle(), Screen, nullptr, &Size, Frame->Canvas()->Handle(), &Src, 0x1FFFFFFF,
                        &Blend, ULW_ALPHA);
    Alpha = (Alpha + 25) % 256;
  });
  ReleaseDC(nullptr, Screen);

  Layered->Free();
  for (TBitmap* B : {Old, New, Frame}) B->Free();
  Form->Free();
  ToolkitShutdown();
  return 0;
}
