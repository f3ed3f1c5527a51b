#include "skin/adapters/vkSystemMenu.h"

#include "skin/adapters/vkDialogWnd.h"
#include "skin/core/sConst.h"

IMPLEMENT_CLASS(TvkSystemMenu)

namespace {
const std::string& Word(const std::string& Localized, const std::string& Fallback) {
  return Localized.empty() ? Fallback : Localized;
}
}  // namespace

TvkSystemMenu::TvkSystemMenu(TComponent* AOwner) : TsCustomSysMenu(AOwner) {
  Menu = new TPopupMenu(this);
  static const std::string kRestore = "Restore", kMove = "Move", kSize = "Size", kMin = "Minimize",
                           kMax = "Maximize", kClose = "Close";
  miRestore = MakeItem(Word(sRestore, kRestore), "miRestore", &TvkSystemMenu::RestoreClick);
  miMove = MakeItem(Word(sMove, kMove), "miMove", &TvkSystemMenu::MoveClick);
  miSize = MakeItem(Word(sSize, kSize), "miSize", &TvkSystemMenu::SizeClick);
  miMinimize = MakeItem(Word(sMinimize, kMin), "miMinimize", &TvkSystemMenu::MinimizeClick);
  miMaximize = MakeItem(Word(sMaximize, kMax), "miMaximize", &TvkSystemMenu::MaximizeClick);
  auto* Line = new TMenuItem(this);
  Line->SetCaption("-");
  Menu->Items()->Add(Line);
  miClose = MakeItem(Word(sMsgDlgClose, kClose), "miClose", &TvkSystemMenu::CloseClick);
  miClose->SetShortCut(static_cast<TShortCut>(0x8073));  // Alt+F4, shown only
}

TMenuItem* TvkSystemMenu::MakeItem(const std::string& Caption, const std::string& Name,
                                   void (TvkSystemMenu::*Click)(TObject*)) {
  auto* Item = new TMenuItem(this);
  Item->SetCaption(Caption);
  Item->SetName(Name);
  Item->OnClick = TNotifyEvent(this, Click);
  Menu->Items()->Add(Item);
  return Item;
}

void TvkSystemMenu::Command(WPARAM Cmd, bool Refresh) {
  if (Dialog == nullptr || Dialog->Detached) return;
  SendMessageA(Dialog->CtrlHandle, WM_SYSCOMMAND, Cmd, 0);
  if (Refresh) RefreshItems();
}

bool TvkSystemMenu::VisibleClose() { return Dialog != nullptr && Dialog->HasSysMenu(); }
bool TvkSystemMenu::VisibleMax() { return Dialog != nullptr && Dialog->HasMaxBox(); }
bool TvkSystemMenu::VisibleMin() { return Dialog != nullptr && Dialog->HasMinBox(); }
bool TvkSystemMenu::EnabledMax() { return Dialog != nullptr && Dialog->CanMaximize(); }
bool TvkSystemMenu::EnabledMin() { return Dialog != nullptr && Dialog->CanMinimize(); }
bool TvkSystemMenu::EnabledRestore() { return Dialog != nullptr && Dialog->CanRestore(); }

void TvkSystemMenu::RefreshItems() {
  if (Dialog == nullptr) return;
  const HWND W = Dialog->CtrlHandle;
  const bool Framed = Dialog->FrameKind == 1 || Dialog->FrameKind == 3;
  const bool Iconic = W != nullptr && IsIconic(W), Zoomed = W != nullptr && IsZoomed(W);
  miRestore->SetVisible(Dialog->HasSysIcon());
  miRestore->SetEnabled((Iconic || Zoomed) && Dialog->HasMaxBox());
  miMove->SetVisible(true);
  miMove->SetEnabled(!Zoomed);
  miSize->SetVisible(Framed);
  miSize->SetEnabled(Dialog->FrameKind != 1 && !Iconic);
  miMinimize->SetVisible(VisibleMin());
  miMinimize->SetEnabled(EnabledMin());
  miMaximize->SetVisible(VisibleMax());
  miMaximize->SetEnabled(EnabledMax());
  miClose->SetVisible(VisibleClose());
  miClose->SetEnabled(true);
}
