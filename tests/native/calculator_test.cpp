// The gauge scripts' calculator: each token on a stack, what reaches the panel, and the
// errors found before a script runs or while it runs, with their file, line and column.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

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
  std::vector<Value> after;   // what a script that runs leaves
  std::string findings = "";  // "COLUMN: KIND: message" a line each: "error" when it does not run,
                              // "warning" how it is read, "run" how its run read it, "stops" what
                              // stops its run
};

Value S(const char* text) { return std::string(text); }

std::string Stack(const std::vector<Value>& stack) {
  std::string text;
  for (const Value& value : stack) {
    text += (text.empty() ? "" : " ") + gauge_host::FormatValue(value);
  }
  return "[" + text + "]";
}

// The script run on a world whose only panel value is (L:Lit, number) = 1, with a few
// simulation variables, an hour after the start, clicked with LeftSingle at (12, 34): its
// errors when it does not run; else the stack it leaves, then what was found before the
// run and during it.
std::string Outcome(const std::string& text, std::vector<Value> stack) {
  const Script script = CompileScript(gauge_host::TextAt(text, {1, 1}), kOrigin, stack.size());
  std::string outcome;
  const auto add = [&](const std::string& line) { outcome += (outcome.empty() ? "" : "\n") + line; };
  if (!script.errors.empty()) {
    for (const std::string& error : Formatted(script.errors)) {
      add(error);
    }
    return outcome;
  }
  ScriptWorld world;
  world.panel_variables["Lit"] = 1;
  gauge_host::SetKeptVariable(world, "A", "PLANE ALTITUDE", "feet", 1000.0);
  gauge_host::SetKeptVariable(world, "A", "NAV ACTIVE FREQUENCY:1", " MHz", 110.5);
  gauge_host::SetKeptVariable(world, "A", "AMBIENT TEMPERATURE", "Celsius", 15.0);
  gauge_host::SetKeptVariable(world, "A", "GENERAL ENG RPM:1", "rpm", 2000.0);
  gauge_host::SetKeptVariable(world, "A", "ELECTRICAL MASTER BATTERY", "bool", 1.0);
  gauge_host::SetKeptVariable(world, "A", "SEA LEVEL PRESSURE", "millibars", 1013.25);
  gauge_host::SetKeptVariable(world, "C", "fs9gps:WaypointAirportICAO", "string", S("KSEA"));
  world.elapsed_seconds = 3600;
  world.mouse_event = "LeftSingle";
  world.mouse_x = 12;
  world.mouse_y = 34;
  const ScriptRun run = RunScript(script, world, stack);
  add(Stack(stack));
  for (const std::string& warning : Formatted(script.warnings)) {
    add(warning);
  }
  for (const ScriptEvent& event : run.events) {
    if (event.kind == ScriptEvent::Kind::kWarning) {
      add(event.text);
    }
  }
  if (run.error) {
    add(Formatted(run.error));
  }
  return outcome;
}

// The findings as the calculator writes them, after the stack of a script that runs.
std::string Expected(const Case& c) {
  std::string expected;
  bool runs = true;
  for (std::size_t start = 0; start < c.findings.size();) {
    const std::size_t end = std::min(c.findings.find('\n', start), c.findings.size());
    const std::string line = c.findings.substr(start, end - start);
    const std::size_t colon = line.find(": ");
    const std::size_t kind_end = line.find(": ", colon + 2);
    const std::string column = line.substr(0, colon);
    const std::string kind = line.substr(colon + 2, kind_end - colon - 2);
    const std::string message = line.substr(kind_end + 2);
    runs = runs && kind != "error";
    expected += "\nt.xml:1:" + column + (kind == "warning" || kind == "run" ? ": warning: " : ": error: ") + message +
                (kind == "error" ? ", so the script does not run" : kind == "run" ? "" : " in the script");
    start = end + 1;
  }
  return runs ? Stack(c.after) + expected : expected.substr(1);
}

const double kPi = 3.141592653589793;

const std::string kMissing = "; the host reads 0 for each value missing";

