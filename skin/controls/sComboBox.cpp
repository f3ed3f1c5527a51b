#include "skin/controls/sComboBox.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "framework/Forms.h"
#include "framework/Themes.h"
#include "framework/TypInfo.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/controls/vkControlCache.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkAdapterServices.h"
#include "skin/core/vkGlow.h"
#include "skin/core/vkThdTimer.h"
#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkParentBg.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"

namespace {

constexpr UINT kSetMinVisible = 0x1701;  // CB_SETMINVISIBLE
constexpr int kFrame = 3;                // the button and the edit area sit this far inside the frame

// Keys a read-only box takes no notice of: space to the arrows, '9', letters and F4.
bool BlockedKey(WPARAM Key) { return (Key >= 32 && Key <= 40) || Key == 57 || (Key >= 65 && Key <= 90) || Key == 115; }

// With Alt held only Alt+Up and Alt+Down concern the box (they open the list); Alt+F4, Alt+Space and the
// access keys belong to the window and the system.
bool BlockedSystemKey(WPARAM Key) { return Key == VK_UP || Key == VK_DOWN; }

bool OwnerDrawStyle(TComboBoxStyle S) { return S == csOwnerDrawFixed || S == csOwnerDrawVariable; }

// Messages after which the box may show another item or text.
bool ChangesFace(const TMessage& M) {
  switch (M.Msg) {
    case CB_SETCURSEL:
    case CB_SELECTSTRING:
    case CB_RESETCONTENT:
    case CB_DELETESTRING:
    case CB_INSERTSTRING:
    case WM_SETTEXT:
      return true;
    case CN_COMMAND:
      return HIWORD(M.WParam) == CBN_SELCHANGE || HIWORD(M.WParam) == CBN_EDITCHANGE;
    default:
      return false;
  }
}

// The four strips of width B inside (0, 0, W, H) of Src copied to DC.
void CopyFrameStrips(HDC DC, HDC Src, int W, int H, int B) { CopyBorderStrips(DC, 0, 0, B, 0, 0, Src, H, W); }

}  // namespace

TsCustomComboBox::TsCustomComboBox(TComponent* AOwner)
    : TCustomComboBox(AOwner), FSkinData(new TsCtrlSkinData(this, true)), FBoundLabel(nullptr) {
  FSkinData->CtrlType = ctComboBox;
  FBoundLabel = new TsBoundLabel(this, FSkinData);
  FDropDownCount = 16;
}

TsCustomComboBox::~TsCustomComboBox() {
  DetachListAdapter();
  FBoundLabel->Free();
  FSkinData->Free();
}

void TsCustomComboBox::AfterConstruction() {
  inherited::AfterConstruction();
  FSkinData->FinishLoading(true);
}

void TsCustomComboBox::Loaded() {
  inherited::Loaded();
  FSkinData->FinishLoading(true);
  FindGlyphMask();
}

bool TsCustomComboBox::IsListStyle() const { return FStyle != csDropDown && FStyle != csSimple; }

void TsCustomComboBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (FStyle != csDropDown && FStyle != csDropDownList) return;
  // the skin draws the items
  if (FSkinData->IsSkinned())
    Params.Style |= CBS_OWNERDRAWFIXED;
  else
    Params.Style &= ~static_cast<DWORD>(CBS_OWNERDRAWFIXED);
}

void TsCustomComboBox::CreateWnd() {
  FWindowGoing = false;
  inherited::CreateWnd();
  SendMinVisible();
  FSkinData->FinishLoading(true);
  FSkinData->AttachToHandle();
  FindGlyphMask();
  FWasSkinned = FSkinData->IsSkinned();
  FListWnd = nullptr;
}

void TsCustomComboBox::SendMinVisible() {
  if (HandleAllocated() && ThemedCommonControlsInUse())
    SendMessageA(Handle(), kSetMinVisible, static_cast<WPARAM>(FDropDownCount), 0);
}

void TsCustomComboBox::SetDropDownCount(int Value) {
  const bool Changed = Value != FDropDownCount;
  TCustomComboBox::SetDropDownCount(Value);
  if (Changed) SendMinVisible();
}

void TsCustomComboBox::FindGlyphMask() {
  TsSkinManager* M = FSkinData->SkinManager();
  FGlyphMask = M == nullptr || FSkinData->SkinIndex < 0 ? -1 : M->FindMaskInherited(FSkinData->SkinIndex, "GLYPHMASK");
}

