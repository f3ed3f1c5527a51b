// The title bar component: buttons, drop-down menu buttons, tabs, spacers and texts placed on a skinned form's
// caption, aligned left, right, centred or centred in the free space. The form's provider lays out the area,
// paints the items into its frame cache and routes the mouse to them.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "framework/Classes.h"
#include "framework/Controls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "skin/forms/vkFadeAnimation.h"
#include "skin/forms/vkLifeWatch.h"

class TsSkinProvider;
class TsTitleBar;
class TvkTitleBarItem;
class TvkGlowForm;

enum TvkItemAlign { tbaLeft, tbaRight, tbaCenter, tbaCenterInSpace };
enum TvkBtnStyle { bsButton, bsMenu, bsTab, bsSpacing, bsInfo };

struct TvkTitleItemDrawData {
  TvkTitleBarItem* Item = nullptr;
  TBitmap* Bmp = nullptr;
  TRect R;
};
using TvkDrawItemEvent = TDelegate<void(TvkTitleItemDrawData& Data)>;
// The provider's painter of one item into a bitmap at a rectangle.
using TvkItemPaintHandler = TDelegate<void(TvkTitleBarItem* Item, const TRect& R, TBitmap* Bmp)>;

class TvkFontData : public TPersistent {
  DECLARE_CLASS(TvkFontData, TPersistent)
public:
  TvkFontData();
  ~TvkFontData() override;
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TColor GlowColor() const { return FGlowColor; }
  void SetGlowColor(TColor Value);
  int GlowSize() const { return FGlowSize; }
  void SetGlowSize(int Value);
  bool UseSysColor() const { return FUse[0]; }
  void SetUseSysColor(bool Value) { SetUse(0, Value); }
  bool UseSysFontName() const { return FUse[1]; }
  void SetUseSysFontName(bool Value) { SetUse(1, Value); }
  bool UseSysGlowing() const { return FUse[2]; }
  void SetUseSysGlowing(bool Value) { SetUse(2, Value); }
  bool UseSysSize() const { return FUse[3]; }
  void SetUseSysSize(bool Value) { SetUse(3, Value); }
  bool UseSysStyle() const { return FUse[4]; }
  void SetUseSysStyle(bool Value) { SetUse(4, Value); }
  // The font the painter starts from (rebuilt by the item).
  TFont* BaseFont() const { return FBaseFont; }
  HWND FormWnd = nullptr;

private:
  void SetUse(int Index, bool Value);
  void Refresh();
  TFont* FFont;
  TFont* FBaseFont;
  TColor FGlowColor = 0x808080;
  int FGlowSize = 0;
  bool FUse[5] = {true, true, true, true, true};
};

// The fade of an item's state change on a click-through layered window over it.
class TvkItemAnimation : public TvkFadeAnimation {
  DECLARE_CLASS(TvkItemAnimation, TvkFadeAnimation)
public:
  explicit TvkItemAnimation(TComponent* AOwner);
  ~TvkItemAnimation() override;
  void StartState(int NewState, bool FadeIn);
  void MakeImage();
  void ShowFrame(int Alpha) override;
  TvkTitleBarItem* Item = nullptr;

protected:
  bool CursorStillOver() override;
};

// Tells whether an item was freed since the watch began: its handlers may delete it or rebuild the bar's items.
class TvkItemWatch : public TvkLifeWatch {
public:
  explicit TvkItemWatch(const TvkTitleBarItem* Item);
};

// An item's skin section, given by its form's provider (-1: none).
struct TvkItemSkinData {
  int SkinIndex = -1;
};

class TvkTitleBarItem : public TCollectionItem {
  DECLARE_CLASS(TvkTitleBarItem, TCollectionItem)
public:
  TvkTitleBarItem();
  explicit TvkTitleBarItem(TCollection* Collection);
  ~TvkTitleBarItem() override;

  TvkItemAlign Align() const { return FAlign; }
  void SetAlign(TvkItemAlign Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value) { FCursor = Value; }
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  TvkFontData* FontData() const { return FFontData; }
  TBitmap* Glyph() const { return FGlyph; }
  void SetGlyph(TBitmap* Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  int ImageIndex() const { return FImageIndex[0]; }
  void SetImageIndex(int Value) { SetIndexProp(FImageIndex[0], Value); }
  int HotImageIndex() const { return FImageIndex[1]; }
  void SetHotImageIndex(int Value) { SetIndexProp(FImageIndex[1], Value); }
  int PressedImageIndex() const { return FImageIndex[2]; }
  void SetPressedImageIndex(int Value) { SetIndexProp(FImageIndex[2], Value); }
  int DisabledImageIndex() const { return FImageIndex[3]; }
  void SetDisabledImageIndex(int Value) { SetIndexProp(FImageIndex[3], Value); }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value) { SetIndexProp(FNumGlyphs, Value); }
  bool ShowHintFlag() const { return FShowHint; }
  void SetShowHintFlag(bool Value) { FShowHint = Value; }
  const std::string& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value) { SetIndexProp(FSpacing, Value); }
  TvkBtnStyle Style() const { return FStyle; }
  void SetStyle(TvkBtnStyle Value);
  int Tag() const { return FTag; }
  void SetTag(int Value) { FTag = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value) { SetIndexProp(FWidth, Value); }
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { SetIndexProp(FGroupIndex, Value); }
  std::string GetDisplayName() const override { return FName.empty() ? ClassName() : FName; }

  TNotifyEvent OnClick;
  TvkDrawItemEvent OnDrawItem;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  TsTitleBar* TitleBar() const;
  void Measure(bool KeepSize);
  void UpdateBaseFont();
  void Changed(bool Remeasure);
  // 2 while Down or the menu is open, else the hot state.
  int GetState() const;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  // A press whose release came elsewhere: no click, the item neither busy nor pressed any more.
  void CancelPress();
  void DoClick();
  void ShowHint();
  void HideHint();
  void Animate(int StepCount, bool FadeIn, HWND Window);
  void ChangeScale(int Percent, int OldPercent);
  void FreeAnimation();

  // run-time state
  int ContentWidth = 0, ContentHeight = 0;
  TRect Rect;  // on the caption (frame-cache coordinates)
  int HotState = 0;
  bool MenuOpen = false;
  bool Busy = false;
  THintWindow* HintWindow = nullptr;
  TvkItemAnimation* Animation = nullptr;
  HWND AnimOwnerWnd = nullptr;
  TvkItemPaintHandler PaintHandler;
  TvkItemSkinData* SkinData = nullptr;

