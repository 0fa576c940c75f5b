#include "bridge/switch_table.h"

#include <cstdio>

#include "bridge/gauge_callback.h"
#include "host/panel_services.h"
#include "keys/send_key_chord.h"

// Keys and scan codes of the standard PC keyboard, set 1.
SwitchEntry switch_table[] = {
    {SWITCH_MOMENTARY, "Tvl_CallMayday", 0x4D, 0x32, 0},          // M
    {SWITCH_TOGGLE, "Tvl_PlayMusic", 0x54, 0x14, 0},              // T
    {SWITCH_MOMENTARY, "Tvl_InFlightReport", 0x49, 0x17, 0},      // I
    {SWITCH_MOMENTARY, "Tvl_PassengerList", 0x50, 0x19, 0},       // P
    {SWITCH_MOMENTARY, "Tvl_Kneeboard", 0x4B, 0x25, 0},           // K
    {SWITCH_MOMENTARY, "Tvl_ServeDrinks", 0x44, 0x20, 0},         // D
    {SWITCH_MOMENTARY, "Tvl_ServeSandwiches", 0x46, 0x21, 0},     // F
    {SWITCH_MOMENTARY, "Tvl_ServeHotMeal", 0x48, 0x23, 0},        // H
    {SWITCH_MOMENTARY, "Tvl_PlayMovie", 0x4F, 0x18, 0},           // O
    {SWITCH_TOGGLE, "Tvl_MiniDisplay", 0x56, 0x2F, 0},            // V
    {SWITCH_TOGGLE, "Tvl_VerboseMiniDisplay", 0x43, 0x2E, 0},     // C
    {SWITCH_TOGGLE, "Tvl_GPWS_FlapsWarning", 0x31, 0x02, 0},      // 1
    {SWITCH_TOGGLE, "Tvl_GPWS_GearWarning", 0x32, 0x03, 0},       // 2
    {SWITCH_MOMENTARY, "Tvl_Ask250kts", 0x33, 0x04, 0},           // 3
    {SWITCH_END, nullptr, 0, 0, 0},
};

void ScanSwitchTable(std::int32_t& value) {
  for (SwitchEntry* row = switch_table; row->kind != SWITCH_END; ++row) {
    if (row->kind != SWITCH_MOMENTARY && row->kind != SWITCH_TOGGLE) {
      continue;  // no other kind is read
    }
    std::snprintf(format_buffer, sizeof format_buffer, "(L:%s, number)", row->var_name);
    ExecuteCalculator(format_buffer, &value);

    if (row->kind == SWITCH_MOMENTARY) {
      if (row->last_value == 0 && value == 1) {
        SendKeyChord(row->virtual_key, row->scan_code);
      }
      row->last_value = value;
    } else if (value == 2) {
      // Flips the remembered state in the variable without telling the add-on, and ends
      // the pass: at most one flip a frame. Computed unsigned, it wraps at the limits.
      row->last_value = static_cast<std::int32_t>(1u - static_cast<std::uint32_t>(row->last_value));
      std::snprintf(format_buffer, sizeof format_buffer, "%d (>L:%s, number)", row->last_value,
                    row->var_name);
      ExecuteCalculator(format_buffer, nullptr);
      return;
    } else if (value != row->last_value) {
      SendKeyChord(row->virtual_key, row->scan_code);
      row->last_value = value;
    }
  }
}
