// Skin text rules: keys and their defaults, inheritance, scaled keys, image values, frame sizes, the
// palette, built-in and common sections, and malformed texts.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "engine_support.h"
#include "skin_text_fixture.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinManagerStartup.h"
#include "skin/core/vkSkinIni.h"
#include "skin/graphics/ToolkitStartup.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkPixelOps.h"

using namespace engine_test;

namespace {

const char* const kGlobal = "[GLOBALINFO]\nVERSION=10.25\nMASTERBITMAP=MASTER.BMP\n";

}  // namespace

TEST(SkinIni, SectionsAndKeysInTextOrderAndCaseSensitive) {
  TvkSkinIni ini("; comment\n[A]\r\nK = 12 \nHEX=$FF\nBAD=12x\n[a]\nK=3\n[A]\nZ=1\nK=99\n");
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"A", "a"}));
  EXPECT_EQ(ini.ReadInteger("A", "K", -1), 12);  // first occurrence wins
  EXPECT_EQ(ini.ReadInteger("a", "K", -1), 3);   // names are case-sensitive
  EXPECT_EQ(ini.ReadInteger("A", "k", -1), -1);
  EXPECT_EQ(ini.ReadInteger("A", "HEX", -1), 255);
  EXPECT_EQ(ini.ReadInteger("A", "BAD", -7), -7);  // not a number: the default
  const auto& keys = ini.Keys("A");
  ASSERT_GE(keys.size(), 3u);
  EXPECT_EQ(keys[0], (std::pair<std::string, std::string>("K", "12")));
  EXPECT_EQ(keys[1].first, "HEX");
  EXPECT_EQ(keys[2].first, "BAD");
  EXPECT_TRUE(ini.Keys("NONE").empty());
}

class SkinText : public ::testing::Test, public SkinFixture {};

TEST_F(SkinText, GlobalValuesTakeTheirDefaults) {
  auto m = Load(std::string(kGlobal) + "TITLEHEIGHT=0\n");
  ASSERT_TRUE(m->SkinData().Active);
  const TsSkinData& d = m->SkinData();
  EXPECT_DOUBLE_EQ(d.Version, 10.25);
  EXPECT_EQ(m->SkinInfo(), "10.25");
  EXPECT_EQ(d.TitleHeight, 30);  // 0 or less becomes 30
  EXPECT_EQ(d.MaxHeight, 30);    // missing: the title height
  EXPECT_EQ(d.BorderWidth, 4);
  EXPECT_EQ(d.BrightMin, -50);
  EXPECT_EQ(d.BrightMax, 50);
  EXPECT_EQ(d.Shadow1Blur, -1);
  EXPECT_EQ(d.ComboMargin, 2);
  EXPECT_EQ(d.SliderMargin, 1);
  EXPECT_EQ(d.FormOffset, GetSystemMetrics(SM_CXFRAME));
  ASSERT_EQ(m->OuterEffects().size(), 2u);
  EXPECT_EQ(m->OuterEffects()[0].ColorL, 0xFFFFFF);
  EXPECT_EQ(m->OuterEffects()[0].ColorT, 0);
  EXPECT_EQ(m->OuterEffects()[0].OffsetB, 4);
  EXPECT_EQ(m->OuterEffects()[0].Opacity, 200);
  EXPECT_EQ(m->OuterEffects()[1].OffsetL, 3);
  EXPECT_EQ(m->OuterEffects()[1].OffsetT, 2);
  EXPECT_EQ(m->OuterEffects()[1].OffsetB, 5);
  EXPECT_EQ(m->OuterEffects()[1].Opacity, 60);
}

TEST_F(SkinText, AlignOffsetsDefaultToAlignOffset) {
  auto m = Load(std::string(kGlobal) + "ALIGNOFFSET=3\nALIGNOFFSETT=1\n");
  EXPECT_EQ(m->SkinData().AlignOffsetR, 3);
  EXPECT_EQ(m->SkinData().AlignOffsetT, 1);
  EXPECT_EQ(m->SkinData().AlignOffsetB, 3);
}

