// A picture of one run: a row for each variable the scenario touched and for the add-on's
// seat-belt sign, each value along the frames with the module's writes marked, the
// chords on their frames, and the expectations, the unmet ones in red. Recorded as the
// run goes, as changes only, so a long run costs little; drawn as SVG at the end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gauge_host {

struct TimelineValue {
  std::uint64_t from_frame;
  bool from_mid_frame;                // written by the module during that frame
  std::optional<std::int32_t> value;  // none: nothing to show (the add-on is not loaded)
};

struct TimelineWrite {
  std::uint64_t frame;
  std::int32_t value;
};

struct TimelineRow {
  std::string name;
  std::vector<TimelineValue> values;  // each holds until the next
  std::vector<TimelineWrite> writes;  // by the module, each changing the value
};

struct TimelineChord {
  std::uint64_t frame;
  char key;
  bool delivered;
};

struct TimelineExpectation {
  std::uint64_t frame;  // the last frame run before it
  int line;
  bool met;
};

struct Timeline {
  std::string title;
  std::uint64_t frames = 0;
  std::vector<TimelineRow> rows;
  std::vector<TimelineChord> chords;
  std::vector<TimelineExpectation> expectations;
};

// What the row shows from the start of this frame on, kept only when it differs from
// what it showed.
void SampleTimelineRow(TimelineRow& row, std::uint64_t frame, std::optional<std::int32_t> value);

// A value the module wrote during the frame: shown from the middle of its cell, marked.
void RecordTimelineWrite(TimelineRow& row, std::uint64_t frame, std::int32_t value);

// The row of the variable, or nullptr when the picture has none for it.
TimelineRow* FindTimelineRow(Timeline& timeline, std::string_view name);

std::string TimelineSvg(const Timeline& timeline);

}  // namespace gauge_host
