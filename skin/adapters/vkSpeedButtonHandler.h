// Speed buttons (windowless) of a skinned form painted from the skin's speed-button sections: the handler takes
// over the button's window method for as long as the skin and the button live.
#pragma once
#include <string>

#include "framework/Controls.h"

class TsCommonData;
class TsSkinManager;

class TvkSpeedButtonHandler : public TObject {
  DECLARE_CLASS(TvkSpeedButtonHandler, TObject)
public:
  TvkSpeedButtonHandler() = default;
  // Second construction phase: the control's window method goes to the handler.
  virtual void Create(TGraphicControl* AControl, const std::string& SkinSection, TsSkinManager* ASkinManager,
                      TsCommonData* ASkinData);
  void BeforeDestruction() override;
  void WindowMethod(TMessage& Message);
  // 2 while the button is down, else the skin data's state.
  int ButtonState() const;
  void PaintButton(HDC DC);

  TGraphicControl* Control = nullptr;
  void* ControlRef = nullptr;
  bool Released = false;
  TWndMethod OldWndProc;
  TsCommonData* SkinData = nullptr;  // the walker's item's (not owned)
  TsSkinManager* SkinManager = nullptr;

private:
  void GiveBack();
  void PassOn(TMessage& Message);
  void PaintContent(TBitmap* Cache, int State);
  // The control tells the handler when it goes, so the handler never touches a freed control.
  class TWatch;
  TComponent* FWatch = nullptr;
};
