// Linked into every test program built on the framework: an exception that would end in the
// application's exception box (from a window procedure, a timer, a hook, a thread) fails the running
// test at once with its message, instead of blocking on a box until the watchdog stops the program.
// A test that checks the box itself clears Platform().ExceptionSink; ResetPlatform() puts the trap back.
#include <gtest/gtest.h>

#include <exception>

#include "framework/Platform.h"

namespace {

void FailRunningTest(const std::exception& e) {
  FAIL() << "exception handed to the application: " << e.what();
}

void InstallTrap() { Platform().ExceptionSink = FailRunningTest; }

[[maybe_unused]] const bool installed = [] {
  InstallTrap();
  AddResetHook(InstallTrap);
  return true;
}();

}  // namespace
