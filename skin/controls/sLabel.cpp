#include "skin/controls/sLabel.h"

#include <algorithm>

#include "framework/Forms.h"
#include "framework/Platform.h"
#include "framework/TypInfo.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkSkinCommands.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinText.h"

namespace {

const std::vector<std::string> kShowModeNames = {"soHide",   "soNormal",           "soShowMinimized", "soMaximize",
                                                 "soShowNoActivate", "soShow",      "soMinimize",      "soShowMinNoActive",
                                                 "soShowNA", "soRestore",          "soDefault"};

// Shared by every label: a font change that a label itself causes while handling one is not handled again.
bool g_FontChangeGuard = false;
// Set while a web label's font setter runs.
bool g_WebFontSetting = false;

bool ManagerActive(TsSkinManager* M) { return M != nullptr && M->SkinData().Active; }

TColor Mix(TColor Color, TColor Behind) {
  return static_cast<TColor>(WeightedColorMix(ColorToRGB(Color), ColorToRGB(Behind), DisabledBlendWeight));
}

}  // namespace

PUBLISHED(TsCustomLabel) {
  p.Object("SkinManager", &TsCustomLabel::OwnSkinManager, &TsCustomLabel::SetSkinManager).Stored([](TObject* o) {
    return static_cast<TsCustomLabel*>(o)->OwnSkinManager() != nullptr;
  });
  p.Str("SkinSection", &TsCustomLabel::SkinSection, &TsCustomLabel::SetSkinSection);
}

PUBLISHED(TsLabel) { p.Bool("UseSkinColor", &TsLabel::UseSkinColor, &TsLabel::SetUseSkinColor).Default(1); }

PUBLISHED(TsHTMLLabel) {
  p.Str("PlainCaption", &TsHTMLLabel::PlainCaption, nullptr);
  p.Bool("UseHTML", &TsHTMLLabel::UseHTML, &TsHTMLLabel::SetUseHTML).Default(1);
  p.Enum("ShowMode", &TsHTMLLabel::ShowMode, &TsHTMLLabel::SetShowMode, kShowModeNames).Default(soDefault);
  p.Event("OnLinkClick", &TsHTMLLabel::OnLinkClick);
}

IMPLEMENT_CLASS(TsEditLabel)

PUBLISHED(TsWebLabel) {
  p.Object("Font", &TsWebLabel::NormalFont, &TsWebLabel::SetFont);
  p.Object("HoverFont", &TsWebLabel::HoverFont, &TsWebLabel::SetHoverFont);
  p.Enum("ShowMode", &TsWebLabel::ShowMode, &TsWebLabel::SetShowMode, kShowModeNames).Default(soDefault);
  p.Str("URL", &TsWebLabel::URL, &TsWebLabel::SetURL);
}

void OpenShellLink(const std::string& Target, TsWindowShowMode Mode) {
  const HWND Owner = Application != nullptr ? Application->Handle() : nullptr;
  Platform().ShellExecuteA(Owner, "open", Target.c_str(), nullptr, nullptr, static_cast<int>(Mode));
}

// ---- TsCustomLabel ----

TsCustomLabel::TsCustomLabel(TComponent* AOwner) : TCustomLabel(AOwner) { SetTransparent(true); }

bool TsCustomLabel::Gone() const { return ComponentState().Contains(csDestroying); }

TsSkinManager* TsCustomLabel::SkinManager() const {
  return FSkinManager != nullptr ? FSkinManager : TsSkinManager::DefaultManager();
}

void TsCustomLabel::SetSkinManager(TsSkinManager* Value) {
  FSkinManager = Value;
  FSkinIndex = -1;
  Invalidate();
}

void TsCustomLabel::SetSkinSection(const std::string& Value) {
  if (Value == FSkinSection) return;
  FSkinIndex = -1;
  FSkinSection = Value;
  Invalidate();
}

int TsCustomLabel::SectionIndex() {
  TsSkinManager* M = SkinManager();
  if (!ManagerActive(M)) return -1;
  if (!FSkinSection.empty() && FSkinIndex < 0) FSkinIndex = M->FindSectionIndex(FSkinSection);
  return FSkinIndex;
}

TColor TsCustomLabel::Disabled(TColor Color, TColor Behind) const { return Enabled() ? Color : Mix(Color, Behind); }

TColor TsCustomLabel::GetTextColor() {
  TsSkinManager* M = SkinManager();
  const TColor C = ManagerActive(M) ? static_cast<TColor>(M->PaletteColor(pcLabelText)) : Font()->Color();
  if (M != nullptr) return Disabled(C, M->SkinBaseColor());
  return Disabled(C, Parent() != nullptr ? GetControlColor(Parent()) : Color());
}

