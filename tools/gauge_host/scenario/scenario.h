// Scenarios for the gauge host: a plain-text file, one step a line, "#" starting a
// comment. Reading one reports every error and warning with the file name and line; the
// check then plays the steps against a model of the state earlier steps leave (the add-on
// loaded or not, the main window there or not, the gauges on the panel), through the same
// table of steps the host plays them by, so that no error can appear once frames run.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/gauge_host/common/diagnostic.h"
#include "tools/gauge_host/script/calculator.h"
#include "tools/gauge_host/script/gauge_scripts.h"

namespace gauge_host {

struct StepRow;

struct ScenarioStep {
  const StepRow* row = nullptr;  // what kind of step, in the table of steps
  int line = 0;
  std::string text;          // the line as written, without its comment
  std::string name;          // the variable of set and expect
  std::string type;          // set of a variable in parentheses: its letter, A, C, P or E
  std::string unit;          // set of a variable in parentheses: the unit its value is in
  std::optional<std::string> text_value;  // set of a variable in the unit string: its text
  std::int32_t value = 0;    // addon seatbelt, expect addon seatbelt; rate: frames a second
  double number = 0;         // set and expect of a variable
  std::uint32_t frames = 1;  // frame and frames
  std::string chord_keys;    // expect chords: the key of each chord in order, "" for none
  std::string file;          // gauge, click, press and release: the gauge file as written, without its quotes
  std::string gauge;         // the same file however written: the key of GaugeFiles
  std::string area;          // click, press and release: a number, or a tooltip in double quotes
  std::string event;         // click and press: the mouse event
  std::optional<std::pair<double, double>> mouse_at;  // click and press: (M:X) and (M:Y), when given
  Script script;             // eval
};

struct Scenario {
  std::vector<ScenarioStep> steps;
  std::vector<Diagnostic> diagnostics;  // in line order once checked
};

constexpr std::uint32_t kMostFramesInAStep = 1000000;
constexpr std::int32_t kMostFramesASecond = 1000;

// The gauge files of a scenario's gauge steps, read and compiled, by the steps' `gauge`.
using GaugeFiles = std::map<std::string, GaugeScripts, std::less<>>;

// The steps of a scenario file as its editor saved it: UTF-8, with or without a
// byte-order mark. Reports every malformed line.
Scenario ParseScenario(std::string_view text, const std::string& file_name);

// Plays the parsed steps against the state each leaves and reports every step that cannot
// be played there, and a scenario that runs no frame; then puts all the scenario's errors
// and warnings in line order.
void CheckScenario(Scenario& scenario, const std::string& file_name, const GaugeFiles& gauges);

// Every frame the scenario runs, for one gauge.
std::uint64_t FrameCount(const Scenario& scenario);

}  // namespace gauge_host
