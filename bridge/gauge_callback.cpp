#include "bridge/gauge_callback.h"

#include <cstdio>

#include "bridge/switch_table.h"
#include "host/module_names.h"
#include "host/panel_services.h"
#include "platform/win32.h"

AddonSharedRecord* addon_record = nullptr;
std::int32_t last_seatbelt_value = 0;
char format_buffer[256] = "";

void HOST_CALL GaugeCallback(std::uint32_t /*gauge*/, std::int32_t service_code,
                             std::uint32_t /*extra*/) {
  if (service_code != kFrameServiceCode) {
    return;
  }
  // Every read of this frame lands in value in turn, and a read for which the host stores
  // nothing leaves what the previous read (or the seat-belt step's choice) put there: a
  // row then takes that for its own variable's value.
  std::int32_t value = 0;
  if (addon_record == nullptr) {
    FindAddonRecord();
  }
  SyncSeatbeltSign(value);
  ScanSwitchTable(value);
}

void FindAddonRecord() {
  HMODULE addon = GetModuleHandleA(kAddonModule);
  if (addon == nullptr) {
    return;
  }
  FARPROC symbol = GetProcAddress(addon, kAddonExport);
  if (symbol == nullptr) {
    return;
  }
  // "TvlExport" is a data symbol that holds the record's address: read the pointer there.
  addon_record = *reinterpret_cast<AddonSharedRecord* const*>(symbol);
  if (addon_record != nullptr) {
    // Pinned, the add-on's library stays mapped however often the simulator frees it, so
    // the record never becomes unmapped memory under a later frame.
    HMODULE pinned = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, kAddonModule, &pinned);
  }
}

void SyncSeatbeltSign(std::int32_t& value) {
  ExecuteCalculator("(L:Tvl_SeatbeltSign, number)", &value);
  if (addon_record == nullptr) {
    last_seatbelt_value = value;
    return;
  }
  const std::int32_t addon_sign = addon_record->seatbelt_sign;
  if (value != last_seatbelt_value) {
    // The panel changed the variable since the previous frame: pass the change on by
    // toggling the add-on's sign where the two differ.
    if (value != addon_sign) {
      addon_record->seatbelt_sign = addon_sign == 0 ? 1 : 0;
    }
  } else {
    // Unchanged on the panel: the add-on's state, reduced to 0 or 1, wins.
    if (value != addon_sign) {
      value = addon_sign != 0 ? 1 : 0;
    }
    std::snprintf(format_buffer, sizeof format_buffer, "%d (>L:Tvl_SeatbeltSign, number)", value);
    ExecuteCalculator(format_buffer, nullptr);
  }
  last_seatbelt_value = value;
}
