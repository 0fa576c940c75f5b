// The gauge host's trace: what each mode prints of the same run, and the events it names.

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "tools/gauge_host/play/trace.h"

namespace {

using gauge_host::Trace;
using gauge_host::TraceMode;

// Plays two frames and the steps between them, as the host reports them, into a trace of
// the mode given; returns the lines printed.
std::vector<std::string> PlayedLines(TraceMode mode) {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  Trace trace = gauge_host::MakeTrace(mode, 2, 13, nullptr);
  trace.out = out;
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
  std::fclose(out);
  std::vector<std::string> lines;
  std::istringstream text(std::string(buffer, size));
  std::free(buffer);
  for (std::string line; std::getline(text, line);) {
    lines.push_back(line);
  }
  return lines;
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

}  // namespace
