// Controls that hold children or text painted from the skin: scroll boxes (with skinned scroll bars),
// natively painted controls (only their frame and bars skinned) and static texts chosen by their bevels.
#pragma once
#include "skin/adapters/vkMainWnd.h"
#include "skin/adapters/vkScrollWnd.h"

class TvkScrollBoxWnd : public TvkScrollWnd {
  DECLARE_CLASS(TvkScrollBoxWnd, TvkScrollWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;
  // The cache over the parent's background; False when the background is not ready yet.
  bool RebuildCache();
  void PaintFrame(HDC DC);
  void PaintClient(HDC DC);
};

class TvkNativePaint : public TvkScrollBoxWnd {
  DECLARE_CLASS(TvkNativePaint, TvkScrollBoxWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;
};

class TvkStaticTextWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkStaticTextWnd, TvkMainWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;
  bool RebuildCache();
  void PaintFrame(HDC DC);
  void PaintClient(HDC DC);

  TWinControl* StaticText = nullptr;  // nil for a window without a framework control
};

// The section a static text takes from its bevels and border (read by name).
std::string StaticTextSectionFor(TControl* Control);
