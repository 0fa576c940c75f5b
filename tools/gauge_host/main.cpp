// A gauge host that runs the real module offline: it loads a .gau as the simulator's
// panel system does, plays the panel (a service table, panel variables, frames), owns a
// real "FS98MAIN" window and provides the stand-in add-on "Travinel.dll", while it plays
// scenarios, one after another, and traces what the module does. Every scenario is checked
// before the module is even loaded, so a run never stops half-way on bad input.
//
//   tvl_gauge_host [OPTION...] [SCENARIO|FOLDER...]   (see kHelpText for the options)
//   tvl_gauge_host --check PATH...             (a designer's gauges and panel.cfg)

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "default_scenario.h"
#include "tools/gauge_host/check_mode.h"
#include "tools/gauge_host/options.h"
#include "tools/gauge_host/panel_host.h"
#include "tools/gauge_host/gauge_scripts.h"
#include "tools/gauge_host/xml_reader.h"
#include "tools/gauge_host/scenario.h"
#include "tools/gauge_host/text.h"
#include "tools/gauge_host/timeline.h"
#include "tools/gauge_host/trace.h"

namespace {

using gauge_host::Options;

constexpr int kExitUnmet = 1;
constexpr int kExitUnusable = 2;

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
  utf8.pop_back();
  return utf8;
}

// The arguments as typed, in UTF-8 whatever the Windows code page.
std::vector<std::string> Arguments() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> utf8;
  for (int index = 1; index < count; ++index) {
    utf8.push_back(Utf8(arguments[index]));
  }
  LocalFree(arguments);
  return utf8;
}

int Fail(const std::string& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", message.c_str());
  return kExitUnusable;
}

// The file's bytes; false, with the reason, when there are none to read.
bool ReadFile(const std::string& path, std::string& contents, std::string& error) {
  error = gauge_host::FileProblem(path);
  if (!error.empty()) {
    return false;
  }
  std::FILE* file = _wfopen(gauge_host::Wide(path).c_str(), L"rb");
  if (file == nullptr) {
    error = "cannot be read";
    return false;
  }
  char buffer[1 << 14];
  for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, file)) != 0;) {
    contents.append(buffer, read);
  }
  std::fclose(file);
  return true;
}

// The gauge files of the scenario's gauge steps, each taken relative to the scenario's own
// folder, read and their scripts compiled; a file that cannot be used holds the reason.
std::map<std::string, gauge_host::GaugeScripts, std::less<>> ReadGauges(const gauge_host::Scenario& scenario,
                                                                        const std::string& scenario_path) {
  const std::size_t slash = scenario_path.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? "" : scenario_path.substr(0, slash + 1);
  std::map<std::string, gauge_host::GaugeScripts, std::less<>> gauges;
  for (const gauge_host::ScenarioStep& step : scenario.steps) {
    if (step.kind != gauge_host::StepKind::kGauge || gauges.count(step.file) != 0) {
      continue;
    }
    const bool absolute = step.file.find(':') != std::string::npos || step.file[0] == '\\' || step.file[0] == '/';
    std::string relative = step.file;
    // Joined in the style of the scenario's own path, so that one typed with backslashes
    // names the gauge file with backslashes throughout.
    if (!folder.empty() && folder.back() == '\\') {
      std::replace(relative.begin(), relative.end(), '/', '\\');
    }
    const std::string path = absolute ? step.file : folder + relative;
    const std::string name = gauge_host::Shown(path, 4 * gauge_host::kShownCharacters);
    std::string contents;
    std::string error;
    gauge_host::GaugeScripts gauge;
    if (!ReadFile(path, contents, error)) {
      gauge.file = name;
      gauge.errors.push_back(name + ": error: " + error);
    } else if (const gauge_host::XmlDocument document = gauge_host::ReadXmlDocument(contents); !document.well_formed) {
      gauge.file = name;
      gauge.errors.push_back(name + ":" + std::to_string(document.error_position.line) + ":" +
                             std::to_string(document.error_position.column) +
                             ": error: not well-formed XML: " + document.error);
    } else {
      gauge = gauge_host::GaugeScriptsOf(document.root, name);
    }
    gauges.emplace(step.file, std::move(gauge));
  }
  return gauges;
}

