#include "skin/controls/sPanel.h"

#include "framework/TypInfo.h"

PUBLISHED(TsPanel) { p.Object("SkinData", &TsPanel::SkinData); }

TsPanel::TsPanel(TComponent* AOwner) : TPanel(AOwner), FSkinData(new TsPlainSkinData()) {}

TsPanel::~TsPanel() { FSkinData->Free(); }

void RegisterTsPanelClass() { RegisterClasses({TsPlainSkinData::StaticClassInfo(), TsPanel::StaticClassInfo()}); }
