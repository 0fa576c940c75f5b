// The designer's gauges on the panel: which scripts a frame runs and in what order, the
// update's Frequency counted from the gauge's joining, the clock and its rate, and a held
// button's press, repeats and release.

#include <gtest/gtest.h>

#include "tests/support/diagnostics.h"
#include "tests/support/gauge_tree.h"
#include "tools/gauge_host/play/gauge_panel.h"

namespace {

using gauge_host::GaugePanel;
using gauge_host::GaugeScripts;
using gauge_host::ScriptWorld;

// Each script appends its digit to (L:Order, number), so that the order they ran in reads
// as a number.
std::string Appends(int digit) {
  return "(L:Order, number) 10 * " + std::to_string(digit) + " + (>L:Order, number)";
}

GaugeScripts Gauge(const std::string& file, const std::string& frequency, int update, int first_element) {
  GaugeScripts gauge = gauge_host::GaugeScriptsOf(
      Tree({"Gauge", 1, {}, "", {
          {"Element", 2, {}, "", {{"Visible", 3, {}, Appends(first_element)},
                                  {"Element", 4, {}, "", {{"Value", 5, {}, Appends(first_element + 1)}}}}},
          {"Update", 6, {{"Frequency", frequency}}, Appends(update)},
      }}),
      file);
  EXPECT_EQ(Formatted(gauge.findings), std::vector<std::string>{});
  return gauge;
}

// Runs one frame's scripts; what each is called, in order.
std::vector<std::string> Frame(GaugePanel& panel, ScriptWorld& world) {
  std::vector<std::string> headings;
  for (const gauge_host::ScheduledScript& scheduled : gauge_host::StartFrame(panel, world)) {
    headings.push_back(scheduled.heading);
    EXPECT_EQ(Formatted(gauge_host::RunScheduled(panel, world, scheduled).error), "");
  }
  return headings;
}

double Order(ScriptWorld& world) { return world.panel_variables["Order"]; }

TEST(GaugePanelTest, AFrameRunsEachGaugesUpdateThenItsElementsInTheOrderTheyJoined) {
  const GaugeScripts first = Gauge("a.xml", "1", 1, 2);
  const GaugeScripts second = Gauge("b.xml", "2", 4, 5);
  const GaugeScripts late = Gauge("c.xml", "3", 7, 8);
  GaugePanel panel;
  ScriptWorld world;
  gauge_host::AddGauge(panel, first);
  gauge_host::AddGauge(panel, second);
  EXPECT_EQ(Frame(panel, world), (std::vector<std::string>{"update a.xml", "<Visible> of element 1 of a.xml",
                                                           "<Value> of element 2 of a.xml", "update b.xml",
                                                           "<Visible> of element 1 of b.xml",
                                                           "<Value> of element 2 of b.xml"}));
  EXPECT_EQ(Order(world), 123456);
  // Frequency="2": every other frame, from the first after joining; "3" counted from its own joining.
  const struct {
    bool late_joins;
    double order;
  } frames[] = {{false, 12356},    {true, 123456789}, {false, 1235689}, {false, 12345689},
                {false, 12356789}, {false, 12345689}, {false, 1235689}};
  for (const auto& frame : frames) {
    if (frame.late_joins) {
      gauge_host::AddGauge(panel, late);
    }
    world.panel_variables["Order"] = 0;
    Frame(panel, world);
    EXPECT_EQ(Order(world), frame.order) << "frame " << panel.gauges[0].frames;
  }
  EXPECT_EQ(gauge_host::GaugeIndex(panel, late), 2u);
}

// Each frame moves the clock on one cycle at the rate of the time; a rate set between frames
// counts from the time reached.
TEST(GaugePanelTest, TheClockMovesOnACycleAFrame) {
  GaugePanel panel;
  ScriptWorld world;
  EXPECT_EQ(world.frames_per_second, 18);
  for (int frame = 1; frame <= 36; ++frame) {
    gauge_host::StartFrame(panel, world);
  }
  EXPECT_EQ(world.elapsed_seconds, 2);
  gauge_host::SetRate(panel, world, 30);
  EXPECT_EQ(world.elapsed_seconds, 2);
  for (int frame = 1; frame <= 9; ++frame) {
    gauge_host::StartFrame(panel, world);
  }
  EXPECT_DOUBLE_EQ(world.elapsed_seconds, 2.3);
  EXPECT_EQ(world.frames_per_second, 30);
}

// A click reports the event it answers and where it is; a held one with Repeat="Yes" runs
// again from the second frame after its press, until its release, which runs the click for
// the event that ends the press when the area answers it.
TEST(GaugePanelTest, HeldButtons) {
  const std::string counts = "(M:Event) 'LeftRelease' scmp 0 == if{ 0 (>L:Held, number) quit } "
                             "(L:Held, number) 1 + (>L:Held, number)";
  const GaugeScripts gauge = gauge_host::GaugeScriptsOf(
      Tree({"Gauge", 1, {}, "", {{"Mouse", 2, {}, "", {
          {"Area", 3, {{"Left", "10"}, {"Top", "20"}, {"Width", "40"}, {"Height", "10"}}, "", {
              {"Click", 4, {{"Kind", "LeftSingle+LeftRelease+RightSingle"}, {"Repeat", "Yes"}}, counts},
              {"Area", 5, {{"Left", "2"}, {"Top", "4"}, {"Width", "6"}, {"Height", "2"}}, "",
               {{"Click", 6, {}, counts}}},
          }},
      }}}}),
      "held.xml");
  ASSERT_EQ(Formatted(gauge.findings), std::vector<std::string>{});
  struct Case {
    int area;
    const char* event;
    std::optional<std::pair<double, double>> at;
    int frames;             // held for
    double runs;            // of the click while held
    const char* release;    // the release's heading, "" when none runs
    double after_release;   // (L:Held, number) then
    std::pair<double, double> mouse;
  };
  const Case cases[] = {
      {1, "LeftSingle", std::nullopt, 1, 1, "release held.xml area 1 LeftRelease", 0, {30, 25}},
      {1, "LeftSingle", std::pair{11.0, 21.0}, 4, 4, "release held.xml area 1 LeftRelease", 0, {11, 21}},
      {1, "RightSingle", std::nullopt, 3, 3, "", 3, {30, 25}},
      {2, "LeftSingle", std::nullopt, 3, 1, "", 1, {15, 25}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.area) + " " + c.event);
    GaugePanel panel;
    ScriptWorld world;
    gauge_host::AddGauge(panel, gauge);
    const gauge_host::MouseArea& area = gauge.areas[static_cast<std::size_t>(c.area - 1)];
    const gauge_host::MousePoint at =
        c.at ? gauge_host::MousePoint{c.at->first, c.at->second} : gauge_host::CentreOf(area);
    const gauge_host::ScheduledScript press = gauge_host::ClickOf(panel, 0, area, c.event, at, true);
    EXPECT_EQ(press.heading, "press held.xml area " + std::to_string(c.area) + " " + c.event);
    gauge_host::RunScheduled(panel, world, press);
    EXPECT_EQ(std::pair(world.mouse_x, world.mouse_y), c.mouse);
    for (int frame = 1; frame <= c.frames; ++frame) {
      const std::vector<std::string> headings = Frame(panel, world);
      EXPECT_EQ(headings.empty() ? "" : headings.front(),
                frame == 1 || !area.click->repeat ? "" : "held held.xml area 1 " + std::string(c.event));
    }
    EXPECT_EQ(world.panel_variables["Held"], c.runs);
    const std::optional<gauge_host::ScheduledScript> release = gauge_host::Release(panel);
    EXPECT_EQ(release ? release->heading : "", c.release);
    if (release) {
      gauge_host::RunScheduled(panel, world, *release);
    }
    EXPECT_EQ(world.panel_variables["Held"], c.after_release);
    EXPECT_FALSE(panel.held.has_value());
    Frame(panel, world);
    EXPECT_EQ(world.panel_variables["Held"], c.after_release) << "a repeat after the release";
  }
}

