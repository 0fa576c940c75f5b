// Whole frames through GaugeCallback built for Windows, with the stand-in host's service
// table and a real "FS98MAIN" window under Wine: each command variable's chord.

#include <gtest/gtest.h>

#include "standin/windows/main_window.h"
#include "standin/shared/panel_system.h"
#include "tests/support/chord_messages.h"
#include "tests/support/commands.h"
#include "tests/support/module_state.h"

namespace {

using standin::ReceivedMessage;

void RunFrame() { GaugeCallback(0, kFrameServiceCode, 0); }

// The window goes with the test, also one that stops early: none is left on the desktop.
class BridgeWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::ResetPanel();
    standin::received_messages.clear();
    // The module's state as the library loads it, whatever test ran before in this process.
    ResetModuleState(standin::panel_services);
  }
  void TearDown() override { standin::DestroyMainWindow(window_); }
  standin::MainWindow window_;
};

// The window lives on a thread of its own, as the simulator's main window does beside the
// thread that runs the panels.
TEST_F(BridgeWin32Test, EveryCommandVariableSendsItsChord) {
  window_ = standin::CreateMainWindow(true);
  ASSERT_NE(window_.handle, nullptr) << window_.problem;

  RunFrame();
  EXPECT_TRUE(standin::received_messages.empty());
  for (const Command& command : kCommands) {
    SCOPED_TRACE(command.variable);
    const std::vector<ReceivedMessage> chord =
        CharacterLowBytes(ChordMessages<ReceivedMessage>(command.key, command.scan_code, true));
    standin::received_messages.clear();
    standin::panel.variables[command.variable] = 1;
    RunFrame();
    EXPECT_EQ(CharacterLowBytes(standin::received_messages), chord);
    standin::received_messages.clear();
    standin::panel.variables[command.variable] = 0;
    RunFrame();
    // Releasing a toggle is a change too; releasing a command is not.
    EXPECT_EQ(CharacterLowBytes(standin::received_messages), command.toggle ? chord : std::vector<ReceivedMessage>{});
  }
  EXPECT_EQ(standin::panel.errors, std::vector<std::string>{});
}

// A toggle set to 2 is flipped in the panel without a chord, and ends that frame's pass.
TEST_F(BridgeWin32Test, ToggleAtTwoIsWrittenBackWithoutAChord) {
  window_ = standin::CreateMainWindow(false);
  ASSERT_NE(window_.handle, nullptr) << window_.problem;
  standin::panel.variables["Tvl_PlayMusic"] = 2;
  standin::panel.variables["Tvl_CallMayday"] = 1;
  RunFrame();
  EXPECT_EQ(standin::panel.variables["Tvl_PlayMusic"], 1);
  ASSERT_EQ(standin::received_messages.size(), 3u);
  EXPECT_EQ(standin::received_messages[0].wparam, static_cast<std::uint32_t>('M'));
  EXPECT_EQ(standin::Expressions().back(), "1 (>L:Tvl_PlayMusic, number)");
}

}  // namespace
