// What a skinned owner shows behind its children and in which section and colours it paints a state: the
// answer to background requests, background colours, translucent states, font colours, the cache bitmap.
#include <algorithm>

#include "framework/Forms.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkFormServices.h"
#include "skin/core/sVclUtils.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkPixelOps.h"

namespace {

constexpr TColor kNoColor = 0xFF00FF;

int StateCountOf(const TsGeneralData& G) { return std::clamp(G.States, 1, 3); }

// The colour a parent shows: a skinned parent's answer to VKCMD_QUERY_BG_COLOR, an unskinned one's Color.
TColor ParentColorOf(TWinControl* Parent) {
  if (ControlHasSkin(Parent, false)) return static_cast<TColor>(SendControlCommand(Parent, VKCMD_QUERY_BG_COLOR, 0));
  return ColorToRGB(Parent->Color());
}

bool HasCornerImage(const TsGeneralData& G) {
  return G.ImgTopLeft >= 0 || G.ImgTopRight >= 0 || G.ImgBtmLeft >= 0 || G.ImgBtmRight >= 0;
}

// The bitmap that holds a mask entry's pixels.
TBitmap* MaskSource(const TsMaskData& Mask, TsSkinManager* Manager) {
  return Mask.Bmp != nullptr ? Mask.Bmp : Manager->MasterBitmap();
}

void GiveCache(TsCommonData* D, TvkParentBgQuery& Q) {
  Q.Kind = bgkBitmap;
  Q.Bmp = D->CacheBmp;
}

bool CacheEmpty(const TsCommonData* D) { return D->CacheBmp == nullptr || D->CacheBmp->Empty(); }

// Asks the owner to rebuild its cache (it handles VKCMD_REFRESH_CACHE before the common handler clears the mark).
void RefreshCache(TsCommonData* D) {
  if (D->OwnerControl != nullptr) SendControlCommand(D->OwnerControl, VKCMD_REFRESH_CACHE, 0);
}

}  // namespace

uint32_t MixBackgroundColor(uint32_t Parent, uint32_t State, int Transparency) {
  uint32_t Out = 0;
  for (int Shift = 0; Shift < 24; Shift += 8) {
    const int C = static_cast<int>((Parent >> Shift) & 0xFF);
    const int S = static_cast<int>((State >> Shift) & 0xFF);
    Out |= static_cast<uint32_t>((((C - S) * Transparency + S * 256) >> 8) & 0xFF) << Shift;
  }
  return Out;
}

// ---- the owner's own background ----

bool TsCommonData::UsesParentBackground() {
  const TsGeneralData* G = IsSkinned() ? Section() : nullptr;
  if (G == nullptr || OwnerControl == nullptr || !OwnerControl->Enabled()) return true;
  if (G->Props[0].Transparency < 1) return false;
  TWinControl* Parent = OwnerControl->Parent();
  if (Parent == nullptr || !Parent->HandleAllocated()) return false;
  return SendSkinCommand(Parent->Handle(), VKCMD_QUERY_BG_READY, 0) == 1;
}

namespace {
// A parent without a background to give shows the key colour: the painters leave those pixels alone.
void KeyForNothing(TvkParentBgQuery& Q) {
  if (Q.Kind == bgkNotReady || (Q.Kind == bgkColor && Q.Color == clNone)) {
    Q.Kind = bgkColor;
    Q.Color = kNoColor;
  }
}
}  // namespace

void TsCommonData::GetParentBackground(TvkParentBgQuery& Query) {
  if (OwnerControl != nullptr && OwnerControl->Parent() != nullptr) {
    QueryParentBackground(Query, OwnerControl->Parent(), Query.PleaseDraw);
    KeyForNothing(Query);
    return;
  }
  Query.Kind = bgkColor;
  Query.Color = ColorToRGB(SkinBackgroundColor(this, 0));
}

void TsCommonData::GetParentWindowBackground(TvkParentBgQuery& Query) {
  const HWND Own = OwnerWindow();
  const HWND Parent = Own != nullptr ? GetParent(Own) : nullptr;
  if (Parent != nullptr) {
    QueryParentBackgroundWnd(Query, Parent, Query.PleaseDraw);
    KeyForNothing(Query);
    return;
  }
  Query.Kind = bgkColor;
  Query.Color = ColorToRGB(SkinBackgroundColor(this, 0, Own));
}