TEST_F(SkinText, ScaledKeysUseTheirVariantOrThePercentage) {
  std::string text = std::string(kGlobal) + "TITLEHEIGHT=30\n";
  EXPECT_EQ(Load(text, sm150)->SkinData().TitleHeight, 45);
  EXPECT_EQ(Load(text + "TITLEHEIGHT*150=40\n", sm150)->SkinData().TitleHeight, 40);
  EXPECT_EQ(Load(text + "TITLEHEIGHT*150=40\n", sm125)->SkinData().TitleHeight, 37);
  EXPECT_EQ(Load(text + "TITLEHEIGHT*150=40\n")->SkinData().TitleHeight, 30);  // the old mode is 100 per cent
  // the title buttons' spacing has no scaled keys: it is multiplied by the scale
  const struct {
    int Scale, Space;
  } Spaces[] = {{-1, 5}, {sm125, 6}, {sm150, 7}, {sm200, 10}};
  for (const auto& c : Spaces)
    EXPECT_EQ(Load(text + "BISPACE=5\nBISPACE*150=9\n", c.Scale)->SkinData().BISpace, c.Space) << c.Scale;
}

TEST_F(SkinText, SectionKeysAndStateCopies) {
  auto m = Load(std::string(kGlobal) +
                "[BUTTON]\nSTATES=1\nCOLOR=255\nGRADIENTDATA=255;0;0;65280;50;0;B\n"
                "[PANEL]\nCOLOR=1\nHOTCOLOR=2\nCOLOR2=3\nUSESTATE2=1\nGLOW=999\nOUTOPACITY=300\n");
  const TsGeneralData& b = Section(m.get(), "BUTTON");
  EXPECT_EQ(b.States, 1);
  ASSERT_EQ(b.Props[0].GradientArray.size(), 2u);
  for (int s = 1; s < 3; ++s) {
    EXPECT_EQ(b.Props[s].Color, 255u);
    EXPECT_EQ(b.Props[s].GradientArray.size(), 2u) << s;
    EXPECT_EQ(b.Props[s].GradientArray[1].Percent, 100);
  }
  const TsGeneralData& p = Section(m.get(), "PANEL");
  EXPECT_EQ(p.States, 3);
  EXPECT_TRUE(p.UseState2);
  EXPECT_EQ(p.Props[0].Color, 1u);
  EXPECT_EQ(p.Props[1].Color, 2u);
  EXPECT_EQ(p.Props[2].Color, 3u);
  EXPECT_EQ(p.Glow, 255);          // bounded
  EXPECT_EQ(p.OuterOpacity, 255);
  EXPECT_EQ(p.Props[0].FontColor, 0u);
  EXPECT_EQ(p.Props[0].GlowColor, 0xFFFFFFu);
  EXPECT_EQ(p.Props[0].TCLeft, -1);
  EXPECT_EQ(p.Props[0].TextureIndex, -1);
  EXPECT_TRUE(p.Props[0].GradientArray.empty());
  EXPECT_EQ(p.OuterMode, 2);
  EXPECT_EQ(p.OutOffsL, -1);  // missing everywhere: -1, not 0
}

TEST_F(SkinText, ParentsGiveWhatASectionLacks) {
  auto m = Load(std::string(kGlobal) +
                "[BUTTON]\nCOLOR=4660\nOUTOFFSL=7\nGIVEOWNFONT=TRUE\nBORDERSMASK=^0000^0000^0009^0003^0001^0001^0001"
                "^0001^3^0^1^1\n"
                "[MYBTN]\nPARENTCLASS=BUTTON\nCOLOR=-5\n"
                "[SELF]\nPARENTCLASS=SELF\n"
                "[Q]\nPARENTCLASS=?\n");
  const TsGeneralData& my = Section(m.get(), "MYBTN");
  EXPECT_EQ(my.Props[0].Color, 4660u);  // a negative value counts as absent
  EXPECT_EQ(my.OutOffsL, 7);
  EXPECT_TRUE(my.GiveOwnFont);
  int button = m->FindSectionIndex("BUTTON");
  EXPECT_EQ(m->FindMaskInherited(m->FindSectionIndex("MYBTN"), "BORDERSMASK"),
            m->FindMaskInherited(button, "BORDERSMASK"));
  EXPECT_GE(my.BorderIndex, 0);
  EXPECT_EQ(Section(m.get(), "SELF").Props[0].Color, 0xFFFFFFu);
  EXPECT_EQ(Section(m.get(), "Q").Props[0].Color, 0xFFFFFFu);
  EXPECT_EQ(m->FindMaskInherited(m->FindSectionIndex("SELF"), "BORDERSMASK"), -1);
}

