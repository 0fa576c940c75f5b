// The native stand-in of the Windows loader, holding the one library the module looks
// for: the cabin add-on "Travinel.dll", whose data export "TvlExport" holds the address
// of its shared record (or null). The image is mapped and unmapped as LoadLibrary and
// FreeLibrary would, so memory of a freed, unpinned add-on is really gone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace standin {

// The add-on's record as the add-on lays it out; the module uses only the second word.
struct AddonRecordImage {
  std::int32_t first_word;
  std::int32_t seatbelt_sign;
  std::int32_t more_words[6];
};

struct AddonLibraryImage {
  AddonRecordImage* tvl_export;  // the exported data symbol "TvlExport"
  AddonRecordImage record;
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
