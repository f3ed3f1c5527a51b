#include "skin/adapters/vkExtGridWnds.h"

#include <algorithm>
#include <memory>
#include <typeinfo>

#include "framework/TypInfo.h"
#include "skin/adapters/vkAdapterPaint.h"
#include "skin/adapters/vkSBUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/vkntUtils.h"
#include "skin/graphics/SmallDrawing.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkBlend.h"
#include "skin/graphics/vkSectionPaint.h"
#include "skin/graphics/vkSkinImage.h"
#include "skin/graphics/vkSkinText.h"

IMPLEMENT_CLASS(TvkGridEhWnd)
IMPLEMENT_CLASS(TvkVirtualTreeViewWnd)

namespace {

constexpr TColor kHighlight = static_cast<TColor>(0xFF00000D);
constexpr TColor kHighlightText = static_cast<TColor>(0xFF00000E);
constexpr int kHeaderElements = hpeBackground | hpeText | hpeSortGlyph | hpeOverlay;  // 27

// Properties by dotted path ("TitleParams.Font.Color"): the framework's property paths walk the sub-objects, and
// a missing one on the way reads as absent.
TColor ReadColor(TObject* Obj, const char* Path) { return GetObjColorPropRGB(Obj, Path); }
TColor ReadRawColor(TObject* Obj, const char* Path) {
  return ObjectHasProperty(Obj, Path) ? static_cast<TColor>(OrdPropOrMinusOne(Obj, Path)) : 0;
}
int ReadOrd(TObject* Obj, const char* Path) { return GetObjOrdPropValue(Obj, Path); }
bool Has(TObject* Obj, const char* Path) { return ObjectHasProperty(Obj, Path); }
void Write(TObject* Obj, const char* Path, int64_t Value) { SetObjPropValue(Obj, Path, Value); }

bool Destroying(TControl* C) { return C == nullptr || C->ComponentState().Contains(csDestroying); }

// The method property Name of Obj when it holds events of type D.
template <class D> D* EventSlot(TObject* Obj, const char* Name, const TPropInfo** Info = nullptr) {
  const TPropInfo* P = Obj != nullptr ? GetPropInfo(Obj, Name) : nullptr;
  if (P == nullptr || P->kind != TPropKind::Method || P->eventType == nullptr || *P->eventType != typeid(D) ||
      !P->eventSlot)
    return nullptr;
  if (Info != nullptr) *Info = P;
  return static_cast<D*>(P->eventSlot(Obj));
}

}  // namespace

// ---- extended grids ----

void TvkGridEhWnd::StoreControlParams() {
  TvkGridWnd::StoreControlParams();
  TControl* C = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (C == nullptr) return;
  if (AreThemesEnabled() && ObjectHasProperty(C, "OptionsEh")) SavedFixed3D = SetPropContains(C, "OptionsEh", "dghFixed3D");
  EvenRowNone = ReadRawColor(C, "EvenRowColor") == clNone;
  OddRowNone = ReadRawColor(C, "OddRowColor") == clNone;
  SavedEvenRowColor = EvenRowNone ? static_cast<TColor>(ColorToRGB(clWindow)) : ReadColor(C, "EvenRowColor");
  SavedOddRowColor = OddRowNone ? static_cast<TColor>(ColorToRGB(clWindow)) : ReadColor(C, "OddRowColor");
  SavedGridDarkColor = ReadColor(C, "GridLineParams.DarkColor");
  SavedGridBrightColor = ReadColor(C, "GridLineParams.BrightColor");
  SavedDataHorzColor = ReadColor(C, "GridLineParams.DataHorzColor");
  SavedDataVertColor = ReadColor(C, "GridLineParams.DataVertColor");
  SavedGroupingColor = ReadColor(C, "DataGrouping.Color");
  SavedCategoriesColor = ReadColor(C, "RowCategories.Color");
  SavedCategoriesFontColor = ReadColor(C, "RowCategories.Font.Color");
  SavedDetailPanelColor = ReadColor(C, "RowDetailPanel.Color");
  SavedIndicatorColor = ReadColor(C, "IndicatorParams.Color");
  SavedIndicatorHorzLines = ReadOrd(C, "IndicatorParams.HorzLines");
  SavedIndicatorVertLines = ReadOrd(C, "IndicatorParams.VertLines");
  SavedIndicatorFillStyle = ReadOrd(C, "IndicatorParams.FillStyle");
  SavedTitleColor = ReadColor(C, "TitleParams.Color");
  SavedTitleSecondColor = ReadColor(C, "TitleParams.SecondColor");
  SavedTitleVertLineColor = ReadColor(C, "TitleParams.VertLineColor");
  SavedTitleFillStyle = ReadOrd(C, "TitleParams.FillStyle");
}