bool TsCommonData::StateIsTranslucent(int State) const {
  return SectionStateIsTranslucent(SkinManager(), SkinIndex, State, OwnerOrProviderForm());
}

bool SectionStateIsTranslucent(TsSkinManager* Manager, int SkinIndex, int State, TControl* Control) {
  if (Control == nullptr || Control->Parent() == nullptr || SkinIndex < 0 || Manager == nullptr ||
      !Manager->SectionIndexInRange(SkinIndex))
    return false;
  const TsGeneralData& G = Manager->gd()[SkinIndex];
  const int S = std::max(0, std::min(State, StateCountOf(G) - 1));
  if (G.Props[std::min(S, 2)].Transparency < 51) return false;
  if (!Manager->MaskIndexInRange(G.BorderIndex)) return true;
  const TsMaskData& Mask = Manager->ma()[G.BorderIndex];
  // draw-mode value 4: the centre piece is painted; value 2: nothing is painted in state 0
  if (S == 0) return !((Mask.DrawMode & 4) != 0 && (Mask.DrawMode & 2) == 0);
  if ((Mask.DrawMode & 4) == 0) return true;
  if (Mask.MaskType == 0) return false;
  // the mask band under frame S decides: a keeping (light) mask lets the parent show through
  TBitmap* Src = MaskSource(Mask, Manager);
  const int X = Mask.R.Left + Mask.Width * S + Mask.Width / 2;
  const int Y = Mask.R.Bottom - Mask.Height / 2;
  if (Src == nullptr || X < 0 || Y < 0 || X >= Src->Width() || Y >= Src->Height()) return true;
  return (GetPixel32(Src, X, Y) & 0xFF) >= 128;
}

TColor SkinBackgroundColor(TsCommonData* D, int State, HWND Wnd) {
  TControl* Owner = D != nullptr ? D->OwnerOrProviderForm() : nullptr;
  const TsGeneralData* G = D != nullptr && D->IsSkinned() ? D->Section() : nullptr;
  if (G == nullptr) return Owner != nullptr ? Owner->Color() : clBtnFace;
  const int S = State > 0 && G->States >= 2 ? 1 : 0;
  const int t = G->Props[S].Transparency;
  if (t < 1) return D->CustomColor() && Owner != nullptr ? Owner->Color() : static_cast<TColor>(G->Props[S].Color);
  TColor Parent = clBtnFace;
  if (D->OwnerControl != nullptr && D->OwnerControl->Parent() != nullptr)
    Parent = ParentColorOf(D->OwnerControl->Parent());
  else if (Wnd != nullptr && GetParent(Wnd) != nullptr)
    Parent = GetWindowColor(GetParent(Wnd));
  if (t >= 100) return Parent;
  return static_cast<TColor>(MixBackgroundColor(ColorToRGB(Parent), G->Props[S].Color, t));
}

// ---- the answer to a child's background request ----

