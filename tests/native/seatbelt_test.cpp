// The frame callback seen from the host: what each frame reads and writes of the
// seat-belt variable, what it asks the loader, and what it leaves in the add-on's field.

#include <climits>
#include <optional>

#include "tests/native/module_fixture.h"

namespace {

const std::string kRead = "(L:Tvl_SeatbeltSign, number)";
std::string Write(int value) { return std::to_string(value) + " (>L:Tvl_SeatbeltSign, number)"; }

struct Frame {
  std::optional<std::int32_t> panel_sets;  // a panel gauge writes the variable before the frame
  std::optional<std::int32_t> addon_sets;  // the add-on writes its field before the frame
  std::vector<std::string> expressions;    // the frame's seat-belt expressions
  std::int32_t panel_after;
  std::int32_t addon_after;
};

struct Case {
  const char* name;
  std::vector<Frame> frames;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class SeatbeltTest : public ModuleTest, public ::testing::WithParamInterface<Case> {};

// The add-on is loaded before the first frame.
TEST_P(SeatbeltTest, FramesWithAddonLoaded) {
  AddonRecord& record = standin::LoadAddonLibrary().record;
  int number = 0;
  for (const Frame& frame : GetParam().frames) {
    SCOPED_TRACE("frame " + std::to_string(++number));
    if (frame.panel_sets) {
      standin::panel.variables["Tvl_SeatbeltSign"] = *frame.panel_sets;
    }
    if (frame.addon_sets) {
      record.seatbelt_sign = *frame.addon_sets;
    }
    RunFrame();
    EXPECT_EQ(SeatbeltExpressions(), frame.expressions);
    EXPECT_EQ(standin::panel.variables["Tvl_SeatbeltSign"], frame.panel_after);
    EXPECT_EQ(record.seatbelt_sign, frame.addon_after);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SeatbeltTest,
    ::testing::Values(
        Case{"AddonOnPanelZeroWritesOne",
             {{0, 1, {kRead, Write(1)}, 1, 1}, {{}, {}, {kRead, Write(1)}, 1, 1}}},
        Case{"PanelOneOnFirstFrameTogglesAddonOn",
             {{1, 0, {kRead}, 1, 1}, {{}, {}, {kRead, Write(1)}, 1, 1}}},
        Case{"PanelTwoTogglesAddonOffThenPanelIsWrittenZero",
             {{1, 1, {kRead}, 1, 1}, {2, {}, {kRead}, 2, 0}, {{}, {}, {kRead, Write(0)}, 0, 0},
              {{}, {}, {kRead, Write(0)}, 0, 0}}},
        Case{"FieldSevenAndPanelChangeTogglesAddonOff",
             {{0, 0, {kRead, Write(0)}, 0, 0}, {1, 7, {kRead}, 1, 0}, {{}, {}, {kRead, Write(0)}, 0, 0}}},
        Case{"FieldSevenAndPanelUnchangedWritesOneKeepsSeven",
             {{0, 7, {kRead, Write(1)}, 1, 7}, {{}, {}, {kRead, Write(1)}, 1, 7}}},
        Case{"BothFiveWritesFiveEveryFrame",
             {{5, 5, {kRead}, 5, 5}, {{}, {}, {kRead, Write(5)}, 5, 5}, {{}, {}, {kRead, Write(5)}, 5, 5}}},
        Case{"AgreeingAndUnchangedWritesEveryFrame",
             {{0, 0, {kRead, Write(0)}, 0, 0}, {{}, {}, {kRead, Write(0)}, 0, 0}, {{}, {}, {kRead, Write(0)}, 0, 0}}},
        Case{"AddonChangeIsWrittenToPanel",
             {{0, 0, {kRead, Write(0)}, 0, 0}, {{}, 1, {kRead, Write(1)}, 1, 1},
              {{}, 0, {kRead, Write(0)}, 0, 0}}},
        Case{"PanelSwitchedOffAndOnFollowsAddon",
             {{1, 0, {kRead}, 1, 1}, {0, {}, {kRead}, 0, 0}, {1, {}, {kRead}, 1, 1}}},
        // Any sign but 0 is on, a negative one too.
        Case{"NegativeAddonSignIsWrittenAsOne",
             {{0, -3, {kRead, Write(1)}, 1, -3}, {{}, {}, {kRead, Write(1)}, 1, -3}}},
        // The longest seat-belt expression, written whole.
        Case{"LowestValueIsWrittenBackWhole",
             {{INT_MIN, INT_MIN, {kRead}, INT_MIN, INT_MIN}, {{}, {}, {kRead, Write(INT_MIN)}, INT_MIN, INT_MIN}}},
        Case{"ExtremeValuesAreChangesLikeAnyOther",
             {{INT_MIN, 0, {kRead}, INT_MIN, 1}, {INT_MAX, {}, {kRead}, INT_MAX, 0},
              {{}, {}, {kRead, Write(0)}, 0, 0}}}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST_F(ModuleTest, ServiceCodesOtherThanTenTouchNothing) {
  AddonRecord& record = standin::LoadAddonLibrary().record;
  record.seatbelt_sign = 1;
  for (std::int32_t code : {0, 1, 9, 11, -10, 100, INT_MIN, INT_MAX}) {
    SCOPED_TRACE("service code " + std::to_string(code));
    GaugeCallback(0, code, 0);
    EXPECT_TRUE(standin::panel.calculator_calls.empty());
    EXPECT_TRUE(standin::loader.calls.empty());
    EXPECT_EQ(addon_record, nullptr);
    EXPECT_EQ(record.seatbelt_sign, 1);
  }
}

// What the loader is asked on each frame, in each state of the add-on's library.
TEST_F(ModuleTest, LoaderCallsFollowTheSearch) {
  const std::vector<std::string> absent = {"GetModuleHandleA(Travinel)"};
  const std::vector<std::string> export_null = {"GetModuleHandleA(Travinel)", "GetProcAddress(TvlExport)"};
  const std::vector<std::string> found = {"GetModuleHandleA(Travinel)", "GetProcAddress(TvlExport)",
                                          "GetModuleHandleExA(PIN, Travinel)"};

  RunFrame();
  EXPECT_EQ(standin::loader.calls, absent);
  RunFrame();
  EXPECT_EQ(standin::loader.calls, absent);

  standin::AddonLibraryImage& addon = standin::LoadAddonLibrary(/*export_holds_record=*/false);
  RunFrame();
  EXPECT_EQ(standin::loader.calls, export_null);
  EXPECT_EQ(addon_record, nullptr);
  RunFrame();
  EXPECT_EQ(standin::loader.calls, export_null);

  addon.tvl_export = &addon.record;
  RunFrame();
  EXPECT_EQ(standin::loader.calls, found);
  EXPECT_EQ(static_cast<void*>(addon_record), static_cast<void*>(&addon.record));
  for (int frame = 0; frame < 3; ++frame) {
    RunFrame();
    EXPECT_TRUE(standin::loader.calls.empty()) << "the add-on is looked up again once found";
  }
}

// One frame in each state a library named Travinel can be in: what the loader is asked,
// whether the record is taken and the library pinned, and what the next frame asks.
TEST_F(ModuleTest, SearchInEachStateOfTheLibrary) {
  struct Library {
    const char* name;
    bool mapped, exports_tvl_export, export_holds_record;
    std::vector<std::string> calls;
    bool found;
  };
  const std::string look_up = "GetModuleHandleA(Travinel)";
  const std::string read_export = "GetProcAddress(TvlExport)";
  const std::string pin = "GetModuleHandleExA(PIN, Travinel)";
  for (const Library& library : {
           Library{"not mapped", false, false, false, {look_up}, false},
           Library{"mapped without the export", true, false, true, {look_up, read_export}, false},
           Library{"export holding null", true, true, false, {look_up, read_export}, false},
           Library{"export holding the record", true, true, true, {look_up, read_export, pin}, true},
       }) {
    SCOPED_TRACE(library.name);
    StartFreshModule();
    if (library.mapped) {
      standin::LoadAddonLibrary(library.export_holds_record).exports_tvl_export = library.exports_tvl_export;
    }
    RunFrame();
    EXPECT_EQ(standin::loader.calls, library.calls);
    EXPECT_EQ(addon_record != nullptr, library.found);
    EXPECT_EQ(standin::loader.addon_pinned, library.found);
    RunFrame();
    EXPECT_EQ(standin::loader.calls, library.found ? std::vector<std::string>{} : library.calls)
        << "searched again until found, never after";
  }
}

// Before the add-on loads the variable is only tracked; the first frame with the record
// compares against the value tracked on the frame before, not a stale one.
TEST_F(ModuleTest, AddonFoundLateComparesAgainstTrackedValue) {
  RunFrame();
  EXPECT_EQ(SeatbeltExpressions(), std::vector<std::string>{kRead});
  standin::panel.variables["Tvl_SeatbeltSign"] = 1;
  RunFrame();
  EXPECT_EQ(SeatbeltExpressions(), std::vector<std::string>{kRead});
  RunFrame();

  AddonRecord& record = standin::LoadAddonLibrary().record;
  record.seatbelt_sign = 0;
  RunFrame();
  // Unchanged since the frame before: the add-on's state wins, and it is not toggled.
  EXPECT_EQ(SeatbeltExpressions(), (std::vector<std::string>{kRead, Write(0)}));
  EXPECT_EQ(record.seatbelt_sign, 0);
  EXPECT_EQ(standin::panel.variables["Tvl_SeatbeltSign"], 0);
}

TEST_F(ModuleTest, AddonFoundLateAfterPanelChangePassesItOn) {
  RunFrame();
  AddonRecord& record = standin::LoadAddonLibrary().record;
  standin::panel.variables["Tvl_SeatbeltSign"] = 1;
  RunFrame();
  EXPECT_EQ(SeatbeltExpressions(), std::vector<std::string>{kRead});
  EXPECT_EQ(record.seatbelt_sign, 1);
}

// A read for which the host stores nothing leaves the frame's value at 0, its start.
TEST_F(ModuleTest, ReadThatStoresNothingSeesZero) {
  standin::panel.unset_read = standin::UnsetRead::kStoresNothing;
  AddonRecord& record = standin::LoadAddonLibrary().record;
  standin::panel.variables["Tvl_SeatbeltSign"] = 1;
  record.seatbelt_sign = 1;
  RunFrame();
  EXPECT_EQ(last_seatbelt_value, 1);

  standin::panel.variables.erase("Tvl_SeatbeltSign");
  RunFrame();
  // 0 differs from the 1 of the frame before: a panel change, passed on as a toggle.
  EXPECT_EQ(standin::panel.calculator_calls.front().stored, std::nullopt);
  EXPECT_EQ(SeatbeltExpressions(), std::vector<std::string>{kRead});
  EXPECT_EQ(record.seatbelt_sign, 0);
  EXPECT_EQ(last_seatbelt_value, 0);

  RunFrame();
  EXPECT_EQ(SeatbeltExpressions(), (std::vector<std::string>{kRead, Write(0)}));
}

TEST_F(ModuleTest, NeverWrittenVariableReadsZeroFromTheSimulator) {
  AddonRecord& record = standin::LoadAddonLibrary().record;
  record.seatbelt_sign = 0;
  RunFrame();
  ASSERT_FALSE(standin::panel.calculator_calls.empty());
  EXPECT_EQ(standin::panel.calculator_calls.front().stored, 0);
  EXPECT_EQ(SeatbeltExpressions(), (std::vector<std::string>{kRead, Write(0)}));
}

// Once found, the add-on's library is pinned: the simulator freeing it leaves the record
// mapped, and later frames keep working on it (AddressSanitizer would see an unmapped one).
TEST_F(ModuleTest, AddonFreedAfterFoundStaysMapped) {
  standin::LoadAddonLibrary().record.seatbelt_sign = 1;
  RunFrame();
  ASSERT_NE(addon_record, nullptr);
  standin::FreeAddonLibrary();
  ASSERT_NE(standin::loader.addon, nullptr) << "the add-on was unmapped under the module";

  standin::panel.variables["Tvl_SeatbeltSign"] = 0;
  RunFrame();
  EXPECT_EQ(standin::loader.addon->record.seatbelt_sign, 0);
  RunFrame();
  EXPECT_EQ(SeatbeltExpressions(), (std::vector<std::string>{kRead, Write(0)}));
}

// Freed before the module found it, the add-on is really gone and the search goes on.
TEST_F(ModuleTest, AddonFreedBeforeFoundIsSearchedFor) {
  standin::LoadAddonLibrary(/*export_holds_record=*/false);
  RunFrame();
  standin::FreeAddonLibrary();
  EXPECT_EQ(standin::loader.addon, nullptr);
  RunFrame();
  EXPECT_EQ(standin::loader.calls, std::vector<std::string>{"GetModuleHandleA(Travinel)"});
  EXPECT_EQ(addon_record, nullptr);
}

}  // namespace
