// A quiet stand-in of the host and of Windows, for measuring the module: it keeps panel
// variables in a fixed table, maps the add-on and the main window as flags, and counts
// calls instead of logging them, so that it never touches the heap itself. It does what
// the full stand-ins do for the calls the module makes, without their records.
#pragma once

#include <cstdint>

#include "host/panel_services.h"
#include "standin/shared/addon_record.h"

namespace quiet {

struct AddonImage {
  AddonRecord* tvl_export;  // holds the record's address
  AddonRecord record;
};

struct Platform {
  // Up to sixteen named variables, created on first write; a read of any other stores 0.
  char names[16][32];
  std::int32_t values[16];
  int variable_count;
  int calculator_calls;
  bool addon_loaded;
  AddonImage addon;
  bool main_window;
  int messages;
  std::uint8_t keyboard[256];
};

extern Platform platform;
extern PanelServices services;

// Back to an empty panel, no add-on, no main window, nothing counted.
void Reset();

// What a panel gauge does: writes a variable.
void SetVariable(const char* name, std::int32_t value);
std::int32_t Variable(const char* name);

// The host's calculator entry, as the module calls it.
std::int32_t HOST_CALL Calculate(const char* expression, double* float_result, std::int32_t* integer_result,
                                 const char** text_result);

}  // namespace quiet
