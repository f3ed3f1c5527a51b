#include "tools/paintstress/PaintStress.h"

#include <windows.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <random>
#include <set>

#include "framework/Classes.h"
#include "framework/ExtCtrls.h"
#include "framework/GraphicsGdi.h"
#include "framework/Platform.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sSkinManager.h"
#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkControlBorder.h"
#include "skin/graphics/vkMaskedText.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSectionRects.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"
#include "skin/graphics/vkTextures.h"

namespace {

// Sizes painted into, the empty and one-pixel ones first.
constexpr TSize kSizes[] = {{0, 0}, {1, 1}, {2, 2}, {1, 9}, {9, 1}, {6, 5}, {23, 13}, {61, 24}, {130, 40}};
constexpr int kSizeCount = static_cast<int>(sizeof(kSizes) / sizeof(kSizes[0]));

// Runs painter calls, each caught on its own; the first fault of each painter in a skin is kept.
class TCallWatch {
public:
  TCallWatch(const std::string& Where, std::vector<std::string>& Faults) : FWhere(Where), FFaults(Faults) {}
  template <class F> void operator()(const char* Painter, const std::string& Args, F&& Call) {
    ++Calls;
    std::string Message;
    try {
      Call();
      return;
    } catch (const std::exception& E) {
      Message = E.what();
    } catch (...) {
      Message = "an exception of no known kind";
    }
    if (FReported.insert(Painter).second)
      FFaults.push_back(FWhere + ": " + Painter + "(" + Args + ") raised: " + Message);
  }
  long Calls = 0;

private:
  const std::string& FWhere;
  std::vector<std::string>& FFaults;
  std::set<std::string> FReported;
};

std::string Args(int Section, int State, const TSize& Size) {
  return "section " + std::to_string(Section) + ", state " + std::to_string(State) + ", " + std::to_string(Size.cx) +
         "x" + std::to_string(Size.cy);
}

// The backgrounds a painter may be handed: ready ones at, across and beyond the parent's edges, a colour, a
// colour inside a bordered parent, and none at all.
struct TBackgrounds {
  TFreeHolder<TBitmap> Parent{NewBitmap32(160, 64)};
  std::vector<TvkBgCacheRef> Refs;
  TBackgrounds() {
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 160; ++x) PutPixel32(Parent.get(), x, y, 0xFF000000u | (x * 3) << 16 | (y * 4) << 8 | 0x40);
    const TPoint Ready[] = {{2, 3}, {-7, -5}, {150, 50}};
    for (const TPoint& P : Ready) {
      TvkBgCacheRef R;
      InitBgInfo(Parent.get(), P.X, P.Y, R);
      Refs.push_back(R);
    }
    TvkBgCacheRef Colour;
    Colour.FillColor = 0x808080;
    Refs.push_back(Colour);
    TvkBgCacheRef Bordered = Colour;
    Bordered.Bmp = Parent.get();
    Bordered.X = 5;
    Bordered.Y = 2;
    Bordered.FillRect = TRect(4, 4, 4, 4);
    Refs.push_back(Bordered);
    Refs.push_back(TvkBgCacheRef{});
  }
};

// A control owning skin data on a parent with nothing to answer but its colour.
struct TStressOwner {
  std::unique_ptr<TPanel, void (*)(TPanel*)> Parent{new TPanel(nullptr), [](TPanel* P) { P->Free(); }};
  std::unique_ptr<TPanel, void (*)(TPanel*)> Control{new TPanel(nullptr), [](TPanel* P) { P->Free(); }};
  std::unique_ptr<TsCommonData> Data;
  explicit TStressOwner(TsSkinManager* M) {
    Parent->SetBounds(0, 0, 200, 100);
    Control->SetParent(Parent.get());
    Data.reset(new TsCommonData(Control.get(), true));
    Data->SetSkinManager(M);
  }
  ~TStressOwner() {
    Data.reset();
    Control->SetParent(nullptr);
  }
};

