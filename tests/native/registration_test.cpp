// The gauge's seven routines and the module entries, seen from the host's service table.

#include <climits>

#include "host/registration.h"
#include "tests/native/module_fixture.h"

namespace {

using standin::ElementCall;

void CallEveryRoutine(std::uint32_t argument) {
  GaugeQuery();
  GaugeInstall(argument);
  GaugeInitialize();
  GaugeUpdate();
  GaugeGenerate(argument);
  GaugeDraw();
  GaugeKill();
}

std::vector<ElementCall> EveryEntry(GaugeElement* element, std::uint32_t argument) {
  return {{24, element, std::nullopt}, {25, element, argument}, {26, element, std::nullopt},
          {27, element, std::nullopt}, {28, element, argument}, {29, element, std::nullopt},
          {31, element, std::nullopt}};
}

TEST_F(ModuleTest, RoutinesHandTheElementToTheirEntries) {
  GaugeElement* element = Linkage.gauge_headers[0]->element_list[0];
  ASSERT_NE(element, nullptr);
  for (std::uint32_t argument : {0u, 1u, 100u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(argument);
    standin::panel.element_calls.clear();
    CallEveryRoutine(argument);
    EXPECT_EQ(standin::panel.element_calls, EveryEntry(element, argument));
  }
  EXPECT_TRUE(standin::panel.calculator_calls.empty());
}

// The element is found through Linkage at every call, not remembered.
TEST_F(ModuleTest, RoutinesFindTheElementThroughLinkageAtEveryCall) {
  GaugeHeader* switches = Linkage.gauge_headers[0];
  GaugeElement other_element{};
  GaugeElement* other_list[2] = {&other_element, nullptr};
  GaugeHeader other_header = *switches;
  other_header.element_list = other_list;

  Linkage.gauge_headers[0] = &other_header;
  CallEveryRoutine(7);
  Linkage.gauge_headers[0] = switches;
  EXPECT_EQ(standin::panel.element_calls, EveryEntry(&other_element, 7));
}

TEST_F(ModuleTest, ModuleEntriesDoNothing) {
  Linkage.module_init();
  Linkage.module_deinit();
  EXPECT_TRUE(standin::panel.element_calls.empty());
  EXPECT_TRUE(standin::panel.calculator_calls.empty());
  EXPECT_TRUE(standin::loader.calls.empty());
}

// The header reaches the frame callback, and the records point at one another.
TEST_F(ModuleTest, RecordsAreLinked) {
  const GaugeHeader& header = *Linkage.gauge_headers[0];
  EXPECT_EQ(Linkage.gauge_headers[1], nullptr);
  EXPECT_STREQ(header.gauge_name, "Switches");
  EXPECT_EQ(header.element_list[1], nullptr);
  EXPECT_EQ(header.element_list[0]->gauge_header, &header);
  EXPECT_EQ(header.mouse_rectangles[2].kind, kMouseListEnd);
  header.gauge_callback(0, kFrameServiceCode, 0);
  EXPECT_EQ(standin::Expressions().size(), 15u);
}

}  // namespace
