// Whole frames through GaugeCallback built for Windows, with the stand-in host's service
// table and a real "FS98MAIN" window under Wine: each command variable's chord.

#include <gtest/gtest.h>

#include "bridge/gauge_callback.h"
#include "host/panel_services.h"
#include "standin/win32/main_window.h"
#include "standin/shared/panel_system.h"

namespace {

struct Row {
  const char* name;
  std::uint32_t virtual_key, scan_code;
  bool toggle;
};

const Row kRows[] = {
    {"Tvl_CallMayday", 'M', 0x32, false},        {"Tvl_PlayMusic", 'T', 0x14, true},
    {"Tvl_InFlightReport", 'I', 0x17, false},    {"Tvl_PassengerList", 'P', 0x19, false},
    {"Tvl_Kneeboard", 'K', 0x25, false},         {"Tvl_ServeDrinks", 'D', 0x20, false},
    {"Tvl_ServeSandwiches", 'F', 0x21, false},   {"Tvl_ServeHotMeal", 'H', 0x23, false},
    {"Tvl_PlayMovie", 'O', 0x18, false},         {"Tvl_MiniDisplay", 'V', 0x2F, true},
    {"Tvl_VerboseMiniDisplay", 'C', 0x2E, true}, {"Tvl_GPWS_FlapsWarning", '1', 0x02, true},
    {"Tvl_GPWS_GearWarning", '2', 0x03, true},   {"Tvl_Ask250kts", '3', 0x04, false}};

void RunFrame() { GaugeCallback(0, kFrameServiceCode, 0); }

// The window lives on a thread of its own, as the simulator's main window does beside the
// thread that runs the panels.
TEST(BridgeWin32Test, EveryCommandVariableSendsItsChord) {
  standin::ResetPanel();
  ImportTable.panel_services.services = &standin::panel_services;
  standin::MainWindow window = standin::CreateMainWindow(true);
  ASSERT_NE(window.handle, nullptr);

  RunFrame();
  EXPECT_TRUE(standin::received_messages.empty());
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    standin::received_messages.clear();
    standin::panel.variables[row.name] = 1;
    RunFrame();
    ASSERT_EQ(standin::received_messages.size(), 3u);
    const std::uint32_t scan_bits = row.scan_code << 16;
    EXPECT_EQ(standin::received_messages[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(standin::received_messages[0].wparam, row.virtual_key);
    EXPECT_EQ(standin::received_messages[0].lparam, scan_bits | 0x00000001u);
    EXPECT_EQ(standin::received_messages[1].message, static_cast<UINT>(WM_CHAR));
    // Across threads an ANSI window receives the character's low byte.
    EXPECT_EQ(standin::received_messages[1].wparam & 0xFF, (row.virtual_key - 0x40) & 0xFF);
    EXPECT_EQ(standin::received_messages[1].lparam, scan_bits | 0xE0000001u);
    EXPECT_EQ(standin::received_messages[2].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(standin::received_messages[2].wparam, row.virtual_key);
    EXPECT_EQ(standin::received_messages[2].lparam, scan_bits | 0xC0000001u);
    for (const standin::ReceivedMessage& message : standin::received_messages) {
      EXPECT_TRUE(message.control_down);
      EXPECT_TRUE(message.shift_down);
    }
    standin::received_messages.clear();
    standin::panel.variables[row.name] = 0;
    RunFrame();
    // Releasing a toggle is a change too; releasing a command is not.
    EXPECT_EQ(standin::received_messages.size(), row.toggle ? 3u : 0u);
  }
  EXPECT_EQ(standin::panel.errors, std::vector<std::string>{});
  standin::DestroyMainWindow(window);
}

// A toggle set to 2 is flipped in the panel without a chord, and ends that frame's pass.
TEST(BridgeWin32Test, ToggleAtTwoIsWrittenBackWithoutAChord) {
  standin::ResetPanel();
  ImportTable.panel_services.services = &standin::panel_services;
  standin::MainWindow window = standin::CreateMainWindow(false);
  standin::panel.variables["Tvl_PlayMusic"] = 2;
  standin::panel.variables["Tvl_CallMayday"] = 1;
  RunFrame();
  EXPECT_EQ(standin::panel.variables["Tvl_PlayMusic"], 1);
  ASSERT_EQ(standin::received_messages.size(), 3u);
  EXPECT_EQ(standin::received_messages[0].wparam, static_cast<std::uint32_t>('M'));
  EXPECT_EQ(standin::Expressions().back(), "1 (>L:Tvl_PlayMusic, number)");
  standin::DestroyMainWindow(window);
}

}  // namespace
