#include "tools/gauge_host/play/timeline.h"

#include <algorithm>
#include <cstdio>

#include "tools/gauge_host/common/text.h"
#include "tools/gauge_host/scenario/steps.h"

namespace gauge_host {

namespace {

// The picture's layout, in pixels.
constexpr double kLeastNameWidth = 200;  // the names' column, wider for longer names
constexpr double kPlotWidth = 960;
constexpr double kRightMargin = 24;
constexpr double kTitleHeight = 34;
constexpr double kRowHeight = 26;
constexpr double kRowGap = 4;
constexpr double kAxisHeight = 30;
constexpr double kLegendHeight = 28;
constexpr double kCharacterWidth = 7;       // of the 11-pixel label font, roughly
constexpr double kNameCharacterWidth = 7.5;  // of the 12-pixel names, wide letters and all
constexpr double kTitleCharacterWidth = 8.5;  // of the 14-pixel bold title
constexpr double kLeastTickSpacing = 56;
// A layer (a row's values, its writes, the chords, the expectations) with more marks than
// this is drawn by columns of the plot, one mark a column at most, so that a long run's
// picture stays small however much happens in it.
constexpr std::size_t kMostMarks = 480;

const char* const kStyle =
    "<style>"
    "text{font-family:sans-serif;font-size:11px;fill:#222}"
    ".title{font-size:14px;font-weight:bold}"
    ".name{font-size:12px}"
    ".axis{fill:#666}"
    ".dark{fill:#fff}"
    ".unmet{fill:#c62828;font-weight:bold}"
    "</style>\n";

// Frames the plot shows faster than it can draw them: stripes of the two colours that mean most.
const char* const kChangingPattern =
    "<defs><pattern id=\"changing\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\" "
    "patternTransform=\"rotate(45)\"><rect width=\"3\" height=\"6\" fill=\"#2f6fb5\"/>"
    "<rect x=\"3\" width=\"3\" height=\"6\" fill=\"#e8ecf0\"/></pattern></defs>\n";

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  std::string number = text;
  number.erase(number.find_last_not_of('0') + 1);
  if (number.back() == '.') {
    number.pop_back();
  }
  return number == "-0" ? "0" : number;
}

std::string Escaped(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

// The characters of UTF-8 text: every byte but the continuation bytes starts one.
std::size_t Characters(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The byte offset of the character after the first `count` characters.
std::size_t ByteOfCharacter(std::string_view text, std::size_t count) {
  std::size_t offset = 0;
  for (std::size_t seen = 0; offset < text.size(); ++offset) {
    if ((static_cast<unsigned char>(text[offset]) & 0xC0) != 0x80 && seen++ == count) {
      break;
    }
  }
  return offset;
}

// The text, cut in its middle with "…" to at most `limit` characters: a long path keeps
// its start and its file's name.
std::string CutInTheMiddle(std::string_view text, std::size_t limit) {
  const std::size_t characters = Characters(text);
  if (characters <= limit) {
    return std::string(text);
  }
  const std::size_t head = (limit - 1) / 2;
  const std::size_t tail = limit - 1 - head;
  return std::string(text.substr(0, ByteOfCharacter(text, head))) + "…" +
         std::string(text.substr(ByteOfCharacter(text, characters - tail)));
}

// 0 is the resting state; 1 the usual "on"; anything else stands out.
const char* Fill(std::optional<std::int32_t> value) {
  if (!value) {
    return "#ffffff";
  }
  switch (*value) {
    case 0: return "#e8ecf0";
    case 1: return "#2f6fb5";
    case 2: return "#e39b2d";
    default: return "#7b4fa8";
  }
}

// A row's name as its column shows it, long ones cut.
std::string RowLabel(const TimelineRow& row) { return CutInTheMiddle(row.name, kShownCharacters); }

struct Layout {
  std::uint64_t frames;
  double frame_width;
  double name_width;
  std::uint64_t frames_per_column;  // of a layer drawn by columns

  double Width() const { return name_width + kPlotWidth + kRightMargin; }
  // The left edge of a frame's cell; frame 1 starts at the plot's left.
  double X(std::uint64_t frame) const { return name_width + static_cast<double>(frame - 1) * frame_width; }
  double Middle(std::uint64_t frame) const { return X(frame) + frame_width / 2; }
  // The column of a frame, and a column's first and last frames.
  std::uint64_t Column(std::uint64_t frame) const { return (std::max<std::uint64_t>(frame, 1) - 1) / frames_per_column; }
  std::uint64_t First(std::uint64_t column) const { return column * frames_per_column + 1; }
  std::uint64_t Last(std::uint64_t column) const { return std::min((column + 1) * frames_per_column, frames); }
};

Layout LayoutOf(const Timeline& timeline) {
  const std::uint64_t frames = std::max<std::uint64_t>(timeline.frames, 1);
  std::size_t longest = 0;
  for (const TimelineRow& row : timeline.rows) {
    longest = std::max(longest, Characters(RowLabel(row)));
  }
  const double name_width = std::max(kLeastNameWidth, 16 + static_cast<double>(longest) * kNameCharacterWidth);
  return {frames, kPlotWidth / static_cast<double>(frames), name_width, (frames + kMostMarks - 1) / kMostMarks};
}

// "frame 7", "frames 7 to 12".
std::string FramesText(std::uint64_t first, std::uint64_t last) {
  return first == last ? "frame " + std::to_string(first)
                       : "frames " + std::to_string(first) + " to " + std::to_string(last);
}

// Frames between axis ticks: 1, 2 or 5 times a power of ten, wide enough for its label.
std::uint64_t TickStep(const Layout& layout) {
  for (std::uint64_t power = 1;; power *= 10) {
    for (std::uint64_t factor : {1, 2, 5}) {
      if (static_cast<double>(power * factor) * layout.frame_width >= kLeastTickSpacing) {
        return power * factor;
      }
    }
  }
}

void Label(std::string& svg, double x, double y, const std::string& text, const char* anchor, const char* css) {
  svg += "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" text-anchor=\"" + anchor + "\"" +
         (css[0] != '\0' ? std::string(" class=\"") + css + "\"" : "") + ">" + Escaped(text) + "</text>\n";
}

void Rect(std::string& svg, double x, double y, double width, double height, const std::string& attributes) {
  svg += "<rect x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" width=\"" + Number(width) + "\" height=\"" +
         Number(height) + "\" " + attributes + "/>\n";
}

// One cell of a value row: a run of one value, or, in a row drawn by columns, of frames
// in which it changed faster than the plot can show.
struct Cell {
  double left;
  double right;
  std::optional<std::int32_t> value;
  std::uint64_t changes = 0;  // more than 0: a run of changing frames
  std::uint64_t first_frame = 0;
  std::uint64_t last_frame = 0;
};

double StartOf(const Layout& layout, const TimelineValue& value) {
  return layout.X(value.from_frame) + (value.from_mid_frame ? layout.frame_width / 2 : 0);
}

// Each value from where it starts to where the next does.
std::vector<Cell> ExactCells(const Layout& layout, const TimelineRow& row) {
  std::vector<Cell> cells;
  for (std::size_t index = 0; index < row.values.size(); ++index) {
    const double right = index + 1 < row.values.size() ? StartOf(layout, row.values[index + 1])
                                                       : layout.X(layout.frames + 1);
    cells.push_back({StartOf(layout, row.values[index]), right, row.values[index].value});
  }
  return cells;
}

// Column by column: a column in which one value holds joins its neighbours that hold it
// too; columns in which the value changes join into one run of changing frames.
std::vector<Cell> ColumnCells(const Layout& layout, const TimelineRow& row) {
  std::vector<Cell> cells;
  std::size_t next = 0;  // the first value not yet in effect
  const std::uint64_t columns = layout.Column(layout.frames) + 1;
  for (std::uint64_t column = layout.Column(row.values.front().from_frame); column < columns; ++column) {
    const std::uint64_t first = layout.First(column);
    const std::uint64_t last = layout.Last(column);
    std::uint64_t changes = 0;
    // The values that start up to the column's end; the last of them holds at its end.
    while (next < row.values.size() && row.values[next].from_frame <= last) {
      // A value from the column's very start holds all of it, as far as it goes.
      const TimelineValue& value = row.values[next];
      changes += next > 0 && (value.from_frame > first || (value.from_frame == first && value.from_mid_frame)) ? 1 : 0;
      ++next;
    }
    const std::optional<std::int32_t> value = row.values[next - 1].value;
    const bool joins = !cells.empty() && ((changes > 0 && cells.back().changes > 0) ||
                                          (changes == 0 && cells.back().changes == 0 && cells.back().value == value));
    if (joins) {
      cells.back().right = layout.X(last + 1);
      cells.back().changes += changes;
      cells.back().last_frame = last;
    } else {
      cells.push_back({layout.X(first), layout.X(last + 1), value, changes, first, last});
    }
  }
  if (!cells.empty()) {
    cells.front().left = StartOf(layout, row.values.front());
  }
  return cells;
}

// A variable's values as cells, each run of one value one rectangle labelled with its
// value where the label fits, and the module's writes as marks above it.
void DrawValueRow(std::string& svg, const Layout& layout, const TimelineRow& row, double y) {
  svg += "<g class=\"row\" data-name=\"" + Escaped(row.name) + "\">\n";
  Label(svg, layout.name_width - 8, y + kRowHeight / 2 + 4, RowLabel(row), "end", "name");
  const std::vector<Cell> cells = row.values.size() > kMostMarks ? ColumnCells(layout, row) : ExactCells(layout, row);
  for (const Cell& cell : cells) {
    // A run of one frame in a long picture is still a visible line.
    const double width = std::max(cell.right - cell.left, 1.0);
    if (cell.changes > 0) {
      svg += "<rect x=\"" + Number(cell.left) + "\" y=\"" + Number(y + 4) + "\" width=\"" + Number(width) +
             "\" height=\"" + Number(kRowHeight - 6) + "\" fill=\"url(#changing)\" class=\"changing\"><title>" +
             FramesText(cell.first_frame, cell.last_frame) + ": " + Counted(cell.changes, "change") +
             "</title></rect>\n";
      continue;
    }
    Rect(svg, cell.left, y + 4, width, kRowHeight - 6,
         std::string("fill=\"") + Fill(cell.value) + "\"" +
             (cell.value ? "" : " stroke=\"#c8c8c8\" stroke-dasharray=\"3 2\""));
    const std::string text = cell.value ? std::to_string(*cell.value) : "no add-on";
    if (static_cast<double>(text.size()) * kCharacterWidth + 4 <= width) {
      Label(svg, cell.left + width / 2, y + kRowHeight / 2 + 5, text, "middle",
            cell.value && *cell.value != 0 ? "dark" : "");
    }
  }
  const bool by_column = row.writes.size() > kMostMarks;
  for (std::size_t index = 0; index < row.writes.size();) {
    // One mark for a write, or for a column's writes.
    std::size_t end = index + 1;
    while (by_column && end < row.writes.size() &&
           layout.Column(row.writes[end].frame) == layout.Column(row.writes[index].frame)) {
      ++end;
    }
    const TimelineWrite& write = row.writes[index];
    const std::uint64_t column = layout.Column(write.frame);
    const double x = by_column ? (layout.X(layout.First(column)) + layout.X(layout.Last(column) + 1)) / 2
                               : layout.Middle(write.frame);
    const std::string tooltip =
        by_column ? FramesText(layout.First(column), layout.Last(column)) + ": the module writes " +
                        Counted(end - index, "time") + ", last " + std::to_string(row.writes[end - 1].value)
                  : "frame " + std::to_string(write.frame) + ": the module writes " + std::to_string(write.value);
    svg += "<path class=\"write\" d=\"M" + Number(x - 4) + " " + Number(y) + "h8l-4 6z\" fill=\"#d9480f\"><title>" +
           tooltip + "</title></path>\n";
    index = end;
  }
  svg += "</g>\n";
}

// The key of a chord mark: the chords' one key, or "*" for several.
char KeyOf(const std::vector<TimelineChord>& chords, std::size_t begin, std::size_t end) {
  for (std::size_t index = begin; index < end; ++index) {
    if (chords[index].key != chords[begin].key) {
      return '*';
    }
  }
  return chords[begin].key;
}

void DrawChords(std::string& svg, const Layout& layout, const std::vector<TimelineChord>& chords, double y) {
  Label(svg, layout.name_width - 8, y + kRowHeight / 2 + 4, "chords", "end", "name");
  double last_label_end = 0;
  const bool by_column = chords.size() > kMostMarks;
  const double cell_width = by_column ? layout.frame_width * static_cast<double>(layout.frames_per_column)
                                      : layout.frame_width;
  const double width = std::clamp(cell_width * 0.6, 2.0, 8.0);
  for (std::size_t index = 0; index < chords.size();) {
    std::size_t end = index + 1;
    while (by_column && end < chords.size() && layout.Column(chords[end].frame) == layout.Column(chords[index].frame)) {
      ++end;
    }
    const std::uint64_t column = layout.Column(chords[index].frame);
    const double x = by_column ? (layout.X(layout.First(column)) + layout.X(layout.Last(column) + 1)) / 2
                               : layout.Middle(chords[index].frame);
    const auto undelivered = static_cast<std::size_t>(std::count_if(
        chords.begin() + static_cast<std::ptrdiff_t>(index), chords.begin() + static_cast<std::ptrdiff_t>(end),
        [](const TimelineChord& chord) { return !chord.delivered; }));
    const std::string attributes =
        std::string("class=\"chord\" ") +
        (undelivered == 0 ? "fill=\"#1b5e20\"" : "fill=\"#ffffff\" stroke=\"#888888\" stroke-width=\"1\"");
    if (by_column) {
      svg += "<rect x=\"" + Number(x - width / 2) + "\" y=\"" + Number(y + 2) + "\" width=\"" + Number(width) +
             "\" height=\"12\" " + attributes + "><title>" + FramesText(layout.First(column), layout.Last(column)) +
             ": " + Counted(end - index, "chord") + ", " + std::to_string(undelivered) + " not delivered</title></rect>\n";
    } else {
      Rect(svg, x - width / 2, y + 2, width, 12, attributes);
    }
    // Labels give way where chords crowd; the marks never do.
    if (x - kCharacterWidth / 2 >= last_label_end) {
      Label(svg, x, y + kRowHeight - 1, std::string(1, KeyOf(chords, index, end)), "middle", "");
      last_label_end = x + kCharacterWidth / 2 + 2;
    }
    index = end;
  }
}

void DrawExpectations(std::string& svg, const Layout& layout, const std::vector<TimelineExpectation>& expectations,
                      double y, double plot_top) {
  Label(svg, layout.name_width - 8, y + kRowHeight / 2 + 4, "expectations", "end", "name");
  double last_label_end = 0;
  const bool by_column = expectations.size() > kMostMarks;
  for (std::size_t index = 0; index < expectations.size();) {
    std::size_t end = index + 1;
    while (by_column && end < expectations.size() &&
           layout.Column(expectations[end].frame) == layout.Column(expectations[index].frame)) {
      ++end;
    }
    // The first unmet one of a column stands for the column.
    std::size_t shown = index;
    while (shown + 1 < end && expectations[shown].met) {
      ++shown;
    }
    const TimelineExpectation& expectation = expectations[shown];
    index = end;
    // After the frame it follows: at the right edge of that frame's cell.
    const double x = layout.name_width + static_cast<double>(expectation.frame) * layout.frame_width;
    if (expectation.met) {
      Rect(svg, x - 0.5, y + 6, 1, 10, "class=\"met\" fill=\"#9aa5b1\"");
      continue;
    }
    svg += "<line class=\"unmet\" x1=\"" + Number(x) + "\" y1=\"" + Number(plot_top) + "\" x2=\"" + Number(x) +
           "\" y2=\"" + Number(y + 16) + "\" stroke=\"#c62828\" stroke-width=\"2\"/>\n";
    const std::string text = "line " + std::to_string(expectation.line);
    const double text_width = static_cast<double>(text.size()) * kCharacterWidth;
    // Right of the line, or left of it at the picture's right edge.
    const bool fits_right = x + 3 + text_width <= layout.Width();
    const double left = fits_right ? x + 3 : x - 3 - text_width;
    if (left >= last_label_end) {
      Label(svg, fits_right ? left : x - 3, y + kRowHeight - 3, text, fits_right ? "start" : "end", "unmet");
      last_label_end = left + text_width + 6;
    }
  }
}

// The frames in which the window holding Switches was hidden, shaded across the plot.
void DrawHiddenFrames(std::string& svg, const Layout& layout, const std::vector<TimelineSpan>& spans, double top,
                      double bottom) {
  for (const TimelineSpan& span : spans) {
    const double left = layout.X(span.first_frame);
    const double width = std::max(layout.X(span.last_frame + 1) - left, 1.0);
    svg += "<rect class=\"hidden\" x=\"" + Number(left) + "\" y=\"" + Number(top) + "\" width=\"" + Number(width) +
           "\" height=\"" + Number(bottom - top) + "\" fill=\"#000000\" fill-opacity=\"0.14\"><title>" +
           FramesText(span.first_frame, span.last_frame) +
           ": the window holding Switches is hidden; the module gets no frames</title></rect>\n";
  }
}

// What the colours and marks mean, on its own line below the frames: of what the picture
// holds, the hidden window and the changing frames only where it has them.
void DrawLegend(std::string& svg, const Layout& layout, double y, bool hidden, bool changing) {
  double x = layout.name_width;
  const auto swatch = [&](const std::string& attributes, const std::string& text) {
    Rect(svg, x, y + 2, 12, 12, attributes);
    Label(svg, x + 16, y + 12, text, "start", "axis");
    x += 16 + static_cast<double>(text.size()) * 6.2 + 14;
  };
  swatch(std::string("fill=\"") + Fill(0) + "\"", "0");
  swatch(std::string("fill=\"") + Fill(1) + "\"", "1");
  swatch(std::string("fill=\"") + Fill(2) + "\"", "2");
  swatch(std::string("fill=\"") + Fill(5) + "\"", "other");
  if (changing) {
    swatch("fill=\"url(#changing)\"", "changing every few frames");
  }
  svg += "<path d=\"M" + Number(x) + " " + Number(y + 3) + "h12l-6 8z\" fill=\"#d9480f\"/>\n";
  Label(svg, x + 16, y + 12, "written by the module", "start", "axis");
  x += 16 + 21 * 6.2 + 14;
  swatch("fill=\"#1b5e20\"", "chord");
  swatch("fill=\"#ffffff\" stroke=\"#888888\"", "not delivered");
  if (hidden) {
    swatch("fill=\"#000000\" fill-opacity=\"0.14\"", "Switches hidden: no frames for the module");
  }
  svg += "<line x1=\"" + Number(x + 6) + "\" y1=\"" + Number(y + 1) + "\" x2=\"" + Number(x + 6) + "\" y2=\"" +
         Number(y + 15) + "\" stroke=\"#c62828\" stroke-width=\"2\"/>\n";
  Label(svg, x + 12, y + 12, "unmet", "start", "axis");
}

void DrawAxis(std::string& svg, const Layout& layout, double plot_top, double y) {
  const std::uint64_t step = TickStep(layout);
  for (std::uint64_t frame = step; frame <= layout.frames; frame += step) {
    const double x = layout.Middle(frame);
    svg += "<line x1=\"" + Number(x) + "\" y1=\"" + Number(plot_top) + "\" x2=\"" + Number(x) + "\" y2=\"" +
           Number(y + 4) + "\" stroke=\"#000\" stroke-opacity=\"0.12\"/>\n";
    Label(svg, x, y + 16, std::to_string(frame), "middle", "axis");
  }
  Label(svg, layout.name_width - 8, y + 16, "frame", "end", "axis");
}

}  // namespace

void SampleTimelineRow(TimelineRow& row, std::uint64_t frame, std::optional<std::int32_t> value) {
  if (row.values.empty() || row.values.back().value != value) {
    row.values.push_back({frame, false, value});
  }
}

void RecordTimelineWrite(TimelineRow& row, std::uint64_t frame, std::int32_t value) {
  row.writes.push_back({frame, value});
  if (row.values.empty() || row.values.back().value != value) {
    row.values.push_back({frame, true, value});
  }
}

TimelineRow* FindTimelineRow(Timeline& timeline, std::string_view name) {
  for (TimelineRow& row : timeline.rows) {
    if (row.name == name) {
      return &row;
    }
  }
  return nullptr;
}

void RecordTimelineHiddenFrame(Timeline& timeline, std::uint64_t frame) {
  if (!timeline.module_hidden.empty() && timeline.module_hidden.back().last_frame + 1 == frame) {
    timeline.module_hidden.back().last_frame = frame;
  } else {
    timeline.module_hidden.push_back({frame, frame});
  }
}

Timeline StartTimeline(const Scenario& scenario, const std::string& scenario_name) {
  Timeline timeline;
  timeline.frames = FrameCount(scenario);
  timeline.title = "Tvl_LvarSupport: " + scenario_name + ", " + Counted(timeline.frames, "frame");
  for (const ScenarioStep& step : scenario.steps) {
    const bool panel_variable = IsStep(step, &StepPlayer::SetVariable) || IsStep(step, &StepPlayer::ExpectVariable);
    if (panel_variable && FindTimelineRow(timeline, step.name) == nullptr) {
      timeline.rows.push_back({step.name, {}, {}});
    }
  }
  timeline.rows.push_back({"add-on's seat-belt sign", {}, {}});
  return timeline;
}

std::string TimelineSvg(const Timeline& timeline) {
  const Layout layout = LayoutOf(timeline);
  const std::size_t row_count = timeline.rows.size() + 2;
  const double plot_top = kTitleHeight;
  const double axis_top = plot_top + static_cast<double>(row_count) * (kRowHeight + kRowGap);
  const double legend_top = axis_top + kAxisHeight;
  const double width = layout.Width();
  const double height = legend_top + kLegendHeight;
  const bool changing = std::any_of(timeline.rows.begin(), timeline.rows.end(),
                                    [](const TimelineRow& row) { return row.values.size() > kMostMarks; });

  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Number(width) + "\" height=\"" + Number(height) +
         "\" viewBox=\"0 0 " + Number(width) + " " + Number(height) + "\">\n";
  svg += kStyle;
  if (changing) {
    svg += kChangingPattern;
  }
  Rect(svg, 0, 0, width, height, "fill=\"#ffffff\"");
  const auto title_characters = static_cast<std::size_t>((width - 24) / kTitleCharacterWidth);
  Label(svg, 12, 22, CutInTheMiddle(timeline.title, title_characters), "start", "title");

  double y = plot_top;
  DrawChords(svg, layout, timeline.chords, y);
  for (const TimelineRow& row : timeline.rows) {
    y += kRowHeight + kRowGap;
    DrawValueRow(svg, layout, row, y);
  }
  y += kRowHeight + kRowGap;
  DrawExpectations(svg, layout, timeline.expectations, y, plot_top);
  DrawHiddenFrames(svg, layout, timeline.module_hidden, plot_top, axis_top);
  DrawAxis(svg, layout, plot_top, axis_top);
  DrawLegend(svg, layout, legend_top, !timeline.module_hidden.empty(), changing);
  svg += "</svg>\n";
  return svg;
}

}  // namespace gauge_host