// Awaiting the calculator's G:, P: and M:X tokens: rename to enable once it reads them.
TEST(GaugePanelTest, GaugeVariablesClockAndMouseAsScriptsReadThem) {
  const auto gauge_of = [](const std::string& file) {
    return gauge_host::GaugeScriptsOf(
        Tree({"Gauge", 1, {}, "", {
            {"Update", 2, {}, "(G:Var1) 1 + (>G:Var1) (G:Var1) (>L:" + file + ", number) "
                              "(P:Absolute time, seconds) (>L:Time, number)"},
            {"Mouse", 3, {}, "", {{"Area", 4, {{"Width", "20"}, {"Height", "8"}}, "",
                                   {{"Click", 5, {}, "(M:X) (>L:X, number) (M:Y) (>L:Y, number) (G:Var1) (>L:Click, number)"}}}}},
        }}),
        file);
  };
  const GaugeScripts first = gauge_of("First");
  const GaugeScripts second = gauge_of("Second");
  ASSERT_EQ(Formatted(first.findings), std::vector<std::string>{});
  GaugePanel panel;
  ScriptWorld world;
  gauge_host::AddGauge(panel, first);
  Frame(panel, world);
  gauge_host::AddGauge(panel, second);
  Frame(panel, world);
  EXPECT_EQ(world.panel_variables["First"], 2);
  EXPECT_EQ(world.panel_variables["Second"], 1);
  gauge_host::RunScheduled(panel, world, gauge_host::ClickOf(panel, 1, second.areas[0], "LeftSingle", {10, 4}, false));
  EXPECT_EQ(world.panel_variables["X"], 10);
  EXPECT_EQ(world.panel_variables["Y"], 4);
  EXPECT_EQ(world.panel_variables["Click"], 1);
  EXPECT_GT(world.panel_variables["Time"], 0);
}

}  // namespace
