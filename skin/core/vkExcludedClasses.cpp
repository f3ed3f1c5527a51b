#include "skin/core/vkExcludedClasses.h"

#include <windows.h>

#include "framework/Classes.h"

TStringList* ExcludedWindowClasses = nullptr;

void ExcludedClassesInitialize() {
  if (ExcludedWindowClasses != nullptr) return;
  ExcludedWindowClasses = new TStringList();
  ExcludedWindowClasses->SetSorted(true);
  for (const char* Name : {"TApplication", "TfcPopup", "TcxComboBoxPopupWindow", "TcxCustomPopupWindow",
                           "TdxPopupEditForm", "TcxDateEditPopupWindow", "TcxGridFilterPopup"})
    ExcludedWindowClasses->Add(Name);
}

void ExcludedClassesFinalize() {
  if (ExcludedWindowClasses == nullptr) return;
  ExcludedWindowClasses->Free();
  ExcludedWindowClasses = nullptr;
}

bool IsExcludedWindowClass(const char* ClassName) {
  if (ExcludedWindowClasses == nullptr || ClassName == nullptr) return false;
  // The sorted list's own search ignores case; the hook's rule does not.
  for (int i = 0; i < ExcludedWindowClasses->Count(); ++i)
    if (lstrcmpA(ExcludedWindowClasses->Strings(i).c_str(), ClassName) == 0) return true;
  return false;
}
