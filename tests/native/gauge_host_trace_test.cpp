// The gauge host's trace: what each mode prints of the same run, the events it names, its
// closing lines, and what it records into a timeline.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tools/gauge_host/play/trace.h"

namespace {

using gauge_host::ScriptEvent;
using gauge_host::Trace;
using gauge_host::TraceMode;

constexpr TraceMode kModes[] = {TraceMode::kQuiet, TraceMode::kChanges, TraceMode::kFull};
constexpr char kModeLetters[] = "qcf";
const std::string kWhy = "; the module only sees values that last a frame";

// The lines the trace prints while `play` reports a run into it.
std::vector<std::string> Traced(Trace trace, const std::function<void(Trace&)>& play) {
  char* buffer = nullptr;
  std::size_t size = 0;
  trace.out = open_memstream(&buffer, &size);
  play(trace);
  std::fclose(trace.out);
  std::istringstream text(std::string(buffer, size));
  std::free(buffer);
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) {
    lines.push_back(line);
  }
  return lines;
}

ScriptEvent Write(const std::string& variable, int value) {
  return {ScriptEvent::Kind::kWrite, "write " + variable + " = " + std::to_string(value), variable,
          static_cast<double>(value)};
}

// One run as the host reports it, each line printed tagged with the modes that print it:
// (q)uiet, (c)hanges, (f)ull. A read is news when it differs from what the module last
// read or wrote. With a picture drawn or not, the same is printed.
TEST(GaugeHostTraceTest, EachModeOfOneRun) {
  const auto play = [](Trace& trace) {
    TraceFrameStart(trace);
    TraceRead(trace, "Tvl_SeatbeltSign", "(L:Tvl_SeatbeltSign, number)", 0);
    TraceWrite(trace, "Tvl_SeatbeltSign", "0 (>L:Tvl_SeatbeltSign, number)", 0, 0);
    TraceRead(trace, "Tvl_CallMayday", "(L:Tvl_CallMayday, number)", 1);
    TraceRead(trace, "Tvl_PlayMusic", "(L:Tvl_PlayMusic, number)", std::nullopt);
    TraceWrite(trace, "Tvl_PlayMusic", "2 (>L:Tvl_PlayMusic, number)", 0, 2);
    TraceChord(trace, 'M', true, "WM_KEYDOWN 0x4D 0x00320001");
    TraceExpectation(trace, "a.scn:5: ", 5, "expect Tvl_PlayMusic 2", true, "2", "2");
    TraceStep(trace, 6, "close the main window", true);
    TraceSet(trace, 9, "Tvl_Kneeboard", 0, 1);
    TraceSet(trace, 10, "Tvl_Kneeboard", 1, 0);
    TraceSet(trace, 11, "Tvl_CallMayday", 1, 0);
    TraceFrameStart(trace);
    TraceRead(trace, "Tvl_SeatbeltSign", "(L:Tvl_SeatbeltSign, number)", 0);
    TraceWrite(trace, "Tvl_SeatbeltSign", "1 (>L:Tvl_SeatbeltSign, number)", 0, 1);
    TraceRead(trace, "Tvl_CallMayday", "(L:Tvl_CallMayday, number)", 0);
    TraceRead(trace, "Tvl_SeatbeltSign", "(L:Tvl_SeatbeltSign, number)", 1);
    TraceWrite(trace, "Tvl_PlayMusic", "2 (>L:Tvl_PlayMusic, number)", 2, 2);
    TraceAddonSign(trace, 0, 1);
    TraceWarning(trace, "warning: Tvl_PlayMovie holds 1.75, not a whole number: the module reads 1");
    TraceChord(trace, 'T', false, "");
    TraceExpectation(trace, "a.scn:13: ", 13, "expect chords none", false, "none", "Ctrl+Shift+M");
    TraceSummary(trace, "a.scn");
  };
  const struct {
    const char* modes;
    std::string text;
  } printed[] = {
      {"f", "frame 1   read  (L:Tvl_SeatbeltSign, number) -> 0"},
      {"f", "frame 1   write 0 (>L:Tvl_SeatbeltSign, number)"},
      {"cf", "frame 1   read  (L:Tvl_CallMayday, number) -> 1"},
      {"f", "frame 1   read  (L:Tvl_PlayMusic, number) -> nothing stored"},
      {"cf", "frame 1   write 2 (>L:Tvl_PlayMusic, number)"},
      {"c", "frame 1   chord Ctrl+Shift+M"},
      {"f", "frame 1   chord Ctrl+Shift+M  WM_KEYDOWN 0x4D 0x00320001"},
      {"f", "line 5    expect Tvl_PlayMusic 2: met"},
      {"cf", "line 6    close the main window"},
      {"f", "line 9    set Tvl_Kneeboard = 1"},
      {"f", "line 10   set Tvl_Kneeboard = 0"},
      {"qcf", "line 10   press of Tvl_Kneeboard lost: set to 1 and back to 0 between frames 1 and 2" + kWhy},
      {"f", "line 11   set Tvl_CallMayday = 0"},
      {"f", "frame 2   read  (L:Tvl_SeatbeltSign, number) -> 0"},
      {"cf", "frame 2   write 1 (>L:Tvl_SeatbeltSign, number)"},
      {"cf", "frame 2   read  (L:Tvl_CallMayday, number) -> 0"},
      {"f", "frame 2   read  (L:Tvl_SeatbeltSign, number) -> 1"},
      {"f", "frame 2   write 2 (>L:Tvl_PlayMusic, number)"},
      {"cf", "frame 2   add-on seat-belt sign 0 -> 1, switched by the module"},
      {"qcf", "frame 2   warning: Tvl_PlayMovie holds 1.75, not a whole number: the module reads 1"},
      {"qcf", "frame 2   chord Ctrl+Shift+T not delivered: no main window"},
      {"qcf", "a.scn:13: expectation not met: expect chords none: expected none, actual Ctrl+Shift+M"},
      {"c", "(2 writes of an unchanged value not shown; --trace full shows them)"},
      {"qcf", "a.scn: 1 of 2 expectations not met (line 13); 2 frames, 2 chords sent, 1 delivered"},
  };
  for (std::size_t index = 0; index < 3; ++index) {
    const TraceMode mode = kModes[index];
    const char letter = kModeLetters[index];
    std::vector<std::string> expected;
    for (const auto& line : printed) {
      expected.insert(expected.end(), std::string(line.modes).find(letter) != std::string::npos, line.text);
    }
    for (bool drawn : {false, true}) {
      SCOPED_TRACE(std::string(1, letter) + (drawn ? ", drawn" : ""));
      gauge_host::Timeline timeline;
      timeline.rows = {{"Tvl_SeatbeltSign", {}, {}}, {"add-on's seat-belt sign", {}, {}}};
      // Labels as wide as "frame 10", the widest of the run's frames and lines.
      EXPECT_EQ(Traced(gauge_host::MakeTrace(mode, 10, 13, drawn ? &timeline : nullptr), play), expected);
      if (!drawn) {
        continue;
      }
      // Of the module's writes, only the changes, on the rows the picture has.
      std::string recorded;
      for (const gauge_host::TimelineRow& row : timeline.rows) {
        for (const gauge_host::TimelineWrite& write : row.writes) {
          recorded += row.name + " = " + std::to_string(write.value) + " in " + std::to_string(write.frame) + "; ";
        }
      }
      for (const gauge_host::TimelineChord& chord : timeline.chords) {
        recorded += chord.key + std::string(chord.delivered ? "" : " undelivered") + " in " +
                    std::to_string(chord.frame) + "; ";
      }
      for (const gauge_host::TimelineExpectation& expectation : timeline.expectations) {
        recorded += "line " + std::to_string(expectation.line) + (expectation.met ? " met" : " unmet") + " after " +
                    std::to_string(expectation.frame) + "; ";
      }
      EXPECT_EQ(recorded, "Tvl_SeatbeltSign = 1 in 2; add-on's seat-belt sign = 1 in 2; M in 1; T undelivered in 2; "
                          "line 5 met after 1; line 13 unmet after 2; ");
    }
  }
}