void PaintSection(TsSkinManager* M, int S, TStressOwner& Owner, TBackgrounds& Bg, std::mt19937& Rng,
                  TCallWatch& Watch) {
  const TsGeneralData& G = M->gd()[S];
  TsCommonData* D = Owner.Data.get();
  D->SkinIndex = S;
  D->BorderIndex = G.BorderIndex;
  static const TColor Tones[] = {clNone, clNone, 0x0000FF, clHighlight};
  static const int Shifts[] = {0, 0, 120, -100, 100, 400};
  D->SetColorTone(Tones[Rng() % 4]);
  D->SetHUEOffset(Shifts[Rng() % 6]);
  D->SetSaturation(Shifts[Rng() % 6]);
  const std::vector<int> States = {0, 1, 2, std::max(G.States, 0), 7};
  const int MaskCount = static_cast<int>(M->ma().size());
  // The painters that go through a device context, ask the parent or draw text: for one state of the section.
  const int FullState = States[Rng() % States.size()];
  for (int State : States) {
    // The empty and one-pixel sizes and one more, different for each state.
    const int Picked[] = {0, 1, 2 + static_cast<int>(Rng() % (kSizeCount - 2))};
    for (int k : Picked) {
      const TSize Z = kSizes[k];
      const bool Full = k == Picked[2] && State == FullState;
      const std::string A = Args(S, State, Z);
      TFreeHolder<TBitmap> Bmp(NewBitmap32(Z.cx, Z.cy));
      FillRect32(Bmp.get(), TRect(0, 0, Z.cx, Z.cy), 0x336699, 200);
      const TRect Whole(0, 0, Z.cx, Z.cy);
      const TRect Inner(Z.cx / 3, Z.cy / 4, Z.cx, Z.cy);
      const TvkBgCacheRef& Ref = Bg.Refs[Rng() % Bg.Refs.size()];
      const TPoint Offset(static_cast<int>(Rng() % 9) - 4, static_cast<int>(Rng() % 9) - 4);
      const int Tex = MaskCount > 0 && Rng() % 3 == 0 ? static_cast<int>(Rng() % MaskCount) : -1;
      Owner.Control->SetBounds(3, 4, Z.cx, Z.cy);
      D->CacheBmp->SetSize(Z.cx, Z.cy);
      Watch("PaintSectionBackground", A, [&] {
        PaintSectionBackground(S, Ref, State, KeyPixel32, Tex, Tex, M, Bmp.get(), Offset, Inner);
        PaintSectionBackground(S, Ref, State, 0x123456, -1, Tex, M, Bmp.get(), Offset, Whole);
        PaintSectionBackgroundOnRef(S, Ref, Bmp.get(), M, State, Offset, Whole);
      });
      Watch("PaintSectionItem", A, [&] {
        PaintSectionItem(S, Ref, Tex, -1, M, Bmp.get(), Offset, Inner, State);
        PaintSectionWithBorderMask(S, G.BorderIndex, Ref, M, Bmp.get(), Offset, Whole, State);
      });
      Watch("PaintSectionRect32", A, [&] {
        PaintSectionRect32(S, State, M, Bmp.get(), Inner);
        PaintSectionBackgroundLayered(S, State, Whole, State == 7 ? 0x00FF00u : KeyPixel32, M, Bmp.get());
      });
      Watch("RenderControlSkin", A, [&] {
        RenderControlSkin(D, Ref, State % 2 == 0, Bmp.get(), Offset, Whole, State);
        PaintControlBackground(D, Ref, State, Bmp.get(), Offset, Inner);
        ClearBorderMaskCorners(S, Bmp.get(), M);
      });
      if (!Full) continue;
      Watch("PaintControlBorder", A, [&] {
        TRect Client;
        PaintControlBorder(Bmp->Canvas()->Handle(), Whole, State, Client, State, D);
      });
      Watch("PaintSectionItemToDC", A, [&] {
        PaintSectionItemToDC(S, Ref, M, Bmp->Canvas()->Handle(), Offset, Whole, State);
        PaintSectionOverDCCopy(Bmp.get(), S, -1, State % 2 ? Bmp->Canvas()->Handle() : nullptr, 0x808080, TPoint(),
                               M, State);
      });
      Watch("RenderControlSkinOnParent", A, [&] {
        RenderControlSkinOnParent(D, true, D->CacheBmp, TPoint(), Whole, State);
        ApplyControlColorShift(D->CacheBmp, D);
        FillTransparentCorners(D, State, 15);
      });
      const std::string Text = State % 2 ? "Hg" : "&Write it";
      Watch("DrawSectionText", A, [&] {
        DrawSectionText(Bmp->Canvas(), Text.c_str(), State != 2, M, State, S, DT_SINGLELINE | DT_CENTER, Whole);
      });
      Watch("DrawSkinText32", A, [&] {
        DrawSkinText32(Bmp.get(), Text, State % 2 == 0, M, State, S, DT_SINGLELINE, Inner);
      });
      Watch("DrawControlText", A, [&] {
        DrawControlText(D->CacheBmp->Canvas(), Text.c_str(), State != 1, State, D, DT_SINGLELINE | DT_VCENTER, Whole);
      });
    }
  }
}

