// libFuzzer target: each input is a gauge script, compiled as the host compiles a
// designer's scripts and, when it compiles without an error, run on a panel that knows
// one variable. A script whose stack's depth the compiler knew everywhere, and that it did
// not warn of being short, must never find its stack short when it runs: the compiler
// follows the depth along every path for exactly that. The input's first byte is the
// stack's depth at the start (0 to 3), the values on it numbers.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "tools/gauge_host/script/calculator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const std::size_t depth = data[0] % 4;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const gauge_host::Script script =
      gauge_host::CompileScript(gauge_host::TextAt(text, {1, 1}), {"f.xml", "the script"}, depth);
  for (const std::vector<gauge_host::Diagnostic>* findings : {&script.errors, &script.warnings}) {
    for (const gauge_host::Diagnostic& finding : *findings) {
      if (finding.position.line < 1 || finding.position.column < 1) {
        std::fprintf(stderr, "a finding without its place: %s\n", gauge_host::FormatDiagnostic(finding).c_str());
        std::abort();
      }
    }
  }
  if (!script.errors.empty()) {
    return 0;
  }
  gauge_host::ScriptWorld world;
  world.panel_variables["Tvl_CallMayday"] = 1;
  world.mouse_event = "LeftSingle";
  std::vector<gauge_host::Value> stack(depth, 1.0);
  const gauge_host::ScriptRun run = gauge_host::RunScript(script, world, stack);
  // The run-time warning's own words; a string token may hold any text, but no quote.
  static const std::regex stack_short(".*: warning: '[^']*' needs [0-9]+ values? but the stack holds [0-9]+; .*");
  const bool warned_short = std::any_of(script.warnings.begin(), script.warnings.end(), [](const auto& warning) {
    return warning.message.find("but the stack holds") != std::string::npos;
  });
  for (const gauge_host::ScriptEvent& event : run.events) {
    if (script.stack_followed && !warned_short && event.kind == gauge_host::ScriptEvent::Kind::kWarning &&
        std::regex_match(event.text, stack_short)) {
      std::fprintf(stderr, "a script the compiler found sound ran its stack short: %s\n", event.text.c_str());
      std::abort();
    }
  }
  return 0;
}
