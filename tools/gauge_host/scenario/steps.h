// The table of scenario steps: the one home of the list of steps. Each row is a step's
// words, the arguments that follow them as --help shows them, what it does, and what a
// panel does to play it. The scenario reader parses a line by the rows, --help lists
// them, and the check and the host both play a step through its row: the check on a model
// of the panel that only follows the state, the host on the real one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tools/gauge_host/common/diagnostic.h"

namespace gauge_host {

struct ScenarioStep;

// A panel that plays steps. Each returns why the step cannot be played in the state the
// earlier steps left, or nothing.
class StepPlayer {
 public:
  virtual ~StepPlayer() = default;
  virtual std::optional<Diagnostic> SetVariable(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> SetSimulationVariable(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> AddGauge(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> Click(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> Press(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> Release(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> SetRate(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> Eval(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> RunFrames(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> LoadAddon(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> FreeAddon(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> SetAddonExport(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> SetAddonSeatbelt(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> CreateMainWindow(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> DestroyMainWindow(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> HideModuleWindow(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> ShowModuleWindow(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> ExpectVariable(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> ExpectAddonSeatbelt(const ScenarioStep& step) = 0;
  virtual std::optional<Diagnostic> ExpectChords(const ScenarioStep& step) = 0;
};

using PlayFunction = std::optional<Diagnostic> (StepPlayer::*)(const ScenarioStep& step);

struct StepRow {
  std::string_view words;      // "addon export null"
  std::string_view arguments;  // "NAME VALUE": what follows the words, placeholders the reader knows
  std::string_view help;       // what it does; lines after the first continue it
  PlayFunction play;
};

// Plays the step on the panel, through its row.
std::optional<Diagnostic> PlayStep(StepPlayer& player, const ScenarioStep& step);

// Whether the step is played by this function ("a frames step": &StepPlayer::RunFrames).
bool IsStep(const ScenarioStep& step, PlayFunction play);

// The steps' lines of --help.
std::string StepsHelp();

}  // namespace gauge_host
