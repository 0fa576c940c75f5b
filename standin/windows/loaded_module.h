// What a host does to a module it loads, beyond what Windows does: it points the module's
// imports of chosen Windows functions at its own, to watch them, and it can hold the
// libraries the module pins as references that end with the module.
//
// Windows keeps a pinned library mapped until the process ends. A host that loads the
// module afresh many times in one process, each time beside an add-on in its starting
// state, holds each pin as one reference instead and releases it once the module is
// unloaded: for the whole life of the module that pinned it, the library stays mapped as
// a pinned one does, and afterwards it can be unloaded and loaded again from its file.
#pragma once

#include <windows.h>

#include <vector>

namespace standin {

// Points every slot of the module's import table that holds `library`'s function `name`
// at `replacement`.
void RedirectImport(HMODULE module, const char* library, const char* name, const void* replacement);

// GetModuleHandleExA with a pin held as one more reference to the library, in held_pins.
BOOL WINAPI GetModuleHandleExHoldingPin(DWORD flags, LPCSTR name, HMODULE* module);

// The libraries pinned through GetModuleHandleExHoldingPin and not yet released, in order.
extern std::vector<HMODULE> held_pins;

// Frees the reference of every held pin; called once the module that pinned them is gone.
void ReleaseHeldPins();

}  // namespace standin
