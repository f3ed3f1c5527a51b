// Takes the loader's pictures from the screen: the main window, the main window with the pointer resting on its
// close button for a second, the main window in the service view, the About window, the message window after
// Ctrl+R and the main window's system menu with its first item selected. Run in the same Wine prefix and display
// as the loader:
//
//   krl_shots.exe OUT_FOLDER [--quit PORT]
//
// It waits for the window of class "TMainForm", asks for the service view with Ctrl+Shift+E, for the About window
// with F1, for the message window with Ctrl+R and for the system menu with Alt+Space then Down. Keys go through
// SendInput with the program in the foreground; when they do not arrive (without a window manager the keyboard
// does not always reach the program) they are posted to the program's queue with the modifiers in its key state,
// the system menu is first tried with a right click on the caption, and the service view and About window are
// reached by resizing the window and clicking the About button. The pointer is moved through SendInput, from the
// client area on to the close button, which the window's own hit test finds on its caption. Each window's
// rectangle is copied from the screen, the windows with a frame over a backdrop of #00FF00 filling what their
// region leaves out, into OUT_FOLDER\main.png, hover.png, service.png, about.png, message.png and sysmenu.png.
// Printed: first the
// system's colours the skinned windows must not show ("btnface #RRGGBB"); then per picture one line with the
// file and where the window's client area lies in it (x y width height), followed by "control CLASS x0 y0 x1 y1
// TEXT" for each child window (client coordinates) and "keys HOW" (keyboard, posted, click, resized) where keys
// were needed. With --quit the loader then writes to PORT (chosen in its port box, its write button clicked), the
// message that ends the write is closed, and the loader is closed: it must end within 2 s of its main window closing
// ("loader ended N ms after its main window closed"). Exit code 0 when all pictures were taken and all that held.
#include <windows.h>

#include <png.h>

#include "tools/shots/shots_input.h"

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kServiceHeight = 340;
// The About button's centre in the main window's client area (its panel at 7,8, the button at 246,20, 34 x 34).
constexpr POINT kAboutButton{7 + 246 + 17, 8 + 20 + 17};
constexpr POINT kWriteButton{7 + 168 + 33, 8 + 4 + 33};

struct Picture {
  int Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;  // 0x00RRGGBB, rows from the top
  bool operator==(const Picture& o) const { return Width == o.Width && Height == o.Height && Pixels == o.Pixels; }
};

Picture Grab(HWND Wnd) {
  Picture P;
  RECT R{};
  if (!GetWindowRect(Wnd, &R)) return P;
  P.Width = R.right - R.left;
  P.Height = R.bottom - R.top;
  if (P.Width <= 0 || P.Height <= 0) return Picture{};
  BITMAPINFO Bi{};
  Bi.bmiHeader.biSize = sizeof Bi.bmiHeader;
  Bi.bmiHeader.biWidth = P.Width;
  Bi.bmiHeader.biHeight = -P.Height;
  Bi.bmiHeader.biPlanes = 1;
  Bi.bmiHeader.biBitCount = 32;
  HDC Screen = GetDC(nullptr);
  void* Bits = nullptr;
  HBITMAP Dib = CreateDIBSection(Screen, &Bi, DIB_RGB_COLORS, &Bits, nullptr, 0);
  HDC Mem = CreateCompatibleDC(Screen);
  HGDIOBJ Old = SelectObject(Mem, Dib);
  BitBlt(Mem, 0, 0, P.Width, P.Height, Screen, R.left, R.top, SRCCOPY);
  GdiFlush();
  const auto* Src = static_cast<const uint32_t*>(Bits);
  P.Pixels.assign(Src, Src + static_cast<size_t>(P.Width) * P.Height);
  for (uint32_t& Px : P.Pixels) Px &= 0xFFFFFF;
  SelectObject(Mem, Old);
  DeleteDC(Mem);
  DeleteObject(Dib);
  ReleaseDC(nullptr, Screen);
  return P;
}

