#include "skin/controls/sPlainSkinData.h"

#include "framework/SysUtils.h"
#include "framework/TypInfo.h"

PUBLISHED(TsPlainSkinData) { p.Str("SkinSection", &TsPlainSkinData::SkinSection, &TsPlainSkinData::SetSkinSection); }

void TsPlainSkinData::SetSkinSection(const std::string& Value) { FSkinSection = UpperCase(Value); }
