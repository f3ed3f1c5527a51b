// The library's own modal message box (usage errors of the form skinner and the like), built on the
// system's indirect message box so that it gets a caption and an icon by its kind, help support and a
// place on the screen the dialog skinner can honour.
#pragma once
#include <windows.h>

#include <string>

#include "framework/Dialogs.h"

// The box's place while one is shown; (-1, -1), the system's default place, otherwise.
extern int MessageBoxPosX, MessageBoxPosY;

// The MB_ style of a button set: OK first (MB_OKCANCEL with Cancel), then Abort or Ignore, Yes or No
// (MB_YESNOCANCEL with Cancel), Retry; MB_OK when nothing matched; Help adds MB_HELP.
UINT MessageBoxButtonsStyle(TMsgDlgButtons Buttons);
// The default caption of a kind (Warning, Error, Information, Confirm); "" for any other.
std::string MessageKindCaption(TMsgDlgType Kind);
// MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION; 0 for any other kind.
UINT MessageKindIcon(TMsgDlgType Kind);

// Shows the box owned by the application window with the other windows disabled and returns the box's
// answer (IDOK, IDYES, ...; 0 when the system could not show it). An empty Caption takes the kind's.
int ShowMessageBoxAt(const std::string& Caption, const std::string& Msg, TMsgDlgType Kind, int X, int Y, int HelpCtx,
                     TMsgDlgButtons Buttons);
int ShowMessageKind(const std::string& Msg, TMsgDlgType Kind, TMsgDlgButtons Buttons, int HelpCtx);
void ShowWarningBox(const std::string& Msg);
void ShowWarningBoxProxy(const std::string& Msg);
// The box's help callback: a non-zero context id goes to the application's help.
void CALLBACK MessageBoxHelpCallback(LPHELPINFO HelpInfo);
