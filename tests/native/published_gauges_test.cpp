// What published gauges hold, which the simulator loads without a word: each idiom in a
// small gauge of its own, loaded and run for a frame as the panel runs it, and checked as
// --check checks it. The run and the check read one compiled form, so a script the run
// does not run is the one --check reports, and a script --check passes runs.

#include <gtest/gtest.h>

#include "tests/support/diagnostics.h"
#include "tests/support/gauge_tree.h"
#include "tools/gauge_host/check/panel_check.h"
#include "tools/gauge_host/play/gauge_panel.h"

namespace {

using gauge_host::GaugeScripts;

struct Idiom {
  const char* what;
  std::vector<Node> gauge;        // the children of <Gauge>, each script on its own line
  std::string writes;             // the panel variables one frame leaves, "NAME=VALUE ..."
  std::vector<std::string> check;  // what --check says, "LINE:COL: SEVERITY: message"
};

const std::vector<Idiom> kIdioms = {
    {"C: variables of another module, read and written",
     {{"Update", 2, {}, "(C:fs9gps:WaypointAirportICAO, string) slen (>L:Length, number) "
                        "4 (>C:MODULE:Index) (C:MODULE:Index) (>L:Index, number)"}},
     "Index=4 Length=0",
     {}},
    {"a macro's parameters as text, whatever follows them",
     {{"Macro", 2, {{"Name", "ToString1"}}, "(L:@1, number) (>L:Out_@1, number)"},
      {"Macro", 3, {{"Name", "ToString4"}}, "@ToString1(@1_4) @ToString1(@1_5)"},
      {"Macro", 4, {{"Name", "Read"}}, "(@1, enum) (>L:Read, number)"},
      {"Update", 5, {}, "7 (>L:Digit_4, number) @ToString4(Digit) @Read(L:Digit_4)"}},
     "Digit_4=7 Out_Digit_4=7 Out_Digit_5=0 Read=7",
     {}},
    {"L: variables without a unit",
     {{"Update", 2, {}, "(L:NAV1 pressed) ! (>L:NAV1 pressed) 3 (>L:Clock Stopwatch)"}},
     "Clock Stopwatch=3 NAV1 pressed=1",
     {}},
    {"an '@' that starts no macro's name, in a string",
     {{"Update", 2, {}, "'crew@ work' slen (>L:Length, number)"}},
     "Length=10",
     {}},
    {"a key event with a unit",
     {{"Update", 2, {}, "1 (>K:SOME_EVENT, number) 2 (>L:After, number)"}},
     "After=2",
     {}},
    {"P: and E: variables of the environment, and a time in a plain unit",
     {{"Update", 2, {}, "(P:Units of measure, enum) (>L:Units, number) (E:TIME OF DAY, enum) (>L:Day, number) "
                        "(P:zulu time, number) 3600 / flr (>L:Zulu, number)"}},
     "Day=1 Units=0 Zulu=10",
     {}},
    {"a variable of the environment the host does not know",
     {{"Update", 2, {}, "(E:SUN ELEVATION, degrees) (>L:Sun, number)"}},
     "Sun=0",
     {"2:1: warning: the gauge host does not know '(E:SUN ELEVATION, degrees)'; it reads 0 in the <Update> script"}},
    {"a misspelt variable of the environment",
     {{"Update", 2, {}, "(P:ZULU TIMES, seconds) (>L:Zulu, number)"}},
     "Zulu=0",
     {"2:1: warning: the gauge host does not know '(P:ZULU TIMES, seconds)' (did you mean ZULU TIME?); it reads 0 "
      "in the <Update> script"}},
    {"a stack the host proves too short after a block",
     {{"Update", 2, {}, "(L:A, number) if{ 1 } (L:B, number) == || (>L:Either, number)"}},
     "Either=1",
     {"2:40: warning: '||' needs 2 values but the stack holds at most 1 value here; the host reads 0 for each value "
      "missing in the <Update> script"}},
    {"a '}' that closes no block",
     {{"Update", 2, {}, "1 (>L:Before, number) } 2 (>L:After, number)"}},
     "After=2 Before=1",
     {"2:23: warning: '}' closes no block: it is passed over in the <Update> script"}},
    {"typos published files hold: that script does not run, the others do",
     {{"Update", 2, {}, "1 (>L:Typo, number) 0\""},
      {"Element", 3, {}, "", {{"Value", 3, {}, "1 (>L:Typo, number) 3-"}}},
      {"Element", 4, {}, "", {{"Visible", 4, {}, "1 (>L:Typo, number) ==;"}}},
      {"Element", 5, {}, "", {{"Value", 5, {}, "1 (>L:Runs, number)"}}}},
     "Runs=1",
     {"2:21: error: '0\"' is not a word of the calculator language, so the <Update> script does not run",
      "3:21: error: '3-' is not a word of the calculator language, so the <Value> script of element 1 does not run",
      "4:21: error: '==;' is not a word of the calculator language, so the <Visible> script of element 2 does not run"}},
};

// A click on an area whose script does not run does nothing, and says why.
TEST(PublishedGaugesTest, AClickWhoseScriptDoesNotRun) {
  const GaugeScripts gauge = gauge_host::GaugeScriptsOf(
      Tree({"Gauge", 1, {}, "", {{"Mouse", 2, {}, "", {{"Area", 3, {}, "", {{"Click", 4, {}, "1 (>L:A, number) 0\""}}}}}}}),
      "p.xml");
  gauge_host::GaugePanel panel;
  gauge_host::ScriptWorld world;
  gauge_host::AddGauge(panel, gauge);
  const gauge_host::ScriptRun run = gauge_host::RunScheduled(
      panel, world, gauge_host::ClickOf(panel, 0, gauge.areas[0], "LeftSingle", {0, 0}, false));
  ASSERT_EQ(run.events.size(), 1u);
  EXPECT_EQ(run.events[0].text, "the script does not run, for its error at p.xml:4:18");
  EXPECT_TRUE(world.panel_variables.empty());
}

// The panel variables as one frame of the gauge's scripts leaves them.
std::string OneFrame(const GaugeScripts& gauge) {
  gauge_host::GaugePanel panel;
  gauge_host::ScriptWorld world;
  gauge_host::AddGauge(panel, gauge);
  for (const gauge_host::ScheduledScript& scheduled : gauge_host::StartFrame(panel, world)) {
    EXPECT_EQ(Formatted(gauge_host::RunScheduled(panel, world, scheduled).error), "") << scheduled.heading;
  }
  std::string writes;
  for (const auto& [name, value] : world.panel_variables) {
    writes += (writes.empty() ? "" : " ") + name + "=" + gauge_host::FormatNumber(value);
  }
  return writes;
}

std::vector<std::string> Checked(const GaugeScripts& gauge) {
  gauge_host::CheckSummary summary;
  gauge_host::AddGauge(gauge, summary);
  gauge_host::CheckGaugesTogether(summary);
  std::vector<std::string> findings;
  for (const std::string& finding : Formatted(summary.findings)) {
    findings.push_back(finding.substr(finding.find(':') + 1));
  }
  return findings;
}

// A file the simulator does not load as a gauge is one error, and nothing else of it is read.
TEST(PublishedGaugesTest, AFileThatHoldsNoGauge) {
  gauge_host::CheckSummary summary;
  gauge_host::AddGauge(gauge_host::GaugeScriptsOf(Tree({"Panel", 1, {}, "", {{"Update", 2, {}, "1 (>L:A)"}}}), "p.xml"),
                       summary);
  EXPECT_EQ(Formatted(summary.findings),
            std::vector<std::string>{"p.xml:1:1: error: <Panel> is not a gauge: a gauge file holds <Gauge>, or "
                                     "<SimBase.Document> with <SimGauge.Gauge>"});
  EXPECT_TRUE(summary.references.empty());
  EXPECT_TRUE(summary.gauges.empty());
}

TEST(PublishedGaugesTest, LoadRunAndAreCheckedAsTheSimulatorReadsThem) {
  for (const Idiom& idiom : kIdioms) {
    SCOPED_TRACE(idiom.what);
    const GaugeScripts gauge = gauge_host::GaugeScriptsOf(Tree({"Gauge", 1, {}, "", idiom.gauge}), "p.xml");
    ASSERT_FALSE(gauge.unusable);
    EXPECT_EQ(OneFrame(gauge), idiom.writes);
    EXPECT_EQ(Checked(gauge), idiom.check);
    // What --check calls an error is a script the run leaves out, and nothing else is.
    std::size_t not_running = 0;
    for (std::size_t index = 0; index < gauge.scripts.size(); ++index) {
      not_running += gauge.Runs(index) ? 0 : 1;
    }
    EXPECT_EQ(not_running, gauge_host::ErrorCount(gauge.findings));
  }
}

}  // namespace