protected:
  void AssignTo(TPersistent* Dest) override;

private:
  friend class TvkItemWatch;
  void Init();
  void SetIndexProp(int& Field, int Value);
  TvkLifeMark FLife;
  TvkItemAlign FAlign = tbaLeft;
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = true;
  std::string FCaption;
  TCursor FCursor = 0;
  bool FDown = false;
  TPopupMenu* FDropdownMenu = nullptr;
  bool FEnabled = true;
  TvkFontData* FFontData = nullptr;
  TBitmap* FGlyph = nullptr;
  int FHeight = 18;
  std::string FHint;
  int FImageIndex[4] = {-1, -1, -1, -1};
  std::string FName;
  int FNumGlyphs = 1;
  bool FShowHint = false;
  std::string FSkinSection;
  int FSpacing = 4;
  TvkBtnStyle FStyle = bsButton;
  int FTag = 0;
  bool FVisible = true;
  int FWidth = 22;
  int FGroupIndex = 0;
};

class TvkTitleItems : public TCollection {
  DECLARE_CLASS(TvkTitleItems, TCollection)
public:
  explicit TvkTitleItems(TsTitleBar* Bar = nullptr);
  TvkTitleBarItem* Items(int Index) const { return static_cast<TvkTitleBarItem*>(TCollection::Items(Index)); }
  TvkTitleBarItem* Add() { return static_cast<TvkTitleBarItem*>(TCollection::Add()); }
  TPersistent* GetOwner() override;
  TsTitleBar* Bar() const { return FBar; }

private:
  TsTitleBar* FBar;
};

class TsTitleBar : public TComponent {
  DECLARE_CLASS(TsTitleBar, TComponent)
public:
  explicit TsTitleBar(TComponent* AOwner);
  ~TsTitleBar() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TvkTitleItems* Items() const { return FItems; }
  void SetItems(TvkTitleItems* Value) { FItems = Value; }
  int ItemsMargin() const { return FItemsMargin; }
  void SetItemsMargin(int Value) { FItemsMargin = Value; }
  // Kept for stored forms; the layout puts no space between items.
  int ItemsSpacing() const { return FItemsSpacing; }
  void SetItemsSpacing(int Value) { FItemsSpacing = Value; }
  int RightSpacing() const { return FRightSpacing; }
  void SetRightSpacing(int Value) { FRightSpacing = Value; }
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);

  TCustomForm* Form() const { return FForm; }
  TBitmap* MenuButton() const { return FMenuBtn; }
  void Repaint();
  void ChangeScale(int Percent);
  void ArrangeItems();
  void PlaceItem(TvkTitleBarItem* Item);
  void ImagesChanged(TObject* Sender);

  // set by the provider's caption layout
  TRect Area;
  int RightLimit = 0;
  int CentreLine = 0;
  // widths per alignment after ArrangeItems
  int Totals[4] = {0, 0, 0, 0};
  int ScalePercent = 100;
  bool GroupUpdating = false;

private:
  TCustomForm* FForm = nullptr;
  TCustomImageList* FImages = nullptr;
  TvkTitleItems* FItems = nullptr;
  int FItemsMargin = 3;
  int FItemsSpacing = 0;
  int FRightSpacing = 0;
  bool FShowCaption = true;
  TBitmap* FMenuBtn = nullptr;
  TChangeLink* FLink = nullptr;
};

// Copies the four corners of SrcRect (key colour 0xFF00FF left out) and stretches its edges and centre into
// DstRect, Borders giving the corner sizes.
void DrawNinePartBitmap(TBitmap* Dest, TBitmap* Source, const TRect& SrcRect, const TRect& Borders, const TRect& DstRect);
// The program's "MENUBTN" bitmap made 32-bit (inverted alpha, premultiplied); nil when the resource is missing.
TBitmap* LoadMenuButtonBitmap();

// The item's look follows its state through its fade, over the provider's border window when there is one, else
// over the form (FadeIn: towards a hot or pressed look).
void AnimateTitleBarItem(TsSkinProvider* Provider, TvkTitleBarItem* Item, bool FadeIn);

void InstallTitleBarParts();
void RemoveTitleBarParts();
