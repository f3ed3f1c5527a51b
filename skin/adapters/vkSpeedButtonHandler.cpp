#include "skin/adapters/vkSpeedButtonHandler.h"

#include <algorithm>
#include <memory>

#include "framework/Buttons.h"
#include "framework/Forms.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/controls/vkGlyphPaint.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkPixelOps.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSectionRects.h"
#include "skin/graphics/vkSkinText.h"

IMPLEMENT_CLASS(TvkSpeedButtonHandler)

// Hears the control's removal (a component placed in its free-notification list).
class TvkSpeedButtonHandler::TWatch : public TComponent {
public:
  TWatch(TvkSpeedButtonHandler* H) : TComponent(nullptr), FHandler(H) {}
  void Notification(TComponent* C, TOperation Op) override {
    TComponent::Notification(C, Op);
    // A freed button is given up like a destroyed one, so the walker drops its item; the skin data must not
    // name it either.
    if (Op == opRemove && C == FHandler->Control) {
      FHandler->Control = nullptr;
      FHandler->ControlRef = nullptr;
      FHandler->Released = true;
      if (FHandler->SkinData != nullptr) FHandler->SkinData->DetachOwner();
    }
  }

private:
  TvkSpeedButtonHandler* FHandler;
};

namespace {
constexpr int kCaptionBoxWidth = 255;
constexpr UINT kMeasureFlags = DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK;  // 1104
constexpr UINT kCaptionFlags = DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS;     // 81
}  // namespace

void TvkSpeedButtonHandler::Create(TGraphicControl* AControl, const std::string& SkinSection, TsSkinManager* ASkinManager,
                                   TsCommonData* ASkinData) {
  Control = AControl;
  ControlRef = AControl;
  Released = false;
  SkinData = ASkinData;
  SkinManager = ASkinManager != nullptr ? ASkinManager : SkinData->SkinManager();
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(SkinSection);
  FWatch = new TWatch(this);
  Control->FreeNotification(FWatch);
  OldWndProc = Control->WindowProc;
  Control->WindowProc = TWndMethod(this, &TvkSpeedButtonHandler::WindowMethod);
  SkinData->SavedWindowProc = Control->WindowProc;
}

void TvkSpeedButtonHandler::GiveBack() {
  if (Control != nullptr) {
    Control->WindowProc = OldWndProc;
    Control->RemoveFreeNotification(FWatch);
  }
  if (SkinData != nullptr) SkinData->SavedWindowProc = OldWndProc;
}

void TvkSpeedButtonHandler::BeforeDestruction() {
  if (!Released && Control != nullptr && ControlRef != nullptr) GiveBack();
  SkinManager = nullptr;
  delete FWatch;
  FWatch = nullptr;
  TObject::BeforeDestruction();
}

void TvkSpeedButtonHandler::PassOn(TMessage& Message) {
  if (!OldWndProc.IsNull()) OldWndProc(Message);
}

int TvkSpeedButtonHandler::ButtonState() const {
  if (auto* B = As<TSpeedButton>(Control); B != nullptr && (B->State() == bsDown || B->State() == bsExclusive))
    return 2;
  return SkinData->CurrentState();
}

