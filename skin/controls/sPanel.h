#pragma once
// The library's panel. Its face (background, border, caption) is painted from the section its outer bevel
// chooses into the skin data's cached image; the image is copied to the window and is the background its
// children ask for. A panel with its own colour is filled with that colour inside the skin's border. Without a
// skin it is the platform panel plus OnPaint.
#include <windows.h>

#include <functional>

#include "framework/ExtCtrls.h"
#include "skin/core/sCommonData.h"

using TPaintEvent = TDelegate<void(TObject* Sender, TCanvas* Canvas)>;

class TsPanel : public TPanel {
  DECLARE_CLASS(TsPanel, TPanel)
public:
  explicit TsPanel(TComponent* AOwner);
  ~TsPanel() override;
  void AfterConstruction() override;

  TsCtrlSkinData* SkinData() const { return FSkinData; }
  // The section the outer bevel chooses: "TRANSPARENT", "PANEL_LOW", "PANEL", "GROUPBOX".
  static const char* SectionForBevel(TBevelCut Bevel);
  // The client rectangle inside the bevels and the border width, where the caption goes.
  TRect CaptionRect();

  // The face into the cache; False when the parent's background is not ready.
  bool PrepareCache();
  void PaintCacheToDC(HDC DC);
  // DC nil: the panel's canvas.
  void PaintToDC(HDC DC, bool SendUpdated);
  // The caption into R on Canvas, or on a temporary canvas on DC.
  void PaintCaption(TRect R, TCanvas* Canvas, HDC DC);

  void PaintWindow(HDC DC) override;
  void WndProc(TMessage& Message) override;

  TPaintEvent OnPaint;

protected:
  void Loaded() override;
  void CreateWnd() override;
  void Paint() override;

private:
  bool Destroying() const { return ComponentState().Contains(csDestroying); }
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  int BevelInset() const;
  void AnswerBackground(TMessage& Message);
  void PaintOwnColor(HDC DC);
  void PaintDockStrips(TBitmap* Cache);

  TsCtrlSkinData* FSkinData;
  TBevelCut FLastBevelOuter = bvRaised;
};

void RegisterTsPanelClass();
