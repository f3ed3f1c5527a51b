// What the source files of the skinned menus share beyond the class. Not for other units.
#pragma once

bool IsNTPlatform();
int PlatformMajorVersion();
void MenuBackgroundsInitialize();
void MenuBackgroundsFinalize();
