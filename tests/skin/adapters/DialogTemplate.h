// Parentless dialogs made from in-memory templates or shown as message boxes, for the dialog adapter's tests.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "AdapterTestSupport.h"
#include "skin/adapters/vkDialogWnd.h"
#include "skin/adapters/vkDials.h"
#include "tests/support/WindowProbe.h"

namespace {

INT_PTR CALLBACK NoDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// An in-memory dialog template: a parentless dialog with the given children, made by CreateDialogIndirectParamA.
struct TDlgItem {
  const wchar_t* Class;
  DWORD Style;
  short X, Y, W, H;
};

class TDlgTemplate {
public:
  TDlgTemplate(DWORD Style, std::initializer_list<TDlgItem> Items) {
    Bytes.reserve(4096);  // one block: spares the growth path gcc wrongly warns about
    DLGTEMPLATE T{};
    T.style = Style;
    T.cdit = static_cast<WORD>(Items.size());
    T.cx = 200;
    T.cy = 120;
    Put(&T, sizeof T);
    Word(0);  // no menu
    Word(0);  // the standard class
    Text(L"Dlg");
    for (const TDlgItem& I : Items) {
      Align();
      DLGITEMTEMPLATE D{};
      D.style = I.Style | WS_CHILD;
      D.x = I.X;
      D.y = I.Y;
      D.cx = I.W;
      D.cy = I.H;
      D.id = 100;
      Put(&D, sizeof D);
      Text(I.Class);
      Text(L"Item");
      Word(0);  // no creation data
    }
  }
  HWND Create(DLGPROC Proc = NoDlgProc) {
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<DLGTEMPLATE*>(Bytes.data()), nullptr,
                                      Proc, 0);
  }

private:
  void Put(const void* P, size_t N) {
    Bytes.insert(Bytes.end(), static_cast<const uint8_t*>(P), static_cast<const uint8_t*>(P) + N);
  }
  void Word(WORD W) { Put(&W, 2); }
  void Text(const wchar_t* S) {
    do Word(*S); while (*S++ != 0);
  }
  void Align() {
    while (Bytes.size() % 4 != 0) Bytes.push_back(0);
  }
  std::vector<uint8_t> Bytes;
};

constexpr DWORD kDlgStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

[[maybe_unused]] TvkDialogWnd* DialogAdapterOf(HWND Wnd) {
  TvkProvider* P = FindProviderByWnd(Wnd);
  return P != nullptr ? P->DialogWnd : nullptr;
}

// Shows a parentless message box; Look runs while it is up (adapters attached), then it is closed.
[[maybe_unused]] void WithMessageBox(UINT Type, const std::function<void(HWND)>& Look, const char* Text = "Hello") {
  testing_support::ModalCloser Closer("#32770", IDOK);
  bool Seen = false;
  Closer.OnFound = [&](const testing_support::FoundWindow& W) {
    if (Seen) return;
    Seen = true;
    Look(W.handle);
  };
  MessageBoxA(nullptr, Text, "Title", Type);
  EXPECT_TRUE(Seen) << "no message box was seen";
}

// A test of adopted dialogs.
class DialogFixture : public adapter_test::AdapterTest {
protected:
  // A shown one-button dialog of the style (made visible), adopted by the hook and painted once.
  TvkDialogWnd* ShowDialog(DWORD Style = kDlgStyle, DLGPROC Proc = NoDlgProc) {
    TDlgTemplate T(Style | WS_VISIBLE, {{L"BUTTON", WS_VISIBLE, 5, 5, 60, 12}});
    Dlg = Keep(T.Create(Proc));
    TvkDialogWnd* D = DialogAdapterOf(Dlg);
    EXPECT_NE(D, nullptr) << "the dialog was not adopted";
    if (D != nullptr) SendMessageA(Dlg, WM_NCPAINT, 1, 0);
    return D;
  }
  HWND Dlg = nullptr;
};

// The window's hit code at its own point (X, Y).
[[maybe_unused]] int HitAt(HWND W, int X, int Y) {
  const TRect R = adapter_test::WindowRectOf(W);
  return static_cast<int>(SendMessageA(W, WM_NCHITTEST, 0, MAKELPARAM(R.Left + X, R.Top + Y)));
}

// The dialog's Index-th child of a class (compared without case), in z order.
[[maybe_unused]] HWND ChildOfClass(HWND Dlg, const char* Class, int Index = 0) {
  for (HWND C = GetTopWindow(Dlg); C != nullptr; C = GetNextWindow(C, GW_HWNDNEXT)) {
    char Buf[64];
    GetClassNameA(C, Buf, sizeof Buf);
    if (lstrcmpiA(Buf, Class) == 0 && Index-- == 0) return C;
  }
  return nullptr;
}

}  // namespace
