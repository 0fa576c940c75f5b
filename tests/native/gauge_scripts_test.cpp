// A gauge file's scripts from either schema: its areas, their places and events, which area
// a scenario's click reaches, its update's Frequency, its elements' scripts in file order,
// its macros expanded with each token's place, and its mistakes named by script.

#include <gtest/gtest.h>

#include <tuple>

#include "tests/support/diagnostics.h"
#include "tests/support/gauge_tree.h"
#include "tools/gauge_host/script/gauge_scripts.h"

namespace {

using gauge_host::GaugeScripts;

Node Area(int line, std::vector<std::pair<std::string, std::string>> attributes, std::vector<Node> children) {
  return {"Area", line, std::move(attributes), "", std::move(children)};
}

Node Click(int line, const std::string& kind, const std::string& script) {
  return {"Click", line, kind.empty() ? std::vector<std::pair<std::string, std::string>>{} : std::vector{std::pair{std::string("Kind"), kind}},
          script};
}

GaugeScripts Panel() {
  return gauge_host::GaugeScriptsOf(
      Tree({"Gauge", 1, {}, "", {{"Mouse", 2, {}, "", {
          Area(3, {}, {{"Tooltip", 3, {}, " Mayday\n"}, Click(4, "LeftSingle+LeftRelease", "1 (>L:Tvl_CallMayday, number)")}),
          Area(5, {}, {Click(5, "", "1 (>L:Tvl_PlayMusic, number)")}),
          Area(6, {}, {{"Tooltip", 6, {}, "Music"}, Click(7, " WheelUp + WheelDown ", "2 (>L:Tvl_PlayMusic, number)")}),
          Area(8, {}, {{"Tooltip", 8, {}, "Music"}, Click(9, "RightSingle", "")}),
          Area(10, {}, {{"Tooltip", 10, {}, "Frame"}}),
      }}}}),
      "panel.xml");
}

// Frequency="N": every N-th frame, N a whole number from 1.
TEST(GaugeScriptsTest, UpdateFrequency) {
  const struct {
    const char* given;
    std::uint32_t frequency;  // 1, the default, when refused
    bool refused;
  } cases[] = {{"1", 1, false}, {" 18 ", 18, false}, {"1000000", 1000000, false}, {"0", 1, true},
               {"2.5", 1, true}, {"-3", 1, true}, {"often", 1, true}, {"1000001", 1, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given);
    const GaugeScripts gauge =
        gauge_host::GaugeScriptsOf(Tree({"Gauge", 1, {}, "", {{"Update", 2, {{"Frequency", c.given}}, "1"}}}), "f.xml");
    EXPECT_EQ(gauge.update_frequency, c.frequency);
    EXPECT_EQ(gauge.findings.size(), c.refused ? 1u : 0u);
  }
}

TEST(GaugeScriptsTest, TheAreaAClickReaches) {
  const GaugeScripts gauge = Panel();
  EXPECT_EQ(Formatted(gauge.findings), std::vector<std::string>{});
  struct Case {
    const char* area;
    const char* event;
    int number;          // 0 when refused
    std::string error = "";
  };
  const std::vector<Case> cases = {
      {"1", "LeftSingle", 1},
      {"1", "LeftRelease", 1},
      {"\"Mayday\"", "LeftSingle", 1},
      {"2", "LeftSingle", 2},
      {"3", "WheelDown", 3},
      {"4", "RightSingle", 4},
      {"2", "LeftRelease", 0, "the <Click> of area 2 of panel.xml is not for LeftRelease: its Kind lists LeftSingle"},
      {"3", "LeftSingle", 0,
       "the <Click> of area 3 (\"Music\") of panel.xml is not for LeftSingle: its Kind lists WheelUp+WheelDown"},
      {"5", "LeftSingle", 0, "area 5 (\"Frame\") of panel.xml has no <Click> script"},
      {"6", "LeftSingle", 0, "panel.xml has no area 6; its 5 areas are numbered from 1 in document order"},
      {"0", "LeftSingle", 0, "panel.xml has no area 0; its 5 areas are numbered from 1 in document order"},
      {"\"mayday\"", "LeftSingle", 0,
       "panel.xml has no area with the tooltip \"mayday\"; its 5 areas are numbered from 1 in document order"},
      {"\"Music\"", "WheelUp", 0,
       "panel.xml has 2 areas with the tooltip \"Music\", areas 3 and 4: click one by its number"},
      {"1", "LeftSingel", 0, "'LeftSingel' is not a mouse event (did you mean 'LeftSingle'?)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.area) + " " + c.event);
    const std::optional<gauge_host::Diagnostic> problem = gauge_host::CheckClick(gauge, c.area, c.event);
    EXPECT_EQ(problem ? problem->message : "", c.error);
    if (!problem) {
      EXPECT_EQ(gauge_host::ClickedArea(gauge, c.area).number, c.number);
    }
  }
}

// A tooltip with spaces written without its double quotes reads as a word and an event:
// the error says how to write it, with the nearest tooltip of the gauge's.
TEST(GaugeScriptsTest, AnUnquotedTooltipGetsTheNearest) {
  const auto area = [](int line, const char* tooltip) {
    return Area(line, {}, {{"Tooltip", line, {}, tooltip}, Click(line, "", "1 (>L:Tvl_CallMayday, number)")});
  };
  const GaugeScripts gauge = gauge_host::GaugeScriptsOf(
      Tree({"Gauge", 1, {}, "", {{"Mouse", 2, {}, "", {area(3, "Call mayday"), area(6, "Serve drinks"), area(9, "Call mayday")}}}}),
      "cabin.xml");
  const GaugeScripts untitled = gauge_host::GaugeScriptsOf(
      Tree({"Gauge", 1, {}, "", {{"Mouse", 2, {}, "", {Area(3, {}, {Click(3, "", "")})}}}}), "plain.xml");
  const std::string how = ": write an area's number, from 1 to 3, or its tooltip in double quotes, such as ";
  const std::string listed = "; its tooltips are \"Call mayday\" and \"Serve drinks\"";
  const struct {
    const GaugeScripts* gauge;
    const char* area;
    const char* event;
    std::string error;
  } cases[] = {
      {&gauge, "Call", "mayday", "cabin.xml has no area Call" + how + "\"Call mayday\"" + listed},
      {&gauge, "Serve", "LeftSingle", "cabin.xml has no area Serve" + how + "\"Serve drinks\"" + listed},
      {&gauge, "drinks", "LeftSingle", "cabin.xml has no area drinks" + how + "\"Serve drinks\"" + listed},
      {&untitled, "Mayday", "LeftSingle",
       "plain.xml has no area Mayday: write an area's number, from 1 to 1; it has no tooltips"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.area);
    const std::optional<gauge_host::Diagnostic> problem = gauge_host::CheckClick(*c.gauge, c.area, c.event);
    EXPECT_EQ(problem ? problem->message : "", c.error);
  }
}

std::string Tokens(const gauge_host::Script& script) {
  std::string text;
  for (const gauge_host::Instruction& instruction : script.code) {
    text += " " + instruction.text + "@" + std::to_string(instruction.position.line) + ":" +
            std::to_string(instruction.position.column);
  }
  return text;
}

// What a test compares of a gauge read: its update, elements and areas in one line each.
std::vector<std::string> Summary(const GaugeScripts& gauge) {
  std::vector<std::string> lines;
  if (gauge.update) {
    lines.push_back("update every " + std::to_string(gauge.update_frequency) + ":" +
                    Tokens(gauge.scripts[*gauge.update].script));
  }
  for (const gauge_host::GaugeScript& script : gauge.scripts) {
    const char* kinds[] = {"update", "value", "visible", "select", "text", "click", "tooltip", "key"};
    if (script.kind != gauge_host::ScriptKind::kUpdate && script.kind != gauge_host::ScriptKind::kClick) {
      lines.push_back("element " + std::to_string(script.number) + " " + kinds[static_cast<int>(script.kind)] + ":" +
                      Tokens(script.script));
    }
  }
  for (const gauge_host::MouseArea& area : gauge.areas) {
    std::string line = gauge_host::DescribeArea(area) + " cursor '" + area.cursor + "' help '" + area.help + "' at " +
                       gauge_host::FormatNumber(area.left) + "," + gauge_host::FormatNumber(area.top) + " size " +
                       gauge_host::FormatNumber(area.width) + "," + gauge_host::FormatNumber(area.height);
    if (area.click) {
      line += " click";
      for (const std::string& event : area.click->events) {
        line += " " + event;
      }
      line += (area.click->repeat ? " repeat:" : ":") + Tokens(gauge.scripts[area.click->script].script);
    }
    lines.push_back(line);
  }
  return lines;
}

// One gauge written in each schema reads the same: macros with and without arguments, the
// update's Frequency, nested elements' scripts in file order, nested areas placed within
// the area holding them and sized like it when they give no size.
TEST(GaugeScriptsTest, BothSchemasReadAlike) {
  const GaugeScripts panel = gauge_host::GaugeScriptsOf(
      Tree({"Gauge", 1, {}, "", {
          {"Macro", 2, {{"Name", "Press"}}, "(L:Tvl_CallMayday, number)"},
          {"Macro", 3, {{"Name", "Write"}}, "@1 (>L:@2, number)"},
          {"Update", 4, {{"Frequency", "3"}}, "@Press @Write( (L:Tvl_Kneeboard, number) , Tvl_PlayMusic)"},
          {"Element", 5, {}, "", {
              {"Visible", 6, {}, "@Press"},
              {"Element", 7, {}, "", {{"Select", 8, {}, "", {{"Value", 9, {}, "1"}, {"Case", 10, {{"Value", "1"}}}}}}},
              {"Rotate", 11, {}, "", {{"Value", 12, {}, "2"}}},
          }},
          {"Mouse", 13, {}, "", {
              Area(14, {{"Left", "10"}, {"Top", "20"}, {"Width", "80"}, {"Height", "40"}}, {
                  {"Tooltip", 15, {}, "Outer"}, {"Cursor", 16, {{"Type", "Hand"}}}, {"Help", 17, {}, " HELP_MAYDAY "},
                  {"Click", 18, {{"Kind", "LeftSingle+LeftRelease"}, {"Repeat", "Yes"}}, "@Write(1, Tvl_CallMayday)"},
                  Area(19, {{"Left", "5"}, {"Top", "6"}, {"Right", "25"}, {"Bottom", "16"}},
                       {{"Click", 20, {{"Kind", "WheelUp"}, {"Repeat", "no"}}, "1"}}),
                  Area(21, {{"Left", "1"}}, {}),
                  Area(22, {}, {}),
              }),
          }},
      }}),
      "panel.xml");
  const GaugeScripts newer = gauge_host::GaugeScriptsOf(
      Tree({"SimBase.Document", 1, {}, "", {{"SimGauge.Gauge", 1, {}, "", {
          {"Size", 1, {}, "200,100"},
          {"Macro", 2, {{"id", "Press"}, {"Name", "Press"}}, "", {{"MacroValue", 2, {}, "(L:Tvl_CallMayday, number)"}}},
          {"Macro", 3, {{"id", "Write"}}, "", {{"MacroValue", 3, {}, "@1 (>L:@2, number)"}}},
          {"Update", 4, {{"Frequency", "3"}}, "",
           {{"Script", 4, {}, "@Press @Write( (L:Tvl_Kneeboard, number) , Tvl_PlayMusic)"}}},
          {"Element", 5, {}, "", {
              {"Visible", 6, {}, "", {{"Script", 6, {}, "@Press"}}},
              {"Element", 7, {}, "", {{"Select", 8, {}, "", {{"Value", 9, {}, "", {{"Script", 9, {}, "1"}}}}}}},
              {"Value", 12, {}, "2"},
          }},
          {"MouseArea", 14, {}, "", {
              {"FloatPosition", 14, {}, "10,20"}, {"Size", 14, {}, "80,40"}, {"TooltipText", 15, {}, "Outer"},
              {"CursorType", 16, {}, "Hand"},
              {"MouseClick", 18, {}, "", {{"Script", 18, {}, "@Write(1, Tvl_CallMayday)"},
                                          {"ClickType", 18, {}, "LeftSingle"}, {"ClickType", 18, {}, "LeftRelease"}}},
              {"MouseArea", 19, {}, "", {{"FloatPosition", 19, {}, "5,6"}, {"Size", 19, {}, "20,10"},
                                         {"MouseClick", 20, {}, "", {{"Script", 20, {}, "1"}, {"ClickType", 20, {}, "WheelUp"}}}}},
              {"MouseArea", 21, {}, "", {{"FloatPosition", 21, {}, "1,0"}}},
              {"MouseArea", 22},
          }},
      }}}}),
      "newer.xml");
  EXPECT_EQ(Formatted(panel.findings), std::vector<std::string>{});
  EXPECT_EQ(Formatted(newer.findings), std::vector<std::string>{});
  // A macro's tokens keep their place in its <Macro>, an argument's in the script using it.
  const std::vector<std::string> expected = {
      "update every 3: (L:Tvl_CallMayday, number)@2:1 (L:Tvl_Kneeboard, number)@4:16 (>L:Tvl_PlayMusic, number)@3:4",
      "element 1 visible: (L:Tvl_CallMayday, number)@2:1",
      "element 2 select: 1@9:1",
      "element 1 value: 2@12:1",
      "area 1 (\"Outer\") cursor 'Hand' help '#' at 10,20 size 80,40 click LeftSingle LeftRelease%: "
      "1@18:8 (>L:Tvl_CallMayday, number)@3:4",
      "area 2 cursor '' help '' at 15,26 size 20,10 click WheelUp: 1@20:1",
      "area 3 cursor '' help '' at 11,20 size 80,40",
      "area 4 cursor '' help '' at 10,20 size 80,40",
  };
  // Only the panel schema has <Help> and Repeat.
  for (const auto& [gauge, help, repeat] :
       {std::tuple{&panel, "HELP_MAYDAY", " repeat"}, std::tuple{&newer, "", ""}}) {
    SCOPED_TRACE(gauge->file);
    std::vector<std::string> lines = expected;
    lines[4].replace(lines[4].find('#'), 1, help);
    lines[4].replace(lines[4].find('%'), 1, repeat);
    EXPECT_EQ(Summary(*gauge), lines);
  }
}

// Every mistake in a file, with its place and the script it is in.
TEST(GaugeScriptsTest, MistakesNameTheirPlaceAndScript) {
  // Macros of ten uses each of the one before: more than 10000 uses in all from @Many.
  const auto tenfold = [](const std::string& name) {
    std::string text;
    for (int copy = 0; copy < 10; ++copy) {
      text += "@" + name + " ";
    }
    return text;
  };
  const GaugeScripts gauge = gauge_host::GaugeScriptsOf(
      Tree({"Gauge", 1, {}, "", {
          {"Macro", 20, {{"Name", "One"}}, "1"},
          {"Macro", 21, {{"Name", "Ten"}}, tenfold("One")},
          {"Macro", 22, {{"Name", "Hundred"}}, tenfold("Ten")},
          {"Macro", 23, {{"Name", "Thousand"}}, tenfold("Hundred")},
          {"Macro", 24, {{"Name", "Many"}}, tenfold("Thousand")},
          {"Macro", 2, {{"Name", "Set"}}, "@1 (>L:Tvl_PlayMusic, number) @2"},
          {"Macro", 3, {{"Name", "Loop"}}, "@Loop"},
          {"Macro", 4, {{"Name", "Set"}}, "again"},
          {"Macro", 5, {}, "nameless"},
          {"Macro", 5, {{"Name", " "}}, "blank"},
          {"Update", 6, {{"Frequency", "0.5"}}, "(L:Tvl_CallMayday, number) if{"},
          {"Element", 7, {}, "", {{"Value", 7, {}, "@Sett @1"}, {"Visible", 8, {}, "@Set(1)"}}},
          {"Element", 9, {}, "", {{"Value", 9, {}, "@Loop @Set(2"}}},
          {"Element", 25, {}, "", {{"Value", 25, {}, "@Many"}}},
          {"Element", 26, {}, "", {{"Select", 26, {}, "", {{"Value", 26, {}, "}"}}}}},
          {"Mouse", 10, {}, "", {
              Area(11, {{"Width", "wide"}}, {{"Tooltip", 11, {}, "Mayday"},
                                             {"Click", 12, {{"Kind", "LeftSingle++LeftSingel"}, {"Repeat", "Always"}},
                                              "1 +"}}),
              Area(13, {}, {{"Click", 13, {}, "}"}}),
          }},
      }}),
      "panel.xml");
  const std::string element = " so the <Value> script of element ";
  EXPECT_EQ(Formatted(gauge.findings), (std::vector<std::string>{
      "panel.xml:4:1: warning: the macro Set is defined twice: @Set is the first",
      "panel.xml:5:1: warning: a <Macro> without a Name, which no script can use",
      "panel.xml:5:1: warning: a <Macro> without a Name, which no script can use",
      "panel.xml:6:1: warning: Frequency=\"0.5\" is read as 1: the update runs on every N-th panel cycle, N a whole "
      "number from 1 to 1000000",
      "panel.xml:6:28: warning: 'if{' is never closed by '}': its block runs to the end of the script in the <Update> "
      "script",
      "panel.xml:7:1: error: '@Sett' is not a macro of this gauge (did you mean '@Set'?)," + element + "1 does not run",
      "panel.xml:7:7: error: '@1' stands for an argument of a macro, outside any macro," + element + "1 does not run",
      "panel.xml:2:31: warning: '@2' stands for argument 2 of a macro given 1 argument; it stands for nothing in the "
      "<Visible> script of element 1",
      "panel.xml:3:1: error: '@Loop' expands into itself," + element + "2 does not run",
      "panel.xml:9:7: error: the arguments of '@Set(' are never closed by ')'," + element + "2 does not run",
      "panel.xml:24:91: error: the macros expand into more than 10000 uses of macros," + element + "3 does not run",
      "panel.xml:26:1: warning: '}' closes no block: it is passed over in the <Select> script of element 4",
      "panel.xml:11:1: warning: Width=\"wide\" is not a number; it is read as 0",
      "panel.xml:12:1: warning: 'LeftSingel' is not a mouse event the gauge host knows (did you mean 'LeftSingle'?); "
      "the click is read without it",
      "panel.xml:12:1: warning: Repeat=\"Always\" is read as No: write Yes or No",
      "panel.xml:12:3: warning: '+' needs 2 values but the stack holds at most 1 value here; the host reads 0 for each "
      "value missing in the <Click> script of area 1 (\"Mayday\")",
      "panel.xml:13:1: warning: '}' closes no block: it is passed over in the <Click> script of area 2",
  }));
  // The scripts with an error do not run; the rest of the gauge does.
  std::vector<std::size_t> not_running;
  for (std::size_t index = 0; index < gauge.scripts.size(); ++index) {
    if (!gauge.Runs(index)) {
      not_running.push_back(index);
    }
  }
  EXPECT_EQ(not_running, (std::vector<std::size_t>{1, 3, 4}));
  EXPECT_EQ(Formatted(gauge_host::GaugeScriptsOf(
                Tree({"SimBase.Document", 1, {}, "", {{"SimGauge.Gauge", 2, {}, "", {
                    {"Update", 3, {}, "", {{"Script", 3, {}, "@Nothing"}}},
                    {"MouseArea", 4, {}, "", {{"FloatPosition", 5, {}, "a,1"}, {"Size", 6, {}, "80"},
                                              {"MouseClick", 7, {}, "", {{"ClickType", 8, {}, "LeftDoubel"}}}}},
                }}}}),
                "new.xml")
                .findings),
            (std::vector<std::string>{
                "new.xml:3:1: error: '@Nothing' is not a macro of this gauge: it has no <Macro>, so the <Update> "
                "script does not run",
                "new.xml:5:1: warning: <FloatPosition>a,1</FloatPosition> is not two numbers, as 0,0; it is read as 0,0",
                "new.xml:6:1: warning: <Size>80</Size> is not two numbers, as 0,0; it is read as 0,0",
                "new.xml:8:1: warning: 'LeftDoubel' is not a mouse event the gauge host knows (did you mean "
                "'LeftDouble'?); the click is read without it",
            }));
  EXPECT_EQ(Formatted(gauge_host::GaugeScriptsOf(Tree({"SimBase.Document", 2}), "new.xml").unusable),
            "new.xml:2:1: error: <SimBase.Document> holds no <SimGauge.Gauge>, so it is not a gauge");
  EXPECT_EQ(Formatted(gauge_host::GaugeScriptsOf(Tree({"Panel", 2}), "p.xml").unusable),
            "p.xml:2:1: error: <Panel> is not a gauge: a gauge file holds <Gauge>, or <SimBase.Document> with "
            "<SimGauge.Gauge>");
}

// Every script the simulator runs, wherever either schema holds it: what runs it, the
// element that holds it, its element's or area's number, a click's events, and its text.
TEST(GaugeScriptsTest, EveryScriptOfBothSchemas) {
  const GaugeScripts older = gauge_host::GaugeScriptsOf(
      Tree({"Gauge", 1, {}, "", {
          {"Macro", 1, {{"Name", "M"}}, "1 (>L:A, number)"},
          {"Update", 2, {}, "0 (>L:A, number)"},
          {"Element", 3, {}, "", {
              {"Select", 3, {}, "", {{"Value", 3, {}, "(L:A, number)"}, {"Case", 3, {{"Value", "0"}}}}},
              {"Text", 4, {}, "", {{"String", 4, {}, "Fuel %((L:A, number) 100 %)%!3d! of %(2)% left"},
                                   {"String", 5, {}, "drawn as written"}}},
          }},
          {"Mouse", 6, {}, "", {
              Area(7, {}, {{"Tooltip", 7, {}, "Now %((L:A, number))%!d!"},
                           Click(8, "LeftSingle+ LeftRelease", "1 (>L:A, number)"), Click(9, "", "2 (>L:A, number)")}),
              Area(10, {}, {{"Click", 10, {{"Event", "TOGGLE_TAXI_LIGHTS"}}}}),
          }},
          {"Keys", 11, {}, "", {{"On", 11, {{"Key", "A"}}, "@M", {{"Visible", 12, {}, "(L:A, number)"}}}}},
      }}),
      "older.xml");
  const GaugeScripts newer = gauge_host::GaugeScriptsOf(
      Tree({"SimBase.Document", 1, {}, "", {{"SimGauge.Gauge", 1, {}, "", {
          {"Update", 2, {}, "", {{"Frequency", 2, {}, "6"}, {"Script", 2, {}, "3 (>L:C, number)"}}},
          {"Element", 3, {}, "", {
              {"Visibility", 3, {}, "(L:C, number)"},
              {"Rotation", 4, {}, "", {{"Expression", 4, {}, "", {{"Minimum", 4, {}, "0"}, {"Script", 4, {}, "(L:C, number)"}}}}},
              {"GaugeText", 5, {}, "", {{"GaugeString", 5, {}, "%((L:C, number))%!d!%"}}},
          }},
          {"MouseArea", 6, {}, "", {
              {"TooltipText", 6, {}, "Serve"},
              {"MouseClick", 7, {}, "", {{"ClickType", 7, {}, "LeftSingle"}, {"Script", 7, {}, "4 (>L:C, number)"}}},
              {"MouseArea", 8, {}, "", {{"ClickType", 8, {}, "RightSingle"}, {"CallbackCode", 8, {}, "5 (>L:C, number)"}}},
              {"MouseArea", 9, {}, "", {{"MouseClick", 9, {}, "", {{"KeyEvent", 9, {}, "TOGGLE_BEACON_LIGHTS"}}}}},
          }},
      }}}}),
      "newer.xml");
  std::vector<std::string> found;
  for (const GaugeScripts* gauge : {&older, &newer}) {
    EXPECT_EQ(Formatted(gauge->findings),
              gauge == &older ? std::vector<std::string>{"older.xml:9:1: warning: a second click of area 1 (\"Now "
                                                         "%((L:A, number))%!d!\"), which the simulator passes over: an "
                                                         "area has one"}
                              : std::vector<std::string>{});
    for (const gauge_host::GaugeScript& script : gauge->scripts) {
      const char* runs[] = {"every cycle", "on click", "on hover", "on key"};
      std::string events;
      for (const std::string& event : script.events) {
        events += " " + event;
      }
      found.push_back(std::string(script.element) + " " + std::to_string(script.number) + " " +
                      runs[static_cast<int>(script.runs)] + events + ":" + Tokens(script.script));
    }
  }
  EXPECT_EQ(newer.update_frequency, 6u);
  EXPECT_EQ(found, (std::vector<std::string>{
                       "Update 0 every cycle: 0@2:1 (>L:A, number)@2:3",
                       "Value 1 every cycle: (L:A, number)@3:1",
                       "String 1 every cycle: (L:A, number)@4:8 100@4:22 %@4:26 2@4:39",
                       "Tooltip 1 on hover: (L:A, number)@7:7",
                       "Click 1 on click LeftSingle LeftRelease: 1@8:1 (>L:A, number)@8:3",
                       "Click 2 on click LeftSingle: (>K:TOGGLE_TAXI_LIGHTS)@10:1",
                       "On 0 on key: 1@1:1 (>L:A, number)@1:3",
                       "Visible 0 on key: (L:A, number)@12:1",
                       "Update 0 every cycle: 3@2:1 (>L:C, number)@2:3",
                       "Visibility 1 every cycle: (L:C, number)@3:1",
                       "Expression 1 every cycle: (L:C, number)@4:1",
                       "GaugeString 1 every cycle: (L:C, number)@5:3",
                       "MouseClick 1 on click LeftSingle: 4@7:1 (>L:C, number)@7:3",
                       "CallbackCode 2 on click RightSingle: 5@8:1 (>L:C, number)@8:3",
                       "MouseClick 3 on click LeftSingle: (>K:TOGGLE_BEACON_LIGHTS)@9:1",
                   }));
}

// A macro's text is written in its <Macro> and used where a script names it: each token
// keeps both places, an argument's where it is written; @1 to @9 stand for the arguments
// as text, whatever follows them; a macro no script uses is not read.
TEST(GaugeScriptsTest, MacrosExpandedWhereScriptsUseThem) {
  const GaugeScripts gauge = gauge_host::GaugeScriptsOf(
      Tree({"Gauge", 1, {}, "", {
          {"Macro", 2, {{"Name", "Press"}}, "1 (>L:@1, number)"},
          {"Macro", 3, {{"Name", "Var"}}, "(L:Tvl_@1, number)"},
          {"Macro", 4, {{"Name", "Next"}}, "@Var(@1) 1 +"},
          {"Macro", 5, {{"Name", "Indexed"}}, "(L:Light_@1_@2, @3)"},
          {"Macro", 6, {{"Name", "Unused"}}, "not a script"},
          {"Mouse", 7, {}, "", {Area(7, {}, {Click(7, "", "@Press(Tvl_CallMayday) @Indexed(Taxi, 4, enum)")})}},
          {"Element", 8, {}, "", {{"Value", 8, {}, "@Next(PlayMusic)"}}},
      }}),
      "g.xml");
  EXPECT_EQ(Formatted(gauge.findings), std::vector<std::string>{});
  std::vector<std::string> found;
  for (const gauge_host::GaugeScript& script : gauge.scripts) {
    std::string line;
    for (const gauge_host::Instruction& instruction : script.script.code) {
      line += (line.empty() ? "" : " ") + instruction.text + " written " + std::to_string(instruction.position.line) +
              ":" + std::to_string(instruction.position.column) + " used " + std::to_string(instruction.use.line) +
              ":" + std::to_string(instruction.use.column);
    }
    found.push_back(line);
  }
  EXPECT_EQ(found, (std::vector<std::string>{
                       "1 written 2:1 used 7:1 (>L:Tvl_CallMayday, number) written 2:3 used 7:1 "
                       "(L:Light_Taxi_4, enum) written 5:1 used 7:24",
                       "(L:Tvl_PlayMusic, number) written 3:1 used 8:1 1 written 4:10 used 8:1 + written 4:12 used 8:1",
                   }));
}

}  // namespace