void TsCustomLabel::Paint() {
  if (Gone()) return;
  const int Index = SectionIndex();
  if (Index >= 0) {
    // The section behind the text, over what the parent shows there.
    TvkParentBgQuery Q{};
    Q.OffsetX = Left();
    Q.OffsetY = Top();
    Q.Area = TRect(0, 0, Width(), Height());
    if (Parent() != nullptr) QueryParentBackground(Q, Parent(), false);
    TvkBgCacheRef Ref;
    BgCacheRefFromQuery(Q, Ref);
    PaintSectionItemToDC(Index, Ref, TsSkinManager::DefaultManager(), Canvas()->Handle(), TPoint(0, 0),
                         TRect(0, 0, Width(), Height()), 0);
  }
  TCustomLabel::Paint();
  // Looked up anew at every paint.
  FSkinIndex = -1;
}

void TsCustomLabel::DoDrawText(RECT& Rect, UINT Flags) { DrawPlainText(Rect, Flags); }

void TsCustomLabel::DrawPlainText(RECT& Rect, UINT Flags) {
  std::string Text = GetLabelText();
  if ((Flags & DT_CALCRECT) && (Text.empty() || (FShowAccelChar && Text == "&"))) Text += ' ';
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  if (BiDiMode() != bdLeftToRight) Flags |= DT_RTLREADING;
  TFont* F = GetLabelFont();
  const HDC DC = Canvas()->Handle();
  const HGDIOBJ OldFont = SelectObject(DC, F->Handle());
  const int OldMode = SetBkMode(DC, TRANSPARENT);
  if (!(Flags & DT_CALCRECT)) SetTextColor(DC, ColorToRGB(GetTextColor()));
  DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &Rect, Flags);
  SetBkMode(DC, OldMode);
  SelectObject(DC, OldFont);
}

void TsCustomLabel::WndProc(TMessage& Message) {
  if (Message.Msg == CM_FONTCHANGED) {
    // Handled here and never passed on.
    const TComponentState S = ComponentState();
    if (S.Contains(csLoading) || S.Contains(csDestroying) || g_FontChangeGuard || g_WebFontSetting) return;
    g_FontChangeGuard = true;
    try {
      if (AutoSize()) AdjustBounds();
      Invalidate();
    } catch (...) {
      g_FontChangeGuard = false;
      throw;
    }
    g_FontChangeGuard = false;
    return;
  }
  TCustomLabel::WndProc(Message);
  if (Message.Msg != SM_VKCMD) return;
  const WORD Cmd = SkinCommandCode(Message.WParam);
  if (Cmd == VKCMD_QUERY_STATE_SECTION) {
    if (ManagerActive(SkinManager()) && Parent() != nullptr && Message.LParam != 0)
      Message.Result = QuerySectionFromControl(Parent(), *reinterpret_cast<TvkStateSectionRequest*>(Message.LParam));
    return;
  }
  if (Gone() || ComponentState().Contains(csDesigning)) return;
  if (Cmd == VKCMD_SKIN_DROPPED) {
    if (FParentFontRemembered) SetParentFont(true);
    FSkinIndex = -1;
    Invalidate();
  } else if (Cmd == VKCMD_REPAINT_AFTER_CHANGE) {
    if (ParentFont()) FParentFontRemembered = true;
    FSkinIndex = -1;
    Invalidate();
  }
}

// ---- TsLabel ----

void TsLabel::SetUseSkinColor(bool Value) {
  if (Value == FUseSkinColor) return;
  FUseSkinColor = Value;
  Invalidate();
}

TColor TsLabel::GetTextColor() {
  TsSkinManager* M = SkinManager();
  if (FUseSkinColor && ManagerActive(M)) return ControlFontColor(this, SectionIndex(), M, 0);
  return Disabled(Font()->Color(), Parent() != nullptr ? GetControlColor(Parent()) : Color());
}

// ---- TsHTMLLabel ----

void TsHTMLLabel::SetUseHTML(bool Value) {
  FUseHTML = Value;
  Invalidate();
}

std::string TsHTMLLabel::PlainCaption() const {
  std::string S = const_cast<TsHTMLLabel*>(this)->Caption();
  for (;;) {
    const size_t Open = S.find('<');
    if (Open == std::string::npos || Open + 1 >= S.size()) break;
    const size_t Close = S.find('>', Open + 1);
    if (Close == std::string::npos) break;
    S.erase(Open, Close - Open + 1);
  }
  return S;
}

