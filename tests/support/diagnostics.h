// The gauge host's diagnostics as it prints them, for tests that compare what a designer
// reads.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/gauge_host/common/diagnostic.h"

inline std::vector<std::string> Formatted(const std::vector<gauge_host::Diagnostic>& diagnostics) {
  std::vector<std::string> texts;
  for (const gauge_host::Diagnostic& diagnostic : diagnostics) {
    texts.push_back(gauge_host::FormatDiagnostic(diagnostic));
  }
  return texts;
}

// "" for none.
inline std::string Formatted(const std::optional<gauge_host::Diagnostic>& diagnostic) {
  return diagnostic ? gauge_host::FormatDiagnostic(*diagnostic) : "";
}
