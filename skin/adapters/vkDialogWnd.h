// The standard dialog adapter: a parentless "#32770" window (message box, common dialog) drawn from the skin's
// "DIALOG" section: frame, caption band with icon, text and title buttons, window region, client background,
// hit tests and the skinned system menu.
#pragma once
#include <windows.h>

#include <vector>

#include "skin/adapters/vkScrollWnd.h"
#include "skin/forms/sSkinProvider.h"

class TBitmap;
class TFont;
class TvkProvider;
class TvkSystemMenu;
class TvkGlowForm;
class TvkBorderForm;
class TvkMoveTimer;

// Title-button state of the dialog: the form skinner's record (state, rectangle in the frame image, hit code,
// title-button mask kind, fade), so that the title-button fades serve both.
struct TvkDlgTitleButton : TsCaptionButton {
  bool SingleImage = false;
};

class TvkDialogWnd : public TvkScrollWnd {
  DECLARE_CLASS(TvkDialogWnd, TvkScrollWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;
  void RestoreControlParams() override;
  // Styles read, frame kind, icon, caption font; the skin draws the system menu from now on.
  void InitFrame();

  // ---- geometry ----
  int CaptionHeight(bool UseSkin);
  int FrameWidth();
  int TopHeight() { return FrameWidth() + CaptionHeight(true); }
  int ClientOffsetX();
  int ClientOffsetY();
  TRect IconRect();
  int ButtonWidth(const TvkDlgTitleButton& B);
  int ButtonHeight(const TvkDlgTitleButton& B);
  int ButtonsWidth();
  // The title buttons present, from the right leftwards: close, maximize, minimize (also the restore button of an
  // iconic dialog), help; none without a system menu.
  std::vector<TvkDlgTitleButton*> PlacedButtons();
  // The frame's width in the frame cache, and where the caption band ends there (the client's top).
  int CacheFrameWidth();
  int CaptionBottom();
  // The rows of the frame cache the title buttons are centred in.
  void TitleButtonBand(int& Top, int& Bottom);

  // ---- painting ----
  void PaintFrame();
  void PaintCaption();
  // Each present title button's rectangle in the frame cache.
  void LayoutTitleButtons();
  void PlaceTitleButtons();
  void PaintTitleButton(int HitCode);
  // The frame and caption above the client as painted, without the title buttons: a button's area is restored
  // from it before the button is drawn again.
  void CopyTitleCache();
  // With the manager's glowing effects the title buttons change state through fades over them.
  bool TitleButtonsFade();
  // The title-button fades freed, with their windows.
  void FreeButtonAnimations();
  void PaintNonClient();
  void PaintBackground(TMessage& Message);
  void MakeIconBitmap();

  // ---- own scroll bars ----
  // The client with the room of the dialog's own scroll bars, in window coordinates, and in the border window's.
  TRect ClientWithBars();
  TRect ClientHoleInBorder();
  // The bars' hit code at a screen point (LParam form); HTNOWHERE off the bars.
  int BarHitTest(LPARAM Point);
  bool OwnFrameBackground(const TRect& R, TvkParentBgQuery& Q) override;

  // ---- region ----
  void SetShapeRegion(bool Repaint);
  HRGN BuildMaskRegion(int X, int Y);
  void CollectRegionRects();

  // ---- hit testing and buttons ----
  int HitTest(TMessage& Message);
  int TitleButtonAt(TPoint P);
  void SetHotButton(int HitCode, bool Repaint);
  void PressButton(int HitCode);
  void NcButtonDown(TMessage& Message);
  void NcButtonUp(TMessage& Message);
  void ShowSysMenu(int X, int Y);

  // ---- capabilities (saved styles) ----
  bool HasSysMenu() const { return (SavedStyle & WS_SYSMENU) != 0; }
  bool HasMaxBox() const { return (SavedStyle & WS_MAXIMIZEBOX) != 0; }
  bool HasMinBox() const { return (SavedStyle & WS_MINIMIZEBOX) != 0; }
  bool HasHelp() const { return (SavedExStyle & WS_EX_CONTEXTHELP) != 0; }
  bool HasSysIcon() const { return (FrameKind == 1 || FrameKind == 3) && HasSysMenu(); }
  bool CanClose();
  bool CanMaximize();
  bool CanMinimize();
  bool CanRestore();
  bool IsActive() const { return Active; }
  // The section state the dialog is drawn in: 1 while active, else 0.
  int ActivityState() const { return Active ? 1 : 0; }
  void SetButtonKinds();
  void RepaintOnActivate();

  // ---- extended border ----
  // A border form while On, the manager's extended borders apply and the dialog has a caption; freed otherwise.
  void SetBorderForm(bool On);
  TRect GetShadowMargins();
  // How much wider the skin's frame is than the system's (0 without a border form).
  int ExtraFrameWidth();
  // The hit code of the title button at a point of the frame cache (0: none).
  int TitleCodeAt(TPoint P);
  // A caption press fades the dialog while it is dragged; False when no blended drag starts.
  bool StartBlendedMove();
  void EndBlendedMove();
  void UpdateBorder(bool Repaint);
  // The skin's frame off the screen when the dialog is given back: the border window hidden (the border form stays
  // until the free: a message still running may be its window's own), a blended drag's fade ended.
  void RemoveSkinFrame();
  TvkBorderForm* BorderForm = nullptr;
  TvkMoveTimer* MoveTimer = nullptr;
  uint32_t MoveFlags = 0;  // 0x80 a blended drag runs; 0x1 the border follows a size change without z-order

  // ---- fields ----
  int HotButton = 0;
  int CaptionSection = -1;
  bool ChildrenAdopted = false;
  bool Active = true;
  bool OwnClientPaint = false;
  std::vector<TRect> RegionRects;
  TvkDlgTitleButton MinButton, MaxButton, HelpButton, CloseButton;
  TBitmap* IconBitmap = nullptr;
  TBitmap* TitleCache = nullptr;
  LONG SavedStyle = 0;
  LONG SavedExStyle = 0;
  TRect LastClientRect;
  HICON IconHandle = nullptr;
  TFont* CaptionFont = nullptr;
  bool RegionDirty = true;
  uint8_t FrameKind = 1;
  TvkSystemMenu* SysMenu = nullptr;
  TvkProvider* Provider = nullptr;
  int TitleSection = -1;
  TvkGlowForm* Snapshot = nullptr;  // screen snapshot shown while the dialog hides
  bool SnapshotOwned = false;
  void FreeSnapshot();

protected:
  void ReturnWindow() override;
  void ReleaseOwnObjects() override;

private:
  TvkDlgTitleButton* ButtonByCode(int HitCode);
  // The button's glyph drawn into the cache in State (the inactive look for a normal button of an inactive
  // dialog and for a disabled maximize button).
  void DrawTitleGlyph(const TvkDlgTitleButton& B, int State);
  void HandleSize(TMessage& Message);
  void HandleNcPaint(TMessage& Message);
  void HandleCommand(TMessage& Message);
  void AdoptChildrenOnce();
  void SysCommandTail(TMessage& Message);
  HBRUSH DialogBrush();
  TColor FBrushColor = clNone;
  HBRUSH FBrush = nullptr;  // the one WM_CTLCOLORDLG brush, made again only when the colour changes
  bool FButtonPressed = false;
};

// The dialog's children paint over this background: each direct visible child but group boxes and tab-stop
// statics is taken out of DC's clip.
void ExcludeChildWindows(HDC DC, HWND Parent);
// The message to each direct child of Wnd.
void BroadcastToChildren(HWND Wnd, TMessage& Message);