void AnswerBackgroundRequest(TsCommonData* D, TvkParentBgQuery& Q, int State, HWND Wnd) {
  if (Q.PleaseDraw && Q.DrawDC != nullptr) {
    if (D->CacheDirty && D->OwnerControl != nullptr) RefreshCache(D);
    if (!D->CacheDirty && !CacheEmpty(D)) {
      BitBlt(Q.DrawDC, Q.Area.Left, Q.Area.Top, Q.Area.Width(), Q.Area.Height(), D->CacheBmp->Canvas()->Handle(),
             Q.OffsetX + Q.Area.Left, Q.OffsetY + Q.Area.Top, SRCCOPY);
      GiveCache(D, Q);
      return;
    }
  }
  Q.Bmp = nullptr;
  TControl* Owner = D->OwnerOrProviderForm();
  const TsGeneralData* G = D->IsSkinned() ? D->Section() : nullptr;
  if (G == nullptr || D->CustomColor()) {
    Q.Kind = bgkColor;
    Q.Color = ColorToRGB(Owner != nullptr ? Owner->Color() : clBtnFace);
    return;
  }
  TsSkinManager* M = D->SkinManager();
  const int s = std::min({State, StateCountOf(*G) - 1, 2});
  const TsGenState& St = G->Props[std::max(s, 0)];
  const int t = St.Transparency;
  if (t <= 0) {
    if (St.GradientPercent < 1 && St.ImagePercent < 1 && !HasCornerImage(*G) && !D->OuterEffectsAllowed()) {
      Q.Kind = bgkColor;
      Q.Color = ColorToRGB(SkinBackgroundColor(D, State, Wnd));
      if (M->MaskIndexInRange(D->BorderIndex) && D->MaxBorderWidth() > 0) {
        // the border itself is taken from the cache
        const TsMaskData& Mask = M->ma()[D->BorderIndex];
        Q.FillRect = TRect(Mask.WL, Mask.WT, Mask.WR, Mask.WB);
        Q.Bmp = D->CacheBmp;
      }
      return;
    }
    Q.Color = M->SkinBaseColor();
    const bool SizeFits = D->OwnerControl == nullptr ||
                          (D->CacheBmp != nullptr && D->CacheBmp->Width() == D->OwnerControl->Width() &&
                           D->CacheBmp->Height() == D->OwnerControl->Height());
    if (!D->CacheDirty && !CacheEmpty(D) && SizeFits) {
      GiveCache(D, Q);
      return;
    }
    D->CacheDirty = true;
    if (D->OwnerControl != nullptr) {
      if (D->CacheBmp != nullptr) D->CacheBmp->SetSize(0, 0);
      RefreshCache(D);
    } else if (TsSkinProvider* P = D->OwnerProvider()) {
      if (FormServices.ProviderAnimating && FormServices.ProviderAnimating(P)) {
        GiveCache(D, Q);
        return;
      }
      if (D->CacheBmp != nullptr) D->CacheBmp->SetSize(0, 0);
      if (TControl* Form = D->OwnerOrProviderForm()) SendControlCommand(Form, VKCMD_REFRESH_CACHE, 0);
    }
    if (CacheEmpty(D))
      Q.Kind = bgkNotReady;
    else
      GiveCache(D, Q);
    return;
  }
  if (t >= 100) {
    if (D->CacheBmp == nullptr) {
      // nothing of its own to show: what its parent shows, with the owner's position added first
      TControl* ParentOf = Owner;
      if (ParentOf != nullptr && ParentOf->Parent() != nullptr) {
        Q.OffsetX += ParentOf->Left();
        Q.OffsetY += ParentOf->Top();
        QueryParentBackground(Q, ParentOf->Parent(), Q.PleaseDraw);
        return;
      }
      const HWND Own = Wnd != nullptr ? Wnd : D->OwnerWindow();
      const HWND Parent = Own != nullptr ? GetParent(Own) : nullptr;
      if (Parent == nullptr) {
        Q.Kind = bgkColor;
        TsSkinManager* Def = TsSkinManager::DefaultManager();
        Q.Color = Def != nullptr ? Def->SkinBaseColor() : ColorToRGB(clBtnFace);
        return;
      }
      RECT R{};
      GetWindowRect(Own, &R);
      POINT At{R.left, R.top};
      ScreenToClient(Parent, &At);
      Q.OffsetX += At.x;
      Q.OffsetY += At.y;
      QueryParentBackgroundWnd(Q, Parent, Q.PleaseDraw);
      return;
    }
    if (D->CacheDirty) RefreshCache(D);
    if (D->CacheDirty) {
      Q.Kind = bgkColor;
      Q.Color = ColorToRGB(SkinBackgroundColor(D, 0, Wnd));
      return;
    }
    GiveCache(D, Q);
    return;
  }
  // translucent
  if (D->CacheBmp == nullptr) {
    Q.Kind = bgkColor;
    Q.Color = kNoColor;
    return;
  }
  if (D->CacheBmp->Empty()) {
    if (D->CacheDirty) {
      RefreshCache(D);
      if (!D->CacheBmp->Empty()) {
        AnswerBackgroundRequest(D, Q, State, Wnd);
        return;
      }
    }
    D->Updating = true;
    Q.Kind = bgkNotReady;
    return;
  }
  GiveCache(D, Q);
}

