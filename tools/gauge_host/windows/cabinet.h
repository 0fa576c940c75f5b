// Reads a cabinet (.cab) file, as an aircraft's panel folder or the simulator's gauges
// folder holds gauges in, with the cabinet API Windows provides (cabinet.dll's FDI), from
// its bytes in memory. Windows only.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "tools/gauge_host/check/aircraft.h"

namespace gauge_host {

// Every member with its bytes; nothing when the bytes are not one whole cabinet.
std::optional<std::vector<CabinetMember>> CabinetMembers(std::string_view cabinet);

}  // namespace gauge_host
