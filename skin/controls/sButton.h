#pragma once
// The library's push button. It keeps the platform button's window (owner-drawn) for focus, keys and clicks,
// and paints its face from the skin section of its skin data into the cached image: the section for the
// state, an optional glyph from an image list, the caption in the section's font colours, the split part's
// arrow and the disabled look; state changes fade. Without a skin it draws the themed or classic face itself.
#include <windows.h>

#include "framework/ImgList.h"
#include "framework/StdCtrls.h"
#include "skin/core/sCommonData.h"
#include "skin/core/vkThdTimer.h"
#include "skin/graphics/vkPixelOps.h"

class TPopupMenu;

enum TButtonStyle { bsPushButton, bsCommandLink, bsSplitButton };
enum TImageAlignment { iaLeft, iaRight, iaTop, iaBottom, iaCenter };

// Space around a button's glyph; a change runs OnChange.
class TImageMargins : public TPersistent {
  DECLARE_CLASS(TImageMargins, TPersistent)
public:
  TImageMargins() = default;
  // Index: 0 Left, 1 Top, 2 Right, 3 Bottom.
  int Margin(int Index) const { return FMargins[Index]; }
  void SetMargin(int Index, int Value);
  int Left() const { return FMargins[0]; }
  int Top() const { return FMargins[1]; }
  int Right() const { return FMargins[2]; }
  int Bottom() const { return FMargins[3]; }
  void Assign(TPersistent* Source) override;
  TNotifyEvent OnChange;

private:
  int FMargins[4] = {0, 0, 0, 0};
};

class TsButton : public TButton {
  DECLARE_CLASS(TsButton, TButton)
public:
  explicit TsButton(TComponent* AOwner);
  ~TsButton() override;
  void AfterConstruction() override;

  TsCtrlSkinData* SkinData() const { return FSkinData; }
  // Index: 0 Down, 1 ShowFocus, 2 Reflected, 3 CustomCommandLinkFont.
  bool Flag(int Index) const { return FFlags[Index]; }
  void SetFlag(int Index, bool Value);
  bool Down() const { return FFlags[0]; }
  void SetDown(bool Value) { SetFlag(0, Value); }
  bool ShowFocus() const { return FFlags[1]; }
  void SetShowFocus(bool Value) { SetFlag(1, Value); }
  bool Reflected() const { return FFlags[2]; }
  void SetReflected(bool Value) { SetFlag(2, Value); }
  bool CustomCommandLinkFont() const { return FFlags[3]; }
  void SetCustomCommandLinkFont(bool Value) { SetFlag(3, Value); }
  int FocusMargin() const { return FFocusMargin; }
  void SetFocusMargin(int Value) { FFocusMargin = Value; }
  int ContentMargin() const { return FContentMargin; }
  void SetContentMargin(int Value);
  TButtonStyle Style() const { return FStyle; }
  void SetStyle(TButtonStyle Value);
  TFont* CommandLinkFont() const { return FCommandLinkFont; }
  void SetCommandLinkFont(TFont* Value);
  const std::string& CommandLinkHint() const { return FCommandLinkHint; }
  void SetCommandLinkHint(const std::string& Value);
  TsDisabledKinds DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKinds Value);
  TvkAnimatEvents AnimatEvents() const { return FAnimatEvents; }
  void SetAnimatEvents(TvkAnimatEvents Value) { FAnimatEvents = Value; }
  // Index: 0 ImageIndex, 1 HotImageIndex, 2 DisabledImageIndex, 3 PressedImageIndex, 4 SelectedImageIndex.
  int ImageIndexOf(int Index) const { return FImageIndexes[Index]; }
  void SetImageIndexOf(int Index, int Value);
  int ImageIndex() const { return FImageIndexes[0]; }
  void SetImageIndex(int Value) { SetImageIndexOf(0, Value); }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TImageAlignment ImageAlignment() const { return FImageAlignment; }
  void SetImageAlignment(TImageAlignment Value);
  TImageMargins* ImageMargins() const { return FImageMargins; }
  // The split part's menu (not owned).
  TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
  void SetDropDownMenu(TPopupMenu* Value);
  void SetImageMargins(TImageMargins* Value) { FImageMargins->Assign(Value); }

  // ---- what the paint reads ----
  // 0 normal, 1 hot, 2 pressed, 3 default.
  int CurrentState();
  // The state limited to the section: a default button looks hot in a section of fewer than four states.
  int SectionState();
  bool HasGlyph();
  TSize GlyphSize(bool WithMargins);
  int ArrowWidth() const;
  int TextSpacing() const;
  int ImageIndexForState();
  TSize CaptionTextSize();
  TRect CaptionRect();
  TRect GlyphRect();
  // The face into the cache; False when the parent's background is not ready.
  bool PaintSkin();
  // The caption onto Canvas (nil: the cache's canvas).
  void PaintCaption(TCanvas* Canvas);
  // The cached face into DC (nil: the window's own); a print (WM_PRINT) leaves the window's pending repaint.
  void PaintToDC(HDC DC, bool Printing);

  bool ActiveDefault() const { return FActiveDefault; }
  bool PressedIn() const { return FPressedIn; }
  bool DropDownShowing() const { return FDropDownShowing; }

  void SetButtonStyle(bool ADefault) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  bool Destroying() const { return ComponentState().Contains(csDestroying); }
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  bool ActionWithoutExecute() const;
  void ContentRects(TRect& Glyph, TRect& Caption);
  void RepaintFace() { FSkinData->RepaintOwner(false); }
  void StopFade();
  void HideGlow();
  void UnskinnedHover(bool Entered);
  void SkinnedHover(bool Entered);
  void DrawUnskinned(const DRAWITEMSTRUCT& Item);
  void DrawFocusFrame(TCanvas* Canvas, const TRect& Caption, int State);
  LRESULT HitTest(TMessage& Message);
  void ImagesChanged(TObject* Sender);
  void MarginsChanged(TObject* Sender);

  TsCtrlSkinData* FSkinData;
  bool FFlags[4] = {false, true, false, false};
  bool FPressedIn = false;
  bool FActiveDefault = false;
  bool FDropDownShowing = false;
  int FFocusMargin = 1;
  int FContentMargin = 6;
  TButtonStyle FStyle = bsPushButton;
  TFont* FCommandLinkFont;
  TsDisabledKinds FDisabledKind{dkBlended};
  TvkAnimatEvents FAnimatEvents{aeGlobalDef};
  int FImageIndexes[5] = {-1, -1, -1, -1, -1};
  std::string FCommandLinkHint;
  TChangeLink* FImageChangeLink;
  TCustomImageList* FImages = nullptr;
  TImageAlignment FImageAlignment = iaLeft;
  TImageMargins* FImageMargins;
  TPopupMenu* FDropDownMenu = nullptr;
};

void RegisterTsButtonClass();
