#pragma once
// Plain version of a skinned control's skin state: only the section name the stored forms give
// ("PANEL", "BAR", "BUTTON_HUGE", ...), kept upper-case. The controls will carry the full per-control
// skin state once the skin engine's is in place.
#include "framework/Classes.h"

class TsPlainSkinData : public TPersistent {
  DECLARE_CLASS(TsPlainSkinData, TPersistent)
public:
  TsPlainSkinData() = default;
  const std::string& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& Value);

private:
  std::string FSkinSection;
};
