#pragma once
// Plain version of the PNG image button: shows its PNG images with their alpha (normal, hovered,
// pressed, faded when disabled) and an optional caption; it draws no frame. It will be grown
// into the full button later; the names and published properties are the stored forms' own.
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

  TNotifyEvent OnMouseExit;

  // The normal image at a third of its opacity, shown while the button is disabled.
  TPNGObject* DisabledImage() const { return FImageDisabled; }

  // What Paint drew last, for tests of the plain version: the image and where it went.
  TPNGObject* LastImage() const { return FLastImage; }
  TPoint LastImagePos() const { return FLastImagePos; }

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Dispatch(TMessage& Message) override;

private:
  enum class TState { Up, Down, Disabled };
  void MakeDisabledImage();
  TPNGButtonStyle FButtonStyle = pbsDefault;
  TPNGButtonLayout FButtonLayout = pbsImageAbove;
  TPNGObject* FImageNormal;
  TPNGObject* FImageDown;
  TPNGObject* FImageOver;
  TPNGObject* FImageDisabled;
  TState FState = TState::Up;
  bool FMouseOver = false;
  TPNGObject* FLastImage = nullptr;
  TPoint FLastImagePos{};
};

void RegisterPngExtraClasses();
