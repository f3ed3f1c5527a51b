// Track bar windows painted from the skin's "TRACKBAR" section: channel, ticks and thumb.
#pragma once
#include <vector>

#include "skin/adapters/vkMainWnd.h"

class TBitmap;

class TvkTrackWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkTrackWnd, TvkMainWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;
  void PaintTrack(TMessage& Message);

  int TickSize = 4;      // length of a drawn tick
  bool Pressed = false;  // the left button is down on the bar (the thumb's state)
  double TickStep = 0;   // distance between automatic ticks

private:
  void PaintChannel(TBitmap* Cache, const TRect& Channel, bool Vertical);
  void PaintTicks(TBitmap* Cache, const TRect& Channel, const TRect& Thumb, bool Vertical);
  void PaintThumb(TBitmap* Cache, const TRect& Thumb, bool Vertical);
};

// Tick positions along the channel: one tick at the first place for a single tick, none for none (a single tick
// has no step to divide by).
std::vector<int> TrackTickOffsets(int Count, int ChannelStart, int ChannelLength, int ThumbLength, double& Step);
