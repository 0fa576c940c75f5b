// tvl_gauge_host --check PATH...: checks a designer's gauge files and panel.cfg, folders
// searched for "*.xml" and "panel.cfg", and prints what it finds compiler-style.
#pragma once

#include <string>
#include <vector>

namespace gauge_host {

// 0 without errors, 1 with one, 2 when a path cannot be read.
int RunCheck(const std::vector<std::string>& paths);

}  // namespace gauge_host
