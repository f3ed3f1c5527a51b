// A skinned form with its extended border window (SOLID, extended borders on), shared by the border window's
// tests: the border window's own coordinates, its hit test, and messages sent to it at its own points.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "FormTestSupport.h"
#include "skin/forms/vkBorderForm.h"
#include "skin/core/vkntTypes.h"
#include "tests/support/LayeredRecorder.h"
#include "tests/support/MessagePump.h"

namespace form_test {

using testing_support::LayeredRecorder;

struct TBorder {
  ManagerPtr M = CarriedManager();
  LayeredRecorder Rec;
  Owned<TForm> F;
  TsSkinProvider* P;
  TRect Mg;
  // The system commands that reached the form's own method; kept from the system while KeepCommands is set.
  std::vector<WPARAM> Commands;
  bool KeepCommands = false;
  TBorder() {
    M->SetExtendedBorders(true);
    Mg = M->ExtBorderMargins();
    F.reset(NewForm(300, 200));
    F->SetBounds(200, 150, 300, 200);
    // under the provider, where its own system commands arrive
    F->WindowProc = [this, Own = F->WindowProc](TMessage& Msg) {
      if (Msg.Msg == WM_SYSCOMMAND && KeepCommands) {
        Commands.push_back(Msg.WParam & 0xFFF0);
        return;
      }
      Own(Msg);
    };
    P = Create<TsSkinProvider>(F.get());
    F->Show();
    testing_support::PumpPending();  // shown and painted
  }
  TvkBorderForm* B() { return P->BorderForm(); }
  // The border window's picture rebuilt from a fresh frame cache.
  void Update() {
    P->SkinData()->CacheDirty = true;
    B()->UpdateBorderWindow(true, 255);
  }
  HWND L() { return B()->BorderWindow->Handle(); }
  RECT LR() { return WindowRectOf(L()); }
  int W() { return LR().right - LR().left; }
  int H() { return LR().bottom - LR().top; }
  // A screen point of the border window at (X, Y) of its own.
  POINT At(int X, int Y) {
    const RECT R = LR();
    return POINT{R.left + X, R.top + Y};
  }
  int Hit(int X, int Y) { return B()->HitTest(At(X, Y)); }
  LRESULT Send(UINT Msg, int X, int Y, WPARAM WParam = HTOBJECT) {
    const POINT S = At(X, Y);
    return SendMessageA(L(), Msg, WParam, MAKELPARAM(S.x, S.y));
  }
  LRESULT Send(UINT Msg, POINT Own) { return Send(Msg, Own.x, Own.y); }
};

inline uint32_t Premultiplied(uint32_t P) {
  const uint32_t A = P >> 24;
  auto C = [&](int Shift) { return (((P >> Shift) & 0xFF) * A >> 8) << Shift; };
  return (A << 24) | C(16) | C(8) | C(0);
}

}  // namespace form_test
