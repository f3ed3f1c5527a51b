// Skins a frame placed on a form: takes over the frame's window method, paints its background from the skin,
// answers the library's commands for it and gives everything back when the skin goes.
#pragma once
#include "framework/Classes.h"
#include "framework/Controls.h"

class TCustomFrame;
class TsScrollWndData;
class TvkScrollWnd;

class TsFrameAdapter : public TComponent {
  DECLARE_CLASS(TsFrameAdapter, TComponent)
public:
  // Raises EInvalidOperation "TsFrameAdapter adapter must be placed on the handled frame" for another owner.
  explicit TsFrameAdapter(TComponent* AOwner);
  ~TsFrameAdapter() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsScrollWndData* SkinData() const { return FSkinData; }
  void NewWndProc(TMessage& Message);
  // The frame's section over its parent's background in the cache; False while the background is not ready.
  bool PrepareCache();
  void PaintFrame(HDC DC);
  // The answer to VKCMD_QUERY_BG_COLOR while skinned.
  uint32_t BackgroundColor();

  TCustomFrame* Frame = nullptr;
  TWndMethod OldWndProc;
  TvkScrollWnd* ScrollAdapter = nullptr;

private:
  void CallOld(TMessage& Message);
  void SkinMenus();
  void TellChildren(TMessage& Message);
  void DoPaint(TMessage& Message);
  // The parent's background behind the frame can be had now.
  bool ParentBackgroundReady();
  void SkinCommand(TMessage& Message, bool& Done);
  // The paint messages waiting in the thread's queue dispatched; a quit handed out meanwhile is posted again.
  void PumpPaintsOnly();
  void SkinnedMessage(TMessage& Message);
  TsScrollWndData* FSkinData = nullptr;
  bool FPumping = false;  // the one message pump of a skin removal is running
};
