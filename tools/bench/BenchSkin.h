// What the skinned benchmarks share before timing: a manager holding one of the carried skins, and the
// message queue emptied between steps.
#pragma once

#include <windows.h>

#include <cstdio>

#include "framework/SysUtils.h"
#include "skin/core/sSkinManager.h"

// A manager holding the carried skin Name, read from tools\skin four folders above the benchmark program (its
// place in the build folder); nil, with a line printed, where the skin does not load.
inline TsSkinManager* CarriedSkinManager(const char* Name) {
  char Path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, Path, MAX_PATH);
  auto* M = Create<TsSkinManager>(nullptr);
  M->SetSkinDirectory(ExtractFilePath(Path) + "..\\..\\..\\..\\tools\\skin\\");
  M->SetSkinName(Name);
  if (M->SkinData().Active) return M;
  std::printf("the carried skin %s did not load\n", Name);
  return nullptr;
}

// Every message waiting in the thread's queue dispatched.
inline void PumpPending() {
  MSG Msg;
  while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&Msg);
    DispatchMessageA(&Msg);
  }
}
