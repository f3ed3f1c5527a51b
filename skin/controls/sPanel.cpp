#include "skin/controls/sPanel.h"

#include <algorithm>

#include "framework/TypInfo.h"
#include "skin/controls/vkControlCache.h"
#include "skin/controls/vkHoverEvents.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkControlBorder.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"

TsPanel::TsPanel(TComponent* AOwner) : TPanel(AOwner), FSkinData(new TsCtrlSkinData(this, true)) {
  FSkinData->CtrlType = ctPanel;
}

TsPanel::~TsPanel() { FSkinData->Free(); }

void TsPanel::AfterConstruction() {
  inherited::AfterConstruction();
  FSkinData->FinishLoading(true);
}

void TsPanel::Loaded() {
  inherited::Loaded();
  FSkinData->FinishLoading(true);
  FLastBevelOuter = BevelOuter();
}

void TsPanel::CreateWnd() {
  inherited::CreateWnd();
  FSkinData->AttachToHandle();
}

const char* TsPanel::SectionForBevel(TBevelCut Bevel) {
  static const char* const kSections[4] = {"TRANSPARENT", "PANEL_LOW", "PANEL", "GROUPBOX"};
  return kSections[Bevel];
}

int TsPanel::BevelInset() const {
  return ((BevelInner() != bvNone ? 1 : 0) + (BevelOuter() != bvNone ? 1 : 0)) * BevelWidth() + BorderWidth();
}

TRect TsPanel::CaptionRect() {
  const RECT C = ClientRect();
  const int I = BevelInset();
  return TRect(C.left + I, C.top + I, C.right - I, C.bottom - I);
}

void TsPanel::Paint() {
  inherited::Paint();
  if (Showing() && OnPaint) OnPaint(this, Canvas());
}

void TsPanel::PaintWindow(HDC DC) {
  if (FSkinData->IsSkinned() && ControlState().Contains(csPaintCopy)) {
    PaintToDC(DC, true);
    return;
  }
  inherited::PaintWindow(DC);
  PaintToDC(DC, true);
}

void TsPanel::PaintCacheToDC(HDC DC) {
  BlitCacheExceptChildren(this, FSkinData, POINT{0, 0}, 0, 0, false, DC, RECT{0, 0, Width(), Height()});
}

bool TsPanel::PrepareCache() {
  TvkBgCacheRef Ref;
  if (!PrepareCacheOnParent(this, FSkinData, Ref)) return false;
  TBitmap* Cache = FSkinData->CacheBmp;
  // the colour shifts of the normal state come with the section's painting
  RenderControlSkin(FSkinData, Ref, true, Cache, TPoint{0, 0}, TRect(0, 0, Width(), Height()), 0);
  FSkinData->SendCacheToChildren(this, POINT{0, 0});
  PaintCaption(CaptionRect(), Cache->Canvas(), nullptr);
  if (OnPaint) OnPaint(this, Cache->Canvas());
  if (DockSite() && DockClientCount() > 0) PaintDockStrips(Cache);
  FSkinData->CacheDirty = false;
  return true;
}

void TsPanel::PaintCaption(TRect R, TCanvas* Canvas, HDC DC) {
  const std::string Text = Caption();
  if (Text.empty() || (Canvas == nullptr && DC == nullptr)) return;
  TCanvas* Temp = nullptr;
  if (Canvas == nullptr) {
    Temp = new TCanvas();
    Temp->SetHandle(DC);
    Temp->Brush()->SetStyle(bsClear);
    Canvas = Temp;
  }
  try {
    Canvas->Font()->Assign(Font());
    const UINT Flags = AlignDrawTextFlags(this, Alignment()) | DT_WORDBREAK;
    TRect Measured = R;
    {
      TCanvasTextScope S(Canvas);
      DrawStringOnDC(S.DC(), Text, Measured, Flags | DT_CALCRECT);
    }
    const int TextHeight = Measured.Height();
    R.Top += (R.Height() - TextHeight) / 2;
    R.Bottom = R.Top + TextHeight;
    DrawControlTextStr(Canvas, Text, Enabled(), R, Flags, FSkinData, 0);
  } catch (...) {
    if (Temp != nullptr) {
      Temp->SetHandle(nullptr);
      Temp->Free();
    }
    throw;
  }
  if (Temp != nullptr) {
    Temp->SetHandle(nullptr);
    Temp->Free();
  }
}