void TvkSpeedButtonHandler::WindowMethod(TMessage& Message) {
  if (Released || Control == nullptr) {
    PassOn(Message);
    return;
  }
  const bool Ours = Message.Msg == SM_VKCMD && Message.LParam == reinterpret_cast<LPARAM>(SkinManager);
  switch (Message.Msg) {
    case WM_DESTROY:
      Released = true;
      GiveBack();
      Control = nullptr;
      ControlRef = nullptr;
      PassOn(Message);
      return;
    case WM_PAINT:
      if (Message.WParam != 0) PaintButton(reinterpret_cast<HDC>(Message.WParam));
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      SkinData->Hot = Message.Msg == CM_MOUSEENTER;
      SkinData->CacheDirty = true;
      PassOn(Message);
      if (Control != nullptr) Control->Invalidate();
      return;
    case SM_VKCMD:
      switch (SkinCommandCode(Message.WParam)) {
        case VKCMD_QUERY_SKINNED:
          Message.Result = 1;
          return;
        case VKCMD_SKIN_APPLIED:
          if (!Ours) break;
          ProcessCommonSkinMessage(Message, SkinData);
          return;
        case VKCMD_SKIN_DROPPED:
          if (!Ours || Control->ComponentState().Contains(csDestroying)) break;
          ProcessCommonSkinMessage(Message, SkinData);
          if (Control->Visible()) Control->Invalidate();
          GiveBack();
          Released = true;
          return;
        case VKCMD_REPAINT_AFTER_CHANGE:
          if (!Ours) break;
          ProcessCommonSkinMessage(Message, SkinData);
          if (Control->Visible()) Control->Invalidate();
          return;
        case VKCMD_PARENT_UPDATE_DONE:
          if (SkinData->RecheckUpdating(false)) {
            SkinData->Updating = false;
            return;
          }
          break;
        case VKCMD_REPAINT:
          SkinData->Updating = false;
          SkinData->CacheDirty = true;
          Control->Invalidate();
          return;
        case VKCMD_QUERY_APPLICATION:
          Message.Result = reinterpret_cast<LRESULT>(Application);
          return;
        case VKCMD_QUERY_STATE_SECTION:
          ProcessSkinCommand(Message, SkinData);
          return;
        default:
          break;
      }
      break;
    default:
      break;
  }
  PassOn(Message);
}

void TvkSpeedButtonHandler::PaintContent(TBitmap* Cache, int State) {
  auto* B = As<TSpeedButton>(Control);
  TCanvas* C = Cache->Canvas();
  const std::string Text = Control->Caption();
  const bool Shift = State == 2 && !(SkinData->IsSkinned(true) && !SkinManager->ButtonsOptions()->ShiftContentOnClick());
  TBitmap* Glyph = B != nullptr ? B->Glyph() : nullptr;
  const int NumGlyphs = B != nullptr ? std::max(1, B->NumGlyphs()) : 1;
  const bool HasGlyph = Glyph != nullptr && !Glyph->Empty();
  const TSize GS = HasGlyph ? TSize(Glyph->Width() / NumGlyphs, Glyph->Height()) : TSize(0, 0);
  RECT TR{0, 0, kCaptionBoxWidth, 0};
  if (!Text.empty()) {
    SelectObject(C->Handle(), C->Font()->Handle());
    DrawTextA(C->Handle(), Text.c_str(), static_cast<int>(Text.size()), &TR, kMeasureFlags);
  }
  const TSize TS = Text.empty() ? TSize(0, 0) : TSize(TR.right - TR.left, TR.bottom - TR.top);
  const int W = Control->Width(), H = Control->Height();
  const TButtonLayout Layout = B != nullptr ? B->Layout() : blGlyphLeft;
  const int Margin = B != nullptr ? B->Margin() : -1, Spacing = B != nullptr ? B->Spacing() : 4;
  TPoint GlyphAt, TextAt;
  if (!HasGlyph || Text.empty()) {
    GlyphAt = TPoint((W - GS.cx) / 2, (H - GS.cy) / 2);
    TextAt = TPoint((W - TS.cx) / 2, (H - TS.cy) / 2);
  } else if (Layout == blGlyphLeft || Layout == blGlyphRight) {
    const int Block = GS.cx + Spacing + TS.cx;
    const int Start = Margin < 0 ? (W - Block) / 2 : Margin;
    const int Y = (H - GS.cy) / 2, TY = (H - TS.cy) / 2;
    if (Layout == blGlyphLeft) {
      GlyphAt = TPoint(Start, Y);
      TextAt = TPoint(Start + GS.cx + Spacing, TY);
    } else {
      GlyphAt = TPoint(W - Start - GS.cx, Y);
      TextAt = TPoint(W - Start - GS.cx - Spacing - TS.cx, TY);
    }
  } else {
    const int Block = GS.cy + Spacing + TS.cy;
    const int Start = Margin < 0 ? (H - Block) / 2 : Margin;
    const int X = (W - GS.cx) / 2, TX = (W - TS.cx) / 2;
    if (Layout == blGlyphTop) {
      GlyphAt = TPoint(X, Start);
      TextAt = TPoint(TX, Start + GS.cy + Spacing);
    } else {
      GlyphAt = TPoint(X, H - Start - GS.cy);
      TextAt = TPoint(TX, H - Start - GS.cy - Spacing - TS.cy);
    }
  }
  if (Shift) {
    GlyphAt = TPoint(GlyphAt.X + 1, GlyphAt.Y + 1);
    TextAt = TPoint(TextAt.X + 1, TextAt.Y + 1);
  }
  if (HasGlyph) {
    TvkGlyphPaintData D;
    D.Glyph = Glyph;
    D.NumGlyphs = NumGlyphs;
    D.DstBmp = Cache;
    D.R = TRect(GlyphAt.X, GlyphAt.Y, GlyphAt.X + GS.cx, GlyphAt.Y + GS.cy);
    D.Enabled = Control->Enabled();
    D.State = State;
    D.Pressed = State == 2;
    D.Discolored = State == 0 && SkinData->IsSkinned(true) && SkinManager->Effects()->DiscoloredGlyphs();
    FillGlyphSkinFields(SkinData, D);
    D.DstBmp = Cache;
    DrawGlyphAndCaption(D);
  }
  if (!Text.empty()) {
    SetBkMode(C->Handle(), TRANSPARENT);
    UINT Flags = Control->DrawTextBiDiModeFlags(kCaptionFlags) & ~static_cast<UINT>(DT_SINGLELINE);
    DrawControlTextStr(C, Text, Control->Enabled(), TRect(TextAt.X, TextAt.Y, TextAt.X + TS.cx, TextAt.Y + TS.cy), Flags,
                       SkinData, State);
  }
}

