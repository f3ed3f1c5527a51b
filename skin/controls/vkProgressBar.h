#pragma once
// The framework's progress bar painted from the skin: a background from its own section and the progress from a
// progress section, as one smooth piece, as chunks or as a moving marquee. Without a skin it is the system control.
#include <string>
#include <vector>

#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "skin/core/sCommonData.h"

enum TProgressBarStyle { pbstNormal, pbstMarquee };

// ---- geometry (rectangles in client coordinates) ----

// The client rectangle less 1 pixel and less the border width on every side.
TRect ProgressInnerRect(const TRect& Client, int BorderWidth);
// The filled part of a normal bar: Nearest((Position - Min) * length / (Max - Min)) from the start edge (left, or
// bottom when Vertical), all of it at Max; empty when Max equals Min.
TRect SmoothProgressRect(const TRect& Inner, bool Vertical, int Min, int Max, int Position);
// The shown chunks of a normal bar; nothing where no chunk fits.
std::vector<TRect> ProgressChunks(const TRect& Inner, bool Vertical, int Min, int Max, int Position);
// How many chunks of ProgressChunks are shown (the pieces filling the rest at Max not counted).
int ShownChunkCount(const TRect& Inner, bool Vertical, int Min, int Max, int Position);
// The marquee at Pos: a 40-pixel block when Smooth, else 5 chunks of 9 pixels, 1 apart, wrapping to the start.
std::vector<TRect> MarqueePieces(const TRect& Inner, bool Vertical, bool Smooth, int Pos);

class TsProgressBar : public TProgressBar {
  DECLARE_CLASS(TsProgressBar, TProgressBar)
public:
  explicit TsProgressBar(TComponent* AOwner);
  ~TsProgressBar() override;
  void AfterConstruction() override;

  const std::string& ProgressSkin() const { return FProgressSkin; }
  void SetProgressSkin(const std::string& Value);
  TsCommonData* SkinData() const { return FSkinData; }
  TProgressBarStyle Style() const { return FStyle; }
  void SetStyle(TProgressBarStyle Value);
  int MarqueeInterval() const { return FMarqueeInterval; }
  void SetMarqueeInterval(int Value);

  // One step of the marquee timer; its position in pixels.
  void MarqueeTick();
  double MarqueePos() const { return FMarqueePos; }
  TTimer* MarqueeTimer() const { return FTimer; }

  void WndProc(TMessage& Message) override;

protected:
  void Loaded() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  // Paints the background and the progress into the skin data's cache.
  virtual void BuildImage();

private:
  bool ThemedMarquee() const;
  bool Vertical() const { return Orientation() == pbVertical; }
  TRect Inner();
  void PaintTo(HDC DC);
  void SyncTimer();

  std::string FProgressSkin;
  TsCommonData* FSkinData;
  TProgressBarStyle FStyle = pbstNormal;
  int FMarqueeInterval = 10;
  int FMarqueeDirection = 1;
  int FMarqueeBlock = 40;
  int FMarqueeStep = 8;
  int FLastChunks = -1;  // chunks in the cached image; -1: rebuild
  TTimer* FTimer;
  double FMarqueePos = 0;
  int FSavedPosition = 0;
};

void RegisterTsProgressBarClass();