const std::vector<Case> kCases = {
    // Numbers and strings; what is no word of the language keeps the script from running.
    {"5 -2.5 .5 3. 0x1F 0X1f -0x10 1e3 2.5E-1 -1e+2", {}, {5.0, -2.5, 0.5, 3.0, 31.0, 31.0, -16.0, 1000.0, 0.25, -100.0}},
    {"'LeftSingle' 'two words' ''", {}, {S("LeftSingle"), S("two words"), S("")}},
    {"1e", {}, {}, "1: error: '1e' is not a word of the calculator language"},
    {"0x", {}, {}, "1: error: '0x' is not a word of the calculator language"},
    {"0xG1", {}, {}, "1: error: '0xG1' is not a word of the calculator language"},
    {"1.2.3", {}, {}, "1: error: '1.2.3' is not a word of the calculator language"},
    {"-.", {}, {}, "1: error: '-.' is not a word of the calculator language"},
    {"+1", {}, {}, "1: error: '+1' is not a word of the calculator language"},
    // Slips published gauges hold.
    {"1 0\" 3- ==;", {}, {},
     "3: error: '0\"' is not a word of the calculator language\n"
     "6: error: '3-' is not a word of the calculator language\n"
     "9: error: '==;' is not a word of the calculator language"},
    {"'abc", {}, {}, "1: error: the string 'abc has no closing quote"},
    {"'a'b", {}, {}, "1: error: ''a'b' is not a word of the calculator language"},
    {"1 @Half", {}, {}, "3: error: '@Half' is a macro the gauge does not define"},
    // Arithmetic: the deeper value is the left operand.
    {"7 2 +", {}, {9.0}},
    {"7 2 -", {}, {5.0}},
    {"-", {7.0, 2.0}, {5.0}},
    {"7 2 *", {}, {14.0}},
    {"7 2 /", {}, {3.5}},
    {"7 0 /", {}, {}, "5: stops: '/' divides 7 by zero"},
    {"7 3 % -7 3 % 7.5 2 %", {}, {1.0, -1.0, 1.5}},
    {"7 0 %", {}, {}, "5: stops: '%' divides 7 by zero"},
    {"7 2 div -7 2 div", {}, {3.0, -3.0}},
    {"7 0 div", {}, {}, "5: stops: 'div' divides 7 by zero"},
    {"3 neg -3 neg 3 /-/", {}, {-3.0, 3.0, -3.0}},
    {"1.5 ++ 1.5 --", {}, {2.5, 0.5}},
    // Numbers.
    {"-3.5 abs 2 abs", {}, {3.5, 2.0}},
    {"-2.7 int 2.7 int", {}, {-2.0, 2.0}},
    {"2 -3 min 2 -3 max", {}, {-3.0, 2.0}},
    {"-1.5 flr 1.5 flr 2 flr", {}, {-2.0, 1.0, 2.0}},
    {"-1.5 ceil 1.2 ceil 2 ceil", {}, {-1.0, 2.0, 2.0}},
    {"2.5 near -2.5 near 1.4 near -1.6 near", {}, {3.0, -3.0, 1.0, -2.0}},
    {"3 sqr 16 sqrt 2 10 pow", {}, {9.0, 4.0, 1024.0}},
    {"0 exp 1 ln 1000 lg 8 2 log", {}, {1.0, 0.0, 3.0, 3.0}},
    {"pi", {}, {kPi}},
    {"5 1 10 rng 0 1 10 rng 10 1 10 rng", {}, {1.0, 0.0, 1.0}},
    // A string where a number is taken reads as the number it spells, or else 0.
    {"'5' 1 10 rng", {}, {1.0}, "10: run: 'rng' takes a number, not the string '5'; it reads 5"},
    // Angles.
    {"0 sin 0 cos 0 tg 1 ctg", {}, {0.0, 1.0, 0.0, 0.6420926159343306}},
    {"0 asin 1 acos 0 atg", {}, {0.0, 0.0, 0.0}},
    {"1 0 atg2 0 -1 atg2 0 1 atg2", {}, {kPi / 2, kPi, 0.0}},
    {"180 dgrd pi rddg", {}, {kPi, 180.0}},
    {"-30 dnor 370 d360 720 dnor -1 rnor", {}, {330.0, 10.0, 0.0, 2 * kPi - 1}},
    // Comparison.
    {"1 2 == 2 2 == 1 2 != 2 2 !=", {}, {0.0, 1.0, 1.0, 0.0}},
    {"1 2 > 2 1 > 1 2 < 2 1 <", {}, {0.0, 1.0, 1.0, 0.0}},
    {"2 2 >= 1 2 >= 2 2 <= 3 2 <=", {}, {1.0, 0.0, 1.0, 0.0}},
    {"1 2 eq 2 2 eq 1 2 ne 2 1 gt 1 2 lt 2 2 ge 3 2 le", {}, {0.0, 1.0, 1.0, 1.0, 1.0, 1.0, 0.0}},
    {"'a' 'a' ==", {}, {1.0}, "9: run: '==' takes a number, not the string 'a'; it reads 0"},
    // The conditional value: f t c ?
    {"'off' 'on' 1 ? 'off' 'on' 0 ? 5 6 -2 ?", {}, {S("on"), S("off"), 6.0}},
    {"'a' 'b' 'c' ?", {}, {S("a")}, "13: run: '?' takes a number, not the string 'c'; it reads 0"},
    // Logic: any non-zero number is true.
    {"2 3 && 2 0 && 0 0.5 and 0 0 and", {}, {1.0, 0.0, 0.0, 0.0}},
    {"2 0 || 0 0 || 0 -1 or 0 0 or", {}, {1.0, 0.0, 1.0, 0.0}},
    {"0 ! 5 ! 0.1 not 0 not", {}, {1.0, 0.0, 0.0, 1.0}},
    // Bits, on the values as 32-bit integers.
    {"12 10 & 12 10 | 12 10 ^", {}, {8.0, 14.0, 6.0}},
    {"0 ~ -1 ~ 5.9 3 & -1 0xFF &", {}, {-1.0, 0.0, 1.0, 255.0}},
    {"-8 1 >> 1 4 << 1 31 << 0xFF 4 >>", {}, {-4.0, 16.0, -2147483648.0, 15.0}},
    // Stack: a value missing reads 0, as the check before the run says, or the run when only it finds out.
    {"d", {1.0}, {1.0, 1.0}},
    {"d", {S("x")}, {S("x"), S("x")}},
    {"p", {1.0, 2.0}, {1.0}},
    {"r", {1.0, S("b")}, {S("b"), 1.0}},
    {"c", {1.0, 2.0, 3.0}, {}},
    {"c 4", {1.0}, {4.0}},
    {"d", {}, {0.0, 0.0}, "1: warning: 'd' needs 1 value but the stack holds none here" + kMissing},
    {"r", {1.0}, {1.0, 0.0}, "1: warning: 'r' needs 2 values but the stack holds at most 1 value here" + kMissing},
    {"1 2 c +", {}, {0.0}, "7: warning: '+' needs 2 values but the stack holds none here" + kMissing},
    // Registers: s keeps the value, sp pops it, l loads it; never stored reads 0.
    {"5 s0 l0", {}, {5.0, 5.0}},
    {"5 sp49 l49 l49", {}, {5.0, 5.0}},
    {"'on' sp3 l3", {}, {S("on")}},
    {"l7", {}, {0.0}},
    {"1 s50", {}, {}, "3: error: there is no register 50 in 's50': the registers are 0 to 49"},
    {"l100", {}, {}, "1: error: there is no register 100 in 'l100': the registers are 0 to 49"},
    {"s0", {}, {0.0}, "1: warning: 's0' needs 1 value but the stack holds none here" + kMissing},
    // Strings; a number where a string is taken reads as its text.
    {"'ab' 'cd' scat", {}, {S("abcd")}},
    {"'a' 1 scat", {}, {S("a1")}, "7: run: 'scat' takes a string, not the number 1; it reads '1'"},
    {"'a' 'a' scmp 'a' 'b' scmp 'b' 'a' scmp", {}, {0.0, -1.0, 1.0}},
    {"'ABC' 'abc' scmi 'abc' 'ABD' scmi 'ABC' 'abc' scmp", {}, {0.0, -1.0, -1.0}},
    {"(M:Event) 'LeftSingle' scmp 0 ==", {}, {1.0}},
    {"'MiXed' lc 'MiXed' uc 'mixed Case' cap '' cap", {}, {S("mixed"), S("MIXED"), S("Mixed Case"), S("")}},
    {"'four' slen '' slen", {}, {4.0, 0.0}},
    {"65 chr 'Alpha' ord '' ord", {}, {S("A"), 65.0, 0.0}},
    {"'Radio' 2 symb 'Radio' 9 symb", {}, {S("d"), S("")}},
    {"'Transponder' 5 3 ssub 'Transponder' 8 9 ssub", {}, {S("pon"), S("der")}},
    {"'Transponder' 'pond' sstr 'Transponder' 'x' sstr", {}, {5.0, -1.0}},
    // Blocks, and what the host reads where they do not match.
    {"1 if{ 2 }", {}, {2.0}},
    {"0 if{ 2 }", {}, {}},
    {"0.5 if{ 2 }", {}, {2.0}},
    {"1 if{ 2 } els{ 3 }", {}, {2.0}},
    {"0 if{ 2 } els{ 3 } 4", {}, {3.0, 4.0}},
    {"1 if{ 0 if{ 5 } els{ 6 } 7 } els{ 8 }", {}, {6.0, 7.0}},
    {"0 if{ 1 if{ 5 } } els{ 1 if{ 6 } els{ 7 } }", {}, {6.0}},
    {"1 quit 2", {}, {1.0}},
    {"1 if{ 3 quit } 2", {}, {3.0}},
    {"1 if{ 2", {}, {2.0}, "3: warning: 'if{' is never closed by '}': its block runs to the end of the script"},
    {"0 if{ 2", {}, {}, "3: warning: 'if{' is never closed by '}': its block runs to the end of the script"},
    {"1 if{ 2 } els{ 3", {}, {2.0}, "11: warning: 'els{' is never closed by '}': its block runs to the end of the script"},
    {"0 if{ 2 } els{ 3", {}, {3.0}, "11: warning: 'els{' is never closed by '}': its block runs to the end of the script"},
    {"1 } 2", {}, {1.0, 2.0}, "3: warning: '}' closes no block: it is passed over"},
    {"1 if{ 2 } 3 els{ 4 }", {}, {2.0, 3.0, 4.0},
     "13: warning: 'els{' follows no if{ block: it is passed over and its block runs"},
    {"if{ 5 }", {}, {}, "1: warning: 'if{' needs 1 value but the stack holds none here" + kMissing},
    {"'a' if{ 1 }", {}, {}, "5: run: 'if{' takes a number, not the string 'a'; it reads 0"},
    // The stack is followed through both ways of a block: '+' after this block finds
    // at most one value; with one more it may find two, and finds one only at run time.
    {"1 if{ 2 } +", {}, {2.0}, "11: warning: '+' needs 2 values but the stack holds at most 1 value here" + kMissing},
    {"1 d if{ 2 } +", {}, {3.0}},
    {"0 d if{ 2 } +", {}, {0.0}, "13: run: '+' needs 2 values but the stack holds 1" + kMissing},
    // Jumps, forward and back; a loop is bounded.
    {"1 g2 5 :2 6", {}, {1.0, 6.0}},
    {"0 sp0 :1 l0 1 + sp0 l0 3 < if{ g1 } l0", {}, {3.0}},
    {"1 g12345", {}, {}, "3: error: 'g12345': a label's number has at most 4 digits"},
    {":1 g1", {}, {}, "1: stops: the script ran 100000 tokens in one run and was stopped here: does a gN loop without end?"},
    {"1 g7 2", {}, {1.0}, "3: warning: 'g7' jumps to the label ':7', which the script does not have: the run ends there"},
    {"1 g1 :1 2 :1 3", {}, {1.0, 2.0, 3.0}, "11: warning: the label ':1' is written twice: a jump to it goes to the first"},
    {"1 g1 :1 +", {}, {1.0}, "9: warning: '+' needs 2 values but the stack holds at most 1 value here" + kMissing},
    // case: vK ... v1 K i case pushes v(i+1), or 0 when i is not below K.
    {"30 20 10 3 0 case 30 20 10 3 2 case", {}, {10.0, 30.0}},
    {"30 20 10 3 3 case 30 20 10 3 -1 case", {}, {0.0, 0.0}},
    {"'b' 'a' 2 (L:Lit, number) case", {}, {S("b")}},
    {"1 2 5 0 case", {}, {2.0}, "9: warning: 'case' needs 7 values but the stack holds at most 4 values here" + kMissing},
    {"10 20 1 1 + 0 case", {}, {20.0}},
    {"10 1 1 + 0 case", {}, {10.0}, "12: run: 'case' needs 2 values but the stack holds 1" + kMissing},
    {"7 8 2.9 1 case 0.4 4 case", {}, {7.0, 0.0}},
    {"7 8 1 3 - 0 case", {}, {7.0, 8.0}, "13: stops: 'case' is given a count of -2 values: the count is 0 or more"},
    // L: panel variables: the type letter's and the unit's case, and white space, do not
    // matter; one without a unit is a number, as they all are.
    {"(L:Lit, number) (l:Lit, Bool) (L:Unlit, enum) (L:lit, number) ( L:Lit , boolean ) (L:Lit)", {},
     {1.0, 1.0, 0.0, 0.0, 1.0, 1.0}},
    {"2.5 (>L:Lit, number) (L:Lit, number)", {}, {2.5}},
    {"90 (> L:Lit, Seconds) (L:Lit, seconds) 3 (>L:Lit) (L:Lit)", {}, {90.0, 3.0}},
    {"'x' (>L:Lit, number) (L:Lit)", {}, {0.0}, "5: run: '(>L:Lit, number)' takes a number, not the string 'x'; it reads 0"},
    {"(L:, number)", {}, {}, "1: error: '(L:, number)' names no variable"},
    {"(L:Lit, number", {}, {}, "1: error: '(L:Lit, number' has no closing ')'"},
    // A: as the scenario set it or a script wrote it, converted within a unit's family; a
    // plain unit reads it as it is held.
    {"(A:PLANE ALTITUDE, feet) (a:PLANE ALTITUDE, Meters) (A:PLANE ALTITUDE, number)", {}, {1000.0, 304.8, 1000.0}},
    {"(A:NAV ACTIVE FREQUENCY:1, mhz) (A:NAV ACTIVE FREQUENCY:1, KHz)", {}, {110.5, 110500.0}},
    {"(A:AMBIENT TEMPERATURE, farenheit) (A:AMBIENT TEMPERATURE, fahrenheit)", {}, {59.0, 59.0}},
    {"(A:SEA LEVEL PRESSURE, inHg) 1000 * near", {}, {29921.0}},
    {"(A:ELECTRICAL MASTER BATTERY, Boolean) (A:GENERAL ENG RPM:1, percent) (A:NEVER SET, bool)", {}, {1.0, 2000.0, 0.0},
     "40: run: (A:GENERAL ENG RPM:1, percent) reads 2000 as it was set, in rpm: the gauge host does not convert rpm to percent\n"
     "71: run: (A:NEVER SET, bool) was never set by the scenario; it reads 0"},
    {"(A:PLANE ALTITUDE)", {}, {1000.0},
     "1: warning: '(A:PLANE ALTITUDE)' has no unit; it reads as the scenario set it, as in (A:PLANE ALTITUDE, bool)"},
    {"2 (>A:PLANE ALTITUDE, meters) (A:PLANE ALTITUDE, meters) (A:PLANE ALTITUDE, feet) 1000 * near", {}, {2.0, 6562.0}},
    // C: another module's, as A: are, and in the unit string a text.
    {"(C:fs9gps:WaypointAirportICAO, string) (C:fs9gps:NearestAirportCurrentLine, number) (c:fs9gps:Other, string)", {},
     {S("KSEA"), 0.0, S("")},
     "40: run: (C:fs9gps:NearestAirportCurrentLine, number) was never set by the scenario; it reads 0\n"
     "85: run: (c:fs9gps:Other, string) was never set by the scenario; it reads ''"},
    {"'KBFI' (>C:fs9gps:WaypointAirportICAO, string) (C:fs9gps:WaypointAirportICAO, string) 3 (>C:Mod:Index) (C:Mod:Index)",
     {}, {S("KBFI"), 3.0}},
    // K: key events take the value on top, when there is one; a unit after one means nothing.
    {"(> K:PANEL_ID_TOGGLE) 1 2 (>K:FLAPS_SET) 3 (>K:FLAPS_SET, number)", {}, {1.0}},
    {"(K:TOGGLE_BEACON_LIGHTS)", {}, {0.0},
     "1: warning: '(K:TOGGLE_BEACON_LIGHTS)': a key event is sent with (>K:TOGGLE_BEACON_LIGHTS), not read; it reads 0"},
    // P: and E:, either letter, from the host's clock an hour after the start, or as set.
    {"(P:Absolute time, seconds) (P:absolute time, minutes) (P:Local time, hours) (P:Zulu time, Hours) "
     "(P:Simulation rate, number) (P:zulu time, number)",
     {}, {4600.0, 4600.0 / 60, 13.0, 11.0, 1.0, 39600.0}},
    {"(E:ABSOLUTE TIME, second) (E:SIMULATION TIME, second) (E:LOCAL TIME, seconds) (E:ZULU TIME, seconds)", {},
     {4600.0, 4600.0, 46800.0, 39600.0}},
    {"(E:TIME OF DAY, enum) (P:Units of measure, enum) (E:LOCAL YEAR, number) (P:TIME ZONE OFFSET, hours) "
     "(E:ZULU DAY OF WEEK, number)",
     {}, {1.0, 0.0, 2026.0, -2.0, 1.0}},
    {"(P:Absolute time, feet)", {}, {4600.0},
     "1: warning: '(P:Absolute time, feet)' is read in seconds: the gauge host does not read ABSOLUTE TIME in 'feet'"},
    {"(P:Absolute time)", {}, {4600.0},
     "1: warning: '(P:Absolute time)' has no unit; it reads in seconds, as in (P:ABSOLUTE TIME, seconds)"},
    {"(E:LOCAL TIMES, seconds)", {}, {0.0},
     "1: warning: the gauge host does not know '(E:LOCAL TIMES, seconds)' (did you mean LOCAL TIME?); it reads 0"},
    {"1 (>P:Absolute time, seconds)", {}, {},
     "3: warning: '(>P:Absolute time, seconds)': P: variables are read only; the value written is dropped"},
    // G: the gauge's own, M: the mouse, R: the simulator's strings, which the host does not hold.
    {"3 (>G:Var1) (G:Var1) (g:var9)", {}, {3.0, 0.0}},
    {"(G:Var10)", {}, {0.0}, "1: warning: '(G:Var10)': a gauge's own variables are (G:Var1) to (G:Var9); it reads 0"},
    {"(M:Event) (M:X) (M:Y) (M:Key)", {}, {S("LeftSingle"), 12.0, 34.0, 0.0}},
    {"(M:Z)", {}, {0.0}, "1: warning: '(M:Z)': the mouse variables are (M:Event), (M:X) and (M:Y); it reads 0"},
    {"1 (>M:X)", {}, {}, "3: warning: '(>M:X)': M: variables are read only; the value written is dropped"},
    {"(R:HELPID_GAUGE_LIGHT_SWITCH)", {}, {S("")}},
    // Later simulators' variables.
    {"1 (>H:A320_Neo_CDU_1_BTN_A) (B:LIGHTING_LANDING_1)", {}, {0.0},
     "3: warning: '(>H:A320_Neo_CDU_1_BTN_A)': the gauge host does not know variables of type H: (it knows L:, A:, "
     "C:, K:, P:, E:, G:, M: and R:); the value written is dropped\n"
     "29: warning: '(B:LIGHTING_LANDING_1)': the gauge host does not know variables of type B: (it knows L:, A:, C:, "
     "K:, P:, E:, G:, M: and R:); it reads 0"},
    {"(Lit)", {}, {}, "1: error: '(Lit)' is not a variable: write (L:NAME, UNIT), (A:NAME, UNIT), (>K:EVENT) or (M:Event)"},
    // Anything else.
    {"1 iff{ }", {}, {}, "3: error: 'iff{' is not a word of the calculator language"},
    {"1 if{ 2}", {}, {}, "7: error: '2}' is not a word of the calculator language"},
};