TEST_F(SkinText, ACycleOfParentsEnds) {
  auto m = Load(std::string(kGlobal) + "[A]\nPARENTCLASS=B\n[B]\nPARENTCLASS=A\n[C]\nPARENTCLASS=A\n");
  ASSERT_TRUE(m->SkinData().Active);
  int a = m->FindSectionIndex("A"), c = m->FindSectionIndex("C");
  EXPECT_EQ(Section(m.get(), "C").Props[0].Color, 0xFFFFFFu);
  EXPECT_EQ(m->FindMaskInherited(a, "BORDERSMASK"), -1);
  EXPECT_EQ(m->FindMaskOfSection(c, "C", "BORDERSMASK"), -1);
  EXPECT_EQ(m->FindTextureInherited(c, "C", "PATTERN"), -1);
}

TEST_F(SkinText, StatesZeroAndUnknownOuterModesStayInRange) {
  auto m = Load(std::string(kGlobal) + "[Z]\nSTATES=0\nOUTERMODE=7\n[O]\nOUTERMODE=1\n");
  EXPECT_EQ(Section(m.get(), "Z").States, 1);
  EXPECT_EQ(Section(m.get(), "Z").OuterMode, 0);
  EXPECT_EQ(Section(m.get(), "O").OuterMode, 1);
}

TEST_F(SkinText, MasterImageValuesAndFrameSizes) {
  auto m = Load(std::string(kGlobal) + "[B]\nGLYPHMASK=@0010@0005@0055@0020@3@0\nTWO=@0000@0000@0010@0020@1@1\n"
                                       "NINE=^0000^0000^0012^0012^0000^0000^0000^0000^1^0^1^3\n"
                                       "DERIVED=^0000^0000^0030^0030^0000^0000^0000^0000^2^1^0^0\n"
                                       "TEX=~0004~0004~0012~0012~05~1\n");
  int g = m->FindMaskByNames("B", "GLYPHMASK");
  ASSERT_GE(g, 0);
  const TsMaskData& md = m->ma()[g];
  EXPECT_EQ(md.R, TRect(10, 5, 55, 20));
  EXPECT_EQ(md.ImageCount, 3);
  EXPECT_EQ(md.MaskType, 0);
  EXPECT_EQ(md.MaskKind, mkMasterImage);
  EXPECT_EQ(md.Width, 15);
  EXPECT_EQ(md.Height, 15);
  EXPECT_EQ(md.Bmp, nullptr);
  EXPECT_EQ(md.Manager, m.get());
  const TsMaskData& two = m->ma()[m->FindMaskByNames("B", "TWO")];
  EXPECT_EQ(two.Height, 10);  // one mask band
  const TsMaskData& nine = m->ma()[m->FindMaskByNames("B", "NINE")];
  EXPECT_EQ(nine.WL, 3);  // no widths: BorderWidth on all four
  EXPECT_EQ(nine.WB, 3);
  EXPECT_EQ(nine.CornerType, 1);  // its top-left corner holds key pixels
  const TsMaskData& der = m->ma()[m->FindMaskByNames("B", "DERIVED")];
  EXPECT_EQ(der.WL, 5);  // 30 div (2 * 3)
  EXPECT_EQ(der.WT, 5);  // 30 div ((1 + 1) * 3)
  EXPECT_EQ(der.CornerType, 1);
  const TsMaskData& tex = m->ma()[m->FindMaskByNames("B", "TEX")];
  EXPECT_EQ(tex.MaskKind, mkTexture);
  EXPECT_EQ(tex.DrawMode, 5);
  EXPECT_EQ(tex.MaskType, 1);
  EXPECT_EQ(tex.ImageCount, 1);
}

