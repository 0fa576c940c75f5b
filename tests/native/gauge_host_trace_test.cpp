// The gauge host's trace: what each mode prints of the same run, and the events it names.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <sstream>

#include "tools/gauge_host/play/trace.h"

namespace {

using gauge_host::Trace;
using gauge_host::TraceMode;

// What a trace of the mode prints, line by line, while `play` reports a run into it.
std::vector<std::string> Printed(TraceMode mode, const std::function<void(Trace&)>& play,
                                 gauge_host::Timeline* timeline = nullptr) {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  Trace trace = gauge_host::MakeTrace(mode, 2, 13, timeline);
  trace.out = out;
  play(trace);
  std::fclose(out);
  std::vector<std::string> lines;
  std::istringstream text(std::string(buffer, size));
  std::free(buffer);
  for (std::string line; std::getline(text, line);) {
    lines.push_back(line);
  }
  return lines;
}

// Plays two frames and the steps between them, as the host reports them, into a trace of
// the mode given; returns the lines printed.
std::vector<std::string> PlayedLines(TraceMode mode) {
  return Printed(mode, [](Trace& trace) {
    TraceFrameStart(trace);
    TraceRead(trace, "Tvl_SeatbeltSign", "(L:Tvl_SeatbeltSign, number)", 0);
    TraceWrite(trace, "Tvl_SeatbeltSign", "0 (>L:Tvl_SeatbeltSign, number)", 0, 0);
    TraceRead(trace, "Tvl_CallMayday", "(L:Tvl_CallMayday, number)", 1);
    TraceChord(trace, 'M', true, "WM_KEYDOWN 0x4D 0x00320001");
    TraceSet(trace, 9, "Tvl_CallMayday", 1, 0);
    TraceSet(trace, 10, "Tvl_CallMayday", 0, 1);
    TraceSet(trace, 11, "Tvl_Kneeboard", 0, 1);
    TraceSet(trace, 12, "Tvl_Kneeboard", 1, 0);
    TraceFrameStart(trace);
    TraceRead(trace, "Tvl_SeatbeltSign", "(L:Tvl_SeatbeltSign, number)", 0);
    TraceWrite(trace, "Tvl_SeatbeltSign", "1 (>L:Tvl_SeatbeltSign, number)", 0, 1);
    TraceRead(trace, "Tvl_CallMayday", "(L:Tvl_CallMayday, number)", 1);
    TraceChord(trace, 'T', false, "");
    TraceExpectation(trace, "a.scn:13: ", 13, "expect chords none", false, "none", "Ctrl+Shift+M");
    TraceSummary(trace, "a.scn");
  });
}

TEST(GaugeHostTraceTest, EachModeOfOneRun) {
  const std::string summary = "a.scn: 1 of 1 expectation not met (line 13); 2 frames, 2 chords sent, 1 delivered";
  const std::string unmet = "a.scn:13: expectation not met: expect chords none: expected none, actual Ctrl+Shift+M";
  const std::string lost_release =
      "line 10  release of Tvl_CallMayday lost: set to 0 and back to 1 between frames 1 and 2; "
      "the module only sees values that last a frame";
  const std::string lost_press =
      "line 12  press of Tvl_Kneeboard lost: set to 1 and back to 0 between frames 1 and 2; "
      "the module only sees values that last a frame";
  EXPECT_EQ(PlayedLines(TraceMode::kQuiet), (std::vector<std::string>{unmet, summary}));
  EXPECT_EQ(PlayedLines(TraceMode::kChanges),
            (std::vector<std::string>{
                "frame 1  read  (L:Tvl_CallMayday, number) -> 1",
                "frame 1  chord Ctrl+Shift+M",
                lost_release,
                lost_press,
                "frame 2  write 1 (>L:Tvl_SeatbeltSign, number)",
                "frame 2  chord Ctrl+Shift+T not delivered: no main window",
                unmet,
                "(1 write of an unchanged value not shown; --trace full shows them)",
                summary,
            }));
  EXPECT_EQ(PlayedLines(TraceMode::kFull),
            (std::vector<std::string>{
                "frame 1  read  (L:Tvl_SeatbeltSign, number) -> 0",
                "frame 1  write 0 (>L:Tvl_SeatbeltSign, number)",
                "frame 1  read  (L:Tvl_CallMayday, number) -> 1",
                "frame 1  chord Ctrl+Shift+M  WM_KEYDOWN 0x4D 0x00320001",
                "line 9   set Tvl_CallMayday = 0",
                "line 10  set Tvl_CallMayday = 1",
                lost_release,
                "line 11  set Tvl_Kneeboard = 1",
                "line 12  set Tvl_Kneeboard = 0",
                lost_press,
                "frame 2  read  (L:Tvl_SeatbeltSign, number) -> 0",
                "frame 2  write 1 (>L:Tvl_SeatbeltSign, number)",
                "frame 2  read  (L:Tvl_CallMayday, number) -> 1",
                "frame 2  chord Ctrl+Shift+T not delivered: no main window",
                unmet,
                summary,
            }));
}

// The total after several scenarios: each closing line again, then what they came to.
TEST(GaugeHostTraceTest, TotalOfSeveralScenarios) {
  using Outcome = gauge_host::RunSummary::Outcome;
  const gauge_host::RunSummary met{Outcome::kAllMet, "a.scn: all 2 expectations met; 3 frames, 2 chords sent, 2 delivered",
                                   3, 2, 2};
  const gauge_host::RunSummary unmet{Outcome::kUnmet, "b.scn: 1 of 1 expectation not met (line 4); 1 frame, 0 chords sent, 0 delivered",
                                     1, 0, 0};
  const gauge_host::RunSummary stopped{Outcome::kStopped, "c.scn: stopped by the error at line 2; 0 frames, 0 chords sent, 0 delivered",
                                       0, 0, 0};
  struct Case {
    std::vector<gauge_host::RunSummary> runs;
    const char* total;
  };
  const Case cases[] = {
      {{met, met}, "2 scenarios: every expectation met; 6 frames, 4 chords sent, 4 delivered"},
      {{met, unmet, stopped, unmet},
       "4 scenarios: 1 met every expectation, 2 did not, 1 stopped by an error; 5 frames, 2 chords sent, 2 delivered"},
      {{stopped, stopped}, "2 scenarios: 2 stopped by an error; 0 frames, 0 chords sent, 0 delivered"},
  };
  for (const Case& c : cases) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    gauge_host::PrintTotal(out, c.runs);
    std::fclose(out);
    std::string expected = "\n";
    for (const gauge_host::RunSummary& run : c.runs) {
      expected += "  " + run.line + "\n";
    }
    EXPECT_EQ(std::string(buffer, size), expected + c.total + "\n");
    std::free(buffer);
  }
}