TEST(CalculatorTest, EveryTokenOnTheStack) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.script + " on " + Stack(c.before));
    EXPECT_EQ(Outcome(c.script, c.before), Expected(c));
  }
}

// Every word of the operator table has a row above that uses it ("sN" as s and a number).
TEST(CalculatorTest, EveryOperatorHasACase) {
  for (const std::string_view word : gauge_host::OperatorWords()) {
    const std::string prefix(word.ends_with('N') && word.size() > 1 ? word.substr(0, word.size() - 1) : word);
    const bool numbered = prefix.size() < word.size();
    const bool used = std::any_of(kCases.begin(), kCases.end(), [&](const Case& c) {
      std::istringstream tokens(c.script);
      std::string token;
      while (tokens >> token) {
        if (numbered ? token.size() > prefix.size() && token.starts_with(prefix) &&
                           std::isdigit(static_cast<unsigned char>(token[prefix.size()]))
                     : token == prefix) {
          return true;
        }
      }
      return false;
    });
    EXPECT_TRUE(used) << word;
  }
}

// The guide's reference of the operators names every word of the operator table, and
// no other: the first cell of each row of its table of words.
TEST(CalculatorTest, TheGuideListsEveryOperator) {
  std::ifstream guide(TVL_GUIDE_PATH);
  ASSERT_TRUE(guide) << TVL_GUIDE_PATH;
  std::set<std::string> listed;
  bool in_section = false;
  bool in_table = false;
  for (std::string line; std::getline(guide, line);) {
    in_section = line.starts_with("## ") ? line == "## The calculator language in the gauge host" : in_section;
    in_table = in_section && (line.starts_with("| Words |") || (in_table && line.starts_with("|")));
    std::size_t end = 1;  // the first cell ends at a '|' not written "\|"
    while (in_table && end < line.size() && !(line[end] == '|' && line[end - 1] != '\\')) {
      ++end;
    }
    const std::string cell = in_table ? line.substr(1, end - 1) : "";
    for (std::size_t open = cell.find('`'); open != std::string::npos;) {
      const std::size_t close = cell.find('`', open + 1);
      std::string word = cell.substr(open + 1, close - open - 1);
      for (std::size_t escaped = word.find("\\|"); escaped != std::string::npos; escaped = word.find("\\|")) {
        word.erase(escaped, 1);
      }
      listed.insert(word);
      open = close == std::string::npos ? close : cell.find('`', close + 1);
    }
  }
  std::vector<std::string> not_listed;
  for (const std::string_view word : gauge_host::OperatorWords()) {
    if (listed.erase(std::string(word)) == 0) {
      not_listed.emplace_back(word);
    }
  }
  EXPECT_EQ(not_listed, std::vector<std::string>{}) << "operators the guide does not list";
  EXPECT_EQ(listed, std::set<std::string>{}) << "words the guide lists that are no operators";
}

