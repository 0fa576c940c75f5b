// The panel the gauge host plays: the real module loaded as the simulator's panel system
// loads it, its calls to the panel and to Windows watched and reported to the trace, the
// main window that receives its chords, and the stand-in add-on the scenario loads.
#pragma once

#include <map>
#include <string>

#include "tools/gauge_host/gauge_scripts.h"
#include "tools/gauge_host/scenario.h"
#include "tools/gauge_host/trace.h"

namespace gauge_host {

std::wstring Wide(const std::string& utf8);

// Why a file cannot be read: "no such file", "is a directory", or "" when it can.
std::string FileProblem(const std::string& path);

// Loads the module at path (UTF-8) and finds its gauge "Switches"; false, with the
// reason in the designer's words, when that module cannot be run. Loaded afresh for each
// scenario, from the start of one to its EndPanel.
bool LoadGaugeModule(const std::string& path, std::string& error);

// Sets up the panel around the loaded module: the main window is there, the add-on (at
// addon_path, loaded by the scenario's steps) is not.
// gauges: the designer's gauge files, read, that the scenario's gauge steps put on the panel.
void StartPanel(const std::string& addon_path, int instances, Trace& trace,
                const std::map<std::string, GaugeScripts, std::less<>>& gauges);

// Plays one step; false, with the reason, when Windows fails the host or a gauge script fails.
bool PlayStep(const ScenarioStep& step, const std::string& scenario_name, std::string& error);

// Ends a scenario's panel: the main window goes, the add-on is freed as often as the
// scenario loaded it, and the module is unloaded, with the pin it took on the add-on, so
// that the next scenario loads both afresh. False, with the reason, when one stays loaded.
bool EndPanel(std::string& error);

}  // namespace gauge_host
