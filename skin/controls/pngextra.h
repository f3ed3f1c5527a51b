#pragma once
// A windowless button showing PNG images with their alpha: the normal image, optional pressed and hovered
// ones, and a faded copy of the normal image while disabled; an optional caption above, below, left or right
// of the image, and one of three frame styles. It does not use the skin.
#include "framework/Controls.h"
#include "skin/graphics/PngGraphic.h"

// A PNG picture whose stored data is the PNG file itself.
class TPNGObject : public TPNGGraphic {
  DECLARE_CLASS(TPNGObject, TPNGGraphic)
public:
  TPNGObject() = default;
  void ReadData(TStream* Stream) override { LoadFromStream(Stream); }
};

enum TPNGButtonStyle { pbsDefault, pbsFlat, pbsNoFrame };
enum TPNGButtonLayout { pbsImageAbove, pbsImageBellow, pbsImageLeft, pbsImageRight };

class TPNGButton : public TGraphicControl {
  DECLARE_CLASS(TPNGButton, TGraphicControl)
public:
  explicit TPNGButton(TComponent* AOwner);
  ~TPNGButton() override;

  TPNGButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TPNGButtonStyle Value);
  TPNGButtonLayout ButtonLayout() const { return FButtonLayout; }
  void SetButtonLayout(TPNGButtonLayout Value);
  TPNGObject* ImageNormal() const { return FImageNormal; }
  void SetImageNormal(TPNGObject* Value);
  TPNGObject* ImageDown() const { return FImageDown; }
  void SetImageDown(TPNGObject* Value);
  TPNGObject* ImageOver() const { return FImageOver; }
  void SetImageOver(TPNGObject* Value);
  // The normal image with its opacity divided by 3, shown while the button is disabled.
  TPNGObject* DisabledImage() const { return FImageDisabled; }

  TNotifyEvent OnMouseExit;

protected:
  void Paint() override;
  void Click() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Dispatch(TMessage& Message) override;

private:
  enum class TState { Up, Down, Disabled };
  void MakeDisabledImage();
  TPNGObject* ImageToShow(bool Pressed) const;
  void PaintFrame(bool Pressed);
  void ReleaseIfDown();
  TPNGButtonStyle FButtonStyle = pbsDefault;
  TPNGButtonLayout FButtonLayout = pbsImageAbove;
  TPNGObject* FImageNormal;
  TPNGObject* FImageDown;
  TPNGObject* FImageOver;
  TPNGObject* FImageDisabled;
  TState FState = TState::Up;
  bool FMouseOver = false;
};

void RegisterPngExtraClasses();
