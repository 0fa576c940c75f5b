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

// A script's text with the place in its file of each of its bytes: where it is written,
// and where the script uses it, which differ for a byte of a macro's body (written in the
// <Macro>, used at the outermost @NAME that brought it in). `uses` is empty where they are
// the same throughout.
struct ScriptText {
  std::string text;
  std::vector<ScriptPosition> positions;
  std::vector<ScriptPosition> uses;
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
  kReadKept,        // (A:name, unit) and (C:MODULE:name, unit): name is "A:name"; unit lowered, index its row of the units' table
  kWriteKept,       // (>A:...) and (>C:...): kept for later reads, as the scenario's set is
  kKeyEvent,        // (>K:name), taking the value below it if there is one
  kMouseEvent,      // (M:Event)
  kMouseX,          // (M:X)
  kMouseY,          // (M:Y)
  kReadGauge,       // (G:VarN): index is N - 1
  kWriteGauge,      // (>G:VarN)
  kReadClock,       // a P: or E: time: index the clock, number the seconds of its unit
  kReadSetting,     // a P: or E: variable the scenario may set: index its row of the environment's table
  kReadNothing,     // a variable the host does not know: reads 0, or '' for the unit string
  kDrop,            // a write the host keeps nowhere: takes the value on top, when there is one
  kOperator,        // one of the operator table's words: row is its row, index the N of sN, gN...
};

struct Instruction {
  Op op = Op::kNumber;
  std::string text;  // the token as written
  ScriptPosition position;  // where it is written
  ScriptPosition use;       // where the script uses it: a token of a macro's body at the @NAME that brought it in
  double number = 0;
  std::string name;       // string literal, variable or key event
  std::size_t index = 0;  // the N of sN, lN, gN, :N; a G: variable's N - 1; a clock; a unit's row
  std::size_t jump = 0;   // where the run goes on when it does not go on at the next one
  std::size_t row = 0;    // kOperator: the row of the operator table
  std::string unit;       // a variable's unit as written, lowered
  std::size_t needs = 0;  // values it takes from the stack (case: and as many as its count says)
  bool short_of_values = false;  // on every way to it, as the compiler warned: a run says it no more
};

struct Script {
  ScriptOrigin origin;
  std::vector<Instruction> code;
  // A token no gauge may use, written in the script: the simulator does not run it.
  std::vector<Diagnostic> errors;  // empty when it runs
  // Readings the host chose where the simulator may do otherwise, or where the designer may
  // have meant something else: a '}' that closes no block, a value taken from an empty stack.
  std::vector<Diagnostic> warnings;
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

// The number a write stores when the token just before it pushes one ("1 (>L:X, number)",
// "0x1 (>L:X, number)"); nothing when the script computes the value. write: its index in code.
std::optional<double> WrittenNumber(const std::vector<Instruction>& code, std::size_t write);

// A value a script reads from outside the panel, as the scenario set it or a script wrote it.
struct KeptValue {
  Value value;
  std::string unit;  // lowered, as it was set or written in
};

// What scripts see outside themselves; it lives as long as the panel.
struct ScriptWorld {
  std::map<std::string, double, std::less<>> panel_variables;  // L:, never written reads 0
  // A: and C: variables, as "A:NAME" and "C:MODULE:NAME": set by the scenario or written.
  std::map<std::string, KeptValue, std::less<>> kept_variables;
  std::map<std::size_t, double> settings;  // P: and E: variables the scenario set, by row
  std::string mouse_event;                 // (M:Event) of a click
  double elapsed_seconds = 0;              // since the run's start: frame index / frames_per_second
  double frames_per_second = 18;
  std::array<double, 9>* gauge_variables = nullptr;  // G:Var1..9 of the gauge whose script runs
  double mouse_x = 0, mouse_y = 0;                   // (M:X), (M:Y) of a click
  // G:Var1..9 of scripts that belong to no gauge (eval, the module's expressions).
  std::array<double, 9> gaugeless_variables{};
  std::set<std::string, std::less<>> warned;  // every run-time warning given, given once
};

// What the scenario's "set (A:NAME, UNIT) VALUE" and "set (C:MODULE:NAME, UNIT) VALUE" do:
// the value, in that unit. type: "A" or "C".
void SetKeptVariable(ScriptWorld& world, std::string_view type, std::string_view name, std::string_view unit,
                     const Value& value);

// "set (P:NAME, UNIT) VALUE" and "(E:...)": why the variable cannot be set, or nothing;
// then what setting it does.
std::optional<std::string> SettingProblem(std::string_view type, std::string_view name, std::string_view unit);
void SetSetting(ScriptWorld& world, std::string_view name, std::string_view unit, double value);

// The P: and E: variables the host gives, each with the unit and value it starts with, for
// the guide's reference: "ABSOLUTE TIME|seconds|1000 at the first frame, then the clock".
std::vector<std::string> EnvironmentRows();

struct ScriptEvent {
  // kWrite: of a panel variable; kKept: of an A: or C: variable; kNote: what the host says of the run.
  enum class Kind : std::uint8_t { kWrite, kKept, kKeyEvent, kNote, kWarning };
  Kind kind;
  std::string text;           // "write Tvl_CallMayday = 1", "key event TOGGLE_TAXI_LIGHTS 1", a warning
  std::string variable{};  // the panel variable written
  double value = 0;           // the value written
};

struct ScriptRun {
  std::vector<ScriptEvent> events;
  // What stopped the run before its end: a division by zero, a loop without end. None when
  // the script ran to its end or quit.
  std::optional<Diagnostic> error;
};

// Runs a compiled script without errors on the caller's stack, which holds what the
// script leaves. Each warning is given once in the world's life.
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
