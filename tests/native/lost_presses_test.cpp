// --check's lost presses: which elements of either schema hold scripts and when they run,
// and, for scripts placed in files, the press taken back within one run, the release on
// every cycle that can undo a click's press, and the command flipped like a toggle, each
// with the near misses that work.

#include <gtest/gtest.h>

#include "tools/gauge_host/check/lost_presses.h"

namespace {

using gauge_host::PlacedScript;
using gauge_host::RunsOn;
using gauge_host::XmlElement;

XmlElement Element(std::string name, std::string text = "", std::vector<XmlElement> children = {}, int line = 7) {
  XmlElement element;
  element.name = std::move(name);
  if (!text.empty()) {
    const gauge_host::ScriptText placed = gauge_host::TextAt(text, {line, 3});
    element.texts.push_back({placed.text, placed.positions, {line, 3}});
  }
  element.children = std::move(children);
  return element;
}

XmlElement With(XmlElement element, std::string attribute, std::string value) {
  element.attributes.push_back({std::move(attribute), {}, {std::move(value), {}, {}}});
  return element;
}

TEST(LostPressesTest, ScriptsOfBothSchemas) {
  const XmlElement older = Element(
      "Gauge", "",
      {Element("Macro", "1 (>L:Tvl_Kneeboard, number)"), Element("Update", "0 (>L:A, number)"),
       Element("Element", "", {Element("Select", "", {Element("Value", "(L:A, number)"), Element("Case")})}),
       Element("Mouse", "",
               {Element("Area", "",
                        {Element("Tooltip", "Call"), With(Element("Click", "1 (>L:A, number)"), "Kind", "LeftSingle+ LeftRelease")}),
                Element("Area", "", {Element("Click", "2 (>L:B, number)")})})});
  const XmlElement newer = Element(
      "SimBase.Document", "",
      {Element("SimGauge.Gauge", "",
               {Element("Update", "", {Element("Script", "3 (>L:C, number)")}),
                Element("Element", "", {Element("Value", "", {Element("Script", "(L:C, number)")})}),
                Element("MouseArea", "",
                        {Element("TooltipText", "Serve"),
                         Element("MouseClick", "",
                                 {Element("ClickType", "LeftSingle"), Element("ClickType", "LeftRelease"),
                                  Element("Script", "4 (>L:C, number)")}),
                         Element("MouseArea", "",
                                 {Element("ClickType", "RightSingle"), Element("CallbackCode", "5 (>L:C, number)")})})})});
  std::vector<std::string> found;
  for (const XmlElement* root : {&older, &newer}) {
    for (const PlacedScript& script : gauge_host::ScriptsOf(*root, "g.xml")) {
      std::string events;
      for (const std::string& event : script.events) {
        events += "[" + event + "]";
      }
      found.push_back(script.element + (script.runs == RunsOn::kClick ? " on click " : " every cycle ") + events +
                      ": " + script.text.text + " at " + std::to_string(script.text.positions[0].line));
    }
  }
  EXPECT_EQ(found, (std::vector<std::string>{
                       "Update every cycle : 0 (>L:A, number) at 7",
                       "Value every cycle : (L:A, number) at 7",
                       "Click on click [LeftSingle][LeftRelease]: 1 (>L:A, number) at 7",
                       "Click on click [LeftSingle]: 2 (>L:B, number) at 7",
                       "Update every cycle : 3 (>L:C, number) at 7",
                       "Value every cycle : (L:C, number) at 7",
                       "MouseClick on click [LeftSingle][LeftRelease]: 4 (>L:C, number) at 7",
                       "CallbackCode on click [RightSingle]: 5 (>L:C, number) at 7",
                   }));
}

// A macro's text runs where a script uses it, and a finding in it stands at the use (line
// 5 or 6), an argument's bytes where they are written; a macro no script uses runs nowhere.
TEST(LostPressesTest, MacrosExpandedWhereScriptsUseThem) {
  const XmlElement gauge = Element(
      "Gauge", "",
      {With(Element("Macro", "1 (>L:@1, number)", {}, 2), "Name", "Press"),
       With(Element("Macro", "0 (>L:@1, number)", {}, 3), "Name", "Release"),
       With(Element("Macro", "(L:Tvl_@1, number)", {}, 4), "Name", "Var"),
       With(Element("Macro", "@Var(@1) 1 +", {}, 4), "Name", "Next"),
       With(Element("Macro", "1 (>L:Tvl_Kneeboard, number)", {}, 9), "Name", "Unused"),
       //                                      columns 3, 10, 26 and 35
       Element("Mouse", "", {Element("Area", "", {Element("Click", "@Press(Tvl_CallMayday) @Release(Tvl_CallMayday)", {}, 5)})}),
       Element("Element", "", {Element("Value", "@Next(PlayMusic)", {}, 6)})});  // columns 3 and 9
  const std::vector<PlacedScript> scripts = gauge_host::ScriptsOf(gauge, "g.xml");
  ASSERT_EQ(scripts.size(), 2U);
  EXPECT_EQ(scripts[0].text.text, "1 (>L:Tvl_CallMayday, number) 0 (>L:Tvl_CallMayday, number)");
  EXPECT_EQ(scripts[1].text.text, "(L:Tvl_PlayMusic, number) 1 +");
  struct Place {
    std::size_t script;
    std::size_t offset;  // in its expanded text
    int line;
    int column;
  };
  const Place places[] = {
      {0, 0, 5, 3},  {0, 2, 5, 3},  {0, 6, 5, 10}, {0, 19, 5, 23}, {0, 20, 5, 3},
      {0, 30, 5, 26}, {0, 36, 5, 35}, {0, 50, 5, 26},
      {1, 0, 6, 3},  {1, 3, 6, 3},  {1, 7, 6, 9},  {1, 15, 6, 17}, {1, 16, 6, 3}, {1, 28, 6, 3},
  };
  for (const Place& place : places) {
    const gauge_host::ScriptPosition at = scripts[place.script].text.positions.at(place.offset);
    EXPECT_EQ(std::make_pair(at.line, at.column), std::make_pair(place.line, place.column))
        << scripts[place.script].text.text.substr(place.offset);
  }
  std::vector<std::string> findings;
  for (const gauge_host::Diagnostic& finding : gauge_host::CheckLostPresses(scripts)) {
    findings.push_back(gauge_host::FormatDiagnostic(finding).substr(0, 72));
  }
  EXPECT_EQ(findings, (std::vector<std::string>{
                          "g.xml:5:26: error: Tvl_CallMayday is set to 1 at line 5 and back to 0 in"}));
}

// One script a line, "FILE ELEMENT: SCRIPT"; ELEMENT "Update" or "Value" runs every cycle,
// "Click" (for LeftSingle) or "Click+" (for LeftSingle+LeftRelease) on a click.
std::vector<std::string> Check(const std::vector<std::string>& lines) {
  std::vector<PlacedScript> scripts;
  for (std::size_t line = 0; line < lines.size(); ++line) {
    const std::string& text = lines[line];
    const std::size_t space = text.find(' ');
    const std::size_t colon = text.find(": ");
    std::string element = text.substr(space + 1, colon - space - 1);
    const bool release = element == "Click+";
    element = release ? "Click" : element;
    scripts.push_back({text.substr(0, space), element, element == "Click" ? RunsOn::kClick : RunsOn::kEveryCycle,
                       release ? std::vector<std::string>{"LeftSingle", "LeftRelease"}
                               : std::vector<std::string>{"LeftSingle"},
                       gauge_host::TextAt(text.substr(colon + 2), {static_cast<int>(line) + 1, 1})});
  }
  std::vector<std::string> found;
  for (const gauge_host::Diagnostic& finding : gauge_host::CheckLostPresses(scripts)) {
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