// ---- sections and font colours by state ----

LRESULT QuerySectionFromControl(TControl* Control, TvkStateSectionRequest& Request) {
  if (Control->Parent() != nullptr) OffsetRect(&Request.R, Control->Left(), Control->Top());
  return SendControlCommand(Control, VKCMD_QUERY_STATE_SECTION, reinterpret_cast<LPARAM>(&Request));
}

int SectionIndexForState(TControl* Control, int SkinIndex, TsSkinManager* Manager, int State) {
  if (State > 0 && Manager != nullptr && Manager->SectionIndexInRange(SkinIndex)) {
    const TsGeneralData& G = Manager->gd()[SkinIndex];
    const int S = std::min(State, 2);
    if (S < StateCountOf(G) && G.Props[S].Transparency < 40) return SkinIndex;
  }
  if (Control == nullptr) return SkinIndex;
  TvkStateSectionRequest Req{Control->BoundsRect(), State, -1};
  OffsetRect(&Req.R, -Control->Left(), -Control->Top());
  const LRESULT Answer = QuerySectionFromControl(Control, Req);
  if (Answer == 0) return -1;
  if (Answer == -1) return SkinIndex;
  return Req.SectionIndex >= 0 ? Req.SectionIndex : SkinIndex;
}

namespace {
// Asks the section behind a translucent or missing state; false: the caller answers with the parent's colour.
template <class AskFn> bool ResolveTextSection(TsSkinManager* Manager, int& SkinIndex, int State, AskFn Ask) {
  const bool Valid = Manager != nullptr && Manager->SectionIndexInRange(SkinIndex);
  const TsGeneralData* G = Valid ? &Manager->gd()[SkinIndex] : nullptr;
  if (G != nullptr && State < StateCountOf(*G) && G->Props[std::min(State, 2)].Transparency < 40) return true;
  TvkStateSectionRequest Req{RECT{}, State, -1};
  const LRESULT Answer = Ask(Req);
  if (Answer == 0) return false;
  if (Answer != -1 && Req.SectionIndex >= 0) SkinIndex = Req.SectionIndex;
  return true;
}

TColor SectionFontColor(TsSkinManager* Manager, int SkinIndex, int State) {
  if (!Manager->SectionIndexInRange(SkinIndex)) return Manager->SkinBaseFontColor();
  const TsGeneralData& G = Manager->gd()[SkinIndex];
  return static_cast<TColor>(G.Props[std::clamp(State, 0, StateCountOf(G) - 1)].FontColor);
}
}  // namespace

TColor ControlFontColor(TControl* Control, int SkinIndex, TsSkinManager* Manager, int State) {
  const bool Asked = ResolveTextSection(Manager, SkinIndex, State, [&](TvkStateSectionRequest& Req) {
    Req.R = RECT{0, 0, Control->Width(), Control->Height()};
    return QuerySectionFromControl(Control, Req);
  });
  if (!Asked) return Control->Parent() != nullptr ? Control->Parent()->Font()->Color() : Control->Font()->Color();
  TColor C = Manager != nullptr && Manager->SkinData().Active ? SectionFontColor(Manager, SkinIndex, State)
                                                               : Control->Font()->Color();
  if (!Control->Enabled()) {
    const TColor Behind = Control->Parent() != nullptr ? ParentColorOf(Control->Parent()) : Control->Color();
    C = static_cast<TColor>(WeightedColorMix(ColorToRGB(C), ColorToRGB(Behind), 100));
  }
  return C;
}

TColor FontColorForWindow(HWND Wnd, int SkinIndex, TsSkinManager* Manager, int State) {
  const bool Asked = ResolveTextSection(Manager, SkinIndex, State, [&](TvkStateSectionRequest& Req) {
    GetClientRect(Wnd, &Req.R);
    return SendSkinCommand(Wnd, VKCMD_QUERY_STATE_SECTION, reinterpret_cast<LPARAM>(&Req));
  });
  if (!Asked) return clBtnText;
  TColor C = Manager != nullptr && Manager->SkinData().Active ? SectionFontColor(Manager, SkinIndex, State) : clBtnText;
  if (!IsWindowEnabled(Wnd))
    C = static_cast<TColor>(WeightedColorMix(ColorToRGB(C), ColorToRGB(GetWindowColor(GetParent(Wnd))), 100));
  return C;
}