TEST_F(SkinText, FileImagesAndScaledVariants) {
  WriteFileBytes(dir.Sub("T") + "E.BMP", SolidBmp(12, 6, 0x102030));
  WriteFileBytes(dir.Sub("T") + "E15.BMP", SolidBmp(18, 9, 0x102030));
  std::string text = std::string(kGlobal) +
                     "[EDIT]\nBORDERSMASK=!E.BMP!2!0!0\nBORDERSMASK*150=!E15.BMP!2!0!0!0002!0002!0002!0002!1\n"
                     "GONE=!MISSING.BMP!1!0!0\nPLAIN=e.bmp!1!0!0\n";
  auto m = Load(text);
  int b = m->FindMaskByNames("EDIT", "BORDERSMASK");
  ASSERT_GE(b, 0);
  EXPECT_EQ(m->ma()[b].R, TRect(0, 0, 12, 6));
  EXPECT_NE(m->ma()[b].Bmp, nullptr);
  EXPECT_EQ(m->ma()[b].WL, 2);  // 12 div (2 * 3)
  EXPECT_EQ(m->ma()[b].WT, 2);
  EXPECT_EQ(m->FindMaskByNames("EDIT", "GONE"), -1);           // missing image: no element
  EXPECT_GE(m->FindMaskByNames("EDIT", "PLAIN"), 0);           // ".BMP" inside a value without "!" first
  EXPECT_EQ(m->FindMaskByNames("EDIT", "BORDERSMASK*150"), -1);  // variants are not elements of their own
  EXPECT_EQ(Section(m.get(), "EDIT").BorderFlag, 0);
  auto s = Load(text, sm150);
  int sb = s->FindMaskByNames("EDIT", "BORDERSMASK");
  ASSERT_GE(sb, 0);
  EXPECT_EQ(s->ma()[sb].R, TRect(0, 0, 18, 9));
  EXPECT_EQ(s->ma()[sb].DrawMode, 1);
  EXPECT_EQ(Section(s.get(), "EDIT").BorderFlag, 0);
}

TEST_F(SkinText, PaletteAndBuiltInSections) {
  auto m = Load(std::string(kGlobal) + "COLOR=1193046\nFONTCOLOR=66\nBORDERCOLOR=77\n"
                                       "[EDIT]\nCOLOR=11\nFONTCOLOR=12\n[SELECTION]\nSTATES=1\nCOLOR=21\nFONTCOLOR=22\n");
  EXPECT_EQ(m->SkinBaseColor(), 1193046u);
  EXPECT_EQ(m->SkinBaseFontColor(), 66u);
  EXPECT_EQ(m->EditBackColor(), 11u);
  EXPECT_EQ(m->EditTextColor(), 12u);
  EXPECT_EQ(m->SelectionBackColor(false), 21u);
  EXPECT_EQ(m->SelectionBackColor(true), 21u);  // one state: both pairs alike
  EXPECT_EQ(m->PaletteColor(pcTCBottom), 0xFF0000u);
  EXPECT_EQ(m->PaletteColor(pcTCTop), 0x0000FFu);
  EXPECT_EQ(m->PaletteColor(pcEditBGInv), 12u);
  EXPECT_EQ(m->PaletteColor(pcEditTextInv), 11u);
  EXPECT_EQ(m->PaletteColor(pcBtnColor2Active), 0xFF000000u | 1193046u);
  EXPECT_EQ(m->PaletteColor(pcBtnBorderPressed), 77u);
  EXPECT_EQ(m->PaletteColor(pcEditTextAlert), 0x0000FFu);
  EXPECT_EQ(m->PaletteColor(pcEditTextAlert3), 0x4AB28Fu);
  // EDITBG_EVEN mixes text into background by 0x0D: (12 * 13 + 11 * 242) >> 8 in the low byte
  EXPECT_EQ(m->PaletteColor(pcEditBGEven) & 0xFF, static_cast<uint32_t>((12 * 13 + 11 * 242) >> 8));
  const TsGeneralData& t = Section(m.get(), "TRANSPARENT");
  EXPECT_EQ(t.States, 1);
  EXPECT_EQ(t.Props[2].Transparency, 100);
  EXPECT_EQ(t.Props[0].FontColor, 66u);
  const TsGeneralData& mc = Section(m.get(), "MAINCOLOR");
  EXPECT_EQ(mc.Props[0].Color, 1193046u);
  EXPECT_NE(m->PaletteBrush(0), nullptr);
}

TEST_F(SkinText, SelectionFallsBackToTheMenuItem) {
  auto m = Load(std::string(kGlobal) + "[MENUITEM]\nHOTCOLOR=31\nHOTFONTCOLOR=32\n");
  EXPECT_EQ(m->SelectionBackColor(false), 31u);
  EXPECT_EQ(m->SelectionBackColor(true), 31u);
  EXPECT_EQ(m->SelectionTextColor(false), 32u);
  auto n = Load(std::string(kGlobal));
  EXPECT_EQ(n->SelectionBackColor(false), static_cast<uint32_t>(GetSysColor(COLOR_HIGHLIGHT)));
  EXPECT_EQ(n->SelectionTextColor(true), static_cast<uint32_t>(GetSysColor(COLOR_HIGHLIGHTTEXT)));
}

