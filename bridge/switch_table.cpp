#include "bridge/switch_table.h"

#include <cstdio>

#include "bridge/gauge_callback.h"
#include "host/panel_services.h"
#include "keys/send_key_chord.h"

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
