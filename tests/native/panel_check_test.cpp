// The checks of a designer's files that need no XML parser: the references of compiled
// scripts, what the writes of all gauges together say, the panel.cfg lines, and the
// report's shape. The files themselves, read by the parser, are checked under Wine.

#include <gtest/gtest.h>

#include "tests/support/script_gauges.h"
#include "tools/gauge_host/check/panel_check.h"

namespace {

using gauge_host::CheckPanelConfig;
using gauge_host::CheckReferences;
using gauge_host::Diagnostic;
using gauge_host::PlacedReference;

gauge_host::GaugeScripts GaugeOf(const std::vector<std::string>& scripts) { return ::GaugeOf("g.xml", scripts); }

std::string Describe(const PlacedReference& reference) {
  std::string text = std::to_string(reference.position.column) + (reference.write ? " write " : " read ") + "[" +
                     reference.name + "] unit [" + reference.unit + "]";
  if (reference.doubled_prefix) {
    text += " doubled";
  }
  if (reference.written_value) {
    text += " value " + gauge_host::FormatNumber(*reference.written_value);
  }
  return text;
}

TEST(PanelCheckTest, ReferencesOfTheScriptsThatRun) {
  struct Case {
    std::string script;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"(L:Tvl_PlayMusic, number) ! (>L:Tvl_PlayMusic, number)",
       {"1 read [Tvl_PlayMusic] unit [number]", "29 write [Tvl_PlayMusic] unit [number]"}},
      {"1 if{ 1 (>L:Tvl_CallMayday,number) } els{ 0 (>L:Tvl_CallMayday, Bool) }",
       {"9 write [Tvl_CallMayday] unit [number] value 1", "45 write [Tvl_CallMayday] unit [Bool] value 0"}},
      {"-2.5 (>L:A) 2 + (>L:B)", {"6 write [A] unit [] value -2.5", "17 write [B] unit []"}},
      // Names and units are taken without the space around them, as the simulator takes them.
      {"(L:L:Tvl_Kneeboard, number) (>L: Tvl_Kneeboard , number )",
       {"1 read [Tvl_Kneeboard] unit [number] doubled", "29 write [Tvl_Kneeboard] unit [number]"}},
      // What is not an L: variable is none; a script that does not run reads and writes nothing.
      {"(A:AIRSPEED, knots) (P:ABSOLUTE TIME, seconds) 'text (L:In_a_string, number)'", {}},
      {"1 (>L:Tvl_CallMayday, number) 3-", {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> found;
    for (const PlacedReference& reference : gauge_host::ReferencesOf(GaugeOf({c.script}))) {
      found.push_back(Describe(reference));
    }
    EXPECT_EQ(found, c.expected) << c.script;
  }
}

// A write is judged by the number written just before it, as the calculator reads that
// number: the run writes the value the check takes, and a spelling the calculator does not
// read keeps the script from running, which the check says, and the run does not run it.
TEST(PanelCheckTest, TheRunAndTheCheckReadAWrittenNumberAlike) {
  for (const char* number : {"1", "0x1", "0X01", "1.0", "1.", "1e0", ".1e1", "01", "+1", "1,", "0x1p0", "one"}) {
    SCOPED_TRACE(number);
    const gauge_host::GaugeScripts gauge = GaugeOf({std::string(number) + " (>L:Tvl_CallMayday, number)"});
    gauge_host::ScriptWorld world;
    std::vector<gauge_host::Value> stack;
    const gauge_host::ScriptRun run =
        gauge.Runs(0) ? gauge_host::RunScript(gauge.scripts[0].script, world, stack) : gauge_host::ScriptRun{};
    gauge_host::CheckSummary summary;
    gauge_host::AddGauge(gauge, summary);
    if (gauge.Runs(0)) {
      ASSERT_EQ(run.events.size(), 1u);
      ASSERT_EQ(summary.references.size(), 1u);
      EXPECT_EQ(summary.references[0].written_value, run.events[0].value);
      EXPECT_EQ(gauge_host::ErrorCount(summary.findings), 0u);
    } else {
      EXPECT_TRUE(run.events.empty());
      EXPECT_TRUE(summary.references.empty());
      EXPECT_EQ(gauge_host::ErrorCount(summary.findings), 1u);
    }
  }
}

// "LINE:COL: error: MESSAGE", without the file, one for all the findings.
std::vector<std::string> Lines(const std::vector<Diagnostic>& findings) {
  std::vector<std::string> lines;
  for (const Diagnostic& finding : findings) {
    const std::string text = gauge_host::FormatDiagnostic(finding);
    lines.push_back(text.substr(text.find(':') + 1));
  }
  return lines;
}

// Each script is one line of one file, in turn.
std::vector<std::string> CheckScripts(const std::vector<std::string>& scripts) {
  return Lines(CheckReferences(gauge_host::ReferencesOf(GaugeOf(scripts))));
}

TEST(PanelCheckTest, WhatTheWritesOfAllGaugesSay) {
  struct Case {
    std::vector<std::string> scripts;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {{"1 (>L:Tvl_ServeDrinks, number)", "0 (>L:Tvl_ServeDrinks, number)", "(L:Tvl_PlayMusic, number) ! "
                                                                             "(>L:Tvl_PlayMusic, number)"},
       {}},
      {{"1 (>L:Tvl_ServeDrinks, number)", "(L:Other, number) (>L:Tvl_ServeDrinks, number)"}, {}},
      {{"1 (>L:Tvl_ServeDrinks, number)"},
       {"1:3: error: Tvl_ServeDrinks is set to 1 and never back to 0: the module sends the chord when it goes from 0 "
        "to 1; nothing sets it back to 0, so it fires once"}},
      {{"2 (>L:Tvl_Ask250kts, number)", "2 (>L:Tvl_SeatbeltSign, number)"},
       {"1:3: warning: 2 written to the command Tvl_Ask250kts sends nothing, and blocks its next press until it has "
        "been 0 again",
        "2:3: warning: 2 written to Tvl_SeatbeltSign differs from both states of the add-on's sign, so the module "
        "switches the sign over, whatever it was; write 0 or 1"}},
      {{"2 (>L:Tvl_MiniDisplay, number)"},
       {"1:3: note: Tvl_MiniDisplay is only ever written 2, which brings the module's remembered state back in step "
        "without a chord; nothing here switches it on or off"}},
      {{"(L:Tvl_Playmusic, number) (L:tvl_servehotmeal, number) (L:Other_Name, number)"},
       {"1:1: error: 'Tvl_Playmusic' is not one of the module's variables; did you mean Tvl_PlayMusic?",
        "1:27: error: 'tvl_servehotmeal' is not one of the module's variables; did you mean Tvl_ServeHotMeal?"}},
      {{"(L:L:Tvl_Kneeboard, number) (>L:Tvl_Kneeboard , number) (L:Tvl_Kneeboard, bool)"},
       {"1:1: error: 'L:' is written twice, so the variable is not Tvl_Kneeboard; write (L:Tvl_Kneeboard, number)",
        "1:57: warning: unit 'bool' on Tvl_Kneeboard: the module reads and writes it as number"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckScripts(c.scripts), c.expected) << c.scripts[0];
  }
}

TEST(PanelCheckTest, PanelConfigLines) {
  struct Case {
    std::string text;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"[Window00]\nvisible=1\ngauge50=Tvl_LvarSupport!Switches, 0, 0, 1, 1\n", {}},
      {"[Window00]\r\n// comment\r\n; comment\r\ngauge50 = Tvl_LvarSupport!Switches,0,0,1,1", {}},
      {"[Window00]\ngauge00=Other!Gauge, 1, 2\n",
       {"1:1: error: no line for Tvl_LvarSupport!Switches, so the module never runs: add "
        "gaugeNN=Tvl_LvarSupport!Switches, 0, 0, 1, 1 to a window that is always drawn"}},
      {"[Window00]\ngauge00=Tvl_LvarSupport!Switch, 0, 0\ngauge01=TvlLvarSupport!Switches, 0, 0\n",
       {"2:9: error: 'Tvl_LvarSupport!Switch' names no gauge of the module: write Tvl_LvarSupport!Switches",
        "3:9: error: 'TvlLvarSupport!Switches' names no gauge of the module: write Tvl_LvarSupport!Switches"}},
      {"[Window01]\nvisible=0\ngauge00=Tvl_LvarSupport!Switches, 0, 0, 1, 1\n",
       {"3:9: warning: [Window01] starts hidden (visible=0): the module runs only while this window is drawn"}},
      {std::string("\xFF\xFE[\0W\0]\0\n\0", 10),
       {"1:1: error: saved as UTF-16 (Notepad's \"Unicode\"), so its lines cannot be checked: save it as UTF-8 or "
        "ANSI"}},
      {std::string("\xFE\xFF\0[\0W\0]", 8),
       {"1:1: error: saved as UTF-16 (Notepad's \"Unicode\"), so its lines cannot be checked: save it as UTF-8 or "
        "ANSI"}},
      {"\xEF\xBB\xBF[Window00]\ngauge50=Tvl_LvarSupport!Switches, 0, 0, 1, 1\n", {}},
      // visible= is not a virtual cockpit's: its panel is drawn whenever the crew is in it.
      {"[VCockpit01]\nvisible=0\ngauge00=Tvl_LvarSupport!Switches, 0, 0, 1, 1\n", {}},
      {"[Vcockpit02]\r\nVisible = 0\r\ngauge00=Tvl_LvarSupport!Switches, 0, 0, 1, 1\r\n", {}},
      {"[Window00]\ngauge00=Tvl_LvarSupport!Switches, 0, 0\n[Window01]\nvisible=0\n"
       "gauge00=Tvl_LvarSupport!Switches, 0, 0\n",
       {"5:9: note: Switches is also in [Window00] (line 2): the windows share the module's state, so this is safe"}},
      {"[Window00]\ngauge50=Tvl_LvarSupport!Switches, 0, 0\ngauge01=Other!G, x, 0\ngauge02=Other!G\nstray line\n",
       {"3:9: error: malformed gauge line: write gauge01=FILE!GAUGE, X, Y[, W, H]",
        "4:9: error: malformed gauge line: write gauge02=FILE!GAUGE, X, Y[, W, H]",
        "5:1: error: this line is not a [section], a setting NAME=VALUE or a comment"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Lines(CheckPanelConfig(c.text, "panel.cfg")), c.expected) << c.text;
  }
}

TEST(PanelCheckTest, ReportSortsFindingsAndListsTheVariables) {
  gauge_host::CheckSummary summary;
  summary.files = 2;
  const std::vector<PlacedReference> references =
      gauge_host::ReferencesOf(GaugeOf({"1 (>L:Tvl_CallMayday, number) (L:Tvl_Callmayday)"}));
  for (const int line : {7, 9}) {
    for (PlacedReference reference : references) {
      reference.file = "b.xml";
      reference.position.line = line;
      summary.references.push_back(reference);
    }
  }
  summary.findings = {{"b.xml", {9, 4}, gauge_host::Severity::kWarning, "w"},
                      {"a.xml", {12, 1}, gauge_host::Severity::kError, "e"},
                      {"b.xml", {7, 5}, gauge_host::Severity::kNote, "n"}};
  const std::string report = gauge_host::Report(summary);
  EXPECT_EQ(report.substr(0, report.find("\n\n")),
            "a.xml:12:1: error: e\n"
            "b.xml:7:5: note: n\n"
            "b.xml:9:4: warning: w");
  EXPECT_NE(report.find("\n  Tvl_CallMayday          read nowhere; written at b.xml:7,9\n"), std::string::npos);
  EXPECT_NE(report.find("\n  Tvl_Ask250kts           not used\n"), std::string::npos);
  EXPECT_TRUE(report.ends_with("\n2 files, 4 references, 1 error, 1 warning\n")) << report;
}

}  // namespace
