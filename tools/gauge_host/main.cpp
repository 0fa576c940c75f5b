// A gauge host that runs the real module offline: it loads a .gau as the simulator's
// panel system does, plays the panel (a service table, panel variables, frames), owns a
// real "FS98MAIN" window and provides the stand-in add-on "Travinel.dll", while it plays a
// scenario and traces what the module does. The whole scenario is checked before the
// module is even loaded, so a run never stops half-way on bad input.
//
//   tvl_gauge_host [OPTION...] [SCENARIO]      (see kHelpText for the options)
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

}  // namespace

int main() {
  // Lines end as on the terminal that shows them, without carriage returns.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);

  const gauge_host::ParsedOptions parsed = gauge_host::ParseOptions(Arguments());
  if (!parsed.error.empty()) {
    return Fail("tvl_gauge_host: error: " + parsed.error + "\nusage: tvl_gauge_host [OPTION...] [SCENARIO]; --help lists them");
  }
  const Options& options = parsed.options;
  if (options.help) {
    std::fputs(gauge_host::kHelpText, stdout);
    return 0;
  }
  if (!options.check_paths.empty()) {
    return gauge_host::RunCheck(options.check_paths);
  }

  std::string text = kDefaultScenario;
  std::string scenario_name = "default.scn";
  if (!options.scenario_path.empty()) {
    scenario_name = gauge_host::Shown(options.scenario_path, 4 * gauge_host::kShownCharacters);
    text.clear();
    std::string error;
    if (!ReadFile(options.scenario_path, text, error)) {
      return Fail(scenario_name + ": error: " + error);
    }
  }
  gauge_host::Scenario scenario = gauge_host::ParseScenario(text, scenario_name);
  const std::map<std::string, gauge_host::GaugeScripts, std::less<>> gauges =
      ReadGauges(scenario, options.scenario_path);
  gauge_host::CheckScenario(scenario, scenario_name, gauges);
  for (const gauge_host::Diagnostic& diagnostic : scenario.diagnostics) {
    std::fprintf(stderr, "%s\n", diagnostic.text.c_str());
  }
  if (const std::size_t errors = gauge_host::ErrorCount(scenario); errors != 0) {
    return Fail(scenario_name + ": " + gauge_host::Counted(errors, "error") + "; nothing was run");
  }

  const std::string directory = ExecutableDirectory();
  const std::string gau_path = options.gau_path.empty() ? directory + "\\Tvl_LvarSupport.gau" : options.gau_path;
  if (std::string error; !gauge_host::LoadGaugeModule(gau_path, error)) {
    return Fail(gauge_host::Shown(gau_path, 4 * gauge_host::kShownCharacters) + ": error: " + error);
  }
  // Opened before the run, so that a picture that cannot be written does not cost one.
  std::FILE* timeline_file = nullptr;
  if (!options.timeline_path.empty()) {
    timeline_file = _wfopen(gauge_host::Wide(options.timeline_path).c_str(), L"wb");
    if (timeline_file == nullptr) {
      return Fail(gauge_host::Shown(options.timeline_path, 4 * gauge_host::kShownCharacters) +
                  ": error: cannot be written");
    }
  }
  gauge_host::Timeline timeline = StartTimeline(scenario, scenario_name);
  const int last_line = scenario.steps.empty() ? 0 : scenario.steps.back().line;
  gauge_host::Trace trace = gauge_host::MakeTrace(options.trace, gauge_host::FrameCount(scenario), last_line,
                                                  timeline_file != nullptr ? &timeline : nullptr);
  gauge_host::StartPanel(directory + "\\Travinel.dll", options.instances, trace, gauges);
  if (options.trace != gauge_host::TraceMode::kQuiet) {
    const std::string gauges = gauge_host::Counted(static_cast<unsigned>(options.instances), "gauge");
    std::printf("module %s, scenario %s, %s on the panel\n", gau_path.c_str(), scenario_name.c_str(), gauges.c_str());
  }

  for (const gauge_host::ScenarioStep& step : scenario.steps) {
    if (std::string error; !gauge_host::PlayStep(step, scenario_name, error)) {
      return Fail(scenario_name + ":" + std::to_string(step.line) + ": error: '" + gauge_host::Shown(step.text) +
                  "': " + error);
    }
  }
  const bool all_met = gauge_host::TraceSummary(trace, scenario_name);
  if (timeline_file != nullptr) {
    const std::string svg = gauge_host::TimelineSvg(timeline);
    const bool written = std::fwrite(svg.data(), 1, svg.size(), timeline_file) == svg.size();
    if (std::fclose(timeline_file) != 0 || !written) {
      return Fail(gauge_host::Shown(options.timeline_path) + ": error: cannot be written");
    }
  }
  std::fflush(stdout);
  return all_met ? 0 : kExitUnmet;
}