void TvkGridEhWnd::RestoreControlParams() {
  TvkGridWnd::RestoreControlParams();
  TControl* C = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (Destroying(C)) return;
  if (AreThemesEnabled() && ObjectHasProperty(C, "OptionsEh"))
    SetPropIncludeExclude(C, "OptionsEh", "dghFixed3D", SavedFixed3D);
  Write(C, "EvenRowColor", EvenRowNone ? clNone : SavedEvenRowColor);
  Write(C, "OddRowColor", OddRowNone ? clNone : SavedOddRowColor);
  Write(C, "GridLineParams.DarkColor", SavedGridDarkColor);
  Write(C, "GridLineParams.BrightColor", SavedGridBrightColor);
  Write(C, "GridLineParams.DataHorzColor", SavedDataHorzColor);
  Write(C, "GridLineParams.DataVertColor", SavedDataVertColor);
  if (ReadOrd(C, "DataGrouping.ParentColor") != 0) Write(C, "DataGrouping.Color", SavedGroupingColor);
  Write(C, "RowCategories.Color", SavedCategoriesColor);
  Write(C, "RowCategories.Font.Color", SavedCategoriesFontColor);
  Write(C, "RowDetailPanel.Color", SavedDetailPanelColor);
  Write(C, "IndicatorParams.Color", SavedIndicatorColor);
  Write(C, "IndicatorParams.HorzLines", SavedIndicatorHorzLines);
  Write(C, "IndicatorParams.VertLines", SavedIndicatorVertLines);
  Write(C, "IndicatorParams.FillStyle", SavedIndicatorFillStyle);
  Write(C, "TitleParams.Color", SavedTitleColor);
  Write(C, "TitleParams.SecondColor", SavedTitleSecondColor);
  Write(C, "TitleParams.VertLineColor", SavedTitleVertLineColor);
  Write(C, "TitleParams.FillStyle", SavedTitleFillStyle);
}

void TvkGridEhWnd::ApplySkinParams() {
  TvkGridWnd::ApplySkinParams();
  TControl* C = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  TsSkinManager* M = SkinData != nullptr ? SkinData->SkinManager() : nullptr;
  if (C == nullptr || M == nullptr) return;
  const uint32_t Main = M->PaletteColor(pcMainColor);
  if (AreThemesEnabled() && ObjectHasProperty(C, "OptionsEh")) SetPropIncludeExclude(C, "OptionsEh", "dghFixed3D", false);
  if (SavedEvenRowColor != SavedOddRowColor) {
    Write(C, "EvenRowColor", M->PaletteColor(pcEditBGEven));
    Write(C, "OddRowColor", M->PaletteColor(pcEditBGOdd));
  }
  Write(C, "GridLineParams.BrightColor", WeightedColorMix(0xFFFFFF, static_cast<uint32_t>(M->EditBackColor()), 51));
  Write(C, "GridLineParams.DataHorzColor", M->PaletteColor(pcGridLine));
  Write(C, "GridLineParams.DataVertColor", M->PaletteColor(pcGridLine));
  Write(C, "GridLineParams.DarkColor", WeightedColorMix(0, static_cast<uint32_t>(M->SkinBaseColor()), 77));
  Write(C, "IndicatorParams.Color", Main);
  Write(C, "IndicatorParams.HorzLines", 0);
  Write(C, "IndicatorParams.VertLines", 0);
  Write(C, "IndicatorParams.FillStyle", 2);
  const uint32_t Light = WeightedColorMix(0xFFFFFF, Main, 26);
  Write(C, "TitleParams.Color", Main);
  Write(C, "TitleParams.SecondColor", Light);
  Write(C, "TitleParams.FillStyle", 3);
  Write(C, "TitleParams.VertLineColor", M->PaletteColor(pcBorder));
  if (ReadOrd(C, "DataGrouping.ParentColor") != 0) Write(C, "DataGrouping.Color", Light);
  Write(C, "RowCategories.Color", Light);
  Write(C, "RowCategories.Font.Color", M->PaletteColor(pcLabelText));
  Write(C, "RowDetailPanel.Color", Main);
  AskFormToAdaptControl(C);
}