void TsHTMLLabel::DoDrawText(RECT& Rect, UINT Flags) {
  const std::string Text = Caption();
  if (!FUseHTML || Text.empty()) {
    DrawPlainText(Rect, Flags);
    return;
  }
  TBitmap* Bmp = new TBitmap();
  TFreeHolder<TBitmap> FreeBmp(Bmp);
  Bmp->SetPixelFormat(pf32bit);
  Bmp->SetSize(std::max(1, Width()), std::max(1, Height()));
  TCanvas* C = Bmp->Canvas();
  // Every pass starts from the label's font and a new renderer: tags a pass leaves open, its font stack and
  // its line height must not carry over into the next pass.
  auto Pass = [&](const TRect& Bounds, bool CalcOnly) {
    C->Font()->Assign(Font());
    C->Brush()->SetStyle(bsClear);
    C->Font()->SetColor(GetTextColor());
    TsHtml* Html = new TsHtml();
    TFreeHolder<TsHtml> FreeHtml(Html);
    Html->SkinManager = SkinManager();
    Html->Init(Bmp, Text, FPressedLink, FHotLink, Bounds);
    return Html->Render(FLinks, CalcOnly);
  };
  if (Flags & DT_CALCRECT) {
    const TRect R = Pass(TRect(0, 0, 0, 0), true);
    Rect = RECT{0, 0, R.Right, R.Bottom};
    return;
  }
  TRect Bounds(Rect);
  if (Alignment() != taLeftJustify) {
    const int W = Pass(Bounds, true).Right;
    const int L = Alignment() == taRightJustify ? Rect.right - W : (Rect.right - Rect.left - W) / 2;
    Bounds = TRect(L, Rect.top, L + W, Rect.bottom);
  }
  // The text goes over what the paint has drawn so far.
  const HDC DC = Canvas()->Handle();
  BitBlt(C->Handle(), 0, 0, Width(), Height(), DC, 0, 0, SRCCOPY);
  Pass(Bounds, false);
  BitBlt(DC, 0, 0, Width(), Height(), C->Handle(), 0, 0, SRCCOPY);
}

void TsHTMLLabel::TrackLink() {
  POINT P{};
  Platform().GetCursorPos(&P);
  const POINT Origin = ClientOrigin();
  P.x -= Origin.x;
  P.y -= Origin.y;
  int Found = -1;
  for (size_t i = 0; i < FLinks.size(); ++i) {
    const TvkLink& L = FLinks[i];
    if (P.x >= L.Left && P.x < L.Right && P.y >= L.Top && P.y < L.Bottom) {
      Found = static_cast<int>(i);
      break;
    }
  }
  if (Found >= 0 && Found != FHotLink) {
    FHotLink = Found;
    SetCursor(crHandPoint);
    Invalidate();
  } else if (Found < 0 && FHotLink >= 0) {
    FHotLink = -1;
    SetCursor(crDefault);
    Invalidate();
  }
}

void TsHTMLLabel::ClickLink(int Index, const TFreeWatch& Watch) {
  if (Index < 0 || Index >= static_cast<int>(FLinks.size())) return;
  std::string Link = FLinks[Index].URL;
  bool DefaultAction = true;
  const TsWindowShowMode Mode = FShowMode;
  if (OnLinkClick) OnLinkClick(this, Link, DefaultAction);
  // A handler that freed the label still gets the link it asked for, shown as the label had it.
  if (!Link.empty() && DefaultAction) OpenShellLink(Link, Watch.Freed() ? Mode : FShowMode);
}

void TsHTMLLabel::ResetLinks() {
  if (FHotLink < 0 && FPressedLink < 0) return;
  FHotLink = -1;
  FPressedLink = -1;
  SetCursor(crDefault);
  Invalidate();
}

void TsHTMLLabel::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEMOVE:
      TrackLink();
      break;
    case WM_LBUTTONDOWN:
      if (FHotLink >= 0) {
        FPressedLink = FHotLink;
        Invalidate();
      }
      break;
    case WM_LBUTTONUP:
      if (!FInClick && FPressedLink >= 0) {
        FInClick = true;
        // OnLinkClick may free the label or its form: then nothing of it is touched again.
        TFreeWatch Watch(this);
        try {
          // The pressed link opens wherever over a link the button is released.
          if (FHotLink >= 0) ClickLink(FPressedLink, Watch);
        } catch (...) {
          if (!Watch.Freed()) {
            FInClick = false;
            FPressedLink = -1;
          }
          throw;
        }
        if (Watch.Freed()) return;
        FPressedLink = -1;
        FInClick = false;
        Invalidate();
      }
      break;
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:
      ResetLinks();
      break;
  }
  TsLabel::WndProc(Message);
}

