// --check's findings on presses of a command the module never sees. The module reads its
// variables once a frame, after the panel's gauges have run their scripts for that cycle,
// and sends a command's chord when it reads 1 after 0: a 1 written and taken back in one
// run of a script, or taken back by a script that runs on every cycle, is lost; a command
// switched like an on/off toggle sends its chord on every second click only.
#pragma once

#include <vector>

#include "tools/gauge_host/common/diagnostic.h"
#include "tools/gauge_host/script/gauge_scripts.h"

namespace gauge_host {

// The lost presses of the scripts the gauges checked together run, on a click or on every
// cycle.
std::vector<Diagnostic> CheckLostPresses(const std::vector<GaugeScripts>& gauges);

}  // namespace gauge_host
