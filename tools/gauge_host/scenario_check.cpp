// The check of a parsed scenario against the state its earlier steps leave: the add-on as
// the host loads and frees it, and as the module pins it once it has found its record,
// and the main window. The host plays these same rules, so a step that passes here can be
// played.
#include <algorithm>

#include "tools/gauge_host/scenario.h"
#include "tools/gauge_host/text.h"

namespace gauge_host {

namespace {

struct CheckedState {
  int addon_loads = 0;               // by the scenario, not yet freed
  bool addon_mapped = false;         // its library is in the process
  bool export_holds_record = false;  // what a fresh library's export holds
  bool addon_found = false;          // the module found the record and pinned the library
  bool main_window = true;           // a simulator starts with its main window
  std::vector<std::string> gauges;   // on the panel, by the scenario's gauge steps
};

// Why the step cannot be played in this state, or "" when it can; the state is then
// what the step leaves.
std::string Play(const ScenarioStep& step, CheckedState& state,
                 const std::map<std::string, GaugeScripts, std::less<>>& gauges) {
  const bool on_panel = std::find(state.gauges.begin(), state.gauges.end(), step.file) != state.gauges.end();
  switch (step.kind) {
    case StepKind::kGauge:
      if (on_panel) {
        return "the gauge " + Shown(step.file) + " is on the panel already";
      }
      state.gauges.push_back(step.file);
      return "";
    case StepKind::kClick: {
      const auto gauge = gauges.find(step.file);
      if (!on_panel || gauge == gauges.end()) {
        return "the gauge " + Shown(step.file) + " is not on the panel: a step 'gauge " + Shown(step.file) +
               "' comes first";
      }
      std::string problem;
      FindClickableArea(gauge->second, step.area, step.event, problem);
      return problem;
    }
    case StepKind::kEval:
    case StepKind::kSetSimulation:
      return "";
    case StepKind::kFrames:
      state.addon_found = state.addon_found || (state.addon_mapped && state.export_holds_record);
      return "";
    case StepKind::kAddonLoad:
      if (!state.addon_mapped) {
        state.addon_mapped = true;
        state.export_holds_record = true;
      }
      ++state.addon_loads;
      return "";
    case StepKind::kAddonFree:
      if (state.addon_loads == 0) {
        return state.addon_mapped ? "the scenario has freed every load of the add-on (the module keeps it loaded)"
                                  : "the add-on is not loaded";
      }
      --state.addon_loads;
      state.addon_mapped = state.addon_loads > 0 || state.addon_found;
      return "";
    case StepKind::kAddonExportNull:
    case StepKind::kAddonExportRecord:
    case StepKind::kAddonSeatbelt:
      if (!state.addon_mapped) {
        return "the add-on is not loaded: 'addon load' comes first";
      }
      if (step.kind != StepKind::kAddonSeatbelt) {
        state.export_holds_record = step.kind == StepKind::kAddonExportRecord;
      }
      return "";
    case StepKind::kWindowCreate:
      if (state.main_window) {
        return "the main window is already there";
      }
      state.main_window = true;
      return "";
    case StepKind::kWindowDestroy:
      if (!state.main_window) {
        return "there is no main window";
      }
      state.main_window = false;
      return "";
    case StepKind::kSet:
    case StepKind::kExpectVariable:
    case StepKind::kExpectAddonSeatbelt:
    case StepKind::kExpectChords:
      return "";
  }
  return "";
}

}  // namespace

void CheckScenario(Scenario& scenario, const std::string& file_name,
                   const std::map<std::string, GaugeScripts, std::less<>>& gauges) {
  CheckedState state;
  for (const ScenarioStep& step : scenario.steps) {
    // A gauge's own errors, reported where the gauge joins the panel.
    if (const auto gauge = gauges.find(step.file); step.kind == StepKind::kGauge && gauge != gauges.end()) {
      for (const std::string& error : gauge->second.errors) {
        scenario.diagnostics.push_back({step.line, true, error});
      }
    }
    const std::string problem = Play(step, state, gauges);
    if (!problem.empty()) {
      scenario.diagnostics.push_back(
          MakeDiagnostic(file_name, step.line, true, "'" + Shown(step.text) + "': " + problem));
    }
  }
  if (FrameCount(scenario) == 0 && ErrorCount(scenario) == 0) {
    const int line = scenario.steps.empty() ? 1 : scenario.steps.back().line;
    scenario.diagnostics.push_back(
        MakeDiagnostic(file_name, line, false, "the scenario runs no frame, so the module does nothing"));
  }
  std::stable_sort(scenario.diagnostics.begin(), scenario.diagnostics.end(),
                   [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
}

}  // namespace gauge_host
