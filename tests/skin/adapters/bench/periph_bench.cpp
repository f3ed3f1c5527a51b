// Full paints of the periphery's skinned windows against the same windows unskinned, with the SOLID test skin:
// a ten-button tool bar, a four-panel status bar, a track bar and an MDI client under a maximised child, each
// printed into a memory bitmap. Run by hand under Wine from the
// build folder:
//   wine tests/skin/adapters/bench/periph_bench.exe
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>

#include "framework/ComCtrls.h"
#include "framework/ComCtrlsToolBar.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "framework/Units.h"
#include "skin/adapters/vkMDIWnd.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/adapters/vkStatusBarWnd.h"
#include "skin/adapters/vkToolBarVCLWnd.h"
#include "skin/adapters/vkTrackWnd.h"
#include "skin/core/sConst.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/vkFormUnits.h"
#include "skin/graphics/ToolkitStartup.h"
#include "tools/bench/BenchSkin.h"
#include "tools/bench/BenchTiming.h"

namespace {

// One full paint of W into a memory bitmap of its size.
double PrintCost(HWND W) {
  RECT R{};
  GetWindowRect(W, &R);
  HDC Screen = GetDC(nullptr);
  HDC Mem = CreateCompatibleDC(Screen);
  HBITMAP Bmp = CreateCompatibleBitmap(Screen, R.right - R.left, R.bottom - R.top);
  HGDIOBJ Old = SelectObject(Mem, Bmp);
  const double T = PerCall(
      [&] { SendMessageA(W, WM_PRINT, reinterpret_cast<WPARAM>(Mem), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND); });
  SelectObject(Mem, Old);
  DeleteObject(Bmp);
  DeleteDC(Mem);
  ReleaseDC(nullptr, Screen);
  return T;
}

void Report(const char* What, double Plain, double Skinned) {
  std::printf("%-28s unskinned %8.3f ms   skinned %8.3f ms\n", What, Plain * 1e3, Skinned * 1e3);
}

}  // namespace

int main() {
  InitializeForms();
  ToolkitStartup();
  VclUtilsInitialize();
  SBUtilsInitialize();
  TsSkinManager* M = CarriedSkinManager("SOLID");
  if (M == nullptr) return 1;
  TForm* Form = TForm::CreateNew(Application);
  Form->SetBounds(0, 0, 600, 300);
  Form->Show();

  auto* Bar = new TToolBar(Form);
  Bar->SetParent(Form);
  Bar->SetBounds(0, 0, 580, 40);
  Bar->SetShowCaptions(true);
  for (int I = 0; I < 10; ++I) Bar->AddButton("Tool " + std::to_string(I), I == 9 ? tbsDropDown : tbsButton);
  const double BarPlain = PrintCost(Bar->Handle());
  TvkSkinParams P;
  P.Control = Bar;
  TvkMainWnd* BarAdapter = CreateAdapter<TvkToolBarVCLWnd>(Bar->Handle(), nullptr, M, P, false);
  Report("tool bar, ten buttons", BarPlain, PrintCost(Bar->Handle()));
  BarAdapter->Free();

  auto* Status = new TStatusBar(Form);
  Status->SetParent(Form);
  for (const char* Text : {"COM3", "115200", "Ready", "Firmware 1.2"}) {
    TStatusPanel* Panel = Status->Panels()->Add();
    Panel->SetText(Text);
    Panel->SetWidth(120);
  }
  const double StatusPlain = PrintCost(Status->Handle());
  TvkSkinParams SP;
  SP.Control = Status;
  TvkMainWnd* StatusAdapter = CreateAdapter<TvkStatusBarWnd>(Status->Handle(), nullptr, M, SP, false);
  Report("status bar, four panels", StatusPlain, PrintCost(Status->Handle()));
  StatusAdapter->Free();

  HWND Track = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS, 10, 60, 300, 40,
                               Form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(Track, TBM_SETRANGE, FALSE, MAKELPARAM(0, 20));
  const double TrackPlain = PrintCost(Track);
  TvkSkinParams TP;
  TP.SkinSection = "TRACKBAR";
  TvkMainWnd* TrackAdapter = CreateAdapter<TvkTrackWnd>(Track, nullptr, M, TP, false);
  Report("track bar, 21 ticks", TrackPlain, PrintCost(Track));
  TrackAdapter->Free();

  Form->Free();

  // The form skinner with its MDI parts adapts the client of a skinned MDI form.
  RegisterSkinFormUnits();
  InitializeUnits();
  ReadSystemMetrics();
  MDIPartsInitialize();
  TForm* Frame = TForm::CreateNew(Application);
  Frame->SetBounds(0, 0, 600, 400);
  Frame->SetFormStyle(fsMDIForm);
  Application->FormCreated(Frame);  // the main form is the MDI frame children look for
  Frame->Show();
  TForm* Doc = TForm::CreateNew(Application);
  Doc->SetFormStyle(fsMDIChild);
  Doc->SetWindowState(wsMaximized);
  Doc->Show();
  const double ClientPlain = PrintCost(Frame->ClientHandle());
  auto* Skinner = Create<TsSkinProvider>(Frame);
  if (Skinner->MDIWrapper() == nullptr || Skinner->MDIWrapper()->ClientAdapter == nullptr) {
    std::printf("the MDI client was not adapted\n");
    return 1;
  }
  Report("MDI client, maximised child", ClientPlain, PrintCost(Frame->ClientHandle()));
  Doc->Free();
  Frame->Free();
  MDIPartsFinalize();
  FinalizeUnits();

  M->Free();
  SBUtilsFinalize();
  return 0;
}
