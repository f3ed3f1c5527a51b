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

#include <memory>
#include <string>
#include <vector>

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
    closer.reset();
    FinalizeUnits();
    ResetPlatform();
  }

  // The texts of the boxes closed so far (their child captions joined by '\n').
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const auto& w : closer->Closed()) out.push_back(w.text);
    return out;
  }
  bool SawMessageContaining(const std::string& part) const {
    for (const auto& w : closer->Closed())
      if (w.text.find(part) != std::string::npos) return true;
    return false;
  }
  TBootloaderSession& Session() { return MainForm->Session(); }
  // Presses a key on the main form as the keyboard would (the form previews keys).
  void PressKey(WORD key, bool ctrl, bool shift = false);
};
