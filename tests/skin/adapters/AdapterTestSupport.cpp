#include "AdapterTestSupport.h"

#include "framework/SysUtils.h"
#include "tests/skin/core/engine_support.h"
#include "tests/support/MessagePump.h"
#include "framework/Units.h"
#include "skin/adapters/vkAdapterUnits.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sVclUtils.h"
#include "skin/graphics/ToolkitStartup.h"

namespace adapter_test {

LRESULT RecordingBgColorAnswer = 0;

namespace {

LRESULT CALLBACK RecordingWndProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  Recorded().push_back({Wnd, Msg, W, L});
  if (Msg == kProbe) return 100;
  if (Msg == 0xA100 && HIWORD(W) == 0x15) return RecordingBgColorAnswer;
  return DefWindowProcA(Wnd, Msg, W, L);
}

std::string SkinFolder() {
  char Buf[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, Buf, MAX_PATH);
  return ExtractFilePath(Buf) + "..\\..\\..\\tools\\skin\\";
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

const char* RecordingClass() {
  static bool Registered = false;
  if (!Registered) {
    WNDCLASSA C{};
    C.lpfnWndProc = RecordingWndProc;
    C.hInstance = GetModuleHandleA(nullptr);
    C.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    C.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    C.lpszClassName = "KrlRecordingWnd";
    RegisterClassA(&C);
    Registered = true;
  }
  return "KrlRecordingWnd";
}

HWND NewRecordingWindow(HWND Parent, DWORD Style, int X, int Y, int W, int H, const char* Text) {
  return CreateWindowExA(0, RecordingClass(), Text, Style | (Parent ? WS_CHILD : WS_POPUP), X, Y, W, H, Parent,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND NewHost(int W, int H) {
  static bool Registered = false;
  if (!Registered) {
    WNDCLASSA C{};
    C.lpfnWndProc = DefWindowProcA;
    C.hInstance = GetModuleHandleA(nullptr);
    C.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    C.lpszClassName = "KrlAdapterHost";
    RegisterClassA(&C);
    Registered = true;
  }
  HWND Wnd = CreateWindowExA(0, "KrlAdapterHost", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, W, H, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  return Wnd;
}

ManagerPtr SolidManager() {
  ManagerPtr M(Create<TsSkinManager>(nullptr));
  M->SetSkinDirectory(SkinFolder());
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
  M->SetSkinDirectory(SkinFolder());
  M->SetSkinName("TIDE");
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

std::unique_ptr<testing_support::Dib32> PrintedWindow(HWND Wnd, uint32_t Fill) {
  RECT R{};
  GetWindowRect(Wnd, &R);
  auto Dib = std::make_unique<testing_support::Dib32>(R.right - R.left, R.bottom - R.top, Fill, true);
  PrintWindowTo(Wnd, *Dib);
  return Dib;
}

void CopyWindowDC(HWND Wnd, testing_support::Dib32& Dib) {
  HDC DC = GetWindowDC(Wnd);
  BitBlt(Dib.DC(), 0, 0, Dib.Width(), Dib.Height(), DC, 0, 0, SRCCOPY);
  ReleaseDC(Wnd, DC);
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
  RECT R{};
  GetWindowRect(Wnd, &R);
  auto D = std::make_unique<testing_support::Dib32>(R.right - R.left, R.bottom - R.top, 0, true);
  CopyWindowDC(Wnd, *D);
  return D;
}

namespace {

int CountDiffering(const testing_support::Dib32& A, const testing_support::Dib32& B) {
  int N = 0;
  for (int y = 0; y < A.Height(); ++y)
    for (int x = 0; x < A.Width(); ++x) N += Rgb(A.Px(x, y)) != Rgb(B.Px(x, y));
  return N;
}

}  // namespace

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
