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

#include "tools/gauge_host/scenario/scenario.h"

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

// Frames in which the panel window holding Switches was hidden: the module had none.
struct TimelineSpan {
  std::uint64_t first_frame;
  std::uint64_t last_frame;
};

struct Timeline {
  std::string title;
  std::uint64_t frames = 0;
  std::vector<TimelineRow> rows;
  std::vector<TimelineChord> chords;
  std::vector<TimelineExpectation> expectations;
  std::vector<TimelineSpan> module_hidden = {};
};

// What the row shows from the start of this frame on, kept only when it differs from
// what it showed.
void SampleTimelineRow(TimelineRow& row, std::uint64_t frame, std::optional<std::int32_t> value);

// A value the module wrote during the frame: shown from the middle of its cell, marked.
void RecordTimelineWrite(TimelineRow& row, std::uint64_t frame, std::int32_t value);

// A frame run while the window holding Switches was hidden.
void RecordTimelineHiddenFrame(Timeline& timeline, std::uint64_t frame);

// The row of the variable, or nullptr when the picture has none for it.
TimelineRow* FindTimelineRow(Timeline& timeline, std::string_view name);

// The picture of a scenario about to run: a row for each panel variable it sets or
// expects, in the order it first does (a simulation variable is not the panel's), then the
// add-on's sign.
Timeline StartTimeline(const Scenario& scenario, const std::string& scenario_name);

// The picture: a value row, a layer of marks or a chord row draws each change or event
// while it has at most 480 of them; past that, one mark for each 480th of the run, so
// that the file stays under about 100 kB a row however long the run.
std::string TimelineSvg(const Timeline& timeline);

}  // namespace gauge_host
