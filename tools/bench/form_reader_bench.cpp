// Benchmark: reading a stored description of the main form's size (1807 HEX lines in a string list, a packed
// skin and images as binary data). Prints the time of each of five reads; no pass/fail.
#include <windows.h>

#include <cstdio>

#include "framework/FormReader.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"

namespace {

class TBenchComponent : public TComponent {
  DECLARE_CLASS(TBenchComponent, TComponent)
public:
  using TComponent::TComponent;
  TStringList* Lines() { return &lines_; }
  void DefineProperties(TFiler& filer) override {
    TComponent::DefineProperties(filer);
    filer.DefineBinaryProperty("Data", [this](TStream& s) {
      data_.resize(static_cast<size_t>(s.Size()));
      if (!data_.empty()) s.ReadBuffer(data_.data(), static_cast<int32_t>(data_.size()));
    });
  }

private:
  TStringList lines_;
  std::string data_;
};
PUBLISHED(TBenchComponent) { p.Object("Lines", &TBenchComponent::Lines); }

std::string MainFormSizedText() {
  std::string text = "object Form: TBenchComponent\n  Lines.Strings = (\n";
  for (int i = 0; i < 1807; ++i) {
    text += "    ':10";
    text += IntToHex(i * 16, 4);
    text += "00000102030405060708090A0B0C0D0E0F10'\n";
  }
  text += "  )\n";
  // A packed skin of about 400 KB and five images.
  for (int k = 0; k < 6; ++k) {
    text += "  object Part";
    text += std::to_string(k);
    text += ": TBenchComponent\n    Left = 8\n    Data = {\n      ";
    const int bytes = k == 0 ? 400000 : 60000;
    for (int i = 0; i < bytes; ++i) {
      text += IntToHex((i * 31) & 0xFF, 2);
      if (i % 32 == 31) text += "\n      ";
    }
    text += "}\n  end\n";
  }
  return text + "end\n";
}

}  // namespace

int main() {
  RegisterClass(TBenchComponent::StaticClassInfo());
  const std::string text = MainFormSizedText();
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  for (int run = 0; run < 5; ++run) {
    auto* root = new TBenchComponent(nullptr);
    QueryPerformanceCounter(&start);
    ReadComponentFromText(text, root);
    QueryPerformanceCounter(&end);
    std::printf("read %u bytes of description in %.1f ms\n", static_cast<unsigned>(text.size()),
                static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart));
    root->Free();
  }
  return 0;
}
