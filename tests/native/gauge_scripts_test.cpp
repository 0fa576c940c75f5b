// A gauge file's scripts: which area a scenario's click reaches, why a click is refused,
// and the scripts' errors named by area.

#include <gtest/gtest.h>

#include "tools/gauge_host/gauge_scripts.h"

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
  EXPECT_EQ(gauge.errors, std::vector<std::string>{});
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
      {"6", "LeftSingle", 0, "panel.xml has no area 6; its 5 area(s) are numbered from 1 in document order"},
      {"0", "LeftSingle", 0, "panel.xml has no area 0; its 5 area(s) are numbered from 1 in document order"},
      {"\"mayday\"", "LeftSingle", 0,
       "panel.xml has no area with the tooltip \"mayday\"; its 5 area(s) are numbered from 1 in document order"},
      {"\"Music\"", "WheelUp", 0,
       "panel.xml has 2 areas with the tooltip \"Music\", areas 3 and 4: click one by its number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.area) + " " + c.event);
    std::string error;
    const gauge_host::MouseArea* area = gauge_host::FindClickableArea(gauge, c.area, c.event, error);
    EXPECT_EQ(area != nullptr ? area->number : 0, c.number);
    EXPECT_EQ(error, c.error);
  }
}

TEST(GaugeScriptsTest, ErrorsNameTheScript) {
  GaugeScripts gauge;
  gauge.file = "panel.xml";
  gauge_host::SetUpdateScript(gauge, TextAt("(L:Tvl_CallMayday, number) if{", {3, 11}));
  gauge_host::AddMouseArea(gauge, "Mayday", std::nullopt, TextAt("\n  1 (>L:Tvl_CallMayday, feet)", {6, 12}));
  gauge_host::AddMouseArea(gauge, "", std::nullopt, TextAt("g1", {9, 12}));
  EXPECT_EQ(gauge.errors, (std::vector<std::string>{
      "panel.xml:3:38: error: 'if{' is never closed by '}' in the <Update> script",
      "panel.xml:7:5: error: '(>L:Tvl_CallMayday, feet)': panel variables take the unit number, bool or enum, "
      "not 'feet' in the <Click> script of area 1 (\"Mayday\")",
      "panel.xml:9:12: error: 'g1': jumps and labels are not supported; use if{ } and els{ } in the <Click> script "
      "of area 2",
  }));
}

}  // namespace
