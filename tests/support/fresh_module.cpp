#include "tests/support/fresh_module.h"

#include "bridge/gauge_callback.h"
#include "bridge/switch_table.h"
#include "host/panel_services.h"
#include "standin/panel_system.h"
#include "standin/win32_input.h"
#include "standin/win32_loader.h"

void StartFreshModule() {
  standin::ResetPanel();
  standin::ResetLoader();
  standin::ResetInput();
  ImportTable.panel_services.services = &standin::panel_services;
  addon_record = nullptr;
  last_seatbelt_value = 0;
  for (SwitchEntry* row = switch_table; row->kind != SWITCH_END; ++row) {
    row->last_value = 0;
  }
}