void TsPanel::PaintOwnColor(HDC DC) {
  const TRect R(0, 0, Width(), Height());
  FSkinData->Updating = false;
  const int B = FSkinData->MaxBorderWidth();
  const int Saved = SaveDC(DC);
  ClipOutChildControls(DC, this, 0, 0);
  const uint32_t Fill = static_cast<uint32_t>(ColorToRGB(Color()));
  if (B > 0) {
    TsSkinManager* M = FSkinData->SkinManager();
    if (FSkinData->CacheBmp->Width() != Width() || FSkinData->CacheBmp->Height() != Height())
      PrepareCacheBitmap(FSkinData);
    HDC CacheDC = FSkinData->CacheBmp->Canvas()->Handle();
    const int T = FSkinData->Section()->Props[0].Transparency;
    const bool ValidMask = M->MaskIndexInRange(FSkinData->BorderIndex);
    TRect Client = R;
    if (T == 100 && (!ValidMask || (M->ma()[FSkinData->BorderIndex].DrawMode & 4) != 0)) {
      // a see-through face with a border that draws no inner part: the border alone, then the own colour
      // inside it, which the panel shows whatever the section's transparency
      PaintControlBorder(CacheDC, R, 0, Client, 0, FSkinData);
      BitBlt(DC, 0, 0, Width(), Height(), CacheDC, 0, 0, SRCCOPY);
      PaintSolidRect(DC, TRect(B, B, Width() - B, Height() - B), Fill);
    } else {
      PaintControlBorder(CacheDC, R, B, Client, 0, FSkinData);
      PaintSolidRect(DC, TRect(B, B, Width() - B, Height() - B), Fill);
      CopyBorderStrips(DC, 0, 0, B, 0, 0, CacheDC, Height(), Width());
    }
  } else {
    PaintSolidRect(DC, R, Fill);
  }
  PaintCaption(CaptionRect(), nullptr, DC);
  RestoreDC(DC, Saved);
}

void TsPanel::PaintToDC(HDC DC, bool SendUpdated) {
  if (!Showing() || !FSkinData->IsSkinned(false)) return;
  if (DC == nullptr) DC = Canvas()->Handle();
  const bool PaintCopy = ControlState().Contains(csPaintCopy);
  if (!FSkinData->CustomColor() || InAnimationProcess || OnPaint) {
    RECT Clip{};
    const int Kind = GetClipBox(DC, &Clip);
    if (Kind == ERROR) return;
    if (Kind == NULLREGION) {
      bool Loose = false;
      for (int i = 0; i < ControlCount(); ++i) Loose = Loose || Controls(i)->Align() == alNone;
      const RECT Bounds = BoundsRect();
      if (Loose && RectVisible(DC, &Bounds)) {
        FSkinData->Updating = true;
        return;
      }
    }
    if (FSkinData->RecheckUpdating(false) && !PaintCopy) {
      if (SendUpdated) RepaintChildrenAfterUpdate(this);
      return;
    }
    const bool Rebuild = FSkinData->ClippedOut || FSkinData->CacheDirty;
    FSkinData->ClippedOut = FSkinData->UsesParentBackground() && !PaintCopy &&
                            (Clip.right - Clip.left < Width() || Clip.bottom - Clip.top < Height());
    if (Rebuild && !PrepareCache() && FSkinData->CacheDirty) return;
    PaintCacheToDC(DC);
  } else {
    PaintOwnColor(DC);
  }
  PaintGraphicChildren(DC, this, true, POINT{0, 0});
  if (SendUpdated && !PaintCopy) RepaintChildrenAfterUpdate(this);
}

// ===================================================================================================
// docked clients' caption strips

namespace {
// A docked client's caption strip: one line of Font with the 5-pixel inset above and below it.
int DockStripSize(TFont* Font) {
  TFreeHolder<TBitmap> Probe(NewBitmap32(1, 1));
  Probe->Canvas()->Font()->Assign(Font);
  return Probe->Canvas()->TextHeight("Wg") + 10;
}
}  // namespace

