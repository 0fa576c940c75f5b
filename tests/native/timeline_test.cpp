// The picture of one run: what its rows keep as the run goes, and what a viewer sees in
// the SVG drawn from them, found by searching its text.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tools/gauge_host/play/timeline.h"
#include "tools/gauge_host/scenario/scenario.h"

namespace {

using gauge_host::Timeline;
using gauge_host::TimelineRow;
using gauge_host::TimelineSvg;

const std::optional<std::int32_t> kNone;

// A row built as the run builds it: sampled at a frame's start, or written by the module.
struct RowStep {
  bool write;
  std::uint64_t frame;
  std::optional<std::int32_t> value;
};
RowStep Sampled(std::uint64_t frame, std::optional<std::int32_t> value) { return {false, frame, value}; }
RowStep Written(std::uint64_t frame, std::int32_t value) { return {true, frame, value}; }

TimelineRow RowOf(const std::string& name, const std::vector<RowStep>& steps) {
  TimelineRow row{name, {}, {}};
  for (const RowStep& step : steps) {
    if (step.write) {
      gauge_host::RecordTimelineWrite(row, step.frame, *step.value);
    } else {
      gauge_host::SampleTimelineRow(row, step.frame, step.value);
    }
  }
  return row;
}

// Each match of the pattern in the picture, its matched groups joined by spaces.
std::vector<std::string> Matches(const std::string& svg, const std::string& pattern) {
  std::vector<std::string> found;
  const std::regex regex(pattern);
  for (std::sregex_iterator match(svg.begin(), svg.end(), regex), end; match != end; ++match) {
    std::string groups;
    for (std::size_t group = 1; group < match->size(); ++group) {
      if ((*match)[group].matched) {
        groups += (groups.empty() ? "" : " ") + (*match)[group].str();
      }
    }
    found.push_back(groups);
  }
  return found;
}

std::vector<double> Numbers(const std::string& svg, const std::string& pattern) {
  std::vector<double> numbers;
  for (const std::string& number : Matches(svg, pattern)) {
    numbers.push_back(std::stod(number));
  }
  return numbers;
}

TEST(TimelineTest, RowsKeepOnlyChangesAndTheModulesWrites) {
  const struct {
    const char* what;
    std::vector<RowStep> steps;
    const char* kept;  // each value from the frame it shows from ("2.5": from the middle of frame 2)
  } cases[] = {
      {"a value held is one cell", {Sampled(1, 0), Sampled(2, 0), Sampled(3, 0)}, "0 from 1; writes:"},
      {"each change starts a cell", {Sampled(1, 0), Sampled(2, 1), Sampled(3, 1), Sampled(4, 2), Sampled(5, 0)},
       "0 from 1, 1 from 2, 2 from 4, 0 from 5; writes:"},
      {"the add-on absent, loaded, then gone", {Sampled(1, kNone), Sampled(2, kNone), Sampled(3, 0), Sampled(4, kNone)},
       "none from 1, 0 from 3, none from 4; writes:"},
      {"a write shows from mid-frame; the next sample of it is no change",
       {Sampled(1, 0), Written(1, 1), Sampled(2, 1), Sampled(3, 0)}, "0 from 1, 1 from 1.5, 0 from 3; writes: 1 in 1"},
      {"a write into a row not yet sampled", {Written(2, 5)}, "5 from 2.5; writes: 5 in 2"},
      {"a write of the value shown is marked, starts no cell", {Sampled(1, 1), Written(2, 1)},
       "1 from 1; writes: 1 in 2"},
      {"two writes in one frame", {Sampled(1, 0), Written(2, 1), Written(2, 0), Sampled(3, 0)},
       "0 from 1, 1 from 2.5, 0 from 2.5; writes: 1 in 2, 0 in 2"},
      {"a write of 0 where the add-on showed nothing", {Sampled(1, kNone), Written(2, 0)},
       "none from 1, 0 from 2.5; writes: 0 in 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TimelineRow row = RowOf("Tvl_PlayMusic", c.steps);
    std::string kept;
    for (const gauge_host::TimelineValue& value : row.values) {
      kept += (kept.empty() ? "" : ", ") + (value.value ? std::to_string(*value.value) : "none") + " from " +
              std::to_string(value.from_frame) + (value.from_mid_frame ? ".5" : "");
    }
    kept += "; writes:";
    for (const gauge_host::TimelineWrite& write : row.writes) {
      kept += (kept.ends_with(':') ? " " : ", ") + std::to_string(write.value) + " in " + std::to_string(write.frame);
    }
    EXPECT_EQ(kept, c.kept);
  }
}

TEST(TimelineTest, FindsARowByItsExactName) {
  Timeline timeline;
  for (const char* name : {"Tvl_SeatbeltSign", "Tvl_PlayMusic"}) {
    timeline.rows.push_back({name, {}, {}});
  }
  const struct {
    const char* name;
    TimelineRow* row;
  } cases[] = {{"Tvl_SeatbeltSign", &timeline.rows[0]}, {"Tvl_PlayMusic", &timeline.rows[1]},
               {"tvl_playmusic", nullptr},              {"Tvl_Play", nullptr},
               {"Tvl_PlayMusic ", nullptr},             {"", nullptr}};
  for (const auto& c : cases) {
    EXPECT_EQ(gauge_host::FindTimelineRow(timeline, c.name), c.row) << c.name;
  }
}

// The plot runs from x 200 to 1160: 4 frames are 240 wide, frame 1 from 200 to 440.
TEST(TimelineTest, PictureHasARowForEachVariableTitledAndWithinItsBounds) {
  const struct {
    Timeline timeline;
    std::vector<std::string> rows;  // as written in the picture
    const char* title;
  } cases[] = {
      {Timeline{}, {}, ""},
      {Timeline{"Tvl: <seat belts> & \"music\".scn", 4,
                {RowOf("Tvl_SeatbeltSign", {Sampled(1, 0), Written(2, 1)}), RowOf("a<b & \"c\"", {Sampled(1, 3)}),
                 RowOf("add-on's seat-belt sign", {})},
                {{1, 'M', true}, {3, 'T', false}}, {{2, 5, true}, {4, 9, false}}},
       {"Tvl_SeatbeltSign", "a&lt;b &amp; &quot;c&quot;", "add-on's seat-belt sign"},
       "Tvl: &lt;seat belts&gt; &amp; &quot;music&quot;.scn"},
      {Timeline{"long.scn", 10000,
                {RowOf("Tvl_PlayMusic", {Sampled(1, 0), Sampled(5000, 2)}), RowOf("sign", {Sampled(1, kNone)})},
                {{10000, 'M', true}}, {{10000, 30, false}}},
       {"Tvl_PlayMusic", "sign"}, "long.scn"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    const std::string svg = TimelineSvg(c.timeline);
    EXPECT_EQ(Matches(svg, R"re(class="title">([^<]*)</text>)re"), std::vector<std::string>{c.title});
    // Each row a group named after its variable and labelled with it.
    EXPECT_EQ(Matches(svg, R"re(<g class="row" data-name="([^"]*)">\n<text [^>]* class="name">\1</text>)re"), c.rows);
    std::vector<std::string> names = {"chords"};
    names.insert(names.end(), c.rows.begin(), c.rows.end());
    names.push_back("expectations");
    EXPECT_EQ(Matches(svg, R"re(class="name">([^<]*)</text>)re"), names);
    // Each row below the one before, the frame axis below them all.
    const std::vector<double> ys = Numbers(svg, R"re(y="([^"]+)" text-anchor="end" class="(?:name|axis)")re");
    EXPECT_TRUE(std::is_sorted(ys.begin(), ys.end(), std::less_equal<>())) << "rows overlap";

    EXPECT_EQ(Matches(svg, R"re(text-anchor="start" class="axis">([^<]*)</text>)re"),
              (std::vector<std::string>{"0", "1", "2", "other", "written by the module", "chord", "not delivered",
                                        "unmet"}))
        << "the legend";
    // Its size, which the viewBox repeats, holds all that is drawn.
    const std::vector<double> height =
        Numbers(svg, R"re(<svg [^>]* width="1184" height="([^"]+)" viewBox="0 0 1184 \1">)re");
    ASSERT_EQ(height.size(), 1u);
    for (double x : Numbers(svg, R"re( x[12]?="([^"]+)")re")) {
      EXPECT_TRUE(x >= 0 && x <= 1184) << "x " << x;
    }
    for (double y : Numbers(svg, R"re( y[12]?="([^"]+)")re")) {
      EXPECT_TRUE(y >= 0 && y <= height[0]) << "y " << y;
    }
  }
}

// Fills: 0 #e8ecf0, 1 #2f6fb5, 2 #e39b2d, any other #7b4fa8, nothing to show #ffffff.
TEST(TimelineTest, PictureDrawsValuesInTheirColoursAndTheModulesWrites) {
  const struct {
    const char* what;
    std::uint64_t frames;
    std::vector<RowStep> steps;
    // Each cell's x, width, fill, [stroke-dasharray when it has no value,] then, where it
    // fits, its label's x, [dark,] and text.
    std::vector<std::string> cells;
    std::vector<std::string> marks;  // the mark's left (its tip 4 to the right), its tooltip
  } cases[] = {
      {"a value of each colour, the 1 written by the module in frame 2", 4,
       {Sampled(1, 0), Written(2, 1), Sampled(3, 2), Sampled(4, 7)},
       {"200 360 #e8ecf0 380 0", "560 120 #2f6fb5 620 dark 1", "680 240 #e39b2d 800 dark 2",
        "920 240 #7b4fa8 1040 dark 7"},
       {"556 frame 2: the module writes 1"}},
      {"the add-on not loaded, then loaded and switched by the module", 4,
       {Sampled(1, kNone), Sampled(3, 0), Written(4, 1)},
       {"200 480 #ffffff stroke-dasharray 440 no add-on", "680 360 #e8ecf0 860 0", "1040 120 #2f6fb5 1100 dark 1"},
       {"1036 frame 4: the module writes 1"}},
      {"a row never sampled", 4, {}, {}, {}},
      {"a one-frame value too narrow for its number", 200, {Sampled(1, 0), Sampled(100, 1), Sampled(101, 0)},
       {"200 475.2 #e8ecf0 437.6 0", "675.2 4.8 #2f6fb5", "680 480 #e8ecf0 920 0"}, {}},
      {"a long run: half a frame's write is still a visible line", 10000,
       {Sampled(1, 0), Written(5000, -1), Sampled(5001, 0)},
       {"200 479.95 #e8ecf0 439.98 0", "679.95 1 #7b4fa8", "680 480 #e8ecf0 920 0"},
       {"675.95 frame 5000: the module writes -1"}},
      {"a long run: the add-on gone for a frame", 10000, {Sampled(1, 1), Sampled(5000, kNone), Sampled(5001, 1)},
       {"200 479.9 #2f6fb5 439.95 dark 1", "679.9 1 #ffffff stroke-dasharray", "680 480 #2f6fb5 920 dark 1"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string svg = TimelineSvg({"t", c.frames, {RowOf("Tvl_PlayMusic", c.steps)}, {}, {}});
    EXPECT_EQ(Matches(svg, R"re(<rect x="([^"]+)" y="[^"]+" width="([^"]+)" height="20" fill="([^"]+)")re"
                           R"re((?: stroke="#c8c8c8" (stroke-dasharray)="3 2")?/>\n)re"
                           R"re((?:<text x="([^"]+)" y="[^"]+" text-anchor="middle"(?: class="(dark)")?>)re"
                           R"re(([^<]*)</text>)?)re"),
              c.cells);
    EXPECT_EQ(Matches(svg, R"re(<path class="write" d="M([^ ]+) [^"]+" fill="#d9480f"><title>([^<]*)</title>)re"),
              c.marks);
  }
}

TEST(TimelineTest, PictureDrawsEachChordHollowWhenNotDelivered) {
  const struct {
    const char* what;
    std::uint64_t frames;
    std::vector<gauge_host::TimelineChord> chords;
    std::vector<std::string> marks;  // x, width, fill, [stroke]
    std::vector<std::string> keys;   // x, key
  } cases[] = {
      {"no chords", 4, {}, {}, {}},
      {"one not delivered, two in one frame", 4, {{1, 'M', true}, {3, 'T', false}, {3, 'K', true}},
       {"316 8 #1b5e20", "796 8 #ffffff stroke", "796 8 #1b5e20"}, {"320 M", "800 T"}},
      {"a long run: crowded keys give way, the marks do not", 10000,
       {{1, 'M', true}, {3, 'T', false}, {60, 'K', true}, {200, 'D', true}},
       {"199.05 2 #1b5e20", "199.24 2 #ffffff stroke", "204.71 2 #1b5e20", "218.15 2 #1b5e20"},
       {"200.05 M", "219.15 D"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string svg = TimelineSvg({"t", c.frames, {}, c.chords, {}});
    EXPECT_EQ(Matches(svg, R"re(<rect x="([^"]+)" y="[^"]+" width="([^"]+)" height="12" class="chord")re"
                           R"re( fill="([^"]+)"(?: (stroke)="#888888")?)re"),
              c.marks);
    // With no value rows, the only plain centred labels are the keys.
    EXPECT_EQ(Matches(svg, R"re(<text x="([^"]+)" y="[^"]+" text-anchor="middle">([^<]*)</text>)re"), c.keys);
  }
}

// With one value row, the plot's top is at y 34 and the expectations' row at 94.
TEST(TimelineTest, PictureDrawsUnmetExpectationsInRedWithTheirLine) {
  const struct {
    const char* what;
    std::uint64_t frames;
    std::vector<gauge_host::TimelineExpectation> expectations;
    std::vector<std::string> met;    // each tick's x, at the right edge of the frame it follows
    std::vector<std::string> unmet;  // each red line's x1 y1 x2 y2: from the top, across the rows
    std::vector<std::string> labels;  // x, the side of it the text runs, text
  } cases[] = {
      {"no expectations", 4, {}, {}, {}, {}},
      {"all met: no red", 4, {{1, 3, true}, {4, 5, true}}, {"439.5", "1159.5"}, {}, {}},
      {"one met, one unmet after frame 2", 4, {{1, 5, true}, {2, 9, false}}, {"439.5"}, {"680 34 680 110"},
       {"683 start line 9"}},
      {"unmet after the last frame: its label turns left", 4, {{4, 12, false}}, {}, {"1160 34 1160 110"},
       {"1157 end line 12"}},
      {"unmet before any frame ran", 0, {{0, 3, false}}, {}, {"200 34 200 110"}, {"203 start line 3"}},
      {"a long run: crowded labels give way, the red lines do not; one turned left leaves the room on its right",
       10000, {{50, 7, false}, {51, 8, false}, {52, 9, true}, {5000, 30, false}, {9720, 100, false}, {9740, 9, false}},
       {"204.49"},
       {"204.8 34 204.8 110", "204.9 34 204.9 110", "680 34 680 110", "1133.12 34 1133.12 110",
        "1135.04 34 1135.04 110"},
       {"207.8 start line 7", "683 start line 30", "1130.12 end line 100", "1138.04 start line 9"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string svg =
        TimelineSvg({"t", c.frames, {RowOf("Tvl_SeatbeltSign", {Sampled(1, 0)})}, {}, c.expectations});
    EXPECT_EQ(Matches(svg, R"re(<rect x="([^"]+)" y="[^"]+" width="1" height="10" class="met")re"), c.met);
    EXPECT_EQ(Matches(svg, R"re(<line class="unmet" x1="([^"]+)" y1="([^"]+)" x2="([^"]+)" y2="([^"]+)")re"
                           R"re( stroke="#c62828")re"),
              c.unmet);
    EXPECT_EQ(Matches(svg, R"re(<text x="([^"]+)" y="[^"]+" text-anchor="(start|end)" class="unmet">([^<]*)</text>)re"),
              c.labels);
  }
}

TEST(TimelineTest, PictureNumbersTheFramesAtRoundSteps) {
  const struct {
    std::uint64_t frames;
    std::vector<double> ticks;
  } cases[] = {
      {0, {1}},
      {1, {1}},
      {4, {1, 2, 3, 4}},
      {30, {2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30}},
      {50, {5, 10, 15, 20, 25, 30, 35, 40, 45, 50}},
      {100, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100}},
      {200, {20, 40, 60, 80, 100, 120, 140, 160, 180, 200}},
      {10000, {1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.frames);
    const std::string svg = TimelineSvg({"t", c.frames, {}, {}, {}});
    EXPECT_EQ(Numbers(svg, R"re(text-anchor="middle" class="axis">([^<]*)</text>)re"), c.ticks);
    // Each under the middle of its frame.
    const std::vector<double> xs = Numbers(svg, R"re(x="([^"]+)" y="[^"]+" text-anchor="middle" class="axis")re");
    ASSERT_EQ(xs.size(), c.ticks.size());
    const double frame_width = 960.0 / static_cast<double>(std::max<std::uint64_t>(c.frames, 1));
    for (std::size_t tick = 0; tick < xs.size(); ++tick) {
      EXPECT_NEAR(xs[tick], 200 + (c.ticks[tick] - 0.5) * frame_width, 0.006);
    }
  }
}

}  // namespace

namespace {

// Every number of an attribute of the picture's elements, and the picture's width.
double PictureWidth(const std::string& svg) {
  const std::vector<double> widths = Numbers(svg, R"re(<svg [^>]* width="([^"]+)")re");
  return widths.empty() ? 0 : widths[0];
}

// Long names, in the title and in the rows, stay inside the picture and off the legend,
// which has a line of its own below the frames.
TEST(TimelineTest, LongNamesStayInsideThePictureAndOffTheLegend) {
  const std::string long_path = "C:\\Users\\Zoë\\Documents\\Flight Simulator\\Aircraft\\My Aircraft\\panel\\"
                                "scenarios\\hidden-window.scn";
  const std::string long_name = "Tvl_A_Variable_Named_At_Great_Length_40c";
  const std::string longer_name(90, 'x');
  const struct {
    const char* what;
    std::string title;
    std::vector<std::string> rows;
    std::string title_shown;
    std::vector<std::string> names_shown;
    double width;
  } cases[] = {
      {"short", "Tvl_LvarSupport: a.scn, 4 frames", {"Tvl_PlayMusic"}, "Tvl_LvarSupport: a.scn, 4 frames",
       {"Tvl_PlayMusic"}, 1184},
      {"a long path: cut in its middle, the file's name kept", "Tvl_LvarSupport: " + long_path + long_path + ", 4 frames",
       {"Tvl_PlayMusic"},
       "Tvl_LvarSupport: C:\\Users\\Zoë\\Documents\\Flight Simulator\\Aircraft\\M…tor\\Aircraft\\My Aircraft\\"
       "panel\\scenarios\\hidden-window.scn, 4 frames",
       {"Tvl_PlayMusic"}, 1184},
      {"a long row name widens its column", "t", {long_name, "Tvl_PlayMusic"}, "t", {long_name, "Tvl_PlayMusic"}, 1300},
      {"a name past 60 characters is cut", "t", {longer_name}, "t",
       {std::string(29, 'x') + "…" + std::string(30, 'x')}, 1450},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Timeline timeline{c.title, 4, {}, {}, {}};
    for (const std::string& name : c.rows) {
      timeline.rows.push_back(RowOf(name, {Sampled(1, 0)}));
    }
    const std::string svg = TimelineSvg(timeline);
    const std::vector<std::string> titles = Matches(svg, R"re(class="title">([^<]*)</text>)re");
    EXPECT_EQ(titles, std::vector<std::string>{c.title_shown});
    EXPECT_EQ(PictureWidth(svg), c.width);
    // The title, at x 12, and each name, ending 8 left of the plot, within the picture, at
    // 8.5 and 7.5 pixels a character.
    const auto characters = [](const std::string& text) {
      return static_cast<double>(std::count_if(text.begin(), text.end(), [](char ch) { return (ch & 0xC0) != 0x80; }));
    };
    EXPECT_LE(12 + characters(titles.at(0)) * 8.5, c.width);
    const std::vector<std::string> names =
        Matches(svg, R"re(<g class="row" data-name="[^"]*">\n<text x="([^"]+)" [^>]* class="name">([^<]*)</text>)re");
    ASSERT_EQ(names.size(), c.names_shown.size());
    for (std::size_t index = 0; index < names.size(); ++index) {
      const double x = std::stod(names[index]);
      const std::string name = names[index].substr(names[index].find(' ') + 1);
      EXPECT_EQ(name, c.names_shown[index]);
      EXPECT_GE(x - characters(name) * 7.5, 0) << name;
    }
    // The legend below the frames' numbers.
    const std::vector<double> axis = Numbers(svg, R"re(y="([^"]+)" text-anchor="end" class="axis">frame<)re");
    for (double y : Numbers(svg, R"re(y="([^"]+)" text-anchor="start" class="axis")re")) {
      EXPECT_GT(y, axis.at(0) + 8);
    }
  }
}

// A scenario's picture has a row for each panel variable it sets or expects, in the order
// it first does, and for the add-on's sign; a simulation variable, which the module never
// reads, has none.
TEST(TimelineTest, StartsWithARowForEachPanelVariable) {
  gauge_host::Scenario scenario = gauge_host::ParseScenario(
      "set (A:ELECTRICAL MASTER BATTERY, bool) 1\nexpect Tvl_CallMayday 0\nset Tvl_PlayMusic 1\nframes 3\n"
      "set Tvl_CallMayday 1\nframe\neval 1 (>L:Tvl_Kneeboard, number)\n",
      "rows.scn");
  ASSERT_TRUE(scenario.diagnostics.empty());
  const Timeline timeline = gauge_host::StartTimeline(scenario, "rows.scn");
  std::vector<std::string> rows;
  for (const TimelineRow& row : timeline.rows) {
    rows.push_back(row.name);
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"Tvl_CallMayday", "Tvl_PlayMusic", "add-on's seat-belt sign"}));
  EXPECT_EQ(timeline.title, "Tvl_LvarSupport: rows.scn, 4 frames");
  EXPECT_EQ(timeline.frames, 4u);
}

// The frames in which the window holding Switches was hidden, one span for frames in a
// row, shaded across the rows and named in the legend only when there are some.
TEST(TimelineTest, ShadesTheFramesInWhichSwitchesWasHidden) {
  Timeline timeline{"t", 8, {RowOf("Tvl_PlayMusic", {Sampled(1, 0)})}, {}, {}};
  EXPECT_EQ(TimelineSvg(timeline).find("Switches hidden"), std::string::npos);
  for (std::uint64_t frame : {2, 3, 4, 7}) {
    gauge_host::RecordTimelineHiddenFrame(timeline, frame);
  }
  const std::string svg = TimelineSvg(timeline);
  // Frames are 120 wide from x 200; the three rows run from y 34 to the axis at 124.
  EXPECT_EQ(Matches(svg, R"re(<rect class="hidden" x="([^"]+)" y="([^"]+)" width="([^"]+)" height="([^"]+)" )re"
                         R"re([^>]*><title>([^<]*)</title>)re"),
            (std::vector<std::string>{
                "320 34 360 90 frames 2 to 4: the window holding Switches is hidden; the module gets no frames",
                "920 34 120 90 frame 7: the window holding Switches is hidden; the module gets no frames"}));
  EXPECT_NE(svg.find(">Switches hidden: no frames for the module</text>"), std::string::npos);
}

// A million frames with a chord, a change and a write of the module in every one, and an
// expectation every thousand: each layer drawn by columns, at most 480 marks, so that the
// file stays small, and every event still counted in the marks' tooltips.
TEST(TimelineTest, ALongBusyRunIsDrawnByColumnsAndStaysSmall) {
  constexpr std::uint64_t kFrames = 1000000;
  Timeline timeline{"busy.scn", kFrames, {TimelineRow{"Tvl_PlayMusic", {}, {}}}, {}, {}};
  TimelineRow& row = timeline.rows[0];
  for (std::uint64_t frame = 1; frame <= kFrames; ++frame) {
    const auto value = static_cast<std::int32_t>(frame % 2);
    gauge_host::SampleTimelineRow(row, frame, value);
    gauge_host::RecordTimelineWrite(row, frame, 1 - value);
    // One chord in a hundred thousand not delivered.
    timeline.chords.push_back({frame, frame % 2 == 0 ? 'T' : 'M', frame % 100000 != 0});
    if (frame % 1000 == 0) {
      timeline.expectations.push_back({frame, static_cast<int>(frame / 1000), frame != 500000});
    }
  }
  const std::string svg = TimelineSvg(timeline);
  EXPECT_LT(svg.size(), 200000u);
  const std::vector<std::string> chords =
      Matches(svg, R"re(class="chord" fill="([^"]+)"[^>]*><title>[^:]*: ([0-9]+) chords?, ([0-9]+) not delivered)re");
  EXPECT_LE(chords.size(), 480u);
  std::uint64_t counted = 0;
  std::uint64_t undelivered = 0;
  std::size_t hollow = 0;
  for (const std::string& chord : chords) {
    std::istringstream fields(chord);
    std::string fill;
    std::uint64_t count = 0;
    std::uint64_t lost = 0;
    fields >> fill >> count >> lost;
    counted += count;
    undelivered += lost;
    hollow += fill == "#ffffff" ? 1 : 0;
  }
  EXPECT_EQ(counted, kFrames);
  EXPECT_EQ(undelivered, 10u);
  EXPECT_EQ(hollow, 10u) << "a column with an undelivered chord is hollow";
  const std::vector<std::string> writes = Matches(svg, R"re(<title>[^:]*: the module writes ([0-9]+) times)re");
  EXPECT_LE(writes.size(), 480u);
  std::uint64_t written = 0;
  for (const std::string& count : writes) {
    written += std::stoull(count);
  }
  EXPECT_EQ(written, kFrames);
  // The values, changing twice in every frame (the module writes mid-frame what the next
  // frame starts with), one striped run from frame 1 to the end.
  EXPECT_EQ(Matches(svg, R"re(class="changing"><title>([^<]*)</title>)re"),
            std::vector<std::string>{"frames 1 to 1000000: 1000000 changes"});
  EXPECT_EQ(Matches(svg, R"re(class="unmet">([^<]*)</text>)re"), std::vector<std::string>{"line 500"});
  EXPECT_LE(Matches(svg, R"re(class="met")re").size(), 480u);
}

}  // namespace
