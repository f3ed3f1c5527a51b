// The skin manager: defaults, the default manager, skin directory, sources of a skin and their order,
// the reading protocol of stored forms, queries, and failures that end unskinned.
#include <gtest/gtest.h>

#include <memory>

#include "SkinTestOwners.h"
#include "engine_support.h"
#include "framework/FormReader.h"
#include "framework/Streams.h"
#include "framework/TypInfo.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkAlphaImageList.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/vkPackedSkin.h"

using namespace engine_test;

namespace {

const char* const kText =
    "[GLOBALINFO]\r\nVERSION=10.25\r\nMASTERBITMAP=MASTER.BMP\r\nTITLEHEIGHT=28\r\n"
    "BICONCLOSE=@0000@0000@0030@0010@3@0\r\n"
    "[BUTTON]\r\nCOLOR=8421504\r\nBORDERSMASK=^0000^0010^0009^0013^0001^0001^0001^0001^3^0^1^1\r\n"
    "[EDIT]\r\nBORDERSMASK=!EDGE.BMP!3!0!0!0001!0001!0001!0001!1\r\n"
    "[MYBTN]\r\nPARENTCLASS=BUTTON\r\n";

std::vector<std::pair<std::string, std::vector<uint8_t>>> SkinFiles(const std::string& text = kText) {
  return {{"Options.dat", Bytes(text)},
          {"MASTER.BMP", MakeBmp(32, 16, [](int x, int) { return x < 10 ? 0xFF0000u : 0x00FF00u; })},
          {"EDGE.BMP", SolidBmp(9, 3, 0x0000FF)}};
}

void WriteFolder(const std::string& dir, const std::string& text = kText) {
  for (const auto& f : SkinFiles(text)) WriteFileBytes(dir + f.first, f.second);
}

class Manager : public ::testing::Test {
protected:
  TempFolder dir;
  BoxRecorder boxes;
  ManagerPtr Make() {
    ManagerPtr m(Create<TsSkinManager>(nullptr));
    m->SetSkinDirectory(dir.Path());
    return m;
  }
  // A manager with the test skin of folder F applied.
  ManagerPtr MakeOnFolderSkin() {
    WriteFolder(dir.Sub("F"));
    ManagerPtr m = Make();
    m->SetSkinName("F");
    return m;
  }
};

// Everything of a model the three sources must agree on.
std::string Describe(const TsSkinManager& m) {
  std::string s;
  for (const auto& g : m.gd()) s += g.ClassName + ":" + std::to_string(g.Props[0].Color) + ":" +
                                    std::to_string(g.BorderIndex) + ";";
  for (const auto& md : m.ma())
    s += md.ClassName + "." + md.PropertyName + "[" + std::to_string(md.R.Left) + "," + std::to_string(md.R.Top) +
         "," + std::to_string(md.R.Right) + "," + std::to_string(md.R.Bottom) + "]" + std::to_string(md.Width) + "x" +
         std::to_string(md.Height) + "/" + std::to_string(md.CornerType) + ";";
  s += std::to_string(m.SkinData().TitleHeight) + "/" + std::to_string(m.SkinBaseColor());
  return s;
}

}  // namespace

TEST_F(Manager, CreationDefaults) {
  auto m = Make();
  EXPECT_TRUE(m->Active());
  EXPECT_TRUE(m->SkinnedPopups());
  EXPECT_FALSE(m->ExtendedBorders());
  EXPECT_EQ(m->SkinInfo(), "N/A");
  EXPECT_EQ(m->Version(), "12.14");
  EXPECT_EQ(m->SkinsFilter(), (TvkSkinsFilter{sfiInternal, sfiExternal}));
  EXPECT_EQ(m->SkinningRules(), (TvkSkinningRules{srStdForms, srStdDialogs, srThirdParty}));
  EXPECT_EQ(m->Options()->ScaleMode(), smOldMode);
  EXPECT_EQ(m->Options()->ArrowsStyle(), arsDefault);
  for (int i = 0; i < 6; ++i) EXPECT_FALSE(m->Options()->GetFlag(i));
  EXPECT_EQ(m->AnimEffects()->FormShow()->Mode(), atAero);
  EXPECT_EQ(m->AnimEffects()->Minimizing()->Time(), 120);
  EXPECT_EQ(m->AnimEffects()->SkinChanging()->Time(), 100);
  EXPECT_EQ(m->AnimEffects()->SkinChanging()->Mode(), atFading);
  EXPECT_FALSE(m->AnimEffects()->BlendOnMoving()->Active());
  EXPECT_EQ(m->AnimEffects()->BlendOnMoving()->BlendValue(), 170);
  EXPECT_EQ(m->AnimEffects()->Buttons()->Events(), (TvkBtnEffectEvents{beMouseEnter, beMouseLeave, beMouseDown, beMouseUp}));
  EXPECT_FALSE(m->Effects()->DiscoloredGlyphs());
  EXPECT_TRUE(m->Effects()->AllowOuterEffects());
  EXPECT_EQ(m->ScrollsOptions()->ScrollSize(), -1);
  EXPECT_TRUE(m->ButtonsOptions()->ShowFocusRect());
  EXPECT_TRUE(m->LabelsOptions()->TransparentAlways());
  EXPECT_EQ(m->ThirdParty()->GetList(1), "TButton");
  EXPECT_EQ(m->ThirdLists(1)->Count(), 1);
  EXPECT_EQ(m->ThirdLists(1)->Strings(0), "TButton");
  EXPECT_EQ(m->ThirdParty()->GetList(0), " ");
  ManagerPtr fresh(Create<TsSkinManager>(nullptr));
  EXPECT_EQ(fresh->SkinDirectory(), "c:\\Skins");
  for (int i = 0; i < kStdSectionCount; ++i) EXPECT_EQ(fresh->ConstData().Sections[i], -1);
  EXPECT_EQ(fresh->FindSectionIndex("BUTTON"), -1);
}

