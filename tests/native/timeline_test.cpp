// The picture of one run: what its rows keep as the run goes, and what a designer sees in
// the SVG drawn from them: the rows, the values in their colours, the module's writes,
// the chords, the expectations with the unmet ones in red, and the frame axis.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "tools/gauge_host/play/timeline.h"

namespace {

using gauge_host::Timeline;
using gauge_host::TimelineChord;
using gauge_host::TimelineExpectation;
using gauge_host::TimelineRow;
using gauge_host::TimelineSvg;

// Building a row as the run does: sampled at a frame's start, or written by the module.
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

std::vector<std::string> ValuesOf(const TimelineRow& row) {
  std::vector<std::string> values;
  for (const gauge_host::TimelineValue& value : row.values) {
    values.push_back((value.from_mid_frame ? "mid frame " : "frame ") + std::to_string(value.from_frame) + ": " +
                     (value.value ? std::to_string(*value.value) : "none"));
  }
  return values;
}

std::vector<std::string> WritesOf(const TimelineRow& row) {
  std::vector<std::string> writes;
  for (const gauge_host::TimelineWrite& write : row.writes) {
    writes.push_back("frame " + std::to_string(write.frame) + ": " + std::to_string(write.value));
  }
  return writes;
}

TEST(TimelineTest, RowsKeepOnlyChangesAndMarkTheModulesWrites) {
  const std::optional<std::int32_t> none;
  struct Case {
    const char* what;
    std::vector<RowStep> steps;
    std::vector<std::string> values;
    std::vector<std::string> writes;
  };
  const Case cases[] = {
      {"a value held for frames is one cell", {Sampled(1, 0), Sampled(2, 0), Sampled(3, 0)}, {"frame 1: 0"}, {}},
      {"each change starts a cell",
       {Sampled(1, 0), Sampled(2, 1), Sampled(3, 1), Sampled(4, 2), Sampled(5, 0)},
       {"frame 1: 0", "frame 2: 1", "frame 4: 2", "frame 5: 0"},
       {}},
      {"the add-on absent, loaded, then gone again",
       {Sampled(1, none), Sampled(2, none), Sampled(3, 0), Sampled(4, none)},
       {"frame 1: none", "frame 3: 0", "frame 4: none"},
       {}},
      {"a write shows from the middle of its frame, and the next sample of it is no change",
       {Sampled(1, 0), Written(1, 1), Sampled(2, 1), Sampled(3, 0)},
       {"frame 1: 0", "mid frame 1: 1", "frame 3: 0"},
       {"frame 1: 1"}},
      {"a write into a row not yet sampled", {Written(2, 5)}, {"mid frame 2: 5"}, {"frame 2: 5"}},
      {"a write of the value shown is marked but starts no cell",
       {Sampled(1, 1), Written(2, 1)},
       {"frame 1: 1"},
       {"frame 2: 1"}},
      {"two writes in one frame",
       {Sampled(1, 0), Written(2, 1), Written(2, 0), Sampled(3, 0)},
       {"frame 1: 0", "mid frame 2: 1", "mid frame 2: 0"},
       {"frame 2: 1", "frame 2: 0"}},
      {"a write of 0 where the add-on showed nothing", {Sampled(1, none), Written(2, 0)},
       {"frame 1: none", "mid frame 2: 0"}, {"frame 2: 0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TimelineRow row = RowOf("Tvl_PlayMusic", c.steps);
    EXPECT_EQ(ValuesOf(row), c.values);
    EXPECT_EQ(WritesOf(row), c.writes);
  }
}

TEST(TimelineTest, FindTimelineRowByItsExactName) {
  Timeline timeline;
  for (const char* name : {"Tvl_SeatbeltSign", "Tvl_PlayMusic", "add-on's seat-belt sign"}) {
    timeline.rows.push_back({name, {}, {}});
  }
  const struct {
    const char* name;
    int row;  // -1: none
  } cases[] = {
      {"Tvl_SeatbeltSign", 0},
      {"Tvl_PlayMusic", 1},
      {"add-on's seat-belt sign", 2},
      {"tvl_playmusic", -1},
      {"Tvl_Play", -1},
      {"Tvl_PlayMusic ", -1},
      {"", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(gauge_host::FindTimelineRow(timeline, c.name), c.row < 0 ? nullptr : &timeline.rows[c.row]);
  }
}

// The picture as its elements, in document order, for the tests to look at as a viewer
// would: each element's attributes, its text, its tooltip, and the row it is drawn in.
struct Element {
  std::string tag;
  std::map<std::string, std::string> attributes;
  std::string text;     // of a <text>
  std::string tooltip;  // its <title>
  std::string row;      // the data-name of the row group around it, if any

  std::string Attribute(const std::string& name) const {
    const auto attribute = attributes.find(name);
    return attribute == attributes.end() ? "" : attribute->second;
  }
  double Number(const std::string& name) const { return std::stod(attributes.at(name)); }
};

std::string Unescaped(std::string text) {
  // &amp; last, so that an escaped entity's text is not taken for the entity.
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
  for (const auto& [entity, character] : entities) {
    for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1)) {
      text.replace(at, std::string(entity).size(), character);
    }
  }
  return text;
}

// Fails the test unless every element is closed in the order it was opened.
std::vector<Element> ElementsOf(const std::string& svg) {
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", 0), 0u);
  EXPECT_TRUE(svg.ends_with("</svg>\n"));
  const std::regex attribute_pattern(R"re(([a-zA-Z][a-zA-Z0-9-]*)="([^"<>]*)")re");
  std::vector<Element> elements;
  std::vector<std::size_t> open;  // indices of the elements not yet closed
  std::string row;
  for (std::size_t at = svg.find('<'); at != std::string::npos; at = svg.find('<', at + 1)) {
    const std::size_t end = svg.find('>', at);
    if (end == std::string::npos) {
      ADD_FAILURE() << "an unterminated tag at " << at;
      break;
    }
    const std::string tag = svg.substr(at + 1, end - at - 1);
    if (tag.starts_with('?')) {
      continue;
    }
    if (tag.starts_with('/')) {
      if (open.empty() || elements[open.back()].tag != tag.substr(1)) {
        ADD_FAILURE() << "<" << tag << "> closes nothing open at " << at;
        break;
      }
      if (tag == "/g") {
        row.clear();
      }
      open.pop_back();
      continue;
    }
    Element element;
    element.tag = tag.substr(0, tag.find_first_of(" /"));
    for (std::sregex_iterator match(tag.begin(), tag.end(), attribute_pattern), last; match != last; ++match) {
      element.attributes[(*match)[1]] = Unescaped((*match)[2]);
    }
    if (element.tag == "g" && element.Attribute("class") == "row") {
      row = element.Attribute("data-name");
    }
    element.row = row;
    const std::string content = Unescaped(svg.substr(end + 1, svg.find('<', end) - end - 1));
    if (element.tag == "text") {
      element.text = content;
    } else if (element.tag == "title" && !open.empty()) {
      elements[open.back()].tooltip = content;
    }
    elements.push_back(element);
    if (!tag.ends_with('/')) {
      open.push_back(elements.size() - 1);
    }
  }
  EXPECT_TRUE(open.empty()) << open.size() << " elements left open";
  return elements;
}

std::vector<Element> Having(const std::vector<Element>& elements, const std::string& tag, const std::string& css) {
  std::vector<Element> found;
  for (const Element& element : elements) {
    if (element.tag == tag && element.Attribute("class") == css) {
      found.push_back(element);
    }
  }
  return found;
}

// Where the plot lies in the picture: frame 1 starts at x 200, the last frame ends at x 1160.
constexpr double kPlotLeft = 200;
constexpr double kPlotRight = 1160;
// Coordinates are written with two decimals.
constexpr double kTolerance = 0.011;

// The x of a place along the frames: 3 is where frame 3 starts, 3.5 its middle.
double XAt(double place, std::uint64_t frames) {
  return kPlotLeft + (place - 1) * (kPlotRight - kPlotLeft) / static_cast<double>(std::max<std::uint64_t>(frames, 1));
}

const char* const kZeroFill = "#e8ecf0";
const char* const kOneFill = "#2f6fb5";
const char* const kTwoFill = "#e39b2d";
const char* const kOtherFill = "#7b4fa8";
const char* const kNoValueFill = "#ffffff";
const char* const kRed = "#c62828";

TEST(TimelineTest, PictureIsWellFormedWithOneGroupPerRow) {
  const std::optional<std::int32_t> none;
  struct Case {
    Timeline timeline;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {Timeline{}, {}},
      {Timeline{"Tvl_LvarSupport: <seat belts> & \"music\".scn, 4 frames",
                4,
                {RowOf("Tvl_SeatbeltSign", {Sampled(1, 0), Written(2, 1)}),
                 RowOf("a<b & \"c\"", {Sampled(1, 3)}),
                 RowOf("add-on's seat-belt sign", {})},
                {{1, 'M', true}, {3, 'T', false}},
                {{2, 5, true}, {4, 9, false}}},
       {"Tvl_SeatbeltSign", "a<b & \"c\"", "add-on's seat-belt sign"}},
      {Timeline{"Tvl_LvarSupport: long.scn, 10000 frames",
                10000,
                {RowOf("Tvl_PlayMusic", {Sampled(1, 0), Sampled(5000, 2)}),
                 RowOf("add-on's seat-belt sign", {Sampled(1, none), Sampled(2, 0)})},
                {{10000, 'M', true}},
                {{10000, 30, false}}},
       {"Tvl_PlayMusic", "add-on's seat-belt sign"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.timeline.title);
    const std::string svg = TimelineSvg(c.timeline);
    const std::vector<Element> elements = ElementsOf(svg);
    ASSERT_FALSE(elements.empty());
    ASSERT_EQ(elements[0].tag, "svg");
    const double width = elements[0].Number("width");
    const double height = elements[0].Number("height");
    EXPECT_EQ(elements[0].Attribute("viewBox"),
              "0 0 " + elements[0].Attribute("width") + " " + elements[0].Attribute("height"));
    EXPECT_EQ(svg.find("<b>"), std::string::npos) << "the title's markup is escaped";

    const std::vector<Element> titles = Having(elements, "text", "title");
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0].text, c.timeline.title);

    // Each row a group named after its variable, labelled with it, below the one before.
    std::vector<std::string> rows;
    double last_name_y = 0;
    for (const Element& group : Having(elements, "g", "row")) {
      rows.push_back(group.Attribute("data-name"));
    }
    EXPECT_EQ(rows, c.rows);
    std::vector<std::string> names;
    for (const Element& name : Having(elements, "text", "name")) {
      names.push_back(name.text);
      EXPECT_GT(name.Number("y"), last_name_y);
      last_name_y = name.Number("y");
      EXPECT_EQ(name.row, name.text == "chords" || name.text == "expectations" ? "" : name.text);
    }
    std::vector<std::string> expected_names = {"chords"};
    expected_names.insert(expected_names.end(), c.rows.begin(), c.rows.end());
    expected_names.push_back("expectations");
    EXPECT_EQ(names, expected_names);

    // The legend on the title line, and nothing drawn outside the picture.
    std::vector<std::string> legend;
    for (const Element& label : Having(elements, "text", "axis")) {
      if (label.Attribute("text-anchor") == "start") {
        legend.push_back(label.text);
      }
    }
    EXPECT_EQ(legend, (std::vector<std::string>{"0", "1", "2", "other", "written by the module", "chord",
                                                "not delivered", "unmet"}));
    for (const Element& element : elements) {
      if (element.tag == "rect") {
        EXPECT_GE(element.Number("x"), 0);
        EXPECT_GE(element.Number("y"), 0);
        EXPECT_LE(element.Number("x") + element.Number("width"), width + kTolerance);
        EXPECT_LE(element.Number("y") + element.Number("height"), height + kTolerance);
      } else if (element.tag == "text") {
        EXPECT_GE(element.Number("x"), 0);
        EXPECT_LE(element.Number("x"), width);
        EXPECT_GT(element.Number("y"), 0);
        EXPECT_LE(element.Number("y"), height);
      } else if (element.tag == "line") {
        for (const char* x : {"x1", "x2"}) {
          EXPECT_GE(element.Number(x), 0);
          EXPECT_LE(element.Number(x), width);
        }
        for (const char* y : {"y1", "y2"}) {
          EXPECT_GE(element.Number(y), 0);
          EXPECT_LE(element.Number(y), height);
        }
      }
    }
  }
}

// A value row as drawn: its cells, each with the fill and number a viewer sees, and the
// module's write marks over it.
struct ExpectedCell {
  double from;  // where along the frames it starts
  const char* fill;
  const char* label;  // "": too narrow for one
};

struct ExpectedMark {
  double at;
  const char* tooltip;
};

TEST(TimelineTest, PictureDrawsValuesInTheirColoursAndTheModulesWrites) {
  const std::optional<std::int32_t> none;
  struct Case {
    const char* what;
    std::uint64_t frames;
    std::vector<RowStep> steps;
    std::vector<ExpectedCell> cells;
    std::vector<ExpectedMark> marks;
  };
  const Case cases[] = {
      {"a value of each colour, the 1 written by the module",
       4,
       {Sampled(1, 0), Written(2, 1), Sampled(3, 2), Sampled(4, 7)},
       {{1, kZeroFill, "0"}, {2.5, kOneFill, "1"}, {3, kTwoFill, "2"}, {4, kOtherFill, "7"}},
       {{2.5, "frame 2: the module writes 1"}}},
      {"a negative value is another", 2, {Sampled(1, -1)}, {{1, kOtherFill, "-1"}}, {}},
      {"the add-on not loaded, then loaded and switched by the module",
       4,
       {Sampled(1, none), Sampled(3, 0), Written(4, 1)},
       {{1, kNoValueFill, "no add-on"}, {3, kZeroFill, "0"}, {4.5, kOneFill, "1"}},
       {{4.5, "frame 4: the module writes 1"}}},
      {"a row never sampled", 4, {}, {}, {}},
      {"a one-frame value too narrow for its number",
       200,
       {Sampled(1, 0), Sampled(100, 1), Sampled(101, 0)},
       {{1, kZeroFill, "0"}, {100, kOneFill, ""}, {101, kZeroFill, "0"}},
       {}},
      {"a long run: a value the module wrote for half a frame is still a visible line",
       10000,
       {Sampled(1, 0), Written(5000, -1), Sampled(5001, 0)},
       {{1, kZeroFill, "0"}, {5000.5, kOtherFill, ""}, {5001, kZeroFill, "0"}},
       {{5000.5, "frame 5000: the module writes -1"}}},
      {"a long run: the add-on gone for a frame",
       10000,
       {Sampled(1, 1), Sampled(5000, none), Sampled(5001, 1)},
       {{1, kOneFill, "1"}, {5000, kNoValueFill, ""}, {5001, kOneFill, "1"}},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Timeline timeline{"t", c.frames, {RowOf("Tvl_PlayMusic", c.steps)}, {}, {}};
    const std::vector<Element> elements = ElementsOf(TimelineSvg(timeline));

    // The row's cells in order, each with the label that follows it.
    struct Cell {
      Element rect;
      std::optional<Element> label;
    };
    std::vector<Cell> cells;
    std::vector<Element> marks;
    for (const Element& element : elements) {
      if (element.row != "Tvl_PlayMusic") {
        continue;
      }
      if (element.tag == "rect") {
        cells.push_back({element, std::nullopt});
      } else if (element.tag == "text" && element.Attribute("class") != "name") {
        ASSERT_FALSE(cells.empty());
        cells.back().label = element;
      } else if (element.tag == "path") {
        marks.push_back(element);
      }
    }

    ASSERT_EQ(cells.size(), c.cells.size());
    for (std::size_t index = 0; index < cells.size(); ++index) {
      SCOPED_TRACE("cell " + std::to_string(index));
      const ExpectedCell& expected = c.cells[index];
      const Element& rect = cells[index].rect;
      const double left = rect.Number("x");
      const double right = left + rect.Number("width");
      EXPECT_NEAR(left, XAt(expected.from, c.frames), kTolerance);
      // Each cell reaches the next, the last the plot's end; none is thinner than a pixel.
      const double next = index + 1 < cells.size() ? XAt(c.cells[index + 1].from, c.frames) : kPlotRight;
      EXPECT_GE(right, next - kTolerance);
      EXPECT_GE(rect.Number("width"), 1 - kTolerance);
      EXPECT_EQ(rect.Attribute("fill"), expected.fill);
      // A cell with no value is dashed, so it does not read as a value.
      EXPECT_EQ(rect.Attribute("stroke-dasharray").empty(), expected.fill != std::string(kNoValueFill));

      const std::optional<Element>& label = cells[index].label;
      EXPECT_EQ(label ? label->text : "", expected.label);
      if (label) {
        EXPECT_NEAR(label->Number("x"), (left + right) / 2, kTolerance) << "centred in its cell";
        // White numbers on the darker fills.
        const bool dark = expected.fill != std::string(kZeroFill) && expected.fill != std::string(kNoValueFill);
        EXPECT_EQ(label->Attribute("class"), dark ? "dark" : "");
      }
    }

    ASSERT_EQ(marks.size(), c.marks.size());
    for (std::size_t index = 0; index < marks.size(); ++index) {
      EXPECT_EQ(marks[index].Attribute("class"), "write");
      EXPECT_EQ(marks[index].tooltip, c.marks[index].tooltip);
      // The path starts 4 pixels left of its tip, the place it marks.
      const std::string path = marks[index].Attribute("d");
      ASSERT_TRUE(path.starts_with('M'));
      EXPECT_NEAR(std::stod(path.substr(1)) + 4, XAt(c.marks[index].at, c.frames), kTolerance);
    }
  }
}

TEST(TimelineTest, PictureDrawsEachChordHollowWhenNotDelivered) {
  struct ExpectedChord {
    double at;
    bool delivered;
  };
  struct Case {
    const char* what;
    std::uint64_t frames;
    std::vector<TimelineChord> chords;
    std::vector<ExpectedChord> marks;
    std::string keys;  // the labels shown, in order
  };
  const Case cases[] = {
      {"no chords", 4, {}, {}, ""},
      {"two frames' chords, one not delivered, two in one frame",
       4,
       {{1, 'M', true}, {3, 'T', false}, {3, 'K', true}},
       {{1.5, true}, {3.5, false}, {3.5, true}},
       "MT"},
      {"a long run: crowded labels give way, the marks do not",
       10000,
       {{1, 'M', true}, {2, 'K', true}, {3, 'T', false}, {200, 'D', true}},
       {{1.5, true}, {2.5, true}, {3.5, false}, {200.5, true}},
       "MD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Timeline timeline{"t", c.frames, {}, c.chords, {}};
    const std::vector<Element> elements = ElementsOf(TimelineSvg(timeline));
    const std::vector<Element> marks = Having(elements, "rect", "chord");
    ASSERT_EQ(marks.size(), c.marks.size());
    for (std::size_t index = 0; index < marks.size(); ++index) {
      const Element& mark = marks[index];
      EXPECT_NEAR(mark.Number("x") + mark.Number("width") / 2, XAt(c.marks[index].at, c.frames), kTolerance);
      if (c.marks[index].delivered) {
        EXPECT_EQ(mark.Attribute("fill"), "#1b5e20");
        EXPECT_EQ(mark.Attribute("stroke"), "");
      } else {
        EXPECT_EQ(mark.Attribute("fill"), "#ffffff");
        EXPECT_NE(mark.Attribute("stroke"), "");
      }
    }
    // The only unclassed labels outside the rows are the chords' keys.
    std::string keys;
    for (const Element& label : Having(elements, "text", "")) {
      if (label.row.empty()) {
        keys += label.text;
      }
    }
    EXPECT_EQ(keys, c.keys);
  }
}

TEST(TimelineTest, PictureDrawsUnmetExpectationsAsRedLinesWithTheirLine) {
  enum Side { kRight, kLeft };
  struct ExpectedLabel {
    const char* text;
    double line_at;  // where its red line stands
    Side side;
  };
  struct Case {
    const char* what;
    std::uint64_t frames;
    std::vector<TimelineExpectation> expectations;
    std::vector<double> met;    // where each met one's tick stands
    std::vector<double> unmet;  // where each red line stands
    std::vector<ExpectedLabel> labels;
  };
  const Case cases[] = {
      {"no expectations", 4, {}, {}, {}, {}},
      {"all met: no red", 4, {{1, 3, true}, {4, 5, true}}, {2, 5}, {}, {}},
      {"one met, one unmet after frame 2", 4, {{1, 5, true}, {2, 9, false}}, {2}, {3}, {{"line 9", 3, kRight}}},
      {"unmet after the last frame: its label turns left", 4, {{4, 12, false}}, {}, {5}, {{"line 12", 5, kLeft}}},
      {"unmet before any frame ran", 0, {{0, 3, false}}, {}, {1}, {{"line 3", 1, kRight}}},
      {"a long run: crowded labels give way, the red lines do not",
       10000,
       {{50, 7, false}, {51, 8, false}, {52, 9, true}, {5000, 30, false}},
       {53},
       {51, 52, 5001},
       {{"line 7", 51, kRight}, {"line 30", 5001, kRight}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Timeline timeline{"t", c.frames, {RowOf("Tvl_SeatbeltSign", {Sampled(1, 0)})}, {}, c.expectations};
    const std::vector<Element> elements = ElementsOf(TimelineSvg(timeline));

    std::vector<double> met;
    for (const Element& tick : Having(elements, "rect", "met")) {
      met.push_back(tick.Number("x") + tick.Number("width") / 2);
    }
    ASSERT_EQ(met.size(), c.met.size());
    for (std::size_t index = 0; index < met.size(); ++index) {
      EXPECT_NEAR(met[index], XAt(c.met[index], c.frames), kTolerance);
    }

    const std::vector<Element> lines = Having(elements, "line", "unmet");
    ASSERT_EQ(lines.size(), c.unmet.size());
    const double row_name_y = Having(elements, "text", "name")[1].Number("y");
    for (std::size_t index = 0; index < lines.size(); ++index) {
      const Element& line = lines[index];
      EXPECT_EQ(line.Attribute("stroke"), kRed);
      EXPECT_NEAR(line.Number("x1"), XAt(c.unmet[index], c.frames), kTolerance);
      EXPECT_EQ(line.Number("x1"), line.Number("x2"));
      // Down across the rows, so the frame it failed at reads against every value.
      EXPECT_LT(line.Number("y1"), row_name_y);
      EXPECT_GT(line.Number("y2"), row_name_y);
    }

    const std::vector<Element> labels = Having(elements, "text", "unmet");
    ASSERT_EQ(labels.size(), c.labels.size());
    for (std::size_t index = 0; index < labels.size(); ++index) {
      EXPECT_EQ(labels[index].text, c.labels[index].text);
      // Beside its line, on the side there is room.
      const double line_x = XAt(c.labels[index].line_at, c.frames);
      EXPECT_LT(std::abs(labels[index].Number("x") - line_x), 5);
      if (c.labels[index].side == kRight) {
        EXPECT_EQ(labels[index].Attribute("text-anchor"), "start");
        EXPECT_GT(labels[index].Number("x"), line_x);
      } else {
        EXPECT_EQ(labels[index].Attribute("text-anchor"), "end");
        EXPECT_LT(labels[index].Number("x"), line_x);
      }
    }
  }
}

TEST(TimelineTest, PictureNumbersTheFramesAtRoundSteps) {
  struct Case {
    std::uint64_t frames;
    std::vector<std::string> ticks;
  };
  const Case cases[] = {
      {0, {"1"}},
      {1, {"1"}},
      {4, {"1", "2", "3", "4"}},
      {30, {"2", "4", "6", "8", "10", "12", "14", "16", "18", "20", "22", "24", "26", "28", "30"}},
      {50, {"5", "10", "15", "20", "25", "30", "35", "40", "45", "50"}},
      {100, {"10", "20", "30", "40", "50", "60", "70", "80", "90", "100"}},
      {200, {"20", "40", "60", "80", "100", "120", "140", "160", "180", "200"}},
      {10000, {"1000", "2000", "3000", "4000", "5000", "6000", "7000", "8000", "9000", "10000"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frames);
    const Timeline timeline{"t", c.frames, {}, {}, {}};
    std::vector<std::string> ticks;
    for (const Element& label : Having(ElementsOf(TimelineSvg(timeline)), "text", "axis")) {
      if (label.Attribute("text-anchor") == "middle") {
        ticks.push_back(label.text);
        // Under the middle of its frame.
        EXPECT_NEAR(label.Number("x"), XAt(std::stod(label.text) + 0.5, c.frames), kTolerance);
      }
    }
    EXPECT_EQ(ticks, c.ticks);
  }
}

}  // namespace
