// A gauge host that runs the real module offline: it loads a .gau as the simulator's
// panel system does, plays the panel (a service table, panel variables, frames), owns a
// real main window and provides the stand-in add-on, while it plays scenarios, one after
// another, and traces what the module does; or it checks a designer's gauge files and
// panel.cfg. tools/gauge_host/README.md shows its parts.
//
//   tvl_gauge_host [OPTION...] [SCENARIO|FOLDER...]   (--help lists the options)
//   tvl_gauge_host --check PATH...                    (a designer's gauges and panel.cfg)
//   tvl_gauge_host --check AIRCRAFT_FOLDER [--gauges FOLDER]   (an aircraft, as loaded)

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "tools/gauge_host/check/check_mode.h"
#include "tools/gauge_host/command_line/exit_status.h"
#include "tools/gauge_host/command_line/options.h"
#include "tools/gauge_host/play/run.h"
#include "tools/gauge_host/windows/files.h"

int main() {
  // Lines end as on the terminal that shows them, without carriage returns.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
  gauge_host::WriteUtf8ToAConsole();

  const gauge_host::ParsedOptions parsed = gauge_host::ParseOptions(gauge_host::CommandLineArguments());
  if (parsed.problem) {
    std::fprintf(stderr, "%s\nusage: tvl_gauge_host [OPTION...] [SCENARIO|FOLDER...]; --help lists them\n",
                 gauge_host::FormatDiagnostic(*parsed.problem).c_str());
    return gauge_host::kExitUnusable;
  }
  const gauge_host::Options& options = parsed.options;
  if (options.help) {
    std::fputs(gauge_host::HelpText().c_str(), stdout);
    return gauge_host::kExitAllMet;
  }
  if (options.version) {
    return gauge_host::PrintVersion(options);
  }
  if (!options.check_paths.empty()) {
    return gauge_host::RunCheck(options.check_paths, options.gauges_path);
  }
  return gauge_host::PlayScenarios(options);
}
