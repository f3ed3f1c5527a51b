// Image statics of standard dialogs with a sunken edge: the control paints its image, the adapter its 2-pixel
// edge from the skin.
#pragma once
#include "skin/adapters/vkStaticWnds.h"

class TvkEdgeWnd : public TvkStaticWnd {
  DECLARE_CLASS(TvkEdgeWnd, TvkStaticWnd)
public:
  void WndProc(TMessage& Message) override;
  void PaintToDC(TMessage& Message) override;
};
