// The skins the program carries: the loader's model agrees with the checker's, the TIDE skin has what the
// forms, dialogs and menus draw from, and thousands of damaged copies end cleanly.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <sstream>

#include "engine_support.h"
#include "framework/FormReader.h"
#include "framework/TypInfo.h"
#include "skin/core/sSkinLoader.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkPackedSkin.h"
#include "skin/graphics/ToolkitStartup.h"
#include "skin/graphics/vkBitmap32.h"

using namespace engine_test;

namespace {

ManagerPtr LoadCarried(const std::string& name, TvkScaleMode scale = smOldMode, bool packed = false,
                       bool extendedBorders = false) {
  ManagerPtr m(Create<TsSkinManager>(nullptr));
  m->Options()->SetScaleMode(scale);
  m->SetExtendedBorders(extendedBorders);
  m->SetSkinDirectory(SkinBuildFolder());
  m->SetSkinName(packed ? name + ".vkz" : name);
  return m;
}

// The checker writes one "MASK section key R=l,t,r,b N=.. T=.. D=.. K=.. W=l,t,r,b F=wxh" line per element.
void ExpectModelMatchesChecker(const std::string& name) {
  std::ifstream f(SkinBuildFolder() + name + ".model");
  ASSERT_TRUE(f.good()) << "the build writes " << name << ".model";
  ManagerPtr m = LoadCarried(name);
  ASSERT_TRUE(m->SkinData().Active);
  std::string line;
  int masks = 0, sections = 0;
  while (std::getline(f, line)) {
    std::istringstream in(line);
    std::string tag;
    in >> tag;
    if (tag == "SECTION") {
      std::string s;
      in >> s;
      ASSERT_LT(sections, static_cast<int>(m->gd().size()));
      EXPECT_EQ(m->gd()[sections].ClassName, s);
      ++sections;
    } else if (tag == "MASK") {
      std::string sec, key;
      in >> sec >> key;
      int i = m->FindMaskByNames(sec, key);
      ASSERT_GE(i, 0) << sec << "." << key;
      const TsMaskData& md = m->ma()[i];
      char buf[200];
      std::snprintf(buf, sizeof buf, "R=%d,%d,%d,%d N=%d T=%d D=%d K=%d W=%d,%d,%d,%d F=%dx%d", md.R.Left, md.R.Top,
                    md.R.Right, md.R.Bottom, md.ImageCount, md.MaskType, md.DrawMode, md.MaskKind, md.WL, md.WT, md.WR,
                    md.WB, md.Width, md.Height);
      std::string rest;
      std::getline(in, rest);
      EXPECT_EQ(" " + std::string(buf), rest) << sec << "." << key;
      ++masks;
    }
  }
  EXPECT_GT(masks, 0);
  EXPECT_GT(sections, 0);
}

}  // namespace

TEST(CarriedSkins, TideModelMatchesTheChecker) { ExpectModelMatchesChecker("TIDE"); }
TEST(CarriedSkins, SolidModelMatchesTheChecker) { ExpectModelMatchesChecker("SOLID"); }

TEST(CarriedSkins, TideHasWhatTheFormsDrawFrom) {
  BoxRecorder boxes;
  for (bool packed : {false, true}) {
    ManagerPtr m = LoadCarried("TIDE", smOldMode, packed);
    ASSERT_TRUE(m->SkinData().Active) << packed;
    EXPECT_EQ(m->SkinInfo(), "10.25");
    EXPECT_EQ(m->SkinData().TitleHeight, 30);
    for (const char* s : {"FORM", "FORMTITLE", "CAPTION", "DIALOG", "PANEL", "BUTTON", "BUTTON_HUGE", "BAR",
                          "PROGRESSH", "COMBOBOX", "EDIT", "SELECTION", "MENUITEM", "MAINMENU", "ICOLINE", "HINT"})
      EXPECT_GE(m->FindSectionIndex(s), 0) << s;
    const TConstantSkinData& c = m->ConstData();
    for (int i = 0; i < 12; ++i) EXPECT_GE(c.TitleMasks[i], 0) << TitleMaskNames[i];
    EXPECT_GE(c.ExBorder, 0);
    EXPECT_GE(m->gd()[m->FindSectionIndex("BUTTON")].BorderIndex, 0);
    EXPECT_EQ(m->ma()[m->gd()[m->FindSectionIndex("BUTTON_HUGE")].BorderIndex].CornerType, 2);
    EXPECT_EQ(m->ma()[m->gd()[m->FindSectionIndex("BUTTON")].BorderIndex].CornerType, 1);
    EXPECT_NE(m->PaletteColor(pcTCTop), m->PaletteColor(pcTCBottom));  // link colours
  }
  EXPECT_TRUE(boxes.texts.empty());
}