void PaintElement(TsSkinManager* M, int I, TBackgrounds& Bg, std::mt19937& Rng, TCallWatch& Watch) {
  const TsMaskData& E = M->ma()[I];
  for (int State : {0, 1, 2, 9}) {
    const TSize Z = kSizes[State == 9 ? 1 : 2 + static_cast<int>(Rng() % (kSizeCount - 2))];
    const std::string A = "element " + std::to_string(I) + " " + E.ClassName + "." + E.PropertyName + ", state " +
                          std::to_string(State) + ", " + std::to_string(Z.cx) + "x" + std::to_string(Z.cy);
    TFreeHolder<TBitmap> Bmp(NewBitmap32(Z.cx, Z.cy));
    const TRect Whole(0, 0, Z.cx, Z.cy);
    const TvkBgCacheRef& Ref = Bg.Refs[Rng() % Bg.Refs.size()];
    Watch("DrawSkinRect32", A, [&] {
      DrawSkinRect32(Bmp.get(), Whole, Ref, State % 2 == 0, State, E);
      DrawSkinRectTransparent32(Bmp.get(), Whole, Ref, State, E);
      DrawSkinRectAlpha32(Bmp.get(), Whole, Ref, 128, TRect(1, 2, 300, 1), State, E);
    });
    Watch("DrawSkinGlyph32", A, [&] {
      for (const TPoint& P : {TPoint(0, 0), TPoint(-3, -2), TPoint(Z.cx - 1, Z.cy - 1), TPoint(Z.cx + 5, 2)})
        DrawSkinGlyph32(Bmp.get(), P, State, Ref, E, State % 2);
    });
    Watch("TileTexture32", A, [&] {
      for (int Mode : {static_cast<int>(E.DrawMode), tdTile, tdTileFullOverBg}) {
        TRect R = Whole;
        TileTexture32(Bmp.get(), R, Ref, Mode, E);
      }
      TRect R = Whole;
      DrawTextureOnCanvas(Bmp->Canvas(), R, E.DrawMode, E);
      BlendThroughMaskBitmap32(Whole, E.R, Bmp.get(), E, Ref);
    });
    Watch("FillKeyPixelsFromBackground", A, [&] {
      FillKeyPixelsFromBackground(Bmp.get(), Bg.Parent.get(), Whole, State == 1 ? HTTOPRIGHT : HTBOTTOMLEFT, M, I,
                                  TPoint(State, 2 * State));
    });
  }
}

}  // namespace

long PaintWholeSkin(TsSkinManager* M, uint32_t Seed, const std::string& Where, std::vector<std::string>& Faults) {
  if (M == nullptr) return 0;
  std::mt19937 Rng(Seed);
  TCallWatch Watch(Where, Faults);
  TBackgrounds Bg;
  {
    TStressOwner Owner(M);
    for (int S = 0; S < static_cast<int>(M->gd().size()); ++S) PaintSection(M, S, Owner, Bg, Rng, Watch);
  }
  for (int I = 0; I < static_cast<int>(M->ma().size()); ++I) PaintElement(M, I, Bg, Rng, Watch);
  return Watch.Calls;
}

TPaintStressResult RunPaintStress(const std::string& CarriedFolder, const std::string& WorkFolder, uint32_t Seed,
                                  int Count, const std::function<void(int, const TDamagedSkin&)>& OnVariant) {
  TPaintStressResult Result;
  const TSkinFiles Carried[2] = {ReadSkinFolder(CarriedFolder + "TIDE\\"), ReadSkinFolder(CarriedFolder + "SOLID\\")};
  for (const TSkinFiles& F : Carried)
    if (F.Text.empty()) {
      Result.Faults.push_back("no carried skin in " + CarriedFolder);
      return Result;
    }
  // The loader reports a skin it refuses in a message box; here that is an answer, not a fault.
  const auto SavedSink = Platform().MessageBoxSink;
  Platform().MessageBoxSink = [](const TMessageBoxRequest&) { return IDOK; };
  std::mt19937 Rng(Seed);
  CreateDirectoryA(WorkFolder.c_str(), nullptr);
  // Variant -1 and -2 are the carried skins as they are: caches the painters fill once are filled by them.
  for (int V = -2; V < Count; ++V) {
    const TSkinFiles& Good = Carried[(V + 2) % 2];
    TDamagedSkin Skin = V < 0 ? TDamagedSkin{Good, {}} : DamageSkin(Good, Rng);
    std::string Where = "variant " + std::to_string(V) + " of " + ((V + 2) % 2 == 0 ? "TIDE" : "SOLID");
    for (const std::string& D : Skin.Damage) Where += "; " + D;
    if (OnVariant) OnVariant(V, Skin);
    std::string Name = "V";  // appended, not "V" + ...: the optimiser warns falsely about the prepend
    Name += std::to_string((V + 2) % 4);
    WriteSkinFolder(Skin.Files, WorkFolder + Name + "\\");
    const TGdiObjectCounts Before = GdiObjectCounts();
    try {
      TsSkinManager* M = Create<TsSkinManager>(nullptr);
      std::unique_ptr<TsSkinManager, void (*)(TsSkinManager*)> Held(M, [](TsSkinManager* P) { P->Free(); });
      M->SetSkinDirectory(WorkFolder);
      try {
        M->SetSkinName(Name);
      } catch (const std::exception& E) {
        Result.Refused.push_back(Where + ": " + E.what());
      }
      if (V >= 0) {
        ++Result.Variants;
        if (M->SkinData().Active) ++Result.Loaded;
      }
      Result.Calls += PaintWholeSkin(M, Seed + static_cast<uint32_t>(V), Where, Result.Faults);
    } catch (const std::exception& E) {
      Result.Faults.push_back(Where + ": making or freeing the manager raised: " + E.what());
    }
    const TGdiObjectCounts After = GdiObjectCounts();
    if (V >= 0 && After != Before)
      Result.Faults.push_back(Where + ": GDI objects " + After.ToString() + " after, " + Before.ToString() + " before");
  }
  Platform().MessageBoxSink = SavedSink;
  return Result;
}
