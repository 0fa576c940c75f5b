// A gauge file's scripts: which area a scenario's click reaches, why a click is refused,
// and the scripts' errors named by area.

#include <gtest/gtest.h>

#include "tests/support/diagnostics.h"
#include "tools/gauge_host/script/gauge_scripts.h"

namespace {

using gauge_host::GaugeScripts;
using gauge_host::TextAt;

GaugeScripts Panel() {
  GaugeScripts gauge;
  gauge.file = "panel.xml";
  gauge_host::AddMouseArea(gauge, " Mayday\n", "LeftSingle+LeftRelease", TextAt("1 (>L:Tvl_CallMayday, number)", {4, 30}));
  gauge_host::AddMouseArea(gauge, "", std::nullopt, TextAt("1 (>L:Tvl_PlayMusic, number)", {8, 14}));
  gauge_host::AddMouseArea(gauge, "Music", " WheelUp + WheelDown ", TextAt("2 (>L:Tvl_PlayMusic, number)", {9, 14}));
  gauge_host::AddMouseArea(gauge, "Music", "", TextAt("", {10, 14}));
  gauge_host::AddMouseArea(gauge, "Frame", std::nullopt, std::nullopt);
  return gauge;
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
      {"2", "LeftRelease", 0, "the <Click> of area 2 of panel.xml is not for LeftRelease: its Kind lists LeftSingle"},
      {"3", "LeftSingle", 0,
       "the <Click> of area 3 (\"Music\") of panel.xml is not for LeftSingle: its Kind lists WheelUp+WheelDown"},
      {"4", "LeftSingle", 0,
       "the <Click> of area 4 (\"Music\") of panel.xml is not for LeftSingle: its Kind lists no event"},
      {"5", "LeftSingle", 0, "area 5 (\"Frame\") of panel.xml has no <Click> script"},
      {"6", "LeftSingle", 0, "panel.xml has no area 6; its 5 areas are numbered from 1 in document order"},
      {"0", "LeftSingle", 0, "panel.xml has no area 0; its 5 areas are numbered from 1 in document order"},
      {"\"mayday\"", "LeftSingle", 0,
       "panel.xml has no area with the tooltip \"mayday\"; its 5 areas are numbered from 1 in document order"},
      {"\"Music\"", "WheelUp", 0,
       "panel.xml has 2 areas with the tooltip \"Music\", areas 3 and 4: click one by its number"},
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
  GaugeScripts gauge;
  gauge.file = "cabin.xml";
  gauge_host::AddMouseArea(gauge, "Call mayday", std::nullopt, TextAt("", {3, 1}));
  gauge_host::AddMouseArea(gauge, "Serve drinks", std::nullopt, TextAt("", {6, 1}));
  gauge_host::AddMouseArea(gauge, "Call mayday", std::nullopt, TextAt("", {9, 1}));
  GaugeScripts untitled;
  untitled.file = "plain.xml";
  gauge_host::AddMouseArea(untitled, "", std::nullopt, TextAt("", {3, 1}));
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

TEST(GaugeScriptsTest, ErrorsNameTheScript) {
  GaugeScripts gauge;
  gauge.file = "panel.xml";
  gauge_host::SetUpdateScript(gauge, TextAt("(L:Tvl_CallMayday, number) if{", {3, 11}));
  gauge_host::AddMouseArea(gauge, "Mayday", std::nullopt, TextAt("\n  1 (>C:Tvl_CallMayday, number)", {6, 12}));
  gauge_host::AddMouseArea(gauge, "", std::nullopt, TextAt("g1", {9, 12}));
  EXPECT_EQ(Formatted(gauge.errors), (std::vector<std::string>{
      "panel.xml:3:38: error: 'if{' is never closed by '}' in the <Update> script",
      "panel.xml:7:5: error: '(>C:Tvl_CallMayday, number)': the gauge host does not know variables of type C:; it "
      "knows L:, A:, K:, P:, E:, G: and M: in the <Click> script of area 1 (\"Mayday\")",
      "panel.xml:9:12: error: 'g1' jumps to the label ':1', which the script does not have in the <Click> script "
      "of area 2",
  }));
}

// An element of a gauge file as the XML reader gives it; its text starts at line, column 1.
gauge_host::XmlElement Element(const char* name, int line, const char* text = "",
                               std::vector<gauge_host::XmlElement> children = {}) {
  gauge_host::XmlElement element;
  element.name = name;
  element.position = {line, 1};
  if (*text != 0) {
    const gauge_host::ScriptText placed = TextAt(text, {line, 1});
    element.texts.push_back({placed.text, placed.positions, {line, 1}});
  }
  element.children = std::move(children);
  return element;
}

TEST(GaugeScriptsTest, AreasOfAGaugeFileInDocumentOrder) {
  gauge_host::XmlElement click = Element("Click", 5, "(M:Event) 'LeftRelease' scmp");
  click.attributes.push_back({"Kind", {5, 1}, {"LeftSingle+LeftRelease", {}, {5, 1}}});
  const gauge_host::XmlElement root = Element(
      "Gauge", 1, "",
      {Element("Update", 2, "1 (>L:Tvl_CallMayday, number)"),
       Element("Mouse", 3, "",
               {Element("Area", 4, "",
                        {Element("Tooltip", 4, "Outer"), click,
                         Element("Area", 6, "", {Element("Click", 7, "2 (>L:Tvl_PlayMusic, number)")})}),
                Element("Area", 8, "", {Element("Tooltip", 8, "No click")})})});
  const GaugeScripts gauge = gauge_host::GaugeScriptsOf(root, "g.xml");
  EXPECT_EQ(Formatted(gauge.errors), std::vector<std::string>{});
  ASSERT_TRUE(gauge.update.has_value());
  EXPECT_EQ(gauge.update->code.size(), 2u);
  ASSERT_EQ(gauge.areas.size(), 3u);
  EXPECT_EQ(gauge.areas[0].tooltip, "Outer");
  EXPECT_EQ(gauge.areas[0].events, (std::vector<std::string>{"LeftSingle", "LeftRelease"}));
  EXPECT_EQ(gauge.areas[1].events, std::vector<std::string>{"LeftSingle"});
  EXPECT_EQ(gauge.areas[1].click->code.at(1).position.line, 7);
  EXPECT_EQ(gauge.areas[2].tooltip, "No click");
  EXPECT_FALSE(gauge.areas[2].click.has_value());

  EXPECT_EQ(Formatted(gauge_host::GaugeScriptsOf(Element("SimBase.Document", 2), "new.xml").errors),
            std::vector<std::string>{"new.xml:2:1: error: <SimBase.Document> is not a gauge of the older schema, "
                                     "<Gauge> with <Mouse>, <Area> and <Update>, the only one the gauge host runs"});
}

}  // namespace
