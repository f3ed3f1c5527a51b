#pragma once
// Plain versions of the skinned labels: the framework's label, and the web label, whose click the
// form handles. They will be grown into the skinned labels later.
#include "framework/StdCtrls.h"

class TsLabel : public TLabel {
  DECLARE_CLASS(TsLabel, TLabel)
public:
  explicit TsLabel(TComponent* AOwner) : TLabel(AOwner) {}
};

class TsWebLabel : public TsLabel {
  DECLARE_CLASS(TsWebLabel, TsLabel)
public:
  explicit TsWebLabel(TComponent* AOwner) : TsLabel(AOwner) {}
};

void RegisterLabelClasses();