std::string ExecutableDirectory() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::string directory = Utf8(std::wstring(path, length).c_str());
  return directory.substr(0, directory.find_last_of("\\/"));
}

// One scenario of the run: where it comes from, its steps and gauges, and its picture.
struct PlannedScenario {
  std::string path;  // as given, or found in a folder given; "" for the built-in one
  std::string name;  // as the trace shows it
  std::string text;
  gauge_host::Scenario scenario;
  std::map<std::string, gauge_host::GaugeScripts, std::less<>> gauges;
  std::string timeline_path;
  std::FILE* timeline_file = nullptr;
};

// The *.scn files of a folder, in name order, each joined to the folder as it was written.
std::vector<std::string> ScenariosInFolder(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  // Joined as Windows joins paths, unless the folder was written with forward slashes.
  const std::string separator = folder.find('/') != std::string::npos ? "/" : "\\";
  const std::string prefix = folder.back() == '\\' || folder.back() == '/' ? folder : folder + separator;
  HANDLE search = FindFirstFileW(gauge_host::Wide(prefix + "*.scn").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return names;
  }
  do {
    const std::string name = Utf8(found.cFileName);
    // "*.scn" also matches longer extensions through their short names ("a.scnx").
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && name.size() > 4 &&
        _stricmp(name.c_str() + name.size() - 4, ".scn") == 0) {
      names.push_back(name);
    }
  } while (FindNextFileW(search, &found) != 0);
  FindClose(search);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const int folded = _stricmp(a.c_str(), b.c_str());
    return folded != 0 ? folded < 0 : a < b;
  });
  for (std::string& name : names) {
    name = prefix + name;
  }
  return names;
}

// "run.svg" for one scenario; "run-press-length.svg" for press-length.scn among several.
std::string TimelinePathFor(const std::string& given, const std::string& scenario_path, bool several) {
  if (!several) {
    return given;
  }
  const std::size_t slash = scenario_path.find_last_of("\\/");
  std::string stem = scenario_path.substr(slash == std::string::npos ? 0 : slash + 1);
  stem = stem.substr(0, stem.size() - 4);
  const bool svg = given.size() > 4 && _stricmp(given.c_str() + given.size() - 4, ".svg") == 0;
  return (svg ? given.substr(0, given.size() - 4) : given) + "-" + stem + ".svg";
}

