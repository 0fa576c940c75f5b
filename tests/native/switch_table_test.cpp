// The switch table's pass seen from the host and the main window, frame by frame: the
// chords each frame sent, the values it wrote, and how many rows it read.

#include <climits>
#include <utility>

#include "tests/native/module_fixture.h"
#include "tests/support/chord_messages.h"
#include "tests/support/commands.h"

namespace {

struct Frame {
  std::vector<std::pair<std::string, std::int32_t>> sets = {};  // panel gauges write these first
  std::string chords = "";                                      // keys of the chords sent
  std::vector<std::string> writes = {};                         // expressions that wrote a variable
  int rows_read = 14;
};

struct Case {
  const char* name;
  std::vector<Frame> frames;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

std::string Write(std::int32_t value, const std::string& name) {
  return std::to_string(value) + " (>L:" + name + ", number)";
}

class SwitchTableTest : public ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    standin::CreateStandinWindow("FS98MAIN", 2);
  }

  static std::vector<std::string> Writes() { return ExpressionsWith("(>L:"); }

  // Rows read this frame: every read but the seat-belt variable's, which comes first.
  static int RowsRead() {
    const std::vector<std::string> texts = standin::Expressions();
    EXPECT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "(L:Tvl_SeatbeltSign, number)");
    int reads = 0;
    for (const std::string& text : texts) {
      reads += text.rfind("(L:", 0) == 0 ? 1 : 0;
    }
    return reads - 1;
  }

  static void Play(const std::vector<Frame>& frames) {
    int number = 0;
    for (const Frame& frame : frames) {
      SCOPED_TRACE("frame " + std::to_string(++number));
      for (const auto& [name, value] : frame.sets) {
        standin::panel.variables[name] = value;
      }
      RunFrame();
      EXPECT_EQ(Chords(), frame.chords);
      EXPECT_EQ(Writes(), frame.writes);
      EXPECT_EQ(RowsRead(), frame.rows_read);
    }
  }
};

class SwitchTableCases : public SwitchTableTest, public ::testing::WithParamInterface<Case> {};

TEST_P(SwitchTableCases, Frames) { Play(GetParam().frames); }

