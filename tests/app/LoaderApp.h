#pragma once
// The loader as the program starts it (units, application, both forms from their stored
// descriptions), for tests that drive the real forms. Message boxes are read and closed by a
// ModalCloser; beeps, tones and sleeps are recorded through the platform table.
#include "app/LoaderUnits.h"
#include "app/Main.h"
#include "app/Unit1.h"

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "framework/Units.h"
#include "tests/support/MessagePump.h"
#include "tests/support/WindowProbe.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class TsCommonData;

struct LoaderApp {
  // What the operator heard: "beep:<type>" and "tone:<freq>/<ms>", in order.
  std::vector<std::string> sounds;
  std::unique_ptr<testing_support::ModalCloser> closer;

  // recordSounds: beeps are recorded, not played.
  explicit LoaderApp(bool recordSounds = true) {
    if (recordSounds) {
      Platform().MessageBeep = [this](UINT type) {
        sounds.push_back("beep:" + std::to_string(type));
        return TRUE;
      };
      Platform().Beep = [this](DWORD f, DWORD d) {
        sounds.push_back("tone:" + std::to_string(f) + "/" + std::to_string(d));
        return TRUE;
      };
    }
    closer = std::make_unique<testing_support::ModalCloser>();
    closer->OnFound = [this](const testing_support::FoundWindow& w) { texts.push_back(MessageText(w)); };
    RegisterLoaderUnits();
    InitializeUnits();
    Application->Initialize();
    Application->SetTitle("KRL Bootloader");
    Application->CreateForm(MainForm);
    Application->CreateForm(FormHelp);
    MainForm->Show();
    testing_support::PumpPending();
  }
  ~LoaderApp() {
    testing_support::PumpPending();
    // The closer stays until the forms are gone: closing a port whose device went away is reported, in
    // the program's own box.
    Platform().ExceptionSink = nullptr;
    FinalizeUnits();
    closer.reset();
    ResetPlatform();
  }

  // The texts of the boxes closed so far, in order.
  std::vector<std::string> Messages() const { return texts; }
  bool SawMessageContaining(const std::string& part) const {
    for (const std::string& t : texts)
      if (t.find(part) != std::string::npos) return true;
    return false;
  }
  // The message of a box: the labels of the framework's message form (they have no window of
  // their own), else the captions of the system box's child windows.
  static std::string MessageText(const testing_support::FoundWindow& w);
  std::vector<std::string> texts;
  TBootloaderSession& Session() { return MainForm->Session(); }
  // Presses a key on the main form as the keyboard would (the form previews keys); an exception
  // goes to the application's handler, as from the message loop.
  void PressKey(WORD key, bool ctrl, bool shift = false);
  // Sends the key to the window that has the focus (a combo box, say) as the keyboard does, with
  // Ctrl and Shift reported held; the form's key preview must see it there too.
  // Messages are dispatched until `done` holds (at most ten seconds).
  void PressKeyInFocus(TWinControl* focus, WORD key, bool ctrl, bool shift, const std::function<bool()>& done);
  // Clicks a button as the mouse would.
  void Click(TControl* button);
  // A left-button press and release over the middle of `control`, queued for the window the system would give
  // them there (hidden and disabled windows are passed over, as they are for the mouse; a push button's window
  // gets its click notification instead): handled at the next pump, also at one inside a running operation.
  void QueueClick(TControl* control);
  // A key queued for the main form's focused control (the form itself when none has the focus); Ctrl and Shift
  // read as held from now on.
  void QueueKey(WORD key, bool ctrl, bool shift = false);
  // Handles what is queued as the program's message loop does: a queued click runs its handler to the end.
  void Dispatch() { Application->ProcessMessages(); }
};

// A test of the loader as the program starts it.
struct LoaderTest : testing::Test {
  LoaderApp app;
};

// The control's WM_PRINT equals its cached face, pixel for pixel, where no child of it lies (graphic children
// are painted over the face, windowed ones paint themselves).
void ExpectPrintsItsCache(TWinControl* C, TsCommonData* D);
// A pixel of a control's cached face (0x00RRGGBB).
uint32_t CacheRgb(TsCommonData* D, int X, int Y);

// Answers the open-file dialog with `path` (a cancel when empty), counting the times it was asked and
// keeping the filter it was given.
struct DialogAnswer {
  explicit DialogAnswer(std::string path);
  std::string path, filter;
  int asked = 0;
};
