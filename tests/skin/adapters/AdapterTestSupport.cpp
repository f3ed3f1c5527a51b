#include "AdapterTestSupport.h"

#include <algorithm>

#include "framework/SysUtils.h"
#include "tests/skin/core/engine_support.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SkinFolder.h"
#include "framework/Units.h"
#include "skin/adapters/vkAdapterUnits.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sVclUtils.h"
#include "skin/graphics/ToolkitStartup.h"
#include "skin/forms/sSkinProvider.h"

namespace adapter_test {

LRESULT RecordingBgColorAnswer = 0;

namespace {

LRESULT CALLBACK RecordingWndProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  Recorded().push_back({Wnd, Msg, W, L});
  if (Msg == kProbe) return 100;
  if (Msg == 0xA100 && HIWORD(W) == 0x15) return RecordingBgColorAnswer;
  return DefWindowProcA(Wnd, Msg, W, L);
}

ThemeRecorder* g_recorder = nullptr;
HRESULT WINAPI RecordTheme(HWND Wnd, LPCWSTR Name, LPCWSTR) {
  if (g_recorder != nullptr) g_recorder->Calls.push_back({Wnd, Name != nullptr ? Name : L"<nil>"});
  return S_OK;
}

// The adapters' unit runs for the whole program, as in the loader.
class AdapterUnits : public testing::Environment {
public:
  void SetUp() override {
    InitializeForms();
    ToolkitStartup();
    VclUtilsInitialize();
    SBUtilsInitialize();
    // The form skinner, then the thread hook and the walker that take over its entries.
    RegisterSkinDialogUnits();
    InitializeUnits();
  }
  void TearDown() override {
    FinalizeUnits();
    SBUtilsFinalize();
    VclUtilsFinalize();
    ToolkitShutdown();
  }
};
[[maybe_unused]] testing::Environment* const g_units = testing::AddGlobalTestEnvironment(new AdapterUnits);

}  // namespace

std::vector<TRecorded>& Recorded() {
  static std::vector<TRecorded> List;
  return List;
}

int CountRecorded(HWND Wnd, UINT Msg) {
  int N = 0;
  for (const TRecorded& R : Recorded()) N += R.Wnd == Wnd && R.Msg == Msg;
  return N;
}

WNDPROC RecordingProc() { return RecordingWndProc; }

const char* WindowClass(const char* Name, WNDPROC Proc, HBRUSH Background) {
  WNDCLASSA C{};
  if (GetClassInfoA(GetModuleHandleA(nullptr), Name, &C)) return Name;
  C.lpfnWndProc = Proc;
  C.hInstance = GetModuleHandleA(nullptr);
  C.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  C.hbrBackground = Background;
  C.lpszClassName = Name;
  EXPECT_NE(0, RegisterClassA(&C)) << Name;
  return Name;
}

