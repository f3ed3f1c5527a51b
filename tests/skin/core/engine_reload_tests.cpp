// The manager's loading flag, the setters that read the skin again without changing it, switching off on
// destruction, and resizing a control to a new scale.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine_support.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/ToolkitStartup.h"

using namespace engine_test;

namespace {

// Restores the services table whatever a test left in it.
struct ServicesGuard {
  TvkSkinServices saved = SkinServices();
  ~ServicesGuard() { SkinServices() = saved; }
};

// A window registered with the skin list; counts the notices posted to it.
class ListWindow {
public:
  explicit ListWindow(TsSkinManager* m) : m_(m) {
    wnd_ = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    m->SkinListController()->RegisterControl(wnd_);
  }
  ~ListWindow() {
    if (m_) m_->SkinListController()->UnregisterControl(wnd_);
    DestroyWindow(wnd_);
  }
  void Forget() { m_ = nullptr; }
  int Notices() {
    int n = 0;
    MSG msg;
    while (PeekMessageA(&msg, wnd_, SM_VKCMD, SM_VKCMD, PM_REMOVE))
      if (HIWORD(msg.wParam) == VKCMD_ACTIVE_SKIN_CHANGED) ++n;
    return n;
  }

private:
  TsSkinManager* m_;
  HWND wnd_;
};

class Reload : public ::testing::Test {
protected:
  TempFolder dir;
  BoxRecorder boxes;
  ServicesGuard services;
  std::vector<std::string> events;
  void SetUp() override {
    ToolkitStartup();  // binds the layered-window functions extended borders need
    WriteFileText(dir.Sub("F") + "Options.dat", "[GLOBALINFO]\nVERSION=10.25\n[BUTTON]\nCOLOR=4227200\n");
  }
  ManagerPtr Make() {
    ManagerPtr m(Create<TsSkinManager>(nullptr));
    m->SetSkinDirectory(dir.Path());
    m->OnBeforeChange = [this](TObject*) { events.push_back("before"); };
    m->OnSkinLoading = [this](TObject*) { events.push_back("loading"); };
    m->OnAfterChange = [this](TObject*) { events.push_back("after"); };
    return m;
  }
  static uint32_t ButtonColor(const TsSkinManager& m) { return m.gd()[m.FindSectionIndex("BUTTON")].Props[0].Color; }
};

}  // namespace

TEST_F(Reload, TheLoadingFlagLastsThroughApplicationAndActivation) {
  auto m = Make();
  std::vector<std::string> flags;
  auto note = [&](const char* what) { flags.push_back(what + std::string(TsSkinManager::SkinIsLoading() ? "+" : "-")); };
  SkinServices().PrepareFormsForChange = [&](TsSkinManager*) { note("apply"); };
  m->OnActivate = [&](TObject*) { note("activate"); };
  m->OnAfterChange = [&](TObject*) { note("after"); };
  m->SetSkinName("F");
  EXPECT_EQ(flags, (std::vector<std::string>{"apply+", "activate+", "after-"}));
  flags.clear();
  m->SetHueOffset(40);  // a reload holds it the same way
  EXPECT_EQ(flags, (std::vector<std::string>{"apply+", "after-"}));
  // a handler's exception is no fault of the skin: it reaches the caller with the skin read applied
  m->OnSkinLoading = [](TObject*) { throw Exception("handler failed"); };
  EXPECT_THROW(m->SetSkinName("F"), Exception);
  EXPECT_THROW(m->SetHueOffset(90), Exception);
  EXPECT_TRUE(m->SkinData().Active && boxes.texts.empty());
  EXPECT_FALSE(TsSkinManager::SkinIsLoading());
}

