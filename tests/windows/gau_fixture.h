// The built Tvl_LvarSupport.gau, loaded with LoadLibraryA for each test and unloaded after
// it, beside the stand-in add-on "Travinel.dll" and a real "FS98MAIN" window. The pin the
// module takes on the add-on is held as a reference that ends with the test, so that every
// test of one process starts with a freshly loaded module and add-on.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/registration.h"
#include "standin/shared/addon_record.h"
#include "standin/shared/panel_system.h"
#include "standin/windows/loaded_module.h"
#include "standin/windows/main_window.h"

class GauTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::ResetPanel();
    standin::received_messages.clear();
    ASSERT_EQ(GetModuleHandleA("Tvl_LvarSupport.gau"), nullptr) << "an earlier test left the module loaded";
    ASSERT_EQ(GetModuleHandleA("Travinel"), nullptr) << "an earlier test left the add-on loaded";
    module_ = LoadLibraryA("Tvl_LvarSupport.gau");
    ASSERT_NE(module_, nullptr) << "LoadLibraryA failed: " << GetLastError();
    standin::RedirectImport(module_, "kernel32.dll", "GetModuleHandleExA",
                            reinterpret_cast<const void*>(&standin::GetModuleHandleExHoldingPin));
    import_table_ = reinterpret_cast<ImportTableRecord*>(GetProcAddress(module_, "ImportTable"));
    linkage_ = reinterpret_cast<GaugeLinkage*>(GetProcAddress(module_, "Linkage"));
    ASSERT_NE(import_table_, nullptr);
    ASSERT_NE(linkage_, nullptr);
    header_ = linkage_->gauge_headers[0];
  }

  void TearDown() override {
    EXPECT_EQ(standin::panel.errors, std::vector<std::string>{});
    standin::DestroyMainWindow(window_);
    if (module_ != nullptr) {
      FreeLibrary(module_);
    }
    standin::ReleaseHeldPins();
    // The next test starts without the add-on: one still mapped here is one a test left
    // loaded, or a pin held past the module.
    HMODULE addon = GetModuleHandleA("Travinel");
    EXPECT_EQ(addon, nullptr) << "the add-on outlives the test";
    for (; addon != nullptr; addon = GetModuleHandleA("Travinel")) {
      FreeLibrary(addon);
    }
  }

  // What the host does once it has loaded the module, before any call into it.
  void HandOverServiceTable() { import_table_->panel_services.services = &standin::panel_services; }

  // The host passes the gauge's header as its 32-bit word; the module ignores it.
  void CallGauge(std::int32_t service_code) {
    header_->gauge_callback(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(header_)), service_code, 0);
  }
  void RunFrame() { CallGauge(kFrameServiceCode); }

  // The add-on, loaded as the simulator loads it, and its record.
  HMODULE LoadAddon() {
    HMODULE addon = LoadLibraryA("Travinel.dll");
    EXPECT_NE(addon, nullptr) << "LoadLibraryA failed: " << GetLastError();
    return addon;
  }
  static AddonRecord* RecordOf(HMODULE addon) {
    return reinterpret_cast<AddonRecord*>(GetProcAddress(addon, kStandinRecordExport));
  }

  HMODULE module_ = nullptr;
  ImportTableRecord* import_table_ = nullptr;
  GaugeLinkage* linkage_ = nullptr;
  GaugeHeader* header_ = nullptr;
  standin::MainWindow window_;
};