// The guide's table of the P: and E: variables is the calculator's: a row each, "| `NAME` |
// UNIT | WHAT |", in its order.
TEST(CalculatorTest, TheGuideListsEveryVariableOfTheEnvironment) {
  std::ifstream guide(TVL_GUIDE_PATH);
  ASSERT_TRUE(guide) << TVL_GUIDE_PATH;
  std::vector<std::string> listed;
  bool in_table = false;
  for (std::string line; std::getline(guide, line);) {
    in_table = line.starts_with("| Name | Unit | In the gauge host |") || (in_table && line.starts_with("|"));
    if (in_table && line.starts_with("| `")) {
      listed.push_back(line);
    }
  }
  std::vector<std::string> rows;
  for (const std::string& row : gauge_host::EnvironmentRows()) {
    const std::size_t first = row.find('|');
    const std::size_t second = row.find('|', first + 1);
    rows.push_back("| `" + row.substr(0, first) + "` | " + row.substr(first + 1, second - first - 1) + " | " +
                   row.substr(second + 1) + " |");
  }
  EXPECT_EQ(listed, rows);
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
      "  0.25 (>L:Tvl_PlayMusic, number) 3 (>K:FLAPS_SET) 'KSEA' (>C:fs9gps:Icao, string)", {12, 9}),
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
      "write (>C:fs9gps:Icao, string) = 'KSEA'",
  }));
  EXPECT_EQ(world.panel_variables, (std::map<std::string, double, std::less<>>{{"Tvl_PlayMusic", 0.25}}));
  EXPECT_EQ(Stack(stack), "[]");

  // Set by the scenario, it is read without a warning; the warning was given once only.
  gauge_host::SetKeptVariable(world, "A", "ELECTRICAL MASTER BATTERY", "bool", 1.0);
  const ScriptRun second = RunScript(script, world, stack);
  EXPECT_EQ(Texts(second.events), (std::vector<std::string>{
      "write Tvl_CallMayday = 1",
      "key event TOGGLE_BEACON_LIGHTS 1",
      "write Tvl_PlayMusic = 0.25",
      "key event FLAPS_SET 3",
      "write (>C:fs9gps:Icao, string) = 'KSEA'",
  }));
  EXPECT_EQ(world.panel_variables["Tvl_CallMayday"], 1);
  EXPECT_EQ(second.events[2].variable, "Tvl_PlayMusic");
  EXPECT_EQ(second.events[2].value, 0.25);

  world.kept_variables.erase("A:ELECTRICAL MASTER BATTERY");
  EXPECT_EQ(Texts(RunScript(script, world, stack).events).front(), "key event TOGGLE_BEACON_LIGHTS 0");
}

