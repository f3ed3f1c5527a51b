// The scroll adapter: a window adapter whose window's standard scroll bars are painted from the skin. Base of
// the edit-family, dialog, menu and scroll-box adapters.
#pragma once
#include "skin/adapters/vkMainWnd.h"
#include "skin/adapters/vkScrollBars.h"

struct TvkParentBgQuery;

class TvkScrollWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkScrollWnd, TvkMainWnd)
public:
  void MakeSkinData() override;
  void WndProc(TMessage& Message) override;

  // Frees both bars (their owner cleared first).
  void FreeBars();

  bool ThumbTracking = false;
  bool LeftScrollBar = false;
  bool CalcSizeDone = false;
  bool CalcSizeBusy = false;  // WM_NCCALCSIZE runs with the scroll styles removed
  TvkScrollBar* HorzBar = nullptr;
  TvkScrollBar* VertBar = nullptr;
  int FrameLeft = -1;  // non-client insets outside the bars; FrameLeft -1 until the first WM_NCCALCSIZE
  int FrameRight = 0;
  int FrameTop = 0;
  int FrameBottom = 0;

  // A drop-down list adapter keeps the capture while its list is open and may end a drag in its own way.
  virtual bool IsDropDownList() const { return false; }
  virtual bool DropDownListOpen() const { return false; }
  virtual bool DropDownDragMode() const { return false; }
  // A list view that draws its own border keeps the frame computed by the window.
  virtual bool DrawsOwnBorder() const { return false; }
  // Where a window that paints its own frame holds the picture behind a bar at R (window coordinates); False when
  // the bars lie on the parent's background.
  virtual bool OwnFrameBackground(const TRect&, TvkParentBgQuery&) { return false; }

protected:
  void ReturnWindow() override;
  void ReleaseOwnObjects() override;
  // A framework control that outlives the adapter; nil without one.
  TWinControl* SurvivingControl() const;
  void AttachToWindow(bool Repaint) override;
  // The skinned-state table of messages (the scroll bars and the commands).
  void SkinnedWndProc(TMessage& Message);
  void ScrollCommand(TMessage& Message);
  void PassOn(TMessage& Message) { Message.Result = ForwardToOldWndProc(CtrlHandle, Message.Msg, Message.WParam, Message.LParam); }
  void HandleScrollDestruction(TMessage& Message);
};

// The form skinner's entries of its form window's scroll adapter: made with the skinner's own skin data, freed,
// and asked for its bars and its kept frame.
void InstallFormScrollParts();
void RemoveFormScrollParts();