INSTANTIATE_TEST_SUITE_P(
    Cases, SwitchTableCases,
    ::testing::Values(
        Case{"MomentaryFiresOncePerPress",
             {{.sets = {{"Tvl_CallMayday", 0}}},
              {.sets = {{"Tvl_CallMayday", 1}}, .chords = "M"},
              {},
              {.sets = {{"Tvl_CallMayday", 0}}},
              {.sets = {{"Tvl_CallMayday", 1}}, .chords = "M"}}},
        Case{"MomentaryNeedsZeroBeforeOne",
             {{.sets = {{"Tvl_PassengerList", 0}}},
              {.sets = {{"Tvl_PassengerList", 2}}},
              {.sets = {{"Tvl_PassengerList", 1}}},
              {.sets = {{"Tvl_PassengerList", 0}}},
              {.sets = {{"Tvl_PassengerList", 1}}, .chords = "P"}}},
        Case{"MomentaryFromNegativeToOneNeverFires",
             {{.sets = {{"Tvl_ServeDrinks", -1}}}, {.sets = {{"Tvl_ServeDrinks", 1}}}, {}}},
        Case{"MomentaryOneOnFirstFrameFires", {{.sets = {{"Tvl_Ask250kts", 1}}, .chords = "3"}}},
        Case{"MomentaryOtherValuesNeverFire",
             {{.sets = {{"Tvl_Kneeboard", -1}}}, {.sets = {{"Tvl_Kneeboard", 5}}}, {.sets = {{"Tvl_Kneeboard", 0}}},
              {.sets = {{"Tvl_Kneeboard", INT_MAX}}}}},
        Case{"ToggleOneOnFirstFrameFires", {{.sets = {{"Tvl_PlayMusic", 1}}, .chords = "T"}, {}}},
        Case{"ToggleFiresOnEveryChange",
             {{.sets = {{"Tvl_MiniDisplay", 1}}, .chords = "V"},
              {.sets = {{"Tvl_MiniDisplay", 0}}, .chords = "V"},
              {.sets = {{"Tvl_MiniDisplay", 1}}, .chords = "V"},
              {.sets = {{"Tvl_MiniDisplay", 5}}, .chords = "V"},
              {}}},
        Case{"ToggleTwoFlipsWithoutChordAndEndsThePass",
             {{.sets = {{"Tvl_PlayMusic", 2}}, .writes = {Write(1, "Tvl_PlayMusic")}, .rows_read = 2},
              {}}},
        Case{"ToggleTwoAfterFiveWritesMinusFour",
             {{.sets = {{"Tvl_PlayMusic", 1}}, .chords = "T"},
              {.sets = {{"Tvl_PlayMusic", 5}}, .chords = "T"},
              {.sets = {{"Tvl_PlayMusic", 2}}, .writes = {Write(-4, "Tvl_PlayMusic")}, .rows_read = 2},
              {}}},
        Case{"ToggleMinusOneThenTwoFlipsTwice",
             {{.sets = {{"Tvl_GPWS_GearWarning", -1}}, .chords = "2"},
              {.sets = {{"Tvl_GPWS_GearWarning", 2}}, .writes = {Write(2, "Tvl_GPWS_GearWarning")}, .rows_read = 13},
              {.writes = {Write(-1, "Tvl_GPWS_GearWarning")}, .rows_read = 13},
              {}}},
        Case{"ToggleFlipWrapsAtTheLimits",
             {{.sets = {{"Tvl_VerboseMiniDisplay", INT_MIN}}, .chords = "C"},
              {.sets = {{"Tvl_VerboseMiniDisplay", 2}}, .writes = {Write(INT_MIN + 1, "Tvl_VerboseMiniDisplay")}, .rows_read = 11},
              {}}},
        Case{"TwoTogglesAtTwoFlipOnSuccessiveFrames",
             {{.sets = {{"Tvl_PlayMusic", 2}, {"Tvl_GPWS_FlapsWarning", 2}}, .writes = {Write(1, "Tvl_PlayMusic")}, .rows_read = 2},
              {.writes = {Write(1, "Tvl_GPWS_FlapsWarning")}, .rows_read = 12},
              {}}},
        Case{"MomentaryBelowAnEarlyEndMissesItsPress",
             {{.sets = {{"Tvl_PlayMusic", 2}, {"Tvl_Ask250kts", 1}}, .writes = {Write(1, "Tvl_PlayMusic")}, .rows_read = 2},
              {.sets = {{"Tvl_Ask250kts", 0}}},
              {}}},
        Case{"SeveralCommandsInOneFrameGoInTableOrder",
             {{.sets = {{"Tvl_Ask250kts", 1}, {"Tvl_CallMayday", 1}, {"Tvl_MiniDisplay", 1}, {"Tvl_ServeDrinks", 1}},
               .chords = "MDV3"}}}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

// One whole frame: the seat-belt variable, then rows 0 to 13 in order; a toggle reading 2
// is the last read of its frame.
TEST_F(SwitchTableTest, ReadOrderOfAFrame) {
  std::vector<std::string> reads = {"(L:Tvl_SeatbeltSign, number)"};
  for (const Command& command : kCommands) {
    reads.push_back(std::string("(L:") + command.variable + ", number)");
  }
  RunFrame();
  EXPECT_EQ(standin::Expressions(), reads);

  standin::panel.variables["Tvl_MiniDisplay"] = 2;
  RunFrame();
  std::vector<std::string> ended(reads.begin(), reads.begin() + 11);
  ended.push_back("1 (>L:Tvl_MiniDisplay, number)");
  EXPECT_EQ(standin::Expressions(), ended);
}

// Each command variable pressed alone gives exactly its own key and scan code, and
// released, the chord again for an on/off feature and nothing for a command.
TEST_F(SwitchTableTest, EveryRowSendsItsOwnChordOfItsKind) {
  RunFrame();
  for (const Command& command : kCommands) {
    SCOPED_TRACE(command.variable);
    const std::vector<standin::DeliveredMessage> chord =
        ChordMessages<standin::DeliveredMessage>(command.key, command.scan_code, BYTE{0x80});
    standin::panel.variables[command.variable] = 1;
    RunFrame();
    EXPECT_EQ(standin::input.messages, chord);
    standin::panel.variables[command.variable] = 0;
    RunFrame();
    EXPECT_EQ(standin::input.messages, command.toggle ? chord : std::vector<standin::DeliveredMessage>{});
  }
}

// A read for which the host stores nothing takes the value the frame's previous read left,
// and that value is judged as the row's own.
TEST_F(SwitchTableTest, ReadThatStoresNothingTakesThePreviousValue) {
  standin::panel.unset_read = standin::UnsetRead::kStoresNothing;
  standin::panel.variables["Tvl_SeatbeltSign"] = 1;
  for (const char* name : {"Tvl_PlayMusic", "Tvl_PassengerList", "Tvl_Kneeboard", "Tvl_ServeDrinks",
                           "Tvl_ServeSandwiches", "Tvl_ServeHotMeal", "Tvl_PlayMovie", "Tvl_MiniDisplay",
                           "Tvl_VerboseMiniDisplay", "Tvl_GPWS_FlapsWarning", "Tvl_GPWS_GearWarning"}) {
    standin::panel.variables[name] = 0;
  }
  // Tvl_CallMayday takes the seat-belt read's 1, Tvl_InFlightReport the 0 of Tvl_PlayMusic,
  // Tvl_Ask250kts the 0 of Tvl_GPWS_GearWarning.
  Play({{.chords = "M"}, {}});
  EXPECT_EQ(switch_table[0].last_value, 1);
  EXPECT_EQ(switch_table[2].last_value, 0);
}

// With the add-on's sign at 7 and the panel unchanged, the seat-belt step leaves 1 in the
// frame's value, which the first row's empty read then takes.
TEST_F(SwitchTableTest, ReadThatStoresNothingTakesTheSeatbeltStepsChoice) {
  standin::panel.unset_read = standin::UnsetRead::kStoresNothing;
  standin::LoadAddonLibrary().record.seatbelt_sign = 7;
  standin::panel.variables["Tvl_SeatbeltSign"] = 0;
  standin::panel.variables["Tvl_PlayMusic"] = 0;
  RunFrame();
  EXPECT_EQ(Chords(), "M");
  EXPECT_EQ(standin::panel.variables["Tvl_SeatbeltSign"], 1);
}

// Without the add-on and without the main window the rows are still read and remembered;
// the chords reach no one, and a change already seen sends nothing once the window is back.
TEST_F(SwitchTableTest, NoAddonAndNoWindowStillTrackTheRows) {
  standin::ResetInput();
  standin::panel.variables["Tvl_CallMayday"] = 1;
  standin::panel.variables["Tvl_MiniDisplay"] = 1;
  RunFrame();
  EXPECT_EQ(RowsRead(), 14);
  EXPECT_EQ(standin::input.calls, (std::vector<std::string>{"FindWindowA(FS98MAIN)", "FindWindowA(FS98MAIN)"}));
  EXPECT_EQ(switch_table[0].last_value, 1);
  EXPECT_EQ(switch_table[9].last_value, 1);

  standin::CreateStandinWindow("FS98MAIN", 2);
  RunFrame();
  EXPECT_EQ(Chords(), "");
  standin::panel.variables["Tvl_MiniDisplay"] = 0;
  RunFrame();
  EXPECT_EQ(Chords(), "V");
}

// A row of any other kind is passed over without a read.
TEST_F(SwitchTableTest, RowOfUnknownKindIsNotRead) {
  const SwitchKind kind = switch_table[3].kind;
  switch_table[3].kind = static_cast<SwitchKind>(7);
  standin::panel.variables["Tvl_PassengerList"] = 1;
  RunFrame();
  switch_table[3].kind = kind;
  EXPECT_EQ(RowsRead(), 13);
  EXPECT_EQ(Chords(), "");
  for (const std::string& text : standin::Expressions()) {
    EXPECT_EQ(text.find("Tvl_PassengerList"), std::string::npos);
  }
}

}  // namespace
