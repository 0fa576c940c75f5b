// The gauge host's exit statuses, as --help and the README list them.
#pragma once

namespace gauge_host {

// Playing scenarios: the worst of the scenarios'.
constexpr int kExitAllMet = 0;
constexpr int kExitUnmet = 1;     // an expectation not met
constexpr int kExitUnusable = 2;  // the input cannot be used, or a script failed as it ran

// --check.
constexpr int kExitNoError = 0;    // warnings and notes allowed
constexpr int kExitErrors = 1;     // an error in the files checked
constexpr int kExitUnreadable = 2; // a path cannot be read

}  // namespace gauge_host
