// --check AIRCRAFT_FOLDER: the aircraft as the simulator loads it. Its aircraft.cfg's
// variations ([fltsim.N]) name their panel folders; a panel.cfg that is only an alias is
// followed to the panel it names; each gauge line of a panel.cfg is followed to its gauge,
// in the panel folder or in the simulator's gauges folder, loose or inside a cabinet
// (Folder.cab). The findings of the gauges actually used, and of each panel.cfg, are
// reported per panel, once for variations that share one.
//
// Where the files are is behind AircraftFiles, so that this reads an aircraft on disk under
// Windows and an aircraft held in memory in the tests alike.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/gauge_host/check/panel_check.h"

namespace gauge_host {

struct CabinetMember {
  std::string name;  // as the cabinet stores it
  std::string bytes;
};

class AircraftFiles {
 public:
  virtual ~AircraftFiles() = default;
  // The names of a folder's files and folders, as written on disk; nothing when the path is
  // no folder.
  virtual std::optional<std::vector<std::string>> FolderEntries(const std::string& folder) const = 0;
  virtual std::optional<std::string> ReadFile(const std::string& path) const = 0;
  // The members of a cabinet file with their bytes; nothing when it cannot be read as one.
  virtual std::optional<std::vector<CabinetMember>> ReadCabinet(const std::string& path) const = 0;
};

// Reads a gauge file's bytes, named `file` in the findings, into the summary: its
// references to variables, or why it cannot be read as XML.
using GaugeReader = std::function<void(const std::string& file, const std::string& bytes, CheckSummary& into)>;

// Whether the folder holds an aircraft.cfg, in any letter case.
bool IsAircraftFolder(const std::string& folder, const AircraftFiles& files);

// The OtherAircraft\panel of a panel.cfg that holds "[fltsim] alias=OtherAircraft\panel"
// (the folder it stands for, relative to the simulator's aircraft folder); nothing otherwise.
std::optional<std::string> PanelAlias(std::string_view panel_config);

struct AircraftCheck {
  std::string report;
  std::size_t errors = 0;
  bool unreadable = false;  // its aircraft.cfg cannot be read
};

// gauges_folder: the simulator's gauges folder, or "" when not given.
AircraftCheck CheckAircraft(const std::string& folder, const std::string& gauges_folder, const AircraftFiles& files,
                            const GaugeReader& read_gauge);

}  // namespace gauge_host