bool WritePng(const std::string& Path, const Picture& P) {
  FILE* F = std::fopen(Path.c_str(), "wb");
  if (F == nullptr) return false;
  png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop Info = Png != nullptr ? png_create_info_struct(Png) : nullptr;
  if (Info == nullptr || setjmp(png_jmpbuf(Png))) {
    png_destroy_write_struct(&Png, &Info);
    std::fclose(F);
    return false;
  }
  png_init_io(Png, F);
  png_set_IHDR(Png, Info, P.Width, P.Height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(Png, Info);
  std::vector<png_byte> Row(static_cast<size_t>(P.Width) * 3);
  for (int y = 0; y < P.Height; ++y) {
    for (int x = 0; x < P.Width; ++x) {
      const uint32_t Px = P.Pixels[static_cast<size_t>(y) * P.Width + x];
      Row[3 * x] = static_cast<png_byte>(Px >> 16);
      Row[3 * x + 1] = static_cast<png_byte>(Px >> 8);
      Row[3 * x + 2] = static_cast<png_byte>(Px);
    }
    png_write_row(Png, Row.data());
  }
  png_write_end(Png, nullptr);
  png_destroy_write_struct(&Png, &Info);
  return std::fclose(F) == 0;
}

HWND VisibleWindowOfClass(const char* Class) {
  HWND W = FindWindowA(Class, nullptr);
  return W != nullptr && IsWindowVisible(W) ? W : nullptr;
}

// Two looks 300 ms apart that agree: the window has finished painting.
Picture Settled(HWND Wnd) {
  Picture Last = Grab(Wnd);
  for (int i = 0; i < 40; ++i) {
    Sleep(300);
    Picture Now = Grab(Wnd);
    if (Now == Last) return Now;
    Last = std::move(Now);
  }
  return Last;
}

// Child windows in the parent's client coordinates, so the check can find controls it has no description of.
BOOL CALLBACK PrintControl(HWND Child, LPARAM Parent) {
  if (!IsWindowVisible(Child) || GetParent(Child) != reinterpret_cast<HWND>(Parent)) return TRUE;
  char Class[64] = {}, Text[128] = {};
  GetClassNameA(Child, Class, sizeof Class);
  GetWindowTextA(Child, Text, sizeof Text);
  RECT R{};
  GetWindowRect(Child, &R);
  MapWindowPoints(nullptr, reinterpret_cast<HWND>(Parent), reinterpret_cast<POINT*>(&R), 2);
  std::printf("control %s %ld %ld %ld %ld %s\n", Class, R.left, R.top, R.right, R.bottom, Text);
  return TRUE;
}

COLORREF ScreenPixel(POINT At) {
  HDC Screen = GetDC(nullptr);
  const COLORREF C = GetPixel(Screen, At.x, At.y);
  ReleaseDC(nullptr, Screen);
  return C;
}

// A plain window of one colour (the check's #00FF00) right behind the taken window, a little larger: the
// corners the window's region cuts away show it instead of whatever happened to lie behind.
class Backdrop {
public:
  explicit Backdrop(HWND Behind) {
    static const ATOM Class = [] {
      WNDCLASSA C{};
      C.lpfnWndProc = DefWindowProcA;
      C.hInstance = GetModuleHandleA(nullptr);
      C.hbrBackground = CreateSolidBrush(RGB(0x00, 0xFF, 0x00));
      C.lpszClassName = "KrlShotsBackdrop";
      return RegisterClassA(&C);
    }();
    RECT R{};
    if (Behind == nullptr || !GetWindowRect(Behind, &R)) return;
    Wnd_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, MAKEINTATOM(Class), "", WS_POPUP, R.left - 8, R.top - 8,
                           R.right - R.left + 16, R.bottom - R.top + 16, nullptr, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
    if (Wnd_ == nullptr) return;
    // shown on top, then the taken window raised over it: placing the backdrop below another program's window
    // does not reach the display here.
    ShowWindow(Wnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(Wnd_);
    // The backdrop is this program's request to the display, the raise the loader's: the backdrop is seen on the
    // screen before the raise is asked, or on a loaded machine it may reach the display last and cover the window
    // for good. The window's middle, never of the backdrop's colour, then shows when the raise has arrived.
    const POINT Middle{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
    const auto Covered = [&] { return ScreenPixel(Middle) == RGB(0x00, 0xFF, 0x00); };
    if (!shots::WaitFor(Covered, 5000)) std::fprintf(stderr, "krl_shots: the backdrop does not show\n");
    SetWindowPos(Behind, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!shots::WaitFor([&] { return !Covered(); }, 10000))
      std::fprintf(stderr, "krl_shots: the window stays under its backdrop\n");
  }
  ~Backdrop() {
    if (Wnd_ != nullptr) DestroyWindow(Wnd_);
  }
  Backdrop(const Backdrop&) = delete;
  Backdrop& operator=(const Backdrop&) = delete;

private:
  HWND Wnd_ = nullptr;
};

bool Save(HWND Wnd, const std::string& Folder, const char* Name, const char* Keys = nullptr, bool OverBackdrop = true) {
  Backdrop Behind(OverBackdrop ? Wnd : nullptr);
  const Picture P = Settled(Wnd);
  const std::string Path = Folder + "\\" + Name;
  if (P.Pixels.empty() || !WritePng(Path, P)) {
    std::fprintf(stderr, "krl_shots: could not take %s\n", Name);
    return false;
  }
  RECT W{}, C{};
  GetWindowRect(Wnd, &W);
  GetClientRect(Wnd, &C);
  POINT Origin{0, 0};
  ClientToScreen(Wnd, &Origin);
  std::printf("%s %ld %ld %ld %ld\n", Path.c_str(), Origin.x - W.left, Origin.y - W.top, C.right, C.bottom);
  EnumChildWindows(Wnd, PrintControl, reinterpret_cast<LPARAM>(Wnd));
  if (Keys != nullptr) std::printf("keys %s\n", Keys);
  std::fflush(stdout);
  return true;
}

int WindowHeight(HWND Wnd) {
  RECT R{};
  GetWindowRect(Wnd, &R);
  return R.bottom - R.top;
}

void ClickButton(HWND Main, POINT Centre) {
  // The button has no window of its own: the click goes to the window under its centre.
  HWND Under = ChildWindowFromPointEx(Main, Centre, CWP_SKIPINVISIBLE);
  if (Under == nullptr) Under = Main;
  POINT P = Centre;
  MapWindowPoints(Main, Under, &P, 1);
  PostMessageA(Under, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(P.x, P.y));
  PostMessageA(Under, WM_LBUTTONUP, 0, MAKELPARAM(P.x, P.y));
}

// Keys through the keyboard, else through the program's queue; "" when neither showed Arrived.
const char* Deliver(HWND Target, const std::vector<WORD>& Keys, const std::function<bool()>& Arrived) {
  shots::SendKeys(Target, Keys);
  if (shots::WaitFor(Arrived, 3000)) return "keyboard";
  if (shots::PostKeys(Target, Keys, Arrived, 5000)) return "posted";
  return "";
}

// A point on the caption beside the title text and buttons, in screen coordinates.
POINT CaptionPoint(HWND Wnd) {
  RECT W{};
  GetWindowRect(Wnd, &W);
  POINT Client{0, 0};
  ClientToScreen(Wnd, &Client);
  return POINT{W.left + (W.right - W.left) * 2 / 3, (W.top + Client.y) / 2};
}

// The middle of the close button on a window's caption: the run of points along the caption's middle line, from
// the right edge inwards, that the window's hit test answers with HTCLOSE.
bool CloseButtonPoint(HWND Wnd, POINT& At) {
  RECT W{};
  GetWindowRect(Wnd, &W);
  const int Y = CaptionPoint(Wnd).y;
  int Right = -1;
  for (int X = W.right - 1; X > W.left; --X) {
    DWORD_PTR Hit = HTNOWHERE;
    SendMessageTimeoutA(Wnd, WM_NCHITTEST, 0, MAKELPARAM(X, Y), SMTO_ABORTIFHUNG, 1000, &Hit);
    if (Hit == HTCLOSE && Right < 0) Right = X;
    if (Hit != HTCLOSE && Right >= 0) {
      At = POINT{(X + 1 + Right) / 2, Y};
      return true;
    }
  }
  return false;
}

// The main window with the pointer come from its client area to rest on its close button for a second: the
// button's hot look. The backdrop goes behind first, so nothing is raised over the button while it is hot; the
// pointer then leaves the window and the button's look runs back out.
bool SaveHover(HWND Main, const std::string& Folder) {
  POINT Close{};
  if (!CloseButtonPoint(Main, Close)) {
    std::fprintf(stderr, "krl_shots: the main window's hit test shows no close button on its caption\n");
    return false;
  }
  Backdrop Behind(Main);
  POINT Client{0, 0};
  ClientToScreen(Main, &Client);
  shots::MovePointerTo(POINT{Client.x + 40, Client.y + 40});
  Sleep(200);
  shots::MovePointerTo(Close);
  Sleep(1000);
  const bool Ok = Save(Main, Folder, "hover.png", nullptr, false);
  shots::MovePointerTo(POINT{0, 0});
  Sleep(500);
  return Ok;
}

// Modal windows are closed so the main window takes keys again.
void Close(HWND Wnd, const char* Class) {
  PostMessageA(Wnd, WM_CLOSE, 0, 0);
  if (!shots::WaitFor([&] { return VisibleWindowOfClass(Class) == nullptr; }, 5000))
    std::fprintf(stderr, "krl_shots: the %s window did not close\n", Class);
}

// The system menu opened, its first item that can be chosen selected and pictured, then closed again.
bool SaveSystemMenu(HWND Main, const std::string& Folder) {
  HWND Menu = nullptr;
  auto Open = [&] { return (Menu = VisibleWindowOfClass("#32768")) != nullptr; };
  const char* How = Deliver(Main, {VK_MENU, VK_SPACE}, Open);
  if (*How == '\0') {
    // the keystroke did not arrive either way; a right click on the caption opens the same menu
    shots::RightClickAt(CaptionPoint(Main));
    How = shots::WaitFor(Open, 3000) ? "click" : "";
  }
  if (*How == '\0') {
    std::fprintf(stderr, "krl_shots: the system menu did not open\n");
    return false;
  }
  // Down twice: the first item, Restore, is disabled while the window is neither minimised nor maximised, and a
  // disabled item shows no selection; the second is the first the user can choose
  const Picture Before = Settled(Menu);
  auto Selected = [&] { return !(Grab(Menu) == Before); };
  const char* Down = "keyboard";
  shots::SendKeys(Main, {VK_DOWN});
  shots::SendKeys(Main, {VK_DOWN});
  if (!shots::WaitFor(Selected, 3000)) {
    shots::PostKeys(Main, {VK_DOWN}, [] { return true; }, 0);
    Down = shots::PostKeys(Main, {VK_DOWN}, Selected, 5000) ? "posted" : "";
  }
  bool Ok = *Down != '\0';
  if (!Ok) std::fprintf(stderr, "krl_shots: the down key selected nothing in the system menu\n");
  const std::string Keys = std::string(How) + " " + (Ok ? Down : "none");
  Ok = Save(Menu, Folder, "sysmenu.png", Keys.c_str(), false) && Ok;
  if (*Deliver(Main, {VK_ESCAPE}, [] { return VisibleWindowOfClass("#32768") == nullptr; }) == '\0') {
    std::fprintf(stderr, "krl_shots: the system menu did not close\n");
    Ok = false;
  }
  return Ok;
}

// The box of the loader's main window that lists Port (the port box), Port chosen in it; null when none lists it.
BOOL CALLBACK ChoosePortIn(HWND Child, LPARAM Port) {
  char Class[64] = {};
  GetClassNameA(Child, Class, sizeof Class);
  const LRESULT Index = std::string(Class) == "TsComboBox"
                            ? SendMessageA(Child, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), Port)
                            : CB_ERR;
  if (Index == CB_ERR) return TRUE;
  SendMessageA(Child, CB_SETCURSEL, static_cast<WPARAM>(Index), 0);
  SetLastError(0);
  return FALSE;
}

// A write, the message ending it closed, and the loader closed: nothing of it may keep it running once its main
// window is gone.
bool WriteAndQuit(HWND Main, const std::string& Port) {
  SetLastError(1);
  EnumChildWindows(Main, ChoosePortIn, reinterpret_cast<LPARAM>(Port.c_str()));
  if (GetLastError() != 0) {
    std::fprintf(stderr, "krl_shots: no port box lists %s\n", Port.c_str());
    return false;
  }
  ClickButton(Main, kWriteButton);
  HWND Message = nullptr;
  if (!shots::WaitFor([&] { return (Message = VisibleWindowOfClass("TMessageForm")) != nullptr; }, 120000)) {
    std::fprintf(stderr, "krl_shots: no message after the write\n");
    return false;
  }
  Close(Message, "TMessageForm");
  DWORD Pid = 0;
  GetWindowThreadProcessId(Main, &Pid);
  HANDLE Loader = OpenProcess(SYNCHRONIZE, FALSE, Pid);
  PostMessageA(Main, WM_CLOSE, 0, 0);
  if (Loader == nullptr || !shots::WaitFor([&] { return !IsWindow(Main); }, 10000)) {
    std::fprintf(stderr, "krl_shots: the main window did not close\n");
    return false;
  }
  const DWORD Closed = GetTickCount();
  const bool Ended = WaitForSingleObject(Loader, 2000) == WAIT_OBJECT_0;
  CloseHandle(Loader);
  if (!Ended) {
    std::fprintf(stderr, "krl_shots: the loader did not end within 2 s of its main window closing\n");
    return false;
  }
  const unsigned long Ms = GetTickCount() - Closed;
  std::printf("loader ended %lu ms after its main window closed\n", Ms);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: krl_shots OUT_FOLDER [--quit PORT]\n");
    return 2;
  }
  const std::string Folder = argv[1];
  const bool Quit = argc > 3 && std::string(argv[2]) == "--quit";
  CreateDirectoryA(Folder.c_str(), nullptr);
  using shots::WaitFor;

  HWND Main = nullptr;
  if (!WaitFor([&] { return (Main = VisibleWindowOfClass("TMainForm")) != nullptr; }, 30000)) {
    std::fprintf(stderr, "krl_shots: no main window\n");
    return 1;
  }
  // the system's own colours, which the skinned windows must not show
  for (const auto& [Name, Index] : {std::pair<const char*, int>{"btnface", COLOR_BTNFACE},
                                    {"activecaption", COLOR_ACTIVECAPTION}, {"activeborder", COLOR_ACTIVEBORDER},
                                    {"menu", COLOR_MENU}}) {
    const COLORREF C = GetSysColor(Index);
    std::printf("%s #%02X%02X%02X\n", Name, GetRValue(C), GetGValue(C), GetBValue(C));
  }
  bool Ok = Save(Main, Folder, "main.png");
  Ok = SaveHover(Main, Folder) && Ok;

  const char* How = Deliver(Main, {VK_CONTROL, VK_SHIFT, 'E'}, [&] { return WindowHeight(Main) == kServiceHeight; });
  if (*How == '\0') {
    RECT R{};
    GetWindowRect(Main, &R);
    SetWindowPos(Main, nullptr, 0, 0, R.right - R.left, kServiceHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    How = "resized";
  }
  Ok = Save(Main, Folder, "service.png", How) && Ok;

  HWND About = nullptr;
  How = Deliver(Main, {VK_F1}, [&] { return (About = VisibleWindowOfClass("TFormHelp")) != nullptr; });
  if (*How == '\0') {
    ClickButton(Main, kAboutButton);
    if (WaitFor([&] { return (About = VisibleWindowOfClass("TFormHelp")) != nullptr; }, 10000)) How = "click";
  }
  if (About == nullptr) {
    std::fprintf(stderr, "krl_shots: no About window\n");
    Ok = false;
  } else {
    Ok = Save(About, Folder, "about.png", How) && Ok;
    Close(About, "TFormHelp");
  }

  // the message the program shows once it has listed the ports again
  HWND Message = nullptr;
  How = Deliver(Main, {VK_CONTROL, 'R'}, [&] { return (Message = VisibleWindowOfClass("TMessageForm")) != nullptr; });
  if (Message == nullptr) {
    std::fprintf(stderr, "krl_shots: no message window after Ctrl+R\n");
    Ok = false;
  } else {
    Ok = Save(Message, Folder, "message.png", How) && Ok;
    Close(Message, "TMessageForm");
  }

  Ok = SaveSystemMenu(Main, Folder) && Ok;

  if (Quit) Ok = WriteAndQuit(Main, argv[3]) && Ok;
  return Ok ? 0 : 1;
}
