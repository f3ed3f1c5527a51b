// Skin text rules where a third-party skin may be sloppy: elements that cannot be cut from a bitmap are left
// out (the skin still loads), the third state belongs to the section itself, and desaturating greys a
// colour value exactly as it greys the same colour in a pixel.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "engine_support.h"
#include "skin_text_fixture.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/vkBitmap32.h"

using namespace engine_test;

namespace {

const char* const kGlobal = "[GLOBALINFO]\nVERSION=10.25\nMASTERBITMAP=MASTER.BMP\n";

class ElementRules : public ::testing::Test, public SkinFixture {};

}  // namespace

TEST_F(ElementRules, AnElementThatCannotBeCutIsLeftOutAndTheSkinLoads) {
  struct Case {
    const char* global;  // GLOBALINFO
    const char* value;
  } cases[] = {
      {kGlobal, "@0010@0005@0099@0020@3@0"},                                  // beyond the master's right edge
      {kGlobal, "@0020@0005@0010@0020@1@0"},                                  // left beyond right
      {kGlobal, "^0000^0000^0070^0012^0001^0001^0001^0001^1^0^1^1"},          // nine parts beyond the edge
      {kGlobal, "~0004~0004~0080~0012~05~1"},                                 // texture beyond the edge
      {kGlobal, "~0000~0000~0008~0004~01~0~~"},                               // long texture naming no image
      {"[GLOBALINFO]\nVERSION=10\nMASTERBITMAP=NOPE.BMP\n", "@0000@0000@0002@0002@1@0"},  // no master bitmap
      {"[GLOBALINFO]\nVERSION=10\n", "^0000^0000^0004^0004^0001^0001^0001^0001^1^0^1^1"},  // none named
  };
  for (const Case& c : cases) {
    boxes.texts.clear();
    WriteFileBytes(dir.Sub("T") + "EDGE.BMP", SolidBmp(6, 6, 0x112233));
    auto m = Load(std::string(c.global) + "[B]\nBAD=" + c.value + "\nGOOD=!EDGE.BMP!1!0\n");
    EXPECT_TRUE(m->SkinData().Active) << c.value;
    EXPECT_TRUE(boxes.texts.empty()) << c.value;
    EXPECT_EQ(m->FindMaskByNames("B", "BAD"), -1) << c.value;
    EXPECT_GE(m->FindMaskByNames("B", "GOOD"), 0) << c.value;  // the rest of the section is read
  }
}

TEST_F(ElementRules, TheThirdStateIsTheSectionsOwn) {
  auto m = Load(std::string(kGlobal) +
                "[P]\nUSESTATE2=1\nCOLOR2=5\n"
                "[C]\nPARENTCLASS=P\n"
                "[D]\nPARENTCLASS=P\nUSESTATE2=1\n",
                -1, "[Q]\nPARENTCLASS=P\n[R]\nPARENTCLASS=P\nUSESTATE2=0\n");
  ASSERT_TRUE(m->SkinData().Active);
  EXPECT_TRUE(Section(m.get(), "P").UseState2);
  const TsGeneralData& c = Section(m.get(), "C");
  EXPECT_FALSE(c.UseState2);  // not taken from the parent
  EXPECT_EQ(c.Props[2].Color, c.Props[1].Color);
  const TsGeneralData& d = Section(m.get(), "D");
  EXPECT_TRUE(d.UseState2);
  EXPECT_EQ(d.Props[2].Color, 5u);  // its own third state, whose keys do inherit
  // a common section takes what its key does not say from its parent's record
  EXPECT_TRUE(Section(m.get(), "Q").UseState2);
  EXPECT_FALSE(Section(m.get(), "R").UseState2);
}

// Saturation -100 leaves the grey round(0.299 R + 0.587 G + 0.114 B) * 255 shr 8 of each colour, whether it
// is a pixel of the master bitmap or a section's colour value (whose red and blue bytes lie the other way).
TEST_F(ElementRules, DesaturatedPixelsAndColourValuesAgree) {
  struct Case {
    int x;
    const char* section;
    uint32_t grey;
  } cases[] = {{15, "RED", 75}, {25, "GREEN", 149}, {35, "BLUE", 28}};
  auto master = [](int x, int) {
    return x >= 10 && x < 20 ? 0xFF0000u : x >= 20 && x < 30 ? 0x00FF00u : x >= 30 && x < 40 ? 0x0000FFu : 0x808080u;
  };
  auto m = Load(std::string(kGlobal) + "[RED]\nCOLOR=255\n[GREEN]\nCOLOR=65280\n[BLUE]\nCOLOR=16711680\n", -1, "",
                master, [](TsSkinManager* mm) { mm->SetSaturation(-100); });
  ASSERT_TRUE(m->SkinData().Active);
  TPixelPlane p = PlaneOf(m->MasterBitmap());
  for (const Case& c : cases) {
    const uint32_t grey = c.grey * 0x010101u;
    EXPECT_EQ(p.At(c.x, 40) & 0xFFFFFF, grey) << c.section;
    EXPECT_EQ(Section(m.get(), c.section).Props[0].Color, grey) << c.section;
  }
}
