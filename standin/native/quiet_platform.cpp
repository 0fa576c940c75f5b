#include "standin/native/quiet_platform.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "host/module_names.h"
#include "standin/native/unsupported.h"

namespace quiet {

Platform platform;
PanelServices services = [] {
  PanelServices table{};
  table.execute_calculator = Calculate;
  return table;
}();

using standin::Unsupported;

namespace {

std::int32_t* Slot(const char* name, std::size_t length, bool create) {
  for (int index = 0; index < platform.variable_count; ++index) {
    if (std::strlen(platform.names[index]) == length && std::strncmp(platform.names[index], name, length) == 0) {
      return &platform.values[index];
    }
  }
  if (!create) {
    return nullptr;
  }
  if (platform.variable_count == 16 || length >= sizeof platform.names[0]) {
    Unsupported("more or longer variables than the quiet panel holds");
  }
  char* slot_name = platform.names[platform.variable_count];
  std::memcpy(slot_name, name, length);
  slot_name[length] = '\0';
  platform.values[platform.variable_count] = 0;
  return &platform.values[platform.variable_count++];
}

}  // namespace

void Reset() {
  std::memset(&platform, 0, sizeof platform);
  platform.addon.tvl_export = &platform.addon.record;
}

void SetVariable(const char* name, std::int32_t value) { *Slot(name, std::strlen(name), true) = value; }

std::int32_t Variable(const char* name) {
  const std::int32_t* slot = Slot(name, std::strlen(name), false);
  return slot == nullptr ? 0 : *slot;
}

std::int32_t HOST_CALL Calculate(const char* expression, double*, std::int32_t* integer_result, const char**) {
  ++platform.calculator_calls;
  static constexpr char kRead[] = "(L:";
  static constexpr char kWrite[] = " (>L:";
  static constexpr char kEnd[] = ", number)";
  const char* end = std::strstr(expression, kEnd);
  if (end == nullptr) {
    Unsupported(expression);
  }
  if (std::strncmp(expression, kRead, 3) == 0 && integer_result != nullptr) {
    const std::int32_t* slot = Slot(expression + 3, static_cast<std::size_t>(end - expression - 3), false);
    *integer_result = slot == nullptr ? 0 : *slot;
    return 1;
  }
  const char* write = std::strstr(expression, kWrite);
  if (write == nullptr || integer_result != nullptr) {
    Unsupported(expression);
  }
  const char* name = write + std::strlen(kWrite);
  *Slot(name, static_cast<std::size_t>(end - name), true) = static_cast<std::int32_t>(std::strtol(expression, nullptr, 10));
  return 1;
}

}  // namespace quiet

using quiet::platform;

HMODULE WINAPI GetModuleHandleA(LPCSTR module_name) {
  const bool addon = strcasecmp(module_name, kAddonModule) == 0 || strcasecmp(module_name, kAddonLibrary) == 0;
  return addon && platform.addon_loaded ? reinterpret_cast<HMODULE>(&platform.addon) : nullptr;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR proc_name) {
  if (module != reinterpret_cast<HMODULE>(&platform.addon)) {
    standin::Unsupported("GetProcAddress on a module that is not mapped");
  }
  return std::strcmp(proc_name, kAddonExport) == 0 ? reinterpret_cast<FARPROC>(&platform.addon.tvl_export) : nullptr;
}

BOOL WINAPI GetModuleHandleExA(DWORD, LPCSTR module_name, HMODULE* module) {
  *module = GetModuleHandleA(module_name);
  return *module != nullptr ? TRUE : FALSE;
}

HWND WINAPI FindWindowA(LPCSTR, LPCSTR) { return platform.main_window ? reinterpret_cast<HWND>(1) : nullptr; }
DWORD WINAPI GetWindowThreadProcessId(HWND, LPDWORD) { return 2; }
DWORD WINAPI GetCurrentThreadId() { return 1; }
BOOL WINAPI AttachThreadInput(DWORD, DWORD, BOOL) { return TRUE; }

BOOL WINAPI GetKeyboardState(PBYTE key_state) {
  std::memcpy(key_state, platform.keyboard, sizeof platform.keyboard);
  return TRUE;
}

BOOL WINAPI SetKeyboardState(PBYTE key_state) {
  std::memcpy(platform.keyboard, key_state, sizeof platform.keyboard);
  return TRUE;
}

LRESULT WINAPI SendMessageA(HWND, UINT, WPARAM, LPARAM) {
  ++platform.messages;
  return 0;
}
