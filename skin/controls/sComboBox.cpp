#include "skin/controls/sComboBox.h"

#include "framework/TypInfo.h"

PUBLISHED(TsComboBox) { p.Object("SkinData", &TsComboBox::SkinData); }

TsComboBox::TsComboBox(TComponent* AOwner) : TComboBox(AOwner), FSkinData(new TsPlainSkinData()) {}

TsComboBox::~TsComboBox() { FSkinData->Free(); }

void RegisterTsComboBoxClass() { RegisterClasses({TsPlainSkinData::StaticClassInfo(), TsComboBox::StaticClassInfo()}); }
