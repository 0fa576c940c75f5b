// The panel system's calculator language, as published gauges use it: postfix tokens
// separated by white space, run on a stack of numbers and strings.
//
// A script is compiled once, when the scenario is checked: every token is looked up, the
// blocks and labels are matched and the stack is followed along every path, so that most
// mistakes are reported before anything runs. Running it then walks the compiled form only
// (no token is read again), reaches the panel only through a ScriptWorld and reports what
// it did as events, in order, for the host to trace.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "tools/gauge_host/common/diagnostic.h"

namespace gauge_host {

using Value = std::variant<double, std::string>;

using ScriptPosition = SourcePosition;

// A script's text with the place in its file of each of its bytes.
struct ScriptText {
  std::string text;
  std::vector<ScriptPosition> positions;
};

// A text taken as written in its file, starting at start.
ScriptText TextAt(std::string_view text, ScriptPosition start);

// The file a script is in, and what to call it in messages ("the <Click> script of area 1").
struct ScriptOrigin {
  std::string file;
  std::string name;
};

enum class Op : std::uint8_t {
  kNumber,          // pushes number
  kString,          // pushes name
  kReadPanel,       // (L:name, unit)
  kWritePanel,      // (>L:name, unit)
  kReadSimulation,  // (A:name, unit): unit lowered, index its row of the units' table
  kKeyEvent,        // (>K:name), taking the value below it if there is one
  kMouseEvent,      // (M:Event)
  kMouseX,          // (M:X)
  kMouseY,          // (M:Y)
  kReadGauge,       // (G:VarN): index is N - 1
  kWriteGauge,      // (>G:VarN)
  kReadClock,       // (P:...) and (E:...): index the clock, number the seconds of its unit
  kOperator,        // one of the operator table's words: row is its row, index the N of sN, gN...
};

struct Instruction {
  Op op = Op::kNumber;
  std::string text;  // the token as written
  ScriptPosition position;
  double number = 0;
  std::string name;       // string literal, variable or key event
  std::size_t index = 0;  // the N of sN, lN, gN, :N; a G: variable's N - 1; a clock; a unit's row
  std::size_t jump = 0;   // where the run goes on when it does not go on at the next one
  std::size_t row = 0;    // kOperator: the row of the operator table
  std::string unit;       // a variable's unit as written, lowered
  std::size_t needs = 0;  // values it takes from the stack (case: and as many as its count says)
};

struct Script {
  ScriptOrigin origin;
  std::vector<Instruction> code;
  std::vector<Diagnostic> errors;  // empty when it can run
  // The stack's depth was known before every instruction the script can reach (no gN, no
  // case with a computed count, no block that leaves a different depth each way): then a
  // script without errors never finds too few values when it runs.
  bool stack_followed = true;
};

// The words of the operator table, in its order: every operator, stack word and flow word
// the calculator knows ("sN", "gN", ":N" stand for their numbered forms).
std::vector<std::string_view> OperatorWords();

// The host's clock, as scripts read it through P: and E:: absolute and simulation time
// run from a fixed start, times of day from a fixed start of the day, so that every run of
// a scenario reads the same times.
constexpr double kClockStartSeconds = 1000;          // (P:Absolute time) at the first frame
constexpr double kLocalTimeOfDayAtStart = 12 * 3600;  // 12:00:00
constexpr double kZuluTimeOfDayAtStart = 10 * 3600;   // 10:00:00
constexpr std::size_t kMostTokensInARun = 100000;

// Compiles a script that starts on a stack of depth_at_start values (0 for gauge scripts).
Script CompileScript(const ScriptText& text, const ScriptOrigin& origin, std::size_t depth_at_start);

// What scripts see outside themselves; it lives as long as the panel.
struct ScriptWorld {
  std::map<std::string, double, std::less<>> panel_variables;       // L:, never written reads 0
  std::map<std::string, double, std::less<>> simulation_variables;  // A:, set by the scenario
  std::set<std::string, std::less<>> unset_simulation_reads;        // warned about once each
  std::string mouse_event;                                          // (M:Event) of a click
  double elapsed_seconds = 0;    // since the run's start: frame index / frames_per_second
  double frames_per_second = 18;
  std::array<double, 9>* gauge_variables = nullptr;  // G:Var1..9 of the gauge whose script runs
  double mouse_x = 0, mouse_y = 0;                   // (M:X), (M:Y) of a click
  // G:Var1..9 of scripts that belong to no gauge (eval, the module's expressions).
  std::array<double, 9> gaugeless_variables{};
  std::map<std::string, std::string, std::less<>> simulation_units;  // A: as the scenario set it
  std::set<std::string, std::less<>> unconverted_simulation_reads;    // warned about once each
};

// What the scenario's "set (A:NAME, UNIT) VALUE" does: the value, in that unit.
void SetSimulationVariable(ScriptWorld& world, std::string_view name, std::string_view unit, double value);

struct ScriptEvent {
  enum class Kind : std::uint8_t { kWrite, kKeyEvent, kWarning };
  Kind kind;
  std::string text;           // "write Tvl_CallMayday = 1", "key event TOGGLE_TAXI_LIGHTS 1", a warning
  std::string variable{};  // the panel variable written
  double value = 0;           // the value written
};

struct ScriptRun {
  std::vector<ScriptEvent> events;
  std::optional<Diagnostic> error;  // none when the script ran to its end or quit
};

// Runs a compiled script without errors on the caller's stack, which holds what the
// script leaves.
ScriptRun RunScript(const Script& script, ScriptWorld& world, std::vector<Value>& stack);

// A number as scripts write it: an integer, a decimal (".5", "3.") with or without an
// exponent ("1e3", "2.5E-2"), or a 0x hexadecimal number, each possibly negative.
std::optional<double> ParseNumber(std::string_view text);

// "12.5,30": two numbers and a comma, white space around each allowed, as the newer gauge
// schema writes a place or a size and a click step its place; nothing when it is not that.
std::optional<std::pair<double, double>> ParseNumberPair(std::string_view text);

// A panel variable as a module reading it as a 32-bit integer sees it: truncated toward
// zero, and -2147483648 when it lies outside the 32-bit range (as the x86 conversion does).
std::int32_t ModuleInteger(double value);

// A number as a designer writes it: "1", "-0.25", "3000000000", "1e+21".
std::string FormatNumber(double value);

// A stack value as a script writes it: a number, or a string in single quotes.
std::string FormatValue(const Value& value);

}  // namespace gauge_host
