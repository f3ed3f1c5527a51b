// Program start: the units, the application object, the two forms from their stored descriptions,
// the message loop; then the units finalise in reverse order.
#include "app/LoaderUnits.h"
#include "app/Main.h"
#include "app/Unit1.h"

#include "framework/Forms.h"
#include "framework/Units.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RegisterLoaderUnits();
  InitializeUnits();
  try {
    Application->Initialize();
    Application->SetTitle("KRL Bootloader");
    Application->CreateForm(MainForm);
    Application->CreateForm(FormHelp);
    Application->Run();
  } catch (const std::exception& e) {
    // A form that cannot be built is reported as any other failure, then the program ends.
    Application->ShowException(e);
  }
  FinalizeUnits();
  return 0;
}