// Reads and checks every scenario the options name, with its gauges; prints every error
// and warning. False when a scenario cannot be used, so that nothing runs.
bool PlanScenarios(const Options& options, std::vector<PlannedScenario>& planned) {
  std::vector<std::string> paths;
  bool usable = true;
  for (const std::string& given : options.scenario_paths) {
    const std::string shown = gauge_host::Shown(given, 4 * gauge_host::kShownCharacters);
    if (gauge_host::FileProblem(given) != "is a directory") {
      paths.push_back(given);
    } else if (std::vector<std::string> found = ScenariosInFolder(given); !found.empty()) {
      paths.insert(paths.end(), found.begin(), found.end());
    } else {
      std::fprintf(stderr, "%s: error: a folder without scenarios (*.scn)\n", shown.c_str());
      usable = false;
    }
  }
  if (options.scenario_paths.empty()) {
    planned.push_back({"", "default.scn", kDefaultScenario, {}, {}, "", nullptr});
  }
  for (const std::string& path : paths) {
    PlannedScenario scenario;
    scenario.path = path;
    scenario.name = gauge_host::Shown(path, 4 * gauge_host::kShownCharacters);
    if (std::string error; !ReadFile(path, scenario.text, error)) {
      std::fprintf(stderr, "%s: error: %s\n", scenario.name.c_str(), error.c_str());
      usable = false;
      continue;
    }
    planned.push_back(std::move(scenario));
  }
  for (PlannedScenario& scenario : planned) {
    scenario.scenario = gauge_host::ParseScenario(scenario.text, scenario.name);
    scenario.gauges = ReadGauges(scenario.scenario, scenario.path);
    gauge_host::CheckScenario(scenario.scenario, scenario.name, scenario.gauges);
    for (const gauge_host::Diagnostic& diagnostic : scenario.scenario.diagnostics) {
      std::fprintf(stderr, "%s\n", diagnostic.text.c_str());
    }
    if (const std::size_t errors = gauge_host::ErrorCount(scenario.scenario); errors != 0) {
      std::fprintf(stderr, "%s: %s; nothing was run\n", scenario.name.c_str(),
                   gauge_host::Counted(errors, "error").c_str());
      usable = false;
    }
    if (!options.timeline_path.empty()) {
      scenario.timeline_path = TimelinePathFor(options.timeline_path, scenario.path, planned.size() > 1);
    }
  }
  for (std::size_t index = 0; index < planned.size(); ++index) {
    for (std::size_t earlier = 0; earlier < index && !planned[index].timeline_path.empty(); ++earlier) {
      if (_stricmp(planned[earlier].timeline_path.c_str(), planned[index].timeline_path.c_str()) == 0) {
        std::fprintf(stderr, "%s: error: %s and %s would both be drawn into it\n",
                     gauge_host::Shown(planned[index].timeline_path).c_str(), planned[earlier].name.c_str(),
                     planned[index].name.c_str());
        usable = false;
      }
    }
  }
  return usable;
}

// One row for each variable the scenario sets or expects, in the order it first does,
// then the add-on's sign.
gauge_host::Timeline StartTimeline(const gauge_host::Scenario& scenario, const std::string& scenario_name) {
  gauge_host::Timeline timeline;
  timeline.frames = gauge_host::FrameCount(scenario);
  timeline.title = "Tvl_LvarSupport: " + scenario_name + ", " + gauge_host::Counted(timeline.frames, "frame");
  for (const gauge_host::ScenarioStep& step : scenario.steps) {
    if (!step.name.empty() && gauge_host::FindTimelineRow(timeline, step.name) == nullptr) {
      timeline.rows.push_back({step.name, {}, {}});
    }
  }
  timeline.rows.push_back({"add-on's seat-belt sign", {}, {}});
  return timeline;
}

// Plays one scenario from a freshly loaded module to its closing line; false, with the
// reason, when the host cannot go on to another.
// first: the run's first scenario; the trace of each later one is set apart by a blank line.
bool PlayScenario(const Options& options, const std::string& gau_path, bool first, PlannedScenario& planned,
                  gauge_host::RunSummary& summary, std::string& error) {
  const gauge_host::Scenario& scenario = planned.scenario;
  gauge_host::Timeline timeline = StartTimeline(scenario, planned.name);
  const int last_line = scenario.steps.empty() ? 0 : scenario.steps.back().line;
  gauge_host::Trace trace = gauge_host::MakeTrace(options.trace, gauge_host::FrameCount(scenario), last_line,
                                                  planned.timeline_file != nullptr ? &timeline : nullptr);
  gauge_host::StartPanel(ExecutableDirectory() + "\\Travinel.dll", options.instances, trace, planned.gauges);
  if (options.trace != gauge_host::TraceMode::kQuiet) {
    const std::string gauges = gauge_host::Counted(static_cast<unsigned>(options.instances), "gauge");
    std::printf("%smodule %s, scenario %s, %s on the panel\n", first ? "" : "\n", gau_path.c_str(),
                planned.name.c_str(), gauges.c_str());
  }
  bool played = true;
  for (const gauge_host::ScenarioStep& step : scenario.steps) {
    if (std::string step_error; !gauge_host::PlayStep(step, planned.name, step_error)) {
      std::fflush(stdout);
      std::fprintf(stderr, "%s:%d: error: '%s': %s\n", planned.name.c_str(), step.line,
                   gauge_host::Shown(step.text).c_str(), step_error.c_str());
      summary = gauge_host::StoppedSummary(trace, planned.name, step.line);
      played = false;
      break;
    }
  }
  if (played) {
    summary = gauge_host::TraceSummary(trace, planned.name);
  }
  if (planned.timeline_file != nullptr) {
    const std::string svg = gauge_host::TimelineSvg(timeline);
    const bool written = std::fwrite(svg.data(), 1, svg.size(), planned.timeline_file) == svg.size();
    if (std::fclose(planned.timeline_file) != 0 || !written) {
      std::fprintf(stderr, "%s: error: cannot be written\n", gauge_host::Shown(planned.timeline_path).c_str());
      summary.outcome = gauge_host::RunSummary::Outcome::kStopped;
    }
    planned.timeline_file = nullptr;
  }
  std::fflush(stdout);
  return gauge_host::EndPanel(error);
}

}  // namespace

