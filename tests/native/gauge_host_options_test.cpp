// The gauge host's command line: what each argument list becomes, and the error that
// every kind of bad one gets.

#include <gtest/gtest.h>

#include "tools/gauge_host/command_line/options.h"

namespace {

using gauge_host::ParseOptions;
using gauge_host::TraceMode;

TEST(GaugeHostOptionsTest, WhatEachCommandLineChooses) {
  struct Case {
    std::vector<std::string> arguments;
    std::string gau;
    std::vector<std::string> scenarios;
    std::string timeline;
    TraceMode trace;
    int instances;
    bool help;
    bool version = false;
  };
  const Case cases[] = {
      {{}, "", {}, "", TraceMode::kChanges, 1, false},
      {{"my.scn"}, "", {"my.scn"}, "", TraceMode::kChanges, 1, false},
      {{"--gau", "x.gau", "--trace", "full", "--instances", "2", "--timeline", "t.svg", "é.scn"},
       "x.gau", {"é.scn"}, "t.svg", TraceMode::kFull, 2, false},
      {{"--quiet", "a.scn"}, "", {"a.scn"}, "", TraceMode::kQuiet, 1, false},
      // Scenarios and folders in the order given, options among them.
      {{"b.scn", "examples", "--quiet", "a.scn"}, "", {"b.scn", "examples", "a.scn"}, "", TraceMode::kQuiet, 1, false},
      {{"--trace", "changes"}, "", {}, "", TraceMode::kChanges, 1, false},
      {{"--instances", "8"}, "", {}, "", TraceMode::kChanges, 8, false},
      {{"-h"}, "", {}, "", TraceMode::kChanges, 1, true},
      {{"--help"}, "", {}, "", TraceMode::kChanges, 1, true},
      {{"/?"}, "", {}, "", TraceMode::kChanges, 1, true},
      {{"-?"}, "", {}, "", TraceMode::kChanges, 1, true},
      {{"--version"}, "", {}, "", TraceMode::kChanges, 1, false, true},
      {{"--gau", "x.gau", "--version"}, "x.gau", {}, "", TraceMode::kChanges, 1, false, true},
  };
  for (const Case& c : cases) {
    const gauge_host::ParsedOptions parsed = ParseOptions(c.arguments);
    SCOPED_TRACE(c.arguments.empty() ? "(none)" : c.arguments[0]);
    EXPECT_EQ(parsed.problem, std::nullopt);
    EXPECT_EQ(parsed.options.gau_path, c.gau);
    EXPECT_EQ(parsed.options.scenario_paths, c.scenarios);
    EXPECT_EQ(parsed.options.timeline_path, c.timeline);
    EXPECT_EQ(parsed.options.trace, c.trace);
    EXPECT_EQ(parsed.options.instances, c.instances);
    EXPECT_EQ(parsed.options.help, c.help);
    EXPECT_EQ(parsed.options.version, c.version);
  }
}

TEST(GaugeHostOptionsTest, BadCommandLines) {
  struct Case {
    std::vector<std::string> arguments;
    const char* error;
  };
  const Case cases[] = {
      {{"--gau"}, "--gau needs a FILE"},
      {{"--gau", "--quiet"}, "--gau needs a FILE"},
      {{"--timeline"}, "--timeline needs a FILE"},
      {{"--trace"}, "--trace needs changes or full"},
      {{"--trace", "all"}, "--trace is changes or full, not 'all'"},
      {{"--instances", "0"}, "--instances is from 1 to 8, not '0'"},
      {{"--instances", "9"}, "--instances is from 1 to 8, not '9'"},
      {{"--instances", "two"}, "--instances is from 1 to 8, not 'two'"},
      {{"--gau", "a.gau", "--gau", "b.gau"}, "--gau is given twice"},
      {{"--quiet", "--quiet"}, "--quiet is given twice"},
      {{"--quiet", "--trace", "full"}, "--quiet and --trace both choose the trace: give one"},
      {{"--fast"}, "unknown option '--fast'"},
      {{"-q\x01"}, "unknown option '-q\\x01'"},
      {{"--check"}, "--check needs a PATH"},
      // What comes before --check would do nothing.
      {{"--quiet", "--check", "gauges"},
       "--check only checks the paths after it, so --quiet before it would be ignored: give --check alone, with its "
       "paths"},
      {{"my.scn", "--gau", "x.gau", "--instances", "2", "--check", "gauges"},
       "--check only checks the paths after it, so --gau, --instances and 'my.scn' before it would be ignored: give "
       "--check alone, with its paths"},
      {{"--version", "--version"}, "--version is given twice"},
      {{"--check", "--gauges", "Gauges"}, "--check needs a PATH"},
      {{"--check", "Aircraft", "--gauges"}, "--gauges needs a FOLDER"},
      {{"--check", "Aircraft", "--gauges", "A", "--gauges", "B"}, "--gauges is given twice"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    const std::optional<gauge_host::Diagnostic> problem = ParseOptions(c.arguments).problem;
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(gauge_host::FormatDiagnostic(*problem), std::string("tvl_gauge_host: error: ") + c.error);
  }
}

// Everything after --check is a path to check, even what looks like an option, but --gauges.
TEST(GaugeHostOptionsTest, CheckTakesEveryPathAfterIt) {
  const gauge_host::ParsedOptions parsed = ParseOptions({"--check", "gauges", "panel.cfg", "--quiet"});
  EXPECT_EQ(parsed.problem, std::nullopt);
  EXPECT_EQ(parsed.options.check_paths, (std::vector<std::string>{"gauges", "panel.cfg", "--quiet"}));
  EXPECT_EQ(parsed.options.gauges_path, "");
  // Apart from --gauges FOLDER, wherever it is.
  const gauge_host::ParsedOptions aircraft = ParseOptions({"--check", "--gauges", "G", "Aircraft"});
  EXPECT_EQ(aircraft.options.check_paths, (std::vector<std::string>{"Aircraft"}));
  EXPECT_EQ(aircraft.options.gauges_path, "G");
}

// --help lists every step of the table: its words and arguments from the second column,
// what it does from the 33rd, and the lines that continue it under that.
TEST(GaugeHostOptionsTest, HelpListsEveryStep) {
  const std::string help = gauge_host::HelpText();
  const struct {
    const char* usage;
    const char* first_line;
    const char* continued;  // "" when the help is one line
  } steps[] = {
      {"set NAME VALUE", "a panel gauge writes a variable (decimals allowed)", ""},
      {"set (A:NAME, UNIT) VALUE", "a variable a gauge script reads: of the simulation",
       "(A:), of another module (C:MODULE:NAME) or of the"},
      {"frame [N]", "runs one frame, or N (1 to 1000000)", ""},
      {"addon export null", "it is loaded but not ready (needs it loaded)", ""},
      {"expect chords KEYS|none", "the chords received since the last such step,", "such as Ctrl+Shift+M Ctrl+Shift+T"},
      {"click FILE.xml AREA [EVENT] [X,Y]", "runs the <Click> script of AREA (its number from 1,",
       "or \"its tooltip\") for EVENT (default LeftSingle);"},
      {"rate FPS", "frames a second from the next frame on (1 to 1000;", "18 at the start): each frame moves the clock"},
  };
  for (const auto& step : steps) {
    // A usage too long for its column stands on a line of its own.
    std::string line = std::string("  ") + step.usage;
    line += line.size() < 32 ? std::string(32 - line.size(), ' ') : "\n" + std::string(32, ' ');
    line += step.first_line;
    SCOPED_TRACE(step.usage);
    const std::size_t at = help.find("\n" + line + "\n");
    ASSERT_NE(at, std::string::npos) << help;
    if (*step.continued != '\0') {
      EXPECT_EQ(help.substr(at + line.size() + 2, 32 + std::string(step.continued).size() + 1),
                std::string(32, ' ') + step.continued + "\n");
    }
  }
  EXPECT_NE(help.find("\nExit status:\n  0  every expectation met\n"), std::string::npos);
}

}  // namespace
