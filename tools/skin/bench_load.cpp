// Time to load the carried TIDE skin from the data stored in the main form and from a ".vkz" file.
// Run by hand under Wine from the build folder:  wine tools/skin/skin_load_bench.exe [rounds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/FormReader.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"
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

// The root the main form's manager block is read into, as the main form is.
class TBenchForm : public TComponent {
  DECLARE_CLASS(TBenchForm, TComponent)
public:
  explicit TBenchForm(TComponent* owner) : TComponent(owner) {}
  TsSkinManager* sSkinManager1 = nullptr;
};

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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

PUBLISHED(TBenchForm) { p.Field("sSkinManager1", &TBenchForm::sSkinManager1); }

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 50;
  if (rounds < 1) rounds = 1;
  std::string dir = Folder();
  // The manager block exactly as the build composes it into the main form's stored description.
  const std::vector<uint8_t> block = ReadAll(dir + "TIDE.manager.form");
  if (block.empty() || ReadAll(dir + "TIDE.vkz").empty()) {
    std::printf("TIDE.manager.form or TIDE.vkz not found next to the program\n");
    return 1;
  }
  RegisterSkinManagerClasses();
  RegisterClass(TBenchForm::StaticClassInfo());
  const std::string form = "object BenchForm: TBenchForm\n" + std::string(block.begin(), block.end()) + "end\n";
  Measure("stored skin (form data)", rounds, [&] {
    TBenchForm* root = new TBenchForm(nullptr);
    ReadComponentFromText(form, root);
    TsSkinManager* m = root->sSkinManager1;
    bool ok = m != nullptr && m->SkinData().Active && m->SkinIsPacked() && m->SkinName() == "TIDE (internal)";
    root->Free();
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
