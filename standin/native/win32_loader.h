// The native stand-in of the Windows loader, holding the one library the module looks
// for: the cabin add-on "Travinel.dll", whose data export "TvlExport" holds the address
// of its shared record (or null). The image is mapped and unmapped as LoadLibrary and
// FreeLibrary would, so memory of a freed, unpinned add-on is really gone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "standin/shared/addon_record.h"

namespace standin {

struct AddonLibraryImage {
  AddonRecord* tvl_export;  // the exported data symbol "TvlExport"
  AddonRecord record;
  bool exports_tvl_export = true;  // false: a library of that name without the export
};

struct Loader {
  AddonLibraryImage* addon = nullptr;  // null while the add-on is not mapped
  int addon_references = 0;
  bool addon_pinned = false;
  std::vector<std::string> calls;      // every loader call the module made, in order
};

extern Loader loader;

// LoadLibraryA("Travinel.dll"): maps the image on the first load, with its export
// pointing at its record (or null), and counts a reference.
AddonLibraryImage& LoadAddonLibrary(bool export_holds_record = true);

// FreeLibrary on the add-on: drops a reference and unmaps the image when none is left,
// unless the library was pinned.
void FreeAddonLibrary();

// A new process: nothing mapped, no calls seen.
void ResetLoader();

}  // namespace standin