void TvkGridEhWnd::WndProc(TMessage& Message) {
  TvkGridWnd::WndProc(Message);
  if (SkinData == nullptr || SkinData->OwnerControl == nullptr) return;
  if (Message.Msg == WM_WINDOWPOSCHANGED && Message.LParam != 0 &&
      (reinterpret_cast<const WINDOWPOS*>(Message.LParam)->flags & SWP_FRAMECHANGED) && IsWindowVisible(CtrlHandle)) {
    AskFormToAdaptControl(SkinData->OwnerControl);
  } else if (Message.Msg == WM_PARENTNOTIFY && LOWORD(Message.WParam) == WM_CREATE) {
    TsSkinManager* M = SkinData->SkinManager();
    if (M != nullptr && M->SkinningRules().Contains(srThirdParty)) AskFormToAdaptControl(SkinData->OwnerControl);
  }
}

// ---- virtual trees ----

void TvkVirtualTreeViewWnd::StoreControlParams() {
  TvkEditWnd::StoreControlParams();
  TControl* C = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (C == nullptr) return;
  SavedFileTextColor = ReadRawColor(C, "VETColors.FileTextColor");
  SavedFolderTextColor = ReadRawColor(C, "VETColors.FolderTextColor");
  SavedCompressedTextColor = ReadRawColor(C, "VETColors.CompressedTextColor");
  SavedHotColor = ReadRawColor(C, "Colors.HotColor");
  SavedFocusedSelection = ReadRawColor(C, "Colors.FocusedSelectionColor");
  SavedUnfocusedSelection = ReadRawColor(C, "Colors.UnfocusedSelectionColor");
  SavedFocusedBorder = ReadRawColor(C, "Colors.FocusedSelectionBorderColor");
  SavedUnfocusedBorder = ReadRawColor(C, "Colors.UnfocusedSelectionBorderColor");
  SavedSelectionText = ReadRawColor(C, "Colors.SelectionTextColor");
  SavedOwnerDraw = Has(C, "Header.Options") && SetPropContains(ObjectPropOrNil(C, "Header"), "Options", "hoOwnerDraw");
}