void TvkSpeedButtonHandler::PaintButton(HDC DC) {
  if (Control == nullptr || Released) return;
  const int Saved = SaveDC(DC);
  PrepareCacheBitmap(SkinData);
  TBitmap* Cache = SkinData->CacheBmp;
  Cache->Canvas()->Font()->Assign(Control->Font());
  TvkParentBgQuery Q{};
  Q.OffsetX = Control->Left();
  Q.OffsetY = Control->Top();
  Q.Area = TRect(0, 0, Control->Width(), Control->Height());
  QueryParentBackground(Q, Control->Parent(), false);
  if (Q.Kind == bgkBitmap && (Q.Bmp == nullptr || Q.Bmp->Width() == 0)) {
    RestoreDC(DC, Saved);
    return;
  }
  TvkBgCacheRef Bg;
  BgCacheRefFromQuery(Q, Bg);
  const int State = ButtonState();
  RenderControlSkin(SkinData, Bg, true, Cache, TPoint(), TRect(0, 0, Control->Width(), Control->Height()), State);
  FillTransparentCorners(SkinData, State, fcTopLeft | fcTopRight | fcBottomLeft | fcBottomRight);
  PaintContent(Cache, State);
  if (!Control->Enabled()) PaintDisabledLook(Cache, TsDisabledKinds{dkBlended}, Control, TPoint(), Bg);
  SkinData->CacheDirty = false;
  FillTransparentCorners(SkinData, State, fcTopLeft | fcTopRight | fcBottomLeft | fcBottomRight);
  BitBlt(DC, 0, 0, Control->Width(), Control->Height(), Cache->Canvas()->Handle(), 0, 0, SRCCOPY);
  RestoreDC(DC, Saved);
}
