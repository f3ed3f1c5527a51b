#pragma once
// Common controls: the progress bar.

#include "framework/Controls.h"

enum TProgressBarOrientation { pbHorizontal, pbVertical };

class TProgressBar : public TWinControl {
  DECLARE_CLASS(TProgressBar, TWinControl)
public:
  explicit TProgressBar(TComponent* AOwner);

  int Min() const { return FMin; }
  // Raises EInvalidOperation when Min would exceed Max.
  void SetMin(int Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  // Kept inside Min..Max.
  int Position();
  void SetPosition(int Value);
  TProgressBarOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TProgressBarOrientation Value);
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool Value);
  int Step() const { return FStep; }
  void SetStep(int Value) { FStep = Value; }
  void StepIt() { SetPosition(Position() + FStep); }

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;

  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
  int FStep = 10;
  TProgressBarOrientation FOrientation = pbHorizontal;
  bool FSmooth = false;
};