TEST_F(SkinText, CommonSectionsAddOnlyNewNames) {
  std::string common = "[button]\nCOLOR=5\n[MYPANEL]\nPARENTCLASS=panel\nHOTCOLOR=9\n[LOOSE]\nPARENTCLASS=NONE\n";
  auto m = Load(std::string(kGlobal) + "[BUTTON]\nCOLOR=1\n[PANEL]\nCOLOR=7\nSTATES=2\nGLOW=3\n"
                                       "BORDERSMASK=@0010@0010@0016@0016@1@0\n",
                -1, common);
  EXPECT_EQ(Section(m.get(), "BUTTON").Props[0].Color, 1u);
  EXPECT_EQ(m->FindSectionIndex("button"), -1);
  const TsGeneralData& mp = Section(m.get(), "MYPANEL");
  EXPECT_EQ(mp.Props[0].Color, 7u);  // from the parent record
  EXPECT_EQ(mp.Props[1].Color, 9u);
  EXPECT_EQ(mp.States, 2);
  EXPECT_EQ(mp.Glow, 3);
  EXPECT_EQ(mp.ParentClass, "PANEL");  // a parent named in lower case gives its border as well as its colours
  EXPECT_EQ(mp.BorderIndex, m->FindMaskByNames("PANEL", "BORDERSMASK"));
  EXPECT_GE(mp.BorderIndex, 0);
  const TsGeneralData& loose = Section(m.get(), "LOOSE");
  EXPECT_EQ(loose.Props[0].Color, 0xFFFFFFu);
  EXPECT_EQ(loose.States, 3);
}

TEST_F(SkinText, SectionSlotsAndTheirFallBacks) {
  auto m = Load(std::string(kGlobal) + "[TOOLBAR]\nCOLOR=8\n[BUTTON]\nCOLOR=9\n");
  const TConstantSkinData& c = m->ConstData();
  EXPECT_EQ(c.Sections[ssToolBar], m->FindSectionIndex("TOOLBAR"));
  EXPECT_EQ(c.Sections[ssMenuCaption], c.Sections[ssToolBar]);
  int copy = m->FindSectionIndex("MENUCAPTION");
  ASSERT_GE(copy, 0);
  EXPECT_EQ(m->gd()[copy].Props[0].Color, 8u);
  EXPECT_EQ(c.Sections[ssColHeader], m->FindSectionIndex("BUTTON"));
  EXPECT_EQ(c.Sections[ssColHeaderA], m->FindSectionIndex("BUTTON"));
  EXPECT_EQ(c.Sections[ssMenuLine], -1);  // no fall-back
  EXPECT_EQ(m->FindSectionIndex("MENULINE"), -1);
  EXPECT_EQ(c.Sections[ssTransparent], m->FindSectionIndex("TRANSPARENT"));
  EXPECT_EQ(c.Sections[ssGauge], -1);
}

TEST_F(SkinText, MalformedValuesEndInTheMessageAndNoSkin) {
  const char* bad[] = {
      "[B]\nGLYPHMASK=@00x0@0005@0055@0020@3@0\n",                                 // not a number
      "[B]\nGLYPHMASK=@0010@0005\n",                                               // too short
      "[B]\nGRADIENTDATA=1;2;x;4;5;0\n",                                           // bad gradient number
  };
  for (const char* section : bad) {
    boxes.texts.clear();
    auto m = Load(std::string(kGlobal) + section);
    EXPECT_FALSE(m->SkinData().Active) << section;
    EXPECT_TRUE(m->gd().empty()) << section;
    EXPECT_EQ(m->SkinInfo(), "N/A");
    ASSERT_EQ(boxes.texts.size(), 1u) << section;
    EXPECT_EQ(boxes.texts[0], "Internal format error in the \"T\" skin. Please, update this skin to latest version.");
  }
}

TEST_F(SkinText, VersionNotes) {
  auto old = Load("[GLOBALINFO]\nVERSION=7.5\n");
  EXPECT_TRUE(old->SkinData().Active);
  EXPECT_TRUE(boxes.texts.empty());  // the old-version note is for design time only
  auto young = Load("[GLOBALINFO]\nVERSION=13.1\n");
  EXPECT_TRUE(young->SkinData().Active);  // loads after the warning
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0],
            "This version of the skin has not complete support by used VelkorControls package release.\r\n"
            "Components must be updated to latest version for using this skin.");
  EXPECT_TRUE(young->SkinningRules().Contains(srStdDialogs));  // restored after the box
}