TEST(CarriedSkins, TideExtendedBordersAtEveryScale) {
  BoxRecorder boxes;
  ToolkitStartup();  // binds the layered-window functions extended borders need
  // frames of SHADOW.PNG, SHADOW_150.PNG, SHADOW_200.PNG are 36, 50 and 64 wide; 125 per cent resamples the first
  const struct {
    TvkScaleMode Mode;
    int Width;
  } Cases[] = {{sm100, 36}, {sm125, 45}, {sm150, 50}, {sm200, 64}};
  for (const auto& C : Cases) {
    ManagerPtr m = LoadCarried("TIDE", C.Mode, false, true);
    EXPECT_TRUE(m->SkinData().Active);
    const TBitmap *Active = m->ExtBorderBitmap(true), *Inactive = m->ExtBorderBitmap(false);
    EXPECT_TRUE(Active != nullptr && Inactive != nullptr && Active->Width() == C.Width) << C.Mode;
    if (m->SkinData().Active) {
      EXPECT_EQ(m->ExtBorderMargins().Left, m->ma()[m->ConstData().ExBorder].WL - m->SkinData().FormOffset);
    }
  }
  ToolkitShutdown();
}

// ---- the main form's manager block the build writes ----

namespace {
class TCarriedSkinForm : public TComponent {
  DECLARE_CLASS(TCarriedSkinForm, TComponent)
public:
  explicit TCarriedSkinForm(TComponent* owner) : TComponent(owner) {}
  TsSkinManager* sSkinManager1 = nullptr;
};
PUBLISHED(TCarriedSkinForm) { p.Field("sSkinManager1", &TCarriedSkinForm::sSkinManager1); }
}  // namespace

TEST(CarriedSkins, TheMainFormsManagerBlockLoadsTheStoredSkin) {
  BoxRecorder boxes;
  RegisterSkinManagerClasses();
  RegisterClass(TCarriedSkinForm::StaticClassInfo());
  std::vector<uint8_t> block = ReadFileBytes(SkinBuildFolder() + "TIDE.manager.form");
  ASSERT_FALSE(block.empty());
  std::string text = "object CarriedSkinForm: TCarriedSkinForm\n" + std::string(block.begin(), block.end()) + "end\n";
  TCarriedSkinForm* form = new TCarriedSkinForm(nullptr);
  ReadComponentFromText(text, form);
  TsSkinManager* m = form->sSkinManager1;
  ASSERT_NE(m, nullptr);
  EXPECT_TRUE(m->SkinData().Active);
  EXPECT_EQ(m->SkinName(), "TIDE (internal)");
  EXPECT_EQ(m->SkinInfo(), "10.25");
  EXPECT_TRUE(m->SkinIsPacked());
  EXPECT_EQ(m->InternalSkins()->Items(0)->OriginName(), "TIDE.vkz");
  EXPECT_EQ(m->AnimEffects()->FormHide()->Time(), 70);
  EXPECT_EQ(m->AnimEffects()->DialogHide()->Time(), 50);
  EXPECT_EQ(m->ThirdLists(1)->Strings(0), "TButton");
  EXPECT_EQ(m->ThirdParty()->GetList(4), " ");
  EXPECT_TRUE(boxes.texts.empty());
  form->Free();
}

// ---- damaged copies ----

// Whether packed skin bytes load; a refusal is an Exception, anything else escapes and fails the test.
bool PackedSkinLoads(const std::vector<uint8_t>& bytes) {
  TvkSkinConvertor conv;
  try {
    if (!UnpackSkin(bytes.data(), bytes.size(), conv) || !conv.Options) return false;
    TvkSkinModel model;
    ReadSkin(model, *conv.Options, &conv, "", TvkSkinLoadSettings());
    return true;
  } catch (const Exception&) {
    return false;
  }
}

