// Scenarios for the gauge host: a plain-text file, one step a line, "#" starting a
// comment. The parser reports every error and warning with the file name and line; the
// check then plays the steps against the state earlier steps leave (add-on loaded or not,
// main window there or not), so that no error can appear once frames are running.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "bridge/switch_table.h"
#include "tools/gauge_host/calculator.h"
#include "tools/gauge_host/gauge_scripts.h"

namespace gauge_host {

enum class StepKind {
  kSet,                  // set NAME VALUE: a panel gauge writes a variable
  kFrames,               // frame [N] / frames N
  kAddonLoad,            // addon load
  kAddonFree,            // addon free
  kAddonExportNull,      // addon export null
  kAddonExportRecord,    // addon export record
  kAddonSeatbelt,        // addon seatbelt VALUE: the add-on changes its own field
  kWindowCreate,         // window create
  kWindowDestroy,        // window destroy
  kExpectVariable,       // expect NAME VALUE
  kExpectAddonSeatbelt,  // expect addon seatbelt VALUE
  kExpectChords,         // expect chords none | Ctrl+Shift+KEY ...
  kGauge,                // gauge FILE.xml: a designer's gauge joins the panel
  kClick,                // click FILE.xml AREA [EVENT]
  kEval,                 // eval SCRIPT
  kSetSimulation,        // set (A:NAME, UNIT) VALUE
};

struct ScenarioStep {
  int line = 0;
  StepKind kind = StepKind::kFrames;
  std::string name;          // the variable of set and expect
  std::int32_t value = 0;    // addon seatbelt, expect addon seatbelt
  double number = 0;         // set and expect of a variable
  std::uint32_t frames = 1;  // frame and frames
  std::string chord_keys;    // expect chords: the key of each chord in order, "" for none
  std::string text;          // the line as written, without its comment
  std::string file;          // gauge and click: the gauge file as written
  std::string area;          // click: a number, or a tooltip in double quotes
  std::string event;         // click: the mouse event
  Script script;             // eval
};

struct Diagnostic {
  int line = 0;
  bool is_error = false;
  std::string text;  // "file:line: error: ..." or "file:line: warning: ..."
};

struct Scenario {
  std::vector<ScenarioStep> steps;
  std::vector<Diagnostic> diagnostics;  // in line order once checked
};

constexpr std::uint32_t kMostFramesInAStep = 1000000;

// The steps of a scenario file as its editor saved it: UTF-8, with or without a
// byte-order mark. Reports every malformed line.
Scenario ParseScenario(std::string_view text, const std::string& file_name);

// Plays the parsed steps against the state each leaves and reports every step whose
// precondition does not hold, and a scenario that runs no frame; then puts all the
// scenario's errors and warnings in line order.
// gauges: the gauge files of the scenario's gauge steps, read, by their names as written.
void CheckScenario(Scenario& scenario, const std::string& file_name,
                   const std::map<std::string, GaugeScripts, std::less<>>& gauges);

std::size_t ErrorCount(const Scenario& scenario);

Diagnostic MakeDiagnostic(const std::string& file_name, int line, bool is_error, const std::string& message);

// Every frame the scenario runs, for one gauge.
std::uint64_t FrameCount(const Scenario& scenario);

// The switch table's row of a command variable, or nullptr for any other name.
const SwitchEntry* SwitchRowOf(std::string_view name);

bool IsModuleVariable(std::string_view name);

// The module's fifteen variables: the seat-belt sign and the switch table's rows.
std::vector<std::string> ModuleVariableNames();

// The number of characters to add, remove or change to make one word the other, ignoring case.
std::size_t EditDistance(std::string_view a, std::string_view b);

// The known name nearest to the one given, by edit distance, ignoring case.
std::string ClosestModuleVariable(std::string_view name);

}  // namespace gauge_host