void TsPanel::PaintDockStrips(TBitmap* Cache) {
  TsSkinManager* M = FSkinData->SkinManager();
  if (M == nullptr) return;
  auto Section = [M](const char* Name, const char* Fallback) {
    const int I = M->FindSectionIndex(Name);
    return I >= 0 ? I : M->FindSectionIndex(Fallback);
  };
  const int Across = Section("DRAGBAR", "PANEL");  // a strip above its client
  const int Along = Section("GRIPV", "GRIPH");     // a strip left of its client
  const int Close = M->FindMaskByNames("GLOBALINFO", "SICONCLOSE");
  const int Size = DockStripSize(Font());
  for (int i = 0; i < DockClientCount(); ++i) {
    TControl* Client = DockClients(i);
    if (!Client->Visible()) continue;
    const bool Above = Client->Top() >= Size;
    if (!Above && Client->Left() < Size) continue;
    const TRect Strip = Above ? TRect(Client->Left(), Client->Top() - Size, Client->Left() + Client->Width(),
                                      Client->Top())
                              : TRect(Client->Left() - Size, Client->Top(), Client->Left(),
                                      Client->Top() + Client->Height());
    const int Index = Above ? Across : Along;
    TBitmap* Work = NewBitmap32(Strip.Width(), Strip.Height());
    try {
      // a skin without the strip's sections leaves the face as it is
      BitBlt(Work->Canvas()->Handle(), 0, 0, Strip.Width(), Strip.Height(), Cache->Canvas()->Handle(), Strip.Left,
             Strip.Top, SRCCOPY);
      TvkBgCacheRef Ref;
      InitBgInfo(Cache, Strip.Left, Strip.Top, Ref);
      if (Index >= 0)
        PaintSectionBackgroundOnRef(Index, Ref, Work, M, 0, TPoint{0, 0}, TRect(0, 0, Work->Width(), Work->Height()));
      if (Above) {
        TCanvas* C = Work->Canvas();
        C->Font()->Assign(Font());
        DrawSectionTextStr(C, Client->Caption(), true, M, 0, Index, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS,
                           TRect(5, 5, Work->Width() - 18, Work->Height() - 5));
      }
      if (M->MaskIndexInRange(Close)) {
        const TsMaskData& Glyph = M->ma()[Close];
        const int Side = std::min(Glyph.Height, Above ? Work->Height() : Work->Width());
        TFreeHolder<TBitmap> G(NewBitmap32(Glyph.Width, Glyph.Height));
        DrawSkinGlyph32(G.get(), TPoint{0, 0}, 0, Ref, Glyph, 1);
        TFreeHolder<TBitmap> Scaled;
        if (Side < Glyph.Height) {
          // a glyph taller than the strip is scaled down to it
          Scaled.reset(NewBitmap32(Side * Glyph.Width / std::max(1, Glyph.Height), Side));
          SetStretchBltMode(Scaled->Canvas()->Handle(), COLORONCOLOR);
          StretchBlt(Scaled->Canvas()->Handle(), 0, 0, Scaled->Width(), Side, G->Canvas()->Handle(), 0, 0,
                     Glyph.Width, Glyph.Height, SRCCOPY);
        }
        TBitmap* Small = Scaled ? Scaled.get() : G.get();
        const int X = Above ? Work->Width() - Small->Width() - 1 : (Work->Width() - Small->Width()) / 2;
        const int Y = Above ? (Work->Height() - Small->Height()) / 2 : 1;
        BitBlt(Work->Canvas()->Handle(), X, Y, Small->Width(), Small->Height(), Small->Canvas()->Handle(), 0, 0,
               SRCCOPY);
      }
      BitBlt(Cache->Canvas()->Handle(), Strip.Left, Strip.Top, Strip.Width(), Strip.Height(), Work->Canvas()->Handle(),
             0, 0, SRCCOPY);
    } catch (...) {
      Work->Free();
      throw;
    }
    Work->Free();
  }
}

// ===================================================================================================
// messages

void TsPanel::AnswerBackground(TMessage& Message) {
  auto& Q = *reinterpret_cast<TvkParentBgQuery*>(Message.LParam);
  AnswerBackgroundRequest(FSkinData, Q, 0);
  Message.Result = 1;
  if (Q.Kind != bgkBitmap) return;
  TBitmap* Cache = FSkinData->CacheBmp;
  const bool SizeDiffers = Cache == nullptr || Cache->Width() != Width() || Cache->Height() != Height();
  if (FSkinData->CacheDirty && SizeDiffers && !FSkinData->Updating) {
    // a parent that is no skinned window will not tell the panel when it may paint: give what there is
    TWinControl* P = Parent();
    const bool PlainParent = P != nullptr && P->HandleAllocated() && !AskSkinCommand(P->Handle(), VKCMD_QUERY_SKINNED);
    if (!PlainParent) Q.Kind = bgkNotReady;
  }
  if (ClientWidth() < Width() && Q.ClientCoords == 0) {
    Q.OffsetX += BevelInset();
    Q.OffsetY += BevelInset();
  }
}

