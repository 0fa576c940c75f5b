#include "tools/gauge_host/play/run.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "default_scenario.h"
#include "host/module_names.h"
#include "host/version.h"
#include "tools/gauge_host/command_line/exit_status.h"
#include "tools/gauge_host/common/text.h"
#include "tools/gauge_host/play/panel.h"
#include "tools/gauge_host/play/timeline.h"
#include "tools/gauge_host/play/trace.h"
#include "tools/gauge_host/scenario/scenario.h"
#include "tools/gauge_host/scenario/steps.h"
#include "tools/gauge_host/script/gauge_scripts.h"
#include "tools/gauge_host/windows/files.h"
#include "tools/gauge_host/xml/xml_reader.h"

namespace gauge_host {

namespace {

void Print(const Diagnostic& diagnostic) {
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", FormatDiagnostic(diagnostic).c_str());
}

// One scenario of the run: where it comes from, its steps and gauges, and its picture.
struct PlannedScenario {
  std::string path;  // as given, or found in a folder given; "" for the built-in one
  std::string name;  // as the trace shows it
  std::string text;
  Scenario scenario;
  GaugeFiles gauges;
  std::string timeline_path;
  std::FILE* timeline_file = nullptr;
};

// The gauge files of the scenario's gauge steps, each taken relative to the scenario's own
// folder, read and their scripts compiled; a file that cannot be used holds the reason.
GaugeFiles ReadGauges(const Scenario& scenario, const std::string& scenario_path) {
  const std::size_t slash = scenario_path.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? "" : scenario_path.substr(0, slash + 1);
  GaugeFiles gauges;
  for (const ScenarioStep& step : scenario.steps) {
    if (!IsStep(step, &StepPlayer::AddGauge) || gauges.count(step.gauge) != 0) {
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
    const std::string name = Shown(path, 4 * kShownCharacters);
    std::string contents;
    GaugeScripts gauge;
    if (std::optional<Diagnostic> unreadable = ReadWholeFile(path, contents)) {
      gauge.file = name;
      gauge.unusable = unreadable;
    } else if (const XmlDocument document = ReadXmlDocument(contents, name); document.not_well_formed) {
      gauge.file = name;
      gauge.unusable = document.not_well_formed;
    } else {
      gauge = GaugeScriptsOf(document.root, name);
    }
    gauges.emplace(step.gauge, std::move(gauge));
  }
  return gauges;
}

// What runs, for a report of the run: the host's version, the module's file version and
// the SHA-256 of its bytes, which tells apart two builds of one version. Or why the module
// cannot be read.
std::optional<Diagnostic> VersionLine(const std::string& gau_path, std::string& line) {
  std::string digest;
  if (std::optional<Diagnostic> unreadable = FileSha256(gau_path, digest)) {
    return unreadable;
  }
  const std::string version = FileVersion(gau_path);
  const std::size_t slash = gau_path.find_last_of("\\/");
  line = "tvl_gauge_host " TVL_VERSION_TEXT "; " + Shown(gau_path.substr(slash == std::string::npos ? 0 : slash + 1)) +
         ": " + (version.empty() ? "no version record" : "file version " + version) + ", SHA-256 " + digest;
  return std::nullopt;
}

// "run.svg" for one scenario; "run-press-length.svg" for press-length.scn among several.
std::string TimelinePathFor(const std::string& given, const std::string& scenario_path, bool several) {
  if (!several) {
    return given;
  }
  const std::size_t slash = scenario_path.find_last_of("\\/");
  std::string stem = scenario_path.substr(slash == std::string::npos ? 0 : slash + 1);
  stem = stem.substr(0, stem.size() - 4);
  const bool svg = given.size() > 4 && SameIgnoringCase(std::string_view(given).substr(given.size() - 4), ".svg");
  return (svg ? given.substr(0, given.size() - 4) : given) + "-" + stem + ".svg";
}

// Reads and checks every scenario the options name, with its gauges; prints every error
// and warning. False when a scenario cannot be used, so that nothing runs.
bool PlanScenarios(const Options& options, std::vector<PlannedScenario>& planned) {
  std::vector<std::string> paths;
  bool usable = true;
  for (const std::string& given : options.scenario_paths) {
    if (!IsFolder(given)) {
      paths.push_back(given);
    } else if (std::vector<std::string> found = FilesInFolder(given, ".scn"); !found.empty()) {
      paths.insert(paths.end(), found.begin(), found.end());
    } else {
      Print({Shown(given, 4 * kShownCharacters), {}, Severity::kError, "a folder without scenarios (*.scn)"});
      usable = false;
    }
  }
  if (options.scenario_paths.empty()) {
    planned.push_back({"", "default.scn", kDefaultScenario, {}, {}, "", nullptr});
  }
  for (const std::string& path : paths) {
    PlannedScenario scenario;
    scenario.path = path;
    scenario.name = Shown(path, 4 * kShownCharacters);
    if (std::optional<Diagnostic> unreadable = ReadWholeFile(path, scenario.text)) {
      Print(*unreadable);
      usable = false;
      continue;
    }
    planned.push_back(std::move(scenario));
  }
  for (PlannedScenario& scenario : planned) {
    scenario.scenario = ParseScenario(scenario.text, scenario.name);
    scenario.gauges = ReadGauges(scenario.scenario, scenario.path);
    CheckScenario(scenario.scenario, scenario.name, scenario.gauges);
    for (const Diagnostic& diagnostic : scenario.scenario.diagnostics) {
      Print(diagnostic);
    }
    if (const std::size_t errors = ErrorCount(scenario.scenario.diagnostics); errors != 0) {
      std::fprintf(stderr, "%s: %s; nothing was run\n", scenario.name.c_str(), Counted(errors, "error").c_str());
      usable = false;
    }
    if (!options.timeline_path.empty()) {
      scenario.timeline_path = TimelinePathFor(options.timeline_path, scenario.path, planned.size() > 1);
    }
  }
  for (std::size_t index = 0; index < planned.size(); ++index) {
    for (std::size_t earlier = 0; earlier < index && !planned[index].timeline_path.empty(); ++earlier) {
      if (SameIgnoringCase(planned[earlier].timeline_path, planned[index].timeline_path)) {
        Print({Shown(planned[index].timeline_path), {}, Severity::kError,
               planned[earlier].name + " and " + planned[index].name + " would both be drawn into it"});
        usable = false;
      }
    }
  }
  return usable;
}

// Plays one scenario from a freshly loaded module to its closing line; the problem when
// the host cannot go on to another. first: the run's first scenario; the trace of each
// later one is set apart by a blank line.
std::optional<Diagnostic> PlayScenario(const Options& options, const std::string& gau_path,
                                       const std::string& version_line, bool first, PlannedScenario& planned,
                                       RunSummary& summary) {
  const Scenario& scenario = planned.scenario;
  Timeline timeline = StartTimeline(scenario, planned.name);
  const int last_line = scenario.steps.empty() ? 0 : scenario.steps.back().line;
  Trace trace = MakeTrace(options.trace, FrameCount(scenario), last_line,
                          planned.timeline_file != nullptr ? &timeline : nullptr);
  ModulePanel panel(ExecutableDirectory() + "\\" + kAddonLibrary, options.instances, trace, planned.gauges,
                    planned.name);
  if (options.trace != TraceMode::kQuiet) {
    const std::string gauges = Counted(static_cast<unsigned>(options.instances), "gauge");
    std::printf("%s%s\nmodule %s, scenario %s, %s on the panel\n", first ? "" : "\n", version_line.c_str(),
                gau_path.c_str(), planned.name.c_str(), gauges.c_str());
  }
  bool played = true;
  for (const ScenarioStep& step : scenario.steps) {
    if (std::optional<Diagnostic> error = PlayStep(panel, step)) {
      // A script's error has its own place; Windows' failures have none.
      Print({planned.name, {step.line, 0}, Severity::kError,
             "'" + Shown(step.text) + "': " + (error->file.empty() ? error->message : FormatDiagnostic(*error))});
      summary = StoppedSummary(trace, planned.name, step.line);
      played = false;
      break;
    }
  }
  if (played) {
    summary = TraceSummary(trace, planned.name);
  }
  if (planned.timeline_file != nullptr) {
    const std::string svg = TimelineSvg(timeline);
    const bool written = std::fwrite(svg.data(), 1, svg.size(), planned.timeline_file) == svg.size();
    if (std::fclose(planned.timeline_file) != 0 || !written) {
      Print({Shown(planned.timeline_path), {}, Severity::kError, "cannot be written"});
      summary.outcome = RunSummary::Outcome::kStopped;
    }
    planned.timeline_file = nullptr;
  }
  std::fflush(stdout);
  return panel.End();
}

// The module run without --gau: beside the host, where the build puts both, or in the
// Gauges folder beside the host's own folder, where the release's archive puts it; named
// as typed from the current folder. Nothing when neither is there.
std::optional<std::string> DefaultModulePath() {
  const std::string folder = ExecutableDirectory();
  for (const std::string& path : {folder + "\\" + kModuleFile, folder + "\\..\\Gauges\\" + kModuleFile}) {
    if (!FileProblem(path)) {
      return FromCurrentFolder(path);
    }
  }
  return std::nullopt;
}

// The module to run: --gau's, or the one where the build or the release puts it; or why
// there is none.
std::optional<std::string> GauPath(const Options& options, std::optional<Diagnostic>& none) {
  if (!options.gau_path.empty()) {
    return options.gau_path;
  }
  std::optional<std::string> found = DefaultModulePath();
  if (!found) {
    none = Diagnostic{"tvl_gauge_host", {}, Severity::kError,
                      std::string("no ") + kModuleFile + " beside the host, nor in ..\\Gauges\\ beside its folder: " +
                          "give it with --gau FILE"};
  }
  return found;
}

}  // namespace

int PrintVersion(const Options& options) {
  std::string line;
  std::optional<Diagnostic> problem;
  const std::optional<std::string> gau_path = GauPath(options, problem);
  if (gau_path) {
    problem = VersionLine(*gau_path, line);
  }
  if (problem) {
    std::printf("tvl_gauge_host " TVL_VERSION_TEXT "\n");
    Print(*problem);
    return kExitUnusable;
  }
  std::printf("%s\n", line.c_str());
  return kExitAllMet;
}

int PlayScenarios(const Options& options) {
  // Every scenario is checked, and the module loaded, before the first one runs.
  std::vector<PlannedScenario> planned;
  if (!PlanScenarios(options, planned)) {
    return kExitUnusable;
  }
  std::optional<Diagnostic> no_module;
  const std::optional<std::string> gau_path = GauPath(options, no_module);
  if (!gau_path) {
    Print(*no_module);
    return kExitUnusable;
  }
  if (std::optional<Diagnostic> problem = LoadGaugeModule(*gau_path)) {
    Print(*problem);
    return kExitUnusable;
  }
  std::string version_line;
  if (std::optional<Diagnostic> problem = VersionLine(*gau_path, version_line)) {
    Print(*problem);
    return kExitUnusable;
  }
  // Opened before the run, so that a picture that cannot be written does not cost one.
  for (PlannedScenario& scenario : planned) {
    if (!scenario.timeline_path.empty()) {
      scenario.timeline_file = _wfopen(Wide(scenario.timeline_path).c_str(), L"wb");
      if (scenario.timeline_file == nullptr) {
        Print({Shown(scenario.timeline_path, 4 * kShownCharacters), {}, Severity::kError, "cannot be written"});
        return kExitUnusable;
      }
    }
  }
  std::vector<RunSummary> runs;
  for (PlannedScenario& scenario : planned) {
    if (!runs.empty()) {
      if (std::optional<Diagnostic> problem = LoadGaugeModule(*gau_path)) {
        Print(*problem);
        return kExitUnusable;
      }
    }
    const bool first = runs.empty();
    runs.emplace_back();
    if (std::optional<Diagnostic> problem = PlayScenario(options, *gau_path, version_line, first, scenario, runs.back())) {
      Print({"tvl_gauge_host", {}, Severity::kError, problem->message});
      return kExitUnusable;
    }
  }
  if (runs.size() > 1) {
    PrintTotal(stdout, runs);
  }
  std::fflush(stdout);
  auto worst = RunSummary::Outcome::kAllMet;
  for (const RunSummary& run : runs) {
    worst = std::max(worst, run.outcome);
  }
  return worst == RunSummary::Outcome::kAllMet ? kExitAllMet
         : worst == RunSummary::Outcome::kUnmet ? kExitUnmet
                                                : kExitUnusable;
}

}  // namespace gauge_host