TEST_F(Reload, SettersReadTheSameSkinAgainWithoutAChangeOfSkin) {
  struct Case {
    const char* name;
    std::function<void(TsSkinManager*)> set;
    std::vector<std::string> events;
  } cases[] = {
      {"saturation", [](TsSkinManager* m) { m->SetSaturation(-50); }, {"loading", "after"}},
      {"hue", [](TsSkinManager* m) { m->SetHueOffset(90); }, {"loading", "after"}},
      {"brightness", [](TsSkinManager* m) { m->SetBrightness(30); }, {"loading", "after"}},
      {"common sections", [](TsSkinManager* m) { m->CommonSections()->SetText("[EXTRA]\nCOLOR=1\n"); },
       {"loading", "after"}},
      {"extended borders", [](TsSkinManager* m) { m->SetExtendedBorders(false); }, {"loading"}},
      {"scale", [](TsSkinManager* m) { m->Options()->SetScaleMode(sm125); }, {"loading"}},
  };
  for (const Case& c : cases) {
    auto m = Make();
    m->SetExtendedBorders(true);  // the skin-change animation starts only with extended borders
    m->SetSkinName("F");
    int animations = 0;
    SkinServices().StartSkinChangeAnimation = [&](TsSkinManager*) { ++animations; };
    ListWindow list(m.get());
    events.clear();
    c.set(m.get());
    EXPECT_EQ(events, c.events) << c.name;
    EXPECT_EQ(animations, 0) << c.name;
    EXPECT_EQ(list.Notices(), 0) << c.name;
    EXPECT_TRUE(m->SkinData().Active) << c.name;
    EXPECT_EQ(m->SkinName(), "F") << c.name;
    m->SetSkinName("F");  // a change of skin does all three
    EXPECT_EQ(animations, m->ExtendedBorders() ? 1 : 0) << c.name;
    EXPECT_EQ(list.Notices(), 1) << c.name;
  }
}

TEST_F(Reload, AnAdjustmentReloadsALoadedSkinThatAnUpdateHoldsBack) {
  auto m = Make();
  m->SetSkinName("F");
  const uint32_t plain = ButtonColor(*m);
  m->BeginUpdate();
  m->SetActive(false);
  m->SetActive(true);  // loaded, not applied
  ASSERT_FALSE(m->SkinData().Active);
  events.clear();
  m->SetSaturation(-100);
  EXPECT_EQ(events, std::vector<std::string>{"loading"});  // no "after" during an update
  EXPECT_FALSE(m->SkinData().Active) << "read, applied only when the update ends";
  const uint32_t grey = ButtonColor(*m);
  EXPECT_NE(grey, plain);
  EXPECT_EQ(grey & 0xFF, (grey >> 8) & 0xFF);
  m->EndUpdate(true, false);
  EXPECT_TRUE(m->SkinData().Active);
  EXPECT_EQ(ButtonColor(*m), grey);
  SkinServices().PrepareFormsForChange = [](TsSkinManager*) { throw Exception("forms failed"); };
  EXPECT_THROW(m->EndUpdate(true, false), Exception);
  EXPECT_TRUE(m->AnimEffects()->SkinChanging()->Active()) << "kept by an application that raised";
}

TEST_F(Reload, AnAdjustmentBeforeAnySkinWaitsForTheSkin) {
  auto m = Make();
  m->SetSaturation(-100);  // nothing loaded yet: nothing to read again
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(m->Active());
  m->SetSkinName("F");
  ASSERT_TRUE(m->SkinData().Active);
  const uint32_t c = ButtonColor(*m);
  EXPECT_EQ(c & 0xFF, (c >> 16) & 0xFF);
}

TEST_F(Reload, DestructionSwitchesTheSkinOffAsAUserWould) {
  auto m = Make();
  m->SetSkinName("F");
  ListWindow list(m.get());
  list.Notices();
  int deactivated = 0;
  m->OnDeactivate = [&](TObject*) { ++deactivated; };
  m.reset();
  list.Forget();
  EXPECT_EQ(deactivated, 1);
  EXPECT_EQ(list.Notices(), 1);
}

