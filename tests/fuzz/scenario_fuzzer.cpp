// libFuzzer target: each input is a scenario file, read and checked as the gauge host
// reads and checks a designer's scenario before anything runs. Every step read names its
// row of the table of steps, and every diagnostic stands at a line of the file.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "tools/gauge_host/scenario/scenario.h"
#include "tools/gauge_host/scenario/steps.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  gauge_host::Scenario scenario = gauge_host::ParseScenario(text, "f.scn");
  gauge_host::CheckScenario(scenario, "f.scn", {});
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  for (const gauge_host::ScenarioStep& step : scenario.steps) {
    if (step.row == nullptr || step.line < 1 || step.line > lines) {
      std::fprintf(stderr, "a step without its row or outside the file, at line %d\n", step.line);
      std::abort();
    }
  }
  for (const gauge_host::Diagnostic& diagnostic : scenario.diagnostics) {
    if (diagnostic.file != "f.scn" || diagnostic.position.line < 1 || diagnostic.position.line > lines) {
      std::fprintf(stderr, "a diagnostic outside the file: %s\n", gauge_host::FormatDiagnostic(diagnostic).c_str());
      std::abort();
    }
  }
  gauge_host::FrameCount(scenario);
  return 0;
}
