// The trace of a run, as the designer chose it (quiet, changes or full), and the counts
// of the summary. The host reports everything the module does here; what is printed, and
// what is only counted, is decided here. A timeline, when one is drawn, is fed from here.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/gauge_host/script/calculator.h"
#include "tools/gauge_host/command_line/options.h"
#include "tools/gauge_host/play/timeline.h"

namespace gauge_host {

struct PendingSet {
  double seen;    // the value a frame last saw
  double latest;  // the value set since
};

struct Trace {
  TraceMode mode = TraceMode::kChanges;
  std::FILE* out = stdout;
  int label_width = 0;  // of the "frame N" or "line N" column, for the largest of each
  std::uint64_t frame = 0;
  // What the module last read from each variable or wrote into it: a read is news when
  // it differs.
  std::map<std::string, std::int32_t, std::less<>> known_values;
  std::map<std::string, PendingSet, std::less<>> sets_since_frame;  // by variable, since the module's last turn
  bool updating = false;  // the gauges' update scripts run, before the module's turn in the frame
  bool module_window_hidden = false;  // the panel window holding Switches: no turns for the module
  std::uint64_t module_frame = 0;     // the last frame in which the module had its turn
  bool module_missed_a_frame = false; // since its last turn, a frame ran with the window hidden
  std::uint64_t chords_sent = 0;
  std::uint64_t chords_delivered = 0;
  std::uint64_t unchanged_writes = 0;
  int expectations_met = 0;
  std::vector<int> unmet_lines;
  Timeline* timeline = nullptr;  // fed when a picture is drawn
};

Trace MakeTrace(TraceMode mode, std::uint64_t frames, int last_line, Timeline* timeline);

void TraceFrameStart(Trace& trace);
// The module's turn in the frame, after the gauges' update scripts.
void TraceModuleTurn(Trace& trace);
// The panel window holding Switches hidden, or drawn again, by the step at the line.
void TraceModuleWindow(Trace& trace, int line, bool hidden);
void TraceRead(Trace& trace, std::string_view name, std::string_view expression, std::optional<std::int32_t> stored);
void TraceWrite(Trace& trace, std::string_view name, std::string_view expression, std::int32_t before,
                std::int32_t after);
// messages: the window's keyboard messages, for the full trace.
void TraceChord(Trace& trace, char key, bool delivered, const std::string& messages);
void TraceAddonSign(Trace& trace, std::int32_t before, std::int32_t after);
// Something the module or the host did in this frame that the designer should know.
void TraceEvent(Trace& trace, const std::string& text);
// Something in this frame that went wrong, which even the quiet trace shows.
void TraceWarning(Trace& trace, const std::string& text);
// What a step of the scenario did; `always` for add-on and window changes, else full only.
void TraceStep(Trace& trace, int line, const std::string& text, bool always);
void TraceSet(Trace& trace, int line, std::string_view name, double before, double after);
// A script a step or a frame ran: heading ("click FILE area 1 LeftSingle") and label ("line 12",
// "frame 3") before each thing it did; values_before, the panel's variables before it ran.
// A step's script is always shown; an update script only where it changes something.
void TraceScript(Trace& trace, const std::string& label, const std::string& heading,
                 std::map<std::string, double, std::less<>> values_before, const ScriptRun& run, bool always);
void TraceExpectation(Trace& trace, const std::string& where, int line, const std::string& step_text, bool met,
                      const std::string& expected, const std::string& actual);
// How one scenario's run ended: its closing line and its counts, for the total of several.
struct RunSummary {
  enum class Outcome { kAllMet, kUnmet, kStopped };  // in order of worsening
  Outcome outcome = Outcome::kAllMet;
  std::string line;  // "NAME: all 3 expectations met; 5 frames, 1 chord sent, 1 delivered"
  std::uint64_t frames = 0;
  std::uint64_t chords_sent = 0;
  std::uint64_t chords_delivered = 0;
  bool checked_nothing = false;  // played to its end without one expectation
};

// Prints the closing line of a run that played to its end, and returns it.
RunSummary TraceSummary(Trace& trace, const std::string& scenario_name);

// The closing line of a run that an error stopped at a step's line.
RunSummary StoppedSummary(const Trace& trace, const std::string& scenario_name, int line);

// After several scenarios: each one's closing line again, then the total.
void PrintTotal(std::FILE* out, const std::vector<RunSummary>& runs);

}  // namespace gauge_host