void TvkVirtualTreeViewWnd::ApplySkinParams() {
  TvkEditWnd::ApplySkinParams();
  TControl* C = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  TsSkinManager* M = SkinData != nullptr ? SkinData->SkinManager() : nullptr;
  if (C == nullptr || M == nullptr) return;
  const TsGeneralData* G = SkinData->Section();
  const uint32_t Font = G != nullptr ? G->Props[0].FontColor : static_cast<uint32_t>(M->EditTextColor());
  Write(C, "VETColors.CompressedTextColor", Font);
  Write(C, "VETColors.FileTextColor", Font);
  Write(C, "VETColors.FolderTextColor", Font);
  struct Sel {
    const char* Name;
    TColor Saved;
    bool Focused;
  } Selections[] = {{"Colors.FocusedSelectionColor", SavedFocusedSelection, true},
                    {"Colors.UnfocusedSelectionColor", SavedUnfocusedSelection, false},
                    {"Colors.FocusedSelectionBorderColor", SavedFocusedBorder, true},
                    {"Colors.UnfocusedSelectionBorderColor", SavedUnfocusedBorder, false}};
  for (const Sel& S : Selections)
    if (S.Saved == kHighlight) Write(C, S.Name, M->SelectionBackColor(S.Focused));
  if (SavedSelectionText == kHighlightText) Write(C, "Colors.SelectionTextColor", M->SelectionTextColor(true));
  Write(C, "Colors.HotColor", M->EditTextColor());
  // The header is drawn from the skin only where the tree has no header drawing of its own.
  const TPropInfo* Info = nullptr;
  if (auto* Draw = EventSlot<TvkAdvancedHeaderPaintEvent>(C, "OnAdvancedHeaderDraw", &Info); Draw != nullptr && !*Draw) {
    *Draw = TvkAdvancedHeaderPaintEvent(this, &TvkVirtualTreeViewWnd::HeaderDraw);
    HookedEvent = Info;
    if (auto* Query = EventSlot<TvkHeaderPaintQueryElementsEvent>(C, "OnHeaderDrawQueryElements", &Info);
        Query != nullptr && !*Query) {
      *Query = TvkHeaderPaintQueryElementsEvent(this, &TvkVirtualTreeViewWnd::HeaderQueryElements);
      HookedEvent = Info;
    }
    if (GetPropInfo(C, "OnHeaderDrawQueryElements") != nullptr)
      SetPropIncludeExclude(ObjectPropOrNil(C, "Header"), "Options", "hoOwnerDraw", true);
  }
  if (TObject* Column = ObjectPropOrNil(C, "PaintInfoColumn")) {
    Write(Column, "Color", M->SkinBaseColor());
    Write(Column, "Style", 1);
    Write(C, "Header.Color", M->EditBackColor());
    Write(C, "Header.Font.Color", M->SkinBaseFontColor());
  }
  if (CtrlHandle != nullptr && IsWindow(CtrlHandle))
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_NOCHILDREN | RDW_UPDATENOW);
}

void TvkVirtualTreeViewWnd::RestoreControlParams() {
  TvkEditWnd::RestoreControlParams();
  TControl* C = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (Destroying(C)) return;
  Write(C, "VETColors.FileTextColor", SavedFileTextColor);
  Write(C, "VETColors.FolderTextColor", SavedFolderTextColor);
  Write(C, "VETColors.CompressedTextColor", SavedCompressedTextColor);
  Write(C, "Colors.HotColor", SavedHotColor);
  Write(C, "Colors.FocusedSelectionColor", SavedFocusedSelection);
  Write(C, "Colors.UnfocusedSelectionColor", SavedUnfocusedSelection);
  Write(C, "Colors.FocusedSelectionBorderColor", SavedFocusedBorder);
  Write(C, "Colors.UnfocusedSelectionBorderColor", SavedUnfocusedBorder);
  Write(C, "Colors.SelectionTextColor", SavedSelectionText);
  // Only the handlers this adapter set go: a tree's own header drawing is never touched.
  if (auto* Draw = EventSlot<TvkAdvancedHeaderPaintEvent>(C, "OnAdvancedHeaderDraw"); Draw != nullptr && Draw->Data() == this)
    Draw->Clear();
  if (auto* Query = EventSlot<TvkHeaderPaintQueryElementsEvent>(C, "OnHeaderDrawQueryElements");
      Query != nullptr && Query->Data() == this)
    Query->Clear();
  HookedEvent = nullptr;
  if (Has(C, "Header.Options"))
    SetPropIncludeExclude(ObjectPropOrNil(C, "Header"), "Options", "hoOwnerDraw", SavedOwnerDraw);
  if (TObject* Column = ObjectPropOrNil(C, "PaintInfoColumn")) {
    Write(C, "Themed", 1);
    Write(Column, "Color", clBtnFace);
    Write(C, "Header.Color", clBtnFace);
    Write(C, "Header.Font.Color", clBtnText);
  }
}

void TvkVirtualTreeViewWnd::HeaderQueryElements(TObject*, TvkHeaderPaintInfo&, int& Elements) {
  Elements = kHeaderElements;
}

