// Globals of the library's colour dialog set up at start-up: the custom colours and the pipette cursor.
#pragma once

#include "framework/Controls.h"

class TStringList;

// The screen cursor index of the pipette (the program's cursor resource "CRVKPIPETTE").
constexpr TCursor crVkPipette = -50;

// Hexadecimal RGB texts of the dialog's custom colours; 18 "FFFFFF" after start-up, nil before.
extern TStringList* CustomColorList;
void InitCustomColorList();

// Unit start-up: installs the pipette cursor (when there is a screen), then the custom colour list.
void sColorDialogInitialize();
void sColorDialogFinalize();
