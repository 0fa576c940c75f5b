#include "tools/gauge_host/script/variable_reference.h"

#include "tools/gauge_host/common/text.h"

namespace gauge_host {

std::optional<VariableToken> ReadVariableToken(std::string_view token) {
  const std::string_view inside = token.substr(1, token.size() < 2 ? 0 : token.size() - 2);
  const std::size_t colon = inside.find(':');
  if (colon == std::string_view::npos) {
    return std::nullopt;
  }
  VariableToken variable;
  // "> K", "l": the type letter's case and the white space after '>' are not part of it.
  for (const char c : inside.substr(0, colon)) {
    if (!IsSpace(c)) {
      variable.kind += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
  }
  const std::string_view rest = inside.substr(colon + 1);
  const std::size_t comma = rest.find(',');
  variable.name = Trimmed(rest.substr(0, comma));
  variable.has_unit = comma != std::string_view::npos;
  variable.unit = variable.has_unit ? Trimmed(rest.substr(comma + 1)) : std::string_view{};
  variable.doubled_prefix = variable.name.starts_with("L:");
  return variable;
}

}  // namespace gauge_host
