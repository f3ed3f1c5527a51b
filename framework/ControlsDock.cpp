// Docking as far as dock sites need it: which children are a site's docked clients. Nothing drags or
// floats here; a control with dkDock placed in a dock site is docked there.
#include <algorithm>

#include "framework/Controls.h"

void UpdateDocking(TControl* Control) {
  TWinControl* site = Control->FParent && Control->FParent->FDockSite && Control->FDragKind == dkDock
                          ? Control->FParent
                          : nullptr;
  TWinControl* old = Control->FHostDockSite;
  if (site == old) return;
  if (old) {
    auto& clients = old->FDockClients;
    clients.erase(std::remove(clients.begin(), clients.end(), Control), clients.end());
    Control->FHostDockSite = nullptr;
    old->Perform(CM_UNDOCKCLIENT, 0, reinterpret_cast<LPARAM>(Control));
  }
  if (site) {
    site->FDockClients.push_back(Control);
    Control->FHostDockSite = site;
  }
}

void TControl::SetDragKind(TDragKind Value) {
  if (FDragKind == Value) return;
  FDragKind = Value;
  UpdateDocking(this);
}

void TWinControl::SetDockSite(bool Value) {
  if (FDockSite == Value) return;
  FDockSite = Value;
  for (int i = 0; i < ControlCount(); ++i) UpdateDocking(Controls(i));
}

TControl* TWinControl::DockClients(int Index) const {
  if (Index < 0 || Index >= DockClientCount())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FDockClients[Index];
}
