// The application-window hook: editor preview blocks, activation repaints, popup-menu requests and the
// minimise path through the form skinner's services.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "engine_support.h"
#include "tests/support/Owned.h"
#include "framework/Forms.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkMainWndHook.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/vkThdTimer.h"
#include "tests/support/MessagePump.h"

using namespace engine_test;

// A main form that logs the skin commands it gets and answers command 4 with a stand-in skinner.
class THookProbeForm : public TForm {
  DECLARE_CLASS(THookProbeForm, TForm)
public:
  explicit THookProbeForm(TComponent* AOwner) : TForm(AOwner, 0) {}
  static inline TsSkinProvider* Provider = nullptr;
  std::vector<WORD> Commands;
  void Dispatch(TMessage& Message) override {
    if (Message.Msg == SM_VKCMD) {
      Commands.push_back(SkinCommandCode(Message.WParam));
      if (SkinCommandCode(Message.WParam) == VKCMD_QUERY_FORM_SKINNER) {
        Message.Result = reinterpret_cast<LRESULT>(Provider);
        return;
      }
    }
    inherited::Dispatch(Message);
  }
};
IMPLEMENT_CLASS(THookProbeForm)

namespace {

using ManagerPtr = testing_support::Owned<TsSkinManager>;

const char* const kPreviewText = "[GLOBALINFO]\r\nVERSION=10.25\r\n[EDIT]\r\nCOLOR=1056816\r\n";

std::unique_ptr<TvkEditorPreviewBlock> ValidBlock(const std::string& Dir, const char* Name, const char* Text) {
  auto B = std::make_unique<TvkEditorPreviewBlock>();
  std::memset(B.get(), 0, sizeof(*B));
  B->Marker = kEditorPreviewMarker;
  lstrcpynA(B->SkinName, Name, sizeof(B->SkinName));
  lstrcpynA(B->SkinDirectory, Dir.c_str(), sizeof(B->SkinDirectory));
  lstrcpynA(B->SkinText, Text, sizeof(B->SkinText));
  return B;
}

class MainWindowHookTest : public ::testing::Test {
protected:
  TempFolder dir;
  BoxRecorder boxes;
  void SetUp() override {
    InitializeForms();
    Platform().GetCommandLineA = [] { return "loader.exe /vkpreview"; };
  }
  void TearDown() override {
    ForgetEditorPreview();  // a preview would otherwise last for every later test of the process
    THookProbeForm::Provider = nullptr;
    FormServices = TvkFormServices();
    FinalizeForms();
    ResetPlatform();
  }
  ManagerPtr Make() {
    ManagerPtr m(Create<TsSkinManager>(nullptr));
    m->SetSkinDirectory(dir.Path());
    return m;
  }
};

}  // namespace

TEST_F(MainWindowHookTest, PreviewBlocksAreTakenOnlyWhenWholeTerminatedAndAllowed) {
  auto Good = ValidBlock(dir.Path(), "PREV", kPreviewText);
  struct Case {
    const char* What;
    WPARAM Kind;
    DWORD Size;
    std::function<void(TvkEditorPreviewBlock&)> Spoil;
    const char* CommandLine;
    bool Taken;
  };
  const Case Cases[] = {
      {"valid", 7, sizeof(TvkEditorPreviewBlock), nullptr, "loader.exe /vkpreview", true},
      {"short", 7, sizeof(TvkEditorPreviewBlock) - 1, nullptr, "loader.exe /vkpreview", false},
      {"wrong kind", 6, sizeof(TvkEditorPreviewBlock), nullptr, "loader.exe /vkpreview", false},
      {"wrong marker", 7, sizeof(TvkEditorPreviewBlock), [](TvkEditorPreviewBlock& b) { b.Marker = 0xA401; },
       "loader.exe /vkpreview", false},
      {"name unterminated", 7, sizeof(TvkEditorPreviewBlock),
       [](TvkEditorPreviewBlock& b) { std::memset(b.SkinName, 'N', sizeof(b.SkinName)); }, "loader.exe /vkpreview",
       false},
      {"text unterminated", 7, sizeof(TvkEditorPreviewBlock),
       [](TvkEditorPreviewBlock& b) { std::memset(b.SkinText, 'T', sizeof(b.SkinText)); }, "loader.exe /vkpreview",
       false},
      {"not started for previews", 7, sizeof(TvkEditorPreviewBlock), nullptr, "loader.exe /vkver", false},
      {"switch in capitals", 7, sizeof(TvkEditorPreviewBlock), nullptr, "loader.exe /VKPREVIEW", false},
      {"switch later", 7, sizeof(TvkEditorPreviewBlock), nullptr, "loader.exe /vkver /vkpreview", false},
  };
  for (const Case& C : Cases) {
    auto B = std::make_unique<TvkEditorPreviewBlock>(*Good);
    if (C.Spoil) C.Spoil(*B);
    std::string Line = C.CommandLine;
    Platform().GetCommandLineA = [Line] { return Line.c_str(); };
    COPYDATASTRUCT Data{0, C.Size, B.get()};
    auto Out = std::make_unique<TvkEditorPreviewBlock>();
    EXPECT_EQ(AcceptEditorPreview(C.Kind, &Data, *Out), C.Taken) << C.What;
  }
  EXPECT_FALSE(AcceptEditorPreview(7, nullptr, *Good));
}

