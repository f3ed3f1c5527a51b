// Time to load the carried TIDE skin from the data stored in the main form and from a ".vkz" file.
// Run by hand under Wine from the build folder:  wine tools/skin/skin_load_bench.exe [rounds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/SysUtils.h"
#include "skin/core/sSkinManager.h"

namespace {

std::string Folder() {
  char buf[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, buf, MAX_PATH);
  return ExtractFilePath(buf);
}

double Millis(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f) {
  return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

template <class F> void Measure(const char* what, int rounds, F load) {
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  double best = 1e9, total = 0;
  for (int i = 0; i < rounds; ++i) {
    QueryPerformanceCounter(&a);
    bool ok = load();
    QueryPerformanceCounter(&b);
    if (!ok) {
      std::printf("%s: the skin did not load\n", what);
      std::exit(1);
    }
    double ms = Millis(a, b, f);
    total += ms;
    if (ms < best) best = ms;
  }
  std::printf("%-34s mean %7.2f ms   best %7.2f ms   (%d rounds)\n", what, total / rounds, best, rounds);
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 50;
  if (rounds < 1) rounds = 1;
  std::string dir = Folder();
  std::ifstream in(dir + "TIDE.vkz", std::ios::binary);
  std::vector<uint8_t> packed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (packed.empty()) {
    std::printf("TIDE.vkz not found next to the program\n");
    return 1;
  }
  Measure("stored skin (form data)", rounds, [&] {
    TsSkinManager* m = Create<TsSkinManager>(nullptr);
    m->SetActive(false);
    TsStoredSkin* item = m->InternalSkins()->Add();
    item->SetName("TIDE (internal)");
    item->SetPackedData(packed);
    m->SetSkinDirectory(dir + "no-such-folder");
    m->SetActive(true);
    m->SetSkinName("TIDE");
    bool ok = m->SkinData().Active;
    m->Free();
    return ok;
  });
  Measure("packed file TIDE.vkz", rounds, [&] {
    TsSkinManager* m = Create<TsSkinManager>(nullptr);
    m->SetSkinDirectory(dir);
    m->SetSkinName("TIDE.vkz");
    bool ok = m->SkinData().Active && m->SkinIsPacked();
    m->Free();
    return ok;
  });
  Measure("skin folder TIDE", rounds, [&] {
    TsSkinManager* m = Create<TsSkinManager>(nullptr);
    m->SetSkinDirectory(dir);
    m->SetSkinName("TIDE");
    bool ok = m->SkinData().Active;
    m->Free();
    return ok;
  });
  return 0;
}
