// The one way the host reports a problem with what a designer gave it, and the one way it
// writes one: "FILE:LINE:COL: error: MESSAGE", as compilers do, so that an editor can jump
// to it. Every reader, the scenario check, the scripts and --check report in this record.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace gauge_host {

// A place in a file; 0 for what is not known (a whole file has no line, a scenario's step
// no column).
struct SourcePosition {
  int line = 0;    // from 1
  int column = 0;  // from 1, in characters
  bool operator==(const SourcePosition&) const = default;
};

enum class Severity { kError, kWarning, kNote };

struct Diagnostic {
  std::string file;
  SourcePosition position;
  Severity severity = Severity::kError;
  std::string message;
  bool operator==(const Diagnostic&) const = default;
};

// "FILE:LINE:COL: error: MESSAGE", without the line or column where they are not known.
std::string FormatDiagnostic(const Diagnostic& diagnostic);

std::size_t ErrorCount(const std::vector<Diagnostic>& diagnostics);

}  // namespace gauge_host
