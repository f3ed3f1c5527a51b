#pragma once
// Plain version of the skinned panel: the framework's panel with the skin section the stored
// forms give it. It will be grown into the skinned control later.
#include "framework/ExtCtrls.h"
#include "skin/controls/sPlainSkinData.h"

class TsPanel : public TPanel {
  DECLARE_CLASS(TsPanel, TPanel)
public:
  explicit TsPanel(TComponent* AOwner);
  ~TsPanel() override;
  TsPlainSkinData* SkinData() const { return FSkinData; }

private:
  TsPlainSkinData* FSkinData;
};

void RegisterTsPanelClass();