TEST_F(Manager, TheFirstManagerIsTheDefault) {
  auto first = Make();
  auto second = Make();
  EXPECT_TRUE(first->GetIsDefault());
  EXPECT_FALSE(second->GetIsDefault());
  first->SetIsDefault(false);  // ignored while a default exists
  EXPECT_TRUE(first->GetIsDefault());
  second->SetIsDefault(true);
  EXPECT_TRUE(second->GetIsDefault());
  second.reset();
  EXPECT_EQ(TsSkinManager::DefaultManager(), nullptr);
}

TEST(ManagerScale, AppliedDpiThresholds) {
  const int Dpi[] = {0, 96, 119, 120, 143, 144, 191, 192}, Index[] = {0, 0, 0, 1, 1, 2, 2, 3};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(TsSkinManager::ScaleIndexFromDpi(Dpi[i]), Index[i]) << Dpi[i];
}

TEST(ManagerScale, ApplyScaleByMode) {
  ManagerPtr m(Create<TsSkinManager>(nullptr));
  EXPECT_EQ(m->ApplyScale(10), 10);  // old mode: unchanged
  m->Options()->SetScaleMode(sm150);
  EXPECT_EQ(m->ApplyScale(10), 15);
  EXPECT_EQ(m->ApplyScale(-10), -15);
  m->Options()->SetScaleMode(sm125);
  EXPECT_EQ(m->ApplyScale(10), 12);
  m->Options()->SetScaleMode(sm200);
  EXPECT_EQ(m->ApplyScale(8, 1), 10);
  EXPECT_EQ(m->ApplyScale(8, 3), 8);
  EXPECT_EQ(m->EffectiveScaleMode(), 3);
  m->Options()->SetScaleMode(smAuto);
  EXPECT_EQ(m->EffectiveScaleMode(), m->RegistryScaleIndex());
}

TEST(ManagerScale, ScaleModeChangeTellsOldAndNew) {
  ManagerPtr m(Create<TsSkinManager>(nullptr));
  std::vector<TvkScaleChangeInfo> seen;
  m->OnScaleModeChange = [&](TObject*, const TvkScaleChangeInfo& i) { seen.push_back(i); };
  m->Options()->SetScaleMode(sm150);
  m->Options()->SetScaleMode(sm150);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].OldMode, smOldMode);
  EXPECT_EQ(seen[0].NewPercent, 150);
  EXPECT_EQ(seen[0].OldPercent, 100);
}

TEST(ManagerDirectory, MadeAbsoluteAgainstTheProgramFolder) {
  const std::string a = "C:\\App\\Bin\\";
  EXPECT_EQ(TsSkinManager::MakeAbsoluteSkinDirectory("..\\skins", a), "C:\\App\\skins");
  EXPECT_EQ(TsSkinManager::MakeAbsoluteSkinDirectory(".\\skins", a), "C:\\App\\Bin\\skins");
  EXPECT_EQ(TsSkinManager::MakeAbsoluteSkinDirectory("./skins", a), "C:\\App\\Bin\\skins");
  EXPECT_EQ(TsSkinManager::MakeAbsoluteSkinDirectory(".", a), a);
  EXPECT_EQ(TsSkinManager::MakeAbsoluteSkinDirectory("D:\\Skins", a), "D:\\Skins");
  EXPECT_EQ(TsSkinManager::MakeAbsoluteSkinDirectory("\\\\server\\skins", a), "\\\\server\\skins");
  EXPECT_EQ(TsSkinManager::MakeAbsoluteSkinDirectory("skins", a), "C:\\App\\Bin\\skins");
}

