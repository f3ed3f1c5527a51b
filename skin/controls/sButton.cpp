#include "skin/controls/sButton.h"

#include "framework/TypInfo.h"

PUBLISHED(TsButton) { p.Object("SkinData", &TsButton::SkinData); }

TsButton::TsButton(TComponent* AOwner) : TButton(AOwner), FSkinData(new TsPlainSkinData()) {}

TsButton::~TsButton() { FSkinData->Free(); }

void RegisterTsButtonClass() { RegisterClasses({TsPlainSkinData::StaticClassInfo(), TsButton::StaticClassInfo()}); }
