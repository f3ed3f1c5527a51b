// A skin written as text into a scratch folder and loaded by a manager of its own, for the tests of how skin
// texts are read.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "engine_support.h"
#include "skin/core/sSkinManager.h"

namespace engine_test {

// A skin folder "T" with the text and a 64x64 master bitmap, grey unless drawn by `master`, whose top-left 2x2
// corner holds the key pixels.
struct SkinFixture {
  TempFolder dir;
  BoxRecorder boxes;
  ManagerPtr Load(const std::string& text, int scale = -1, const std::string& common = "",
                  std::function<uint32_t(int, int)> master = nullptr,
                  std::function<void(TsSkinManager*)> prepare = nullptr) {
    std::string skin = dir.Sub("T");
    WriteFileText(skin + "Options.dat", text);
    if (!master) master = [](int, int) { return 0x808080u; };
    WriteFileBytes(skin + "MASTER.BMP", MakeBmp(64, 64, [&](int x, int y) {
                     return (x < 2 && y < 2) ? 0xFF00FFu : master(x, y);
                   }));
    ManagerPtr m(Create<TsSkinManager>(nullptr));
    if (prepare) prepare(m.get());
    if (scale >= 0) m->Options()->SetScaleMode(static_cast<TvkScaleMode>(scale));
    if (!common.empty()) m->CommonSections()->SetText(common);
    m->SetSkinDirectory(dir.Path());
    m->SetSkinName("T");
    return m;
  }
  const TsGeneralData& Section(TsSkinManager* m, const std::string& name) {
    int i = m->FindSectionIndex(name);
    EXPECT_GE(i, 0) << name;
    return m->gd()[i < 0 ? 0 : i];
  }
};

}  // namespace engine_test
