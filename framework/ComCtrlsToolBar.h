#pragma once
// A thin tool bar over the common controls' tool bar window: buttons with captions and images, and its
// custom drawing handed to two events (the whole bar and each button) with their stages, states and flags.

#include <windows.h>
#include <commctrl.h>

#include "framework/Controls.h"

class TCustomImageList;
class TPopupMenu;
class TToolBar;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
enum TCustomDrawStateItem {
  cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot, cdsMarked, cdsIndeterminate
};
using TCustomDrawState = TSet<TCustomDrawStateItem>;
enum TTBCustomDrawFlag { tbNoEdges, tbHiliteHotTrack, tbNoOffset, tbNoMark, tbNoEtchedEffect };
using TTBCustomDrawFlags = TSet<TTBCustomDrawFlag>;
enum TEdgeBorder { ebLeft, ebTop, ebRight, ebBottom };
using TEdgeBorders = TSet<TEdgeBorder>;

class TToolButton;
using TTBAdvancedCustomDrawEvent =
    TDelegate<void(TToolBar* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;
using TTBAdvancedCustomDrawBtnEvent =
    TDelegate<void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, TCustomDrawStage Stage,
                   TTBCustomDrawFlags& Flags, bool& DefaultDraw)>;

// Sent to the tool bar when the drop-down of one of its buttons has closed.
constexpr UINT CN_DROPDOWNCLOSED = 0x1400;

// One button of a tool bar (its command id is its index + 1). Read inside a bar's stored description it
// joins that bar.
class TToolButton : public TComponent {
  DECLARE_CLASS(TToolButton, TComponent)
public:
  explicit TToolButton(TComponent* AOwner) : TComponent(AOwner) {}
  TToolBar* ToolBar() const { return FToolBar; }
  int Index() const;
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  TToolButtonStyle Style() const { return FStyle; }
  void SetStyle(TToolButtonStyle Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  // Shown below a drop-down button when its arrow is pressed.
  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* Value);
  void SetParentComponent(TComponent* Value) override;
  // The button's command from the bar.
  virtual void Click();
  TNotifyEvent OnClick;
  // Down, enabled, marked and indeterminate live in the window's button state.
  bool Down() const;
  void SetDown(bool Value);
  bool Enabled() const;
  void SetEnabled(bool Value);
  bool Marked() const;
  void SetMarked(bool Value);
  bool Indeterminate() const;
  void SetIndeterminate(bool Value);

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TToolBar;
  bool StateBit(BYTE Bit) const;
  void SetStateBit(BYTE Bit, bool Value);
  void Changed();
  TToolBar* FToolBar = nullptr;
  std::string FCaption;
  TToolButtonStyle FStyle = tbsButton;
  int FImageIndex = -1;
  BYTE FState = TBSTATE_ENABLED;  // the button's state while the bar has no window
  TPopupMenu* FDropdownMenu = nullptr;
};

class TToolBar : public TWinControl {
  DECLARE_CLASS(TToolBar, TWinControl)
public:
  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;

  // A new button at the end (the window gets it at once when it exists).
  TToolButton* AddButton(const std::string& Caption, TToolButtonStyle Style = tbsButton, int ImageIndex = -1);
  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  TToolButton* Buttons(int Index) const { return FButtons.at(static_cast<size_t>(Index)); }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  // Pictures of the hot and of the disabled buttons, by the same image indexes (nil: Images).
  TCustomImageList* HotImages() const { return FHotImages; }
  void SetHotImages(TCustomImageList* Value);
  TCustomImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(TCustomImageList* Value);
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool Value);
  bool List() const { return FList; }
  void SetList(bool Value);
  TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
  void SetEdgeBorders(TEdgeBorders Value);
  // A drop-down menu of the bar is being tracked (hover tracking is off meanwhile).
  bool InMenuLoop() const { return FInMenuLoop; }
  // Lent to the custom-draw events while they run.
  TCanvas* Canvas() const { return FCanvas; }

  void Dispatch(TMessage& Message) override;

  TTBAdvancedCustomDrawEvent OnAdvancedCustomDraw;
  TTBAdvancedCustomDrawBtnEvent OnAdvancedCustomDrawButton;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  // The buttons' states outlive the window (RecreateWnd keeps them).
  void DestroyWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Unlink() override;
  // The drop-down menu of Button below it; false when it has none.
  virtual bool CheckMenuDropdown(TToolButton* Button);

private:
  friend class TToolButton;
  void InsertButton(TToolButton* Button);
  // The window's button states kept in the buttons, under their present command ids.
  void SaveButtonStates();
  // The window's buttons made again from the list (command ids follow the indexes).
  void ResendButtons();
  void SendButton(TToolButton* Button);
  void CustomDraw(TMessage& Message);
  // Field takes Value (free notification moved along) and the window gets it through Msg.
  void SetImageList(TCustomImageList*& Field, TCustomImageList* Value, UINT Msg);
  std::vector<TToolButton*> FButtons;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FHotImages = nullptr;
  TCustomImageList* FDisabledImages = nullptr;
  bool FShowCaptions = false;
  bool FList = false;
  bool FInMenuLoop = false;
  TEdgeBorders FEdgeBorders = TEdgeBorders{ebTop};
  TControlCanvas* FCanvas;
};

// The custom-draw state of a button's item state bits (CDIS_*), and the flags of the TBCDRF_* bits and back.
TCustomDrawState CustomDrawStateOf(UINT ItemState);
TTBCustomDrawFlags ToolBarDrawFlagsOf(DWORD Result);
DWORD ToolBarDrawResultOf(TTBCustomDrawFlags Flags);