TEST_F(SkinText, HueOffsetTurnsImagesAndColoursButKeepsTitleButtons) {
  auto red = [](int, int) { return 0xFF0000u; };
  std::string text = std::string(kGlobal) + "BIKEEPHUE=2\nBICONCLOSE=@0010@0010@0020@0020@1@0\n[B]\nCOLOR=255\n";
  auto m = Load(text, -1, "", red, [](TsSkinManager* mm) { mm->SetHueOffset(120); });
  ASSERT_TRUE(m->SkinData().Active);
  TPixelPlane p = PlaneOf(m->MasterBitmap());
  EXPECT_EQ(p.At(40, 40) & 0xFFFFFF, 0x00FF00u);  // red turned to green
  EXPECT_EQ(p.At(15, 15) & 0xFFFFFF, 0xFF0000u);  // the close button keeps its hue
  EXPECT_EQ(p.At(0, 0) & 0xFFFFFF, 0xFF00FFu);    // key pixels untouched
  EXPECT_EQ(p.At(40, 40) >> 24, 0xFFu);           // the master bitmap is opaque
  EXPECT_EQ(Section(m.get(), "B").Props[0].Color, 0x00FF00u);
}

TEST_F(SkinText, BrightnessKeepsTheMaskBandsOfMasterElements) {
  auto grey = [](int, int) { return 0x404040u; };
  std::string text = std::string(kGlobal) + "[B]\nM=@0010@0010@0020@0030@1@1\n";
  auto m = Load(text, -1, "", grey, [](TsSkinManager* mm) { mm->SetBrightness(50); });
  ASSERT_TRUE(m->SkinData().Active);
  TPixelPlane p = PlaneOf(m->MasterBitmap());
  // Brightened by 50: each byte 0x40 + (0x40 * 50 shr 8) = 0x40 + 12.
  EXPECT_EQ(p.At(40, 40) & 0xFFFFFF, 0x4C4C4Cu);
  EXPECT_EQ(p.At(15, 15) & 0xFFFFFF, 0x4C4C4Cu);  // the element's image half too
  EXPECT_EQ(p.At(15, 25) & 0xFFFFFF, 0x404040u);  // its mask band is kept
}

TEST_F(SkinText, SaturationReachesSectionsAndThePalette) {
  std::string text = std::string(kGlobal) + "COLOR=4227200\n[B]\nCOLOR=4227200\nTCLEFT=-1\n";
  auto m = Load(text, -1, "", nullptr, [](TsSkinManager* mm) { mm->SetSaturation(-100); });
  ASSERT_TRUE(m->SkinData().Active);
  uint32_t c = Section(m.get(), "B").Props[0].Color;
  EXPECT_EQ(c & 0xFF, (c >> 8) & 0xFF);  // no saturation left: grey
  EXPECT_EQ(c & 0xFF, (c >> 16) & 0xFF);
  EXPECT_EQ(Section(m.get(), "B").Props[0].TCLeft, -1);  // "none" stays none
  EXPECT_EQ(m->SkinBaseColor(), c);
}

TEST_F(SkinText, TextureImagesAndFramelessElements) {
  WriteFileBytes(dir.Sub("T") + "TEX.BMP", SolidBmp(8, 8, 0x334455));
  auto m = Load(std::string(kGlobal) + "[B]\nPATTERN=~0000~0000~0008~0004~01~0~tex.bmp\n"
                                       "GONE=~0000~0000~0008~0004~01~0~NOPE.BMP\n"
                                       "FLAT=@0000@0000@0010@0006@0@0\n");
  int t = m->FindMaskByNames("B", "PATTERN");
  ASSERT_GE(t, 0);
  EXPECT_NE(m->ma()[t].Bmp, nullptr);  // the seventh word names the texture's own image
  EXPECT_EQ(m->ma()[t].R, TRect(0, 0, 8, 4));
  EXPECT_EQ(m->FindMaskByNames("B", "GONE"), -1);
  EXPECT_EQ(Section(m.get(), "B").Props[0].TextureIndex, t);
  EXPECT_EQ(Section(m.get(), "B").Props[2].TextureIndex, t);  // states without their own keep the one below
  int f = m->FindMaskByNames("B", "FLAT");
  ASSERT_GE(f, 0);
  const TsMaskData& flat = m->ma()[f];
  EXPECT_EQ(flat.ImageCount, 1);  // no frames: one, with borders from the frame size
  EXPECT_EQ(flat.Width, 10);      // that one frame is the whole element
  EXPECT_EQ(flat.WT + flat.WB, 4);
  EXPECT_EQ(flat.WL + flat.WR, 6);
}

