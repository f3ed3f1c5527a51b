#pragma once
// The platform's combo box drawn from the skin: frame and edit area from the control's section, the drop-down
// button from the combo-button section with the "GLYPHMASK" image or a drawn arrow, state changes fading, and
// the drop-down list handed to a list adapter. While skinned the drop-down styles are owner-drawn, so the skin
// draws the items.
#include <windows.h>

#include <functional>

#include "framework/StdCtrls.h"
#include "skin/core/sCommonData.h"
#include "skin/graphics/vkPixelOps.h"

class TsBoundLabel;
class TvkComboListWnd;

// What an item is drawn with; OnGetItemDrawData may change it.
struct TvkItemDrawData {
  int Index = -1;
  std::string Text;
  TRect R;
  TOwnerDrawState State;
  UINT Flags = 0;
  TColor Color = clNone;      // the item's background (clNone: the list's or the face's)
  TColor FontColor = clNone;  // the text colour (clNone: as the skin gives it)
};
using TvkGetItemDrawData = TDelegate<void(TObject* Sender, TvkItemDrawData& Data)>;

class TsCustomComboBox : public TCustomComboBox {
  DECLARE_CLASS(TsCustomComboBox, TCustomComboBox)
public:
  explicit TsCustomComboBox(TComponent* AOwner);
  ~TsCustomComboBox() override;
  void AfterConstruction() override;

  TsCtrlSkinData* SkinData() const { return FSkinData; }
  TsBoundLabel* BoundLabel() const { return FBoundLabel; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool AllowMouseWheel() const { return FAllowMouseWheel; }
  void SetAllowMouseWheel(bool Value) { FAllowMouseWheel = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(TVerticalAlignment Value);
  TsDisabledKinds DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKinds Value);
  // False: the box behaves as read-only and a click only shows the pressed button and fires OnDropDown.
  bool StdDropDown() const { return FStdDropDown; }
  void SetStdDropDown(bool Value) { FStdDropDown = Value; }
  void SetDropDownCount(int Value);

  // 0 normal, 1 mouse over the button, 2 pressed.
  int ButtonState() const { return FButtonState; }
  int GlyphMask() const { return FGlyphMask; }
  HWND ListWindow() const { return FListWnd; }
  bool IsDroppedDown() const { return FDroppedDown; }
  // The drop-down button's width and its rectangle (empty for csSimple), at the left for right-to-left reading.
  int ButtonWidth();
  TRect ButtonRect();
  // Inside the frame beside the button: where the current item or the text is drawn.
  TRect EditRect();
  // The face state: 3 focused in a four-state combo section, 2 dropped (list styles), 1 focused or hot, 0.
  int FaceState();
  // The whole look into the cache.
  void PaintCache();
  // The button over the cached look.
  void PaintButton();
  bool IsListStyle() const;

  void WndProc(TMessage& Message) override;
  // Alt+F4 goes to the system's handling rather than the platform's combo box.
  void DefaultHandler(TMessage& Message) override;
  void ChangeScale(int M, int D) override;

  TvkGetItemDrawData OnGetItemDrawData;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  void EditWndProc(TMessage& Message) override;

private:
  bool Destroying() const { return ComponentState().Contains(csDestroying); }
  bool Blocked() const { return FReadOnly || !FStdDropDown; }
  void FindGlyphMask();
  void SendMinVisible();
  int MeasuredItemHeight();
  void PaintToWindow(HDC DC);
  void CopyCache(HDC DC);
  void StartFade(int State, bool Glow);
  void DetachListAdapter();
  void SkinCommand(TMessage& Message, bool& Done);
  void DrawSkinnedItem(TvkItemDrawData& D);
  // What the drop-down list shows behind its items.
  TColor ListBackColor();
  void DrawPlainItem(TvkItemDrawData& D);
  void CNDrawItem(TMessage& Message);
  void CNMeasureItem(TMessage& Message);
  bool KeyBlocked(UINT Msg, WPARAM Key) const;
  // WndProc's work, Watch telling whether a handler it ran freed the box.
  void HandleMessage(TMessage& Message, const TFreeWatch& Watch);
  void ButtonHover(int X, int Y);

  TsCtrlSkinData* FSkinData;
  TsBoundLabel* FBoundLabel;
  bool FReadOnly = false;
  bool FButtonShown = true;
  bool FAllowMouseWheel = true;
  TAlignment FAlignment = taLeftJustify;
  TsDisabledKinds FDisabledKind{dkBlended};
  TVerticalAlignment FVerticalAlignment = taVerticalCenter;
  int FButtonState = 0;
  int FGlyphMask = -1;
  HWND FListWnd = nullptr;
  TvkComboListWnd* FListAdapter = nullptr;
  bool FDroppedDown = false;
  bool FStdDropDown = true;
  bool FWasSkinned = false;
  // The window is about to be made anew: a font change meanwhile is not sent to it (the box lays itself and its list
  // out again for every font it is sent), the new window takes the font when it is made.
  bool FWindowGoing = false;
  RECT FCachedBounds{};  // the bounds the cache was built for
  // What the face shows (the current item, or the text of a box with an edit): the cache is built anew when it
  // changes, however it changed (a key, the wheel, code).
  struct TFace {
    int Index = -1;
    std::string Text;
    bool operator==(const TFace&) const = default;
  };
  TFace ShownFace();
  TFace FCachedFace;
};

class TsComboBox : public TsCustomComboBox {
  DECLARE_CLASS(TsComboBox, TsCustomComboBox)
public:
  explicit TsComboBox(TComponent* AOwner) : TsCustomComboBox(AOwner) {}
};

// One fade frame of a combo box: the new look over the old by the step's level, copied where the box paints
// itself (the whole box for the list styles, the frame and the button for the others).
bool ComboFadeStep(TsCommonData* SkinData, int Step);

void RegisterTsComboBoxClass();
