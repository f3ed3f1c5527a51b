// Helpers of the form skinner's tests: the program's units started once per test process, the SOLID test skin
// on a manager, plain forms made in code, the provider's run-time state, and 32-bit DIBs of a window.
#pragma once
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/vkTitleBar.h"
#include "tests/support/Dib32.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SkinFolder.h"
#include "tests/support/Owned.h"

// The provider's run-time state as the tests set and read it.
struct TsSkinProviderAccess {
  static bool& FormActive(TsSkinProvider* P) { return P->FFormActive; }
  static uint32_t& State(TsSkinProvider* P) { return P->FFormState; }
  static bool& Pressed(TsSkinProvider* P) { return P->FPressed; }
  static TObject*& ScrollAdapter(TsSkinProvider* P) { return P->FScrollAdapter; }
  static void SetLoading(TsSkinProvider* P, bool On) { P->SetComponentStateItem(csLoading, On); }
  // The caption's glow kept for reuse (0 inactive, 1 active).
  static TBitmap* CaptionGlow(TsSkinProvider* P, int Active) { return P->FCaptionGlow[Active]; }
};

namespace form_test {

using testing_support::Owned;
using testing_support::PumpPending;
using testing_support::PumpUntil;

struct ManagerFree {
  void operator()(TsSkinManager* m) const { m->Free(); }
};
using ManagerPtr = std::unique_ptr<TsSkinManager, ManagerFree>;

using testing_support::CarriedSkinFolder;
// A manager with the named carried skin applied (the first manager made is the default one).
ManagerPtr CarriedManager(const std::string& Name = "SOLID");
// A form made in code, with a window, at (Left, Top) of W x H, the given border style, not shown.
TForm* NewForm(int W = 300, int H = 200, TFormBorderStyle Style = bsSizeable);
// A main menu with items of these captions given to the form; its first item.
TMenuItem* GiveMainMenu(TCustomForm* F, const std::vector<std::string>& Captions = {"&File"});
// An MDI main form at (20, 20) of 520 x 380 with a menu bar of one item ("&File"), known to the application (its
// children find it as their parent), not shown.
TForm* NewMDIMainForm();
// Pixel of a 32-bit bitmap as 0x00RRGGBB.
uint32_t CacheRgb(TBitmap* Bmp, int X, int Y);
// The frame cache rebuilt at once.
inline void RepaintFrame(TsSkinProvider* P) {
  P->SkinData()->CacheDirty = true;
  P->PaintFormFrame();
}
// The middle of a rectangle.
inline POINT Centre(const TRect& R) { return POINT{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
// A window's rectangle on the screen.
inline RECT WindowRectOf(HWND W) {
  RECT R{};
  GetWindowRect(W, &R);
  return R;
}
// The bounds of a window's region; empty when it has none.
RECT WindowRegionBox(HWND W);
bool HasWindowRegion(HWND W);
// Whether the window's point (X, Y) lies in its region (false when it has none).
bool InWindowRegion(HWND W, int X, int Y);

// The cursor the skinner reads: always the point Cursor holds (kept by the caller) or the point At.
inline void FollowCursor(const POINT& Cursor) {
  Platform().GetCursorPos = [&Cursor](POINT* Out) {
    *Out = Cursor;
    return TRUE;
  };
}
inline void PutCursor(POINT At) {
  Platform().GetCursorPos = [At](POINT* Out) {
    *Out = At;
    return TRUE;
  };
}
// A thread timer's procedure that ends the menu loop running.
void CALLBACK EndMenuTimer(HWND, UINT, UINT_PTR, DWORD);
// The library's command Cmd (with Low in its low word) performed by the form.
LRESULT SkinCommand(TCustomForm* F, WORD Cmd, LPARAM LParam = 0, WORD Low = 0);
// An item added to a title bar, W x H unless sized by itself.
TvkTitleBarItem* AddTitleItem(TsTitleBar* Bar, TvkBtnStyle Style, int W = 24, int H = 18);

// A form made by NewForm, skinned by a provider under a manager of the named carried skin; not shown.
struct TSkinnedForm {
  ManagerPtr M;
  Owned<TForm> F;
  TsSkinProvider* P;
  explicit TSkinnedForm(TFormBorderStyle Style = bsSizeable, int W = 300, int H = 200,
                        const std::string& Skin = "SOLID")
      : M(CarriedManager(Skin)), F(NewForm(W, H, Style)), P(Create<TsSkinProvider>(F.get())) {}
  // Shown, and what showing queued (the first paint) dispatched.
  void ShowPainted() {
    F->Show();
    PumpPending();
  }
  // The screen point of the window's own point (X, Y).
  POINT ScreenAt(int X, int Y) const {
    const RECT R = WindowRectOf(F->Handle());
    return POINT{R.left + X, R.top + Y};
  }
};

// Records the messages that reach the form's window method as it is now (a provider made later sits above it) and
// tells OnOwn of each. The record lives as long as the method that writes it, which may outlast the spy.
struct TSpy {
  struct TLog {
    std::vector<TMessage> Seen;
    std::function<void(TMessage&)> OnOwn;
  };
  std::shared_ptr<TLog> Log = std::make_shared<TLog>();
  std::vector<TMessage>& Seen = Log->Seen;
  std::function<void(TMessage&)>& OnOwn = Log->OnOwn;
  explicit TSpy(TForm* F) {
    F->WindowProc = [Log = Log, Own = F->WindowProc](TMessage& M) {
      Log->Seen.push_back(M);
      if (Log->OnOwn) Log->OnOwn(M);
      Own(M);
    };
  }
  bool Saw(UINT Msg) const {
    return std::any_of(Seen.begin(), Seen.end(), [Msg](const TMessage& M) { return M.Msg == Msg; });
  }
};

// A form made by NewForm under a provider of the SOLID skin, its own method spied on below the provider; not shown.
struct TSpied {
  ManagerPtr M = CarriedManager();
  Owned<TForm> F{NewForm(300, 200)};
  TSpy Spy{F.get()};
  TsSkinProvider* P = Create<TsSkinProvider>(F.get());
};

// A form of 500 x 200 whose title bar a provider shows, not shown; the cursor the skinner reads stays on Cursor (off
// the form unless moved).
struct TTitleBarForm {
  ManagerPtr M = CarriedManager();
  Owned<TForm> F{NewForm(500, 200)};
  TsTitleBar* Bar = Create<TsTitleBar>(F.get());
  TsSkinProvider* P = Create<TsSkinProvider>(F.get());
  POINT Cursor{-1000, -1000};
  TTitleBarForm() {
    P->SetTitleBar(Bar);
    FollowCursor(Cursor);
  }
  TvkTitleBarItem* Add(TvkBtnStyle Style, int W = 24, int H = 18) { return AddTitleItem(Bar, Style, W, H); }
  // The caption laid out and painted anew into the frame cache; the cache.
  TBitmap* Paint() {
    RepaintFrame(P);
    return P->SkinData()->CacheBmp;
  }
};

// A shown form of 300 x 200 with a main menu (File, its first item) under a provider, with a border window when
// Bordered; its frame painted.
struct TMenuForm {
  ManagerPtr M = CarriedManager();
  Owned<TForm> F{NewForm(300, 200)};
  TMenuItem* File = GiveMainMenu(F.get());
  TsSkinProvider* P = nullptr;
  explicit TMenuForm(bool Bordered = false) {
    M->SetExtendedBorders(Bordered);
    P = Create<TsSkinProvider>(F.get());
    F->Show();
    PumpPending();
    RepaintFrame(P);
  }
  // The first item's place in the cache (and on the window) from the system's own bar.
  TRect ItemRect() const {
    RECT IR{};
    GetMenuItemRect(F->Handle(), GetMenu(F->Handle()), 0, &IR);
    const RECT WR = WindowRectOf(F->Handle());
    return TRect(IR.left - WR.left, IR.top - WR.top, IR.right - WR.left, IR.bottom - WR.top);
  }
};

}  // namespace form_test