TEST_F(Manager, FolderPackedFileAndStoredSkinGiveTheSameModel) {
  auto folder = MakeOnFolderSkin();
  ASSERT_TRUE(folder->SkinData().Active);
  EXPECT_FALSE(folder->SkinIsPacked());
  EXPECT_EQ(folder->SkinData().SkinPath, dir.Path() + "F\\");

  std::vector<uint8_t> packed = Pack(SkinFiles());
  WriteFileBytes(dir.Path() + "P.vkz", packed);
  auto file = Make();
  file->SetSkinName("P.VKZ");
  ASSERT_TRUE(file->SkinData().Active);
  EXPECT_EQ(file->SkinName(), "P");
  EXPECT_TRUE(file->SkinIsPacked());

  auto stored = Make();
  stored->SetActive(false);
  TsStoredSkin* item = stored->InternalSkins()->Add();
  item->SetName("S");
  item->SetPackedData(packed);
  stored->SetActive(true);
  stored->SetSkinName("S");
  ASSERT_TRUE(stored->SkinData().Active);
  EXPECT_EQ(stored->SkinData().SkinPath, "");

  EXPECT_EQ(Describe(*folder), Describe(*file));
  EXPECT_EQ(Describe(*folder), Describe(*stored));
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(folder->SkinInfo(), "10.25");
}

TEST_F(Manager, APackedFileWinsOverAFolderOfTheSameName) {
  WriteFolder(dir.Sub("TIDE"), std::string(kText) + "[FROMFOLDER]\r\n");
  WriteFileBytes(dir.Path() + "TIDE.vkz", Pack(SkinFiles()));
  auto m = Make();
  m->SetSkinName("TIDE.vkz");
  ASSERT_TRUE(m->SkinData().Active);
  EXPECT_EQ(m->SkinName(), "TIDE");
  EXPECT_TRUE(m->SkinIsPacked());
  EXPECT_EQ(m->FindSectionIndex("FROMFOLDER"), -1);
}

TEST_F(Manager, WithoutAnySourceTheFirstStoredSkinIsTaken) {
  auto m = Make();
  m->SetActive(false);
  TsStoredSkin* item = m->InternalSkins()->Add();
  item->SetName("TIDE (internal)");
  item->SetOriginName("TIDE.vkz");
  item->SetPackedData(Pack(SkinFiles()));
  EXPECT_EQ(m->InternalSkins()->IndexOf("TIDE"), -1);
  EXPECT_EQ(m->InternalSkins()->IndexOf("TIDE (internal)"), 0);
  m->SetActive(true);
  m->SetSkinName("TIDE");
  EXPECT_TRUE(m->SkinData().Active);
  EXPECT_EQ(m->SkinName(), "TIDE (internal)");
}

