// The module's state as it is when the library loads, with the host's table given.
#pragma once

#include "bridge/gauge_callback.h"
#include "bridge/switch_table.h"
#include "host/panel_services.h"

inline void ResetModuleState(PanelServices& host_services) {
  ImportTable.panel_services.services = &host_services;
  addon_record = nullptr;
  last_seatbelt_value = 0;
  for (SwitchEntry* row = switch_table; row->kind != SWITCH_END; ++row) {
    row->last_value = 0;
  }
}
