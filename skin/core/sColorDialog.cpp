#include "skin/core/sColorDialog.h"

#include "framework/Classes.h"
#include "framework/Forms.h"

TStringList* CustomColorList = nullptr;

void InitCustomColorList() {
  FreeAndNil(CustomColorList);
  CustomColorList = new TStringList();
  for (int i = 0; i < 18; ++i) CustomColorList->Add("FFFFFF");
}

void sColorDialogInitialize() {
  if (Screen != nullptr) Screen->SetCursors(crVkPipette, LoadCursorA(GetModuleHandleA(nullptr), "CRVKPIPETTE"));
  InitCustomColorList();
}

void sColorDialogFinalize() { FreeAndNil(CustomColorList); }
