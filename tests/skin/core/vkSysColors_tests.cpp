// System-colour patches: what the patched entries answer, when they are put in and taken out, and the
// brushes they hand out.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "engine_support.h"
#include "tests/support/Owned.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkSysColors.h"
#include "skin/graphics/vkBlend.h"

using namespace engine_test;

namespace {

using ManagerPtr = testing_support::Owned<TsSkinManager>;

// Colours no system default has: base 0x123456, border 0x222222, edit 0x405060 on 0x102030, selection
// 0xA0B0C0 on 0x708090.
const char* const kColoursSkin =
    "[GLOBALINFO]\r\nVERSION=10.25\r\nCOLOR=1193046\r\nBORDERCOLOR=2236962\r\n"
    "[EDIT]\r\nCOLOR=1056816\r\nFONTCOLOR=4214880\r\n"
    "[SELECTION]\r\nSTATES=2\r\nCOLOR=7372944\r\nFONTCOLOR=10531008\r\nHOTCOLOR=7372944\r\nHOTFONTCOLOR=10531008\r\n";

class SysColors : public ::testing::Test {
protected:
  TempFolder dir;
  BoxRecorder boxes;
  ManagerPtr Make(bool ChangeSysColors) {
    WriteFileText(dir.Sub("C") + "Options.dat", kColoursSkin);
    ManagerPtr m(Create<TsSkinManager>(nullptr));
    m->SetSkinDirectory(dir.Path());
    m->Options()->SetFlag(4, ChangeSysColors);
    m->SetSkinName("C");
    return m;
  }
};

struct EntryBytes {
  uint8_t b[5];
  bool operator==(const EntryBytes& o) const { return std::memcmp(b, o.b, 5) == 0; }
};
EntryBytes BytesOf(const char* Dll, const char* Name) {
  EntryBytes e;
  std::memcpy(e.b, ResolvePatchEntry(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(Dll), Name))), 5);
  return e;
}

COLORREF PenColor(HPEN Pen) {
  LOGPEN L{};
  GetObjectA(Pen, sizeof(L), &L);
  DeleteObject(Pen);
  return L.lopnColor;
}

COLORREF BrushColor(HBRUSH Brush) {
  LOGBRUSH L{};
  GetObjectA(Brush, sizeof(L), &L);
  return L.lbColor;
}

}  // namespace