TEST_F(Manager, WithoutAnySourceOrWithAStoredSkinWithoutDataTheSkinIsOff) {
  for (const char* Name : {"NOWHERE", "EMPTY"}) {
    auto m = Make();
    m->SetActive(false);
    if (std::string(Name) == "EMPTY") m->InternalSkins()->Add()->SetName(Name);  // no data: no source
    m->SetActive(true);
    m->SetSkinName(Name);
    EXPECT_FALSE(m->Active()) << Name;
    EXPECT_FALSE(m->SkinData().Active) << Name;
  }
  EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(Manager, ActiveOffAndOnReloadsAndTellsBoth) {
  std::vector<std::string> events;  // outlives the manager, which switches off once more when freed
  auto m = MakeOnFolderSkin();
  m->OnDeactivate = [&](TObject*) { events.push_back("deactivate"); };
  m->OnActivate = [&](TObject*) { events.push_back("activate"); };
  std::string before = Describe(*m);
  m->SetActive(false);
  EXPECT_FALSE(m->SkinData().Active);
  EXPECT_EQ(m->SkinInfo(), "N/A");
  EXPECT_TRUE(m->ma().empty());
  m->SetActive(true);
  EXPECT_TRUE(m->SkinData().Active);
  EXPECT_EQ(Describe(*m), before);
  EXPECT_EQ(events, (std::vector<std::string>{"deactivate", "activate"}));
}

TEST_F(Manager, AWrongSignatureShowsBothMessagesAPackedFileWithoutTextOne) {
  auto packed = Pack(SkinFiles());
  packed[0] = 'X';
  WriteFileBytes(dir.Path() + "BAD.vkz", packed);
  WriteFileBytes(dir.Path() + "NOTEXT.vkz", Pack({{"A.BMP", SolidBmp(2, 2, 0)}}));
  const std::string format = "Internal format error in the \"%s\" skin. Please, update this skin to latest version.";
  for (const char* Name : {"BAD", "NOTEXT"}) {
    boxes.texts.clear();
    auto m = Make();
    m->SetSkinName(Name);
    EXPECT_FALSE(m->SkinData().Active) << Name;
    std::vector<std::string> want{Format(format, {Name})};
    if (std::string(Name) == "BAD") want.insert(want.begin(), "Loaded data is not a packed VelkorSkin file");
    EXPECT_EQ(boxes.texts, want);
  }
}

TEST_F(Manager, AFailedLoadRemovesTheSkinThatWasApplied) {
  WriteFolder(dir.Sub("GOOD"));
  auto bad = SkinFiles();
  bad[1].second.resize(20);  // a damaged master bitmap
  WriteFileBytes(dir.Path() + "BROKEN.vkz", Pack(bad));
  auto m = Make();
  m->SetSkinName("GOOD");
  ASSERT_TRUE(m->SkinData().Active);
  m->SetSkinName("BROKEN");  // never raises out of the setter
  EXPECT_FALSE(m->SkinData().Active);
  EXPECT_TRUE(m->gd().empty());
  EXPECT_EQ(boxes.texts.size(), 1u);
  m->SetSkinName("GOOD");  // the next good skin loads again
  EXPECT_TRUE(m->SkinData().Active);
}

TEST_F(Manager, QueriesFollowTheRules) {
  auto m = MakeOnFolderSkin();
  int button = m->FindSectionIndex("BUTTON");
  ASSERT_GE(button, 0);
  EXPECT_EQ(m->FindSectionIndex("button"), -1);
  EXPECT_EQ(m->FindSectionIndex(""), -1);
  EXPECT_TRUE(m->SectionIndexInRange(button));
  EXPECT_FALSE(m->SectionIndexInRange(-1));
  EXPECT_FALSE(m->SectionIndexInRange(static_cast<int>(m->gd().size())));
  EXPECT_FALSE(m->MaskIndexInRange(static_cast<int>(m->ma().size())));
  int border = m->FindMaskInherited(button, "BORDERSMASK");
  ASSERT_GE(border, 0);
  int mybtn = m->FindSectionIndex("MYBTN");
  EXPECT_EQ(m->FindMaskInherited(mybtn, "BORDERSMASK"), border);
  EXPECT_EQ(m->FindMaskOfSection(mybtn, "MYBTN", "BORDERSMASK"), border);
  EXPECT_EQ(m->FindMaskOfSection(mybtn, "BUTTON", "BORDERSMASK"), -1);  // the parent's name ends the search
  EXPECT_EQ(m->FindMaskInherited(-1, "BORDERSMASK"), -1);
  EXPECT_EQ(m->FindMaskByNames("BUTTON", "BORDERSMASK"), border);
  EXPECT_EQ(m->FindMaskByNames("", "BORDERSMASK"), -1);
  EXPECT_EQ(m->ConstData().TitleMasks[1], m->FindMaskByNames("GLOBALINFO", "BICONCLOSE"));
  EXPECT_EQ(m->ConstData().TitleMasks[0], -1);
  EXPECT_EQ(m->ConstData().Sections[ssButton], button);
  EXPECT_EQ(m->gd()[mybtn].BorderIndex, border);
  int edit = m->FindSectionIndex("EDIT");
  EXPECT_EQ(m->gd()[edit].BorderFlag, 1);
  EXPECT_EQ(m->ma()[m->gd()[edit].BorderIndex].Width, 3);
}

namespace {
// Windows that are no form: each skin command they hear is noted with the window.
std::vector<std::pair<HWND, WORD>> gHeard;
LRESULT CALLBACK NotingProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == SM_VKCMD) gHeard.emplace_back(w, HIWORD(wp));
  return DefWindowProcA(w, msg, wp, lp);
}
HWND NotingWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = NotingProc;
  wc.lpszClassName = "EngineNotingTest";
  wc.hInstance = GetModuleHandleA(nullptr);
  RegisterClassA(&wc);  // a second registration fails harmlessly
  gHeard.clear();
  return CreateWindowA("EngineNotingTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
}
}  // namespace

TEST_F(Manager, HotWindowTellsLeftAndEntered) {
  auto m = Make();
  HWND a = NotingWindow(), b = NotingWindow();
  m->ChangeHotWindow(a);
  m->ChangeHotWindow(a);
  m->ChangeHotWindow(b);
  m->ChangeHotWindow(nullptr);
  DestroyWindow(a);
  DestroyWindow(b);
  std::vector<std::pair<HWND, WORD>> want = {{a, 0x1D}, {a, 0x1E}, {b, 0x1D}, {b, 0x1E}};
  EXPECT_EQ(gHeard, want);
}