void TsCustomComboBox::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  FSkinData->RepaintOwner(false);
}

void TsCustomComboBox::SetVerticalAlignment(TVerticalAlignment Value) {
  if (FVerticalAlignment == Value) return;
  FVerticalAlignment = Value;
  FSkinData->CacheDirty = true;
  Invalidate();
}

void TsCustomComboBox::SetDisabledKind(TsDisabledKinds Value) {
  if (FDisabledKind == Value) return;
  FDisabledKind = Value;
  FSkinData->RepaintOwner(false);
}

void TsCustomComboBox::ChangeScale(int M, int D) {
  inherited::ChangeScale(M, D);
  if (Visible()) SetItemHeight(MulDiv(Height(), M, D) - 6);
}

// ===================================================================================================
// geometry and the cached look

int TsCustomComboBox::ButtonWidth() {
  TsSkinManager* M = FSkinData->SkinManager();
  int W = M != nullptr && FStyle != csSimple ? SkinScrollBarWidth(M) : 16;
  if (FSkinData->IsSkinned() && M->MaskIndexInRange(FGlyphMask)) W = std::max<int>(W, M->ma()[FGlyphMask].Width);
  return W;
}

TRect TsCustomComboBox::ButtonRect() {
  if (!FButtonShown || FStyle == csSimple) return TRect();
  const int W = ButtonWidth();
  if (UseRightToLeftReading()) return TRect(kFrame, kFrame, kFrame + W, Height() - kFrame);
  return TRect(Width() - kFrame - W, kFrame, Width() - kFrame, Height() - kFrame);
}

TRect TsCustomComboBox::EditRect() {
  const TRect B = ButtonRect();
  TRect R(kFrame, kFrame, Width() - kFrame, Height() - kFrame);
  if (B.Width() <= 0) return R;
  if (UseRightToLeftReading())
    R.Left = B.Right;
  else
    R.Right = B.Left;
  return R;
}

int TsCustomComboBox::FaceState() {
  TsSkinManager* M = FSkinData->SkinManager();
  const bool HasFocus = Focused() || (FEditHandle != nullptr && GetFocus() == FEditHandle);
  const TsGeneralData* G = FSkinData->IsSkinned() ? FSkinData->Section() : nullptr;
  if (HasFocus && G != nullptr && FSkinData->SkinIndex == M->FindSectionIndex("COMBOBOX") && G->States > 3) return 3;
  if (FDroppedDown && IsListStyle()) return 2;
  if (HasFocus || (IsListStyle() && FSkinData->Hot)) return 1;
  return 0;
}

void TsCustomComboBox::PaintButton() {
  TsSkinManager* M = FSkinData->SkinManager();
  TBitmap* Cache = FSkinData->CacheBmp;
  const TRect R = ButtonRect();
  if (M == nullptr || R.Width() <= 0 || R.Height() <= 0) return;
  const int State = FDroppedDown ? 2 : FButtonState;
  TvkBgCacheRef Ref;
  InitBgInfo(Cache, 0, 0, Ref);
  const int Button = M->FindSectionIndex("COMBOBTN");
  if (Button >= 0) PaintSectionItem(Button, Ref, -1, -1, M, Cache, TPoint{R.Left, R.Top}, R, State);
  if (M->MaskIndexInRange(FGlyphMask)) {
    const TsMaskData& Glyph = M->ma()[FGlyphMask];
    DrawSkinGlyph32(Cache, TPoint{R.Left + (R.Width() - Glyph.Width) / 2, R.Top + (R.Height() - Glyph.Height) / 2},
                    State, Ref, Glyph, 1);
    return;
  }
  const int Section = FSkinData->SkinIndex;
  const uint32_t Color = M->SectionIndexInRange(Section) ? M->gd()[Section].Props[std::min(State, 2)].FontColor
                                                         : static_cast<uint32_t>(ColorToRGB(clWindowText));
  PaintStyledArrow(Cache, Color, NoColor32, M->Options()->EffectiveArrowsStyle(), 0, 0, 0, adDown, R);
}

