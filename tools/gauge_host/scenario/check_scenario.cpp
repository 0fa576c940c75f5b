// The check of a parsed scenario: its steps played on a model of the panel that follows
// only what a later step depends on (the add-on as the host loads and frees it, and as the
// module pins it once it has found its record; the main window; the gauges on the panel).
// The host plays the same steps through the same table, so a step that passes here can be
// played.
#include <algorithm>

#include "tools/gauge_host/common/text.h"
#include "tools/gauge_host/scenario/scenario.h"
#include "tools/gauge_host/scenario/steps.h"

namespace gauge_host {

namespace {

class PanelModel : public StepPlayer {
 public:
  explicit PanelModel(const GaugeFiles& gauges) : gauges_(gauges) {}

  std::optional<Diagnostic> SetVariable(const ScenarioStep& /*step*/) override { return std::nullopt; }
  std::optional<Diagnostic> SetSimulationVariable(const ScenarioStep& /*step*/) override { return std::nullopt; }
  std::optional<Diagnostic> Eval(const ScenarioStep& /*step*/) override { return std::nullopt; }
  std::optional<Diagnostic> ExpectVariable(const ScenarioStep& /*step*/) override { return std::nullopt; }
  std::optional<Diagnostic> ExpectAddonSeatbelt(const ScenarioStep& /*step*/) override { return std::nullopt; }
  std::optional<Diagnostic> ExpectChords(const ScenarioStep& /*step*/) override { return std::nullopt; }
  std::optional<Diagnostic> SetRate(const ScenarioStep& /*step*/) override { return std::nullopt; }

  std::optional<Diagnostic> AddGauge(const ScenarioStep& step) override {
    if (OnPanel(step.gauge)) {
      return Problem("the gauge " + Shown(step.file) + " is on the panel already");
    }
    on_panel_.push_back(step.gauge);
    return std::nullopt;
  }

  std::optional<Diagnostic> Click(const ScenarioStep& step) override {
    if (const GaugeScripts* gauge = GaugeOnPanel(step.gauge)) {
      return CheckClick(*gauge, step.area, step.event);
    }
    return NotOnPanel(step.file);
  }

  // One button is held at a time, as one mouse has.
  std::optional<Diagnostic> Press(const ScenarioStep& step) override {
    const GaugeScripts* gauge = GaugeOnPanel(step.gauge);
    if (gauge == nullptr) {
      return NotOnPanel(step.file);
    }
    if (std::optional<Diagnostic> problem = CheckClick(*gauge, step.area, step.event)) {
      return problem;
    }
    if (MouseEventNamed(step.event)->released_by.empty()) {
      return Problem(step.event + " is not held down: 'click' it");
    }
    if (held_) {
      return Problem(HeldText() + " is held since line " + std::to_string(held_->line) +
                     ": a step 'release' lets it go first");
    }
    held_ = Held{gauge, &ClickedArea(*gauge, step.area), step.event, step.line};
    return std::nullopt;
  }

  std::optional<Diagnostic> Release(const ScenarioStep& step) override {
    const GaugeScripts* gauge = GaugeOnPanel(step.gauge);
    if (gauge == nullptr) {
      return NotOnPanel(step.file);
    }
    if (!held_) {
      return Problem("no mouse button is held: a step 'press " + Shown(step.file) + " " + Shown(step.area) +
                     "' comes first");
    }
    // The area named is the one held when it answers the press's event and is that area.
    if (gauge != held_->gauge || CheckClick(*gauge, step.area, held_->event) ||
        &ClickedArea(*gauge, step.area) != held_->area) {
      return Problem("the button is held on " + HeldText() + ", since line " + std::to_string(held_->line));
    }
    held_.reset();
    return std::nullopt;
  }

  std::optional<Diagnostic> RunFrames(const ScenarioStep& /*step*/) override {
    // The module looks for the add-on only in its own frames.
    addon_found_ = addon_found_ || (!module_window_hidden_ && addon_mapped_ && export_holds_record_);
    return std::nullopt;
  }

  std::optional<Diagnostic> LoadAddon(const ScenarioStep& /*step*/) override {
    if (!addon_mapped_) {
      addon_mapped_ = true;
      export_holds_record_ = true;
    }
    ++addon_loads_;
    return std::nullopt;
  }

  std::optional<Diagnostic> FreeAddon(const ScenarioStep& /*step*/) override {
    if (addon_loads_ == 0) {
      return Problem(addon_mapped_ ? "the scenario has freed every load of the add-on (the module keeps it loaded)"
                                   : "the add-on is not loaded");
    }
    --addon_loads_;
    addon_mapped_ = addon_loads_ > 0 || addon_found_;
    return std::nullopt;
  }

  std::optional<Diagnostic> SetAddonExport(const ScenarioStep& step) override {
    if (!addon_mapped_) {
      return AddonNotLoaded();
    }
    export_holds_record_ = step.text.ends_with("record");
    return std::nullopt;
  }

  std::optional<Diagnostic> SetAddonSeatbelt(const ScenarioStep& /*step*/) override {
    if (!addon_mapped_) {
      return AddonNotLoaded();
    }
    return std::nullopt;
  }

