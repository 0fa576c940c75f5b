// The common subset of the panel system's calculator language, as gauge scripts use it:
// postfix tokens separated by white space, run on a stack of numbers and strings.
//
// A script is compiled once, when the scenario is checked: every token is looked up, the
// blocks are matched and the stack is followed through them, so that most mistakes are
// reported before anything runs. Running it then reaches the panel only through a
// ScriptWorld and reports what it did as events, in order, for the host to trace.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
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
  kReadSimulation,  // (A:name, unit)
  kKeyEvent,        // (>K:name), taking the value below it if there is one
  kMouseEvent,      // (M:Event)
  kIf,              // if{: jump is where to go when the value popped is zero
  kEls,             // els{: only ever jumped into
  kEnd,             // }: jump is past the els{ block that follows, if any, else the next token
  kQuit,
  kStore,           // sN
  kStorePop,        // spN
  kLoad,            // lN
  kOperator,        // one of the operator table's words
};

struct Instruction {
  Op op = Op::kNumber;
  std::string text;  // the token as written
  ScriptPosition position;
  double number = 0;
  std::string name;       // string literal, variable or key event
  std::size_t index = 0;  // register, or row of the operator table
  std::size_t jump = 0;
};

struct Script {
  ScriptOrigin origin;
  std::vector<Instruction> code;
  std::vector<Diagnostic> errors;  // empty when it can run
};

// Compiles a script that starts on a stack of depth_at_start values (0 for gauge scripts).
Script CompileScript(const ScriptText& text, const ScriptOrigin& origin, std::size_t depth_at_start);

// What scripts see outside themselves; it lives as long as the panel.
struct ScriptWorld {
  std::map<std::string, double, std::less<>> panel_variables;       // L:, never written reads 0
  std::map<std::string, double, std::less<>> simulation_variables;  // A:, set by the scenario
  std::set<std::string, std::less<>> unset_simulation_reads;        // warned about once each
  std::string mouse_event;                                          // (M:Event) of a click
  double elapsed_seconds = 0;
  double frames_per_second = 18;
  std::array<double, 9>* gauge_variables = nullptr;
  double mouse_x = 0, mouse_y = 0;
};

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

// A number as scripts write it: an integer, a decimal or a 0x hexadecimal number, each
// possibly negative.
std::optional<double> ParseNumber(std::string_view text);

// A panel variable as a module reading it as a 32-bit integer sees it: truncated toward
// zero, and -2147483648 when it lies outside the 32-bit range (as the x86 conversion does).
std::int32_t ModuleInteger(double value);

// A number as a designer writes it: "1", "-0.25", "3000000000", "1e+21".
std::string FormatNumber(double value);

// A stack value as a script writes it: a number, or a string in single quotes.
std::string FormatValue(const Value& value);

}  // namespace gauge_host
