// Start-up cost of reading the configuration: the INI reader over a full cfg.ini and the
// whole option load.
#include <benchmark/benchmark.h>

#include "app/config.h"
#include "app/gvar.h"
#include "base/ini_file.h"
#include "platform/fs.h"
#include "platform/window.h"
#include "support/temp_dir.h"

namespace {

std::string ShippedCfg() {
    std::vector<uint8_t> d;
    platform::ReadFile(platform::JoinPath(zvtest::SourceDir(), "data/cfg.ini"), d);
    return std::string(d.begin(), d.end());
}

void BM_IniParse(benchmark::State& state) {
    std::string text = ShippedCfg();
    for (auto _ : state) benchmark::DoNotOptimize(IniFile::FromBytes(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_IniParse);

void BM_LoadConfiguration(benchmark::State& state) {
    zvtest::TempDir dir;
    dir.Write("cfg.ini", ShippedCfg());
    gVar.szAppDir = dir.path();
    platform::SetMessageBoxHook([](const std::string&, const std::string&, uint32_t) { return 1; });
    for (auto _ : state) benchmark::DoNotOptimize(LoadConfiguration());
}
BENCHMARK(BM_LoadConfiguration)->Unit(benchmark::kMicrosecond);

}  // namespace