TEST_F(Manager, ASkinTellsTheFormsOfTheScreenAndTheirChildrenOnly) {
  WriteFolder(dir.Sub("F"));
  auto m = Make();
  // a form with a graphic child, and a window of the thread that is no form
  skin_owners::Owned<TForm> form(skin_owners::NewTestForm());
  auto* child = skin_owners::Place(form.get(), 0, 0, 10, 10, Create<skin_owners::TTestGraphicOwner>(form.get()));
  form->HandleNeeded();
  HWND w = NotingWindow();
  m->SetSkinName("F");
  m->SetActive(false);
  DestroyWindow(w);
  const std::vector<WORD> want{VKCMD_SKIN_APPLIED, VKCMD_REREAD_SECTION_INDEX, VKCMD_REPAINT_AFTER_CHANGE,
                               VKCMD_SKIN_DROPPED};
  EXPECT_EQ(child->Heard, want);
  EXPECT_TRUE(gHeard.empty()) << "windows that are no form of the screen are left alone";
}

// ---- the stored description of a form ----

namespace {
class TTestSkinForm : public TComponent {
  DECLARE_CLASS(TTestSkinForm, TComponent)
public:
  explicit TTestSkinForm(TComponent* owner) : TComponent(owner) {}
  TsSkinManager* sSkinManager1 = nullptr;
  int Loads = 0;
  void SkinLoading(TObject*) { ++Loads; }
};
PUBLISHED(TTestSkinForm) {
  p.Field("sSkinManager1", &TTestSkinForm::sSkinManager1);
  p.Handler("SkinLoading", &TTestSkinForm::SkinLoading);
}

std::string HexOf(const std::vector<uint8_t>& b) {
  static const char* d = "0123456789ABCDEF";
  std::string s;
  for (size_t i = 0; i < b.size(); ++i) {
    if (i % 32 == 0) s += "\n      ";
    s += d[b[i] >> 4];
    s += d[b[i] & 15];
  }
  return s;
}
}  // namespace

TEST_F(Manager, AStoredFormLoadsItsSkinOnceInLoaded) {
  RegisterClass(TsSkinManager::StaticClassInfo());
  RegisterClass(TTestSkinForm::StaticClassInfo());
  std::string text =
      "object TestSkinForm: TTestSkinForm\n"
      "  object sSkinManager1: TsSkinManager\n"
      "    AnimEffects.DialogShow.Time = 50\n"
      "    AnimEffects.FormShow.Time = 70\n"
      "    InternalSkins = <\n"
      "      item\n"
      "        Name = 'TIDE (internal)'\n"
      "        Data = {" +
      HexOf(Pack(SkinFiles())) +
      "}\n"
      "        OriginName = 'TIDE.vkz'\n"
      "      end>\n"
      "    SkinDirectory = '" + dir.Path() + "nothing'\n"
      "    SkinName = 'TIDE'\n"
      "    SkinInfo = '10.25'\n"
      "    ThirdParty.ThirdEdits = ' '\n"
      "    ThirdParty.ThirdButtons = 'TButton'\n"
      "    OnSkinLoading = SkinLoading\n"
      "  end\n"
      "end\n";
  TTestSkinForm* form = new TTestSkinForm(nullptr);
  ReadComponentFromText(text, form);
  ASSERT_NE(form->sSkinManager1, nullptr);
  TsSkinManager* m = form->sSkinManager1;
  EXPECT_TRUE(m->SkinData().Active);
  EXPECT_EQ(m->SkinName(), "TIDE (internal)");
  EXPECT_EQ(m->SkinInfo(), "10.25");
  EXPECT_EQ(m->InternalSkins()->Count(), 1);
  EXPECT_EQ(m->InternalSkins()->Items(0)->OriginName(), "TIDE.vkz");
  EXPECT_EQ(m->AnimEffects()->DialogShow()->Time(), 50);
  EXPECT_EQ(m->AnimEffects()->FormShow()->Time(), 70);
  EXPECT_EQ(m->ThirdLists(1)->Strings(0), "TButton");
  EXPECT_EQ(m->MenuSupport()->IcoLineSkin(), "ICOLINE");
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(form->Loads, 1);  // one load, in Loaded
  form->Free();
}

TEST_F(Manager, SettersWhileReadingOnlyStore) {
  // the skin name comes before the stored skins and the directory: no load may happen then
  RegisterClass(TsSkinManager::StaticClassInfo());
  RegisterClass(TTestSkinForm::StaticClassInfo());
  WriteFolder(dir.Sub("F"));
  std::string text = "object TestSkinForm: TTestSkinForm\n"
                     "  object sSkinManager1: TsSkinManager\n"
                     "    SkinName = 'F'\n"
                     "    Active = False\n"
                     "    Active = True\n"
                     "    Brightness = 10\n"
                     "    Options.ScaleMode = sm150\n"
                     "    SkinDirectory = '" + dir.Path() + "'\n"
                     "  end\n"
                     "end\n";
  const int GlyphSize = DefaultMenuGlyphSize;
  TTestSkinForm* form = new TTestSkinForm(nullptr);
  ReadComponentFromText(text, form);
  TsSkinManager* m = form->sSkinManager1;
  EXPECT_TRUE(m->SkinData().Active);
  EXPECT_EQ(m->SkinData().SkinPath, dir.Path() + "F\\");
  EXPECT_EQ(m->Brightness(), 10);
  EXPECT_TRUE(boxes.texts.empty());
  // the scaled option values follow a mode read with the form
  EXPECT_EQ(DefaultMenuGlyphSize, GlyphSize * 3 / 2);
  DefaultMenuGlyphSize = GlyphSize;
  form->Free();
}

