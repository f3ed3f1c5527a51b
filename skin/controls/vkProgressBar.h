#pragma once
// Plain version of the skinned progress bar: the framework's progress bar with the skin section the stored
// forms give it. It will be grown into the skinned control later.
#include "framework/ComCtrls.h"
#include "skin/controls/sPlainSkinData.h"

class TsProgressBar : public TProgressBar {
  DECLARE_CLASS(TsProgressBar, TProgressBar)
public:
  explicit TsProgressBar(TComponent* AOwner);
  ~TsProgressBar() override;
  TsPlainSkinData* SkinData() const { return FSkinData; }

private:
  TsPlainSkinData* FSkinData;
};

void RegisterTsProgressBarClass();
