// libFuzzer target: each input is a gauge script, compiled as the host compiles a
// designer's scripts and, when it compiles without an error, run on a panel that knows
// one variable. A script that compiled cleanly, its stack's depth known everywhere, must
// never run its stack dry: the compiler follows the depth along every path for exactly
// that. The input's first byte is
// the stack's depth at the start (0 to 3), the values on it numbers.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <regex>
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
  for (const gauge_host::Diagnostic& error : script.errors) {
    if (error.position.line < 1 || error.position.column < 1) {
      std::fprintf(stderr, "an error without its place: %s\n", gauge_host::FormatDiagnostic(error).c_str());
      std::abort();
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
  // The run-time check's own words; a string token may hold any text, but no quote.
  static const std::regex stack_dry("'[^']*' needs [0-9]+ values? but the stack holds [0-9]+ in the script");
  if (script.stack_followed && run.error && std::regex_match(run.error->message, stack_dry)) {
    std::fprintf(stderr, "a script that compiled cleanly ran its stack dry: %s\n",
                 gauge_host::FormatDiagnostic(*run.error).c_str());
    std::abort();
  }
  return 0;
}