TEST_F(SkinText, GlobalValuesAsWritten) {
  auto m = Load(std::string(kGlobal) +
                "AUTHOR=Someone\nDESCRIPTION=Plain\nBORDERWIDTH=6\nTITLEHEIGHT=24\nMAXHEIGHT=20\nCENTEROFFSET=8\n"
                "FORMOFFSET=3\nBORDERMODE=1\nBRIGHTMIN=-20\nBRIGHTMAX=30\nBISPACE=2\nBIVALIGN=1\nBIRIGHT=5\nBILEFT=6\n"
                "BITOP=7\nBIKEEPHUE=1\nAEROBLUR=1\nBICONMAXGLOWMARGIN=4\nSHADOW1COLOR=99\nSHADOW1OFFSET=2\n"
                "SHADOW1BLUR=3\nSHADOW1TRANSPARENCY=40\nCOMBOMARGIN=5\nSLIDERMARGIN=6\nARROWSTYLE=2\n"
                "SH_SOURCE=0\nLO_SOURCE=1\nLO_MASK=^0000^0000^0012^0012^0004^0004^0004^0004^1^0^1^0\n"
                "LO_COLORT=17\nLO_WIDTHL=3\nLO_OFFSETR=9\nLO_OPACITY=150\n"
                "BICONCLOSEGLOW=2\nBICONCLOSEGLOW0=@0020@0020@0030@0030@1@0\nBICONCLOSEGLOW1=@0030@0020@0040@0030@1@0\n"
                "[TABTOP]\nTABSCOVERING=1\n");
  const TsSkinData& d = m->SkinData();
  EXPECT_EQ(d.Author, "Someone");
  EXPECT_EQ(d.Description, "Plain");
  EXPECT_EQ(d.BorderWidth, 6);
  EXPECT_EQ(d.TitleHeight, 24);
  EXPECT_EQ(d.MaxHeight, 20);
  EXPECT_EQ(d.CenterOffset, 8);
  EXPECT_EQ(d.FormOffset, 3);
  EXPECT_EQ(d.BorderMode, 1);
  EXPECT_EQ(d.BrightMin, -20);
  EXPECT_EQ(d.BrightMax, 30);
  EXPECT_EQ(d.BISpace, 2);
  EXPECT_EQ(d.BIVAlign, 1);
  EXPECT_EQ(d.BIRight, 5);
  EXPECT_EQ(d.BILeft, 6);
  EXPECT_EQ(d.BITop, 7);
  EXPECT_EQ(d.BIKeepHue, 1);
  EXPECT_TRUE(d.AeroBlur);
  EXPECT_EQ(d.TitleGlowMargins[2], 4);  // BICONMAX
  EXPECT_EQ(d.TitleGlowMargins[1], 0);
  EXPECT_EQ(d.Shadow1Color, 99u);
  EXPECT_EQ(d.Shadow1Offset, 2);
  EXPECT_EQ(d.Shadow1Blur, 3);
  EXPECT_EQ(d.Shadow1Transparency, 40);
  EXPECT_EQ(d.ComboMargin, 5);
  EXPECT_EQ(d.SliderMargin, 6);
  EXPECT_EQ(d.ArrowStyle, 2);
  EXPECT_EQ(m->Options()->EffectiveArrowsStyle(), 2);  // arsDefault: as the skin says
  m->Options()->SetArrowsStyle(arsLines1);
  EXPECT_EQ(m->Options()->EffectiveArrowsStyle(), arsLines1);
  EXPECT_TRUE(d.TabsCovering);
  EXPECT_FALSE(d.RibbonTabsCovering);
  const TvkOuterEffectData& lo = m->OuterEffects()[0];
  const TvkOuterEffectData& sh = m->OuterEffects()[1];
  EXPECT_EQ(sh.MaskIndex, -1);  // source 0: no mask
  EXPECT_EQ(lo.Source, 1);
  EXPECT_EQ(lo.MaskIndex, m->FindMaskByNames("GLOBALINFO", "LO_MASK"));
  ASSERT_GE(lo.MaskIndex, 0);
  EXPECT_EQ(m->ma()[lo.MaskIndex].CornerType, 0);
  EXPECT_EQ(lo.ColorT, 17);
  EXPECT_EQ(lo.WidthL, 3);
  EXPECT_EQ(lo.WidthR, -1);
  EXPECT_EQ(lo.OffsetR, 9);
  EXPECT_EQ(lo.Opacity, 150);
  const TConstantSkinData& c = m->ConstData();
  ASSERT_EQ(c.TitleGlows[1].size(), 2u);  // BICONCLOSE
  EXPECT_EQ(c.TitleGlows[1][1], m->FindMaskByNames("GLOBALINFO", "BICONCLOSEGLOW1"));
  EXPECT_EQ(c.TitleGlows[0].size(), 2u);   // BICLOSEALONE has none of its own: both missing
  EXPECT_EQ(c.TitleGlows[0][0], -1);
}

