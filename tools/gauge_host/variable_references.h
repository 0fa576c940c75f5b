// Finds the panel variables a gauge script reads, "(L:NAME, UNIT)", and writes,
// "(>L:NAME, UNIT)", in a text as the XML parser decoded it, with the constant a write
// stores when the script gives one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gauge_host {

struct VariableReference {
  std::size_t offset = 0;  // of its "(" in the text
  bool write = false;
  std::string name;     // as written: between the last "L:" and the comma or ")"
  std::string unit;     // trimmed; empty when none is given
  bool doubled_prefix = false;           // "(L:L:NAME, ...)"
  std::optional<double> written_value;   // a write of the number just before it: "1 (>L:...)"
};

std::vector<VariableReference> FindVariableReferences(std::string_view script);

}  // namespace gauge_host
