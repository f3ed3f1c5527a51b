#include "skin/forms/vkFormTimers.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/Forms.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkntTypes.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/vkBorderForm.h"
#include "skin/forms/vkFormAnimations.h"
#include "skin/forms/vkGlue.h"
#include "skin/forms/vkProviderEffects.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkPixelOps.h"

IMPLEMENT_CLASS(TvkMoveTimer)
IMPLEMENT_CLASS(TvkMinTimer)

namespace {

int RoundAlpha(double A) { return std::clamp(static_cast<int>(std::lround(A)), 0, 255); }

HWND FormHandleOf(TsSkinProvider* P) {
  TCustomForm* F = P != nullptr ? P->Form() : nullptr;
  return F != nullptr && F->HandleAllocated() ? F->Handle() : nullptr;
}

TvkGlowForm* BorderWindowOf(TvkBorderForm* BF) {
  return BF != nullptr && FormServices.BorderLayeredWindow ? FormServices.BorderLayeredWindow(BF) : nullptr;
}

void SetBorderUpdating(TvkBorderForm* BF, bool On) {
  if (BF != nullptr && FormServices.SetBorderUpdating) FormServices.SetBorderUpdating(BF, On);
}

void UpdateBorder(TvkBorderForm* BF, bool Repaint, uint8_t Alpha) {
  if (BF != nullptr && FormServices.UpdateBorderWindow) FormServices.UpdateBorderWindow(BF, Repaint, Alpha);
}

TsSkinManager* ManagerOf(TsSkinProvider* P) {
  if (P != nullptr && P->SkinData() != nullptr) return P->SkinData()->SkinManager();
  return TsSkinManager::DefaultManager();
}

TRect Centred(TPoint C) { return TRect(C.X, C.Y, C.X, C.Y); }

TPoint CentreOf(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }

// The process of Wnd opened for the remote reads; the handle and the remote buffer go on every path.
class TRemoteBuffer {
public:
  static constexpr SIZE_T Size = 4096;
  explicit TRemoteBuffer(HWND Wnd) {
    DWORD Pid = 0;
    GetWindowThreadProcessId(Wnd, &Pid);
    Process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE, Pid);
    if (Process != nullptr) Address = VirtualAllocEx(Process, nullptr, Size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~TRemoteBuffer() {
    if (Address != nullptr) VirtualFreeEx(Process, Address, 0, MEM_RELEASE);
    if (Process != nullptr) CloseHandle(Process);
  }
  TRemoteBuffer(const TRemoteBuffer&) = delete;
  TRemoteBuffer& operator=(const TRemoteBuffer&) = delete;
  bool Ready() const { return Address != nullptr; }
  // Count bytes from the start of the buffer (never more than it holds).
  bool Read(void* Out, SIZE_T Count) const {
    SIZE_T Done = 0;
    return Count <= Size && ReadProcessMemory(Process, Address, Out, Count, &Done) && Done == Count;
  }
  bool ReadAt(const void* Remote, void* Out, SIZE_T Count) const {
    SIZE_T Done = 0;
    return ReadProcessMemory(Process, Remote, Out, Count, &Done) && Done == Count;
  }
  HANDLE Process = nullptr;
  void* Address = nullptr;
};

// Our own process runs on a 64-bit system: the shell's button records are not the 32-bit layout.
bool OnWow64() {
  using TIsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
  static const auto Entry = reinterpret_cast<TIsWow64>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
  BOOL Wow = FALSE;
  return Entry != nullptr && Entry(GetCurrentProcess(), &Wow) && Wow;
}

}  // namespace

// ===================================================================== the move fade

TvkMoveTimer::TvkMoveTimer(TComponent* AOwner, TsSkinProvider* P) : TvkThreadedTimer(AOwner, true), Provider(P) {}

double TvkMoveTimer::StepFor(int Target, int Time) {
  const double Range = 255.0 - Target;
  return Time < 13 ? Range : Range / (Time / 12.0);
}

bool TvkMoveTimer::DoStep() {
  if (!Enabled()) return false;
  const int A = RoundAlpha(Alpha);
  if (BorderForm != nullptr) {
    TvkGlowForm* L = BorderWindowOf(BorderForm);
    // a dialog's border form keeps the dialog's skin data
    TsCommonData* D = Provider != nullptr ? Provider->SkinData() : BorderForm->SkinData;
    if (L != nullptr && L->HandleAllocated() && D != nullptr && D->CacheBmp != nullptr) {
      RECT R{};
      GetWindowRect(L->Handle(), &R);
      UpdateLayeredPremultiplied(L->Handle(), D->CacheBmp, static_cast<BYTE>(A), POINT{R.left, R.top});
    }
  } else if (FormWnd != nullptr) {
    SetLayeredAlpha(FormWnd, true, static_cast<BYTE>(A));
    SendSkinCommand(FormWnd, VKCMD_4E, A);
  }
  if (Provider != nullptr && Provider->Form() != nullptr)
    for (const TvkGlueEntry& E : GlueTable())
      if (E.Master == Provider->Form() && E.Form->HandleAllocated())
        SendSkinCommand(E.Form->Handle(), VKCMD_SET_FRAME_OPACITY, A);
  // never past the target, never outside 0..255
  if (TargetAlpha < Alpha) Alpha = std::clamp(std::max(Alpha - AlphaStep, static_cast<double>(TargetAlpha)), 0.0, 255.0);
  return true;
}

// ===================================================================== the flight to the taskbar

TvkMinTimer::TvkMinTimer(TComponent* AOwner) : TvkThreadedTimer(AOwner, true) {}

TvkMinTimer::TvkMinTimer(TComponent* AOwner, TsSkinProvider* P) : TvkThreadedTimer(AOwner, true), Provider(P) {
  if (P != nullptr) SkinData = P->SkinData();
  FormImage = new TBitmap();
  Init();
}

TvkMinTimer::~TvkMinTimer() {
  SetEnabled(false);
  if (OwnsWindow && AnimWindow != nullptr) AnimWindow->Free();
  AnimWindow = nullptr;
  delete Image;
  delete FormImage;
}

uint8_t TvkMinTimer::RestAlpha() {
  TCustomForm* F = Provider != nullptr ? Provider->Form() : nullptr;
  const int Value = F != nullptr && F->AlphaBlend() ? F->AlphaBlendValue() : 255;
  if (SystemMajorVersion() >= 6 && !IsDwmCompositionActive()) return static_cast<uint8_t>(Value);
  TsSkinManager* M = ManagerOf(Provider);
  const int Time = M != nullptr ? M->AnimEffects()->Minimizing()->Time() : 0;
  return static_cast<uint8_t>(Time > 12 ? Value / 4 : Value);
}

TRect TvkMinTimer::FindTarget() {
  const HWND Taskbar = FormEffectSeams().FindTaskbarWindow();
  if (Taskbar == nullptr) return TRect();
  TRect Button;
  if (!IsDwmCompositionActive()) Button = GetTaskbarButtonRect();
  if (Button.Width() > 0 && Button.Height() > 0) {
    Side = 0;
    return Button;
  }
  RECT T{};
  GetWindowRect(Taskbar, &T);
  if (T.top != 0) Side = T.left >= -4 && T.left <= 0 ? 8 : 4;
  else if (T.left == 0) Side = T.right - T.left > T.bottom - T.top ? 2 : 1;
  else Side = 4;
  switch (Side) {
    case 1: return Centred(TPoint(T.right, StartCentre.Y));
    case 2: return Centred(TPoint(StartCentre.X, T.bottom));
    case 4: return Centred(TPoint(T.left, StartCentre.Y));
    default: return Centred(TPoint(StartCentre.X, T.top));
  }
}

void TvkMinTimer::ComputeSteps() {
  TargetRect = FindTarget();
  TargetCentre = CentreOf(TargetRect);
  // StepCount is at least 1; the zero guard keeps a broken count from dividing
  const double N = StepCount > 0 ? StepCount : 0;
  auto Div = [N](double A, double B) { return B != 0 ? A / B : 0.0; };
  CentreStepX = Div(TargetCentre.X - StartCentre.X, N);
  CentreStepY = Div(TargetCentre.Y - StartCentre.Y, N);
  ShrinkX = Div(StartRect.Width() - TargetRect.Width(), 2 * N);
  ShrinkY = Div(StartRect.Height() - TargetRect.Height(), 2 * N);
  EndAlpha = 0;
}

void TvkMinTimer::Init() {
  SetInterval(12);
  if (Provider != nullptr) BorderForm = Provider->BorderForm();
  TsSkinManager* M = ManagerOf(Provider);
  StepCount = std::max(1, (M != nullptr ? M->AnimEffects()->Minimizing()->Time() : 0) / static_cast<int>(Interval()));
  StartAlpha = RestAlpha();
  if (FormWnd == nullptr) FormWnd = FormHandleOf(Provider);
  TvkGlowForm* Border = BorderWindowOf(BorderForm);
  RECT R{};
  if (Border != nullptr && Border->HandleAllocated()) GetWindowRect(Border->Handle(), &R);
  else if (FormWnd != nullptr) GetWindowRect(FormWnd, &R);
  StartRect = R;
  StartCentre = CentreOf(StartRect);
  ComputeSteps();
  CurLeft = StartRect.Left, CurTop = StartRect.Top, CurRight = StartRect.Right, CurBottom = StartRect.Bottom;
  Alpha = StartAlpha;
  AlphaStep = static_cast<double>(StartAlpha - EndAlpha) / std::max(1, StepCount - 1);
  if (Image == nullptr) Image = NewBitmap32(std::max(StartRect.Width(), 1), std::max(StartRect.Height(), 1));
  else Image->SetSize(std::max(StartRect.Width(), 1), std::max(StartRect.Height(), 1));
  SetStretchBltMode(Image->Canvas()->Handle(), COLORONCOLOR);
  if (AnimWindow == nullptr) {
    if (Border != nullptr) {
      AnimWindow = Border;
      OwnsWindow = false;
    } else if (FormWnd != nullptr) {
      AnimWindow = CreateSnapshotForm(FormWnd);
      if (AnimWindow != nullptr && AnimWindow->HandleAllocated()) SetWindowRgn(AnimWindow->Handle(), nullptr, FALSE);
      OwnsWindow = AnimWindow != nullptr;
    }
  }
}

TRect TvkMinTimer::CurrentRect() const {
  return TRect(static_cast<int>(std::lround(CurLeft)), static_cast<int>(std::lround(CurTop)),
               static_cast<int>(std::lround(CurRight)), static_cast<int>(std::lround(CurBottom)));
}

void TvkMinTimer::ShowImage() {
  if (AnimWindow == nullptr || FormImage == nullptr || FormImage->Empty()) return;
  const TRect R = CurrentRect();
  const int W = std::max(R.Width(), 1), H = std::max(R.Height(), 1);
  Image->SetSize(W, H);
  SetStretchBltMode(Image->Canvas()->Handle(), COLORONCOLOR);
  StretchBlt(Image->Canvas()->Handle(), 0, 0, W, H, FormImage->Canvas()->Handle(), 0, 0, FormImage->Width(),
             FormImage->Height(), SRCCOPY);
  if (BorderForm == nullptr) SetRectAlpha32(Image, TRect(0, 0, W, H), 255, NoColor32);
  PremultiplyBitmap(Image);
  AnimWindow->HandleNeeded();
  UpdateLayeredFromBitmap(AnimWindow->Handle(), Image, static_cast<BYTE>(RoundAlpha(Alpha)), POINT{R.Left, R.Top});
  SetWindowPos(AnimWindow->Handle(), HWND_TOPMOST, R.Left, R.Top, W, H,
               SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING | SWP_SHOWWINDOW | SWP_NOREDRAW);
}

void TvkMinTimer::FinishMinimizing() {
  SetEnabled(false);
  if (Provider != nullptr) {
    Provider->FreeTitleAnimations();
    TvkProviderEffects::ResetHotElement(Provider);
    Provider->SetFormStateFlags(Provider->FormStateFlags() & ~fsfMinimizing);
  }
  if (FormWnd != nullptr) SetLayeredAlpha(FormWnd, false, 255);
  if (BorderForm == nullptr) {
    // the last picture is the empty one: the window stays until the restore reuses it
    if (AnimWindow != nullptr && AnimWindow->HandleAllocated()) ShowWindow(AnimWindow->Handle(), SW_HIDE);
  } else {
    if (AnimWindow != nullptr && AnimWindow == BorderWindowOf(BorderForm) && FormServices.SetBorderLayeredWindow) {
      FormServices.SetBorderLayeredWindow(BorderForm, nullptr);
      AnimWindow->Free();
    }
    AnimWindow = nullptr;
    SetBorderUpdating(BorderForm, false);
    UpdateBorder(BorderForm, true, 255);
  }
  Restoring = true;
}

void TvkMinTimer::FinishRestoring() {
  SetEnabled(false);
  Alpha = StartAlpha;
  ShowImage();
  TCustomForm* F = Provider != nullptr ? Provider->Form() : nullptr;
  if (FormWnd != nullptr) {
    // shown in place: a form the flight brought back maximised stays so (a plain show restores it to normal)
    ShowWindow(FormWnd, IsZoomed(FormWnd) ? SW_SHOWNA : SW_SHOWNOACTIVATE);
    SetWindowPos(FormWnd, nullptr, 0, 0, 0, 0, 0x65B & ~SWP_SHOWWINDOW);
    if (F != nullptr && F->AlphaBlend()) SetLayeredAlpha(FormWnd, true, static_cast<BYTE>(F->AlphaBlendValue()));
    else SetLayeredAlpha(FormWnd, false, 255);
  }
  if (Provider != nullptr) {
    TvkProviderEffects::ResetHotElement(Provider);
    Provider->SetFormStateFlags(Provider->FormStateFlags() & ~fsfRestoring);
  }
  SetBorderUpdating(BorderForm, false);
  if (FormWnd != nullptr) RedrawWindow(FormWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Restoring = false;
  if (AnimWindow != nullptr && AnimWindow != BorderWindowOf(BorderForm)) {
    if (OwnsWindow) AnimWindow->Free();
    AnimWindow = nullptr;
    OwnsWindow = false;
  } else {
    UpdateBorder(BorderForm, true, 255);
  }
  if (Provider != nullptr && F != nullptr) {
    // extended borders switched off meanwhile: the border form goes with its window
    if (BorderForm != nullptr && !Provider->UseExtendedBorders()) {
      if (AnimWindow == BorderWindowOf(BorderForm)) AnimWindow = nullptr;
      Provider->CheckBorderWindow(false);
      BorderForm = nullptr;
      if (Application == nullptr || Application->MainForm() != F) Provider->SkinData()->CacheDirty = true;
    }
    if (F->FormStyle() == fsMDIForm && F->ActiveMDIChild() != nullptr && IsDwmCompositionActive())
      Provider->SkinData()->CacheDirty = true;
  }
  if (FormWnd == nullptr || !IsWindowEnabled(FormWnd) || !IsWindowVisible(FormWnd)) return;
  // an MDI parent leaves the activation with its child and repaints the child's frame
  if (F != nullptr && F->FormStyle() == fsMDIForm) {
    if (TCustomForm* Child = F->ActiveMDIChild(); Child != nullptr && Child->HandleAllocated())
      RedrawWindow(Child->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  } else {
    SetActiveWindow(FormWnd);
  }
}

void TvkMinTimer::EndEarly() {
  SetEnabled(false);
  if (OwnsWindow && AnimWindow != nullptr && AnimWindow->HandleAllocated()) ShowWindow(AnimWindow->Handle(), SW_HIDE);
  TCustomForm* F = Provider != nullptr ? Provider->Form() : nullptr;
  if (FormWnd != nullptr) {
    if (F != nullptr && F->AlphaBlend()) SetLayeredAlpha(FormWnd, true, static_cast<BYTE>(F->AlphaBlendValue()));
    else SetLayeredAlpha(FormWnd, false, 255);
  }
  if (Provider != nullptr) {
    TvkProviderEffects::ResetHotElement(Provider);
    Provider->SetFormStateFlags(Provider->FormStateFlags() & ~(fsfMinimizing | fsfRestoring));
  }
  Restoring = false;
  // the border window lent to the flight lies topmost without its region: placed under its form again
  FollowBorderForm();
  SetBorderUpdating(BorderForm, false);
  if (BorderForm != nullptr) UpdateBorder(BorderForm, true, 255);
}

// The skinner frees its border form at once when extended borders are switched off during the flight; the
// window it lent as the animation window went with it, so neither is touched again.
void TvkMinTimer::FollowBorderForm() {
  if (Provider == nullptr || Provider->BorderForm() == BorderForm) return;
  if (!OwnsWindow) AnimWindow = nullptr;
  BorderForm = Provider->BorderForm();
}

bool TvkMinTimer::DoStep() {
  if (FInStep) return true;
  FInStep = true;
  struct TGuard {
    bool& Flag;
    ~TGuard() { Flag = false; }
  } Guard{FInStep};
  FollowBorderForm();
  if (Provider != nullptr) {
    const uint32_t S = Provider->FormStateFlags();
    if ((S & fsfRestoring) != 0) Restoring = true;
    else if ((S & fsfMinimizing) != 0) Restoring = false;
  }
  if (AnimWindow == nullptr) {
    SetEnabled(false);
    return false;
  }
  if (Provider != nullptr && (Provider->ComponentState().Contains(csDestroying) || Provider->Form() == nullptr ||
                              Provider->Form()->ComponentState().Contains(csDestroying)))
    return false;
  if (FormWnd == nullptr) {
    SetEnabled(false);
    return false;
  }
  SetBorderUpdating(BorderForm, true);
  const double Sign = Restoring ? -1 : 1;
  CurLeft += Sign * (CentreStepX + ShrinkX);
  CurRight += Sign * (CentreStepX - ShrinkX);
  CurTop += Sign * (CentreStepY + ShrinkY);
  CurBottom += Sign * (CentreStepY - ShrinkY);
  if (!Restoring) {
    Alpha = std::max(Alpha - AlphaStep, 0.0);
    if (Alpha > 0) ShowImage();
    else FinishMinimizing();
  } else {
    Alpha = std::min(Alpha + AlphaStep, static_cast<double>(StartAlpha));
    if (Alpha < StartAlpha) {
      if (AnimWindow->HandleAllocated()) SetWindowRgn(AnimWindow->Handle(), nullptr, FALSE);
      ShowImage();
    } else {
      FinishRestoring();
    }
  }
  return true;
}

// ===================================================================== the taskbar button

TRect GetTaskbarButtonRect() {
  const HWND Tray = FormEffectSeams().FindTaskbarWindow();
  HWND Bar = Tray != nullptr ? FindWindowExA(Tray, nullptr, "ReBarWindow32", nullptr) : nullptr;
  Bar = Bar != nullptr ? FindWindowExA(Bar, nullptr, "MSTaskSwWClass", nullptr) : nullptr;
  Bar = Bar != nullptr ? FindWindowExA(Bar, nullptr, "ToolbarWindow32", nullptr) : nullptr;
  if (Bar == nullptr || OnWow64()) return TRect();
  const int Count = static_cast<int>(SendMessageA(Bar, TB_BUTTONCOUNT, 0, 0));
  if (Count < 1) return TRect();
  TRemoteBuffer Remote(Bar);
  if (!Remote.Ready()) return TRect();
  const HWND App = Application != nullptr && Application->Handle() != nullptr ? Application->Handle()
                   : Application != nullptr && Application->MainForm() != nullptr ? Application->MainForm()->Handle()
                                                                                   : nullptr;
  if (App == nullptr) return TRect();
  for (int i = 0; i < Count; ++i) {
    if (!SendMessageA(Bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(Remote.Address))) continue;
    uint8_t Record[24]{};
    if (!Remote.Read(Record, sizeof Record)) return TRect();
    const uint8_t State = Record[8], Style = Record[9];
    if ((Style & 0x0D) != 0 || (State & TBSTATE_HIDDEN) != 0) continue;
    uint32_t Data = 0, Wnd = 0;
    std::memcpy(&Data, Record + 12, 4);
    if (Data == 0 || !Remote.ReadAt(reinterpret_cast<const void*>(static_cast<uintptr_t>(Data)), &Wnd, 4)) continue;
    if (reinterpret_cast<HWND>(static_cast<uintptr_t>(Wnd)) != App) continue;
    if (!SendMessageA(Bar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(Remote.Address))) return TRect();
    RECT R{};
    if (!Remote.Read(&R, sizeof R)) return TRect();
    POINT Origin{0, 0};
    ClientToScreen(Bar, &Origin);
    return TRect(R.left + Origin.x, R.top + Origin.y, R.right + Origin.x, R.bottom + Origin.y);
  }
  return TRect();
}
