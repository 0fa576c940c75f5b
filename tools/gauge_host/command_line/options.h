// The gauge host's command line: which module, which scenario, how much of the run the
// trace shows, and what else is written. Each option is one row of a table, walked by one
// parser; every option may be given once.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/gauge_host/common/diagnostic.h"

namespace gauge_host {

enum class TraceMode {
  kQuiet,    // what went wrong (unmet expectations, lost presses, warnings, errors) and the summary
  kChanges,  // and, per frame, only what changed
  kFull,     // and every read and write
};

struct Options {
  std::string gau_path;       // empty: the module beside the host
  std::vector<std::string> scenario_paths;  // files and folders, in order; none: the built-in scenario
  TraceMode trace = TraceMode::kChanges;
  int instances = 1;          // gauges on the panel, each called on every frame
  std::string timeline_path;  // empty: no picture
  std::vector<std::string> check_paths;  // --check: the gauge files, panel.cfg files and folders
  std::string gauges_path;  // --gauges after --check: the simulator's gauges folder; empty: none
  bool help = false;
  bool version = false;  // the host's and the module's
};

constexpr int kMostInstances = 8;

struct ParsedOptions {
  Options options;
  std::optional<Diagnostic> problem;  // why the command line cannot be used
};

// The arguments after the program's name, as UTF-8.
ParsedOptions ParseOptions(const std::vector<std::string>& arguments);

// The text of --help: the options, the scenario steps and the exit statuses.
std::string HelpText();

}  // namespace gauge_host
