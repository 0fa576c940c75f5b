// A fresh module in a fresh process for every test: empty panel, no add-on loaded, the
// module state as it is when the library loads, and the host's table in ImportTable.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridge/gauge_callback.h"
#include "host/panel_services.h"
#include "standin/panel_system.h"
#include "standin/win32_loader.h"

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::ResetPanel();
    standin::ResetLoader();
    ImportTable.panel_services.services = &standin::panel_services;
    addon_record = nullptr;
    last_seatbelt_value = 0;
  }

  void TearDown() override {
    EXPECT_EQ(standin::panel.errors, std::vector<std::string>{}) << "the host saw malformed expressions";
    standin::ResetLoader();
  }

  // One call of the gauge callback with the frame service code; the host's and the
  // loader's logs then hold this frame's calls alone.
  static void RunFrame() {
    standin::panel.calculator_calls.clear();
    standin::loader.calls.clear();
    GaugeCallback(0, kFrameServiceCode, 0);
  }

  // The frame's expressions that name the seat-belt variable, in order.
  static std::vector<std::string> SeatbeltExpressions() {
    std::vector<std::string> texts;
    for (const std::string& text : standin::Expressions()) {
      if (text.find("L:Tvl_SeatbeltSign,") != std::string::npos) {
        texts.push_back(text);
      }
    }
    return texts;
  }
};
