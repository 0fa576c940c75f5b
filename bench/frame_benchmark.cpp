// The cost of one frame against a quiet stand-in host, in nanoseconds and as a ratio to
// the cost of the host's fifteen calculator calls alone: the bridged state with nothing
// changing, the bridged state with one chord, and the searching state.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "standin/native/quiet_platform.h"
#include "tests/support/module_state.h"

namespace {

void StartModule(bool addon_loaded) {
  quiet::Reset();
  ResetModuleState(quiet::services);
  for (const SwitchEntry* row = switch_table; row->kind != SWITCH_END; ++row) {
    quiet::SetVariable(row->var_name, 0);
  }
  quiet::SetVariable("Tvl_SeatbeltSign", 0);
  quiet::platform.addon_loaded = addon_loaded;
  quiet::platform.main_window = true;
  GaugeCallback(0, kFrameServiceCode, 0);
}

// What a frame costs the host alone: its fifteen reads, the expressions already formatted.
void HostCalculatorCalls(benchmark::State& state) {
  StartModule(true);
  std::vector<std::string> reads = {"(L:Tvl_SeatbeltSign, number)"};
  for (const SwitchEntry* row = switch_table; row->kind != SWITCH_END; ++row) {
    reads.push_back(std::string("(L:") + row->var_name + ", number)");
  }
  std::int32_t value = 0;
  for (auto _ : state) {
    for (const std::string& read : reads) {
      quiet::Calculate(read.c_str(), nullptr, &value, nullptr);
    }
    benchmark::DoNotOptimize(value);
  }
}

void FrameBridgedQuiet(benchmark::State& state) {
  StartModule(true);
  for (auto _ : state) {
    GaugeCallback(0, kFrameServiceCode, 0);
  }
}

// A toggle changes on every frame: one chord a frame.
void FrameBridgedOneChord(benchmark::State& state) {
  StartModule(true);
  std::int32_t music = 0;
  for (auto _ : state) {
    music = 1 - music;
    quiet::SetVariable("Tvl_PlayMusic", music);
    GaugeCallback(0, kFrameServiceCode, 0);
  }
  if (quiet::platform.messages < 3 * static_cast<int>(state.iterations())) {
    state.SkipWithError("a frame sent no chord");
  }
}

void FrameSearching(benchmark::State& state) {
  StartModule(false);
  for (auto _ : state) {
    GaugeCallback(0, kFrameServiceCode, 0);
  }
}

BENCHMARK(HostCalculatorCalls);
BENCHMARK(FrameBridgedQuiet);
BENCHMARK(FrameBridgedOneChord);
BENCHMARK(FrameSearching);

// Keeps each benchmark's time a run, to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
        nanoseconds_[run.run_name.function_name] = run.GetAdjustedRealTime();
      }
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    const double base = nanoseconds_["HostCalculatorCalls"];
    std::printf("\nper frame, as a ratio to the host's fifteen calculator calls (%.1f ns):\n", base);
    for (const char* name : {"FrameBridgedQuiet", "FrameBridgedOneChord", "FrameSearching"}) {
      std::printf("  %-22s %8.1f ns  %5.2f x\n", name, nanoseconds_[name], nanoseconds_[name] / base);
    }
  }

 private:
  std::map<std::string, double> nanoseconds_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
