// The command switch table: the one list of the fourteen command variables, each with
// the Ctrl+Shift+key chord that commands the add-on, and the pass that turns their
// changes into chords.
#pragma once

#include <cstdint>

enum SwitchKind : std::int32_t {
  SWITCH_MOMENTARY = 0,  // a command: sent when the variable goes from 0 to exactly 1
  SWITCH_TOGGLE = 1,     // an on/off feature: sent on every change; 2 flips it without a chord
  SWITCH_END = 2,        // ends the table
};

struct SwitchEntry {
  SwitchKind kind;
  const char* var_name;
  std::uint32_t virtual_key;
  std::uint32_t scan_code;
  std::int32_t last_value;  // the variable as this row last saw or set it
};

// Ended by a SWITCH_END row; only the last_value fields change at run time.
extern SwitchEntry switch_table[];

// The frame's last step, working on the frame's value. Returns at the end row, or after
// a toggle row that read 2.
void ScanSwitchTable(std::int32_t& value);
