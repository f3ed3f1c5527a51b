#pragma once
// Plain version of the gauge: a horizontal bar with the percentage and a suffix, drawn without a
// skin. Range and position are 64-bit; the position is clamped into the range, and the bar repaints
// only when the shown percentage changes. It will be grown into the skinned gauge later.
#include "framework/Controls.h"
#include "skin/controls/sPlainSkinData.h"

enum TsGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };

class TsGauge : public TGraphicControl {
  DECLARE_CLASS(TsGauge, TGraphicControl)
public:
  explicit TsGauge(TComponent* AOwner);
  ~TsGauge() override;

  TsGaugeKind Kind() const { return FKind; }
  void SetKind(TsGaugeKind Value);
  TColor BackColor() const { return FBackColor; }
  void SetBackColor(TColor Value);
  TColor ForeColor() const { return FForeColor; }
  void SetForeColor(TColor Value);
  bool ShowText() const { return FShowText; }
  void SetShowText(bool Value);
  bool CalcPercents() const { return FCalcPercents; }
  void SetCalcPercents(bool Value);
  const std::string& Suffix() const { return FSuffix; }
  void SetSuffix(const std::string& Value);
  int64_t MinValue() const { return FMinValue; }
  void SetMinValue(int64_t Value);
  int64_t MaxValue() const { return FMaxValue; }
  void SetMaxValue(int64_t Value);
  int64_t Progress() const { return FProgress; }
  void SetProgress(int64_t Value);
  TsPlainSkinData* SkinData() const { return FSkinData; }

  // The shown percentage: 0 for an empty range.
  int PercentDone() const;
  // Repaints asked for by range and position changes (the economy the gauge keeps).
  int RepaintCount() const { return FRepaintCount; }

  TNotifyEvent OnChange;

protected:
  void Paint() override;

private:
  void Changed();
  TsGaugeKind FKind = gkHorizontalBar;
  TColor FBackColor = clWhite;
  TColor FForeColor = clBlack;
  bool FShowText = true;
  bool FCalcPercents = true;
  std::string FSuffix = "%";
  int64_t FMinValue = 0;
  int64_t FMaxValue = 100;
  int64_t FProgress = 0;
  int FRepaintCount = 0;
  TsPlainSkinData* FSkinData;
};

void RegisterGaugeClasses();
