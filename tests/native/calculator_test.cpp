// The gauge scripts' calculator: each token on a stack, what reaches the panel, and the
// errors found before a script runs or while it runs, with their file, line and column.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "tests/support/diagnostics.h"
#include "tools/gauge_host/script/calculator.h"

namespace {

using gauge_host::CompileScript;
using gauge_host::RunScript;
using gauge_host::Script;
using gauge_host::ScriptEvent;
using gauge_host::ScriptOrigin;
using gauge_host::ScriptRun;
using gauge_host::ScriptWorld;
using gauge_host::Value;

const ScriptOrigin kOrigin{"t.xml", "the script"};

struct Case {
  std::string script;
  std::vector<Value> before;
  std::vector<Value> after;  // when there is no error
  std::string error = "";    // "COLUMN: message", found before running or while running
};

Value S(const char* text) { return std::string(text); }

std::string Stack(const std::vector<Value>& stack) {
  std::string text;
  for (const Value& value : stack) {
    text += (text.empty() ? "" : " ") + gauge_host::FormatValue(value);
  }
  return "[" + text + "]";
}

// The script run on a world whose only known value is (L:Lit, number) = 1, clicked with
// LeftSingle; the stack it leaves, or its one error.
std::string Outcome(const std::string& text, std::vector<Value> stack) {
  const Script script = CompileScript(gauge_host::TextAt(text, {1, 1}), kOrigin, stack.size());
  if (!script.errors.empty()) {
    std::string errors;
    for (const std::string& error : Formatted(script.errors)) {
      errors += (errors.empty() ? "" : "\n") + error;
    }
    return errors;
  }
  ScriptWorld world;
  world.panel_variables["Lit"] = 1;
  world.mouse_event = "LeftSingle";
  const ScriptRun run = RunScript(script, world, stack);
  return run.error ? Formatted(run.error) : Stack(stack);
}

// The stack after, or each error line "COLUMN: message" as the calculator writes it.
std::string Expected(const Case& c) {
  if (c.error.empty()) {
    return Stack(c.after);
  }
  std::string errors;
  std::size_t start = 0;
  while (start < c.error.size()) {
    const std::size_t end = std::min(c.error.find('\n', start), c.error.size());
    const std::string line = c.error.substr(start, end - start);
    const std::size_t colon = line.find(": ");
    errors += (errors.empty() ? "t.xml:1:" : "\nt.xml:1:") + line.substr(0, colon) + ": error: " +
              line.substr(colon + 2) + " in the script";
    start = end + 1;
  }
  return errors;
}

TEST(CalculatorTest, EveryTokenOnTheStack) {
  const std::vector<Case> cases = {
      // Numbers and strings.
      {"5 -2.5 .5 3. 0x1F 0X1f -0x10", {}, {5.0, -2.5, 0.5, 3.0, 31.0, 31.0, -16.0}},
      {"'LeftSingle' 'two words' ''", {}, {S("LeftSingle"), S("two words"), S("")}},
      {"1e3", {}, {}, "1: unknown token '1e3'"},
      {"0x", {}, {}, "1: unknown token '0x'"},
      {"0xG1", {}, {}, "1: unknown token '0xG1'"},
      {"1.2.3", {}, {}, "1: unknown token '1.2.3'"},
      {"-.", {}, {}, "1: unknown token '-.'"},
      {"'abc", {}, {}, "1: the string 'abc has no closing quote"},
      {"'a'b", {}, {}, "1: unknown token ''a'b'"},
      // Arithmetic: the deeper value is the left operand.
      {"7 2 +", {}, {9.0}},
      {"7 2 -", {}, {5.0}},
      {"-", {7.0, 2.0}, {5.0}},
      {"7 2 *", {}, {14.0}},
      {"7 2 /", {}, {3.5}},
      {"7 0 /", {}, {}, "5: '/' divides 7 by zero"},
      {"7 3 %", {}, {1.0}},
      {"-7 3 %", {}, {-1.0}},
      {"7.5 2 %", {}, {1.5}},
      {"7 0 %", {}, {}, "5: '%' divides 7 by zero"},
      {"3 neg -3 neg", {}, {-3.0, 3.0}},
      {"-3.5 abs 2 abs", {}, {3.5, 2.0}},
      {"2 -3 min 2 -3 max", {}, {-3.0, 2.0}},
      {"-1.5 flr 1.5 flr 2 flr", {}, {-2.0, 1.0, 2.0}},
      {"-1.5 ceil 1.2 ceil 2 ceil", {}, {-1.0, 2.0, 2.0}},
      {"2.5 near -2.5 near 1.4 near -1.6 near", {}, {3.0, -3.0, 1.0, -2.0}},
      // Comparison.
      {"1 2 == 2 2 == 1 2 != 2 2 !=", {}, {0.0, 1.0, 1.0, 0.0}},
      {"1 2 > 2 1 > 1 2 < 2 1 <", {}, {0.0, 1.0, 1.0, 0.0}},
      {"2 2 >= 1 2 >= 2 2 <= 3 2 <=", {}, {1.0, 0.0, 1.0, 0.0}},
      {"'a' 'a' ==", {}, {}, "9: '==' needs a number, not the string 'a'"},
      // Logic: any non-zero number is true.
      {"2 3 && 2 0 && 0 0.5 and 0 0 and", {}, {1.0, 0.0, 0.0, 0.0}},
      {"2 0 || 0 0 || 0 -1 or 0 0 or", {}, {1.0, 0.0, 1.0, 0.0}},
      {"0 ! 5 ! 0.1 not 0 not", {}, {1.0, 0.0, 0.0, 1.0}},
      // Bitwise, on the values as 32-bit integers.
      {"12 10 & 12 10 | 12 10 ^", {}, {8.0, 14.0, 6.0}},
      {"0 ~ -1 ~ 5.9 3 & -1 0xFF &", {}, {-1.0, 0.0, 1.0, 255.0}},
      // Stack.
      {"d", {1.0}, {1.0, 1.0}},
      {"d", {S("x")}, {S("x"), S("x")}},
      {"p", {1.0, 2.0}, {1.0}},
      {"r", {1.0, S("b")}, {S("b"), 1.0}},
      {"c", {1.0, 2.0, 3.0}, {}},
      {"c 4", {1.0}, {4.0}},
      {"d", {}, {}, "1: 'd' needs 1 value but the stack holds none here"},
      {"r", {1.0}, {}, "1: 'r' needs 2 values but the stack holds at most 1 value here"},
      {"1 2 c +", {}, {}, "7: '+' needs 2 values but the stack holds none here"},
      // Registers: s keeps the value, sp pops it, l loads it; never stored reads 0.
      {"5 s0 l0", {}, {5.0, 5.0}},
      {"5 sp49 l49 l49", {}, {5.0, 5.0}},
      {"'on' sp3 l3", {}, {S("on")}},
      {"l7", {}, {0.0}},
      {"1 s50", {}, {}, "3: there is no register 50 in 's50': the registers are 0 to 49"},
      {"l100", {}, {}, "1: there is no register 100 in 'l100': the registers are 0 to 49"},
      {"s0", {}, {}, "1: 's0' needs 1 value but the stack holds none here"},
      // Blocks.
      {"1 if{ 2 }", {}, {2.0}},
      {"0 if{ 2 }", {}, {}},
      {"0.5 if{ 2 }", {}, {2.0}},
      {"1 if{ 2 } els{ 3 }", {}, {2.0}},
      {"0 if{ 2 } els{ 3 } 4", {}, {3.0, 4.0}},
      {"1 if{ 0 if{ 5 } els{ 6 } 7 } els{ 8 }", {}, {6.0, 7.0}},
      {"0 if{ 1 if{ 5 } } els{ 1 if{ 6 } els{ 7 } }", {}, {6.0}},
      {"1 quit 2", {}, {1.0}},
      {"1 if{ 3 quit } 2", {}, {3.0}},
      {"1 if{ 2", {}, {}, "3: 'if{' is never closed by '}'"},
      {"1 if{ 2 } els{", {}, {}, "11: 'els{' is never closed by '}'"},
      {"1 }", {}, {}, "3: '}' closes no block"},
      {"1 if{ 2 } 3 els{ 4 }", {}, {}, "13: 'els{' must come right after the '}' of an if{ block\n20: '}' closes no block"},
      {"if{ }", {}, {}, "1: 'if{' needs 1 value but the stack holds none here"},
      {"'a' if{ 1 }", {}, {}, "5: 'if{' needs a number, not the string 'a'"},
      // The stack is followed through both ways of a block: '+' after this block finds
      // at most one value; with one more it may find two, and finds one only at run time.
      {"1 if{ 2 } +", {}, {}, "11: '+' needs 2 values but the stack holds at most 1 value here"},
      {"1 d if{ 2 } +", {}, {3.0}},
      {"0 d if{ 2 } +", {}, {}, "13: '+' needs 2 values but the stack holds 1"},
      // Strings compared.
      {"'a' 'a' scmp 'a' 'b' scmp 'b' 'a' scmp", {}, {0.0, -1.0, 1.0}},
      {"(M:Event) 'LeftSingle' scmp 0 ==", {}, {1.0}},
      {"'a' 1 scmp", {}, {}, "7: 'scmp' needs a string, not the number 1"},
      // Variables.
      {"(L:Lit, number) (L:Lit, Bool) (L:Unlit, enum)", {}, {1.0, 1.0, 0.0}},
      {"2.5 (>L:Lit, number) (L:Lit, number)", {}, {2.5}},
      {"'x' (>L:Lit, number)", {}, {}, "5: '(>L:Lit, number)' needs a number, not the string 'x'"},
      {"(L:Lit, feet)", {}, {}, "1: '(L:Lit, feet)': panel variables take the unit number, bool or enum, not 'feet'"},
      {"(L:Lit)", {}, {}, "1: '(L:Lit)' has no unit: panel variables take number, bool or enum, as in (L:Lit, number)"},
      {"(L:, number)", {}, {}, "1: '(L:, number)' names no variable"},
      {"(L:Lit, number", {}, {}, "1: '(L:Lit, number' has no closing ')'"},
      {"(A:PLANE ALTITUDE)", {}, {}, "1: '(A:PLANE ALTITUDE)' has no unit, as in (A:PLANE ALTITUDE, bool)"},
      {"1 (>A:PLANE ALTITUDE, feet)", {}, {}, "3: '(>A:PLANE ALTITUDE, feet)': simulation variables are read only here; the scenario sets them"},
      {"(K:TOGGLE_BEACON_LIGHTS)", {}, {}, "1: '(K:TOGGLE_BEACON_LIGHTS)': a key event is sent with (>K:TOGGLE_BEACON_LIGHTS)"},
      {"(>K:X, number)", {}, {}, "1: '(>K:X, number)': a key event takes no unit"},
      {"(M:X)", {}, {}, "1: '(M:X)': the only mouse variable known here is (M:Event)"},
      {"(P:ABSOLUTE TIME, seconds)", {}, {}, "1: '(P:ABSOLUTE TIME, seconds)': variables of kind 'P:' are not known here; the kinds are L:, A:, >K: and M:"},
      {"(Lit)", {}, {}, "1: '(Lit)' is not a variable: write (L:NAME, UNIT), (A:NAME, UNIT), (>K:EVENT) or (M:Event)"},
      // Anything else.
      {"g1", {}, {}, "1: 'g1': jumps and labels are not supported; use if{ } and els{ }"},
      {":1", {}, {}, "1: ':1': jumps and labels are not supported; use if{ } and els{ }"},
      {"1 iff{ }", {}, {}, "3: unknown token 'iff{'\n8: '}' closes no block"},
      {"1 if{ 2}", {}, {}, "7: unknown token '2}'\n3: 'if{' is never closed by '}'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script + " on " + Stack(c.before));
    EXPECT_EQ(Outcome(c.script, c.before), Expected(c));
  }
}

std::vector<std::string> Texts(const std::vector<ScriptEvent>& events) {
  std::vector<std::string> texts;
  for (const ScriptEvent& event : events) {
    texts.push_back(event.text);
  }
  return texts;
}

TEST(CalculatorTest, WritesKeyEventsAndUnsetSimulationVariablesInOrder) {
  const Script script = CompileScript(gauge_host::TextAt(
      "(A:ELECTRICAL MASTER BATTERY, bool) if{ 1 (>L:Tvl_CallMayday, number) }\n"
      "  (A:ELECTRICAL MASTER BATTERY, bool) (>K:TOGGLE_BEACON_LIGHTS)\n"
      "  0.25 (>L:Tvl_PlayMusic, number) 3 (>K:FLAPS_SET)", {12, 9}),
      {"panel.xml", "the <Update> script"}, 0);
  ASSERT_EQ(Formatted(script.errors), std::vector<std::string>{});
  ScriptWorld world;
  std::vector<Value> stack;
  const ScriptRun first = RunScript(script, world, stack);
  EXPECT_EQ(first.error, std::nullopt);
  EXPECT_EQ(Texts(first.events), (std::vector<std::string>{
      "panel.xml:12:9: warning: (A:ELECTRICAL MASTER BATTERY, bool) was never set by the scenario; it reads 0",
      "key event TOGGLE_BEACON_LIGHTS 0",
      "write Tvl_PlayMusic = 0.25",
      "key event FLAPS_SET 3",
  }));
  EXPECT_EQ(world.panel_variables, (std::map<std::string, double, std::less<>>{{"Tvl_PlayMusic", 0.25}}));
  EXPECT_EQ(Stack(stack), "[]");

  // Set by the scenario, it is read without a warning; the warning was given once only.
  world.simulation_variables["ELECTRICAL MASTER BATTERY"] = 1;
  const ScriptRun second = RunScript(script, world, stack);
  EXPECT_EQ(Texts(second.events), (std::vector<std::string>{
      "write Tvl_CallMayday = 1",
      "key event TOGGLE_BEACON_LIGHTS 1",
      "write Tvl_PlayMusic = 0.25",
      "key event FLAPS_SET 3",
  }));
  EXPECT_EQ(world.panel_variables["Tvl_CallMayday"], 1);
  EXPECT_EQ(second.events[2].variable, "Tvl_PlayMusic");
  EXPECT_EQ(second.events[2].value, 0.25);

  world.simulation_variables.clear();
  EXPECT_EQ(Texts(RunScript(script, world, stack).events).front(), "key event TOGGLE_BEACON_LIGHTS 0");
}

TEST(CalculatorTest, RegistersStartAtZeroOnEveryRun) {
  const Script script = CompileScript(gauge_host::TextAt("l0 1 + s0", {1, 1}), kOrigin, 0);
  ScriptWorld world;
  std::vector<Value> stack;
  RunScript(script, world, stack);
  RunScript(script, world, stack);
  EXPECT_EQ(Stack(stack), "[1 1]");
}

TEST(CalculatorTest, ErrorsGiveTheLineAndColumnInTheFile) {
  // The script's text starts at line 20, column 14 of its file; a string or variable may
  // hold spaces and a line break.
  const Script script = CompileScript(gauge_host::TextAt(
      "(M:Event) 'Left\nSingle' scmp\n"
      "\t(A:GENERAL ENG RPM:1,\n rpm) p foo\n"
      "  1 if{", {20, 14}),
      {"button.xml", "the <Click> script of area 2"}, 0);
  EXPECT_EQ(Formatted(script.errors), (std::vector<std::string>{
      "button.xml:23:9: error: unknown token 'foo' in the <Click> script of area 2",
      "button.xml:24:5: error: 'if{' is never closed by '}' in the <Click> script of area 2",
  }));

  // A script read from XML: "&amp;&amp;" decoded to "&&", each byte where it came from.
  const Script decoded = CompileScript({"1 1 && x", {{3, 5}, {3, 6}, {3, 7}, {3, 8}, {3, 9}, {3, 14}, {3, 19}, {3, 20}}},
                                       {"c.xml", "the <Update> script"}, 0);
  EXPECT_EQ(Formatted(decoded.errors), std::vector<std::string>{"c.xml:3:20: error: unknown token 'x' in the <Update> script"});

  const Script division = CompileScript(gauge_host::TextAt("1\n   0 /", {5, 3}), {"b.xml", "the <Update> script"}, 0);
  ScriptWorld world;
  std::vector<Value> stack;
  EXPECT_EQ(Formatted(RunScript(division, world, stack).error), "b.xml:6:6: error: '/' divides 1 by zero in the <Update> script");
}

TEST(CalculatorTest, ModuleIntegers) {
  const std::vector<std::pair<double, std::int32_t>> cases = {
      {0.0, 0},
      {1.9, 1},
      {-1.9, -1},
      {2147483647.9, INT32_MAX},
      {-2147483648.9, INT32_MIN},
      {2147483648.0, INT32_MIN},
      {-2147483649.0, INT32_MIN},
      {1e300, INT32_MIN},
      {HUGE_VAL, INT32_MIN},
      {-HUGE_VAL, INT32_MIN},
      {std::nan(""), INT32_MIN},
  };
  for (const auto& [value, integer] : cases) {
    EXPECT_EQ(gauge_host::ModuleInteger(value), integer) << value;
  }
}

TEST(CalculatorTest, NumbersAsADesignerWritesThem) {
  const std::vector<std::pair<double, std::string>> cases = {
      {1.0, "1"}, {-0.25, "-0.25"}, {3e9, "3000000000"}, {-2147483648.0, "-2147483648"}, {1e21, "1e+21"}, {-0.0, "0"},
  };
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(gauge_host::FormatNumber(value), text) << value;
  }
}

}  // namespace