TEST_F(MainWindowHookTest, APreviewBlockLoadsItsSkinFromItsTextOnce) {
  auto m = Make();
  ASSERT_TRUE(MainWindowHookInstalled());
  dir.Sub("PREV");  // a folder without Options.dat: the text comes from the block
  auto B = ValidBlock(dir.Path(), "PREV", kPreviewText);
  COPYDATASTRUCT Data{0, sizeof(*B), B.get()};
  SendMessageA(Application->Handle(), WM_COPYDATA, 7, reinterpret_cast<LPARAM>(&Data));
  EXPECT_FALSE(m->SkinData().Active);  // posted: loads when the message comes
  testing_support::PumpPending();
  ASSERT_TRUE(m->SkinData().Active);
  EXPECT_EQ(m->SkinName(), "PREV");
  EXPECT_EQ(m->EditBackColor(), 0x102030u);
  EXPECT_TRUE(EditorPreviewActive());
  EXPECT_EQ(EditorPreviewText(), nullptr);
  // A later load reads the folder's own text: the preview's is gone.
  WriteFileText(dir.Sub("OTHER") + "Options.dat", "[GLOBALINFO]\r\nVERSION=10.25\r\n[EDIT]\r\nCOLOR=4214880\r\n");
  m->SetSkinName("OTHER");
  EXPECT_EQ(m->EditBackColor(), 0x405060u);
  // A result already set, or a block without the switch, changes nothing.
  TMessage Set{WM_COPYDATA, 7, reinterpret_cast<LPARAM>(&Data), 1};
  EXPECT_FALSE(MainWindowHook(Set));
  Platform().GetCommandLineA = [] { return "loader.exe"; };
  TMessage Plain{WM_COPYDATA, 7, reinterpret_cast<LPARAM>(&Data), 0};
  EXPECT_TRUE(MainWindowHook(Plain));  // swallowed
  testing_support::PumpPending();
  EXPECT_EQ(m->SkinName(), "OTHER");
  // A new default manager takes the hook over: the next block loads into it, and the hook goes with it.
  auto Other = Make();
  Other->SetSkinName("OTHER");
  Other->SetIsDefault(true);
  Platform().GetCommandLineA = [] { return "loader.exe /vkpreview"; };
  SendMessageA(Application->Handle(), WM_COPYDATA, 7, reinterpret_cast<LPARAM>(&Data));
  testing_support::PumpPending();
  EXPECT_EQ(Other->SkinName(), "PREV");
  EXPECT_EQ(m->SkinName(), "OTHER");
  m->OnBeforeChange = [](TObject*) { throw Exception("handler failed"); };
  EXPECT_THROW(LoadEditorPreview(m.get(), *B), Exception);
  m->OnBeforeChange = nullptr;
  EXPECT_FALSE(m->Updating()) << "a load that raised leaves no update open";
  m.reset();
  EXPECT_TRUE(MainWindowHookInstalled());
  Other.reset();
  EXPECT_FALSE(MainWindowHookInstalled());
}

TEST_F(MainWindowHookTest, ARefusedSessionEndLetsFadesRunAgain) {
  auto m = Make();
  const struct {
    WPARAM Ending;
    bool StillEnding;
  } Cases[] = {{TRUE, true}, {FALSE, false}};
  for (const auto& C : Cases) {
    SkinnedSessionEnding = true;  // a skinned form was asked
    SendMessageA(Application->Handle(), WM_ENDSESSION, C.Ending, 0);
    EXPECT_EQ(SkinnedSessionEnding, C.StillEnding) << C.Ending;
  }
  SkinnedSessionEnding = false;
}

