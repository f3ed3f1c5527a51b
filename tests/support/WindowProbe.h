#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// A visible or hidden top-level window of the test's thread, as the test sees it.
struct FoundWindow {
  HWND handle = nullptr;
  std::string className;
  std::string title;
  std::string text;  // the captions of its child windows, joined by '\n'
};

// Top-level windows of the calling thread whose class and title match (empty = any), from the topmost down.
std::vector<FoundWindow> FindThreadWindows(const std::string& className = {}, const std::string& title = {});

// The captions of a window's descendants, in z-order, joined by '\n'.
std::string ReadChildTexts(HWND window);

// The window of the calling thread under a screen point, as the system would find it were no other program's window
// on the screen: for tests that place the cursor themselves, so that another test program's window cannot lie there.
HWND OwnWindowFromPoint(POINT at);
// The next window of this process up the z-order from the top-level window w (other test programs' windows lie
// between).
HWND OwnWindowAbove(HWND w);
// Top-level window upper lies somewhere above lower, read from one snapshot of the whole order (another program's
// window between may go at any time, which ends a walk from window to window early).
bool LiesAbove(HWND upper, HWND lower);

// Watches for modal windows the code under test opens (message boxes, dialogs) on the calling thread, from a
// thread timer of it, which any modal loop of that thread keeps dispatching. Each matching window is recorded and
// closed with the chosen command; nothing ever hangs a test.
class ModalCloser {
public:
  // className: "#32770" for system boxes, "TMessageForm" for the framework's; empty matches both.
  explicit ModalCloser(std::string className = {}, int command = IDOK, unsigned periodMs = 30);
  ~ModalCloser();
  ModalCloser(const ModalCloser&) = delete;
  ModalCloser& operator=(const ModalCloser&) = delete;

  const std::vector<FoundWindow>& Closed() const { return closed_; }
  // Runs before closing, e.g. to look at the window while it is up.
  std::function<void(const FoundWindow&)> OnFound;

private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);
  void Scan();
  std::string className_;
  int command_;
  UINT_PTR timer_ = 0;
  std::vector<FoundWindow> closed_;
  std::vector<HWND> pending_;
};

} // namespace testing_support
