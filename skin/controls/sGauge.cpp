#include "skin/controls/sGauge.h"

#include "framework/SysUtils.h"
#include "framework/TypInfo.h"

#include <algorithm>
#include <cmath>

PUBLISHED(TsGauge) {
  p.Enum("Kind", &TsGauge::Kind, &TsGauge::SetKind, {"gkText", "gkHorizontalBar", "gkVerticalBar", "gkPie", "gkNeedle"});
  p.Color("BackColor", &TsGauge::BackColor, &TsGauge::SetBackColor);
  p.Color("ForeColor", &TsGauge::ForeColor, &TsGauge::SetForeColor);
  p.Bool("ShowText", &TsGauge::ShowText, &TsGauge::SetShowText);
  p.Bool("CalcPercents", &TsGauge::CalcPercents, &TsGauge::SetCalcPercents);
  p.Str("Suffix", &TsGauge::Suffix, &TsGauge::SetSuffix);
  p.Int64("MinValue", &TsGauge::MinValue, &TsGauge::SetMinValue);
  p.Int64("MaxValue", &TsGauge::MaxValue, &TsGauge::SetMaxValue);
  p.Int64("Progress", &TsGauge::Progress, &TsGauge::SetProgress);
  p.Object("SkinData", &TsGauge::SkinData);
  p.Event("OnChange", &TsGauge::OnChange);
}

TsGauge::TsGauge(TComponent* AOwner) : TGraphicControl(AOwner), FSkinData(new TsPlainSkinData()) {
  FControlStyle += csOpaque;
  SetBounds(FLeft, FTop, 120, 30);
}

TsGauge::~TsGauge() { FSkinData->Free(); }

int TsGauge::PercentDone() const {
  if (FMaxValue == FMinValue) return 0;
  return static_cast<int>(Round(100.0 / static_cast<double>(FMaxValue - FMinValue) * static_cast<double>(FProgress - FMinValue)));
}

void TsGauge::Changed() {
  ++FRepaintCount;
  Invalidate();
}

void TsGauge::SetKind(TsGaugeKind Value) {
  if (Value != FKind) { FKind = Value; Changed(); }
}
void TsGauge::SetBackColor(TColor Value) {
  if (Value != FBackColor) { FBackColor = Value; Changed(); }
}
void TsGauge::SetForeColor(TColor Value) {
  if (Value != FForeColor) { FForeColor = Value; Changed(); }
}
void TsGauge::SetShowText(bool Value) {
  if (Value != FShowText) { FShowText = Value; Changed(); }
}
void TsGauge::SetCalcPercents(bool Value) {
  if (Value != FCalcPercents) { FCalcPercents = Value; Changed(); }
}
void TsGauge::SetSuffix(const std::string& Value) {
  if (Value != FSuffix) { FSuffix = Value; Changed(); }
}

void TsGauge::SetMinValue(int64_t Value) {
  if (Value == FMinValue) return;
  if (Value > FMaxValue && !ComponentState().Contains(csLoading))
    throw EInvalidOperation(Format("Value must be between %d and %d", {-2147483647, FMaxValue - 1}));
  FMinValue = Value;
  if (FProgress < Value) FProgress = Value;
  Changed();
}

void TsGauge::SetMaxValue(int64_t Value) {
  if (Value == FMaxValue) return;
  if (Value < FMinValue && !ComponentState().Contains(csLoading))
    throw EInvalidOperation(Format("Value must be between %d and %d", {FMinValue + 1, 2147483647}));
  FMaxValue = Value;
  if (FProgress > Value) FProgress = Value;
  Changed();
}

void TsGauge::SetProgress(int64_t Value) {
  // The clamp works on 32-bit values, as the stored forms and callers expect.
  const int32_t low = static_cast<int32_t>(FMinValue), high = static_cast<int32_t>(FMaxValue);
  int32_t v = static_cast<int32_t>(Value);
  v = std::max(v, low);
  v = std::min(v, high);
  if (v == FProgress) return;
  const int before = PercentDone();
  FProgress = v;
  if (PercentDone() != before) Changed();
  if (OnChange) OnChange(this);
}

void TsGauge::Paint() {
  TCanvas* canvas = Canvas();
  const TRect all{0, 0, Width(), Height()};
  canvas->Brush()->SetColor(clBlack);
  canvas->FillRect(all);
  const TRect inner{1, 1, std::max(1, Width() - 1), std::max(1, Height() - 1)};
  canvas->Brush()->SetColor(FBackColor);
  canvas->FillRect(inner);
  const int size = inner.Right - inner.Left;
  const int filled = std::min<int>(size, static_cast<int>(Round(size * (PercentDone() * 0.01))));
  if (FKind != gkText && filled > 0) {
    canvas->Brush()->SetColor(FForeColor);
    canvas->FillRect(TRect{inner.Left, inner.Top, inner.Left + filled, inner.Bottom});
  }
  if (FShowText) {
    const std::string text = IntToStr(FCalcPercents ? PercentDone() : FProgress) + FSuffix;
    canvas->Font()->Assign(Font());
    canvas->Font()->SetColor(clGray);
    canvas->Brush()->SetStyle(bsClear);
    const TSize extent = canvas->TextExtent(text);
    canvas->TextOut((Width() - extent.cx) / 2, (Height() - extent.cy) / 2, text);
  }
}

void RegisterGaugeClasses() { RegisterClasses({TsPlainSkinData::StaticClassInfo(), TsGauge::StaticClassInfo()}); }