void TsCustomComboBox::PaintCache() {
  if (!FSkinData->IsSkinned() || !HandleAllocated()) return;
  TvkBgCacheRef Ref;
  if (!PrepareCacheOnParent(this, FSkinData, Ref)) return;
  TBitmap* Cache = FSkinData->CacheBmp;
  RenderControlSkin(FSkinData, Ref, true, Cache, TPoint{0, 0}, TRect(0, 0, Width(), Height()), FaceState());
  if (FStyle != csSimple) {
    const TRect Edit = EditRect();
    TOwnerDrawState State{odComboBoxEdit};
    if (IsListStyle() && Focused()) State += TOwnerDrawState{odSelected, odFocused};
    FCanvas->PaintOn(Cache->Canvas()->Handle(), [&] { DrawItem(ItemIndex(), Edit, State); });
    if (FButtonShown) PaintButton();
  }
  if (!Enabled()) PaintDisabledLook(Cache, FDisabledKind, this, TPoint{0, 0}, Ref);
  FSkinData->CacheDirty = false;
  FCachedBounds = BoundsRect();
  FCachedFace = ShownFace();
}

TsCustomComboBox::TFace TsCustomComboBox::ShownFace() {
  TFace F;
  F.Index = ItemIndex();
  if (FStyle == csDropDown)
    F.Text = Text();
  else if (F.Index >= 0 && F.Index < FItems->Count())
    F.Text = FItems->Strings(F.Index);
  return F;
}

void TsCustomComboBox::CopyCache(HDC DC) {
  TBitmap* Cache = FSkinData->CacheBmp;
  if (Cache == nullptr || Cache->Empty()) return;
  HDC Src = Cache->Canvas()->Handle();
  const int W = Width(), H = Height();
  const bool Whole = IsListStyle() || (FStyle == csDropDown && !(FEditHandle != nullptr && GetFocus() == FEditHandle));
  if (Whole) {
    BitBlt(DC, 0, 0, W, H, Src, 0, 0, SRCCOPY);
    return;
  }
  // the focused edit paints itself: only the frame and the button
  CopyFrameStrips(DC, Src, W, H, kFrame);
  const TRect B = ButtonRect();
  if (B.Width() > 0) BitBlt(DC, B.Left, B.Top, B.Width(), B.Height(), Src, B.Left, B.Top, SRCCOPY);
}

void TsCustomComboBox::PaintToWindow(HDC DC) {
  if (FSkinData->RecheckUpdating(false)) return;
  const RECT Now = BoundsRect();
  if (FSkinData->CacheDirty || !EqualRect(&Now, &FCachedBounds) || !(ShownFace() == FCachedFace)) PaintCache();
  if (!FSkinData->CacheDirty) CopyCache(DC);
}

// ===================================================================================================
// items

void TsCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  TvkItemDrawData D;
  D.Index = Index;
  D.Text = Index >= 0 && Index < FItems->Count() ? FItems->Strings(Index) : std::string();
  if (State.Contains(odComboBoxEdit) && FStyle == csDropDown) D.Text = Text();
  D.R = Rect;
  D.State = State;
  D.Flags = DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX;
  if (FAlignment == taRightJustify || UseRightToLeftAlignment())
    D.Flags |= DT_RIGHT;
  else if (FAlignment == taCenter)
    D.Flags |= DT_CENTER;
  if (FVerticalAlignment == taAlignBottom)
    D.Flags |= DT_BOTTOM;
  else if (FVerticalAlignment == taVerticalCenter)
    D.Flags |= DT_VCENTER;
  if (UseRightToLeftReading()) D.Flags |= DT_RTLREADING;
  if (OnGetItemDrawData) OnGetItemDrawData(this, D);
  if (OwnerDrawStyle(FStyle) && OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  if (FSkinData->IsSkinned())
    DrawSkinnedItem(D);
  else
    DrawPlainItem(D);
}

void TsCustomComboBox::DrawPlainItem(TvkItemDrawData& D) {
  // the framework's owner-draw handling has set the colours and draws the focus rectangle
  TCanvas* C = FCanvas;
  const bool Selected = D.State.Contains(odSelected);
  C->Brush()->SetColor(D.Color != clNone ? D.Color : Selected ? clHighlight : Color());
  C->Font()->SetColor(D.FontColor != clNone ? D.FontColor : Selected ? clHighlightText : Font()->Color());
  C->FillRect(D.R);
  TRect T(D.R.Left + 2, D.R.Top, D.R.Right, D.R.Bottom);
  TCanvasTextScope S(C);
  SetBkMode(S.DC(), TRANSPARENT);
  SetTextColor(S.DC(), static_cast<COLORREF>(ColorToRGB(C->Font()->Color())));
  DrawStringOnDC(S.DC(), D.Text, T, D.Flags);
}