// ---- TsEditLabel ----

TsEditLabel::TsEditLabel(TsBoundLabel* ABoundLabel) : TsHTMLLabel(nullptr), FBoundLabel(ABoundLabel) {}

TsEditLabel::~TsEditLabel() {
  if (FBoundLabel != nullptr) FBoundLabel->LabelDestroyed(this);
}

// ---- TsWebLabel ----

TsWebLabel::TsWebLabel(TComponent* AOwner)
    : TsLabel(AOwner), FNormalFont(new TFont()), FHoverFont(new TFont()) {
  // The normal font's changes count as changes of the label's font.
  FNormalFont->OnChange = Font()->OnChange;
  SetCursor(crHandPoint);
  SetTransparent(true);
}

TsWebLabel::~TsWebLabel() {
  FNormalFont->Free();
  FHoverFont->Free();
}

void TsWebLabel::SetFont(TFont* Value) {
  g_WebFontSetting = true;
  try {
    Font()->Assign(Value);
    FNormalFont->Assign(Value);
    Invalidate();
    Update();
  } catch (...) {
    g_WebFontSetting = false;
    throw;
  }
  g_WebFontSetting = false;
}

TFont* TsWebLabel::GetLabelFont() {
  return FMouseOver && !ComponentState().Contains(csDesigning) ? FHoverFont : FNormalFont;
}

TColor TsWebLabel::GetTextColor() {
  TsSkinManager* M = SkinManager();
  const bool Skinned = FUseSkinColor && ManagerActive(M);
  TColor C;
  if (FMouseOver && !ComponentState().Contains(csDesigning) && Enabled())
    C = Skinned ? static_cast<TColor>(M->PaletteColor(pcTCTop)) : FHoverFont->Color();
  else if (!ComponentState().Contains(csDesigning) && Skinned)
    C = static_cast<TColor>(M->PaletteColor(pcTCBottom));
  else
    C = ColorToRGB(FNormalFont->Color());
  if (M != nullptr) return Disabled(C, M->SkinBaseColor());
  return Disabled(C, Parent() != nullptr ? Parent()->Color() : Color());
}

void TsWebLabel::Click() {
  // OnClick may free the label or its form; the link then opens as the label had it at the click.
  const std::string URL = FURL;
  const TsWindowShowMode Mode = FShowMode;
  TFreeWatch Watch(this);
  TsLabel::Click();
  if (Watch.Freed()) {
    if (!URL.empty()) OpenShellLink(URL, Mode);
    return;
  }
  if (!FURL.empty()) OpenShellLink(FURL, FShowMode);
}

void TsWebLabel::Loaded() {
  TsLabel::Loaded();
  Font()->Assign(FNormalFont);
}

void TsWebLabel::ChangeScale(int M, int D) {
  TsLabel::ChangeScale(M, D);
  FNormalFont->SetHeight(MulDiv(FNormalFont->Height(), M, D));
  FHoverFont->SetHeight(MulDiv(FHoverFont->Height(), M, D));
}

void TsWebLabel::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      TsLabel::WndProc(Message);
      if (!Enabled()) return;
      FMouseOver = Message.Msg == CM_MOUSEENTER;
      if (AutoSize()) {
        Invalidate();
        Update();
        AdjustBounds();
      }
      if (Parent() != nullptr && Parent()->HandleAllocated()) {
        const RECT R = BoundsRect();
        InvalidateRect(Parent()->Handle(), &R, TRUE);
      }
      return;
    }
    case CM_PARENTFONTCHANGED:
      TsLabel::WndProc(Message);
      if (ParentFont() && Parent() != nullptr) {
        const TColor Own = FNormalFont->Color();
        FNormalFont->Assign(Parent()->Font());
        FNormalFont->SetColor(Own);
        FHoverFont->SetName(Parent()->Font()->Name());
        FHoverFont->SetSize(Parent()->Font()->Size());
      }
      return;
    case WM_ERASEBKGND:
      return;
    default:
      TsLabel::WndProc(Message);
  }
}

void RegisterLabelClasses() {
  RegisterClasses({TsLabel::StaticClassInfo(), TsHTMLLabel::StaticClassInfo(), TsWebLabel::StaticClassInfo()});
  LabelsInitialize();
}

void LabelsInitialize() { RegisterClasses({TsEditLabel::StaticClassInfo()}); }
