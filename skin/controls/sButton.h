#pragma once
// Plain version of the skinned button: the framework's button with the skin section the stored
// forms give it. It will be grown into the skinned control later.
#include "framework/StdCtrls.h"
#include "skin/controls/sPlainSkinData.h"

class TsButton : public TButton {
  DECLARE_CLASS(TsButton, TButton)
public:
  explicit TsButton(TComponent* AOwner);
  ~TsButton() override;
  TsPlainSkinData* SkinData() const { return FSkinData; }

private:
  TsPlainSkinData* FSkinData;
};

void RegisterTsButtonClass();
