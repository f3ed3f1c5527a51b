// The window adapter base: an object that takes over one window it did not create (a standard control of a
// dialog, a framework control that does not skin itself, a form window), links it to skin data and answers the
// library's commands for it, passing everything else to the window's previous procedure.
//
// Adapters are made from their class info in two phases, so any adapter class can be chosen from a table:
//   TvkMainWnd* A = CreateAdapter(TvkBtnWnd::StaticClassInfo(), Wnd, nullptr, Manager, Params, false);
//   ...
//   A->Free();   // gives the window back (GiveWindowBack runs in BeforeDestruction, where virtual calls still work)
#pragma once
#include <windows.h>

#include <string>

#include "framework/Controls.h"
#include "framework/Messages.h"
#include "framework/ObjectInstance.h"
#include "skin/forms/vkLifeWatch.h"

class TsCommonData;
class TsSkinManager;
class TvkCtrlAdapter;

// What every adapter constructor and the form's OnSkinItemEx event take.
struct TvkSkinParams {
  TControl* Control = nullptr;  // the framework control owning the window; nil for a foreign window
  std::string SkinSection;      // empty: the adapter class's default
  bool UseSkinColor = true;     // the skin gives the background colour (CustomColor := not this)
  bool UseSkinFontColor = true;  // the skin gives the text colour (CustomFont := not this)
  int VScrollWidth = -1;        // scroll sizes read by the edit-kind adapters; -1 = default
  int HScrollWidth = -1;
  int VButtonsSize = -1;
  int HButtonsSize = -1;
};
using PvkSkinParams = TvkSkinParams*;

// Set by the standard-dialog chooser while it adopts a dialog's children.
extern bool AdoptingDialogChildren;
// Set by the child-control walker while it frees all its adapters (see TvkMainWnd's destruction).
extern bool CtrlAdapterReleasingAll;

class TvkMainWnd : public TObject {
  DECLARE_CLASS(TvkMainWnd, TObject)
public:
  TvkMainWnd() = default;

  // ---- overridables, in slot order ----
  // Last step of Create: default section (descendants), loading flag off, "VKSDATA" set.
  virtual void FinishCreation();
  virtual void StoreControlParams() {}
  // The unskinned look back: "VKSDATA" (own data) and "VKSBSC" removed, the class brush restored.
  virtual void RestoreControlParams();
  // The skin's colours into the control; the base gives the window class the skin's background brush.
  virtual void ApplySkinParams();
  virtual void MakeSkinData();
  // Second construction phase (the virtual constructor).
  virtual void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                      const TvkSkinParams& SkinParams, bool Repaint);
  virtual void WndProc(TMessage& Message);

  // ---- operations ----
  // The window's procedure (or its control's WindowProc): WndProc, the message counted while it runs.
  void MainWndProc(TMessage& Message);
  // A message to this adapter's own WndProc, counted as its own; its Result.
  LRESULT PerformMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
  // A message to the window's previous procedure (method or plain procedure); 0 without one.
  LRESULT ForwardToOldWndProc(HWND AHandle, UINT Msg, WPARAM WParam, LPARAM& LParam);
  LRESULT ForwardToOldWndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    return ForwardToOldWndProc(CtrlHandle, Msg, WParam, LParam);
  }
  // Gives the window back all the adapter took of it (ReturnWindow), once. The adapter is Detached from then on and
  // holds no manager, and its free touches the window no more. The free of an attached adapter calls it, and so
  // does the hook when it sets aside a provider whose messages still run.
  void GiveWindowBack();
  bool GivenBack() const { return FGivenBack; }
  // Gives back an attached window, then releases the adapter's own objects (ReleaseOwnObjects).
  void BeforeDestruction() final;
  ~TvkMainWnd() override;

  // ---- fields ----
  bool DlgMode = false;        // made while a standard dialog's children were adopted
  bool Detached = false;       // the window has its procedure back; only waiting to be freed
  bool ScrollBusy = false;     // a scroll message from the skinned bars is being sent
  bool OwnSkinData = false;
  bool ParamsApplied = false;  // ApplySkinParams ran
  TRect WndRect;               // filled by GetWindowGeometry
  TRect ParentRect;
  TColor SavedColor = clNone;
  TColor SavedFontColor = clNone;
  HWND ParentWnd = nullptr;
  HWND CtrlHandle = nullptr;
  TPoint WndSize;
  TPoint WndPos;
  std::wstring Caption;
  TControlStyle OldControlStyle;
  TWndMethod OldWndMethod;      // the control's or form's previous WindowProc
  WNDPROC OldWndProc = nullptr;  // the plain window's previous procedure
  TsSkinManager* SkinManager = nullptr;
  TsCommonData* SkinData = nullptr;
  TObjectInstance ObjectInstance = nullptr;
  TvkCtrlAdapter* CtrlAdapter = nullptr;
  // Its own messages (and drags it runs outside them) still running: one may run a nested loop (a move, a menu) in
  // which its window goes or the skin is removed, and each reads the adapter again once it returns, so the hook's
  // purges and its free-all leave the adapter to be freed later.
  int MessageDepth = 0;
  // Marked when the adapter goes: a guard of a running message then leaves the count alone.
  TvkLifeMark Life;

