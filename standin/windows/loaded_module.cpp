#include "standin/windows/loaded_module.h"

namespace standin {

std::vector<HMODULE> held_pins;

void RedirectImport(HMODULE module, const char* library, const char* name, const void* replacement) {
  const auto original = reinterpret_cast<ULONG_PTR>(GetProcAddress(GetModuleHandleA(library), name));
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (original == 0 || imports.VirtualAddress == 0) {
    return;
  }
  for (auto* imported = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       imported->Name != 0; ++imported) {
    for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imported->FirstThunk); slot->u1.Function != 0;
         ++slot) {
      if (slot->u1.Function != original) {
        continue;
      }
      DWORD protection = 0;
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
      slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
    }
  }
}

BOOL WINAPI GetModuleHandleExHoldingPin(DWORD flags, LPCSTR name, HMODULE* module) {
  if ((flags & GET_MODULE_HANDLE_EX_FLAG_PIN) == 0) {
    return GetModuleHandleExA(flags, name, module);
  }
  // Without the pin, and without GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, the call
  // takes one reference, the one held here.
  const DWORD counted = flags & ~static_cast<DWORD>(GET_MODULE_HANDLE_EX_FLAG_PIN |
                                                   GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT);
  HMODULE found = nullptr;
  const BOOL result = GetModuleHandleExA(counted, name, &found);
  if (result != FALSE) {
    held_pins.push_back(found);
  }
  if (module != nullptr) {
    *module = found;
  }
  return result;
}

void ReleaseHeldPins() {
  for (HMODULE library : held_pins) {
    FreeLibrary(library);
  }
  held_pins.clear();
}

}  // namespace standin