TEST_F(MainWindowHookTest, ActivationRepaintsFormsAndPopupWindowsGoToTheMenuSkinner) {
  static int Made = 0;
  static std::vector<HWND> Skinned;
  FormServices.CreateSkinableMenus = [](TsSkinManager*) { return reinterpret_cast<TsSkinableMenus*>(&Made); };
  FormServices.FreeSkinableMenus = [](TsSkinableMenus*) {};
  FormServices.SkinPopupMenuWindow = [](TsSkinableMenus*, HWND Wnd) { Skinned.push_back(Wnd); };
  auto m = Make();
  THookProbeForm* Form = nullptr;
  Application->CreateForm(Form);
  Form->Commands.clear();
  SendMessageA(Application->Handle(), CM_ACTIVATE, 0, 0);
  EXPECT_EQ(std::count(Form->Commands.begin(), Form->Commands.end(), VKCMD_REPAINT), 1);

  HWND Popup = CreateWindowExA(0, "#32768", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND Other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(Popup, nullptr);
  SendMessageA(Application->Handle(), WM_VK_SKIN_POPUP_WINDOW, 0, reinterpret_cast<LPARAM>(Other));
  SendMessageA(Application->Handle(), WM_VK_SKIN_POPUP_WINDOW, 0, reinterpret_cast<LPARAM>(Popup));
  m->SetSkinnedPopups(false);
  SendMessageA(Application->Handle(), WM_VK_SKIN_POPUP_WINDOW, 0, reinterpret_cast<LPARAM>(Popup));
  EXPECT_EQ(Skinned, std::vector<HWND>{Popup});
  DestroyWindow(Popup);
  DestroyWindow(Other);
}

TEST_F(MainWindowHookTest, MinimiseAndRestoreAnimateThroughTheSkinnerWithTheSystemAnimationOff) {
  static std::vector<std::string> Steps;
  static int SystemAnimation = 1;
  Platform().SystemParametersInfoA = [](UINT Action, UINT, void* Data, UINT) -> BOOL {
    auto* Info = static_cast<ANIMATIONINFO*>(Data);
    if (Action == SPI_GETANIMATION) Info->iMinAnimate = SystemAnimation;
    if (Action == SPI_SETANIMATION) {
      SystemAnimation = Info->iMinAnimate;
      Steps.push_back("system " + std::to_string(SystemAnimation));
    }
    return TRUE;
  };
  FormServices.AnimateMinimizing = [](TsSkinProvider*) {
    Steps.push_back("animate, iconic " + std::to_string(IsIconic(Application->Handle()) != 0));
  };
  WriteFileText(dir.Sub("F") + "Options.dat", kPreviewText);
  auto m = Make();
  m->SetSkinName("F");
  THookProbeForm* Form = nullptr;
  Application->CreateForm(Form);
  Form->Show();
  // Not skinned (no skinner): left to the application.
  TMessage Unskinned{WM_SYSCOMMAND, SC_MINIMIZE, 0, 0};
  EXPECT_FALSE(MainWindowHook(Unskinned));
  EXPECT_TRUE(Steps.empty());
  THookProbeForm::Provider = reinterpret_cast<TsSkinProvider*>(&Steps);
  m->AnimEffects()->Minimizing()->SetTime(0);  // no time: no animation
  TMessage NoTime{WM_SYSCOMMAND, SC_MINIMIZE, 0, 0};
  EXPECT_FALSE(MainWindowHook(NoTime));
  m->AnimEffects()->Minimizing()->SetTime(120);
  SendMessageA(Application->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(Steps, (std::vector<std::string>{"system 0", "animate, iconic 0", "system -1"}));
  EXPECT_TRUE(IsIconic(Application->Handle()));
  // the restore plays its animation and then brings the application back
  FormServices.AnimateRestoring = [](TsSkinProvider*) {
    Steps.push_back("restore, iconic " + std::to_string(IsIconic(Application->Handle()) != 0));
  };
  Steps.clear();
  SendMessageA(Application->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_EQ(Steps, std::vector<std::string>{"restore, iconic 1"});
  EXPECT_FALSE(IsIconic(Application->Handle()));
}
