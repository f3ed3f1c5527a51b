#pragma once
// Shared set-up of the user-interface tests: the application exists, the platform seams are reset,
// and message boxes can be recorded instead of shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Forms.h"
#include "framework/Platform.h"

class UiTest : public testing::Test {
protected:
  void SetUp() override {
    InitializeForms();
    ResetPlatform();
  }
  void TearDown() override { ResetPlatform(); }

  // Every box of every path goes to `boxes` (answered with `answer`).
  void RecordBoxes(int answer = IDOK) {
    Platform().MessageBoxSink = [this, answer](const TMessageBoxRequest& r) {
      boxes.push_back(r);
      return answer;
    };
  }
  // The cursor as the framework sees it.
  void PlaceCursor(POINT p) {
    cursor = p;
    Platform().GetCursorPos = [this](POINT* out) {
      *out = cursor;
      return TRUE;
    };
  }

  std::vector<TMessageBoxRequest> boxes;
  POINT cursor{0, 0};
};

// A form built in code (no stored description).
inline TForm* NewForm(int clientW = 300, int clientH = 200) {
  TForm* f = TForm::CreateNew(Application);
  f->SetBorderStyle(bsSingle);
  f->SetClientWidth(clientW);
  f->SetClientHeight(clientH);
  return f;
}

inline std::string WindowClassOf(HWND h) {
  char name[256] = {};
  GetClassNameA(h, name, sizeof name);
  return name;
}
