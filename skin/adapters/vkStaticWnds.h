// Adapters of static controls of foreign windows: text over the parent's skinned background, icons and bitmaps,
// and SysLink texts.
#pragma once
#include "skin/adapters/vkMainWnd.h"

class TBitmap;

// Text statics (section "TRANSPARENT").
class TvkStaticWnd : public TvkMainWnd {
  DECLARE_CLASS(TvkStaticWnd, TvkMainWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;

  virtual void PaintToDC(TMessage& Message);
  // Draws into the cache; True: the cache goes to the DC.
  virtual bool DrawContent();
  // The client area in window coordinates, where the content goes: all the window unless it has a border.
  TRect ContentRect() const;
  // The window has a border (a non-client area) for the system to draw.
  bool HasFrame() const;

  int Reserved = 0;
};

// Icon and bitmap statics.
class TvkIconWnd : public TvkStaticWnd {
  DECLARE_CLASS(TvkIconWnd, TvkStaticWnd)
public:
  void FinishCreation() override;
  void WndProc(TMessage& Message) override;
  bool DrawContent() override;

  bool IsBitmap = false;  // not an SS_ICON static
  TBitmap* ImageCache = nullptr;

protected:
  void ReleaseOwnObjects() override;
};

// SysLink windows: the whole text as one underlined link.
class TvkLinkWnd : public TvkStaticWnd {
  DECLARE_CLASS(TvkLinkWnd, TvkStaticWnd)
public:
  void WndProc(TMessage& Message) override;
  bool DrawContent() override;
};

// Static types (style and SS_TYPEMASK) that show text: left, centred, right, simple, left without word wrap.
bool IsTextStaticType(LONG Type);
// Static types the system draws as frames or etched lines only: the background shows inside them.
bool IsFrameStaticType(LONG Type);
// DrawText flags of a text static's style (its type, SS_CENTERIMAGE and the ellipsis kinds) as the system draws
// it, tabs expanded every 10 characters; DT_RIGHT also for WS_EX_RIGHT.
UINT StaticTextFlags(LONG Style, LONG ExStyle);

// The text of a link window without its link tags ("<a>", "<a href=...>", "</a>", in any case).
std::string LinkTextWithoutTags(const std::string& Text);
