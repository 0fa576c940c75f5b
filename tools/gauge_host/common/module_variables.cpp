#include "tools/gauge_host/common/module_variables.h"

#include "host/module_names.h"
#include "tools/gauge_host/common/text.h"

namespace gauge_host {

const std::vector<std::string>& ModuleVariableNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> listed = {kSeatbeltVariable};
    for (const SwitchEntry* row = switch_table; row->kind != SWITCH_END; ++row) {
      listed.emplace_back(row->var_name);
    }
    return listed;
  }();
  return names;
}

bool IsModuleVariable(std::string_view name) { return name == kSeatbeltVariable || SwitchRowOf(name) != nullptr; }

const SwitchEntry* SwitchRowOf(std::string_view name) {
  for (const SwitchEntry* row = switch_table; row->kind != SWITCH_END; ++row) {
    if (name == row->var_name) {
      return row;
    }
  }
  return nullptr;
}

const SwitchEntry* SwitchRowOfKey(char key) {
  for (const SwitchEntry* row = switch_table; row->kind != SWITCH_END; ++row) {
    if (static_cast<char>(row->virtual_key) == key) {
      return row;
    }
  }
  return nullptr;
}

std::string ClosestModuleVariable(std::string_view name) { return Closest(name, ModuleVariableNames()); }

}  // namespace gauge_host
