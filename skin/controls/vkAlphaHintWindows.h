// The alpha hint windows: layered windows showing a hint's text over the skin's hint section or a template's
// PNG frame, placed beside the control the hint belongs to, faded and slid in by TsShowTimer and hidden by a
// timer of their own; and the settings they read, a hint manager. The program makes no manager, so its hints
// stay in the framework's window: nothing here runs until a manager is assigned to HintManager and one of these
// classes is made the hint window class.
#pragma once
#include <windows.h>

#include <string>

#include "framework/Classes.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"

class TsShowTimer;
class TsSkinManager;
class TvkHintImage;
class TvkHintTemplate;

class TvkCustomHintWindow;

// What the hint windows and their animation read.
class TvkHintManager : public TComponent {
  DECLARE_CLASS(TvkHintManager, TComponent)
public:
  explicit TvkHintManager(TComponent* AOwner);
  ~TvkHintManager() override;

  // Templates (TvkHintTemplate); SelectedTemplate picks one, an index out of range the default template.
  TCollection* Templates() const { return FTemplates; }
  int SelectedTemplate = -1;
  bool Active = true;
  bool HTMLMode = false;      // the hint text is HTML for TsHtml
  bool Animated = true;       // a new hint fades in, sliding from the previous one's place
  bool NoFrame = false;       // no frame: the text fills the window
  bool LiftAbove = true;      // a template hint placed above its point goes up 16 pixels more
  TAlignment Alignment = taLeftJustify;
  int HideDelay = 0;          // milliseconds a hint stays; 0: until the pointer leaves its control
  // Offered the hint's canvas, text rectangle and text before the text is drawn; Handled keeps the text off.
  TDelegate<void(TObject* Sender, TCanvas* Canvas, const TRect& R, const std::string& Text, bool& Handled)>
      OnDrawHint;
  TNotifyEvent OnHideHint;

  TvkHintTemplate* Template() const;

  // The remembered hint: where the last one stood (empty: nowhere, the next one does not slide) and the
  // application's HintPause while a show animation holds it at 100 (-1: not held).
  TRect PrevHintRect;
  int SavedHintPause = -1;
  // Forgets the remembered hint and gives the application its hint pause back.
  void ClearHintState();
  // After a hint hid: the remembered hint is forgotten the application's hint-hide pause plus 300 ms later,
  // unless a hint shows by then. StateTimerTick is that moment.
  void ScheduleStateClear();
  void StateTimerTick();
  TTimer* StateTimer() const { return FStateTimer; }

private:
  TCollection* FTemplates;
  TTimer* FStateTimer = nullptr;
};

// Nil in this program; while nil (or not Active) the hint windows behave as the framework's own.
extern TvkHintManager* HintManager;
// The hint window shown last (set when one is made or shown); nil when it goes.
extern TvkCustomHintWindow* CurrentHintWindow;

// The skin's hint section of the default manager, -1 without an active skin that has one.
int SkinHintSection();
// The library's animations may run (the default manager allows them and no session is ending).
bool HintAnimationsAllowed();

// Where a W x H hint of the template goes for a control at ControlRect (screen), kept inside Area. The hint
// takes placement 0 (right of and below its point) unless it would pass Area's right edge (it then goes to
// the left: 2) or bottom (above: 1; both: 3). The point is the middle of the control's bottom or top edge
// (haHorzCenter) or of its right or left edge (haVertCenter); across that edge the tip sits one border width
// of the chosen image in, and the image's offsets are added. Margins: the frame sizes of the placements'
// images (nil: a skinned or frameless hint, no tip offset). Lift: 16 pixels more up for placements 1 and 3.
TRect PlaceHint(const TRect& ControlRect, int W, int H, TvkHintTemplate* Template, const TRect& Area, bool Lift,
                bool UseImages, int& Placement);

class TvkCustomHintWindow : public THintWindow {
  DECLARE_CLASS(TvkCustomHintWindow, THintWindow)
public:
  explicit TvkCustomHintWindow(TComponent* AOwner);
  ~TvkCustomHintWindow() override;
  RECT CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) override;
  void ActivateHint(RECT Rect, const std::string& AHint) override;
  // The hint into HintBitmap (32-bit, straight alpha) and the window's region.
  virtual void RenderHint();
  virtual void ReleaseHintBitmap();

  TBitmap* HintBitmap() const { return FHintBmp; }
  int Placement() const { return FPlacement; }
  // Where the hint stands (or is going), screen coordinates.
  const TRect& TargetRect() const { return FTarget; }
  TsShowTimer* ShowTimer() const { return FShowTimer; }
  TTimer* HideTimer() const { return FHideTimer; }
  // The rendered hint on the window at Pos with constant opacity Alpha.
  void ShowContent(BYTE Alpha, POINT Pos);
  // Hides the window (WM_SHOWWINDOW does the rest: animation stopped, the manager told).
  void HideHint();
  // The hide timer: with the manager's delay the hint hides when it expires, without one every 300 ms it hides
  // once the pointer is over another control than the hint's. HideTimerTick is one such moment.
  void ScheduleHintHide(int Delay);
  void HideTimerTick();

protected:
  void CreateParams(TCreateParams& Params) override;
  // Nothing while managed: the layered window's content is set as a whole.
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The frame's widths around the text (left, top, right, bottom) at Placement, and those the window is sized
  // with (the same unless the frame is wider than the text's margins).
  virtual TRect TextMargins(int Placement);
  virtual TRect SizeMargins(int Placement) { return TextMargins(Placement); }
  // The frame of the hint over the whole of Bmp, and the text's colour.
  virtual void PaintFrame(TBitmap* Bmp, TColor& TextColor);
  // Template hints take their tip from the placement's image.
  virtual bool UsesTemplateImages() const { return false; }
  TFont* HintFont();
  bool Managed() const;

private:
  void DrawText(TBitmap* Bmp, TColor TextColor);
  void ApplyRegion();
  void StartShow(const TRect& From, TvkCustomHintWindow* Previous);
  void HiddenNow();
  std::string FText;
  TBitmap* FHintBmp = nullptr;
  TFont* FHintFont = nullptr;
  int FPlacement = -1;
  TRect FTarget;
  TsShowTimer* FShowTimer = nullptr;
  TTimer* FHideTimer = nullptr;
  int FHideDelay = 0;
  TControl* FHintControl = nullptr;  // whose hint it is; compared only
  bool FShown = false;
};

// The hint over a template's nine-part PNG frame when the skin has no hint section.
class TvkPngHintWindow : public TvkCustomHintWindow {
  DECLARE_CLASS(TvkPngHintWindow, TvkCustomHintWindow)
public:
  explicit TvkPngHintWindow(TComponent* AOwner) : TvkCustomHintWindow(AOwner) {}

protected:
  TRect TextMargins(int Placement) override;
  TRect SizeMargins(int Placement) override;
  void PaintFrame(TBitmap* Bmp, TColor& TextColor) override;
  bool UsesTemplateImages() const override;
  // The image the frame takes at Placement.
  TvkHintImage* FrameImage(int Placement);
};
