#include "tools/gauge_host/command_line/options.h"

#include <algorithm>

#include "tools/gauge_host/common/text.h"
#include "tools/gauge_host/scenario/steps.h"

namespace gauge_host {

std::string HelpText() {
  return
    "usage: tvl_gauge_host [OPTION...] [SCENARIO|FOLDER...]\n"
    "       tvl_gauge_host --check PATH...\n"
    "       tvl_gauge_host --check AIRCRAFT_FOLDER [--gauges FOLDER]\n"
    "Runs the gauge module offline as the simulator's panel does, through each SCENARIO in\n"
    "turn, and every *.scn file of each FOLDER in name order (the built-in scenario when\n"
    "none is given), and prints what the module does. Each scenario starts as if alone: the\n"
    "module freshly loaded, the add-on not loaded, the panel's variables empty.\n"
    "\n"
    "Options:\n"
    "  --gau FILE         the build of Tvl_LvarSupport.gau to run: a gauge module whose\n"
    "                     first gauge is Switches (default: Tvl_LvarSupport.gau beside\n"
    "                     the host, else in ..\\Gauges\\ beside its folder, as packaged)\n"
    "  --trace changes    per frame, only what changed: reads of a new value, writes that\n"
    "                     change a value, chords, add-on changes and events (the default)\n"
    "  --trace full       every read and write of every frame\n"
    "  --quiet            only what went wrong: unmet expectations, lost presses,\n"
    "                     chords not delivered, warnings and errors; and the summary\n"
    "  --instances N      call the gauge N times a frame (1 to 8), as a panel that lists\n"
    "                     it twice does (in the 2D panel and in the virtual cockpit)\n"
    "  --timeline FILE    draw the run into FILE, an SVG picture; with several\n"
    "                     scenarios, one picture each, FILE-SCENARIO.svg\n"
    "  --check PATH...    checks gauge files (*.xml) and panel.cfg files, folders\n"
    "                     searched, instead of running the module; given alone\n"
    "  --check AIRCRAFT_FOLDER [--gauges FOLDER]\n"
    "                     checks an aircraft as the simulator loads it: each variation's\n"
    "                     panel.cfg and the gauges its lines name, found in the panel\n"
    "                     folder or in FOLDER, the simulator's gauges folder\n"
    "  --version          the host's version, and the module's file version and\n"
    "                     SHA-256, as the first line of every trace shows them\n"
    "  -h, --help, /?     this text\n"
    "\n"
    "Scenario steps, one a line; '#' starts a comment:\n" +
    StepsHelp() +
    "A gauge FILE is taken relative to the scenario's own folder.\n"
    "\n"
    "Exit status:\n"
    "  0  every expectation met\n"
    "  1  an expectation not met\n"
    "  2  the options, a scenario, a gauge file or the module cannot be used, and\n"
    "     nothing was run; or an eval step's script failed as it ran, which stops its\n"
    "     scenario (a gauge's script that fails stops only that run, with a warning)\n"
    "  3  (scripts/run only) the module could not be built\n"
    "With several scenarios, the worst of theirs.\n"
    "With --check:\n"
    "  0  no error (warnings allowed)\n"
    "  1  an error in the files checked\n"
    "  2  a path cannot be read\n";
}

namespace {

// An option's value, as written after it, into the options; "" when taken, else why not.
using TakeValue = std::string (*)(const std::string& value, Options& options);

struct OptionRow {
  const char* name;
  const char* value_name;  // as in "--gau needs a FILE"; nullptr for an option without a value
  bool chooses_trace;      // of the options that choose the trace, one may be given
  TakeValue take;
};

constexpr OptionRow kOptionRows[] = {
    {"--gau", "a FILE", false,
     [](const std::string& value, Options& options) {
       options.gau_path = value;
       return std::string();
     }},
    {"--trace", "changes or full", true,
     [](const std::string& value, Options& options) {
       if (value != "changes" && value != "full") {
         return "--trace is changes or full, not '" + Shown(value) + "'";
       }
       options.trace = value == "full" ? TraceMode::kFull : TraceMode::kChanges;
       return std::string();
     }},
    {"--quiet", nullptr, true,
     [](const std::string&, Options& options) {
       options.trace = TraceMode::kQuiet;
       return std::string();
     }},
    {"--instances", "a number N", false,
     [](const std::string& value, Options& options) {
       const bool digits = !value.empty() && value.size() <= 2 &&
                           std::all_of(value.begin(), value.end(), IsDigit);
       const int count = digits ? std::stoi(value) : 0;
       if (count < 1 || count > kMostInstances) {
         return "--instances is from 1 to " + std::to_string(kMostInstances) + ", not '" + Shown(value) + "'";
       }
       options.instances = count;
       return std::string();
     }},
    {"--timeline", "a FILE", false,
     [](const std::string& value, Options& options) {
       options.timeline_path = value;
       return std::string();
     }},
    {"--version", nullptr, false,
     [](const std::string&, Options& options) {
       options.version = true;
       return std::string();
     }},
    {"--help", nullptr, false,
     [](const std::string&, Options& options) {
       options.help = true;
       return std::string();
     }},
};

// What else asks for --help: Windows' own way, and the short one.
bool AsksForHelp(const std::string& argument) { return argument == "-h" || argument == "/?" || argument == "-?"; }

const OptionRow* FindOption(const std::string& argument) {
  const std::string name = AsksForHelp(argument) ? "--help" : argument;
  for (const OptionRow& row : kOptionRows) {
    if (name == row.name) {
      return &row;
    }
  }
  return nullptr;
}

// Why an option cannot be given after those given before it.
std::optional<std::string> ClashWithEarlier(const OptionRow& row, const std::vector<const OptionRow*>& given) {
  for (const OptionRow* earlier : given) {
    if (earlier == &row) {
      return std::string(row.name) + " is given twice";
    }
    if (earlier->chooses_trace && row.chooses_trace) {
      return std::string(earlier->name) + " and " + row.name + " both choose the trace: give one";
    }
  }
  return std::nullopt;
}

// What comes before --check is for playing scenarios, which it does not do: why it cannot
// be given.
std::optional<std::string> IgnoredBeforeCheck(const std::vector<const OptionRow*>& given,
                                              const std::vector<std::string>& scenario_paths) {
  std::vector<std::string> ignored;
  ignored.reserve(given.size() + scenario_paths.size());
  for (const OptionRow* row : given) {
    ignored.emplace_back(row->name);
  }
  for (const std::string& path : scenario_paths) {
    ignored.push_back("'" + Shown(path) + "'");
  }
  if (ignored.empty()) {
    return std::nullopt;
  }
  return "--check only checks the paths after it, so " + Together(ignored) +
         " before it would be ignored: give --check alone, with its paths";
}

// The arguments after --check, from `first`: every one a path to check, apart from
// --gauges FOLDER; "" when taken, else why not.
std::string TakeCheckArguments(const std::vector<std::string>& arguments, std::size_t first, Options& options) {
  for (std::size_t index = first; index < arguments.size(); ++index) {
    if (arguments[index] != "--gauges") {
      options.check_paths.push_back(arguments[index]);
    } else if (index + 1 == arguments.size()) {
      return "--gauges needs a FOLDER";
    } else if (!options.gauges_path.empty()) {
      return "--gauges is given twice";
    } else {
      options.gauges_path = arguments[++index];
    }
  }
  return options.check_paths.empty() ? "--check needs a PATH" : "";
}

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& arguments) {
  ParsedOptions parsed;
  std::vector<const OptionRow*> given;
  const auto fail = [&](const std::string& error) {
    parsed.problem = Diagnostic{"tvl_gauge_host", {}, Severity::kError, error};
    return parsed;
  };
  for (std::size_t index = 0; index < arguments.size(); ++index) {
    const std::string& argument = arguments[index];
    if ((argument.empty() || argument[0] != '-' || argument == "-") && !AsksForHelp(argument)) {
      parsed.options.scenario_paths.push_back(argument);
      continue;
    }
    if (argument == "--check") {
      if (const std::string error = TakeCheckArguments(arguments, index + 1, parsed.options); !error.empty()) {
        return fail(error);
      }
      if (std::optional<std::string> ignored = IgnoredBeforeCheck(given, parsed.options.scenario_paths)) {
        return fail(*ignored);
      }
      return parsed;
    }
    const OptionRow* row = FindOption(argument);
    if (row == nullptr) {
      return fail("unknown option '" + Shown(argument) + "'");
    }
    if (std::optional<std::string> clash = ClashWithEarlier(*row, given)) {
      return fail(*clash);
    }
    given.push_back(row);
    std::string value;
    if (row->value_name != nullptr) {
      if (index + 1 == arguments.size() || FindOption(arguments[index + 1]) != nullptr) {
        return fail(std::string(row->name) + " needs " + row->value_name);
      }
      value = arguments[++index];
    }
    if (std::string error = row->take(value, parsed.options); !error.empty()) {
      return fail(error);
    }
  }
  return parsed;
}

}  // namespace gauge_host
