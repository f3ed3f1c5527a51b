#pragma once
// Shared helpers of the menu tests: the texts a menu shows, items made in code.
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Menus.h"

// The texts of a menu's entries, by position.
inline std::vector<std::string> MenuTexts(HMENU menu) {
  std::vector<std::string> texts;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    texts.push_back(text);
  }
  return texts;
}

// A new item of `owner` with its caption and group.
inline TMenuItem* NewMenuItem(TComponent* owner, const std::string& caption, int group = 0) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  item->SetGroupIndex(group);
  return item;
}
