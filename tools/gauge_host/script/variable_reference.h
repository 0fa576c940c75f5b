// The one reader of the calculator's variable tokens, "(L:NAME, UNIT)", "(>L:NAME, UNIT)",
// "(A:NAME, UNIT)", "(>K:EVENT)" and "(M:Event)": the calculator compiles scripts with it,
// the scenario reads the variables it sets with it, and the trace names the variable of
// each of the module's expressions with it. Names and units are
// taken as the simulator takes them, without the white space around them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gauge_host {

struct VariableToken {
  std::string kind;   // before the first ':', without white space, upper case: "L", ">L", "A", ">K", "M", ...
  std::string name;   // after it, up to a comma, trimmed
  std::string unit;   // after the comma, trimmed; empty when none is given
  bool has_unit = false;        // a comma was written
  bool doubled_prefix = false;  // "(L:L:NAME, ...)": the name then starts with "L:"
};

// The token, parentheses included, or nullopt when it holds no ':'.
std::optional<VariableToken> ReadVariableToken(std::string_view token);

}  // namespace gauge_host
