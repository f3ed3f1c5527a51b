// Takes the loader's three pictures from the screen: the main window, the main window in the service view and
// the About window. Run in the same Wine prefix and display as the loader:
//
//   krl_shots.exe OUT_FOLDER [--quit]
//
// It waits for the window of class "TMainForm", asks for the service view with Ctrl+Shift+E and for the About
// window with F1 (when the keyboard does not reach the program, which happens without a window manager, it
// resizes the main window to the service view's height and clicks the About button instead), and copies each
// window's rectangle from the screen into OUT_FOLDER\main.png, service.png and about.png. For every picture it
// prints one line: the file, then where the window's client area lies in it (x y width height); first lines
// give the system's button face, caption and border colours ("btnface #RRGGBB"). With --quit the
// About window and then the loader are closed at the end. Exit code 0 when all three pictures were taken.
#include <windows.h>

#include <png.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kServiceHeight = 340;
// The About button's centre in the main window's client area (its panel at 7,8, the button at 246,20, 34 x 34).
constexpr POINT kAboutButton{7 + 246 + 17, 8 + 20 + 17};

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

// Messages of the program are dispatched by the program; this tool only waits between looks.
template <class F> bool WaitFor(F Done, int Ms) {
  for (int Waited = 0; Waited <= Ms; Waited += 50) {
    if (Done()) return true;
    Sleep(50);
  }
  return false;
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

bool Save(HWND Wnd, const std::string& Folder, const char* Name) {
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
  std::fflush(stdout);
  return true;
}

void PressKeys(HWND Target, const std::vector<WORD>& Keys) {
  SetForegroundWindow(Target);
  SetFocus(Target);
  std::vector<INPUT> In;
  for (WORD K : Keys) {
    INPUT I{};
    I.type = INPUT_KEYBOARD;
    I.ki.wVk = K;
    In.push_back(I);
  }
  for (auto K = Keys.rbegin(); K != Keys.rend(); ++K) {
    INPUT I{};
    I.type = INPUT_KEYBOARD;
    I.ki.wVk = *K;
    I.ki.dwFlags = KEYEVENTF_KEYUP;
    In.push_back(I);
  }
  SendInput(static_cast<UINT>(In.size()), In.data(), sizeof(INPUT));
}

int WindowHeight(HWND Wnd) {
  RECT R{};
  GetWindowRect(Wnd, &R);
  return R.bottom - R.top;
}

void ClickAboutButton(HWND Main) {
  // The button has no window of its own: the click goes to the window under its centre.
  HWND Under = ChildWindowFromPointEx(Main, kAboutButton, CWP_SKIPINVISIBLE);
  if (Under == nullptr) Under = Main;
  POINT P = kAboutButton;
  MapWindowPoints(Main, Under, &P, 1);
  PostMessageA(Under, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(P.x, P.y));
  PostMessageA(Under, WM_LBUTTONUP, 0, MAKELPARAM(P.x, P.y));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: krl_shots OUT_FOLDER [--quit]\n");
    return 2;
  }
  const std::string Folder = argv[1];
  const bool Quit = argc > 2 && std::string(argv[2]) == "--quit";
  CreateDirectoryA(Folder.c_str(), nullptr);

  HWND Main = nullptr;
  if (!WaitFor([&] { return (Main = VisibleWindowOfClass("TMainForm")) != nullptr; }, 30000)) {
    std::fprintf(stderr, "krl_shots: no main window\n");
    return 1;
  }
  // the system's own colours, which the skinned windows must not show
  for (const auto& [Name, Index] : {std::pair<const char*, int>{"btnface", COLOR_BTNFACE},
                                    {"activecaption", COLOR_ACTIVECAPTION}, {"activeborder", COLOR_ACTIVEBORDER}}) {
    const COLORREF C = GetSysColor(Index);
    std::printf("%s #%02X%02X%02X\n", Name, GetRValue(C), GetGValue(C), GetBValue(C));
  }
  bool Ok = Save(Main, Folder, "main.png");

  PressKeys(Main, {VK_CONTROL, VK_SHIFT, 'E'});
  if (!WaitFor([&] { return WindowHeight(Main) == kServiceHeight; }, 2000)) {
    RECT R{};
    GetWindowRect(Main, &R);
    SetWindowPos(Main, nullptr, 0, 0, R.right - R.left, kServiceHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Ok = Save(Main, Folder, "service.png") && Ok;

  HWND About = nullptr;
  PressKeys(Main, {VK_F1});
  if (!WaitFor([&] { return (About = VisibleWindowOfClass("TFormHelp")) != nullptr; }, 2000)) {
    ClickAboutButton(Main);
    WaitFor([&] { return (About = VisibleWindowOfClass("TFormHelp")) != nullptr; }, 10000);
  }
  if (About == nullptr) {
    std::fprintf(stderr, "krl_shots: no About window\n");
    Ok = false;
  } else {
    Ok = Save(About, Folder, "about.png") && Ok;
  }

  if (Quit) {
    if (About != nullptr) PostMessageA(About, WM_CLOSE, 0, 0);
    WaitFor([&] { return VisibleWindowOfClass("TFormHelp") == nullptr; }, 5000);
    PostMessageA(Main, WM_CLOSE, 0, 0);
  }
  return Ok ? 0 : 1;
}