  std::optional<Diagnostic> CreateMainWindow(const ScenarioStep& /*step*/) override {
    if (main_window_) {
      return Problem("the main window is already there");
    }
    main_window_ = true;
    return std::nullopt;
  }

  std::optional<Diagnostic> DestroyMainWindow(const ScenarioStep& /*step*/) override {
    if (!main_window_) {
      return Problem("there is no main window");
    }
    main_window_ = false;
    return std::nullopt;
  }

  std::optional<Diagnostic> HideModuleWindow(const ScenarioStep& /*step*/) override {
    if (module_window_hidden_) {
      return Problem("the window holding Switches is hidden already");
    }
    module_window_hidden_ = true;
    return std::nullopt;
  }

  std::optional<Diagnostic> ShowModuleWindow(const ScenarioStep& /*step*/) override {
    if (!module_window_hidden_) {
      return Problem("the window holding Switches is not hidden: 'panel hide' comes first");
    }
    module_window_hidden_ = false;
    return std::nullopt;
  }

 private:
  static Diagnostic Problem(const std::string& message) { return {"", {}, Severity::kError, message}; }
  static Diagnostic AddonNotLoaded() { return Problem("the add-on is not loaded: 'addon load' comes first"); }

  // The gauge the scenario's gauge steps put on the panel, with its scripts; nullptr otherwise.
  const GaugeScripts* GaugeOnPanel(const std::string& gauge) const {
    const auto found = gauges_.find(gauge);
    return OnPanel(gauge) && found != gauges_.end() ? &found->second : nullptr;
  }

  static Diagnostic NotOnPanel(const std::string& file) {
    const bool spaced = file.find_first_of(" \t") != std::string::npos;
    return Problem("the gauge " + Shown(file) + " is not on the panel: a step 'gauge " +
                   (spaced ? "\"" + Shown(file) + "\"" : Shown(file)) + "' comes first");
  }

  std::string HeldText() const { return DescribeArea(*held_->area) + " of " + held_->gauge->file; }

  bool OnPanel(const std::string& gauge) const {
    return std::find(on_panel_.begin(), on_panel_.end(), gauge) != on_panel_.end();
  }

  const GaugeFiles& gauges_;
  int addon_loads_ = 0;                // by the scenario, not yet freed
  bool addon_mapped_ = false;          // its library is in the process
  bool export_holds_record_ = false;   // what a fresh library's export holds
  bool addon_found_ = false;           // the module found the record and pinned the library
  bool main_window_ = true;            // a simulator starts with its main window
  bool module_window_hidden_ = false;  // the panel window holding Switches, drawn at the start
  std::vector<std::string> on_panel_;  // the gauge files the scenario's gauge steps put there, as keys
  struct Held {
    const GaugeScripts* gauge;
    const MouseArea* area;
    std::string event;
    int line;  // of the press
  };
  std::optional<Held> held_;  // the mouse button a press holds down
};

}  // namespace

void CheckScenario(Scenario& scenario, const std::string& file_name, const GaugeFiles& gauges) {
  // Each diagnostic with the scenario's line it is reported at: a gauge's own errors, in
  // their file, where the step that puts the gauge on the panel stands.
  std::vector<std::pair<int, Diagnostic>> placed;
  for (Diagnostic& diagnostic : scenario.diagnostics) {
    placed.emplace_back(diagnostic.position.line, std::move(diagnostic));
  }
  PanelModel model(gauges);
  for (const ScenarioStep& step : scenario.steps) {
    // A gauge the simulator does not load cannot join the panel; a script of it with an
    // error does not run, and the rest of the gauge does.
    if (const auto gauge = gauges.find(step.gauge); IsStep(step, &StepPlayer::AddGauge) && gauge != gauges.end()) {
      if (gauge->second.unusable) {
        placed.emplace_back(step.line, *gauge->second.unusable);
      }
      for (Diagnostic finding : gauge->second.findings) {
        finding.severity = Severity::kWarning;
        placed.emplace_back(step.line, std::move(finding));
      }
    }
    if (std::optional<Diagnostic> problem = PlayStep(model, step)) {
      problem->file = file_name;
      problem->position = {step.line, 0};
      problem->message = "'" + Shown(step.text) + "': " + problem->message;
      placed.emplace_back(step.line, std::move(*problem));
    }
  }
  const bool errors = std::any_of(placed.begin(), placed.end(),
                                  [](const auto& entry) { return entry.second.severity == Severity::kError; });
  if (FrameCount(scenario) == 0 && !errors) {
    const int line = scenario.steps.empty() ? 1 : scenario.steps.back().line;
    placed.emplace_back(line, Diagnostic{file_name, {line, 0}, Severity::kWarning,
                                         "the scenario runs no frame, so the module does nothing"});
  }
  std::stable_sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  scenario.diagnostics.clear();
  for (auto& entry : placed) {
    scenario.diagnostics.push_back(std::move(entry.second));
  }
}

}  // namespace gauge_host
