// Stand-alone scroll bar controls painted from the same elements as the skinned non-client bars. The control
// keeps its own window and mouse handling; the adapter keeps a copy of range and position and the part states.
#pragma once
#include "skin/adapters/vkMainWnd.h"

// Geometry of a bar along its length (horizontal: x; vertical: y).
struct TvkSBGeometry {
  int Length = 0;  // of the whole control
  int Arrow = 0;
  int ThumbStart = 0;
  int ThumbLength = 0;
};
// Arrows of ArrowSize (at most half the control), the thumb from the page (16 at least) and the shown position.
TvkSBGeometry SBControlGeometry(int Length, int ArrowSize, int Min, int Max, int Page, int ShownPos);
// The position value at Coord along the bar (the geometry's inverse); Min when the track is no longer than the
// thumb.
int SBControlPositionAt(const TvkSBGeometry& G, int Coord, int Min, int Max, int Page);

class TvkSBWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkSBWnd, TvkMainWnd)
public:
  // Part codes of PressedPart.
  enum { spFirstArrow = 0, spSecondArrow = 1, spTrackBefore = 2, spTrackAfter = 3, spReleasing = 4, spThumb = 5,
         spReleased = 8 };

  void FinishCreation() override;
  void WndProc(TMessage& Message) override;

  void SetPartState(int Part, int State);
  void MouseDown(TPoint P);
  void MouseUp(TPoint P);
  void HoverAndDrag(TPoint ScreenPoint);
  int PositionAt(TPoint P);
  void TakeScrollInfo(const SCROLLINFO& SI);
  void CalcParts();
  bool Vertical() const;

  int ShownPos = 0;
  int TrackBeforeState = 0, TrackAfterState = 0, FirstArrowState = 0, SecondArrowState = 0, ThumbState = 0;
  int SBMin = 0, SBMax = 0, SBPage = 0, SBPos = 0;
  TRect FirstArrowRect, SecondArrowRect, TrackBeforeRect, TrackAfterRect, ThumbRect;
  TWinControl* ScrollBar = nullptr;  // the framework control (its Min, Max, Position and PageSize by name)
  bool RedrawFixed = false;
  int RedrawLocks = 0;
  int DragOffset = 0;
  int PressedPart = 0;

private:
  void RepaintParts();
  void CommonTail(TMessage& Message);
  void SilentUpdate(TMessage& Message);
  void PaintControl(TMessage& Message);
  void WriteBackRange(int NewMin, int NewMax, int NewPage);
  bool IsSquare() const;
  bool ControlVisible() const;
  int ControlPosition() const;
  void SetControlPosition(int Value);
  // The position a thumb drag shows now: the system's tracking position, inside the range.
  int TrackPosition() const;
  // Redraw on again: one WM_SETREDRAW 1 per lock held (at most that many, also while RedrawFixed keeps the count).
  void UnlockRedraw();
  // Redraw off again until Locks locks are held; once while RedrawFixed keeps the count.
  void RelockRedraw(int Locks);
  bool FWritingBack = false;  // the control's own SBM_SETSCROLLINFO while the range is written back
};
