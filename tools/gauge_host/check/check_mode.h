// tvl_gauge_host --check PATH...: checks a designer's gauge files and panel.cfg, folders
// searched for "*.xml" and "panel.cfg", and prints what it finds compiler-style; or
// tvl_gauge_host --check AIRCRAFT_FOLDER [--gauges FOLDER]: the aircraft as the simulator
// loads it (check/aircraft.h).
#pragma once

#include <string>
#include <vector>

namespace gauge_host {

// 0 without errors, 1 with one, 2 when a path cannot be read. gauges_folder: the
// simulator's gauges folder, for an aircraft folder; "" when not given.
int RunCheck(const std::vector<std::string>& paths, const std::string& gauges_folder);

}  // namespace gauge_host