// A variable of the simulation set in a unit of no family of the one read is read as set,
// with one warning; so is a P: or E: variable the scenario set.
TEST(CalculatorTest, ASimulationVariableInAnotherFamilyReadsAsSetWithOneWarning) {
  const Script script = CompileScript(
      gauge_host::TextAt("(A:GENERAL ENG RPM:1, percent) (A:GENERAL ENG RPM:1, rpm) (A:GENERAL ENG RPM:1, number)", {1, 1}),
      kOrigin, 0);
  ScriptWorld world;
  gauge_host::SetKeptVariable(world, "A", "GENERAL ENG RPM:1", "RPM", 2000.0);
  std::vector<Value> stack;
  EXPECT_EQ(Texts(RunScript(script, world, stack).events),
            std::vector<std::string>{"t.xml:1:1: warning: (A:GENERAL ENG RPM:1, percent) reads 2000 as it was set, "
                                     "in rpm: the gauge host does not convert rpm to percent"});
  EXPECT_EQ(Texts(RunScript(script, world, stack).events), std::vector<std::string>{});
  EXPECT_EQ(Stack(stack), "[2000 2000 2000 2000 2000 2000]");
}

// The scenario sets a P: or E: variable that is not the clock's, in its unit's family.
TEST(CalculatorTest, TheScenarioSetsWhatIsNotTheClock) {
  EXPECT_EQ(gauge_host::SettingProblem("E", "TIME OF DAY", "enum"), std::nullopt);
  EXPECT_EQ(gauge_host::SettingProblem("P", "time zone offset", "hours"), std::nullopt);
  EXPECT_EQ(gauge_host::SettingProblem("P", "Local time", "seconds"),
            "the host's clock gives (P:Local time, seconds): the time of day, 12:00:00 at the start");
  EXPECT_EQ(gauge_host::SettingProblem("E", "TIME OF DAYS", "enum"),
            "the gauge host does not know (E:TIME OF DAYS, enum) (did you mean TIME OF DAY?)");
  EXPECT_EQ(gauge_host::SettingProblem("E", "TIME ZONE OFFSET", "feet"),
            "TIME ZONE OFFSET is set in seconds, not in 'feet'");
  ScriptWorld world;
  gauge_host::SetSetting(world, "TIME OF DAY", "enum", 3);
  gauge_host::SetSetting(world, "Time zone offset", "hours", 5);
  const Script script = CompileScript(
      gauge_host::TextAt("(E:TIME OF DAY, enum) (P:TIME ZONE OFFSET, seconds) (P:UNITS OF MEASURE, enum)", {1, 1}),
      kOrigin, 0);
  std::vector<Value> stack;
  RunScript(script, world, stack);
  EXPECT_EQ(Stack(stack), "[3 18000 0]");
}