TEST_F(SysColors, PatchedEntriesAnswerTheSkinsColours) {
  const COLORREF RealFace = GetSysColor(COLOR_BTNFACE), RealInactive = GetSysColor(COLOR_INACTIVEBORDER);
  auto m = Make(true);
  ASSERT_TRUE(m->SkinData().Active);
  ASSERT_TRUE(GetSysColorPatched());
  const struct {
    int Index;
    COLORREF Expected;
  } Cases[] = {{COLOR_WINDOW, 0x102030},        {COLOR_WINDOWFRAME, 0x222222},
               {COLOR_WINDOWTEXT, 0x405060},    {COLOR_HIGHLIGHT, 0x708090},
               {COLOR_HIGHLIGHTTEXT, 0xA0B0C0}, {COLOR_BTNSHADOW, WeightedColorMix(0x123456, 0, 0xCD)},
               {COLOR_3DDKSHADOW, WeightedColorMix(0x123456, 0, 0xCD)},
               {COLOR_3DLIGHT, WeightedColorMix(0x123456, 0xFFFFFF, 0xCD)},
               {COLOR_BTNFACE, RealFace},       {COLOR_INACTIVEBORDER, RealInactive}};
  for (const auto& C : Cases) EXPECT_EQ(GetSysColor(C.Index), C.Expected) << C.Index;  // through the import
  // Pens: colour values that name system colours are replaced, others are kept.
  EXPECT_EQ(PenColor(CreatePen(PS_SOLID, 1, COLOR_BTNFACE)), 0x123456u);
  EXPECT_EQ(PenColor(CreatePen(PS_SOLID, 1, COLOR_WINDOW)), 0x102030u);
  EXPECT_EQ(PenColor(CreatePen(PS_SOLID, 1, COLOR_INACTIVEBORDER)), RealInactive);
  EXPECT_EQ(PenColor(CreatePen(PS_SOLID, 1, 0xC0C0C0)), WeightedColorMix(0x405060, 0x102030, 0x26));
  EXPECT_EQ(PenColor(CreatePen(PS_SOLID, 1, 0x010203)), 0x010203u);
  // Brushes: 5, 8, 13 and 14 are made once and kept.
  HBRUSH Window = GetSysColorBrush(COLOR_WINDOW);
  EXPECT_EQ(GetSysColorBrush(COLOR_WINDOW), Window);
  EXPECT_EQ(BrushColor(Window), 0x102030u);
  HBRUSH Text = GetSysColorBrush(COLOR_WINDOWTEXT);
  EXPECT_EQ(GetSysColorBrush(COLOR_WINDOWTEXT), Text);
  EXPECT_EQ(BrushColor(Text), 0x405060u);
  HBRUSH Sel = GetSysColorBrush(COLOR_HIGHLIGHT);
  EXPECT_EQ(BrushColor(Sel), 0x708090u);
  EXPECT_EQ(BrushColor(GetSysColorBrush(COLOR_HIGHLIGHTTEXT)), 0xA0B0C0u);
  // A reload with new colours: the brushes handed out stay brushes of their colour (callers keep them), new
  // requests get the new colour.
  m->SetHueOffset(120);
  ASSERT_TRUE(GetSysColorBrushPatched());
  for (HBRUSH Kept : {Window, Text}) EXPECT_EQ(GetObjectType(Kept), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(BrushColor(Window), 0x102030u);
  HBRUSH Brighter = GetSysColorBrush(COLOR_WINDOW);
  EXPECT_NE(BrushColor(Brighter), 0x102030u);
  EXPECT_EQ(BrushColor(Brighter), GetSysColor(COLOR_WINDOW));
  m->SetHueOffset(0);
  EXPECT_EQ(GetSysColorBrush(COLOR_WINDOW), Window) << "one brush per colour";
  m->RemoveSkin();
  EXPECT_FALSE(GetSysColorPatched());
  for (HBRUSH Kept : {Text, Sel, Window, Brighter}) EXPECT_EQ(GetObjectType(Kept), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_NE(GetSysColor(COLOR_WINDOW), 0x102030u);
}

TEST_F(SysColors, PatchesComeAndGoOnceAndFollowTheOption) {
  const EntryBytes Original = BytesOf("user32.dll", "GetSysColor");
  const EntryBytes OriginalPen = BytesOf("gdi32.dll", "CreatePen");
  auto m = Make(false);
  // Without the option the thread hook is there but nothing is patched.
  EXPECT_TRUE(m->HooksInstalled());
  EXPECT_FALSE(GetSysColorPatched());
  EXPECT_TRUE(BytesOf("user32.dll", "GetSysColor") == Original);
  m->Options()->SetFlag(4, true);  // at once while applied
  EXPECT_TRUE(GetSysColorPatched() && GetSysColorBrushPatched() && CreatePenPatched());
  EXPECT_EQ(BytesOf("user32.dll", "GetSysColor").b[0], 0xE9);
  m->Options()->SetFlag(4, false);
  EXPECT_FALSE(GetSysColorPatched() || GetSysColorBrushPatched() || CreatePenPatched());
  EXPECT_TRUE(BytesOf("user32.dll", "GetSysColor") == Original);
  m->Options()->SetFlag(4, true);
  m->RemoveSkin();
  m->RemoveSkin();
  EXPECT_TRUE(BytesOf("user32.dll", "GetSysColor") == Original);
  EXPECT_TRUE(BytesOf("gdi32.dll", "CreatePen") == OriginalPen);
  // Installing twice saves the original bytes once: removal puts back the original, not the jump.
  InstallGetSysColorPatch();
  InstallGetSysColorPatch();
  RemoveGetSysColorPatch();
  EXPECT_TRUE(BytesOf("user32.dll", "GetSysColor") == Original);
}

TEST_F(SysColors, ColoursTheSkinDoesNotAnswerNeverTakeThePatchOff) {
  const COLORREF RealFace = GetSysColor(COLOR_BTNFACE);
  const COLORREF RealPen = PenColor(CreatePen(PS_SOLID, 1, 0x010203));
  auto m = Make(true);
  ASSERT_TRUE(GetSysColorPatched());
  // Another thread watches the entries while this one asks for what only the system knows.
  struct Watch {
    const volatile uint8_t* Entries[2];
    volatile LONG Stop = 0, Unpatched = 0;
  } W{{static_cast<const uint8_t*>(ResolvePatchEntry(reinterpret_cast<void*>(&::GetSysColor))),
       static_cast<const uint8_t*>(ResolvePatchEntry(reinterpret_cast<void*>(&::CreatePen)))}};
  struct Watcher {
    static DWORD WINAPI Run(void* P) {
      auto* W = static_cast<Watch*>(P);
      while (W->Stop == 0)
        for (const volatile uint8_t* E : W->Entries)
          if (E[0] != 0xE9) W->Unpatched = 1;
      return 0;
    }
  };
  HANDLE Thread = CreateThread(nullptr, 0, &Watcher::Run, &W, 0, nullptr);
  for (int i = 0; i < 20000; ++i) {
    ASSERT_EQ(GetSysColor(COLOR_BTNFACE), RealFace);
    if (i % 100 == 0) {
      ASSERT_EQ(PenColor(CreatePen(PS_SOLID, 1, 0x010203)), RealPen);
    }
  }
  InterlockedExchange(const_cast<LONG*>(&W.Stop), 1);
  WaitForSingleObject(Thread, INFINITE);
  CloseHandle(Thread);
  EXPECT_EQ(W.Unpatched, 0);
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), 0x102030u);
}

TEST(SysColorPatching, ImportJumpsAreFollowedAndUnreadableEntriesLeftAlone) {
  static uint8_t Target[8] = {0x90};
  static void* Slot = Target;
  uint8_t Jump[6] = {0xFF, 0x25};
  void* SlotAddress = &Slot;
  std::memcpy(Jump + 2, &SlotAddress, 4);
  EXPECT_EQ(ResolvePatchEntry(Jump), Target);
  EXPECT_EQ(ResolvePatchEntry(Target), Target);
  // No default manager: the replacements answer 0.
  EXPECT_EQ(SkinGetSysColor(COLOR_WINDOW), 0u);
  EXPECT_EQ(SkinGetSysColorBrush(COLOR_WINDOW), nullptr);
  TvkPatchSave Saved;
  PatchFunction(nullptr, Target, Saved);
  EXPECT_EQ(Saved.Bytes[0], 0);
}
