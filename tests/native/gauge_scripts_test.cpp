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
    EXPECT_EQ(gauge.errors.size(), c.refused ? 1u : 0u);
  }
}

TEST(GaugeScriptsTest, TheAreaAClickReaches) {
  const GaugeScripts gauge = Panel();
  EXPECT_EQ(Formatted(gauge.errors), std::vector<std::string>{});
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

// What a test compares of a gauge read: its update, elements and areas in one line each.
std::vector<std::string> Summary(const GaugeScripts& gauge) {
  const auto tokens = [](const gauge_host::Script& script) {
    std::string text;
    for (const gauge_host::Instruction& instruction : script.code) {
      text += " " + instruction.text + "@" + std::to_string(instruction.position.line) + ":" +
              std::to_string(instruction.position.column);
    }
    return text;
  };
  std::vector<std::string> lines;
  if (gauge.update) {
    lines.push_back("update every " + std::to_string(gauge.update_frequency) + ":" + tokens(*gauge.update));
  }
  for (const gauge_host::ElementScript& element : gauge.elements) {
    const char* kinds[] = {"update", "value", "visible", "select", "click"};
    lines.push_back("element " + std::to_string(element.element) + " " + kinds[static_cast<int>(element.kind)] + ":" +
                    tokens(element.script));
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
      line += (area.click->repeat ? " repeat:" : ":") + tokens(area.click->script);
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
  EXPECT_EQ(Formatted(panel.errors), std::vector<std::string>{});
  EXPECT_EQ(Formatted(newer.errors), std::vector<std::string>{});
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
  EXPECT_EQ(Formatted(gauge.errors), (std::vector<std::string>{
      "panel.xml:4:1: error: the macro Set is defined twice",
      "panel.xml:5:1: error: a <Macro> without a Name",
      "panel.xml:5:1: error: a <Macro> without a Name",
      "panel.xml:6:1: error: Frequency=\"0.5\": the update runs on every N-th panel cycle, N a whole number from 1 to "
      "1000000",
      "panel.xml:6:28: error: 'if{' is never closed by '}' in the <Update> script",
      "panel.xml:7:1: error: '@Sett' is not a macro of this gauge (did you mean '@Set'?) in the <Value> script of element 1",
      "panel.xml:7:7: error: '@1' stands for an argument of a macro, outside any macro in the <Value> script of element 1",
      "panel.xml:2:31: error: '@2' stands for argument 2 of a macro given 1 argument in the <Visible> script of element 1",
      "panel.xml:3:1: error: '@Loop' expands into itself in the <Value> script of element 2",
      "panel.xml:9:7: error: the arguments of '@Set(' are never closed by ')' in the <Value> script of element 2",
      "panel.xml:24:91: error: the macros expand into more than 10000 uses of macros in the <Value> script of element 3",
      "panel.xml:26:1: error: '}' closes no block in the <Select> script of element 4",
      "panel.xml:11:1: error: Width=\"wide\" is not a number",
      "panel.xml:12:1: error: 'LeftSingel' is not a mouse event (did you mean 'LeftSingle'?)",
      "panel.xml:12:1: error: Repeat=\"Always\": write Yes or No",
      "panel.xml:12:3: error: '+' needs 2 values but the stack holds at most 1 value here in the <Click> script of "
      "area 1 (\"Mayday\")",
      "panel.xml:13:1: error: '}' closes no block in the <Click> script of area 2",
  }));
  EXPECT_EQ(Formatted(gauge_host::GaugeScriptsOf(
                Tree({"SimBase.Document", 1, {}, "", {{"SimGauge.Gauge", 2, {}, "", {
                    {"Update", 3, {}, "", {{"Script", 3, {}, "@Nothing"}}},
                    {"MouseArea", 4, {}, "", {{"FloatPosition", 5, {}, "a,1"}, {"Size", 6, {}, "80"},
                                              {"MouseClick", 7, {}, "", {{"ClickType", 8, {}, "LeftDoubel"}}}}},
                }}}}),
                "new.xml")
                .errors),
            (std::vector<std::string>{
                "new.xml:3:1: error: '@Nothing' is not a macro of this gauge: it has no <Macro> in the <Update> script",
                "new.xml:5:1: error: <FloatPosition>a,1</FloatPosition> is not two numbers, as 0,0",
                "new.xml:6:1: error: <Size>80</Size> is not two numbers, as 0,0",
                "new.xml:8:1: error: 'LeftDoubel' is not a mouse event (did you mean 'LeftDouble'?)",
            }));
  EXPECT_EQ(Formatted(gauge_host::GaugeScriptsOf(Tree({"SimBase.Document", 2}), "new.xml").errors),
            std::vector<std::string>{"new.xml:2:1: error: <SimBase.Document> holds no <SimGauge.Gauge>, so it is not a gauge"});
  EXPECT_EQ(Formatted(gauge_host::GaugeScriptsOf(Tree({"Panel", 2}), "p.xml").errors),
            std::vector<std::string>{"p.xml:2:1: error: <Panel> is not a gauge: a gauge file holds <Gauge>, or "
                                     "<SimBase.Document> with <SimGauge.Gauge>"});
}

}  // namespace