TEST(CarriedSkins, MutatedPackedSkinsEndCleanly) {
  std::vector<uint8_t> good = ReadFileBytes(SkinBuildFolder() + "TIDE.vkz");
  ASSERT_GT(good.size(), 100u);
  ASSERT_TRUE(PackedSkinLoads(good));
  std::mt19937 rng(20171123);
  for (int round = 0; round < 2500; ++round) {
    std::vector<uint8_t> b = good;
    int kind = round % 5;
    if (kind == 0) {  // flip a few bytes anywhere
      for (int k = 0; k < 1 + static_cast<int>(rng() % 4); ++k) b[rng() % b.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
    } else if (kind == 1) {  // cut short
      b.resize(rng() % b.size());
    } else if (kind == 2) {  // a header field of the first entries set to something wild
      static const uint32_t wild[] = {0, 1, 0x7FFFFFFF, 0xFFFFFFFF, 65536, 12};
      size_t at = 4 + 4 * (rng() % 8);
      uint32_t v = wild[rng() % 6];
      if (at + 4 <= b.size()) std::memcpy(b.data() + at, &v, 4);
    } else if (kind == 3) {  // bytes inserted in the middle
      b.insert(b.begin() + static_cast<long>(rng() % b.size()), 1 + rng() % 8, static_cast<uint8_t>(rng()));
    } else {  // a flipped byte inside the skin text's stream only
      b[27 + rng() % 200] ^= 0x20;
    }
    const bool loaded = PackedSkinLoads(b);
    // Every entry's stream must end exactly and pass its check: a shortened copy, or one whose text
    // stream changed, is always refused. Other damage may land where nothing reads it.
    if (kind == 1 || kind == 4) {
      EXPECT_FALSE(loaded) << "round " << round;
    }
  }
}

TEST(CarriedSkins, MutatedSkinTextsEndCleanly) {
  std::vector<uint8_t> raw = ReadFileBytes(SkinBuildFolder() + "TIDE\\Options.dat");
  std::string good(raw.begin(), raw.end());
  ASSERT_FALSE(good.empty());
  std::string folder = SkinBuildFolder() + "TIDE\\";
  std::mt19937 rng(1105);
  const char noise[] = "0123456789@^!~;=[]-$x*ABCZ \r\n";
  int loaded = 0, refused = 0;
  for (int round = 0; round < 2000; ++round) {
    std::string t = good;
    for (int k = 0; k < 1 + static_cast<int>(rng() % 6); ++k) {
      size_t at = rng() % t.size();
      switch (rng() % 3) {
        case 0: t[at] = noise[rng() % (sizeof noise - 1)]; break;
        case 1: t.erase(at, 1 + rng() % 5); break;
        default: t.insert(at, 1, noise[rng() % (sizeof noise - 1)]); break;
      }
      if (t.empty()) t = "[";
    }
    try {
      TvkSkinModel model;
      ReadSkin(model, t, nullptr, folder, TvkSkinLoadSettings());
      for (const auto& g : model.gd) ASSERT_GE(g.States, 1);
      for (const auto& md : model.ma) {
        if (!md.Bmp && model.MasterBitmap) {
          ASSERT_LE(md.R.Right, model.MasterBitmap->Width());
          ASSERT_LE(md.R.Bottom, model.MasterBitmap->Height());
        }
      }
      ++loaded;
    } catch (const Exception&) {
      ++refused;
    }
  }
  EXPECT_GT(loaded, 0);
  EXPECT_GT(refused, 0);
}

TEST(CarriedSkins, DamagedStoredSkinsNeverRaiseOutOfTheSetter) {
  BoxRecorder boxes;
  std::vector<uint8_t> good = ReadFileBytes(SkinBuildFolder() + "TIDE.vkz");
  std::mt19937 rng(42);
  for (int round = 0; round < 150; ++round) {
    std::vector<uint8_t> b = good;
    for (int k = 0; k < 3; ++k) b[rng() % b.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
    ManagerPtr m(Create<TsSkinManager>(nullptr));
    m->SetActive(false);
    TsStoredSkin* item = m->InternalSkins()->Add();
    item->SetName("X");
    item->SetPackedData(b);
    m->SetSkinDirectory("Z:\\nonexistent-skins");
    ASSERT_NO_THROW(m->SetActive(true));
    boxes.texts.clear();
    ASSERT_NO_THROW(m->SetSkinName("X"));
    if (!m->SkinData().Active) {
      EXPECT_GE(boxes.texts.size(), 1u);
      EXPECT_LE(boxes.texts.size(), 2u);
      EXPECT_TRUE(m->gd().empty());
    }
  }
}

TEST(CarriedSkins, NoExtendedBordersWithoutLayeredWindows) {
  BoxRecorder boxes;
  ToolkitStartup();
  auto saved = ToolkitEntries().UpdateLayeredWindow;
  ToolkitEntries().UpdateLayeredWindow = nullptr;
  ManagerPtr m = LoadCarried("TIDE", smOldMode, false, true);
  EXPECT_TRUE(m->SkinData().Active);
  EXPECT_FALSE(m->GetExtendedBorders());
  EXPECT_EQ(m->ExtBorderBitmap(true), nullptr);
  ToolkitEntries().UpdateLayeredWindow = saved;
  ToolkitShutdown();
}

TEST(CarriedSkins, DamagedImagesInsideAPackedSkinEndCleanly) {
  // the container is sound, the image files in it are not: decoders meet hostile bytes
  std::vector<uint8_t> good = ReadFileBytes(SkinBuildFolder() + "TIDE.vkz");
  TvkSkinConvertor original;
  ASSERT_TRUE(UnpackSkin(good.data(), good.size(), original));
  // At 100% the skin reads these; its *150 and *200 variants are read only at their scales.
  const std::set<std::string> readHere = {"MASTER.BMP", "SHADOW.PNG"};
  std::mt19937 rng(7);
  int loaded = 0, refused = 0;
  for (int round = 0; round < 600; ++round) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> entries = {{"OPTIONS.DAT", Bytes(*original.Options)}};
    size_t victim = rng() % original.Files.size();
    bool shortened = false;
    for (size_t i = 0; i < original.Files.size(); ++i) {
      std::vector<uint8_t> data = original.Files[i].Data;
      if (i == victim) {
        if (rng() % 3 == 0) {
          data.resize(rng() % (data.size() + 1));
          shortened = data.size() < original.Files[i].Data.size();
        } else {
          for (int k = 0; k < 1 + static_cast<int>(rng() % 6); ++k)
            data[rng() % std::min<size_t>(data.size(), 128)] ^= static_cast<uint8_t>(1 + rng() % 255);
        }
      }
      entries.emplace_back(original.Files[i].FileName, data);
    }
    const bool read = readHere.count(UpperCase(original.Files[victim].FileName)) > 0;
    std::vector<uint8_t> packed = Pack(entries);
    TvkSkinConvertor conv;
    ASSERT_TRUE(UnpackSkin(packed.data(), packed.size(), conv));
    try {
      TvkSkinModel model;
      TvkSkinLoadSettings settings;
      settings.ExtendedBorders = true;
      ReadSkin(model, *conv.Options, &conv, "", settings);
      ++loaded;
      // A shortened image the skin reads always ends the load.
      EXPECT_FALSE(read && shortened) << "round " << round << ": shortened " << original.Files[victim].FileName
                                      << " loaded";
    } catch (const Exception& e) {
      ++refused;
      // Damage the skin does not read changes nothing.
      EXPECT_TRUE(read) << "round " << round << ": unread " << original.Files[victim].FileName << " refused: "
                        << e.Message();
    }
  }
  EXPECT_GT(loaded, 0);
  EXPECT_GT(refused, 0);
}

TEST(CarriedSkins, ElementsTheLoaderCannotReadAreLeftOutOfAnAlteredTide) {
  std::vector<uint8_t> good = ReadFileBytes(SkinBuildFolder() + "TIDE.vkz");
  TvkSkinConvertor tide;
  ASSERT_TRUE(UnpackSkin(good.data(), good.size(), tide));
  tide.Files.push_back({"A.GIF", false, Bytes("GIF89a")});
  std::string& text = *tide.Options;
  // "!" and "^" elements without frames to take their borders from, and an image of a type the loader does not read
  for (auto [From, To] : {std::pair{"!SHADOW.PNG!2!0!0!0014!0014!0014!0014!1", "!SHADOW.PNG!0!0"},
                          {"^0201^0004^0004^0004^0004^2^0^1^4", "^0201^0000^0000^0000^0000^0^0^1^0"},
                          {"[PANEL]", "[PANEL]\nGLYPHMASK=!A.GIF!1!0"}})
    text.replace(text.find(From), std::strlen(From), To);
  TvkSkinModel model;
  ReadSkin(model, text, &tide, "", TvkSkinLoadSettings());  // each of them failed the whole skin
  for (auto [Section, Key] : {std::pair{"GLOBALINFO", "EXBORDER"}, {"FORM", "BORDERSMASK"}, {"PANEL", "GLYPHMASK"}})
    EXPECT_EQ(model.FindMaskByNames(Section, Key), -1) << Key;
}

TEST(CarriedSkins, SolidCarriesAJpegImage) {
  BoxRecorder boxes;
  for (bool packed : {false, true}) {
    ManagerPtr m = LoadCarried("SOLID", smOldMode, packed);
    ASSERT_TRUE(m->SkinData().Active) << packed;
    int i = m->FindMaskByNames("PHOTO", "BORDERSMASK");
    ASSERT_GE(i, 0);
    TBitmap* photo = m->ma()[i].Bmp;
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(photo->PixelFormat(), pf32bit);
    EXPECT_EQ(m->ma()[i].R, TRect(0, 0, photo->Width(), photo->Height()));
    TPixelPlane p = PlaneOf(photo);
    uint32_t seen = 0;
    for (int y = 0; y < p.Height; ++y)
      for (int x = 0; x < p.Width; ++x) seen |= p.At(x, y) & 0xFFFFFF;
    EXPECT_NE(seen, 0u);  // decoded pixels, not an empty bitmap
  }
  EXPECT_TRUE(boxes.texts.empty());
}
