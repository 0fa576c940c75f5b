// The panel the gauge host plays scenarios on: the real module loaded as the simulator's
// panel system loads it, its calls to the panel and to Windows watched and reported to
// the trace, the main window that receives its chords, the stand-in add-on the scenario
// loads, and the designer's gauges. Windows only; one panel at a time, as the module's
// calls reach it through plain functions.
#pragma once

#include <optional>
#include <string>

#include "tools/gauge_host/common/diagnostic.h"
#include "tools/gauge_host/play/trace.h"
#include "tools/gauge_host/scenario/scenario.h"
#include "tools/gauge_host/scenario/steps.h"

namespace gauge_host {

// Loads the module at path (UTF-8) and finds its gauge "Switches"; the problem, in the
// designer's words, when that module cannot be run. Loaded afresh for each scenario, from
// its start to its panel's End.
std::optional<Diagnostic> LoadGaugeModule(const std::string& path);

class ModulePanel : public StepPlayer {
 public:
  // Around the loaded module: the main window is there, the add-on (at addon_path,
  // loaded by the scenario's steps) is not; gauges are those the scenario's steps read.
  ModulePanel(const std::string& addon_path, int instances, Trace& trace, const GaugeFiles& gauges,
              const std::string& scenario_name);

  // Ends the panel: the main window goes, the add-on is freed as often as the scenario
  // loaded it, and the module is unloaded, with the pin it took on the add-on, so that the
  // next scenario loads both afresh. The problem when one of them stays loaded.
  std::optional<Diagnostic> End();

  std::optional<Diagnostic> SetVariable(const ScenarioStep& step) override;
  std::optional<Diagnostic> SetSimulationVariable(const ScenarioStep& step) override;
  std::optional<Diagnostic> AddGauge(const ScenarioStep& step) override;
  std::optional<Diagnostic> Click(const ScenarioStep& step) override;
  std::optional<Diagnostic> Press(const ScenarioStep& step) override;
  std::optional<Diagnostic> Release(const ScenarioStep& step) override;
  std::optional<Diagnostic> SetRate(const ScenarioStep& step) override;
  std::optional<Diagnostic> Eval(const ScenarioStep& step) override;
  std::optional<Diagnostic> RunFrames(const ScenarioStep& step) override;
  std::optional<Diagnostic> LoadAddon(const ScenarioStep& step) override;
  std::optional<Diagnostic> FreeAddon(const ScenarioStep& step) override;
  std::optional<Diagnostic> SetAddonExport(const ScenarioStep& step) override;
  std::optional<Diagnostic> SetAddonSeatbelt(const ScenarioStep& step) override;
  std::optional<Diagnostic> CreateMainWindow(const ScenarioStep& step) override;
  std::optional<Diagnostic> DestroyMainWindow(const ScenarioStep& step) override;
  std::optional<Diagnostic> HideModuleWindow(const ScenarioStep& step) override;
  std::optional<Diagnostic> ShowModuleWindow(const ScenarioStep& step) override;
  std::optional<Diagnostic> ExpectVariable(const ScenarioStep& step) override;
  std::optional<Diagnostic> ExpectAddonSeatbelt(const ScenarioStep& step) override;
  std::optional<Diagnostic> ExpectChords(const ScenarioStep& step) override;

 private:
  std::string scenario_name_;
};

}  // namespace gauge_host
