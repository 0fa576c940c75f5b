#include "standin/native/win32_loader.h"

#include <cstring>
#include <strings.h>

#include "host/module_names.h"
#include "standin/native/unsupported.h"

namespace standin {

Loader loader;

namespace {

// The loader's rule for a module name without a path: case-insensitive, and a name with
// no extension means the ".dll" of that name.
bool NamesAddon(const char* module_name) {
  std::string name = module_name;
  if (name.find_first_of("\\/") != std::string::npos) {
    Unsupported("module name with a path: " + name);
  }
  if (name.find('.') == std::string::npos) {
    name += ".dll";
  }
  return strcasecmp(name.c_str(), kAddonLibrary) == 0;
}

HMODULE AddonHandle() {
  if (loader.addon == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<HMODULE>(loader.addon);
}

}  // namespace

AddonLibraryImage& LoadAddonLibrary(bool export_holds_record) {
  if (loader.addon == nullptr) {
    loader.addon = new AddonLibraryImage{};
    loader.addon->tvl_export = export_holds_record ? &loader.addon->record : nullptr;
  }
  ++loader.addon_references;
  return *loader.addon;
}

void FreeAddonLibrary() {
  if (loader.addon == nullptr) {
    Unsupported("FreeLibrary on the add-on while it is not loaded");
  }
  if (--loader.addon_references == 0 && !loader.addon_pinned) {
    delete loader.addon;
    loader.addon = nullptr;
  }
}

void ResetLoader() {
  delete loader.addon;
  loader = Loader{};
}

}  // namespace standin

using standin::loader;

HMODULE WINAPI GetModuleHandleA(LPCSTR module_name) {
  if (module_name == nullptr) {
    standin::Unsupported("GetModuleHandleA of the process's own module");
  }
  loader.calls.push_back(std::string("GetModuleHandleA(") + module_name + ")");
  return standin::NamesAddon(module_name) ? standin::AddonHandle() : nullptr;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR proc_name) {
  if (module == nullptr || module != standin::AddonHandle()) {
    standin::Unsupported("GetProcAddress on a module that is not mapped");
  }
  if (reinterpret_cast<std::uintptr_t>(proc_name) < 0x10000) {
    standin::Unsupported("GetProcAddress by ordinal");
  }
  loader.calls.push_back(std::string("GetProcAddress(") + proc_name + ")");
  if (std::strcmp(proc_name, kAddonExport) != 0 || !loader.addon->exports_tvl_export) {
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(&loader.addon->tvl_export);
}

BOOL WINAPI GetModuleHandleExA(DWORD flags, LPCSTR module_name, HMODULE* module) {
  if (flags != GET_MODULE_HANDLE_EX_FLAG_PIN || module_name == nullptr || module == nullptr) {
    standin::Unsupported("GetModuleHandleExA other than pinning a module by name");
  }
  loader.calls.push_back(std::string("GetModuleHandleExA(PIN, ") + module_name + ")");
  *module = standin::NamesAddon(module_name) ? standin::AddonHandle() : nullptr;
  if (*module == nullptr) {
    return FALSE;
  }
  loader.addon_pinned = true;
  return TRUE;
}
