// The long run of the painting stress test: COUNT damaged copies of the carried skins drawn from SEED, each
// painted whole. Prints every fault and ends with 1 when there was one; a copy that kills the process is named
// before it dies.
//   wine paint_stress.exe SEED COUNT [CARRIED_SKINS_FOLDER]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "framework/Units.h"
#include "skin/core/vkLibraryUnits.h"
#include "tools/paintstress/PaintStress.h"

namespace {

// The copy being painted, for a crash report.
std::string g_Current;

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* E) {
  std::fprintf(stderr, "\n*** crashed (code 0x%08lX at %p) in %s\n", E->ExceptionRecord->ExceptionCode,
               E->ExceptionRecord->ExceptionAddress, g_Current.c_str());
  std::fflush(stderr);
  return EXCEPTION_EXECUTE_HANDLER;
}

std::string ProgramFolder() {
  char Buf[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, Buf, MAX_PATH);
  return ExtractFilePath(Buf);
}

// The scratch folder and the variant folders in it.
void RemoveFolder(const std::string& Dir) {
  WIN32_FIND_DATAA F;
  HANDLE H = FindFirstFileA((Dir + "*").c_str(), &F);
  if (H != INVALID_HANDLE_VALUE) {
    do {
      const std::string N = F.cFileName;
      if (N == "." || N == "..") continue;
      if (F.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveFolder(Dir + N + "\\");
      else DeleteFileA((Dir + N).c_str());
    } while (FindNextFileA(H, &F));
    FindClose(H);
  }
  RemoveDirectoryA(Dir.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: paint_stress SEED COUNT [CARRIED_SKINS_FOLDER]\n");
    return 2;
  }
  const uint32_t Seed = static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10));
  const int Count = std::atoi(argv[2]);
  std::string Carried = argc > 3 ? argv[3] : ProgramFolder() + "..\\skin\\";
  if (!Carried.empty() && Carried.back() != '\\') Carried += '\\';
  SetUnhandledExceptionFilter(ReportCrash);
  InitializeForms();
  RegisterSkinLibraryUnits();
  InitializeUnits();
  char Temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, Temp);
  const std::string Work = std::string(Temp) + "krl_paint_stress_" + std::to_string(GetCurrentProcessId()) + "\\";
  const DWORD Start = GetTickCount();
  const TPaintStressResult R = RunPaintStress(Carried, Work, Seed, Count, [&](int V, const TDamagedSkin& Skin) {
    g_Current = "variant " + std::to_string(V);
    for (const std::string& D : Skin.Damage) g_Current += "; " + D;
    if (V > 0 && V % 500 == 0) {
      std::printf("%d copies, %lu s\n", V, static_cast<unsigned long>((GetTickCount() - Start) / 1000));
      std::fflush(stdout);
    }
  });
  RemoveFolder(Work);
  for (const std::string& F : R.Faults) std::printf("FAULT %s\n", F.c_str());
  std::printf("seed %lu: %d copies, %d loaded, %zu refused by an exception, %ld painter calls, %zu faults, %lu s\n",
              static_cast<unsigned long>(Seed), R.Variants, R.Loaded, R.Refused.size(), R.Calls, R.Faults.size(),
              static_cast<unsigned long>((GetTickCount() - Start) / 1000));
  FinalizeUnits();
  return R.Faults.empty() ? 0 : 1;
}
