#include "tests/support/RealPointer.h"

#include <cstdio>
#include <stdexcept>
#include <string>

#include "tests/support/HostProgram.h"
#include "tests/support/MessagePump.h"

namespace testing_support {

namespace {

// The pointer helper of this test process, started at the first use, ended with the process.
HostProgram& Helper() {
  static HostProgram Program("real pointer", KRL_POINTER_PYTHON, KRL_POINTER_SCRIPT, "");
  return Program;
}

void Command(const std::string& Line) {
  Helper().Send(Line);
  const std::string Answer = Helper().ReadLine(5000);
  if (Answer != "OK") Helper().Fail("\"" + Line + "\": " + Answer);
}

// How long a person's click holds the button down.
constexpr unsigned kClickHoldMs = 80;

POINT Cursor() {
  POINT P{};
  GetCursorPos(&P);
  return P;
}

}  // namespace

bool MovePointer(POINT Screen) {
  Command("move " + std::to_string(Screen.x) + " " + std::to_string(Screen.y));
  return PumpUntil([&] { return Cursor().x == Screen.x && Cursor().y == Screen.y; }, 1000);
}

void PressPointer(bool Down) {
  Command(Down ? "press" : "release");
  if (!PumpUntil([&] { return (GetAsyncKeyState(VK_LBUTTON) < 0) == Down; }, 1000))
    Helper().Fail(std::string("the system did not see the button ") + (Down ? "pressed" : "released"));
}

void QueuePointerMove(POINT Screen) { Command("move " + std::to_string(Screen.x) + " " + std::to_string(Screen.y)); }

void QueuePointerButton(bool Down) { Command(Down ? "press" : "release"); }

void ClickPointer() {
  PressPointer(true);
  RestPointer(kClickHoldMs);
  PressPointer(false);
}

unsigned HoverTime() {
  UINT Ms = 0;
  SystemParametersInfoA(SPI_GETMOUSEHOVERTIME, 0, &Ms, 0);
  return Ms;
}

void RestPointer(unsigned Ms) {
  PumpUntil([] { return false; }, Ms);
}

uint32_t ScreenPixel(POINT Screen) {
  HDC DC = GetDC(nullptr);
  const COLORREF C = GetPixel(DC, Screen.x, Screen.y);
  ReleaseDC(nullptr, DC);
  return (GetRValue(C) << 16) | (GetGValue(C) << 8) | GetBValue(C);
}

PointerParking::PointerParking() : FWas(Cursor()) {}

PointerParking::~PointerParking() {
  try {
    MovePointer(FWas);
  } catch (const std::exception& E) {
    std::fprintf(stderr, "the pointer was not put back: %s\n", E.what());
  }
}

}  // namespace testing_support