using gauge_host::ScriptEvent;

ScriptEvent Write(const std::string& variable, int value) {
  return {ScriptEvent::Kind::kWrite, "write " + variable + " = " + std::to_string(value), variable,
          static_cast<double>(value)};
}
ScriptEvent KeyEvent(const std::string& text) { return {ScriptEvent::Kind::kKeyEvent, "key event " + text}; }
ScriptEvent Warning(const std::string& text) { return {ScriptEvent::Kind::kWarning, text}; }

// A step's script is shown whole, or says it did nothing; a frame's update script only
// where it changes a variable or warns.
TEST(GaugeHostTraceTest, ScriptsInEachMode) {
  const std::string warning =
      "cabin.xml:14:9: warning: (A:PLANE ALTITUDE, feet) was never set by the scenario; it reads 0";
  const std::string click = "line 12  click cabin.xml area 1 LeftSingle: ";
  const std::string update = "frame 2  update cabin.xml: ";
  struct Case {
    const char* what;
    bool step;  // else an update script
    std::map<std::string, double, std::less<>> values_before;
    std::vector<ScriptEvent> events;
    std::vector<std::string> changes;
    std::vector<std::string> full;
  };
  const Case cases[] = {
      {"a click: each write, even of the value there, each key event and warning",
       true,
       {{"CabinLights", 0}},
       {Write("CabinLights", 1), Write("CabinLights", 1), KeyEvent("TOGGLE_TAXI_LIGHTS 1"), Warning(warning)},
       {click + "write CabinLights = 1", click + "write CabinLights = 1", click + "key event TOGGLE_TAXI_LIGHTS 1",
        click + warning},
       {click + "write CabinLights = 1", click + "write CabinLights = 1", click + "key event TOGGLE_TAXI_LIGHTS 1",
        click + warning}},
      {"a click that did nothing",
       true,
       {},
       {},
       {click + "nothing written or sent"},
       {click + "nothing written or sent"}},
      {"an update script: its changes and warnings, not its key events or writes of the value there",
       false,
       {{"CabinLights", 1}},
       {Write("CabinLights", 1), KeyEvent("TOGGLE_TAXI_LIGHTS"), Write("CabinLights", 0), Write("CabinLights", 0),
        Write("ReadingLight", 0), Write("SignLight", 3), Warning(warning)},
       {update + "write CabinLights = 0", update + "write SignLight = 3", update + warning},
       {update + "write CabinLights = 1", update + "key event TOGGLE_TAXI_LIGHTS", update + "write CabinLights = 0",
        update + "write CabinLights = 0", update + "write ReadingLight = 0", update + "write SignLight = 3",
        update + warning}},
      {"an update script that changed nothing",
       false,
       {{"CabinLights", 1}},
       {Write("CabinLights", 1)},
       {},
       {update + "write CabinLights = 1"}},
      {"an update script that did nothing", false, {{"CabinLights", 1}}, {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const gauge_host::ScriptRun run{c.events, std::nullopt};
    const auto play = [&c, &run](Trace& trace) {
      if (c.step) {
        TraceScript(trace, "line 12", "click cabin.xml area 1 LeftSingle", c.values_before, run, true);
      } else {
        TraceFrameStart(trace);
        TraceFrameStart(trace);
        trace.updating = true;
        TraceScript(trace, "frame 2", "update cabin.xml", c.values_before, run, false);
      }
    };
    EXPECT_EQ(Printed(TraceMode::kQuiet, play), std::vector<std::string>{});
    EXPECT_EQ(Printed(TraceMode::kChanges, play), c.changes);
    EXPECT_EQ(Printed(TraceMode::kFull, play), c.full);
  }
}

// A value set and replaced before the module's next turn: when that was, and whether it
// was a press, a release or a change, as the changes trace tells it.
TEST(GaugeHostTraceTest, ValuesTheModuleNeverSaw) {
  const std::string why = "; the module only sees values that last a frame";
  using Play = void (*)(Trace&);
  struct Case {
    const char* what;
    Play play;
    std::vector<std::string> changes;
  };
  const Case cases[] = {
      {"a press before frame 1",
       [](Trace& trace) {
         TraceSet(trace, 4, "Tvl_CallMayday", 0, 1);
         TraceSet(trace, 5, "Tvl_CallMayday", 1, 0);
       },
       {"line 5   press of Tvl_CallMayday lost: set to 1 and back to 0 before frame 1" + why}},
      {"a release undone by an update script, in the frame before the module's turn",
       [](Trace& trace) {
         TraceFrameStart(trace);
         TraceModuleTurn(trace);
         TraceSet(trace, 6, "Tvl_CallMayday", 1, 0);
         TraceFrameStart(trace);
         trace.updating = true;
         TraceScript(trace, "frame 2", "update cabin.xml", {{"Tvl_CallMayday", 0}},
                     {{Write("Tvl_CallMayday", 1)}, std::nullopt}, false);
       },
       {"frame 2  update cabin.xml: write Tvl_CallMayday = 1",
        "frame 2  release of Tvl_CallMayday lost: set to 0 and back to 1 in frame 2, before the module's turn" + why}},
      {"a press and release within one update script",
       [](Trace& trace) {
         TraceFrameStart(trace);
         trace.updating = true;
         TraceScript(trace, "frame 1", "update cabin.xml", {{"Tvl_Kneeboard", 0}},
                     {{Write("Tvl_Kneeboard", 1), Write("Tvl_Kneeboard", 0)}, std::nullopt}, false);
       },
       {"frame 1  update cabin.xml: write Tvl_Kneeboard = 1", "frame 1  update cabin.xml: write Tvl_Kneeboard = 0",
        "frame 1  press of Tvl_Kneeboard lost: set to 1 and back to 0 in frame 1, before the module's turn" + why}},
      {"a toggle's change between frames",
       [](Trace& trace) {
         TraceFrameStart(trace);
         TraceModuleTurn(trace);
         TraceSet(trace, 7, "Tvl_PlayMusic", 0, 1);
         TraceSet(trace, 8, "Tvl_PlayMusic", 1, 2);
       },
       {"line 8   change of Tvl_PlayMusic lost: set to 1, then to 2 between frames 1 and 2" + why}},
      {"each of several values set between frames lost in turn",
       [](Trace& trace) {
         TraceSet(trace, 4, "Tvl_PlayMusic", 0, 1);
         TraceSet(trace, 5, "Tvl_PlayMusic", 1, 2);
         TraceSet(trace, 6, "Tvl_PlayMusic", 2, 0);
       },
       {"line 5   change of Tvl_PlayMusic lost: set to 1, then to 2 before frame 1" + why,
        "line 6   change of Tvl_PlayMusic lost: set to 2 and back to 0 before frame 1" + why}},
      {"a command set to 2 and back is a change, not a press",
       [](Trace& trace) {
         TraceSet(trace, 4, "Tvl_CallMayday", 0, 2);
         TraceSet(trace, 5, "Tvl_CallMayday", 2, 0);
       },
       {"line 5   change of Tvl_CallMayday lost: set to 2 and back to 0 before frame 1" + why}},
      {"a command held at 1, set to 2 and back, is a change, not a release",
       [](Trace& trace) {
         TraceSet(trace, 4, "Tvl_CallMayday", 1, 2);
         TraceSet(trace, 5, "Tvl_CallMayday", 2, 1);
       },
       {"line 5   change of Tvl_CallMayday lost: set to 2 and back to 1 before frame 1" + why}},
      {"a press overtaken by another value",
       [](Trace& trace) {
         TraceSet(trace, 4, "Tvl_CallMayday", 0, 1);
         TraceSet(trace, 5, "Tvl_CallMayday", 1, 5);
       },
       {"line 5   press of Tvl_CallMayday lost: set to 1, then to 5 before frame 1" + why}},
      {"the seat-belt sign is no command",
       [](Trace& trace) {
         TraceSet(trace, 4, "Tvl_SeatbeltSign", 0, 1);
         TraceSet(trace, 5, "Tvl_SeatbeltSign", 1, 0);
       },
       {"line 5   change of Tvl_SeatbeltSign lost: set to 1 and back to 0 before frame 1" + why}},
      {"a third set after a loss brings back what the module saw: nothing more lost",
       [](Trace& trace) {
         TraceSet(trace, 4, "Tvl_CallMayday", 0, 1);
         TraceSet(trace, 5, "Tvl_CallMayday", 1, 0);
         TraceSet(trace, 6, "Tvl_CallMayday", 0, 1);
       },
       {"line 5   press of Tvl_CallMayday lost: set to 1 and back to 0 before frame 1" + why}},
      {"a fraction the module reads as the value it saw",
       [](Trace& trace) {
         TraceSet(trace, 4, "Tvl_PlayMusic", 0, 0.5);
         TraceSet(trace, 5, "Tvl_PlayMusic", 0.5, 0);
       },
       {}},
      {"set twice to the same value",
       [](Trace& trace) {
         TraceSet(trace, 4, "Tvl_PlayMusic", 0, 1);
         TraceSet(trace, 5, "Tvl_PlayMusic", 1, 1);
       },
       {}},
      {"the module's turn between the sets",
       [](Trace& trace) {
         TraceSet(trace, 4, "Tvl_CallMayday", 0, 1);
         TraceFrameStart(trace);
         TraceModuleTurn(trace);
         TraceSet(trace, 5, "Tvl_CallMayday", 1, 0);
       },
       {}},
      {"a variable that is not the module's",
       [](Trace& trace) {
         TraceSet(trace, 4, "CabinLights", 0, 1);
         TraceSet(trace, 5, "CabinLights", 1, 0);
       },
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Printed(TraceMode::kChanges, c.play), c.changes);
    EXPECT_EQ(Printed(TraceMode::kQuiet, c.play), std::vector<std::string>{});
  }
}

// A frame's other news, and the steps: what each mode shows of them.
TEST(GaugeHostTraceTest, WhatEachModeShowsOfAFrameAndItsSteps) {
  const auto play = [](Trace& trace) {
    TraceFrameStart(trace);
    TraceRead(trace, "Tvl_PlayMusic", "(L:Tvl_PlayMusic, number)", std::nullopt);
    TraceAddonSign(trace, 0, 1);
    TraceEvent(trace, "the add-on's record is gone");
    TraceStep(trace, 3, "close the main window", true);
    TraceStep(trace, 4, "wait 2 frames", false);
  };
  const std::string sign = "frame 1  add-on seat-belt sign 0 -> 1, switched by the module";
  const std::string event = "frame 1  the add-on's record is gone";
  const std::string window = "line 3   close the main window";
  const struct {
    TraceMode mode;
    std::vector<std::string> lines;
  } cases[] = {
      {TraceMode::kQuiet, {}},
      {TraceMode::kChanges, {sign, event, window}},
      {TraceMode::kFull,
       {"frame 1  read  (L:Tvl_PlayMusic, number) -> nothing stored", sign, event, window, "line 4   wait 2 frames"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    EXPECT_EQ(Printed(c.mode, play), c.lines);
  }
}

// The closing line's wording for each count of expectations, the note of writes the
// changes trace left out, and the summary returned for the total.
TEST(GaugeHostTraceTest, ClosingLineOfARun) {
  using Outcome = gauge_host::RunSummary::Outcome;
  using Play = void (*)(Trace&);
  const auto met = [](Trace& trace, int line) {
    TraceExpectation(trace, "a.scn:" + std::to_string(line) + ": ", line, "expect Tvl_CallMayday 0", true, "0", "0");
  };
  const auto unmet = [](Trace& trace, int line) {
    TraceExpectation(trace, "a.scn:" + std::to_string(line) + ": ", line, "expect Tvl_CallMayday 0", false, "0", "1");
  };
  const auto unchanged_writes = [](Trace& trace) {
    TraceFrameStart(trace);
    TraceWrite(trace, "Tvl_SeatbeltSign", "0 (>L:Tvl_SeatbeltSign, number)", 0, 0);
    TraceWrite(trace, "Tvl_SeatbeltSign", "0 (>L:Tvl_SeatbeltSign, number)", 0, 0);
  };
  struct Case {
    const char* what;
    TraceMode mode;
    std::function<void(Trace&)> play;
    std::vector<std::string> lines;
    Outcome outcome;
    std::uint64_t frames, sent, delivered;
  };
  const Case cases[] = {
      {"no expectations", TraceMode::kChanges, [](Trace& trace) { TraceFrameStart(trace); },
       {"a.scn: no expectations; 1 frame, 0 chords sent, 0 delivered"}, Outcome::kAllMet, 1, 0, 0},
      {"the one expectation met",
       TraceMode::kChanges,
       [met](Trace& trace) {
         TraceFrameStart(trace);
         TraceFrameStart(trace);
         met(trace, 5);
       },
       {"a.scn: the 1 expectation met; 2 frames, 0 chords sent, 0 delivered"},
       Outcome::kAllMet, 2, 0, 0},
      {"all three met, one chord delivered",
       TraceMode::kChanges,
       [met](Trace& trace) {
         TraceFrameStart(trace);
         TraceChord(trace, 'M', true, "");
         met(trace, 5);
         met(trace, 6);
         met(trace, 7);
       },
       {"frame 1  chord Ctrl+Shift+M", "a.scn: all 3 expectations met; 1 frame, 1 chord sent, 1 delivered"},
       Outcome::kAllMet, 1, 1, 1},
      {"two of three unmet",
       TraceMode::kQuiet,
       [met, unmet](Trace& trace) {
         TraceFrameStart(trace);
         TraceChord(trace, 'T', false, "");
         unmet(trace, 4);
         met(trace, 6);
         unmet(trace, 9);
       },
       {"a.scn:4: expectation not met: expect Tvl_CallMayday 0: expected 0, actual 1",
        "a.scn:9: expectation not met: expect Tvl_CallMayday 0: expected 0, actual 1",
        "a.scn: 2 of 3 expectations not met (lines 4, 9); 1 frame, 1 chord sent, 0 delivered"},
       Outcome::kUnmet, 1, 1, 0},
      {"writes of an unchanged value left out", TraceMode::kChanges, Play{unchanged_writes},
       {"(2 writes of an unchanged value not shown; --trace full shows them)",
        "a.scn: no expectations; 1 frame, 0 chords sent, 0 delivered"},
       Outcome::kAllMet, 1, 0, 0},
      {"writes of an unchanged value shown in full", TraceMode::kFull, Play{unchanged_writes},
       {"frame 1  write 0 (>L:Tvl_SeatbeltSign, number)", "frame 1  write 0 (>L:Tvl_SeatbeltSign, number)",
        "a.scn: no expectations; 1 frame, 0 chords sent, 0 delivered"},
       Outcome::kAllMet, 1, 0, 0},
      {"writes of an unchanged value, quiet", TraceMode::kQuiet, Play{unchanged_writes},
       {"a.scn: no expectations; 1 frame, 0 chords sent, 0 delivered"}, Outcome::kAllMet, 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gauge_host::RunSummary summary;
    EXPECT_EQ(Printed(c.mode,
                      [&](Trace& trace) {
                        c.play(trace);
                        summary = TraceSummary(trace, "a.scn");
                      }),
              c.lines);
    EXPECT_EQ(summary.line, c.lines.back());
    EXPECT_EQ(summary.outcome, c.outcome);
    EXPECT_EQ(summary.frames, c.frames);
    EXPECT_EQ(summary.chords_sent, c.sent);
    EXPECT_EQ(summary.chords_delivered, c.delivered);
  }
}

// A run an error stopped: its closing line names the step's line, and nothing is printed
// here (the error itself is).
TEST(GaugeHostTraceTest, ClosingLineOfAStoppedRun) {
  gauge_host::RunSummary summary;
  EXPECT_EQ(Printed(TraceMode::kQuiet,
                    [&summary](Trace& trace) {
                      TraceFrameStart(trace);
                      TraceFrameStart(trace);
                      TraceChord(trace, 'M', true, "");
                      summary = gauge_host::StoppedSummary(trace, "a.scn", 7);
                    }),
            std::vector<std::string>{});
  EXPECT_EQ(summary.line, "a.scn: stopped by the error at line 7; 2 frames, 1 chord sent, 1 delivered");
  EXPECT_EQ(summary.outcome, gauge_host::RunSummary::Outcome::kStopped);
  EXPECT_EQ(summary.frames, 2u);
  EXPECT_EQ(summary.chords_sent, 1u);
  EXPECT_EQ(summary.chords_delivered, 1u);
}

// With a picture drawn, the trace records into it what the module did, whatever it prints.
TEST(GaugeHostTraceTest, FeedsTheTimeline) {
  const auto play = [](Trace& trace) {
    TraceFrameStart(trace);
    TraceWrite(trace, "Tvl_SeatbeltSign", "1 (>L:Tvl_SeatbeltSign, number)", 0, 1);
    TraceWrite(trace, "Tvl_PlayMusic", "0 (>L:Tvl_PlayMusic, number)", 0, 0);
    TraceWrite(trace, "Tvl_CallMayday", "0 (>L:Tvl_CallMayday, number)", 1, 0);
    TraceChord(trace, 'M', true, "");
    TraceExpectation(trace, "a.scn:5: ", 5, "expect Tvl_SeatbeltSign 1", true, "1", "1");
    TraceFrameStart(trace);
    TraceChord(trace, 'T', false, "");
    TraceAddonSign(trace, 0, 1);
    TraceExpectation(trace, "a.scn:9: ", 9, "expect chords none", false, "none", "Ctrl+Shift+T");
  };
  for (TraceMode mode : {TraceMode::kQuiet, TraceMode::kChanges, TraceMode::kFull}) {
    SCOPED_TRACE(static_cast<int>(mode));
    gauge_host::Timeline timeline;
    for (const char* name : {"Tvl_SeatbeltSign", "Tvl_PlayMusic", "add-on's seat-belt sign"}) {
      timeline.rows.push_back({name, {}, {}});
    }
    Printed(mode, play, &timeline);

    std::vector<std::string> writes;
    for (const gauge_host::TimelineRow& row : timeline.rows) {
      for (const gauge_host::TimelineWrite& write : row.writes) {
        writes.push_back(row.name + " in frame " + std::to_string(write.frame) + ": " + std::to_string(write.value));
      }
    }
    EXPECT_EQ(writes, (std::vector<std::string>{"Tvl_SeatbeltSign in frame 1: 1",
                                                "add-on's seat-belt sign in frame 2: 1"}));
    std::vector<std::string> chords;
    for (const gauge_host::TimelineChord& chord : timeline.chords) {
      chords.push_back(std::string(1, chord.key) + " in frame " + std::to_string(chord.frame) +
                       (chord.delivered ? "" : ", not delivered"));
    }
    EXPECT_EQ(chords, (std::vector<std::string>{"M in frame 1", "T in frame 2, not delivered"}));
    std::vector<std::string> expectations;
    for (const gauge_host::TimelineExpectation& expectation : timeline.expectations) {
      expectations.push_back("line " + std::to_string(expectation.line) + " after frame " +
                             std::to_string(expectation.frame) + (expectation.met ? ": met" : ": unmet"));
    }
    EXPECT_EQ(expectations, (std::vector<std::string>{"line 5 after frame 1: met", "line 9 after frame 2: unmet"}));
  }
}

}  // namespace