void TsCustomComboBox::DrawSkinnedItem(TvkItemDrawData& D) {
  TsSkinManager* M = FSkinData->SkinManager();
  TCanvas* C = FCanvas;
  C->Font()->Assign(Font());
  const bool BoxFocused = Focused() || (FEditHandle != nullptr && GetFocus() == FEditHandle);
  const bool Edit = D.State.Contains(odComboBoxEdit);
  TColor TextColor;
  if (D.State.Contains(odSelected)) {
    const int Selection = M->FindSectionIndex("SELECTION");
    const int S = BoxFocused ? 1 : 0;
    if (Selection >= 0 && M->gd()[Selection].States > 2) {
      PaintSectionItemToDC(Selection, TvkBgCacheRef{}, M, C->Handle(), TPoint{0, 0}, D.R, S);
      TextColor = static_cast<TColor>(M->gd()[Selection].Props[S].FontColor);
    } else {
      C->Brush()->SetStyle(bsSolid);
      C->Brush()->SetColor(D.Color != clNone ? D.Color : M->SelectionBackColor(BoxFocused));
      C->FillRect(D.R);
      TextColor = M->SelectionTextColor(BoxFocused);
    }
  } else if (Edit) {
    // the edit area lies on the cached face
    if (D.Color != clNone) {
      C->Brush()->SetStyle(bsSolid);
      C->Brush()->SetColor(D.Color);
      C->FillRect(D.R);
    }
    const int S = std::min(FaceState(), 2);
    TextColor = FSkinData->CustomFont() ? Font()->Color()
                                         : static_cast<TColor>(FSkinData->Section()->Props[S].FontColor);
  } else {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(D.Color != clNone ? D.Color : ListBackColor());
    C->FillRect(D.R);
    if (FSkinData->CustomFont())
      TextColor = Font()->Color();
    else if (D.State.Contains(odFocused))
      TextColor = static_cast<TColor>(
          FSkinData->Section()->Props[std::min(1, FSkinData->Section()->States - 1)].FontColor);
    else
      TextColor = M->PaletteColor(pcEditText);
  }
  if (D.FontColor != clNone) TextColor = D.FontColor;
  TRect T(D.R.Left + 2, D.R.Top, D.R.Right - 2, D.R.Bottom);
  TCanvasTextScope S(C);
  SetBkMode(S.DC(), TRANSPARENT);
  SetTextColor(S.DC(), static_cast<COLORREF>(ColorToRGB(TextColor)));
  DrawStringOnDC(S.DC(), D.Text, T, D.Flags);
}

TColor TsCustomComboBox::ListBackColor() {
  // the list's adapter paints it from its own section; a list without one is erased with the box's brush
  if (FListAdapter != nullptr && IsWindow(FListWnd)) return GetWindowColor(FListWnd);
  return Color();
}

int TsCustomComboBox::MeasuredItemHeight() {
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Font()->Handle());
  SIZE Size{};
  GetTextExtentPoint32A(DC, "A", 1, &Size);
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  return Size.cy + 2;
}

void TsCustomComboBox::CNMeasureItem(TMessage& Message) {
  auto* Item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
  if (!FSkinData->CustomFont()) Item->itemHeight = static_cast<UINT>(MeasuredItemHeight());
  Message.Result = TRUE;
}

void TsCustomComboBox::CNDrawItem(TMessage& Message) {
  const auto* Item = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
  const TOwnerDrawState State = TOwnerDrawState::FromRaw(Item->itemState);
  FCanvas->PaintOn(Item->hDC, [&] { DrawItem(static_cast<int>(Item->itemID), TRect(Item->rcItem), State); });
  Message.Result = TRUE;
}

// ===================================================================================================
// fades

void TsCustomComboBox::StartFade(int State, bool Glow) {
  // The cache is not marked dirty before: the fade keeps the clean one as the old face, then marks it itself.
  if (!FSkinData->IsSkinned() || !HandleAllocated()) {
    FSkinData->CacheDirty = true;
    return;
  }
  static const int kModeOfState[4] = {fmLeave, fmEnter, fmPress, fmEnter};
  AnimateStateChange(FSkinData, kModeOfState[std::clamp(State, 0, 3)], ComboFadeStep, Glow && IsListStyle(), false,
                     true);
}

