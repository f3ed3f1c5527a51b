// The control border painter: the skin border mask, a frame of the control's own width inside it, and the
// client rectangle left inside.
#include <gtest/gtest.h>

#include <utility>

#include "PainterSkin.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkControlBorder.h"
#include "skin/graphics/vkParentBg.h"
#include "tests/support/Bitmaps.h"
#include "tests/support/Dib32.h"

using namespace painter_test;

namespace {

constexpr uint32_t kRing = 0x102030, kCentre = 0x405060, kSection = 0xC08040;

struct BorderFixture {
  ManagerPtr M = NewManager();
  BitmapPtr Ring = MakeBy(9, 9, [](int x, int y) {
    return Opaque(x < 3 || y < 3 || x > 5 || y > 5 ? kRing : kCentre);
  });
  Owned<TPanel> Owner{new TPanel(nullptr)};
  TsCommonData Data{Owner.get(), true};
  BorderFixture(bool WithMask) {
    Owner->SetBounds(0, 0, 20, 20);
    const int Section = AddSection(M.get(), "FRAMED", kSection, 0, 1);
    Data.SetSkinManager(M.get());
    Data.SkinIndex = Section;
    Data.BorderIndex = WithMask ? AddElement(M.get(), Element(M.get(), Ring.get(), 1, 0, 0, 3, 3, 3, 3)) : -1;
  }
};

// A parent that answers the background query with Kind: by default it has no background to give yet; with a
// bitmap answer, Bmp holds its client area.
class TAnsweringParent : public TPanel {
public:
  using TPanel::TPanel;
  uint8_t Kind = bgkNotReady;
  TBitmap* Bmp = nullptr;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == SM_VKCMD && HIWORD(Message.WParam) == VKCMD_QUERY_PARENT_BG) {
      auto* Q = reinterpret_cast<TvkParentBgQuery*>(Message.LParam);
      Q->Kind = Kind;
      Q->Bmp = Bmp;
      Message.Result = 1;
      return;
    }
    TPanel::WndProc(Message);
  }
};

}  // namespace

TEST(ControlBorder, ClientInsideTheSkinBorderAndTheOwnFrame) {
  struct Case {
    int Extra;
    TRect Client;
  } Cases[] = {{0, TRect(3, 3, 17, 17)}, {5, TRect(5, 5, 15, 15)}, {12, TRect(12, 12, 12, 12)}};
  for (const Case& C : Cases) {
    BorderFixture F(true);
    TRect Client;
    PaintControlBorder(F.Data.CacheBmp->Canvas()->Handle(), TRect(0, 0, 20, 20), C.Extra, Client, 0, &F.Data);
    EXPECT_EQ(Client, C.Client) << C.Extra;
    if (C.Extra != 5) continue;
    // 3 pixels of the mask's ring, then 2 of the section's colour, then the client
    TBitmap* Cache = F.Data.CacheBmp;
    EXPECT_EQ(At(Cache, 2, 10) & 0xFFFFFF, Opaque(kRing) & 0xFFFFFF);
    EXPECT_EQ(At(Cache, 3, 10) & 0xFFFFFF, Opaque(kSection) & 0xFFFFFF);
    EXPECT_EQ(At(Cache, 10, 16) & 0xFFFFFF, Opaque(kSection) & 0xFFFFFF);
    EXPECT_NE(At(Cache, 5, 10) & 0xFFFFFF, Opaque(kSection) & 0xFFFFFF);
  }
}

TEST(ControlBorder, WithoutAMaskOnlyTheOwnFrameIsPaintedOnTheDC) {
  BorderFixture F(false);
  testing_support::Dib32 Dib(20, 20, 0);
  TRect Client(1, 2, 3, 4);
  PaintControlBorder(Dib.DC(), TRect(0, 0, 20, 20), 2, Client, 0, &F.Data);
  EXPECT_EQ(Client, TRect(1, 2, 3, 4));
  EXPECT_EQ(Dib.Rgb(1, 10), Opaque(kSection) & 0xFFFFFF);
  EXPECT_EQ(Dib.Rgb(2, 10), 0u);
}

TEST(ControlBorder, KeyCornersKeepTheCacheWhenNoBackgroundIsThere) {
  Owned<TForm> Form(Create<TForm>(nullptr));
  auto* Parent = new TAnsweringParent(Form.get());
  Parent->SetParent(Form.get());
  Form->HandleNeeded();
  Parent->HandleNeeded();
  for (bool WithParent : {false, true}) {
    BorderFixture F(true);
    At(F.Ring.get(), 0, 0) = KeyPixel32;  // the ring's top-left pixel is the key
    F.M->EditModel().ma[F.Data.BorderIndex].CornerType = 1;
    if (WithParent) F.Owner->SetParent(Parent);
    F.Data.CacheBmp->SetSize(20, 20);
    testing_support::Fill32(F.Data.CacheBmp, 0xFF123456);
    TRect Client;
    PaintControlBorder(F.Data.CacheBmp->Canvas()->Handle(), TRect(0, 0, 20, 20), 0, Client, 0, &F.Data);
    EXPECT_EQ(At(F.Data.CacheBmp, 0, 0), 0xFF123456u) << WithParent;  // neither black nor the key colour
    EXPECT_EQ(At(F.Data.CacheBmp, 1, 0) & 0xFFFFFF, Opaque(kRing) & 0xFFFFFF) << WithParent;
    F.Owner->SetParent(nullptr);
  }
}

TEST(ControlBorder, AMaskedBorderLiesOverTheParentsStripsAndAForeignDCGetsTheFinishedOnes) {
  Owned<TForm> Form(Create<TForm>(nullptr));
  auto* Parent = new TAnsweringParent(Form.get());
  Parent->SetParent(Form.get());
  Parent->HandleNeeded();
  BitmapPtr ParentBg = MakeBy(40, 40, [](int x, int y) { return 0xFF000000u | (x * 4) << 16 | (y * 4) << 8; });
  Parent->Kind = bgkBitmap;
  Parent->Bmp = ParentBg.get();
  BorderFixture F(true);
  // A black ring whose mask keeps the destination: (d * 255) shr 8 of the parent's strip behind it shows.
  BitmapPtr Masked = MakeBy(9, 18, [](int, int y) { return y < 9 ? 0xFF000000u : 0x00FFFFFFu; });
  F.M->EditModel().ma[F.Data.BorderIndex] = Element(F.M.get(), Masked.get(), 1, 1, 0, 3, 3, 3, 3);
  F.Owner->SetParent(Parent);
  F.Owner->SetBounds(4, 5, 20, 20);
  testing_support::Dib32 Dib(20, 20, 0);
  TRect Client;
  PaintControlBorder(Dib.DC(), TRect(0, 0, 20, 20), 5, Client, 0, &F.Data);
  for (auto [x, y] : {std::pair{0, 10}, {10, 2}, {17, 10}})
    EXPECT_EQ(Dib.Rgb(x, y), ((4 + x) * 4 * 255 >> 8) << 16 | ((5 + y) * 4 * 255 >> 8) << 8) << x << "," << y;
  EXPECT_EQ(Dib.Rgb(4, 10), Opaque(kSection) & 0xFFFFFF);  // the own frame
  EXPECT_EQ(Dib.Rgb(5, 10), 0u);                           // the client stays the DC's
  F.Owner->SetParent(nullptr);
}
