// Playing scenarios, one after another: every scenario the command line names read and
// checked, with its gauge files, before the module is loaded; then each played on a panel
// of its own, with its trace, its closing line and its picture, and the total of several.
// Windows only.
#pragma once

#include "tools/gauge_host/command_line/options.h"

namespace gauge_host {

// The exit status: the worst of the scenarios'.
int PlayScenarios(const Options& options);

}  // namespace gauge_host
