// Every test starts with a fresh module (see StartFreshModule) and ends with no
// malformed expression seen by the host.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridge/gauge_callback.h"
#include "bridge/switch_table.h"
#include "host/panel_services.h"
#include "standin/shared/panel_system.h"
#include "standin/native/win32_input.h"
#include "standin/native/win32_loader.h"
#include "tests/support/fresh_module.h"

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { StartFreshModule(); }

  void TearDown() override {
    EXPECT_EQ(standin::panel.errors, std::vector<std::string>{}) << "the host saw malformed expressions";
    standin::ResetLoader();
  }

  // One call of the gauge callback with the frame service code; the host's and the
  // loader's logs then hold this frame's calls alone.
  static void RunFrame() {
    standin::panel.calculator_calls.clear();
    standin::loader.calls.clear();
    standin::input.calls.clear();
    standin::input.messages.clear();
    GaugeCallback(0, kFrameServiceCode, 0);
  }

  // The keys of the chords the frame sent, one character each ("M", "T", "1"): the
  // virtual key of every key-down message the main window handled.
  static std::string Chords() {
    std::string keys;
    for (const standin::DeliveredMessage& message : standin::input.messages) {
      if (message.message == WM_KEYDOWN) {
        keys += static_cast<char>(message.wparam);
      }
    }
    return keys;
  }

  // The frame's expressions that hold the fragment, in order.
  static std::vector<std::string> ExpressionsWith(const std::string& fragment) {
    std::vector<std::string> texts;
    for (const std::string& text : standin::Expressions()) {
      if (text.find(fragment) != std::string::npos) {
        texts.push_back(text);
      }
    }
    return texts;
  }

  // The frame's expressions that name the seat-belt variable, in order.
  static std::vector<std::string> SeatbeltExpressions() { return ExpressionsWith("L:Tvl_SeatbeltSign,"); }
};
