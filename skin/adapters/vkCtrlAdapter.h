// The child-control walker of a skinned form: each control that does not skin itself gets the skinning that
// fits it (a window adapter chosen by class name from the 23 class lists, a skinner for a form placed inside
// another control, the skin's font colour for a plain label, a speed-button handler for a listed speed button).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/Controls.h"
#include "skin/adapters/vkMainWnd.h"

class TStringList;
class TsCommonData;
class TsSkinProvider;
class TvkCtrlAdapter;
class TvkSpeedButtonHandler;

// ---- adapter classes by kind and by name ----
// The adapter class name of each class-list kind (0 "Edit" ... 22 "NativePaint").
const char* AdapterClassNameOfKind(int Kind);
// A window adapter class known by name; nil while that adapter is not built. Units that build one register it.
const TClassInfo* FindAdapterClass(const std::string& Name);
void RegisterAdapterClass(const TClassInfo* Cls);
// Every adapter made by class name goes through this factory; nil when the class is not registered. Tests put a
// recorder in its place to see the choice.
using TvkAdapterFactory = TvkMainWnd* (*)(const std::string& ClassName, HWND Wnd, TsSkinManager* Manager,
                                          const TvkSkinParams& Params, bool Repaint);
extern TvkAdapterFactory AdapterFactory;
TvkMainWnd* DefaultAdapterFactory(const std::string& ClassName, HWND Wnd, TsSkinManager* Manager,
                                  const TvkSkinParams& Params, bool Repaint);

// ---- items ----
class TvkAdapterItem : public TPersistent {
  DECLARE_CLASS(TvkAdapterItem, TPersistent)
public:
  TvkAdapterItem() = default;
  TvkAdapterItem(TvkCtrlAdapter* AOwner, TWinControl* AControl) : Control(AControl), Owner(AOwner) {}
  ~TvkAdapterItem() override;
  void AttachAdapter(TWinControl* AControl, const TvkSkinParams& Params);
  void CreateAdapterByClassName(TStringList* const* Lists, const std::string& ClassName, const TvkSkinParams& Params);

  TWinControl* Control = nullptr;
  TvkMainWnd* Adapter = nullptr;
  TvkCtrlAdapter* Owner = nullptr;
};

// A skinned speed button: the skin data its handler paints with, and the handler.
class TvkGraphItem : public TPersistent {
  DECLARE_CLASS(TvkGraphItem, TPersistent)
public:
  TvkGraphItem() = default;
  TvkGraphItem(TvkCtrlAdapter* AOwner, TGraphicControl* AControl);
  ~TvkGraphItem() override;
  void AttachHandler(TGraphicControl* AControl);

  TvkCtrlAdapter* Owner = nullptr;
  TGraphicControl* Control = nullptr;
  TsCommonData* SkinData = nullptr;         // owned
  TvkSpeedButtonHandler* Handler = nullptr;  // owned
};

class TvkCtrlAdapter : public TPersistent {
  DECLARE_CLASS(TvkCtrlAdapter, TPersistent)
public:
  TvkCtrlAdapter() = default;
  explicit TvkCtrlAdapter(TsSkinProvider* AProvider);
  ~TvkCtrlAdapter() override;

  void WalkControlsOf(TWinControl* Parent);
  void AddItem(TWinControl* Control) { AttachControl(Control, DefaultSection); }
  void AttachControl(TWinControl* Control, const std::string& Section);
  void AttachGraphicControl(TGraphicControl* Control);
  bool IsControlToSkin(TComponent* Control);
  void BroadcastMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
  void RemoveDeadItems();
  void ClearAllItems();
  // Asks OnSkinItem, then OnSkinItemEx; False when either refused (CanBeAdded or UseSkinFontColor cleared).
  bool CanSkinByEvents(TComponent* Control);
  // The 23 lists the walk searches: the provider's own when it has any names, else the manager's.
  void ChooseLists(TStringList** Lists) const;
  // Kind of the first list (in kind order) holding ClassName exactly; -1 when none.
  static int FindInClassLists(TStringList* const* Lists, const std::string& ClassName);

  bool Busy = false;
  std::string DefaultSection;
  std::vector<TvkAdapterItem*> Items;
  std::vector<TvkGraphItem*> GraphItems;
  TsSkinProvider* Provider = nullptr;
};

// Fills the form skinner's entries for its walker (the skinner makes, walks and frees it through them).
void InstallCtrlAdapterParts();
