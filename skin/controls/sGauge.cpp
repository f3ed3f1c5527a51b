#include "skin/controls/sGauge.h"

#include <algorithm>

#include "framework/Forms.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/graphics/PngGraphic.h"
#include "skin/graphics/Rotation.h"
#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"

namespace {

constexpr int kHighlightPeriod = 2222;  // ms of one run of the highlight
constexpr int kHighlightStart = -300;   // px: the run starts left of the bar
constexpr int kHighlightWidth = 300;
constexpr int kTick = 12;
constexpr int kMinHighlightStep = 12;
constexpr UINT kTextFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;

bool Designing(const TComponent* C) { return C->ComponentState().Contains(csDesigning); }
bool Loading(const TComponent* C) { return C->ComponentState().Contains(csLoading); }

// Library-wide states during which skinned controls skip repainting.
bool RepaintLocked() { return InAnimationProcess || SkinChangeAnimating || TsSkinManager::SkinIsLoading(); }

template <class T> void FreeNil(T*& Obj) {
  if (Obj == nullptr) return;
  T* O = Obj;
  Obj = nullptr;
  O->Free();
}

// A bitmap freed at the end of a scope.
struct TScopedBitmap {
  TBitmap* Bmp;
  explicit TScopedBitmap(TBitmap* B) : Bmp(B) {}
  ~TScopedBitmap() {
    if (Bmp != nullptr) Bmp->Free();
  }
  TScopedBitmap(const TScopedBitmap&) = delete;
  TScopedBitmap& operator=(const TScopedBitmap&) = delete;
};

TBitmap* CopyBitmap32(TBitmap* Src) {
  TBitmap* B = NewBitmap32(Src->Width(), Src->Height());
  BitBlt(B->Canvas()->Handle(), 0, 0, Src->Width(), Src->Height(), Src->Canvas()->Handle(), 0, 0, SRCCOPY);
  GdiFlush();
  return B;
}

const std::vector<std::string> kKindNames = {"gkText", "gkHorizontalBar", "gkVerticalBar", "gkPie", "gkNeedle"};

}  // namespace

PUBLISHED(TsGauge) {
  p.Enum("Kind", &TsGauge::Kind, &TsGauge::SetKind, kKindNames).Default(gkHorizontalBar);
  p.Event("OnChange", &TsGauge::OnChange);
  p.Bool("CalcPercents", &TsGauge::CalcPercents, &TsGauge::SetCalcPercents).Default(1);
  p.Enum("BorderStyle", &TsGauge::BorderStyle, &TsGauge::SetBorderStyle, {"bsNone", "bsSingle"}).Default(bsSingle);
  p.Object("SkinData", &TsGauge::SkinData);
  p.Color("BackColor", &TsGauge::BackColor, &TsGauge::SetBackColor).Default(clWhite);
  p.Color("ForeColor", &TsGauge::ForeColor, &TsGauge::SetForeColor).Default(clBlack);
  p.Bool("Animated", &TsGauge::Animated, &TsGauge::SetAnimated).Default(1);
  p.Bool("ShowText", &TsGauge::ShowText, &TsGauge::SetShowText).Default(1);
  p.Int64("MinValue", &TsGauge::MinValue, &TsGauge::SetMinValue).Default(0);
  p.Int64("MaxValue", &TsGauge::MaxValue, &TsGauge::SetMaxValue).Default(100);
  p.Int64("Progress", &TsGauge::Progress, &TsGauge::SetProgress);
  p.Str("ProgressSkin", &TsGauge::ProgressSkin, &TsGauge::SetProgressSkin);
  p.Str("Suffix", &TsGauge::Suffix, &TsGauge::SetSuffix);
  p.Event("OnPaintText", &TsGauge::OnPaintText);
}

