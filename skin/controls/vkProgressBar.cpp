#include "skin/controls/vkProgressBar.h"

#include "framework/TypInfo.h"

PUBLISHED(TsProgressBar) { p.Object("SkinData", &TsProgressBar::SkinData); }

TsProgressBar::TsProgressBar(TComponent* AOwner) : TProgressBar(AOwner), FSkinData(new TsPlainSkinData()) {}

TsProgressBar::~TsProgressBar() { FSkinData->Free(); }

void RegisterTsProgressBarClass() { RegisterClasses({TsPlainSkinData::StaticClassInfo(), TsProgressBar::StaticClassInfo()}); }