TEST_F(Manager, BrightnessIsClampedAndReloads) {
  auto m = MakeOnFolderSkin();
  EXPECT_EQ(m->gd()[m->FindSectionIndex("BUTTON")].Props[0].Color, 0x808080u);  // COLOR=8421504
  m->SetBrightness(500);
  EXPECT_EQ(m->Brightness(), 100);
  ASSERT_TRUE(m->SkinData().Active);
  // Reloaded at 100: each byte 0x80 + (0x80 * 100 shr 8) = 0x80 + 50.
  EXPECT_EQ(m->gd()[m->FindSectionIndex("BUTTON")].Props[0].Color, 0xB2B2B2u);
}

TEST_F(Manager, SkinListHoldsStoredSkinsAndPackedFiles) {
  WriteFileBytes(dir.Path() + "Dark.vkz", Pack(SkinFiles()));
  WriteFileBytes(dir.Path() + "Light.VKZ", Pack(SkinFiles()));
  CreateDirectoryA((dir.Path() + "Folder.vkz").c_str(), nullptr);
  auto m = Make();
  m->SetActive(false);
  m->InternalSkins()->Add()->SetName("Inner");
  m->SkinListController()->Update();
  const auto& items = m->SkinListController()->Items();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].Name, "Inner");
  EXPECT_FALSE(items[0].External);
  EXPECT_EQ(items[0].ImageIndex, -1);
  EXPECT_EQ(items[1].Name, "Dark");
  EXPECT_TRUE(items[1].External);
  TStringList list;
  std::string first;
  m->ListAvailableSkins(&list, 0, first);
  EXPECT_EQ(first, "Dark");
  EXPECT_EQ(list.Count(), 1);
  m->SetSkinDirectory(dir.Path() + "missing");
  EXPECT_EQ(m->SkinListController()->Items().size(), 1u);
}

// ---- hooks and scroll bars ----

namespace {
int gHookCalls = 0;
LRESULT CALLBACK CountingHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND) ++gHookCalls;
  return CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace

TEST_F(Manager, TheDefaultManagerHooksTheThreadWhileASkinIsApplied) {
  WriteFolder(dir.Sub("F"));
  auto saved = FormServices.CbtHookProc;
  FormServices.CbtHookProc = CountingHook;
  auto m = Make();
  auto other = Make();
  gHookCalls = 0;
  HWND before = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(gHookCalls, 0);
  other->SetSkinName("F");  // not the default: no hook
  EXPECT_FALSE(other->HooksInstalled());
  m->SetSkinName("F");
  EXPECT_TRUE(m->HooksInstalled());
  HWND during = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(gHookCalls, 1);
  // A new default takes the hook over: a window is still adopted once.
  other->SetIsDefault(true);
  EXPECT_FALSE(m->HooksInstalled());
  EXPECT_TRUE(other->HooksInstalled());
  HWND handed = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(gHookCalls, 2);
  m->SetIsDefault(true);
  EXPECT_FALSE(other->HooksInstalled());
  m->SetActive(false);
  EXPECT_FALSE(m->HooksInstalled());
  HWND after = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(gHookCalls, 2);
  for (HWND w : {before, during, handed, after}) DestroyWindow(w);
  FormServices.CbtHookProc = saved;
}

TEST(ManagerScrollBars, WidthFromTheOptionsOrTheSystem) {
  ManagerPtr m(Create<TsSkinManager>(nullptr));
  int sys = GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_EQ(SkinScrollBarWidth(nullptr), sys);
  EXPECT_EQ(SkinScrollBarWidth(m.get()), sys);
  m->ScrollsOptions()->SetScrollSize(3);
  EXPECT_EQ(SkinScrollBarWidth(m.get()), 3);
  EXPECT_EQ(SkinScrollBarWidthAtLeastSystem(m.get()), std::max(3, sys));
  m->ScrollsOptions()->SetScrollSize(sys + 5);
  EXPECT_EQ(SkinScrollBarWidthAtLeastSystem(m.get()), sys + 5);
}

