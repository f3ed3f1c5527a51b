// Class names whose windows the form hook never skins: the hidden application window and the popups of
// foreign component suites, which draw themselves.
#pragma once
#include <string>

class TStringList;

// Sorted; built by the unit's start-up, nil before it and after its shut-down.
extern TStringList* ExcludedWindowClasses;
void ExcludedClassesInitialize();
void ExcludedClassesFinalize();

// ClassName equals an entry exactly (letter case counts, as lstrcmpA compares); False before start-up.
bool IsExcludedWindowClass(const char* ClassName);
