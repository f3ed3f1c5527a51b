#pragma once
// Panels, images and timers.

#include "framework/Controls.h"

class TCustomPanel : public TCustomControl {
  DECLARE_CLASS(TCustomPanel, TCustomControl)
public:
  explicit TCustomPanel(TComponent* AOwner);

  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  // The client area inside the bevels (where aligned children go); BorderWidth lies outside the client area.
  RECT InnerRect();

  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void AlignControls(TControl* AControl, RECT& Rect) override;
  void Paint() override;

  TBevelCut FBevelOuter = bvRaised;
  TBevelCut FBevelInner = bvNone;
  int FBevelWidth = 1;
  TBorderStyle FBorderStyle = bsNone;
  TAlignment FAlignment = taCenter;
};

class TPanel : public TCustomPanel {
  DECLARE_CLASS(TPanel, TCustomPanel)
public:
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// Draws Width rings of 3-D frame inside Rect (top-left TopColor, bottom-right BottomColor) and shrinks Rect.
void Frame3D(HDC DC, RECT& Rect, TColor TopColor, TColor BottomColor, int Width);

class TImage : public TGraphicControl {
  DECLARE_CLASS(TImage, TGraphicControl)
public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* Picture() const { return FPicture; }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // Where the picture is drawn in the control's client area.
  RECT DestRect();

protected:
  void Paint() override;
  void PictureChanged(TObject* Sender);
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  void AdjustSize() override;

  TPicture* FPicture;
  bool FStretch = false;
  bool FCenter = false;
  bool FProportional = false;
  bool FTransparent = false;
};

// Fires OnTimer every Interval ms while Enabled, from a SetTimer on its own utility window. Most timers
// are made enabled and stopped at once, and a window costs about a hundred server round trips, so the
// window is made only when the timer runs with a handler, or is asked for. A timer that runs with no
// OnTimer yet (a derived timer, or one given its handler afterwards) ticks first from a thread timer,
// whose tick moves it onto the window.
class TTimer : public TComponent {
  DECLARE_CLASS(TTimer, TComponent)
public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned Value);
  // The utility window the timer ticks on (made when first asked).
  HWND WindowHandle();

  TNotifyEvent OnTimer;

  // One tick: OnTimer (derived timers do their own work here).
  virtual void Timer();

protected:
  void UpdateTimer();
  void WndProc(TMessage& Message);

  bool FEnabled = true;
  unsigned FInterval = 1000;
  HWND FWindowHandle = nullptr;

private:
  void StopTimer();
  void StartOnWindow();
  static void CALLBACK FirstTick(HWND, UINT, UINT_PTR Id, DWORD);

  bool FWindowTimer = false;  // SetTimer on the window is running
  UINT_PTR FFirstTick = 0;    // the thread timer standing in until the first tick
};
