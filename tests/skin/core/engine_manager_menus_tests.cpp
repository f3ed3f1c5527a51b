// The manager's menu painter (through the form skinning layer's table) and its events for that layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "engine_support.h"
#include "framework/TypInfo.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkFormServices.h"

using namespace engine_test;

namespace {

// A menu painter of the form skinning layer, as far as the manager sees it: what was done to whom.
struct PainterLog {
  std::vector<std::string> calls;
  TsSkinManager* createdFor = nullptr;
};
PainterLog* g_log = nullptr;
int g_painterTag = 0;
TsSkinableMenus* ThePainter() { return reinterpret_cast<TsSkinableMenus*>(&g_painterTag); }

struct FakeMenuLayer {
  PainterLog log;
  TvkFormServices saved = FormServices;
  FakeMenuLayer() {
    g_log = &log;
    FormServices.CreateSkinableMenus = [](TsSkinManager* m) {
      g_log->createdFor = m;
      g_log->calls.push_back("create");
      return ThePainter();
    };
    FormServices.FreeSkinableMenus = [](TsSkinableMenus* p) { g_log->calls.push_back(p == ThePainter() ? "free" : "free?"); };
    FormServices.ResetMenuSectionIndex = [](TsSkinableMenus* p) { g_log->calls.push_back(p == ThePainter() ? "reset" : "reset?"); };
    FormServices.SyncMenusActive = [](TsSkinableMenus* p) { g_log->calls.push_back(p == ThePainter() ? "sync" : "sync?"); };
    FormServices.ApplyToAllMenus = [](TsSkinableMenus* p, bool on) {
      g_log->calls.push_back(std::string(p == ThePainter() ? "all " : "all? ") + (on ? "on" : "off"));
    };
  }
  ~FakeMenuLayer() {
    FormServices = saved;
    g_log = nullptr;
  }
  size_t Count(const std::string& call) const { return static_cast<size_t>(std::count(log.calls.begin(), log.calls.end(), call)); }
};

}  // namespace

TEST(ManagerMenus, ThePainterIsCreatedOwnedAndResetWhenASkinIsApplied) {
  BoxRecorder boxes;
  FakeMenuLayer layer;
  {
    ManagerPtr m(Create<TsSkinManager>(nullptr));
    EXPECT_EQ(m->SkinableMenus(), ThePainter());
    EXPECT_EQ(layer.log.createdFor, m.get());
    m->SetSkinDirectory(SkinBuildFolder());
    m->SetSkinName("TIDE");
    ASSERT_TRUE(m->SkinData().Active);
    EXPECT_EQ(layer.Count("reset"), 1u);  // the painter's section index is read afresh from the new skin
    EXPECT_GE(layer.Count("sync"), 1u);   // the repaint after the change refreshes the menus
    m->ReloadSkin();
    EXPECT_EQ(layer.Count("reset"), 2u);
    EXPECT_EQ(layer.Count("free"), 0u);
  }
  EXPECT_EQ(layer.Count("free"), 1u);
  EXPECT_EQ(layer.Count("free?") + layer.Count("reset?") + layer.Count("sync?"), 0u);
}

TEST(ManagerMenus, SkinnedPopupsOfTheDefaultManagerDriveThePainter) {
  FakeMenuLayer layer;
  ManagerPtr first(Create<TsSkinManager>(nullptr));
  ManagerPtr second(Create<TsSkinManager>(nullptr));
  ASSERT_TRUE(first->IsDefault());
  layer.log.calls.clear();
  first->SetSkinnedPopups(false);
  first->SetSkinnedPopups(true);
  EXPECT_EQ(layer.log.calls, (std::vector<std::string>{"all off", "sync"}));
  layer.log.calls.clear();
  second->SetSkinnedPopups(false);  // not the default manager: its menus are left alone
  EXPECT_TRUE(layer.log.calls.empty());
}

TEST(ManagerMenus, WithoutTheFormLayerThereIsNoPainterAndNothingFails) {
  BoxRecorder boxes;
  const TvkFormServices saved = FormServices;
  FormServices = TvkFormServices{};
  ManagerPtr m(Create<TsSkinManager>(nullptr));
  EXPECT_EQ(m->SkinableMenus(), nullptr);
  m->SetSkinnedPopups(false);
  m->SetSkinDirectory(SkinBuildFolder());
  m->SetSkinName("TIDE");
  EXPECT_TRUE(m->SkinData().Active);
  m.reset();
  FormServices = saved;
}

// Nothing here fires these events: the form skinning layer does, through the published members.
TEST(ManagerMenus, TheLayersEventsArePublished) {
  ManagerPtr m(Create<TsSkinManager>(nullptr));
  for (const char* name : {"OnGetMenuExtraLineData", "OnGetPopupItemData", "OnSysDlgInit"}) {
    const TPropInfo* p = GetPropInfo(m.get(), name);
    ASSERT_NE(p, nullptr) << name;
    EXPECT_EQ(p->kind, TPropKind::Method) << name;
  }
}