void TsPanel::WndProc(TMessage& Message) {
  TsSkinManager* M = FSkinData->SkinManager();
  if (Message.Msg == SM_VKCMD) {
    const bool OwnManager = Message.LParam != 0 && reinterpret_cast<TsSkinManager*>(Message.LParam) == M;
    switch (SkinCommandCode(Message.WParam)) {
      case VKCMD_QUERY_SKINNED:
        Message.Result = 1;
        return;
      case VKCMD_SKIN_APPLIED:
        FControlStyle.Exclude(csOpaque);
        BroadcastToChildControls(this, Message);
        if (OwnManager) ProcessSkinCommand(Message, FSkinData);
        return;
      case VKCMD_SKIN_DROPPED:
        FControlStyle.Exclude(csOpaque);
        if (OwnManager) {
          ProcessSkinCommand(Message, FSkinData);
          Invalidate();
        }
        BroadcastToChildControls(this, Message);
        return;
      case VKCMD_REPAINT_AFTER_CHANGE:
        if (OwnManager) {
          ProcessSkinCommand(Message, FSkinData);
          if (HandleAllocated() && !ComponentState().Contains(csLoading) && Visible()) {
            InvalidateRect(Handle(), nullptr, TRUE);
            RedrawWindow(Handle(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN | RDW_UPDATENOW | RDW_FRAME);
          }
        }
        BroadcastToChildControls(this, Message);
        return;
      case VKCMD_QUERY_OWNER_SECTION:
        if (M == nullptr) break;
        Message.Result = M->FindSectionIndex(SectionForBevel(BevelOuter())) + 1;
        return;
      case VKCMD_QUERY_PARENT_BG:
        if (M == nullptr || !M->SectionIndexInRange(FSkinData->SkinIndex) || Message.LParam == 0) break;
        AnswerBackground(Message);
        return;
      default:
        break;
    }
  }
  if (!IsControlReadyToPaint(this) || !FSkinData->IsSkinned(false)) {
    if (Message.Msg == WM_ERASEBKGND && OnPaint) {
      Message.Result = 1;
      return;
    }
    inherited::WndProc(Message);
    return;
  }
  switch (Message.Msg) {
    case SM_VKCMD:
      switch (SkinCommandCode(Message.WParam)) {
        case VKCMD_PARENT_UPDATE_DONE:
          if (FSkinData->Updating) {
            if (!FSkinData->RecheckUpdating(true)) {
              TBitmap* Cache = FSkinData->CacheBmp;
              const bool Resized = Cache != nullptr && (Cache->Width() != Width() || Cache->Height() != Height());
              Repaint();
              if (Resized && OnResize) OnResize(this);
            }
            RepaintChildrenAfterUpdate(this);
          }
          return;
        case VKCMD_REFRESH_CACHE:
          if (!DockSite() && !FSkinData->RecheckUpdating(false) && FSkinData->CacheDirty && !PrepareCache())
            FSkinData->Updating = true;
          return;
        default:
          if (ProcessSkinCommand(Message, FSkinData)) return;
          break;
      }
      break;
    case WM_PAINT:
      if (!Visible() && !Designing()) break;
      {
        PAINTSTRUCT PS{};
        BeginPaint(Handle(), &PS);
        if (!FSkinData->RecheckUpdating(false)) {
          HDC DC = Message.WParam != 0 ? reinterpret_cast<HDC>(Message.WParam) : GetDC(Handle());
          const int Saved = SaveDC(DC);
          FControlState.Include(csCustomPaint);
          try {
            if (Message.WParam == 0)
              IntersectClipRect(DC, PS.rcPaint.left, PS.rcPaint.top, PS.rcPaint.right, PS.rcPaint.bottom);
            Canvas()->PaintOn(DC, [&] { PaintToDC(DC, true); });
          } catch (...) {
            FControlState.Exclude(csCustomPaint);
            RestoreDC(DC, Saved);
            if (Message.WParam == 0) ReleaseDC(Handle(), DC);
            EndPaint(Handle(), &PS);
            throw;
          }
          RestoreDC(DC, Saved);
          FControlState.Exclude(csCustomPaint);
          if (Message.WParam == 0) ReleaseDC(Handle(), DC);
        }
        EndPaint(Handle(), &PS);
        Message.Result = 0;
      }
      return;
    case WM_PRINT:
      FSkinData->Updating = false;
      FSkinData->ClippedOut = false;
      if (IsControlReadyToPaint(this)) {
        const bool Cached = !FSkinData->CustomColor() || OnPaint;
        if (Cached && FSkinData->CacheDirty) PrepareCache();
        PaintToDC(reinterpret_cast<HDC>(Message.WParam), false);
      }
      return;
    case WM_ERASEBKGND: {
      const bool SameCopy = ControlState().Contains(csPaintCopy) &&
                            reinterpret_cast<HDC>(Message.WParam) == FSkinData->PrintDC;
      if (SameCopy || Designing()) break;
      if (Message.WParam != 0) {
        if (FSkinData->CacheDirty) PrepareCache();
        if (!FSkinData->CacheDirty) PaintCacheToDC(reinterpret_cast<HDC>(Message.WParam));
      }
      Message.Result = 1;
      return;
    }
    case WM_SIZE:
      FSkinData->CacheDirty = true;
      break;
    case CM_SHOWINGCHANGED:
      if (Visible()) FSkinData->Updating = false;
      [[fallthrough]];
    case WM_WINDOWPOSCHANGING: {
      const TsGeneralData* G = FSkinData->Section();
      if (G->Props[0].Transparency != 0 || (FSkinData->DrawFlags & 0x04) != 0)
        FSkinData->CacheDirty = true;
      break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      DefaultHandler(Message);
      return;
    case CM_VISIBLECHANGED:
      FSkinData->CacheDirty = true;
      FSkinData->Updating = false;
      if (Message.WParam != 0) PrepareCache();
      inherited::WndProc(Message);
      RepaintChildrenAfterUpdate(this);
      return;
    case CM_INVALIDATE:
      if (BevelOuter() != FLastBevelOuter) {
        FSkinData->RefreshSectionIndex(true);
        FLastBevelOuter = BevelOuter();
      }
      [[fallthrough]];
    case CM_COLORCHANGED:
      if (FSkinData->CustomColor()) FSkinData->CacheDirty = true;
      inherited::WndProc(Message);
      return;
    case WM_CAPTURECHANGED:
    case CM_CONTROLLISTCHANGE:
    case CM_UNDOCKCLIENT:
      if (DockSite()) FSkinData->CacheDirty = true;
      [[fallthrough]];
    case CM_TEXTCHANGED:
      if (Parent() != nullptr) {
        FSkinData->RepaintOwner(false);
        return;
      }
      break;
    default:
      break;
  }
  if (ProcessCommonSkinMessage(Message, FSkinData)) return;
  if (IsHoverMessage(Message.Msg)) {
    TvkHoverEventsHeld Held(this);  // fired below
    inherited::WndProc(Message);
  } else {
    inherited::WndProc(Message);
  }
  switch (Message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      if (!FSkinData->RecheckUpdating(false)) {
        if (Message.Msg == WM_SIZE && OnResize) OnResize(this);
        FSkinData->RepaintOwner(false);
      }
      break;
    case WM_SETFONT:
      if (!Caption().empty()) {
        FSkinData->CacheDirty = true;
        Repaint();
      }
      break;
    case CM_ENABLEDCHANGED:
      Repaint();
      break;
    case CM_MOUSEENTER:
      if (OnMouseEnter) OnMouseEnter(this);
      break;
    case CM_MOUSELEAVE:
      if (OnMouseLeave) OnMouseLeave(this);
      break;
    default:
      break;
  }
}

PUBLISHED(TsPanel) {
  p.Object("SkinData", &TsPanel::SkinData);
  p.Event("OnPaint", &TsPanel::OnPaint);
  p.Event("OnMouseEnter", &TControl::OnMouseEnter);
  p.Event("OnMouseLeave", &TControl::OnMouseLeave);
}

void RegisterTsPanelClass() { RegisterClasses({TsCtrlSkinData::StaticClassInfo(), TsPanel::StaticClassInfo()}); }