TEST_F(Manager, TheHotWindowIsLeftWhenTheCursorGoes) {
  auto m = Make();
  HWND w = CreateWindowA("STATIC", "", WS_POPUP, 100, 100, 50, 50, nullptr, nullptr, nullptr, nullptr);
  POINT cursor{120, 120};
  Platform().GetCursorPos = [&](POINT* p) {
    *p = cursor;
    return TRUE;
  };
  TObject* graphic = m.get();  // any object stands for a windowless control
  std::vector<TObject*> left;
  m->GraphicControlMouseLeft = [&](TObject* c, TsSkinManager*) { left.push_back(c); };
  m->ChangeHotWindow(w);
  m->ChangeHotGraphicControl(graphic);
  m->CheckHotControl();
  EXPECT_EQ(m->HotWindow(), w);  // still inside
  cursor = POINT{10, 10};
  m->CheckHotControl();
  EXPECT_EQ(m->HotWindow(), nullptr);
  EXPECT_EQ(m->HotGraphicControl(), nullptr);
  ASSERT_FALSE(left.empty());
  EXPECT_EQ(left[0], graphic);
  DestroyWindow(w);
}

TEST_F(Manager, AStillHotGraphicControlRefusesToBeCleared) {
  auto m = Make();
  TObject* graphic = m.get();
  bool stillHot = true;
  m->GraphicControlIsHot = [&](TObject*) { return stillHot; };
  m->ChangeHotGraphicControl(graphic);
  m->ChangeHotGraphicControl(nullptr);
  EXPECT_EQ(m->HotGraphicControl(), graphic);
  HWND w = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
  m->ChangeHotWindow(w);  // no hot window yet: nothing to clear first
  EXPECT_EQ(m->HotWindow(), w);
  HWND other = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
  m->ChangeHotWindow(other);  // the graphic control refuses: the hot window stays
  EXPECT_EQ(m->HotWindow(), w);
  stillHot = false;
  m->ChangeHotWindow(other);
  EXPECT_EQ(m->HotWindow(), other);
  EXPECT_EQ(m->HotGraphicControl(), nullptr);
  DestroyWindow(w);
  DestroyWindow(other);
}

TEST_F(Manager, AGraphicControlIsAskedAndToldThroughItsSkinData) {
  auto m = Make();
  testing_support::Owned<skin_owners::TTestGraphicOwner> graphic(Create<skin_owners::TTestGraphicOwner>(nullptr));
  graphic->SkinData->Hot = true;
  m->ChangeHotGraphicControl(graphic.get());
  m->ChangeHotGraphicControl(nullptr);  // still hot: refused
  EXPECT_EQ(m->HotGraphicControl(), graphic.get());
  EXPECT_EQ(graphic->Count(VKCMD_MOUSE_LEFT), 0);
  graphic->SkinData->Hot = false;
  m->ChangeHotGraphicControl(nullptr);
  EXPECT_EQ(m->HotGraphicControl(), nullptr);
  EXPECT_EQ(graphic->Count(VKCMD_MOUSE_LEFT), 1);
}

TEST_F(Manager, AStoredSkinWithAPreviewListsItsImage) {
  std::vector<uint8_t> png = ReadFileBytes(SkinBuildFolder() + "TIDE\\SHADOW.PNG");
  ASSERT_FALSE(png.empty());
  std::vector<uint8_t> packed = Pack(SkinFiles());
  for (char ch : std::string("previewimg")) packed.push_back(static_cast<uint8_t>(ch));
  PutU32(packed, static_cast<uint32_t>(png.size()));
  packed.insert(packed.end(), png.begin(), png.end());
  auto m = Make();
  m->SetActive(false);
  m->InternalSkins()->Add()->SetName("WithPreview");
  m->InternalSkins()->Items(0)->SetPackedData(packed);
  m->InternalSkins()->Add()->SetName("Plain");
  m->InternalSkins()->Items(1)->SetPackedData(Pack(SkinFiles()));
  m->SkinListController()->Update();
  const auto& items = m->SkinListController()->Items();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].ImageIndex, 0);
  EXPECT_EQ(items[1].ImageIndex, -1);
  TsAlphaImageList* previews = m->SkinListController()->Previews();
  ASSERT_EQ(previews->Items()->Count(), 1);
  EXPECT_EQ(previews->Count(), 1);
  EXPECT_EQ(previews->Items()->Items(0)->OrigWidth, 72);
  EXPECT_EQ(previews->Width(), 140);
  EXPECT_EQ(previews->Height(), 100);
  TStringList list;
  std::string first;
  m->ListAvailableSkins(&list, 2, first, true);
  EXPECT_EQ(first, "WithPreview");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(reinterpret_cast<intptr_t>(list.Objects(0)), 0);
  EXPECT_EQ(reinterpret_cast<intptr_t>(list.Objects(1)), -1);
  // the stored skin's packed bytes still load, the preview behind them is not read
  m->SetActive(true);
  m->SetSkinName("WithPreview");
  EXPECT_TRUE(m->SkinData().Active);
}