TEST(CalculatorTest, EachGaugeHasItsOwnVariablesAndTheClockRunsFromAFixedStart) {
  const Script script =
      CompileScript(gauge_host::TextAt("(G:Var2) 1 + (>G:Var2) (G:Var2) (E:LOCAL TIME, hours)", {1, 1}), kOrigin, 0);
  ScriptWorld world;
  std::array<double, 9> first{};
  std::array<double, 9> second{};
  std::vector<Value> stack;
  world.gauge_variables = &first;
  RunScript(script, world, stack);
  RunScript(script, world, stack);
  world.gauge_variables = &second;
  RunScript(script, world, stack);
  // A script of no gauge has G: variables of its own; thirteen hours on, the local time is 01:00.
  world.gauge_variables = nullptr;
  world.elapsed_seconds = 13 * 3600;
  RunScript(script, world, stack);
  EXPECT_EQ(Stack(stack), "[1 12 2 12 1 12 1 1]");
  EXPECT_EQ(first[1], 2);
  EXPECT_EQ(second[1], 1);
  EXPECT_EQ(world.gaugeless_variables[1], 1);
}

TEST(CalculatorTest, RegistersStartAtZeroOnEveryRun) {
  const Script script = CompileScript(gauge_host::TextAt("l0 1 + s0", {1, 1}), kOrigin, 0);
  ScriptWorld world;
  std::vector<Value> stack;
  RunScript(script, world, stack);
  RunScript(script, world, stack);
  EXPECT_EQ(Stack(stack), "[1 1]");
}