TsGauge::TsGauge(TComponent* AOwner)
    : TGraphicControl(AOwner), FSkinData(new TsCommonData(this, false)), FTimer(new TTimer(nullptr)),
      FHighlightClock(kHighlightPeriod + 1) {
  FSkinData->CtrlType = ctGauge;
  FTimer->SetEnabled(false);
  FTimer->SetInterval(kTick);
  FTimer->OnTimer = [this](TObject*) { HighlightTick(); };
  FControlStyle += csOpaque;
  SetBounds(FLeft, FTop, 120, 30);
}

TsGauge::~TsGauge() {
  FTimer->Free();
  delete FSkinData;
  FreeNil(FGlowPicture);
  FreeNil(FGlowImage);
  FreeNil(FBarCache);
}

void TsGauge::AfterConstruction() {
  TGraphicControl::AfterConstruction();
  FSkinData->FinishLoading(false);
}

void TsGauge::Loaded() {
  TGraphicControl::Loaded();
  FSkinData->FinishLoading(false);
  StartTimerIfWanted();
}

bool TsGauge::AnimationAllowed() const {
  TsSkinManager* M = FSkinData->SkinManager();
  return M != nullptr && M->Effects()->AllowAnimation();
}

void TsGauge::StartTimerIfWanted() {
  if (!Designing(this) && FAnimated && AnimationAllowed()) FTimer->SetEnabled(true);
}

void TsGauge::DropHighlightCache() {
  FreeNil(FGlowImage);
  FreeNil(FBarCache);
}

void TsGauge::Changed() { Invalidate(); }

// ---- properties ----

void TsGauge::SetKind(TsGaugeKind Value) {
  if (Value == FKind) return;
  FKind = Value;
  DropHighlightCache();
  Changed();
}

void TsGauge::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  Changed();
}

void TsGauge::SetBackColor(TColor Value) {
  if (Value == FBackColor) return;
  FBackColor = Value;
  Changed();
}

void TsGauge::SetForeColor(TColor Value) {
  if (Value == FForeColor) return;
  FForeColor = Value;
  Changed();
}

void TsGauge::SetShowText(bool Value) {
  if (Value == FShowText) return;
  FShowText = Value;
  FSkinData->RepaintOwner(false);
}

void TsGauge::SetCalcPercents(bool Value) {
  if (Value == FCalcPercents) return;
  FCalcPercents = Value;
  FSkinData->RepaintOwner(false);
}

void TsGauge::SetSuffix(const std::string& Value) {
  if (Value == FSuffix) return;
  FSuffix = Value;
  FSkinData->RepaintOwner(false);
}

void TsGauge::SetProgressSkin(const std::string& Value) {
  if (Value == FProgressSkin) return;
  FProgressSkin = Value;
  DropHighlightCache();
  Changed();
}

void TsGauge::SetAnimated(bool Value) {
  if (Value == FAnimated) return;
  FAnimated = Value;
  if (Designing(this)) return;
  DropHighlightCache();
  FTimer->SetEnabled(FAnimated && AnimationAllowed());
  if (!FTimer->Enabled()) Changed();
}

void TsGauge::SetValue(int Index, int64_t Value) {
  switch (Index) {
    case 0:
      if (Value == FMinValue) return;
      if (Value > FMaxValue && !Loading(this))
        throw EInvalidOperation(Format("Value must be between %d and %d", {-2147483647, FMaxValue - 1}));
      FMinValue = Value;
      if (FProgress < Value) FProgress = Value;
      Changed();
      return;
    case 1:
      if (Value == FMaxValue) return;
      if (Value < FMinValue && !Loading(this))
        throw EInvalidOperation(Format("Value must be between %d and %d", {FMinValue + 1, 2147483647}));
      FMaxValue = Value;
      if (FProgress > Value) FProgress = Value;
      Changed();
      return;
    default: {
      // The clamp keeps all 64 bits: a position beyond 32 bits is not wrapped into the range.
      const int64_t V = std::min(std::max(Value, FMinValue), std::max(FMinValue, FMaxValue));
      if (V == FProgress) return;
      const int Before = PercentDone();
      FProgress = V;
      // Without percents the shown number is the position itself, so every step shows.
      const bool Shown = PercentDone() != Before || (!FCalcPercents && FShowText);
      if (Shown && !RepaintLocked()) {
        FSkinData->CacheDirty = true;
        Changed();
      }
      if (OnChange) OnChange(this);
    }
  }
}

