// The gauge host's scenario parser: what each well-formed step becomes, and the error or
// warning every kind of bad input gets, with the file name and line.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/gauge_tree.h"
#include "tools/gauge_host/scenario/scenario.h"
#include "tools/gauge_host/scenario/steps.h"
#include "tools/gauge_host/common/module_variables.h"
#include "tools/gauge_host/common/text.h"

namespace {

using gauge_host::ParseScenario;
using gauge_host::Scenario;
using gauge_host::ScenarioStep;

// The scenario's errors and warnings, as printed.
std::vector<std::string> Messages(const Scenario& scenario) {
  std::vector<std::string> texts;
  for (const gauge_host::Diagnostic& diagnostic : scenario.diagnostics) {
    texts.push_back(gauge_host::FormatDiagnostic(diagnostic));
  }
  return texts;
}

Scenario ParseAndCheck(const std::string& text, const std::string& file_name) {
  Scenario scenario = ParseScenario(text, file_name);
  gauge_host::CheckScenario(scenario, file_name, {});
  return scenario;
}

TEST(ScenarioTest, EveryStepKind) {
  const Scenario scenario = ParseScenario(
      "# a comment line\n"
      "set Tvl_CallMayday 1   # a panel gauge presses\n"
      "\n"
      "frame\n"
      "frames 25\n"
      "frame 3\n"
      "addon load\n"
      "addon export null\n"
      "addon export record\n"
      "addon seatbelt -7\n"
      "addon free\n"
      "window destroy\n"
      "window create\n"
      "  expect Tvl_SeatbeltSign +1\n"
      "expect addon seatbelt 0\n"
      "expect chords none\n"
      "expect chords Ctrl+Shift+M ctrl+shift+t Ctrl+Shift+1\n"
      "set Tvl_PlayMusic 0.5\n"
      "expect Tvl_PlayMusic -0.25\n"
      "set (A:ELECTRICAL MASTER BATTERY, bool) 1\n"
      "gauge gauges/Tvl_Commands.xml\n"
      "click gauges/Tvl_Commands.xml 2\n"
      "click gauges/Tvl_Commands.xml \"Call mayday\" LeftRelease  # with a comment\n"
      "gauge \"My Gauges/Cabin #2.xml\"\n"
      "eval 1 (>L:Tvl_CallMayday, number) # with a comment\n"
      "panel hide\n"
      "panel show\n"
      "click gauges/Tvl_Commands.xml 1 12,-30.5\n"
      "press gauges/Tvl_Commands.xml \"Call mayday\" RightSingle 1,2\n"
      "release gauges/Tvl_Commands.xml \"Call mayday\"\n"
      "rate 30\n",
      "all.scn");
  EXPECT_EQ(Messages(scenario), std::vector<std::string>{});
  struct Expected {
    int line;
    std::string usage;  // the step's words and arguments, as --help shows them
    std::string name;
    double value;  // a variable's for set and expect
    std::uint32_t frames;
    std::string chord_keys;
    std::string file = "";
    std::string area = "";
    std::string event = "";
    std::optional<std::pair<double, double>> mouse_at = std::nullopt;
  };
  const std::vector<Expected> expected = {
      {2, "set NAME VALUE", "Tvl_CallMayday", 1, 1, ""},
      {4, "frame [N]", "", 0, 1, ""},
      {5, "frames N", "", 0, 25, ""},
      {6, "frame [N]", "", 0, 3, ""},
      {7, "addon load", "", 0, 1, ""},
      {8, "addon export null", "", 0, 1, ""},
      {9, "addon export record", "", 0, 1, ""},
      {10, "addon seatbelt SIGN", "", -7, 1, ""},
      {11, "addon free", "", 0, 1, ""},
      {12, "window destroy", "", 0, 1, ""},
      {13, "window create", "", 0, 1, ""},
      {14, "expect NAME VALUE", "Tvl_SeatbeltSign", 1, 1, ""},
      {15, "expect addon seatbelt SIGN", "", 0, 1, ""},
      {16, "expect chords KEYS|none", "", 0, 1, ""},
      {17, "expect chords KEYS|none", "", 0, 1, "MT1"},
      {18, "set NAME VALUE", "Tvl_PlayMusic", 0.5, 1, ""},
      {19, "expect NAME VALUE", "Tvl_PlayMusic", -0.25, 1, ""},
      {20, "set (A:NAME, UNIT) VALUE", "ELECTRICAL MASTER BATTERY", 1, 1, ""},
      {21, "gauge FILE.xml", "", 0, 1, "", "gauges/Tvl_Commands.xml"},
      {22, "click FILE.xml AREA [EVENT] [X,Y]", "", 0, 1, "", "gauges/Tvl_Commands.xml", "2", "LeftSingle"},
      {23, "click FILE.xml AREA [EVENT] [X,Y]", "", 0, 1, "", "gauges/Tvl_Commands.xml", "\"Call mayday\"", "LeftRelease"},
      {24, "gauge FILE.xml", "", 0, 1, "", "My Gauges/Cabin #2.xml"},
      {25, "eval SCRIPT", "", 0, 1, ""},
      {26, "panel hide", "", 0, 1, ""},
      {27, "panel show", "", 0, 1, ""},
      {28, "click FILE.xml AREA [EVENT] [X,Y]", "", 0, 1, "", "gauges/Tvl_Commands.xml", "1", "LeftSingle",
       std::pair{12.0, -30.5}},
      {29, "press FILE.xml AREA [EVENT] [X,Y]", "", 0, 1, "", "gauges/Tvl_Commands.xml", "\"Call mayday\"",
       "RightSingle", std::pair{1.0, 2.0}},
      {30, "release FILE.xml AREA", "", 0, 1, "", "gauges/Tvl_Commands.xml", "\"Call mayday\""},
      {31, "rate FPS", "", 30, 1, ""},
  };
  ASSERT_EQ(scenario.steps.size(), expected.size());
  for (std::size_t index = 0; index < expected.size(); ++index) {
    SCOPED_TRACE(scenario.steps[index].text);
    EXPECT_EQ(scenario.steps[index].line, expected[index].line);
    const gauge_host::StepRow& row = *scenario.steps[index].row;
    EXPECT_EQ(std::string(row.words) + (row.arguments.empty() ? "" : " ") + std::string(row.arguments),
              expected[index].usage);
    EXPECT_EQ(scenario.steps[index].name, expected[index].name);
    const ScenarioStep& step = scenario.steps[index];
    const bool of_a_variable = expected[index].usage.ends_with("VALUE");
    EXPECT_EQ(of_a_variable ? step.number : step.value, expected[index].value);
    EXPECT_EQ(step.frames, expected[index].frames);
    EXPECT_EQ(step.chord_keys, expected[index].chord_keys);
    EXPECT_EQ(step.file, expected[index].file);
    EXPECT_EQ(step.area, expected[index].area);
    EXPECT_EQ(step.event, expected[index].event);
    EXPECT_EQ(step.mouse_at, expected[index].mouse_at);
  }
  // The script of an eval step, with each token's place in the scenario.
  const gauge_host::Instruction& write = scenario.steps[22].script.code.at(1);
  EXPECT_EQ(write.name, "Tvl_CallMayday");
  EXPECT_EQ(write.position.column, 8);
  EXPECT_EQ(scenario.steps[0].text, "set Tvl_CallMayday 1");
  EXPECT_EQ(scenario.steps[11].text, "expect Tvl_SeatbeltSign +1");
}

TEST(ScenarioTest, ExtremeValuesFitIn32Bits) {
  const Scenario scenario = ParseScenario("set Tvl_PlayMusic -2147483648\nset Tvl_PlayMusic 2147483647\n", "x");
  ASSERT_EQ(Messages(scenario), std::vector<std::string>{});
  EXPECT_EQ(scenario.steps[0].number, INT32_MIN);
  EXPECT_EQ(scenario.steps[1].number, INT32_MAX);
}

// The variables a scenario sets for the gauges' scripts: the simulation's, another
// module's, the environment's that are not the clock's; a text in the unit string.
TEST(ScenarioTest, SetsTheVariablesScriptsRead) {
  struct Case {
    const char* line;
    std::string set;  // "TYPE NAME UNIT VALUE", or the error
  };
  const Case cases[] = {
      {"set (A:PLANE ALTITUDE, feet) 3500.5", "A PLANE ALTITUDE feet 3500.5"},
      {"set (A:COM ACTIVE FREQUENCY:1, Hz) 118500000", "A COM ACTIVE FREQUENCY:1 Hz 118500000"},
      {"set (C:fs9gps:WaypointAirportICAO, string) 'KSEA'", "C fs9gps:WaypointAirportICAO string 'KSEA'"},
      {"set (C:fs9gps:WaypointAirportName, string) 'Boeing Field'", "C fs9gps:WaypointAirportName string 'Boeing Field'"},
      {"set (C:MODULE:Index, number) -2", "C MODULE:Index number -2"},
      {"set (E:TIME OF DAY, enum) 3", "E TIME OF DAY enum 3"},
      {"set (P:Units of measure, enum) 2", "P Units of measure enum 2"},
      {"set (C:fs9gps:WaypointAirportICAO, string) KSEA",
       "error: 'KSEA' is not a text: a variable in the unit string is set to 'TEXT'"},
      {"set (P:Local time, seconds) 0",
       "error: the host's clock gives (P:Local time, seconds): the time of day, 12:00:00 at the start"},
      {"set (E:TIME OF DAYS, enum) 1", "error: the gauge host does not know (E:TIME OF DAYS, enum) (did you mean TIME OF DAY?)"},
      {"set (K:FLAPS_SET, number) 1",
       "error: '(K:FLAPS_SET, number)' is not a variable a scenario sets: write (A:NAME, UNIT), (C:MODULE:NAME, UNIT), "
       "(P:NAME, UNIT) or (E:NAME, UNIT), or a panel variable's name alone"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const Scenario scenario = ParseScenario(c.line, "s.scn");
    if (!scenario.diagnostics.empty()) {
      EXPECT_EQ(Messages(scenario), std::vector<std::string>{"s.scn:1: " + c.set});
      continue;
    }
    ASSERT_EQ(scenario.steps.size(), 1u);
    const ScenarioStep& step = scenario.steps[0];
    EXPECT_EQ(step.type + " " + step.name + " " + step.unit + " " +
                  (step.text_value ? "'" + *step.text_value + "'" : gauge_host::FormatNumber(step.number)),
              c.set);
  }
}

TEST(ScenarioTest, BadInputIsAnErrorWithFileAndLine) {
  struct Case {
    const char* line;
    const char* error;
  };
  const Case cases[] = {
      {"fram", "unknown step 'fram' (did you mean 'frame'?); the steps are set, frame, frames, addon, window, panel, expect, gauge, click, press, release, rate and eval"},
      {"expct chords none", "unknown step 'expct' (did you mean 'expect'?); the steps are set, frame, frames, addon, window, panel, expect, gauge, click, press, release, rate and eval"},
      {"set", "'set' needs a variable name"},
      {"set Tvl_CallMayday", "'set Tvl_CallMayday' needs a number"},
      {"set Tvl_CallMayday one", "'one' is not a number"},
      {"set Tvl_CallMayday 1.5.2", "'1.5.2' is not a number"},
      {"set Tvl_CallMayday 1e", "'1e' is not a number"},
      {"set Tvl_CallMayday -", "'-' is not a number"},
      {"set Tvl_CallMayday 2147483647.5", "'2147483647.5' is beyond 32 bits: a value is from -2147483648 to 2147483647"},
      {"set (A:PLANE ALTITUDE) 1", "'(A:PLANE ALTITUDE)' is not a variable a scenario sets: write (A:NAME, UNIT), "
       "(C:MODULE:NAME, UNIT), (P:NAME, UNIT) or (E:NAME, UNIT), or a panel variable's name alone"},
      {"set (L:Tvl_CallMayday, number) 1", "'(L:Tvl_CallMayday, number)' is not a variable a scenario sets: write (A:NAME, UNIT), "
       "(C:MODULE:NAME, UNIT), (P:NAME, UNIT) or (E:NAME, UNIT), or a panel variable's name alone"},
      {"set (A:PLANE ALTITUDE, feet) high", "'high' is not a number"},
      {"gauge", "'gauge' needs the gauge's file, such as gauges/Tvl_Commands.xml"},
      {"gauge a.xml b.xml", "unexpected 'b.xml' at the end of the step; write a path with spaces in double quotes"},
      {"gauge My Gauges/Cabin.xml",
       "unexpected 'Gauges/Cabin.xml' at the end of the step; write a path with spaces in double quotes"},
      {"gauge \"My Gauges/Cabin.xml", "the double quote before 'My Gauges/Cabin.xml' is never closed"},
      {"click \"My Gauges/Cabin.xml 1", "the double quote before 'My Gauges/Cabin.xml 1' is never closed"},
      {"gauge \"\"", "an empty path: write the gauge's file between the double quotes"},
      {"expect chord Ctrl+Shift+M", "'expect chord' is not a step: did you mean 'expect chords'?"},
      {"expect Chords none", "'expect Chords' is not a step: did you mean 'expect chords'?"},
      {"expect adon seatbelt 1", "'expect adon' is not a step: did you mean 'expect addon'?"},
      {"frame 3000000000", "a frame count is from 1 to 1000000, not 3000000000"},
      {"frames 99999999999999999999999", "a frame count is from 1 to 1000000, not 99999999999999999999999"},
      {"frames -3000000000", "a frame count is from 1 to 1000000, not -3000000000"},
      {"frames 0001000000 1", "unexpected '1' at the end of the step"},
      {"frames 1.5", "'1.5' is not a whole number"},
      {"click a.xml", "'click a.xml' needs the area's number or \"tooltip\""},
      {"click a.xml \"Call mayday\" LeftSingle now", "unexpected 'now' at the end of the step"},
      {"eval", "'eval' needs a script"},
      {"set Tvl_CallMayday 2147483648", "'2147483648' is beyond 32 bits: a value is from -2147483648 to 2147483647"},
      {"set Tvl_CallMayday -2147483649", "'-2147483649' is beyond 32 bits: a value is from -2147483648 to 2147483647"},
      {"set Tvl_CallMayday 99999999999999999999999", "'99999999999999999999999' is beyond 32 bits: a value is from -2147483648 to 2147483647"},
      {"set Tvl_CallMayday 1 2", "unexpected '2' at the end of the step"},
      {"set L:Tvl_CallMayday 1", "'L:Tvl_CallMayday' is not a variable name: write it without 'L:', as 'Tvl_CallMayday'"},
      {"set Tvl-CallMayday 1", "'Tvl-CallMayday' is not a variable name: use letters, digits and underscores"},
      {"frames", "'frames' needs a number of frames"},
      {"frames 0", "a frame count is from 1 to 1000000, not 0"},
      {"frame -3", "a frame count is from 1 to 1000000, not -3"},
      {"frames 1000001", "a frame count is from 1 to 1000000, not 1000001"},
      {"frame 2 more", "unexpected 'more' at the end of the step"},
      {"addon", "'addon' is followed by load, free, export null, export record or seatbelt SIGN"},
      {"addon unload", "'addon' is followed by load, free, export null, export record or seatbelt SIGN, not 'unload'"},
      {"addon export", "'addon export' is followed by null or record"},
      {"addon export nothing", "'addon export' is followed by null or record, not 'nothing'"},
      {"addon seatbelt", "'addon seatbelt' needs a number"},
      {"addon load now", "unexpected 'now' at the end of the step"},
      {"window open", "'window' is followed by create or destroy, not 'open'"},
      {"expect", "'expect' is followed by NAME VALUE, addon seatbelt SIGN or chords KEYS|none"},
      {"expect Tvl_SeatbeltSign", "'expect Tvl_SeatbeltSign' needs a number"},
      {"expect addon field 1", "'expect addon' is followed by seatbelt SIGN, not 'field'"},
      {"expect addon seatbelt x", "'x' is not a whole number"},
      {"expect Tvl_PlayMusic on", "'on' is not a number"},
      {"expect chords", "'expect chords' needs none or chords such as Ctrl+Shift+M"},
      {"expect chords Ctrl+M", "'Ctrl+M' is not a chord: write Ctrl+Shift+ and one letter or digit"},
      {"expect chords Ctrl+Shift+F1", "'Ctrl+Shift+F1' is not a chord: write Ctrl+Shift+ and one letter or digit"},
      {"expect chords Ctrl+Shift+-", "'Ctrl+Shift+-' is not a chord: write Ctrl+Shift+ and one letter or digit"},
      {"expect chords none Ctrl+Shift+M", "unexpected 'Ctrl+Shift+M' at the end of the step"},
      {"expect chords Ctrl+Shift+_", "'Ctrl+Shift+_' is not a chord: write Ctrl+Shift+ and one letter or digit"},
      {"expect chords Ctrl+Shift+MM", "'Ctrl+Shift+MM' is not a chord: write Ctrl+Shift+ and one letter or digit"},
      {"expect addon", "'expect addon' is followed by seatbelt SIGN"},
      {"click", "'click' needs the gauge's file, such as gauges/Tvl_Commands.xml"},
      {"set (A:PLANE ALTITUDE, feet)", "'set (A:PLANE ALTITUDE, feet)' needs a number"},
      {"set (A:PLANE ALTITUDE, feet 1", "'(A:PLANE ALTITUDE, feet 1' is not a variable a scenario sets: write (A:NAME, UNIT), "
       "(C:MODULE:NAME, UNIT), (P:NAME, UNIT) or (E:NAME, UNIT), or a panel variable's name alone"},
      {"set l:Tvl_CallMayday 1", "'l:Tvl_CallMayday' is not a variable name: write it without 'L:', as 'Tvl_CallMayday'"},
      {"addon seatbelt 99999999999", "'99999999999' is beyond 32 bits: a value is from -2147483648 to 2147483647"},
      {"addon seatbelt -", "'-' is not a whole number"},
      {"set Tvl_PlayMusic \u22124", "'\u22124' has a Unicode minus sign (\u2212), not the ASCII '-': write -4"},
      {"expect Tvl_PlayMusic \u22120.5", "'\u22120.5' has a Unicode minus sign (\u2212), not the ASCII '-': write -0.5"},
      {"addon seatbelt \u22121", "'\u22121' has a Unicode minus sign (\u2212), not the ASCII '-': write -1"},
      {"window create now", "unexpected 'now' at the end of the step"},
      {"rate", "'rate' needs a number of frames a second"},
      {"rate 0", "a rate is from 1 to 1000 frames a second, not 0"},
      {"rate 1001", "a rate is from 1 to 1000 frames a second, not 1001"},
      {"click a.xml 1 LeftSingle 12", "'12' is not a place in the gauge: write X,Y, as 12,30"},
      {"click a.xml 1 12,x", "'12,x' is not a place in the gauge: write X,Y, as 12,30"},
      {"press a.xml", "'press a.xml' needs the area's number or \"tooltip\""},
      {"release a.xml 1 LeftRelease", "unexpected 'LeftRelease' at the end of the step"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const Scenario scenario = ParseScenario(std::string("frame\n") + c.line + "\n", "bad.scn");
    EXPECT_EQ(Messages(scenario), std::vector<std::string>{std::string("bad.scn:2: error: ") + c.error});
    EXPECT_EQ(scenario.steps.size(), 1u) << "a bad step was kept";
  }
}

TEST(ScenarioTest, GaugeStepsAreCheckedAgainstTheGaugesBeforeAnythingRuns) {
  std::map<std::string, gauge_host::GaugeScripts, std::less<>> gauges;
  gauges["good.xml"] = gauge_host::GaugeScriptsOf(
      Tree({"Gauge", 1, {}, "", {{"Mouse", 2, {}, "", {
          {"Area", 3, {}, "", {{"Tooltip", 4, {}, "Call mayday"},
                               {"Click", 5, {{"Kind", "LeftSingle+LeftRelease"}}, "1 (>L:Tvl_CallMayday, number)"}}},
          {"Area", 6, {}, "", {{"Click", 6, {{"Kind", "WheelUp"}}, "1 (>L:Tvl_PlayMusic, number)"}}},
      }}}}),
      "good.xml");
  gauges["bad.xml"] = gauge_host::GaugeScriptsOf(Tree({"Gauge", 1, {}, "", {{"Update", 4, {}, "1 +"}}}), "bad.xml");
  gauges["one.xml"] = gauge_host::GaugeScriptsOf(
      Tree({"Gauge", 1, {}, "", {{"Mouse", 2, {}, "", {{"Area", 3, {}, "", {{"Click", 3, {}, "1"}}}}}}}), "one.xml");
  Scenario scenario = ParseScenario(
      "click good.xml 1\n"
      "gauge good.xml\n"
      "click good.xml \"Call mayday\" LeftRelease\n"
      "click good.xml 3\n"
      "click good.xml 1 RightSingle\n"
      "gauge good.xml\n"
      "gauge bad.xml\n"
      "eval 1 +\n"
      "frame\n"
      "release good.xml 1\n"
      "press good.xml 2 WheelUp\n"
      "press other.xml 1\n"
      "press good.xml 1 LeftSingel\n"
      "press good.xml 1\n"
      "press good.xml 1\n"
      "release good.xml 2\n"
      "release good.xml \"Call mayday\"\n"
      "release good.xml 1\n"
      "gauge one.xml\n"
      "press good.xml 1\n"
      "release one.xml 1\n"
      "release none.xml 1\n"
      "click one.xml 2\n",
      "g.scn");
  gauge_host::CheckScenario(scenario, "g.scn", gauges);
  EXPECT_EQ(Messages(scenario), (std::vector<std::string>{
      "g.scn:1: error: 'click good.xml 1': the gauge good.xml is not on the panel: a step 'gauge good.xml' comes first",
      "g.scn:4: error: 'click good.xml 3': good.xml has no area 3; its 2 areas are numbered from 1 in document order",
      "g.scn:5: error: 'click good.xml 1 RightSingle': the <Click> of area 1 (\"Call mayday\") of good.xml is not for "
      "RightSingle: its Kind lists LeftSingle+LeftRelease",
      "g.scn:6: error: 'gauge good.xml': the gauge good.xml is on the panel already",
      "bad.xml:4:3: warning: '+' needs 2 values but the stack holds at most 1 value here; the host reads 0 for each "
      "value missing in the <Update> script",
      "g.scn:8:8: error: '+' needs 2 values but the stack holds at most 1 value here; the host reads 0 for each value "
      "missing in the eval step",
      "g.scn:10: error: 'release good.xml 1': no mouse button is held: a step 'press good.xml 1' comes first",
      "g.scn:11: error: 'press good.xml 2 WheelUp': WheelUp is not held down: 'click' it",
      "g.scn:12: error: 'press other.xml 1': the gauge other.xml is not on the panel: a step 'gauge other.xml' comes "
      "first",
      "g.scn:13: error: 'press good.xml 1 LeftSingel': 'LeftSingel' is not a mouse event (did you mean 'LeftSingle'?)",
      "g.scn:15: error: 'press good.xml 1': area 1 (\"Call mayday\") of good.xml is held since line 14: a step "
      "'release' lets it go first",
      "g.scn:16: error: 'release good.xml 2': the button is held on area 1 (\"Call mayday\") of good.xml, since line 14",
      "g.scn:18: error: 'release good.xml 1': no mouse button is held: a step 'press good.xml 1' comes first",
      "g.scn:21: error: 'release one.xml 1': the button is held on area 1 (\"Call mayday\") of good.xml, since line 20",
      "g.scn:22: error: 'release none.xml 1': the gauge none.xml is not on the panel: a step 'gauge none.xml' comes first",
      "g.scn:23: error: 'click one.xml 2': one.xml has no area 2; its 1 area is numbered from 1 in document order",
  }));
}

// A click finds its gauge however the path is written, as Windows would find the file;
// only another file is another gauge.
TEST(ScenarioTest, AGaugeIsItsFileHoweverItsPathIsWritten) {
  std::map<std::string, gauge_host::GaugeScripts, std::less<>> gauges;
  gauges[gauge_host::SameFileKey("gauges/Cabin.xml")] = gauge_host::GaugeScriptsOf(
      Tree({"Gauge", 1, {}, "", {{"Mouse", 2, {}, "", {{"Area", 3, {}, "", {{"Click", 3, {}, "1 (>L:Tvl_CallMayday, number)"}}}}}}}),
      "gauges/Cabin.xml");
  Scenario scenario = ParseScenario(
      "gauge gauges/Cabin.xml\n"
      "click gauges\\Cabin.xml 1\n"
      "click ./gauges/Cabin.xml 1\n"
      "click GAUGES/cabin.XML 1\n"
      "click \"gauges/old/../Cabin.xml\" 1\n"
      "gauge .\\gauges\\Cabin.xml\n"
      "click other/Cabin.xml 1\n"
      "click \"My Gauges/Cabin.xml\" 1\n"
      "frame\n",
      "p.scn");
  gauge_host::CheckScenario(scenario, "p.scn", gauges);
  EXPECT_EQ(Messages(scenario), (std::vector<std::string>{
      "p.scn:6: error: 'gauge .\\gauges\\Cabin.xml': the gauge .\\gauges\\Cabin.xml is on the panel already",
      "p.scn:7: error: 'click other/Cabin.xml 1': the gauge other/Cabin.xml is not on the panel: a step 'gauge "
      "other/Cabin.xml' comes first",
      "p.scn:8: error: 'click \"My Gauges/Cabin.xml\" 1': the gauge My Gauges/Cabin.xml is not on the panel: a step "
      "'gauge \"My Gauges/Cabin.xml\"' comes first",
  }));
}

// Any name is allowed, as the host allows any; a name that is not the module's is warned
// about, with the nearest of the fifteen.
TEST(ScenarioTest, UnknownVariableNamesAreWarnedWithTheClosest) {
  const Scenario scenario = ParseScenario(
      "set Tvl_CallMayDay 1\n"
      "expect Tvl_SeatBeltsign 0\n"
      "set Tvl_GPWSGearWarning 1\n"
      "set Tvl_ServeHotmeals 3\n"
      "set Tvl_Ask250kts 1\n",
      "names.scn");
  EXPECT_EQ(scenario.steps.size(), 5u);
  const std::vector<std::string> warnings = {
      "names.scn:1: warning: 'Tvl_CallMayDay' is not one of the module's variables; the closest is 'Tvl_CallMayday'",
      "names.scn:2: warning: 'Tvl_SeatBeltsign' is not one of the module's variables; the closest is 'Tvl_SeatbeltSign'",
      "names.scn:3: warning: 'Tvl_GPWSGearWarning' is not one of the module's variables; the closest is 'Tvl_GPWS_GearWarning'",
      "names.scn:4: warning: 'Tvl_ServeHotmeals' is not one of the module's variables; the closest is 'Tvl_ServeHotMeal'",
  };
  EXPECT_EQ(Messages(scenario), warnings);
}

// Errors of the lines and of the order of steps, and warnings, all in line order.
TEST(ScenarioTest, EveryErrorAndWarningOfAFileInLineOrder) {
  const Scenario scenario =
      ParseAndCheck("set Tvl_PlayMusic\nframe\r\naddon free\nset Tvl_Callmayday 1\nframes x\nwindow\n", "many.scn");
  EXPECT_EQ(Messages(scenario), (std::vector<std::string>{
                                    "many.scn:1: error: 'set Tvl_PlayMusic' needs a number",
                                    "many.scn:3: error: 'addon free': the add-on is not loaded",
                                    "many.scn:4: warning: 'Tvl_Callmayday' is not one of the module's variables; "
                                    "the closest is 'Tvl_CallMayday'",
                                    "many.scn:5: error: 'x' is not a whole number",
                                    "many.scn:6: error: 'window' is followed by create or destroy",
                                }));
  EXPECT_EQ(gauge_host::ErrorCount(scenario.diagnostics), 4u);
}

// Each step that needs the add-on or the window, after the steps that leave them so; the
// add-on stays loaded once the module has found it, as the module pins it.
TEST(ScenarioTest, StepsAreCheckedAgainstTheStateEarlierStepsLeave) {
  struct Case {
    const char* steps;  // the last is the one checked
    const char* error;  // "" when it can be played
  };
  const Case cases[] = {
      {"addon seatbelt 1", "'addon seatbelt 1': the add-on is not loaded: 'addon load' comes first"},
      {"addon export null", "'addon export null': the add-on is not loaded: 'addon load' comes first"},
      {"addon free", "'addon free': the add-on is not loaded"},
      {"addon load\naddon free\naddon seatbelt 1", "'addon seatbelt 1': the add-on is not loaded: 'addon load' comes first"},
      {"addon load\naddon load\naddon free\naddon seatbelt 1", ""},
      {"addon load\nframe\naddon free\naddon seatbelt 1", ""},
      {"addon load\nframe\naddon free\naddon free",
       "'addon free': the scenario has freed every load of the add-on (the module keeps it loaded)"},
      {"addon load\naddon export null\nframe\naddon free\naddon seatbelt 1",
       "'addon seatbelt 1': the add-on is not loaded: 'addon load' comes first"},
      {"addon load\naddon free\naddon load\naddon export record", ""},
      {"window create", "'window create': the main window is already there"},
      {"window destroy\nwindow destroy", "'window destroy': there is no main window"},
      {"window destroy\nwindow create", ""},
      {"panel show", "'panel show': the window holding Switches is not hidden: 'panel hide' comes first"},
      {"panel hide\nframe\npanel hide", "'panel hide': the window holding Switches is hidden already"},
      {"panel hide\npanel show\npanel show",
       "'panel show': the window holding Switches is not hidden: 'panel hide' comes first"},
      // The module looks for the add-on only in its own frames: while its window is hidden
      // it has not pinned it.
      {"panel hide\naddon load\nframe\naddon free\naddon seatbelt 1",
       "'addon seatbelt 1': the add-on is not loaded: 'addon load' comes first"},
      {"panel hide\naddon load\nframe\npanel show\nframe\naddon free\naddon seatbelt 1", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.steps);
    const std::string text = std::string("frame\n") + c.steps + "\n";
    const Scenario scenario = ParseAndCheck(text, "order.scn");
    const int last_line = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    const std::vector<std::string> expected =
        c.error[0] == '\0' ? std::vector<std::string>{}
                           : std::vector<std::string>{"order.scn:" + std::to_string(last_line) + ": error: " + c.error};
    EXPECT_EQ(Messages(scenario), expected);
  }
}

TEST(ScenarioTest, WarningsOfInputThatCanNeverDoAnything) {
  struct Case {
    const char* text;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"", {"w.scn:1: warning: the scenario runs no frame, so the module does nothing"}},
      {"# only a comment\n\nexpect chords none\n",
       {"w.scn:3: warning: the scenario runs no frame, so the module does nothing"}},
      {"frame\nexpect chords Ctrl+Shift+M ctrl+shift+x\n",
       {"w.scn:2: warning: no variable sends Ctrl+Shift+X, so the window never receives it"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Messages(ParseAndCheck(c.text, "w.scn")), c.messages);
  }
}

// As editors save files: Notepad's UTF-8 starts with a byte-order mark; its "Unicode" is
// UTF-16; and whatever else a file holds is shown escaped, never printed raw.
TEST(ScenarioTest, FilesAsEditorsSaveThem) {
  struct Case {
    std::string text;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"\xEF\xBB\xBFset Tvl_CallMayday 1\nframe\n", {}},
      {std::string("\xFF\xFEs\0e\0t\0", 8), {"e.scn:1: error: saved as UTF-16: save it as UTF-8"}},
      {std::string("\xFE\xFF\0s\0e", 6), {"e.scn:1: error: saved as UTF-16: save it as UTF-8"}},
      {std::string("frame\nse\0t A 1\n", 15),
       {"e.scn:2: error: unknown step 'se\\x00t' (did you mean 'set'?); the steps are set, frame, frames, addon, "
        "window, panel, expect, gauge, click, press, release, rate and eval"}},
      {"frame\nset Tvl_CallMayday \x81\x1B[2J\n", {"e.scn:2: error: '\\x81\\x1B[2J' is not a number"}},
      {"frame\nset Tvl_CallMayday 1\xC3\xA9\n", {"e.scn:2: error: '1\xC3\xA9' is not a number"}},
      {"frame\nset " + std::string(10000, 'A') + " 1\n",
       {"e.scn:2: warning: '" + std::string(60, 'A') +
        "…' is not one of the module's variables; the closest is 'Tvl_CallMayday'"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(gauge_host::Shown(c.text));
    EXPECT_EQ(Messages(ParseAndCheck(c.text, "e.scn")), c.messages);
  }
}

TEST(ScenarioTest, TheModulesFifteenVariables) {
  const std::vector<std::string> names = gauge_host::ModuleVariableNames();
  ASSERT_EQ(names.size(), 15u);
  EXPECT_EQ(names.front(), "Tvl_SeatbeltSign");
  EXPECT_EQ(names.back(), "Tvl_Ask250kts");
}

}  // namespace
