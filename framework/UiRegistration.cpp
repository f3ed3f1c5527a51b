// Registers the user-interface classes with the class registry so stored descriptions can create them.
#include "framework/Buttons.h"
#include "framework/ComCtrls.h"
#include "framework/ComCtrlsToolBar.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"

void RegisterFormClasses() {
  RegisterClasses({TForm::StaticClassInfo(), TLabel::StaticClassInfo(), TButton::StaticClassInfo(),
                   TEdit::StaticClassInfo(), TMemo::StaticClassInfo(), TComboBox::StaticClassInfo(),
                   TPanel::StaticClassInfo(), TImage::StaticClassInfo(), TProgressBar::StaticClassInfo(),
                   TTimer::StaticClassInfo(), TOpenDialog::StaticClassInfo(), TMessageForm::StaticClassInfo(),
                   TImageList::StaticClassInfo(), TMainMenu::StaticClassInfo(), TPopupMenu::StaticClassInfo(),
                   TMenuItem::StaticClassInfo()});
  RegisterClasses({TCheckBox::StaticClassInfo(), TRadioButton::StaticClassInfo(), TGroupBox::StaticClassInfo(),
                   TScrollBar::StaticClassInfo(), TStaticText::StaticClassInfo(), TBitBtn::StaticClassInfo(),
                   TSpeedButton::StaticClassInfo(), TUpDown::StaticClassInfo(), TTabControl::StaticClassInfo(),
                   TPageControl::StaticClassInfo(), TTabSheet::StaticClassInfo(), TListView::StaticClassInfo(),
                   TTreeView::StaticClassInfo(), TStatusBar::StaticClassInfo()});
  RegisterClasses({TListBox::StaticClassInfo(), TScrollBox::StaticClassInfo(), TFrame::StaticClassInfo(),
                   TToolBar::StaticClassInfo(), TToolButton::StaticClassInfo()});
}