namespace {
std::string Box(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// A panel that keeps its scale as a skinned control does (commands 0x45 and 0x44) and notes what held while
// it was told the new one.
struct ScaledPanel {
  TPanel* panel;
  TsSkinManager* manager;
  int percent = 0;  // 0: silent, as an unskinned control
  int told = 0;
  bool visibleWhenTold = true, animationWhenTold = true;
  int widthWhenTold = 0;
  TWndMethod inherited;
  ScaledPanel(TWinControl* parent, TsSkinManager* m) : panel(new TPanel(parent)), manager(m) {
    panel->SetParent(parent);
    inherited = panel->WindowProc;
    panel->WindowProc = TWndMethod::FromFunction([this](TMessage& msg) {
      if (msg.Msg == SM_VKCMD && HIWORD(msg.WParam) == VKCMD_QUERY_SCALE) {
        msg.Result = percent;
        return;
      }
      if (msg.Msg == SM_VKCMD && HIWORD(msg.WParam) == VKCMD_SET_SCALE) {
        ++told;
        percent = static_cast<int>(msg.LParam);
        visibleWhenTold = IsWindowVisible(panel->Handle()) != 0;
        animationWhenTold = manager->Effects()->AllowAnimation();
        widthWhenTold = panel->Width();
      }
      inherited(msg);
    });
  }
};
}  // namespace

TEST_F(Reload, RescaleControlScalesTheControlAndTellsItItsPercentage) {
  InitializeForms();
  auto m = Make();
  m->Options()->SetScaleMode(sm150);
  TForm* form = TForm::CreateNew(Application);
  form->SetBounds(0, 0, 400, 300);
  ScaledPanel p(form, m.get());
  p.panel->SetBounds(10, 20, 100, 50);
  p.panel->Font()->SetHeight(-12);
  auto* inner = new TPanel(form);
  inner->SetParent(p.panel);
  inner->SetAlign(alLeft);
  form->Show();

  m->RescaleControl(p.panel, 150);  // silent, taken to be at 150 already: nothing to do
  EXPECT_EQ(p.told, 0);
  EXPECT_EQ(p.panel->Width(), 100);

  m->RescaleControl(p.panel, 100);
  EXPECT_EQ(p.told, 1);
  EXPECT_EQ(p.percent, 150);
  EXPECT_FALSE(p.visibleWhenTold);    // hidden during the change
  EXPECT_FALSE(p.animationWhenTold);  // and no animation meanwhile
  EXPECT_EQ(p.widthWhenTold, 150);    // told after its new bounds
  EXPECT_TRUE(IsWindowVisible(p.panel->Handle()));
  EXPECT_TRUE(m->Effects()->AllowAnimation());
  EXPECT_EQ(Box(p.panel->BoundsRect()), "10,20,160,95");  // in place, MulDiv(size, 150, 100)
  EXPECT_EQ(p.panel->Font()->Height(), -18);               // its own scaling
  const int innerTop = inner->Top();
  p.panel->SetHeight(120);  // alignment works again afterwards
  EXPECT_EQ(inner->Height(), 120 - 2 * innerTop);

  m->Options()->SetScaleMode(sm100);
  m->RescaleControl(p.panel, 100);  // it answers 150 now: back down
  EXPECT_EQ(p.told, 2);
  EXPECT_EQ(Box(p.panel->BoundsRect()), "10,20,110,100");
  form->Free();
}

TEST_F(Reload, AScaleChangeReportsAFormThatFailedAndGivesTheKeyboardBack) {
  InitializeForms();
  auto m = Make();
  TForm* form = TForm::CreateNew(Application);
  // a skinned form to the walk, which raises when it is told its new scale
  form->WindowProc = TWndMethod::FromFunction([own = form->WindowProc](TMessage& msg) {
    const WORD cmd = msg.Msg == SM_VKCMD ? HIWORD(msg.WParam) : 0;
    if (cmd == VKCMD_SET_SCALE) throw Exception("scale refused");
    own(msg);
    if (cmd == VKCMD_QUERY_FORM_SKINNER) msg.Result = 1;
  });
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  form->Show();
  edit->SetFocus();
  std::string reported;
  Platform().ExceptionSink = [&](const std::exception& e) { reported += e.what(); };
  m->Options()->SetScaleMode(sm150);
  EXPECT_EQ(reported, "scale refused");  // to the application's handler, and the program goes on
  EXPECT_EQ(GetActiveWindow(), form->Handle());
  EXPECT_EQ(GetFocus(), edit->Handle());
}
