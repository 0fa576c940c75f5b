// The frame callback of the gauge "Switches": finds the cabin add-on, keeps the seat-belt
// sign in step between the panel variable and the add-on's shared record, then runs the
// switch table's pass.
#pragma once

#include <cstdint>

#include "host/panel_services.h"

// Belongs to the add-on and lives in its memory; the module reads and writes it in place.
// The add-on may change the sign from another thread at any time, so every access to it
// is one volatile 32-bit load or store.
struct AddonSharedRecord {
  std::int32_t addon_private;           // the add-on's own, never touched here
  volatile std::int32_t seatbelt_sign;  // 0 = off, any other value = on
};

// Module state, kept from load to unload.
extern AddonSharedRecord* addon_record;  // set once found, never cleared
extern std::int32_t last_seatbelt_value; // the seat-belt variable as the previous frame left it
extern char format_buffer[256];          // every formatted expression is written here

// Called by the host; only the service code is used.
void HOST_CALL GaugeCallback(std::uint32_t gauge, std::int32_t service_code, std::uint32_t extra);

// Looks the add-on's shared record up through the loader; never loads the add-on itself.
void FindAddonRecord();

// The frame's seat-belt step, working on the frame's value.
void SyncSeatbeltSign(std::int32_t& value);