const char* RecordingClass() {
  return WindowClass("KrlRecordingWnd", RecordingWndProc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}

HWND NewRecordingWindow(HWND Parent, DWORD Style, int X, int Y, int W, int H, const char* Text) {
  return NewWindow(RecordingClass(), Parent, Style, X, Y, W, H, Text);
}

HWND NewWindow(const char* Class, HWND Parent, DWORD Style, int X, int Y, int W, int H, const char* Text,
               DWORD ExStyle) {
  return CreateWindowExA(ExStyle, Class, Text, Style | (Parent ? WS_CHILD : WS_POPUP), X, Y, W, H, Parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

HWND NewHost(int W, int H) {
  const char* Class = WindowClass("KrlAdapterHost", DefWindowProcA, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  return NewWindow(Class, nullptr, WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, W, H);
}
TRect WindowRectOf(HWND Wnd) {
  RECT R{};
  GetWindowRect(Wnd, &R);
  return R;
}

TEXTMETRICA FontMetricsOf(HWND Wnd, HGDIOBJ Fallback) {
  HDC DC = GetDC(Wnd);
  HGDIOBJ Font = reinterpret_cast<HGDIOBJ>(SendMessageA(Wnd, WM_GETFONT, 0, 0));
  HGDIOBJ Old = SelectObject(DC, Font != nullptr ? Font : Fallback);
  TEXTMETRICA TM{};
  GetTextMetricsA(DC, &TM);
  SelectObject(DC, Old);
  ReleaseDC(Wnd, DC);
  return TM;
}

void FakeCursorAt(POINT P) {
  Platform().GetCursorPos = [P](POINT* Out) {
    *Out = P;
    return TRUE;
  };
}

void CollectBoxTexts(std::vector<std::string>& Texts) {
  Platform().ExceptionSink = nullptr;
  Platform().MessageBoxSink = [&Texts](const TMessageBoxRequest& R) {
    Texts.push_back(R.text);
    return IDOK;
  };
}

void CALLBACK EndMenuTimer(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

void FakeWindowsVersion(DWORD Major) {
  Platform().GetVersionExA = [Major](OSVERSIONINFOA* V) {
    V->dwMajorVersion = Major;
    return TRUE;
  };
}

TForm* NewForm(int X, int Y, int W, int H, int Tag, bool Show) {
  TForm* F = TForm::CreateNew(Application);
  F->SetBounds(X, Y, W, H);
  F->SetTag(Tag);
  if (Show) F->Show();
  return F;
}

TvkSkinParams SkinParams(const std::string& Section, TControl* Control) {
  TvkSkinParams P;
  P.SkinSection = Section;
  P.Control = Control;
  return P;
}

TsSkinProvider* SkinnerOf(TComponent* Owner) {
  for (int i = 0; i < Owner->ComponentCount(); ++i)
    if (auto* S = As<TsSkinProvider>(Owner->Components(i))) return S;
  return nullptr;
}

void ListOnly(TsSkinProvider* P, std::initializer_list<std::pair<int, const char*>> Lists) {
  for (int i = 0; i < kThirdPartyKinds; ++i) P->ThirdParty()->SetList(i, " ");
  for (const auto& [Kind, Names] : Lists) P->ThirdParty()->SetList(Kind, Names);
  P->LoadThirdPartyLists();
}

HBITMAP FlatBitmap(int W, int H, uint32_t Rgb_) {
  HDC Screen = GetDC(nullptr);
  HBITMAP B = CreateCompatibleBitmap(Screen, W, H);
  HDC Mem = CreateCompatibleDC(Screen);
  HGDIOBJ Old = SelectObject(Mem, B);
  HBRUSH Br = CreateSolidBrush(RGB(Rgb_ >> 16, (Rgb_ >> 8) & 0xFF, Rgb_ & 0xFF));
  RECT R{0, 0, W, H};
  FillRect(Mem, &R, Br);
  DeleteObject(Br);
  SelectObject(Mem, Old);
  DeleteDC(Mem);
  ReleaseDC(nullptr, Screen);
  return B;
}

HICON FlatIcon(int Size, uint32_t Rgb_) {
  HBITMAP Colour = FlatBitmap(Size, Size, Rgb_);
  HBITMAP Mask = CreateBitmap(Size, Size, 1, 1, nullptr);  // all zero: every pixel shows the colour
  ICONINFO I{TRUE, 0, 0, Mask, Colour};
  HICON Icon = CreateIconIndirect(&I);
  DeleteObject(Colour);
  DeleteObject(Mask);
  return Icon;
}

uint32_t PixelOf(TColor Colour) {
  const uint32_t V = static_cast<uint32_t>(ColorToRGB(Colour));
  return ((V & 0xFF) << 16) | (V & 0xFF00) | ((V >> 16) & 0xFF);
}

uint32_t DisabledBlend(uint32_t C, uint32_t Bg) {
  uint32_t R = 0;
  for (int S = 0; S < 24; S += 8) R |= ((((C >> S) & 0xFF) * 100 + ((Bg >> S) & 0xFF) * 155) >> 8) << S;
  return R;
}

ManagerPtr SolidManager() {
  ManagerPtr M(Create<TsSkinManager>(nullptr));
  M->SetSkinDirectory(testing_support::CarriedSkinFolder());
  M->SetSkinName("SOLID");
  EXPECT_TRUE(M->SkinData().Active) << "the SOLID skin did not load";
  EXPECT_EQ(TsSkinManager::DefaultManager(), M.get());
  return M;
}

ManagerPtr TextSkinManager(const std::string& Folder, const std::string& Sections,
                           const std::function<uint32_t(int, int)>& Pixel) {
  engine_test::WriteFileText(Folder + "Options.dat",
                             "[GLOBALINFO]\nVERSION=10.25\nMASTERBITMAP=MASTER.BMP\n" + Sections);
  engine_test::WriteFileBytes(Folder + "MASTER.BMP", engine_test::MakeBmp(64, 64, [&](int x, int y) {
                                if (x < 2 && y < 2) return 0xFF00FFu;
                                return Pixel ? Pixel(x, y) : 0x808080u;
                              }));
  ManagerPtr M(Create<TsSkinManager>(nullptr));
  const std::string Parent = Folder.substr(0, Folder.find_last_of('\\', Folder.size() - 2) + 1);
  M->SetSkinDirectory(Parent);
  M->SetSkinName(Folder.substr(Parent.size(), Folder.size() - Parent.size() - 1));
  EXPECT_TRUE(M->SkinData().Active) << "the text skin did not load";
  return M;
}

ManagerPtr TideManager() {
  ManagerPtr M(Create<TsSkinManager>(nullptr));
  M->SetSkinDirectory(testing_support::CarriedSkinFolder());
  M->SetSkinName("TIDE");
  EXPECT_TRUE(M->SkinData().Active) << "the TIDE skin did not load";
  return M;
}

ThemeRecorder::ThemeRecorder() {
  g_recorder = this;
  SetWindowThemeBinding().Replace(&RecordTheme);
}
ThemeRecorder::~ThemeRecorder() {
  g_recorder = nullptr;
  SetWindowThemeBinding().Reset();
}
int ThemeRecorder::CountFor(HWND Wnd) const {
  int N = 0;
  for (const TThemeCall& C : Calls) N += C.Wnd == Wnd;
  return N;
}

void PrintWindowTo(HWND Wnd, testing_support::Dib32& Dib) {
  SendMessageA(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(Dib.DC()), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
}

namespace {
// A top-down DIB of the window's size, filled with Fill.
std::unique_ptr<testing_support::Dib32> WindowSized(HWND Wnd, uint32_t Fill) {
  const TRect R = WindowRectOf(Wnd);
  return std::make_unique<testing_support::Dib32>(R.Width(), R.Height(), Fill, true);
}
}  // namespace

std::unique_ptr<testing_support::Dib32> PrintedWindow(HWND Wnd, uint32_t Fill) {
  auto Dib = WindowSized(Wnd, Fill);
  PrintWindowTo(Wnd, *Dib);
  return Dib;
}

namespace {
// Where another test program's window lies over ours, our paint never reaches the screen: a test reading it runs
// alone, which "RealScreen" (or the real pointer's mark) in its suite's name asks of the test run.
void ExpectRunningAlone() {
  const testing::TestInfo* T = testing::UnitTest::GetInstance()->current_test_info();
  const std::string Suite = T != nullptr ? T->test_suite_name() : "";
  if (Suite.find("RealScreen") == std::string::npos && Suite.find("RealPointer") == std::string::npos)
    ADD_FAILURE() << "the test reads the screen beside other test programs: name its suite *RealScreen";
}
}  // namespace

void CopyWindowDC(HWND Wnd, testing_support::Dib32& Dib) {
  ExpectRunningAlone();
  HDC DC = GetWindowDC(Wnd);
  BitBlt(Dib.DC(), 0, 0, Dib.Width(), Dib.Height(), DC, 0, 0, SRCCOPY);
  ReleaseDC(Wnd, DC);
}

std::unique_ptr<testing_support::Dib32> WindowDCOf(HWND Wnd) {
  auto Dib = WindowSized(Wnd, 0);
  CopyWindowDC(Wnd, *Dib);
  return Dib;
}

namespace {
BOOL CALLBACK CountOne(HWND, LPARAM L) {
  ++*reinterpret_cast<int*>(L);
  return TRUE;
}
BOOL CALLBACK CountWindow(HWND W, LPARAM L) {
  ++*reinterpret_cast<int*>(L);
  EnumChildWindows(W, CountOne, L);  // every descendant
  return TRUE;
}
}  // namespace

int ThreadWindowCount() {
  int N = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&N));
  return N;
}

void SettlePaints(HWND Wnd) {
  testing_support::PumpPending();
  UpdateWindow(Wnd);
  testing_support::PumpPending();
}

std::unique_ptr<testing_support::Dib32> ScreenOf(HWND Wnd) {
  SettlePaints(GetAncestor(Wnd, GA_ROOT));
  return WindowDCOf(Wnd);
}

namespace {

// Calls Visit for each pixel of D inside R.
void ForEachPixel(const testing_support::Dib32& D, const TRect& R,
                  const std::function<void(int, int, uint32_t)>& Visit) {
  for (int y = std::max(0, R.Top); y < std::min(D.Height(), R.Bottom); ++y)
    for (int x = std::max(0, R.Left); x < std::min(D.Width(), R.Right); ++x) Visit(x, y, Rgb(D.Px(x, y)));
}

}  // namespace

int CountWhere(const testing_support::Dib32& D, const std::function<bool(uint32_t)>& Match, const TRect& R) {
  int N = 0;
  ForEachPixel(D, R, [&](int, int, uint32_t P) { N += Match(P); });
  return N;
}

int CountRgb(const testing_support::Dib32& D, uint32_t Colour, const TRect& R) {
  return CountWhere(D, [Colour](uint32_t P) { return P == Colour; }, R);
}

TInk InkBounds(const testing_support::Dib32& D, const std::function<bool(uint32_t)>& Match, const TRect& R) {
  TInk I{D.Width(), D.Height(), -1, -1};
  ForEachPixel(D, R, [&](int x, int y, uint32_t P) {
    if (!Match(P)) return;
    I.Left = std::min(I.Left, x);
    I.Top = std::min(I.Top, y);
    I.Right = std::max(I.Right, x);
    I.Bottom = std::max(I.Bottom, y);
  });
  return I;
}

void ExpectPixels(const testing_support::Dib32& D, std::initializer_list<TProbe> Probes) {
  for (const TProbe& P : Probes)
    EXPECT_EQ(P.Colour, D.Rgb(P.X, P.Y)) << std::hex << "the pixel at " << std::dec << P.X << "," << P.Y;
}

int CountDiffering(const testing_support::Dib32& A, const testing_support::Dib32& B) {
  int N = 0;
  for (int y = 0; y < A.Height(); ++y)
    for (int x = 0; x < A.Width(); ++x) N += Rgb(A.Px(x, y)) != Rgb(B.Px(x, y));
  return N;
}

void ExpectScreenFollows(HWND Wnd, const std::function<void()>& Change, const std::string& What) {
  RECT R{};
  GetWindowRect(Wnd, &R);
  const auto Before = ScreenOf(Wnd);
  Change();
  const auto After = ScreenOf(Wnd);
  testing_support::Dib32 Printed(R.right - R.left, R.bottom - R.top, 0, true);
  PrintWindowTo(Wnd, Printed);
  EXPECT_GT(CountDiffering(*Before, *After), 0) << What << ": nothing changed on screen";
  EXPECT_EQ(0, CountDiffering(Printed, *After)) << What << ": the screen differs from the window's own print";
}

IMPLEMENT_CLASS(TScrollingControl)

void TScrollingControl::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style |= WS_HSCROLL | WS_VSCROLL;
}

void AdapterTest::SetUp() {
  ResetPlatform();
  Recorded().clear();
  RecordingBgColorAnswer = 0;
}

void AdapterTest::TearDown() {
  for (HWND W : Tops)
    if (IsWindow(W)) DestroyWindow(W);
  Tops.clear();
  ResetPlatform();
  AdoptingDialogChildren = false;
}

}  // namespace adapter_test
