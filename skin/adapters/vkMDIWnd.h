// The MDI client window of a skinned MDI parent form: its edge and background are copied from the form's frame
// cache and its scroll bars are skinned. The form's MDI wrapper (TsMDIForm) makes and frees it.
#pragma once
#include "skin/adapters/vkEditWnd.h"

class TCustomForm;
class TsSkinProvider;
class TsScrollWndData;

class TvkMDIWnd : public TvkBaseWnd {
  DECLARE_CLASS(TvkMDIWnd, TvkBaseWnd)
public:
  void WndProc(TMessage& Message) override;

  // The client window's rectangle moved to (0, 0).
  TRect ClientRect() const;
  // The client window's top-left in the form's frame cache.
  TPoint ClientOffset() const;
  void PaintBackground(HDC DC, bool Printing);
  void PaintEdge(HDC DC);

  // Set by the wrapper, not owned.
  TCustomForm* MDIForm = nullptr;
  TsSkinProvider* Provider = nullptr;
  TsScrollWndData* ProviderSkinData = nullptr;

protected:
  // The wrapper's pointers are dropped first: the messages the give-back raises must not read them.
  void ReturnWindow() override;
  void ReleaseOwnObjects() override;

private:
  bool ChildMaximized() const;
  // While the client destroys a child, its menu refresh only marks the main frame: the child's end repaints it.
  bool FDestroyingChild = false;
  bool FRefreshWanted = false;
  void CommonPath(TMessage& Message);
};

// Fills the provider's parts table with the MDI wrapper and its client adapter (start of the adapters' unit);
// the end empties those entries again.
void MDIPartsInitialize();
void MDIPartsFinalize();
