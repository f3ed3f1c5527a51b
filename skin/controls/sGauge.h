#pragma once
// A windowless progress gauge: drawn from the skin (a bar section with a filled part from a progress section
// and a moving highlight) or, without a skin, by itself as text, a horizontal or vertical bar, a pie or a
// needle. Range and position are 64-bit; the text is the percentage or the position with a suffix. It repaints
// only when the shown percentage changes.
#include <functional>
#include <string>

#include "framework/Controls.h"
#include "framework/ExtCtrls.h"
#include "skin/controls/sGaugeDraw.h"
#include "skin/core/sCommonData.h"

class TPNGGraphic;

// Sender and the text about to be drawn (may be changed).
using TPrintTextEvent = TDelegate<void(TObject* Sender, std::string& Text)>;

class TsGauge : public TGraphicControl {
  DECLARE_CLASS(TsGauge, TGraphicControl)
public:
  explicit TsGauge(TComponent* AOwner);
  ~TsGauge() override;
  void AfterConstruction() override;

  TsGaugeKind Kind() const { return FKind; }
  void SetKind(TsGaugeKind Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TColor BackColor() const { return FBackColor; }
  void SetBackColor(TColor Value);
  TColor ForeColor() const { return FForeColor; }
  void SetForeColor(TColor Value);
  bool Animated() const { return FAnimated; }
  void SetAnimated(bool Value);
  bool ShowText() const { return FShowText; }
  void SetShowText(bool Value);
  bool CalcPercents() const { return FCalcPercents; }
  void SetCalcPercents(bool Value);
  const std::string& Suffix() const { return FSuffix; }
  void SetSuffix(const std::string& Value);
  const std::string& ProgressSkin() const { return FProgressSkin; }
  void SetProgressSkin(const std::string& Value);
  // Index: 0 MinValue, 1 MaxValue, 2 Progress.
  int64_t Value(int Index) const { return Index == 0 ? FMinValue : Index == 1 ? FMaxValue : FProgress; }
  void SetValue(int Index, int64_t Value);
  int64_t MinValue() const { return FMinValue; }
  void SetMinValue(int64_t Value) { SetValue(0, Value); }
  int64_t MaxValue() const { return FMaxValue; }
  void SetMaxValue(int64_t Value) { SetValue(1, Value); }
  int64_t Progress() const { return FProgress; }
  void SetProgress(int64_t Value) { SetValue(2, Value); }
  TsCommonData* SkinData() const { return FSkinData; }

  // The shown percentage (0 for an empty range).
  int PercentDone() const { return GaugePercent(FMinValue, FMaxValue, FProgress); }
  // The text as drawn: the percentage or the position, the suffix, then OnPaintText.
  std::string GaugeText();
  // The moving highlight: its left edge along the bar, and one step of its timer.
  int HighlightPos() const { return FHighlightPos; }
  void HighlightTick();
  TTimer* AnimTimer() const { return FTimer; }

  void WndProc(TMessage& Message) override;

  TNotifyEvent OnChange;
  TPrintTextEvent OnPaintText;

protected:
  void Loaded() override;
  void Paint() override;

private:
  bool Vertical() const { return FKind == gkVerticalBar; }
  bool AnimationAllowed() const;
  bool HighlightOn() const { return FAnimated && AnimationAllowed(); }
  void StartTimerIfWanted();
  void DropHighlightCache();
  void Changed();
  void PaintUnskinned(HDC DC);
  void PaintSkinned(HDC DC);
  void BuildSkinnedImage(TBitmap* Bmp);
  void PaintFilledPart(TBitmap* Bmp, int Percent);
  TBitmap* HighlightImage(int Thickness);

  TsGaugeKind FKind = gkHorizontalBar;
  TBorderStyle FBorderStyle = bsSingle;
  TColor FBackColor = clWhite;
  TColor FForeColor = clBlack;
  bool FAnimated = true;
  bool FShowText = true;
  bool FCalcPercents = true;
  int64_t FMinValue = 0;
  int64_t FMaxValue = 100;
  int64_t FProgress = 0;
  std::string FProgressSkin;
  std::string FSuffix = "%";
  TsCommonData* FSkinData;
  TTimer* FTimer;
  int FHighlightPos = 9999;
  int FHighlightClock;
  TPNGGraphic* FGlowPicture = nullptr;  // "VKGL", decoded on first use
  TBitmap* FGlowImage = nullptr;        // the picture stretched to 300 x the bar's thickness
  TBitmap* FBarCache = nullptr;         // the progress section painted at the filled size
};

void RegisterGaugeClasses();
