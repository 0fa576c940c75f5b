#include "tools/gauge_host/play/trace.h"

#include <algorithm>

#include "tools/gauge_host/common/module_variables.h"
#include "tools/gauge_host/common/text.h"

namespace gauge_host {

namespace {

void Print(Trace& trace, const std::string& label, const std::string& text) {
  std::fprintf(trace.out, "%-*s  %s\n", trace.label_width, label.c_str(), text.c_str());
}

void PrintInFrame(Trace& trace, const std::string& text) { Print(trace, "frame " + std::to_string(trace.frame), text); }

// When a value the module never saw was set, and why it did not see it.
std::string LossWhen(const Trace& trace) {
  if (trace.module_window_hidden || trace.module_missed_a_frame) {
    return std::string("while the window holding Switches ") + (trace.module_window_hidden ? "is" : "was") +
           " hidden (the module's last frame: " +
           (trace.module_frame == 0 ? std::string("none yet") : std::to_string(trace.module_frame)) +
           "); the module only sees what a variable holds when that window is drawn";
  }
  const std::string when = trace.updating ? "in frame " + std::to_string(trace.frame) + ", before the module's turn"
                           : trace.frame == 0 ? "before frame 1"
                                              : "between frames " + std::to_string(trace.frame) + " and " +
                                                    std::to_string(trace.frame + 1);
  return when + "; the module only sees values that last a frame";
}

// A value set since the module's last turn and changed again before its next one is one
// the module never sees.
void NoteLoss(Trace& trace, const std::string& label, std::string_view name, double before, double after) {
  if (!IsModuleVariable(name)) {
    return;
  }
  const auto pending = trace.sets_since_frame.find(name);
  if (pending == trace.sets_since_frame.end()) {
    trace.sets_since_frame.emplace(name, PendingSet{before, after});
    return;
  }
  const PendingSet set = pending->second;
  pending->second.latest = after;
  if (ModuleInteger(set.latest) == ModuleInteger(set.seen) || ModuleInteger(set.latest) == ModuleInteger(after)) {
    return;
  }
  const SwitchEntry* row = SwitchRowOf(name);
  const bool command = row != nullptr && row->kind == SWITCH_MOMENTARY;
  const std::string what = command && set.seen == 0 && set.latest == 1   ? "press"
                           : command && set.seen == 1 && set.latest == 0 ? "release"
                                                                         : "change";
  const std::string values = after == set.seen ? "set to " + FormatNumber(set.latest) + " and back to " +
                                                     FormatNumber(after)
                                               : "set to " + FormatNumber(set.latest) + ", then to " +
                                                     FormatNumber(after);
  Print(trace, label, what + " of " + std::string(name) + " lost: " + values + " " + LossWhen(trace));
}

}  // namespace

Trace MakeTrace(TraceMode mode, std::uint64_t frames, int last_line, Timeline* timeline) {
  Trace trace;
  trace.mode = mode;
  trace.label_width = static_cast<int>(std::max(("frame " + std::to_string(frames)).size(),
                                                ("line " + std::to_string(last_line)).size()));
  trace.timeline = timeline;
  return trace;
}

void TraceFrameStart(Trace& trace) {
  ++trace.frame;
  trace.module_missed_a_frame = trace.module_missed_a_frame || trace.module_window_hidden;
}

void TraceModuleTurn(Trace& trace) {
  trace.sets_since_frame.clear();
  trace.module_frame = trace.frame;
  trace.module_missed_a_frame = false;
}

void TraceModuleWindow(Trace& trace, int line, bool hidden) {
  trace.module_window_hidden = hidden;
  TraceStep(trace, line,
            hidden ? "the window holding Switches is hidden: the gauges' update scripts run on, the module gets no "
                     "frames"
                   : "the window holding Switches is drawn again: the module's next frame is frame " +
                         std::to_string(trace.frame + 1),
            true);
}

namespace {

// Remembers what the module now knows the variable holds; true when that changed. A
// variable it never met counts as the 0 it reads when never written.
bool Remember(Trace& trace, std::string_view name, std::int32_t value) {
  const auto known = trace.known_values.find(name);
  if (known == trace.known_values.end()) {
    trace.known_values.emplace(name, value);
    return value != 0;
  }
  const bool changed = known->second != value;
  known->second = value;
  return changed;
}

}  // namespace

void TraceRead(Trace& trace, std::string_view name, std::string_view expression, std::optional<std::int32_t> stored) {
  const bool changed = stored && Remember(trace, name, *stored);
  if (trace.mode == TraceMode::kFull || (trace.mode == TraceMode::kChanges && changed)) {
    PrintInFrame(trace, "read  " + std::string(expression) + " -> " +
                            (stored ? std::to_string(*stored) : std::string("nothing stored")));
  }
}

void TraceWrite(Trace& trace, std::string_view name, std::string_view expression, std::int32_t before,
                std::int32_t after) {
  Remember(trace, name, after);
  if (before == after) {
    ++trace.unchanged_writes;
  } else if (trace.timeline != nullptr) {
    if (TimelineRow* row = FindTimelineRow(*trace.timeline, name)) {
      RecordTimelineWrite(*row, trace.frame, after);
    }
  }
  if (trace.mode == TraceMode::kFull || (trace.mode == TraceMode::kChanges && before != after)) {
    PrintInFrame(trace, "write " + std::string(expression));
  }
}

void TraceChord(Trace& trace, char key, bool delivered, const std::string& messages) {
  ++trace.chords_sent;
  trace.chords_delivered += delivered ? 1 : 0;
  if (trace.timeline != nullptr) {
    trace.timeline->chords.push_back({trace.frame, key, delivered});
  }
  const std::string chord = std::string("chord Ctrl+Shift+") + key;
  if (trace.mode == TraceMode::kQuiet && delivered) {
    return;
  }
  if (!delivered) {
    PrintInFrame(trace, chord + " not delivered: no main window");
  } else {
    PrintInFrame(trace, trace.mode == TraceMode::kFull ? chord + "  " + messages : chord);
  }
}

void TraceAddonSign(Trace& trace, std::int32_t before, std::int32_t after) {
  if (trace.timeline != nullptr) {
    RecordTimelineWrite(trace.timeline->rows.back(), trace.frame, after);
  }
  TraceEvent(trace, "add-on seat-belt sign " + std::to_string(before) + " -> " + std::to_string(after) +
                        ", switched by the module");
}

void TraceEvent(Trace& trace, const std::string& text) {
  if (trace.mode != TraceMode::kQuiet) {
    PrintInFrame(trace, text);
  }
}

void TraceWarning(Trace& trace, const std::string& text) { PrintInFrame(trace, text); }

void TraceStep(Trace& trace, int line, const std::string& text, bool always) {
  if (trace.mode == TraceMode::kFull || (trace.mode == TraceMode::kChanges && always)) {
    Print(trace, "line " + std::to_string(line), text);
  }
}

void TraceSet(Trace& trace, int line, std::string_view name, double before, double after) {
  TraceStep(trace, line, "set " + Shown(name) + " = " + FormatNumber(after), false);
  NoteLoss(trace, "line " + std::to_string(line), name, before, after);
}

void TraceScript(Trace& trace, const std::string& label, const std::string& heading,
                 std::map<std::string, double, std::less<>> values_before, const ScriptRun& run, bool always) {
  bool shown = false;
  for (const ScriptEvent& event : run.events) {
    const bool write = event.kind == ScriptEvent::Kind::kWrite;
    double& value = values_before[write ? event.variable : std::string()];
    const bool warning = event.kind == ScriptEvent::Kind::kWarning;
    const bool changes = warning || (write && value != event.value);
    if (trace.mode == TraceMode::kFull || warning || (trace.mode == TraceMode::kChanges && (always || changes))) {
      Print(trace, label, heading + ": " + event.text);
      shown = true;
    }
    if (write) {
      NoteLoss(trace, label, event.variable, value, event.value);
      value = event.value;
    }
  }
  if (!shown && always && trace.mode != TraceMode::kQuiet) {
    Print(trace, label, heading + ": nothing written or sent");
  }
}

void TraceExpectation(Trace& trace, const std::string& where, int line, const std::string& step_text, bool met,
                      const std::string& expected, const std::string& actual) {
  if (trace.timeline != nullptr) {
    trace.timeline->expectations.push_back({trace.frame, line, met});
  }
  if (met) {
    ++trace.expectations_met;
    TraceStep(trace, line, Shown(step_text, 2 * kShownCharacters) + ": met", false);
    return;
  }
  trace.unmet_lines.push_back(line);
  std::fprintf(trace.out, "%sexpectation not met: %s: expected %s, actual %s\n", where.c_str(),
               Shown(step_text, 2 * kShownCharacters).c_str(), expected.c_str(), actual.c_str());
}

namespace {

std::string CountsText(const Trace& trace) {
  return Counted(trace.frame, "frame") + ", " + Counted(trace.chords_sent, "chord") + " sent, " +
         std::to_string(trace.chords_delivered) + " delivered";
}

RunSummary SummaryOf(const Trace& trace, RunSummary::Outcome outcome, const std::string& line) {
  const bool checked_nothing = outcome == RunSummary::Outcome::kAllMet && trace.expectations_met == 0;
  return {outcome, line, trace.frame, trace.chords_sent, trace.chords_delivered, checked_nothing};
}

}  // namespace

RunSummary TraceSummary(Trace& trace, const std::string& scenario_name) {
  if (trace.mode == TraceMode::kChanges && trace.unchanged_writes != 0) {
    std::fprintf(trace.out, "(%s of an unchanged value not shown; --trace full shows them)\n",
                 Counted(trace.unchanged_writes, "write").c_str());
  }
  const std::size_t unmet = trace.unmet_lines.size();
  const std::size_t expectations = unmet + static_cast<std::size_t>(trace.expectations_met);
  std::string result;
  if (expectations == 0) {
    // Said plainly: a script reads status 0 as a pass.
    result = "no expect step, so nothing was checked";
  } else if (unmet == 0) {
    result = expectations == 1 ? "the 1 expectation met" : "all " + Counted(expectations, "expectation") + " met";
  } else {
    std::string lines;
    for (int line : trace.unmet_lines) {
      lines += (lines.empty() ? "" : ", ") + std::to_string(line);
    }
    result = std::to_string(unmet) + " of " + Counted(expectations, "expectation") + " not met (" +
             (unmet == 1 ? "line " : "lines ") + lines + ")";
  }
  RunSummary summary = SummaryOf(trace, unmet == 0 ? RunSummary::Outcome::kAllMet : RunSummary::Outcome::kUnmet,
                                       scenario_name + ": " + result + "; " + CountsText(trace));
  std::fprintf(trace.out, "%s\n", summary.line.c_str());
  return summary;
}

RunSummary StoppedSummary(const Trace& trace, const std::string& scenario_name, int line) {
  return SummaryOf(trace, RunSummary::Outcome::kStopped,
                   scenario_name + ": stopped by the error at line " + std::to_string(line) + "; " + CountsText(trace));
}

void PrintTotal(std::FILE* out, const std::vector<RunSummary>& runs) {
  std::uint64_t frames = 0;
  std::uint64_t sent = 0;
  std::uint64_t delivered = 0;
  // By outcome, and last those that met every expectation as they had none.
  std::size_t counts[4] = {};
  std::fprintf(out, "\n");
  for (const RunSummary& run : runs) {
    std::fprintf(out, "  %s\n", run.line.c_str());
    frames += run.frames;
    sent += run.chords_sent;
    delivered += run.chords_delivered;
    ++counts[run.checked_nothing ? 3 : static_cast<int>(run.outcome)];
  }
  std::string outcomes;
  if (counts[0] == runs.size()) {
    outcomes = "every expectation met";
  } else {
    const char* const words[4] = {"met every expectation", "did not", "stopped by an error", "checked nothing"};
    for (int outcome = 0; outcome < 4; ++outcome) {
      if (counts[outcome] != 0) {
        outcomes += (outcomes.empty() ? "" : ", ") + std::to_string(counts[outcome]) + " " + words[outcome];
      }
    }
  }
  std::fprintf(out, "%s: %s; %s, %s sent, %llu delivered\n", Counted(runs.size(), "scenario").c_str(),
               outcomes.c_str(), Counted(frames, "frame").c_str(), Counted(sent, "chord").c_str(),
               static_cast<unsigned long long>(delivered));
}

}  // namespace gauge_host
