#include "tools/gauge_host/play/timeline.h"

#include <algorithm>
#include <cstdio>

namespace gauge_host {

namespace {

// The picture's layout, in pixels.
constexpr double kNameWidth = 200;
constexpr double kPlotWidth = 960;
constexpr double kRightMargin = 24;
constexpr double kTitleHeight = 34;
constexpr double kRowHeight = 26;
constexpr double kRowGap = 4;
constexpr double kAxisHeight = 30;
constexpr double kCharacterWidth = 7;  // of the 11-pixel label font, roughly
constexpr double kLeastTickSpacing = 56;

const char* const kStyle =
    "<style>"
    "text{font-family:sans-serif;font-size:11px;fill:#222}"
    ".title{font-size:14px;font-weight:bold}"
    ".name{font-size:12px}"
    ".axis{fill:#666}"
    ".dark{fill:#fff}"
    ".unmet{fill:#c62828;font-weight:bold}"
    "</style>\n";

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

struct Layout {
  std::uint64_t frames;
  double frame_width;

  // The left edge of a frame's cell; frame 1 starts at the plot's left.
  double X(std::uint64_t frame) const { return kNameWidth + static_cast<double>(frame - 1) * frame_width; }
  double Middle(std::uint64_t frame) const { return X(frame) + frame_width / 2; }
};

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

// A variable's values as cells, each run of one value one rectangle labelled with its
// value where the label fits, and the module's writes as marks above it.
void DrawValueRow(std::string& svg, const Layout& layout, const TimelineRow& row, double y) {
  svg += "<g class=\"row\" data-name=\"" + Escaped(row.name) + "\">\n";
  Label(svg, kNameWidth - 8, y + kRowHeight / 2 + 4, row.name, "end", "name");
  const auto x_of = [&](const TimelineValue& value) {
    return layout.X(value.from_frame) + (value.from_mid_frame ? layout.frame_width / 2 : 0);
  };
  for (std::size_t index = 0; index < row.values.size(); ++index) {
    const double left = x_of(row.values[index]);
    const double right = index + 1 < row.values.size() ? x_of(row.values[index + 1]) : layout.X(layout.frames + 1);
    const std::optional<std::int32_t> value = row.values[index].value;
    // A run of one frame in a long picture is still a visible line.
    const double width = std::max(right - left, 1.0);
    Rect(svg, left, y + 4, width, kRowHeight - 6,
         std::string("fill=\"") + Fill(value) + "\"" + (value ? "" : " stroke=\"#c8c8c8\" stroke-dasharray=\"3 2\""));
    const std::string text = value ? std::to_string(*value) : "no add-on";
    if (static_cast<double>(text.size()) * kCharacterWidth + 4 <= width) {
      Label(svg, left + width / 2, y + kRowHeight / 2 + 5, text, "middle", value && *value != 0 ? "dark" : "");
    }
  }
  for (const TimelineWrite& write : row.writes) {
    const double x = layout.Middle(write.frame);
    svg += "<path class=\"write\" d=\"M" + Number(x - 4) + " " + Number(y) + "h8l-4 6z\" fill=\"#d9480f\"><title>frame " +
           std::to_string(write.frame) + ": the module writes " + std::to_string(write.value) + "</title></path>\n";
  }
  svg += "</g>\n";
}

void DrawChords(std::string& svg, const Layout& layout, const std::vector<TimelineChord>& chords, double y) {
  Label(svg, kNameWidth - 8, y + kRowHeight / 2 + 4, "chords", "end", "name");
  double last_label_end = 0;
  const double width = std::clamp(layout.frame_width * 0.6, 2.0, 8.0);
  for (const TimelineChord& chord : chords) {
    const double x = layout.Middle(chord.frame);
    const std::string key(1, chord.key);
    Rect(svg, x - width / 2, y + 2, width, 12,
         std::string("class=\"chord\" ") +
             (chord.delivered ? "fill=\"#1b5e20\"" : "fill=\"#ffffff\" stroke=\"#888888\" stroke-width=\"1\""));
    // Labels give way where chords crowd; the marks never do.
    if (x - kCharacterWidth / 2 >= last_label_end) {
      Label(svg, x, y + kRowHeight - 1, key, "middle", "");
      last_label_end = x + kCharacterWidth / 2 + 2;
    }
  }
}

void DrawExpectations(std::string& svg, const Layout& layout, const std::vector<TimelineExpectation>& expectations,
                      double y, double plot_top) {
  Label(svg, kNameWidth - 8, y + kRowHeight / 2 + 4, "expectations", "end", "name");
  double last_label_end = 0;
  for (const TimelineExpectation& expectation : expectations) {
    // After the frame it follows: at the right edge of that frame's cell.
    const double x = kNameWidth + static_cast<double>(expectation.frame) * layout.frame_width;
    if (expectation.met) {
      Rect(svg, x - 0.5, y + 6, 1, 10, "class=\"met\" fill=\"#9aa5b1\"");
      continue;
    }
    svg += "<line class=\"unmet\" x1=\"" + Number(x) + "\" y1=\"" + Number(plot_top) + "\" x2=\"" + Number(x) +
           "\" y2=\"" + Number(y + 16) + "\" stroke=\"#c62828\" stroke-width=\"2\"/>\n";
    const std::string text = "line " + std::to_string(expectation.line);
    const double text_width = static_cast<double>(text.size()) * kCharacterWidth;
    // Right of the line, or left of it at the picture's right edge.
    const bool fits_right = x + 3 + text_width <= kNameWidth + kPlotWidth + kRightMargin;
    const double left = fits_right ? x + 3 : x - 3 - text_width;
    if (left >= last_label_end) {
      Label(svg, fits_right ? left : x - 3, y + kRowHeight - 3, text, fits_right ? "start" : "end", "unmet");
      last_label_end = left + text_width + 6;
    }
  }
}

// What the colours and marks mean, along the title line.
void DrawLegend(std::string& svg) {
  double x = kNameWidth + kPlotWidth + kRightMargin - 560;
  const auto swatch = [&](const std::string& attributes, const std::string& text) {
    Rect(svg, x, 12, 12, 12, attributes);
    Label(svg, x + 16, 22, text, "start", "axis");
    x += 16 + static_cast<double>(text.size()) * 6.2 + 14;
  };
  swatch(std::string("fill=\"") + Fill(0) + "\"", "0");
  swatch(std::string("fill=\"") + Fill(1) + "\"", "1");
  swatch(std::string("fill=\"") + Fill(2) + "\"", "2");
  swatch(std::string("fill=\"") + Fill(5) + "\"", "other");
  svg += "<path d=\"M" + Number(x) + " 13h12l-6 8z\" fill=\"#d9480f\"/>\n";
  Label(svg, x + 16, 22, "written by the module", "start", "axis");
  x += 16 + 21 * 6.2 + 14;
  swatch("fill=\"#1b5e20\"", "chord");
  swatch("fill=\"#ffffff\" stroke=\"#888888\"", "not delivered");
  svg += "<line x1=\"" + Number(x + 6) + "\" y1=\"11\" x2=\"" + Number(x + 6) + "\" y2=\"25\" stroke=\"#c62828\" stroke-width=\"2\"/>\n";
  Label(svg, x + 12, 22, "unmet", "start", "axis");
}

void DrawAxis(std::string& svg, const Layout& layout, double plot_top, double y) {
  const std::uint64_t step = TickStep(layout);
  for (std::uint64_t frame = step; frame <= layout.frames; frame += step) {
    const double x = layout.Middle(frame);
    svg += "<line x1=\"" + Number(x) + "\" y1=\"" + Number(plot_top) + "\" x2=\"" + Number(x) + "\" y2=\"" +
           Number(y + 4) + "\" stroke=\"#000\" stroke-opacity=\"0.12\"/>\n";
    Label(svg, x, y + 16, std::to_string(frame), "middle", "axis");
  }
  Label(svg, kNameWidth - 8, y + 16, "frame", "end", "axis");
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

std::string TimelineSvg(const Timeline& timeline) {
  const std::uint64_t frames = std::max<std::uint64_t>(timeline.frames, 1);
  const Layout layout{frames, kPlotWidth / static_cast<double>(frames)};
  const std::size_t row_count = timeline.rows.size() + 2;
  const double plot_top = kTitleHeight;
  const double axis_top = plot_top + static_cast<double>(row_count) * (kRowHeight + kRowGap);
  const double width = kNameWidth + kPlotWidth + kRightMargin;
  const double height = axis_top + kAxisHeight;

  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Number(width) + "\" height=\"" + Number(height) +
         "\" viewBox=\"0 0 " + Number(width) + " " + Number(height) + "\">\n";
  svg += kStyle;
  Rect(svg, 0, 0, width, height, "fill=\"#ffffff\"");
  Label(svg, 12, 22, timeline.title, "start", "title");
  DrawLegend(svg);

  double y = plot_top;
  DrawChords(svg, layout, timeline.chords, y);
  for (const TimelineRow& row : timeline.rows) {
    y += kRowHeight + kRowGap;
    DrawValueRow(svg, layout, row, y);
  }
  y += kRowHeight + kRowGap;
  DrawExpectations(svg, layout, timeline.expectations, y, plot_top);
  DrawAxis(svg, layout, plot_top, axis_top);
  svg += "</svg>\n";
  return svg;
}

}  // namespace gauge_host