void TvkVirtualTreeViewWnd::HeaderDraw(TObject*, TvkHeaderPaintInfo& PaintInfo, int Elements) {
  TsSkinManager* M = SkinData != nullptr ? SkinData->SkinManager() : nullptr;
  if (Detached || M == nullptr || !SkinData->IsSkinned() || PaintInfo.TargetCanvas == nullptr) return;
  const TRect R = PaintInfo.PaintRectangle;
  if (R.Width() <= 0 || R.Height() <= 0) return;
  int Section = M->FindSectionIndex("COLHEADER");
  if (Section < 0) Section = M->FindSectionIndex("BUTTON");
  HDC Target = PaintInfo.TargetCanvas->Handle();
  std::unique_ptr<TBitmap> B(NewBitmap32(R.Width(), R.Height()));
  // What the canvas holds there is the background a see-through section shows.
  BitBlt(B->Canvas()->Handle(), 0, 0, R.Width(), R.Height(), Target, R.Left, R.Top, SRCCOPY);
  TvkBgCacheRef Own;
  InitBgInfo(B.get(), 0, 0, Own);
  TObject* Column = PaintInfo.Column;
  if (Column == nullptr) {
    PaintSectionItem(Section, Own, -1, -1, M, B.get(), TPoint(), TRect(0, 0, R.Width(), R.Height()), 0);
    BitBlt(Target, R.Left, R.Top, R.Width(), R.Height(), B->Canvas()->Handle(), 0, 0, SRCCOPY);
    return;
  }
  const int State = PaintInfo.IsDownIndex ? 2 : PaintInfo.IsHoverIndex ? 1 : 0;
  if (Elements & hpeBackground) {
    PaintSectionItem(Section, Own, -1, -1, M, B.get(), TPoint(), TRect(0, 0, R.Width(), R.Height()), State);
    BitBlt(Target, R.Left, R.Top, R.Width(), R.Height(), B->Canvas()->Handle(), 0, 0, SRCCOPY);
    return;
  }
  TCanvas* Canvas = B->Canvas();
  TControl* C = SkinData->OwnerControl;
  if (TObject* HeaderFont = ObjectPropOrNil(ObjectPropOrNil(C, "Header"), "Font"))
    if (auto* F = As<TFont>(HeaderFont)) Canvas->Font()->Assign(F);
  SetBkMode(Canvas->Handle(), TRANSPARENT);
  const std::string Text = ObjectHasProperty(Column, "Text") ? GetStrProp(Column, "Text") : std::string();
  const TRect Box(0, 0, R.Width(), R.Height());
  if ((Elements & hpeOverlay) && !(Elements & hpeText) && !Text.empty())
    DrawSectionTextStr(Canvas, Text, true, M, State, Section, DT_SINGLELINE | DT_VCENTER, Box);
  if ((Elements & hpeSortGlyph) && PaintInfo.ShowSortGlyph) {
    // Sort direction 0 ascending, 1 descending.
    const bool Down = ReadOrd(Column, "SortDirection") != 0;
    const int Mask = M->ConstData().Elements[Down ? seUpDownBottom : seUpDownTop].GlyphIndex;
    if (M->MaskIndexInRange(Mask)) {
      const TsMaskData& G = M->ma()[Mask];
      DrawSkinGlyph32(B.get(), TPoint(R.Width() - G.Width - 4, (R.Height() - G.Height) / 2), State, Own, G, 1);
    } else {
      const uint32_t Colour = M->SectionIndexInRange(Section) ? M->gd()[Section].Props[std::min(State, 2)].FontColor : 0;
      const int AY = (R.Height() - 3) / 2;
      PaintArrowPixels32(B.get(), Colour, TRect(R.Width() - 10, AY, R.Width() - 4, AY + 3), Down ? adDown : adUp);
    }
  }
  if ((Elements & hpeText) && !Text.empty()) {
    const std::string Options = ObjectHasProperty(Column, "Options") ? GetSetProp(Column, "Options") : std::string();
    const UINT Flags = DT_END_ELLIPSIS | DT_VCENTER |
                       (Options.find("coWrapCaption") != std::string::npos ? DT_WORDBREAK : DT_SINGLELINE);
    DrawSectionTextStr(Canvas, Text, true, M, State, Section, Flags, Box);
  }
  BitBlt(Target, R.Left, R.Top, R.Width(), R.Height(), B->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TvkVirtualTreeViewWnd::CopyFrame(HDC DC, int Width) {
  if (Width <= 0 || SkinData->CacheBmp == nullptr) return;
  CopyBorderStrips(DC, 0, 0, Width, 0, 0, SkinData->CacheBmp->Canvas()->Handle(), WndSize.Y, WndSize.X);
}

void TvkVirtualTreeViewWnd::PrintWithHeader(TMessage& Message) {
  HDC DC = reinterpret_cast<HDC>(Message.WParam);
  SkinData->Updating = false;
  if (SkinData->CacheDirty) {
    if (!ParamsApplied) ApplySkinParams();
    PaintAdapterCache(SkinData, CtrlHandle, DlgMode);
  }
  const int Frame = FrameWidth();
  TControl* C = SkinData->OwnerControl;
  int HeaderHeight = 0;
  if (TObject* Header = ObjectPropOrNil(C, "Header"); Header != nullptr && SetPropContains(Header, "Options", "hoVisible"))
    HeaderHeight = ReadOrd(Header, "Height");
  const int Saved = SaveDC(DC);
  POINT Old{};
  OffsetViewportOrgEx(DC, Frame, Frame + HeaderHeight, &Old);
  ForwardToOldWndProc(WM_PRINTCLIENT, Message.WParam, PRF_CLIENT);
  RestoreDC(DC, Saved);
  Message.Result = ForwardToOldWndProc(CtrlHandle, Message.Msg, Message.WParam, Message.LParam);
  RestoreCacheCorners(SkinData, 0, this);
  CopyFrame(DC, Frame);
  Message.Result = PaintScrollBars(this, CtrlHandle, 0, DC);
}

void TvkVirtualTreeViewWnd::WndProc(TMessage& Message) {
  if (SkinData == nullptr || !SkinData->IsSkinned()) {
    TvkEditWnd::WndProc(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_VSCROLL:
    case WM_HSCROLL: {
      const bool V = Message.Msg == WM_VSCROLL;
      if (LOWORD(Message.WParam) == SB_THUMBTRACK) {
        SCROLLINFO SI{sizeof SI, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(CtrlHandle, V ? SB_VERT : SB_HORZ, &SI);
        SI.nPos = SI.nTrackPos;
        SI.fMask = SIF_POS;
        SetScrollInfo(CtrlHandle, V ? SB_VERT : SB_HORZ, &SI, FALSE);
      }
      if (!V) break;
      // One repaint after the scroll instead of the tree's own.
      PerformMessage(WM_SETREDRAW, 0, 0);
      TvkEditWnd::WndProc(Message);
      PerformMessage(WM_SETREDRAW, 1, 0);
      RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      return;
    }
    case WM_ERASEBKGND:
      return;
    case WM_NCPAINT: {
      if (!IsWindowVisible(CtrlHandle)) break;
      GetWindowGeometry(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
      if (SkinData->RecheckUpdating(false)) return;
      if (SkinData->CacheDirty) {
        if (!ParamsApplied) ApplySkinParams();
        PaintAdapterCache(SkinData, CtrlHandle, DlgMode);
      }
      RestoreCacheCorners(SkinData, 0, this);
      HDC DC = GetWindowDC(CtrlHandle);
      const int Saved = SaveDC(DC);
      CopyFrame(DC, (GetWindowLongA(CtrlHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) ? 2 : 0);
      ForwardToOldWndProc(WM_PRINT, reinterpret_cast<WPARAM>(DC), PRF_NONCLIENT);
      Message.Result = PaintScrollBars(this, CtrlHandle, 0, DC);
      RestoreDC(DC, Saved);
      ReleaseDC(CtrlHandle, DC);
      return;
    }
    case WM_PRINT:
      if (Message.WParam == 0) break;
      PrintWithHeader(Message);
      return;
    default:
      break;
  }
  TvkEditWnd::WndProc(Message);
}
