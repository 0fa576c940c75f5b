// --check's lost presses, for scripts placed in files: the press taken back within one run,
// the release on every cycle that can undo a click's press, and the command flipped like a
// toggle, each with the near misses that work.

#include <gtest/gtest.h>

#include "tests/support/script_gauges.h"
#include "tools/gauge_host/check/lost_presses.h"

namespace {

using gauge_host::ScriptKind;

// One script a line, "FILE ELEMENT: SCRIPT"; ELEMENT "Update" or "Value" runs every cycle,
// "Click" (for LeftSingle) or "Click+" (for LeftSingle+LeftRelease) on a click.
std::vector<std::string> Check(const std::vector<std::string>& lines) {
  std::vector<TestScript> scripts;
  for (const std::string& text : lines) {
    const std::size_t space = text.find(' ');
    const std::size_t colon = text.find(": ");
    const std::string element = text.substr(space + 1, colon - space - 1);
    const bool release = element == "Click+";
    scripts.push_back({text.substr(0, space),
                       element == "Update" ? ScriptKind::kUpdate
                       : element == "Value" ? ScriptKind::kValue
                                            : ScriptKind::kClick,
                       text.substr(colon + 2),
                       release ? std::vector<std::string>{"LeftSingle", "LeftRelease"}
                               : std::vector<std::string>{"LeftSingle"}});
  }
  std::vector<std::string> found;
  for (const gauge_host::Diagnostic& finding : gauge_host::CheckLostPresses(GaugesOf(scripts))) {
    found.push_back(gauge_host::FormatDiagnostic(finding));
  }
  return found;
}

const std::string kLostInOneRun =
    " in the same run of this <Click> script: the module reads it once a frame, so it never sees the 1 and sends no "
    "chord; ";
const std::string kPressAndRelease =
    "write 1 on LeftSingle and 0 on LeftRelease, when the mouse button comes up (Kind=\"LeftSingle+LeftRelease\")";

TEST(LostPressesTest, APressTakenBackInOneRun) {
  struct Case {
    std::vector<std::string> scripts;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {{"g.xml Click: 1 (>L:Tvl_CallMayday, number) 0 (>L:Tvl_CallMayday, number)"},
       {"g.xml:1:33: error: Tvl_CallMayday is set to 1 at line 1 and back to 0" + kLostInOneRun + kPressAndRelease}},
      // Written 1 on the way through the if{ block, then 0 after it.
      {{"g.xml Click+: (M:Event) 'LeftSingle' scmp 0 == if{ 1 (>L:Tvl_Kneeboard, number) } 0 (>L:Tvl_Kneeboard, number)"},
       {"g.xml:1:71: error: Tvl_Kneeboard is set to 1 at line 1 and back to 0" + kLostInOneRun +
        "write 0 only on LeftRelease, when the mouse button comes up"}},
      {{"g.xml Update: 1 (>L:Tvl_Kneeboard, number) 0 (>L:Tvl_Kneeboard, number)"},
       {"g.xml:1:32: error: Tvl_Kneeboard is set to 1 at line 1 and back to 0 in the same run of this <Update> script: "
        "the module reads it once a frame, so it never sees the 1 and sends no chord; leave the 1 for a frame and write "
        "0 on a later cycle, after a timer"}},
      // The push button: 1 and 0 on different ways through the script.
      {{"g.xml Click+: (M:Event) 'LeftSingle' scmp 0 == if{ 1 (>L:Tvl_CallMayday, number) } els{ 0 (>L:Tvl_CallMayday, "
        "number) }"},
       {}},
      {{"g.xml Click: 1 (>L:Tvl_CallMayday, number) quit 0 (>L:Tvl_CallMayday, number)",
        "g.xml Click: 1 (>L:Tvl_CallMayday, number) g1 0 (>L:Tvl_CallMayday, number) :1",
        "g.xml Click: 1 (>L:Tvl_PassengerList, number) (L:Other, number) (>L:Tvl_PassengerList, number) 0 "
        "(>L:Tvl_PassengerList, number)",
        "g.xml Click: 1 (>L:Tvl_PlayMusic, number) 0 (>L:Tvl_PlayMusic, number)"},
       {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Check(c.scripts), c.expected) << c.scripts[0];
  }
}

TEST(LostPressesTest, AReleaseOnEveryCycle) {
  const std::string click = "g.xml Click: 1 (>L:Tvl_ServeDrinks, number)";
  const std::string lost =
      " script sets Tvl_ServeDrinks to 0 on every cycle, before the module's frame, so the module may never see the 1 "
      "that the <Click> at ";
  const std::string advice = " writes; release it on the mouse event instead, " + kPressAndRelease + ", or after a timer";
  struct Case {
    std::string every_cycle;
    std::vector<std::string> expected;  // at the write of 0 on line 2, the click being on line 1
  };
  const Case cases[] = {
      {"g.xml Update: 0 (>L:Tvl_ServeDrinks, number)", {"g.xml:2:3: error: this <Update>" + lost + "line 1" + advice}},
      {"h.xml Value: (L:Tvl_ServeDrinks, number) if{ 0 (>L:Tvl_ServeDrinks, number) } (L:Tvl_ServeDrinks, number)",
       {"h.xml:2:35: error: this <Value>" + lost + "g.xml:1" + advice}},
      {"g.xml Update: (L:Tvl_ServeDrinks, number) ! if{ quit } els{ 0 (>L:Tvl_ServeDrinks, number) }",
       {"g.xml:2:49: error: this <Update>" + lost + "line 1" + advice}},
      // Timers and other conditions hold the press for a while.
      {"g.xml Update: (P:Absolute time, seconds) (L:Drinks_pressed_at, seconds) 0.3 + > if{ 0 (>L:Tvl_ServeDrinks, "
       "number) }",
       {}},
      {"g.xml Update: (P:Absolute time, seconds) (L:Drinks_pressed_at, seconds) 0.3 + < if{ quit } 0 "
       "(>L:Tvl_ServeDrinks, number)",
       {}},
      {"g.xml Update: (A:ELECTRICAL MASTER BATTERY, bool) if{ } els{ (L:Tvl_ServeDrinks, number) if{ 0 "
       "(>L:Tvl_ServeDrinks, number) } }",
       {}},
      {"g.xml Update: (P:Absolute time, seconds) (L:Drinks_pressed_at, seconds) 0.3 + < if{ g1 } 0 "
       "(>L:Tvl_ServeDrinks, number) :1",
       {}},
      {"g.xml Update: (L:Tvl_ServeDrinks, number) (L:Other, number) and if{ 0 (>L:Tvl_ServeDrinks, number) }", {}},
      {"g.xml Update: (A:ELECTRICAL MASTER BATTERY, bool) d (>L:Battery, number) if{ 0 (>L:Tvl_ServeDrinks, number) }",
       {}},
      {"g.xml Update: quit 0 (>L:Tvl_ServeDrinks, number)", {}},
      // Blocks that do not match are no condition.
      {"g.xml Update: } els{ 0 (>L:Tvl_ServeDrinks, number)", {"g.xml:2:10: error: this <Update>" + lost + "line 1" + advice}},
      {"g.xml Update: (L:Tvl_ServeDrinks, number) (>L:Tvl_ServeDrinks, number)", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Check({click, c.every_cycle}), c.expected) << c.every_cycle;
  }
  // The click named is the one of the same gauge, and the advice fits its events.
  EXPECT_EQ(Check({"g.xml Click+: 1 (>L:Tvl_ServeDrinks, number)", click, "g.xml Update: 0 (>L:Tvl_ServeDrinks, number)"}),
            std::vector<std::string>{"g.xml:3:3: error: this <Update>" + lost + "line 1 writes; release it on the mouse "
                                     "event instead, write 0 only on LeftRelease, when the mouse button comes up, or "
                                     "after a timer"});
  EXPECT_EQ(Check({click, "h.xml Click: 1 (>L:Tvl_CallMayday, number)", "h.xml Click: 1 (>L:Tvl_ServeDrinks, number)",
                   "h.xml Update: 0 (>L:Tvl_ServeDrinks, number)"}),
            std::vector<std::string>{"h.xml:4:3: error: this <Update>" + lost + "line 3" + advice});
  // Released on the mouse button coming up, or the every-cycle write not against a click's 1.
  EXPECT_EQ(Check({"g.xml Click+: (M:Event) 'LeftRelease' scmp 0 == if{ 0 (>L:Tvl_ServeDrinks, number) } els{ 1 "
                   "(>L:Tvl_ServeDrinks, number) }",
                   "g.xml Update: (L:Tvl_ServeDrinks, number) (>L:Tvl_ServeDrinks, number)"}),
            std::vector<std::string>{});
  EXPECT_EQ(Check({"g.xml Click: 1 (>L:Tvl_PlayMusic, number)", "g.xml Update: 0 (>L:Tvl_PlayMusic, number)",
                   "g.xml Update: 0 (>L:Tvl_ServeDrinks, number)"}),
            std::vector<std::string>{});
}

TEST(LostPressesTest, ACommandSwitchedLikeAToggle) {
  const std::string flipped =
      " is switched like an on/off toggle, but it is a command: the module sends its chord when it goes from 0 to 1, "
      "so on every second click only; press and release it instead: " +
      kPressAndRelease;
  EXPECT_EQ(Check({"g.xml Click: (L:Tvl_Kneeboard, number) ! (>L:Tvl_Kneeboard, number)",
                   "g.xml Click: 1 (L:Tvl_PlayMovie, number) - (>L:Tvl_PlayMovie, number)",
                   "g.xml Click: (M:Event) 'LeftSingle' scmp 0 == if{ (L:Tvl_Ask250kts, number) 1 r - "
                   "(>L:Tvl_Ask250kts, number) }"}),
            (std::vector<std::string>{"g.xml:1:29: warning: Tvl_Kneeboard" + flipped,
                                      "g.xml:2:31: warning: Tvl_PlayMovie" + flipped,
                                      "g.xml:3:70: warning: Tvl_Ask250kts" + flipped}));
  // Toggles and the seat-belt sign are switches; another variable's value is no flip.
  EXPECT_EQ(Check({"g.xml Click: (L:Tvl_PlayMusic, number) ! (>L:Tvl_PlayMusic, number)",
                   "g.xml Click: (L:Tvl_SeatbeltSign, number) ! (>L:Tvl_SeatbeltSign, number)",
                   "g.xml Click: (L:Other, number) ! (>L:Tvl_Kneeboard, number)",
                   "g.xml Click: (>L:Tvl_Kneeboard, number)"}),
            std::vector<std::string>{});
}

}  // namespace
