#pragma once
// Plain version of the skinned combo box: the framework's combo box with the skin section the stored
// forms give it. It will be grown into the skinned control later.
#include "framework/StdCtrls.h"
#include "skin/controls/sPlainSkinData.h"

class TsComboBox : public TComboBox {
  DECLARE_CLASS(TsComboBox, TComboBox)
public:
  explicit TsComboBox(TComponent* AOwner);
  ~TsComboBox() override;
  TsPlainSkinData* SkinData() const { return FSkinData; }

private:
  TsPlainSkinData* FSkinData;
};

void RegisterTsComboBoxClass();