protected:
  // What GiveWindowBack gives back: the procedure (or the control's WindowProc), the control's style, what
  // RestoreControlParams puts back and the visual style; each kind adds what it took beyond that.
  virtual void ReturnWindow();
  // The free's second half: what the adapter owns (bitmaps, fades, timers, sub-adapters, its skin data). It calls
  // nothing on a window given back; a surviving control whose window DetachWindowAdapter detached gets its look back.
  virtual void ReleaseOwnObjects();
  // Hooks the adapter into the window (scroll adapters also make their bars).
  virtual void AttachToWindow(bool Repaint);
  // Popup-menu window adapters keep the window's visual style.
  virtual bool KeepsVisualStyle() const { return false; }
  // The skin data's fade stopped and its glow hidden.
  void StopSkinEffects();
  // WM_DESTROY and WM_NCDESTROY: detach, let the window's own procedure finish the message.
  void HandleWindowDestruction(TMessage& Message);
  // The 0xA100 commands every adapter answers; the rest of the messages go to the previous procedure.
  void CommonTail(TMessage& Message);
  // After a skin change: a window class given the skin's brush gets the new skin's (the old one is freed).
  void RenewClassBrush();

private:
  bool FDestroyed = false;
  bool FGivenBack = false;
};

// Told when a detached adapter's last running message has returned: what waits to free it may do so now.
extern void (*DetachedAdapterIdle)();

// Counts one of the adapter's own messages, or a drag it runs outside them, while it runs.
class TvkAdapterBusy {
public:
  explicit TvkAdapterBusy(TvkMainWnd* A) : FAdapter(A), FWatch(A->Life) { ++A->MessageDepth; }
  ~TvkAdapterBusy() {
    if (FWatch.Freed()) return;
    if (--FAdapter->MessageDepth == 0 && FAdapter->Detached && DetachedAdapterIdle != nullptr) DetachedAdapterIdle();
  }
  TvkAdapterBusy(const TvkAdapterBusy&) = delete;
  TvkAdapterBusy& operator=(const TvkAdapterBusy&) = delete;

private:
  TvkMainWnd* FAdapter;
  TvkLifeWatch FWatch;
};

// Makes an adapter of class Cls (a TvkMainWnd descendant) and runs its Create; freed again if that throws.
TvkMainWnd* CreateAdapter(const TClassInfo* Cls, HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                          const TvkSkinParams& SkinParams, bool Repaint);
template <class T>
T* CreateAdapter(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const TvkSkinParams& SkinParams,
                 bool Repaint) {
  return static_cast<T*>(
      CreateAdapter(T::StaticClassInfo(), AHandle, ASkinData, ASkinManager, SkinParams, Repaint));
}

// The skin data's windowed control while an adapter may follow its skinning (not loading, designing or being
// destroyed); nil otherwise.
TWinControl* ControlToFollow(TsCommonData* SkinData);
// An adapter of class T over the control's window for the skin data while Skinned (made anew where it was
// detached), freed when not.
template <class T>
void FollowSkinning(TWinControl* Control, TsCommonData* SkinData, TsSkinManager* Manager, bool Skinned, T*& Adapter) {
  if (!Skinned) {
    FreeAndNil(Adapter);
    return;
  }
  if (Adapter != nullptr && Adapter->Detached) FreeAndNil(Adapter);
  if (Adapter == nullptr) Adapter = CreateAdapter<T>(Control->Handle(), SkinData, Manager, TvkSkinParams{}, true);
}

// The window text as wide text.
std::wstring GetWindowTextWide(HWND Wnd);