std::string TsGauge::GaugeText() {
  std::string Text = IntToStr(FCalcPercents ? static_cast<int64_t>(PercentDone()) : FProgress) + FSuffix;
  if (OnPaintText) OnPaintText(this, Text);
  return Text;
}

// ---- painting ----

void TsGauge::Paint() {
  const HDC DC = Canvas()->Handle();
  if (FSkinData->IsSkinned() && Width() > 0 && Height() > 0)
    PaintSkinned(DC);
  else
    PaintUnskinned(DC);
}

void TsGauge::PaintUnskinned(HDC DC) {
  if (Width() <= 0 || Height() <= 0) return;
  TScopedBitmap Img(NewBitmap32(Width(), Height()));
  TPlainGaugeLook Look;
  Look.Kind = FKind;
  Look.Bordered = FBorderStyle == bsSingle;
  Look.BackColor = FBackColor;
  Look.ForeColor = FForeColor;
  Look.Color = Color();
  Look.Percent = PercentDone();
  PaintPlainGauge(Img.Bmp, Look);
  if (FShowText) XorGaugeText(Img.Bmp, Font(), GaugeText());
  BitBlt(DC, 0, 0, Width(), Height(), Img.Bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsGauge::PaintSkinned(HDC DC) {
  if (FSkinData->IsUpdating()) {
    // Inside the parent's update: in the memory image of graphic children a key pixel keeps what the parent
    // shows; painted straight into the parent's DC, nothing is painted at all.
    if (PaintingGraphicChildren()) SetPixel(DC, 0, 0, 0xFF00FF);
    return;
  }
  TBitmap* Bmp = NewBitmap32(Width(), Height());
  FSkinData->CacheBmp = Bmp;
  try {
    BuildSkinnedImage(Bmp);
    BitBlt(DC, 0, 0, Width(), Height(), Bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  } catch (...) {
    FSkinData->CacheBmp = nullptr;
    Bmp->Free();
    throw;
  }
  // The gauge keeps no image between paints.
  FSkinData->CacheBmp = nullptr;
  FSkinData->CacheDirty = false;
  Bmp->Free();
}

void TsGauge::BuildSkinnedImage(TBitmap* Bmp) {
  const TRect All(0, 0, Width(), Height());
  RenderControlSkinOnParent(FSkinData, true, Bmp, TPoint(0, 0), All, 0);
  if (FShowText) {
    Bmp->Canvas()->Font()->Assign(Font());
    DrawControlTextStr(Bmp->Canvas(), GaugeText(), Enabled(), All, kTextFlags, FSkinData, 0);
  }
  switch (FKind) {
    case gkHorizontalBar:
    case gkVerticalBar:
      PaintFilledPart(Bmp, PercentDone());
      break;
    case gkPie:
    case gkNeedle: {
      TPlainGaugeLook Look;
      Look.Kind = FKind;
      Look.BackColor = FBackColor;
      Look.ForeColor = FForeColor;
      Look.Percent = PercentDone();
      Look.Area = false;
      PaintGaugeFigure(Bmp->Canvas()->Handle(), RECT{0, 0, Width(), Height()}, Look);
      GdiFlush();
      break;
    }
    case gkText:
      break;
  }
}

TBitmap* TsGauge::HighlightImage(int Thickness) {
  if (FGlowImage != nullptr && FGlowImage->Height() == Thickness) return FGlowImage;
  FreeNil(FGlowImage);
  if (FGlowPicture == nullptr) {
    TResourceStream Res(GetModuleHandleA(nullptr), "VKGL", MAKEINTRESOURCEA(10));
    TPNGGraphic* Png = new TPNGGraphic();
    try {
      Png->LoadFromStream(&Res);
    } catch (...) {
      Png->Free();
      throw;
    }
    FGlowPicture = Png;
  }
  TScopedBitmap Source(NewBitmap32(FGlowPicture->Width(), FGlowPicture->Height()));
  PngGraphicToBitmap32(Source.Bmp, FGlowPicture);
  FGlowImage = NewStretchedBitmap32(Source.Bmp, kHighlightWidth, Thickness);
  return FGlowImage;
}

void TsGauge::PaintFilledPart(TBitmap* Bmp, int Percent) {
  TsSkinManager* M = FSkinData->SkinManager();
  const std::string Name =
      !FProgressSkin.empty() ? FProgressSkin : (!Vertical() || HighlightOn()) ? "PROGRESSH" : "PROGRESSV";
  const int Index = M->FindSectionIndex(Name);
  if (Index < 0) return;
  const int W = Width(), H = Height();
  if (Vertical() && !HighlightOn()) {
    const int L = GaugeFilledLength(H, Percent);
    if (L <= 0) return;
    TScopedBitmap Part(NewBitmap32(W, L));
    TvkBgCacheRef Ref;
    InitBgInfo(Bmp, 0, H - L, Ref);
    PaintSectionItem(Index, Ref, -1, -1, M, Part.Bmp, TPoint(0, 0), TRect(0, 0, W, L), 0);
    if (FShowText) {
      Part.Bmp->Canvas()->Font()->Assign(Font());
      DrawSectionTextStr(Part.Bmp->Canvas(), GaugeText(), Enabled(), M, 0, Index, kTextFlags, TRect(0, L - H, W, L));
    }
    BitBlt(Bmp->Canvas()->Handle(), 0, H - L, W, L, Part.Bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    GdiFlush();
    return;
  }
  // Built lying: an animated vertical gauge is turned afterwards so that its start edge is at the bottom.
  const int Length = Vertical() ? H : W, Thick = Vertical() ? W : H;
  const int Filled = GaugeFilledByPosition(FMinValue, FMaxValue, FProgress, Length);
  if (Filled <= 0) return;
  if (FBarCache == nullptr || FBarCache->Width() != Filled || FBarCache->Height() != Thick) {
    FreeNil(FBarCache);
    FBarCache = NewBitmap32(Filled, Thick);
    TvkBgCacheRef Ref;
    if (!Vertical()) InitBgInfo(Bmp, 0, 0, Ref);
    PaintSectionItem(Index, Ref, -1, -1, M, FBarCache, TPoint(0, 0), TRect(0, 0, Filled, Thick), 0);
  }
  TBitmap* Part = CopyBitmap32(FBarCache);
  try {
    if (HighlightOn() && FHighlightPos < Filled + kHighlightWidth) {
      TBitmap* Glow = HighlightImage(Thick);
      const int ShapeIndex = M->FindMaskOfSection(Index, Name, "LRGN");
      TScopedBitmap Shape(nullptr);
      if (M->MaskIndexInRange(ShapeIndex)) {
        Shape.Bmp = NewBitmap32(Filled, Thick);
        FillRect32(Shape.Bmp, TRect(0, 0, Filled, Thick), 0xFF00FF, 255);
        DrawSkinRect32(Shape.Bmp, TRect(0, 0, Filled, Thick), TvkBgCacheRef{}, false, 0, M->ma()[ShapeIndex]);
      }
      DrawGaugeHighlight(Part, Glow, FHighlightPos, Shape.Bmp);
    }
    if (Vertical()) {
      Part = RotatedBitmap90(Part, false, true);
      if (Part == nullptr) return;
    }
    const int PW = Part->Width(), PH = Part->Height();
    const int X = 0, Y = Vertical() ? H - PH : 0;
    if (FShowText) {
      Part->Canvas()->Font()->Assign(Font());
      DrawSectionTextStr(Part->Canvas(), GaugeText(), Enabled(), M, 0, Index, kTextFlags, TRect(-X, -Y, W - X, H - Y));
    }
    BitBlt(Bmp->Canvas()->Handle(), X, Y, PW, PH, Part->Canvas()->Handle(), 0, 0, SRCCOPY);
    GdiFlush();
  } catch (...) {
    if (Part != nullptr) Part->Free();
    throw;
  }
  Part->Free();
}

// ---- highlight ----

void TsGauge::HighlightTick() {
  if (!FSkinData->IsSkinned()) {
    FTimer->SetEnabled(false);
    return;
  }
  if (FHighlightClock > kHighlightPeriod) {
    FHighlightPos = kHighlightStart;
    FHighlightClock = 0;
  }
  FHighlightClock += kTick;
  const int Length = Vertical() ? Height() : Width();
  if (FHighlightPos >= Length) return;
  TWinControl* P = Parent();
  if (Visible() && FProgress > 0 && P != nullptr && P->HandleAllocated() && IsWindowVisible(P->Handle()) &&
      Width() > 0 && Height() > 0) {
    const HDC DC = GetDC(P->Handle());
    if (DC != nullptr) {
      const int Saved = SaveDC(DC);
      SetViewportOrgEx(DC, Left(), Top(), nullptr);
      IntersectClipRect(DC, 0, 0, Width(), Height());
      try {
        PaintSkinned(DC);
      } catch (...) {
        RestoreDC(DC, Saved);
        ReleaseDC(P->Handle(), DC);
        throw;
      }
      RestoreDC(DC, Saved);
      ReleaseDC(P->Handle(), DC);
    }
  }
  FHighlightPos += std::max(kMinHighlightStep, NearestEven(Length / (kHighlightPeriod / 24.0)));
}

// ---- messages ----

void TsGauge::WndProc(TMessage& Message) {
  if (Message.Msg == SM_VKCMD) {
    TsSkinManager* M = FSkinData->SkinManager();
    const bool Own = Message.LParam != 0 && reinterpret_cast<TsSkinManager*>(Message.LParam) == M;
    switch (SkinCommandCode(Message.WParam)) {
      case VKCMD_SKIN_APPLIED:
        if (!Own) break;
        DropHighlightCache();
        ProcessCommonSkinMessage(Message, FSkinData);
        return;
      case VKCMD_SKIN_DROPPED:
        if (!Own) break;
        if (FAnimated) FTimer->SetEnabled(false);
        DropHighlightCache();
        ProcessCommonSkinMessage(Message, FSkinData);
        Changed();
        return;
      case VKCMD_REPAINT_AFTER_CHANGE:
        if (!Own) break;
        DropHighlightCache();
        ProcessCommonSkinMessage(Message, FSkinData);
        Changed();
        StartTimerIfWanted();
        return;
      case VKCMD_PARENT_UPDATE_DONE:
        if (!FSkinData->IsSkinned()) break;
        // only a skipped paint is made up: the parent sends this after each of its paints, and invalidating a
        // graphic control repaints the parent again, without end
        if (FSkinData->Updating) {
          FSkinData->Updating = false;
          Changed();
        }
        return;
      case VKCMD_QUERY_SKINNED:
        Message.Result = 1;
        return;
      case VKCMD_QUERY_OWNER_SECTION:
        if (M != nullptr) Message.Result = M->ConstData().Sections[ssGauge] + 1;
        return;
      case VKCMD_DROP_CACHES:
      case VKCMD_SET_SCALE:
        DropHighlightCache();
        break;
      case VKCMD_QUERY_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return;
    }
  }
  if (FSkinData->IsSkinned() && ProcessCommonSkinMessage(Message, FSkinData)) return;
  TGraphicControl::WndProc(Message);
}

void RegisterGaugeClasses() { RegisterClasses({TsCommonData::StaticClassInfo(), TsGauge::StaticClassInfo()}); }