TEST(CalculatorTest, FindingsGiveTheLineAndColumnInTheFile) {
  // The script's text starts at line 20, column 14 of its file; a string or variable may
  // hold spaces and a line break.
  const Script script = CompileScript(gauge_host::TextAt(
      "(M:Event) 'Left\nSingle' scmp\n"
      "\t(A:GENERAL ENG RPM:1,\n rpm) p foo\n"
      "  1 if{", {20, 14}),
      {"button.xml", "the <Click> script of area 2"}, 0);
  EXPECT_EQ(Formatted(script.errors), (std::vector<std::string>{
      "button.xml:23:9: error: 'foo' is not a word of the calculator language, so the <Click> script of area 2 does "
      "not run",
  }));
  EXPECT_EQ(Formatted(script.warnings), (std::vector<std::string>{
      "button.xml:24:5: warning: 'if{' is never closed by '}': its block runs to the end of the script in the <Click> "
      "script of area 2",
  }));

  // A script read from XML: "&amp;&amp;" decoded to "&&", each byte where it came from.
  const Script decoded = CompileScript({"1 1 && x", {{3, 5}, {3, 6}, {3, 7}, {3, 8}, {3, 9}, {3, 14}, {3, 19}, {3, 20}}, {}},
                                       {"c.xml", "the <Update> script"}, 0);
  EXPECT_EQ(Formatted(decoded.errors), std::vector<std::string>{"c.xml:3:20: error: 'x' is not a word of the calculator "
                                                                "language, so the <Update> script does not run"});

  // A run that stops; a warning of a run is given once in the world's life.
  const Script division = CompileScript(gauge_host::TextAt("1\n   0 /", {5, 3}), {"b.xml", "the <Update> script"}, 0);
  ScriptWorld world;
  std::vector<Value> stack;
  EXPECT_EQ(Formatted(RunScript(division, world, stack).error), "b.xml:6:6: error: '/' divides 1 by zero in the <Update> script");
  const Script coerced = CompileScript(gauge_host::TextAt("'a' 1 +", {1, 1}), kOrigin, 0);
  EXPECT_EQ(Texts(RunScript(coerced, world, stack).events).size(), 1u);
  EXPECT_EQ(Texts(RunScript(coerced, world, stack).events).size(), 0u);
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
