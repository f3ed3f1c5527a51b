#include "MenuTestSupport.h"

#include "skin/core/sStyleSimply.h"

namespace {

// Pixel-order value of a colour value, opaque.
constexpr uint32_t Opaque(uint32_t C) { return 0xFF000000u | ((C & 0xFF) << 16) | (C & 0xFF00) | (C >> 16 & 0xFF); }

TsMaskData Element(TsSkinManager* M, TBitmap* Bmp, int Frames, int W, int Section, const char* Class,
                   const char* Property) {
  TsMaskData E;
  E.Manager = M;
  E.Bmp = Bmp;
  E.R = TRect(0, 0, Bmp->Width(), Bmp->Height());
  E.ImageCount = static_cast<int16_t>(Frames);
  E.WL = E.WT = E.WR = E.WB = static_cast<int16_t>(W);
  E.BorderWidth = static_cast<int16_t>(W);
  E.Width = Bmp->Width() / Frames;
  E.Height = Bmp->Height();
  E.SkinIndex = Section;
  E.ClassName = Class;
  E.PropertyName = Property;
  return E;
}

}  // namespace

namespace menu_test {

uint32_t ColorAt(TBitmap* Bmp, int X, int Y) {
  const uint32_t P = testing_support::PixelAt(Bmp, X, Y);
  return ((P & 0xFF) << 16) | (P & 0xFF00) | ((P >> 16) & 0xFF);
}

TMenuSkin NewMenuSkin(bool BorderMask) {
  TMenuSkin S;
  S.Manager.reset(Create<TsSkinManager>(nullptr));
  TsSkinManager* M = S.Manager.get();
  TvkSkinModel& Model = M->EditModel();
  const int Main = Model.AddSection("MAINMENU", -1, 0, kPopupColor, 0, 1);
  const int Item = Model.AddSection("MENUITEM", -1, 0x000000, kItemColor, 0, 2);
  Model.gd[Item].Props[1].Color = kItemHotColor;
  Model.gd[Item].Props[1].FontColor = 0xFFFFFF;
  Model.AddSection("ICOLINE", -1, 0, kIcoColor, 0, 1);
  const int Caption = Model.AddSection("MENUCAPTION", -1, 0xFFFFFF, kCaptionColor, 0, 1);
  Model.AddSection("EXTRALINE", -1, 0xFFFFFF, kExtraColor, 0, 1);
  const int Global = Model.AddSection("GLOBALINFO", -1, 0, 0, 0, 1);
  Model.ConstData.Sections[ssMainMenu] = Main;
  Model.ConstData.Sections[ssMenuItem] = Item;
  Model.ConstData.Sections[ssMenuCaption] = Caption;
  if (BorderMask) {
    // 9 x 9, three-pixel borders in the frame colour; the outer corner pixels are key pixels (cut out)
    S.Border = testing_support::Bitmap32By(9, 9, [](int X, int Y) {
      if ((X == 0 || X == 8) && (Y == 0 || Y == 8)) return Opaque(0xFF00FF);
      return X < 3 || Y < 3 || X > 5 || Y > 5 ? Opaque(kFrameColor) : Opaque(kPopupColor);
    });
    Model.ma.push_back(Element(M, S.Border.get(), 1, 3, Main, "MAINMENU", "BORDERSMASK"));
    Model.gd[Main].BorderIndex = static_cast<int>(Model.ma.size()) - 1;
  }
  // two 8 x 8 frames, a filled square in the middle of each
  S.Check = testing_support::Bitmap32By(16, 8, [](int X, int Y) {
    return (X % 8) >= 2 && (X % 8) < 6 && Y >= 2 && Y < 6 ? Opaque(kCheckColor) : Opaque(0xFF00FF);
  });
  TsMaskData C = Element(M, S.Check.get(), 2, 0, Global, "GLOBALINFO", "RADIOCHECKED");
  Model.ma.push_back(C);
  Model.SkinData.Active = true;
  M->MenuSupport()->SetIcoLineSkin("ICOLINE");
  if (S.Painter() != nullptr) S.Painter()->SetSkinBorderWidth(-1);
  return S;
}

TPopupMenu* NewPopup(const std::vector<std::string>& Captions, const std::string& Name) {
  auto* P = new TPopupMenu(nullptr);
  if (!Name.empty()) P->SetName(Name);
  for (const std::string& C : Captions) {
    auto* I = new TMenuItem(P);
    I->SetCaption(C);
    P->Items()->Add(I);
  }
  return P;
}

}  // namespace menu_test