int main() {
  // Lines end as on the terminal that shows them, without carriage returns.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);

  const gauge_host::ParsedOptions parsed = gauge_host::ParseOptions(Arguments());
  if (!parsed.error.empty()) {
    return Fail("tvl_gauge_host: error: " + parsed.error +
                "\nusage: tvl_gauge_host [OPTION...] [SCENARIO|FOLDER...]; --help lists them");
  }
  const Options& options = parsed.options;
  if (options.help) {
    std::fputs(gauge_host::kHelpText, stdout);
    return 0;
  }
  if (!options.check_paths.empty()) {
    return gauge_host::RunCheck(options.check_paths);
  }

  // Every scenario is checked, and the module loaded, before the first one runs.
  std::vector<PlannedScenario> planned;
  if (!PlanScenarios(options, planned)) {
    return kExitUnusable;
  }
  const std::string gau_path =
      options.gau_path.empty() ? ExecutableDirectory() + "\\Tvl_LvarSupport.gau" : options.gau_path;
  if (std::string error; !gauge_host::LoadGaugeModule(gau_path, error)) {
    return Fail(gauge_host::Shown(gau_path, 4 * gauge_host::kShownCharacters) + ": error: " + error);
  }
  // Opened before the run, so that a picture that cannot be written does not cost one.
  for (PlannedScenario& scenario : planned) {
    if (!scenario.timeline_path.empty()) {
      scenario.timeline_file = _wfopen(gauge_host::Wide(scenario.timeline_path).c_str(), L"wb");
      if (scenario.timeline_file == nullptr) {
        return Fail(gauge_host::Shown(scenario.timeline_path, 4 * gauge_host::kShownCharacters) +
                    ": error: cannot be written");
      }
    }
  }

  std::vector<gauge_host::RunSummary> runs;
  for (PlannedScenario& scenario : planned) {
    std::string error;
    if (!runs.empty() && !gauge_host::LoadGaugeModule(gau_path, error)) {
      return Fail(gauge_host::Shown(gau_path, 4 * gauge_host::kShownCharacters) + ": error: " + error);
    }
    const bool first = runs.empty();
    runs.emplace_back();
    if (!PlayScenario(options, gau_path, first, scenario, runs.back(), error)) {
      return Fail("tvl_gauge_host: error: " + error);
    }
  }
  if (runs.size() > 1) {
    gauge_host::PrintTotal(stdout, runs);
  }
  std::fflush(stdout);
  auto worst = gauge_host::RunSummary::Outcome::kAllMet;
  for (const gauge_host::RunSummary& run : runs) {
    worst = std::max(worst, run.outcome);
  }
  return worst == gauge_host::RunSummary::Outcome::kAllMet ? 0
         : worst == gauge_host::RunSummary::Outcome::kUnmet ? kExitUnmet
                                                            : kExitUnusable;
}
