// The module's version: the one place that holds it. The version record is made from it,
// and scripts/package reads it to name the release.
#pragma once

#define TVL_VERSION_MAJOR 1
#define TVL_VERSION_MINOR 0
#define TVL_VERSION_PATCH 0

#define TVL_VERSION_STRINGIFY(number) #number
#define TVL_VERSION_QUOTED(number) TVL_VERSION_STRINGIFY(number)
#define TVL_VERSION_TEXT                                                              \
  TVL_VERSION_QUOTED(TVL_VERSION_MAJOR) "." TVL_VERSION_QUOTED(TVL_VERSION_MINOR) "." \
  TVL_VERSION_QUOTED(TVL_VERSION_PATCH)
