#pragma once
// The caption label an edit-like skinned control shows beside itself: an HTML label on the control's parent,
// placed by Layout, Indent and Offset, following the control's visibility, enabled state and size.
#include <string>

#include "framework/Classes.h"
#include "framework/Controls.h"
#include "framework/Graphics.h"

class TsCommonData;
class TsEditLabel;

enum TsCaptionLayout {
  sclLeft, sclTopLeft, sclTopCenter, sclTopRight, sclLeftTop, sclBottomLeft, sclBottomCenter, sclBottomRight, sclRight,
  sclRightTop
};

class TsBoundLabel : public TPersistent {
  DECLARE_CLASS(TsBoundLabel, TPersistent)
public:
  TsBoundLabel(TControl* AControl = nullptr, TsCommonData* ASkinData = nullptr);
  ~TsBoundLabel() override;

  // Index: 0 UseHTML, 1 Active, 2 AllowClick, 3 EnabledAlways.
  bool Flag(int Index) const { return FFlags[Index]; }
  void SetFlag(int Index, bool Value);
  bool UseHTML() const { return FFlags[0]; }
  void SetUseHTML(bool Value) { SetFlag(0, Value); }
  bool Active() const { return FFlags[1]; }
  void SetActive(bool Value) { SetFlag(1, Value); }
  bool AllowClick() const { return FFlags[2]; }
  void SetAllowClick(bool Value) { SetFlag(2, Value); }
  bool EnabledAlways() const { return FFlags[3]; }
  void SetEnabledAlways(bool Value) { SetFlag(3, Value); }
  // Index: 0 Indent, 1 MaxWidth, 2 Offset.
  int Distance(int Index) const { return FDistances[Index]; }
  void SetDistance(int Index, int Value);
  int Indent() const { return FDistances[0]; }
  void SetIndent(int Value) { SetDistance(0, Value); }
  // Below 1: 9999.
  int MaxWidth() const { return FDistances[1]; }
  void SetMaxWidth(int Value) { SetDistance(1, Value); }
  int Offset() const { return FDistances[2]; }
  void SetOffset(int Value) { SetDistance(2, Value); }
  TsCaptionLayout Layout() const { return FLayout; }
  void SetLayout(TsCaptionLayout Value);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value);
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  // Lives in the label; True while there is none.
  bool UseSkinColor() const;
  void SetUseSkinColor(bool Value);

  TsEditLabel* Label() const { return FLabel; }
  TControl* BoundControl() const { return FControl; }
  TsCommonData* SkinData() const { return FSkinData; }
  int ScalePercent() const { return FScalePercent; }

  // Creates, shows and places the label while Active; frees it otherwise.
  void UpdateLabel();
  void PlaceLabel();
  // Follows the bound control after it handled Message.
  void HandleOwnerMessage(TMessage& Message, TControl* Control);
  void ChangeScalePercent(int Percent);
  // The label tells its bound label it is going (Active becomes False).
  void LabelDestroyed(TsEditLabel* Label);

private:
  void FontChanged(TObject* Sender);
  bool LabelEnabled() const;
  void ApplyAllowClick();
  void RepositionActive();
  bool FFlags[4] = {false, false, false, false};
  int FDistances[3] = {0, 0, 0};
  int FScalePercent = 100;
  bool FParentFont = true;
  TFont* FFont;
  std::string FCaption;
  TsCaptionLayout FLayout = sclLeft;
  TsEditLabel* FLabel = nullptr;
  TControl* FControl;
  TsCommonData* FSkinData;
};

void RegisterBoundLabelClasses();
