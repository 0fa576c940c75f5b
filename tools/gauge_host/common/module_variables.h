// The module's fifteen variables as the host knows them, taken from the module's own
// code: the seat-belt sign, then the switch table's rows in their order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "bridge/switch_table.h"

namespace gauge_host {

// The fifteen names, the seat-belt sign first.
const std::vector<std::string>& ModuleVariableNames();

bool IsModuleVariable(std::string_view name);

// The switch table's row of a command variable, or nullptr for the seat-belt sign and
// for every other name.
const SwitchEntry* SwitchRowOf(std::string_view name);

// The row that sends Ctrl+Shift+key, or nullptr when none does.
const SwitchEntry* SwitchRowOfKey(char key);

// The module's variable nearest to the name, ignoring case.
std::string ClosestModuleVariable(std::string_view name);

}  // namespace gauge_host
