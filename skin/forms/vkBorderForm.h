// The extended border of a skinned form or dialog: a borderless layered window under the owner window, larger
// than it by the skin's extended-border margins, that shows the owner's frame cache with the skin's outer border
// and shadow. The owner's own window is cut to its inner part. The layered window hit-tests the frame itself,
// lets clicks on the transparent shadow fall through, and hands non-client mouse messages to the owner window
// with its own hit-test code.
#pragma once
#include <windows.h>

#include "framework/Classes.h"
#include "framework/Controls.h"

class TsSkinProvider;
class TvkDialogWnd;
class TvkGlowForm;
class TsCommonData;
class TsSkinManager;
class TBitmap;

class TvkBorderForm : public TPersistent {
  DECLARE_CLASS(TvkBorderForm, TPersistent)
public:
  explicit TvkBorderForm(TsSkinProvider* Owner);
  explicit TvkBorderForm(TvkDialogWnd* Owner);
  ~TvkBorderForm() override;

  TvkGlowForm* CreateBorderWindow();
  void UpdateBorderWindow(bool Repaint, uint8_t Alpha);
  // The border window's region (the caller owns it); 0 without a border window. A size given is the one the
  // owner window is about to take (0: its present one).
  HRGN BuildRegion(int OwnerWidth = 0, int OwnerHeight = 0);
  // A border window moved or sized by others (the system, another program) goes back to its provider's form,
  // painted anew.
  void ResyncProviderAfterForeignMove(const WINDOWPOS* WP);
  int GetTopIndent();
  int GetLeftIndent();
  void PaintOwnerFrame();
  void ApplyRegion();
  // The hit-test code of a screen point (-1: transparent).
  int HitTest(POINT Screen);
  // The title element under a point of the border window: its hit code, 0 for none.
  int TitleButtonAt(POINT P);
  // P (border-window coordinates) lies in the square between the form's two shown skinned scroll bars.
  bool InScrollBarCorner(POINT P);
  // The system cursor for a hit code; False when the code sets none.
  bool SetCursorFor(int Code);
  // The point of a mouse message lies on the transparent shadow (the message falls through).
  bool IsOutsideFrame(const TMessage& Message);
  void BorderWindowProc(TMessage& Message);

  // ---- owner queries ----
  HWND OwnerWindow() const;
  int OwnerCaptionHeight(bool UseSkin) const;
  int OwnerMenuLineHeight() const;
  uint32_t OwnerState() const;
  void SetOwnerState(uint32_t Flags);
  TRect OwnerClientRect() const;  // border-window coordinates
  // What of the owner shows through the border window: its client, with a provider's skinned scroll bars beside
  // it and the lines of a wrapped menu bar above its first.
  TRect ClientHole() const;
  TRect Margins() const;
  TsSkinManager* Manager() const;
  bool OwnerZoomed() const;

  static constexpr POINT kIdlePos{-9999, -9999};
  POINT LastPos = kIdlePos;
  bool Moving = false;
  bool Initialized = false;
  bool InHoleUpdate = false;
  bool CutAtWorkArea = false;
  TsSkinProvider* Provider = nullptr;
  TvkDialogWnd* Dialog = nullptr;
  bool CaptionPressed = false;
  bool Updating = false;
  bool RegionChanged = false;
  TvkGlowForm* BorderWindow = nullptr;
  TWndMethod OldWindowMethod;
  HWND SavedParent = nullptr;
  TsCommonData* SkinData = nullptr;
  bool ShapeSet = false;

private:
  void Init();
  void SendToOwner(UINT Msg, WPARAM Code, LPARAM LParam);
  void DoubleClick(int Code);
  void TitleBarItemDoubleClick(int Index);
  void RestoreFromCaptionDrag();
  // The pointer at screen point S with the maximised owner's caption pressed: 6 pixels off the press restore the
  // owner and hand the drag on.
  void DragPressedCaption(TPoint S);
  // The button let go (screen point): the press ends and the owner is told.
  void EndCaptionPress(LPARAM ScreenPoint);
  // The owner's hot title element (-1 / 0: none).
  void SetOwnerHot(int Code);
  bool HideMainForm();
  void SnapWhileDragged(WINDOWPOS* WP);
  // A dialog in a blended drag: its frame cache copied onto its own window (the border window stays put).
  void PaintDialogWindow(HWND W);
  // The form's whole picture (frame, client, controls) into the frame cache, unless it is there already.
  void TakeWholeFormPicture();
  TBitmap* WholePicture = nullptr;  // the cache bitmap TakeWholeFormPicture made (compared, never freed here)
  int WholePicturePaints = -1;      // the provider's frame paints when it was made
  void KeepUnderStayOnTopForm();
};

// The extended border image drawn into the margins Mg of a cache whose inner part the owner painted
// (nearest-pixel nine-part copy with the image's own alpha, its key pixels fully transparent); the inner part is
// made opaque.
void PaintExtendedBorderInto(TBitmap* Cache, TBitmap* Border, const TRect& Mg);

// A hit code the border window makes hot: the system title buttons, the provider's user buttons (1000 + i) and
// the title-bar items (2000 to 2255).
bool IsTitleElementCode(TsSkinProvider* Provider, int Code);

// Services of the border form for the provider and the engine, filled when the form effects start.
void InstallBorderFormParts();
void RemoveBorderFormParts();
