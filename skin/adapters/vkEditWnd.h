// The edit adapter and its base: scrollable content controls (edits, memos, list boxes, a combo box's list)
// with a skinned frame and skinned scroll bars, and the skin's colours written into the control.
#pragma once
#include "skin/adapters/vkScrollWnd.h"

// The cache and non-client bookkeeping every scrollable skinned control needs.
class TvkBaseWnd : public TvkScrollWnd {
  DECLARE_CLASS(TvkBaseWnd, TvkScrollWnd)
public:
  void WndProc(TMessage& Message) override;
};

class TvkEditWnd : public TvkBaseWnd {
  DECLARE_CLASS(TvkEditWnd, TvkBaseWnd)
public:
  void StoreControlParams() override;
  void RestoreControlParams() override;
  void ApplySkinParams() override;
  void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const TvkSkinParams& SkinParams,
              bool Repaint) override;
  void WndProc(TMessage& Message) override;

  // The adapter's own handling of the library's command; True = handled.
  bool HandleSkinCommand(TMessage& Message);
  // A framework edit without shown scroll bars whose client area is not the window less twice the frame.
  bool ClientSizeMismatch();
  // BeginPaint and EndPaint with nothing drawn.
  void SkipPaint();
  // The frame width used on all four sides; until a frame layout sets it, the window's present frame.
  int FrameWidth() const;
  // Geometry refreshed and the frame painted into the cache.
  void PaintFrameCache();

  int Reserved = -1;
  TColor BorderColor = 0;
  uint8_t ChangeFlags = 0;  // 1: the last ApplySkinParams changed a colour; 2: a hot state is shown
  bool InNcPaint = false;
  bool CacheWhenDisabled = false;  // a disabled single-line framework edit shows the cache
  bool AdaptPending = false;
  TColor AppliedColor = clNone;
  TColor SavedFocusColor = clNone;

protected:
  // The common path after the edit's own handling.
  void CommonPath(TMessage& Message);
  bool IsForeignEmptyDC(HDC DC) const;
};

// A TvkEditWnd kept in step with its framework control's skinned state (no flat scroll bars involved). Nothing in the
// library calls it: it is the entry for an edit-based control adapter of a library user to keep its edit part in
// step, as SyncScrollWndAdapter does for the scrolling controls.
void SyncEditWndAdapter(TsCommonData* SkinData, TvkEditWnd*& Adapter);
// The object's class or one of its ancestors is named Name.
bool ClassNamed(const TObject* Obj, const char* Name);
// The system's major version (through the platform table).
int WindowsMajorVersion();