bool ComboFadeStep(TsCommonData* Data, int Step) {
  auto* Box = As<TsCustomComboBox>(Data != nullptr ? Data->OwnerControl : nullptr);
  if (Box == nullptr || Box->IsListStyle()) return CrossFadeStep(Data, Step);
  TvkThreadedTimer* T = Data->AnimTimer;
  if (T == nullptr || !Box->HandleAllocated() || T->BeforeBmp == nullptr || T->AfterBmp == nullptr ||
      T->StepCount < 1)
    return false;
  TBitmap* After = T->AfterBmp;
  if (T->WorkBmp == nullptr) T->WorkBmp = NewBitmap32(After->Width(), After->Height());
  if (T->WorkBmp->Width() != After->Width() || T->WorkBmp->Height() != After->Height())
    T->WorkBmp->SetSize(After->Width(), After->Height());
  const TRect All(0, 0, After->Width(), After->Height());
  BitBlt(T->WorkBmp->Canvas()->Handle(), 0, 0, All.Right, All.Bottom, T->BeforeBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  T->Level += T->Mode == fmEnter ? T->StepSize : -T->StepSize;
  const int L = std::clamp(static_cast<int>(std::lround(T->Level)), 0, 255);
  BlendBitmapInto(T->WorkBmp, After, T->Mode == fmEnter ? 255 - L : L, All, TPoint{0, 0});
  // the edit keeps its own painting: the frame (2 pixels) and the button only
  HDC DC = GetDC(Box->Handle());
  HDC Src = T->WorkBmp->Canvas()->Handle();
  CopyBorderStrips(DC, 0, 0, 2, 0, 0, Src, All.Bottom, All.Right);
  const TRect B = Box->ButtonRect();
  if (B.Width() > 0) BitBlt(DC, B.Left, B.Top, B.Width(), B.Height(), Src, B.Left, B.Top, SRCCOPY);
  ReleaseDC(Box->Handle(), DC);
  // The frame's fades say nothing of the pointer: a glow shows whole while the pointer is over the box, whatever
  // fade of it this one took over, and goes when a fade ends with the pointer gone.
  const bool GoOn = Step < T->StepCount;
  const TvkGlowEffect* Glow = GlowEffectOf(Data->GlowId);
  if (Glow != nullptr && Data->Hot && Glow->Alpha != 255) SetGlowEffectOpacity(Data->GlowId, 255);
  if (Glow != nullptr && !Data->Hot && !GoOn) HideGlowEffect(Data->GlowId, false);
  return GoOn;
}

// ===================================================================================================
// messages

bool TsCustomComboBox::KeyBlocked(UINT Msg, WPARAM Key) const {
  if (!Blocked()) return false;
  switch (Msg) {
    case WM_CHAR:
      return true;
    case WM_KEYDOWN:
    case CN_KEYDOWN:
      return BlockedKey(Key);
    case WM_SYSKEYDOWN:
    case CN_SYSKEYDOWN:
      return BlockedSystemKey(Key);
    default:
      return false;
  }
}

void TsCustomComboBox::DefaultHandler(TMessage& Message) {
  // The platform's combo box looks only at Alt+Up and Alt+Down among the system keys and drops the rest, Alt+F4
  // too; the system's own handling closes the window.
  if (Message.Msg == WM_SYSKEYDOWN && Message.WParam == VK_F4 && (HIWORD(Message.LParam) & KF_ALTDOWN) != 0 &&
      HandleAllocated()) {
    Message.Result = DefWindowProcA(Handle(), Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  inherited::DefaultHandler(Message);
}

void TsCustomComboBox::EditWndProc(TMessage& Message) {
  // the edit opens the list on Alt+Up and Alt+Down itself
  if (Blocked() && Message.Msg == WM_SYSKEYDOWN && BlockedSystemKey(Message.WParam)) {
    Message.Result = 0;
    return;
  }
  if (Blocked()) switch (Message.Msg) {
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_CHAR:
      case WM_SYSKEYUP:
      case WM_CUT:
      case WM_PASTE:
      case WM_CLEAR:
      case WM_UNDO:
      case CN_KEYDOWN:
      case CN_CHAR:
      case CN_SYSKEYDOWN:
      case CN_SYSCHAR:
        Message.Result = 0;
        return;
      default:
        break;
    }
  if (FSkinData->IsSkinned() && GetFocus() != FEditHandle) {
    // the box's cached face shows where the edit is while it has no focus
    if (Message.Msg == WM_ERASEBKGND) {
      Message.Result = 1;
      return;
    }
    if (Message.Msg == WM_PAINT && FEditHandle != nullptr) {
      PAINTSTRUCT PS{};
      BeginPaint(FEditHandle, &PS);
      EndPaint(FEditHandle, &PS);
      Message.Result = 0;
      return;
    }
  }
  inherited::EditWndProc(Message);
}

void TsCustomComboBox::DetachListAdapter() {
  if (FListAdapter != nullptr && AdapterServices.FreeComboListAdapter != nullptr)
    AdapterServices.FreeComboListAdapter(FListAdapter);
  FListAdapter = nullptr;
}

void TsCustomComboBox::ButtonHover(int X, int Y) {
  const TRect B = ButtonRect();
  const POINT P{X, Y};
  const RECT R = B;
  const int Now = PtInRect(&R, P) ? 1 : 0;
  if (Now == FButtonState || FDroppedDown) return;
  FButtonState = Now;
  StartFade(FaceState(), false);
}

void TsCustomComboBox::SkinCommand(TMessage& Message, bool& Done) {
  TsSkinManager* M = FSkinData->SkinManager();
  const bool OwnManager = Message.LParam != 0 && reinterpret_cast<TsSkinManager*>(Message.LParam) == M;
  Done = true;
  // however the command ends, a window that stays is sent its fonts again (a command heard meanwhile, while the
  // window goes, leaves it going)
  struct TGoingScope {
    bool& Going;
    const bool Was;
    ~TGoingScope() { Going = Was; }
  } Going{FWindowGoing, FWindowGoing};
  switch (SkinCommandCode(Message.WParam)) {
    case VKCMD_SKIN_APPLIED:
      if (!OwnManager) break;
      FWindowGoing = !FWasSkinned && HandleAllocated();  // made anew below
      if (AnimationGlue.HideGlowEffect) AnimationGlue.HideGlowEffect(FSkinData->GlowId, false);
      ProcessCommonSkinMessage(Message, FSkinData);
      FindGlyphMask();
      // The list window is no child of the box: no broadcast reaches its adapter, so it is told here.
      if (FListAdapter != nullptr && IsWindow(FListWnd))
        SendMessageA(FListWnd, Message.Msg, Message.WParam, Message.LParam);
      // the owner-draw style comes with a new window
      if (!FWasSkinned && HandleAllocated()) RecreateWnd();
      return;
    case VKCMD_SKIN_DROPPED:
      if (!OwnManager) break;
      FWindowGoing = FWasSkinned && HandleAllocated();  // made anew below
      if (AnimationGlue.HideGlowEffect) AnimationGlue.HideGlowEffect(FSkinData->GlowId, false);
      ProcessCommonSkinMessage(Message, FSkinData);
      DetachListAdapter();
      if (!FSkinData->CustomColor()) SetColor(clWindow);
      if (!FSkinData->CustomFont()) Font()->SetColor(clWindowText);
      // A window made while skinned is made plain once: the drop reaches the box again through its form's
      // skinner, and a window already plain has nothing to lose.
      if (FWasSkinned && HandleAllocated()) RecreateWnd();
      return;
    case VKCMD_REPAINT_AFTER_CHANGE:
      if (!OwnManager) break;
      if (HandleAllocated()) SendMessageA(Handle(), CB_SHOWDROPDOWN, FALSE, 0);
      if (AnimationGlue.HideGlowEffect) AnimationGlue.HideGlowEffect(FSkinData->GlowId, false);
      if (HandleAllocated() && !OwnerDrawStyle(FStyle) && !FSkinData->CustomFont()) {
        const int H = MeasuredItemHeight();
        if (SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0) != H) SendMessageA(Handle(), CB_SETITEMHEIGHT, 0, H);
      }
      ProcessCommonSkinMessage(Message, FSkinData);
      Repaint();
      return;
    case VKCMD_QUERY_OWNER_SECTION:
      if (M == nullptr) break;
      Message.Result = M->FindSectionIndex(IsListStyle() ? "COMBOBOX" : "EDIT") + 1;
      return;
    case VKCMD_PARENT_UPDATE_DONE:
      if (FSkinData->IsUpdating()) {
        FSkinData->Updating = false;
        Repaint();
      }
      return;
    case VKCMD_REFRESH_CACHE:
      PaintCache();
      return;
    case VKCMD_MOUSE_LEFT:
      Perform(CM_MOUSELEAVE, 0, 0);
      return;
    case VKCMD_SET_SCALE:
      DetachListAdapter();
      // The list's next colour request attaches a new adapter at the new scale.
      FListWnd = nullptr;
      FBoundLabel->ChangeScalePercent(static_cast<int>(Message.LParam));
      break;
    default:
      break;
  }
  Done = ProcessSkinCommand(Message, FSkinData);
}

void TsCustomComboBox::WndProc(TMessage& Message) {
  // Handlers run from within most messages (a selection by a key, the wheel or typing; the pointer coming or going,
  // the focus, the list) and may free the box: nothing of it is touched after one did.
  TFreeWatch Watch(this);
  HandleMessage(Message, Watch);
}

void TsCustomComboBox::HandleMessage(TMessage& Message, const TFreeWatch& Watch) {
  if (Message.Msg == SM_VKCMD) {
    bool Done = false;
    SkinCommand(Message, Done);
    if (!Done) inherited::WndProc(Message);
    if (!Watch.Freed()) FBoundLabel->HandleOwnerMessage(Message, this);
    return;
  }
  const bool Skinned = FSkinData->IsSkinned() && HandleAllocated();
  switch (Message.Msg) {
    case CM_FONTCHANGED:
      if (FWindowGoing) {
        FBoundLabel->HandleOwnerMessage(Message, this);
        return;
      }
      break;
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_SYSCHAR:
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      if (KeyBlocked(Message.Msg, Message.WParam)) {
        Message.Result = 0;
        return;
      }
      break;
    case WM_COMMAND:
    case CN_COMMAND:
      if (HIWORD(Message.WParam) == CBN_DROPDOWN && Blocked()) {
        Message.Result = 0;
        return;
      }
      if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == CBN_DROPDOWN) {
        FDroppedDown = true;
        FButtonState = 2;
        StartFade(FaceState(), false);
      } else if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == CBN_CLOSEUP) {
        FDroppedDown = false;
        FButtonState = 0;
        FSkinData->CacheDirty = true;
        if (Skinned) Repaint();
        if (!FSkinData->CursorStillInside()) Perform(CM_MOUSELEAVE, 0, 0);
        if (Watch.Freed()) return;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (FReadOnly) {
        if (CanFocus()) SetFocus();
        if (Message.Msg == WM_LBUTTONDBLCLK && !Watch.Freed()) DblClick();
        Message.Result = 0;
        return;
      }
      if (!FStdDropDown) {
        if (CanFocus()) SetFocus();
        if (Watch.Freed()) return;
        FButtonState = 2;
        StartFade(2, false);
        DropDown();
        Message.Result = 0;
        return;
      }
      break;
    case WM_MOUSEWHEEL:
      if (!FAllowMouseWheel) {
        Message.Result = 0;
        return;
      }
      break;
    case CN_MEASUREITEM:
      if (!OwnerDrawStyle(FStyle)) {
        CNMeasureItem(Message);
        return;
      }
      break;
    case CN_DRAWITEM:
      if (FSkinData->IsSkinned()) {
        CNDrawItem(Message);
        return;
      }
      break;
    case WM_CTLCOLORLISTBOX:
      if (FListWnd == nullptr && !ComponentState().Contains(csLoading)) {
        FListWnd = reinterpret_cast<HWND>(Message.LParam);
        if (Skinned && AdapterServices.CreateComboListAdapter != nullptr)
          FListAdapter = AdapterServices.CreateComboListAdapter(FListWnd, nullptr, FSkinData->SkinManager(), "EDIT",
                                                                true, FStyle == csSimple);
      }
      break;
    case WM_DESTROY:
      DetachListAdapter();
      break;
    default:
      break;
  }
  if (Skinned && IsControlReadyToPaint(this)) {
    switch (Message.Msg) {
      case WM_PAINT: {
        PAINTSTRUCT PS{};
        HDC DC = Message.WParam != 0 ? reinterpret_cast<HDC>(Message.WParam) : BeginPaint(Handle(), &PS);
        PaintToWindow(DC);
        if (Message.WParam == 0) EndPaint(Handle(), &PS);
        Message.Result = 0;
        FBoundLabel->HandleOwnerMessage(Message, this);
        return;
      }
      case WM_PRINT:
        FSkinData->Updating = false;
        if (Message.WParam != 0) PaintToWindow(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 0;
        return;
      case WM_NCPAINT:
      case WM_ERASEBKGND:
        Message.Result = 1;
        return;
      case CM_MOUSEENTER:
        if (FStyle == csDropDown || FStyle == csSimple) {
          const TRect B = ButtonRect();
          RECT R{2, 2, Width() - 2, Height() - 2};
          if (B.Width() > 0 && UseRightToLeftReading())
            R.left = B.Right + 2;
          else if (B.Width() > 0)
            R.right = B.Left - 2;
          RedrawWindow(Handle(), &R, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        }
        ProcessCommonSkinMessage(Message, FSkinData);
        inherited::WndProc(Message);
        if (Watch.Freed()) return;
        StartFade(FaceState(), true);
        FBoundLabel->HandleOwnerMessage(Message, this);
        return;
      case CM_MOUSELEAVE:
        ProcessCommonSkinMessage(Message, FSkinData);
        inherited::WndProc(Message);
        if (Watch.Freed()) return;
        FButtonState = FDroppedDown ? 2 : 0;
        StartFade(FaceState(), false);
        FBoundLabel->HandleOwnerMessage(Message, this);
        return;
      case WM_MOUSEMOVE:
        ButtonHover(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
        break;
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
      case CM_ENTER:
      case CM_EXIT:
        ProcessCommonSkinMessage(Message, FSkinData);
        inherited::WndProc(Message);
        if (Watch.Freed()) return;
        StartFade(FaceState(), false);
        FBoundLabel->HandleOwnerMessage(Message, this);
        return;
      default:
        break;
    }
  }
  const bool FaceChanges = ChangesFace(Message);
  if (!ProcessCommonSkinMessage(Message, FSkinData)) inherited::WndProc(Message);
  if (Watch.Freed()) return;
  // The system repaints only its text area after these, and nothing at all of an unfocused box with an edit,
  // whose face shows the text.
  if (FaceChanges && Skinned && !(ShownFace() == FCachedFace)) {
    FSkinData->CacheDirty = true;
    InvalidateRect(Handle(), nullptr, FALSE);
  }
  FBoundLabel->HandleOwnerMessage(Message, this);
}

namespace {
const std::vector<std::string> kAlignNames{"taLeftJustify", "taRightJustify", "taCenter"};
const std::vector<std::string> kVAlignNames{"taAlignTop", "taAlignBottom", "taVerticalCenter"};
const std::vector<std::string> kDisabledKindNames{"dkBlended", "dkGrayed"};
}  // namespace

PUBLISHED(TsCustomComboBox) {
  p.Bool("ReadOnly", &TsCustomComboBox::ReadOnly, &TsCustomComboBox::SetReadOnly);
  p.Bool("AllowMouseWheel", &TsCustomComboBox::AllowMouseWheel, &TsCustomComboBox::SetAllowMouseWheel);
  p.Enum("Alignment", &TsCustomComboBox::Alignment, &TsCustomComboBox::SetAlignment, kAlignNames);
  p.Object("SkinData", &TsCustomComboBox::SkinData);
  p.Object("BoundLabel", &TsCustomComboBox::BoundLabel);
  p.Set("DisabledKind", &TsCustomComboBox::DisabledKind, &TsCustomComboBox::SetDisabledKind, kDisabledKindNames);
  p.Enum("VerticalAlignment", &TsCustomComboBox::VerticalAlignment, &TsCustomComboBox::SetVerticalAlignment,
         kVAlignNames);
  p.Event("OnGetItemDrawData", &TsCustomComboBox::OnGetItemDrawData);
  p.Int("DropDownCount", &TsCustomComboBox::DropDownCount, &TsCustomComboBox::SetDropDownCount);
}
IMPLEMENT_CLASS(TsComboBox)

void RegisterTsComboBoxClass() {
  RegisterClasses({TsCtrlSkinData::StaticClassInfo(), TsCustomComboBox::StaticClassInfo(),
                   TsComboBox::StaticClassInfo()});
}
