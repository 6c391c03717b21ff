// The INI store on layer-file sized content: thousands of sections of a dozen keys each.
// Baseline: the same reads through a plain ordered store that searches sections and keys
// one by one, as a store without hashed lookup would.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "persist/case_fold.h"
#include "persist/ext_ini_file.h"

namespace {

using vexa::TExtIniFile;

constexpr int kSections = 5000;
const char* const kKeys[] = {"EventType", "StartTime", "EndTime", "EventNumber", "BlendMode", "FullFileName",
                             "FileName",  "StartX",    "EndX",    "StartY",      "EndY",      "Font.Name"};

std::string LayerText() {
  TExtIniFile ini{std::string()};
  ini.WriteString("General", "LayerName", "レイヤー");
  for (int s = 0; s < kSections; ++s) {
    const std::string sec = std::to_string(s);
    for (const char* key : kKeys)
      ini.WriteString(sec, key, key == std::string("Font.Name") ? "ＭＳ Ｐゴシック" : "12345");
  }
  return ini.BuildText();
}

const std::string& Text() {
  static const std::string text = LayerText();
  return text;
}

void BM_IniLoad(benchmark::State& state) {
  for (auto _ : state) {
    TExtIniFile ini{std::string()};
    ini.LoadFromBytes(Text());
    benchmark::DoNotOptimize(ini.SectionCount());
  }
}
BENCHMARK(BM_IniLoad)->Unit(benchmark::kMillisecond);

void BM_IniBuildText(benchmark::State& state) {
  TExtIniFile ini{std::string()};
  ini.LoadFromBytes(Text());
  for (auto _ : state)
    benchmark::DoNotOptimize(ini.BuildText());
}
BENCHMARK(BM_IniBuildText)->Unit(benchmark::kMillisecond);

void BM_IniReadEveryKey(benchmark::State& state) {
  TExtIniFile ini{std::string()};
  ini.LoadFromBytes(Text());
  for (auto _ : state) {
    int64_t sum = 0;
    for (int s = 0; s < kSections; ++s) {
      const std::string sec = std::to_string(s);
      for (const char* key : kKeys)
        sum += ini.ReadInteger(sec, key, 0);
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_IniReadEveryKey)->Unit(benchmark::kMillisecond);

// Baseline: linear search over sections and over the lines of a section, same folding.
struct TPlainSection {
  std::string Header;  // already folded
  std::vector<std::string> Lines;
};

std::string Bracketed(const std::string& name) {
  std::string h = "[";
  h += name;
  h += ']';
  return h;
}

void BM_IniReadEveryKey_LinearBaseline(benchmark::State& state) {
  TExtIniFile ini{std::string()};
  ini.LoadFromBytes(Text());
  std::vector<TPlainSection> sections;
  for (int i = 0; i < ini.SectionCount(); ++i) {
    TPlainSection p{vexa::FoldCase(Bracketed(ini.SectionName(i))), {}};
    for (const char* key : kKeys)
      p.Lines.push_back(std::string(key) + "=" + ini.ReadString(ini.SectionName(i), key, ""));
    sections.push_back(std::move(p));
  }
  for (auto _ : state) {
    int64_t sum = 0;
    for (int s = 0; s < kSections; ++s) {
      const std::string header = vexa::FoldCase(Bracketed(std::to_string(s)));
      const TPlainSection* found = nullptr;
      for (const TPlainSection& p : sections)
        if (p.Header == header) found = &p;  // the last one wins
      for (const char* key : kKeys) {
        const std::string name = vexa::FoldCase(key);
        for (const std::string& line : found->Lines) {
          const size_t eq = line.find('=');
          if (vexa::FoldCase(line.substr(0, eq)) == name) {
            sum += static_cast<int64_t>(line.size() - eq - 1);
            break;
          }
        }
      }
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_IniReadEveryKey_LinearBaseline)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
