// What the gauge host's calculator costs a panel: twenty gauges, each with an <Update>
// script and three element <Value> scripts of the kind published gauges have (a push
// button that releases itself 0.3 s after its press, timed from P: time and held in G:
// variables; a light that blinks; panel variables written every frame), compiled once and
// run for 64,800 frames, an hour at 18 frames a second. Prints the frames a second of each
// of five runs and their median.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/gauge_host/script/calculator.h"

namespace {

constexpr int kGauges = 20;
constexpr int kFrames = 64800;
constexpr int kRuns = 5;

struct BenchGauge {
  gauge_host::Script update;
  std::vector<gauge_host::Script> values;
  std::array<double, 9> variables{};
  std::string button;  // the panel variable a click would set
};

gauge_host::Script Compiled(const std::string& text) {
  gauge_host::Script script = gauge_host::CompileScript(gauge_host::TextAt(text, {1, 1}), {"bench.xml", "a script"}, 0);
  if (!script.errors.empty()) {
    std::fprintf(stderr, "%s\n", gauge_host::FormatDiagnostic(script.errors.front()).c_str());
    std::exit(1);
  }
  return script;
}

std::vector<BenchGauge> Gauges() {
  std::vector<BenchGauge> gauges(kGauges);
  for (int index = 0; index < kGauges; ++index) {
    const std::string n = std::to_string(index);
    BenchGauge& gauge = gauges[static_cast<std::size_t>(index)];
    gauge.button = "Tvl_Button" + n;
    gauge.update = Compiled(
        "(L:Tvl_Button" + n + ", bool) if{ (P:Absolute time, seconds) (>G:Var1) 0 (>L:Tvl_Button" + n +
        ", bool) 1 (>G:Var2) 1 (>L:Tvl_Command" + n + ", number) }\n"
        "(G:Var2) if{ (P:Absolute time, seconds) (G:Var1) - 0.3 > if{ 0 (>G:Var2) 0 (>L:Tvl_Command" + n +
        ", number) } }\n"
        "(A:ELECTRICAL MASTER BATTERY, bool) (A:CIRCUIT GENERAL PANEL ON, bool) and (>G:Var3)");
    gauge.values.push_back(Compiled("(G:Var2) (G:Var3) and"));
    gauge.values.push_back(
        Compiled("(L:Tvl_Command" + n + ", number) 0 == if{ 0 } els{ (L:Tvl_Light" + n + ", number) 2 * }"));
    gauge.values.push_back(Compiled("(E:ABSOLUTE TIME, second) 2 % 1 < (G:Var3) and d (>L:Tvl_Blink" + n +
                                    ", number) if{ 30 20 10 3 (L:Tvl_Light" + n + ", enum) case } els{ 0 }"));
  }
  return gauges;
}

// One hour of frames: each gauge's button pressed every five seconds, at its own frame.
double FramesPerSecond(std::vector<BenchGauge>& gauges) {
  gauge_host::ScriptWorld world;
  gauge_host::SetKeptVariable(world, "A", "ELECTRICAL MASTER BATTERY", "bool", 1.0);
  gauge_host::SetKeptVariable(world, "A", "CIRCUIT GENERAL PANEL ON", "bool", 1.0);
  std::vector<gauge_host::Value> stack;
  std::size_t events = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int frame = 0; frame < kFrames; ++frame) {
    world.elapsed_seconds = frame / world.frames_per_second;
    for (int index = 0; index < kGauges; ++index) {
      BenchGauge& gauge = gauges[static_cast<std::size_t>(index)];
      if (frame % 90 == index) {
        world.panel_variables[gauge.button] = 1;
      }
      world.gauge_variables = &gauge.variables;
      events += gauge_host::RunScript(gauge.update, world, stack).events.size();
      for (const gauge_host::Script& value : gauge.values) {
        stack.clear();
        events += gauge_host::RunScript(value, world, stack).events.size();
      }
    }
  }
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  if (events < static_cast<std::size_t>(kFrames) * kGauges) {
    std::fprintf(stderr, "the scripts wrote less than a variable a gauge a frame: %zu events\n", events);
    std::exit(1);
  }
  return kFrames / seconds.count();
}

}  // namespace

int main() {
  std::vector<double> rates;
  for (int run = 0; run < kRuns; ++run) {
    std::vector<BenchGauge> gauges = Gauges();
    rates.push_back(FramesPerSecond(gauges));
    std::printf("run %d: %.0f frames a second\n", run + 1, rates.back());
  }
  std::sort(rates.begin(), rates.end());
  std::printf("%d gauges, %d frames: median %.0f frames a second (%.1f us a frame; the simulator draws 18)\n",
              kGauges, kFrames, rates[kRuns / 2], 1e6 / rates[kRuns / 2]);
  return 0;
}