TEST_F(Manager, TheLoaderBoxIsPlainWhileItIsShown) {
  // the box goes up with the dialog rule and the system-colour patches off, both restored afterwards
  auto m = Make();
  m->Options()->SetFlag(4, true);
  std::vector<bool> patched;
  const TvkSkinServices saved = SkinServices();  // put back whole: later tests of the process patch for real
  SkinServices().SetSysColorPatches = [&](TsSkinManager*, bool on) { patched.push_back(on); };
  bool ruleDuringBox = true;
  Platform().MessageBoxSink = [&](const TMessageBoxRequest&) {
    ruleDuringBox = m->SkinningRules().Contains(srStdDialogs) || m->Options()->ChangeSysColors();
    return IDOK;
  };
  auto packed = Pack(SkinFiles());
  packed[1] = '?';
  WriteFileBytes(dir.Path() + "BAD.vkz", packed);
  m->SetSkinName("BAD");
  SkinServices() = saved;
  EXPECT_FALSE(ruleDuringBox);
  EXPECT_TRUE(m->SkinningRules().Contains(srStdDialogs));
  EXPECT_TRUE(m->Options()->ChangeSysColors());
  EXPECT_EQ(patched, (std::vector<bool>{false, true, false, true}));  // two boxes
}

TEST_F(Manager, ThePackedPathHasASeparatorAfterTheDirectory) {
  std::string skins = dir.Sub("skins");
  WriteFileBytes(skins + "TIDE.vkz", Pack(SkinFiles()));
  // a file named like directory and skin glued together must not be taken for it
  auto glued = SkinFiles(std::string(kText) + "[GLUED]\r\n");
  WriteFileBytes(dir.Path() + "skinsTIDE.vkz", Pack(glued));
  auto m = Make();
  m->SetSkinDirectory(skins.substr(0, skins.size() - 1));  // no trailing backslash
  m->SetSkinName("TIDE");
  ASSERT_TRUE(m->SkinData().Active);
  EXPECT_TRUE(m->SkinIsPacked());
  EXPECT_EQ(m->FindSectionIndex("GLUED"), -1);
  EXPECT_EQ(m->SkinData().SkinPath, skins);
}

TEST_F(Manager, EventsOfAChangeAndUpdatesThatHoldTheApplication) {
  WriteFolder(dir.Sub("F"));
  auto m = Make();
  std::vector<std::string> events;
  m->OnBeforeChange = [&](TObject*) { events.push_back("before"); };
  m->OnSkinLoading = [&](TObject*) { events.push_back("loading"); };
  m->OnAfterChange = [&](TObject*) { events.push_back("after"); };
  m->SetSkinName("F");
  EXPECT_EQ(events, (std::vector<std::string>{"before", "loading", "after"}));
  events.clear();
  m->BeginUpdate();
  m->SetActive(false);
  events.clear();
  m->SetActive(true);  // loads, but neither applies nor tells "after"
  EXPECT_EQ(events, (std::vector<std::string>{"before", "loading"}));
  EXPECT_FALSE(m->SkinData().Active);
  EXPECT_FALSE(m->gd().empty());
  bool animDuringApply = true;
  const TvkSkinServices saved = SkinServices();
  SkinServices().PrepareFormsForChange = [&](TsSkinManager* mm) {
    animDuringApply = mm->AnimEffects()->SkinChanging()->Active();
  };
  m->EndUpdate(true, false);
  SkinServices() = saved;
  EXPECT_TRUE(m->SkinData().Active);
  EXPECT_EQ(events.back(), "after");
  EXPECT_FALSE(animDuringApply);                            // no skin-change animation for this apply
  EXPECT_TRUE(m->AnimEffects()->SkinChanging()->Active());  // and restored afterwards
}

TEST_F(Manager, CommonSectionsAndExtendedBordersReloadTheSkin) {
  auto m = MakeOnFolderSkin();
  ASSERT_TRUE(m->SkinData().Active);
  EXPECT_EQ(m->FindSectionIndex("EXTRA"), -1);
  m->CommonSections()->SetText("[EXTRA]\nCOLOR = 42\n");
  ASSERT_TRUE(m->SkinData().Active);
  int extra = m->FindSectionIndex("EXTRA");
  ASSERT_GE(extra, 0);
  EXPECT_EQ(m->gd()[extra].Props[0].Color, 42u);
  EXPECT_EQ(m->CommonSections()->Strings(1), "COLOR=42");  // stored without blanks
  int loads = 0;
  m->OnSkinLoading = [&](TObject*) { ++loads; };
  m->SetExtendedBorders(true);
  EXPECT_EQ(loads, 1);
  EXPECT_TRUE(m->SkinData().Active);
}