// A step's script is shown whole, or says it did nothing; a frame's update script only
// where it changes a variable or warns. Of either, the quiet trace shows only the warnings.
TEST(GaugeHostTraceTest, ScriptsInEachMode) {
  const ScriptEvent key_event{ScriptEvent::Kind::kKeyEvent, "key event TOGGLE_TAXI_LIGHTS 1"};
  const std::string warning =
      "cabin.xml:14:9: warning: (A:PLANE ALTITUDE, feet) was never set by the scenario; it reads 0";
  const ScriptEvent warned{ScriptEvent::Kind::kWarning, warning};
  const struct {
    const char* what;
    bool step;  // else a frame's update script
    std::map<std::string, double, std::less<>> values_before;
    std::vector<ScriptEvent> events;
    std::vector<std::string> changes;  // each after the script's label and heading
    std::vector<std::string> full;
  } cases[] = {
      {"a click: each write, even of the value there, each key event and warning", true, {{"CabinLights", 0}},
       {Write("CabinLights", 1), Write("CabinLights", 1), key_event, warned},
       {"write CabinLights = 1", "write CabinLights = 1", key_event.text, warning},
       {"write CabinLights = 1", "write CabinLights = 1", key_event.text, warning}},
      {"a click that did nothing", true, {}, {}, {"nothing written or sent"}, {"nothing written or sent"}},
      {"an update script: its changes and warnings, not its key events or writes of the value there", false,
       {{"CabinLights", 1}},
       {Write("CabinLights", 1), key_event, Write("CabinLights", 0), Write("CabinLights", 0), Write("ReadingLight", 0),
        Write("SignLight", 3), warned},
       {"write CabinLights = 0", "write SignLight = 3", warning},
       {"write CabinLights = 1", key_event.text, "write CabinLights = 0", "write CabinLights = 0",
        "write ReadingLight = 0", "write SignLight = 3", warning}},
      {"an update script that changed nothing", false, {{"CabinLights", 1}}, {Write("CabinLights", 1)}, {},
       {"write CabinLights = 1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string label = c.step ? "line 12" : "frame 2";
    const std::string heading = c.step ? "click cabin.xml area 1 LeftSingle" : "update cabin.xml";
    const auto play = [&](Trace& trace) {
      TraceScript(trace, label, heading, c.values_before, {c.events, std::nullopt}, c.step);
    };
    for (TraceMode mode : kModes) {
      std::vector<std::string> expected;
      for (const std::string& shown : mode == TraceMode::kFull ? c.full : c.changes) {
        if (mode != TraceMode::kQuiet || shown == warning) {
          expected.push_back(label + "  " + heading + ": " + shown);
        }
      }
      EXPECT_EQ(Traced(gauge_host::MakeTrace(mode, 2, 13, nullptr), play), expected);
    }
  }
}

// What the host reports, in order, of a run in which values set may be lost.
struct Report {
  enum Kind { kFrame, kModuleTurn, kSet, kUpdateWrite, kHide, kShow } kind;
  int line = 0;
  const char* variable = "";
  double before = 0;
  double after = 0;
};

// A value set and replaced before the module's next turn: when that was, and whether it
// was a press, a release or a change. Told in the changes trace and, as it went wrong, the
// quiet one.
TEST(GaugeHostTraceTest, ValuesTheModuleNeverSaw) {
  using enum Report::Kind;
  const struct {
    const char* what;
    std::vector<Report> reports;
    std::vector<std::string> changes;
  } cases[] = {
      {"a release undone by an update script, in the frame before the module's turn",
       {{kFrame}, {kModuleTurn}, {kSet, 6, "Tvl_CallMayday", 1, 0}, {kFrame},
        {kUpdateWrite, 0, "Tvl_CallMayday", 0, 1}},
       {"frame 2   update cabin.xml: write Tvl_CallMayday = 1",
        "frame 2   release of Tvl_CallMayday lost: set to 0 and back to 1 in frame 2, before the module's turn"}},
      {"a press and release by update scripts in one frame",
       {{kFrame}, {kUpdateWrite, 0, "Tvl_Kneeboard", 0, 1}, {kUpdateWrite, 0, "Tvl_Kneeboard", 1, 0}},
       {"frame 1   update cabin.xml: write Tvl_Kneeboard = 1", "frame 1   update cabin.xml: write Tvl_Kneeboard = 0",
        "frame 1   press of Tvl_Kneeboard lost: set to 1 and back to 0 in frame 1, before the module's turn"}},
      {"each of several values lost in turn",
       {{kSet, 4, "Tvl_PlayMusic", 0, 1}, {kSet, 5, "Tvl_PlayMusic", 1, 2}, {kSet, 6, "Tvl_PlayMusic", 2, 0}},
       {"line 5    change of Tvl_PlayMusic lost: set to 1, then to 2 before frame 1",
        "line 6    change of Tvl_PlayMusic lost: set to 2 and back to 0 before frame 1"}},
      {"commands set to or from values other than 0 and 1: changes, neither presses nor releases",
       {{kSet, 4, "Tvl_CallMayday", 0, 2}, {kSet, 5, "Tvl_CallMayday", 2, 0}, {kSet, 6, "Tvl_Kneeboard", 1, 2},
        {kSet, 7, "Tvl_Kneeboard", 2, 1}, {kSet, 8, "Tvl_ServeDrinks", 2, 1}, {kSet, 9, "Tvl_ServeDrinks", 1, 2},
        {kSet, 10, "Tvl_PlayMovie", 2, 0}, {kSet, 11, "Tvl_PlayMovie", 0, 2}},
       {"line 5    change of Tvl_CallMayday lost: set to 2 and back to 0 before frame 1",
        "line 7    change of Tvl_Kneeboard lost: set to 2 and back to 1 before frame 1",
        "line 9    change of Tvl_ServeDrinks lost: set to 1 and back to 2 before frame 1",
        "line 11   change of Tvl_PlayMovie lost: set to 0 and back to 2 before frame 1"}},
      {"a press overtaken by another value", {{kSet, 4, "Tvl_CallMayday", 0, 1}, {kSet, 5, "Tvl_CallMayday", 1, 5}},
       {"line 5    press of Tvl_CallMayday lost: set to 1, then to 5 before frame 1"}},
      {"the seat-belt sign is no command", {{kSet, 4, "Tvl_SeatbeltSign", 0, 1}, {kSet, 5, "Tvl_SeatbeltSign", 1, 0}},
       {"line 5    change of Tvl_SeatbeltSign lost: set to 1 and back to 0 before frame 1"}},
      {"a press before frame 1, and a third set that brings back what the module saw: nothing more lost",
       {{kSet, 4, "Tvl_CallMayday", 0, 1}, {kSet, 5, "Tvl_CallMayday", 1, 0}, {kSet, 6, "Tvl_CallMayday", 0, 1}},
       {"line 5    press of Tvl_CallMayday lost: set to 1 and back to 0 before frame 1"}},
      // While the window holding Switches is hidden the module has no turn: what is set
      // and taken back before its next one is lost, however many frames ran.
      {"a press before the window is hidden, released while it is",
       {{kFrame}, {kModuleTurn}, {kSet, 4, "Tvl_CallMayday", 0, 1}, {kHide, 5}, {kFrame}, {kFrame},
        {kSet, 8, "Tvl_CallMayday", 1, 0}},
       {"line 5    the window holding Switches is hidden: the gauges' update scripts run on, the module gets no frames",
        "line 8    press of Tvl_CallMayday lost: set to 1 and back to 0 while the window holding Switches is hidden "
        "(the module's last frame: 1)"}},
      {"a change while it is hidden for one frame, taken back once it is drawn again, before the module's turn",
       {{kHide, 3}, {kSet, 4, "Tvl_PlayMusic", 0, 1}, {kFrame}, {kShow, 6}, {kSet, 7, "Tvl_PlayMusic", 1, 0}},
       {"line 3    the window holding Switches is hidden: the gauges' update scripts run on, the module gets no frames",
        "line 6    the window holding Switches is drawn again: the module's next frame is frame 2",
        "line 7    change of Tvl_PlayMusic lost: set to 1 and back to 0 while the window holding Switches was hidden "
        "(the module's last frame: none yet)"}},
      {"nothing lost once the module had its turn after the window was drawn again",
       {{kHide, 3}, {kFrame}, {kShow, 5}, {kFrame}, {kModuleTurn}, {kSet, 7, "Tvl_PlayMusic", 0, 1}, {kFrame},
        {kModuleTurn}, {kSet, 9, "Tvl_PlayMusic", 1, 0}},
       {"line 3    the window holding Switches is hidden: the gauges' update scripts run on, the module gets no frames",
        "line 5    the window holding Switches is drawn again: the module's next frame is frame 2"}},
      {"nothing lost: a fraction the module reads as the value it saw, a value set twice, a variable not the "
       "module's, and sets with the module's turn between them",
       {{kSet, 4, "Tvl_PlayMusic", 0, 0.5}, {kSet, 5, "Tvl_PlayMusic", 0.5, 1}, {kSet, 6, "Tvl_Kneeboard", 0, 1},
        {kSet, 7, "Tvl_Kneeboard", 1, 1}, {kSet, 8, "CabinLights", 0, 1}, {kSet, 9, "CabinLights", 1, 0},
        {kSet, 10, "Tvl_CallMayday", 0, 1}, {kFrame}, {kModuleTurn}, {kSet, 11, "Tvl_CallMayday", 1, 0}},
       {}},
  };
  const auto play = [](const std::vector<Report>& reports) {
    return [&reports](Trace& trace) {
      for (const Report& report : reports) {
        switch (report.kind) {
          case kFrame: TraceFrameStart(trace); trace.updating = true; break;
          case kModuleTurn: TraceModuleTurn(trace); trace.updating = false; break;
          case kSet: TraceSet(trace, report.line, report.variable, report.before, report.after); break;
          case kHide: gauge_host::TraceModuleWindow(trace, report.line, true); break;
          case kShow: gauge_host::TraceModuleWindow(trace, report.line, false); break;
          case kUpdateWrite:
            TraceScript(trace, "frame " + std::to_string(trace.frame), "update cabin.xml",
                        {{report.variable, report.before}}, {{Write(report.variable, static_cast<int>(report.after))},
                        std::nullopt}, false);
        }
      }
    };
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> changes = c.changes;
    for (std::string& line : changes) {
      line += line.find(" lost: ") == std::string::npos ? ""
              : line.find(" hidden (") == std::string::npos
                  ? kWhy
                  : "; the module only sees what a variable holds when that window is drawn";
    }
    // Labels as wide as "line 100", the widest of the run's frames and lines.
    EXPECT_EQ(Traced(gauge_host::MakeTrace(TraceMode::kChanges, 2, 100, nullptr), play(c.reports)), changes);
    std::erase_if(changes, [](const std::string& line) { return line.find(" lost: ") == std::string::npos; });
    EXPECT_EQ(Traced(gauge_host::MakeTrace(TraceMode::kQuiet, 2, 100, nullptr), play(c.reports)), changes);
  }
}

// The closing line's wording for each count of expectations, and the total of several
// runs. Besides its frames' news, a run prints its unmet expectations and, unless an error
// stopped it, its closing line: the error is printed instead, and the line after it by the
// caller. No note of unchanged writes when there were none.
TEST(GaugeHostTraceTest, ClosingLinesAndTheirTotal) {
  const struct {
    const char* what;
    int frames;
    std::vector<std::pair<char, bool>> chords;       // key, delivered
    std::vector<std::pair<int, bool>> expectations;  // line, met
    int stopped_at;                                  // the line of the error, or 0
    std::string summary;
  } cases[] = {
      {"no expectations", 1, {}, {}, 0, "no expect step, so nothing was checked; 1 frame, 0 chords sent, 0 delivered"},
      {"the one expectation met", 2, {}, {{5, true}}, 0, "the 1 expectation met; 2 frames, 0 chords sent, 0 delivered"},
      {"all three met", 1, {{'M', true}}, {{5, true}, {6, true}, {7, true}}, 0,
       "all 3 expectations met; 1 frame, 1 chord sent, 1 delivered"},
      {"two of three unmet", 1, {{'T', false}}, {{4, false}, {6, true}, {9, false}}, 0,
       "2 of 3 expectations not met (lines 4, 9); 1 frame, 1 chord sent, 0 delivered"},
      {"stopped by an error", 2, {{'M', true}, {'K', true}}, {{3, false}}, 7,
       "stopped by the error at line 7; 2 frames, 2 chords sent, 2 delivered"},
  };
  std::vector<gauge_host::RunSummary> summaries;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> expected;
    const auto play = [&](Trace& trace) {
      for (int frame = 0; frame < c.frames; ++frame) {
        TraceFrameStart(trace);
      }
      for (const auto& [key, delivered] : c.chords) {
        TraceChord(trace, key, delivered, "");
      }
      for (const auto& [line, met] : c.expectations) {
        const std::string where = "a.scn:" + std::to_string(line) + ": ";
        TraceExpectation(trace, where, line, "expect Tvl_CallMayday 0", met, "0", "1");
        const std::string unmet = where + "expectation not met: expect Tvl_CallMayday 0: expected 0, actual 1";
        expected.insert(expected.end(), !met, unmet);
      }
      summaries.push_back(c.stopped_at != 0 ? StoppedSummary(trace, "a.scn", c.stopped_at)
                                            : TraceSummary(trace, "a.scn"));
    };
    std::vector<std::string> printed = Traced(gauge_host::MakeTrace(TraceMode::kChanges, 2, 13, nullptr), play);
    std::erase_if(printed, [](const std::string& line) { return line.starts_with("frame "); });
    expected.insert(expected.end(), c.stopped_at == 0, "a.scn: " + c.summary);
    EXPECT_EQ(printed, expected);
    EXPECT_EQ(summaries.back().line, "a.scn: " + c.summary);
  }

  // Each closing line again, then what they came to: the summaries' outcomes and counts.
  ASSERT_EQ(summaries.size(), std::size(cases));
  const auto total = [](const std::vector<gauge_host::RunSummary>& runs) {
    return Traced(gauge_host::MakeTrace(TraceMode::kQuiet, 0, 0, nullptr),
                  [&runs](Trace& trace) { gauge_host::PrintTotal(trace.out, runs); });
  };
  std::vector<std::string> lines = {""};
  for (const gauge_host::RunSummary& run : summaries) {
    lines.push_back("  " + run.line);
  }
  lines.push_back("5 scenarios: 2 met every expectation, 1 did not, 1 stopped by an error, 1 checked nothing; "
                  "7 frames, 4 chords sent, 3 delivered");
  EXPECT_EQ(total(summaries), lines);
  EXPECT_EQ(total({summaries[1], summaries[2]}).back(),
            "2 scenarios: every expectation met; 3 frames, 1 chord sent, 1 delivered");
  EXPECT_EQ(total({summaries[0], summaries[1]}).back(),
            "2 scenarios: 1 met every expectation, 1 checked nothing; 3 frames, 0 chords sent, 0 delivered");
  EXPECT_EQ(total({summaries[4], summaries[4]}).back(),
            "2 scenarios: 2 stopped by an error; 4 frames, 4 chords sent, 4 delivered");
}

}  // namespace