TEST_F(SkinText, AGlowCountBeyondTheElementsIsBounded) {
  auto m = Load(std::string(kGlobal) + "BICONCLOSEGLOW=2000000000\n");
  ASSERT_TRUE(m->SkinData().Active);
  for (const auto& list : m->ConstData().TitleGlows) EXPECT_LE(list.size(), m->ma().size());
}

// How the made shadow looks in a parent's cache: CachePaintShadow.
TEST_F(SkinText, TheDefaultSourceMakesTheOutlineAndShadowFromTheProgramsBlurImage) {
  const std::string Text = std::string(kGlobal) + "SH_COLORL=255\nSH_WIDTHT=2\n";  // left red, the rest black
  auto m = Load(Text);
  const TvkOuterEffectData& sh = m->OuterEffects()[1];
  EXPECT_EQ(sh.WidthL, 5);  // unset widths take half the 11-pixel blur image
  EXPECT_EQ(sh.WidthT, 2);
  for (const TvkOuterEffectData& e : m->OuterEffects()) {
    ASSERT_GE(e.MaskIndex, 0);
    const TsMaskData& md = m->ma()[e.MaskIndex];
    ASSERT_NE(md.Bmp, nullptr);
    EXPECT_EQ(md.R, TRect(0, 0, 11, 22));  // a frame over its mask band
    EXPECT_EQ(md.Height, 11);
    for (int w : {md.WL, md.WT, md.WR, md.WB, md.BorderWidth}) EXPECT_EQ(w, 5);
  }
  const TsMaskData& shadow = m->ma()[sh.MaskIndex];
  EXPECT_EQ(GetPixel32(shadow.Bmp, 0, 5), 0xFFFF0000u);  // the left edge's colour
  // a brighter skin leaves the made element as it is: it is no image of the skin
  auto bright = Load(Text, -1, "", nullptr, [](TsSkinManager* mm) { mm->SetBrightness(40); });
  const TsMaskData& same = bright->ma()[bright->OuterEffects()[1].MaskIndex];
  for (int y : {5, 16})
    for (int x : {0, 2, 5}) EXPECT_EQ(GetPixel32(same.Bmp, x, y), GetPixel32(shadow.Bmp, x, y)) << x << "," << y;
}

TEST_F(SkinText, ExtendedBordersWithoutTheSkinsOwnTakeTheWindowShadows) {
  ToolkitStartup();  // extended borders need layered windows
  SkinManagerUnitInitialize();
  auto extended = [](TsSkinManager* mm) { mm->SetExtendedBorders(true); };
  auto m = Load(kGlobal, -1, "", nullptr, extended);
  for (auto [Made, Shadow] : {std::pair{m->ExtBorderBitmap(true), ShadowBitmapActive},
                              std::pair{m->ExtBorderBitmap(false), ShadowBitmapInactive}}) {
    ASSERT_NE(Made, nullptr);
    EXPECT_NE(Made, Shadow);  // a copy: the skin frees its own
    ASSERT_EQ(Made->Width(), Shadow->Width());
    for (int i = 0; i < Made->Width(); ++i) EXPECT_EQ(GetPixel32(Made, i, i), GetPixel32(Shadow, i, i)) << i;
  }
  EXPECT_EQ(m->ExtBorderMargins(), TRect(9, 9, 9, 9));
  m.reset();
  SkinManagerUnitFinalize();
  // without the start-up images nothing is made
  EXPECT_EQ(Load(kGlobal, -1, "", nullptr, extended)->ExtBorderBitmap(true), nullptr);
  ToolkitShutdown();
}
