// What one command costs against the virtual mouse, with no link latency and with 4 ms, next to
// the pauses the transport always makes (10 ms before the first look at the reply queue, 20 ms
// per empty look after that, 5 ms between the pieces of a long read).
#include <benchmark/benchmark.h>

#include "app/gvar.h"
#include "support/sim_link.h"

namespace {

// A mouse that no catalogue entry names: the transport does not care which.
class BenchLink : public zvtest::SimLink {
  public:
    explicit BenchLink(uint32_t latencyMs) : zvtest::SimLink(0x12, 0x34, latencyMs) {}
};

// The smallest time the transport's own pauses allow for one answered command: the 10 ms
// before the first look, plus one 20 ms poll for every look that finds nothing.
double PauseBoundMs(uint32_t latencyMs) {
    return latencyMs <= 10 ? 10.0 : 10.0 + 20.0 * ((latencyMs - 10 + 19) / 20);
}

void Report(benchmark::State& state, uint32_t latency, double pausesMs) {
    state.counters["latency_ms"] = latency;
    state.counters["fixed_pauses_ms"] = pausesMs;
}

void BM_QueryCommand(benchmark::State& state) {
    uint32_t latency = static_cast<uint32_t>(state.range(0));
    BenchLink link(latency);
    for (auto _ : state) benchmark::DoNotOptimize(link.drv.GetCurProfile());
    Report(state, latency, PauseBoundMs(latency));
}

void BM_ReadEEPROM10(benchmark::State& state) {
    uint32_t latency = static_cast<uint32_t>(state.range(0));
    BenchLink link(latency);
    uint8_t buf[10];
    for (auto _ : state) benchmark::DoNotOptimize(link.drv.ReadEEPROM(0x60, buf, 10));
    Report(state, latency, PauseBoundMs(latency));
}

void BM_WriteDpiTable(benchmark::State& state) {
    // Eight 4-byte records in pieces of 8 bytes: four acknowledged commands.
    uint32_t latency = static_cast<uint32_t>(state.range(0));
    BenchLink link(latency);
    uint8_t records[32] = {};
    for (auto _ : state) benchmark::DoNotOptimize(link.drv.WriteEEPROM(8, 32, 0x0C, records));
    Report(state, latency, 4 * PauseBoundMs(latency));
}

void BM_ReadFirstArea(benchmark::State& state) {
    // 190 bytes from address 0: nineteen 10-byte reads with 5 ms between them.
    uint32_t latency = static_cast<uint32_t>(state.range(0));
    BenchLink link(latency);
    uint8_t buf[190];
    for (auto _ : state) benchmark::DoNotOptimize(link.drv.ReadROM(0, buf, 190));
    Report(state, latency, 19 * PauseBoundMs(latency) + 19 * 5.0);
}

}  // namespace

BENCHMARK(BM_QueryCommand)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadEEPROM10)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteDpiTable)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadFirstArea)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();
