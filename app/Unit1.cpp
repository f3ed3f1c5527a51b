#include "app/Unit1.h"

#include "app/Main.h"

#include "framework/ExtCtrls.h"
#include "framework/Platform.h"
#include "framework/StdCtrls.h"
#include "framework/TypInfo.h"
#include "skin/controls/sLabel.h"

TFormHelp* FormHelp = nullptr;

PUBLISHED(TFormHelp) {
  p.Field("Image_Emblem", &TFormHelp::Image_Emblem);
  p.Field("sWebLabel1", &TFormHelp::sWebLabel1);
  p.Field("Button1", &TFormHelp::Button1);
  p.Handler("Button1Click", &TFormHelp::Button1Click);
  p.Handler("FormKeyDown", &TFormHelp::FormKeyDown);
  p.Handler("sWebLabel1Click", &TFormHelp::sWebLabel1Click);
  p.Handler("FormCreate", &TFormHelp::FormCreate);
  p.Handler("sPanel1Click", &TFormHelp::sPanel1Click);
}

void TFormHelp::Button1Click(TObject*) {
  Platform().MessageBeep(MB_ICONASTERISK);
  Close();
}

void TFormHelp::FormKeyDown(TObject*, WORD& Key, TShiftState) {
  if (Key == VK_F1) Close();
}

void TFormHelp::sWebLabel1Click(TObject*) {
  Platform().MessageBeep(MB_ICONASTERISK);
  Platform().ShellExecuteA(Handle(), nullptr, MakerWebPage, nullptr, nullptr, SW_SHOW);
}

void TFormHelp::FormCreate(TObject*) {}

void TFormHelp::sPanel1Click(TObject*) {}

void RegisterFormHelpClasses() { RegisterClasses({TFormHelp::StaticClassInfo()}); }