// ---- the cache bitmap ----

void PrepareCacheBitmap(TsCommonData* D) {
  if (D->CacheBmp == nullptr) {
    D->CacheBmp = NewBitmap32(0, 0);
    D->CacheBmp->Canvas()->OnChange = nullptr;
  } else {
    ForceBitmap32(D->CacheBmp);
  }
  if (TControl* Owner = D->OwnerOrProviderForm()) D->CacheBmp->SetSize(Owner->Width(), Owner->Height());
}

void ClearBorderMaskCorners(int SkinIndex, TBitmap* Bmp, TsSkinManager* Manager) {
  if (Bmp == nullptr || Manager == nullptr || !Manager->SectionIndexInRange(SkinIndex)) return;
  const int Index = Manager->gd()[SkinIndex].BorderIndex;
  if (!Manager->MaskIndexInRange(Index)) return;
  const TsMaskData& Mask = Manager->ma()[Index];
  TBitmap* Src = MaskSource(Mask, Manager);
  if (Src == nullptr) return;
  const int FW = Mask.Width, FH = Mask.Height;
  // a corner pixel is see-through where the image holds the key colour or, with a mask band one frame lower,
  // where the band keeps the destination
  // Points outside the frame (borders wider than it) or the image (a cut image) are never see-through.
  auto Inside = [&](int X, int Y) { return X >= 0 && Y >= 0 && X < Src->Width() && Y < Src->Height(); };
  auto SeeThrough = [&](int X, int Y) {
    if (X < 0 || Y < 0 || X >= FW || Y >= FH) return false;
    const int SX = Mask.R.Left + X, SY = Mask.R.Top + Y;
    if (Mask.MaskType > 0) return Inside(SX, SY + FH) && (GetPixel32(Src, SX, SY + FH) & 0xFF) == 0xFF;
    return Inside(SX, SY) && (GetPixel32(Src, SX, SY) & 0xFFFFFF) == KeyPixel32;
  };
  auto Clear = [&](int X0, int Y0, int W, int H, int DX, int DY) {
    for (int Y = 0; Y < H; ++Y)
      for (int X = 0; X < W; ++X) {
        const int BX = DX + X, BY = DY + Y;
        if (BX < 0 || BY < 0 || BX >= Bmp->Width() || BY >= Bmp->Height() || !SeeThrough(X0 + X, Y0 + Y)) continue;
        PutPixel32(Bmp, BX, BY, GetPixel32(Bmp, BX, BY) & 0x00FFFFFF);
      }
  };
  const int BW = Bmp->Width(), BH = Bmp->Height();
  Clear(0, 0, Mask.WL, Mask.WT, 0, 0);
  Clear(FW - Mask.WR, 0, Mask.WR, Mask.WT, BW - Mask.WR, 0);
  Clear(0, FH - Mask.WB, Mask.WL, Mask.WB, 0, BH - Mask.WB);
  Clear(FW - Mask.WR, FH - Mask.WB, Mask.WR, Mask.WB, BW - Mask.WR, BH - Mask.WB);
}

void TsCommonData::SendCacheToChildren(TWinControl* Parent, POINT Offset) {
  TsSkinManager* M = SkinManager();
  if (!IsSkinned() || M == nullptr || !M->Effects()->AllowOuterEffects() || Parent == nullptr) return;
  for (int i = 0; i < Parent->ControlCount(); ++i) {
    TControl* Child = Parent->Controls(i);
    if (!Child->Visible() || !ControlHasSkin(Child, false)) continue;
    TvkParentBgQuery Q{};
    Q.Kind = bgkBitmap;
    Q.Bmp = CacheBmp;
    Q.OffsetX = Offset.x;
    Q.OffsetY = Offset.y;
    SendControlCommand(Child, VKCMD_TAKE_PARENT_CACHE, reinterpret_cast<LPARAM>(&Q));
  }
}
