#include "tools/gauge_host/common/diagnostic.h"

#include <algorithm>

namespace gauge_host {

std::string FormatDiagnostic(const Diagnostic& diagnostic) {
  static constexpr const char* kSeverityWords[] = {"error", "warning", "note"};
  std::string text = diagnostic.file;
  if (diagnostic.position.line > 0) {
    text += ":" + std::to_string(diagnostic.position.line);
    if (diagnostic.position.column > 0) {
      text += ":" + std::to_string(diagnostic.position.column);
    }
  }
  return text + ": " + kSeverityWords[static_cast<int>(diagnostic.severity)] + ": " + diagnostic.message;
}

std::size_t ErrorCount(const std::vector<Diagnostic>& diagnostics) {
  return static_cast<std::size_t>(std::count_if(diagnostics.begin(), diagnostics.end(), [](const Diagnostic& diagnostic) {
    return diagnostic.severity == Severity::kError;
  }));
}

}  // namespace gauge_host
