// Playing scenarios, one after another: every scenario the command line names read and
// checked, with its gauge files, before the module is loaded; then each played on a panel
// of its own, with its trace, its closing line and its picture, and the total of several.
// Windows only.
#pragma once

#include "tools/gauge_host/command_line/options.h"

namespace gauge_host {

// --version: the line that starts every trace, naming the host's version and the module's
// file version and SHA-256. The exit status: 2 when the module cannot be read.
int PrintVersion(const Options& options);

// The exit status: the worst of the scenarios'.
int PlayScenarios(const Options& options);

}  // namespace gauge_host
